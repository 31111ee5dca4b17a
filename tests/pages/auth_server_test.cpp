// The authentication server settings (2178): the entries checked and the
// password enciphered before anything is kept, the stored values read without
// trusting them, and the dialog opened from the user authentication pop-up's
// Authentication Server button, kept only when the pop-up's OK is pressed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/proc.h"
#include "device/password_cipher.h"
#include "model/stores.h"
#include "pages/auth_server_dialog.h"
#include "pages/page_fixture.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"

namespace {

using nvx::device::CipherMode;
using nvx::device::PasswordCipher;
using nvx::device::PasswordResult;
using nvx::pages::AuthServerField;
using nvx::pages::AuthServerInput;
using nvx::pages::AuthServerStore;

const PasswordCipher kSample({CipherMode::Aes, 3, 57, std::nullopt});

bool Holds(const void* data, size_t size, const std::string& text) {
    const auto* b = static_cast<const char*>(data);
    return std::search(b, b + size, text.begin(), text.end()) != b + size;
}

std::string U8(const nvx::WString& w) { return nvx::Utf8FromW(w.c_str()); }

TEST(AuthServerLogic, EntriesAreCheckedWholeBeforeAnythingIsKept) {
    AuthServerStore store;
    AuthServerInput in;
    in.treeDomainName = WL("corp.example");
    in.expenseCode = WL("C-100");
    in.passwordTyped = true;
    in.expenseCodePassword = WL("pw12345!");
    ASSERT_EQ(PasswordResult::Stored, nvx::pages::ApplyAuthServerInput(kSample, in, &store).result);
    EXPECT_EQ("corp.example", U8(store.treeDomainName));
    EXPECT_EQ("C-100", U8(store.expenseCode));
    ASSERT_EQ(16u, store.expenseCodePass.size()) << "AES: the next multiple of 16";
    EXPECT_EQ("pw12345!", kSample.DecipherText(store.expenseCodePass).value_or(""));
    EXPECT_FALSE(Holds(store.expenseCodePass.data(), store.expenseCodePass.size(), "pw12345!"));
    EXPECT_TRUE(nvx::pages::HoldsExpenseCodePassword(kSample, store));

    struct Case {
        const char* what;
        std::function<void(AuthServerInput&)> spoil;
        PasswordResult result;
        AuthServerField field;
    };
    const std::vector<Case> cases = {
        {"64-character tree", [](auto& i) { i.treeDomainName.assign(64, u't'); }, PasswordResult::TooLong,
         AuthServerField::TreeDomainName},
        {"9-character code", [](auto& i) { i.expenseCode.assign(9, u'1'); }, PasswordResult::TooLong,
         AuthServerField::ExpenseCode},
        {"9-character password", [](auto& i) { i.expenseCodePassword.assign(9, u'p'); }, PasswordResult::TooLong,
         AuthServerField::ExpenseCodePassword},
        {"non-ASCII tree", [](auto& i) { i.treeDomainName = WL("m\u00fcller"); }, PasswordResult::NotCodePage1252,
         AuthServerField::TreeDomainName},
        {"control character in the code", [](auto& i) { i.expenseCode = WL("a\tb"); },
         PasswordResult::NotCodePage1252, AuthServerField::ExpenseCode},
        {"NUL in the password", [](auto& i) { i.expenseCodePassword = nvx::WString(WL("a")) + WCHAR{0}; },
         PasswordResult::NulInside, AuthServerField::ExpenseCodePassword},
    };
    for (const Case& c : cases) {
        AuthServerInput bad;
        bad.treeDomainName = WL("other.example");
        bad.expenseCode = WL("C-200");
        bad.passwordTyped = true;
        bad.expenseCodePassword = WL("newpass");
        c.spoil(bad);
        AuthServerStore kept = store;
        const auto r = nvx::pages::ApplyAuthServerInput(kSample, bad, &kept);
        EXPECT_EQ(c.result, r.result) << c.what;
        EXPECT_EQ(c.field, r.field) << c.what;
        EXPECT_EQ("corp.example", U8(kept.treeDomainName)) << c.what;
        EXPECT_EQ(store.expenseCodePass, kept.expenseCodePass) << c.what;
        EXPECT_NE(std::string::npos, nvx::pages::AuthServerRefusalText(r).find("not stored")) << c.what;
    }
    // The limits themselves; an untyped password stays; an emptied one is none.
    AuthServerInput edge;
    edge.treeDomainName.assign(63, u't');
    edge.expenseCode.assign(8, u'9');
    ASSERT_EQ(PasswordResult::Stored, nvx::pages::ApplyAuthServerInput(kSample, edge, &store).result);
    EXPECT_EQ(63u, store.treeDomainName.size());
    EXPECT_EQ(16u, store.expenseCodePass.size());
    edge.passwordTyped = true;
    ASSERT_EQ(PasswordResult::Stored, nvx::pages::ApplyAuthServerInput(kSample, edge, &store).result);
    EXPECT_TRUE(store.expenseCodePass.empty());
    EXPECT_FALSE(nvx::pages::HoldsExpenseCodePassword(kSample, store));
}

std::vector<BYTE> Utf16(const std::string& s, bool terminated = true) {
    std::vector<BYTE> b;
    for (char c : s) {
        b.push_back(static_cast<BYTE>(c));
        b.push_back(0);
    }
    if (terminated) b.insert(b.end(), {0, 0});
    return b;
}

TEST(AuthServerLogic, StoredValuesAreTakenOnlyWhenTheyFit) {
    auto s = nvx::pages::ParseAuthServerStore(Utf16("corp"), Utf16("C-1", false), std::vector<BYTE>(16, 7));
    EXPECT_EQ("corp", U8(s.treeDomainName));
    EXPECT_EQ("C-1", U8(s.expenseCode)) << "an unterminated text ends with its bytes";
    EXPECT_EQ(16u, s.expenseCodePass.size());
    // Past the limit, outside printable ASCII, an odd trailing byte, a password past its field.
    s = nvx::pages::ParseAuthServerStore(Utf16(std::string(64, 't')), Utf16("a\x01"), std::vector<BYTE>(81, 7));
    EXPECT_TRUE(s.treeDomainName.empty());
    EXPECT_TRUE(s.expenseCode.empty());
    EXPECT_TRUE(s.expenseCodePass.empty());
    std::vector<BYTE> odd = Utf16("ab", false);
    odd.push_back('c');
    EXPECT_EQ("ab", U8(nvx::pages::ParseAuthServerStore(odd, {}, {}).treeDomainName));
    // A password that does not decipher counts as none.
    EXPECT_FALSE(nvx::pages::HoldsExpenseCodePassword(kSample, {{}, {}, std::vector<BYTE>(16, 7)}));
}

class AuthServerDialog : public pagetest::PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        AnswerMessageBoxes(IDOK);
        record_.assign(sizeof(OEMDEV), 0);
        printerHandle_ = printer_;
        void* p[4] = {&printerHandle_, record_.data(), devOption_.data(), nullptr};
        std::memcpy(block_, p, sizeof p);
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        PageHost::TearDown();
    }
    // Runs the pop-up; `pop` drives it, `server` the server dialog its button opens.
    UINT_PTR Run(std::function<void(HWND)> pop, std::function<void(HWND)> server) {
        pop_ = std::move(pop);
        server_ = std::move(server);
        NvxUi_SetModalDriver(
            [](void* self, HWND dialog) {
                auto* t = static_cast<AuthServerDialog*>(self);
                if (GetDlgItem(dialog, 2180)) t->server_(dialog);
                else t->pop_(dialog);
            },
            this);
        auto popup = nvx::ProcAs<UINT_PTR (*)(UINT_PTR)>(Export("Popup_UserAuthenticDlg"));
        return popup(reinterpret_cast<UINT_PTR>(block_));
    }
    static void Type(HWND dlg, int id, const char* text) {
        NvxUi_Type(GetDlgItem(dlg, id), nvx::WFromUtf8(text).c_str(), NVXUI_TYPE_REPLACE);
    }
    std::vector<BYTE> Stored(const WCHAR* name) const {
        nvx::model::RegKey key;
        std::vector<BYTE> data;
        if (nvx::model::OpenUserKey(printer_, &key, WL("Authentication")) == ERROR_SUCCESS)
            nvx::model::ValueStore::OfKey(key.get()).ReadAll(name, &data);
        return data;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (int i = 0; i < NvxUi_LogCount(); ++i) {
            NvxUiLogEntry e;
            if (NvxUi_GetLogEntry(i, &e) && e.kind == NVXUI_LOG_MESSAGEBOX) texts.push_back(Utf8(e.text));
        }
        return texts;
    }
    std::vector<BYTE> record_;
    std::vector<BYTE> devOption_ = std::vector<BYTE>(6676, 0);
    HANDLE printerHandle_ = nullptr;
    void* block_[4] = {};
    std::function<void(HWND)> pop_, server_;
};

