// Test side of the host: printers in the test's platform root and sheets whose
// every host field holds a distinct value, so that an accessor that reads the
// wrong field answers a wrong value instead of a lucky zero.
#pragma once

#include <cstdint>

#include "hostsupport/sheet_builder.h"

namespace nvxtest {

// Adds a printer with the given name (local, or a connection "\\server\queue")
// and driver.  Answers a handle with all access, or null.
HANDLE AddTestPrinter(const WCHAR* name, const WCHAR* driver = nullptr);

// Distinct values a marked sheet holds.
struct SheetMarks {
    HANDLE printer;
    uint32_t flags;
    uint32_t counter;
};

// Writes the marks into every field the sheet's form has, and a pattern at the
// start of each work area ('P' page, 'S' secondary) and of the record's body.
void MarkSheet(nvx::host::HostSheet& sheet, const SheetMarks& marks);

}  // namespace nvxtest
