// Private platform roots for tests.
#include "support/platform_test.h"

#include <filesystem>
#include <random>

#include <set>

#include "common/text.h"
#include "support/driver_folder.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace nvxtest {

std::string MakeTempDir(const char* tag) {
    namespace fs = std::filesystem;
    static std::mt19937_64 rng{std::random_device{}()};
    for (;;) {
        fs::path dir = fs::temp_directory_path() / ("novrix-" + std::string(tag) + "-" + std::to_string(rng() % 100000000));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir.string();
    }
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}

HANDLE AddTestPrinter(PRINTER_INFO_2W& info) {
#ifdef _WIN32
    static std::set<nvx::WString> installed;
    if (info.pDriverName && *info.pDriverName && !installed.count(info.pDriverName)) {
        // The module stands for the driver's files: the spooler copies them into
        // its driver folder and never runs them here.
        const nvx::WString module =
            nvx::WFromUtf8((std::filesystem::path(BuiltDriverFolder()) / "NOVRIX_U.DLL").string());
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = info.pDriverName;
        driver.pDriverPath = const_cast<LPWSTR>(module.c_str());
        driver.pDataFile = const_cast<LPWSTR>(module.c_str());
        driver.pConfigFile = const_cast<LPWSTR>(module.c_str());
        if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES))
            installed.insert(info.pDriverName);
        else
            ADD_FAILURE() << "AddPrinterDriverExW: error " << GetLastError();
    }
    // Windows takes a printer without a data type; Wine's spooler cannot open one
    // (AddPrinterW then fails with ERROR_INVALID_PRINTER_NAME): name the raw type.
    if (!info.pDatatype) info.pDatatype = const_cast<LPWSTR>(WL("RAW"));
#endif
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
}

}  // namespace nvxtest

void PlatformTest::SetUp() {
#ifndef _WIN32
    root_ = nvxtest::MakeTempDir("root");
    ASSERT_TRUE(NvxPlatform_SetRoot(root_.c_str()));
    NvxPlatform_SetAdministrator(TRUE);
    NvxPlatform_SetAnsiCodePage(1252);
    NvxPlatform_SetCountryCode(1);
#endif
}

void PlatformTest::TearDown() {
#ifndef _WIN32
    nvxtest::RemoveTree(root_);
#endif
}
