// The settings text's sections: the preset header, the settings record (round trip
// through the field table, the groups and rules), the watermark sections, the import
// checks in their order, and files that are saved without losing the old one.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "presets/settings_exchange.h"
#include "settings/oemdev_template.h"
#include "support/platform_test.h"

namespace {

using namespace nvx;
using namespace nvx::presets;
using namespace nvx::settings;

SettingsDoc Parse(WStringView text) {
    return ParseSettingsText(text.data(), text.size());
}

// A record with every exchanged field set to a value that needs its whole width
// (and its sign), text fields filled to their capacity.
OEMDEV BusyRecord(uint32_t seed) {
    OEMDEV r{};
    WriteRecordHeader(r);
    std::mt19937 rng(seed);
    for (size_t i = 0; i < kOemDevFieldCount; ++i) {
        const FieldDef& def = kOemDevFields[i];
        if (def.use != kExchanged) continue;
        for (uint32_t e = 0; e < def.count; ++e) {
            FieldRef f{&def, e};
            switch (def.kind) {
            case FieldKind::Ansi: {
                std::string s;
                for (size_t c = 0; c + 1 < def.size; ++c) s += static_cast<char>('a' + rng() % 26);
                SetAnsi(r, f, s);
                break;
            }
            case FieldKind::Text: {
                WString s;
                for (size_t c = 0; c + 1 < TextCapacity(def); ++c) s += WL("A\"\\'\n\rz\u00e9")[rng() % 8];
                SetText(r, f, s);
                break;
            }
            default: SetNumber(r, f, static_cast<int64_t>(static_cast<int32_t>(rng()))); break;
            }
        }
    }
    return r;
}

OEMDEV Template() {
    OEMDEV r;
    BuildTemplate(r);
    return r;
}

RecordExchangeRules AllGroups() {
    RecordExchangeRules rules;
    rules.options[kIncludePaper] = 1;
    rules.options[kIncludeResolution] = 1;
    rules.imageShiftType1 = rules.coverType1 = rules.colorAdjustType1 = rules.colorAdjustOtherType2 = true;
    return rules;
}

bool Secret(const std::string& key) { return key == "szVLUserKey" || key == "szVLSectionKey"; }

// Byte for byte in every field the rules carry (the secrets are not carried).
void ExpectSameExchangedFields(const OEMDEV& a, const OEMDEV& b, const RecordExchangeRules& rules) {
    for (const ExchangeItem& item : ExchangeOrder()) {
        if (!IsKeyExchanged(*item.field.def, rules) || Secret(item.key)) continue;
        EXPECT_EQ(0, std::memcmp(a.bytes + item.field.Offset(), b.bytes + item.field.Offset(), item.field.Size()))
            << item.key;
    }
}

TEST(SettingsExchangeRecord, BusyRecordRoundTripsByteForByte) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        RecordExchangeRules rules = AllGroups();
        OEMDEV in = BusyRecord(seed);
        // The output paper rule would copy the paper size over the output size.
        SetNumber(in, "nOutPaperSize", 9);
        SettingsDoc doc;
        ASSERT_TRUE(ExchangeRecord(Direction::Write, doc, in, rules));
        SettingsDoc reread = Parse(RenderSettingsText(doc));
        OEMDEV out = Template();
        ASSERT_TRUE(ExchangeRecord(Direction::Read, reread, out, rules));
        ExpectSameExchangedFields(in, out, rules);
    }
}

TEST(SettingsExchangeRecord, TheUserAndDepartmentKeysNeverTravelInClear) {
    RecordExchangeRules rules = AllGroups();
    OEMDEV in = Template();
    SetAnsi(in, FindField("szVLUserKey"), "Sesame-9");
    SetAnsi(in, FindField("szVLSectionKey"), "4711");
    SettingsDoc doc;
    ASSERT_TRUE(ExchangeRecord(Direction::Write, doc, in, rules));
    const std::string text = Utf8FromW(RenderSettingsText(doc));
    EXPECT_EQ(std::string::npos, text.find("Sesame-9"));
    EXPECT_EQ(std::string::npos, text.find("4711"));
    EXPECT_TRUE(doc.HasKey(WL("OEMDEV"), WL("szVLUserKey")));  // the key stays, empty
    // A text from elsewhere that carries them in clear: the record keeps its own.
    SettingsDoc old = Parse(WL("[OEMDEV]\r\nszVLUserKey=\"Leaked\"\r\nszVLSectionKey=\"9999\"\r\n"));
    ASSERT_TRUE(ExchangeRecord(Direction::Read, old, in, rules));
    EXPECT_EQ("Sesame-9", GetAnsi(in, FindField("szVLUserKey")));
    EXPECT_EQ("4711", GetAnsi(in, FindField("szVLSectionKey")));
}

