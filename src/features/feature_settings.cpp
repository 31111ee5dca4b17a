// The model feature switches: reading "FeatureSetting" and the value grammar.
#include "features/feature_settings.h"

#include <cstring>

#include "frame/variant_switches.h"
#include "model/package.h"

namespace nvx::features {

const SwitchWord kSwitchWords[] = {
    {"ComboBox", 1},      {"RadioButton", 2},  {"SoftOverlay", 1}, {"SoftAndPrinter2Overlay", 2},
    {"TypeColor", 1},     {"TypeMono", 2},     {"Engin", 1},       {"GeneralSV", 2},
    {"EngineandGSV", 3},  {"EngineandISV", 4}, {"SLEEP2", 1},      {"SLEEP2&ERP", 2},
    {"Number", 1},
};
const size_t kSwitchWordCount = sizeof(kSwitchWords) / sizeof(kSwitchWords[0]);

namespace {

// A plain decimal 1 ... 255 with no sign and no leading zero: what "TYPE%d" prints.
bool TypeNumber(std::string_view s, int32_t* n) {
    if (s.empty() || s.size() > 3 || s[0] < '1' || s[0] > '9') return false;
    int32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > 255) return false;
    *n = v;
    return true;
}

// A decimal number, optionally negative, that fits 32 bits.
bool Number(std::string_view s, int32_t* n) {
    bool negative = !s.empty() && s[0] == '-';
    if (negative) s.remove_prefix(1);
    if (s.empty() || s.size() > 10) return false;
    int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    *n = static_cast<int32_t>(v);
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

void CopyField(char (&dst)[32], std::string_view src) {
    std::memset(dst, 0, sizeof dst);
    std::memcpy(dst, src.data(), src.size() < sizeof dst ? src.size() : sizeof dst - 1);
}

}  // namespace

int FindSwitch(std::string_view name) {
    for (int i = 0; i < kSwitchCount; ++i)
        if (name == kSwitchNames[i]) return i;
    return -1;
}

SwitchValue ParseSwitchValue(std::string_view v, bool colourBuild) {
    SwitchValue out;
    int32_t n = 0;
    if (v == "Enable") {
        out.form = SwitchForm::Enable;
        out.value = 1;
        out.device = true;
    } else if (v == "Disable") {
        out.form = SwitchForm::Disable;
    } else if (v == "Driver") {
        out.form = SwitchForm::Driver;
        out.value = 1;
    } else if (StartsWith(v, "TYPE") && TypeNumber(v.substr(4), &n)) {
        out.form = SwitchForm::Type;
        out.value = n;
        out.device = true;
    } else if (colourBuild && StartsWith(v, "TYPE") && v.size() > 8 && v.substr(v.size() - 4) == "Mono" &&
               TypeNumber(v.substr(4, v.size() - 8), &n)) {
        out.form = SwitchForm::TypeMono;
        out.value = n;
        out.device = true;
        out.mono = true;
    } else if (StartsWith(v, "DriverTYPE") && TypeNumber(v.substr(10), &n)) {
        out.form = SwitchForm::DriverType;
        out.value = n;
    } else if (Number(v, &n)) {
        out.form = SwitchForm::Number;
        out.value = n;
    } else {
        out.form = SwitchForm::Text;
        for (size_t i = 0; i < kSwitchWordCount; ++i)
            if (v == kSwitchWords[i].word) {
                out.form = SwitchForm::Word;
                out.value = kSwitchWords[i].code;
            }
    }
    return out;
}

void ModelSwitches::Reset() {
    for (SwitchValue& v : values_) v = SwitchValue();
}

void ModelSwitches::Apply(const std::vector<FeatureSettingRecord>& records, bool colourBuild) {
    for (int pass = 0; pass < 2; ++pass) {
        for (const FeatureSettingRecord& r : records) {
            int id = FindSwitch(std::string_view(r.name, strnlen(r.name, sizeof r.name)));
            if (id < 0 || (id >= kFirstSecondPass) != (pass == 1)) continue;
            std::string_view text(r.value, strnlen(r.value, sizeof r.value));
            SwitchValue parsed = ParseSwitchValue(text, colourBuild);
            SwitchValue& target = values_[id];
            if (parsed.form == SwitchForm::Text) parsed.value = target.value;  // a name: the value stays
            CopyField(parsed.text, text);
            target = parsed;
        }
    }
}

std::vector<FeatureSettingRecord> ReadFeatureSettings(const model::Package& pkg) {
    std::vector<FeatureSettingRecord> out;
    model::EntryInfo e;
    if (!pkg.GetEntry("FeatureSetting", &e)) return out;
    pkg.ForEachItem(e, model::ItemOrder::Chain, [&](uint32_t at) {
        vpd::Item item;
        char key[vpd::kMaxString + 1] = {};
        WCHAR value[vpd::kMaxString + 1] = {};
        if (!pkg.ReadItem(at, &item) || !pkg.ReadKey(item.key, key, sizeof key)) return true;
        pkg.ReadValue(item.value, value, sizeof value / sizeof(WCHAR));
        FeatureSettingRecord r{};
        CopyField(r.name, key);
        char ascii[32] = {};
        for (size_t i = 0; i < 31 && value[i]; ++i) ascii[i] = value[i] < 0x80 ? static_cast<char>(value[i]) : '?';
        std::memcpy(r.value, ascii, sizeof r.value);
        out.push_back(r);
        return true;
    });
    return out;
}

bool ColourBuild() {
    return frame::AskVariant("_PRP_QUALTY_MFP_C") != 0 || frame::AskVariant("_PRP_QUALTY_PRN_C") != 0;
}

}  // namespace nvx::features
