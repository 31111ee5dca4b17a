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

#include <cstdint>
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

// A device reached over the network: the simulator (novrix device serve) on the
// loopback.
struct Remote {
    std::string host;           // "127.0.0.1" (the only host accepted)
    uint16_t port = 0;
    unsigned timeoutMs = 5000;  // how long one call waits for its answer (50 ... 30000)
};
constexpr unsigned kDefaultRemoteTimeoutMs = 5000;
constexpr unsigned kMaxRemoteTimeoutMs = 30000;

struct Profile {
    json doc;  // the whole profile, an object
    Behaviour behaviour;
    std::optional<Remote> remote;  // "remote": "127.0.0.1:PORT" or {"address": ..., "timeoutMs": n}
};

// "127.0.0.1:PORT" (or "localhost:PORT") with a port 1 ... 65535; nothing for any
// other text, so that the component never reaches past the loopback.
std::optional<Remote> ParseLoopbackAddress(const std::string& text);

// Where the device at address answers: over the network when its profile names a
// remote simulator, or when it has no profile and the address itself is a
// loopback address and port; nothing for a device answered in this process.
std::optional<Remote> RemoteFor(const std::string& address);

// The simulator's side: from now on every address is answered from this one
// profile file (its control file is "<file minus .json>.control.json"), and no
// profile is forwarded anywhere.  An empty path ends it.
void ServeProfileFile(const std::string& path);

// The folder of the profiles (no trailing separator).
std::string ProfilesFolder();

// The profile of the device at address; nothing when there is no readable profile
// that is a JSON object.
std::optional<Profile> LoadProfile(const std::string& address);

}  // namespace nvxo
