// The rule language: infix expressions to postfix tokens, every field of the
// file expressible, dumps that compile back byte for byte, errors with file and
// line, warnings, and the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "model/vpd_format.h"
#include "support/platform_test.h"
#include "vpdc.h"
#include "vpdc_rules.h"

using vpdc::BlockPackage;
using vpdc::Bytes;
namespace vpd = nvx::vpd;

namespace {

BlockPackage Parse(const std::string& text, std::vector<std::string>* warnings = nullptr) {
    return vpdc::RulesFromText(text, "t.rules", warnings);
}

vpdc::Text32 T(const std::u16string& s) {
    vpdc::Text32 t{};
    std::copy(s.begin(), s.end(), t.begin());
    return t;
}

std::string Problem(const std::string& text) {
    try {
        Parse(text);
    } catch (const vpdc::Error& e) {
        return e.what();
    }
    return "accepted";
}

// compile(dump(x)) == x, and the dump of the result is the same text.
void ExpectRoundTrip(const BlockPackage& pkg) {
    std::string text = vpdc::RulesToText(pkg);
    BlockPackage back;
    try {
        back = Parse(text);
    } catch (const vpdc::Error& e) {
        FAIL() << e.what() << "\n" << text;
    }
    EXPECT_EQ(vpdc::WriteBlock(back), vpdc::WriteBlock(pkg)) << text;
    EXPECT_EQ(vpdc::RulesToText(back), text);
}

}  // namespace

TEST(VpdcRules, InfixCompilesToPostfixWithConditionsInOrderOfFirstAppearance) {
    struct Case {
        const char* when;
        size_t conditions;
        std::vector<uint32_t> tokens;
    } cases[] = {
        {"A == x and B != y", 2, {0, 1, 1003, 1017}},
        {"A == x or B == y and C == z", 3, {0, 1, 2, 1003, 1004, 1017}},   // and binds tighter
        {"(A == x or B == y) and C == z", 3, {0, 1, 1004, 2, 1003, 1017}},
        {"A == x and (B == y and C == z)", 3, {0, 1, 2, 1003, 1003, 1017}},
        {"A == x and B == y and C == z", 3, {0, 1, 1003, 2, 1003, 1017}},  // left to right
        {"(A == x and B == y) or (A == x and C == z)", 3, {0, 1, 1003, 0, 2, 1003, 1004, 1017}},  // reused
        {"A == x or A != x", 2, {0, 1, 1004, 1017}},  // same names, other operator: a new condition
        {"((A == x))", 1, {0, 1017}},
    };
    for (const Case& c : cases) {
        BlockPackage p = Parse(std::string("change F = o\n  when ") + c.when + "\n");
        ASSERT_EQ(p.rules.size(), 1u) << c.when;
        EXPECT_EQ(p.rules[0].conditions.size(), c.conditions) << c.when;
        EXPECT_EQ(p.rules[0].tokens, c.tokens) << c.when;
        ExpectRoundTrip(p);
        // The dump keeps the expression readable (parentheses only where needed).
        std::string dumped = vpdc::RulesToText(p);
        EXPECT_NE(dumped.find("    when "), std::string::npos) << dumped;
    }
    // Every operator spelling, the raw operator number and the condition fields.
    BlockPackage p = Parse(
        "forbid F = o when A == 1 or A != 2 or A < 3 or A > 4 or A <= 5 or A =< 6 or A >= 7 or A => 8\n"
        "    or A never 9 or A never2 10 or A {4242} 11\n");
    const uint32_t ops[] = {1005, 1006, 1009, 1010, 1011, 1012, 1013, 1014, 1007, 1008, 4242};
    ASSERT_EQ(p.rules[0].conditions.size(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(p.rules[0].conditions[i].op, ops[i]) << i;
        EXPECT_EQ(p.rules[0].conditions[i].feature, T(u"A"));
        std::string n = std::to_string(i + 1);
        EXPECT_EQ(p.rules[0].conditions[i].option, T(std::u16string(n.begin(), n.end()))) << i;
    }
    ExpectRoundTrip(p);
}

TEST(VpdcRules, EveryFieldOfARuleHasASpelling) {
    BlockPackage p = Parse(R"(# a comment line
version "Ver_Cst" "1.00"
header 5 = 77

change Orientation[Landscape] = Portrait   # radio row, target option
    when Zoom == ZoomManual                 # a condition's radio row is its option
    admin Collate
    message 12 refuse 14 icon 3 disable gate gate 2 disable 9
    action 2000 5
forbid "Paper Size" = "A4 \"x\" \\ y"
    when "Media Type" == hex"4100420000004300"
control Zoom
    gate
perpage PerPageListStaple = PPS_StapleOn when PerPageListPrintType == PPS_Chapter
kind 999 X
    condition A == 1
    condition A == 1
    tokens c1 c0 or end 5000
    field148 7
    field280 8
    declare conditions 9
    declare tokens 1
    declare actions 0
    gaps hex"010203"
declare rules 6
spare condition S == T
spare tokens 1 2 3
spare action 1028 4
)");
    ASSERT_EQ(p.rules.size(), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.versionName.data())), "Ver_Cst");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.versionText.data())), "1.00");
    EXPECT_EQ(p.spareFields[1], 77u);
    const vpdc::Rule& r0 = p.rules[0];
    EXPECT_EQ(r0.kind, vpd::kRuleChange);
    EXPECT_EQ(r0.first.feature, T(u"Orientation"));
    EXPECT_EQ(r0.first.option, T(u"Landscape"));
    EXPECT_EQ(r0.second.option, T(u"Portrait"));
    EXPECT_EQ(r0.second.feature, T(u"Collate"));
    std::vector<std::pair<uint32_t, uint32_t>> acts;
    for (const vpdc::Action& a : r0.actions) acts.emplace_back(a.code, a.param);
    EXPECT_EQ(acts, (std::vector<std::pair<uint32_t, uint32_t>>{
                        {1029, 12}, {1030, 14}, {1031, 3}, {1028, 0}, {1032, 0}, {1032, 2}, {1028, 9}, {2000, 5}}));
    EXPECT_EQ(p.rules[1].kind, vpd::kRuleProhibit);
    EXPECT_EQ(p.rules[1].first.feature, T(u"Paper Size"));
    EXPECT_EQ(p.rules[1].second.option, T(u"A4 \"x\" \\ y"));
    EXPECT_EQ(p.rules[1].conditions[0].option, T(std::u16string(u"AB\0C", 4)));  // a hex name keeps bytes after its end
    EXPECT_EQ(p.rules[2].kind, vpd::kRuleControl);
    EXPECT_TRUE(p.rules[2].conditions.empty() && p.rules[2].tokens.empty());
    EXPECT_EQ(p.rules[3].kind, vpd::kRulePerPageChange);
    const vpdc::Rule& r4 = p.rules[4];
    EXPECT_EQ(r4.kind, 999u);
    EXPECT_EQ(r4.conditions.size(), 2u);  // raw conditions are not merged
    EXPECT_EQ(r4.tokens, (std::vector<uint32_t>{1, 0, 1004, 1017, 5000}));
    EXPECT_EQ(r4.first.unused, 7u);
    EXPECT_EQ(r4.second.unused, 8u);
    EXPECT_EQ(r4.conditionCount, 9u);
    EXPECT_EQ(r4.tokenCount, 1u);
    EXPECT_EQ(r4.actionCount, 0u);
    EXPECT_EQ(r4.gaps[2], 3);
    EXPECT_EQ(p.ruleCount, 6u);
    EXPECT_EQ(p.spareConditions.size(), 1u);
    EXPECT_EQ(p.spareTokens, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(p.spareActions.size(), 1u);
    ExpectRoundTrip(p);
}

