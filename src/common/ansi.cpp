// ANSI text helpers over the system code page.
#include "common/ansi.h"

#include <cstring>

namespace nvx {

size_t AnsiCopyBounded(char* dst, size_t cap, const char* src) {
    if (!dst || cap == 0) return 0;
    size_t n = 0;
    if (src) {
        while (src[n] && n < cap - 1) {
            if (IsDBCSLeadByte(static_cast<BYTE>(src[n]))) {
                // A double-byte character goes whole or not at all; a lead byte whose
                // trail byte is missing from the source is dropped too.
                if (n + 2 > cap - 1 || !src[n + 1]) break;
                n += 2;
            } else {
                ++n;
            }
        }
        memcpy(dst, src, n);
    }
    dst[n] = 0;
    return n;
}

std::string AnsiFromW(WStringView s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

WString WFromAnsi(std::string_view s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return {};
    WString out(static_cast<size_t>(n), 0);
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

size_t AnsiFieldFromW(char* dst, size_t cap, WStringView s) {
    std::string ansi = AnsiFromW(s);
    return AnsiCopyBounded(dst, cap, ansi.c_str());
}

}  // namespace nvx
