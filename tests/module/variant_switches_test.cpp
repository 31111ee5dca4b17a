// Variant switches: exact, case-sensitive names; anything else answers 0.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "frame/variant_switches.h"

using nvx::frame::AskVariant;

TEST(VariantSwitches, TableOfTheMonochromeFaxBuild) {
    ASSERT_EQ(41u, nvx::frame::kVariantSwitchCount);
    std::set<std::string> ones;
    for (size_t i = 0; i < nvx::frame::kVariantSwitchCount; ++i) {
        const auto& row = nvx::frame::kVariantSwitches[i];
        EXPECT_EQ(row.answer, AskVariant(row.name)) << row.name;
        if (row.answer) ones.insert(row.name);
    }
    EXPECT_EQ((std::set<std::string>{"_PRP_QUALTY_MFP_M", "_DLG_USRSET_TYPE2", "_DLG_IMGSHIFT_TYPE3",
                                     "_PRP_FINISHER_TYPE2", "_PRP_COVER_TYPE2", "_DLG_HDRFTR_TYPE3",
                                     "_DLG_CLRADJ_TYPE2", "_PRP_CONFIG_TYPE2", "_DLG_PERPAGE_TYPE1",
                                     "_PRP_SYNCMP_TYPE1", "OTHERTAB_ENABLE"}),
              ones);
    EXPECT_STREQ("_PRP_QUALTY_MFP_C", nvx::frame::kVariantSwitches[0].name);
    EXPECT_STREQ("QUALTY_TYPE_POD_ENABLE", nvx::frame::kVariantSwitches[40].name);
}

TEST(VariantSwitches, AnythingButAnExactNameAnswersZero) {
    EXPECT_EQ(1u, AskVariant("OTHERTAB_ENABLE"));
    EXPECT_EQ(0u, AskVariant("othertab_enable"));
    EXPECT_EQ(0u, AskVariant("OTHERTAB_ENABLE "));
    EXPECT_EQ(0u, AskVariant("OTHERTAB_ENABL"));
    EXPECT_EQ(0u, AskVariant(""));
    EXPECT_EQ(0u, AskVariant(nullptr));
    EXPECT_EQ(0u, AskVariant("_DLG_CLRADJ_TYPE1"));
    EXPECT_EQ(0u, AskVariant("_DLG_CLRADJ_DISABLE"));
    EXPECT_EQ(0u, AskVariant("QUALTY_TYPE_POD_ENABLE"));
}

// The override the dialogs of other builds are tried with: exact names, 0 or 1
// only, the last mention wins; a malformed item answers nothing.
TEST(VariantSwitches, OverrideTextNamesExactSwitchesOnly) {
    using nvx::frame::OverriddenVariant;
    unsigned answer = 7;
    EXPECT_FALSE(OverriddenVariant(nullptr, "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE1=1", "", &answer));
    ASSERT_TRUE(OverriddenVariant("_DLG_USRSET_TYPE1=1,_DLG_USRSET_TYPE2=0", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_EQ(1u, answer);
    ASSERT_TRUE(OverriddenVariant("_DLG_USRSET_TYPE1=1,_DLG_USRSET_TYPE2=0", "_DLG_USRSET_TYPE2", &answer));
    EXPECT_EQ(0u, answer);
    ASSERT_TRUE(OverriddenVariant("A=1,A=0", "A", &answer));
    EXPECT_EQ(0u, answer) << "the last mention wins";
    // A prefix, a longer name, a lower-case name, other answers and blanks count for nothing.
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE=1", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE11=1", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_dlg_usrset_type1=1", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE1=2", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE1=10", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE1 =1", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant("_DLG_USRSET_TYPE1=", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_FALSE(OverriddenVariant(",,=1,", "_DLG_USRSET_TYPE1", &answer));
    ASSERT_TRUE(OverriddenVariant("junk,_DLG_USRSET_TYPE1=1,", "_DLG_USRSET_TYPE1", &answer));
    EXPECT_EQ(1u, answer);
}
