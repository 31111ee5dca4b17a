// The COMBOBOX class: drop-down lists (CBS_DROPDOWNLIST), drop-downs with an
// edit child (CBS_DROPDOWN, id 1001) and simple combos.  The list is part of
// the control (there is no separate list window).
//
// Notification order (as Windows' and Wine's combo boxes send them):
//   focus            CBN_SETFOCUS (a drop-down forwards the focus to its edit)
//   drop down        CBN_DROPDOWN
//   choose from list CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE (the edit text
//                    of a drop-down changes after CBN_SELCHANGE)
//   close, no choice CBN_SELENDCANCEL, CBN_CLOSEUP
//   arrow key, shut  CBN_SELENDOK, CBN_SELCHANGE
//   typing (edit)    CBN_EDITUPDATE, CBN_EDITCHANGE
//   focus lost       CBN_SELENDCANCEL (CBN_CLOSEUP when dropped), CBN_KILLFOCUS
#include <algorithm>
#include <string>

#include "platform/linux/user32/user_internal.h"
#include "platform/linux/user32/user_listitems.h"

namespace nvxp {
namespace {

constexpr int kEditId = 1001;

struct ComboData : ControlData {
    ItemList list;
    int cur = -1;
    bool dropped = false;
    bool focused = false;
    bool beenFocused = false;
    bool extendedUi = false;
    HWND edit = nullptr;
    HFONT font = nullptr;
    int itemHeight = 0;
    int droppedWidth = 0;
    int droppedHeight = 0;  // drop-down kinds: the height given at creation or by a later size
    int top = 0;
};

DWORD Kind(HWND hwnd) {
    return StyleOf(hwnd) & 3;
}

bool Strings(HWND hwnd) {
    DWORD style = StyleOf(hwnd);
    return !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (style & CBS_HASSTRINGS);
}

void Notify(HWND hwnd, UINT code) {
    NotifyCommand(hwnd, code);
}

// Shows the current item in the edit (selecting it when focused) or repaints.
void UpdateEdit(HWND hwnd, ComboData* c) {
    if (c->edit) {
        nvx::WString text = c->list.Valid(c->cur) ? c->list.At(c->cur).text : nvx::WString();
        Send(c->edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (c->focused) Send(c->edit, EM_SETSEL, 0, -1);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

void DropDown(HWND hwnd, ComboData* c) {
    if (c->dropped || Kind(hwnd) == CBS_SIMPLE) return;
    Notify(hwnd, CBN_DROPDOWN);
    if ((c = ControlOf<ComboData>(hwnd))) c->dropped = true;
}

// Closes the list: CBN_SELENDOK or CBN_SELENDCANCEL always, CBN_CLOSEUP when it was dropped.
void RollUp(HWND hwnd, bool ok) {
    Notify(hwnd, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
    auto* c = ControlOf<ComboData>(hwnd);
    if (!c || Kind(hwnd) == CBS_SIMPLE || !c->dropped) return;
    c->dropped = false;
    Notify(hwnd, CBN_CLOSEUP);
}

void GainFocus(HWND hwnd, ComboData* c) {
    if (c->focused) return;
    InvalidateRect(hwnd, nullptr, TRUE);
    Notify(hwnd, CBN_SETFOCUS);
    if ((c = ControlOf<ComboData>(hwnd))) c->focused = true;
}

void LoseFocus(HWND hwnd, ComboData* c) {
    if (!c->focused) return;
    RollUp(hwnd, false);
    if (!(c = ControlOf<ComboData>(hwnd))) return;
    c->focused = false;
    InvalidateRect(hwnd, nullptr, TRUE);
    Notify(hwnd, CBN_KILLFOCUS);
}

// The user chose an item in the list (mouse click or keyboard while closed).
void Choose(HWND hwnd, ComboData* c, int index, bool closeList) {
    c->cur = index;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (closeList) RollUp(hwnd, true);
    if (!(c = ControlOf<ComboData>(hwnd))) return;
    Notify(hwnd, CBN_SELCHANGE);
    if (!(c = ControlOf<ComboData>(hwnd))) return;
    UpdateEdit(hwnd, c);
}

int AddItem(HWND hwnd, ComboData* c, int index, LPARAM lParam, bool insert) {
    bool strings = Strings(hwnd);
    nvx::WString text = strings ? SafeText(reinterpret_cast<LPCWSTR>(lParam)) : nvx::WString();
    LPARAM data = strings ? 0 : lParam;
    int at = insert ? c->list.Insert(index, text, data)
                    : c->list.Add(text, (StyleOf(hwnd) & CBS_SORT) && strings, data);
    if (at < 0) return CB_ERR;
    if (c->cur >= 0 && c->cur >= at) ++c->cur;
    return at;
}

// The edit's text changed: a prefix match becomes the list's selection while
// dropped; otherwise there is no selection.
void EditChanged(HWND hwnd, ComboData* c) {
    nvx::WString text = TextOf(c->edit);
    int found = text.empty() ? -1 : c->list.Find(-1, text, false);
    c->cur = c->dropped ? found : -1;
}

void Paint(HWND hwnd, ComboData* c) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HWND parent = GetParent(hwnd);
    DWORD style = StyleOf(hwnd);
    if (parent && (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) && !c->edit) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = static_cast<UINT>(IdOf(hwnd));
        dis.itemID = static_cast<UINT>(c->cur);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = ODS_COMBOBOXEDIT | (c->focused ? ODS_FOCUS | ODS_SELECTED : 0) |
                        ((style & WS_DISABLED) ? ODS_DISABLED : 0);
        dis.hwndItem = hwnd;
        dis.hDC = dc;
        GetClientRect(hwnd, &dis.rcItem);
        dis.itemData = c->list.Valid(c->cur) ? static_cast<ULONG_PTR>(c->list.At(c->cur).data) : 0;
        Send(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    } else if (parent && !c->edit) {
        Send(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    }
    EndPaint(hwnd, &ps);
}

// The height of a drop-down combo box's selection field: the window keeps this
// height and the height it is given is the dropped list's (as on Windows).
int FieldHeight(const ComboData* c) {
    return FontCharSize(c ? c->font : nullptr).cy + 8;
}

bool DropsDown(HWND hwnd) {
    return Kind(hwnd) == CBS_DROPDOWN || Kind(hwnd) == CBS_DROPDOWNLIST;
}

void Create(HWND hwnd, ComboData* c, const CREATESTRUCTW* cs) {
    DWORD style = StyleOf(hwnd);
    HWND parent = GetParent(hwnd);
    if ((style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) && parent) {
        for (int item : {-1, 0}) {
            MEASUREITEMSTRUCT mis{};
            mis.CtlType = ODT_COMBOBOX;
            mis.CtlID = static_cast<UINT>(IdOf(hwnd));
            mis.itemID = static_cast<UINT>(item);
            mis.itemHeight = static_cast<UINT>(FontCharSize(nullptr).cy);
            Send(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
            if (item == 0 && (c = ControlOf<ComboData>(hwnd))) c->itemHeight = static_cast<int>(mis.itemHeight);
        }
    }
    if (DropsDown(hwnd) && (c = ControlOf<ComboData>(hwnd))) {
        RECT r;
        GetWindowRect(hwnd, &r);
        c->droppedHeight = r.bottom - r.top;
        if (c->droppedHeight > FieldHeight(c))
            SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, FieldHeight(c),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (Kind(hwnd) == CBS_DROPDOWNLIST || !(c = ControlOf<ComboData>(hwnd))) return;
    RECT client;
    GetClientRect(hwnd, &client);
    int button = Kind(hwnd) == CBS_SIMPLE ? 0 : GetSystemMetrics(SM_CXVSCROLL);
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_LEFT | ((style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0) |
                      ((style & CBS_UPPERCASE) ? ES_UPPERCASE : 0) | ((style & CBS_LOWERCASE) ? ES_LOWERCASE : 0) |
                      ((style & WS_DISABLED) ? WS_DISABLED : 0);
    int height = std::min<int>(client.bottom, FontCharSize(nullptr).cy + 8);
    HWND edit = CreateWindowExW(0, u"Edit", nullptr, editStyle, 0, 0, std::max(0, static_cast<int>(client.right) - button),
                                height, hwnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), cs->hInstance,
                                nullptr);
    if ((c = ControlOf<ComboData>(hwnd))) c->edit = edit;
}

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<ComboData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* c = ControlOf<ComboData>(hwnd);
    if (!c) return DefWindowProcW(hwnd, msg, wParam, lParam);
    int index = static_cast<int>(static_cast<INT>(wParam));
    switch (msg) {
    case WM_CREATE:
        Create(hwnd, c, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        auto* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE) && c->dropped)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, c); return 0;
    case WM_SETFONT:
        c->font = reinterpret_cast<HFONT>(wParam);
        if (c->edit) Send(c->edit, WM_SETFONT, wParam, lParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    case WM_ENABLE:
        if (c->edit) EnableWindow(c->edit, static_cast<BOOL>(wParam));
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS:
        if (c->edit) {
            SetFocus(c->edit);
            if ((c = ControlOf<ComboData>(hwnd)) && !c->beenFocused) {
                Send(c->edit, EM_SETSEL, 0, -1);
                c->beenFocused = true;
            }
        } else {
            GainFocus(hwnd, c);
        }
        return 0;
    case WM_KILLFOCUS:
        if (!c->edit || reinterpret_cast<HWND>(wParam) != c->edit) LoseFocus(hwnd, c);
        return 0;
    case WM_COMMAND:
        if (c->edit && reinterpret_cast<HWND>(lParam) == c->edit) {
            switch (HIWORD(wParam)) {
            case EN_SETFOCUS: GainFocus(hwnd, c); break;
            case EN_KILLFOCUS: {
                HWND focus = GetFocus();
                if (focus != hwnd) LoseFocus(hwnd, c);
                break;
            }
            case EN_CHANGE:
                EditChanged(hwnd, c);
                Notify(hwnd, CBN_EDITCHANGE);
                break;
            case EN_UPDATE: Notify(hwnd, CBN_EDITUPDATE); break;
            default: break;
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!c->focused) SetFocus(hwnd);
        if (!(c = ControlOf<ComboData>(hwnd))) return 0;
        RECT client;
        GetClientRect(hwnd, &client);
        bool onButton = GET_X_LPARAM(lParam) >= client.right - GetSystemMetrics(SM_CXVSCROLL);
        if (Kind(hwnd) == CBS_DROPDOWNLIST || (Kind(hwnd) == CBS_DROPDOWN && onButton)) {
            if (c->dropped) RollUp(hwnd, true);
            else DropDown(hwnd, c);
        }
        return 0;
    }
    case WM_KEYDOWN: {
        if ((wParam == VK_RETURN || wParam == VK_ESCAPE) && c->dropped) {
            RollUp(hwnd, wParam == VK_RETURN);
            return TRUE;
        }
        if (wParam == VK_F4 && !c->extendedUi) {
            if (c->dropped) RollUp(hwnd, false);
            else DropDown(hwnd, c);
            return TRUE;
        }
        if (c->edit && wParam != VK_UP && wParam != VK_DOWN) return Send(c->edit, msg, wParam, lParam);
        int n = c->list.Count();
        if (!n) return 0;
        int to = c->cur;
        switch (wParam) {
        case VK_UP: to = std::max(0, c->cur - 1); break;
        case VK_DOWN:
            if (c->extendedUi && !c->dropped) {
                DropDown(hwnd, c);
                return 0;
            }
            to = std::min(n - 1, c->cur + 1);
            break;
        case VK_HOME: to = 0; break;
        case VK_END: to = n - 1; break;
        case VK_PRIOR: to = std::max(0, c->cur - 8); break;
        case VK_NEXT: to = std::min(n - 1, c->cur + 8); break;
        default: return 0;
        }
        if (to != c->cur) Choose(hwnd, c, to, !c->dropped);
        return 0;
    }
    case WM_CHAR: {
        if (c->edit) return Send(c->edit, msg, wParam, lParam);
        WCHAR ch[2] = {static_cast<WCHAR>(wParam), 0};
        int found = c->list.Find(c->cur, ch, false);
        if (found >= 0 && found != c->cur) Choose(hwnd, c, found, !c->dropped);
        return 0;
    }
    case kComboChoose:
        if (!c->list.Valid(index)) return CB_ERR;
        Choose(hwnd, c, index, true);
        return index;
    case WM_SETTEXT:
        if (c->edit) return Send(c->edit, WM_SETTEXT, wParam, lParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
        if (c->edit) return Send(c->edit, msg, wParam, lParam);
        nvx::WString text = c->list.Valid(c->cur) ? c->list.At(c->cur).text : nvx::WString();
        if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
        return CopyOut(text, reinterpret_cast<WCHAR*>(lParam), wParam);
    }
    case CB_ADDSTRING: return AddItem(hwnd, c, -1, lParam, false);
    case CB_INSERTSTRING: return AddItem(hwnd, c, index, lParam, true);
    case CB_DELETESTRING:
        if (!c->list.Erase(index)) return CB_ERR;
        if (c->cur == index) c->cur = -1;
        else if (c->cur > index) --c->cur;
        InvalidateRect(hwnd, nullptr, TRUE);
        return c->list.Count();
    case CB_RESETCONTENT:
        c->list.items.clear();
        c->cur = -1;
        if (c->edit) Send(c->edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
        InvalidateRect(hwnd, nullptr, TRUE);
        return CB_OKAY;
    case CB_GETCOUNT: return c->list.Count();
    case CB_GETCURSEL: return c->cur;
    case CB_SETCURSEL:
        if (!c->list.Valid(index)) {
            c->cur = -1;
            UpdateEdit(hwnd, c);
            return CB_ERR;
        }
        c->cur = index;
        UpdateEdit(hwnd, c);
        return index;
    case CB_SELECTSTRING: {
        int found = Strings(hwnd) ? c->list.Find(index, SafeText(reinterpret_cast<LPCWSTR>(lParam)), false)
                                  : c->list.FindData(lParam);
        if (found < 0) return CB_ERR;
        c->cur = found;
        UpdateEdit(hwnd, c);
        return found;
    }
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
        if (!Strings(hwnd)) return c->list.FindData(lParam);
        return c->list.Find(index, SafeText(reinterpret_cast<LPCWSTR>(lParam)), msg == CB_FINDSTRINGEXACT);
    case CB_GETLBTEXT: {
        if (!c->list.Valid(index)) return CB_ERR;
        if (!Strings(hwnd)) {
            if (lParam) *reinterpret_cast<LPARAM*>(lParam) = c->list.At(index).data;
            return sizeof(LPARAM);
        }
        const nvx::WString& text = c->list.At(index).text;
        if (lParam) {
            std::copy(text.begin(), text.end(), reinterpret_cast<WCHAR*>(lParam));
            reinterpret_cast<WCHAR*>(lParam)[text.size()] = 0;
        }
        return static_cast<LRESULT>(text.size());
    }
    case CB_GETLBTEXTLEN:
        if (!c->list.Valid(index)) return CB_ERR;
        return Strings(hwnd) ? static_cast<LRESULT>(c->list.At(index).text.size()) : sizeof(LPARAM);
    case CB_GETITEMDATA:
        return c->list.Valid(index) ? c->list.At(index).data : CB_ERR;
    case CB_SETITEMDATA:
        if (!c->list.Valid(index)) return CB_ERR;
        c->list.At(index).data = lParam;
        return TRUE;
    case CB_SETEXTENDEDUI:
        c->extendedUi = wParam != 0;
        return CB_OKAY;
    case CB_GETEXTENDEDUI: return c->extendedUi;
    case CB_SHOWDROPDOWN:
        if (wParam) DropDown(hwnd, c);
        else if (c->dropped) RollUp(hwnd, false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return c->dropped;
    case CB_LIMITTEXT:
        if (c->edit) Send(c->edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        return c->edit ? Send(c->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!c->edit) return CB_ERR;
        Send(c->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(lParam))),
             static_cast<LPARAM>(static_cast<short>(HIWORD(lParam))));
        return TRUE;
    case CB_GETITEMHEIGHT: return c->itemHeight ? c->itemHeight : FontCharSize(c->font).cy;
    case CB_SETITEMHEIGHT:
        if (static_cast<int>(lParam) <= 0 || lParam > 255) return CB_ERR;
        c->itemHeight = static_cast<int>(lParam);
        return CB_OKAY;
    case CB_GETDROPPEDCONTROLRECT: {
        if (!lParam) return CB_ERR;
        auto* r = reinterpret_cast<RECT*>(lParam);
        GetWindowRect(hwnd, r);
        if (DropsDown(hwnd) && r->bottom - r->top < c->droppedHeight) r->bottom = r->top + c->droppedHeight;
        return TRUE;
    }
    case WM_WINDOWPOSCHANGING: {
        // A size given to a drop-down combo box is its dropped height; the window
        // stays as high as its selection field.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos && !(pos->flags & SWP_NOSIZE) && DropsDown(hwnd) && pos->cy > FieldHeight(c)) {
            c->droppedHeight = pos->cy;
            pos->cy = FieldHeight(c);
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    case CB_GETDROPPEDWIDTH: {
        RECT r;
        GetWindowRect(hwnd, &r);
        return c->droppedWidth ? c->droppedWidth : r.right - r.left;
    }
    case CB_SETDROPPEDWIDTH:
        c->droppedWidth = index;
        return index;
    case CB_GETTOPINDEX: return c->top;
    case CB_SETTOPINDEX:
        if (!c->list.Valid(index)) return CB_ERR;
        c->top = index;
        return 0;
    case CB_INITSTORAGE: return static_cast<LRESULT>(c->list.Count() + index);
    case CB_GETCOMBOBOXINFO: {
        auto* info = reinterpret_cast<COMBOBOXINFO*>(lParam);
        if (!info || info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
        GetClientRect(hwnd, &info->rcItem);
        info->rcButton = info->rcItem;
        info->rcButton.left = info->rcButton.right - GetSystemMetrics(SM_CXVSCROLL);
        info->stateButton = 0;
        info->hwndCombo = hwnd;
        info->hwndItem = c->edit ? c->edit : hwnd;
        info->hwndList = nullptr;
        return TRUE;
    }
    case CB_GETLOCALE:
    case CB_SETLOCALE:
        return 0x0409;
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        DWORD kind = Kind(hwnd);
        *out += kind == CBS_DROPDOWNLIST ? " dropdownlist" : kind == CBS_DROPDOWN ? " dropdown" : " simple";
        if (c->dropped) *out += " dropped";
        *out += " sel=" + std::to_string(c->cur) + " items=" + std::to_string(c->list.Count());
        c->list.Describe(*out, c->cur, AppendQuoted);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
