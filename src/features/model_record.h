// The model record: the model's switches, facts, numeric ranges and option lists,
// built from the main package at attach (the second step of the build order) and
// read-only afterwards.
//
// Package formats (docs/feature-catalogue.md gives them in full):
//  - "FeatureSetting": the switches (feature_settings.h).
//  - "MachineInfo": facts as keyed items whose value text is a decimal number
//    ("Multifunction", "Colour", "InchValues", ...; kMachineFacts).
//  - range entries ("Copies", "UserPaper_Width", ...): the range block (min, max, default).
//  - list entries: 28-byte items {key, name; +16 i32 value} for plain lists (144-byte
//    records in memory); paper items of 324 bytes, tray, media and resolution items
//    of 40 bytes (288-byte records in memory).  Items are taken in the entry's index
//    (display) order; the entry's default item gives the list's default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "features/feature_settings.h"
#include "features/option_record.h"

namespace nvx::model {
class Package;
struct ModelTables;
}  // namespace nvx::model

namespace nvx::features {

// How a list's items are read and laid out.
enum class ListKind : uint8_t {
    Plain,       // 28-byte items -> 144-byte records
    Paper,       // 324-byte items -> 288-byte records with PaperData
    Tray,        // 40-byte items -> 288-byte records with TrayData
    Media,       // 40-byte items -> 288-byte records with MediaData
    Resolution,  // 40-byte items -> 288-byte records with ResolutionData
    BitValues,   // 16-byte items; item i gets the value 1 << i (per-page paper sources)
    CoverSheet,  // "FcsCoverSize": size items plus "Count", "Order", "DefaultItem"
};

struct ModelListDef {
    const char* name;   // the list's name (what the UI items bind by)
    const char* entry;  // the package entry it is read from
    ListKind kind;
};
extern const ModelListDef kModelLists[];
extern const size_t kModelListCount;

// Package item sizes of the list kinds.
inline constexpr uint32_t kPlainItemSize = 28;
inline constexpr uint32_t kPaperItemSize = 324;
inline constexpr uint32_t kDeviceItemSize = 40;  // tray, media, resolution

struct ModelList {
    std::vector<uint8_t> records;  // empty when the entry is missing
    int defaultIndex = -1;         // index of the entry's default item, -1 when none
    bool present = false;

    uint8_t* Data() { return present ? records.data() : nullptr; }
    const uint8_t* Data() const { return present ? records.data() : nullptr; }
};

// Numeric ranges the model record keeps, in reading order.
extern const char* const kModelRanges[];
extern const size_t kModelRangeCount;

struct Range {
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t defaultValue = 0;
    bool present = false;
};

// Facts from "MachineInfo": name, default.
struct MachineFactDef {
    const char* key;
    int32_t defaultValue;
};
extern const MachineFactDef kMachineFacts[];
extern const size_t kMachineFactCount;
enum MachineFact : uint8_t {
    kFactMultifunction,   // 1: a multifunction device
    kFactColour,          // the model's colour field (0 monochrome)
    kFactInchValues,      // 1: the template carries 0.01-inch sizes
    kFactFinePrecision,   // 1: sizes shown to 0.1 mm and 0.001 inch
    kFactSharedOverlay,   // the shared-overlay switch
    kFactDestinationKind, // the destination switch (3: per-object destination lists)
    kFactPerPageCount,    // N of the per-page setting buffers
    kFactPerTrayMedia,    // the per-tray media switch
    kFactPaperFeedType,
    kFactMaxFeedLength,   // 0.1 mm
    kFactMinWidth,        // overall size limits, 0.1 mm
    kFactMinLength,
    kFactMaxWidth,
    kFactMaxLength,
    kFactFax,             // 1: the model sends faxes
    kFactDeviceApiVersion,   // the device API version in hundredths (350: 3.50); 0: no device API
    kFactWakeUpKind,         // how the device is woken: 0 not at all, 3 wake packet, other: the device API
    kFactConnectionKind,     // with kFactConnectionSubKind: 1 and 2 add bit 0x20000 to the option request
    kFactConnectionSubKind,
    kFactAltDeviceLibrary,   // 1: device information comes through the host's alternative acquisition
    kFactCount,
};

// The few texts the option-list step takes by key.
struct ListTexts {
    WCHAR overlayNone[64] = {};         // "Overlay" string list: the overlay list's "<None>"
    WCHAR previewPageNumber[64] = {};   // "DPE_PN_Preview" / "DPE_PN_Preview_PageNum"
    WCHAR customMediaSide2[64] = {};    // "connectionStr" / "CustomMedia_2nd", built-in "(Side2)"
};

struct ModelRecord {
    ModelSwitches switches;
    int32_t facts[kFactCount] = {};
    std::vector<Range> ranges;        // kModelRanges order
    std::vector<ModelList> lists;     // kModelLists order
    ListTexts texts;
    // The default of every template entry the package has, resolved at attach
    // (AdjustDefaultTemplate), whether or not a settings field takes it.
    std::vector<std::pair<std::string, int32_t>> packageDefaults;

    bool Multifunction() const { return facts[kFactMultifunction] != 0; }
    // The list of a name (exact), or null when the model has none.
    ModelList* List(std::string_view name);
    const ModelList* List(std::string_view name) const;
    // The records of a list, or null.
    uint8_t* ListData(std::string_view name);
    const Range* FindRange(std::string_view entry) const;
    // The resolved default of a template entry; false when the package had none.
    bool PackageDefault(std::string_view entry, int32_t* value) const;
};

// Step 2 of the build order: builds the model record into tables.record.  Resets
// the catalogue first (the build works on its built-in lists).  False, with the
// record left null, when the record cannot be built.
bool BuildModelRecord(const model::Package& pkg, model::ModelTables& tables);

// The pieces of the build, for tests and the later steps.
void ReadMachineFacts(const model::Package& pkg, int32_t facts[kFactCount]);
ModelList ReadModelList(const model::Package& pkg, const ModelListDef& def);
// The value of an entry's default item as an option value: the model list read
// from the entry, else the catalogue list of the entry's name (or name + "_op").
// False when neither has the default item's keyword.
bool DefaultOptionValue(const model::Package& pkg, const ModelRecord& record, const char* entry, int32_t* value);

// Releases what BuildModelRecord made (null is fine).
void FreeModelRecord(ModelRecord* record);

}  // namespace nvx::features
