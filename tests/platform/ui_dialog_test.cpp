// Dialogs: creation from DLGTEMPLATEEX and DLGTEMPLATE, WM_SETFONT and
// WM_INITDIALOG, the initial focus, the default push button, Enter and Escape,
// tab and group order, EndDialog, modal loops and re-entrant dialog procedures.
#include "platform/ui_test_util.h"

namespace {

using uitest::Recorder;
using uitest::TemplateBuilder;
using uitest::UiTest;

constexpr int kEdit = 100;
constexpr int kCheck = 101;
constexpr int kHidden = 102;
constexpr int kRadio1 = 110;
constexpr int kRadio2 = 111;
constexpr int kRadio3 = 112;
constexpr int kAfter = 120;

Recorder g_log;
BOOL g_initAnswer = TRUE;
HWND g_controlAtSetFont = nullptr;
LPARAM g_initParam = 0;
HWND g_initFocus = nullptr;

INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFONT:
        g_log.Add("WM_SETFONT");
        g_controlAtSetFont = GetDlgItem(hwnd, kEdit);
        return FALSE;
    case WM_INITDIALOG:
        g_log.Add("WM_INITDIALOG");
        g_initParam = lParam;
        g_initFocus = reinterpret_cast<HWND>(wParam);
        return g_initAnswer;
    case WM_COMMAND:
        g_log.Add(uitest::Describe(msg, wParam, lParam));
        if (LOWORD(wParam) == kCheck && HIWORD(wParam) == BN_CLICKED) {
            // Re-entrancy: a message to itself and a control change inside a command.
            SendMessageW(hwnd, WM_USER + 77, 0, 0);
            SetDlgItemTextW(hwnd, kEdit, WL("changed"));
        }
        return TRUE;
    case WM_USER + 77:
        g_log.Add("WM_USER+77");
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 77);
        return TRUE;
    case WM_USER + 78:
        // Sets the answer after a nested message (which resets DWLP_MSGRESULT).
        SendMessageW(hwnd, WM_USER + 77, 0, 0);
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 78);
        return TRUE;
    case WM_USER + 79:
        // Sets the answer before a nested message: the nested one wins, as on Windows.
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 79);
        SendMessageW(hwnd, WM_USER + 77, 0, 0);
        return TRUE;
    default: return FALSE;
    }
}

TemplateBuilder Standard(bool extended) {
    TemplateBuilder t(DS_SETFONT | DS_MODALFRAME | DS_CONTEXTHELP | WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 120,
                      WL("Sample"), extended);
    t.Control(kEdit, 0x81, nullptr, WL("text"), WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | WS_VISIBLE, 7, 7, 100, 14)
        .Control(kCheck, 0x80, nullptr, WL("&Check"), BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 7, 25, 100, 10)
        .Control(kHidden, 0x80, nullptr, WL("Hidden"), BS_PUSHBUTTON | WS_TABSTOP, 7, 38, 50, 14)
        .Control(kRadio1, 0x80, nullptr, WL("One"), BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 7, 55,
                 50, 10)
        .Control(kRadio2, 0x80, nullptr, WL("Two"), BS_AUTORADIOBUTTON | WS_VISIBLE, 7, 67, 50, 10)
        .Control(kRadio3, 0x80, nullptr, WL("Three"), BS_AUTORADIOBUTTON | WS_VISIBLE | WS_DISABLED, 7, 79, 50, 10)
        .Control(kAfter, 0x82, nullptr, WL("Label"), SS_LEFT | WS_GROUP | WS_VISIBLE, 7, 91, 50, 8)
        .Control(IDOK, 0x80, nullptr, WL("OK"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE | WS_GROUP, 90, 100, 50, 14)
        .Control(IDCANCEL, 0x80, nullptr, WL("Cancel"), BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 145, 100, 50, 14);
    return t;
}

class Dialogs : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        g_log.Clear();
        g_initAnswer = TRUE;
        g_controlAtSetFont = nullptr;
        g_initParam = 0;
        g_initFocus = nullptr;
    }
    HWND Create(bool extended = true, HWND owner = nullptr) {
        TemplateBuilder t = Standard(extended);
        return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, Proc, 1234);
    }
    // A key as the message loop hands it to IsDialogMessageW.
    void Key(HWND dialog, UINT vk) {
        MSG m{};
        m.hwnd = GetFocus() ? GetFocus() : dialog;
        m.message = WM_KEYDOWN;
        m.wParam = vk;
        EXPECT_TRUE(IsDialogMessageW(dialog, &m));
    }
};

TEST_F(Dialogs, ContextHelpStyleAddsTheExtendedStyle) {
    for (bool extended : {true, false}) {
        HWND dlg = Create(extended);
        ASSERT_NE(dlg, nullptr) << "extended " << extended;
        EXPECT_TRUE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) << "extended " << extended;
        EXPECT_TRUE(DestroyWindow(dlg));
    }
}

