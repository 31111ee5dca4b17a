// Registry values: set, query, delete.
#include <cstring>

#include "platform/linux/store/store_registry.h"

using nvxp::KeyRef;
using nvxp::StoreLock;

namespace {

// Resolves the handle and checks that it was opened with the right.
LONG KeyFor(HKEY key, REGSAM right, KeyRef* ref) {
    if (LONG rc = nvxp::ResolveKey(key, ref)) return rc;
    return (ref->access & right) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

nvx::WStringView NameOf(LPCWSTR name) {
    return name ? nvx::WStringView(name) : nvx::WStringView();
}

}  // namespace

extern "C" {

// Stores exactly the cbData bytes the caller passed (a string keeps its
// terminator when the caller counted it).  Windows also appends a terminator
// that follows an uncounted string in memory; this layer never reads past cbData.
NVXAPI LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                                     const BYTE* lpData, DWORD cbData) {
    KeyRef ref;
    if (LONG rc = KeyFor(hKey, KEY_SET_VALUE, &ref)) return rc;
    nvx::WStringView name = NameOf(lpValueName);
    if (name.size() > nvxp::kMaxValueNameChars) return ERROR_INVALID_PARAMETER;
    if (!lpData && cbData) return ERROR_NOACCESS;
    DWORD size = cbData;
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return static_cast<LONG>(store.Error());
    if (LONG rc = nvxp::SetValueRow(store, ref.id, name, dwType, lpData, size)) return rc;
    return static_cast<LONG>(txn.Commit());
}

NVXAPI LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                       LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = KeyFor(hKey, KEY_QUERY_VALUE, &ref)) return rc;

    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::Stmt read = store.Prepare("SELECT type, data FROM reg_value WHERE key = ?1 AND folded = ?2");
    if (!read) return static_cast<LONG>(store.Error());
    int step = read.Int(1, ref.id).Folded(2, NameOf(lpValueName)).Step();
    if (step != SQLITE_ROW) {
        if (step != SQLITE_DONE) return static_cast<LONG>(nvxp::StoreErrorFor(step));
        LONG state = nvxp::CheckKey(store, ref.id);
        if (state != ERROR_SUCCESS) return state;
        if (lpcbData && !lpData) *lpcbData = 0;  // a size query of a missing value answers 0, as Windows does
        return ERROR_FILE_NOT_FOUND;
    }
    if (lpType) *lpType = static_cast<DWORD>(read.ColInt(0));
    const BYTE* data = read.ColBlob(1);
    DWORD size = static_cast<DWORD>(read.ColBytes(1));
    if (!lpcbData) return ERROR_SUCCESS;
    LONG rc = ERROR_SUCCESS;
    if (lpData) {
        if (*lpcbData < size)
            rc = ERROR_MORE_DATA;
        else if (size)
            std::memcpy(lpData, data, size);
    }
    *lpcbData = size;
    return rc;
}

NVXAPI LSTATUS WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    KeyRef ref;
    if (LONG rc = KeyFor(hKey, KEY_SET_VALUE, &ref)) return rc;
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return static_cast<LONG>(store.Error());
    if (LONG rc = nvxp::DeleteValueRow(store, ref.id, NameOf(lpValueName))) return rc;
    return static_cast<LONG>(txn.Commit());
}

}  // extern "C"
