// novrix printer: list, add, remove printers and choose the default.
#include <sys/stat.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "commands.h"
#include "driver_folder.h"
#include "echo.h"
#include "features/list_builders.h"
#include "features/option_record.h"
#include "model/package.h"
#include "settings/devoption.h"
#include "store.h"

namespace novrix {
namespace {

void PrinterUsage(FILE* out) {
    fprintf(out,
            "usage: novrix printer list\n"
            "       novrix printer add NAME [--driver-folder DIR] [--port PORT | --address HOST[:PORT]]\n"
            "       novrix printer remove NAME\n"
            "       novrix printer default NAME\n"
            "       novrix printer options [--printer NAME]\n"
            "       novrix printer set-option [--printer NAME] OPTION=VALUE...\n"
            "       novrix printer properties [NAME] [--set LABEL=VALUE]... [--press LABEL]... [--yes|--no] [--apply] [--show]\n"
            "       novrix printer properties [NAME] [--yes|--no]    (commands from the terminal)\n"
            "Printers are of the sample model (driver \"%s\"); the port defaults to %s.\n"
            "--address gives the printer a TCP/IP port at the device's address (IP_HOST[:PORT]):\n"
            "a device simulator's 127.0.0.1:PORT (novrix device serve), or a device profile's address.\n"
            "A new printer gets the model's factory presets (novrix presets list).\n"
            "In the list, * marks the default printer.  The device options (installed stapler,\n"
            "punch kit, trays, ...) are the printer's, for every user: set-option needs the right\n"
            "to administer the printer.  OPTION is the option's name or key, VALUE its choice or key.\n"
            "properties opens the printer's properties (the device option tab: the installed options;\n"
            "--press \"Get Device Information\" --yes asks the device); --apply keeps them with the\n"
            "printer (the right to administer it is needed).\n",
            kDriverName, kDefaultPort);
}

int List(const Options& options) {
    std::vector<PrinterEntry> printers = ListPrinters();
    if (printers.empty()) {
        printf("No printers.\n");
        return kExitOk;
    }
    for (const PrinterEntry& p : printers) {
        printf("%s %s  (driver %s, port %s, folder %s)\n", p.isDefault ? "*" : " ", p.name.c_str(), p.driver.c_str(),
               p.port.c_str(), p.driverFolder.empty() ? DriverFolder(options.driverFolder).c_str()
                                                      : p.driverFolder.c_str());
    }
    return kExitOk;
}

// A printer's own driver folder must hold the module now, not at its first use;
// it is kept as an absolute path, so that it means the same from any folder.
bool CheckDriverFolder(std::string* folder) {
    char resolved[PATH_MAX];
    struct stat st;
    if (!realpath(folder->c_str(), resolved) || stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode)) {
        fprintf(stderr, "novrix printer add: the driver folder %s does not exist\n", folder->c_str());
        return false;
    }
    for (const char* file : {"NOVRIX_U.DLL", "NOVRIX_D.VPD"}) {
        if (stat((std::string(resolved) + "/" + file).c_str(), &st) != 0) {
            fprintf(stderr, "novrix printer add: the driver folder %s holds no %s\n", resolved, file);
            return false;
        }
    }
    *folder = resolved;
    return true;
}

// A device address: a host (letters, digits, '.', '-') with an optional :PORT
// (1 to 65535), at most 63 characters as the device API takes them.
bool ValidDeviceAddress(const std::string& address) {
    if (address.empty() || address.size() > 63) return false;
    size_t colon = address.rfind(':');
    std::string host = colon == std::string::npos ? address : address.substr(0, colon);
    if (host.empty() || host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") !=
                            std::string::npos)
        return false;
    if (colon == std::string::npos) return true;
    std::string port = address.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return false;
    unsigned long value = std::stoul(port);
    return value >= 1 && value <= 65535;
}

int Add(const Options& options, const std::vector<std::string>& args) {
    std::string name, folder, port;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--driver-folder" && i + 1 < args.size()) {
            folder = args[++i];
        } else if (args[i] == "--port" && i + 1 < args.size()) {
            if (!port.empty()) {
                fprintf(stderr, "novrix printer add: give --port or --address, once\n");
                return kExitUsage;
            }
            port = args[++i];
        } else if (args[i] == "--address" && i + 1 < args.size()) {
            const std::string address = args[++i];
            if (!port.empty()) {
                fprintf(stderr, "novrix printer add: give --port or --address, once\n");
                return kExitUsage;
            }
            if (!ValidDeviceAddress(address)) {
                fprintf(stderr,
                        "novrix printer add: '%s' is not a device address (HOST or HOST:PORT, PORT 1 to 65535, "
                        "at most 63 characters)\n",
                        EchoText(address).c_str());
                return kExitUsage;
            }
            port = "IP_" + address;
        } else if (name.empty() && args[i].rfind("--", 0) != 0) {
            name = args[i];
        } else {
            fprintf(stderr, "novrix printer add: unexpected argument '%s'\n", EchoText(args[i]).c_str());
            return kExitUsage;
        }
    }
    if (name.empty()) {
        fprintf(stderr, "novrix printer add: a printer name is needed\n");
        return kExitUsage;
    }
    if (!folder.empty() && !CheckDriverFolder(&folder)) return kExitFailed;
    DWORD rc = AddHostPrinter(name, folder, port);
    if (rc != ERROR_SUCCESS) {
        bool badName = rc == ERROR_INVALID_PRINTER_NAME || rc == ERROR_INVALID_NAME || rc == ERROR_INVALID_PARAMETER;
        fprintf(stderr, "novrix printer add: cannot add \"%s\": %s\n", EchoText(name).c_str(),
                badName ? "not a valid printer name (at most 220 characters, no comma or backslash)"
                        : ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("Added printer \"%s\"%s.\n", name.c_str(), DefaultPrinterName() == name ? " (the default printer)" : "");
    std::string why;
    if (!InstallFactoryPresets(name, options, &why)) {
        fprintf(stderr, "novrix printer add: %s\n", why.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

// remove NAME / default NAME: one name, nothing else.
int OnePrinter(const std::vector<std::string>& args, DWORD (*action)(const std::string&), const char* done) {
    if (args.size() != 2 || args[1].empty()) {
        fprintf(stderr, "novrix printer %s: give exactly one printer name\n", args[0].c_str());
        return kExitUsage;
    }
    DWORD rc = action(args[1]);
    if (rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix printer %s: \"%s\": %s\n", args[0].c_str(), EchoText(args[1]).c_str(),
                ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf(done, args[1].c_str());
    return kExitOk;
}

// ---- Device options ----

bool SameWord(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::string OptionText(const uint8_t* rec) {
    const nvx::WString name = nvx::features::DisplayName(rec);
    if (!name.empty()) return nvx::Utf8FromW(name.c_str());
    return std::string(nvx::features::Keyword(rec));
}

// The printer's device options as the module reads them: the model's table from the
// printer's driver folder and the printer's record (else the model's defaults).
struct DeviceOptions {
    std::string printer;
    HANDLE handle = nullptr;
    nvx::model::PackagePtr pkg;
    std::unique_ptr<nvx::features::DeviceOptionTable> table;
    std::vector<BYTE> record = std::vector<BYTE>(nvx::settings::kDevOptionSize, 0);
    bool stored = false;
    ~DeviceOptions() {
        if (handle) ClosePrinter(handle);
    }
};

int OpenDeviceOptions(const Options& options, const std::string& request, std::string name, bool administer,
                      DeviceOptions* d) {
    if (name.empty()) name = DefaultPrinterName();
    if (name.empty()) {
        fprintf(stderr, "novrix printer %s: no printer (add one with novrix printer add NAME)\n", request.c_str());
        return kExitFailed;
    }
    d->printer = name;
    nvx::WString wname = nvx::WFromUtf8(name);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = administer ? PRINTER_ALL_ACCESS : PRINTER_ACCESS_USE;
    if (!OpenPrinterW(wname.data(), &d->handle, &defaults)) {
        const DWORD rc = GetLastError();
        d->handle = nullptr;
        fprintf(stderr, "novrix printer %s: \"%s\": %s\n", request.c_str(), EchoText(name).c_str(),
                rc == ERROR_ACCESS_DENIED ? "the device options can only be changed by a user who may administer the "
                                            "printer; nothing was changed"
                                          : ErrorText(rc).c_str());
        return kExitFailed;
    }
    const std::string folder = PrinterDriverFolder(d->handle, options);
    const nvx::WString path = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
    d->pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (d->pkg) d->table.reset(nvx::features::MakeDeviceOptionTable(*d->pkg));
    if (!d->table) {
        fprintf(stderr, "novrix printer %s: the model data %s/NOVRIX_D.VPD has no device options to read\n",
                request.c_str(), folder.c_str());
        return kExitFailed;
    }
    nvx::settings::ResetDevOptionTemplate();
    nvx::features::WriteDeviceOptionDefaults(*d->pkg);
    d->stored = nvx::settings::LoadDefaultDevOption(d->handle, d->record.data());
    return kExitOk;
}

void PrintDeviceOptions(const DeviceOptions& d) {
    printf("Device options of \"%s\"%s:\n", d.printer.c_str(), d.stored ? "" : " (the model's defaults: none stored)");
    for (uint32_t i = 0; i < d.table->count; ++i) {
        const nvx::features::DeviceOptionRow& row = d.table->rows[i];
        const int32_t v = nvx::settings::GetOptionValue(d.record.data(), i);
        const uint8_t* chosen = nvx::features::FindValue(row.values, v);
        std::vector<std::string> choices;
        for (size_t k = 0; k < nvx::features::ListCount(row.values); ++k)
            choices.push_back(OptionText(nvx::features::RecordAt(row.values, k)));
        std::string all;
        for (const std::string& c : choices) all += (all.empty() ? "" : " | ") + c;
        printf("  %s: %s  (%s)\n", nvx::Utf8FromW(row.name).c_str(),
               chosen ? OptionText(chosen).c_str() : std::to_string(v).c_str(), all.c_str());
    }
}

std::string PrinterArg(std::vector<std::string>* args, bool* bad) {
    std::string printer;
    for (size_t i = 1; i < args->size(); ++i)
        if ((*args)[i] == "--printer") {
            if (i + 1 >= args->size()) {
                *bad = true;
                return {};
            }
            printer = (*args)[i + 1];
            args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
            break;
        }
    return printer;
}

int ShowOptions(const Options& options, std::vector<std::string> args) {
    bool bad = false;
    const std::string printer = PrinterArg(&args, &bad);
    if (bad || args.size() != 1) {
        fprintf(stderr, "novrix printer options: usage: novrix printer options [--printer NAME]\n");
        return kExitUsage;
    }
    DeviceOptions d;
    if (int rc = OpenDeviceOptions(options, "options", printer, false, &d); rc != kExitOk) return rc;
    PrintDeviceOptions(d);
    return kExitOk;
}

int SetOptions(const Options& options, std::vector<std::string> args) {
    bool bad = false;
    const std::string printer = PrinterArg(&args, &bad);
    if (bad || args.size() < 2) {
        fprintf(stderr, "novrix printer set-option: give OPTION=VALUE (novrix printer options lists them)\n");
        return kExitUsage;
    }
    for (size_t i = 1; i < args.size(); ++i)
        if (args[i].find('=') == std::string::npos || args[i].front() == '=') {
            fprintf(stderr, "novrix printer set-option: '%s' is not OPTION=VALUE\n", EchoText(args[i]).c_str());
            return kExitUsage;
        }
    DeviceOptions d;
    if (int rc = OpenDeviceOptions(options, "set-option", printer, true, &d); rc != kExitOk) return rc;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string option = args[i].substr(0, args[i].find('='));
        const std::string value = args[i].substr(args[i].find('=') + 1);
        const nvx::features::DeviceOptionRow* row = nullptr;
        uint32_t slot = 0;
        for (uint32_t k = 0; k < d.table->count && !row; ++k) {
            const auto& r = d.table->rows[k];
            if (SameWord(option, r.key) || SameWord(option, nvx::Utf8FromW(r.name))) {
                row = &r;
                slot = k;
            }
        }
        if (!row) {
            std::string names;
            for (uint32_t k = 0; k < d.table->count; ++k)
                names += (names.empty() ? "" : ", ") + nvx::Utf8FromW(d.table->rows[k].name);
            fprintf(stderr, "novrix printer set-option: the printer has no device option \"%s\" (options: %s)\n",
                    EchoText(option).c_str(), names.c_str());
            return kExitFailed;
        }
        const uint8_t* chosen = nullptr;
        std::string choices;
        for (size_t k = 0; k < nvx::features::ListCount(row->values); ++k) {
            const uint8_t* rec = nvx::features::RecordAt(row->values, k);
            if (SameWord(value, OptionText(rec)) || SameWord(value, std::string(nvx::features::Keyword(rec))))
                chosen = rec;
            choices += (choices.empty() ? "" : ", ") + OptionText(rec);
        }
        if (!chosen) {
            fprintf(stderr, "novrix printer set-option: %s has no choice \"%s\" (choices: %s); nothing was changed\n",
                    nvx::Utf8FromW(row->name).c_str(), EchoText(value).c_str(), choices.c_str());
            return kExitFailed;
        }
        nvx::settings::SetOptionValue(d.record.data(), slot, static_cast<uint16_t>(nvx::features::Value(chosen)));
    }
    const DWORD rc = SetPrinterDataW(d.handle, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY,
                                     d.record.data(), static_cast<DWORD>(d.record.size()));
    if (rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix printer set-option: the device options of \"%s\" could not be stored: %s\n",
                EchoText(d.printer).c_str(), rc == ERROR_ACCESS_DENIED
                                                 ? "the device options can only be changed by a user who may "
                                                   "administer the printer"
                                                 : ErrorText(rc).c_str());
        return kExitFailed;
    }
    d.stored = true;
    PrintDeviceOptions(d);
    return kExitOk;
}

}  // namespace

int CmdPrinter(const Options& options, const std::vector<std::string>& args) {
    const std::string sub = args.empty() ? "list" : args[0];
    if (sub == "list" && args.size() <= 1) return List(options);
    if (sub == "add") return Add(options, args);
    if (sub == "properties") {
        std::vector<std::string> rest;
        for (size_t i = 1; i < args.size(); ++i) {
            if (i == 1 && !args[i].empty() && args[i][0] != '-') {
                rest.push_back("--printer");
            }
            rest.push_back(args[i]);
        }
        return CmdPrinterOptions(options, rest);
    }
    if (sub == "remove") return OnePrinter(args, RemoveHostPrinter, "Removed printer \"%s\".\n");
    if (sub == "default") return OnePrinter(args, SetDefaultHostPrinter, "\"%s\" is now the default printer.\n");
    if (sub == "options") return ShowOptions(options, args);
    if (sub == "set-option") return SetOptions(options, args);
    if (sub == "--help" || sub == "help") {
        PrinterUsage(stdout);
        return kExitOk;
    }
    fprintf(stderr, "novrix printer: unknown request '%s'\n", EchoText(sub).c_str());
    PrinterUsage(stderr);
    return kExitUsage;
}

}  // namespace novrix
