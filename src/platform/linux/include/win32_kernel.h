// Win32 kernel subset of the Linux platform layer: errors, handles, synchronisation,
// threads, time, files, code pages, locale, profile files, system information, memory.
// (Modules and resources are declared in win32_resource.h.)
#pragma once
#include "win32_types.h"

NVX_BEGIN_DECLS

// ---- Last error (per thread) ----
NVXAPI DWORD WINAPI GetLastError(void);
NVXAPI void WINAPI SetLastError(DWORD dwErrCode);

// ---- Integers ----
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    };
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};
typedef LARGE_INTEGER* PLARGE_INTEGER;
union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    };
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
};
typedef ULARGE_INTEGER* PULARGE_INTEGER;

NVXAPI int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator);

// ---- Handles and waits ----
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_ABANDONED_0 0x00000080L
#define WAIT_FAILED 0xFFFFFFFFu
#define WAIT_IO_COMPLETION 0x000000C0L
#define MAXIMUM_WAIT_OBJECTS 64
#define STILL_ACTIVE 259L
#define DUPLICATE_CLOSE_SOURCE 0x00000001
#define DUPLICATE_SAME_ACCESS 0x00000002

NVXAPI BOOL WINAPI CloseHandle(HANDLE hObject);
NVXAPI BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                                   LPHANDLE lpTargetHandle, DWORD dwDesiredAccess, BOOL bInheritHandle,
                                   DWORD dwOptions);
NVXAPI DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
NVXAPI DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                           DWORD dwMilliseconds);

// ---- Critical sections ----
// Layout of the x64 RTL_CRITICAL_SECTION (40 bytes), so that callers can embed it.
struct RTL_CRITICAL_SECTION {
    PVOID DebugInfo;
    LONG LockCount;
    LONG RecursionCount;
    HANDLE OwningThread;
    HANDLE LockSemaphore;
    ULONG_PTR SpinCount;
};
typedef RTL_CRITICAL_SECTION CRITICAL_SECTION;
typedef RTL_CRITICAL_SECTION* PCRITICAL_SECTION;
typedef RTL_CRITICAL_SECTION* LPCRITICAL_SECTION;
static_assert(sizeof(CRITICAL_SECTION) == 40, "CRITICAL_SECTION has the x64 size");

NVXAPI void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
NVXAPI BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
NVXAPI BOOL WINAPI InitializeCriticalSectionEx(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount,
                                               DWORD Flags);
NVXAPI void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
NVXAPI BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
NVXAPI void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
NVXAPI void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// ---- Events and mutexes ----
#define SYNCHRONIZE 0x00100000L
#define EVENT_MODIFY_STATE 0x0002
#define EVENT_ALL_ACCESS 0x001F0003
#define MUTEX_ALL_ACCESS 0x001F0001
#define CREATE_EVENT_MANUAL_RESET 0x00000001
#define CREATE_EVENT_INITIAL_SET 0x00000002

NVXAPI HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                                  LPCWSTR lpName);
NVXAPI HANDLE WINAPI CreateEventExW(LPSECURITY_ATTRIBUTES lpEventAttributes, LPCWSTR lpName, DWORD dwFlags,
                                    DWORD dwDesiredAccess);
NVXAPI HANDLE WINAPI OpenEventW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName);
NVXAPI BOOL WINAPI SetEvent(HANDLE hEvent);
NVXAPI BOOL WINAPI ResetEvent(HANDLE hEvent);
NVXAPI HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCWSTR lpName);
NVXAPI HANDLE WINAPI OpenMutexW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName);
NVXAPI BOOL WINAPI ReleaseMutex(HANDLE hMutex);

// ---- Threads and processes ----
typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;
#define CREATE_SUSPENDED 0x00000004
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_ERROR_RETURN (0x7FFFFFFF)
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_IDLE (-15)

NVXAPI HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                                  LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                                  LPDWORD lpThreadId);
NVXAPI DWORD WINAPI ResumeThread(HANDLE hThread);
NVXAPI BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
NVXAPI DWORD WINAPI GetThreadId(HANDLE Thread);
NVXAPI BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority);
NVXAPI int WINAPI GetThreadPriority(HANDLE hThread);
NVXAPI DWORD WINAPI GetCurrentThreadId(void);
NVXAPI DWORD WINAPI GetCurrentProcessId(void);
NVXAPI HANDLE WINAPI GetCurrentThread(void);
NVXAPI HANDLE WINAPI GetCurrentProcess(void);
NVXAPI BOOL WINAPI SwitchToThread(void);
NVXAPI void WINAPI Sleep(DWORD dwMilliseconds);

