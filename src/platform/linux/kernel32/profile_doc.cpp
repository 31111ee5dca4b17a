// The line-preserving INI document behind the profile functions.
#include "platform/linux/kernel32/kernel_profile_doc.h"

namespace nvxp {
namespace {

bool IsProfileSpace(WCHAR c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;  // ^Z (DOS end of file) counts as space
}

nvx::WStringView Trim(nvx::WStringView s) {
    while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
    return s;
}

nvx::WStringView TrimLeft(nvx::WStringView s) {
    while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
    return s;
}

}  // namespace

void ProfileDoc::Load(const std::string& bytes) {
    lines_.clear();
    bom_.clear();
    encoding_ = ProfileEncoding::Ansi;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding_ = ProfileEncoding::Utf8;
        bom_ = bytes.substr(0, 3);
    } else if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        encoding_ = ProfileEncoding::Utf16LE;
        bom_ = bytes.substr(0, 2);
    } else if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        encoding_ = ProfileEncoding::Utf16BE;
        bom_ = bytes.substr(0, 2);
    }
    const size_t unit = encoding_ == ProfileEncoding::Utf16LE || encoding_ == ProfileEncoding::Utf16BE ? 2 : 1;
    auto at = [&](size_t i) -> unsigned {
        auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
        if (unit == 1) return b(i);
        return encoding_ == ProfileEncoding::Utf16LE ? (b(i) | b(i + 1) << 8) : (b(i) << 8 | b(i + 1));
    };
    bool eolChosen = false;
    size_t start = bom_.size();
    while (start < bytes.size()) {
        size_t i = start, textEnd = bytes.size(), end = bytes.size();
        bool hasBreak = false;
        for (; i + unit <= bytes.size(); i += unit) {
            unsigned c = at(i);
            if (c != '\n' && c != '\r') continue;
            textEnd = i;
            end = i + unit;
            if (c == '\r' && end + unit <= bytes.size() && at(end) == '\n') end += unit;
            hasBreak = true;
            if (!eolChosen) {
                eol_ = end - i == 2 * unit ? u"\r\n" : (c == '\n' ? u"\n" : u"\r");
                eolChosen = true;
            }
            break;
        }
        Line line;
        line.raw = bytes.substr(start, end - start);
        line.text = Decode(bytes.substr(start, textEnd - start));
        line.hasBreak = hasBreak;
        Parse(line);
        lines_.push_back(std::move(line));
        start = end;
    }
}

std::string ProfileDoc::Save() const {
    std::string out = bom_;
    for (const Line& line : lines_)
        out += line.modified ? Encode(line.hasBreak ? line.text + eol_ : line.text) : line.raw;
    return out;
}

void ProfileDoc::Parse(Line& line) {
    nvx::WStringView text = Trim(line.text);
    line.entry = Entry{};
    if (text.empty()) {
        line.kind = Kind::Blank;
        return;
    }
    // A header's name ends at its first "]", or at the end of the line when it has
    // none; blanks inside the brackets do not belong to it.
    if (text.front() == u'[') {
        size_t close = text.find(u']');
        if (close == nvx::WStringView::npos) close = text.size();
        line.kind = Kind::Header;
        line.entry.name = nvx::WString(Trim(text.substr(1, close - 1)));
        return;
    }
    line.kind = Kind::Entry;
    size_t equals = text.find(u'=');
    if (equals == nvx::WStringView::npos) {
        line.entry.name = nvx::WString(text);
        return;
    }
    nvx::WStringView name = text.substr(0, equals);
    while (!name.empty() && IsProfileSpace(name.back())) name.remove_suffix(1);
    line.entry.name = nvx::WString(name);
    line.entry.hasValue = true;
    line.entry.value = nvx::WString(TrimLeft(text.substr(equals + 1)));
}

