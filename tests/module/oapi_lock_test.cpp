// The device-API lock: two threads never meet inside the component.
#include <thread>

#include "module/oapi_fixture.h"

using namespace nvx::device;
namespace o = nvx::oapi;

namespace {

// Starts two threads together: each says it is ready, and both go when the
// starter has heard from both.  Win32 events, not std::latch: the Windows
// build's C++ runtime has no native atomic wait, and its fallback checks the
// latch before it takes its lock and wakes waiters without taking it, so a
// waiter that checks just before the last arrival sleeps for ever.
class StartTogether {
public:
    StartTogether()
        : go_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          ready_{CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr)} {}
    ~StartTogether() {
        for (HANDLE h : {go_, ready_[0], ready_[1]})
            if (h) CloseHandle(h);
    }
    StartTogether(const StartTogether&) = delete;
    StartTogether& operator=(const StartTogether&) = delete;
    bool ok() const { return go_ && ready_[0] && ready_[1]; }
    // In thread `which` (0 or 1): ready, then wait for the start.
    void Arrive(int which) const {
        SetEvent(ready_[which]);
        WaitForSingleObject(go_, INFINITE);
    }
    // In the starting thread: both are ready, then both go.
    void Start() const {
        WaitForSingleObject(ready_[0], INFINITE);
        WaitForSingleObject(ready_[1], INFINITE);
        SetEvent(go_);
    }

private:
    HANDLE go_;
    HANDLE ready_[2];
};

TEST_F(OapiTest, LockSerialisesCallsFromTwoThreads) {
    Device("192.0.2.10", std::string(kDeviceWithUsers) + R"(, "behaviour": {"log": "192.0.2.10.log", "delayMs": 15})");
    StartTogether start;
    ASSERT_TRUE(start.ok());
    auto job = [&](int which) {
        start.Arrive(which);
        for (int round = 0; round < 3; ++round) {
            OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};
            Connection* c = OpenConnection("192.0.2.10", 1.0);
            EXPECT_EQ(PrepareConnection(c, nullptr), o::kOk);
            EXPECT_EQ(Login(c, &login, nullptr, 0, 0, 0), o::kOk);
            CleanupConnection(c);
        }
    };
    std::thread a(job, 0), b(job, 1);
    start.Start();
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
    StartTogether start;
    ASSERT_TRUE(start.ok());
    auto job = [&](int which) {
        start.Arrive(which);
        EXPECT_EQ(wake("192.0.2.10"), o::kOk);
    };
    std::thread a(job, 0), b(job, 1);
    start.Start();
    a.join();
    b.join();
    EXPECT_NE(Log("192.0.2.10").find("overlap"), std::string::npos) << Log("192.0.2.10");
}

}  // namespace
