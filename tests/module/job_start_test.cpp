// Job start through the module's exports, against the simulated device on the
// loopback: the call order, the device's codes and detail texts handed back
// unchanged, the passphrase stored enciphered, the shared cache, a device that
// drops the connection mid-login, and no password anywhere in the debug output.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/proc.h"
#include "device/device_info_cache.h"
#include "device/job_start.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "device_server.h"
#include "platform/host.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::device;
using U = UINT_PTR;
namespace oapi = nvx::oapi;
namespace dev = nvx::settings::devoption;

constexpr const char* kDevice = "192.0.2.78";  // a profile that names the simulator
constexpr const WCHAR* kName = WL("Secure Fax");
constexpr const char* kPassword = "wonder-land-31";
constexpr const char* kPassphrase = "OpenSesameOpenSesame12345";  // 25 characters: 20 are kept

// The sample model enciphers with AES under key number 3 and model number 57.
const PasswordCipher& SampleCipher() {
    static const PasswordCipher cipher({CipherMode::Aes, 3, 57, std::nullopt});
    return cipher;
}

std::string Profile(const std::string& extra = "") {
    return std::string(R"({"configuration": {"port": 50003, "flag": 1, "generation": 1},
  "capability": {"authenticationType": "Device", "accountTrackType": "AccountPassword", "publicUser": 0},
  "users": [{"name": "alice", "password": ")") +
           kPassword + R"("}, {"name": "bob", "password": "x", "enabled": 0}],
  "accounts": [{"name": "SALES", "password": "1234"}],
  "encryption": {"keyKind": "UserDefined", "passphrase": ")" +
           kPassphrase + R"("})" + extra + "}";
}

class JobStartTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        folder_ = nvxtest::MakeTempDir("jobstart");
        profiles_ = folder_ + "/profiles";
        ASSERT_EQ(0, system(("mkdir -p '" + profiles_ + "'").c_str()));
        setenv("NOVRIX_DEVICE_PROFILES", profiles_.c_str(), 1);
        served_ = folder_ + "/device.json";
        Serve(Profile(R"(, "behaviour": {"log": ")" + folder_ + R"(/device.log"})"));
        StartServer({});
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        PRINTER_INFO_2W info{};
        nvx::WString port = nvx::WFromUtf8(std::string("IP_") + kDevice);
        info.pPrinterName = const_cast<LPWSTR>(kName);
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = port.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        printer_ = nvxtest::AddTestPrinter(info);
        ASSERT_NE(nullptr, printer_);
        record_ = std::make_unique<OEMDEV>();
        std::memset(record_.get(), 0, sizeof *record_);
        devOption_.assign(nvx::settings::kDevOptionSize, 0);
        Credentials("alice", kPassword, "SALES", "1234");
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        if (module_) FreeLibrary(module_);
        server_.reset();
        unsetenv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(folder_);
        PlatformTest::TearDown();
    }
    void Serve(const std::string& profile) const { std::ofstream(served_) << profile; }
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
    // The job's settings record with user authentication and account track on.
    void Credentials(const char* user, const char* password, const char* department, const char* departmentPass) {
        UserSettingsRecord rec{};
        nvx::WString name = nvx::WFromUtf8(user), dept = nvx::WFromUtf8(department);
        std::memcpy(rec.userName, name.data(), name.size() * sizeof(WCHAR));
        std::memcpy(rec.departmentName, dept.data(), dept.size() * sizeof(WCHAR));
        ASSERT_EQ(PasswordResult::Stored,
                  SetPassword(SampleCipher(), nvx::WFromUtf8(password), PasswordField::User, &rec));
        ASSERT_EQ(PasswordResult::Stored,
                  SetPassword(SampleCipher(), nvx::WFromUtf8(departmentPass), PasswordField::Department, &rec));
        CopyToOemdev(rec, false, record_.get());
        nvx::settings::SetNumber(*record_, nvx::settings::FindField("bUserAuth"), 1);
        nvx::settings::SetNumber(*record_, nvx::settings::FindField("bAccountTrack"), 1);
    }
    std::string Log() const {
        std::ifstream in(folder_ + "/device.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void ClearLog() const { std::ofstream(folder_ + "/device.log", std::ios::trunc); }
    template <typename Fn>
    Fn Export(const char* name) const {
        return nvx::ProcAs<Fn>(GetProcAddress(module_, name));
    }
    U Verify(char* detail, size_t size, U flag = 1, void* shared = nullptr) {
        using Fn = U (*)(U, U, U, U, U, U, U, U, U, U, U, U, U);
        return Export<Fn>("Bidi_PrintStart_VerifyAndEncryptKey")(
            reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), reinterpret_cast<U>(shared),
            reinterpret_cast<U>(record_.get()), reinterpret_cast<U>(devOption_.data()), reinterpret_cast<U>(detail),
            size, 0, 0, 0, 0, 0, flag);
    }
    U GetKey(U flag, void* shared = nullptr) {
        using Fn = U (*)(U, U, U, U, U, U);
        return Export<Fn>("Bidi_PrintStart_GetEncryptionKey")(
            reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), reinterpret_cast<U>(shared),
            reinterpret_cast<U>(record_.get()), reinterpret_cast<U>(devOption_.data()), flag);
    }
    U IsCommunicate(int32_t* authType, void* shared = nullptr) {
        using Fn = U (*)(U, U, U, U, U);
        return Export<Fn>("Bidi_PrintStart_IsCommunicate")(reinterpret_cast<U>(printer_),
                                                           reinterpret_cast<U>(devOption_.data()),
                                                           reinterpret_cast<U>(shared), 0, reinterpret_cast<U>(authType));
    }
    std::string StoredPassphrase() const {
        const uint16_t length = nvx::GetLE16(devOption_.data() + dev::kPassphraseLength);
        auto plain = SampleCipher().DecipherText(std::span<const BYTE>(devOption_.data() + dev::kPassphrase, length));
        return plain ? *plain : "<does not decipher>";
    }

    nvxtest::DriverCopy driver_;
    std::string folder_, profiles_, served_;
    std::unique_ptr<nvxo::DeviceServer> server_;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
    std::unique_ptr<OEMDEV> record_;
    std::vector<BYTE> devOption_;
};

