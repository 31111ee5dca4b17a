// Paper keywords, unit conversions, the effective custom range and size texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "features/custom_paper.h"

namespace {

using namespace nvx::features;

std::string U8(const nvx::WString& s) { return nvx::Utf8FromW(s); }

TEST(CustomPaper, SpecialKeywords) {
    EXPECT_EQ(65519u, SpecialPaperIndex("DefaultPaper"));
    EXPECT_EQ(65518u, SpecialPaperIndex("UserPaper"));
    EXPECT_EQ(65518u, SpecialPaperIndex("OutUserPaper"));
    EXPECT_EQ(65517u, SpecialPaperIndex("UserLongLengthPaper"));
    EXPECT_EQ(65516u, SpecialPaperIndex(nvx::WString(WL("UserLargePaper"))));
    EXPECT_EQ(0u, SpecialPaperIndex("userpaper"));  // exact
    EXPECT_EQ(0u, SpecialPaperIndex("A4"));
    EXPECT_EQ(0u, SpecialPaperIndex(nvx::WString(WL("UserPaper\u00e9"))));
    EXPECT_TRUE(IsCustomPaperIndex(65516));
    EXPECT_FALSE(IsCustomPaperIndex(65519));
}

TEST(CustomPaper, ConversionsRoundAtTheirEdgesAndSaturate) {
    EXPECT_EQ(0, TenthsToMm(4));
    EXPECT_EQ(1, TenthsToMm(5));
    EXPECT_EQ(432, TenthsToMm(4320));
    EXPECT_EQ(0, MicronsToTenths(49));
    EXPECT_EQ(1, MicronsToTenths(50));
    EXPECT_EQ(2100, MicronsToTenths(210000));
    EXPECT_EQ(209, MicronsToMm(209499));
    EXPECT_EQ(210, MicronsToMm(209500));
    // Inch bounds: the minimum rounds up, the maximum down.
    EXPECT_EQ(394, TenthsToHundredthInchUp(1000));
    EXPECT_EQ(393, TenthsToHundredthInchDown(1000));
    EXPECT_EQ(1700, TenthsToHundredthInchDown(4320));
    EXPECT_EQ(100, TenthsToHundredthInchUp(254));  // exact values stay
    EXPECT_EQ(100, TenthsToHundredthInchDown(254));
    EXPECT_EQ(3938, TenthsToThousandthInchUp(1000));
    EXPECT_EQ(17007, TenthsToThousandthInchDown(4320));
    EXPECT_EQ(8268, MicronsToThousandthInch(210000));
    EXPECT_EQ(1000, MicronsToThousandthInch(25400));
    EXPECT_EQ(0, MicronsToThousandthInch(12));
    EXPECT_EQ(1, MicronsToThousandthInch(13));
    // Large inputs: no overflow, the result saturates at the 32-bit limits.
    EXPECT_EQ(INT32_MAX, TenthsToThousandthInchUp(INT32_MAX));
    EXPECT_EQ(INT32_MIN, TenthsToThousandthInchDown(INT32_MIN));
    EXPECT_EQ(845466002, TenthsToHundredthInchDown(INT32_MAX));
    EXPECT_EQ(84546600, MicronsToThousandthInch(INT32_MAX));
    EXPECT_EQ(214748365, TenthsToMm(INT32_MAX));
}

TEST(CustomPaper, RangeLabelsInEveryFormat) {
    // The 1000 ... 4320 example.
    EXPECT_EQ("mm [100...432]", U8(RangeLabel(SizeUnit::Mm, false, 1000, 4320)));
    EXPECT_EQ("mm [100.0...432.0]", U8(RangeLabel(SizeUnit::Mm, true, 1000, 4320)));
    EXPECT_EQ("inch [3.94...17.00]", U8(RangeLabel(SizeUnit::Inch, false, 1000, 4320)));
    EXPECT_EQ("inch [3.938...17.007]", U8(RangeLabel(SizeUnit::Inch, true, 1000, 4320)));
    EXPECT_EQ("mm [90...297]", U8(RangeLabel(SizeUnit::Mm, false, 895, 2974)));
    EXPECT_EQ("mm [89.5...297.4]", U8(RangeLabel(SizeUnit::Mm, true, 895, 2974)));
}

TEST(CustomPaper, ListLinesAndNumbers) {
    const nvx::WString name = WL("Card");
    EXPECT_EQ("Card\t(210 x 297mm)", U8(SizeListText(name, SizeUnit::Mm, false, 210000, 297000)));
    EXPECT_EQ("Card\t(210.0 x 297.1mm)", U8(SizeListText(name, SizeUnit::Mm, true, 210000, 297060)));
    EXPECT_EQ("Card\t(8.27 x 11.69inch)", U8(SizeListText(name, SizeUnit::Inch, false, 210000, 297000)));
    EXPECT_EQ("Card\t(8.268 x 11.693inch)", U8(SizeListText(name, SizeUnit::Inch, true, 210000, 297000)));
    EXPECT_EQ("12.3", U8(TenthsText(123)));
    EXPECT_EQ("0.5", U8(TenthsText(5)));
    EXPECT_EQ("3.05", U8(HundredthsText(305)));
    EXPECT_EQ("-0.05", U8(HundredthsText(-5)));
    EXPECT_EQ("-12.34", U8(HundredthsText(-1234)));
    EXPECT_EQ("17.007", U8(ThousandthsText(17007)));
}

TEST(CustomPaper, EffectiveRangeCombinesLimitsAndVariants) {
    CustomPaperModel m;
    m.normal = {900, 2970, 1390, 4320};
    m.longLength = {2100, 3000, 4321, 12000};
    EXPECT_EQ(4320, EffectiveCustomRange(m).maxLength);
    m.useLongLength = true;
    SizeRange r = EffectiveCustomRange(m);
    EXPECT_EQ(900, r.minWidth);
    EXPECT_EQ(3000, r.maxWidth);
    EXPECT_EQ(1390, r.minLength);
    EXPECT_EQ(12000, r.maxLength);
    m.normal.maxLength = 13000;  // a normal maximum above the long-length one wins
    EXPECT_EQ(13000, EffectiveCustomRange(m).maxLength);
    m.normal.maxLength = 4320;
    // Printer variants: the feed length replaces the normal maximum length.
    m.useLongLength = false;
    m.printerVariant = true;
    m.maxFeedLength = 9000;
    EXPECT_EQ(9000, EffectiveCustomRange(m).maxLength);
    m.maxFeedLength = 0;
    EXPECT_EQ(4320, EffectiveCustomRange(m).maxLength);
    // The model's overall limits bound everything; a zero bound limits nothing.
    m.limits = {1000, 2800, 0, 4000};
    r = EffectiveCustomRange(m);
    EXPECT_EQ(1000, r.minWidth);
    EXPECT_EQ(2800, r.maxWidth);
    EXPECT_EQ(1390, r.minLength);
    EXPECT_EQ(4000, r.maxLength);
    EXPECT_TRUE(InRange(r, 1000, 4000));
    EXPECT_FALSE(InRange(r, 999, 4000));
    EXPECT_FALSE(InRange(r, 1000, 4001));
    EXPECT_EQ(2800, ClampWidth(r, 5000));
    EXPECT_EQ(1390, ClampLength(r, -7));
}

TEST(CustomPaper, FieldTextsClampAndSizeTheEdit) {
    const SizeRange r{1000, 2970, 1390, 4320};
    EXPECT_EQ("100", U8(SizeFieldText(r, true, 500, SizeUnit::Mm, false)));  // clamped
    EXPECT_EQ("210.0", U8(SizeFieldText(r, true, 2100, SizeUnit::Mm, true)));
    EXPECT_EQ("8.27", U8(SizeFieldText(r, true, 2100, SizeUnit::Inch, false)));
    EXPECT_EQ("17.007", U8(SizeFieldText(r, false, 9999, SizeUnit::Inch, true)));  // the label's maximum
    EXPECT_EQ(3u, SizeFieldLimit(r, true, SizeUnit::Mm, false));
    EXPECT_EQ(5u, SizeFieldLimit(r, false, SizeUnit::Inch, false));  // "17.00"
}

// A shown value never lies beyond the range label: 4320 is 17.008 inches, nearest
// 17.01, but the label says 17.00; 1390 is 5.472 inches, but the label says 5.48.
TEST(CustomPaper, ShownValuesStayInsideTheRangeLabel) {
    const SizeRange r{1000, 2970, 1390, 4320};
    EXPECT_EQ("inch [5.48...17.00]", U8(RangeLabel(SizeUnit::Inch, false, r.minLength, r.maxLength)));
    EXPECT_EQ("17.00", U8(SizeFieldText(r, false, 4320, SizeUnit::Inch, false)));
    EXPECT_EQ("17.007", U8(SizeFieldText(r, false, 4320, SizeUnit::Inch, true)));
    EXPECT_EQ("5.48", U8(SizeFieldText(r, false, 1390, SizeUnit::Inch, false)));   // 5.472, label 5.48
    EXPECT_EQ("5.473", U8(SizeFieldText(r, false, 1390, SizeUnit::Inch, true)));
    EXPECT_EQ("3.94", U8(SizeFieldText(r, true, 1000, SizeUnit::Inch, false)));
    // A range narrower than one shown step has no value inside its label: the
    // nearest value is shown.
    const SizeRange narrow{1001, 1002, 1001, 1002};
    EXPECT_EQ("3.94", U8(SizeFieldText(narrow, true, 1001, SizeUnit::Inch, false)));
}

TEST(CustomPaper, TypedSizesAreReadInTheirUnit) {
    int32_t t = -1;
    EXPECT_TRUE(ParseSizeText(WL("210"), SizeUnit::Mm, &t));
    EXPECT_EQ(2100, t);
    EXPECT_TRUE(ParseSizeText(WL("210.46"), SizeUnit::Mm, &t));
    EXPECT_EQ(2105, t);
    EXPECT_TRUE(ParseSizeText(WL("8.27"), SizeUnit::Inch, &t));
    EXPECT_EQ(2101, t);  // 210.058 mm
    EXPECT_TRUE(ParseSizeText(WL("9.5"), SizeUnit::Inch, &t));
    EXPECT_EQ(2413, t);
    EXPECT_TRUE(ParseSizeText(WL(".5"), SizeUnit::Mm, &t));
    EXPECT_EQ(5, t);
    t = -1;
    for (const WCHAR* bad : {WL(""), WL("."), WL("-1"), WL("1.2.3"), WL("1.2345"), WL("12a"), WL("1234567890")})
        EXPECT_FALSE(ParseSizeText(bad, SizeUnit::Mm, &t)) << U8(bad);
    EXPECT_EQ(-1, t);
}

// What a field stands for when it is read back: its stored value while it shows
// the text shown for it, else the typed number in the unit, inside the range.
TEST(CustomPaper, AFieldLeftAsShownKeepsItsStoredValue) {
    const SizeRange r{900, 2970, 1390, 12000};
    EXPECT_EQ(2100, SizeFieldValue(r, true, WL("8.27"), 2100, SizeUnit::Inch, false));
    EXPECT_EQ(2970, SizeFieldValue(r, false, WL("11.69"), 2970, SizeUnit::Inch, false));
    EXPECT_EQ(2105, SizeFieldValue(r, true, WL("211"), 2105, SizeUnit::Mm, false));
    EXPECT_EQ(2103, SizeFieldValue(r, true, WL("8.28"), 2100, SizeUnit::Inch, false));
    EXPECT_EQ(2110, SizeFieldValue(r, true, WL("211"), 2100, SizeUnit::Mm, false));
    EXPECT_EQ(2970, SizeFieldValue(r, true, WL("500"), 2100, SizeUnit::Mm, false));  // brought inside
    EXPECT_EQ(2100, SizeFieldValue(r, true, WL(""), 2100, SizeUnit::Mm, false));     // not a number
    EXPECT_EQ(900, SizeFieldValue(r, true, WL("90"), 50, SizeUnit::Mm, false));      // a stored value outside
}

// Every value of a range, in every unit and precision: shown, then read back as
// typed, then shown again.  Reading a shown text back gives a value that shows the
// same text and lies inside the range; the fine units lose nothing; the shown
// number lies inside the label; and a field left as shown keeps its value.
TEST(CustomPaper, EveryShownSizeReadsBackInEveryUnitAndPrecision) {
    const SizeRange ranges[] = {{900, 2970, 1390, 12000}, {1000, 2970, 1390, 4320}, {1001, 1009, 1004, 1013}};
    for (const SizeRange& r : ranges)
        for (const SizeUnit unit : {SizeUnit::Mm, SizeUnit::Inch})
            for (const bool fine : {false, true})
                for (const bool width : {true, false}) {
                    const int32_t lo = width ? r.minWidth : r.minLength;
                    const int32_t hi = width ? r.maxWidth : r.maxLength;
                    const std::string label = U8(RangeLabel(unit, fine, lo, hi));
                    // The label's bounds as numbers of the shown step.
                    const size_t open = label.find('['), dots = label.find("..."), close = label.find(']');
                    auto number = [](std::string t) {
                        t.erase(std::remove(t.begin(), t.end(), '.'), t.end());
                        return std::stol(t);
                    };
                    const long labelLo = number(label.substr(open + 1, dots - open - 1));
                    const long labelHi = number(label.substr(dots + 3, close - dots - 3));
                    int failures = 0;
                    for (int32_t v = lo; v <= hi && failures < 3; ++v) {
                        const nvx::WString shown = SizeFieldText(r, width, v, unit, fine);
                        int32_t typed = 0;
                        const bool parsed = ParseSizeText(shown, unit, &typed);
                        const int32_t back = width ? ClampWidth(r, typed) : ClampLength(r, typed);
                        const long n = number(U8(shown));
                        const bool ok = parsed && SizeFieldText(r, width, back, unit, fine) == shown &&
                                        (!fine || back == v) && n >= labelLo && n <= labelHi &&
                                        SizeFieldValue(r, width, shown, v, unit, fine) == v;
                        if (!ok) ++failures;
                        EXPECT_TRUE(ok) << "value " << v << " shown " << U8(shown) << " read back " << back
                                        << " label " << label << (unit == SizeUnit::Mm ? " mm" : " inch")
                                        << (fine ? " fine" : " normal") << (width ? " width" : " length");
                    }
                }
}

}  // namespace
