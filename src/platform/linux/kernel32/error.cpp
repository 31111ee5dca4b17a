// Last error, kept per thread as Win32 keeps it.
#include "platform/win32.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

extern "C" {

NVXAPI DWORD WINAPI GetLastError(void) {
    return t_lastError;
}

NVXAPI void WINAPI SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}

}  // extern "C"
