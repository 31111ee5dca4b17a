// The installed fonts as the font data library hands them out: one list, built by
// the system's part (font_data_linux.cpp, font_data_windows.cpp).
#pragma once

#include <string>
#include <vector>

#include "pages/font_data.h"

namespace fontdata {

struct Font {
    std::string name;    // ASCII, at most 31 bytes
    std::string family;  // ASCII, at most 31 bytes
    bool fixedPitch = false;
    bool scalable = false;
};

// The installed fonts, one per name, sorted by name; false when the system's
// font service could not be asked.
bool InstalledFonts(std::vector<Font>* out);

// A name a printer font can carry: 1 to 31 printable ASCII characters.
bool UsableName(const std::string& name);

}  // namespace fontdata
