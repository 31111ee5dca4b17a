// novrix info: what this machine holds for the driver, and what the module says.
#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "commands.h"
#include "driver_folder.h"
#include "module_host.h"
#include "package_versions.h"
#include "platform/host.h"
#include "settings/oemdev_template.h"

namespace novrix {
namespace {

struct ExportRow {
    unsigned ordinal;
    const char* name;
};
const ExportRow kExports[] = {
#define NVX_EXPORT_ROW(ordinal, name) {ordinal, #name},
#include "novrix_u_exports.inc"
#undef NVX_EXPORT_ROW
};

void ShowPrinters() {
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(), needed, &needed,
                       &count)) {
        count = 0;
    }
    printf("Printers: %u\n", static_cast<unsigned>(count));
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        printf("  %s (driver %s, port %s)\n", nvx::Utf8FromW(info[i].pPrinterName).c_str(),
               nvx::Utf8FromW(info[i].pDriverName).c_str(), nvx::Utf8FromW(info[i].pPortName).c_str());
    }
}

void ShowDriverFolder(const std::string& folder) {
    printf("Driver folder: %s\n", folder.c_str());
    for (const char* const* file = kDriverFiles; *file; ++file) {
        struct stat st;
        std::string path = folder + "/" + *file;
        if (stat(path.c_str(), &st) == 0)
            printf("  %-14s %10lld bytes\n", *file, static_cast<long long>(st.st_size));
        else
            printf("  %-14s %16s\n", *file, "absent");
    }
}

void ShowVersions(const std::string& folder) {
    PackageVersions v = ReadPackageVersions(folder);
    printf("Versions:\n");
    printf("  driver         %s\n", v.driver.c_str());
    printf("  packages       %s.%s.%s.%s.%s (basic, UI setup, localisation, command, customisation)\n",
           v.basic.c_str(), v.uiSetup.c_str(), v.localize.c_str(), v.command.c_str(), v.customization.c_str());
}

int ShowModule(const std::string& folder) {
    ModuleHost host;
    if (!host.Load(folder)) {
        printf("Module: not loaded\n");
        fprintf(stderr, "novrix: %s\n", host.Error().c_str());
        return 1;
    }
    printf("Module: %s/NOVRIX_U.DLL loaded\n", folder.c_str());
    if (auto getCompanyName = host.Entry<void (*)(WCHAR*, UINT)>("GetCompanyName")) {
        WCHAR maker[257] = {};
        getCompanyName(maker, 257);
        printf("  maker name     %s\n", nvx::Utf8FromW(maker).c_str());
    }
    printf("  model          %s\n", nvx::settings::kModelIdentifier);
    if (auto getImgResInst = host.Entry<HMODULE (*)()>("GetImgResInst"))
        printf("  image library  %s\n", getImgResInst() ? "NOVRIX_R.DLL loaded" : "not loaded");
    const char* const companions[] = {"NOVRIX_R.DLL", "NOVRIX_S.DLL", "NOVRIX_O.DLL", "NOVRIX_D.DLL"};
    printf("  companions    ");
    for (const char* name : companions) {
        nvx::WString wide = nvx::WFromAscii(name);
        printf(" %s:%s", name, GetModuleHandleW(wide.c_str()) ? "linked" : "absent");
    }
    printf("\n");

    unsigned found = 0;
    std::string table;
    for (const auto& row : kExports) {
        FARPROC byName = GetProcAddress(host.Handle(), row.name);
        FARPROC byOrdinal = GetProcAddress(host.Handle(), MAKEINTRESOURCEA(row.ordinal));
        bool ok = byName && byName == byOrdinal;
        found += ok ? 1 : 0;
        char line[96];
        snprintf(line, sizeof line, "    @%-3u %-38s%s\n", row.ordinal, row.name, ok ? "" : " MISSING");
        table += line;
    }
    printf("  export table   %u of %zu entry points at their ordinals (151 slots)\n", found,
           sizeof kExports / sizeof kExports[0]);
    fputs(table.c_str(), stdout);
    return found == sizeof kExports / sizeof kExports[0] ? 0 : 1;
}

}  // namespace

int CmdInfo(const Options& options, const std::vector<std::string>& args) {
    if (!args.empty()) {
        fprintf(stderr, "novrix info: takes no arguments\n");
        return 2;
    }
    std::string folder = DriverFolder(options.driverFolder);
    printf("Platform root: %s\n", NvxPlatform_Root());
    ShowPrinters();
    ShowDriverFolder(folder);
    ShowVersions(folder);
    return ShowModule(folder);
}

}  // namespace novrix
