#include "pages/layout_logic.h"

#include <vector>

#include "features/model_record.h"
#include "features/switch_ids.h"
#include "model/loaded_model.h"
#include "platform/win32.h"

namespace nvx::pages::layout {

namespace {

int32_t Get(const OEMDEV& r, const char* name) {
    return settings::GetNumber(r, name);
}

bool Set(OEMDEV& r, const char* name, int32_t value) {
    if (settings::GetNumber(r, name) == value) return false;
    settings::SetNumber(r, name, value);
    return true;
}

}  // namespace

Switches ModelSwitches() {
    Switches s;
    const auto* model = model::Loaded().tables.record;
    if (!model) return s;
    s.bookletPrint = model->switches.On(features::kSw_BookletPrint);
    s.bindingShift = model->switches.On(features::kSw_BindingShift);
    s.frontCoverPrint = model->switches.On(features::kSw_FCoverPrint);
    s.backCoverPrint = model->switches.On(features::kSw_BCoverPrint);
    return s;
}

Enables ComputeEnables(const OEMDEV& r, const Switches& sw) {
    Enables e;
    const bool driverBooklet = IsBooklet(Get(r, "nDuplex")) && sw.bookletPrint;
    e.nupLayout = Get(r, "bNup") != 0;
    e.bookletDetails = driverBooklet;
    e.binding = !driverBooklet;
    e.bindingDetails = Get(r, "bBinding") != 0 && !driverBooklet;
    // Combination has no settings field in this record: the page never offers its
    // controls, and its layout list stays off.
    e.combinationLayout = false;
    e.imageShiftDetails = Get(r, "bImgShift") != 0;
    e.chapterList = Get(r, "bChapterMode") != 0;
    e.tabShiftDetails = Get(r, "bTABImageShift") != 0;
    return e;
}

bool ClearBindingMarginForBooklet(OEMDEV& r, const Switches& sw) {
    if (!IsBooklet(Get(r, "nDuplex")) || !sw.bookletPrint || !sw.bindingShift) return false;
    return Set(r, "bBinding", 0);
}

bool BackCoverFollowsFront(OEMDEV& r, const Switches& sw) {
    if (!IsBooklet(Get(r, "nDuplex")) || !sw.bookletPrint || !sw.frontCoverPrint || !sw.backCoverPrint) return false;
    if (Get(r, "bFrontCover") == 0) return false;
    return Set(r, "nBackCoverTray", Get(r, "nFrontCoverTray"));
}

std::string CutAnsi(std::string_view text, size_t maxBytes, unsigned codePage) {
    if (text.size() <= maxBytes) return std::string(text);
    if (codePage == CP_UTF8) {
        // A UTF-8 system code page: never cut inside a sequence.
        size_t end = maxBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        return std::string(text.substr(0, end));
    }
    size_t end = 0;
    // Walk character by character so that a trail byte that looks like a lead byte
    // is never mistaken for one.
    for (size_t i = 0; i < text.size();) {
        const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) != FALSE && i + 1 < text.size();
        const size_t step = lead ? 2 : 1;
        if (i + step > maxBytes) break;
        i += step;
        end = i;
    }
    return std::string(text.substr(0, end));
}

WString ChapterText(WStringView typed, bool* cut) {
    *cut = false;
    if (typed.empty()) return WString();
    const UINT cp = GetACP();
    const int n = WideCharToMultiByte(cp, 0, typed.data(), static_cast<int>(typed.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return WString(typed);
    std::string ansi(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, typed.data(), static_cast<int>(typed.size()), ansi.data(), n, nullptr, nullptr);
    if (ansi.size() <= kChapterBytes) return WString(typed);
    *cut = true;
    const std::string kept = CutAnsi(ansi, kChapterBytes, cp);
    const int w = MultiByteToWideChar(cp, 0, kept.data(), static_cast<int>(kept.size()), nullptr, 0);
    if (w <= 0) return WString();
    WString back(static_cast<size_t>(w), 0);
    MultiByteToWideChar(cp, 0, kept.data(), static_cast<int>(kept.size()), back.data(), w);
    return back;
}

int ChapterTextLimit(int32_t maxChapters) {
    if (maxChapters >= 31 && maxChapters <= 99 && maxChapters * 5 >= 160) return maxChapters * 5;
    return 160;
}

void NormaliseArrangement(OEMDEV& r, const Switches& sw) {
    Set(r, "bNupBorder", 0);
    Set(r, "byNupOrder", 1);
    Set(r, "byBookletOrder", 1);
    Set(r, "bPosterBorder", 0);
    if (Get(r, "bNup") != 0 && !IsPosterLayout(Get(r, "nNup")) && Get(r, "bNupBorder_ui") != 0) Set(r, "bNupBorder", 1);
    if (IsBooklet(Get(r, "nDuplex")) && sw.bookletPrint) {
        Set(r, "byNupOrder", 0);
        Set(r, "byBookletOrder", Get(r, "nBookletOrder"));
        Set(r, "bNupBorder", Get(r, "bBookletBorder"));
    }
}

bool FollowOrientation(OEMDEV& r, int32_t oldOrientation, int32_t newOrientation,
                       bool (*bindingEdgeOffered)(int32_t value)) {
    const auto known = [](int32_t o) { return o == 1 || o == 2; };
    if (oldOrientation == newOrientation || !known(oldOrientation) || !known(newOrientation)) return false;
    const int32_t edge = Get(r, "nBinding");
    // 0 ... 3 long edges, 4 ... 7 the same sides on the short edges.
    if (edge < 0 || edge > 7) return false;
    const int32_t swapped = edge ^ 4;
    if (bindingEdgeOffered && !bindingEdgeOffered(swapped)) return false;
    return Set(r, "nBinding", swapped);
}

}  // namespace nvx::pages::layout
