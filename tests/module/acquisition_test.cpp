// The device events through the module's exports, against the device-API stand-in
// and the host stand-in: what the acquisition stores, and what every failing
// device call leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/le.h"
#include "common/proc.h"
#include "device/device_answers.h"
#include "device/device_info_cache.h"
#include "device/oapi.h"
#include "device/password_cipher.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::device;
using info::Value;
using U = UINT_PTR;
namespace oapi = nvx::oapi;

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

void UnsetEnv(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

constexpr const char* kAddress = "192.0.2.44";

// A device with something in every list.
std::string Profile(int generation, const std::string& authType = "None", const std::string& track = "None",
                    int publicUser = 1, const std::string& signOn = "") {
    return R"({"configuration": {"port": 50003, "flag": 1, "generation": )" + std::to_string(generation) +
           R"(, "cached": "host.example.test", "signOnData": ")" + signOn + R"("},
  "capability": {"authenticationType": ")" + authType + R"(", "accountTrackType": ")" + track +
           R"(", "publicUser": )" + std::to_string(publicUser) + R"(,
                 "updateCount": 4},
  "encryption": {"keyKind": "UserDefined", "passphrase": "OpenSesame"},
  "blocks": {
    "abbr": [{"number": 1, "name": "Head office", "kind": "Fax", "faxNumber": "0312345678"},
             {"number": 2, "name": "Branch", "kind": "Fax", "faxNumber": "0387654321"}],
    "fileInfo.6": [{"number": 1, "name": "Copy guard"}],
    "fileInfo.8": [{"state": "On", "name": "Confidential", "headerText": "CONFIDENTIAL"}],
    "fileInfo.9": [{"number": 1, "name": "Letterhead", "paper": "A4", "colour": 0}],
    "permanent.5": {"hex": "0102030405"}
  },
  "behaviour": {"log": "device.log"}})";
}

class AcquisitionTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        profiles_ = nvxtest::MakeTempDir("acq_profiles");
        SetEnv("NOVRIX_DEVICE_PROFILES", profiles_);
        WriteProfile(Profile(1));
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        printer_ = AddPrinterAt(kName, (std::string("IP_") + kAddress).c_str());
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        if (module_) FreeLibrary(module_);
        UnsetEnv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(profiles_);
        PlatformTest::TearDown();
    }
    static HANDLE AddPrinterAt(const WCHAR* name, const char* port) {
        nvx::WString wport = nvx::WFromUtf8(port);
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(name);
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = wport.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        return nvxtest::AddTestPrinter(info);
    }
    void WriteProfile(const std::string& json) const {
        std::ofstream(profiles_ + "/" + kAddress + ".json") << json;
    }
    void Control(const std::string& json) const {
        std::ofstream(profiles_ + "/" + kAddress + ".control.json") << json;
    }
    std::string Log() const {
        std::ifstream in(profiles_ + "/device.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    U SheetsInit(HANDLE printer, const WCHAR* name, void* shared = nullptr, BYTE* devOption = nullptr) const {
        auto fn = nvx::ProcAs<U (*)(U, U, U, U, U, U)>(GetProcAddress(module_, "Bidi_DocumentPropertySheets_Init"));
        return fn(reinterpret_cast<U>(printer), reinterpret_cast<U>(name), reinterpret_cast<U>(shared),
                  reinterpret_cast<U>(devOption), 0, 0);
    }
    U PrinterEvent() const {
        auto fn = nvx::ProcAs<U (*)(U, U, U, U, U)>(GetProcAddress(module_, "Bidi_PrnterEvent_Initialize"));
        return fn(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0, 0, 0);
    }
    std::optional<std::vector<BYTE>> Cached(Value value) const {
        nvx::model::RegKey key;
        if (OpenDeviceInfoKey(printer_, &key, false) != ERROR_SUCCESS) return std::nullopt;
        // The sample model enciphers with AES under key number 3 and model number 57.
        const PasswordCipher sampleCipher({CipherMode::Aes, 3, 57, std::nullopt});
        return DeviceInfoCache(nvx::model::ValueStore::OfKey(key.get()), sampleCipher).Read(value);
    }
    bool StoredHolds(Value value, const std::string& text) const {
        nvx::model::RegKey key;
        std::vector<BYTE> raw;
        if (OpenDeviceInfoKey(printer_, &key, false) != ERROR_SUCCESS ||
            nvx::model::ValueStore::OfKey(key.get()).ReadAll(DefOf(value).name, &raw) != ERROR_SUCCESS)
            return false;
        return std::search(raw.begin(), raw.end(), text.begin(), text.end()) != raw.end();
    }
    std::string CachedText(Value value, size_t at, size_t width) const {
        auto data = Cached(value);
        return data ? answers::FieldText(*data, at, width) : "<none>";
    }

    static constexpr const WCHAR* kName = WL("Device Fax");
    nvxtest::DriverCopy driver_;
    std::string profiles_;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
};

