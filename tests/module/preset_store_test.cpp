// The preset stores: records, chunks, writes that stop anywhere, damaged stores,
// the display order, building a sheet's list and applying presets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/stores.h"
#include "presets/preset_store.h"
#include "settings/oemdev_template.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx;
using namespace nvx::presets;
using Bytes = std::vector<BYTE>;

OEMDEV Template() {
    OEMDEV r;
    settings::BuildTemplate(r);
    return r;
}

PresetEnvironment Env() {
    PresetEnvironment env;
    env.driverName = WL("NOVRIX MFP Fax");
    env.language = LanguageCode(0x0409);
    return env;
}

// A preset of the template with `copies` copies; a long comment makes big records.
EasySetEntry Preset(const PresetEnvironment& env, WStringView name, uint32_t scope, int copies = 1) {
    OEMDEV r = Template();
    settings::SetNumber(r, "nCopies", copies);
    EasySetEntry e;
    EXPECT_TRUE(MakeEntry(env, r, MakeHeader(env, name, WL("a preset"), 0, 0, 0), scope, &e));
    return e;
}

// A small preset: a settings text of a few keys (many records to a chunk).
EasySetEntry Small(const PresetEnvironment& env, WStringView name, int copies) {
    SettingsDoc doc;
    doc.WriteNumber(WL("OEMDEV"), WL("nCopies"), copies);
    EasySetEntry e;
    EXPECT_TRUE(EntryFromText(doc, MakeHeader(env, name, WL(""), 0, 0, 0), 0, &e));
    return e;
}

// The chunks "EasySetData%04d" a store holds, and its count.
size_t ChunksHeld(const MemoryValues& v) {
    size_t n = 0;
    for (const auto& [name, value] : v.values) n += name.rfind(WL("EasySetData0"), 0) == 0;
    return n;
}
uint32_t CountOf(const MemoryValues& v, const WCHAR* name = WL("EasySetDataCnt")) {
    uint32_t count = 0;
    std::memcpy(&count, v.values.at(name).bytes.data(), 4);
    return count;
}

EasySetList ListOf(std::vector<EasySetEntry> entries) {
    EasySetList list;
    for (EasySetEntry& e : entries) list.Add(std::move(e));
    return list;
}

std::vector<WString> Names(const std::vector<EasySetEntry>& entries) {
    std::vector<WString> names;
    for (const EasySetEntry& e : entries) names.push_back(e.Name());
    return names;
}

std::vector<WString> StoredNames(const PresetValues& values, uint32_t scope = kSharedScope) {
    std::vector<EasySetEntry> read;
    ReadPresetStore(values, scope, &read);
    return Names(read);
}

void PutCount(MemoryValues& v, const WCHAR* name, uint32_t count) {
    v.values[name] = MemoryValues::Value{REG_DWORD, Bytes(reinterpret_cast<BYTE*>(&count),
                                                          reinterpret_cast<BYTE*>(&count) + 4)};
}

TEST(PresetRecords, StoredRecordLayout) {
    PresetEnvironment env = Env();
    env.options[kIncludePaper] = 1;
    EasySetEntry e = Preset(env, WL("Booklet"), kSharedScope);
    e.header.iconEnabled = 1;
    e.header.iconNumber = 7;
    EasySetList list = ListOf({e});
    const Bytes bytes = PresetRecordBytes(list, kSharedScope);
    ASSERT_EQ(792u + e.text.size(), bytes.size());
    EXPECT_EQ(0, std::memcmp(bytes.data(), "VLES", 4));
    EXPECT_EQ(1, bytes[4]);
    EXPECT_EQ('B', bytes[8]);
    EXPECT_EQ(0, bytes[9]);
    EXPECT_EQ('N', bytes[584]);       // model
    EXPECT_EQ('1', bytes[658]);       // "1.2.6"
    EXPECT_EQ('W', bytes[690]);       // "Windows NT x64"
    EXPECT_EQ('0', bytes[754]);       // "0409"
    EXPECT_EQ(1, bytes[770 + kIncludePaper]);
    EXPECT_EQ(1, bytes[780]);
    EXPECT_EQ(7, bytes[782]);
    uint32_t length = 0;
    std::memcpy(&length, bytes.data() + 788, 4);
    EXPECT_EQ(e.text.size(), length);
    // The text is UTF-16LE without a mark and starts with the header sections.
    EXPECT_EQ('[', bytes[792]);
    EXPECT_EQ(0, bytes[793]);
    // The Default entry and the other scope are not stored.
    EasySetEntry def = e;
    def.isDefault = 1;
    list.Add(def);
    list.Add(Preset(env, WL("Mine"), kPersonalScope));
    EXPECT_EQ(bytes, PresetRecordBytes(list, kSharedScope));
}

