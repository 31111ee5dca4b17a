// The dialogs the Layout tab opens from its detail buttons: pages per sheet
// (116), booklet (134), binding margin (117), image shift (182) and print
// position (163), tab-paper image shift (2322); and the Finishing tab's perfect
// binding dialog (2308, button 2305).
#pragma once

#include "platform/win32.h"

namespace nvx::pages {

enum class LayoutDialogResult { NotShown, Ok, Cancel };

// Whether this build carries the dialog a detail button of the Layout tab opens.
bool LayoutDialogAvailable(int button);
// Opens the button's dialog over the page (modal).  NotShown when there is none.
LayoutDialogResult RunLayoutDialog(HWND page, int button);

}  // namespace nvx::pages