TEST_F(Dialogs, CreationSendsFontThenInitDialogAndSetsFocus) {
    for (bool extended : {true, false}) {
        g_log.Clear();
        HWND dlg = Create(extended);
        ASSERT_NE(dlg, nullptr) << "extended " << extended;
        EXPECT_EQ(g_log.Joined(), "WM_SETFONT|WM_INITDIALOG|100:EN_SETFOCUS");
        EXPECT_EQ(g_controlAtSetFont, nullptr);  // the dialog gets its font before its controls exist
        EXPECT_EQ(g_initParam, 1234);
        HWND edit = GetDlgItem(dlg, kEdit);
        EXPECT_EQ(g_initFocus, edit);  // wParam: the first tab stop
        EXPECT_EQ(GetFocus(), edit);   // TRUE: the focus goes there, text selected
        DWORD s = 0, e = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        EXPECT_EQ(s, 0u);
        EXPECT_EQ(e, 4u);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
        EXPECT_NE(font, nullptr);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), font);
        EXPECT_TRUE(GetWindowLongW(dlg, GWL_STYLE) & DS_CONTEXTHELP);
        EXPECT_FALSE(IsWindowVisible(dlg));  // no WS_VISIBLE in the template
        WCHAR cls[16] = {};
        GetClassNameW(dlg, cls, 16);
        EXPECT_EQ(nvx::WString(cls), nvx::WString(WL("#32770")));
        EXPECT_EQ(GetWindowLongPtrW(dlg, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&Proc));
        EXPECT_EQ(SendMessageW(dlg, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dlg, IDCANCEL)), IDCANCEL);
        EXPECT_TRUE(DestroyWindow(dlg));
    }

    g_initAnswer = FALSE;
    HWND dlg = Create();
    EXPECT_NE(GetFocus(), GetDlgItem(dlg, kEdit));  // FALSE: the procedure chose the focus
    EXPECT_TRUE(DestroyWindow(dlg));
}

TEST_F(Dialogs, EnterEscapeAndDefaultButton) {
    HWND dlg = Create();
    g_log.Clear();
    Key(dlg, VK_RETURN);
    Key(dlg, VK_ESCAPE);
    EXPECT_EQ(g_log.Joined(), "1:BN_CLICKED|2:BN_CLICKED");

    g_log.Clear();
    SendMessageW(dlg, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(SendMessageW(dlg, DM_GETDEFID, 0, 0), MAKELONG(IDCANCEL, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    Key(dlg, VK_RETURN);
    EXPECT_EQ(g_log.Joined(), "2:BN_CLICKED");

    // WM_CLOSE is posted back as IDCANCEL.
    g_log.Clear();
    SendMessageW(dlg, WM_CLOSE, 0, 0);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageW(dlg, &m)) DispatchMessageW(&m);
    EXPECT_EQ(g_log.Joined(), "2:BN_CLICKED");
    EXPECT_TRUE(DestroyWindow(dlg));
}

TEST_F(Dialogs, TabAndGroupOrder) {
    HWND dlg = Create();
    HWND edit = GetDlgItem(dlg, kEdit);
    HWND check = GetDlgItem(dlg, kCheck);
    HWND r1 = GetDlgItem(dlg, kRadio1);
    HWND r2 = GetDlgItem(dlg, kRadio2);
    HWND ok = GetDlgItem(dlg, IDOK);
    HWND cancel = GetDlgItem(dlg, IDCANCEL);
    EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, FALSE), edit);
    EXPECT_EQ(GetNextDlgTabItem(dlg, edit, FALSE), check);
    EXPECT_EQ(GetNextDlgTabItem(dlg, check, FALSE), r1);  // the hidden button is skipped
    EXPECT_EQ(GetNextDlgTabItem(dlg, r1, FALSE), ok);      // r2 has no WS_TABSTOP
    EXPECT_EQ(GetNextDlgTabItem(dlg, cancel, FALSE), edit);  // wraps
    EXPECT_EQ(GetNextDlgTabItem(dlg, edit, TRUE), cancel);
    EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, TRUE), nullptr);

    EXPECT_EQ(GetNextDlgGroupItem(dlg, r1, FALSE), r2);
    EXPECT_EQ(GetNextDlgGroupItem(dlg, r2, FALSE), r1);  // r3 is disabled; wraps in the group
    EXPECT_EQ(GetNextDlgGroupItem(dlg, r1, TRUE), r2);

    // Tab through IsDialogMessageW moves the focus and selects an edit's text.
    SetFocus(cancel);
    Key(dlg, VK_TAB);
    EXPECT_EQ(GetFocus(), edit);
    SendMessageW(dlg, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetFocus(), check);
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(r2), TRUE);
    EXPECT_EQ(GetFocus(), r2);
    EXPECT_TRUE(DestroyWindow(dlg));
}

