// Settings transfer for setup programs: the setup text and its checks, the lock
// file's entries and record, and the exports through the built module against
// printers of the sample model (export, import, default, lock, refusals that
// change nothing).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>

#include "common/le.h"
#include "common/proc.h"
#include "device/middle_server.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "model/stores.h"
#include "platform/host.h"
#include "presets/custom_tab_file.h"
#include "presets/setup_transfer.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx;
using namespace nvx::presets;

SetupFacts Facts() {
    SetupFacts f;
    f.driverName = WL("NOVRIX Fax Driver");
    f.language = WL("0409");
    f.optionCount = 14;
    f.otherTab = true;
    return f;
}

SetupContent Content() {
    SetupContent c;
    settings::PrepareDefaultTemplate();
    c.record = settings::DefaultTemplate();
    settings::SetNumber(c.record, "nCopies", 3);
    settings::SetNumber(c.record, "nOutputMethod", 2);
    settings::SetNumber(c.record, "bPPTRmvWhiteBkg", 1);
    settings::SetOptionValue(c.devOption.data(), 0, 1);
    settings::SetOptionValue(c.devOption.data(), 13, 7);
    settings::SetOptionValue(c.devOption.data(), 20, 9);  // beyond the model's table: not carried
    c.excelJobCtrl = 1;
    c.authUseEngine = 1;
    return c;
}

std::vector<WString> SectionNames(const SettingsDoc& doc) {
    std::vector<WString> names;
    for (const SettingsSection& s : doc.sections) names.push_back(s.name);
    return names;
}

TEST(SetupText, CarriesTheRecordDeviceOptionsAndExtraValuesInItsOrder) {
    SetupContent content = Content();
    SettingsDoc doc;
    ASSERT_TRUE(BuildSetupText(doc, Facts(), content));
    EXPECT_EQ((std::vector<WString>{WL("DriverInfo"), WL("EasySetName"), WL("OEMDEV"), WL("ExcelJobCtrl"),
                                    WL("AuthUseEngine"), WL("Watermark_Public"), WL("Watermark_Private"),
                                    WL("Watermark_Order"), WL("DeviceOption"), WL("SourceTraySetting"),
                                    WL("AcquistionSetting"), WL("InitialSetting"), WL("Halverite"),
                                    WL("CustomPaper"), WL("CustomMedia"), WL("WakeOnLanSetting")}),
              SectionNames(doc));
    EXPECT_EQ(WString(WL("DD-SETTING")), DecodeStringValue(doc.FindKey(WL("EasySetName"), WL("name"))->value));
    EXPECT_TRUE(doc.HasKey(WL("OEMDEV"), WL("nOutputMethod")));  // the setup variant
    EXPECT_FALSE(doc.HasKey(WL("OEMDEV"), WL("bPassthruOff")));
    EXPECT_EQ(WString(WL("14")), doc.FindKey(WL("DeviceOption"), WL("OptionCount"))->value);
    EXPECT_EQ(WString(WL("7")), doc.FindKey(WL("DeviceOption"), WL("Option14"))->value);
    EXPECT_FALSE(doc.HasKey(WL("DeviceOption"), WL("Option15")));
    EXPECT_EQ(0u, CheckSetupHeader(doc, Facts()));

    // Without the Other tab the two extra sections stay out.
    SetupFacts noOther = Facts();
    noOther.otherTab = false;
    SettingsDoc plain;
    ASSERT_TRUE(BuildSetupText(plain, noOther, content));
    EXPECT_EQ(nullptr, plain.FindSection(WL("ExcelJobCtrl")));

    // Applied to a fresh printer's content: everything carried arrives, and the
    // white-background removal is off whatever the file says.
    SetupContent fresh;
    settings::PrepareDefaultTemplate();
    fresh.record = settings::DefaultTemplate();
    ASSERT_EQ(0u, ApplySetupText(doc, Facts(), fresh));
    EXPECT_EQ(3, settings::GetNumber(fresh.record, "nCopies"));
    EXPECT_EQ(2, settings::GetNumber(fresh.record, "nOutputMethod"));
    EXPECT_EQ(0, settings::GetNumber(fresh.record, "bPPTRmvWhiteBkg"));
    EXPECT_EQ(1u, settings::GetOptionValue(fresh.devOption.data(), 0));
    EXPECT_EQ(7u, settings::GetOptionValue(fresh.devOption.data(), 13));
    EXPECT_EQ(0u, settings::GetOptionValue(fresh.devOption.data(), 20));
    EXPECT_EQ(1u, fresh.excelJobCtrl);
    EXPECT_EQ(1u, fresh.authUseEngine);
}

TEST(SetupText, HeaderChecksInTheirOrder) {
    SetupContent content = Content();
    SettingsDoc doc;
    ASSERT_TRUE(BuildSetupText(doc, Facts(), content));
    SettingsDoc other = doc;
    ASSERT_TRUE(other.WriteString(WL("DriverInfo"), WL("model"), WL("Other Driver")));
    EXPECT_EQ(10u, CheckSetupHeader(other, Facts()));
    SettingsDoc language = doc;
    ASSERT_TRUE(language.WriteString(WL("DriverInfo"), WL("language"), WL("040C")));
    EXPECT_EQ(11u, CheckSetupHeader(language, Facts()));
    ASSERT_TRUE(language.WriteString(WL("DriverInfo"), WL("language"), WL("0409")));
    EXPECT_EQ(0u, CheckSetupHeader(language, Facts()));
    SettingsDoc version = other;
    ASSERT_TRUE(version.WriteNumber(WL("DriverInfo"), WL("versionnum"), 2));
    EXPECT_EQ(13u, CheckSetupHeader(version, Facts()));  // the format version comes first
    // Version and system are not compared.
    SettingsDoc old = doc;
    ASSERT_TRUE(old.WriteString(WL("DriverInfo"), WL("version"), WL("1.0.0")));
    ASSERT_TRUE(old.WriteString(WL("DriverInfo"), WL("system"), WL("Windows NT x86")));
    EXPECT_EQ(0u, CheckSetupHeader(old, Facts()));
    EXPECT_EQ(13u, CheckSetupHeader(SettingsDoc{}, Facts()));
}

TEST(SetupText, AValueThatDoesNotFitChangesNothing) {
    SetupContent content = Content();
    SettingsDoc doc;
    ASSERT_TRUE(BuildSetupText(doc, Facts(), content));
    struct Bad {
        const WCHAR* section;
        const WCHAR* key;
        const WCHAR* value;
    } bad[] = {
        {WL("OEMDEV"), WL("nCopies"), WL("99999999999")}, {WL("OEMDEV"), WL("nOutputMethod"), WL("x")},
        {WL("DeviceOption"), WL("OptionCount"), WL("241")}, {WL("DeviceOption"), WL("Option3"), WL("65536")},
        {WL("ExcelJobCtrl"), WL("ExcelJobCtrl"), WL("2")},  {WL("Watermark_Order"), WL("WMOrderCnt"), WL("51")},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(Utf8FromW(b.key));
        SettingsDoc broken = doc;
        ASSERT_TRUE(broken.SetRaw(b.section, b.key, b.value));
        SetupContent target;
        settings::PrepareDefaultTemplate();
        target.record = settings::DefaultTemplate();
        const SetupContent before = target;
        std::vector<std::string> failed;
        EXPECT_EQ(7u, ApplySetupText(broken, Facts(), target, &failed));
        EXPECT_FALSE(failed.empty());
        EXPECT_EQ(0, std::memcmp(before.record.bytes, target.record.bytes, sizeof before.record.bytes));
        EXPECT_EQ(before.devOption, target.devOption);
        EXPECT_EQ(before.excelJobCtrl, target.excelJobCtrl);
    }
}