std::vector<ProfileDoc::Range> ProfileDoc::Sections() const {
    std::vector<Range> ranges;
    ranges.push_back(Range{-1, 0, lines_.size(), nvx::WString()});
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Header) continue;
        ranges.back().end = i;
        ranges.push_back(Range{static_cast<int>(i), i + 1, lines_.size(), lines_[i].entry.name});
    }
    return ranges;
}

const ProfileDoc::Range* ProfileDoc::FindSection(nvx::WStringView section, std::vector<Range>& sections) const {
    sections = Sections();
    nvx::WStringView wanted = Trim(section);
    for (const Range& range : sections)
        if (nvx::WEqualNoCase(range.name, wanted)) return &range;
    return nullptr;
}

std::vector<nvx::WString> ProfileDoc::SectionNames() const {
    std::vector<nvx::WString> names;
    for (const Range& range : Sections())
        if (range.header >= 0 && !range.name.empty()) names.push_back(range.name);
    return names;
}

bool ProfileDoc::HasSection(nvx::WStringView section) const {
    std::vector<Range> sections;
    return FindSection(section, sections) != nullptr;
}

std::vector<ProfileDoc::Entry> ProfileDoc::Entries(nvx::WStringView section) const {
    std::vector<Range> sections;
    std::vector<Entry> entries;
    if (const Range* range = FindSection(section, sections)) {
        for (size_t i = range->begin; i < range->end; ++i)
            if (lines_[i].kind == Kind::Entry) entries.push_back(lines_[i].entry);
    }
    return entries;
}

bool ProfileDoc::Find(nvx::WStringView section, nvx::WStringView key, Entry& entry) const {
    std::vector<Range> sections;
    const Range* range = FindSection(section, sections);
    if (!range) return false;
    nvx::WStringView wanted = Trim(key);
    // A line that starts with ";" is a comment: no key name finds it.
    if (!wanted.empty() && wanted.front() == u';') return false;
    for (size_t i = range->begin; i < range->end; ++i) {
        if (lines_[i].kind == Kind::Entry && nvx::WEqualNoCase(lines_[i].entry.name, wanted)) {
            entry = lines_[i].entry;
            return true;
        }
    }
    return false;
}

ProfileDoc::Line ProfileDoc::MakeLine(const nvx::WString& text) const {
    Line line;
    line.text = text;
    line.modified = true;
    Parse(line);
    return line;
}

void ProfileDoc::EnsureLastBreak() {
    if (lines_.empty() || lines_.back().hasBreak) return;
    Line& last = lines_.back();
    last.hasBreak = true;
    if (!last.modified) last.raw += Encode(eol_);
}

bool ProfileDoc::SetValue(nvx::WStringView section, nvx::WStringView key, nvx::WStringView value) {
    value = TrimLeft(value);
    nvx::WString name(Trim(key));
    std::vector<Range> sections;
    const Range* range = FindSection(section, sections);
    if (!range) {
        EnsureLastBreak();
        lines_.push_back(MakeLine(u"[" + nvx::WString(Trim(section)) + u"]"));
        lines_.push_back(MakeLine(name + u"=" + nvx::WString(value)));
        return true;
    }
    size_t insertAt = range->header >= 0 ? range->begin : 0;
    for (size_t i = range->begin; i < range->end; ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::Blank) continue;
        insertAt = i + 1;
        if (line.kind != Kind::Entry || !nvx::WEqualNoCase(line.entry.name, name)) continue;
        if (line.entry.hasValue && line.entry.value == value) return false;
        line.text = line.entry.name + u"=" + nvx::WString(value);
        line.modified = true;
        Parse(line);
        return true;
    }
    if (insertAt > 0 && !lines_[insertAt - 1].hasBreak) {
        lines_[insertAt - 1].hasBreak = true;
        if (!lines_[insertAt - 1].modified) lines_[insertAt - 1].raw += Encode(eol_);
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), MakeLine(name + u"=" + nvx::WString(value)));
    return true;
}

