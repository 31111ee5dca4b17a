// Common controls: up-down with its buddy, tooltips, tab control, trackbar,
// animation, progress bar and image lists.
#include "platform/ui_test_util.h"

namespace {

using uitest::DialogLog;
using uitest::NotifyAnswers;
using uitest::TemplateBuilder;
using uitest::UiTest;

constexpr int kBuddy = 10, kSpin = 11, kTab = 12, kTrack = 13, kAnim = 14, kProgress = 15, kLoose = 16;

class CommonControls : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_VISIBLE, 260, 160, WL("Common"));
        t.Control(kBuddy, 0x81, nullptr, WL("0"), WS_BORDER | WS_TABSTOP | WS_VISIBLE, 5, 5, 60, 14)
            .Control(kSpin, 0, WL("msctls_updown32"), WL(""),
                     UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | WS_VISIBLE, 0, 0, 10, 14)
            .Control(kTab, 0, WL("SysTabControl32"), WL(""), TCS_TOOLTIPS | WS_TABSTOP | WS_VISIBLE, 5, 30, 150, 60)
            .Control(kTrack, 0, WL("msctls_trackbar32"), WL(""), WS_TABSTOP | WS_VISIBLE, 5, 100, 100, 15)
            .Control(kAnim, 0, WL("SysAnimate32"), WL(""), WS_VISIBLE, 120, 100, 30, 30)
            .Control(kProgress, 0, WL("msctls_progress32"), WL(""), WS_VISIBLE, 160, 100, 90, 10)
            .Control(kLoose, 0, WL("msctls_updown32"), WL(""), UDS_WRAP | WS_VISIBLE, 200, 5, 10, 14);
        dlg_ = uitest::CreateRecordingDialog(t);
        ASSERT_NE(dlg_, nullptr);
        DialogLog().Clear();
    }
    void TearDown() override {
        EXPECT_TRUE(DestroyWindow(dlg_));
        UiTest::TearDown();
    }
    HWND Item(int id) { return GetDlgItem(dlg_, id); }
    LRESULT Send(int id, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(Item(id), msg, w, l); }
    nvx::WString Text(int id) {
        WCHAR buffer[32] = {};
        GetDlgItemTextW(dlg_, id, buffer, 32);
        return buffer;
    }
    HWND dlg_ = nullptr;
};

