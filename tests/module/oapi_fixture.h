// Fixture of the device-API tests: a private profiles folder for the device-API
// component, the component linked from the driver folder, and small helpers to
// describe devices and read their call logs.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "common/text.h"
#include "device/oapi_link.h"
#include "support/platform_test.h"

namespace oapitest {

inline void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnv(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

// The folder the tests find the component in.
inline std::string DriverDir() {
    const char* dir = std::getenv("NOVRIX_DRIVER_DIR");
    return dir ? dir : "";
}

inline nvx::WString WidePath(const std::string& utf8) { return nvx::WFromUtf8(utf8); }

}  // namespace oapitest

class OapiTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        profiles_ = nvxtest::MakeTempDir("profiles");
        oapitest::SetEnv("NOVRIX_DEVICE_PROFILES", profiles_);
        nvx::device::InitDeviceApiLock();
        ASSERT_TRUE(nvx::device::LinkDeviceApi(
            oapitest::WidePath(oapitest::DriverDir() + "/NOVRIX_O.DLL").c_str()));
    }
    void TearDown() override {
        nvx::device::UnlinkDeviceApi();
        nvx::device::DeleteDeviceApiLock();
        oapitest::UnsetEnv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(profiles_);
        PlatformTest::TearDown();
    }

    // Writes the profile of the device at address; every device logs to "<address>.log".
    void Device(const std::string& address, const std::string& membersJson) {
        std::ofstream(profiles_ + "/" + address + ".json")
            << "{\"behaviour\": {\"log\": \"" << address << ".log\"}" << (membersJson.empty() ? "" : ", ")
            << membersJson << "}";
    }
    // Overrides the device's behaviour until changed again (the control file).
    void Control(const std::string& address, const std::string& behaviourJson) {
        std::ofstream(profiles_ + "/" + address + ".control.json") << behaviourJson;
    }
    // The device's call log so far.
    std::string Log(const std::string& address) const {
        std::ifstream in(profiles_ + "/" + address + ".log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // How many log lines begin with the function's name.
    int Calls(const std::string& address, const std::string& function) const {
        std::istringstream lines(Log(address));
        int n = 0;
        for (std::string line; std::getline(lines, line);) n += line.rfind(function + " ", 0) == 0;
        return n;
    }

    std::string profiles_;
};

// A device that asks users to log in, with one user and one department.
inline const char* kDeviceWithUsers = R"(
  "configuration": {"port": 50003, "flag": 1, "signOnData": "", "cached": "host.example.test"},
  "capability": {"authenticationType": "Device", "accountTrackType": "AccountPassword", "publicUser": 0,
                 "updateCount": 7},
  "users": [{"name": "alice", "password": "wonderland"}],
  "accounts": [{"name": "SALES", "password": "1234"}],
  "encryption": {"keyKind": "UserDefined", "passphrase": "OpenSesame"})";
