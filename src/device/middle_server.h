// The middle server: the authentication server between the user and a device
// whose capability says "MiddleServer" (or "DeviceAndExtServer").  What the module
// keeps of the device's middle server setting in the user's store, its renewal
// when the device's update count moves, the login through the middle server, and
// the message a verification answer is shown with.
//
// docs/security.md, "The middle server", describes the stored values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/oapi_connection.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::device {

// Sub-key of the printer's user key.
inline constexpr const WCHAR* kMiddleServerKey = WL("Middle Server Setting");
// The user's middle server choice in it: the middle server mode and the server number.
inline constexpr const WCHAR* kMiddleServerUserType = WL("UserType");
inline constexpr const WCHAR* kMiddleServerAuthType = WL("AuthType");

// The last single sign-on's record in it: the identifier of its security context
// (text: the user the context was established for) and the context's integrity
// token over that identifier (binary).
inline constexpr const WCHAR* kSignOnContextId = WL("SecurityContexId");
inline constexpr const WCHAR* kSignOnMicToken = WL("MICToken");

// The part of the device's middle server setting (903,772 bytes) the module keeps
// as "InterimUI": its first 4472 bytes.  In it, the server number the login
// names (u32 at 0) and the server's name (UTF-8, 256 bytes at 4).
inline constexpr size_t kInterimUiBytes = 4472;
inline constexpr size_t kInterimServerNumber = 0;
inline constexpr size_t kInterimServerName = 4;
inline constexpr size_t kInterimServerNameBytes = 256;
static_assert(kInterimServerName + kInterimServerNameBytes <= kInterimUiBytes);
static_assert(kInterimUiBytes <= oapi::kMiddleServerSettingSize);

// Middle server modes of the settings record (OEMDEV 8076).
inline constexpr uint8_t kMiddleServerPublicUser = 1;
inline constexpr uint8_t kMiddleServerNamedUser = 2;

// What the user's store holds under kMiddleServerKey.
struct MiddleServerStored {
    std::optional<uint32_t> updateCount;  // "UpdateCount": the device's count the setting was fetched at
    uint32_t lastUpdateCount = 0;         // "LastUpdateCount": the count before the last renewal
    uint32_t renewalFlag = 0;             // "RenewalFlag": 1 after a renewal, until the dialog has shown it
    std::vector<BYTE> interimUi;          // "InterimUI": exactly kInterimUiBytes, else empty
};
MiddleServerStored ReadMiddleServerStored(HANDLE printer);

// The server number and name of a stored "InterimUI" (number 1 and an empty name
// without one; a name without its terminator is cut at its field).
struct MiddleServerInfo {
    uint32_t serverNumber = 1;
    std::string serverName;
};
MiddleServerInfo MiddleServerInfoOf(const std::vector<BYTE>& interimUi);

// The sign-on record: stores both values (creating the key); false when one could
// not be written, in which case neither is left.  Clear removes both.
struct SignOnRecord {
    std::string contextId;      // UTF-8
    std::vector<BYTE> micToken;
};
bool StoreSignOnRecord(HANDLE printer, const SignOnRecord& record);
void ClearSignOnRecord(HANDLE printer);
// The stored record; nothing when either value is missing, empty or of another type.
std::optional<SignOnRecord> ReadSignOnRecord(HANDLE printer);
// The identifier of a stored "SecurityContexId" (UTF-16 little-endian, read up to
// its terminator or the end of the value, an odd last byte left out) as UTF-8;
// nothing when it is empty.
std::optional<std::string> SignOnContextIdOf(std::span<const BYTE> stored);

// Clears "RenewalFlag" (the dialog has shown the renewed setting).
bool ClearMiddleServerRenewal(HANDLE printer);

// Whether the job-start verification renews the middle server setting: the
// capability's authentication type is 4 "MiddleServer", or 6 "DeviceAndExtServer"
// without the caller's flag, and the model supports a middle server.
bool MiddleServerRenewalApplies(int authType, bool callerFlag, bool modelSupports);

// The user's language code handed to the device ("en", ...; at most 31 characters).
std::string UserLanguageCode();

enum class Renewal {
    Current,  // the stored count is the device's: nothing fetched
    Renewed,  // fetched and stored with the new count
    Failed,   // the device did not give the setting, or it could not be stored: the stored values stay
};
// Compares the device's update count (capability offset 804 of a prepared
// connection) with the stored "UpdateCount"; when they differ (or none is stored)
// fetches the setting in the user's language and stores it: "InterimUITmp" the
// previous "InterimUI", "InterimUI" the new one, "LastUpdateCount" the previous
// count, "UpdateCount" the device's, "RenewalFlag" 1 (the count last, so that a
// renewal cut short is tried again at the next job).
Renewal RenewMiddleServerSetting(Connection* connection, HANDLE printer);

// The server number of the settings record's middle server value (OEMDEV 8080);
// 0 when it holds none (or no 16-bit number): the login then names the server of
// the stored setting (MiddleServerInfoOf), which the renewal before it refreshed.
uint16_t MiddleServerNumberOf(const OEMDEV& record);

// The message a verification answer is shown with: 420 accepted, 424 the
// device could not be asked, 425 ... 437 by the device's detail text.
unsigned VerificationMessage(DWORD code, std::string_view detail);

}  // namespace nvx::device
