// The type-1 user settings dialog (225): its entries applied to the settings
// record as that variant carries it (no secure-print ID or box fields in the
// record; they live in the user's store), every refusal leaving everything as it
// was, the job retention list, and the dialog itself opened by the Basic tab's
// User Settings button with the variant switched on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/le.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "features/option_record.h"
#include "model/stores.h"
#include "pages/page_fixture.h"
#include "pages/user_setting_t1.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"

namespace {

using nvx::device::CipherMode;
using nvx::device::PasswordCipher;
using nvx::device::PasswordResult;
using nvx::pages::ApplyUserSettingT1Input;
using nvx::pages::UserSettingT1Field;
using nvx::pages::UserSettingT1Input;

const PasswordCipher kSample({CipherMode::Aes, 3, 57, std::nullopt});

bool Holds(const void* data, size_t size, const std::string& text) {
    const auto* b = static_cast<const char*>(data);
    return std::search(b, b + size, text.begin(), text.end()) != b + size;
}

std::string TextAt(const BYTE* at) { return nvx::Utf8FromW(reinterpret_cast<const WCHAR*>(at)); }
std::string Field(const WCHAR* field) { return nvx::Utf8FromW(field); }

std::string Deciphered(const BYTE* record, size_t at, size_t lengthAt) {
    return kSample.DecipherText(std::span<const BYTE>(record + at, nvx::GetLE16(record + lengthAt))).value_or("?");
}

UserSettingT1Input Full() {
    UserSettingT1Input in;
    in.publicUser = false;
    in.userName = WL("alice");
    in.passwordTyped = true;
    in.password = WL("Sesame-91");
    in.department = WL("SALES");
    in.departmentPasswordTyped = true;
    in.departmentPassword = WL("Dept-4711");
    in.securePrintId = WL("0815");
    in.securePrintPasswordTyped = true;
    in.securePrintPassword = WL("Kr6-Qz");
    in.boxFileName = WL("minutes");
    in.boxNumber = WL("12");
    in.outputMethod = 2;
    return in;
}

TEST(UserSettingT1Logic, OkPutsEveryEntryInItsPlaceAndKeepsIdAndBoxOutOfTheRecord) {
    auto dev = std::make_unique<OEMDEV>();
    std::memset(dev->bytes, 0xEE, sizeof dev->bytes);
    nvx::device::UserSettingsRecord storeOnly{};
    const auto r = ApplyUserSettingT1Input(kSample, Full(), dev.get(), &storeOnly);
    ASSERT_EQ(PasswordResult::Stored, r.result);
    const BYTE* b = dev->bytes;
    EXPECT_EQ(2, b[7552]);
    EXPECT_EQ("alice", TextAt(b + 7554));
    EXPECT_EQ("Sesame-91", Deciphered(b, 7716, 7878));
    EXPECT_EQ("SALES", TextAt(b + 7880));
    EXPECT_EQ("Dept-4711", Deciphered(b, 7906, 8068));
    EXPECT_EQ("Kr6-Qz", Deciphered(b, 804, 966));
    EXPECT_EQ(2, b[635]) << "the job retention is the output method";
    // The type-1 variant's record holds no secure-print ID and no box fields.
    for (size_t at : {size_t{770}, size_t{968}, size_t{1030}}) EXPECT_EQ(0xEE, b[at]) << at;
    EXPECT_EQ("0815", Field(storeOnly.securePrintId));
    EXPECT_EQ("minutes", Field(storeOnly.boxFileName));
    EXPECT_EQ("12", Field(storeOnly.boxNumber));
    for (const char* secret : {"Sesame-91", "Dept-4711", "Kr6-Qz"}) EXPECT_FALSE(Holds(b, sizeof dev->bytes, secret));

    // Untyped passwords stay as stored; no retention chosen keeps the output method;
    // the public user.
    UserSettingT1Input again;
    again.userName = WL("alice");
    ASSERT_EQ(PasswordResult::Stored, ApplyUserSettingT1Input(kSample, again, dev.get(), &storeOnly).result);
    EXPECT_EQ(1, dev->bytes[7552]);
    EXPECT_EQ("Sesame-91", Deciphered(dev->bytes, 7716, 7878));
    EXPECT_EQ("Kr6-Qz", Deciphered(dev->bytes, 804, 966));
    EXPECT_EQ(2, dev->bytes[635]);
    EXPECT_EQ("", TextAt(dev->bytes + 7880)) << "an emptied department name is stored empty";
}

// Each refusal names its entry and leaves the record and the store-only fields as
// they were, also when an earlier password of the same input was good.
TEST(UserSettingT1Logic, EveryRefusalLeavesEverythingAsItWas) {
    struct Case {
        const char* what;
        std::function<void(UserSettingT1Input&)> spoil;
        PasswordResult result;
        UserSettingT1Field field;
    };
    const std::vector<Case> cases = {
        {"81-character user name", [](auto& in) { in.userName.assign(81, u'u'); }, PasswordResult::TooLong,
         UserSettingT1Field::UserName},
        {"13-character department", [](auto& in) { in.department.assign(13, u'D'); }, PasswordResult::TooLong,
         UserSettingT1Field::Department},
        {"17-character ID", [](auto& in) { in.securePrintId.assign(17, u'1'); }, PasswordResult::TooLong,
         UserSettingT1Field::SecurePrintId},
        {"31-character box name", [](auto& in) { in.boxFileName.assign(31, u'f'); }, PasswordResult::TooLong,
         UserSettingT1Field::BoxFileName},
        {"NUL in the box number", [](auto& in) { in.boxNumber = nvx::WString(WL("1")) + WCHAR{0} + WL("2"); },
         PasswordResult::NulInside, UserSettingT1Field::BoxNumber},
        {"65-character password", [](auto& in) { in.password.assign(65, u'p'); }, PasswordResult::TooLong,
         UserSettingT1Field::Password},
        {"department password outside code page 1252", [](auto& in) { in.departmentPassword = WL("\u65e5"); },
         PasswordResult::NotCodePage1252, UserSettingT1Field::DepartmentPassword},
        {"146-character secure print password", [](auto& in) { in.securePrintPassword.assign(146, u's'); },
         PasswordResult::TooLong, UserSettingT1Field::SecurePrintPassword},
    };
    for (const Case& c : cases) {
        auto dev = std::make_unique<OEMDEV>();
        std::memset(dev->bytes, 0x5A, sizeof dev->bytes);
        const auto before = std::make_unique<OEMDEV>(*dev);
        nvx::device::UserSettingsRecord storeOnly{};
        storeOnly.boxNumber[0] = u'7';
        UserSettingT1Input in = Full();
        c.spoil(in);
        const auto r = ApplyUserSettingT1Input(kSample, in, dev.get(), &storeOnly);
        EXPECT_EQ(c.result, r.result) << c.what;
        EXPECT_EQ(c.field, r.field) << c.what;
        EXPECT_EQ(0, std::memcmp(before->bytes, dev->bytes, sizeof dev->bytes)) << c.what;
        EXPECT_EQ("7", Field(storeOnly.boxNumber)) << c.what;
        EXPECT_NE(std::string::npos, nvx::pages::UserSettingT1RefusalText(r).find("not stored")) << c.what;
    }
    // The limits themselves are taken.
    auto dev = std::make_unique<OEMDEV>();
    std::memset(dev->bytes, 0, sizeof dev->bytes);
    nvx::device::UserSettingsRecord storeOnly{};
    UserSettingT1Input in = Full();
    in.userName.assign(80, u'u');
    in.department.assign(12, u'D');
    in.securePrintId.assign(16, u'1');
    in.boxFileName.assign(30, u'f');
    in.boxNumber.assign(16, u'9');
    in.password.assign(64, u'p');
    in.securePrintPassword.assign(145, u's');
    ASSERT_EQ(PasswordResult::Stored, ApplyUserSettingT1Input(kSample, in, dev.get(), &storeOnly).result);
    EXPECT_EQ(std::string(80, 'u'), TextAt(dev->bytes + 7554));
    EXPECT_EQ(std::string(12, 'D'), TextAt(dev->bytes + 7880));
    EXPECT_EQ(std::string(145, 's'), Deciphered(dev->bytes, 804, 966));
    EXPECT_EQ(std::string(30, 'f'), Field(storeOnly.boxFileName));
    EXPECT_EQ(std::string(16, '9'), Field(storeOnly.boxNumber));
    EXPECT_EQ("the user name takes at most 80 characters",
              nvx::pages::UserSettingT1RefusalText({PasswordResult::TooLong, UserSettingT1Field::UserName})
                  .substr(30, 41));
}

TEST(UserSettingT1Logic, RetentionChoicesAndTheSelection) {
    nvx::features::OptionListBuilder b;
    for (auto [key, value] : {std::pair{"Print", 0}, std::pair{"Huge", 300}, std::pair{"Box", 2},
                              std::pair{"Negative", -1}, std::pair{"Proof", 3}}) {
        uint8_t* rec = b.Add(nvx::features::kSizeNamed, key, value);
        nvx::features::WriteDisplayName(rec, nvx::WFromUtf8(std::string(key) + " name"));
    }
    const std::vector<uint8_t> list = b.Finish();
    const auto choices = nvx::pages::RetentionChoices(list.data());
    ASSERT_EQ(3u, choices.size()) << "a value the one-byte output method cannot hold is left out, not cut";
    EXPECT_EQ("Print name", nvx::Utf8FromW(choices[0].name.c_str()));
    EXPECT_EQ(2, choices[1].value);
    EXPECT_EQ(3, choices[2].value);
    EXPECT_TRUE(nvx::pages::RetentionChoices(nullptr).empty());
    using nvx::pages::RetentionSelection;
    EXPECT_EQ(2, RetentionSelection(choices, 3, 2));
    EXPECT_EQ(1, RetentionSelection(choices, 9, 2)) << "an unknown output method shows the list's default";
    EXPECT_EQ(0, RetentionSelection(choices, 9, std::nullopt));
    EXPECT_EQ(0, RetentionSelection(choices, 9, 300)) << "a default that was left out";
    EXPECT_EQ(-1, RetentionSelection({}, 0, 0));
}

// The dialog through the Basic tab with the type-1 variant switched on.
class UserSettingT1Dialog : public pagetest::PageHost {
protected:
    void SetUp() override {
        setenv("NOVRIX_VARIANTS", "_DLG_USRSET_TYPE1=1,_DLG_USRSET_TYPE2=0", 1);
        PageHost::SetUp();
        AnswerMessageBoxes(IDOK);
        ASSERT_NE(nullptr, OpenSheet({{100, "Prc_DocPaper1Proc"}}));
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        PageHost::TearDown();
        unsetenv("NOVRIX_VARIANTS");
    }
    // Presses User Settings with the dialog driven by `drive`.
    void Press(std::function<void(HWND)> drive) {
        drive_ = std::move(drive);
        NvxUi_SetModalDriver([](void* self, HWND dialog) { static_cast<UserSettingT1Dialog*>(self)->drive_(dialog); },
                             this);
        ASSERT_TRUE(IsWindowVisible(Control(1285)));
        ASSERT_TRUE(NvxUi_Click(Control(1285)));
    }
    static void Type(HWND dlg, int id, const char* text) {
        NvxUi_Type(GetDlgItem(dlg, id), nvx::WFromUtf8(text).c_str(), NVXUI_TYPE_REPLACE);
    }
    std::string Stored(const WCHAR* subkey, const WCHAR* name) const {
        nvx::model::RegKey key;
        std::vector<BYTE> data;
        if (nvx::model::OpenUserKey(printer_, &key, subkey) == ERROR_SUCCESS)
            nvx::model::ValueStore::OfKey(key.get()).ReadAll(name, &data);
        return std::string(data.begin(), data.end());
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (int i = 0; i < NvxUi_LogCount(); ++i) {
            NvxUiLogEntry e;
            if (NvxUi_GetLogEntry(i, &e) && e.kind == NVXUI_LOG_MESSAGEBOX) texts.push_back(Utf8(e.text));
        }
        return texts;
    }
    std::function<void(HWND)> drive_;
};

TEST_F(UserSettingT1Dialog, TheBasicTabOpensTheType1DialogAndOkStoresItsEntries) {
    NvxPlatform_ClearDebugOutput();
    std::vector<std::string> retention;
    std::string caption;
    Press([&](HWND dlg) {
        WCHAR text[128] = {};
        GetWindowTextW(dlg, text, 128);
        caption = Utf8(text);
        EXPECT_NE(nullptr, GetDlgItem(dlg, 1874)) << "the type-1 dialog, not the type-2 one";
        HWND combo = GetDlgItem(dlg, 1425);
        EXPECT_TRUE(IsWindowVisible(combo));
        const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            WCHAR item[64] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            retention.push_back(Utf8(item));
        }
        NvxUi_Click(GetDlgItem(dlg, 1872));
        Type(dlg, 1874, "alice");
        Type(dlg, 2028, "Sesame-91");
        Type(dlg, 1870, "SALES");
        Type(dlg, 2029, "Dept-4711");
        Type(dlg, 1424, "0815");
        Type(dlg, 2027, "Kr6-Qz");
        Type(dlg, 1421, "minutes");
        Type(dlg, 1419, "12");
        SendMessageW(combo, CB_SETCURSEL, 2, 0);
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ("User Settings", caption) << "the type-1 text table's caption";
    EXPECT_EQ((std::vector<std::string>{"Print Only", "Hold as Secure Print", "Keep in User Box",
                                        "Proof Copy, Hold the Rest"}),
              retention);
    const BYTE* record = sheet_.Record();
    EXPECT_EQ(2, record[7552]);
    EXPECT_EQ("alice", TextAt(record + 7554));
    EXPECT_EQ("SALES", TextAt(record + 7880));
    EXPECT_EQ(2, record[635]);
    EXPECT_EQ("", TextAt(record + 770)) << "the ID stays out of the record";
    EXPECT_EQ("", TextAt(record + 968));
    // The store holds the ID and box (UTF-16 text), and only enciphered passwords.
    EXPECT_NE(std::string::npos, Stored(WL("SecurePrint"), WL("ID")).find(std::string("0\0" "8\0" "1\0" "5\0", 8)));
    EXPECT_FALSE(Stored(WL("BoxFileName"), WL("BoxFileNameValue")).empty());
    EXPECT_EQ(16u, Stored(WL("SecurePrint"), WL("Pass")).size());
    EXPECT_EQ(16u, Stored(WL("AccountTrack"), WL("DepartmentPass")).size());
    for (const char* secret : {"Sesame-91", "Dept-4711", "Kr6-Qz"}) {
        EXPECT_FALSE(Holds(record, sizeof(OEMDEV), secret)) << secret;
        for (auto [sub, name] : {std::pair{WL("Authentication"), WL("UserPass")},
                                 std::pair{WL("AccountTrack"), WL("DepartmentPass")},
                                 std::pair{WL("SecurePrint"), WL("Pass")}}) {
            const std::string v = Stored(sub, name);
            EXPECT_FALSE(Holds(v.data(), v.size(), secret)) << secret;
        }
    }
    // Opened again: the ID and box come back from the store, no password is shown,
    // the retention shows the record's output method; OK keeps the passwords.
    std::string id, box, shownPasswords = "x";
    LRESULT selected = -1;
    Press([&](HWND dlg) {
        id = TextOf(GetDlgItem(dlg, 1424));
        box = TextOf(GetDlgItem(dlg, 1419));
        shownPasswords = TextOf(GetDlgItem(dlg, 2028)) + TextOf(GetDlgItem(dlg, 2029)) + TextOf(GetDlgItem(dlg, 2027));
        selected = SendDlgItemMessageW(dlg, 1425, CB_GETCURSEL, 0, 0);
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ("0815", id);
    EXPECT_EQ("12", box);
    EXPECT_EQ("", shownPasswords);
    EXPECT_EQ(2, selected);
    EXPECT_EQ(16, nvx::GetLE16(sheet_.Record() + 7878));
    std::vector<char> out(1 << 16);
    NvxPlatform_GetDebugOutput(out.data(), static_cast<DWORD>(out.size()));
    for (const char* secret : {"Sesame-91", "Dept-4711", "Kr6-Qz"})
        EXPECT_EQ(std::string::npos, std::string(out.data()).find(secret));
}

TEST_F(UserSettingT1Dialog, ARefusalKeepsTheDialogOpenAndCancelChangesNothing) {
    const std::vector<BYTE> before(sheet_.Record(), sheet_.Record() + sizeof(OEMDEV));
    NvxUi_ClearLog();
    Press([](HWND dlg) {
        Type(dlg, 1870, "SALES");
        NvxUi_Type(GetDlgItem(dlg, 2029), nvx::WFromUtf8("\xCE\xB1\xCE\xB2").c_str(), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDOK);
        EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_NE(std::string::npos, Boxes()[0].find("code page 1252"));
    EXPECT_EQ(before, std::vector<BYTE>(sheet_.Record(), sheet_.Record() + sizeof(OEMDEV)));
    EXPECT_TRUE(Stored(WL("AccountTrack"), WL("DepartmentName")).empty());
}

TEST_F(UserSettingT1Dialog, VerifyAsksForWhatIsMissingThenForTheDevice) {
    NvxUi_ClearLog();
    Press([](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, 1872));
        NvxUi_PressButton(dlg, 2177);  // no name
        Type(dlg, 1874, "alice");
        Type(dlg, 2028, "Sesame-91");
        Type(dlg, 1870, "SALES");
        NvxUi_PressButton(dlg, 2177);  // a department without its password
        Type(dlg, 2029, "Dept-4711");
        NvxUi_PressButton(dlg, 2177);  // this printer's device does not answer
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ("Enter the user name.", boxes[0]);
    EXPECT_EQ("Enter the department password.", boxes[1]);
    EXPECT_EQ("The user name and password could not be verified. Check that the device is on and connected.",
              boxes[2]);
    EXPECT_EQ(0, sheet_.Record()[7552]) << "Verify changes nothing; Cancel kept it so";
}

}  // namespace
