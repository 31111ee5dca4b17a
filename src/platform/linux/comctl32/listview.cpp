// SysListView32, report view.  Items carry their sub-item texts, image, item
// data and state (selected, focused, the state image of LVS_EX_CHECKBOXES: 1
// unchecked, 2 checked).  Every state change, by message or by the user, goes
// through LVN_ITEMCHANGING (a TRUE answer refuses it) and LVN_ITEMCHANGED.
//
// A click on an item: NM_RELEASEDCAPTURE, the other selected items are
// deselected, the item becomes selected and focused (the item that had the
// focus loses it inside that change), the view takes the focus (NM_SETFOCUS),
// then NM_CLICK when the button is released.  A click on a check box sends
// NM_CLICK and toggles its state image.  A double click sends NM_DBLCLK and
// LVN_ITEMACTIVATE.
//
// Rows are one font height plus 4 pixels, below a header of one font height
// plus 7; the state image takes the first 16 pixels of a row, the small
// image the next 16 when there is a small image list.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct LvItem {
    std::vector<nvx::WString> texts{nvx::WString()};
    bool callback = false;
    int image = 0;
    LPARAM param = 0;
    UINT state = 0;
    int indent = 0;
};

struct LvColumn {
    nvx::WString text;
    int fmt = LVCFMT_LEFT;
    int cx = 0;
    int subItem = 0;
    int image = 0;
    int order = 0;
};

struct ListViewData : ControlData {
    std::vector<LvItem> items;
    std::vector<LvColumn> columns;
    DWORD exStyle = 0;
    HIMAGELIST images[3] = {};
    int top = 0;
    int mark = -1;
    HFONT font = nullptr;
    COLORREF bk = 0xFFFFFF, text = 0, textBk = 0xFFFFFF;
    UINT callbackMask = 0;
    int pressed = -2;  // the item under the button while it is down (-1: none), -2: not down
    int pressedSub = 0;
    int reselect = -1;  // a click on a selected item: deselect the others on release
};

ListViewData* Data(HWND hwnd) {
    return ControlOf<ListViewData>(hwnd);
}

bool Valid(ListViewData* d, int i) {
    return i >= 0 && i < static_cast<int>(d->items.size());
}

int RowHeight(ListViewData* d) {
    return FontCharSize(d->font).cy + 4;
}

int HeaderHeight(HWND hwnd, ListViewData* d) {
    return (StyleOf(hwnd) & LVS_NOCOLUMNHEADER) ? 0 : FontCharSize(d->font).cy + 7;
}

int StateImageWidth(ListViewData* d) {
    return (d->exStyle & LVS_EX_CHECKBOXES) || d->images[LVSIL_STATE] ? 16 : 0;
}

int Column0Width(HWND hwnd, ListViewData* d) {
    if (!d->columns.empty()) return d->columns[0].cx;
    RECT client;
    GetClientRect(hwnd, &client);
    return client.right;
}

// WM_NOTIFY with NMLISTVIEW; answers the parent's answer.
LRESULT NotifyItem(HWND hwnd, UINT code, int item, UINT newState, UINT oldState, UINT changed, LPARAM param,
                   POINT at = POINT{0, 0}, int sub = 0) {
    NMLISTVIEW nm{};
    nm.iItem = item;
    nm.iSubItem = sub;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = changed;
    nm.ptAction = at;
    nm.lParam = param;
    return NotifyParent(hwnd, &nm.hdr, code);
}

// Changes the bits of `mask` of an item's state.  LVN_ITEMCHANGING comes
// first, even when nothing would change (a TRUE answer refuses: false).  Then
// the state is stored; selecting in a single-selection view deselects the
// other items and taking the focus takes it from the focused item (nested
// pairs of notifications); LVN_ITEMCHANGED closes when something changed.
bool ChangeState(HWND hwnd, int i, UINT state, UINT mask) {
    ListViewData* d = Data(hwnd);
    if (!d || !Valid(d, i)) return false;
    UINT old = d->items[static_cast<size_t>(i)].state;
    UINT updated = (old & ~mask) | (state & mask);
    LPARAM param = d->items[static_cast<size_t>(i)].param;
    if (NotifyItem(hwnd, LVN_ITEMCHANGING, i, updated, old, LVIF_STATE, param)) return false;
    if (!(d = Data(hwnd)) || !Valid(d, i)) return false;
    old = d->items[static_cast<size_t>(i)].state;
    updated = (old & ~mask) | (state & mask);
    if (updated == old) return true;
    d->items[static_cast<size_t>(i)].state = updated;
    if ((updated & LVIS_SELECTED) && !(old & LVIS_SELECTED) && (StyleOf(hwnd) & LVS_SINGLESEL))
        for (int k = 0; (d = Data(hwnd)) && k < static_cast<int>(d->items.size()); ++k)
            if (k != i && (d->items[static_cast<size_t>(k)].state & LVIS_SELECTED)) ChangeState(hwnd, k, 0, LVIS_SELECTED);
    if ((updated & LVIS_FOCUSED) && !(old & LVIS_FOCUSED)) {
        for (int k = 0; (d = Data(hwnd)) && k < static_cast<int>(d->items.size()); ++k)
            if (k != i && (d->items[static_cast<size_t>(k)].state & LVIS_FOCUSED)) ChangeState(hwnd, k, 0, LVIS_FOCUSED);
        if ((d = Data(hwnd)) && d->mark < 0) d->mark = i;
    }
    if (!IsWindow(hwnd)) return false;
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyItem(hwnd, LVN_ITEMCHANGED, i, updated, old, LVIF_STATE, param);
    return true;
}

