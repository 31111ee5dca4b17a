// Memory, locale, time, version, environment, names, debugger output and strings.
#include <cstring>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

class KernelMisc : public PlatformTest {
protected:
    static nvx::WString Locale(DWORD type, LCID lcid = LOCALE_USER_DEFAULT) {
        WCHAR buf[128];
        int n = GetLocaleInfoW(lcid, type, buf, 128);
        return n > 0 ? nvx::WString(buf, static_cast<size_t>(n - 1)) : nvx::WString(WL("<error>"));
    }
};

static_assert(sizeof(CRITICAL_SECTION) == 40, "callers embed the x64 CRITICAL_SECTION");
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW is 284 bytes");
static_assert(sizeof(SYSTEMTIME) == 16, "SYSTEMTIME is 16 bytes");

TEST_F(KernelMisc, GlobalMemoryMoveableAndFixed) {
    HGLOBAL h = GlobalAlloc(GHND, 16);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(16u, GlobalSize(h));
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0, p[i]);
    memcpy(p, "0123456789abcdef", 16);
    EXPECT_EQ(p, GlobalLock(h));
    EXPECT_EQ(2u, GlobalFlags(h) & GMEM_LOCKCOUNT);
    EXPECT_EQ(h, GlobalHandle(p));
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    SetLastError(1234);
    EXPECT_FALSE(GlobalUnlock(h));  // now unlocked: FALSE without error
    EXPECT_EQ(0u, GetLastError());
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_LOCKED), GetLastError());

    EXPECT_EQ(h, GlobalReAlloc(h, 4096, GMEM_MOVEABLE | GMEM_ZEROINIT));
    EXPECT_EQ(4096u, GlobalSize(h));
    p = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(0, memcmp(p, "0123456789abcdef", 16));
    EXPECT_EQ(0, p[4095]);
    GlobalUnlock(h);
    EXPECT_EQ(nullptr, GlobalFree(h));

    void* fixed = GlobalAlloc(GPTR, 8);
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(fixed, GlobalLock(fixed));
    EXPECT_EQ(fixed, GlobalHandle(fixed));
    EXPECT_EQ(8u, GlobalSize(fixed));
    EXPECT_EQ(nullptr, GlobalFree(fixed));
    EXPECT_EQ(nullptr, GlobalFree(nullptr));

    HLOCAL local = LocalAlloc(LPTR, 32);
    ASSERT_NE(nullptr, local);
    EXPECT_EQ(0, static_cast<char*>(local)[31]);
    EXPECT_EQ(nullptr, LocalFree(local));
#ifndef _WIN32
    // Stale handles fail instead of corrupting memory.
    h = GlobalAlloc(GMEM_MOVEABLE, 8);
    GlobalFree(h);
    EXPECT_EQ(h, GlobalFree(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(nullptr, GlobalLock(h));
    EXPECT_EQ(0u, GlobalSize(h));
    int onStack = 0;
    EXPECT_EQ(static_cast<HGLOBAL>(&onStack), LocalFree(&onStack));
#endif
}

TEST_F(KernelMisc, GlobalAllocRefusesUnknownFlags) {
    EXPECT_EQ(nullptr, GlobalAlloc(0x80000, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(KernelMisc, ProcessHeap) {
    HANDLE heap = GetProcessHeap();
    ASSERT_NE(nullptr, heap);
    auto* p = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 10));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, p[9]);
    EXPECT_EQ(10u, HeapSize(heap, 0, p));
    p[0] = 7;
    p = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, p, 100));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(7, p[0]);
    EXPECT_EQ(0, p[99]);
    EXPECT_TRUE(HeapFree(heap, 0, p));
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));
#ifndef _WIN32
    int onStack = 0;
    EXPECT_FALSE(HeapFree(heap, 0, &onStack));
    EXPECT_EQ(nullptr, HeapAlloc(reinterpret_cast<HANDLE>(&onStack), 0, 8));
#endif
}

TEST_F(KernelMisc, LocaleQueries) {
    int needed = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, nullptr, 0);
    EXPECT_GT(needed, 1);
    WCHAR small[2];
    EXPECT_EQ(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, small, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, 0xFFFF, small, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    DWORD number = 0;
    EXPECT_EQ(2, GetLocaleInfoW(0x0409, LOCALE_IMEASURE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&number),
                                sizeof(number) / sizeof(WCHAR)));
    EXPECT_EQ(1u, number);
    EXPECT_EQ(nvx::WString(WL("1")), Locale(LOCALE_ICOUNTRY, 0x0409));
    EXPECT_EQ(nvx::WString(WL(".")), Locale(LOCALE_SDECIMAL, 0x0409));