TEST_F(JobStartTest, VerifyLogsInChecksOutAndStoresThePassphraseEnciphered) {
    char detail[64] = "stale";
    EXPECT_EQ(0u, Verify(detail, sizeof detail));
    EXPECT_STREQ("", detail);
    // The call order: configuration, access, capability, login, the verification
    // login closed at once (the sample model), the passphrase without the login,
    // then the access ends.
    std::vector<std::string> calls;
    std::istringstream lines(Log());
    for (std::string line; std::getline(lines, line);) calls.push_back(line.substr(0, line.find(' ')));
    const std::vector<std::string> expected = {"OAPIConfigurationCheck", "OAPIAccessInit", "OAPIGetAuthCapability",
                                               "OAPILogin", "OAPILogout", "OAPIGetPrinterEncryptionSetting",
                                               "OAPIAccessEnd"};
    EXPECT_EQ(expected, calls);
    // The passphrase: its first 20 characters, enciphered (AES: 32 bytes), user-defined.
    EXPECT_EQ(32u, nvx::GetLE16(devOption_.data() + dev::kPassphraseLength));
    EXPECT_EQ(1u, devOption_[dev::kPassphraseStored]);
    EXPECT_EQ(std::string(kPassphrase, 20), StoredPassphrase());
    const std::string raw(devOption_.begin(), devOption_.end());
    EXPECT_EQ(std::string::npos, raw.find("OpenSesame"));
}

