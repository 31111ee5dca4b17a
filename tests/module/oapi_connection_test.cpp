// Device connections: the conversation, the shared cache, failures and bounded answers.
#include <chrono>
#include <cstring>
#include <vector>

#include "common/le.h"
#include "module/oapi_fixture.h"

using namespace nvx::device;
namespace o = nvx::oapi;

namespace {

std::string Text(const BYTE* block, size_t at) { return reinterpret_cast<const char*>(block + at); }

TEST_F(OapiTest, ConversationUsesAndFillsTheSharedCache) {
    Device("192.0.2.10", kDeviceWithUsers);
    SharedCache* cache = CreateSharedCache();
    Connection* c = OpenConnection("192.0.2.10", 3.5);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->address, "192.0.2.10");
    EXPECT_EQ(c->library, DeviceApiLibrary());
    EXPECT_EQ(c->apiVersion, 3.5);

    ASSERT_EQ(PrepareConnection(c, cache), o::kOk);
    EXPECT_EQ(c->port, 50003);
    EXPECT_EQ(c->flag, 1);
    EXPECT_NE(c->access, 0u);
    EXPECT_EQ(Text(c->configuration, o::kConfCached), "host.example.test");
    EXPECT_EQ(AuthTypeOf(c->capability), 3);
    EXPECT_EQ(Text(c->capability, o::kCapAccountTrack), "AccountPassword");
    EXPECT_EQ(c->capability[o::kCapPublicUser], 0);
    EXPECT_EQ(nvx::GetLE32(c->capability + o::kCapUpdateCount), 7u);
    EXPECT_EQ(cache->configurationHeld, 1u);
    EXPECT_EQ(cache->capabilityHeld, 1u);
    EXPECT_EQ(std::memcmp(cache->configuration, c->configuration, o::kConfigurationSize), 0);
    EXPECT_EQ(std::memcmp(cache->capability, c->capability, o::kCapabilitySize), 0);

    // Logins: the device's code and detail text come back.
    struct {
        OapiLoginRecord record;
        DWORD code;
        const char* detail;
    } logins[] = {
        {{2, "alice", "nope", "SALES", "1234", 0, ""}, 4, "AuthIllegalPassword"},
        {{2, "mallory", "x", "SALES", "1234", 0, ""}, 4, "AuthIllegalAccount"},
        {{0, nullptr, nullptr, "SALES", "1234", 0, ""}, 4, "AuthAccessDenied"},
        {{2, "alice", "wonderland", "SALES", "4321", 0, ""}, 4, "AuthIllegalPasswordTrack"},
        {{2, "alice", "wonderland", "LAB", "", 0, ""}, 4, "AuthNotFoundTrack"},
        {{7, "alice", "wonderland", "SALES", "1234", 0, ""}, 2, ""},
        {{2, "alice", "wonderland", "SALES", "1234", 0, ""}, 0, ""},
    };
    for (const auto& l : logins) {
        EXPECT_EQ(Login(c, &l.record, nullptr, 0, 0, 0), l.code) << l.detail;
        EXPECT_EQ(c->lastCode, l.code);
        EXPECT_STREQ(c->detail, l.detail);
        EXPECT_EQ(c->loggedIn, l.code == 0 ? 1u : 0u);
    }
    BYTE encryption[o::kEncryptionSettingSize];
    ASSERT_EQ(GetPrinterEncryptionSettingForDriver(c, 0, encryption, sizeof encryption), o::kOk);
    EXPECT_EQ(Text(encryption, o::kEncKeyKind), "UserDefined");
    EXPECT_EQ(Text(encryption, o::kEncPassphrase), "OpenSesame");
    CleanupConnection(c);

    // A second connection of the same job asks neither configuration nor capability again.
    c = OpenConnection("192.0.2.10", 3.5);
    ASSERT_EQ(PrepareConnection(c, cache), o::kOk);
    EXPECT_EQ(c->port, 50003);
    EXPECT_EQ(AuthTypeOf(c->capability), 3);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIConfigurationCheck"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIGetAuthCapability"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessInit"), 2);
    CleanupConnection(c);
    EXPECT_TRUE(DeleteSharedCache(cache));
}