TEST(VpdcRules, DumpsOfAnyBlockFileCompileBackByteForByte) {
    // Rules whose tokens the infix form cannot spell, or would renumber.
    BlockPackage p;
    auto rule = [](std::vector<uint32_t> tokens, size_t conditions) {
        vpdc::Rule r;
        r.kind = vpd::kRuleChange;
        r.first.feature = T(u"F");
        for (size_t i = 0; i < conditions; ++i) {
            vpdc::Condition c;
            c.feature = T(u"A");
            c.option = T(std::u16string(1, static_cast<char16_t>(u'a' + i)));
            c.op = vpd::kOpEqual;
            r.conditions.push_back(c);
        }
        r.tokens = std::move(tokens);
        return r;
    };
    p.rules.push_back(rule({1, 0, 1003, 1017}, 2));      // out of first-appearance order
    p.rules.push_back(rule({0, 1003, 1017}, 1));         // stack underflow
    p.rules.push_back(rule({0, 1, 1017}, 2));            // two results left
    p.rules.push_back(rule({0, 1017, 0, 1017}, 1));      // end in the middle
    p.rules.push_back(rule({0}, 1));                     // no end
    p.rules.push_back(rule({5, 1017}, 1));               // a missing condition
    p.rules.push_back(rule({}, 3));                      // conditions without tokens
    p.rules.push_back(rule({0, 1, 1004, 1017}, 3));      // a condition no token uses
    vpdc::Rule same = rule({0, 1, 1003, 1017}, 2);
    same.conditions[1] = same.conditions[0];             // equal conditions would merge
    p.rules.push_back(same);
    vpdc::Rule odd = rule({0, 1017}, 1);
    odd.kind = 7;
    odd.first.feature[20] = 'x';                         // bytes after the end of a name
    odd.second.option = T(u"\xd800");                    // a lone surrogate
    odd.conditions[0].feature = T(u"and");               // a reserved word as a name
    odd.conditions[0].option = T(u"tab\there");          // a control character
    odd.conditions[0].op = 77;
    odd.actions = {{vpd::kActDisable, 0}, {vpd::kActGate, 3}, {vpd::kActIcon, 0}, {99, 1}};
    p.rules.push_back(odd);
    p.versionName[0] = 0x80;                             // not printable ASCII
    p.versionText[127] = 'z';                            // unterminated
    p.spareFields = {1, 2, 3, 4};
    p.tokenCount = 1;
    ExpectRoundTrip(p);
    // The readable parts stay readable.
    std::string text = vpdc::RulesToText(p);
    EXPECT_NE(text.find("tokens c1 c0 and end"), std::string::npos) << text;
    EXPECT_NE(text.find("when \"and\" {77} hex\""), std::string::npos) << text;
    EXPECT_NE(text.find("kind 7 hex\""), std::string::npos) << text;

    // A JSON block source through the binary form.
    Bytes json = vpdc::Compile(vpdc::Json::parse(R"({"layout": "block", "version": {"name": "V", "text_hex": "ff"},
        "rules": [{"kind": "prohibit", "target": "InTray", "target_option": "Tray2",
                   "conditions": [["PaperSize", "eq", "Env10"], ["PaperSize", "eq", "EnvDL"]],
                   "expr": "c0 c1 or end", "actions": [["constraint_message", 3]], "unused280": 5}]})"));
    BlockPackage fromJson = vpdc::ReadBlock(json);
    ExpectRoundTrip(fromJson);
    EXPECT_NE(vpdc::RulesToText(fromJson).find("when PaperSize == Env10 or PaperSize == EnvDL"), std::string::npos);
    ExpectRoundTrip(BlockPackage{});
}

