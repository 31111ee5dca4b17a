// Any bytes as a stored device information value or "RenewalInfo", and as each
// device answer the acquisition reads: a value that is taken holds exactly its
// data and a renewal copy within the slot limit, and encodes back to the same
// bytes; an answer that is taken gives a value of its cache size with its count
// within the list.
//
// Input: a byte choosing the reader (the renewal records, one of the values, or
// one of the device answers), then the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/le.h"
#include "device/device_answers.h"
#include "device/device_info_format.h"
#include "device/oapi.h"
#include <vector>

using namespace nvx::device::info;

namespace answers = nvx::device::answers;
namespace oapi = nvx::oapi;

// A device block of its fixed size made of the input (cut or padded with zeros).
std::vector<uint8_t> Block(std::span<const uint8_t> bytes, size_t size) {
    std::vector<uint8_t> block(size, 0);
    for (size_t i = 0; i < size && i < bytes.size(); ++i) block[i] = bytes[i];
    return block;
}

void CheckList(std::span<const uint8_t> bytes, size_t entrySize, size_t entries) {
    auto list = answers::CheckedList(Block(bytes, 4 + entrySize * entries), entrySize, entries);
    if (list && (list->size() != 4 + entrySize * entries || nvx::GetLE32(list->data()) > entries)) abort();
}

// The device answers; false when the choice is not one of them.
bool DeviceAnswer(unsigned which, std::span<const uint8_t> bytes) {
    switch (which) {
        case 0: {
            auto conf = answers::OpenApiConfFrom(Block(bytes, oapi::kConfigurationSize), 3.5, 1);
            auto stamps = answers::RenewalStamps(Block(bytes, oapi::kConfigurationSize), "192.0.2.1");
            if (!conf || conf->size() != answers::kOpenApiConfSize || !stamps || stamps->size() != 6) abort();
            return true;
        }
        case 1: {
            auto cap = answers::AuthCapabilityFrom(Block(bytes, oapi::kCapabilitySize));
            if (!cap || cap->size() != answers::kAuthCapabilitySize || (*cap)[63] != 0 || (*cap)[95] != 0) abort();
            return true;
        }
        case 2: {
            auto enc = answers::EncryptionSettingFrom(Block(bytes, oapi::kEncryptionSettingSize));
            if (!enc || nvx::GetLE32(enc->data() + 4) > oapi::kEncPassphraseSize) abort();
            return true;
        }
        case 3: CheckList(bytes, oapi::kTintBlockEntrySize, oapi::kTintBlockEntries); return true;
        case 4: CheckList(bytes, oapi::kHeaderFooterEntrySize, oapi::kHeaderFooterEntries); return true;
        case 5: CheckList(bytes, oapi::kOverlayEntrySize, oapi::kOverlayEntries); return true;
        case 6: {
            std::vector<uint8_t> entries;
            for (int page = 0; page < 3; ++page) {
                auto added = answers::AppendAbbrPage(Block(bytes, oapi::kAbbrPageSize), kAbbrMaxEntries, &entries);
                if (!added) break;
                if (*added > oapi::kAbbrPageEntries) abort();
            }
            if (!entries.empty() && entries.size() != 4 + size_t(nvx::GetLE32(entries.data())) * kAbbrEntrySize)
                abort();
            return true;
        }
        default: return false;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned choice = data[0] % (kValueCount + 1 + 7);
    std::span<const uint8_t> bytes(data + 1, size - 1);
    if (choice > kValueCount) {
        DeviceAnswer(choice - kValueCount - 1, bytes);
        return 0;
    }
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
    if (DefOf(value).size && stored->data.size() != DefOf(value).size) abort();
    auto again = EncodeValue(value, stored->data, stored->renewal);
    if (!again || again->size() != bytes.size()) abort();
    return 0;
}
