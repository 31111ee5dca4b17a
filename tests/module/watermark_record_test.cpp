// The watermark record and the order entry byte by byte, the built-in table, the
// display order made from stored entries, editing a set, and a stored list read
// from values in memory (wrong sizes, counts without data, texts without their
// terminator).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/text.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "stamps/watermark_store.h"

namespace {

using namespace nvx::stamps;
using Bytes = std::vector<BYTE>;

// Values in memory, as a registry key would answer them.
class MemorySource final : public ValueSource {
public:
    struct Value {
        DWORD type;
        Bytes data;
    };
    std::map<nvx::WString, Value> values;
    mutable int queries = 0;

    void Put(const WCHAR* name, DWORD type, Bytes data) { values[name] = {type, std::move(data)}; }
    void PutCount(uint32_t count) {
        Bytes b(4);
        nvx::PutLE32(b.data(), count);
        Put(kWatermarkCountValue, REG_DWORD, b);
    }
    DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const override {
        ++queries;
        auto it = values.find(name);
        if (it == values.end()) return ERROR_FILE_NOT_FOUND;
        if (type) *type = it->second.type;
        const DWORD n = static_cast<DWORD>(it->second.data.size());
        if (size) *size = n;
        if (n > capacity) return ERROR_MORE_DATA;
        if (n) std::memcpy(data, it->second.data.data(), n);
        return ERROR_SUCCESS;
    }
};

Bytes BytesOf(const WatermarkRecord& r) {
    auto s = EncodeWatermark(r);
    return Bytes(s.begin(), s.end());
}

WatermarkRecord UserMark(const WCHAR* title, const char* key = "") {
    WatermarkRecord r{};
    SetWatermarkTexts(&r, key, title, title, WL("Arial"));
    r.wSize = 72;
    return r;
}

nvx::WString Title(const WatermarkRecord& r) {
    return nvx::stamps::FieldText(r.szWmkTitle, sizeof r.szWmkTitle);
}

bool AnyFace(const WCHAR*) { return true; }
bool NoFace(const WCHAR*) { return false; }

TEST(WatermarkRecordTest, FieldsLieWhereTheStoredBytesPutThem) {
    // Written by offset, not by field name: a reordered or padded record would
    // read other values.
    Bytes raw(449, 0);
    std::memcpy(raw.data(), "WM_042", 6);
    raw[32] = 'T';
    raw[96] = 'S';
    raw[354] = 'F';
    nvx::PutLE16(raw.data() + 418, 0xFFFE);      // nStyle -2
    nvx::PutLE16(raw.data() + 420, 300);         // wSize
    nvx::PutLE32(raw.data() + 422, 0x00112233);  // crColor
    nvx::PutLE16(raw.data() + 426, 0xFFD3);      // nAngle -45
    nvx::PutLE32(raw.data() + 428, 0xFFFFFFDC);  // -36
    nvx::PutLE32(raw.data() + 432, 28);
    nvx::PutLE32(raw.data() + 436, 5);
    nvx::PutLE32(raw.data() + 440, 0xFFFFFFFF);
    nvx::PutLE16(raw.data() + 444, 3);
    raw[446] = 1;
    raw[447] = 0;
    raw[448] = 1;
    WatermarkRecord r;
    ASSERT_TRUE(DecodeWatermark(raw.data(), raw.size(), &r));
    EXPECT_STREQ("WM_042", r.szKey);
    EXPECT_EQ(u'T', +r.szWmkTitle[0]);
    EXPECT_EQ(u'S', +r.szWmkStr[0]);
    EXPECT_EQ(u'F', +r.szFontName[0]);
    EXPECT_EQ(-2, +r.nStyle);
    EXPECT_EQ(300, +r.wSize);
    EXPECT_EQ(0x00112233u, +r.crColor);
    EXPECT_EQ(-45, +r.nAngle);
    EXPECT_EQ(-36, +r.ptWmkPosX);
    EXPECT_EQ(28, +r.ptWmkPosY);
    EXPECT_EQ(5, +r.ptStrPosX);
    EXPECT_EQ(-1, +r.ptStrPosY);
    EXPECT_EQ(3, +r.wFrame);
    EXPECT_EQ(1, +r.bBkGrnd);
    EXPECT_EQ(0, +r.bFstPg);
    EXPECT_EQ(1, +r.bMultiStamp);
    EXPECT_EQ(raw, BytesOf(r));

    Bytes order(100, 0);
    std::memcpy(order.data(), "WM_001", 6);
    nvx::PutLE32(order.data() + 32, 1);
    order[36] = 'C';
    WatermarkOrderRecord o;
    ASSERT_TRUE(DecodeOrderRecord(order.data(), order.size(), &o));
    EXPECT_STREQ("WM_001", o.szKey);
    EXPECT_EQ(1u, +o.bPublic);
    EXPECT_EQ(u'C', +o.szName[0]);
    auto back = EncodeOrderRecord(o);
    EXPECT_EQ(order, Bytes(back.begin(), back.end()));
}

TEST(WatermarkRecordTest, TheSettingsRecordHoldsTheSameLayout) {
    const char* names[] = {"WmkInfo.szKey", "WmkInfo.szWmkTitle", "WmkInfo.szWmkStr", "WmkInfo.szFontName",
                           "WmkInfo.nStyle", "WmkInfo.wSize", "WmkInfo.crColor", "WmkInfo.nAngle",
                           "WmkInfo.ptWmkPos.x", "WmkInfo.ptWmkPos.y", "WmkInfo.ptStrPOS.x", "WmkInfo.ptStrPOS.y",
                           "WmkInfo.wFrame", "WmkInfo.bBkGrnd", "WmkInfo.bFstPg", "WmkInfo.bMultiStamp"};
    const size_t offsets[] = {0, 32, 96, 354, 418, 420, 422, 426, 428, 432, 436, 440, 444, 446, 447, 448};
    for (size_t i = 0; i < std::size(names); ++i) {
        auto f = nvx::settings::FindField(names[i]);
        ASSERT_TRUE(f) << names[i];
        EXPECT_EQ(kRecordWatermarkOffset + offsets[i], f.Offset()) << names[i];
    }
}

TEST(WatermarkRecordTest, TextsWithoutTheirTerminatorAreRefused) {
    WatermarkRecord good = UserMark(WL("Mine"));
    Bytes raw = BytesOf(good);
    WatermarkRecord out = UserMark(WL("Untouched"));
    EXPECT_FALSE(DecodeWatermark(raw.data(), 448, &out));
    Bytes longer = raw;
    longer.push_back(0);
    EXPECT_FALSE(DecodeWatermark(longer.data(), longer.size(), &out));
    struct Field {
        size_t at, bytes;
    };
    for (Field f : {Field{0, 32}, Field{32, 64}, Field{96, 258}, Field{354, 64}}) {
        Bytes bad = raw;
        std::memset(bad.data() + f.at, 'A', f.bytes);  // every unit non-zero
        EXPECT_FALSE(DecodeWatermark(bad.data(), bad.size(), &out)) << f.at;
        // One terminator at the field's very end is enough.
        bad[f.at + f.bytes - 1] = 0;
        if (f.at != 0) bad[f.at + f.bytes - 2] = 0;
        EXPECT_TRUE(DecodeWatermark(bad.data(), bad.size(), &out)) << f.at;
    }
    EXPECT_FALSE(DecodeOrderRecord(Bytes(99).data(), 99, nullptr));
    Bytes order(100, 'x');
    WatermarkOrderRecord o;
    EXPECT_FALSE(DecodeOrderRecord(order.data(), order.size(), &o));
}

TEST(WatermarkRecordTest, TheSixBuiltins) {
    std::vector<WatermarkRecord> b = BuiltinWatermarks(WL("Arial"));
    ASSERT_EQ(6u, b.size());
    struct Row {
        const char* key;
        const WCHAR* title;
        const WCHAR* text;
        int style, size, angle, x, y, frame;
    };
    const Row rows[] = {
        {"WM_001", WL("CONFIDENTIAL"), WL("Confidential"), 1, 200, 0, 0, 0, 2},
        {"WM_002", WL("TOP SECRET"), WL("Top Secret"), 3, 48, 0, 28, -36, 3},
        {"WM_003", WL("COPY"), WL("Copy"), 3, 48, 0, 28, -36, 3},
        {"WM_004", WL("DO NOT COPY"), WL("Do Not Copy"), 3, 48, -45, 50, -50, 3},
        {"WM_005", WL("DRAFT"), WL("Draft"), 1, 114, 45, 0, 0, 1},
        {"WM_006", WL("FINAL"), WL("Final"), 1, 88, 45, 0, 0, 1},
    };
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(rows[i].key);
        const WatermarkRecord& r = b[i];
        EXPECT_STREQ(rows[i].key, r.szKey);
        EXPECT_EQ(nvx::WString(rows[i].title), Title(r));
        EXPECT_EQ(nvx::WString(rows[i].text), nvx::stamps::FieldText(r.szWmkStr, sizeof r.szWmkStr));
        EXPECT_EQ(nvx::WString(WL("Arial")), nvx::stamps::FieldText(r.szFontName, sizeof r.szFontName));
        EXPECT_EQ(rows[i].style, +r.nStyle);
        EXPECT_EQ(rows[i].size, +r.wSize);
        EXPECT_EQ(255u, +r.crColor);
        EXPECT_EQ(rows[i].angle, +r.nAngle);
        EXPECT_EQ(rows[i].x, +r.ptWmkPosX);
        EXPECT_EQ(rows[i].y, +r.ptWmkPosY);
        EXPECT_EQ(0, +r.ptStrPosX);
        EXPECT_EQ(0, +r.ptStrPosY);
        EXPECT_EQ(rows[i].frame, +r.wFrame);
        EXPECT_EQ(1, +r.bBkGrnd);
        EXPECT_EQ(0, +r.bFstPg);
        EXPECT_EQ(0, +r.bMultiStamp);
        // Every byte behind a text's terminator is zero: the stored bytes are stable.
        EXPECT_EQ(0, +r.szWmkStr[128]);
    }
}

