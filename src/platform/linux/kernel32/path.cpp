// Path normalisation and mapping for the kernel's file functions.
#include "platform/linux/kernel32/kernel_path.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace nvxp {
namespace {

constexpr DWORD kGenFailure = 31;  // ERROR_GEN_FAILURE

bool IsSep(WCHAR c) {
    return c == u'\\' || c == u'/';
}

bool IsDriveLetter(WCHAR c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool HasDrive(nvx::WStringView p) {
    return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == u':';
}

nvx::WStringView Verbatim(nvx::WStringView p) {
    static constexpr nvx::WStringView kPrefix = u"\\\\?\\";
    return p.substr(0, kPrefix.size()) == kPrefix ? p.substr(kPrefix.size()) : nvx::WStringView();
}

// Splits the part after the root into components, dropping empty ones.
std::vector<nvx::WString> Components(nvx::WStringView rest) {
    std::vector<nvx::WString> parts;
    size_t start = 0;
    for (size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || IsSep(rest[i])) {
            if (i > start) parts.emplace_back(rest.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// Normalises an absolute path given as root ("X:\", "/" or "\\") and the rest.
nvx::WString Normalise(const nvx::WString& root, nvx::WStringView rest, WCHAR sep) {
    bool trailingSep = !rest.empty() && IsSep(rest.back());
    std::vector<nvx::WString> parts = Components(rest);
    std::vector<nvx::WString> kept;
    for (size_t i = 0; i < parts.size(); ++i) {
        nvx::WString part = parts[i];
        if (part == u".") continue;
        if (part == u"..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        bool last = i + 1 == parts.size();
        if (last && !trailingSep) {
            while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.pop_back();
            if (part.empty()) continue;
        } else if (part.size() > 1 && part.back() == u'.' && part[part.size() - 2] != u'.') {
            part.pop_back();
        }
        kept.push_back(part);
    }
    nvx::WString full = root;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i) full += sep;
        full += kept[i];
    }
    if (trailingSep && !kept.empty()) full += sep;
    return full;
}

nvx::WString CurrentDirectory() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof(buffer))) return u"/";
    return WinFromNative(buffer);
}

std::string DriveFolder(WCHAR letter) {
    char drive = static_cast<char>(letter | 0x20);
    return RootPath() + "/drive_" + drive;
}

// The index where the components start ("X:\" -> 3, "/" -> 1, "\\" -> 2).
size_t RootLength(nvx::WStringView full) {
    if (HasDrive(full)) return full.size() >= 3 ? 3 : 2;
    if (full.size() >= 2 && IsSep(full[0]) && IsSep(full[1])) return 2;
    return 1;
}

bool ValidName(nvx::WStringView component, bool allowWildcards) {
    for (WCHAR c : component) {
        if (c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u':') return false;
        if ((c == u'*' || c == u'?') && !allowWildcards) return false;
    }
    return true;
}

bool Exists(const std::string& native) {
    struct stat st;
    return lstat(native.c_str(), &st) == 0;
}

// Looks for an entry of `folder` equal to `name` without regard to case.
bool FindNoCase(const std::string& folder, const std::string& name, std::string& found) {
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return false;
    nvx::WString wanted = nvx::WFromUtf8(name);
    bool hit = false;
    while (dirent* entry = readdir(dir)) {
        if (nvx::WEqualNoCase(nvx::WFromUtf8(entry->d_name), wanted)) {
            found = entry->d_name;
            hit = true;
            break;
        }
    }
    closedir(dir);
    return hit;
}

// Follows `native` from `prefix` component by component; where a component does
// not exist as spelt, an entry that differs only in case is taken instead.
std::string ResolveCase(const std::string& prefix, const std::string& native) {
    if (Exists(native)) return native;
    std::string base = prefix;
    size_t pos = prefix.size();
    while (pos < native.size()) {
        if (native[pos] == '/') {
            ++pos;
            continue;
        }
        size_t end = native.find('/', pos);
        if (end == std::string::npos) end = native.size();
        std::string part = native.substr(pos, end - pos);
        std::string joined = base.empty() || base.back() != '/' ? base + "/" : base;
        std::string found;
        if (Exists(joined + part)) {
            base = joined + part;
        } else if (FindNoCase(base, part, found)) {
            base = joined + found;
        } else {
            return joined + native.substr(pos);
        }
        pos = end;
    }
    return base;
}

}  // namespace

