// Whole-file operations: delete, copy, move, folders and attributes.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/linux/kernel32/kernel_files.h"
#include "platform/linux/kernel32/kernel_path.h"
#include "platform/linux/kernel32/kernel_time.h"

namespace nvxp {
namespace {

FileId IdOf(const struct stat& st) {
    return FileId{st.st_dev, st.st_ino};
}

// Looks at an existing path; answers ERROR_SUCCESS or the Win32 error for a missing one.
DWORD StatPath(const MappedPath& path, struct stat& st) {
    if (stat(path.native.c_str(), &st) == 0) return ERROR_SUCCESS;
    return ErrorFromErrno(errno, path.native);
}

DWORD Attributes(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (IsReadOnly(st)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

// Copies the contents, permissions and modification time of `from` into `to`
// (created or truncated).  Answers ERROR_SUCCESS or the Win32 error.
DWORD CopyContents(const std::string& from, const std::string& to, const struct stat& source) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return ErrorFromErrno(errno, from);
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        DWORD error = ErrorFromErrno(errno, to);
        close(in);
        return error;
    }
    DWORD error = ERROR_SUCCESS;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(in, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = ErrorFromErrno(errno, from);
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) {
                error = ErrorFromErrno(errno, to);
                break;
            }
            done += w;
        }
        if (error) break;
    }
    if (!error) {
        fchmod(out, source.st_mode & 07777);
        timespec times[2] = {source.st_atim, source.st_mtim};
        futimens(out, times);
    }
    close(out);
    close(in);
    return error;
}