TEST(WatermarkRecordTest, OrderMatching) {
    WatermarkRecord builtin = BuiltinWatermarks(WL("Arial"))[0];
    WatermarkRecord mine = UserMark(WL("CONFIDENTIAL"));
    WatermarkOrderRecord byKey = MakeOrderRecord(builtin, true);
    EXPECT_STREQ("WM_001", byKey.szKey);
    EXPECT_EQ(1u, byKey.bPublic);
    EXPECT_EQ(nvx::WString(WL("CONFIDENTIAL")), nvx::stamps::FieldText(byKey.szName, sizeof byKey.szName));
    EXPECT_TRUE(OrderMatches(byKey, builtin));
    EXPECT_FALSE(OrderMatches(byKey, mine));  // a key on one side only: no match, whatever the title
    WatermarkOrderRecord byTitle = MakeOrderRecord(mine, false);
    EXPECT_FALSE(OrderMatches(byTitle, builtin));
    EXPECT_TRUE(OrderMatches(byTitle, mine));
    WatermarkRecord renamed = builtin;
    nvx::stamps::PutFieldText(renamed.szWmkTitle, sizeof renamed.szWmkTitle, WL("Secret"));
    EXPECT_TRUE(OrderMatches(byKey, renamed));  // the key decides
}

TEST(WatermarkRecordTest, TheOrderDropsDeletedEntriesAndAppendsTheMissing) {
    std::vector<WatermarkRecord> shared = BuiltinWatermarks(WL("Arial"));
    shared.resize(3);  // WM_001 .. WM_003
    std::vector<WatermarkRecord> personal = {UserMark(WL("Mine")), UserMark(WL("Yours"))};
    WatermarkRecord gone = UserMark(WL("Deleted"));
    std::vector<WatermarkOrderRecord> stored = {MakeOrderRecord(personal[1], false), MakeOrderRecord(gone, false),
                                                MakeOrderRecord(shared[2], true),
                                                MakeOrderRecord(personal[0], true)};  // wrong kind: dropped
    std::vector<WatermarkOrderRecord> order = CompleteOrder(stored, shared, personal);
    ASSERT_EQ(5u, order.size());
    EXPECT_EQ(nvx::WString(WL("Yours")), nvx::stamps::FieldText(order[0].szName, sizeof order[0].szName));
    EXPECT_STREQ("WM_003", order[1].szKey);
    // Missing ones after the ordered ones, shared first.
    EXPECT_STREQ("WM_001", order[2].szKey);
    EXPECT_STREQ("WM_002", order[3].szKey);
    EXPECT_EQ(nvx::WString(WL("Mine")), nvx::stamps::FieldText(order[4].szName, sizeof order[4].szName));
    EXPECT_EQ(0u, order[4].bPublic);
}

