// The UI item table: every dialog control that shows a feature (or one option of a
// feature), tied to that feature, its option list, its related controls and the
// settings field that holds its value.
//
// The definition table (kUiItemDefs, 461 rows, ui_item_table.cpp) is constant.  At
// attach BuildUiItemTable makes one item per definition row that the model keeps,
// with the model's device options in place of the "OptionSetting" row, binds each
// item's option list and settings field, and records the rows that the tabs and
// the constraint engine address directly.  Tabs read the table; the constraint
// engine writes only the items' working state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "settings/oemdev_fields.h"

namespace nvx::features {

struct ModelRecord;
struct DeviceOptionTable;
class Catalogue;

inline constexpr size_t kUiIdSlots = 10;
inline constexpr size_t kUiNameBytes = 32;

// Control types of a definition row.
enum UiControlType : uint32_t {
    kUiDropDown = 1,
    kUiList = 2,        // list box or list view of named entries
    kUiRadio = 3,       // one row per option; the option name says which
    kUiNumeric = 4,     // numeric or text field with its spin control and unit label
    kUiCheck = 5,
    kUiButton = 6,      // opens a sub-dialog
    kUiPerPageColumn = 7,
    kUiTrayMedia = 8,   // the per-tray media list
};

// One definition row (built in).  Id lists end at the first 0.
struct UiItemDef {
    uint32_t dialogs[kUiIdSlots];
    uint32_t control;
    uint32_t type;
    char feature[kUiNameBytes];  // "" ends the table
    char option[kUiNameBytes];   // radio rows only
    uint32_t iconControl;        // 0: none
    uint32_t related[kUiIdSlots];
    uint32_t listSource;         // 0 in every row
};
static_assert(sizeof(UiItemDef) == 160 && offsetof(UiItemDef, control) == 40 && offsetof(UiItemDef, feature) == 48 &&
              offsetof(UiItemDef, option) == 80 && offsetof(UiItemDef, iconControl) == 112 &&
              offsetof(UiItemDef, related) == 116 && offsetof(UiItemDef, listSource) == 156);

inline constexpr size_t kUiItemDefCount = 461;
extern const UiItemDef kUiItemDefs[kUiItemDefCount + 1];

// Storage type codes of a bound settings field (the constraint engine's codes).
enum UiStorageType : uint32_t {
    kUiStoreNone = 0,  // unbound: the engine never reads or writes the item
    kUiStoreU32 = 1,
    kUiStoreU8 = 4,
    kUiStoreI16 = 5,
    kUiStoreU16 = 6,
    kUiStoreI8 = 9,    // signed bytes, and text fields read as their first byte
};
// The storage type code of a field kind.
uint32_t StorageTypeOf(settings::FieldKind kind);

// The constraint engine's per-item working state.
struct UiItemState {
    int32_t current = -1;          // current option index, -1 none
    uint32_t present = 0;          // the item is on the sheet being checked
    settings::FieldRef field;      // the settings field that holds the value, or none
    uint32_t storage = kUiStoreNone;
    int32_t pending = -1;          // value a change rule will write, -1 none
    uint32_t disabled = 0;
    uint32_t scratch[4] = {};
};

struct UiItem {
    uint32_t control = 0;
    uint32_t related[kUiIdSlots] = {};
    uint32_t iconControl = 0;      // 0 when the model switches the feature off
    uint32_t dialogs[kUiIdSlots] = {};
    uint32_t type = 0;
    WCHAR feature[kUiNameBytes] = {};  // widened with the ANSI code page
    WCHAR option[kUiNameBytes] = {};
    uint32_t deviceOption = 0;     // 1 for rows made from device options
    uint32_t listSource = 0;
    UiItemState state;
    uint8_t* options = nullptr;    // first option record of the item's list, or null

