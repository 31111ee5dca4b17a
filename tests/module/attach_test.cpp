// Loading and unloading the module as a host does, with companions and packages
// present or missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/proc.h"
#include "common/text.h"
#ifndef _WIN32
#include "platform/host.h"
#endif
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

class AttachTest : public PlatformTest {
protected:
    static bool Loaded(const WCHAR* name) { return GetModuleHandleW(name) != nullptr; }
};

TEST_F(AttachTest, WithoutTheMainPackageTheLoadFailsAndLeavesNothingLoaded) {
    nvxtest::DriverCopy driver({"NOVRIX_D.VPD"});
    SetLastError(0);
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    EXPECT_EQ(nullptr, module);
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_INIT_FAILED), GetLastError());
    for (const WCHAR* name : {WL("NOVRIX_U.DLL"), WL("NOVRIX_R.DLL"), WL("NOVRIX_S.DLL"), WL("NOVRIX_O.DLL"),
                              WL("NOVRIX_D.DLL")})
        EXPECT_FALSE(Loaded(name)) << nvx::Utf8FromW(name);
}

#ifndef _WIN32  // the layer keeps the debugger output for the test to read
// A main package whose directory points past its end (here: cut to half) is not
// used: the load fails as without the package, and the debugger output says why.
// A damaged version package is left out as a missing one is.
TEST_F(AttachTest, ADamagedPackageCountsAsMissingAndIsNamed) {
    nvxtest::DriverCopy driver;
    std::ifstream in(driver.Folder() + "/NOVRIX_D.VPD", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1000u);
    driver.Write("NOVRIX_D.VPD", bytes.substr(0, bytes.size() / 2));
    NvxPlatform_ClearDebugOutput();
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_INIT_FAILED), GetLastError());
    EXPECT_FALSE(Loaded(WL("NOVRIX_U.DLL")));
    char out[4096] = {};
    NvxPlatform_GetDebugOutput(out, sizeof out);
    const std::string line =
        "NOVRIX_U: the package " + driver.Folder() + "/NOVRIX_D.VPD is damaged and is not used: entry \"";
    EXPECT_NE(std::string(out).find(line), std::string::npos) << out;

    driver.Write("NOVRIX_D.VPD", bytes);
    driver.Write("NOVRIX__.VPD", std::string("\x00\x00\x00\x00\xff\xff\x00\x00", 8));  // directory end past the end
    NvxPlatform_ClearDebugOutput();
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    NvxPlatform_GetDebugOutput(out, sizeof out);
    EXPECT_NE(std::string(out).find("/NOVRIX__.VPD is damaged and is not used: header: the directory end 65535"),
              std::string::npos) << out;
    EXPECT_TRUE(FreeLibrary(module));
}
#endif

TEST_F(AttachTest, LoadsAndUnloadsWithEveryCompanion) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    auto getImgResInst = nvx::ProcAs<HMODULE (*)()>(GetProcAddress(module, "GetImgResInst"));
    ASSERT_NE(nullptr, getImgResInst);
    EXPECT_EQ(GetModuleHandleW(WL("NOVRIX_R.DLL")), getImgResInst());
    EXPECT_NE(nullptr, getImgResInst());
    EXPECT_TRUE(Loaded(WL("NOVRIX_S.DLL")));
    EXPECT_TRUE(Loaded(WL("NOVRIX_D.DLL")));
    EXPECT_TRUE(FreeLibrary(module));
    for (const WCHAR* name : {WL("NOVRIX_U.DLL"), WL("NOVRIX_R.DLL"), WL("NOVRIX_S.DLL"), WL("NOVRIX_O.DLL"),
                              WL("NOVRIX_D.DLL")})
        EXPECT_FALSE(Loaded(name)) << nvx::Utf8FromW(name);
}

TEST_F(AttachTest, MissingOptionalCompanionsAreNotFatal) {
    nvxtest::DriverCopy driver({"NOVRIX_R.DLL", "NOVRIX_S.DLL", "NOVRIX_O.DLL", "NOVRIX_D.DLL", "NOVRIX_C.VPD",
                                "NOVRIX_M.VPD", "NOVRIX__.VPD"});
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    auto getImgResInst = nvx::ProcAs<HMODULE (*)()>(GetProcAddress(module, "GetImgResInst"));
    EXPECT_EQ(nullptr, getImgResInst());
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(AttachTest, AHostLibraryWithoutTheHostFunctionsIsCopedWith) {
    nvxtest::DriverCopy driver({"NOVRIX_D.DLL"});
    // Any loadable library without the 35 host functions stands in for a bare host.
    std::filesystem::copy_file(nvxtest::BuiltDriverFolder() + "/NOVRIX_R.DLL", driver.Folder() + "/NOVRIX_D.DLL");
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    EXPECT_TRUE(FreeLibrary(module));
}

#ifndef _WIN32  // the layer counts the initialisations
TEST_F(AttachTest, TheCommonControlsAreInitialisedBeforeTheModuleMakesATooltip) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module);
    auto createToolWnd = nvx::ProcAs<INT_PTR (*)(HWND)>(GetProcAddress(module, "CreateToolWnd"));
    ASSERT_NE(nullptr, createToolWnd);
    HWND page = CreateWindowExW(0, WL("STATIC"), WL("page"), WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(nullptr, page);
    const unsigned before = NvxPlatform_CommonControlsInitCount();
    EXPECT_NE(0, createToolWnd(page));
    EXPECT_GT(NvxPlatform_CommonControlsInitCount(), before);
    DestroyWindow(page);
    FreeLibrary(module);
}
#endif

TEST_F(AttachTest, ExportTableHasTheEntryPointsAtTheirOrdinals) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module);
    struct Row {
        unsigned ordinal;
        const char* name;
    };
    const Row rows[] = {
#define NVX_EXPORT_ROW(ordinal, name) {ordinal, #name},
#include "novrix_u_exports.inc"
#undef NVX_EXPORT_ROW
    };
    ASSERT_EQ(75u, sizeof rows / sizeof rows[0]);
    bool used[152] = {};
    for (const Row& row : rows) {
        ASSERT_GE(row.ordinal, 1u);
        ASSERT_LE(row.ordinal, 151u);
        used[row.ordinal] = true;
        FARPROC byName = GetProcAddress(module, row.name);
        EXPECT_NE(nullptr, byName) << row.name;
        EXPECT_EQ(byName, GetProcAddress(module, MAKEINTRESOURCEA(row.ordinal))) << row.name;
    }
    EXPECT_EQ(GetProcAddress(module, "Prc_DocPaper1Proc"), GetProcAddress(module, MAKEINTRESOURCEA(1)));
    EXPECT_EQ(GetProcAddress(module, "GetImgResInst"), GetProcAddress(module, MAKEINTRESOURCEA(151)));
    EXPECT_EQ(GetProcAddress(module, "DoConstraints"), GetProcAddress(module, MAKEINTRESOURCEA(112)));
    for (unsigned ordinal = 1; ordinal <= 151; ++ordinal) {
        if (used[ordinal]) continue;
        SetLastError(0);
        EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(ordinal))) << ordinal;
        EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    }
    EXPECT_EQ(nullptr, GetProcAddress(module, "AttachModule"));  // internals stay hidden
    FreeLibrary(module);
}

}  // namespace