// ---- Time ----
NVXAPI DWORD WINAPI GetTickCount(void);
NVXAPI ULONGLONG WINAPI GetTickCount64(void);
NVXAPI BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
NVXAPI BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
NVXAPI void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);
NVXAPI void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime);
NVXAPI void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime);
NVXAPI BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);
NVXAPI BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime);
NVXAPI BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime);
NVXAPI BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime);
NVXAPI LONG WINAPI CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2);

// ---- Files ----
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define FILE_READ_DATA 0x0001
#define FILE_WRITE_DATA 0x0002
#define FILE_APPEND_DATA 0x0004
#define FILE_READ_ATTRIBUTES 0x0080
#define FILE_WRITE_ATTRIBUTES 0x0100
#define DELETE 0x00010000L

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_DEVICE 0x00000040
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define FILE_ATTRIBUTE_COMPRESSED 0x00000800
#define FILE_ATTRIBUTE_OFFLINE 0x00001000
#define FILE_ATTRIBUTE_NOT_CONTENT_INDEXED 0x00002000
#define FILE_ATTRIBUTE_ENCRYPTED 0x00004000
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_OVERLAPPED 0x40000000
#define FILE_FLAG_NO_BUFFERING 0x20000000
#define FILE_FLAG_RANDOM_ACCESS 0x10000000
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004
#define MOVEFILE_WRITE_THROUGH 0x00000008

struct OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    union {
        struct {
            DWORD Offset;
            DWORD OffsetHigh;
        };
        PVOID Pointer;
    };
    HANDLE hEvent;
};
typedef OVERLAPPED* LPOVERLAPPED;

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAW* PWIN32_FIND_DATAW;
typedef WIN32_FIND_DATAW* LPWIN32_FIND_DATAW;
static_assert(sizeof(WIN32_FIND_DATAW) == 592, "WIN32_FIND_DATAW is 592 bytes");
static_assert(offsetof(WIN32_FIND_DATAW, ftLastWriteTime) == 20, "WIN32_FIND_DATAW layout");
static_assert(offsetof(WIN32_FIND_DATAW, nFileSizeHigh) == 28, "WIN32_FIND_DATAW layout");
static_assert(offsetof(WIN32_FIND_DATAW, cFileName) == 44, "WIN32_FIND_DATAW layout");
static_assert(offsetof(WIN32_FIND_DATAW, cAlternateFileName) == 564, "WIN32_FIND_DATAW layout");

struct WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
};
typedef WIN32_FILE_ATTRIBUTE_DATA* LPWIN32_FILE_ATTRIBUTE_DATA;
static_assert(sizeof(WIN32_FILE_ATTRIBUTE_DATA) == 36, "WIN32_FILE_ATTRIBUTE_DATA is 36 bytes");
enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard, GetFileExMaxInfoLevel };

NVXAPI HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                 LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                                 DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
NVXAPI BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                            LPOVERLAPPED lpOverlapped);
NVXAPI BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                             LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
NVXAPI BOOL WINAPI GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                       BOOL bWait);
NVXAPI DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                                   DWORD dwMoveMethod);
NVXAPI BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove, PLARGE_INTEGER lpNewFilePointer,
                                    DWORD dwMoveMethod);
NVXAPI BOOL WINAPI SetEndOfFile(HANDLE hFile);
NVXAPI DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
NVXAPI BOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize);
NVXAPI DWORD WINAPI GetFileType(HANDLE hFile);
NVXAPI BOOL WINAPI GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                               LPFILETIME lpLastWriteTime);
NVXAPI BOOL WINAPI SetFileTime(HANDLE hFile, const FILETIME* lpCreationTime, const FILETIME* lpLastAccessTime,
                               const FILETIME* lpLastWriteTime);
NVXAPI BOOL WINAPI FlushFileBuffers(HANDLE hFile);

NVXAPI BOOL WINAPI DeleteFileW(LPCWSTR lpFileName);
NVXAPI BOOL WINAPI CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists);
NVXAPI BOOL WINAPI MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName);
NVXAPI BOOL WINAPI MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);
NVXAPI BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
NVXAPI BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName);
NVXAPI DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName);
NVXAPI BOOL WINAPI GetFileAttributesExW(LPCWSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId,
                                        LPVOID lpFileInformation);
NVXAPI BOOL WINAPI SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes);

NVXAPI HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData);
NVXAPI BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData);
NVXAPI BOOL WINAPI FindClose(HANDLE hFindFile);

// ---- Folders and paths ----
NVXAPI UINT WINAPI GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize);
NVXAPI UINT WINAPI GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize);
NVXAPI UINT WINAPI GetSystemWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize);
NVXAPI DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer);
NVXAPI UINT WINAPI GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique,
                                    LPWSTR lpTempFileName);
