#include "presets/custom_tab_file.h"

#include <cstdint>
#include <iterator>

#include "platform/win32.h"

namespace nvx::presets {

namespace {

constexpr const WCHAR* kArrangementSection = WL("MyTab_Arrangement");
constexpr const WCHAR* kManagementSection = WL("MyTab_Management");
constexpr const WCHAR* kFlagKey = WL("Is_MyTab_Arrangement");

WString ColumnKey(bool left, size_t n) {
    return WFormatString(left ? WL("MyTab_Left%.2u") : WL("MyTab_Right%.2u"), static_cast<unsigned>(n));
}

// A key's text, or false when the section has no such key.
bool ReadValue(const WString& path, const WCHAR* section, const WString& key, WString* value) {
    // A default no value can hold tells a missing key from an empty one.
    static const WCHAR kMissing[] = WL("\x01");
    WCHAR buffer[64] = {};
    GetPrivateProfileStringW(section, key.c_str(), kMissing, buffer, static_cast<DWORD>(std::size(buffer)),
                             path.c_str());
    if (buffer[0] == kMissing[0] && buffer[1] == 0) return false;
    *value = buffer;
    return true;
}

// A whole decimal number within [lo, hi], blanks around it allowed.
bool ParseNumber(WStringView text, int64_t lo, int64_t hi, int64_t* out) {
    size_t i = 0, end = text.size();
    while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end || end - i > 10) return false;
    int64_t v = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return false;
    *out = v;
    return true;
}

// A column: keys from 01 to the first missing one; keys that hold no control
// number are left out.  *any tells whether the first key was there.
std::vector<uint32_t> ReadColumn(const WString& path, const WCHAR* section, bool left, bool* any) {
    std::vector<uint32_t> column;
    *any = false;
    for (size_t n = 1; n <= kCustomTabColumnMax; ++n) {
        WString text;
        if (!ReadValue(path, section, ColumnKey(left, n), &text)) break;
        *any = true;
        int64_t v = 0;
        if (ParseNumber(text, 1, 65535, &v)) column.push_back(static_cast<uint32_t>(v));
    }
    return column;
}

bool WriteNumber(const WString& path, const WCHAR* section, const WCHAR* key, int64_t value) {
    const WString text = WFormatString(WL("%lld"), static_cast<long long>(value));
    return WritePrivateProfileStringW(section, key, text.c_str(), path.c_str()) != FALSE;
}

bool WriteColumns(const WString& path, const WCHAR* section, const CustomTabArrangement& a) {
    if (!WriteNumber(path, section, kFlagKey, a.exists ? 1 : 0)) return false;
    if (!a.exists) return true;
    for (int side = 0; side < 2; ++side) {
        const std::vector<uint32_t>& column = side == 0 ? a.left : a.right;
        for (size_t i = 0; i < column.size() && i < kCustomTabColumnMax; ++i)
            if (!WriteNumber(path, section, ColumnKey(side == 0, i + 1).c_str(), column[i])) return false;
    }
    return true;
}

bool FileNameCharacter(WCHAR c) {
    if (c < 0x20) return false;
    for (WCHAR bad : WString(WL("\\/:*?\"<>|")))
        if (c == bad) return false;
    return true;
}

}  // namespace

WString CustomTabFilePath(WStringView printerName) {
    WString name = WL("MyTab_");
    for (WCHAR c : printerName) name.push_back(FileNameCharacter(c) ? c : WCHAR('_'));
    name += WL(".ini");
    WCHAR folder[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(WL("APPDATA"), folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return name;
    WString path = folder;
    if (path.back() != '\\' && path.back() != '/') path.push_back('\\');
    return path + name;
}

CustomTabArrangement ReadCustomTabArrangement(const WString& path) {
    CustomTabArrangement a;
    WString flag;
    int64_t v = 0;
    if (!ReadValue(path, kArrangementSection, kFlagKey, &flag) || !ParseNumber(flag, INT32_MIN, INT32_MAX, &v) || v == 0)
        return a;
    bool any = false;
    a.exists = true;
    a.left = ReadColumn(path, kArrangementSection, true, &any);
    a.right = ReadColumn(path, kArrangementSection, false, &any);
    return a;
}

bool WriteCustomTabArrangement(const WString& path, const CustomTabArrangement& arrangement) {
    // The section goes whole first, so that a shorter column leaves no stale keys.
    if (!WritePrivateProfileStringW(kArrangementSection, nullptr, nullptr, path.c_str()) &&
        GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    return WriteColumns(path, kArrangementSection, arrangement);
}

bool AppendCustomTabManagement(const WString& path, const CustomTabManagement& m) {
    if (!WriteNumber(path, kManagementSection, WL("Type"), 2)) return false;
    for (size_t i = 0; i < std::size(kCustomTabManagementKeys); ++i)
        if (!WriteNumber(path, kManagementSection, WFromAscii(kCustomTabManagementKeys[i]).c_str(), m.values[i]))
            return false;
    return WriteColumns(path, kManagementSection, m.arrangement);
}

CustomTabManagement ReadCustomTabManagement(const WString& path) {
    CustomTabManagement m;
    WString text;
    int64_t v = 0;
    for (size_t i = 0; i < std::size(kCustomTabManagementKeys); ++i)
        if (ReadValue(path, kManagementSection, WFromAscii(kCustomTabManagementKeys[i]), &text) &&
            ParseNumber(text, 0, 65535, &v)) {
            m.present[i] = true;
            m.values[i] = static_cast<int32_t>(v);
        }
    if (ReadValue(path, kManagementSection, kFlagKey, &text) && ParseNumber(text, INT32_MIN, INT32_MAX, &v)) {
        m.hasArrangementFlag = true;
        m.arrangement.exists = v != 0;
    }
    bool left = false, right = false;
    m.arrangement.left = ReadColumn(path, kManagementSection, true, &left);
    m.arrangement.right = ReadColumn(path, kManagementSection, false, &right);
    m.hasColumns = left || right;
    return m;
}

CustomTabArrangement MergeArrangement(const CustomTabArrangement& current, const CustomTabManagement& read) {
    CustomTabArrangement a = current;
    if (read.hasColumns) {
        a.left = read.arrangement.left;
        a.right = read.arrangement.right;
        a.exists = true;
    }
    if (read.hasArrangementFlag) a.exists = read.arrangement.exists;
    if (!a.exists) {
        a.left.clear();
        a.right.clear();
    }
    return a;
}

}  // namespace nvx::presets
