// Lookups in the settings record's field table.
#include "settings/oemdev_fields.h"

#include <algorithm>
#include <string>
#include <vector>

namespace nvx::settings {

namespace {

struct NameIndex {
    std::vector<std::pair<std::string_view, const FieldDef*>> byName;  // sorted by name
    std::vector<const FieldDef*> byOffset;                             // one entry per record byte
};

// Built once, on first use; read-only afterwards.
const NameIndex& Index() {
    static const NameIndex index = [] {
        NameIndex ix;
        ix.byName.reserve(kOemDevFieldCount);
        ix.byOffset.assign(kOemDevSize, nullptr);
        for (size_t i = 0; i < kOemDevFieldCount; ++i) {
            const FieldDef& def = kOemDevFields[i];
            ix.byName.emplace_back(def.name, &def);
            for (uint32_t e = 0; e < def.count; ++e)
                for (uint32_t b = 0; b < def.size; ++b) {
                    uint32_t at = def.offset + e * def.stride + b;
                    if (at < kOemDevSize) ix.byOffset[at] = &def;
                }
        }
        std::sort(ix.byName.begin(), ix.byName.end());
        return ix;
    }();
    return index;
}

const FieldDef* ByExactName(std::string_view name) {
    const auto& v = Index().byName;
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const auto& entry, std::string_view n) { return entry.first < n; });
    return it != v.end() && it->first == name ? it->second : nullptr;
}

// Splits "Name[12].x" into the pattern "Name[%d].x" and the index 12.  Accepts only
// canonical decimal indexes (no sign, no leading zero, at most three digits).
bool SplitNumbered(std::string_view name, std::string& pattern, uint32_t& index) {
    size_t open = name.find('[');
    if (open == std::string_view::npos) return false;
    size_t close = name.find(']', open);
    if (close == std::string_view::npos) return false;
    std::string_view digits = name.substr(open + 1, close - open - 1);
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) return false;
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    pattern.assign(name.substr(0, open + 1));
    pattern += "%d";
    pattern.append(name.substr(close));
    index = value;
    return true;
}

FieldRef Find(std::string_view name, bool exchangedOnly) {
    FieldRef ref;
    if (const FieldDef* def = ByExactName(name); def && def->count == 1) {
        ref.def = def;
    } else {
        std::string pattern;
        uint32_t index = 0;
        if (!SplitNumbered(name, pattern, index)) return {};
        def = ByExactName(pattern);
        if (!def || def->count <= 1 || index >= def->count) return {};
        ref.def = def;
        ref.index = index;
    }
    if (exchangedOnly && ref.def->use != kExchanged) return {};
    return ref;
}

}  // namespace

bool IsNumberKind(FieldKind kind) {
    return kind != FieldKind::Ansi && kind != FieldKind::Text;
}

size_t TextCapacity(const FieldDef& def) {
    switch (def.kind) {
    case FieldKind::Ansi: return def.size;
    case FieldKind::Text: return def.size / 2;
    default: return 0;
    }
}

FieldRef FindField(std::string_view name) {
    return Find(name, false);
}

FieldRef FindExchangeKey(std::string_view key) {
    return Find(key, true);
}

FieldRef FieldAtOffset(uint32_t offset) {
    if (offset >= kOemDevSize) return {};
    const FieldDef* def = Index().byOffset[offset];
    if (!def) return {};
    FieldRef ref{def, 0};
    if (def->count > 1) ref.index = (offset - def->offset) / def->stride;
    return ref;
}

}  // namespace nvx::settings

namespace nvx::settings {

namespace {

std::string KeyOf(const FieldDef& def, uint32_t index) {
    std::string name = def.name;
    if (def.count > 1) {
        size_t at = name.find("%d");
        if (at != std::string::npos) name.replace(at, 2, std::to_string(index));
    }
    return name;
}

}  // namespace

const std::vector<ExchangeItem>& ExchangeOrder() {
    static const std::vector<ExchangeItem> order = [] {
        std::vector<ExchangeItem> out;
        size_t i = 0;
        while (i < kOemDevFieldCount) {
            const FieldDef& def = kOemDevFields[i];
            if (def.use != kExchanged) {
                ++i;
                continue;
            }
            if (def.count > 1 && def.stride > def.size) {
                // A repeated structure: the rows of one element block, index by index.
                size_t end = i + 1;
                while (end < kOemDevFieldCount && kOemDevFields[end].use == kExchanged &&
                       kOemDevFields[end].count == def.count && kOemDevFields[end].stride == def.stride &&
                       kOemDevFields[end].offset >= def.offset && kOemDevFields[end].offset < def.offset + def.stride)
                    ++end;
                for (uint32_t e = 0; e < def.count; ++e)
                    for (size_t r = i; r < end; ++r)
                        out.push_back({FieldRef{&kOemDevFields[r], e}, KeyOf(kOemDevFields[r], e)});
                i = end;
                continue;
            }
            for (uint32_t e = 0; e < def.count; ++e) out.push_back({FieldRef{&def, e}, KeyOf(def, e)});
            ++i;
        }
        return out;
    }();
    return order;
}

}  // namespace nvx::settings
