// Settings transfer for setup programs: a printer's whole configuration as a setup
// file (a settings text), the checks a setup file passes, and the lock file that
// fixes chosen settings (docs/setup-transfer.md).  Nothing here touches a printer;
// setup_exports.cpp reads and stores the printer's data around it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/password_cipher.h"
#include "features/custom_paper_list.h"
#include "presets/settings_exchange.h"
#include "presets/settings_text.h"
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

// Where the setup-only settings live in the device-option record, behind the
// option slots and the passphrase (docs/settings-record.md).  Every number is a
// u16; a name is 32 UTF-16 units, terminated.
namespace devsetup {
inline constexpr size_t kTrays = 1024;           // tray n (1 to 10) at kTrays + 12 (n - 1):
inline constexpr size_t kTrayCount = 10;         //   paper size, direction, type, weight,
inline constexpr size_t kTrayStride = 12;        //   colour, pre-punched
inline constexpr size_t kAutoAcquisition = 1144;
inline constexpr size_t kCustomAcquisition = 1146;
inline constexpr size_t kInitial = 1148;         // the 13 initial settings in file order
inline constexpr size_t kInitialCount = 13;
inline constexpr size_t kHalverite = 1174;
inline constexpr size_t kWakeUpDevice = 1176;
inline constexpr size_t kCustomMedia = 1180;     // entry n (1 to 20) at kCustomMedia + 66 (n - 1):
inline constexpr size_t kCustomMediaCount = 20;  //   name (32 units), media type
inline constexpr size_t kCustomMediaStride = 66;
inline constexpr size_t kCustomMediaNameChars = 31;
inline constexpr size_t kEnd = kCustomMedia + kCustomMediaCount * kCustomMediaStride;
static_assert(kTrays >= settings::devoption::kNetworkPort + 2 && kTrays + kTrayCount * kTrayStride == kAutoAcquisition &&
              kInitial + 2 * kInitialCount == kHalverite && kCustomMedia >= kWakeUpDevice + 2 && kEnd == 2500 &&
              kEnd <= settings::kDevOptionSize);
}  // namespace devsetup

// The printer data values that hold the device's own data (texts).
inline constexpr const WCHAR* kDeviceAddressValue = WL("IPAddress");
inline constexpr const WCHAR* kMacAddressValue = WL("MacAddress");
inline constexpr const WCHAR* kCommunityValue = WL("SNMPReadCommunityName");
// The device-API credentials: REG_BINARY, the UTF-8 text through the printer's binary cipher.
inline constexpr const WCHAR* kDriverUserPassValue = WL("OpenAPIDrvUserPass");

// What a setup file carries from a printer.
struct SetupContent {
    OEMDEV record{};
    std::vector<BYTE> devOption = std::vector<BYTE>(settings::kDevOptionSize);
    WatermarkLists lists;
    uint32_t excelJobCtrl = 0;
    uint32_t authUseEngine = 0;
    // The device data texts by printer data value name (a value the printer does not
    // keep is absent; the setup file writes it empty).
    std::map<WString, WString> deviceData;
    features::CustomPaperList customPaper{};
};

// The facts of the printer the text is made for or applied to.
struct SetupFacts {
    WString driverName;     // the header's model
    WString language;       // LanguageCode of the model
    RecordExchangeRules rules;  // fullSetup is set by the functions below
    uint32_t optionCount = 0;   // rows of the model's device-option table (at most 240)
    bool otherTab = false;      // the variant switch OTHERTAB_ENABLE
    uint32_t paperCapacity = features::kCustomPaperMaxEntries;  // custom paper entries the printer takes
};

// Builds the setup text: the header (name "DD-SETTING", empty comment, the facts'
// model, "1.2.6", the system and language, the content options), "OEMDEV" in its
// setup variant, "ExcelJobCtrl" and "AuthUseEngine" (with otherTab), the watermark
// lists and their order, "DeviceOption" and the device sections.  False when a
// section cannot be written.
bool BuildSetupText(SettingsDoc& doc, const SetupFacts& facts, SetupContent& content);

// The header checks of an import: format version 1 (else 13), the model equal to
// the driver name (else 10), the language equal ignoring case (else 11); version
// and system are not compared.  A text without the header fails as 13.
uint32_t CheckSetupHeader(const SettingsDoc& doc, const SetupFacts& facts);