NVXAPI DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer);
NVXAPI BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName);
NVXAPI DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart);

// ---- Code pages ----
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_SYMBOL 42
#define CP_UTF7 65000
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_COMPOSITECHECK 0x00000200
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2
NVXAPI int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                      LPWSTR lpWideCharStr, int cchWideChar);
NVXAPI int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                      LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                      LPBOOL lpUsedDefaultChar);
NVXAPI BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
NVXAPI BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);
NVXAPI UINT WINAPI GetACP(void);
NVXAPI UINT WINAPI GetOEMCP(void);
NVXAPI BOOL WINAPI IsValidCodePage(UINT CodePage);
NVXAPI LPSTR WINAPI CharNextExA(WORD CodePage, LPCSTR lpCurrentChar, DWORD dwFlags);

// ---- Locale ----
#ifndef MAKELANGID
#define MAKELANGID(p, s) ((WORD)((((WORD)(s)) << 10) | (WORD)(p)))
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#endif
#define SORT_DEFAULT 0x0
#define MAKELCID(lgid, srtid) ((DWORD)((((DWORD)((WORD)(srtid))) << 16) | ((DWORD)((WORD)(lgid)))))
#define LANGIDFROMLCID(lcid) ((WORD)(lcid))
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_NEUTRAL 0x0000
#define LOCALE_INVARIANT 0x007F
#define LOCALE_CUSTOM_DEFAULT 0x0C00
#define LOCALE_CUSTOM_UNSPECIFIED 0x1000

#define LOCALE_NOUSEROVERRIDE 0x80000000u
#define LOCALE_USE_CP_ACP 0x40000000
#define LOCALE_RETURN_NUMBER 0x20000000
#define LOCALE_ILANGUAGE 0x00000001
#define LOCALE_SLANGUAGE 0x00000002
#define LOCALE_SENGLANGUAGE 0x00001001
#define LOCALE_SABBREVLANGNAME 0x00000003
#define LOCALE_SNATIVELANGNAME 0x00000004
#define LOCALE_ICOUNTRY 0x00000005
#define LOCALE_SCOUNTRY 0x00000006
#define LOCALE_SENGCOUNTRY 0x00001002
#define LOCALE_SABBREVCTRYNAME 0x00000007
#define LOCALE_SNATIVECTRYNAME 0x00000008
#define LOCALE_IDEFAULTLANGUAGE 0x00000009
#define LOCALE_IDEFAULTCOUNTRY 0x0000000A
#define LOCALE_IDEFAULTCODEPAGE 0x0000000B
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004
#define LOCALE_SLIST 0x0000000C
#define LOCALE_IMEASURE 0x0000000D
#define LOCALE_SDECIMAL 0x0000000E
#define LOCALE_STHOUSAND 0x0000000F
#define LOCALE_SGROUPING 0x00000010
#define LOCALE_IDIGITS 0x00000011
#define LOCALE_ILZERO 0x00000012
#define LOCALE_SCURRENCY 0x00000014
#define LOCALE_SDATE 0x0000001D
#define LOCALE_STIME 0x0000001E
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_SLONGDATE 0x00000020
#define LOCALE_STIMEFORMAT 0x00001003
#define LOCALE_IDATE 0x00000021
#define LOCALE_ITIME 0x00000023
#define LOCALE_S1159 0x00000028
#define LOCALE_S2359 0x00000029
#define LOCALE_SISO639LANGNAME 0x00000059
#define LOCALE_SISO3166CTRYNAME 0x0000005A
#define LOCALE_SNAME 0x0000005C
#define LOCALE_IPAPERSIZE 0x0000100A
#define LOCALE_NAME_MAX_LENGTH 85

NVXAPI int WINAPI GetLocaleInfoW(LCID Locale, DWORD LCType, LPWSTR lpLCData, int cchData);
NVXAPI LCID WINAPI GetUserDefaultLCID(void);
NVXAPI LCID WINAPI GetSystemDefaultLCID(void);
NVXAPI LCID WINAPI GetThreadLocale(void);
NVXAPI LANGID WINAPI GetUserDefaultLangID(void);
NVXAPI LANGID WINAPI GetSystemDefaultLangID(void);
NVXAPI LANGID WINAPI GetUserDefaultUILanguage(void);
NVXAPI LANGID WINAPI GetSystemDefaultUILanguage(void);

// ---- Profile (INI) files ----
NVXAPI DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                             LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName);
NVXAPI UINT WINAPI GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName);
NVXAPI DWORD WINAPI GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString, DWORD nSize,
                                              LPCWSTR lpFileName);