// LVM_SETITEMSTATE: one item, or every item with -1 (which cannot focus all
// items, nor select all of a single-selection view).
bool SetState(HWND hwnd, int i, UINT state, UINT mask) {
    ListViewData* d = Data(hwnd);
    if (!d) return false;
    if (i != -1) return ChangeState(hwnd, i, state, mask);
    if (state & mask & LVIS_FOCUSED) return false;
    if ((state & mask & LVIS_SELECTED) && (StyleOf(hwnd) & LVS_SINGLESEL)) return false;
    bool ok = true;
    for (int k = 0; (d = Data(hwnd)) && k < static_cast<int>(d->items.size()); ++k)
        ok = ChangeState(hwnd, k, state, mask) && ok;
    return ok;
}

// Selects and focuses item i alone: the other selected items are deselected
// first, then the item changes (its focus taken from the focused item).
void SelectOnly(HWND hwnd, int i) {
    ListViewData* d;
    for (int k = 0; (d = Data(hwnd)) && k < static_cast<int>(d->items.size()); ++k)
        if (k != i && (d->items[static_cast<size_t>(k)].state & LVIS_SELECTED)) ChangeState(hwnd, k, 0, LVIS_SELECTED);
    ChangeState(hwnd, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if ((d = Data(hwnd))) d->mark = i;
}

nvx::WString ItemText(HWND hwnd, ListViewData* d, int i, int sub) {
    LvItem& item = d->items[static_cast<size_t>(i)];
    if (item.callback && sub == 0) {
        NMLVDISPINFOW di{};
        WCHAR buffer[260] = {};
        di.item.mask = LVIF_TEXT;
        di.item.iItem = i;
        di.item.iSubItem = sub;
        di.item.pszText = buffer;
        di.item.cchTextMax = 260;
        di.item.lParam = item.param;
        NotifyParent(hwnd, &di.hdr, LVN_GETDISPINFOW);
        if (!di.item.pszText || di.item.pszText == LPSTR_TEXTCALLBACKW) return {};
        return nvx::WString(di.item.pszText, nvx::WLenBounded(di.item.pszText, 260));
    }
    return static_cast<size_t>(sub) < item.texts.size() ? item.texts[static_cast<size_t>(sub)] : nvx::WString();
}

void SetText(LvItem& item, int sub, LPCWSTR text) {
    if (sub == 0 && text == LPSTR_TEXTCALLBACKW) {
        item.callback = true;
        item.texts[0].clear();
        return;
    }
    if (sub == 0) item.callback = false;
    if (item.texts.size() <= static_cast<size_t>(sub)) item.texts.resize(static_cast<size_t>(sub) + 1);
    item.texts[static_cast<size_t>(sub)] = SafeText(text);
}

int Insert(HWND hwnd, ListViewData* d, const LVITEMW* lv) {
    if (!lv || lv->iSubItem != 0 || lv->iItem < 0) return -1;
    LvItem item;
    if (lv->mask & LVIF_TEXT) SetText(item, 0, lv->pszText);
    if (lv->mask & LVIF_IMAGE) item.image = lv->iImage;
    if (lv->mask & LVIF_PARAM) item.param = lv->lParam;
    if (lv->mask & LVIF_INDENT) item.indent = lv->iIndent;
    if (lv->mask & LVIF_STATE) item.state = lv->state & lv->stateMask;
    if ((d->exStyle & LVS_EX_CHECKBOXES) && !(item.state & LVIS_STATEIMAGEMASK)) item.state |= INDEXTOSTATEIMAGEMASK(1);
    int at = std::min(lv->iItem, static_cast<int>(d->items.size()));
    DWORD style = StyleOf(hwnd);
    if (style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
        at = 0;
        bool ascending = (style & LVS_SORTASCENDING) != 0;
        while (at < static_cast<int>(d->items.size())) {
            int cmp = nvx::WCompareNoCase(d->items[static_cast<size_t>(at)].texts[0], item.texts[0]);
            if (ascending ? cmp > 0 : cmp < 0) break;
            ++at;
        }
    }
    d->items.insert(d->items.begin() + at, std::move(item));
    if (d->mark >= at) ++d->mark;
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyItem(hwnd, LVN_INSERTITEM, at, 0, 0, 0, 0);
    return at;
}

bool SetItem(HWND hwnd, ListViewData* d, const LVITEMW* lv) {
    if (!lv || !Valid(d, lv->iItem) || lv->iSubItem < 0) return false;
    LvItem& item = d->items[static_cast<size_t>(lv->iItem)];
    if (lv->iSubItem > 0) {
        if (lv->iSubItem >= static_cast<int>(std::max<size_t>(d->columns.size(), 1))) return false;
        if (lv->mask & LVIF_TEXT) SetText(item, lv->iSubItem, lv->pszText);
        InvalidateRect(hwnd, nullptr, TRUE);
        return true;
    }
    UINT changed = 0;
    if ((lv->mask & LVIF_TEXT) && (lv->pszText == LPSTR_TEXTCALLBACKW || SafeText(lv->pszText) != item.texts[0]))
        changed |= LVIF_TEXT;
    if ((lv->mask & LVIF_IMAGE) && lv->iImage != item.image) changed |= LVIF_IMAGE;
    if ((lv->mask & LVIF_PARAM) && lv->lParam != item.param) changed |= LVIF_PARAM;
    if ((lv->mask & LVIF_INDENT) && lv->iIndent != item.indent) changed |= LVIF_INDENT;
    if (changed) {
        int i = lv->iItem;
        if (NotifyItem(hwnd, LVN_ITEMCHANGING, i, item.state, item.state, changed, item.param)) return false;
        if (!(d = Data(hwnd)) || !Valid(d, i)) return false;
        LvItem& again = d->items[static_cast<size_t>(i)];
        if (changed & LVIF_TEXT) SetText(again, 0, lv->pszText);
        if (changed & LVIF_IMAGE) again.image = lv->iImage;
        if (changed & LVIF_PARAM) again.param = lv->lParam;
        if (changed & LVIF_INDENT) again.indent = lv->iIndent;
        InvalidateRect(hwnd, nullptr, TRUE);
        NotifyItem(hwnd, LVN_ITEMCHANGED, i, again.state, again.state, changed, again.param);
    }
    if (lv->mask & LVIF_STATE) SetState(hwnd, lv->iItem, lv->state, lv->stateMask);
    return true;
}

bool GetItem(HWND hwnd, ListViewData* d, LVITEMW* lv) {
    if (!lv || !Valid(d, lv->iItem)) return false;
    LvItem& item = d->items[static_cast<size_t>(lv->iItem)];
    if (lv->mask & LVIF_TEXT) {
        if (lv->iSubItem == 0 && item.callback && (lv->pszText == nullptr)) {
            lv->pszText = LPSTR_TEXTCALLBACKW;
        } else if (lv->pszText && lv->cchTextMax > 0) {
            CopyOut(ItemText(hwnd, d, lv->iItem, lv->iSubItem), lv->pszText, static_cast<size_t>(lv->cchTextMax));
            if (!(d = Data(hwnd)) || !Valid(d, lv->iItem)) return false;
        }
    }
    LvItem& again = d->items[static_cast<size_t>(lv->iItem)];
    if (lv->mask & LVIF_IMAGE) lv->iImage = again.image;
    if (lv->mask & LVIF_PARAM) lv->lParam = again.param;
    if (lv->mask & LVIF_STATE) lv->state = again.state & lv->stateMask;
    if (lv->mask & LVIF_INDENT) lv->iIndent = again.indent;
    return true;
}

// LVM_DELETEITEM: the item loses its selection and focus (LVN_ITEMCHANGING,
// and LVN_ITEMCHANGED when it had either), then LVN_DELETEITEM.
bool Delete(HWND hwnd, ListViewData* d, int i) {
    if (!Valid(d, i)) return false;
    ChangeState(hwnd, i, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!(d = Data(hwnd)) || !Valid(d, i)) return false;
    NotifyItem(hwnd, LVN_DELETEITEM, i, 0, 0, 0, d->items[static_cast<size_t>(i)].param);
    if (!(d = Data(hwnd)) || !Valid(d, i)) return false;
    d->items.erase(d->items.begin() + i);
    if (d->mark == i) d->mark = -1;
    else if (d->mark > i) --d->mark;
    InvalidateRect(hwnd, nullptr, TRUE);
    return true;
}

bool Matches(UINT state, UINT flags) {
    UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED | LVNI_CUT | LVNI_DROPHILITED);
    UINT have = 0;
    if (state & LVIS_SELECTED) have |= LVNI_SELECTED;
    if (state & LVIS_FOCUSED) have |= LVNI_FOCUSED;
    if (state & LVIS_CUT) have |= LVNI_CUT;
    if (state & LVIS_DROPHILITED) have |= LVNI_DROPHILITED;
    return (have & want) == want;
}

