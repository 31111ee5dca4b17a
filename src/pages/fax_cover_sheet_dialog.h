// The fax cover sheet dialog (172): four tab pages (basic, recipient, sender,
// image) over a working copy of the cover sheet record, the named sets of the
// printer, and the set dialogs (save 173, edit 174).
#pragma once

#include <cstdint>

#include "fax/cover_sheet.h"
#include "platform/win32.h"

namespace nvx::fax {

// A job destination as the fax dialogs pass them: 652 bytes, the texts that the
// recipient details read at these unit offsets (81 units each).
inline constexpr size_t kDestinationBytes = 652;
inline constexpr size_t kDestinationName = 0, kDestinationFax = 81, kDestinationCompany = 162,
                        kDestinationDepartment = 243;
inline constexpr size_t kDestinationTextUnits = 81;

// The details of the destination at `entry` (652 bytes), each text cut at its
// end or at 80 characters.
RecipientDetails DetailsOfDestination(const BYTE* entry);

// What the dialog works on: copies of every argument.
struct CoverDialogBlock {
    WCHAR printer[260];
    WCHAR driver[260];
    uint32_t mayApply;
    CoverSheetRecord record;   // the working copy
    BYTE devmode[8344];        // the job's settings record, read only
    int32_t destinationCount;
    bool hasDestination;       // the first destination below was given
    RecipientDetails first;    // the first destination's details
    UINT_PTR context;
    uint64_t checkValue;       // handed to the cover-sheet check window
};

// Shows dialog 172 over block (modal, owner `owner`); answers the dialog's end
// code (1 OK, 2 Cancel, -1 when it could not be made).  block->record holds the
// edited record whatever the answer; the caller copies it back only on 1.
INT_PTR RunCoverSheetDialog(HWND owner, CoverDialogBlock* block);

}  // namespace nvx::fax