TEST(WatermarkRecordTest, TwoWatermarksOfOneTitleBothMatchTheFirstEntry) {
    std::vector<WatermarkRecord> personal = {UserMark(WL("Same")), UserMark(WL("Same")), UserMark(WL("Other"))};
    std::vector<WatermarkOrderRecord> stored = {MakeOrderRecord(personal[2], false),
                                                MakeOrderRecord(personal[0], false)};
    std::vector<WatermarkOrderRecord> order = CompleteOrder(stored, {}, personal);
    // Both "Same" are matched by the one entry: nothing is appended for them.
    ASSERT_EQ(2u, order.size());
    // Shown, the second entry of a title names the second watermark of that title.
    WatermarkSet set{{}, personal, {MakeOrderRecord(personal[0], false), MakeOrderRecord(personal[1], false)}};
    std::vector<ListedWatermark> listed = DisplayList(set);
    ASSERT_EQ(2u, listed.size());
    EXPECT_EQ(0u, listed[0].index);
    EXPECT_EQ(1u, listed[1].index);
}

TEST(WatermarkRecordTest, EditingASet) {
    WatermarkSet set;
    set.shared = BuiltinWatermarks(WL("Arial"));
    set.order = CompleteOrder({}, set.shared, set.personal);
    WatermarkRecord mine = UserMark(WL("Mine"), "WM_001");  // a user's watermark never keeps a key
    EXPECT_EQ(EditResult::Done, AddWatermark(&set, mine, false));
    EXPECT_STREQ("", set.personal[0].szKey);
    EXPECT_EQ(EditResult::DuplicateTitle, AddWatermark(&set, mine, false));
    EXPECT_EQ(EditResult::EmptyTitle, AddWatermark(&set, UserMark(WL("")), false));
    ASSERT_EQ(7u, DisplayList(set).size());

    EXPECT_EQ(EditResult::Done, MoveWatermark(&set, 6, 0));
    std::vector<ListedWatermark> listed = DisplayList(set);
    EXPECT_FALSE(listed[0].shared);
    EXPECT_STREQ("WM_001", listed[1].record->szKey);
    EXPECT_EQ(EditResult::NoSuchEntry, MoveWatermark(&set, 7, 0));
    EXPECT_EQ(EditResult::NoSuchEntry, MoveWatermark(&set, 0, 7));

    EXPECT_EQ(EditResult::Done, RemoveWatermark(&set, 2));  // WM_002
    ASSERT_EQ(5u, set.shared.size());
    listed = DisplayList(set);
    ASSERT_EQ(6u, listed.size());
    EXPECT_EQ(nvx::WString(WL("Mine")), Title(*listed[0].record));
    EXPECT_STREQ("WM_001", listed[1].record->szKey);
    EXPECT_STREQ("WM_003", listed[2].record->szKey);
    EXPECT_EQ(EditResult::NoSuchEntry, RemoveWatermark(&set, 6));

    // Twenty private watermarks fill the private list.
    for (int i = 1; i < 20; ++i)
        ASSERT_EQ(EditResult::Done, AddWatermark(&set, UserMark(nvx::WFormatString(WL("P%d"), i).c_str()),
                                                 false));
    EXPECT_EQ(EditResult::Full, AddWatermark(&set, UserMark(WL("One more")), false));
    EXPECT_EQ(EditResult::Done, AddWatermark(&set, UserMark(WL("Shared one")), true));
}

