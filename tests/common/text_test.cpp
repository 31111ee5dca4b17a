// Text and packed-field helpers: the cases callers rely on.
#include <gtest/gtest.h>

#include <cstring>

#include "common/le.h"
#include "common/text.h"

using nvx::WString;

TEST(WideText, BoundedCopyCutsAndAlwaysTerminates) {
    WCHAR buf[4];
    EXPECT_EQ(3u, nvx::WCopy(buf, 4, WL("abcdef")));
    EXPECT_EQ(WString(WL("abc")), buf);
    EXPECT_EQ(0u, nvx::WCopy(buf, 1, WL("x")));
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(0u, nvx::WCopy(buf, 4, static_cast<const WCHAR*>(nullptr)));
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(0u, nvx::WCopy(nullptr, 4, WL("x")));
    WCHAR app[6] = WL("ab");
    EXPECT_EQ(5u, nvx::WAppend(app, 6, WL("cdefg")));
    EXPECT_EQ(WString(WL("abcde")), app);
}

TEST(WideText, CaseInsensitiveComparisonAsWindowsNamesCompare) {
    EXPECT_TRUE(nvx::WEqualNoCase(WL("Software\\Velmora"), WL("SOFTWARE\\velmora")));
    EXPECT_TRUE(nvx::WEqualNoCase(WL("\u00e9t\u00e9"), WL("\u00c9T\u00c9")));
    EXPECT_TRUE(nvx::WEqualNoCase(WL("\u0434"), WL("\u0414")));
    EXPECT_FALSE(nvx::WEqualNoCase(WL("abc"), WL("abcd")));
    EXPECT_LT(nvx::WCompareNoCase(WL("a"), WL("B")), 0);
    EXPECT_TRUE(nvx::AsciiEqualNoCase("Ver_Driver", "VER_DRIVER"));
}

TEST(WideText, Utf8RoundTripWithSurrogatesAndMalformedInput) {
    WString s = WL("A\u00e9\u65e5\U0001F600");
    EXPECT_EQ(s, nvx::WFromUtf8(nvx::Utf8FromW(s)));
    EXPECT_EQ("A\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80", nvx::Utf8FromW(s));
    // A lone surrogate becomes U+FFFD; each byte of a bad sequence becomes one U+FFFD.
    const WCHAR lone[] = {0xD800, u'x', 0};
    EXPECT_EQ("\xef\xbf\xbdx", nvx::Utf8FromW(lone));
    EXPECT_EQ(WString(WL("\uFFFD\uFFFD")), nvx::WFromUtf8("\xe6\x97"));
    EXPECT_EQ(WString(WL("\uFFFD\uFFFD/")), nvx::WFromUtf8("\xc0\xaf/"));  // overlong
}

TEST(WideText, FormatFollowsWindowsWidePrintf) {
    WCHAR buf[64];
    EXPECT_EQ(15, nvx::WFormat(buf, 64, WL("EasySetData%04d"), 7));
    EXPECT_EQ(WString(WL("EasySetData0007")), buf);
    nvx::WFormat(buf, 64, WL("%s|%S|%hs|%ls|%c"), WL("w"), "n1", "n2", WL("w2"), u'Z');
    EXPECT_EQ(WString(WL("w|n1|n2|w2|Z")), buf);
    nvx::WFormat(buf, 64, WL("%-4s|%5.2s|%x|%X|%u|%%"), WL("ab"), WL("xyz"), 255u, 255u, 4000000000u);
    EXPECT_EQ(WString(WL("ab  |   xy|ff|FF|4000000000|%")), buf);
    nvx::WFormat(buf, 64, WL("WMOrder%02d %I64d %lld"), 3, static_cast<long long>(-5), 1LL << 40);
    EXPECT_EQ(WString(WL("WMOrder03 -5 1099511627776")), buf);
    // Cut results are terminated and reported as -1.
    EXPECT_EQ(-1, nvx::WFormat(buf, 4, WL("%d"), 123456));
    EXPECT_EQ(WString(WL("123")), buf);
    EXPECT_EQ(WString(WL("Software\\VELMORA\\drv\\prn")),
              nvx::WFormatString(WL("Software\\%s\\%s\\%s"), WL("VELMORA"), WL("drv"), WL("prn")));
    WString longText(1000, u'q');
    EXPECT_EQ(longText + WL("!"), nvx::WFormatString(WL("%s!"), longText.c_str()));
}

TEST(PackedFields, LittleEndianRegardlessOfAlignment) {
    unsigned char rec[16] = {};
    nvx::PutField<uint32_t>(rec, 1, 0x20D8u);
    EXPECT_EQ(0xD8, rec[1]);
    EXPECT_EQ(0x20, rec[2]);
    EXPECT_EQ(0x20D8u, nvx::GetField<uint32_t>(rec, 1));
    nvx::PutField<int16_t>(rec, 7, -2);
    EXPECT_EQ(-2, nvx::GetField<int16_t>(rec, 7));
    nvx::PutLE64(rec + 8, 0x0102030405060708ull);
    EXPECT_EQ(0x08, rec[8]);
    EXPECT_EQ(0x0102030405060708ull, nvx::GetLE64(rec + 8));
    EXPECT_TRUE(nvx::InBounds(16, 12, 4));
    EXPECT_FALSE(nvx::InBounds(16, 13, 4));
    EXPECT_FALSE(nvx::InBounds(16, 17, 0));
    EXPECT_FALSE(nvx::InBounds(16, 4, SIZE_MAX));
}
