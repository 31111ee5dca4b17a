// Per-user keys, printer data and the rules for values, counted lists and chunks.
#include "model/stores.h"

#include <algorithm>
#include <cstring>

#include "common/le.h"
#include "model/loaded_model.h"

namespace nvx::model {

namespace {

constexpr const WCHAR kPrintersKey[] = WL("System\\CurrentControlSet\\Control\\Print\\Printers\\");

// Records read by exact size are small; this only keeps size + 1 from wrapping.
constexpr DWORD kMaxRecordBytes = 1u << 26;

LPWSTR Mutable(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

// Runs a two-call spooler query (GetPrinterW, GetPrinterDriverW) into buffer.
// Answers ERROR_SUCCESS or the spooler's error.
template <typename Query>
DWORD SpoolerInfo(std::vector<BYTE>* buffer, Query query) {
    DWORD needed = 0;
    buffer->assign(512, 0);
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (query(buffer->data(), static_cast<DWORD>(buffer->size()), &needed)) return ERROR_SUCCESS;
        DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer->size()) return error ? error : ERROR_INVALID_DATA;
        buffer->assign(needed, 0);
    }
    return ERROR_INSUFFICIENT_BUFFER;
}

// The printer's level-1 name and its driver's level-1 name.
DWORD PrinterAndDriverNames(HANDLE printer, WString* printerName, WString* driverName) {
    std::vector<BYTE> info;
    DWORD rc = SpoolerInfo(&info, [&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterW(printer, 1, data, size, needed);
    });
    if (rc != ERROR_SUCCESS) return rc;
    const auto* printerInfo = reinterpret_cast<const PRINTER_INFO_1W*>(info.data());
    if (!printerInfo->pName) return ERROR_INVALID_DATA;
    *printerName = printerInfo->pName;

    rc = SpoolerInfo(&info, [&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterDriverW(printer, nullptr, 1, data, size, needed);
    });
    if (rc != ERROR_SUCCESS) return rc;
    const auto* driverInfo = reinterpret_cast<const DRIVER_INFO_1W*>(info.data());
    if (!driverInfo->pName) return ERROR_INVALID_DATA;
    *driverName = driverInfo->pName;
    return ERROR_SUCCESS;
}

LSTATUS OpenPath(const WCHAR* path, RegKey* key) {
    return RegOpenKeyW(HKEY_CURRENT_USER, path, key->Out());
}

LSTATUS CreatePath(const WCHAR* path, RegKey* key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           key->Out(), nullptr);
}

}  // namespace

// ---- Per-user key -------------------------------------------------------------

const WCHAR* MakerName() {
    const WCHAR* maker = model::Loaded().tables.services.makerName;
    return *maker ? maker : kDefaultMakerName;
}

DWORD FormatUserKeyPath(WCHAR* path, size_t cap, const WCHAR* maker, const WCHAR* driver, const WCHAR* printer,
                        const WCHAR* subkey) {
    if (!path || cap == 0) return ERROR_INVALID_PARAMETER;
    path[0] = 0;
    if (printer)
        while (*printer == u'\\') ++printer;
    if (!maker || !*maker || !driver || !*driver || !printer || !*printer) return ERROR_INVALID_PARAMETER;
    int length = subkey && *subkey ? WFormat(path, cap, WL("Software\\%s\\%s\\%s\\%s"), maker, driver, printer, subkey)
                                   : WFormat(path, cap, WL("Software\\%s\\%s\\%s"), maker, driver, printer);
    if (length < 0) {
        path[0] = 0;
        return ERROR_FILENAME_EXCED_RANGE;
    }
    return ERROR_SUCCESS;
}

DWORD UserKeyPathOf(HANDLE printer, WCHAR (&path)[kUserKeyPathChars], const WCHAR* subkey) {
    path[0] = 0;
    WString printerName, driverName;
    if (DWORD rc = PrinterAndDriverNames(printer, &printerName, &driverName)) return rc;
    return FormatUserKeyPath(path, kUserKeyPathChars, MakerName(), driverName.c_str(), printerName.c_str(), subkey);
}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.Release();
    }
    return *this;
}

void RegKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

namespace {

// Forms the key path with formPath(path) (a Win32 error code, 0 on success), then
// opens or creates it into key.  A null key is ERROR_INVALID_PARAMETER.
template <typename FormPath>
LSTATUS UserKeyFromPath(RegKey* key, FormPath formPath, LSTATUS (*openOrCreate)(const WCHAR*, RegKey*)) {
    if (!key) return ERROR_INVALID_PARAMETER;
    key->Close();
    WCHAR path[kUserKeyPathChars];
    if (DWORD rc = formPath(path)) return static_cast<LSTATUS>(rc);
    return openOrCreate(path, key);
}

}  // namespace

LSTATUS OpenUserKey(HANDLE printer, RegKey* key, const WCHAR* subkey) {
    return UserKeyFromPath(key, [&](auto& path) { return UserKeyPathOf(printer, path, subkey); }, OpenPath);
}

LSTATUS CreateUserKey(HANDLE printer, RegKey* key, const WCHAR* subkey) {
    return UserKeyFromPath(key, [&](auto& path) { return UserKeyPathOf(printer, path, subkey); }, CreatePath);
}

LSTATUS OpenUserKeyByNames(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, RegKey* key,
                           const WCHAR* subkey) {
    return UserKeyFromPath(
        key, [&](auto& path) { return FormatUserKeyPath(path, kUserKeyPathChars, maker, driver, printer, subkey); },
        OpenPath);
}

LSTATUS CreateUserKeyByNames(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, RegKey* key,
                             const WCHAR* subkey) {
    return UserKeyFromPath(
        key, [&](auto& path) { return FormatUserKeyPath(path, kUserKeyPathChars, maker, driver, printer, subkey); },
        CreatePath);
}

// ---- Printers -------------------------------------------------------------------

PrinterHandle& PrinterHandle::operator=(PrinterHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

void PrinterHandle::Close() {
    if (handle_) ClosePrinter(handle_);
    handle_ = nullptr;
}

bool PrinterHandle::Open(const WCHAR* name, ACCESS_MASK access) {
    Close();
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return false;
    }
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = access;
    return OpenPrinterW(Mutable(name), &handle_, access ? &defaults : nullptr) != FALSE;
}

UINT IsPrinterConnection(HANDLE printer) {
    std::vector<BYTE> info;
    DWORD rc = SpoolerInfo(&info, [&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterW(printer, 2, data, size, needed);
    });
    if (rc != ERROR_SUCCESS) return 0;
    const auto* printerInfo = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    if (!printerInfo->pPrinterName || !*printerInfo->pPrinterName) return 0;
    WString path = kPrintersKey;
    for (const WCHAR* c = printerInfo->pPrinterName; *c; ++c) path += *c == u'\\' ? u',' : *c;
    RegKey key;
    LSTATUS open = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Out());
    return open == ERROR_FILE_NOT_FOUND ? 1 : 0;
}

// ---- Values ---------------------------------------------------------------------

DWORD ValueStore::Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const {
    DWORD got = capacity;
    DWORD kind = REG_NONE;
    DWORD rc;
    if (key_) {
        rc = static_cast<DWORD>(
            RegQueryValueExW(key_, name, nullptr, &kind, data ? static_cast<BYTE*>(data) : nullptr, &got));
        // A registry query without a buffer reports the size as success; make it
        // the spooler's answer so that callers see one protocol.
        if (rc == ERROR_SUCCESS && !data && got > 0) rc = ERROR_MORE_DATA;
    } else if (printer_) {
        rc = GetPrinterDataW(printer_, Mutable(name), &kind, static_cast<BYTE*>(data), data ? capacity : 0, &got);
    } else {
        rc = ERROR_INVALID_HANDLE;
        got = 0;
    }
    if (type) *type = kind;
    if (size) *size = got;
    return rc;
}

DWORD ValueStore::Write(const WCHAR* name, DWORD type, const void* data, DWORD size) const {
    BYTE* bytes = static_cast<BYTE*>(const_cast<void*>(data));
    if (key_) return static_cast<DWORD>(RegSetValueExW(key_, name, 0, type, bytes, size));
    if (printer_) return SetPrinterDataW(printer_, Mutable(name), type, bytes, size);
    return ERROR_INVALID_HANDLE;
}

