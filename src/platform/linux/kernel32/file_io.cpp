// Reading, writing, the file pointer, sizes, times and flushing of file handles.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/kernel32/kernel_files.h"
#include "platform/linux/kernel32/kernel_path.h"
#include "platform/linux/kernel32/kernel_time.h"

namespace nvxp {
namespace {

constexpr ULONG_PTR kStatusSuccess = 0;
constexpr ULONG_PTR kStatusEndOfFile = 0xC0000011;
constexpr ULONG_PTR kStatusUnsuccessful = 0xC0000001;

std::shared_ptr<FileObject> FileFor(HANDLE handle) {
    return FindHandleOf<FileObject>(handle, ObjectKind::File);
}

DWORD IoError(int error) {
    if (error == EISDIR) return ERROR_INVALID_FUNCTION;
    return ErrorFromErrno(error, std::string());
}

// Reads up to `count` bytes at `offset` (-1: at the file pointer).  Answers the
// bytes read, or -1 with errno set.
ssize_t ReadAll(int fd, void* buffer, size_t count, off_t offset) {
    size_t done = 0;
    while (done < count) {
        char* at = static_cast<char*>(buffer) + done;
        ssize_t n = offset < 0 ? read(fd, at, count - done) : pread(fd, at, count - done, offset + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

ssize_t WriteAll(int fd, const void* buffer, size_t count, off_t offset, size_t& done) {
    done = 0;
    while (done < count) {
        const char* at = static_cast<const char*>(buffer) + done;
        ssize_t n = offset < 0 ? write(fd, at, count - done) : pwrite(fd, at, count - done, offset + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

off_t OverlappedOffset(const OVERLAPPED* ov) {
    return static_cast<off_t>((static_cast<ULONGLONG>(ov->OffsetHigh) << 32) | ov->Offset);
}

// Completes an OVERLAPPED request on a synchronous handle: status, count and event.
void Complete(LPOVERLAPPED ov, ULONG_PTR status, size_t bytes) {
    ov->Internal = status;
    ov->InternalHigh = bytes;
    if (ov->hEvent) SetEvent(ov->hEvent);
}

// Moves the file pointer; answers the new position or -1 with the error set.
LONGLONG Seek(FileObject& file, LONGLONG distance, DWORD method) {
    LONGLONG base;
    switch (method) {
    case FILE_BEGIN:
        base = 0;
        break;
    case FILE_CURRENT:
        base = lseek(file.fd(), 0, SEEK_CUR);
        break;
    case FILE_END: {
        struct stat st;
        base = fstat(file.fd(), &st) == 0 ? st.st_size : -1;
        break;
    }
    default:
        return Fail(ERROR_INVALID_PARAMETER, -1LL);
    }
    if (base < 0) return Fail(IoError(errno), -1LL);
    LONGLONG target = base + distance;
    if (target < 0) return Fail(ERROR_NEGATIVE_SEEK, -1LL);
    if (lseek(file.fd(), target, SEEK_SET) < 0) return Fail(IoError(errno), -1LL);
    return target;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                            LPOVERLAPPED lpOverlapped) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    // The count may be left out only for an overlapped request, whose OVERLAPPED carries it.
    if (!lpNumberOfBytesRead && !lpOverlapped) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    if (file->IsDirectory()) return Fail(ERROR_INVALID_FUNCTION, FALSE);
    if (!file->CanRead()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (nNumberOfBytesToRead && !lpBuffer) return Fail(ERROR_NOACCESS, FALSE);
    off_t offset = lpOverlapped ? OverlappedOffset(lpOverlapped) : -1;
    ssize_t n = ReadAll(file->fd(), lpBuffer, nNumberOfBytesToRead, offset);
    if (n < 0) {
        DWORD error = IoError(errno);
        if (lpOverlapped) Complete(lpOverlapped, kStatusUnsuccessful, 0);
        return Fail(error, FALSE);
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = static_cast<DWORD>(n);
    if (lpOverlapped) {
        // A synchronous handle moves its file pointer past the data, and an
        // overlapped read that starts at or past the end reports the end of file.
        lseek(file->fd(), offset + n, SEEK_SET);
        if (n == 0 && nNumberOfBytesToRead > 0) {
            Complete(lpOverlapped, kStatusEndOfFile, 0);
            return Fail(ERROR_HANDLE_EOF, FALSE);
        }
        Complete(lpOverlapped, kStatusSuccess, static_cast<size_t>(n));
    }
    return TRUE;
}

NVXAPI BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                             LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpNumberOfBytesWritten && !lpOverlapped) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    if (file->IsDirectory()) return Fail(ERROR_INVALID_FUNCTION, FALSE);
    if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (nNumberOfBytesToWrite && !lpBuffer) return Fail(ERROR_NOACCESS, FALSE);
    off_t offset = -1;
    if (lpOverlapped && !file->AppendOnly()) {
        // Offset and OffsetHigh both 0xFFFFFFFF write at the end of the file.
        if (lpOverlapped->Offset == 0xFFFFFFFFu && lpOverlapped->OffsetHigh == 0xFFFFFFFFu) {
            struct stat st;
            offset = fstat(file->fd(), &st) == 0 ? st.st_size : 0;
        } else {
            offset = OverlappedOffset(lpOverlapped);
        }
    }
    size_t done = 0;
    ssize_t n = nNumberOfBytesToWrite ? WriteAll(file->fd(), lpBuffer, nNumberOfBytesToWrite, offset, done) : 0;
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = static_cast<DWORD>(done);
    if (n < 0) {
        DWORD error = IoError(errno);
        if (lpOverlapped) Complete(lpOverlapped, kStatusUnsuccessful, done);
        return Fail(error, FALSE);
    }
    if (lpOverlapped) {
        if (offset >= 0) lseek(file->fd(), offset + static_cast<off_t>(done), SEEK_SET);
        Complete(lpOverlapped, kStatusSuccess, done);
    }
    return TRUE;
}

NVXAPI BOOL WINAPI GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                       BOOL bWait) {
    using namespace nvxp;
    if (!FileFor(hFile)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpOverlapped || !lpNumberOfBytesTransferred) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
    if (lpOverlapped->Internal == kStatusSuccess) return TRUE;
    if (lpOverlapped->Internal == kStatusEndOfFile) return Fail(ERROR_HANDLE_EOF, FALSE);
    return Fail(31u /* ERROR_GEN_FAILURE */, FALSE);
}

NVXAPI DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                                   DWORD dwMoveMethod) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
    LONGLONG distance = lpDistanceToMoveHigh
                            ? static_cast<LONGLONG>((static_cast<ULONGLONG>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
                                                    static_cast<DWORD>(lDistanceToMove))
                            : lDistanceToMove;
    if (!lpDistanceToMoveHigh) {
        // Without the high part the new position must fit in 32 bits.
        LONGLONG current = lseek(file->fd(), 0, SEEK_CUR);
        LONGLONG base = dwMoveMethod == FILE_BEGIN ? 0 : current;
        if (dwMoveMethod == FILE_END) {
            struct stat st;
            base = fstat(file->fd(), &st) == 0 ? st.st_size : 0;
        }
        if (dwMoveMethod <= FILE_END && base + distance > 0xFFFFFFFFLL)
            return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    LONGLONG position = Seek(*file, distance, dwMoveMethod);
    if (position < 0) return INVALID_SET_FILE_POINTER;
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(position >> 32);
    DWORD low = static_cast<DWORD>(position);
    // A position whose low part is 0xFFFFFFFF is told apart from failure by the last error.
    if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
    return low;
}

NVXAPI BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove, PLARGE_INTEGER lpNewFilePointer,
                                    DWORD dwMoveMethod) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    LONGLONG position = Seek(*file, liDistanceToMove.QuadPart, dwMoveMethod);
    if (position < 0) return FALSE;
    if (lpNewFilePointer) lpNewFilePointer->QuadPart = position;
    return TRUE;
}

NVXAPI BOOL WINAPI SetEndOfFile(HANDLE hFile) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!file->CanWrite() || file->IsDirectory()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    off_t position = lseek(file->fd(), 0, SEEK_CUR);
    if (position < 0 || ftruncate(file->fd(), position) != 0) return Fail(IoError(errno), FALSE);
    return TRUE;
}

NVXAPI DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
    struct stat st;
    if (fstat(file->fd(), &st) != 0) return Fail(IoError(errno), INVALID_FILE_SIZE);
    ULONGLONG size = file->IsDirectory() ? 0 : static_cast<ULONGLONG>(st.st_size);
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    DWORD low = static_cast<DWORD>(size);
    if (low == INVALID_FILE_SIZE) SetLastError(ERROR_SUCCESS);
    return low;
}

NVXAPI BOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpFileSize) return Fail(ERROR_NOACCESS, FALSE);
    struct stat st;
    if (fstat(file->fd(), &st) != 0) return Fail(IoError(errno), FALSE);
    lpFileSize->QuadPart = file->IsDirectory() ? 0 : st.st_size;
    return TRUE;
}

