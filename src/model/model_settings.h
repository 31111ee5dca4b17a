// Small model settings that the attach build reads from the main package for later
// features: paper names and the locale paper, the custom page, the setup error
// messages, the printer password cipher settings, the message list, the
// directory-search authentication methods and the default font names.  Each lives
// in ModelTables from attach to detach.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"

namespace nvx::model {

class Package;

// ---- Paper names ----

// One item of the "Paper_Name" entry: a paper keyword of the paper-size lists and
// the name under which the size is known outside the lists (spooler forms,
// overlay form properties).
struct PaperName {
    char key[32] = {};
    WCHAR name[64] = {};
};
struct PaperNames {
    std::vector<PaperName> rows;  // chain order
    bool hasLocalePaper = false;  // a locale paper was found at attach
    int32_t localePaper = 0;      // its paper identifier
    // The name of a paper keyword (ASCII letter case ignored), or null.
    const WCHAR* Find(const char* key) const;
};
// Reads the "Paper_Name" entry (items with an empty value or an over-long key are skipped).
void LoadPaperNames(const Package& pkg, PaperNames& names);

// ---- Custom page ----

inline constexpr size_t kCustomPageItems = 64;
struct CustomPageSettings {
    WCHAR tabName[64] = {};             // "Tab_Prop_MyTab": first item's text, built-in "My Tab"
    std::vector<std::string> features;  // "Prop_MyTab1": item keys in index order (at most 64)
};
void LoadCustomPage(const Package& pkg, CustomPageSettings& page);

// ---- Setup error messages ("DDTAL_ErrMsg") ----

inline constexpr int kSetupErrorCodes = 16;  // codes 0..15, keys "ERMSG_00".."ERMSG_15"
inline constexpr size_t kSetupMessageChars = 256;
struct SetupErrorMessages {
    WCHAR text[kSetupErrorCodes + 1][kSetupMessageChars] = {};  // the last: "ERMSG_XX"
};
void LoadSetupErrorMessages(const Package& pkg, SetupErrorMessages& m);
// The message of a setup error code: its own text, else the "ERMSG_XX" text, else "".
const WCHAR* SetupErrorMessage(const SetupErrorMessages& m, int code);

// ---- Printer password cipher settings ("UI_Encryption") ----

inline constexpr size_t kEncryptionItems = 8;
struct EncryptionItem {
    char name[32];
    char value[32];
};
static_assert(sizeof(EncryptionItem) == 64);
enum class CipherMode : uint32_t { None = 0, Des = 1, Aes = 2 };
struct EncryptionSettings {
    uint32_t count = 0;                      // items read (chain order)
    EncryptionItem items[kEncryptionItems] = {};
    CipherMode mode = CipherMode::None;      // "Encryption": "AES" 2, "DES" 1, else 0
    uint32_t keyId = 0;                      // "EncKeyID": a positive decimal number, else 0
    uint32_t modelId = 0;                    // "ModelID": the same
};
void LoadEncryptionSettings(const Package& pkg, EncryptionSettings& s);

// ---- Message list ----

// The slots the package's "MessageStr" items fill, in chain order (numbers of 1000
// and more are left out, as the table has no such slot).
struct MessageList {
    std::vector<uint32_t> slots;
};
void LoadMessageList(const Package& pkg, MessageList& list);

// ---- Directory-search authentication methods ("LSR_AuthSetting") ----

inline constexpr size_t kDirectoryAuthMethods = 5;
// The method keys in value order: Anonymous 0, Simple 1, Digest-MD5 2, GSS-SPNEGO 3, NTLM 4.
extern const char* const kDirectoryAuthKeys[kDirectoryAuthMethods];
struct DirectoryAuthMethods {
    uint32_t count = 0;                           // methods offered
    uint32_t values[kDirectoryAuthMethods] = {};  // in the entry's index order
    WCHAR names[kDirectoryAuthMethods][64] = {};  // their display texts
    uint32_t defaultValue = 0;                    // the default item's method
};
// Without the entry every method is offered in value order, Anonymous the default;
// keys outside the five are skipped, each method is listed once.
void LoadDirectoryAuthMethods(const Package& pkg, DirectoryAuthMethods& m);

// ---- Consumables ("Varnx", "ConsumSetting") ----

inline constexpr size_t kShopRecordBytes = 20;        // "Varnx": an item record and a 32-bit switch
inline constexpr size_t kShopSwitchOffset = 16;
inline constexpr size_t kAddressRecordBytes = 288;    // "ConsumSetting": an item record and an ANSI text
inline constexpr size_t kAddressTextOffset = 16;
struct ConsumablesSettings {
    uint8_t shopRecord[kShopRecordBytes] = {};  // the first item's record of "Varnx"
    uint8_t shopFlag = 0;                        // 1 when that record's switch is not 0
    char address[kAddressRecordBytes - kAddressTextOffset] = {};  // the "URL" record's text, ANSI
};
// Reads both entries; a missing entry or item leaves its part empty.
void LoadConsumables(const Package& pkg, ConsumablesSettings& c);

// ---- Default font names ----

struct DefaultFontNames {
    WCHAR latin[32] = {};     // "Arial"
    WCHAR japanese[32] = {};  // the Japanese user-interface font, "MS UI Gothic"
};
void SetDefaultFontNames(DefaultFontNames& f);

// Every setting of this header in one struct, as ModelTables holds it.
struct ModelSettings {
    PaperNames papers;
    CustomPageSettings customPage;
    SetupErrorMessages setupErrors;
    EncryptionSettings encryption;
    MessageList messageList;
    DirectoryAuthMethods directoryAuth;
    DefaultFontNames fonts;
    WString fontLibrary;  // the font data library beside the module (NOVRIX_F.DLL)
};
// Back to the empty state (detach).
void ClearModelSettings(ModelSettings& s);

}  // namespace nvx::model
