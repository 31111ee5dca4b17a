// The stored form of the device information cache, apart from where it is stored.
//
// The cache of a printer is a set of binary values (device_info_cache.h keeps them
// in the per-user key "...\DeviceInfo").  "RenewalInfo" holds the current renewal
// records; every other value carries a copy of the renewal records that were
// current when it was written, and counts as stale as soon as one stamp it
// depends on differs from the current one.
//
// Layouts (little-endian, byte-packed):
//   "RenewalInfo"  u32 count (1 ... 20), then count renewal records;
//   renewal record 324 bytes: slot label at 0 (64, narrow text), u64 time the
//                  stamps were taken at 64 (seconds since 1970, UTC), stamp at 260
//                  (64 bytes, compared byte for byte);
//   a value        its data (the fixed size of its row below), u32 count n, then n
//                  renewal records;
//   "Abbr"         u32 entry count (at most kAbbrMaxEntries), that many speed-dial
//                  entries of 296 bytes, u32 count n, n renewal records.
// Values marked enciphered are stored through the printer's binary cipher as a
// whole (data and renewal copy).
//
// Every decoder here takes outside bytes: sizes and counts are checked against
// the bytes actually present before anything is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::device::info {

// ---- Renewal records ----
inline constexpr size_t kRenewalHeaderSize = 4;
inline constexpr size_t kRenewalRecordSize = 324;
inline constexpr size_t kRenewalLabel = 0, kRenewalLabelSize = 64;
inline constexpr size_t kRenewalTime = 64;  // u64
inline constexpr size_t kRenewalStamp = 260, kRenewalStampSize = 64;
inline constexpr uint32_t kRenewalMaxSlots = 20;
static_assert(kRenewalStamp + kRenewalStampSize == kRenewalRecordSize);
static_assert(kRenewalTime + 8 <= kRenewalStamp && kRenewalLabel + kRenewalLabelSize <= kRenewalTime);

// The renewal slots a value kind depends on (the fixed slot table); empty for a
// kind no slot lists.
std::vector<uint32_t> SlotsOfKind(uint32_t kind);

// The current renewal records, or what a stored value carries.
struct RenewalInfo {
    uint32_t count = 0;
    std::vector<BYTE> records;  // count * kRenewalRecordSize

    const BYTE* Record(uint32_t slot) const {
        return slot < count ? records.data() + size_t(slot) * kRenewalRecordSize : nullptr;
    }
    // Seconds since 1970 of slot 0's time stamp; 0 without records.
    uint64_t TakenAt() const;
};

// A renewal info of `count` records with the given stamps (one per slot; a
// shorter stamp is padded with zeros, a longer one cut), each labelled and dated.
RenewalInfo MakeRenewalInfo(const std::vector<std::string>& stamps, uint64_t takenAt);

// "RenewalInfo" as stored: exactly kRenewalHeaderSize + count records, count
// 1 ... kRenewalMaxSlots.  Nothing for anything else.
std::optional<RenewalInfo> DecodeRenewalInfo(std::span<const BYTE> stored);
std::vector<BYTE> EncodeRenewalInfo(const RenewalInfo& info);

// Whether a value of `kind` that carries `copy` is still current: for every slot
// the kind depends on, both hold that slot and its stamps are equal.
bool IsCurrent(uint32_t kind, const RenewalInfo& copy, const RenewalInfo& current);

// ---- The values ----
enum class Value {
    AuthCapability,
    OpenApiConf,
    EncryptionSetting,
    Configuration,
    EncryptionInfo,
    HeaderFooter,
    Overlay,
    TintBlock,
    IccProfile,
    AbbrConfiguration,
    Abbr,
};
inline constexpr size_t kValueCount = 11;

struct ValueDef {
    Value value;
    const WCHAR* name;     // the registry value name
    size_t size;           // data bytes; 0 for "Abbr" (its size follows its count)
    uint32_t kind;         // for the renewal slot table
    bool enciphered;       // stored through the printer's binary cipher
    const char* label;     // what a person calls it
};
const ValueDef& DefOf(Value value);
std::span<const ValueDef> AllValues();
inline constexpr const WCHAR* kRenewalInfoName = WL("RenewalInfo");

inline constexpr size_t kAbbrEntrySize = 296;
inline constexpr uint32_t kAbbrMaxEntries = 2000;

// The plain stored form of a value: its data and the renewal copy.  Nothing when
// the data does not have the value's size (for "Abbr": a u32 count within
// kAbbrMaxEntries and exactly that many entries).
std::optional<std::vector<BYTE>> EncodeValue(Value value, std::span<const BYTE> data, const RenewalInfo& current);

// What a plain stored form holds: the data (for "Abbr" with its count) and the
// renewal copy.  Nothing for a short or overlong form, a count past the bytes
// present, or more than kRenewalMaxSlots records.
struct StoredValue {
    std::vector<BYTE> data;
    RenewalInfo renewal;
};
std::optional<StoredValue> DecodeValue(Value value, std::span<const BYTE> plain);

}  // namespace nvx::device::info
