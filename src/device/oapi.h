// The device-API component (NOVRIX_O.DLL): its C interface as the module and the
// component itself see it.
//
// Twenty-five functions, resolved by name.  Every result is a 32-bit code (0 for
// success; for code 4 the detail text comes from OAPIGetErrorDetail), except the
// access handle of OAPIAccessInit (0 on failure) and the void warm-up.  Blocks are
// byte arrays with fixed sizes and little-endian fields at fixed offsets; texts in
// them are narrow (UTF-8), NUL-terminated within their width.  A device never
// writes more bytes than the block size given here for the call.
//
// docs/device-api.md describes every call, block and code in prose.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

// ---- Result codes ----
namespace nvx::oapi {

constexpr DWORD kOk = 0;
constexpr DWORD kNoAnswer = 1;             // the device does not answer (unknown address, unreachable)
constexpr DWORD kBadParameter = 2;         // null block, text too long, unknown kind, bad request
constexpr DWORD kUnknownHandle = 3;        // access handle unknown or already ended
constexpr DWORD kRefusedWithDetail = 4;    // refused; OAPIGetErrorDetail tells why
constexpr DWORD kNotLoggedIn = 5;          // the call needs a login on this access
constexpr DWORD kBusy = 6;                 // the device is busy or did not answer in time
constexpr DWORD kNotSupported = 7;         // the device does not offer the function
constexpr DWORD kConfigurationRefused = 8; // module side: the configuration block's refusal byte is set

// ---- Fixed values of the exchange ----
constexpr double kClientVersion = 60.08;   // second argument of OAPIConfigurationCheck
constexpr size_t kAddressMax = 63;         // characters of a device address (narrow)
constexpr size_t kAddressSize = kAddressMax + 1;
constexpr size_t kDetailSize = 256;        // detail text buffer, terminator included
constexpr size_t kLanguageCodeMax = 31;    // characters of OAPIGetMiddleServerSetting's language code

// ---- Configuration block (OAPIConfigurationCheck) ----
constexpr size_t kConfigurationSize = 344;
constexpr size_t kConfPort = 0;            // u16
constexpr size_t kConfFlag = 2;            // u8, handed to OAPIAccessInit
constexpr size_t kConfRefused = 3;         // u8, non-zero: the device refuses the device API
constexpr size_t kConfGeneration = 4;      // u32, counted up by the device whenever its set-up changes
constexpr size_t kConfSignOnData = 20;     // 64 bytes; first byte non-zero: single sign-on on
constexpr size_t kConfSignOnDataSize = 64;
constexpr size_t kConfCached = 84;         // 256 bytes kept for the printer (sign-on host name)
constexpr size_t kConfCachedSize = 256;

// ---- Authentication capability block (OAPIGetAuthCapability) ----
constexpr size_t kCapabilitySize = 808;
constexpr size_t kCapAuthType = 16;        // text: "None", "Server", "Device", ...
constexpr size_t kCapAuthTypeSize = 64;
constexpr size_t kCapAccountTrack = 770;   // text: "None", "AccountPassword", ...
constexpr size_t kCapAccountTrackSize = 32;
constexpr size_t kCapPublicUser = 802;     // u8, 1: public user allowed
constexpr size_t kCapUpdateCount = 804;    // u32, middle server setting update count

// ---- File information lists (OAPIGetFileInfo, kinds 6, 8, 9) ----
// The answer is a u32 count followed by that many entries of the kind's size.
constexpr DWORD kFileTintBlock = 6;        // 8 entries of 48 bytes: 388
constexpr DWORD kFileHeaderFooter = 8;     // 20 entries of 1000 bytes: 20004
constexpr DWORD kFileOverlay = 9;          // 100 entries of 184 bytes: 18404
constexpr size_t kListHeaderSize = 4;
constexpr size_t kTintBlockEntries = 8, kTintBlockEntrySize = 48;
constexpr size_t kHeaderFooterEntries = 20, kHeaderFooterEntrySize = 1000;
constexpr size_t kOverlayEntries = 100, kOverlayEntrySize = 184;
constexpr size_t kTintBlockListSize = kListHeaderSize + kTintBlockEntries * kTintBlockEntrySize;
constexpr size_t kHeaderFooterListSize = kListHeaderSize + kHeaderFooterEntries * kHeaderFooterEntrySize;
constexpr size_t kOverlayListSize = kListHeaderSize + kOverlayEntries * kOverlayEntrySize;

// Header/footer program entry (1000 bytes, UTF-8 texts, NUL-padded).
constexpr size_t kHfState = 0, kHfStateSize = 16;           // "On" / "Off"
constexpr size_t kHfName = 16, kHfNameSize = 48;
constexpr size_t kHfDateFormat = 64, kHfDateFormatSize = 16; // "Date1" .. "Date5"
constexpr size_t kHfTimeFormat = 80, kHfTimeFormatSize = 16; // "Time1", "Time2"
constexpr size_t kHfHeaderText = 96, kHfTextSize = 256;
constexpr size_t kHfHeaderItems = 352;                       // 4 states of 16 bytes
constexpr size_t kHfFooterText = 416;
constexpr size_t kHfFooterItems = 672;                       // 4 states of 16 bytes
constexpr size_t kHfItemSize = 16, kHfItemCount = 4;         // user name, date/time, serial, job number

// Overlay (device form) entry (184 bytes).
constexpr size_t kOvlNumber = 0;                             // u32
constexpr size_t kOvlName = 4, kOvlNameSize = 64;            // UTF-8
constexpr size_t kOvlPaper = 68, kOvlPaperSize = 16;         // "A3", "B4", "A4", "8x13", ...
constexpr size_t kOvlColour = 84;                            // u32

// Tint-block entry (48 bytes).
constexpr size_t kTintNumber = 0;                            // u32
constexpr size_t kTintName = 4, kTintNameSize = 44;          // UTF-8

// ---- Device permanent setting (OAPIGetDevicePermanentSetting, class 5) ----
constexpr DWORD kPermanentColourProfile = 5;
constexpr size_t kPermanentSettingSize = 5364;

// ---- Printer encryption setting (OAPIGetPrinterEncryptionSetting[ForDriver]) ----
constexpr size_t kEncryptionSettingSize = 64;
constexpr size_t kEncKeyKind = 0, kEncKeyKindSize = 32;      // "FactoryDefault", "UserDefined", "Unidentified"
constexpr size_t kEncPassphrase = 32, kEncPassphraseSize = 32;

// ---- Middle server setting (OAPIGetMiddleServerSetting) ----
constexpr size_t kMiddleServerSettingSize = 903772;
constexpr size_t kMsServerNumber = 0;                        // u32, the server number a login names
constexpr size_t kMsServerName = 4, kMsServerNameSize = 256; // UTF-8, the server's name

// ---- Speed dials (OAPIGetAbbrConfiguration, OAPIGetAbbr) ----
constexpr size_t kAbbrConfigurationSize = 16;
constexpr size_t kAbbrConfCount = 0;                         // u32, entries held by the device
constexpr size_t kAbbrConfMax = 4;                           // u32, entries the device can hold
constexpr size_t kAbbrEntrySize = 296;
constexpr size_t kAbbrPageEntries = 100;
constexpr size_t kAbbrPageSize = kListHeaderSize + kAbbrPageEntries * kAbbrEntrySize;
// Every page request carries this tag in the first 8 bytes of the page buffer.
constexpr char kAbbrRequestTag[9] = "ZQXWVTRA";
constexpr size_t kAbbrRequestTagSize = 8;
// Speed-dial entry (296 bytes, UTF-8 texts).
constexpr size_t kAbbrNumber = 0;                            // u16
constexpr size_t kAbbrName = 2, kAbbrNameSize = 97;
constexpr size_t kAbbrValue100 = 100;                        // u32
constexpr size_t kAbbrValue108 = 108;                        // u32
constexpr size_t kAbbrKind = 112, kAbbrKindSize = 32;        // "Fax", "Email", ...
constexpr size_t kAbbrFaxNumber = 144, kAbbrFaxNumberSize = 65;
constexpr size_t kAbbrByte208 = 208, kAbbrByte209 = 209;
// The text field ends where the three bytes at 242 begin: 32 bytes, at most 31 characters.
constexpr size_t kAbbrText = 210, kAbbrTextSize = 32;
constexpr size_t kAbbrBytes242 = 242, kAbbrBytes242Size = 3;

// ---- Single sign-on (OAPIGetSingleSignOnInfo) ----
constexpr size_t kSignOnTokenSize = 24000;                   // Base64 text each way, terminator included

// ---- User box list (OAPIGetUserBoxList) ----
constexpr size_t kUserBoxEntries = 100, kUserBoxEntrySize = 64;
constexpr size_t kUserBoxListSize = kListHeaderSize + kUserBoxEntries * kUserBoxEntrySize;
constexpr size_t kBoxNumber = 0;                             // u32
constexpr size_t kBoxName = 4, kBoxNameSize = 60;            // UTF-8

// The named fields lie inside their blocks.
static_assert(kConfGeneration + 4 <= kConfSignOnData && kConfRefused < kConfGeneration);
static_assert(kConfSignOnData + kConfSignOnDataSize <= kConfCached);
static_assert(kConfCached + kConfCachedSize <= kConfigurationSize);
static_assert(kCapAuthType + kCapAuthTypeSize <= kCapAccountTrack);
static_assert(kCapAccountTrack + kCapAccountTrackSize == kCapPublicUser);
static_assert(kCapUpdateCount + 4 == kCapabilitySize);
static_assert(kTintBlockListSize == 388);
static_assert(kHeaderFooterListSize == 20004);
static_assert(kOverlayListSize == 18404);
static_assert(kHfFooterItems + kHfItemCount * kHfItemSize <= kHeaderFooterEntrySize);
static_assert(kHfHeaderItems + kHfItemCount * kHfItemSize == kHfFooterText);
static_assert(kOvlColour + 4 <= kOverlayEntrySize);
static_assert(kTintName + kTintNameSize == kTintBlockEntrySize);
static_assert(kEncPassphrase + kEncPassphraseSize == kEncryptionSettingSize);
static_assert(kAbbrBytes242 + kAbbrBytes242Size <= kAbbrEntrySize);
static_assert(kAbbrText + kAbbrTextSize == kAbbrBytes242);
static_assert(kAbbrPageSize == 29604);
static_assert(kBoxName + kBoxNameSize == kUserBoxEntrySize);

}  // namespace nvx::oapi

