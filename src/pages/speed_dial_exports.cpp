// FPB_Request_Abbr: the device's fax speed dials for the phone book component.
#include "frame/exports.h"
#include "pages/fax_speed_dial_request.h"

// (fax transmission dialog, value passed on to the device login, output buffer
// of 236-byte entries, in: the most entries wanted, out: the entries delivered):
// 1 when the list was read, else 0 with no entry delivered.
NVX_EXPORT UINT_PTR FPB_Request_Abbr(void* dialog, UINT_PTR value, UINT* buffer, int* count) {
    return nvx::pages::RequestSpeedDials(static_cast<HWND>(dialog), value, reinterpret_cast<BYTE*>(buffer), count);
}
