// The device capability mapped to the device-settings items.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "device/auth_capability.h"

namespace {

using namespace nvx::device;

std::string S(const char* p) { return p ? p : "(none)"; }

int Track(const std::string& text, size_t field = 32) {
    std::vector<BYTE> f(field, 0);
    std::memcpy(f.data(), text.data(), std::min(text.size(), field));
    return AccountTrackFromText(f);
}

TEST(AuthCapability, AccountTrackTypesCompareExactlyWithinTheirField) {
    EXPECT_EQ(1, Track("None"));
    EXPECT_EQ(2, Track("AccountPassword"));
    EXPECT_EQ(3, Track("Password"));
    EXPECT_EQ(4, Track("OnWithUserAuthentication"));
    EXPECT_EQ(5, Track("UserSelection"));
    EXPECT_EQ(0, Track("none"));
    EXPECT_EQ(0, Track("Password "));
    EXPECT_EQ(0, Track(""));
    // A field without a terminator is read to its end, never past it.
    EXPECT_EQ(3, Track("Password", 8));
    EXPECT_EQ(0, Track("PasswordX", 9));
}

TEST(AuthCapability, AuthenticationTypesWithAndWithoutAMiddleServer) {
    const char* withMiddle[] = {nullptr, "DevUserAuthentic_Dis", "DevUserAuthentic_GeneralSV", "DevUserAuthentic_Engin",
                                "DevUserAuthentic_InterSV", "DevUserAuthentic_EngineandGSV",
                                "DevUserAuthentic_EngineandISV"};
    const char* without[] = {nullptr, "DevUserAuthentic_Dis", "DevUserAuthentic_GeneralSV", "DevUserAuthentic_Engin",
                             "DevUserAuthentic_Dis", "DevUserAuthentic_EngineandGSV", "DevUserAuthentic_Engin"};
    for (int type = 0; type <= 6; ++type) {
        EXPECT_EQ(S(withMiddle[type]), S(ItemsForCapability(type, 0, 0, 0, true).userAuthentication)) << type;
        EXPECT_EQ(S(without[type]), S(ItemsForCapability(type, 0, 0, 0, false).userAuthentication)) << type;
    }
}

TEST(AuthCapability, AccountTrackPublicUserAndSignOn) {
    EXPECT_EQ("DevAccountTrack_Dis", S(ItemsForCapability(0, 1, 0, 0, false).accountTrack));
    for (int t = 2; t <= 5; ++t) EXPECT_EQ("DevAccountTrack_Ena", S(ItemsForCapability(0, t, 0, 0, false).accountTrack));
    EXPECT_EQ("(none)", S(ItemsForCapability(0, 0, 0, 0, false).accountTrack));
    EXPECT_EQ("DevPublicUserAccess_OK", S(ItemsForCapability(1, 1, 1, 0, false).publicUser));
    EXPECT_EQ("DevPublicUserAccess_NG", S(ItemsForCapability(1, 1, 2, 0, false).publicUser));
    EXPECT_EQ("DevSSO_Ena", S(ItemsForCapability(1, 1, 0, 'k', false).singleSignOn));
    EXPECT_EQ("DevSSO_Dis", S(ItemsForCapability(1, 1, 0, 0, false).singleSignOn));
    // Nothing changes when neither the authentication nor the account track was recognised.
    EXPECT_FALSE(ItemsForCapability(0, 0, 1, 1, true).Any());
    EXPECT_TRUE(ItemsForCapability(0, 1, 0, 0, true).Any());
    EXPECT_TRUE(ItemsForCapability(3, 0, 0, 0, true).Any());
}

}  // namespace
