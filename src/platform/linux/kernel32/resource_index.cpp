// Parsing and searching the .res data that a module embeds.  Depends on no
// other part of the layer, so that tests can feed it malformed data directly.
#include "platform/linux/kernel32/resource_index.h"

#include <algorithm>

#include "common/le.h"

namespace nvxp {
namespace {

constexpr size_t kFixedTail = 16;    // DataVersion .. Characteristics
constexpr size_t kMinHeader = 8 + 4 + 4 + kFixedTail;

size_t Align4(size_t n) {
    return (n + 3) & ~static_cast<size_t>(3);
}

// Reads a TYPE or NAME field at p[pos], not past end; advances pos.
bool ReadId(const BYTE* p, size_t end, size_t* pos, ResourceId* out) {
    if (*pos + 2 > end) return false;
    if (nvx::GetLE16(p + *pos) == 0xFFFF) {
        if (*pos + 4 > end) return false;
        out->isOrdinal = true;
        out->ordinal = nvx::GetLE16(p + *pos + 2);
        *pos += 4;
        return true;
    }
    out->isOrdinal = false;
    out->name.clear();
    for (;;) {
        if (*pos + 2 > end) return false;
        WCHAR c = static_cast<WCHAR>(nvx::GetLE16(p + *pos));
        *pos += 2;
        if (c == 0) break;
        out->name.push_back(nvx::WToUpper(c));
    }
    return true;
}

}  // namespace

bool ResourceId::FromArgument(LPCWSTR argument, ResourceId* out) {
    if (!argument) return false;
    if (IS_INTRESOURCE(argument)) {
        out->isOrdinal = true;
        out->ordinal = LOWORD(reinterpret_cast<ULONG_PTR>(argument));
        out->name.clear();
        return true;
    }
    nvx::WStringView text(argument);
    if (text.size() > 1 && text[0] == u'#') {
        DWORD value = 0;
        bool digits = text.size() <= 6;
        for (size_t i = 1; digits && i < text.size(); ++i) {
            if (text[i] < u'0' || text[i] > u'9') digits = false;
            else value = value * 10 + static_cast<DWORD>(text[i] - u'0');
        }
        if (digits && value <= 0xFFFF) {
            out->isOrdinal = true;
            out->ordinal = static_cast<WORD>(value);
            out->name.clear();
            return true;
        }
    }
    out->isOrdinal = false;
    out->ordinal = 0;
    out->name = nvx::WUpper(text);
    return true;
}

nvx::WString ResourceId::Key() const {
    if (!isOrdinal) return name;
    std::string digits = "#" + std::to_string(ordinal);
    return nvx::WFromAscii(digits);
}

ResourceIndex::ResourceIndex(const BYTE* data, size_t size) {
    if (!data) size = 0;
    size_t pos = 0;
    while (pos + kMinHeader <= size) {
        const size_t dataSize = nvx::GetLE32(data + pos);
        const size_t headerSize = nvx::GetLE32(data + pos + 4);
        if (headerSize < kMinHeader || headerSize % 4 != 0 || headerSize > size - pos) break;
        if (dataSize > size - pos - headerSize) break;
        const size_t headerEnd = pos + headerSize;
        size_t field = pos + 8;
        ResourceEntry entry;
        if (!ReadId(data, headerEnd, &field, &entry.type)) break;
        if (!ReadId(data, headerEnd, &field, &entry.name)) break;
        field = pos + Align4(field - pos);
        if (field + kFixedTail > headerEnd) break;
        entry.language = nvx::GetLE16(data + field + 6);
        entry.data = data + headerEnd;
        entry.size = static_cast<DWORD>(dataSize);
        const bool marker = entry.type.isOrdinal && entry.type.ordinal == 0;
        if (!marker) {
            byTypeAndName_[{entry.type.Key(), entry.name.Key()}].push_back(entries_.size());
            entries_.push_back(std::move(entry));
        }
        pos = Align4(headerEnd + dataSize);
    }
}

const ResourceEntry* ResourceIndex::Find(const ResourceId& type, const ResourceId& name, WORD language,
                                         DWORD* error) const {
    DWORD dummy = 0;
    if (!error) error = &dummy;
    if (entries_.empty()) {
        *error = ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    auto it = byTypeAndName_.find({type.Key(), name.Key()});
    if (it == byTypeAndName_.end()) {
        nvx::WString typeKey = type.Key();
        bool typeKnown = std::any_of(entries_.begin(), entries_.end(),
                                     [&](const ResourceEntry& e) { return e.type.Key() == typeKey; });
        *error = typeKnown ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
        return nullptr;
    }
    const std::vector<size_t>& candidates = it->second;
    auto withLanguage = [&](WORD wanted) -> const ResourceEntry* {
        for (size_t i : candidates)
            if (entries_[i].language == wanted) return &entries_[i];
        return nullptr;
    };
    auto withPrimary = [&](WORD primary) -> const ResourceEntry* {
        for (size_t i : candidates)
            if (PRIMARYLANGID(entries_[i].language) == primary) return &entries_[i];
        return nullptr;
    };
    if (PRIMARYLANGID(language) != LANG_NEUTRAL) {
        // A named language: exactly, then the language without its region.
        if (const ResourceEntry* e = withLanguage(language)) return e;
        if (const ResourceEntry* e = withLanguage(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL))) return e;
        *error = ERROR_RESOURCE_LANG_NOT_FOUND;
        return nullptr;
    }
    if (language != 0) {
        if (const ResourceEntry* e = withLanguage(language)) return e;  // e.g. LANG_USER_DEFAULT itself
    }
    // Neutral, then the user default, the default-language ids, the user's
    // primary language, and last whatever language comes first.
    const WORD preferred[] = {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), kUserDefaultLanguage,
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT)};
    for (WORD wanted : preferred)
        if (const ResourceEntry* e = withLanguage(wanted)) return e;
    if (const ResourceEntry* e = withPrimary(PRIMARYLANGID(kUserDefaultLanguage))) return e;
    return &entries_[candidates.front()];
}

bool ResourceIndex::Owns(const void* entry) const {
    if (entries_.empty() || !entry) return false;
    auto first = reinterpret_cast<uintptr_t>(entries_.data());
    auto address = reinterpret_cast<uintptr_t>(entry);
    if (address < first) return false;
    uintptr_t offset = address - first;
    return offset % sizeof(ResourceEntry) == 0 && offset / sizeof(ResourceEntry) < entries_.size();
}

std::vector<const ResourceId*> ResourceIndex::Types() const {
    std::vector<const ResourceId*> out;
    std::vector<nvx::WString> seen;
    for (const auto& e : entries_) {
        nvx::WString key = e.type.Key();
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        out.push_back(&e.type);
    }
    return out;
}

std::vector<const ResourceId*> ResourceIndex::Names(const ResourceId& type) const {
    std::vector<const ResourceId*> out;
    std::vector<nvx::WString> seen;
    nvx::WString typeKey = type.Key();
    for (const auto& e : entries_) {
        if (e.type.Key() != typeKey) continue;
        nvx::WString key = e.name.Key();
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        out.push_back(&e.name);
    }
    return out;
}

}  // namespace nvxp
