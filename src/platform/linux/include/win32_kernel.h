// Win32 kernel subset of the Linux platform layer: errors, modules, synchronisation,
// threads, time, files, code pages, locale, profile files, memory.
#pragma once
#include "win32_types.h"

NVX_BEGIN_DECLS

// ---- Last error (per thread) ----
NVXAPI DWORD WINAPI GetLastError(void);
NVXAPI void WINAPI SetLastError(DWORD dwErrCode);

// ---- Code pages ----
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080
NVXAPI int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                      LPWSTR lpWideCharStr, int cchWideChar);
NVXAPI int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                      LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                      LPBOOL lpUsedDefaultChar);
NVXAPI BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
NVXAPI BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);
NVXAPI UINT WINAPI GetACP(void);

NVX_END_DECLS
