// The module's per-sheet page state, kept in the sheet's page work area (the host
// block's room for the module, printer_ui_context.h).  Every page of one sheet
// sees the same state: the view state, the one-time setup mark, the validation
// flag while a page is being left, and so on.
//
// The work area is not pointer-aligned on every form, so each field is read and
// written with memcpy at a fixed offset.  A null work area (no context) reads as
// zero and ignores writes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"
#include "settings/printer_ui_context.h"

namespace nvx::settings {

// Offsets inside the page work area.
namespace work {
inline constexpr size_t kCustomPage = 0;        // pointer: the custom page's block ("VLMT"), null outside it
inline constexpr size_t kViewState = 8;         // u32 0/1, shared by the sheet's pages
inline constexpr size_t kSetupDone = 12;        // u32: the sheet's one-time page setup ran
inline constexpr size_t kPaperListsOwner = 16;  // u64: the page window that built the sheet's paper lists
inline constexpr size_t kValidating = 24;       // u32: set while PSN_KILLACTIVE validates
inline constexpr size_t kOrientationChange = 28;  // u32: an orientation change is being checked
inline constexpr size_t kOldOrientation = 32;   // u32: the orientation before that change
inline constexpr size_t kChecksSuspended = 36;  // u32: per-control checks are suspended
inline constexpr size_t kFirstPageState = 40;   // u32: the sheet's first-page state is built
inline constexpr size_t kChangedByRule = 44;    // u32: a constraint check showed a number a rule wrote
inline constexpr size_t kCustomPaperLoaded = 48;  // u32: the custom paper list below was read from the printer
inline constexpr size_t kCustomPaperList = 52;  // 964 bytes: the sheet's custom paper list (custom_paper_list.h)
inline constexpr size_t kWatermarksLoaded = 1016;  // u32: the watermark lists below were read from the stores
inline constexpr size_t kWatermarks = 1020;     // 27462 bytes: the sheet's watermark lists (watermark_sheet.h)
inline constexpr size_t kWatermarkBytes = 4 + 30 * 449 + 4 + 20 * 449 + 4 + 50 * 100;
inline constexpr size_t kPresets = 28488;       // pointer: the sheet's preset list (pages/preset_combo.h), null: none
inline constexpr size_t kPresetsOwner = 28496;  // u64: the page window that built it (and frees it)
inline constexpr size_t kUsedBytes = kPresetsOwner + 8;
static_assert(kWatermarks + kWatermarkBytes <= kPresets, "the preset fields follow the watermark lists");
}  // namespace work

// The magic a custom page's block starts with.
inline constexpr char kCustomPageMagic[4] = {'V', 'L', 'M', 'T'};

uint32_t WorkGet(const PrinterUIContext* ctx, size_t offset);
void WorkSet(const PrinterUIContext* ctx, size_t offset, uint32_t value);
uint64_t WorkGet64(const PrinterUIContext* ctx, size_t offset);
void WorkSet64(const PrinterUIContext* ctx, size_t offset, uint64_t value);

// Whether the page runs inside the custom page: its custom-page pointer designates
// a block that starts with "VLMT".
bool InCustomPage(const PrinterUIContext* ctx);
// Whether the custom-page pointer is set at all (the hint area stays empty then).
bool CustomPagePointerSet(const PrinterUIContext* ctx);

}  // namespace nvx::settings
