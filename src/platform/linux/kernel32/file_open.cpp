// CreateFileW: dispositions, share modes, the read-only attribute and directories.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/kernel32/kernel_files.h"
#include "platform/linux/kernel32/kernel_path.h"

namespace nvxp {
namespace {

struct OpenRequest {
    DWORD access;       // kShare* bits
    DWORD share;        // FILE_SHARE_* bits
    DWORD disposition;  // CREATE_NEW .. TRUNCATE_EXISTING
    DWORD flags;        // FILE_FLAG_* and FILE_ATTRIBUTE_* bits
    bool appendOnly;    // FILE_APPEND_DATA without FILE_WRITE_DATA
};

int OpenFlags(const OpenRequest& request) {
    int flags = O_CLOEXEC;
    bool read = request.access & kShareRead, write = request.access & kShareWrite;
    flags |= read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    if (request.appendOnly) flags |= O_APPEND;
    return flags;
}

FileId IdOf(const struct stat& st) {
    return FileId{st.st_dev, st.st_ino};
}

// Opens an existing file or folder.  Answers the handle or sets the error.
HANDLE OpenExisting(const MappedPath& path, const struct stat& st, const OpenRequest& request) {
    if (request.disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    bool directory = S_ISDIR(st.st_mode);
    bool truncate = request.disposition == CREATE_ALWAYS || request.disposition == TRUNCATE_EXISTING;
    if (directory) {
        // A folder opens only for its attributes (backup semantics), never for data.
        if (!(request.flags & FILE_FLAG_BACKUP_SEMANTICS) || (request.access & kShareWrite) || truncate)
            return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    } else if (IsReadOnly(st) && ((request.access & (kShareWrite | kShareDelete)) || truncate ||
                                  (request.flags & FILE_FLAG_DELETE_ON_CLOSE))) {
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    }
    if (ShareConflict(IdOf(st), request.access, request.share))
        return Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    int fd = directory ? open(path.native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                       : open(path.native.c_str(), OpenFlags(request));
    if (fd < 0) return Fail(ErrorFromErrno(errno, path.native), INVALID_HANDLE_VALUE);
    struct stat opened;
    if (fstat(fd, &opened) != 0 || !(IdOf(opened) == IdOf(st))) {
        close(fd);  // replaced between the look and the open
        return Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
    if (truncate && ftruncate(fd, 0) != 0) {
        DWORD error = ErrorFromErrno(errno, path.native);
        close(fd);
        return Fail(error, INVALID_HANDLE_VALUE);
    }
    auto file = std::make_shared<FileObject>(fd, IdOf(st), path.native, request.access, request.share, directory,
                                             (request.flags & FILE_FLAG_DELETE_ON_CLOSE) != 0, request.appendOnly);
    file->SetWriteAttributes((request.access & kShareWrite) != 0);
    HANDLE handle = AddHandle(file);
    bool existedNotice = request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS;
    SetLastError(existedNotice ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// Creates a new file.  Answers the handle, INVALID_HANDLE_VALUE with the error
// set, or null when the name appeared meanwhile (the caller looks again).
HANDLE CreateNew(const MappedPath& path, const OpenRequest& request) {
    mode_t mode = (request.flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd = open(path.native.c_str(), OpenFlags(request) | O_CREAT | O_EXCL, mode);
    if (fd < 0) {
        if (errno == EEXIST) return nullptr;
        return Fail(ErrorFromErrno(errno, path.native), INVALID_HANDLE_VALUE);
    }
    struct stat st;
    fstat(fd, &st);
    auto file = std::make_shared<FileObject>(fd, IdOf(st), path.native, request.access, request.share, false,
                                             (request.flags & FILE_FLAG_DELETE_ON_CLOSE) != 0, request.appendOnly);
    file->SetWriteAttributes((request.access & kShareWrite) != 0);
    HANDLE handle = AddHandle(file);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                 LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                                 DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
    using namespace nvxp;
    OpenRequest request{SharingAccess(dwDesiredAccess), dwShareMode, dwCreationDisposition, dwFlagsAndAttributes,
                        false};
    request.appendOnly = (dwDesiredAccess & FILE_APPEND_DATA) &&
                         !(dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA));
    if (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) request.access |= kShareDelete;  // implied DELETE access
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
        (dwShareMode & ~static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)))
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (dwCreationDisposition == TRUNCATE_EXISTING && !(request.access & kShareWrite))
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    MappedPath path;
    if (DWORD error = MapPath(lpFileName, PathUse::File, path)) return Fail(error, INVALID_HANDLE_VALUE);
    bool namesFolder = !path.full.empty() && (path.full.back() == u'\\' || path.full.back() == u'/');

    std::lock_guard<std::mutex> lock(FileLock());
    for (;;) {
        struct stat st;
        if (stat(path.native.c_str(), &st) == 0) {
            if (namesFolder && !S_ISDIR(st.st_mode)) return Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
            return OpenExisting(path, st, request);
        }
        if (errno != ENOENT) return Fail(ErrorFromErrno(errno, path.native), INVALID_HANDLE_VALUE);
        if (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING)
            return Fail(ErrorFromErrno(ENOENT, path.native), INVALID_HANDLE_VALUE);
        if (namesFolder) return Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
        if (HANDLE handle = CreateNew(path, request)) return handle;
    }
}

}  // extern "C"
