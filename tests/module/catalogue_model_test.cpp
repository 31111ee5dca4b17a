// The model record, the device-option table, the list-relation table and the
// default templates, built from the sample model and from edited copies of it.
#include <gtest/gtest.h>

#include <string>

#include "catalogue_test_util.h"
#include "common/le.h"
#include "features/catalogue.h"
#include "settings/devoption.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"
#include "settings/settings_state.h"

using namespace nvx::features;
using cattest::Json;

namespace {

class CatalogueModel : public ::testing::Test {
protected:
    void SetUp() override { nvx::settings::PrepareSettings(); }
    void TearDown() override { nvx::settings::ReleaseSettings(); }
    static int32_t Field(const char* name) {
        return nvx::settings::GetNumber(nvx::settings::DefaultTemplate(), name);
    }
};

TEST_F(CatalogueModel, TheSampleBuildsEveryTable) {
    auto pkg = cattest::Open(cattest::SampleSource());
    cattest::Built b(*pkg);
    ASSERT_TRUE(b.ok);
    ModelRecord& r = b.Record();
    EXPECT_TRUE(r.Multifunction());
    EXPECT_EQ(1, r.facts[kFactSharedOverlay]);
    EXPECT_EQ(2, r.switches[kSw_Staple]);
    EXPECT_EQ(SwitchForm::DriverType, r.switches.Get(kSw_BookletPrint).form);
    EXPECT_EQ(2, r.switches[kSw_WakeOnCall]);  // SLEEP2&ERP
    ASSERT_NE(nullptr, r.FindRange("Copies"));
    EXPECT_EQ(999, r.FindRange("Copies")->maximum);
    EXPECT_EQ(1, r.FindRange("Copies")->minimum);
    EXPECT_EQ(nullptr, r.FindRange("UserLargePaper_Width"));  // the sample has none
    // Papers: 288-byte records with size, margins and countries.
    const uint8_t* papers = r.ListData("PaperSize");
    EXPECT_EQ(kSizeModel, RecordSize(papers));
    const uint8_t* a4 = FindKeyword(papers, "A4");
    ASSERT_NE(nullptr, a4);
    EXPECT_EQ(9, Value(a4));
    EXPECT_EQ("A4", nvx::Utf8FromW(DisplayName(a4)));
    EXPECT_EQ(2100u, nvx::GetLE32(a4 + kModelDataAt + offsetof(PaperData, width)));
    EXPECT_EQ(38u, nvx::GetLE16(a4 + kModelDataAt + offsetof(PaperData, countryCount)));
    EXPECT_EQ(81u, nvx::GetLE16(a4 + kModelDataAt + offsetof(PaperData, countries) + 2 * 19));
    EXPECT_EQ(4, r.List("PaperSize")->defaultIndex);
    EXPECT_EQ(357, Value(r.ListData("OutPaperSize")));
    // Trays, media, resolutions (with the fax ones), bit-valued paper sources.
    const uint8_t* bypass = FindKeyword(r.ListData("InTray"), "BypassTray");
    EXPECT_EQ(1u, nvx::GetLE32(bypass + kModelDataAt + offsetof(TrayData, kind)));
    const uint8_t* thick = FindKeyword(r.ListData("MediaType"), "Thick2");
    EXPECT_EQ(130, static_cast<int16_t>(nvx::GetLE16(thick + kModelDataAt + offsetof(MediaData, weight))));
    const uint8_t* fine = FindKeyword(r.ListData("Resolution"), "Fax_Fine");
    EXPECT_EQ(1u, nvx::GetLE32(fine + kModelDataAt + offsetof(ResolutionData, fax)));
    EXPECT_EQ("Tray1=1 Tray2=2 Tray3=4 BypassTray=8", [&] {
        std::string s;
        const uint8_t* l = r.ListData("PerPageListPaperSrc");
        for (size_t i = 0; i < ListCount(l); ++i)
            s += (i ? " " : "") + std::string(Keyword(RecordAt(l, i))) + "=" + std::to_string(Value(RecordAt(l, i)));
        return s;
    }());
    const ModelList* cover = r.List("FcsCoverSize");
    EXPECT_EQ(3u, ListCount(cover->Data()));  // "Count", "Order" and "DefaultItem" are not sizes
    EXPECT_EQ(0, cover->defaultIndex);
    // The catalogue rows point at the model's lists.
    EXPECT_EQ(papers, TheCatalogue().Find("PaperSize")->options);
    EXPECT_EQ(r.ListData("Resolution"), TheCatalogue().Find("Resolution")->options);
    EXPECT_EQ(nullptr, TheCatalogue().Find("SelectColor")->options);
    // The device options, and the DeviceOption row listing them.
    const DeviceOptionTable& d = *b.tables.deviceOptions;
    EXPECT_EQ(14u, d.count);
    EXPECT_EQ(14u, d.indexed);
    const DeviceOptionRow* punch = d.Find("OpPunchKit");
    ASSERT_NE(nullptr, punch);
    EXPECT_EQ(152u, punch->size);
    EXPECT_EQ(7u, punch->index);
    EXPECT_EQ(3u, punch->valueCount);
    EXPECT_EQ(2, Value(RecordAt(punch->values, 2)));
    EXPECT_EQ(punch, d.index[7]);
    EXPECT_EQ("NotInstalled=0", std::string(Keyword(d.Find("OpWLAN")->values)) + "=" +
                                    std::to_string(Value(d.Find("OpWLAN")->values)));
    EXPECT_EQ(0u, d.rows[d.count].size);  // the zeroed end row
    EXPECT_EQ(7, IndexOfKeyword(TheCatalogue().Find("DeviceOption")->options, "OpPunchKit"));
    // The list relations.
    const ListRelationTable& rel = *b.tables.listRelations;
    EXPECT_EQ(48u, rel.size);
    EXPECT_EQ(5u, rel.trayCount);
    EXPECT_EQ(11u, rel.mediaCount);
    EXPECT_TRUE(TrayTakesMedia(rel, 0, 10));   // automatic: a mask of 0 takes every media type
    EXPECT_TRUE(TrayTakesMedia(rel, 3, 4));
    EXPECT_FALSE(TrayTakesMedia(rel, 3, 5));   // tray 3 takes the first five only
    EXPECT_FALSE(TrayTakesMedia(rel, 5, 0));   // outside
    ASSERT_EQ(4u, rel.sourceCount);
    EXPECT_EQ(1, rel.sourceTray[0]);
    EXPECT_EQ(4, rel.sourceTray[3]);
}

TEST_F(CatalogueModel, TheTemplateTakesThePackagesDefaults) {
    auto pkg = cattest::Open(cattest::SampleSource());
    cattest::Built b(*pkg);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ("Q57_3FA", nvx::settings::GetAnsi(nvx::settings::DefaultTemplate(), nvx::settings::FindField("szModelID")));
    EXPECT_EQ(9, Field("nPaperSize"));
    EXPECT_EQ(42, Field("rcMargin.left"));
    EXPECT_EQ(357, Field("nOutPaperSize"));
    EXPECT_EQ(2100, Field("sizOutPaper.cx"));  // 357 copies the input size
    EXPECT_EQ(7, Field("nDefaultSource"));
    EXPECT_EQ(257, Field("nMediaType"));
    EXPECT_EQ(1, Field("nStapleMode"));
    EXPECT_EQ(1, Field("nFoldingMode"));       // HalfFold replaces the template's 3
    EXPECT_EQ(1, Field("nBitsPixel"));         // from the 600 dpi record
    EXPECT_EQ(1, Field("nNumberingDensity"));  // NME_Density_Normal
    EXPECT_EQ(1, Field("nFrontCoverMode"));    // FCoverPrint Enable
    EXPECT_EQ(4, Field("nBackCoverMode"));     // BCoverPrint Disable: the PJL list
    EXPECT_EQ("Arial", nvx::Utf8FromW(nvx::settings::GetText(nvx::settings::DefaultTemplate(),
                                                             nvx::settings::FindField("WmkInfo.szFontName"))));
    int32_t v = 0;
    EXPECT_TRUE(b.Record().PackageDefault("Combination", &v));  // no field takes it; the record keeps it
    EXPECT_EQ(0, v);
    EXPECT_FALSE(b.Record().PackageDefault("AuthUseEngine", &v));
    // The device-option template: row n's default in slot n.
    const BYTE* dev = nvx::settings::DevOptionTemplate();
    EXPECT_EQ(1, nvx::settings::GetOptionValue(dev, 0));  // OpMemory
    EXPECT_EQ(0, nvx::settings::GetOptionValue(dev, 4));  // OpInTrayUnit
    // The settings code has the papers for the locale rule.
    EXPECT_EQ(13u, nvx::settings::CurrentModelFacts().papers.size());
    EXPECT_EQ(9, nvx::settings::CurrentModelFacts().packageDefaultPaper);
}

TEST_F(CatalogueModel, AnyDefaultsGoThroughTheirEntryAndAFrontCoverlessModelGetsThePjlList) {
    Json src = cattest::SampleSource();
    Json& fs = cattest::Entry(src, "FeatureSetting");
    for (Json& item : fs["items"])
        if (item[0] == "FCoverPrint") item[1] = "Disable";
    cattest::Entry(src, "Copies")["range"]["default"] = 3;
    cattest::Entry(src, "PaperSize")["default"] = "Letter";
    cattest::Entry(src, "OutPaperSize")["default"] = "A5";
    auto pkg = cattest::Open(src);
    cattest::Built b(*pkg);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(4, Field("nFrontCoverMode"));
    EXPECT_EQ("Blank_FCover_PJL", std::string(Keyword(TheCatalogue().Find("FrontCover_op")->options)));
    EXPECT_EQ(3, Field("nCopies"));
    EXPECT_EQ(1, Field("nPaperSize"));
    EXPECT_EQ(2159, Field("sizPaper.cx"));
    EXPECT_EQ(11, Field("nOutPaperSize"));
    EXPECT_EQ(1480, Field("sizOutPaper.cx"));
}

TEST_F(CatalogueModel, TheDeviceOptionIndexHoldsTheFirst64) {
    Json src = cattest::SampleSource();
    Json items = Json::array();
    for (int i = 0; i < 70; ++i)
        items.push_back(Json{{"key", "OpExtra" + std::to_string(i)}, {"value", "Extra"}, {"default", i % 2}});
    cattest::SetEntry(src, Json{{"name", "DeviceOption"}, {"record", "device_option"}, {"items", items}});
    auto pkg = cattest::Open(src);
    DeviceOptionTable* t = MakeDeviceOptionTable(*pkg);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(70u, t->count);
    EXPECT_EQ(64u, t->indexed);
    EXPECT_EQ(&t->rows[63], t->index[63]);
    EXPECT_EQ(69u, t->rows[69].index);
    EXPECT_EQ(2u, t->rows[69].valueCount);  // no entry of its name: not installed / installed
    delete t;
}

TEST_F(CatalogueModel, MandatoryTablesFailAsAWhole) {
    // A value list entry without one usable item fails the whole device-option table.
    Json src = cattest::SampleSource();
    cattest::SetEntry(src, Json{{"name", "OpHDD"}, {"items", Json::array()}});
    auto pkg = cattest::Open(src);
    EXPECT_EQ(nullptr, MakeDeviceOptionTable(*pkg));
    cattest::Built b(*pkg);
    EXPECT_FALSE(b.ok);
    EXPECT_EQ(nullptr, b.tables.deviceOptions);
    EXPECT_EQ(nullptr, TheCatalogue().Find("DeviceOption")->options);
    // No device options at all.
    Json none = cattest::SampleSource();
    cattest::RemoveEntry(none, "DeviceOption");
    auto pkg2 = cattest::Open(none);
    EXPECT_EQ(nullptr, MakeDeviceOptionTable(*pkg2));
    // A model without papers or trays has no list relations.
    for (const char* list : {"PaperSize", "InTray"}) {
        Json bare = cattest::SampleSource();
        cattest::RemoveEntry(bare, list);
        auto pkg3 = cattest::Open(bare);
        cattest::Built b3(*pkg3);
        EXPECT_FALSE(b3.ok) << list;
        EXPECT_NE(nullptr, b3.tables.deviceOptions) << list;
        EXPECT_EQ(nullptr, b3.tables.listRelations) << list;
    }
}

}  // namespace

namespace {

TEST_F(CatalogueModel, TruncatedPackagesNeverReadOutsideTheFile) {
    vpdc::Bytes full = vpdc::Compile(cattest::SampleSource());
    for (size_t cut = 0; cut < full.size(); cut += 331) {
        auto pkg = nvx::model::Package::OpenImage(full.data(), cut);
        ASSERT_NE(nullptr, pkg);
        cattest::Built b(*pkg);  // whatever it builds, it builds from bytes inside the cut
        if (cut < 4096) {
            EXPECT_FALSE(b.ok) << cut;
        }
    }
    auto whole = nvx::model::Package::OpenImage(full.data(), full.size());
    EXPECT_TRUE(cattest::Built(*whole).ok);
}

}  // namespace
