// DefWindowProcW: the default handling every window procedure falls back on.
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

// Messages that a child window hands to its parent when it does not handle them.
LRESULT ToParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!(StyleOf(hwnd) & WS_CHILD)) return 0;
    HWND parent = GetParent(hwnd);
    return parent ? Send(parent, msg, wParam, lParam) : 0;
}

LRESULT ControlColor(UINT msg, HDC dc) {
    bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE));
}

}  // namespace

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE: return 0;  // the desktop stays
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp

extern "C" {

NVXAPI LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    using namespace nvxp;
    switch (Msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs) StoreText(hWnd, SafeText(cs->lpszName));
        if (cs && (cs->style & (WS_HSCROLL | WS_VSCROLL))) {
            UiLock lock(UiMutex());
            if (Window* w = FindWindowLocked(hWnd)) {
                w->scroll[SB_HORZ].shown = (cs->style & WS_HSCROLL) != 0;
                w->scroll[SB_VERT].shown = (cs->style & WS_VSCROLL) != 0;
            }
        }
        return TRUE;
    }
    case WM_SETTEXT:
        StoreText(hWnd, SafeText(reinterpret_cast<LPCWSTR>(lParam)));
        return TRUE;
    case WM_GETTEXT:
        return CopyOut(TextOf(hWnd), reinterpret_cast<WCHAR*>(lParam), wParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(TextOf(hWnd).size());
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush;
        {
            UiLock lock(UiMutex());
            Window* w = FindWindowLocked(hWnd);
            brush = w && w->cls ? w->cls->background : nullptr;
        }
        if (!brush) return 0;
        if (reinterpret_cast<uintptr_t>(brush) <= COLOR_MENUBAR + 1)
            brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<uintptr_t>(brush)) - 1);
        RECT rc;
        GetClientRect(hWnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        return 1;
    }
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos) return 0;
        if (!(pos->flags & SWP_NOMOVE)) {
            POINT origin{0, 0};
            HWND parent = (StyleOf(hWnd) & WS_CHILD) ? GetParent(hWnd) : nullptr;
            MapWindowPoints(hWnd, parent, &origin, 1);
            Send(hWnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
        }
        if (!(pos->flags & SWP_NOSIZE)) {
            RECT client;
            GetClientRect(hWnd, &client);
            Send(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hWnd);
        return 0;
    case WM_MOUSEACTIVATE:
        if (LRESULT parent = ToParent(hWnd, Msg, wParam, lParam)) return parent;
        return MA_ACTIVATE;
    case WM_SETCURSOR:
        return ToParent(hWnd, Msg, wParam, lParam);
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return ControlColor(Msg, reinterpret_cast<HDC>(wParam));
    case WM_HELP:
    case WM_CONTEXTMENU:
        return ToParent(hWnd, Msg, wParam, lParam);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) Send(hWnd, WM_CLOSE);
        return 0;
    case WM_SETICON:
    case WM_GETICON: {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hWnd);
        if (!w) return 0;
        HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
        HICON old = slot;
        if (Msg == WM_SETICON) slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_NOTIFYFORMAT:
        return lParam == NF_QUERY ? NFR_UNICODE : 0;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return -1;
    case WM_CANCELMODE:
        if (GetCapture() == hWnd) ReleaseCapture();
        return 0;
    default:
        return 0;
    }
}

}  // extern "C"
