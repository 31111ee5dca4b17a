// The control text tables: built-in rows, the package's text loads over them, the
// variant tables, the texts copied out and the reset.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "model/text_tables.h"
#include "model/text_tables_data.h"
#include "package_test_util.h"

namespace {

using namespace nvx::model;

std::string U8(const WCHAR* s) { return s ? nvx::Utf8FromW(s) : std::string("<null>"); }

// A package of text entries: {"entry": [[key, value], ...], ...}.
PackagePtr TextPackage(const std::string& entriesJson) {
    static vpdc::Bytes bytes;  // the package keeps its own copy
    bytes = pkgtest::Build(pkgtest::Directory(entriesJson));
    return pkgtest::OpenBytes(bytes);
}

class TextTablesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTextTables(); }
    void TearDown() override { ResetTextTables(); }
};

TEST_F(TextTablesTest, BuiltInTablesAreWellFormed) {
    // Every entry of the loads has a table with a caption row, unique keys and a terminator.
    ASSERT_GT(TextEntryCount(), 100u);
    for (size_t i = 0; i < TextEntryCount(); ++i) {
        const char* entry = TextEntryName(i);
        ControlTextRow* t = TextTable(entry);
        ASSERT_NE(nullptr, t) << entry;
        size_t rows = TextTableRows(t);
        ASSERT_GE(rows, 1u) << entry;
        EXPECT_NE(0u, t[0].ids[0]) << entry;
        EXPECT_NE(kTextOnlyRow, t[0].ids[0]) << entry << ": row 0 must name a control to set the caption";
        EXPECT_FALSE(U8(t[0].text).empty()) << entry;
        std::set<std::string> keys;
        for (size_t r = 0; r < rows; ++r) {
            EXPECT_NE(0, t[r].key[0]) << entry << " row " << r;
            EXPECT_TRUE(keys.insert(t[r].key).second) << entry << ": key " << t[r].key << " twice";
            EXPECT_LT(nvx::WLenBounded(t[r].text, 64), 64u);
        }
        EXPECT_EQ(0u, t[rows].ids[0]);
        EXPECT_EQ(0, t[rows].key[0]);
    }
    EXPECT_EQ(nullptr, TextTable("Property_99"));
    EXPECT_EQ(nullptr, TextTable(nullptr));

    // The pages' tables.
    EXPECT_EQ(TextTable("Property_0"), PageTextTable(100));
    EXPECT_EQ(TextTable("Property_7"), PageTextTable(106));
    EXPECT_EQ(TextTable("Dlg_UserPaper"), PageTextTable(151));
    EXPECT_EQ(TextTable("Property_13"), PageTextTable(161));
    EXPECT_EQ(nullptr, PageTextTable(0));
    EXPECT_EQ(nullptr, PageTextTable(999));
    ControlTextRow* basic = PageTextTable(100);
    EXPECT_EQ(100u, basic[0].ids[0]);
    EXPECT_EQ("Orientation", U8(TextByKey(basic, "Orientation")));
    EXPECT_EQ("(%d-%d)", U8(TextByKey(basic, "ZoomRange")));
    EXPECT_EQ("", U8(TextByKey(basic, "CopiesRange")));  // empty: the page uses its own format
    EXPECT_EQ(nullptr, TextByKey(basic, "orientation"));  // exact keys
    EXPECT_EQ(nullptr, TextByKey(basic, nullptr));
    EXPECT_EQ(nullptr, TextByKey(nullptr, "Orientation"));
    EXPECT_EQ(nullptr, TextByKey(basic, "A key longer than the thirty-one characters"));

    // A row may name several controls.
    ControlTextRow* initial = PageTextTable(161);
    bool both = false;
    for (size_t r = 0; r < TextTableRows(initial); ++r)
        if (initial[r].ids[0] == 1867 && initial[r].ids[1] == 1220 && initial[r].ids[2] == 0) both = true;
    EXPECT_TRUE(both);

    // The common table: row 0 lists the common controls, rows 1..5 are for lookup.
    ControlTextRow* common = CommonTextTable();
    ASSERT_NE(nullptr, common);
    EXPECT_EQ(1130u, common[0].ids[0]);
    EXPECT_GE(TextTableRows(common), 6u);
}

