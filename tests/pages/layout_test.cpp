// The Layout tab in a sheet, with the sample device's rules: what it shows, what
// a change drags along, the booklet's locks, the chapter list, leaving and
// restoring; and the tab's decisions without a window.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "pages/layout_logic.h"
#include "pages/page_fixture.h"
#include "platform/host.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using pagetest::PageHost;
namespace layout = nvx::pages::layout;

constexpr pagetest::PageDef kLayout{101, "Prc_DocPaper2Proc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class LayoutTab : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    int Checked(int id) const { return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)); }
    std::string Selected(int id) const {
        HWND combo = Control(id);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    bool LeavePage() {
        NvxUi_SelectTab(sheetWindow_, 1);
        NvxUi_Pump(0);
        return SendMessageW(sheetWindow_, PSM_GETCURRENTPAGEHWND, 0, 0) !=
               reinterpret_cast<LRESULT>(PropSheet_IndexToHwnd(sheetWindow_, 0));
    }
    nvx::WString StoredChapterText() {
        const auto* r = nvx::settings::AsRecord(sheet_.Record());
        return nvx::settings::GetText(*r, nvx::settings::FindField("szChapterPage"));
    }
};

TEST_F(LayoutTab, ShowsTheRecordAndOnlyWhatTheModelOffers) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    EXPECT_EQ(0, MessageBoxCount()) << "showing the page never asks";
    EXPECT_EQ(BST_UNCHECKED, Checked(1779));
    EXPECT_FALSE(Enabled(1025)) << "the N-up layout is off while N-up is off";
    EXPECT_EQ("1-Sided", Selected(1286));
    EXPECT_EQ(3, SendMessageW(Control(1286), CB_GETCOUNT, 0, 0)) << "the model's print types";
    EXPECT_EQ("Long Edge Left", Selected(1046));
    EXPECT_TRUE(Shown(1046) && Shown(1049));
    EXPECT_FALSE(Enabled(1046) || Enabled(1049)) << "1-sided, unstapled, unpunched: nothing binds";
    EXPECT_TRUE(Shown(1288) && Shown(1291) && Shown(1290) && Shown(1294) && Shown(1289));
    // Switched off by the model (AdhesiveBind, TABImageShift, PrintPosition) or
    // without a settings field (page combination): hidden and disabled.
    for (int id : {1230, 2306, 2307, 1204, 1296, 1031}) {
        EXPECT_FALSE(Shown(id)) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_FALSE(Enabled(1147)) << "the chapter list waits for chapter pages";
    EXPECT_FALSE(Enabled(1035));
}

TEST_F(LayoutTab, NupOnEnablesItsLayoutAndTheChosenLayoutIsStored) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1779)));
    EXPECT_EQ(1, Field("bNup"));
    EXPECT_TRUE(Enabled(1025));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1025), WL("4 Pages per Sheet")));
    EXPECT_EQ(2, Field("nNup"));
    EXPECT_NE(0u, sheet_.ChangedMark());
    ASSERT_TRUE(NvxUi_Click(Control(1779)));
    EXPECT_EQ(0, Field("bNup"));
    EXPECT_FALSE(Enabled(1025));
}

// A poster prints one-sided: choosing one while printing 2-sided asks, and the
// print type follows.
TEST_F(LayoutTab, APosterTurnsTwoSidedPrintingOffAfterTheUserAgrees) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1286), WL("2-Sided")));
    ASSERT_EQ(2, Field("nDuplex"));
    ASSERT_TRUE(NvxUi_Click(Control(1779)));
    const int before = MessageBoxCount();
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1025), WL("Poster 2 x 2")));
    ASSERT_EQ(before + 1, MessageBoxCount());
    EXPECT_EQ("Confirm Settings Change", Utf8(LastMessageBox().caption));
    EXPECT_EQ(7, Field("nNup"));
    EXPECT_EQ(1, Field("nDuplex"));
    EXPECT_EQ("1-Sided", Selected(1286));
}

TEST_F(LayoutTab, ABookletLocksTheBindingControlsAndClearsTheMargin) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1288)));
    ASSERT_EQ(1, Field("bBinding"));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1286), WL("Booklet")));
    EXPECT_EQ(3, Field("nDuplex"));
    EXPECT_EQ(0, Field("bBinding"));
    EXPECT_EQ(BST_UNCHECKED, Checked(1288));
    EXPECT_EQ(1, Field("bCollate")) << "a booklet collates";
    for (int id : {1288, 1046, 1049}) EXPECT_FALSE(Enabled(id)) << id;
    // Back to 2-sided: the binding controls come back.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1286), WL("2-Sided")));
    for (int id : {1288, 1046, 1049}) EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(LayoutTab, DecliningTheConfirmationRestoresThePrintType) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDNO);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1286), WL("Booklet")));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ(1, Field("nDuplex"));
    EXPECT_EQ("1-Sided", Selected(1286));
    EXPECT_EQ(0, Field("bCollate")) << "no change of a rule stays after No";
    EXPECT_EQ(0u, sheet_.ChangedMark());
}