TEST(VpdcRules, BadSourcesAreRefusedWithFileAndLine) {
    struct Case {
        const char* src;
        const char* message;
    } cases[] = {
        {"change F = o\n  when ThisFeatureNameIsLongerThan31Chars == x\n",
         "t.rules:2: a feature name \"ThisFeatureNameIsLongerThan31Chars\" is longer than 31 UTF-16 characters"},
        {"change F = o\n  mesage 3\n", "t.rules:2: unknown clause 'mesage'"},
        {"change F = o\n  when A x\n", "t.rules:2: expected an operator"},
        {"change F = o when (A == x\n\n", "t.rules:1: expected ')', found the end of the file"},
        {"change F = o when A == \"x\n", "t.rules:1: a string that does not end on its line"},
        {"change F = o\nwhen A == x\n", "t.rules:2: expected a rule"},
        {"  change F = o\n", "t.rules:1: a rule or directive begins in the first column"},
        {"change F = o when A == x when B == y\n", "'when' stands alone"},
        {"change F = o condition A == x when B == y\n", "'when' stands alone"},
        {"change F = o when B == y condition A == x\n", "'condition' does not go with 'when'"},
        {"change F = o\n  message\n", "t.rules:2: expected a message slot, found the end of the file"},
        {"change F = o message 4294967296\n", "does not fit 32 bits"},
        {"header 3 = 1\n", "t.rules:1: header field 3 is not a free field"},
        {"change F = hex\"123\"\n", "odd number of hex digits"},
        {"change F = o admin A admin B\n", "a rule has one 'admin' clause"},
        {"change F = o when A == x and\n", "expected a feature name, found the end of the file"},
        {"change F[x = o\n", "expected ']'"},
        {"change F = o when A == x $ B\n", "unknown clause '$'"},
        {"change F = o when A == x ! B\n", "unexpected '!'"},
        {"change F = o when A == \"a\\qb\"\n", "only \\\" and \\\\ are escapes"},
        {"version \"" "0123456789012345678901234567890123456789012345678901234567890123" "\" x\n",
         "the version name is longer than 63 characters"},
        {"change F = o declare conditions 256\n", "count is at most 255"},
        {"change F = \"a\xc3\"\x01\n", "unexpected character 1"},
    };
    for (const Case& c : cases) {
        std::string got = Problem(c.src);
        EXPECT_NE(got.find(c.message), std::string::npos) << c.src << "\n got: " << got << "\nwanted: " << c.message;
    }
    // Deep nesting and very many conditions are refused, not a crash.
    std::string deep = "change F = o when " + std::string(5000, '(') + "A == x" + std::string(5000, ')') + "\n";
    EXPECT_NE(Problem(deep).find("nested too deeply"), std::string::npos);
    std::string many = "change F = o when A == 0";
    for (int i = 1; i < 256; ++i) many += " or A == " + std::to_string(i);
    EXPECT_NE(Problem(many + "\n").find("more than 255 different conditions"), std::string::npos);
    EXPECT_EQ(Problem(many.substr(0, many.rfind(" or")) + "\n"), "accepted");  // 255 is fine
}