TEST(PresetRecords, RoundTripOverManyChunks) {
    const PresetEnvironment env = Env();
    std::vector<EasySetEntry> entries;
    for (int i = 0; i < 8; ++i) entries.push_back(Preset(env, WFormatString(WL("P%d"), i), kPersonalScope, i + 1));
    EasySetList list = ListOf(entries);
    MemoryValues v;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(v, list, kPersonalScope));
    uint32_t count = CountOf(v);
    EXPECT_GT(count, 3u);
    EXPECT_EQ(count, ChunksHeld(v));
    EXPECT_FALSE(v.values.count(WL("EasySetNextCnt")));  // tidied
    EXPECT_FALSE(v.values.count(WL("EasySetNext0001")));
    std::vector<EasySetEntry> read;
    ASSERT_TRUE(ReadPresetStore(v, kPersonalScope, &read));
    ASSERT_EQ(8u, read.size());
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(entries[i].text, read[i].text);
        EXPECT_EQ(0, std::memcmp(&entries[i].header, &read[i].header, sizeof(EasySetHeader)));
        EXPECT_EQ(kPersonalScope, read[i].scope);
    }
    // A smaller store afterwards leaves no chunk behind its count.
    EasySetList one = ListOf({entries[0]});
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(v, one, kPersonalScope));
    count = CountOf(v);
    EXPECT_EQ((792 + entries[0].text.size() + kPresetChunkBytes - 1) / kPresetChunkBytes, count);
    EXPECT_EQ(count, ChunksHeld(v));
    EXPECT_EQ(std::vector<WString>{WL("P0")}, StoredNames(v));
    // An empty scope: count 0, no chunk.
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(v, EasySetList{}, kPersonalScope));
    EXPECT_EQ(0u, CountOf(v));
    EXPECT_FALSE(v.values.count(WL("EasySetData0001")));
    EXPECT_TRUE(StoredNames(v).empty());
}

// Every write and removal of a store write refused in turn (the writer stopped
// there, or only that one refused): the store reads as the old list or the new one,
// never a mix, and the next write that goes through leaves the newest list.
TEST(PresetRecords, AWriteThatStopsAnywhereLosesNothing) {
    const PresetEnvironment env = Env();
    std::vector<EasySetEntry> older, newer;
    for (int i = 0; i < 5; ++i) older.push_back(Preset(env, WFormatString(WL("Old %d"), i), 0, i + 1));
    for (int i = 0; i < 3; ++i) newer.push_back(Preset(env, WFormatString(WL("New %d"), i), 0, i + 10));
    const std::vector<std::pair<EasySetList, EasySetList>> cases = {
        {ListOf(older), ListOf(newer)},  // shorter after longer
        {ListOf(newer), ListOf(older)},  // longer after shorter
    };
    for (const auto& [before, after] : cases) {
        const std::vector<WString> oldNames = Names(before.entries), newNames = Names(after.entries);
        MemoryValues clean;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(clean, before, 0));
        // How many changes a whole write takes.
        MemoryValues probe = clean;
        probe.changes = 0;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(probe, after, 0));
        const uint32_t steps = probe.changes;
        ASSERT_GT(steps, 6u);
        for (bool only : {false, true}) {
            for (uint32_t n = 1; n <= steps; ++n) {
                MemoryValues v = clean;
                v.changes = 0;
                v.failFrom = n;
                v.failOnly = only;
                const DWORD rc = WritePresetStore(v, after, 0);
                const std::vector<WString> read = StoredNames(v);
                EXPECT_TRUE(read == oldNames || read == newNames) << "write " << n << (only ? " only" : " onward");
                // Success is answered exactly when the new list reads.
                EXPECT_EQ(rc == ERROR_SUCCESS, read == newNames) << "write " << n;
                // A third write with every change allowed: the newest list, tidy store.
                v.failFrom = 0;
                EasySetList third = ListOf({older[0]});
                ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(v, third, 0));
                EXPECT_EQ(std::vector<WString>{WL("Old 0")}, StoredNames(v)) << "write " << n;
                EXPECT_FALSE(v.values.count(WL("EasySetNextCnt")));
                EXPECT_FALSE(v.values.count(WL("EasySetNext0001")));
                // A writer that stopped leaves nothing behind for good; a single refused
                // removal may leave a chunk that no count reaches.
                if (!only) {
                    EXPECT_EQ(CountOf(v), ChunksHeld(v)) << "write " << n;
                }
            }
        }
    }
}

