// The settings text: a sectioned key=value document that carries presets and
// printer setups (docs/settings-text.md).
//
// The same document model serves the text inside stored presets and printer data
// (UTF-16LE, no byte-order mark, no terminating NUL) and the files a person exports,
// edits and imports (UTF-8 with a byte-order mark).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::presets {

enum class LineKind : uint8_t { Comment = 0, Key = 1, Blank = 2 };

struct SettingsLine {
    WString text;   // the line as read (comments and blank lines render it; empty for keys set by SetRaw)
    WString key;    // trimmed, at most kMaxKeyChars
    WString value;  // trimmed, at most kMaxValueChars
    LineKind kind = LineKind::Blank;
};

struct SettingsSection {
    WString name;  // empty: the lines before the first header (rendered without one)
    std::vector<SettingsLine> lines;  // append or edit keys through SettingsDoc::SetRaw

    SettingsSection() = default;
    SettingsSection(const SettingsSection& other) : name(other.name), lines(other.lines) {}
    SettingsSection(SettingsSection&&) noexcept = default;
    SettingsSection& operator=(const SettingsSection& other) {
        if (this != &other) {
            name = other.name;
            lines = other.lines;
            index_.reset();
            indexed_ = 0;
        }
        return *this;
    }
    SettingsSection& operator=(SettingsSection&&) noexcept = default;

    // The first key line of that key, or null.
    const SettingsLine* Find(WStringView key) const;

private:
    // Key -> first line index, kept for the lines indexed so far (built on the first
    // lookup, extended when lines were appended; a copy builds its own).
    mutable std::unique_ptr<std::unordered_map<WString, size_t>> index_;
    mutable size_t indexed_ = 0;
    void Extend() const;
};

inline constexpr size_t kMaxSectionNameChars = 255;
inline constexpr size_t kMaxKeyChars = 1023;
inline constexpr size_t kMaxValueChars = 1023;
inline constexpr size_t kMaxNumberChars = 63;

// One parsed or built text.  Names match exactly and case-sensitively; the first
// section and the first key line of a name win.
class SettingsDoc {
public:
    std::vector<SettingsSection> sections;

    const SettingsLine* FindKey(WStringView section, WStringView key) const;
    // True when the key line exists and its value is not empty.
    bool HasKey(WStringView section, WStringView key) const;
    // The value cut to capacity - 1 characters; `fallback` when the key is absent.
    WString GetRaw(WStringView section, WStringView key, WStringView fallback, size_t capacity) const;
    // Replaces the key's line in place, or appends it to its section (made at the end
    // when absent).  False for an empty section or key name, or a key or name that
    // would not read back (longer than its limit, holding "=", CR LF, "[" first, ";" first
    // or blanks at its ends).
    bool SetRaw(WStringView section, WStringView key, WStringView value);

    // Typed values.  Numbers are written with "%d".  Strings are quoted and escaped;
    // narrow strings are converted from the system code page first.
    bool WriteNumber(WStringView section, WStringView key, int32_t value);
    bool WriteString(WStringView section, WStringView key, WStringView value);
    bool WriteNarrow(WStringView section, WStringView key, std::string_view value);

    // A number key: Absent when the key is missing or its value empty (the caller keeps
    // its value), Bad when the value is no decimal integer (optional sign, at most 63
    // characters) or lies outside [min, max], Ok with *out set.
    enum class Read { Absent, Ok, Bad };
    Read ReadNumber(WStringView section, WStringView key, int64_t min, int64_t max, int64_t* out) const;
    // A string key decoded and cut to capacity - 1 characters; Absent as above.
    Read ReadString(WStringView section, WStringView key, size_t capacity, WString* out) const;
    // A string key converted to the system code page; Bad when it needs more than
    // capacity - 1 bytes.
    Read ReadNarrow(WStringView section, WStringView key, size_t capacity, std::string* out) const;

    // The first section of that name, or null.
    const SettingsSection* FindSection(WStringView name) const;

private:
    SettingsSection& SectionForWrite(WStringView name);
};

// The quoted and escaped form of a string value, and its decoding (a leading quote
// and a trailing quote are dropped; \n \r \" \' \\ decode; a backslash before any
// other character is dropped with it).
WString EncodeStringValue(WStringView value);
WString DecodeStringValue(WStringView raw);

// Parses UTF-16 text of `length` characters.  Lines end at CR LF only.  Never fails
// on content; every text gives a document.
SettingsDoc ParseSettingsText(const WCHAR* text, size_t length);
// Renders the document (CR LF line ends, no terminating NUL).
WString RenderSettingsText(const SettingsDoc& doc);

// The UTF-16LE bytes of a rendered text, as records and printer data keep it, and
// back (an odd trailing byte is ignored).
std::vector<BYTE> ToUtf16Bytes(const WString& text);
SettingsDoc ParseUtf16Bytes(const BYTE* data, size_t size);

// The file form: UTF-8 after the bytes EF BB BF (skipped when present on loading).
// Invalid UTF-8 reads as U+FFFD.  A file whose content is not sound text (a NUL
// byte) is refused with ERROR_INVALID_DATA.
DWORD ParseSettingsFileBytes(const std::string& bytes, SettingsDoc* doc);
std::string SettingsFileBytes(const SettingsDoc& doc);

// Loads a file (shared reading allowed).  ERROR_SUCCESS or the system's error; a
// file larger than kMaxSettingsFileBytes is refused with ERROR_FILE_TOO_LARGE.
inline constexpr size_t kMaxSettingsFileBytes = 64u << 20;
DWORD LoadSettingsFile(const WString& path, SettingsDoc* doc);
// Saves through a temporary file in the same folder that replaces the file only when
// it was written whole: a failed save leaves an existing file as it was.
DWORD SaveSettingsFile(const WString& path, const SettingsDoc& doc);

}  // namespace nvx::presets