// ---- The device sections ----

// A printer's content with every device section set.
SetupContent DeviceContent() {
    SetupContent c = Content();
    BYTE* dev = c.devOption.data();
    PutLE16(dev + 1024 + 12 * 2 + 0, 9);      // tray 3: paper size
    PutLE16(dev + 1024 + 12 * 2 + 2, 1);      //         direction
    PutLE16(dev + 1024 + 12 * 9 + 10, 1);     // tray 10: pre-punched
    PutLE16(dev + 1146, 1);                   // custom acquisition
    PutLE16(dev + 1148 + 2 * 4, 3);           // HardSecurityMode
    PutLE16(dev + 1148 + 2 * 12, 1);          // OutputMethodPreserve
    PutLE16(dev + 1174, 1);                   // Halverite
    PutLE16(dev + 1176, 1);                   // ChkWakeUpDevice
    WCHAR media[32] = {};
    WCopy(media, 32, WL("Thick \"B\""));
    std::memcpy(dev + 1180 + 66, media, sizeof media);  // custom media 2
    PutLE16(dev + 1180 + 66 + 64, 31);
    c.deviceData[WL("IPAddress")] = WL("192.0.2.7");
    c.deviceData[WL("SNMPReadCommunityName")] = WL("public");
    c.deviceData[WL("MacAddress")] = WL("00-1B-2C-3D-4E-5F");
    c.deviceData[WL("OpenAPIDrvUserPass")] = WL("pa ss");
    c.customPaper.count = 2;
    c.customPaper.entries[0] = {{}, 100000, 200000, {1000, 2000, 99000, 198000}, 256, 0};
    WCopy(c.customPaper.entries[0].name, 32, WL("Card"));
    c.customPaper.entries[1] = {{}, 215900, 355600, {0, 0, 215900, 355600}, 257, 1};
    WCopy(c.customPaper.entries[1].name, 32, WL("Legal Plus"));
    return c;
}

SetupContent FreshContent() {
    SetupContent fresh;
    settings::PrepareDefaultTemplate();
    fresh.record = settings::DefaultTemplate();
    return fresh;
}

bool SameDeviceSections(const SetupContent& a, const SetupContent& b) {
    return a.devOption == b.devOption && a.deviceData == b.deviceData &&
           std::memcmp(&a.customPaper, &b.customPaper, sizeof a.customPaper) == 0;
}

TEST(SetupDeviceSections, WrittenAndReadBackToTheirPlaces) {
    SetupContent content = DeviceContent();
    SettingsDoc doc;
    ASSERT_TRUE(BuildSetupText(doc, Facts(), content));
    const WString text = RenderSettingsText(doc);
    const std::string utf8 = Utf8FromW(text);
    // Entry by entry, the keys as written.
    EXPECT_NE(std::string::npos, utf8.find("[SourceTraySetting]\r\nPaperSize1=0\r\nPaperDir1=0\r\nPaperType1=0\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("PaperSize3=9\r\nPaperDir3=1\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("PaperPrePunched10=1\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("[AcquistionSetting]\r\nAutoAcquisition=0\r\nCustomAcquisition=1\r\n"
                                           "IPAddress=\"192.0.2.7\"\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("HardSecurityMode=3\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("[Halverite]\r\nHalverite=1\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("[CustomPaper]\r\nPaperCount=2\r\nname1=\"Card\"\r\nwidth1=100000\r\n"
                                           "length1=200000\r\nimage1.left=1000\r\nimage1.top=2000\r\n"
                                           "image1.right=99000\r\nimage1.bottom=198000\r\npaper1=256\r\nunit1=0\r\n"
                                           "name2=\"Legal Plus\"\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("name2=\"Thick \\\"B\\\"\"\r\nmedia2=31\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("name20=\"\"\r\nmedia20=0\r\n"));
    EXPECT_NE(std::string::npos, utf8.find("[WakeOnLanSetting]\r\nChkWakeUpDevice=1\r\nMacAddress=\"00-1B-2C-3D-4E-5F\"\r\n"));

    // Read back through the text into a fresh printer's content: the same bytes
    // at the pinned offsets, the same list and texts.
    SetupContent fresh = FreshContent();
    const SettingsDoc parsed = ParseSettingsText(text.c_str(), text.size());
    ASSERT_EQ(0u, ApplySetupText(parsed, Facts(), fresh));
    EXPECT_EQ(0, std::memcmp(content.devOption.data() + 1024, fresh.devOption.data() + 1024, 2500 - 1024));
    EXPECT_EQ(9u, GetLE16(fresh.devOption.data() + 1048));
    EXPECT_EQ(31u, GetLE16(fresh.devOption.data() + 1180 + 66 + 64));
    EXPECT_EQ(content.deviceData, fresh.deviceData);
    EXPECT_EQ(0, std::memcmp(&content.customPaper, &fresh.customPaper, sizeof content.customPaper));

    // Only what a file holds changes: a file without the sections leaves them.
    SettingsDoc bare = parsed;
    for (const WCHAR* name : {WL("SourceTraySetting"), WL("AcquistionSetting"), WL("InitialSetting"),
                              WL("Halverite"), WL("CustomPaper"), WL("CustomMedia"), WL("WakeOnLanSetting")})
        std::erase_if(bare.sections, [name](const SettingsSection& s) { return s.name == name; });
    SetupContent kept = DeviceContent();
    ASSERT_EQ(0u, ApplySetupText(bare, Facts(), kept));
    EXPECT_TRUE(SameDeviceSections(DeviceContent(), kept));

    // A list given with only names and sizes: the whole sheet, paper 256, millimetres;
    // a MAC address in another form is kept in one form.
    SettingsDoc brief = parsed;
    std::erase_if(brief.sections, [](const SettingsSection& s) { return s.name == WL("CustomPaper"); });
    ASSERT_TRUE(brief.SetRaw(WL("CustomPaper"), WL("PaperCount"), WL("1")));
    ASSERT_TRUE(brief.SetRaw(WL("CustomPaper"), WL("name1"), WL("\"Slip\"")));
    ASSERT_TRUE(brief.SetRaw(WL("CustomPaper"), WL("width1"), WL("80000")));
    ASSERT_TRUE(brief.SetRaw(WL("CustomPaper"), WL("length1"), WL("120000")));
    ASSERT_TRUE(brief.SetRaw(WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"001b2c3d4e5f\"")));
    SetupContent slip = DeviceContent();
    ASSERT_EQ(0u, ApplySetupText(brief, Facts(), slip));
    ASSERT_EQ(1u, slip.customPaper.count);
    const nvx::features::CustomPaperEntry& e = slip.customPaper.entries[0];
    EXPECT_EQ(WString(WL("Slip")), WString(e.name));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 80000, 120000, 256, 0}),
              (std::vector<int32_t>{e.area[0], e.area[1], e.area[2], e.area[3], e.paper, e.unit}));
    EXPECT_EQ(0, slip.customPaper.entries[1].width);  // the old second entry is gone
    EXPECT_EQ(WString(WL("00-1B-2C-3D-4E-5F")), slip.deviceData[WL("MacAddress")]);
}

