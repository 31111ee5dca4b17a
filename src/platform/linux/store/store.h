// The layer's database: one SQLite file, <platform root>/platform.db, shared by
// the registry and the spooler (schema in docs/platform-store.md).
//
// The process keeps one connection, guarded by one mutex.  A StoreLock holds the
// mutex for one Win32 call, opens the database of the current root when needed
// and hands out cached prepared statements.  Writes run in a WriteTxn.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/internal.h"

namespace nvxp {

// Row ids of the fixed registry roots (seeded with the schema).
constexpr int64_t kRootLocalMachine = 1;
constexpr int64_t kRootCurrentUser = 2;
constexpr int64_t kRootUsers = 3;
constexpr int64_t kRootClasses = 4;  // HKEY_CLASSES_ROOT: a tree of its own

// UTF-16 text as stored: the code units little-endian, no terminator.
std::string StoredText(nvx::WStringView text);
// The folded form of a name for case-insensitive lookups and ordering: the upper
// case (as Windows compares names) in big-endian code units, so that byte order
// is code-unit order.
std::string FoldedText(nvx::WStringView text);

// A cached prepared statement; reset and cleared when the holder goes out of scope.
class Stmt {
public:
    explicit Stmt(sqlite3_stmt* stmt) : stmt_(stmt) {}
    Stmt(Stmt&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    ~Stmt();
    explicit operator bool() const { return stmt_ != nullptr; }

    // Binding: parameter numbers start at 1.  Text binds as stored text.
    Stmt& Int(int param, int64_t value);
    Stmt& Text(int param, nvx::WStringView text);
    Stmt& OptText(int param, const WCHAR* textOrNull);
    Stmt& Folded(int param, nvx::WStringView text);
    Stmt& Blob(int param, const void* data, size_t size);
    Stmt& Null(int param);

    // One step: SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Steps a statement that returns no row; answers an SQLite result code.
    int Run();

    // Columns of the current row (numbered from 0).
    int64_t ColInt(int col) const;
    bool ColNull(int col) const;
    nvx::WString ColText(int col) const;
    const BYTE* ColBlob(int col) const;
    size_t ColBytes(int col) const;
    std::vector<BYTE> ColBlobCopy(int col) const;

private:
    sqlite3_stmt* stmt_;
};

// Exclusive use of the database for the length of one call.
class StoreLock {
public:
    StoreLock();
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Whether the database is open; when not, Error() tells why.
    bool ok() const;
    // The Win32 error for the last failure of this connection.
    DWORD Error() const;

    // A prepared statement for sql, which must be a string literal: the cache
    // is keyed by its address.  Empty when preparation failed.
    Stmt Prepare(const char* sql);
    int64_t LastInsertId() const;
    int Changes() const;
    // Copies the write-ahead log into the database file (RegFlushKey).
    DWORD Checkpoint();

private:
    std::unique_lock<std::mutex> lock_;
};

// A write transaction (BEGIN IMMEDIATE), rolled back unless committed.
class WriteTxn {
public:
    explicit WriteTxn(StoreLock& store);
    ~WriteTxn();
    WriteTxn(const WriteTxn&) = delete;
    WriteTxn& operator=(const WriteTxn&) = delete;
    bool ok() const { return active_; }
    // Answers ERROR_SUCCESS or the Win32 error of a failed commit.
    DWORD Commit();

private:
    StoreLock& store_;
    bool active_;
};

// A read transaction (one snapshot for several statements).
class ReadTxn {
public:
    explicit ReadTxn(StoreLock& store);
    ~ReadTxn();
    ReadTxn(const ReadTxn&) = delete;
    ReadTxn& operator=(const ReadTxn&) = delete;
    bool ok() const { return active_; }

private:
    StoreLock& store_;
    bool active_;
};

// The Win32 error that stands for an SQLite result code.
DWORD StoreErrorFor(int sqliteCode);

// The current time as a FILETIME count (100 ns since 1601).
int64_t FileTimeNow();

}  // namespace nvxp
