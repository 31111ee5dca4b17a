// The user authentication pop-up the host opens.
#include "frame/exports.h"
#include "pages/user_auth.h"

// (block of four pointers: the printer handle's address, the settings record, the
// device-option record, a value handed through).  The dialog's end code (1 OK, 2
// Cancel); 5 when it cannot be shown.
NVX_EXPORT UINT_PTR Popup_UserAuthenticDlg(UINT_PTR context) {
    return nvx::pages::RunUserAuthentication(reinterpret_cast<const nvx::pages::UserAuthBlock*>(context));
}
