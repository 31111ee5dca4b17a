// The model feature switches: names, the two passes, and the value grammar.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "catalogue_test_util.h"
#include "features/feature_settings.h"

using namespace nvx::features;

namespace {

FeatureSettingRecord Rec(const char* name, const char* value) {
    FeatureSettingRecord r{};
    std::strncpy(r.name, name, sizeof r.name - 1);
    std::strncpy(r.value, value, sizeof r.value - 1);
    return r;
}

TEST(CatalogueSwitches, NamesAreTheListedOnesInTestingOrder) {
    EXPECT_EQ(205, kSwitchCount);
    EXPECT_EQ(136, kFirstSecondPass);
    EXPECT_EQ(0, FindSwitch("SeparatePagePrint"));
    EXPECT_EQ(135, FindSwitch("ConfirmFaxNumber"));
    EXPECT_EQ(136, FindSwitch("Overlay_DlgType"));
    EXPECT_EQ(204, FindSwitch("TwoColors"));
    EXPECT_EQ(kSw_CC_CopyTray3, FindSwitch("CC_CopyTray3"));
    EXPECT_EQ(kSw_WakeOnCall_MIB, FindSwitch("WakeOnCall_MIB"));
    EXPECT_EQ(kSw_2ColorGradation, FindSwitch("2ColorGradation"));
    EXPECT_EQ(-1, FindSwitch("staple"));         // exact
    EXPECT_EQ(-1, FindSwitch("Staple "));        // whole strings
    EXPECT_EQ(-1, FindSwitch("Stapl"));
    EXPECT_EQ(-1, FindSwitch("HeaderFooterNumberX"));
}

TEST(CatalogueSwitches, ValueGrammar) {
    struct Case {
        const char* text;
        SwitchForm form;
        int32_t value;
        bool device;
    } cases[] = {
        {"Enable", SwitchForm::Enable, 1, true},       {"Disable", SwitchForm::Disable, 0, false},
        {"Driver", SwitchForm::Driver, 1, false},      {"TYPE1", SwitchForm::Type, 1, true},
        {"TYPE255", SwitchForm::Type, 255, true},      {"DriverTYPE7", SwitchForm::DriverType, 7, false},
        {"42", SwitchForm::Number, 42, false},         {"-3", SwitchForm::Number, -3, false},
        {"ComboBox", SwitchForm::Word, 1, false},      {"SLEEP2&ERP", SwitchForm::Word, 2, false},
        {"EngineandISV", SwitchForm::Word, 4, false},  {"NVXMONO.ICM", SwitchForm::Text, 0, false},
        // Edges: only the texts "TYPE%d" prints for 1 ... 255 are types.
        {"TYPE0", SwitchForm::Text, 0, false},         {"TYPE256", SwitchForm::Text, 0, false},
        {"TYPE01", SwitchForm::Text, 0, false},        {"TYPE+1", SwitchForm::Text, 0, false},
        {"TYPE", SwitchForm::Text, 0, false},          {"type1", SwitchForm::Text, 0, false},
        {"enable", SwitchForm::Text, 0, false},        {"Enable ", SwitchForm::Text, 0, false},
        {"DriverTYPE0", SwitchForm::Text, 0, false},   {"99999999999", SwitchForm::Text, 0, false},
        {"", SwitchForm::Text, 0, false},              {"-", SwitchForm::Text, 0, false},
    };
    for (const Case& c : cases) {
        SwitchValue v = ParseSwitchValue(c.text, false);
        EXPECT_EQ(c.form, v.form) << c.text;
        EXPECT_EQ(c.value, v.value) << c.text;
        EXPECT_EQ(c.device, v.device) << c.text;
    }
    // The monochrome form exists in the colour build only.
    EXPECT_EQ(SwitchForm::Text, ParseSwitchValue("TYPE2Mono", false).form);
    SwitchValue mono = ParseSwitchValue("TYPE2Mono", true);
    EXPECT_EQ(SwitchForm::TypeMono, mono.form);
    EXPECT_EQ(2, mono.value);
    EXPECT_TRUE(mono.mono);
    EXPECT_EQ(SwitchForm::Text, ParseSwitchValue("TYPE0Mono", true).form);
    EXPECT_EQ(SwitchForm::Text, ParseSwitchValue("TYPEMono", true).form);
}

TEST(CatalogueSwitches, RecordsSetTheirSwitchesAndTheLastRecordWins) {
    ModelSwitches s;
    s.Apply({Rec("Staple", "TYPE2"), Rec("SeparatePagePrint", "Driver"), Rec("ChapterMaxCnt", "99"),
             Rec("UnknownSwitch", "Enable"), Rec("ColorProfile_FileName", "NVXMONO.ICM"), Rec("HolePunch", "Enable"),
             Rec("HolePunch", "Disable"), Rec("TwoColors", "Enable"), Rec("ChapterMaxCnt", "Spare")},
            false);
    EXPECT_EQ(2, s[kSw_Staple]);
    EXPECT_TRUE(s.Get(kSw_Staple).device);
    EXPECT_EQ(1, s[kSw_SeparatePagePrint]);
    EXPECT_FALSE(s.Get(kSw_SeparatePagePrint).device);
    EXPECT_EQ(0, s[kSw_HolePunch]);
    EXPECT_EQ(SwitchForm::Disable, s.Get(kSw_HolePunch).form);
    EXPECT_EQ(1, s[kSw_TwoColors]);  // a second-pass name
    EXPECT_STREQ("NVXMONO.ICM", s.Get(kSw_ColorProfile_FileName).text);
    EXPECT_EQ(99, s[kSw_ChapterMaxCnt]);  // a later word keeps the number it cannot replace
    EXPECT_STREQ("Spare", s.Get(kSw_ChapterMaxCnt).text);
    EXPECT_EQ(SwitchForm::Default, s.Get(kSw_Poster).form);
    s.Reset();
    EXPECT_EQ(0, s[kSw_Staple]);
}

TEST(CatalogueSwitches, EntryRecordsAreCutToTheirFieldsAndAMissingEntryKeepsDefaults) {
    using cattest::Json;
    Json src = cattest::Only({cattest::Items("FeatureSetting",
                                             {{"Staple", "TYPE3"},
                                              {"ColorProfile_FileName", "A_VERY_LONG_PROFILE_FILE_NAME_THAT_IS.ICM"},
                                              {"PaperOption1", "Enable"}})});
    auto pkg = cattest::Open(src);
    std::vector<FeatureSettingRecord> records = ReadFeatureSettings(*pkg);
    ASSERT_EQ(3u, records.size());
    EXPECT_STREQ("A_VERY_LONG_PROFILE_FILE_NAME_T", records[1].value);  // 31 characters
    ModelSwitches s;
    s.Apply(records, false);
    EXPECT_EQ(3, s[kSw_Staple]);
    EXPECT_TRUE(s.On(kSw_PaperOption1));
    auto empty = cattest::Open(cattest::Only({}));
    EXPECT_TRUE(ReadFeatureSettings(*empty).empty());
}

}  // namespace
