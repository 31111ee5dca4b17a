// What a device's authentication capability means for the device-settings items
// the property pages show: "DevUserAuthentication", "DevAccountTrack",
// "DevPublicUser" and "DevSingleSignOn".  Pure mapping; applying the chosen
// values to the device-option record is the caller's.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/win32.h"

namespace nvx::device {

// Account track types: 1 "None", 2 "AccountPassword", 3 "Password",
// 4 "OnWithUserAuthentication", 5 "UserSelection"; 0 for anything else (exact,
// within the text's field).
int AccountTrackFromText(std::span<const BYTE> field);

struct CapabilityItems {
    const char* userAuthentication = nullptr;  // value of "DevUserAuthentication", null: not recognised
    const char* accountTrack = nullptr;        // value of "DevAccountTrack", null: not recognised
    const char* publicUser = nullptr;          // value of "DevPublicUser"
    const char* singleSignOn = nullptr;        // value of "DevSingleSignOn"
    // Nothing is to be changed when neither an authentication nor an account
    // track value was recognised.
    bool Any() const { return userAuthentication || accountTrack; }
};

// The values for a capability: the authentication type (AuthTypeFromText), the
// account track type (AccountTrackFromText), the public user byte, the first
// byte of the sign-on data, and whether the model supports a middle server.
CapabilityItems ItemsForCapability(int authType, int accountTrack, BYTE publicUser, BYTE signOnFirstByte,
                                   bool middleServer);

}  // namespace nvx::device
