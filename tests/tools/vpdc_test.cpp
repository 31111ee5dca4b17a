// vpdc: sources to packages and back, byte for byte; dumps of packages vpdc did
// not write; error messages; the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/le.h"
#include "model/package.h"
#include "support/platform_test.h"
#include "vpdc.h"
#include "vpdc_print.h"

using vpdc::Bytes;
using vpdc::Json;

namespace {

Bytes Compile(const std::string& src) { return vpdc::Compile(Json::parse(src)); }

// compile(dump(x)) == x, and dumping again gives the same source.
void ExpectRoundTrip(const Bytes& x, const Json* layouts = nullptr) {
    Json dumped = vpdc::Dump(x, vpdc::Layout::Auto, layouts);
    Bytes again = vpdc::Compile(Json::parse(vpdc::Pretty(dumped)));
    ASSERT_EQ(again.size(), x.size()) << vpdc::Pretty(dumped);
    for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(again[i], x[i]) << "byte " << i << "\n" << vpdc::Pretty(dumped);
    EXPECT_EQ(vpdc::Dump(again, vpdc::Layout::Auto, layouts), dumped);
}

const char* kRich = R"({"layout": "directory52", "header_tag": 305419896, "entries": [
  {"name": "Property_0", "flags": ["reorder", "0x3"], "reserved": [1, 2], "default": "B", "display": ["C", "A", "B", "D", 4],
   "items": [["A", "Alpha"], ["B", "Béta ✓ 𝄞"], ["C", ""], {"key": "D", "aux": 9}, {"value": "no key"}]},
  {"name": "Copies", "range": {"min": 1, "max": 999, "default": 1, "skipped": "0102"}, "items": [["Copies", "Copies"]]},
  {"name": "DeviceOption", "record_size": 28, "items": [
     {"key": "Opt1", "value": "Option 1", "extra": "01000000"}, {"key": "Opt2", "value": "x", "size": 40, "extra": "ff"},
     ["Opt3", "plain"]]},
  {"name": "Numbers", "count": 3, "display": ["N1", "K", null],
   "items": [{"key": "N1", "value": "n", "chain": false, "number": 5}, ["K", "V"]]},
  {"name": "Backwards", "chain_order": [2, 0, 1], "items": [["x", "1"], ["y", "2"], ["z", "3"]]},
  {"name": "Odd", "items": [{"key_hex": "41ff42", "value_hex": "00d8410000dc"}], "index": false},
  {"name": "Empty"},
  {"name": "Negative", "count": -4},
  {"name_hex": "414243444546474849505152535455565758595a303132333435363738394142"},
  {"name": "ThirtyOneCharactersLongNameXYZW", "items": [["k", "v"]]}
]})";

}  // namespace

