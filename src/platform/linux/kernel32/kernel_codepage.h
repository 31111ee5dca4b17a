// Code page tables of the kernel's text conversions.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

namespace nvxp {

// One single-byte or double-byte ("DBCS") code page as Windows maps it.
struct CodePageTable {
    UINT id = 0;
    bool dbcs = false;
    WCHAR defaultWide = u'?';  // what an undefined multi-byte sequence becomes
    bool lead[256] = {};       // lead bytes of double-byte characters
    WCHAR single[256] = {};    // single bytes (lead bytes: unused)
    bool singleValid[256] = {};
    std::vector<WCHAR> pairs;     // (lead << 8 | trail) -> character, 0 when undefined (DBCS only)
    std::vector<uint16_t> toBytes;  // character -> byte or (lead << 8 | trail), kNoMapping when none
    static constexpr uint16_t kNoMapping = 0xFFFF;
};

// The code page behind CP_ACP, CP_OEMCP and CP_THREAD_ACP; others unchanged.
UINT ResolveCodePage(UINT codePage);
// The table of a table-driven code page (1252, 932, 437, 28591, 20127), built on
// first use; null for UTF-8 and for code pages this layer does not know.
const CodePageTable* CodePageTableFor(UINT codePage);

}  // namespace nvxp
