// The version strings of the driver's packages, read as a host reads them.
#pragma once

#include <string>
#include <vector>

namespace novrix {

struct PackageVersions {
    std::string basic, uiSetup, localize, driver, command, customization;
};

// Reads the versions from the packages in the driver folder; absent ones are "-".
PackageVersions ReadPackageVersions(const std::string& driverFolder);

// Whether the model of the driver folder's main package sends faxes (its machine
// information says "Fax" 1): its document sheet then has the fax tab.
bool ModelSendsFaxes(const std::string& driverFolder);

// A directory package that the module refuses as damaged (it points past its end).
struct PackageDamage {
    std::string file;  // "NOVRIX_D.VPD"
    std::string path;  // in the driver folder
    std::string what;  // the entry and what points where
    bool main;         // the main package: without it the module does not load
};

// The damaged packages of the driver folder (NOVRIX_D.VPD, NOVRIX__.VPD,
// NOVRIX_M.VPD), checked with the module's own reader; a missing one is not listed.
std::vector<PackageDamage> DamagedPackages(const std::string& driverFolder);
// "the model package PATH is damaged: WHAT; ..." in words, for an error message.
std::string DamageText(const PackageDamage& damage);

}  // namespace novrix