TEST_F(LayoutTab, TheChapterListIsKeptWithinItsBytesWithoutSplittingACharacter) {
    NvxPlatform_SetAnsiCodePage(932);
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_FALSE(Enabled(1294)) << "chapters start on a front side: not in 1-sided printing";
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1286), WL("2-Sided")));
    ASSERT_TRUE(NvxUi_Click(Control(1294)));
    ASSERT_TRUE(Enabled(1147));
    EXPECT_EQ(495, SendMessageW(Control(1147), EM_GETLIMITTEXT, 0, 0)) << "five per chapter, 99 chapters";
    // "a" then 300 double-byte characters: 601 bytes, cut to 1 + 2 x 255 = 511.
    nvx::WString text = WL("a");
    text.append(300, static_cast<WCHAR>(0x3042));
    ASSERT_TRUE(NvxUi_Type(Control(1147), text.c_str(), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(256u, StoredChapterText().size());
    EXPECT_EQ(256, GetWindowTextLengthW(Control(1147))) << "the box shows what was kept";
    // Two single bytes first: the 255th double-byte character would reach byte 512.
    text = WL("ab");
    text.append(300, static_cast<WCHAR>(0x3042));
    ASSERT_TRUE(NvxUi_Type(Control(1147), text.c_str(), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(256u, StoredChapterText().size()) << "2 + 2 x 254 = 510 bytes";
    EXPECT_EQ(static_cast<WCHAR>(0x3042), StoredChapterText().back());
    NvxPlatform_SetAnsiCodePage(1252);
}

TEST_F(LayoutTab, LeavingThePageSharesTheArrangementWithTheNupAndBookletFields) {
    SetField("bNup", 1);
    SetField("nNup", 2);
    SetField("bNupBorder_ui", 1);
    SetField("byNupOrder", 5);
    ASSERT_NE(nullptr, OpenSheet({kLayout, kVersion}));
    ASSERT_TRUE(LeavePage());
    EXPECT_EQ(1, Field("bNupBorder"));
    EXPECT_EQ(1, Field("byNupOrder"));
    EXPECT_EQ(1, Field("byBookletOrder"));
}

TEST_F(LayoutTab, ASheetThatMayNotApplyShowsTheSettingsReadOnly) {
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    for (int id : {1779, 1286, 1288, 1289, 1290, 1291, 1294, 1046, 1032}) EXPECT_FALSE(Enabled(id)) << id;
    SetField("bNup", 1);
    EXPECT_FALSE(Enabled(1025));
}

TEST_F(LayoutTab, RestoreDefaultsBringsBackThePagesDefaults) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1289)));
    ASSERT_TRUE(NvxUi_Click(Control(1290)));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1286), WL("2-Sided")));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1046), WL("Short Edge Top")));
    ASSERT_EQ(6, Field("nBinding"));
    ASSERT_TRUE(NvxUi_Click(Control(1032)));
    const auto& defaults = nvx::settings::DefaultTemplate();
    EXPECT_EQ(nvx::settings::GetNumber(defaults, "bRotate180"), Field("bRotate180"));
    EXPECT_EQ(nvx::settings::GetNumber(defaults, "bStopBlankPaper"), Field("bStopBlankPaper"));
    EXPECT_EQ(nvx::settings::GetNumber(defaults, "nBinding"), Field("nBinding"));
    EXPECT_EQ(nvx::settings::GetNumber(defaults, "nDuplex"), Field("nDuplex"));
    EXPECT_EQ(BST_UNCHECKED, Checked(1289));
    EXPECT_EQ("Long Edge Left", Selected(1046));
}

// The binding stays on the reader's left when the page turns: the Basic tab's
// orientation swaps the long and short edge.
TEST_F(LayoutTab, TheBindingEdgeFollowsTheOrientation) {
    ASSERT_NE(nullptr, OpenSheet({{100, "Prc_DocPaper1Proc"}, kLayout}));
    ASSERT_EQ(0, Field("nBinding"));  // Long Edge Left
    ASSERT_TRUE(NvxUi_Click(Control(1023)));
    EXPECT_EQ(2, Field("nOrientation"));
    EXPECT_EQ(4, Field("nBinding")) << "Short Edge Left";
    ASSERT_TRUE(NvxUi_SelectTab(sheetWindow_, 1));
    EXPECT_EQ("Short Edge Left", Selected(1046));
    ASSERT_TRUE(NvxUi_SelectTab(sheetWindow_, 0));
    ASSERT_TRUE(NvxUi_Click(Control(1020)));
    EXPECT_EQ(0, Field("nBinding"));
}

// ---- The decisions without a window ----

TEST(LayoutLogic, ChapterLimitFollowsTheModelsChapterCountOnlyInsideItsRange) {
    EXPECT_EQ(160, layout::ChapterTextLimit(0));
    EXPECT_EQ(160, layout::ChapterTextLimit(30));
    EXPECT_EQ(160, layout::ChapterTextLimit(31)) << "155 is below 160";
    EXPECT_EQ(160, layout::ChapterTextLimit(32));
    EXPECT_EQ(165, layout::ChapterTextLimit(33));
    EXPECT_EQ(495, layout::ChapterTextLimit(99));
    EXPECT_EQ(160, layout::ChapterTextLimit(100));
}