// ---- Records handed to the component ----
extern "C" {

// Login record of OAPILogin.  kind: 0 for a public user (no credentials checked),
// 2 for a named user.  Texts are UTF-8; a null text counts as empty.
struct OapiLoginRecord {
    uint32_t kind;
    const char* userName;
    const char* password;
    const char* accountName;
    const char* accountPassword;
    uint16_t serverNumber;
    const char* extra;  // always an empty text
};

// Request of OAPIGetFileInfo[ForDriver]: {0, 1, count, 0}.
struct OapiFileInfoRequest {
    uint32_t reserved0;
    uint32_t version;  // 1
    uint32_t count;    // entries wanted: 8 (kind 6), 20 (kind 8), 100 (kind 9)
    uint32_t reserved1;
};

typedef UINT64 OAPIHANDLE;

// ---- The 25 functions, by name ----
typedef void (*PFN_OAPIAccessWarmUp)(void);
typedef DWORD (*PFN_OAPIConfigurationCheck)(double apiVersion, double clientVersion, const char* address,
                                            BYTE* configuration);
typedef OAPIHANDLE (*PFN_OAPIAccessInit)(double apiVersion, DWORD reserved1, DWORD reserved2, const char* address,
                                         WORD port, BYTE flag);
typedef DWORD (*PFN_OAPIAccessEnd)(OAPIHANDLE handle);
typedef DWORD (*PFN_OAPIGetErrorDetail)(OAPIHANDLE handle, char* detail, DWORD detailSize);
typedef DWORD (*PFN_OAPIGetAuthCapability)(OAPIHANDLE handle, BYTE* capability);
typedef DWORD (*PFN_OAPILogin)(OAPIHANDLE handle, const OapiLoginRecord* record, const BYTE* ticket,
                               DWORD ticketLength, UINT_PTR passThrough1, UINT_PTR passThrough2);
typedef DWORD (*PFN_OAPILogout)(OAPIHANDLE handle);
typedef DWORD (*PFN_OAPIGetFileInfo)(OAPIHANDLE handle, DWORD kind, const OapiFileInfoRequest* request,
                                     BYTE* buffer);
typedef DWORD (*PFN_OAPIGetFileInfoForDriver)(OAPIHANDLE handle, UINT_PTR request, DWORD kind,
                                              const OapiFileInfoRequest* fileRequest, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetDevicePermanentSetting)(OAPIHANDLE handle, DWORD settingClass, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetDevicePermanentSettingForDriver)(OAPIHANDLE handle, UINT_PTR request,
                                                            DWORD settingClass, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetPrinterEncryptionSetting)(OAPIHANDLE handle, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetPrinterEncryptionSettingForDriver)(OAPIHANDLE handle, UINT_PTR request, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetMiddleServerSetting)(OAPIHANDLE handle, const char* languageCode, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetAbbrConfiguration)(OAPIHANDLE handle, DWORD selector, BYTE* buffer);
typedef DWORD (*PFN_OAPIGetAbbr)(OAPIHANDLE handle, DWORD firstEntry, BYTE* page);
typedef DWORD (*PFN_OAPIGetSingleSignOnInfo)(OAPIHANDLE handle, const char* request, char* answer,
                                             DWORD answerSize);
typedef DWORD (*PFN_OAPIGetUserBoxList)(OAPIHANDLE handle, UINT_PTR request, BYTE* buffer);
typedef DWORD (*PFN_OAPIWakeUpDevice)(const char* address);
typedef DWORD (*PFN_OAPIGetDeviceInfo)(OAPIHANDLE handle, BYTE* buffer, DWORD size);
typedef DWORD (*PFN_OAPIGetDeviceInfoDetail)(OAPIHANDLE handle, BYTE* buffer, DWORD size);
typedef DWORD (*PFN_OAPIGetJobList)(OAPIHANDLE handle, BYTE* buffer, DWORD size);
typedef DWORD (*PFN_OAPIGetJobJournalList)(OAPIHANDLE handle, BYTE* buffer, DWORD size);
typedef DWORD (*PFN_OAPIGetGammaCorrectionTableForDriver)(OAPIHANDLE handle, UINT_PTR request, BYTE* buffer,
                                                          DWORD size);

}  // extern "C"

