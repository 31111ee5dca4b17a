// Where the module keeps settings, and the rules for reading and writing them.
//
// Two stores hold values: the per-user key of a printer under HKEY_CURRENT_USER
// ("Software\<maker>\<driver>\<printer>") and the printer's own data, shared by all
// its users and written only through a handle opened with administer access.
// ValueStore puts both behind one interface so that the list, chunk and
// fixed-size rules below serve presets, watermarks, forms and cover sheets alike.
//
// A missing key or value is never an error to the user: readers answer false
// (or the fallback they are given) and the caller keeps its default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/text.h"

namespace nvx::model {

// ---- Per-user key ---------------------------------------------------------

// Room for a per-user key path, in characters with the terminator.
inline constexpr size_t kUserKeyPathChars = 520;

// The maker word of the key paths: the package's "VendorName" when the model
// tables hold one, else "VELMORA".
const WCHAR* MakerName();

// Formats "Software\<maker>\<driver>\<printer>" (and "\<subkey>" when subkey is
// not null or empty) into path.  Leading backslashes of the printer name are
// dropped, so a connection "\\srv\q1" gives the two levels "srv" and "q1".
// Answers ERROR_SUCCESS, ERROR_INVALID_PARAMETER for a null or empty name or a
// null path, or ERROR_FILENAME_EXCED_RANGE when the path does not fit in cap
// characters (nothing cut: a cut path would name another printer's key).
DWORD FormatUserKeyPath(WCHAR* path, size_t cap, const WCHAR* maker, const WCHAR* driver, const WCHAR* printer,
                        const WCHAR* subkey = nullptr);

// The same for an open printer: driver name from the driver's level-1
// information, printer name from the printer's level-1 information, maker from
// MakerName().  Answers the spooler's error when either cannot be read.
DWORD UserKeyPathOf(HANDLE printer, WCHAR (&path)[kUserKeyPathChars], const WCHAR* subkey = nullptr);

// An open registry key, closed when it goes.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(RegKey&& other) noexcept : key_(other.Release()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Close(); }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY* Out() {
        Close();
        return &key_;
    }
    HKEY Release() {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }
    void Close();

private:
    HKEY key_ = nullptr;
};

// Opens (RegOpenKeyW) or creates (RegCreateKeyExW, all access) the per-user key
// of a printer, or its subkey.  Answer: the registry's or spooler's error code.
LSTATUS OpenUserKey(HANDLE printer, RegKey* key, const WCHAR* subkey = nullptr);
LSTATUS CreateUserKey(HANDLE printer, RegKey* key, const WCHAR* subkey = nullptr);
// The same from names, for callers that hold names and no printer handle.
LSTATUS OpenUserKeyByNames(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, RegKey* key,
                           const WCHAR* subkey = nullptr);
LSTATUS CreateUserKeyByNames(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, RegKey* key,
                             const WCHAR* subkey = nullptr);

// ---- Printers ---------------------------------------------------------------

