// novrix info: what this machine holds for the driver, and what the module says.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "driver_folder.h"
#include "module_host.h"
#include "package_versions.h"
#include "platform/host.h"
#include "store.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "model/messages.h"
#include "model/model_settings.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "model/text_tables.h"
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

// With a JSON object, each part fills its member instead of printing.

void ShowPrinters(nlohmann::json* j) {
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(), needed, &needed,
                       &count)) {
        count = 0;
    }
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    if (j) {
        std::string def = DefaultPrinterName();
        nlohmann::json list = nlohmann::json::array();
        for (DWORD i = 0; i < count; ++i) {
            std::string name = nvx::Utf8FromW(info[i].pPrinterName);
            list.push_back({{"name", name},
                            {"driver", nvx::Utf8FromW(info[i].pDriverName)},
                            {"port", nvx::Utf8FromW(info[i].pPortName)},
                            {"default", name == def}});
        }
        (*j)["printers"] = std::move(list);
        return;
    }
    printf("Printers: %u\n", static_cast<unsigned>(count));
    for (DWORD i = 0; i < count; ++i) {
        printf("  %s (driver %s, port %s)\n", nvx::Utf8FromW(info[i].pPrinterName).c_str(),
               nvx::Utf8FromW(info[i].pDriverName).c_str(), nvx::Utf8FromW(info[i].pPortName).c_str());
    }
}

void ShowDriverFolder(const std::string& folder, nlohmann::json* j) {
    if (j) {
        nlohmann::json files = nlohmann::json::object();
        for (const char* const* file = kDriverFiles; *file; ++file) {
            struct stat st;
            if (stat((folder + "/" + *file).c_str(), &st) == 0)
                files[*file] = static_cast<long long>(st.st_size);
            else
                files[*file] = nullptr;
        }
        nlohmann::json damaged = nlohmann::json::object();
        for (const PackageDamage& d : DamagedPackages(folder)) damaged[d.file] = d.what;
        (*j)["driverFolder"] = {{"path", folder}, {"files", std::move(files)}, {"damagedPackages", std::move(damaged)}};
        return;
    }
    printf("Driver folder: %s\n", folder.c_str());
    for (const char* const* file = kDriverFiles; *file; ++file) {
        struct stat st;
        std::string path = folder + "/" + *file;
        if (stat(path.c_str(), &st) == 0)
            printf("  %-14s %10lld bytes\n", *file, static_cast<long long>(st.st_size));
        else
            printf("  %-14s %16s\n", *file, "absent");
    }
    for (const PackageDamage& d : DamagedPackages(folder))
        printf("  %s is damaged: %s\n", d.file.c_str(), d.what.c_str());
}

void ShowVersions(const std::string& folder, nlohmann::json* j) {
    PackageVersions v = ReadPackageVersions(folder);
    if (j) {
        (*j)["versions"] = {{"driver", v.driver},         {"basic", v.basic},     {"uiSetup", v.uiSetup},
                            {"localisation", v.localize}, {"command", v.command}, {"customisation", v.customization}};
        return;
    }
    printf("Versions:\n");
    printf("  driver         %s\n", v.driver.c_str());
    printf("  packages       %s.%s.%s.%s.%s (basic, UI setup, localisation, command, customisation)\n",
           v.basic.c_str(), v.uiSetup.c_str(), v.localize.c_str(), v.command.c_str(), v.customization.c_str());
}

// ---- The model data of NOVRIX_D.VPD, read as the module reads it ----

// Prints words after an indent, wrapped at 100 columns.
void PrintWrapped(const std::vector<std::string>& words, const char* indent) {
    size_t column = 0;
    for (const std::string& w : words) {
        if (column > 0 && column + w.size() + 2 > 100) {
            printf(",\n");
            column = 0;
        }
        printf("%s%s", column == 0 ? indent : ", ", w.c_str());
        column += (column == 0 ? strlen(indent) : 2) + w.size();
    }
    if (column > 0) printf("\n");
}

