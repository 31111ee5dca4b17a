// The fax tab in a sheet: what it shows, the changes a user makes to the FaxSetting
// block and the fax resolution, the typing filters, the page-leave checks in
// order, the cover sheet and phone book buttons, the defaults.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "features/fax.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"

namespace {

using pagetest::PageHost;
namespace s = nvx::fax::setting;

constexpr pagetest::PageDef kFaxTab{171, "Prc_DocFaxProc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class FaxTab : public PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        AnswerMessageBoxes(IDOK);
        ASSERT_NE(nullptr, OpenSheet({kFaxTab, kVersion}));
    }
    BYTE* Record() { return sheet_.Record(); }
    BYTE* Block() { return Record() + nvx::fax::kSettingOffset; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Type(int id, const WCHAR* text, UINT flags = NVXUI_TYPE_REPLACE) {
        return NvxUi_Type(Control(id), text, flags) != FALSE;
    }
    bool LeavePage() {
        NvxUi_SelectTab(sheetWindow_, 1);
        NvxUi_Pump(0);
        return SendMessageW(sheetWindow_, PSM_GETCURRENTPAGEHWND, 0, 0) !=
               reinterpret_cast<LRESULT>(PropSheet_IndexToHwnd(sheetWindow_, 0));
    }
    std::string LastBoxText() const { return Utf8(LastMessageBox().text); }
    int FocusId() const { return GetDlgCtrlID(GetFocus()); }
};

TEST_F(FaxTab, ShowsTheFaxResolutionsAndTheBlockWithItsDependentsOff) {
    HWND combo = Control(1931);
    ASSERT_EQ(3, SendMessageW(combo, CB_GETCOUNT, 0, 0));  // the model's three fax resolutions only
    EXPECT_EQ(10, SendMessageW(combo, CB_GETITEMDATA, 0, 0));
    EXPECT_TRUE(Shown(1931));
    EXPECT_EQ(0, Field("FaxSetting.fgTimerSend"));
    EXPECT_FALSE(Enabled(1935));  // the time waits for the timer
    EXPECT_FALSE(Enabled(1941));
    EXPECT_FALSE(Enabled(1943));  // the sub-address for its switch
    EXPECT_FALSE(Enabled(1945));
    EXPECT_FALSE(Enabled(1948));  // cover sheet settings only with the cover sheet on
    EXPECT_EQ(5u, Text(1940).size()) << Text(1940);  // "hh:mm"
    EXPECT_EQ(':', Text(1940)[2]);
}

TEST_F(FaxTab, ChoosingAFaxResolutionStoresItsDotsBesideIt) {
    ASSERT_TRUE(NvxUi_ChooseComboData(Control(1931), 11));
    EXPECT_EQ(11, Field("byResolution"));
    EXPECT_EQ(200, Field("nResoH"));
    EXPECT_EQ(200, Field("nResoV"));
    EXPECT_EQ(283, Field("nResoHV"));
    EXPECT_EQ(1, Field("nBitsPixel"));
}

TEST_F(FaxTab, SwitchesStoreTheirFlagsAndEnableTheirFields) {
    ASSERT_TRUE(NvxUi_SetCheck(Control(1933), BST_CHECKED));
    EXPECT_EQ(1, Block()[s::kTimerSend]);
    EXPECT_TRUE(Enabled(1935));
    EXPECT_TRUE(Enabled(1941));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1942), BST_CHECKED));
    EXPECT_EQ(1, Block()[s::kSubAddressOn]);
    EXPECT_TRUE(Enabled(1943));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1944), BST_CHECKED));
    EXPECT_TRUE(Enabled(1945));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1932), BST_CHECKED));
    EXPECT_EQ(1, Block()[s::kPrtRecFile]);
    ASSERT_TRUE(NvxUi_SetCheck(Control(1946), BST_CHECKED));
    EXPECT_EQ(1, Block()[s::kCoverSheet]);
    EXPECT_TRUE(Enabled(1948));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1933), BST_UNCHECKED));
    EXPECT_EQ(0, Block()[s::kTimerSend]);
    EXPECT_FALSE(Enabled(1935));
}

