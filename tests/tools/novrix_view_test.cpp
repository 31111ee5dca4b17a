// novrix's reading of a page by its visible labels and its answers to message
// boxes, on the "All controls" dialog of UITEST.DLL.
#include <gtest/gtest.h>

#include <string>

#include "answers.h"
#include "common/text.h"
#include "page_view.h"
#include "platform/ui_host.h"
#include "record_view.h"
#include "settings/oemdev_template.h"
#include "support/platform_test.h"
#include "uitest.h"

namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class NovrixViewTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        nvx::WString path = nvx::WFromUtf8(std::string(NVX_UIDLL_DIR) + "/UITEST.DLL");
        module_ = LoadLibraryW(path.c_str());
        ASSERT_NE(nullptr, module_);
        dialog_ = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_ALLCONTROLS), nullptr, PlainProc, 0);
        ASSERT_NE(nullptr, dialog_);
        ShowWindow(dialog_, SW_SHOW);
        HWND combo = GetDlgItem(dialog_, IDC_COMBO);
        for (const char* item : {"A4", "Letter", "Legal"}) {
            nvx::WString w = nvx::WFromUtf8(item);
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
        }
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }
    const novrix::Setting* Find(const novrix::PageView& view, const std::string& label) {
        for (const auto& s : view.settings)
            if (s.label == label) return &s;
        return nullptr;
    }

    HMODULE module_ = nullptr;
    HWND dialog_ = nullptr;
};

TEST(NovrixLabels, CleanAndCompare) {
    EXPECT_EQ("Paper Size", novrix::CleanLabel("&Paper Size:"));
    EXPECT_EQ("A&B", novrix::CleanLabel("A&&B"));
    EXPECT_EQ("User Settings", novrix::CleanLabel("User Settings..."));
    EXPECT_EQ("Copies", novrix::CleanLabel("  Copies :  "));
    EXPECT_EQ("", novrix::CleanLabel("&"));
    EXPECT_TRUE(novrix::SameLabel("paper size", "&Paper Size:"));
    EXPECT_FALSE(novrix::SameLabel("Paper", "Paper Size"));
    EXPECT_FALSE(novrix::SameLabel("", "Copies"));
}

TEST_F(NovrixViewTest, LabelsValuesAndMarks) {
    novrix::PageView view = novrix::ScanPage(dialog_);
    // A text label names the box after it; a group box names its radio buttons.
    const novrix::Setting* name = Find(view, "Name");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(novrix::SettingKind::Edit, name->kind);
    EXPECT_EQ(GetDlgItem(dialog_, IDC_EDIT), name->controls[0]);
    const novrix::Setting* orientation = Find(view, "Orientation");
    ASSERT_NE(nullptr, orientation);
    ASSERT_EQ(2u, orientation->controls.size());
    EXPECT_EQ((std::vector<std::string>{"Portrait", "Landscape"}), novrix::SettingChoices(*orientation));
    EXPECT_EQ("(none)", novrix::SettingValue(*orientation));
    const novrix::Setting* duplex = Find(view, "Duplex");
    ASSERT_NE(nullptr, duplex);
    EXPECT_EQ("off", novrix::SettingValue(*duplex));
    // A box without a label or group is named by its control id.
    const novrix::Setting* combo = Find(view, "#" + std::to_string(IDC_COMBO));
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ("A4", novrix::SettingValue(*combo));
    EXPECT_EQ(3u, novrix::SettingChoices(*combo).size());
    // Push buttons are listed, the other windows (icons, lists) are not settings.
    EXPECT_NE(nullptr, Find(view, "OK"));
    EXPECT_EQ(nullptr, Find(view, ""));

    EnableWindow(duplex->controls[0], FALSE);
    EXPECT_EQ("disabled", novrix::SettingMarks(*duplex));
    ShowWindow(duplex->controls[0], SW_HIDE);
    EXPECT_EQ("hidden, disabled", novrix::SettingMarks(*duplex));

    std::string text = novrix::RenderPage(novrix::ScanPage(dialog_), "All");
    EXPECT_EQ(0u, text.find("[All]\n"));
    EXPECT_NE(std::string::npos, text.find("  Orientation: (none)  (Portrait | Landscape)\n"));
    EXPECT_NE(std::string::npos, text.find("  Duplex: off  [hidden, disabled]\n"));
    EXPECT_NE(std::string::npos, text.find("  [OK]\n"));
}