TEST(SetupDeviceSections, AValueThatDoesNotFitChangesNothing) {
    SetupContent content = DeviceContent();
    SettingsDoc doc;
    ASSERT_TRUE(BuildSetupText(doc, Facts(), content));
    struct Bad {
        const WCHAR* section;
        const WCHAR* key;
        const WCHAR* value;  // null: the key is removed
    } bad[] = {
        {WL("SourceTraySetting"), WL("PaperSize1"), WL("65536")},
        {WL("SourceTraySetting"), WL("PaperDir4"), WL("2")},
        {WL("SourceTraySetting"), WL("PaperPrePunched10"), WL("-1")},
        {WL("AcquistionSetting"), WL("AutoAcquisition"), WL("2")},
        {WL("AcquistionSetting"), WL("IPAddress"), WL("\"192.0.2.300\"")},
        {WL("AcquistionSetting"), WL("IPAddress"), WL("\"192.0.2\"")},
        {WL("AcquistionSetting"), WL("IPAddress"), WL("\"printer one\"")},
        {WL("AcquistionSetting"), WL("ReadCommunityName"), WL("\"123456789012345678901234567890123\"")},
        {WL("AcquistionSetting"), WL("OpenAPIDrvUserPass"), WL("\"a\\nb\"")},
        {WL("InitialSetting"), WL("EMFSpool"), WL("2")},
        {WL("InitialSetting"), WL("HardSecurityMode"), WL("256")},
        {WL("Halverite"), WL("Halverite"), WL("x")},
        {WL("CustomPaper"), WL("PaperCount"), WL("11")},
        {WL("CustomPaper"), WL("name2"), nullptr},
        {WL("CustomPaper"), WL("width1"), nullptr},
        {WL("CustomPaper"), WL("width1"), WL("0")},
        {WL("CustomPaper"), WL("name2"), WL("\"\"")},
        {WL("CustomPaper"), WL("name2"), WL("\"CARD\"")},  // the first entry's name again
        {WL("CustomPaper"), WL("name1"), WL("\"12345678901234567890123456789012\"")},
        {WL("CustomPaper"), WL("image1.right"), WL("100001")},
        {WL("CustomPaper"), WL("image2.top"), WL("355600")},
        {WL("CustomPaper"), WL("unit2"), WL("2")},
        {WL("CustomMedia"), WL("name3"), WL("\"12345678901234567890123456789012\"")},
        {WL("CustomMedia"), WL("media20"), WL("65536")},
        {WL("WakeOnLanSetting"), WL("ChkWakeUpDevice"), WL("7")},
        {WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"01-00-5E-00-00-01\"")},  // multicast
        {WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"FF:FF:FF:FF:FF:FF\"")},
        {WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"00:00:00:00:00:00\"")},
        {WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"00:1B:2C:3D:4E\"")},
        {WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"00:1B-2C:3D:4E:5F\"")},
        {WL("WakeOnLanSetting"), WL("MacAddress"), WL("\"00:1B:2C:3D:4E:5G\"")},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(Utf8FromW(b.key) + "=" + (b.value ? Utf8FromW(b.value) : "(none)"));
        SettingsDoc broken = doc;
        if (b.value) {
            ASSERT_TRUE(broken.SetRaw(b.section, b.key, b.value));
        } else {
            for (SettingsSection& s : broken.sections)
                if (s.name == b.section)
                    std::erase_if(s.lines, [&](const SettingsLine& l) { return l.key == b.key; });
        }
        SetupContent target = FreshContent();
        target.deviceData[WL("IPAddress")] = WL("198.51.100.1");
        const SetupContent before = target;
        std::vector<std::string> failed;
        EXPECT_EQ(7u, ApplySetupText(broken, Facts(), target, &failed));
        EXPECT_FALSE(failed.empty());
        EXPECT_TRUE(SameDeviceSections(before, target)) << "the content changed";
        EXPECT_EQ(0, std::memcmp(before.record.bytes, target.record.bytes, sizeof before.record.bytes));
    }
    // A printer that takes nine custom papers refuses a list of ten.
    SetupContent ten = DeviceContent();
    ten.customPaper.count = 10;
    for (uint32_t i = 0; i < 10; ++i) {
        ten.customPaper.entries[i] = ten.customPaper.entries[0];
        WFormat(ten.customPaper.entries[i].name, 32, WL("Paper %u"), i);
    }
    SettingsDoc tenDoc;
    ASSERT_TRUE(BuildSetupText(tenDoc, Facts(), ten));
    SetupFacts nine = Facts();
    SetupContent target = FreshContent();
    EXPECT_EQ(0u, ApplySetupText(tenDoc, nine, target));
    nine.paperCapacity = 9;
    target = FreshContent();
    EXPECT_EQ(7u, ApplySetupText(tenDoc, nine, target));
}

TEST(SetupDeviceSections, MacAndDeviceAddresses) {
    WString out;
    for (const WCHAR* good : {WL("00:1b:2c:3d:4e:5f"), WL("00-1B-2C-3D-4E-5F"), WL("001B2C3D4E5F")}) {
        EXPECT_TRUE(ReadMacAddress(good, &out)) << Utf8FromW(good);
        EXPECT_EQ(WString(WL("00-1B-2C-3D-4E-5F")), out);
    }
    for (const WCHAR* bad : {WL(""), WL("00:1b:2c:3d:4e:5f:"), WL("00.1b.2c.3d.4e.5f"), WL("0:1b:2c:3d:4e:5f0"),
                             WL("03:00:00:00:00:01"), WL("001B2C3D4E5")})
        EXPECT_FALSE(ReadMacAddress(bad, &out)) << Utf8FromW(bad);
    for (const WCHAR* good : {WL(""), WL("192.0.2.1"), WL("255.255.255.255"), WL("printer-1.example"),
                              WL("2001:db8::1"), WL("fe80::1")})
        EXPECT_TRUE(IsDeviceAddress(good)) << Utf8FromW(good);
    for (const WCHAR* bad : {WL("256.0.0.1"), WL("1.2.3"), WL("1.2.3.4.5"), WL("1..2.3"), WL("a b"), WL("a/b"),
                             WL("1234.0.0.1")})
        EXPECT_FALSE(IsDeviceAddress(bad)) << Utf8FromW(bad);
    EXPECT_FALSE(IsDeviceAddress(WString(64, 'a')));
    EXPECT_TRUE(IsDeviceAddress(WString(63, 'a')));
}

TEST(SetupLocks, EntriesFromTheKeys) {
    const std::vector<std::pair<std::string, std::string>> nine = {
        {"OutputMethod", "OutputSecure"}, {"Empty", ""},        {"SelectColor", "Grayscale"},
        {"ChkFixUserName", "ON"},         {"ChkFixPassword", "ON"}, {"FixSecurePrint", "OFF"},
        {"SecurePrintModeChoice", "ID"},  {"Eighth", "1"},      {"Ninth", "1"}};
    const std::vector<LockEntry> entries = LockEntriesFromKeys(nine);
    ASSERT_EQ(7u, entries.size());
    EXPECT_EQ("OutputMethod", entries[0].feature);
    EXPECT_EQ("SelectColor", entries[1].feature);
    EXPECT_EQ("SelectColor_RB", entries[2].feature);
    EXPECT_EQ("Grayscale", entries[2].option);
    EXPECT_EQ("SecurePrintModeChoice", entries[6].feature);
    // Names are cut to 31 bytes.
    const auto longName = LockEntriesFromKeys({{std::string(40, 'k'), std::string(40, 'v')}});
    EXPECT_EQ(31u, longName[0].feature.size());
    EXPECT_EQ(31u, longName[0].option.size());
}

