// The build-order steps that fill the option lists from the main package, and the
// two mandatory tables built from lists: the device-option table and the
// list-relation table.  Each step is one function; model_tables.cpp calls them at
// their numbered place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "features/option_record.h"

namespace nvx::model {
class Package;
struct ModelTables;
}  // namespace nvx::model

namespace nvx::features {

struct ModelRecord;

// ---- Option texts and reorders (step 7) ----

// An option text load: the entry's item values become the display names of the
// list's options with the same keys.
struct OptionTextLoad {
    const char* entry;
    const char* list;   // catalogue row or built-in list
    uint32_t kind;      // the loader's list kind (1: names are written)
};
// The step-7 loads, 116 in all: every catalogue list of 144 bytes or more but the
// fax lists, by the entry of its name; then the entries whose name is not the
// list's, the model record's "_op" lists, OutputOrder, FtpECM and FtpV34.
std::vector<OptionTextLoad> OptionTextLoads();
// The eight reorder loads, in order; the last (FontDownload) only when the entry
// carries the reorder flag.
struct ReorderLoadDef {
    const char* entry;
    bool onlyIfFlagged;
};
extern const ReorderLoadDef kReorderLoads[8];

// Step 7: option text loads, the eight reorder loads, the overlay list's "<None>"
// text and the two texts taken by key.
void LoadOptionTexts(const model::Package& pkg, model::ModelTables& tables);

// ---- List refills (steps 9 and 14) ----

struct RefillKey {
    const char* key;
    int32_t value;
};
struct RefillDef {
    const char* entry;            // also the list's name
    size_t capacity;              // options at most
    const RefillKey* keys;        // null: the list's own built-in keywords and values
    size_t keyCount;
};
extern const RefillDef kNamedRefills[6];   // Overlay_Switch ... ChkBlankRatio_op
extern const char* const kColourRefills[]; // refilled with their built-in keys
extern const size_t kColourRefillCount;

// Empties list (storageBytes behind it) and refills it from the entry's items in
// index order: an item whose key (case-insensitive) is in keys becomes a 144-byte
// record {key, mapped value, icon 32515, the item's value as name}; other items,
// and the key dropKey when given, are skipped; at most capacity options (and never
// more than the storage holds with its terminator).  A missing entry leaves the
// list as it is and answers false.  An item without a text keeps the built-in name
// of the option with that key.
bool RefillList(const model::Package& pkg, const char* entry, uint8_t* list, size_t storageBytes,
                const std::vector<RefillKey>& keys, size_t capacity, const char* dropKey = nullptr);

// Step 9: the six named refills ("Ovl_Host_CreateShare" kept only when the model's
// shared-overlay switch is 1) and the colour lists.
void RefillLists(const model::Package& pkg, model::ModelTables& tables);
// Step 14: the three destination lists, when the model's destination switch is 3.
void LoadDestinationLists(const model::Package& pkg, model::ModelTables& tables);

// ---- Fax lists (step 11) ----

extern const char* const kFaxTextLoads[7];
void LoadFaxLists(const model::Package& pkg, model::ModelTables& tables);

// ---- Device-option table (step 10) ----

// One device option; the rows lie in an array, the last one zeroed.
struct DeviceOptionRow {
    uint32_t size;            // 152
    char key[32];             // the item key, ASCII
    uint32_t index;           // row number
    WCHAR name[48];           // the item value
    int32_t defaultValue;     // the item's +16
    uint32_t valueCount;
    uint8_t* values;          // option list (144-byte records), owned by the table
};
static_assert(sizeof(DeviceOptionRow) == 152 && offsetof(DeviceOptionRow, key) == 4 &&
              offsetof(DeviceOptionRow, index) == 36 && offsetof(DeviceOptionRow, name) == 40 &&
              offsetof(DeviceOptionRow, defaultValue) == 136 && offsetof(DeviceOptionRow, valueCount) == 140 &&
              offsetof(DeviceOptionRow, values) == 144);

inline constexpr size_t kDeviceOptionIndexSize = 64;
inline constexpr uint32_t kDeviceOptionItemSize = 28;

struct DeviceOptionTable {
    DeviceOptionRow* rows = nullptr;   // count + 1
    uint32_t count = 0;
    DeviceOptionRow* index[kDeviceOptionIndexSize] = {};
    uint32_t indexed = 0;              // min(count, 64)
    std::vector<std::vector<uint8_t>> valueLists;
    std::vector<uint8_t> keywordList;  // the DeviceOption row's list: key, value = row number

    ~DeviceOptionTable() { delete[] rows; }
    const DeviceOptionRow* Find(std::string_view key) const;
};

// Builds the table from "DeviceOption": each item of the entry's index (28-byte
// records: key, display name, +16 i32 default value) becomes a row; its value list
// is the plain list of the package entry named by the key, or {NotInstalled 0,
// Installed 1} when no such entry exists.  Null when the entry is missing or a
// value list cannot be built (an entry of the option's name without one usable item).
DeviceOptionTable* MakeDeviceOptionTable(const model::Package& pkg);
// Step 10: builds tables.deviceOptions (null on failure: attach then fails) and
// points the catalogue's DeviceOption row at the option keywords.
bool BuildDeviceOptionTable(const model::Package& pkg, model::ModelTables& tables);
// The device-option defaults (step 4): the default value of the option in row n
// goes to slot n of the device-option template (the first 240 options).
void WriteDeviceOptionDefaults(const model::Package& pkg);

// ---- List-relation table (step 16) ----

// A model list as the relation table lists it.
struct ModelListRef {
    const char* name;
    const uint8_t* records;
    uint32_t count;
    uint32_t recordSize;
};

// The 48-byte head and the arrays it points to.
struct ListRelationTable {
    uint32_t size;                   // 48
    uint32_t listCount;
    const ModelListRef* lists;       // every model list present
    uint32_t trayCount;              // input trays (InTray)
    uint32_t mediaCount;             // media types (MediaType)
    const uint8_t* trayMedia;        // trayCount x mediaCount: 1 when the tray takes the media type
    const int16_t* sourceTray;       // per PerPageListPaperSrc option: InTray index with that key, -1
    uint32_t sourceCount;
    uint32_t reserved;
};
static_assert(sizeof(ListRelationTable) == 48 && offsetof(ListRelationTable, lists) == 8 &&
              offsetof(ListRelationTable, trayMedia) == 24 && offsetof(ListRelationTable, sourceTray) == 32 &&
              offsetof(ListRelationTable, sourceCount) == 40);

// Builds the table from a model record.  Null when the record has no paper-size
// or no input-tray list (a model that cannot print) or memory runs out.
ListRelationTable* MakeListRelationTable(const ModelRecord& record);
// Whether tray t takes media type m (false outside the table).
bool TrayTakesMedia(const ListRelationTable& t, uint32_t tray, uint32_t media);
void FreeListRelationTable(ListRelationTable* table);
// Step 16.
bool BuildListRelationTable(model::ModelTables& tables);

// Releases the model record, the device-option table and the list-relation table
// (detach, or after a failed build).
void FreeCatalogueTables(model::ModelTables& tables);

}  // namespace nvx::features
