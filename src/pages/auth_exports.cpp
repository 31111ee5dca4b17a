// The user authentication pop-up the host opens.
#include "frame/exports.h"
#include "pages/middle_server_dialog.h"
#include "pages/user_auth.h"
#include "pages/user_setting_dialog.h"

// (block of four pointers: the printer handle's address, the settings record, the
// device-option record, a value handed through).  The dialog's end code (1 OK, 2
// Cancel); 5 when it cannot be shown.
NVX_EXPORT UINT_PTR Popup_UserAuthenticDlg(UINT_PTR context) {
    return nvx::pages::RunUserAuthentication(reinterpret_cast<const nvx::pages::UserAuthBlock*>(context));
}

// (block of four pointers: the printer handle's address, the settings record, the
// device-option record, a value kept in the dialog's working area).  0 without the
// type-2 configuration or for a model whose user settings are of neither kind; 5
// when it cannot be shown; else the dialog's end code.
NVX_EXPORT UINT_PTR Popup_UserSettingDlgT2(UINT_PTR* context) {
    return nvx::pages::RunUserSetting(reinterpret_cast<const nvx::pages::UserSettingBlock*>(context));
}

// (block: the printer handle, the settings record, a pointer to a value that is
// set to 1 when a verification in the dialog was accepted, the device-option
// record).  The dialog's end code (1 OK, 2 Cancel); 5 when it cannot be shown.
NVX_EXPORT UINT_PTR Popup_MiddleServerAuthenticDlg(void* context) {
    return nvx::pages::RunMiddleServerAuthentication(static_cast<const nvx::pages::MiddleServerBlock*>(context));
}