static_assert(offsetof(OapiLoginRecord, kind) == 0);
static_assert(offsetof(OapiLoginRecord, userName) == 8);
static_assert(offsetof(OapiLoginRecord, password) == 16);
static_assert(offsetof(OapiLoginRecord, accountName) == 24);
static_assert(offsetof(OapiLoginRecord, accountPassword) == 32);
static_assert(offsetof(OapiLoginRecord, serverNumber) == 40);
static_assert(offsetof(OapiLoginRecord, extra) == 48);
static_assert(sizeof(OapiLoginRecord) == 56);
static_assert(sizeof(OapiFileInfoRequest) == 16);

// Every function of the component, in one list: X(name).  The module resolves
// exactly these names; the component's .def exports exactly these names.
#define NVX_OAPI_FUNCTIONS(X)                  \
    X(OAPIAccessWarmUp)                        \
    X(OAPIConfigurationCheck)                  \
    X(OAPIAccessInit)                          \
    X(OAPIAccessEnd)                           \
    X(OAPIGetErrorDetail)                      \
    X(OAPIGetAuthCapability)                   \
    X(OAPILogin)                               \
    X(OAPILogout)                              \
    X(OAPIGetFileInfo)                         \
    X(OAPIGetFileInfoForDriver)                \
    X(OAPIGetDevicePermanentSetting)           \
    X(OAPIGetDevicePermanentSettingForDriver)  \
    X(OAPIGetPrinterEncryptionSetting)         \
    X(OAPIGetPrinterEncryptionSettingForDriver) \
    X(OAPIGetMiddleServerSetting)              \
    X(OAPIGetAbbrConfiguration)                \
    X(OAPIGetAbbr)                             \
    X(OAPIGetSingleSignOnInfo)                 \
    X(OAPIGetUserBoxList)                      \
    X(OAPIWakeUpDevice)                        \
    X(OAPIGetDeviceInfo)                       \
    X(OAPIGetDeviceInfoDetail)                 \
    X(OAPIGetJobList)                          \
    X(OAPIGetJobJournalList)                   \
    X(OAPIGetGammaCorrectionTableForDriver)

namespace nvx::oapi {
#define NVX_OAPI_ENUM(name) k_##name,
enum class Fn : int { NVX_OAPI_FUNCTIONS(NVX_OAPI_ENUM) kCount };
#undef NVX_OAPI_ENUM
constexpr int kFunctionCount = static_cast<int>(Fn::kCount);
static_assert(kFunctionCount == 25, "the device-API component has 25 functions");
}  // namespace nvx::oapi
