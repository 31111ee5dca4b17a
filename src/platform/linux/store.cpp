// The layer's one database connection: opened lazily on the current platform
// root, closed when the root changes, abandoned (never used) in a forked child.
#include "platform/linux/store.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <unordered_map>

#include "platform/linux/store_handles.h"
#include "platform/linux/store_schema.h"

namespace nvxp {
namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored text is the host's UTF-16LE");

struct Connection {
    std::mutex mutex;
    sqlite3* db = nullptr;
    DWORD lastError = ERROR_SUCCESS;
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

    // Opens <root>/platform.db, switches it to WAL and creates the schema.
    bool Open() {
        std::string path = RootPath() + "/platform.db";
        sqlite3* handle = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &handle,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(handle, 10000);
            rc = sqlite3_exec(handle, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                              nullptr);
        }
        if (rc == SQLITE_OK) rc = EnsureSchema(handle);
        if (rc != SQLITE_OK) {
            lastError = StoreErrorFor(rc);
            sqlite3_close(handle);
            return false;
        }
        db = handle;
        lastError = ERROR_SUCCESS;
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
