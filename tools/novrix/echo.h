// What a person types to novrix: one command line read, and how messages echo it.
#pragma once

#include <cstddef>
#include <cstdio>
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

// Reads one command line from standard input, its line end removed, after
// printing the prompt when asked to (at a terminal).  False at the end of input.
inline bool ReadCommandLine(bool prompt, const char* promptText, std::string* line) {
    if (prompt) {
        fputs(promptText, stdout);
        fflush(stdout);
    }
    char buffer[1024];
    if (!fgets(buffer, sizeof buffer, stdin)) return false;
    *line = buffer;
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
    return true;
}

}  // namespace novrix
