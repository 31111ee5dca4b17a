// novrix printer: list, add, remove printers and choose the default.
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "commands.h"
#include "driver_folder.h"
#include "echo.h"
#include "store.h"

namespace novrix {
namespace {

void PrinterUsage(FILE* out) {
    fprintf(out,
            "usage: novrix printer list\n"
            "       novrix printer add NAME [--driver-folder DIR] [--port PORT | --address HOST[:PORT]]\n"
            "       novrix printer remove NAME\n"
            "       novrix printer default NAME\n"
            "       novrix printer options [NAME] [--set LABEL=VALUE]... [--press LABEL]... [--yes|--no] [--apply] [--show]\n"
            "       novrix printer options [NAME] [--yes|--no]    (commands from the terminal)\n"
            "Printers are of the sample model (driver \"%s\"); the port defaults to %s.\n"
            "--address gives the printer a TCP/IP port at the device's address (IP_HOST[:PORT]):\n"
            "a device simulator's 127.0.0.1:PORT (novrix device serve), or a device profile's address.\n"
            "In the list, * marks the default printer.  options opens the printer's properties (the\n"
            "device option tab: the installed options; --press \"Get Device Information\" --yes asks the\n"
            "device); --apply keeps them with the printer (the right to administer it is needed).\n",
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

int Add(const std::vector<std::string>& args) {
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

}  // namespace

int CmdPrinter(const Options& options, const std::vector<std::string>& args) {
    const std::string sub = args.empty() ? "list" : args[0];
    if (sub == "list" && args.size() <= 1) return List(options);
    if (sub == "add") return Add(args);
    if (sub == "options") {
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
    if (sub == "--help" || sub == "help") {
        PrinterUsage(stdout);
        return kExitOk;
    }
    fprintf(stderr, "novrix printer: unknown request '%s'\n", EchoText(sub).c_str());
    PrinterUsage(stderr);
    return kExitUsage;
}

}  // namespace novrix
