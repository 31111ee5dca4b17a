// A throw-away directory server for tests (see test_slapd.h).
#include "support/test_slapd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace nvxtest {
namespace {

bool Answers(uint16_t port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

}  // namespace

uint16_t FreeLoopbackPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    uint16_t port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

std::string TestSlapd::People(int count) {
    std::string ldif;
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        ldif += "dn: cn=Person " + n + "," + kBase + "\nobjectClass: inetOrgPerson\ncn: Person " + n +
                "\nsn: Person\ngivenName: Number " + n + "\nou: Sales\no: Example\n";
        if (i % 10 != 0) ldif += "facsimileTelephoneNumber: 0301-" + n + "\n";
        ldif += "\n";
    }
    return ldif;
}

bool TestSlapd::Start(const std::string& ldif, const std::string& adminPassword, std::string* why) {
    if (access("/usr/sbin/slapd", X_OK) != 0 || access("/usr/sbin/slapadd", X_OK) != 0) {
        *why = "slapd is not installed (Debian: slapd)";
        return false;
    }
    char folder[] = "/tmp/novrix_slapd_XXXXXX";
    if (!mkdtemp(folder)) {
        *why = "no temporary folder";
        return false;
    }
    dir_ = folder;
    const std::string db = dir_ + "/db";
    std::system(("mkdir -p '" + db + "'").c_str());
    {
        std::ofstream conf(dir_ + "/slapd.conf");
        conf << "include /etc/ldap/schema/core.schema\ninclude /etc/ldap/schema/cosine.schema\n"
                "include /etc/ldap/schema/inetorgperson.schema\nmodulepath /usr/lib/ldap\nmoduleload back_mdb\n"
             << "pidfile " << dir_ << "/slapd.pid\nargsfile " << dir_ << "/slapd.args\n"
             << "sizelimit 100000\ndatabase mdb\nmaxsize 104857600\nsuffix \"" << kBase << "\"\nrootdn \"" << kAdmin
             << "\"\nrootpw " << adminPassword << "\ndirectory " << db << "\n";
        std::ofstream data(dir_ + "/data.ldif");
        data << "dn: " << kBase << "\nobjectClass: dcObject\nobjectClass: organization\no: Example\ndc: example\n\n"
             << ldif;
    }
    const std::string load = "/usr/sbin/slapadd -q -f '" + dir_ + "/slapd.conf' -l '" + dir_ + "/data.ldif' 2>'" +
                             dir_ + "/slapadd.err'";
    if (std::system(load.c_str()) != 0) {
        *why = "slapadd refused the test directory (see " + dir_ + "/slapadd.err)";
        return false;
    }
    for (int attempt = 0; attempt < 3 && pid_ < 0; ++attempt) {
        port_ = FreeLoopbackPort();
        if (port_ == 0) continue;
        const std::string url = "ldap://127.0.0.1:" + std::to_string(port_) + "/";
        const std::string conf = dir_ + "/slapd.conf";
        const std::string log = dir_ + "/slapd.err";
        const pid_t pid = fork();
        if (pid == 0) {
            FILE* err = freopen(log.c_str(), "w", stderr);
            (void)err;
            execl("/usr/sbin/slapd", "slapd", "-f", conf.c_str(), "-h", url.c_str(), "-d", "0",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid < 0) break;
        pid_ = pid;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!Answers(port_) && std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {  // it ended: the port was taken after all
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (pid_ > 0 && !Answers(port_)) Stop();
    }
    if (pid_ < 0) {
        *why = "slapd did not start on 127.0.0.1 (see " + dir_ + "/slapd.err)";
        return false;
    }
    return true;
}

void TestSlapd::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > until) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
    }
}

TestSlapd::~TestSlapd() {
    Stop();
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

}  // namespace nvxtest