TEST_F(TextTablesTest, LoadReplacesByKeyAndKeepsTheRest) {
    PackagePtr pkg = TextPackage(R"J(
        {"name": "Property_0", "items": [
            ["Orientation", "Direction"], ["NoSuchKey", "ignored"], ["CopiesRange", "(%d to %d)"],
            ["EasySetDefaults", "Factory Settings"],
            ["EasySetUntitled", "A preset name that runs well past thirty-one characters"],
            ["Portrait", ""]]},
        {"name": "Dlg_UserPaper", "items": [["Caption", "Custom Size"],
            ["Width", "A width label of more than sixty-three characters, which a row cannot hold whole"]]},
        {"name": "Dlg_OverlayDelete", "items": [["OvlDel_Color", "Colour:"]]})J");
    ASSERT_NE(nullptr, pkg);
    EXPECT_EQ(3u, LoadTextTables(*pkg, {}));

    ControlTextRow* basic = PageTextTable(100);
    EXPECT_EQ("Direction", U8(TextByKey(basic, "Orientation")));
    EXPECT_EQ("Portrait", U8(TextByKey(basic, "Portrait")));  // an empty text keeps the built-in one
    EXPECT_EQ("Landscape", U8(TextByKey(basic, "Landscape")));
    EXPECT_EQ("(%d to %d)", U8(TextByKey(basic, "CopiesRange")));  // a text-only row, found by key
    EXPECT_EQ(nullptr, TextByKey(basic, "NoSuchKey"));                // loads never add rows
    EXPECT_EQ("Factory Settings", U8(NamedTextOf(NamedText::PresetDefault)));
    std::string untitled = U8(NamedTextOf(NamedText::PresetUntitled));
    EXPECT_EQ(31u, untitled.size());
    EXPECT_EQ(std::string("A preset name that runs well past thirty-one characters").substr(0, 31), untitled);

    ControlTextRow* paper = PageTextTable(151);
    EXPECT_EQ("Custom Size", U8(paper[0].text));
    EXPECT_EQ(63u, U8(TextByKey(paper, "Width")).size());
    EXPECT_EQ("Colour:", U8(NamedTextOf(NamedText::OverlayColor)));
    EXPECT_EQ("Resolution:", U8(NamedTextOf(NamedText::OverlayResolution)));
    EXPECT_EQ("", U8(NamedTextOf(NamedText::Count)));

    // Detach: everything built in again.
    ResetTextTables();
    EXPECT_EQ("Orientation", U8(TextByKey(basic, "Orientation")));
    EXPECT_EQ("", U8(TextByKey(basic, "CopiesRange")));
    EXPECT_EQ("Custom Paper Size", U8(paper[0].text));
    EXPECT_EQ("Default", U8(NamedTextOf(NamedText::PresetDefault)));
    EXPECT_EQ("Color:", U8(NamedTextOf(NamedText::OverlayColor)));
    EXPECT_EQ(basic, PageTextTable(100));  // the tables never move
}

TEST_F(TextTablesTest, PackageWithoutTheBasicPageKeepsBuiltInTexts) {
    PackagePtr pkg = TextPackage(R"J({"name": "Property_7", "items": [["Version_VPD", "Package"]]})J");
    ASSERT_NE(nullptr, pkg);
    EXPECT_EQ(1u, LoadTextTables(*pkg, {}));
    EXPECT_EQ("Basic", U8(PageTextTable(100)[0].text));
    EXPECT_EQ("Default", U8(NamedTextOf(NamedText::PresetDefault)));
    EXPECT_EQ("Untitled", U8(NamedTextOf(NamedText::PresetUntitled)));
    EXPECT_EQ("Package", U8(NamedTextOf(NamedText::VersionData)));
    EXPECT_EQ("Core", U8(NamedTextOf(NamedText::VersionCore)));
}

TEST_F(TextTablesTest, VariantTablesFollowTheChoices) {
    PackagePtr pkg = TextPackage(R"J(
        {"name": "Dlg_UserSetting", "items": [["Caption", "Users"]]},
        {"name": "Dlg_ColorAdjust", "items": [["Caption", "Colours"]]},
        {"name": "Dlg_SetImgShiftPrn", "items": [["Caption", "Shift (printer)"]]},
        {"name": "Dlg_SetImgShiftMFP", "items": [["Caption", "Shift (MFP)"]]})J");
    ASSERT_NE(nullptr, pkg);
    TextLoadChoices type2;
    LoadTextTables(*pkg, type2);
    EXPECT_EQ("Users", U8(UserSettingTextTable(false)[0].text));
    EXPECT_EQ("User Settings", U8(UserSettingTextTable(true)[0].text));
    EXPECT_EQ(UserSettingTextTable(false), TextTable("Dlg_UserSetting"));
    EXPECT_EQ("Shift (MFP)", U8(TextTable("Dlg_SetImgShiftMFP")[0].text));
    EXPECT_EQ("Image Shift", U8(TextTable("Dlg_SetImgShiftPrn")[0].text));
    for (unsigned v = 0; v < kColorAdjustVariants; ++v) {
        ASSERT_NE(nullptr, ColorAdjustTextTable(v));
        EXPECT_EQ("Colours", U8(ColorAdjustTextTable(v)[0].text)) << v;
    }
    EXPECT_EQ(nullptr, ColorAdjustTextTable(kColorAdjustVariants));
    EXPECT_EQ(ColorAdjustTextTable(0), TextTable("Dlg_ColorAdjust"));

    ResetTextTables();
    TextLoadChoices type1;
    type1.userSettingType1 = true;
    type1.imageShiftType1 = true;
    LoadTextTables(*pkg, type1);
    EXPECT_EQ("Users", U8(UserSettingTextTable(true)[0].text));
    EXPECT_EQ("User Settings", U8(UserSettingTextTable(false)[0].text));
    EXPECT_EQ(UserSettingTextTable(true), TextTable("Dlg_UserSetting"));
    EXPECT_EQ("Shift (printer)", U8(TextTable("Dlg_SetImgShiftPrn")[0].text));
    EXPECT_EQ("Image Shift", U8(TextTable("Dlg_SetImgShiftMFP")[0].text));
    ResetTextTables();
    EXPECT_EQ(UserSettingTextTable(false), TextTable("Dlg_UserSetting"));
}

}  // namespace
