// The settings text: document model, syntax, encodings and files.
#include "presets/settings_text.h"

#include <cstring>

#include "common/ansi.h"

namespace nvx::presets {

namespace {

bool IsBlank(WCHAR c) {
    return c == ' ' || c == '\t';
}

WStringView Trim(WStringView s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

WString Cut(WStringView s, size_t maxChars) {
    return WString(s.substr(0, maxChars));
}

// Classifies one line (without its CR LF) into the document.
void AddLine(SettingsDoc& doc, WStringView raw) {
    WStringView t = Trim(raw);
    if (t.size() >= 3 && t[0] == '[') {
        size_t close = t.find(']', 1);
        if (close != WStringView::npos && close >= 2) {
            SettingsSection section;
            section.name = Cut(t.substr(1, close - 1), kMaxSectionNameChars);
            doc.sections.push_back(std::move(section));
            return;
        }
    }
    if (doc.sections.empty()) doc.sections.emplace_back();
    SettingsLine line;
    line.text.assign(raw);
    if (!t.empty() && t[0] == ';') {
        line.kind = LineKind::Comment;
    } else {
        size_t eq = t.find('=');
        WStringView key = eq == WStringView::npos ? t : Trim(t.substr(0, eq));
        line.key = Cut(key, kMaxKeyChars);
        if (eq != WStringView::npos) line.value = Cut(Trim(t.substr(eq + 1)), kMaxValueChars);
        line.kind = line.key.empty() ? LineKind::Blank : LineKind::Key;
    }
    doc.sections.back().lines.push_back(std::move(line));
}

// A key or section name that the parser would give back unchanged.
bool ReadsBack(WStringView name, size_t maxChars) {
    if (name.empty() || name.size() > maxChars) return false;
    if (IsBlank(name.front()) || IsBlank(name.back())) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '=' || name[i] == '\n' || name[i] == '\r') return false;
    }
    return name[0] != ';' && name[0] != '[';
}

bool ParseDecimal(WStringView s, int64_t* out) {
    if (s.empty() || s.size() > kMaxNumberChars) return false;
    size_t i = 0;
    bool negative = false;
    if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return false;
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
        if (value > (int64_t{1} << 40)) return false;  // far outside every field
    }
    *out = negative ? -value : value;
    return true;
}

}  // namespace

void SettingsSection::Extend() const {
    if (!index_ || indexed_ > lines.size()) {  // first use, or lines were taken away
        index_ = std::make_unique<std::unordered_map<WString, size_t>>();
        indexed_ = 0;
    }
    for (; indexed_ < lines.size(); ++indexed_) {
        const SettingsLine& line = lines[indexed_];
        if (line.kind == LineKind::Key) index_->emplace(line.key, indexed_);
    }
}

const SettingsLine* SettingsSection::Find(WStringView key) const {
    Extend();
    auto it = index_->find(WString(key));
    if (it == index_->end() || it->second >= lines.size()) return nullptr;
    const SettingsLine& line = lines[it->second];
    return line.kind == LineKind::Key && line.key == key ? &line : nullptr;
}

const SettingsSection* SettingsDoc::FindSection(WStringView name) const {
    for (const SettingsSection& s : sections)
        if (s.name == name) return &s;
    return nullptr;
}

const SettingsLine* SettingsDoc::FindKey(WStringView section, WStringView key) const {
    const SettingsSection* s = FindSection(section);
    if (!s || key.empty()) return nullptr;
    return s->Find(key);
}

bool SettingsDoc::HasKey(WStringView section, WStringView key) const {
    const SettingsLine* line = FindKey(section, key);
    return line && !line->value.empty();
}

WString SettingsDoc::GetRaw(WStringView section, WStringView key, WStringView fallback, size_t capacity) const {
    const SettingsLine* line = FindKey(section, key);
    WStringView v = line ? WStringView(line->value) : fallback;
    return capacity == 0 ? WString() : WString(v.substr(0, capacity - 1));
}

SettingsSection& SettingsDoc::SectionForWrite(WStringView name) {
    for (SettingsSection& s : sections)
        if (s.name == name) return s;
    sections.emplace_back();
    sections.back().name.assign(name);
    return sections.back();
}

