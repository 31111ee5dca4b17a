// The option record: the one binary shape of an option, in the built-in lists of
// the feature catalogue and in the lists built from the model package.
//
// A list is a run of records laid back to back without alignment (a record starts
// where its predecessor's size ends, so 54- and 146-byte records leave later ones
// at odd addresses); it ends at a record whose keyword is empty.  Fields are read
// and written through the functions below, never by casting a pointer, so that no
// access assumes alignment.  The packed structs state and pin the layouts.
//
// Common header (every size):
//   +0  u32  record size, this field included
//   +4  char keyword[32], NUL-terminated ASCII; empty ends the list
//   +36 i32  value (what the settings record stores)
//   +40 u32  forbidden mark (0 stored; the constraint engine sets 1)
//   +44 u16  icon id, 32515
//   +46 u16  reserved
// Payload by size: 48 none; 54 i32 value repeat + u16 1; 144 display name (UTF-16,
// 48 characters); 146 name + u16 extra; 242 name + three char[32] implied keywords
// + u16 0; 288 name + model data (paper, tray, media or resolution; below).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace nvx::features {

inline constexpr uint32_t kSizeSwitch = 48;    // two-state switches and short lists
inline constexpr uint32_t kSizeDuplex = 54;    // DoubleSides
inline constexpr uint32_t kSizeNamed = 144;    // most multi-option lists
inline constexpr uint32_t kSizeNamedExtra = 146;
inline constexpr uint32_t kSizeProfile = 242;  // colour profile lists
inline constexpr uint32_t kSizeModel = 288;    // package-built paper, tray, media, resolution lists
inline constexpr uint16_t kWarningIcon = 32515;
inline constexpr size_t kKeywordBytes = 32;
inline constexpr size_t kNameChars = 48;

#pragma pack(push, 1)

struct OptionHeader {
    uint32_t size;
    char keyword[kKeywordBytes];
    int32_t value;
    uint32_t forbidden;
    uint16_t icon;
    uint16_t reserved;
};

struct DuplexOption {  // 54
    OptionHeader h;
    int32_t valueRepeat;
    uint16_t one;      // 1
};

struct NamedOption {  // 144
    OptionHeader h;
    uint16_t name[kNameChars];
};

struct NamedExtraOption {  // 146
    NamedOption n;
    uint16_t extra;    // N-up preview picture, device-side entry flag, else 0
};

struct ProfileOption {  // 242
    NamedOption n;
    char text[kKeywordBytes];      // per-object options the choice implies
    char image[kKeywordBytes];
    char graphics[kKeywordBytes];
    uint16_t zero;
};

// The 288-byte records of the package-built lists: name, then model data.
struct PaperData {       // PaperSize, OutPaperSize, TabPaperPaperSize
    int32_t width;       // 0.1 mm
    int32_t height;
    int32_t margins[4];  // left, top, right, bottom, 0.1 mm
    uint16_t countryCount;
    uint16_t countries[47];
    uint32_t flags;
    uint8_t reserved[20];
};
struct TrayData {        // InTray, ALL_InTray and the cover, separator and insert tray lists
    uint32_t kind;       // 0 tray, 1 manual feed, 2 large-capacity tray, 3 automatic
    uint32_t capacity;   // sheets
    uint32_t mediaMask;  // bit i: takes the media type at index i of the media list; 0: any
    uint32_t slot;       // per-tray media slot 1 ... 20, 0 none
    uint8_t reserved[128];
};
struct MediaData {       // MediaType
    int16_t weight;
    int16_t colour;
    uint8_t prePunched;
    uint8_t duplex;      // 1 when two-sided printing is allowed on it
    uint16_t reserved0;
    uint32_t paperType2;
    uint8_t reserved[132];
};
struct ResolutionData {  // Resolution
    int16_t horizontal;  // dots per inch
    int16_t vertical;
    int16_t diagonal;    // the record's nResoHV
    int16_t bitsPerPixel;
    uint32_t fax;        // 1 for a fax transmission resolution
    uint8_t reserved[132];
};
struct ModelOption {  // 288
    NamedOption n;
    union {
        PaperData paper;
        TrayData tray;
        MediaData media;
        ResolutionData resolution;
        uint8_t bytes[144];
    } data;
};

#pragma pack(pop)

static_assert(sizeof(OptionHeader) == kSizeSwitch);
static_assert(offsetof(OptionHeader, keyword) == 4 && offsetof(OptionHeader, value) == 36 &&
              offsetof(OptionHeader, forbidden) == 40 && offsetof(OptionHeader, icon) == 44 &&
              offsetof(OptionHeader, reserved) == 46);
static_assert(sizeof(DuplexOption) == kSizeDuplex && offsetof(DuplexOption, valueRepeat) == 48 &&
              offsetof(DuplexOption, one) == 52);