DWORD ValueStore::Remove(const WCHAR* name) const {
    if (key_) return static_cast<DWORD>(RegDeleteValueW(key_, name));
    if (printer_) return DeletePrinterDataW(printer_, Mutable(name));
    return ERROR_INVALID_HANDLE;
}

DWORD ValueStore::ReadAll(const WCHAR* name, std::vector<BYTE>* data, DWORD* type) const {
    if (!data) return ERROR_INVALID_PARAMETER;
    data->assign(256, 0);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        DWORD rc = Query(name, type, data->data(), static_cast<DWORD>(data->size()), &size);
        if (rc == ERROR_SUCCESS) {
            data->resize(size);
            return ERROR_SUCCESS;
        }
        if (rc != ERROR_MORE_DATA || size <= data->size()) {
            data->clear();
            return rc == ERROR_MORE_DATA ? ERROR_INVALID_DATA : rc;
        }
        data->assign(size, 0);  // the value grew between the calls: ask again
    }
    data->clear();
    return ERROR_MORE_DATA;
}

bool ValueStore::ReadExact(const WCHAR* name, void* out, DWORD size) const {
    if (!out || size > kMaxRecordBytes) return false;
    // One byte more than wanted tells a longer value from an exact one.
    std::vector<BYTE> buffer(size_t(size) + 1);
    DWORD got = 0;
    if (Query(name, nullptr, buffer.data(), size + 1, &got) != ERROR_SUCCESS || got != size) return false;
    std::memcpy(out, buffer.data(), size);
    return true;
}

bool ValueStore::ReadDword(const WCHAR* name, uint32_t* value) const {
    if (!value) return false;
    BYTE buffer[5];
    DWORD got = 0, type = REG_NONE;
    if (Query(name, &type, buffer, sizeof buffer, &got) != ERROR_SUCCESS || got != 4) return false;
    if (type != REG_DWORD && type != REG_BINARY) return false;
    *value = GetLE32(buffer);
    return true;
}

DWORD ValueStore::WriteDword(const WCHAR* name, uint32_t value) const {
    BYTE bytes[4];
    PutLE32(bytes, value);
    return Write(name, REG_DWORD, bytes, sizeof bytes);
}

// ---- Four-byte switches -------------------------------------------------------------

uint32_t ReadDefaultSwitch(HANDLE printer, const WCHAR* name, uint32_t fallback) {
    uint32_t value = 0;
    if (!ValueStore::OfPrinter(printer).ReadDword(name, &value)) return fallback;
    return value ? 1 : 0;
}

uint32_t ReadExcelJobCtrl(HANDLE printer, uint32_t modelDefault) {
    uint32_t result = ReadDefaultSwitch(printer, WL("DefaultExcelJobCtrl"), modelDefault);
    RegKey key;
    uint32_t user = 0;
    if (OpenUserKey(printer, &key) == ERROR_SUCCESS &&
        ValueStore::OfKey(key.get()).ReadDword(WL("ExcelJobCtrl"), &user))
        result = user ? 1 : 0;
    return result;
}

// ---- Numbered values -----------------------------------------------------------------

WString NumberedNames::Name(uint32_t position) const {
    WCHAR name[128];
    if (!format || WFormat(name, sizeof name / sizeof name[0], format, static_cast<int>(first + position)) < 0)
        return WString();
    return name;
}

bool ReadCount(const ValueStore& store, const WCHAR* countName, uint32_t* count) {
    return countName && store.ReadDword(countName, count);
}

DWORD WriteCount(const ValueStore& store, const WCHAR* countName, uint32_t count) {
    return store.WriteDword(countName, count);
}

