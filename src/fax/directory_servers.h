// The printer's directory (LDAP) servers, without any window: the stored list
// "LDAPServerList" (20 entries of 5392 bytes, one binary printer data value),
// the defaults of a new entry, the checks an entry must pass and the logon
// password, which is only ever held enciphered with the printer's password cipher.
//
// Entry (5392 bytes, texts UTF-16 and terminated, integers little-endian):
//   0 u32 reserved; 4 server address (256 units, empty: a free entry);
//   516 entry name (33 units, unique); 584 u32 authentication method;
//   588 u32 share the logon information; 592 domain name (256 units);
//   1104 logon name (256 units); 1616 logon password, enciphered (514 bytes);
//   2130 u16 its length; 2132 u32 port; 2136 u32 use SSL; 2140 u32 search
//   time-out; 2144 u32 maximum results; 2148 search base (256 units); then seven
//   attribute fields of 195 units from 2660: name, family name, given name, fax
//   number, e-mail address, company, department.
// Used entries are dense from the first; the list ends at the first entry whose
// entry name is empty.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/password_cipher.h"
#include "platform/win32.h"

namespace nvx::fax::directory {

inline constexpr size_t kEntrySize = 5392;
inline constexpr size_t kMaxServers = 20;
inline constexpr size_t kListSize = kEntrySize * kMaxServers;
static_assert(kListSize == 107840);
inline constexpr const WCHAR* kListValue = WL("LDAPServerList");

namespace at {
inline constexpr size_t kReserved = 0, kAddress = 4, kName = 516, kAuth = 584, kShare = 588, kDomain = 592,
                        kLogonName = 1104, kPassword = 1616, kPasswordLength = 2130, kPort = 2132, kSsl = 2136,
                        kTimeout = 2140, kMaxResults = 2144, kSearchBase = 2148, kAttributes = 2660;
inline constexpr size_t kLongUnits = 256, kNameUnits = 33, kAttributeUnits = 195, kPasswordBytes = 514;
static_assert(kAddress + kLongUnits * 2 == kName && kName + kNameUnits * 2 + 2 == kAuth &&
              kDomain + kLongUnits * 2 == kLogonName && kLogonName + kLongUnits * 2 == kPassword &&
              kPassword + kPasswordBytes == kPasswordLength && kSearchBase + kLongUnits * 2 == kAttributes &&
              kAttributes + 7 * kAttributeUnits * 2 + 2 == kEntrySize,
              "the entry's fields tile its 5392 bytes");
}  // namespace at

// Characters each text takes (one unit less than its field).
inline constexpr size_t kLongChars = 254, kNameChars = 31, kAttributeChars = 193;
inline constexpr size_t kPasswordChars = 256;
inline constexpr size_t kAttributeNamesMax = 3;  // names per attribute field, separated by commas

enum Attribute { kAttrName, kAttrFamilyName, kAttrGivenName, kAttrFaxNumber, kAttrEmail, kAttrCompany,
                 kAttrDepartment, kAttributeCount };
// The defaults of the seven fields: "cn", "sn", "givenname",
// "facsimileTelephoneNumber", "mail", "ou", "o".
extern const char* const kAttributeDefaults[kAttributeCount];
// Control of each field (3419, 3409, 3394, 3412, 3414, 3416, 3418) and the
// message naming it in a refusal (33 to 39).
extern const int kAttributeControls[kAttributeCount];
extern const unsigned kAttributeMessages[kAttributeCount];

enum class AuthMethod : uint32_t { Anonymous = 0, Simple = 1, DigestMd5 = 2, GssSpnego = 3, Ntlm = 4 };

struct Server {
    WString address;
    WString name;
    uint32_t auth = 0;
    uint32_t share = 0;
    WString domain;
    WString logonName;
    std::vector<BYTE> password;  // enciphered, at most kPasswordBytes
    uint32_t port = 389;
    uint32_t ssl = 0;
    uint32_t timeout = 0;
    uint32_t maxResults = 0;
    WString searchBase;
    std::array<WString, kAttributeCount> attributes;

