// Lengths the layout dialogs edit (binding margins, image shifts, widths): kept in
// a metric base unit (whole millimetres or tenths of a millimetre), shown and typed
// in millimetres or inches.
//
// Typing: an optional minus sign (only where the range allows negative values),
// digits, and one decimal separator, a point or a comma (so a decimal comma as
// many keyboards type it is read as one), with at most three decimals; the value
// is rounded to the unit's step (the base step in millimetres, 0.01 inch).
// Letters, a second separator, an empty text, a lone separator and numbers past
// 100000 are not numbers.  A number outside the range, compared in the unit it was
// typed in, is refused: it is never brought inside silently.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace nvx::pages::measure {

enum class Unit : uint8_t { Mm = 0, Inch = 1 };

// A field's base unit: 10^-decimals millimetre (0: whole mm, 1: tenths).
struct Scale {
    int decimals = 0;
};

// Base value to 0.01 inch and back (to the nearest).
int32_t BaseToHundredthsInch(int32_t base, Scale s);
int32_t HundredthsInchToBase(int32_t hundredths, Scale s);

// The range in the unit's step: in millimetres the base values; in inches the
// smallest and largest 0.01 inch that lie inside the range.
void RangeInUnit(int32_t minBase, int32_t maxBase, Scale s, Unit u, int32_t* lo, int32_t* hi);

// A value in the unit's step as text ("12", "12.5" in tenths, "0.49" in inches).
WString ShowInUnit(int32_t valueInUnit, Scale s, Unit u);
// A base value shown in a unit.
WString ShowBase(int32_t base, Scale s, Unit u);

enum class Parse { Ok, NotANumber, OutOfRange };
// Reads a typed value in the unit.  Ok: *inUnit is the value in the unit's step and
// *base the base value (inside [minBase, maxBase]).
Parse Read(WStringView text, Scale s, Unit u, int32_t minBase, int32_t maxBase, int32_t* inUnit, int32_t* base);

}  // namespace nvx::pages::measure
