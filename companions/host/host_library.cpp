// Stand-in for the host driver UI's library.
//
// The real host hooks every page's messages (DDProc_DlgProc) and draws the maker's
// logo on the pages.  This stand-in handles no page message and draws nothing;
// the functions whose callers are not built yet are not exported at all, which the
// module must (and does) cope with.
#include "platform/win32.h"

#ifdef _WIN32
#define HOST_EXPORT extern "C"
#else
#define HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

HOST_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

// The host's hook into every page procedure: (page identifier, page window,
// message, WPARAM, LPARAM, handled flag).  It never sets the flag, so every
// message goes on to the module's page.
HOST_EXPORT INT_PTR DDProc_DlgProc(UINT, HWND, UINT, WPARAM, LPARAM, BOOL*) {
    return FALSE;
}

// Logo drawing on the version page and the other pages: nothing to draw headless.
HOST_EXPORT void DrawLogoVersionTab(HDC, HWND, int, int) {}
HOST_EXPORT void DrawLogoImage(HDC, HWND, int, int) {}
