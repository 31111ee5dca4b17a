// The settings text's syntax, pinned with literal texts written by hand (never by
// our writer): lines, sections, keys, comments, values and their encodings.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "presets/settings_text.h"

namespace {

using namespace nvx;
using namespace nvx::presets;

SettingsDoc Parse(WStringView text) {
    return ParseSettingsText(text.data(), text.size());
}

std::string U8(WStringView s) {
    return Utf8FromW(s);
}

TEST(SettingsTextSyntax, SectionsLinesAndKinds) {
    SettingsDoc doc = Parse(WL("[A]\r\nx=1\r\n; note\r\n\r\n  y  =  two words  \r\nflag\r\n[B]\r\nx=3"));
    ASSERT_EQ(2u, doc.sections.size());
    const SettingsSection& a = doc.sections[0];
    EXPECT_EQ("A", U8(a.name));
    ASSERT_EQ(5u, a.lines.size());
    EXPECT_EQ(LineKind::Key, a.lines[0].kind);
    EXPECT_EQ(LineKind::Comment, a.lines[1].kind);
    EXPECT_EQ("; note", U8(a.lines[1].text));
    EXPECT_EQ(LineKind::Blank, a.lines[2].kind);
    EXPECT_EQ("y", U8(a.lines[3].key));
    EXPECT_EQ("two words", U8(a.lines[3].value));
    EXPECT_EQ(LineKind::Key, a.lines[4].kind);  // a key without "=" has an empty value
    EXPECT_EQ("flag", U8(a.lines[4].key));
    EXPECT_TRUE(a.lines[4].value.empty());
    // The text after the last CR LF is the last line.
    EXPECT_EQ("3", U8(doc.GetRaw(WL("B"), WL("x"), WL(""), 64)));
}

TEST(SettingsTextSyntax, OnlyCrLfEndsALine) {
    // A lone LF or CR stays inside its line.
    SettingsDoc doc = Parse(WL("[S]\r\na=1\nb=2\r\nc=3\rd=4\r\n"));
    EXPECT_EQ("1\nb=2", U8(doc.GetRaw(WL("S"), WL("a"), WL(""), 64)));
    EXPECT_FALSE(doc.HasKey(WL("S"), WL("b")));
    EXPECT_EQ("3\rd=4", U8(doc.GetRaw(WL("S"), WL("c"), WL(""), 64)));
}

TEST(SettingsTextSyntax, LfOnlyFileIsOneHeaderWithNoKeys) {
    SettingsDoc doc = Parse(WL("[DriverInfo]\nmodel=\"X\"\nversionnum=1\n[EasySetName]\nname=\"n\"\n"));
    ASSERT_EQ(1u, doc.sections.size());
    EXPECT_EQ("DriverInfo", U8(doc.sections[0].name));
    EXPECT_TRUE(doc.sections[0].lines.empty());
}

TEST(SettingsTextSyntax, HeaderRules) {
    SettingsDoc doc = Parse(WL("[]\r\n  [Name] trailing\r\n[x\r\n[a]b]\r\n"));
    // "[]" is no header: it starts the unnamed section as a key line.
    ASSERT_EQ(3u, doc.sections.size());
    EXPECT_TRUE(doc.sections[0].name.empty());
    EXPECT_EQ("[]", U8(doc.sections[0].lines[0].key));
    EXPECT_EQ("Name", U8(doc.sections[1].name));
    // "[x" has no "]": a key line; "[a]b]" is a header named "a".
    ASSERT_EQ(1u, doc.sections[1].lines.size());
    EXPECT_EQ("[x", U8(doc.sections[1].lines[0].key));
    EXPECT_EQ("a", U8(doc.sections[2].name));
}

TEST(SettingsTextSyntax, NamesMatchExactlyAndTheFirstWins) {
    SettingsDoc doc = Parse(WL("[S]\r\nk=1\r\nk=2\r\nK=3\r\n[S]\r\nk=4\r\nz=5\r\n"));
    EXPECT_EQ("1", U8(doc.GetRaw(WL("S"), WL("k"), WL(""), 64)));
    EXPECT_EQ("3", U8(doc.GetRaw(WL("S"), WL("K"), WL(""), 64)));
    EXPECT_FALSE(doc.HasKey(WL("s"), WL("k")));
    // A repeated section name makes a second section; lookups see the first only.
    EXPECT_EQ(2u, doc.sections.size());
    EXPECT_FALSE(doc.HasKey(WL("S"), WL("z")));
}

TEST(SettingsTextSyntax, LimitsCutNamesKeysAndValues) {
    WString longName(300, 'n');
    WString longKey(1100, 'k');
    WString longValue(2000, 'v');
    WString text = WL("[") + longName + WL("]\r\n") + longKey + WL("=") + longValue + WL("\r\n");
    SettingsDoc doc = Parse(text);
    ASSERT_EQ(1u, doc.sections.size());
    EXPECT_EQ(255u, doc.sections[0].name.size());
    EXPECT_EQ(1023u, doc.sections[0].lines[0].key.size());
    EXPECT_EQ(1023u, doc.sections[0].lines[0].value.size());
}

TEST(SettingsTextRender, CrLfBlankLineBetweenSectionsAndUnnamedFirst) {
    SettingsDoc doc = Parse(WL("; top\r\n[A]\r\nx = 1\r\n[B]\r\n; only a comment\r\n[C]\r\ny=2"));
    EXPECT_EQ("; top\r\n[A]\r\nx=1\r\n\r\n[B]\r\n; only a comment\r\n[C]\r\ny=2\r\n", U8(RenderSettingsText(doc)));
}

TEST(SettingsTextRender, SetRawReplacesInPlaceAndAppendsNewKeys) {
    SettingsDoc doc = Parse(WL("[S]\r\na=1\r\nb=2\r\n"));
    EXPECT_TRUE(doc.SetRaw(WL("S"), WL("a"), WL("9")));
    EXPECT_TRUE(doc.SetRaw(WL("S"), WL("c"), WL("3")));
    EXPECT_TRUE(doc.SetRaw(WL("T"), WL("d"), WL("4")));
    EXPECT_EQ("[S]\r\na=9\r\nb=2\r\nc=3\r\n\r\n[T]\r\nd=4\r\n", U8(RenderSettingsText(doc)));
    // Names that would not read back are refused.
    EXPECT_FALSE(doc.SetRaw(WL(""), WL("k"), WL("1")));
    EXPECT_FALSE(doc.SetRaw(WL("S"), WL(""), WL("1")));
    EXPECT_FALSE(doc.SetRaw(WL("S"), WL("a=b"), WL("1")));
    EXPECT_FALSE(doc.SetRaw(WL("S"), WL(";c"), WL("1")));
    EXPECT_FALSE(doc.SetRaw(WL("S"), WL("k"), WL("a\r\nb")));
    EXPECT_FALSE(doc.SetRaw(WL("S]"), WL("k"), WL("1")));
}

TEST(SettingsTextValues, NumbersReadAsDecimalWithinTheirRange) {
    SettingsDoc doc = Parse(WL("[N]\r\na=-12\r\nb=+7\r\nc=\r\nd=12x\r\ne=0x10\r\nf=300\r\ng= 5 \r\n"));
    int64_t v = 0;
    EXPECT_EQ(SettingsDoc::Read::Ok, doc.ReadNumber(WL("N"), WL("a"), -100, 100, &v));
    EXPECT_EQ(-12, v);
    EXPECT_EQ(SettingsDoc::Read::Ok, doc.ReadNumber(WL("N"), WL("b"), 0, 100, &v));
    EXPECT_EQ(7, v);
    // An empty value is treated as absent.
    EXPECT_EQ(SettingsDoc::Read::Absent, doc.ReadNumber(WL("N"), WL("c"), 0, 100, &v));
    EXPECT_EQ(SettingsDoc::Read::Absent, doc.ReadNumber(WL("N"), WL("missing"), 0, 100, &v));
    EXPECT_EQ(SettingsDoc::Read::Bad, doc.ReadNumber(WL("N"), WL("d"), 0, 100, &v));
    EXPECT_EQ(SettingsDoc::Read::Bad, doc.ReadNumber(WL("N"), WL("e"), 0, 100, &v));
    EXPECT_EQ(SettingsDoc::Read::Bad, doc.ReadNumber(WL("N"), WL("f"), 0, 255, &v));
    EXPECT_EQ(SettingsDoc::Read::Bad, doc.ReadNumber(WL("N"), WL("a"), 0, 255, &v));
    EXPECT_EQ(SettingsDoc::Read::Ok, doc.ReadNumber(WL("N"), WL("g"), 0, 255, &v));  // trimmed
    EXPECT_EQ(5, v);
    WString huge = WL("[N]\r\nh=") + WString(64, '1') + WL("\r\n");
    SettingsDoc big = Parse(huge);
    EXPECT_EQ(SettingsDoc::Read::Bad, big.ReadNumber(WL("N"), WL("h"), INT32_MIN, UINT32_MAX, &v));
}

TEST(SettingsTextValues, StringsDecodeTheirEscapes) {
    SettingsDoc doc = Parse(WL("[S]\r\n"
                               "a=\"Line\\nTwo\\rThree\"\r\n"
                               "b=\"say \\\"hi\\\" it\\'s C:\\\\dir\"\r\n"
                               "c=\"tab\\there\"\r\n"
                               "d=no quotes\r\n"
                               "e=\"only leading\r\n"
                               "f=\"trailing backslash\\\r\n"));
    WString s;
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("a"), 64, &s));
    EXPECT_EQ("Line\nTwo\rThree", U8(s));
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("b"), 64, &s));
    EXPECT_EQ("say \"hi\" it's C:\\dir", U8(s));
    // A backslash before another letter vanishes with that letter.
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("c"), 64, &s));
    EXPECT_EQ("tabhere", U8(s));
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("d"), 64, &s));
    EXPECT_EQ("no quotes", U8(s));
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("e"), 64, &s));
    EXPECT_EQ("only leading", U8(s));
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("f"), 64, &s));
    EXPECT_EQ("trailing backslash", U8(s));
    // Cut to the capacity minus one.
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadString(WL("S"), WL("d"), 4, &s));
    EXPECT_EQ("no ", U8(s));
}