TEST(WatermarkRecordTest, TheRecordFollowsTheChosenWatermark) {
    WatermarkSet set;
    set.shared = BuiltinWatermarks(WL("Arial"));
    AddWatermark(&set, UserMark(WL("Mine")), false);
    set.order = CompleteOrder({}, set.shared, set.personal);
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    ASSERT_TRUE(ChooseWatermark(record, set, 6));
    EXPECT_EQ(6, nvx::settings::GetNumber(record, "wWmkListPos"));
    EXPECT_EQ(nvx::WString(WL("Mine")), nvx::settings::GetText(record, nvx::settings::FindField("WmkInfo.szWmkTitle")));
    EXPECT_EQ(72, nvx::settings::GetNumber(record, "WmkInfo.wSize"));
    EXPECT_FALSE(ChooseWatermark(record, set, 7));

    // Moved to the front: the position follows it, the record's watermark stays.
    MoveWatermark(&set, 6, 0);
    EXPECT_TRUE(FollowChosenWatermark(record, set));
    EXPECT_EQ(0, nvx::settings::GetNumber(record, "wWmkListPos"));
    EXPECT_FALSE(FollowChosenWatermark(record, set));

    // Removed: the first watermark is chosen, position and fields together.
    ASSERT_TRUE(ChooseWatermark(record, set, 3));  // WM_003
    RemoveWatermark(&set, 3);
    EXPECT_TRUE(FollowChosenWatermark(record, set));
    EXPECT_EQ(0, nvx::settings::GetNumber(record, "wWmkListPos"));
    EXPECT_EQ(nvx::WString(WL("Mine")), nvx::settings::GetText(record, nvx::settings::FindField("WmkInfo.szWmkTitle")));

    // A position past the list, with a watermark no list holds, goes to 0.
    WatermarkSet empty;
    nvx::settings::SetNumber(record, "wWmkListPos", 40);
    EXPECT_TRUE(FollowChosenWatermark(record, empty));
    EXPECT_EQ(0, nvx::settings::GetNumber(record, "wWmkListPos"));
}

