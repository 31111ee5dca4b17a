// UTF-16 text helpers shared by the module, the companions and the tools.
//
// WCHAR is one UTF-16 code unit on both targets.  Portable code writes wide
// literals with WL("...") and never uses wchar_t, L"" literals, std::wstring or
// the C library's wide-character functions: on Linux those are 32 bits wide.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/win32.h"

#ifdef _WIN32
#define WL_(s) L##s
#else
#define WL_(s) u##s
#endif
// The project's wide literal: WL("text") is a const WCHAR[] on both targets.
#define WL(s) WL_(s)

namespace nvx {

using WString = std::basic_string<WCHAR>;
using WStringView = std::basic_string_view<WCHAR>;

// Length of a terminated UTF-16 string; 0 for null.
size_t WLen(const WCHAR* s);
// Length, but never more than max (for fields that may lack a terminator).
size_t WLenBounded(const WCHAR* s, size_t max);

// Copies src into dst of cap characters, cutting it to cap - 1 characters and
// always terminating (when cap > 0).  A null src copies an empty string.
// Answers the number of characters copied, without the terminator.
size_t WCopy(WCHAR* dst, size_t cap, const WCHAR* src);
size_t WCopy(WCHAR* dst, size_t cap, WStringView src);
// Appends src to the terminated string in dst, within cap characters.
size_t WAppend(WCHAR* dst, size_t cap, WStringView src);

// Upper case as Windows compares names: ASCII, Latin-1, Latin Extended-A,
// Greek, Cyrillic and full-width Latin letters.
WCHAR WToUpper(WCHAR c);
WCHAR WToLower(WCHAR c);
WString WUpper(WStringView s);
// Case-insensitive comparison as for registry keys and file names: <0, 0, >0.
int WCompareNoCase(WStringView a, WStringView b);
bool WEqualNoCase(WStringView a, WStringView b);
// ASCII-only case-insensitive comparison of narrow strings (package keys, names).
bool AsciiEqualNoCase(std::string_view a, std::string_view b);

// UTF-8 <-> UTF-16.  Unpaired surrogates become U+FFFD in UTF-8; malformed UTF-8
// sequences become one U+FFFD per byte in UTF-16.
std::string Utf8FromW(WStringView s);
// Appends one code point (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);
std::string Utf8FromW(const WCHAR* s);
WString WFromUtf8(std::string_view s);
// ASCII (bytes 0..127; others pass through as Latin-1) <-> UTF-16.
WString WFromAscii(std::string_view s);

// printf-style formatting into a wide buffer, as swprintf on Windows does it:
// %s and %ls take a WCHAR string, %S and %hs a narrow string, %c a WCHAR,
// %d %i %u %x %X %o with flags, width, precision and the size prefixes
// h, l, ll, I64, z.  The result is cut to cap - 1 characters and terminated.
// Answers the length written, or -1 when it was cut (as _snwprintf would).
int WFormat(WCHAR* dst, size_t cap, const WCHAR* fmt, ...);
int WFormatV(WCHAR* dst, size_t cap, const WCHAR* fmt, va_list args);
WString WFormatString(const WCHAR* fmt, ...);

}  // namespace nvx
