// The simulated device's side of single sign-on: it accepts the client's
// Kerberos token with the service key of its keytab (GSSAPI) and answers the
// token that completes mutual authentication.  Linux only; the Windows build of
// the component offers no acceptor.
#pragma once

#include <string>

#include "device_call.h"

namespace nvxo {

// Accepts the Base64 token `request` with the keytab at keytabPath.  On success
// answer holds the Base64 answer token (possibly empty) and the code is 0; a
// token that is malformed, for another service, or whose ticket has expired is
// refused with code 4 "AuthServerAuthFailure"; a device without an acceptor
// answers code 7.
Answer AcceptSignOn(const std::string& keytabPath, const std::string& request, std::string* answer);

}  // namespace nvxo