TEST(SettingsExchangeRecord, TemplateWrittenAndReadGivesTheTemplate) {
    RecordExchangeRules rules = AllGroups();
    OEMDEV in = Template();
    SettingsDoc doc;
    ASSERT_TRUE(ExchangeRecord(Direction::Write, doc, in, rules));
    OEMDEV out{};
    WriteRecordHeader(out);
    ASSERT_TRUE(ExchangeRecord(Direction::Read, doc, out, rules));
    ExpectSameExchangedFields(in, out, rules);
}

TEST(SettingsExchangeRecord, KeysFollowTheRulesAndTheTable) {
    OEMDEV r = Template();
    RecordExchangeRules preset;  // no switches
    SettingsDoc doc;
    ASSERT_TRUE(ExchangeRecord(Direction::Write, doc, r, preset));
    const SettingsSection* s = doc.FindSection(WL("OEMDEV"));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("bPassthruOff", Utf8FromW(s->lines.front().key));
    EXPECT_FALSE(doc.HasKey(WL("OEMDEV"), WL("nOutputMethod")));
    EXPECT_FALSE(doc.HasKey(WL("OEMDEV"), WL("nFrontImgShiftX")));
    EXPECT_FALSE(doc.HasKey(WL("OEMDEV"), WL("CoverMFP.nPerPageList")));
    EXPECT_FALSE(doc.HasKey(WL("OEMDEV"), WL("ColorAdjustPRT.nType")));
    EXPECT_FALSE(doc.HasKey(WL("OEMDEV"), WL("bImgShiftBackAuto")));
    EXPECT_TRUE(doc.HasKey(WL("OEMDEV"), WL("nFrontImgShiftGap")));
    EXPECT_TRUE(doc.HasKey(WL("OEMDEV"), WL("PTInfoEach[9].nPaperPrePunched")));
    EXPECT_TRUE(doc.HasKey(WL("OEMDEV"), WL("SubTTFontNameNumber[26]")));
    RecordExchangeRules setup;
    setup.fullSetup = true;
    SettingsDoc full;
    ASSERT_TRUE(ExchangeRecord(Direction::Write, full, r, setup));
    EXPECT_FALSE(full.HasKey(WL("OEMDEV"), WL("bPassthruOff")));
    EXPECT_TRUE(full.HasKey(WL("OEMDEV"), WL("nOutputMethod")));
    // Other-object colour adjustment needs both switches.
    RecordExchangeRules color;
    color.colorAdjustType1 = true;
    SettingsDoc c;
    ExchangeRecord(Direction::Write, c, r, color);
    EXPECT_TRUE(c.HasKey(WL("OEMDEV"), WL("ColorAdjustMFP.EachEtc.nScreenSmooth")));
    EXPECT_FALSE(c.HasKey(WL("OEMDEV"), WL("ColorAdjustMFP.EachEtcType2.Match.nType")));
}