TEST_F(CommonControls, UpDownRangeBuddyAndArrows) {
    EXPECT_EQ(reinterpret_cast<HWND>(Send(kSpin, UDM_GETBUDDY)), Item(kBuddy));  // UDS_AUTOBUDDY
    int lo = 0, hi = 0;
    Send(kLoose, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, 100);  // the default range runs from 100 down to 0
    EXPECT_EQ(hi, 0);
    EXPECT_EQ(Send(kLoose, UDM_GETRANGE), MAKELONG(0, 100));

    // UDS_ALIGNRIGHT put the arrows beside the buddy, which gave up their width.
    RECT buddy, spin;
    GetWindowRect(Item(kBuddy), &buddy);
    GetWindowRect(Item(kSpin), &spin);
    EXPECT_EQ(spin.top, buddy.top);
    EXPECT_GE(spin.left, buddy.right - 2);

    Send(kSpin, UDM_SETRANGE32, 0, 5000);
    EXPECT_EQ(Send(kSpin, UDM_SETPOS32, 0, 1234), 0);
    EXPECT_EQ(Text(kBuddy), nvx::WString(WL("1,234")));  // UDS_SETBUDDYINT with thousands separators
    EXPECT_EQ(Send(kSpin, UDM_SETPOS32, 0, 9999), 1234);
    EXPECT_EQ(Send(kSpin, UDM_GETPOS32), 5000);          // clamped
    SetDlgItemTextW(dlg_, kBuddy, WL("42"));
    BOOL error = TRUE;
    EXPECT_EQ(Send(kSpin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 42);  // read from the buddy
    EXPECT_FALSE(error);
    SetDlgItemTextW(dlg_, kBuddy, WL("x"));
    EXPECT_EQ(Send(kSpin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 42);
    EXPECT_TRUE(error);
    EXPECT_EQ(Send(kSpin, UDM_SETBASE, 16), 10);
    EXPECT_EQ(Send(kSpin, UDM_SETBASE, 7), 0);
    Send(kSpin, UDM_SETPOS32, 0, 10);
    EXPECT_EQ(Text(kBuddy), nvx::WString(WL("0x000A")));
    Send(kSpin, UDM_SETBASE, 10);

    // An arrow click: UDN_DELTAPOS, the buddy's text, WM_VSCROLL; the release ends it.
    DialogLog().Clear();
    RECT r;
    GetClientRect(Item(kSpin), &r);
    Send(kSpin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 4));
    Send(kSpin, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 4));
    EXPECT_EQ(Text(kBuddy), nvx::WString(WL("11")));
    EXPECT_EQ(DialogLog().Joined(), "11:UDN_DELTAPOS|10:EN_UPDATE|10:EN_CHANGE|WM_VSCROLL 4 11|WM_VSCROLL 8 11");
    EXPECT_EQ(GetFocus(), Item(kBuddy));  // an arrow click keeps the focus in the buddy

    // Refused: the position stays, the scroll message still comes.
    NotifyAnswers().push_back({UDN_DELTAPOS, TRUE});
    DialogLog().Clear();
    Send(kSpin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom * 3 / 4));
    Send(kSpin, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(Send(kSpin, UDM_GETPOS32), 11);
    EXPECT_EQ(DialogLog().Joined(), "11:UDN_DELTAPOS|WM_VSCROLL 4 11|WM_VSCROLL 8 11");
    NotifyAnswers().clear();

    // UDS_WRAP: past the end starts again at the other end.
    Send(kLoose, UDM_SETRANGE32, 0, 3);
    Send(kLoose, UDM_SETPOS32, 0, 3);
    GetClientRect(Item(kLoose), &r);
    Send(kLoose, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    Send(kLoose, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(Send(kLoose, UDM_GETPOS32), 0);
}

TEST_F(CommonControls, TabControlSelectionAndNotifications) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    for (const WCHAR* s : {WL("One"), WL("Two"), WL("Three")}) {
        item.pszText = const_cast<WCHAR*>(s);
        item.lParam = 5;
        Send(kTab, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_EQ(Send(kTab, TCM_GETITEMCOUNT), 3);
    EXPECT_EQ(Send(kTab, TCM_GETCURSEL), 0);  // the first tab was selected when it came
    EXPECT_EQ(Send(kTab, TCM_SETCURSEL, 2), 0);
    EXPECT_EQ(Send(kTab, TCM_SETCURSEL, 7), -1);
    EXPECT_EQ(Send(kTab, TCM_GETCURSEL), 2);
    WCHAR text[8] = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 8;
    EXPECT_TRUE(Send(kTab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Two")));
    EXPECT_NE(Send(kTab, TCM_GETTOOLTIPS), 0);  // TCS_TOOLTIPS made a tooltip window
    EXPECT_EQ(DialogLog().Joined(), "");

    RECT r;
    EXPECT_TRUE(Send(kTab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Send(kTab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Send(kTab, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(DialogLog().Joined("12:"), "12:TCN_SELCHANGING|12:TCN_SELCHANGE|12:NM_CLICK");
    EXPECT_EQ(Send(kTab, TCM_GETCURSEL), 0);
    EXPECT_EQ(GetFocus(), Item(kTab));

    NotifyAnswers().push_back({TCN_SELCHANGING, TRUE});
    DialogLog().Clear();
    Send(kTab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    Send(kTab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 2, r.top + 2));
    EXPECT_EQ(DialogLog().Joined(), "12:TCN_SELCHANGING");
    EXPECT_EQ(Send(kTab, TCM_GETCURSEL), 0);  // refused

    RECT display{0, 0, 200, 100};
    Send(kTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    EXPECT_GT(display.top, 0);
    Send(kTab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
    EXPECT_EQ(display.top, 0);
    EXPECT_TRUE(Send(kTab, TCM_DELETEALLITEMS));
    EXPECT_EQ(Send(kTab, TCM_GETCURSEL), -1);
}

TEST_F(CommonControls, TrackBarAnimationAndProgress) {
    Send(kTrack, TBM_SETRANGE, TRUE, MAKELPARAM(10, 20));
    EXPECT_EQ(Send(kTrack, TBM_GETRANGEMIN), 10);
    EXPECT_EQ(Send(kTrack, TBM_GETRANGEMAX), 20);
    EXPECT_EQ(Send(kTrack, TBM_GETPOS), 10);  // clamped into the range
    Send(kTrack, TBM_SETPOS, TRUE, 99);
    EXPECT_EQ(Send(kTrack, TBM_GETPOS), 20);
    EXPECT_EQ(DialogLog().Joined(), "");  // programs' changes send nothing
    SetFocus(Item(kTrack));
    Send(kTrack, WM_KEYDOWN, VK_LEFT, 0);
    Send(kTrack, WM_KEYUP, VK_LEFT, 0);
    EXPECT_EQ(Send(kTrack, TBM_GETPOS), 19);
    EXPECT_EQ(DialogLog().Joined("WM_"), "WM_HSCROLL 0 0|WM_HSCROLL 8 0");

    // An animation needs its clip: a missing resource fails.
    DialogLog().Clear();
    EXPECT_FALSE(Send(kAnim, ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(9999))));
    EXPECT_FALSE(Send(kAnim, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, -1)));
    EXPECT_FALSE(Send(kAnim, ACM_ISPLAYING));

    EXPECT_EQ(Send(kProgress, PBM_SETRANGE32, 0, 50), MAKELONG(0, 100));
    EXPECT_EQ(Send(kProgress, PBM_SETPOS, 20), 0);
    EXPECT_EQ(Send(kProgress, PBM_DELTAPOS, 100), 20);
    EXPECT_EQ(Send(kProgress, PBM_GETPOS), 50);
    Send(kProgress, PBM_SETSTEP, 5);
    Send(kProgress, PBM_SETPOS, 40);
    EXPECT_EQ(Send(kProgress, PBM_STEPIT), 40);
    EXPECT_EQ(Send(kProgress, PBM_GETPOS), 45);
    PBRANGE range{};
    Send(kProgress, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iHigh, 50);
}

TEST_F(CommonControls, ToolTipsKeepToolsAndTexts) {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, dlg_, nullptr, nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), dlg_);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = dlg_;
    ti.uId = reinterpret_cast<UINT_PTR>(Item(kBuddy));
    ti.lpszText = const_cast<WCHAR*>(WL("Copies"));
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    ti.uId = reinterpret_cast<UINT_PTR>(Item(kTrack));
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

    WCHAR text[80] = {};
    ti.uId = reinterpret_cast<UINT_PTR>(Item(kBuddy));
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Copies")));
    ti.lpszText = const_cast<WCHAR*>(WL("Number of copies"));
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Number of copies")));

    EXPECT_EQ(SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 300), -1);
    EXPECT_EQ(SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 200), 300);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(20000, 0));
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 20000);

    TTTOOLINFOW en{};
    en.cbSize = sizeof en;
    WCHAR enText[80] = {};
    en.lpszText = enText;
    EXPECT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 1, reinterpret_cast<LPARAM>(&en)));
    EXPECT_EQ(en.uId, reinterpret_cast<UINT_PTR>(Item(kTrack)));
    EXPECT_EQ(en.lpszText, LPSTR_TEXTCALLBACKW);
    EXPECT_FALSE(SendMessageW(tip, TTM_ENUMTOOLSW, 2, reinterpret_cast<LPARAM>(&en)));

    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    // The tooltip is owned by the dialog and goes with it.
}

TEST_F(CommonControls, ToolTipsRefuseATooSmallToolInfo) {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, dlg_, nullptr, nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    TTTOOLINFOW ti{};
    ti.cbSize = 8;  // too small a structure
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = dlg_;
    ti.uId = reinterpret_cast<UINT_PTR>(Item(kBuddy));
    ti.lpszText = const_cast<WCHAR*>(WL("Copies"));
    EXPECT_FALSE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(CommonControls, ImageLists) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
    ASSERT_NE(list, nullptr);
    HICON icon = LoadIconW(nullptr, IDI_WARNING);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 0);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 1);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 5, icon), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_EQ(LoadIconW(nullptr, IDI_WARNING), icon);  // shared
    EXPECT_TRUE(DestroyIcon(icon));                   // harmless for a shared icon
}

