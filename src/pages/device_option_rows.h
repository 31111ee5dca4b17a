// What the device option tab shows, apart from its window: one row per device
// option of the model with the value the device-option record holds.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"
#include "features/list_builders.h"
#include "model/text_tables.h"

namespace nvx::pages {

struct DeviceOptionLine {
    uint32_t slot;    // the option's row in the device-option table (its record slot)
    WString label;    // the page's label row for the option's key, else the model's name
    WString value;    // the value's display name, else its number
    uint16_t raw;     // the value the record holds
};

// The rows of the tab for a record: every option of the table within the record's
// 240 slots, in table order.  A null record gives no rows.
std::vector<DeviceOptionLine> DeviceOptionLines(const features::DeviceOptionTable& table, const BYTE* record,
                                                const model::ControlTextRow* texts);

// The name a value of an option list shows: its display name, else its keyword
// ("Not Installed", "Installed" for the built-in list).
WString ValueName(const uint8_t* optionRecord);

// A row as the list shows it: "Label: Value".
WString DeviceOptionLineText(const DeviceOptionLine& line);

// The value list of an option row (display names in list order) and the values
// they stand for.
struct OptionChoices {
    std::vector<WString> names;
    std::vector<uint16_t> values;
};
OptionChoices DeviceOptionChoices(const features::DeviceOptionRow& row);

}  // namespace nvx::pages
