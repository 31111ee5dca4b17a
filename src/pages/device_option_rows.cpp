// The device option tab's rows (see device_option_rows.h).
#include "pages/device_option_rows.h"

#include "features/option_record.h"
#include "settings/devoption.h"

namespace nvx::pages {

WString ValueName(const uint8_t* rec) {
    WString name = features::DisplayName(rec);
    if (!name.empty()) return name;
    // The built-in Not installed / Installed list carries keywords only.
    const std::string_view key = features::Keyword(rec);
    if (key == "NotInstalled") return WL("Not Installed");
    return WFromUtf8(key);
}

std::vector<DeviceOptionLine> DeviceOptionLines(const features::DeviceOptionTable& table, const BYTE* record,
                                                const model::ControlTextRow* texts) {
    std::vector<DeviceOptionLine> lines;
    if (!record) return lines;
    for (uint32_t i = 0; i < table.count && i < settings::devoption::kOptionSlots; ++i) {
        const features::DeviceOptionRow& row = table.rows[i];
        DeviceOptionLine line{i, {}, {}, settings::GetOptionValue(record, i)};
        const WCHAR* label = texts ? model::TextByKey(texts, row.key) : nullptr;
        line.label = label && *label ? WString(label) : WString(row.name);
        const uint8_t* rec = row.values ? features::FindValue(row.values, line.raw) : nullptr;
        line.value = rec ? ValueName(rec) : WFromUtf8(std::to_string(line.raw));
        lines.push_back(std::move(line));
    }
    return lines;
}

WString DeviceOptionLineText(const DeviceOptionLine& line) {
    return line.label + WString(WL(": ")) + line.value;
}

OptionChoices DeviceOptionChoices(const features::DeviceOptionRow& row) {
    OptionChoices out;
    if (!row.values) return out;
    const size_t n = features::ListCount(row.values);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* rec = features::RecordAt(row.values, i);
        const int32_t value = features::Value(rec);
        if (value < 0 || value > 0xFFFF) continue;
        out.names.push_back(ValueName(rec));
        out.values.push_back(static_cast<uint16_t>(value));
    }
    return out;
}

}  // namespace nvx::pages
