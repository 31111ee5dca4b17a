// The Stamp/Composition tab (Prc_DocWOProc): the watermark list from the printer's
// stores, the overlay list from the user's forms, each change through the
// constraint check (a refused change puts record and control back), the preset
// combo following, and a chosen form that went away dropped when the tab opens;
// with the logic behind the lists tried directly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/stores.h"
#include "pages/page_fixture.h"
#include "pages/stamp_logic.h"
#include "settings/oemdev.h"
#include "platform/host.h"
#include "stamps/copy_protect.h"
#include "stamps/form_store.h"
#include "stamps/watermark_store.h"
#include "support/platform_test.h"

namespace {

using pagetest::PageHost;
namespace stamp = nvx::pages::stamp;
namespace st = nvx::stamps;

constexpr pagetest::PageDef kStamps{104, "Prc_DocWOProc"};
constexpr int kWatermark = 1208, kWatermarkList = 1280, kWatermarkEdit = 1255, kOverlay = 1205,
              kOverlayList = 1326, kPresetCombo = 1132;

class StampTab : public PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        dir_ = nvxtest::MakeTempDir("stamps");
    }
    void TearDown() override {
        NvxPlatform_SetAdministrator(TRUE);
        PageHost::TearDown();
        nvxtest::RemoveTree(dir_);
    }
    std::string Rules() const override {
        return "version \"Ver_Cst\" \"1.00\"\n"
               "forbid Watermark = WatermarkON when Orientation == Landscape refuse 2\n"
               "forbid Overlay = OverlayON when Orientation == Landscape refuse 2\n";
    }
    void RegisterBuiltins() { ASSERT_EQ(DWORD(ERROR_SUCCESS), st::RegisterDefaultWatermarks(printer_)); }
    nvx::WString MakeForm(const char* name) {
        const nvx::WString path = nvx::WFromUtf8(dir_ + "/" + name);
        st::NewForm form;
        form.name = name;
        EXPECT_EQ(DWORD(ERROR_SUCCESS), st::WriteFormFile(path.c_str(), form));
        return path;
    }
    void StoreForms(const std::vector<nvx::WString>& paths) {
        st::FormList list;
        for (const nvx::WString& p : paths) list.forms.push_back({p, {}, false, true});
        ASSERT_EQ(DWORD(ERROR_SUCCESS), st::SaveFormList(printer_, list));
    }
    int Checked(int id) const { return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)); }
    int ListSelection(int id) const { return static_cast<int>(SendMessageW(Control(id), LB_GETCURSEL, 0, 0)); }
    int ListCount(int id) const { return static_cast<int>(SendMessageW(Control(id), LB_GETCOUNT, 0, 0)); }
    std::string ListText(int id, int i) const {
        WCHAR text[256] = {};
        SendMessageW(Control(id), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    std::string Preset() const {
        HWND combo = Control(kPresetCombo);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    // The watermark dialog: `steps` run on it; still open afterwards, it is cancelled.
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
    // Runs the dialog from the Edit button; true when it closed by itself (OK taken).
    bool EditWatermarks(const std::function<void(HWND)>& steps) {
        Run run;
        run.steps = steps;
        NvxUi_SetModalDriver(Run::Drive, &run);
        EXPECT_TRUE(NvxUi_Click(Control(kWatermarkEdit)));
        NvxUi_SetModalDriver(nullptr, nullptr);
        return !run.stillOpen;
    }
    static void Type(HWND dlg, int id, const WCHAR* text) {
        ASSERT_TRUE(NvxUi_Type(GetDlgItem(dlg, id), text, NVXUI_TYPE_REPLACE));
        NvxUi_LeaveControl(GetDlgItem(dlg, id));
    }
    std::vector<uint8_t> RecordBytes() const {
        const auto* r = nvx::settings::AsRecord(const_cast<nvx::host::HostSheet&>(sheet_).Record());
        return std::vector<uint8_t>(r->bytes, r->bytes + sizeof r->bytes);
    }
    // The settings record's watermark text (WmkInfo.szWmkStr at 2906 + 96).
    std::string RecordText() const {
        const std::vector<uint8_t> bytes = RecordBytes();
        WCHAR text[129];
        std::memcpy(text, bytes.data() + 2906 + 96, sizeof text);
        text[128] = 0;
        return Utf8(text);
    }
    std::string dir_;
};

constexpr int kWmList = 1681, kWmAdd = 1602, kWmDelete = 1684, kWmName = 1677, kWmText = 1678, kWmSize = 1689,
              kWmAngle = 1344, kWmShared = 1581, kWmUp = 1679;

TEST_F(StampTab, ListsTheWatermarksAndForms) {
    RegisterBuiltins();
    StoreForms({MakeForm("a.vfo"), MakeForm("b.vfo")});
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    EXPECT_EQ(0, MessageBoxCount());
    ASSERT_EQ(6, ListCount(kWatermarkList));
    EXPECT_EQ("CONFIDENTIAL", ListText(kWatermarkList, 0));
    EXPECT_EQ("FINAL", ListText(kWatermarkList, 5));
    EXPECT_EQ(0, ListSelection(kWatermarkList));
    EXPECT_FALSE(IsWindowEnabled(Control(kWatermarkList))) << "the list waits for the watermark switch";
    ASSERT_EQ(2, ListCount(kOverlayList));
    EXPECT_EQ("a.vfo", ListText(kOverlayList, 0));
    EXPECT_EQ(-1, ListSelection(kOverlayList));
    EXPECT_TRUE(IsWindowVisible(Control(kWatermarkEdit)));
    // Opening the tab changes nothing: no form chosen for an overlay that is off, no watermark copied.
    EXPECT_EQ(-1, Field("nFormListPos"));
    EXPECT_EQ(72, Field("WmkInfo.wSize"));  // the template's, not CONFIDENTIAL's 200
}

TEST_F(StampTab, ChoosingAWatermarkCopiesItAndTheComboShowsUntitled) {
    RegisterBuiltins();
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(NvxUi_Click(Control(kWatermark)));
    EXPECT_EQ(1, Field("bWmk"));
    // Switched on, the record carries the watermark the list shows.
    EXPECT_EQ(0, Field("wWmkListPos"));
    EXPECT_EQ(200, Field("WmkInfo.wSize"));
    ASSERT_TRUE(NvxUi_ChooseListItem(Control(kWatermarkList), 4));
    EXPECT_EQ(4, Field("wWmkListPos"));
    EXPECT_EQ(114, Field("WmkInfo.wSize"));
    EXPECT_EQ(45, Field("WmkInfo.nAngle"));
    EXPECT_EQ("Untitled", Preset());
    // Back to Default through the preset combo: the watermark goes off with it.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(kPresetCombo), WL("Default")));
    EXPECT_EQ("Default", Preset());
    EXPECT_EQ(0, Field("bWmk"));
    EXPECT_EQ(BST_UNCHECKED, Checked(kWatermark));
}

TEST_F(StampTab, AForbiddenWatermarkOrOverlayLeavesTheBoxCleared) {
    RegisterBuiltins();
    StoreForms({MakeForm("a.vfo")});
    SetField("nOrientation", 2);  // Landscape
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    AnswerMessageBoxes(IDOK);
    if (IsWindowEnabled(Control(kWatermark))) {
        NvxUi_Click(Control(kWatermark));
        EXPECT_GE(MessageBoxCount(), 1);
    }
    EXPECT_EQ(0, Field("bWmk"));
    EXPECT_EQ(BST_UNCHECKED, Checked(kWatermark));
    if (IsWindowEnabled(Control(kOverlay))) NvxUi_Click(Control(kOverlay));
    EXPECT_EQ(0, Field("bOverlay"));
    EXPECT_EQ(-1, Field("nFormListPos")) << "a refused overlay chooses no form";
    EXPECT_EQ(BST_UNCHECKED, Checked(kOverlay));
}

TEST_F(StampTab, OverlayOnChoosesTheFirstFormAndTheListChooses) {
    StoreForms({MakeForm("a.vfo"), MakeForm("b.vfo")});
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(NvxUi_Click(Control(kOverlay)));
    EXPECT_EQ(1, Field("bOverlay"));
    EXPECT_EQ(0, Field("nFormListPos"));
    EXPECT_EQ(0, ListSelection(kOverlayList));
    ASSERT_TRUE(NvxUi_ChooseListItem(Control(kOverlayList), 1));
    EXPECT_EQ(1, Field("nFormListPos"));
}

TEST_F(StampTab, AFormDeletedSinceTheSettingsClearsTheOverlayWhenTheTabOpens) {
    const nvx::WString a = MakeForm("a.vfo");
    StoreForms({a, MakeForm("b.vfo")});
    SetField("bOverlay", 1);
    SetField("nFormListPos", 0);
    ASSERT_TRUE(DeleteFileW(a.c_str()));
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    EXPECT_EQ(0, MessageBoxCount()) << "dropped without a message";
    EXPECT_EQ(0, Field("bOverlay"));
    EXPECT_EQ(-1, Field("nFormListPos"));
    EXPECT_EQ(2, ListCount(kOverlayList)) << "b keeps its position";
    EXPECT_EQ("b.vfo", ListText(kOverlayList, 1));
}

// ---- The logic behind the lists ------------------------------------------------

TEST(StampLogic, FormItemsAndTheFirstUsableForm) {
    st::FormList list;
    auto entry = [](const char* path, uint32_t version, uint16_t dpi, bool usable) {
        st::FormEntry e;
        e.path = nvx::WFromUtf8(path);
        std::memcpy(e.header.file.magic, "VFO1", 4);
        e.header.file.version = version;
        e.header.file.resolution = dpi;
        if (version == 2) nvx::WCopy(e.header.wideName, 64, WL("Wide"));
        e.usable = usable;
        return e;
    };
    list.forms = {entry("C:\\f\\one.vfo", 1, 1200, true), entry("/f/two.vfo", 2, 600, true),
                  entry("/f/gone.vfo", 1, 600, false)};
    const std::vector<stamp::FormItem> items = stamp::FormItems(list, 2);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(WL("one.vfo"), items[0].text);
    EXPECT_FALSE(items[0].usable);  // 1200 dpi for a 600 dpi job
    EXPECT_EQ(WL("two.vfo (Wide)"), items[1].text);
    EXPECT_TRUE(items[1].usable);
    EXPECT_FALSE(items[2].usable);  // its file went away

    std::vector<BYTE> bytes(nvx::settings::kOemDevSize, 0);
    OEMDEV& r = *reinterpret_cast<OEMDEV*>(bytes.data());
    nvx::settings::SetNumber(r, "nFormListPos", -1);
    ASSERT_TRUE(stamp::ChooseFirstUsableForm(r, items));
    EXPECT_EQ(1, nvx::settings::GetNumber(r, "nFormListPos"));
    EXPECT_EQ(1, nvx::settings::GetNumber(r, "nFormListPos2p"));
    EXPECT_FALSE(stamp::ChooseFirstUsableForm(r, items)) << "a chosen form stays";

    // The summary: only with a form for other pages and overlay printing applying.
    const st::OverlayModel flag{1, true};
    EXPECT_TRUE(stamp::OverlaySummary(r, flag, list).empty());
    nvx::settings::SetNumber(r, "bEnable2p", 1);
    nvx::settings::SetNumber(r, "nFormListPos", 0);
    nvx::settings::SetNumber(r, "nFormListPos2p", -1);
    EXPECT_EQ(WL("First Page\r\n  one.vfo\r\nOther Pages\r\n\r\n"), stamp::OverlaySummary(r, flag, list));
    nvx::settings::SetNumber(r, "nFormListPos2p", 1);
    EXPECT_EQ(WL("First Page\r\n  one.vfo\r\nOther Pages\r\n  two.vfo (Wide)\r\n"),
              stamp::OverlaySummary(r, flag, list));
    EXPECT_TRUE(stamp::OverlaySummary(r, st::OverlayModel{2, true}, list).empty()) << "kind 2 without operation 2";
}

TEST(StampLogic, HeaderFooterChoicesAreTheDeviceProgramsInUse) {
    std::vector<st::DeviceHeaderFooter> programs(3);
    for (int i = 0; i < 3; ++i) programs[static_cast<size_t>(i)].number = i + 1;
    programs[0].inUse = true;
    programs[0].name = WL("Office");
    programs[2].inUse = true;  // unnamed
    const std::vector<stamp::ProgramChoice> choices = stamp::ProgramChoices(programs);
    ASSERT_EQ(2u, choices.size());
    EXPECT_EQ(WL("Office"), choices[0].name);
    EXPECT_EQ(1, choices[0].number);
    EXPECT_EQ(WL("Program 3"), choices[1].name);
    EXPECT_EQ(3, choices[1].number);
    EXPECT_TRUE(stamp::ProgramChoices(std::vector<st::DeviceHeaderFooter>{}).empty());
}

// Without device information the combo offers the model's program list; a choice
// is stored as the program's number, and the combo waits for the Header/Footer switch.
TEST_F(StampTab, TheProgramComboFollowsTheHeaderFooterSwitch) {
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(IsWindowVisible(Control(1202)));  // Header/Footer
    HWND combo = Control(2116);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    EXPECT_EQ(count > 0, IsWindowVisible(combo) != FALSE);
    if (count > 0) {
        EXPECT_FALSE(IsWindowEnabled(combo));
    }
    ASSERT_TRUE(NvxUi_Click(Control(1202)));
    EXPECT_EQ(1, Field("bHeadFooter"));
    if (count > 1) {
        EXPECT_TRUE(IsWindowEnabled(combo));
        ASSERT_TRUE(NvxUi_ChooseComboIndex(combo, static_cast<int>(count - 1)));
        EXPECT_EQ(static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(count - 1), 0)),
                  Field("nHFE_DevSetting"));
    }
}

}  // namespace

