// Default settings: the printer's stored record, the template with the locale
// paper and the monochrome rule; the package defaults that adjust the template.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"
#include "settings/settings_state.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

using namespace nvx::settings;

LPWSTR W(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

class SettingsDefaults : public PlatformTest {
protected:
    void TearDown() override {
        for (HANDLE p : printers_) {
            DeletePrinter(p);
            ClosePrinter(p);
        }
        PlatformTest::TearDown();
    }
    HANDLE AddTestPrinter(const WCHAR* name, const WCHAR* driver) {
        PRINTER_INFO_2W info{};
        info.pPrinterName = W(name);
        info.pDriverName = W(driver);
        info.pPortName = W(WL("LPT1:"));
        info.pPrintProcessor = W(WL("winprint"));
        HANDLE p = nvxtest::AddTestPrinter(info);
        if (p) printers_.push_back(p);
        return p;
    }
    static DWORD Store(HANDLE printer, const WCHAR* name, const void* data, DWORD size) {
        return SetPrinterDataW(printer, W(name), REG_BINARY, static_cast<LPBYTE>(const_cast<void*>(data)), size);
    }
    static OEMDEV Template() {
        OEMDEV t;
        BuildTemplate(t);
        return t;
    }
    std::vector<HANDLE> printers_;
};

PaperRow Paper(int32_t id, int32_t w, int32_t h, int32_t margin, std::vector<uint16_t> countries) {
    PaperRow p;
    p.id = id;
    p.width = w;
    p.height = h;
    for (int32_t& m : p.margins) m = margin;
    p.countries = std::move(countries);
    return p;
}

TEST_F(SettingsDefaults, StoredRecordOfExactlyOneRecordWins) {
    HANDLE printer = AddTestPrinter(WL("Stored"), WL("Novrix Fax"));
    ASSERT_NE(nullptr, printer);
    OEMDEV stored = Template();
    SetNumber(stored, "nCopies", 42);
    ModelFacts facts;
    OEMDEV tmpl = Template();
    OEMDEV record{};

    ASSERT_EQ(DWORD(ERROR_SUCCESS), Store(printer, WL("DefaultOEMDEV"), stored.bytes, kOemDevSize));
    EXPECT_EQ(DefaultsSource::PrinterData, MakeDefaultSettings(&record, printer, facts, tmpl));
    EXPECT_EQ(0, std::memcmp(stored.bytes, record.bytes, kOemDevSize));

    // One byte short, one byte long, or a wrong header: the template instead.
    std::vector<BYTE> longer(stored.bytes, stored.bytes + kOemDevSize);
    longer.push_back(0);
    OEMDEV badHeader = stored;
    nvx::PutLE32(badHeader.bytes + 8, 2);
    const std::pair<const void*, DWORD> refused[] = {
        {stored.bytes, kOemDevSize - 1}, {longer.data(), kOemDevSize + 1}, {badHeader.bytes, kOemDevSize}};
    for (const auto& [data, size] : refused) {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), Store(printer, WL("DefaultOEMDEV"), data, size));
        std::memset(record.bytes, 0xEE, kOemDevSize);
        EXPECT_EQ(DefaultsSource::Template, MakeDefaultSettings(&record, printer, facts, tmpl)) << size;
        EXPECT_EQ(1, GetNumber(record, "nCopies")) << size;
        EXPECT_TRUE(IsRecordHeader(record.bytes));
    }

    EXPECT_EQ(DefaultsSource::None, MakeDefaultSettings(nullptr, printer, facts, tmpl));
    // No printer to ask: the template.
    EXPECT_EQ(DefaultsSource::Template, MakeDefaultSettings(&record, INVALID_HANDLE_VALUE, facts, tmpl));
    EXPECT_EQ(0, std::memcmp(tmpl.bytes, record.bytes, kOemDevSize));
}

