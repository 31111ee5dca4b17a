// Numeric ranges of the model: pairs of values read from the range blocks of the
// main package at attach (image-shift ranges in tenths of a millimetre).
#pragma once

#include <cstddef>
#include <cstdint>

namespace nvx::model {

class Package;

enum class RangeId : unsigned {
    BindShift_Front,
    BindShift_Back,
    DivideFinish,
    TABImageShift,
    PBSpinWidth,
    TABImageShiftValue,
    PIFInsertPage,
    PIBInsertPage,
    ImgShiftPrn_FrontH,
    ImgShiftPrn_FrontV,
    ImgShiftPrn_BackH,
    ImgShiftPrn_BackV,
    ImgShiftMFP_FrontH,
    ImgShiftMFP_FrontV,
    ImgShiftMFP_FrontI,
    ImgShiftMFP_FrontO,
    ImgShiftMFP_BackH,
    ImgShiftMFP_BackV,
    ImgShiftMFP_BackI,
    ImgShiftMFP_BackO,
    // The copy-protect sliders (density of the pattern, of the stamp, of the copy
    // guard; the pattern's contrast).
    CPE_CP_Density,
    CPE_SS_Density,
    CSE_CP_Density,
    CPE_CP_Contrast,
};
inline constexpr size_t kRangeCount = 24;

// One range: the first value from the range block's +36, the second from its +40.
struct NumericRange {
    int32_t first = 0;
    int32_t second = 0;
};

struct NumericRanges {
    NumericRange range[kRangeCount];
    const NumericRange& operator[](RangeId id) const { return range[static_cast<unsigned>(id)]; }
};

// The package entry of each range, and whether its values are millimetres that
// are kept in tenths (multiplied by 10).
struct RangeSource {
    const char* entry;
    bool millimetres;
};
extern const RangeSource kRangeSources[kRangeCount];

// Reads every range whose entry the package has; the others keep their values.
void LoadNumericRanges(const Package& pkg, NumericRanges& ranges);

}  // namespace nvx::model