TEST_F(JobStartTest, EveryRefusalComesBackWithTheDevicesOwnDetailText) {
    struct Case {
        const char* user;
        const char* password;
        const char* department;
        const char* departmentPassword;
        const char* detail;
    };
    const Case cases[] = {
        {"alice", "wrong", "SALES", "1234", "AuthIllegalPassword"},
        {"mallory", "x", "SALES", "1234", "AuthIllegalAccount"},
        {"bob", "x", "SALES", "1234", "AuthAccessDenied"},
        {"alice", kPassword, "NOWHERE", "1234", "AuthNotFoundTrack"},
        {"alice", kPassword, "SALES", "9999", "AuthIllegalPasswordTrack"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detail);
        Credentials(c.user, c.password, c.department, c.departmentPassword);
        char detail[64] = "stale";
        EXPECT_EQ(4u, Verify(detail, sizeof detail));
        EXPECT_STREQ(c.detail, detail);
    }
    // A refusal the device words itself is handed on as it is, cut to the buffer.
    Serve(Profile(R"(, "behaviour": {"refuseLogin": "AuthServerBusy"})"));
    Credentials("alice", kPassword, "SALES", "1234");
    char small[6] = "stale";
    EXPECT_EQ(4u, Verify(small, sizeof small));
    EXPECT_STREQ("AuthS", small);
    char none[4] = "abc";
    EXPECT_EQ(4u, Verify(none, 0));
    EXPECT_STREQ("abc", none);  // a buffer of no size is not written
}

TEST_F(JobStartTest, AFlagOfZeroAsksNothing) {
    char detail[16] = "stale";
    EXPECT_EQ(1u, Verify(detail, sizeof detail, 0));
    EXPECT_STREQ("", detail);
    EXPECT_EQ(0u, GetKey(0));
    EXPECT_EQ(0u, GetKey(2));
    EXPECT_EQ("", Log());
}

TEST_F(JobStartTest, ADeviceThatDropsTheConnectionMidLoginIsNotVerified) {
    StartServer({{"OAPILogin", "drop"}});
    char detail[32] = "stale";
    const U code = Verify(detail, sizeof detail);
    EXPECT_NE(0u, code);
    EXPECT_NE(4u, code);  // no refusal was given
    EXPECT_STREQ("", detail);
    // Not logged in: the passphrase is read with the call that needs no login.
    EXPECT_EQ(std::string::npos, Log().find("ForDriver"));
}

TEST_F(JobStartTest, ADeviceThatDoesNotAnswerGivesOneAndStoresNothing) {
    server_.reset();  // nothing listens at the port any more
    char detail[32] = "stale";
    EXPECT_EQ(1u, Verify(detail, sizeof detail));
    EXPECT_STREQ("", detail);
    EXPECT_EQ(0u, GetKey(1));
    int32_t authType = 7;
    EXPECT_NE(0u, IsCommunicate(&authType));
    EXPECT_EQ(0, authType);
    EXPECT_EQ(0u, nvx::GetLE16(devOption_.data() + dev::kPassphraseLength));
}

TEST_F(JobStartTest, GetEncryptionKeyLogsInAndReadsTheDriverVariant) {
    EXPECT_EQ(1u, GetKey(1));
    EXPECT_EQ(std::string(kPassphrase, 20), StoredPassphrase());
    EXPECT_NE(std::string::npos, Log().find("OAPILogin"));
    EXPECT_NE(std::string::npos, Log().find("OAPIGetPrinterEncryptionSettingForDriver"));
    // A job that needs no encryption (nothing on, output method not 3) asks nothing.
    ClearLog();
    nvx::settings::SetNumber(*record_, nvx::settings::FindField("bUserAuth"), 0);
    nvx::settings::SetNumber(*record_, nvx::settings::FindField("bAccountTrack"), 0);
    devOption_.assign(devOption_.size(), 0);
    EXPECT_EQ(0u, GetKey(1));
    EXPECT_EQ("", Log());
    // Output method 3 alone needs it.
    nvx::settings::SetNumber(*record_, nvx::settings::FindField("nOutputMethod"), 3);
    EXPECT_EQ(1u, GetKey(1));
}