TEST(WatermarkRecordTest, ListPositionsAreFixedAfterTheListsChanged) {
    using nvx::settings::GetNumber;
    using nvx::settings::SetNumber;
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    // No forms: the overlay goes off; a watermark position inside the lists stays.
    SetNumber(record, "bOverlay", 1);
    SetNumber(record, "nFormListPos", 3);
    SetNumber(record, "nOverlay_Switch_op", 2);
    SetNumber(record, "wWmkListPos", 5);
    EXPECT_FALSE(FixListPositions(record, 0, 6, 0));
    EXPECT_EQ(0, GetNumber(record, "bOverlay"));
    EXPECT_EQ(-1, GetNumber(record, "nFormListPos"));
    EXPECT_EQ(0, GetNumber(record, "nOverlay_Switch_op"));
    EXPECT_EQ(5, GetNumber(record, "wWmkListPos"));
    SetNumber(record, "nOverlay_Switch_op", 1);
    FixListPositions(record, 0, 6, 0);
    EXPECT_EQ(1, GetNumber(record, "nOverlay_Switch_op"));
    // Forms listed: a position outside them becomes 0; the watermark position past
    // the lists becomes 0 and is reported.
    SetNumber(record, "nFormListPos", 2);
    EXPECT_TRUE(FixListPositions(record, 2, 3, 2));
    EXPECT_EQ(0, GetNumber(record, "nFormListPos"));
    EXPECT_EQ(0, GetNumber(record, "wWmkListPos"));
    SetNumber(record, "nFormListPos", 1);
    SetNumber(record, "wWmkListPos", 4);
    EXPECT_FALSE(FixListPositions(record, 2, 3, 2));
    EXPECT_EQ(1, GetNumber(record, "nFormListPos"));
    EXPECT_EQ(4, GetNumber(record, "wWmkListPos"));
    EXPECT_TRUE(FixListPositions(record, 2, 0, 0)) << "no watermarks at all";
}

