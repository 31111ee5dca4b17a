// PNG pictures of the sheet's pages and of the dialogs the module opens
// (novrix prefs --picture DIR, novrix picture DIR).
#pragma once

#include <string>

#include "platform/win32.h"

namespace novrix {

// A file name that says what the picture shows: "Basic" -> "basic.png",
// "Custom Paper Size" -> "custom-paper-size.png" ("dialog.png" for no letters).
std::string PictureFileName(const std::string& title);
// Draws a window (a sheet with its current page, or a dialog) and writes it as
// a PNG; false with *error set when it cannot be written.
bool WriteWindowPicture(HWND window, const std::string& path, std::string* error);

}  // namespace novrix
