// Any bytes as a stored device information value or "RenewalInfo": a value that
// is taken holds exactly its data and a renewal copy within the slot limit, and
// encodes back to the same bytes; one that is refused gives nothing.
//
// Input: a byte choosing the reader (the renewal records or one of the values),
// then the stored bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "device/device_info_format.h"

using namespace nvx::device::info;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned choice = data[0] % (kValueCount + 1);
    std::span<const uint8_t> bytes(data + 1, size - 1);
    if (choice == kValueCount) {
        auto info = DecodeRenewalInfo(bytes);
        if (!info) return 0;
        if (info->count == 0 || info->count > kRenewalMaxSlots) abort();
        if (EncodeRenewalInfo(*info).size() != bytes.size()) abort();
        for (uint32_t kind = 0; kind <= 21; ++kind) {
            if (!IsCurrent(kind, *info, *info) && !SlotsOfKind(kind).empty() && SlotsOfKind(kind).back() < info->count)
                abort();
        }
        return 0;
    }
    const Value value = static_cast<Value>(choice);
    auto stored = DecodeValue(value, bytes);
    if (!stored) return 0;
    if (stored->renewal.count > kRenewalMaxSlots) abort();
    if (SpecOf(value).size && stored->data.size() != SpecOf(value).size) abort();
    auto again = EncodeValue(value, stored->data, stored->renewal);
    if (!again || again->size() != bytes.size()) abort();
    return 0;
}
