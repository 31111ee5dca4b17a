// Dialogs, pages, icons, bitmaps and clips from the resources of UITEST.DLL,
// the templates windres compiles from uidlls/uitest.rc; on Linux the all-controls
// dialog is also driven through the host interface, control by control.
#include "platform/ui_test_util.h"
#include "testdlls/testdll_paths.h"
#include "uidlls/uitest.h"

namespace {

using uitest::DialogLog;
using uitest::UiTest;

class Resources : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        module_ = LoadLibraryW(testdll::Path("UITEST.DLL").c_str());
        ASSERT_NE(module_, nullptr);
        DialogLog().Clear();
        uitest::NotifyAnswers().clear();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        UiTest::TearDown();
    }
    HMODULE module_ = nullptr;
};

TEST_F(Resources, DialogFromTheLibraryHasEveryControl) {
    HWND dlg = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_ALLCONTROLS), nullptr, uitest::RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    struct Expect {
        int id;
        const WCHAR* cls;
    } expected[] = {{IDC_LABEL, WL("Static")},          {IDC_EDIT, WL("Edit")},
                    {IDC_SPIN, WL("msctls_updown32")},  {IDC_CHECK, WL("Button")},
                    {IDC_ICONSTATIC, WL("Static")},           {IDC_LIST, WL("ListBox")},
                    {IDC_COMBO, WL("ComboBox")},        {IDC_LISTVIEW, WL("SysListView32")},
                    {IDC_TAB, WL("SysTabControl32")},   {IDC_TRACK, WL("msctls_trackbar32")},
                    {IDC_ANIMATE, WL("SysAnimate32")},  {IDC_PROGRESS, WL("msctls_progress32")}};
    for (const Expect& e : expected) {
        HWND control = GetDlgItem(dlg, e.id);
        ASSERT_NE(control, nullptr) << e.id;
        WCHAR cls[32] = {};
        GetClassNameW(control, cls, 32);
        EXPECT_TRUE(nvx::WEqualNoCase(cls, e.cls)) << e.id;
    }
    EXPECT_TRUE(GetWindowLongW(dlg, GWL_STYLE) & DS_CONTEXTHELP);
    // UDS_AUTOBUDDY took the control before it.
    EXPECT_EQ(reinterpret_cast<HWND>(SendDlgItemMessageW(dlg, IDC_SPIN, UDM_GETBUDDY, 0, 0)), GetDlgItem(dlg, IDC_NUMBER));
    // The icon static loaded IDI_SAMPLE from the library; the bitmap static its bitmap.
    EXPECT_NE(SendDlgItemMessageW(dlg, IDC_ICONSTATIC, STM_GETICON, 0, 0), 0);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dlg, IDC_BITMAP, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 8);
    EXPECT_TRUE(DestroyWindow(dlg));

    // The classic DIALOG template, and a template that does not exist.
    HWND classic = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_CLASSIC), nullptr, uitest::RecordingDialogProc, 0);
    ASSERT_NE(classic, nullptr);
    WCHAR caption[16] = {};
    GetWindowTextW(classic, caption, 16);
    EXPECT_EQ(nvx::WString(caption), nvx::WString(WL("Classic")));
    EXPECT_TRUE(DestroyWindow(classic));
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamW(module_, MAKEINTRESOURCEW(4242), nullptr, uitest::RecordingDialogProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(DialogBoxParamW(module_, MAKEINTRESOURCEW(4242), nullptr, uitest::RecordingDialogProc, 0), -1);
}

TEST_F(Resources, IconsBitmapsAndStrings) {
    HICON icon = LoadIconW(module_, MAKEINTRESOURCEW(IDI_SAMPLE));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(module_, MAKEINTRESOURCEW(IDI_SAMPLE)), icon);  // shared
    HANDLE own = LoadImageW(module_, MAKEINTRESOURCEW(IDI_SAMPLE), IMAGE_ICON, 16, 16, 0);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, icon);
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(static_cast<HICON>(own), &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(own)));
    SetLastError(0);
    EXPECT_EQ(LoadIconW(module_, MAKEINTRESOURCEW(999)), nullptr);
    HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCEW(IDB_SAMPLE));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
}

INT_PTR CALLBACK ResourcePage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        DialogLog().Add("init " + std::to_string(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam));
        return TRUE;
    }
    return uitest::RecordingDialogProc(hwnd, msg, wParam, lParam);
}

