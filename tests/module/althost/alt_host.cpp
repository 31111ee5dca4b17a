// A host library (loaded as NOVRIX_D.DLL) with the alternative job-start
// functions of a host whose device link runs through its own library: it keeps
// the arguments each got, so that tests can see they arrived unchanged.  It has
// no Alt_PrintStart_GetEncryptionKey and no Alt_PrintStart_IsCommunicate.
#include <cstdint>
#include <cstring>

#include "platform/win32.h"

#ifdef _WIN32
#define ALT_EXPORT extern "C"
#else
#define ALT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
UINT_PTR g_args[16] = {};
int g_count = 0;
const char* g_last = "";
}  // namespace

ALT_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

ALT_EXPORT UINT_PTR Alt_DocumentEvent_CreateDC(UINT* printer, UINT_PTR name, UINT_PTR devOption) {
    g_last = "CreateDC";
    g_count = 3;
    g_args[0] = reinterpret_cast<UINT_PTR>(printer);
    g_args[1] = name;
    g_args[2] = devOption;
    return 71;
}

ALT_EXPORT UINT_PTR Alt_PrintStart_VerifyAndEncryptKey(UINT_PTR a0, UINT_PTR a1, UINT_PTR a2, UINT_PTR a3,
                                                       UINT_PTR a4, UINT_PTR a5, UINT_PTR a6, UINT_PTR a7,
                                                       UINT_PTR a8, UINT_PTR a9, UINT_PTR a10, UINT_PTR a11,
                                                       UINT_PTR a12) {
    g_last = "VerifyAndEncryptKey";
    const UINT_PTR all[] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12};
    std::memcpy(g_args, all, sizeof all);
    g_count = 13;
    if (a5 && a6 > 9) std::memcpy(reinterpret_cast<char*>(a5), "AltDetail", 10);
    return 72;
}

ALT_EXPORT UINT_PTR Alt_PrintStart_SSO(UINT_PTR a0, UINT_PTR a1, UINT_PTR a2, UINT_PTR a3, UINT_PTR a4, UINT_PTR a5) {
    g_last = "SSO";
    const UINT_PTR all[] = {a0, a1, a2, a3, a4, a5};
    std::memcpy(g_args, all, sizeof all);
    g_count = 6;
    if (a5) *reinterpret_cast<int32_t*>(a5) = 9;
    return 73;
}

ALT_EXPORT const char* AltLast() {
    return g_last;
}
ALT_EXPORT int AltArgCount() {
    return g_count;
}
ALT_EXPORT UINT_PTR AltArg(int i) {
    return i >= 0 && i < 16 ? g_args[i] : 0;
}
