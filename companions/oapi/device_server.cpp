// The device simulator: the device API's calls over HTTP on the loopback.
#include "device_server.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "block_writer.h"
#include "device_dispatch.h"
#include "device_profile.h"
#include "remote_call.h"

namespace nvxo {
namespace {

constexpr unsigned kMaxFaultDelayMs = 10000;
constexpr unsigned kNoAnswerHoldMs = 30000;

enum class FaultKind { None, NoAnswer, Refuse, Delay, Drop, Malformed, Busy };
struct Fault {
    FaultKind kind = FaultKind::None;
    unsigned value = 0;
};

Fault ParseFault(const std::string& text) {
    auto number = [](const std::string& digits, unsigned* out) {
        if (digits.empty() || digits.size() > 9) return false;
        unsigned v = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + static_cast<unsigned>(c - '0');
        }
        *out = v;
        return true;
    };
    Fault f;
    if (text == "noanswer") f.kind = FaultKind::NoAnswer;
    else if (text == "refuse") f.kind = FaultKind::Refuse;
    else if (text == "drop") f.kind = FaultKind::Drop;
    else if (text == "malformed") f.kind = FaultKind::Malformed;
    else if (text.rfind("delay:", 0) == 0 && number(text.substr(6), &f.value)) f.kind = FaultKind::Delay;
    else if (text.rfind("busy:", 0) == 0 && number(text.substr(5), &f.value)) f.kind = FaultKind::Busy;
    return f;
}

}  // namespace

bool ValidFault(const std::string& fault) { return ParseFault(fault).kind != FaultKind::None; }

struct DeviceServer::State {
    ServerOptions options;
    httplib::Server server;
    std::thread thread;
    uint16_t port = 0;
    std::atomic<uint64_t> calls{0};
    std::mutex mutex;  // guards stopping and busyCounts
    std::condition_variable wake;
    bool stopping = false;
    std::map<std::string, unsigned> busyCounts;

    // Waits up to ms, or less when the server stops.  Answers false when stopping.
    bool Wait(unsigned ms) {
        std::unique_lock<std::mutex> lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping; });
    }

    Fault FaultFor(const std::string& fn) {
        auto pick = [&](const std::map<std::string, std::string>& faults) -> std::optional<std::string> {
            if (auto it = faults.find(fn); it != faults.end()) return it->second;
            if (auto it = faults.find("*"); it != faults.end()) return it->second;
            return std::nullopt;
        };
        std::optional<std::string> text = pick(options.faults);
        if (!text) {
            std::map<std::string, std::string> fromProfile;
            if (std::optional<Profile> p = LoadProfile("served")) {
                if (const json* faults = Member(&p->doc, "faults"); faults && faults->is_object())
                    for (auto it = faults->begin(); it != faults->end(); ++it) fromProfile[it.key()] = TextOf(&it.value());
            }
            text = pick(fromProfile);
        }
        return text ? ParseFault(*text) : Fault{};
    }

    void Answer(const httplib::Request& request, httplib::Response& response) {
        calls.fetch_add(1);
        json body = json::parse(request.body, nullptr, /*allow_exceptions=*/false);
        if (body.is_discarded() || !body.is_object()) {
            response.status = 400;
            return;
        }
        const std::string fn = TextOf(Member(&body, "fn"));
        const Fault fault = FaultFor(fn);
        switch (fault.kind) {
            case FaultKind::NoAnswer:
                Wait(kNoAnswerHoldMs);
                response.status = 503;
                return;
            case FaultKind::Refuse: response.status = 503; return;
            case FaultKind::Malformed: response.set_content("{\"code\": ", "application/json"); return;
            case FaultKind::Delay:
                if (!Wait(fault.value < kMaxFaultDelayMs ? fault.value : kMaxFaultDelayMs)) {
                    response.status = 503;
                    return;
                }
                break;
            case FaultKind::Busy: {
                std::lock_guard<std::mutex> lock(mutex);
                if (busyCounts[fn] < fault.value) {
                    ++busyCounts[fn];
                    response.set_content(json{{"code", kCodeBusy}}.dump(), "application/json");
                    return;
                }
                break;
            }
            default: break;
        }
        const uint64_t outSize = NumberOf(Member(&body, "outSize"));
        if (outSize > kMaxWireBlock) {
            response.status = 400;
            return;
        }
        std::vector<uint8_t> out(outSize, 0);
        uint64_t handle = 0;
        uint32_t code = Dispatch(fn, body, out, &handle);
        json answer = {{"code", code}};
        if (handle) answer["handle"] = handle;
        if (code == kCodeOk && outSize) answer["out"] = ToHex(out.data(), out.size());
        std::string text = answer.dump();
        if (fault.kind == FaultKind::Drop) {
            // Promise the whole answer, send half of it, then close the connection.
            auto shared = std::make_shared<std::string>(std::move(text));
            response.set_content_provider(shared->size(), "application/json",
                                          [shared](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset == 0) sink.write(shared->data(), shared->size() / 2);
                                              return offset == 0;
                                          });
            return;
        }
        response.set_content(text, "application/json");
    }
};

DeviceServer::DeviceServer() : state_(std::make_unique<State>()) {}

DeviceServer::~DeviceServer() { Stop(); }

bool DeviceServer::Start(const ServerOptions& options, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (options.host != "127.0.0.1" && options.host != "localhost")
        return fail("the simulator listens on the loopback only (127.0.0.1)");
    for (const auto& [fn, fault] : options.faults)
        if (!ValidFault(fault)) return fail("unknown fault \"" + fault + "\" for " + fn);
    ServeProfileFile(options.profile);
    if (!LoadProfile("served")) {
        ServeProfileFile("");
        return fail("cannot read the profile " + options.profile + " (a JSON object)");
    }
    state_->options = options;
    state_->server.Post("/oapi", [this](const httplib::Request& request, httplib::Response& response) {
        state_->Answer(request, response);
    });
    int port = options.port ? (state_->server.bind_to_port("127.0.0.1", options.port) ? options.port : -1)
                            : state_->server.bind_to_any_port("127.0.0.1");
    if (port <= 0) return fail("cannot listen on 127.0.0.1:" + std::to_string(options.port));
    state_->port = static_cast<uint16_t>(port);
    state_->thread = std::thread([this] { state_->server.listen_after_bind(); });
    return true;
}

uint16_t DeviceServer::Port() const { return state_->port; }

uint64_t DeviceServer::Calls() const { return state_->calls.load(); }

void DeviceServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    state_->server.stop();
    if (state_->thread.joinable()) state_->thread.join();
}

}  // namespace nvxo
