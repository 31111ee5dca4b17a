// Geometry: the fixed screen and system metrics, window and client rectangles,
// coordinate mapping, SetWindowPos with its WINDOWPOS traffic, monitors.
//
// The screen is 1920x1080 at 96 dots per inch with a 40-pixel task bar at the
// bottom (work area 1920x1040).  Frames follow the classic metrics: borders of
// 1 pixel, dialog frames of 3, sizing frames of 4, client edges of 2, a caption
// of 23 pixels (see docs/platform-ui.md).
#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kTaskBar = 40;
const HMONITOR kMonitor = reinterpret_cast<HMONITOR>(uintptr_t(0x10001));

struct Metric {
    int index;
    int value;
};

// One table answers GetSystemMetrics.
const Metric kMetrics[] = {
    {SM_CXSCREEN, kScreenWidth}, {SM_CYSCREEN, kScreenHeight}, {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17},
    {SM_CYCAPTION, 23}, {SM_CXBORDER, 1}, {SM_CYBORDER, 1}, {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3},
    {SM_CYVTHUMB, 17}, {SM_CXHTHUMB, 17}, {SM_CXICON, 32}, {SM_CYICON, 32}, {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32}, {SM_CYMENU, 19}, {SM_CXFULLSCREEN, kScreenWidth},
    {SM_CYFULLSCREEN, kScreenHeight - kTaskBar - 23}, {SM_MOUSEPRESENT, 1}, {SM_CYVSCROLL, 17},
    {SM_CXHSCROLL, 17}, {SM_CXMIN, 136}, {SM_CYMIN, 39}, {SM_CXSIZE, 36}, {SM_CYSIZE, 22}, {SM_CXFRAME, 4},
    {SM_CYFRAME, 4}, {SM_CXMINTRACK, 136}, {SM_CYMINTRACK, 39}, {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},
    {SM_CXICONSPACING, 75}, {SM_CYICONSPACING, 75}, {SM_CMOUSEBUTTONS, 3}, {SM_CXEDGE, 2}, {SM_CYEDGE, 2},
    {SM_CXSMICON, 16}, {SM_CYSMICON, 16}, {SM_CYSMCAPTION, 23}, {SM_CXMAXIMIZED, kScreenWidth + 16},
    {SM_CYMAXIMIZED, kScreenHeight - kTaskBar + 16}, {SM_CXMENUCHECK, 15}, {SM_CYMENUCHECK, 15},
    {SM_XVIRTUALSCREEN, 0}, {SM_YVIRTUALSCREEN, 0}, {SM_CXVIRTUALSCREEN, kScreenWidth},
    {SM_CYVIRTUALSCREEN, kScreenHeight}, {SM_CMONITORS, 1}, {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
};

std::atomic<LONG> g_cursorX{kScreenWidth / 2};
std::atomic<LONG> g_cursorY{kScreenHeight / 2};

// Under UiLock: the screen position of a window's client origin.
POINT OriginLocked(Window* w) {
    POINT p{0, 0};
    Window* desktop = DesktopLocked();
    for (; w && w != desktop; w = w->parent) {
        Frame f = NonClientFrame(w->style, w->exStyle, false);
        p.x += w->rect.left + f.left;
        p.y += w->rect.top + f.top;
    }
    return p;
}

// Under UiLock: moves w within its siblings' z-order as hWndInsertAfter asks.
void Reorder(Window* w, HWND insertAfter) {
    if (!w->parent) return;
    auto& list = w->parent->children;
    list.erase(std::find(list.begin(), list.end(), w));
    auto firstNormal = [&]() {
        size_t i = 0;
        while (i < list.size() && (list[i]->exStyle & WS_EX_TOPMOST)) ++i;
        return list.begin() + static_cast<long>(i);
    };
    if (insertAfter == HWND_TOPMOST) {
        w->exStyle |= WS_EX_TOPMOST;
        list.insert(list.begin(), w);
    } else if (insertAfter == HWND_NOTOPMOST) {
        w->exStyle &= ~WS_EX_TOPMOST;
        list.insert(firstNormal(), w);
    } else if (insertAfter == HWND_TOP) {
        list.insert((w->exStyle & WS_EX_TOPMOST) ? list.begin() : firstNormal(), w);
    } else if (insertAfter == HWND_BOTTOM) {
        list.push_back(w);
    } else {
        auto it = std::find_if(list.begin(), list.end(), [&](Window* s) { return s->hwnd == insertAfter; });
        list.insert(it == list.end() ? list.end() : it + 1, w);
    }
}

HWND HitTest(HWND parent, POINT screen, bool skipHiddenDisabled) {
    for (HWND child : ChildHandles(parent)) {
        DWORD style = StyleOf(child);
        if (skipHiddenDisabled && (!(style & WS_VISIBLE) || (style & WS_DISABLED))) continue;
        RECT r;
        GetWindowRect(child, &r);
        if (!PtInRect(&r, screen)) continue;
        HWND deeper = HitTest(child, screen, skipHiddenDisabled);
        return deeper ? deeper : child;
    }
    return nullptr;
}

void FillLogFont(LOGFONTW* lf, int height, int weight) {
    *lf = LOGFONTW{};
    lf->lfHeight = height;
    lf->lfWeight = weight;
    lf->lfCharSet = DEFAULT_CHARSET;
    lf->lfQuality = CLEARTYPE_QUALITY;
    FillFaceName(lf->lfFaceName, WL("Segoe UI"));
}

}  // namespace

