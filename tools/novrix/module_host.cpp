// Loading the module.
#include "module_host.h"

#include <cstdio>

#include "package_versions.h"

namespace novrix {

ModuleHost::~ModuleHost() {
    if (module_) FreeLibrary(module_);
}

bool ModuleHost::Load(const std::string& driverFolder) {
    // The module refuses a damaged package as if it were missing and says so only
    // on the debugger output: say it here in words.
    std::vector<PackageDamage> damaged = DamagedPackages(driverFolder);
    nvx::WString path = nvx::WFromUtf8(driverFolder + "/NOVRIX_U.DLL");
    module_ = LoadLibraryW(path.c_str());
    DWORD error = module_ ? 0 : GetLastError();
    for (const PackageDamage& d : damaged) {
        if (d.main && !module_) {
            error_ = "cannot load " + driverFolder + "/NOVRIX_U.DLL: " + DamageText(d);
            return false;
        }
        fprintf(stderr, "novrix: %s\n", DamageText(d).c_str());
    }
    if (module_) return true;
    error_ = "cannot load " + driverFolder + "/NOVRIX_U.DLL (error " + std::to_string(error) +
             (error == ERROR_DLL_INIT_FAILED ? ": the module refused to start; is NOVRIX_D.VPD beside it?" : "") + ")";
    return false;
}

}  // namespace novrix
