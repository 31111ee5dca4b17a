// Settings transfer for setup programs: a printer's whole configuration as a setup
// file (a settings text), the checks a setup file passes, and the lock file that
// fixes chosen settings (docs/setup-transfer.md).  Nothing here touches a printer;
// setup_exports.cpp reads and stores the printer's data around it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <string>
#include <vector>

#include "common/text.h"
#include "presets/settings_exchange.h"
#include "presets/settings_text.h"
#include "device/password_cipher.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"

namespace nvx::presets {

// The answer of every transfer: 0 success, else the first failure.
enum SetupCode : uint32_t {
    kSetupOk = 0,
    kSetupCannotOpenPrinter = 1,
    kSetupNoDocumentSettings = 2,
    kSetupCannotStoreDocumentSettings = 3,
    kSetupCannotReadDeviceOptions = 4,
    kSetupCannotStoreDeviceOptions = 5,
    kSetupOutOfMemory = 6,
    kSetupCannotReadFile = 7,
    kSetupCannotWriteFile = 8,
    kSetupCannotStoreDefault = 9,
    kSetupOtherModel = 10,
    kSetupOtherLanguage = 11,
    kSetupFormatVersion = 13,
    kSetupBadPersonalValue = 14,
    kSetupCannotStoreLocks = 15,
};

// The header name every setup file carries.
inline constexpr const WCHAR* kSetupHeaderName = WL("DD-SETTING");

// What a setup file carries from a printer.
struct SetupContent {
    OEMDEV record{};
    std::vector<BYTE> devOption = std::vector<BYTE>(settings::kDevOptionSize);
    WatermarkLists lists;
    uint32_t excelJobCtrl = 0;
    uint32_t authUseEngine = 0;
};

// The facts of the printer the text is made for or applied to.
struct SetupFacts {
    WString driverName;     // the header's model
    WString language;       // LanguageCode of the model
    RecordExchangeRules rules;  // fullSetup is set by the functions below
    uint32_t optionCount = 0;   // rows of the model's device-option table (at most 240)
    bool otherTab = false;      // the variant switch OTHERTAB_ENABLE
};

// Builds the setup text: the header (name "DD-SETTING", empty comment, the facts'
// model, "1.2.6", the system and language, the content options), "OEMDEV" in its
// setup variant, "ExcelJobCtrl" and "AuthUseEngine" (with otherTab), the watermark
// lists and their order, and "DeviceOption".  False when a section cannot be written.
bool BuildSetupText(SettingsDoc& doc, const SetupFacts& facts, SetupContent& content);

// The header checks of an import: format version 1 (else 13), the model equal to
// the driver name (else 10), the language equal ignoring case (else 11); version
// and system are not compared.  A text without the header fails as 13.
uint32_t CheckSetupHeader(const SettingsDoc& doc, const SetupFacts& facts);

// Applies a setup text to content: the record (paper and resolution included; a
// locked colour mode stays), the watermark lists and order (every content option
// set), the two extra values, the device options.  Afterwards the record's
// "bPPTRmvWhiteBkg" is 0.  Any key that does not read or fit fails the whole text:
// kSetupCannotReadFile with the names in *failed, and content is then unchanged.
uint32_t ApplySetupText(const SettingsDoc& doc, const SetupFacts& facts, SetupContent& content,
                        std::vector<std::string>* failed = nullptr);

// ---- Personal information ----

// The keys of a profile file's "PersonalInfo" section present in the file, with their
// values (read with the profile functions; a value is cut at 1023 characters, which
// no field takes).
std::vector<std::pair<WString, WString>> ReadPersonalInfoKeys(const WString& path);

// Applies the keys (names compared without case) to the record's user settings:
// "VLUserName" (at most 80 characters; "Public" selects public-user access, any
// other name user authentication with that name), "VLUserKey" (its password, at
// most 64 characters of code page 1252, stored enciphered), "VLSectionName" (the
// department, at most 12), "VLSectionKey" (its password), "ServerSetting" (0 to
// 65535), "SecurePrintId" (at most 16), "SecPassword" (its password), "BoxFileName"
// (at most 30), "BoxNum" (at most 16).  Texts must hold no control character.  Any
// value that fails answers kSetupBadPersonalValue with its key in *failedKey and the
// record unchanged.  The other keys of the section are not carried.
uint32_t ApplyPersonalInfo(const std::vector<std::pair<WString, WString>>& keys, const device::PasswordCipher& cipher,
                           bool usrsetType1, OEMDEV& record, std::string* failedKey = nullptr);

// ---- Locked settings ----

// The lock record "DD-FixSetting": a u32 count and 7 entries of a feature name and
// an option name, 32 bytes each in the system code page.
inline constexpr size_t kMaxLockEntries = 7;
inline constexpr size_t kLockNameBytes = 32;
inline constexpr size_t kLockRecordBytes = 4 + kMaxLockEntries * 2 * kLockNameBytes;
static_assert(kLockRecordBytes == 452, "the lock record is 452 bytes");
inline constexpr const WCHAR* kLockValueName = WL("DD-FixSetting");

struct LockEntry {
    std::string feature;  // empty: the entry locks nothing
    std::string option;
};

// The keys of a profile file's "FixSetting" section in file order with their values
// (at most 259 characters), read with the profile functions, in the system code
// page.  The key list's buffer grows by 260 characters until the list fits.
std::vector<std::pair<std::string, std::string>> ReadLockFileKeys(const WString& path);

// The entries of a lock file's "FixSetting" keys (in file order, {key, value}):
// each key with a non-empty value, "SelectColor" followed by "SelectColor_RB" with
// the same value, at most seven entries.  Names longer than 31 bytes are cut.
std::vector<LockEntry> LockEntriesFromKeys(const std::vector<std::pair<std::string, std::string>>& keys);

// What the lock entries do to the settings record and the device options.
// optionValue answers the value of a feature's option keyword in the model (false
// when the model has no such option).  "OutputMethod" sets the output method when
// the value names one of its options, else the entry is cleared; "SelectColor"
// with "Grayscale" sets the colour mode to that option, any other value (and
// "SelectColor_RB" with another value) clears the entry; "ChangeUserNotPermit" /
// "ChkFixUserName", "ChangePassNotPermit" / "ChkFixPassword" and "FixSecurePrint"
// ("ON" 1, "OFF" 0) and "SecurePrintModeChoice" ("ON", "FULL",
// "SecurePrintModeFull" 1; "OFF", "ID", "SecurePrintModeID" 0) set the device
// option of the flag's name where the model's device-option table has one
// (optionSlot answers its slot).
using OptionValueFn = std::function<bool(std::string_view feature, std::string_view option, int32_t* value)>;
using OptionSlotFn = std::function<bool(std::string_view name, size_t* slot)>;
void ApplyLockEntries(std::vector<LockEntry>& entries, const OptionValueFn& optionValue,
                      const OptionSlotFn& optionSlot, OEMDEV& record, BYTE* devOption);

// The 452-byte record of the entries (at most seven; cleared entries keep their
// place with an empty feature), and back (a record of another size gives none).
std::vector<BYTE> EncodeLockRecord(const std::vector<LockEntry>& entries);
std::vector<LockEntry> DecodeLockRecord(const BYTE* data, size_t size);

}  // namespace nvx::presets
