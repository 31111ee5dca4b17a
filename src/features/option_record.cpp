// Option records and lists: field access without alignment assumptions.
#include "features/option_record.h"

#include <cstring>

#include "common/le.h"

namespace nvx::features {

namespace {

constexpr size_t kKeywordAt = offsetof(OptionHeader, keyword);
constexpr size_t kValueAt = offsetof(OptionHeader, value);
constexpr size_t kForbiddenAt = offsetof(OptionHeader, forbidden);
constexpr size_t kIconAt = offsetof(OptionHeader, icon);
constexpr size_t kNameAt = offsetof(NamedOption, name);

// The record after rec, or null when rec ends the list.
template <typename P>
P* Next(P* rec) {
    uint32_t size = RecordSize(rec);
    return size < kSizeSwitch ? nullptr : rec + size;
}

bool Ends(const uint8_t* rec) {
    return rec == nullptr || rec[kKeywordAt] == 0 || RecordSize(rec) < kSizeSwitch;
}

}  // namespace

uint32_t RecordSize(const uint8_t* rec) {
    return GetLE32(rec);
}

std::string_view Keyword(const uint8_t* rec) {
    const char* s = reinterpret_cast<const char*>(rec + kKeywordAt);
    return std::string_view(s, strnlen(s, kKeywordBytes - 1));
}

int32_t Value(const uint8_t* rec) {
    return static_cast<int32_t>(GetLE32(rec + kValueAt));
}

bool Forbidden(const uint8_t* rec) {
    return GetLE32(rec + kForbiddenAt) != 0;
}

void SetForbidden(uint8_t* rec, bool on) {
    PutLE32(rec + kForbiddenAt, on ? 1 : 0);
}

uint16_t Icon(const uint8_t* rec) {
    return GetLE16(rec + kIconAt);
}

WString DisplayName(const uint8_t* rec) {
    WString out;
    if (RecordSize(rec) < kSizeNamed) return out;
    for (size_t i = 0; i < kNameChars; ++i) {
        WCHAR c = static_cast<WCHAR>(GetLE16(rec + kNameAt + 2 * i));
        if (c == 0) break;
        out.push_back(c);
    }
    return out;
}

uint16_t ExtraValue(const uint8_t* rec) {
    return RecordSize(rec) == kSizeNamedExtra ? GetLE16(rec + offsetof(NamedExtraOption, extra)) : 0;
}

std::string_view ImpliedKeyword(const uint8_t* rec, int which) {
    if (RecordSize(rec) != kSizeProfile || which < 0 || which > 2) return {};
    const char* s = reinterpret_cast<const char*>(rec + offsetof(ProfileOption, text) + kKeywordBytes * which);
    return std::string_view(s, strnlen(s, kKeywordBytes - 1));
}

size_t ListCount(const uint8_t* list) {
    size_t n = 0;
    for (const uint8_t* rec = list; !Ends(rec); rec = Next(rec)) ++n;
    return n;
}

size_t ListBytes(const uint8_t* list) {
    if (list == nullptr) return 0;
    const uint8_t* rec = list;
    while (!Ends(rec)) rec = Next(rec);
    uint32_t last = RecordSize(rec);
    return static_cast<size_t>(rec - list) + (last < kSizeSwitch ? kSizeSwitch : last);
}

const uint8_t* RecordAt(const uint8_t* list, size_t index) {
    size_t i = 0;
    for (const uint8_t* rec = list; !Ends(rec); rec = Next(rec), ++i)
        if (i == index) return rec;
    return nullptr;
}

uint8_t* RecordAt(uint8_t* list, size_t index) {
    return const_cast<uint8_t*>(RecordAt(static_cast<const uint8_t*>(list), index));
}

int IndexOfKeyword(const uint8_t* list, std::string_view keyword) {
    if (keyword.empty()) return -1;
    int i = 0;
    for (const uint8_t* rec = list; !Ends(rec); rec = Next(rec), ++i)
        if (Keyword(rec) == keyword) return i;
    return -1;
}

int IndexOfValue(const uint8_t* list, int32_t value) {
    int i = 0;
    for (const uint8_t* rec = list; !Ends(rec); rec = Next(rec), ++i)
        if (Value(rec) == value) return i;
    return -1;
}

const uint8_t* FindKeyword(const uint8_t* list, std::string_view keyword) {
    int i = IndexOfKeyword(list, keyword);
    return i < 0 ? nullptr : RecordAt(list, static_cast<size_t>(i));
}

const uint8_t* FindValue(const uint8_t* list, int32_t value) {
    int i = IndexOfValue(list, value);
    return i < 0 ? nullptr : RecordAt(list, static_cast<size_t>(i));
}

std::optional<int32_t> ValueAt(const uint8_t* list, size_t index) {
    const uint8_t* rec = RecordAt(list, index);
    if (rec == nullptr) return std::nullopt;
    return Value(rec);
}

uint32_t FirstRecordSize(const uint8_t* list) {
    return Ends(list) ? 0 : RecordSize(list);
}

void WriteHeader(uint8_t* rec, uint32_t size, std::string_view keyword, int32_t value) {
    std::memset(rec, 0, kSizeSwitch);
    PutLE32(rec, size);
    std::memcpy(rec + kKeywordAt, keyword.data(), keyword.size() < kKeywordBytes ? keyword.size() : kKeywordBytes - 1);
    PutLE32(rec + kValueAt, static_cast<uint32_t>(value));
    PutLE16(rec + kIconAt, kWarningIcon);
}

void WriteDisplayName(uint8_t* rec, WStringView name) {
    if (RecordSize(rec) < kSizeNamed) return;
    std::memset(rec + kNameAt, 0, 2 * kNameChars);
    size_t n = name.size() < kNameChars ? name.size() : kNameChars - 1;
    for (size_t i = 0; i < n; ++i) {
        if (name[i] == 0) break;
        PutLE16(rec + kNameAt + 2 * i, static_cast<uint16_t>(name[i]));
    }
}

uint8_t* OptionListBuilder::Add(uint32_t size, std::string_view keyword, int32_t value) {
    if (size < kSizeSwitch) size = kSizeSwitch;
    if (count_ == 0) firstSize_ = size;
    size_t at = bytes_.size();
    bytes_.resize(at + size, 0);
    uint8_t* rec = bytes_.data() + at;
    WriteHeader(rec, size, keyword, value);
    ++count_;
    return rec;
}

std::vector<uint8_t> OptionListBuilder::Finish() {
    uint32_t size = firstSize_ ? firstSize_ : kSizeSwitch;
    size_t at = bytes_.size();
    bytes_.resize(at + size, 0);
    PutLE32(bytes_.data() + at, size);
    count_ = 0;
    firstSize_ = 0;
    std::vector<uint8_t> out;
    out.swap(bytes_);
    return out;
}

}  // namespace nvx::features
