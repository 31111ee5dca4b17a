// A throw-away directory server for tests: slapd on a free 127.0.0.1 port with a
// small directory loaded from LDIF, stopped (and its files removed) when the
// object goes.  Used by the tests and the directory search benchmark.  It only ever listens on 127.0.0.1.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace nvxtest {

class TestSlapd {
public:
    static constexpr const char* kBase = "dc=example,dc=test";
    static constexpr const char* kAdmin = "cn=admin,dc=example,dc=test";

    TestSlapd() = default;
    ~TestSlapd();
    TestSlapd(const TestSlapd&) = delete;
    TestSlapd& operator=(const TestSlapd&) = delete;

    // Loads the entries (LDIF below kBase; the base entry is added here) and starts
    // the server; false with the reason when it cannot (no slapd installed, no
    // port, the server not answering within ten seconds).
    bool Start(const std::string& ldif, const std::string& adminPassword, std::string* why);
    void Stop();
    uint16_t Port() const { return port_; }

    // People with fax numbers: "count" entries "Person N" (N from 1), every tenth
    // without a fax number.
    static std::string People(int count);

private:
    std::string dir_;
    pid_t pid_ = -1;
    uint16_t port_ = 0;
};

// A loopback port nobody listens on (bound once, then given up).
uint16_t FreeLoopbackPort();

}  // namespace nvxtest