TEST_F(Resources, SheetWithPagesFromTheLibrary) {
    PROPSHEETPAGEW pages[2] = {};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = module_;
        pages[i].pszTemplate = MAKEINTRESOURCEW(i == 0 ? IDD_PAGE1 : IDD_PAGE2);
        pages[i].pfnDlgProc = ResourcePage;
        pages[i].lParam = 10 + i;
    }
    pages[1].dwFlags = PSP_USETITLE;
    pages[1].pszTitle = MAKEINTRESOURCEW(IDS_TITLE);  // a string of the page's module
    PROPSHEETHEADERW h{};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
    h.pszCaption = WL("From resources");
    h.nPages = 2;
    h.ppsp = pages;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&h));
    ASSERT_NE(sheet, nullptr);
    HWND tab = PropSheet_GetTabControl(sheet);
    WCHAR text[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(tab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Titled page")));
    EXPECT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 1));
    EXPECT_EQ(DialogLog().Joined("init"), "init 10|init 11");
    EXPECT_NE(GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), IDC_PAGE2_COMBO), nullptr);
    EXPECT_TRUE(DestroyWindow(sheet));
}

// Runs the message loop until an ACN_STOP is in the log (five seconds at most).
void PumpUntilStopped(uitest::Recorder& log) {
    DWORD start = GetTickCount();
    MSG msg;
    while (log.Joined().find("ACN_STOP") == std::string::npos && GetTickCount() - start < 5000) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

TEST_F(Resources, AnimationPlaysTheLibraryClip) {
    HWND dlg = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_ALLCONTROLS), nullptr, uitest::RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    HWND centred = GetDlgItem(dlg, IDC_ANIMATE);  // ACS_CENTER: keeps its size
    RECT before{};
    GetClientRect(centred, &before);
    // The clip (an "AVI" resource: two 4x4 frames, 10 a second) opens by id.
    EXPECT_TRUE(SendMessageW(centred, ACM_OPENW, reinterpret_cast<WPARAM>(module_),
                             reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_CLIP))));
    RECT after{};
    GetClientRect(centred, &after);
    EXPECT_EQ(after.right, before.right);
    // Without ACS_CENTER the control takes the size of the frames.
    HWND sized = CreateWindowExW(0, WL("SysAnimate32"), WL(""), WS_CHILD | WS_VISIBLE, 5, 5, 60, 60, dlg,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(77)), module_, nullptr);
    ASSERT_NE(sized, nullptr);
    EXPECT_TRUE(SendMessageW(sized, ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_CLIP))));
    RECT frame{};
    GetWindowRect(sized, &frame);
    EXPECT_EQ(frame.right - frame.left, 4);
    EXPECT_EQ(frame.bottom - frame.top, 4);

    // A play sends ACN_START; one round of a repeat count of 1 ends with ACN_STOP
    // while the messages are pumped.
    DialogLog().Clear();
    EXPECT_TRUE(SendMessageW(sized, ACM_PLAY, 1, MAKELPARAM(0, -1)));
    PumpUntilStopped(DialogLog());
    EXPECT_FALSE(SendMessageW(sized, ACM_ISPLAYING, 0, 0));
    EXPECT_EQ(DialogLog().Joined(), "77:ACN_START|77:ACN_STOP");

    // A play of one frame is a seek: no notification.  Frames past the clip fail.
    DialogLog().Clear();
    EXPECT_TRUE(SendMessageW(sized, ACM_PLAY, 1, MAKELPARAM(1, 1)));
    EXPECT_FALSE(SendMessageW(sized, ACM_ISPLAYING, 0, 0));
    EXPECT_FALSE(SendMessageW(sized, ACM_PLAY, 1, MAKELPARAM(5, 9)));
    EXPECT_TRUE(SendMessageW(centred, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, -1)));
    EXPECT_TRUE(SendMessageW(centred, ACM_STOP, 0, 0));
    PumpUntilStopped(DialogLog());
    EXPECT_EQ(DialogLog().Joined(), "1019:ACN_START|1019:ACN_STOP");

    // What is not an AVI clip does not open (a bitmap in an "AVI" resource,
    // a resource that does not exist), and closing works.
    EXPECT_FALSE(SendMessageW(sized, ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_NOTACLIP))));
    EXPECT_FALSE(SendMessageW(sized, ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDI_SAMPLE))));
    EXPECT_FALSE(SendMessageW(sized, ACM_PLAY, 1, MAKELPARAM(0, -1)));
    EXPECT_TRUE(SendMessageW(centred, ACM_OPENW, 0, 0));
    EXPECT_FALSE(SendMessageW(centred, ACM_PLAY, 1, MAKELPARAM(0, -1)));
    EXPECT_TRUE(DestroyWindow(dlg));
}

