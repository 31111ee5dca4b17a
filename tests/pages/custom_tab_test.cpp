// The custom page (My Tab): the columns it shows by default and from the person's
// file, a value changed there under the setting's own rules, the arrangement dialog
// writing the file, and the progress window; the arrangement model without a window.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "pages/custom_tab_logic.h"
#include "pages/page_fixture.h"
#include "presets/custom_tab_file.h"

namespace {

using pagetest::PageHost;
using nvx::presets::CustomTabArrangement;
namespace customtab = nvx::pages::customtab;

constexpr pagetest::PageDef kMyTab{230, "Prc_DocMyTabProc"};
constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};

// The sample model names Orientation, Paper Size, Copies, 2-Sided Printing and Staple.
constexpr uint32_t kOrientation = 1020, kPaperSize = 1000, kCopies = 1011, kDuplex = 1286, kStaple = 1026;

class CustomTab : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    nvx::WString File() const { return nvx::presets::CustomTabFilePath(WL("Pages Printer")); }
    std::vector<std::string> Rows(int list) const {
        std::vector<std::string> rows;
        const LRESULT n = SendMessageW(Control(list), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            WCHAR text[256] = {};
            SendMessageW(Control(list), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            rows.push_back(Utf8(text));
        }
        return rows;
    }
    struct Run {
        std::function<void(HWND)> steps;
        bool stillOpen = false;
        static void Drive(void* self, HWND dlg) {
            auto* r = static_cast<Run*>(self);
            r->steps(dlg);
            r->stillOpen = IsWindow(dlg) && IsWindowVisible(dlg);
            if (r->stillOpen) NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    void Arrange(Run& run) {
        NvxUi_SetModalDriver(Run::Drive, &run);
        EXPECT_TRUE(NvxUi_Click(Control(4904)));
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
};

TEST_F(CustomTab, WithoutAnArrangementEveryOfferedSettingIsShownInTwoColumns) {
    ASSERT_NE(nullptr, OpenSheet({kMyTab}));
    EXPECT_EQ((std::vector<std::string>{"Orientation: Portrait", "Paper Size: A4", "Copies: 1"}), Rows(4900));
    const std::vector<std::string> right = Rows(4901);
    ASSERT_EQ(2u, right.size());
    EXPECT_EQ(0u, right[0].find("2-Sided Printing: ")) << right[0];
    EXPECT_EQ("Staple: Off", right[1]);
    EXPECT_FALSE(IsWindowEnabled(Control(4903))) << "no row chosen yet";
    EXPECT_EQ(0, MessageBoxCount());
}

TEST_F(CustomTab, ThePersonsFileDecidesTheColumnsAndUnknownControlsAreLeftOut) {
    CustomTabArrangement a;
    a.exists = true;
    a.left = {kStaple, 4242, kStaple};
    a.right = {kCopies};
    ASSERT_TRUE(nvx::presets::WriteCustomTabArrangement(File(), a));
    ASSERT_NE(nullptr, OpenSheet({kMyTab}));
    EXPECT_EQ((std::vector<std::string>{"Staple: Off"}), Rows(4900));
    EXPECT_EQ((std::vector<std::string>{"Copies: 1"}), Rows(4901));
    // A number is shown, and changed on its own tab.
    ASSERT_TRUE(NvxUi_ChooseListItem(Control(4901), 0));
    EXPECT_FALSE(IsWindowEnabled(Control(4903)));
    EXPECT_TRUE(IsWindowVisible(Control(4905)));
}

TEST_F(CustomTab, AValueChangedHereFollowsTheRulesOfItsOwnTab) {
    ASSERT_NE(nullptr, OpenSheet({kMyTab, kBasic}));
    ASSERT_TRUE(NvxUi_ChooseListItem(Control(4901), 1));  // Staple
    ASSERT_TRUE(IsWindowEnabled(Control(4903)));
    // Stapling asks to collate first (the sample rules): declined, nothing changes.
    AnswerMessageBoxes(IDNO);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(4903), WL("On")));
    EXPECT_EQ(1, MessageBoxCount());
    EXPECT_EQ(0, Field("bStaple"));
    EXPECT_EQ("Staple: Off", Rows(4901)[1]);
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(4903), WL("On")));
    EXPECT_EQ(1, Field("bStaple"));
    EXPECT_EQ(1, Field("bCollate"));
    EXPECT_EQ("Staple: On", Rows(4901)[1]);

    EXPECT_TRUE(IsWindowEnabled(Control(4900)));
    EXPECT_TRUE(IsWindowVisible(Control(4900)));
    EXPECT_EQ(3, SendMessageW(Control(4900), LB_GETCOUNT, 0, 0));
    ASSERT_TRUE(NvxUi_ChooseListItem(Control(4900), 0));  // Orientation
    EXPECT_EQ(-1, SendMessageW(Control(4901), LB_GETCURSEL, 0, 0)) << "one row chosen at a time";
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(4903), WL("Landscape")));
    EXPECT_EQ(2, Field("nOrientation"));
    EXPECT_EQ("Orientation: Landscape", Rows(4900)[0]);
}

