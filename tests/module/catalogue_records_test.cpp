// Option records and the built-in catalogue: sizes, walks, the 251 rows, the 104
// two-state rows and the lists where index and value part ways (every row and
// option: catalogue_reference_test.cpp).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "common/le.h"
#include "common/text.h"
#include "features/catalogue.h"
#include "features/option_record.h"

using namespace nvx::features;

namespace {

std::string Name(const uint8_t* rec) { return nvx::Utf8FromW(DisplayName(rec)); }

// "kw=value" for every option of a list, joined by blanks.
std::string Dump(const uint8_t* list) {
    std::string out;
    for (size_t i = 0, n = ListCount(list); i < n; ++i) {
        const uint8_t* r = RecordAt(list, i);
        out += (i ? " " : "") + std::string(Keyword(r)) + "=" + std::to_string(Value(r));
    }
    return out;
}

TEST(CatalogueRecords, ListsWalkBySizeAcrossOddAddressesAndStopAtTheTerminator) {
    OptionListBuilder b;
    b.Add(kSizeDuplex, "Simplex", 1);
    b.Add(kSizeNamedExtra, "2up", 1);  // starts at byte 54
    uint8_t* third = b.Add(kSizeProfile, "WM_ColorSetting", -1);
    WriteDisplayName(third, nvx::WString(60, u'x'));  // cut to 47 characters
    std::vector<uint8_t> list = b.Finish();
    ASSERT_EQ(54u + 146u + 242u + 54u, list.size());  // the terminator takes the first record's size
    EXPECT_EQ(3u, ListCount(list.data()));
    EXPECT_EQ(list.size(), ListBytes(list.data()));
    EXPECT_EQ(54u, FirstRecordSize(list.data()));
    EXPECT_EQ(2, IndexOfKeyword(list.data(), "WM_ColorSetting"));
    EXPECT_EQ(2, IndexOfValue(list.data(), -1));
    EXPECT_EQ(-1, IndexOfKeyword(list.data(), "wm_colorsetting"));  // exact
    EXPECT_EQ(-1, IndexOfKeyword(list.data(), ""));
    EXPECT_EQ(-1, ValueAt(list.data(), 2).value_or(0));
    EXPECT_FALSE(ValueAt(list.data(), 3).has_value());  // a miss is not the value -1
    EXPECT_EQ(47u, DisplayName(RecordAt(list.data(), 2)).size());
    EXPECT_EQ(kWarningIcon, Icon(RecordAt(list.data(), 1)));
    EXPECT_EQ(0u, ListCount(nullptr));
    EXPECT_FALSE(ValueAt(nullptr, 0).has_value());
}

TEST(CatalogueRecords, ARecordTooShortToAdvanceEndsTheList) {
    std::vector<uint8_t> list(3 * kSizeSwitch, 0);
    WriteHeader(list.data(), kSizeSwitch, "A", 1);
    WriteHeader(list.data() + kSizeSwitch, 0, "B", 2);  // size 0 would never advance
    nvx::PutLE32(list.data() + kSizeSwitch, 0);
    EXPECT_EQ(1u, ListCount(list.data()));
    EXPECT_EQ(-1, IndexOfValue(list.data(), 2));
    EXPECT_EQ(2 * kSizeSwitch, ListBytes(list.data()));
}

TEST(CatalogueRows, HasTheRowsAsListedWithUniqueNames) {
    Catalogue cat;
    std::set<std::string> names;
    size_t rows = 0, twoState = 0, noList = 0;
    for (const FeatureEntry* r = cat.Rows(); r->name[0] != 0; ++r, ++rows) {
        EXPECT_TRUE(names.insert(r->name).second) << r->name;
        if (r->options == nullptr) {
            ++noList;
            continue;
        }
        std::string n = r->name;
        const uint8_t* l = r->options;
        if (ListCount(l) == 2 && RecordSize(l) == kSizeSwitch && Value(l) == 0 &&
            Value(RecordAt(l, 1)) == 1 &&
            ((Keyword(l) == n + "OFF" && Keyword(RecordAt(l, 1)) == n + "ON") ||
             (Keyword(l) == n + "_OFF" && Keyword(RecordAt(l, 1)) == n + "_ON")))
            ++twoState;
    }
    EXPECT_EQ(kCatalogueRows, rows);
    EXPECT_EQ(kTwoStateRows, twoState);
    EXPECT_EQ(8u, noList);
    for (const char* n : {"PaperSize", "OutPaperSize", "MediaType", "InTray", "Resolution", "DeviceOption",
                          "SelectColor", "TwoColors"})
        EXPECT_EQ(nullptr, cat.Find(n)->options) << n;
    EXPECT_EQ(nullptr, cat.Find("paperSize"));
    EXPECT_EQ(nullptr, cat.Find(""));
    EXPECT_EQ(nullptr, cat.Find("Nup_o"));
}

TEST(CatalogueRows, IndexAndValueAreNeverConfused) {
    Catalogue cat;
    const uint8_t* zoom = cat.FindList("Zoom");
    EXPECT_EQ(1, Value(FindKeyword(zoom, "ZoomAuto")));
    EXPECT_EQ(0, IndexOfKeyword(zoom, "ZoomAuto"));
    EXPECT_EQ(0, Value(FindKeyword(zoom, "ZoomManual")));
    EXPECT_EQ(1, IndexOfValue(zoom, 0));
    const uint8_t* fonts = cat.FindList("FontSubstitute");
    EXPECT_EQ(1, Value(FindKeyword(fonts, "FontSubstituteOFF")));
    EXPECT_EQ(0, Value(FindKeyword(fonts, "FontSubstituteON")));
    const uint8_t* punch = cat.FindList("PerPageListHolePunch");
    EXPECT_EQ("PPSHolePunchSameAsBody", std::string(Keyword(punch)));
    EXPECT_EQ(255, Value(punch));
    EXPECT_EQ(0, IndexOfValue(punch, 255));
    const uint8_t* colours = cat.FindList("WM_Color");
    EXPECT_EQ(-1, Value(FindKeyword(colours, "WM_ColorSetting")));
    EXPECT_EQ(7, IndexOfValue(colours, -1));
    EXPECT_EQ(16711680, Value(FindKeyword(colours, "WM_Blue")));
    EXPECT_EQ(-1, IndexOfValue(cat.FindList("Nup_op"), 6));  // no option has the value 6
}

TEST(CatalogueRows, PayloadsFollowTheRecordSize) {
    Catalogue cat;
    const uint8_t* duplex = cat.FindList("DoubleSides");
    ASSERT_EQ(kSizeDuplex, RecordSize(duplex));
    const uint8_t* booklet = FindKeyword(duplex, "Booklet");
    EXPECT_EQ(3u, nvx::GetLE32(booklet + 48));
    EXPECT_EQ(1u, nvx::GetLE16(booklet + 52));
    const uint8_t* nup = cat.FindList("Nup_op");
    EXPECT_EQ(64866, ExtraValue(FindKeyword(nup, "2up")));
    EXPECT_EQ(64870, ExtraValue(FindKeyword(nup, "16up")));
    EXPECT_EQ(0, ExtraValue(FindKeyword(nup, "2x2")));
    EXPECT_EQ("2 x 2", Name(FindKeyword(nup, "2x2")));
    EXPECT_EQ(1, ExtraValue(FindKeyword(cat.FindList("CSE_String_op"), "CSE_MachineSetting8")));
    EXPECT_EQ(0, ExtraValue(FindKeyword(cat.FindList("CSE_String_op"), "CSE_DRAFT")));
    const uint8_t* device = FindKeyword(cat.FindList("ColAdj_RGBProf"), "ColAdj_DeviceRGB");
    EXPECT_EQ("Text_DeviceRGB", std::string(ImpliedKeyword(device, 0)));
    EXPECT_EQ("Img_DeviceRGB", std::string(ImpliedKeyword(device, 1)));
    EXPECT_EQ("Graph_DeviceRGB", std::string(ImpliedKeyword(device, 2)));
    EXPECT_EQ("Same as Text Setting", Name(FindKeyword(cat.FindList("Graph_Halftone"), "Graph_HalftoneText")));
    EXPECT_EQ("", Name(FindKeyword(cat.FindList("Text_Halftone"), "Text_Detail")));
    for (const FeatureEntry* r = cat.Rows(); r->name[0] != 0; ++r)
        for (size_t i = 0, n = ListCount(r->options); i < n; ++i) {
            const uint8_t* rec = RecordAt(r->options, i);
            EXPECT_EQ(kWarningIcon, Icon(rec)) << r->name;
            EXPECT_FALSE(Forbidden(rec)) << r->name;
            EXPECT_EQ(RecordSize(r->options), RecordSize(rec)) << r->name;  // one size per list
        }
}

TEST(CatalogueRows, TheCoverRuleChoosesTheListsAndTheirFirstValues) {
    Catalogue cat;
    Catalogue::CoverModes m = cat.ChooseCoverLists(false, true);
    EXPECT_EQ("Blank_FCover_PJL=4 Print_FCover_PJL=5", Dump(cat.Find("FrontCover_op")->options));
    EXPECT_EQ("Blank_BCover=1 Print_S_BCover=2 Print_D_BCover=3", Dump(cat.Find("BackCover_op")->options));
    EXPECT_EQ(4, m.front);
    EXPECT_EQ(1, m.back);
    m = cat.ChooseCoverLists(true, false);  // and back again
    EXPECT_EQ(1, m.front);
    EXPECT_EQ(4, m.back);
    EXPECT_EQ("Blank_FCover=1 Print_S_FCover=2 Print_D_FCover=3", Dump(cat.Find("FrontCover_op")->options));
    cat.Reset();
    EXPECT_EQ(1, Value(cat.Find("BackCover_op")->options));
}

}  // namespace