#ifndef _WIN32
    EXPECT_EQ(nvx::WString(WL("1")), Locale(LOCALE_ICOUNTRY));
    EXPECT_EQ(nvx::WString(WL("1")), Locale(LOCALE_IMEASURE));
    EXPECT_EQ(nvx::WString(WL("1252")), Locale(LOCALE_IDEFAULTANSICODEPAGE));
    EXPECT_EQ(0x0409, GetUserDefaultUILanguage());
    EXPECT_EQ(0x0409u, GetUserDefaultLCID());
    NvxPlatform_SetCountryCode(49);
    EXPECT_EQ(nvx::WString(WL("49")), Locale(LOCALE_ICOUNTRY));
    EXPECT_EQ(nvx::WString(WL(",")), Locale(LOCALE_SDECIMAL));
    EXPECT_EQ(nvx::WString(WL("0")), Locale(LOCALE_IMEASURE));
    EXPECT_EQ(nvx::WString(WL("9")), Locale(LOCALE_IPAPERSIZE));
    NvxPlatform_SetCountryCode(81);
    NvxPlatform_SetAnsiCodePage(932);
    EXPECT_EQ(nvx::WString(WL("81")), Locale(LOCALE_ICOUNTRY));
    EXPECT_EQ(nvx::WString(WL("932")), Locale(LOCALE_IDEFAULTANSICODEPAGE));
    EXPECT_EQ(0x0411, GetUserDefaultUILanguage());
    EXPECT_EQ(0x0411, GetUserDefaultLangID());
    NvxPlatform_SetCountryCode(1);
    NvxPlatform_SetAnsiCodePage(1252);
#endif
}

