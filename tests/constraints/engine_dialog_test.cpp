// End to end: the module attached from a driver folder whose constraint file the
// test wrote, a headless dialog with the Basic page's controls and the sheet's
// context, DoConstraints called as a page calls it after the user's change.
#include <gtest/gtest.h>

#include <cstring>

#include "constraints/engine.h"
#include "constraints/prepared_rules.h"
#include "constraints/stop_icons.h"
#include "features/model_record.h"
#include "frame/exports.h"
#include "frame/module_state.h"
#include "hostsupport/sheet_builder.h"
#include "lifecycle/lifecycle.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "module/catalogue_test_util.h"
#include "platform/ui_host.h"
#include "platform/ui_test_util.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "settings/printer_ui_context.h"
#include "settings/sheet_work.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using cattest::Json;
using nvx::frame::Module;

INT_PTR CALLBACK PageProc(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    return FALSE;
}

Json Rule(const char* kind, const char* target, const char* option, Json conditions, Json actions) {
    return Json{{"kind", kind}, {"target", target}, {"target_option", option}, {"conditions", conditions},
                {"expr", "c0 end"}, {"actions", actions}};
}

Json Act(const char* code, int param) { return Json::array({code, param}); }

int AnswerYes(void*, HWND, LPCWSTR, LPCWSTR, UINT) { return IDYES; }

class EngineDialog : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const Json rules = Json::array({
            Rule("change", "Collate", "CollateON", {{"PaperSize", "eq", "A5"}},
                Json::array({Act("change_message", 11), Act("icon", 12)})),
            Rule("change", "Copies", "3", {{"PaperSize", "eq", "A5"}}, Json::array({Act("change_message", 12)})),
            Rule("change", "JobOffset", "JobOffsetOFF", {{"PaperSize", "eq", "A5"}}, Json::array({Act("disable", 0)})),
            Rule("change", "PaperSize", "A4", {{"Orientation", "eq", "Landscape"}},
                Json::array({Act("change_message", 13)})),
            Rule("change", "Orientation", "Portrait", {{"Copies", "eq", "7"}},
                Json::array({Act("change_message", 14)})),
            Rule("change", "JobOffset", "JobOffsetON", {{"MediaType", "eq", "Envelope"}}, Json::array()),
        });
        const vpdc::Bytes file = vpdc::Compile(Json{{"layout", "block"}, {"rules", rules}});
        driver_.Write("NOVRIX_C.VPD", std::string(file.begin(), file.end()));
        anchor_ = LoadLibraryW(driver_.WidePath("NOVRIX_R.DLL").c_str());
        ASSERT_NE(nullptr, anchor_);
        ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
        ASSERT_NE(nullptr, nvx::constraints::ModuleRules());
        ASSERT_EQ(6u, nvx::constraints::ModuleRules()->change.rules.size());
        auto slot = [](nvx::model::MessageTable t, unsigned n, const char* text) {
            WCHAR* p = nvx::model::Loaded().messages.text[static_cast<unsigned>(t)] + n * nvx::model::kMessageSlotChars;
            nvx::WCopy(p, nvx::model::kMessageSlotChars, nvx::WFromUtf8(text));
        };
        using nvx::model::MessageTable;
        slot(MessageTable::Change, 0, "Settings");
        slot(MessageTable::Change, 1, "Also changes:\\n");
        slot(MessageTable::Change, 11, "Collate on");
        slot(MessageTable::Change, 12, "Copies 3");
        slot(MessageTable::Change, 13, "Paper A4");
        slot(MessageTable::ToolTip, 1, "Set by a rule:");
        slot(MessageTable::ToolTip, 12, "A5 collates");
        std::memcpy(sheet_.Record(), &nvx::settings::DefaultTemplate(), nvx::settings::kOemDevSize);

        uitest::TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_VISIBLE, 300, 200);
        t.Control(1000, 0x0085, nullptr, WL(""), CBS_DROPDOWNLIST | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 80)
            .Control(1020, 0x0080, nullptr, WL("Portrait"), BS_AUTORADIOBUTTON | WS_VISIBLE | WS_GROUP, 10, 30, 60, 10)
            .Control(1023, 0x0080, nullptr, WL("Landscape"), BS_AUTORADIOBUTTON | WS_VISIBLE, 10, 42, 60, 10)
            .Control(1011, 0x0081, nullptr, WL("1"), ES_NUMBER | WS_VISIBLE | WS_BORDER, 10, 60, 40, 12)
            .Control(1014, 0x0080, nullptr, WL("Collate"), BS_AUTOCHECKBOX | WS_VISIBLE, 10, 80, 60, 10)
            .Control(1018, 0x0080, nullptr, WL("Job Offset"), BS_AUTOCHECKBOX | WS_VISIBLE, 10, 92, 60, 10)
            .Control(3608, 0x0082, nullptr, nullptr, SS_ICON, 80, 80, 10, 10, 0, 0)
            .Control(3601, 0x0082, nullptr, nullptr, SS_ICON, 80, 30, 10, 10, 0, 0);
        dialog_ = CreateDialogIndirectParamW(nullptr, t.Get(), nullptr, PageProc, sheet_.ContextParam());
        ASSERT_NE(nullptr, dialog_);
        HWND combo = GetDlgItem(dialog_, 1000);
        for (auto [text, value] : {std::pair{WL("A4"), 9}, std::pair{WL("A5"), 11}}) {
            const LRESULT i = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(i), value);
        }
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        CheckDlgButton(dialog_, 1020, BST_CHECKED);
        NvxUi_ClearLog();
        NvxUi_SetMessageBoxResponder(AnswerYes, nullptr);
    }
    void TearDown() override {
        NvxUi_SetMessageBoxResponder(nullptr, nullptr);
        if (dialog_) DestroyWindow(dialog_);
        nvx::lifecycle::DetachModule();
        if (anchor_) FreeLibrary(anchor_);
        PlatformTest::TearDown();
    }
    int32_t Get(const char* f) { return nvx::settings::GetNumber(*nvx::settings::AsRecord(sheet_.Record()), f); }
    void Set(const char* f, int32_t v) { nvx::settings::SetNumber(*nvx::settings::AsRecord(sheet_.Record()), f, v); }
    UINT_PTR Check(WORD control) {
        return DoConstraints(0, reinterpret_cast<UINT_PTR>(dialog_), 0, control, 0xFFFFFFFFu, 0);
    }
    std::string LogText(int i) {
        NvxUiLogEntry e{};
        EXPECT_TRUE(NvxUi_GetLogEntry(i, &e));
        return nvx::Utf8FromW(e.caption) + "|" + nvx::Utf8FromW(e.text);
    }

    nvxtest::DriverCopy driver_;
    HMODULE anchor_ = nullptr;
    nvx::host::HostSheet sheet_{nvx::host::SheetForm::One};
    HWND dialog_ = nullptr;
};