bool SettingsDoc::SetRaw(WStringView section, WStringView key, WStringView value) {
    if (!ReadsBack(section, kMaxSectionNameChars) || section.find(']') != WStringView::npos) return false;
    if (!ReadsBack(key, kMaxKeyChars)) return false;
    WStringView v = Trim(value);
    if (v.size() != value.size() || value.size() > kMaxValueChars) return false;
    for (WCHAR c : value)
        if (c == '\n' || c == '\r') return false;
    SettingsSection& s = SectionForWrite(section);
    SettingsLine line;
    line.key.assign(key);
    line.value.assign(value);
    line.kind = LineKind::Key;  // key lines render from key and value; text stays empty
    if (const SettingsLine* existing = s.Find(key)) {
        s.lines[static_cast<size_t>(existing - s.lines.data())] = std::move(line);  // same key: index holds
        return true;
    }
    s.lines.push_back(std::move(line));
    return true;
}

WString EncodeStringValue(WStringView value) {
    WString out;
    out.reserve(value.size() + 2);
    out += '"';
    for (WCHAR c : value) {
        switch (c) {
        case '\n': out += WL("\\n"); break;
        case '\r': out += WL("\\r"); break;
        case '"':
        case '\'':
        case '\\':
            out += '\\';
            out += c;
            break;
        default: out += c;
        }
    }
    out += '"';
    return out;
}

WString DecodeStringValue(WStringView raw) {
    if (!raw.empty() && raw.front() == '"') raw.remove_prefix(1);
    if (!raw.empty() && raw.back() == '"') raw.remove_suffix(1);
    WString out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
            continue;
        }
        if (++i == raw.size()) break;  // a lone backslash at the end goes
        switch (raw[i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '"':
        case '\'':
        case '\\': out += raw[i]; break;
        default: break;  // an unknown escape drops both characters
        }
    }
    return out;
}

bool SettingsDoc::WriteNumber(WStringView section, WStringView key, int32_t value) {
    std::string digits = std::to_string(value);
    return SetRaw(section, key, WFromAscii(digits));
}

bool SettingsDoc::WriteString(WStringView section, WStringView key, WStringView value) {
    WString encoded = EncodeStringValue(value);
    return SetRaw(section, key, encoded);
}

bool SettingsDoc::WriteNarrow(WStringView section, WStringView key, std::string_view value) {
    return WriteString(section, key, WFromAnsi(value));
}

SettingsDoc::Read SettingsDoc::ReadNumber(WStringView section, WStringView key, int64_t min, int64_t max,
                                          int64_t* out) const {
    const SettingsLine* line = FindKey(section, key);
    if (!line || line->value.empty()) return Read::Absent;
    int64_t value = 0;
    if (!ParseDecimal(line->value, &value) || value < min || value > max) return Read::Bad;
    *out = value;
    return Read::Ok;
}

SettingsDoc::Read SettingsDoc::ReadString(WStringView section, WStringView key, size_t capacity, WString* out) const {
    const SettingsLine* line = FindKey(section, key);
    if (!line || line->value.empty()) return Read::Absent;
    WString text = DecodeStringValue(line->value);
    // The field keeps its terminator: a NUL inside ends the text there.
    size_t nul = text.find(WCHAR(0));
    if (nul != WString::npos) text.resize(nul);
    if (capacity == 0) return Read::Bad;
    if (text.size() > capacity - 1) text.resize(capacity - 1);
    *out = std::move(text);
    return Read::Ok;
}

SettingsDoc::Read SettingsDoc::ReadNarrow(WStringView section, WStringView key, size_t capacity,
                                          std::string* out) const {
    WString wide;
    Read r = ReadString(section, key, kMaxValueChars + 1, &wide);
    if (r != Read::Ok) return r;
    std::string narrow = AnsiFromW(wide);
    if (capacity == 0 || narrow.size() > capacity - 1) return Read::Bad;
    *out = std::move(narrow);
    return Read::Ok;
}

SettingsDoc ParseSettingsText(const WCHAR* text, size_t length) {
    SettingsDoc doc;
    if (!text) return doc;
    WStringView all(text, length);
    size_t start = 0;
    for (;;) {
        size_t at = start;
        size_t end = WStringView::npos;
        while (at + 1 < all.size()) {
            if (all[at] == '\r' && all[at + 1] == '\n') {
                end = at;
                break;
            }
            ++at;
        }
        if (end == WStringView::npos) {
            // The text after the last CR LF is the last line (none when it is empty).
            if (start < all.size()) AddLine(doc, all.substr(start));
            break;
        }
        AddLine(doc, all.substr(start, end - start));
        start = end + 2;
    }
    return doc;
}

