#include "pages/measure.h"

#include <cmath>
#include <cstdio>

namespace nvx::pages::measure {

namespace {

double BaseToMm(int32_t base, Scale s) {
    return s.decimals == 1 ? base / 10.0 : static_cast<double>(base);
}

int32_t StepDecimals(Scale s, Unit u) {
    return u == Unit::Inch ? 2 : s.decimals;
}

int64_t Pow10(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

}  // namespace

int32_t BaseToHundredthsInch(int32_t base, Scale s) {
    return static_cast<int32_t>(std::lround(BaseToMm(base, s) / 0.254));
}

int32_t HundredthsInchToBase(int32_t hundredths, Scale s) {
    const double mm = hundredths * 0.254;
    return static_cast<int32_t>(std::lround(s.decimals == 1 ? mm * 10.0 : mm));
}

void RangeInUnit(int32_t minBase, int32_t maxBase, Scale s, Unit u, int32_t* lo, int32_t* hi) {
    if (u == Unit::Mm) {
        *lo = minBase;
        *hi = maxBase;
        return;
    }
    // The inch values whose base value lies inside the range.
    const double perHundredth = s.decimals == 1 ? 2.54 : 0.254;
    *lo = static_cast<int32_t>(std::ceil(minBase / perHundredth - 1e-9));
    *hi = static_cast<int32_t>(std::floor(maxBase / perHundredth + 1e-9));
    while (*lo <= *hi && HundredthsInchToBase(*lo, s) < minBase) ++*lo;
    while (*hi >= *lo && HundredthsInchToBase(*hi, s) > maxBase) --*hi;
}

WString ShowInUnit(int32_t v, Scale s, Unit u) {
    const int d = StepDecimals(s, u);
    char buf[32];
    if (d == 0) {
        std::snprintf(buf, sizeof buf, "%d", v);
    } else {
        const int64_t p = Pow10(d);
        const int64_t a = v < 0 ? -static_cast<int64_t>(v) : v;
        std::snprintf(buf, sizeof buf, "%s%u.%0*u", v < 0 ? "-" : "", static_cast<unsigned>(a / p), d,
                      static_cast<unsigned>(a % p));
    }
    return WFromAscii(buf);
}

WString ShowBase(int32_t base, Scale s, Unit u) {
    return ShowInUnit(u == Unit::Inch ? BaseToHundredthsInch(base, s) : base, s, u);
}

Parse Read(WStringView text, Scale s, Unit u, int32_t minBase, int32_t maxBase, int32_t* inUnit, int32_t* base) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    bool negative = false;
    if (i < end && text[i] == '-') {
        if (minBase >= 0) return Parse::NotANumber;
        negative = true;
        ++i;
    }
    int64_t whole = 0, fraction = 0;
    int fractionDigits = 0, wholeDigits = 0;
    bool separator = false;
    for (; i < end; ++i) {
        const WCHAR c = text[i];
        if (c == '.' || c == ',') {
            if (separator) return Parse::NotANumber;
            separator = true;
        } else if (c >= '0' && c <= '9') {
            if (separator) {
                if (++fractionDigits > 3) return Parse::NotANumber;
                fraction = fraction * 10 + (c - '0');
            } else {
                if (++wholeDigits > 6) return Parse::NotANumber;
                whole = whole * 10 + (c - '0');
            }
        } else {
            return Parse::NotANumber;
        }
    }
    if (wholeDigits == 0 && fractionDigits == 0) return Parse::NotANumber;
    if (whole > 100000) return Parse::NotANumber;
    // In thousandths, then rounded (half away from zero) to the unit's step.
    const int64_t thousandths = whole * 1000 + fraction * Pow10(3 - fractionDigits);
    const int64_t step = Pow10(3 - StepDecimals(s, u));
    int64_t v = (thousandths + step / 2) / step;
    if (negative) v = -v;
    int32_t lo, hi;
    RangeInUnit(minBase, maxBase, s, u, &lo, &hi);
    if (v < lo || v > hi) return Parse::OutOfRange;
    *inUnit = static_cast<int32_t>(v);
    *base = u == Unit::Inch ? HundredthsInchToBase(*inUnit, s) : *inUnit;
    if (*base < minBase) *base = minBase;
    if (*base > maxBase) *base = maxBase;
    return Parse::Ok;
}

}  // namespace nvx::pages::measure
