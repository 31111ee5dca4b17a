// The simulated device on the network: the module's acquisition reaching the
// simulator on a free loopback port through the device-API stand-in, and every
// fault the simulator can inject, at every step.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "common/le.h"
#include "common/proc.h"
#include "device/device_answers.h"
#include "device/device_info_cache.h"
#include "device/oapi.h"
#include "device/password_cipher.h"
#include "device_server.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/thread_count.h"

namespace {

using namespace nvx::device;
using info::Value;
using U = UINT_PTR;
namespace oapi = nvx::oapi;

constexpr const char* kDevice = "192.0.2.77";  // a profile that names the simulator
constexpr const WCHAR* kName = WL("Network Fax");

std::string Profile(int generation) {
    return R"({"configuration": {"port": 50003, "flag": 1, "generation": )" + std::to_string(generation) +
           R"(}, "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
  "encryption": {"keyKind": "FactoryDefault", "passphrase": ""},
  "blocks": {"abbr": [{"number": 1, "name": "Head office", "kind": "Fax", "faxNumber": "0312345678"}],
             "fileInfo.9": [{"number": 1, "name": "Letterhead", "paper": "A4"}]}})";
}

class DeviceSimulatorTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        folder_ = nvxtest::MakeTempDir("simulator");
        profiles_ = folder_ + "/profiles";
        ASSERT_EQ(0, system(("mkdir -p '" + profiles_ + "'").c_str()));
        setenv("NOVRIX_DEVICE_PROFILES", profiles_.c_str(), 1);
        served_ = folder_ + "/device.json";
        std::ofstream(served_) << Profile(1);
        StartServer({});
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        printer_ = AddPrinterAt(kName, std::string("IP_") + kDevice);
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        if (module_) FreeLibrary(module_);
        server_.reset();
        unsetenv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(folder_);
        PlatformTest::TearDown();
    }
    void StartServer(std::map<std::string, std::string> faults) {
        server_.reset();
        server_ = std::make_unique<nvxo::DeviceServer>();
        nvxo::ServerOptions options;
        options.profile = served_;
        options.faults = std::move(faults);
        std::string error;
        ASSERT_TRUE(server_->Start(options, &error)) << error;
        ASSERT_NE(0, server_->Port());
        std::ofstream(profiles_ + "/" + kDevice + ".json")
            << R"({"remote": {"address": "127.0.0.1:)" << server_->Port() << R"(", "timeoutMs": 400}})";
    }
    static HANDLE AddPrinterAt(const WCHAR* name, const std::string& port) {
        nvx::WString wport = nvx::WFromUtf8(port);
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(name);
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = wport.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        return nvxtest::AddTestPrinter(info);
    }
    U SheetsInit(HANDLE printer, const WCHAR* name) const {
        auto fn = nvx::ProcAs<U (*)(U, U, U, U, U, U)>(GetProcAddress(module_, "Bidi_DocumentPropertySheets_Init"));
        return fn(reinterpret_cast<U>(printer), reinterpret_cast<U>(name), 0, 0, 0, 0);
    }
    std::optional<std::vector<BYTE>> Cached(HANDLE printer, Value value) const {
        nvx::model::RegKey key;
        if (OpenDeviceInfoKey(printer, &key, false) != ERROR_SUCCESS) return std::nullopt;
        // The sample model enciphers with AES under key number 3 and model number 57.
        const PasswordCipher sampleCipher({CipherMode::Aes, 3, 57, std::nullopt});
        return DeviceInfoCache(nvx::model::ValueStore::OfKey(key.get()), sampleCipher).Read(value);
    }

    nvxtest::DriverCopy driver_;
    std::string folder_, profiles_, served_;
    std::unique_ptr<nvxo::DeviceServer> server_;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
};

TEST_F(DeviceSimulatorTest, TheAcquisitionReachesTheSimulatorOnTheLoopback) {
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    EXPECT_GT(server_->Calls(), 8u);
    auto abbr = Cached(printer_, Value::Abbr);
    ASSERT_TRUE(abbr);
    EXPECT_EQ("Head office", answers::FieldText(*abbr, 4 + oapi::kAbbrName, oapi::kAbbrNameSize));
    auto overlay = Cached(printer_, Value::Overlay);
    ASSERT_TRUE(overlay);
    EXPECT_EQ("Letterhead", answers::FieldText(*overlay, 4 + oapi::kOvlName, oapi::kOvlNameSize));
    auto conf = Cached(printer_, Value::Configuration);
    ASSERT_TRUE(conf);
    EXPECT_EQ(50003u, nvx::GetLE16(conf->data()));
}