TEST_F(AuthServerDialog, ThePopUpsButtonOpensItAndOnlyThePopUpsOkKeepsIt) {
    NvxPlatform_ClearDebugOutput();
    std::vector<std::string> servers;
    std::string caption;
    auto fill = [&](HWND dlg) {
        WCHAR text[128] = {};
        GetWindowTextW(dlg, text, 128);
        caption = Utf8(text);
        HWND combo = GetDlgItem(dlg, 2180);
        const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        servers.clear();
        for (int i = 0; i < n; ++i) {
            WCHAR item[64] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            servers.push_back(Utf8(item));
        }
        NvxUi_ChooseComboIndex(combo, 20);  // the last: Server101, 21
        Type(dlg, 2182, "corp.example");
        Type(dlg, 2184, "C-100");
        Type(dlg, 2186, "pw12345!");
        NvxUi_PressButton(dlg, IDOK);
    };
    // Cancel of the pop-up drops what the server dialog took.
    EXPECT_EQ(static_cast<UINT_PTR>(IDCANCEL), Run(
                                                   [](HWND dlg) {
                                                       EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, 2174)));
                                                       NvxUi_PressButton(dlg, 2174);
                                                       NvxUi_PressButton(dlg, IDCANCEL);
                                                   },
                                                   fill));
    EXPECT_EQ("Authentication Server Settings", caption);
    ASSERT_EQ(21u, servers.size());
    EXPECT_EQ(0, nvx::GetLE16(record_.data() + 1362));
    EXPECT_TRUE(Stored(WL("TreeDomainName")).empty());
    // OK keeps it: the server setting in the record and the store, the rest in the store.
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run(
                                               [](HWND dlg) {
                                                   NvxUi_PressButton(dlg, 2174);
                                                   NvxUi_PressButton(dlg, IDOK);
                                               },
                                               fill));
    EXPECT_EQ(21, nvx::GetLE16(record_.data() + 1362));
    uint32_t stored = 0;
    ASSERT_EQ(4u, Stored(WL("UserServerSetting")).size());
    std::memcpy(&stored, Stored(WL("UserServerSetting")).data(), 4);
    EXPECT_EQ(21u, stored);
    const auto pass = Stored(WL("ExpenseCodePass"));
    ASSERT_EQ(16u, pass.size());
    EXPECT_EQ("pw12345!", kSample.DecipherText(pass).value_or(""));
    AuthServerStore read;
    ASSERT_TRUE(nvx::pages::ReadAuthServerStore(printer_, &read));
    EXPECT_EQ("corp.example", U8(read.treeDomainName));
    EXPECT_EQ("C-100", U8(read.expenseCode));
    // Opened again: the entries come back, the password does not, and stays.
    std::string tree, shown = "x";
    LRESULT selected = -1;
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run(
                                               [](HWND dlg) {
                                                   NvxUi_PressButton(dlg, 2174);
                                                   NvxUi_PressButton(dlg, IDOK);
                                               },
                                               [&](HWND dlg) {
                                                   tree = TextOf(GetDlgItem(dlg, 2182));
                                                   shown = TextOf(GetDlgItem(dlg, 2186));
                                                   selected = SendDlgItemMessageW(dlg, 2180, CB_GETCURSEL, 0, 0);
                                                   NvxUi_PressButton(dlg, IDOK);
                                               }));
    EXPECT_EQ("corp.example", tree);
    EXPECT_EQ("", shown);
    EXPECT_EQ(20, selected);
    EXPECT_EQ(pass, Stored(WL("ExpenseCodePass")));
    // Nowhere in clear.
    EXPECT_FALSE(Holds(record_.data(), record_.size(), "pw12345!"));
    std::vector<char> out(1 << 16);
    NvxPlatform_GetDebugOutput(out.data(), static_cast<DWORD>(out.size()));
    EXPECT_EQ(std::string::npos, std::string(out.data()).find("pw12345!"));
}

