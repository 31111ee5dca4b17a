// Printer data: typed values per printer and key, shared by all users of the
// printer.  GetPrinterDataW and its kin address the key "PrinterDriverData".
// Writing and deleting need a handle opened with administer access.  These
// functions answer their error code (they do not set the last error).
#include <cstring>

#include "platform/linux/store/store_registry.h"
#include "platform/linux/store/store_spool.h"

using nvxp::StoreLock;

namespace {

// The printer row behind a handle, for reading or (admin) for writing.
DWORD DataPrinter(HANDLE handle, bool write, int64_t* printer) {
    auto ref = nvxp::FindPrinterHandle(handle);
    if (!ref || ref->kind != nvxp::PrinterRef::Kind::Printer) return ERROR_INVALID_HANDLE;
    if (write && !(ref->access & PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    *printer = ref->printer;
    return ERROR_SUCCESS;
}

// Not found: the value, or the printer itself.
DWORD Missing(StoreLock& store, int64_t printer) {
    nvxp::PrinterRow row;
    DWORD rc = nvxp::ReadPrinter(store, printer, &row);
    return rc == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : rc;
}

DWORD GetData(HANDLE handle, const WCHAR* key, const WCHAR* name, LPDWORD pType, LPBYTE pData, DWORD nSize,
              LPDWORD pcbNeeded) {
    if (!pcbNeeded || !name || !key || !*key) return ERROR_INVALID_PARAMETER;
    if (!pData && nSize) return ERROR_INVALID_USER_BUFFER;
    int64_t printer = 0;
    if (DWORD rc = DataPrinter(handle, false, &printer)) return rc;
    StoreLock store;
    if (!store.ok()) return store.Error();
    nvxp::Stmt read = store.Prepare(
        "SELECT type, data FROM printer_data WHERE printer = ?1 AND key = ?2 AND folded = ?3");
    if (!read) return store.Error();
    int step = read.Int(1, printer).Folded(2, key).Folded(3, name).Step();
    if (step != SQLITE_ROW) return step == SQLITE_DONE ? Missing(store, printer) : nvxp::StoreErrorFor(step);
    DWORD size = static_cast<DWORD>(read.ColBytes(1));
    if (pType) *pType = static_cast<DWORD>(read.ColInt(0));
    *pcbNeeded = size;
    if (nSize < size) return ERROR_MORE_DATA;
    if (size) std::memcpy(pData, read.ColBlob(1), size);
    return ERROR_SUCCESS;
}

DWORD SetData(HANDLE handle, const WCHAR* key, const WCHAR* name, DWORD type, const BYTE* data, DWORD size) {
    if (!name || !key || !*key || (!data && size)) return ERROR_INVALID_PARAMETER;
    if (nvx::WLen(name) > nvxp::kMaxValueNameChars) return ERROR_INVALID_PARAMETER;
    int64_t printer = 0;
    if (DWORD rc = DataPrinter(handle, true, &printer)) return rc;
    StoreLock store;
    if (!store.ok()) return store.Error();
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return store.Error();
    nvxp::PrinterRow row;
    if (DWORD rc = nvxp::ReadPrinter(store, printer, &row)) return rc;
    nvxp::Stmt upsert = store.Prepare(
        "INSERT INTO printer_data(printer, key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
        "ON CONFLICT(printer, key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!upsert) return store.Error();
    upsert.Int(1, printer).Folded(2, key).Text(3, name).Folded(4, name).Int(5, type).Blob(6, data, size);
    if (int rc = upsert.Run()) return nvxp::StoreErrorFor(rc);
    return txn.Commit();
}

DWORD DeleteData(HANDLE handle, const WCHAR* key, const WCHAR* name) {
    if (!name || !key || !*key) return ERROR_INVALID_PARAMETER;
    int64_t printer = 0;
    if (DWORD rc = DataPrinter(handle, true, &printer)) return rc;
    StoreLock store;
    if (!store.ok()) return store.Error();
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return store.Error();
    nvxp::Stmt erase = store.Prepare("DELETE FROM printer_data WHERE printer = ?1 AND key = ?2 AND folded = ?3");
    if (!erase) return store.Error();
    if (int rc = erase.Int(1, printer).Folded(2, key).Folded(3, name).Run()) return nvxp::StoreErrorFor(rc);
    if (store.Changes() == 0) return Missing(store, printer);
    return txn.Commit();
}

}  // namespace

extern "C" {

// *pcbNeeded receives the size of the value; a short buffer answers ERROR_MORE_DATA.
NVXAPI DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                                    LPDWORD pcbNeeded) {
    return GetData(hPrinter, nvxp::kPrinterDriverData, pValueName, pType, pData, nSize, pcbNeeded);
}

NVXAPI DWORD WINAPI GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType,
                                      LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
    return GetData(hPrinter, pKeyName, pValueName, pType, pData, nSize, pcbNeeded);
}

NVXAPI DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData) {
    return SetData(hPrinter, nvxp::kPrinterDriverData, pValueName, Type, pData, cbData);
}

NVXAPI DWORD WINAPI SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type,
                                      LPBYTE pData, DWORD cbData) {
    return SetData(hPrinter, pKeyName, pValueName, Type, pData, cbData);
}