TEST_F(SettingsDefaults, MonochromeRuleFollowsTheDriverName) {
    HANDLE mono = AddTestPrinter(WL("MonoPrinter"), WL("Novrix Fax Mono"));
    HANDLE lower = AddTestPrinter(WL("LowerPrinter"), WL("Novrix Fax mono"));
    HANDLE colour = AddTestPrinter(WL("ColourPrinter"), WL("Novrix Fax"));
    ASSERT_TRUE(mono && lower && colour);
    EXPECT_TRUE(DriverNameEndsInMono(mono));
    EXPECT_FALSE(DriverNameEndsInMono(lower));
    EXPECT_FALSE(DriverNameEndsInMono(colour));
    EXPECT_FALSE(DriverNameEndsInMono(nullptr));

    ModelFacts facts;
    facts.colourField = 1;
    OEMDEV tmpl = Template();
    SetNumber(tmpl, "nColorMode", 0);  // a colour default, so that the rule shows
    OEMDEV record{};
    // This build answers 0 for "_PRP_QUALTY_MFP_C": only a "Mono" driver is monochrome.
    MakeDefaultSettings(&record, mono, facts, tmpl);
    EXPECT_EQ(2, GetNumber(record, "DevOvlInfo.DevOvlSurface.nDevOvlColor"));
    EXPECT_EQ(2, GetNumber(record, "DevOvlInfo.DevOvlBack.nDevOvlColor"));
    for (const char* f : {"nColorMode", "nCPE_CP_Color", "nCPE_SS_Color", "DateTimePageNo.nDT_Color",
                          "DateTimePageNo.nPN_PrintNumColor", "nHFE_TextColor"})
        EXPECT_EQ(1, GetNumber(record, f)) << f;
    MakeDefaultSettings(&record, lower, facts, tmpl);
    EXPECT_EQ(0, GetNumber(record, "DevOvlInfo.DevOvlSurface.nDevOvlColor"));
    EXPECT_EQ(0, GetNumber(record, "nColorMode"));

    // The rule with the colour quality switch on: monochrome unless a colour model
    // has a driver that is not "Mono".
    EXPECT_TRUE(MonochromeApplies(true, false, 1));
    EXPECT_FALSE(MonochromeApplies(false, false, 0));
    EXPECT_TRUE(MonochromeApplies(true, true, 1));
    EXPECT_TRUE(MonochromeApplies(false, true, 0));
    EXPECT_FALSE(MonochromeApplies(false, true, 1));
}

#ifndef _WIN32
TEST_F(SettingsDefaults, LocalePaperAdjustsTheTemplate) {
    HANDLE printer = AddTestPrinter(WL("Paper"), WL("Novrix Fax"));
    ASSERT_NE(nullptr, printer);
    ModelFacts facts;
    facts.papers = {Paper(9, 2100, 2970, 42, {44, 49, 81}), Paper(1, 2159, 2794, 40, {1, 52})};
    facts.hasPackageDefaultPaper = true;
    facts.packageDefaultPaper = 9;
    facts.inchValues = true;
    OEMDEV tmpl = Template();
    OEMDEV record{};

    NvxPlatform_SetCountryCode(1);
    EXPECT_EQ(1, UserCountryCode());
    MakeDefaultSettings(&record, printer, facts, tmpl);
    EXPECT_EQ(1, GetNumber(record, "nPaperSize"));
    EXPECT_EQ(2159, GetNumber(record, "sizPaper.cx"));
    EXPECT_EQ(2794, GetNumber(record, "sizPaper.cy"));
    EXPECT_EQ(40, GetNumber(record, "rcMargin.bottom"));
    EXPECT_EQ(2159, GetNumber(record, "sizOutPaper.cx"));      // nOutPaperSize is 357
    EXPECT_EQ(2794, nvx::GetField<int16_t>(record.bytes, 8219));  // server paper
    EXPECT_EQ(2159, nvx::GetField<int16_t>(record.bytes, 89));    // user-defined sizes
    EXPECT_EQ(2794, nvx::GetField<int16_t>(record.bytes, 113));
    EXPECT_EQ(850, GetNumber(record, "sizInUserDefPaperIN.cx"));
    EXPECT_EQ(1100, GetNumber(record, "sizOutUserDefPaperIN.cy"));
    EXPECT_EQ(1, GetNumber(tmpl, "nPaperSize"));  // the template itself was adjusted

    // A country that no paper lists: the package's default paper.
    NvxPlatform_SetCountryCode(7);
    MakeDefaultSettings(&record, printer, facts, tmpl);
    EXPECT_EQ(9, GetNumber(record, "nPaperSize"));
    EXPECT_EQ(2970, GetNumber(record, "sizServerPaper.cy"));

    // A fixed output size keeps its own dimensions; without inch values the inch
    // fields keep theirs.
    SetNumber(tmpl, "nOutPaperSize", 5);
    SetNumber(tmpl, "sizOutPaper.cx", 1000);
    SetNumber(tmpl, "sizInUserDefPaperIN.cx", 1);
    facts.inchValues = false;
    NvxPlatform_SetCountryCode(1);
    MakeDefaultSettings(&record, printer, facts, tmpl);
    EXPECT_EQ(1000, GetNumber(record, "sizOutPaper.cx"));
    EXPECT_EQ(1, GetNumber(record, "sizInUserDefPaperIN.cx"));

    // No listed country and no package default: the template as it is.
    facts.hasPackageDefaultPaper = false;
    NvxPlatform_SetCountryCode(7);
    OEMDEV before = tmpl;
    MakeDefaultSettings(&record, printer, facts, tmpl);
    EXPECT_EQ(0, std::memcmp(before.bytes, tmpl.bytes, kOemDevSize));
    EXPECT_EQ(0, std::memcmp(before.bytes, record.bytes, kOemDevSize));
    NvxPlatform_SetCountryCode(1);
}
#endif

