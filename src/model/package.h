// The package reader: opens a model-data package (.VPD) and answers lookups in it.
//
// A package is read into memory once when opened (image mode); every lookup then
// walks the directory and item chains in that image without touching the file.
// When the image cannot be allocated (or the size cannot be queried) the reader
// falls back to reading through the open file (file mode), with the same answers.
//
// Malformed packages never crash, hang or read outside the file:
//  - every fixed-size structure (entry, information block, item, range block,
//    32-bit value, record) must lie wholly inside the file, else the read fails
//    and leaves its destination unchanged;
//  - strings end at their terminator, at the reader's limit or at the end of the
//    file, whichever comes first;
//  - a walk takes at most as many steps as the file could hold distinct records
//    (directory: (directory end - 8) / entry size + 1; items: file size / 16) and
//    stops at once on a link to itself or to offset 0, so links that point
//    backwards or into a cycle end the walk instead of looping;
//  - counts are trusted only as far as the file can back them.
//
// Names and keys compare without regard to ASCII letter case, over whole strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "common/text.h"
#include "model/vpd_format.h"

namespace nvx::model {

class Package;
using PackagePtr = std::unique_ptr<Package>;

enum class PackageOpenMode {
    Auto,      // image when it can be allocated, else file mode
    FileOnly,  // always read through the file (the fallback, selectable for tests)
};

// Where an entry's items are, as its directory entry and information block say.
struct EntryInfo {
    uint32_t offset = 0;       // directory entry
    uint32_t firstItem = 0;    // first record of the chain
    uint32_t flags = 0;        // 52-byte layout only
    int32_t count = 0;         // information block; 0 when it cannot be read
    uint32_t defaultItem = 0;  // 52-byte layout only
    uint32_t index = 0;        // 52-byte layout only
};

enum class ItemOrder { Chain, Index };

class Package {
public:
    // Opens a package file for reading with read sharing.  Null when the file
    // cannot be opened (the last error is CreateFileW's).
    static PackagePtr Open(const WCHAR* path, PackageOpenMode mode = PackageOpenMode::Auto);
    // Opens a directory-layout package (entrySize 52 or 40) as the module uses
    // it.  A package whose directory points past the end of the file (see
    // CheckDirectory) is damaged: one line on the debugger output names the file
    // and the entry, and the answer is null as for a missing package (last error
    // ERROR_INVALID_DATA).
    static PackagePtr OpenDirectory(const WCHAR* path, uint32_t entrySize,
                                    PackageOpenMode mode = PackageOpenMode::Auto);
    // A package over a private copy of `size` bytes (tests, fuzzing).  Null when
    // bytes is null with a nonzero size, or size does not fit 32 bits.
    static PackagePtr OpenImage(const void* bytes, size_t size);

    ~Package();  // closes the file and frees the image
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool ImageMode() const { return imageMode_; }
    uint32_t Size() const { return size_; }
    const WCHAR* Path() const { return path_; }

    // Copies min(length, size - offset) bytes; 0 at or beyond the end of the file;
    // -1 when a read of the file fails (file mode).
    int64_t Read(void* dst, uint32_t length, uint32_t offset) const;

    // Offset of the named 52-byte-layout entry, 0 when absent (or at or beyond
    // the directory end).
    uint32_t FindEntry(const char* name) const;
    // The same walk over the 40-byte layout.
    uint32_t FindEntry40(const char* name) const;

    // Fixed-size reads; each fails (destination unchanged) unless the structure
    // lies wholly inside the file and the offset is not 0.
    bool ReadEntry(uint32_t offset, void* dst52) const;
    bool ReadInfo(uint32_t offset, void* dst12) const;
    bool Read32(uint32_t offset, uint32_t* dst) const;
    bool ReadRecord(uint32_t offset, uint32_t length, void* dst) const;
    bool ReadItem(uint32_t offset, vpd::Item* dst) const;

    // Copies the ASCII key at offset with its terminator into dst (size bytes).
    // Fails, leaving dst unchanged, when the key is longer than 290 characters or
    // than size - 1, or for offset 0.
    bool ReadKey(uint32_t offset, char* dst, size_t size) const;
    // Copies the UTF-16 value at offset into dst (cap characters with the
    // terminator), cut at 290 characters and at cap - 1.  An empty (or absent)
    // value fails and leaves dst unchanged, so a built-in text stays in place.
    bool ReadValue(uint32_t offset, WCHAR* dst, size_t cap) const;
    // The range block at offset (entry + 64): dst[0] = +40 (maximum),
    // dst[1] = +36 (minimum), dst[2] = +44 (default).
    bool ReadRange(uint32_t offset, int32_t dst[3]) const;
    // The key of the named entry's default item, at most size - 1 characters.
    bool ReadDefaultName(const char* entry, char* dst, size_t size) const;

    // Whether the directory of a directory-layout package (entrySize 52 or 40)
    // stays inside the file: the header, the directory end, and for each entry
    // of the walk the entry itself, its information block and what that block
    // and the entry point at (first item, default item, the item index and its
    // positions).  An offset 0 points at nothing and is fine; a package that
    // merely lacks entries is fine.  On damage *what says where (the entry's
    // name, or "header") and why.  Item chains beyond the first item are not
    // followed: in some lists +12 holds a number, not a link.
    bool CheckDirectory(uint32_t entrySize, std::string* what) const;

    // Entry and information block of a named entry (52- or 40-byte layout).
    bool GetEntry(const char* name, EntryInfo* out) const;
    bool GetEntry40(const char* name, EntryInfo* out) const;

