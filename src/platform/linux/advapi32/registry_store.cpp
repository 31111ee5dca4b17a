// Registry rows: key handles, path walking, key and value rows.
#include <cstring>

#include "platform/linux/store/store_handles.h"
#include "platform/linux/store/store_registry.h"

namespace nvxp {
namespace {

HandleTable<KeyRef>& Keys() {
    static HandleTable<KeyRef> keys;
    return keys;
}

[[maybe_unused]] const bool g_registered = [] {
    OnRootChange([] { Keys().Clear(); });
    return true;
}();

// The row of a predefined key handle, or 0.  Only the low 32 bits count, as on Windows.
int64_t PredefinedRoot(HKEY key) {
    switch (static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key))) {
    case 0x80000000u:
        return kRootClasses;
    case 0x80000001u:
        return kRootCurrentUser;
    case 0x80000002u:
        return kRootLocalMachine;
    case 0x80000003u:
        return kRootUsers;
    default:
        return 0;
    }
}

// The child of parent with the given name, or 0 (and the store error in *error).
int64_t ChildKey(StoreLock& store, int64_t parent, nvx::WStringView name, LONG* error) {
    Stmt find = store.Prepare("SELECT id FROM reg_key WHERE parent = ?1 AND folded = ?2");
    if (!find) {
        *error = static_cast<LONG>(store.Error());
        return 0;
    }
    find.Int(1, parent).Folded(2, name);
    int rc = find.Step();
    if (rc == SQLITE_ROW) return find.ColInt(0);
    *error = rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : static_cast<LONG>(StoreErrorFor(rc));
    return 0;
}

}  // namespace