TEST(SettingsExchangeRecord, ReadingSkipsGroupsLockedColourAndMissingKeys) {
    SettingsDoc doc = Parse(WL("[OEMDEV]\r\nnOrientation=2\r\nnPaperSize=11\r\nnResoH=1200\r\nnColorMode=1\r\n"
                               "nCopies=7\r\nnScale=\r\n"));
    OEMDEV r = Template();
    const OEMDEV before = r;
    RecordExchangeRules rules;
    rules.lockedFeatures = {"SelectColor"};
    ASSERT_TRUE(ExchangeRecord(Direction::Read, doc, r, rules));
    EXPECT_EQ(7, GetNumber(r, "nCopies"));
    EXPECT_EQ(GetNumber(before, "nOrientation"), GetNumber(r, "nOrientation"));
    EXPECT_EQ(GetNumber(before, "nPaperSize"), GetNumber(r, "nPaperSize"));
    EXPECT_EQ(GetNumber(before, "nResoH"), GetNumber(r, "nResoH"));
    EXPECT_EQ(GetNumber(before, "nColorMode"), GetNumber(r, "nColorMode"));
    EXPECT_EQ(GetNumber(before, "nScale"), GetNumber(r, "nScale"));  // empty value: absent
    rules.lockedFeatures.clear();
    rules.options[kIncludePaper] = rules.options[kIncludeResolution] = 1;
    ASSERT_TRUE(ExchangeRecord(Direction::Read, doc, r, rules));
    EXPECT_EQ(2, GetNumber(r, "nOrientation"));
    EXPECT_EQ(11, GetNumber(r, "nPaperSize"));
    EXPECT_EQ(1200, GetNumber(r, "nResoH"));
    EXPECT_EQ(1, GetNumber(r, "nColorMode"));
}

TEST(SettingsExchangeRecord, AFailedKeyLeavesItsFieldAndTheOthersApply) {
    WString text = WL("[OEMDEV]\r\nnCopies=70000\r\nnNup=-1\r\nbCollate=1\r\nszCPText=\"ok\"\r\n"
                      "WmkInfo.szKey=\"") + WString(40, 'k') + WL("\"\r\nnScale=abc\r\nbNup=1\r\n");
    SettingsDoc doc = Parse(text);
    OEMDEV r = Template();
    const OEMDEV before = r;
    std::vector<std::string> failed;
    EXPECT_FALSE(ExchangeRecord(Direction::Read, doc, r, RecordExchangeRules{}, &failed));
    EXPECT_EQ((std::vector<std::string>{"nScale", "nCopies", "nNup", "WmkInfo.szKey"}), failed);
    EXPECT_EQ(GetNumber(before, "nCopies"), GetNumber(r, "nCopies"));  // u16 overflow refused
    EXPECT_EQ(GetNumber(before, "nNup"), GetNumber(r, "nNup"));        // negative for u8 refused
    EXPECT_EQ(GetNumber(before, "nScale"), GetNumber(r, "nScale"));
    EXPECT_EQ(GetAnsi(before, FindField("WmkInfo.szKey")), GetAnsi(r, FindField("WmkInfo.szKey")));
    EXPECT_EQ(1, GetNumber(r, "bCollate"));
    EXPECT_EQ(1, GetNumber(r, "bNup"));
    EXPECT_EQ("ok", Utf8FromW(GetText(r, FindField("szCPText"))));
}

TEST(SettingsExchangeRecord, CopyProtectAndOutputPaperRules) {
    OEMDEV r = Template();
    SetNumber(r, "bCopyProtect", 1);
    SetNumber(r, "nCSE_CopyProtectOp", 2);
    RecordExchangeRules rules;
    rules.copyProtectKind = 3;
    SettingsDoc doc;
    ExchangeRecord(Direction::Write, doc, r, rules);
    EXPECT_EQ("0", Utf8FromW(doc.GetRaw(WL("OEMDEV"), WL("bCopyProtect"), WL(""), 64)));
    EXPECT_EQ(1, GetNumber(r, "bCopyProtect"));  // the record keeps it
    rules.copyProtectKind = 1;
    ExchangeRecord(Direction::Write, doc, r, rules);
    EXPECT_EQ("1", Utf8FromW(doc.GetRaw(WL("OEMDEV"), WL("bCopyProtect"), WL(""), 64)));

    SettingsDoc in = Parse(WL("[OEMDEV]\r\nnOutPaperSize=356\r\nsizPaper.cx=1000\r\nsizPaper.cy=2000\r\n"
                              "sizOutPaper.cx=5\r\nsizOutPaper.cy=6\r\n"));
    RecordExchangeRules paper;
    paper.options[kIncludePaper] = 1;
    OEMDEV o = Template();
    ExchangeRecord(Direction::Read, in, o, paper);
    EXPECT_EQ(1000, GetNumber(o, "sizOutPaper.cx"));
    EXPECT_EQ(2000, GetNumber(o, "sizOutPaper.cy"));
}

