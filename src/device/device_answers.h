// Readers of the device's answers, turning the blocks of the device API into the
// cache values of device_info_format.h.  Device answers are outside data: every
// text is read within its field (a field without a terminator is cut at its
// width), every list count is checked against the entries the block can hold.
//
// Cache value layouts made here (little-endian):
//   "OpenAPIConf" (20)      f64 API version at 0, u16 port at 8, u8 flag at 10,
//                           u8 single sign-on at 11 (1: on), u32 configuration
//                           generation at 12, u32 authentication type (1 ... 6, 0) at 16;
//   "AuthCapability" (744)  authentication type text at 0 (64), account track type
//                           text at 64 (32), u8 public user at 96, u32 update count
//                           at 100, u16 authentication type at 104, rest zero;
//   "EncryptionSetting" (8) u32 key kind at 0 (1 "FactoryDefault", 2 "UserDefined",
//                           3 "Unidentified", 0 other), u32 passphrase length at 4;
//   the others are the device's blocks as they came, once checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace nvx::device::answers {

inline constexpr size_t kOpenApiConfSize = 20;
inline constexpr size_t kAuthCapabilitySize = 744;
inline constexpr size_t kEncryptionSettingSize = 8;
inline constexpr size_t kCapSummaryAuthType = 0, kCapSummaryAccountTrack = 64, kCapSummaryPublicUser = 96,
                        kCapSummaryUpdateCount = 100, kCapSummaryAuthCode = 104;

// A text field of a block: at most `width` bytes, up to the first NUL.
std::string FieldText(std::span<const BYTE> block, size_t at, size_t width);

// The summaries above; nothing when the block is not of its size.
std::optional<std::vector<BYTE>> OpenApiConfFrom(std::span<const BYTE> configuration, double apiVersion,
                                                 short authType);
std::optional<std::vector<BYTE>> AuthCapabilityFrom(std::span<const BYTE> capability);
std::optional<std::vector<BYTE>> EncryptionSettingFrom(std::span<const BYTE> encryption);

// A list answer (u32 count, then entries): taken when the block has its size and
// the count is within maxEntries; the entries behind the count are zeroed so that
// nothing of an earlier answer survives.
std::optional<std::vector<BYTE>> CheckedList(std::span<const BYTE> block, size_t entrySize, size_t maxEntries);

// The renewal stamps of a device: one per slot (6), from its address and its
// configuration generation (oapi::kConfGeneration).  Nothing when the configuration block is short.
std::optional<std::vector<std::string>> RenewalStamps(std::span<const BYTE> configuration, const char* address);

// Speed dials: the entries of one page answer appended to `entries` (u32 count
// first, as the cache keeps them).  Answers the entries the page held, or
// nothing when the page's count is past its entries or would pass `limit`.
std::optional<size_t> AppendAbbrPage(std::span<const BYTE> page, size_t limit, std::vector<BYTE>* entries);

}  // namespace nvx::device::answers