TEST(SettingsTextValues, WrittenStringsAreQuotedAndEscaped) {
    SettingsDoc doc;
    ASSERT_TRUE(doc.WriteString(WL("S"), WL("k"), WL("a\"b\\c'd\ne\rf")));
    ASSERT_TRUE(doc.WriteNumber(WL("S"), WL("n"), -5));
    EXPECT_EQ("[S]\r\nk=\"a\\\"b\\\\c\\'d\\ne\\rf\"\r\nn=-5\r\n", U8(RenderSettingsText(doc)));
    WString back;
    SettingsDoc reread = Parse(RenderSettingsText(doc));
    ASSERT_EQ(SettingsDoc::Read::Ok, reread.ReadString(WL("S"), WL("k"), 64, &back));
    EXPECT_EQ("a\"b\\c'd\ne\rf", U8(back));
}

TEST(SettingsTextValues, NarrowStringsRefuseWhatDoesNotFit) {
    SettingsDoc doc = Parse(WL("[S]\r\nk=\"abcdef\"\r\n"));
    std::string s;
    EXPECT_EQ(SettingsDoc::Read::Bad, doc.ReadNarrow(WL("S"), WL("k"), 6, &s));
    ASSERT_EQ(SettingsDoc::Read::Ok, doc.ReadNarrow(WL("S"), WL("k"), 7, &s));
    EXPECT_EQ("abcdef", s);
}

