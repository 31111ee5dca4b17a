// lstr* string functions and MulDiv.
//
// lstrcmpW and lstrcmpiW compare as the user's locale sorts, approximated here:
// symbols before digits before letters, letters without regard to case first,
// and (lstrcmpW only) lower case before upper case when that is the only
// difference.  Windows' word-sort special cases (hyphen, apostrophe) are not kept.
#include "platform/linux/internal.h"

namespace nvxp {
namespace {

bool IsLetter(WCHAR c) {
    return nvx::WToUpper(c) != c || nvx::WToLower(c) != c;
}

// The primary sort key of a character: its class, then its value.
unsigned Primary(WCHAR c) {
    unsigned cls = IsLetter(c) ? 3 : (c >= u'0' && c <= u'9' ? 2 : 1);
    if (c < 0x20) cls = 0;
    return cls << 16 | nvx::WToUpper(c);
}

int Compare(const WCHAR* a, const WCHAR* b, bool ignoreCase) {
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    size_t i = 0;
    for (; a[i] && b[i]; ++i) {
        unsigned x = Primary(a[i]), y = Primary(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a[i] || b[i]) return a[i] ? 1 : -1;
    if (ignoreCase) return 0;
    for (i = 0; a[i]; ++i) {
        if (a[i] == b[i]) continue;
        bool lowerA = nvx::WToUpper(a[i]) != a[i];
        return lowerA ? -1 : 1;  // the same letter: lower case sorts first
    }
    return 0;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI int WINAPI lstrlenW(LPCWSTR lpString) {
    return static_cast<int>(nvx::WLen(lpString));
}

NVXAPI int WINAPI lstrlenA(LPCSTR lpString) {
    if (!lpString) return 0;
    int n = 0;
    while (lpString[n]) ++n;
    return n;
}

NVXAPI LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength) {
    if (!lpString1 || (!lpString2 && iMaxLength > 1)) return nvxp::Fail(ERROR_INVALID_PARAMETER, LPWSTR(nullptr));
    // At most iMaxLength - 1 characters, then the terminator (none when iMaxLength is 0).
    int i = 0;
    for (; i + 1 < iMaxLength && lpString2[i]; ++i) lpString1[i] = lpString2[i];
    if (iMaxLength > 0) lpString1[i] = 0;
    return lpString1;
}

NVXAPI LPWSTR WINAPI lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2) {
    if (!lpString1 || !lpString2) return nvxp::Fail(ERROR_INVALID_PARAMETER, LPWSTR(nullptr));
    size_t i = 0;
    for (; lpString2[i]; ++i) lpString1[i] = lpString2[i];
    lpString1[i] = 0;
    return lpString1;
}

NVXAPI LPWSTR WINAPI lstrcatW(LPWSTR lpString1, LPCWSTR lpString2) {
    if (!lpString1 || !lpString2) return nvxp::Fail(ERROR_INVALID_PARAMETER, LPWSTR(nullptr));
    lstrcpyW(lpString1 + nvx::WLen(lpString1), lpString2);
    return lpString1;
}

NVXAPI int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2) {
    return nvxp::Compare(lpString1, lpString2, false);
}

NVXAPI int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2) {
    return nvxp::Compare(lpString1, lpString2, true);
}

NVXAPI int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    // Rounds half away from zero; -1 for a zero divisor or a result that overflows.
    if (nDenominator == 0) return -1;
    long long product = static_cast<long long>(nNumber) * nNumerator;
    long long divisor = nDenominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    long long half = divisor / 2;
    long long result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    if (result > 2147483647LL || result < -2147483647LL) return -1;
    return static_cast<int>(result);
}

}  // extern "C"