int NextItem(ListViewData* d, int start, UINT flags) {
    int n = static_cast<int>(d->items.size());
    if (flags & LVNI_ABOVE) {
        for (int i = std::min(start, n) - 1; i >= 0; --i)
            if (Matches(d->items[static_cast<size_t>(i)].state, flags)) return i;
        return -1;
    }
    for (int i = start < 0 ? 0 : start + 1; i < n; ++i)
        if (Matches(d->items[static_cast<size_t>(i)].state, flags)) return i;
    return -1;
}

int Find(HWND hwnd, ListViewData* d, int start, const LVFINDINFOW* fi) {
    if (!fi) return -1;
    int n = static_cast<int>(d->items.size());
    int first = start < -1 || start >= n ? 0 : start + 1;
    int span = (fi->flags & LVFI_WRAP) ? n : n - first;
    for (int k = 0; k < span; ++k) {
        int i = (first + k) % std::max(n, 1);
        if (fi->flags & LVFI_PARAM) {
            if (d->items[static_cast<size_t>(i)].param == fi->lParam) return i;
            continue;
        }
        if (!(fi->flags & (LVFI_STRING | LVFI_PARTIAL | LVFI_SUBSTRING)) || !fi->psz) continue;
        nvx::WString text = ItemText(hwnd, d, i, 0);
        if (!(d = Data(hwnd))) return -1;
        nvx::WStringView want(fi->psz);
        bool partial = (fi->flags & (LVFI_PARTIAL | LVFI_SUBSTRING)) != 0;
        if (partial ? (text.size() >= want.size() && nvx::WEqualNoCase(nvx::WStringView(text).substr(0, want.size()), want))
                    : nvx::WEqualNoCase(text, want))
            return i;
    }
    return -1;
}

