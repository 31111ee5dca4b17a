// Formatting package texts that carry "%d" conversions.  Texts come from the model
// package, which is outside data: only %d (with flags and width) and %% are
// conversions here; any other conversion is copied as written, so a text with
// "%s" cannot make the formatter read a number as a pointer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

namespace nvx::pages {

// Fills the first %d with a, the second with b; later %d stay as written.
WString FormatNumbers(WStringView format, int32_t a, int32_t b);
// The same for any number of values: the n-th %d takes values[n]; %d past the
// values stay as written.
WString FormatNumberList(WStringView format, const int32_t* values, size_t count);

// Fills the first %s with a, the second with b; every other conversion (and a %s
// past the second) is copied as written.
WString FormatTexts(WStringView format, WStringView a, WStringView b);

}  // namespace nvx::pages