TEST(Vpdc, CompileOfDumpRewritesEveryPackageByteForByte) {
    ExpectRoundTrip(Compile(kRich));
    ExpectRoundTrip(Compile(R"({"layout": "directory52"})"));
    ExpectRoundTrip(Compile(R"({"layout": "directory40", "entries": [{"name": "Version", "info_reserved": 7,
        "items": [["Ver_Command", "3.1"], {"key": "X", "aux": 1, "size": 20, "extra": "0a"}]}, {"name": "Other"}]})"));
    // A count beyond the listed index positions: the missing ones are written empty.
    Bytes padded = Compile(R"({"layout": "directory52", "entries": [
        {"name": "A", "count": 6, "display": ["k"], "items": [["k", "v"]]}, {"name": "B", "items": [["x", "y"]]}]})");
    ExpectRoundTrip(padded);
    auto pkg = nvx::model::Package::OpenImage(padded.data(), padded.size());
    nvx::model::EntryInfo info;
    ASSERT_TRUE(pkg->GetEntry("A", &info));
    EXPECT_EQ(info.count, 6);
    size_t positions = 0;
    pkg->ForEachItem(info, nvx::model::ItemOrder::Index, [&](uint32_t) { return ++positions, true; });
    EXPECT_EQ(positions, 1u);
    // The layouts are told apart by their content: single-entry version packages.
    ExpectRoundTrip(Compile(R"({"layout": "directory40", "entries": [{"name": "Version",
        "items": [["Ver_Command", "3.1.4, with a value long enough to reach past a 52-byte entry"]]}]})"));
    ExpectRoundTrip(Compile(R"({"layout": "directory52", "entries": [{"name": "Version",
        "items": [["Ver_driver", "1.2.6, with a value long enough to reach past a 52-byte entry"]]}]})"));
    // A directory end before the last entry, and one after all of the data.
    ExpectRoundTrip(Compile(R"({"layout": "directory52", "directory_end": 72,
        "entries": [{"name": "A", "items": [["k", "v"]]}, {"name": "B", "items": [["k", "w"]]}]})"));
    ExpectRoundTrip(Compile(R"({"layout": "directory52", "directory_end": 4000000,
        "entries": [{"name": "A", "items": [["k", "v"]]}, {"name": "B"}]})"));
    ExpectRoundTrip(Compile(R"({"layout": "block", "rules": []})"));
    ExpectRoundTrip(Compile(R"({"layout": "block", "version": {"name": "Ver_Cst", "text": "2.0"},
      "header_fields": {"2": 1, "11": 4}, "header_counts": {"tokens": 99},
      "rules": [
        {"kind": "change", "target": "DoubleSides", "option": "x", "second": "y", "target_option": "Duplex",
         "unused148": 3, "unused280": 4, "gaps": "0102030405060708090a0b0c0d0e0f101112",
         "conditions": [["DoubleSides", "eq", "Booklet"], {"feature_hex": "4100", "op": 1008, "option": "1"}],
         "expr": "c0 c1 or end #7", "actions": [["change_message", 12], ["disable", 0], [77, 1]]},
        {"kind": 9999, "target": "T", "condition_count": 5, "token_count": 1, "action_count": 0},
        {"kind": "per_page_change", "target": "P"}],
      "spare_conditions": [["F", "ge", "3"]], "spare_tokens": [1017], "spare_actions": [["icon", 2]]})"));
}

TEST(Vpdc, NamedRecordLayoutsCompileAndDumpAsFields) {
    const char* src = R"({"layout": "directory52",
      "record_layouts": {"Opt": {"size": 28, "fields": [
        {"name": "values", "at": 16, "type": "u32"}, {"name": "delta", "at": 20, "type": "i16"},
        {"name": "tag", "at": 22, "type": "ascii", "width": 2}, {"name": "tail", "at": 24, "type": "hex", "width": 4}]}},
      "entries": [{"name": "DeviceOption", "record": "Opt", "items": [
        {"key": "A", "value": "a", "values": 3, "delta": -2, "tag": "ok", "tail": "beef"}, ["B", "b"]]}]})";
    Json source = Json::parse(src);
    Bytes b = vpdc::Compile(source);
    nvx::model::EntryInfo e;
    auto pkg = nvx::model::Package::OpenImage(b.data(), b.size());
    ASSERT_TRUE(pkg->GetEntry("DeviceOption", &e));
    uint8_t rec[28];
    ASSERT_TRUE(pkg->ReadRecord(e.firstItem, 28, rec));
    EXPECT_EQ(nvx::GetLE32(rec + 16), 3u);
    EXPECT_EQ(static_cast<int16_t>(nvx::GetLE16(rec + 20)), -2);
    EXPECT_EQ(rec[22], 'o');
    EXPECT_EQ(rec[24], 0xbe);

    Json named = vpdc::Dump(b, vpdc::Layout::Auto, &source);
    EXPECT_EQ(named["entries"][0]["record"], "Opt");
    EXPECT_EQ(named["entries"][0]["items"][0]["delta"], -2);
    EXPECT_EQ(named["entries"][0]["items"][0]["tag"], "ok");
    ExpectRoundTrip(b, &source);
    ExpectRoundTrip(b);  // without the layouts: hex
    EXPECT_EQ(vpdc::Dump(b)["entries"][0]["items"][0]["extra"], "03000000feff6f6bbeef");
}