TEST_F(DeviceSimulatorTest, APrinterAtTheSimulatorsOwnAddressNeedsNoProfile) {
    const std::string address = "127.0.0.1:" + std::to_string(server_->Port());
    HANDLE direct = AddPrinterAt(WL("Direct Fax"), "IP_" + address);
    ASSERT_NE(nullptr, direct);
    EXPECT_EQ(0u, SheetsInit(direct, WL("Direct Fax")));
    EXPECT_TRUE(Cached(direct, Value::Abbr));
    // Only the loopback is ever reached: another host is a device without a profile.
    HANDLE elsewhere = AddPrinterAt(WL("Elsewhere Fax"), "IP_198.51.100.1:" + std::to_string(server_->Port()));
    ASSERT_NE(nullptr, elsewhere);
    const uint64_t before = server_->Calls();
    EXPECT_EQ(16u, SheetsInit(elsewhere, WL("Elsewhere Fax")));
    EXPECT_EQ(before, server_->Calls());
    ClosePrinter(direct);
    ClosePrinter(elsewhere);
}

TEST_F(DeviceSimulatorTest, EveryFaultAtEveryStepIsSurvivedAndKeepsTheCache) {
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    const auto oldAbbr = Cached(printer_, Value::Abbr);
    const auto oldConf = Cached(printer_, Value::OpenApiConf);
    ASSERT_TRUE(oldAbbr && oldConf);
    std::ofstream(served_) << Profile(2);  // the device changed: a new generation
    server_.reset();
    const int threads = nvxtest::SettledThreadCount();  // the test's own, without a simulator
    for (const char* fn : {"OAPIConfigurationCheck", "OAPIAccessInit", "OAPIGetAuthCapability",
                           "OAPIGetPrinterEncryptionSetting", "OAPIGetFileInfo", "OAPIGetAbbr"}) {
        for (const char* fault : {"noanswer", "refuse", "drop", "malformed", "busy:1"}) {
            SCOPED_TRACE(std::string(fn) + " " + fault);
            StartServer({{fn, fault}});
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(16u, SheetsInit(printer_, kName));
            const auto took = std::chrono::steady_clock::now() - started;
            EXPECT_LT(took, std::chrono::seconds(30));  // every wait is bounded: none hangs
            EXPECT_EQ(oldAbbr, Cached(printer_, Value::Abbr));
            EXPECT_EQ(oldConf, Cached(printer_, Value::OpenApiConf));
        }
    }
    server_.reset();
    EXPECT_EQ(threads, nvxtest::ThreadCountSettlesAt(threads));  // no call left a thread behind
    StartServer({});
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    EXPECT_EQ(2u, nvx::GetLE32(Cached(printer_, Value::OpenApiConf)->data() + 12));
}

TEST_F(DeviceSimulatorTest, ABusyDeviceAnswersAfterItsBusyCallsAndADelayWithinTheTimeoutIsWaitedFor) {
    StartServer({{"OAPIGetAuthCapability", "busy:2"}, {"OAPIGetAbbr", "delay:100"}});
    EXPECT_EQ(16u, SheetsInit(printer_, kName));
    EXPECT_EQ(16u, SheetsInit(printer_, kName));
    EXPECT_EQ(0u, SheetsInit(printer_, kName));
    EXPECT_TRUE(Cached(printer_, Value::Abbr));
}

TEST_F(DeviceSimulatorTest, FaultsComeFromTheProfileToo) {
    std::string profile = Profile(1);
    profile.insert(1, R"("faults": {"OAPIGetFileInfo": "malformed"}, )");
    std::ofstream(served_) << profile;
    EXPECT_EQ(16u, SheetsInit(printer_, kName));
    std::ofstream(served_) << Profile(1);  // read afresh on every call
    EXPECT_EQ(0u, SheetsInit(printer_, kName));
}

TEST_F(DeviceSimulatorTest, WithTheSimulatorStoppedTheCacheStillReads) {
    ASSERT_EQ(0u, SheetsInit(printer_, kName));
    server_->Stop();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(16u, SheetsInit(printer_, kName));  // connection refused
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_TRUE(Cached(printer_, Value::Abbr));
}

