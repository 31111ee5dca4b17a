// One device call carried over the network to the simulator.
#include "remote_call.h"

#include <chrono>


#ifndef _WIN32
#include <httplib.h>
#endif

namespace nvxo {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string ToHex(const uint8_t* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text(size * 2, '0');
    for (size_t i = 0; i < size; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 15];
    }
    return text;
}

bool FromHex(const std::string& text, std::vector<uint8_t>* out) {
    if (text.size() % 2 != 0 || text.size() / 2 > kMaxWireBlock) return false;
    out->resize(text.size() / 2);
    for (size_t i = 0; i < out->size(); ++i) {
        int hi = HexDigit(text[2 * i]), lo = HexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        (*out)[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return true;
}

RemoteAnswer ParseAnswer(const std::string& body, size_t outSize) {
    RemoteAnswer answer;
    answer.code = kCodeNoAnswer;
    json doc = json::parse(body, nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded() || !doc.is_object()) return answer;
    const json* code = Member(&doc, "code");
    if (!code || !code->is_number_unsigned() || code->get<uint64_t>() > 0xFFFFFFFFu) return answer;
    const uint32_t value = static_cast<uint32_t>(code->get<uint64_t>());
    uint64_t handle = NumberOf(Member(&doc, "handle"));
    if (value == kCodeOk && outSize > 0) {
        const json* out = Member(&doc, "out");
        if (!out || !out->is_string() || !FromHex(out->get<std::string>(), &answer.out) ||
            answer.out.size() != outSize) {
            answer.out.clear();
            return answer;
        }
    }
    answer.code = value;
    answer.handle = handle;
    return answer;
}

#ifdef _WIN32

RemoteAnswer CallRemote(const Remote&, const json&, size_t) { return RemoteAnswer{kCodeNoAnswer, 0, {}}; }

#else

RemoteAnswer CallRemote(const Remote& remote, const json& request, size_t outSize) {
    RemoteAnswer answer;
    answer.code = kCodeNoAnswer;
    if (remote.host != "127.0.0.1" || remote.port == 0 || outSize > kMaxWireBlock) return answer;
    httplib::Client client(remote.host, remote.port);
    client.set_connection_timeout(std::chrono::milliseconds(kConnectTimeoutMs));
    client.set_read_timeout(std::chrono::milliseconds(remote.timeoutMs));
    client.set_write_timeout(std::chrono::milliseconds(remote.timeoutMs));
    client.set_keep_alive(false);
    const auto started = std::chrono::steady_clock::now();
    httplib::Result result = client.Post("/oapi", request.dump(), "application/json");
    if (!result) {
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                  started);
        // A read that gave up after the whole timeout: the device did not answer in time.
        if (result.error() == httplib::Error::Read && waited.count() + 20 >= static_cast<long long>(remote.timeoutMs))
            answer.code = kCodeBusy;
        return answer;
    }
    if (result->status != 200) return answer;  // refused
    return ParseAnswer(result->body, outSize);
}

#endif

}  // namespace nvxo