    // Calls fn(itemOffset) -> bool (false stops) for each usable item record of
    // the entry, in chain order (first item, then +12 links, `count` items) or in
    // index order (the item index; positions whose offset is 0 or outside the file
    // are skipped).  Bounded as described above.
    template <typename Fn>
    void ForEachItem(const EntryInfo& e, ItemOrder order, Fn&& fn) const {
        uint32_t limit = ItemLimit(e, order);
        uint32_t item = order == ItemOrder::Chain ? e.firstItem : 0;
        for (uint32_t i = 0; i < limit; ++i) {
            if (order == ItemOrder::Index) {
                uint32_t at = 0;
                if (!Read32(e.index + 4 * i, &at)) return;
                if (!HasItem(at)) continue;
                if (!fn(at)) return;
            } else {
                if (!HasItem(item)) return;
                if (!fn(item)) return;
                uint32_t next = NextInChain(item);
                if (next == item) return;
                item = next;
            }
        }
    }

private:
    Package() = default;
    bool Load(HANDLE file, const WCHAR* path, PackageOpenMode mode);
    bool HasItem(uint32_t offset) const;
    uint32_t NextInChain(uint32_t item) const;
    uint32_t ItemLimit(const EntryInfo& e, ItemOrder order) const;
    uint32_t WalkDirectory(const char* name, uint32_t entrySize, uint32_t nextAt) const;
    // Walks the directory once and keeps each name's answer of WalkDirectory, so
    // that later lookups of that layout cost one hash lookup instead of a walk.
    // Built while the package is opened, before anyone else can see it.
    void IndexDirectory(uint32_t entrySize, uint32_t nextAt);
    bool ReadExact(uint32_t offset, uint32_t length, void* dst) const;

    HANDLE file_ = nullptr;  // null for an image opened from memory
    // WalkDirectory's answers by upper-cased name for the entries of the indexed
    // layout (indexedEntrySize_, 0 while there is no index); absent names answer 0.
    std::unordered_map<std::string, uint32_t> directory_;
    uint32_t indexedEntrySize_ = 0;
    WCHAR path_[MAX_PATH] = {};
    uint8_t* image_ = nullptr;
    bool imageMode_ = true;
    uint32_t size_ = 0;
};

// a + b, or UINT32_MAX (an offset no read accepts) when that does not fit 32 bits.
inline uint32_t OffsetAdd(uint32_t a, uint64_t b) {
    uint64_t sum = a + b;
    return sum > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(sum);
}

// The first run of decimal digits in key as a number (saturating at UINT32_MAX);
// 0 when the key has no digit or is null.
uint32_t KeyNumber(const char* key);

// ---- List loaders ----
// Each answers true when the entry exists (and, for the keyed loads, the key was
// found) and leaves its destination unchanged when the entry is missing.

// A row of a control text table: control identifiers, display text and key.
struct ControlTextRow {
    DWORD ids[15];
    WCHAR text[64];
    char key[32];
};
static_assert(sizeof(ControlTextRow) == 220 && offsetof(ControlTextRow, text) == 60 &&
              offsetof(ControlTextRow, key) == 188);

// Copies each item's value into the text of the first row whose key equals the
// item's key (table ends at a row with an empty key); texts are cut to 63
// characters.  Items that match no row are skipped.
bool TextLoad(const Package& pkg, const char* entry, ControlTextRow* table);

// Whether the option text and reorder loads write display texts for a list kind:
// 1 to 61 except 3, 14, 30, 32, 40, 50 and 60, and 258 to 260.
bool OptionTextKindWrites(uint32_t kind);

// Option lists: rows of rowSize bytes with a 32-byte ASCII key at +4 (table ends
// at an empty key) and, in rows of at least 144 bytes, a 48-character display
// name at +48 (cut to 47 characters).  Rows under 36 bytes are refused.
bool OptionTextLoad(const Package& pkg, const char* entry, void* table, size_t rowSize, uint32_t kind);

// Rebuilds the table in the order of the entry's item index: n = min(rows,
// count); each listed key takes the first row with that key (and its text, as the
// option text load), unlisted rows disappear, and rows 0..n are rewritten with
// the matched rows followed by zeros.  With onlyIfFlagged and the entry's flag
// 0x100 clear nothing changes and the answer is false.
bool ReorderLoad(const Package& pkg, const char* entry, void* table, size_t rowSize, uint32_t kind,
                 bool onlyIfFlagged);

// Each item's value goes to slot KeyNumber(key) of `slots` slots of slotChars
// characters (cut to slotChars - 1); numbers of `slots` or more are ignored.
bool NumberedStringLoad(const Package& pkg, const char* entry, WCHAR* dest, size_t slotChars, size_t slots);

// Item i's value goes to dest + i * slotBytes, cut to its slot (the whole buffer
// when slotBytes is 0, so the last item's value remains); items whose slot does
// not fit in destBytes are skipped.
bool StringListLoad(const Package& pkg, const char* entry, void* dest, size_t destBytes, size_t slotBytes);

// The value of the first item of the chain whose key equals key.
bool KeyedValueLoad(const Package& pkg, const char* entry, const char* key, WCHAR* dest, size_t destChars);
// The same over the 40-byte layout (the "Version" entry of the command package).
bool KeyedValueLoad40(const Package& pkg, const char* entry, const char* key, WCHAR* dest, size_t destChars);

// Finds the entry and reads its range block (see Package::ReadRange).
bool RangeLoad(const Package& pkg, const char* entry, int32_t dst[3]);

}  // namespace nvx::model
