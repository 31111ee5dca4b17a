// The Layout tab's dialogs: lengths typed in each unit at and past their range,
// with letters and a decimal comma; Cancel leaves the record as it was; the N-up
// details; and the length reading without a window.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "pages/measure.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"

namespace {

using pagetest::PageHost;
namespace measure = nvx::pages::measure;

constexpr pagetest::PageDef kLayout{101, "Prc_DocPaper2Proc"};

class LayoutDialogs : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // What a dialog run did: the steps run against the open dialog, whether it was
    // still open after them, the texts its boxes showed.
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
    // Opens the binding margin dialog, types `text` into the front margin (after
    // choosing inches when asked) and presses OK.  True when the dialog took it.
    bool TypeFrontMargin(const WCHAR* text, bool inch, std::string* shownRange = nullptr) {
        Run run;
        run.steps = [&](HWND dlg) {
            if (inch) NvxUi_Click(GetDlgItem(dlg, 1241));
            if (shownRange) *shownRange = TextOf(GetDlgItem(dlg, 1364));
            NvxUi_Type(GetDlgItem(dlg, 1362), text, NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dlg, IDOK);
        };
        Press(1052, run);
        return !run.stillOpen;
    }
    void OpenWithBindingMargin() {
        ASSERT_NE(nullptr, OpenSheet({kLayout}));
        AnswerMessageBoxes(IDYES);
        ASSERT_TRUE(NvxUi_Click(Control(1288)));
        ASSERT_TRUE(IsWindowEnabled(Control(1052)));
    }
};

TEST_F(LayoutDialogs, TheButtonsOfDialogsWithNothingToOfferStayHidden) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    EXPECT_TRUE(IsWindowVisible(Control(1124)));
    EXPECT_TRUE(IsWindowVisible(Control(1052)));
    EXPECT_TRUE(IsWindowVisible(Control(1212)));
    // The booklet's binding has no options in this model; print position is off.
    EXPECT_FALSE(IsWindowVisible(Control(1128)));
    EXPECT_FALSE(IsWindowVisible(Control(1204)));
    EXPECT_FALSE(IsWindowEnabled(Control(1052))) << "binding margin off";
}

TEST_F(LayoutDialogs, BindingMarginInMillimetresAtItsEndsAndPast) {
    OpenWithBindingMargin();
    std::string range;
    ASSERT_TRUE(TypeFrontMargin(WL("50"), false, &range));
    EXPECT_EQ("[0...50]", range);
    EXPECT_EQ(50, Field("nBindingUp"));
    EXPECT_EQ(197, Field("nBindingUp_Inch")) << "the inch value follows (1.97 inch)";
    ASSERT_TRUE(TypeFrontMargin(WL("0"), false));
    EXPECT_EQ(0, Field("nBindingUp"));

    const auto before = RecordBytes();
    const int boxes = MessageBoxCount();
    EXPECT_FALSE(TypeFrontMargin(WL("51"), false)) << "one past the end: the dialog stays";
    ASSERT_EQ(boxes + 1, MessageBoxCount());
    EXPECT_EQ("The value is out of range. \nEnter a binding margin between 0 and 50.", Utf8(LastMessageBox().text));
    EXPECT_FALSE(TypeFrontMargin(WL("-1"), false)) << "no negative margin";
    EXPECT_FALSE(TypeFrontMargin(WL("1O"), false)) << "a letter";
    EXPECT_FALSE(TypeFrontMargin(WL("  "), false)) << "no digits";
    EXPECT_FALSE(TypeFrontMargin(WL("1.2.3"), false));
    EXPECT_EQ(boxes + 5, MessageBoxCount());
    EXPECT_EQ(before, RecordBytes()) << "refused and cancelled: nothing changed";

    // A decimal comma is a decimal separator; whole millimetres round.
    ASSERT_TRUE(TypeFrontMargin(WL("12,4"), false));
    EXPECT_EQ(12, Field("nBindingUp"));
    ASSERT_TRUE(TypeFrontMargin(WL("12.5"), false));
    EXPECT_EQ(13, Field("nBindingUp"));
}

