// Paper defaults of the settings record: the package's default paper at attach and
// the user's locale paper when default settings are made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "settings/oemdev.h"

namespace nvx::settings {

// nOutPaperSize value meaning "the output size follows the document's paper".
inline constexpr int32_t kOutPaperSameAsInput = 357;

// One row of the model's paper table, as the feature catalogue gives it.
struct PaperRow {
    int32_t id = 0;          // paper identifier (the record's nPaperSize value)
    int32_t width = 0;       // 0.1 mm
    int32_t height = 0;      // 0.1 mm
    int32_t margins[4] = {}; // left, top, right, bottom, 0.1 mm
    std::vector<uint16_t> countries;  // country codes (the model lists at most 47)
};

// 0.1 mm to 0.01 inch, rounded to the nearest (2100 -> 827, 2970 -> 1169).
int32_t TenthsMmToHundredthsInch(int32_t tenths);

// "PaperSize": identifier, size and margins into nPaperSize, sizPaper, rcMargin.
void ApplyPaperDefault(OEMDEV& record, const PaperRow& paper);
// "OutPaperSize": the identifier into nOutPaperSize and the size into sizOutPaper;
// for 357 the output size copies the record's input paper size instead.
void ApplyOutPaperDefault(OEMDEV& record, int32_t id, int32_t width, int32_t height);
// "UserPaper_Width" (width true) or "UserPaper_Length": the user-defined input and
// output size; with inchValues also their 0.01-inch fields.
void ApplyUserPaperDefault(OEMDEV& record, bool width, int32_t tenthsMm, bool inchValues);

// The paper of the user's locale: the first row whose country list holds country;
// else the row of the package's default paper (when there is one); else null.
const PaperRow* ChooseLocalePaper(const std::vector<PaperRow>& papers, int country, bool hasPackageDefault,
                                  int32_t packageDefaultPaper);
// Writes a locale paper into record: identifier, size and margins; the output size
// when nOutPaperSize is 357; the server paper size; the user-defined input and
// output sizes, and with inchValues their 0.01-inch fields.
void ApplyLocalePaper(OEMDEV& record, const PaperRow& paper, bool inchValues);

// The user's default locale's country code (LOCALE_ICOUNTRY), or -1 when the
// locale cannot be read or holds no number.
int UserCountryCode();

}  // namespace nvx::settings