TEST(SettingsExchangeRecord, ResolutionIndexIsDerivedFromTheTable) {
    SettingsDoc doc = Parse(WL("[OEMDEV]\r\nbyResolution=0\r\nnResoH=1200\r\nnResoV=1200\r\nnResoHV=1200\r\n"
                               "nBitsPixel=1\r\n"));
    RecordExchangeRules rules;
    rules.options[kIncludeResolution] = 1;
    rules.resolutions = {{600, 600, 600, 1}, {1200, 1200, 1200, 1}};
    OEMDEV r = Template();
    ExchangeRecord(Direction::Read, doc, r, rules);
    EXPECT_EQ(1, GetNumber(r, "byResolution"));
}

EasySetHeader SampleHeader() {
    EasySetHeader h{};
    h.magic = kEasySetMagic;
    h.formatVersion = 1;
    WCopy(h.name, 32, WL("Office"));
    WCopy(h.comment, 256, WL("two \"sided\""));
    WCopy(h.model, 37, WL("NOVRIX Fax Driver"));
    WCopy(h.version, 16, kEasySetVersionString);
    WCopy(h.system, 32, kEasySetSystem);
    WCopy(h.language, 8, WL("0409"));
    return h;
}

TEST(SettingsExchangeHeader, LayoutMagicAndSections) {
    EasySetHeader h = SampleHeader();
    const BYTE* b = reinterpret_cast<const BYTE*>(&h);
    EXPECT_EQ(0, std::memcmp(b, "VLES", 4));
    SettingsDoc doc;
    ASSERT_TRUE(ExchangeHeader(Direction::Write, doc, h));
    EXPECT_EQ("[DriverInfo]\r\nmodel=\"NOVRIX Fax Driver\"\r\nversion=\"1.2.6\"\r\nversionnum=1\r\n"
              "system=\"Windows NT x64\"\r\nlanguage=\"0409\"\r\n\r\n[EasySetName]\r\nname=\"Office\"\r\n"
              "comment=\"two \\\"sided\\\"\"\r\n",
              Utf8FromW(RenderSettingsText(doc)));
    EasySetHeader back{};
    ASSERT_TRUE(ExchangeHeader(Direction::Read, doc, back));
    EXPECT_EQ(0, std::memcmp(&h, &back, sizeof h));
}

TEST(SettingsExchangeHeader, ReadingTakesPresentKeysCutsAndFallsBack) {
    SettingsDoc doc = Parse(WL("[DriverInfo]\r\nlanguage=\"ABCDEFGHIJ\"\r\n[EasySetName]\r\nname=\"\"\r\n"));
    EasySetHeader h = SampleHeader();
    h.magic = 0;
    bool used = false;
    ASSERT_TRUE(ExchangeHeader(Direction::Read, doc, h, WL("Fallback"), WL("Why"), &used));
    EXPECT_EQ(kEasySetMagic, h.magic);
    EXPECT_EQ("ABCDEFG", Utf8FromW(h.language));          // cut to 7
    EXPECT_EQ("NOVRIX Fax Driver", Utf8FromW(h.model));   // absent: kept
    EXPECT_EQ("Fallback", Utf8FromW(h.name));             // empty: fallback
    EXPECT_EQ("two \"sided\"", Utf8FromW(h.comment));     // present elsewhere: kept
    EXPECT_TRUE(used);
    SettingsDoc bad = Parse(WL("[DriverInfo]\r\nversionnum=one\r\n"));
    EXPECT_FALSE(ExchangeHeader(Direction::Read, bad, h));
}

