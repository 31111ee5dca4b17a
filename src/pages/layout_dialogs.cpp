#include "pages/layout_dialogs.h"

namespace nvx::pages {

bool LayoutDialogAvailable(int) {
    return false;
}

LayoutDialogResult RunLayoutDialog(HWND, int) {
    return LayoutDialogResult::NotShown;
}

}  // namespace nvx::pages
