// Visibility and the enabled state: ShowWindow (WM_SHOWWINDOW, then the
// SetWindowPos traffic), EnableWindow (WM_CANCELMODE, WM_ENABLE).
#include "platform/linux/user32/user_internal.h"

using nvxp::Fail;

namespace {

bool Activates(int cmd) {
    switch (cmd) {
    case SW_SHOWNORMAL:
    case SW_SHOWMAXIMIZED:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_SHOWMINIMIZED: return true;
    default: return false;
    }
}

void SetSizeState(HWND hwnd, int cmd) {
    switch (cmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: nvxp::SetStyleBits(hwnd, WS_MINIMIZE, WS_MAXIMIZE); break;
    case SW_SHOWMAXIMIZED: nvxp::SetStyleBits(hwnd, WS_MAXIMIZE, WS_MINIMIZE); break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: nvxp::SetStyleBits(hwnd, 0, WS_MINIMIZE | WS_MAXIMIZE); break;
    default: break;
    }
}

}  // namespace

extern "C" {

// Answers whether the window was visible before.
NVXAPI BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    DWORD style = nvxp::StyleOf(hWnd);
    bool wasVisible = (style & WS_VISIBLE) != 0;
    bool child = (style & WS_CHILD) != 0;
    bool show = nCmdShow != SW_HIDE;
    if (!show && !wasVisible) return FALSE;
    SetSizeState(hWnd, nCmdShow);
    if (show && wasVisible) {
        if (!child && Activates(nCmdShow)) SetActiveWindow(hWnd);
        return TRUE;
    }
    nvxp::Send(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!IsWindow(hWnd)) return wasVisible;
    if (!show) {
        HWND focus = GetFocus();
        if (focus && (focus == hWnd || IsChild(hWnd, focus))) {
            HWND parent = GetAncestor(hWnd, GA_PARENT);
            SetFocus(parent == GetDesktopWindow() ? nullptr : parent);
        }
    }
    UINT flags = SWP_NOSIZE | SWP_NOMOVE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (child || !show || !Activates(nCmdShow)) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    nvxp::SetWindowPosImpl(hWnd, HWND_TOP, 0, 0, 0, 0, flags);
    return wasVisible;
}

NVXAPI BOOL WINAPI IsWindowVisible(HWND hWnd) {
    return nvxp::ReallyVisible(hWnd);
}

NVXAPI BOOL WINAPI IsIconic(HWND hWnd) {
    return (nvxp::StyleOf(hWnd) & WS_MINIMIZE) != 0;
}

NVXAPI BOOL WINAPI IsZoomed(HWND hWnd) {
    return (nvxp::StyleOf(hWnd) & WS_MAXIMIZE) != 0;
}

// Answers nonzero when the window was disabled before.  A window that is
// disabled loses the focus (it goes nowhere) and the capture.
NVXAPI BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    bool wasDisabled = (nvxp::StyleOf(hWnd) & WS_DISABLED) != 0;
    if (bEnable && wasDisabled) {
        nvxp::SetStyleBits(hWnd, 0, WS_DISABLED);
        nvxp::Send(hWnd, WM_ENABLE, TRUE);
    } else if (!bEnable && !wasDisabled) {
        nvxp::Send(hWnd, WM_CANCELMODE);
        nvxp::SetStyleBits(hWnd, WS_DISABLED, 0);
        if (GetFocus() == hWnd) SetFocus(nullptr);
        HWND capture = GetCapture();
        if (capture && (capture == hWnd || IsChild(hWnd, capture))) ReleaseCapture();
        nvxp::Send(hWnd, WM_ENABLE, FALSE);
    }
    return wasDisabled;
}

NVXAPI BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    return !(nvxp::StyleOf(hWnd) & WS_DISABLED);
}

}  // extern "C"
