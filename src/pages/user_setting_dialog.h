// The user settings dialog of the type-2 configuration (132 for a model whose
// user settings are of kind 1, 224 for kind 2), opened by the host through
// Popup_UserSettingDlgT2: the secure-print ID and password and the box the job is
// kept in.  The choice goes into the settings record (secure-print ID 770, its
// password enciphered at 804 with its length at 966, box file name 968, box
// number 1030) and into the user's store for the printer.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

// The block of four pointers the host hands to Popup_UserSettingDlgT2.
struct UserSettingBlock {
    HANDLE* printer;   // the printer handle's address (null, or a null handle: the store is not written)
    OEMDEV* record;    // the settings record the dialog edits (required)
    BYTE* devOption;   // the device-option record (may be null)
    void* value;       // kept in the dialog's working area, not read
};

inline constexpr size_t kSecurePrintIdChars = 16;
inline constexpr size_t kBoxFileNameChars = 30;
inline constexpr size_t kBoxNumberChars = 16;

// What the user entered.  As in the authentication dialog, the stored password
// is never shown and only a typed one replaces it.
struct UserSettingInput {
    WString securePrintId;
    bool passwordTyped = false;
    WString password;
    WString boxFileName;
    WString boxNumber;
};

// Applies the input to the record.  A text longer than its field or holding a NUL
// is refused (TooLong, NulInside) and a password as SetPassword refuses it; on any
// refusal the record is left exactly as it was.  The fields that travel in OEMDEV
// only without "_DLG_USRSET_TYPE1" are written only then.
device::PasswordResult ApplyUserSettingInput(const device::PasswordCipher& cipher, const UserSettingInput& input,
                                             bool usrsetType1, OEMDEV* record);

// The template for the model's user-settings kind (1: 132, 2: 224), 0 for another kind.
UINT UserSettingTemplate(int32_t kind);

// Popup_UserSettingDlgT2: 0 when the type-2 configuration is off or the model's
// kind has no dialog; 5 when it cannot be shown (no block, no record, or its
// working area cannot be allocated); else the dialog's end code.
// Its owner is `owner`, else the active window.
UINT_PTR RunUserSetting(const UserSettingBlock* block, HWND owner = nullptr);

}  // namespace nvx::pages
