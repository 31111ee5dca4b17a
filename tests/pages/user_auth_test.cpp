// The user authentication pop-up as the host opens it through
// Popup_UserAuthenticDlg: what OK, Cancel and a refused password leave in the
// host's settings record and in the user's store, and that no typed password is
// found in clear anywhere.
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
#include "pages/page_fixture.h"
#include "platform/host.h"
#include "settings/oemdev.h"

namespace {

using pagetest::PageHost;
using nvx::device::CipherMode;
using nvx::device::PasswordCipher;

// The sample model enciphers with AES under key number 3 and model number 57.
const PasswordCipher kSample({CipherMode::Aes, 3, 57, std::nullopt});

bool Holds(const void* data, size_t size, const std::string& text) {
    const auto* b = static_cast<const char*>(data);
    return std::search(b, b + size, text.begin(), text.end()) != b + size;
}

class UserAuth : public PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        record_.assign(sizeof(OEMDEV), 0);
        printerHandle_ = printer_;
        void* p[4] = {&printerHandle_, record_.data(), devOption_.data(), nullptr};
        std::memcpy(block_, p, sizeof p);
        AnswerMessageBoxes(IDOK);
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        PageHost::TearDown();
    }
    UINT_PTR Run(std::function<void(HWND)> drive, void* block = nullptr) {
        drive_ = std::move(drive);
        NvxUi_SetModalDriver([](void* self, HWND dialog) { static_cast<UserAuth*>(self)->drive_(dialog); }, this);
        auto popup = nvx::ProcAs<UINT_PTR (*)(UINT_PTR)>(Export("Popup_UserAuthenticDlg"));
        return popup(reinterpret_cast<UINT_PTR>(block ? block : block_));
    }
    static void DriveThunk(void* self, HWND dialog) { static_cast<UserAuth*>(self)->drive_(dialog); }
    static void Type(HWND dialog, int id, const WCHAR* text) {
        NvxUi_Type(GetDlgItem(dialog, id), text, NVXUI_TYPE_REPLACE);
    }
    std::vector<BYTE> Stored(const WCHAR* subkey, const WCHAR* name) const {
        nvx::model::RegKey key;
        std::vector<BYTE> data;
        if (nvx::model::OpenUserKey(printer_, &key, subkey) == ERROR_SUCCESS)
            nvx::model::ValueStore::OfKey(key.get()).ReadAll(name, &data);
        return data;
    }
    nvx::WString UserName() const {
        return nvx::WString(reinterpret_cast<const WCHAR*>(record_.data() + 7554));
    }

    std::vector<BYTE> record_;
    std::vector<BYTE> devOption_ = std::vector<BYTE>(6676, 0);
    HANDLE printerHandle_ = nullptr;
    void* block_[4] = {};
    std::function<void(HWND)> drive_;
};

