// The BUTTON class: push buttons, check boxes, 3-state boxes, radio buttons,
// group boxes.  A click is WM_LBUTTONDOWN (focus, capture, pushed state) and
// WM_LBUTTONUP (auto styles change their check, then BN_CLICKED to the parent).
// A click on an auto radio button checks it and unchecks the other radio
// buttons of its group (the siblings GetNextDlgGroupItem reaches: enabled and
// visible ones); BM_SETCHECK changes one button only.
#include <string>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

constexpr UINT kPressed = 0x4000;    // internal: the mouse went down on the button
constexpr UINT kDontClick = 0x8000;  // BM_SETDONTCLICK: gaining the focus sends no BN_CLICKED
constexpr UINT kInClick = 0x10000;   // inside BM_CLICK: the focus it takes sends no BN_CLICKED

struct ButtonData : ControlData {
    UINT state = 0;  // BST_ check bits, BST_PUSHED, BST_FOCUS, kPressed
    HFONT font = nullptr;
    HANDLE image = nullptr;
    UINT imageType = IMAGE_BITMAP;
};

UINT TypeOf(HWND hwnd) {
    return StyleOf(hwnd) & BS_TYPEMASK;
}

bool IsRadio(UINT type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsPush(UINT type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_SPLITBUTTON ||
           type == BS_DEFSPLITBUTTON || type == BS_COMMANDLINK || type == BS_DEFCOMMANDLINK || type == BS_PUSHBOX;
}

UINT MaxCheck(UINT type) {
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return 1;
    case BS_3STATE:
    case BS_AUTO3STATE: return 2;
    default: return 0;
    }
}

// Checks hwnd and unchecks the other radio buttons of its group, walking the
// group as the dialog manager does (disabled and hidden buttons keep theirs).
void CheckAutoRadio(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    HWND sibling = hwnd;
    for (size_t guard = 0; sibling && guard < 100000; ++guard) {
        if ((Send(sibling, WM_GETDLGCODE) & (DLGC_BUTTON | DLGC_RADIOBUTTON)) == (DLGC_BUTTON | DLGC_RADIOBUTTON))
            Send(sibling, BM_SETCHECK, sibling == hwnd ? BST_CHECKED : BST_UNCHECKED);
        sibling = GetNextDlgGroupItem(parent, sibling, FALSE);
        if (sibling == hwnd) break;
    }
}

void Paint(HWND hwnd, ButtonData* b) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HWND parent = GetParent(hwnd);
    UINT type = TypeOf(hwnd);
    if (type == BS_OWNERDRAW && parent) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(IdOf(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        if (b->state & BST_PUSHED) dis.itemState |= ODS_SELECTED;
        if (b->state & BST_FOCUS) dis.itemState |= ODS_FOCUS;
        if (StyleOf(hwnd) & WS_DISABLED) dis.itemState |= ODS_DISABLED;
        dis.hwndItem = hwnd;
        dis.hDC = dc;
        GetClientRect(hwnd, &dis.rcItem);
        Send(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    } else if (parent) {
        Send(parent, IsPush(type) ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
             reinterpret_cast<LPARAM>(hwnd));
    }
    EndPaint(hwnd, &ps);
}

const char* KindName(UINT type) {
    switch (type) {
    case BS_PUSHBUTTON: return "push";
    case BS_DEFPUSHBUTTON: return "default-push";
    case BS_CHECKBOX: return "checkbox";
    case BS_AUTOCHECKBOX: return "auto-checkbox";
    case BS_RADIOBUTTON: return "radio";
    case BS_AUTORADIOBUTTON: return "auto-radio";
    case BS_3STATE: return "3state";
    case BS_AUTO3STATE: return "auto-3state";
    case BS_GROUPBOX: return "groupbox";
    case BS_OWNERDRAW: return "ownerdraw";
    case BS_SPLITBUTTON: return "split";
    case BS_DEFSPLITBUTTON: return "default-split";
    case BS_COMMANDLINK: return "commandlink";
    case BS_DEFCOMMANDLINK: return "default-commandlink";
    default: return "user";
    }
}

// WM_LBUTTONUP and the space bar's key-up: the click itself.
void Release(HWND hwnd, ButtonData* b, bool inside) {
    UINT state = b->state;
    if (!(state & kPressed)) return;
    b->state &= ~kPressed;
    if (!(state & BST_PUSHED)) {
        ReleaseCapture();
        return;
    }
    Send(hwnd, BM_SETSTATE, FALSE);
    if (!inside) {
        ReleaseCapture();
        return;
    }
    switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX: Send(hwnd, BM_SETCHECK, !(b->state & BST_CHECKED)); break;
    case BS_AUTORADIOBUTTON: CheckAutoRadio(hwnd); break;
    case BS_AUTO3STATE:
        Send(hwnd, BM_SETCHECK, (b->state & BST_INDETERMINATE) ? 0 : ((b->state & 3) + 1));
        break;
    default: break;
    }
    ReleaseCapture();
    NotifyCommand(hwnd, BN_CLICKED);
}

