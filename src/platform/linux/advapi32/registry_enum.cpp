// Registry enumeration: subkeys (in name order, as Windows keeps them), values
// (in creation order) and the counts and longest lengths of a key.
#include <cstring>

#include "platform/linux/store/store_registry.h"

using nvxp::KeyRef;
using nvxp::StoreLock;

namespace {

LONG KeyFor(HKEY key, REGSAM right, KeyRef* ref) {
    if (LONG rc = nvxp::ResolveKey(key, ref)) return rc;
    return (ref->access & right) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The answer when no row sits at the index: the key is gone or the list ended.
LONG EndOfList(StoreLock& store, int64_t key, int step) {
    if (step != SQLITE_DONE) return static_cast<LONG>(nvxp::StoreErrorFor(step));
    LONG state = nvxp::CheckKey(store, key);
    return state == ERROR_SUCCESS ? ERROR_NO_MORE_ITEMS : state;
}

void CopyName(LPWSTR dst, const nvx::WString& name) {
    if (!name.empty()) std::memcpy(dst, name.data(), name.size() * sizeof(WCHAR));
    dst[name.size()] = 0;
}

void SetFileTime(PFILETIME out, int64_t ticks) {
    out->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    out->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
}

}  // namespace

extern "C" {

// Counts in characters: *lpcchName holds the buffer size with the terminator
// and receives the length without it.  A short buffer answers ERROR_MORE_DATA
// and leaves it untouched.
NVXAPI LSTATUS WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                                    LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                                    PFILETIME lpftLastWriteTime) {
    if (!lpName || !lpcchName || lpReserved) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = KeyFor(hKey, KEY_ENUMERATE_SUB_KEYS, &ref)) return rc;
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::Stmt row = store.Prepare(
        "SELECT name, class, written FROM reg_key WHERE parent = ?1 ORDER BY folded LIMIT 1 OFFSET ?2");
    if (!row) return static_cast<LONG>(store.Error());
    int step = row.Int(1, ref.id).Int(2, dwIndex).Step();
    if (step != SQLITE_ROW) return EndOfList(store, ref.id, step);
    nvx::WString name = row.ColText(0);
    nvx::WString keyClass = row.ColText(1);
    bool wantClass = lpClass && lpcchClass;
    if (name.size() >= *lpcchName || (wantClass && keyClass.size() >= *lpcchClass)) return ERROR_MORE_DATA;
    CopyName(lpName, name);
    *lpcchName = static_cast<DWORD>(name.size());
    if (wantClass) CopyName(lpClass, keyClass);
    if (lpcchClass) *lpcchClass = static_cast<DWORD>(keyClass.size());
    if (lpftLastWriteTime) SetFileTime(lpftLastWriteTime, row.ColInt(2));
    return ERROR_SUCCESS;
}

NVXAPI LSTATUS WINAPI RegEnumKeyW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD cchName) {
    return RegEnumKeyExW(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr);
}

// The name follows the rules of RegEnumKeyExW.  When the name fits but the data
// does not, the name is copied, *lpcbData receives the size needed and the
// answer is ERROR_MORE_DATA; when the name does not fit, nothing is copied.
NVXAPI LSTATUS WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                                    LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = KeyFor(hKey, KEY_QUERY_VALUE, &ref)) return rc;
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::Stmt row =
        store.Prepare("SELECT name, type, data FROM reg_value WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
    if (!row) return static_cast<LONG>(store.Error());
    int step = row.Int(1, ref.id).Int(2, dwIndex).Step();
    if (step != SQLITE_ROW) return EndOfList(store, ref.id, step);
    nvx::WString name = row.ColText(0);
    const BYTE* data = row.ColBlob(2);
    DWORD size = static_cast<DWORD>(row.ColBytes(2));
    if (lpType) *lpType = static_cast<DWORD>(row.ColInt(1));
    LONG rc = ERROR_SUCCESS;
    if (name.size() >= *lpcchValueName) {
        rc = ERROR_MORE_DATA;
    } else {
        CopyName(lpValueName, name);
        *lpcchValueName = static_cast<DWORD>(name.size());
        if (lpData) {
            if (*lpcbData < size)
                rc = ERROR_MORE_DATA;
            else if (size)
                std::memcpy(lpData, data, size);
        }
    }
    if (lpcbData) *lpcbData = size;
    return rc;
}

// Lengths are in characters without the terminator; the longest data in bytes.
NVXAPI LSTATUS WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                       LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                       LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                       LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    if (lpReserved || (lpClass && !lpcchClass)) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = KeyFor(hKey, KEY_QUERY_VALUE, &ref)) return rc;
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::ReadTxn snapshot(store);

    nvxp::Stmt self = store.Prepare("SELECT class, written FROM reg_key WHERE id = ?1");
    nvxp::Stmt keys = store.Prepare(
        "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(class)), 0) FROM reg_key "
        "WHERE parent = ?1");
    nvxp::Stmt values = store.Prepare(
        "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(data)), 0) FROM reg_value "
        "WHERE key = ?1");
    if (!self || !keys || !values) return static_cast<LONG>(store.Error());
    int step = self.Int(1, ref.id).Step();
    if (step != SQLITE_ROW)
        return step == SQLITE_DONE ? ERROR_KEY_DELETED : static_cast<LONG>(nvxp::StoreErrorFor(step));
    if ((step = keys.Int(1, ref.id).Step()) != SQLITE_ROW) return static_cast<LONG>(nvxp::StoreErrorFor(step));
    if ((step = values.Int(1, ref.id).Step()) != SQLITE_ROW) return static_cast<LONG>(nvxp::StoreErrorFor(step));

    nvx::WString keyClass = self.ColText(0);
    LONG rc = ERROR_SUCCESS;
    if (lpcchClass) {
        if (lpClass && *lpcchClass > 0) {
            if (keyClass.size() >= *lpcchClass)
                rc = ERROR_INSUFFICIENT_BUFFER;  // what Windows answers here, not ERROR_MORE_DATA
            else
                CopyName(lpClass, keyClass);
        }
        *lpcchClass = static_cast<DWORD>(keyClass.size());
    }
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(keys.ColInt(0));
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = static_cast<DWORD>(keys.ColInt(1) / 2);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = static_cast<DWORD>(keys.ColInt(2) / 2);
    if (lpcValues) *lpcValues = static_cast<DWORD>(values.ColInt(0));
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = static_cast<DWORD>(values.ColInt(1) / 2);
    if (lpcbMaxValueLen) *lpcbMaxValueLen = static_cast<DWORD>(values.ColInt(2));
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) SetFileTime(lpftLastWriteTime, self.ColInt(1));
    return rc;
}

}  // extern "C"
