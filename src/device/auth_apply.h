// A device's authentication capability applied to the device-option record, and
// the model's answers the user settings depend on.
#pragma once

#include <cstdint>
#include <span>

#include "device/auth_capability.h"
#include "platform/win32.h"

namespace nvx::features {
struct DeviceOptionTable;
struct ModelRecord;
}  // namespace nvx::features

namespace nvx::device {

// Whether the model supports a middle server (its "InterimAuthenticSetting"
// switch is on).  False without a model.
bool ModelSupportsMiddleServer(const features::ModelRecord* record);

// Whether the model's check of the user settings passes: the model carries
// user settings (its "UserAuthentication" kind is 1 or 2).  When it fails, the
// user type and the middle server mode of a loaded record start at 1.
bool UserSettingsCheckPasses(const features::ModelRecord* record);

// The device option whose 16-bit slot in the device-option record says that the
// device authenticates its users without a password (by card).
inline constexpr const char* kNoPasswordOption = "OpSimpleAuth";

// Whether the authentication dialogs ask no user password: the model allows it
// (its "UserAuthentic_NoPassWord" switch is on) and the printer's device-option
// record has the option kNoPasswordOption set (its slot non-zero).  False
// without a model, a device-option table, the option or a record.
bool NoPasswordAsked(const features::ModelRecord* record, const features::DeviceOptionTable* table,
                     const BYTE* devOption);
// The same for the loaded model.
bool NoPasswordAsked(const BYTE* devOption);

// The device-settings items for a connection's capability block (808 bytes) and
// configuration block (344 bytes).  Nothing is recognised from blocks of another size.
CapabilityItems ItemsFromDevice(std::span<const BYTE> capability, std::span<const BYTE> configuration,
                                bool middleServer);

// Sets each item of `items` in the device-option record to the option of that
// name in the model's device-option table; answers whether any slot changed.
// Nothing is changed when neither an authentication nor an account track value
// was recognised; an item the table lacks, or a value its list lacks, is left alone.
bool ApplyCapabilityItems(const features::DeviceOptionTable* table, const CapabilityItems& items, BYTE* devOption);

// The whole step for a connection that holds both blocks: the model's middle
// server support, the items, the record.  Answers whether anything changed.
bool ApplyDeviceCapability(std::span<const BYTE> capability, std::span<const BYTE> configuration, BYTE* devOption);

}  // namespace nvx::device