    Server() = default;
    Server(const Server&) = default;
    Server& operator=(const Server&) = default;
    ~Server();
};

// What the model gives (its ranges and defaults).
struct Limits {
    uint32_t portMin = 1, portMax = 65535;
    uint32_t timeoutDefault = 30, timeoutMin = 1, timeoutMax = 300;
    uint32_t resultsDefault = 100, resultsMin = 1, resultsMax = 1000;
    uint32_t authDefault = 1, shareDefault = 1, sslDefault = 0;
};

// ---- The stored list ----

// The used entries of a stored list.  A list of any other size than kListSize
// counts as empty.  Texts are read within their fields (an unterminated field is
// cut at its character limit); a password length past its field is no password.
std::vector<Server> ReadList(std::span<const BYTE> stored);
// The whole list: the servers (at most kMaxServers, in order) and zeros behind.
std::vector<BYTE> WriteList(const std::vector<Server>& servers);

// The printer's list: GetPrinterDataW into a zeroed buffer (a failed read, or a
// value of another size, gives the empty list).
std::vector<Server> LoadPrinterList(HANDLE printer);
// Writes the whole list as the binary printer data value; the Win32 code.
DWORD SavePrinterList(HANDLE printer, const std::vector<Server>& servers);

// ---- Editing ----

// A new entry with the model's defaults: authentication, share and SSL flags,
// port 636 with SSL, else 389; time-out and maximum results; the attribute defaults.
Server NewServer(const Limits& limits);
// Switching SSL sets the port to 636 (on) or 389 (off).
void SetSsl(Server* server, bool on);

// Appends; false (nothing added) when the list holds kMaxServers already.
bool AddServer(std::vector<Server>* list, Server server);
// Moves entry `index` up or down by one; false when it cannot move.
bool MoveServer(std::vector<Server>* list, size_t index, bool up);
bool RemoveServer(std::vector<Server>* list, size_t index);
// The index of the entry named `name` (exact), or nothing.
std::optional<size_t> FindServer(const std::vector<Server>& list, WStringView name);

// The logon password.  Refused: more than kPasswordChars characters, a
// character code page 1252 cannot hold, a NUL inside, or an enciphered form
// past kPasswordBytes; the entry is then as it was.  Plain copies are wiped.
enum class PasswordResult { Stored, TooLong, NotCodePage1252, NulInside, CipherFailed };
PasswordResult SetPassword(const device::PasswordCipher& cipher, WStringView typed, Server* server);
// The plain password, for the directory logon only; nothing when it does not decipher.
std::optional<std::string> Password(const device::PasswordCipher& cipher, const Server& server);

// ---- Checks (before leaving an entry or OK), in this order ----

enum class Problem {
    None,
    FieldTooLong,      // a text past its field (message 2, focus on the field)
    PortRange,         // 2 + 547 with minimum and maximum, focus 3398
    TimeoutRange,      // 2 + 548, focus 3401
    ResultsRange,      // 2 + 549, focus 3406
    TooManyNames,      // 25, the failing fields named by messages 33 to 39
    EmptySearchBase,   // 3 + 159, the search tab forward, focus 3393
    DuplicateName,     // 4 + 181 with the name, focus 3385
    EmptyName,         // the entry needs a name to be listed (focus 3385)
    EmptyAddress,      // the entry needs a server address (focus 3384)
    SearchBaseNotDn,   // the search base is not a distinguished name (focus 3393)
};
struct Check {
    Problem problem = Problem::None;
    int focus = 0;                      // the control to focus
    std::vector<Attribute> attributes;  // TooManyNames: the failing fields
};
Check CheckServer(const std::vector<Server>& list, size_t index, const Limits& limits);

// The names of an attribute field (split at commas, blanks around a name dropped,
// empty names skipped).
std::vector<std::string> AttributeNames(WStringView field);
// Whether text reads as a distinguished name: one or more "type=value" parts
// separated by commas, each type a name (letter, then letters, digits, "-") or a
// dotted number, each value not empty (a backslash escapes the next character).
bool IsDistinguishedName(WStringView text);

}  // namespace nvx::fax::directory