TEST(Vpdc, DumpsPackagesItDidNotWrite) {
    // Hand-laid: records before the directory's data order, a backward chain,
    // one string shared by two items, an index slot past the end.
    Bytes b(200, 0);
    auto put = [&](uint32_t at, uint32_t v) { nvx::PutLE32(b.data() + at, v); };
    put(4, 60);                                   // directory end
    std::memcpy(b.data() + 8, "Texts", 5);
    put(8 + 32, 140);                             // first item: the later record
    put(8 + 48, 60);                              // next: the directory end
    put(60, 2);                                   // count
    put(64, 120);                                 // default item
    put(68, 100);                                 // index
    put(100, 140); put(104, 0xfffff000);          // index: second record, then nothing
    put(120, 160); put(128, 170); put(132, 0);    // record 1: key "K", value "v"
    put(140, 160); put(148, 170); put(152, 120);  // record 2 links back to record 1
    b[160] = 'K';
    b[170] = 'v';
    Json src = vpdc::Dump(b);
    EXPECT_EQ(src["layout"], "directory52");
    Bytes again = vpdc::Compile(src);
    auto before = nvx::model::Package::OpenImage(b.data(), b.size());
    auto after = nvx::model::Package::OpenImage(again.data(), again.size());
    for (auto* p : {before.get(), after.get()}) {
        WCHAR v[8] = {};
        EXPECT_TRUE(nvx::model::KeyedValueLoad(*p, "texts", "K", v, 8));
        EXPECT_EQ(nvx::Utf8FromW(v), "v");
        char def[8] = {};
        EXPECT_TRUE(p->ReadDefaultName("Texts", def, sizeof def));
        EXPECT_STREQ(def, "K");
        nvx::model::EntryInfo e;
        ASSERT_TRUE(p->GetEntry("Texts", &e));
        size_t chain = 0, index = 0;
        p->ForEachItem(e, nvx::model::ItemOrder::Chain, [&](uint32_t) { return ++chain, true; });
        p->ForEachItem(e, nvx::model::ItemOrder::Index, [&](uint32_t) { return ++index, true; });
        EXPECT_EQ(chain, 2u);
        EXPECT_EQ(index, 1u);
    }
    // Garbage of any kind dumps to something that compiles.
    for (size_t n : {0, 3, 8, 60, 200}) {
        Bytes junk(n, 0xA5);
        EXPECT_NO_THROW(vpdc::Compile(vpdc::Dump(junk, vpdc::Layout::Directory52))) << n;
        EXPECT_NO_THROW(vpdc::Compile(vpdc::Dump(junk, vpdc::Layout::Directory40))) << n;
    }
    EXPECT_THROW(vpdc::Dump(Bytes(100, 0), vpdc::Layout::Block), vpdc::Error);
}

TEST(Vpdc, BadSourcesAreRefusedWithThePlaceOfTheProblem) {
    struct Case {
        std::string src;
        const char* message;
    } cases[] = {
        {R"({"entries": []})", "layout"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "itemz": []}]})", "entries[0]: unknown field \"itemz\""},
        {R"({"layout": "directory52", "entries": [{"name": "A", "default": "x", "items": [["k", "v"]]}]})",
         "entries[0] 'A' default: no item has the key \"x\""},
        {R"({"layout": "directory52", "entries": [{"name": "A", "items": [["k", "v"], ["k", "w"]], "default": "k"}]})",
         "names more than one item"},
        {R"({"layout": "directory52", "entries": [{"name": "ThisNameIsFarTooLongForAnEntry32"}]})", "1 to 31"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "items": [{"key": "é"}]}]})", "keys are ASCII"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "record_size": 18}]})", "multiples of 4"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "items": [{"key": "k", "extra": "0102030405"}]}]})",
         "fields run past the record size 16"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "count": 1, "items": [["k", "v"], ["l", "w"]]}]})",
         "smaller than the chain"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "items": [{"key": "k", "chain": false}]}]})",
         "unreachable"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "display": ["k"], "items": [["k", "v"], ["l", "w"]]}]})",
         "the index lists 1 items but the chain has 2"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "count": 100000, "items": [["k", "v"]]}]})",
         "index positions unlisted"},
        {R"({"layout": "directory40", "entries": [{"name": "A", "range": {}}]})", "40-byte entries"},
        {R"({"layout": "directory52", "entries": [{"name": "A", "range": {"min": "ten"}}]})", "range min"},
        {R"({"layout": "block", "rules": [{"kind": "chnage"}]})", "rules[0] kind: unknown rule kind \"chnage\""},
        {R"({"layout": "block", "rules": [{"kind": "change", "expr": "c0 c1 and"}]})", "names a missing condition"},
        {R"({"layout": "block", "rules": [{"kind": "change", "target": "0123456789012345678901234567890123"}]})",
         "rules[0] target: longer than 31"},
        {R"({"layout": "block", "rules": [{"kind": "change", "conditions": [["A", "equals", "B"]]}]})",
         "unknown operator \"equals\""},
        {R"({"layout": "block", "version": {"text": ")" + std::string(130, 'x') + R"("}})", "version text"},
    };
    for (const Case& c : cases) {
        try {
            vpdc::Compile(Json::parse(c.src));
            ADD_FAILURE() << "accepted: " << c.src;
        } catch (const vpdc::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what() << "\nwanted: " << c.message;
        }
    }
}

