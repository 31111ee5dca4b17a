// Well-known folders, the current directory, full path names and temporary file names.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/linux/kernel32/kernel_path.h"

extern "C" {

NVXAPI UINT WINAPI GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return nvxp::CopyPathAnswer(nvxp::WindowsFolder(), lpBuffer, uSize);
}

NVXAPI UINT WINAPI GetSystemWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return nvxp::CopyPathAnswer(nvxp::WindowsFolder(), lpBuffer, uSize);
}

NVXAPI UINT WINAPI GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return nvxp::CopyPathAnswer(nvxp::SystemFolderPath(), lpBuffer, uSize);
}

NVXAPI DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
    return nvxp::CopyPathAnswer(nvxp::TempFolder(), lpBuffer, nBufferLength);
}

NVXAPI DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) {
    char buffer[4096];
    if (!getcwd(buffer, sizeof(buffer))) return nvxp::Fail(ERROR_FILENAME_EXCED_RANGE, DWORD(0));
    return nvxp::CopyPathAnswer(nvxp::WinFromNative(buffer), lpBuffer, nBufferLength);
}

NVXAPI BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName) {
    nvxp::MappedPath path;
    if (DWORD error = nvxp::MapPath(lpPathName, nvxp::PathUse::File, path)) return nvxp::Fail(error, FALSE);
    struct stat st;
    if (stat(path.native.c_str(), &st) != 0) return nvxp::Fail(nvxp::ErrorFromErrno(errno, path.native), FALSE);
    if (!S_ISDIR(st.st_mode)) return nvxp::Fail(ERROR_DIRECTORY, FALSE);
    if (chdir(path.native.c_str()) != 0) return nvxp::Fail(nvxp::ErrorFromErrno(errno, path.native), FALSE);
    return TRUE;
}

NVXAPI DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart) {
    if (!lpFileName) return nvxp::Fail(ERROR_INVALID_PARAMETER, DWORD(0));
    nvx::WString full;
    if (DWORD error = nvxp::FullPathName(lpFileName, full)) return nvxp::Fail(error, DWORD(0));
    DWORD answer = nvxp::CopyPathAnswer(full, lpBuffer, nBufferLength);
    if (lpFilePart && answer == full.size()) {
        // The file part is the last component; none when the path ends with a separator.
        size_t slash = full.find_last_of(u"\\/");
        *lpFilePart = slash == nvx::WString::npos || slash + 1 == full.size() ? nullptr : lpBuffer + slash + 1;
    }
    return answer;
}

NVXAPI UINT WINAPI GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique,
                                    LPWSTR lpTempFileName) {
    if (!lpPathName || !lpTempFileName) return nvxp::Fail(ERROR_INVALID_PARAMETER, 0u);
    nvxp::MappedPath folder;
    if (DWORD error = nvxp::MapPath(lpPathName, nvxp::PathUse::File, folder)) return nvxp::Fail(error, 0u);
    nvx::WString base(lpPathName);
    if (!base.empty() && base.back() != u'\\' && base.back() != u'/') base += u'\\';
    base += nvx::WString(lpPrefixString ? lpPrefixString : u"").substr(0, 3);
    // The name is <path><prefix><hex>.TMP; the whole must fit in MAX_PATH.
    if (base.size() + 4 + 4 + 1 > MAX_PATH) return nvxp::Fail(ERROR_BUFFER_OVERFLOW, 0u);
    auto nameFor = [&](UINT unique) {
        WCHAR hex[8];
        nvx::WFormat(hex, 8, u"%X", unique & 0xFFFF);
        return base + hex + u".TMP";
    };
    if (uUnique != 0) {
        nvx::WCopy(lpTempFileName, MAX_PATH, nameFor(uUnique));
        return uUnique & 0xFFFF;
    }
    struct stat st;
    if (stat(folder.native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nvxp::Fail(ERROR_DIRECTORY, 0u);
    static std::atomic<UINT> counter{static_cast<UINT>(getpid())};
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        UINT unique = (counter++ & 0xFFFF);
        if (unique == 0) continue;
        nvx::WString name = nameFor(unique);
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            nvx::WCopy(lpTempFileName, MAX_PATH, name);
            SetLastError(ERROR_SUCCESS);
            return unique;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return 0u;
    }
    return nvxp::Fail(ERROR_FILE_EXISTS, 0u);
}

}  // extern "C"
