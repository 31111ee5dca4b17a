// The novrix commands.
#pragma once

#include <string>
#include <vector>

namespace novrix {

struct Options {
    std::string driverFolder;  // --driver
};

// Each command answers the process exit code: 0 success, 1 a refused or failed
// action, 2 a usage error.
int CmdInfo(const Options& options, const std::vector<std::string>& args);

}  // namespace novrix
