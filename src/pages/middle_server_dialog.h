// The middle server authentication dialog (188), opened by the host through
// Popup_MiddleServerAuthenticDlg when the device authenticates its users through
// a middle server: the public user, or a user name and password, which the Verify
// button checks with the device through the middle server.  The choice goes into
// the settings record (middle server mode 8076: 1 public user, 2 named user; the
// user name and the password enciphered with the printer's cipher; the middle
// server value 8080: the server number the login names) and into the user's store.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

// The block the host hands to Popup_MiddleServerAuthenticDlg: two values, a
// pointer to a value, a value.
struct MiddleServerBlock {
    HANDLE printer;    // the printer handle (null: the store is not written, nothing is verified)
    OEMDEV* record;    // the settings record the dialog edits (required)
    DWORD* verified;   // may be null: 1 when a verification in the dialog was accepted, else 0
    BYTE* devOption;   // the device-option record (may be null)
};

// What the user entered.  As in the user authentication dialog, the stored
// password is never shown and only a typed one replaces it.
struct MiddleServerInput {
    bool publicUser = false;
    WString userName;
    bool passwordTyped = false;
    WString password;
};

// Applies the input to the record: middle server mode, user name (at most 80
// characters), the password when typed, and the server number (0: the one the
// device names at the login).  On any refusal
// the record is left exactly as it was.  The plain password is not kept.
device::PasswordResult ApplyMiddleServerInput(const device::PasswordCipher& cipher, const MiddleServerInput& input,
                                              bool usrsetType1, uint32_t serverNumber, OEMDEV* record);

// The dialog: its end code (IDOK, IDCANCEL), 5 when it cannot be shown (no
// block, no record, or its working area cannot be allocated).
UINT_PTR RunMiddleServerAuthentication(const MiddleServerBlock* block, HWND owner = nullptr);

}  // namespace nvx::pages