namespace {

// The watermark dialog: the sheet's watermarks in display order, the chosen one's
// fields changed and taken on OK (the record follows, the tab's list too), Cancel
// leaving record and lists as they were.
TEST_F(StampTab, TheWatermarkDialogEditsTheChosenWatermark) {
    RegisterBuiltins();
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(NvxUi_Click(Control(kWatermark)));
    int listed = 0, selected = -1;
    std::string name;
    ASSERT_TRUE(EditWatermarks([&](HWND dlg) {
        listed = static_cast<int>(SendMessageW(GetDlgItem(dlg, kWmList), LB_GETCOUNT, 0, 0));
        selected = static_cast<int>(SendMessageW(GetDlgItem(dlg, kWmList), LB_GETCURSEL, 0, 0));
        name = TextOf(GetDlgItem(dlg, kWmName));
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kWmList), 4));
        Type(dlg, kWmText, WL("Draft copy"));
        Type(dlg, kWmSize, WL("100"));
        Type(dlg, kWmAngle, WL("30"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(6, listed);
    EXPECT_EQ(0, selected) << "the settings' watermark is selected";
    EXPECT_EQ("CONFIDENTIAL", name);
    EXPECT_EQ(0, MessageBoxCount());
    EXPECT_EQ(4, Field("wWmkListPos")) << "the selected watermark is chosen";
    EXPECT_EQ(100, Field("WmkInfo.wSize"));
    EXPECT_EQ(30, Field("WmkInfo.nAngle"));
    EXPECT_EQ("Draft copy", RecordText());
    EXPECT_EQ(4, ListSelection(kWatermarkList));
    EXPECT_EQ("Untitled", Preset());

    // Cancel: nothing of what was typed stays.
    const auto before = RecordBytes();
    EXPECT_FALSE(EditWatermarks([&](HWND dlg) {
        Type(dlg, kWmSize, WL("50"));
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kWmList), 1));
        NvxUi_Click(GetDlgItem(dlg, kWmUp));
    }));
    EXPECT_EQ(before, RecordBytes());
    EXPECT_EQ("TOP SECRET", ListText(kWatermarkList, 1)) << "the order is the sheet's, untouched";
    // The edits of the first run are the sheet's lists now.
    ASSERT_TRUE(EditWatermarks([&](HWND dlg) {
        name = TextOf(GetDlgItem(dlg, kWmText));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ("Draft copy", name);
}

// Values at and past their ends: refused with the range message, the dialog stays
// open and the record keeps what it had; a text is held to 128 characters.
TEST_F(StampTab, TheWatermarkDialogRefusesValuesPastTheirEnds) {
    RegisterBuiltins();
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(NvxUi_Click(Control(kWatermark)));
    AnswerMessageBoxes(IDOK);
    const auto before = RecordBytes();
    struct Case {
        int control;
        const WCHAR* text;
        const char* message;
    };
    const Case cases[] = {
        {kWmSize, WL("0"), "The value is out of range. \nEnter a size between 1 and 999."},
        {kWmSize, WL("1000"), "The value is out of range. \nEnter a size between 1 and 999."},
        {kWmSize, WL("ab"), "The value is out of range. \nEnter a size between 1 and 999."},
        {kWmAngle, WL("91"), "The value is out of range. \nEnter an angle between -90 and 90."},
        {kWmAngle, WL("-91"), "The value is out of range. \nEnter an angle between -90 and 90."},
        {1443, WL("101"), "The value is out of range. \nEnter a position between -100 and 100."},
        {kWmName, WL(""), "The watermark needs a name of at most 30 characters."},
    };
    for (const Case& c : cases) {
        const int boxes = MessageBoxCount();
        EXPECT_FALSE(EditWatermarks([&](HWND dlg) {
            ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kWmList), 4));
            if (c.text[0]) NvxUi_Type(GetDlgItem(dlg, c.control), c.text, NVXUI_TYPE_REPLACE);
            else SetDlgItemTextW(dlg, c.control, c.text);  // a box emptied
            NvxUi_PressButton(dlg, IDOK);
        })) << Utf8(c.text);
        ASSERT_GT(MessageBoxCount(), boxes) << Utf8(c.text);
        EXPECT_EQ(c.message, Utf8(LastMessageBox().text)) << Utf8(c.text);
    }
    EXPECT_EQ(before, RecordBytes()) << "nothing refused reached the record";

