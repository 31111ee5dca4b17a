// The printer's device-option record as the host keeps it: the installed options
// of the device, in the printer data "DefaultDevOption" (6676 bytes).
//
// The host hands its copy to the module when a sheet opens; the module asks the
// device (through the host library's option request) and writes the device's
// answer into it; the host then keeps the record with the printer, which needs the
// right to administer the printer.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace novrix {

// The printer's stored record when it holds exactly one, else the module's
// built-in record (reset, the module's Prc_ResetDevOption; null reset: zeros).
// *stored says which.
using ResetDevOptionFn = void (*)(BYTE*);
std::vector<BYTE> LoadPrinterDevOption(HANDLE printer, ResetDevOptionFn reset, bool* stored = nullptr);

// Keeps the record with the printer (opened with administer access).  The spooler's
// error, ERROR_ACCESS_DENIED for a user who may not administer the printer.
DWORD StorePrinterDevOption(const std::string& printer, const std::vector<BYTE>& record);

// The installed options of a record by name, as the model of the driver folder
// names them ("Finisher: Inner Finisher"), one per option in the model's order; a
// value the model does not list is shown as its number.  Empty when the model
// cannot be read.
std::vector<std::string> DescribeInstalledOptions(const std::string& driverFolder, const std::vector<BYTE>& record);

// Runs the acquisition of an opening document sheet (the module's
// Bidi_DocumentPropertySheets_Init, `init`) with the printer's record, and keeps the
// record with the printer when the device's answer changed it.  Answers the
// acquisition's code; *note gets a line for the person when the installed options
// changed ("Installed options: ...") or could not be kept (empty otherwise).  The
// device-settings items of user authentication (the model's rows "DevUserAuthentication",
// "DevAccountTrack", "DevPublicUser", "DevSingleSignOn", read from the driver folder's
// model) follow the device at every acquisition: they are kept when they changed, but
// say nothing, also when they cannot be kept.
using SheetsInitFn = UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR);
UINT_PTR AcquireForSheets(SheetsInitFn init, ResetDevOptionFn reset, HANDLE printer, const std::string& name,
                          const std::string& driverFolder, std::string* note);

}  // namespace novrix