TEST(SettingsExchangeWatermarks, ListsAndOrderRoundTripUnderTheirOptions) {
    WatermarkLists lists;
    WatermarkRecord w{};
    std::memcpy(w.data(), "WM_001", 6);
    const WCHAR title[] = WL("CONFIDENTIAL");
    std::memcpy(w.data() + 32, title, sizeof title - 2);
    w[418] = 1;                      // nStyle
    w[420] = 200;                    // wSize
    w[422] = 255;                    // crColor
    w[426] = 0xD3, w[427] = 0xFF;    // nAngle -45
    w[432] = 0xDC, w[433] = w[434] = w[435] = 0xFF;  // ptWmkPos.y -36
    w[446] = 1;
    lists.shared = {w, w};
    lists.personal = {w};
    WatermarkOrderRecord o{};
    std::memcpy(o.data(), "WM_001", 6);
    o[32] = 1;
    std::memcpy(o.data() + 36, title, sizeof title - 2);
    lists.order = {o};
    ContentOptions all{};
    SettingsDoc doc;
    ASSERT_TRUE(ExchangeWatermarkList(Direction::Write, true, doc, lists.shared, all));
    ASSERT_TRUE(ExchangeWatermarkList(Direction::Write, false, doc, lists.personal, all));
    ASSERT_TRUE(ExchangeWatermarkOrder(Direction::Write, doc, lists.order, all));
    EXPECT_EQ("2", Utf8FromW(doc.GetRaw(WL("Watermark_Public"), WL("WMInfoCnt"), WL(""), 8)));
    EXPECT_EQ("-45", Utf8FromW(doc.GetRaw(WL("Watermark_Public"), WL("WMInfo2.nAngle"), WL(""), 8)));
    EXPECT_EQ("\"CONFIDENTIAL\"", Utf8FromW(doc.GetRaw(WL("Watermark_Order"), WL("WMOrder1.szName"), WL(""), 64)));

    // Without IncludeWatermarks nothing is read; the shared list also needs its own option.
    WatermarkLists read;
    EXPECT_TRUE(ExchangeWatermarkList(Direction::Read, false, doc, read.personal, all));
    EXPECT_TRUE(read.personal.empty());
    all[kIncludeWatermarks] = 1;
    ASSERT_TRUE(ExchangeWatermarkList(Direction::Read, true, doc, read.shared, all));
    EXPECT_TRUE(read.shared.empty());
    ASSERT_TRUE(ExchangeWatermarkList(Direction::Read, false, doc, read.personal, all));
    ASSERT_TRUE(ExchangeWatermarkOrder(Direction::Read, doc, read.order, all));
    all[kIncludeSharedWatermarks] = 1;
    ASSERT_TRUE(ExchangeWatermarkList(Direction::Read, true, doc, read.shared, all));
    EXPECT_EQ(lists.shared, read.shared);
    EXPECT_EQ(lists.personal, read.personal);
    EXPECT_EQ(lists.order, read.order);
}

TEST(SettingsExchangeWatermarks, CountsBeyondTheListAreCut) {
    SettingsDoc doc = Parse(WL("[Watermark_Private]\r\nWMInfoCnt=100000\r\nWMInfo1.wSize=12\r\n"));
    ContentOptions options{};
    options[kIncludeWatermarks] = 1;
    std::vector<WatermarkRecord> list;
    EXPECT_FALSE(ExchangeWatermarkList(Direction::Read, false, doc, list, options));
    ASSERT_EQ(kMaxPrivateWatermarks, list.size());
    EXPECT_EQ(12, list[0][420]);
    SettingsDoc negative = Parse(WL("[Watermark_Private]\r\nWMInfoCnt=-1\r\n"));
    EXPECT_FALSE(ExchangeWatermarkList(Direction::Read, false, negative, list, options));
}

SettingsDoc HeaderDoc(const EasySetHeader& h) {
    SettingsDoc doc;
    EasySetHeader copy = h;
    ExchangeHeader(Direction::Write, doc, copy);
    return doc;
}

ImportEnvironment Env() {
    ImportEnvironment env;
    env.driverName = WL("NOVRIX Fax Driver");
    env.language = WL("0409");
    return env;
}

