#include "pages/other_logic.h"

#include <vector>

#include "common/ansi.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"

namespace nvx::pages::other {

Switches ModelSwitches() {
    Switches s;
    s.coverType1 = frame::AskVariant("_PRP_COVER_TYPE1") != 0;
    const auto* model = model::Loaded().tables.record;
    if (!model) return s;
    s.emailNotify = model->switches.On(features::kSw_EmailNotify);
    s.chkBlankRatio = model->switches.On(features::kSw_ChkBlankRatio);
    s.roundOff = model->switches.On(features::kSw_RoundOffColorValue);
    return s;
}

Enables ComputeEnables(const OEMDEV& r, const Switches& sw, const SheetFacts& facts) {
    Enables e;
    e.emailGoverned = sw.emailNotify;
    e.emailAddress = sw.emailNotify && settings::GetNumber(r, "bEmailNotify") != 0;
    e.blankGoverned = sw.chkBlankRatio;
    if (sw.chkBlankRatio) {
        // The per-page setting in use: the list's entry, or with the first cover type
        // the cover switch.
        const bool perPage = sw.coverType1 ? settings::GetNumber(r, "bFrontCover") != 0
                                           : settings::GetNumber(r, "CoverMFP.bUsePerPageSet") != 0;
        e.blankForbidden = facts.contextForbids || (facts.documentMode && settings::GetNumber(r, "bWmk") != 0) ||
                           perPage || facts.documentFlag;
        e.blankRatio = !e.blankForbidden && settings::GetNumber(r, "bChkBlankRatio") != 0;
    }
    e.roundGoverned = sw.roundOff;
    if (sw.roundOff) {
        // A monochrome colour mode leaves no colour values to round.
        const bool colour = settings::GetNumber(r, "nColorMode") != 1;
        e.roundOff = colour;
        e.threshold = colour && settings::GetNumber(r, "bRoundOffColorValue") != 0;
    }
    return e;
}

WString CutEmailAddress(WStringView text, bool* cut) {
    if (cut) *cut = false;
    const std::string ansi = AnsiFromW(text);
    if (ansi.size() <= kEmailBytes) return WString(text);
    // Whole characters while their bytes fit.
    size_t bytes = 0, chars = 0;
    while (chars < text.size()) {
        const std::string one = AnsiFromW(text.substr(chars, 1));
        if (bytes + one.size() > kEmailBytes) break;
        bytes += one.size();
        ++chars;
    }
    if (cut) *cut = true;
    return WString(text.substr(0, chars));
}

EmailCheck CheckEmailAddress(WStringView text) {
    if (text.empty()) return EmailCheck::Empty;
    size_t at = WStringView::npos, ats = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const WCHAR c = text[i];
        if (c > 0x7E || c < 0x20) return EmailCheck::NotAscii;
        if (c == ' ') return EmailCheck::Space;
        if (c == '@') {
            at = i;
            ++ats;
        }
    }
    if (text.size() > kEmailBytes) return EmailCheck::TooLong;
    if (ats != 1 || at == 0 || at + 1 == text.size()) return EmailCheck::NoAt;
    return EmailCheck::Ok;
}

const char* const kDefaultFields[] = {"bEmailNotify",   "bPPTRmvWhiteBkg",     "bRectOutMode",
                                      "bChkBlankRatio", "nChkBlankRatio",      "bRoundOffColorValue",
                                      "nRoundOffCol_ThresholdVal"};
const size_t kDefaultFieldCount = sizeof kDefaultFields / sizeof kDefaultFields[0];

}  // namespace nvx::pages::other
