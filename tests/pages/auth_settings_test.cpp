// The initial page's Settings buttons: the user authentication (158) and account
// track (160) settings dialogs on the sheet's record, OK / Cancel / a refused
// entry, Verify's required entries and its answer when the device cannot be
// reached, and no typed password kept in clear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/le.h"
#include "pages/page_fixture.h"
#include "platform/host.h"
#include "platform/ui_host.h"

namespace {

using pagetest::PageHost;

constexpr pagetest::PageDef kInitial{161, "Prc_DocInitializeProc"};

class AuthSettings : public PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        AnswerMessageBoxes(IDOK);
        ASSERT_NE(nullptr, OpenSheet({kInitial}));
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        PageHost::TearDown();
    }
    // Clicks a Settings button with the dialog driven by `drive`; answers the dialog's caption.
    std::string Press(int button, std::function<void(HWND)> drive) {
        drive_ = std::move(drive);
        opened_.clear();
        NvxUi_SetModalDriver(
            [](void* self, HWND dialog) {
                auto* t = static_cast<AuthSettings*>(self);
                WCHAR caption[128] = {};
                GetWindowTextW(dialog, caption, 128);
                t->opened_ = nvx::Utf8FromW(caption);
                t->drive_(dialog);
            },
            this);
        EXPECT_TRUE(IsWindowVisible(Control(button)));
        NvxUi_Click(Control(button));
        return opened_;
    }
    static void Type(HWND dlg, int id, const char* text) {
        NvxUi_Type(GetDlgItem(dlg, id), nvx::WFromUtf8(text).c_str(), NVXUI_TYPE_REPLACE);
    }
    std::string RecordText(size_t at) {
        return nvx::Utf8FromW(reinterpret_cast<const WCHAR*>(sheet_.Record() + at));
    }
    bool RecordHolds(const std::string& text) {
        const BYTE* r = sheet_.Record();
        return std::search(r, r + 8344, text.begin(), text.end()) != r + 8344;
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
    std::string opened_;
};

TEST_F(AuthSettings, UserSettingsOkStoresTheNamedUserAndCancelChangesNothing) {
    EXPECT_EQ("User Authentication Settings", Press(1867, [](HWND dlg) {
                  NvxUi_Click(GetDlgItem(dlg, 1872));
                  Type(dlg, 1874, "alice");
                  Type(dlg, 2028, "Sesame-91");
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ(2, sheet_.Record()[7552]);
    EXPECT_EQ("alice", RecordText(7554));
    EXPECT_EQ(16, nvx::GetLE16(sheet_.Record() + 7878));
    EXPECT_FALSE(RecordHolds("Sesame-91"));
    const std::vector<BYTE> before(sheet_.Record(), sheet_.Record() + 8344);
    Press(1867, [](HWND dlg) {
        // The stored password is not shown; the name is.
        WCHAR text[100] = {};
        GetDlgItemTextW(dlg, 2028, text, 100);
        EXPECT_EQ(0, text[0]);
        GetDlgItemTextW(dlg, 1874, text, 100);
        EXPECT_EQ("alice", nvx::Utf8FromW(text));
        Type(dlg, 1874, "bob");
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(before, std::vector<BYTE>(sheet_.Record(), sheet_.Record() + 8344));
}

TEST_F(AuthSettings, AccountSettingsKeepTheDepartmentAndRefuseWhatDoesNotFit) {
    EXPECT_EQ("Account Track Settings", Press(1220, [](HWND dlg) {
                  Type(dlg, 1870, "SALES-NORTH-12");  // 14 characters: the field takes 12
                  Type(dlg, 2029, "9876");
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("SALES-NORTH-", RecordText(7880));
    EXPECT_EQ(16, nvx::GetLE16(sheet_.Record() + 8068));
    EXPECT_FALSE(RecordHolds("9876"));
    // A password outside code page 1252: refused with the reason, the dialog stays, nothing changes.
    const std::vector<BYTE> before(sheet_.Record(), sheet_.Record() + 8344);
    NvxUi_ClearLog();
    Press(1220, [](HWND dlg) {
        Type(dlg, 1870, "OTHER");
        NvxUi_Type(GetDlgItem(dlg, 2029), nvx::WFromUtf8("\xCE\xB1\xCE\xB2").c_str(), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, IDOK);
        EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_NE(std::string::npos, Boxes()[0].find("code page 1252"));
    EXPECT_EQ(before, std::vector<BYTE>(sheet_.Record(), sheet_.Record() + 8344));
}

TEST_F(AuthSettings, VerifyAsksForWhatIsMissingThenSaysWhenTheDeviceCannotBeAsked) {
    NvxUi_ClearLog();
    NvxPlatform_ClearDebugOutput();
    Press(1867, [](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, 1872));
        NvxUi_PressButton(dlg, 2177);  // no name
        Type(dlg, 1874, "alice");
        NvxUi_PressButton(dlg, 2177);  // no password
        Type(dlg, 2028, "Sesame-91");
        NvxUi_PressButton(dlg, 2177);  // this printer's device does not answer
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ("Enter the user name.", boxes[0]);
    EXPECT_EQ("Enter the password.", boxes[1]);
    EXPECT_EQ("The user name and password could not be verified. Check that the device is on and connected.",
              boxes[2]);
    EXPECT_EQ(0, sheet_.Record()[7552]) << "Verify changes nothing; Cancel kept it so";
    Press(1220, [](HWND dlg) {
        NvxUi_PressButton(dlg, 2177);
        Type(dlg, 1870, "SALES");
        NvxUi_PressButton(dlg, 2177);
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ("Enter the department name.", Boxes()[3]);
    EXPECT_EQ("Enter the department password.", Boxes()[4]);
    std::vector<char> out(1 << 16);
    NvxPlatform_GetDebugOutput(out.data(), static_cast<DWORD>(out.size()));
    EXPECT_EQ(std::string::npos, std::string(out.data()).find("Sesame-91"));
}

}  // namespace