TEST_F(SettingsDefaults, ProcessWideEntryUsesTheFactsAndTemplate) {
    HANDLE printer = AddTestPrinter(WL("Wide"), WL("Novrix Fax Mono"));
    ASSERT_NE(nullptr, printer);
#ifndef _WIN32
    NvxPlatform_SetCountryCode(1);
#endif
    ModelFacts stale;
    stale.papers = {Paper(1, 2159, 2794, 40, {1})};
    SetModelFacts(stale);
    SetNumber(DefaultTemplate(), "nCopies", 9);
    PrepareSettings();  // as attach does it: built-in template, no facts
    EXPECT_TRUE(CurrentModelFacts().papers.empty());
    OEMDEV record{};
    EXPECT_FALSE(FillDefaultSettings(nullptr, printer));
    EXPECT_TRUE(FillDefaultSettings(record.bytes, printer));
    EXPECT_EQ("Q57_3FA", GetAnsi(record, FindField("szModelID")));
    EXPECT_EQ(2, GetNumber(record, "DevOvlInfo.DevOvlBack.nDevOvlColor"));
    EXPECT_EQ(1, GetNumber(record, "nCopies"));
    EXPECT_EQ(9, GetNumber(record, "nPaperSize"));

    SetModelFacts(stale);  // the locale's paper now comes from the facts (country 1)
    EXPECT_TRUE(FillDefaultSettings(record.bytes, printer));
#ifndef _WIN32
    EXPECT_EQ(1, GetNumber(record, "nPaperSize"));
#endif
    ReleaseSettings();
    EXPECT_TRUE(CurrentModelFacts().papers.empty());
}

TEST(SettingsTemplate, PackageDefaultsAdjustTheirFields) {
    OEMDEV t;
    BuildTemplate(t);
    for (size_t i = 0; i < kEntryDefaultFieldCount; ++i) {
        FieldRef ref = FindField(kEntryDefaultFields[i].field);
        ASSERT_TRUE(ref) << kEntryDefaultFields[i].field;
        EXPECT_TRUE(IsNumberKind(ref.def->kind)) << kEntryDefaultFields[i].field;
    }
    EXPECT_TRUE(ApplyEntryDefault(t, "Copies", 3));
    EXPECT_EQ(3, GetNumber(t, "nCopies"));
    EXPECT_TRUE(ApplyEntryDefault(t, "ChkBlankRatio_op", 50));
    EXPECT_EQ(50, GetNumber(t, "nChkBlankRatio"));
    EXPECT_TRUE(ApplyEntryDefault(t, "Graph_Halftone", 4));
    EXPECT_EQ(4, GetNumber(t, "ColorGraphics.nScreen"));
    EXPECT_TRUE(ApplyEntryDefault(t, "FCoverTray", 32767));
    EXPECT_EQ(32767, GetNumber(t, "nFrontCoverTray"));
    OEMDEV before = t;
    EXPECT_FALSE(ApplyEntryDefault(t, "PaperSize", 1));   // has its own function
    EXPECT_FALSE(ApplyEntryDefault(t, "copies", 1));
    EXPECT_EQ(0, std::memcmp(before.bytes, t.bytes, kOemDevSize));

    ApplyPaperDefault(t, Paper(1, 2159, 2794, 30, {}));
    EXPECT_EQ(1, GetNumber(t, "nPaperSize"));
    EXPECT_EQ(30, GetNumber(t, "rcMargin.left"));
    ApplyOutPaperDefault(t, 357, 999, 999);  // follows the input paper
    EXPECT_EQ(357, GetNumber(t, "nOutPaperSize"));
    EXPECT_EQ(2159, GetNumber(t, "sizOutPaper.cx"));
    EXPECT_EQ(2794, GetNumber(t, "sizOutPaper.cy"));
    ApplyOutPaperDefault(t, 9, 2100, 2970);
    EXPECT_EQ(2100, GetNumber(t, "sizOutPaper.cx"));
    ApplyUserPaperDefault(t, true, 1000, true);
    ApplyUserPaperDefault(t, false, 1500, false);
    EXPECT_EQ(1000, GetNumber(t, "sizInUserDefPaperMM.cx"));
    EXPECT_EQ(1000, GetNumber(t, "sizOutUserDefPaperMM.cx"));
    EXPECT_EQ(394, GetNumber(t, "sizOutUserDefPaperIN.cx"));
    EXPECT_EQ(1500, GetNumber(t, "sizOutUserDefPaperMM.cy"));
    EXPECT_EQ(1169, GetNumber(t, "sizInUserDefPaperIN.cy"));  // no inch values asked

    EXPECT_EQ(827, TenthsMmToHundredthsInch(2100));
    EXPECT_EQ(1169, TenthsMmToHundredthsInch(2970));
    EXPECT_EQ(0, TenthsMmToHundredthsInch(0));
    EXPECT_EQ(-827, TenthsMmToHundredthsInch(-2100));
}

}  // namespace
