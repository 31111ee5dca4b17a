// The layer's one database connection: opened lazily on the current platform
// root, closed when the root changes, abandoned (never used) in a forked child.
#include "platform/linux/store/store.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <atomic>
#include <chrono>
#include <cstring>
#include <unordered_map>

#include "platform/host.h"
#include "platform/linux/store/store_handles.h"
#include "platform/linux/store/store_schema.h"

namespace nvxp {
namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored text is the host's UTF-16LE");

// SQLite results that mean "this file cannot be written here".
bool CannotWrite(int rc) {
    int primary = rc & 0xFF;
    return primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY || primary == SQLITE_PERM;
}

// SQLite results that mean "this file is no whole database".
bool IsDamage(int rc) {
    int primary = rc & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// A query that answers one text (a pragma); SQLite's result code.
int QueryText(sqlite3* db, const char* sql, std::string* out) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        *out = text ? reinterpret_cast<const char*>(text) : "";
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// A new store is made whole beside its place and linked into it, so that a file
// named platform.db always holds the schema: an empty or foreign file there is
// damage, never a store to be made afresh.  Another process that links first
// wins; its store is used.
int CreateFresh(const std::string& path, std::string* detail) {
    std::string temp = path + ".new-" + std::to_string(getpid());
    unlink(temp.c_str());
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) rc = EnsureSchema(db);
    if (rc != SQLITE_OK) *detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    if (rc == SQLITE_OK && link(temp.c_str(), path.c_str()) != 0 && errno != EEXIST) {
        // A file system without hard links: a rename, unless a store came meanwhile.
        struct stat st;
        if (stat(path.c_str(), &st) != 0 && rename(temp.c_str(), path.c_str()) != 0) {
            *detail = std::string("cannot put the new store in place: ") + strerror(errno);
            rc = SQLITE_CANTOPEN;
        }
    }
    unlink(temp.c_str());
    unlink((temp + "-journal").c_str());
    return rc;
}

struct Connection {
    std::mutex mutex;
    sqlite3* db = nullptr;
    DWORD lastError = ERROR_SUCCESS;
    int state = NVX_STORE_OK;  // of the last open
    bool readOnly = false;
    std::string detail;        // why the last open failed, or why the store is read-only
    std::unordered_map<const char*, sqlite3_stmt*> cache;
    // Connections inherited across fork(): SQLite forbids using them in the
    // child, so the child keeps them reachable and opens its own.
    std::vector<sqlite3*> abandoned;

    ~Connection() { Close(); }

    void Close() {
        for (auto& entry : cache) sqlite3_finalize(entry.second);
        cache.clear();
        if (db) sqlite3_close(db);
        db = nullptr;
    }

    bool Fail(int newState, int rc, sqlite3* handle, const std::string& why) {
        state = newState;
        lastError = newState == NVX_STORE_DAMAGED ? ERROR_REGISTRY_CORRUPT : StoreErrorFor(rc);
        detail = why.empty() && handle ? sqlite3_errmsg(handle) : why;
        if (detail.empty()) detail = sqlite3_errstr(rc);
        sqlite3_close(handle);
        return false;
    }

