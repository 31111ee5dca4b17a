// GetFileVersionInfoSizeW, GetFileVersionInfoW and VerQueryValueW over
// TSTRES.DLL's version resource.
#include <vector>

#include "support/platform_test.h"
#include "testdlls/testdll_paths.h"

namespace {

using testdll::Path;

class ResourceVersion : public PlatformTest {};

TEST_F(ResourceVersion, ReadsFixedInfoTranslationAndStrings) {
    DWORD handle = 99;
    DWORD size = GetFileVersionInfoSizeW(Path("TSTRES.DLL").c_str(), &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(handle, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(Path("TSTRES.DLL").c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), WL("\\"), reinterpret_cast<LPVOID*>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00050006u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), WL("\\VarFileInfo\\Translation"), reinterpret_cast<LPVOID*>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(*translation, 0x04B00409u);

    WCHAR* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), WL("\\StringFileInfo\\040904B0\\companyname"),
                               reinterpret_cast<LPVOID*>(&text), &length));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Test Company")));
    EXPECT_EQ(length, 13u);  // characters with the terminator

    EXPECT_FALSE(VerQueryValueW(block.data(), WL("\\StringFileInfo\\040904b0\\NoSuchValue"),
                                reinterpret_cast<LPVOID*>(&text), &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), WL("\\NoSuchBlock"), reinterpret_cast<LPVOID*>(&text), &length));
}

TEST_F(ResourceVersion, FilesWithoutVersionInformation) {
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeW(Path("TSTORD.DLL").c_str(), nullptr), 0u);
    EXPECT_NE(GetLastError(), 0u);
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeW(Path("NOSUCH.DLL").c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
