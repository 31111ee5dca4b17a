// The user's authentication and account track settings: the 1268-byte user
// settings record, its place in OEMDEV, the per-user store, and the passwords
// in it, which are only ever held enciphered with the printer's password cipher.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/text.h"
#include "device/password_cipher.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::device {

#pragma pack(push, 1)
struct UserSettingsRecord {
    uint8_t userType;
    uint8_t reserved0;
    WCHAR userName[81];            // at most 80 characters
    BYTE userPass[162];            // enciphered
    uint16_t userPassLength;
    WCHAR departmentName[13];      // at most 12 characters
    BYTE departmentPass[162];      // enciphered
    uint16_t departmentPassLength;
    uint16_t serverSetting;
    WCHAR securePrintId[17];
    BYTE securePrintPass[162];     // enciphered
    uint16_t securePrintPassLength;
    BYTE copyPass[146];            // enciphered
    uint16_t copyPassLength;
    uint8_t outputMethod;
    uint8_t reserved1;
    WCHAR boxFileName[31];
    WCHAR boxNumber[17];
    uint8_t middleServerMode;
    uint8_t singleSignOn;
    uint8_t reserved2[2];
    uint32_t middleServerValue;
    BYTE middleServerData[37];
    BYTE middleServerText[256];
    BYTE reserved3[3];
};
#pragma pack(pop)

static_assert(sizeof(UserSettingsRecord) == 1268);
static_assert(offsetof(UserSettingsRecord, userName) == 2);
static_assert(offsetof(UserSettingsRecord, userPass) == 164);
static_assert(offsetof(UserSettingsRecord, userPassLength) == 326);
static_assert(offsetof(UserSettingsRecord, departmentName) == 328);
static_assert(offsetof(UserSettingsRecord, departmentPass) == 354);
static_assert(offsetof(UserSettingsRecord, departmentPassLength) == 516);
static_assert(offsetof(UserSettingsRecord, serverSetting) == 518);
static_assert(offsetof(UserSettingsRecord, securePrintId) == 520);
static_assert(offsetof(UserSettingsRecord, securePrintPass) == 554);
static_assert(offsetof(UserSettingsRecord, securePrintPassLength) == 716);
static_assert(offsetof(UserSettingsRecord, copyPass) == 718);
static_assert(offsetof(UserSettingsRecord, copyPassLength) == 864);
static_assert(offsetof(UserSettingsRecord, outputMethod) == 866);
static_assert(offsetof(UserSettingsRecord, boxFileName) == 868);
static_assert(offsetof(UserSettingsRecord, boxNumber) == 930);
static_assert(offsetof(UserSettingsRecord, middleServerMode) == 964);
static_assert(offsetof(UserSettingsRecord, singleSignOn) == 965);
static_assert(offsetof(UserSettingsRecord, middleServerValue) == 968);
static_assert(offsetof(UserSettingsRecord, middleServerData) == 972);
static_assert(offsetof(UserSettingsRecord, middleServerText) == 1009);

// Where each field lives in OEMDEV.
namespace oemdev_user {
inline constexpr size_t kUserType = 7552, kUserName = 7554, kUserPass = 7716, kUserPassLength = 7878,
                        kDepartmentName = 7880, kDepartmentPass = 7906, kDepartmentPassLength = 8068,
                        kServerSetting = 1362, kSecurePrintId = 770, kSecurePrintPass = 804,
                        kSecurePrintPassLength = 966, kCopyPass = 3392, kCopyPassLength = 3538,
                        kOutputMethod = 635, kBoxFileName = 968, kBoxNumber = 1030, kMiddleServerMode = 8076,
                        kSingleSignOn = 8075, kMiddleServerValue = 8080, kMiddleServerData = 8084;
}

// Character limits of the typed texts.
inline constexpr size_t kUserNameChars = 80;
inline constexpr size_t kDepartmentNameChars = 12;
inline constexpr size_t kPasswordChars = 64;             // user and department passwords
inline constexpr size_t kSecurePrintPasswordChars = 145;