TEST_F(FaxTab, TimeFieldsStoreOnlyValidNumbers) {
    ASSERT_TRUE(NvxUi_SetCheck(Control(1933), BST_CHECKED));
    ASSERT_TRUE(Type(1935, WL("23")));
    EXPECT_EQ(23, Block()[s::kSendHour]);
    ASSERT_TRUE(Type(1935, WL("245")));  // two characters at most: "24", out of range
    EXPECT_EQ("24", Text(1935));
    EXPECT_EQ(2, Block()[s::kSendHour]) << "the first digit stood, the second made it 24";
    ASSERT_TRUE(Type(1937, WL("59")));
    EXPECT_EQ(59, Block()[s::kSendMinute]);
    ASSERT_TRUE(Type(1937, WL("60")));
    EXPECT_EQ(6, Block()[s::kSendMinute]);
}

TEST_F(FaxTab, TypingKeepsOnlyTheCharactersEachFieldAccepts) {
    ASSERT_TRUE(NvxUi_SetCheck(Control(1942), BST_CHECKED));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1944), BST_CHECKED));
    ASSERT_TRUE(Type(1943, WL("12a#3")));
    EXPECT_EQ("123", Text(1943));
    EXPECT_EQ(nvx::WString(WL("123")), nvx::fax::Text(Block(), s::kSubAddress));
    ASSERT_TRUE(Type(1943, WL("4"), NVXUI_TYPE_APPEND));  // the caret stayed after the text
    EXPECT_EQ("1234", Text(1943));
    ASSERT_TRUE(Type(1945, WL("#1P*-2")));
    EXPECT_EQ("#1*2", Text(1945));
    EXPECT_EQ(nvx::WString(WL("#1*2")), nvx::fax::Text(Block(), s::kSendId));
    // 20 digits are taken, the 21st is not.
    ASSERT_TRUE(Type(1943, WL("123456789012345678901")));
    EXPECT_EQ("12345678901234567890", Text(1943));
    EXPECT_EQ(0, Block()[s::kSendIdOn - 1]) << "the padding after the field stays 0";
    // A pasted text with control characters keeps its digits only.
    SetWindowTextW(Control(1943), WL("9\t8\r\n7"));
    EXPECT_EQ("987", Text(1943));
    EXPECT_EQ(nvx::WString(WL("987")), nvx::fax::Text(Block(), s::kSubAddress));
}

TEST_F(FaxTab, LeavingChecksTimeThenSubAddressThenSenderId) {
    ASSERT_TRUE(NvxUi_SetCheck(Control(1933), BST_CHECKED));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1942), BST_CHECKED));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1944), BST_CHECKED));
    ASSERT_TRUE(Type(1935, WL("\b")));  // empty hour
    int boxes = MessageBoxCount();
    EXPECT_FALSE(LeavePage());
    ASSERT_EQ(boxes + 1, MessageBoxCount());
    EXPECT_NE(std::string::npos, LastBoxText().find("out of range")) << LastBoxText();
    EXPECT_NE(std::string::npos, LastBoxText().find("send time")) << LastBoxText();
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), LastMessageBox().type);
    EXPECT_EQ(1935, FocusId());

    ASSERT_TRUE(Type(1935, WL("9")));
    EXPECT_FALSE(LeavePage());
    EXPECT_NE(std::string::npos, LastBoxText().find("sub-address")) << LastBoxText();
    EXPECT_EQ(1943, FocusId());

    ASSERT_TRUE(Type(1943, WL("55")));
    EXPECT_FALSE(LeavePage());
    EXPECT_NE(std::string::npos, LastBoxText().find("sender ID")) << LastBoxText();
    EXPECT_EQ(1945, FocusId());

    ASSERT_TRUE(Type(1945, WL("*1")));
    boxes = MessageBoxCount();
    EXPECT_TRUE(LeavePage());
    EXPECT_EQ(boxes, MessageBoxCount());
    EXPECT_EQ(9, Block()[s::kSendHour]);
}

TEST_F(FaxTab, UseCurrentTimeCopiesTheShownTime) {
    ASSERT_TRUE(NvxUi_SetCheck(Control(1933), BST_CHECKED));
    SetWindowTextW(Control(1940), WL("07:42"));
    ASSERT_TRUE(NvxUi_Click(Control(1941)));
    EXPECT_EQ("7", Text(1935));
    EXPECT_EQ("42", Text(1937));
    EXPECT_EQ(7, Block()[s::kSendHour]);
    EXPECT_EQ(42, Block()[s::kSendMinute]);
}