TEST(PresetRecords, DamagedStoresReadWhatIsWhole) {
    const PresetEnvironment env = Env();
    std::vector<EasySetEntry> entries;
    for (int i = 0; i < 60; ++i) entries.push_back(Small(env, WFormatString(WL("P%02d"), i), i + 1));
    EasySetList list = ListOf(entries);
    MemoryValues clean;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(clean, list, 0));
    const size_t record = 792 + entries[0].text.size();
    const size_t wholeInFirst = kPresetChunkBytes / record;
    ASSERT_GE(wholeInFirst, 2u);
    ASSERT_GE(CountOf(clean), 3u);

    // Count 2 while only chunk 1 exists: the presets wholly inside the first chunk.
    MemoryValues v = clean;
    PutCount(v, WL("EasySetDataCnt"), 2);
    for (const WCHAR* n : {WL("EasySetData0002"), WL("EasySetData0003"), WL("EasySetData0004")}) v.values.erase(n);
    EXPECT_EQ(wholeInFirst, StoredNames(v).size());

    // A count of 2^31 reads the chunks there are, without allocating for the count.
    v = clean;
    PutCount(v, WL("EasySetDataCnt"), 0x80000000u);
    EXPECT_EQ(60u, StoredNames(v).size());

    // A chunk missing in the middle ends the store there.
    v = clean;
    v.values.erase(WL("EasySetData0002"));
    EXPECT_EQ(wholeInFirst, StoredNames(v).size());

    // A chunk larger than a chunk may be ends the store there.
    v = clean;
    v.values[WL("EasySetData0002")].bytes.resize(kPresetChunkBytes + 1);
    EXPECT_EQ(wholeInFirst, StoredNames(v).size());

    // A record whose data length runs past the text is dropped, with all behind it.
    Bytes bytes = PresetRecordBytes(list, 0);
    uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(bytes.data() + 2 * record + 788, &huge, 4);
    std::vector<EasySetEntry> read;
    ParsePresetRecords(bytes.data(), bytes.size(), 0, &read);
    EXPECT_EQ(2u, read.size());
    // A bad magic halfway: the earlier records stay.
    bytes = PresetRecordBytes(list, 0);
    bytes[3 * record] = 'X';
    read.clear();
    ParsePresetRecords(bytes.data(), bytes.size(), 0, &read);
    EXPECT_EQ(3u, read.size());
    // A version other than 1 likewise.
    bytes = PresetRecordBytes(list, 0);
    bytes[4 * record + 4] = 2;
    read.clear();
    ParsePresetRecords(bytes.data(), bytes.size(), 0, &read);
    EXPECT_EQ(4u, read.size());
    // A cut header and texts without terminators.
    bytes = PresetRecordBytes(list, 0);
    bytes.resize(record + 791);
    std::memset(bytes.data() + 8, 'A', 64);
    read.clear();
    ParsePresetRecords(bytes.data(), bytes.size(), 0, &read);
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ(31u, read[0].Name().size());

    // No count: an empty store.  A count of the wrong size likewise.
    v = clean;
    v.values.erase(WL("EasySetDataCnt"));
    EXPECT_TRUE(StoredNames(v).empty());
    v.values[WL("EasySetDataCnt")] = MemoryValues::Value{REG_DWORD, Bytes{1, 0}};
    EXPECT_TRUE(StoredNames(v).empty());

    // An incomplete pending store is not read; a complete one is.
    v = clean;
    PutCount(v, WL("EasySetNextCnt"), 3);
    v.values[WL("EasySetNext0001")] = v.values[WL("EasySetData0001")];
    EXPECT_EQ(60u, StoredNames(v).size());
    PutCount(v, WL("EasySetNextCnt"), 1);
    EXPECT_EQ(wholeInFirst, StoredNames(v).size());
}

class PresetRealStores : public PlatformTest {};

TEST_F(PresetRealStores, KeepTheirValueNames) {
    HANDLE printer = nvxtest::AddTestPrinter(WL("Preset Fax"));
    ASSERT_NE(nullptr, printer);
    model::RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, model::CreateUserKey(printer, &key));
    const PresetEnvironment env = Env();
    EasySetList list = ListOf({Preset(env, WL("Shared one"), kSharedScope), Preset(env, WL("Mine"), kPersonalScope)});
    StoreValues shared(model::ValueStore::OfPrinter(printer));
    StoreValues personal(model::ValueStore::OfKey(key.get()));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(shared, list, kSharedScope));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(personal, list, kPersonalScope));
    EXPECT_EQ(std::vector<WString>{WL("Shared one")}, StoredNames(shared));
    EXPECT_EQ(std::vector<WString>{WL("Mine")}, StoredNames(personal, kPersonalScope));
    DWORD type = 0, size = 0, count = 0;
    EXPECT_EQ(DWORD(ERROR_SUCCESS), GetPrinterDataW(printer, const_cast<WCHAR*>(WL("EasySetDataCnt")), &type,
                                                    reinterpret_cast<BYTE*>(&count), 4, &size));
    EXPECT_EQ(DWORD(REG_DWORD), type);
    EXPECT_EQ((792 + list.entries[0].text.size() + kPresetChunkBytes - 1) / kPresetChunkBytes, count);
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetOrder(personal, list));
    EXPECT_EQ(2u, ReadPresetOrder(personal).size());
    ClosePrinter(printer);
}

