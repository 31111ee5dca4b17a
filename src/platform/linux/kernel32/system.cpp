// System information: version, debugger output, computer and user names, environment.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/host.h"
#include "platform/linux/internal.h"

extern char** environ;

namespace nvxp {
namespace {

// ---- Debugger output ----

constexpr size_t kKeptLines = 256;

struct DebugLog {
    std::mutex mutex;
    std::deque<std::string> lines;  // complete lines, without their line feed
    std::string partial;            // text after the last line feed
};

DebugLog& Log() {
    static DebugLog* log = new DebugLog;
    return *log;
}

void Emit(const std::string& utf8) {
    const char* echo = getenv("NOVRIX_DEBUG_OUTPUT");
    if (echo && strcmp(echo, "1") == 0) {
        fwrite(utf8.data(), 1, utf8.size(), stderr);
        fflush(stderr);
    }
    DebugLog& log = Log();
    std::lock_guard<std::mutex> lock(log.mutex);
    for (char c : utf8) {
        if (c != '\n') {
            log.partial += c;
            continue;
        }
        if (!log.partial.empty() && log.partial.back() == '\r') log.partial.pop_back();
        log.lines.push_back(std::move(log.partial));
        log.partial.clear();
        if (log.lines.size() > kKeptLines) log.lines.pop_front();
    }
}

// ---- Environment ----

std::mutex& EnvLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// Finds a variable without regard to case, as Windows names them.  Answers
// false when it is not set; `name` receives the spelling found.
bool FindVariable(nvx::WStringView wanted, std::string& name, std::string& value) {
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = strchr(*entry, '=');
        if (!equals || equals == *entry) continue;
        std::string candidate(*entry, static_cast<size_t>(equals - *entry));
        if (nvx::WEqualNoCase(nvx::WFromUtf8(candidate), wanted)) {
            name = candidate;
            value = equals + 1;
            return true;
        }
    }
    return false;
}

nvx::WString UserName() {
    for (const char* variable : {"USERNAME", "USER", "LOGNAME"}) {
        const char* value = getenv(variable);
        if (value && *value) return nvx::WFromUtf8(value);
    }
    if (passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return nvx::WFromUtf8(entry->pw_name);
    return u"user";
}

nvx::WString ComputerName() {
    std::string name;
    if (const char* value = getenv("COMPUTERNAME"); value && *value) {
        name = value;
    } else {
        char host[256] = {};
        if (gethostname(host, sizeof(host) - 1) == 0) name = host;
        name = name.substr(0, name.find('.'));
    }
    if (name.empty()) name = "NOVRIX";
    nvx::WString wide = nvx::WUpper(nvx::WFromUtf8(name));
    return wide.substr(0, MAX_COMPUTERNAME_LENGTH);
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
    using namespace nvxp;
    if (!lpVersionInformation) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    DWORD size = lpVersionInformation->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW))
        return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
    lpVersionInformation->dwMajorVersion = 10;
    lpVersionInformation->dwMinorVersion = 0;
    lpVersionInformation->dwBuildNumber = 19045;
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
    memset(lpVersionInformation->szCSDVersion, 0, sizeof(lpVersionInformation->szCSDVersion));
    if (size == sizeof(OSVERSIONINFOEXW)) {
        auto* ex = reinterpret_cast<LPOSVERSIONINFOEXW>(lpVersionInformation);
        ex->wServicePackMajor = 0;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = VER_SUITE_SINGLEUSERTS;
        ex->wProductType = VER_NT_WORKSTATION;
        ex->wReserved = 0;
    }
    return TRUE;
}

NVXAPI DWORD WINAPI GetVersion(void) {
    return (19045u << 16) | (0u << 8) | 10u;
}

NVXAPI void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
    if (lpOutputString) nvxp::Emit(nvx::Utf8FromW(lpOutputString));
}

NVXAPI void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (!lpOutputString || !*lpOutputString) return;
    int n = MultiByteToWideChar(CP_ACP, 0, lpOutputString, -1, nullptr, 0);
    if (n <= 0) return;
    nvx::WString wide(static_cast<size_t>(n), 0);
    MultiByteToWideChar(CP_ACP, 0, lpOutputString, -1, wide.data(), n);
    wide.pop_back();  // the terminator
    nvxp::Emit(nvx::Utf8FromW(wide));
}

