// The block layout load of the constraint file.
#include <fstream>
#include <string>

#include "model/package_block.h"
#include "package_test_util.h"
#include "support/platform_test.h"

using namespace nvx::model;
using pkgtest::Build;
using pkgtest::Utf8;

namespace {

const char* kRules = R"({"layout": "block", "version": {"name": "Ver_Cst", "text": "1.00.02"}, "rules": [
  {"kind": "change", "target": "DoubleSides", "option": "Radio", "target_option": "Duplex",
   "conditions": [["DoubleSides", "eq", "Booklet"], ["Nup_op", "ne", "2up"]], "expr": "c0 c1 and end",
   "actions": [["change_message", 12], ["disable", 0]]},
  {"kind": "prohibit", "target": "Staple", "second": "Admin", "target_option": "StapleON",
   "conditions": [["MediaType", "eq", "OHP"]], "expr": "c0 end", "actions": [["constraint_message", 3]]},
  {"kind": "control", "target": "Copies", "conditions": [["Copies", "gt", "10"]], "expr": "c0 end",
   "actions": [["gate", 0], ["icon", 40]]}
]})";

}  // namespace

TEST(PackageBlock, RowsPointAtTheirSharesOfThePools) {
    vpdc::Bytes b = Build(kRules);
    ConstraintBlock block;
    ASSERT_TRUE(block.Load(*pkgtest::OpenBytes(b)));
    ASSERT_EQ(block.RuleCount(), 3u);
    EXPECT_EQ(block.ConditionCount(), 4u);
    EXPECT_EQ(block.TokenCount(), 8u);
    EXPECT_EQ(block.ActionCount(), 5u);
    const ConstraintRow* r = block.Rules();
    EXPECT_EQ(r[0].id, 1022u);
    EXPECT_EQ(r[0].conditions, block.Conditions());
    EXPECT_EQ(r[0].tokens, block.Tokens());
    EXPECT_EQ(r[0].actions, block.Actions());
    EXPECT_EQ(r[1].conditions, block.Conditions() + 2);
    EXPECT_EQ(r[1].tokens, block.Tokens() + 4);
    EXPECT_EQ(r[1].actions, block.Actions() + 2);
    EXPECT_EQ(r[2].conditions, block.Conditions() + 3);
    EXPECT_EQ(r[2].tokens, block.Tokens() + 6);
    EXPECT_EQ(r[2].actions, block.Actions() + 3);
    EXPECT_EQ(r[0].conditionCount, 2);
    EXPECT_EQ(r[0].tokenCount, 4u);
    EXPECT_EQ(r[2].actionCount, 2);
    EXPECT_EQ(Utf8(r[0].first.feature), "DoubleSides");
    EXPECT_EQ(Utf8(r[0].first.option), "Radio");
    EXPECT_EQ(Utf8(r[0].second.option), "Duplex");
    EXPECT_EQ(Utf8(r[1].second.feature), "Admin");
    EXPECT_EQ(Utf8(r[0].conditions[1].feature), "Nup_op");
    EXPECT_EQ(Utf8(r[0].conditions[1].option), "2up");
    EXPECT_EQ(r[0].conditions[1].op, 1006u);
    EXPECT_EQ(r[0].tokens[2], 1003u);
    EXPECT_EQ(r[0].tokens[3], 1017u);
    EXPECT_EQ(r[0].actions[0].code, 1029u);
    EXPECT_EQ(r[0].actions[0].param, 12u);
    EXPECT_EQ(r[2].actions[1].param, 40u);
    char version[32];
    EXPECT_TRUE(block.CustomVersion(version, sizeof version));
    EXPECT_STREQ(version, "1.00.02");
    EXPECT_TRUE(block.CustomVersion(version, 5));
    EXPECT_STREQ(version, "1.00");
}