NVXAPI DWORD WINAPI GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize, LPCWSTR lpFileName);
NVXAPI BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                              LPCWSTR lpFileName);
NVXAPI BOOL WINAPI WritePrivateProfileSectionW(LPCWSTR lpAppName, LPCWSTR lpString, LPCWSTR lpFileName);
NVXAPI DWORD WINAPI GetProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                      LPWSTR lpReturnedString, DWORD nSize);
NVXAPI UINT WINAPI GetProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault);
NVXAPI BOOL WINAPI WriteProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString);

// ---- System information ----
struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
typedef OSVERSIONINFOW* POSVERSIONINFOW;
typedef OSVERSIONINFOW* LPOSVERSIONINFOW;
struct OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
typedef OSVERSIONINFOEXW* POSVERSIONINFOEXW;
typedef OSVERSIONINFOEXW* LPOSVERSIONINFOEXW;
static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW is 276 bytes");
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW is 284 bytes");
#define VER_PLATFORM_WIN32_NT 2
#define VER_NT_WORKSTATION 0x0000001
#define VER_SUITE_SINGLEUSERTS 0x00000100
#define MAX_COMPUTERNAME_LENGTH 15
#define UNLEN 256

NVXAPI BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation);
NVXAPI DWORD WINAPI GetVersion(void);
NVXAPI void WINAPI OutputDebugStringW(LPCWSTR lpOutputString);
NVXAPI void WINAPI OutputDebugStringA(LPCSTR lpOutputString);
NVXAPI BOOL WINAPI GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize);
NVXAPI BOOL WINAPI GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer);
NVXAPI DWORD WINAPI GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize);
NVXAPI BOOL WINAPI SetEnvironmentVariableW(LPCWSTR lpName, LPCWSTR lpValue);
NVXAPI DWORD WINAPI ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize);

// ---- Memory ----
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_NOT_BANKED 0x1000
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GMEM_NOTIFY 0x4000
#define GMEM_INVALID_HANDLE 0x8000
#define GMEM_DISCARDED 0x4000
#define GMEM_LOCKCOUNT 0x00FF
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_NOCOMPACT 0x0010
#define LMEM_NODISCARD 0x0020
#define LMEM_ZEROINIT 0x0040
#define LMEM_MODIFY 0x0080
#define LMEM_DISCARDABLE 0x0F00
#define LMEM_DISCARDED 0x4000
#define LMEM_INVALID_HANDLE 0x8000
#define LMEM_LOCKCOUNT 0x00FF
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
#define HEAP_NO_SERIALIZE 0x00000001
#define HEAP_GENERATE_EXCEPTIONS 0x00000004
#define HEAP_ZERO_MEMORY 0x00000008
#define HEAP_REALLOC_IN_PLACE_ONLY 0x00000010

NVXAPI HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
NVXAPI HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
NVXAPI HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
NVXAPI LPVOID WINAPI GlobalLock(HGLOBAL hMem);
NVXAPI BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
NVXAPI SIZE_T WINAPI GlobalSize(HGLOBAL hMem);
NVXAPI UINT WINAPI GlobalFlags(HGLOBAL hMem);
NVXAPI HGLOBAL WINAPI GlobalHandle(LPCVOID pMem);
NVXAPI HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
NVXAPI HLOCAL WINAPI LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT uFlags);
NVXAPI HLOCAL WINAPI LocalFree(HLOCAL hMem);
NVXAPI LPVOID WINAPI LocalLock(HLOCAL hMem);
NVXAPI BOOL WINAPI LocalUnlock(HLOCAL hMem);
NVXAPI SIZE_T WINAPI LocalSize(HLOCAL hMem);
NVXAPI UINT WINAPI LocalFlags(HLOCAL hMem);
NVXAPI HLOCAL WINAPI LocalHandle(LPCVOID pMem);
NVXAPI HANDLE WINAPI GetProcessHeap(void);
NVXAPI HANDLE WINAPI HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize);
NVXAPI BOOL WINAPI HeapDestroy(HANDLE hHeap);
NVXAPI LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes);
NVXAPI LPVOID WINAPI HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes);
NVXAPI BOOL WINAPI HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);
NVXAPI SIZE_T WINAPI HeapSize(HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem);

// ---- Strings ----
NVXAPI int WINAPI lstrlenW(LPCWSTR lpString);
NVXAPI LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength);
NVXAPI LPWSTR WINAPI lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2);
NVXAPI LPWSTR WINAPI lstrcatW(LPWSTR lpString1, LPCWSTR lpString2);
NVXAPI int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2);
NVXAPI int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2);
NVXAPI int WINAPI lstrlenA(LPCSTR lpString);

NVX_END_DECLS
