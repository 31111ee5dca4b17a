// The middle server against the simulated device on the loopback: the setting
// renewed at job start only when the device's update count moves (and tried
// again after a failed renewal), the login through the middle server with each of
// its refusals, the middle server authentication pop-up (Verify, OK, Cancel), and
// the verification messages.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/proc.h"
#include "device/auth_apply.h"
#include "device/middle_server.h"
#include "features/feature_settings.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "device_server.h"
#include "model/stores.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "vpdc.h"

namespace {

using namespace nvx::device;
using U = UINT_PTR;

constexpr const char* kDevice = "192.0.2.79";
constexpr const WCHAR* kName = WL("Middle Office");
constexpr const char* kPassword = "mid-secret-42";

const PasswordCipher& SampleCipher() {
    static const PasswordCipher cipher({CipherMode::Aes, 3, 57, std::nullopt});
    return cipher;
}

// A device that authenticates through middle server number 2.
std::string Profile(int updateCount, const std::string& serverState = "up",
                    const std::string& type = "MiddleServer") {
    return R"({"configuration": {"port": 50003, "flag": 1, "generation": 1},
  "capability": {"authenticationType": ")" + type + R"(", "accountTrackType": "None", "publicUser": 0,
                 "updateCount": )" + std::to_string(updateCount) + R"(},
  "users": [{"name": "devuser", "password": "devpass"}],
  "middleServer": {"number": 2, "state": ")" + serverState + R"(", "publicUser": 1,
                   "users": [{"name": "carol", "password": ")" + kPassword + R"("},
                             {"name": "dave", "password": "x", "enabled": 0}]},
  "blocks": {"middleServer": {"serverNumber": 2, "serverName": "auth-)" + std::to_string(updateCount) +
           R"(.example.test"}},
  "behaviour": {"log": "LOG"}})";
}

class MiddleServer : public PlatformTest {
protected:
    // The sample model with middle server support (unless the test says otherwise).
    virtual bool ModelSupportsIt() const { return true; }
    // Further model switches turned on.
    virtual std::vector<std::string> MoreSwitches() const { return {}; }

