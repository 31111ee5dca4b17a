// The lists the package fills: option texts, reorders, refills with their key
// tables and capacities, the destination and fax lists.
#include <gtest/gtest.h>

#include <string>

#include "catalogue_test_util.h"
#include "features/catalogue.h"

using namespace nvx::features;
using cattest::Items;
using cattest::Json;

namespace {

std::string Dump(const uint8_t* list) {
    std::string out;
    for (size_t i = 0, n = ListCount(list); i < n; ++i) {
        const uint8_t* r = RecordAt(list, i);
        out += (i ? " " : "") + std::string(Keyword(r)) + "=" + std::to_string(Value(r));
        std::string name = nvx::Utf8FromW(DisplayName(r));
        if (!name.empty()) out += "(" + name + ")";
    }
    return out;
}

// The sample with some entries replaced, built through the catalogue's steps.
struct SampleWith {
    nvx::model::PackagePtr pkg;
    std::unique_ptr<cattest::Built> built;
    explicit SampleWith(std::initializer_list<Json> entries, std::initializer_list<const char*> removed = {}) {
        Json src = cattest::SampleSource();
        for (const Json& e : entries) cattest::SetEntry(src, e);
        for (const char* r : removed) cattest::RemoveEntry(src, r);
        pkg = cattest::Open(src);
        built = std::make_unique<cattest::Built>(*pkg);
    }
    const uint8_t* List(const char* name) { return TheCatalogue().FindList(name); }
};

TEST(CatalogueRefills, KeysComeInTheEntrysOrderWithTheirMappedValues) {
    SampleWith s({Items("ChkBlankRatio_op", {{"ChkBlankRatio_50", "Half"}, {"ChkBlankRatio_75", "Three quarters"}}),
                  Items("PrintWithBlack_op", {{"PrnBk_All", "All"}, {"Unknown", "x"}, {"prnbk_text", "Text"}})});
    ASSERT_TRUE(s.built->ok);
    EXPECT_EQ("ChkBlankRatio_50=50(Half) ChkBlankRatio_75=75(Three quarters)", Dump(s.List("ChkBlankRatio_op")));
    // Keys compare without regard to case; the item's key is what the row keeps.
    EXPECT_EQ("PrnBk_All=1(All) prnbk_text=2(Text)", Dump(s.List("PrintWithBlack_op")));
    EXPECT_EQ(kSizeNamed, RecordSize(s.List("PrintWithBlack_op")));
    EXPECT_EQ(kWarningIcon, Icon(s.List("PrintWithBlack_op")));
}

TEST(CatalogueRefills, TheSharedOverlayOptionNeedsTheSharedOverlaySwitch) {
    Json overlay = Items("Overlay_Switch", {{"Ovl_Nosetting", "None"}, {"Ovl_Host_CreateShare", "Shared"},
                                            {"Ovl_Host_Print", "Print"}});
    for (int shared : {0, 1}) {
        Json info = Items("MachineInfo", {{"SharedOverlay", shared ? "1" : "0"}});
        SampleWith s({overlay, info});
        ASSERT_TRUE(s.built->ok);
        EXPECT_EQ(shared ? "Ovl_Nosetting=0(None) Ovl_Host_CreateShare=4(Shared) Ovl_Host_Print=2(Print)"
                         : "Ovl_Nosetting=0(None) Ovl_Host_Print=2(Print)",
                  Dump(s.List("Overlay_Switch")))
            << shared;
    }
}

TEST(CatalogueRefills, AListNeverGrowsBeyondItsCapacityAndAMissingEntryLeavesIt) {
    SampleWith s({Items("BlackOverPrint_op", {{"BlackOverPrintText", "A"}, {"BlackOverPrintTextAndGraphics", "B"},
                                              {"BlackOverPrintText", "C"}, {"BlackOverPrintText", "D"}}),
                  Items("HFE_HeaderPosition", {{"Nothing", "x"}})},
                 {"ChkBlankRatio_op"});
    EXPECT_EQ("BlackOverPrintText=0(A) BlackOverPrintTextAndGraphics=1(B)", Dump(s.List("BlackOverPrint_op")));
    EXPECT_EQ("", Dump(s.List("HFE_HeaderPosition")));  // emptied: no key it knows
    EXPECT_EQ("ChkBlankRatio_75=75 ChkBlankRatio_50=50", Dump(s.List("ChkBlankRatio_op")));
    // A colour list refilled with its own keys; an item without text keeps the built-in name.
    SampleWith c({Items("Graph_Halftone", {{"Graph_Smooth", "Smooth!"}, {"Graph_HalftoneText", ""}})});
    EXPECT_EQ("Graph_Smooth=2(Smooth!) Graph_HalftoneText=3(Same as Text Setting)", Dump(c.List("Graph_Halftone")));
}

TEST(CatalogueRefills, AListStoredIn48ByteRecordsTakesTheRefillsWiderRecords) {
    // Img_Halftone's built-in records are 48 bytes; its refill writes 144-byte rows.
    SampleWith s({Items("Img_Halftone", {{"Img_Smooth", "S"}, {"Img_Detail", "D"}, {"Img_UltraDetail", "U"},
                                         {"Img_Smooth", "again"}})});
    const uint8_t* l = s.List("Img_Halftone");
    EXPECT_EQ("Img_Smooth=2(S) Img_Detail=1(D) Img_UltraDetail=0(U)", Dump(l));
    EXPECT_EQ(kSizeNamed, RecordSize(l));
    EXPECT_GE(TheCatalogue().StorageBytes(l), 4 * kSizeNamed);
}

TEST(CatalogueRefills, DestinationListsNeedDestinationKind3) {
    Json dest = Items("Img_Destination", {{"Img_DestAuto", "Automatic"}, {"Img_DestAuto", "twice"}});
    SampleWith off({dest});  // only the option text load runs: the last text wins
    EXPECT_EQ("Img_DestAuto=0(twice)", Dump(off.List("Img_Destination")));
    SampleWith on({dest, Items("MachineInfo", {{"DestinationKind", "3"}})});
    EXPECT_EQ("Img_DestAuto=0(Automatic)", Dump(on.List("Img_Destination")));  // capacity 1
}

TEST(CatalogueTexts, OptionTextsReordersAndFaxLists) {
    SampleWith s({Items("CopyProtect_op", {{"CP_CopyProtect", "Protect"}, {"CP_CopyGuard", "Guard"}}),
                  Items("EdgeType_op", {{"EdgeType_Thick", "Thick"}, {"EdgeType_Auto", "Auto"}}),
                  Items("NupStyle", {{"RightToLeft", "Right to left"}, {"Nowhere", "x"}}),
                  Items("FtpECM", {{"FtpECMOFF", "No ECM"}})});
    ASSERT_TRUE(s.built->ok);
    EXPECT_EQ("CP_CopyProtect=3(Protect) CP_CopyGuard=1(Guard)", Dump(s.List("CopyProtect_op")));
    EXPECT_EQ("EdgeType_Thick=2(Thick) EdgeType_Auto=0(Auto)", Dump(s.List("EdgeType_op")));
    EXPECT_EQ("Right to left", nvx::Utf8FromW(DisplayName(RecordAt(s.List("NupStyle"), 1))));
    EXPECT_EQ("", nvx::Utf8FromW(DisplayName(RecordAt(s.List("NupStyle"), 0))));
    EXPECT_EQ("FtpECMON=1 FtpECMOFF=2(No ECM)", Dump(s.List("FtpECM")));
    // The sample's "Nup" entry names Nup_op's options; its FontDownload entry is
    // flagged for reordering.
    EXPECT_EQ("2 Pages per Sheet", nvx::Utf8FromW(DisplayName(s.List("Nup_op"))));
    EXPECT_EQ("NativeTTDownload", std::string(Keyword(s.List("FontDownload"))));
    EXPECT_EQ("<None>", nvx::Utf8FromW(s.built->Record().texts.overlayNone));
    EXPECT_EQ("(Side2)", nvx::Utf8FromW(s.built->Record().texts.customMediaSide2));
    // Without the flag the FontDownload entry only names the options.
    SampleWith plain({Items("FontDownload", {{"BitmapDownload", "Bitmap"}, {"FontDownloadAuto", "Auto"}})});
    EXPECT_EQ("FontDownloadAuto=0(Auto) OutlineDownload=1 BitmapDownload=2(Bitmap) NativeTTDownload=3",
              Dump(plain.List("FontDownload")));
}

}  // namespace
