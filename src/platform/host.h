// Host interface of the Linux platform layer.
//
// Hosts (the novrix tool, tests) use these to configure and observe the layer.
// The module never includes this header: it sees only win32.h.
#pragma once

#include "win32.h"

#ifndef _WIN32
NVX_BEGIN_DECLS

// Platform root: the folder that holds the registry and spooler database and the
// Windows folder.  It comes from the environment variable NOVRIX_PLATFORM_ROOT,
// else "$XDG_DATA_HOME/novrix/platform", else "$HOME/.local/share/novrix/platform".
// It is created on first use.  The answer is a UTF-8 path, valid until the root changes.
NVXAPI const char* NvxPlatform_Root(void);

// Switches the layer to another root (created if missing).  Open registry keys and
// printer handles of the old root become invalid.  Returns FALSE when the folder
// cannot be created.
NVXAPI BOOL NvxPlatform_SetRoot(const char* utf8Path);

// Whether the current user administers printers (default TRUE).  Without it,
// OpenPrinterW with PRINTER_ACCESS_ADMINISTER is refused.
NVXAPI void NvxPlatform_SetAdministrator(BOOL isAdministrator);
NVXAPI BOOL NvxPlatform_IsAdministrator(void);

// The system code page behind CP_ACP: 1252 (default) or 932.
NVXAPI BOOL NvxPlatform_SetAnsiCodePage(UINT codePage);
NVXAPI UINT NvxPlatform_AnsiCodePage(void);

// The country code that GetLocaleInfoW(LOCALE_ICOUNTRY) answers (default 1).
NVXAPI void NvxPlatform_SetCountryCode(int country);
NVXAPI int NvxPlatform_CountryCode(void);

// Where the files of a printer driver live (a UTF-8 path, or null to forget
// it).  Every printer of that driver, and every one added later, answers the
// folder in GetPrinterDriverW levels 2 and 3.  Returns FALSE on a bad name or
// a store failure.
NVXAPI BOOL NvxPlatform_SetDriverFolder(const char* driverName, const char* utf8Folder);

// Debugger output (OutputDebugStringW/A): the last 256 lines are kept in memory
// (and written to stderr as well when NOVRIX_DEBUG_OUTPUT=1).  Copies the kept
// lines as UTF-8, each ended by a line feed, into buffer (terminated, cut to
// size - 1 bytes) and answers the full length without the terminator, as
// snprintf does.  A text not yet ended by a line feed counts as the last line.
NVXAPI size_t NvxPlatform_GetDebugOutput(char* buffer, size_t size);
// Forgets the kept debugger output.
NVXAPI void NvxPlatform_ClearDebugOutput(void);

// How many times the process called InitCommonControls or InitCommonControlsEx
// (successfully), so that hosts can see that a library initialised the common
// controls before it used them.
NVXAPI unsigned NvxPlatform_CommonControlsInitCount(void);

// The registry and spooler database of the current root (platform.db), opened
// when needed.  Answers one of the NVX_STORE_ states; detail (UTF-8, cut to
// size - 1 bytes) says why when the state is not NVX_STORE_OK.
//  - READ_ONLY: the file or its folder cannot be written; reads work, every
//    write answers ERROR_ACCESS_DENIED.
//  - DAMAGED: the file is no whole store (not a database, corrupt, truncated,
//    emptied): every call answers ERROR_REGISTRY_CORRUPT, and the file is never
//    replaced by a new store.
//  - UNAVAILABLE: there is none and none can be made (a folder that cannot be
//    written), or a newer layer wrote it.
#define NVX_STORE_OK 0
#define NVX_STORE_READ_ONLY 1
#define NVX_STORE_DAMAGED 2
#define NVX_STORE_UNAVAILABLE 3
NVXAPI int NvxPlatform_StoreState(char* detail, size_t size);

NVX_END_DECLS
#endif
