// TSTNEST.DLL: loads TSTMAIN.DLL from its own folder inside its attach and
// frees it inside its detach, as a module loads its resource libraries.
#include "common/text.h"
#include "platform/win32.h"
#include "testdlls/probe_client.h"

namespace {
HMODULE g_inner = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        WCHAR path[MAX_PATH] = {};
        DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return FALSE;
        size_t cut = n;
        while (cut > 0 && path[cut - 1] != '\\' && path[cut - 1] != '/') --cut;
        const WCHAR* inner = WL("TSTMAIN.DLL");
        for (size_t i = 0; cut + i < MAX_PATH; ++i)
            if ((path[cut + i] = inner[i]) == 0) break;
        testdll::Note("nest-attach");
        g_inner = LoadLibraryW(path);
        return g_inner != nullptr;
    }
    if (reason == DLL_PROCESS_DETACH) {
        testdll::Note("nest-detach");
        if (g_inner) FreeLibrary(g_inner);
        g_inner = nullptr;
    }
    return TRUE;
}

extern "C" HMODULE Nest_Inner() { return g_inner; }
