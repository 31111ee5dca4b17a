// How novrix echoes what a person typed in its messages.
#pragma once

#include <cstddef>
#include <string>

namespace novrix {

// Messages echo at most this many bytes of a value, label or name a person typed.
inline constexpr size_t kEchoLimit = 80;

// A typed text as messages echo it: cut to kEchoLimit bytes (at a whole UTF-8
// character) and "..." after it.
inline std::string EchoText(const std::string& text) {
    if (text.size() <= kEchoLimit) return text;
    size_t cut = kEchoLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

}  // namespace novrix
