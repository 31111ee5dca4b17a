// The directory server dialog (3369): its editing without a window (leaving an
// entry, adding, the full list, OK over every entry) and the dialog itself,
// opened from the printer sheet's settings tab and driven as a person would.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/le.h"
#include "fax/directory_editor.h"
#include "fax/directory_servers.h"
#include "page_fixture.h"
#include "pages/printer_settings_logic.h"
#include "settings/devoption.h"

namespace {

using namespace nvx::fax::directory;
using nvx::WFromAscii;
using nvx::WString;
using Bytes = std::vector<BYTE>;

Server Named(const char* name) {
    Server s = NewServer(Limits{});
    s.name = WFromAscii(name);
    s.address = WFromAscii("ldap.example.test");
    s.searchBase = WFromAscii("dc=example,dc=test");
    return s;
}

// ---- The editing, without a window ----------------------------------------------

TEST(DirectoryEditor, TheTwentyFirstServerIsRefused) {
    std::vector<Server> list;
    for (int i = 0; i < 20; ++i) list.push_back(Named(("S" + std::to_string(i)).c_str()));
    Editor e(list, Limits{});
    EXPECT_FALSE(e.CanAdd());
    Check c;
    EXPECT_EQ(Editor::AddOutcome::Full, e.Add(&c));
    EXPECT_EQ(20u, e.Servers().size());
    ASSERT_TRUE(e.Remove());
    EXPECT_EQ(Editor::AddOutcome::Added, e.Add(&c));
    EXPECT_EQ(19u, *e.Current()) << "the new entry is the one in front";
}

TEST(DirectoryEditor, AnEntryIsLeftOnlyWhenItPassesItsChecks) {
    Limits limits;
    limits.sslDefault = 1;
    Editor e({Named("Main")}, limits);
    Check c;
    ASSERT_EQ(Editor::AddOutcome::Added, e.Add(&c));
    const Server& fresh = e.Servers()[1];
    EXPECT_EQ(636u, fresh.port) << "SSL by the model's default";
    EXPECT_EQ("facsimileTelephoneNumber", nvx::Utf8FromW(fresh.attributes[kAttrFaxNumber]));
    // The new entry has no search base: neither another entry nor a second new one.
    c = e.Select(0);
    EXPECT_EQ(Problem::EmptySearchBase, c.problem);
    EXPECT_EQ(3393, c.focus);
    EXPECT_EQ(1u, *e.Current());
    EXPECT_EQ(Editor::AddOutcome::CurrentRefused, e.Add(&c));
    EXPECT_EQ(2u, e.Servers().size());
    e.CurrentServer()->searchBase = WFromAscii("dc=example,dc=test");
    e.CurrentServer()->name = WFromAscii("Main");
    c = e.Select(0);
    EXPECT_EQ(Problem::DuplicateName, c.problem);
    EXPECT_EQ(3385, c.focus);
    e.CurrentServer()->name = WFromAscii("Second");
    e.CurrentServer()->address = WFromAscii("192.0.2.2");
    EXPECT_EQ(Problem::None, e.Select(0).problem);
    EXPECT_EQ(0u, *e.Current());
}

TEST(DirectoryEditor, OkChecksEveryEntryAndBringsTheFirstFailingOneForward) {
    std::vector<Server> list = {Named("A"), Named("B"), Named("C")};
    list[2].port = 0;  // a stored entry out of range
    Editor e(list, Limits{});
    const Check c = e.Finish();
    EXPECT_EQ(Problem::PortRange, c.problem);
    EXPECT_EQ(2u, *e.Current());
    e.CurrentServer()->port = 389;
    EXPECT_EQ(Problem::None, e.Finish().problem);
}

TEST(DirectoryEditor, MovingAndDeletingKeepTheSelectionOnTheRightEntry) {
    Editor e({Named("A"), Named("B"), Named("C")}, Limits{});
    EXPECT_FALSE(e.Move(true)) << "the first cannot go up";
    ASSERT_TRUE(e.Move(false));
    EXPECT_EQ(1u, *e.Current());
    EXPECT_EQ("A", nvx::Utf8FromW(e.Servers()[1].name));
    ASSERT_EQ(Problem::None, e.Select(2).problem);
    ASSERT_TRUE(e.Remove());
    EXPECT_EQ(1u, *e.Current()) << "the last one went: the new last is selected";
    ASSERT_TRUE(e.Remove());
    ASSERT_TRUE(e.Remove());
    EXPECT_FALSE(e.Current().has_value());
    EXPECT_FALSE(e.Remove());
    EXPECT_FALSE(e.Move(false));
}

TEST(DirectoryEditor, NumberBoxesReadDigitsOnly) {
    EXPECT_EQ(0u, NumberOf(WString()));
    EXPECT_EQ(0u, NumberOf(WFromAscii("12a")));
    EXPECT_EQ(0u, NumberOf(WFromAscii("-1")));
    EXPECT_EQ(70000u, NumberOf(WFromAscii("70000")));
    EXPECT_EQ(0xFFFFFFFFu, NumberOf(WFromAscii("99999999999999")));
    EXPECT_EQ(5u, DigitsOf(65535));
    EXPECT_EQ(3u, DigitsOf(300));
    EXPECT_EQ(1u, DigitsOf(0));
    EXPECT_EQ(10u, DigitsOf(0xFFFFFFFFu));
    Server s = Named("A");
    EntryTexts t = TextsOf(s);
    t.port = WFromAscii("");
    t.share = 7;
    TakeTexts(t, &s);
    EXPECT_EQ(0u, s.port) << "an empty box fails the range check";
    EXPECT_EQ(1u, s.share);
}

// ---- The dialog -------------------------------------------------------------------

enum : int {
    kButton = 3368, kList = 3370, kUp = 3371, kDown = 3372, kDelete = 3373, kAdd = 3374, kTabs = 3375,
    kAuth = 3377, kAddress = 3384, kName = 3385, kSsl = 3392, kBase = 3393, kLogon = 3395, kPassword = 3396,
    kPort = 3398, kPortRange = 3399, kTimeout = 3401, kFaxAttribute = 3412, kDepartment = 3418,
};

class DirectoryDialog : public pagetest::PageHost {
protected:
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        CloseSheet();
        contextSheet_ = nullptr;
        printerSheet_.reset();
        pagetest::PageHost::TearDown();
    }
    // The printer sheet with its settings tab; flags 1: a user who may not apply.
    void OpenSettings(uint32_t flags = 0) {
        printerSheet_ = std::make_unique<nvx::host::HostSheet>(nvx::host::SheetForm::Two, printer_);
        printerSheet_->SetDevOptionRecord(devOption_);
        printerSheet_->SetSheetFlags(flags);
        contextSheet_ = printerSheet_.get();
        ASSERT_NE(nullptr, OpenSheet({{157, "Prc_PrnSettingsProc"}}));
    }
    // Presses the tab's button; `drive` acts on the dialog (left open: cancelled).
    void RunDialog(std::function<void(HWND)> drive) {
        struct Holder {
            std::function<void(HWND)>* fn;
            static void Drive(void* self, HWND dlg) { (*static_cast<Holder*>(self)->fn)(dlg); }
        } holder{&drive};
        NvxUi_SetModalDriver(Holder::Drive, &holder);
        EXPECT_TRUE(NvxUi_Click(Control(kButton)));
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
    void Store(const Bytes& bytes) {
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
                  SetPrinterDataW(printer_, const_cast<LPWSTR>(kListValue), REG_BINARY, const_cast<BYTE*>(bytes.data()),
                                  static_cast<DWORD>(bytes.size())));
    }
    Bytes Stored() const {
        DWORD type = 0, needed = 0;
        Bytes b(200000);
        if (GetPrinterDataW(printer_, const_cast<LPWSTR>(kListValue), &type, b.data(), static_cast<DWORD>(b.size()),
                            &needed) != ERROR_SUCCESS)
            return {};
        b.resize(needed);
        return b;
    }
    static void Type(HWND dlg, int id, const char* text) {
        EXPECT_TRUE(NvxUi_Type(GetDlgItem(dlg, id), WFromAscii(text).c_str(), NVXUI_TYPE_REPLACE)) << id;
    }
    static std::string TextIn(HWND dlg, int id) { return TextOf(GetDlgItem(dlg, id)); }
    static int Tab(HWND dlg) { return static_cast<int>(SendDlgItemMessageW(dlg, kTabs, TCM_GETCURSEL, 0, 0)); }
    static bool Visible(HWND dlg, int id) { return IsWindowVisible(GetDlgItem(dlg, id)) != FALSE; }
    static bool Enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }
    static std::vector<std::string> Rows(HWND dlg) {
        std::vector<std::string> rows;
        HWND list = GetDlgItem(dlg, kList);
        const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            WCHAR text[64] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            rows.push_back(Utf8(text));
        }
        return rows;
    }
    // A complete new entry typed in.
    static void AddEntry(HWND dlg, const char* name) {
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kAdd)));
        Type(dlg, kName, name);
        Type(dlg, kAddress, "127.0.0.1");
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1));
        Type(dlg, kBase, "dc=example,dc=test");
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 0));
    }
    std::vector<Server> StoredServers() const { return ReadList(Stored()); }

    BYTE devOption_[nvx::settings::kDevOptionSize] = {};
    std::unique_ptr<nvx::host::HostSheet> printerSheet_;
};

