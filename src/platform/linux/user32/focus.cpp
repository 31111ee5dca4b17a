// Focus, activation, foreground, capture and keyboard state.
//
// Each thread has its own focus and active window, as each Win32 thread has its
// own input state.  Activation sends WM_NCACTIVATE and WM_ACTIVATE to the window
// that loses it and then to the one that gains it, and moves the focus into the
// new active window when it is not already there (WM_KILLFOCUS, WM_SETFOCUS).
#include <algorithm>
#include <atomic>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

std::atomic<HWND> g_foreground{nullptr};
std::atomic<uint8_t> g_keys[256];

HWND SetActive(HWND hwnd, bool moveFocus) {
    ThreadUiState& t = ThreadUi();
    HWND previous = t.active;
    if (previous == hwnd) return previous;
    if (previous && IsWindow(previous)) {
        Send(previous, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
        if (IsWindow(previous))
            Send(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    }
    t.active = hwnd;
    if (hwnd && IsWindow(hwnd)) {
        g_foreground = hwnd;
        {
            UiLock lock(UiMutex());
            Window* w = FindWindowLocked(hwnd);
            auto& list = w->parent->children;
            list.erase(std::find(list.begin(), list.end(), w));
            size_t at = 0;
            if (!(w->exStyle & WS_EX_TOPMOST))
                while (at < list.size() && (list[at]->exStyle & WS_EX_TOPMOST)) ++at;
            list.insert(list.begin() + static_cast<long>(at), w);
        }
        Send(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(previous));
        if (IsWindow(hwnd))
            Send(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous));
    }
    if (moveFocus && t.active == hwnd) {
        HWND focus = t.focus;
        if (!focus || !hwnd || GetAncestor(focus, GA_ROOT) != hwnd) SetFocusDirect(hwnd);
    }
    return previous;
}

bool CanActivate(HWND hwnd) {
    DWORD style = StyleOf(hwnd);
    return IsWindow(hwnd) && (style & WS_VISIBLE) && !(style & WS_DISABLED) &&
           GetWindowThreadProcessId(hwnd, nullptr) == CurrentThreadId();
}

}  // namespace

void SetFocusDirect(HWND hwnd) {
    ThreadUiState& t = ThreadUi();
    HWND previous = t.focus;
    if (previous == hwnd) return;
    t.focus = hwnd;
    if (previous && IsWindow(previous)) {
        Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd));
        if (ThreadUi().focus != hwnd) return;  // moved again meanwhile
    }
    if (hwnd && IsWindow(hwnd)) Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous));
}

void ActivateOtherWindow(HWND leaving) {
    ThreadUiState& t = ThreadUi();
    if (t.active != leaving && !IsChild(leaving, t.active)) return;
    HWND next = nullptr;
    HWND owner = GetWindow(leaving, GW_OWNER);
    if (owner && CanActivate(owner)) {
        next = owner;
    } else {
        for (HWND top : ChildHandles(DesktopHandle()))
            if (top != leaving && CanActivate(top) && !(ExStyleOf(top) & WS_EX_TOOLWINDOW)) {
                next = top;
                break;
            }
    }
    SetActive(next, true);
}

void ForgetFocusOf(HWND hwnd) {
    ThreadUiState& t = ThreadUi();
    if (t.focus == hwnd) t.focus = nullptr;
    if (t.active == hwnd) t.active = nullptr;
    if (t.capture == hwnd) t.capture = nullptr;
    HWND expected = hwnd;
    g_foreground.compare_exchange_strong(expected, nullptr);
}

}  // namespace nvxp

using nvxp::Fail;

