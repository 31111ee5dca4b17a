// The hint area of the pages (icon 1015, text 1016) and the hint table behind it:
// for each page identifier that has hints, the HintStr slots whose texts the page
// shows under its controls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "platform/win32.h"
#include "settings/printer_ui_context.h"

namespace nvx::pages {

inline constexpr size_t kHintRows = 39;
inline constexpr size_t kHintNumberBytes = 400;  // 32-bit message numbers, ending at 0
inline constexpr size_t kHintExtraBytes = 36;
inline constexpr size_t kHintTextChars = 2048;

// One row of the hint table; the buffers are allocated at attach.
struct HintRow {
    uint32_t page;          // 0 ends the table
    uint32_t enabled;
    uint32_t* numbers;      // kHintNumberBytes, HintStr slot numbers ending at 0
    uint32_t count;
    uint8_t* extra;         // kHintExtraBytes
};

// The built-in contents: page identifier and its HintStr slots (documented in
// docs/pages.md).
struct HintDef {
    uint32_t page;
    uint32_t numbers[8];    // ending at 0
};
extern const HintDef kHintDefs[kHintRows];

// Attach: allocates each row's buffers (zero-filled) and fills them from kHintDefs.
// Detach: frees them; each release clears its pointer.  Both may run twice.
void AllocateHintBuffers();
void FreeHintBuffers();
// The table (kHintRows rows and the zero row); buffers null before attach.
const HintRow* HintTable();
// The enabled row of a page identifier, or null.
const HintRow* FindHintRow(uint32_t page);

// The page identifier whose hints a page shows: the variant adjustments first
// (finisher, cover, other tab, configuration variants), then the pages that share
// another page's hints.  `ask` answers a variant switch (null: this build's
// table); `authKind` is the model's authentication kind.
using VariantAsker = unsigned (*)(const char* name);
uint32_t HintPageFor(uint32_t page, VariantAsker ask, int32_t authKind);

// The text of the page's hint area: the constraint messages of the page's stop
// icons, then the texts of the hint row's HintStr slots, joined by line breaks and
// cut to 2048 characters.  `hasRow` tells whether the hint row gave texts.
WString ComposeHintText(HWND dialog, uint32_t hintPage, bool* hasRow, WString* constraintText);

// Fills the hint area of a page (DispHintControl).
void ShowPageHints(HWND dialog, const settings::PrinterUIContext* ctx, uint32_t page);

}  // namespace nvx::pages