// The "FeatureSetting" items, name=value.
void ShowSwitches(const nvx::model::Package& pkg, nlohmann::json* j) {
    nvx::model::EntryInfo e;
    std::vector<std::string> words;
    if (pkg.GetEntry("FeatureSetting", &e)) {
        pkg.ForEachItem(e, nvx::model::ItemOrder::Chain, [&](uint32_t at) {
            nvx::vpd::Item item;
            char key[nvx::vpd::kMaxString + 1] = {};
            WCHAR value[nvx::vpd::kMaxString + 1] = {};
            if (pkg.ReadItem(at, &item) && pkg.ReadKey(item.key, key, sizeof key)) {
                pkg.ReadValue(item.value, value, nvx::vpd::kMaxString + 1);
                words.push_back(std::string(key) + "=" + nvx::Utf8FromW(value));
            }
            return true;
        });
    }
    if (j) {
        nlohmann::json switches = nlohmann::json::object();
        for (const std::string& w : words) switches[w.substr(0, w.find('='))] = w.substr(w.find('=') + 1);
        (*j)["switches"] = std::move(switches);
        return;
    }
    printf("  switches       %zu (FeatureSetting)\n", words.size());
    PrintWrapped(words, "    ");
}

// The model record's lists: name, option count and keywords (the default marked *).
void ShowLists(const nvx::model::Package& pkg, nlohmann::json* j) {
    nvx::model::ModelTables tables;
    if (!nvx::features::BuildModelRecord(pkg, tables)) {
        if (j) (*j)["lists"] = nullptr;
        else printf("  lists          the model record cannot be built\n");
        return;
    }
    nlohmann::json lists = nlohmann::json::object();
    size_t present = 0;
    for (size_t i = 0; i < nvx::features::kModelListCount; ++i) present += tables.record->lists[i].present;
    if (!j) printf("  lists          %zu of %zu in the package\n", present, nvx::features::kModelListCount);
    for (size_t i = 0; i < nvx::features::kModelListCount; ++i) {
        const nvx::features::ModelList& list = tables.record->lists[i];
        if (!list.present) continue;
        const uint8_t* data = list.Data();
        size_t n = nvx::features::ListCount(data);
        std::vector<std::string> words, keywords;
        for (size_t k = 0; k < n; ++k) {
            std::string word(nvx::features::Keyword(nvx::features::RecordAt(data, k)));
            keywords.push_back(word);
            if (static_cast<int>(k) == list.defaultIndex) word += "*";
            words.push_back(word);
        }
        if (j) {
            nlohmann::json entry = {{"keywords", keywords}, {"default", nullptr}};
            if (list.defaultIndex >= 0 && static_cast<size_t>(list.defaultIndex) < n)
                entry["default"] = keywords[static_cast<size_t>(list.defaultIndex)];
            lists[nvx::features::kModelLists[i].name] = std::move(entry);
            continue;
        }
        printf("    %-24s %2zu: ", nvx::features::kModelLists[i].name, n);
        std::string line;
        for (size_t k = 0; k < words.size(); ++k) line += (k ? " " : "") + words[k];
        printf("%s\n", line.c_str());
    }
    nvx::features::FreeModelRecord(tables.record);
    tables.record = nullptr;
    if (j) (*j)["lists"] = std::move(lists);
}

// Filled slots of the six message tables.
void ShowMessages(const nvx::model::Package& pkg, nlohmann::json* j) {
    using namespace nvx::model;
    std::vector<WCHAR> table(kMessageSlots * kMessageSlotChars);
    nlohmann::json counts = nlohmann::json::object();
    if (!j) printf("  messages      ");
    for (unsigned t = 0; t < kMessageTableCount; ++t) {
        std::fill(table.begin(), table.end(), WCHAR(0));
        NumberedStringLoad(pkg, kMessageEntryNames[t], table.data(), kMessageSlotChars, kMessageSlots);
        unsigned filled = 0;
        for (size_t i = 0; i < kMessageSlots; ++i) filled += table[i * kMessageSlotChars] != 0;
        if (j) counts[kMessageEntryNames[t]] = filled;
        else printf(" %s %u%s", kMessageEntryNames[t], filled, t + 1 < kMessageTableCount ? "," : "\n");
    }
    if (j) (*j)["messages"] = std::move(counts);
}

// The text tables: which entries the package fills, with their captions.
void ShowTexts(const nvx::model::Package& pkg, nlohmann::json* j) {
    using namespace nvx::model;
    ResetTextTables();
    LoadTextTables(pkg, {});
    std::vector<std::string> filled, missing;
    const char* last = "";
    for (size_t i = 0; i < TextEntryCount(); ++i) {
        const char* entry = TextEntryName(i);
        if (strcmp(entry, last) == 0) continue;  // variant tables of one entry
        last = entry;
        EntryInfo e;
        if (pkg.GetEntry(entry, &e))
            filled.push_back(std::string(entry) + " \"" + nvx::Utf8FromW(TextTable(entry)[0].text) + "\" (" +
                             std::to_string(e.count) + ")");
        else
            missing.push_back(entry);
    }
    if (j) {
        (*j)["texts"] = {{"fromPackage", filled}, {"builtInOnly", missing}};
        ResetTextTables();
        return;
    }
    printf("  text tables    %zu of %zu entries from the package\n", filled.size(), filled.size() + missing.size());
    PrintWrapped(filled, "    ");
    if (!missing.empty()) {
        printf("    built-in only:\n");
        PrintWrapped(missing, "      ");
    }
    ResetTextTables();
}

