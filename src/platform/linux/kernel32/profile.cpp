// Profile (INI) file functions with the Win32 contracts: section and key lists
// as double-null lists cut to nSize - 2, values cut to nSize - 1, quotes and the
// default's trailing blanks removed, names without regard to case, a file name
// without a folder taken from the Windows folder.  Files are read on every call
// (no cache), and written back with only the changed lines replaced.
#include <mutex>
#include <vector>

#include "platform/linux/kernel32/kernel_path.h"
#include "platform/linux/kernel32/kernel_profile_doc.h"

namespace nvxp {
namespace {

std::mutex& ProfileLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// The file a profile function works on: a bare name lives in the Windows folder.
nvx::WString ProfileFile(const WCHAR* fileName) {
    nvx::WString name = fileName ? nvx::WString(fileName) : nvx::WString(u"win.ini");
    bool bare = name.find_first_of(u"\\/") == nvx::WString::npos && !(name.size() >= 2 && name[1] == u':');
    return bare ? WindowsFolder() + u"\\" + name : name;
}

// Reads the whole file.  Answers ERROR_SUCCESS or the CreateFileW/ReadFile error.
DWORD ReadWhole(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return GetLastError();
    if (size.QuadPart > 0x7FFFFFFF) return ERROR_FILE_TOO_LARGE;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return GetLastError();
    bytes.resize(read);
    return ERROR_SUCCESS;
}

// Loads the profile for reading; answers false (with the error) when the file
// cannot be read, which the readers treat as an empty profile.
bool LoadProfile(const WCHAR* fileName, ProfileDoc& doc, DWORD& error) {
    nvx::WString path = ProfileFile(fileName);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    std::string bytes;
    error = ReadWhole(file, bytes);
    CloseHandle(file);
    if (error) return false;
    doc.Load(bytes);
    return true;
}

// Applies an edit to the profile and writes it back when it changed.  A missing
// file is created only when the edit adds something.  Answers TRUE, or FALSE
// with the last error set.
template <typename Edit>
BOOL EditProfile(const WCHAR* fileName, Edit edit) {
    std::lock_guard<std::mutex> lock(ProfileLock());
    nvx::WString path = ProfileFile(fileName);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ProfileDoc doc;
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return FALSE;
        if (!edit(doc)) return TRUE;  // nothing to add: the file stays absent
        file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return FALSE;
    } else {
        std::string bytes;
        if (DWORD error = ReadWhole(file, bytes)) {
            CloseHandle(file);
            return Fail(error, FALSE);
        }
        doc.Load(bytes);
        if (!edit(doc)) {
            CloseHandle(file);
            SetLastError(ERROR_SUCCESS);
            return TRUE;
        }
    }
    std::string out = doc.Save();
    DWORD written = 0;
    BOOL ok = SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
              WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr) && SetEndOfFile(file);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    return Fail(error, ok);
}

// Copies a value as the profile readers do: a value wrapped in matching single
// or double quotes loses them; the copy is cut to size - 1 characters.
DWORD CopyValue(nvx::WStringView value, WCHAR* buffer, DWORD size) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return static_cast<DWORD>(nvx::WCopy(buffer, size, value));
}

// Writes strings as a double-null list, Windows' way: when they do not all fit
// the last one is cut and the answer is size - 2 (also for an exact fit).
DWORD CopyList(const std::vector<nvx::WString>& items, WCHAR* buffer, DWORD size) {
    if (size == 0) return 0;
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    DWORD room = size - 1, at = 0;
    for (const nvx::WString& item : items) {
        DWORD length = static_cast<DWORD>(item.size()) + 1;
        if (length >= room) {
            for (DWORD i = 0; i + 1 < room; ++i) buffer[at++] = item[i];
            buffer[at++] = 0;
            buffer[at] = 0;
            return size - 2;
        }
        for (WCHAR c : item) buffer[at++] = c;
        buffer[at++] = 0;
        room -= length;
    }
    buffer[at] = 0;
    return at;
}

// The entries of a section as list items: "name" or "name=value", without
// comment lines, and (for key lists) without lines that have no "=".
std::vector<nvx::WString> SectionItems(const ProfileDoc& doc, nvx::WStringView section, bool withValues) {
    std::vector<nvx::WString> items;
    for (const auto& entry : doc.Entries(section)) {
        if (entry.name.empty() && !withValues) continue;
        if (!entry.name.empty() && entry.name[0] == u';') continue;
        if (!withValues && !entry.hasValue) continue;
        items.push_back(withValues && entry.hasValue ? entry.name + u"=" + entry.value : entry.name);
    }
    return items;
}

