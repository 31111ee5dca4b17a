// Keyboard navigation of dialogs: the tab order (GetNextDlgTabItem, descending
// into WS_EX_CONTROLPARENT children such as property pages), groups
// (GetNextDlgGroupItem, WS_GROUP boundaries) and IsDialogMessageW (Tab, arrows in
// radio groups, Enter for the default button, Escape for IDCANCEL, mnemonics).
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

bool VisibleEnabled(HWND hwnd) {
    return (StyleOf(hwnd) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

// The next (or previous) tab stop after `control` within `dialog`, searching
// control parents depth-first and wrapping around at the top level.
HWND NextTab(HWND main, HWND dialog, HWND control, bool previous) {
    UINT step = previous ? GW_HWNDPREV : GW_HWNDNEXT;
    HWND child = nullptr;
    if (!control) {
        child = GetWindow(dialog, GW_CHILD);
        if (previous && child) child = GetWindow(child, GW_HWNDLAST);
    } else if (IsChild(main, control)) {
        child = GetWindow(control, step);
        if (!child) {
            if (GetParent(control) != main)
                child = GetWindow(GetParent(control), step);
            else
                child = GetWindow(control, previous ? GW_HWNDLAST : GW_HWNDFIRST);
        }
    }
    while (child) {
        DWORD style = StyleOf(child);
        if ((ExStyleOf(child) & WS_EX_CONTROLPARENT) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            if (HWND inner = NextTab(main, child, nullptr, previous)) return inner;
        } else if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            return child;
        }
        child = GetWindow(child, step);
    }
    HWND found = nullptr;
    if (control) {
        for (HWND parent = GetParent(control); parent && parent != main; parent = GetParent(parent)) {
            found = NextTab(main, GetParent(parent), parent, previous);
            if (found) break;
        }
        if (!found) found = NextTab(main, main, nullptr, previous);
    }
    return found ? found : control;
}

// A mnemonic: the control whose text has "&c" (ignoring case), or the static
// label before a control.  Answers the control to act on, or null.
HWND FindMnemonic(HWND dialog, WCHAR c) {
    WCHAR want = nvx::WToUpper(c);
    for (HWND child : ChildHandles(dialog)) {
        if (!VisibleEnabled(child) && !(StyleOf(child) & WS_VISIBLE)) continue;
        if (ExStyleOf(child) & WS_EX_CONTROLPARENT)
            if (HWND inner = FindMnemonic(child, c)) return inner;
        nvx::WString text = TextOf(child);
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != '&') continue;
            if (text[i + 1] == '&') {
                ++i;
                continue;
            }
            if (nvx::WToUpper(text[i + 1]) == want) return child;
            break;
        }
    }
    return nullptr;
}

bool HandleMnemonic(HWND dialog, WCHAR c) {
    HWND target = FindMnemonic(dialog, c);
    if (!target) return false;
    DWORD code = static_cast<DWORD>(Send(target, WM_GETDLGCODE));
    if ((code & DLGC_STATIC) || (IsClass(target, u"Button") && (StyleOf(target) & BS_TYPEMASK) == BS_GROUPBOX)) {
        HWND next = GetWindow(target, GW_HWNDNEXT);
        while (next && !(VisibleEnabled(next) && !(Send(next, WM_GETDLGCODE) & DLGC_STATIC))) next = GetWindow(next, GW_HWNDNEXT);
        if (next) Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), 1);
        return true;
    }
    if (!VisibleEnabled(target)) return true;
    if (code & DLGC_BUTTON) {
        if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), 1);
        Send(target, BM_CLICK);
        return true;
    }
    Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), 1);
    return true;
}

void PressEnter(HWND dialog) {
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus) && (Send(focus, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON)) {
        Send(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), reinterpret_cast<LPARAM>(focus));
        return;
    }
    DWORD def = static_cast<DWORD>(Send(dialog, DM_GETDEFID));
    if (HIWORD(def) == DC_HASDEFID) {
        HWND button = GetDlgItem(dialog, LOWORD(def));
        if (!button || IsWindowEnabled(button))
            Send(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(def), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return;
    }
    Send(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

}  // namespace
}  // namespace nvxp

using nvxp::Send;

