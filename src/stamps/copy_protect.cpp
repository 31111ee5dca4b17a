// Copy protection: the operation, the edit dialog it opens, the copy-guard texts,
// the pattern's text and font, the sliders.
#include "stamps/copy_protect.h"

#include <algorithm>

#include "features/catalogue.h"
#include "features/feature_settings.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "model/loaded_model.h"

namespace nvx::stamps {

namespace {

WString OptionText(const uint8_t* rec) {
    WString name = features::DisplayName(rec);
    if (!name.empty()) return name;
    const std::string_view kw = features::Keyword(rec);
    return WString(kw.begin(), kw.end());
}

// Fixed texts 1 ... 8 and the device's registered texts 101 ... 108.
constexpr int32_t kFixedFirst = 1, kFixedLast = 8, kRegisteredBase = 100;

}  // namespace

CopyProtectModel CurrentCopyProtectModel() {
    CopyProtectModel m;
    const features::ModelRecord* record = model::Loaded().tables.record;
    if (!record) return m;
    const features::SwitchValue& v = record->switches.Get(features::kSw_CopyProtect);
    m.kind = v.value;
    m.driverSide = v.form == features::SwitchForm::Driver || v.form == features::SwitchForm::DriverType;
    return m;
}

bool OperationOffered(const CopyProtectModel& model) {
    return !model.driverSide && (model.kind == 2 || model.kind == 3);
}

CopyProtectDialog DialogFor(const CopyProtectModel& model, int32_t operation) {
    if (model.kind <= 0) return CopyProtectDialog::None;
    if (model.driverSide) return CopyProtectDialog::DriverEdit;
    if (!OperationOffered(model)) return CopyProtectDialog::Protect;
    switch (operation) {
    case kCopyGuard: return CopyProtectDialog::GuardEdit;
    case kCopyProtect:
    case kRepeatableStamp: return CopyProtectDialog::Edit;
    default: return CopyProtectDialog::None;  // password copy: the device asks for the password, nothing to set here
    }
}

std::vector<OperationChoice> OperationChoices() {
    std::vector<OperationChoice> out;
    const uint8_t* list = features::TheCatalogue().FindList("CopyProtect_op");
    for (size_t i = 0, n = features::ListCount(list); i < n; ++i) {
        const uint8_t* rec = features::RecordAt(list, i);
        out.push_back({OptionText(rec), features::Value(rec)});
    }
    return out;
}

std::optional<int32_t> ShownOperation(const OEMDEV& record, const std::vector<OperationChoice>& choices) {
    if (choices.empty()) return std::nullopt;
    const int32_t op = settings::GetNumber(record, "nCSE_CopyProtectOp");
    for (const OperationChoice& c : choices)
        if (c.value == op) return op;
    return choices.front().value;
}

std::vector<GuardText> GuardTexts() {
    std::vector<GuardText> out;
    const uint8_t* list = features::TheCatalogue().FindList("CSE_String_op");
    for (size_t i = 0, n = features::ListCount(list); i < n; ++i) {
        const uint8_t* rec = features::RecordAt(list, i);
        out.push_back({OptionText(rec), features::Value(rec), features::ExtraValue(rec) == 1});
    }
    return out;
}

WString GuardTextLabel(const GuardText& text) {
    return text.preset ? WL("*") + text.text : text.text;
}

int32_t GuardTextValue(const OEMDEV& record) {
    if (settings::GetNumber(record, "nStampType") == 1)
        return kRegisteredBase + settings::GetNumber(record, "nRecordStamp");
    return settings::GetNumber(record, "nFixedStamp");
}

bool SetGuardTextValue(OEMDEV& record, int32_t value) {
    if (value >= kFixedFirst && value <= kFixedLast) {
        settings::SetNumber(record, "nStampType", 0);
        settings::SetNumber(record, "nFixedStamp", value);
        return true;
    }
    if (value >= kRegisteredBase + kFixedFirst && value <= kRegisteredBase + kFixedLast) {
        settings::SetNumber(record, "nStampType", 1);
        settings::SetNumber(record, "nRecordStamp", value - kRegisteredBase);
        return true;
    }
    return false;
}

WString CopyProtectText(const OEMDEV& record) {
    return settings::GetText(record, settings::FindField("szCPText"));
}

WString CopyProtectFace(const OEMDEV& record) {
    return settings::GetText(record, settings::FindField("szCPFontName"));
}

WString ShownFace(const OEMDEV& record, WStringView defaultFace) {
    WString face = CopyProtectFace(record);
    return face.empty() ? WString(defaultFace) : face;
}

TextProblem SetCopyProtectText(OEMDEV& record, WStringView text) {
    if (text.size() > kCopyProtectTextMax) return TextProblem::TooLong;
    settings::SetText(record, settings::FindField("szCPText"), text);
    return TextProblem::None;
}

TextProblem SetCopyProtectFace(OEMDEV& record, WStringView face, const std::vector<WString>& faces) {
    for (const WString& f : faces)
        if (WEqualNoCase(f, face) && f.size() <= kCopyProtectFaceMax) {
            settings::SetText(record, settings::FindField("szCPFontName"), f);
            return TextProblem::None;
        }
    return TextProblem::NoSuchFont;
}

const char* SliderField(Slider s) {
    switch (s) {
    case Slider::StampDensity: return "nCPE_SS_Density";
    case Slider::PatternContrast: return "nCPE_CP_Contrast";
    default: return "nCPE_CP_Density";
    }
}

const char* SliderLowKey(Slider s) {
    switch (s) {
    case Slider::PatternDensity: return "CPE_CP_Density_Light";
    case Slider::StampDensity: return "CPE_SS_Density_Light";
    case Slider::GuardDensity: return "CSE_CP_Density_Light";
    default: return "";
    }
}

const char* SliderHighKey(Slider s) {
    switch (s) {
    case Slider::PatternDensity: return "CPE_CP_Density_Dark";
    case Slider::StampDensity: return "CPE_SS_Density_Dark";
    case Slider::GuardDensity: return "CSE_CP_Density_Dark";
    default: return "";
    }
}

SliderRange MakeSliderRange(std::optional<std::pair<int32_t, int32_t>> ends) {
    if (!ends || ends->first >= ends->second) return kDefaultSliderRange;
    return {ends->first, ends->second};
}

SliderRange SliderRangeOf(Slider s) {
    model::RangeId id = model::RangeId::CPE_CP_Density;
    switch (s) {
    case Slider::StampDensity: id = model::RangeId::CPE_SS_Density; break;
    case Slider::GuardDensity: id = model::RangeId::CSE_CP_Density; break;
    case Slider::PatternContrast: id = model::RangeId::CPE_CP_Contrast; break;
    default: break;
    }
    const model::NumericRange& r = model::Loaded().tables.ranges[id];
    return MakeSliderRange(std::make_pair(r.first, r.second));
}

int32_t SliderPosition(int32_t stored, SliderRange range) {
    return std::clamp(stored, range.low, range.high);
}

bool SetSliderValue(OEMDEV& record, Slider s, int32_t position, SliderRange range) {
    if (position < range.low || position > range.high) return false;
    return settings::SetNumber(record, SliderField(s), position);
}

}  // namespace nvx::stamps
