// Login checks of a simulated device: its users, accounts and sign-on setting.
#pragma once

#include <cstdint>

#include "device/oapi.h"
#include "device_call.h"

namespace nvxo {

// Checks a login record or a sign-on ticket against the profile, as the device
// would (docs/device-api.md, "Logins"): code 0, 2 for a malformed request, or 4
// with the device's detail text.
Answer CheckLogin(const Profile& profile, const OapiLoginRecord* record, const uint8_t* ticket,
                  uint32_t ticketLength);

// Whether the profile's configuration turns single sign-on on.
bool SignOnEnabled(const Profile& profile);

// The profile's authentication type text ("None" when absent).
std::string AuthenticationType(const Profile& profile);

}  // namespace nvxo
