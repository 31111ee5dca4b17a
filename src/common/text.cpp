// UTF-16 text helpers: lengths, bounded copies, case folding, UTF-8 and formatting.
#include "common/text.h"

#include <cstdio>
#include <cstring>

namespace nvx {

size_t WLen(const WCHAR* s) {
    if (!s) return 0;
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

size_t WLenBounded(const WCHAR* s, size_t max) {
    if (!s) return 0;
    size_t n = 0;
    while (n < max && s[n]) ++n;
    return n;
}

size_t WCopy(WCHAR* dst, size_t cap, WStringView src) {
    if (!dst || cap == 0) return 0;
    size_t n = src.size() < cap - 1 ? src.size() : cap - 1;
    for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    dst[n] = 0;
    return n;
}

size_t WCopy(WCHAR* dst, size_t cap, const WCHAR* src) {
    return WCopy(dst, cap, src ? WStringView(src) : WStringView());
}

size_t WAppend(WCHAR* dst, size_t cap, WStringView src) {
    if (!dst || cap == 0) return 0;
    size_t used = WLenBounded(dst, cap - 1);
    return used + WCopy(dst + used, cap - used, src);
}

WCHAR WToUpper(WCHAR c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 32) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<WCHAR>(c - 32);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs: even upper, odd lower, except the 0x139..0x148 and 0x179..0x17E runs.
        bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (oddUpper) return (c % 2 == 0) ? static_cast<WCHAR>(c - 1) : c;
        return (c % 2 == 1) ? static_cast<WCHAR>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<WCHAR>(c - 32);
    if (c >= 0x430 && c <= 0x44F) return static_cast<WCHAR>(c - 32);
    if (c >= 0x450 && c <= 0x45F) return static_cast<WCHAR>(c - 80);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<WCHAR>(c - 32);
    return c;
}

WCHAR WToLower(WCHAR c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<WCHAR>(c + 32);
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper) return (c % 2 == 1) ? static_cast<WCHAR>(c + 1) : c;
        return (c % 2 == 0) ? static_cast<WCHAR>(c + 1) : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<WCHAR>(c + 32);
    if (c >= 0x410 && c <= 0x42F) return static_cast<WCHAR>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<WCHAR>(c + 80);
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<WCHAR>(c + 32);
    return c;
}

WString WUpper(WStringView s) {
    WString out(s);
    for (auto& c : out) c = WToUpper(c);
    return out;
}

