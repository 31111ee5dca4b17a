// The Stamp/Composition tab's lists and summary.
#include "pages/stamp_logic.h"

#include <cstring>

#include "features/catalogue.h"
#include "features/option_record.h"

namespace nvx::pages::stamp {

std::vector<WString> WatermarkItems(const stamps::WatermarkSet& set) {
    std::vector<WString> out;
    for (const stamps::ListedWatermark& w : stamps::DisplayList(set))
        out.push_back(stamps::FieldText(w.record->szWmkTitle, sizeof w.record->szWmkTitle));
    return out;
}

namespace {

WString FormText(const stamps::FormEntry& e) {
    WString text = stamps::FileNamePart(e.path);
    const WString wide = stamps::FormWideName(e.header);
    if (!wide.empty()) text += WL(" (") + wide + WL(")");
    return text;
}

}  // namespace

std::vector<FormItem> FormItems(const stamps::FormList& list, int jobClass) {
    std::vector<FormItem> out;
    for (const stamps::FormEntry& e : list.forms)
        out.push_back({FormText(e), e.usable && stamps::FormResolutionClass(e.header) == jobClass});
    return out;
}

int JobClass(const OEMDEV& record) {
    const uint8_t* list = features::TheCatalogue().FindList("Resolution");
    if (!list) return 0;
    const uint8_t* option = features::FindValue(list, settings::GetNumber(record, "byResolution"));
    if (!option) return 0;
    const std::string name(features::Keyword(option));
    return stamps::JobResolutionClass(name.c_str());
}

bool ChooseFirstUsableForm(OEMDEV& record, const std::vector<FormItem>& items) {
    if (settings::GetNumber(record, "nFormListPos") >= 0) return false;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].usable) {
            settings::SetNumber(record, "nFormListPos", static_cast<int64_t>(i));
            settings::SetNumber(record, "nFormListPos2p", static_cast<int64_t>(i));
            return true;
        }
    return false;
}

bool ChooseFormOnOverlay(OEMDEV& record, size_t formCount) {
    if (formCount == 0 || settings::GetNumber(record, "nFormListPos") >= 0) return false;
    settings::SetNumber(record, "nFormListPos", 0);
    return true;
}

bool CopyListedWatermark(OEMDEV& record, const stamps::WatermarkSet& set) {
    const std::vector<stamps::ListedWatermark> listed = stamps::DisplayList(set);
    if (listed.empty()) return false;
    int32_t pos = settings::GetNumber(record, "wWmkListPos");
    if (pos < 0 || static_cast<size_t>(pos) >= listed.size()) pos = 0;
    const stamps::WatermarkRecord carried = stamps::RecordWatermark(record);
    const stamps::WatermarkRecord& shown = *listed[static_cast<size_t>(pos)].record;
    if (pos == settings::GetNumber(record, "wWmkListPos") && std::memcmp(&carried, &shown, sizeof carried) == 0)
        return false;
    return stamps::ChooseWatermark(record, set, static_cast<size_t>(pos));
}

std::vector<ProgramChoice> ProgramChoices(const std::optional<std::vector<stamps::DeviceHeaderFooter>>& programs) {
    std::vector<ProgramChoice> out;
    if (programs) {
        for (const stamps::DeviceHeaderFooter& p : stamps::ProgramsInUse(*programs))
            out.push_back({p.name.empty() ? WFormatString(WL("Program %d"), p.number) : p.name, p.number});
        return out;
    }
    const uint8_t* list = features::TheCatalogue().FindList("HFE_SelectDevSetting");
    for (size_t i = 0, n = features::ListCount(list); i < n; ++i) {
        const uint8_t* rec = features::RecordAt(list, i);
        WString name = features::DisplayName(rec);
        if (name.empty()) name = WFromUtf8(features::Keyword(rec));
        out.push_back({name, features::Value(rec)});
    }
    return out;
}

WString OverlaySummary(const OEMDEV& record, const stamps::OverlayModel& model, const stamps::FormList& list) {
    const bool applies =
        model.kind == 1 || (model.kind == 2 && settings::GetNumber(record, "nOverlay_Switch_op") == 2);
    if (!applies || settings::GetNumber(record, "bEnable2p") == 0) return WString();
    auto line = [&](int32_t pos) -> WString {
        if (pos < 0 || static_cast<size_t>(pos) >= list.forms.size()) return WString();
        const stamps::FormEntry& e = list.forms[static_cast<size_t>(pos)];
        const WString name = stamps::FormName(e.header);
        WString text = WL("  ") + stamps::FileNamePart(e.path);
        if (!name.empty()) text += WL(" (") + name + WL(")");
        return text;
    };
    return WL("First Page\r\n") + line(settings::GetNumber(record, "nFormListPos")) + WL("\r\nOther Pages\r\n") +
           line(settings::GetNumber(record, "nFormListPos2p")) + WL("\r\n");
}

}  // namespace nvx::pages::stamp
