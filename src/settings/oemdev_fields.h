// The field table of the settings record (OEMDEV): one row per field, the internal
// rows first, then the carried rows in the order the settings text writes them.
//
// Every other view of the record is derived from this table: the built-in template
// (the rows' defaults), the settings-text keys (the rows' names), the typed field
// access and the constraint engine's bindings.  No other list of offsets exists.
//
// A row is either one field or a numbered field: `count` elements of `size` bytes,
// `stride` bytes apart, whose name carries "%d" where the index goes
// ("PTInfoEach[%d].szKey").  The key "PTInfoEach[3].szKey" names element 3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nvx::settings {

inline constexpr uint32_t kOemDevSize = 8344;
inline constexpr uint32_t kOemDevSignature = 0x584C5053;  // the bytes "SPLX"
inline constexpr uint32_t kOemDevVersion = 1;
inline constexpr uint32_t kOemDevHeaderSize = 12;         // size, signature, version

// How a field is stored.  Numbers are little-endian; U32 reads back as a signed
// 32-bit number (the settings text writes it with "%d").  Ansi is zero-terminated
// text in the system code page in `size` bytes; Text is zero-terminated UTF-16 in
// size / 2 characters.
enum class FieldKind : uint8_t { U8, I8, U16, I16, U32, Ansi, Text };

// Whether the settings text carries the field (kExchanged) or only the record does
// (the header, the model identifier and the page description language name).
enum FieldUse : uint8_t { kInternal = 0, kExchanged = 1 };

struct FieldDef {
    const char* name;    // settings-text key, or an internal name for kInternal rows
    uint16_t offset;     // of element 0, from the record's first byte
    uint16_t size;       // bytes of one element
    uint8_t count;       // elements: 1 for a plain field
    uint8_t stride;      // bytes from one element to the next (0 for a plain field)
    FieldKind kind;
    FieldUse use;
    int32_t number;      // template default of a number field
    const char* text;    // template default of a text field (ASCII); null: empty
};

extern const FieldDef kOemDevFields[];
extern const size_t kOemDevFieldCount;

// One element of a row; a null def means "no such field".
struct FieldRef {
    const FieldDef* def = nullptr;
    uint32_t index = 0;

    explicit operator bool() const { return def != nullptr; }
    uint32_t Offset() const { return def ? def->offset + index * def->stride : 0; }
    uint32_t Size() const { return def ? def->size : 0; }
};

bool IsNumberKind(FieldKind kind);
// Capacity of a text field: bytes for Ansi, characters for Text; 0 for numbers.
size_t TextCapacity(const FieldDef& def);

// Finds a field by its name, exactly and case-sensitively.  A numbered field is
// named with its index in canonical decimal ("SubTTFontName[0]" .. "[26]"; no sign,
// no leading zeros), and the index must be below the row's count.  Null when the
// name matches no row.
FieldRef FindField(std::string_view name);
// The same, limited to the rows that the settings text carries.
FieldRef FindExchangeKey(std::string_view key);
// The row whose element covers byte `offset` of the record; null for bytes that no
// field covers (they are carried unchanged).
FieldRef FieldAtOffset(uint32_t offset);

// Every key the settings text carries, in writing order: the carried rows in table
// order; a numbered row of a plain array (stride == size) gives all its elements
// in turn, while consecutive numbered rows that share one element block (a
// structure repeated: stride > size, same count and stride) are written element
// by element ("PTInfoEach[0].szKey" .. "PTInfoEach[0].nPaperPrePunched",
// "PTInfoEach[1].szKey", ...).  Built once.
struct ExchangeItem {
    FieldRef field;
    std::string key;  // the row's name with the index in place of "%d"
};
const std::vector<ExchangeItem>& ExchangeOrder();

// Built-in contents of the font substitution table: the TrueType names of the
// first entries, their device-font counterparts, and the nine values of
// "SubTTFontNameNumber[0..8]".  The template builder writes them through the table.
inline constexpr const char* kTemplateTrueTypeFonts[] = {"Arial", "Courier New", "Times New Roman", "Symbol",
                                                         "Wingdings"};
inline constexpr const char* kTemplateDeviceFonts[] = {"Arial", "Courier", "TimesNewRmn", "Symbol", "Wingdings"};
inline constexpr int32_t kTemplateFontNumbers[] = {489, 726, 1405, 630, 938, 1383, 1624, 1169, 1410};

}  // namespace nvx::settings