void Press(HWND hwnd, ButtonData* b) {
    SetCapture(hwnd);
    b->state |= kPressed;
    Send(hwnd, BM_SETSTATE, TRUE);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        if (TypeOf(hwnd) == BS_USERBUTTON) SetStyleBits(hwnd, BS_PUSHBUTTON, BS_TYPEMASK);
        AttachControl(hwnd, std::make_unique<ButtonData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* b = ControlOf<ButtonData>(hwnd);
    if (!b) return DefWindowProcW(hwnd, msg, wParam, lParam);
    UINT type = TypeOf(hwnd);
    DWORD style = StyleOf(hwnd);
    switch (msg) {
    case WM_GETDLGCODE:
        if (type == BS_GROUPBOX) return DLGC_STATIC;
        if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
        if (type == BS_DEFPUSHBUTTON || type == BS_DEFSPLITBUTTON || type == BS_DEFCOMMANDLINK)
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (IsPush(type)) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        return DLGC_BUTTON;
    case WM_NCHITTEST:
        return type == BS_GROUPBOX ? HTTRANSPARENT : DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd, b);
        return 0;
    case WM_LBUTTONDBLCLK:
        if ((style & BS_NOTIFY) || type == BS_RADIOBUTTON || type == BS_OWNERDRAW) {
            NotifyCommand(hwnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        if (type == BS_GROUPBOX) return 0;
        SetFocus(hwnd);
        if ((b = ControlOf<ButtonData>(hwnd))) Press(hwnd, b);
        return 0;
    case WM_LBUTTONUP: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        Release(hwnd, b, PtInRect(&rc, pt) != FALSE);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && type != BS_GROUPBOX && !(b->state & kPressed)) Press(hwnd, b);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE) Release(hwnd, b, true);
        return 0;
    case WM_CAPTURECHANGED:
        if (b->state & kPressed) {
            b->state &= ~kPressed;
            Send(hwnd, BM_SETSTATE, FALSE);
        }
        return 0;
    case WM_SETTEXT:
        DefWindowProcW(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case WM_SETFONT:
        b->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(b->font);
    case WM_SETFOCUS:
        b->state |= BST_FOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        if (style & BS_NOTIFY) NotifyCommand(hwnd, BN_SETFOCUS);
        if (IsRadio(type) && (b = ControlOf<ButtonData>(hwnd)) && !(b->state & (BST_CHECKED | kDontClick | kInClick)))
            NotifyCommand(hwnd, BN_CLICKED);
        return 0;
    case WM_KILLFOCUS:
        b->state &= ~BST_FOCUS;
        if ((b->state & kPressed) && GetCapture() == hwnd) ReleaseCapture();
        if (style & BS_NOTIFY) NotifyCommand(hwnd, BN_KILLFOCUS);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case BM_SETSTYLE:
        SetStyleBits(hwnd, static_cast<DWORD>(wParam) & BS_TYPEMASK, BS_TYPEMASK);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_CLICK:
        b->state |= kInClick;
        Send(hwnd, WM_LBUTTONDOWN, 0, 0);
        if ((b = ControlOf<ButtonData>(hwnd))) b->state &= ~kInClick;
        Send(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;
    case BM_SETDONTCLICK:
        if (wParam) b->state |= kDontClick;
        else b->state &= ~kDontClick;
        return 0;
    case BM_GETCHECK:
        return b->state & 3;
    case BM_SETCHECK: {
        UINT check = static_cast<UINT>(wParam);
        if (check > MaxCheck(type)) check = MaxCheck(type);
        if (IsRadio(type)) SetStyleBits(hwnd, check ? WS_TABSTOP : 0, check ? 0 : WS_TABSTOP);
        if ((b->state & 3) != check) {
            b->state = (b->state & ~3u) | check;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case BM_GETSTATE:
        return b->state & (3 | BST_PUSHED | BST_FOCUS);
    case BM_SETSTATE: {
        UINT old = b->state;
        if (wParam) b->state |= BST_PUSHED;
        else b->state &= ~BST_PUSHED;
        if (old != b->state) InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case BM_SETIMAGE: {
        HANDLE old = b->image;
        b->image = reinterpret_cast<HANDLE>(lParam);
        b->imageType = static_cast<UINT>(wParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE:
        return wParam == b->imageType ? reinterpret_cast<LRESULT>(b->image) : 0;
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        *out += ' ';
        *out += KindName(type);
        if (MaxCheck(type)) {
            UINT check = b->state & 3;
            *out += check == BST_CHECKED ? " checked" : check == BST_INDETERMINATE ? " indeterminate" : " unchecked";
        }
        if (b->state & BST_PUSHED) *out += " pushed";
        if (b->image) *out += " image=\"" + DescribeImage(b->image) + "\"";
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