TEST(SetupLocks, TheRecordIs452BytesOfCountAndNamePairs) {
    const std::vector<LockEntry> entries = {{"SelectColor", "Grayscale"}, {"", "Hold"}, {"OutputMethod", "OutputBox"}};
    const std::vector<BYTE> record = EncodeLockRecord(entries);
    ASSERT_EQ(452u, record.size());
    EXPECT_EQ(3u, GetLE32(record.data()));
    EXPECT_EQ("SelectColor", std::string(reinterpret_cast<const char*>(record.data() + 4)));
    EXPECT_EQ("Grayscale", std::string(reinterpret_cast<const char*>(record.data() + 36)));
    EXPECT_EQ(0, record[68]);  // a cleared entry keeps its place
    EXPECT_EQ("Hold", std::string(reinterpret_cast<const char*>(record.data() + 100)));
    EXPECT_EQ("OutputMethod", std::string(reinterpret_cast<const char*>(record.data() + 132)));
    const std::vector<LockEntry> back = DecodeLockRecord(record.data(), record.size());
    ASSERT_EQ(3u, back.size());
    EXPECT_EQ("OutputBox", back[2].option);
    EXPECT_TRUE(DecodeLockRecord(record.data(), 451).empty());
    std::vector<BYTE> huge = record;
    PutLE32(huge.data(), 1000);
    EXPECT_EQ(7u, DecodeLockRecord(huge.data(), huge.size()).size());
}

TEST(SetupLocks, EntriesSetTheirSettingsOrLockNothing) {
    auto optionValue = [](std::string_view feature, std::string_view option, int32_t* value) {
        if (feature == "OutputMethod" && option == "OutputBox") return *value = 2, true;
        if (feature == "SelectColor" && option == "Grayscale") return *value = 1, true;
        return false;
    };
    auto optionSlot = [](std::string_view name, size_t* slot) {
        if (name != "ChkFixUserName") return false;
        *slot = 5;
        return true;
    };
    settings::PrepareDefaultTemplate();
    OEMDEV record = settings::DefaultTemplate();
    std::vector<BYTE> devOption(settings::kDevOptionSize);
    std::vector<LockEntry> entries = {{"OutputMethod", "OutputBox"}, {"SelectColor", "Grayscale"},
                                      {"SelectColor_RB", "Grayscale"}, {"ChangeUserNotPermit", "ON"},
                                      {"OutputMethod", "NoSuchOption"}, {"SelectColor", "Color"},
                                      {"SelectColor_RB", "Color"}};
    ApplyLockEntries(entries, optionValue, optionSlot, record, devOption.data());
    EXPECT_EQ(2, settings::GetNumber(record, "nOutputMethod"));
    EXPECT_EQ(1, settings::GetNumber(record, "nColorMode"));
    EXPECT_EQ(1u, settings::GetOptionValue(devOption.data(), 5));
    EXPECT_EQ("OutputMethod", entries[0].feature);
    EXPECT_EQ("SelectColor_RB", entries[2].feature);
    EXPECT_EQ("", entries[4].feature);
    EXPECT_EQ("", entries[5].feature);
    EXPECT_EQ("", entries[6].feature);
}

TEST(SetupPersonalInfo, ValuesTakeTheUserSettingsRules) {
    const device::PasswordCipher cipher({device::CipherMode::Aes, 3, 57, std::nullopt});
    settings::PrepareDefaultTemplate();
    OEMDEV record = settings::DefaultTemplate();
    const std::vector<std::pair<WString, WString>> keys = {
        {WL("vlusername"), WL("Ren\u00e9")}, {WL("VLUserKey"), WL("s3cret")},   {WL("VLSectionName"), WL("Sales")},
        {WL("ServerSetting"), WL("2")},      {WL("SecurePrintId"), WL("4711")}, {WL("TreeDomainName"), WL("corp")},
    };
    ASSERT_EQ(0u, ApplyPersonalInfo(keys, cipher, false, record));
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(2, rec.userType);
    EXPECT_EQ(WString(WL("Ren\u00e9")), WString(rec.userName));
    EXPECT_GT(rec.userPassLength, 0);
    EXPECT_EQ(WString(WL("Sales")), WString(rec.departmentName));
    EXPECT_EQ(2, rec.serverSetting);
    EXPECT_EQ(WString(WL("4711")), WString(rec.securePrintId));
    const auto plain = device::ReadPassword(cipher, std::span<const BYTE>(rec.userPass, sizeof rec.userPass),
                                            rec.userPassLength);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ("s3cret", *plain);
    // "Public" selects public-user access.
    ASSERT_EQ(0u, ApplyPersonalInfo({{WL("VLUserName"), WL("Public")}}, cipher, false, record));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(1, rec.userType);

    struct Bad {
        const WCHAR* key;
        WString value;
    } bad[] = {
        {WL("VLUserName"), WString(81, u'a')},  {WL("VLUserName"), WL("")},
        {WL("VLUserName"), WL("tab\there")},     {WL("VLUserKey"), WString(65, u'p')},
        {WL("VLUserKey"), WL("\u03b1\u03b2")},   {WL("VLSectionName"), WString(13, u'd')},
        {WL("ServerSetting"), WL("65536")},      {WL("ServerSetting"), WL("x")},
        {WL("SecurePrintId"), WString(17, u'1')}, {WL("BoxNum"), WString(17, u'9')},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(Utf8FromW(b.key));
        OEMDEV before = record;
        std::string failed;
        EXPECT_EQ(14u, ApplyPersonalInfo({{WL("VLSectionName"), WL("Changed")}, {b.key, b.value}}, cipher, false,
                                         record, &failed));
        EXPECT_EQ(Utf8FromW(b.key), failed);
        EXPECT_EQ(0, std::memcmp(before.bytes, record.bytes, sizeof before.bytes)) << "the record changed";
    }
}

