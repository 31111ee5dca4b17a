// List loaders: fill built-in tables from a package's entries by key or number.
#include <cstring>
#include <new>
#include <string_view>

#include "common/le.h"
#include "model/package.h"

namespace nvx::model {

namespace {

constexpr size_t kOptionKeyAt = 4;      // option rows: 32-byte ASCII key
constexpr size_t kOptionTextAt = 48;    // option rows: display name
constexpr size_t kOptionTextChars = 48;
constexpr size_t kOptionRowWithText = kOptionTextAt + 2 * kOptionTextChars;  // 144

using KeyBuffer = char[vpd::kMaxString + 1];

std::string_view RowKey(const uint8_t* row, size_t keyAt) {
    const char* s = reinterpret_cast<const char*>(row + keyAt);
    return std::string_view(s, strnlen(s, vpd::kNameField));
}

// The first row (of rowSize bytes, key at keyAt, table ending at an empty key)
// whose key equals key, or null.
uint8_t* FindRow(uint8_t* table, size_t rowSize, size_t keyAt, std::string_view key) {
    for (uint8_t* row = table; row[keyAt] != 0; row += rowSize) {
        if (AsciiEqualNoCase(RowKey(row, keyAt), key)) return row;
    }
    return nullptr;
}

// Reads the item at `at` and its key; false when either cannot be read.
bool ItemKey(const Package& pkg, uint32_t at, vpd::Item* item, KeyBuffer& key) {
    return pkg.ReadItem(at, item) && pkg.ReadKey(item->key, key, sizeof key);
}

// Writes the item's value into an option row's display name, through a local
// buffer because a row may sit at any byte offset.
void WriteOptionText(const Package& pkg, const vpd::Item& item, uint8_t* row, size_t rowSize) {
    if (rowSize < kOptionRowWithText) return;
    WCHAR text[kOptionTextChars];
    if (pkg.ReadValue(item.value, text, kOptionTextChars)) {
        std::memcpy(row + kOptionTextAt, text, (WLen(text) + 1) * sizeof(WCHAR));
    }
}

}  // namespace

bool TextLoad(const Package& pkg, const char* entry, ControlTextRow* table) {
    EntryInfo e;
    if (table == nullptr || !pkg.GetEntry(entry, &e)) return false;
    pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
        vpd::Item item;
        KeyBuffer key;
        if (!ItemKey(pkg, at, &item, key)) return true;
        for (ControlTextRow* row = table; row->key[0] != 0; ++row) {
            if (AsciiEqualNoCase(std::string_view(row->key, strnlen(row->key, sizeof row->key)), key)) {
                pkg.ReadValue(item.value, row->text, sizeof row->text / sizeof(WCHAR));
                break;
            }
        }
        return true;
    });
    return true;
}

bool OptionTextKindWrites(uint32_t kind) {
    if (kind >= 258 && kind <= 260) return true;
    if (kind < 1 || kind > 61) return false;
    switch (kind) {
    case 3: case 14: case 30: case 32: case 40: case 50: case 60: return false;
    default: return true;
    }
}

bool OptionTextLoad(const Package& pkg, const char* entry, void* table, size_t rowSize, uint32_t kind) {
    EntryInfo e;
    if (table == nullptr || rowSize < kOptionKeyAt + vpd::kNameField || !pkg.GetEntry(entry, &e)) return false;
    if (!OptionTextKindWrites(kind)) return true;
    auto* rows = static_cast<uint8_t*>(table);
    pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
        vpd::Item item;
        KeyBuffer key;
        if (!ItemKey(pkg, at, &item, key)) return true;
        if (uint8_t* row = FindRow(rows, rowSize, kOptionKeyAt, key)) WriteOptionText(pkg, item, row, rowSize);
        return true;
    });
    return true;
}

