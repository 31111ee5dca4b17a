// The DoConstraints export: the constraint check for a page's dialog.
#include "constraints/engine.h"
#include "frame/exports.h"
#include "pages/page_identity.h"
#include "pages/page_work.h"
#include "pages/printer_ui_context.h"

// mode 0 runs a check and answers 199, 100 or 101; mode 1 (and any other mode)
// does nothing and answers 0.  The record is the sheet's, through the context in
// the dialog's DWLP_USER slot; a call without a dialog or context checks the record a host set (SetCheckRecord).
// The sheet gives the check its tray media and takes its changed-by-rule flag.
NVX_EXPORT UINT_PTR DoConstraints(UINT mode, UINT_PTR dialog, UINT_PTR toolWindow, WORD controlId, UINT item,
                                  UINT_PTR) {
    if (mode != 0) return 0;
    using namespace nvx;
    constraints::CheckContext ctx;
    ctx.dialog = reinterpret_cast<HWND>(dialog);
    if (ctx.dialog && !IsWindow(ctx.dialog)) ctx.dialog = nullptr;
    ctx.toolWindow = reinterpret_cast<HWND>(toolWindow);
    ctx.control = controlId;
    ctx.deviceOption = static_cast<int32_t>(item);
    if (ctx.dialog) {
        const auto* sheet = reinterpret_cast<const pages::PrinterUIContext*>(GetWindowLongPtrW(ctx.dialog, DWLP_USER));
        ctx.sheet = sheet;
        ctx.page = pages::PageIdOf(ctx.dialog);
        ctx.record = sheet ? pages::ContextSettingsRecord(sheet) : nullptr;
        // The custom size dialog holds the width and length fields.
        ctx.customPaper = GetDlgItem(ctx.dialog, 1336) && GetDlgItem(ctx.dialog, 1337);
        // The media registered for the sheet's trays (the per-tray media values).
        pages::ContextTrayMedia(sheet, ctx.trayMedia);
    }
    if (!ctx.record) ctx.record = constraints::CheckRecordForHosts();
    const UINT_PTR result = constraints::RunCheck(ctx);
    // A number a rule wrote and the check showed: the page that asked reads the
    // sheet's flag to show the field in its own unit again.
    if (ctx.changedByRule) pages::WorkSet(ctx.sheet, pages::work::kChangedByRule, 1);
    return result;
}