Frame NonClientFrame(DWORD style, DWORD exStyle, bool menu) {
    int adjust = 0;
    if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
        adjust = 1;
    else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
        adjust = 2;
    if (style & WS_THICKFRAME) adjust += 1;  // sizing frame 4 against dialog frame 3
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) adjust += 1;
    Frame f{adjust, adjust, adjust, adjust};
    if ((style & WS_CAPTION) == WS_CAPTION) f.top += 23;  // SM_CYCAPTION (and SM_CYSMCAPTION)
    if (menu) f.top += 19;
    if (exStyle & WS_EX_CLIENTEDGE) {
        f.left += 2;
        f.top += 2;
        f.right += 2;
        f.bottom += 2;
    }
    return f;
}

POINT ClientOriginOnScreen(HWND hwnd) {
    UiLock lock(UiMutex());
    return OriginLocked(FindWindowLocked(hwnd));
}

RECT ScreenRect() {
    return RECT{0, 0, kScreenWidth, kScreenHeight};
}

RECT WorkArea() {
    return RECT{0, 0, kScreenWidth, kScreenHeight - kTaskBar};
}

BOOL SetWindowPosImpl(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    bool child;
    bool wasVisible;
    {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hwnd);
        if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
        if (w == DesktopLocked()) return Fail(ERROR_ACCESS_DENIED, FALSE);
        child = (w->style & WS_CHILD) != 0;
        wasVisible = (w->style & WS_VISIBLE) != 0;
        if (flags & SWP_NOMOVE) {
            pos.x = w->rect.left;
            pos.y = w->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = w->rect.right - w->rect.left;
            pos.cy = w->rect.bottom - w->rect.top;
        }
        if (pos.x == w->rect.left && pos.y == w->rect.top) pos.flags |= SWP_NOMOVE;
        if (pos.cx == w->rect.right - w->rect.left && pos.cy == w->rect.bottom - w->rect.top) pos.flags |= SWP_NOSIZE;
        if ((flags & SWP_SHOWWINDOW) && wasVisible) pos.flags &= ~SWP_SHOWWINDOW;
        if ((flags & SWP_HIDEWINDOW) && !wasVisible) pos.flags &= ~SWP_HIDEWINDOW;
    }
    if (!(pos.flags & SWP_NOSENDCHANGING)) Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    bool changed;
    {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hwnd);
        if (!w) return TRUE;
        if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE))
            w->rect = RECT{pos.x, pos.y, pos.x + std::max(0, pos.cx), pos.y + std::max(0, pos.cy)};
        if (!(pos.flags & SWP_NOZORDER)) Reorder(w, pos.hwndInsertAfter);
        if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
        if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
        changed = (pos.flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_HIDEWINDOW |
                                SWP_FRAMECHANGED)) != (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    bool nowVisible = (StyleOf(hwnd) & WS_VISIBLE) != 0;
    if (nowVisible && (!wasVisible || !(pos.flags & SWP_NOSIZE)) && !(pos.flags & SWP_NOREDRAW))
        InvalidateWindow(hwnd, true, true);
    if (changed) Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (!child && (pos.flags & SWP_HIDEWINDOW) && IsWindow(hwnd)) {
        HWND active = ThreadUi().active;
        if (active == hwnd || IsChild(hwnd, active)) ActivateOtherWindow(hwnd);
    }
    if (!child && nowVisible && !(flags & SWP_NOACTIVATE) && IsWindow(hwnd) &&
        GetWindowThreadProcessId(hwnd, nullptr) == CurrentThreadId())
        SetActiveWindow(hwnd);
    if (!child && nowVisible != wasVisible) NotifyWindowWatcher(hwnd, DialogResourceId(hwnd), nowVisible);
    return TRUE;
}

}  // namespace nvxp

