// Paper keywords, unit conversions, the effective custom range and size texts.
#include "features/custom_paper.h"

#include <algorithm>
#include <climits>

#include "features/model_record.h"
#include "frame/variant_switches.h"

namespace nvx::features {

namespace {

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Products of 32-bit inputs by at most 1000 fit in 64 bits; larger inputs are
// limited first so that no product can overflow.
int64_t Limit(int64_t v) { return std::clamp<int64_t>(v, -(int64_t{1} << 50), int64_t{1} << 50); }

SizeRange RangeOf(const ModelRecord& r, const char* width, const char* length) {
    SizeRange out;
    if (const Range* w = r.FindRange(width); w && w->present) {
        out.minWidth = w->minimum;
        out.maxWidth = w->maximum;
    }
    if (const Range* l = r.FindRange(length); l && l->present) {
        out.minLength = l->minimum;
        out.maxLength = l->maximum;
    }
    return out;
}

// "%d.%0Nd" of a scaled value, the sign in front.
WString Scaled(int64_t v, int scale, const WCHAR* fraction) {
    const bool negative = v < 0;
    const int64_t a = negative ? -v : v;
    WCHAR buf[48];
    WCHAR fmt[16];
    WFormat(fmt, 16, WL("%s%%d.%s"), negative ? WL("-") : WL(""), fraction);
    WFormat(buf, 48, fmt, static_cast<int>(a / scale), static_cast<int>(a % scale));
    return buf;
}

}  // namespace

uint32_t SpecialPaperIndex(std::string_view k) {
    if (k == "DefaultPaper") return kIndexDefaultPaper;
    if (k == "UserPaper" || k == "OutUserPaper") return kIndexUserPaper;
    if (k == "UserLongLengthPaper") return kIndexUserLongLengthPaper;
    if (k == "UserLargePaper") return kIndexUserLargePaper;
    return 0;
}

uint32_t SpecialPaperIndex(WStringView k) {
    if (k.size() > 31) return 0;
    char narrow[32] = {};
    for (size_t i = 0; i < k.size(); ++i) {
        if (k[i] > 0x7F) return 0;
        narrow[i] = static_cast<char>(k[i]);
    }
    return SpecialPaperIndex(std::string_view(narrow, k.size()));
}

bool IsCustomPaperIndex(uint32_t i) {
    return i == kIndexUserPaper || i == kIndexUserLongLengthPaper || i == kIndexUserLargePaper;
}

int32_t TenthsToMm(int64_t x) { return Saturate((Limit(x) + 5) / 10); }
int32_t MicronsToTenths(int64_t x) { return Saturate((Limit(x) + 50) / 100); }
int32_t MicronsToMm(int64_t x) { return Saturate((Limit(x) + 500) / 1000); }
int32_t TenthsToHundredthInchUp(int64_t x) { return Saturate((100 * Limit(x) + 253) / 254); }
int32_t TenthsToHundredthInchDown(int64_t x) { return Saturate(100 * Limit(x) / 254); }
int32_t TenthsToThousandthInchUp(int64_t x) { return Saturate((1000 * Limit(x) + 253) / 254); }
int32_t TenthsToThousandthInchDown(int64_t x) { return Saturate(1000 * Limit(x) / 254); }
int32_t MicronsToThousandthInch(int64_t x) { return Saturate((10 * Limit(x) + 127) / 254); }
int32_t MicronsToHundredthInch(int64_t x) { return Saturate((Limit(x) + 127) / 254); }

CustomPaperModel CustomPaperModelOf(const ModelRecord* r) {
    CustomPaperModel m;
    m.printerVariant = frame::AskVariant("_PRP_QUALTY_PRN_C") != 0 || frame::AskVariant("_PRP_QUALTY_PRN_M") != 0;
    if (!r) return m;
    m.normal = RangeOf(*r, "UserPaper_Width", "UserPaper_Length");
    m.longLength = RangeOf(*r, "UserLongLengthPaper_Width", "UserLongLengthPaper_Length");
    m.large = RangeOf(*r, "UserLargePaper_Width", "UserLargePaper_Length");
    m.useLongLength = r->switches[kSw_UseLongLengthPaper] != 0;
    m.paperFeedType = r->facts[kFactPaperFeedType];
    m.maxFeedLength = r->facts[kFactMaxFeedLength];
    m.limits.minWidth = r->facts[kFactMinWidth];
    m.limits.minLength = r->facts[kFactMinLength];
    m.limits.maxWidth = r->facts[kFactMaxWidth];
    m.limits.maxLength = r->facts[kFactMaxLength];
    m.finePrecision = r->facts[kFactFinePrecision] != 0;
    return m;
}

int32_t PrinterMaxLength(const CustomPaperModel& m) {
    return m.maxFeedLength > 0 ? m.maxFeedLength : m.normal.maxLength;
}

SizeRange EffectiveCustomRange(const CustomPaperModel& m) {
    SizeRange r = m.normal;
    if (m.printerVariant) r.maxLength = PrinterMaxLength(m);
    if (m.useLongLength) {
        const SizeRange& l = m.longLength;
        r.minWidth = std::min(r.minWidth, l.minWidth);
        r.minLength = std::min(r.minLength, l.minLength);
        r.maxWidth = std::max(r.maxWidth, l.maxWidth);
        r.maxLength = std::max(l.maxLength, r.maxLength);
    }
    const SizeRange& lim = m.limits;
    if (lim.minWidth > 0) r.minWidth = std::max(r.minWidth, lim.minWidth);
    if (lim.minLength > 0) r.minLength = std::max(r.minLength, lim.minLength);
    if (lim.maxWidth > 0) r.maxWidth = std::min(r.maxWidth, lim.maxWidth);
    if (lim.maxLength > 0) r.maxLength = std::min(r.maxLength, lim.maxLength);
    return r;
}

bool InRange(const SizeRange& r, int32_t w, int32_t l) {
    return w >= r.minWidth && w <= r.maxWidth && l >= r.minLength && l <= r.maxLength;
}

int32_t ClampWidth(const SizeRange& r, int32_t w) { return std::max(r.minWidth, std::min(w, r.maxWidth)); }
int32_t ClampLength(const SizeRange& r, int32_t l) { return std::max(r.minLength, std::min(l, r.maxLength)); }

WString TenthsText(int32_t v) { return Scaled(v, 10, WL("%d")); }
WString HundredthsText(int32_t v) { return Scaled(v, 100, WL("%02d")); }
WString ThousandthsText(int32_t v) { return Scaled(v, 1000, WL("%03d")); }

WString RangeLabel(SizeUnit unit, bool fine, int32_t lo, int32_t hi) {
    WCHAR buf[96];
    if (unit == SizeUnit::Mm) {
        if (!fine) {
            WFormat(buf, 96, WL("mm [%d...%d]"), TenthsToMm(lo), TenthsToMm(hi));
            return buf;
        }
        return WL("mm [") + TenthsText(lo) + WL("...") + TenthsText(hi) + WL("]");
    }
    if (!fine)
        return WL("inch [") + HundredthsText(TenthsToHundredthInchUp(lo)) + WL("...") +
               HundredthsText(TenthsToHundredthInchDown(hi)) + WL("]");
    return WL("inch [") + ThousandthsText(TenthsToThousandthInchUp(lo)) + WL("...") +
           ThousandthsText(TenthsToThousandthInchDown(hi)) + WL("]");
}

WString SizeListText(WStringView name, SizeUnit unit, bool fine, int32_t w, int32_t l) {
    WString n(name);
    WCHAR buf[160];
    if (unit == SizeUnit::Mm && !fine) {
        WFormat(buf, 160, WL("\t(%d x %dmm)"), MicronsToMm(w), MicronsToMm(l));
        return n + buf;
    }
    if (unit == SizeUnit::Mm) return n + WL("\t(") + TenthsText(MicronsToTenths(w)) + WL(" x ") +
                                     TenthsText(MicronsToTenths(l)) + WL("mm)");
    if (!fine) return n + WL("\t(") + HundredthsText(MicronsToHundredthInch(w)) + WL(" x ") +
                      HundredthsText(MicronsToHundredthInch(l)) + WL("inch)");
    return n + WL("\t(") + ThousandthsText(MicronsToThousandthInch(w)) + WL(" x ") +
           ThousandthsText(MicronsToThousandthInch(l)) + WL("inch)");
}

WString SizeFieldText(const SizeRange& r, bool widthField, int32_t tenths, SizeUnit unit, bool fine) {
    const int32_t lo = widthField ? r.minWidth : r.minLength;
    const int32_t hi = widthField ? r.maxWidth : r.maxLength;
    const int32_t v = widthField ? ClampWidth(r, tenths) : ClampLength(r, tenths);
    if (unit == SizeUnit::Mm) {
        if (fine) return TenthsText(v);
        WCHAR buf[16];
        WFormat(buf, 16, WL("%d"), TenthsToMm(v));
        return buf;
    }
    // The nearest inch value, kept inside the label's bounds (minimum rounded up,
    // maximum rounded down).
    const int64_t x = v;
    int32_t n = Saturate(((fine ? 1000 : 100) * x + 127) / 254);
    const int32_t low = fine ? TenthsToThousandthInchUp(lo) : TenthsToHundredthInchUp(lo);
    const int32_t high = fine ? TenthsToThousandthInchDown(hi) : TenthsToHundredthInchDown(hi);
    if (low <= high) n = std::clamp(n, low, high);
    return fine ? ThousandthsText(n) : HundredthsText(n);
}

size_t SizeFieldLimit(const SizeRange& r, bool widthField, SizeUnit unit, bool fine) {
    const int32_t lo = widthField ? r.minWidth : r.minLength;
    const int32_t hi = widthField ? r.maxWidth : r.maxLength;
    SizeRange exact{lo, hi, lo, hi};
    const size_t low = SizeFieldText(exact, true, lo, unit, fine).size();
    return std::max(low, SizeFieldText(exact, true, hi, unit, fine).size());
}

bool ParseSizeText(WStringView text, SizeUnit unit, int32_t* tenths) {
    int64_t thousandths = 0;  // of a millimetre or of an inch
    int decimals = -1;
    size_t digits = 0;
    for (const WCHAR c : text) {
        if (c == u'.') {
            if (decimals >= 0) return false;
            decimals = 0;
            continue;
        }
        if (c < u'0' || c > u'9' || digits >= 9 || decimals == 3) return false;
        thousandths = thousandths * 10 + (c - u'0');
        ++digits;
        if (decimals >= 0) ++decimals;
    }
    if (digits == 0) return false;
    for (int d = decimals < 0 ? 0 : decimals; d < 3; ++d) thousandths *= 10;
    const int64_t t = unit == SizeUnit::Mm ? (thousandths + 50) / 100 : (thousandths * 254 + 500) / 1000;
    if (t > INT32_MAX) return false;
    *tenths = static_cast<int32_t>(t);
    return true;
}

int32_t SizeFieldValue(const SizeRange& r, bool widthField, WStringView text, int32_t stored, SizeUnit unit,
                       bool fine) {
    int32_t v = stored;
    if (text != WStringView(SizeFieldText(r, widthField, stored, unit, fine))) ParseSizeText(text, unit, &v);
    return widthField ? ClampWidth(r, v) : ClampLength(r, v);
}

}  // namespace nvx::features
