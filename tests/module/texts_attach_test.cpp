// The texts and small settings as the attach sequence builds them from the sample
// model, a second attach in the same process, and the step-7 load lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "features/list_builders.h"
#include "frame/module_state.h"
#include "lifecycle/lifecycle.h"
#include "model/loaded_model.h"
#include "model/text_tables.h"
#include "platform/host.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::model;
using nvx::frame::Module;

std::string U8(const WCHAR* s) { return s ? nvx::Utf8FromW(s) : std::string("<null>"); }

class TextsAttachTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        anchor_ = LoadLibraryW(driver_.WidePath("NOVRIX_R.DLL").c_str());
        ASSERT_NE(nullptr, anchor_);
    }
    void TearDown() override {
        nvx::lifecycle::DetachModule();
        FreeLibrary(anchor_);
        PlatformTest::TearDown();
    }
    nvxtest::DriverCopy driver_;
    HMODULE anchor_ = nullptr;
};

TEST_F(TextsAttachTest, AttachLoadsTheSampleTextsAndDetachRestoresTheBuiltInOnes) {
    const std::string notice = "Model data for the Q57_3FA monochrome multifunction fax";
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_)) << round;
        const ModelTables& t = nvx::model::Loaded().tables;
        EXPECT_EQ(notice, U8(TextByKey(PageTextTable(106), "Notice3"))) << round;
        EXPECT_EQ("Default", U8(NamedTextOf(NamedText::PresetDefault)));
        EXPECT_EQ("B5 (JIS)", U8(t.settings.papers.Find("B5")));
        EXPECT_EQ(CipherMode::Aes, t.settings.encryption.mode);
        EXPECT_EQ(3u, t.settings.encryption.keyId);
        EXPECT_EQ(57u, t.settings.encryption.modelId);
        EXPECT_EQ("The printer cannot be opened.", U8(SetupErrorMessage(t.settings.setupErrors, 1)));
        EXPECT_EQ("The settings could not be transferred.", U8(SetupErrorMessage(t.settings.setupErrors, 12)));
        EXPECT_EQ(5u, t.settings.directoryAuth.count);
        EXPECT_EQ(1u, t.settings.directoryAuth.defaultValue);  // Simple
        const auto& slots = t.settings.messageList.slots;
        for (uint32_t n : {1u, 2u, 10u, 11u}) EXPECT_NE(slots.end(), std::find(slots.begin(), slots.end(), n)) << n;
        EXPECT_EQ("My Tab", U8(t.settings.customPage.tabName));
        EXPECT_EQ("Arial", U8(t.settings.fonts.latin));

        nvx::lifecycle::DetachModule();
        EXPECT_EQ("", U8(TextByKey(PageTextTable(106), "Notice3"))) << round;
        EXPECT_TRUE(nvx::model::Loaded().tables.settings.papers.rows.empty());
        EXPECT_EQ(CipherMode::None, nvx::model::Loaded().tables.settings.encryption.mode);
    }
}

#ifndef _WIN32
TEST_F(TextsAttachTest, TheLocalePaperFollowsTheCountry) {
    struct Case {
        int country;
        int32_t paper;
    } cases[] = {{1, 1}, {81, 9}, {49, 9}, {998, 9} /* no paper lists it: the package default, A4 */};
    for (const Case& c : cases) {
        NvxPlatform_SetCountryCode(c.country);
        ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
        EXPECT_TRUE(nvx::model::Loaded().tables.settings.papers.hasLocalePaper) << c.country;
        EXPECT_EQ(c.paper, nvx::model::Loaded().tables.settings.papers.localePaper) << c.country;
        nvx::lifecycle::DetachModule();
    }
}
#endif

TEST(OptionTextLoadsTest, TheStepSevenListsArePinned) {
    std::vector<nvx::features::OptionTextLoad> loads = nvx::features::OptionTextLoads();
    EXPECT_EQ(116u, loads.size());
    std::set<std::string> entries;
    for (const auto& l : loads) entries.insert(l.entry);
    for (const char* e : {"Nup", "NupStyle", "BorderLine", "HolePunch", "Folding", "Combination", "OutputOrder",
                          "FrontCover", "BackCover", "SeparatePage", "HFE_SelectDevSetting", "WM_Style", "WM_Color",
                          "CP_Pattern", "DateFormat", "TimeFormat", "ColAdj_Screen", "Pattern", "ImageCompression",
                          "FontDownload", "FtpECM", "FtpV34"})
        EXPECT_TRUE(entries.count(e)) << e;
    EXPECT_TRUE(entries.count("FtpECM"));
    EXPECT_TRUE(entries.count("FtpV34"));
    EXPECT_FALSE(entries.count("FcsBStyle"));  // the other fax lists come with the fax step

    const char* reorders[] = {"CPDE_String",    "CPDE_Pattern",   "CPE_StringTYPE3_op", "CPE_CP_Pattern",
                              "CopyProtect_op", "CSE_CP_Pattern", "EdgeType_op",        "FontDownload"};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_STREQ(reorders[i], nvx::features::kReorderLoads[i].entry);
        EXPECT_EQ(i == 7, nvx::features::kReorderLoads[i].onlyIfFlagged);
    }
}

}  // namespace