TEST_F(DirectoryDialog, AnEntryAddedAndConfirmedIsStoredWholeWithItsPasswordEnciphered) {
    OpenSettings();
    int shownTab = -1;
    RunDialog([&](HWND dlg) {
        EXPECT_TRUE(Rows(dlg).empty());
        EXPECT_FALSE(Enabled(dlg, kName)) << "no entry: nothing to edit";
        AddEntry(dlg, "Main");
        EXPECT_EQ((std::vector<std::string>{"Main"}), Rows(dlg)) << "the row follows the typed name";
        EXPECT_EQ("389", TextIn(dlg, kPort));
        EXPECT_EQ("(1 - 65535)", TextIn(dlg, kPortRange));
        ASSERT_TRUE(NvxUi_SetCheck(GetDlgItem(dlg, kSsl), BST_CHECKED));
        EXPECT_EQ("636", TextIn(dlg, kPort)) << "SSL on moves the port";
        ASSERT_TRUE(NvxUi_SetCheck(GetDlgItem(dlg, kSsl), BST_UNCHECKED));
        EXPECT_EQ("389", TextIn(dlg, kPort));
        Type(dlg, kPort, "1389");
        Type(dlg, kLogon, "cn=reader,dc=example,dc=test");
        // A code page 1252 character in it.
        ASSERT_TRUE(NvxUi_Type(GetDlgItem(dlg, kPassword), nvx::WFromUtf8("s\xc3\xa9same").c_str(), NVXUI_TYPE_REPLACE));
        EXPECT_TRUE(NvxUi_ChooseComboIndex(GetDlgItem(dlg, kAuth), 0));
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 2));
        EXPECT_TRUE(Visible(dlg, kFaxAttribute));
        EXPECT_FALSE(Visible(dlg, kPort)) << "the connection tab's controls are hidden";
        Type(dlg, kFaxAttribute, "fax,facsimileTelephoneNumber,telephoneNumber");
        shownTab = Tab(dlg);
        NvxUi_PressButton(dlg, IDOK);
        EXPECT_FALSE(IsWindow(dlg) && IsWindowVisible(dlg)) << "OK closes the dialog";
    });
    EXPECT_EQ(2, shownTab);
    EXPECT_EQ(0, MessageBoxCount());
    const Bytes b = Stored();
    ASSERT_EQ(107840u, b.size()) << "the list is written whole";
    const std::vector<Server> list = ReadList(b);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ("Main", nvx::Utf8FromW(list[0].name));
    EXPECT_EQ("127.0.0.1", nvx::Utf8FromW(list[0].address));
    EXPECT_EQ(1389u, list[0].port);
    EXPECT_EQ(0u, list[0].ssl);
    EXPECT_EQ(0u, list[0].auth);
    EXPECT_EQ("fax,facsimileTelephoneNumber,telephoneNumber", nvx::Utf8FromW(list[0].attributes[kAttrFaxNumber]));
    ASSERT_FALSE(list[0].password.empty());
    EXPECT_EQ(list[0].password.size(), nvx::GetLE16(b.data() + at::kPasswordLength));
    const std::string raw(b.begin(), b.end());
    EXPECT_EQ(std::string::npos, raw.find("same")) << "the password never lies in clear";
    // Opened again: the entry and its deciphered password are shown.
    RunDialog([&](HWND dlg) {
        EXPECT_EQ((std::vector<std::string>{"Main"}), Rows(dlg));
        EXPECT_EQ("1389", TextIn(dlg, kPort));
        EXPECT_EQ("s\xc3\xa9same", TextIn(dlg, kPassword));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
}

TEST_F(DirectoryDialog, AnEmptySearchBaseKeepsTheDialogOpenOnTheSearchTab) {
    OpenSettings();
    bool stayed = false;
    int tab = -1;
    HWND focus = nullptr, base = nullptr;
    RunDialog([&](HWND dlg) {
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kAdd)));
        Type(dlg, kName, "Main");
        Type(dlg, kAddress, "127.0.0.1");
        NvxUi_PressButton(dlg, IDOK);
        stayed = IsWindow(dlg) && IsWindowVisible(dlg);
        tab = Tab(dlg);
        focus = GetFocus();
        base = GetDlgItem(dlg, kBase);
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(1, tab);
    EXPECT_EQ(base, focus);
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("Enter the search base."));
    EXPECT_TRUE(Stored().empty()) << "Cancel writes nothing";
}