// ---- The display order ----

TEST(PresetOrder, NamesScopesAndStaleValues) {
    const PresetEnvironment env = Env();
    const WString nonLatin = WFromUtf8("Брошюра 冊子");
    EasySetList list = ListOf({Preset(env, WL("Same"), kPersonalScope), Preset(env, WL("a,b,c"), kSharedScope),
                               Preset(env, nonLatin, kPersonalScope), Preset(env, WL("Same"), kSharedScope)});
    MemoryValues v;
    for (int i = 1; i <= 9; ++i) {  // a longer earlier order
        const WString name = kOrderNames.Name(static_cast<uint32_t>(i - 1));
        v.values[name] = MemoryValues::Value{REG_SZ, Bytes{'0', 0, ',', 0, 'x', 0, 0, 0}};
    }
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetOrder(v, list));
    EXPECT_TRUE(v.values.count(WL("EasySetOrder04")));
    EXPECT_FALSE(v.values.count(WL("EasySetOrder05")));
    const MemoryValues::Value& first = v.values.at(WL("EasySetOrder01"));
    EXPECT_EQ(DWORD(REG_SZ), first.type);
    EXPECT_EQ(Bytes({'1', 0, ',', 0, 'S', 0, 'a', 0, 'm', 0, 'e', 0, 0, 0}), first.bytes);
    const std::vector<OrderEntry> order = ReadPresetOrder(v);
    ASSERT_EQ(4u, order.size());
    EXPECT_EQ(WL("Same"), order[0].name);
    EXPECT_EQ(1u, order[0].scope);
    EXPECT_EQ(WL("a,b,c"), order[1].name);  // split at the first comma only
    EXPECT_EQ(0u, order[1].scope);
    EXPECT_EQ(nonLatin, order[2].name);
    EXPECT_EQ(0u, order[3].scope);
}

TEST(PresetOrder, DamagedValues) {
    MemoryValues v;
    auto put = [&](uint32_t n, std::u16string text, DWORD type = REG_SZ) {
        Bytes b(reinterpret_cast<const BYTE*>(text.data()), reinterpret_cast<const BYTE*>(text.data() + text.size()));
        v.values[kOrderNames.Name(n - 1)] = MemoryValues::Value{type, b};
    };
    PutCount(v, WL("EasySetOrderCnt"), 0xFFFFFFFFu);
    put(1, u"7,seven");             // any non-zero scope is 1
    put(2, u"no comma");            // skipped
    put(4, u"0," + std::u16string(40, u'n'));  // cut to 31, no terminator stored
    put(5, u"abc,x");               // no number: scope 0
    put(6, std::u16string(200, u'9'));  // longer than the buffer: skipped
    std::vector<OrderEntry> order = ReadPresetOrder(v);
    ASSERT_EQ(3u, order.size());
    EXPECT_EQ(1u, order[0].scope);
    EXPECT_EQ(31u, order[1].name.size());
    EXPECT_EQ(0u, order[2].scope);
    // No count: no order.
    v.values.erase(WL("EasySetOrderCnt"));
    EXPECT_TRUE(ReadPresetOrder(v).empty());
}

TEST(PresetOrder, ReorderWithStaleEntries) {
    const PresetEnvironment env = Env();
    EasySetList list = ListOf({Preset(env, WL("D"), 0), Preset(env, WL("A"), 0), Preset(env, WL("B"), 1),
                               Preset(env, WL("C"), 1), Preset(env, WL("A"), 1)});
    list.current = 2;  // B
    ApplyOrder(list, {{WL("gone"), 0}, {WL("A"), 1}, {WL("C"), 1}, {WL("A"), 1}, {WL("D"), 1}});
    ASSERT_EQ(5u, list.Count());
    EXPECT_EQ(WL("A"), list.entries[0].Name());
    EXPECT_EQ(1u, list.entries[0].scope);  // told apart by the scope
    EXPECT_EQ(WL("C"), list.entries[1].Name());
    // Not named (or named with the wrong scope): in their old order.
    EXPECT_EQ(WL("D"), list.entries[2].Name());
    EXPECT_EQ(WL("A"), list.entries[3].Name());
    EXPECT_EQ(0u, list.entries[3].scope);
    EXPECT_EQ(WL("B"), list.entries[4].Name());
    EXPECT_EQ(4, list.current);  // the selection follows its entry
}

