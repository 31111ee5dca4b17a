// Property sheets: pages (CreatePropertySheetPageW keeps a copy of the caller's
// PROPSHEETPAGEW, dwSize bytes, which the page's WM_INITDIALOG receives as
// lParam), the sheet dialog (a tab control, OK, Cancel, Apply, Help) and its
// notifications, as Windows sends them:
//   a tab click        TCN_SELCHANGING -> PSN_KILLACTIVE to the page (TRUE in
//                      DWLP_MSGRESULT keeps it), TCN_SELCHANGE -> the new page
//                      is created when first shown, PSN_SETACTIVE, shown
//   OK / Apply         PSN_KILLACTIVE to the current page, PSN_APPLY (lParam TRUE
//                      for OK) to every page created, in order; PSNRET_INVALID
//                      shows that page and keeps the sheet, PSNRET_INVALID_NOCHANGEPAGE
//                      keeps the sheet; Apply then sends PSN_SETACTIVE again
//   Cancel             PSN_QUERYCANCEL (TRUE keeps the sheet), PSN_RESET to every page
//   Help               PSN_HELP to the current page
// A modeless sheet (PSH_MODELESS) is not destroyed by OK or Cancel: then
// PSM_GETCURRENTPAGEHWND answers NULL and the host destroys it.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/user32/user_internal.h"
#include "platform/ui_host.h"