extern "C" {

NVXAPI HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    if (!nvxp::CheckWindow(hDlg)) return nullptr;
    if (hCtl && !nvxp::CheckWindow(hCtl)) return nullptr;
    if (hDlg == hCtl) hCtl = nullptr;
    if (!hCtl && bPrevious) return nullptr;
    return nvxp::NextTab(hDlg, hDlg, hCtl, bPrevious != FALSE);
}

// The next (or previous) visible, enabled control in hCtl's group, wrapping
// inside the group; the group runs from a WS_GROUP control to the next one.
NVXAPI HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    if (!nvxp::CheckWindow(hDlg)) return nullptr;
    if (hDlg == hCtl) hCtl = nullptr;
    if (!hCtl && bPrevious) return nullptr;
    if (hCtl) {
        if (!IsChild(hDlg, hCtl)) return nullptr;
    } else {
        hCtl = GetWindow(hDlg, GW_CHILD);
        if (!hCtl) return nullptr;
        if (nvxp::VisibleEnabled(hCtl)) return hCtl;
    }
    HWND result = hCtl;
    HWND hwnd = hCtl;
    HWND lastGroup = nullptr;
    bool looped = false;
    bool skipping = false;
    for (int guard = 0; guard < 100000; ++guard) {
        HWND next = GetWindow(hwnd, GW_HWNDNEXT);
        while (!next) {
            if (GetParent(hwnd) == hDlg || !GetParent(hwnd)) {
                if (looped) return result;
                looped = true;
                next = GetWindow(hDlg, GW_CHILD);
            } else {
                hwnd = GetParent(hwnd);
                next = GetWindow(hwnd, GW_HWNDNEXT);
            }
        }
        hwnd = next;
        while ((nvxp::ExStyleOf(hwnd) & WS_EX_CONTROLPARENT) && nvxp::VisibleEnabled(hwnd) &&
               (next = GetWindow(hwnd, GW_CHILD)))
            hwnd = next;
        if (nvxp::StyleOf(hwnd) & WS_GROUP) {
            lastGroup = hwnd;
            if (!skipping) skipping = true;
        }
        if (hwnd == hCtl) {
            if (!skipping) break;
            if (lastGroup == hwnd) break;
            hwnd = lastGroup;
            skipping = false;
            looped = false;
        }
        if (!skipping && nvxp::VisibleEnabled(hwnd)) {
            result = hwnd;
            if (!bPrevious) break;
        }
    }
    return result;
}

// Handles the dialog keys for messages of the dialog and its controls; every
// other message of them is translated and dispatched here.  Answers FALSE for
// messages of other windows.
NVXAPI BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
    if (!hDlg || !lpMsg || !IsWindow(hDlg)) return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
    HWND from = lpMsg->hwnd;
    switch (lpMsg->message) {
    case WM_KEYDOWN: {
        DWORD code = static_cast<DWORD>(Send(from, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg)));
        if (code & DLGC_WANTMESSAGE) break;
        switch (lpMsg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB) break;
            Send(hDlg, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
            return TRUE;
        case VK_RIGHT:
        case VK_DOWN:
        case VK_LEFT:
        case VK_UP: {
            if (code & DLGC_WANTARROWS) break;
            bool previous = lpMsg->wParam == VK_LEFT || lpMsg->wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(hDlg, from, previous);
            if (next && Send(next, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg)) ==
                            (DLGC_BUTTON | DLGC_RADIOBUTTON)) {
                SetFocus(next);
                if ((nvxp::StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                    Send(next, BM_GETCHECK) != BST_CHECKED)
                    Send(next, BM_CLICK, 1, 0);
            } else {
                Send(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), 1);
            }
            return TRUE;
        }
        case VK_CANCEL:
        case VK_ESCAPE:
            Send(hDlg, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
            return TRUE;
        case VK_RETURN:
            nvxp::PressEnter(hDlg);
            return TRUE;
        default: break;
        }
        break;
    }
    case WM_CHAR: {
        DWORD code = static_cast<DWORD>(Send(from, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg)));
        if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
        if (lpMsg->wParam == '\t' && (code & DLGC_WANTTAB)) break;
        if (nvxp::HandleMnemonic(hDlg, static_cast<WCHAR>(lpMsg->wParam))) return TRUE;
        break;
    }
    case WM_SYSCHAR:
        if (nvxp::HandleMnemonic(hDlg, static_cast<WCHAR>(lpMsg->wParam))) return TRUE;
        break;
    default: break;
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}

}  // extern "C"