// The value as GetPrivateProfileIntW reads it: optional blanks and sign, then
// decimal digits (or 0x, 0o, 0b and their digits), wrapping at 32 bits.
UINT ParseProfileInt(nvx::WStringView text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == u'0') {
        WCHAR prefix = static_cast<WCHAR>(text[i + 1] | 0x20);
        base = prefix == u'x' ? 16 : prefix == u'o' ? 8 : prefix == u'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    UINT value = 0;
    for (; i < text.size(); ++i) {
        WCHAR c = text[i];
        unsigned digit = c >= u'0' && c <= u'9'   ? c - u'0'
                         : c >= u'a' && c <= u'f' ? c - u'a' + 10
                         : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                  : 99;
        if (digit >= base) break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI DWORD WINAPI GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize, LPCWSTR lpFileName) {
    using namespace nvxp;
    if (!lpszReturnBuffer || nSize == 0) return 0;
    ProfileDoc doc;
    DWORD error = ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(ProfileLock());
    if (!LoadProfile(lpFileName, doc, error)) {
        lpszReturnBuffer[0] = 0;
        return Fail(error, DWORD(0));
    }
    SetLastError(ERROR_SUCCESS);
    return CopyList(doc.SectionNames(), lpszReturnBuffer, nSize);
}

NVXAPI DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                             LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName) {
    using namespace nvxp;
    if (!lpReturnedString || nSize == 0) return 0;
    if (!lpAppName) return GetPrivateProfileSectionNamesW(lpReturnedString, nSize, lpFileName);
    nvx::WStringView fallback = lpDefault ? nvx::WStringView(lpDefault) : nvx::WStringView();
    ProfileDoc doc;
    DWORD error = ERROR_SUCCESS;
    {
        std::lock_guard<std::mutex> lock(ProfileLock());
        LoadProfile(lpFileName, doc, error);  // an unreadable file reads as empty
    }
    if (!lpKeyName) {
        // The keys of the section; a missing or empty section gives the default instead.
        std::vector<nvx::WString> keys = SectionItems(doc, lpAppName, false);
        if (!keys.empty()) {
            SetLastError(ERROR_SUCCESS);
            return CopyList(keys, lpReturnedString, nSize);
        }
        if (nSize > 1) lpReturnedString[1] = 0;
        DWORD n = CopyValue(fallback, lpReturnedString, nSize);
        return Fail(error ? error : DWORD(ERROR_FILE_NOT_FOUND), n);
    }
    ProfileDoc::Entry entry;
    if (doc.Find(lpAppName, lpKeyName, entry) && entry.hasValue) {
        SetLastError(ERROR_SUCCESS);
        return CopyValue(entry.value, lpReturnedString, nSize);
    }
    while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
    DWORD n = CopyValue(fallback, lpReturnedString, nSize);
    return Fail(error ? error : DWORD(ERROR_FILE_NOT_FOUND), n);
}

NVXAPI UINT WINAPI GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName) {
    if (!lpAppName || !lpKeyName) return static_cast<UINT>(nDefault);
    WCHAR buffer[30];
    if (GetPrivateProfileStringW(lpAppName, lpKeyName, u"", buffer, 30, lpFileName) == 0)
        return static_cast<UINT>(nDefault);
    return nvxp::ParseProfileInt(buffer);
}

NVXAPI DWORD WINAPI GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString, DWORD nSize,
                                              LPCWSTR lpFileName) {
    using namespace nvxp;
    if (!lpAppName || !lpReturnedString) return Fail(ERROR_INVALID_PARAMETER, DWORD(0));
    if (nSize == 0) return 0;
    ProfileDoc doc;
    DWORD error = ERROR_SUCCESS;
    {
        std::lock_guard<std::mutex> lock(ProfileLock());
        LoadProfile(lpFileName, doc, error);
    }
    std::vector<nvx::WString> items = SectionItems(doc, lpAppName, true);
    if (items.empty()) {
        lpReturnedString[0] = 0;
        if (nSize > 1) lpReturnedString[1] = 0;
        return Fail(error ? error : DWORD(ERROR_SUCCESS), DWORD(0));
    }
    SetLastError(ERROR_SUCCESS);
    return CopyList(items, lpReturnedString, nSize);
}

NVXAPI BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                              LPCWSTR lpFileName) {
    using namespace nvxp;
    if (!lpAppName && !lpKeyName && !lpString) return FALSE;  // "flush the cache": there is none
    if (!lpAppName) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    return EditProfile(lpFileName, [&](ProfileDoc& doc) {
        if (!lpKeyName) return doc.DeleteSection(lpAppName);
        if (!lpString) return doc.DeleteKey(lpAppName, lpKeyName);
        return doc.SetValue(lpAppName, lpKeyName, lpString);
    });
}

NVXAPI BOOL WINAPI WritePrivateProfileSectionW(LPCWSTR lpAppName, LPCWSTR lpString, LPCWSTR lpFileName) {
    using namespace nvxp;
    if (!lpAppName && !lpString) return FALSE;
    if (!lpAppName) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    // The new entries: each "name=value" string of the double-null list (others are skipped).
    std::vector<ProfileDoc::Entry> entries;
    for (const WCHAR* item = lpString; item && *item; item += nvx::WLen(item) + 1) {
        nvx::WStringView text(item);
        size_t equals = text.find(u'=');
        if (equals == nvx::WStringView::npos) continue;
        ProfileDoc::Entry entry;
        entry.name = nvx::WString(text.substr(0, equals));
        entry.hasValue = true;
        entry.value = nvx::WString(text.substr(equals + 1));
        entries.push_back(entry);
    }
    return EditProfile(lpFileName, [&](ProfileDoc& doc) {
        if (!lpString) return doc.DeleteSection(lpAppName);
        return doc.ReplaceSection(lpAppName, entries);
    });
}

NVXAPI DWORD WINAPI GetProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                      LPWSTR lpReturnedString, DWORD nSize) {
    return GetPrivateProfileStringW(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize, u"win.ini");
}

NVXAPI UINT WINAPI GetProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault) {
    return GetPrivateProfileIntW(lpAppName, lpKeyName, nDefault, u"win.ini");
}

NVXAPI BOOL WINAPI WriteProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString) {
    return WritePrivateProfileStringW(lpAppName, lpKeyName, lpString, u"win.ini");
}

}  // extern "C"
