// Host interface of the layer: platform root, administrator switch, code page and country.
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/linux/internal.h"

namespace nvxp {
namespace {

std::mutex g_rootMutex;
std::string g_root;  // empty until first use
std::vector<std::function<void()>>& Listeners() {
    static std::vector<std::function<void()>> listeners;
    return listeners;
}
std::atomic<bool> g_admin{true};
std::atomic<UINT> g_acp{1252};
std::atomic<int> g_country{1};

bool MakeDirs(const std::string& path) {
    if (path.empty()) return false;
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DefaultRoot() {
    if (const char* env = getenv("NOVRIX_PLATFORM_ROOT"); env && *env) return env;
    if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/novrix/platform";
    const char* home = getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/novrix/platform";
}

std::string Trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string RootPath() {
    std::lock_guard<std::mutex> lock(g_rootMutex);
    if (g_root.empty()) {
        g_root = Trimmed(DefaultRoot());
        MakeDirs(g_root);
    }
    return g_root;
}

void OnRootChange(std::function<void()> listener) {
    std::lock_guard<std::mutex> lock(g_rootMutex);
    Listeners().push_back(std::move(listener));
}

std::string NativePath(nvx::WStringView path) {
    std::string out = nvx::Utf8FromW(path);
    for (auto& c : out)
        if (c == '\\') c = '/';
    if (out.size() >= 2 && out[1] == ':' && ((out[0] >= 'A' && out[0] <= 'Z') || (out[0] >= 'a' && out[0] <= 'z'))) {
        char drive = static_cast<char>(out[0] | 0x20);
        out = RootPath() + "/drive_" + drive + (out.size() > 2 && out[2] != '/' ? "/" : "") + out.substr(2);
    }
    return out;
}

std::string NativePath(const WCHAR* path) {
    return NativePath(path ? nvx::WStringView(path) : nvx::WStringView());
}

nvx::WString WinPath(const std::string& native) {
    return nvx::WFromUtf8(native);
}

}  // namespace nvxp

extern "C" {

NVXAPI const char* NvxPlatform_Root(void) {
    static thread_local std::string answer;
    answer = nvxp::RootPath();
    return answer.c_str();
}

NVXAPI BOOL NvxPlatform_SetRoot(const char* utf8Path) {
    if (!utf8Path || !*utf8Path) return FALSE;
    std::string root = nvxp::Trimmed(utf8Path);
    if (!nvxp::MakeDirs(root)) return FALSE;
    std::vector<std::function<void()>> listeners;
    {
        std::lock_guard<std::mutex> lock(nvxp::g_rootMutex);
        nvxp::g_root = root;
        listeners = nvxp::Listeners();
    }
    for (auto& listener : listeners) listener();
    return TRUE;
}

NVXAPI void NvxPlatform_SetAdministrator(BOOL isAdministrator) {
    nvxp::g_admin = isAdministrator != FALSE;
}

NVXAPI BOOL NvxPlatform_IsAdministrator(void) {
    return nvxp::g_admin ? TRUE : FALSE;
}

NVXAPI BOOL NvxPlatform_SetAnsiCodePage(UINT codePage) {
    if (codePage != 1252 && codePage != 932) return FALSE;
    nvxp::g_acp = codePage;
    return TRUE;
}

NVXAPI UINT NvxPlatform_AnsiCodePage(void) {
    return nvxp::g_acp;
}

NVXAPI void NvxPlatform_SetCountryCode(int country) {
    nvxp::g_country = country;
}

NVXAPI int NvxPlatform_CountryCode(void) {
    return nvxp::g_country;
}

}  // extern "C"