// The sample model's copy-protect kind is 3: copy protection with operation 2 alone
// needs the encryption key; another operation, or copy protection off, does not.
TEST_F(JobStartTest, CopyProtectionWithOperationTwoNeedsTheKeyOnModelsOfKindTwoAndThree) {
    using nvx::settings::FindField;
    nvx::settings::SetNumber(*record_, FindField("bUserAuth"), 0);
    nvx::settings::SetNumber(*record_, FindField("bAccountTrack"), 0);
    nvx::settings::SetNumber(*record_, FindField("bCopyProtect"), 1);
    nvx::settings::SetNumber(*record_, FindField("nCSE_CopyProtectOp"), 1);
    EXPECT_EQ(0u, GetKey(1));
    nvx::settings::SetNumber(*record_, FindField("nCSE_CopyProtectOp"), 2);
    EXPECT_EQ(1u, GetKey(1));
    EXPECT_EQ(std::string(kPassphrase, 20), StoredPassphrase());
    nvx::settings::SetNumber(*record_, FindField("bCopyProtect"), 0);
    devOption_.assign(devOption_.size(), 0);
    EXPECT_EQ(0u, GetKey(1));
    // The rule itself, by kind.
    nvx::settings::SetNumber(*record_, FindField("bCopyProtect"), 1);
    for (int kind : {0, 1, 4}) EXPECT_FALSE(EncryptionNeeded(record_.get(), kind)) << kind;
    for (int kind : {2, 3}) EXPECT_TRUE(EncryptionNeeded(record_.get(), kind)) << kind;
    EXPECT_FALSE(EncryptionNeeded(nullptr, 3));
}

TEST_F(JobStartTest, AFactoryDefaultKeyIsStoredWithoutTheUserDefinedFlag) {
    std::string profile = Profile();
    profile.replace(profile.find("UserDefined"), 11, "factorydefault");
    Serve(profile);
    EXPECT_EQ(1u, GetKey(1));
    EXPECT_EQ(0u, devOption_[dev::kPassphraseStored]);
    EXPECT_EQ(std::string(kPassphrase, 20), StoredPassphrase());
}

TEST_F(JobStartTest, IsCommunicateReportsTheAuthenticationTypeAndTheSharedCacheIsReused) {
    void* shared = Export<void* (*)()>("OAPICom_Create")();
    ASSERT_NE(nullptr, shared);
    int32_t authType = 0;
    EXPECT_EQ(0u, IsCommunicate(&authType, shared));
    EXPECT_EQ(3, authType);  // "Device"
    // The next step of the same job takes configuration and capability from the cache.
    ClearLog();
    char detail[16] = "";
    EXPECT_EQ(0u, Verify(detail, sizeof detail, 1, shared));
    EXPECT_EQ(std::string::npos, Log().find("OAPIConfigurationCheck"));
    EXPECT_EQ(std::string::npos, Log().find("OAPIGetAuthCapability"));
    EXPECT_NE(std::string::npos, Log().find("OAPILogin"));
    EXPECT_EQ(1u, Export<U (*)(void*)>("OAPICom_Delete")(shared));
}

TEST_F(JobStartTest, CapabilityStepsAnswerTheDevicesCode) {
    using CreateDC = U (*)(UINT*, U, U);
    using GetCapability = U (*)(U, U, U, U, U, U, U);
    auto createDC = Export<CreateDC>("Bidi_DocumentEvent_CreateDC");
    auto getCapability = Export<GetCapability>("Bidi_PrintStart_GetAuthCapability");
    EXPECT_EQ(0u, createDC(reinterpret_cast<UINT*>(printer_), reinterpret_cast<U>(kName),
                           reinterpret_cast<U>(devOption_.data())));
    EXPECT_NE(std::string::npos, Log().find("OAPIGetAuthCapability"));
    EXPECT_EQ(0u, getCapability(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0,
                                reinterpret_cast<U>(devOption_.data()), 0, 0, reinterpret_cast<U>(record_.get())));
    Serve(Profile(R"(, "behaviour": {"failCode": 6, "failOnly": ["OAPIGetAuthCapability"]})"));
    EXPECT_EQ(6u, getCapability(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0,
                                reinterpret_cast<U>(devOption_.data()), 0, 0, reinterpret_cast<U>(record_.get())));
    EXPECT_EQ(16u, createDC(nullptr, 0, 0));
    EXPECT_EQ(16u, getCapability(0, 0, 0, 0, 0, 0, 0));
}