TEST_F(OapiTest, FailuresOnDemand) {
    Device("192.0.2.10", kDeviceWithUsers);
    Device("192.0.2.11", R"("configuration": {"port": 1, "refused": 1})");
    SharedCache* cache = CreateSharedCache();

    // Addresses: none, too long, unknown.
    EXPECT_EQ(OpenConnection(nullptr, 1.0), nullptr);
    EXPECT_EQ(OpenConnection("", 1.0), nullptr);
    EXPECT_EQ(OpenConnection(std::string(64, '1').c_str(), 1.0), nullptr);
    Connection* c = OpenConnection("192.0.2.99", 1.0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(PrepareConnection(c, cache), o::kNoAnswer);
    EXPECT_EQ(cache->configurationHeld, 0u);
    CleanupConnection(c);

    // The configuration's refusal byte.
    c = OpenConnection("192.0.2.11", 1.0);
    EXPECT_EQ(PrepareConnection(c, cache), o::kConfigurationRefused);
    EXPECT_EQ(c->access, 0u);
    EXPECT_EQ(cache->configurationHeld, 0u);
    CleanupConnection(c);

    // Unreachable, then reachable again.
    Control("192.0.2.10", R"({"unreachable": true})");
    c = OpenConnection("192.0.2.10", 1.0);
    EXPECT_EQ(PrepareConnection(c, nullptr), o::kNoAnswer);
    Control("192.0.2.10", R"({"unreachable": false})");
    EXPECT_EQ(PrepareConnection(c, nullptr), o::kOk);

    // Refused logins with the device's detail; a busy capability call.
    Control("192.0.2.10", R"({"refuseLogin": "AuthServerBusy"})");
    OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};
    EXPECT_EQ(Login(c, &login, nullptr, 0, 0, 0), o::kRefusedWithDetail);
    EXPECT_STREQ(c->detail, "AuthServerBusy");
    Control("192.0.2.10", R"({"failCode": 6, "failOnly": ["OAPIGetAuthCapability"]})");
    EXPECT_EQ(Login(c, &login, nullptr, 0, 0, 0), o::kOk);
    EXPECT_EQ(ReadCapability(c, nullptr), o::kBusy);
    EXPECT_STREQ(c->detail, "");
    CleanupConnection(c);

    // A slow device answers after its delay.
    Control("192.0.2.10", R"({"delayMs": 120})");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WakeUpDevice("192.0.2.10"), o::kOk);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
    EXPECT_EQ(WakeUpDevice(std::string(64, 'a').c_str()), o::kBadParameter);
    EXPECT_TRUE(DeleteSharedCache(cache));
}

// Lists of n entries whose names are "E<i>".
std::string Entries(int n, const std::string& extra = "") {
    std::string s = "[";
    for (int i = 1; i <= n; ++i) {
        if (i > 1) s += ',';
        s.append("{\"number\": ").append(std::to_string(i)).append(", \"name\": \"E");
        s.append(std::to_string(i)).append("\"").append(extra).append("}");
    }
    s += ']';
    return s;
}

