// Whether cover sheets can be used from a fax window: not when the printer is a
// connection to another machine's printer and the process is the 32-bit print host
// (on the fax tab also: an operating system older than 6.0 and a form-A sheet).
#pragma once

#include "common/text.h"
#include "settings/printer_ui_context.h"

namespace nvx::pages::fax {

// A printer is a connection when the local machine has no printer key of its name
// (each backslash of the name a comma in the key's name).
bool PrinterIsConnection(WStringView printerName);
// The process runs as "SPLWOW64.EXE" (case ignored).
bool InPrintHost32();

bool CoverSheetsAvailableToJob(WStringView printerName);
bool CoverSheetsAvailableToTab(WStringView printerName, const settings::PrinterUIContext* ctx);

}  // namespace nvx::pages::fax
