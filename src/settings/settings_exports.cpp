// Exports of the settings records.
#include "frame/exports.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"

// The settings record inside a device mode, or null (the last error says why).
NVX_EXPORT OEMDEV* FindOEMDevPtr(DEVMODEW* devmode) {
    return nvx::settings::FindRecordInDevMode(devmode);
}

// Overwrites a device-option record with the built-in defaults; null does nothing.
NVX_EXPORT void Prc_ResetDevOption(BYTE* record) {
    nvx::settings::ResetDevOption(record);
}
