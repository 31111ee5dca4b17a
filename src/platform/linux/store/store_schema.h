// Schema of the layer's database (documented in docs/platform-store.md).
#pragma once

#include <sqlite3.h>

namespace nvxp {

// Version kept in PRAGMA user_version.
constexpr int kSchemaVersion = 1;

// Creates the tables and seeds the registry roots and the built-in forms when
// the database is new.  Answers an SQLite result code.
int EnsureSchema(sqlite3* db);

}  // namespace nvxp
