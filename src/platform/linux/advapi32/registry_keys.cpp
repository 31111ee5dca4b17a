// Registry keys: open, create, close, delete, flush.
#include "platform/linux/store/store_registry.h"

using nvxp::KeyRef;
using nvxp::StoreLock;

namespace {

// Finds the key below an open handle under one lock: ERROR_SUCCESS with its row.
LONG LocateKey(const KeyRef& base, const std::vector<nvx::WStringView>& parts, int64_t* id) {
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    return nvxp::FindKey(store, base.id, parts, id);
}

bool IsRoot(int64_t id) {
    return id >= nvxp::kRootLocalMachine && id <= nvxp::kRootClasses;
}

}  // namespace

extern "C" {

NVXAPI LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                    PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    KeyRef base;
    if (LONG rc = nvxp::ResolveKey(hKey, &base)) return rc;
    std::vector<nvx::WStringView> parts;
    if (LONG rc = nvxp::SplitKeyPath(lpSubKey, &parts)) {
        *phkResult = nullptr;
        return rc;
    }
    // A predefined key opened without a subkey answers itself.
    if (base.predefined && (!lpSubKey || !*lpSubKey)) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    int64_t id = 0;
    LONG rc = LocateKey(base, parts, &id);
    *phkResult = rc == ERROR_SUCCESS ? nvxp::NewKeyHandle(id, nvxp::MapKeyAccess(samDesired)) : nullptr;
    return rc;
}

NVXAPI LSTATUS WINAPI RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    if (!lpSubKey || !*lpSubKey) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    return RegOpenKeyExW(hKey, lpSubKey, 0, MAXIMUM_ALLOWED, phkResult);
}

NVXAPI LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                                      DWORD dwOptions, REGSAM samDesired,
                                      const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                                      LPDWORD lpdwDisposition) {
    if (!phkResult || Reserved) return ERROR_INVALID_PARAMETER;
    if (dwOptions & REG_OPTION_CREATE_LINK) return ERROR_INVALID_PARAMETER;  // links are not kept
    KeyRef base;
    if (LONG rc = nvxp::ResolveKey(hKey, &base)) return rc;
    std::vector<nvx::WStringView> parts;
    if (LONG rc = nvxp::SplitKeyPath(lpSubKey, &parts)) return rc;

    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    // Opening an existing key needs no write lock.
    int64_t id = 0;
    bool created = false;
    LONG rc = nvxp::FindKey(store, base.id, parts, &id);
    if (rc == ERROR_FILE_NOT_FOUND) {
        nvxp::WriteTxn txn(store);
        if (!txn.ok()) return static_cast<LONG>(store.Error());
        rc = nvxp::CreateKey(store, base.id, parts, lpClass, &id, &created);
        if (rc == ERROR_SUCCESS) rc = static_cast<LONG>(txn.Commit());
    }
    if (rc != ERROR_SUCCESS) return rc;
    *phkResult = nvxp::NewKeyHandle(id, nvxp::MapKeyAccess(samDesired));
    if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

NVXAPI LSTATUS WINAPI RegCreateKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    return RegCreateKeyExW(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr,
                           phkResult, nullptr);
}

NVXAPI LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    KeyRef ref;
    if (nvxp::ResolveKey(hKey, &ref) != ERROR_SUCCESS) return ERROR_INVALID_HANDLE;
    if (!ref.predefined) nvxp::CloseKeyHandle(hKey);
    return ERROR_SUCCESS;
}

// Deletes a key without subkeys; "" deletes the key of the handle itself.
NVXAPI LSTATUS WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    KeyRef base;
    if (LONG rc = nvxp::ResolveKey(hKey, &base)) return rc;
    std::vector<nvx::WStringView> parts;
    if (LONG rc = nvxp::SplitKeyPath(lpSubKey, &parts)) return rc;

    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return static_cast<LONG>(store.Error());
    int64_t id = 0;
    if (LONG rc = nvxp::FindKey(store, base.id, parts, &id)) return rc;
    if (IsRoot(id)) return ERROR_ACCESS_DENIED;
    nvxp::Stmt child = store.Prepare("SELECT 1 FROM reg_key WHERE parent = ?1 LIMIT 1");
    if (!child) return static_cast<LONG>(store.Error());
    int step = child.Int(1, id).Step();
    if (step == SQLITE_ROW) return ERROR_ACCESS_DENIED;  // Windows refuses keys with subkeys
    if (step != SQLITE_DONE) return static_cast<LONG>(nvxp::StoreErrorFor(step));
    if (LONG rc = nvxp::DeleteKeyTree(store, id, false)) return rc;
    return static_cast<LONG>(txn.Commit());
}

// Deletes a subkey with everything below it, or (no subkey) the values and
// subkeys of the key itself.
NVXAPI LSTATUS WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
    KeyRef base;
    if (LONG rc = nvxp::ResolveKey(hKey, &base)) return rc;
    std::vector<nvx::WStringView> parts;
    if (LONG rc = nvxp::SplitKeyPath(lpSubKey, &parts)) return rc;
    bool keepKey = parts.empty();
    const REGSAM needed = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_SET_VALUE;
    if (keepKey && (base.access & needed) != needed) return ERROR_ACCESS_DENIED;

    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return static_cast<LONG>(store.Error());
    int64_t id = 0;
    if (LONG rc = nvxp::FindKey(store, base.id, parts, &id)) return rc;
    if (LONG rc = nvxp::DeleteKeyTree(store, id, keepKey)) return rc;
    return static_cast<LONG>(txn.Commit());
}

NVXAPI LSTATUS WINAPI RegFlushKey(HKEY hKey) {
    KeyRef ref;
    if (LONG rc = nvxp::ResolveKey(hKey, &ref)) return rc;
    StoreLock store;
    if (!store.ok()) return static_cast<LONG>(store.Error());
    if (LONG rc = nvxp::CheckKey(store, ref.id)) return rc;
    return static_cast<LONG>(store.Checkpoint());
}

}  // extern "C"
