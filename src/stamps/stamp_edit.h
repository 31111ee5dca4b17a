// What the header/footer and date/time/page-number edit dialogs check before they
// store a typed number, and the labels of the header/footer detail list.  No
// window code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/text.h"

namespace nvx::stamps {

// A number typed into a box: decimal digits only (blanks around them allowed),
// inside [low, high]; nothing otherwise (an empty box, a sign, a number past the
// range or past 32 bits).
std::optional<uint32_t> ParseBoxNumber(WStringView text, uint32_t low, uint32_t high);

// The header/footer start number ("dwHFE_StartNumber"): shown with eight digits
// while the digit flag is 0, so the box then takes at most 99999999; with the flag
// any 32-bit number.
uint32_t MaxStartNumber(bool digitFlag);
inline constexpr uint32_t kMinStartNumber = 0;

// The start page and start number of the page-number stamp.
struct NumberRange {
    uint32_t low, high;
};
inline constexpr NumberRange kPageNumStartRange{1, 9999};

// The detail list: the three column titles and the five row titles, in row order
// (text, date/time, serial number, job number, user name).
std::array<WString, 3> DetailColumnTitles();
std::array<WString, 5> DetailRowTitles();

}  // namespace nvx::stamps