WString RenderSettingsText(const SettingsDoc& doc) {
    size_t size = 0;
    for (const SettingsSection& s : doc.sections) {
        size += s.name.size() + 6;
        for (const SettingsLine& line : s.lines)
            size += (line.kind == LineKind::Key ? line.key.size() + line.value.size() + 1 : line.text.size()) + 2;
    }
    WString out;
    out.reserve(size);
    for (size_t i = 0; i < doc.sections.size(); ++i) {
        const SettingsSection& s = doc.sections[i];
        if (!s.name.empty()) {
            out += '[';
            out += s.name;
            out += WL("]\r\n");
        }
        for (const SettingsLine& line : s.lines) {
            if (line.kind == LineKind::Key) {
                out += line.key;
                out += '=';
                out += line.value;
            } else {
                out += line.text;
            }
            out += WL("\r\n");
        }
        if (i + 1 < doc.sections.size() && !s.lines.empty() && s.lines.back().kind == LineKind::Key)
            out += WL("\r\n");
    }
    return out;
}

std::vector<BYTE> ToUtf16Bytes(const WString& text) {
    std::vector<BYTE> out(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = static_cast<BYTE>(text[i] & 0xFF);
        out[2 * i + 1] = static_cast<BYTE>(text[i] >> 8);
    }
    return out;
}

SettingsDoc ParseUtf16Bytes(const BYTE* data, size_t size) {
    if (!data) return {};
    WString text(size / 2, WCHAR(0));
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<WCHAR>(data[2 * i] | (data[2 * i + 1] << 8));
    return ParseSettingsText(text.data(), text.size());
}

DWORD ParseSettingsFileBytes(const std::string& bytes, SettingsDoc* doc) {
    if (!doc) return ERROR_INVALID_PARAMETER;
    std::string_view body(bytes);
    if (body.size() >= 3 && static_cast<unsigned char>(body[0]) == 0xEF &&
        static_cast<unsigned char>(body[1]) == 0xBB && static_cast<unsigned char>(body[2]) == 0xBF)
        body.remove_prefix(3);
    if (body.find('\0') != std::string_view::npos) return ERROR_INVALID_DATA;
    WString text = WFromUtf8(body);
    *doc = ParseSettingsText(text.data(), text.size());
    return ERROR_SUCCESS;
}

std::string SettingsFileBytes(const SettingsDoc& doc) {
    return "\xEF\xBB\xBF" + Utf8FromW(RenderSettingsText(doc));
}

DWORD LoadSettingsFile(const WString& path, SettingsDoc* doc) {
    if (!doc || path.empty()) return ERROR_INVALID_PARAMETER;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD rc = ERROR_SUCCESS;
    LARGE_INTEGER size{};
    std::string bytes;
    if (!GetFileSizeEx(file, &size)) {
        rc = GetLastError();
    } else if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > kMaxSettingsFileBytes) {
        rc = ERROR_FILE_TOO_LARGE;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD got = 0;
            if (!ReadFile(file, &bytes[done], static_cast<DWORD>(bytes.size() - done), &got, nullptr)) {
                rc = GetLastError();
                break;
            }
            if (got == 0) {
                bytes.resize(done);  // the file shrank while it was read
                break;
            }
            done += got;
        }
    }
    CloseHandle(file);
    if (rc != ERROR_SUCCESS) return rc;
    return ParseSettingsFileBytes(bytes, doc);
}

DWORD SaveSettingsFile(const WString& path, const SettingsDoc& doc) {
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    std::string bytes = SettingsFileBytes(doc);
    WString temp = path + WL(".novrix-tmp");
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD rc = ERROR_SUCCESS;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &wrote, nullptr) ||
            wrote == 0) {
            rc = GetLastError();
            if (rc == ERROR_SUCCESS) rc = ERROR_WRITE_FAULT;
            break;
        }
        done += wrote;
    }
    if (rc == ERROR_SUCCESS && !FlushFileBuffers(file)) rc = GetLastError();
    CloseHandle(file);
    if (rc == ERROR_SUCCESS && !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        rc = GetLastError();
    if (rc != ERROR_SUCCESS) DeleteFileW(temp.c_str());
    return rc;
}

}  // namespace nvx::presets
