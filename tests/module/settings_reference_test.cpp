// Every row of the settings record's layout against its reference rows
// (data/oemdev_rows.tsv): offset, width, kind, template default and settings-text
// key, through the field table's lookups and the built template.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/text.h"
#include "module/reference_rows.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx::settings;

const char* KindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::U8: return "u8";
    case FieldKind::I8: return "i8";
    case FieldKind::U16: return "u16";
    case FieldKind::I16: return "i16";
    case FieldKind::U32: return "u32";
    case FieldKind::Ansi: return "ansi";
    case FieldKind::Text: return "utf16";
    }
    return "?";
}

constexpr std::string_view kAtAttach = "attach:";

TEST(SettingsReference, EveryRowHasItsOffsetWidthKindDefaultAndKey) {
    const auto rows = nvxtest::ReadReferenceRows("oemdev_rows.tsv");
    ASSERT_EQ(423u, rows.size());
    OEMDEV t;
    BuildTemplate(t);
    std::set<const FieldDef*> seen;
    for (const auto& row : rows) {
        SCOPED_TRACE("oemdev_rows.tsv:" + std::to_string(row.line) + " " + row[4] + " at " + row[0]);
        const uint32_t offset = static_cast<uint32_t>(std::stoul(row[0]));
        FieldRef ref = FieldAtOffset(offset);
        ASSERT_TRUE(ref);
        EXPECT_TRUE(seen.insert(ref.def).second) << "two rows share the field " << ref.def->name;
        EXPECT_EQ(offset, ref.Offset()) << "the field starts elsewhere";
        EXPECT_EQ(1u, ref.def->count);
        EXPECT_EQ(std::stoul(row[1]), ref.Size());
        EXPECT_EQ(row[2], KindName(ref.def->kind));

        const std::string& want = row[3];
        if (IsNumberKind(ref.def->kind)) {
            EXPECT_EQ(std::stol(want), ref.def->number);
            EXPECT_EQ(std::stol(want), GetNumber(t, ref));
        } else {
            const bool atAttach = want.compare(0, kAtAttach.size(), kAtAttach) == 0;
            const std::string text = atAttach ? std::string() : want;
            EXPECT_EQ(text, ref.def->text ? ref.def->text : "");
            const std::string stored =
                ref.def->kind == FieldKind::Ansi ? GetAnsi(t, ref) : nvx::Utf8FromW(GetText(t, ref));
            EXPECT_EQ(text, stored);
            if (atAttach) {
                PrepareDefaultTemplate();
                EXPECT_EQ(want.substr(kAtAttach.size()), GetAnsi(DefaultTemplate(), ref));
            }
        }

        if (row[4] == "-") {
            EXPECT_EQ(kInternal, ref.def->use) << ref.def->name << " is carried by the settings text";
        } else {
            EXPECT_EQ(kExchanged, ref.def->use);
            EXPECT_EQ(row[4], ref.def->name);
            EXPECT_EQ(ref.def, FindExchangeKey(row[4]).def);
        }
    }
    // The other rows of the table are the numbered and placed fields that the
    // settings text names between the published ones (SettingsFields.OurPlacementsStayPut).
    EXPECT_EQ(kOemDevFieldCount - rows.size(), 40u);  // with the two preset selection and two e-mail rows
}

}  // namespace