// ---- Names ----

TEST(PresetNames, LimitsAndScopes) {
    const PresetEnvironment env = Env();
    EasySetHeader h = MakeHeader(env, WString(32, u'x'), WString(300, u'c'), 0, 0, 0);
    EXPECT_EQ(31u, WLenBounded(h.name, 32));
    EXPECT_EQ(255u, WLenBounded(h.comment, 256));
    h = MakeHeader(env, WString(31, u'y'), WL(""), 0, 0, 0);
    EXPECT_EQ(31u, WLenBounded(h.name, 32));
    EasySetList list = ListOf({Preset(env, WL("Twice"), 0), Preset(env, WL("Twice"), 0), Preset(env, WL("Twice"), 1),
                               Preset(env, WL(""), 1)});
    EXPECT_EQ(0, list.Find(WL("Twice"), 0));
    EXPECT_EQ(2, list.Find(WL("Twice"), 1));
    EXPECT_EQ(3, list.Find(WL(""), 1));
    EXPECT_EQ(-1, list.Find(WL("twice"), 0));  // names compare exactly
    // An entry without a valid header is refused.
    EasySetEntry bad = Preset(env, WL("Bad"), 0);
    bad.header.magic = 0;
    EXPECT_FALSE(list.Add(bad));
}

TEST(PresetNames, RoomToSave) {
    const PresetEnvironment env = Env();
    EasySetList list;
    EasySetEntry shared = Preset(env, WL("S"), 0), personal = Preset(env, WL("P"), 1);
    for (int i = 0; i < 19; ++i) list.Add(personal);
    EXPECT_TRUE(HasRoomToSave(list, false));
    list.Add(personal);
    EXPECT_FALSE(HasRoomToSave(list, false));  // 20 per-user presets
    EXPECT_TRUE(HasRoomToSave(list, true));
    for (int i = 0; i < 29; ++i) list.Add(shared);
    EXPECT_TRUE(HasRoomToSave(list, true));    // 49 entries
    list.Add(shared);
    EXPECT_FALSE(HasRoomToSave(list, true));   // 50
}


TEST(PresetNames, TheSaveDialogsRules) {
    const PresetEnvironment env = Env();
    EasySetList list;
    EasySetEntry def = Preset(env, WL("Default"), 0);
    def.isDefault = 1;
    list.Add(def);
    // An administering user: ticked and free; others: cleared and disabled.
    EXPECT_TRUE(SaveSharedBox(list, true).checked && SaveSharedBox(list, true).enabled);
    EXPECT_FALSE(SaveSharedBox(list, false).checked || SaveSharedBox(list, false).enabled);
    EXPECT_EQ(NameCheck::Empty, CheckNewName(list, WL(""), 1));
    EXPECT_EQ(NameCheck::Duplicate, CheckNewName(list, WL("Default"), 0));
    EXPECT_EQ(NameCheck::Ok, CheckNewName(list, WL("Default"), 1));
    // 20 per-user presets: the box ticked and disabled (only shared saves remain).
    for (int i = 0; i < 20; ++i) list.Add(Small(env, WFormatString(WL("P%d"), i), 1));
    for (EasySetEntry& e : list.entries)
        if (!e.isDefault) e.scope = 1;
    SharedBox box = SaveSharedBox(list, true);
    EXPECT_TRUE(box.checked);
    EXPECT_FALSE(box.enabled);
    // 30 shared ones (with Default): cleared and disabled.
    EasySetList full;
    full.Add(def);
    for (int i = 0; i < 29; ++i) full.Add(Small(env, WFormatString(WL("S%d"), i), 1));
    box = SaveSharedBox(full, true);
    EXPECT_FALSE(box.checked);
    EXPECT_FALSE(box.enabled);
}