using nvxp::Fail;
using nvxp::UiLock;
using nvxp::UiMutex;

extern "C" {

NVXAPI int WINAPI GetSystemMetrics(int nIndex) {
    for (const nvxp::Metric& m : nvxp::kMetrics)
        if (m.index == nIndex) return m.value;
    if (nIndex == SM_DBCSENABLED) return GetACP() == 932;
    return 0;
}

NVXAPI BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
    if (!lpRect) return Fail(ERROR_NOACCESS, FALSE);
    nvxp::Frame f = nvxp::NonClientFrame(dwStyle, dwExStyle, bMenu != FALSE);
    lpRect->left -= f.left;
    lpRect->top -= f.top;
    lpRect->right += f.right;
    lpRect->bottom += f.bottom;
    return TRUE;
}

NVXAPI BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

NVXAPI BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return Fail(ERROR_NOACCESS, FALSE);
    UiLock lock(UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    POINT origin = w->parent ? nvxp::OriginLocked(w->parent) : POINT{0, 0};
    *lpRect = w->rect;
    OffsetRect(lpRect, origin.x, origin.y);
    return TRUE;
}

NVXAPI BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return Fail(ERROR_NOACCESS, FALSE);
    UiLock lock(UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    nvxp::Frame f = nvxp::NonClientFrame(w->style, w->exStyle, false);
    int width = w->rect.right - w->rect.left - f.left - f.right;
    int height = w->rect.bottom - w->rect.top - f.top - f.bottom;
    if (w->scroll[SB_VERT].shown) width -= GetSystemMetrics(SM_CXVSCROLL);
    if (w->scroll[SB_HORZ].shown) height -= GetSystemMetrics(SM_CYHSCROLL);
    *lpRect = RECT{0, 0, std::max(0, width), std::max(0, height)};
    return TRUE;
}

// Answers the offset as MAKELONG(dx, dy); a null window is the screen.
NVXAPI int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    SetLastError(ERROR_SUCCESS);
    UiLock lock(UiMutex());
    nvxp::Window* from = hWndFrom ? nvxp::FindWindowLocked(hWndFrom) : nvxp::DesktopLocked();
    nvxp::Window* to = hWndTo ? nvxp::FindWindowLocked(hWndTo) : nvxp::DesktopLocked();
    if (!from || !to) return Fail(ERROR_INVALID_WINDOW_HANDLE, 0);
    POINT a = nvxp::OriginLocked(from);
    POINT b = nvxp::OriginLocked(to);
    int dx = a.x - b.x;
    int dy = a.y - b.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELONG(dx, dy);
}

NVXAPI BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    if (!lpPoint || !nvxp::CheckWindow(hWnd)) return FALSE;
    MapWindowPoints(nullptr, hWnd, lpPoint, 1);
    return TRUE;
}

NVXAPI BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    if (!lpPoint || !nvxp::CheckWindow(hWnd)) return FALSE;
    MapWindowPoints(hWnd, nullptr, lpPoint, 1);
    return TRUE;
}

NVXAPI BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    return nvxp::SetWindowPosImpl(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

NVXAPI BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

NVXAPI BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return Fail(ERROR_NOACCESS, FALSE);
    lpPoint->x = nvxp::g_cursorX;
    lpPoint->y = nvxp::g_cursorY;
    return TRUE;
}

NVXAPI BOOL WINAPI SetCursorPos(int X, int Y) {
    nvxp::g_cursorX = std::clamp(X, 0, nvxp::kScreenWidth - 1);
    nvxp::g_cursorY = std::clamp(Y, 0, nvxp::kScreenHeight - 1);
    return TRUE;
}