TEST(SettingsTextFiles, FileBytesCarryTheMarkAndLoadWithOrWithout) {
    SettingsDoc doc;
    doc.WriteString(WL("S"), WL("k"), WL("\u00e9"));
    std::string bytes = SettingsFileBytes(doc);
    EXPECT_EQ(std::string("\xEF\xBB\xBF[S]\r\nk=\"\xC3\xA9\"\r\n"), bytes);
    SettingsDoc back;
    ASSERT_EQ(ERROR_SUCCESS, ParseSettingsFileBytes(bytes, &back));
    EXPECT_EQ(RenderSettingsText(doc), RenderSettingsText(back));
    ASSERT_EQ(ERROR_SUCCESS, ParseSettingsFileBytes(bytes.substr(3), &back));
    EXPECT_EQ(RenderSettingsText(doc), RenderSettingsText(back));
    // Invalid UTF-8 reads as replacement characters; a NUL byte is no text.
    ASSERT_EQ(ERROR_SUCCESS, ParseSettingsFileBytes("[S]\r\nk=\xff\xfe\r\n", &back));
    EXPECT_EQ(2u, back.FindKey(WL("S"), WL("k"))->value.size());
    EXPECT_EQ(DWORD(ERROR_INVALID_DATA), ParseSettingsFileBytes(std::string("[S]\r\nk=1\0x", 11), &back));
}

TEST(SettingsTextFiles, Utf16BytesAreLittleEndianWithoutMark) {
    SettingsDoc doc = Parse(WL("[S]\r\nk=1"));
    std::vector<BYTE> bytes = ToUtf16Bytes(RenderSettingsText(doc));
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ('[', bytes[0]);
    EXPECT_EQ(0, bytes[1]);
    EXPECT_EQ(2 * RenderSettingsText(doc).size(), bytes.size());
    SettingsDoc back = ParseUtf16Bytes(bytes.data(), bytes.size() + 0);
    EXPECT_EQ(RenderSettingsText(doc), RenderSettingsText(back));
    // An odd trailing byte is ignored; a lone surrogate is kept as it is.
    bytes.push_back(0x41);
    back = ParseUtf16Bytes(bytes.data(), bytes.size());
    EXPECT_EQ(RenderSettingsText(doc), RenderSettingsText(back));
    WString lone = WL("[S]\r\nk=");
    lone += static_cast<WCHAR>(0xD800);
    back = ParseSettingsText(lone.data(), lone.size());
    EXPECT_EQ(1u, back.FindKey(WL("S"), WL("k"))->value.size());
}

TEST(SettingsTextFiles, ManySectionsAndLongLinesParse) {
    WString text;
    for (int i = 0; i < 100000; ++i) text += WL("[s]\r\n");
    SettingsDoc doc = Parse(text);
    EXPECT_EQ(100000u, doc.sections.size());
    WString line = WL("[S]\r\nk=") + WString(1 << 20, 'x');
    doc = Parse(line);
    EXPECT_EQ(kMaxValueChars, doc.FindKey(WL("S"), WL("k"))->value.size());
}

}  // namespace