TEST(PresetNames, TheEditDialogsRules) {
    const PresetEnvironment env = Env();
    EditSession edit;
    EasySetEntry def = Small(env, WL("Default"), 1);
    def.isDefault = 1;
    def.header.builtIn = 1;
    EasySetEntry factory = Small(env, WL("Eco"), 2);
    factory.header.builtIn = 1;
    EasySetEntry shared = Small(env, WL("Team"), 3);
    EasySetEntry mine = Small(env, WL("Mine"), 4);
    mine.scope = 1;
    EasySetEntry other = Small(env, WL("Other"), 5);
    other.scope = 1;
    for (const EasySetEntry& e : {def, factory, shared, mine, other}) edit.list.Add(e);
    edit.list.current = 4;
    // Built-in entries are not edited; shared ones only by an administering user.
    EXPECT_FALSE(edit.CanEdit(0) || edit.CanEdit(1) || edit.CanEdit(2));
    EXPECT_TRUE(edit.CanEdit(3));
    EXPECT_FALSE(edit.CanDelete(0) || edit.CanDelete(2));
    EXPECT_TRUE(edit.CanDelete(3));
    EXPECT_EQ(18, edit.Remaining());
    edit.canAdminister = true;
    EXPECT_TRUE(edit.CanEdit(2) && edit.CanDelete(1));
    EXPECT_EQ(18 + 27, edit.Remaining());

    // Names: empty and a name of the same scope refused; the other scope's is free.
    EXPECT_EQ(NameCheck::Empty, edit.Commit(3, WL(""), WL(""), 1));
    EXPECT_EQ(NameCheck::Duplicate, edit.Commit(3, WL("Other"), WL(""), 1));
    EXPECT_EQ(WL("Mine"), edit.list.entries[3].Name());
    EXPECT_EQ(NameCheck::Ok, edit.Commit(3, WL("Team"), WL("now"), 1));
    EXPECT_EQ(WL("Team"), edit.list.entries[3].Name());
    EXPECT_EQ(WL("now"), edit.list.entries[3].Comment());
    SettingsDoc doc = EntryDocument(edit.list.entries[3]);  // the text carries the new header
    EasySetHeader h{};
    ASSERT_TRUE(ReadHeader(doc, h));
    EXPECT_EQ(WL("Team"), WString(h.name));
    // Made shared: the shared Team is there already.
    EXPECT_EQ(NameCheck::Duplicate, edit.Commit(3, WL("Team"), WL("now"), 0));
    EXPECT_EQ(NameCheck::Ok, edit.Commit(3, WL("Team 2"), WL("now"), 0));
    EXPECT_EQ(0u, edit.list.entries[3].scope);
    // A user who may not administer cannot make one shared: the scope stays.
    edit.canAdminister = false;
    EXPECT_EQ(NameCheck::Ok, edit.Commit(4, WL("Other"), WL(""), 0));
    EXPECT_EQ(1u, edit.list.entries[4].scope);

    // Moves stop at the ends; the selection follows its entry.
    EXPECT_EQ(-1, edit.Move(0, true));
    EXPECT_EQ(3, edit.Move(4, true));
    EXPECT_EQ(3, edit.list.current);
    EXPECT_EQ(-1, edit.Move(4, false));
    // Deleting selects the entry now at that place, or the last one.
    edit.canAdminister = true;
    EXPECT_EQ(3, edit.Delete(3));
    EXPECT_EQ(-1, edit.list.current);
    EXPECT_EQ(2, edit.Delete(3));  // the last one: the one now last
    EXPECT_EQ(3u, edit.list.Count());
    EXPECT_EQ(0, edit.Delete(0));  // the Default entry stays
    EXPECT_EQ(3u, edit.list.Count());
}

// ---- Building the list and applying ----

class PresetListTest : public ::testing::Test {
protected:
    void SetUp() override {
        env_ = Env();
        ctx_.env = &env_;
        defaults_ = Template();
    }
    PresetEnvironment env_;
    ApplyContext ctx_;
    OEMDEV defaults_;
};

TEST_F(PresetListTest, DefaultEntryFromDefaultsOrDefaultEasySet) {
    ListSources sources;
    sources.defaults = &defaults_;
    OEMDEV record = defaults_;
    SetRecordPreset(record, kKindDefault, WL(""));
    EasySetList list;
    ASSERT_TRUE(BuildList(sources, record, ctx_, &list));
    ASSERT_EQ(1u, list.Count());
    const EasySetEntry& def = list.entries[0];
    EXPECT_EQ(1u, def.isDefault);
    EXPECT_EQ(1, def.header.builtIn);
    EXPECT_EQ(WL("Default"), def.Name());
    EXPECT_EQ(0, list.current);  // the record is the defaults: Default is selected

    // "DefaultEasySet": its settings, with a new header (name Default, empty comment).
    OEMDEV setup = defaults_;
    settings::SetNumber(setup, "nCopies", 42);
    EasySetEntry made;
    ASSERT_TRUE(MakeEntry(env_, setup, MakeHeader(env_, WL("DD-SETTING"), WL("setup"), 0, 0, 0), 0, &made));
    sources.defaultText = &made.text;
    ASSERT_TRUE(BuildList(sources, record, ctx_, &list));
    EXPECT_EQ(WL("Default"), list.entries[0].Name());
    EXPECT_EQ(WL(""), list.entries[0].Comment());
    EXPECT_EQ(-1, list.current);  // the record has 1 copy, the Default entry 42
    OEMDEV applied = defaults_;
    ApplyEntry(list.entries[0], applied, ctx_);
    EXPECT_EQ(42, settings::GetNumber(applied, "nCopies"));
    EXPECT_EQ(kKindDefault, RecordPresetKind(applied));
    // The entry's text carries the new header.
    SettingsDoc doc = EntryDocument(list.entries[0]);
    EasySetHeader h{};
    ASSERT_TRUE(ReadHeader(doc, h));
    EXPECT_EQ(WL("Default"), WString(h.name));

    // Neither source: no list.
    ListSources none;
    EXPECT_FALSE(BuildList(none, record, ctx_, &list));
    EXPECT_EQ(0u, list.Count());
}