TEST_F(FaxTab, CoverSheetSettingsThatCannotRunLeaveEverythingAsItWas) {
    ASSERT_TRUE(NvxUi_SetCheck(Control(1946), BST_CHECKED));
    std::vector<BYTE> before(Record(), Record() + sizeof(OEMDEV));
    ASSERT_TRUE(NvxUi_Click(Control(1948)));
    EXPECT_EQ(before, std::vector<BYTE>(Record(), Record() + sizeof(OEMDEV)));
    EXPECT_EQ(1, Block()[s::kCoverSheet]);
}

TEST_F(FaxTab, WithoutThePhoneBookItsButtonSaysItIsNotInstalled) {
    const int boxes = MessageBoxCount();
    ASSERT_TRUE(NvxUi_Click(Control(1949)));
    ASSERT_EQ(boxes + 1, MessageBoxCount());
    EXPECT_NE(std::string::npos, LastBoxText().find("phone book is not installed")) << LastBoxText();
}

TEST_F(FaxTab, RestoreDefaultsPutsTheTabBackAndMarksItChanged) {
    std::vector<BYTE> defaults(Block(), Block() + nvx::fax::kSettingSize);
    ASSERT_TRUE(NvxUi_SetCheck(Control(1933), BST_CHECKED));
    ASSERT_TRUE(Type(1935, WL("12")));
    ASSERT_TRUE(NvxUi_SetCheck(Control(1942), BST_CHECKED));
    ASSERT_TRUE(Type(1943, WL("42")));
    ASSERT_TRUE(NvxUi_Click(Control(1032)));
    EXPECT_EQ(defaults, std::vector<BYTE>(Block(), Block() + nvx::fax::kSettingSize));
    EXPECT_EQ("", Text(1943));
    EXPECT_FALSE(Enabled(1943));
}

TEST_F(FaxTab, OnASheetThatMayNotApplyTheTabCannotBeChanged) {
    CloseSheet();
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kFaxTab, kVersion}));
    for (int id : {1931, 1932, 1933, 1935, 1942, 1943, 1944, 1945, 1946, 1949, 1032})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(NvxUi_SetCheck(Control(1933), BST_CHECKED));
    EXPECT_EQ(0, Block()[s::kTimerSend]);
}

// The first fax window of the process owns the phone book; one opened meanwhile
// keeps its phone book buttons disabled, one opened later has them.
TEST_F(FaxTab, OnlyTheFirstFaxWindowReachesThePhoneBook) {
    struct Seen {
        int kinds = 0;
        bool addFromBook = false;
        static void Drive(void* self, HWND dialog) {
            auto* s = static_cast<Seen*>(self);
            if (!GetDlgItem(dialog, 2047)) return;
            ++s->kinds;
            s->addFromBook = IsWindowEnabled(GetDlgItem(dialog, 2042)) != FALSE;
            NvxUi_PressButton(dialog, IDCANCEL);
        }
    };
    int32_t count = 0;
    std::vector<BYTE> array(nvx::fax::kDestinationArrayBytes), cover(3746), block(nvx::fax::kSettingSize);
    HANDLE printer = printer_;
    std::vector<BYTE> record(sizeof(OEMDEV)), options(6676);
    void* host[7] = {&count, array.data(), cover.data(), block.data(), &printer, record.data(), options.data()};
    using Fn = UINT_PTR (*)(UINT_PTR);
    auto popup = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Export("Popup_FaxSendToDlg")));

    EXPECT_TRUE(Enabled(1949));
    Seen meanwhile;
    NvxUi_SetModalDriver(Seen::Drive, &meanwhile);
    EXPECT_EQ(2u, popup(reinterpret_cast<UINT_PTR>(host)));
    EXPECT_EQ(1, meanwhile.kinds);
    EXPECT_FALSE(meanwhile.addFromBook);

    CloseSheet();
    Seen later;
    NvxUi_SetModalDriver(Seen::Drive, &later);
    EXPECT_EQ(2u, popup(reinterpret_cast<UINT_PTR>(host)));
    NvxUi_SetModalDriver(nullptr, nullptr);
    EXPECT_TRUE(later.addFromBook);
}

}  // namespace
