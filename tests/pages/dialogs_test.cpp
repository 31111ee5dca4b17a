// The change pattern against a small rule file (a declined confirmation and a
// refused option put the old value back, for every kind of control), the custom
// size dialog on its own, the initial page and the Version tab.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/proc.h"
#include "pages/page_fixture.h"

namespace {

using pagetest::PageHost;

constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};
constexpr pagetest::PageDef kInitial{161, "Prc_DocInitializeProc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

int Checked(HWND button) {
    return static_cast<int>(SendMessageW(button, BM_GETCHECK, 0, 0));
}

// One rule per kind of control: a radio row, a drop-down, a check box and an edit
// box each make a change that asks; a drop-down option and a check box are forbidden.
class ChangePattern : public PageHost {
protected:
    std::string Rules() const override {
        return "version \"Ver_Cst\" \"1.00\"\n"
               "change Collate = CollateON when Orientation == Landscape message 2 icon 1\n"
               "change JobOffset = JobOffsetON when MediaType == Recycled message 3\n"
               "change MediaType = Thin when JobOffset == JobOffsetON message 4\n"
               "change Collate = CollateON when Copies > 5 message 5\n"
               "forbid InTray = Tray2 when PaperSize == A4 refuse 2\n"
               "forbid Collate = CollateON when OutputMethod == OutputProof refuse 3\n";
    }
    std::string Selected(int id) const {
        HWND combo = Control(id);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
};

TEST_F(ChangePattern, ADeclinedConfirmationPutsEveryKindOfControlBack) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    AnswerMessageBoxes(IDNO);
    // Radio row.
    ASSERT_TRUE(NvxUi_Click(Control(1023)));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), LastMessageBox().type);
    EXPECT_EQ(1, Field("nOrientation"));
    EXPECT_EQ(0, Field("bCollate"));
    EXPECT_EQ(BST_CHECKED, Checked(Control(1020)));
    EXPECT_EQ(BST_UNCHECKED, Checked(Control(1023)));
    // Drop-down.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1003), WL("Recycled")));
    EXPECT_EQ(2, MessageBoxCount());
    EXPECT_EQ(257, Field("nMediaType"));
    EXPECT_EQ("Plain", Selected(1003));
    EXPECT_EQ(0, Field("bJobOffset"));
    // Check box.
    ASSERT_TRUE(NvxUi_Click(Control(1018)));
    EXPECT_EQ(3, MessageBoxCount());
    EXPECT_EQ(0, Field("bJobOffset"));
    EXPECT_EQ(BST_UNCHECKED, Checked(Control(1018)));
    EXPECT_EQ(257, Field("nMediaType"));
    // Edit box: the old number is back in the box and the focus with it.
    ASSERT_TRUE(NvxUi_Type(Control(1011), WL("7"), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(4, MessageBoxCount());
    EXPECT_EQ(1, Field("nCopies"));
    EXPECT_EQ("1", Text(1011));
    EXPECT_EQ(Control(1011), GetFocus());
    EXPECT_EQ(1, Field("nOrientation"));
    EXPECT_EQ(0u, sheet_.ChangedMark()) << "nothing stood, nothing changed";
}

TEST_F(ChangePattern, AnAcceptedConfirmationKeepsTheChangeAndTheRulesChange) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1023)));
    EXPECT_EQ(1, MessageBoxCount());
    EXPECT_EQ(2, Field("nOrientation"));
    EXPECT_EQ(1, Field("bCollate"));
    EXPECT_EQ(BST_CHECKED, Checked(Control(1014))) << "the rule's change is shown";
    EXPECT_EQ(1u, sheet_.ChangedMark());
    // The rule's icon stands beside Collate while the rule holds, and its text leads
    // the hint area.
    HWND icon = Control(3608);
    RECT r;
    GetWindowRect(icon, &r);
    EXPECT_TRUE(IsWindowVisible(icon));
    EXPECT_GT(r.right - r.left, 0);
    const std::string hint = Text(1016);
    EXPECT_GT(hint.find("Choose the orientation"), 0u) << "the icon's text comes first: " << hint;
    EXPECT_NE(std::string::npos, hint.find("Choose the orientation"));
    // Back to portrait: the rule no longer holds and the icon goes.
    ASSERT_TRUE(NvxUi_Click(Control(1020)));
    EXPECT_FALSE(IsWindowVisible(icon));
    EXPECT_EQ(0u, Text(1016).find("Choose the orientation"));
}

