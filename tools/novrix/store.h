// The printer store of the novrix host: printers of the sample model kept in the
// platform layer's spooler (one database under the platform root), the default
// printer made on first use, each printer's driver folder and the user's
// printing preferences (the per-user device mode).
#pragma once

#include <string>
#include <vector>

#include "commands.h"
#include "platform/win32.h"

namespace novrix {

// What novrix installs: the sample model's driver and, on first use, one printer.
inline constexpr const char* kDriverName = "NOVRIX Fax Driver";
inline constexpr const char* kFirstPrinterName = "NOVRIX MFP 1";
// The simulated open device (no sign-in needed); see companions/oapi/profiles.
inline constexpr const char* kDefaultPort = "IP_192.0.2.20";

struct PrinterEntry {
    std::string name, driver, port;
    std::string driverFolder;  // the printer's own folder, empty: the tool's driver folder
    bool isDefault = false;
};

// Switches to --root when given and, the first time a root is used, adds the
// default printer and makes it the default.  False with *error set when the root
// cannot be used or the printer cannot be added.
bool OpenStore(const Options& options, std::string* error);

// What is wrong with the platform root's store, in words with the file's name
// ("the store .../platform.db is damaged: ...; move it away to start afresh",
// "... is read-only: ..."); empty when it is sound.  *unusable (optional) is set
// when nothing can be read from it.
std::string StoreProblem(bool* unusable);

// The printers in name order.
std::vector<PrinterEntry> ListPrinters();
// The default printer's name, empty when there is none.
std::string DefaultPrinterName();

// Adds a printer of the sample model (port kDefaultPort when empty).  A
// non-empty folder is kept as the printer's own driver folder.  Answers
// ERROR_SUCCESS or the spooler's error (ERROR_PRINTER_ALREADY_EXISTS, ...).
DWORD AddHostPrinter(const std::string& name, const std::string& driverFolder, const std::string& port);
// Installs the printer as the driver's installer does: the model's factory presets
// as shared presets through the module's SetEasySetPreset (loaded from the
// printer's driver folder), then the built-in watermarks as the shared list
// through Prc_RegDefWMarkW; *error says why when it answers false.
bool InstallFactoryPresets(const std::string& name, const Options& options, std::string* error);
// Deletes a printer; when it was the default, another printer (if any) becomes it.
DWORD RemoveHostPrinter(const std::string& name);
DWORD SetDefaultHostPrinter(const std::string& name);

// The driver folder of an open printer: its own, else the tool's (--driver,
// NOVRIX_DRIVER_DIR, ../driver).
std::string PrinterDriverFolder(HANDLE printer, const Options& options);

// The user's stored device mode of the printer (level 9), or empty when the user
// has none of this driver's size.  The record inside is not checked here.
std::vector<BYTE> LoadUserDevMode(HANDLE printer);
// Stores the device mode as the user's own (SetPrinterW level 9).
DWORD SaveUserDevMode(HANDLE printer, const DEVMODEW* devmode);

// A readable text for a Win32 error code of the store (a read-only or damaged
// store is named with its cause).
std::string ErrorText(DWORD error);

// An open printer handle that closes itself.
class PrinterHandle {
public:
    PrinterHandle() = default;
    ~PrinterHandle();
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    // Opens with use access; ERROR_SUCCESS or the spooler's error.
    DWORD Open(const std::string& name);
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace novrix
