// ANSI text in the system code page (CP_ACP), as some record fields keep it.
#pragma once

#include <cstddef>
#include <string>

#include "common/text.h"

namespace nvx {

// Copies src into dst of cap bytes, at most cap - 1 bytes, never leaving the
// lead byte of a double-byte character without its trail byte; always
// terminates when cap > 0.  Answers the number of bytes copied.
size_t AnsiCopyBounded(char* dst, size_t cap, const char* src);

// Converts with the system code page.  Characters the code page lacks become "?".
std::string AnsiFromW(WStringView s);
WString WFromAnsi(std::string_view s);

// Converts UTF-16 into an ANSI field of cap bytes, cut on a character boundary.
size_t AnsiFieldFromW(char* dst, size_t cap, WStringView s);

}  // namespace nvx