    // Opens the file for reading only: in a folder that cannot be written a
    // store in WAL mode can be read when no log is pending (immutable), else
    // through its existing log and index.
    int OpenReadOnly(const std::string& path, sqlite3** handle) {
        struct stat wal;
        bool pendingLog = stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
        std::string uri = "file:" + path + (pendingLog ? "?mode=ro" : "?mode=ro&immutable=1");
        int rc = sqlite3_open_v2(uri.c_str(), handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
        if (rc == SQLITE_OK) sqlite3_busy_timeout(*handle, 10000);
        return rc;
    }

    // Opens <root>/platform.db (making it when there is none), switches it to
    // WAL and checks that it is a whole store of this layer.  A store that cannot
    // be written is opened for reading; a damaged one is not opened at all.
    bool Open() {
        const std::string root = RootPath();
        const std::string path = root + "/platform.db";
        state = NVX_STORE_OK;
        readOnly = false;
        detail.clear();
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return Fail(NVX_STORE_UNAVAILABLE, SQLITE_CANTOPEN, nullptr, strerror(errno));
            std::string why;
            int rc = CreateFresh(path, &why);
            if (rc != SQLITE_OK && stat(path.c_str(), &st) != 0) {
                if (CannotWrite(rc)) why = "there is none, and the folder " + root + " cannot be written";
                return Fail(NVX_STORE_UNAVAILABLE, rc, nullptr, why);
            }
        } else if (st.st_size == 0) {
            return Fail(NVX_STORE_DAMAGED, SQLITE_NOTADB, nullptr, "the file is empty");
        }
        sqlite3* handle = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(handle, 10000);
            rc = sqlite3_exec(handle, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                              nullptr);
            if (rc == SQLITE_OK && sqlite3_db_readonly(handle, "main") == 1) {
                readOnly = true;
                detail = "the file cannot be written";
            }
        }
        if (CannotWrite(rc)) {
            sqlite3_close(handle);
            handle = nullptr;
            rc = OpenReadOnly(path, &handle);
            readOnly = true;
            detail = access(root.c_str(), W_OK) != 0 ? "the folder " + root + " cannot be written"
                                                     : "the file cannot be written";
        }
        if (rc != SQLITE_OK) return Fail(IsDamage(rc) ? NVX_STORE_DAMAGED : NVX_STORE_UNAVAILABLE, rc, handle, "");
        // Page 1 tells the schema's version; the quick check reads every page, so
        // that a truncated or overwritten file is found now, not by a later call.
        std::string version, check;
        rc = QueryText(handle, "PRAGMA user_version", &version);
        if (rc == SQLITE_OK) rc = QueryText(handle, "PRAGMA quick_check(1)", &check);
        if (rc != SQLITE_OK) return Fail(IsDamage(rc) ? NVX_STORE_DAMAGED : NVX_STORE_UNAVAILABLE, rc, handle, "");
        if (check != "ok") return Fail(NVX_STORE_DAMAGED, SQLITE_CORRUPT, handle, check);
        if (version == "0") return Fail(NVX_STORE_DAMAGED, SQLITE_NOTADB, handle, "it holds no store of this layer");
        if (version != std::to_string(kSchemaVersion))
            return Fail(NVX_STORE_UNAVAILABLE, SQLITE_CANTOPEN, handle,
                        "it was written by a newer version (schema " + version + ")");
        db = handle;
        lastError = ERROR_SUCCESS;
        state = readOnly ? NVX_STORE_READ_ONLY : NVX_STORE_OK;
        if (!readOnly) detail.clear();
        return true;
    }
};

Connection& Conn() {
    static Connection connection;
    return connection;
}

void ForkPrepare() {
    Conn().mutex.lock();
}
void ForkParent() {
    Conn().mutex.unlock();
}
void ForkChild() {
    Connection& c = Conn();
    if (c.db) c.abandoned.push_back(c.db);
    c.db = nullptr;
    c.cache.clear();  // statements of the abandoned connection, never finalized here
    c.mutex.unlock();
}

[[maybe_unused]] const bool g_registered = [] {
    OnRootChange([] {
        std::lock_guard<std::mutex> lock(Conn().mutex);
        Conn().Close();
    });
    pthread_atfork(ForkPrepare, ForkParent, ForkChild);
    return true;
}();

}  // namespace

std::string StoredText(nvx::WStringView text) {
    std::string out(text.size() * 2, '\0');
    if (!text.empty()) std::memcpy(out.data(), text.data(), out.size());
    return out;
}

std::string FoldedText(nvx::WStringView text) {
    std::string out(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        WCHAR c = nvx::WToUpper(text[i]);
        out[2 * i] = static_cast<char>(c >> 8);
        out[2 * i + 1] = static_cast<char>(c & 0xFF);
    }
    return out;
}

// ---- Stmt ----

Stmt::~Stmt() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

Stmt& Stmt::Int(int param, int64_t value) {
    sqlite3_bind_int64(stmt_, param, value);
    return *this;
}

Stmt& Stmt::Blob(int param, const void* data, size_t size) {
    if (size == 0)
        sqlite3_bind_zeroblob(stmt_, param, 0);  // empty, never NULL
    else
        sqlite3_bind_blob64(stmt_, param, data, size, SQLITE_TRANSIENT);
    return *this;
}

Stmt& Stmt::Text(int param, nvx::WStringView text) {
    return Blob(param, text.data(), text.size() * sizeof(WCHAR));
}

Stmt& Stmt::OptText(int param, const WCHAR* textOrNull) {
    return textOrNull ? Text(param, textOrNull) : Null(param);
}

Stmt& Stmt::Folded(int param, nvx::WStringView text) {
    std::string folded = FoldedText(text);
    return Blob(param, folded.data(), folded.size());
}

Stmt& Stmt::Null(int param) {
    sqlite3_bind_null(stmt_, param);
    return *this;
}

int Stmt::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Conn().lastError = StoreErrorFor(rc);
    return rc;
}

