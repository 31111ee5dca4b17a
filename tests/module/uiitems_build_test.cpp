// The UI item table built for the sample model and for edited copies of it: the
// device-option rows, the items left out, the dropped icons, the option lists, the
// field bindings, the recorded rows and the lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "catalogue_test_util.h"
#include "features/catalogue.h"
#include "features/ui_items.h"
#include "settings/settings_state.h"

using namespace nvx::features;
using cattest::Json;

namespace {

struct TableDeleter {
    void operator()(UiItemTable* t) const { FreeUiItemTable(t); }
};
using TablePtr = std::unique_ptr<UiItemTable, TableDeleter>;

std::string Name(const WCHAR (&field)[kUiNameBytes]) {
    std::string s;
    for (size_t i = 0; i < kUiNameBytes && field[i]; ++i) s += static_cast<char>(field[i]);
    return s;
}

class UiItems : public ::testing::Test {
protected:
    void SetUp() override { nvx::settings::PrepareSettings(); }
    void TearDown() override { nvx::settings::ReleaseSettings(); }

    // The table for a package compiled from src, with the given variants.
    struct Model {
        nvx::model::PackagePtr pkg;
        std::unique_ptr<cattest::Built> built;
        TablePtr table;
    };
    static Model Build(const Json& src, UiVariants v = UiVariants::OfBuild()) {
        Model m;
        m.pkg = cattest::Open(src);
        m.built = std::make_unique<cattest::Built>(*m.pkg);
        UiBuildInputs in;
        in.record = m.built->tables.record;
        in.deviceOptions = m.built->tables.deviceOptions;
        in.variants = v;
        m.table.reset(BuildUiItemTable(in));
        return m;
    }
    static size_t Skipped(const ModelRecord* record, const UiVariants& v) {
        size_t n = 0;
        for (size_t i = 0; i < kUiItemDefCount; ++i) n += UiItemLeftOut(kUiItemDefs[i], record, v);
        return n;
    }
};

TEST_F(UiItems, TheSampleTableHasTheDeviceOptionsInPlaceOfOptionSetting) {
    Model m = Build(cattest::SampleSource());
    ASSERT_TRUE(m.built->ok);
    ASSERT_TRUE(m.table);
    const UiItemTable& t = *m.table;
    const DeviceOptionTable& dev = *m.built->tables.deviceOptions;
    ASSERT_GT(dev.count, 2u);

    // The monochrome sample with numbering drops only NME_Color.
    const UiVariants v = UiVariants::OfBuild();
    EXPECT_EQ(1u, Skipped(m.built->tables.record, v));
    EXPECT_EQ(kUiItemDefCount - 1 - 1 + dev.count, t.count);
    ASSERT_EQ(t.count + 1, t.rows.size());
    const UiItem& end = t.rows[t.count];
    EXPECT_EQ(0u, end.control);
    EXPECT_EQ(0, end.state.current);
    EXPECT_EQ(nullptr, end.options);
    EXPECT_EQ(-1, FindUiItem(&t, "NME_Color"));
    EXPECT_GE(FindUiItem(&t, "NME_Density"), 0);
    EXPECT_EQ(-1, FindUiItem(&t, "OptionSetting"));

    // The device options stand where OptionSetting stood (NME_Color, dropped, is
    // before it), in the device-option table's order.
    int optionSetting = -1;
    for (size_t i = 0; i < kUiItemDefCount && optionSetting < 0; ++i)
        if (std::strcmp(kUiItemDefs[i].feature, "OptionSetting") == 0) optionSetting = static_cast<int>(i);
    const int first = FindUiItem(&t, dev.rows[0].key);
    EXPECT_EQ(optionSetting - 1, first);
    ASSERT_GE(first, 1);
    EXPECT_EQ("DepartmentPassword", Name(t.rows[static_cast<size_t>(first) - 1].feature));
    for (uint32_t k = 0; k < dev.count; ++k) {
        const UiItem& item = t.rows[static_cast<size_t>(first) + k];
        SCOPED_TRACE(dev.rows[k].key);
        EXPECT_EQ(dev.rows[k].key, Name(item.feature));
        EXPECT_EQ("", Name(item.option));
        EXPECT_EQ(1u, item.deviceOption);
        EXPECT_EQ(dev.rows[k].values, item.options);
        EXPECT_EQ(1081u, item.control);
        EXPECT_EQ(1u, item.type);
        EXPECT_TRUE(item.OnDialog(156) && item.OnDialog(207));
        EXPECT_EQ(kUiStoreNone, item.state.storage);
    }
    EXPECT_EQ("MediaTypeList_Tray", Name(t.rows[static_cast<size_t>(first) + dev.count].feature));
    EXPECT_EQ("Halverite", Name(t.rows[static_cast<size_t>(first) + dev.count + 6].feature));
    EXPECT_EQ(0u, t.rows[static_cast<size_t>(first) + dev.count].deviceOption);

    // First and last rows, copied from their definitions.
    const UiItem& r0 = t.rows[0];
    EXPECT_EQ("OutputMethod", Name(r0.feature));
    EXPECT_EQ(1138u, r0.control);
    EXPECT_TRUE(r0.OnDialog(100) && r0.OnDialog(200) && !r0.OnDialog(0) && !r0.OnDialog(101));
    EXPECT_EQ(-1, r0.state.current);
    EXPECT_EQ(-1, r0.state.pending);
    EXPECT_EQ(0u, r0.state.present);
    EXPECT_EQ(0u, r0.state.disabled);
    EXPECT_EQ("Resolution", Name(t.rows[t.count - 1].feature));
}


TEST_F(UiItems, LookupsByNameAndControl) {
    Model m = Build(cattest::SampleSource());
    ASSERT_TRUE(m.table);
    const UiItemTable* t = m.table.get();
    // Two radio rows of one feature are two items; the name alone finds the first.
    const int portrait = FindUiItem(t, "Orientation", "Portrait");
    const int landscape = FindUiItem(t, "Orientation", "Landscape");
    EXPECT_EQ(2, portrait);
    EXPECT_EQ(3, landscape);
    EXPECT_EQ(portrait, FindUiItem(t, "Orientation"));
    EXPECT_EQ(landscape, FindUiItem(t, WL("Orientation"), WL("Landscape")));
    EXPECT_EQ(-1, FindUiItem(t, "Orientation", "Sideways"));
    EXPECT_EQ(-1, FindUiItem(t, "orientation"));  // exact case
    EXPECT_EQ(-1, FindUiItem(t, "Orient"));       // whole names
    EXPECT_EQ(-1, FindUiItem(t, ""));
    EXPECT_EQ(-1, FindUiItem(nullptr, "PaperSize"));
    // A feature named twice: the first row wins.
    EXPECT_LT(FindUiItem(t, "SingleSignOn"), FindUiItem(t, "AutoTrapping"));
    EXPECT_EQ(3430u, t->rows[static_cast<size_t>(FindUiItem(t, "SingleSignOn"))].control);

    // By control: the first row in table order; row 0 is a real answer, a miss is -1.
    EXPECT_EQ(0, FindUiItemByControl(t, 1138));
    EXPECT_EQ(FindUiItem(t, "MediaType"), FindUiItemByControl(t, 1003));
    EXPECT_EQ(FindUiItem(t, "MediaType_Tray1"), FindUiItemByControl(t, 1003, 3154));
    EXPECT_EQ(FindUiItem(t, "MediaType_Paper"), FindUiItemByControl(t, 1003, 155));
    EXPECT_EQ(FindUiItem(t, "UserPaper_Unit", "UserPaper_MM"), FindUiItemByControl(t, 1240));
    EXPECT_EQ(FindUiItem(t, "Paper_Unit", "Paper_MM"), FindUiItemByControl(t, 1240, 115));
    EXPECT_EQ(-1, FindUiItemByControl(t, 1003, 999));
    EXPECT_EQ(-1, FindUiItemByControl(t, 4242));
    EXPECT_EQ(-1, FindUiItemByControl(t, 0));
    EXPECT_EQ(-1, FindUiItemByControl(nullptr, 1138));
    // Rows with no dialog ids are found by control, never by dialog.
    EXPECT_EQ(FindUiItem(t, "HF_Numbering"), FindUiItemByControl(t, 1579));
    EXPECT_EQ(-1, FindUiItemByControl(t, 1579, 100));
    EXPECT_EQ(nullptr, t->Row(-1));
    EXPECT_EQ(nullptr, t->Row(static_cast<int>(t->count)));
}

TEST_F(UiItems, OptionListsFollowTheBindingRules) {
    Model m = Build(cattest::SampleSource());
    ASSERT_TRUE(m.table);
    const UiItemTable* t = m.table.get();
    ModelRecord& rec = m.built->Record();
    auto list = [&](const char* feature) { return t->rows[static_cast<size_t>(FindUiItem(t, feature))].options; };
    EXPECT_EQ(rec.ListData("PaperSize"), list("PaperSize"));
    EXPECT_EQ(rec.ListData("OutPaperSize"), list("OutPaperSize"));
    EXPECT_EQ(rec.ListData("InTray"), list("InTray"));
    EXPECT_NE(nullptr, list("InTray"));
    for (const char* media : {"MediaType", "MediaType_Tray1", "MediaType_Tray4", "MediaType_LCT", "MediaType_Manual"})
        EXPECT_EQ(rec.ListData("MediaType"), list(media)) << media;
    EXPECT_EQ(rec.ListData("Staple_op"), list("Staple_op"));
    EXPECT_NE(nullptr, list("Staple_op"));
    EXPECT_EQ(rec.ListData("HolePunch_op"), list("PerPagePunch"));  // without the type-1 cover page
    EXPECT_EQ(rec.ListData("Staple_op"), list("PerPageStaple"));
    EXPECT_EQ(rec.ListData("OutputMethod"), list("OutputMethod"));  // _DLG_USRSET_TYPE2
    EXPECT_EQ(rec.ListData("Resolution"), list("Resolution"));
    // Other names: the catalogue row of the same name, or nothing.
    EXPECT_EQ(TheCatalogue().Find("Orientation")->options, list("Orientation"));
    EXPECT_NE(nullptr, list("Orientation"));
    EXPECT_EQ(nullptr, list("SetNupStyle"));
    EXPECT_EQ(nullptr, list("UserPaper_Width"));

    // With the type-1 cover page and without the user-setting type 2, the per-page
    // rules and the output-method rule give way to the catalogue.
    UiVariants v = UiVariants::OfBuild();
    v.coverType1 = true;
    v.userSetType2 = false;
    Model m2 = Build(cattest::SampleSource(), v);
    ASSERT_TRUE(m2.table);
    const UiItemTable* t2 = m2.table.get();
    auto catalogueList = [](const char* name) -> uint8_t* {
        const FeatureEntry* row = TheCatalogue().Find(name);
        return row ? row->options : nullptr;
    };
    EXPECT_EQ(catalogueList("PerPagePunch"), t2->rows[static_cast<size_t>(FindUiItem(t2, "PerPagePunch"))].options);
    EXPECT_EQ(catalogueList("OutputMethod"), t2->rows[static_cast<size_t>(FindUiItem(t2, "OutputMethod"))].options);
    EXPECT_EQ(-1, t2->direct.perPageListStaple);
    EXPECT_EQ(-1, t2->direct.perPageListHolePunch);
}

TEST_F(UiItems, ItemsBindToTheirSettingsFields) {
    Model m = Build(cattest::SampleSource());
    ASSERT_TRUE(m.table);
    const UiItemTable* t = m.table.get();
    struct Case {
        const char* feature;
        const char* field;
        uint32_t storage;
    } cases[] = {
        {"Orientation", "nOrientation", kUiStoreU8},   {"Zoom", "bScaleAuto", kUiStoreU8},
        {"Collate", "bCollate", kUiStoreU8},           {"Nup_op", "nNup", kUiStoreU8},
        {"DoubleSides", "nDuplex", kUiStoreU8},        {"PaperSize", "nPaperSize", kUiStoreI16},
        {"OutPaperSize", "nOutPaperSize", kUiStoreI16}, {"InTray", "nDefaultSource", kUiStoreI16},
        {"MediaType", "nMediaType", kUiStoreI16},      {"UserPaper_Width", "sizInUserDefPaperMM.cx", kUiStoreI16},
        {"UserPaper_Length", "sizInUserDefPaperMM.cy", kUiStoreI16}, {"Copies", "nCopies", kUiStoreU16},
        {"MediaType_Tray2", "PTInfoEach[1].nValue", kUiStoreU32},
        {"DepartmentName", "szVLSectionName", kUiStoreI8},
    };
    for (const Case& c : cases) {
        const UiItem* item = t->Row(FindUiItem(t, c.feature));
        ASSERT_NE(nullptr, item) << c.feature;
        EXPECT_EQ(nvx::settings::FindField(c.field).Offset(), item->state.field.Offset()) << c.feature;
        EXPECT_EQ(nvx::settings::FindField(c.field).def, item->state.field.def) << c.feature;
        EXPECT_EQ(c.storage, item->state.storage) << c.feature;
    }
    // Both radio rows of a feature share its field; buttons stay unbound.
    EXPECT_EQ(t->Row(FindUiItem(t, "Orientation", "Portrait"))->state.field.def,
              t->Row(FindUiItem(t, "Orientation", "Landscape"))->state.field.def);
    EXPECT_FALSE(t->Row(FindUiItem(t, "SetNupStyle"))->state.field);
    EXPECT_EQ(kUiStoreNone, t->Row(FindUiItem(t, "SetNupStyle"))->state.storage);
    size_t bound = 0;
    for (size_t i = 0; i < t->count; ++i) bound += t->rows[i].state.field ? 1 : 0;
    EXPECT_GT(bound, 150u);
}

TEST_F(UiItems, RecordedRowsAndThePaperSizeTwiceFlag) {
    Model m = Build(cattest::SampleSource());
    ASSERT_TRUE(m.table);
    const UiItemTable* t = m.table.get();
    const UiDirectRows& d = t->direct;
    struct Case {
        int row;
        const char* feature;
    } cases[] = {{d.paperSize, "PaperSize"},
                 {d.outPaperSize, "OutPaperSize"},
                 {d.resolution, "Resolution"},
                 {d.stapleOp, "Staple_op"},
                 {d.holePunchOp, "HolePunch_op"},
                 {d.userPaperWidth, "UserPaper_Width"},
                 {d.userPaperLength, "UserPaper_Length"},
                 {d.outUserPaperWidth, "OutUserPaper_Width"},
                 {d.outUserPaperLength, "OutUserPaper_Length"},
                 {d.perPageListStaple, "PerPageListStaple"},
                 {d.perPageListHolePunch, "PerPageListHolePunch"},
                 {d.colAdjSmoothing, "ColAdj_Smoothing"},
                 {d.headerFooter, "HeaderFooter"}};
    for (const Case& c : cases) {
        ASSERT_NE(nullptr, t->Row(c.row)) << c.feature;
        EXPECT_EQ(c.feature, Name(t->Row(c.row)->feature));
    }
    EXPECT_EQ(4, d.paperSize);
    EXPECT_FALSE(t->paperSizeTwice);

    // An output-size list with a PaperSizeTwice option sets the flag.
    Json src = cattest::SampleSource();
    Json& out = cattest::Entry(src, "OutPaperSize");
    Json twice = out["items"][1];
    twice["key"] = "PaperSizeTwice";
    twice["id"] = 901;
    out["items"].push_back(twice);
    Model m2 = Build(src);
    ASSERT_TRUE(m2.table);
    EXPECT_TRUE(m2.table->paperSizeTwice);
}

TEST_F(UiItems, ItemsLeftOutByVariantAndModelSwitches) {
    Model m = Build(cattest::SampleSource());
    ModelRecord& rec = m.built->Record();
    UiVariants mono = UiVariants::OfBuild();
    mono.qualityMfpMono = true;
    mono.qualityMfpColour = false;
    UiVariants colour = mono;
    colour.qualityMfpMono = false;
    colour.qualityMfpColour = true;
    auto out = [&](const char* feature, const UiVariants& v) {
        for (size_t i = 0; i < kUiItemDefCount; ++i)
            if (std::strcmp(kUiItemDefs[i].feature, feature) == 0) return UiItemLeftOut(kUiItemDefs[i], &rec, v);
        ADD_FAILURE() << feature;
        return false;
    };
    // The sample: numbering on, watermark colour off (0), copy-protect colour 2,
    // date/page and header/footer colour 0, colour select 2, colour adjust 2.
    EXPECT_FALSE(out("NME_Type", mono));
    EXPECT_FALSE(out("NME_Density", mono));
    EXPECT_TRUE(out("NME_Color", mono));
    EXPECT_TRUE(out("NME_Density", colour));
    EXPECT_FALSE(out("NME_Color", colour));
    // The colour switches count only in the colour multifunction build.
    EXPECT_FALSE(out("CSE_CP_Color", mono));
    EXPECT_TRUE(out("CSE_CP_Color", colour));
    EXPECT_TRUE(out("CPE_SS_Color", colour));
    EXPECT_TRUE(out("DPE_PageNumColor", colour));
    EXPECT_TRUE(out("HFE_TextColor", colour));
    EXPECT_FALSE(out("WM_Color", colour));
    EXPECT_FALSE(out("SelectColor_RB", colour));
    EXPECT_FALSE(out("ColAdj_Cyan", colour));
    EXPECT_FALSE(out("ColAdj_Cyan", mono));

    rec.switches.Apply({{"HeaderFooterNumber", "Disable"}, {"WatermarkColor", "TYPE2"}, {"SelectColorUI", "0"},
                        {"Dlg_ColorAdjust", "TYPE1"}, {"DateTimePageColor", "Enable"}},
                       true);
    EXPECT_TRUE(out("NME_Type", mono));
    EXPECT_TRUE(out("NME_PagetoPrint", mono));
    EXPECT_TRUE(out("NME_StartNumber", mono));
    EXPECT_TRUE(out("NME_Density", mono));
    EXPECT_TRUE(out("NME_Color", colour));
    EXPECT_TRUE(out("WM_Color", colour));
    EXPECT_TRUE(out("DevOvlBackSelColor", colour));
    EXPECT_TRUE(out("SelectColor_RB", colour));
    EXPECT_TRUE(out("ColAdj_Black", colour));
    EXPECT_FALSE(out("DPE_DateTimeColor", colour));
    EXPECT_FALSE(out("WM_Color", mono));
    EXPECT_FALSE(out("HF_Numbering", mono));

    // The colour build's table lacks the left-out items.
    UiBuildInputs in;
    in.record = &rec;
    in.deviceOptions = m.built->tables.deviceOptions;
    in.variants = colour;
    TablePtr t(BuildUiItemTable(in));
    ASSERT_TRUE(t);
    EXPECT_EQ(kUiItemDefCount - 1 + in.deviceOptions->count - Skipped(&rec, colour), t->count);
    for (const char* gone : {"WM_Color", "SelectColor_RB", "ColAdj_Black", "NME_Type", "CPE_CP_Color"})
        EXPECT_EQ(-1, FindUiItem(t.get(), gone)) << gone;
    EXPECT_GE(FindUiItem(t.get(), "DPE_DateTimeColor"), 0);
}

TEST_F(UiItems, IconControlsDroppedWhenTheFeatureIsSwitchedOff) {
    Model m = Build(cattest::SampleSource());
    ModelRecord& rec = m.built->Record();
    // The built-in rows carry no icon controls; a table of our own shows the rule.
    UiItemDef defs[6] = {};
    const char* names[] = {"PaperOption1", "OHPIntTray", "CC_CopyTray3", "Staple", "OptionSetting"};
    for (size_t i = 0; i < 5; ++i) {
        std::strcpy(defs[i].feature, names[i]);
        defs[i].control = 100 + static_cast<uint32_t>(i);
        defs[i].type = kUiCheck;
        defs[i].iconControl = 900 + static_cast<uint32_t>(i);
        defs[i].related[0] = 700;
        defs[i].related[1] = 701;
    }
    UiBuildInputs in;
    in.defs = defs;
    in.record = &rec;
    in.deviceOptions = m.built->tables.deviceOptions;
    rec.switches.Apply({{"PaperOption1", "Disable"}, {"OHP_Interleave", "Enable"}, {"CC_CopyTray3", "Disable"}}, false);
    TablePtr t(BuildUiItemTable(in));
    ASSERT_TRUE(t);
    ASSERT_EQ(4 + in.deviceOptions->count, t->count);
    EXPECT_EQ(0u, t->rows[0].iconControl);    // PaperOption1 off
    EXPECT_EQ(901u, t->rows[1].iconControl);  // OHPIntTray follows OHP_Interleave, on
    EXPECT_EQ(0u, t->rows[2].iconControl);    // CC_CopyTray3 off
    EXPECT_EQ(903u, t->rows[3].iconControl);  // no switch: kept
    EXPECT_EQ(904u, t->rows[4].iconControl);  // device-option rows keep OptionSetting's
    EXPECT_EQ(700u, t->rows[4].related[0]);
    EXPECT_EQ(701u, t->rows[1].related[1]);
    EXPECT_EQ(0u, t->rows[1].related[2]);
    rec.switches.Apply({{"PaperOption1", "Enable"}}, false);
    TablePtr t2(BuildUiItemTable(in));
    EXPECT_EQ(900u, t2->rows[0].iconControl);
}

TEST_F(UiItems, BuildsWithoutModelTables) {
    // No record and no device options: no model lists, no device-option rows, and
    // items without a model switch of their own keep their place.
    UiBuildInputs in;
    in.variants = UiVariants::OfBuild();
    TablePtr t(BuildUiItemTable(in));
    ASSERT_TRUE(t);
    EXPECT_EQ(kUiItemDefCount - 1 - Skipped(nullptr, in.variants), t->count);
    EXPECT_EQ(nullptr, t->Row(FindUiItem(t.get(), "PaperSize"))->options);
    EXPECT_NE(nullptr, t->Row(FindUiItem(t.get(), "Orientation"))->options);
    EXPECT_EQ(-1, FindUiItem(t.get(), "NME_Type"));  // numbering off without a model
    EXPECT_FALSE(t->paperSizeTwice);
    FreeUiItemTable(nullptr);
    // An empty definition table gives an empty table with its end row.
    UiItemDef none[1] = {};
    in.defs = none;
    TablePtr e(BuildUiItemTable(in));
    ASSERT_TRUE(e);
    EXPECT_EQ(0u, e->count);
    EXPECT_EQ(1u, e->rows.size());
    EXPECT_EQ(-1, e->direct.paperSize);
    EXPECT_EQ(-1, FindUiItemByControl(e.get(), 1000));
}

}  // namespace