TEST_F(DeviceSimulatorTest, TwoSheetsOfThePrinterAcquiringAtOnceLeaveAConsistentCache) {
    std::ofstream(served_) << Profile(5);
    U first = 99, second = 99;
    std::thread other([&] { second = SheetsInit(printer_, kName); });
    first = SheetsInit(printer_, kName);
    other.join();
    EXPECT_EQ(0u, first);
    EXPECT_EQ(0u, second);
    for (Value value : {Value::Configuration, Value::OpenApiConf, Value::AuthCapability, Value::Overlay, Value::Abbr})
        EXPECT_TRUE(Cached(printer_, value)) << static_cast<int>(value);
    EXPECT_EQ(5u, nvx::GetLE32(Cached(printer_, Value::OpenApiConf)->data() + 12));
}

// The component's calls one by one over the network: a session, a refused login
// with its detail text, a login, a call that needs it, the end of the session.
TEST_F(DeviceSimulatorTest, SessionsLoginsAndDetailTextsLiveInTheSimulator) {
    std::ofstream(served_) << R"({"configuration": {"port": 7},
      "capability": {"authenticationType": "Device", "accountTrackType": "None"},
      "users": [{"name": "alice", "password": "wonderland", "enabled": 1}],
      "blocks": {"userBoxList": [{"number": 4, "name": "Scans"}]}})";
    nvx::WString path = driver_.WidePath("NOVRIX_O.DLL");
    HMODULE component = LoadLibraryW(path.c_str());
    ASSERT_NE(nullptr, component);
    auto init = nvx::ProcAs<PFN_OAPIAccessInit>(GetProcAddress(component, "OAPIAccessInit"));
    auto login = nvx::ProcAs<PFN_OAPILogin>(GetProcAddress(component, "OAPILogin"));
    auto detail = nvx::ProcAs<PFN_OAPIGetErrorDetail>(GetProcAddress(component, "OAPIGetErrorDetail"));
    auto boxes = nvx::ProcAs<PFN_OAPIGetUserBoxList>(GetProcAddress(component, "OAPIGetUserBoxList"));
    auto end = nvx::ProcAs<PFN_OAPIAccessEnd>(GetProcAddress(component, "OAPIAccessEnd"));
    OAPIHANDLE handle = init(3.5, 0, 0, kDevice, 6, 0);
    EXPECT_EQ(0u, handle) << "the device listens on its configured port only";
    handle = init(3.5, 0, 0, kDevice, 7, 0);
    ASSERT_NE(0u, handle);
    OapiLoginRecord record{2, "alice", "rabbit", "", "", 0, ""};
    EXPECT_EQ(oapi::kRefusedWithDetail, login(handle, &record, nullptr, 0, 0, 0));
    char text[64] = "x";
    EXPECT_EQ(0u, detail(handle, text, sizeof text));
    EXPECT_STREQ("AuthIllegalPassword", text);
    std::vector<BYTE> list(oapi::kUserBoxListSize, 0xEE);
    EXPECT_EQ(oapi::kNotLoggedIn, boxes(handle, 0, list.data()));
    record.password = "wonderland";
    EXPECT_EQ(0u, login(handle, &record, nullptr, 0, 0, 0));
    EXPECT_EQ(0u, boxes(handle, 0, list.data()));
    EXPECT_EQ(1u, nvx::GetLE32(list.data()));
    EXPECT_EQ(4u, nvx::GetLE32(list.data() + 4));
    EXPECT_EQ(0u, end(handle));
    EXPECT_EQ(oapi::kUnknownHandle, end(handle));
    FreeLibrary(component);
}

TEST(DeviceServerOptions, OnlyTheLoopbackKnownFaultsAndAReadableProfileStart) {
    nvxo::DeviceServer server;
    std::string error;
    nvxo::ServerOptions options;
    options.profile = "/nonexistent/device.json";
    EXPECT_FALSE(server.Start(options, &error));
    EXPECT_NE(std::string::npos, error.find("cannot read the profile"));
    options.host = "0.0.0.0";
    EXPECT_FALSE(server.Start(options, &error));
    EXPECT_NE(std::string::npos, error.find("loopback"));
    EXPECT_TRUE(nvxo::ValidFault("delay:250"));
    EXPECT_TRUE(nvxo::ValidFault("busy:3"));
    EXPECT_FALSE(nvxo::ValidFault("delay:"));
    EXPECT_FALSE(nvxo::ValidFault("busy:-1"));
    EXPECT_FALSE(nvxo::ValidFault("sometimes"));
}

}  // namespace