RECT ItemRect(HWND hwnd, ListViewData* d, int i, int code) {
    int row = HeaderHeight(hwnd, d) + (i - d->top) * RowHeight(d);
    int width = 0;
    for (const LvColumn& c : d->columns) width += c.cx;
    if (d->columns.empty()) width = Column0Width(hwnd, d);
    int stateW = StateImageWidth(d);
    int iconW = d->images[LVSIL_SMALL] ? 16 : 0;
    switch (code) {
    case LVIR_ICON: return RECT{stateW, row, stateW + iconW, row + RowHeight(d)};
    case LVIR_LABEL: return RECT{stateW + iconW, row, Column0Width(hwnd, d), row + RowHeight(d)};
    case LVIR_SELECTBOUNDS: return RECT{stateW, row, width, row + RowHeight(d)};
    default: return RECT{0, row, width, row + RowHeight(d)};
    }
}

// The item and part under a client point.
int HitTest(HWND hwnd, ListViewData* d, POINT pt, UINT* flags, int* sub) {
    *flags = LVHT_NOWHERE;
    if (sub) *sub = 0;
    int header = HeaderHeight(hwnd, d);
    if (pt.y < header) return -1;
    int i = d->top + (pt.y - header) / RowHeight(d);
    if (!Valid(d, i)) return -1;
    RECT bounds = ItemRect(hwnd, d, i, LVIR_BOUNDS);
    if (pt.x < 0 || pt.x >= bounds.right) return -1;
    int stateW = StateImageWidth(d);
    int iconW = d->images[LVSIL_SMALL] ? 16 : 0;
    if (pt.x < stateW) *flags = LVHT_ONITEMSTATEICON;
    else if (pt.x < stateW + iconW) *flags = LVHT_ONITEMICON;
    else *flags = LVHT_ONITEMLABEL;
    if (sub) {
        int x = 0;
        for (size_t c = 0; c < d->columns.size(); ++c) {
            if (pt.x >= x && pt.x < x + d->columns[c].cx) *sub = static_cast<int>(c);
            x += d->columns[c].cx;
        }
    }
    return i;
}

