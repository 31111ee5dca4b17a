// Device-side entry points: the device events that fill the device information
// cache, the printer sheet's device refresh and the user settings security dialog.
#include <cstdint>

#include "device/acquisition.h"
#include "frame/exports.h"

using namespace nvx::device;

// A printer event: (printer handle, printer name, shared cache, settings record,
// device-option record).  0 success; the acquisition's code otherwise.
NVX_EXPORT UINT_PTR Bidi_PrnterEvent_Initialize(UINT_PTR printer, UINT_PTR printerName, UINT_PTR sharedCache,
                                                UINT_PTR, UINT_PTR devOption) {
    AcquisitionRequest request;
    request.printer = reinterpret_cast<HANDLE>(printer);
    request.printerName = reinterpret_cast<const WCHAR*>(printerName);
    request.shared = SharedCacheFrom(reinterpret_cast<void*>(sharedCache));
    request.devOption = reinterpret_cast<BYTE*>(devOption);
    request.path = AcquisitionPath::PrinterEvent;
    return RunAcquisition(request);
}

// Wakes the printer's device: (printer handle, printer name, caller value).  0
// when it ran, 16 when it did not (called again within 3 seconds).
NVX_EXPORT UINT_PTR Bidi_WakeOnCall(UINT* printer, UINT_PTR printerName, UINT_PTR) {
    return WakeOnCall(reinterpret_cast<HANDLE>(printer), reinterpret_cast<const WCHAR*>(printerName), GetTickCount());
}

// The document sheets open: (printer handle, printer name, shared cache,
// device-option record, the host's work record, settings record).
NVX_EXPORT UINT_PTR Bidi_DocumentPropertySheets_Init(UINT_PTR printer, UINT_PTR printerName, UINT_PTR sharedCache,
                                                     UINT_PTR devOption, UINT_PTR, UINT_PTR) {
    AcquisitionRequest request;
    request.printer = reinterpret_cast<HANDLE>(printer);
    request.printerName = reinterpret_cast<const WCHAR*>(printerName);
    request.shared = SharedCacheFrom(reinterpret_cast<void*>(sharedCache));
    request.devOption = reinterpret_cast<BYTE*>(devOption);
    request.path = AcquisitionPath::DocumentSheets;
    return RunAcquisition(request);
}

// The printer sheet asks for no device data when it opens: 0, whatever it is given.
NVX_EXPORT UINT_PTR Bidi_DevicePropertySheets_Init(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                                   UINT_PTR, UINT_PTR, UINT_PTR) {
    return 0;
}

// This model has no security page in its user settings: 5, and nothing is shown.
NVX_EXPORT UINT_PTR Popup_UserSettingSecurityDlg(UINT_PTR) {
    return 5;
}
