// TSTMAIN.DLL: an entry point that reports to the probe and refuses the attach
// when a file "<its own path>.fail" exists.
#include "platform/win32.h"
#include "testdlls/probe_client.h"

namespace {
HINSTANCE g_self = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_self = instance;
        DisableThreadLibraryCalls(instance);
        if (testdll::FileExists(testdll::OwnPath(instance, ".fail"))) {
            testdll::Note("main-refuse");
            return FALSE;
        }
        testdll::Note("main-attach");
        return TRUE;
    case DLL_PROCESS_DETACH:
        testdll::Note(reserved ? "main-detach-exit" : "main-detach");
        return TRUE;
    default:
        return TRUE;
    }
}

extern "C" int Main_Value() { return 42; }
extern "C" HINSTANCE Main_Self() { return g_self; }
