// The device simulator: answers the device API's calls over HTTP on the loopback
// (the wire of remote_call.h) from one device profile, with faults injected per
// call on demand.  `novrix device serve` runs it; tests run it in their own process.
//
// Faults, per function name ("*" for every call), from the profile's "faults"
// object and from Options::faults (which win for the same name), read afresh on
// every call:
//   "noanswer"  the call is never answered (the caller's timeout ends it);
//   "refuse"    the call is refused (HTTP 503, no answer);
//   "delay:N"   the answer comes after N ms (at most 10,000);
//   "drop"      the connection is closed half-way through the answer;
//   "malformed" the answer is not the wire's JSON;
//   "busy:K"    the first K calls of that function answer code 6 (busy).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace nvxo {

struct ServerOptions {
    std::string profile;                        // the profile file
    std::string host = "127.0.0.1";             // only the loopback is accepted
    uint16_t port = 0;                          // 0: any free port
    std::map<std::string, std::string> faults;  // function (or "*") -> fault
};

// Parses one fault text; false when it is none of the forms above.
bool ValidFault(const std::string& fault);

// The component's code in a process answers from one served profile at a time
// (ServeProfileFile): several servers in one process share the last one started.
class DeviceServer {
public:
    DeviceServer();
    ~DeviceServer();  // stops it
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Binds the port and starts answering on a thread of its own.  False with a
    // reason when the host is not the loopback, the profile cannot be read or the
    // port cannot be bound.
    bool Start(const ServerOptions& options, std::string* error);
    uint16_t Port() const;
    // How many calls were answered (or refused, dropped ...) so far.
    uint64_t Calls() const;
    // Stops answering, wakes every call that waits, and joins the thread.
    void Stop();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace nvxo
