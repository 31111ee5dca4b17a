// The user's default printer, kept where Windows keeps it: the "Device" value
// of HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Windows.
#include "platform/linux/store/store_spool.h"

using nvxp::Fail;
using nvxp::StoreLock;

extern "C" {

// Counts in characters with the terminator.  No default (or a default that
// names a printer that is gone) answers ERROR_FILE_NOT_FOUND.
NVXAPI BOOL WINAPI GetDefaultPrinterW(LPWSTR pszBuffer, LPDWORD pcchBuffer) {
    if (!pcchBuffer) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvx::WString name;
    if (DWORD rc = nvxp::ReadDefaultPrinter(store, &name)) return Fail(rc, FALSE);
    int64_t id = 0;
    if (name.empty() || nvxp::FindPrinter(store, name, &id) != ERROR_SUCCESS) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!pszBuffer || *pcchBuffer < needed) {
        *pcchBuffer = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
    }
    nvx::WCopy(pszBuffer, needed, name);
    *pcchBuffer = needed;
    return TRUE;
}

// A null or empty name keeps a valid default, else makes the first printer
// the default (when there is one).
NVXAPI BOOL WINAPI SetDefaultPrinterW(LPCWSTR pszPrinter) {
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), FALSE);
    nvxp::PrinterRow row;
    int64_t id = 0;
    if (pszPrinter && *pszPrinter) {
        if (DWORD rc = nvxp::FindPrinter(store, pszPrinter, &id)) return Fail(rc, FALSE);
    } else {
        nvx::WString current;
        if (DWORD rc = nvxp::ReadDefaultPrinter(store, &current)) return Fail(rc, FALSE);
        if (!current.empty() && nvxp::FindPrinter(store, current, &id) == ERROR_SUCCESS) return TRUE;
        std::vector<nvxp::PrinterRow> all;
        if (DWORD rc = nvxp::ReadAllPrinters(store, &all)) return Fail(rc, FALSE);
        if (all.empty()) return TRUE;
        id = all.front().id;
    }
    if (DWORD rc = nvxp::ReadPrinter(store, id, &row)) return Fail(rc, FALSE);
    if (DWORD rc = nvxp::WriteDefaultPrinter(store, row.name)) return Fail(rc, FALSE);
    if (DWORD rc = txn.Commit()) return Fail(rc, FALSE);
    return TRUE;
}

}  // extern "C"
