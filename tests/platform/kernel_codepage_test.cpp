// Code pages: the MultiByteToWideChar / WideCharToMultiByte contract, 1252's
// table, UTF-8's error handling and 932's double-byte characters.
#include <string>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

class KernelCodePage : public PlatformTest {
protected:
    static nvx::WString ToWide(UINT cp, const std::string& bytes, DWORD flags = 0) {
        int n = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (n <= 0) return nvx::WString();
        nvx::WString out(static_cast<size_t>(n), 0);
        MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
        return out;
    }
    static std::string ToBytes(UINT cp, const nvx::WString& text, BOOL* usedDefault = nullptr) {
        int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, usedDefault);
        if (n <= 0) return std::string();
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, usedDefault);
        return out;
    }
};

TEST_F(KernelCodePage, SizesTerminatorsAndShortBuffers) {
    // -1 counts the terminator, in both directions.
    EXPECT_EQ(4, MultiByteToWideChar(1252, 0, "abc", -1, nullptr, 0));
    WCHAR wide[8];
    EXPECT_EQ(4, MultiByteToWideChar(1252, 0, "abc", -1, wide, 8));
    EXPECT_EQ(nvx::WString(WL("abc")), wide);
    EXPECT_EQ(3, MultiByteToWideChar(1252, 0, "abcdef", 3, wide, 8));  // an explicit count adds no terminator
    EXPECT_EQ(4, WideCharToMultiByte(1252, 0, WL("xyz"), -1, nullptr, 0, nullptr, nullptr));
    char narrow[8];
    EXPECT_EQ(4, WideCharToMultiByte(1252, 0, WL("xyz"), -1, narrow, 8, nullptr, nullptr));
    EXPECT_STREQ("xyz", narrow);

    EXPECT_EQ(0, MultiByteToWideChar(1252, 0, "abc", -1, wide, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0, WideCharToMultiByte(1252, 0, WL("xyz"), -1, narrow, 3, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());

    EXPECT_EQ(0, MultiByteToWideChar(1252, 0, nullptr, 3, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(1252, 0, "abc", 0, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_EQ(4, MultiByteToWideChar(1252, 0, "abc", -2002, wide, 8));  // any negative length is -1
    EXPECT_EQ(0xdeadbeefu, GetLastError());  // success leaves the last error alone
    EXPECT_EQ(4, WideCharToMultiByte(1252, 0, WL("xyz"), -7, narrow, 8, nullptr, nullptr));
    EXPECT_EQ(0, MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(12345, 0, "abc", 3, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, WideCharToMultiByte(1252, 0, WL("x"), -1, narrow, -1, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(1252, 0x1000, "abc", 3, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
}

TEST_F(KernelCodePage, Windows1252Table) {
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0x20AC)), ToWide(1252, "\x80"));
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0x0081)), ToWide(1252, "\x81"));  // unassigned: the C1 control
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0x2122)), ToWide(1252, "\x99"));
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0x0178)), ToWide(1252, "\x9F"));
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0x00E9)), ToWide(1252, "\xE9"));
    // Every byte is defined, even for the strict flag.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(255u, ToWide(1252, all, MB_ERR_INVALID_CHARS).size());
    EXPECT_EQ(all, ToBytes(1252, ToWide(1252, all)));

    BOOL used = TRUE;
    EXPECT_EQ("\x80", ToBytes(1252, nvx::WString(1, static_cast<WCHAR>(0x20AC)), &used));
    EXPECT_FALSE(used);
    EXPECT_EQ("a?b", ToBytes(1252, WL("a\u3042b"), &used));
    EXPECT_TRUE(used);
    char out[8];
    EXPECT_EQ(3, WideCharToMultiByte(1252, 0, WL("a\u3042b"), 3, out, 8, "*", &used));
    EXPECT_EQ("a*b", std::string(out, 3));
}

