// The package reader: lookups, string limits, ranges, default names, and the
// guards against malformed packages.
#include <string>

#include "package_test_util.h"

using namespace nvx::model;
using pkgtest::Build;
using pkgtest::Directory;
using pkgtest::OpenBytes;

namespace {

const char* kTwoEntries = R"({"layout": "directory52", "entries": [
  {"name": "Property_0", "default": "B", "items": [["A", "Alpha"], ["B", "Beta"], ["C", ""]]},
  {"name": "Copies", "range": {"min": 1, "max": 999, "default": 5}, "items": [["Copies", "Copies"]]}
]})";

constexpr uint32_t kEntry0 = 8;
constexpr uint32_t kEntry0Count = kEntry0 + 52;

}  // namespace

TEST(PackageReader, FindsWholeNamesWithoutRegardToCase) {
    auto pkg = OpenBytes(Build(kTwoEntries));
    ASSERT_TRUE(pkg);
    EXPECT_EQ(pkg->FindEntry("Property_0"), kEntry0);
    EXPECT_EQ(pkg->FindEntry("property_0"), kEntry0);
    EXPECT_EQ(pkg->FindEntry("PROPERTY_0"), kEntry0);
    EXPECT_NE(pkg->FindEntry("copies"), 0u);
    EXPECT_EQ(pkg->FindEntry("Property_"), 0u);    // a prefix of a stored name
    EXPECT_EQ(pkg->FindEntry("Property_00"), 0u);  // a stored name is a prefix of it
    EXPECT_EQ(pkg->FindEntry(""), 0u);
    EXPECT_EQ(pkg->FindEntry(nullptr), 0u);
}

TEST(PackageReader, EntriesAtOrBeyondTheDirectoryEndAreAbsent) {
    vpdc::Bytes b = Build(kTwoEntries);
    uint32_t second = OpenBytes(b)->FindEntry("Copies");
    ASSERT_GT(second, kEntry0);
    pkgtest::Put32(b, 4, second);  // the directory ends where the second entry starts
    auto pkg = OpenBytes(b);
    EXPECT_EQ(pkg->FindEntry("Property_0"), kEntry0);
    EXPECT_EQ(pkg->FindEntry("Copies"), 0u);
    pkgtest::Put32(b, 4, kEntry0);  // the first entry sits at the directory end
    EXPECT_EQ(OpenBytes(b)->FindEntry("Property_0"), 0u);

    // A source can say so too, and the dump keeps it.
    vpdc::Bytes viaSource = Build(R"({"layout": "directory52", "directory_end": 8, "entries": [{"name": "A"}]})");
    EXPECT_EQ(OpenBytes(viaSource)->FindEntry("A"), 0u);
}

TEST(PackageReader, ShortFilesHaveNoEntries) {
    vpdc::Bytes b = Build(kTwoEntries);
    for (size_t n : {0, 1, 4, 7, 8, 20, 59}) {
        vpdc::Bytes cut(b.begin(), b.begin() + static_cast<long>(n));
        auto pkg = OpenBytes(cut);
        ASSERT_TRUE(pkg) << n;
        EXPECT_EQ(pkg->FindEntry("Property_0"), 0u) << n;
        char name[32] = "keep";
        EXPECT_FALSE(pkg->ReadDefaultName("Property_0", name, sizeof name)) << n;
        EXPECT_STREQ(name, "keep");
    }
    // Reads at or past the end copy nothing.
    auto pkg = OpenBytes(b);
    uint8_t buf[16];
    EXPECT_EQ(pkg->Read(buf, sizeof buf, pkg->Size()), 0);
    EXPECT_EQ(pkg->Read(buf, sizeof buf, pkg->Size() - 3), 3);
    EXPECT_EQ(pkg->Read(buf, sizeof buf, UINT32_MAX), 0);
    EXPECT_FALSE(Package::OpenImage(nullptr, 5));
}

