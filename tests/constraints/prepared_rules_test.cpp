// Preparing rule files: rows of conditions and targets, the paper flag, grouping
// by kind, and malformed files that must never make the engine read outside them.
#include <fstream>
#include <iterator>
#include <vector>

#include "engine_fixture.h"
#include "support/driver_folder.h"

namespace {

using cstest::Json;
using cstest::Rule;
using nvx::constraints::kCheckStands;

class Prepared : public cstest::EngineTest {};

TEST_F(Prepared, RowsFlagsAndGroups) {
    Json paperTarget = Rule("change", "PaperSize", "A4", {{"Copies", "eq", "2"}}, "c0 end");
    paperTarget["option"] = "UserPaper";
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateON", {{"Orientation", "eq", "Landscape"}, {"NoSuchFeature", "eq", "X"}},
             "c0 end"),
        Rule("change", "JobOffset", "JobOffsetON", {{"UserPaper_Width", "gt", "2000"}}, "c0 end"),
        paperTarget,
        Rule("prohibit", "PaperSize", "UserPaper", {{"Copies", "eq", "2"}}, "c0 end"),
        Rule("control", "Collate", "", {{"Copies", "eq", "2"}}, "c0 end",
            Json::array({cstest::Act("gate", 0), cstest::Act("disable", 0)})),
        Rule("change", "Collate", "CollateOFF", {{"Copies", "eq", "9"}}, "c0 end"),  // a second run of a kind
        Rule(999, "Collate", "CollateOFF", {{"Copies", "eq", "9"}}, "c0 end"),
        Rule("change", "Collate", "CollateOFF", {{"Copies", "eq", "9"}}, "c0 end"),
    }));
    const auto& p = *rules_;
    ASSERT_EQ(6u, p.rules.size());
    EXPECT_EQ(2u, p.ignored);
    EXPECT_EQ(4u, p.change.rules.size());
    EXPECT_EQ(1u, p.prohibit.rules.size());
    EXPECT_EQ(1u, p.control.rules.size());
    EXPECT_EQ(5u, p.rules[p.change.rules.back()].fileIndex);
    const auto& r0 = p.rules[0];
    EXPECT_EQ(nvx::features::FindUiItem(items_, "Orientation", "Landscape"), r0.conditionRows[0]);
    EXPECT_NE(nvx::features::FindUiItem(items_, "Orientation"), r0.conditionRows[0]);  // the radio row
    EXPECT_EQ(-1, r0.conditionRows[1]);
    EXPECT_EQ(nvx::features::FindUiItem(items_, "Collate"), r0.targetRow);
    EXPECT_FALSE(r0.paper);
    EXPECT_TRUE(p.rules[1].paper);
    EXPECT_TRUE(p.rules[2].paper);
    EXPECT_TRUE(p.rules[3].paper);  // a prohibition tests its target option
    EXPECT_TRUE(p.rules[4].Has(1032));
    EXPECT_FALSE(p.rules[4].Has(1031));
    // A condition on a feature the model lacks skips the rule.
    Set("nOrientation", 2);
    Set("bCollate", 0);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(0, Get("bCollate"));
}

TEST_F(Prepared, BindingEdgeTargetsMatchTheBindingEdgeItemWhenSwitchedOn) {
    LoadRules(Json::array({Rule("change", "BindingEdge_PRN_Portrait", "LongEdgeLeft", {{"Copies", "eq", "2"}},
                                "c0 end")}));
    EXPECT_EQ(-1, rules_->rules[0].targetRow);
    nvx::constraints::PreparedRules* on = nvx::constraints::PrepareRules(block_, items_, true);
    ASSERT_NE(nullptr, on);
    EXPECT_EQ(nvx::features::FindUiItem(items_, "BindingEdge_MFP"), on->rules[0].targetRow);
    nvx::constraints::FreeRules(on);
}

// Expressions and counts that do not fit: the rule is false, nothing is read
// outside the file's arrays (the suite runs under AddressSanitizer).
TEST_F(Prepared, MalformedRulesNeverHoldAndNeverCrash) {
    Json deep = Json::array();
    for (int i = 0; i < 81; ++i) deep.push_back(0);
    deep.push_back(1017);
    Json rules = Json::array();
    auto add = [&](Json tokens) {
        Json r = Rule("change", "Collate", "CollateON", {{"Copies", "ge", "0"}}, "c0 end");
        r.erase("expr");
        r["tokens"] = tokens;
        rules.push_back(r);
    };
    add({5, 1017});           // condition number past the rule's conditions
    add({1003, 1017});        // AND without operands
    add({0, 1004, 1017});     // OR with one operand
    add({0, 1999, 1017});     // unknown token
    add(Json::array());       // no tokens at all
    add(deep);                // more than the 80-entry stack
    add({1017, 0});           // the end comes first
    LoadRules(rules);
    ASSERT_EQ(7u, rules_->rules.size());
    Set("bCollate", 0);
    Set("nCopies", 1);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(kCheckStands, Run(1011));
    EXPECT_EQ(0, Get("bCollate"));
    // The same rule with a good expression holds.
    Json good = Rule("change", "Collate", "CollateON", {{"Copies", "ge", "0"}}, "c0 c0 and end");
    LoadRules(Json::array({good}));
    Run(0);
    EXPECT_EQ(1, Get("bCollate"));
}