TEST_F(DirectoryDialog, ATwinNameIsRefusedNamingTheEntryAndTheSelectionStays) {
    Store(WriteList({Named("Main"), Named("Other")}));
    OpenSettings();
    int selected = -1;
    RunDialog([&](HWND dlg) {
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kList), 1));
        Type(dlg, kName, "Main");
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kList), 0));
        selected = static_cast<int>(SendDlgItemMessageW(dlg, kList, LB_GETCURSEL, 0, 0));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(1, selected);
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("named \"Main\" is already registered"));
    EXPECT_EQ("Other", nvx::Utf8FromW(StoredServers()[1].name)) << "cancelled: the stored list is as it was";
}

TEST_F(DirectoryDialog, TheTwentyFirstCannotBeAddedAndFieldsStopAtTheirLimits) {
    std::vector<Server> list;
    for (int i = 0; i < 20; ++i) list.push_back(Named(("Server " + std::to_string(i)).c_str()));
    Store(WriteList(list));
    OpenSettings();
    RunDialog([&](HWND dlg) {
        EXPECT_EQ(20u, Rows(dlg).size());
        EXPECT_FALSE(Enabled(dlg, kAdd));
        EXPECT_FALSE(NvxUi_Click(GetDlgItem(dlg, kAdd)));
        EXPECT_FALSE(Enabled(dlg, kUp)) << "the first cannot go up";
        Type(dlg, kName, std::string(40, 'n').c_str());
        EXPECT_EQ(31u, TextIn(dlg, kName).size());
        Type(dlg, kAddress, std::string(300, 'a').c_str());
        EXPECT_EQ(254u, TextIn(dlg, kAddress).size());
        Type(dlg, kPort, "1234567");
        EXPECT_EQ("12345", TextIn(dlg, kPort)) << "as many digits as 65535 has";
        Type(dlg, kPort, "443");
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 2));
        Type(dlg, kDepartment, std::string(200, 'd').c_str());
        EXPECT_EQ(193u, TextIn(dlg, kDepartment).size());
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dlg, kDelete)));
        EXPECT_EQ(19u, Rows(dlg).size());
        EXPECT_TRUE(Enabled(dlg, kAdd)) << "room again";
        NvxUi_PressButton(dlg, IDOK);
    });
    const std::vector<Server> stored = StoredServers();
    ASSERT_EQ(19u, stored.size());
    EXPECT_EQ("Server 1", nvx::Utf8FromW(stored[0].name));
}

