// The Basic tab in a sheet: what it shows from the record and the model, the
// changes a user makes, the checks when the page is left and the apply.
#include <gtest/gtest.h>

#include <string>

#include "pages/page_fixture.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "stamps/watermark_sheet.h"

namespace {

using pagetest::PageHost;

constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class BasicTab : public PageHost {
protected:
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    int Checked(int id) const { return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)); }
    std::string Selected(int id) const {
        HWND combo = Control(id);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    bool Type(int id, const WCHAR* text) { return NvxUi_Type(Control(id), text, NVXUI_TYPE_REPLACE) != FALSE; }
    // Leaves the Basic tab for the Version tab (PSN_KILLACTIVE); false when the page stays.
    bool LeavePage() {
        NvxUi_SelectTab(sheetWindow_, 1);
        NvxUi_Pump(0);
        return SendMessageW(sheetWindow_, PSM_GETCURRENTPAGEHWND, 0, 0) !=
               reinterpret_cast<LRESULT>(PropSheet_IndexToHwnd(sheetWindow_, 0));
    }
};

TEST_F(BasicTab, ShowsTheRecordTheModelsListsAndRanges) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_EQ("Paper Size:", Text(3502));
    EXPECT_EQ("Show Details", Text(1130));
    EXPECT_EQ(BST_CHECKED, Checked(1020));
    EXPECT_EQ(BST_UNCHECKED, Checked(1023));
    EXPECT_EQ("A4", Selected(1000));
    EXPECT_EQ(13, SendMessageW(Control(1000), CB_GETCOUNT, 0, 0));  // 12 sizes and the user-defined size
    EXPECT_EQ(9, SendMessageW(Control(1000), CB_GETITEMDATA, 4, 0));  // item data is the paper identifier
    EXPECT_EQ("Same as Paper Size", Selected(1040));
    EXPECT_EQ("(25-400)", Text(1178));
    EXPECT_EQ("[1...999]", Text(1126));  // the "CopiesRange" row is empty: the built-in format
    EXPECT_EQ("1", Text(1011));
    EXPECT_EQ(BST_CHECKED, Checked(1227));
    EXPECT_FALSE(Enabled(1033)) << "the zoom box is off while zoom is automatic";
    // Offered by the model: shown (the authentication and user settings buttons for
    // its user settings of kind 2).  Switched off (paper options) and buttons whose
    // dialogs this build lacks: hidden and disabled.
    EXPECT_TRUE(Shown(1014) && Shown(1018) && Shown(1138) && Shown(1285) && Shown(2170));
    for (int id : {1193, 1194, 1287, 1898}) {
        EXPECT_FALSE(Shown(id)) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    // The hint area carries the page's hint texts.
    EXPECT_NE(std::string::npos, Text(1016).find("Choose the orientation"));
    EXPECT_EQ(0, MessageBoxCount());
    // The view toggle names what it does next and marks the sheet changed.
    sheet_.ClearChangedMark();
    ASSERT_TRUE(NvxUi_Click(Control(1130)));
    EXPECT_EQ("Hide Details", Text(1130));
    EXPECT_EQ(1u, sheet_.ChangedMark());
    ASSERT_TRUE(NvxUi_Click(Control(1130)));
    EXPECT_EQ("Show Details", Text(1130));
}

TEST_F(BasicTab, ASheetThatMayNotApplyShowsTheSettingsReadOnly) {
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    for (int id : {1020, 1023, 1000, 1040, 1006, 1003, 1011, 1014, 1018, 1138}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(FALSE, NvxUi_ChooseComboText(Control(1000), WL("A5")));
    EXPECT_EQ(9, Field("nPaperSize"));
}

// The sheet's watermark lists are written when the user applies, and only when a
// page of the sheet read them.
TEST_F(BasicTab, ApplySavesTheSheetsWatermarksOnlyWhenRead) {
    using namespace nvx::stamps;
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_TRUE(NvxUi_PressButton(sheetWindow_, IDOK));
    nvx::model::RegKey order;
    EXPECT_NE(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &order, kOrderSubkey))
        << "nothing read, nothing written";

    WatermarkSet set;
    ASSERT_TRUE(SheetWatermarks(sheet_.Context(), &set));
    WatermarkRecord mine{};
    SetWatermarkTexts(&mine, "", WL("Mine"), WL("Mine"), WL("Arial"));
    ASSERT_EQ(EditResult::Done, AddWatermark(&set, mine, false));
    ASSERT_TRUE(SetSheetWatermarks(sheet_.Context(), set));
    CloseSheet();  // a modeless sheet stays after OK until its host destroys it
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_TRUE(NvxUi_PressButton(sheetWindow_, IDOK));
    WatermarkSet stored = LoadWatermarks(printer_);
    ASSERT_EQ(1u, stored.personal.size());
    EXPECT_EQ(nvx::WString(WL("Mine")), nvx::WString(stored.personal[0].szWmkTitle));
    EXPECT_EQ(1u, stored.order.size());
}