NVXAPI DWORD WINAPI DeletePrinterDataW(HANDLE hPrinter, LPWSTR pValueName) {
    return DeleteData(hPrinter, nvxp::kPrinterDriverData, pValueName);
}

NVXAPI DWORD WINAPI DeletePrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName) {
    return DeleteData(hPrinter, pKeyName, pValueName);
}

// Values in the order they were first written.  With cbValueName and cbData
// both 0 the call answers the largest name (bytes with the terminator) and
// data sizes instead.  Name sizes are in bytes.
NVXAPI DWORD WINAPI EnumPrinterDataW(HANDLE hPrinter, DWORD dwIndex, LPWSTR pValueName, DWORD cbValueName,
                                     LPDWORD pcbValueName, LPDWORD pType, LPBYTE pData, DWORD cbData,
                                     LPDWORD pcbData) {
    if (!pcbValueName || !pcbData) return ERROR_INVALID_PARAMETER;
    if ((!pValueName && cbValueName) || (!pData && cbData)) return ERROR_INVALID_USER_BUFFER;
    int64_t printer = 0;
    if (DWORD rc = DataPrinter(hPrinter, false, &printer)) return rc;
    StoreLock store;
    if (!store.ok()) return store.Error();
    std::string key = nvxp::FoldedText(nvxp::kPrinterDriverData);
    if (cbValueName == 0 && cbData == 0) {
        nvxp::Stmt sizes = store.Prepare(
            "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(data)), 0) FROM printer_data "
            "WHERE printer = ?1 AND key = ?2");
        if (!sizes) return store.Error();
        int step = sizes.Int(1, printer).Blob(2, key.data(), key.size()).Step();
        if (step != SQLITE_ROW) return nvxp::StoreErrorFor(step);
        if (sizes.ColInt(0) == 0) return ERROR_NO_MORE_ITEMS;
        *pcbValueName = static_cast<DWORD>(sizes.ColInt(1) + sizeof(WCHAR));
        *pcbData = static_cast<DWORD>(sizes.ColInt(2));
        return ERROR_SUCCESS;
    }
    nvxp::Stmt row = store.Prepare(
        "SELECT name, type, data FROM printer_data WHERE printer = ?1 AND key = ?2 ORDER BY id LIMIT 1 OFFSET ?3");
    if (!row) return store.Error();
    int step = row.Int(1, printer).Blob(2, key.data(), key.size()).Int(3, dwIndex).Step();
    if (step != SQLITE_ROW) return step == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : nvxp::StoreErrorFor(step);
    nvx::WString name = row.ColText(0);
    DWORD nameBytes = static_cast<DWORD>((name.size() + 1) * sizeof(WCHAR));
    DWORD size = static_cast<DWORD>(row.ColBytes(2));
    *pcbValueName = nameBytes;
    *pcbData = size;
    if (pType) *pType = static_cast<DWORD>(row.ColInt(1));
    if (cbValueName < nameBytes || cbData < size) return ERROR_MORE_DATA;
    nvx::WCopy(pValueName, name.size() + 1, name);
    if (size) std::memcpy(pData, row.ColBlob(2), size);
    return ERROR_SUCCESS;
}

}  // extern "C"