int Stmt::Run() {
    int rc = Step();
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int64_t Stmt::ColInt(int col) const {
    return sqlite3_column_int64(stmt_, col);
}

bool Stmt::ColNull(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

const BYTE* Stmt::ColBlob(int col) const {
    return static_cast<const BYTE*>(sqlite3_column_blob(stmt_, col));
}

size_t Stmt::ColBytes(int col) const {
    return static_cast<size_t>(sqlite3_column_bytes(stmt_, col));
}

nvx::WString Stmt::ColText(int col) const {
    const BYTE* data = ColBlob(col);
    size_t bytes = ColBytes(col);
    nvx::WString out(bytes / sizeof(WCHAR), u'\0');
    if (data && !out.empty()) std::memcpy(out.data(), data, out.size() * sizeof(WCHAR));
    return out;
}

std::vector<BYTE> Stmt::ColBlobCopy(int col) const {
    const BYTE* data = ColBlob(col);
    size_t bytes = ColBytes(col);
    return data ? std::vector<BYTE>(data, data + bytes) : std::vector<BYTE>();
}

// ---- StoreLock ----

StoreLock::StoreLock() : lock_(Conn().mutex) {
    if (!Conn().db) Conn().Open();
}

StoreLock::~StoreLock() = default;

bool StoreLock::ok() const {
    return Conn().db != nullptr;
}

DWORD StoreLock::Error() const {
    DWORD error = Conn().lastError;
    return error == ERROR_SUCCESS ? ERROR_REGISTRY_IO_FAILED : error;
}

Stmt StoreLock::Prepare(const char* sql) {
    Connection& c = Conn();
    if (!c.db) return Stmt(nullptr);
    auto it = c.cache.find(sql);
    if (it != c.cache.end()) return Stmt(it->second);
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v3(c.db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        c.lastError = StoreErrorFor(rc);
        return Stmt(nullptr);
    }
    c.cache.emplace(sql, stmt);
    return Stmt(stmt);
}

int64_t StoreLock::LastInsertId() const {
    return sqlite3_last_insert_rowid(Conn().db);
}

int StoreLock::Changes() const {
    return sqlite3_changes(Conn().db);
}

DWORD StoreLock::Checkpoint() {
    if (!Conn().db) return Error();
    int rc = sqlite3_wal_checkpoint_v2(Conn().db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return rc == SQLITE_OK || rc == SQLITE_BUSY ? ERROR_SUCCESS : StoreErrorFor(rc);
}

// ---- Transactions ----

WriteTxn::WriteTxn(StoreLock& store) : store_(store), active_(false) {
    Stmt begin = store_.Prepare("BEGIN IMMEDIATE");
    active_ = begin && begin.Run() == SQLITE_OK;
}

WriteTxn::~WriteTxn() {
    if (active_ && !sqlite3_get_autocommit(Conn().db)) {
        Stmt rollback = store_.Prepare("ROLLBACK");
        if (rollback) rollback.Run();
    }
}

DWORD WriteTxn::Commit() {
    if (!active_) return store_.Error();
    Stmt commit = store_.Prepare("COMMIT");
    int rc = commit ? commit.Run() : SQLITE_ERROR;
    if (rc != SQLITE_OK) return store_.Error();
    active_ = false;
    return ERROR_SUCCESS;
}

ReadTxn::ReadTxn(StoreLock& store) : store_(store), active_(false) {
    Stmt begin = store_.Prepare("BEGIN");
    active_ = begin && begin.Run() == SQLITE_OK;
}

ReadTxn::~ReadTxn() {
    if (active_ && !sqlite3_get_autocommit(Conn().db)) {
        Stmt end = store_.Prepare("COMMIT");
        if (end) end.Run();
    }
}

// ---- Errors and time ----

DWORD StoreErrorFor(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_BUSY;
    case SQLITE_NOMEM:
    case SQLITE_TOOBIG:
        return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_FULL:
        return ERROR_DISK_FULL;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_SCHEMA:
        return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CANTOPEN:
        return ERROR_CANTOPEN;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

int64_t FileTimeNow() {
    using namespace std::chrono;
    auto since1970 = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return since1970 + 116444736000000000LL;
}

}  // namespace nvxp

namespace nvxp {

uintptr_t NextHandleValue() {
    static std::atomic<uintptr_t> next{0x10000};
    return next.fetch_add(4);
}

}  // namespace nvxp

extern "C" NVXAPI int NvxPlatform_StoreState(char* detail, size_t size) {
    nvxp::StoreLock store;  // opens the store when it is not open
    nvxp::Connection& c = nvxp::Conn();
    int state = c.db ? (c.readOnly ? NVX_STORE_READ_ONLY : NVX_STORE_OK) : c.state;
    if (detail && size) snprintf(detail, size, "%s", state == NVX_STORE_OK ? "" : c.detail.c_str());
    return state;
}
