// Readers of the device's answers.
#include "device/device_answers.h"

#include <cstring>

#include "common/le.h"
#include "device/device_info_format.h"
#include "device/oapi.h"
#include "device/oapi_connection.h"

namespace nvx::device::answers {

std::string FieldText(std::span<const BYTE> block, size_t at, size_t width) {
    if (at >= block.size()) return {};
    if (width > block.size() - at) width = block.size() - at;
    const char* p = reinterpret_cast<const char*>(block.data() + at);
    return std::string(p, strnlen(p, width));
}

namespace {

void PutText(std::vector<BYTE>& out, size_t at, size_t width, const std::string& text) {
    std::memcpy(out.data() + at, text.data(), text.size() < width ? text.size() : width - 1);
}

}  // namespace

std::optional<std::vector<BYTE>> OpenApiConfFrom(std::span<const BYTE> configuration, double apiVersion,
                                                 short authType) {
    if (configuration.size() != oapi::kConfigurationSize) return std::nullopt;
    std::vector<BYTE> out(kOpenApiConfSize, 0);
    uint64_t bits;
    std::memcpy(&bits, &apiVersion, sizeof bits);
    PutLE64(out.data(), bits);
    PutLE16(out.data() + 8, GetLE16(configuration.data() + oapi::kConfPort));
    out[10] = configuration[oapi::kConfFlag];
    out[11] = configuration[oapi::kConfSignOnData] != 0 ? 1 : 0;
    PutLE32(out.data() + 12, GetLE32(configuration.data() + oapi::kConfGeneration));
    PutLE32(out.data() + 16, authType >= 1 && authType <= 6 ? static_cast<uint32_t>(authType) : 0);
    return out;
}

std::optional<std::vector<BYTE>> AuthCapabilityFrom(std::span<const BYTE> capability) {
    if (capability.size() != oapi::kCapabilitySize) return std::nullopt;
    std::vector<BYTE> out(kAuthCapabilitySize, 0);
    const std::string type = FieldText(capability, oapi::kCapAuthType, oapi::kCapAuthTypeSize);
    PutText(out, kCapSummaryAuthType, 64, type);
    PutText(out, kCapSummaryAccountTrack, 32, FieldText(capability, oapi::kCapAccountTrack, oapi::kCapAccountTrackSize));
    out[kCapSummaryPublicUser] = capability[oapi::kCapPublicUser] == 1 ? 1 : 0;
    PutLE32(out.data() + kCapSummaryUpdateCount, GetLE32(capability.data() + oapi::kCapUpdateCount));
    PutLE16(out.data() + kCapSummaryAuthCode, static_cast<uint16_t>(AuthTypeFromText(type.c_str())));
    return out;
}

std::optional<std::vector<BYTE>> EncryptionSettingFrom(std::span<const BYTE> encryption) {
    if (encryption.size() != oapi::kEncryptionSettingSize) return std::nullopt;
    std::vector<BYTE> out(kEncryptionSettingSize, 0);
    const std::string kind = FieldText(encryption, oapi::kEncKeyKind, oapi::kEncKeyKindSize);
    uint32_t code = kind == "FactoryDefault" ? 1 : kind == "UserDefined" ? 2 : kind == "Unidentified" ? 3 : 0;
    PutLE32(out.data(), code);
    PutLE32(out.data() + 4,
            static_cast<uint32_t>(FieldText(encryption, oapi::kEncPassphrase, oapi::kEncPassphraseSize).size()));
    return out;
}

std::optional<std::vector<BYTE>> CheckedList(std::span<const BYTE> block, size_t entrySize, size_t maxEntries) {
    if (block.size() != oapi::kListHeaderSize + entrySize * maxEntries) return std::nullopt;
    const uint32_t count = GetLE32(block.data());
    if (count > maxEntries) return std::nullopt;
    std::vector<BYTE> out(block.begin(), block.end());
    std::memset(out.data() + oapi::kListHeaderSize + size_t(count) * entrySize, 0, (maxEntries - count) * entrySize);
    return out;
}

std::optional<std::vector<std::string>> RenewalStamps(std::span<const BYTE> configuration, const char* address) {
    if (configuration.size() != oapi::kConfigurationSize || !address) return std::nullopt;
    const uint32_t generation = GetLE32(configuration.data() + oapi::kConfGeneration);
    std::vector<std::string> stamps;
    for (int slot = 0; slot < 6; ++slot)
        stamps.push_back(std::string(address, strnlen(address, oapi::kAddressMax)) + "#" +
                         std::to_string(generation) + "#" + std::to_string(slot));
    return stamps;
}

std::optional<size_t> AppendAbbrPage(std::span<const BYTE> page, size_t limit, std::vector<BYTE>* entries) {
    if (page.size() != oapi::kAbbrPageSize || !entries) return std::nullopt;
    const uint32_t count = GetLE32(page.data());
    if (count > oapi::kAbbrPageEntries) return std::nullopt;
    if (entries->size() < 4) entries->assign(4, 0);
    const uint32_t held = GetLE32(entries->data());
    if (size_t(held) + count > limit) return std::nullopt;
    static_assert(oapi::kAbbrEntrySize == info::kAbbrEntrySize);
    const BYTE* first = page.data() + oapi::kListHeaderSize;
    entries->insert(entries->end(), first, first + size_t(count) * oapi::kAbbrEntrySize);
    PutLE32(entries->data(), held + count);
    return count;
}

}  // namespace nvx::device::answers
