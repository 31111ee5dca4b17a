// The EDIT class: typing with WM_CHAR, filters (ES_NUMBER, ES_UPPERCASE,
// ES_READONLY), the text limit, selection, EM_REPLACESEL, the modify flag,
// passwords, multi-line lines and the notification order.
#include "platform/ui_test_util.h"

namespace {

using uitest::DialogLog;
using uitest::TemplateBuilder;
using uitest::UiTest;

std::pair<DWORD, DWORD> Range(DWORD s, DWORD e) {
    return {s, e};
}

constexpr int kText = 10, kNumber = 11, kUpper = 12, kReadOnly = 13, kPassword = 14, kMulti = 15, kOther = 16;

class Edits : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 150, WL("Edits"));
        t.Control(kText, 0x81, nullptr, WL("abc"), ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE | WS_BORDER, 5, 5, 80, 14)
            .Control(kNumber, 0x81, nullptr, WL(""), ES_NUMBER | WS_TABSTOP | WS_VISIBLE, 5, 22, 80, 14)
            .Control(kUpper, 0x81, nullptr, WL(""), ES_UPPERCASE | WS_VISIBLE, 5, 39, 80, 14)
            .Control(kReadOnly, 0x81, nullptr, WL("fixed"), ES_READONLY | WS_VISIBLE, 5, 56, 80, 14)
            .Control(kPassword, 0x81, nullptr, WL(""), ES_PASSWORD | WS_VISIBLE, 5, 73, 80, 14)
            .Control(kMulti, 0x81, nullptr, WL("one\r\ntwo\r\nthree"),
                     ES_MULTILINE | ES_WANTRETURN | WS_VISIBLE, 90, 5, 100, 50)
            .Control(kOther, 0x80, nullptr, WL("Other"), BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 90, 70, 50, 14);
        dlg_ = uitest::CreateRecordingDialog(t);
        ASSERT_NE(dlg_, nullptr);
        DialogLog().Clear();
    }
    void TearDown() override {
        EXPECT_TRUE(DestroyWindow(dlg_));
        UiTest::TearDown();
    }
    HWND Item(int id) { return GetDlgItem(dlg_, id); }
    void Type(int id, const WCHAR* text) {
        for (; *text; ++text) SendMessageW(Item(id), WM_CHAR, *text, 1);
    }
    nvx::WString Text(int id) {
        WCHAR buffer[128] = {};
        GetDlgItemTextW(dlg_, id, buffer, 128);
        return buffer;
    }
    std::pair<DWORD, DWORD> Sel(int id) {
        DWORD s = 0, e = 0;
        SendMessageW(Item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {s, e};
    }
    HWND dlg_ = nullptr;
};