TEST_F(Prepared, CountsBeyondTheFileAreTrimmed) {
    Json src{{"layout", "block"},
             {"rules", Json::array({Rule("change", "Collate", "CollateON", {{"Copies", "ge", "0"}}, "c0 end"),
                                    Rule("change", "JobOffset", "JobOffsetON", {{"Copies", "ge", "0"}}, "c0 end")})}};
    src["rules"][1]["condition_count"] = 200;
    src["rules"][1]["token_count"] = 100000;
    src["rules"][1]["action_count"] = 255;
    LoadSource(src);
    Set("bCollate", 0);
    Set("bJobOffset", 0);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(1, Get("bCollate"));
    EXPECT_EQ(0, Get("bJobOffset"));  // its share runs past the pools: dropped
    // Bytes that are no constraint file at all.
    LoadBytes(std::vector<uint8_t>(300, 0xFF));
    EXPECT_EQ(kCheckStands, Run(0));
    LoadBytes(std::vector<uint8_t>(10, 0));
    EXPECT_EQ(kCheckStands, Run(1000));
}

}  // namespace

namespace {

// The sample model's own rule file, as the build put it into the driver folder.
TEST_F(Prepared, TheSampleRulesResolveAndSettleTheDefaults) {
    std::ifstream in(nvxtest::BuiltDriverFolder() + "/NOVRIX_C.VPD", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(file.empty());
    LoadBytes(file);
    ASSERT_EQ(block_.RuleCount(), rules_->rules.size());
    EXPECT_GT(rules_->rules.size(), 150u);
    EXPECT_EQ(0u, rules_->ignored);
    for (const auto& r : rules_->rules) EXPECT_GE(r.targetRow, 0) << r.fileIndex;
    // The defaults with a booklet chosen over settings that a booklet excludes: one
    // whole-sheet pass corrects them without asking, and a second changes nothing.
    Set("nDuplex", 3);      // Booklet
    Set("bNup", 1);         // NupON
    Set("bCollate", 0);     // CollateOFF
    Set("bStaple", 1);      // StapleON
    Set("bPunch", 1);       // HolePunchON
    Set("bScaleAuto", 0);   // ZoomManual
    Set("bChapterMode", 1);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(3, Get("nDuplex"));
    EXPECT_EQ(0, Get("bNup"));
    EXPECT_EQ(1, Get("bCollate"));
    EXPECT_EQ(0, Get("bStaple"));
    EXPECT_EQ(0, Get("bPunch"));
    EXPECT_EQ(1, Get("bScaleAuto"));
    EXPECT_EQ(0, Get("bChapterMode"));
    EXPECT_TRUE(boxes_.empty());
    const std::vector<BYTE> settled = record_;
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(settled, record_);
    EXPECT_TRUE(boxes_.empty());
    // Every Basic page control answers one of the three results and asks nothing
    // while the settings stay as they are.
    for (uint16_t control : {1000, 1003, 1006, 1011, 1014, 1018, 1020, 1023, 1040, 1138, 1227, 1228}) {
        EXPECT_EQ(kCheckStands, Run(control)) << control;
        EXPECT_EQ(settled, record_) << control;
    }
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace

namespace {

uint64_t Conjunction(std::vector<uint32_t> tokens, uint32_t conditions) {
    return nvx::constraints::ConjunctionOf(tokens.data(), static_cast<uint32_t>(tokens.size()), conditions);
}

}  // namespace

// The mask is the set of conditions the expression's result is the AND of, and
// none for anything the token-by-token evaluation would treat otherwise.
TEST(Conjunction, MaskOfTheResultOrNone) {
    constexpr uint32_t And = 1003, Or = 1004, End = 1017;
    EXPECT_EQ(0b1u, Conjunction({0, End}, 1));
    EXPECT_EQ(0b1u, Conjunction({0}, 1));                    // no end token: the list's length ends it
    EXPECT_EQ(0b11u, Conjunction({0, 1, And, End}, 2));
    EXPECT_EQ(0b10u, Conjunction({0, 1, End}, 2));           // the top of the stack is the result
    EXPECT_EQ(0b101u, Conjunction({2, 0, And, 2, And}, 3));  // a condition used twice
    EXPECT_EQ(0b1u, Conjunction({0, End, 1, And}, 2));       // tokens after the end are not read
    EXPECT_EQ(0u, Conjunction({0, 1, Or, End}, 2));
    EXPECT_EQ(0u, Conjunction({0, And, End}, 1));            // too few operands
    EXPECT_EQ(0u, Conjunction({2, End}, 2));                 // no such condition
    EXPECT_EQ(0u, Conjunction({0, 1005, End}, 1));           // a token the evaluation refuses
    EXPECT_EQ(0u, Conjunction({End}, 1));                    // nothing on the stack
    EXPECT_EQ(0u, Conjunction({}, 1));
    EXPECT_EQ(0u, nvx::constraints::ConjunctionOf(nullptr, 0, 1));
    EXPECT_EQ(uint64_t{1} << 63, Conjunction({63, End}, 64));
    EXPECT_EQ(0u, Conjunction({0, End}, 65));  // more conditions than the mask holds
    std::vector<uint32_t> deep(80, 0);         // the stack holds 80 operands ...
    EXPECT_EQ(0b1u, Conjunction(deep, 1));
    deep.push_back(0);                         // ... and the 81st makes the list malformed
    EXPECT_EQ(0u, Conjunction(deep, 1));
}