TEST(VpdcRules, WarningsNameWhatTheEngineWouldNotRead) {
    std::vector<std::string> w;
    Parse("change A = x when K == 1\nforbid B = y when K == 1\n\nchange C = z when K == 1\n", &w);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NE(w[0].find("t.rules:4: rules of kind 1022 do not stand together"), std::string::npos) << w[0];
    w.clear();
    Parse("change A = x when K == 1\nkind 1021 B\nkind 1021 C\n", &w);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NE(w[0].find("t.rules:2: kind 1021 ends the rules the engine reads"), std::string::npos) << w[0];
    // An expression deeper than the engine's 80-entry stack.
    std::string deep = "control F when A == 0";
    for (int i = 1; i <= 80; ++i) deep += " or (A == " + std::to_string(i);
    deep += std::string(80, ')') + "\n";
    w.clear();
    Parse(deep, &w);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NE(w[0].find("t.rules:1: the expression needs 81 stack entries"), std::string::npos) << w[0];
    // Rules the engine would pass over, and actions their kind does not run.
    w.clear();
    Parse("change A = x\nforbid B when K == 1\ncontrol C when K == 1 refuse 3 message 4\nperpage D = d when K == 1\n", &w);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_NE(w[0].find("t.rules:1: a rule without 'when' never holds"), std::string::npos) << w[0];
    EXPECT_NE(w[1].find("t.rules:2: the rule forbids no option"), std::string::npos) << w[1];
    EXPECT_NE(w[2].find("t.rules:3: 'refuse' is shown for prohibitions"), std::string::npos) << w[2];
    EXPECT_NE(w[3].find("t.rules:3: 'message' is listed for change rules"), std::string::npos) << w[3];
    w.clear();
    // Editors' conventions: a byte-order mark, CR LF line ends, tab indentation.
    BlockPackage p = Parse("\xEF\xBB\xBF" "change A = x\r\n\twhen B == y\r\n\r\nchange B = y when K == 1\n"
                           "forbid C = z when K == 1\ncontrol D\nperpage E = q when K == 1\n", &w);
    EXPECT_TRUE(w.empty()) << w.front();
    ASSERT_EQ(p.rules.size(), 5u);
    EXPECT_EQ(p.rules[0].conditions.size(), 1u);
}

#ifdef NVX_VPDC_EXE
class VpdcRulesCommand : public PlatformTest {
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

TEST_F(VpdcRulesCommand, CompilesByExtensionAndDumpsAsRules) {
    const std::string r = Root();
    Write("c.rules", "version Ver_Cst \"1.00\"\nchange DoubleSides = Duplex\n  when DoubleSides == Booklet\n"
                     "  message 12\nforbid A = b when K == 1\nchange Late = x when K == 1\n");
    ASSERT_EQ(Run("compile " + r + "/c.rules -o " + r + "/C.VPD"), 0) << Read("err.txt");
    EXPECT_NE(Read("err.txt").find("vpdc: warning: " + r + "/c.rules:6: rules of kind 1022 do not stand together"),
              std::string::npos);
    ASSERT_EQ(Run("dump --rules " + r + "/C.VPD -o " + r + "/again.rules"), 0) << Read("err.txt");
    ASSERT_EQ(Run("compile " + r + "/again.rules -o " + r + "/D.VPD"), 0) << Read("err.txt");
    EXPECT_EQ(Read("C.VPD"), Read("D.VPD"));
    EXPECT_EQ(Run("dump --rules " + r + "/C.VPD"), 0);
    EXPECT_EQ(Read("out.txt"), Read("again.rules"));
    EXPECT_NE(Read("out.txt").find("when DoubleSides == Booklet\n    message 12\n"), std::string::npos) << Read("out.txt");
    // The JSON dump of the same file still works.
    EXPECT_EQ(Run("dump " + r + "/C.VPD"), 0);
    EXPECT_NE(Read("out.txt").find("\"layout\": \"block\""), std::string::npos);

    Write("bad.rules", "change A = x\n  when B = c\n");
    EXPECT_EQ(Run("compile " + r + "/bad.rules -o " + r + "/BAD.VPD"), 1);
    EXPECT_NE(Read("err.txt").find("bad.rules:2: expected an operator"), std::string::npos) << Read("err.txt");
    EXPECT_FALSE(std::ifstream(r + "/BAD.VPD").good());
    Write("short.VPD", "not a block file");
    EXPECT_EQ(Run("dump --rules " + r + "/short.VPD"), 1);
    EXPECT_EQ(Run("compile " + r + "/c.rules --rules -o " + r + "/X.VPD"), 2);
}
#endif
