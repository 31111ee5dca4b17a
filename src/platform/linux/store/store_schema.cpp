// The tables of the layer's database and their seed rows.
#include "platform/linux/store/store_schema.h"

#include <cstdint>
#include <string>

#include "platform/linux/store/store.h"

namespace nvxp {
namespace {

const char kTables[] = R"SQL(
CREATE TABLE reg_key(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  class BLOB,
  written INTEGER NOT NULL);
CREATE UNIQUE INDEX reg_key_child ON reg_key(parent, folded);
CREATE TABLE reg_value(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  key INTEGER NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL);
CREATE UNIQUE INDEX reg_value_name ON reg_value(key, folded);
CREATE TABLE printer(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name BLOB NOT NULL,
  folded BLOB NOT NULL UNIQUE,
  share BLOB,
  port BLOB NOT NULL,
  driver BLOB NOT NULL,
  comment BLOB,
  location BLOB,
  sepfile BLOB,
  processor BLOB NOT NULL,
  datatype BLOB NOT NULL,
  parameters BLOB,
  attributes INTEGER NOT NULL,
  priority INTEGER NOT NULL,
  default_priority INTEGER NOT NULL,
  start_time INTEGER NOT NULL,
  until_time INTEGER NOT NULL,
  status INTEGER NOT NULL DEFAULT 0,
  devmode BLOB,
  user_devmode BLOB,
  driver_folder BLOB);
CREATE TABLE printer_data(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  printer INTEGER NOT NULL,
  key BLOB NOT NULL,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL);
CREATE UNIQUE INDEX printer_data_name ON printer_data(printer, key, folded);
CREATE TABLE form(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name BLOB NOT NULL,
  folded BLOB NOT NULL UNIQUE,
  flags INTEGER NOT NULL,
  width INTEGER NOT NULL,
  height INTEGER NOT NULL,
  area_left INTEGER NOT NULL,
  area_top INTEGER NOT NULL,
  area_right INTEGER NOT NULL,
  area_bottom INTEGER NOT NULL);
CREATE TABLE driver(
  folded BLOB PRIMARY KEY,
  name BLOB NOT NULL,
  folder BLOB NOT NULL);
)SQL";

struct Root {
    int64_t id;
    const char* name;
};
const Root kRoots[] = {
    {kRootLocalMachine, "HKEY_LOCAL_MACHINE"},
    {kRootCurrentUser, "HKEY_CURRENT_USER"},
    {kRootUsers, "HKEY_USERS"},
    {kRootClasses, "HKEY_CLASSES_ROOT"},
};

// Built-in forms in the order of their DMPAPER numbers; sizes in micrometres.
struct BuiltinForm {
    const char* name;
    int32_t width;
    int32_t height;
};
const BuiltinForm kBuiltinForms[] = {
    {"Letter", 215900, 279400},        {"Tabloid", 279400, 431800},     {"Ledger", 431800, 279400},
    {"Legal", 215900, 355600},         {"Statement", 139700, 215900},   {"Executive", 184150, 266700},
    {"A3", 297000, 420000},            {"A4", 210000, 297000},          {"A5", 148000, 210000},
    {"B4 (JIS)", 257000, 364000},      {"B5 (JIS)", 182000, 257000},    {"Envelope #10", 104775, 241300},
    {"Envelope DL", 110000, 220000},   {"Envelope C5", 162000, 229000}, {"Japanese Postcard", 100000, 148000},
    {"A6", 105000, 148000},
};

int UserVersion(sqlite3* db, int* version) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = sqlite3_step(stmt);
    *version = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    return rc == SQLITE_ROW ? SQLITE_OK : rc;
}

// Runs one insert with the given binder; answers an SQLite result code.
template <typename Bind>
int Insert(sqlite3* db, const char* sql, Bind bind) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return rc;
    bind(stmt);
    rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int BindText(sqlite3_stmt* stmt, int param, const std::string& bytes) {
    return sqlite3_bind_blob(stmt, param, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

int Seed(sqlite3* db) {
    int64_t now = FileTimeNow();
    for (const Root& root : kRoots) {
        nvx::WString name = nvx::WFromAscii(root.name);
        int rc = Insert(db, "INSERT INTO reg_key(id, parent, name, folded, written) VALUES(?1, NULL, ?2, ?3, ?4)",
                        [&](sqlite3_stmt* s) {
                            sqlite3_bind_int64(s, 1, root.id);
                            BindText(s, 2, StoredText(name));
                            BindText(s, 3, FoldedText(name));
                            sqlite3_bind_int64(s, 4, now);
                        });
        if (rc != SQLITE_OK) return rc;
    }
    for (const BuiltinForm& form : kBuiltinForms) {
        nvx::WString name = nvx::WFromAscii(form.name);
        int rc = Insert(db,
                        "INSERT INTO form(name, folded, flags, width, height, area_left, area_top, area_right, "
                        "area_bottom) VALUES(?1, ?2, 1, ?3, ?4, 0, 0, ?3, ?4)",
                        [&](sqlite3_stmt* s) {
                            BindText(s, 1, StoredText(name));
                            BindText(s, 2, FoldedText(name));
                            sqlite3_bind_int(s, 3, form.width);
                            sqlite3_bind_int(s, 4, form.height);
                        });
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

}  // namespace

int EnsureSchema(sqlite3* db) {
    int version = 0;
    int rc = UserVersion(db, &version);
    if (rc != SQLITE_OK || version == kSchemaVersion) return rc;
    if (version > kSchemaVersion) return SQLITE_CANTOPEN;  // written by a newer layer
    rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    // Another process may have created it while this one waited for the lock.
    rc = UserVersion(db, &version);
    if (rc == SQLITE_OK && version == 0) {
        rc = sqlite3_exec(db, kTables, nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) rc = Seed(db);
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA user_version=1", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace nvxp
