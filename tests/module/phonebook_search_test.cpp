// The phone book's directory search against a throw-away slapd on 127.0.0.1: the
// entry's base, logon and attributes are honoured, entries without a fax number
// are counted and skipped, non-Latin names come back whole, a large directory is
// cut at the maximum of results, and a server that is down, refuses the logon or
// never answers ends the search within its time-out.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "directory_search.h"
#include "support/test_slapd.h"

namespace {

using nvxtest::TestSlapd;
using nvxv::SearchStatus;

constexpr const char* kPassword = "Lq7-admin";

std::string SmallDirectory() {
    return "dn: cn=Ann Smith,dc=example,dc=test\nobjectClass: inetOrgPerson\ncn: Ann Smith\nsn: Smith\n"
           "givenName: Ann\nfacsimileTelephoneNumber: 0301-555\nou: Sales\no: Example\nmail: ann@example.test\n\n"
           "dn: cn=Bob Jones,dc=example,dc=test\nobjectClass: inetOrgPerson\ncn: Bob Jones\nsn: Jones\n\n"
           "dn: cn=\xE5\xB1\xB1\xE7\x94\xB0 \xE5\xA4\xAA\xE9\x83\x8E,dc=example,dc=test\nobjectClass: inetOrgPerson\n"
           "cn: \xE5\xB1\xB1\xE7\x94\xB0 \xE5\xA4\xAA\xE9\x83\x8E\nsn: Yamada\nfacsimileTelephoneNumber: 0312-777\n"
           "telephoneNumber: 0312-778\n\n";
}

class DirectorySearch : public ::testing::Test {
protected:
    void StartWith(const std::string& ldif) {
        std::string why;
        ASSERT_TRUE(server_.Start(ldif, kPassword, &why)) << why;  // fails loudly where slapd cannot run
    }
    nvxv::SearchRequest Request(const std::string& text) const {
        nvxv::SearchRequest r;
        r.host = "127.0.0.1";
        r.port = server_.Port();
        r.base = TestSlapd::kBase;
        r.auth = 1;
        r.logonName = TestSlapd::kAdmin;
        r.password = kPassword;
        r.timeoutSeconds = 5;
        r.text = text;
        return r;
    }
    TestSlapd server_;
};

TEST_F(DirectorySearch, FindsPeopleWithFaxNumbersAndCountsThoseWithout) {
    StartWith(SmallDirectory());
    nvxv::SearchResult r = nvxv::Search(Request(""));
    ASSERT_EQ(SearchStatus::Ok, r.status) << r.message;
    ASSERT_EQ(2u, r.people.size());
    EXPECT_EQ(1u, r.withoutFax);  // Bob Jones
    r = nvxv::Search(Request("ann"));
    ASSERT_EQ(1u, r.people.size());
    EXPECT_EQ("Ann Smith", r.people[0].name);
    EXPECT_EQ("0301-555", r.people[0].faxNumber);
    EXPECT_EQ("Sales", r.people[0].company);
    EXPECT_EQ("Example", r.people[0].department);
    EXPECT_EQ("ann@example.test", r.people[0].email);
    // A non-Latin name, and the family name attribute searched as well.
    r = nvxv::Search(Request("yamada"));
    ASSERT_EQ(1u, r.people.size());
    EXPECT_EQ("\xE5\xB1\xB1\xE7\x94\xB0 \xE5\xA4\xAA\xE9\x83\x8E", r.people[0].name);
    // Filter characters in the text are taken literally.
    r = nvxv::Search(Request("*)(cn=*"));
    EXPECT_EQ(SearchStatus::Ok, r.status);
    EXPECT_TRUE(r.people.empty());
}

TEST_F(DirectorySearch, HonoursTheEntrysAttributesBaseAndAnonymousLogon) {
    StartWith(SmallDirectory());
    nvxv::SearchRequest q = Request("yamada");
    q.faxNumber = {"telephoneNumber"};
    nvxv::SearchResult r = nvxv::Search(q);
    ASSERT_EQ(1u, r.people.size());
    EXPECT_EQ("0312-778", r.people[0].faxNumber);
    q = Request("");
    q.base = "ou=Nowhere,dc=example,dc=test";
    EXPECT_EQ(SearchStatus::Failed, nvxv::Search(q).status);
    q = Request("ann");
    q.auth = 0;
    q.password.clear();
    EXPECT_EQ(1u, nvxv::Search(q).people.size());
    q.auth = 2;  // Digest-MD5 is not offered
    EXPECT_EQ(SearchStatus::Unsupported, nvxv::Search(q).status);
}

TEST_F(DirectorySearch, ARefusedLogonIsReportedAsSuch) {
    StartWith(SmallDirectory());
    nvxv::SearchRequest q = Request("");
    q.password = "wrong";
    EXPECT_EQ(SearchStatus::BindRefused, nvxv::Search(q).status);
}

TEST_F(DirectorySearch, ALargeDirectoryIsCutAtTheMaximumOfResults) {
    StartWith(TestSlapd::People(2000));
    nvxv::SearchRequest q = Request("Person");
    q.maxResults = 50;
    nvxv::SearchResult r = nvxv::Search(q);
    EXPECT_EQ(SearchStatus::Truncated, r.status) << r.message;
    EXPECT_LE(r.people.size(), 50u);
    EXPECT_GE(r.people.size() + r.withoutFax, 50u);
}

TEST(DirectorySearchDown, AServerThatIsDownOrSilentEndsWithinItsTimeOut) {
    nvxv::SearchRequest q;
    q.host = "127.0.0.1";
    q.port = nvxtest::FreeLoopbackPort();  // nobody listens
    q.base = TestSlapd::kBase;
    q.timeoutSeconds = 2;
    EXPECT_EQ(SearchStatus::Unreachable, nvxv::Search(q).status);

    // A server that accepts and never answers.
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    ASSERT_EQ(0, bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a));
    ASSERT_EQ(0, listen(s, 4));
    ASSERT_EQ(0, getsockname(s, reinterpret_cast<sockaddr*>(&a), &n));
    q.port = ntohs(a.sin_port);
    const auto start = std::chrono::steady_clock::now();
    const nvxv::SearchResult r = nvxv::Search(q);
    const auto took = std::chrono::steady_clock::now() - start;
    close(s);
    EXPECT_NE(SearchStatus::Ok, r.status);
    EXPECT_LT(took, std::chrono::seconds(8)) << "the wait is bounded by the time-out";
}

TEST(DirectoryFilter, EscapesTheTextAndSearchesEveryNameAttribute) {
    nvxv::SearchRequest q;
    q.text = "a*(b)\\";
    q.name = {"cn", "displayName"};
    EXPECT_EQ("(|(cn=*a\\2a\\28b\\29\\5c*)(displayName=*a\\2a\\28b\\29\\5c*)(sn=*a\\2a\\28b\\29\\5c*)"
              "(givenname=*a\\2a\\28b\\29\\5c*))",
              nvxv::NameFilter(q));
}

}  // namespace
