// Locale queries.  The language follows the ANSI code page (English for 1252,
// Japanese for 932); the country code the host sets chooses the country-specific
// answers (separators, measurement system, paper size, date order) from one table.
#include <cstdio>

#include "platform/host.h"
#include "platform/linux/internal.h"

namespace nvxp {
namespace {

struct Country {
    int code;              // the telephone country code Windows uses for LOCALE_ICOUNTRY
    const char16_t* iso;   // ISO 3166 name
    const char16_t* name;  // English name
    const char16_t* decimal;
    const char16_t* thousand;
    bool usMeasure;  // LOCALE_IMEASURE 1 (U.S.) instead of 0 (metric)
    int paper;       // LOCALE_IPAPERSIZE: 1 letter, 9 A4
    int dateOrder;   // LOCALE_IDATE: 0 M/D/Y, 1 D/M/Y, 2 Y/M/D
};

// Thousands separators of U+00A0 are written as such; lists use ";" where the
// decimal separator is a comma.
constexpr Country kCountries[] = {
    {1, u"US", u"United States", u".", u",", true, 1, 0},
    {2, u"CA", u"Canada", u".", u",", false, 1, 0},
    {7, u"RU", u"Russia", u",", u"\u00A0", false, 9, 1},
    {31, u"NL", u"Netherlands", u",", u".", false, 9, 1},
    {32, u"BE", u"Belgium", u",", u".", false, 9, 1},
    {33, u"FR", u"France", u",", u"\u00A0", false, 9, 1},
    {34, u"ES", u"Spain", u",", u".", false, 9, 1},
    {39, u"IT", u"Italy", u",", u".", false, 9, 1},
    {41, u"CH", u"Switzerland", u".", u"'", false, 9, 1},
    {43, u"AT", u"Austria", u",", u".", false, 9, 1},
    {44, u"GB", u"United Kingdom", u".", u",", false, 9, 1},
    {45, u"DK", u"Denmark", u",", u".", false, 9, 1},
    {46, u"SE", u"Sweden", u",", u"\u00A0", false, 9, 2},
    {47, u"NO", u"Norway", u",", u"\u00A0", false, 9, 1},
    {48, u"PL", u"Poland", u",", u"\u00A0", false, 9, 1},
    {49, u"DE", u"Germany", u",", u".", false, 9, 1},
    {52, u"MX", u"Mexico", u".", u",", false, 1, 1},
    {55, u"BR", u"Brazil", u",", u".", false, 9, 1},
    {56, u"CL", u"Chile", u",", u".", false, 1, 1},
    {57, u"CO", u"Colombia", u",", u".", false, 1, 1},
    {58, u"VE", u"Venezuela", u",", u".", false, 1, 1},
    {61, u"AU", u"Australia", u".", u",", false, 9, 1},
    {63, u"PH", u"Philippines", u".", u",", false, 1, 0},
    {64, u"NZ", u"New Zealand", u".", u",", false, 9, 1},
    {65, u"SG", u"Singapore", u".", u",", false, 9, 1},
    {81, u"JP", u"Japan", u".", u",", false, 9, 2},
    {82, u"KR", u"Korea", u".", u",", false, 9, 2},
    {86, u"CN", u"China", u".", u",", false, 9, 2},
    {91, u"IN", u"India", u".", u",", false, 9, 1},
    {95, u"MM", u"Myanmar", u".", u",", true, 9, 1},
    {231, u"LR", u"Liberia", u".", u",", true, 1, 0},
    {852, u"HK", u"Hong Kong SAR", u".", u",", false, 9, 1},
    {886, u"TW", u"Taiwan", u".", u",", false, 9, 2},
};

// Countries not in the table: metric, A4, "." decimals, day/month/year.
constexpr Country kOther = {0, u"001", u"World", u".", u",", false, 9, 1};

const Country& CountryFor(int code) {
    for (const Country& country : kCountries)
        if (country.code == code) return country;
    return kOther;
}

// Day/month/year countries that write the date with dots.
const char16_t* DateSeparator(const Country& c) {
    bool dots = c.code == 7 || c.code == 41 || c.code == 43 || c.code == 47 || c.code == 49;
    return c.dateOrder == 1 && dots ? u"." : u"/";
}

struct LocaleView {
    LANGID lang;
    const Country* country;
    int countryCode;
    bool invariant;
};

LANGID UserLangId() {
    return NvxPlatform_AnsiCodePage() == 932 ? 0x0411 : 0x0409;
}

// Which locale a LCID names, or false for one this layer does not know.
bool ViewFor(LCID locale, LocaleView& view) {
    LANGID user = UserLangId();
    LCID plain = locale & 0xFFFF;  // sort bits do not matter here
    view.invariant = plain == LOCALE_INVARIANT;
    if (plain == LOCALE_USER_DEFAULT || plain == LOCALE_SYSTEM_DEFAULT || plain == LOCALE_NEUTRAL ||
        plain == LOCALE_CUSTOM_DEFAULT || plain == user) {
        view.lang = user;
        view.countryCode = NvxPlatform_CountryCode();
    } else if (plain == 0x0409 || view.invariant) {
        view.lang = 0x0409;
        view.countryCode = 1;
    } else if (plain == 0x0411) {
        view.lang = 0x0411;
        view.countryCode = 81;
    } else {
        return false;
    }
    view.country = &CountryFor(view.countryCode);
    return true;
}

nvx::WString Number(long value) {
    char text[24];
    snprintf(text, sizeof(text), "%ld", value);
    return nvx::WFromAscii(text);
}

// The answer for one LCTYPE as text, and as a number where the type is numeric.
bool Answer(const LocaleView& v, DWORD type, nvx::WString& text, bool& numeric, DWORD& number) {
    bool japanese = v.lang == 0x0411;
    const Country& c = *v.country;
    numeric = false;
    auto setNumber = [&](DWORD n) {
        numeric = true;
        number = n;
        text = Number(static_cast<long>(n));
    };
    switch (type) {
    case LOCALE_ILANGUAGE: {
        char hex[8];
        snprintf(hex, sizeof(hex), "%04x", v.lang);
        text = nvx::WFromAscii(hex);
        numeric = true;
        number = v.lang;
        return true;
    }
    case LOCALE_SLANGUAGE:
        text = nvx::WString(japanese ? u"Japanese" : u"English") + u" (" + c.name + u")";
        return true;
    case LOCALE_SENGLANGUAGE:
    case LOCALE_SNATIVELANGNAME:
        text = japanese ? (type == LOCALE_SNATIVELANGNAME ? u"\u65E5\u672C\u8A9E" : u"Japanese") : u"English";
        return true;
    case LOCALE_SABBREVLANGNAME:
        text = japanese ? u"JPN" : u"ENU";
        return true;
    case LOCALE_SISO639LANGNAME:
        text = japanese ? u"ja" : u"en";
        return true;
    case LOCALE_ICOUNTRY:
    case LOCALE_IDEFAULTCOUNTRY:
        setNumber(static_cast<DWORD>(v.countryCode));
        return true;
    case LOCALE_SCOUNTRY:
    case LOCALE_SENGCOUNTRY:
    case LOCALE_SNATIVECTRYNAME:
        text = v.invariant ? u"Invariant Country" : c.name;
        return true;
    case LOCALE_SABBREVCTRYNAME:
    case LOCALE_SISO3166CTRYNAME:
        text = c.iso;
        return true;
    case LOCALE_SNAME:
        text = v.invariant ? nvx::WString() : nvx::WString(japanese ? u"ja-" : u"en-") + c.iso;
        return true;
    case LOCALE_IDEFAULTLANGUAGE: {
        char hex[8];
        snprintf(hex, sizeof(hex), "%04x", v.lang);
        text = nvx::WFromAscii(hex);
        return true;
    }
    case LOCALE_IDEFAULTANSICODEPAGE:
        setNumber(japanese ? 932 : 1252);
        return true;
    case LOCALE_IDEFAULTCODEPAGE:
        setNumber(japanese ? 932 : 437);
        return true;
    case LOCALE_SLIST:
        text = nvx::WStringView(c.decimal) == u"," ? u";" : u",";
        return true;
    case LOCALE_IMEASURE:
        setNumber(c.usMeasure ? 1 : 0);
        return true;
    case LOCALE_IPAPERSIZE:
        setNumber(static_cast<DWORD>(c.paper));
        return true;
    case LOCALE_SDECIMAL:
        text = c.decimal;
        return true;
    case LOCALE_STHOUSAND:
        text = c.thousand;
        return true;
    case LOCALE_SGROUPING:
        text = u"3;0";
        return true;
    case LOCALE_IDIGITS:
        setNumber(2);
        return true;
    case LOCALE_ILZERO:
        setNumber(1);
        return true;
    case LOCALE_IDATE:
        setNumber(static_cast<DWORD>(c.dateOrder));
        return true;
    case LOCALE_SDATE:
        text = DateSeparator(c);
        return true;
    case LOCALE_SSHORTDATE:
        if (c.dateOrder == 0) {
            text = u"M/d/yyyy";
        } else if (c.dateOrder == 2) {
            text = u"yyyy/MM/dd";
        } else {
            nvx::WString sep = DateSeparator(c);
            text = u"dd" + sep + u"MM" + sep + u"yyyy";
        }
        return true;
    case LOCALE_SLONGDATE:
        text = c.dateOrder == 0 ? u"dddd, MMMM d, yyyy" : u"d MMMM yyyy";
        return true;
    case LOCALE_ITIME:
        setNumber(c.dateOrder == 0 ? 0 : 1);
        return true;
    case LOCALE_STIME:
        text = u":";
        return true;
    case LOCALE_STIMEFORMAT:
        text = c.dateOrder == 0 ? u"h:mm:ss tt" : u"HH:mm:ss";
        return true;
    case LOCALE_S1159:
        text = u"AM";
        return true;
    case LOCALE_S2359:
        text = u"PM";
        return true;
    default:
        return false;
    }
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI int WINAPI GetLocaleInfoW(LCID Locale, DWORD LCType, LPWSTR lpLCData, int cchData) {
    using namespace nvxp;
    if (cchData < 0 || (cchData > 0 && !lpLCData)) return Fail(ERROR_INVALID_PARAMETER, 0);
    LocaleView view;
    if (!ViewFor(Locale, view)) return Fail(ERROR_INVALID_PARAMETER, 0);
    bool asNumber = (LCType & LOCALE_RETURN_NUMBER) != 0;
    DWORD type = LCType & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER);
    nvx::WString text;
    bool numeric = false;
    DWORD number = 0;
    if (!Answer(view, type, text, numeric, number)) return Fail(ERROR_INVALID_FLAGS, 0);
    if (asNumber) {
        // The number is written as a DWORD into the first two characters.
        if (!numeric) return Fail(ERROR_INVALID_FLAGS, 0);
        constexpr int kChars = sizeof(DWORD) / sizeof(WCHAR);
        if (cchData == 0) return kChars;
        if (cchData < kChars) return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
        lpLCData[0] = static_cast<WCHAR>(number & 0xFFFF);
        lpLCData[1] = static_cast<WCHAR>(number >> 16);
        return kChars;
    }
    int needed = static_cast<int>(text.size()) + 1;
    if (cchData == 0) return needed;
    if (cchData < needed) return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    nvx::WCopy(lpLCData, static_cast<size_t>(cchData), text);
    return needed;
}

NVXAPI LANGID WINAPI GetUserDefaultLangID(void) {
    return nvxp::UserLangId();
}

NVXAPI LANGID WINAPI GetSystemDefaultLangID(void) {
    return nvxp::UserLangId();
}

NVXAPI LANGID WINAPI GetUserDefaultUILanguage(void) {
    return nvxp::UserLangId();
}

NVXAPI LANGID WINAPI GetSystemDefaultUILanguage(void) {
    return nvxp::UserLangId();
}

NVXAPI LCID WINAPI GetUserDefaultLCID(void) {
    return MAKELCID(nvxp::UserLangId(), SORT_DEFAULT);
}

NVXAPI LCID WINAPI GetSystemDefaultLCID(void) {
    return MAKELCID(nvxp::UserLangId(), SORT_DEFAULT);
}

NVXAPI LCID WINAPI GetThreadLocale(void) {
    return MAKELCID(nvxp::UserLangId(), SORT_DEFAULT);
}

}  // extern "C"
