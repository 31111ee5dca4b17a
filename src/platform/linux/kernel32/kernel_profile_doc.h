// An INI (profile) file held as its lines, so that an edit rewrites only the
// lines it touches and every other byte of the file stays as it was.
//
// Parsing follows Windows: lines are trimmed of white space; "[name]" opens a
// section (the name runs to the last "]"); "name=value" is an entry whose name
// is trimmed on the right and value on the left; a line without "=" is an entry
// without a value; lines before the first section belong to a nameless section.
// Names compare without regard to case and the first match wins.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/internal.h"

namespace nvxp {

enum class ProfileEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

class ProfileDoc {
public:
    struct Entry {
        nvx::WString name;
        bool hasValue = false;
        nvx::WString value;
    };

    // Reads file bytes: a UTF-16 (either order) or UTF-8 byte-order mark
    // chooses that encoding, anything else is ANSI text in the system code page.
    void Load(const std::string& bytes);
    // The whole file in its encoding; untouched lines keep their original bytes.
    std::string Save() const;
    ProfileEncoding Encoding() const { return encoding_; }

    // Names of the named sections in file order.
    std::vector<nvx::WString> SectionNames() const;
    // Whether a section of that name exists (the name is trimmed first).
    bool HasSection(nvx::WStringView section) const;
    // The entries of the first section of that name (none when missing).
    std::vector<Entry> Entries(nvx::WStringView section) const;
    // The first entry of that name in the first section of that name, or false.
    bool Find(nvx::WStringView section, nvx::WStringView key, Entry& entry) const;

    // Edits; each answers whether the document changed.
    bool SetValue(nvx::WStringView section, nvx::WStringView key, nvx::WStringView value);
    bool DeleteKey(nvx::WStringView section, nvx::WStringView key);
    bool DeleteSection(nvx::WStringView section);
    // Replaces the entries of a section (created when missing) by "name=value" lines.
    bool ReplaceSection(nvx::WStringView section, const std::vector<Entry>& entries);

private:
    enum class Kind { Blank, Header, Entry };
    struct Line {
        std::string raw;     // original bytes with the line break (empty for new lines)
        nvx::WString text;   // decoded, without the line break
        bool hasBreak = true;
        bool modified = false;
        Kind kind = Kind::Blank;
        Entry entry;         // Header: entry.name is the section name
    };
    struct Range {
        int header;  // index of the header line, -1 for the nameless section
        size_t begin, end;  // body lines [begin, end)
        nvx::WString name;
    };

    static void Parse(Line& line);
    std::vector<Range> Sections() const;
    const Range* FindSection(nvx::WStringView section, std::vector<Range>& sections) const;
    Line MakeLine(const nvx::WString& text) const;
    void EnsureLastBreak();
    std::string Encode(const nvx::WString& text) const;
    nvx::WString Decode(const std::string& bytes) const;

    ProfileEncoding encoding_ = ProfileEncoding::Ansi;
    std::string bom_;
    nvx::WString eol_ = u"\r\n";  // for new lines: the file's own line break
    std::vector<Line> lines_;
};

}  // namespace nvxp
