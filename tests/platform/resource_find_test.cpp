// FindResourceW/ExW, LoadResource, SizeofResource and EnumResourceNamesW over
// TSTRES.DLL and the test executable's own resources.
#include <algorithm>
#include <cstring>
#include <vector>

#include "support/platform_test.h"
#include "testdlls/testdll_paths.h"
#include "testdlls/testres.h"

namespace {

using testdll::Path;

class ResourceFind : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module_ = LoadLibraryW(Path("TSTRES.DLL").c_str());
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }
    // The bytes of a found resource.
    std::string Bytes(HMODULE module, HRSRC info) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, info)));
        DWORD size = SizeofResource(module, info);
        return data ? std::string(data, size) : std::string();
    }
    HMODULE module_ = nullptr;
};

TEST_F(ResourceFind, ByOrdinalByNameAndByType) {
    HRSRC dialog = FindResourceW(module_, MAKEINTRESOURCEW(IDD_SAMPLE), RT_DIALOG);
    ASSERT_NE(dialog, nullptr);
    std::string tmpl = Bytes(module_, dialog);
    ASSERT_GE(tmpl.size(), 26u);
    EXPECT_EQ(static_cast<unsigned char>(tmpl[0]), 1);     // DLGTEMPLATEEX dlgVer
    EXPECT_EQ(static_cast<unsigned char>(tmpl[2]), 0xFF);  // signature 0xFFFF
    EXPECT_EQ(static_cast<unsigned char>(tmpl[3]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(tmpl[16]), 2);    // cDlgItems
    HGLOBAL loaded = LoadResource(module_, dialog);
    EXPECT_EQ(LockResource(loaded), loaded);
    EXPECT_FALSE(FreeResource(loaded));

    // Names match ignoring case; "#n" is ordinal n, for names and types.
    HRSRC config = FindResourceW(module_, WL("CONFIG"), RT_RCDATA);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(FindResourceW(module_, WL("config"), RT_RCDATA), config);
    EXPECT_EQ(FindResourceW(module_, WL("Config"), WL("#10")), config);
    EXPECT_EQ(Bytes(module_, config), std::string("abc\0", 4));

    HRSRC numbered = FindResourceW(module_, MAKEINTRESOURCEW(IDR_NUMBERED), RT_RCDATA);
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(FindResourceW(module_, WL("#101"), RT_RCDATA), numbered);
    EXPECT_EQ(Bytes(module_, numbered), std::string("\x01\x02\x03\x04", 4));

    HRSRC typed = FindResourceW(module_, WL("sample"), WL("MyType"));
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(Bytes(module_, typed), "typed");
    EXPECT_EQ(FindResourceA(module_, "SAMPLE", "mytype"), typed);
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
}

TEST_F(ResourceFind, MissingResourcesAnswerTheirErrors) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(999), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(FindResourceW(module_, WL("NOSUCH"), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(1), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

    HMODULE bare = LoadLibraryW(Path("TSTORD.DLL").c_str());  // a library without resources
    ASSERT_NE(bare, nullptr);
    SetLastError(0);
    EXPECT_EQ(FindResourceW(bare, MAKEINTRESOURCEW(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    FreeLibrary(bare);

#ifndef _WIN32
    // Made-up handles fail cleanly (on Windows they fault).
    int local = 0;
    SetLastError(0);
    EXPECT_EQ(FindResourceW(reinterpret_cast<HMODULE>(&local), MAKEINTRESOURCEW(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(&local)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SizeofResource(module_, reinterpret_cast<HRSRC>(&local)), 0u);
    HRSRC config = FindResourceW(module_, WL("CONFIG"), RT_RCDATA);
    EXPECT_EQ(SizeofResource(nullptr, config), 0u);  // not one of the executable's
    EXPECT_EQ(FindResourceW(module_, nullptr, RT_RCDATA), nullptr);
#endif
}

TEST_F(ResourceFind, LanguagesPreferTheUserDefaultAndMatchExactly) {
    HRSRC english = FindResourceW(module_, MAKEINTRESOURCEW(1), RT_STRING);
    HRSRC german = FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(1), MAKELANGID(LANG_GERMAN, SUBLANG_DEFAULT));
    ASSERT_NE(english, nullptr);
    ASSERT_NE(german, nullptr);
    EXPECT_NE(english, german);
    EXPECT_EQ(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              english);
    EXPECT_EQ(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(1), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
              english);
    SetLastError(0);
    EXPECT_EQ(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(1), MAKELANGID(LANG_FRENCH, SUBLANG_DEFAULT)),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
}

TEST_F(ResourceFind, NullModuleMeansTheExecutable) {
    HRSRC own = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_EXE), RT_RCDATA);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(Bytes(nullptr, own), std::string("exe\0", 4));
    EXPECT_EQ(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_EXE), RT_RCDATA), own);
    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, WL("CONFIG"), RT_RCDATA), nullptr);  // TSTRES.DLL's, not ours
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::vector<nvx::WString>*>(param);
    if (IS_INTRESOURCE(name)) {
        names->push_back(WL("#") + nvx::WFromAscii(std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(name)))));
    } else {
        names->push_back(name);
    }
    return TRUE;
}

BOOL CALLBACK StopAtFirst(HMODULE, LPCWSTR, LPWSTR, LONG_PTR param) {
    ++*reinterpret_cast<int*>(param);
    return FALSE;
}

TEST_F(ResourceFind, EnumeratesNamesOfAType) {
    std::vector<nvx::WString> names;
    ASSERT_TRUE(EnumResourceNamesW(module_, RT_RCDATA, CollectName, reinterpret_cast<LONG_PTR>(&names)));
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], nvx::WString(WL("#101")));
    EXPECT_EQ(names[1], nvx::WString(WL("CONFIG")));

    int calls = 0;
    EXPECT_FALSE(EnumResourceNamesW(module_, RT_RCDATA, StopAtFirst, reinterpret_cast<LONG_PTR>(&calls)));
    EXPECT_EQ(calls, 1);
    SetLastError(0);
    EXPECT_FALSE(EnumResourceNamesW(module_, RT_BITMAP, CollectName, reinterpret_cast<LONG_PTR>(&names)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

// A callback that stops the enumeration makes it fail with its own error code.
TEST_F(ResourceFind, AStoppedEnumerationSaysTheCallerStoppedIt) {
    int calls = 0;
    SetLastError(0);
    EXPECT_FALSE(EnumResourceNamesW(module_, RT_RCDATA, StopAtFirst, reinterpret_cast<LONG_PTR>(&calls)));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_ENUM_USER_STOP));
}

}  // namespace
