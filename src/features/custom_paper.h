// Paper keywords and custom paper sizes: the special keywords of the paper-size
// lists, the unit conversions (all on integers), the effective custom size range
// and the texts that show sizes and ranges.
//
// Sizes in the settings record are in tenths of a millimetre; the custom paper
// list and spooler forms use micrometres.  Every conversion computes in 64 bits and
// saturates its result at the 32-bit limits.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/text.h"

namespace nvx::features {

struct ModelRecord;

// ---- Special option indexes and values of a list lookup ----
inline constexpr uint32_t kIndexNotFound = 65535;
inline constexpr uint32_t kIndexEmpty = 65533;
inline constexpr uint32_t kIndexDefaultPaper = 65519;
inline constexpr uint32_t kIndexUserPaper = 65518;
inline constexpr uint32_t kIndexUserLongLengthPaper = 65517;
inline constexpr uint32_t kIndexUserLargePaper = 65516;
inline constexpr int32_t kValueNoList = 65534;  // the item has no option list
inline constexpr int32_t kValueNone = 65532;    // the index stands for no value

// The special index of a paper keyword ("DefaultPaper", "UserPaper",
// "OutUserPaper", "UserLongLengthPaper", "UserLargePaper"), or 0 for any other.
uint32_t SpecialPaperIndex(std::string_view keyword);
uint32_t SpecialPaperIndex(WStringView keyword);
// Whether an index stands for a custom size (UserPaper, long-length or large).
bool IsCustomPaperIndex(uint32_t index);

// ---- Conversions ----
int32_t TenthsToMm(int64_t tenths);               // (x + 5) / 10
int32_t MicronsToTenths(int64_t microns);         // (x + 50) / 100
int32_t MicronsToMm(int64_t microns);             // (x + 500) / 1000
int32_t TenthsToHundredthInchUp(int64_t tenths);  // lower bound: (100x + 253) / 254
int32_t TenthsToHundredthInchDown(int64_t tenths);  // upper bound: 100x / 254
int32_t TenthsToThousandthInchUp(int64_t tenths);   // (1000x + 253) / 254
int32_t TenthsToThousandthInchDown(int64_t tenths); // 1000x / 254
int32_t MicronsToThousandthInch(int64_t microns);   // (10x + 127) / 254
int32_t MicronsToHundredthInch(int64_t microns);    // (x + 127) / 254

// ---- Ranges (0.1 mm) ----
struct SizeRange {
    int32_t minWidth = 0;
    int32_t maxWidth = 0;
    int32_t minLength = 0;
    int32_t maxLength = 0;
};

struct CustomPaperModel {
    SizeRange normal;             // UserPaper_Width / UserPaper_Length
    SizeRange longLength;         // UserLongLengthPaper_*
    SizeRange large;              // UserLargePaper_* (not part of the effective range)
    bool useLongLength = false;   // model switch UseLongLengthPaper
    bool printerVariant = false;  // _PRP_QUALTY_PRN_C or _PRP_QUALTY_PRN_M
    int32_t paperFeedType = 0;
    int32_t maxFeedLength = 0;    // 0.1 mm, 0 when the model gives none
    SizeRange limits;             // overall model limits; a bound of 0 limits nothing
    bool finePrecision = false;
};

// The model's custom paper facts (ranges, switches, limits); the build's variant
// switches decide printerVariant.  A null record gives all zeros.
CustomPaperModel CustomPaperModelOf(const ModelRecord* record);

// The maximum length the printer variants take from the paper-feed settings: the
// model's maximum feed length when it gives one (any feed type), else the normal
// maximum length.
int32_t PrinterMaxLength(const CustomPaperModel& m);

// The effective range of the custom size fields: the normal range, combined with
// the long-length range when the model uses it (smaller minimums, larger maximum
// width, the long-length maximum length unless the normal one is larger), the
// printer variants' maximum length in place of the normal one, then every bound
// brought inside the model's overall limits.
SizeRange EffectiveCustomRange(const CustomPaperModel& m);

bool InRange(const SizeRange& r, int32_t width, int32_t length);
// Width and length brought inside the range (bounds as given, min first).
int32_t ClampWidth(const SizeRange& r, int32_t width);
int32_t ClampLength(const SizeRange& r, int32_t length);

// ---- Texts ----
enum class SizeUnit { Mm, Inch };

// The range label beside a size field, from bounds in 0.1 mm: "mm [100...432]",
// "mm [100.0...432.0]", "inch [3.94...17.00]", "inch [3.938...17.007]".  Inch
// minimums round up and maximums round down, so every value shown is printable.
WString RangeLabel(SizeUnit unit, bool fine, int32_t minimum, int32_t maximum);

// A custom paper list line from a name and a size in micrometres:
// "%s\t(%d x %dmm)", "%s\t(%d.%01d x %d.%01dmm)", "%s\t(%d.%02d x %d.%02dinch)",
// "%s\t(%d.%03d x %d.%03dinch)" (each dimension rounded to nearest).
WString SizeListText(WStringView name, SizeUnit unit, bool fine, int32_t widthMicrons, int32_t lengthMicrons);

// Numeric texts: tenths as "%d.%d"; hundredths as "%d.%02d" ("-%d.%02d" below
// zero); thousandths as "%d.%03d" (likewise signed).
WString TenthsText(int32_t tenths);
WString HundredthsText(int32_t hundredths);
WString ThousandthsText(int32_t thousandths);

// The text a size field shows for a value in 0.1 mm (clamped to the range first):
// whole mm, "%d.%d" mm, the nearest hundredth or thousandth of an inch.  A shown
// value never lies outside the range label: in inch it is kept between the label's
// minimum (rounded up) and maximum (rounded down), so 4320 shows "17.00", not "17.01".
WString SizeFieldText(const SizeRange& r, bool widthField, int32_t tenths, SizeUnit unit, bool fine);
// The field's length limit: the longer of its minimum and maximum texts.
size_t SizeFieldLimit(const SizeRange& r, bool widthField, SizeUnit unit, bool fine);

// Reads a size typed in the unit into 0.1 mm: digits with at most one decimal point
// and three decimals, at most nine digits; millimetres and inches (25.4 mm) round to
// the nearest 0.1 mm.  False for anything else (empty, a sign, a second point).
bool ParseSizeText(WStringView text, SizeUnit unit, int32_t* tenths);

// The value in 0.1 mm that a size field's text stands for when the field is read
// back.  A text that is still the one shown for the stored value keeps the stored
// value: shown values are rounded, and reading "8.27" inch back would move 2100 to
// 2101.  Another number is taken in the unit; a text that is no number keeps the
// stored value.  The result is brought inside the range.
int32_t SizeFieldValue(const SizeRange& r, bool widthField, WStringView text, int32_t stored, SizeUnit unit,
                       bool fine);
}  // namespace nvx::features