DWORD FullPathName(nvx::WStringView path, nvx::WString& full) {
    if (path.empty()) return ERROR_INVALID_NAME;
    if (nvx::WStringView verbatim = Verbatim(path); !verbatim.empty()) {
        full = nvx::WString(path);
        return ERROR_SUCCESS;
    }
    if (HasDrive(path)) {
        WCHAR drive = nvx::WToUpper(path[0]);
        if (path.size() >= 3 && IsSep(path[2])) {
            full = Normalise(nvx::WString{drive, u':', u'\\'}, path.substr(3), u'\\');
            return ERROR_SUCCESS;
        }
        // "X:name": relative to the current directory when that is on drive X.
        nvx::WString cwd = CurrentDirectory();
        if (HasDrive(cwd) && nvx::WToUpper(cwd[0]) == drive) {
            if (path.size() == 2) return FullPathName(cwd, full);  // "X:" alone is the current directory
            return FullPathName(cwd + u'\\' + nvx::WString(path.substr(2)), full);
        }
        full = Normalise(nvx::WString{drive, u':', u'\\'}, path.substr(2), u'\\');
        return ERROR_SUCCESS;
    }
    if (path.size() >= 2 && IsSep(path[0]) && IsSep(path[1])) {
        full = Normalise(u"\\\\", path.substr(2), u'\\');
        return ERROR_SUCCESS;
    }
    if (IsSep(path[0])) {
        full = Normalise(u"/", path.substr(1), u'/');
        return ERROR_SUCCESS;
    }
    nvx::WString cwd = CurrentDirectory();
    WCHAR sep = HasDrive(cwd) ? u'\\' : u'/';
    if (!cwd.empty() && !IsSep(cwd.back())) cwd += sep;
    return FullPathName(cwd + nvx::WString(path), full);
}

DWORD MapPath(const WCHAR* path, PathUse use, MappedPath& out) {
    if (!path || !*path) return ERROR_PATH_NOT_FOUND;
    nvx::WStringView view(path);
    nvx::WStringView verbatim = Verbatim(view);
    if (!verbatim.empty()) {
        if (DWORD error = FullPathName(verbatim, out.full)) return error;
    } else {
        if (DWORD error = FullPathName(view, out.full)) return error;
        if (use == PathUse::Directory && out.full.size() >= MAX_PATH - 12) return ERROR_FILENAME_EXCED_RANGE;
        if (out.full.size() >= MAX_PATH) return ERROR_PATH_NOT_FOUND;
    }
    size_t rootLength = RootLength(out.full);
    std::vector<nvx::WString> parts = Components(nvx::WStringView(out.full).substr(rootLength));
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!ValidName(parts[i], use == PathUse::Pattern && i + 1 == parts.size())) return ERROR_INVALID_NAME;
    }
    std::string prefix;
    if (HasDrive(out.full)) {
        prefix = DriveFolder(out.full[0]);
        MakeNativeDirs(prefix);  // the drive itself always exists
    } else if (rootLength == 2) {
        prefix = "//";
    } else {
        prefix = "/";
    }
    std::string native = prefix;
    for (const auto& part : parts) {
        if (native.back() != '/') native += '/';
        native += nvx::Utf8FromW(part);
    }
    out.native = ResolveCase(prefix, native);
    return ERROR_SUCCESS;
}

std::string ParentOf(const std::string& native) {
    size_t slash = native.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return native.size() > 1 ? "/" : "";
    return native.substr(0, slash);
}

DWORD ErrorFromErrno(int error, const std::string& native) {
    switch (error) {
    case ENOENT: {
        struct stat st;
        std::string parent = ParentOf(native);
        bool parentIsFolder = parent.empty() || (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
        return parentIsFolder ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBUSY:
        return ERROR_BUSY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return kGenFailure;
    }
}

bool MakeNativeDirs(const std::string& native) {
    if (native.empty()) return false;
    struct stat st;
    if (stat(native.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    for (size_t pos = native.find('/', 1); pos != std::string::npos; pos = native.find('/', pos + 1)) {
        std::string partial = native.substr(0, pos);
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    if (mkdir(native.c_str(), 0755) != 0 && errno != EEXIST) return false;
    return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

nvx::WString WinFromNative(const std::string& native) {
    std::string drives = RootPath() + "/drive_";
    if (native.size() > drives.size() && native.compare(0, drives.size(), drives) == 0) {
        char letter = native[drives.size()];
        size_t rest = drives.size() + 1;
        if (letter >= 'a' && letter <= 'z' && (native.size() == rest || native[rest] == '/')) {
            nvx::WString out{static_cast<WCHAR>(letter - 32), u':', u'\\'};
            nvx::WString tail = nvx::WFromUtf8(native.substr(native.size() == rest ? rest : rest + 1));
            for (auto& c : tail)
                if (c == u'/') c = u'\\';
            return out + tail;
        }
    }
    return nvx::WFromUtf8(native);
}

nvx::WString WindowsFolder() {
    MakeNativeDirs(RootPath() + "/drive_c/Windows");
    return u"C:\\Windows";
}

nvx::WString SystemFolderPath() {
    MakeNativeDirs(RootPath() + "/drive_c/Windows/System32");
    return u"C:\\Windows\\System32";
}

nvx::WString TempFolder() {
    MakeNativeDirs(RootPath() + "/drive_c/Windows/Temp");
    return u"C:\\Windows\\Temp\\";
}

DWORD CopyPathAnswer(const nvx::WString& value, WCHAR* buffer, DWORD size) {
    if (!buffer || size <= value.size()) return static_cast<DWORD>(value.size() + 1);
    nvx::WCopy(buffer, size, value);
    return static_cast<DWORD>(value.size());
}

}  // namespace nvxp
