// Every feature of the built-in catalogue with every option against the reference
// rows (data/catalogue_rows.tsv): record size, keyword, value, built-in display name
// and the extra value of 146-byte records, in list order.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/text.h"
#include "features/catalogue.h"
#include "features/option_record.h"
#include "module/reference_rows.h"

using namespace nvx::features;

namespace {

// One option as "size keyword value name extra", the way the reference rows give it.
std::string OptionText(const uint8_t* rec) {
    std::string s = std::to_string(RecordSize(rec)) + " " + std::string(Keyword(rec)) + " " +
                    std::to_string(Value(rec)) + " \"" + nvx::Utf8FromW(DisplayName(rec)) + "\"";
    if (RecordSize(rec) == kSizeNamedExtra) s += " " + std::to_string(ExtraValue(rec));
    return s;
}

std::string OptionText(const nvxtest::ReferenceRow& row) {
    std::string s = row[1] + " " + row[2] + " " + row[3] + " \"" + row[4] + "\"";
    if (row[1] == std::to_string(kSizeNamedExtra)) s += " " + row[5];
    return s;
}

TEST(CatalogueReference, EveryFeatureHasItsOptionsInOrder) {
    const auto rows = nvxtest::ReadReferenceRows("catalogue_rows.tsv");
    std::map<std::string, std::vector<std::string>> want;  // feature -> options; empty: no built-in list
    std::set<std::string> withoutList;
    size_t options = 0;
    for (const auto& row : rows) {
        if (row[1] == "-") {
            withoutList.insert(row[0]);
            want[row[0]];
            continue;
        }
        want[row[0]].push_back(OptionText(row));
        ++options;
    }
    ASSERT_EQ(kCatalogueRows, want.size());
    ASSERT_EQ(948u, options);
    EXPECT_EQ(8u, withoutList.size());

    Catalogue cat;
    size_t built = 0;
    for (const FeatureEntry* r = cat.Rows(); r->name[0] != 0; ++r) {
        ++built;
        SCOPED_TRACE(r->name);
        auto it = want.find(r->name);
        ASSERT_NE(want.end(), it) << "a feature without reference rows";
        if (withoutList.count(r->name)) {
            EXPECT_EQ(nullptr, r->options);
            continue;
        }
        ASSERT_NE(nullptr, r->options);
        std::vector<std::string> got;
        for (size_t i = 0, n = ListCount(r->options); i < n; ++i) got.push_back(OptionText(RecordAt(r->options, i)));
        EXPECT_EQ(it->second, got);
        // The list ends at an empty keyword of the list's record size, value 0.
        const uint8_t* end = r->options + ListBytes(r->options) - RecordSize(r->options);
        EXPECT_EQ("", std::string(Keyword(end)));
        EXPECT_EQ(0, Value(end));
        EXPECT_EQ(RecordSize(r->options), RecordSize(end));
    }
    EXPECT_EQ(kCatalogueRows, built);
    for (const auto& [name, list] : want) EXPECT_NE(nullptr, cat.Find(name)) << name;
}

TEST(CatalogueReference, DuplexRecordsRepeatTheirValueThenOne) {
    Catalogue cat;
    const uint8_t* list = cat.FindList("DoubleSides");
    ASSERT_EQ(4u, ListCount(list));
    for (size_t i = 0; i < ListCount(list); ++i) {
        const uint8_t* rec = RecordAt(list, i);
        EXPECT_EQ(static_cast<uint32_t>(Value(rec)), nvx::GetLE32(rec + 48)) << Keyword(rec);
        EXPECT_EQ(1u, nvx::GetLE16(rec + 52)) << Keyword(rec);
    }
}

}  // namespace
