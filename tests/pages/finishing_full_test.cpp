// The Finishing and Layout tabs on a model that offers what the sample leaves out:
// folding with a fold that takes a number of pages, perfect binding and the
// tab-paper image shift.  The sample model compiled with these switches and lists.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "pages/page_fixture.h"
#include "settings/oemdev.h"
#include "vpdc.h"

namespace {

constexpr pagetest::PageDef kLayout{101, "Prc_DocPaper2Proc"};
constexpr pagetest::PageDef kFinishing{110, "Prc_DocFinishingProc_T2"};

class FullFinisher : public pagetest::PageHost {
protected:
    void SetUp() override {
        vpdc::Json src = vpdc::ReadSource(NVX_SAMPLE_MODEL, true);
        vpdc::Json& features = Entry(src, "FeatureSetting")["items"];
        for (const char* on : {"Folding", "PerfectBinding", "FoldPageFinish", "TABImageShift", "Trim"}) {
            bool found = false;
            for (vpdc::Json& item : features)
                if (item[0] == on) item[1] = "Enable", found = true;
            if (!found) features.push_back({on, "Enable"});
        }
        // A fold whose sets take a number of pages, and the ranges of the boxes.
        Entry(src, "Folding")["items"].push_back({{"key", "SaddleFold"}, {"value", "Saddle Fold"}, {"id", 19}});
        src["entries"].push_back({{"name", "FoldPageFinish"}, {"range", {{"min", 1}, {"max", 20}, {"default", 5}}},
                                  {"items", vpdc::Json::array()}});
        src["entries"].push_back({{"name", "PBSpinWidth"}, {"range", {{"min", 5}, {"max", 50}, {"default", 10}}},
                                  {"items", vpdc::Json::array()}});
        src["entries"].push_back({{"name", "TABImageShiftValue"},
                                  {"range", {{"min", 0}, {"max", 200}, {"default", 125}}},
                                  {"items", vpdc::Json::array()}});
        const vpdc::Bytes bytes = vpdc::Compile(src);
        driver_.Write("NOVRIX_D.VPD", std::string(bytes.begin(), bytes.end()));
        PageHost::SetUp();
    }
    static vpdc::Json& Entry(vpdc::Json& src, const char* name) {
        for (vpdc::Json& e : src["entries"])
            if (e["name"] == name) return e;
        throw std::runtime_error(name);
    }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    struct Run {
        std::function<void(HWND)> steps;
        bool stillOpen = false;
        static void Drive(void* self, HWND dlg) {
            auto* r = static_cast<Run*>(self);
            r->steps(dlg);
            r->stillOpen = IsWindow(dlg) && IsWindowVisible(dlg);
            if (r->stillOpen) NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    void Press(int button, Run& run) {
        NvxUi_SetModalDriver(Run::Drive, &run);
        EXPECT_TRUE(NvxUi_Click(Control(button))) << button;
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
    std::vector<uint8_t> RecordBytes() {
        const auto* r = nvx::settings::AsRecord(sheet_.Record());
        return std::vector<uint8_t>(r->bytes, r->bytes + sizeof r->bytes);
    }
    // Types into a box, then moves the focus on as a user leaves it.
    void TypeAndLeave(int id, const WCHAR* text) {
        ASSERT_TRUE(NvxUi_Type(Control(id), text, NVXUI_TYPE_REPLACE));
        NvxUi_LeaveControl(Control(id));
    }
};

TEST_F(FullFinisher, PagesPerFoldOnlyForAFoldThatTakesThemAndInsideTheirRange) {
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    AnswerMessageBoxes(IDYES);
    EXPECT_TRUE(Shown(1037) && Shown(1053) && Shown(3356));
    EXPECT_FALSE(Enabled(1053)) << "no fold type while folding is off";
    EXPECT_FALSE(Enabled(3356));
    EXPECT_EQ("[1...20]", Text(3358));
    ASSERT_TRUE(NvxUi_Click(Control(1037)));
    EXPECT_TRUE(Enabled(1053));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1053), WL("Half Fold")));
    EXPECT_FALSE(Enabled(3356)) << "a half fold takes no page count";
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1053), WL("Saddle Fold")));
    EXPECT_EQ(19, Field("nFoldingMode"));
    ASSERT_TRUE(Enabled(3356));

    TypeAndLeave(3356, WL("20"));
    EXPECT_EQ(20, Field("nFoldPageNum"));
    const int boxes = MessageBoxCount();
    TypeAndLeave(3356, WL("21"));
    ASSERT_EQ(boxes + 1, MessageBoxCount()) << "one past the end";
    EXPECT_EQ("The value is out of range. \nEnter a number of pages per fold between 1 and 20.",
              Utf8(LastMessageBox().text));
    EXPECT_EQ(20, Field("nFoldPageNum")) << "the value before the edit comes back";
    EXPECT_EQ("20", Text(3356));
    TypeAndLeave(3356, WL("0"));
    EXPECT_EQ(boxes + 2, MessageBoxCount());
    EXPECT_EQ(20, Field("nFoldPageNum"));
    TypeAndLeave(3356, WL("1"));
    EXPECT_EQ(1, Field("nFoldPageNum"));
}