void NotifyClick(HWND hwnd, UINT code, int item, int sub, POINT at) {
    NMITEMACTIVATE nm{};
    nm.iItem = item;
    nm.iSubItem = sub;
    nm.ptAction = at;
    if ((GetKeyState(VK_SHIFT) & 0x8000)) nm.uKeyFlags |= 0x0004;    // LVKF_SHIFT
    if ((GetKeyState(VK_CONTROL) & 0x8000)) nm.uKeyFlags |= 0x0002;  // LVKF_CONTROL
    NotifyParent(hwnd, &nm.hdr, code);
}

// WM_LBUTTONDOWN: NM_RELEASEDCAPTURE, then a click on a check box sends
// NM_CLICK and toggles the state image at once; a click on an item changes
// the selection and then takes the focus (NM_SETFOCUS); NM_CLICK follows on
// release.  A click on an item already selected only moves the focus; the
// other items are deselected on release.
void Click(HWND hwnd, ListViewData* d, POINT pt) {
    NMHDR released{};
    NotifyParent(hwnd, &released, NM_RELEASEDCAPTURE);
    if (!(d = Data(hwnd))) return;
    UINT flags;
    int sub;
    int i = HitTest(hwnd, d, pt, &flags, &sub);
    d->pressed = i;
    d->pressedSub = sub;
    d->reselect = -1;
    if (i >= 0 && (flags & LVHT_ONITEMSTATEICON) && (d->exStyle & LVS_EX_CHECKBOXES)) {
        d->pressed = -2;
        NotifyClick(hwnd, NM_CLICK, i, sub, pt);
        if (!(d = Data(hwnd)) || !Valid(d, i)) return;
        UINT image = (d->items[static_cast<size_t>(i)].state & LVIS_STATEIMAGEMASK) >> 12;
        ChangeState(hwnd, i, INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2), LVIS_STATEIMAGEMASK);
        return;
    }
    bool toggle = (GetKeyState(VK_CONTROL) & 0x8000) && !(StyleOf(hwnd) & LVS_SINGLESEL);
    if (i < 0) {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (!toggle)
            for (int k = 0; (d = Data(hwnd)) && k < static_cast<int>(d->items.size()); ++k)
                if (d->items[static_cast<size_t>(k)].state & LVIS_SELECTED) ChangeState(hwnd, k, 0, LVIS_SELECTED);
        return;
    }
    bool selected = (d->items[static_cast<size_t>(i)].state & LVIS_SELECTED) != 0;
    if (toggle) {
        ChangeState(hwnd, i, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        if ((d = Data(hwnd))) d->mark = i;
    } else if (selected) {
        ChangeState(hwnd, i, LVIS_FOCUSED, LVIS_FOCUSED);
        if ((d = Data(hwnd))) d->reselect = i;
    } else {
        SelectOnly(hwnd, i);
    }
    if (IsWindow(hwnd) && GetFocus() != hwnd) SetFocus(hwnd);
}

void KeyDown(HWND hwnd, ListViewData* d, WPARAM vk) {
    int n = static_cast<int>(d->items.size());
    if (!n) return;
    int focus = NextItem(d, -1, LVNI_FOCUSED);
    if (vk == VK_SPACE && focus >= 0 && (d->exStyle & LVS_EX_CHECKBOXES)) {
        UINT image = (d->items[static_cast<size_t>(focus)].state & LVIS_STATEIMAGEMASK) >> 12;
        ChangeState(hwnd, focus, INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2), LVIS_STATEIMAGEMASK);
        return;
    }
    int to;
    switch (vk) {
    case VK_UP: to = std::max(0, focus - 1); break;
    case VK_DOWN: to = std::min(n - 1, focus + 1); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    default: return;
    }
    SelectOnly(hwnd, to);
}