TEST_F(ChangePattern, AForbiddenOptionIsRefusedAndTheOldValueShown) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    AnswerMessageBoxes(IDOK);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1006), WL("Tray 2")));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), LastMessageBox().type);
    EXPECT_EQ(7, Field("nDefaultSource"));
    EXPECT_EQ("Auto Select", Selected(1006));
    // A check box whose "on" is forbidden by another setting.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1138), WL("Proof Copy")));
    EXPECT_EQ(3, Field("nOutputMethod"));
    ASSERT_TRUE(NvxUi_Click(Control(1014)));
    EXPECT_EQ(2, MessageBoxCount());
    EXPECT_EQ(0, Field("bCollate"));
    EXPECT_EQ(BST_UNCHECKED, Checked(Control(1014)));
}

class Dialogs : public PageHost {};

// The custom size dialog run through MyDialogBox: ranges, units, clamping, Cancel.
TEST_F(Dialogs, CustomSizeDialogShowsRangesConvertsUnitsAndCancelRestores) {
    using MyDialogBoxFn = UINT_PTR (*)(BYTE*, UINT_PTR, UINT, UINT_PTR, UINT_PTR);
    auto myDialogBox = nvx::ProcAs<MyDialogBoxFn>(Export("MyDialogBox"));
    ASSERT_NE(nullptr, myDialogBox);
    // The module's own dialog procedure is reached through the Basic tab; here the
    // dialog is driven from the tab as a user would.
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    struct Driver {
        std::string widthRange, lengthRange, widthInch;
        static void Drive(void* self, HWND dlg) {
            auto* d = static_cast<Driver*>(self);
            d->widthRange = TextOf(GetDlgItem(dlg, 1273));
            d->lengthRange = TextOf(GetDlgItem(dlg, 1274));
            NvxUi_SetCheck(GetDlgItem(dlg, 1241), BST_CHECKED);
            d->widthInch = TextOf(GetDlgItem(dlg, 1336));
            NvxUi_Type(GetDlgItem(dlg, 1337), WL("9.5"), NVXUI_TYPE_REPLACE);  // inches
            NvxUi_Spin(GetDlgItem(dlg, 1338), 1);                              // one step up
            NvxUi_PressButton(dlg, IDOK);
        }
    } d;
    NvxUi_SetModalDriver(Driver::Drive, &d);
    ASSERT_TRUE(NvxUi_ChooseComboData(Control(1000), 256));
    EXPECT_EQ("mm [90...297]", d.widthRange);
    EXPECT_EQ("mm [139...1200]", d.lengthRange) << "long-length paper joins the range";
    EXPECT_EQ("8.27", d.widthInch) << "210 mm in hundredths of an inch";
    EXPECT_EQ(1, Field("byUnitInUserDefPaper"));
    EXPECT_EQ(2413, Field("sizInUserDefPaperMM.cy")) << "9.5 inches";
    EXPECT_EQ(2103, Field("sizInUserDefPaperMM.cx")) << "one hundredth of an inch up";
    EXPECT_EQ(256, Field("nPaperSize"));
    // A missing template answers as DialogBoxParamW does.
    EXPECT_EQ(static_cast<UINT_PTR>(-1),
              myDialogBox(reinterpret_cast<BYTE*>(resources_), 0, 9999, 0, sheet_.ContextParam()));
}

