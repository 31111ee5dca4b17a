// The page identifier a module page or dialog carries on its window, so that code
// which only has the window (the constraint check) can tell which page's items a
// control id stands for: ids repeat across pages and dialogs (1003 is the media
// type on the Basic tab and a tray's media type in the tray dialogs).
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace nvx::pages {

// Records the identifier on the window (at WM_INITDIALOG); 0 removes it.
void RecordPageId(HWND window, uint32_t page);
// The identifier recorded on the window, 0 when none (not a module page).
uint32_t PageIdOf(HWND window);

}  // namespace nvx::pages
