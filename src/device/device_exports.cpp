// Device-side entry points whose whole behaviour is fixed: the printer sheet's
// device refresh and the user settings security dialog.
#include "frame/exports.h"

// The printer sheet asks for no device data when it opens: 0, whatever it is given.
NVX_EXPORT UINT_PTR Bidi_DevicePropertySheets_Init(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                                   UINT_PTR, UINT_PTR, UINT_PTR) {
    return 0;
}

// This model has no security page in its user settings: 5, and nothing is shown.
NVX_EXPORT UINT_PTR Popup_UserSettingSecurityDlg(UINT_PTR) {
    return 5;
}