// An open printer, closed when it goes.
class PrinterHandle {
public:
    PrinterHandle() = default;
    PrinterHandle(PrinterHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    PrinterHandle& operator=(PrinterHandle&& other) noexcept;
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    ~PrinterHandle() { Close(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Close();
    // Opens name with the given access (0: the spooler's default, use).  Answers
    // false with the thread's last error set by OpenPrinterW.
    bool Open(const WCHAR* name, ACCESS_MASK access = 0);

private:
    HANDLE handle_ = nullptr;
};

// Whether the printer is a connection to a remote queue: its level-2 name, with
// every backslash made a comma, has no key under HKEY_LOCAL_MACHINE
// "System\CurrentControlSet\Control\Print\Printers" (the open fails with
// ERROR_FILE_NOT_FOUND).  Answers 0 for every other outcome, also when the
// printer's information cannot be read.
UINT IsPrinterConnection(HANDLE printer);

// ---- Values -----------------------------------------------------------------

// A place that holds named values: a registry key or a printer's data.  Not
// owning; the key or printer must stay open while the store is used.
class ValueStore {
public:
    static ValueStore OfKey(HKEY key) { return ValueStore(key, nullptr); }
    static ValueStore OfPrinter(HANDLE printer) { return ValueStore(nullptr, printer); }

    // One query, as RegQueryValueExW / GetPrinterDataW answer it: on success
    // *size is the value's size; on ERROR_MORE_DATA the size it needs.
    // type and size may be null.
    DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const;
    DWORD Write(const WCHAR* name, DWORD type, const void* data, DWORD size) const;
    DWORD Remove(const WCHAR* name) const;

    // The whole value, whatever its size.
    DWORD ReadAll(const WCHAR* name, std::vector<BYTE>* data, DWORD* type = nullptr) const;
    // A fixed-size record: accepted only when the value is exactly size bytes;
    // out is written only then.
    bool ReadExact(const WCHAR* name, void* out, DWORD size) const;
    // A 4-byte number (REG_DWORD or REG_BINARY of exactly 4 bytes).
    bool ReadDword(const WCHAR* name, uint32_t* value) const;
    DWORD WriteDword(const WCHAR* name, uint32_t value) const;

private:
    ValueStore(HKEY key, HANDLE printer) : key_(key), printer_(printer) {}
    HKEY key_;
    HANDLE printer_;
};

// ---- Four-byte switches -------------------------------------------------------

// A printer-data switch ("DefaultExcelJobCtrl", "DefaultAuthUseEngine"): a stored
// nonzero value gives 1 and zero gives 0; no value, or one that is not 4 bytes,
// gives fallback (the model record's default).
uint32_t ReadDefaultSwitch(HANDLE printer, const WCHAR* name, uint32_t fallback);

// The effective "ExcelJobCtrl": the per-user value when the printer's per-user
// key holds one of 4 bytes (nonzero gives 1), else the printer's
// "DefaultExcelJobCtrl" switch, else modelDefault.
uint32_t ReadExcelJobCtrl(HANDLE printer, uint32_t modelDefault);

// ---- Numbered values ------------------------------------------------------------

// A family of numbered value names: a format with one integer conversion
// ("WaterMark%d", "EasySetData%04d", "WMOrder%02d") and the number of the first
// value (0 or 1).  Positions count from 0: Name(0) is the first value.  A name
// longer than 127 characters comes out empty, and lists refuse to write it
// (ERROR_INVALID_NAME) or to delete by it.
struct NumberedNames {
    const WCHAR* format;
    uint32_t first;
    WString Name(uint32_t position) const;
};

// The value counting a list.  Answers false when it is missing or not 4 bytes.
bool ReadCount(const ValueStore& store, const WCHAR* countName, uint32_t* count);
DWORD WriteCount(const ValueStore& store, const WCHAR* countName, uint32_t count);

// Deletes the values from position `from` on: every one up to oldCount (missing
// ones skipped, at most kDeleteScanLimit of them), then onward until a deletion
// fails.  Answers how many went.
inline constexpr uint32_t kDeleteScanLimit = 10000;
uint32_t DeleteNumbered(const ValueStore& store, const NumberedNames& names, uint32_t from, uint32_t oldCount = 0);

// One value to write.
struct ValueBytes {
    const void* data;
    DWORD size;
};

// What a failed write leaves behind.
enum class OnWriteFailure {
    KeepOldCount,  // the count value is not touched, nothing is deleted
    CountWritten,  // the count says how many were written; later values are deleted
};

struct ListWrite {
    uint32_t written = 0;          // values written, from position 0
    DWORD error = ERROR_SUCCESS;   // the first failure, or ERROR_SUCCESS
    bool ok() const { return error == ERROR_SUCCESS; }
};

// Writes a list: the values at positions 0, 1, ... (stopping at the first
// failure), then the count (when countName is not null), then deletes the
// values behind the new end that a longer earlier list left (up to the old
// count, then until a deletion fails).  On success the thread's last error is
// cleared.
ListWrite WriteList(const ValueStore& store, const WCHAR* countName, const NumberedNames& names, DWORD type,
                    std::span<const ValueBytes> values, OnWriteFailure onFailure = OnWriteFailure::KeepOldCount);

// What a missing or refused value does to a list read.
enum class OnMissingValue {
    Stop,        // the list ends before it
    Skip,        // it is left out, reading goes on
    DiscardAll,  // the whole list is empty
};

// Reads a list: count = countName's value (no count value: an empty list that
// answers false), or, with a null countName, values until the first missing
// one.  At most `limit` positions are read, so a damaged count cannot make the
// reader loop or allocate without end.  A value whose size differs from
// exactSize (when not 0) counts as missing.  Answers whether the count was read
// (always true without a count value).
bool ReadList(const ValueStore& store, const WCHAR* countName, const NumberedNames& names, uint32_t limit,
              OnMissingValue onMissing, std::vector<std::vector<BYTE>>* values, DWORD exactSize = 0);

// Large binary data in numbered chunks of at most chunkSize bytes (REG_BINARY),
// counted by countName (or, with a null countName, ended by the first missing
// chunk).  Writing follows WriteList with OnWriteFailure::KeepOldCount; empty
// data writes a count of 0 and deletes every chunk.
ListWrite WriteChunked(const ValueStore& store, const WCHAR* countName, const NumberedNames& names,
                       const void* data, size_t size, DWORD chunkSize);
// Reads the chunks in order and joins them; stops at the first chunk that is
// missing or larger than chunkSize, and after `limit` chunks.  The buffer grows
// with what is read, never from the count alone.  Answers whether the count was
// read (a store without it is empty).
bool ReadChunked(const ValueStore& store, const WCHAR* countName, const NumberedNames& names, DWORD chunkSize,
                 uint32_t limit, std::vector<BYTE>* data);

}  // namespace nvx::model
