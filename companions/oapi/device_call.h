// One call to a simulated device, and the access sessions it runs in.
//
// Every call that reaches a device runs the same steps: note whether another call
// is inside the component at the same moment (the log line then says "overlap"),
// read the device's profile afresh, wait the profile's delay, apply the failures the
// profile asks for, run the call's own work, keep the detail text of a code 4 for
// OAPIGetErrorDetail, and append one line to the profile's log:
//     <function> <address> <code>[ overlap]
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device_profile.h"

namespace nvxo {

// What a call's own work answers.
struct Answer {
    uint32_t code = 0;
    std::string detail;  // kept only with code 4
};

// An access session: what OAPIAccessInit opened.
struct Session {
    std::string address;
    double apiVersion = 0;
    bool loggedIn = false;
    std::string detail;  // detail of the last call on this session
    std::optional<Remote> remote;  // set: the session lives in the simulator ...
    uint64_t remoteHandle = 0;     // ... under this handle
};

// ---- Sessions ----
uint64_t OpenSession(const std::string& address, double apiVersion);
// A session opened in the simulator, known here by a handle of this component.
uint64_t OpenRemoteSession(const std::string& address, double apiVersion, const Remote& remote,
                           uint64_t remoteHandle);
// Ends a session; false when the handle is unknown.
bool EndSession(uint64_t handle);
std::optional<Session> FindSession(uint64_t handle);

// ---- Calls ----

// Marks a call as inside the component for its lifetime (overlap detection).
class CallScope {
public:
    CallScope();
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
    bool Overlapped() const { return overlapped_; }

private:
    bool overlapped_;
};

// A call addressed to a device by its address.  No profile: code 1.
uint32_t CallAtAddress(const char* function, const std::string& address,
                       const std::function<Answer(const Profile&)>& work);

// A call on an access session; the work may change the session (login state).
// Unknown handle: code 3; no profile any more: code 1.
uint32_t CallOnSession(const char* function, uint64_t handle,
                       const std::function<Answer(const Profile&, Session&)>& work);

// Appends one line to a log file (thread-safe).
void AppendLog(const std::string& path, const std::string& line);

}  // namespace nvxo