TEST_F(Dialogs, EndDialogHidesAndTakesTheFocusAway) {
    HWND dlg = Create();
    ShowWindow(dlg, SW_SHOW);
    HWND edit = GetDlgItem(dlg, kEdit);
    SetFocus(edit);
    g_log.Clear();
    EXPECT_TRUE(EndDialog(dlg, 5));
    EXPECT_EQ(g_log.Joined("EN_"), "100:EN_KILLFOCUS");
    EXPECT_TRUE(IsWindow(dlg));  // a modeless dialog stays until destroyed
    EXPECT_FALSE(IsWindowVisible(dlg));
    EXPECT_TRUE(DestroyWindow(dlg));

    HWND plain = CreateWindowExW(0, WL("Static"), WL(""), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(EndDialog(plain, 1));  // not a dialog
    EXPECT_TRUE(DestroyWindow(plain));
}

TEST_F(Dialogs, ReentrantProcedureAndMessageResults) {
    HWND dlg = Create();
    g_log.Clear();
    SendMessageW(GetDlgItem(dlg, kCheck), BM_CLICK, 0, 0);
    // The click took the focus from the edit.  The command handler sent WM_USER+77 to itself and changed the edit, whose
    // EN_CHANGE came back into the procedure while it was still running.
    EXPECT_EQ(g_log.Joined(), "100:EN_KILLFOCUS|101:BN_CLICKED|WM_USER+77|100:EN_UPDATE|100:EN_CHANGE");
    EXPECT_EQ(SendMessageW(dlg, WM_USER + 77, 0, 0), 77);
    EXPECT_EQ(SendMessageW(dlg, WM_USER + 78, 0, 0), 78);
    EXPECT_EQ(SendMessageW(dlg, WM_USER + 79, 0, 0), 77);
    EXPECT_TRUE(DestroyWindow(dlg));
}

// Ends the dialog from its own queue: a posted message, then a timer.
INT_PTR CALLBACK SelfEnding(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        g_log.Add(IsWindowEnabled(GetWindow(hwnd, GW_OWNER)) ? "owner enabled" : "owner disabled");
        if (lParam == 1) PostMessageW(hwnd, WM_USER + 1, 0, 0);
        else SetTimer(hwnd, 9, 10, nullptr);
        return TRUE;
    case WM_USER + 1:
        EndDialog(hwnd, 42);
        return TRUE;
    case WM_TIMER:
        KillTimer(hwnd, wParam);
        EndDialog(hwnd, 43);
        return TRUE;
    default: return FALSE;
    }
}

#ifndef _WIN32
void PumpingDriver(void*, HWND dialog) {
    for (int i = 0; i < 100 && IsWindowVisible(dialog); ++i) NvxUi_Pump(10);
}
#endif

TEST_F(Dialogs, ModalLoopRunsPostedMessagesAndTimers) {
    HWND owner = CreateWindowExW(0, WL("Static"), WL("owner"), WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION, 100, 50, WL("Self"));
    t.Control(IDOK, 0x80, nullptr, WL("OK"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 5, 5, 40, 14);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.Get(), owner, SelfEnding, 1), 42);
    EXPECT_EQ(g_log.Joined(), "owner disabled");
    EXPECT_TRUE(IsWindowEnabled(owner));
#ifndef _WIN32
    NvxUi_SetModalDriver(PumpingDriver, nullptr);  // a user who waits
#endif
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.Get(), owner, SelfEnding, 2), 43);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(DestroyWindow(owner));
}

TEST_F(Dialogs, AModalDialogWithAnInvalidOwnerAnswersZero) {
    TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION, 100, 50, WL("Self"));
    t.Control(IDOK, 0x80, nullptr, WL("OK"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 5, 5, 40, 14);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.Get(), reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5555)),
                                      SelfEnding, 1),
              0);  // 0, not -1
}

#ifndef _WIN32
INT_PTR CALLBACK Waiting(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND) g_log.Add(uitest::Describe(msg, wParam, lParam));
    return FALSE;
}

void ClickOk(void*, HWND dialog) {
    g_log.Add("driver " + std::to_string(NvxUi_DialogResourceId(dialog)));
    HWND ok = GetDlgItem(dialog, IDOK);
    // The procedure does not end the dialog on IDOK; the driver ends it.
    NvxUi_Click(ok);
    EndDialog(dialog, 9);
}

