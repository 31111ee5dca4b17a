// MultiByteToWideChar, WideCharToMultiByte and the DBCS queries with the Win32
// contract: -1 (any negative) lengths count the terminator, a zero output size asks for the
// needed size, a short buffer fails with ERROR_INSUFFICIENT_BUFFER, and the
// strict flags fail with ERROR_NO_UNICODE_TRANSLATION.
#include <cstring>
#include <string>

#include "platform/host.h"
#include "platform/linux/internal.h"
#include "platform/linux/kernel32/kernel_codepage.h"

namespace nvxp {
namespace {

constexpr DWORD kMbFlags = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
constexpr DWORD kWcFlags =
    WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS;

// Why a conversion stopped early.
enum class Stop { None, Invalid };

// ---- UTF-8 ----

void AppendCodePoint(nvx::WString& out, uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<WCHAR>(0xD800 + (cp >> 10));
        out += static_cast<WCHAR>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<WCHAR>(cp);
    }
}

// Decodes UTF-8; each maximal ill-formed subsequence becomes one U+FFFD, or the
// conversion stops when `strict`.
Stop DecodeUtf8(const unsigned char* s, size_t n, bool strict, nvx::WString& out) {
    size_t need = 0, seen = 0;
    uint32_t cp = 0;
    unsigned char lower = 0x80, upper = 0xBF;
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = s[i];
        if (need == 0) {
            if (b < 0x80) {
                out += static_cast<WCHAR>(b);
            } else if (b >= 0xC2 && b <= 0xDF) {
                need = 1;
                cp = b & 0x1F;
            } else if (b >= 0xE0 && b <= 0xEF) {
                if (b == 0xE0) lower = 0xA0;
                if (b == 0xED) upper = 0x9F;  // no encoded surrogates
                need = 2;
                cp = b & 0x0F;
            } else if (b >= 0xF0 && b <= 0xF4) {
                if (b == 0xF0) lower = 0x90;
                if (b == 0xF4) upper = 0x8F;
                need = 3;
                cp = b & 0x07;
            } else {
                if (strict) return Stop::Invalid;
                out += static_cast<WCHAR>(0xFFFD);
            }
            continue;
        }
        if (b < lower || b > upper) {
            if (strict) return Stop::Invalid;
            out += static_cast<WCHAR>(0xFFFD);
            need = seen = 0;
            lower = 0x80;
            upper = 0xBF;
            --i;  // the byte starts over
            continue;
        }
        lower = 0x80;
        upper = 0xBF;
        cp = cp << 6 | (b & 0x3F);
        if (++seen == need) {
            AppendCodePoint(out, cp);
            need = seen = 0;
        }
    }
    if (need != 0) {
        if (strict) return Stop::Invalid;
        out += static_cast<WCHAR>(0xFFFD);
    }
    return Stop::None;
}

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD, or stops when `strict`.
Stop EncodeUtf8(const WCHAR* s, size_t n, bool strict, std::string& out) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00u);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (strict) return Stop::Invalid;
            c = 0xFFFD;
        }
        nvx::AppendUtf8(out, c);
    }
    return Stop::None;
}

// ---- Table code pages ----

bool IsTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Decodes with a table.  An undefined double-byte character (lead byte and a
// trail byte) becomes the code page's default character as one unit; a lead
// byte without a trail byte becomes it alone.  `strict` stops at either.
Stop DecodeTable(const CodePageTable& t, const unsigned char* s, size_t n, bool strict, nvx::WString& out) {
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = s[i];
        if (!t.lead[b]) {
            if (!t.singleValid[b]) {
                if (strict) return Stop::Invalid;
                out += t.defaultWide;
            } else {
                out += t.single[b];
            }
            continue;
        }
        if (i + 1 < n && IsTrailByte(s[i + 1])) {
            WCHAR c = t.pairs[b << 8 | s[i + 1]];
            if (!c && strict) return Stop::Invalid;
            out += c ? c : t.defaultWide;
            ++i;
            continue;
        }
        if (strict) return Stop::Invalid;
        out += t.defaultWide;
    }
    return Stop::None;
}

// Encodes with a table; characters the code page lacks become `defaultBytes`.
void EncodeTable(const CodePageTable& t, const WCHAR* s, size_t n, const std::string& defaultBytes, std::string& out,
                 bool& usedDefault) {
    for (size_t i = 0; i < n; ++i) {
        uint16_t code = t.toBytes[s[i]];
        bool pair = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
        if (pair || code == CodePageTable::kNoMapping) {
            if (pair) ++i;  // a supplementary character is one unmappable character
            out += defaultBytes;
            usedDefault = true;
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
    }
}

// The default character bytes for WideCharToMultiByte: the first character of
// the caller's string (one or two bytes), else "?".
std::string DefaultBytes(const CodePageTable& t, LPCSTR defaultChar) {
    if (!defaultChar) return "?";
    auto b = static_cast<unsigned char>(defaultChar[0]);
    if (t.lead[b] && defaultChar[1]) return std::string(defaultChar, 2);
    return std::string(1, static_cast<char>(b));
}

// Copies a finished conversion into the caller's buffer with the size contract.
// `units` are the boundaries of whole characters (so that a double-byte character
// or surrogate pair is never split when the buffer is short).
template <typename Char, typename String>
int Deliver(const String& result, Char* out, int outSize, const std::vector<size_t>* units) {
    size_t needed = result.size();
    if (needed > static_cast<size_t>(0x7FFFFFFF)) return Fail(ERROR_ARITHMETIC_OVERFLOW, 0);
    if (outSize == 0) return static_cast<int>(needed);
    if (needed <= static_cast<size_t>(outSize)) {
        memcpy(out, result.data(), needed * sizeof(Char));
        return static_cast<int>(needed);
    }
    size_t fits = static_cast<size_t>(outSize);
    if (units) {
        size_t whole = 0;
        for (size_t end : *units) {
            if (end > fits) break;
            whole = end;
        }
        fits = whole;
    }
    memcpy(out, result.data(), fits * sizeof(Char));
    return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
}

// Character boundaries of a narrow result in a DBCS code page.
std::vector<size_t> NarrowUnits(const CodePageTable* t, const std::string& s) {
    std::vector<size_t> units;
    for (size_t i = 0; i < s.size(); ++i) {
        if (t && t->lead[static_cast<unsigned char>(s[i])] && i + 1 < s.size()) ++i;
        units.push_back(i + 1);
    }
    return units;
}

std::vector<size_t> WideUnits(const nvx::WString& s) {
    std::vector<size_t> units;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
        units.push_back(i + 1);
    }
    return units;
}