TEST_F(DirectoryDialog, RangesAndAttributeFieldsAreCheckedBeforeOk) {
    Store(WriteList({Named("Main")}));
    OpenSettings();
    std::vector<int> tabs;
    RunDialog([&](HWND dlg) {
        Type(dlg, kPort, "0");
        NvxUi_PressButton(dlg, IDOK);
        tabs.push_back(Tab(dlg));
        Type(dlg, kPort, "70000");
        NvxUi_PressButton(dlg, IDOK);
        Type(dlg, kPort, "65535");
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1));
        Type(dlg, kTimeout, "1");
        NvxUi_PressButton(dlg, IDOK);
        Type(dlg, kTimeout, "60");
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 2));
        Type(dlg, kFaxAttribute, "a,b,c,d");
        Type(dlg, kDepartment, "o,ou,dept,division");
        ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 0));
        NvxUi_PressButton(dlg, IDOK);
        tabs.push_back(Tab(dlg));
        Type(dlg, kFaxAttribute, "a, b ,c");
        Type(dlg, kDepartment, "o");
        NvxUi_PressButton(dlg, IDOK);
    });
    ASSERT_EQ(4, MessageBoxCount());
    std::vector<std::string> texts;
    for (int i = 0; i < NvxUi_LogCount(); ++i) {
        NvxUiLogEntry e{};
        NvxUi_GetLogEntry(i, &e);
        if (e.kind == NVXUI_LOG_MESSAGEBOX) texts.push_back(Utf8(e.text));
    }
    EXPECT_NE(std::string::npos, texts[0].find("Enter a port number from 1 to 65535.")) << texts[0];
    EXPECT_NE(std::string::npos, texts[1].find("from 1 to 65535")) << texts[1];
    EXPECT_NE(std::string::npos, texts[2].find("search time-out from 5 to 300")) << texts[2];
    EXPECT_NE(std::string::npos, texts[3].find("more than three names:\nFax number\nDepartment")) << texts[3];
    EXPECT_EQ((std::vector<int>{0, 2}), tabs) << "the failing field's tab comes forward";
    const std::vector<Server> stored = StoredServers();
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ(65535u, stored[0].port);
    EXPECT_EQ(60u, stored[0].timeout);
}

