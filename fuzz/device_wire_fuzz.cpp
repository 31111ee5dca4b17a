// Any bytes as the device simulator's answer to one call (the wire of
// companions/oapi/remote_call.h): an answer that is taken has a block of exactly
// the size asked for (or none when the call failed); one that is refused is
// "no answer" with no block.
//
// Input: two bytes choosing the block size asked for (0 ... 65535), then the answer text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "remote_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t outSize = size_t(data[0]) | (size_t(data[1]) << 8);
    const std::string body(reinterpret_cast<const char*>(data + 2), size - 2);
    nvxo::RemoteAnswer answer = nvxo::ParseAnswer(body, outSize);
    if (answer.code == nvxo::kCodeOk && outSize > 0 && answer.out.size() != outSize) abort();
    if (answer.code != nvxo::kCodeOk && !answer.out.empty()) abort();
    std::vector<uint8_t> bytes;
    if (nvxo::FromHex(body, &bytes) && nvxo::ToHex(bytes.data(), bytes.size()).size() != body.size()) abort();
    return 0;
}