void ShowModelData(const std::string& folder, nlohmann::json* j) {
    // Read as the module reads it: a damaged package is not read at all.
    nvx::WString path = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg) {
        bool damaged = GetLastError() == ERROR_INVALID_DATA;
        if (j) (*j)["modelData"] = nullptr;
        else printf("Model data: NOVRIX_D.VPD cannot be read%s\n", damaged ? " (damaged)" : "");
        return;
    }
    nlohmann::json data = {{"file", "NOVRIX_D.VPD"}, {"bytes", pkg->Size()}};
    nlohmann::json* part = j ? &data : nullptr;
    if (!j) printf("Model data: NOVRIX_D.VPD, %u bytes\n", pkg->Size());
    nvx::model::EncryptionSettings cipher;
    nvx::model::LoadEncryptionSettings(*pkg, cipher);
    if (cipher.mode == nvx::model::CipherMode::None)
        fprintf(stderr, "novrix: warning: this model keeps passwords in clear (its \"UI_Encryption\" chooses no "
                        "cipher)\n");
    ShowSwitches(*pkg, part);
    ShowLists(*pkg, part);
    ShowMessages(*pkg, part);
    ShowTexts(*pkg, part);
    if (j) (*j)["modelData"] = std::move(data);
}

int ShowModule(const std::string& folder, nlohmann::json* j) {
    ModuleHost host;
    if (!host.Load(folder)) {
        if (j) (*j)["module"] = {{"loaded", false}, {"error", host.Error()}};
        else printf("Module: not loaded\n");
        fprintf(stderr, "novrix: %s\n", host.Error().c_str());
        return 1;
    }
    if (j) {
        nlohmann::json module = {{"loaded", true}, {"path", folder + "/NOVRIX_U.DLL"},
                                 {"model", nvx::settings::kModelIdentifier}};
        if (auto getCompanyName = host.Entry<void (*)(WCHAR*, UINT)>("GetCompanyName")) {
            WCHAR maker[257] = {};
            getCompanyName(maker, 257);
            module["makerName"] = nvx::Utf8FromW(maker);
        }
        nlohmann::json companions = nlohmann::json::object();
        for (const char* name : {"NOVRIX_R.DLL", "NOVRIX_S.DLL", "NOVRIX_O.DLL", "NOVRIX_D.DLL"})
            companions[name] = GetModuleHandleW(nvx::WFromAscii(name).c_str()) != nullptr;
        module["companions"] = std::move(companions);
        nlohmann::json missing = nlohmann::json::array();
        for (const auto& row : kExports) {
            FARPROC byName = GetProcAddress(host.Handle(), row.name);
            if (!byName || byName != GetProcAddress(host.Handle(), MAKEINTRESOURCEA(row.ordinal)))
                missing.push_back(row.name);
        }
        module["exports"] = {{"total", sizeof kExports / sizeof kExports[0]}, {"missing", missing}};
        (*j)["module"] = std::move(module);
        return missing.empty() ? 0 : 1;
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
    bool json = args.size() == 1 && args[0] == "--json";
    if (!args.empty() && !json) {
        fprintf(stderr, "novrix info: takes no arguments but --json\n");
        return 2;
    }
    std::string folder = DriverFolder(options.driverFolder);
    std::string problem = StoreProblem(nullptr);
    if (!json) {
        printf("Platform root: %s\n", NvxPlatform_Root());
        if (!problem.empty()) printf("  %s\n", problem.c_str());
        ShowPrinters(nullptr);
        ShowDriverFolder(folder, nullptr);
        ShowVersions(folder, nullptr);
        ShowModelData(folder, nullptr);
        return ShowModule(folder, nullptr);
    }
    nlohmann::json out = {{"platformRoot", NvxPlatform_Root()},
                          {"storeProblem", problem.empty() ? nlohmann::json() : nlohmann::json(problem)}};
    ShowPrinters(&out);
    ShowDriverFolder(folder, &out);
    ShowVersions(folder, &out);
    ShowModelData(folder, &out);
    int rc = ShowModule(folder, &out);
    printf("%s\n", out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    return rc;
}

}  // namespace novrix