namespace nvxp {
namespace {

constexpr int kTabId = 0x3020;
constexpr int kApplyId = 0x3021;

// ---- Page handles ----------------------------------------------------------

struct PageHandle {
    std::vector<uint64_t> storage;  // the PROPSHEETPAGEW copy, 8-byte aligned
    nvx::WString templateName, title, icon, headerTitle, headerSubTitle;
    PROPSHEETPAGEW* Psp() { return reinterpret_cast<PROPSHEETPAGEW*>(storage.data()); }
};

HandleSet<PageHandle>& Pages() {
    static auto* set = new HandleSet<PageHandle>;
    return *set;
}

// Keeps a private copy of a string field (names stay as they are).
void Own(LPCWSTR& field, nvx::WString& store) {
    if (!field || IS_INTRESOURCE(field)) return;
    store = field;
    field = store.c_str();
}

UINT Callback(PageHandle* page, UINT msg) {
    PROPSHEETPAGEW* psp = page->Psp();
    if (!(psp->dwFlags & PSP_USECALLBACK) || !psp->pfnCallback) return 1;
    return psp->pfnCallback(nullptr, msg, psp);
}

// The page's template: pointer and size (SIZE_MAX when given in memory).
const void* PageTemplate(PageHandle* page, size_t* size, int* resourceId) {
    PROPSHEETPAGEW* psp = page->Psp();
    *resourceId = 0;
    if (psp->dwFlags & PSP_DLGINDIRECT) {
        *size = SIZE_MAX;
        return psp->pResource;
    }
    if (IS_INTRESOURCE(psp->pszTemplate))
        *resourceId = static_cast<int>(reinterpret_cast<uintptr_t>(psp->pszTemplate));
    return FindDialogTemplate(psp->hInstance, psp->pszTemplate, size);
}

nvx::WString LoadText(HINSTANCE module, LPCWSTR text) {
    if (!text) return {};
    if (!IS_INTRESOURCE(text)) return text;
    WCHAR buffer[256] = {};
    int n = LoadStringW(module, static_cast<UINT>(reinterpret_cast<uintptr_t>(text)), buffer, 256);
    return nvx::WString(buffer, static_cast<size_t>(std::max(n, 0)));
}

// ---- The sheet -------------------------------------------------------------

struct PageEntry {
    HPROPSHEETPAGE handle = nullptr;
    HWND hwnd = nullptr;
    bool dirty = false;
    bool hasHelp = false;
    nvx::WString title;
    SIZE size{};
    int resourceId = 0;
};

struct Sheet {
    PROPSHEETHEADERW header{};
    std::vector<PageEntry> pages;
    int active = -1;
    bool activeValid = true;
    bool ended = false;
    bool modeless = false;
    INT_PTR result = 0;
    int start = 0;
    HWND hwnd = nullptr;
    bool windowOwns = false;  // the sheet window frees the record (set once it exists)
};

Sheet* SheetOf(HWND hwnd) {
    if (!IsWindow(hwnd)) return nullptr;
    return reinterpret_cast<Sheet*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

LRESULT SendPsn(HWND sheet, HWND page, UINT code, LPARAM lParam) {
    PSHNOTIFY psn{};
    psn.hdr.hwndFrom = sheet;
    psn.hdr.idFrom = 0;
    psn.hdr.code = code;
    psn.lParam = lParam;
    return page ? Send(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&psn)) : 0;
}

HWND Item(HWND sheet, int id) {
    return GetDlgItem(sheet, id);
}

bool CreatePage(Sheet* s, int index) {
    PageEntry& entry = s->pages[static_cast<size_t>(index)];
    PageHandle* page = Pages().Find(entry.handle);
    if (!page) return false;
    size_t size = 0;
    int resourceId = 0;
    const void* data = PageTemplate(page, &size, &resourceId);
    if (!data) return false;
    if (!Callback(page, PSPCB_CREATE)) return false;
    TemplateAdjust adjust;
    adjust.styleSet = WS_CHILD | WS_TABSTOP | DS_CONTROL;
    adjust.styleClear = DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | WS_POPUP | WS_DISABLED | WS_VISIBLE | WS_THICKFRAME;
    adjust.exStyleSet = WS_EX_CONTROLPARENT;
    PROPSHEETPAGEW* psp = page->Psp();
    HWND hwnd = CreateDialogFromTemplate(psp->hInstance, data, size, s->hwnd, psp->pfnDlgProc,
                                         reinterpret_cast<LPARAM>(psp), false, nullptr, resourceId, &adjust);
    if (!hwnd) return false;
    if (Sheet* again = SheetOf(s->hwnd)) again->pages[static_cast<size_t>(index)].hwnd = hwnd;
    return true;
}

// Places a page in the tab control's display area, on top of the z-order.
void PlacePage(Sheet* s, HWND page) {
    HWND tab = Item(s->hwnd, kTabId);
    RECT r;
    GetWindowRect(tab, &r);
    MapWindowPoints(nullptr, s->hwnd, reinterpret_cast<POINT*>(&r), 2);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    SetWindowPos(page, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
}

void ShowPage(Sheet* s, int index) {
    if (index == s->active) return;
    if (s->active >= 0 && s->pages[static_cast<size_t>(s->active)].hwnd)
        ShowWindow(s->pages[static_cast<size_t>(s->active)].hwnd, SW_HIDE);
    HWND page = s->pages[static_cast<size_t>(index)].hwnd;
    if (page) ShowWindow(page, SW_SHOW);
    SendMessageW(Item(s->hwnd, kTabId), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    s->active = index;
    s->activeValid = true;
    if (HWND help = Item(s->hwnd, IDHELP)) EnableWindow(help, s->pages[static_cast<size_t>(index)].hasHelp);
}

int IndexOf(Sheet* s, HPROPSHEETPAGE handle, int fallback) {
    if (!handle) return fallback;
    for (size_t i = 0; i < s->pages.size(); ++i)
        if (s->pages[i].handle == handle) return static_cast<int>(i);
    return -1;
}

int IndexOfResource(Sheet* s, LRESULT id) {
    for (size_t i = 0; i < s->pages.size(); ++i)
        if (s->pages[i].resourceId == static_cast<int>(id)) return static_cast<int>(i);
    return -1;
}

void RemovePage(HWND sheet, int index);

// Selects a page: created when first shown, PSN_SETACTIVE (which may redirect), shown.
bool SetCurSel(HWND sheet, int index, int skip, HPROPSHEETPAGE handle) {
    Sheet* s = SheetOf(sheet);
    if (!s) return false;
    index = IndexOf(s, handle, index);
    if (index < 0 || index >= static_cast<int>(s->pages.size())) return false;
    if (s->active >= 0 && s->pages[static_cast<size_t>(s->active)].hwnd)
        ShowWindow(s->pages[static_cast<size_t>(s->active)].hwnd, SW_HIDE);
    if (!(s = SheetOf(sheet))) return false;
    s->active = -1;
    for (int guard = 0; guard < 2 * static_cast<int>(s->pages.size()) + 2; ++guard) {
        SendMessageW(Item(sheet, kTabId), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (!s->pages[static_cast<size_t>(index)].hwnd && !CreatePage(s, index)) {
            RemovePage(sheet, index);
            if (!(s = SheetOf(sheet)) || s->pages.empty()) return false;
            index = std::min(index, static_cast<int>(s->pages.size()) - 1);
            continue;
        }
        if (!(s = SheetOf(sheet))) return false;
        HWND page = s->pages[static_cast<size_t>(index)].hwnd;
        PlacePage(s, page);
        LRESULT answer = SendPsn(sheet, page, PSN_SETACTIVE, 0);
        if (!(s = SheetOf(sheet))) return false;
        if (answer == 0) break;
        if (answer == -1) {
            int next = index + skip;
            if (next < 0 || next >= static_cast<int>(s->pages.size())) break;
            index = next;
            continue;
        }
        int target = IndexOfResource(s, answer);
        if (target < 0) break;
        index = target;
    }
    ShowPage(s, index);
    return true;
}

// PSN_KILLACTIVE to the current page: may the selection change?
bool CanSetCurSel(HWND sheet) {
    Sheet* s = SheetOf(sheet);
    if (!s) return false;
    if (s->active < 0) return true;
    return SendPsn(sheet, s->pages[static_cast<size_t>(s->active)].hwnd, PSN_KILLACTIVE, 0) == 0;
}

bool Apply(HWND sheet, bool ok) {
    Sheet* s = SheetOf(sheet);
    if (!s || s->active < 0 || !s->activeValid) return false;
    if (SendPsn(sheet, s->pages[static_cast<size_t>(s->active)].hwnd, PSN_KILLACTIVE, 0)) return false;
    for (size_t i = 0; (s = SheetOf(sheet)) && i < s->pages.size(); ++i) {
        HWND page = s->pages[i].hwnd;
        if (!page) continue;
        LRESULT answer = SendPsn(sheet, page, PSN_APPLY, ok ? TRUE : FALSE);
        if (!(s = SheetOf(sheet))) return false;
        if (answer == PSNRET_INVALID) {
            ShowPage(s, static_cast<int>(i));
            return false;
        }
        if (answer == PSNRET_INVALID_NOCHANGEPAGE) return false;
    }
    if (!(s = SheetOf(sheet))) return false;
    for (PageEntry& entry : s->pages) entry.dirty = false;
    if (s->result == 0) s->result = IDOK;
    if (ok) {
        if (s->modeless) s->activeValid = false;
        else s->ended = true;
    } else if (s->active >= 0) {
        SendPsn(sheet, s->pages[static_cast<size_t>(s->active)].hwnd, PSN_SETACTIVE, 0);
    }
    return true;
}

void Cancel(HWND sheet, LPARAM closeButton) {
    Sheet* s = SheetOf(sheet);
    if (!s || s->active < 0 || !s->activeValid || s->ended) return;
    if (SendPsn(sheet, s->pages[static_cast<size_t>(s->active)].hwnd, PSN_QUERYCANCEL, 0)) return;
    for (size_t i = 0; (s = SheetOf(sheet)) && i < s->pages.size(); ++i)
        if (HWND page = s->pages[i].hwnd) SendPsn(sheet, page, PSN_RESET, closeButton);
    if (!(s = SheetOf(sheet))) return;
    if (s->modeless) s->activeValid = false;
    else s->ended = true;
}

void Changed(HWND sheet, HWND page, bool dirty) {
    Sheet* s = SheetOf(sheet);
    if (!s) return;
    bool any = false;
    for (PageEntry& entry : s->pages) {
        if (entry.hwnd == page) entry.dirty = dirty;
        any |= entry.dirty;
    }
    HWND apply = Item(sheet, kApplyId);
    if (apply && !(s->header.dwFlags & PSH_NOAPPLYNOW)) EnableWindow(apply, dirty || any);
}

bool DoCommand(HWND sheet, int id) {
    switch (id) {
    case IDOK:
    case kApplyId:
        if (Apply(sheet, id == IDOK) && id == kApplyId)
            if (HWND apply = Item(sheet, kApplyId)) EnableWindow(apply, FALSE);
        return true;
    case IDCANCEL:
        Cancel(sheet, 0);
        return true;
    case IDHELP: {
        Sheet* s = SheetOf(sheet);
        if (s && s->active >= 0) SendPsn(sheet, s->pages[static_cast<size_t>(s->active)].hwnd, PSN_HELP, 0);
        return true;
    }
    default:
        return false;
    }
}

void SetTitle(HWND sheet, DWORD style, LPCWSTR text) {
    Sheet* s = SheetOf(sheet);
    if (!s) return;
    nvx::WString title = LoadText(s->header.hInstance, text);
    if (style & PSH_PROPTITLE) title += WL(" Properties");
    SetWindowTextW(sheet, title.c_str());
}

void InsertTab(HWND sheet, int index, const nvx::WString& text) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<WCHAR*>(text.c_str());
    SendMessageW(Item(sheet, kTabId), TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// Fills in a page entry from its handle: title, size, help; false if it has no template.
bool Describe(PageEntry& entry) {
    PageHandle* page = Pages().Find(entry.handle);
    if (!page) return false;
    size_t size = 0;
    const void* data = PageTemplate(page, &size, &entry.resourceId);
    nvx::WString caption;
    if (!data || !TemplateClientSize(data, size, &entry.size, &caption)) return false;
    PROPSHEETPAGEW* psp = page->Psp();
    entry.title = (psp->dwFlags & PSP_USETITLE) ? LoadText(psp->hInstance, psp->pszTitle) : caption;
    entry.hasHelp = (psp->dwFlags & PSP_HASHELP) != 0;
    return true;
}

void RemovePage(HWND sheet, int index) {
    Sheet* s = SheetOf(sheet);
    if (!s || index < 0 || index >= static_cast<int>(s->pages.size())) return;
    if (index == s->active) {
        if (s->pages.size() > 1) {
            SetCurSel(sheet, index > 0 ? index - 1 : index + 1, index > 0 ? -1 : 1, nullptr);
            if (!(s = SheetOf(sheet))) return;
        } else {
            s->active = -1;
        }
    }
    PageEntry entry = s->pages[static_cast<size_t>(index)];
    s->pages.erase(s->pages.begin() + index);
    if (s->active > index) --s->active;
    SendMessageW(Item(sheet, kTabId), TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
    if (entry.hwnd && IsWindow(entry.hwnd)) DestroyWindow(entry.hwnd);
    DestroyPropertySheetPage(entry.handle);
}

bool AddPage(HWND sheet, int index, HPROPSHEETPAGE handle) {
    Sheet* s = SheetOf(sheet);
    if (!s || !Pages().Contains(handle)) return false;
    PageEntry entry;
    entry.handle = handle;
    if (!Describe(entry)) return false;
    index = std::clamp(index, 0, static_cast<int>(s->pages.size()));
    s->pages.insert(s->pages.begin() + index, entry);
    if (s->active >= index) ++s->active;
    InsertTab(sheet, index, entry.title);
    if ((s = SheetOf(sheet)) && s->pages.size() == 1) SetCurSel(sheet, 0, 1, nullptr);
    return true;
}

LRESULT Answer(HWND sheet, LRESULT value) {
    SetWindowLongPtrW(sheet, DWLP_MSGRESULT, value);
    return TRUE;
}

void Initialise(HWND sheet, Sheet* s) {
    s->hwnd = sheet;
    SetWindowLongPtrW(sheet, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    for (size_t i = 0; i < s->pages.size(); ++i) InsertTab(sheet, static_cast<int>(i), s->pages[i].title);
    if ((s->header.dwFlags & PSH_USEICONID) || (s->header.dwFlags & PSH_USEHICON)) {
        HICON icon = (s->header.dwFlags & PSH_USEHICON)
                         ? s->header.hIcon
                         : LoadIconW(s->header.hInstance, s->header.pszIcon);
        SendMessageW(sheet, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    SetTitle(sheet, s->header.dwFlags, s->header.pszCaption);
    if ((s->header.dwFlags & PSH_USECALLBACK) && s->header.pfnCallback)
        s->header.pfnCallback(sheet, PSCB_INITIALIZED, 0);
    if (!(s = SheetOf(sheet))) return;
    for (size_t i = 0; i < s->pages.size(); ++i) {
        PageHandle* page = Pages().Find(s->pages[i].handle);
        if (page && (page->Psp()->dwFlags & PSP_PREMATURE) && !s->pages[i].hwnd) CreatePage(s, static_cast<int>(i));
        if (!(s = SheetOf(sheet))) return;
        if (s->pages[i].hwnd) ShowWindow(s->pages[i].hwnd, SW_HIDE);
    }
    SetCurSel(sheet, s->start, 1, nullptr);
    Changed(sheet, nullptr, false);
}

INT_PTR CALLBACK SheetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        Initialise(hwnd, reinterpret_cast<Sheet*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (!DoCommand(hwnd, LOWORD(wParam))) {
            Sheet* s = SheetOf(hwnd);
            if (s && s->activeValid && s->active >= 0)
                Send(s->pages[static_cast<size_t>(s->active)].hwnd, WM_COMMAND, wParam, lParam);
        }
        return TRUE;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (!hdr || GetDlgCtrlID(hdr->hwndFrom) != kTabId) return FALSE;
        if (hdr->code == TCN_SELCHANGE)
            SetCurSel(hwnd, static_cast<int>(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)), 1, nullptr);
        if (hdr->code == TCN_SELCHANGING) return Answer(hwnd, CanSetCurSel(hwnd) ? FALSE : TRUE);
        return FALSE;
    }
    case WM_CLOSE:
        Cancel(hwnd, TRUE);
        return FALSE;
    case WM_DESTROY: {
        Sheet* s = SheetOf(hwnd);
        if (!s) return FALSE;
        std::vector<PageEntry> pages = s->pages;
        for (const PageEntry& entry : pages) {
            if (entry.hwnd && IsWindow(entry.hwnd)) DestroyWindow(entry.hwnd);
            DestroyPropertySheetPage(entry.handle);
        }
        if ((s = SheetOf(hwnd))) s->pages.clear();
        return TRUE;
    }
    case WM_NCDESTROY: {
        Sheet* s = SheetOf(hwnd);
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        if (s && s->windowOwns) delete s;
        return FALSE;
    }
    case PSM_GETCURRENTPAGEHWND: {
        Sheet* s = SheetOf(hwnd);
        HWND page = s && s->activeValid && s->active >= 0 ? s->pages[static_cast<size_t>(s->active)].hwnd : nullptr;
        return Answer(hwnd, reinterpret_cast<LRESULT>(page));
    }
    case PSM_CHANGED: Changed(hwnd, reinterpret_cast<HWND>(wParam), true); return TRUE;
    case PSM_UNCHANGED: Changed(hwnd, reinterpret_cast<HWND>(wParam), false); return TRUE;
    case PSM_GETTABCONTROL: return Answer(hwnd, reinterpret_cast<LRESULT>(Item(hwnd, kTabId)));
    case PSM_SETCURSEL: {
        bool ok = CanSetCurSel(hwnd) &&
                  SetCurSel(hwnd, static_cast<int>(static_cast<INT>(wParam)), 1, reinterpret_cast<HPROPSHEETPAGE>(lParam));
        return Answer(hwnd, ok);
    }
    case PSM_SETCURSELID: {
        Sheet* s = SheetOf(hwnd);
        int index = s ? IndexOfResource(s, lParam) : -1;
        if (index >= 0 && CanSetCurSel(hwnd)) SetCurSel(hwnd, index, 1, nullptr);
        return TRUE;
    }
    case PSM_PRESSBUTTON: {
        switch (wParam) {
        case PSBTN_OK: DoCommand(hwnd, IDOK); break;
        case PSBTN_APPLYNOW: DoCommand(hwnd, kApplyId); break;
        case PSBTN_CANCEL: DoCommand(hwnd, IDCANCEL); break;
        case PSBTN_HELP: DoCommand(hwnd, IDHELP); break;
        default: break;
        }
        return TRUE;
    }
    case PSM_QUERYSIBLINGS: {
        LRESULT answer = 0;
        Sheet* s = SheetOf(hwnd);
        for (size_t i = 0; s && !answer && i < s->pages.size(); ++i) {
            if (s->pages[i].hwnd) answer = Send(s->pages[i].hwnd, PSM_QUERYSIBLINGS, wParam, lParam);
            s = SheetOf(hwnd);
        }
        return Answer(hwnd, answer);
    }
    case PSM_APPLY: return Answer(hwnd, Apply(hwnd, false));
    case PSM_SETTITLEW: SetTitle(hwnd, static_cast<DWORD>(wParam), reinterpret_cast<LPCWSTR>(lParam)); return TRUE;
    case PSM_CANCELTOCLOSE:
        EnableWindow(Item(hwnd, IDCANCEL), FALSE);
        SetWindowTextW(Item(hwnd, IDOK), WL("Close"));
        return FALSE;
    case PSM_RESTARTWINDOWS:
        if (Sheet* s = SheetOf(hwnd))
            if (s->result != ID_PSREBOOTSYSTEM) s->result = ID_PSRESTARTWINDOWS;
        return TRUE;
    case PSM_REBOOTSYSTEM:
        if (Sheet* s = SheetOf(hwnd)) s->result = ID_PSREBOOTSYSTEM;
        return TRUE;
    case PSM_ADDPAGE: {
        Sheet* s = SheetOf(hwnd);
        return Answer(hwnd, s && AddPage(hwnd, static_cast<int>(s->pages.size()), reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    }
    case PSM_INSERTPAGE: {
        Sheet* s = SheetOf(hwnd);
        if (!s) return Answer(hwnd, FALSE);
        int index = IS_INTRESOURCE(wParam) ? static_cast<int>(wParam)
                                           : IndexOf(s, reinterpret_cast<HPROPSHEETPAGE>(wParam), -1) + 1;
        return Answer(hwnd, index >= 0 && AddPage(hwnd, index, reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    }
    case PSM_REMOVEPAGE: {
        Sheet* s = SheetOf(hwnd);
        if (s) RemovePage(hwnd, IndexOf(s, reinterpret_cast<HPROPSHEETPAGE>(lParam), static_cast<int>(wParam)));
        return TRUE;
    }
    case PSM_ISDIALOGMESSAGE: {
        auto* m = reinterpret_cast<MSG*>(lParam);
        Sheet* s = SheetOf(hwnd);
        if (s && m && m->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) &&
            (m->wParam == VK_TAB || m->wParam == VK_NEXT || m->wParam == VK_PRIOR) &&
            (m->hwnd == hwnd || IsChild(hwnd, m->hwnd))) {
            int step = (m->wParam == VK_PRIOR || (m->wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000))) ? -1 : 1;
            if (CanSetCurSel(hwnd) && (s = SheetOf(hwnd)) && !s->pages.empty()) {
                int n = static_cast<int>(s->pages.size());
                SetCurSel(hwnd, (s->active + step + n) % n, step, nullptr);
            }
            return Answer(hwnd, TRUE);
        }
        return Answer(hwnd, IsDialogMessageW(hwnd, m));
    }
    case PSM_HWNDTOINDEX: {
        Sheet* s = SheetOf(hwnd);
        for (size_t i = 0; s && i < s->pages.size(); ++i)
            if (s->pages[i].hwnd == reinterpret_cast<HWND>(wParam)) return Answer(hwnd, static_cast<LRESULT>(i));
        return Answer(hwnd, -1);
    }
    case PSM_INDEXTOHWND: {
        Sheet* s = SheetOf(hwnd);
        bool ok = s && wParam < s->pages.size();
        return Answer(hwnd, ok ? reinterpret_cast<LRESULT>(s->pages[wParam].hwnd) : 0);
    }
    case PSM_PAGETOINDEX: {
        Sheet* s = SheetOf(hwnd);
        return Answer(hwnd, s ? IndexOf(s, reinterpret_cast<HPROPSHEETPAGE>(lParam), -1) : -1);
    }
    case PSM_INDEXTOPAGE: {
        Sheet* s = SheetOf(hwnd);
        bool ok = s && wParam < s->pages.size();
        return Answer(hwnd, ok ? reinterpret_cast<LRESULT>(s->pages[wParam].handle) : 0);
    }
    case PSM_IDTOINDEX: {
        Sheet* s = SheetOf(hwnd);
        return Answer(hwnd, s ? IndexOfResource(s, lParam) : -1);
    }
    case PSM_INDEXTOID: {
        Sheet* s = SheetOf(hwnd);
        bool ok = s && wParam < s->pages.size();
        return Answer(hwnd, ok ? s->pages[wParam].resourceId : 0);
    }
    case PSM_GETRESULT: {
        Sheet* s = SheetOf(hwnd);
        return Answer(hwnd, s && !s->activeValid ? s->result : -1);
    }
    case PSM_RECALCPAGESIZES: return Answer(hwnd, TRUE);
    default:
        return FALSE;
    }
}

// ---- The sheet's template ---------------------------------------------------

class TemplateWriter {
public:
    void Word(WORD w) {
        bytes.push_back(static_cast<BYTE>(w & 0xFF));
        bytes.push_back(static_cast<BYTE>(w >> 8));
    }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void String(const WCHAR* s) {
        for (; *s; ++s) Word(static_cast<WORD>(*s));
        Word(0);
    }
    void Align() {
        while (bytes.size() % 4) bytes.push_back(0);
    }
    void Control(DWORD id, const WCHAR* cls, WORD atom, const WCHAR* text, DWORD style, int x, int y, int cx, int cy) {
        Align();
        Dword(0);
        Dword(0);
        Dword(style | WS_CHILD);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Dword(id);
        if (cls) {
            String(cls);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        String(text);
        Word(0);
    }
    std::vector<BYTE> bytes;
};

// The sheet: a tab control around the largest page, buttons right-aligned below.
std::vector<uint64_t> SheetTemplate(const Sheet& s) {
    const SIZE base{6, 13};  // 8-point MS Shell Dlg
    int pageW = 0, pageH = 0;
    for (const PageEntry& entry : s.pages) {
        pageW = std::max<int>(pageW, entry.size.cx);
        pageH = std::max<int>(pageH, entry.size.cy);
    }
    int tabRow = base.cy + 8 + 2;
    int duW = (pageW * 4 + base.cx - 1) / base.cx + 6;
    int duH = ((pageH + tabRow + 2 + 4) * 8 + base.cy - 1) / base.cy + 2;
    duW = std::max(duW, 4 * 54);
    bool help = (s.header.dwFlags & PSH_HASHELP) != 0;
    bool apply = !(s.header.dwFlags & PSH_NOAPPLYNOW);
    int width = duW + 8;
    int height = duH + 4 + 7 + 14 + 7;
    DWORD style = DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (!(s.header.dwFlags & PSH_NOCONTEXTHELP)) style |= DS_CONTEXTHELP;
    TemplateWriter w;
    w.Word(1);
    w.Word(0xFFFF);
    w.Dword(0);
    w.Dword(0);
    w.Dword(style);
    w.Word(5);
    w.Word(0);
    w.Word(0);
    w.Word(static_cast<WORD>(width));
    w.Word(static_cast<WORD>(height));
    w.Word(0);
    w.Word(0);
    w.String(WL(""));
    w.Word(8);
    w.Word(FW_NORMAL);
    w.Word(0x0100);  // italic 0, charset DEFAULT_CHARSET
    w.String(WL("MS Shell Dlg"));
    int y = 4 + duH + 7;
    int x = width - 4 - 50;
    int helpX = help ? x : 0;
    if (help) x -= 54;
    int applyX = apply ? x : 0;
    if (apply) x -= 54;
    int cancelX = x;
    int okX = x - 54;
    w.Control(IDOK, nullptr, 0x80, WL("OK"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_VISIBLE, okX, y, 50, 14);
    w.Control(IDCANCEL, nullptr, 0x80, WL("Cancel"), BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, cancelX, y, 50, 14);
    w.Control(kApplyId, nullptr, 0x80, WL("&Apply"), BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED | (apply ? WS_VISIBLE : 0),
              applyX, y, 50, 14);
    w.Control(IDHELP, nullptr, 0x80, WL("Help"), BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP | (help ? WS_VISIBLE : 0), helpX,
              y, 50, 14);
    w.Control(kTabId, WL("SysTabControl32"), 0, WL(""),
              WS_CLIPSIBLINGS | WS_GROUP | WS_TABSTOP | WS_VISIBLE | TCS_MULTILINE | TCS_TOOLTIPS, 4, 4, duW, duH);
    std::vector<uint64_t> storage((w.bytes.size() + 7) / 8, 0);
    memcpy(storage.data(), w.bytes.data(), w.bytes.size());
    return storage;
}

bool SheetEnded(HWND sheet, INT_PTR* result) {
    Sheet* s = SheetOf(sheet);
    if (!s) return true;
    if (result) *result = s->result;
    return s->ended;
}

}  // namespace
}  // namespace nvxp

using nvxp::Fail;

extern "C" {

// Copies the page description (dwSize bytes, at least PROPSHEETPAGEW_V1_SIZE)
// with the strings it points to; PSPCB_ADDREF goes to the page's callback.
NVXAPI HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW psp) {
    if (!psp || psp->dwSize < PROPSHEETPAGEW_V1_SIZE || psp->dwSize > 0x10000)
        return Fail(ERROR_INVALID_PARAMETER, HPROPSHEETPAGE(nullptr));
    auto* page = new nvxp::PageHandle;
    page->storage.assign((std::max<size_t>(psp->dwSize, sizeof(PROPSHEETPAGEW)) + 7) / 8, 0);
    memcpy(page->storage.data(), psp, psp->dwSize);
    PROPSHEETPAGEW* copy = page->Psp();
    if (!(copy->dwFlags & PSP_DLGINDIRECT)) nvxp::Own(copy->pszTemplate, page->templateName);
    if (copy->dwFlags & PSP_USETITLE) nvxp::Own(copy->pszTitle, page->title);
    if (copy->dwFlags & PSP_USEICONID) nvxp::Own(copy->pszIcon, page->icon);
    if (psp->dwSize >= PROPSHEETPAGEW_V2_SIZE) {
        if (copy->dwFlags & PSP_USEHEADERTITLE) nvxp::Own(copy->pszHeaderTitle, page->headerTitle);
        if (copy->dwFlags & PSP_USEHEADERSUBTITLE) nvxp::Own(copy->pszHeaderSubTitle, page->headerSubTitle);
    }
    nvxp::Pages().Add(page);
    nvxp::Callback(page, PSPCB_ADDREF);
    return reinterpret_cast<HPROPSHEETPAGE>(page);
}

NVXAPI BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE hPage) {
    nvxp::PageHandle* page = nvxp::Pages().Find(hPage);
    if (!page) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    nvxp::Callback(page, PSPCB_RELEASE);
    delete nvxp::Pages().Remove(hPage);
    return TRUE;
}

// Modeless (PSH_MODELESS): answers the sheet window.  Modal: runs the sheet
// until OK or Cancel and answers 1 when changes were applied (OK or Apply),
// 0 otherwise, ID_PSREBOOTSYSTEM/ID_PSRESTARTWINDOWS when a page asked, -1 on
// failure.  The sheet owns the pages it is given and destroys them.
NVXAPI INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW lppsph) {
    if (!lppsph || lppsph->dwSize < PROPSHEETHEADERW_V1_SIZE || lppsph->nPages > MAXPROPPAGES)
        return Fail(ERROR_INVALID_PARAMETER, INT_PTR(-1));
    auto* s = new nvxp::Sheet;
    memcpy(&s->header, lppsph, std::min<size_t>(lppsph->dwSize, sizeof(PROPSHEETHEADERW)));
    s->modeless = (s->header.dwFlags & PSH_MODELESS) != 0;
    const BYTE* cursor = reinterpret_cast<const BYTE*>(lppsph->ppsp);
    for (UINT i = 0; i < lppsph->nPages; ++i) {
        nvxp::PageEntry entry;
        if (lppsph->dwFlags & PSH_PROPSHEETPAGE) {
            auto* psp = reinterpret_cast<LPCPROPSHEETPAGEW>(cursor);
            if (!psp) break;
            entry.handle = CreatePropertySheetPageW(psp);
            cursor += psp->dwSize;
        } else {
            entry.handle = lppsph->phpage ? lppsph->phpage[i] : nullptr;
        }
        if (!entry.handle || !nvxp::Pages().Contains(entry.handle)) continue;
        if (!nvxp::Describe(entry)) {
            DestroyPropertySheetPage(entry.handle);
            continue;
        }
        s->pages.push_back(entry);
    }
    if (lppsph->dwFlags & PSH_USEPSTARTPAGE) {
        for (size_t i = 0; i < s->pages.size(); ++i)
            if (lppsph->pStartPage && !IS_INTRESOURCE(lppsph->pStartPage) &&
                nvx::WEqualNoCase(s->pages[i].title, lppsph->pStartPage))
                s->start = static_cast<int>(i);
    } else if (lppsph->nStartPage < s->pages.size()) {
        s->start = static_cast<int>(lppsph->nStartPage);
    }
    if (s->pages.empty()) {
        delete s;
        return Fail(ERROR_INVALID_PARAMETER, INT_PTR(-1));
    }
    std::vector<uint64_t> templ = nvxp::SheetTemplate(*s);
    if ((s->header.dwFlags & PSH_USECALLBACK) && s->header.pfnCallback)
        s->header.pfnCallback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(templ.data()));
    std::unique_ptr<nvxp::Sheet> holder(s);
    HWND owner = nullptr;
    bool modeless = s->modeless;
    HWND sheet = nvxp::CreateDialogFromTemplate(nullptr, templ.data(), templ.size() * 8, lppsph->hwndParent,
                                                nvxp::SheetProc, reinterpret_cast<LPARAM>(s), !modeless, &owner, 0);
    if (!sheet) {
        // The pages a destroyed sheet did not free yet are freed here.
        for (const nvxp::PageEntry& entry : s->pages)
            if (nvxp::Pages().Contains(entry.handle)) DestroyPropertySheetPage(entry.handle);
        return -1;
    }
    s->windowOwns = true;
    holder.release();
    if (modeless) {
        ShowWindow(sheet, SW_SHOW);
        return reinterpret_cast<INT_PTR>(sheet);
    }
    return nvxp::RunModalLoop(sheet, owner ? owner : lppsph->hwndParent, nvxp::SheetEnded, NVXUI_LOG_SHEET);
}

}  // extern "C"