TEST_F(PresetListTest, StoresOrderAndSelection) {
    MemoryValues shared, personal;
    EasySetList stored = ListOf({Preset(env_, WL("Draft"), 0, 2), Preset(env_, WL("Eco"), 0, 3),
                                 Preset(env_, WL("Mine"), 1, 4), Preset(env_, WL("Eco"), 1, 5)});
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(shared, stored, 0));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(personal, stored, 1));
    EasySetList ordered = ListOf({Preset(env_, WL("Eco"), 1), Preset(env_, WL("Gone"), 0),
                                  Preset(env_, WL("Default"), 0), Preset(env_, WL("Draft"), 0)});
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetOrder(personal, ordered));

    ListSources sources;
    sources.shared = &shared;
    sources.personal = &personal;
    sources.defaults = &defaults_;
    OEMDEV record = defaults_;
    settings::SetNumber(record, "nCopies", 5);
    SetRecordPreset(record, kKindPersonal, WL("Eco"));
    EasySetList list;
    ASSERT_TRUE(BuildList(sources, record, ctx_, &list));
    ASSERT_EQ(5u, list.Count());
    EXPECT_EQ(WL("Eco"), list.entries[0].Name());
    EXPECT_EQ(1u, list.entries[0].scope);
    EXPECT_EQ(1u, list.entries[1].isDefault);
    EXPECT_EQ(WL("Draft"), list.entries[2].Name());
    EXPECT_EQ(WL("Eco"), list.entries[3].Name());
    EXPECT_EQ(0u, list.entries[3].scope);
    EXPECT_EQ(WL("Mine"), list.entries[4].Name());
    EXPECT_EQ(0, list.current);  // the per-user Eco: 5 copies as the record

    // The same name and kind, but another setting: nothing selected.
    settings::SetNumber(record, "nCopies", 6);
    ASSERT_TRUE(BuildList(sources, record, ctx_, &list));
    EXPECT_EQ(-1, list.current);
    // The shared Eco has 3 copies.
    settings::SetNumber(record, "nCopies", 3);
    SetRecordPreset(record, kKindShared, WL("Eco"));
    ASSERT_TRUE(BuildList(sources, record, ctx_, &list));
    EXPECT_EQ(3, list.current);
}

TEST_F(PresetListTest, StoredListsAreKeptWithinTheirLimits) {
    MemoryValues shared, personal;
    EasySetList many;
    EasySetEntry s = Preset(env_, WL("S"), 0), p = Preset(env_, WL("P"), 1);
    for (int i = 0; i < 40; ++i) many.Add(s);
    for (int i = 0; i < 30; ++i) many.Add(p);
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(shared, many, 0));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WritePresetStore(personal, many, 1));
    ListSources sources{&shared, &personal, nullptr, &defaults_};
    EasySetList list;
    ASSERT_TRUE(BuildList(sources, defaults_, ctx_, &list));
    EXPECT_EQ(30u, list.CountScope(0));  // the Default entry and 29 shared
    EXPECT_EQ(20u, list.CountScope(1));
    EXPECT_EQ(50u, list.Count());
}