bool IsSupported(UINT codePage) {
    return codePage == CP_UTF8 || CodePageTableFor(codePage) != nullptr;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                      LPWSTR lpWideCharStr, int cchWideChar) {
    using namespace nvxp;
    if (!lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr))
        return Fail(ERROR_INVALID_PARAMETER, 0);
    UINT cp = ResolveCodePage(CodePage);
    if (!IsSupported(cp)) return Fail(ERROR_INVALID_PARAMETER, 0);
    if (cp == CP_UTF8 ? (dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) != 0
                      : ((dwFlags & ~kMbFlags) != 0 || (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) ==
                                                            (MB_PRECOMPOSED | MB_COMPOSITE)))
        return Fail(ERROR_INVALID_FLAGS, 0);
    // Any negative length means "terminated", the terminator included (as -1).
    size_t length = cbMultiByte < 0 ? strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    auto bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;
    nvx::WString result;
    result.reserve(length);
    Stop stop = cp == CP_UTF8 ? DecodeUtf8(bytes, length, strict, result)
                              : DecodeTable(*CodePageTableFor(cp), bytes, length, strict, result);
    if (stop == Stop::Invalid) return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    if (cchWideChar > 0 && result.size() > static_cast<size_t>(cchWideChar)) {
        std::vector<size_t> units = WideUnits(result);
        return Deliver(result, lpWideCharStr, cchWideChar, &units);
    }
    return Deliver(result, lpWideCharStr, cchWideChar, nullptr);
}

NVXAPI int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                      LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                      LPBOOL lpUsedDefaultChar) {
    using namespace nvxp;
    if (!lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr))
        return Fail(ERROR_INVALID_PARAMETER, 0);
    UINT cp = ResolveCodePage(CodePage);
    if (!IsSupported(cp)) return Fail(ERROR_INVALID_PARAMETER, 0);
    size_t length = cchWideChar < 0 ? nvx::WLen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    std::string result;
    result.reserve(length);
    const CodePageTable* table = nullptr;
    if (cp == CP_UTF8) {
        if (dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS, 0);
        if (lpDefaultChar || lpUsedDefaultChar) return Fail(ERROR_INVALID_PARAMETER, 0);
        if (EncodeUtf8(lpWideCharStr, length, (dwFlags & WC_ERR_INVALID_CHARS) != 0, result) == Stop::Invalid)
            return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    } else {
        if (dwFlags & ~kWcFlags) return Fail(ERROR_INVALID_FLAGS, 0);
        table = CodePageTableFor(cp);
        bool usedDefault = false;
        EncodeTable(*table, lpWideCharStr, length, DefaultBytes(*table, lpDefaultChar), result, usedDefault);
        if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    }
    if (cbMultiByte > 0 && result.size() > static_cast<size_t>(cbMultiByte)) {
        std::vector<size_t> units = NarrowUnits(table && table->dbcs ? table : nullptr, result);
        return Deliver(result, lpMultiByteStr, cbMultiByte, &units);
    }
    return Deliver(result, lpMultiByteStr, cbMultiByte, nullptr);
}

NVXAPI UINT WINAPI GetACP(void) {
    return NvxPlatform_AnsiCodePage();
}

NVXAPI UINT WINAPI GetOEMCP(void) {
    return nvxp::ResolveCodePage(CP_OEMCP);
}

NVXAPI BOOL WINAPI IsValidCodePage(UINT CodePage) {
    if (CodePage == CP_ACP || CodePage == CP_OEMCP || CodePage == CP_MACCP || CodePage == CP_THREAD_ACP)
        return FALSE;  // the symbolic values are not code pages
    return nvxp::IsSupported(CodePage) ? TRUE : FALSE;
}

NVXAPI BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
    UINT cp = nvxp::ResolveCodePage(CodePage);
    if (cp == CP_UTF8) return FALSE;
    const nvxp::CodePageTable* table = nvxp::CodePageTableFor(cp);
    if (!table) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    return table->lead[TestChar] ? TRUE : FALSE;
}

NVXAPI BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) {
    return IsDBCSLeadByteEx(CP_ACP, TestChar);
}

NVXAPI LPSTR WINAPI CharNextExA(WORD CodePage, LPCSTR lpCurrentChar, DWORD dwFlags) {
    if (!lpCurrentChar || !*lpCurrentChar) return const_cast<LPSTR>(lpCurrentChar);
    if (IsDBCSLeadByteEx(CodePage, static_cast<BYTE>(lpCurrentChar[0])) && lpCurrentChar[1])
        return const_cast<LPSTR>(lpCurrentChar + 2);
    return const_cast<LPSTR>(lpCurrentChar + 1);
}

}  // extern "C"
