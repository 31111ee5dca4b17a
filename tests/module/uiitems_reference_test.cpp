// Every row of the UI item definition table against its reference rows
// (data/uiitem_rows.tsv): dialog ids, feature, option, control id and control type,
// in table order; and the same rows as the table built for the sample model holds them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue_test_util.h"
#include "features/ui_items.h"
#include "module/reference_rows.h"
#include "settings/settings_state.h"

using namespace nvx::features;

namespace {

template <typename Ids>
std::string Dialogs(const Ids& ids) {
    std::string s;
    for (uint32_t id : ids) {
        if (id == 0) break;
        s += (s.empty() ? "" : "/") + std::to_string(id);
    }
    return s.empty() ? "-" : s;
}

std::string Narrow(const WCHAR (&field)[kUiNameBytes]) {
    std::string s;
    for (size_t i = 0; i < kUiNameBytes && field[i]; ++i) s += static_cast<char>(field[i]);
    return s;
}

// "dialogs feature(option) control:type", as a definition row, an item or a reference row.
std::string RowText(const std::string& dialogs, const std::string& feature, const std::string& option,
                    uint32_t control, uint32_t type) {
    std::string s = dialogs + " " + feature;
    if (!option.empty()) s += "(" + option + ")";
    return s + " " + std::to_string(control) + ":" + std::to_string(type);
}
std::string RowText(const UiItemDef& d) { return RowText(Dialogs(d.dialogs), d.feature, d.option, d.control, d.type); }
std::string RowText(const UiItem& i) {
    return RowText(Dialogs(i.dialogs), Narrow(i.feature), Narrow(i.option), i.control, i.type);
}
std::string RowText(const nvxtest::ReferenceRow& r) {
    return RowText(r[0], r[1], r[2], static_cast<uint32_t>(std::stoul(r[3])), static_cast<uint32_t>(std::stoul(r[4])));
}

TEST(UiItemReference, EveryDefinitionRowInOrder) {
    const auto rows = nvxtest::ReadReferenceRows("uiitem_rows.tsv");
    ASSERT_EQ(kUiItemDefCount, rows.size());
    for (size_t i = 0; i < kUiItemDefCount; ++i) {
        SCOPED_TRACE("uiitem_rows.tsv:" + std::to_string(rows[i].line));
        EXPECT_EQ(RowText(rows[i]), RowText(kUiItemDefs[i])) << "row " << i;
        EXPECT_EQ(0u, kUiItemDefs[i].listSource);
    }
    EXPECT_EQ(0, kUiItemDefs[kUiItemDefCount].feature[0]);  // the end row
}

// The sample model's table holds the reference rows it keeps, in order, with the
// device options in place of OptionSetting.
class UiItemReferenceBuilt : public ::testing::Test {
protected:
    void SetUp() override { nvx::settings::PrepareSettings(); }
    void TearDown() override {
        FreeUiItemTable(table_);
        nvx::settings::ReleaseSettings();
    }
    UiItemTable* table_ = nullptr;
};

TEST_F(UiItemReferenceBuilt, TheTableCopiesEveryRowItKeeps) {
    const auto rows = nvxtest::ReadReferenceRows("uiitem_rows.tsv");
    ASSERT_EQ(kUiItemDefCount, rows.size());
    auto pkg = cattest::Open(cattest::SampleSource());
    cattest::Built built(*pkg);
    ASSERT_TRUE(built.ok);
    UiBuildInputs in;
    in.record = built.tables.record;
    in.deviceOptions = built.tables.deviceOptions;
    table_ = BuildUiItemTable(in);
    ASSERT_NE(nullptr, table_);
    size_t at = 0;
    for (size_t i = 0; i < kUiItemDefCount; ++i) {
        SCOPED_TRACE("uiitem_rows.tsv:" + std::to_string(rows[i].line));
        if (UiItemLeftOut(kUiItemDefs[i], in.record, in.variants)) continue;
        if (rows[i][1] == "OptionSetting") {
            at += in.deviceOptions->count;
            continue;
        }
        ASSERT_LT(at, table_->count);
        EXPECT_EQ(RowText(rows[i]), RowText(table_->rows[at])) << "item " << at;
        EXPECT_EQ(0u, table_->rows[at].deviceOption);
        ++at;
    }
    EXPECT_EQ(table_->count, at);
}

}  // namespace