    void SetUp() override {
        if (ModelSupportsIt() || !MoreSwitches().empty()) {
            vpdc::Json src = vpdc::ReadSource(NVX_SAMPLE_MODEL, true);
            for (vpdc::Json& e : src["entries"]) {
                if (e["name"] != "FeatureSetting") continue;
                if (ModelSupportsIt()) e["items"].push_back({"InterimAuthenticSetting", "Enable"});
                for (const std::string& name : MoreSwitches()) e["items"].push_back({name, "Enable"});
            }
            const vpdc::Bytes bytes = vpdc::Compile(src);
            driver_.Write("NOVRIX_D.VPD", std::string(bytes.begin(), bytes.end()));
        }
        PlatformTest::SetUp();
        folder_ = nvxtest::MakeTempDir("middle");
        profiles_ = folder_ + "/profiles";
        ASSERT_EQ(0, system(("mkdir -p '" + profiles_ + "'").c_str()));
        setenv("NOVRIX_DEVICE_PROFILES", profiles_.c_str(), 1);
        served_ = folder_ + "/device.json";
        Serve(Profile(3));
        StartServer({});
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        PRINTER_INFO_2W info{};
        nvx::WString port = nvx::WFromUtf8(std::string("IP_") + kDevice);
        info.pPrinterName = const_cast<LPWSTR>(kName);
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = port.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        printer_ = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        ASSERT_NE(nullptr, printer_);
        record_ = std::make_unique<OEMDEV>();
        std::memset(record_.get(), 0, sizeof *record_);
        devOption_.assign(nvx::settings::kDevOptionSize, 0);
        Credentials("carol", kPassword, 2);
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        NvxUi_SetMessageBoxResponder(nullptr, nullptr);
        if (printer_) ClosePrinter(printer_);
        if (module_) FreeLibrary(module_);
        server_.reset();
        unsetenv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(folder_);
        PlatformTest::TearDown();
    }
    void Serve(std::string profile) const {
        profile.replace(profile.find("LOG"), 3, folder_ + "/device.log");
        std::ofstream(served_) << profile;
    }
    void StartServer(std::map<std::string, std::string> faults) {
        server_.reset();
        server_ = std::make_unique<nvxo::DeviceServer>();
        nvxo::ServerOptions options;
        options.profile = served_;
        options.faults = std::move(faults);
        std::string error;
        ASSERT_TRUE(server_->Start(options, &error)) << error;
        std::ofstream(profiles_ + "/" + kDevice + ".json")
            << R"({"remote": {"address": "127.0.0.1:)" << server_->Port() << R"(", "timeoutMs": 400}})";
    }
    // The settings record: the middle server's named user (mode 2) or public user (mode 1).
    void Credentials(const char* user, const char* password, uint8_t mode, uint32_t server = 2) {
        UserSettingsRecord rec{};
        nvx::WString name = nvx::WFromUtf8(user);
        std::memcpy(rec.userName, name.data(), name.size() * sizeof(WCHAR));
        ASSERT_EQ(PasswordResult::Stored,
                  SetPassword(SampleCipher(), nvx::WFromUtf8(password), PasswordField::User, &rec));
        rec.middleServerMode = mode;
        rec.middleServerValue = server;
        CopyToOemdev(rec, false, record_.get());
        nvx::settings::SetNumber(*record_, nvx::settings::FindField("bUserAuth"), 1);
    }
    std::string Log() const {
        std::ifstream in(folder_ + "/device.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void ClearLog() const { std::ofstream(folder_ + "/device.log", std::ios::trunc); }
    size_t Calls(const std::string& fn) const {
        size_t n = 0;
        std::istringstream lines(Log());
        for (std::string line; std::getline(lines, line);) n += line.rfind(fn + " ", 0) == 0;
        return n;
    }
    U Verify(char* detail, size_t size, U externalServerDone = 0) {
        using Fn = U (*)(U, U, U, U, U, U, U, U, U, U, U, U, U);
        auto verify = nvx::ProcAs<Fn>(GetProcAddress(module_, "Bidi_PrintStart_VerifyAndEncryptKey"));
        return verify(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0, reinterpret_cast<U>(record_.get()),
                      reinterpret_cast<U>(devOption_.data()), reinterpret_cast<U>(detail), size, externalServerDone, 0,
                      0, 0, 0, 1);
    }
    nvx::model::ValueStore Store(nvx::model::RegKey* key) const {
        EXPECT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, key, kMiddleServerKey));
        return nvx::model::ValueStore::OfKey(key->get());
    }
    uint32_t StoredNumber(const WCHAR* name) const {
        nvx::model::RegKey key;
        uint32_t n = 0xDEAD;
        Store(&key).ReadDword(name, &n);
        return n;
    }

    nvxtest::DriverCopy driver_;
    std::string folder_, profiles_, served_;
    std::unique_ptr<nvxo::DeviceServer> server_;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
    std::unique_ptr<OEMDEV> record_;
    std::vector<BYTE> devOption_;
};

TEST_F(MiddleServer, TheSettingIsRenewedOnlyWhenTheDevicesUpdateCountMoves) {
    char detail[64] = "stale";
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
    EXPECT_STREQ("", detail);
    EXPECT_EQ(1u, Calls("OAPIGetMiddleServerSetting"));
    // Fetched before the login.
    EXPECT_LT(Log().find("OAPIGetMiddleServerSetting"), Log().find("OAPILogin"));
    EXPECT_EQ(3u, StoredNumber(WL("UpdateCount")));
    EXPECT_EQ(1u, StoredNumber(WL("RenewalFlag")));
    MiddleServerStored stored = ReadMiddleServerStored(printer_);
    ASSERT_EQ(kInterimUiBytes, stored.interimUi.size());
    EXPECT_EQ(2u, MiddleServerInfoOf(stored.interimUi).serverNumber);
    EXPECT_EQ("auth-3.example.test", MiddleServerInfoOf(stored.interimUi).serverName);

    // The same count: nothing fetched.
    ClearLog();
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
    EXPECT_EQ(0u, Calls("OAPIGetMiddleServerSetting"));

    // A new count: fetched again, the previous setting kept beside it.
    Serve(Profile(4));
    ClearLog();
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
    EXPECT_EQ(1u, Calls("OAPIGetMiddleServerSetting"));
    EXPECT_EQ(4u, StoredNumber(WL("UpdateCount")));
    EXPECT_EQ(3u, StoredNumber(WL("LastUpdateCount")));
    stored = ReadMiddleServerStored(printer_);
    EXPECT_EQ("auth-4.example.test", MiddleServerInfoOf(stored.interimUi).serverName);
    nvx::model::RegKey key;
    std::vector<BYTE> previous(kInterimUiBytes);
    ASSERT_TRUE(Store(&key).ReadExact(WL("InterimUITmp"), previous.data(), kInterimUiBytes));
    EXPECT_EQ("auth-3.example.test", MiddleServerInfoOf(previous).serverName);
}