TEST_F(DirectoryDialog, AListThatCannotBeReadCountsAsEmptyAndOkWritesItWhole) {
    Store(Bytes(100, 0x41));  // not a list
    OpenSettings();
    RunDialog([&](HWND dlg) {
        EXPECT_TRUE(Rows(dlg).empty());
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ(Bytes(107840, 0), Stored());
}

TEST_F(DirectoryDialog, AUserWhoMayNotApplySeesTheListButChangesNothing) {
    std::vector<Server> list = {Named("Main"), Named("Next")};
    list[0].port = 0;  // stored out of range: looking at it must not lock the list
    Store(WriteList(list));
    const Bytes before = Stored();
    OpenSettings(1);
    RunDialog([&](HWND dlg) {
        EXPECT_EQ((std::vector<std::string>{"Main", "Next"}), Rows(dlg));
        ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, kList), 1));
        EXPECT_EQ(1, static_cast<int>(SendDlgItemMessageW(dlg, kList, LB_GETCURSEL, 0, 0)));
        EXPECT_EQ("389", TextIn(dlg, kPort));
        EXPECT_EQ(0, MessageBoxCount());
        EXPECT_FALSE(Enabled(dlg, kName));
        EXPECT_FALSE(Enabled(dlg, kAdd));
        EXPECT_FALSE(Enabled(dlg, kDelete));
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ(before, Stored());
}

TEST_F(DirectoryDialog, APasswordOutsideCodePage1252IsRefusedAndTheOldOneKept) {
    OpenSettings();
    RunDialog([&](HWND dlg) {
        AddEntry(dlg, "Main");
        Type(dlg, kPassword, "old");
        NvxUi_PressButton(dlg, IDOK);
    });
    const Bytes first = StoredServers()[0].password;
    ASSERT_FALSE(first.empty());
    bool stayed = false;
    RunDialog([&](HWND dlg) {
        const WCHAR alpha[] = {0x03B1, 0};  // Greek alpha
        ASSERT_TRUE(NvxUi_Type(GetDlgItem(dlg, kPassword), alpha, NVXUI_TYPE_REPLACE));
        NvxUi_PressButton(dlg, IDOK);
        stayed = IsWindow(dlg) && IsWindowVisible(dlg);
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_TRUE(stayed);
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("The password cannot be used"));
    EXPECT_EQ(first, StoredServers()[0].password);
}

}  // namespace

namespace {

// ---- The settings tab's encryption key ---------------------------------------------

namespace dv = nvx::settings::devoption;

// A record that keeps a key of `length` bytes, user-defined or not.
void KeepKey(BYTE* record, uint16_t length, bool userDefined) {
    record[dv::kPassphraseStored] = userDefined ? 1 : 0;
    std::memset(record + dv::kPassphrase, 0x5A, length);
    nvx::PutLE16(record + dv::kPassphraseLength, length);
}

TEST(SettingsTabKey, AnyTraceOfAKeyCountsAsKeptAndClearingLeavesNone) {
    BYTE r[nvx::settings::kDevOptionSize] = {};
    EXPECT_EQ(nvx::pages::KeyState::None, nvx::pages::EncryptionKeyState(r));
    EXPECT_EQ(nvx::pages::KeyState::None, nvx::pages::EncryptionKeyState(nullptr));
    EXPECT_FALSE(nvx::pages::ClearEncryptionKey(r));
    KeepKey(r, 32, false);
    EXPECT_EQ(nvx::pages::KeyState::Kept, nvx::pages::EncryptionKeyState(r));
    KeepKey(r, 32, true);
    EXPECT_EQ(nvx::pages::KeyState::UserDefined, nvx::pages::EncryptionKeyState(r));
    // A damaged key (a length past the field, no flag) can be cleared too.
    BYTE damaged[nvx::settings::kDevOptionSize] = {};
    nvx::PutLE16(damaged + dv::kPassphraseLength, 900);
    EXPECT_EQ(nvx::pages::KeyState::Kept, nvx::pages::EncryptionKeyState(damaged));
    ASSERT_TRUE(nvx::pages::ClearEncryptionKey(r));
    BYTE zeros[nvx::settings::kDevOptionSize] = {};
    r[0] = 7;  // an option value beside the key is kept
    zeros[0] = 7;
    EXPECT_EQ(0, std::memcmp(zeros, r, sizeof r));
}

using SettingsTab = DirectoryDialog;

TEST_F(SettingsTab, ClearKeyAsksThenForgetsTheKeptKeyAndMarksTheSheetChanged) {
    KeepKey(devOption_, 32, true);
    OpenSettings();
    EXPECT_EQ("A user-defined encryption key from the device is kept for this printer (enciphered).", Text(3366));
    ASSERT_TRUE(IsWindowEnabled(Control(3367)));
    AnswerMessageBoxes(IDNO);
    EXPECT_TRUE(NvxUi_Click(Control(3367)));
    EXPECT_EQ(32u, nvx::GetLE16(devOption_ + dv::kPassphraseLength)) << "declined: kept";
    EXPECT_EQ(0u, printerSheet_->ChangedMark());
    AnswerMessageBoxes(IDYES);
    EXPECT_TRUE(NvxUi_Click(Control(3367)));
    EXPECT_EQ(2, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("clear the encryption key"));
    EXPECT_EQ(nvx::pages::KeyState::None, nvx::pages::EncryptionKeyState(devOption_));
    EXPECT_NE(0u, printerSheet_->ChangedMark());
    EXPECT_EQ("No encryption key is kept for this printer.", Text(3366));
    EXPECT_FALSE(IsWindowEnabled(Control(3367))) << "nothing left to clear";
}

TEST_F(SettingsTab, AUserWhoMayNotApplyCannotClearTheKey) {
    KeepKey(devOption_, 20, false);
    OpenSettings(1);
    EXPECT_EQ("The device's encryption key is kept for this printer (enciphered).", Text(3366));
    EXPECT_FALSE(IsWindowEnabled(Control(3367)));
    EXPECT_TRUE(IsWindowEnabled(Control(kButton))) << "the directory servers can still be looked at";
    EXPECT_EQ(20u, nvx::GetLE16(devOption_ + dv::kPassphraseLength));
}

}  // namespace