TEST(LayoutLogic, CutAnsiNeverLeavesALeadByteOrASequenceHalfCut) {
    // Shift-JIS: 0x82 0xA0 is one character.
    EXPECT_EQ(std::string("ab"), layout::CutAnsi("ab\x82\xa0", 3, 932));
    EXPECT_EQ(std::string("ab\x82\xa0"), layout::CutAnsi("ab\x82\xa0z", 4, 932));
    EXPECT_EQ(std::string("abc"), layout::CutAnsi("abcdef", 3, 1252));
    EXPECT_EQ(std::string("short"), layout::CutAnsi("short", 511, 932));
    // UTF-8: the three bytes of U+3042 stay together.
    EXPECT_EQ(std::string("a"), layout::CutAnsi("a\xe3\x81\x82", 3, CP_UTF8));
    EXPECT_EQ(std::string("a\xe3\x81\x82"), layout::CutAnsi("a\xe3\x81\x82z", 4, CP_UTF8));
}

TEST(LayoutLogic, EnablesFollowTheSettingsAndTheDriverBooklet) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    layout::Switches sw;
    sw.bookletPrint = true;
    sw.bindingShift = true;
    layout::Enables e = layout::ComputeEnables(r, sw);
    EXPECT_FALSE(e.nupLayout);
    EXPECT_TRUE(e.binding);
    EXPECT_FALSE(e.bookletDetails);
    nvx::settings::SetNumber(r, "bNup", 1);
    nvx::settings::SetNumber(r, "bBinding", 1);
    nvx::settings::SetNumber(r, "nDuplex", layout::kBookletNoReduction);
    e = layout::ComputeEnables(r, sw);
    EXPECT_TRUE(e.nupLayout);
    EXPECT_TRUE(e.bookletDetails);
    EXPECT_FALSE(e.binding);
    EXPECT_FALSE(e.bindingDetails);
    EXPECT_TRUE(layout::ClearBindingMarginForBooklet(r, sw));
    EXPECT_EQ(0, nvx::settings::GetNumber(r, "bBinding"));
    EXPECT_FALSE(layout::ClearBindingMarginForBooklet(r, sw)) << "nothing left to clear";
    // A printer-made booklet (switch off) leaves the binding alone.
    sw.bookletPrint = false;
    nvx::settings::SetNumber(r, "bBinding", 1);
    EXPECT_FALSE(layout::ClearBindingMarginForBooklet(r, sw));
    EXPECT_TRUE(layout::ComputeEnables(r, sw).bindingDetails);
}

TEST(LayoutLogic, TheBindingEdgeKeepsItsSideWhenTheOrientationTurns) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    nvx::settings::SetNumber(r, "nBinding", 0);  // LongEdgeLeft
    EXPECT_TRUE(layout::FollowOrientation(r, 1, 2, nullptr));
    EXPECT_EQ(4, nvx::settings::GetNumber(r, "nBinding"));  // ShortEdgeLeft
    EXPECT_TRUE(layout::FollowOrientation(r, 2, 1, nullptr));
    EXPECT_EQ(0, nvx::settings::GetNumber(r, "nBinding"));
    EXPECT_FALSE(layout::FollowOrientation(r, 1, 1, nullptr));
    EXPECT_FALSE(layout::FollowOrientation(r, 1, 0, nullptr)) << "not an orientation";
    // A value the model does not offer is not chosen.
    EXPECT_FALSE(layout::FollowOrientation(r, 1, 2, [](int32_t v) { return v != 4; }));
    EXPECT_EQ(0, nvx::settings::GetNumber(r, "nBinding"));
    nvx::settings::SetNumber(r, "nBinding", 14);  // AutoBinding has no side
    EXPECT_FALSE(layout::FollowOrientation(r, 1, 2, nullptr));
}

TEST(LayoutLogic, ADriverBookletTakesItsOwnOrderAndBorder) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    layout::Switches sw;
    sw.bookletPrint = true;
    nvx::settings::SetNumber(r, "nDuplex", layout::kBooklet);
    nvx::settings::SetNumber(r, "nBookletOrder", 2);
    nvx::settings::SetNumber(r, "bBookletBorder", 1);
    layout::NormaliseArrangement(r, sw);
    EXPECT_EQ(0, nvx::settings::GetNumber(r, "byNupOrder"));
    EXPECT_EQ(2, nvx::settings::GetNumber(r, "byBookletOrder"));
    EXPECT_EQ(1, nvx::settings::GetNumber(r, "bNupBorder"));
    // A poster draws no N-up border even with border lines chosen.
    nvx::settings::SetNumber(r, "nDuplex", layout::kSimplex);
    nvx::settings::SetNumber(r, "bNup", 1);
    nvx::settings::SetNumber(r, "nNup", 8);
    nvx::settings::SetNumber(r, "bNupBorder_ui", 1);
    layout::NormaliseArrangement(r, sw);
    EXPECT_EQ(0, nvx::settings::GetNumber(r, "bNupBorder"));
    EXPECT_EQ(1, nvx::settings::GetNumber(r, "byNupOrder"));
}

}  // namespace
