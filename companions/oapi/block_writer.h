// Device answers from profile descriptions: one layout table per block kind maps
// readable field names to offsets, and a few generic forms give any byte.
//
// A record description is a JSON object whose members are, in the order applied:
//   "hex":    "0a0b..."  bytes from offset 0 (blanks allowed)
//   <name>:   value      a field named in the kind's layout
//   "fields": [ {"at": n, "u8"|"u16"|"u32"|"u64": v} |
//               {"at": n, "text"|"hex": v, "width": w} ]   any byte, any width
// A bare string describes a record holding that text from offset 0.  Nothing is
// ever written outside the block; texts are cut so that their terminator fits.
#pragma once

#include <cstddef>
#include <cstdint>

#include <nlohmann/json.hpp>

namespace nvxo {

using json = nlohmann::json;

enum class FieldType { U8, U16, U32, Text, Hex, TextList };

// One named field: offset, type, width in bytes (for TextList: of each of `count` texts).
struct FieldSpec {
    const char* name;
    size_t at;
    FieldType type;
    size_t width;
    size_t count;
};

struct Layout {
    const FieldSpec* fields;
    size_t count;
};

// The layouts of the device's blocks (see docs/device-api.md).
extern const Layout kConfigurationLayout;
extern const Layout kCapabilityLayout;
extern const Layout kEncryptionLayout;
extern const Layout kAbbrConfigurationLayout;
extern const Layout kAbbrEntryLayout;
extern const Layout kHeaderFooterEntryLayout;
extern const Layout kOverlayEntryLayout;
extern const Layout kTintBlockEntryLayout;
extern const Layout kUserBoxEntryLayout;
extern const Layout kMiddleServerLayout;
extern const Layout kNoLayout;

// Writes a record description into out[0, size) (over what is there: callers zero
// the block first).  A missing or null description writes nothing.
void WriteRecord(const json* description, const Layout& layout, uint8_t* out, size_t size);

// Writes a list answer into out[0, size): a u32 count, then entries
// [first, first + maxEntries) of the JSON array `entries`, each of entrySize bytes,
// as many as fit.  Answers the count written.
size_t WriteList(const json* entries, const Layout& layout, size_t entrySize, size_t first, size_t maxEntries,
                 uint8_t* out, size_t size);

// Helpers over JSON without exceptions: a member of an object (null when absent
// or not an object), a text (empty when not a string), an unsigned number
// (fallback when not a non-negative integer or a boolean).
const json* Member(const json* object, const char* key);
std::string TextOf(const json* value, const std::string& fallback = "");
uint64_t NumberOf(const json* value, uint64_t fallback = 0);

}  // namespace nvxo