TEST(PackageBlock, MissingOrShortFilesLeaveOneZeroedRowOfEachKind) {
    ConstraintBlock block;
    EXPECT_FALSE(block.Load(WL("/nonexistent/NOVRIX_C.VPD")));
    for (size_t n : {0, 100, 239}) {
        vpdc::Bytes b = Build(kRules);
        b.resize(n);
        EXPECT_FALSE(block.Load(*pkgtest::OpenBytes(b))) << n;
        EXPECT_EQ(block.RuleCount(), 0u);
        ASSERT_NE(block.Rules(), nullptr);
        EXPECT_EQ(block.Rules()[0].conditions, block.Conditions());
        EXPECT_EQ(block.Rules()[0].tokens, block.Tokens());
        EXPECT_EQ(block.Rules()[0].actions, block.Actions());
        EXPECT_EQ(block.Rules()[0].id, 0u);
        char version[8] = "x";
        EXPECT_FALSE(block.CustomVersion(version, sizeof version));
        EXPECT_STREQ(version, "");
    }
    // A header alone: no rules, but it is the file's.
    vpdc::Bytes header = Build(R"({"layout": "block", "rules": []})");
    EXPECT_TRUE(block.Load(*pkgtest::OpenBytes(header)));
    EXPECT_EQ(block.RuleCount(), 0u);
    EXPECT_EQ(block.Rules()[0].conditions, block.Conditions());
}

TEST(PackageBlock, MalformedCountsAreTrimmedToWhatTheFileHolds) {
    // Rule 1 claims nine conditions: it and every later rule are dropped.
    std::string src = kRules;
    src.replace(src.find(R"("kind": "prohibit",)"), 19, R"("kind": "prohibit", "condition_count": 9,)");
    ConstraintBlock block;
    ASSERT_TRUE(block.Load(*pkgtest::OpenBytes(Build(src))));
    EXPECT_EQ(block.RuleCount(), 1u);
    EXPECT_EQ(block.ConditionCount(), 4u);

    // Header counts far beyond the file, and a cut file.
    vpdc::Bytes b = Build(kRules);
    pkgtest::Put32(b, 0, 0xffffffff);
    pkgtest::Put32(b, 12, 0x7fffffff);
    ASSERT_TRUE(block.Load(*pkgtest::OpenBytes(b)));
    EXPECT_LE(block.RuleCount(), 3u);
    EXPECT_LE(uint64_t{block.ConditionCount()} * 132, b.size());
    b = Build(kRules);
    b.resize(b.size() - 4);  // the last action is cut
    ASSERT_TRUE(block.Load(*pkgtest::OpenBytes(b)));
    EXPECT_EQ(block.ActionCount(), 4u);
    EXPECT_EQ(block.RuleCount(), 2u);  // the last rule's actions are no longer all there
    // Offsets past the end or at 0 give empty pools.
    b = Build(kRules);
    pkgtest::Put32(b, 4 * 4, 0);           // conditions at offset 0
    pkgtest::Put32(b, 7 * 4, 0xfffffff0);  // tokens past the end
    ASSERT_TRUE(block.Load(*pkgtest::OpenBytes(b)));
    EXPECT_EQ(block.ConditionCount(), 0u);
    EXPECT_EQ(block.TokenCount(), 0u);
    EXPECT_EQ(block.RuleCount(), 0u);
}

class PackageBlockFile : public PlatformTest {};

TEST_F(PackageBlockFile, LoadsFromAFileAsFromAnImage) {
    std::string path = Root() + "/NOVRIX_C.VPD";
    vpdc::Bytes b = Build(kRules);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    ConstraintBlock fromFile, fromImage;
    ASSERT_TRUE(fromFile.Load(nvx::WFromUtf8(path).c_str()));
    ASSERT_TRUE(fromImage.Load(*pkgtest::OpenBytes(b)));
    auto filePkg = Package::Open(nvx::WFromUtf8(path).c_str(), PackageOpenMode::FileOnly);
    ASSERT_TRUE(filePkg);
    ConstraintBlock fromFileMode;
    ASSERT_TRUE(fromFileMode.Load(*filePkg));
    for (const ConstraintBlock* blk : {&fromFile, &fromFileMode}) {
        ASSERT_EQ(blk->RuleCount(), fromImage.RuleCount());
        EXPECT_EQ(std::memcmp(blk->Conditions(), fromImage.Conditions(), 4 * sizeof(ConditionRecord)), 0);
        EXPECT_EQ(std::memcmp(blk->Tokens(), fromImage.Tokens(), 8 * sizeof(uint32_t)), 0);
        EXPECT_EQ(blk->Rules()[2].actions - blk->Actions(), 3);
    }
}
