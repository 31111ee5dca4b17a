// Registry internals shared by the registry functions and the spooler.
//
// The row functions run under a held StoreLock; those that write run inside a
// WriteTxn of the caller.  They answer Win32 error codes.
#pragma once

#include <vector>

#include "platform/linux/store/store.h"

namespace nvxp {

// Longest key name component and value name, in characters, as Windows allows.
constexpr size_t kMaxKeyNameChars = 255;
constexpr size_t kMaxValueNameChars = 16383;

// An open key: its row and the rights its handle was opened with.
struct KeyRef {
    int64_t id = 0;
    REGSAM access = 0;
    bool predefined = false;
};

// Resolves a predefined or opened key handle: ERROR_SUCCESS or ERROR_INVALID_HANDLE.
LONG ResolveKey(HKEY key, KeyRef* out);
// Opens a handle on a key row with the given rights.
HKEY NewKeyHandle(int64_t id, REGSAM access);
// Closes an opened handle; answers false when it was not live.
bool CloseKeyHandle(HKEY key);
// The rights a handle gets for a requested access mask (generic rights mapped).
REGSAM MapKeyAccess(REGSAM requested);

// Cuts a subkey path into its components.  A leading backslash answers
// ERROR_BAD_PATHNAME, a component longer than kMaxKeyNameChars
// ERROR_INVALID_PARAMETER; doubled and trailing backslashes are skipped.  A
// null path is empty.
LONG SplitKeyPath(const WCHAR* path, std::vector<nvx::WStringView>* parts);

// Whether the key row still exists (ERROR_SUCCESS, ERROR_KEY_DELETED or a store error).
LONG CheckKey(StoreLock& store, int64_t id);
// Finds the key below base: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, or
// ERROR_KEY_DELETED when base itself is gone.
LONG FindKey(StoreLock& store, int64_t base, const std::vector<nvx::WStringView>& parts, int64_t* id);
// Opens or creates the key below base, creating the missing keys along the
// path; the class goes to the last key when it is created.  Component names
// longer than kMaxKeyNameChars answer ERROR_INVALID_PARAMETER.
LONG CreateKey(StoreLock& store, int64_t base, const std::vector<nvx::WStringView>& parts, const WCHAR* keyClass,
               int64_t* id, bool* created);
// Deletes the values and subkeys of a key and, unless keepKey, the key itself.
LONG DeleteKeyTree(StoreLock& store, int64_t id, bool keepKey);
// Gives a key a new name among its siblings (ERROR_ALREADY_EXISTS on a clash).
LONG RenameKey(StoreLock& store, int64_t id, nvx::WStringView name);
// Sets the last-write time of a key; ERROR_KEY_DELETED when it is gone.
LONG TouchKey(StoreLock& store, int64_t id);

// Writes one value (kept in its place when it exists).
LONG SetValueRow(StoreLock& store, int64_t key, nvx::WStringView name, DWORD type, const BYTE* data, size_t size);
// Deletes one value: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND or ERROR_KEY_DELETED.
LONG DeleteValueRow(StoreLock& store, int64_t key, nvx::WStringView name);
// Reads one value: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND or ERROR_KEY_DELETED.
LONG GetValueRow(StoreLock& store, int64_t key, nvx::WStringView name, DWORD* type, std::vector<BYTE>* data);

}  // namespace nvxp
