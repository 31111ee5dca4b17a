// Open files of the kernel: the file object behind a CreateFileW handle and the
// share-mode table that makes opens, deletes and moves within this process
// respect each other's FILE_SHARE_* modes as Windows does.
#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>

#include "platform/linux/kernel32/kernel_objects.h"

namespace nvxp {

// The identity of a file on disk.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId& other) const { return dev == other.dev && ino == other.ino; }
};

// The access that counts for sharing (read data, write data, delete).
constexpr DWORD kShareRead = 1, kShareWrite = 2, kShareDelete = 4;
// Reduces a CreateFileW access mask to kShareRead | kShareWrite | kShareDelete.
DWORD SharingAccess(DWORD desiredAccess);

// Serialises every decision that reads and then changes the share table or the
// files it covers (open, delete, move, copy).
std::mutex& FileLock();
// Whether a new use of the file with `access` (kShare* bits) and `share`
// (FILE_SHARE_* bits) conflicts with the handles open in this process.
// Call with FileLock() held.
bool ShareConflict(const FileId& id, DWORD access, DWORD share);

class FileObject : public KernelObject {
public:
    // Takes the descriptor and registers the handle in the share table
    // (call with FileLock() held).
    FileObject(int fd, const FileId& id, std::string native, DWORD access, DWORD share, bool directory,
               bool deleteOnClose, bool appendOnly);
    ~FileObject() override;

    bool IsWaitable() const override { return true; }
    bool IsSignaled(DWORD) const override { return true; }  // synchronous I/O is always complete

    int fd() const { return fd_; }
    bool CanRead() const { return access_ & kShareRead; }
    bool CanWrite() const { return access_ & kShareWrite; }
    bool IsDirectory() const { return directory_; }
    bool AppendOnly() const { return appendOnly_; }
    bool CanWriteAttributes() const { return writeAttributes_; }
    void SetWriteAttributes(bool allowed) { writeAttributes_ = allowed; }

private:
    int fd_;
    FileId id_;
    std::string native_;
    DWORD access_;
    DWORD share_;
    bool directory_;
    bool deleteOnClose_;
    bool appendOnly_;
    bool writeAttributes_ = false;
};

}  // namespace nvxp
