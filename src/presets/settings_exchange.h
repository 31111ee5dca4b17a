// What the settings text carries: the preset header, the settings record, the
// watermark lists and their order, and the checks a text passes before it is
// imported (docs/settings-text.md).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"
#include "presets/settings_text.h"
#include "settings/oemdev.h"
#include "stamps/watermark_store.h"

namespace nvx::presets {

enum class Direction { Write, Read };

// ---- The preset header: 792 bytes, packed, little-endian ----

inline constexpr uint32_t kEasySetMagic = 0x53454C56;  // the bytes "VLES"
inline constexpr uint32_t kEasySetFormatVersion = 1;
inline constexpr const WCHAR* kEasySetVersionString = WL("1.2.6");
inline constexpr const WCHAR* kEasySetSystem = WL("Windows NT x64");

// Content options: bytes 0 to 3 of the 8-byte field.
enum ContentOption : size_t {
    kIncludeResolution = 0,
    kIncludePaper = 1,
    kIncludeWatermarks = 2,
    kIncludeSharedWatermarks = 3,
};
using ContentOptions = std::array<BYTE, 8>;

struct EasySetHeader {
    uint32_t magic;
    uint32_t formatVersion;
    WCHAR name[32];
    WCHAR comment[256];
    WCHAR model[37];
    WCHAR version[16];
    WCHAR system[32];
    WCHAR language[8];
    BYTE contentOptions[8];
    uint16_t builtIn;
    uint16_t iconEnabled;
    uint16_t iconNumber;
    BYTE reserved[4];
    uint32_t dataLength;
};
static_assert(sizeof(EasySetHeader) == 792, "the preset header is 792 bytes");
static_assert(offsetof(EasySetHeader, formatVersion) == 4 && offsetof(EasySetHeader, name) == 8 &&
                  offsetof(EasySetHeader, comment) == 72 && offsetof(EasySetHeader, model) == 584 &&
                  offsetof(EasySetHeader, version) == 658 && offsetof(EasySetHeader, system) == 690 &&
                  offsetof(EasySetHeader, language) == 754 && offsetof(EasySetHeader, contentOptions) == 770 &&
                  offsetof(EasySetHeader, builtIn) == 778 && offsetof(EasySetHeader, iconEnabled) == 780 &&
                  offsetof(EasySetHeader, iconNumber) == 782 && offsetof(EasySetHeader, reserved) == 784 &&
                  offsetof(EasySetHeader, dataLength) == 788,
              "preset header offsets");

// The language code of a model language identifier: the name from the language
// table when it has one (the table is empty for now), else "%04x"; upper case.
WString LanguageCode(uint16_t languageId);

// The header sections "DriverInfo" and "EasySetName".  Writing puts model, version,
// versionnum, system, language, name and comment.  Reading sets the magic, then takes
// only the keys present; when fallbackName / fallbackComment are given and the text's
// name / comment is empty, the fallback is taken and *usedFallback is set.  False when
// a present key fails to convert (the other keys are still taken).
bool ExchangeHeader(Direction direction, SettingsDoc& doc, EasySetHeader& header, const WCHAR* fallbackName = nullptr,
                    const WCHAR* fallbackComment = nullptr, bool* usedFallback = nullptr);
// The reading half, on a document that stays as it is.
bool ReadHeader(const SettingsDoc& doc, EasySetHeader& header, const WCHAR* fallbackName = nullptr,
                const WCHAR* fallbackComment = nullptr, bool* usedFallback = nullptr);

// ---- The settings record (section "OEMDEV") ----

struct RecordExchangeRules {
    bool fullSetup = false;            // setup files: "nOutputMethod" instead of "bPassthruOff"
    ContentOptions options{};          // reading: the paper and resolution groups
    std::vector<std::string> lockedFeatures;  // "SelectColor" keeps "nColorMode"
    bool imageShiftType1 = false;      // _DLG_IMGSHIFT_TYPE1
    bool coverType1 = false;           // _PRP_COVER_TYPE1
    bool colorAdjustType1 = false;     // _DLG_CLRADJ_TYPE1
    bool colorAdjustOtherType2 = false;  // the model's second adjustment layout for other objects
    int copyProtectKind = 0;           // the model's copy-protect kind
    // The model's resolution table (horizontal, vertical, combined, bits per pixel);
    // empty: the record's resolution index stays as read.
    std::vector<std::array<int32_t, 4>> resolutions;

