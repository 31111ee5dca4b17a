// The file object and the process-wide share-mode table.
#include <unistd.h>

#include <unordered_map>
#include <vector>

#include "platform/linux/kernel32/kernel_files.h"

namespace nvxp {
namespace {

struct FileIdHash {
    size_t operator()(const FileId& id) const { return std::hash<unsigned long long>()(id.ino * 31u + id.dev); }
};

struct ShareEntry {
    const FileObject* owner;
    DWORD access;  // kShare* bits
    DWORD share;   // FILE_SHARE_* bits
};

using ShareTable = std::unordered_map<FileId, std::vector<ShareEntry>, FileIdHash>;

ShareTable& Shares() {
    static ShareTable* table = new ShareTable;  // guarded by FileLock()
    return *table;
}

}  // namespace

DWORD SharingAccess(DWORD desiredAccess) {
    DWORD access = 0;
    if (desiredAccess & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) access |= kShareRead;
    if (desiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) access |= kShareWrite;
    if (desiredAccess & (DELETE | GENERIC_ALL)) access |= kShareDelete;
    return access;
}

std::mutex& FileLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

bool ShareConflict(const FileId& id, DWORD access, DWORD share) {
    if (access == 0) return false;  // attribute-only use takes no part in sharing
    auto it = Shares().find(id);
    if (it == Shares().end()) return false;
    for (const ShareEntry& open : it->second) {
        // The new use must be allowed by every open handle, and must allow each of them.
        if ((access & kShareRead) && !(open.share & FILE_SHARE_READ)) return true;
        if ((access & kShareWrite) && !(open.share & FILE_SHARE_WRITE)) return true;
        if ((access & kShareDelete) && !(open.share & FILE_SHARE_DELETE)) return true;
        if ((open.access & kShareRead) && !(share & FILE_SHARE_READ)) return true;
        if ((open.access & kShareWrite) && !(share & FILE_SHARE_WRITE)) return true;
        if ((open.access & kShareDelete) && !(share & FILE_SHARE_DELETE)) return true;
    }
    return false;
}

FileObject::FileObject(int fd, const FileId& id, std::string native, DWORD access, DWORD share, bool directory,
                       bool deleteOnClose, bool appendOnly)
    : KernelObject(ObjectKind::File),
      fd_(fd),
      id_(id),
      native_(std::move(native)),
      access_(access),
      share_(share),
      directory_(directory),
      deleteOnClose_(deleteOnClose),
      appendOnly_(appendOnly) {
    if (access_ != 0) Shares()[id_].push_back({this, access_, share_});
}

FileObject::~FileObject() {
    std::lock_guard<std::mutex> lock(FileLock());
    auto it = Shares().find(id_);
    if (it != Shares().end()) {
        auto& entries = it->second;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].owner == this) {
                entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
        if (entries.empty()) Shares().erase(it);
    }
    if (deleteOnClose_) {
        if (directory_) {
            rmdir(native_.c_str());
        } else {
            unlink(native_.c_str());
        }
    }
    close(fd_);
}

}  // namespace nvxp