static_assert(sizeof(NamedOption) == kSizeNamed && offsetof(NamedOption, name) == 48);
static_assert(sizeof(NamedExtraOption) == kSizeNamedExtra && offsetof(NamedExtraOption, extra) == 144);
static_assert(sizeof(ProfileOption) == kSizeProfile && offsetof(ProfileOption, text) == 144 &&
              offsetof(ProfileOption, image) == 176 && offsetof(ProfileOption, graphics) == 208 &&
              offsetof(ProfileOption, zero) == 240);
static_assert(sizeof(ModelOption) == kSizeModel && offsetof(ModelOption, data) == 144);
static_assert(sizeof(PaperData) == 144 && offsetof(PaperData, margins) == 8 && offsetof(PaperData, countryCount) == 24 &&
              offsetof(PaperData, countries) == 26 && offsetof(PaperData, flags) == 120);
static_assert(sizeof(TrayData) == 144 && offsetof(TrayData, mediaMask) == 8 && offsetof(TrayData, slot) == 12);
static_assert(sizeof(MediaData) == 144 && offsetof(MediaData, prePunched) == 4 && offsetof(MediaData, paperType2) == 8);
static_assert(sizeof(ResolutionData) == 144 && offsetof(ResolutionData, bitsPerPixel) == 6 &&
              offsetof(ResolutionData, fax) == 8);

// Offsets of the model data inside a 288-byte record (record + 144 + field).
inline constexpr size_t kModelDataAt = offsetof(ModelOption, data);

// ---- Reading one record (rec points at its first byte) ----

uint32_t RecordSize(const uint8_t* rec);
std::string_view Keyword(const uint8_t* rec);  // up to the NUL or 31 characters
int32_t Value(const uint8_t* rec);
bool Forbidden(const uint8_t* rec);
void SetForbidden(uint8_t* rec, bool on);
uint16_t Icon(const uint8_t* rec);
// The display name of a record of 144 bytes or more; empty for shorter records.
WString DisplayName(const uint8_t* rec);
// The u16 after the name of a 146-byte record; 0 for other sizes.
uint16_t ExtraValue(const uint8_t* rec);
// Implied keyword 0 (text), 1 (image) or 2 (graphics) of a 242-byte record; empty otherwise.
std::string_view ImpliedKeyword(const uint8_t* rec, int which);

// ---- Walking one list (list points at its first record; null is an empty list) ----
//
// A walk stops at the empty keyword, and also at a record whose size is under 48
// (which could not hold the header and would never advance): such a record ends
// the list.

size_t ListCount(const uint8_t* list);
// Bytes of the list's records, the terminator included.
size_t ListBytes(const uint8_t* list);
// The record at index, or null.
const uint8_t* RecordAt(const uint8_t* list, size_t index);
uint8_t* RecordAt(uint8_t* list, size_t index);
// Index of the option with this keyword (exact match) or this value; -1 when absent.
int IndexOfKeyword(const uint8_t* list, std::string_view keyword);
int IndexOfValue(const uint8_t* list, int32_t value);
// The record with this keyword or value, or null.
const uint8_t* FindKeyword(const uint8_t* list, std::string_view keyword);
const uint8_t* FindValue(const uint8_t* list, int32_t value);
// The value at index.  Empty for a miss: a value of -1 (WM_ColorSetting) is a
// real value and cannot double as the miss.
std::optional<int32_t> ValueAt(const uint8_t* list, size_t index);
// The size of the list's first record (the stride the constraint engine uses), 0
// for an empty or null list.
uint32_t FirstRecordSize(const uint8_t* list);

// ---- Writing records ----

// Writes a record header: size, keyword (cut to 31 characters, rest zeroed), value,
// mark 0, icon 32515, reserved 0.  The caller owns `size` bytes at rec.
void WriteHeader(uint8_t* rec, uint32_t size, std::string_view keyword, int32_t value);
// Writes the display name of a record of at least 144 bytes (cut to 47
// characters, zero-padded).  Does nothing for shorter records.
void WriteDisplayName(uint8_t* rec, WStringView name);

// Builds a list in a byte vector: records appended back to back, then the terminator.
class OptionListBuilder {
public:
    // Appends a record of `size` bytes (48 or more) with the header written and the
    // payload zeroed; answers its first byte (valid until the next append).
    uint8_t* Add(uint32_t size, std::string_view keyword, int32_t value);
    // Appends the terminator (empty keyword, value 0) in the size of the first
    // record (48 for an empty list) and hands the bytes over.
    std::vector<uint8_t> Finish();
    size_t Count() const { return count_; }

private:
    std::vector<uint8_t> bytes_;
    size_t count_ = 0;
    uint32_t firstSize_ = 0;
};

}  // namespace nvx::features