TEST_F(Dialogs, InitialPageLimitsThePasswordAndFollowsTheAccountTrack) {
    ASSERT_NE(nullptr, OpenSheet({kInitial}));
    EXPECT_EQ("User Authentication", Text(1866));
    EXPECT_EQ(0u, Text(1016).find("User Authentication and Account Track")) << "the page's own hints";
    // Context help goes to the compiled help file (NT 6.0 and later): never WinHelp.
    EXPECT_TRUE(NvxUi_ContextHelp(Control(1866)));
    for (int i = 0; i < NvxUi_LogCount(); ++i) {
        NvxUiLogEntry e;
        ASSERT_TRUE(NvxUi_GetLogEntry(i, &e));
        EXPECT_NE(NVXUI_LOG_HELP, e.kind);
    }
    EXPECT_TRUE(IsWindowVisible(Control(1867))) << "the settings dialogs open from here (auth_settings_test)";
    EXPECT_FALSE(IsWindowEnabled(Control(1875))) << "no password without account tracking";
    ASSERT_TRUE(NvxUi_SetCheck(Control(1229), BST_CHECKED));
    EXPECT_EQ(1, Field("bAccountTrack"));
    ASSERT_TRUE(IsWindowEnabled(Control(1875)));
    ASSERT_TRUE(NvxUi_Type(Control(1875), WL("123456"), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(4, GetWindowTextLengthW(Control(1875)));
    // The digits go into the record enciphered (the sample model's AES: 16 bytes),
    // never in clear: the plain field stays empty and the record holds no "1234".
    const BYTE* plainKey = sheet_.Record() + 1344;
    EXPECT_EQ(std::string(), std::string(reinterpret_cast<const char*>(plainKey)));
    EXPECT_EQ(16, nvx::GetLE16(sheet_.Record() + 8068));
    const auto holds = [&](const std::string& text) {
        const BYTE* r = sheet_.Record();
        return std::search(r, r + 8344, text.begin(), text.end()) != r + 8344;
    };
    EXPECT_FALSE(holds("1234"));
    const std::vector<BYTE> first(sheet_.Record() + 7906, sheet_.Record() + 7906 + 16);
    // Letters are not a department password: the letter is refused as it is typed.
    ASSERT_TRUE(NvxUi_Type(Control(1875), WL("12a"), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(2, GetWindowTextLengthW(Control(1875)));
    EXPECT_EQ(16, nvx::GetLE16(sheet_.Record() + 8068));
    EXPECT_NE(first, std::vector<BYTE>(sheet_.Record() + 7906, sheet_.Record() + 7906 + 16));  // now "12"
}

TEST_F(Dialogs, VersionTabShowsDriverVersionAndTheThreeVersionLines) {
    ASSERT_NE(nullptr, OpenSheet({kVersion}));
    const std::string tree = Tree();
    EXPECT_NE(std::string::npos, tree.find("#1225 Static \"NOVRIX Fax Driver\"")) << tree;
    EXPECT_NE(std::string::npos, tree.find("\"Version 1.2.6\"")) << tree;
    const std::string lines = Text(2227);
    EXPECT_NE(std::string::npos, lines.find("Core\t: 2.06.24-0.05\r\n")) << lines;
    EXPECT_NE(std::string::npos, lines.find("Sub\t: 1.0.0\r\n")) << lines;
    EXPECT_NE(std::string::npos, lines.find("Model data\t: ")) << lines;
    EXPECT_EQ(2, static_cast<int>(std::count(lines.begin(), lines.end(), '\n')));
    NvxUi_Pump(0);  // the paint hides the logo placeholder
    EXPECT_FALSE(IsWindowVisible(Control(1224)));
}

// Control rules lock a control while they hold and give it back when none holds,
// unless a change rule's lock, the model or a read-only sheet keeps it off.
class ControlRules : public PageHost {
protected:
    std::string Rules() const override {
        return "version \"Ver_Cst\" \"1.00\"\n"
               "change JobOffset = JobOffsetOFF when MediaType == Recycled disable\n"
               "control Collate when Orientation == Landscape gate disable\n"
               "control JobOffset when Orientation == Landscape gate disable\n"
               "control UserSetting when Orientation == Landscape gate disable\n";
    }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
};

TEST_F(ControlRules, LandscapeLocksCollateAndPortraitGivesItBack) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_TRUE(Enabled(1014));
    ASSERT_TRUE(NvxUi_Click(Control(1023)));
    EXPECT_EQ(2, Field("nOrientation"));
    EXPECT_FALSE(Enabled(1014)) << "landscape locks Collate";
    EXPECT_FALSE(Enabled(1018));
    ASSERT_TRUE(NvxUi_Click(Control(1020)));
    EXPECT_EQ(1, Field("nOrientation"));
    EXPECT_TRUE(Enabled(1014)) << "no rule holds: Collate is back";
    EXPECT_TRUE(Enabled(1018));
    EXPECT_FALSE(Enabled(1287)) << "a control the model does not offer stays off";
    EXPECT_EQ(0, MessageBoxCount());
}

TEST_F(ControlRules, AChangeRulesLockOutlastsTheControlRule) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    ASSERT_TRUE(NvxUi_Click(Control(1023)));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1003), WL("Recycled")));
    EXPECT_FALSE(Enabled(1018));
    ASSERT_TRUE(NvxUi_Click(Control(1020)));
    EXPECT_TRUE(Enabled(1014));
    EXPECT_FALSE(Enabled(1018)) << "recycled paper still locks Job Offset";
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1003), WL("Plain")));
    EXPECT_TRUE(Enabled(1018));
}