TEST(PackageReader, KeysUpTo290CharactersAndValuesCutThere) {
    std::string k290(290, 'K'), k291(291, 'L'), v300(300, 'v');
    vpdc::Bytes b = Build(Directory(R"({"name": "E", "items": [[")" + k290 + R"(", "ok"], [")" + k291 +
                                    R"(", "long"], ["V", ")" + v300 + R"("]]})"));
    auto pkg = OpenBytes(b);
    EntryInfo e;
    ASSERT_TRUE(pkg->GetEntry("E", &e));
    std::vector<uint32_t> items;
    pkg->ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) { return items.push_back(at), true; });
    ASSERT_EQ(items.size(), 3u);
    nvx::vpd::Item item;
    char key[400] = "untouched";
    ASSERT_TRUE(pkg->ReadItem(items[0], &item));
    EXPECT_TRUE(pkg->ReadKey(item.key, key, sizeof key));
    EXPECT_EQ(std::string(key), k290);
    EXPECT_FALSE(pkg->ReadKey(item.key, key, 290));  // no room for the terminator
    ASSERT_TRUE(pkg->ReadItem(items[1], &item));
    std::strcpy(key, "untouched");
    EXPECT_FALSE(pkg->ReadKey(item.key, key, sizeof key));
    EXPECT_STREQ(key, "untouched");

    WCHAR text[400];
    EXPECT_TRUE(KeyedValueLoad(*pkg, "E", k290.c_str(), text, 400));
    EXPECT_EQ(pkgtest::Utf8(text), "ok");
    EXPECT_FALSE(KeyedValueLoad(*pkg, "E", k291.c_str(), text, 400));
    EXPECT_TRUE(KeyedValueLoad(*pkg, "E", "v", text, 400));
    EXPECT_EQ(nvx::WLen(text), 290u);
    EXPECT_TRUE(KeyedValueLoad(*pkg, "E", "V", text, 10));  // and at the destination's size
    EXPECT_EQ(pkgtest::Utf8(text), std::string(9, 'v'));
}

TEST(PackageReader, EmptyValuesKeepTheOldText) {
    auto pkg = OpenBytes(Build(kTwoEntries));
    WCHAR text[64];
    nvx::WCopy(text, 64, WL("built-in"));
    EXPECT_TRUE(KeyedValueLoad(*pkg, "Property_0", "c", text, 64));  // found, but empty
    EXPECT_EQ(pkgtest::Utf8(text), "built-in");
    EXPECT_FALSE(KeyedValueLoad(*pkg, "Property_0", "D", text, 64));
    EXPECT_FALSE(KeyedValueLoad(*pkg, "Missing", "A", text, 64));
    EXPECT_EQ(pkgtest::Utf8(text), "built-in");
    EXPECT_TRUE(KeyedValueLoad(*pkg, "PROPERTY_0", "b", text, 64));
    EXPECT_EQ(pkgtest::Utf8(text), "Beta");
}

TEST(PackageReader, RangesDefaultNamesAndKeyNumbers) {
    auto pkg = OpenBytes(Build(kTwoEntries));
    int32_t r[3] = {-1, -1, -1};
    ASSERT_TRUE(RangeLoad(*pkg, "Copies", r));
    EXPECT_EQ(r[0], 999);  // +40
    EXPECT_EQ(r[1], 1);    // +36
    EXPECT_EQ(r[2], 5);    // +44
    EXPECT_FALSE(RangeLoad(*pkg, "Nothing", r));

    char name[8] = {};
    ASSERT_TRUE(pkg->ReadDefaultName("property_0", name, sizeof name));
    EXPECT_STREQ(name, "B");
    char tiny[2] = {};
    EXPECT_TRUE(pkg->ReadDefaultName("Property_0", tiny, 2));  // "B" and its terminator fit
    EXPECT_FALSE(pkg->ReadDefaultName("Property_0", tiny, 1));
    EXPECT_FALSE(pkg->ReadDefaultName("Copies", name, sizeof name));  // no default item

    EXPECT_EQ(KeyNumber("Msg12"), 12u);
    EXPECT_EQ(KeyNumber("A1B2"), 1u);
    EXPECT_EQ(KeyNumber("none"), 0u);
    EXPECT_EQ(KeyNumber("007"), 7u);
    EXPECT_EQ(KeyNumber("x99999999999999999999"), UINT32_MAX);
    EXPECT_EQ(KeyNumber(nullptr), 0u);
}

