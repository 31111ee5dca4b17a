// The device's installed options as the device-API stand-in's status channel
// answers them: lines "KEY=VALUE\n", VALUE a decimal number from 0 to 65535.
// Outside data: read within its size, whatever it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nvxhost {

// Calls fn(key, value) for every well-formed line of text (at most size bytes, up
// to a NUL): a non-empty key without '=', then '=', then 1 to 5 digits whose value
// fits 16 bits, then '\n'.  Other lines, and a last line without '\n', are skipped.
template <typename Fn>
void ForEachInstalledOption(const char* text, size_t size, Fn&& fn) {
    if (!text) return;
    std::string_view all(text, size);
    if (size_t nul = all.find('\0'); nul != std::string_view::npos) all = all.substr(0, nul);
    while (!all.empty()) {
        const size_t end = all.find('\n');
        if (end == std::string_view::npos) return;
        const std::string_view line = all.substr(0, end);
        all.remove_prefix(end + 1);
        const size_t eq = line.find('=');
        if (eq == 0 || eq == std::string_view::npos) continue;
        const std::string_view digits = line.substr(eq + 1);
        if (digits.empty() || digits.size() > 5) continue;
        uint32_t value = 0;
        bool number = true;
        for (char c : digits) {
            if (c < '0' || c > '9') {
                number = false;
                break;
            }
            value = value * 10 + static_cast<uint32_t>(c - '0');
        }
        if (number && value <= 0xFFFF) fn(line.substr(0, eq), static_cast<uint16_t>(value));
    }
}

}  // namespace nvxhost