TEST_F(BasicTab, WithoutAContextThePagesShowTemplatesAndCanBeLeft) {
    noContext_ = true;
    ASSERT_NE(nullptr, OpenSheet({kBasic, kVersion, {161, "Prc_DocInitializeProc"}}));
    EXPECT_EQ("Paper Size:", Text(3502));
    NvxUi_ChooseComboText(Control(1000), WL("A5"));
    NvxUi_Type(Control(1011), WL("5"), NVXUI_TYPE_REPLACE);
    NvxUi_Click(Control(1014));
    EXPECT_TRUE(LeavePage());
    EXPECT_EQ("", Text(1225)) << "no printer, no driver name";
    ASSERT_TRUE(NvxUi_SelectTab(sheetWindow_, 2));
    NvxUi_Click(Control(1229));
    EXPECT_TRUE(NvxUi_PressButton(sheetWindow_, IDOK));
    EXPECT_EQ(9, Field("nPaperSize")) << "the host's record is untouched";
    EXPECT_EQ(0, MessageBoxCount());
}

TEST_F(BasicTab, EveryFormOfSheetBlockIsEditedInPlace) {
    for (auto form : {nvx::host::SheetForm::One, nvx::host::SheetForm::Two}) {
        nvx::host::HostSheet other(form, printer_);
        OEMDEV record;
        nvx::settings::BuildTemplate(record);
        other.LoadRecord(record.bytes);
        contextSheet_ = &other;
        ASSERT_NE(nullptr, OpenSheet({kBasic}));
        ASSERT_TRUE(NvxUi_Click(Control(1023)));
        ASSERT_TRUE(NvxUi_Type(Control(1011), WL("4"), NVXUI_TYPE_REPLACE));
        EXPECT_EQ(2, nvx::settings::GetNumber(*nvx::settings::AsRecord(other.Record()), "nOrientation"));
        EXPECT_EQ(4, nvx::settings::GetNumber(*nvx::settings::AsRecord(other.Record()), "nCopies"));
        EXPECT_EQ(1u, other.ChangedMark());
        EXPECT_EQ(4, other.DevMode()->dmCopies);
        EXPECT_EQ(1, Field("nOrientation")) << "the other sheet's record only";
        CloseSheet();
        contextSheet_ = nullptr;
    }
}

TEST_F(BasicTab, ChangesReachTheRecordAndMarkTheSheetChanged) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    sheet_.ClearChangedMark();
    ASSERT_TRUE(NvxUi_SetCheck(Control(1023), BST_CHECKED));
    EXPECT_EQ(2, Field("nOrientation"));
    EXPECT_EQ(1u, sheet_.ChangedMark());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheetWindow_, 0x3021))) << "Apply is enabled by PSM_CHANGED";

    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("A5")));
    EXPECT_EQ(11, Field("nPaperSize"));
    EXPECT_EQ(1480, Field("sizPaper.cx"));
    EXPECT_EQ(2100, Field("sizPaper.cy"));

    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1040), WL("A4")));
    EXPECT_EQ(9, Field("nOutPaperSize"));
    EXPECT_EQ(2100, Field("sizOutPaper.cx"));
    EXPECT_EQ(141, Field("nScale")) << "automatic zoom: A5 onto A4";
    EXPECT_EQ("141", Text(1033));

    ASSERT_TRUE(Type(1011, WL("3")));
    EXPECT_EQ(3, Field("nCopies"));
    ASSERT_TRUE(Type(1011, WL("1234")));
    EXPECT_EQ("123", Text(1011)) << "the box takes as many digits as the maximum has";
    EXPECT_EQ(123, Field("nCopies"));
    ASSERT_TRUE(Type(1011, WL("3")));
    EXPECT_EQ(3, sheet_.DevMode()->dmCopies);

    ASSERT_TRUE(NvxUi_SetCheck(Control(1014), BST_CHECKED));
    EXPECT_EQ(1, Field("bCollate"));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1003), WL("Recycled")));
    EXPECT_EQ(258, Field("nMediaType"));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1006), WL("Tray 2")));
    EXPECT_EQ(258, Field("nDefaultSource"));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1138), WL("Proof Copy")));
    EXPECT_EQ(3, Field("nOutputMethod"));

    ASSERT_TRUE(NvxUi_SetCheck(Control(1228), BST_CHECKED));
    EXPECT_EQ(0, Field("bScaleAuto"));
    EXPECT_TRUE(Enabled(1033));
    ASSERT_TRUE(Type(1033, WL("80")));
    EXPECT_EQ(80, Field("nScale"));
}

