// Property sheets: page handles and their callbacks, lazy page creation, the
// PROPSHEETPAGEW copy in WM_INITDIALOG, page switching with PSN_KILLACTIVE and
// PSN_SETACTIVE, Apply/OK/Cancel and their notifications, modeless and modal sheets.
#include "platform/ui_test_util.h"

namespace {

using uitest::Recorder;
using uitest::TemplateBuilder;
using uitest::UiTest;

constexpr int kApply = 0x3021;

Recorder g_log;
const PROPSHEETPAGEW* g_initParam[3] = {};
bool g_refuseKill[3] = {};
LRESULT g_applyAnswer[3] = {};
bool g_refuseCancel = false;
bool g_selfCancel = false;

const char* PsnName(UINT code) {
    switch (code) {
    case PSN_SETACTIVE: return "PSN_SETACTIVE";
    case PSN_KILLACTIVE: return "PSN_KILLACTIVE";
    case PSN_APPLY: return "PSN_APPLY";
    case PSN_RESET: return "PSN_RESET";
    case PSN_HELP: return "PSN_HELP";
    case PSN_QUERYCANCEL: return "PSN_QUERYCANCEL";
    default: return nullptr;
    }
}

// "p1", "p2": how the log names a page.
std::string PageName(int page) {
    std::string name = "p";
    name += std::to_string(page);
    return name;
}

INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    int page = static_cast<int>(GetWindowLongPtrW(hwnd, DWLP_USER));
    std::string p = PageName(page) + " ";
    switch (msg) {
    case WM_INITDIALOG: {
        auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        page = static_cast<int>(psp->lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, page);
        g_initParam[page] = psp;
        g_log.Add(PageName(page) + " WM_INITDIALOG");
        if (g_selfCancel) PostMessageW(GetParent(hwnd), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* psn = reinterpret_cast<const PSHNOTIFY*>(lParam);
        const char* name = PsnName(psn->hdr.code);
        if (!name) return FALSE;
        std::string line = p + name;
        if (psn->hdr.code == PSN_APPLY || psn->hdr.code == PSN_RESET) line += " " + std::to_string(psn->lParam);
        g_log.Add(line);
        LRESULT answer = 0;
        if (psn->hdr.code == PSN_KILLACTIVE) answer = g_refuseKill[page];
        if (psn->hdr.code == PSN_APPLY) answer = g_applyAnswer[page];
        if (psn->hdr.code == PSN_QUERYCANCEL) answer = g_refuseCancel;
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    case PSM_QUERYSIBLINGS:
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, page == 2 ? static_cast<LRESULT>(wParam) * 2 : 0);
        return TRUE;
    case WM_DESTROY:
        g_log.Add(p + "WM_DESTROY");
        return FALSE;
    default: return FALSE;
    }
}

UINT CALLBACK PageCallback(HWND, UINT msg, PROPSHEETPAGEW* psp) {
    const char* name = msg == PSPCB_ADDREF ? "ADDREF" : msg == PSPCB_CREATE ? "CREATE" : "RELEASE";
    g_log.Add(std::string("cb ") + name + " " + std::to_string(psp->lParam));
    return 1;
}

class Sheets : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        g_log.Clear();
        for (int i = 0; i < 3; ++i) {
            g_initParam[i] = nullptr;
            g_refuseKill[i] = false;
            g_applyAnswer[i] = PSNRET_NOERROR;
        }
        g_refuseCancel = false;
        g_selfCancel = false;
        first_.Control(100, 0x80, nullptr, WL("Option"), BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 5, 5, 60, 10);
        second_.Control(200, 0x81, nullptr, WL(""), WS_TABSTOP | WS_VISIBLE | WS_BORDER, 5, 5, 60, 14);
        for (int i = 0; i < 2; ++i) {
            PROPSHEETPAGEW& p = pages_[i];
            p = PROPSHEETPAGEW{};
            p.dwSize = sizeof p;
            p.dwFlags = PSP_DLGINDIRECT | PSP_USECALLBACK;
            p.pResource = i == 0 ? first_.Get() : second_.Get();
            p.pfnDlgProc = PageProc;
            p.pfnCallback = PageCallback;
            p.lParam = i + 1;
        }
        pages_[1].dwFlags |= PSP_USETITLE;
        pages_[1].pszTitle = WL("Second");
    }
    PROPSHEETHEADERW Header(DWORD flags, HPROPSHEETPAGE* handles) {
        PROPSHEETHEADERW h{};
        h.dwSize = sizeof h;
        h.dwFlags = flags;
        h.pszCaption = WL("Settings");
        h.nPages = 2;
        h.phpage = handles;
        return h;
    }
    HWND Modeless() {
        handles_[0] = CreatePropertySheetPageW(&pages_[0]);
        handles_[1] = CreatePropertySheetPageW(&pages_[1]);
        PROPSHEETHEADERW h = Header(PSH_MODELESS, handles_);
        return reinterpret_cast<HWND>(PropertySheetW(&h));
    }
    TemplateBuilder first_{DS_SETFONT | WS_CHILD | WS_CAPTION, 150, 80, WL("First")};
    TemplateBuilder second_{DS_SETFONT | WS_CHILD | WS_CAPTION, 160, 90, WL("Ignored")};
    PROPSHEETPAGEW pages_[2];
    HPROPSHEETPAGE handles_[2] = {};
};