#ifndef _WIN32
INT_PTR CALLBACK AllControlsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SendDlgItemMessageW(hwnd, IDC_SPIN, UDM_SETRANGE32, 1, 99);
        SendDlgItemMessageW(hwnd, IDC_SPIN, UDM_SETPOS32, 0, 1);
        for (const WCHAR* s : {WL("A4"), WL("Letter"), WL("Legal")}) {
            SendDlgItemMessageW(hwnd, IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(hwnd, IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendDlgItemMessageW(hwnd, IDC_COMBOEDIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
        SendDlgItemMessageW(hwnd, IDC_COMBO, CB_SETCURSEL, 0, 0);
        HWND view = GetDlgItem(hwnd, IDC_LISTVIEW);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 90;
        col.pszText = const_cast<WCHAR*>(WL("Destination"));
        SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
        SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
        for (const WCHAR* s : {WL("Office"), WL("Home")}) {
            LVITEMW lv{};
            lv.mask = LVIF_TEXT;
            lv.iItem = 99;
            lv.pszText = const_cast<WCHAR*>(s);
            SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv));
        }
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        for (const WCHAR* s : {WL("One"), WL("Two")}) {
            tab.pszText = const_cast<WCHAR*>(s);
            SendDlgItemMessageW(hwnd, IDC_TAB, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&tab));
        }
        SendDlgItemMessageW(hwnd, IDC_TRACK, TBM_SETRANGE, TRUE, MAKELPARAM(0, 8));
        SendDlgItemMessageW(hwnd, IDC_PROGRESS, PBM_SETPOS, 30, 0);
        SendDlgItemMessageW(hwnd, IDC_ANIMATE, ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_CLIP)));
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, LOWORD(wParam) == IDOK ? 100 : 0);
        return TRUE;
    }
    return uitest::RecordingDialogProc(hwnd, msg, wParam, lParam);
}

std::string g_tree;

// Acts on every control as a user would, then presses OK.
void DriveAll(void*, HWND dlg) {
    auto item = [&](int id) { return GetDlgItem(dlg, id); };
    EXPECT_EQ(NvxUi_DialogResourceId(dlg), IDD_ALLCONTROLS);
    EXPECT_TRUE(NvxUi_Type(item(IDC_EDIT), WL("Report"), NVXUI_TYPE_REPLACE));
    EXPECT_TRUE(NvxUi_Type(item(IDC_PASSWORD), WL("pw"), NVXUI_TYPE_REPLACE));
    EXPECT_TRUE(NvxUi_Spin(item(IDC_SPIN), 3));
    EXPECT_TRUE(NvxUi_SetCheck(item(IDC_CHECK), BST_CHECKED));
    EXPECT_TRUE(NvxUi_SetCheck(item(IDC_3STATE), BST_INDETERMINATE));
    EXPECT_TRUE(NvxUi_Click(item(IDC_RADIO2)));
    EXPECT_TRUE(NvxUi_ChooseListItem(item(IDC_LIST), 1));
    EXPECT_TRUE(NvxUi_ChooseComboText(item(IDC_COMBO), WL("Legal")));
    EXPECT_TRUE(NvxUi_Type(item(IDC_COMBOEDIT), WL("Custom"), NVXUI_TYPE_REPLACE));
    EXPECT_TRUE(NvxUi_CheckListItem(item(IDC_LISTVIEW), 1, TRUE));
    EXPECT_TRUE(NvxUi_ChooseListItem(item(IDC_LISTVIEW), 0));
    EXPECT_TRUE(NvxUi_SelectTab(item(IDC_TAB), 1));
    EXPECT_TRUE(NvxUi_SetTrackBar(item(IDC_TRACK), 5));
    EXPECT_TRUE(NvxUi_PressKey(dlg, 'D'));  // mnemonic &Duplex outside an edit: toggles the box back
    EXPECT_TRUE(NvxUi_ContextHelp(item(IDC_EDIT)));
    int need = NvxUi_RenderTree(dlg, nullptr, 0);
    std::string tree(static_cast<size_t>(need) + 1, '\0');
    EXPECT_EQ(NvxUi_RenderTree(dlg, tree.data(), need + 1), need);
    tree.resize(static_cast<size_t>(need));
    g_tree = tree;
    EXPECT_TRUE(NvxUi_PressButton(dlg, IDOK));
}

