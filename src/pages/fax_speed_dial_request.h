// FPB_Request_Abbr: the device's fax speed dials for the phone book component,
// read while a fax transmission dialog is open.
//
// Order: the dialog's FaxSendToBlock gives the printer, the job's settings record
// and the device-option record; behind the busy window (message 543, animation
// 11141) a shared cache and a connection are opened with the model's device API
// version, the configuration and capability checked, the user logged in, the
// count asked (OAPIGetAbbrConfiguration, selector 0) and the pages read
// (fax/speed_dials.h); then connection and cache are closed and the kept entries
// converted into the caller's buffer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace nvx::pages {

inline constexpr unsigned kMsgDeviceLoginFailed = 441;
inline constexpr unsigned kMsgDeviceLoginCaption = 8;

// The credentials the speed-dial request logs in with (UTF-8, as the device
// takes them).  Wiped when it goes.
struct DeviceCredentials {
    std::string user, password, department, departmentPassword;
    DeviceCredentials() = default;
    DeviceCredentials(const DeviceCredentials&) = delete;
    DeviceCredentials& operator=(const DeviceCredentials&) = delete;
    ~DeviceCredentials();
};

// The credentials of a job: its settings record (may be null) with the user's
// stored authentication settings over it, passwords deciphered with the printer's
// password cipher.  A password that does not decipher is taken as empty.
void JobCredentials(HANDLE printer, const BYTE* settingsRecord, DeviceCredentials* out);

// Where the login window plugs in: when set, it is asked after the stored
// credentials were read and may change them (answer false: the user cancelled,
// the request ends as a failed login without a device login).  Null (the default):
// the stored credentials are used as they are.
using LoginPrompt = bool (*)(HWND owner, HANDLE printer, DeviceCredentials* credentials);
void SetSpeedDialLoginPrompt(LoginPrompt prompt);

// The export's work: 1 with the entries in `buffer` and their number in *count,
// else 0 with *count 0 (buffer as it was).
UINT_PTR RequestSpeedDials(HWND dialog, UINT_PTR passOn, BYTE* buffer, int* count);

}  // namespace nvx::pages