TEST(SetupPersonalInfo, KeysBesideTheUserSettingsFields) {
    const device::PasswordCipher cipher({device::CipherMode::Aes, 3, 57, std::nullopt});
    settings::PrepareDefaultTemplate();
    OEMDEV record = settings::DefaultTemplate();
    device::UserSettingsRecord rec{};
    auto apply = [&](std::vector<std::pair<WString, WString>> keys, PersonalInfoExtras* extras = nullptr,
                     WStringView logon = WL("winuser")) {
        return ApplyPersonalInfo(keys, cipher, false, record, nullptr, extras, logon);
    };
    // PublicUser and the logon name act after the other keys, whatever their place.
    ASSERT_EQ(0u, apply({{WL("PublicUser"), WL("1")}, {WL("VLUserName"), WL("alice")}}));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(1, rec.userType);
    EXPECT_EQ(WString(), WString(rec.userName));
    ASSERT_EQ(0u, apply({{WL("PublicUser"), WL("0")}, {WL("VLUserName"), WL("alice")}}));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(2, rec.userType);
    EXPECT_EQ(WString(WL("alice")), WString(rec.userName));
    ASSERT_EQ(0u, apply({{WL("UseDefaultLoginUserName"), WL("1")}, {WL("VLUserName"), WL("alice")}}));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(2, rec.userType);
    EXPECT_EQ(WString(WL("winuser")), WString(rec.userName));
    ASSERT_EQ(0u, apply({{WL("UseDefaultLoginUserName"), WL("0")}, {WL("VLUserName"), WL("bob")}}));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(WString(WL("bob")), WString(rec.userName));
    // The middle server's public user.
    ASSERT_EQ(0u, apply({{WL("InterimPublicUser"), WL("1")}}));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(device::kMiddleServerPublicUser, rec.middleServerMode);
    ASSERT_EQ(0u, apply({{WL("interimpublicuser"), WL("0")}}));
    device::CopyFromOemdev(record, false, &rec);
    EXPECT_EQ(device::kMiddleServerNamedUser, rec.middleServerMode);

    // The values kept beside the record, the password enciphered.
    PersonalInfoExtras extras;
    ASSERT_EQ(0u, apply({{WL("AuthUseEngine"), WL("1")},
                         {WL("TreeDomainName"), WL("corp.example")},
                         {WL("ExpenseCode"), WL("12345678")},
                         {WL("ExpenseCodePassword"), WL("pw")}},
                        &extras));
    EXPECT_EQ(std::optional<uint32_t>(1), extras.authUseEngine);
    EXPECT_EQ(std::optional<WString>(WL("corp.example")), extras.treeDomainName);
    EXPECT_EQ(std::optional<WString>(WL("12345678")), extras.expenseCode);
    ASSERT_TRUE(extras.expenseCodePassword.has_value());
    const auto plain = device::ReadPassword(cipher, *extras.expenseCodePassword,
                                            static_cast<uint16_t>(extras.expenseCodePassword->size()));
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ("pw", *plain);

    struct Bad {
        const WCHAR* key;
        WString value;
        const WCHAR* logon = WL("winuser");
    } bad[] = {
        {WL("PublicUser"), WL("2")},
        {WL("PublicUser"), WL("yes")},
        {WL("InterimPublicUser"), WL("-1")},
        {WL("AuthUseEngine"), WL("2")},
        {WL("UseDefaultLoginUserName"), WL("1"), WL("")},  // no logon name to take
        {WL("UseDefaultLoginUserName"), WL("3")},
        {WL("TreeDomainName"), WString(64, u'd')},
        {WL("TreeDomainName"), WL("caf\u00e9.example")},
        {WL("ExpenseCode"), WL("123456789")},
        {WL("ExpenseCodePassword"), WString(65, u'p')},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(Utf8FromW(b.key) + "=" + Utf8FromW(b.value));
        const OEMDEV before = record;
        PersonalInfoExtras kept;
        kept.expenseCode = WL("keep");
        std::string failed;
        EXPECT_EQ(14u, ApplyPersonalInfo({{WL("VLSectionName"), WL("Changed")}, {WL("AuthUseEngine"), WL("1")},
                                          {b.key, b.value}},
                                         cipher, false, record, &failed, &kept, b.logon));
        EXPECT_EQ(Utf8FromW(b.key), failed);
        EXPECT_EQ(0, std::memcmp(before.bytes, record.bytes, sizeof before.bytes)) << "the record changed";
        EXPECT_FALSE(kept.authUseEngine.has_value());
        EXPECT_EQ(std::optional<WString>(WL("keep")), kept.expenseCode);
    }
}

// ---- The exports through the built module ----

using TransferFn = UINT_PTR (*)(const char*, const char*);

class SetupExportsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        first_ = nvxtest::AddTestPrinter(WL("Setup One"));
        second_ = nvxtest::AddTestPrinter(WL("Setup Two"));
        ASSERT_TRUE(first_ && second_);
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        exportFn_ = Proc<TransferFn>("SPRINST_SettingExport");
        importFn_ = Proc<TransferFn>("SPRINST_SettingImport");
        defaultFn_ = Proc<TransferFn>("SPRINST_DefaultSetting");
        fixFn_ = [this](const char* p, const char* f) {
            return reinterpret_cast<UINT_PTR>(Proc<void* (*)(const char*, const char*)>("SPRINST_FixSetting")(p, f));
        };
        folder_ = Root() + "/setup/";
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        ClosePrinter(first_);
        ClosePrinter(second_);
        PlatformTest::TearDown();
    }
    template <typename F>
    F Proc(const char* name) {
        return ProcAs<F>(GetProcAddress(module_, name));
    }
    std::string File(const char* name) const { return folder_ + name; }
    void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // The whole store: the database and its write-ahead log as they lie on disk.
    std::string Store() const { return Read(Root() + "/platform.db") + "|" + Read(Root() + "/platform.db-wal"); }
    // The record of the user's stored document settings of a printer.
    bool UserRecord(HANDLE printer, OEMDEV* out) {
        DWORD needed = 0;
        GetPrinterW(printer, 9, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed ? needed : 1);
        if (!GetPrinterW(printer, 9, buffer.data(), needed, &needed)) return false;
        DEVMODEW* dm = reinterpret_cast<PRINTER_INFO_9W*>(buffer.data())->pDevMode;
        const OEMDEV* record = dm ? settings::FindRecordInDevMode(dm) : nullptr;
        if (!record) return false;
        *out = *record;
        return true;
    }
    void StoreUserRecord(HANDLE printer, const OEMDEV& record) {
        std::vector<BYTE> dm(sizeof(DEVMODEW) + sizeof(OEMDEV));
        auto* d = reinterpret_cast<DEVMODEW*>(dm.data());
        d->dmSize = sizeof(DEVMODEW);
        d->dmDriverExtra = sizeof(OEMDEV);
        std::memcpy(dm.data() + sizeof(DEVMODEW), record.bytes, sizeof record.bytes);
        PRINTER_INFO_9W info{};
        info.pDevMode = d;
        ASSERT_TRUE(SetPrinterW(printer, 9, reinterpret_cast<BYTE*>(&info), 0));
    }
    std::vector<BYTE> Data(HANDLE printer, const WCHAR* name) {
        DWORD type = 0, needed = 0;
        GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, nullptr, 0, &needed);
        std::vector<BYTE> out(needed);
        if (needed &&
            GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, out.data(), needed, &needed) != ERROR_SUCCESS)
            out.clear();
        return out;
    }
    // Configures the first printer: 4 copies, output "Save in User Box", device option 2 installed.
    void Configure() {
        settings::PrepareDefaultTemplate();
        OEMDEV record = settings::DefaultTemplate();
        settings::SetNumber(record, "nCopies", 4);
        settings::SetNumber(record, "nOutputMethod", 2);
        StoreUserRecord(first_, record);
        std::vector<BYTE> options(settings::kDevOptionSize);
        settings::LoadDefaultDevOption(first_, options.data());
        settings::SetOptionValue(options.data(), 2, 0);
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
                  SetPrinterDataW(first_, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY, options.data(),
                                  static_cast<DWORD>(options.size())));
    }

    nvxtest::DriverCopy driver_;
    HMODULE module_ = nullptr;
    HANDLE first_ = nullptr;
    HANDLE second_ = nullptr;
    TransferFn exportFn_ = nullptr;
    TransferFn importFn_ = nullptr;
    TransferFn defaultFn_ = nullptr;
    std::function<UINT_PTR(const char*, const char*)> fixFn_;
    std::string folder_;
};

