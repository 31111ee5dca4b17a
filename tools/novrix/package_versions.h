// The version strings of the driver's packages, read as a host reads them.
#pragma once

#include <string>

namespace novrix {

struct PackageVersions {
    std::string basic, uiSetup, localize, driver, command, customization;
};

// Reads the versions from the packages in the driver folder; absent ones are "-".
PackageVersions ReadPackageVersions(const std::string& driverFolder);

}  // namespace novrix
