// The user authentication dialog (2171), opened by the host through
// Popup_UserAuthenticDlg: public user or a named user with a password.  The
// choice goes into the settings record (user type 7552: 1 public user, 2 named
// user; the user name; the password enciphered with the printer's cipher) and
// into the user's store for the printer.
#pragma once

#include <cstdint>
#include <functional>

#include "common/text.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

// The block of four pointers the host hands to Popup_UserAuthenticDlg.
struct UserAuthBlock {
    HANDLE* printer;   // the printer handle (null, or a null handle: the store is not written)
    OEMDEV* record;    // the settings record the dialog edits (required)
    BYTE* devOption;   // the device-option record (may be null)
    void* reserved;    // handed through, not read
};

inline constexpr uint8_t kUserTypePublic = 1;
inline constexpr uint8_t kUserTypeNamed = 2;

// What the user entered.  The stored password is never shown: the password
// field starts empty, and only a typed password (passwordTyped) replaces it; a
// password field emptied after typing stores no password.
struct UserAuthInput {
    bool publicUser = true;
    WString userName;
    bool passwordTyped = false;
    WString password;
};

// The part every logon dialog shares: the user name (at most 80 characters,
// longer or holding a NUL is refused as TooLong) and, when typed, the password
// applied to a copy of the record's user settings; `mark` then sets the
// dialog's own fields on the copy before it is written back.  On any refusal
// the record is left exactly as it was; the copy is wiped.
device::PasswordResult ApplyLogonInput(const device::PasswordCipher& cipher, const WString& userName,
                                       bool passwordTyped, const WString& password, bool usrsetType1,
                                       const std::function<void(device::UserSettingsRecord&)>& mark, OEMDEV* record);

// Applies the input to the record: user type, user name (at most 80 characters,
// longer is refused as TooLong) and, when typed, the password.  On any refusal
// the record is left exactly as it was.  The plain password is not kept.
device::PasswordResult ApplyUserAuthInput(const device::PasswordCipher& cipher, const UserAuthInput& input,
                                          bool usrsetType1, OEMDEV* record);

// The dialog: its end code (IDOK, IDCANCEL), 5 when it cannot be shown (no
// block, no record, or its working area cannot be allocated).
// Its owner is `owner`, else the active window.
UINT_PTR RunUserAuthentication(const UserAuthBlock* block, HWND owner = nullptr);

}  // namespace nvx::pages
