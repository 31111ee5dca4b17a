// Where libraries are found: module names, the built-in system modules and the
// search order for relative names.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/linux/loader/module_internal.h"

namespace nvxp {
namespace {

// The system modules that load as the platform layer itself.  Every name here
// answers GetModuleHandleW and LoadLibraryW with one pinned record, and
// GetProcAddress looks the function up among the layer's own exports.
const char* const kSystemModules[] = {
    "kernel32.dll", "kernelbase.dll", "user32.dll", "gdi32.dll",   "advapi32.dll", "winspool.drv",
    "secur32.dll",  "crypt32.dll",    "comctl32.dll", "ole32.dll", "bcrypt.dll",   "uxtheme.dll",
    "version.dll",
};

bool IsDir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entry of folder `dir` whose name equals `name` ignoring case (the exact
// name first), or empty.
std::string MatchInFolder(const std::string& dir, const std::string& name) {
    std::string exact = (dir == "/" ? "" : dir) + "/" + name;
    struct stat st;
    if (lstat(exact.c_str(), &st) == 0) return exact;
    DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
    if (!d) return {};
    std::string found;
    nvx::WString wanted = nvx::WFromUtf8(name);
    while (dirent* e = readdir(d)) {
        if (nvx::WEqualNoCase(nvx::WFromUtf8(e->d_name), wanted)) {
            found = (dir == "/" ? "" : dir) + "/" + e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

std::string DirName(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string SystemFolder() {
    return RootPath() + "/drive_c/Windows/System32";
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<size_t>(n));
}

nvx::WString NormalizeModuleName(nvx::WStringView name) {
    nvx::WString out(name);
    for (auto& c : out)
        if (c == u'/') c = u'\\';
    size_t slash = out.rfind(u'\\');
    size_t start = slash == nvx::WString::npos ? 0 : slash + 1;
    if (start == out.size()) return out;  // a folder: left to fail
    if (out.back() == u'.') {
        out.pop_back();  // "NAME." means a name without extension
    } else if (out.find(u'.', start) == nvx::WString::npos) {
        out += u".dll";
    }
    return out;
}

bool HasPathPart(nvx::WStringView name) {
    return name.find_first_of(u"\\/:") != nvx::WStringView::npos;
}

nvx::WString BaseName(nvx::WStringView name) {
    size_t slash = name.find_last_of(u"\\/");
    return nvx::WString(slash == nvx::WStringView::npos ? name : name.substr(slash + 1));
}

int SystemModuleIndex(nvx::WStringView baseName) {
    nvx::WString normal = NormalizeModuleName(baseName);
    for (size_t i = 0; i < sizeof kSystemModules / sizeof kSystemModules[0]; ++i)
        if (nvx::WEqualNoCase(normal, nvx::WFromAscii(kSystemModules[i]))) return static_cast<int>(i);
    return -1;
}

const char* SystemModuleName(int index) {
    return index >= 0 && static_cast<size_t>(index) < sizeof kSystemModules / sizeof kSystemModules[0]
               ? kSystemModules[index]
               : nullptr;
}

std::string ResolveNoCase(const std::string& path) {
    if (path.empty()) return {};
    std::string current = path[0] == '/' ? "/" : ".";
    size_t pos = path[0] == '/' ? 1 : 0;
    while (pos <= path.size()) {
        size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        std::string part = path.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            current = DirName(current);
            continue;
        }
        std::string match = MatchInFolder(current, part);
        if (match.empty()) return {};
        current = match;
    }
    return current;
}

std::string FindLibraryFile(nvx::WStringView name) {
    std::string native = NativePath(name);
    if (!native.empty() && native[0] == '/') {
        std::string found = ResolveNoCase(native);
        return IsFile(found) ? found : std::string();
    }
    std::vector<std::string> folders;
    folders.push_back(DirName(ExecutablePath()));
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) folders.push_back(cwd);
    folders.push_back(SystemFolder());
    for (const auto& folder : folders) {
        if (!IsDir(folder)) continue;
        std::string found = ResolveNoCase(folder + "/" + native);
        if (IsFile(found)) return found;
    }
    return {};
}

std::string CanonicalPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string out(real);
    free(real);
    return out;
}

}  // namespace nvxp