TEST(WatermarkRecordTest, FontsTheDisplayLacksBecomeTheDefault) {
    WatermarkRecord r = UserMark(WL("Mine"));
    nvx::stamps::PutFieldText(r.szFontName, sizeof r.szFontName, WL("Nowhere Sans"));
    EXPECT_FALSE(CheckWatermarkFont(&r, AnyFace, WL("Arial")));
    EXPECT_EQ(nvx::WString(WL("Nowhere Sans")), nvx::stamps::FieldText(r.szFontName, sizeof r.szFontName));
    EXPECT_TRUE(CheckWatermarkFont(&r, NoFace, WL("Arial")));
    EXPECT_EQ(nvx::WString(WL("Arial")), nvx::stamps::FieldText(r.szFontName, sizeof r.szFontName));
    EXPECT_EQ(0, +r.szFontName[6]);  // the old name's rest is cleared
}

// ---- Stored lists read from memory ----

TEST(WatermarkListReadTest, AWholeListReads) {
    MemorySource s;
    std::vector<WatermarkRecord> b = BuiltinWatermarks(WL("Arial"));
    s.PutCount(6);
    for (size_t i = 0; i < 6; ++i) s.Put(kWatermarkNames.Name(uint32_t(i)).c_str(), REG_BINARY, BytesOf(b[i]));
    std::vector<WatermarkRecord> out;
    EXPECT_TRUE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
    ASSERT_EQ(6u, out.size());
    EXPECT_EQ(BytesOf(b[5]), BytesOf(out[5]));
    // Faces the display lacks are replaced on reading.
    EXPECT_TRUE(ReadWatermarkList(s, kMaxSharedWatermarks, NoFace, WL("Courier"), &out));
    EXPECT_EQ(nvx::WString(WL("Courier")), nvx::stamps::FieldText(out[0].szFontName, sizeof out[0].szFontName));
    // No count: an empty list, not a damaged one.
    MemorySource none;
    EXPECT_TRUE(ReadWatermarkList(none, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
    EXPECT_TRUE(out.empty());
}

TEST(WatermarkListReadTest, DamagedListsReadAsEmpty) {
    std::vector<WatermarkRecord> b = BuiltinWatermarks(WL("Arial"));
    auto whole = [&] {
        MemorySource s;
        s.PutCount(6);
        for (size_t i = 0; i < 6; ++i) s.Put(kWatermarkNames.Name(uint32_t(i)).c_str(), REG_BINARY, BytesOf(b[i]));
        return s;
    };
    std::vector<WatermarkRecord> out;
    {   // the third value one byte short
        MemorySource s = whole();
        Bytes shortValue = BytesOf(b[2]);
        shortValue.pop_back();
        s.Put(WL("WaterMark3"), REG_BINARY, shortValue);
        EXPECT_FALSE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_TRUE(out.empty());
    }
    {   // one byte long
        MemorySource s = whole();
        Bytes longValue = BytesOf(b[2]);
        longValue.push_back(0);
        s.Put(WL("WaterMark3"), REG_BINARY, longValue);
        EXPECT_FALSE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_TRUE(out.empty());
    }
    {   // a count larger than its data
        MemorySource s = whole();
        s.PutCount(7);
        EXPECT_FALSE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_TRUE(out.empty());
    }
    {   // a huge count is refused without reading value after value
        MemorySource s = whole();
        s.PutCount(0xFFFFFFFFu);
        EXPECT_FALSE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_LT(s.queries, 3);
    }
    {   // a title without its terminator
        MemorySource s = whole();
        Bytes bad = BytesOf(b[4]);
        for (size_t i = 32; i < 96; i += 2) bad[i] = 'X';
        s.Put(WL("WaterMark5"), REG_BINARY, bad);
        EXPECT_FALSE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_TRUE(out.empty());
    }
    {   // a count of the wrong size or kind is no count: an empty list
        MemorySource s = whole();
        s.Put(kWatermarkCountValue, REG_BINARY, Bytes{6, 0});
        EXPECT_TRUE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_TRUE(out.empty());
        s.Put(kWatermarkCountValue, REG_SZ, Bytes{6, 0, 0, 0});
        EXPECT_TRUE(ReadWatermarkList(s, kMaxSharedWatermarks, nullptr, WL("Arial"), &out));
        EXPECT_TRUE(out.empty());
    }
}

TEST(WatermarkListReadTest, OnlyTheFirstRecordsOfALongListAreKept) {
    MemorySource s;
    s.PutCount(25);
    for (uint32_t i = 0; i < 25; ++i)
        s.Put(kWatermarkNames.Name(i).c_str(), REG_BINARY,
              BytesOf(UserMark(nvx::WFormatString(WL("W%d"), i).c_str())));
    std::vector<WatermarkRecord> out;
    EXPECT_TRUE(ReadWatermarkList(s, kMaxPrivateWatermarks, nullptr, WL("Arial"), &out));
    ASSERT_EQ(20u, out.size());
    EXPECT_EQ(nvx::WString(WL("W19")), Title(out[19]));
    // Past the capacity the values must still be whole: a broken 25th empties the list.
    s.Put(WL("WaterMark25"), REG_BINARY, Bytes(10));
    EXPECT_FALSE(ReadWatermarkList(s, kMaxPrivateWatermarks, nullptr, WL("Arial"), &out));
}

TEST(WatermarkListReadTest, TheStoredOrderEndsAtAMissingOrBrokenEntry) {
    std::vector<WatermarkRecord> shared = BuiltinWatermarks(WL("Arial"));
    shared.resize(2);
    MemorySource s;
    auto put = [&](uint32_t n, const WatermarkOrderRecord& o) {
        auto b = EncodeOrderRecord(o);
        s.Put(kOrderNames.Name(n).c_str(), REG_BINARY, Bytes(b.begin(), b.end()));
    };
    put(0, MakeOrderRecord(shared[1], true));
    s.Put(WL("WMOrder01"), REG_BINARY, Bytes(99));  // broken: the stored order ends here
    put(2, MakeOrderRecord(shared[0], true));
    std::vector<WatermarkOrderRecord> order = ReadWatermarkOrder(s, shared, {});
    ASSERT_EQ(2u, order.size());
    EXPECT_STREQ("WM_002", order[0].szKey);
    EXPECT_STREQ("WM_001", order[1].szKey);
    // Entries for nothing are passed over, but never without end.
    MemorySource stale;
    WatermarkOrderRecord nothing = MakeOrderRecord(UserMark(WL("Gone")), false);
    auto b = EncodeOrderRecord(nothing);
    for (uint32_t i = 0; i < 1200; ++i) stale.Put(kOrderNames.Name(i).c_str(), REG_BINARY, Bytes(b.begin(), b.end()));
    order = ReadWatermarkOrder(stale, shared, {});
    EXPECT_EQ(2u, order.size());
    EXPECT_LE(stale.queries, int(kOrderScanLimit));
}

}  // namespace