NVXAPI DWORD WINAPI GetFileType(HANDLE hFile) {
    using namespace nvxp;
    if (!FileFor(hFile)) return Fail(ERROR_INVALID_HANDLE, DWORD(FILE_TYPE_UNKNOWN));
    SetLastError(ERROR_SUCCESS);
    return FILE_TYPE_DISK;
}

NVXAPI BOOL WINAPI GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                               LPFILETIME lpLastWriteTime) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    struct statx stx;
    if (statx(file->fd(), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
        return Fail(IoError(errno), FALSE);
    const auto& created = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_mtime;
    if (lpCreationTime) *lpCreationTime = FileTimeFromUnix(created.tv_sec, created.tv_nsec);
    if (lpLastAccessTime) *lpLastAccessTime = FileTimeFromUnix(stx.stx_atime.tv_sec, stx.stx_atime.tv_nsec);
    if (lpLastWriteTime) *lpLastWriteTime = FileTimeFromUnix(stx.stx_mtime.tv_sec, stx.stx_mtime.tv_nsec);
    return TRUE;
}

NVXAPI BOOL WINAPI SetFileTime(HANDLE hFile, const FILETIME* lpCreationTime, const FILETIME* lpLastAccessTime,
                               const FILETIME* lpLastWriteTime) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!file->CanWriteAttributes()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    // The creation time has no place on this file system and is not kept.
    auto toSpec = [](const FILETIME* ft) {
        timespec stamp{0, UTIME_OMIT};
        bool keep = !ft || (ft->dwLowDateTime == 0 && ft->dwHighDateTime == 0) ||
                    (ft->dwLowDateTime == 0xFFFFFFFFu && ft->dwHighDateTime == 0xFFFFFFFFu);
        if (!keep) {
            LONGLONG seconds;
            long nanoseconds;
            UnixFromFileTime(*ft, seconds, nanoseconds);
            stamp.tv_sec = seconds;
            stamp.tv_nsec = nanoseconds;
        }
        return stamp;
    };
    timespec times[2] = {toSpec(lpLastAccessTime), toSpec(lpLastWriteTime)};
    if (futimens(file->fd(), times) != 0) return Fail(IoError(errno), FALSE);
    return TRUE;
}

NVXAPI BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
    using namespace nvxp;
    auto file = FileFor(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (fsync(file->fd()) != 0) return Fail(IoError(errno), FALSE);
    return TRUE;
}

}  // extern "C"
