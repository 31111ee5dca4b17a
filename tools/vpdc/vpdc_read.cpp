// vpdc reader: recovers the readable form of any package.
//
// The reader follows the same links as the module's reader, with the same
// guards (records must lie inside the file, walks stop at a repeated record), but
// it also keeps what the module would not look at, so that a package in vpdc's
// canonical layout comes back exactly.  Record sizes are not stored in a package:
// a record is taken to reach up to the next object that anything refers to
// (entry, record, index, string), which is exact for the canonical layout.
#include <algorithm>
#include <map>
#include <set>

#include "common/le.h"
#include "model/vpd_format.h"
#include "vpdc_model.h"

namespace vpdc {

namespace vpd = nvx::vpd;

namespace {

class File {
public:
    explicit File(const Bytes& b) : b_(b) {}
    size_t Size() const { return b_.size(); }
    bool Has(uint64_t at, uint64_t len) const { return at <= b_.size() && len <= b_.size() - at; }
    uint32_t U32(size_t at) const { return Has(at, 4) ? nvx::GetLE32(b_.data() + at) : 0; }
    uint16_t U16(size_t at) const { return Has(at, 2) ? nvx::GetLE16(b_.data() + at) : 0; }
    uint8_t U8(size_t at) const { return at < b_.size() ? b_[at] : 0; }
    // ASCII string up to its terminator or the end of the file.
    std::string Ascii(size_t at) const {
        std::string s;
        while (at < b_.size() && b_[at] != 0) s.push_back(static_cast<char>(b_[at++]));
        return s;
    }
    std::u16string Utf16(size_t at) const {
        std::u16string s;
        for (; Has(at, 2) && U16(at) != 0; at += 2) s.push_back(static_cast<char16_t>(U16(at)));
        return s;
    }
    Bytes Slice(size_t at, size_t len) const {
        return Bytes(b_.begin() + static_cast<long>(at), b_.begin() + static_cast<long>(at + len));
    }
    const Bytes& b_;
};

bool PlausibleName(const File& f, size_t at) {
    if (!f.Has(at, vpd::kNameField)) return false;
    size_t n = 0;
    while (n < vpd::kNameField && f.U8(at + n) != 0) {
        uint8_t c = f.U8(at + n);
        if (c < 0x20 || c > 0x7e) return false;
        ++n;
    }
    return n > 0;
}

// A key string: 1 to 290 printable ASCII characters, terminated inside the file.
bool PlausibleKey(const File& f, uint32_t at) {
    size_t n = 0;
    for (; n <= vpd::kMaxString && at + n < f.Size(); ++n) {
        uint8_t c = f.U8(at + n);
        if (c == 0) return n > 0;
        if (c < 0x20 || c > 0x7e) return false;
    }
    return false;
}

// How well the file reads as a directory of entrySize-byte entries: 10 for each
// entry with a readable name that the walk reaches, 1 for each item of their
// chains with a readable key.
int Score(const File& f, uint32_t entrySize) {
    const bool wide = entrySize == vpd::kEntry52Size;
    const uint32_t nextAt = wide ? offsetof(vpd::Entry52, next) : offsetof(vpd::Entry40, next);
    const uint32_t dirEnd = f.U32(4);
    int score = 0;
    std::set<uint32_t> seen;
    for (uint32_t at = vpd::kFirstEntry; f.Has(at, entrySize) && seen.insert(at).second && seen.size() < 4096;) {
        if (!PlausibleName(f, at)) break;
        score += 10;
        int32_t count = static_cast<int32_t>(f.U32(at + entrySize));
        uint32_t item = f.U32(at + offsetof(vpd::Entry52, firstItem));
        std::set<uint32_t> items;
        for (int32_t i = 0; i < count && i < 64 && item != 0 && f.Has(item, vpd::kItemSize) && items.insert(item).second;
             ++i) {
            if (PlausibleKey(f, f.U32(item))) ++score;
            item = f.U32(item + offsetof(vpd::Item, next));
        }
        uint32_t next = f.U32(at + nextAt);
        if (next == 0 || next >= dirEnd) break;
        at = next;
    }
    return score;
}

// Per-entry working state of the directory reader.
struct Parsed {
    uint32_t at = 0;
    Entry entry;
    std::vector<uint32_t> recordAt;  // by item position (before sorting)
};

}  // namespace

Layout DetectLayout(const Bytes& bytes) {
    File f(bytes);
    if (PlausibleName(f, vpd::kFirstEntry) || f.Size() < vpd::kBlockHeaderSize)
        return Score(f, vpd::kEntry40Size) > Score(f, vpd::kEntry52Size) ? Layout::Directory40 : Layout::Directory52;
    return Layout::Block;
}

DirectoryPackage ReadDirectory(const Bytes& bytes, uint32_t es) {
    File f(bytes);
    DirectoryPackage pkg;
    pkg.entrySize = es;
    const bool wide = es == vpd::kEntry52Size;
    const uint32_t infoSize = wide ? vpd::kInfo52Size : vpd::kInfo40Size;
    const uint32_t nextAt = wide ? offsetof(vpd::Entry52, next) : offsetof(vpd::Entry40, next);
    pkg.tag = f.U32(0);
    const uint32_t dirEnd = f.Has(0, 8) ? f.U32(4) : 0;

    // Every offset something refers to: a record reaches up to the next one.
    std::set<uint64_t> starts = {f.Size()};
    std::set<uint64_t> dataStarts;  // records, indexes and strings: never an entry
    std::vector<Parsed> parsed;
    std::set<uint32_t> seenEntries;
    uint64_t dataStart = f.Size();  // the directory cannot reach into data it refers to
    for (uint32_t at = vpd::kFirstEntry; f.Has(at, es) && seenEntries.insert(at).second;) {
        Parsed p;
        p.at = at;
        Entry& e = p.entry;
        for (size_t i = 0; i < vpd::kNameField && f.U8(at + i) != 0; ++i) e.name.push_back(static_cast<char>(f.U8(at + i)));
        const uint32_t next = f.U32(at + nextAt);
        const uint64_t space = (next > at ? std::min<uint64_t>(next, f.Size()) : f.Size()) - at;
        starts.insert(at);
        uint32_t first = f.U32(at + offsetof(vpd::Entry52, firstItem));
        int32_t count = 0;
        uint32_t defaultAt = 0, indexAt = 0;
        if (wide) {
            e.reserved = {f.U32(at + offsetof(vpd::Entry52, reserved)), f.U32(at + offsetof(vpd::Entry52, reserved) + 4)};
            e.flags = f.U32(at + offsetof(vpd::Entry52, flags));
        }
        {
            // Every entry has its information block: the module reads one there.
            size_t info = at + es;
            starts.insert(info);
            dataStarts.insert(info);
            count = static_cast<int32_t>(f.U32(info));
            if (wide) {
                defaultAt = f.U32(info + offsetof(vpd::Info52, defaultItem));
                indexAt = f.U32(info + offsetof(vpd::Info52, index));
                if (space >= vpd::kRangeAt + vpd::kRangeSize) {
                    size_t r = at + vpd::kRangeAt;
                    starts.insert(r);
                    dataStarts.insert(r);
                    Range range;
                    for (size_t i = 0; i < range.skipped.size(); ++i) range.skipped[i] = f.U8(r + i);
                    range.minimum = static_cast<int32_t>(f.U32(r + offsetof(vpd::RangeBlock, minimum)));
                    range.maximum = static_cast<int32_t>(f.U32(r + offsetof(vpd::RangeBlock, maximum)));
                    range.defaultValue = static_cast<int32_t>(f.U32(r + offsetof(vpd::RangeBlock, defaultValue)));
                    e.range = range;
                }
            } else {
                e.infoReserved = f.U32(info + offsetof(vpd::Info40, reserved));
            }
        }

        // Items: the chain, then records only the index or the default reach.
        std::map<uint32_t, size_t> byOffset;
        auto itemAt = [&](uint32_t off, bool inChain) -> std::optional<size_t> {
            if (off == 0 || !f.Has(off, vpd::kItemSize)) return std::nullopt;
            auto found = byOffset.find(off);
            if (found != byOffset.end()) return found->second;
            Item it;
            it.chain = inChain;
            uint32_t key = f.U32(off + offsetof(vpd::Item, key));
            uint32_t value = f.U32(off + offsetof(vpd::Item, value));
            it.aux = f.U32(off + offsetof(vpd::Item, aux));
            if (!inChain) it.number = f.U32(off + offsetof(vpd::Item, next));
            for (uint32_t s : {key, value, off}) {
                if (s == 0 || s >= f.Size()) continue;
                starts.insert(s);
                dataStarts.insert(s);
                dataStart = std::min<uint64_t>(dataStart, s);
            }
            if (key != 0 && key < f.Size()) it.key = f.Ascii(key);
            if (value != 0 && value < f.Size()) it.value = f.Utf16(value);
            byOffset[off] = e.items.size();
            p.recordAt.push_back(off);
            e.items.push_back(std::move(it));
            return e.items.size() - 1;
        };
        std::vector<size_t> chain;
        for (int32_t i = 0; i < count; ++i) {
            uint32_t off = i == 0 ? first : f.U32(p.recordAt[chain.back()] + offsetof(vpd::Item, next));
            if (byOffset.count(off)) break;  // a repeated record ends the chain
            auto pos = itemAt(off, true);
            if (!pos) break;
            chain.push_back(*pos);
        }
        if (wide && indexAt != 0 && count > 0 && indexAt < f.Size()) {
            starts.insert(indexAt);
            dataStarts.insert(indexAt);
            dataStart = std::min<uint64_t>(dataStart, indexAt);
            std::vector<std::optional<size_t>> display;
            // The positions the file holds; a count beyond them and beyond the chain
            // is lowered to what can be read (the reader reads no further either).
            const int64_t held = static_cast<int64_t>((f.Size() - indexAt) / 4);
            for (int64_t i = 0; i < count && i < held; ++i)
                display.push_back(itemAt(f.U32(indexAt + 4 * static_cast<size_t>(i)), false));
            if (count > held) count = static_cast<int32_t>(std::max<size_t>(display.size(), chain.size()));
            e.display = std::move(display);
        } else if (wide && !chain.empty()) {
            e.index = false;
        }
        if (static_cast<int64_t>(chain.size()) != count ||
            (e.display && static_cast<int64_t>(e.display->size()) != count))
            e.count = count;
        if (wide) e.defaultItem = itemAt(defaultAt, false);
        if (!chain.empty()) e.chainOrder = chain;
        parsed.push_back(std::move(p));

        // Go on below the directory end, and past it while the link stays before
        // all data seen so far (an overridden, short directory end); a link to
        // known data is no entry.
        if (next == 0 || dataStarts.count(next) || !(next < dirEnd || next < dataStart)) break;
        at = next;
    }

    // Record sizes, record order, and the references rewritten to that order.
    for (Parsed& p : parsed) {
        Entry& e = p.entry;
        for (size_t i = 0; i < e.items.size(); ++i) {
            uint32_t off = p.recordAt[i];
            uint64_t gap = *starts.upper_bound(off) - off;
            uint32_t size = gap >= 16 && gap <= 4096 && gap % 4 == 0 ? static_cast<uint32_t>(gap) : 16;
            e.items[i].size = size;
            Bytes extra = f.Slice(off + 16, size - 16);
            while (!extra.empty() && extra.back() == 0) extra.pop_back();
            e.items[i].extra = std::move(extra);
        }
        std::vector<size_t> order(e.items.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return p.recordAt[a] < p.recordAt[b]; });
        std::vector<size_t> newPos(order.size());
        std::vector<Item> sorted;
        for (size_t i = 0; i < order.size(); ++i) {
            newPos[order[i]] = i;
            sorted.push_back(std::move(e.items[order[i]]));
        }
        e.items = std::move(sorted);
        auto remap = [&](std::optional<size_t>& ref) { if (ref) ref = newPos[*ref]; };
        if (e.display) for (auto& slot : *e.display) remap(slot);
        remap(e.defaultItem);
        if (e.chainOrder) {
            for (size_t& pos : *e.chainOrder) pos = newPos[pos];
            // In record order the chain is told by the items' chain marks alone.
            std::vector<size_t> inOrder;
            for (size_t i = 0; i < e.items.size(); ++i) if (e.items[i].chain) inOrder.push_back(i);
            if (inOrder == *e.chainOrder) {
                e.chainOrder.reset();
            } else {
                for (Item& it : e.items) it.chain = true;  // chainOrder decides
            }
        }
        if (e.display) {
            std::vector<std::optional<size_t>> chainDisplay;
            for (size_t i = 0; i < e.items.size(); ++i)
                if (e.items[i].chain && !e.chainOrder) chainDisplay.push_back(i);
            if (e.chainOrder) for (size_t pos : *e.chainOrder) chainDisplay.push_back(pos);
            if (chainDisplay == *e.display) e.display.reset();
        }
        pkg.entries.push_back(std::move(e));
    }
    // The directory end vpdc would write: after the last entry's blocks.
    uint64_t canonical = vpd::kHeaderSize;
    for (const Entry& e : pkg.entries) canonical += es + infoSize + (e.range ? vpd::kRangeSize : 0);
    if (canonical != dirEnd) pkg.directoryEnd = dirEnd;
    return pkg;
}