TEST(SettingsImportChecks, EachCheckInItsOrder) {
    EasySetHeader h = SampleHeader();
    SettingsDoc good = HeaderDoc(h);
    EXPECT_EQ(0u, CheckImport(&good, WL("Office"), Env()).message);
    EXPECT_EQ(89u, CheckImport(nullptr, WL("Office"), Env()).message);
    EXPECT_EQ(30u, CheckImport(&good, WL(""), Env()).message);
    ImportEnvironment listed = Env();
    listed.personalPresetNames = {WL("Office")};
    EXPECT_EQ(31u, CheckImport(&good, WL("Office"), listed).message);
    // The language compares without case; the format version must be 1.
    ImportEnvironment lower = Env();
    lower.language = WL("0409");
    WCopy(h.language, 8, WL("ab"));
    SettingsDoc lang = HeaderDoc(h);
    lower.language = WL("AB");
    EXPECT_EQ(0u, CheckImport(&lang, WL("Office"), lower).message);
    EXPECT_EQ(89u, CheckImport(&lang, WL("Office"), Env()).message);
    h = SampleHeader();
    h.formatVersion = 2;
    SettingsDoc v2 = HeaderDoc(h);
    EXPECT_EQ(89u, CheckImport(&v2, WL("Office"), Env()).message);
    // The model, then the system (with both values), then the version question.
    h = SampleHeader();
    WCopy(h.model, 37, WL("Other Driver"));
    WCopy(h.system, 32, WL("Windows 4.0"));
    SettingsDoc model = HeaderDoc(h);
    ImportVerdict v = CheckImport(&model, WL("Office"), Env());
    EXPECT_EQ(256u, v.message);
    EXPECT_EQ("Other Driver", Utf8FromW(v.args[0]));
    EXPECT_EQ("NOVRIX Fax Driver", Utf8FromW(v.args[1]));
    h = SampleHeader();
    WCopy(h.system, 32, WL("Windows 4.0"));
    WCopy(h.version, 16, WL("1.0.0"));
    SettingsDoc sys = HeaderDoc(h);
    v = CheckImport(&sys, WL("Office"), Env());
    EXPECT_EQ(87u, v.message);
    EXPECT_EQ("Windows 4.0", Utf8FromW(v.args[0]));
    h = SampleHeader();
    WCopy(h.version, 16, WL("1.0.0"));
    SettingsDoc ver = HeaderDoc(h);
    v = CheckImport(&ver, WL("Office"), Env());
    EXPECT_EQ(88u, v.message);
    EXPECT_TRUE(v.question());
    EXPECT_EQ("1.0.0", Utf8FromW(v.args[0]));
    EXPECT_EQ("1.2.6", Utf8FromW(v.args[1]));
}

TEST(SettingsImportChecks, MonoDriverMatchesTheStartOfTheModel) {
    EasySetHeader h = SampleHeader();
    WCopy(h.model, 37, WL("NOVRIX Fax Driver Color"));
    SettingsDoc doc = HeaderDoc(h);
    ImportEnvironment env = Env();
    env.driverName = WL("NOVRIX Fax Driver Mono");
    EXPECT_EQ(0u, CheckImport(&doc, WL("x"), env).message);
    env.driverName = WL("NOVRIX Fax Driver");
    EXPECT_EQ(256u, CheckImport(&doc, WL("x"), env).message);
    env.driverName = WL("Mono");  // shorter than the five characters cut: the stem is empty
    EXPECT_EQ(0u, CheckImport(&doc, WL("x"), env).message);
}

TEST(SettingsImportChecks, LfOnlyFileHasAnEmptyHeader) {
    SettingsDoc doc = Parse(WL("[DriverInfo]\nmodel=\"NOVRIX Fax Driver\"\nversionnum=1\n[EasySetName]\nname=\"x\"\n"));
    EasySetHeader h{};
    ASSERT_TRUE(ExchangeHeader(Direction::Read, doc, h));
    EXPECT_EQ(0u, h.name[0]);
    EXPECT_EQ(89u, CheckImport(&doc, WL("x"), Env()).message);
}

class SettingsFileTest : public PlatformTest {};

