// The device information cache of a printer in the per-user store.
#include "device/device_info_cache.h"

#include <new>

namespace nvx::device {

using info::RenewalInfo;
using info::StoredValue;
using info::Value;

LSTATUS OpenDeviceInfoKey(HANDLE printer, model::RegKey* key, bool create) {
    return create ? model::CreateUserKey(printer, key, kDeviceInfoSubkey)
                  : model::OpenUserKey(printer, key, kDeviceInfoSubkey);
}

std::optional<RenewalInfo> DeviceInfoCache::Renewal() const {
    try {
        std::vector<BYTE> bytes;
        DWORD type = 0;
        if (store_.ReadAll(info::kRenewalInfoName, &bytes, &type) != ERROR_SUCCESS || type != REG_BINARY)
            return std::nullopt;
        return info::DecodeRenewalInfo(bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool DeviceInfoCache::WriteRenewal(const RenewalInfo& renewal) const {
    if (renewal.count == 0 || renewal.count > info::kRenewalMaxSlots ||
        renewal.records.size() != size_t(renewal.count) * info::kRenewalRecordSize)
        return false;
    try {
        std::vector<BYTE> bytes = info::EncodeRenewalInfo(renewal);
        return store_.Write(info::kRenewalInfoName, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())) ==
               ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<StoredValue> DeviceInfoCache::Load(Value value, size_t* storedBytes) const {
    const info::ValueDef& def = info::DefOf(value);
    std::vector<BYTE> bytes;
    DWORD type = 0;
    if (store_.ReadAll(def.name, &bytes, &type) != ERROR_SUCCESS || type != REG_BINARY) return std::nullopt;
    if (storedBytes) *storedBytes = bytes.size();
    if (def.enciphered) {
        std::vector<BYTE> plain;
        if (!cipher_.Decipher(bytes, &plain)) return std::nullopt;
        bytes.swap(plain);
    }
    return info::DecodeValue(value, bytes);
}

std::optional<std::vector<BYTE>> DeviceInfoCache::Read(Value value) const {
    try {
        std::optional<RenewalInfo> current = Renewal();
        if (!current) return std::nullopt;
        std::optional<StoredValue> stored = Load(value, nullptr);
        if (!stored || !info::IsCurrent(info::DefOf(value).kind, stored->renewal, *current)) return std::nullopt;
        return std::move(stored->data);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool DeviceInfoCache::Write(Value value, std::span<const BYTE> data) const {
    try {
        std::optional<RenewalInfo> current = Renewal();
        return current && Store(value, data, *current);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DeviceInfoCache::WriteTaken(Value value, std::span<const BYTE> data, const RenewalInfo& taken) const {
    if (taken.count == 0 || taken.count > info::kRenewalMaxSlots ||
        taken.records.size() != size_t(taken.count) * info::kRenewalRecordSize)
        return false;
    try {
        return Store(value, data, taken);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DeviceInfoCache::Store(Value value, std::span<const BYTE> data, const RenewalInfo& renewal) const {
    try {
        std::optional<std::vector<BYTE>> plain = info::EncodeValue(value, data, renewal);
        if (!plain) return false;
        const info::ValueDef& def = info::DefOf(value);
        std::vector<BYTE> stored;
        if (def.enciphered) {
            if (!cipher_.Encipher(*plain, &stored)) return false;
        } else {
            stored = std::move(*plain);
        }
        return store_.Write(def.name, REG_BINARY, stored.data(), static_cast<DWORD>(stored.size())) == ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

DeviceInfoCache::Entry DeviceInfoCache::Describe(Value value) const {
    Entry entry;
    entry.value = value;
    try {
        std::vector<BYTE> probe;
        if (store_.ReadAll(info::DefOf(value).name, &probe, nullptr) != ERROR_SUCCESS) return entry;
        entry.state = State::Unreadable;
        std::optional<StoredValue> stored = Load(value, &entry.storedBytes);
        if (!stored) return entry;
        entry.takenAt = stored->renewal.TakenAt();
        std::optional<RenewalInfo> current = Renewal();
        entry.state = current && info::IsCurrent(info::DefOf(value).kind, stored->renewal, *current) ? State::Current
                                                                                                      : State::Stale;
    } catch (const std::bad_alloc&) {
        entry.state = State::Unreadable;
    }
    return entry;
}

}  // namespace nvx::device
