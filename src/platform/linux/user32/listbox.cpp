// The LISTBOX class: single, multiple (LBS_MULTIPLESEL) and extended selection,
// sorted lists, item data.  A click selects (multiple selection toggles) and,
// with LBS_NOTIFY, the button release sends LBN_SELCHANGE; a double click sends
// LBN_DBLCLK.  Focus changes always notify (LBN_SETFOCUS, LBN_KILLFOCUS).
// Programmatic selection (LB_SETCURSEL, LB_SETSEL) never notifies.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/linux/user32/user_internal.h"
#include "platform/linux/user32/user_listitems.h"

namespace nvxp {
namespace {

struct ListBoxData : ControlData {
    ItemList list;
    int cur = -1;     // single selection; the caret in multiple selection
    int top = 0;
    int anchor = -1;
    int itemHeight = 0;
    HFONT font = nullptr;
    bool captured = false;
};

bool Multi(HWND hwnd) {
    return (StyleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

bool Strings(HWND hwnd) {
    DWORD style = StyleOf(hwnd);
    return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
}

int ItemHeight(ListBoxData* d) {
    return d->itemHeight ? d->itemHeight : FontCharSize(d->font).cy;
}

int ItemAt(HWND hwnd, ListBoxData* d, LPARAM lParam) {
    int y = GET_Y_LPARAM(lParam);
    int index = d->top + y / std::max(1, ItemHeight(d));
    return d->list.Valid(index) ? index : -1;
}

// Adds an item: its text, or (owner-drawn without strings) its data.
int AddItem(HWND hwnd, ListBoxData* d, int index, LPARAM lParam, bool insert) {
    bool strings = Strings(hwnd);
    nvx::WString text = strings ? SafeText(reinterpret_cast<LPCWSTR>(lParam)) : nvx::WString();
    LPARAM data = strings ? 0 : lParam;
    int at = insert ? d->list.Insert(index, text, data)
                    : d->list.Add(text, (StyleOf(hwnd) & LBS_SORT) && strings, data);
    if (at < 0) return LB_ERR;
    if (d->cur >= 0 && d->cur >= at) ++d->cur;
    InvalidateRect(hwnd, nullptr, TRUE);
    return at;
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (HWND parent = GetParent(hwnd))
        Send(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    EndPaint(hwnd, &ps);
}

void UserSelect(HWND hwnd, ListBoxData* d, int index) {
    if (index < 0) return;
    if (Multi(hwnd)) {
        if (StyleOf(hwnd) & LBS_MULTIPLESEL) {
            d->list.At(index).selected = !d->list.At(index).selected;
        } else {
            for (auto& item : d->list.items) item.selected = false;
            d->list.At(index).selected = true;
        }
        d->cur = index;
        d->anchor = index;
    } else {
        d->cur = index;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<ListBoxData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* d = ControlOf<ListBoxData>(hwnd);
    if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
    int index = static_cast<int>(static_cast<INT>(wParam));
    switch (msg) {
    case WM_CREATE: {
        DWORD style = StyleOf(hwnd);
        if ((style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && GetParent(hwnd)) {
            MEASUREITEMSTRUCT mis{};
            mis.CtlType = ODT_LISTBOX;
            mis.CtlID = static_cast<UINT>(IdOf(hwnd));
            mis.itemHeight = static_cast<UINT>(FontCharSize(nullptr).cy);
            Send(GetParent(hwnd), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
            if ((d = ControlOf<ListBoxData>(hwnd))) d->itemHeight = static_cast<int>(mis.itemHeight);
        }
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd); return 0;
    case WM_SETFONT:
        d->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d->font);
    case WM_SETFOCUS: NotifyCommand(hwnd, LBN_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifyCommand(hwnd, LBN_KILLFOCUS); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN: {
        SetFocus(hwnd);
        if (!(d = ControlOf<ListBoxData>(hwnd))) return 0;
        UserSelect(hwnd, d, ItemAt(hwnd, d, lParam));
        d->captured = true;
        SetCapture(hwnd);
        return 0;
    }
    case WM_LBUTTONUP:
        if (!d->captured) return 0;
        d->captured = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        if ((StyleOf(hwnd) & LBS_NOTIFY) && d->list.Count()) NotifyCommand(hwnd, LBN_SELCHANGE);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (StyleOf(hwnd) & LBS_NOTIFY) NotifyCommand(hwnd, LBN_DBLCLK);
        return 0;
    case WM_KEYDOWN: {
        int n = d->list.Count();
        if (!n) return 0;
        int to = d->cur;
        switch (wParam) {
        case VK_UP: to = std::max(0, d->cur - 1); break;
        case VK_DOWN: to = std::min(n - 1, d->cur + 1); break;
        case VK_HOME: to = 0; break;
        case VK_END: to = n - 1; break;
        default: return 0;
        }
        if (to == d->cur && d->cur >= 0) return 0;
        UserSelect(hwnd, d, to);
        if (StyleOf(hwnd) & LBS_NOTIFY) NotifyCommand(hwnd, LBN_SELCHANGE);
        return 0;
    }
    case LB_ADDSTRING: return AddItem(hwnd, d, -1, lParam, false);
    case LB_INSERTSTRING: return AddItem(hwnd, d, index, lParam, true);
    case LB_DELETESTRING:
        if (!d->list.Erase(index)) return LB_ERR;
        if (d->cur == index) d->cur = -1;
        else if (d->cur > index) --d->cur;
        InvalidateRect(hwnd, nullptr, TRUE);
        return d->list.Count();
    case LB_RESETCONTENT:
        d->list.items.clear();
        d->cur = -1;
        d->top = 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case LB_GETCOUNT: return d->list.Count();
    case LB_GETCURSEL:
        if (Multi(hwnd)) return d->cur >= 0 ? d->cur : 0;
        return d->cur;
    case LB_SETCURSEL:
        if (Multi(hwnd)) return LB_ERR;
        if (index == -1) {
            d->cur = -1;
            InvalidateRect(hwnd, nullptr, TRUE);
            return LB_ERR;
        }
        if (!d->list.Valid(index)) return LB_ERR;
        d->cur = index;
        InvalidateRect(hwnd, nullptr, TRUE);
        return index;
    case LB_GETTEXT: {
        if (!d->list.Valid(index)) return LB_ERR;
        if (!Strings(hwnd)) {
            if (lParam) memcpy(reinterpret_cast<void*>(lParam), &d->list.At(index).data, sizeof(LPARAM));
            return sizeof(LPARAM);
        }
        const nvx::WString& text = d->list.At(index).text;
        if (lParam) {
            std::copy(text.begin(), text.end(), reinterpret_cast<WCHAR*>(lParam));
            reinterpret_cast<WCHAR*>(lParam)[text.size()] = 0;
        }
        return static_cast<LRESULT>(text.size());
    }
    case LB_GETTEXTLEN:
        if (!d->list.Valid(index)) return LB_ERR;
        return Strings(hwnd) ? static_cast<LRESULT>(d->list.At(index).text.size()) : sizeof(LPARAM);
    case LB_GETITEMDATA:
        return d->list.Valid(index) ? d->list.At(index).data : LB_ERR;
    case LB_SETITEMDATA:
        if (!d->list.Valid(index)) return LB_ERR;
        d->list.At(index).data = lParam;
        return TRUE;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
        if (!Strings(hwnd)) return d->list.FindData(lParam);
        return d->list.Find(index, SafeText(reinterpret_cast<LPCWSTR>(lParam)), msg == LB_FINDSTRINGEXACT);
    }
    case LB_SELECTSTRING: {
        int found = Strings(hwnd) ? d->list.Find(index, SafeText(reinterpret_cast<LPCWSTR>(lParam)), false)
                                  : d->list.FindData(lParam);
        if (found < 0) return LB_ERR;
        if (Multi(hwnd)) d->list.At(found).selected = true;
        d->cur = found;
        InvalidateRect(hwnd, nullptr, TRUE);
        return found;
    }
    case LB_GETSEL: {
        int i = index;
        if (!d->list.Valid(i)) return LB_ERR;
        return Multi(hwnd) ? d->list.At(i).selected : i == d->cur;
    }
    case LB_SETSEL: {
        if (!Multi(hwnd)) return LB_ERR;
        int i = static_cast<int>(static_cast<INT>(lParam));
        if (i == -1) {
            for (auto& item : d->list.items) item.selected = wParam != 0;
        } else {
            if (!d->list.Valid(i)) return LB_ERR;
            d->list.At(i).selected = wParam != 0;
            d->cur = i;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
        if (!Multi(hwnd)) return LB_ERR;
        int first = msg == LB_SELITEMRANGE ? LOWORD(lParam) : index;
        int last = msg == LB_SELITEMRANGE ? HIWORD(lParam) : static_cast<int>(lParam);
        bool select = msg == LB_SELITEMRANGE ? wParam != 0 : first <= last;
        if (first > last) std::swap(first, last);
        for (int i = std::max(0, first); i <= last && i < d->list.Count(); ++i) d->list.At(i).selected = select;
        return 0;
    }
    case LB_GETSELCOUNT: {
        if (!Multi(hwnd)) return LB_ERR;
        int n = 0;
        for (auto& item : d->list.items) n += item.selected;
        return n;
    }
    case LB_GETSELITEMS: {
        if (!Multi(hwnd)) return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < d->list.Count() && n < index; ++i)
            if (d->list.At(i).selected) {
                if (out) out[n] = i;
                ++n;
            }
        return n;
    }
    case LB_GETTOPINDEX: return d->top;
    case LB_SETTOPINDEX:
        if (!d->list.Valid(index) && index != 0) return LB_ERR;
        d->top = index;
        return LB_OKAY;
    case LB_GETCARETINDEX: return d->cur >= 0 ? d->cur : 0;
    case LB_SETCARETINDEX:
        if (!d->list.Valid(index)) return LB_ERR;
        if (Multi(hwnd)) d->cur = index;
        return LB_OKAY;
    case LB_GETANCHORINDEX: return d->anchor;
    case LB_SETANCHORINDEX:
        if (!d->list.Valid(index)) return LB_ERR;
        d->anchor = index;
        return 0;
    case LB_GETITEMHEIGHT: return ItemHeight(d);
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255) return LB_ERR;
        d->itemHeight = LOWORD(lParam);
        return LB_OKAY;
    case LB_GETITEMRECT: {
        if (!d->list.Valid(index) && index != 0) return LB_ERR;
        RECT client;
        GetClientRect(hwnd, &client);
        int h = ItemHeight(d);
        if (lParam) *reinterpret_cast<RECT*>(lParam) = RECT{0, (index - d->top) * h, client.right, (index - d->top + 1) * h};
        return 1;
    }
    case LB_ITEMFROMPOINT: {
        int i = d->top + GET_Y_LPARAM(lParam) / std::max(1, ItemHeight(d));
        return d->list.Valid(i) ? MAKELONG(i, 0) : MAKELONG(std::max(0, d->list.Count() - 1), 1);
    }
    case LB_SETTABSTOPS:
    case LB_SETCOLUMNWIDTH:
    case LB_SETHORIZONTALEXTENT:
        return TRUE;
    case LB_GETHORIZONTALEXTENT: return 0;
    case LB_INITSTORAGE: return static_cast<LRESULT>(d->list.Count() + index);
    case LB_SETCOUNT: {
        if (!(StyleOf(hwnd) & LBS_NODATA)) return LB_ERR;
        d->list.items.resize(static_cast<size_t>(std::max(0, index)));
        return 0;
    }
    case LB_GETLOCALE: return 0x0409;
    case LB_SETLOCALE: return 0x0409;
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        if (Multi(hwnd)) *out += " multisel";
        *out += " sel=" + std::to_string(Multi(hwnd) ? -1 : d->cur) + " items=" + std::to_string(d->list.Count());
        d->list.Describe(*out, Multi(hwnd) ? -1 : d->cur, AppendQuoted);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