TEST_F(AcquisitionTest, OpeningTheSheetsFillsEveryCacheValueFromTheDevice) {
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    auto configuration = Cached(Value::Configuration);
    ASSERT_TRUE(configuration);
    EXPECT_EQ(50003u, nvx::GetLE16(configuration->data() + oapi::kConfPort));
    EXPECT_EQ("host.example.test", CachedText(Value::Configuration, oapi::kConfCached, oapi::kConfCachedSize));
    EXPECT_EQ("None", CachedText(Value::AuthCapability, answers::kCapSummaryAuthType, 64));
    auto conf = Cached(Value::OpenApiConf);
    ASSERT_TRUE(conf);
    EXPECT_EQ(50003u, nvx::GetLE16(conf->data() + 8));
    EXPECT_EQ(1u, nvx::GetLE32(conf->data() + 16));  // "None"
    auto setting = Cached(Value::EncryptionSetting);
    ASSERT_TRUE(setting);
    EXPECT_EQ(2u, nvx::GetLE32(setting->data()));      // "UserDefined"
    EXPECT_EQ(10u, nvx::GetLE32(setting->data() + 4));  // "OpenSesame"
    EXPECT_EQ("OpenSesame", CachedText(Value::EncryptionInfo, oapi::kEncPassphrase, oapi::kEncPassphraseSize));
    EXPECT_FALSE(StoredHolds(Value::EncryptionInfo, "OpenSesame"));  // the passphrase is not stored in clear
    EXPECT_EQ("Copy guard", CachedText(Value::TintBlock, 4 + oapi::kTintName, oapi::kTintNameSize));
    EXPECT_EQ("Confidential", CachedText(Value::HeaderFooter, 4 + oapi::kHfName, oapi::kHfNameSize));
    EXPECT_EQ("Letterhead", CachedText(Value::Overlay, 4 + oapi::kOvlName, oapi::kOvlNameSize));
    auto profile = Cached(Value::IccProfile);
    ASSERT_TRUE(profile);
    EXPECT_EQ(5u, (*profile)[4]);
    auto abbr = Cached(Value::Abbr);
    ASSERT_TRUE(abbr);
    ASSERT_EQ(4 + 2 * oapi::kAbbrEntrySize, abbr->size());
    EXPECT_EQ(2u, nvx::GetLE32(abbr->data()));
    EXPECT_EQ("Branch", answers::FieldText(*abbr, 4 + oapi::kAbbrEntrySize + oapi::kAbbrName, oapi::kAbbrNameSize));
    EXPECT_TRUE(Cached(Value::AbbrConfiguration));
    // The printer event runs the same acquisition.
    EXPECT_EQ(0u, PrinterEvent());
}

