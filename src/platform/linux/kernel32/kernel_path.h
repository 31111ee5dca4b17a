// Win32 paths for the kernel's file functions: full-path normalisation, the
// length and character rules, case-insensitive matching of existing names, the
// well-known folders, and errno -> Win32 error codes.
//
// Path forms: "X:\a\b" lives under <root>/drive_x; a path that starts with a
// slash or backslash is a native absolute path (module paths are given that way);
// anything else is relative to the current directory.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/linux/internal.h"

namespace nvxp {

// What a file function may accept in a path.
enum class PathUse {
    File,        // an existing or new file or folder: full path < MAX_PATH
    Directory,   // CreateDirectoryW: full path < MAX_PATH - 12
    Pattern,     // FindFirstFileW: wildcards allowed in the last component
};

struct MappedPath {
    nvx::WString full;   // the normalised Win32 full path
    std::string native;  // the native path; existing components matched without case
};

// Normalises a path as GetFullPathNameW does (no checks on characters or length).
// Answers ERROR_SUCCESS, or ERROR_INVALID_NAME for an empty path.
DWORD FullPathName(nvx::WStringView path, nvx::WString& full);

// Maps a caller's path for a file function: the length rule (ERROR_PATH_NOT_FOUND,
// or ERROR_FILENAME_EXCED_RANGE for folders), invalid characters (ERROR_INVALID_NAME),
// then the native path.  Answers ERROR_SUCCESS or the Win32 error.
DWORD MapPath(const WCHAR* path, PathUse use, MappedPath& out);

// The Win32 error for an errno from an operation on `native`.  ENOENT becomes
// ERROR_FILE_NOT_FOUND when the parent folder exists, else ERROR_PATH_NOT_FOUND.
DWORD ErrorFromErrno(int error, const std::string& native);

// The native parent folder of a native path ("" for a root).
std::string ParentOf(const std::string& native);

// Whether a file counts as read-only (no owner write permission).  The process
// may run as root, which the permission bits do not stop, so the file functions
// check this themselves.
inline bool IsReadOnly(const struct stat& st) {
    return (st.st_mode & S_IWUSR) == 0;
}

// Creates a native folder and its parents; answers whether it exists afterwards.
bool MakeNativeDirs(const std::string& native);

// A native path as the module sees it: "X:\..." under a drive folder of the
// root, else the native path itself.
nvx::WString WinFromNative(const std::string& native);

// The Windows folder ("C:\Windows") and its System32 and Temp folders, created on
// first use.  Answers the Win32 path.
nvx::WString WindowsFolder();
nvx::WString SystemFolderPath();
nvx::WString TempFolder();

// Copies a folder answer into a caller's buffer as GetWindowsDirectoryW does:
// the length without terminator, or the size needed with the terminator when
// the buffer is too small (nothing written then).
DWORD CopyPathAnswer(const nvx::WString& value, WCHAR* buffer, DWORD size);

}  // namespace nvxp
