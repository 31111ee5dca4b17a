// The list loaders: text, option text, reorder, numbered string, string list and
// keyed value loads.
#include <cstring>
#include <string>
#include <vector>

#include "package_test_util.h"

using namespace nvx::model;
using pkgtest::Build;
using pkgtest::Directory;
using pkgtest::OpenBytes;
using pkgtest::Utf8;

namespace {

ControlTextRow Row(const char* key, const WCHAR* text) {
    ControlTextRow r{};
    r.ids[0] = 1000;
    std::strncpy(r.key, key, sizeof r.key - 1);
    nvx::WCopy(r.text, 64, text);
    return r;
}

// Option rows of rowSize bytes: key at +4, value at +36, display name at +48.
struct OptionTable {
    size_t rowSize;
    std::vector<uint8_t> bytes;
    OptionTable(size_t size, std::initializer_list<const char*> keys) : rowSize(size), bytes((keys.size() + 2) * size) {
        int value = 1;
        size_t i = 0;
        for (const char* k : keys) {
            uint8_t* row = bytes.data() + i++ * rowSize;
            nvx::PutLE32(row, static_cast<uint32_t>(rowSize));
            std::strcpy(reinterpret_cast<char*>(row + 4), k);
            nvx::PutLE32(row + 36, static_cast<uint32_t>(value++));
        }
        // The row after the terminator is a guard that no load may touch.
        std::memset(bytes.data() + (keys.size() + 1) * rowSize, 0xAB, rowSize);
    }
    std::string Key(size_t i) const { return reinterpret_cast<const char*>(bytes.data() + i * rowSize + 4); }
    int32_t Value(size_t i) const { return static_cast<int32_t>(nvx::GetLE32(bytes.data() + i * rowSize + 36)); }
    std::string Name(size_t i) const {
        WCHAR w[48];
        std::memcpy(w, bytes.data() + i * rowSize + 48, sizeof w);
        return Utf8(w);
    }
    uint8_t* data() { return bytes.data(); }
};

}  // namespace

TEST(PackageLists, TextLoadFillsRowsByKey) {
    auto pkg = OpenBytes(Build(Directory(R"({"name": "Property_0", "items": [
        ["ok", "Okay"], ["Unknown", "skipped"], ["TITLE", ")" + std::string(70, 'T') + R"("], ["Cancel", ""]]})")));
    ControlTextRow table[] = {Row("Title", WL("Page")), Row("OK", WL("OK")), Row("Cancel", WL("Cancel")), Row("", WL(""))};
    EXPECT_TRUE(TextLoad(*pkg, "property_0", table));
    EXPECT_EQ(Utf8(table[0].text), std::string(63, 'T'));  // cut to the 64-character field
    EXPECT_STREQ(table[0].key, "Title");                  // and the key after it intact
    EXPECT_EQ(Utf8(table[1].text), "Okay");
    EXPECT_EQ(Utf8(table[2].text), "Cancel");  // an empty value keeps the built-in text
    EXPECT_FALSE(TextLoad(*pkg, "Property_1", table));
    EXPECT_FALSE(TextLoad(*pkg, "Property_0", nullptr));
}

TEST(PackageLists, OptionTextWritesOnlyForItsKinds) {
    auto pkg = OpenBytes(Build(Directory(R"({"name": "Nup", "items": [["4up", "4 up"], ["2UP", "2 pages"],
        ["Long", ")" + std::string(60, 'n') + R"("]]})")));
    for (uint32_t kind : {1u, 2u, 4u, 13u, 15u, 61u, 258u, 259u, 260u}) {
        OptionTable t(144, {"2up", "4up", "Long"});
        EXPECT_TRUE(OptionTextLoad(*pkg, "Nup", t.data(), 144, kind)) << kind;
        EXPECT_EQ(t.Name(0), "2 pages") << kind;
        EXPECT_EQ(t.Name(1), "4 up") << kind;
        EXPECT_EQ(t.Name(2), std::string(47, 'n')) << kind;
        EXPECT_EQ(t.Value(1), 2) << kind;
    }
    for (uint32_t kind : {0u, 3u, 14u, 30u, 32u, 40u, 50u, 60u, 62u, 257u, 261u}) {
        OptionTable t(144, {"2up", "4up"});
        EXPECT_TRUE(OptionTextLoad(*pkg, "Nup", t.data(), 144, kind)) << kind;  // the entry exists
        EXPECT_EQ(t.Name(0), "") << kind;
    }
    // Rows without a display name field are never written past their end.
    OptionTable small(48, {"2up", "4up"});
    std::vector<uint8_t> before = small.bytes;
    EXPECT_TRUE(OptionTextLoad(*pkg, "Nup", small.data(), 48, 1));
    EXPECT_EQ(small.bytes, before);
    EXPECT_FALSE(OptionTextLoad(*pkg, "Nup", small.data(), 20, 1));
    EXPECT_FALSE(OptionTextLoad(*pkg, "Missing", small.data(), 48, 1));
}

