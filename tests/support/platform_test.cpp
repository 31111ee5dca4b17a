// Private platform roots for tests.
#include "support/platform_test.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include <set>
#include <vector>

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

#ifdef _WIN32
namespace {
// The printers the running test added: the fixture deletes them when the test
// ends, as a private root's removal does elsewhere.
std::vector<nvx::WString>& AddedPrinters() {
    static std::vector<nvx::WString> names;
    return names;
}

// What the module keeps per user lives under this key; a test starts without it.
const WCHAR* const kMakerKey = WL("Software\\VELMORA");

void DeleteAddedPrinters() {
    for (const nvx::WString& name : AddedPrinters()) {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &printer, &defaults)) continue;
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    AddedPrinters().clear();
}

// The per-user key is only removed in a throw-away account (the Wine runner
// sets NOVRIX_TEST_SCRATCH_USER=1 for its own prefix): on a person's Windows
// account it holds their real settings.
void DeleteMakerKeyInScratchAccount() {
    const char* scratch = std::getenv("NOVRIX_TEST_SCRATCH_USER");
    if (scratch && std::string(scratch) == "1") RegDeleteTreeW(HKEY_CURRENT_USER, kMakerKey);
}
}  // namespace
#endif

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
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer && info.pPrinterName) AddedPrinters().push_back(info.pPrinterName);
    return printer;
#else
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
#endif
}

}  // namespace nvxtest

void PlatformTest::SetUp() {
#ifndef _WIN32
    root_ = nvxtest::MakeTempDir("root");
    ASSERT_TRUE(NvxPlatform_SetRoot(root_.c_str()));
    NvxPlatform_SetAdministrator(TRUE);
    NvxPlatform_SetAnsiCodePage(1252);
    NvxPlatform_SetCountryCode(1);
#else
    // Windows has no private root: a test starts without the printers an earlier
    // test (or an earlier run) left, and in a throw-away account without the
    // per-user keys.
    nvxtest::DeleteAddedPrinters();
    nvxtest::DeleteMakerKeyInScratchAccount();
#endif
}

void PlatformTest::TearDown() {
#ifndef _WIN32
    nvxtest::RemoveTree(root_);
#else
    nvxtest::DeleteAddedPrinters();
    nvxtest::DeleteMakerKeyInScratchAccount();
#endif
}
