// The Other tab with the sample device: e-mail notification and its address (cut
// to 128 bytes as typed, refused on leaving the page when the device cannot send
// to it), the blank page check and what forbids it, rectangles; the enable rules
// and the address rules without a window.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/proc.h"
#include "pages/other_logic.h"
#include "pages/page_fixture.h"
#include "platform/host.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using pagetest::PageHost;
namespace other = nvx::pages::other;

constexpr pagetest::PageDef kOther{187, "Prc_DocOtherProc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class OtherTab : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    std::string Address() const {
        return Utf8(nvx::settings::GetText(*nvx::settings::AsRecord(const_cast<nvx::host::HostSheet&>(sheet_).Record()),
                                           nvx::settings::FindField("szEmailAddress"))
                        .c_str());
    }
    // Types into the address box and leaves it.
    void TypeAddress(const WCHAR* text) {
        ASSERT_TRUE(NvxUi_Type(Control(1880), text, NVXUI_TYPE_REPLACE));
    }
    // Asks the sheet to change to the next page; true when it did.
    bool LeavePage() {
        HWND before = Page();
        SendMessageW(sheetWindow_, PSM_SETCURSEL, 1, 0);
        NvxUi_Pump(0);
        return Page() != before;
    }
};

TEST_F(OtherTab, ShowsWhatTheModelOffers) {
    ASSERT_NE(nullptr, OpenSheet({kOther}));
    EXPECT_EQ(0, MessageBoxCount());
    for (int id : {1218, 1880, 2261, 2527, 2597, 2598, 1032}) EXPECT_TRUE(Shown(id)) << id;
    // The sample model has no colour rounding.
    for (int id : {3350, 3351, 3352, 3353, 3354}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_FALSE(Enabled(1880)) << "the address waits for notification";
    EXPECT_FALSE(Enabled(2598)) << "the ratio waits for the check";
    EXPECT_FALSE(Shown(2596));
}

TEST_F(OtherTab, NotificationEnablesTheAddressAndTheAddressIsKept) {
    ASSERT_NE(nullptr, OpenSheet({kOther, kVersion}));
    ASSERT_TRUE(NvxUi_Click(Control(1218)));
    EXPECT_EQ(1, Field("bEmailNotify"));
    EXPECT_TRUE(Enabled(1880));
    TypeAddress(WL("user@example.com"));
    EXPECT_EQ("user@example.com", Address());
    EXPECT_TRUE(LeavePage());
    EXPECT_EQ(0, MessageBoxCount());
    // Unchecking disables the address field again.
    SendMessageW(sheetWindow_, PSM_SETCURSEL, 0, 0);
    NvxUi_Pump(0);
    ASSERT_TRUE(NvxUi_Click(Control(1218)));
    EXPECT_EQ(0, Field("bEmailNotify"));
    EXPECT_FALSE(Enabled(1880));
}

TEST_F(OtherTab, AnAddressOf130CharactersIsCutTo128AsItIsTyped) {
    ASSERT_NE(nullptr, OpenSheet({kOther}));
    ASSERT_TRUE(NvxUi_Click(Control(1218)));
    const std::string local(120, 'a');
    const std::string typed = local + "@ex.com123";
    ASSERT_EQ(130u, typed.size());
    TypeAddress(nvx::WFromUtf8(typed).c_str());
    EXPECT_EQ(typed.substr(0, 128), Address());
    EXPECT_EQ(typed.substr(0, 128), Text(1880)) << "the box shows the cut text";
}

TEST_F(OtherTab, AddressesTheDeviceCannotSendToKeepThePage) {
    ASSERT_NE(nullptr, OpenSheet({kOther, kVersion}));
    ASSERT_TRUE(NvxUi_Click(Control(1218)));
    for (const WCHAR* bad : {WL(""), WL("user.example.com"), WL("user @example.com"), WL("us\u00E9r@example.com"),
                             WL("@example.com"), WL("user@"), WL("a@b@c")}) {
        const int before = MessageBoxCount();
        TypeAddress(bad);
        EXPECT_FALSE(LeavePage()) << Utf8(bad);
        ASSERT_EQ(before + 1, MessageBoxCount()) << Utf8(bad);
        EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("e-mail address")) << Utf8(bad);
    }
    // Without notification the address is not needed.
    ASSERT_TRUE(NvxUi_Click(Control(1218)));
    EXPECT_TRUE(LeavePage());
}

TEST_F(OtherTab, AReadOnlySheetIsNotHeldByAStoredAddress) {
    SetField("bEmailNotify", 1);  // with an empty address
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kOther, kVersion}));
    EXPECT_FALSE(Enabled(1218));
    EXPECT_TRUE(LeavePage());
    EXPECT_EQ(0, MessageBoxCount());
}

TEST_F(OtherTab, AWatermarkForbidsTheBlankPageCheck) {
    SetField("bWmk", 1);
    ASSERT_NE(nullptr, OpenSheet({kOther}));
    EXPECT_FALSE(Enabled(2597));
    EXPECT_FALSE(Enabled(2598));
    EXPECT_TRUE(Shown(2596));
}

