// A host library (loaded as NOVRIX_D.DLL) whose page hook takes over one message:
// a click on Collate (1014).  It counts what it saw so that tests can ask.
#include "platform/win32.h"

#ifdef _WIN32
#define HOOK_EXPORT extern "C"
#else
#define HOOK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
int g_initPage = 0;
int g_calls = 0;
int g_consumed = 0;
}  // namespace

HOOK_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

// (page identifier, window, message, wParam, lParam, handled flag)
HOOK_EXPORT INT_PTR DDProc_DlgProc(UINT page, HWND, UINT msg, WPARAM wParam, LPARAM, BOOL* handled) {
    ++g_calls;
    if (msg == WM_INITDIALOG) g_initPage = static_cast<int>(page);
    if (msg == WM_COMMAND && LOWORD(wParam) == 1014 && HIWORD(wParam) == BN_CLICKED && handled) {
        *handled = TRUE;
        ++g_consumed;
        return 77;
    }
    return 0;
}

HOOK_EXPORT int HookInitPage() {
    return g_initPage;
}
HOOK_EXPORT int HookCalls() {
    return g_calls;
}
HOOK_EXPORT int HookConsumed() {
    return g_consumed;
}
