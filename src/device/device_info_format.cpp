// The stored form of the device information cache.
#include "device/device_info_format.h"

#include <algorithm>
#include <cstring>

#include "common/le.h"

namespace nvx::device::info {
namespace {

// Slot -> the kinds whose values depend on its stamp.
struct SlotRow {
    uint32_t slot;
    uint32_t kinds[6];
    size_t count;
};
constexpr SlotRow kSlotTable[] = {
    {0, {0, 1, 2}, 3},
    {1, {3, 0, 6, 7, 4, 5}, 6},
    {2, {8, 9}, 2},
    {3, {10, 11, 12, 13, 14}, 5},
    {4, {15, 16, 10, 12, 17, 18}, 6},
    {5, {19, 20}, 2},
};

constexpr ValueDef kValues[kValueCount] = {
    {Value::AuthCapability, WL("AuthCapability"), 744, 10, false, "Authentication capability"},
    {Value::OpenApiConf, WL("OpenAPIConf"), 20, 5, false, "Device API configuration"},
    {Value::EncryptionSetting, WL("EncryptionSetting"), 8, 13, false, "Encryption setting"},
    {Value::Configuration, WL("Configuration"), 344, 12, false, "Device configuration"},
    {Value::EncryptionInfo, WL("EncryptionInfo"), 64, 14, true, "Encryption key"},
    {Value::HeaderFooter, WL("HeaderFooter"), 20004, 16, true, "Header/footer programs"},
    {Value::Overlay, WL("Overlay"), 18404, 15, true, "Overlays"},
    {Value::TintBlock, WL("TintBlock"), 388, 17, true, "Tint blocks"},
    {Value::IccProfile, WL("IccProfile"), 5364, 18, true, "Colour profile"},
    {Value::AbbrConfiguration, WL("AbbrConfiguration"), 16, 19, true, "Speed-dial configuration"},
    {Value::Abbr, WL("Abbr"), 0, 20, true, "Speed dials"},
};

// The renewal copy at the end of a stored form: u32 n, then exactly n records.
std::optional<RenewalInfo> DecodeCopy(std::span<const BYTE> tail) {
    if (tail.size() < 4) return std::nullopt;
    const uint32_t n = GetLE32(tail.data());
    if (n > kRenewalMaxSlots || tail.size() - 4 != size_t(n) * kRenewalRecordSize) return std::nullopt;
    RenewalInfo info;
    info.count = n;
    info.records.assign(tail.begin() + 4, tail.end());
    return info;
}

void AppendCopy(std::vector<BYTE>& out, const RenewalInfo& info) {
    const size_t at = out.size();
    out.resize(at + 4);
    PutLE32(out.data() + at, info.count);
    out.insert(out.end(), info.records.begin(), info.records.end());
}

}  // namespace

std::vector<uint32_t> SlotsOfKind(uint32_t kind) {
    std::vector<uint32_t> slots;
    for (const SlotRow& row : kSlotTable) {
        if (std::find(row.kinds, row.kinds + row.count, kind) != row.kinds + row.count) slots.push_back(row.slot);
    }
    return slots;
}

uint64_t RenewalInfo::TakenAt() const {
    const BYTE* first = Record(0);
    return first && records.size() >= kRenewalRecordSize ? GetLE64(first + kRenewalTime) : 0;
}

RenewalInfo MakeRenewalInfo(const std::vector<std::string>& stamps, uint64_t takenAt) {
    RenewalInfo info;
    info.count = static_cast<uint32_t>(std::min<size_t>(stamps.size(), kRenewalMaxSlots));
    info.records.assign(size_t(info.count) * kRenewalRecordSize, 0);
    for (uint32_t slot = 0; slot < info.count; ++slot) {
        BYTE* record = info.records.data() + size_t(slot) * kRenewalRecordSize;
        const std::string label = "Slot " + std::to_string(slot);
        std::memcpy(record + kRenewalLabel, label.data(), std::min(label.size(), kRenewalLabelSize - 1));
        PutLE64(record + kRenewalTime, takenAt);
        const std::string& stamp = stamps[slot];
        std::memcpy(record + kRenewalStamp, stamp.data(), std::min(stamp.size(), kRenewalStampSize));
    }
    return info;
}

std::optional<RenewalInfo> DecodeRenewalInfo(std::span<const BYTE> stored) {
    if (stored.size() < kRenewalHeaderSize) return std::nullopt;
    const uint32_t count = GetLE32(stored.data());
    if (count == 0 || count > kRenewalMaxSlots) return std::nullopt;
    if (stored.size() - kRenewalHeaderSize != size_t(count) * kRenewalRecordSize) return std::nullopt;
    RenewalInfo info;
    info.count = count;
    info.records.assign(stored.begin() + kRenewalHeaderSize, stored.end());
    return info;
}

std::vector<BYTE> EncodeRenewalInfo(const RenewalInfo& info) {
    std::vector<BYTE> out;
    AppendCopy(out, info);
    return out;
}

bool IsCurrent(uint32_t kind, const RenewalInfo& copy, const RenewalInfo& current) {
    for (uint32_t slot : SlotsOfKind(kind)) {
        const BYTE* stored = copy.Record(slot);
        const BYTE* now = current.Record(slot);
        if (!stored || !now) return false;  // a slot the copy or the device does not hold
        if (std::memcmp(stored + kRenewalStamp, now + kRenewalStamp, kRenewalStampSize) != 0) return false;
    }
    return true;
}

const ValueDef& DefOf(Value value) { return kValues[static_cast<size_t>(value)]; }

std::span<const ValueDef> AllValues() { return kValues; }

std::optional<std::vector<BYTE>> EncodeValue(Value value, std::span<const BYTE> data, const RenewalInfo& current) {
    const ValueDef& def = DefOf(value);
    if (def.size != 0) {
        if (data.size() != def.size) return std::nullopt;
    } else {
        if (data.size() < 4) return std::nullopt;
        const uint32_t count = GetLE32(data.data());
        if (count > kAbbrMaxEntries || data.size() - 4 != size_t(count) * kAbbrEntrySize) return std::nullopt;
    }
    if (current.count > kRenewalMaxSlots || current.records.size() != size_t(current.count) * kRenewalRecordSize)
        return std::nullopt;
    std::vector<BYTE> out(data.begin(), data.end());
    AppendCopy(out, current);
    return out;
}

std::optional<StoredValue> DecodeValue(Value value, std::span<const BYTE> plain) {
    const ValueDef& def = DefOf(value);
    size_t dataSize = def.size;
    if (dataSize == 0) {
        if (plain.size() < 4) return std::nullopt;
        const uint32_t count = GetLE32(plain.data());
        if (count > kAbbrMaxEntries) return std::nullopt;
        dataSize = 4 + size_t(count) * kAbbrEntrySize;
    }
    if (plain.size() < dataSize) return std::nullopt;
    std::optional<RenewalInfo> copy = DecodeCopy(plain.subspan(dataSize));
    if (!copy) return std::nullopt;
    StoredValue stored;
    stored.data.assign(plain.begin(), plain.begin() + dataSize);
    stored.renewal = std::move(*copy);
    return stored;
}

}  // namespace nvx::device::info
