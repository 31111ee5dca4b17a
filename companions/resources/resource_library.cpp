// Entry of the resource-only libraries: they hold resources and run no code.
#include "platform/win32.h"

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
#else
extern "C" __attribute__((visibility("default"))) BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
#endif
    return TRUE;
}