TEST_F(UserAuth, OkStoresTheNamedUserWithTheEncipheredPasswordOnly) {
    bool passwordShown = true, fieldsEnabledAtStart = true;
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run([&](HWND dlg) {
                  fieldsEnabledAtStart = IsWindowEnabled(GetDlgItem(dlg, 1874)) != FALSE;
                  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, 2177)));  // Verify (middle_server_test)
                  NvxUi_Click(GetDlgItem(dlg, 1872));
                  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, 2028)));
                  Type(dlg, 1874, WL("alice"));
                  Type(dlg, 2028, WL("Sesame-9"));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_FALSE(fieldsEnabledAtStart) << "a public user has no name or password";
    EXPECT_EQ(2, record_[7552]);
    EXPECT_EQ("alice", nvx::Utf8FromW(UserName().c_str()));
    const uint16_t length = nvx::GetLE16(record_.data() + 7878);
    EXPECT_EQ(16, length);
    EXPECT_EQ("Sesame-9", kSample.DecipherText(std::span<const BYTE>(record_.data() + 7716, length)).value_or(""));
    EXPECT_FALSE(Holds(record_.data(), record_.size(), "Sesame-9"));
    const std::vector<BYTE> pass = Stored(WL("Authentication"), WL("UserPass"));
    EXPECT_EQ(std::vector<BYTE>(record_.begin() + 7716, record_.begin() + 7716 + 16), pass);
    EXPECT_FALSE(Holds(pass.data(), pass.size(), "Sesame-9"));

    // Opened again: the name is shown, the password is not; OK without typing one keeps it.
    std::string shownName, shownPassword = "x";
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run([&](HWND dlg) {
                  shownName = TextOf(GetDlgItem(dlg, 1874));
                  shownPassword = TextOf(GetDlgItem(dlg, 2028));
                  passwordShown = !shownPassword.empty();
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("alice", shownName);
    EXPECT_FALSE(passwordShown);
    EXPECT_EQ(16, nvx::GetLE16(record_.data() + 7878));
    char out[8192] = {};
    NvxPlatform_GetDebugOutput(out, sizeof out);
    EXPECT_EQ(std::string::npos, std::string(out).find("Sesame-9"));
}

TEST_F(UserAuth, CancelAndARefusedPasswordLeaveTheRecordAndStoreAsTheyWere) {
    record_[7552] = 1;
    const std::vector<BYTE> before = record_;
    EXPECT_EQ(static_cast<UINT_PTR>(IDCANCEL), Run([&](HWND dlg) {
                  NvxUi_Click(GetDlgItem(dlg, 1872));
                  Type(dlg, 1874, WL("bob"));
                  Type(dlg, 2028, WL("secret"));
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    EXPECT_EQ(before, record_);
    EXPECT_TRUE(Stored(WL("Authentication"), WL("UserName")).empty());
    // A password code page 1252 cannot hold: a message, the dialog stays, nothing changes.
    int boxesBefore = MessageBoxCount();
    bool stillOpen = false;
    EXPECT_EQ(static_cast<UINT_PTR>(IDCANCEL), Run([&](HWND dlg) {
                  NvxUi_Click(GetDlgItem(dlg, 1872));
                  Type(dlg, 1874, WL("bob"));
                  Type(dlg, 2028, WL("\u0416\u0416"));
                  NvxUi_PressButton(dlg, IDOK);
                  stillOpen = IsWindow(dlg) != FALSE;
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(boxesBefore + 1, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("code page 1252"));
    EXPECT_EQ(before, record_);
}

TEST_F(UserAuth, TheNameTakes80CharactersAndTheFieldsTheirLimits) {
    const nvx::WString name(81, u'n');
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run([&](HWND dlg) {
                  NvxUi_Click(GetDlgItem(dlg, 1872));
                  Type(dlg, 1874, name.c_str());  // the 81st character cannot be typed
                  Type(dlg, 2028, nvx::WString(65, u'p').c_str());
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ(nvx::WString(80, u'n'), UserName());
    EXPECT_EQ(
        std::string(64, 'p'),
        kSample.DecipherText(std::span<const BYTE>(record_.data() + 7716, nvx::GetLE16(record_.data() + 7878)))
            .value_or(""));
}

TEST_F(UserAuth, ABlockWithoutARecordIsNotShownAndTheSecurityDialogNeverIs) {
    void* noRecord[4] = {&printerHandle_, nullptr, nullptr, nullptr};
    bool shown = false;
    EXPECT_EQ(5u, Run([&](HWND dlg) {
                  shown = true;
                  NvxUi_PressButton(dlg, IDCANCEL);
              }, noRecord));
    EXPECT_FALSE(shown);
    auto popup = nvx::ProcAs<UINT_PTR (*)(UINT_PTR)>(Export("Popup_UserAuthenticDlg"));
    EXPECT_EQ(5u, popup(0));
    auto security = nvx::ProcAs<UINT_PTR (*)(UINT_PTR)>(Export("Popup_UserSettingSecurityDlg"));
    for (UINT_PTR context : {UINT_PTR{0}, UINT_PTR{1}, static_cast<UINT_PTR>(-1)}) EXPECT_EQ(5u, security(context));
}

// The user settings dialog (224: the sample model's user settings are of kind 2,
// with the type-2 configuration).
class UserSetting : public UserAuth {
protected:
    UINT_PTR RunSetting(std::function<void(HWND)> drive, UINT_PTR* block = nullptr) {
        drive_ = std::move(drive);
        NvxUi_SetModalDriver(DriveThunk, static_cast<UserAuth*>(this));
        auto popup = nvx::ProcAs<UINT_PTR (*)(UINT_PTR*)>(Export("Popup_UserSettingDlgT2"));
        return popup(block ? block : reinterpret_cast<UINT_PTR*>(block_));
    }
    nvx::WString At(size_t offset) const {
        return nvx::WString(reinterpret_cast<const WCHAR*>(record_.data() + offset));
    }
};

TEST_F(UserSetting, OkStoresIdBoxAndTheEncipheredSecurePrintPassword) {
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), RunSetting([&](HWND dlg) {
                  Type(dlg, 1424, WL("4711"));
                  Type(dlg, 2027, WL("Kr6-Qz"));
                  Type(dlg, 1421, WL("minutes"));
                  Type(dlg, 1419, WL("12"));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ(nvx::WString(WL("4711")), At(770));
    EXPECT_EQ(nvx::WString(WL("minutes")), At(968));
    EXPECT_EQ(nvx::WString(WL("12")), At(1030));
    const uint16_t length = nvx::GetLE16(record_.data() + 966);
    EXPECT_EQ(16, length);
    EXPECT_EQ("Kr6-Qz", kSample.DecipherText(std::span<const BYTE>(record_.data() + 804, length)).value_or(""));
    EXPECT_FALSE(Holds(record_.data(), record_.size(), "Kr6-Qz"));
    const std::vector<BYTE> pass = Stored(WL("SecurePrint"), WL("Pass"));
    EXPECT_EQ(16u, pass.size());
    EXPECT_FALSE(Holds(pass.data(), pass.size(), "Kr6-Qz"));
    // Opened again: the ID and box are shown, the password is not, and stays.
    std::string id, password = "x";
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), RunSetting([&](HWND dlg) {
                  id = TextOf(GetDlgItem(dlg, 1424));
                  password = TextOf(GetDlgItem(dlg, 2027));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("4711", id);
    EXPECT_EQ("", password);
    EXPECT_EQ(16, nvx::GetLE16(record_.data() + 966));
}

// A sheet that never received the stored settings (a fresh one) must not
// overwrite the stored passwords, name and box fields with its empty ones.
TEST_F(UserSetting, AFreshSheetKeepsTheStoredPasswordWhenOnlyTheBoxChanges) {
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), RunSetting([&](HWND dlg) {
                  Type(dlg, 1424, WL("4711"));
                  Type(dlg, 2027, WL("Kr6-Qz"));
                  Type(dlg, 1421, WL("minutes"));
                  Type(dlg, 1419, WL("12"));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    const std::vector<BYTE> pass = Stored(WL("SecurePrint"), WL("Pass"));
    ASSERT_EQ(16u, pass.size());

    record_.assign(sizeof(OEMDEV), 0);  // another sheet, fresh
    std::string id, box;
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), RunSetting([&](HWND dlg) {
                  id = TextOf(GetDlgItem(dlg, 1424));
                  box = TextOf(GetDlgItem(dlg, 1421));
                  Type(dlg, 1419, WL("34"));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("4711", id);
    EXPECT_EQ("minutes", box);
    EXPECT_EQ(pass, Stored(WL("SecurePrint"), WL("Pass")));
    EXPECT_EQ(nvx::WString(WL("4711")), At(770));
    EXPECT_EQ(nvx::WString(WL("34")), At(1030));
    const uint16_t length = nvx::GetLE16(record_.data() + 966);
    ASSERT_EQ(16, length);
    EXPECT_EQ("Kr6-Qz", kSample.DecipherText(std::span<const BYTE>(record_.data() + 804, length)).value_or(""));
}

TEST_F(UserAuth, AFreshSheetKeepsTheStoredUserAndPassword) {
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run([&](HWND dlg) {
                  NvxUi_Click(GetDlgItem(dlg, 1872));
                  Type(dlg, 1874, WL("alice"));
                  Type(dlg, 2028, WL("Sesame-9"));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    const std::vector<BYTE> pass = Stored(WL("Authentication"), WL("UserPass"));
    ASSERT_EQ(16u, pass.size());

    record_.assign(sizeof(OEMDEV), 0);
    std::string shown;
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), Run([&](HWND dlg) {
                  shown = TextOf(GetDlgItem(dlg, 1874));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("alice", shown);
    EXPECT_EQ(pass, Stored(WL("Authentication"), WL("UserPass")));
    EXPECT_EQ(2, record_[7552]);
    EXPECT_EQ(16, nvx::GetLE16(record_.data() + 7878));
}

TEST_F(UserSetting, LimitsCancelAndARefusedPassword) {
    const std::vector<BYTE> before = record_;
    EXPECT_EQ(static_cast<UINT_PTR>(IDCANCEL), RunSetting([&](HWND dlg) {
                  Type(dlg, 1424, WL("1"));
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    EXPECT_EQ(before, record_);
    bool stillOpen = false;
    EXPECT_EQ(static_cast<UINT_PTR>(IDCANCEL), RunSetting([&](HWND dlg) {
                  Type(dlg, 2027, WL("\u65e5"));
                  NvxUi_PressButton(dlg, IDOK);
                  stillOpen = IsWindow(dlg) != FALSE;
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(before, record_);
    // Each field takes its limit and no more: 16, 145, 30, 16.
    EXPECT_EQ(static_cast<UINT_PTR>(IDOK), RunSetting([&](HWND dlg) {
                  Type(dlg, 1424, nvx::WString(17, u'1').c_str());
                  Type(dlg, 2027, nvx::WString(146, u'p').c_str());
                  Type(dlg, 1421, nvx::WString(31, u'f').c_str());
                  Type(dlg, 1419, nvx::WString(17, u'9').c_str());
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ(nvx::WString(16, u'1'), At(770));
    EXPECT_EQ(nvx::WString(30, u'f'), At(968));
    EXPECT_EQ(nvx::WString(16, u'9'), At(1030));
    EXPECT_EQ(std::string(145, 'p'),
              kSample.DecipherText(std::span<const BYTE>(record_.data() + 804, nvx::GetLE16(record_.data() + 966)))
                  .value_or(""));
    // No record: not shown.
    void* noRecord[4] = {&printerHandle_, nullptr, nullptr, nullptr};
    EXPECT_EQ(5u, RunSetting([](HWND dlg) { NvxUi_PressButton(dlg, IDCANCEL); },
                             reinterpret_cast<UINT_PTR*>(noRecord)));
}

// The Basic tab's buttons open the two dialogs on the sheet's own record.
TEST_F(UserSetting, TheBasicTabsButtonsOpenTheDialogsOnTheSheetsRecord) {
    constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    drive_ = [](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, 1872));
        Type(dlg, 1874, WL("dora"));
        Type(dlg, 2028, WL("Sesame-9"));
        NvxUi_PressButton(dlg, IDOK);
    };
    NvxUi_SetModalDriver(DriveThunk, static_cast<UserAuth*>(this));
    sheet_.ClearChangedMark();
    ASSERT_TRUE(NvxUi_Click(Control(2170)));
    EXPECT_EQ(1u, sheet_.ChangedMark()) << "the sheet learns of the change";
    const BYTE* record = sheet_.Record();
    EXPECT_EQ(2, record[7552]);
    EXPECT_EQ("dora", Utf8(reinterpret_cast<const WCHAR*>(record + 7554)));
    EXPECT_EQ(16, nvx::GetLE16(record + 7878));
    EXPECT_FALSE(Holds(record, sizeof(OEMDEV), "Sesame-9"));
    // Cancel changes nothing and tells the sheet nothing.
    drive_ = [](HWND dlg) { NvxUi_PressButton(dlg, IDCANCEL); };
    sheet_.ClearChangedMark();
    ASSERT_TRUE(NvxUi_Click(Control(2170)));
    EXPECT_EQ(0u, sheet_.ChangedMark());
    // The user settings button.
    drive_ = [](HWND dlg) {
        Type(dlg, 1424, WL("0815"));
        NvxUi_PressButton(dlg, IDOK);
    };
    ASSERT_TRUE(NvxUi_Click(Control(1285)));
    EXPECT_EQ("0815", Utf8(reinterpret_cast<const WCHAR*>(sheet_.Record() + 770)));
    EXPECT_EQ(1u, sheet_.ChangedMark());
}

}  // namespace