TEST_F(AuthServerDialog, ARefusedEntryKeepsTheServerDialogOpenAndChangesNothing) {
    NvxUi_ClearLog();
    bool stillOpen = false;
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run(
                                               [](HWND dlg) {
                                                   NvxUi_PressButton(dlg, 2174);
                                                   NvxUi_PressButton(dlg, IDOK);
                                               },
                                               [&](HWND dlg) {
                                                   Type(dlg, 2184, "C-100");
                                                   NvxUi_Type(GetDlgItem(dlg, 2182),
                                                              nvx::WFromUtf8("m\xC3\xBCller").c_str(),
                                                              NVXUI_TYPE_REPLACE);
                                                   NvxUi_PressButton(dlg, IDOK);
                                                   stillOpen = IsWindow(dlg) && IsWindowVisible(dlg);
                                                   NvxUi_PressButton(dlg, IDCANCEL);
                                               }));
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_NE(std::string::npos, Boxes()[0].find("the tree or domain name"));
    EXPECT_TRUE(Stored(WL("ExpenseCode")).empty()) << "a cancelled server dialog gives the pop-up nothing";
    // Without a printer the button is there but cannot be pressed.
    printerHandle_ = nullptr;
    bool enabled = true;
    Run(
        [&](HWND dlg) {
            enabled = IsWindowEnabled(GetDlgItem(dlg, 2174)) != FALSE;
            NvxUi_PressButton(dlg, IDCANCEL);
        },
        [](HWND dlg) { NvxUi_PressButton(dlg, IDCANCEL); });
    EXPECT_FALSE(enabled);
}

}  // namespace