namespace {

Text32 GetText(const File& f, size_t at) {
    Text32 t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = f.U16(at + 2 * i);
    return t;
}

RuleHalf GetHalf(const File& f, size_t at) {
    RuleHalf h;
    h.feature = GetText(f, at + offsetof(vpd::RuleBlock, feature));
    h.option = GetText(f, at + offsetof(vpd::RuleBlock, option));
    h.unused = f.U32(at + offsetof(vpd::RuleBlock, unused));
    return h;
}

uint32_t Held(const File& f, uint32_t count, uint32_t offset, uint32_t elem) {
    if (offset == 0 || offset >= f.Size()) return 0;
    uint64_t held = (f.Size() - offset) / elem;
    return count < held ? count : static_cast<uint32_t>(held);
}

}  // namespace

BlockPackage ReadBlock(const Bytes& bytes) {
    File f(bytes);
    if (f.Size() < vpd::kBlockHeaderSize) throw Error("shorter than the 240-byte header of the block layout");
    BlockPackage pkg;
    uint32_t field[12];
    for (unsigned i = 0; i < 12; ++i) field[i] = f.U32(4 * i);
    pkg.spareFields = {field[2], field[5], field[8], field[11]};
    for (size_t i = 0; i < 64; ++i) pkg.versionName[i] = f.U8(offsetof(vpd::BlockHeader, versionName) + i);
    for (size_t i = 0; i < 128; ++i) pkg.versionText[i] = f.U8(offsetof(vpd::BlockHeader, versionText) + i);

    // In vpdc's layout the arrays lie back to back from the header to the end of
    // the file, so their offsets tell how many elements were written even where
    // a header count says otherwise; elsewhere a count is trusted as far as the
    // file holds its elements.
    const uint64_t ro = field[vpd::kRuleOffset], co = field[vpd::kConditionOffset], to = field[vpd::kTokenOffset],
                   ao = field[vpd::kActionOffset], size = f.Size();
    const bool canonical = ro == vpd::kBlockHeaderSize && co >= ro && (co - ro) % vpd::kRuleRecordSize == 0 &&
                           to >= co && (to - co) % vpd::kConditionSize == 0 && ao >= to && (ao - to) % 4 == 0 &&
                           size >= ao && (size - ao) % vpd::kActionSize == 0;
    const uint32_t rules = canonical ? static_cast<uint32_t>((co - ro) / vpd::kRuleRecordSize)
                                     : Held(f, field[vpd::kRuleCount], field[vpd::kRuleOffset], vpd::kRuleRecordSize);
    const uint32_t conds = canonical ? static_cast<uint32_t>((to - co) / vpd::kConditionSize)
                                     : Held(f, field[vpd::kConditionCount], field[vpd::kConditionOffset], vpd::kConditionSize);
    const uint32_t tokens = canonical ? static_cast<uint32_t>((ao - to) / 4)
                                      : Held(f, field[vpd::kTokenCount], field[vpd::kTokenOffset], 4);
    const uint32_t actions = canonical ? static_cast<uint32_t>((size - ao) / vpd::kActionSize)
                                       : Held(f, field[vpd::kActionCount], field[vpd::kActionOffset], vpd::kActionSize);
    if (rules != field[vpd::kRuleCount]) pkg.ruleCount = field[vpd::kRuleCount];
    if (conds != field[vpd::kConditionCount]) pkg.conditionCount = field[vpd::kConditionCount];
    if (tokens != field[vpd::kTokenCount]) pkg.tokenCount = field[vpd::kTokenCount];
    if (actions != field[vpd::kActionCount]) pkg.actionCount = field[vpd::kActionCount];

    auto condition = [&](uint32_t i) {
        size_t at = field[vpd::kConditionOffset] + static_cast<size_t>(vpd::kConditionSize) * i;
        Condition c;
        c.feature = GetText(f, at + offsetof(vpd::ConditionRecordDisk, feature));
        c.option = GetText(f, at + offsetof(vpd::ConditionRecordDisk, option));
        c.op = f.U32(at + offsetof(vpd::ConditionRecordDisk, op));
        return c;
    };
    auto token = [&](uint32_t i) { return f.U32(field[vpd::kTokenOffset] + 4 * static_cast<size_t>(i)); };
    auto action = [&](uint32_t i) {
        size_t at = field[vpd::kActionOffset] + static_cast<size_t>(vpd::kActionSize) * i;
        return Action{f.U32(at), f.U32(at + 4)};
    };

    uint32_t c = 0, t = 0, a = 0;
    for (uint32_t i = 0; i < rules; ++i) {
        size_t at = field[vpd::kRuleOffset] + static_cast<size_t>(vpd::kRuleRecordSize) * i;
        Rule r;
        r.kind = f.U32(at + offsetof(vpd::RuleRecord, id));
        r.first = GetHalf(f, at + offsetof(vpd::RuleRecord, first));
        r.second = GetHalf(f, at + offsetof(vpd::RuleRecord, second));
        uint32_t nc = f.U8(at + offsetof(vpd::RuleRecord, conditionCount));
        uint32_t nt = f.U32(at + offsetof(vpd::RuleRecord, tokenCount));
        uint32_t na = f.U8(at + offsetof(vpd::RuleRecord, actionCount));
        size_t g = 0;
        for (const auto& gap : kRuleGaps)
            for (size_t j = 0; j < gap.len; ++j) r.gaps[g++] = f.U8(at + gap.at + j);
        uint32_t takeC = std::min(nc, conds - c), takeT = std::min(nt, tokens - t), takeA = std::min(na, actions - a);
        for (uint32_t j = 0; j < takeC; ++j) r.conditions.push_back(condition(c++));
        for (uint32_t j = 0; j < takeT; ++j) r.tokens.push_back(token(t++));
        for (uint32_t j = 0; j < takeA; ++j) r.actions.push_back(action(a++));
        if (takeC != nc) r.conditionCount = nc;
        if (takeT != nt) r.tokenCount = nt;
        if (takeA != na) r.actionCount = na;
        pkg.rules.push_back(std::move(r));
    }
    while (c < conds) pkg.spareConditions.push_back(condition(c++));
    while (t < tokens) pkg.spareTokens.push_back(token(t++));
    while (a < actions) pkg.spareActions.push_back(action(a++));
    return pkg;
}

}  // namespace vpdc
