// The stop-icon table: one row per stop or information icon control that a page
// may show beside a setting.  The constraint engine fills the has-message flag and
// the tooltip text of a row while a rule's icon holds; the page framework records
// each icon's rectangle, makes its tool window and draws it.
//
// Rows are built in: 205 icon controls and the zero row that ends the table.  The
// table is process-wide and, like the engine, used from the user-interface thread
// only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace nvx::constraints {

inline constexpr size_t kStopIconTextChars = 4096;

struct StopIconRow {            // one icon control
    RECT rect;                  // client rectangle on its page (StoreStopIconRectExp)
    uint32_t control;           // 0 ends the table
    uint32_t hasMessage;        // set by the engine while a rule's icon holds
    HWND tool;                  // the tooltip window CreateToolWnd made for it, or null
    WCHAR text[kStopIconTextChars];  // tooltip text the engine composed
    uint32_t iconIds[2];        // resource ids of the icon pair (e.g. 198/199)
    uint32_t flags;             // bit 0: the header line has been written
};

inline constexpr uint32_t kStopIconHeaderWritten = 1;

// Icon pairs of the table.
inline constexpr uint32_t kStopIconPair[2] = {198, 199};
inline constexpr uint32_t kInfoIconPair[2] = {202, 203};
inline constexpr uint32_t kAlertIconPair[2] = {403, 404};
inline constexpr uint32_t kNoticeIconPair[2] = {405, 406};

// Fixed icon controls of the Basic page and of the custom size dialog.
enum StopIconControl : uint32_t {
    kIconOrientation = 3601,
    kIconPaperSize = 3602,
    kIconOutPaperSize = 3603,
    kIconZoom = 3604,
    kIconInTray = 3605,
    kIconMediaType = 3606,
    kIconCopies = 3607,
    kIconCollate = 3608,
    kIconJobOffset = 3609,
    kIconOutputMethod = 3610,
    kIconPaperOption1 = 3611,
    kIconPaperOption2 = 3612,
    kIconUserPaperWidth = 3620,
    kIconUserPaperLength = 3621,
};

// The module's table (205 rows + the zero row), built in.  Never null.
StopIconRow* StopIconTable();
size_t StopIconCount();          // 205
StopIconRow* FindStopIcon(uint32_t control);  // null when the control has no row

// Clears the engine's part of every row (flag, flags word, text); rectangles and
// tool windows stay.
void ClearStopIconMessages();

}  // namespace nvx::constraints
