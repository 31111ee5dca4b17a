// SysTabControl32: one row of tabs.  A click on a tab takes the focus (unless
// TCS_FOCUSNEVER), sends TCN_SELCHANGING (a TRUE answer keeps the current tab),
// selects the tab and sends TCN_SELCHANGE; the release sends NM_CLICK.
// TCM_SETCURSEL selects without notifications.  The first tab inserted into an
// empty control becomes the selection.  With TCS_TOOLTIPS the control makes its
// tooltip window (TCM_GETTOOLTIPS).
//
// Layout: tabs are one font height plus 8 pixels high, each 12 pixels wider
// than its text, from x = 2; the display area (TCM_ADJUSTRECT) is the window
// less the tab row and 4-pixel borders.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct TabItem {
    nvx::WString text;
    int image = -1;
    LPARAM param = 0;
    DWORD state = 0;
};

struct TabData : ControlData {
    std::vector<TabItem> items;
    int cur = -1;
    int focus = -1;
    HIMAGELIST images = nullptr;
    HWND tooltip = nullptr;
    HWND notify = nullptr;
    HFONT font = nullptr;
    DWORD exStyle = 0;
    int fixedWidth = 0, fixedHeight = 0;
};

TabData* Data(HWND hwnd) {
    return ControlOf<TabData>(hwnd);
}

bool Valid(TabData* d, int i) {
    return i >= 0 && i < static_cast<int>(d->items.size());
}

int RowHeight(TabData* d) {
    return d->fixedHeight ? d->fixedHeight : FontCharSize(d->font).cy + 8;
}

RECT ItemRect(TabData* d, int i) {
    int x = 2;
    int cw = FontCharSize(d->font).cx;
    for (int k = 0; k <= i; ++k) {
        int w = d->fixedWidth ? d->fixedWidth : static_cast<int>(d->items[static_cast<size_t>(k)].text.size()) * cw + 12;
        if (k == i) return RECT{x, 2, x + w, 2 + RowHeight(d)};
        x += w;
    }
    return RECT{};
}

LRESULT Notify(HWND hwnd, TabData* d, UINT code) {
    NMHDR nm{};
    nm.hwndFrom = hwnd;
    nm.idFrom = static_cast<UINT_PTR>(IdOf(hwnd));
    nm.code = code;
    return d->notify ? Send(d->notify, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm)) : 0;
}

// The user selects tab i: TCN_SELCHANGING, then (unless refused) TCN_SELCHANGE.
void UserSelect(HWND hwnd, int i) {
    TabData* d = Data(hwnd);
    if (!d || !Valid(d, i) || i == d->cur) return;
    if (Notify(hwnd, d, TCN_SELCHANGING)) return;
    if (!(d = Data(hwnd)) || !Valid(d, i)) return;
    d->cur = i;
    d->focus = i;
    InvalidateRect(hwnd, nullptr, TRUE);
    Notify(hwnd, d, TCN_SELCHANGE);
}

int HitTest(TabData* d, POINT pt, UINT* flags) {
    for (int i = 0; i < static_cast<int>(d->items.size()); ++i) {
        RECT r = ItemRect(d, i);
        if (PtInRect(&r, pt)) {
            if (flags) *flags = TCHT_ONITEMLABEL;
            return i;
        }
    }
    if (flags) *flags = TCHT_NOWHERE;
    return -1;
}

bool Item(TabData* d, int i, TCITEMW* item, bool set) {
    if (!item || !Valid(d, i)) return false;
    TabItem& t = d->items[static_cast<size_t>(i)];
    if (set) {
        if (item->mask & TCIF_TEXT) t.text = SafeText(item->pszText);
        if (item->mask & TCIF_IMAGE) t.image = item->iImage;
        if (item->mask & TCIF_PARAM) t.param = item->lParam;
        if (item->mask & TCIF_STATE) t.state = (t.state & ~item->dwStateMask) | (item->dwState & item->dwStateMask);
        return true;
    }
    if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0)
        CopyOut(t.text, item->pszText, static_cast<size_t>(item->cchTextMax));
    if (item->mask & TCIF_IMAGE) item->iImage = t.image;
    if (item->mask & TCIF_PARAM) item->lParam = t.param;
    if (item->mask & TCIF_STATE) item->dwState = t.state & item->dwStateMask;
    return true;
}

}  // namespace