TEST_F(MiddleServer, ARenewalCutShortKeepsTheStoredCountAndIsTriedAgain) {
    StartServer({{"OAPIGetMiddleServerSetting", "drop"}});
    char detail[64] = "";
    EXPECT_EQ(0u, Verify(detail, sizeof detail)) << "the login does not depend on the renewal";
    EXPECT_EQ(ReadMiddleServerStored(printer_).updateCount, std::nullopt);
    EXPECT_TRUE(ReadMiddleServerStored(printer_).interimUi.empty());
    StartServer({});
    ClearLog();
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
    EXPECT_EQ(1u, Calls("OAPIGetMiddleServerSetting"));
    EXPECT_EQ(3u, StoredNumber(WL("UpdateCount")));
}

TEST_F(MiddleServer, EveryRefusalOfTheMiddleServerComesBackWithItsDetailText) {
    struct Case {
        const char* state;
        const char* user;
        const char* password;
        uint32_t server;
        const char* detail;
    };
    const Case cases[] = {
        {"up", "carol", "wrong", 2, "AuthServerAuthFailure"},
        {"up", "mallory", kPassword, 2, "AuthIllegalAccount"},
        {"up", "dave", "x", 2, "AuthAccessDenied"},
        {"up", "carol", kPassword, 5, "AuthServerSettingError"},  // the record names another server
        {"down", "carol", kPassword, 2, "AuthServerNotFound"},
        {"busy", "carol", kPassword, 2, "AuthServerBusy"},
        {"dns", "carol", kPassword, 2, "AuthDnsServerError"},
        {"error", "carol", kPassword, 2, "AuthServerError"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detail);
        Serve(Profile(3, c.state));
        Credentials(c.user, c.password, 2, c.server);
        char detail[64] = "stale";
        EXPECT_EQ(4u, Verify(detail, sizeof detail));
        EXPECT_STREQ(c.detail, detail);
    }
    // The public user of the middle server (mode 1) needs no name.
    Serve(Profile(3));
    Credentials("", "", 1);
    char detail[64] = "stale";
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
}

TEST_F(MiddleServer, DeviceAndExtServerGoesThroughTheMiddleServerUnlessTheCallerSaysItIsDone) {
    Serve(Profile(3, "up", "DeviceAndExtServer"));
    char detail[64] = "";
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
    EXPECT_EQ(1u, Calls("OAPIGetMiddleServerSetting"));
    // With the caller's flag: no renewal, and the login goes to the device itself,
    // whose users do not know carol.
    Serve(Profile(4, "up", "DeviceAndExtServer"));
    ClearLog();
    EXPECT_EQ(4u, Verify(detail, sizeof detail, 1));
    EXPECT_STREQ("AuthIllegalAccount", detail);
    EXPECT_EQ(0u, Calls("OAPIGetMiddleServerSetting"));
    EXPECT_EQ(3u, StoredNumber(WL("UpdateCount")));
}

class MiddleServerUnsupported : public MiddleServer {
protected:
    bool ModelSupportsIt() const override { return false; }
};

TEST_F(MiddleServerUnsupported, AModelWithoutMiddleServerNeitherRenewsNorNamesTheServer) {
    char detail[64] = "";
    EXPECT_EQ(4u, Verify(detail, sizeof detail));
    EXPECT_STREQ("AuthServerSettingError", detail);  // the device login named no middle server
    EXPECT_EQ(0u, Calls("OAPIGetMiddleServerSetting"));
}

// ---- The pop-up ----

struct Boxes {
    std::vector<std::string> texts;
    std::vector<UINT> types;
};

