// The control text tables: one per page or dialog, built in with the default
// (English) texts and overwritten in place by the main package's text loads at
// attach.  A row names up to 15 controls (ending at the first 0; 0xFFFFFFFF marks
// a row that belongs to no control and carries a label or format looked up by
// key), a 64-character text and a 32-byte ASCII key.  A table ends at a row whose
// first identifier is 0 and whose key is empty.  Row 0 carries the caption of the
// page or dialog (key "Caption", identifier the page or dialog number).
//
// Variant tables: "Dlg_UserSetting" has a type-1 and a type-2 table; the text load
// fills the one the model's variant chooses, and TextTable("Dlg_UserSetting")
// answers that one.  "Dlg_ColorAdjust" has seven variant tables, all filled by the
// one entry; TextTable("Dlg_ColorAdjust") answers variant 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "model/package.h"

namespace nvx::model {

// The identifier of a row that belongs to no control.
inline constexpr DWORD kTextOnlyRow = 0xFFFFFFFF;
// The key of row 0, the caption row, in every table.
inline constexpr const char* kCaptionKey = "Caption";
// Preset names are at most 31 characters.
inline constexpr size_t kPresetNameChars = 32;
// Labels copied out of the tables are at most 63 characters.
inline constexpr size_t kNamedTextChars = 64;

// The table of a package text entry ("Property_0", "Dlg_UserPaper", ...), or null
// for an unknown name.
ControlTextRow* TextTable(const char* entry);
// The table a page or dialog applies: 100 "Property_0", 106 "Property_7", 151
// "Dlg_UserPaper", 161 "Property_13"; null for a page without a table.
ControlTextRow* PageTextTable(uint32_t page);
// The common items' table (row 0 lists the common controls and carries their text;
// rows 1..5 are skipped by the common-item replace and hold texts for lookup).
ControlTextRow* CommonTextTable();
// The type-1 (type1 true) or type-2 "Dlg_UserSetting" table.
ControlTextRow* UserSettingTextTable(bool type1);
// Variant 0..6 of the "Dlg_ColorAdjust" tables; null beyond.
ControlTextRow* ColorAdjustTextTable(unsigned variant);
inline constexpr unsigned kColorAdjustVariants = 7;

// The text of the first row keyed `key` (exact), or null when no row has that key
// (or table or key is null).
const WCHAR* TextByKey(const ControlTextRow* table, const char* key);
// The number of rows before the terminating row.
size_t TextTableRows(const ControlTextRow* table);

// The variant choices of the text loads.
struct TextLoadChoices {
    bool userSettingType1 = false;  // "Dlg_UserSetting" into the type-1 table
    bool imageShiftType1 = false;   // "Dlg_SetImgShiftPrn" (else "Dlg_SetImgShiftMFP")
};

// Texts copied out of the tables after their loads, for features that need them
// as fixed strings (the preset names are cut to 31 characters, the others to 63).
enum class NamedText : unsigned {
    PresetDefault,       // "Property_0" / "EasySetDefaults": the default preset's name
    PresetUntitled,      // "Property_0" / "EasySetUntitled": a new preset's name
    OverlayName,         // "Dlg_OverlayDelete" / "OvlDel_Name": "Overlay Name:"
    OverlayFile,         // "OvlDel_File": "File Name:"
    OverlayFolder,       // "OvlDel_Folder": "Folder:"
    OverlayPaper,        // "OvlDel_PaperSize": "Paper Size:"
    OverlayOrientation,  // "OvlDel_Orientation": "Orientation:"
    OverlayColor,        // "OvlDel_Color": "Color:"
    OverlayResolution,   // "OvlDel_Resolution": "Resolution:"
    OverlayPortrait,     // "OvlDel_Portrait": "Portrait"
    OverlayLandscape,    // "OvlDel_Landscape": "Landscape"
    OverlayGrayscale,    // "OvlDel_Grayscale": "Grayscale"
    OverlayColorValue,   // "OvlDel_ColorValue": "Color"
    OverlayDpi,          // "OvlDel_Dpi": "%u dpi"
    VersionCore,         // "Property_7" / "Version_Core": "Core"
    VersionSub,          // "Property_7" / "Version_Sub": "Sub"
    VersionData,         // "Property_7" / "Version_VPD": "Model data"
    Count
};
// The current text (the built-in one until a load, and again after a reset); ""
// for an identifier out of range.
const WCHAR* NamedTextOf(NamedText which);

// The entries of the text loads, in load order (variant entries included).
size_t TextEntryCount();
const char* TextEntryName(size_t i);

// The text loads of the build order over the open main package, in order, and the
// copies of the named texts after them.  Answers the number of entries the
// package had.
size_t LoadTextTables(const Package& pkg, const TextLoadChoices& choices);
// Every table and named text back to its built-in value (detach; a later attach in
// the same process starts from the built-in texts).
void ResetTextTables();

}  // namespace nvx::model