// The sample model's device-settings items follow its ten installed options:
// "DevUserAuthentication" in slot 10, "DevAccountTrack" 11, "DevPublicUser" 12,
// "DevSingleSignOn" 13.  The sample model has no middle server.
TEST_F(AcquisitionTest, TheCapabilitySetsTheDeviceSettingsItemsOfTheRecord) {
    auto slots = [](const std::vector<BYTE>& rec) {
        std::string s;
        for (size_t slot = 10; slot <= 13; ++slot) s += std::to_string(nvx::GetLE16(rec.data() + 2 * slot));
        return s;
    };
    std::vector<BYTE> rec(6676, 0);
    struct Case {
        const char* auth;
        const char* track;
        int publicUser;
        const char* signOn;
        const char* slots;
    } cases[] = {
        {"Device", "Password", 1, "ticket", "2111"},
        {"Server", "UserSelection", 0, "", "1100"},
        {"DeviceAndServer", "None", 1, "", "4010"},
        {"MiddleServer", "AccountPassword", 1, "", "0110"},       // no middle server: off
        {"DeviceAndExtServer", "OnWithUserAuthentication", 0, "", "2100"},  // no middle server: the device
        {"None", "None", 0, "x", "0001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.auth);
        WriteProfile(Profile(1, c.auth, c.track, c.publicUser, c.signOn));
        ASSERT_EQ(0u, SheetsInit(printer_, kName, nullptr, rec.data()));
        EXPECT_EQ(c.slots, slots(rec));
    }
    // Nothing recognised: the items are left as they were.
    WriteProfile(Profile(1, "Device", "Password", 1, "ticket"));
    ASSERT_EQ(0u, SheetsInit(printer_, kName, nullptr, rec.data()));
    WriteProfile(Profile(1, "Kiosk", "Sometimes", 0, ""));
    ASSERT_EQ(0u, SheetsInit(printer_, kName, nullptr, rec.data()));
    EXPECT_EQ("2111", slots(rec));
    // A device that fails half-way changes no item.
    WriteProfile(Profile(2, "None", "None", 0, ""));
    Control(R"({"failCode": 1, "failOnly": ["OAPIGetAbbr"]})");
    EXPECT_EQ(16u, SheetsInit(printer_, kName, nullptr, rec.data()));
    EXPECT_EQ("2111", slots(rec));
    // The installed options before the items are not touched.
    for (size_t slot = 0; slot < 10; ++slot) EXPECT_EQ(0u, nvx::GetLE16(rec.data() + 2 * slot)) << slot;
}

TEST_F(AcquisitionTest, ANewGenerationMakesTheOldValuesStaleUntilRefetched) {
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    WriteProfile(Profile(2));
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    auto conf = Cached(Value::OpenApiConf);
    ASSERT_TRUE(conf);
    EXPECT_EQ(2u, nvx::GetLE32(conf->data() + 12));
}

TEST_F(AcquisitionTest, AFailureAtAnyDeviceStepAnswers16AndKeepsTheOldValues) {
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    const auto oldAbbr = Cached(Value::Abbr);
    const auto oldConfiguration = Cached(Value::Configuration);
    ASSERT_TRUE(oldAbbr && oldConfiguration);
    // The device's set-up changes, and then one call fails.
    std::string changed = Profile(7);
    WriteProfile(changed);
    for (const char* function :
         {"OAPIConfigurationCheck", "OAPIAccessInit", "OAPIGetAuthCapability", "OAPIGetPrinterEncryptionSetting",
          "OAPIGetFileInfo", "OAPIGetDevicePermanentSetting", "OAPIGetAbbrConfiguration", "OAPIGetAbbr"}) {
        SCOPED_TRACE(function);
        for (unsigned code : {1u, 2u, 4u, 6u}) {
            Control(R"({"failCode": )" + std::to_string(code) + R"(, "failOnly": [")" + function + R"("]})");
            EXPECT_EQ(16u, SheetsInit(printer_, kName)) << code;
            EXPECT_EQ(oldAbbr, Cached(Value::Abbr));
            EXPECT_EQ(oldConfiguration, Cached(Value::Configuration));
        }
    }
    Control(R"({"unreachable": 1})");
    EXPECT_EQ(16u, SheetsInit(printer_, kName));
    EXPECT_EQ(oldAbbr, Cached(Value::Abbr));
    // Every session that was opened was ended again.
    const std::string log = Log();
    size_t inits = 0, ends = 0;
    for (size_t at = 0; (at = log.find("OAPIAccessInit " + std::string(kAddress) + " 0", at)) != std::string::npos; ++at)
        ++inits;
    for (size_t at = 0; (at = log.find("OAPIAccessEnd", at)) != std::string::npos; ++at) ++ends;
    EXPECT_EQ(inits, ends);
}

TEST_F(AcquisitionTest, SpeedDialsBehindALoginAndMissingListsAreLeftOut) {
    WriteProfile(Profile(1, "Device"));  // speed dials need a login there
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    EXPECT_TRUE(Cached(Value::Configuration));
    EXPECT_FALSE(Cached(Value::Abbr));
    EXPECT_FALSE(Cached(Value::AbbrConfiguration));
    WriteProfile(R"({"configuration": {"port": 1}, "capability": {"authenticationType": "None"}})");
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    EXPECT_FALSE(Cached(Value::EncryptionInfo));  // the device offers no encryption setting
    auto abbr = Cached(Value::Abbr);
    ASSERT_TRUE(abbr);
    EXPECT_EQ(0u, nvx::GetLE32(abbr->data()));
}

TEST_F(AcquisitionTest, APrinterWithoutAnAddressOrArgumentsAsksNoDevice) {
    HANDLE local = AddPrinterAt(WL("Local Fax"), "LPT1:");
    ASSERT_NE(nullptr, local);
    EXPECT_EQ(4u, SheetsInit(local, WL("Local Fax")));
    nvx::model::RegKey key;
    EXPECT_NE(ERROR_SUCCESS, OpenDeviceInfoKey(local, &key, false));
    ClosePrinter(local);
    EXPECT_EQ(1u, SheetsInit(nullptr, kName));
    EXPECT_EQ(1u, SheetsInit(printer_, nullptr));
    EXPECT_EQ(3u, SheetsInit(printer_, WL("No Such Printer")));
    EXPECT_EQ(std::string::npos, Log().find("OAPIConfigurationCheck"));
}

TEST_F(AcquisitionTest, TheSharedCacheSavesTheConfigurationCall) {
    auto create = nvx::ProcAs<void* (*)()>(GetProcAddress(module_, "OAPICom_Create"));
    auto destroy = nvx::ProcAs<U (*)(void*)>(GetProcAddress(module_, "OAPICom_Delete"));
    void* shared = create();
    ASSERT_NE(nullptr, shared);
    ASSERT_EQ(0u, SheetsInit(printer_, kName, shared));
    ASSERT_EQ(0u, SheetsInit(printer_, kName, shared));
    const std::string log = Log();
    EXPECT_EQ(log.find("OAPIConfigurationCheck"), log.rfind("OAPIConfigurationCheck"));
    EXPECT_EQ(1u, destroy(shared));
}

TEST_F(AcquisitionTest, WakeOnCallActsOnceInThreeSecondsAndOnlyWhereThePortAllows) {
    auto wake = nvx::ProcAs<U (*)(UINT*, U, U)>(GetProcAddress(module_, "Bidi_WakeOnCall"));
    EXPECT_EQ(0u, wake(reinterpret_cast<UINT*>(printer_), reinterpret_cast<U>(kName), 0));
    EXPECT_EQ(16u, wake(reinterpret_cast<UINT*>(printer_), reinterpret_cast<U>(kName), 0));
    EXPECT_EQ(std::string::npos, Log().find("OAPIWakeUpDevice"));  // "<BDC>" not set
    // Another printer has its own time; with "<BDC>" allowing it, the device is woken.
    HANDLE other = AddPrinterAt(WL("Other Fax"), (std::string("IP_") + kAddress).c_str());
    ASSERT_NE(nullptr, other);
    DWORD allow = 1;
    ASSERT_EQ(ERROR_SUCCESS, SetPrinterDataW(other, const_cast<LPWSTR>(WL("<BDC>")), REG_DWORD,
                                             reinterpret_cast<BYTE*>(&allow), 4));
    EXPECT_EQ(0u, wake(reinterpret_cast<UINT*>(other), reinterpret_cast<U>(WL("Other Fax")), 0));
    EXPECT_NE(std::string::npos, Log().find(std::string("OAPIWakeUpDevice ") + kAddress + " 0"));
    EXPECT_EQ(16u, wake(nullptr, 0, 0));
    ClosePrinter(other);
}

TEST_F(AcquisitionTest, TheDeviceSheetInitAnswersZeroWhateverItIsGiven) {
    using Fn = U (*)(U, U, U, U, U, U, U, U, U);
    auto fn = nvx::ProcAs<Fn>(GetProcAddress(module_, "Bidi_DevicePropertySheets_Init"));
    EXPECT_EQ(0u, fn(0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(0u, fn(1, 2, 3, 4, 5, 6, 7, 8, 9));
    EXPECT_EQ(0u, fn(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0, 0, 0, 0, 0, 0, 0));
}

}  // namespace
