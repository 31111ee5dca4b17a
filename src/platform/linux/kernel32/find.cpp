// FindFirstFileW / FindNextFileW / FindClose over a snapshot of the folder,
// matched with the DOS wildcard rules Windows applies.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/linux/kernel32/kernel_objects.h"
#include "platform/linux/kernel32/kernel_path.h"
#include "platform/linux/kernel32/kernel_time.h"

namespace nvxp {

// Matches a file name against a FindFirstFileW pattern, without regard to case,
// as Windows does: "*.*" is "*"; "?" matches one character but not a dot, and
// none at a dot or the end; "*" before a dot stops at the name's last dot; a
// dot before "?", "*" or the end also matches the end of the name (so "*."
// finds names without an extension).
bool MatchPattern(nvx::WStringView pattern, nvx::WStringView name);

namespace {

enum Token : WCHAR {
    kStar = 0xF001,     // any characters
    kDosStar = 0xF002,  // any characters up to the last dot
    kDosQm = 0xF003,    // one character except a dot, or none at a dot or the end
    kDosDot = 0xF004,   // a dot, or nothing at the end
};

std::vector<WCHAR> Tokens(nvx::WStringView pattern) {
    std::vector<WCHAR> tokens;
    for (size_t i = 0; i < pattern.size(); ++i) {
        WCHAR c = pattern[i];
        WCHAR next = i + 1 < pattern.size() ? pattern[i + 1] : 0;
        if (c == u'?') {
            tokens.push_back(kDosQm);
        } else if (c == u'*') {
            tokens.push_back(next == u'.' ? kDosStar : kStar);
        } else if (c == u'.' && (next == u'?' || next == u'*' || next == 0)) {
            tokens.push_back(kDosDot);
        } else {
            tokens.push_back(nvx::WToUpper(c));
        }
    }
    return tokens;
}

class FindObject : public KernelObject {
public:
    FindObject() : KernelObject(ObjectKind::Find) {}
    bool ClosedByCloseHandle() const override { return false; }

    std::vector<WIN32_FIND_DATAW> entries;
    size_t next = 0;
    std::mutex mutex;
};

bool FillEntry(const std::string& folder, const std::string& name, WIN32_FIND_DATAW& data) {
    struct statx stx;
    std::string native = folder + "/" + name;
    if (statx(AT_FDCWD, native.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0) return false;
    data = WIN32_FIND_DATAW{};
    bool directory = S_ISDIR(stx.stx_mode);
    data.dwFileAttributes = directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!directory && !(stx.stx_mode & S_IWUSR)) data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    const auto& created = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_mtime;
    data.ftCreationTime = FileTimeFromUnix(created.tv_sec, created.tv_nsec);
    data.ftLastAccessTime = FileTimeFromUnix(stx.stx_atime.tv_sec, stx.stx_atime.tv_nsec);
    data.ftLastWriteTime = FileTimeFromUnix(stx.stx_mtime.tv_sec, stx.stx_mtime.tv_nsec);
    ULONGLONG size = directory ? 0 : stx.stx_size;
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
    nvx::WCopy(data.cFileName, MAX_PATH, nvx::WFromUtf8(name));
    return true;
}

bool HasWildcards(nvx::WStringView s) {
    return s.find_first_of(u"*?") != nvx::WStringView::npos;
}

// Windows orders the entries of a folder as "." and ".." first, then by upper-case name.
bool Before(const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
    nvx::WStringView x(a.cFileName), y(b.cFileName);
    auto rank = [](nvx::WStringView s) { return s == u"." ? 0 : (s == u".." ? 1 : 2); };
    if (rank(x) != rank(y)) return rank(x) < rank(y);
    return nvx::WCompareNoCase(x, y) < 0;
}

}  // namespace

bool MatchPattern(nvx::WStringView pattern, nvx::WStringView name) {
    if (pattern == u"*.*") pattern = u"*";
    std::vector<WCHAR> p = Tokens(pattern);
    nvx::WString n = nvx::WUpper(name);
    size_t lastDot = n.find_last_of(u'.');
    size_t starLimit = lastDot == nvx::WString::npos ? n.size() : lastDot;
    // match[i][j]: tokens from i match the name from j.
    size_t P = p.size(), N = n.size();
    std::vector<char> match((P + 1) * (N + 1), 0);
    auto at = [&](size_t i, size_t j) -> char& { return match[i * (N + 1) + j]; };
    at(P, N) = 1;
    for (size_t i = P; i-- > 0;) {
        for (size_t j = N + 1; j-- > 0;) {
            WCHAR t = p[i];
            bool end = j == N;
            bool ok = false;
            switch (t) {
            case kStar:
                ok = at(i + 1, j) || (!end && at(i, j + 1));
                break;
            case kDosStar:
                ok = at(i + 1, j) || (j < starLimit && at(i, j + 1));
                break;
            case kDosQm:
                ok = (end || n[j] == u'.') ? at(i + 1, j) : at(i + 1, j + 1);
                break;
            case kDosDot:
                ok = end ? at(i + 1, j) : (n[j] == u'.' && at(i + 1, j + 1));
                break;
            default:
                ok = !end && n[j] == t && at(i + 1, j + 1);
                break;
            }
            at(i, j) = ok ? 1 : 0;
        }
    }
    return at(0, 0) != 0;
}

}  // namespace nvxp