// Copies between the record and OEMDEV.  The secure-print ID, the box file name
// and the box number travel only when the variant "_DLG_USRSET_TYPE1" is off
// (usrsetType1 false).  A password length larger than its field is taken as no
// password (length 0, field zeroed): nothing is ever read past a field.
void CopyFromOemdev(const OEMDEV& dev, bool usrsetType1, UserSettingsRecord* rec);
void CopyToOemdev(const UserSettingsRecord& rec, bool usrsetType1, OEMDEV* dev);

// The passwords of the record.
enum class PasswordField { User, Department, SecurePrint, Copy };
struct PasswordSlot {
    BYTE* bytes;
    size_t capacity;
    uint16_t* length;
};
PasswordSlot SlotOf(UserSettingsRecord& rec, PasswordField field);
size_t CharLimitOf(PasswordField field);

enum class PasswordResult {
    Stored,          // enciphered into the field with its length
    TooLong,         // more characters than the field takes
    NotCodePage1252, // a character code page 1252 cannot hold
    NulInside,       // a NUL character inside the text
    CipherFailed,    // the cipher gave nothing: the field is empty, its length 0
};
// Converts typed text to code page 1252 and enciphers it into the field.  On
// any refusal the field keeps what it held, except CipherFailed, which leaves
// the field empty with length 0.  Every plain copy is wiped before returning.
PasswordResult SetPassword(const PasswordCipher& cipher, WStringView typed, PasswordField field,
                           UserSettingsRecord* rec);
// The same straight into OEMDEV's department password (the initial page).
PasswordResult SetDepartmentPassword(const PasswordCipher& cipher, WStringView typed, OEMDEV* dev);
// The plain narrow text of a stored password, for the device login only (never
// shown).  Nothing when the length exceeds the field or the bytes do not decipher.
std::optional<std::string> ReadPassword(const PasswordCipher& cipher, std::span<const BYTE> field, size_t length);
// The message for a refusal (English, for the command line).
const char* PasswordResultText(PasswordResult r);

// The per-user store: "\Authentication", "\AccountTrack", "\SecurePrint",
// "\OutputMethod", "\BoxFileName", "\BoxNumber", "\PassCopy" under the
// printer's user key.  Load starts the record from OEMDEV (its user type and
// middle server mode start at 1 when the model's check of the user settings
// failed, modelCheckPasses false), reads every value it can (a value that cannot
// be read, or is larger than its field, leaves the field as it was) and copies
// the record back into OEMDEV; Save copies from OEMDEV and writes every value.
// With "_DLG_USRSET_TYPE1" (usrsetType1) OEMDEV does not hold the secure-print
// ID and the box fields: Save leaves their stored values as they are.  Each
// answers false when any value failed but goes on with the rest.
bool LoadUserSettings(HANDLE printer, bool usrsetType1, OEMDEV* dev, bool modelCheckPasses = true);
bool SaveUserSettings(HANDLE printer, bool usrsetType1, const OEMDEV& dev);
// The fields OEMDEV does not carry with "_DLG_USRSET_TYPE1" (the secure-print
// ID, the box file name and the box number), which the type-1 dialog keeps in the
// store only: "ID", "BoxFileNameValue", "BoxNumberValue" written from `rec`.
// False when any of them failed (the others are still written).
bool SaveStoreOnlyFields(HANDLE printer, const UserSettingsRecord& rec);
// The middle server choice (middle server mode and server number), which the
// middle server dialog stores under "Middle Server Setting" ("UserType",
// "AuthType"); Load reads it when that key exists.
bool SaveMiddleServerChoice(HANDLE printer, const OEMDEV& dev);
// The record as stored (Load without OEMDEV): for readers that show it.
bool ReadStoredUserSettings(HANDLE printer, UserSettingsRecord* rec);

}  // namespace nvx::device