TEST_F(EngineDialog, ARuleChangesTheRecordAndTheControlsAfterTheUserConfirms) {
    Set("bCollate", 0);
    Set("nCopies", 1);
    Set("bJobOffset", 1);
    CheckDlgButton(dialog_, 1018, BST_CHECKED);
    // The user picks A5; the page writes it and asks.
    ASSERT_TRUE(NvxUi_ChooseComboData(GetDlgItem(dialog_, 1000), 11));
    Set("nPaperSize", 11);
    EXPECT_EQ(199u, Check(1000));
    ASSERT_EQ(1, NvxUi_LogCount());
    EXPECT_EQ("Settings|Also changes: \nCollate on\r\nCopies 3", LogText(0));
    NvxUiLogEntry e{};
    NvxUi_GetLogEntry(0, &e);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), e.type);
    EXPECT_EQ(1, Get("bCollate"));
    EXPECT_EQ(3, Get("nCopies"));
    EXPECT_EQ(0, Get("bJobOffset"));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog_, 1014));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(dialog_, 1018));
    EXPECT_EQ(3u, GetDlgItemInt(dialog_, 1011, nullptr, TRUE));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, 1018)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, 1014)));
    const nvx::constraints::StopIconRow* icon = nvx::constraints::FindStopIcon(3608);
    EXPECT_EQ(1u, icon->hasMessage);
    EXPECT_EQ("Set by a rule:\r\nA5 collates", nvx::Utf8FromW(icon->text));

    // Landscape moves the paper back to A4 and shows it in the drop-down; the
    // disabled control comes back.
    ASSERT_TRUE(NvxUi_SetCheck(GetDlgItem(dialog_, 1023), BST_CHECKED));
    Set("nOrientation", 2);
    EXPECT_EQ(199u, Check(1023));
    EXPECT_EQ(9, Get("nPaperSize"));
    EXPECT_EQ(0, SendMessageW(GetDlgItem(dialog_, 1000), CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, 1018)));
    EXPECT_EQ(0u, icon->hasMessage);

    // A rule on the radio rows checks the row of the value and clears the other.
    SetDlgItemInt(dialog_, 1011, 7, FALSE);
    Set("nCopies", 7);
    EXPECT_EQ(199u, Check(1011));
    EXPECT_EQ(1, Get("nOrientation"));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog_, 1020));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(dialog_, 1023));
    EXPECT_EQ(3, NvxUi_LogCount());

    // The whole-sheet check asks nothing; mode 1 does nothing.
    EXPECT_EQ(199u, Check(0));
    EXPECT_EQ(0u, DoConstraints(1, reinterpret_cast<UINT_PTR>(dialog_), 0, 1000, 0xFFFFFFFFu, 0));
    EXPECT_EQ(3, NvxUi_LogCount());
}

