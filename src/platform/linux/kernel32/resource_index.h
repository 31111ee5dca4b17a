// The resource index of one module: its embedded .res data (the format that
// `windres -O res` writes) parsed once into a table of entries.
//
// .res layout: a sequence of entries, each DWORD aligned:
//   DWORD DataSize; DWORD HeaderSize;
//   TYPE, NAME: 0xFFFF + WORD ordinal, or a terminated UTF-16 string;
//   padding to a DWORD boundary;
//   DWORD DataVersion; WORD MemoryFlags; WORD LanguageId; DWORD Version; DWORD Characteristics;
//   DataSize bytes of data at HeaderSize from the entry start, then padding.
// The first entry is an empty one (type 0, DataSize 0) that marks the format.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/linux/internal.h"

namespace nvxp {

// A resource type or name: an ordinal or an upper-cased string.
struct ResourceId {
    bool isOrdinal = true;
    WORD ordinal = 0;
    nvx::WString name;

    // The id of a Win32 argument: MAKEINTRESOURCE(n), "#n" or a name (matched
    // ignoring case).  Answers false for a null argument.
    static bool FromArgument(LPCWSTR argument, ResourceId* out);
    // A key that orders and compares ids ("#5", "CONFIG").
    nvx::WString Key() const;
};

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    WORD language = 0;
    const BYTE* data = nullptr;
    DWORD size = 0;
};

class ResourceIndex {
public:
    // Parses .res data.  Entries are kept up to the first malformed one (bad
    // sizes, a name running past its header, data past the end); nothing is read
    // outside [data, data + size).
    ResourceIndex(const BYTE* data, size_t size);

    bool Empty() const { return entries_.empty(); }
    const std::vector<ResourceEntry>& Entries() const { return entries_; }

    // Finds a resource.  language 0 (neutral) takes the preferred language;
    // another language takes that language, then its primary language.  On
    // failure answers null and sets *error to ERROR_RESOURCE_DATA_NOT_FOUND (no
    // resources), _TYPE_, _NAME_ or _LANG_NOT_FOUND.
    const ResourceEntry* Find(const ResourceId& type, const ResourceId& name, WORD language, DWORD* error) const;

    // Whether an HRSRC points to one of this index's entries.
    bool Owns(const void* entry) const;

    // The distinct types, and the distinct names of one type, in file order.
    std::vector<const ResourceId*> Types() const;
    std::vector<const ResourceId*> Names(const ResourceId& type) const;

private:
    std::vector<ResourceEntry> entries_;
    std::map<std::pair<nvx::WString, nvx::WString>, std::vector<size_t>> byTypeAndName_;
};

// The user default language that resource lookups prefer (English, United States).
constexpr WORD kUserDefaultLanguage = 0x0409;

}  // namespace nvxp