TEST_F(ControlRules, ASheetThatMayNotApplyKeepsTheControlsOff) {
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_FALSE(Enabled(1014)) << "no rule holds, but the sheet is read-only";
    EXPECT_FALSE(Enabled(1018));
}

// The custom size dialog keeps what the user did not touch: shown values are
// rounded (2100 x 2970 is 8.27 x 11.69 inches), and OK must not move them.
class CustomSize : public PageHost {
protected:
    std::string Rules() const override {
        return "version \"Ver_Cst\" \"1.00\"\n"
               "change Collate = CollateON when UserPaper_Width > 2105 message 2\n"
               "change UserPaper_Length = 2000 when UserPaper_Width > 2500 message 3\n";
    }
    struct Driver {
        const WCHAR* width = nullptr;  // typed into the width field, or nothing
        std::string shownWidth, shownLength;
        static void Drive(void* self, HWND dlg) {
            auto* d = static_cast<Driver*>(self);
            d->shownWidth = TextOf(GetDlgItem(dlg, 1336));
            d->shownLength = TextOf(GetDlgItem(dlg, 1337));
            if (d->width) NvxUi_Type(GetDlgItem(dlg, 1336), d->width, NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dlg, IDOK);
        }
    };
    // Opens the dialog from the Basic tab's paper size and presses OK.
    void RunDialog(Driver& d) {
        NvxUi_SetModalDriver(Driver::Drive, &d);
        ASSERT_TRUE(NvxUi_ChooseComboData(Control(1000), 256));
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
};

TEST_F(CustomSize, OkWithoutAnEditKeepsTheSizeInEveryUnit) {
    SetField("byUnitInUserDefPaper", 1);  // inches
    SetField("sizInUserDefPaperMM.cx", 2100);
    SetField("sizInUserDefPaperMM.cy", 2970);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    Driver inch;
    RunDialog(inch);
    EXPECT_EQ("8.27", inch.shownWidth);
    EXPECT_EQ("11.69", inch.shownLength);
    EXPECT_EQ(256, Field("nPaperSize"));
    EXPECT_EQ(2100, Field("sizInUserDefPaperMM.cx")) << "not 2101";
    EXPECT_EQ(2970, Field("sizInUserDefPaperMM.cy")) << "not 2969";

    // Whole millimetres: 2105 shows as 211 and stays 2105, so no rule is checked.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("A4")));
    SetField("byUnitInUserDefPaper", 0);
    SetField("sizInUserDefPaperMM.cx", 2105);
    const int boxes = MessageBoxCount();
    Driver mm;
    RunDialog(mm);
    EXPECT_EQ("211", mm.shownWidth);
    EXPECT_EQ(2105, Field("sizInUserDefPaperMM.cx")) << "not 2110";
    EXPECT_EQ(0, Field("bCollate"));
    EXPECT_EQ(boxes, MessageBoxCount()) << "an untouched size runs no check";
}

TEST_F(CustomSize, ASizeARuleWritesIsShownInTheDialogsUnit) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    AnswerMessageBoxes(IDYES);
    Driver d;
    d.width = WL("260");  // mm: the rule shortens the paper to 200 mm
    RunDialog(d);
    EXPECT_EQ(2600, Field("sizInUserDefPaperMM.cx"));
    EXPECT_EQ(2000, Field("sizInUserDefPaperMM.cy")) << "the rule's length, not 2000 read as millimetres";
    EXPECT_EQ(1, Field("bCollate"));
}

}  // namespace
