// One device call carried over the network to the simulator (novrix device serve).
//
// The wire: an HTTP POST of a JSON request to "/oapi" on the loopback,
//   {"fn": name, "handle": u64, "address": text, "v": [u64...], "d": [f64...],
//    "s": [text...], "in": hex, "outSize": n}
// answered with
//   {"code": u32, "handle": u64, "out": hex}
// where "out" holds exactly outSize bytes (the call's output block) or is absent.
// Every wait is bounded: connecting by kConnectTimeoutMs, the answer by the
// profile's timeout.  Transport failures become device codes: nobody listening,
// a refused call and a connection dropped before the whole answer arrived give
// kNoAnswer; no answer within the timeout gives kBusy; an answer that is not the
// JSON above, or whose block has another size, gives kNoAnswer.
//
// The network transport exists on Linux; the Windows build answers every
// network device as one that cannot be reached (kNoAnswer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "block_writer.h"
#include "device_profile.h"

namespace nvxo {

// The two device codes the transport itself answers (device/oapi.h's kNoAnswer
// and kBusy; this header stays free of the Win32 declarations, which clash with
// the socket headers the transport needs).
constexpr uint32_t kCodeOk = 0;
constexpr uint32_t kCodeNoAnswer = 1;
constexpr uint32_t kCodeBadParameter = 2;
constexpr uint32_t kCodeBusy = 6;

constexpr unsigned kConnectTimeoutMs = 1000;
constexpr size_t kMaxWireBlock = 1u << 20;  // larger than any block of the interface
// The block of the installed options' answer (NvxDevice_GetInstalledOptions).
constexpr size_t kInstalledOptionsBlock = 4096;

struct RemoteAnswer {
    uint32_t code = kCodeNoAnswer;
    uint64_t handle = 0;
    std::vector<uint8_t> out;  // exactly outSize bytes when code is 0 and a block was asked for
};

RemoteAnswer CallRemote(const Remote& remote, const json& request, size_t outSize);

// The simulator's answer text read as the wire says: a JSON object with an
// unsigned "code", an optional "handle", and for a successful call that asked for
// a block an "out" of exactly outSize bytes.  Anything else gives kCodeNoAnswer
// with no block.
RemoteAnswer ParseAnswer(const std::string& body, size_t outSize);

std::string ToHex(const uint8_t* data, size_t size);
// False for anything but pairs of hex digits.
bool FromHex(const std::string& text, std::vector<uint8_t>* out);

}  // namespace nvxo
