// The module's device-API exports: shared cache, cleanup, authentication type, sizes.
#include <cstring>

#include "common/le.h"
#include "common/text.h"
#include "frame/exports.h"
#include "module/oapi_fixture.h"

using namespace nvx::device;
namespace o = nvx::oapi;

namespace {

// The export takes a pointer to the UTF-16 text.
short AuthType(const char* text) {
    nvx::WString wide;
    for (const char* p = text; *p; ++p) wide += static_cast<WCHAR>(static_cast<unsigned char>(*p));
    WCHAR* at = wide.data();
    return OAPI_GetAuthType(&at);
}

TEST(OapiExports, AuthTypeMapsExactlyTheSixTexts) {
    EXPECT_EQ(AuthType("None"), 1);
    EXPECT_EQ(AuthType("Server"), 2);
    EXPECT_EQ(AuthType("Device"), 3);
    EXPECT_EQ(AuthType("MiddleServer"), 4);
    EXPECT_EQ(AuthType("DeviceAndServer"), 5);
    EXPECT_EQ(AuthType("DeviceAndExtServer"), 6);
    for (const char* nearMiss : {"", "none", "NONE", "Device ", " Device", "Devic", "DeviceAnd", "MiddleServers",
                                 "DeviceAndExtServer2", "Server\n", "Unknown"})
        EXPECT_EQ(AuthType(nearMiss), 0) << '"' << nearMiss << '"';
    EXPECT_EQ(OAPI_GetAuthType(nullptr), 0);
    WCHAR* none = nullptr;
    EXPECT_EQ(OAPI_GetAuthType(&none), 0);
    // Wide near misses: a character beyond the byte range that narrows to a letter.
    WCHAR device[] = {'D', 'e', 'v', 'i', 'c', static_cast<WCHAR>(0x0165), 0};
    WCHAR* at = device;
    EXPECT_EQ(OAPI_GetAuthType(&at), 0);

    // From a capability block: the text at 16, cut at its field's end.
    BYTE capability[o::kCapabilitySize] = {};
    std::memcpy(capability + o::kCapAuthType, "DeviceAndServer", 15);
    EXPECT_EQ(AuthTypeOf(capability), 5);
    std::memset(capability + o::kCapAuthType, 'A', o::kCapAuthTypeSize);
    EXPECT_EQ(AuthTypeOf(capability), 0);
    EXPECT_EQ(AuthTypeOf(nullptr), 0);
}

TEST(OapiExports, ListSizes) {
    EXPECT_EQ(OAPI_Sizeof_HeaderFooter(), 20004u);
    EXPECT_EQ(OAPI_Sizeof_OverlayList(), 18404u);
}

TEST(OapiExports, SharedCacheLayoutAndDelete) {
    auto* p = static_cast<BYTE*>(OAPICom_Create());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(nvx::GetLE64(p), 2984u);
    EXPECT_EQ(nvx::GetLE64(p + 8), reinterpret_cast<uintptr_t>(p + 48));
    EXPECT_EQ(nvx::GetLE32(p + 16), 0u);
    EXPECT_EQ(nvx::GetLE64(p + 24), reinterpret_cast<uintptr_t>(p + 392));
    EXPECT_EQ(nvx::GetLE32(p + 32), 0u);
    EXPECT_EQ(nvx::GetLE64(p + 40), reinterpret_cast<uintptr_t>(p + 1200));
    size_t nonZero = 0;
    for (size_t i = 48; i < 2984; ++i) nonZero += p[i] != 0;
    EXPECT_EQ(nonZero, 0u);

    EXPECT_EQ(OAPICom_Delete(p), 1u);
    EXPECT_EQ(OAPICom_Delete(nullptr), 0u);
    BYTE notACache[2984] = {};
    SetLastError(0);
    EXPECT_EQ(OAPICom_Delete(notACache), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(OapiTest, CleanupLogsOutAndEndsAccess) {
    Device("192.0.2.10", kDeviceWithUsers);
    OAPI_AccessWarmUp();
    OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};

    Connection* c = OpenConnection("192.0.2.10", 3.0);
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(PrepareConnection(c, nullptr), o::kOk);
    ASSERT_EQ(Login(c, &login, nullptr, 0, 0, 0), o::kOk);
    OAPI_Cleanup(reinterpret_cast<UINT_PTR>(c));
    EXPECT_EQ(Calls("192.0.2.10", "OAPILogout"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 1);
    EXPECT_FALSE(IsConnection(c));

    // Not logged in: access ends, no logout.
    c = OpenConnection("192.0.2.10", 3.0);
    ASSERT_EQ(PrepareConnection(c, nullptr), o::kOk);
    OAPI_Cleanup(reinterpret_cast<UINT_PTR>(c));
    EXPECT_EQ(Calls("192.0.2.10", "OAPILogout"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 2);

    // Never reached the device: nothing is sent.
    OAPI_Cleanup(reinterpret_cast<UINT_PTR>(OpenConnection("192.0.2.10", 3.0)));
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 2);

    // Null, freed and made-up connections are ignored.
    OAPI_Cleanup(0);
    OAPI_Cleanup(reinterpret_cast<UINT_PTR>(c));
    Connection fake{};
    fake.access = 0x4E4F000000000001ull;
    fake.loggedIn = 1;
    OAPI_Cleanup(reinterpret_cast<UINT_PTR>(&fake));
    EXPECT_EQ(Calls("192.0.2.10", "OAPILogout"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 2);
}

TEST_F(OapiTest, DeletingACacheEndsItsKeptConnection) {
    Device("192.0.2.10", kDeviceWithUsers);
    OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};
    auto* cache = static_cast<SharedCache*>(OAPICom_Create());
    Connection* kept = OpenKeptConnection(cache, "192.0.2.10", 3.0);
    ASSERT_EQ(reinterpret_cast<BYTE*>(kept), cache->connection);
    ASSERT_EQ(PrepareConnection(kept, cache), o::kOk);
    ASSERT_EQ(Login(kept, &login, nullptr, 0, 0, 0), o::kOk);
    EXPECT_EQ(OAPICom_Delete(cache), 1u);
    EXPECT_EQ(Calls("192.0.2.10", "OAPILogout"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 1);
}

}  // namespace
