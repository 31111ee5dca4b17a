// Tick counts, performance counter, system and local time, FILETIME <-> SYSTEMTIME.
#include <time.h>

#include "platform/linux/internal.h"
#include "platform/linux/kernel32/kernel_time.h"

namespace nvxp {
namespace {

constexpr ULONGLONG kTicksPerSecond = 10000000ull;       // FILETIME units: 100 ns
constexpr ULONGLONG kUnixEpochTicks = 116444736000000000ull;  // 1970-01-01 as FILETIME
constexpr LONGLONG kDaysFrom1601To1970 = 134774;

ULONGLONG Ticks(const FILETIME& ft) {
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

// Days since 1970-01-01 for a proleptic Gregorian date, and back.
LONGLONG DaysFromCivil(LONGLONG y, unsigned m, unsigned d) {
    y -= m <= 2;
    LONGLONG era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<LONGLONG>(doe) - 719468;
}

void CivilFromDays(LONGLONG z, LONGLONG& y, unsigned& m, unsigned& d) {
    z += 719468;
    LONGLONG era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<LONGLONG>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

LONGLONG LocalBiasSeconds() {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

}  // namespace

FILETIME FileTimeFromTicks(ULONGLONG ticks) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

FILETIME FileTimeFromUnix(LONGLONG seconds, long nanoseconds) {
    LONGLONG ticks = seconds * static_cast<LONGLONG>(kTicksPerSecond) + nanoseconds / 100 +
                     static_cast<LONGLONG>(kUnixEpochTicks);
    return FileTimeFromTicks(ticks < 0 ? 0 : static_cast<ULONGLONG>(ticks));
}

void UnixFromFileTime(const FILETIME& ft, LONGLONG& seconds, long& nanoseconds) {
    LONGLONG ticks = static_cast<LONGLONG>(Ticks(ft)) - static_cast<LONGLONG>(kUnixEpochTicks);
    seconds = ticks / static_cast<LONGLONG>(kTicksPerSecond);
    LONGLONG rest = ticks % static_cast<LONGLONG>(kTicksPerSecond);
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    nanoseconds = static_cast<long>(rest * 100);
}

}  // namespace nvxp

extern "C" {

NVXAPI ULONGLONG WINAPI GetTickCount64(void) {
    timespec ts;
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<ULONGLONG>(ts.tv_sec) * 1000ull + static_cast<ULONGLONG>(ts.tv_nsec) / 1000000ull;
}

NVXAPI DWORD WINAPI GetTickCount(void) {
    return static_cast<DWORD>(GetTickCount64());
}

NVXAPI BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    lpFrequency->QuadPart = static_cast<LONGLONG>(nvxp::kTicksPerSecond);
    return TRUE;
}

NVXAPI BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(ts.tv_sec) * 10000000ll + ts.tv_nsec / 100;
    return TRUE;
}

NVXAPI void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
    if (!lpSystemTimeAsFileTime) return;
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    *lpSystemTimeAsFileTime = nvxp::FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

NVXAPI void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FileTimeToSystemTime(&now, lpSystemTime);
}

NVXAPI void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime) return;
    FILETIME now, local;
    GetSystemTimeAsFileTime(&now);
    FileTimeToLocalFileTime(&now, &local);
    FileTimeToSystemTime(&local, lpSystemTime);
}

NVXAPI BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    if (!lpFileTime || !lpSystemTime) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    ULONGLONG ticks = nvxp::Ticks(*lpFileTime);
    if (ticks > 0x7FFFFFFFFFFFFFFFull) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    ULONGLONG totalMs = ticks / 10000ull;
    LONGLONG days = static_cast<LONGLONG>(totalMs / 86400000ull);
    ULONGLONG msOfDay = totalMs % 86400000ull;
    LONGLONG year;
    unsigned month, day;
    nvxp::CivilFromDays(days - nvxp::kDaysFrom1601To1970, year, month, day);
    lpSystemTime->wYear = static_cast<WORD>(year);
    lpSystemTime->wMonth = static_cast<WORD>(month);
    lpSystemTime->wDay = static_cast<WORD>(day);
    lpSystemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    lpSystemTime->wHour = static_cast<WORD>(msOfDay / 3600000ull);
    lpSystemTime->wMinute = static_cast<WORD>(msOfDay / 60000ull % 60);
    lpSystemTime->wSecond = static_cast<WORD>(msOfDay / 1000ull % 60);
    lpSystemTime->wMilliseconds = static_cast<WORD>(msOfDay % 1000);
    return TRUE;
}

NVXAPI BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
    if (!lpSystemTime || !lpFileTime) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    const SYSTEMTIME& st = *lpSystemTime;
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > nvxp::DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
        st.wMilliseconds > 999)
        return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    LONGLONG days = nvxp::DaysFromCivil(st.wYear, st.wMonth, st.wDay) + nvxp::kDaysFrom1601To1970;
    ULONGLONG ms = static_cast<ULONGLONG>(days) * 86400000ull + st.wHour * 3600000ull + st.wMinute * 60000ull +
                   st.wSecond * 1000ull + st.wMilliseconds;
    *lpFileTime = nvxp::FileTimeFromTicks(ms * 10000ull);
    return TRUE;
}

NVXAPI BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime) {
    if (!lpFileTime || !lpLocalFileTime) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    // As on Windows, the current bias applies, not the one in force at that time.
    LONGLONG ticks = static_cast<LONGLONG>(nvxp::Ticks(*lpFileTime)) +
                     nvxp::LocalBiasSeconds() * static_cast<LONGLONG>(nvxp::kTicksPerSecond);
    *lpLocalFileTime = nvxp::FileTimeFromTicks(static_cast<ULONGLONG>(ticks < 0 ? 0 : ticks));
    return TRUE;
}

NVXAPI BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime) {
    if (!lpFileTime || !lpLocalFileTime) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    LONGLONG ticks = static_cast<LONGLONG>(nvxp::Ticks(*lpLocalFileTime)) -
                     nvxp::LocalBiasSeconds() * static_cast<LONGLONG>(nvxp::kTicksPerSecond);
    *lpFileTime = nvxp::FileTimeFromTicks(static_cast<ULONGLONG>(ticks < 0 ? 0 : ticks));
    return TRUE;
}

NVXAPI LONG WINAPI CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2) {
    if (!lpFileTime1 || !lpFileTime2) return 0;
    ULONGLONG a = nvxp::Ticks(*lpFileTime1), b = nvxp::Ticks(*lpFileTime2);
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // extern "C"
