// The form file dialog behind GetFormFileName: an existing form file to import
// (open mode) or the name of a new one to create (save mode).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace nvx::stamps {

// The caller's parameter block, packed to 4 bytes: the pointers follow the first
// u32 directly.
#pragma pack(push, 4)
struct FormFileRequest {
    uint32_t mode;               // non-zero: pick an existing file; zero: name a new one
    const WCHAR* maker;          // the maker word of the store's key (null: the module's)
    const WCHAR* printer;
    const WCHAR* driver;
    HWND owner;
    WCHAR path[260];             // in: a proposed path or empty; out: the chosen path
    WCHAR formName[64];          // the caller's, not used here
    uint32_t useFixedFolder;     // cleared after a save-mode dialog
    WCHAR fixedFolder[260];
};
#pragma pack(pop)
#if defined(_WIN64) || defined(__x86_64__) || defined(__aarch64__)
static_assert(offsetof(FormFileRequest, maker) == 4 && offsetof(FormFileRequest, printer) == 12 &&
              offsetof(FormFileRequest, driver) == 20 && offsetof(FormFileRequest, owner) == 28 &&
              offsetof(FormFileRequest, path) == 36 && offsetof(FormFileRequest, formName) == 556 &&
              offsetof(FormFileRequest, useFixedFolder) == 684 && offsetof(FormFileRequest, fixedFolder) == 688 &&
              sizeof(FormFileRequest) == 1208);
#endif

// How the dialog is shown: GetOpenFileNameW / GetSaveFileNameW (tests pass their own).
using FileDialogFn = BOOL (*)(OPENFILENAMEW* ofn, bool save);

// Runs the dialog for a request: 1 with the chosen full path in the block, 0 when
// the user cancels or the block is missing.  Save mode asks again while the chosen
// name has no extension of at least three letters, is too long, or cannot be
// created there (resource string 525), and while the user declines a folder other
// than the proposed one (string 440).  The folder used is stored as
// "FormInitialDir" unless the request used its fixed folder.
UINT_PTR RunFormFileDialog(FormFileRequest* request, FileDialogFn dialog);

}  // namespace nvx::stamps
