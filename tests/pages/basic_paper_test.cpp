// The Basic tab's paper sizes: what goes into the device mode, without a page and
// through the page of a model that keeps inch values.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "features/paper_logic.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"
#include "vpdc.h"

namespace {

using nvx::features::DevModePaperSize;

TEST(DevModePaper, InchModelsGiveTenthsOfAMillimetre) {
    OEMDEV r{};
    nvx::settings::SetNumber(r, "nPaperSize", 9);
    nvx::settings::SetNumber(r, "sizPaper.cx", 827);   // A4 in 0.01 inch
    nvx::settings::SetNumber(r, "sizPaper.cy", 1169);
    short w = 0, h = 0;
    DevModePaperSize(r, true, &w, &h);
    EXPECT_EQ(2101, w) << "8.27 inch is 210.06 mm";
    EXPECT_EQ(2969, h);
    DevModePaperSize(r, false, &w, &h);
    EXPECT_EQ(827, w) << "a millimetre model's size is already in 0.1 mm";
    // The user-defined size is taken from its own 0.1 mm fields: no round trip.
    nvx::settings::SetNumber(r, "nPaperSize", 256);
    nvx::settings::SetNumber(r, "sizInUserDefPaperMM.cx", 2100);
    nvx::settings::SetNumber(r, "sizInUserDefPaperMM.cy", 12000);
    nvx::settings::SetNumber(r, "sizPaper.cx", 827);
    DevModePaperSize(r, true, &w, &h);
    EXPECT_EQ(2100, w);
    EXPECT_EQ(12000, h);
    // A size past the device mode's 16 bits is held at its limit, not wrapped.
    nvx::settings::SetNumber(r, "nPaperSize", 9);
    nvx::settings::SetNumber(r, "sizPaper.cy", 20000);
    DevModePaperSize(r, true, &w, &h);
    EXPECT_EQ(32767, h);
}

}  // namespace

namespace {

// The sample model compiled with changes, in place of NOVRIX_D.VPD.
class ChangedModel : public pagetest::PageHost {
protected:
    virtual void Change(vpdc::Json& src) = 0;
    void SetUp() override {
        vpdc::Json src = vpdc::ReadSource(NVX_SAMPLE_MODEL, true);
        Change(src);
        const vpdc::Bytes bytes = vpdc::Compile(src);
        driver_.Write("NOVRIX_D.VPD", std::string(bytes.begin(), bytes.end()));
        PageHost::SetUp();
    }
    static vpdc::Json& Entry(vpdc::Json& src, const char* name) {
        for (vpdc::Json& e : src["entries"])
            if (e["name"] == name) return e;
        throw std::runtime_error(name);
    }
};

class InchModel : public ChangedModel {
protected:
    void Change(vpdc::Json& src) override {
        for (vpdc::Json& item : Entry(src, "MachineInfo")["items"])
            if (item[0] == "InchValues") item[1] = "1";
    }
};

// An output size list with its own custom option.
class CustomOutputModel : public ChangedModel {
protected:
    void Change(vpdc::Json& src) override {
        Entry(src, "OutPaperSize")["items"].push_back(vpdc::Json{{"key", "OutUserPaper"},
                                                                 {"value", "Custom Output"},
                                                                 {"id", 256},
                                                                 {"width", 2100},
                                                                 {"height", 2970},
                                                                 {"left", 42},
                                                                 {"top", 42},
                                                                 {"right", 42},
                                                                 {"bottom", 42}});
    }
};

TEST_F(CustomOutputModel, TheOutputSizesCustomOptionOpensTheDialogForItsOwnFields) {
    ASSERT_NE(nullptr, OpenSheet({{100, "Prc_DocPaper1Proc"}}));
    struct Driver {
        const WCHAR* width;
        int button;
        static void Drive(void* self, HWND dialog) {
            auto* d = static_cast<Driver*>(self);
            NvxUi_Type(GetDlgItem(dialog, 1336), d->width, NVXUI_TYPE_REPLACE);
            NvxUi_Type(GetDlgItem(dialog, 1337), WL("250"), NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dialog, d->button);
        }
    } cancel{WL("150"), IDCANCEL}, ok{WL("200"), IDOK};
    // Cancel: the output size and its fields as they were.
    NvxUi_SetModalDriver(Driver::Drive, &cancel);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1040), WL("Custom Output")));
    EXPECT_EQ(357, Field("nOutPaperSize"));
    EXPECT_EQ(2100, Field("sizOutUserDefPaperMM.cx"));
    // OK: the output size is the custom one; the document's custom size is untouched.
    NvxUi_SetModalDriver(Driver::Drive, &ok);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1040), WL("Custom Output")));
    NvxUi_SetModalDriver(nullptr, nullptr);
    EXPECT_EQ(256, Field("nOutPaperSize"));
    EXPECT_EQ(2000, Field("sizOutUserDefPaperMM.cx"));
    EXPECT_EQ(2500, Field("sizOutUserDefPaperMM.cy"));
    EXPECT_EQ(2000, Field("sizOutPaper.cx"));
    EXPECT_EQ(2500, Field("sizOutPaper.cy"));
    EXPECT_EQ(2100, Field("sizInUserDefPaperMM.cx"));
    EXPECT_EQ(2970, Field("sizInUserDefPaperMM.cy"));
    EXPECT_EQ(84, Field("nScale")) << "automatic zoom: the smaller of 200/210 and 250/297";
    EXPECT_EQ(1u, sheet_.ChangedMark());
}

TEST_F(InchModel, ApplyGivesTheDeviceModeTenthsOfAMillimetre) {
    ASSERT_NE(nullptr, OpenSheet({{100, "Prc_DocPaper1Proc"}}));
    // The model's list carries 0.01-inch sizes: Legal's 2159 stands for 21.59 inch.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("Legal")));
    ASSERT_TRUE(NvxUi_PressButton(sheetWindow_, 0x3021));  // Apply
    EXPECT_EQ(2159, Field("sizPaper.cx"));
    EXPECT_EQ(5484, sheet_.DevMode()->dmPaperWidth) << "21.59 inch in 0.1 mm";
    EXPECT_EQ(9032, sheet_.DevMode()->dmPaperLength) << "35.56 inch in 0.1 mm";
}

}  // namespace
