// The cover-sheet check: the window of NOVRIX_Z.DLL that shows a cover sheet's
// image placement, opened from the cover sheet dialog's image tab.
#pragma once

#include <cstdint>

#include "fax/cover_sheet.h"
#include "platform/win32.h"

namespace nvx::fax {

// Loads the library at `library` for the call, calls its DispCheckFcsWindow with
// the owner, the dialog's check value, the paste-image flag and the position (each
// widened to 32 bits), and frees it.  Answers false, doing nothing, when the
// library or its entry point is missing.
bool RunCoverSheetCheckFrom(const WCHAR* library, HWND owner, uint64_t value, const CoverImage& image);
// The same with NOVRIX_Z.DLL beside the module.
bool RunCoverSheetCheck(HWND owner, uint64_t value, const CoverImage& image);

}  // namespace nvx::fax
