// The simulated devices: one JSON profile per device address.
//
// Profiles live in one folder: the environment variable NOVRIX_DEVICE_PROFILES,
// else "profiles" beside this library.  The device at address A is described by
// "<A>.json" (characters other than letters, digits, '.' and '-' become '_' in the
// file name); an address without a profile is a device that does not answer.
// A control file "<A>.control.json" beside it, when present, overrides the
// profile's "behaviour" member by member; both are read afresh on every call, so
// tests can change a device between two calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "block_writer.h"

namespace nvxo {

// How the device misbehaves on demand.
struct Behaviour {
    bool unreachable = false;           // every call: code 1 (no access handle)
    unsigned failCode = 0;              // non-zero: calls answer this code ...
    std::string failDetail;             // ... with this detail text (for code 4)
    std::vector<std::string> failOnly;  // ... only these functions (empty: all)
    bool refuseLogin = false;           // logins: code 4 with refuseDetail
    std::string refuseDetail = "AuthAccessDenied";
    unsigned delayMs = 0;               // every call waits this long first (at most kMaxDelayMs)
    std::string logPath;                // one line per call appended here (empty: none)
};

constexpr unsigned kMaxDelayMs = 10000;

struct Profile {
    json doc;  // the whole profile, an object
    Behaviour behaviour;
};

// The folder of the profiles (no trailing separator).
std::string ProfilesFolder();

// The profile of the device at address; nothing when there is no readable profile
// that is a JSON object.
std::optional<Profile> LoadProfile(const std::string& address);

}  // namespace nvxo