uint32_t DeleteNumbered(const ValueStore& store, const NumberedNames& names, uint32_t from, uint32_t oldCount) {
    uint32_t deleted = 0;
    uint32_t position = from;
    // A damaged count must not make this walk billions of missing names.
    uint32_t end = static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t(from) + std::min(oldCount > from ? oldCount - from : 0u, kDeleteScanLimit),
                           UINT32_MAX));
    for (; position < end; ++position) {
        WString name = names.Name(position);
        if (name.empty()) return deleted;  // an empty name would be the key's default value
        if (store.Remove(name.c_str()) == ERROR_SUCCESS) ++deleted;
    }
    // Values behind the old count (a list whose count was lost or never written).
    for (; position < UINT32_MAX; ++position) {
        WString name = names.Name(position);
        if (name.empty() || store.Remove(name.c_str()) != ERROR_SUCCESS) break;
        ++deleted;
    }
    return deleted;
}

ListWrite WriteList(const ValueStore& store, const WCHAR* countName, const NumberedNames& names, DWORD type,
                    std::span<const ValueBytes> values, OnWriteFailure onFailure) {
    ListWrite result;
    uint32_t oldCount = 0;
    if (!ReadCount(store, countName, &oldCount)) oldCount = 0;
    for (const ValueBytes& value : values) {
        WString name = names.Name(result.written);
        result.error =
            name.empty() ? DWORD(ERROR_INVALID_NAME) : store.Write(name.c_str(), type, value.data, value.size);
        if (result.error != ERROR_SUCCESS) break;
        ++result.written;
    }
    if (!result.ok() && onFailure == OnWriteFailure::KeepOldCount) return result;
    if (countName) {
        DWORD rc = WriteCount(store, countName, result.written);
        if (rc != ERROR_SUCCESS) {
            // Without the new count the old values behind the new end still count.
            if (result.ok()) result.error = rc;
            return result;
        }
    }
    DeleteNumbered(store, names, result.written, oldCount);
    if (result.ok()) SetLastError(ERROR_SUCCESS);
    return result;
}

bool ReadList(const ValueStore& store, const WCHAR* countName, const NumberedNames& names, uint32_t limit,
              OnMissingValue onMissing, std::vector<std::vector<BYTE>>* values, DWORD exactSize) {
    if (!values) return false;
    values->clear();
    uint32_t count = limit;
    if (countName) {
        if (!ReadCount(store, countName, &count)) return false;
        count = std::min(count, limit);
    }
    std::vector<BYTE> value;
    for (uint32_t position = 0; position < count; ++position) {
        bool present = store.ReadAll(names.Name(position).c_str(), &value) == ERROR_SUCCESS &&
                       (exactSize == 0 || value.size() == exactSize);
        if (present) {
            values->push_back(std::move(value));
            continue;
        }
        if (!countName || onMissing == OnMissingValue::Stop) break;
        if (onMissing == OnMissingValue::DiscardAll) {
            values->clear();
            break;
        }
    }
    return true;
}

ListWrite WriteChunked(const ValueStore& store, const WCHAR* countName, const NumberedNames& names,
                       const void* data, size_t size, DWORD chunkSize) {
    if (chunkSize == 0 || (size && !data)) return ListWrite{0, ERROR_INVALID_PARAMETER};
    std::vector<ValueBytes> chunks;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (size_t at = 0; at < size; at += chunkSize)
        chunks.push_back(ValueBytes{bytes + at, static_cast<DWORD>(std::min<size_t>(chunkSize, size - at))});
    return WriteList(store, countName, names, REG_BINARY, chunks, OnWriteFailure::KeepOldCount);
}

bool ReadChunked(const ValueStore& store, const WCHAR* countName, const NumberedNames& names, DWORD chunkSize,
                 uint32_t limit, std::vector<BYTE>* data) {
    if (!data) return false;
    data->clear();
    uint32_t count = limit;
    if (countName) {
        if (!ReadCount(store, countName, &count)) return false;
        count = std::min(count, limit);
    }
    std::vector<BYTE> chunk;
    for (uint32_t position = 0; position < count; ++position) {
        if (store.ReadAll(names.Name(position).c_str(), &chunk) != ERROR_SUCCESS || chunk.size() > chunkSize) break;
        data->insert(data->end(), chunk.begin(), chunk.end());
    }
    return true;
}

}  // namespace nvx::model