TEST_F(FullFinisher, PerfectBindingTakesASpineWidthAndCancelKeepsTheRecord) {
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    AnswerMessageBoxes(IDYES);
    EXPECT_FALSE(Enabled(2305)) << "perfect binding off";
    ASSERT_TRUE(NvxUi_Click(Control(2304)));
    ASSERT_TRUE(Enabled(2305));
    const auto before = RecordBytes();
    Run run;
    std::string range;
    run.steps = [&](HWND dlg) {
        range = TextOf(GetDlgItem(dlg, 2320));
        NvxUi_Click(GetDlgItem(dlg, 2314));
        NvxUi_Type(GetDlgItem(dlg, 2319), WL("30"), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDCANCEL);
    };
    Press(2305, run);
    EXPECT_EQ("[5...50]", range);
    EXPECT_EQ(before, RecordBytes()) << "cancelled: byte for byte";
    for (const auto& c : std::vector<std::pair<const WCHAR*, int>>{
             {WL("51"), -1}, {WL("4"), -1}, {WL("ten"), -1}, {WL("50"), 50}, {WL("12,4"), 12}, {WL("5"), 5}}) {
        run.steps = [&](HWND dlg) {
            NvxUi_Type(GetDlgItem(dlg, 2319), c.first, NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dlg, IDOK);
        };
        const int spine = Field("nSpinWidth_mm");
        Press(2305, run);
        EXPECT_EQ(c.second < 0, run.stillOpen) << nvx::Utf8FromW(c.first);
        EXPECT_EQ(c.second < 0 ? spine : c.second, Field("nSpinWidth_mm")) << nvx::Utf8FromW(c.first);
    }
}

TEST_F(FullFinisher, TheTabImageShiftDialogOpensFromTheLayoutTab) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    EXPECT_TRUE(Shown(2306) && Shown(2307));
    EXPECT_FALSE(Enabled(2307));
    ASSERT_TRUE(NvxUi_Click(Control(2306)));
    ASSERT_TRUE(Enabled(2307));
    Run run;
    std::string shown;
    run.steps = [&](HWND dlg) {
        shown = TextOf(GetDlgItem(dlg, 2325));
        NvxUi_Type(GetDlgItem(dlg, 2325), WL("8.5"), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDOK);
    };
    Press(2307, run);
    EXPECT_EQ("12.5", shown) << "the default 125 tenths";
    EXPECT_FALSE(run.stillOpen);
    EXPECT_EQ(85, Field("nTABWidth_mm"));
    run.steps = [&](HWND dlg) {
        NvxUi_Type(GetDlgItem(dlg, 2325), WL("20.1"), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDOK);
    };
    Press(2307, run);
    EXPECT_TRUE(run.stillOpen) << "past the range's 20.0 mm";
    EXPECT_EQ(85, Field("nTABWidth_mm"));
}

}  // namespace