LRESULT CALLBACK TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<TabData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    TabData* d = Data(hwnd);
    if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
    int index = static_cast<int>(static_cast<INT>(wParam));
    switch (msg) {
    case WM_CREATE: {
        d->notify = GetParent(hwnd);
        if (StyleOf(hwnd) & TCS_TOOLTIPS) {
            HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, hwnd, nullptr, nullptr, nullptr);
            if ((d = Data(hwnd))) d->tooltip = tip;
        }
        return 0;
    }
    case WM_DESTROY:
        if (d->tooltip && IsWindow(d->tooltip)) DestroyWindow(d->tooltip);
        if ((d = Data(hwnd))) d->tooltip = nullptr;
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
        d->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d->font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN: {
        if (!(StyleOf(hwnd) & TCS_FOCUSNEVER)) SetFocus(hwnd);
        if (!(d = Data(hwnd))) return 0;
        int hit = HitTest(d, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, nullptr);
        if (hit >= 0) UserSelect(hwnd, hit);
        return 0;
    }
    case WM_LBUTTONUP: Notify(hwnd, d, NM_CLICK); return 0;
    case WM_KEYDOWN: {
        int n = static_cast<int>(d->items.size());
        if (!n) return 0;
        if (wParam == VK_LEFT) UserSelect(hwnd, std::max(0, d->cur - 1));
        else if (wParam == VK_RIGHT) UserSelect(hwnd, std::min(n - 1, d->cur + 1));
        return 0;
    }
    case TCM_INSERTITEMW: {
        auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        if (!item || index < 0) return -1;
        int at = std::min(index, static_cast<int>(d->items.size()));
        TabItem t;
        if (item->mask & TCIF_TEXT) t.text = SafeText(item->pszText);
        if (item->mask & TCIF_IMAGE) t.image = item->iImage;
        if (item->mask & TCIF_PARAM) t.param = item->lParam;
        d->items.insert(d->items.begin() + at, t);
        if (d->items.size() == 1) d->cur = d->focus = 0;
        else if (d->cur >= at) ++d->cur;
        InvalidateRect(hwnd, nullptr, TRUE);
        return at;
    }
    case TCM_DELETEITEM:
        if (!Valid(d, index)) return FALSE;
        d->items.erase(d->items.begin() + index);
        if (d->cur == index) d->cur = -1;
        else if (d->cur > index) --d->cur;
        if (d->focus >= static_cast<int>(d->items.size())) d->focus = -1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case TCM_DELETEALLITEMS:
        d->items.clear();
        d->cur = d->focus = -1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case TCM_GETITEMCOUNT: return static_cast<LRESULT>(d->items.size());
    case TCM_GETITEMW: return Item(d, index, reinterpret_cast<TCITEMW*>(lParam), false);
    case TCM_SETITEMW: {
        bool ok = Item(d, index, reinterpret_cast<TCITEMW*>(lParam), true);
        InvalidateRect(hwnd, nullptr, TRUE);
        return ok;
    }
    case TCM_GETCURSEL: return d->cur;
    case TCM_SETCURSEL: {
        if (!Valid(d, index)) return -1;
        int old = d->cur;
        d->cur = d->focus = index;
        InvalidateRect(hwnd, nullptr, TRUE);
        return old;
    }
    case TCM_GETCURFOCUS: return d->focus;
    case TCM_SETCURFOCUS:
        if (!Valid(d, index)) return 0;
        if (StyleOf(hwnd) & TCS_BUTTONS) d->focus = index;
        else UserSelect(hwnd, index);
        return 0;
    case TCM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || !Valid(d, index)) return FALSE;
        *r = ItemRect(d, index);
        return TRUE;
    }
    case TCM_HITTEST: {
        auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
        return info ? HitTest(d, info->pt, &info->flags) : -1;
    }
    case TCM_ADJUSTRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return 0;
        int header = RowHeight(d) + 2;
        if (wParam) {
            r->left -= 4;
            r->top -= header + 2;
            r->right += 4;
            r->bottom += 4;
        } else {
            r->left += 4;
            r->top += header + 2;
            r->right -= 4;
            r->bottom -= 4;
        }
        return 0;
    }
    case TCM_GETTOOLTIPS: return reinterpret_cast<LRESULT>(d->tooltip);
    case TCM_SETTOOLTIPS: d->tooltip = reinterpret_cast<HWND>(wParam); return 0;
    case TCM_SETIMAGELIST: {
        HIMAGELIST old = d->images;
        d->images = reinterpret_cast<HIMAGELIST>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(d->images);
    case TCM_SETITEMSIZE: {
        LRESULT old = MAKELONG(d->fixedWidth, d->fixedHeight);
        d->fixedWidth = LOWORD(lParam);
        d->fixedHeight = HIWORD(lParam);
        return old;
    }
    case TCM_GETROWCOUNT: return d->items.empty() ? 0 : 1;
    case TCM_SETEXTENDEDSTYLE: {
        DWORD old = d->exStyle;
        DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
        d->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        return old;
    }
    case TCM_GETEXTENDEDSTYLE: return d->exStyle;
    case TCM_SETPADDING:
    case TCM_SETMINTABWIDTH:
    case TCM_SETITEMEXTRA:
    case TCM_REMOVEIMAGE:
    case TCM_DESELECTALL:
        return 0;
    case TCM_HIGHLIGHTITEM: return Valid(d, index);
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        *out += " sel=" + std::to_string(d->cur) + " items=" + std::to_string(d->items.size());
        for (int i = 0; i < static_cast<int>(d->items.size()); ++i) {
            *out += i == d->cur ? "\n    * " : "\n    - ";
            AppendQuoted(*out, d->items[static_cast<size_t>(i)].text);
        }
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