TEST(PackageLists, ReorderFollowsTheIndexAndShortensTheTable) {
    const char* source = R"({"layout": "directory52", "entries": [
      {"name": "CopyProtect_op", "display": ["K3", "K1", "KX", "K5"],
       "items": [["K1", "One"], ["K3", "Three"], ["KX", "Unknown"], ["K5", "Five"]]},
      {"name": "FontDownload", "flags": ["reorder"], "display": ["K2", "K1"], "items": [["K1", "a"], ["K2", "b"]]}
    ]})";
    auto pkg = OpenBytes(Build(source));
    OptionTable t(144, {"K1", "K2", "K3", "K4", "K5"});
    ASSERT_TRUE(ReorderLoad(*pkg, "CopyProtect_op", t.data(), 144, 1, false));
    EXPECT_EQ(t.Key(0), "K3");
    EXPECT_EQ(t.Name(0), "Three");
    EXPECT_EQ(t.Value(0), 3);
    EXPECT_EQ(t.Key(1), "K1");
    EXPECT_EQ(t.Key(2), "K5");
    EXPECT_EQ(t.Name(2), "Five");
    EXPECT_EQ(t.Key(3), "");  // the list ends after the listed keys
    EXPECT_EQ(t.Key(4), "");  // rows 0 .. n were rewritten
    EXPECT_EQ(t.bytes[6 * 144], 0xAB);  // the guard past the old terminator is untouched

    // Only-if-flagged: nothing changes without the entry's flag.
    OptionTable u(144, {"K1", "K2", "K3"});
    std::vector<uint8_t> before = u.bytes;
    EXPECT_FALSE(ReorderLoad(*pkg, "CopyProtect_op", u.data(), 144, 1, true));
    EXPECT_EQ(u.bytes, before);
    ASSERT_TRUE(ReorderLoad(*pkg, "FontDownload", u.data(), 144, 3, true));  // kind 3: no texts
    EXPECT_EQ(u.Key(0), "K2");
    EXPECT_EQ(u.Key(1), "K1");
    EXPECT_EQ(u.Name(0), "");
    EXPECT_EQ(u.Key(2), "");
}

TEST(PackageLists, NumberedStringsGoToTheirSlots) {
    std::string long290(290, 'L');
    auto pkg = OpenBytes(Build(Directory(R"({"name": "MessageStr", "items": [
        ["Msg12", "twelve"], ["Title", "no digit"], ["M999", ")" + long290 + R"("], ["M1000", "ignored"],
        ["M4294967299", "ignored too"], ["M3", ""]]})")));
    const size_t slots = 1000, chars = 290;
    std::vector<WCHAR> table(slots * chars + 16, 0);
    std::fill(table.begin() + slots * chars, table.end(), WCHAR(0x5A5A));  // guard after the table
    nvx::WCopy(&table[3 * chars], chars, WL("kept"));
    ASSERT_TRUE(NumberedStringLoad(*pkg, "MessageStr", table.data(), chars, slots));
    EXPECT_EQ(Utf8(&table[12 * chars]), "twelve");
    EXPECT_EQ(Utf8(&table[0]), "no digit");
    EXPECT_EQ(Utf8(&table[999 * chars]), std::string(289, 'L'));  // cut inside its slot
    EXPECT_EQ(Utf8(&table[3 * chars]), "kept");
    for (size_t i = slots * chars; i < table.size(); ++i) ASSERT_EQ(table[i], 0x5A5A) << i;
    EXPECT_FALSE(NumberedStringLoad(*pkg, "HintStr", table.data(), chars, slots));
}

TEST(PackageLists, StringListAndKeyedValues) {
    auto pkg = OpenBytes(Build(Directory(R"({"name": "Overlay", "items": [["a", "first"], ["b", "second value"], ["c", "<None>"]]})")));
    WCHAR one[32] = {};
    ASSERT_TRUE(StringListLoad(*pkg, "Overlay", one, sizeof one, 0));
    EXPECT_EQ(Utf8(one), "<None>");  // every value lands at the start; the last remains

    // Slots of 10 characters; the third item has no room and is skipped.
    std::vector<WCHAR> slots(25, WCHAR(0x4242));
    ASSERT_TRUE(StringListLoad(*pkg, "Overlay", slots.data(), 20 * sizeof(WCHAR), 10 * sizeof(WCHAR)));
    EXPECT_EQ(Utf8(&slots[0]), "first");
    EXPECT_EQ(Utf8(&slots[10]), "second va");
    for (size_t i = 20; i < slots.size(); ++i) EXPECT_EQ(slots[i], 0x4242) << i;
    EXPECT_FALSE(StringListLoad(*pkg, "Missing", one, sizeof one, 0));

    // The 40-byte layout and its "Version" walk.
    auto m = OpenBytes(Build(R"({"layout": "directory40", "entries": [
        {"name": "Other", "items": [["Ver_Command", "wrong"]]},
        {"name": "VERSION", "items": [["x", "y"], ["ver_command", "3.1.4"]]}]})"));
    WCHAR ver[32] = {};
    EXPECT_TRUE(KeyedValueLoad40(*m, "Version", "Ver_Command", ver, 32));
    EXPECT_EQ(Utf8(ver), "3.1.4");
    EXPECT_FALSE(KeyedValueLoad40(*m, "Version", "Ver_Basic", ver, 32));
    EXPECT_FALSE(KeyedValueLoad40(*pkg, "Overlay", "a", ver, 32));  // a 52-byte package read as 40
    EXPECT_FALSE(KeyedValueLoad(*m, "Version", "Ver_Command", ver, 32) && Utf8(ver) != "3.1.4");
}