void SetExStyle(HWND hwnd, ListViewData* d, DWORD mask, DWORD style) {
    if (!mask) mask = 0xFFFFFFFF;
    DWORD old = d->exStyle;
    d->exStyle = (old & ~mask) | (style & mask);
    bool had = (old & LVS_EX_CHECKBOXES) != 0;
    bool has = (d->exStyle & LVS_EX_CHECKBOXES) != 0;
    for (LvItem& item : d->items) {
        if (has && !had && !(item.state & LVIS_STATEIMAGEMASK)) item.state |= INDEXTOSTATEIMAGEMASK(1);
        if (!has && had) item.state &= ~LVIS_STATEIMAGEMASK;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

void Describe(HWND hwnd, ListViewData* d, std::string& out) {
    out += " items=" + std::to_string(d->items.size());
    if (d->exStyle & LVS_EX_CHECKBOXES) out += " checkboxes";
    for (size_t c = 0; c < d->columns.size(); ++c) {
        out += c ? " | " : " columns: ";
        AppendQuoted(out, d->columns[c].text);
        out += " " + std::to_string(d->columns[c].cx);
    }
    size_t subs = std::max<size_t>(d->columns.size(), 1);
    for (int i = 0; i < static_cast<int>(d->items.size()); ++i) {
        const LvItem& item = d->items[static_cast<size_t>(i)];
        out += (item.state & LVIS_SELECTED) ? "\n    * " : "\n    - ";
        for (size_t s = 0; s < subs; ++s) {
            if (s) out += " | ";
            AppendQuoted(out, ItemText(hwnd, d, i, static_cast<int>(s)));
            if (!(d = Data(hwnd))) return;
        }
        if (item.state & LVIS_FOCUSED) out += " focused";
        if (d->exStyle & LVS_EX_CHECKBOXES) out += ((item.state >> 12) == 2) ? " checked" : " unchecked";
        if (item.param) out += " data=" + std::to_string(item.param);
    }
}

}  // namespace

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<ListViewData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    ListViewData* d = Data(hwnd);
    if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
    int index = static_cast<int>(static_cast<INT>(wParam));
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
        d->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d->font);
    case WM_SETFOCUS: {
        NMHDR nm{};
        NotifyParent(hwnd, &nm, NM_SETFOCUS);
        return 0;
    }
    case WM_KILLFOCUS: {
        NMHDR nm{};
        NotifyParent(hwnd, &nm, NM_KILLFOCUS);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        Click(hwnd, d, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_RBUTTONDOWN: {
        NMHDR released{};
        NotifyParent(hwnd, &released, NM_RELEASEDCAPTURE);
        if (IsWindow(hwnd) && GetFocus() != hwnd) SetFocus(hwnd);
        if (!(d = Data(hwnd))) return 0;
        UINT flags;
        d->pressed = HitTest(hwnd, d, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &flags, &d->pressedSub);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (d->pressed >= -1) {
            int item = d->pressed;
            d->pressed = -2;
            int reselect = d->reselect;
            d->reselect = -1;
            NotifyClick(hwnd, msg == WM_LBUTTONUP ? NM_CLICK : NM_RCLICK, item, d->pressedSub,
                        POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (msg == WM_LBUTTONUP && reselect >= 0 && reselect == item && (d = Data(hwnd)) && Valid(d, item))
                SelectOnly(hwnd, item);
        }
        return 0;
    case WM_LBUTTONDBLCLK: {
        UINT flags;
        int sub;
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int item = HitTest(hwnd, d, pt, &flags, &sub);
        d->pressed = -2;
        NotifyClick(hwnd, NM_DBLCLK, item, sub, pt);
        if (item >= 0 && IsWindow(hwnd)) NotifyClick(hwnd, LVN_ITEMACTIVATE, item, sub, pt);
        return 0;
    }
    case WM_KEYDOWN: KeyDown(hwnd, d, wParam); return 0;
    case LVM_GETITEMCOUNT: return static_cast<LRESULT>(d->items.size());
    case LVM_SETITEMCOUNT: return TRUE;
    case LVM_INSERTCOLUMNW: {
        auto* col = reinterpret_cast<const LVCOLUMNW*>(lParam);
        if (!col || index < 0) return -1;
        LvColumn c;
        if (col->mask & LVCF_TEXT) c.text = SafeText(col->pszText);
        if (col->mask & LVCF_WIDTH) c.cx = col->cx;
        if (col->mask & LVCF_FMT) c.fmt = col->fmt;
        if (col->mask & LVCF_SUBITEM) c.subItem = col->iSubItem;
        if (col->mask & LVCF_IMAGE) c.image = col->iImage;
        int at = std::min(index, static_cast<int>(d->columns.size()));
        c.order = (col->mask & LVCF_ORDER) ? col->iOrder : at;
        d->columns.insert(d->columns.begin() + at, c);
        if (at > 0)
            for (LvItem& item : d->items)
                if (item.texts.size() > static_cast<size_t>(at)) item.texts.insert(item.texts.begin() + at, nvx::WString());
        InvalidateRect(hwnd, nullptr, TRUE);
        return at;
    }
    case LVM_SETCOLUMNW:
    case LVM_GETCOLUMNW: {
        auto* col = reinterpret_cast<LVCOLUMNW*>(lParam);
        if (!col || index < 0 || index >= static_cast<int>(d->columns.size())) return FALSE;
        LvColumn& c = d->columns[static_cast<size_t>(index)];
        if (msg == LVM_SETCOLUMNW) {
            if (col->mask & LVCF_TEXT) c.text = SafeText(col->pszText);
            if (col->mask & LVCF_WIDTH) c.cx = col->cx;
            if (col->mask & LVCF_FMT) c.fmt = col->fmt;
            if (col->mask & LVCF_IMAGE) c.image = col->iImage;
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        if ((col->mask & LVCF_TEXT) && col->pszText && col->cchTextMax > 0)
            CopyOut(c.text, col->pszText, static_cast<size_t>(col->cchTextMax));
        if (col->mask & LVCF_WIDTH) col->cx = c.cx;
        if (col->mask & LVCF_FMT) col->fmt = c.fmt;
        if (col->mask & LVCF_SUBITEM) col->iSubItem = c.subItem;
        if (col->mask & LVCF_IMAGE) col->iImage = c.image;
        if (col->mask & LVCF_ORDER) col->iOrder = c.order;
        return TRUE;
    }
    case LVM_DELETECOLUMN:
        if (index < 0 || index >= static_cast<int>(d->columns.size())) return FALSE;
        d->columns.erase(d->columns.begin() + index);
        for (LvItem& item : d->items)
            if (index > 0 && item.texts.size() > static_cast<size_t>(index)) item.texts.erase(item.texts.begin() + index);
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        if (index < 0 || index >= static_cast<int>(d->columns.size())) return 0;
        return d->columns[static_cast<size_t>(index)].cx;
    case LVM_SETCOLUMNWIDTH: {
        if (index < 0 || index >= static_cast<int>(d->columns.size())) return FALSE;
        int cx = static_cast<short>(LOWORD(lParam));
        if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER) {
            size_t widest = cx == LVSCW_AUTOSIZE_USEHEADER ? d->columns[static_cast<size_t>(index)].text.size() : 0;
            for (int i = 0; i < static_cast<int>(d->items.size()); ++i) widest = std::max(widest, ItemText(hwnd, d, i, index).size());
            cx = static_cast<int>(widest) * FontCharSize(d->font).cx + 12;
        }
        d->columns[static_cast<size_t>(index)].cx = cx;
        return TRUE;
    }
    case LVM_INSERTITEMW: return Insert(hwnd, d, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_SETITEMW: return SetItem(hwnd, d, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMW: return GetItem(hwnd, d, reinterpret_cast<LVITEMW*>(lParam));
    case LVM_SETITEMTEXTW: {
        auto* lv = reinterpret_cast<const LVITEMW*>(lParam);
        if (!lv || !Valid(d, index)) return FALSE;
        LVITEMW copy = *lv;
        copy.mask = LVIF_TEXT;
        copy.iItem = index;
        return SetItem(hwnd, d, &copy);
    }
    case LVM_GETITEMTEXTW: {
        auto* lv = reinterpret_cast<LVITEMW*>(lParam);
        if (!lv || !Valid(d, index) || !lv->pszText || lv->cchTextMax <= 0) return 0;
        return CopyOut(ItemText(hwnd, d, index, lv->iSubItem), lv->pszText, static_cast<size_t>(lv->cchTextMax));
    }
    case LVM_GETITEMSTATE:
        return Valid(d, index) ? d->items[static_cast<size_t>(index)].state & static_cast<UINT>(lParam) : 0;
    case LVM_SETITEMSTATE: {
        auto* lv = reinterpret_cast<const LVITEMW*>(lParam);
        if (!lv || (index != -1 && !Valid(d, index))) return FALSE;
        return SetState(hwnd, index, lv->state, lv->stateMask);
    }
    case LVM_DELETEITEM: return Delete(hwnd, d, index);
    case LVM_DELETEALLITEMS: {
        if (d->items.empty()) return TRUE;
        bool quiet = NotifyItem(hwnd, LVN_DELETEALLITEMS, -1, 0, 0, 0, 0) != 0;
        if (!(d = Data(hwnd))) return TRUE;
        if (!quiet)
            for (int i = 0; (d = Data(hwnd)) && i < static_cast<int>(d->items.size()); ++i)
                NotifyItem(hwnd, LVN_DELETEITEM, i, 0, 0, 0, d->items[static_cast<size_t>(i)].param);
        if ((d = Data(hwnd))) {
            d->items.clear();
            d->mark = -1;
            d->top = 0;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case LVM_GETNEXTITEM: return NextItem(d, index, static_cast<UINT>(lParam));
    case LVM_GETSELECTEDCOUNT: {
        int n = 0;
        for (const LvItem& item : d->items) n += (item.state & LVIS_SELECTED) != 0;
        return n;
    }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD old = d->exStyle;
        SetExStyle(hwnd, d, static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return d->exStyle;
    case LVM_FINDITEMW: return Find(hwnd, d, index, reinterpret_cast<const LVFINDINFOW*>(lParam));
    case LVM_ENSUREVISIBLE: {
        if (!Valid(d, index)) return FALSE;
        RECT client;
        GetClientRect(hwnd, &client);
        int perPage = std::max(1, static_cast<int>((client.bottom - HeaderHeight(hwnd, d)) / RowHeight(d)));
        if (index < d->top) d->top = index;
        else if (index >= d->top + perPage) d->top = index - perPage + 1;
        return TRUE;
    }
    case LVM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || !Valid(d, index)) return FALSE;
        *r = ItemRect(hwnd, d, index, r->left);
        return TRUE;
    }
    case LVM_GETSUBITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || !Valid(d, index)) return FALSE;
        int sub = r->top;
        RECT row = ItemRect(hwnd, d, index, LVIR_BOUNDS);
        if (sub == 0) {
            *r = row;
            return TRUE;
        }
        if (sub < 0 || sub >= static_cast<int>(d->columns.size())) return FALSE;
        int x = 0;
        for (int c = 0; c < sub; ++c) x += d->columns[static_cast<size_t>(c)].cx;
        *r = RECT{x, row.top, x + d->columns[static_cast<size_t>(sub)].cx, row.bottom};
        return TRUE;
    }
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
        auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info) return -1;
        UINT flags;
        int sub;
        info->iItem = HitTest(hwnd, d, info->pt, &flags, &sub);
        info->flags = flags;
        if (msg == LVM_SUBITEMHITTEST) info->iSubItem = sub;
        return info->iItem;
    }
    case LVM_SETIMAGELIST: {
        if (wParam > LVSIL_STATE) return 0;
        HIMAGELIST old = d->images[wParam];
        d->images[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST: return wParam <= LVSIL_STATE ? reinterpret_cast<LRESULT>(d->images[wParam]) : 0;
    case LVM_GETHEADER: return 0;
    case LVM_SETBKCOLOR: d->bk = static_cast<COLORREF>(lParam); return TRUE;
    case LVM_GETBKCOLOR: return d->bk;
    case LVM_SETTEXTCOLOR: d->text = static_cast<COLORREF>(lParam); return TRUE;
    case LVM_GETTEXTCOLOR: return d->text;
    case LVM_SETTEXTBKCOLOR: d->textBk = static_cast<COLORREF>(lParam); return TRUE;
    case LVM_GETTEXTBKCOLOR: return d->textBk;
    case LVM_SETCALLBACKMASK: d->callbackMask = static_cast<UINT>(wParam); return TRUE;
    case LVM_GETCALLBACKMASK: return d->callbackMask;
    case LVM_GETTOPINDEX: return d->top;
    case LVM_GETCOUNTPERPAGE: {
        RECT client;
        GetClientRect(hwnd, &client);
        return std::max(0, static_cast<int>((client.bottom - HeaderHeight(hwnd, d)) / RowHeight(d)));
    }
    case LVM_GETSELECTIONMARK: return d->mark;
    case LVM_SETSELECTIONMARK: {
        int old = d->mark;
        d->mark = static_cast<int>(lParam);
        return old;
    }
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX: {
        auto compare = reinterpret_cast<PFNLVCOMPARE>(lParam);
        if (!compare) return FALSE;
        std::vector<int> order(d->items.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
        std::vector<LvItem> copy = d->items;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            LPARAM x = msg == LVM_SORTITEMS ? copy[static_cast<size_t>(a)].param : a;
            LPARAM y = msg == LVM_SORTITEMS ? copy[static_cast<size_t>(b)].param : b;
            return compare(x, y, static_cast<LPARAM>(wParam)) < 0;
        });
        if (!(d = Data(hwnd)) || d->items.size() != copy.size()) return FALSE;
        for (size_t i = 0; i < order.size(); ++i) d->items[i] = copy[static_cast<size_t>(order[i])];
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case LVM_GETSTRINGWIDTHW:
        return static_cast<LRESULT>(SafeText(reinterpret_cast<LPCWSTR>(lParam)).size()) * FontCharSize(d->font).cx;
    case LVM_GETORIGIN:
        if (lParam) *reinterpret_cast<POINT*>(lParam) = POINT{0, 0};
        return TRUE;
    case LVM_GETVIEWRECT:
        if (lParam) GetClientRect(hwnd, reinterpret_cast<RECT*>(lParam));
        return TRUE;
    case LVM_REDRAWITEMS:
    case LVM_UPDATE:
    case LVM_ARRANGE:
    case LVM_SCROLL:
    case LVM_SETUNICODEFORMAT:
    case LVM_GETUNICODEFORMAT:
        return TRUE;
    case LVM_EDITLABELW:
    case LVM_GETEDITCONTROL:
        return 0;
    case kDescribeMessage:
        if (lParam) Describe(hwnd, d, *reinterpret_cast<std::string*>(lParam));
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
