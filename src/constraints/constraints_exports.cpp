// The DoConstraints export: the constraint check for a page's dialog.
#include "constraints/engine.h"
#include "frame/exports.h"
#include "pages/page_identity.h"
#include "presets/printer_presets.h"
#include "settings/devoption.h"
#include "settings/printer_ui_context.h"
#include "settings/sheet_work.h"

namespace {

// The device options of the printer whose sheet is being checked, and its locked
// settings ("DD-FixSetting", the constraint engine's fixed settings): read from the
// printer's "DefaultDevOption" (else the model's defaults) when a sheet's check
// first needs them, and again at every whole-sheet check (each page activation),
// so that an option changed meanwhile is seen when a page is shown.
struct DeviceOptionCache {
    HANDLE printer = nullptr;
    bool loaded = false;
    BYTE record[nvx::settings::kDevOptionSize] = {};
};
DeviceOptionCache g_deviceOptions;

const BYTE* SheetDeviceOptions(const nvx::settings::PrinterUIContext* sheet, bool wholeSheet) {
    HANDLE printer = sheet ? nvx::settings::ContextPrinter(sheet) : nullptr;
    if (!printer) return nullptr;
    if (!g_deviceOptions.loaded || g_deviceOptions.printer != printer || wholeSheet) {
        nvx::settings::LoadDefaultDevOption(printer, g_deviceOptions.record);
        // The administrator's locked settings of the same printer.
        std::vector<nvx::constraints::FixedSetting> fixed;
        for (const nvx::presets::LockEntry& e : nvx::presets::ReadLockedSettings(printer)) {
            nvx::constraints::FixedSetting f{};
            e.feature.copy(f.feature, sizeof f.feature - 1);
            e.option.copy(f.option, sizeof f.option - 1);
            fixed.push_back(f);
        }
        nvx::constraints::SetFixedSettings(fixed);
        g_deviceOptions.printer = printer;
        g_deviceOptions.loaded = true;
    }
    return g_deviceOptions.record;
}

}  // namespace

// mode 0 runs a check and answers 199, 100 or 101; mode 1 (and any other mode)
// does nothing and answers 0.  The record is the sheet's, through the context in
// the dialog's DWLP_USER slot; a call without a dialog or context checks the record a host set (SetCheckRecord).
// The sheet gives the check its tray media and the printer's device options, and
// takes its changed-by-rule flag.
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
        const auto* sheet = reinterpret_cast<const nvx::settings::PrinterUIContext*>(GetWindowLongPtrW(ctx.dialog, DWLP_USER));
        ctx.sheet = sheet;
        ctx.page = pages::PageIdOf(ctx.dialog);
        ctx.record = sheet ? nvx::settings::ContextSettingsRecord(sheet) : nullptr;
        // The custom size dialog holds the width and length fields.
        ctx.customPaper = GetDlgItem(ctx.dialog, 1336) && GetDlgItem(ctx.dialog, 1337);
        // The media registered for the sheet's trays (the per-tray media values).
        nvx::settings::ContextTrayMedia(sheet, ctx.trayMedia);
        // The printer's installed options, for the rules' device-option conditions.
        ctx.deviceOptions = SheetDeviceOptions(sheet, controlId == 0);
    }
    if (!ctx.record) ctx.record = constraints::CheckRecordForHosts();
    const UINT_PTR result = constraints::RunCheck(ctx);
    // A number a rule wrote and the check showed: the page that asked reads the
    // sheet's flag to show the field in its own unit again.
    if (ctx.changedByRule) nvx::settings::WorkSet(ctx.sheet, settings::work::kChangedByRule, 1);
    return result;
}
