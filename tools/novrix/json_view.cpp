// Machine-readable pages and records (see json_view.h).
#include "json_view.h"

#include <cstring>

#include "common/ansi.h"
#include "common/text.h"
#include "settings/oemdev.h"
#include "settings/oemdev_fields.h"

namespace novrix {
namespace {

const char* KindName(SettingKind kind) {
    switch (kind) {
    case SettingKind::Radio: return "radio";
    case SettingKind::Check: return "check";
    case SettingKind::Combo: return "combo";
    case SettingKind::Edit: return "edit";
    case SettingKind::Button: return "button";
    case SettingKind::Text: return "text";
    case SettingKind::List: return "list";
    case SettingKind::Slider: return "slider";
    }
    return "text";
}

// Record keys whose text is a secret (the user's and the department's keys).
bool SecretKey(const char* key) {
    return std::strcmp(key, "szVLUserKey") == 0 || std::strcmp(key, "szVLSectionKey") == 0;
}

}  // namespace

nlohmann::json PageJson(const PageView& view, const std::string& title) {
    nlohmann::json page = {{"title", title}};
    nlohmann::json settings = nlohmann::json::array(), texts = nlohmann::json::array(),
                   buttons = nlohmann::json::array();
    for (const Setting& s : view.settings) {
        std::string marks = SettingMarks(s);
        bool hidden = marks.find("hidden") != std::string::npos, disabled = marks.find("disabled") != std::string::npos;
        if (s.kind == SettingKind::Text) {
            if (!hidden && !SettingValue(s).empty()) texts.push_back(SettingValue(s));
            continue;
        }
        if (s.kind == SettingKind::Button) {
            buttons.push_back({{"label", s.label}, {"disabled", disabled}, {"hidden", hidden}});
            continue;
        }
        nlohmann::json j = {{"label", s.label}, {"kind", KindName(s.kind)}, {"disabled", disabled}, {"hidden", hidden}};
        bool password = s.kind == SettingKind::Edit && (GetWindowLongW(s.controls[0], GWL_STYLE) & ES_PASSWORD);
        if (password) {
            j["value"] = nullptr;
            j["password"] = true;
        } else {
            j["value"] = SettingValue(s);
        }
        if (s.kind == SettingKind::Radio || s.kind == SettingKind::Combo || s.kind == SettingKind::List) j["choices"] = SettingChoices(s);
        if (!s.note.empty()) j["note"] = s.note;
        if (!s.warning.empty()) j["warning"] = s.warning;
        settings.push_back(std::move(j));
    }
    page["settings"] = std::move(settings);
    page["texts"] = std::move(texts);
    page["buttons"] = std::move(buttons);
    page["warnings"] = view.warnings;
    page["hint"] = view.hint;
    return page;
}

nlohmann::json RecordJson(const BYTE* record) {
    using namespace nvx::settings;
    const OEMDEV& r = *AsRecord(record);
    nlohmann::json out = nlohmann::json::object();
    for (size_t i = 0; i < kOemDevFieldCount; ++i) {
        const FieldDef& def = kOemDevFields[i];
        if (def.use != kExchanged || def.count != 1 || SecretKey(def.name)) continue;
        FieldRef field{&def, 0};
        if (IsNumberKind(def.kind))
            out[def.name] = GetNumber(r, field);
        else if (def.kind == FieldKind::Ansi)
            out[def.name] = nvx::Utf8FromW(nvx::WFromAnsi(GetAnsi(r, field)));
        else
            out[def.name] = nvx::Utf8FromW(GetText(r, field));
    }
    return out;
}

}  // namespace novrix