class MiddleServerPopup : public MiddleServer {
protected:
    void SetUp() override {
        MiddleServer::SetUp();
        std::memset(record_.get(), 0, sizeof *record_);
        NvxUi_SetMessageBoxResponder(
            [](void* self, HWND, LPCWSTR, LPCWSTR text, UINT type) {
                auto* boxes = static_cast<Boxes*>(self);
                boxes->texts.push_back(nvx::Utf8FromW(text));
                boxes->types.push_back(type);
                return IDOK;
            },
            &boxes_);
    }
    U Run(std::function<void(HWND)> drive) {
        drive_ = std::move(drive);
        NvxUi_SetModalDriver([](void* self, HWND dialog) { static_cast<MiddleServerPopup*>(self)->drive_(dialog); },
                             this);
        HANDLE printer = printer_;
        void* block[4] = {printer, record_.get(), &verified_, devOption_.data()};
        auto popup = nvx::ProcAs<U (*)(void*)>(GetProcAddress(module_, "Popup_MiddleServerAuthenticDlg"));
        return popup(block);
    }
    static void Type(HWND dialog, int id, const char* text) {
        NvxUi_Type(GetDlgItem(dialog, id), nvx::WFromUtf8(text).c_str(), NVXUI_TYPE_REPLACE);
    }
    nvx::WString UserName() const { return nvx::WString(reinterpret_cast<const WCHAR*>(record_->bytes + 7554)); }

    Boxes boxes_;
    DWORD verified_ = 7;
    std::function<void(HWND)> drive_;
};