// The document event keeps the device's configuration summary in the device
// information cache, under the device's own stamps of the moment: a full fetch of
// the same set-up reads it, a set-up the cache's renewal records do not know does
// not, and the stored renewal records are never made up or changed by it.
TEST_F(JobStartTest, TheDocumentEventKeepsTheConfigurationSummary) {
    using CreateDC = U (*)(UINT*, U, U);
    auto createDC = Export<CreateDC>("Bidi_DocumentEvent_CreateDC");
    auto summary = [&]() -> std::optional<std::vector<BYTE>> {
        nvx::model::RegKey key;
        if (OpenDeviceInfoKey(printer_, &key, false) != ERROR_SUCCESS) return std::nullopt;
        return DeviceInfoCache(nvx::model::ValueStore::OfKey(key.get()), NoneCipher()).Read(info::Value::OpenApiConf);
    };
    auto raw = [&](const WCHAR* name) {
        std::vector<BYTE> bytes;
        nvx::model::RegKey key;
        if (OpenDeviceInfoKey(printer_, &key, false) == ERROR_SUCCESS)
            nvx::model::ValueStore::OfKey(key.get()).ReadAll(name, &bytes);
        return bytes;
    };
    auto run = [&] {
        return createDC(reinterpret_cast<UINT*>(printer_), reinterpret_cast<U>(kName),
                        reinterpret_cast<U>(devOption_.data()));
    };
    // Before any full fetch: kept, but nothing reads without renewal records.
    ASSERT_EQ(0u, run());
    EXPECT_EQ(20u + 4 + 6 * 324, raw(WL("OpenAPIConf")).size());
    EXPECT_TRUE(raw(WL("RenewalInfo")).empty());
    EXPECT_FALSE(summary());
    // A full fetch (the printer event) of the same set-up.
    auto event = nvx::ProcAs<U (*)(U, U, U, U, U)>(GetProcAddress(module_, "Bidi_PrnterEvent_Initialize"));
    ASSERT_EQ(0u, event(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0, 0, 0));
    const std::vector<BYTE> renewal = raw(WL("RenewalInfo"));
    ASSERT_FALSE(renewal.empty());
    // The device now authenticates through a server; same set-up generation: the kept summary reads.
    std::string profile = Profile();
    profile.replace(profile.find("\"Device\""), 8, "\"Server\"");
    Serve(profile);
    ASSERT_EQ(0u, run());
    auto kept = summary();
    ASSERT_TRUE(kept);
    EXPECT_EQ(2u, nvx::GetLE32(kept->data() + 16));  // authentication type "Server"
    EXPECT_EQ(1u, nvx::GetLE32(kept->data() + 12));  // set-up generation
    EXPECT_EQ(renewal, raw(WL("RenewalInfo")));
    // Set up anew (generation 2): kept under its own stamps, stale until the next full fetch.
    profile.replace(profile.find("\"generation\": 1"), 15, "\"generation\": 2");
    Serve(profile);
    ASSERT_EQ(0u, run());
    EXPECT_FALSE(summary());
    EXPECT_EQ(renewal, raw(WL("RenewalInfo")));
    ASSERT_EQ(0u, event(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0, 0, 0));
    ASSERT_TRUE(summary());
    EXPECT_EQ(2u, nvx::GetLE32(summary()->data() + 12));
    // A device that refuses the capability keeps nothing: the summary stays as it was.
    const std::vector<BYTE> before = raw(WL("OpenAPIConf"));
    Serve(Profile(R"(, "behaviour": {"failCode": 6, "failOnly": ["OAPIGetAuthCapability"]})"));
    EXPECT_EQ(6u, run());
    EXPECT_EQ(before, raw(WL("OpenAPIConf")));
}

TEST_F(JobStartTest, NoPasswordReachesTheDebugOutput) {
    char detail[64] = "";
    Verify(detail, sizeof detail);
    GetKey(1);
    Credentials("alice", "wrong-secret-77", "SALES", "1234");
    Verify(detail, sizeof detail);
    std::vector<char> out(1 << 16);
    NvxPlatform_GetDebugOutput(out.data(), static_cast<DWORD>(out.size()));
    const std::string text(out.data());
    for (const char* secret : {kPassword, "wrong-secret-77", "1234", "OpenSesame"})
        EXPECT_EQ(std::string::npos, text.find(secret)) << secret;
}

}  // namespace
