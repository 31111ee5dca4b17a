// The device capability applied to the device-option record.
#include "device/auth_apply.h"

#include "device/oapi.h"
#include "device/oapi_connection.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/switch_ids.h"
#include "model/loaded_model.h"
#include "settings/devoption.h"

namespace nvx::device {

bool ModelSupportsMiddleServer(const features::ModelRecord* record) {
    return record && record->switches[features::kSw_InterimAuthenticSetting] != 0;
}

bool UserSettingsCheckPasses(const features::ModelRecord* record) {
    if (!record) return false;
    const int32_t kind = record->switches[features::kSw_UserAuthentication];
    return kind == 1 || kind == 2;
}

bool NoPasswordAsked(const features::ModelRecord* record, const features::DeviceOptionTable* table,
                     const BYTE* devOption) {
    if (!record || record->switches[features::kSw_UserAuthentic_NoPassWord] == 0 || !table || !devOption)
        return false;
    const features::DeviceOptionRow* row = table->Find(kNoPasswordOption);
    return row && settings::GetOptionValue(devOption, row->index) != 0;
}

bool NoPasswordAsked(const BYTE* devOption) {
    const model::LoadedModel& m = model::Loaded();
    return NoPasswordAsked(m.tables.record, m.tables.deviceOptions, devOption);
}

CapabilityItems ItemsFromDevice(std::span<const BYTE> capability, std::span<const BYTE> configuration,
                                bool middleServer) {
    if (capability.size() != oapi::kCapabilitySize || configuration.size() != oapi::kConfigurationSize) return {};
    const int authType = AuthTypeOf(capability.data());
    const int track = AccountTrackFromText(capability.subspan(oapi::kCapAccountTrack, oapi::kCapAccountTrackSize));
    return ItemsForCapability(authType, track, capability[oapi::kCapPublicUser], configuration[oapi::kConfSignOnData],
                              middleServer);
}

namespace {

// Sets one item; answers whether its slot changed.
bool SetItem(const features::DeviceOptionTable& table, const char* item, const char* value, BYTE* devOption) {
    if (!item || !value) return false;
    const features::DeviceOptionRow* row = table.Find(item);
    if (!row || row->index >= settings::devoption::kOptionSlots) return false;
    const uint8_t* option = features::FindKeyword(row->values, value);
    if (!option) return false;
    const int32_t v = features::Value(option);
    if (v < 0 || v > 0xFFFF) return false;
    if (settings::GetOptionValue(devOption, row->index) == static_cast<uint16_t>(v)) return false;
    return settings::SetOptionValue(devOption, row->index, static_cast<uint16_t>(v));
}

}  // namespace

bool ApplyCapabilityItems(const features::DeviceOptionTable* table, const CapabilityItems& items, BYTE* devOption) {
    if (!table || !devOption || !items.Any()) return false;
    bool changed = SetItem(*table, "DevUserAuthentication", items.userAuthentication, devOption);
    changed = SetItem(*table, "DevAccountTrack", items.accountTrack, devOption) || changed;
    changed = SetItem(*table, "DevPublicUser", items.publicUser, devOption) || changed;
    changed = SetItem(*table, "DevSingleSignOn", items.singleSignOn, devOption) || changed;
    return changed;
}

bool ApplyDeviceCapability(std::span<const BYTE> capability, std::span<const BYTE> configuration, BYTE* devOption) {
    const model::LoadedModel& m = model::Loaded();
    const CapabilityItems items =
        ItemsFromDevice(capability, configuration, ModelSupportsMiddleServer(m.tables.record));
    return ApplyCapabilityItems(m.tables.deviceOptions, items, devOption);
}

}  // namespace nvx::device