TEST_F(KernelMisc, TimeConversions) {
    SYSTEMTIME st = {};
    st.wYear = 1970;
    st.wMonth = 1;
    st.wDay = 1;
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    EXPECT_EQ(116444736000000000ull, (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);

    st = {2024, 2, 0, 29, 13, 45, 30, 250};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    EXPECT_EQ(2024, back.wYear);
    EXPECT_EQ(2, back.wMonth);
    EXPECT_EQ(29, back.wDay);
    EXPECT_EQ(4, back.wDayOfWeek);  // a Thursday
    EXPECT_EQ(13, back.wHour);
    EXPECT_EQ(45, back.wMinute);
    EXPECT_EQ(30, back.wSecond);
    EXPECT_EQ(250, back.wMilliseconds);

    ft.dwHighDateTime = 0x80000000u;
    EXPECT_FALSE(FileTimeToSystemTime(&ft, &back));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    GetSystemTime(&st);
    EXPECT_GE(st.wYear, 2024);
    LARGE_INTEGER freq, a, b;
    EXPECT_TRUE(QueryPerformanceFrequency(&freq));
    EXPECT_GT(freq.QuadPart, 0);
    QueryPerformanceCounter(&a);
    Sleep(5);
    QueryPerformanceCounter(&b);
    EXPECT_GT(b.QuadPart, a.QuadPart);
    // The tick count moves in steps of its resolution (10 to 16 ms on Windows):
    // 30 ms of sleep may read as one step less.
    ULONGLONG before = GetTickCount64();
    Sleep(30);
    EXPECT_GE(GetTickCount64() - before, 30u - 16u);
}

TEST_F(KernelMisc, SystemTimeOfADayTheMonthLacksIsRefused) {
    SYSTEMTIME st = {2023, 2, 0, 29, 13, 45, 30, 250};  // no 29 February in 2023
    FILETIME ft;
    EXPECT_FALSE(SystemTimeToFileTime(&st, &ft));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(KernelMisc, VersionOfAnUnknownSizeIsRefusedAsTooSmall) {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST_F(KernelMisc, VersionNamesAndEnvironment) {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    EXPECT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info.dwPlatformId);
#ifndef _WIN32
    EXPECT_EQ(10u, info.dwMajorVersion);
    EXPECT_EQ(0u, info.dwMinorVersion);
    EXPECT_EQ(19045u, info.dwBuildNumber);
    EXPECT_EQ(VER_NT_WORKSTATION, info.wProductType);
#endif
    WCHAR name[64];
    DWORD size = 1;
    EXPECT_FALSE(GetComputerNameW(name, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUFFER_OVERFLOW), GetLastError());
    DWORD needed = size;
    EXPECT_TRUE(GetComputerNameW(name, &size));
    EXPECT_EQ(needed - 1, size);  // the length without the terminator
    EXPECT_LE(size, static_cast<DWORD>(MAX_COMPUTERNAME_LENGTH));
    size = 0;
    EXPECT_FALSE(GetUserNameW(name, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    needed = size;
    EXPECT_TRUE(GetUserNameW(name, &size));
    EXPECT_EQ(needed, size);  // this one counts the terminator
    EXPECT_EQ(size - 1, nvx::WLen(name));

    EXPECT_TRUE(SetEnvironmentVariableW(WL("NOVRIX_KT_VAR"), WL("value")));
    WCHAR value[16];
    EXPECT_EQ(5u, GetEnvironmentVariableW(WL("novrix_kt_var"), value, 16));  // names without case
    EXPECT_EQ(nvx::WString(WL("value")), value);
    EXPECT_EQ(6u, GetEnvironmentVariableW(WL("NOVRIX_KT_VAR"), value, 5));  // needed, with terminator
    WCHAR expanded[64];
    EXPECT_EQ(22u, ExpandEnvironmentStringsW(WL("<%NOVRIX_KT_VAR%|%NOVRIX_NONE%>"), expanded, 64));
    EXPECT_EQ(nvx::WString(WL("<value|%NOVRIX_NONE%>")), expanded);
    EXPECT_TRUE(SetEnvironmentVariableW(WL("NOVRIX_KT_VAR"), nullptr));
    EXPECT_EQ(0u, GetEnvironmentVariableW(WL("NOVRIX_KT_VAR"), value, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND), GetLastError());
}

#ifndef _WIN32
TEST_F(KernelMisc, DebugOutputIsKeptForTheHost) {
    NvxPlatform_ClearDebugOutput();
    OutputDebugStringW(WL("first line\n"));
    OutputDebugStringA("second ");
    OutputDebugStringW(WL("half\r\n"));
    OutputDebugStringW(WL("open"));
    char buf[64];
    EXPECT_EQ(28u, NvxPlatform_GetDebugOutput(buf, sizeof(buf)));
    EXPECT_STREQ("first line\nsecond half\nopen\n", buf);
    EXPECT_EQ(28u, NvxPlatform_GetDebugOutput(buf, 6));
    EXPECT_STREQ("first", buf);
    for (int i = 0; i < 300; ++i) OutputDebugStringW(WL("x\n"));
    EXPECT_EQ(256u * 2, NvxPlatform_GetDebugOutput(nullptr, 0));  // the last 256 lines only
    NvxPlatform_ClearDebugOutput();
    EXPECT_EQ(0u, NvxPlatform_GetDebugOutput(buf, sizeof(buf)));
}
#endif

TEST_F(KernelMisc, StringsAndMulDiv) {
    WCHAR buf[8];
    EXPECT_EQ(buf, lstrcpynW(buf, WL("abcdefghij"), 4));
    EXPECT_EQ(nvx::WString(WL("abc")), buf);
    lstrcpynW(buf, WL("xy"), 8);
    EXPECT_EQ(nvx::WString(WL("xy")), buf);
    EXPECT_EQ(0, lstrlenW(nullptr));
    EXPECT_EQ(2, lstrlenW(buf));
    EXPECT_EQ(0, lstrcmpiW(WL("Hello"), WL("hELLO")));
    EXPECT_LT(lstrcmpiW(WL("apple"), WL("Banana")), 0);  // not ordinal: "B" sorts after "a"
    EXPECT_LT(lstrcmpW(WL("a"), WL("B")), 0);
    EXPECT_LT(lstrcmpW(WL("a"), WL("A")), 0);  // lower case first when only case differs
    EXPECT_GT(lstrcmpW(WL("abc"), WL("ab")), 0);
    EXPECT_LT(lstrcmpW(WL("a1"), WL("aa")), 0);  // digits before letters

    EXPECT_EQ(3, MulDiv(5, 1, 2));  // halves round away from zero
    EXPECT_EQ(-3, MulDiv(-5, 1, 2));
    EXPECT_EQ(-3, MulDiv(5, 1, -2));
    EXPECT_EQ(2, MulDiv(7, 3, 10));
    EXPECT_EQ(-1, MulDiv(1, 1, 0));
    EXPECT_EQ(-1, MulDiv(0x7FFFFFFF, 2, 1));
    EXPECT_EQ(1500000000, MulDiv(1000000000, 3, 2));  // the product may exceed 32 bits
}

}  // namespace