TEST_F(Resources, AnimationAnswersWhetherItPlays) {
    HWND dlg = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_ALLCONTROLS), nullptr, uitest::RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    HWND clip = GetDlgItem(dlg, IDC_ANIMATE);
    EXPECT_TRUE(SendMessageW(clip, ACM_OPENW, reinterpret_cast<WPARAM>(module_),
                             reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_CLIP))));
    EXPECT_FALSE(SendMessageW(clip, ACM_ISPLAYING, 0, 0));
    DialogLog().Clear();
    EXPECT_TRUE(SendMessageW(clip, ACM_PLAY, 1, MAKELPARAM(0, -1)));
    EXPECT_TRUE(SendMessageW(clip, ACM_ISPLAYING, 0, 0));
    PumpUntilStopped(DialogLog());
    EXPECT_FALSE(SendMessageW(clip, ACM_ISPLAYING, 0, 0));
    EXPECT_TRUE(DestroyWindow(dlg));
}

TEST_F(Resources, HostDrivesEveryControlClass) {
    int before = NvxUi_WindowCount();
    NvxUi_SetModalDriver(DriveAll, nullptr);
    EXPECT_EQ(DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_ALLCONTROLS), nullptr, AllControlsProc, 0), 100);
    EXPECT_EQ(NvxUi_WindowCount(), before);  // every control went with the dialog
    std::string log = DialogLog().Joined();
    for (const char* expected :
         {"1002:EN_CHANGE", "1004:UDN_DELTAPOS", "1006:BN_CLICKED", "1010:BN_CLICKED", "1013:LBN_SELCHANGE",
          "1014:CBN_SELENDOK", "1015:CBN_EDITCHANGE", "1016:LVN_ITEMCHANGED", "1016:NM_CLICK", "1017:TCN_SELCHANGE",
          "WM_HSCROLL 4 5"})
        EXPECT_NE(log.find(expected), std::string::npos) << expected << " in " << log;

    // The rendering: one line per control, stable and readable.
    for (const char* expected :
         {"window #32770 \"All controls\" template=100", "#1001 Static \"&Name:\" left du(7,9,40,8) px(",
          "#1002 Edit \"Report\"", "#1005 Edit \"\xE2\x97\x8F\xE2\x97\x8F\" password",
          "#1004 msctls_updown32 \"\" range=1..99 pos=4 buddy=#1003", "#1006 Button \"&Duplex\" auto-checkbox unchecked",
          "#1007 Button \"&Mixed\" auto-3state indeterminate", "#1010 Button \"&Landscape\" auto-radio checked",
          "#1011 Static \"\" icon image=\"icon #200\"", "#1012 Static \"\" bitmap image=\"bitmap #201\"",
          "#1014 ComboBox \"Legal\" dropdownlist sel=2 items=3", "    * \"Legal\"",
          "#1016 SysListView32 \"\" items=2 checkboxes columns: \"Destination\" 90", "* \"Office\" focused unchecked",
          "- \"Home\" checked", "#1017 SysTabControl32 \"\" sel=1 items=2", "#1018 msctls_trackbar32 \"\" range=0..8 pos=5",
          "#1019 SysAnimate32 \"\" clip=#202 frames=2 frame=0", "#1020 msctls_progress32 \"\" range=0..100 pos=30",
          "#1 Button \"OK\" default-push"})
        EXPECT_NE(g_tree.find(expected), std::string::npos) << expected << "\n" << g_tree;
    ASSERT_GT(NvxUi_LogCount(), 0);
    NvxUiLogEntry e;
    NvxUi_GetLogEntry(NvxUi_LogCount() - 1, &e);
    EXPECT_EQ(e.kind, NVXUI_LOG_DIALOG);
    EXPECT_EQ(e.resourceId, IDD_ALLCONTROLS);
    EXPECT_EQ(e.result, 100);
    EXPECT_TRUE(e.answered);
}
#endif

}  // namespace