TEST_F(OapiTest, AnswersStayInsideTheirBlocks) {
    Device("192.0.2.10", std::string(kDeviceWithUsers) + R"(, "blocks": {
        "fileInfo.8": )" + Entries(25, ", \"state\": \"On\"") + R"(,
        "fileInfo.9": )" + Entries(3, ", \"paper\": \"A4\"") + R"(,
        "abbr": )" + Entries(250, ", \"kind\": \"Fax\", \"faxNumber\": \"0123\", \"bytes242\": \"0a0b0c0d\"") + R"(,
        "permanent.5": {"hex": "01 02 03", "fields": [{"at": 5362, "u16": 258}, {"at": 5363, "u32": 4294967295}]}
    })");
    Connection* c = OpenConnection("192.0.2.10", 1.0);
    std::vector<BYTE> buffer(o::kHeaderFooterListSize + 64, 0xCC);
    EXPECT_EQ(GetFileInfo(c, o::kFileHeaderFooter, buffer.data(), buffer.size()), o::kUnknownHandle);
    ASSERT_EQ(PrepareConnection(c, nullptr), o::kOk);

    // Header/footer programs: 25 on the device, 20 answered, nothing past the block.
    ASSERT_EQ(GetFileInfo(c, o::kFileHeaderFooter, buffer.data(), buffer.size()), o::kOk);
    EXPECT_EQ(nvx::GetLE32(buffer.data()), 20u);
    EXPECT_EQ(Text(buffer.data() + 4, o::kHfState), "On");
    EXPECT_EQ(Text(buffer.data() + 4 + 19 * o::kHeaderFooterEntrySize, o::kHfName), "E20");
    for (size_t i = o::kHeaderFooterListSize; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xCC) << i;
    EXPECT_EQ(GetFileInfo(c, o::kFileHeaderFooter, buffer.data(), o::kHeaderFooterListSize - 1), o::kBadParameter);
    EXPECT_EQ(GetFileInfo(c, 7, buffer.data(), buffer.size()), o::kBadParameter);
    EXPECT_EQ(GetFileInfoForDriver(c, 0, o::kFileOverlay, buffer.data(), buffer.size()), o::kNotLoggedIn);
    ASSERT_EQ(GetFileInfo(c, o::kFileOverlay, buffer.data(), o::kOverlayListSize), o::kOk);
    EXPECT_EQ(nvx::GetLE32(buffer.data()), 3u);
    EXPECT_EQ(Text(buffer.data() + 4 + 2 * o::kOverlayEntrySize, o::kOvlPaper), "A4");
    EXPECT_EQ(Calls("192.0.2.10", "OAPIGetFileInfo"), 2);  // refused buffers never reach the device

    // Hex and generic fields, cut at the block's end.
    std::vector<BYTE> setting(o::kPermanentSettingSize + 8, 0xCC);
    ASSERT_EQ(GetDevicePermanentSetting(c, setting.data(), setting.size()), o::kOk);
    EXPECT_EQ(setting[0], 1);
    EXPECT_EQ(setting[2], 3);
    EXPECT_EQ(setting[3], 0);
    EXPECT_EQ(setting[5362], 2);
    EXPECT_EQ(setting[5363], 1);  // the u32 at 5363 does not fit and is not written
    EXPECT_EQ(setting[o::kPermanentSettingSize], 0xCC);

    // Speed dials need the login; then 250 entries come in pages of 100.
    BYTE conf[o::kAbbrConfigurationSize];
    EXPECT_EQ(GetAbbrConfiguration(c, 0, conf, sizeof conf), o::kNotLoggedIn);
    OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};
    ASSERT_EQ(Login(c, &login, nullptr, 0, 0, 0), o::kOk);
    ASSERT_EQ(GetAbbrConfiguration(c, 0, conf, sizeof conf), o::kOk);
    EXPECT_EQ(nvx::GetLE32(conf + o::kAbbrConfCount), 250u);
    std::vector<BYTE> page(o::kAbbrPageSize + 16, 0xCC);
    const std::pair<DWORD, uint32_t> pages[] = {{1, 100}, {201, 50}, {251, 0}, {301, 0}};
    for (auto [first, count] : pages) {
        ASSERT_EQ(GetAbbrPage(c, first, page.data(), page.size()), o::kOk) << first;
        EXPECT_EQ(nvx::GetLE32(page.data()), count) << first;
        EXPECT_EQ(page[o::kAbbrPageSize], 0xCC);
    }
    ASSERT_EQ(GetAbbrPage(c, 101, page.data(), page.size()), o::kOk);
    const BYTE* entry = page.data() + 4;
    EXPECT_EQ(nvx::GetLE16(entry + o::kAbbrNumber), 101);
    EXPECT_EQ(Text(entry, o::kAbbrKind), "Fax");
    EXPECT_EQ(entry[o::kAbbrBytes242 + 2], 0x0c);
    EXPECT_EQ(entry[o::kAbbrBytes242 + 3], 0);  // the fourth hex byte lies outside the field
    EXPECT_EQ(GetAbbrPage(c, 1, page.data(), o::kAbbrPageSize - 1), o::kBadParameter);

    // Calls this device does not offer, and a buffer the device cannot fill.
    std::vector<BYTE> middle(o::kMiddleServerSettingSize);
    EXPECT_EQ(GetMiddleServerSetting(c, "en", middle.data(), middle.size()), o::kNotSupported);
    EXPECT_EQ(GetMiddleServerSetting(c, std::string(32, 'e').c_str(), middle.data(), middle.size()),
              o::kBadParameter);
    char answer[16];
    EXPECT_EQ(GetSingleSignOnInfo(c, "dG9rZW4=", answer, sizeof answer), o::kNotSupported);
    CleanupConnection(c);
}

