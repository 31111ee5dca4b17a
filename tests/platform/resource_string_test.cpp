// LoadStringW and LoadStringA: blocks of 16, truncation, the read-only pointer
// of cchBufferMax 0, missing strings and languages.
#include <cstring>

#include "support/platform_test.h"
#include "testdlls/testdll_paths.h"
#include "testdlls/testres.h"

#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

using testdll::Path;

class ResourceString : public PlatformTest {
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
    HINSTANCE Instance() const { return reinterpret_cast<HINSTANCE>(module_); }
    HMODULE module_ = nullptr;
};

TEST_F(ResourceString, LoadsFromEveryBlock) {
    WCHAR buffer[64];
    EXPECT_EQ(LoadStringW(Instance(), IDS_HELLO, buffer, 64), 5);
    EXPECT_EQ(nvx::WString(buffer), nvx::WString(WL("Hello")));
    EXPECT_EQ(LoadStringW(Instance(), IDS_BLOCK2, buffer, 64), 12);
    EXPECT_EQ(nvx::WString(buffer), nvx::WString(WL("Second block")));
    EXPECT_EQ(LoadStringW(Instance(), IDS_UMLAUT, buffer, 64), 5);
    EXPECT_EQ(nvx::WString(buffer), nvx::WString(WL("Grüße")));
    EXPECT_EQ(LoadStringW(nullptr, IDS_EXE, buffer, 64), 17);  // the executable's own table
    EXPECT_EQ(nvx::WString(buffer), nvx::WString(WL("Executable string")));

    // Empty slots of a present block, and absent blocks.
    EXPECT_EQ(LoadStringW(Instance(), 3, buffer, 64), 0);
    EXPECT_EQ(LoadStringW(Instance(), 16, buffer, 64), 0);
    EXPECT_EQ(LoadStringW(Instance(), 5000, buffer, 64), 0);
}

TEST_F(ResourceString, TruncatesAndAnswersTheResourceTextForZeroBuffers) {
    const nvx::WString full = WL("The quick brown fox");
    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), WCHAR('#'));
    EXPECT_EQ(LoadStringW(Instance(), IDS_LONG, buffer, 5), 4);
    EXPECT_EQ(nvx::WString(buffer), full.substr(0, 4));
    EXPECT_EQ(buffer[5], WCHAR('#'));
    EXPECT_EQ(LoadStringW(Instance(), IDS_LONG, buffer, 1), 0);
#ifndef _WIN32
    EXPECT_EQ(buffer[0], 0);  // the layer always terminates a buffer it was given
#endif
    EXPECT_EQ(LoadStringW(Instance(), IDS_LONG, buffer, static_cast<int>(full.size())), static_cast<int>(full.size()) - 1);
    EXPECT_EQ(LoadStringW(Instance(), IDS_LONG, buffer, static_cast<int>(full.size()) + 1), static_cast<int>(full.size()));

    // cchBufferMax 0: a read-only pointer into the resource, not terminated.
    const WCHAR* text = nullptr;
    EXPECT_EQ(LoadStringW(Instance(), IDS_LONG, reinterpret_cast<LPWSTR>(&text), 0), static_cast<int>(full.size()));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(nvx::WString(text, full.size()), full);
    ASSERT_EQ(LoadStringW(Instance(), IDS_HELLO, reinterpret_cast<LPWSTR>(&text), 0), 5);
    EXPECT_EQ(nvx::WString(text, 5), nvx::WString(WL("Hello")));
    EXPECT_EQ(text[5], WCHAR(full.size()));  // no terminator: the next string's length follows
    EXPECT_EQ(LoadStringW(Instance(), IDS_HELLO, nullptr, 64), 0);
}

TEST_F(ResourceString, AnsiStringsInTheSystemCodePage) {
    char buffer[64];
    EXPECT_EQ(LoadStringA(Instance(), IDS_HELLO, buffer, 64), 5);
    EXPECT_STREQ(buffer, "Hello");
    EXPECT_EQ(LoadStringA(Instance(), IDS_HELLO, buffer, 3), 2);
    EXPECT_STREQ(buffer, "He");
    EXPECT_EQ(LoadStringA(Instance(), 5000, buffer, 64), 0);
#ifndef _WIN32
    NvxPlatform_SetAnsiCodePage(1252);
    EXPECT_EQ(LoadStringA(Instance(), IDS_UMLAUT, buffer, 64), 5);
    EXPECT_STREQ(buffer, "Gr\xfc\xdf" "e");
#endif
}

}  // namespace
