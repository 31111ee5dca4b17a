// Drawing the stop and information icons of a page: the tool windows that carry
// their texts, the rectangles the icons keep, showing and hiding one icon.  The
// table itself (stop_icons.h) is filled by the constraint engine.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace nvx::pages {

// For every stop icon on the dialog: destroys its previous tool window and makes a
// new tooltip window owned by the icon control.  Then makes the page's own tooltip
// window (owned by the dialog) and answers it, or null when it cannot be made.
HWND MakeToolWindows(HWND dialog);

// Records each present icon's rectangle in the dialog's client coordinates.
void StoreStopIconRects(HWND dialog);

// Shows the icon of `control` (a stop-icon control) when its row has a message:
// at `position` (client coordinates) when given, else at its stored rectangle,
// else left of the control its UI item shows; the row's text becomes its tooltip.
// Otherwise the icon gets zero size and is hidden.  Unknown controls are ignored.
void DrawStopIcon(HWND dialog, uint32_t control, const POINT* position);

// Registers DrawStopIcon as the engine's way of showing an icon after a check
// (attach), and takes it back (detach).
void RegisterStopIconRedraw();
void UnregisterStopIconRedraw();

// A page's WM_DESTROY: destroys the tool windows of its stop icons and its own
// (owned by the sheet, they would otherwise live until the sheet closes).
void DestroyPageToolWindows(HWND dialog);

// Every tooltip window the pages made, for detach: destroys those still open.
void RecordToolWindow(HWND tool);
void DestroyToolWindows();

}  // namespace nvx::pages
