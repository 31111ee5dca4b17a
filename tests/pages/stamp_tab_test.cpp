// The Stamp/Composition tab (Prc_DocWOProc): the watermark list from the printer's
// stores, the overlay list from the user's forms, each change through the
// constraint check (a refused change puts record and control back), the preset
// combo following, and a chosen form that went away dropped when the tab opens;
// with the logic behind the lists tried directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/stores.h"
#include "pages/page_fixture.h"
#include "pages/stamp_logic.h"
#include "settings/oemdev.h"
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
    std::string dir_;
};

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
    EXPECT_FALSE(IsWindowVisible(Control(kWatermarkEdit)));  // the edit dialog is not in this build
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