    // The edges are taken; 129 characters typed keep 128.
    const nvx::WString long129(129, 'x');
    ASSERT_TRUE(EditWatermarks([&](HWND dlg) {
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kWmList), 4));
        NvxUi_Type(GetDlgItem(dlg, kWmText), long129.c_str(), NVXUI_TYPE_REPLACE);
        NvxUi_Type(GetDlgItem(dlg, kWmSize), WL("1"), NVXUI_TYPE_REPLACE);
        NvxUi_Type(GetDlgItem(dlg, kWmAngle), WL("-90"), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(std::string(128, 'x'), RecordText());
    EXPECT_EQ(1, Field("WmkInfo.wSize"));
    EXPECT_EQ(-90, Field("WmkInfo.nAngle"));
}

// The fit check: a size too large for the page is answered with the largest that
// fits at the settings' resolution, and that size is then taken.  A watermark the
// dialog found as it is never stops OK.
TEST_F(StampTab, TheWatermarkDialogNamesTheLargestSizeThatFits) {
    RegisterBuiltins();
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(NvxUi_Click(Control(kWatermark)));
    AnswerMessageBoxes(IDOK);
    ASSERT_TRUE(EditWatermarks([&](HWND dlg) { NvxUi_PressButton(dlg, IDOK); }))
        << "CONFIDENTIAL as it is: chosen, not measured";
    EXPECT_EQ(0, MessageBoxCount());
    int focus = 0;
    EXPECT_FALSE(EditWatermarks([&](HWND dlg) {
        Type(dlg, kWmSize, WL("199"));
        NvxUi_PressButton(dlg, IDOK);
        focus = GetDlgCtrlID(GetFocus());
    }));
    ASSERT_EQ(1, MessageBoxCount());
    const std::string message = Utf8(LastMessageBox().text);
    const std::string lead = "At 600 dpi the text does not fit on the page in this size. The largest size that fits is ";
    ASSERT_EQ(0u, message.find(lead)) << message;
    const int largest = std::atoi(message.c_str() + lead.size());
    EXPECT_GT(largest, 10);
    EXPECT_LT(largest, 199);
    EXPECT_EQ(kWmSize, focus);
    EXPECT_EQ(200, Field("WmkInfo.wSize"));
    ASSERT_TRUE(EditWatermarks([&](HWND dlg) {
        Type(dlg, kWmSize, nvx::WFromUtf8(std::to_string(largest)).c_str());
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(largest, Field("WmkInfo.wSize"));
}

// Add makes a watermark from the template, of the user's own for a user who may not
// administer the printer, and it must be named; Delete asks; shared watermarks are
// read-only for such a user.
TEST_F(StampTab, TheWatermarkDialogAddsAndDeletes) {
    RegisterBuiltins();
    NvxPlatform_SetAdministrator(FALSE);
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    ASSERT_TRUE(NvxUi_Click(Control(kWatermark)));
    AnswerMessageBoxes(IDOK);
    bool nameEnabled = true, sharedChecked = true;
    int count = 0;
    EXPECT_FALSE(EditWatermarks([&](HWND dlg) {
        nameEnabled = IsWindowEnabled(GetDlgItem(dlg, kWmName));
        NvxUi_Click(GetDlgItem(dlg, kWmAdd));
        count = static_cast<int>(SendMessageW(GetDlgItem(dlg, kWmList), LB_GETCOUNT, 0, 0));
        sharedChecked = SendMessageW(GetDlgItem(dlg, kWmShared), BM_GETCHECK, 0, 0) == BST_CHECKED;
        NvxUi_PressButton(dlg, IDOK);  // no name yet
    }));
    EXPECT_FALSE(nameEnabled) << "a shared watermark is read-only for this user";
    EXPECT_EQ(7, count);
    EXPECT_FALSE(sharedChecked);
    EXPECT_EQ("The watermark needs a name of at most 30 characters.", Utf8(LastMessageBox().text));

    ASSERT_TRUE(EditWatermarks([&](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, kWmAdd));
        Type(dlg, kWmName, WL("Mine"));
        Type(dlg, kWmText, WL("Mine only"));
        Type(dlg, kWmSize, WL("40"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    ASSERT_EQ(7, ListCount(kWatermarkList));
    EXPECT_EQ("Mine", ListText(kWatermarkList, 6));
    EXPECT_EQ(6, Field("wWmkListPos"));
    EXPECT_EQ("Mine only", RecordText());
    EXPECT_EQ(40, Field("WmkInfo.wSize"));
    EXPECT_EQ(0, Field("WmkInfo.nAngle")) << "the template's angle";

    // A second one of the same title is refused; Delete asks and removes.
    EXPECT_FALSE(EditWatermarks([&](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, kWmAdd));
        Type(dlg, kWmName, WL("Mine"));
        Type(dlg, kWmText, WL("x"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ("The name \"Mine\" is in use.", Utf8(LastMessageBox().text));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(EditWatermarks([&](HWND dlg) {
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kWmList), 6));
        NvxUi_Click(GetDlgItem(dlg, kWmDelete));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ("Delete the watermark \"Mine\"? A deleted watermark cannot be restored.", Utf8(LastMessageBox().text));
    EXPECT_EQ(6, ListCount(kWatermarkList));
    EXPECT_EQ(5, Field("wWmkListPos")) << "the selection moved to the watermark before the deleted one";
}

// The picture is painted with GDI objects that are all given back.
TEST_F(StampTab, TheWatermarkPictureLeavesNoGdiObjectsBehind) {
    RegisterBuiltins();
    ASSERT_NE(nullptr, OpenSheet({kStamps}));
    int leaked = -1;
    EditWatermarks([&](HWND dlg) {
        const int objects = NvxUi_GdiObjectCount();
        for (int item : {0, 1, 3, 4}) {  // square, circle, turned by -45, turned by 45
            ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kWmList), item));
            InvalidateRect(dlg, nullptr, TRUE);
            UpdateWindow(dlg);
        }
        leaked = NvxUi_GdiObjectCount() - objects;
    });
    EXPECT_EQ(0, leaked);
}

}  // namespace

#include "stamps/stamp_edit.h"

namespace {

TEST(StampEdit, BoxNumbersAreDigitsInsideTheirRange) {
    EXPECT_EQ(42u, st::ParseBoxNumber(WL(" 42 "), 0, 100).value());
    EXPECT_EQ(0u, st::ParseBoxNumber(WL("0"), 0, 100).value());
    EXPECT_EQ(100u, st::ParseBoxNumber(WL("100"), 0, 100).value());
    EXPECT_FALSE(st::ParseBoxNumber(WL("101"), 0, 100));
    EXPECT_FALSE(st::ParseBoxNumber(WL("0"), 1, 100));
    for (const WCHAR* bad : {WL(""), WL("   "), WL("-1"), WL("+1"), WL("1a"), WL("1 2"), WL("0x10")})
        EXPECT_FALSE(st::ParseBoxNumber(bad, 0, 100)) << nvx::Utf8FromW(bad);
    EXPECT_EQ(4294967295u, st::ParseBoxNumber(WL("4294967295"), 0, 0xFFFFFFFFu).value());
    EXPECT_FALSE(st::ParseBoxNumber(WL("4294967296"), 0, 0xFFFFFFFFu)) << "past 32 bits, never wrapped";
    EXPECT_FALSE(st::ParseBoxNumber(WL("99999999999999999999999"), 0, 0xFFFFFFFFu));
    // The start number is shown with eight digits while the digit flag is 0.
    EXPECT_EQ(99999999u, st::MaxStartNumber(false));
    EXPECT_EQ(WL("99999999"), st::FormatStartNumber(st::MaxStartNumber(false), false));
    EXPECT_EQ(0xFFFFFFFFu, st::MaxStartNumber(true));
}

constexpr int kHfSwitch = 1202, kHfEdit = 2117, kHfPrintHeader = 2247, kHfStartNumber = 2250, kHfDetail = 2245,
              kHfDateTimePage = 2260, kDpPageNumber = 2239, kDpStartPage = 2240, kDpStartNumber = 2241;

class HeaderFooterDialogs : public StampTab {
protected:
    // Runs the header/footer dialog from the tab: `edit` runs on it, `dateTime` on the
    // date/time and page-number dialog when that opens; a dialog still open is
    // cancelled.  True when the header/footer dialog closed by itself.
    bool Edit(const std::function<void(HWND)>& edit, const std::function<void(HWND)>& dateTime = nullptr) {
        Driver d{edit, dateTime};
        NvxUi_SetModalDriver(Driver::Drive, &d);
        EXPECT_TRUE(NvxUi_Click(Control(kHfEdit)));
        NvxUi_SetModalDriver(nullptr, nullptr);
        return !d.editStillOpen;
    }
    static std::string Text(HWND dlg, int id) {
        WCHAR text[64] = {};
        GetWindowTextW(GetDlgItem(dlg, id), text, 64);
        return nvx::Utf8FromW(text);
    }
    static std::string Cell(HWND dlg, int row, int column) {
        WCHAR text[128] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(GetDlgItem(dlg, kHfDetail), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return nvx::Utf8FromW(text);
    }
    struct Driver {
        std::function<void(HWND)> edit, dateTime;
        bool editStillOpen = false, dateTimeStillOpen = false;
        static void Drive(void* self, HWND dlg) {
            auto* d = static_cast<Driver*>(self);
            const bool isEdit = GetDlgItem(dlg, kHfDetail) != nullptr;
            const auto& steps = isEdit ? d->edit : d->dateTime;
            if (steps) steps(dlg);
            const bool open = IsWindow(dlg) && IsWindowVisible(dlg);
            (isEdit ? d->editStillOpen : d->dateTimeStillOpen) = open;
            if (open) NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    void OpenWithHeaderFooterOn() {
        ASSERT_NE(nullptr, OpenSheet({kStamps}));
        ASSERT_TRUE(IsWindowVisible(Control(kHfEdit)));
        EXPECT_FALSE(IsWindowEnabled(Control(kHfEdit))) << "the button waits for the Header/Footer switch";
        ASSERT_TRUE(NvxUi_Click(Control(kHfSwitch)));
        ASSERT_TRUE(IsWindowEnabled(Control(kHfEdit)));
    }
};

// The page options and the start number are taken on OK; the detail list says the
// device information is unknown; Cancel leaves the record as it was.
TEST_F(HeaderFooterDialogs, OkTakesTheOptionsAndTheStartNumberCancelKeepsTheRecord) {
    OpenWithHeaderFooterOn();
    SetField("bHFE_Digit", 0);
    SetField("dwHFE_StartNumber", 42);
    ASSERT_EQ(1, Field("bHFE_PrintHeader"));
    EXPECT_TRUE(Edit([&](HWND dlg) {
        EXPECT_EQ("00000042", Text(dlg, kHfStartNumber));
        for (int row = 0; row < 5; ++row) {
            EXPECT_EQ("Unknown", Cell(dlg, row, 1)) << row;
            EXPECT_EQ("Unknown", Cell(dlg, row, 2)) << row;
        }
        EXPECT_EQ("Serial Number", Cell(dlg, 2, 0));
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kHfPrintHeader)));
        Type(dlg, kHfStartNumber, WL("1234"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(0, Field("bHFE_PrintHeader"));
    EXPECT_EQ(1234, Field("dwHFE_StartNumber"));

    const std::vector<uint8_t> before = RecordBytes();
    EXPECT_FALSE(Edit([&](HWND dlg) {
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kHfPrintHeader)));
        Type(dlg, kHfStartNumber, WL("7"));
    }));
    EXPECT_EQ(before, RecordBytes());
}

// A start number past its range keeps the dialog open and the record unchanged:
// nine digits while numbers show with eight, and past 32 bits with the digit flag.
TEST_F(HeaderFooterDialogs, AStartNumberPastItsRangeIsRefused) {
    OpenWithHeaderFooterOn();
    SetField("bHFE_Digit", 0);
    SetField("dwHFE_StartNumber", 5);
    EXPECT_FALSE(Edit([&](HWND dlg) {
        Type(dlg, kHfStartNumber, WL("123456789"));  // the box takes eight characters
        EXPECT_EQ("12345678", Text(dlg, kHfStartNumber));
        Type(dlg, kHfStartNumber, WL("-1"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(5, Field("dwHFE_StartNumber"));
    SetField("bHFE_Digit", 1);
    EXPECT_FALSE(Edit([&](HWND dlg) {
        Type(dlg, kHfStartNumber, WL("4294967296"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(5, Field("dwHFE_StartNumber"));
    EXPECT_TRUE(Edit([&](HWND dlg) {
        Type(dlg, kHfStartNumber, WL("4294967295"));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(-1, Field("dwHFE_StartNumber")) << "4294967295 stored as the u32 it is";
}

// The date/time and page-number dialog opened from the header/footer dialog: the
// start page and number inside their range, taken only when both dialogs end with OK.
TEST_F(HeaderFooterDialogs, TheDateTimeDialogTakesPageNumbersInsideTheirRange) {
    OpenWithHeaderFooterOn();
    bool dateTimeClosed = false;
    EXPECT_TRUE(Edit(
        [&](HWND dlg) {
            ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kHfDateTimePage)));
            NvxUi_PressButton(dlg, IDOK);
        },
        [&](HWND dlg) {
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kDpStartPage))) << "waits for the Page Number switch";
            ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kDpPageNumber)));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, kDpStartPage)));
            Type(dlg, kDpStartPage, WL("0"));
            NvxUi_PressButton(dlg, IDOK);
            ASSERT_TRUE(IsWindowVisible(dlg)) << "page 0 is refused";
            Type(dlg, kDpStartPage, WL("9999"));
            Type(dlg, kDpStartNumber, WL("3"));
            NvxUi_PressButton(dlg, IDOK);
            dateTimeClosed = !IsWindowVisible(dlg);
        }));
    EXPECT_TRUE(dateTimeClosed);
    EXPECT_EQ(1, Field("DateTimePageNo.bPageNo"));
    EXPECT_EQ(9999, Field("DateTimePageNo.nPN_StartPage"));
    EXPECT_EQ(3, Field("DateTimePageNo.nPN_StartNum"));

    // OK in the date/time dialog, Cancel in the header/footer dialog: nothing kept.
    EXPECT_FALSE(Edit(
        [&](HWND dlg) { ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kHfDateTimePage))); },
        [&](HWND dlg) {
            Type(dlg, kDpStartPage, WL("20"));
            NvxUi_PressButton(dlg, IDOK);
        }));
    EXPECT_EQ(9999, Field("DateTimePageNo.nPN_StartPage"));
}

}  // namespace

namespace {

constexpr int kCpSwitch = 1164, kCpOp = 3175, kCpDetail = 1166;
// Copy-protect edit (2145) and copy guard (214).
constexpr int kCpeProtect = 2147, kCpeStamp = 2148, kCpeText = 2150, kCpeFont = 2151, kCpePattern = 2152,
              kCpeDensity = 2159, kCpeLight = 2158, kCpeDark = 2160, kCpeContrast = 2163, kCpeStampDensity = 2107,
              kCpeStampColor = 2105;
constexpr int kCseText = 3180, kCseList = 3181, kCseAngle = 3195, kCseDensity = 3216, kCseLight = 3215,
              kCseDark = 3217;

class CopyProtectDialogs : public StampTab {
protected:
    std::string Rules() const override {
        return "version \"Ver_Cst\" \"1.00\"\n"
               "forbid CopyProtect_op = CP_CopyProtect when Orientation == Landscape refuse 2\n";
    }
    // Runs the settings dialog from the tab's button: `steps` on it, still open
    // afterwards it is cancelled.  True when it closed by itself (OK taken).
    bool Settings(const std::function<void(HWND)>& steps) {
        Run run;
        run.steps = steps;
        NvxUi_SetModalDriver(Run::Drive, &run);
        EXPECT_TRUE(NvxUi_Click(Control(kCpDetail)));
        NvxUi_SetModalDriver(nullptr, nullptr);
        return !run.stillOpen;
    }
    static std::string TextIn(HWND dlg, int id) {
        WCHAR text[128] = {};
        GetWindowTextW(GetDlgItem(dlg, id), text, 128);
        return nvx::Utf8FromW(text);
    }
    static std::string ComboLine(HWND combo, int i) {
        WCHAR text[128] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        return nvx::Utf8FromW(text);
    }
    static int ComboIndexOf(HWND combo, const std::string& line) {
        const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (ComboLine(combo, i) == line) return i;
        return -1;
    }
    // Chooses an operation on the tab by its line.
    void ChooseOperation(const char* line) {
        const int at = ComboIndexOf(Control(kCpOp), line);
        ASSERT_GE(at, 0) << line;
        ASSERT_TRUE(NvxUi_ChooseComboIndex(Control(kCpOp), at));
    }
    void OpenWithCopyProtectOn() {
        ASSERT_NE(nullptr, OpenSheet({kStamps}));
        ASSERT_TRUE(IsWindowVisible(Control(kCpSwitch)));
        ASSERT_TRUE(IsWindowVisible(Control(kCpOp)));
        EXPECT_FALSE(IsWindowEnabled(Control(kCpOp))) << "the operation waits for the switch";
        EXPECT_FALSE(IsWindowEnabled(Control(kCpDetail)));
        ASSERT_TRUE(NvxUi_Click(Control(kCpSwitch)));
        ASSERT_EQ(1, Field("bCopyProtect"));
        ASSERT_TRUE(IsWindowEnabled(Control(kCpOp)));
    }
};

// The operation combo lists the model's operations; a choice is stored through
// the check for 3175 (a refused one puts the old operation back), and the settings
// button follows the operation: nothing to set for password copy.
TEST_F(CopyProtectDialogs, TheOperationIsCheckedAndChoosesTheDialog) {
    SetField("nCSE_CopyProtectOp", 1);
    OpenWithCopyProtectOn();
    HWND op = Control(kCpOp);
    ASSERT_EQ(3, SendMessageW(op, CB_GETCOUNT, 0, 0));
    EXPECT_EQ("Copy Guard", ComboLine(op, static_cast<int>(SendMessageW(op, CB_GETCURSEL, 0, 0))));
    EXPECT_TRUE(IsWindowEnabled(Control(kCpDetail)));

    ChooseOperation("Password Copy");
    EXPECT_EQ(2, Field("nCSE_CopyProtectOp"));
    EXPECT_FALSE(IsWindowEnabled(Control(kCpDetail))) << "password copy has nothing to set";
    EXPECT_EQ("Untitled", Preset());

    ChooseOperation("Copy Protect");
    EXPECT_EQ(3, Field("nCSE_CopyProtectOp"));
    EXPECT_TRUE(IsWindowEnabled(Control(kCpDetail)));
    EXPECT_TRUE(Settings([](HWND dlg) {
        EXPECT_NE(nullptr, GetDlgItem(dlg, kCpeText)) << "copy protect opens the copy-protect dialog";
        NvxUi_PressButton(dlg, IDOK);
    }));
    ChooseOperation("Copy Guard");
    EXPECT_TRUE(Settings([](HWND dlg) {
        EXPECT_NE(nullptr, GetDlgItem(dlg, kCseList)) << "copy guard opens the copy-guard dialog";
        NvxUi_PressButton(dlg, IDOK);
    }));

    // Landscape forbids copy protect: refused, the copy guard stays.
    SetField("nOrientation", 2);
    AnswerMessageBoxes(IDOK);
    ChooseOperation("Copy Protect");
    EXPECT_EQ(1, Field("nCSE_CopyProtectOp"));
    EXPECT_EQ("Copy Guard", ComboLine(op, static_cast<int>(SendMessageW(op, CB_GETCURSEL, 0, 0))));

    // Switched off: operation and button wait again.
    ASSERT_TRUE(NvxUi_Click(Control(kCpSwitch)));
    EXPECT_EQ(0, Field("bCopyProtect"));
    EXPECT_FALSE(IsWindowEnabled(op));
    EXPECT_FALSE(IsWindowEnabled(Control(kCpDetail)));
}

// The copy guard: the text list with the device's texts drawn "*%s", a choice
// stored as the fixed or registered text; the density slider in the model's range
// with its labels; OK keeps, Cancel puts everything back.
TEST_F(CopyProtectDialogs, TheCopyGuardDialogTakesTextAngleAndDensity) {
    SetField("nCSE_CopyProtectOp", 1);
    SetField("bStamp", 1);
    SetField("nCPE_CP_Density", 9);  // from another model: outside this one's range
    OpenWithCopyProtectOn();
    EXPECT_TRUE(Settings([&](HWND dlg) {
        EXPECT_EQ("Edit Copy Guard", TextOf(dlg));
        HWND list = GetDlgItem(dlg, kCseList);
        EXPECT_TRUE(IsWindowEnabled(list));
        EXPECT_GE(ComboIndexOf(list, "COPY"), 0);
        const int device = ComboIndexOf(list, "*Device Text 1");
        ASSERT_GE(device, 0) << "a device text is marked with an asterisk";
        EXPECT_EQ(-1, ComboIndexOf(list, "Device Text 1"));
        ASSERT_TRUE(NvxUi_ChooseComboIndex(list, device));
        EXPECT_EQ("Light", TextIn(dlg, kCseLight));
        EXPECT_EQ("Dark", TextIn(dlg, kCseDark));
        HWND density = GetDlgItem(dlg, kCseDensity);
        EXPECT_EQ(-3, SendMessageW(density, TBM_GETRANGEMIN, 0, 0)) << "the model's range";
        EXPECT_EQ(3, SendMessageW(density, TBM_GETRANGEMAX, 0, 0));
        EXPECT_EQ(3, SendMessageW(density, TBM_GETPOS, 0, 0)) << "a value past the range shows at its end";
        EXPECT_EQ(9, Field("nCPE_CP_Density")) << "showing it changes nothing";
        ASSERT_TRUE(NvxUi_SetTrackBar(density, -2));
        const int angle = ComboIndexOf(GetDlgItem(dlg, kCseAngle), "-45 degrees");
        ASSERT_GE(angle, 0);
        ASSERT_TRUE(NvxUi_ChooseComboIndex(GetDlgItem(dlg, kCseAngle), angle));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ(1, Field("nStampType"));
    EXPECT_EQ(1, Field("nRecordStamp"));
    EXPECT_EQ(-2, Field("nCPE_CP_Density"));
    EXPECT_EQ(2, Field("nAngle"));

    const std::vector<uint8_t> before = RecordBytes();
    EXPECT_FALSE(Settings([&](HWND dlg) {
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kCseText)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kCseList))) << "the list waits for the text switch";
        ASSERT_TRUE(NvxUi_SetTrackBar(GetDlgItem(dlg, kCseDensity), 3));
        ASSERT_TRUE(NvxUi_ChooseComboIndex(GetDlgItem(dlg, kCseAngle), 0));
    }));
    EXPECT_EQ(before, RecordBytes()) << "Cancel leaves the record as it was";
}

// Copy protect: the composite method decides which half is enabled; text, font,
// pattern, densities and contrast are taken; a text past 31 characters cannot be typed.
TEST_F(CopyProtectDialogs, TheCopyProtectDialogTakesTextFontPatternAndSliders) {
    SetField("nCSE_CopyProtectOp", 3);
    SetField("bCompositeMethod", 1);
    OpenWithCopyProtectOn();
    EXPECT_TRUE(Settings([&](HWND dlg) {
        EXPECT_EQ("Edit Copy Protection", TextOf(dlg));
        EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(dlg, kCpeProtect), BM_GETCHECK, 0, 0));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, kCpeDensity)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kCpeStampDensity))) << "the stamp's half waits";
        EXPECT_EQ("Light", TextIn(dlg, kCpeLight));
        EXPECT_EQ("Dark", TextIn(dlg, kCpeDark));
        HWND font = GetDlgItem(dlg, kCpeFont);
        EXPECT_EQ("Arial", ComboLine(font, static_cast<int>(SendMessageW(font, CB_GETCURSEL, 0, 0))))
            << "no face stored: the default face";
        Type(dlg, kCpeText, WL("0123456789012345678901234567890123"));
        EXPECT_EQ(31u, TextIn(dlg, kCpeText).size()) << "the box takes 31 characters";
        Type(dlg, kCpeText, WL("Do not copy"));
        const int whiteOut = ComboIndexOf(GetDlgItem(dlg, kCpePattern), "White Out");
        ASSERT_GE(whiteOut, 0);
        ASSERT_TRUE(NvxUi_ChooseComboIndex(GetDlgItem(dlg, kCpePattern), whiteOut));
        ASSERT_TRUE(NvxUi_SetTrackBar(GetDlgItem(dlg, kCpeDensity), 2));
        ASSERT_TRUE(NvxUi_SetTrackBar(GetDlgItem(dlg, kCpeContrast), -1));
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kCpeStamp)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kCpeDensity)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, kCpeStampDensity)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, kCpeStampColor)));
        ASSERT_TRUE(NvxUi_SetTrackBar(GetDlgItem(dlg, kCpeStampDensity), -3));
        NvxUi_PressButton(dlg, IDOK);
    }));
    EXPECT_EQ("Do not copy", nvx::Utf8FromW(st::CopyProtectText(*nvx::settings::AsRecord(sheet_.Record()))));
    EXPECT_EQ(1, Field("nPattern"));
    EXPECT_EQ(2, Field("nCPE_CP_Density"));
    EXPECT_EQ(-1, Field("nCPE_CP_Contrast"));
    EXPECT_EQ(0, Field("bCompositeMethod"));
    EXPECT_EQ(-3, Field("nCPE_SS_Density"));
    EXPECT_EQ("Untitled", Preset());
}

}  // namespace
