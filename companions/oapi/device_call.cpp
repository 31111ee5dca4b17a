// One call to a simulated device, and the access sessions it runs in.
#include "device_call.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "device/oapi.h"

namespace nvxo {
namespace {

namespace o = nvx::oapi;

std::mutex g_mutex;  // guards the sessions and the log files, never held across a delay
std::map<uint64_t, Session> g_sessions;
uint64_t g_nextHandle = 0;
std::atomic<int> g_inside{0};

// Handles look like "NO" followed by a counter, never 0.
constexpr uint64_t kHandleBase = 0x4E4F000000000000ull;

// The failure the profile asks for this call, if any.
std::optional<Answer> InjectedFailure(const Behaviour& b, const char* function) {
    if (b.unreachable) return Answer{o::kNoAnswer, {}};
    if (b.failCode == 0) return std::nullopt;
    if (!b.failOnly.empty() && std::find(b.failOnly.begin(), b.failOnly.end(), function) == b.failOnly.end())
        return std::nullopt;
    return Answer{b.failCode, b.failCode == o::kRefusedWithDetail ? b.failDetail : std::string()};
}

void Log(const Behaviour& b, const char* function, const std::string& address, uint32_t code, bool overlapped) {
    if (b.logPath.empty()) return;
    AppendLog(b.logPath, std::string(function) + " " + address + " " + std::to_string(code) +
                             (overlapped ? " overlap" : ""));
}

void Delay(const Behaviour& b) {
    if (b.delayMs) std::this_thread::sleep_for(std::chrono::milliseconds(b.delayMs));
}

}  // namespace

// ---- Sessions ----

uint64_t OpenSession(const std::string& address, double apiVersion) {
    std::lock_guard<std::mutex> lock(g_mutex);
    uint64_t handle = kHandleBase | ++g_nextHandle;
    Session session;
    session.address = address;
    session.apiVersion = apiVersion;
    g_sessions[handle] = session;
    return handle;
}

uint64_t OpenRemoteSession(const std::string& address, double apiVersion, const Remote& remote,
                           uint64_t remoteHandle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    uint64_t handle = kHandleBase | ++g_nextHandle;
    Session session;
    session.address = address;
    session.apiVersion = apiVersion;
    session.remote = remote;
    session.remoteHandle = remoteHandle;
    g_sessions[handle] = session;
    return handle;
}

bool EndSession(uint64_t handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_sessions.erase(handle) != 0;
}

std::optional<Session> FindSession(uint64_t handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_sessions.find(handle);
    if (it == g_sessions.end()) return std::nullopt;
    return it->second;
}

// ---- Calls ----

CallScope::CallScope() : overlapped_(g_inside.fetch_add(1) > 0) {}
CallScope::~CallScope() { g_inside.fetch_sub(1); }

void AppendLog(const std::string& path, const std::string& line) {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::ofstream out(path, std::ios::app);
    if (out) out << line << '\n';
}

uint32_t CallAtAddress(const char* function, const std::string& address,
                       const std::function<Answer(const Profile&)>& work) {
    CallScope scope;
    std::optional<Profile> profile = LoadProfile(address);
    if (!profile) return o::kNoAnswer;
    Delay(profile->behaviour);
    Answer answer = InjectedFailure(profile->behaviour, function).value_or(Answer{});
    if (answer.code == o::kOk) answer = work(*profile);
    Log(profile->behaviour, function, address, answer.code, scope.Overlapped());
    return answer.code;
}

uint32_t CallOnSession(const char* function, uint64_t handle,
                       const std::function<Answer(const Profile&, Session&)>& work) {
    CallScope scope;
    std::optional<Session> session = FindSession(handle);
    if (!session) return o::kUnknownHandle;
    std::optional<Profile> profile = LoadProfile(session->address);
    Answer answer{o::kNoAnswer, {}};
    if (profile) {
        Delay(profile->behaviour);
        answer = InjectedFailure(profile->behaviour, function).value_or(Answer{});
        if (answer.code == o::kOk) answer = work(*profile, *session);
        Log(profile->behaviour, function, session->address, answer.code, scope.Overlapped());
    }
    // Write back what the call changed, unless the session ended meanwhile.
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_sessions.find(handle);
    if (it != g_sessions.end()) {
        it->second.loggedIn = session->loggedIn;
        it->second.detail = answer.code == o::kRefusedWithDetail ? answer.detail : std::string();
    }
    return answer.code;
}

}  // namespace nvxo