NVXAPI HWND WINAPI WindowFromPoint(POINT Point) {
    return nvxp::HitTest(GetDesktopWindow(), Point, true);
}

NVXAPI HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
    if (!nvxp::CheckWindow(hWndParent)) return nullptr;
    RECT client;
    GetClientRect(hWndParent, &client);
    if (!PtInRect(&client, Point)) return nullptr;
    POINT screen = Point;
    ClientToScreen(hWndParent, &screen);
    for (HWND child : nvxp::ChildHandles(hWndParent)) {
        RECT r;
        GetWindowRect(child, &r);
        if (PtInRect(&r, screen)) return child;
    }
    return hWndParent;
}

NVXAPI HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
    (void)hwnd;
    (void)dwFlags;
    return nvxp::kMonitor;
}

NVXAPI HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD dwFlags) {
    RECT screen = nvxp::ScreenRect();
    if (!PtInRect(&screen, pt) && dwFlags == MONITOR_DEFAULTTONULL) return nullptr;
    return nvxp::kMonitor;
}

NVXAPI HMONITOR WINAPI MonitorFromRect(LPCRECT lprc, DWORD dwFlags) {
    RECT screen = nvxp::ScreenRect();
    RECT overlap;
    if ((!lprc || !IntersectRect(&overlap, lprc, &screen)) && dwFlags == MONITOR_DEFAULTTONULL) return nullptr;
    return nvxp::kMonitor;
}

// MONITORINFO, or MONITORINFOEXW (104 bytes) with the device name "\\.\DISPLAY1".
NVXAPI BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) {
    if (hMonitor != nvxp::kMonitor) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!lpmi || (lpmi->cbSize != sizeof(MONITORINFO) && lpmi->cbSize != sizeof(MONITORINFO) + 64))
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    lpmi->rcMonitor = nvxp::ScreenRect();
    lpmi->rcWork = nvxp::WorkArea();
    lpmi->dwFlags = MONITORINFOF_PRIMARY;
    if (lpmi->cbSize > sizeof(MONITORINFO))
        nvx::WCopy(reinterpret_cast<WCHAR*>(lpmi + 1), 32, WL("\\\\.\\DISPLAY1"));
    return TRUE;
}

// Work area, non-client metrics (Segoe UI 9 point) and the icon-title font.
NVXAPI BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    (void)fWinIni;
    if (!pvParam) return Fail(ERROR_NOACCESS, FALSE);
    switch (uiAction) {
    case SPI_GETWORKAREA:
        *static_cast<RECT*>(pvParam) = nvxp::WorkArea();
        return TRUE;
    case SPI_GETICONTITLELOGFONT:
        if (uiParam && uiParam < sizeof(LOGFONTW)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
        nvxp::FillLogFont(static_cast<LOGFONTW*>(pvParam), -12, FW_NORMAL);
        return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* ncm = static_cast<NONCLIENTMETRICSW*>(pvParam);
        UINT size = ncm->cbSize;
        if (size != sizeof(NONCLIENTMETRICSW) && size != sizeof(NONCLIENTMETRICSW) - sizeof(int))
            return Fail(ERROR_INVALID_PARAMETER, FALSE);
        NONCLIENTMETRICSW m{};
        m.cbSize = size;
        m.iBorderWidth = 1;
        m.iScrollWidth = 17;
        m.iScrollHeight = 17;
        m.iCaptionWidth = 36;
        m.iCaptionHeight = 22;
        nvxp::FillLogFont(&m.lfCaptionFont, -12, FW_NORMAL);
        m.iSmCaptionWidth = 22;
        m.iSmCaptionHeight = 22;
        nvxp::FillLogFont(&m.lfSmCaptionFont, -12, FW_NORMAL);
        m.iMenuWidth = 19;
        m.iMenuHeight = 19;
        nvxp::FillLogFont(&m.lfMenuFont, -12, FW_NORMAL);
        nvxp::FillLogFont(&m.lfStatusFont, -12, FW_NORMAL);
        nvxp::FillLogFont(&m.lfMessageFont, -12, FW_NORMAL);
        memcpy(ncm, &m, size);
        return TRUE;
    }
    default:
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
}

}  // extern "C"