extern "C" {

// Refuses windows of other threads and windows under a disabled or minimized
// ancestor; activates the window's top-level window first.
NVXAPI HWND WINAPI SetFocus(HWND hWnd) {
    nvxp::ThreadUiState& t = nvxp::ThreadUi();
    HWND previous = t.focus;
    if (hWnd) {
        if (!nvxp::CheckWindow(hWnd)) return nullptr;
        if (GetWindowThreadProcessId(hWnd, nullptr) != nvxp::CurrentThreadId())
            return Fail(ERROR_ACCESS_DENIED, HWND(nullptr));
        if (hWnd == previous) return previous;
        HWND top = hWnd;
        for (;;) {
            DWORD style = nvxp::StyleOf(top);
            if (style & (WS_MINIMIZE | WS_DISABLED)) return nullptr;
            if (!(style & WS_CHILD)) break;
            HWND parent = GetAncestor(top, GA_PARENT);
            if (!parent || parent == nvxp::DesktopHandle()) break;
            top = parent;
        }
        if (top != t.active) {
            nvxp::SetActive(top, false);
            if (!IsWindow(hWnd) || nvxp::ThreadUi().active != top) return nullptr;
        }
    }
    nvxp::SetFocusDirect(hWnd);
    return previous;
}

NVXAPI HWND WINAPI GetFocus(void) {
    return nvxp::ThreadUi().focus;
}

NVXAPI HWND WINAPI SetActiveWindow(HWND hWnd) {
    if (hWnd) {
        if (!nvxp::CheckWindow(hWnd)) return nullptr;
        if ((nvxp::StyleOf(hWnd) & (WS_POPUP | WS_CHILD)) == WS_CHILD) return GetActiveWindow();
        if (GetWindowThreadProcessId(hWnd, nullptr) != nvxp::CurrentThreadId())
            return Fail(ERROR_ACCESS_DENIED, HWND(nullptr));
    }
    return nvxp::SetActive(hWnd, true);
}

NVXAPI HWND WINAPI GetActiveWindow(void) {
    return nvxp::ThreadUi().active;
}

// Activates the window when it belongs to this thread; otherwise it only becomes
// the foreground window (its own thread activates it when asked to).
NVXAPI BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    HWND top = GetAncestor(hWnd, GA_ROOT);
    if (!top) top = hWnd;
    if (GetWindowThreadProcessId(top, nullptr) == nvxp::CurrentThreadId()) SetActiveWindow(top);
    nvxp::g_foreground = top;
    return TRUE;
}

NVXAPI HWND WINAPI GetForegroundWindow(void) {
    HWND h = nvxp::g_foreground;
    return IsWindow(h) ? h : nullptr;
}

NVXAPI BOOL WINAPI BringWindowToTop(HWND hWnd) {
    return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

NVXAPI HWND WINAPI SetCapture(HWND hWnd) {
    nvxp::ThreadUiState& t = nvxp::ThreadUi();
    HWND previous = t.capture;
    if (hWnd && !nvxp::CheckWindow(hWnd)) return nullptr;
    t.capture = hWnd;
    if (previous && previous != hWnd && IsWindow(previous))
        nvxp::Send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return previous;
}

NVXAPI HWND WINAPI GetCapture(void) {
    return nvxp::ThreadUi().capture;
}

NVXAPI BOOL WINAPI ReleaseCapture(void) {
    nvxp::ThreadUiState& t = nvxp::ThreadUi();
    HWND previous = t.capture;
    t.capture = nullptr;
    if (previous && IsWindow(previous)) nvxp::Send(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

// No key is down unless the host says so (NvxUi_SetKeyState).
NVXAPI SHORT WINAPI GetKeyState(int nVirtKey) {
    if (nVirtKey < 0 || nVirtKey > 255) return 0;
    return nvxp::g_keys[nVirtKey] ? static_cast<SHORT>(0x8000) : 0;
}

NVXAPI SHORT WINAPI GetAsyncKeyState(int vKey) {
    return GetKeyState(vKey);
}

NVXAPI HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    static std::atomic<HCURSOR> current{nullptr};
    return current.exchange(hCursor);
}

NVXAPI BOOL WINAPI MessageBeep(UINT uType) {
    (void)uType;
    return TRUE;
}

}  // extern "C"

namespace nvxp {
// The host's view of the keyboard (shift, control) for GetKeyState.
void SetKeyDown(int vk, bool down) {
    if (vk < 0 || vk > 255) return;
    g_keys[vk] = down ? 1 : 0;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) g_keys[VK_SHIFT] = down ? 1 : 0;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) g_keys[VK_CONTROL] = down ? 1 : 0;
}
}  // namespace nvxp