TEST_F(SettingsFileTest, SaveReplacesWholeAndLoadReadsBack) {
    std::string dir = nvxtest::MakeTempDir("settext");
    WString path = WFromUtf8(dir + "/s.txt");
    SettingsDoc doc = Parse(WL("[S]\r\nk=\"v\"\r\n"));
    ASSERT_EQ(ERROR_SUCCESS, SaveSettingsFile(path, doc));
    SettingsDoc back;
    ASSERT_EQ(ERROR_SUCCESS, LoadSettingsFile(path, &back));
    EXPECT_EQ(RenderSettingsText(doc), RenderSettingsText(back));
    std::ifstream f(dir + "/s.txt", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ("\xEF\xBB\xBF[S]\r\nk=\"v\"\r\n", bytes);
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), LoadSettingsFile(WFromUtf8(dir + "/none.txt"), &back));
    nvxtest::RemoveTree(dir);
}

#ifndef _WIN32
TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFile) {
    std::string dir = nvxtest::MakeTempDir("settext");
    WString path = WFromUtf8(dir + "/s.txt");
    SettingsDoc old = Parse(WL("[S]\r\nold=1\r\n"));
    ASSERT_EQ(ERROR_SUCCESS, SaveSettingsFile(path, old));
    // A read-only folder: the temporary file cannot be made, the old file stays.
    ASSERT_EQ(0, chmod(dir.c_str(), 0555));
    SettingsDoc fresh = Parse(WL("[S]\r\nnew=1\r\n"));
    DWORD rc = SaveSettingsFile(path, fresh);
    chmod(dir.c_str(), 0755);
    if (geteuid() != 0) {
        EXPECT_NE(DWORD(ERROR_SUCCESS), rc);
    }
    SettingsDoc back;
    ASSERT_EQ(ERROR_SUCCESS, LoadSettingsFile(path, &back));
    if (rc != ERROR_SUCCESS) {
        EXPECT_TRUE(back.HasKey(WL("S"), WL("old")));
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/s.txt.novrix-tmp"));
    nvxtest::RemoveTree(dir);
}
#endif

}  // namespace

namespace {

// What the fuzz target checks, on a few thousand mutations of a hand-written text:
// every input reads through every section and renders stably.
TEST(SettingsTextStability, MutatedTextsReadAndRenderStably) {
    const std::string base =
        "; hand\r\n[DriverInfo]\r\nversionnum=1\r\n[OEMDEV]\r\nnCopies=3\r\nszCPText=\"a\\\"b\\\\c\\n\"\r\n"
        "WmkInfo.szKey=\"WM\"\r\n[Watermark_Private]\r\nWMInfoCnt=2\r\nWMInfo1.nAngle=-45\r\n[x]=]\r\n[]\r\n";
    std::mt19937 rng(7);
    const char pieces[] = "[]=;\"\\\r\n \t-9aZ";
    for (int round = 0; round < 3000; ++round) {
        std::string s = base;
        for (int m = 0; m < 6; ++m) {
            size_t at = rng() % (s.size() + 1);
            switch (rng() % 3) {
            case 0: s.insert(at, 1, pieces[rng() % (sizeof pieces - 1)]); break;
            case 1:
                if (at < s.size()) s.erase(at, 1);
                break;
            default: s.insert(at, 1, static_cast<char>(rng() % 256)); break;
            }
        }
        for (int form = 0; form < 2; ++form) {
            SettingsDoc doc;
            if (form == 0) {
                doc = ParseUtf16Bytes(reinterpret_cast<const BYTE*>(s.data()), s.size());
            } else if (ParseSettingsFileBytes(s, &doc) != ERROR_SUCCESS) {
                continue;
            }
            OEMDEV record = Template();
            RecordExchangeRules rules = AllGroups();
            rules.options[kIncludeWatermarks] = rules.options[kIncludeSharedWatermarks] = 1;
            ExchangeRecord(Direction::Read, doc, record, rules);
            WatermarkLists lists;
            ExchangeWatermarkList(Direction::Read, false, doc, lists.personal, rules.options);
            ExchangeWatermarkOrder(Direction::Read, doc, lists.order, rules.options);
            EasySetHeader header{};
            ExchangeHeader(Direction::Read, doc, header);
            WString once = RenderSettingsText(doc);
            SettingsDoc again = ParseSettingsText(once.data(), once.size());
            ASSERT_EQ(once, RenderSettingsText(again)) << s;
        }
    }
}

}  // namespace
