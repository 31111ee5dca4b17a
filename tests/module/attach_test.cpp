// Loading and unloading the module as a host does, with companions and packages
// present or missing.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/proc.h"
#include "common/text.h"
#include "platform/host.h"
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