TEST_F(Sheets, PagesAreCreatedWhenFirstShown) {
    HWND sheet = Modeless();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(g_log.Joined(), "cb ADDREF 1|cb ADDREF 2|cb CREATE 1|p1 WM_INITDIALOG|p1 PSN_SETACTIVE");
    // The page's WM_INITDIALOG gets the sheet's copy of its PROPSHEETPAGEW.
    ASSERT_NE(g_initParam[1], nullptr);
    EXPECT_NE(g_initParam[1], &pages_[0]);
    EXPECT_EQ(g_initParam[1]->lParam, 1);
    EXPECT_EQ(g_initParam[1]->dwSize, sizeof(PROPSHEETPAGEW));
    HWND page1 = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_NE(page1, nullptr);
    EXPECT_EQ(GetParent(page1), sheet);
    EXPECT_TRUE(GetWindowLongW(page1, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongW(page1, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(PropSheet_IndexToHwnd(sheet, 1), nullptr);  // not shown yet, not created

    HWND tab = PropSheet_GetTabControl(sheet);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    WCHAR text[16] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 16;
    SendMessageW(tab, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("First")));  // the page template's caption
    SendMessageW(tab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(nvx::WString(text), nvx::WString(WL("Second")));  // PSP_USETITLE

    g_log.Clear();
    EXPECT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 1));
    EXPECT_EQ(g_log.Joined(), "p1 PSN_KILLACTIVE|cb CREATE 2|p2 WM_INITDIALOG|p2 PSN_SETACTIVE");
    HWND page2 = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_EQ(PropSheet_IndexToHwnd(sheet, 1), page2);
    EXPECT_FALSE(IsWindowVisible(page1));
    EXPECT_TRUE(IsWindowVisible(page2));
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(PropSheet_HwndToIndex(sheet, page2), 1);
    EXPECT_EQ(PropSheet_QuerySiblings(sheet, 21, 0), 42);

    // A page that answers PSN_KILLACTIVE with TRUE keeps the selection.
    g_refuseKill[2] = true;
    g_log.Clear();
    EXPECT_FALSE(PropSheet_SetCurSel(sheet, nullptr, 0));
    EXPECT_EQ(g_log.Joined(), "p2 PSN_KILLACTIVE");
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet), page2);

    g_log.Clear();
    EXPECT_TRUE(DestroyWindow(sheet));
    EXPECT_EQ(g_log.Joined("WM_DESTROY"), "p1 WM_DESTROY|p2 WM_DESTROY");
    EXPECT_EQ(g_log.Joined("cb"), "cb RELEASE 1|cb RELEASE 2");
}

TEST_F(Sheets, ApplyOkAndInvalidPages) {
    HWND sheet = Modeless();
    PropSheet_SetCurSel(sheet, nullptr, 1);
    HWND apply = GetDlgItem(sheet, kApply);
    ASSERT_NE(apply, nullptr);
    EXPECT_FALSE(IsWindowEnabled(apply));
    PropSheet_Changed(sheet, PropSheet_GetCurrentPageHwnd(sheet));
    EXPECT_TRUE(IsWindowEnabled(apply));
    PropSheet_UnChanged(sheet, PropSheet_GetCurrentPageHwnd(sheet));
    EXPECT_FALSE(IsWindowEnabled(apply));
    PropSheet_Changed(sheet, PropSheet_GetCurrentPageHwnd(sheet));

    g_log.Clear();
    SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(kApply, BN_CLICKED), reinterpret_cast<LPARAM>(apply));
    EXPECT_EQ(g_log.Joined(), "p2 PSN_KILLACTIVE|p1 PSN_APPLY 0|p2 PSN_APPLY 0|p2 PSN_SETACTIVE");
    EXPECT_FALSE(IsWindowEnabled(apply));
    EXPECT_NE(PropSheet_GetCurrentPageHwnd(sheet), nullptr);

    // PSNRET_INVALID keeps the sheet and shows that page.
    g_applyAnswer[1] = PSNRET_INVALID;
    g_log.Clear();
    EXPECT_FALSE(PropSheet_Apply(sheet));
    EXPECT_EQ(g_log.Joined(), "p2 PSN_KILLACTIVE|p1 PSN_APPLY 0");
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet), PropSheet_IndexToHwnd(sheet, 0));
    g_applyAnswer[1] = PSNRET_NOERROR;

    // OK applies with lParam TRUE; a modeless sheet then answers no current page.
    g_log.Clear();
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_EQ(g_log.Joined(), "p1 PSN_KILLACTIVE|p1 PSN_APPLY 1|p2 PSN_APPLY 1");
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet), nullptr);
    EXPECT_TRUE(DestroyWindow(sheet));
}

