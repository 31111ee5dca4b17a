// Value lookups of the engine: a keyword in an item's list (through the keyword
// cache), the current value of an item's settings field, and writing it.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/le.h"
#include "constraints/engine_state.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace nvx::constraints::detail {

namespace {

using features::UiItem;

// One cache slot: the keyword, the item row and what the lookup found.  A slot
// counts only when its generation is the current call's, so clearing the cache is
// one increment instead of rewriting 32,173 slots.
struct CacheSlot {
    uint32_t generation;
    int32_t row;
    uint32_t length;
    uint32_t index;
    int32_t value;
    WCHAR keyword[32];
};

static_assert(kCacheSlots == kKeywordCacheSlots);
CacheSlot g_cache[kCacheSlots];
uint32_t g_generation = 0;


bool IsPaperItem(const features::UiItemTable* t, int row) {
    return t && (row == t->direct.paperSize || row == t->direct.outPaperSize);
}

// A decimal number with an optional sign, the whole text; false otherwise.
bool ParseDecimal(const WCHAR* s, uint32_t n, int32_t* out) {
    uint32_t i = 0;
    bool negative = false;
    if (i < n && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
    if (i == n) return false;
    int64_t v = 0;
    for (; i < n; ++i) {
        if (s[i] < u'0' || s[i] > u'9') return false;
        v = v * 10 + (s[i] - u'0');
        if (v > int64_t{1} << 32) return false;
    }
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

// The record of the list with this keyword (as features::IndexOfKeyword compares:
// the record's keyword up to its NUL or 31 characters) and its index, in one walk;
// null when absent.  The walk ends where IndexOfKeyword's does.
const uint8_t* FindInList(const uint8_t* list, const char* keyword, uint32_t n, uint32_t* index) {
    constexpr size_t kKeywordAt = offsetof(features::OptionHeader, keyword);
    if (n == 0 || n >= features::kKeywordBytes) return nullptr;  // no record keyword is that long
    uint32_t i = 0;
    for (const uint8_t* rec = list; rec && rec[kKeywordAt] != 0;) {
        const uint32_t size = features::RecordSize(rec);
        if (size < features::kSizeSwitch) break;
        if (rec[kKeywordAt] == static_cast<uint8_t>(keyword[0]) && std::memcmp(rec + kKeywordAt, keyword, n) == 0 &&
            (n == features::kKeywordBytes - 1 || rec[kKeywordAt + n] == 0)) {
            *index = i;
            return rec;
        }
        rec += size;
        ++i;
    }
    return nullptr;
}

// The lookup of keyword k (n characters) in the item's list; *record (when given)
// is the option record the lookup found in the list, or null.
Lookup Resolve(const features::UiItemTable* t, const UiItem& item, int row, const WCHAR* k, uint32_t n,
               const uint8_t** record = nullptr) {
    Lookup l;
    if (record) *record = nullptr;
    if (n == 0) {
        l.index = features::kIndexEmpty;
        return l;
    }
    if (IsPaperItem(t, row)) {
        const uint32_t special = features::SpecialPaperIndex(WStringView(k, n));
        if (special == features::kIndexDefaultPaper) {
            l.index = special;
            l.value = settings::GetNumber(settings::DefaultTemplate(), "nPaperSize");
            return l;
        }
        if (special) {
            l.index = special;  // a custom size: no value of its own
            return l;
        }
    }
    if (item.type == features::kUiNumeric && !item.options) {
        int32_t v = 0;
        if (ParseDecimal(k, n, &v)) {
            l.index = 0;
            l.value = v;
        }
        return l;
    }
    if (!item.options) {
        l.index = static_cast<uint32_t>(features::kValueNoList);
        return l;
    }
    char narrow[32] = {};
    for (uint32_t i = 0; i < n; ++i) {
        if (k[i] > 0x7E) return l;  // option keywords are ASCII
        narrow[i] = static_cast<char>(k[i]);
    }
    uint32_t index = 0;
    const uint8_t* rec = FindInList(item.options, narrow, n, &index);
    if (!rec) return l;
    l.index = index;
    l.value = features::Value(rec);
    if (record) *record = rec;
    return l;
}

}  // namespace

void ResetKeywordCache() {
    if (++g_generation == 0) {  // after 2^32 calls the stale generations could match again
        std::memset(g_cache, 0, sizeof g_cache);
        g_generation = 1;
    }
}

bool Check::ResetKeys(uint32_t keys) {
    if (++generation_ == 0) {  // after 2^32 checks the stale generations could match again
        std::fill(keys_.begin(), keys_.end(), KeyEntry{});
        generation_ = 1;
    }
    if (keys_.size() >= keys) return true;
    try {
        keys_.resize(keys);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Check::ResolveKey(uint32_t key, KeyEntry& e) {
    const LookupKey& k = t_.rules->keys[key];
    const int row = k.row;
    UiItem* item = Item(row);
    const uint8_t* found = nullptr;
    e.lookup = item ? Resolve(t_.items, *item, row, k.keyword, static_cast<uint32_t>(WLenBounded(k.keyword, 32)), &found)
                    : Lookup{};
    // The option record the key names (what OptionRecord answers): the record the
    // lookup found, or for a custom size keyword the list's own custom option.
    if (found)
        e.record = const_cast<uint8_t*>(found);
    else
        e.record = features::IsCustomPaperIndex(e.lookup.index) ? OptionRecord(row, e.lookup) : nullptr;
    e.generation = generation_;
    e.recordGeneration = generation_;
}

Lookup Check::ResolveCondition(const PreparedRule& r, size_t c) {
    const int row = r.conditionRows[c];
    const WCHAR(&keyword)[32] = r.row->conditions[c].option;
    const uint32_t key = c < r.conditionKeys.size() ? r.conditionKeys[c] : UINT32_MAX;
    if (key >= keyLimit_)
        return c < r.conditionSlots.size() ? LookupKeyword(row, keyword, r.conditionSlots[c]) : LookupKeyword(row, keyword);
    KeyEntry& e = keys_[key];
    const UiItem* item = Item(row);
    e.lookup = item ? Resolve(t_.items, *item, row, keyword, static_cast<uint32_t>(WLenBounded(keyword, 32))) : Lookup{};
    e.generation = generation_;
    return e.lookup;
}

Lookup Check::ResolveTarget(const PreparedRule& r) {
    if (r.targetKey >= keyLimit_) return LookupKeyword(r.targetRow, r.row->second.option, r.targetSlot);
    KeyEntry& e = keys_[r.targetKey];
    const UiItem* item = Item(r.targetRow);
    const WCHAR(&keyword)[32] = r.row->second.option;
    e.lookup = item ? Resolve(t_.items, *item, r.targetRow, keyword, static_cast<uint32_t>(WLenBounded(keyword, 32)))
                    : Lookup{};
    e.generation = generation_;
    return e.lookup;
}

uint8_t* Check::ResolveTargetRecord(const PreparedRule& r) {
    const Lookup l = TargetLookup(r);
    if (r.targetKey >= keyLimit_) return OptionRecord(r.targetRow, l);
    KeyEntry& e = keys_[r.targetKey];
    e.record = OptionRecord(r.targetRow, l);
    e.recordGeneration = generation_;
    return e.record;
}

Lookup Check::LookupKeyword(int row, const WCHAR (&keyword)[32]) {
    const uint32_t n = static_cast<uint32_t>(WLenBounded(keyword, 32));
    return LookupKeyword(row, keyword, KeywordSlot(keyword, n, row));
}

Lookup Check::LookupKeyword(int row, const WCHAR (&keyword)[32], uint32_t slot) {
    const UiItem* item = Item(row);
    if (!item || slot >= kCacheSlots) return {};
    CacheSlot& s = g_cache[slot];
    if (s.generation == g_generation && s.row == row && s.keyword[0] == keyword[0] &&
        std::memcmp(s.keyword, keyword, s.length * sizeof(WCHAR)) == 0 && (s.length == 32 || keyword[s.length] == 0))
        return Lookup{s.index, s.value};
    const uint32_t n = static_cast<uint32_t>(WLenBounded(keyword, 32));
    if (s.generation == g_generation && s.row == row && s.length == n &&
        std::memcmp(s.keyword, keyword, n * sizeof(WCHAR)) == 0)
        return Lookup{s.index, s.value};
    const Lookup l = Resolve(t_.items, *item, row, keyword, n);
    s.generation = g_generation;
    s.row = row;
    s.length = n;
    s.index = l.index;
    s.value = l.value;
    std::memcpy(s.keyword, keyword, n * sizeof(WCHAR));
    if (n < 32) s.keyword[n] = 0;
    return l;
}

std::optional<int32_t> Check::CurrentSlow(int row) const {
    if (row >= 0 && static_cast<size_t>(row) < current_.size()) {
        int64_t& cached = current_[static_cast<size_t>(row)];
        if (cached == kNotRead) {
            const std::optional<int32_t> v = ReadCurrent(row);
            cached = v ? *v : kUnbound;
        }
        if (cached == kUnbound) return std::nullopt;
        return static_cast<int32_t>(cached);
    }
    return ReadCurrent(row);
}

std::optional<int32_t> Check::ReadCurrent(int row) const {
    const UiItem* item = Item(row);
    // A device option: its slot of the printer's device-option record (the items of
    // the device options stand in the table's order, slot 0 first).
    if (item && item->deviceOption) {
        if (!ctx_.deviceOptions || firstDeviceOptionRow_ < 0 || row < firstDeviceOptionRow_) return std::nullopt;
        return static_cast<int32_t>(
            settings::GetOptionValue(ctx_.deviceOptions, static_cast<size_t>(row - firstDeviceOptionRow_)));
    }
    if (!item || !item->state.field || !ctx_.record) return std::nullopt;
    const settings::FieldRef f = item->state.field;
    if (f.Offset() + f.Size() > settings::kOemDevSize || f.Size() == 0) return std::nullopt;
    const BYTE* p = ctx_.record + f.Offset();
    switch (item->state.storage) {
    case features::kUiStoreU8: return static_cast<int32_t>(p[0]);
    case features::kUiStoreI8: return static_cast<int32_t>(static_cast<int8_t>(p[0]));
    case features::kUiStoreI16: return static_cast<int32_t>(static_cast<int16_t>(GetLE16(p)));
    case features::kUiStoreU16: return static_cast<int32_t>(GetLE16(p));
    case features::kUiStoreU32:
        return f.Size() >= 4 ? static_cast<int32_t>(GetLE32(p)) : static_cast<int32_t>(p[0]);
    }
    return std::nullopt;
}

bool Check::Write(int row, int32_t value) {
    const UiItem* item = Item(row);
    if (!item || !item->state.field || !ctx_.record) return false;
    const settings::FieldRef f = item->state.field;
    if (!settings::IsNumberKind(f.def->kind)) return false;  // text fields are never written
    // Rows of one feature share the field: every value read so far is read again.
    std::fill(current_.begin(), current_.end(), kNotRead);
    NewEpoch();
    return settings::SetNumber(*settings::AsRecord(ctx_.record), f, value);
}

int32_t Check::NormaliseTrayMedia(int32_t v) const {
    // A tray slot without registered media keeps its own value: it stands for no
    // model media type.
    if (v >= 1001 && v <= 1020) return ctx_.trayMedia[v - 1001] ? ctx_.trayMedia[v - 1001] : v;
    // Custom media names (1021 and up) have no model media type of the same name
    // in this model: they keep their value.
    return v;
}

uint8_t* Check::OptionRecord(int row, const Lookup& l) {
    UiItem* item = Item(row);
    if (!item || !item->options) return nullptr;
    if (features::IsCustomPaperIndex(l.index)) {
        // A custom size keyword stands for the list's own custom size option.
        const char* own = row == (t_.items ? t_.items->direct.outPaperSize : -1) ? "OutUserPaper" : "UserPaper";
        const int i = features::IndexOfKeyword(item->options, own);
        return i < 0 ? nullptr : features::RecordAt(item->options, static_cast<size_t>(i));
    }
    if (l.index >= features::kIndexUserLargePaper) return nullptr;
    return features::RecordAt(item->options, l.index);
}

}  // namespace nvx::constraints::detail
