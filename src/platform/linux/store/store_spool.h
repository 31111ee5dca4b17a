// Spooler internals shared by the spool*.cpp files: handles, printer rows,
// device modes and the packing of info structures into callers' buffers.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/store/store.h"

namespace nvxp {

constexpr size_t kMaxPrinterNameChars = 220;
// The printer key below HKEY_LOCAL_MACHINE (the name follows, backslashes as commas).
constexpr const WCHAR kPrintersKey[] = u"System\\CurrentControlSet\\Control\\Print\\Printers";
// The printer-data key that GetPrinterDataW and SetPrinterDataW address.
constexpr const WCHAR kPrinterDriverData[] = u"PrinterDriverData";

// What a spooler handle stands for.
struct PrinterRef {
    enum class Kind { Printer, Server, XcvPort };
    Kind kind = Kind::Printer;
    int64_t printer = 0;  // row of a printer handle
    ACCESS_MASK access = 0;
    nvx::WString port;  // port of a transceive handle
};

HANDLE NewPrinterHandle(const PrinterRef& ref);
// The object behind a live spooler handle, or null.
std::shared_ptr<const PrinterRef> FindPrinterHandle(HANDLE handle);
bool ClosePrinterHandle(HANDLE handle);
// A printer handle (not a server or transceive one); sets ERROR_INVALID_HANDLE
// and answers null otherwise.
std::shared_ptr<const PrinterRef> PrinterHandle(HANDLE handle);

// One row of the printer table.
struct PrinterRow {
    int64_t id = 0;
    nvx::WString name, port, driver, processor, datatype;
    std::optional<nvx::WString> share, comment, location, sepFile, parameters;
    DWORD attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0, status = 0;
    std::vector<BYTE> devmode, userDevmode;  // empty when the printer has none
    nvx::WString driverFolder;
};

// Reads a printer: ERROR_SUCCESS or ERROR_PRINTER_DELETED (row gone) or a store error.
DWORD ReadPrinter(StoreLock& store, int64_t id, PrinterRow* row);
// Every printer, the local ones first, each group in name order.
DWORD ReadAllPrinters(StoreLock& store, std::vector<PrinterRow>* rows);
// The row of the printer with this name (any case): ERROR_SUCCESS or ERROR_INVALID_PRINTER_NAME.
DWORD FindPrinter(StoreLock& store, nvx::WStringView name, int64_t* id);

// A connection's name begins with two backslashes ("\\server\queue").
bool IsConnectionName(nvx::WStringView name);
// A local name holds no backslash or comma; a connection is "\\server\queue".
bool ValidPrinterName(nvx::WStringView name);
// "\\server" of a connection, nothing for a local printer.
std::optional<nvx::WString> ServerOf(nvx::WStringView name);
// The printer's key below HKEY_LOCAL_MACHINE, relative to it.
nvx::WString PrinterKeyPath(nvx::WStringView name);
// Answers the default printer's name (empty when none is set).
DWORD ReadDefaultPrinter(StoreLock& store, nvx::WString* name);
// Sets or (empty name) clears the default printer, inside the caller's transaction.
DWORD WriteDefaultPrinter(StoreLock& store, nvx::WStringView name);

// ---- Device modes ----
// Whether dm is a device mode this layer accepts; *total receives dmSize + dmDriverExtra.
bool ValidDevMode(const DEVMODEW* dm, size_t* total);
// The bytes of a valid device mode.
std::vector<BYTE> DevModeBytes(const DEVMODEW* dm);
// The public device mode answered for a printer that has none (dmDriverExtra 0).
std::vector<BYTE> DefaultDevMode(nvx::WStringView printerName);
// The printer-wide default: the stored one, else the public default.
std::vector<BYTE> GlobalDevMode(const PrinterRow& row);
// What a user of the printer starts from: the user's own, else the printer-wide one.
std::vector<BYTE> UserDevMode(const PrinterRow& row);

// ---- Packing ----
// Lays out info records as the spooler does: the fixed-size structures first,
// then the strings (2-byte aligned) and device modes (8-byte aligned) they
// point to.  Built with a null buffer it only measures.
class Packer {
public:
    Packer(BYTE* buffer, size_t fixedBytes) : base_(buffer), used_(fixedBytes) {}
    LPWSTR String(nvx::WStringView text);
    LPWSTR OptString(const std::optional<nvx::WString>& text);
    LPDEVMODEW DevMode(const std::vector<BYTE>& devmode);
    size_t Used() const { return used_; }
    bool Measuring() const { return base_ == nullptr; }

private:
    BYTE* Reserve(size_t bytes, size_t align);
    BYTE* base_;
    size_t used_;
};

// Packs count records of recordSize bytes: fill(packer, index, record) writes
// one record (a zeroed buffer of recordSize) with pointers from the packer.
// Answers TRUE, or FALSE with ERROR_INSUFFICIENT_BUFFER (*pcbNeeded set either way).
template <typename Fill>
BOOL PackRecords(BYTE* buffer, DWORD cbBuf, size_t count, size_t recordSize, LPDWORD pcbNeeded, Fill fill) {
    std::vector<BYTE> record(recordSize);
    Packer measure(nullptr, count * recordSize);
    for (size_t i = 0; i < count; ++i) fill(measure, i, record.data());
    *pcbNeeded = static_cast<DWORD>(measure.Used());
    if (!buffer || cbBuf < measure.Used()) return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
    Packer write(buffer, count * recordSize);
    for (size_t i = 0; i < count; ++i) {
        std::fill(record.begin(), record.end(), BYTE{0});
        fill(write, i, record.data());
        std::copy(record.begin(), record.end(), buffer + i * recordSize);
    }
    return TRUE;
}

// The common checks of a call that fills a caller's buffer: pcbNeeded present,
// and a null buffer only with size 0.  Sets the last error when they fail.
bool CheckOutBuffer(const BYTE* buffer, DWORD cbBuf, const DWORD* pcbNeeded);

}  // namespace nvxp
