// A throw-away Kerberos realm on the loopback for tests: MIT Kerberos' KDC
// (krb5kdc) with a database of its own in a temporary folder, a user principal,
// a service principal for the simulated device and the device's keytab.  While
// it lives, KRB5_CONFIG, KRB5_KDC_PROFILE and KRB5CCNAME point at its own files,
// never at the machine's configuration or credentials.  The KDC is stopped and
// the folder removed when it goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace nvxtest {

class KerberosRealm {
public:
    static constexpr const char* kRealm = "NOVRIX.TEST";
    static constexpr const char* kUser = "alice";
    static constexpr const char* kServiceHost = "device.test";

    KerberosRealm() = default;
    ~KerberosRealm();
    KerberosRealm(const KerberosRealm&) = delete;
    KerberosRealm& operator=(const KerberosRealm&) = delete;

    // Creates the realm and starts its KDC on a free loopback port.  False with
    // the reason (the command that failed and its output) otherwise.
    bool Start(std::string* error);
    // Gets the user a ticket (from the user's keytab) into the realm's cache,
    // valid for `lifetime` (kinit's form, "1h", "3s").
    bool Kinit(const std::string& lifetime, std::string* error);
    // Empties the credentials cache.
    void Kdestroy();
    // Stops the KDC (it is not started again).
    void StopKdc();

    const std::string& DeviceKeytab() const { return deviceKeytab_; }
    const std::string& Folder() const { return folder_; }

private:
    bool Run(const std::string& command, std::string* error) const;

    std::string folder_, deviceKeytab_, userKeytab_;
    pid_t kdc_ = 0;
};

}  // namespace nvxtest