NVXAPI size_t NvxPlatform_GetDebugOutput(char* buffer, size_t size) {
    nvxp::DebugLog& log = nvxp::Log();
    std::string all;
    {
        std::lock_guard<std::mutex> lock(log.mutex);
        for (const auto& line : log.lines) all += line + "\n";
        if (!log.partial.empty()) all += log.partial + "\n";
    }
    if (buffer && size > 0) {
        size_t n = all.size() < size - 1 ? all.size() : size - 1;
        memcpy(buffer, all.data(), n);
        buffer[n] = 0;
    }
    return all.size();
}

NVXAPI void NvxPlatform_ClearDebugOutput(void) {
    nvxp::DebugLog& log = nvxp::Log();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.lines.clear();
    log.partial.clear();
}

NVXAPI BOOL WINAPI GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize) {
    using namespace nvxp;
    if (!nSize) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    nvx::WString name = ComputerName();
    if (!lpBuffer || *nSize <= name.size()) {
        *nSize = static_cast<DWORD>(name.size() + 1);
        return Fail(ERROR_BUFFER_OVERFLOW, FALSE);
    }
    nvx::WCopy(lpBuffer, *nSize, name);
    *nSize = static_cast<DWORD>(name.size());
    return TRUE;
}

NVXAPI BOOL WINAPI GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer) {
    using namespace nvxp;
    if (!pcbBuffer) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    nvx::WString name = UserName();
    if (!lpBuffer || *pcbBuffer <= name.size()) {
        *pcbBuffer = static_cast<DWORD>(name.size() + 1);
        return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
    }
    nvx::WCopy(lpBuffer, *pcbBuffer, name);
    *pcbBuffer = static_cast<DWORD>(name.size() + 1);  // this one counts the terminator
    return TRUE;
}

NVXAPI DWORD WINAPI GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize) {
    using namespace nvxp;
    if (!lpName || !*lpName) return Fail(ERROR_ENVVAR_NOT_FOUND, DWORD(0));
    std::string name, value;
    {
        std::lock_guard<std::mutex> lock(EnvLock());
        if (!FindVariable(lpName, name, value)) return Fail(ERROR_ENVVAR_NOT_FOUND, DWORD(0));
    }
    nvx::WString wide = nvx::WFromUtf8(value);
    if (!lpBuffer || nSize <= wide.size()) return static_cast<DWORD>(wide.size() + 1);
    nvx::WCopy(lpBuffer, nSize, wide);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(wide.size());
}

NVXAPI BOOL WINAPI SetEnvironmentVariableW(LPCWSTR lpName, LPCWSTR lpValue) {
    using namespace nvxp;
    if (!lpName || !*lpName || nvx::WStringView(lpName).find(u'=') != nvx::WStringView::npos)
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    std::lock_guard<std::mutex> lock(EnvLock());
    std::string name, old;
    if (!FindVariable(lpName, name, old)) name = nvx::Utf8FromW(lpName);
    if (!lpValue) {
        unsetenv(name.c_str());
        return TRUE;
    }
    if (setenv(name.c_str(), nvx::Utf8FromW(lpValue).c_str(), 1) != 0) return Fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
    return TRUE;
}

NVXAPI DWORD WINAPI ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize) {
    using namespace nvxp;
    if (!lpSrc) return Fail(ERROR_INVALID_PARAMETER, DWORD(0));
    nvx::WStringView src(lpSrc);
    nvx::WString out;
    {
        std::lock_guard<std::mutex> lock(EnvLock());
        for (size_t i = 0; i < src.size();) {
            size_t close = src[i] == u'%' ? src.find(u'%', i + 1) : nvx::WStringView::npos;
            if (close == nvx::WStringView::npos) {
                out += src[i++];
                continue;
            }
            std::string name, value;
            if (FindVariable(src.substr(i + 1, close - i - 1), name, value)) {
                out += nvx::WFromUtf8(value);
            } else {
                out += src.substr(i, close + 1 - i);  // an unknown name stays as written
            }
            i = close + 1;
        }
    }
    DWORD needed = static_cast<DWORD>(out.size() + 1);
    if (lpDst && nSize >= needed) nvx::WCopy(lpDst, nSize, out);
    return needed;
}

}  // extern "C"