TEST_F(MiddleServerPopup, VerifyAsksTheDeviceAndShowsItsAnswerOkStoresTheChoice) {
    // A first job renewed the setting: the pop-up names the server.
    char detail[8];
    Credentials("carol", kPassword, 2);
    Verify(detail, sizeof detail);
    std::memset(record_.get(), 0, sizeof *record_);
    std::string serverShown;
    EXPECT_EQ(static_cast<U>(IDOK), Run([&](HWND dlg) {
                  WCHAR text[300] = {};
                  GetDlgItemTextW(dlg, 1881, text, 300);
                  serverShown = nvx::Utf8FromW(text);
                  Type(dlg, 1874, "carol");
                  Type(dlg, 2028, "wrong");
                  NvxUi_PressButton(dlg, 2177);
                  Type(dlg, 2028, kPassword);
                  NvxUi_PressButton(dlg, 2177);
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("auth-3.example.test", serverShown);
    ASSERT_EQ(2u, boxes_.texts.size());
    EXPECT_EQ("The authentication server refused the user name and password.", boxes_.texts[0]);  // 431
    EXPECT_EQ("The device accepted the user name and password.", boxes_.texts[1]);                // 420
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes_.types[1]);
    EXPECT_EQ(1u, verified_);
    EXPECT_EQ(0u, StoredNumber(WL("RenewalFlag"))) << "the pop-up has shown the renewed setting";
    // OK: the record holds the middle server's user, the password enciphered, the server number.
    EXPECT_EQ(nvx::WFromUtf8("carol"), UserName());
    EXPECT_EQ(kMiddleServerNamedUser, record_->bytes[oemdev_user::kMiddleServerMode]);
    EXPECT_EQ(2u, nvx::GetLE32(record_->bytes + oemdev_user::kMiddleServerValue));
    const uint16_t length = nvx::GetLE16(record_->bytes + oemdev_user::kUserPassLength);
    auto plain = SampleCipher().DecipherText(std::span<const BYTE>(record_->bytes + oemdev_user::kUserPass, length));
    ASSERT_TRUE(plain);
    EXPECT_EQ(kPassword, *plain);
    // And the user's store, which a later load reads back.
    EXPECT_EQ(2u, StoredNumber(WL("UserType")));
    EXPECT_EQ(2u, StoredNumber(WL("AuthType")));
    auto loaded = std::make_unique<OEMDEV>();
    std::memset(loaded.get(), 0, sizeof *loaded);
    EXPECT_TRUE(LoadUserSettings(printer_, false, loaded.get()));
    EXPECT_EQ(kMiddleServerNamedUser, loaded->bytes[oemdev_user::kMiddleServerMode]);
    EXPECT_EQ(2u, nvx::GetLE32(loaded->bytes + oemdev_user::kMiddleServerValue));
}

TEST_F(MiddleServerPopup, CancelAfterVerifyLeavesTheRecordAsItWas) {
    const std::vector<BYTE> before(record_->bytes, record_->bytes + sizeof *record_);
    EXPECT_EQ(static_cast<U>(IDCANCEL), Run([&](HWND dlg) {
                  Type(dlg, 1874, "carol");
                  Type(dlg, 2028, kPassword);
                  NvxUi_PressButton(dlg, 2177);
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    ASSERT_EQ(1u, boxes_.texts.size());
    EXPECT_EQ(1u, verified_);
    EXPECT_EQ(before, std::vector<BYTE>(record_->bytes, record_->bytes + sizeof *record_));
}

TEST_F(MiddleServerPopup, ADeviceThatCannotBeReachedAndARefusedPasswordAreToldApart) {
    server_.reset();
    EXPECT_EQ(static_cast<U>(IDCANCEL), Run([&](HWND dlg) {
                  NvxUi_Click(GetDlgItem(dlg, 999));  // public user
                  NvxUi_PressButton(dlg, 2177);
                  NvxUi_Click(GetDlgItem(dlg, 999));
                  Type(dlg, 1874, "carol");
                  // Outside code page 1252: refused before anything is asked.
                  NvxUi_Type(GetDlgItem(dlg, 2028), nvx::WFromUtf8("\xE6\x97\xA5\xE6\x9C\xAC").c_str(),
                             NVXUI_TYPE_REPLACE);
                  NvxUi_PressButton(dlg, IDOK);
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    ASSERT_EQ(2u, boxes_.texts.size());
    EXPECT_EQ("The user name and password could not be verified. Check that the device is on and connected.",
              boxes_.texts[0]);  // 424
    EXPECT_NE(std::string::npos, boxes_.texts[1].find("code page 1252")) << boxes_.texts[1];
    EXPECT_EQ(0u, verified_);
}

TEST_F(MiddleServerPopup, NoTypedPasswordReachesTheDebugOutputOrTheStore) {
    NvxPlatform_ClearDebugOutput();
    Run([&](HWND dlg) {
        Type(dlg, 1874, "carol");
        Type(dlg, 2028, kPassword);
        NvxUi_PressButton(dlg, 2177);
        NvxUi_PressButton(dlg, IDOK);
    });
    std::vector<char> out(1 << 16);
    NvxPlatform_GetDebugOutput(out.data(), static_cast<DWORD>(out.size()));
    EXPECT_EQ(std::string::npos, std::string(out.data()).find(kPassword));
    const std::string raw(reinterpret_cast<const char*>(record_->bytes), sizeof *record_);
    EXPECT_EQ(std::string::npos, raw.find(kPassword));
    nvx::model::RegKey key;
    std::vector<BYTE> pass;
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &key, WL("Authentication")));
    nvx::model::ValueStore::OfKey(key.get()).ReadAll(WL("UserPass"), &pass);
    EXPECT_EQ(16u, pass.size());  // 13 characters: one AES block
    EXPECT_EQ(std::string::npos, std::string(pass.begin(), pass.end()).find(kPassword));
}

TEST_F(MiddleServerPopup, NoBlockOrNoRecordIsNotShown) {
    auto popup = nvx::ProcAs<U (*)(void*)>(GetProcAddress(module_, "Popup_MiddleServerAuthenticDlg"));
    EXPECT_EQ(5u, popup(nullptr));
    void* block[4] = {printer_, nullptr, nullptr, nullptr};
    EXPECT_EQ(5u, popup(block));
}

// The user authentication pop-up's Verify (2171) asks the device itself the same way.
TEST_F(MiddleServerPopup, TheUserAuthenticationPopupVerifiesWithTheDevice) {
    Serve(Profile(3, "up", "Device"));
    HANDLE handle = printer_;
    void* block[4] = {&handle, record_.get(), devOption_.data(), nullptr};
    NvxUi_SetModalDriver(
        [](void*, HWND dlg) {
            NvxUi_Click(GetDlgItem(dlg, 1872));
            Type(dlg, 1874, "devuser");
            Type(dlg, 2028, "nope");
            NvxUi_PressButton(dlg, 2177);
            Type(dlg, 2028, "devpass");
            NvxUi_PressButton(dlg, 2177);
            NvxUi_PressButton(dlg, IDCANCEL);
        },
        nullptr);
    auto popup = nvx::ProcAs<U (*)(U)>(GetProcAddress(module_, "Popup_UserAuthenticDlg"));
    EXPECT_EQ(static_cast<U>(IDCANCEL), popup(reinterpret_cast<U>(block)));
    ASSERT_EQ(2u, boxes_.texts.size());
    EXPECT_EQ("The password is wrong.", boxes_.texts[0]);                        // 427
    EXPECT_EQ("The device accepted the user name and password.", boxes_.texts[1]);  // 420
    EXPECT_EQ(0, record_->bytes[7552]) << "Verify works on a copy; Cancel keeps the record";
}

// A model that allows authentication without a password: the user authentication
// pop-up's Verify asks for no password only when the printer's device-option
// record says the device authenticates by card ("OpSimpleAuth", u16 at 16 in the
// sample model's record).
class NoPasswordPopup : public MiddleServerPopup {
protected:
    std::vector<std::string> MoreSwitches() const override { return {"UserAuthentic_NoPassWord"}; }
    std::vector<std::string> VerifyWithoutPassword() {
        Serve(Profile(3, "up", "Device"));
        boxes_.texts.clear();
        HANDLE handle = printer_;
        void* block[4] = {&handle, record_.get(), devOption_.data(), nullptr};
        NvxUi_SetModalDriver(
            [](void*, HWND dlg) {
                NvxUi_Click(GetDlgItem(dlg, 1872));
                Type(dlg, 1874, "devuser");
                NvxUi_PressButton(dlg, 2177);
                NvxUi_PressButton(dlg, IDCANCEL);
            },
            nullptr);
        auto popup = nvx::ProcAs<U (*)(U)>(GetProcAddress(module_, "Popup_UserAuthenticDlg"));
        EXPECT_EQ(static_cast<U>(IDCANCEL), popup(reinterpret_cast<U>(block)));
        return boxes_.texts;
    }
};

TEST_F(NoPasswordPopup, TheDeviceOptionSlotDecidesWhetherThePasswordIsAsked) {
    std::memset(record_.get(), 0, sizeof *record_);  // no stored password
    devOption_[16] = 1;
    ClearLog();
    std::vector<std::string> texts = VerifyWithoutPassword();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("The password is wrong.", texts[0]) << "the device is asked, and refuses the empty password";
    EXPECT_EQ(1u, Calls("OAPILogin"));
    // The slot back at 0 (the neighbouring slots set): the dialog asks for the password itself.
    devOption_[16] = 0;
    devOption_[14] = devOption_[18] = 1;
    ClearLog();
    texts = VerifyWithoutPassword();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("Enter the password.", texts[0]);
    EXPECT_EQ(0u, Calls("OAPILogin"));
}

// ---- The verification messages ----

TEST(VerificationMessage, FollowsTheTableFirstMatchWins) {
    EXPECT_EQ(420u, VerificationMessage(0, "AuthIllegalAccount"));  // the code first
    EXPECT_EQ(424u, VerificationMessage(1, ""));
    EXPECT_EQ(424u, VerificationMessage(6, "AuthServerBusy"));
    const std::pair<const char*, unsigned> details[] = {
        {"AuthIllegalAccount", 425},         {"AuthAccessDenied", 426},         {"AuthIllegalPassword", 427},
        {"AuthServerSettingError", 428},     {"AuthDnsServerError", 429},       {"AuthServerNotFound", 430},
        {"AuthServerAuthFailure", 431},      {"AuthServerBusy", 433},           {"AuthServerError", 431},
        {"AuthNotAllowedAuthSetting", 434},  {"AuthNotFoundTrack", 435},        {"AuthAccessDeniedTrack", 436},
        {"AuthIllegalPasswordTrack", 437},   {"AuthNotAllowedFunctionTrack", 424}, {"AuthServerErrorTrack", 424},
    };
    for (const auto& [detail, message] : details) EXPECT_EQ(message, VerificationMessage(4, detail)) << detail;
    // Only equal texts match: no prefix, no case folding.
    EXPECT_EQ(424u, VerificationMessage(4, "AuthIllegalAccountX"));
    EXPECT_EQ(424u, VerificationMessage(4, "authillegalaccount"));
    EXPECT_EQ(424u, VerificationMessage(4, ""));
    EXPECT_EQ(424u, VerificationMessage(2, ""));
}

TEST(SignOnRecord, AStoredIdentifierIsReadWithinItsValue) {
    auto bytes = [](const std::u16string& text, size_t extra = 0) {
        std::vector<BYTE> b;
        for (char16_t c : text) {
            b.push_back(static_cast<BYTE>(c));
            b.push_back(static_cast<BYTE>(c >> 8));
        }
        b.resize(b.size() + extra, 0);
        return b;
    };
    EXPECT_EQ("alice@NOVRIX.TEST", *SignOnContextIdOf(bytes(u"alice@NOVRIX.TEST", 2)));
    EXPECT_EQ("bob", *SignOnContextIdOf(bytes(u"bob")));                     // no terminator: the value's end
    std::vector<BYTE> odd = bytes(u"bob");
    odd.push_back('x');                                                       // a lone last byte is left out
    EXPECT_EQ("bob", *SignOnContextIdOf(odd));
    EXPECT_EQ("ab", *SignOnContextIdOf(bytes(std::u16string(u"ab\0cd"), 2)));  // up to the terminator
    EXPECT_EQ("J\xC3\xBCrgen", *SignOnContextIdOf(bytes(u"J\u00FCrgen", 2)));
    EXPECT_FALSE(SignOnContextIdOf(bytes(u"", 2)));
    EXPECT_FALSE(SignOnContextIdOf({}));
    EXPECT_FALSE(SignOnContextIdOf(std::vector<BYTE>{'a'}));
}

TEST(MiddleServerInfo, AStoredSettingOfAnotherSizeOrWithoutTerminatorIsReadSafely) {
    EXPECT_EQ(1u, MiddleServerInfoOf({}).serverNumber);
    std::vector<BYTE> ui(kInterimUiBytes, 'x');
    nvx::PutLE32(ui.data(), 0x10000);  // not a 16-bit server number
    const MiddleServerInfo info = MiddleServerInfoOf(ui);
    EXPECT_EQ(1u, info.serverNumber);
    EXPECT_EQ(kInterimServerNameBytes, info.serverName.size());  // cut at its field
    ui.resize(kInterimUiBytes - 1);
    EXPECT_EQ("", MiddleServerInfoOf(ui).serverName);
    EXPECT_TRUE(MiddleServerRenewalApplies(4, true, true));
    EXPECT_TRUE(MiddleServerRenewalApplies(6, false, true));
    EXPECT_FALSE(MiddleServerRenewalApplies(6, true, true));
    EXPECT_FALSE(MiddleServerRenewalApplies(4, false, false));
    EXPECT_FALSE(MiddleServerRenewalApplies(3, false, true));
}

// The model's check that LoadUserSettings is given by the module's callers (the
// speed-dial request): user settings are the model's when its "UserAuthentication"
// kind is 1 or 2; without a model it fails.
TEST(UserSettingsCheck, PassesForKindsOneAndTwoOnly) {
    EXPECT_FALSE(UserSettingsCheckPasses(nullptr));
    auto record = std::make_unique<nvx::features::ModelRecord>();
    auto set = [&](const char* name, const char* value) {
        nvx::features::FeatureSettingRecord r{};
        std::strncpy(r.name, name, sizeof r.name - 1);
        std::strncpy(r.value, value, sizeof r.value - 1);
        record->switches.Reset();
        record->switches.Apply({r}, false);
    };
    for (const char* value : {"Disable", "TYPE3"}) {
        set("UserAuthentication", value);
        EXPECT_FALSE(UserSettingsCheckPasses(record.get())) << value;
    }
    for (const char* value : {"TYPE1", "TYPE2"}) {
        set("UserAuthentication", value);
        EXPECT_TRUE(UserSettingsCheckPasses(record.get())) << value;
    }
    EXPECT_FALSE(ModelSupportsMiddleServer(record.get()));
    set("InterimAuthenticSetting", "Enable");
    EXPECT_TRUE(ModelSupportsMiddleServer(record.get()));
}

}  // namespace