TEST_F(Sheets, CancelAsksTheCurrentPageFirst) {
    HWND sheet = Modeless();
    g_refuseCancel = true;
    g_log.Clear();
    SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(g_log.Joined(), "p1 PSN_QUERYCANCEL");
    EXPECT_NE(PropSheet_GetCurrentPageHwnd(sheet), nullptr);
    g_refuseCancel = false;
    g_log.Clear();
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(g_log.Joined(), "p1 PSN_QUERYCANCEL|p1 PSN_RESET 0");  // only created pages hear it
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet), nullptr);
    EXPECT_TRUE(DestroyWindow(sheet));

    // A page of too small a size fails cleanly.
    PROPSHEETPAGEW small = pages_[0];
    small.dwSize = 16;
    EXPECT_EQ(CreatePropertySheetPageW(&small), nullptr);
}

TEST_F(Sheets, AHeaderOfTooSmallASizeIsRefused) {
    PROPSHEETHEADERW bad{};
    bad.dwSize = 8;
    EXPECT_EQ(PropertySheetW(&bad), -1);
}

TEST_F(Sheets, ModalSheetRunsItsOwnLoop) {
    // A page that presses Cancel from its queue: the modal sheet answers 0.
    g_selfCancel = true;
    PROPSHEETHEADERW h = Header(PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW, nullptr);
    h.ppsp = pages_;
    EXPECT_EQ(PropertySheetW(&h), 0);
    EXPECT_NE(g_log.Joined().find("p1 PSN_RESET 0"), std::string::npos);
    EXPECT_NE(g_log.Joined().find("cb RELEASE 2"), std::string::npos);  // the sheet freed the pages it made
}

#ifndef _WIN32
void SwitchAndOk(void*, HWND sheet) {
    g_log.Add("driver");
    EXPECT_TRUE(NvxUi_SelectTab(sheet, 1));
    HWND page2 = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_TRUE(NvxUi_Type(GetDlgItem(page2, 200), WL("12"), NVXUI_TYPE_REPLACE));
    // The page refuses to be left: the tab stays.
    g_refuseKill[2] = true;
    EXPECT_TRUE(NvxUi_SelectTab(sheet, 0));
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet), page2);
    g_refuseKill[2] = false;
    EXPECT_TRUE(NvxUi_PressButton(sheet, IDOK));
}

TEST_F(Sheets, HostDrivesAModalSheet) {
    NvxUi_SetModalDriver(SwitchAndOk, nullptr);
    PROPSHEETHEADERW h = Header(PSH_PROPSHEETPAGE, nullptr);
    h.ppsp = pages_;
    EXPECT_EQ(PropertySheetW(&h), 1);  // OK applied the changes
    std::string log = g_log.Joined();
    EXPECT_NE(log.find("driver|p1 PSN_KILLACTIVE|cb CREATE 2|p2 WM_INITDIALOG|p2 PSN_SETACTIVE"), std::string::npos);
    EXPECT_NE(log.find("p2 PSN_KILLACTIVE|p2 PSN_KILLACTIVE|p1 PSN_APPLY 1|p2 PSN_APPLY 1"), std::string::npos);
    NvxUiLogEntry e;
    ASSERT_TRUE(NvxUi_GetLogEntry(NvxUi_LogCount() - 1, &e));
    EXPECT_EQ(e.kind, NVXUI_LOG_SHEET);
    EXPECT_TRUE(e.answered);
    EXPECT_EQ(nvx::WString(e.caption), nvx::WString(WL("Settings")));

    // Without a driver the sheet is cancelled: 0.
    NvxUi_SetModalDriver(nullptr, nullptr);
    g_log.Clear();
    EXPECT_EQ(PropertySheetW(&h), 0);
    EXPECT_NE(g_log.Joined().find("p1 PSN_QUERYCANCEL|p1 PSN_RESET 0"), std::string::npos);
}
#endif

}  // namespace