bool ProfileDoc::DeleteKey(nvx::WStringView section, nvx::WStringView key) {
    std::vector<Range> sections;
    const Range* range = FindSection(section, sections);
    if (!range) return false;
    nvx::WStringView wanted = Trim(key);
    for (size_t i = range->begin; i < range->end; ++i) {
        if (lines_[i].kind == Kind::Entry && nvx::WEqualNoCase(lines_[i].entry.name, wanted)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

bool ProfileDoc::DeleteSection(nvx::WStringView section) {
    std::vector<Range> sections;
    const Range* range = FindSection(section, sections);
    if (!range) return false;
    size_t first = range->header >= 0 ? static_cast<size_t>(range->header) : range->begin;
    if (first == range->end) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
}

bool ProfileDoc::ReplaceSection(nvx::WStringView section, const std::vector<Entry>& entries) {
    std::vector<Line> fresh;
    for (const Entry& entry : entries)
        fresh.push_back(MakeLine(nvx::WString(Trim(entry.name)) + u"=" + nvx::WString(TrimLeft(entry.value))));
    std::vector<Range> sections;
    const Range* range = FindSection(section, sections);
    if (!range) {
        EnsureLastBreak();
        lines_.push_back(MakeLine(u"[" + nvx::WString(Trim(section)) + u"]"));
        lines_.insert(lines_.end(), fresh.begin(), fresh.end());
        return true;
    }
    // The body's entries go; its blank lines stay after the new entries.
    size_t begin = range->begin, end = range->end;
    std::vector<Line> kept;
    for (size_t i = begin; i < end; ++i)
        if (lines_[i].kind == Kind::Blank) kept.push_back(lines_[i]);
    if (range->header >= 0 && !lines_[static_cast<size_t>(range->header)].hasBreak) {
        Line& header = lines_[static_cast<size_t>(range->header)];
        header.hasBreak = true;
        if (!header.modified) header.raw += Encode(eol_);
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin), lines_.begin() + static_cast<std::ptrdiff_t>(end));
    fresh.insert(fresh.end(), kept.begin(), kept.end());
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(begin), fresh.begin(), fresh.end());
    return true;
}

std::string ProfileDoc::Encode(const nvx::WString& text) const {
    if (text.empty()) return {};
    switch (encoding_) {
    case ProfileEncoding::Utf16LE:
    case ProfileEncoding::Utf16BE: {
        std::string out;
        bool little = encoding_ == ProfileEncoding::Utf16LE;
        for (WCHAR c : text) {
            char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
            out += little ? lo : hi;
            out += little ? hi : lo;
        }
        return out;
    }
    default: {
        UINT cp = encoding_ == ProfileEncoding::Utf8 ? CP_UTF8 : CP_ACP;
        int size = static_cast<int>(text.size());
        int n = WideCharToMultiByte(cp, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
        std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
        if (n > 0) WideCharToMultiByte(cp, 0, text.data(), size, out.data(), n, nullptr, nullptr);
        return out;
    }
    }
}

nvx::WString ProfileDoc::Decode(const std::string& bytes) const {
    if (bytes.empty()) return {};
    switch (encoding_) {
    case ProfileEncoding::Utf16LE:
    case ProfileEncoding::Utf16BE: {
        nvx::WString out;
        bool little = encoding_ == ProfileEncoding::Utf16LE;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            out += static_cast<WCHAR>(little ? (a | b << 8) : (a << 8 | b));
        }
        return out;
    }
    default: {
        UINT cp = encoding_ == ProfileEncoding::Utf8 ? CP_UTF8 : CP_ACP;
        int size = static_cast<int>(bytes.size());
        int n = MultiByteToWideChar(cp, 0, bytes.data(), size, nullptr, 0);
        nvx::WString out(n > 0 ? static_cast<size_t>(n) : 0, 0);
        if (n > 0) MultiByteToWideChar(cp, 0, bytes.data(), size, out.data(), n);
        return out;
    }
    }
}

}  // namespace nvxp
