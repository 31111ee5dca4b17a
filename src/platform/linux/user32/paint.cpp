// Painting: update regions (kept as one rectangle per window), WM_PAINT
// generation, BeginPaint/EndPaint with WM_ERASEBKGND, UpdateWindow and
// RedrawWindow.  Nothing is drawn (gdi32/gdi_record.cpp keeps what windows
// draw); the traffic is Win32's.
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

void Invalidate(HWND hwnd, const RECT* rect, bool erase) {
    RECT client;
    GetClientRect(hwnd, &client);
    RECT add = client;
    if (rect) IntersectRect(&add, rect, &client);
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    if (w->updatePending)
        UnionRect(&w->updateRect, &w->updateRect, &add);
    else
        w->updateRect = add;
    w->updatePending = true;
    w->eraseNeeded = w->eraseNeeded || erase;
}

void InvalidateTree(HWND hwnd, const RECT* rect, bool erase, bool children) {
    Invalidate(hwnd, rect, erase);
    if (!children) return;
    for (HWND child : ChildHandles(hwnd)) InvalidateTree(child, nullptr, erase, true);
}

bool Pending(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w && w->updatePending;
}

// Sends WM_PAINT now when the window has something to paint (UpdateWindow).
void PaintNow(HWND hwnd, bool children) {
    if (Pending(hwnd) && ReallyVisible(hwnd)) {
        Send(hwnd, WM_PAINT);
        ValidateWindow(hwnd);
    }
    if (!children) return;
    for (HWND child : ChildHandles(hwnd)) PaintNow(child, true);
}

HWND FindPaint(HWND root, DWORD thread, HWND filter) {
    for (HWND child : ChildHandles(root)) {
        {
            UiLock lock(UiMutex());
            Window* w = FindWindowLocked(child);
            if (!w || !(w->style & WS_VISIBLE)) continue;
            if (w->thread == thread && w->updatePending &&
                (!filter || child == filter || IsChild(filter, child)))
                return child;
        }
        if (HWND deeper = FindPaint(child, thread, filter)) return deeper;
    }
    return nullptr;
}

}  // namespace

void InvalidateWindow(HWND hwnd, bool erase, bool children) {
    InvalidateTree(hwnd, nullptr, erase, children);
}

HWND NextWindowToPaint(HWND filter) {
    if (filter == reinterpret_cast<HWND>(-1)) return nullptr;
    return FindPaint(DesktopHandle(), CurrentThreadId(), filter);
}

void ValidateWindow(HWND hwnd) {
    UiLock lock(UiMutex());
    if (Window* w = FindWindowLocked(hwnd)) {
        w->updatePending = false;
        w->eraseNeeded = false;
        w->updateRect = RECT{};
    }
}

}  // namespace nvxp

using nvxp::Fail;

extern "C" {

// A null window invalidates every top-level window.
NVXAPI BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (!hWnd) {
        for (HWND top : nvxp::ChildHandles(GetDesktopWindow())) nvxp::InvalidateTree(top, nullptr, bErase, true);
        return TRUE;
    }
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    nvxp::Invalidate(hWnd, lpRect, bErase != FALSE);
    return TRUE;
}

// Validates the whole window, or the update rectangle when lpRect covers it.
NVXAPI BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    nvxp::UiLock lock(nvxp::UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (lpRect) {
        RECT merged;
        UnionRect(&merged, lpRect, &w->updateRect);
        if (!EqualRect(&merged, lpRect)) return TRUE;
    }
    w->updatePending = false;
    w->eraseNeeded = false;
    w->updateRect = RECT{};
    return TRUE;
}

NVXAPI BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    nvxp::PaintNow(hWnd, true);
    return TRUE;
}

NVXAPI BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
    (void)hrgnUpdate;
    if (!hWnd) hWnd = GetDesktopWindow();
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    bool children = (flags & RDW_ALLCHILDREN) != 0;
    if (flags & RDW_INVALIDATE) nvxp::InvalidateTree(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0, children);
    if (flags & RDW_VALIDATE) ValidateRect(hWnd, lprcUpdate);
    if (flags & RDW_UPDATENOW) nvxp::PaintNow(hWnd, children);
    return TRUE;
}

NVXAPI BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    (void)bErase;
    nvxp::UiLock lock(nvxp::UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    if (lpRect) *lpRect = w->updatePending ? w->updateRect : RECT{};
    return w->updatePending && !IsRectEmpty(&w->updateRect);
}

// Answers a DC for the window, sends WM_ERASEBKGND when the update asked for it,
// and validates the window.
NVXAPI HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    if (!lpPaint) return Fail(ERROR_NOACCESS, HDC(nullptr));
    if (!nvxp::CheckWindow(hWnd)) return nullptr;
    *lpPaint = PAINTSTRUCT{};
    bool erase;
    {
        nvxp::UiLock lock(nvxp::UiMutex());
        nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
        lpPaint->rcPaint = w->updatePending ? w->updateRect : RECT{};
        erase = w->eraseNeeded;
        w->updatePending = false;
        w->eraseNeeded = false;
        w->updateRect = RECT{};
    }
    nvxp::RestartPaintRecord(hWnd);
    HDC dc = nvxp::CreateWindowDc(hWnd);
    lpPaint->hdc = dc;
    lpPaint->fErase = erase;
    if (erase) lpPaint->fErase = nvxp::Send(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)) ? FALSE : TRUE;
    return dc;
}

NVXAPI BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    (void)hWnd;
    if (!lpPaint) return FALSE;
    ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

NVXAPI HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd && !nvxp::CheckWindow(hWnd)) return nullptr;
    return nvxp::CreateWindowDc(hWnd);
}

NVXAPI HDC WINAPI GetWindowDC(HWND hWnd) {
    return GetDC(hWnd);
}

}  // extern "C"