TEST_F(PresetListTest, ApplyingHonoursTheContentOptions) {
    OEMDEV saved = defaults_;
    settings::SetNumber(saved, "nOrientation", 2);
    settings::SetNumber(saved, "rcMargin.left", 99);
    settings::SetNumber(saved, "byResolution", 1);
    settings::SetNumber(saved, "nCopies", 7);
    settings::SetNumber(saved, "bScaleAuto", 0);
    WatermarkLists presetLists;
    presetLists.personal.resize(2);
    presetLists.shared.resize(3);
    presetLists.order.resize(1);
    for (auto& r : presetLists.personal) r.fill(0), r[0] = 'K', r[32] = 'T';
    for (auto& r : presetLists.shared) r.fill(0), r[32] = 'S';
    presetLists.order[0].fill(0);
    env_.lists = presetLists;

    for (int options = 0; options < 16; ++options) {
        PresetEnvironment env = env_;
        for (size_t b = 0; b < 4; ++b) env.options[b] = (options >> b) & 1;
        EasySetEntry e;
        ASSERT_TRUE(MakeEntry(env, saved, MakeHeader(env, WL("All"), WL(""), 0, 0, 0), 1, &e));
        for (bool admin : {false, true}) {
            OEMDEV record = defaults_;
            WatermarkLists sheet;
            sheet.personal.resize(1);
            sheet.personal[0].fill(0);
            ApplyContext ctx = ctx_;
            ctx.lists = &sheet;
            ctx.canAdminister = admin;
            EXPECT_TRUE(ApplyEntry(e, record, ctx)) << options;
            // Always applied.
            EXPECT_EQ(7, settings::GetNumber(record, "nCopies"));
            EXPECT_EQ(kKindPersonal, RecordPresetKind(record));
            EXPECT_EQ(WL("All"), RecordPresetName(record));
            const bool paper = options & 2, resolution = options & 1, marks = options & 4, sharedMarks = options & 8;
            EXPECT_EQ(paper ? 2 : 1, settings::GetNumber(record, "nOrientation")) << options;
            EXPECT_EQ(paper ? 99 : settings::GetNumber(defaults_, "rcMargin.left"),
                      settings::GetNumber(record, "rcMargin.left"));
            EXPECT_EQ(resolution ? 1 : settings::GetNumber(defaults_, "byResolution"),
                      settings::GetNumber(record, "byResolution"));
            EXPECT_EQ(marks ? 2u : 1u, sheet.personal.size()) << options;
            EXPECT_EQ(marks && sharedMarks && admin ? 3u : 0u, sheet.shared.size()) << options << admin;
        }
    }
}

TEST_F(PresetListTest, DefaultEntryKeepsTheSheetsOutputAndAuthentication) {
    OEMDEV start = defaults_;
    settings::SetNumber(start, "nOutputMethod", 3);
    settings::SetNumber(start, "bUserAuth", 1);
    settings::SetNumber(start, "bAccountTrack", 1);
    ListSources sources;
    sources.defaults = &defaults_;
    EasySetList list;
    ASSERT_TRUE(BuildList(sources, start, ctx_, &list));
    OEMDEV record = start;
    ApplyContext ctx = ctx_;
    ctx.startSettings = &start;
    settings::SetNumber(record, "nCopies", 9);
    ApplyEntry(list.entries[0], record, ctx);
    EXPECT_EQ(1, settings::GetNumber(record, "nCopies"));
    EXPECT_EQ(3, settings::GetNumber(record, "nOutputMethod"));
    EXPECT_EQ(1, settings::GetNumber(record, "bUserAuth"));
    EXPECT_EQ(1, settings::GetNumber(record, "bAccountTrack"));
    EXPECT_EQ(kKindDefault, RecordPresetKind(record));
    EXPECT_EQ(WL("Default"), RecordPresetName(record));
}

TEST_F(PresetListTest, SelectionGoesToUntitledAndBack) {
    EasySetList list;
    ListSources sources;
    sources.defaults = &defaults_;
    OEMDEV record = defaults_;
    ASSERT_TRUE(BuildList(sources, record, ctx_, &list));
    list.Add(Preset(env_, WL("Three"), 1, 3));
    ApplyEntry(list.entries[1], record, ctx_);
    list.current = 1;
    FollowSettings(list, record, ctx_);
    EXPECT_EQ(1, list.current);
    // A covered setting changes: Untitled (kind 3, no name).
    settings::SetNumber(record, "nCopies", 4);
    FollowSettings(list, record, ctx_);
    EXPECT_EQ(-1, list.current);
    EXPECT_EQ(kKindNone, RecordPresetKind(record));
    EXPECT_EQ(WL(""), RecordPresetName(record));
    // Another change that leaves it Untitled keeps it so.
    settings::SetNumber(record, "nOrientation", 2);
    FollowSettings(list, record, ctx_);
    EXPECT_EQ(-1, list.current);
    // Changed back: the preset is shown again, and the record names it.
    settings::SetNumber(record, "nOrientation", 1);
    settings::SetNumber(record, "nCopies", 3);
    FollowSettings(list, record, ctx_);
    EXPECT_EQ(1, list.current);
    EXPECT_EQ(kKindPersonal, RecordPresetKind(record));
    EXPECT_EQ(WL("Three"), RecordPresetName(record));
    // A sheet opening on Untitled settings that equal no named preset selects nothing.
    EasySetList fresh;
    SetRecordPreset(record, kKindNone, WL(""));
    ASSERT_TRUE(BuildList(sources, record, ctx_, &fresh));
    EXPECT_EQ(-1, fresh.current);
}

}  // namespace
