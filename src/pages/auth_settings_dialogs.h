// The user authentication settings (158) and account track settings (160)
// dialogs that the initial page's Settings buttons open, and the Verify button
// they share with the user authentication dialog (2171): the entries checked,
// written into a copy of the settings record, verified with the device and the
// device's answer shown.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

struct AuthSettingsBlock {
    HANDLE printer = nullptr;  // null: nothing is stored or verified
    OEMDEV* record = nullptr;  // required
    BYTE* devOption = nullptr; // may be null
};

enum class AuthSettingsKind {
    User,          // 158: the public user, or a user name and password
    AccountTrack,  // 160: the department name and password
};

// The dialog: IDOK, IDCANCEL, or 5 when it cannot be shown (no record, no memory).
UINT_PTR RunAuthSettings(AuthSettingsKind kind, const AuthSettingsBlock& block, HWND owner);

// The department entries of the account track dialog.
struct AccountInput {
    WString department;
    bool passwordTyped = false;
    WString password;
};
// Applies them to the record: the department name (at most 12 characters, longer
// or with a NUL refused as TooLong) and, when typed, its password.  On any
// refusal the record is left exactly as it was.
device::PasswordResult ApplyAccountInput(const device::PasswordCipher& cipher, const AccountInput& input,
                                         bool usrsetType1, OEMDEV* record);

// What Verify needs before it asks the device.
struct VerifyEntries {
    bool userPart = false;       // user authentication applies (a named user)
    WString userName;
    bool userPassword = false;   // a password is typed or stored
    bool accountPart = false;    // account track applies
    WString department;
    bool departmentPassword = false;
};
enum class MissingEntry { None, UserName, UserPassword, DepartmentName, DepartmentPassword };
// The first entry that is missing: the user name when the user part applies, its
// password unless passwordOptional (the model asks none: "UserAuthentic_NoPassWord"),
// the department name and its password when the account part applies.
MissingEntry MissingForVerify(const VerifyEntries& entries, bool passwordOptional);
const char* MissingEntryText(MissingEntry missing);

// Whether the record holds a non-empty password in the field (typed now or
// stored before); the plain text is wiped at once.
bool HoldsPassword(const device::PasswordCipher& cipher, const OEMDEV& record, device::PasswordField field);

// Whether no user password is asked: the model's "UserAuthentic_NoPassWord" and
// the printer's device-option record together (device::NoPasswordAsked).
bool ModelAsksNoPassword(const BYTE* devOption);

// Verify with the device on `copy` (the entries already applied, user
// authentication and account track on as the dialog's parts say) and shows the
// answer in a message box (caption message 8, information icon; the message
// VerificationMessage picks).  Answers the device's code (1 without a connection).
DWORD VerifyAndShow(HWND owner, HANDLE printer, const OEMDEV& copy, BYTE* devOption);

}  // namespace nvx::pages
