// The model feature switches: the "FeatureSetting" entry of the model package.
//
// The entry's items are records {name, value}: the item's key is the switch name
// and its value text (ASCII) the switch value, both cut to 31 characters, as the
// 32-byte fields of a {char name[32]; char value[32]} record hold them.  Each record
// sets the switch of that name; names are compared exactly (case-sensitive, whole
// strings) and unknown names are ignored.  The records are walked twice: the first
// walk sets the first-pass names, the second the second-pass names (SwitchId order).
//
// Value grammar (exact, case-sensitive):
//   "Enable"        value 1, device-side
//   "Disable"       value 0
//   "Driver"        value 1, done by the driver (device sub-flag 0)
//   "TYPE<n>"       n = 1 ... 255 in plain decimal: value n, device-side
//   "TYPE<n>Mono"   colour build only: value n, monochrome form
//   "DriverTYPE<n>" value n, done by the driver
//   a decimal number (optional '-', fits 32 bits): value = the number
//   a known word (kSwitchWords): value = the word's code
//   anything else: the text only (file names); the value keeps its default
// Every value is also kept as text, so a key whose meaning is a word or a name can
// read it back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "features/switch_ids.h"

namespace nvx::model {
class Package;
}

namespace nvx::features {

extern const char* const kSwitchNames[kSwitchCount];

enum class SwitchForm : uint8_t {
    Default,     // not set by the package
    Enable,
    Disable,
    Driver,
    Type,
    TypeMono,
    DriverType,
    Number,
    Word,
    Text,
};

struct SwitchValue {
    int32_t value = 0;
    SwitchForm form = SwitchForm::Default;
    bool device = false;      // the device does the feature (Enable, TYPE<n>)
    bool mono = false;        // TYPE<n>Mono
    char text[32] = {};       // the value as written
};

// A word value and the number it stands for.
struct SwitchWord {
    const char* word;
    int32_t code;
};
extern const SwitchWord kSwitchWords[];
extern const size_t kSwitchWordCount;

// One record of the entry.
struct FeatureSettingRecord {
    char name[32];
    char value[32];
};

class ModelSwitches {
public:
    ModelSwitches() { Reset(); }
    // Every switch back to its built-in default (value 0, form Default, no text).
    void Reset();
    // Applies the records in two passes.  colourBuild enables "TYPE<n>Mono".
    void Apply(const std::vector<FeatureSettingRecord>& records, bool colourBuild);

    const SwitchValue& Get(SwitchId id) const { return values_[id]; }
    int32_t operator[](SwitchId id) const { return values_[id].value; }
    bool On(SwitchId id) const { return values_[id].value != 0; }

private:
    SwitchValue values_[kSwitchCount];
};

// The switch of a name, or -1 (exact match).
int FindSwitch(std::string_view name);
// Parses one value (grammar above).  The text is not filled in.
SwitchValue ParseSwitchValue(std::string_view value, bool colourBuild);
// Reads the entry's records; empty when the entry is missing.
std::vector<FeatureSettingRecord> ReadFeatureSettings(const model::Package& pkg);
// Whether this build is a colour build (the colour quality variants).
bool ColourBuild();

}  // namespace nvx::features