TEST_F(SetupExportsTest, EveryCodeHasItsMessage) {
    auto message = Proc<UINT_PTR (*)(UINT)>("SPRINST_GetErrorMsg");
    auto text = [&](UINT code) { return Utf8FromW(reinterpret_cast<const WCHAR*>(message(code))); };
    const char* expected[] = {"The settings were transferred.",
                              "The printer cannot be opened.",
                              "The printer's default settings cannot be read.",
                              "The printer's default settings cannot be stored.",
                              "The device options cannot be read.",
                              "The device options cannot be stored.",
                              "Out of memory.",
                              "The setup file cannot be read.",
                              "The setup file cannot be written.",
                              "The default settings cannot be stored in the printer data.",
                              "The setup file was made for another printer model.",
                              "The setup file was made for another language.",
                              "The settings could not be transferred.",  // 12 has no text of its own
                              "The setup file's format version is not supported.",
                              "A personal information value is too long or invalid.",
                              "The lock settings cannot be stored."};
    for (UINT code = 0; code < 16; ++code) EXPECT_EQ(expected[code], text(code)) << code;
    EXPECT_EQ("The settings could not be transferred.", text(99));
    EXPECT_EQ("The settings could not be transferred.", text(0xFFFFFFFFu));
    // The text belongs to the module: the same pointer on every call.
    EXPECT_EQ(message(3), message(3));
}

