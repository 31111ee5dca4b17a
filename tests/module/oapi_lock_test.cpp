// The device-API lock: two threads never meet inside the component.
#include <latch>
#include <thread>

#include "module/oapi_fixture.h"

using namespace nvx::device;
namespace o = nvx::oapi;

namespace {

TEST_F(OapiTest, LockSerialisesCallsFromTwoThreads) {
    Device("192.0.2.10", std::string(kDeviceWithUsers) + R"(, "behaviour": {"log": "192.0.2.10.log", "delayMs": 15})");
    std::latch start(2);
    auto job = [&] {
        start.arrive_and_wait();
        for (int round = 0; round < 3; ++round) {
            OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};
            Connection* c = OpenConnection("192.0.2.10", 1.0);
            EXPECT_EQ(PrepareConnection(c, nullptr), o::kOk);
            EXPECT_EQ(Login(c, &login, nullptr, 0, 0, 0), o::kOk);
            CleanupConnection(c);
        }
    };
    std::thread a(job), b(job);
    a.join();
    b.join();
    EXPECT_EQ(Calls("192.0.2.10", "OAPILogin"), 6);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 6);
    EXPECT_EQ(Log("192.0.2.10").find("overlap"), std::string::npos) << Log("192.0.2.10");
}

TEST_F(OapiTest, WithoutTheLockCallsOverlap) {
    // The component's own overlap mark works: calling it around the lock shows it.
    Device("192.0.2.10", std::string(kDeviceWithUsers) + R"(, "behaviour": {"log": "192.0.2.10.log", "delayMs": 200})");
    auto wake = reinterpret_cast<PFN_OAPIWakeUpDevice>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(DeviceApiLibrary(), "OAPIWakeUpDevice")));
    ASSERT_NE(wake, nullptr);
    std::latch start(2);
    auto job = [&] {
        start.arrive_and_wait();
        EXPECT_EQ(wake("192.0.2.10"), o::kOk);
    };
    std::thread a(job), b(job);
    a.join();
    b.join();
    EXPECT_NE(Log("192.0.2.10").find("overlap"), std::string::npos) << Log("192.0.2.10");
}

}  // namespace
