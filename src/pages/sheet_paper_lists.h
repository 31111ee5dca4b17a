// The sheet's own paper-size and output-paper-size lists: built by the first page
// of a sheet, pointed at by the UI item table's two paper items while the sheet is
// open, released when that page is destroyed.
#pragma once

#include "platform/win32.h"
#include "settings/printer_ui_context.h"

namespace nvx::pages {

// Builds the lists for the sheet of `owner` (copies of the model's lists) and
// points the PaperSize and OutPaperSize items at them.
void BuildSheetPaperLists(HWND owner);
// When `owner` built lists: frees them and points the two items back at the
// lists of another open sheet, else at the model's lists.
void ReleaseSheetPaperLists(HWND owner);

}  // namespace nvx::pages
