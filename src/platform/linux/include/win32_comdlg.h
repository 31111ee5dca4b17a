// Common dialog subset of the Linux platform layer: the open and save file
// dialogs.  A headless layer shows no dialog: the host answers it through its file
// dialog responder (ui_host.h); without one the dialog is cancelled.
#pragma once
#include "win32_types.h"

NVX_BEGIN_DECLS

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEW, *LPOPENFILENAMEW;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_EXPLORER 0x00080000

#define CDERR_INITIALIZATION 0x0002
#define CDERR_STRUCTSIZE 0x0001
#define FNERR_BUFFERTOOSMALL 0x3003

// FALSE when the user cancels or on an error (CommDlgExtendedError: 0 for a cancel).
NVXAPI BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW ofn);
NVXAPI BOOL WINAPI GetSaveFileNameW(LPOPENFILENAMEW ofn);
NVXAPI DWORD WINAPI CommDlgExtendedError(void);

NVX_END_DECLS
