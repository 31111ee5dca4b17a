// The cover sheet dialog's entry point.
#include <cstring>
#include <memory>
#include <new>

#include "frame/exports.h"
#include "pages/fax_cover_sheet_dialog.h"

// (owner, printer name, driver name, may-apply answer, cover sheet record in/out,
// the job's settings record, the job's destination count and array, UI context):
// 1 when the dialog ended with OK and the record was copied back, 2 when it was
// cancelled (the record as it was), -1 when it could not be shown.
NVX_EXPORT UINT_PTR FaxCoverSheet_PopupDialog(HWND owner, const WCHAR* printerName, const WCHAR* driverName,
                                              UINT mayApply, void* record, void* devmode, UINT_PTR count,
                                              void* destinations, UINT_PTR context) {
    using namespace nvx::fax;
    if (!record) return static_cast<UINT_PTR>(-1);
    std::unique_ptr<CoverDialogBlock> block(new (std::nothrow) CoverDialogBlock{});
    if (!block) return static_cast<UINT_PTR>(-1);
    nvx::WCopy(block->printer, 260, printerName);
    nvx::WCopy(block->driver, 260, driverName);
    block->mayApply = mayApply;
    std::memcpy(&block->record, record, sizeof block->record);
    if (devmode) std::memcpy(block->devmode, devmode, sizeof block->devmode);
    block->destinationCount = static_cast<int32_t>(count);
    if (destinations && block->destinationCount > 0) {
        block->hasDestination = true;
        block->first = DetailsOfDestination(static_cast<const BYTE*>(destinations));
    }
    block->context = context;
    const INT_PTR answer = RunCoverSheetDialog(owner, block.get());
    if (answer == 1) std::memcpy(record, &block->record, sizeof block->record);
    return static_cast<UINT_PTR>(answer);
}
