// The novrix commands.
#pragma once

#include <string>
#include <vector>

namespace novrix {

struct Options {
    std::string driverFolder;  // --driver
    std::string root;          // --root: the platform root (registry and printers)
};

// Each command answers the process exit code: 0 success, 1 a refused or failed
// action, 2 a usage error.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

int CmdInfo(const Options& options, const std::vector<std::string>& args);
int CmdPrinter(const Options& options, const std::vector<std::string>& args);
int CmdPrefs(const Options& options, const std::vector<std::string>& args);
int CmdSettings(const Options& options, const std::vector<std::string>& args);

}  // namespace novrix