// With the per-tray media switch on, the media values 1001 ... 1020 stand for the
// media registered for the sheet's tray slots (the record's tray entries).
TEST_F(EngineDialog, TraySlotMediaAreTheMediaTheSheetRegisteredForTheTray) {
    auto* model = const_cast<nvx::features::ModelRecord*>(nvx::model::Loaded().tables.record);
    ASSERT_NE(nullptr, model);
    model->facts[nvx::features::kFactPerTrayMedia] = 1;
    Set("PTInfoEach[0].nValue", 266);  // tray slot 1: envelopes
    Set("bJobOffset", 0);
    Set("nMediaType", 1001);
    EXPECT_EQ(199u, Check(0));
    EXPECT_EQ(1, Get("bJobOffset")) << "slot 1 holds envelopes";
    // A slot without registered media stands for no media type (not for media 0).
    Set("bJobOffset", 0);
    for (int32_t slot : {1002, 1011, 1020}) {
        Set("nMediaType", slot);
        EXPECT_EQ(199u, Check(0));
        EXPECT_EQ(0, Get("bJobOffset")) << slot;
    }
    model->facts[nvx::features::kFactPerTrayMedia] = 0;
    Set("nMediaType", 1001);
    EXPECT_EQ(199u, Check(0));
    EXPECT_EQ(0, Get("bJobOffset")) << "without the switch 1001 is just a value";
}

TEST(SheetTrayMedia, SlotsFollowTheRecordsTrayEntries) {
    int32_t media[nvx::settings::kTraySlots];
    EXPECT_FALSE(nvx::settings::ContextTrayMedia(nullptr, media));
    EXPECT_EQ(0, media[0]);
    nvx::host::HostSheet sheet(nvx::host::SheetForm::Two);
    nvx::settings::SetNumber(*nvx::settings::AsRecord(sheet.Record()), "PTInfoEach[0].nValue", 257);
    nvx::settings::SetNumber(*nvx::settings::AsRecord(sheet.Record()), "PTInfoEach[9].nValue", 266);
    const auto* ctx = reinterpret_cast<const nvx::settings::PrinterUIContext*>(sheet.ContextParam());
    ASSERT_TRUE(nvx::settings::ContextTrayMedia(ctx, media));
    EXPECT_EQ(257, media[0]);
    EXPECT_EQ(0, media[1]);
    EXPECT_EQ(266, media[9]);
    for (size_t i = 10; i < nvx::settings::kTraySlots; ++i) EXPECT_EQ(0, media[i]) << i;
}

// A number that a rule writes and the check shows in its field sets the sheet's
// changed-by-rule flag, for the page that asked to show the field in its own unit.
TEST_F(EngineDialog, ANumberARuleShowsSetsTheSheetsChangedByRuleFlag) {
    const auto* ctx = reinterpret_cast<const nvx::settings::PrinterUIContext*>(sheet_.ContextParam());
    Set("nCopies", 1);
    Set("bCollate", 0);
    Set("nOrientation", 2);
    EXPECT_EQ(199u, Check(0));  // landscape sets A4, already set: no number changes
    EXPECT_EQ(0u, nvx::settings::WorkGet(ctx, nvx::settings::work::kChangedByRule));
    Set("nOrientation", 1);
    Set("nPaperSize", 11);
    EXPECT_EQ(199u, Check(0));
    EXPECT_EQ(3, Get("nCopies"));
    EXPECT_EQ(3u, GetDlgItemInt(dialog_, 1011, nullptr, TRUE));
    EXPECT_EQ(1u, nvx::settings::WorkGet(ctx, nvx::settings::work::kChangedByRule));
}

TEST_F(EngineDialog, WithoutAContextTheHostRecordIsChecked) {
    SetWindowLongPtrW(dialog_, DWLP_USER, 0);
    std::vector<BYTE> record(nvx::settings::kOemDevSize);
    std::memcpy(record.data(), &nvx::settings::DefaultTemplate(), record.size());
    nvx::settings::SetNumber(*nvx::settings::AsRecord(record.data()), "nPaperSize", 11);
    nvx::settings::SetNumber(*nvx::settings::AsRecord(record.data()), "bCollate", 0);
    EXPECT_EQ(199u, Check(0));  // no record at all: nothing to check
    nvx::constraints::SetCheckRecord(record.data());
    EXPECT_EQ(199u, Check(0));
    nvx::constraints::SetCheckRecord(nullptr);
    EXPECT_EQ(1, nvx::settings::GetNumber(*nvx::settings::AsRecord(record.data()), "bCollate"));
}

}  // namespace
