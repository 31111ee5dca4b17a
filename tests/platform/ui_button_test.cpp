// The BUTTON and STATIC classes: check states, automatic styles, radio groups,
// notifications and what disabled controls do.
#include "platform/ui_test_util.h"

namespace {

using uitest::DialogLog;
using uitest::TemplateBuilder;
using uitest::UiTest;

constexpr int kPush = 10, kCheck = 11, kPlainCheck = 12, kThree = 13;
constexpr int kR1 = 20, kR2 = 21, kR3 = 22, kOther = 23, kNotify = 24, kOwner = 25;
constexpr int kLabel = 30, kNotifyLabel = 31;

class Buttons : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 150, WL("Buttons"));
        t.Control(kPush, 0x80, nullptr, WL("Push"), BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 5, 5, 50, 14)
            .Control(kCheck, 0x80, nullptr, WL("Auto"), BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 5, 25, 50, 10)
            .Control(kPlainCheck, 0x80, nullptr, WL("Plain"), BS_CHECKBOX | WS_VISIBLE, 5, 37, 50, 10)
            .Control(kThree, 0x80, nullptr, WL("Three"), BS_AUTO3STATE | WS_VISIBLE, 5, 49, 50, 10)
            .Control(kR1, 0x80, nullptr, WL("R1"), BS_AUTORADIOBUTTON | WS_GROUP | WS_VISIBLE, 80, 5, 50, 10)
            .Control(kR2, 0x80, nullptr, WL("R2"), BS_AUTORADIOBUTTON | WS_VISIBLE, 80, 17, 50, 10)
            .Control(kR3, 0x80, nullptr, WL("R3"), BS_AUTORADIOBUTTON | WS_VISIBLE | WS_DISABLED, 80, 29, 50, 10)
            .Control(kOther, 0x80, nullptr, WL("Other"), BS_AUTORADIOBUTTON | WS_GROUP | WS_VISIBLE, 80, 41, 50, 10)
            .Control(kNotify, 0x80, nullptr, WL("Notify"), BS_PUSHBUTTON | BS_NOTIFY | WS_VISIBLE, 80, 60, 50, 14)
            .Control(kOwner, 0x80, nullptr, WL("Owner"), BS_OWNERDRAW | WS_VISIBLE, 80, 80, 50, 14)
            .Control(kLabel, 0x82, nullptr, WL("Label"), SS_LEFT | WS_VISIBLE, 5, 70, 50, 8)
            .Control(kNotifyLabel, 0x82, nullptr, WL("Link"), SS_LEFT | SS_NOTIFY | WS_VISIBLE, 5, 80, 50, 8);
        dlg_ = uitest::CreateRecordingDialog(t);
        ASSERT_NE(dlg_, nullptr);
        DialogLog().Clear();
    }
    void TearDown() override {
        EXPECT_TRUE(DestroyWindow(dlg_));
        UiTest::TearDown();
    }
    HWND Item(int id) { return GetDlgItem(dlg_, id); }
    LRESULT Check(int id) { return SendMessageW(Item(id), BM_GETCHECK, 0, 0); }
    HWND dlg_ = nullptr;
};