LONG ResolveKey(HKEY key, KeyRef* out) {
    if (int64_t root = PredefinedRoot(key)) {
        out->id = root;
        out->access = KEY_ALL_ACCESS;
        out->predefined = true;
        return ERROR_SUCCESS;
    }
    std::shared_ptr<KeyRef> ref = Keys().Find(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    *out = *ref;
    return ERROR_SUCCESS;
}

HKEY NewKeyHandle(int64_t id, REGSAM access) {
    auto ref = std::make_shared<KeyRef>();
    ref->id = id;
    ref->access = access;
    return static_cast<HKEY>(Keys().Add(std::move(ref)));
}

bool CloseKeyHandle(HKEY key) {
    return Keys().Remove(key);
}

REGSAM MapKeyAccess(REGSAM requested) {
    REGSAM access = requested & ~static_cast<REGSAM>(KEY_WOW64_RES);
    if (access & MAXIMUM_ALLOWED) access |= KEY_ALL_ACCESS;
    if (access & GENERIC_READ) access |= KEY_READ;
    if (access & GENERIC_WRITE) access |= KEY_WRITE;
    if (access & GENERIC_EXECUTE) access |= KEY_EXECUTE;
    if (access & GENERIC_ALL) access |= KEY_ALL_ACCESS;
    return access & KEY_ALL_ACCESS;
}

LONG SplitKeyPath(const WCHAR* path, std::vector<nvx::WStringView>* parts) {
    parts->clear();
    if (!path || !*path) return ERROR_SUCCESS;
    if (*path == u'\\') return ERROR_BAD_PATHNAME;
    nvx::WStringView rest(path);
    while (!rest.empty()) {
        size_t cut = rest.find(u'\\');
        nvx::WStringView part = rest.substr(0, cut);
        if (part.size() > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
        if (!part.empty()) parts->push_back(part);
        if (cut == nvx::WStringView::npos) break;
        rest.remove_prefix(cut + 1);
    }
    return ERROR_SUCCESS;
}

LONG CheckKey(StoreLock& store, int64_t id) {
    Stmt check = store.Prepare("SELECT 1 FROM reg_key WHERE id = ?1");
    if (!check) return static_cast<LONG>(store.Error());
    int rc = check.Int(1, id).Step();
    if (rc == SQLITE_ROW) return ERROR_SUCCESS;
    return rc == SQLITE_DONE ? ERROR_KEY_DELETED : static_cast<LONG>(StoreErrorFor(rc));
}

LONG FindKey(StoreLock& store, int64_t base, const std::vector<nvx::WStringView>& parts, int64_t* id) {
    if (parts.empty()) {
        LONG rc = CheckKey(store, base);
        if (rc == ERROR_SUCCESS) *id = base;
        return rc;
    }
    int64_t current = base;
    for (size_t i = 0; i < parts.size(); ++i) {
        LONG error = ERROR_SUCCESS;
        int64_t child = ChildKey(store, current, parts[i], &error);
        if (!child) {
            // A missing first component may mean that the base key was deleted.
            if (error == ERROR_FILE_NOT_FOUND && i == 0) {
                LONG baseState = CheckKey(store, base);
                if (baseState != ERROR_SUCCESS) return baseState;
            }
            return error;
        }
        current = child;
    }
    *id = current;
    return ERROR_SUCCESS;
}

LONG CreateKey(StoreLock& store, int64_t base, const std::vector<nvx::WStringView>& parts, const WCHAR* keyClass,
               int64_t* id, bool* created) {
    *created = false;
    for (nvx::WStringView part : parts)
        if (part.size() > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
    LONG rc = CheckKey(store, base);
    if (rc != ERROR_SUCCESS) return rc;
    int64_t current = base;
    int64_t now = FileTimeNow();
    for (size_t i = 0; i < parts.size(); ++i) {
        LONG error = ERROR_SUCCESS;
        int64_t child = ChildKey(store, current, parts[i], &error);
        if (!child) {
            if (error != ERROR_FILE_NOT_FOUND) return error;
            bool last = i + 1 == parts.size();
            Stmt insert = store.Prepare(
                "INSERT INTO reg_key(parent, name, folded, class, written) VALUES(?1, ?2, ?3, ?4, ?5)");
            if (!insert) return static_cast<LONG>(store.Error());
            insert.Int(1, current).Text(2, parts[i]).Folded(3, parts[i]).Int(5, now);
            if (last && keyClass && *keyClass) insert.Text(4, keyClass);
            int step = insert.Run();
            if (step != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(step));
            if ((rc = TouchKey(store, current)) != ERROR_SUCCESS) return rc;
            child = store.LastInsertId();
            *created = last;
        }
        current = child;
    }
    *id = current;
    return ERROR_SUCCESS;
}

LONG DeleteKeyTree(StoreLock& store, int64_t id, bool keepKey) {
    Stmt parent = store.Prepare("SELECT parent FROM reg_key WHERE id = ?1");
    if (!parent) return static_cast<LONG>(store.Error());
    int rc = parent.Int(1, id).Step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? ERROR_KEY_DELETED : static_cast<LONG>(StoreErrorFor(rc));
    int64_t parentId = parent.ColNull(0) ? 0 : parent.ColInt(0);

    Stmt values = store.Prepare(
        "DELETE FROM reg_value WHERE key IN (WITH RECURSIVE sub(id) AS (VALUES(?1) UNION ALL "
        "SELECT k.id FROM reg_key k JOIN sub ON k.parent = sub.id) SELECT id FROM sub)");
    Stmt keys = store.Prepare(
        "DELETE FROM reg_key WHERE id IN (WITH RECURSIVE sub(id) AS (SELECT id FROM reg_key WHERE parent = ?1 "
        "UNION ALL SELECT k.id FROM reg_key k JOIN sub ON k.parent = sub.id) SELECT id FROM sub)");
    if (!values || !keys) return static_cast<LONG>(store.Error());
    if ((rc = values.Int(1, id).Run()) != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(rc));
    if ((rc = keys.Int(1, id).Run()) != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(rc));
    if (!keepKey) {
        Stmt self = store.Prepare("DELETE FROM reg_key WHERE id = ?1");
        if (!self) return static_cast<LONG>(store.Error());
        if ((rc = self.Int(1, id).Run()) != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(rc));
        return parentId ? TouchKey(store, parentId) : ERROR_SUCCESS;
    }
    return TouchKey(store, id);
}

LONG RenameKey(StoreLock& store, int64_t id, nvx::WStringView name) {
    if (name.empty() || name.size() > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
    Stmt rename = store.Prepare("UPDATE reg_key SET name = ?2, folded = ?3, written = ?4 WHERE id = ?1");
    if (!rename) return static_cast<LONG>(store.Error());
    int rc = rename.Int(1, id).Text(2, name).Folded(3, name).Int(4, FileTimeNow()).Run();
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) return ERROR_ALREADY_EXISTS;
    if (rc != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(rc));
    return store.Changes() ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG TouchKey(StoreLock& store, int64_t id) {
    Stmt touch = store.Prepare("UPDATE reg_key SET written = ?2 WHERE id = ?1");
    if (!touch) return static_cast<LONG>(store.Error());
    int rc = touch.Int(1, id).Int(2, FileTimeNow()).Run();
    if (rc != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(rc));
    return store.Changes() ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG SetValueRow(StoreLock& store, int64_t key, nvx::WStringView name, DWORD type, const BYTE* data, size_t size) {
    LONG rc = TouchKey(store, key);  // also proves that the key still exists
    if (rc != ERROR_SUCCESS) return rc;
    Stmt upsert = store.Prepare(
        "INSERT INTO reg_value(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
        "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!upsert) return static_cast<LONG>(store.Error());
    upsert.Int(1, key).Text(2, name).Folded(3, name).Int(4, type).Blob(5, data, size);
    int step = upsert.Run();
    return step == SQLITE_OK ? ERROR_SUCCESS : static_cast<LONG>(StoreErrorFor(step));
}

LONG DeleteValueRow(StoreLock& store, int64_t key, nvx::WStringView name) {
    Stmt erase = store.Prepare("DELETE FROM reg_value WHERE key = ?1 AND folded = ?2");
    if (!erase) return static_cast<LONG>(store.Error());
    int rc = erase.Int(1, key).Folded(2, name).Run();
    if (rc != SQLITE_OK) return static_cast<LONG>(StoreErrorFor(rc));
    if (store.Changes() == 0) {
        LONG state = CheckKey(store, key);
        return state == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : state;
    }
    return TouchKey(store, key);
}

LONG GetValueRow(StoreLock& store, int64_t key, nvx::WStringView name, DWORD* type, std::vector<BYTE>* data) {
    Stmt read = store.Prepare("SELECT type, data FROM reg_value WHERE key = ?1 AND folded = ?2");
    if (!read) return static_cast<LONG>(store.Error());
    int rc = read.Int(1, key).Folded(2, name).Step();
    if (rc == SQLITE_ROW) {
        *type = static_cast<DWORD>(read.ColInt(0));
        *data = read.ColBlobCopy(1);
        return ERROR_SUCCESS;
    }
    if (rc != SQLITE_DONE) return static_cast<LONG>(StoreErrorFor(rc));
    LONG state = CheckKey(store, key);
    return state == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : state;
}

}  // namespace nvxp
