// The custom tab's part of a setup file: what SPRINST_SettingExport appends and
// SPRINST_SettingImport applies (docs/setup-transfer.md).
#include <iterator>

#include "features/list_builders.h"
#include "model/loaded_model.h"
#include "presets/custom_tab_file.h"
#include "settings/devoption.h"

namespace nvx::presets {

namespace {

// The device-option slot of a key, or -1 when the model has no such row.
int OptionSlot(const char* key) {
    const features::DeviceOptionTable* table = model::Loaded().tables.deviceOptions;
    const features::DeviceOptionRow* row = table ? table->Find(key) : nullptr;
    if (!row || row->index >= settings::devoption::kOptionSlots) return -1;
    return static_cast<int>(row->index);
}

}  // namespace

bool CustomTabManaged() {
    return !model::Loaded().tables.settings.customPage.features.empty();
}

bool AppendCustomTabSetup(const WString& setupFile, WStringView printerName, const BYTE* devOption) {
    if (!CustomTabManaged()) return true;
    CustomTabManagement m;
    for (size_t i = 0; i < std::size(kCustomTabManagementKeys); ++i) {
        const int slot = OptionSlot(kCustomTabManagementKeys[i]);
        m.values[i] = slot < 0 ? 0 : settings::GetOptionValue(devOption, static_cast<size_t>(slot));
    }
    m.arrangement = ReadCustomTabArrangement(CustomTabFilePath(printerName));
    return AppendCustomTabManagement(setupFile, m);
}

bool ApplyCustomTabSetup(const WString& setupFile, WStringView printerName, BYTE* devOption,
                         CustomTabArrangement* arrangement) {
    if (!CustomTabManaged()) return false;
    const CustomTabManagement m = ReadCustomTabManagement(setupFile);
    for (size_t i = 0; i < std::size(kCustomTabManagementKeys); ++i) {
        const int slot = OptionSlot(kCustomTabManagementKeys[i]);
        if (m.present[i] && slot >= 0)
            settings::SetOptionValue(devOption, static_cast<size_t>(slot), static_cast<uint16_t>(m.values[i]));
    }
    if (!m.hasArrangementFlag && !m.hasColumns) return false;
    *arrangement = MergeArrangement(ReadCustomTabArrangement(CustomTabFilePath(printerName)), m);
    return true;
}

}  // namespace nvx::presets
