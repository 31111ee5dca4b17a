// Fetching device information into the cache: the acquisition that the device
// events and the document sheets run, behind the busy window.
//
// Order: (1) choose the path (the host's alternative acquisition when the model
// says so); (2) read the device address through the host; (3) warm up the device
// API and ask the host for the device's option state; (4) when the model has a
// device API, ask the device (configuration, capability, then the cache values)
// and store its answers.  Step 4 stores nothing unless every answer it needs came
// back whole, so a device that fails half-way leaves the cache as it was.
//
// The host functions are the host driver UI's (NOVRIX_D.DLL); any may be missing.
// Their signatures, as this module calls them:
//   DWORD DDProc_GetPrinterIPAddress(const WCHAR* printer, BYTE* devOption, char* address, DWORD size,
//                                    DWORD* isNetworkPort)
//   DWORD DDProc_GetPrinterInfo_MIB2(const WCHAR* printer, BYTE* devOption, DWORD mask)
//   DWORD MIB_OptionRequest(const WCHAR* printer, BYTE* devOption, DWORD mask)    (the alternative path)
//   BOOL  DDProc_IsEnableBdcLib(const WCHAR* printer)
//   DWORD DDProc_SendWOL(const WCHAR* printer, const char* address)
#pragma once

#include <cstdint>

#include "device/device_info_cache.h"
#include "device/oapi_connection.h"

namespace nvx::device {

// Codes of the acquisition (0 success).
inline constexpr DWORD kAcqBadArguments = 1;
inline constexpr DWORD kAcqHostMissing = 2;
inline constexpr DWORD kAcqCannotOpenPrinter = 3;
inline constexpr DWORD kAcqNoAddress = 4;
inline constexpr DWORD kAcqAddressFromStatus = 9;  // not a network port, address given all the same
inline constexpr DWORD kAcqDeviceFailed = 16;

inline constexpr DWORD kOptionMaskSheets = 115575;
inline constexpr DWORD kOptionMaskPrinterEvent = 129911;
inline constexpr DWORD kOptionMaskConnectionBit = 0x20000;

inline constexpr UINT kBusyMessage = 543;
inline constexpr UINT kBusyAnimation = 11141;

enum class AcquisitionPath { PrinterEvent, DocumentSheets, DeviceOptionTab };

// What the model says about its device link.
struct DeviceLinkModel {
    double apiVersion = 0;       // 0: no device API
    uint32_t wakeUpKind = 0;
    uint32_t connectionKind = 0;
    uint32_t connectionSubKind = 0;
    bool alternativePath = false;
};
DeviceLinkModel ModelDeviceLink();

// The option request mask of a path for the model.
DWORD OptionRequestMask(AcquisitionPath path, const DeviceLinkModel& model);

// Step 4 alone: asks the device at address and stores its answers in cache.  The
// configuration and capability come from (and go to) the shared cache when one is
// given.  Answers 0, or kAcqDeviceFailed with nothing stored.  When everything came
// back and devOption is given, the capability is applied to its device-settings
// items (ApplyDeviceCapability); *itemsChanged (when given) says whether one changed.
DWORD FetchDeviceInfo(const char* address, double apiVersion, SharedCache* shared, const DeviceInfoCache& cache,
                      uint64_t now, BYTE* devOption = nullptr, bool* itemsChanged = nullptr);

struct AcquisitionRequest {
    HANDLE printer = nullptr;
    const WCHAR* printerName = nullptr;
    SharedCache* shared = nullptr;   // may be null
    BYTE* devOption = nullptr;       // null: the printer's "DefaultDevOption" is used
    AcquisitionPath path = AcquisitionPath::DocumentSheets;
    HWND owner = nullptr;            // the busy window's owner
    bool* itemsChanged = nullptr;    // may be null: set when the capability changed a device-settings item
};

// The printer's name (level 2) for a handle; empty when it cannot be read.
WString PrinterNameOf(HANDLE printer);

// The whole acquisition.  Answers 0 at once when the host library is not linked.
DWORD RunAcquisition(const AcquisitionRequest& request);

// The device option tab's acquisition, on the user's request.  Behind the busy
// window: the host's option request fills request.devOption (which the caller
// passes as a working copy: it takes it over its record only on 0); on a network
// port DDProc_GetPrinterInfo_MIB2 with the sheets' mask after DDProc_IsEnableBdcLib,
// on another port the host's USB functions (DDProc_IsSupportModel_USB, then
// DDProc_GetPrinterStatus_USB).  Then, when the model has a device API, a
// connection checks the configuration and capability and applies the capability
// to the record's device-settings items.  The device cache is neither read nor written.  Codes as RunAcquisition, and kAcqHostMissing when the host
// lacks a function of the chosen path or its status library.
DWORD RunDeviceOptionAcquisition(const AcquisitionRequest& request);

// Whether the tab's acquisition logs in with the settings record's credentials
// after converting the capability into the device-settings items.  Off in this
// build: the tab is given no settings record, and the login belongs to the
// job-start verification.
inline constexpr bool kTabLogsIn = false;

// Bidi_WakeOnCall: at most once per kWakeInterval milliseconds per printer.
inline constexpr DWORD kWakeInterval = 3000;
// Answers 0 when it ran, kAcqDeviceFailed when it did not (too soon, bad arguments).
DWORD WakeOnCall(HANDLE printer, const WCHAR* printerName, DWORD now);
// Forgets every printer's last wake-up (tests).
void ResetWakeTimes();

}  // namespace nvx::device