TEST_F(SetupExportsTest, ExportedOnOnePrinterImportedOnAnother) {
    Configure();
    const std::string file = File("printer.txt");
    ASSERT_EQ(0u, exportFn_("Setup One", file.c_str()));
    const std::string bytes = Read(file);
    ASSERT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
    EXPECT_NE(std::string::npos, bytes.find("name=\"DD-SETTING\"\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("[DeviceOption]\r\nOptionCount=14\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("nCopies=4\r\n"));

    ASSERT_EQ(0u, importFn_("Setup Two", file.c_str()));
    OEMDEV record;
    ASSERT_TRUE(UserRecord(second_, &record));
    EXPECT_EQ(4, settings::GetNumber(record, "nCopies"));
    EXPECT_EQ(2, settings::GetNumber(record, "nOutputMethod"));
    std::vector<BYTE> options(settings::kDevOptionSize);
    ASSERT_TRUE(settings::LoadDefaultDevOption(second_, options.data()));
    EXPECT_EQ(0u, settings::GetOptionValue(options.data(), 2));
    // The printer's own default document settings too (administrator rights).
    DWORD needed = 0;
    GetPrinterW(second_, 8, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterW(second_, 8, buffer.data(), needed, &needed));
    const OEMDEV* printerWide =
        settings::FindRecordInDevMode(reinterpret_cast<PRINTER_INFO_8W*>(buffer.data())->pDevMode);
    ASSERT_NE(nullptr, printerWide);
    EXPECT_EQ(4, settings::GetNumber(*printerWide, "nCopies"));
}

// The sample model names settings for the custom page, so its setup files carry the
// custom tab's section: the arrangement of the exporting user goes to the importing
// user's custom page file; a file without the section leaves that file alone.
TEST_F(SetupExportsTest, TheCustomTabArrangementTravelsWithTheSetupFile) {
    CustomTabArrangement mine;
    mine.exists = true;
    mine.left = {1000, 1011};
    mine.right = {1026};
    ASSERT_TRUE(WriteCustomTabArrangement(CustomTabFilePath(WL("Setup One")), mine));
    const std::string file = File("tab.txt");
    ASSERT_EQ(0u, exportFn_("Setup One", file.c_str()));
    const std::string bytes = Read(file);
    EXPECT_NE(std::string::npos,
              bytes.find("[MyTab_Management]\r\nType=2\r\nMT_MngOpen=0\r\nMT_MngShare=0\r\nMT_MngEdit=0\r\n"
                         "MT_MngGuide=0\r\nIs_MyTab_Arrangement=1\r\nMyTab_Left01=1000\r\nMyTab_Left02=1011\r\n"
                         "MyTab_Right01=1026\r\n"))
        << bytes;

    EXPECT_FALSE(ReadCustomTabArrangement(CustomTabFilePath(WL("Setup Two"))).exists);
    ASSERT_EQ(0u, importFn_("Setup Two", file.c_str()));
    EXPECT_EQ(mine, ReadCustomTabArrangement(CustomTabFilePath(WL("Setup Two"))));

    // A setup file without the section: the arrangement stays.
    Put(file, bytes.substr(0, bytes.find("[MyTab_Management]")));
    CustomTabArrangement other;
    other.exists = true;
    other.right = {1020};
    ASSERT_TRUE(WriteCustomTabArrangement(CustomTabFilePath(WL("Setup Two")), other));
    ASSERT_EQ(0u, importFn_("Setup Two", file.c_str()));
    EXPECT_EQ(other, ReadCustomTabArrangement(CustomTabFilePath(WL("Setup Two"))));
}

TEST_F(SetupExportsTest, RefusedFilesChangeNothing) {
    Configure();
    const std::string good = File("good.txt");
    ASSERT_EQ(0u, exportFn_("Setup One", good.c_str()));
    const std::string text = Read(good);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const size_t at = t.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        if (at != std::string::npos) t.replace(at, from.size(), to);
        return t;
    };
    std::string utf16;
    for (char c : text.substr(3)) {
        utf16 += c;
        utf16 += '\0';
    }
    Put(File("other-model.txt"), replaced("model=\"NOVRIX Fax Driver\"", "model=\"Other Driver\""));
    Put(File("language.txt"), replaced("language=\"0409\"", "language=\"040C\""));
    Put(File("version.txt"), replaced("versionnum=1", "versionnum=2"));
    Put(File("range.txt"), replaced("nCopies=4", "nCopies=70000"));
    Put(File("options.txt"), replaced("OptionCount=14", "OptionCount=300"));
    Put(File("empty.txt"), "");
    Put(File("utf16.txt"), utf16);
    Put(File("lf.txt"), "[DriverInfo]\nmodel=\"NOVRIX Fax Driver\"\nversionnum=1\n");
    {
        std::ofstream big(File("big.txt"), std::ios::binary);
        big << text;
        big.seekp(100 << 20);
        big << '\n';
    }
    std::filesystem::create_directories(File("folder.txt"));
    struct Case {
        const char* file;
        UINT_PTR code;
    } cases[] = {
        {"other-model.txt", 10}, {"language.txt", 11}, {"version.txt", 13}, {"range.txt", 7},
        {"options.txt", 7},      {"empty.txt", 7},     {"utf16.txt", 7},    {"lf.txt", 13},
        {"big.txt", 7},          {"folder.txt", 7},    {"missing.txt", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string before = Store();
        EXPECT_EQ(c.code, importFn_("Setup Two", File(c.file).c_str()));
        EXPECT_EQ(c.code, defaultFn_("Setup Two", File(c.file).c_str()));
        EXPECT_TRUE(before == Store()) << "the store changed";
    }
    // The comparison sees a change: a good file changes the store.
    ASSERT_FALSE(Read(Root() + "/platform.db").empty());
    const std::string before = Store();
    EXPECT_EQ(0u, importFn_("Setup Two", good.c_str()));
    EXPECT_FALSE(before == Store());
    EXPECT_EQ(1u, importFn_("No Such Printer", good.c_str()));
    EXPECT_EQ(1u, importFn_(nullptr, good.c_str()));
    EXPECT_EQ(7u, importFn_("Setup Two", nullptr));
    EXPECT_EQ(1u, exportFn_("No Such Printer", File("x.txt").c_str()));
    EXPECT_EQ(8u, exportFn_("Setup One", File("no-folder/x.txt").c_str()));
    EXPECT_EQ(8u, exportFn_("Setup One", File("folder.txt").c_str()));
}

TEST_F(SetupExportsTest, DeviceSectionsTravelWithThePrinter) {
    Configure();
    // The first printer: a tray, the wake-up switch, a custom paper and its device data.
    std::vector<BYTE> options = Data(first_, WL("DefaultDevOption"));
    ASSERT_EQ(settings::kDevOptionSize, options.size());
    PutLE16(options.data() + 1024 + 12 * 1, 5);  // tray 2: paper size
    PutLE16(options.data() + 1176, 1);           // ChkWakeUpDevice
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataW(first_, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY, options.data(),
                              static_cast<DWORD>(options.size())));
    nvx::features::CustomPaperList list{};
    list.count = 1;
    list.entries[0] = {{}, 100000, 150000, {0, 0, 100000, 150000}, 256, 0};
    WCopy(list.entries[0].name, 32, WL("Postcard Plus"));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataW(first_, const_cast<LPWSTR>(WL("CustomPaperData")), REG_BINARY,
                              reinterpret_cast<BYTE*>(&list), sizeof list));
    auto putText = [](HANDLE printer, const WCHAR* name, WStringView text) {
        WString value(text);
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
                  SetPrinterDataW(printer, const_cast<LPWSTR>(name), REG_SZ, reinterpret_cast<BYTE*>(value.data()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR))));
    };
    putText(first_, WL("IPAddress"), WL("192.0.2.7"));
    putText(first_, WL("MacAddress"), WL("00-1B-2C-3D-4E-5F"));
    const std::string file = File("printer.txt");
    ASSERT_EQ(0u, exportFn_("Setup One", file.c_str()));
    const std::string text = Read(file);
    EXPECT_NE(std::string::npos, text.find("PaperSize2=5\r\n"));
    EXPECT_NE(std::string::npos, text.find("IPAddress=\"192.0.2.7\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("ReadCommunityName=\"\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("[CustomPaper]\r\nPaperCount=1\r\nname1=\"Postcard Plus\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("ChkWakeUpDevice=1\r\nMacAddress=\"00-1B-2C-3D-4E-5F\"\r\n"));

    // Imported on the second printer, with the device-API credentials and a MAC
    // address in another form added to the file.
    std::string edited = text;
    auto replace = [&edited](const std::string& from, const std::string& to) {
        const size_t at = edited.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        edited.replace(at, from.size(), to);
    };
    replace("OpenAPIDrvUserPass=\"\"", "OpenAPIDrvUserPass=\"dev-pass\"");
    replace("MacAddress=\"00-1B-2C-3D-4E-5F\"", "MacAddress=\"00:1b:2c:3d:4e:60\"");
    Put(File("edited.txt"), edited);
    ASSERT_EQ(0u, importFn_("Setup Two", File("edited.txt").c_str()));
    const std::vector<BYTE> imported = Data(second_, WL("DefaultDevOption"));
    ASSERT_EQ(settings::kDevOptionSize, imported.size());
    EXPECT_EQ(5u, GetLE16(imported.data() + 1024 + 12));
    EXPECT_EQ(1u, GetLE16(imported.data() + 1176));
    const std::vector<BYTE> paper = Data(second_, WL("CustomPaperData"));
    ASSERT_EQ(sizeof list, paper.size());
    EXPECT_EQ(0, std::memcmp(&list, paper.data(), sizeof list));
    auto textOf = [this](HANDLE printer, const WCHAR* name) {
        const std::vector<BYTE> bytes = Data(printer, name);
        WString out(bytes.size() / 2, 0);
        std::memcpy(out.data(), bytes.data(), out.size() * 2);
        return Utf8FromW(WString(out.c_str()));
    };
    EXPECT_EQ("192.0.2.7", textOf(second_, WL("IPAddress")));
    EXPECT_EQ("00-1B-2C-3D-4E-60", textOf(second_, WL("MacAddress")));
    EXPECT_FALSE(Data(second_, WL("OpenAPIDrvUserPass")).empty());

    // And exported again: the same sections, the credentials back in their text, the
    // MAC address in its one form.
    ASSERT_EQ(0u, exportFn_("Setup Two", File("again.txt").c_str()));
    const std::string again = Read(File("again.txt"));
    replace("00:1b:2c:3d:4e:60", "00-1B-2C-3D-4E-60");
    const std::string sections = "[SourceTraySetting]";
    EXPECT_EQ(edited.substr(edited.find(sections)), again.substr(again.find(sections)));

    // A file whose device sections do not fit is refused and changes nothing.
    NvxPlatform_SetAdministrator(TRUE);
    std::string bad = text;
    const size_t mac = bad.find("00-1B-2C-3D-4E-5F\"\r\n");
    bad.replace(mac, 17, "01-00-5E-00-00-01");
    Put(File("multicast.txt"), bad);
    const std::string before = Store();
    EXPECT_EQ(7u, importFn_("Setup Two", File("multicast.txt").c_str()));
    EXPECT_EQ(7u, defaultFn_("Setup Two", File("multicast.txt").c_str()));
    EXPECT_TRUE(before == Store()) << "the store changed";

    // Without administrator rights the printer's device data stays as it is, and an
    // export leaves the device-API credentials out.
    NvxPlatform_SetAdministrator(FALSE);
    EXPECT_EQ(0u, importFn_("Setup Two", file.c_str()));
    ASSERT_EQ(0u, exportFn_("Setup Two", File("user.txt").c_str()));
    NvxPlatform_SetAdministrator(TRUE);
    EXPECT_EQ("00-1B-2C-3D-4E-60", textOf(second_, WL("MacAddress")));
    const std::string user = Read(File("user.txt"));
    EXPECT_EQ(std::string::npos, user.find("dev-pass"));
    EXPECT_EQ(std::string::npos, user.find("OpenAPIDrvUserPass"));
    EXPECT_NE(std::string::npos, user.find("IPAddress=\"192.0.2.7\"\r\n"));
}

TEST_F(SetupExportsTest, AUserWithoutAdministratorRightsImportsOnlyForThemselves) {
    Configure();
    const std::string file = File("printer.txt");
    ASSERT_EQ(0u, exportFn_("Setup One", file.c_str()));
    const std::vector<BYTE> options = Data(second_, WL("DefaultDevOption"));
    NvxPlatform_SetAdministrator(FALSE);
    EXPECT_EQ(0u, importFn_("Setup Two", file.c_str()));
    EXPECT_EQ(1u, defaultFn_("Setup Two", file.c_str()));  // needs full access
    EXPECT_EQ(1u, fixFn_("Setup Two", file.c_str()));
    NvxPlatform_SetAdministrator(TRUE);
    OEMDEV record;
    ASSERT_TRUE(UserRecord(second_, &record));
    EXPECT_EQ(4, settings::GetNumber(record, "nCopies"));
    EXPECT_EQ(options, Data(second_, WL("DefaultDevOption")));  // the shared data stays
}