    bool OnDialog(uint32_t dialog) const;
};

// Row numbers of the items that the tabs and the engine address directly; -1
// when the model has no such item.
struct UiDirectRows {
    int paperSize = -1;
    int outPaperSize = -1;
    int resolution = -1;
    int stapleOp = -1;
    int holePunchOp = -1;
    int userPaperWidth = -1;
    int userPaperLength = -1;
    int outUserPaperWidth = -1;
    int outUserPaperLength = -1;
    int perPageListStaple = -1;     // only without the type-1 cover page
    int perPageListHolePunch = -1;  // likewise
    int colAdjSmoothing = -1;
    int headerFooter = -1;
};

struct UiItemTable {
    std::vector<UiItem> rows;  // count rows, then one zeroed row
    size_t count = 0;
    UiDirectRows direct;
    bool paperSizeTwice = false;  // the output-paper-size list holds "PaperSizeTwice"

    const UiItem* Row(int row) const;
    UiItem* Row(int row);
};

// The build variant facts the builder reads (frame/variant_switches.h names).
struct UiVariants {
    bool coverType1 = false;     // _PRP_COVER_TYPE1
    bool userSetType1 = false;   // _DLG_USRSET_TYPE1
    bool userSetType2 = false;   // _DLG_USRSET_TYPE2
    bool configType2 = false;    // _PRP_CONFIG_TYPE2
    bool qualityMfpMono = false; // _PRP_QUALTY_MFP_M
    bool qualityMfpColour = false;  // _PRP_QUALTY_MFP_C
    // This build's answers.
    static UiVariants OfBuild();
};

struct UiBuildInputs {
    const UiItemDef* defs = kUiItemDefs;           // ended by an empty feature name
    ModelRecord* record = nullptr;                 // null: no model lists, no switches
    const DeviceOptionTable* deviceOptions = nullptr;  // null: no device-option rows
    const Catalogue* catalogue = nullptr;          // null: the module's catalogue
    UiVariants variants = UiVariants::OfBuild();
};

// Builds the UI item table.  Answers null when memory runs out; the caller owns the
// table and releases it with FreeUiItemTable.
UiItemTable* BuildUiItemTable(const UiBuildInputs& in);
// Releases a table (null is fine).
void FreeUiItemTable(UiItemTable* table);

// The module's own table, built at attach and released at detach: null before,
// after, and when it could not be built.
UiItemTable* ModuleItems();
void BuildModuleItems(const UiBuildInputs& in);
void FreeModuleItems();

// Whether a definition row yields no item for this model.
bool UiItemLeftOut(const UiItemDef& def, const ModelRecord* record, const UiVariants& v);

// The row of the item with this feature name and, when option is not empty, this
// option name (radio rows); an empty option finds the feature's first row.  Exact,
// case-sensitive.  -1 when none (also for a null table).
int FindUiItem(const UiItemTable* table, WStringView feature, WStringView option = {});
int FindUiItem(const UiItemTable* table, std::string_view feature, std::string_view option = {});
// The first row (in table order) whose control is `control` and, when dialog is
// not 0, that the dialog holds.  -1 when none: row 0 is an item like any other.
int FindUiItemByControl(const UiItemTable* table, uint32_t control, uint32_t dialog = 0);

// The icon control the builder gives an item of this feature when its definition
// row has none (ui_item_icons.cpp); 0 when the feature shows no icon.
uint32_t BuiltInIconControl(std::string_view feature);

// The settings field name that holds a feature's value, or null for a feature
// that no field holds.  The names resolve in the settings field table.
const char* UiFieldNameOf(std::string_view feature);
// Every (feature, field name) pair of the binding table, for the checks.
struct UiFieldBinding {
    const char* feature;
    const char* field;
};
extern const UiFieldBinding kUiFieldBindings[];
extern const size_t kUiFieldBindingCount;
// Binds every item of the table to its settings field and storage type, by the
// item's feature name; items without a binding are left unbound.
void BindUiItemFields(UiItemTable& table);

}  // namespace nvx::features
