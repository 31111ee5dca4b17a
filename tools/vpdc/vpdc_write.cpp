// vpdc writer: lays a package out in the canonical layout.
//
// Directory layouts: header; the directory (each entry followed by its
// information block and range block); then, entry by entry, its item records in
// order, its item index, and its strings (per item: key, padded to an even
// offset, then value), padded to a multiple of 4.
// Block layout: header; rule records; condition records; tokens; actions.
#include <cstring>

#include "common/le.h"
#include "model/vpd_format.h"
#include "vpdc_model.h"

namespace vpdc {

namespace vpd = nvx::vpd;

namespace {

void Put32(Bytes& b, size_t at, uint32_t v) { nvx::PutLE32(b.data() + at, v); }

size_t Grow(Bytes& b, size_t n) {
    size_t at = b.size();
    b.resize(at + n, 0);
    return at;
}

void Align(Bytes& b, size_t to) {
    while (b.size() % to != 0) b.push_back(0);
}

uint32_t Off(size_t v, const std::string& where) {
    if (v > UINT32_MAX) throw Error(where + ": package larger than 4 GiB");
    return static_cast<uint32_t>(v);
}

std::string Where(const Entry& e) { return "entry '" + e.name + "'"; }

// The positions of the chain items, in chain order.
std::vector<size_t> ChainOf(const Entry& e) {
    if (e.chainOrder) return *e.chainOrder;
    std::vector<size_t> chain;
    for (size_t i = 0; i < e.items.size(); ++i)
        if (e.items[i].chain) chain.push_back(i);
    return chain;
}

// Index positions that a count beyond the listed ones may leave to be written empty.
constexpr size_t kMaxPadSlots = 65536;

// The information block's count: as given, else the longer of the chain and the index.
int32_t CountOf(const Entry& e) {
    if (e.count) return *e.count;
    size_t n = ChainOf(e).size();
    if (e.display && e.display->size() > n) n = e.display->size();
    return static_cast<int32_t>(n);
}

void CheckEntry(const Entry& e, uint32_t entrySize) {
    std::string where = Where(e);
    if (e.name.size() > vpd::kNameField) throw Error(where + ": name longer than 32 bytes");
    std::vector<size_t> chain = ChainOf(e);
    std::vector<bool> inChain(e.items.size(), false);
    for (size_t pos : chain) {
        if (pos >= e.items.size()) throw Error(where + ": chain names item " + std::to_string(pos) + " of " +
                                               std::to_string(e.items.size()));
        if (inChain[pos]) throw Error(where + ": item " + std::to_string(pos) + " is twice in the chain");
        inChain[pos] = true;
    }
    if (e.count && *e.count >= 0 && static_cast<size_t>(*e.count) < chain.size())
        throw Error(where + ": count " + std::to_string(*e.count) + " is smaller than the chain (" +
                    std::to_string(chain.size()) + " items); remove items instead");
    // Without a count of its own the entry's count covers the chain and the index,
    // and the index must cover the chain: the reader takes `count` positions.
    if (!e.count && entrySize == vpd::kEntry52Size && e.index && e.display && e.display->size() < chain.size())
        throw Error(where + ": the index lists " + std::to_string(e.display->size()) + " items but the chain has " +
                    std::to_string(chain.size()) + " (use null for an empty position)");
    if (entrySize == vpd::kEntry40Size &&
        (e.flags || e.reserved[0] || e.reserved[1] || e.range || e.defaultItem || (e.display && !e.display->empty())))
        throw Error(where + ": 40-byte entries have no flags, reserved fields, range, default item or index");
    std::vector<bool> used = inChain;
    if (e.display)
        for (const auto& slot : *e.display) {
            if (slot && *slot >= e.items.size()) throw Error(where + ": index names a missing item");
            if (slot) used[*slot] = true;
        }
    if (e.defaultItem) {
        if (*e.defaultItem >= e.items.size()) throw Error(where + ": default names a missing item");
        used[*e.defaultItem] = true;
    }
    for (size_t i = 0; i < e.items.size(); ++i) {
        const Item& it = e.items[i];
        std::string at = where + " item " + std::to_string(i);
        if (it.size < 16 || it.size > 4096 || it.size % 4 != 0)
            throw Error(at + ": record size " + std::to_string(it.size) + " is not a multiple of 4 from 16 to 4096");
        if (it.extra.size() > it.size - 16) throw Error(at + ": extra bytes do not fit the record size");
        if (!used[i]) throw Error(at + ": unreachable (not in the chain, the index or the default)");
        if (it.key && it.key->find('\0') != std::string::npos) throw Error(at + ": key holds a zero byte");
        if (it.value && it.value->find(u'\0') != std::u16string::npos) throw Error(at + ": value holds a zero");
    }
}

// The default index: the chain.
std::vector<std::optional<size_t>> DisplayOf(const Entry& e) {
    if (e.display) return *e.display;
    std::vector<std::optional<size_t>> d;
    for (size_t pos : ChainOf(e)) d.push_back(pos);
    return d;
}

}  // namespace

Bytes WriteDirectory(const DirectoryPackage& pkg) {
    const uint32_t es = pkg.entrySize;
    if (es != vpd::kEntry52Size && es != vpd::kEntry40Size) throw Error("entry size must be 52 or 40");
    const uint32_t infoSize = es == vpd::kEntry52Size ? vpd::kInfo52Size : vpd::kInfo40Size;
    for (const Entry& e : pkg.entries) CheckEntry(e, es);

    Bytes b(vpd::kHeaderSize, 0);
    std::vector<size_t> entryAt;
    for (const Entry& e : pkg.entries) {
        entryAt.push_back(Grow(b, es));
        Grow(b, infoSize);  // every entry has its information block
        if (e.range) Grow(b, vpd::kRangeSize);
    }
    const uint32_t dirEnd = Off(b.size(), "directory");
    Put32(b, 0, pkg.tag);
    Put32(b, 4, pkg.directoryEnd.value_or(dirEnd));

    for (size_t k = 0; k < pkg.entries.size(); ++k) {
        const Entry& e = pkg.entries[k];
        const size_t at = entryAt[k];
        std::string where = Where(e);
        std::vector<uint32_t> rec;
        for (const Item& it : e.items) {
            rec.push_back(Off(Grow(b, it.size), where));
            if (!it.extra.empty())
                std::memcpy(b.data() + rec.back() + vpd::kItemSize, it.extra.data(), it.extra.size());
        }
        std::vector<size_t> chain = ChainOf(e);
        std::vector<std::optional<size_t>> display = DisplayOf(e);
        uint32_t indexAt = 0;
        const int32_t count = CountOf(e);
        if (es == vpd::kEntry52Size && e.index && !display.empty()) {
            // The reader takes `count` positions: those the index does not list are
            // written as empty slots, so that nothing else is read as a position.
            size_t slots = display.size();
            if (count > 0 && static_cast<size_t>(count) > slots) {
                if (static_cast<size_t>(count) - slots > kMaxPadSlots)
                    throw Error(where + ": count " + std::to_string(count) + " leaves " +
                                std::to_string(static_cast<size_t>(count) - slots) +
                                " index positions unlisted (at most " + std::to_string(kMaxPadSlots) + ")");
                slots = static_cast<size_t>(count);
            }
            indexAt = Off(Grow(b, 4 * slots), where);
            for (size_t i = 0; i < display.size(); ++i)
                Put32(b, indexAt + 4 * i, display[i] ? rec[*display[i]] : 0);
        }
        for (size_t i = 0; i < e.items.size(); ++i) {
            const Item& it = e.items[i];
            uint32_t keyAt = 0, valueAt = 0;
            if (it.key) {
                keyAt = Off(Grow(b, it.key->size() + 1), where);
                std::memcpy(b.data() + keyAt, it.key->data(), it.key->size());
                Align(b, 2);
            }
            if (it.value) {
                valueAt = Off(Grow(b, 2 * (it.value->size() + 1)), where);
                for (size_t c = 0; c < it.value->size(); ++c)
                    nvx::PutLE16(b.data() + valueAt + 2 * c, (*it.value)[c]);
            }
            Put32(b, rec[i] + offsetof(vpd::Item, key), keyAt);
            Put32(b, rec[i] + offsetof(vpd::Item, aux), it.aux);
            Put32(b, rec[i] + offsetof(vpd::Item, value), valueAt);
            Put32(b, rec[i] + offsetof(vpd::Item, next), it.number);  // chain links are set below
        }
        Align(b, 4);
        for (size_t c = 0; c < chain.size(); ++c)
            Put32(b, rec[chain[c]] + offsetof(vpd::Item, next), c + 1 < chain.size() ? rec[chain[c + 1]] : 0);

        // The entry itself.
        std::memcpy(b.data() + at, e.name.data(), e.name.size());
        uint32_t first = chain.empty() ? 0 : rec[chain.front()];
        uint32_t next = k + 1 < pkg.entries.size() ? static_cast<uint32_t>(entryAt[k + 1]) : dirEnd;
        if (es == vpd::kEntry52Size) {
            Put32(b, at + offsetof(vpd::Entry52, firstItem), first);
            Put32(b, at + offsetof(vpd::Entry52, reserved), e.reserved[0]);
            Put32(b, at + offsetof(vpd::Entry52, reserved) + 4, e.reserved[1]);
            Put32(b, at + offsetof(vpd::Entry52, flags), e.flags);
            Put32(b, at + offsetof(vpd::Entry52, next), next);
            size_t info = at + vpd::kInfo52At;
            Put32(b, info + offsetof(vpd::Info52, count), static_cast<uint32_t>(count));
            Put32(b, info + offsetof(vpd::Info52, defaultItem), e.defaultItem ? rec[*e.defaultItem] : 0);
            Put32(b, info + offsetof(vpd::Info52, index), indexAt);
            if (e.range) {
                size_t r = at + vpd::kRangeAt;
                std::memcpy(b.data() + r, e.range->skipped.data(), e.range->skipped.size());
                Put32(b, r + offsetof(vpd::RangeBlock, minimum), static_cast<uint32_t>(e.range->minimum));
                Put32(b, r + offsetof(vpd::RangeBlock, maximum), static_cast<uint32_t>(e.range->maximum));
                Put32(b, r + offsetof(vpd::RangeBlock, defaultValue), static_cast<uint32_t>(e.range->defaultValue));
            }
        } else {
            Put32(b, at + offsetof(vpd::Entry40, firstItem), first);
            Put32(b, at + offsetof(vpd::Entry40, next), next);
            Put32(b, at + es + offsetof(vpd::Info40, count), static_cast<uint32_t>(count));
            Put32(b, at + es + offsetof(vpd::Info40, reserved), e.infoReserved);
        }
    }
    Off(b.size(), "package");
    return b;
}

namespace {

void PutText(Bytes& b, size_t at, const Text32& t) {
    for (size_t i = 0; i < t.size(); ++i) nvx::PutLE16(b.data() + at + 2 * i, t[i]);
}

void PutHalf(Bytes& b, size_t at, const RuleHalf& h) {
    PutText(b, at + offsetof(vpd::RuleBlock, feature), h.feature);
    PutText(b, at + offsetof(vpd::RuleBlock, option), h.option);
    Put32(b, at + offsetof(vpd::RuleBlock, unused), h.unused);
}

void PutCondition(Bytes& b, size_t at, const Condition& c) {
    PutText(b, at + offsetof(vpd::ConditionRecordDisk, feature), c.feature);
    PutText(b, at + offsetof(vpd::ConditionRecordDisk, option), c.option);
    Put32(b, at + offsetof(vpd::ConditionRecordDisk, op), c.op);
}

}  // namespace

Bytes WriteBlock(const BlockPackage& pkg) {
    std::vector<Condition> conds;
    std::vector<uint32_t> tokens;
    std::vector<Action> actions;
    for (size_t i = 0; i < pkg.rules.size(); ++i) {
        const Rule& r = pkg.rules[i];
        std::string where = "rule " + std::to_string(i);
        if (r.conditions.size() > 255 || r.conditionCount.value_or(0) > 255)
            throw Error(where + ": more than 255 conditions");
        if (r.actions.size() > 255 || r.actionCount.value_or(0) > 255) throw Error(where + ": more than 255 actions");
        conds.insert(conds.end(), r.conditions.begin(), r.conditions.end());
        tokens.insert(tokens.end(), r.tokens.begin(), r.tokens.end());
        actions.insert(actions.end(), r.actions.begin(), r.actions.end());
    }
    conds.insert(conds.end(), pkg.spareConditions.begin(), pkg.spareConditions.end());
    tokens.insert(tokens.end(), pkg.spareTokens.begin(), pkg.spareTokens.end());
    actions.insert(actions.end(), pkg.spareActions.begin(), pkg.spareActions.end());

    Bytes b(vpd::kBlockHeaderSize, 0);
    const size_t rulesAt = Grow(b, vpd::kRuleRecordSize * pkg.rules.size());
    const size_t condsAt = Grow(b, vpd::kConditionSize * conds.size());
    const size_t tokensAt = Grow(b, 4 * tokens.size());
    const size_t actionsAt = Grow(b, vpd::kActionSize * actions.size());
    Off(b.size(), "package");

    const unsigned spare[4] = {2, 5, 8, 11};
    for (unsigned i = 0; i < 4; ++i) Put32(b, 4 * spare[i], pkg.spareFields[i]);
    Put32(b, 4 * vpd::kRuleCount, pkg.ruleCount.value_or(static_cast<uint32_t>(pkg.rules.size())));
    Put32(b, 4 * vpd::kRuleOffset, static_cast<uint32_t>(rulesAt));
    Put32(b, 4 * vpd::kConditionCount, pkg.conditionCount.value_or(static_cast<uint32_t>(conds.size())));
    Put32(b, 4 * vpd::kConditionOffset, static_cast<uint32_t>(condsAt));
    Put32(b, 4 * vpd::kTokenCount, pkg.tokenCount.value_or(static_cast<uint32_t>(tokens.size())));
    Put32(b, 4 * vpd::kTokenOffset, static_cast<uint32_t>(tokensAt));
    Put32(b, 4 * vpd::kActionCount, pkg.actionCount.value_or(static_cast<uint32_t>(actions.size())));
    Put32(b, 4 * vpd::kActionOffset, static_cast<uint32_t>(actionsAt));
    std::memcpy(b.data() + offsetof(vpd::BlockHeader, versionName), pkg.versionName.data(), pkg.versionName.size());
    std::memcpy(b.data() + offsetof(vpd::BlockHeader, versionText), pkg.versionText.data(), pkg.versionText.size());

    for (size_t i = 0; i < pkg.rules.size(); ++i) {
        const Rule& r = pkg.rules[i];
        size_t at = rulesAt + vpd::kRuleRecordSize * i;
        Put32(b, at + offsetof(vpd::RuleRecord, id), r.kind);
        b[at + offsetof(vpd::RuleRecord, conditionCount)] =
            static_cast<uint8_t>(r.conditionCount.value_or(static_cast<uint32_t>(r.conditions.size())));
        Put32(b, at + offsetof(vpd::RuleRecord, tokenCount),
              r.tokenCount.value_or(static_cast<uint32_t>(r.tokens.size())));
        PutHalf(b, at + offsetof(vpd::RuleRecord, first), r.first);
        PutHalf(b, at + offsetof(vpd::RuleRecord, second), r.second);
        b[at + offsetof(vpd::RuleRecord, actionCount)] =
            static_cast<uint8_t>(r.actionCount.value_or(static_cast<uint32_t>(r.actions.size())));
        size_t g = 0;
        for (const auto& gap : kRuleGaps)
            for (size_t j = 0; j < gap.len; ++j) b[at + gap.at + j] = r.gaps[g++];
    }
    for (size_t i = 0; i < conds.size(); ++i) PutCondition(b, condsAt + vpd::kConditionSize * i, conds[i]);
    for (size_t i = 0; i < tokens.size(); ++i) Put32(b, tokensAt + 4 * i, tokens[i]);
    for (size_t i = 0; i < actions.size(); ++i) {
        Put32(b, actionsAt + vpd::kActionSize * i + offsetof(vpd::ActionRecordDisk, code), actions[i].code);
        Put32(b, actionsAt + vpd::kActionSize * i + offsetof(vpd::ActionRecordDisk, param), actions[i].param);
    }
    return b;
}

}  // namespace vpdc