TEST_F(NovrixViewTest, SettingAsAPerson) {
    std::string message;
    novrix::PageView view = novrix::ScanPage(dialog_);
    using novrix::SetOutcome;
    EXPECT_EQ(SetOutcome::Done, novrix::SetSetting(view, "orientation", "landscape", &message));
    EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(dialog_, IDC_RADIO2), BM_GETCHECK, 0, 0));
    EXPECT_EQ(SetOutcome::Done, novrix::SetSetting(view, "Duplex", "on", &message));
    EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(dialog_, IDC_CHECK), BM_GETCHECK, 0, 0));
    EXPECT_EQ(SetOutcome::Done, novrix::SetSetting(view, "#1014", "legal", &message));
    EXPECT_EQ(2, SendMessageW(GetDlgItem(dialog_, IDC_COMBO), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(SetOutcome::Done, novrix::SetSetting(view, "Name", "42", &message));
    EXPECT_EQ("42", novrix::SettingValue(*Find(view, "Name")));
    // A password box shows its mask only.
    SetWindowTextW(GetDlgItem(dialog_, IDC_PASSWORD), WL("1234"));
    const novrix::Setting* password = Find(view, "#" + std::to_string(IDC_PASSWORD));
    ASSERT_NE(nullptr, password);
    EXPECT_EQ("****", novrix::SettingValue(*password));
    EXPECT_EQ(std::string::npos, novrix::RenderPage(novrix::ScanPage(dialog_), "All").find("1234"));

    // Refusals: a choice not offered, a word for a number, a label not there.
    EXPECT_EQ(SetOutcome::NotInList, novrix::SetSetting(view, "Orientation", "Sideways", &message));
    EXPECT_NE(std::string::npos, message.find("Portrait, Landscape")) << message;
    EXPECT_EQ(SetOutcome::NotInList, novrix::SetSetting(view, "#1014", "A3", &message));
    EXPECT_NE(std::string::npos, message.find("A4, Letter, Legal")) << message;
    EXPECT_EQ(SetOutcome::NotInList, novrix::SetSetting(view, "Duplex", "maybe", &message));
    EXPECT_EQ(SetOutcome::NotInList, novrix::SetSetting(view, "Name", "4x", &message));
    EXPECT_EQ(SetOutcome::NoLabel, novrix::SetSetting(view, "Colour", "on", &message));
    EXPECT_EQ(SetOutcome::NoLabel, novrix::SetSetting(view, "OK", "on", &message));  // a button is no setting

    // A disabled control takes no input and keeps its value.
    EnableWindow(GetDlgItem(dialog_, IDC_CHECK), FALSE);
    EXPECT_EQ(SetOutcome::Disabled, novrix::SetSetting(view, "Duplex", "off", &message));
    EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(dialog_, IDC_CHECK), BM_GETCHECK, 0, 0));
    // Asking for the value already shown changes nothing and succeeds.
    EXPECT_EQ(SetOutcome::Done, novrix::SetSetting(view, "Duplex", "on", &message));
}

TEST_F(NovrixViewTest, StopIconsStandBesideTheirSetting) {
    HWND icon = GetDlgItem(dialog_, IDC_ICONSTATIC);
    HWND tip = CreateWindowExW(0, WL("tooltips_class32"), nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, icon, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(nullptr, tip);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = dialog_;
    ti.uId = reinterpret_cast<UINT_PTR>(icon);
    ti.lpszText = const_cast<LPWSTR>(WL("Not with Letter"));
    ASSERT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    // Where it stands now, no setting is level with it on its right.
    std::string text = novrix::RenderPage(novrix::ScanPage(dialog_), "All");
    EXPECT_NE(std::string::npos, text.find("  ! Not with Letter\n")) << text;
    // Left of the Duplex check box, it belongs to Duplex.
    RECT check;
    GetWindowRect(GetDlgItem(dialog_, IDC_CHECK), &check);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&check), 2);
    SetWindowPos(icon, nullptr, check.left - 9, check.top, 8, check.bottom - check.top, SWP_NOZORDER);
    text = novrix::RenderPage(novrix::ScanPage(dialog_), "All");
    EXPECT_NE(std::string::npos, text.find("  Duplex: off\n    ! Not with Letter\n")) << text;
    // A hidden icon says nothing.
    ShowWindow(icon, SW_HIDE);
    text = novrix::RenderPage(novrix::ScanPage(dialog_), "All");
    EXPECT_EQ(std::string::npos, text.find("Not with Letter")) << text;
    DestroyWindow(tip);
}