#ifdef NVX_VPDC_EXE
class VpdcCommand : public PlatformTest {
protected:
    int Run(const std::string& args) {
        std::string cmd = std::string(NVX_VPDC_EXE) + " " + args + " > " + Root() + "/out.txt 2> " + Root() + "/err.txt";
        int rc = std::system(cmd.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(Root() + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(Root() + "/" + name) << text; }
};

TEST_F(VpdcCommand, CompilesDumpsAndFailsCleanly) {
    Write("src.json", kRich);
    ASSERT_EQ(Run("compile " + Root() + "/src.json -o " + Root() + "/P.VPD"), 0) << Read("err.txt");
    ASSERT_EQ(Run("dump " + Root() + "/P.VPD -o " + Root() + "/again.json"), 0) << Read("err.txt");
    ASSERT_EQ(Run("compile " + Root() + "/again.json -o " + Root() + "/Q.VPD"), 0) << Read("err.txt");
    EXPECT_EQ(Read("P.VPD"), Read("Q.VPD"));
    EXPECT_EQ(Run("dump " + Root() + "/P.VPD"), 0);
    EXPECT_EQ(Read("out.txt"), Read("again.json"));

    Write("bad.json", R"({"layout": "directory52", "entries": [{"name": "A", "default": 3}]})");
    EXPECT_EQ(Run("compile " + Root() + "/bad.json -o " + Root() + "/BAD.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("bad.json: entries[0] 'A' default:"), std::string::npos) << Read("err.txt");
    EXPECT_FALSE(std::ifstream(Root() + "/BAD.VPD").good());  // no partial output
    Write("broken.json", "{\"layout\": ");
    EXPECT_EQ(Run("compile " + Root() + "/broken.json -o " + Root() + "/BAD.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("not valid JSON"), std::string::npos);
    EXPECT_EQ(Run("compile " + Root() + "/missing.json -o " + Root() + "/BAD.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("missing.json: cannot open"), std::string::npos);
    EXPECT_EQ(Run("compile " + Root() + "/src.json"), 2);  // no -o
    EXPECT_EQ(Run("frobnicate x"), 2);
    EXPECT_EQ(Run("dump " + Root() + "/P.VPD --layout sideways"), 2);
}

// A source's "include" list: the parts' entries follow the including file's own;
// an entry defined twice, a part with other members and a missing part are refused.
TEST_F(VpdcCommand, IncludedSourcesJoinTheirEntriesAndRefuseConflicts) {
    Write("main.json", R"({"layout": "directory52", "include": ["part.json"], "entries": [{"name": "A", "items": [["k", "1"]]}]})");
    Write("part.json", R"({"comment": "texts", "entries": [{"name": "B", "items": [["k", "2"]]}]})");
    ASSERT_EQ(Run("compile " + Root() + "/main.json -o " + Root() + "/M.VPD"), 0) << Read("err.txt");
    Json merged = vpdc::ReadSource(Root() + "/main.json", true);
    EXPECT_FALSE(merged.contains("include"));
    ASSERT_EQ(merged["entries"].size(), 2u);
    EXPECT_EQ(merged["entries"][1]["name"], "B");
    Bytes direct = vpdc::Compile(merged);
    EXPECT_EQ(Read("M.VPD"), std::string(direct.begin(), direct.end()));

    Write("part.json", R"({"entries": [{"name": "A", "items": [["k", "2"]]}]})");
    EXPECT_EQ(Run("compile " + Root() + "/main.json -o " + Root() + "/M.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("entry \"A\" is defined twice"), std::string::npos) << Read("err.txt");
    Write("part.json", R"({"layout": "block"})");
    EXPECT_EQ(Run("compile " + Root() + "/main.json -o " + Root() + "/M.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("holds only entries or rules"), std::string::npos) << Read("err.txt");
    Write("main.json", R"({"layout": "directory52", "include": ["nowhere.json"]})");
    EXPECT_EQ(Run("compile " + Root() + "/main.json -o " + Root() + "/M.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("nowhere.json: cannot open"), std::string::npos) << Read("err.txt");
}
#endif