TEST_F(LayoutDialogs, BindingMarginInInchesKeepsBothValues) {
    OpenWithBindingMargin();
    std::string range;
    ASSERT_TRUE(TypeFrontMargin(WL("1.96"), true, &range));
    EXPECT_EQ("[0.00...1.96]", range) << "50 mm is 1.9685 inch: 1.96 is the last inside";
    EXPECT_EQ(1, Field("byBindingUnit"));
    EXPECT_EQ(196, Field("nBindingUp_Inch"));
    EXPECT_EQ(50, Field("nBindingUp"));
    EXPECT_FALSE(TypeFrontMargin(WL("1.97"), true));
    EXPECT_EQ("The value is out of range. \nEnter a binding margin between 0.00 and 1.96.",
              Utf8(LastMessageBox().text));
    ASSERT_TRUE(TypeFrontMargin(WL("1,5"), true));
    EXPECT_EQ(150, Field("nBindingUp_Inch"));
    EXPECT_EQ(38, Field("nBindingUp")) << "1.5 inch is 38.1 mm";
}

TEST_F(LayoutDialogs, CancelLeavesTheRecordByteForByte) {
    OpenWithBindingMargin();
    const auto before = RecordBytes();
    Run run;
    run.steps = [](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, 1243));  // automatic mode
        NvxUi_Click(GetDlgItem(dlg, 1423));  // same on both sides
        NvxUi_Click(GetDlgItem(dlg, 1241));  // inches
        NvxUi_Type(GetDlgItem(dlg, 1362), WL("1.00"), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDCANCEL);
    };
    Press(1052, run);
    EXPECT_FALSE(run.stillOpen);
    EXPECT_EQ(before, RecordBytes());

    // The image shift dialog too, after flipping every choice it has.
    ASSERT_TRUE(NvxUi_Click(Control(1291)));
    const auto shifted = RecordBytes();
    run.steps = [](HWND dlg) {
        for (int id : {1247, 1249, 1251, 1253, 1607, 1241}) NvxUi_Click(GetDlgItem(dlg, id));
        NvxUi_Type(GetDlgItem(dlg, 1258), WL("0.5"), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDCANCEL);
    };
    Press(1212, run);
    EXPECT_EQ(shifted, RecordBytes());
}

TEST_F(LayoutDialogs, ImageShiftInTenthsOfAMillimetreAndInInches) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1291)));
    struct Case {
        const WCHAR* text;
        bool inch;
        bool taken;
        int32_t stored;  // ImgShiftFronSide.nX in 0.1 mm
    };
    const Case cases[] = {
        {WL("25.0"), false, true, 250},  {WL("25.1"), false, false, 0},   {WL("-25,0"), false, true, -250},
        {WL("-25.05"), false, false, 0}, {WL("0.98"), true, true, 249},   {WL("0.99"), true, false, 0},
        {WL("-0.98"), true, true, -249}, {WL("x"), true, false, 0},        {WL("3,25"), false, true, 33},
    };
    for (const Case& c : cases) {
        SetField("ImgShiftFronSide.nX", 7);
        Run run;
        std::string range;
        run.steps = [&](HWND dlg) {
            NvxUi_Click(GetDlgItem(dlg, c.inch ? 1241 : 1240));
            range = TextOf(GetDlgItem(dlg, 1259));
            NvxUi_Type(GetDlgItem(dlg, 1258), c.text, NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dlg, IDOK);
        };
        Press(1212, run);
        EXPECT_EQ(c.taken, !run.stillOpen) << nvx::Utf8FromW(c.text);
        EXPECT_EQ(c.taken ? c.stored : 7, Field("ImgShiftFronSide.nX")) << nvx::Utf8FromW(c.text);
        EXPECT_EQ(c.inch ? "[-0.98...0.98]" : "[-25.0...25.0]", range);
    }
    // The device sets the shift: the driver's amounts wait.
    Run run;
    bool amountEnabled = true;
    run.steps = [&](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, 1607));
        amountEnabled = IsWindowEnabled(GetDlgItem(dlg, 1265));
        NvxUi_PressButton(dlg, IDOK);
    };
    Press(1212, run);
    EXPECT_FALSE(amountEnabled) << "the back side follows the front";
    EXPECT_EQ(1, Field("bImgShiftBackAuto"));
}

