// The COMBOBOX and LISTBOX classes: items, sorting, search, selection, item
// data, error answers, the drop-down and its notifications.
#include "platform/ui_test_util.h"

namespace {

using uitest::DialogLog;
using uitest::TemplateBuilder;
using uitest::UiTest;

constexpr int kList = 10, kSorted = 11, kCombo = 12, kDropDown = 13, kListBox = 14, kMulti = 15, kOther = 16;

std::string g_textAtSelChange;

INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && LOWORD(wParam) == kDropDown && HIWORD(wParam) == CBN_SELCHANGE) {
        WCHAR text[32] = {};
        GetWindowTextW(reinterpret_cast<HWND>(lParam), text, 32);
        g_textAtSelChange = nvx::Utf8FromW(text);
    }
    return uitest::RecordingDialogProc(hwnd, msg, wParam, lParam);
}

class Lists : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_VISIBLE, 220, 160, WL("Lists"));
        t.Control(kList, 0x85, nullptr, WL(""), CBS_DROPDOWNLIST | WS_TABSTOP | WS_VISIBLE, 5, 5, 80, 60)
            .Control(kSorted, 0x85, nullptr, WL(""), CBS_DROPDOWNLIST | CBS_SORT | WS_VISIBLE, 5, 22, 80, 60)
            .Control(kCombo, 0x85, nullptr, WL(""), CBS_DROPDOWNLIST | WS_TABSTOP | WS_VISIBLE, 5, 39, 80, 60)
            .Control(kDropDown, 0x85, nullptr, WL(""), CBS_DROPDOWN | WS_TABSTOP | WS_VISIBLE, 5, 56, 80, 60)
            .Control(kListBox, 0x83, nullptr, WL(""), LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 100, 5, 80, 50)
            .Control(kMulti, 0x83, nullptr, WL(""), LBS_MULTIPLESEL | LBS_SORT | WS_VISIBLE, 100, 60, 80, 50)
            .Control(kOther, 0x80, nullptr, WL("Other"), BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 100, 120, 50, 14);
        DialogLog().Clear();
        uitest::NotifyAnswers().clear();
        dlg_ = CreateDialogIndirectParamW(nullptr, t.Get(), nullptr, Proc, 0);
        ASSERT_NE(dlg_, nullptr);
        for (const WCHAR* s : {WL("Letter"), WL("A4"), WL("Legal"), WL("a5")}) {
            SendDlgItemMessageW(dlg_, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(dlg_, kSorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(dlg_, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(dlg_, kDropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(dlg_, kListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(dlg_, kMulti, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
        SetFocus(GetDlgItem(dlg_, kOther));
        DialogLog().Clear();
        g_textAtSelChange.clear();
    }
    void TearDown() override {
        EXPECT_TRUE(DestroyWindow(dlg_));
        UiTest::TearDown();
    }
    LRESULT Send(int id, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendDlgItemMessageW(dlg_, id, msg, w, l); }
    LRESULT Find(int id, UINT msg, int start, const WCHAR* s) {
        return Send(id, msg, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s));
    }
    nvx::WString ItemText(int id, int index, UINT msg = CB_GETLBTEXT) {
        WCHAR text[32] = {};
        Send(id, msg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    HWND dlg_ = nullptr;
};

TEST_F(Lists, ComboItemsSearchAndData) {
    EXPECT_EQ(Send(kList, CB_GETCOUNT), 4);
    EXPECT_EQ(ItemText(kList, 1), nvx::WString(WL("A4")));
    EXPECT_EQ(ItemText(kSorted, 0), nvx::WString(WL("A4")));  // sorted ignoring case
    EXPECT_EQ(ItemText(kSorted, 1), nvx::WString(WL("a5")));
    EXPECT_EQ(ItemText(kSorted, 3), nvx::WString(WL("Letter")));
    EXPECT_EQ(Send(kList, CB_GETLBTEXTLEN, 0), 6);
    EXPECT_EQ(Send(kList, CB_GETLBTEXTLEN, 9), CB_ERR);
    EXPECT_EQ(Send(kList, CB_GETLBTEXT, 9, 0), CB_ERR);

    // Exact search ignores case, starts after the index and wraps.
    EXPECT_EQ(Find(kList, CB_FINDSTRINGEXACT, -1, WL("LEGAL")), 2);
    EXPECT_EQ(Find(kList, CB_FINDSTRINGEXACT, 2, WL("legal")), 2);   // wraps round to itself
    EXPECT_EQ(Find(kList, CB_FINDSTRINGEXACT, 0, WL("Leg")), CB_ERR);
    EXPECT_EQ(Find(kList, CB_FINDSTRING, 0, WL("le")), 2);          // prefix, after item 0
    EXPECT_EQ(Find(kList, CB_FINDSTRING, 2, WL("le")), 0);          // wraps to "Letter"
    EXPECT_EQ(Find(kList, CB_FINDSTRING, 99, WL("a")), 1);          // a bad start searches from the top

    EXPECT_EQ(Send(kList, CB_SETITEMDATA, 2, 77), TRUE);
    EXPECT_EQ(Send(kList, CB_GETITEMDATA, 2), 77);
    EXPECT_EQ(Send(kList, CB_GETITEMDATA, 9), CB_ERR);
    EXPECT_EQ(Send(kList, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(WL("B5"))), 1);
    EXPECT_EQ(Send(kList, CB_INSERTSTRING, 99, reinterpret_cast<LPARAM>(WL("X"))), CB_ERR);
    EXPECT_EQ(Send(kList, CB_GETITEMDATA, 3), 77);  // the data moved with its item

    EXPECT_EQ(Send(kList, CB_SETCURSEL, 3), 3);
    EXPECT_EQ(Send(kList, CB_DELETESTRING, 0), 4);   // answers the count left
    EXPECT_EQ(Send(kList, CB_GETCURSEL), 2);          // the selection follows its item
    EXPECT_EQ(Send(kList, CB_DELETESTRING, 2), 3);
    EXPECT_EQ(Send(kList, CB_GETCURSEL), CB_ERR);     // the selected item went
    EXPECT_EQ(Send(kList, CB_SETCURSEL, 7), CB_ERR);  // out of range: no selection
    EXPECT_EQ(Send(kList, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Send(kList, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(WL("a"))), 1);
    EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(dlg_, kList)), 2);  // a drop-down list's text is its selection
    EXPECT_EQ(Send(kList, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(WL("zz"))), CB_ERR);
    EXPECT_EQ(Send(kList, CB_GETCURSEL), 1);  // unchanged after a failed search
    Send(kList, CB_RESETCONTENT);
    EXPECT_EQ(Send(kList, CB_GETCOUNT), 0);
    EXPECT_EQ(Send(kList, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(DialogLog().Joined(), "");  // programs' changes send no notifications
}

TEST_F(Lists, ResetContentAnswersOkay) {
    EXPECT_GE(Send(kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WL("A4"))), 0);
    EXPECT_EQ(Send(kList, CB_RESETCONTENT), CB_OKAY);
    EXPECT_EQ(Send(kList, CB_GETCOUNT), 0);
}

TEST_F(Lists, DropDownStateAndEditPart) {
    EXPECT_EQ(Send(kCombo, CB_SETEXTENDEDUI, TRUE), CB_OKAY);
    EXPECT_TRUE(Send(kCombo, CB_GETEXTENDEDUI));
    EXPECT_TRUE(Send(kCombo, CB_SHOWDROPDOWN, TRUE));
    EXPECT_TRUE(Send(kCombo, CB_GETDROPPEDSTATE));
    EXPECT_TRUE(Send(kCombo, CB_SHOWDROPDOWN, FALSE));
    EXPECT_FALSE(Send(kCombo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(DialogLog().Joined(), "12:CBN_DROPDOWN|12:CBN_SELENDCANCEL|12:CBN_CLOSEUP");

    HWND edit = GetDlgItem(GetDlgItem(dlg_, kDropDown), 1001);
    ASSERT_NE(edit, nullptr);
    WCHAR cls[8] = {};
    GetClassNameW(edit, cls, 8);
    EXPECT_EQ(nvx::WString(cls), nvx::WString(WL("Edit")));
    DialogLog().Clear();
    SetFocus(GetDlgItem(dlg_, kDropDown));
    EXPECT_EQ(GetFocus(), edit);  // the focus goes to the edit part
    SendMessageW(edit, WM_CHAR, 'L', 1);
    EXPECT_EQ(DialogLog().Joined(), "13:CBN_SETFOCUS|13:CBN_EDITUPDATE|13:CBN_EDITCHANGE");
    EXPECT_EQ(Send(kDropDown, CB_GETCURSEL), CB_ERR);  // typing while closed selects nothing
    EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(dlg_, kDropDown)), 1);
    Send(kDropDown, CB_LIMITTEXT, 2);
    SendMessageW(edit, WM_CHAR, 'e', 1);
    SendMessageW(edit, WM_CHAR, 'g', 1);
    WCHAR text[8] = {};
    GetWindowTextW(GetDlgItem(dlg_, kDropDown), text, 8);
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Le")));
    DialogLog().Clear();
    SetFocus(GetDlgItem(dlg_, kOther));
    EXPECT_EQ(DialogLog().Joined(), "13:CBN_SELENDCANCEL|13:CBN_KILLFOCUS");

    Send(kDropDown, CB_SETCURSEL, 2);  // the edit shows the selection
    GetWindowTextW(GetDlgItem(dlg_, kDropDown), text, 8);
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Legal")));
    EXPECT_EQ(Send(kList, CB_GETEDITSEL), CB_ERR);  // a drop-down list has no edit part
}

// The dropped list's rectangle is answered with a nonzero result.
TEST_F(Lists, DroppedControlRectAnswersNonzero) {
    RECT dropped{};
    EXPECT_NE(Send(kDropDown, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)), 0);
    EXPECT_GT(dropped.bottom - dropped.top, 0);
}

// A drop-down combo box is as high as its selection field; the height it was given
// (by the template or by a later move) is the height of its dropped list.
TEST_F(Lists, DropDownKindsKeepTheSelectionFieldHeight) {
    RECT units{0, 0, 80, 60};
    ASSERT_TRUE(MapDialogRect(dlg_, &units));
    for (int id : {kList, kDropDown}) {
        HWND combo = GetDlgItem(dlg_, id);
        RECT window, dropped;
        ASSERT_TRUE(GetWindowRect(combo, &window));
        dropped = RECT{};
        Send(id, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        EXPECT_EQ(dropped.bottom - dropped.top, units.bottom) << id;
        EXPECT_EQ(dropped.top, window.top) << id;
        EXPECT_LT(window.bottom - window.top, units.bottom / 2) << id << ": only the selection field";
        EXPECT_GT(window.bottom - window.top, 0) << id;
        const LONG field = window.bottom - window.top;
        POINT at{window.left, window.top};
        ScreenToClient(dlg_, &at);
        ASSERT_TRUE(MoveWindow(combo, at.x, at.y, window.right - window.left, 150, FALSE));
        ASSERT_TRUE(GetWindowRect(combo, &window));
        EXPECT_EQ(window.bottom - window.top, field) << id;
        dropped = RECT{};
        Send(id, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        EXPECT_EQ(dropped.bottom - dropped.top, 150) << id;
    }
}

TEST_F(Lists, ListBoxSelectionAndNotifications) {
    EXPECT_EQ(Send(kListBox, LB_GETCOUNT), 4);
    EXPECT_EQ(Send(kListBox, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(Send(kListBox, LB_SETCURSEL, 1), 1);
    EXPECT_EQ(ItemText(kListBox, 1, LB_GETTEXT), nvx::WString(WL("A4")));
    EXPECT_EQ(Send(kListBox, LB_GETTEXTLEN, 4), LB_ERR);
    EXPECT_EQ(Send(kListBox, LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR);
    EXPECT_EQ(Send(kListBox, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(Find(kListBox, LB_FINDSTRINGEXACT, -1, WL("a5")), 3);
    EXPECT_EQ(Send(kListBox, LB_SETITEMDATA, 0, 9), TRUE);
    EXPECT_EQ(Send(kListBox, LB_GETITEMDATA, 0), 9);
    EXPECT_EQ(Send(kListBox, LB_GETSELCOUNT), LB_ERR);  // single selection
    EXPECT_EQ(DialogLog().Joined(), "");

    // Multiple selection keeps one flag per item.
    EXPECT_EQ(Send(kMulti, LB_SETCURSEL, 0), LB_ERR);
    Send(kMulti, LB_SETSEL, TRUE, 0);
    Send(kMulti, LB_SETSEL, TRUE, 3);
    EXPECT_EQ(Send(kMulti, LB_GETSELCOUNT), 2);
    int items[4] = {};
    EXPECT_EQ(Send(kMulti, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), 2);
    EXPECT_EQ(items[1], 3);
    Send(kMulti, LB_SETSEL, FALSE, static_cast<LPARAM>(-1));
    EXPECT_EQ(Send(kMulti, LB_GETSELCOUNT), 0);

    // A click selects and, with LBS_NOTIFY, reports it when the button comes up.
    RECT r;
    Send(kListBox, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    HWND list = GetDlgItem(dlg_, kListBox);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 2, r.top + 1));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 1));
    EXPECT_EQ(Send(kListBox, LB_GETCURSEL), 2);
    EXPECT_EQ(DialogLog().Joined(), "14:LBN_SETFOCUS|14:LBN_SELCHANGE");
}

#ifndef _WIN32
TEST_F(Lists, HostChoosesLikeAMouse) {
    EXPECT_TRUE(NvxUi_ChooseComboText(GetDlgItem(dlg_, kCombo), WL("legal")));
    EXPECT_EQ(Send(kCombo, CB_GETCURSEL), 2);
    EXPECT_EQ(DialogLog().Joined(),
              "12:CBN_SETFOCUS|12:CBN_DROPDOWN|12:CBN_SELENDOK|12:CBN_CLOSEUP|12:CBN_SELCHANGE");
    DialogLog().Clear();
    Send(kCombo, CB_SETITEMDATA, 1, 1234);
    EXPECT_TRUE(NvxUi_ChooseComboData(GetDlgItem(dlg_, kCombo), 1234));
    EXPECT_EQ(Send(kCombo, CB_GETCURSEL), 1);
    EXPECT_EQ(DialogLog().Joined(), "12:CBN_DROPDOWN|12:CBN_SELENDOK|12:CBN_CLOSEUP|12:CBN_SELCHANGE");
    SetLastError(0);
    EXPECT_FALSE(NvxUi_ChooseComboText(GetDlgItem(dlg_, kCombo), WL("Tabloid")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_FOUND));
    EXPECT_FALSE(NvxUi_ChooseComboIndex(GetDlgItem(dlg_, kCombo), 4));

    // A drop-down's edit shows the new entry only after CBN_SELCHANGE.
    SetDlgItemTextW(dlg_, kDropDown, WL("old"));
    EXPECT_TRUE(NvxUi_ChooseComboIndex(GetDlgItem(dlg_, kDropDown), 0));
    EXPECT_EQ(g_textAtSelChange, "old");
    WCHAR text[16] = {};
    GetDlgItemTextW(dlg_, kDropDown, text, 16);
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Letter")));
    EXPECT_TRUE(NvxUi_Type(GetDlgItem(dlg_, kDropDown), WL("A"), NVXUI_TYPE_REPLACE));
    GetDlgItemTextW(dlg_, kDropDown, text, 16);
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("A")));

    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg_, kListBox), 3));
    EXPECT_EQ(Send(kListBox, LB_GETCURSEL), 3);
    EXPECT_NE(DialogLog().Joined().find("14:LBN_SELCHANGE"), std::string::npos);
    EXPECT_TRUE(NvxUi_DoubleClick(GetDlgItem(dlg_, kListBox)));
    EXPECT_NE(DialogLog().Joined().find("14:LBN_DBLCLK"), std::string::npos);
}
#endif

}  // namespace