TEST_F(CustomTab, TheArrangementDialogWritesTheFileAndCancelLeavesIt) {
    ASSERT_NE(nullptr, OpenSheet({kMyTab}));
    Run cancel;
    cancel.steps = [&](HWND dlg) {
        NvxUi_ChooseListItem(GetDlgItem(dlg, 4911), 0);
        NvxUi_Click(GetDlgItem(dlg, 4915));
        NvxUi_PressButton(dlg, IDCANCEL);
    };
    Arrange(cancel);
    EXPECT_FALSE(nvx::presets::ReadCustomTabArrangement(File()).exists);
    EXPECT_EQ(3u, Rows(4900).size());

    Run run;
    run.steps = [&](HWND dlg) {
        EXPECT_EQ(0, SendDlgItemMessageW(dlg, 4910, LB_GETCOUNT, 0, 0)) << "every setting is placed";
        NvxUi_ChooseListItem(GetDlgItem(dlg, 4911), 0);  // Orientation back to the available ones
        NvxUi_Click(GetDlgItem(dlg, 4915));
        NvxUi_ChooseListItem(GetDlgItem(dlg, 4912), 1);  // Staple up, above 2-Sided Printing
        NvxUi_Click(GetDlgItem(dlg, 4916));
        NvxUi_ChooseListItem(GetDlgItem(dlg, 4910), 0);  // Orientation to the right column's end
        NvxUi_Click(GetDlgItem(dlg, 4914));
        NvxUi_PressButton(dlg, IDOK);
    };
    Arrange(run);
    EXPECT_FALSE(run.stillOpen);
    const CustomTabArrangement stored = nvx::presets::ReadCustomTabArrangement(File());
    EXPECT_TRUE(stored.exists);
    EXPECT_EQ((std::vector<uint32_t>{kPaperSize, kCopies}), stored.left);
    EXPECT_EQ((std::vector<uint32_t>{kStaple, kDuplex, kOrientation}), stored.right);
    EXPECT_EQ((std::vector<std::string>{"Paper Size: A4", "Copies: 1"}), Rows(4900));
    const std::vector<std::string> right = Rows(4901);
    ASSERT_EQ(3u, right.size());
    EXPECT_EQ("Staple: Off", right[0]);
    EXPECT_EQ("Orientation: Portrait", right[2]);
}

TEST_F(CustomTab, TheProgressWindowHoldsItsBarInsideItsSteps) {
    ASSERT_NE(nullptr, OpenSheet({kMyTab}));
    auto proc = reinterpret_cast<DLGPROC>(reinterpret_cast<void (*)()>(Export("Prc_DocMyTabWaitingProc")));
    ASSERT_NE(nullptr, proc);
    HWND w = CreateDialogParamW(resources_, MAKEINTRESOURCEW(233), Page(), proc, 4);
    ASSERT_NE(nullptr, w);
    HWND bar = GetDlgItem(w, 4920);
    EXPECT_EQ(4, SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    SendMessageW(w, WM_USER + 120, 3, 0);
    EXPECT_EQ(3, SendMessageW(bar, PBM_GETPOS, 0, 0));
    SendMessageW(w, WM_USER + 120, 99, 0);
    EXPECT_EQ(4, SendMessageW(bar, PBM_GETPOS, 0, 0));
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(w)) << "only the page that opened it closes it";
    DestroyWindow(w);
}

TEST(CustomTabLogic, TheDefaultSplitsTheOfferedSettingsAndAStoredOneIsCleaned) {
    const std::vector<uint32_t> offered = {1, 2, 3, 4, 5};
    CustomTabArrangement none;
    CustomTabArrangement shown = customtab::Shown(none, offered);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), shown.left);
    EXPECT_EQ((std::vector<uint32_t>{4, 5}), shown.right);
    EXPECT_TRUE(customtab::Shown(none, {}).left.empty());

    CustomTabArrangement stored;
    stored.exists = true;
    stored.left = {5, 9, 5};
    stored.right = {5, 2};
    shown = customtab::Shown(stored, offered);
    EXPECT_EQ((std::vector<uint32_t>{5}), shown.left);
    EXPECT_EQ((std::vector<uint32_t>{2}), shown.right) << "a setting stands in one place only";

    stored.left.clear();
    stored.right.clear();
    EXPECT_TRUE(customtab::Shown(stored, offered).left.empty()) << "an emptied page stays empty";
}

TEST(CustomTabLogic, TheEditorPlacesRemovesAndMovesWithinBounds) {
    CustomTabArrangement stored;
    stored.exists = true;
    stored.left = {3};
    customtab::Editor e(stored, {1, 2, 3, 4});
    using C = customtab::Editor::Column;
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 4}), e.Items(C::Available));
    EXPECT_FALSE(e.Place(3, C::Left));
    EXPECT_FALSE(e.Place(0, C::Available));
    ASSERT_TRUE(e.Place(1, C::Right));  // 2
    ASSERT_TRUE(e.Place(0, C::Left));   // 1
    EXPECT_EQ((std::vector<uint32_t>{3, 1}), e.Items(C::Left));
    EXPECT_FALSE(e.Move(C::Left, 0, -1));
    EXPECT_FALSE(e.Move(C::Left, 1, 1));
    EXPECT_FALSE(e.Move(C::Left, 0, 2));
    ASSERT_TRUE(e.Move(C::Left, 1, -1));
    EXPECT_EQ((std::vector<uint32_t>{1, 3}), e.Items(C::Left));
    ASSERT_TRUE(e.Remove(C::Left, 1));  // 3 goes back between 2 and 4 in the offered order
    EXPECT_EQ((std::vector<uint32_t>{3, 4}), e.Items(C::Available));
    EXPECT_FALSE(e.Remove(C::Right, 5));
    const CustomTabArrangement result = e.Result();
    EXPECT_TRUE(result.exists);
    EXPECT_EQ((std::vector<uint32_t>{1}), result.left);
    EXPECT_EQ((std::vector<uint32_t>{2}), result.right);
}

}  // namespace