    // The switches as this build's variant table answers them.
    static RecordExchangeRules FromVariants();
};

// Writing puts every key the rules allow, in table order.  Reading applies each key
// present with a value; a key whose value does not convert or fit leaves its field
// unchanged and makes the answer false, the other keys still apply; their names are
// added to *failedKeys when given.
bool ExchangeRecord(Direction direction, SettingsDoc& doc, OEMDEV& record, const RecordExchangeRules& rules,
                    std::vector<std::string>* failedKeys = nullptr);

// Whether the key is carried under these rules (for tests and tools).
bool IsKeyExchanged(const settings::FieldDef& def, const RecordExchangeRules& rules);

// ---- Watermark lists and their order ----
//
// The records are kept raw, with the layouts of the watermark store
// (stamps/watermark_store.h): a watermark record is 449 bytes with the layout of
// the settings record's "WmkInfo." fields; an order record is 100 bytes: key
// (8-bit, 32 bytes), shared flag (u32 at 32), title (UTF-16, 32 characters at 36).
// The sizes, limits and offsets below are the store's own, not a second layout.

inline constexpr size_t kWatermarkRecordSize = stamps::kWatermarkRecordBytes;
inline constexpr size_t kWatermarkOrderSize = stamps::kOrderRecordBytes;
inline constexpr size_t kMaxSharedWatermarks = stamps::kMaxSharedWatermarks;
inline constexpr size_t kMaxPrivateWatermarks = stamps::kMaxPrivateWatermarks;
inline constexpr size_t kMaxWatermarkOrder = stamps::kMaxOrderEntries;
inline constexpr size_t kOrderKeyOffset = offsetof(stamps::WatermarkOrderRecord, szKey);
inline constexpr size_t kOrderKeySize = sizeof(stamps::WatermarkOrderRecord::szKey);
inline constexpr size_t kOrderPublicOffset = offsetof(stamps::WatermarkOrderRecord, bPublic);
inline constexpr size_t kOrderNameOffset = offsetof(stamps::WatermarkOrderRecord, szName);
inline constexpr size_t kOrderNameChars = sizeof(stamps::WatermarkOrderRecord::szName) / sizeof(WCHAR);
static_assert(kOrderNameOffset + kOrderNameChars * 2 == kWatermarkOrderSize, "order record layout");

using WatermarkRecord = std::array<BYTE, kWatermarkRecordSize>;
using WatermarkOrderRecord = std::array<BYTE, kWatermarkOrderSize>;

struct WatermarkLists {
    std::vector<WatermarkRecord> shared;   // at most 30
    std::vector<WatermarkRecord> personal; // at most 20
    std::vector<WatermarkOrderRecord> order;  // at most 50
};

// "Watermark_Public" (shared) or "Watermark_Private".  Reading happens only with
// IncludeWatermarks (and IncludeSharedWatermarks for the shared list); a section
// without "WMInfoCnt" leaves the list alone; otherwise the list is replaced by the
// records read (at most the list's limit).
bool ExchangeWatermarkList(Direction direction, bool shared, SettingsDoc& doc, std::vector<WatermarkRecord>& list,
                           const ContentOptions& options);
// "Watermark_Order", read only with IncludeWatermarks.
bool ExchangeWatermarkOrder(Direction direction, SettingsDoc& doc, std::vector<WatermarkOrderRecord>& order,
                            const ContentOptions& options);

// A whole preset text: header sections, the record (preset variant), the two lists
// and the order, in that order.
bool BuildPresetText(SettingsDoc& doc, EasySetHeader& header, OEMDEV& record, WatermarkLists& lists,
                     const RecordExchangeRules& rules);

// ---- Import checks ----

struct ImportEnvironment {
    WString driverName;    // the current driver's name (the printer's)
    WString language;      // LanguageCode of the model
    WString system = kEasySetSystem;
    std::vector<WString> personalPresetNames;  // listed per-user presets
};

// The outcome of the checks: message 0 accepts; 88 is a question (Yes accepts);
// every other number refuses.  args are the two texts the message is formatted with.
struct ImportVerdict {
    unsigned message = 0;
    WString args[2];
    bool question() const { return message == 88; }
};

// Runs the checks in their order: 89 (no header), 30 (empty name), 31 (a per-user
// preset of that name), 89 (format version or language), 256 (model), 87 (system),
// 88 (version, a question).  `doc` is null when the text could not be read.
ImportVerdict CheckImport(const SettingsDoc* doc, WStringView name, const ImportEnvironment& env);

}  // namespace nvx::presets