TEST_F(KernelCodePage, Utf8StrictAndReplacement) {
    nvx::WString text = WL("\u00e9\u65e5");
    text += static_cast<WCHAR>(0xD83D);
    text += static_cast<WCHAR>(0xDE00);  // U+1F600
    std::string utf8 = ToBytes(CP_UTF8, text);
    EXPECT_EQ("\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", utf8);
    EXPECT_EQ(text, ToWide(CP_UTF8, utf8));

    // A bad sequence becomes U+FFFD, or fails the strict conversion.
    nvx::WString replaced = ToWide(CP_UTF8, "a\xC3(b");
    EXPECT_EQ(nvx::WString(WL("a\uFFFD(b")), replaced);
    EXPECT_EQ(nvx::WString(WL("\uFFFD")), ToWide(CP_UTF8, "\xED\xA0\x80").substr(0, 1));  // no encoded surrogates
    WCHAR wide[8];
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3(b", 4, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xE6\x97", 2, wide, 8));  // cut short
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());

    WCHAR lone[] = {WL('x'), static_cast<WCHAR>(0xD800), WL('y')};
    char out[16];
    EXPECT_EQ(5, WideCharToMultiByte(CP_UTF8, 0, lone, 3, out, 16, nullptr, nullptr));
    EXPECT_EQ("x\xEF\xBF\xBDy", std::string(out, 5));
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, out, 16, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
}

TEST_F(KernelCodePage, Utf8HasNoDefaultCharacterFlag) {
    char out[16];
    BOOL used;
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, WL("x"), 1, out, 16, nullptr, &used));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(KernelCodePage, Japanese932) {
    for (int b = 0; b < 256; ++b) {
        bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(lead ? TRUE : FALSE, IsDBCSLeadByteEx(932, static_cast<BYTE>(b))) << b;
    }
    EXPECT_FALSE(IsDBCSLeadByteEx(1252, 0x81));

    nvx::WString text = WL("\u65e5\u672c\u8a9e\u30c6\u30ad\u30b9\u30c8 \uff71\uff72 ABC\\~");
    std::string sjis = ToBytes(932, text);
    EXPECT_EQ("\x93\xFA\x96\x7B\x8C\xEA\x83\x65\x83\x4C\x83\x58\x83\x67 \xB1\xB2 ABC\\~", sjis);
    EXPECT_EQ(text, ToWide(932, sjis));
    EXPECT_EQ(text, ToWide(932, sjis, MB_ERR_INVALID_CHARS));

    // Where Windows has two codes for a character it writes the NEC or IBM one it prefers.
    EXPECT_EQ("\x81\xE0", ToBytes(932, WL("\u2252")));
    EXPECT_EQ("\xFA\x40", ToBytes(932, WL("\u2170")));
    EXPECT_EQ(nvx::WString(WL("\u2252")), ToWide(932, "\x87\x90"));
    // Single bytes Windows defines beyond the standard table.
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0x0080)), ToWide(932, "\x80"));
    EXPECT_EQ(nvx::WString(1, static_cast<WCHAR>(0xF8F0)), ToWide(932, "\xA0"));

    // A lead byte without its trail byte.
    EXPECT_EQ(nvx::WString(WL("a\u30fb")), ToWide(932, "a\x81"));
    WCHAR wide[8];
    EXPECT_EQ(0, MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "a\x81", 2, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());

    // A short buffer never receives half a character.
    char out[3] = {'.', '.', '.'};
    EXPECT_EQ(0, WideCharToMultiByte(932, 0, WL("\u65e5\u672c"), 2, out, 3, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ('.', out[2]);
}

#ifndef _WIN32
TEST_F(KernelCodePage, AnsiCodePageFollowsTheHost) {
    EXPECT_EQ(1252u, GetACP());
    EXPECT_EQ(437u, GetOEMCP());
    EXPECT_FALSE(IsDBCSLeadByte(0x81));
    ASSERT_TRUE(NvxPlatform_SetAnsiCodePage(932));
    EXPECT_EQ(932u, GetACP());
    EXPECT_EQ(932u, GetOEMCP());
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_EQ(nvx::WString(WL("\u65e5")), ToWide(CP_ACP, "\x93\xFA"));
    ASSERT_TRUE(NvxPlatform_SetAnsiCodePage(1252));
    EXPECT_EQ(nvx::WString(WL("\u201c\u00fa")), ToWide(CP_ACP, "\x93\xFA"));
}
#endif

}  // namespace
