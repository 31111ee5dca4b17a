// Numeric ranges from the main package.
#include "model/numeric_ranges.h"

#include <algorithm>

#include "model/package.h"

namespace nvx::model {

const RangeSource kRangeSources[kRangeCount] = {
    {"BindShift_Front", false},    {"BindShift_Back", false},     {"DivideFinish", false},
    {"TABImageShift", false},      {"PBSpinWidth", false},        {"TABImageShiftValue", false},
    {"PIFInsertPage", false},      {"PIBInsertPage", false},      {"ImgShiftPrn_FrontH", true},
    {"ImgShiftPrn_FrontV", true},  {"ImgShiftPrn_BackH", true},   {"ImgShiftPrn_BackV", true},
    {"ImgShiftMFP_FrontH", true},  {"ImgShiftMFP_FrontV", true},  {"ImgShiftMFP_FrontI", true},
    {"ImgShiftMFP_FrontO", true},  {"ImgShiftMFP_BackH", true},   {"ImgShiftMFP_BackV", true},
    {"ImgShiftMFP_BackI", true},   {"ImgShiftMFP_BackO", true},
    {"CPE_CP_Density", false},     {"CPE_SS_Density", false},     {"CSE_CP_Density", false},
    {"CPE_CP_Contrast", false},
};
static_assert(static_cast<unsigned>(RangeId::CPE_CP_Contrast) + 1 == kRangeCount, "one source per range");

namespace {

// value x scale, held to the 32-bit range so that a damaged package cannot wrap it.
int32_t Scaled(int32_t value, int64_t scale) {
    int64_t v = value * scale;
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void LoadNumericRanges(const Package& pkg, NumericRanges& ranges) {
    for (size_t i = 0; i < kRangeCount; ++i) {
        int32_t block[3];  // +40, +36, +44 as the range read gives them
        if (!RangeLoad(pkg, kRangeSources[i].entry, block)) continue;
        int64_t scale = kRangeSources[i].millimetres ? 10 : 1;
        ranges.range[i].first = Scaled(block[1], scale);
        ranges.range[i].second = Scaled(block[0], scale);
    }
}

}  // namespace nvx::model
