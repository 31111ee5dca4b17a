// Pictures of the headless window system's dialogs: a window and its visible
// descendants drawn as the standard Windows controls look (frame and caption,
// tab strip, buttons, check boxes, radio buttons, edit and combo boxes, spin
// controls, list views and list boxes with their rows, group boxes, texts,
// icons), disabled controls greyed, and what each window drew through GDI
// (NvxUi_GetPaintOp) drawn again in its place.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "canvas.h"
#include "platform/win32.h"

namespace picture {

// The symbols an icon is drawn as (icons have no pixels here).
enum class IconSymbol { Generic, Stop, Warning, Information, Question };

struct PictureOptions {
    // Icons by what NvxUi_DescribeImage says of them ("icon #198"); the stock
    // icons (IDI_HAND, IDI_EXCLAMATION, IDI_ASTERISK, IDI_QUESTION) are known.
    std::map<std::string, IconSymbol> icons;
    // Paint every window again before drawing, so the record is current.
    bool repaint = true;
};

// One control as drawn: its rectangle in the picture (for checks).
struct DrawnWindow {
    HWND window = nullptr;
    std::string className;
    Box box;
};

struct Picture {
    Canvas canvas{1, 1, Rgb{}};
    std::vector<DrawnWindow> drawn;  // the visible windows, in drawing order
    Rgb dialogBackground;
};

// Draws `window` (a top-level dialog or property sheet, or a child window on
// its own) with its visible descendants.
Picture RenderWindow(HWND window, const PictureOptions& options = PictureOptions());

}  // namespace picture
