// Device answers from profile descriptions.
#include "block_writer.h"

#include <cstring>
#include <string>

#include "device/oapi.h"

namespace nvxo {

namespace o = nvx::oapi;

// ---- Layouts: field name -> place in the block ----

#define NVXO_LAYOUT(name, ...)                             \
    static const FieldSpec name##Fields[] = {__VA_ARGS__}; \
    const Layout name = {name##Fields, sizeof(name##Fields) / sizeof(name##Fields[0])};

NVXO_LAYOUT(kConfigurationLayout,
            {"port", o::kConfPort, FieldType::U16, 2, 1},
            {"flag", o::kConfFlag, FieldType::U8, 1, 1},
            {"refused", o::kConfRefused, FieldType::U8, 1, 1},
            {"generation", o::kConfGeneration, FieldType::U32, 4, 1},
            {"signOnData", o::kConfSignOnData, FieldType::Text, o::kConfSignOnDataSize, 1},
            {"cached", o::kConfCached, FieldType::Text, o::kConfCachedSize, 1},
            {"cachedHex", o::kConfCached, FieldType::Hex, o::kConfCachedSize, 1})
NVXO_LAYOUT(kCapabilityLayout,
            {"authenticationType", o::kCapAuthType, FieldType::Text, o::kCapAuthTypeSize, 1},
            {"accountTrackType", o::kCapAccountTrack, FieldType::Text, o::kCapAccountTrackSize, 1},
            {"publicUser", o::kCapPublicUser, FieldType::U8, 1, 1},
            {"updateCount", o::kCapUpdateCount, FieldType::U32, 4, 1})
NVXO_LAYOUT(kEncryptionLayout,
            {"keyKind", o::kEncKeyKind, FieldType::Text, o::kEncKeyKindSize, 1},
            {"passphrase", o::kEncPassphrase, FieldType::Text, o::kEncPassphraseSize, 1})
NVXO_LAYOUT(kAbbrConfigurationLayout,
            {"count", o::kAbbrConfCount, FieldType::U32, 4, 1},
            {"max", o::kAbbrConfMax, FieldType::U32, 4, 1})
NVXO_LAYOUT(kAbbrEntryLayout,
            {"number", o::kAbbrNumber, FieldType::U16, 2, 1},
            {"name", o::kAbbrName, FieldType::Text, o::kAbbrNameSize, 1},
            {"value100", o::kAbbrValue100, FieldType::U32, 4, 1},
            {"value108", o::kAbbrValue108, FieldType::U32, 4, 1},
            {"kind", o::kAbbrKind, FieldType::Text, o::kAbbrKindSize, 1},
            {"faxNumber", o::kAbbrFaxNumber, FieldType::Text, o::kAbbrFaxNumberSize, 1},
            {"byte208", o::kAbbrByte208, FieldType::U8, 1, 1},
            {"byte209", o::kAbbrByte209, FieldType::U8, 1, 1},
            {"text", o::kAbbrText, FieldType::Text, o::kAbbrTextSize, 1},
            {"bytes242", o::kAbbrBytes242, FieldType::Hex, o::kAbbrBytes242Size, 1})
NVXO_LAYOUT(kHeaderFooterEntryLayout,
            {"state", o::kHfState, FieldType::Text, o::kHfStateSize, 1},
            {"name", o::kHfName, FieldType::Text, o::kHfNameSize, 1},
            {"dateFormat", o::kHfDateFormat, FieldType::Text, o::kHfDateFormatSize, 1},
            {"timeFormat", o::kHfTimeFormat, FieldType::Text, o::kHfTimeFormatSize, 1},
            {"headerText", o::kHfHeaderText, FieldType::Text, o::kHfTextSize, 1},
            {"headerItems", o::kHfHeaderItems, FieldType::TextList, o::kHfItemSize, o::kHfItemCount},
            {"footerText", o::kHfFooterText, FieldType::Text, o::kHfTextSize, 1},
            {"footerItems", o::kHfFooterItems, FieldType::TextList, o::kHfItemSize, o::kHfItemCount})
NVXO_LAYOUT(kOverlayEntryLayout,
            {"number", o::kOvlNumber, FieldType::U32, 4, 1},
            {"name", o::kOvlName, FieldType::Text, o::kOvlNameSize, 1},
            {"paper", o::kOvlPaper, FieldType::Text, o::kOvlPaperSize, 1},
            {"colour", o::kOvlColour, FieldType::U32, 4, 1})
NVXO_LAYOUT(kTintBlockEntryLayout,
            {"number", o::kTintNumber, FieldType::U32, 4, 1},
            {"name", o::kTintName, FieldType::Text, o::kTintNameSize, 1})
NVXO_LAYOUT(kUserBoxEntryLayout,
            {"number", o::kBoxNumber, FieldType::U32, 4, 1},
            {"name", o::kBoxName, FieldType::Text, o::kBoxNameSize, 1})
NVXO_LAYOUT(kMiddleServerLayout,
            {"serverNumber", o::kMsServerNumber, FieldType::U32, 4, 1},
            {"serverName", o::kMsServerName, FieldType::Text, o::kMsServerNameSize, 1})
const Layout kNoLayout = {nullptr, 0};

#undef NVXO_LAYOUT

// ---- JSON helpers ----

const json* Member(const json* object, const char* key) {
    if (!object || !object->is_object()) return nullptr;
    auto it = object->find(key);
    return it == object->end() ? nullptr : &*it;
}

std::string TextOf(const json* value, const std::string& fallback) {
    return value && value->is_string() ? value->get<std::string>() : fallback;
}

uint64_t NumberOf(const json* value, uint64_t fallback) {
    if (!value) return fallback;
    if (value->is_number_unsigned()) return value->get<uint64_t>();
    if (value->is_number_integer()) {
        int64_t v = value->get<int64_t>();
        return v < 0 ? fallback : static_cast<uint64_t>(v);
    }
    if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
    return fallback;
}

namespace {

// Writes v little-endian into `width` bytes at `at`, when they fit.
void PutNumber(uint8_t* out, size_t size, size_t at, size_t width, uint64_t v) {
    if (at > size || width > size - at) return;
    for (size_t i = 0; i < width; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Writes a text into [at, at + width) with its terminator inside the field.
void PutText(uint8_t* out, size_t size, size_t at, size_t width, const std::string& text) {
    if (at >= size || width == 0) return;
    if (width > size - at) width = size - at;
    size_t n = text.size() < width - 1 ? text.size() : width - 1;
    std::memcpy(out + at, text.data(), n);
    out[at + n] = 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Writes hex digits (blanks ignored, a malformed pair ends the field) into [at, at + width).
void PutHex(uint8_t* out, size_t size, size_t at, size_t width, const std::string& hex) {
    if (at >= size) return;
    if (width > size - at) width = size - at;
    size_t n = 0;
    int high = -1;
    for (char c : hex) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':' || c == '-') continue;
        int d = HexDigit(c);
        if (d < 0 || n >= width) return;
        if (high < 0) {
            high = d;
        } else {
            out[at + n++] = static_cast<uint8_t>(high * 16 + d);
            high = -1;
        }
    }
}

void PutNamed(const FieldSpec& f, const json& v, uint8_t* out, size_t size) {
    switch (f.type) {
        case FieldType::U8:
        case FieldType::U16:
        case FieldType::U32: PutNumber(out, size, f.at, f.width, NumberOf(&v)); break;
        case FieldType::Text: PutText(out, size, f.at, f.width, TextOf(&v)); break;
        case FieldType::Hex: PutHex(out, size, f.at, f.width, TextOf(&v)); break;
        case FieldType::TextList:
            if (!v.is_array()) break;
            for (size_t i = 0; i < f.count && i < v.size(); ++i)
                PutText(out, size, f.at + i * f.width, f.width, TextOf(&v[i]));
            break;
    }
}

// {"at": n, "u8"|"u16"|"u32"|"u64": v} or {"at": n, "text"|"hex": v, "width": w}
void PutGeneric(const json& field, uint8_t* out, size_t size) {
    const json* at = Member(&field, "at");
    if (!at || !at->is_number_integer() || at->get<int64_t>() < 0) return;
    size_t offset = static_cast<size_t>(NumberOf(at));
    if (offset >= size) return;
    size_t width = static_cast<size_t>(NumberOf(Member(&field, "width"), size - offset));
    static constexpr struct { const char* key; size_t width; } kNumbers[] = {{"u8", 1}, {"u16", 2}, {"u32", 4}, {"u64", 8}};
    for (const auto& n : kNumbers) {
        if (const json* v = Member(&field, n.key)) PutNumber(out, size, offset, n.width, NumberOf(v));
    }
    if (const json* v = Member(&field, "text")) PutText(out, size, offset, width, TextOf(v));
    if (const json* v = Member(&field, "hex")) PutHex(out, size, offset, width, TextOf(v));
}

}  // namespace

void WriteRecord(const json* d, const Layout& layout, uint8_t* out, size_t size) {
    if (!d || !out || size == 0) return;
    if (d->is_string()) {
        PutText(out, size, 0, size, d->get<std::string>());
        return;
    }
    if (!d->is_object()) return;
    if (const json* hex = Member(d, "hex")) PutHex(out, size, 0, size, TextOf(hex));
    for (size_t i = 0; i < layout.count; ++i) {
        if (const json* v = Member(d, layout.fields[i].name)) PutNamed(layout.fields[i], *v, out, size);
    }
    if (const json* fields = Member(d, "fields"); fields && fields->is_array()) {
        for (const json& f : *fields) PutGeneric(f, out, size);
    }
}

size_t WriteList(const json* entries, const Layout& layout, size_t entrySize, size_t first, size_t maxEntries,
                 uint8_t* out, size_t size) {
    if (!out || size < o::kListHeaderSize || entrySize == 0) return 0;
    size_t room = (size - o::kListHeaderSize) / entrySize;
    size_t limit = maxEntries < room ? maxEntries : room;
    size_t written = 0;
    if (entries && entries->is_array()) {
        for (size_t i = first; i < entries->size() && written < limit; ++i, ++written) {
            WriteRecord(&(*entries)[i], layout, out + o::kListHeaderSize + written * entrySize, entrySize);
        }
    }
    PutNumber(out, size, 0, 4, written);
    return written;
}

}  // namespace nvxo
