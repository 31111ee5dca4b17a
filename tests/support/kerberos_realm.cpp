// A throw-away Kerberos realm on the loopback for tests.
#include "support/kerberos_realm.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/platform_test.h"

namespace nvxtest {
namespace {

// A loopback port nobody listens on right now.
int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

bool Listening(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A Kerberos program: from /usr/sbin or /usr/bin when it is there (a PATH
// without the sbin folders still finds the KDC's tools), else by name.
std::string Tool(const char* name) {
    for (const char* folder : {"/usr/sbin/", "/usr/bin/"}) {
        const std::string path = std::string(folder) + name;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return name;
}

}  // namespace

KerberosRealm::~KerberosRealm() {
    StopKdc();
    unsetenv("KRB5_CONFIG");
    unsetenv("KRB5_KDC_PROFILE");
    unsetenv("KRB5CCNAME");
    unsetenv("KRB5RCACHETYPE");
    if (!folder_.empty()) RemoveTree(folder_);
}

bool KerberosRealm::Run(const std::string& command, std::string* error) const {
    const std::string log = folder_ + "/command.log";
    const int status = std::system((command + " >'" + log + "' 2>&1 </dev/null").c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    if (error) *error = "'" + command + "' failed: " + Read(log);
    return false;
}

bool KerberosRealm::Start(std::string* error) {
    folder_ = MakeTempDir("krb5realm");
    const int port = FreePort();
    if (folder_.empty() || port == 0) {
        *error = "no temporary folder or no free loopback port";
        return false;
    }
    const std::string p = std::to_string(port);
    std::ofstream(folder_ + "/krb5.conf") << "[libdefaults]\n  default_realm = " << kRealm
                                          << "\n  dns_lookup_kdc = false\n  dns_lookup_realm = false\n"
                                             "  dns_canonicalize_hostname = false\n  rdns = false\n"
                                             "  clockskew = 1\n  udp_preference_limit = 1\n"
                                             "[realms]\n  "
                                          << kRealm << " = {\n    kdc = 127.0.0.1:" << p
                                          << "\n  }\n[domain_realm]\n  " << kServiceHost << " = " << kRealm << "\n";
    std::ofstream(folder_ + "/kdc.conf") << "[kdcdefaults]\n  kdc_ports = " << p << "\n  kdc_tcp_ports = " << p
                                         << "\n[realms]\n  " << kRealm << " = {\n    database_name = " << folder_
                                         << "/principal\n    key_stash_file = " << folder_
                                         << "/stash\n    acl_file = " << folder_
                                         << "/kadm5.acl\n    max_life = 1h\n"
                                            "    supported_enctypes = aes256-cts-hmac-sha1-96:normal\n  }\n"
                                            "[logging]\n  kdc = FILE:"
                                         << folder_ << "/kdc.log\n";
    std::ofstream(folder_ + "/kadm5.acl") << "";
    setenv("KRB5_CONFIG", (folder_ + "/krb5.conf").c_str(), 1);
    setenv("KRB5_KDC_PROFILE", (folder_ + "/kdc.conf").c_str(), 1);
    setenv("KRB5CCNAME", ("FILE:" + folder_ + "/ccache").c_str(), 1);
    setenv("KRB5RCACHETYPE", "none", 1);  // no replay cache files outside the folder
    deviceKeytab_ = folder_ + "/device.keytab";
    userKeytab_ = folder_ + "/user.keytab";
    const std::string admin = Tool("kadmin.local") + " -r " + std::string(kRealm) + " -q ";
    const std::string service = std::string("HTTP/") + kServiceHost;
    if (!Run(Tool("kdb5_util") + " -r " + std::string(kRealm) + " create -s -P novrix-test-master", error) ||
        !Run(admin + "'addprinc -randkey " + kUser + "'", error) ||
        !Run(admin + "'addprinc -randkey " + service + "'", error) ||
        !Run(admin + "'ktadd -k " + deviceKeytab_ + " " + service + "'", error) ||
        !Run(admin + "'ktadd -k " + userKeytab_ + " " + kUser + "'", error))
        return false;
    // Everything the child needs is made before the fork: the test process has threads.
    const std::string kdc = Tool("krb5kdc");
    const std::string out = folder_ + "/krb5kdc.out";
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    kdc_ = fork();
    if (kdc_ == 0) {
        if (outFd >= 0) {
            dup2(outFd, 1);
            dup2(outFd, 2);
        }
        execlp(kdc.c_str(), "krb5kdc", "-n", "-r", kRealm, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (outFd >= 0) close(outFd);
    if (kdc_ < 0) {
        kdc_ = 0;
        *error = "cannot start krb5kdc";
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        if (Listening(port)) return true;
        int status = 0;
        if (waitpid(kdc_, &status, WNOHANG) == kdc_) {
            kdc_ = 0;
            *error = "krb5kdc ended at once: " + Read(folder_ + "/krb5kdc.out") + Read(folder_ + "/kdc.log");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    *error = "krb5kdc does not listen on 127.0.0.1:" + p;
    return false;
}

bool KerberosRealm::Kinit(const std::string& lifetime, std::string* error) {
    return Run(Tool("kinit") + " -l " + lifetime + " -k -t " + userKeytab_ + " " + kUser + "@" + kRealm, error);
}

void KerberosRealm::Kdestroy() {
    Run(Tool("kdestroy") + " -q", nullptr);
}

void KerberosRealm::StopKdc() {
    if (kdc_ <= 0) return;
    kill(kdc_, SIGTERM);
    int status = 0;
    waitpid(kdc_, &status, 0);
    kdc_ = 0;
}

}  // namespace nvxtest
