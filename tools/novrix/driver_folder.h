// Where the driver folder is: beside the tool's build ("../driver"), or as given.
#pragma once

#include <string>

namespace novrix {

// The driver folder: the --driver option, else the environment variable
// NOVRIX_DRIVER_DIR, else "../driver" relative to the novrix executable.
std::string DriverFolder(const std::string& option);

// The driver's file names, in the order they are listed.
extern const char* const kDriverFiles[];

}  // namespace novrix
