// The sheet's watermarks: both lists and the display order, read from the stores
// the first time a page of the sheet asks for them and kept in the sheet's page
// work area until the sheet closes; written back when the user applies.
#pragma once

#include "settings/printer_ui_context.h"
#include "stamps/watermark_store.h"

namespace nvx::stamps {

// The sheet's lists, read from the sheet printer's stores on the first call.
// False (and an empty set) when the context has no work area.
bool SheetWatermarks(const settings::PrinterUIContext* ctx, WatermarkSet* out);
// Replaces the sheet's lists (cut to their capacities), for the next apply to save.
bool SetSheetWatermarks(const settings::PrinterUIContext* ctx, const WatermarkSet& set);
// Whether the sheet has read its lists.
bool SheetWatermarksLoaded(const settings::PrinterUIContext* ctx);

// On apply: when the sheet has read its lists, saves the shared list (when the
// user may administer the printer), the private list and the order.  A sheet that
// never read them writes nothing.  Answers the first failure of the private save,
// or ERROR_SUCCESS; a shared list the user may not write is left alone.
DWORD SaveSheetWatermarks(const settings::PrinterUIContext* ctx);

// The packed form the work area holds (count, records; count, records; count,
// entries), for tests.
inline constexpr size_t kSheetWatermarkBytes = 4 + kMaxSharedWatermarks * kWatermarkRecordBytes + 4 +
                                               kMaxPrivateWatermarks * kWatermarkRecordBytes + 4 +
                                               kMaxOrderEntries * kOrderRecordBytes;

}  // namespace nvx::stamps