TEST_F(Dialogs, HostDriverOrCancelEndsModalDialogs) {
    TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION, 100, 50, WL("Waits"));
    t.Control(IDOK, 0x80, nullptr, WL("OK"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 5, 5, 40, 14);
    // Without a driver: cancelled as Escape would (WM_COMMAND IDCANCEL), then ended.
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.Get(), nullptr, Waiting, 0), IDCANCEL);
    EXPECT_EQ(g_log.Joined(), "WM_COMMAND 2:0");
    ASSERT_EQ(NvxUi_LogCount(), 1);
    NvxUiLogEntry e;
    ASSERT_TRUE(NvxUi_GetLogEntry(0, &e));
    EXPECT_EQ(e.kind, NVXUI_LOG_DIALOG);
    EXPECT_EQ(e.result, IDCANCEL);
    EXPECT_FALSE(e.answered);
    EXPECT_EQ(nvx::WString(e.caption), nvx::WString(WL("Waits")));

    g_log.Clear();
    NvxUi_SetModalDriver(ClickOk, nullptr);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.Get(), nullptr, Waiting, 0), 9);
    EXPECT_EQ(g_log.Joined(), "driver 0|1:BN_CLICKED");
    ASSERT_TRUE(NvxUi_GetLogEntry(1, &e));
    EXPECT_TRUE(e.answered);
    EXPECT_EQ(e.result, 9);
}

struct BoxCall {
    std::string caption, text;
    UINT type = 0;
    int answer = 0;
};

int Responder(void* context, HWND, LPCWSTR caption, LPCWSTR text, UINT type) {
    auto* call = static_cast<BoxCall*>(context);
    call->caption = nvx::Utf8FromW(caption);
    call->text = nvx::Utf8FromW(text);
    call->type = type;
    return call->answer;
}

TEST_F(Dialogs, MessageBoxesAnswerDefaultOrResponder) {
    EXPECT_EQ(MessageBoxW(nullptr, WL("t"), WL("c"), MB_OK), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, WL("t"), WL("c"), MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, WL("t"), WL("c"), MB_YESNO | MB_DEFBUTTON4), IDYES);  // no 4th button
    SetLastError(0);
    EXPECT_EQ(MessageBoxW(nullptr, WL("t"), WL("c"), 9), 0);  // no such button set
    EXPECT_EQ(GetLastError(), 1438u);

    BoxCall call;
    call.answer = IDRETRY;
    NvxUi_SetMessageBoxResponder(Responder, &call);
    EXPECT_EQ(MessageBoxW(nullptr, WL("Disk?"), nullptr, MB_RETRYCANCEL | MB_ICONWARNING), IDRETRY);
    EXPECT_EQ(call.caption, "Error");  // the default caption
    EXPECT_EQ(call.type, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONWARNING));
    call.answer = IDYES;  // not a button of this box: the default
    EXPECT_EQ(MessageBoxW(nullptr, WL("x"), WL("y"), MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "narrow", "caption", MB_OK), IDOK);
    EXPECT_EQ(call.text, "narrow");

    ASSERT_EQ(NvxUi_LogCount(), 6);
    NvxUiLogEntry e;
    ASSERT_TRUE(NvxUi_GetLogEntry(3, &e));
    EXPECT_EQ(e.kind, NVXUI_LOG_MESSAGEBOX);
    EXPECT_EQ(e.result, IDRETRY);
    EXPECT_TRUE(e.answered);
    EXPECT_EQ(nvx::WString(e.text), nvx::WString(WL("Disk?")));
    ASSERT_TRUE(NvxUi_GetLogEntry(4, &e));
    EXPECT_FALSE(e.answered);
    EXPECT_FALSE(NvxUi_GetLogEntry(6, &e));
    NvxUi_ClearLog();
    EXPECT_EQ(NvxUi_LogCount(), 0);
}

TEST_F(Dialogs, DialogUnitsFollowTheFont) {
    HWND dlg = Create();
    RECT r{0, 0, 4, 8};
    EXPECT_TRUE(MapDialogRect(dlg, &r));
    EXPECT_EQ(r.right, 6);    // 8-point MS Shell Dlg: 6x13 base units
    EXPECT_EQ(r.bottom, 13);
    RECT edit;
    GetWindowRect(GetDlgItem(dlg, kEdit), &edit);
    EXPECT_EQ(edit.right - edit.left, 150);  // 100 dialog units
    EXPECT_EQ(edit.bottom - edit.top, 23);   // 14 dialog units
    EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(8, 16));
    EXPECT_TRUE(DestroyWindow(dlg));

    TemplateBuilder plain(WS_POPUP, 40, 16, WL("no font"));
    HWND nofont = CreateDialogIndirectParamW(nullptr, plain.Get(), nullptr, Proc, 0);
    RECT client;
    GetClientRect(nofont, &client);
    EXPECT_EQ(client.right, 80);  // the system font's 8x16
    EXPECT_EQ(client.bottom, 32);
    EXPECT_TRUE(DestroyWindow(nofont));
}
#endif

}  // namespace