#ifndef _WIN32
INT_PTR CALLBACK TipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
        auto* di = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        nvx::WCopy(di->szText, 80, WL("Asked"));
        di->lpszText = di->szText;
        return TRUE;
    }
    return uitest::RecordingDialogProc(hwnd, msg, wParam, lParam);
}

TEST_F(CommonControls, HostSpinsSlidesAndReadsTips) {
    Send(kSpin, UDM_SETRANGE32, 0, 10);
    Send(kSpin, UDM_SETPOS32, 0, 4);
    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_Spin(Item(kSpin), 2));
    EXPECT_EQ(Send(kSpin, UDM_GETPOS32), 6);
    EXPECT_EQ(Text(kBuddy), nvx::WString(WL("6")));
    EXPECT_NE(DialogLog().Joined().find("11:UDN_DELTAPOS"), std::string::npos);
    EXPECT_TRUE(NvxUi_Spin(Item(kSpin), -1));
    EXPECT_EQ(Send(kSpin, UDM_GETPOS32), 5);
    EXPECT_FALSE(NvxUi_Spin(Item(kTrack), 1));  // not an up-down control

    DialogLog().Clear();
    Send(kTrack, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    EXPECT_TRUE(NvxUi_SetTrackBar(Item(kTrack), 7));
    EXPECT_EQ(Send(kTrack, TBM_GETPOS), 7);
    // The drag takes the focus from the buddy first.
    EXPECT_EQ(DialogLog().Joined(),
              "10:EN_KILLFOCUS|WM_HSCROLL 5 7|WM_HSCROLL 4 7|WM_HSCROLL 8 0|13:NM_RELEASEDCAPTURE");

    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, dlg_, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(dlg_, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&TipProc));
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = dlg_;
    ti.uId = 7;
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    WCHAR text[32];
    EXPECT_EQ(NvxUi_GetToolTipText(tip, dlg_, 7, text, 32), 5);
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Asked")));
    EXPECT_EQ(NvxUi_GetToolTipText(tip, dlg_, 8, text, 32), -1);
    SetWindowLongPtrW(dlg_, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&uitest::RecordingDialogProc));
}
#endif

}  // namespace