bool ReorderLoad(const Package& pkg, const char* entry, void* table, size_t rowSize, uint32_t kind,
                 bool onlyIfFlagged) {
    EntryInfo e;
    if (table == nullptr || rowSize < kOptionKeyAt + vpd::kNameField || !pkg.GetEntry(entry, &e)) return false;
    if (onlyIfFlagged && (e.flags & vpd::kFlagReorder) == 0) return false;
    auto* rows = static_cast<uint8_t*>(table);
    size_t count = 0;
    while (rows[count * rowSize + kOptionKeyAt] != 0) ++count;
    size_t listed = e.count > 0 ? static_cast<size_t>(e.count) : 0;
    size_t n = listed < count ? listed : count;
    auto* rebuilt = new (std::nothrow) uint8_t[(n + 1) * rowSize]();
    if (rebuilt == nullptr) return false;
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        uint32_t at = 0;
        if (!pkg.Read32(OffsetAdd(e.index, 4 * static_cast<uint64_t>(i)), &at)) break;
        vpd::Item item;
        KeyBuffer key;
        if (!ItemKey(pkg, at, &item, key)) continue;
        uint8_t* row = FindRow(rows, rowSize, kOptionKeyAt, key);
        if (row == nullptr) continue;
        uint8_t* dst = rebuilt + out * rowSize;
        std::memcpy(dst, row, rowSize);
        if (OptionTextKindWrites(kind)) WriteOptionText(pkg, item, dst, rowSize);
        ++out;
    }
    // Rows n + 1 and later are left as they were: row `out` ends the list.
    std::memcpy(rows, rebuilt, (n + 1) * rowSize);
    delete[] rebuilt;
    return true;
}

bool NumberedStringLoad(const Package& pkg, const char* entry, WCHAR* dest, size_t slotChars, size_t slots) {
    EntryInfo e;
    if (dest == nullptr || slotChars < 2 || !pkg.GetEntry(entry, &e)) return false;
    pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
        vpd::Item item;
        KeyBuffer key;
        if (!ItemKey(pkg, at, &item, key)) return true;
        uint32_t number = KeyNumber(key);
        if (number < slots) pkg.ReadValue(item.value, dest + static_cast<size_t>(number) * slotChars, slotChars);
        return true;
    });
    return true;
}

bool StringListLoad(const Package& pkg, const char* entry, void* dest, size_t destBytes, size_t slotBytes) {
    EntryInfo e;
    if (dest == nullptr || !pkg.GetEntry(entry, &e)) return false;
    size_t capChars = (slotBytes == 0 ? destBytes : slotBytes) / sizeof(WCHAR);
    if (capChars > vpd::kMaxString + 1) capChars = vpd::kMaxString + 1;
    size_t i = 0;
    pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
        size_t slot = i++ * slotBytes;
        if (capChars < 2 || slot > destBytes || capChars * sizeof(WCHAR) > destBytes - slot) return false;
        vpd::Item item;
        WCHAR text[vpd::kMaxString + 1];
        if (pkg.ReadItem(at, &item) && pkg.ReadValue(item.value, text, capChars)) {
            std::memcpy(static_cast<uint8_t*>(dest) + slot, text, (WLen(text) + 1) * sizeof(WCHAR));
        }
        return true;
    });
    return true;
}

namespace {

bool FindKeyedValue(const Package& pkg, const EntryInfo& e, const char* key, WCHAR* dest, size_t destChars) {
    bool found = false;
    pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
        vpd::Item item;
        KeyBuffer itemKey;
        if (!ItemKey(pkg, at, &item, itemKey) || !AsciiEqualNoCase(itemKey, key)) return true;
        pkg.ReadValue(item.value, dest, destChars);
        found = true;
        return false;
    });
    return found;
}

}  // namespace

bool KeyedValueLoad(const Package& pkg, const char* entry, const char* key, WCHAR* dest, size_t destChars) {
    EntryInfo e;
    if (key == nullptr || dest == nullptr || !pkg.GetEntry(entry, &e)) return false;
    return FindKeyedValue(pkg, e, key, dest, destChars);
}

bool KeyedValueLoad40(const Package& pkg, const char* entry, const char* key, WCHAR* dest, size_t destChars) {
    EntryInfo e;
    if (key == nullptr || dest == nullptr || !pkg.GetEntry40(entry, &e)) return false;
    return FindKeyedValue(pkg, e, key, dest, destChars);
}

bool RangeLoad(const Package& pkg, const char* entry, int32_t dst[3]) {
    uint32_t at = pkg.FindEntry(entry);
    return at != 0 && pkg.ReadRange(OffsetAdd(at, vpd::kRangeAt), dst);
}

}  // namespace nvx::model