bool IsCurrentDirectory(const std::string& native) {
    char resolved[PATH_MAX], cwd[PATH_MAX];
    return realpath(native.c_str(), resolved) && getcwd(cwd, sizeof(cwd)) && std::string(resolved) == cwd;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    using namespace nvxp;
    MappedPath path;
    if (DWORD error = MapPath(lpFileName, PathUse::File, path)) return Fail(error, FALSE);
    std::lock_guard<std::mutex> lock(FileLock());
    struct stat st;
    if (lstat(path.native.c_str(), &st) != 0) return Fail(ErrorFromErrno(errno, path.native), FALSE);
    if (S_ISDIR(st.st_mode) || IsReadOnly(st)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (ShareConflict(IdOf(st), kShareDelete, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return Fail(ERROR_SHARING_VIOLATION, FALSE);
    if (unlink(path.native.c_str()) != 0) return Fail(ErrorFromErrno(errno, path.native), FALSE);
    return TRUE;
}

NVXAPI BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
    using namespace nvxp;
    MappedPath path;
    if (DWORD error = MapPath(lpPathName, PathUse::Directory, path)) return Fail(error, FALSE);
    if (mkdir(path.native.c_str(), 0755) != 0) {
        if (errno == ENOENT) return Fail(ERROR_PATH_NOT_FOUND, FALSE);
        return Fail(ErrorFromErrno(errno, path.native), FALSE);
    }
    return TRUE;
}

NVXAPI BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName) {
    using namespace nvxp;
    MappedPath path;
    if (DWORD error = MapPath(lpPathName, PathUse::File, path)) return Fail(error, FALSE);
    std::lock_guard<std::mutex> lock(FileLock());
    struct stat st;
    if (lstat(path.native.c_str(), &st) != 0) return Fail(ErrorFromErrno(errno, path.native), FALSE);
    if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY, FALSE);
    if (IsCurrentDirectory(path.native) ||
        ShareConflict(IdOf(st), kShareDelete, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return Fail(ERROR_SHARING_VIOLATION, FALSE);
    if (rmdir(path.native.c_str()) != 0) {
        if (errno == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY, FALSE);
        return Fail(ErrorFromErrno(errno, path.native), FALSE);
    }
    return TRUE;
}

NVXAPI DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    using namespace nvxp;
    MappedPath path;
    if (DWORD error = MapPath(lpFileName, PathUse::File, path)) return Fail(error, INVALID_FILE_ATTRIBUTES);
    struct stat st;
    if (DWORD error = StatPath(path, st)) return Fail(error, INVALID_FILE_ATTRIBUTES);
    return Attributes(st);
}

NVXAPI BOOL WINAPI GetFileAttributesExW(LPCWSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId,
                                        LPVOID lpFileInformation) {
    using namespace nvxp;
    if (fInfoLevelId != GetFileExInfoStandard || !lpFileInformation) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    MappedPath path;
    if (DWORD error = MapPath(lpFileName, PathUse::File, path)) return Fail(error, FALSE);
    struct statx stx;
    if (statx(AT_FDCWD, path.native.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
        return Fail(ErrorFromErrno(errno, path.native), FALSE);
    struct stat st;
    if (DWORD error = StatPath(path, st)) return Fail(error, FALSE);
    auto* info = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
    info->dwFileAttributes = Attributes(st);
    const auto& created = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_mtime;
    info->ftCreationTime = FileTimeFromUnix(created.tv_sec, created.tv_nsec);
    info->ftLastAccessTime = FileTimeFromUnix(stx.stx_atime.tv_sec, stx.stx_atime.tv_nsec);
    info->ftLastWriteTime = FileTimeFromUnix(stx.stx_mtime.tv_sec, stx.stx_mtime.tv_nsec);
    ULONGLONG size = S_ISDIR(st.st_mode) ? 0 : static_cast<ULONGLONG>(st.st_size);
    info->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    info->nFileSizeLow = static_cast<DWORD>(size);
    return TRUE;
}

NVXAPI BOOL WINAPI SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes) {
    using namespace nvxp;
    MappedPath path;
    if (DWORD error = MapPath(lpFileName, PathUse::File, path)) return Fail(error, FALSE);
    struct stat st;
    if (DWORD error = StatPath(path, st)) return Fail(error, FALSE);
    // Only the read-only attribute of files is kept; folders ignore it, as
    // Windows ignores it for them when files are created inside.
    if (S_ISDIR(st.st_mode)) return TRUE;
    mode_t mode = st.st_mode & 07777;
    mode = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
    if (chmod(path.native.c_str(), mode) != 0) return Fail(ErrorFromErrno(errno, path.native), FALSE);
    return TRUE;
}

NVXAPI BOOL WINAPI CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
    using namespace nvxp;
    MappedPath from, to;
    if (DWORD error = MapPath(lpExistingFileName, PathUse::File, from)) return Fail(error, FALSE);
    if (DWORD error = MapPath(lpNewFileName, PathUse::File, to)) return Fail(error, FALSE);
    std::lock_guard<std::mutex> lock(FileLock());
    struct stat source, target;
    if (DWORD error = StatPath(from, source)) return Fail(error, FALSE);
    if (S_ISDIR(source.st_mode)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (ShareConflict(IdOf(source), kShareRead, FILE_SHARE_READ)) return Fail(ERROR_SHARING_VIOLATION, FALSE);
    if (stat(to.native.c_str(), &target) == 0) {
        if (bFailIfExists) return Fail(ERROR_FILE_EXISTS, FALSE);
        if (S_ISDIR(target.st_mode) || IsReadOnly(target)) return Fail(ERROR_ACCESS_DENIED, FALSE);
        if (IdOf(target) == IdOf(source) || ShareConflict(IdOf(target), kShareWrite, 0))
            return Fail(ERROR_SHARING_VIOLATION, FALSE);
    } else if (errno != ENOENT) {
        return Fail(ErrorFromErrno(errno, to.native), FALSE);
    }
    if (DWORD error = CopyContents(from.native, to.native, source)) return Fail(error, FALSE);
    return TRUE;
}

NVXAPI BOOL WINAPI MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
    using namespace nvxp;
    if (dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT) return Fail(ERROR_NOT_SUPPORTED, FALSE);
    MappedPath from, to;
    if (DWORD error = MapPath(lpExistingFileName, PathUse::File, from)) return Fail(error, FALSE);
    if (!lpNewFileName) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (DWORD error = MapPath(lpNewFileName, PathUse::File, to)) return Fail(error, FALSE);
    std::lock_guard<std::mutex> lock(FileLock());
    struct stat source, target;
    if (lstat(from.native.c_str(), &source) != 0) return Fail(ErrorFromErrno(errno, from.native), FALSE);
    const DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (ShareConflict(IdOf(source), kShareDelete, everyone)) return Fail(ERROR_SHARING_VIOLATION, FALSE);
    bool sameFile = false;
    if (lstat(to.native.c_str(), &target) == 0) {
        sameFile = IdOf(target) == IdOf(source);  // a change of case only
        if (!sameFile) {
            if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS, FALSE);
            if (S_ISDIR(target.st_mode) || S_ISDIR(source.st_mode) || IsReadOnly(target))
                return Fail(ERROR_ACCESS_DENIED, FALSE);
            if (ShareConflict(IdOf(target), kShareDelete, everyone)) return Fail(ERROR_SHARING_VIOLATION, FALSE);
        }
    } else if (errno != ENOENT) {
        return Fail(ErrorFromErrno(errno, to.native), FALSE);
    } else {
        struct stat parent;
        if (stat(ParentOf(to.native).c_str(), &parent) != 0 || !S_ISDIR(parent.st_mode))
            return Fail(ERROR_PATH_NOT_FOUND, FALSE);
    }
    if (sameFile && from.native == to.native) {
        // Same spelling on disk: rename to the caller's spelling of the last component.
        size_t slash = to.native.find_last_of('/');
        nvx::WString full = to.full;
        size_t wslash = full.find_last_of(u"\\/");
        to.native = to.native.substr(0, slash + 1) + nvx::Utf8FromW(full.substr(wslash + 1));
    }
    if (rename(from.native.c_str(), to.native.c_str()) == 0) return TRUE;
    if (errno == EXDEV) {
        if (!(dwFlags & MOVEFILE_COPY_ALLOWED) || S_ISDIR(source.st_mode)) return Fail(ERROR_NOT_SAME_DEVICE, FALSE);
        if (DWORD error = CopyContents(from.native, to.native, source)) return Fail(error, FALSE);
        unlink(from.native.c_str());
        return TRUE;
    }
    if (errno == EINVAL) return Fail(ERROR_SHARING_VIOLATION, FALSE);  // a folder into itself
    return Fail(ErrorFromErrno(errno, to.native), FALSE);
}

NVXAPI BOOL WINAPI MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
    return MoveFileExW(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

}  // extern "C"
