// The device information cache of a printer, per user: the values of
// device_info_format.h in the key "Software\<maker>\<driver>\<printer>\DeviceInfo"
// of HKEY_CURRENT_USER.
//
// Readers answer a fresh copy of the data or nothing: a missing value, a failed
// read, a value of another type or size, one whose renewal copy does not match
// the current "RenewalInfo" (stale), one that does not decipher, and running out
// of memory all read as "no data".  Without a readable "RenewalInfo" no value
// reads at all.  Writers store the data with a copy of the current renewal
// records and answer whether the store took it; a write that fails (no current
// renewal records, data of the wrong size, a cipher that refuses, the store
// refusing) leaves the old value as it was.  WriteTaken stores a value with the
// renewal records it was taken under, without a stored "RenewalInfo".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "device/binary_cipher.h"
#include "device/device_info_format.h"
#include "model/stores.h"

namespace nvx::device {

inline constexpr const WCHAR* kDeviceInfoSubkey = WL("DeviceInfo");

// Opens the printer's per-user "DeviceInfo" key; with create, creates it (all
// access).  Answers the registry's or spooler's code.
LSTATUS OpenDeviceInfoKey(HANDLE printer, model::RegKey* key, bool create);

class DeviceInfoCache {
public:
    // Not owning: the store and the cipher must outlive the cache.
    DeviceInfoCache(const model::ValueStore& store, const BinaryCipher& cipher) : store_(store), cipher_(cipher) {}

    std::optional<info::RenewalInfo> Renewal() const;
    bool WriteRenewal(const info::RenewalInfo& renewal) const;

    std::optional<std::vector<BYTE>> Read(info::Value value) const;
    bool Write(info::Value value, std::span<const BYTE> data) const;
    // Stores the data with the renewal records it was taken under (the device's
    // stamps at that moment) instead of the stored "RenewalInfo", which it neither
    // needs nor changes: a value written by a step that asked the device but did
    // not fetch everything.  Readers take it only while the stored "RenewalInfo"
    // holds the same stamps for its slots.  Refused as Write refuses, and for
    // records that are not 1 to 20 whole ones.
    bool WriteTaken(info::Value value, std::span<const BYTE> data, const info::RenewalInfo& taken) const;

    // What one value holds, for a person: its state, its stored size and when the
    // renewal records it carries were taken (seconds since 1970, 0 when unknown).
    enum class State { Current, Stale, Missing, Unreadable };
    struct Entry {
        info::Value value;
        State state = State::Missing;
        size_t storedBytes = 0;
        uint64_t takenAt = 0;
    };
    Entry Describe(info::Value value) const;

private:
    bool Store(info::Value value, std::span<const BYTE> data, const info::RenewalInfo& renewal) const;
    // The plain stored form (deciphered when the value is enciphered).
    std::optional<info::StoredValue> Load(info::Value value, size_t* storedBytes) const;

    model::ValueStore store_;
    const BinaryCipher& cipher_;
};

}  // namespace nvx::device