int WCompareNoCase(WStringView a, WStringView b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        WCHAR x = WToUpper(a[i]), y = WToUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool WEqualNoCase(WStringView a, WStringView b) {
    return a.size() == b.size() && WCompareNoCase(a, b) == 0;
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8FromW(WStringView s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8FromW(const WCHAR* s) {
    return Utf8FromW(s ? WStringView(s) : WStringView());
}

WString WFromUtf8(std::string_view s) {
    WString out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<uint8_t>(s[i]);
        uint32_t c;
        size_t len;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            len = 4;
        } else {
            out += static_cast<WCHAR>(0xFFFD);
            ++i;
            continue;
        }
        bool ok = i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            auto t = static_cast<uint8_t>(s[i + k]);
            if ((t & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (t & 0x3F);
        }
        static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += static_cast<WCHAR>(0xFFFD);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<WCHAR>(0xD800 + (c >> 10));
            out += static_cast<WCHAR>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<WCHAR>(c);
        }
        i += len;
    }
    return out;
}

WString WFromAscii(std::string_view s) {
    WString out;
    out.reserve(s.size());
    for (char ch : s) out += static_cast<WCHAR>(static_cast<uint8_t>(ch));
    return out;
}

namespace {

// Output sink that counts everything and keeps what fits.
struct Sink {
    WCHAR* dst;
    size_t cap;
    size_t len = 0;
    bool cut = false;
    void Put(WCHAR c) {
        if (dst && len + 1 < cap) dst[len] = c;
        else cut = true;
        ++len;
    }
    void Pad(size_t n, WCHAR c) {
        while (n--) Put(c);
    }
};

template <typename Str>
void PutString(Sink& out, const Str* s, size_t n, int width, bool left) {
    size_t pad = width > 0 && static_cast<size_t>(width) > n ? width - n : 0;
    if (!left) out.Pad(pad, u' ');
    for (size_t i = 0; i < n; ++i) out.Put(static_cast<WCHAR>(static_cast<std::make_unsigned_t<Str>>(s[i])));
    if (left) out.Pad(pad, u' ');
}

}  // namespace

int WFormatV(WCHAR* dst, size_t cap, const WCHAR* fmt, va_list args) {
    Sink out{dst, cap};
    if (!fmt) fmt = WL("");
    for (const WCHAR* p = fmt; *p; ++p) {
        if (*p != u'%') {
            out.Put(*p);
            continue;
        }
        ++p;
        if (*p == u'%') {
            out.Put(u'%');
            continue;
        }
        // Flags, width and precision are handed to snprintf for numbers.
        std::string conversion = "%";
        bool left = false;
        while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') {
            if (*p == u'-') left = true;
            conversion += static_cast<char>(*p++);
        }
        int width = -1;
        if (*p == u'*') {
            width = va_arg(args, int);
            if (width < 0) {
                left = true;
                conversion += '-';
                width = -width;
            }
            conversion += std::to_string(width);
            ++p;
        } else if (*p >= u'0' && *p <= u'9') {
            width = 0;
            while (*p >= u'0' && *p <= u'9') {
                width = width * 10 + (*p - u'0');
                conversion += static_cast<char>(*p++);
            }
        }
        int precision = -1;
        if (*p == u'.') {
            conversion += '.';
            ++p;
            precision = 0;
            if (*p == u'*') {
                precision = va_arg(args, int);
                conversion += std::to_string(precision < 0 ? 0 : precision);
                ++p;
            } else {
                while (*p >= u'0' && *p <= u'9') {
                    precision = precision * 10 + (*p - u'0');
                    conversion += static_cast<char>(*p++);
                }
            }
        }
        enum { kInt, kShort, kLong64, kSize } size = kInt;
        bool narrow = false, wide = false;
        if (*p == u'h') {
            size = kShort;
            narrow = true;
            ++p;
            if (*p == u'h') ++p;
        } else if (*p == u'l') {
            wide = true;
            ++p;
            if (*p == u'l') {
                size = kLong64;
                ++p;
            }
        } else if (*p == u'w') {
            wide = true;
            ++p;
        } else if (*p == u'I' && p[1] == u'6' && p[2] == u'4') {
            size = kLong64;
            p += 3;
        } else if (*p == u'z' || *p == u'I') {
            size = kSize;
            ++p;
        }
        WCHAR type = *p;
        if (!type) break;
        char buf[128];
        switch (type) {
            case u'd':
            case u'i': {
                long long v = size == kLong64 ? va_arg(args, long long)
                              : size == kSize ? static_cast<long long>(va_arg(args, ptrdiff_t))
                                              : static_cast<long long>(va_arg(args, int));
                if (size == kShort) v = static_cast<short>(v);
                snprintf(buf, sizeof buf, (conversion + "lld").c_str(), v);
                PutString(out, buf, strlen(buf), 0, false);
                break;
            }
            case u'u':
            case u'x':
            case u'X':
            case u'o': {
                unsigned long long v = size == kLong64 ? va_arg(args, unsigned long long)
                                       : size == kSize ? static_cast<unsigned long long>(va_arg(args, size_t))
                                                       : static_cast<unsigned long long>(va_arg(args, unsigned));
                if (size == kShort) v = static_cast<unsigned short>(v);
                snprintf(buf, sizeof buf, (conversion + "ll" + static_cast<char>(type)).c_str(), v);
                PutString(out, buf, strlen(buf), 0, false);
                break;
            }
            case u'p': {
                snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(va_arg(args, uintptr_t)));
                PutString(out, buf, strlen(buf), width, left);
                break;
            }
            case u'c':
            case u'C': {
                WCHAR c = static_cast<WCHAR>(va_arg(args, int));
                if ((type == u'C' && !wide) || narrow) c = static_cast<WCHAR>(static_cast<uint8_t>(c));
                PutString(out, &c, 1, width, left);
                break;
            }
            case u's':
            case u'S': {
                bool asNarrow = (type == u'S' && !wide) || narrow;
                if (asNarrow) {
                    const char* s = va_arg(args, const char*);
                    if (!s) s = "(null)";
                    size_t n = strlen(s);
                    if (precision >= 0 && static_cast<size_t>(precision) < n) n = precision;
                    PutString(out, s, n, width, left);
                } else {
                    const WCHAR* s = va_arg(args, const WCHAR*);
                    if (!s) s = WL("(null)");
                    size_t n = precision >= 0 ? WLenBounded(s, precision) : WLen(s);
                    PutString(out, s, n, width, left);
                }
                break;
            }
            default:
                // Unknown conversions are copied as they stand.
                out.Put(u'%');
                out.Put(type);
                break;
        }
    }
    if (dst && cap > 0) dst[out.len < cap ? out.len : cap - 1] = 0;
    return out.cut ? -1 : static_cast<int>(out.len);
}

int WFormat(WCHAR* dst, size_t cap, const WCHAR* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = WFormatV(dst, cap, fmt, args);
    va_end(args);
    return n;
}

WString WFormatString(const WCHAR* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    WString out(256, 0);
    int written;
    for (;;) {
        va_list pass;
        va_copy(pass, args);
        written = WFormatV(out.data(), out.size() + 1, fmt, pass);
        va_end(pass);
        if (written >= 0) break;
        out.resize(out.size() * 2);
    }
    va_end(args);
    out.resize(static_cast<size_t>(written));
    return out;
}

}  // namespace nvx