TEST_F(Buttons, ClicksToggleAutoStylesAndNotify) {
    SendMessageW(Item(kCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(Check(kCheck), BST_CHECKED);
    SendMessageW(Item(kCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(Check(kCheck), BST_UNCHECKED);
    SendMessageW(Item(kPlainCheck), BM_CLICK, 0, 0);  // a plain check box leaves its state to the program
    EXPECT_EQ(Check(kPlainCheck), BST_UNCHECKED);
    for (LRESULT expected : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
        SendMessageW(Item(kThree), BM_CLICK, 0, 0);
        EXPECT_EQ(Check(kThree), expected);
    }
    EXPECT_EQ(DialogLog().Joined("BN_CLICKED"),
              "11:BN_CLICKED|11:BN_CLICKED|12:BN_CLICKED|13:BN_CLICKED|13:BN_CLICKED|13:BN_CLICKED");
    EXPECT_EQ(GetFocus(), Item(kThree));  // a click takes the focus

    // BM_SETCHECK clamps to the style's states and sends nothing.
    DialogLog().Clear();
    SendMessageW(Item(kCheck), BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(Check(kCheck), BST_CHECKED);
    SendMessageW(Item(kPush), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Check(kPush), BST_UNCHECKED);
    EXPECT_TRUE(CheckDlgButton(dlg_, kThree, BST_INDETERMINATE));
    EXPECT_EQ(IsDlgButtonChecked(dlg_, kThree), static_cast<UINT>(BST_INDETERMINATE));
    EXPECT_EQ(DialogLog().Joined(), "");

    SendMessageW(Item(kPush), BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessageW(Item(kPush), BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(Item(kPush), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageW(Item(kPush), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(Item(kCheck), WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    EXPECT_EQ(SendMessageW(Item(kR1), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

TEST_F(Buttons, AutoRadioButtonsUncheckTheirGroup) {
    SendMessageW(Item(kOther), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(Item(kR2), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(Item(kR3), BM_SETCHECK, BST_CHECKED, 0);  // BM_SETCHECK changes one button only
    EXPECT_EQ(Check(kR2), BST_CHECKED);
    // A click walks the group as the dialog manager does: the disabled R3 keeps
    // its check, the next WS_GROUP starts another group.
    DialogLog().Clear();
    SendMessageW(Item(kR1), BM_CLICK, 0, 0);
    EXPECT_EQ(Check(kR1), BST_CHECKED);
    EXPECT_EQ(Check(kR2), BST_UNCHECKED);
    EXPECT_EQ(Check(kR3), BST_CHECKED);
    EXPECT_EQ(Check(kOther), BST_CHECKED);
    EXPECT_EQ(DialogLog().Joined("BN_CLICKED"), "20:BN_CLICKED");  // BM_CLICK's focus sends no extra click
    // The checked radio button of a group is its tab stop.
    EXPECT_TRUE(GetWindowLongW(Item(kR1), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongW(Item(kR2), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(CheckRadioButton(dlg_, kR1, kR3, kR2));
    EXPECT_EQ(Check(kR1), BST_UNCHECKED);
    EXPECT_EQ(Check(kR2), BST_CHECKED);
    EXPECT_EQ(Check(kR3), BST_UNCHECKED);
}

// An unchecked radio button that gets the focus reports a click, unless told
// not to with BM_SETDONTCLICK.
TEST_F(Buttons, AnUncheckedRadioButtonClicksWhenItGetsTheFocus) {
    EXPECT_TRUE(CheckRadioButton(dlg_, kR1, kR3, kR2));
    SetFocus(Item(kPush));
    DialogLog().Clear();
    SetFocus(Item(kR1));
    EXPECT_EQ(DialogLog().Joined(), "20:BN_CLICKED");
    SetFocus(Item(kPush));
    SendMessageW(Item(kR1), BM_SETDONTCLICK, TRUE, 0);
    DialogLog().Clear();
    SetFocus(Item(kR1));
    EXPECT_EQ(DialogLog().Joined(), "");
}

TEST_F(Buttons, FocusNotificationsAndOwnerDraw) {
    SetFocus(Item(kNotify));
    SetFocus(Item(kPush));
    EXPECT_EQ(DialogLog().Joined(), "24:BN_SETFOCUS|24:BN_KILLFOCUS");
    EXPECT_TRUE(InvalidateRect(Item(kOwner), nullptr, TRUE));
    EXPECT_TRUE(UpdateWindow(Item(kOwner)));
    EXPECT_EQ(SendMessageW(Item(kLabel), WM_GETDLGCODE, 0, 0), DLGC_STATIC);

    // A static reports clicks only with SS_NOTIFY; enabling too.
    DialogLog().Clear();
    SendMessageW(Item(kLabel), WM_LBUTTONDOWN, 0, 0);
    SendMessageW(Item(kNotifyLabel), WM_LBUTTONDOWN, 0, 0);
    EnableWindow(Item(kNotifyLabel), FALSE);
    EXPECT_EQ(DialogLog().Joined(), "31:STN_CLICKED|31:STN_DISABLE");
    EXPECT_TRUE(SetDlgItemTextW(dlg_, kLabel, WL("New")));
    WCHAR text[8];
    GetDlgItemTextW(dlg_, kLabel, text, 8);
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("New")));
}

#ifndef _WIN32
TEST_F(Buttons, HostClicksRespectDisabledAndHiddenControls) {
    SetLastError(0);
    EXPECT_FALSE(NvxUi_Click(Item(kR3)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ShowWindow(Item(kCheck), SW_HIDE);
    EXPECT_FALSE(NvxUi_Click(Item(kCheck)));
    ShowWindow(Item(kCheck), SW_SHOW);
    EnableWindow(dlg_, FALSE);  // a control of a disabled dialog takes no input either
    EXPECT_FALSE(NvxUi_Click(Item(kCheck)));
    EnableWindow(dlg_, TRUE);
    EXPECT_EQ(DialogLog().Joined("BN_CLICKED"), "");

    EXPECT_TRUE(NvxUi_Click(Item(kCheck)));
    EXPECT_EQ(Check(kCheck), BST_CHECKED);
    EXPECT_TRUE(NvxUi_SetCheck(Item(kThree), BST_INDETERMINATE));
    EXPECT_EQ(Check(kThree), BST_INDETERMINATE);
    EXPECT_FALSE(NvxUi_SetCheck(Item(kPush), BST_CHECKED));  // not a check box
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(NvxUi_SetCheck(Item(kR2), BST_CHECKED));
    EXPECT_FALSE(NvxUi_SetCheck(Item(kR2), BST_UNCHECKED));  // a click cannot clear a radio button
    EXPECT_EQ(Check(kR2), BST_CHECKED);
    // A click on a plain label goes through it to the dialog: nothing to report.
    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_Click(Item(kLabel)));
    EXPECT_EQ(DialogLog().Joined(), "");
}
#endif

}  // namespace