TEST_F(BasicTab, OutOfRangeCopiesAndZoomAreRefusedWhenThePageIsLeft) {
    ASSERT_NE(nullptr, OpenSheet({kBasic, kVersion}));
    AnswerMessageBoxes(IDOK);
    ASSERT_TRUE(Type(1011, WL("0")));
    EXPECT_EQ(0, MessageBoxCount()) << "no message while typing";
    EXPECT_FALSE(LeavePage());
    ASSERT_EQ(1, MessageBoxCount());
    NvxUiLogEntry box = LastMessageBox();
    EXPECT_EQ("Printing Preferences", Utf8(box.caption));
    EXPECT_EQ("The value is out of range. \nEnter a number of copies between 1 and 999.", Utf8(box.text));
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), box.type);
    EXPECT_EQ(Control(1011), GetFocus());

    ASSERT_TRUE(Type(1011, WL("2")));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1228), BST_CHECKED));
    ASSERT_TRUE(Type(1033, WL("999")));
    EXPECT_FALSE(LeavePage());
    ASSERT_EQ(2, MessageBoxCount());
    EXPECT_EQ("The value is out of range. \nEnter a zoom value between 25 and 400.", Utf8(LastMessageBox().text));

    // With automatic zoom the number in the box does not count.
    ASSERT_TRUE(NvxUi_SetCheck(Control(1227), BST_CHECKED));
    EXPECT_TRUE(LeavePage());
    EXPECT_EQ(2, MessageBoxCount());
}

TEST_F(BasicTab, ApplyCompletesTheRecordAndWritesNoUserRecordsWhenNoneWereLoaded) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("Legal")));
    SetField("sizPaper.cx", 1);  // whatever the record says, apply recomputes the size
    ASSERT_TRUE(NvxUi_PressButton(sheetWindow_, 0x3021));
    EXPECT_EQ(2159, Field("sizPaper.cx"));
    EXPECT_EQ(3556, Field("sizPaper.cy"));
    EXPECT_EQ(2159, Field("sizOutPaper.cx")) << "the output size follows the paper (357)";
    EXPECT_EQ(2159, sheet_.DevMode()->dmPaperWidth);
    EXPECT_EQ(3556, sheet_.DevMode()->dmPaperLength);
    HKEY key = nullptr;
    const LSTATUS opened =
        RegOpenKeyW(HKEY_CURRENT_USER, WL("Software\\VELMORA\\NOVRIX Fax Driver\\Pages Printer"), &key);
    if (opened == ERROR_SUCCESS) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key, WL("UserDataCnt"), nullptr, nullptr, nullptr, nullptr));
        RegCloseKey(key);
    }
}

TEST_F(BasicTab, TheUserDefinedSizeComesFromTheCustomSizeDialog) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    // Cancel keeps the previous paper.
    struct Driver {
        const WCHAR* width;
        int button;
        int opened = 0;
        static void Drive(void* self, HWND dialog) {
            auto* d = static_cast<Driver*>(self);
            ++d->opened;
            if (d->width) NvxUi_Type(GetDlgItem(dialog, 1336), d->width, NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dialog, d->button);
        }
    } cancel{WL("150"), IDCANCEL};
    NvxUi_SetModalDriver(Driver::Drive, &cancel);
    ASSERT_TRUE(NvxUi_ChooseComboData(Control(1000), 256));
    EXPECT_EQ(1, cancel.opened);
    EXPECT_EQ(9, Field("nPaperSize"));
    EXPECT_EQ("A4", Selected(1000));
    EXPECT_EQ(2100, Field("sizInUserDefPaperMM.cx")) << "Cancel puts the custom width back";

    // OK: the typed width (inside the range) becomes the paper size.
    Driver ok{WL("5000"), IDOK};
    NvxUi_SetModalDriver(Driver::Drive, &ok);
    ASSERT_TRUE(NvxUi_ChooseComboData(Control(1000), 256));
    EXPECT_EQ(1, ok.opened);
    EXPECT_EQ(256, Field("nPaperSize"));
    EXPECT_EQ(2970, Field("sizInUserDefPaperMM.cx")) << "5000 mm is brought down to the maximum width";
    EXPECT_EQ(2970, Field("sizPaper.cx"));
    EXPECT_EQ(2970, Field("sizPaper.cy"));
}

}  // namespace