TEST_F(OtherTab, BlankRatioAndRectanglesReachTheRecord) {
    ASSERT_NE(nullptr, OpenSheet({kOther}));
    ASSERT_TRUE(NvxUi_Click(Control(2597)));
    EXPECT_EQ(1, Field("bChkBlankRatio"));
    EXPECT_TRUE(Enabled(2598));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(2598), WL("50%")));
    EXPECT_EQ(50, Field("nChkBlankRatio"));
    ASSERT_TRUE(NvxUi_Click(Control(2527)));
    EXPECT_EQ(0, Field("bRectOutMode"));
    ASSERT_TRUE(NvxUi_Click(Control(1032)));
    EXPECT_EQ(0, Field("bChkBlankRatio"));
    EXPECT_EQ(75, Field("nChkBlankRatio"));
    EXPECT_EQ(1, Field("bRectOutMode"));
}

// ---- Without a window ----

TEST(OtherLogic, TheAddressFollowsNotificationOnlyWhereTheModelHasIt) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    other::Switches sw;
    nvx::settings::SetNumber(r, "bEmailNotify", 1);
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).emailGoverned);
    sw.emailNotify = true;
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).emailAddress);
    nvx::settings::SetNumber(r, "bEmailNotify", 0);
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).emailAddress);
}

TEST(OtherLogic, WhatForbidsTheBlankPageCheck) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    other::Switches sw;
    sw.chkBlankRatio = true;
    nvx::settings::SetNumber(r, "bChkBlankRatio", 1);
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).blankForbidden);
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).blankRatio);
    other::SheetFacts facts;
    facts.contextForbids = true;
    EXPECT_TRUE(other::ComputeEnables(r, sw, facts).blankForbidden);
    EXPECT_FALSE(other::ComputeEnables(r, sw, facts).blankRatio);
    // The watermark counts in a document's sheet only.
    nvx::settings::SetNumber(r, "bWmk", 1);
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).blankForbidden);
    facts = {};
    facts.documentMode = false;
    EXPECT_FALSE(other::ComputeEnables(r, sw, facts).blankForbidden);
    nvx::settings::SetNumber(r, "bWmk", 0);
    // The per-page setting: its list entry, or with the first cover type the cover switch.
    nvx::settings::SetNumber(r, "CoverMFP.bUsePerPageSet", 1);
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).blankForbidden);
    sw.coverType1 = true;
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).blankForbidden);
    nvx::settings::SetNumber(r, "bFrontCover", 1);
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).blankForbidden);
}

TEST(OtherLogic, RoundingNeedsAColourModeAndTheThresholdFollowsIt) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    other::Switches sw;
    sw.roundOff = true;
    nvx::settings::SetNumber(r, "bRoundOffColorValue", 1);
    nvx::settings::SetNumber(r, "nColorMode", 1);
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).roundOff);
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).threshold);
    nvx::settings::SetNumber(r, "nColorMode", 0);
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).threshold);
    nvx::settings::SetNumber(r, "bRoundOffColorValue", 0);
    EXPECT_TRUE(other::ComputeEnables(r, sw, {}).roundOff);
    EXPECT_FALSE(other::ComputeEnables(r, sw, {}).threshold);
}

class EmailAddress : public PlatformTest {};

TEST_F(EmailAddress, TheChecksOfAnAddress) {
    using C = other::EmailCheck;
    EXPECT_EQ(C::Ok, other::CheckEmailAddress(WL("a@b")));
    EXPECT_EQ(C::Empty, other::CheckEmailAddress(WL("")));
    EXPECT_EQ(C::NoAt, other::CheckEmailAddress(WL("ab")));
    EXPECT_EQ(C::NoAt, other::CheckEmailAddress(WL("@b")));
    EXPECT_EQ(C::NoAt, other::CheckEmailAddress(WL("a@")));
    EXPECT_EQ(C::NoAt, other::CheckEmailAddress(WL("a@b@c")));
    EXPECT_EQ(C::Space, other::CheckEmailAddress(WL("a @b")));
    EXPECT_EQ(C::NotAscii, other::CheckEmailAddress(WL("\u00E4@b")));
    EXPECT_EQ(C::NotAscii, other::CheckEmailAddress(WL("a\t@b")));
    const nvx::WString at128 = nvx::WString(126, 'a') + WL("@b");
    EXPECT_EQ(C::Ok, other::CheckEmailAddress(at128));
    EXPECT_EQ(C::TooLong, other::CheckEmailAddress(at128 + WL("c")));
}

TEST_F(EmailAddress, CuttingKeepsWholeCharactersOfTheCodePage) {
    bool cut = true;
    EXPECT_EQ(nvx::WString(128, 'a'), other::CutEmailAddress(nvx::WString(128, 'a'), &cut));
    EXPECT_FALSE(cut);
    EXPECT_EQ(nvx::WString(128, 'a'), other::CutEmailAddress(nvx::WString(130, 'a'), &cut));
    EXPECT_TRUE(cut);
    NvxPlatform_SetAnsiCodePage(932);
    // 127 single bytes and a double-byte character: the character does not fit whole.
    const nvx::WString mixed = nvx::WString(127, 'a') + WL("\u3042");
    EXPECT_EQ(nvx::WString(127, 'a'), other::CutEmailAddress(mixed, &cut));
    EXPECT_TRUE(cut);
    NvxPlatform_SetAnsiCodePage(1252);
}

}  // namespace