// Applies a setup text to content: the record (paper and resolution included; a
// locked colour mode stays), the watermark lists and order (every content option
// set), the two extra values, the device options and the device sections.  Afterwards the record's
// "bPPTRmvWhiteBkg" is 0.  Any key that does not read or fit fails the whole text:
// kSetupCannotReadFile with the names in *failed, and content is then unchanged.
uint32_t ApplySetupText(const SettingsDoc& doc, const SetupFacts& facts, SetupContent& content,
                        std::vector<std::string>* failed = nullptr);

// ---- The device sections ----
//
// "SourceTraySetting", "AcquistionSetting", "InitialSetting", "Halverite",
// "CustomPaper", "CustomMedia" and "WakeOnLanSetting", from one table of their keys
// and where each lands: a field of the device-option record, a device data text of
// the printer, or the custom paper list.

// Writes the seven sections in their order.  False when a key cannot be written.
bool WriteDeviceSections(SettingsDoc& doc, const SetupContent& content);

// Reads the seven sections into content.  A key that is absent leaves its target;
// a key that does not read or fit is named in *failed and answers false (content
// may then be half changed: the caller works on a copy).
bool ReadDeviceSections(const SettingsDoc& doc, const SetupFacts& facts, SetupContent& content,
                        std::vector<std::string>* failed);

// A MAC address: six pairs of hex digits, all separated by ':' or all by '-', or
// twelve digits together; a multicast, broadcast or all-zero address is refused.
// *canonical: upper-case pairs joined by '-'.
bool ReadMacAddress(WStringView text, WString* canonical);

// A device address: at most 63 characters of letters, digits, '.', '-', ':' and
// '_' (a host name, IPv4 or IPv6 address); a dotted IPv4 address has four parts of
// 0 to 255.  Empty is no address.
bool IsDeviceAddress(WStringView text);

// ---- Personal information ----

// The keys of a profile file's "PersonalInfo" section present in the file, with their
// values (read with the profile functions; a value is cut at 1023 characters, which
// no field takes).
std::vector<std::pair<WString, WString>> ReadPersonalInfoKeys(const WString& path);

// What the personal information carries beside the user settings record.
struct PersonalInfoExtras {
    std::optional<uint32_t> authUseEngine;  // the user's "AuthUseEngine" (per-user store)
    // The authentication server's tree/domain and expense code and the expense code's
    // password (enciphered), kept in the user's "Authentication" store.
    std::optional<WString> treeDomainName;
    std::optional<WString> expenseCode;
    std::optional<std::vector<BYTE>> expenseCodePassword;
    bool middleServerChoice = false;  // "InterimPublicUser" was given: the user's middle server choice is stored
};

// Applies the keys (names compared without case) to the record's user settings:
// "VLUserName" (at most 80 characters; "Public" selects public-user access, any
// other name user authentication with that name), "VLUserKey" (its password, at
// most 64 characters of code page 1252, stored enciphered), "VLSectionName" (the
// department, at most 12), "VLSectionKey" (its password), "ServerSetting" (0 to
// 65535), "SecurePrintId" (at most 16), "SecPassword" (its password), "BoxFileName"
// (at most 30), "BoxNum" (at most 16), "InterimPublicUser" (0 or 1: the middle
// server's public-user or named-user access).  After them, whatever their place in
// the file: "UseDefaultLoginUserName" 1 makes logonName the user name with user
// authentication (0 changes nothing), then "PublicUser" 1 selects public-user
// access and 0 user authentication with the record's name.  Into *extras:
// "AuthUseEngine" (0 or 1), "TreeDomainName" (at most 63 ASCII characters),
// "ExpenseCode" (at most 8 ASCII characters), "ExpenseCodePassword" (by the
// password rules, enciphered).  Texts must hold no control character.  Any value
// that fails answers kSetupBadPersonalValue with its key in *failedKey and the
// record and *extras unchanged.
uint32_t ApplyPersonalInfo(const std::vector<std::pair<WString, WString>>& keys, const device::PasswordCipher& cipher,
                           bool usrsetType1, OEMDEV& record, std::string* failedKey = nullptr,
                           PersonalInfoExtras* extras = nullptr, WStringView logonName = {});

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