TEST(NovrixRecordView, FieldsByNameWhenNoPageOpens) {
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    std::string text = novrix::RenderRecordFields(record.bytes);
    EXPECT_EQ(0u, text.find("[settings record]\n  nOrientation: 1\n")) << text;
    EXPECT_NE(std::string::npos, text.find("  nCopies: 1\n")) << text;

    std::string message;
    EXPECT_TRUE(novrix::SetRecordField(record.bytes, "nCopies", "3", &message));
    EXPECT_EQ(3, nvx::settings::GetNumber(record, "nCopies"));
    EXPECT_TRUE(novrix::SetRecordField(record.bytes, "nCopies", "-1", &message));
    // Refused, the field unchanged: no number, trailing junk, out of 32 bits,
    // a text field, an internal field, an unknown name.
    EXPECT_TRUE(novrix::SetRecordField(record.bytes, "nCopies", "3", &message));
    for (const char* bad : {"", "x", "3x", " 3", "+3", "-", "4294967296", "-2147483649"}) {
        EXPECT_FALSE(novrix::SetRecordField(record.bytes, "nCopies", bad, &message)) << bad;
        EXPECT_NE(std::string::npos, message.find("takes a number")) << message;
    }
    EXPECT_EQ(3, nvx::settings::GetNumber(record, "nCopies"));
    EXPECT_FALSE(novrix::SetRecordField(record.bytes, "szVLUserName", "1", &message));
    EXPECT_FALSE(novrix::SetRecordField(record.bytes, "Header.dwSize", "1", &message));
    EXPECT_EQ(8344, nvx::settings::GetNumber(record, "Header.dwSize"));
    EXPECT_FALSE(novrix::SetRecordField(record.bytes, "Copies", "1", &message));
    EXPECT_NE(std::string::npos, message.find("no number field \"Copies\"")) << message;
}

TEST(NovrixAnswers, ButtonsOfTheBox) {
    using novrix::AutoAnswer;
    EXPECT_EQ(IDYES, novrix::ButtonForWord(MB_YESNO, "y"));
    EXPECT_EQ(IDNO, novrix::ButtonForWord(MB_YESNO, "NO"));
    EXPECT_EQ(0, novrix::ButtonForWord(MB_YESNO, "ok"));
    EXPECT_EQ(0, novrix::ButtonForWord(MB_YESNO, ""));
    EXPECT_EQ(0, novrix::ButtonForWord(MB_YESNO, "yess"));
    EXPECT_EQ(IDTRYAGAIN, novrix::ButtonForWord(MB_CANCELTRYCONTINUE, "try"));
    EXPECT_EQ("Yes/No/Cancel", novrix::ButtonNames(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(IDYES, novrix::ButtonForAuto(MB_YESNOCANCEL, AutoAnswer::Yes));
    EXPECT_EQ(IDNO, novrix::ButtonForAuto(MB_YESNOCANCEL, AutoAnswer::No));
    EXPECT_EQ(IDOK, novrix::ButtonForAuto(MB_OKCANCEL, AutoAnswer::Yes));
    EXPECT_EQ(IDCANCEL, novrix::ButtonForAuto(MB_OKCANCEL, AutoAnswer::No));
    // An OK-only box (a refusal notice) takes its default button either way.
    EXPECT_EQ(0, novrix::ButtonForAuto(MB_OK | MB_ICONEXCLAMATION, AutoAnswer::No));
    EXPECT_EQ(0, novrix::ButtonForAuto(MB_YESNO, AutoAnswer::None));
}

TEST_F(NovrixViewTest, ScriptedAnswersReachTheBox) {
    novrix::AnswerPolicy policy;
    policy.answer = novrix::AutoAnswer::No;
    policy.out = tmpfile();
    ASSERT_NE(nullptr, policy.out);
    novrix::InstallAnswers(&policy);
    EXPECT_EQ(IDNO, MessageBoxW(dialog_, WL("Change the settings?"), WL("Confirm"), MB_YESNO | MB_ICONQUESTION));
    policy.answer = novrix::AutoAnswer::Yes;
    EXPECT_EQ(IDYES, MessageBoxW(dialog_, WL("Again?"), WL("Confirm"), MB_YESNO));
    // No driver for a modal dialog in a scripted run: it is cancelled.
    EXPECT_EQ(IDCANCEL, DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_CLASSIC), dialog_, PlainProc, 0));
    novrix::UninstallAnswers();
    rewind(policy.out);
    char buffer[512] = {};
    size_t n = fread(buffer, 1, sizeof buffer - 1, policy.out);
    fclose(policy.out);
    std::string out(buffer, n);
    EXPECT_NE(std::string::npos, out.find("Message box \"Confirm\": Change the settings?\n  -> No\n")) << out;
    EXPECT_NE(std::string::npos, out.find("  -> Yes\n")) << out;
    EXPECT_NE(std::string::npos, out.find("Dialog \"Classic\" opened: cancelled")) << out;
}

}  // namespace