TEST_F(Edits, TypingNotifiesUpdateThenChange) {
    SendMessageW(Item(kText), EM_SETSEL, 3, 3);
    Type(kText, WL("de"));
    EXPECT_EQ(Text(kText), nvx::WString(WL("abcde")));
    EXPECT_EQ(DialogLog().Joined(), "10:EN_UPDATE|10:EN_CHANGE|10:EN_UPDATE|10:EN_CHANGE");
    EXPECT_TRUE(SendMessageW(Item(kText), EM_GETMODIFY, 0, 0));
    EXPECT_EQ(Sel(kText), Range(5, 5));

    SendMessageW(Item(kText), EM_SETSEL, 1, 3);  // a selection is replaced
    Type(kText, WL("X"));
    EXPECT_EQ(Text(kText), nvx::WString(WL("aXde")));
    SendMessageW(Item(kText), WM_CHAR, VK_BACK, 1);
    SendMessageW(Item(kText), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(Text(kText), nvx::WString(WL("de")));
    SendMessageW(Item(kText), EM_SETSEL, 0, 0);
    DialogLog().Clear();
    SendMessageW(Item(kText), WM_CHAR, VK_BACK, 1);  // nothing before the caret: no change, no notification
    SendMessageW(Item(kText), WM_CHAR, 0x01, 1);     // control characters are not text
    EXPECT_EQ(DialogLog().Joined(), "");

    // Setting the text ignores the limit, clears the modify flag and notifies.
    SendMessageW(Item(kText), EM_LIMITTEXT, 3, 0);
    EXPECT_TRUE(SetDlgItemTextW(dlg_, kText, WL("longer than three")));
    EXPECT_EQ(Text(kText), nvx::WString(WL("longer than three")));
    EXPECT_FALSE(SendMessageW(Item(kText), EM_GETMODIFY, 0, 0));
    EXPECT_EQ(Sel(kText), Range(0, 0));
    EXPECT_EQ(DialogLog().Joined(), "10:EN_UPDATE|10:EN_CHANGE");
    DialogLog().Clear();
    SetDlgItemTextW(dlg_, kMulti, WL("x"));  // multi-line: no notification
    EXPECT_EQ(DialogLog().Joined(), "");
}

// A character typed into a full edit box changes nothing and reports only EN_MAXTEXT.
TEST_F(Edits, ACharacterIntoAFullBoxReportsMaxTextOnly) {
    SendMessageW(Item(kText), EM_SETLIMITTEXT, 5, 0);
    SendMessageW(Item(kText), EM_SETSEL, 3, 3);
    DialogLog().Clear();
    Type(kText, WL("123"));  // room for two
    EXPECT_EQ(Text(kText), nvx::WString(WL("abc12")));
    EXPECT_EQ(DialogLog().Joined(), "10:EN_UPDATE|10:EN_CHANGE|10:EN_UPDATE|10:EN_CHANGE|10:EN_MAXTEXT");
}

TEST_F(Edits, LimitFiltersAndReadOnly) {
    EXPECT_EQ(SendMessageW(Item(kText), EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessageW(Item(kText), EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageW(Item(kText), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    SendMessageW(Item(kText), EM_SETLIMITTEXT, 5, 0);
    SendMessageW(Item(kText), EM_SETSEL, 3, 3);
    Type(kText, WL("123"));  // room for two
    EXPECT_EQ(Text(kText), nvx::WString(WL("abc12")));
    DialogLog().Clear();
    SendMessageW(Item(kText), EM_SETSEL, 0, -1);
    SendMessageW(Item(kText), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WL("0123456789")));
    EXPECT_EQ(Text(kText), nvx::WString(WL("01234")));
    EXPECT_EQ(DialogLog().Joined(), "10:EN_MAXTEXT|10:EN_UPDATE|10:EN_CHANGE");

    Type(kNumber, WL("4a2-"));
    EXPECT_EQ(Text(kNumber), nvx::WString(WL("42")));  // ES_NUMBER refuses non-digits quietly
    Type(kUpper, WL("mixed Case"));
    EXPECT_EQ(Text(kUpper), nvx::WString(WL("MIXED CASE")));
    DialogLog().Clear();
    Type(kReadOnly, WL("zz"));
    SendMessageW(Item(kReadOnly), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(Text(kReadOnly), nvx::WString(WL("fixed")));
    EXPECT_EQ(DialogLog().Joined(), "");
    EXPECT_TRUE(SendMessageW(Item(kReadOnly), EM_SETREADONLY, FALSE, 0));
    EXPECT_FALSE(GetWindowLongW(Item(kReadOnly), GWL_STYLE) & ES_READONLY);
    Type(kReadOnly, WL("!"));
    EXPECT_EQ(Text(kReadOnly), nvx::WString(WL("!fixed")));

    // Undo puts the text before the last change back.
    EXPECT_TRUE(SendMessageW(Item(kReadOnly), EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageW(Item(kReadOnly), EM_UNDO, 0, 0));
    EXPECT_EQ(Text(kReadOnly), nvx::WString(WL("fixed")));
}

TEST_F(Edits, SelectionPasswordAndLines) {
    SendMessageW(Item(kText), EM_SETSEL, 2, 1);  // reversed: normalised when read
    EXPECT_EQ(Sel(kText), Range(1, 2));
    EXPECT_EQ(SendMessageW(Item(kText), EM_GETSEL, 0, 0), MAKELONG(1, 2));
    SendMessageW(Item(kText), EM_SETSEL, 0, -1);
    EXPECT_EQ(Sel(kText), Range(0, 3));
    SendMessageW(Item(kText), EM_SETSEL, 99, 100);
    EXPECT_EQ(Sel(kText), Range(3, 3));
    SendMessageW(Item(kText), EM_SETSEL, 1, 2);
    SendMessageW(Item(kText), EM_SETSEL, static_cast<WPARAM>(-1), 0);  // -1: no selection
    EXPECT_EQ(Sel(kText).first, Sel(kText).second);

    EXPECT_TRUE(GetWindowLongW(Item(kPassword), GWL_STYLE) & ES_PASSWORD);
    EXPECT_NE(SendMessageW(Item(kPassword), EM_GETPASSWORDCHAR, 0, 0), 0);
    Type(kPassword, WL("secret"));
    EXPECT_EQ(Text(kPassword), nvx::WString(WL("secret")));  // the program reads the real text
    SendMessageW(Item(kPassword), EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_FALSE(GetWindowLongW(Item(kPassword), GWL_STYLE) & ES_PASSWORD);
    SendMessageW(Item(kPassword), EM_SETPASSWORDCHAR, '*', 0);
    EXPECT_EQ(SendMessageW(Item(kPassword), EM_GETPASSWORDCHAR, 0, 0), '*');

    EXPECT_EQ(SendMessageW(Item(kMulti), EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(Item(kText), EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Item(kMulti), EM_LINEINDEX, 2, 0), 10);
    EXPECT_EQ(SendMessageW(Item(kMulti), EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(SendMessageW(Item(kMulti), EM_LINEFROMCHAR, 6, 0), 1);
    EXPECT_EQ(SendMessageW(Item(kMulti), EM_LINELENGTH, 10, 0), 5);
    WCHAR line[8] = {};
    line[0] = 8;  // the buffer size goes in the first WORD
    EXPECT_EQ(SendMessageW(Item(kMulti), EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 3);
    EXPECT_EQ(nvx::WString(line, 3), nvx::WString(WL("two")));
    SendMessageW(Item(kMulti), EM_SETSEL, 3, 3);
    SendMessageW(Item(kMulti), WM_CHAR, '\r', 1);  // ES_WANTRETURN: a new line
    EXPECT_EQ(SendMessageW(Item(kMulti), EM_GETLINECOUNT, 0, 0), 4);
}

TEST_F(Edits, FocusNotifications) {
    SetFocus(Item(kOther));
    DialogLog().Clear();
    SetFocus(Item(kText));
    SetFocus(Item(kOther));
    EXPECT_EQ(DialogLog().Joined(), "10:EN_SETFOCUS|10:EN_KILLFOCUS");
    // The dialog manager selects an edit's text when it moves the focus there.
    SendMessageW(dlg_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kText)), TRUE);
    EXPECT_EQ(Sel(kText), Range(0, 3));
}

#ifndef _WIN32
TEST_F(Edits, HostTypingAndLeaving) {
    EXPECT_TRUE(NvxUi_Type(Item(kText), WL("new"), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(Text(kText), nvx::WString(WL("new")));
    EXPECT_TRUE(NvxUi_Type(Item(kText), WL("er\b!"), NVXUI_TYPE_APPEND));
    EXPECT_EQ(Text(kText), nvx::WString(WL("newe!")));
    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_LeaveControl(Item(kText)));
    EXPECT_EQ(DialogLog().Joined(), "10:EN_KILLFOCUS|11:EN_SETFOCUS");
    EXPECT_EQ(GetFocus(), Item(kNumber));
    EXPECT_FALSE(NvxUi_LeaveControl(Item(kText)));  // it has no focus to lose
    EXPECT_FALSE(NvxUi_Type(Item(kOther), WL("x"), 0));
    EXPECT_TRUE(NvxUi_Type(Item(kNumber), WL("1x2"), 0));
    EXPECT_EQ(Text(kNumber), nvx::WString(WL("12")));
    EnableWindow(Item(kNumber), FALSE);
    EXPECT_FALSE(NvxUi_Type(Item(kNumber), WL("3"), 0));
}
#endif

}  // namespace
