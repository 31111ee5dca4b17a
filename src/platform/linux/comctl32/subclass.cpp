// Window subclassing of COMCTL32 (SetWindowSubclass and friends): a chain of
// procedures per window, newest first, that ends in the window procedure the
// window had when the first one was installed.
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

// The chain position of the call in progress, per thread: DefSubclassProc
// continues with the next older entry.
struct Frame {
    HWND hwnd;
    size_t next;  // index of the entry DefSubclassProc calls next (counting down), or npos
};
thread_local std::vector<Frame> t_frames;

LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls entry `index` of the chain (or the original procedure below index 0).
LRESULT CallEntry(HWND hwnd, size_t index, UINT msg, WPARAM wParam, LPARAM lParam) {
    Subclass entry{};
    WNDPROC original = nullptr;
    bool haveEntry = false;
    {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hwnd);
        if (!w) return 0;
        original = w->subclassed;
        if (index != static_cast<size_t>(-1) && index < w->subclasses.size()) {
            entry = w->subclasses[index];
            haveEntry = true;
        }
    }
    if (!haveEntry) return original ? original(hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
    t_frames.push_back(Frame{hwnd, index == 0 ? static_cast<size_t>(-1) : index - 1});
    LRESULT result = entry.proc(hwnd, msg, wParam, lParam, entry.id, entry.refData);
    t_frames.pop_back();
    return result;
}

LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    size_t top;
    {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hwnd);
        if (!w) return 0;
        top = w->subclasses.empty() ? static_cast<size_t>(-1) : w->subclasses.size() - 1;
    }
    return CallEntry(hwnd, top, msg, wParam, lParam);
}

bool OwnThread(HWND hwnd) {
    return GetWindowThreadProcessId(hwnd, nullptr) == CurrentThreadId();
}

}  // namespace
}  // namespace nvxp

using nvxp::UiLock;
using nvxp::UiMutex;

extern "C" {

// Installs (or updates the reference data of) a subclass on a window of this thread.
NVXAPI BOOL WINAPI SetWindowSubclass(HWND hWnd, SUBCLASSPROC pfnSubclass, UINT_PTR uIdSubclass, DWORD_PTR dwRefData) {
    if (!pfnSubclass || !nvxp::CheckWindow(hWnd) || !nvxp::OwnThread(hWnd)) return FALSE;
    UiLock lock(UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    for (nvxp::Subclass& s : w->subclasses)
        if (s.proc == pfnSubclass && s.id == uIdSubclass) {
            s.refData = dwRefData;
            return TRUE;
        }
    if (w->subclasses.empty() || w->proc != nvxp::ChainProc) {
        w->subclassed = w->proc;
        w->proc = nvxp::ChainProc;
    }
    w->subclasses.push_back(nvxp::Subclass{pfnSubclass, uIdSubclass, dwRefData});
    return TRUE;
}

NVXAPI BOOL WINAPI GetWindowSubclass(HWND hWnd, SUBCLASSPROC pfnSubclass, UINT_PTR uIdSubclass, DWORD_PTR* pdwRefData) {
    UiLock lock(UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (w)
        for (const nvxp::Subclass& s : w->subclasses)
            if (s.proc == pfnSubclass && s.id == uIdSubclass) {
                if (pdwRefData) *pdwRefData = s.refData;
                return TRUE;
            }
    if (pdwRefData) *pdwRefData = 0;
    return FALSE;
}

// Removes one entry; the window gets its procedure back when the chain empties
// (unless someone replaced the chain procedure meanwhile).
NVXAPI BOOL WINAPI RemoveWindowSubclass(HWND hWnd, SUBCLASSPROC pfnSubclass, UINT_PTR uIdSubclass) {
    UiLock lock(UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return FALSE;
    for (auto it = w->subclasses.begin(); it != w->subclasses.end(); ++it)
        if (it->proc == pfnSubclass && it->id == uIdSubclass) {
            w->subclasses.erase(it);
            if (w->subclasses.empty() && w->proc == nvxp::ChainProc) w->proc = w->subclassed;
            return TRUE;
        }
    return FALSE;
}

NVXAPI LRESULT WINAPI DefSubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    for (auto it = nvxp::t_frames.rbegin(); it != nvxp::t_frames.rend(); ++it)
        if (it->hwnd == hWnd) return nvxp::CallEntry(hWnd, it->next, uMsg, wParam, lParam);
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

}  // extern "C"
