// novrix: the host side of the NOVRIX printer driver.
//
// It plays what lies outside the UI module: the host driver UI that loads the
// module and opens its pages, and a spooler client that keeps printers in the
// platform layer's store.  Every action goes through the module's entry points.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "busy_line.h"
#include "commands.h"
#include "echo.h"
#include "platform/host.h"
#include "store.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const novrix::Options&, const std::vector<std::string>&);
    const char* help;
};

const Command kCommands[] = {
    {"info", novrix::CmdInfo, "the platform root, the printers, the driver folder and the module (--json)"},
    {"printer", novrix::CmdPrinter, "list, add, remove printers or choose the default (novrix printer --help)"},
    {"prefs", novrix::CmdPrefs, "printing preferences of a printer: show, change, apply (novrix prefs --help)"},
    {"picture", novrix::CmdPicture, "PNG pictures of the preference pages and the dialogs they open"},
    {"fax", novrix::CmdFax, "send a fax as the host does at job time; cover sheets (novrix fax --help)"},
    {"watermarks", novrix::CmdWatermarks, "list, add, remove, reorder watermarks (novrix watermarks --help)"},
    {"forms", novrix::CmdForms, "overlay form files: list, add, remove, info, use, make (novrix forms --help)"},
    {"settings", novrix::CmdSettings, "preferences to a settings file and back: export FILE, import FILE"},
    {"setup", novrix::CmdSetup, "a printer's whole configuration as setup programs move it (novrix setup --help)"},
    {"device", novrix::CmdDevice, "a simulated device (serve); the printer's device information (novrix device --help)"},
    {"presets", novrix::CmdPresets, "list, apply, save, delete, move, export, import presets (novrix presets --help)"},
    {"phonebook", novrix::CmdPhoneBook, "the phone book: list, add, remove, import, export, search (novrix phonebook --help)"},
    {"directory", novrix::CmdDirectory, "the printer's directory (LDAP) servers: list, add, remove, move (novrix directory --help)"},
    {"auth", novrix::CmdAuth, "user name, department and passwords of a printer: set, show (novrix auth --help)"},
    {"job", novrix::CmdJob, "start a job as the host does: capability, login, encryption key (novrix job --help)"},
};

void Usage(FILE* out) {
    fprintf(out, "usage: novrix [--driver FOLDER] [--root DIR] [--standard-user] COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& c : kCommands) fprintf(out, "  %-10s %s\n", c.name, c.help);
    fprintf(out, "\nThe driver folder defaults to NOVRIX_DRIVER_DIR, else ../driver beside novrix.\n"
                 "The platform root (registry and printers) is --root DIR, else NOVRIX_PLATFORM_ROOT,\n"
                 "else a per-user folder (~/.local/share/novrix/platform).\n"
                 "--standard-user acts as a user without administrator rights (shared data refused).\n"
                 "Without a command novrix prints this help (scripts/novrix.sh runs prefs --show).\n"
                 "Exit codes: 0 done, 1 refused or failed, 2 usage error (also: no command).\n");
}

}  // namespace

int main(int argc, char** argv) {
    // Lines reach a pipe or file in the order they were written, with the
    // messages on standard error between them.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    novrix::Options options;
    std::vector<std::string> args(argv + 1, argv + argc);
    size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--driver" && i + 1 < args.size()) {
            options.driverFolder = args[++i];
        } else if (args[i] == "--root" && i + 1 < args.size()) {
            options.root = args[++i];
        } else if (args[i] == "--standard-user") {
            options.standardUser = true;
        } else if (args[i] == "--help") {
            Usage(stdout);
            return 0;
        } else {
            fprintf(stderr, "novrix: unknown option %s\n", novrix::EchoText(args[i]).c_str());
            Usage(stderr);
            return 2;
        }
    }
    if (i == args.size()) {  // no command: what there is to do
        Usage(stdout);
        return novrix::kExitUsage;
    }
    std::string name = args[i++];
    std::vector<std::string> rest(args.begin() + static_cast<long>(i), args.end());
    for (const auto& c : kCommands) {
        if (name != c.name) continue;
        std::string error;
        if (!novrix::OpenStore(options, &error)) {
            fprintf(stderr, "novrix: %s\n", error.c_str());
            return novrix::kExitFailed;
        }
        // After the first use, which adds the first printer as an administrator would.
        if (options.standardUser) NvxPlatform_SetAdministrator(FALSE);
        // While the module keeps a person at a terminal waiting on a device behind its
        // busy window, say so; scripts and logs get nothing they must filter out.
        if (isatty(2)) {
            novrix::BusyLine busyLine(stderr, true, novrix::kBusyLineDelayMs);
            return c.run(options, rest);
        }
        return c.run(options, rest);
    }
    fprintf(stderr, "novrix: unknown command '%s'\n", novrix::EchoText(name).c_str());
    Usage(stderr);
    return 2;
}