extern "C" {

NVXAPI HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
    using namespace nvxp;
    if (!lpFindFileData) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (!lpFileName || !*lpFileName) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    nvx::WStringView request(lpFileName);
    size_t slash = request.find_last_of(u"\\/");
    nvx::WString folderPart = slash == nvx::WStringView::npos ? nvx::WString(u".") : nvx::WString(request.substr(0, slash + 1));
    if (slash == nvx::WStringView::npos && request.size() >= 2 && request[1] == u':') {
        folderPart = nvx::WString(request.substr(0, 2));  // "C:name"
        request = request.substr(2);
    } else if (slash != nvx::WStringView::npos) {
        request = request.substr(slash + 1);
    }
    nvx::WString pattern(request);
    if (pattern.empty()) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (!HasWildcards(pattern)) {
        // A plain name: trailing dots and spaces go, as for any path.
        while (!pattern.empty() && (pattern.back() == u'.' || pattern.back() == u' ')) pattern.pop_back();
        if (pattern.empty()) pattern.assign(1, u'.');
    }
    for (WCHAR c : pattern) {
        if (c < 0x20 || c == u'|' || c == u':' || c == u'<' || c == u'>' || c == u'"')
            return Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
    }
    MappedPath folder;
    if (DWORD error = MapPath(folderPart.c_str(), PathUse::File, folder)) return Fail(error, INVALID_HANDLE_VALUE);
    if (folder.full.size() + pattern.size() + 1 >= MAX_PATH) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    struct stat st;
    if (stat(folder.native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    DIR* dir = opendir(folder.native.c_str());
    if (!dir) return Fail(ErrorFromErrno(errno, folder.native), INVALID_HANDLE_VALUE);
    // A drive's root folder has no "." and ".." entries.
    bool driveRoot = folder.full.size() == 3 && folder.full[1] == u':';
    auto find = std::make_shared<FindObject>();
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (driveRoot && (name == "." || name == "..")) continue;
        if (!MatchPattern(pattern, nvx::WFromUtf8(name))) continue;
        WIN32_FIND_DATAW data;
        if (FillEntry(folder.native, name, data)) find->entries.push_back(data);
    }
    closedir(dir);
    if (find->entries.empty()) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    std::sort(find->entries.begin(), find->entries.end(), Before);
    *lpFindFileData = find->entries[0];
    find->next = 1;
    SetLastError(ERROR_SUCCESS);
    return AddHandle(find);
}

NVXAPI BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
    using namespace nvxp;
    auto find = FindHandleOf<FindObject>(hFindFile, ObjectKind::Find);
    if (!find) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpFindFileData) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    std::lock_guard<std::mutex> lock(find->mutex);
    if (find->next >= find->entries.size()) return Fail(ERROR_NO_MORE_FILES, FALSE);
    *lpFindFileData = find->entries[find->next++];
    return TRUE;
}

NVXAPI BOOL WINAPI FindClose(HANDLE hFindFile) {
    using namespace nvxp;
    if (!FindHandleOf<FindObject>(hFindFile, ObjectKind::Find) || !RemoveHandle(hFindFile))
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    return TRUE;
}

}  // extern "C"
