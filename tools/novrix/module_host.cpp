// Loading the module.
#include "module_host.h"

namespace novrix {

ModuleHost::~ModuleHost() {
    if (module_) FreeLibrary(module_);
}

bool ModuleHost::Load(const std::string& driverFolder) {
    nvx::WString path = nvx::WFromUtf8(driverFolder + "/NOVRIX_U.DLL");
    module_ = LoadLibraryW(path.c_str());
    if (module_) return true;
    DWORD error = GetLastError();
    error_ = "cannot load " + driverFolder + "/NOVRIX_U.DLL (error " + std::to_string(error) +
             (error == ERROR_DLL_INIT_FAILED ? ": the module refused to start; is NOVRIX_D.VPD beside it?" : "") + ")";
    return false;
}

}  // namespace novrix