TEST_F(SetupExportsTest, TheDefaultSettingAlsoMakesTheDefaultPreset) {
    Configure();
    const std::string file = File("printer.txt");
    ASSERT_EQ(0u, exportFn_("Setup One", file.c_str()));
    ASSERT_EQ(0u, defaultFn_("Setup Two", file.c_str()));
    const std::vector<BYTE> stored = Data(second_, WL("DefaultOEMDEV"));
    ASSERT_EQ(sizeof(OEMDEV), stored.size());
    const OEMDEV* record = settings::AsRecord(stored.data());
    EXPECT_EQ(4, settings::GetNumber(*record, "nCopies"));
    EXPECT_EQ(0, settings::GetNumber(*record, "byEasySetKind"));
    EXPECT_EQ(WString(), settings::GetText(*record, settings::FindField("szEasySetName")));
    EXPECT_EQ(settings::kDevOptionSize, Data(second_, WL("DefaultDevOption")).size());
    const std::vector<BYTE> easySet = Data(second_, WL("DefaultEasySet"));
    ASSERT_GT(easySet.size(), 2u);
    EXPECT_NE(0xFF, easySet[0]);  // UTF-16LE without a mark
    const SettingsDoc doc = ParseUtf16Bytes(easySet.data(), easySet.size());
    EXPECT_EQ(WString(WL("4")), doc.FindKey(WL("OEMDEV"), WL("nCopies"))->value);
    EXPECT_EQ(4u, Data(second_, WL("DefaultAuthUseEngine")).size());
}

TEST_F(SetupExportsTest, PersonalInformationFromAWindows1252File) {
    const auto personal = Proc<TransferFn>("SPRINST_PersonalInfoImport");
    const std::string ini = File("personal.ini");
    Put(ini, "[PersonalInfo]\r\nVLUserName=Ren\xE9\r\nVLUserKey=s3cret\r\nVLSectionName=Sales\r\n");
    ASSERT_EQ(0u, personal("Setup Two", ini.c_str()));
    device::UserSettingsRecord rec{};
    ASSERT_TRUE(device::ReadStoredUserSettings(second_, &rec));
    EXPECT_EQ(2, rec.userType);
    EXPECT_EQ(WString(WL("Ren\u00e9")), WString(rec.userName));
    EXPECT_EQ(WString(WL("Sales")), WString(rec.departmentName));
    EXPECT_GT(rec.userPassLength, 0);
    OEMDEV record;
    ASSERT_TRUE(UserRecord(second_, &record));
    device::UserSettingsRecord inRecord{};
    device::CopyFromOemdev(record, false, &inRecord);
    EXPECT_EQ(WString(WL("Ren\u00e9")), WString(inRecord.userName));
    const std::string clear = "s3cret";
    EXPECT_EQ(std::string::npos, Read(Root() + "/platform.db").find(clear));
    EXPECT_EQ(std::string::npos, Read(Root() + "/platform.db-wal").find(clear));

    // The keys beside the user settings: the user's engine switch and the server's names.
    Put(File("server.ini"), "[PersonalInfo]\r\nAuthUseEngine=1\r\nTreeDomainName=corp\r\nExpenseCode=42\r\n"
                            "ExpenseCodePassword=exp3nse\r\nInterimPublicUser=1\r\n");
    ASSERT_EQ(0u, personal("Setup Two", File("server.ini").c_str()));
    {
        model::RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, model::OpenUserKey(second_, &key));
        uint32_t engine = 0;
        EXPECT_TRUE(model::ValueStore::OfKey(key.get()).ReadDword(WL("AuthUseEngine"), &engine));
        EXPECT_EQ(1u, engine);
        model::RegKey auth;
        ASSERT_EQ(ERROR_SUCCESS, model::OpenUserKey(second_, &auth, WL("Authentication")));
        WCHAR text[64] = {};
        DWORD size = sizeof text, type = 0;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(auth.get(), WL("TreeDomainName"), nullptr, &type,
                                                  reinterpret_cast<BYTE*>(text), &size));
        EXPECT_EQ(WString(WL("corp")), WString(text));
        ASSERT_TRUE(device::ReadStoredUserSettings(second_, &rec));
        EXPECT_EQ(device::kMiddleServerPublicUser, rec.middleServerMode);
        EXPECT_EQ(WString(WL("Ren\u00e9")), WString(rec.userName));  // not named in the file: kept
    }
    EXPECT_EQ(std::string::npos, Read(Root() + "/platform.db").find("exp3nse"));
    EXPECT_EQ(std::string::npos, Read(Root() + "/platform.db-wal").find("exp3nse"));

    // A value that fails, a missing file, a folder, a UTF-16 file without a mark: nothing changes.
    Put(File("long.ini"), "[PersonalInfo]\r\nVLSectionName=Other\r\nVLUserName=" + std::string(81, 'a') + "\r\n");
    Put(File("engine.ini"), "[PersonalInfo]\r\nVLSectionName=Other\r\nAuthUseEngine=on\r\n");
    std::string utf16;
    for (char c : std::string("[PersonalInfo]\r\nVLUserName=Ann\r\n")) utf16 += std::string{c, '\0'};
    Put(File("utf16.ini"), utf16);
    const std::string before = Store();
    EXPECT_EQ(14u, personal("Setup Two", File("long.ini").c_str()));
    EXPECT_EQ(14u, personal("Setup Two", File("engine.ini").c_str()));
    EXPECT_EQ(7u, personal("Setup Two", File("missing.ini").c_str()));
    EXPECT_EQ(7u, personal("Setup Two", folder_.c_str()));
    EXPECT_EQ(1u, personal("No Such Printer", ini.c_str()));
    EXPECT_TRUE(before == Store());
    // UTF-16 without a mark holds no section the profile functions read: nothing to apply.
    EXPECT_EQ(0u, personal("Setup Two", File("utf16.ini").c_str()));
    ASSERT_TRUE(device::ReadStoredUserSettings(second_, &rec));
    EXPECT_EQ(WString(WL("Ren\u00e9")), WString(rec.userName));
}

TEST_F(SetupExportsTest, LockedSettingsAreStoredAndSet) {
    const std::string ini = File("lock.ini");
    Put(ini,
        "; locks for the office\r\n[FixSetting]\r\nOutputMethod=OutputSecure\r\nSelectColor=Color\r\n"
        "Staple=\r\nChkFixUserName=ON\r\nA=1\r\nB=2\r\nC=3\r\nD=4\r\nE=5\r\n");
    ASSERT_EQ(0u, fixFn_("Setup Two", ini.c_str()));
    const std::vector<BYTE> lock = Data(second_, WL("DD-FixSetting"));
    const std::vector<LockEntry> entries = DecodeLockRecord(lock.data(), lock.size());
    ASSERT_EQ(7u, entries.size());  // nine keys with values, seven entries
    EXPECT_EQ("OutputMethod", entries[0].feature);
    EXPECT_EQ("", entries[1].feature);  // "SelectColor" other than "Grayscale" locks nothing
    EXPECT_EQ("", entries[2].feature);
    EXPECT_EQ("ChkFixUserName", entries[3].feature);
    EXPECT_EQ("C", entries[6].feature);
    OEMDEV record;
    ASSERT_TRUE(UserRecord(second_, &record));
    EXPECT_EQ(1, settings::GetNumber(record, "nOutputMethod"));

    const std::string before = Store();
    EXPECT_EQ(7u, fixFn_("Setup Two", File("missing.ini").c_str()));
    EXPECT_EQ(7u, fixFn_("Setup Two", folder_.c_str()));
    EXPECT_TRUE(before == Store());
}

}  // namespace
