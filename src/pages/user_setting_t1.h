// The user settings dialog of the type-1 variant ("_DLG_USRSET_TYPE1", template
// 225), opened by the Basic tab's User Settings button: who logs in (the public
// user or a user name and password; the department name and password), the
// secure-print ID and password, the box file name and number, and the job
// retention from the model's "JobRetention" list, with Verify.
//
// With this variant OEMDEV carries no secure-print ID and no box fields: the
// dialog keeps them in the user's store for the printer only.  Everything else
// goes into the settings record (and the store), passwords enciphered with the
// printer's cipher; the job retention choice is the record's output method
// (nOutputMethod).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

inline constexpr UINT kUserSettingT1Template = 225;

// What the user entered.  Passwords are never shown: each starts empty and only a
// typed one (its *Typed flag) replaces the stored one.
struct UserSettingT1Input {
    bool publicUser = true;
    WString userName;
    bool passwordTyped = false;
    WString password;
    WString department;
    bool departmentPasswordTyped = false;
    WString departmentPassword;
    WString securePrintId;
    bool securePrintPasswordTyped = false;
    WString securePrintPassword;
    WString boxFileName;
    WString boxNumber;
    std::optional<uint8_t> outputMethod;  // the job retention chosen; none: the record's stays
};

// Which entry a refusal is about.
enum class UserSettingT1Field {
    None, UserName, Password, Department, DepartmentPassword, SecurePrintId, SecurePrintPassword, BoxFileName, BoxNumber
};
struct UserSettingT1Result {
    device::PasswordResult result = device::PasswordResult::Stored;
    UserSettingT1Field field = UserSettingT1Field::None;
};

// Applies the input to the record (as the type-1 variant carries it) and gives the
// store-only fields (secure-print ID, box file name, box number) in *storeOnly.
// Every text is checked against its limit (80, 12, 16, 30, 16 characters; a NUL
// inside is refused as well) and every typed password as SetPassword checks it,
// before anything is written: on any refusal the record and *storeOnly are left
// exactly as they were and the answer names the entry.  Plain copies are wiped.
UserSettingT1Result ApplyUserSettingT1Input(const device::PasswordCipher& cipher, const UserSettingT1Input& input,
                                            OEMDEV* record, device::UserSettingsRecord* storeOnly);

// The message for a refusal (English, as the other logon dialogs word theirs).
std::string UserSettingT1RefusalText(const UserSettingT1Result& r);

// One entry of the job retention list: the option's display name and its value.
struct RetentionChoice {
    WString name;
    uint8_t value;
};
// The choices of a model list (null: none).  An option whose value does not fit
// the one-byte output method is left out rather than cut.
std::vector<RetentionChoice> RetentionChoices(const uint8_t* list);
// The index to select for the record's output method: the choice of that value,
// else the choice of the list's default value (none: no default), else 0; -1 for
// no choices.
int RetentionSelection(const std::vector<RetentionChoice>& choices, uint8_t outputMethod,
                       std::optional<int32_t> defaultValue);

// The block the Basic tab hands over (the sheet's own record).
struct UserSettingT1Block {
    HANDLE printer = nullptr;   // null: nothing is stored or verified, the store-only fields are disabled
    OEMDEV* record = nullptr;   // required
    BYTE* devOption = nullptr;  // may be null
};

// The dialog: IDOK, IDCANCEL, or 5 when it cannot be shown (no record, no memory).
UINT_PTR RunUserSettingT1(const UserSettingT1Block& block, HWND owner);

}  // namespace nvx::pages
