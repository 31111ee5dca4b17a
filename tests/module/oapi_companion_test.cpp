// The device-API component called directly: what it refuses and how it answers
// where the module's wrappers would not let a call through.
#include <cstring>
#include <vector>

#include "module/oapi_fixture.h"

namespace o = nvx::oapi;

namespace {

class OapiComponentTest : public OapiTest {
protected:
    template <typename Pfn>
    Pfn Fn(const char* name) {
        return reinterpret_cast<Pfn>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(nvx::device::DeviceApiLibrary(), name)));
    }
};

#define FN(name) Fn<PFN_##name>(#name)

TEST_F(OapiComponentTest, RefusesBadArgumentsAndUnknownHandles) {
    Device("192.0.2.10", kDeviceWithUsers);
    BYTE block[o::kCapabilitySize] = {};
    auto check = FN(OAPIConfigurationCheck);
    EXPECT_EQ(check(1.0, o::kClientVersion, "192.0.2.10", nullptr), o::kBadParameter);
    EXPECT_EQ(check(1.0, o::kClientVersion, nullptr, block), o::kBadParameter);
    EXPECT_EQ(check(0.0, o::kClientVersion, "192.0.2.10", block), o::kBadParameter);
    EXPECT_EQ(check(1.0, o::kClientVersion, "192.0.2.77", block), o::kNoAnswer);
    EXPECT_EQ(check(1.0, o::kClientVersion, "../192.0.2.10", block), o::kNoAnswer);  // no way out of the folder

    auto init = FN(OAPIAccessInit);
    EXPECT_EQ(init(1.0, 0, 0, "192.0.2.10", 50004, 1), 0u) << "the device listens on its configured port only";
    OAPIHANDLE h = init(1.0, 0, 0, "192.0.2.10", 50003, 1);
    ASSERT_NE(h, 0u);

    OAPIHANDLE unknown = h + 1000;
    EXPECT_EQ(FN(OAPIGetAuthCapability)(unknown, block), o::kUnknownHandle);
    EXPECT_EQ(FN(OAPILogout)(unknown), o::kUnknownHandle);
    EXPECT_EQ(FN(OAPIAccessEnd)(unknown), o::kUnknownHandle);
    EXPECT_EQ(FN(OAPILogin)(h, nullptr, nullptr, 0, 0, 0), o::kBadParameter);
    EXPECT_EQ(FN(OAPIGetUserBoxList)(h, 0, nullptr), o::kBadParameter);

    // Speed-dial pages must carry the request tag.
    std::vector<BYTE> page(o::kAbbrPageSize);
    EXPECT_EQ(FN(OAPIGetAbbr)(h, 1, page.data()), o::kBadParameter);
    std::memcpy(page.data(), o::kAbbrRequestTag, o::kAbbrRequestTagSize);
    EXPECT_EQ(FN(OAPIGetAbbr)(h, 0, page.data()), o::kBadParameter);
    EXPECT_EQ(FN(OAPIGetAbbr)(h, 1, page.data()), o::kNotLoggedIn);

    // File information: the request's count limits the answer, never the kind's maximum.
    OapiFileInfoRequest request{0, 1, 500, 0};
    std::vector<BYTE> list(o::kTintBlockListSize);
    EXPECT_EQ(FN(OAPIGetFileInfo)(h, 6, &request, list.data()), o::kOk);
    request.version = 2;
    EXPECT_EQ(FN(OAPIGetFileInfo)(h, 6, &request, list.data()), o::kBadParameter);

    // Present in the interface, not offered to this driver.
    EXPECT_EQ(FN(OAPIGetDeviceInfo)(h, block, sizeof block), o::kNotSupported);
    EXPECT_EQ(FN(OAPIGetJobList)(h, block, sizeof block), o::kNotSupported);
    EXPECT_EQ(FN(OAPIGetGammaCorrectionTableForDriver)(h, 0, block, sizeof block), o::kNotSupported);

    EXPECT_EQ(FN(OAPIAccessEnd)(h), o::kOk);
    EXPECT_EQ(FN(OAPIAccessEnd)(h), o::kUnknownHandle);
}

TEST_F(OapiComponentTest, ErrorDetailIsCutToTheCallersBuffer) {
    Device("192.0.2.10", kDeviceWithUsers);
    OAPIHANDLE h = FN(OAPIAccessInit)(1.0, 0, 0, "192.0.2.10", 50003, 1);
    ASSERT_NE(h, 0u);
    OapiLoginRecord wrong{2, "alice", "nope", "SALES", "1234", 0, ""};
    ASSERT_EQ(FN(OAPILogin)(h, &wrong, nullptr, 0, 0, 0), o::kRefusedWithDetail);
    char detail[8];
    std::memset(detail, 'x', sizeof detail);
    EXPECT_EQ(FN(OAPIGetErrorDetail)(h, detail, 5), o::kOk);
    EXPECT_STREQ(detail, "Auth");
    EXPECT_EQ(detail[5], 'x');
    EXPECT_EQ(FN(OAPIGetErrorDetail)(h, nullptr, 5), o::kBadParameter);
    EXPECT_EQ(FN(OAPIGetErrorDetail)(h, detail, 0), o::kBadParameter);

    // A sign-on ticket needs single sign-on on the device.
    const BYTE ticket[] = {1, 2, 3};
    EXPECT_EQ(FN(OAPILogin)(h, nullptr, ticket, sizeof ticket, 0, 0), o::kRefusedWithDetail);
    char full[o::kDetailSize];
    EXPECT_EQ(FN(OAPIGetErrorDetail)(h, full, sizeof full), o::kOk);
    EXPECT_STREQ(full, "AuthNotAllowedAuthSetting");

    // A later success clears the detail.
    OapiLoginRecord right{2, "alice", "wonderland", "SALES", "1234", 0, ""};
    EXPECT_EQ(FN(OAPILogin)(h, &right, nullptr, 0, 0, 0), o::kOk);
    EXPECT_EQ(FN(OAPIGetErrorDetail)(h, full, sizeof full), o::kOk);
    EXPECT_STREQ(full, "");
    FN(OAPIAccessEnd)(h);
}

TEST_F(OapiComponentTest, SampleProfilesAnswer) {
    // The profiles shipped beside the component.
    oapitest::SetEnv("NOVRIX_DEVICE_PROFILES", oapitest::DriverDir() + "/profiles");
    struct {
        const char* address;
        short authType;
    } samples[] = {{"192.0.2.10", 3}, {"192.0.2.20", 1}, {"192.0.2.30", 4}};
    for (const auto& s : samples) {
        nvx::device::Connection* c = nvx::device::OpenConnection(s.address, 1.0);
        EXPECT_EQ(nvx::device::PrepareConnection(c, nullptr), o::kOk) << s.address;
        EXPECT_EQ(nvx::device::AuthTypeOf(c->capability), s.authType) << s.address;
        nvx::device::CleanupConnection(c);
    }
}

}  // namespace
