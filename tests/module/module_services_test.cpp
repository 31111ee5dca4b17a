// The module's small services through its entry points.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/proc.h"
#include "common/text.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

class ModuleServicesTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }
    template <typename Fn>
    Fn Entry(const char* name) {
        return nvx::ProcAs<Fn>(GetProcAddress(module_, name));
    }

    nvxtest::DriverCopy driver_;
    HMODULE module_ = nullptr;
};

TEST_F(ModuleServicesTest, CompanyNameFillsAndCuts) {
    auto getCompanyName = Entry<void (*)(WCHAR*, UINT)>("GetCompanyName");
    WCHAR buffer[16];
    for (auto& c : buffer) c = u'#';
    getCompanyName(buffer, 16);
    EXPECT_EQ(nvx::WString(WL("VELMORA")), buffer);
    for (unsigned i = 7; i < 16; ++i) EXPECT_EQ(0, buffer[i]) << i;  // the rest is zero-filled
    for (auto& c : buffer) c = u'#';
    getCompanyName(buffer, 1);
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(u'#', buffer[1]);
    getCompanyName(buffer, 3);
    EXPECT_EQ(nvx::WString(WL("VE")), buffer);
    getCompanyName(nullptr, 16);  // does nothing
    getCompanyName(buffer, 0);    // touches nothing
    EXPECT_EQ(nvx::WString(WL("VE")), buffer);
}

TEST_F(ModuleServicesTest, SetChildInfoAnswersZero) {
    EXPECT_EQ(0u, Entry<UINT_PTR (*)()>("SetChildInfo")());
    EXPECT_EQ(0u, Entry<UINT_PTR (*)()>("SetChildInfo")());
}

TEST_F(ModuleServicesTest, DownloadManagerIsFoundThroughItsAppPathsKey) {
    auto isInstalled = Entry<UINT_PTR (*)()>("IsInstalledDLManager");
    EXPECT_EQ(0u, isInstalled());  // no key

    const WCHAR* keyPath = WL("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZEPROFDL.EXE");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &key, nullptr));
    EXPECT_EQ(0u, isInstalled());  // key without "Path"

    std::string folder = nvxtest::MakeTempDir("dlm");
    nvx::WString wideFolder = nvx::WFromUtf8(folder);  // no trailing separator: one is appended
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, WL("Path"), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideFolder.c_str()),
                                            static_cast<DWORD>((wideFolder.size() + 1) * sizeof(WCHAR))));
    EXPECT_EQ(0u, isInstalled());  // folder without the tool
    std::ofstream(folder + "/ZEPROFDL.EXE") << "MZ";
    EXPECT_EQ(1u, isInstalled());
    RegCloseKey(key);
    nvxtest::RemoveTree(folder);
}

}  // namespace
