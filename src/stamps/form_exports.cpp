// Export of the overlay forms: the check before a job prints.
#include "frame/exports.h"
#include "frame/module_state.h"
#include "settings/oemdev.h"
#include "stamps/form_file_dialog.h"
#include "stamps/form_store.h"

namespace {

// Resource strings of the check: caption, the two halves of the question asked
// when the chosen form is gone, and of the notice when a shared form is gone.
constexpr UINT kCaption = 8;
constexpr UINT kMissingText = 605;
constexpr UINT kMissingQuestion = 603;
constexpr UINT kSharedText = 442;
constexpr UINT kSharedText2 = 443;

int Show(UINT first, UINT second, UINT type) {
    HINSTANCE resources = nvx::frame::Module().dialogResources;
    WCHAR caption[256] = {}, a[512] = {}, b[512] = {};
    if (resources) {
        LoadStringW(resources, kCaption, caption, 256);
        LoadStringW(resources, first, a, 512);
        LoadStringW(resources, second, b, 512);
    }
    const nvx::WString text = nvx::WString(a) + b;
    return MessageBoxW(nullptr, text.c_str(), caption, type);
}

}  // namespace

namespace {
BOOL SystemFileDialog(OPENFILENAMEW* ofn, bool save) {
    return save ? GetSaveFileNameW(ofn) : GetOpenFileNameW(ofn);
}
}  // namespace

// The form file dialog: 1 with the chosen path in the block, 0 when cancelled or
// without a block (the block's layout: stamps/form_file_dialog.h).
NVX_EXPORT UINT_PTR GetFormFileName(UINT_PTR* request) {
    return nvx::stamps::RunFormFileDialog(reinterpret_cast<nvx::stamps::FormFileRequest*>(request), SystemFileDialog);
}

// (printer, device mode, settings record, printer information): 1 when the job may
// print, 0 to cancel.  The record is taken from the device mode when the third
// argument is null; without either, nothing is checked.  The settings are never changed.
NVX_EXPORT UINT_PTR CheckFormFile(UINT_PTR printer, UINT_PTR devmode, UINT_PTR record, UINT_PTR printerInfo) {
    (void)printerInfo;
    const OEMDEV* settings = reinterpret_cast<const OEMDEV*>(record);
    if (!settings && devmode) settings = nvx::settings::FindRecordInDevMode(reinterpret_cast<DEVMODEW*>(devmode));
    if (!settings) return 1;
    const nvx::stamps::OverlayModel model = nvx::stamps::CurrentOverlayModel();
    if (!nvx::stamps::OverlayPrintingOn(*settings, model)) return 1;
    const nvx::stamps::FormList list = nvx::stamps::LoadFormList(reinterpret_cast<HANDLE>(printer));
    switch (nvx::stamps::CheckChosenForms(*settings, model, list)) {
    case nvx::stamps::FormCheck::Go: return 1;
    case nvx::stamps::FormCheck::FormMissing:
        return Show(kMissingText, kMissingQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES ? 1 : 0;
    case nvx::stamps::FormCheck::SharedMissing:
        Show(kSharedText, kSharedText2, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    return 0;
}
