// The single sign-on exchange's texts: the service principal name the Kerberos
// context is made for, and the Base64 forms of the tokens that travel to and
// from the device (OAPIGetSingleSignOnInfo, at most 24,000 bytes each way,
// terminator included).  Base64 is the platform's (CryptBinaryToStringA,
// CryptStringToBinaryA).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/sspi.h"

namespace nvx::device {

// "service/host@domain", or "service/host" without a domain; each part taken up
// to its first NUL within its field.  Nothing when the service or the host is
// empty.
std::optional<std::string> ServicePrincipalName(std::span<const BYTE> service, std::span<const BYTE> host,
                                                const std::string& domain);

// The user's DNS domain from a "DOMAIN\user" name (GetUserNameExW, NameDnsDomain);
// empty when there is none.
std::string DomainOfDnsName(const std::string& dnsName);

// A token as Base64 without line ends; nothing when the text with its terminator
// would not fit the exchange (kSignOnTokenSize) or the platform refuses.
std::optional<std::string> EncodeSignOnToken(std::span<const BYTE> token);

// The device's answer: the Base64 text up to its first NUL within `size` bytes,
// decoded.  Nothing for an empty, unterminated or malformed answer.
std::optional<std::vector<BYTE>> DecodeSignOnAnswer(const char* answer, size_t size);

}  // namespace nvx::device
