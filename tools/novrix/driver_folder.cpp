// Locating the driver folder.
#include "driver_folder.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace novrix {

const char* const kDriverFiles[] = {
    "NOVRIX_U.DLL", "NOVRIX_D.DLL", "NOVRIX_O.DLL", "NOVRIX_R.DLL", "NOVRIX_S.DLL", "NOVRIX_V.DLL",
    "NOVRIX_Z.DLL", "NOVRIX_F.DLL", "NOVRIX_D.VPD", "NOVRIX__.VPD", "NOVRIX_M.VPD", "NOVRIX_C.VPD", nullptr,
};

std::string DriverFolder(const std::string& option) {
    if (!option.empty()) return option;
    if (const char* env = getenv("NOVRIX_DRIVER_DIR"); env && *env) return env;
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "driver";
    std::filesystem::path exe(std::string(self, static_cast<size_t>(n)));
    return (exe.parent_path().parent_path() / "driver").string();
}

}  // namespace novrix
