// Linking the device-API component: all 25 functions or nothing.
#include "module/oapi_fixture.h"

using namespace nvx::device;
namespace o = nvx::oapi;

namespace {

nvx::WString Component(const std::string& folder) { return oapitest::WidePath(folder + "/NOVRIX_O.DLL"); }

class OapiLinkTest : public PlatformTest {
protected:
    void TearDown() override {
        UnlinkDeviceApi();
        DeleteDeviceApiLock();
        PlatformTest::TearDown();
    }
};

TEST_F(OapiLinkTest, LinksEveryFunctionAndUnlinks) {
    InitDeviceApiLock();
    InitDeviceApiLock();  // a second creation changes nothing
    EXPECT_FALSE(DeviceApiLinked());
    EXPECT_FALSE(LinkDeviceApi(nullptr));
    EXPECT_FALSE(LinkDeviceApi(WL("")));
    EXPECT_FALSE(LinkDeviceApi(Component(oapitest::DriverDir() + "/no-such-folder").c_str()));
    EXPECT_FALSE(DeviceApiLinked());

    ASSERT_TRUE(LinkDeviceApi(Component(oapitest::DriverDir()).c_str()));
    EXPECT_TRUE(DeviceApiLinked());
    HMODULE library = DeviceApiLibrary();
    ASSERT_NE(library, nullptr);
    for (int i = 0; i < o::kFunctionCount; ++i) EXPECT_NE(DeviceApiProc(static_cast<o::Fn>(i)), nullptr) << i;
    EXPECT_EQ(DeviceApiProc(o::Fn::kCount), nullptr);
    EXPECT_TRUE(LinkDeviceApi(Component(oapitest::DriverDir()).c_str()));  // already linked: same library
    EXPECT_EQ(DeviceApiLibrary(), library);

    UnlinkDeviceApi();
    EXPECT_FALSE(DeviceApiLinked());
    EXPECT_EQ(DeviceApiProc(o::Fn::k_OAPILogin), nullptr);
    EXPECT_EQ(OpenConnection("192.0.2.10", 1.0), nullptr);
    EXPECT_EQ(WakeUpDevice("192.0.2.10"), o::kNoAnswer);
    AccessWarmUp();  // nothing to call: no crash
    UnlinkDeviceApi();
    DeleteDeviceApiLock();
    DeleteDeviceApiLock();
}

TEST_F(OapiLinkTest, ComponentWithOneFunctionMissingIsUnloaded) {
    InitDeviceApiLock();
    ASSERT_EQ(GetModuleHandleW(WL("NOVRIX_O.DLL")), nullptr);
    EXPECT_FALSE(LinkDeviceApi(Component(NVX_OAPI_MISSING_DIR).c_str()));
    EXPECT_FALSE(DeviceApiLinked());
    EXPECT_EQ(DeviceApiLibrary(), nullptr);
    EXPECT_EQ(GetModuleHandleW(WL("NOVRIX_O.DLL")), nullptr) << "the incomplete component stays loaded";
    for (int i = 0; i < o::kFunctionCount; ++i) EXPECT_EQ(DeviceApiProc(static_cast<o::Fn>(i)), nullptr) << i;
    EXPECT_EQ(OpenConnection("192.0.2.10", 1.0), nullptr);
    CleanupConnection(nullptr);  // ignored

    // The complete component links afterwards.
    EXPECT_TRUE(LinkDeviceApi(Component(oapitest::DriverDir()).c_str()));
    EXPECT_NE(GetModuleHandleW(WL("NOVRIX_O.DLL")), nullptr);
}

}  // namespace
