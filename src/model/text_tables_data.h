// The built-in control text tables as data: one definition per table, in the order
// of the text loads.  Only text_tables.cpp and its tests read this.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/package.h"
#include "model/text_tables.h"

namespace nvx::model::textdata {

// Which variant a table serves.
enum class Variant : uint8_t {
    None,
    UserSettingType1,  // "Dlg_UserSetting", loaded when the type-1 variant is on
    UserSettingType2,  // "Dlg_UserSetting", loaded otherwise
    ImageShiftPrn,     // loaded when the image-shift type-1 variant is on
    ImageShiftMfp,     // loaded otherwise
    ColorAdjust,       // one of the seven "Dlg_ColorAdjust" tables, all loaded
    Common,            // the common items' table
};

struct TableDef {
    const char* entry;           // package text entry
    uint32_t page;               // page or dialog number; 0 when it has none
    const WCHAR* caption;        // built-in caption (row 0) of a caption-only table
    const ControlTextRow* rows;  // full built-in rows with their terminator, or null
    size_t rowCount;             // rows including the terminator (0 with rows null)
    Variant variant;
};

extern const TableDef kTables[];
extern const size_t kTableCount;

// A text copied out of a table.
struct NamedTextDef {
    NamedText id;
    const char* entry;
    const char* key;
    size_t maxChars;  // with the terminator
};
extern const NamedTextDef kNamedTexts[static_cast<size_t>(NamedText::Count)];

}  // namespace nvx::model::textdata
