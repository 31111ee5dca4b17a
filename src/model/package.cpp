// Package reader: open, close, raw reads and the directory and item walks.
#include "model/package.h"

#include <cstring>
#include <new>
#include <string_view>

#include "common/le.h"

namespace nvx::model {

namespace {

// The name in a fixed 32-byte field, which a malformed file may leave unterminated.
std::string_view FieldName(const uint8_t* field) {
    const char* s = reinterpret_cast<const char*>(field);
    return std::string_view(s, strnlen(s, vpd::kNameField));
}

// Reads length bytes at offset through the file, looping over short reads.
// Answers the count read, or -1 when a read fails.
int64_t ReadThroughFile(HANDLE file, void* dst, uint32_t length, uint32_t offset) {
    // With a high part the low part counts as unsigned, so offsets from 2 GiB work.
    LONG high = 0;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return 0;
    }
    uint32_t done = 0;
    auto* out = static_cast<uint8_t*>(dst);
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(file, out + done, length - done, &got, nullptr)) return -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}

}  // namespace

PackagePtr Package::Open(const WCHAR* path, PackageOpenMode mode) {
    if (path == nullptr || path[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    PackagePtr pkg(new (std::nothrow) Package());
    if (!pkg) {
        CloseHandle(file);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    pkg->Load(file, path, mode);
    return pkg;
}

// Takes ownership of the open file: records its size and reads it whole into the
// image, or stays in file mode when the size, the image or a read fails.
bool Package::Load(HANDLE file, const WCHAR* path, PackageOpenMode mode) {
    file_ = file;
    WCopy(path_, MAX_PATH, path);
    imageMode_ = false;
    DWORD high = 0;
    SetLastError(NO_ERROR);  // a size of 0xFFFFFFFF is told from a failure by the last error
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        size_ = UINT32_MAX;  // unknown: file mode reads until the file ends
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        return true;
    }
    // Offsets are 32 bits: a larger file is read through its first 4 GiB - 1 bytes.
    size_ = high != 0 ? UINT32_MAX : low;
    if (mode == PackageOpenMode::Auto && high == 0) {
        image_ = new (std::nothrow) uint8_t[size_ == 0 ? 1 : size_];
        if (image_ != nullptr) {
            int64_t got = ReadThroughFile(file, image_, size_, 0);
            if (got < 0) {
                delete[] image_;
                image_ = nullptr;
            } else {
                size_ = static_cast<uint32_t>(got);  // a file that shrank ends where it ended
                imageMode_ = true;
            }
        }
    }
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return true;
}

PackagePtr Package::OpenImage(const void* bytes, size_t size) {
    if ((bytes == nullptr && size != 0) || size > UINT32_MAX) return nullptr;
    PackagePtr pkg(new (std::nothrow) Package());
    if (!pkg) return nullptr;
    if (size != 0) {
        pkg->image_ = new (std::nothrow) uint8_t[size];
        if (pkg->image_ == nullptr) return nullptr;
        std::memcpy(pkg->image_, bytes, size);
    }
    pkg->size_ = static_cast<uint32_t>(size);
    pkg->imageMode_ = true;
    return pkg;
}

Package::~Package() {
    if (file_ != nullptr) CloseHandle(file_);
    delete[] image_;
}

int64_t Package::Read(void* dst, uint32_t length, uint32_t offset) const {
    if (dst == nullptr || offset >= size_) return 0;
    uint32_t n = length < size_ - offset ? length : size_ - offset;
    if (imageMode_) {
        std::memcpy(dst, image_ + offset, n);
        return n;
    }
    return ReadThroughFile(file_, dst, n, offset);
}

bool Package::ReadExact(uint32_t offset, uint32_t length, void* dst) const {
    if (offset == 0 || dst == nullptr || !InBounds(size_, offset, length)) return false;
    if (imageMode_) {
        std::memcpy(dst, image_ + offset, length);
        return true;
    }
    return ReadThroughFile(file_, dst, length, offset) == static_cast<int64_t>(length);
}

bool Package::ReadEntry(uint32_t offset, void* dst52) const { return ReadExact(offset, vpd::kEntry52Size, dst52); }
bool Package::ReadInfo(uint32_t offset, void* dst12) const { return ReadExact(offset, vpd::kInfo52Size, dst12); }
bool Package::ReadRecord(uint32_t offset, uint32_t length, void* dst) const {
    return ReadExact(offset, length, dst);
}

bool Package::Read32(uint32_t offset, uint32_t* dst) const {
    uint8_t b[4];
    if (dst == nullptr || !ReadExact(offset, 4, b)) return false;
    *dst = GetLE32(b);
    return true;
}

bool Package::ReadItem(uint32_t offset, vpd::Item* dst) const {
    uint8_t b[vpd::kItemSize];
    if (dst == nullptr || !ReadExact(offset, sizeof b, b)) return false;
    dst->key = GetLE32(b + offsetof(vpd::Item, key));
    dst->aux = GetLE32(b + offsetof(vpd::Item, aux));
    dst->value = GetLE32(b + offsetof(vpd::Item, value));
    dst->next = GetLE32(b + offsetof(vpd::Item, next));
    return true;
}

bool Package::ReadKey(uint32_t offset, char* dst, size_t size) const {
    if (offset == 0 || dst == nullptr || size == 0 || offset >= size_) return false;
    char buf[vpd::kMaxString + 1];
    uint32_t avail = size_ - offset < sizeof buf ? size_ - offset : static_cast<uint32_t>(sizeof buf);
    const char* src = reinterpret_cast<const char*>(image_) + offset;  // scanned in place in image mode
    if (!imageMode_) {
        int64_t got = Read(buf, avail, offset);
        if (got <= 0) return false;
        avail = static_cast<uint32_t>(got);
        src = buf;
    }
    // A key that runs off the end of the file ends there.
    size_t len = strnlen(src, avail);
    if (len > vpd::kMaxString || len > size - 1) return false;
    std::memcpy(dst, src, len);
    dst[len] = 0;
    return true;
}

bool Package::ReadValue(uint32_t offset, WCHAR* dst, size_t cap) const {
    if (offset == 0 || dst == nullptr || cap < 2 || offset >= size_) return false;
    uint8_t buf[2 * vpd::kMaxString];
    uint32_t avail = size_ - offset < sizeof buf ? size_ - offset : static_cast<uint32_t>(sizeof buf);
    const uint8_t* src = image_ + offset;  // scanned in place in image mode
    if (!imageMode_) {
        int64_t got = Read(buf, avail, offset);
        if (got <= 0) return false;
        avail = static_cast<uint32_t>(got);
        src = buf;
    }
    size_t limit = avail / 2;  // a dangling odd byte is no character
    if (limit > cap - 1) limit = cap - 1;
    size_t len = 0;
    while (len < limit && GetLE16(src + 2 * len) != 0) ++len;
    if (len == 0) return false;
    for (size_t i = 0; i < len; ++i) dst[i] = static_cast<WCHAR>(GetLE16(src + 2 * i));
    dst[len] = 0;
    return true;
}

bool Package::ReadRange(uint32_t offset, int32_t dst[3]) const {
    uint8_t b[vpd::kRangeSize];
    if (dst == nullptr || !ReadExact(offset, sizeof b, b)) return false;
    dst[0] = static_cast<int32_t>(GetLE32(b + offsetof(vpd::RangeBlock, maximum)));
    dst[1] = static_cast<int32_t>(GetLE32(b + offsetof(vpd::RangeBlock, minimum)));
    dst[2] = static_cast<int32_t>(GetLE32(b + offsetof(vpd::RangeBlock, defaultValue)));
    return true;
}

// Walks the directory from offset 8 for an entry named `name`.  An entry counts
// only below the directory end; the walk stops at a link at or beyond it, at a
// link to itself, at a short read, or after as many steps as the directory (and
// the file) can hold entries, so that backward links and cycles end it.
namespace {

// The name with a..z made A..Z: names compare without regard to ASCII case.
std::string FoldedName(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

}  // namespace

void Package::IndexDirectory(uint32_t entrySize, uint32_t nextAt) {
    directory_.clear();
    indexedEntrySize_ = 0;
    uint8_t header[vpd::kHeaderSize];
    if (Read(header, sizeof header, 0) != sizeof header) {
        indexedEntrySize_ = entrySize;  // a short file has no entries
        return;
    }
    // The same walk as WalkDirectory, keeping the first answer for each name.
    const uint32_t dirEnd = GetLE32(header + offsetof(vpd::FileHeader, directoryEnd));
    const uint32_t end = dirEnd < size_ ? dirEnd : size_;
    const uint32_t steps = end > vpd::kFirstEntry ? (end - vpd::kFirstEntry) / entrySize + 1 : 1;
    uint32_t at = vpd::kFirstEntry;
    uint8_t entry[vpd::kEntry52Size];
    try {
        for (uint32_t i = 0; i < steps; ++i) {
            if (!ReadExact(at, entrySize, entry)) break;
            directory_.emplace(FoldedName(FieldName(entry)), at < dirEnd ? at : 0);
            const uint32_t next = GetLE32(entry + nextAt);
            if (next >= dirEnd || next == at || next == 0) break;
            at = next;
        }
    } catch (const std::bad_alloc&) {
        directory_.clear();  // no index: every lookup walks
        return;
    }
    indexedEntrySize_ = entrySize;
}

uint32_t Package::WalkDirectory(const char* name, uint32_t entrySize, uint32_t nextAt) const {
    if (name == nullptr) return 0;
    if (indexedEntrySize_ != 0 && entrySize == indexedEntrySize_) {
        try {
            const auto it = directory_.find(FoldedName(name));
            return it == directory_.end() ? 0 : it->second;
        } catch (const std::bad_alloc&) {
            // No memory for the folded name: walk as without an index.
        }
    }
    uint8_t header[vpd::kHeaderSize];
    if (Read(header, sizeof header, 0) != sizeof header) return 0;  // a short file has no entries
    uint32_t dirEnd = GetLE32(header + offsetof(vpd::FileHeader, directoryEnd));
    std::string_view wanted(name);
    // Entries lie below the directory end and wholly inside the file.
    uint32_t end = dirEnd < size_ ? dirEnd : size_;
    uint32_t steps = end > vpd::kFirstEntry ? (end - vpd::kFirstEntry) / entrySize + 1 : 1;
    uint32_t at = vpd::kFirstEntry;
    uint8_t entry[vpd::kEntry52Size];
    for (uint32_t i = 0; i < steps; ++i) {
        if (!ReadExact(at, entrySize, entry)) return 0;
        if (AsciiEqualNoCase(FieldName(entry), wanted)) return at < dirEnd ? at : 0;
        uint32_t next = GetLE32(entry + nextAt);
        if (next >= dirEnd || next == at || next == 0) return 0;
        at = next;
    }
    return 0;
}

bool Package::CheckDirectory(uint32_t entrySize, std::string* what) const {
    std::string ignored;
    std::string& out = what ? *what : ignored;
    const bool wide = entrySize == vpd::kEntry52Size;
    if (!wide && entrySize != vpd::kEntry40Size) {
        out = "layout: entries of " + std::to_string(entrySize) + " bytes";
        return false;
    }
    uint8_t header[vpd::kHeaderSize];
    if (Read(header, sizeof header, 0) != sizeof header) {
        out = "header: the file is shorter than its " + std::to_string(vpd::kHeaderSize) + "-byte header";
        return false;
    }
    const uint32_t dirEnd = GetLE32(header + offsetof(vpd::FileHeader, directoryEnd));
    if (dirEnd > size_) {
        out = "header: the directory end " + std::to_string(dirEnd) + " lies past the end of the file (" +
              std::to_string(size_) + " bytes)";
        return false;
    }
    // Where a nonzero offset must leave room for `length` bytes.
    auto fits = [this](uint32_t offset, uint64_t length) { return offset == 0 || InBounds(size_, offset, length); };
    const uint32_t nextAt = wide ? offsetof(vpd::Entry52, next) : offsetof(vpd::Entry40, next);
    const uint32_t firstAt = wide ? offsetof(vpd::Entry52, firstItem) : offsetof(vpd::Entry40, firstItem);
    const uint32_t infoSize = wide ? vpd::kInfo52Size : vpd::kInfo40Size;
    const uint32_t steps = dirEnd > vpd::kFirstEntry ? (dirEnd - vpd::kFirstEntry) / entrySize + 1 : 0;
    uint32_t at = vpd::kFirstEntry;
    uint8_t entry[vpd::kEntry52Size + vpd::kInfo52Size];
    for (uint32_t i = 0; i < steps && at < dirEnd; ++i) {
        const std::string where = "entry at " + std::to_string(at);
        if (!InBounds(size_, at, entrySize + infoSize)) {
            out = where + ": the entry runs past the end of the file (" + std::to_string(size_) + " bytes)";
            return false;
        }
        Read(entry, entrySize + infoSize, at);
        const std::string name(FieldName(entry));
        const std::string named = "entry \"" + name + "\"";
        const uint32_t first = GetLE32(entry + firstAt);
        if (!fits(first, vpd::kItemSize)) {
            out = named + ": its first item (at " + std::to_string(first) + ") lies past the end of the file (" +
                  std::to_string(size_) + " bytes)";
            return false;
        }
        if (wide) {
            const uint8_t* info = entry + vpd::kInfo52At;
            const int32_t count = static_cast<int32_t>(GetLE32(info + offsetof(vpd::Info52, count)));
            const uint32_t def = GetLE32(info + offsetof(vpd::Info52, defaultItem));
            const uint32_t index = GetLE32(info + offsetof(vpd::Info52, index));
            if (!fits(def, vpd::kItemSize)) {
                out = named + ": its default item (at " + std::to_string(def) +
                      ") lies past the end of the file (" + std::to_string(size_) + " bytes)";
                return false;
            }
            if (count > 0 && !fits(index, 4ull * static_cast<uint32_t>(count))) {
                out = named + ": its item index (" + std::to_string(count) + " positions at " +
                      std::to_string(index) + ") runs past the end of the file (" + std::to_string(size_) + " bytes)";
                return false;
            }
            for (int32_t k = 0; index != 0 && k < count; ++k) {
                uint32_t item = 0;
                Read32(index + 4 * static_cast<uint32_t>(k), &item);
                if (!fits(item, vpd::kItemSize)) {
                    out = named + ": position " + std::to_string(k) + " of its item index (at " +
                          std::to_string(item) + ") lies past the end of the file (" + std::to_string(size_) +
                          " bytes)";
                    return false;
                }
            }
        }
        const uint32_t next = GetLE32(entry + nextAt);
        if (next >= dirEnd || next == at || next == 0) break;
        at = next;
    }
    return true;
}

PackagePtr Package::OpenDirectory(const WCHAR* path, uint32_t entrySize, PackageOpenMode mode) {
    PackagePtr pkg = Open(path, mode);
    if (!pkg) return nullptr;
    std::string what;
    if (pkg->CheckDirectory(entrySize, &what)) {
        pkg->IndexDirectory(entrySize, entrySize == vpd::kEntry52Size ? offsetof(vpd::Entry52, next)
                                                                         : offsetof(vpd::Entry40, next));
        return pkg;
    }
    WString line = WL("NOVRIX_U: the package ");
    line += path;
    line += WL(" is damaged and is not used: ");
    line += WFromUtf8(what);
    line += WL("\n");
    OutputDebugStringW(line.c_str());
    pkg.reset();
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
}

uint32_t Package::FindEntry(const char* name) const {
    return WalkDirectory(name, vpd::kEntry52Size, offsetof(vpd::Entry52, next));
}

uint32_t Package::FindEntry40(const char* name) const {
    return WalkDirectory(name, vpd::kEntry40Size, offsetof(vpd::Entry40, next));
}

bool Package::GetEntry(const char* name, EntryInfo* out) const {
    uint32_t at = FindEntry(name);
    uint8_t e[vpd::kEntry52Size];
    if (at == 0 || out == nullptr || !ReadEntry(at, e)) return false;
    EntryInfo info;
    info.offset = at;
    info.firstItem = GetLE32(e + offsetof(vpd::Entry52, firstItem));
    info.flags = GetLE32(e + offsetof(vpd::Entry52, flags));
    uint8_t b[vpd::kInfo52Size];
    if (ReadInfo(OffsetAdd(at, vpd::kInfo52At), b)) {
        info.count = static_cast<int32_t>(GetLE32(b + offsetof(vpd::Info52, count)));
        info.defaultItem = GetLE32(b + offsetof(vpd::Info52, defaultItem));
        info.index = GetLE32(b + offsetof(vpd::Info52, index));
    }
    *out = info;
    return true;
}

bool Package::GetEntry40(const char* name, EntryInfo* out) const {
    uint32_t at = FindEntry40(name);
    uint8_t e[vpd::kEntry40Size];
    if (at == 0 || out == nullptr || !ReadExact(at, sizeof e, e)) return false;
    EntryInfo info;
    info.offset = at;
    info.firstItem = GetLE32(e + offsetof(vpd::Entry40, firstItem));
    uint8_t b[vpd::kInfo40Size];
    if (ReadExact(OffsetAdd(at, vpd::kEntry40Size), sizeof b, b)) {
        info.count = static_cast<int32_t>(GetLE32(b + offsetof(vpd::Info40, count)));
    }
    *out = info;
    return true;
}

bool Package::HasItem(uint32_t offset) const { return offset != 0 && InBounds(size_, offset, vpd::kItemSize); }

uint32_t Package::NextInChain(uint32_t item) const {
    uint32_t next = 0;
    return Read32(OffsetAdd(item, offsetof(vpd::Item, next)), &next) ? next : 0;
}

// No well-formed entry has more items than the file holds 16-byte records (or,
// for the index, 32-bit slots after the index offset).
uint32_t Package::ItemLimit(const EntryInfo& e, ItemOrder order) const {
    if (e.count <= 0) return 0;
    uint32_t limit = static_cast<uint32_t>(e.count);
    uint32_t cap = size_ / vpd::kItemSize;
    if (order == ItemOrder::Index) {
        if (e.index == 0 || e.index >= size_) return 0;
        cap = (size_ - e.index) / 4;
    }
    return limit < cap ? limit : cap;
}

bool Package::ReadDefaultName(const char* entry, char* dst, size_t size) const {
    EntryInfo e;
    vpd::Item item;
    if (dst == nullptr || size == 0 || !GetEntry(entry, &e) || !ReadItem(e.defaultItem, &item)) return false;
    char key[vpd::kMaxString + 1];
    if (!ReadKey(item.key, key, sizeof key)) return false;
    size_t len = std::strlen(key);
    if (len > size - 1) return false;  // the key and its terminator must fit
    std::memcpy(dst, key, len + 1);
    return true;
}

uint32_t KeyNumber(const char* key) {
    if (key == nullptr) return 0;
    while (*key != 0 && (*key < '0' || *key > '9')) ++key;
    uint64_t n = 0;
    for (; *key >= '0' && *key <= '9'; ++key) {
        n = n * 10 + static_cast<uint64_t>(*key - '0');
        if (n > UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<uint32_t>(n);
}

}  // namespace nvx::model