TEST_F(OapiTest, TextsAreCutInsideTheirFields) {
    std::string longName(200, 'n');
    Device("192.0.2.20", R"("configuration": {"port": 80},
                             "capability": {"authenticationType": "None", "accountTrackType": ")" +
                             std::string(100, 'x') + R"("}, "blocks": {"abbr": [{"name": ")" + longName +
                             R"(", "value100": 70000}]})");
    Connection* c = OpenConnection("192.0.2.20", 1.0);
    ASSERT_EQ(PrepareConnection(c, nullptr), o::kOk);
    EXPECT_EQ(Text(c->capability, o::kCapAccountTrack).size(), o::kCapAccountTrackSize - 1);
    EXPECT_EQ(c->capability[o::kCapPublicUser], 0);  // the field after it stays untouched
    EXPECT_EQ(AuthTypeOf(c->capability), 1);
    std::vector<BYTE> page(o::kAbbrPageSize);
    ASSERT_EQ(GetAbbrPage(c, 1, page.data(), page.size()), o::kOk);  // no login: the device authenticates no one
    const BYTE* entry = page.data() + 4;
    EXPECT_EQ(Text(entry, o::kAbbrName), std::string(o::kAbbrNameSize - 1, 'n'));
    EXPECT_EQ(nvx::GetLE32(entry + o::kAbbrValue100), 70000u);
    CleanupConnection(c);
}

TEST_F(OapiTest, KeptConnectionLivesInTheCache) {
    Device("192.0.2.10", kDeviceWithUsers);
    Device("192.0.2.20", R"("configuration": {"port": 80}, "capability": {"authenticationType": "None"})");
    SharedCache* cache = CreateSharedCache();
    EXPECT_EQ(KeptConnection(cache), nullptr);
    EXPECT_EQ(OpenKeptConnection(nullptr, "192.0.2.10", 1.0), nullptr);

    Connection* kept = OpenKeptConnection(cache, "192.0.2.10", 1.0);
    ASSERT_EQ(reinterpret_cast<BYTE*>(kept), cache->connection);
    EXPECT_EQ(kept->inSharedCache, 1);
    EXPECT_EQ(KeptConnection(cache), kept);
    ASSERT_EQ(PrepareConnection(kept, cache), o::kOk);
    OapiLoginRecord login{2, "alice", "wonderland", "SALES", "1234", 0, ""};
    ASSERT_EQ(Login(kept, &login, nullptr, 0, 0, 0), o::kOk);

    // The next step of the job finds it as it was.
    EXPECT_EQ(OpenKeptConnection(cache, "192.0.2.10", 1.0), kept);
    EXPECT_EQ(kept->loggedIn, 1u);

    // Another device: the old conversation ends first.
    Connection* other = OpenKeptConnection(cache, "192.0.2.20", 1.0);
    EXPECT_EQ(other, kept);
    EXPECT_STREQ(other->address, "192.0.2.20");
    EXPECT_EQ(other->access, 0u);
    EXPECT_EQ(Calls("192.0.2.10", "OAPILogout"), 1);
    EXPECT_EQ(Calls("192.0.2.10", "OAPIAccessEnd"), 1);

    CleanupConnection(other);
    EXPECT_EQ(KeptConnection(cache), nullptr);
    size_t nonZero = 0;
    for (BYTE b : cache->connectionArea) nonZero += b != 0;
    EXPECT_EQ(nonZero, 0u);
    EXPECT_TRUE(DeleteSharedCache(cache));
    EXPECT_FALSE(DeleteSharedCache(cache));
}

}  // namespace