TEST_F(LayoutDialogs, TheNupDetailsShareTheLayoutWithThePage) {
    ASSERT_NE(nullptr, OpenSheet({kLayout}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1779)));
    Run run;
    int orders = 0;
    run.steps = [&](HWND dlg) {
        orders = static_cast<int>(SendMessageW(GetDlgItem(dlg, 1405), CB_GETCOUNT, 0, 0));
        NvxUi_ChooseComboText(GetDlgItem(dlg, 1025), WL("6 Pages per Sheet"));
        NvxUi_ChooseComboText(GetDlgItem(dlg, 1405), WL("Right to Left"));
        NvxUi_Click(GetDlgItem(dlg, 1837));
        NvxUi_PressButton(dlg, IDOK);
    };
    Press(1124, run);
    EXPECT_FALSE(run.stillOpen);
    EXPECT_EQ(4, orders) << "the orders the model names";
    EXPECT_EQ(3, Field("nNup"));
    EXPECT_EQ(1, Field("nPageLayout"));
    EXPECT_EQ(1, Field("bNupBorder_ui"));
    HWND combo = Control(1025);
    WCHAR text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(SendMessageW(combo, CB_GETCURSEL, 0, 0)),
                 reinterpret_cast<LPARAM>(text));
    EXPECT_EQ("6 Pages per Sheet", Utf8(text)) << "the page shows the dialog's layout";
}

// ---- Reading lengths without a window ----

TEST(Measure, ReadsInTheUnitShownAndRefusesWhatIsNotANumber) {
    using measure::Parse;
    const measure::Scale tenths{1};
    int32_t inUnit = 0, base = 0;
    EXPECT_EQ(Parse::Ok, measure::Read(WL(" 12.34 "), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(123, base) << "12.34 mm is 123 tenths (rounded)";
    EXPECT_EQ(Parse::Ok, measure::Read(WL(",5"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(5, base);
    EXPECT_EQ(Parse::NotANumber, measure::Read(WL("1.2345"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base))
        << "four decimals";
    EXPECT_EQ(Parse::NotANumber, measure::Read(WL("."), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(Parse::NotANumber, measure::Read(WL("--1"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(Parse::NotANumber, measure::Read(WL("9999999"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(Parse::NotANumber, measure::Read(WL("1e3"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(Parse::NotANumber, measure::Read(WL("-0.1"), tenths, measure::Unit::Mm, 0, 250, &inUnit, &base))
        << "a minus sign where the range has no negative values";
    EXPECT_EQ(Parse::OutOfRange, measure::Read(WL("25.1"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base));
    EXPECT_EQ(Parse::Ok, measure::Read(WL("25.04"), tenths, measure::Unit::Mm, -250, 250, &inUnit, &base))
        << "rounded to 25.0 before the range is compared";
    int32_t lo, hi;
    measure::RangeInUnit(-250, 250, tenths, measure::Unit::Inch, &lo, &hi);
    EXPECT_EQ(-98, lo);
    EXPECT_EQ(98, hi);
    EXPECT_EQ(std::u16string(u"-0.05"), std::u16string(reinterpret_cast<const char16_t*>(
                                            measure::ShowInUnit(-5, tenths, measure::Unit::Inch).c_str())));
}

}  // namespace
