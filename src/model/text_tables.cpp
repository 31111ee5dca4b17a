// The control text tables: live copies of the built-in tables, the package's text
// loads over them and the texts copied out afterwards.
#include "model/text_tables.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "model/text_tables_data.h"

namespace nvx::model {
namespace {

using textdata::kNamedTexts;
using textdata::kTableCount;
using textdata::kTables;
using textdata::TableDef;
using textdata::Variant;

constexpr size_t kCaptionOnlyRows = 2;  // the caption row and the terminator
constexpr size_t kNamedCount = static_cast<size_t>(NamedText::Count);

// The live tables: one pool, laid out once; a table's rows never move.
struct LiveTables {
    std::vector<ControlTextRow> pool;
    std::vector<size_t> start;  // per definition: its first row in the pool
    WCHAR named[kNamedCount][kNamedTextChars] = {};
    bool userSettingType1 = false;  // the table "Dlg_UserSetting" answers
};

size_t RowsOf(const TableDef& d) { return d.rows ? d.rowCount : kCaptionOnlyRows; }

// Copies the built-in rows of definition d to `to`.
void WriteBuiltIn(const TableDef& d, ControlTextRow* to) {
    if (d.rows) {
        std::memcpy(to, d.rows, d.rowCount * sizeof(ControlTextRow));
        return;
    }
    std::memset(to, 0, kCaptionOnlyRows * sizeof(ControlTextRow));
    to[0].ids[0] = d.page ? d.page : 1;  // any control number makes row 0 the caption
    WCopy(to[0].text, std::size(to[0].text), d.caption);
    std::strncpy(to[0].key, kCaptionKey, sizeof to[0].key - 1);
}

void RefreshNamedTexts(LiveTables& live, size_t first, size_t end);

void Reset(LiveTables& live) {
    for (size_t i = 0; i < kTableCount; ++i) WriteBuiltIn(kTables[i], &live.pool[live.start[i]]);
    live.userSettingType1 = false;
    RefreshNamedTexts(live, 0, kNamedCount);
}

LiveTables& Live() {
    static LiveTables live = [] {
        LiveTables l;
        size_t rows = 0;
        for (size_t i = 0; i < kTableCount; ++i) {
            l.start.push_back(rows);
            rows += RowsOf(kTables[i]);
        }
        l.pool.resize(rows);
        Reset(l);
        return l;
    }();
    return live;
}

ControlTextRow* TableAt(LiveTables& live, size_t i) { return &live.pool[live.start[i]]; }

// The first definition of an entry name (exact), for the given variant when any.
ControlTextRow* Find(LiveTables& live, const char* entry, Variant variant = Variant::None) {
    if (!entry) return nullptr;
    for (size_t i = 0; i < kTableCount; ++i) {
        if (std::strcmp(kTables[i].entry, entry) != 0) continue;
        if (variant != Variant::None && kTables[i].variant != variant) continue;
        return TableAt(live, i);
    }
    return nullptr;
}

void RefreshNamedTexts(LiveTables& live, size_t first, size_t end) {
    for (size_t i = first; i < end; ++i) {
        const textdata::NamedTextDef& d = kNamedTexts[i];
        const WCHAR* text = TextByKey(Find(live, d.entry), d.key);
        WCopy(live.named[i], d.maxChars, text ? text : WL(""));
    }
}

// Whether definition d is loaded under the variant choices.
bool Loads(const TableDef& d, const TextLoadChoices& c) {
    switch (d.variant) {
    case Variant::UserSettingType1: return c.userSettingType1;
    case Variant::UserSettingType2: return !c.userSettingType1;
    case Variant::ImageShiftPrn: return c.imageShiftType1;
    case Variant::ImageShiftMfp: return !c.imageShiftType1;
    default: return true;
    }
}

}  // namespace

ControlTextRow* TextTable(const char* entry) {
    LiveTables& live = Live();
    if (entry && std::strcmp(entry, "Dlg_UserSetting") == 0)
        return Find(live, entry, live.userSettingType1 ? Variant::UserSettingType1 : Variant::UserSettingType2);
    return Find(live, entry);
}

ControlTextRow* PageTextTable(uint32_t page) {
    if (page == 0) return nullptr;
    LiveTables& live = Live();
    for (size_t i = 0; i < kTableCount; ++i)
        if (kTables[i].page == page && kTables[i].variant == Variant::None) return TableAt(live, i);
    return nullptr;
}

ControlTextRow* CommonTextTable() {
    LiveTables& live = Live();
    for (size_t i = 0; i < kTableCount; ++i)
        if (kTables[i].variant == Variant::Common) return TableAt(live, i);
    return nullptr;
}

ControlTextRow* UserSettingTextTable(bool type1) {
    return Find(Live(), "Dlg_UserSetting", type1 ? Variant::UserSettingType1 : Variant::UserSettingType2);
}

ControlTextRow* ColorAdjustTextTable(unsigned variant) {
    LiveTables& live = Live();
    unsigned seen = 0;
    for (size_t i = 0; i < kTableCount; ++i) {
        if (kTables[i].variant != Variant::ColorAdjust) continue;
        if (seen++ == variant) return TableAt(live, i);
    }
    return nullptr;
}

const WCHAR* TextByKey(const ControlTextRow* table, const char* key) {
    if (!table || !key) return nullptr;
    for (const ControlTextRow* row = table; row->ids[0] != 0 || row->key[0] != 0; ++row) {
        if (std::strncmp(row->key, key, sizeof row->key) == 0 && std::strlen(key) < sizeof row->key)
            return row->text;
    }
    return nullptr;
}

size_t TextTableRows(const ControlTextRow* table) {
    size_t n = 0;
    if (table)
        while (table[n].ids[0] != 0 || table[n].key[0] != 0) ++n;
    return n;
}

const WCHAR* NamedTextOf(NamedText which) {
    auto i = static_cast<size_t>(which);
    return i < kNamedCount ? Live().named[i] : WL("");
}

size_t TextEntryCount() { return kTableCount; }

const char* TextEntryName(size_t i) { return i < kTableCount ? kTables[i].entry : nullptr; }

size_t LoadTextTables(const Package& pkg, const TextLoadChoices& choices) {
    LiveTables& live = Live();
    live.userSettingType1 = choices.userSettingType1;
    size_t found = 0;
    for (size_t i = 0; i < kTableCount; ++i) {
        if (!Loads(kTables[i], choices)) continue;
        if (TextLoad(pkg, kTables[i].entry, TableAt(live, i))) ++found;
        // The preset names follow the Basic page's texts at once.
        if (std::strcmp(kTables[i].entry, "Property_0") == 0) RefreshNamedTexts(live, 0, 2);
    }
    RefreshNamedTexts(live, 2, kNamedCount);
    return found;
}

void ResetTextTables() { Reset(Live()); }

}  // namespace nvx::model
