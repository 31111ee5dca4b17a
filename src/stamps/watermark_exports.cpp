// Exports of the watermark store: registering the built-in watermarks.
#include "common/ansi.h"
#include "frame/exports.h"
#include "stamps/watermark_store.h"

namespace {

// Opens the printer for administering (its data is written), registers the
// built-in watermarks and closes it.  Answers the close's result, or 0 when the
// printer cannot be opened or a value cannot be written (the last error says why).
int RegisterDefaults(const WCHAR* printerName) {
    if (!printerName || !printerName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    nvx::WString name(printerName);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ACCESS_ADMINISTER;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, &defaults)) return 0;
    const DWORD rc = nvx::stamps::RegisterDefaultWatermarks(printer);
    const BOOL closed = ClosePrinter(printer);
    if (rc != ERROR_SUCCESS) {
        SetLastError(rc);
        return 0;
    }
    return closed;
}

}  // namespace

NVX_EXPORT int Prc_RegDefWMarkW(const WCHAR* printerName) {
    return RegisterDefaults(printerName);
}

// The name in the system code page.
NVX_EXPORT int Prc_RegDefWMarkA(const char* printerName) {
    if (!printerName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const nvx::WString name = nvx::WFromAnsi(printerName);
    return RegisterDefaults(name.c_str());
}
