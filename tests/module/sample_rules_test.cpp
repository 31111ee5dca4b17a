// The sample model's rule set against the sample model as the driver folder holds
// it: every rule's target, conditions and options resolve to items and options of
// the UI item table (a rule that does not is silently skipped by the engine), every
// message slot a rule names has a text and every text has a rule, and the set uses
// every rule kind, operator and action.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "catalogue_test_util.h"
#include "constraints/prepared_rules.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "model/messages.h"
#include "model/package.h"
#include "model/package_block.h"
#include "settings/settings_state.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "vpdc_rules.h"

using namespace nvx::features;
namespace vpd = nvx::vpd;

namespace {

vpdc::Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return vpdc::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Text(const vpdc::Text32& t) {
    std::string s;
    for (uint16_t c : t) {
        if (!c) break;
        s += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return s;
}

std::string Name(const WCHAR (&field)[kUiNameBytes]) {
    std::string s;
    for (size_t i = 0; i < kUiNameBytes && field[i]; ++i) s += static_cast<char>(field[i]);
    return s;
}

struct TableDeleter {
    void operator()(UiItemTable* t) const { FreeUiItemTable(t); }
};

// The sample model's packages from the driver folder, its UI item table bound to
// the settings fields, and its rules.
class SampleRules : public ::testing::Test {
protected:
    void SetUp() override {
        nvx::settings::PrepareSettings();
        const std::string folder = nvxtest::BuiltDriverFolder();
        mainBytes_ = ReadBytes(folder + "/NOVRIX_D.VPD");
        ASSERT_FALSE(mainBytes_.empty()) << folder;
        pkg_ = nvx::model::Package::OpenImage(mainBytes_.data(), mainBytes_.size());
        ASSERT_TRUE(pkg_);
        built_ = std::make_unique<cattest::Built>(*pkg_);
        ASSERT_TRUE(built_->ok);
        UiBuildInputs in;
        in.record = built_->tables.record;
        in.deviceOptions = built_->tables.deviceOptions;
        table_.reset(BuildUiItemTable(in));
        ASSERT_TRUE(table_);
        BindUiItemFields(*table_);
        vpdc::Bytes c = ReadBytes(folder + "/NOVRIX_C.VPD");
        ASSERT_FALSE(c.empty());
        rules_ = vpdc::ReadBlock(c);
    }
    void TearDown() override {
        table_.reset();
        built_.reset();
        nvx::settings::ReleaseSettings();
    }

    // The item a rule or condition names: by feature, and by option for radio rows.
    int Find(const std::string& feature, const std::string& option) const {
        int row = FindUiItem(table_.get(), feature);
        if (row >= 0 && table_->Row(row)->type == kUiRadio && !option.empty())
            row = FindUiItem(table_.get(), feature, option);
        return row;
    }

    // "" when the keyword resolves in the item's list as the engine looks it up.
    std::string Resolve(int row, const std::string& keyword) const {
        const UiItem& item = *table_->Row(row);
        if (item.type == kUiNumeric) {
            char* end = nullptr;
            std::strtol(keyword.c_str(), &end, 10);
            return !keyword.empty() && *end == 0 ? "" : "'" + keyword + "' is not a number";
        }
        std::string feature = Name(item.feature);
        if ((feature == "PaperSize" || feature == "OutPaperSize") &&
            (keyword == "DefaultPaper" || keyword == "UserPaper" || keyword == "UserLongLengthPaper"))
            return "";
        if (!item.options) return feature + " has no option list";
        return IndexOfKeyword(item.options, keyword) >= 0 ? "" : "'" + keyword + "' is not an option of " + feature;
    }

    // The slots that a message entry of the main package fills.
    std::set<unsigned> Slots(const char* entry) const {
        std::vector<WCHAR> text(nvx::model::kMessageSlots * nvx::model::kMessageSlotChars);
        EXPECT_TRUE(nvx::model::NumberedStringLoad(*pkg_, entry, text.data(), nvx::model::kMessageSlotChars,
                                                    nvx::model::kMessageSlots))
            << entry;
        std::set<unsigned> used;
        for (unsigned i = 0; i < nvx::model::kMessageSlots; ++i)
            if (text[i * nvx::model::kMessageSlotChars]) used.insert(i);
        return used;
    }

    vpdc::Bytes mainBytes_;
    nvx::model::PackagePtr pkg_;
    std::unique_ptr<cattest::Built> built_;
    std::unique_ptr<UiItemTable, TableDeleter> table_;
    vpdc::BlockPackage rules_;
};

// With NVX_DUMP_ITEMS set, lists the items with their lists (for writing rules).
TEST_F(SampleRules, ItemListing) {
    if (!std::getenv("NVX_DUMP_ITEMS")) GTEST_SKIP() << "set NVX_DUMP_ITEMS to list the items";
    for (size_t r = 0; r < table_->count; ++r) {
        const UiItem& it = *table_->Row(static_cast<int>(r));
        std::cout << Name(it.feature) << (it.option[0] ? "[" + Name(it.option) + "]" : "") << " ctl=" << it.control
                  << " type=" << it.type << " dlg=" << it.dialogs[0] << " store=" << it.state.storage << " :";
        for (size_t i = 0; it.options && i < ListCount(it.options); ++i)
            std::cout << " " << Keyword(RecordAt(it.options, i)) << "=" << Value(RecordAt(it.options, i));
        std::cout << "\n";
    }
}

// The postfix tokens of a rule form one expression within the engine's stack.
bool WellFormed(const vpdc::Rule& r) {
    size_t depth = 0;
    for (size_t i = 0; i < r.tokens.size(); ++i) {
        uint32_t t = r.tokens[i];
        if (t == vpd::kTokenEnd) return i + 1 == r.tokens.size() && depth == 1;
        if (t == vpd::kTokenAnd || t == vpd::kTokenOr) {
            if (depth < 2) return false;
            --depth;
        } else if (t >= r.conditions.size() || ++depth > 80) {
            return false;
        }
    }
    return false;
}

std::string RuleName(size_t i, const vpdc::Rule& r) {
    return "rule " + std::to_string(i + 1) + " (" + std::to_string(r.kind) + " " + Text(r.first.feature) + " = " +
           Text(r.second.option) + ")";
}

TEST_F(SampleRules, EveryRuleResolvesInTheSampleModel) {
    std::vector<std::string> problems;
    for (size_t i = 0; i < rules_.rules.size(); ++i) {
        const vpdc::Rule& r = rules_.rules[i];
        const std::string name = RuleName(i, r);
        auto problem = [&](const std::string& what) { problems.push_back(name + ": " + what); };
        const std::string target = Text(r.first.feature), row = Text(r.first.option), option = Text(r.second.option);
        const int t = Find(target, row);
        if (t < 0) {
            problem("no item " + target);
            continue;
        }
        const UiItem& item = *table_->Row(t);
        const bool column = item.type == kUiPerPageColumn;
        if (item.type == kUiRadio && !row.empty() && Name(item.option) != row) problem("no radio row " + row);
        if (r.kind != vpd::kRuleControl) {
            if (option.empty()) problem("no target option");
            else if (std::string e = Resolve(t, option); !e.empty()) problem(e);
            if (r.kind != vpd::kRuleProhibit && !column && item.state.storage == kUiStoreNone)
                problem(target + " has no settings field");
            if (r.kind == vpd::kRuleProhibit && !row.empty() && row != option)
                problem("the option row of a prohibition names its target option");
        } else if (!option.empty()) {
            problem("a control rule sets no option");
        }
        if (r.kind == vpd::kRulePerPageChange && !column) problem(target + " is not a per-page list column");
        if (r.second.feature != vpdc::Text32{} && Find(Text(r.second.feature), "") < 0)
            problem("no item " + Text(r.second.feature));
        for (const vpdc::Condition& c : r.conditions) {
            const int ci = Find(Text(c.feature), Text(c.option));
            if (ci < 0) {
                problem("no item " + Text(c.feature));
                continue;
            }
            const UiItem& cond = *table_->Row(ci);
            // A device option is read from the printer's device-option record.
            if (cond.type != kUiPerPageColumn && !cond.deviceOption && cond.state.storage == kUiStoreNone)
                problem(Text(c.feature) + " has no settings field (never read)");
            if (std::string e = Resolve(ci, Text(c.option)); !e.empty()) problem(e);
        }
        if (!WellFormed(r)) problem("tokens are not one expression");
        // A change rule on a radio row ends with a condition on that row (the
        // enable-state step leaves the last condition out).
        if (item.type == kUiRadio && !row.empty() && r.kind != vpd::kRuleProhibit &&
            (r.conditions.empty() || Text(r.conditions.back().feature) != target))
            problem("the last condition of a radio-row rule is on " + target);
        for (const vpdc::Action& a : r.actions) {
            if (a.code == vpd::kActIcon && item.iconControl == 0) problem(target + " has no icon control");
            if (a.code == vpd::kActConstraintMessage && r.kind != vpd::kRuleProhibit)
                problem("a refusal message on a rule that forbids nothing");
            if (a.code == vpd::kActChangeMessage && r.kind != vpd::kRuleChange && r.kind != vpd::kRulePerPageChange)
                problem("a change message on a rule that changes nothing");
        }
    }
    EXPECT_TRUE(problems.empty()) << [&] {
        std::string all;
        for (const std::string& p : problems) all += p + "\n";
        return all;
    }();
}

TEST_F(SampleRules, EveryMessageSlotHasATextAndEveryTextARule) {
    std::set<unsigned> change{0, 1}, refuse{0, 1, 70, 71, 72, 140}, tips{1};
    for (const vpdc::Rule& r : rules_.rules)
        for (const vpdc::Action& a : r.actions) {
            if (a.code == vpd::kActChangeMessage) change.insert(a.param);
            if (a.code == vpd::kActConstraintMessage) refuse.insert(a.param);
            if (a.code == vpd::kActIcon) tips.insert(a.param);
        }
    EXPECT_EQ(Slots("ChgMessageStr"), change);
    EXPECT_EQ(Slots("CstMessageStr"), refuse);
    EXPECT_EQ(Slots("ToolChipStr"), tips);
    // Each text fits its 290-character slot with room for the terminator.
    std::vector<WCHAR> text(nvx::model::kMessageSlots * nvx::model::kMessageSlotChars);
    for (const char* entry : {"ChgMessageStr", "CstMessageStr", "ToolChipStr"}) {
        ASSERT_TRUE(nvx::model::NumberedStringLoad(*pkg_, entry, text.data(), nvx::model::kMessageSlotChars,
                                                   nvx::model::kMessageSlots));
        for (unsigned i = 0; i < nvx::model::kMessageSlots; ++i)
            EXPECT_LT(nvx::WLen(&text[i * nvx::model::kMessageSlotChars]), 200u) << entry << " " << i;
    }
}

TEST_F(SampleRules, TheSetUsesEveryKindOperatorTokenAndAction) {
    EXPECT_GE(rules_.rules.size(), 150u);
    std::map<uint32_t, size_t> kinds;
    std::set<uint32_t> ops, tokens, actions;
    for (size_t i = 0; i < rules_.rules.size(); ++i) {
        const vpdc::Rule& r = rules_.rules[i];
        ++kinds[r.kind];
        // Each kind stands in one run: the engine reads the first run of a kind only.
        if (i > 0 && r.kind != rules_.rules[i - 1].kind) {
            bool earlier = false;
            for (size_t j = 0; j + 1 < i; ++j) earlier = earlier || rules_.rules[j].kind == r.kind;
            EXPECT_FALSE(earlier) << RuleName(i, r) << " starts a second run of its kind";
        }
        for (const vpdc::Condition& c : r.conditions) ops.insert(c.op);
        tokens.insert(r.tokens.begin(), r.tokens.end());
        for (const vpdc::Action& a : r.actions) actions.insert(a.code);
    }
    for (uint32_t k : {vpd::kRuleChange, vpd::kRuleProhibit, vpd::kRuleControl, vpd::kRulePerPageChange})
        EXPECT_GT(kinds[k], 0u) << k;
    EXPECT_EQ(kinds.size(), 4u);
    for (uint32_t op = vpd::kOpEqual; op <= vpd::kOpGreaterEqual2; ++op) EXPECT_TRUE(ops.count(op)) << op;
    EXPECT_TRUE(tokens.count(vpd::kTokenAnd) && tokens.count(vpd::kTokenOr));
    for (uint32_t code = vpd::kActDisable; code <= vpd::kActGate; ++code) EXPECT_TRUE(actions.count(code)) << code;
}

// The source compiles, without warnings, to the file in the driver folder, and the
// file dumps back to a source that compiles to the same bytes.
TEST_F(SampleRules, TheSourceIsTheDriverFolderFileAndRoundTrips) {
    std::ifstream in(NVX_SAMPLE_RULES);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> warnings;
    vpdc::BlockPackage pkg = vpdc::RulesFromText(text, "NOVRIX_C.rules", &warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    const vpdc::Bytes bytes = vpdc::WriteBlock(pkg);
    EXPECT_EQ(bytes, ReadBytes(nvxtest::BuiltDriverFolder() + "/NOVRIX_C.VPD"));
    EXPECT_EQ(vpdc::WriteBlock(vpdc::RulesFromText(vpdc::RulesToText(pkg), "dump")), bytes);
}

// The engine's own preparation ties every rule to its items and groups every rule.
TEST_F(SampleRules, TheEnginePreparesEveryRule) {
    vpdc::Bytes c = ReadBytes(nvxtest::BuiltDriverFolder() + "/NOVRIX_C.VPD");
    auto pkg = nvx::model::Package::OpenImage(c.data(), c.size());
    ASSERT_TRUE(pkg);
    nvx::model::ConstraintBlock file;
    ASSERT_TRUE(file.Load(*pkg));
    char version[64] = {};
    EXPECT_TRUE(file.CustomVersion(version, sizeof version));
    EXPECT_STREQ(version, "1.00");
    nvx::constraints::PreparedRules* prepared = nvx::constraints::PrepareRules(file, table_.get(), false);
    ASSERT_TRUE(prepared);
    EXPECT_EQ(prepared->rules.size(), rules_.rules.size());
    EXPECT_EQ(prepared->ignored, 0u);
    std::map<uint32_t, size_t> kinds;
    for (const vpdc::Rule& r : rules_.rules) ++kinds[r.kind];
    EXPECT_EQ(prepared->change.rules.size(), kinds[vpd::kRuleChange]);
    EXPECT_EQ(prepared->prohibit.rules.size(), kinds[vpd::kRuleProhibit]);
    EXPECT_EQ(prepared->control.rules.size(), kinds[vpd::kRuleControl]);
    EXPECT_EQ(prepared->perPage.rules.size(), kinds[vpd::kRulePerPageChange]);
    for (const nvx::constraints::PreparedRule& p : prepared->rules) {
        const vpdc::Rule& r = rules_.rules[p.fileIndex];
        EXPECT_GE(p.targetRow, 0) << RuleName(p.fileIndex, r);
        for (int row : p.conditionRows) EXPECT_GE(row, 0) << RuleName(p.fileIndex, r);
        if (r.second.feature != vpdc::Text32{}) {
            EXPECT_GE(p.secondRow, 0) << RuleName(p.fileIndex, r);
        }
    }
    nvx::constraints::FreeRules(prepared);
}

// The module attaches over the driver folder's packages (the model with its
// included message entries and the compiled rule set).
class SampleAttach : public PlatformTest {};

TEST_F(SampleAttach, TheModuleLoadsWithTheSamplePackages) {
    nvxtest::DriverCopy driver;
    SetLastError(0);
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    EXPECT_NE(nullptr, module) << GetLastError();
    if (module) {
        EXPECT_TRUE(FreeLibrary(module));
    }
}

}  // namespace
