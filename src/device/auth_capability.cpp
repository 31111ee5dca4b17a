// The device capability mapped to the device-settings items.
#include "device/auth_capability.h"

#include <cstring>
#include <string_view>

namespace nvx::device {

int AccountTrackFromText(std::span<const BYTE> field) {
    size_t n = 0;
    while (n < field.size() && field[n]) ++n;
    const std::string_view text(reinterpret_cast<const char*>(field.data()), n);
    static constexpr std::string_view kTypes[] = {"None", "AccountPassword", "Password", "OnWithUserAuthentication",
                                                  "UserSelection"};
    for (size_t i = 0; i < std::size(kTypes); ++i)
        if (text == kTypes[i]) return static_cast<int>(i) + 1;
    return 0;
}

CapabilityItems ItemsForCapability(int authType, int accountTrack, BYTE publicUser, BYTE signOnFirstByte,
                                   bool middleServer) {
    CapabilityItems items;
    switch (authType) {
        case 1: items.userAuthentication = "DevUserAuthentic_Dis"; break;
        case 2: items.userAuthentication = "DevUserAuthentic_GeneralSV"; break;
        case 3: items.userAuthentication = "DevUserAuthentic_Engin"; break;
        case 4: items.userAuthentication = middleServer ? "DevUserAuthentic_InterSV" : "DevUserAuthentic_Dis"; break;
        case 5: items.userAuthentication = "DevUserAuthentic_EngineandGSV"; break;
        case 6:
            items.userAuthentication = middleServer ? "DevUserAuthentic_EngineandISV" : "DevUserAuthentic_Engin";
            break;
        default: break;
    }
    if (accountTrack == 1) items.accountTrack = "DevAccountTrack_Dis";
    else if (accountTrack >= 2 && accountTrack <= 5) items.accountTrack = "DevAccountTrack_Ena";
    items.publicUser = publicUser == 1 ? "DevPublicUserAccess_OK" : "DevPublicUserAccess_NG";
    items.singleSignOn = signOnFirstByte != 0 ? "DevSSO_Ena" : "DevSSO_Dis";
    return items;
}

}  // namespace nvx::device