TEST(PackageReader, LinksBackwardsOrIntoThemselvesEndTheWalks) {
    vpdc::Bytes b = Build(kTwoEntries);
    uint32_t second = OpenBytes(b)->FindEntry("Copies");
    // Directory: the second entry links back to the first, then the first to itself.
    pkgtest::Put32(b, second + 48, kEntry0);
    EXPECT_EQ(OpenBytes(b)->FindEntry("Missing"), 0u);
    EXPECT_EQ(OpenBytes(b)->FindEntry("Copies"), second);
    pkgtest::Put32(b, kEntry0 + 48, kEntry0);
    EXPECT_EQ(OpenBytes(b)->FindEntry("Missing"), 0u);
    // A cycle under a directory end far beyond the file: the file bounds the walk
    // (unbounded, these lookups would take hours).
    b = Build(kTwoEntries);
    pkgtest::Put32(b, 4, 0xfffffff0);
    pkgtest::Put32(b, second + 48, kEntry0);
    auto cyclic = OpenBytes(b);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(cyclic->FindEntry("Missing"), 0u);

    // Items: a cycle of three, with a count far beyond the file.
    b = Build(kTwoEntries);
    auto pkg = OpenBytes(b);
    EntryInfo e;
    ASSERT_TRUE(pkg->GetEntry("Property_0", &e));
    std::vector<uint32_t> items;
    pkg->ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) { return items.push_back(at), true; });
    ASSERT_EQ(items.size(), 3u);
    pkgtest::Put32(b, items[2] + 12, items[0]);
    pkgtest::Put32(b, kEntry0Count, 0x7fffffff);
    pkg = OpenBytes(b);
    ASSERT_TRUE(pkg->GetEntry("Property_0", &e));
    size_t steps = 0;
    pkg->ForEachItem(e, ItemOrder::Chain, [&](uint32_t) { return ++steps, true; });
    EXPECT_LE(steps, b.size() / 16);
    WCHAR text[32];
    EXPECT_FALSE(KeyedValueLoad(*pkg, "Property_0", "Z", text, 32));
    std::vector<WCHAR> slots(1000 * 290);
    EXPECT_TRUE(NumberedStringLoad(*pkg, "Property_0", slots.data(), 290, 1000));
    // An item that links to itself.
    pkgtest::Put32(b, items[0] + 12, items[0]);
    steps = 0;
    OpenBytes(b)->ForEachItem(e, ItemOrder::Chain, [&](uint32_t) { return ++steps, true; });
    EXPECT_EQ(steps, 1u);
}

TEST(PackageReader, OffsetsPastTheEndAndUnterminatedStrings) {
    vpdc::Bytes b = Build(kTwoEntries);
    auto pkg = OpenBytes(b);
    EntryInfo e;
    ASSERT_TRUE(pkg->GetEntry("Property_0", &e));
    // Index entries and the default item outside the file.
    pkgtest::Put32(b, e.index, 0xfffffff0);
    pkgtest::Put32(b, e.index + 4, static_cast<uint32_t>(b.size()) - 8);  // record cut by the end
    pkgtest::Put32(b, kEntry0Count + 4, static_cast<uint32_t>(b.size()));
    pkg = OpenBytes(b);
    size_t visited = 0;
    pkg->ForEachItem(e, ItemOrder::Index, [&](uint32_t) { return ++visited, true; });
    EXPECT_EQ(visited, 1u);  // only the third position is usable
    char name[32];
    EXPECT_FALSE(pkg->ReadDefaultName("Property_0", name, sizeof name));
    // The index itself past the end.
    pkgtest::Put32(b, kEntry0Count + 8, 0xffffff00);
    pkg = OpenBytes(b);
    ASSERT_TRUE(pkg->GetEntry("Property_0", &e));
    visited = 0;
    pkg->ForEachItem(e, ItemOrder::Index, [&](uint32_t) { return ++visited, true; });
    EXPECT_EQ(visited, 0u);

    // A key and a value that run off the end of the file end there.
    vpdc::Bytes k = Build(kTwoEntries);
    k.insert(k.end(), {'T', 'A', 'I', 'L'});
    char key[16] = {};
    EXPECT_TRUE(OpenBytes(k)->ReadKey(static_cast<uint32_t>(k.size()) - 4, key, sizeof key));
    EXPECT_STREQ(key, "TAIL");
    vpdc::Bytes c = Build(kTwoEntries);
    c.insert(c.end(), {'x', 0, 'y', 0, 'z'});
    auto tail = OpenBytes(c);
    WCHAR value[16] = {};
    EXPECT_TRUE(tail->ReadValue(static_cast<uint32_t>(c.size()) - 5, value, 16));
    EXPECT_EQ(pkgtest::Utf8(value), "xy");  // the dangling byte is no character
    EXPECT_FALSE(tail->ReadValue(static_cast<uint32_t>(c.size()) - 1, value, 16));
    EXPECT_FALSE(tail->ReadKey(0, key, sizeof key));
    uint32_t v = 7;
    EXPECT_FALSE(tail->Read32(static_cast<uint32_t>(c.size()) - 3, &v));
    EXPECT_EQ(v, 7u);
    int32_t range[3];
    EXPECT_FALSE(tail->ReadRange(static_cast<uint32_t>(c.size()) - 40, range));
}
