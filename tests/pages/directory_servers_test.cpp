// The printer's directory servers without a window: the stored list byte by byte,
// what a damaged list reads as, editing, the checks in their order and the logon
// password, which never lies in clear in the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/le.h"
#include "fax/directory_model.h"
#include "fax/directory_servers.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::fax::directory;
using nvx::WFromAscii;
using nvx::WFromUtf8;
using Bytes = std::vector<BYTE>;
using nvx::GetLE16;
using nvx::GetLE32;
using nvx::WString;

const nvx::device::PasswordCipher kAes({nvx::device::CipherMode::Aes, 3, 57, std::nullopt});

Server Sample(const char* name) {
    Server s = NewServer(Limits{});
    s.name = WFromAscii(name);
    s.address = WFromAscii("ldap.example.test");
    s.searchBase = WFromAscii("ou=People,dc=example,dc=test");
    return s;
}

std::string Units(const Bytes& b, size_t at) {
    std::string s;
    for (size_t i = at; GetLE16(b.data() + i) != 0; i += 2) s.push_back(static_cast<char>(GetLE16(b.data() + i)));
    return s;
}

TEST(DirectoryList, EveryFieldLiesAtItsOffset) {
    Server s = Sample("Main");
    s.auth = 4;
    s.share = 1;
    s.domain = WFromAscii("EXAMPLE");
    s.logonName = WFromAscii("cn=reader");
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WFromAscii("pw"), &s));
    s.port = 1636;
    s.ssl = 1;
    s.timeout = 45;
    s.maxResults = 250;
    s.attributes[kAttrFaxNumber] = WFromAscii("fax,facsimileTelephoneNumber");
    Server second = Sample("Second");
    const Bytes b = WriteList({s, second});
    ASSERT_EQ(107840u, b.size());
    EXPECT_EQ(0u, GetLE32(b.data()));
    EXPECT_EQ("ldap.example.test", Units(b, 4));
    EXPECT_EQ("Main", Units(b, 516));
    EXPECT_EQ(4u, GetLE32(b.data() + 584));
    EXPECT_EQ(1u, GetLE32(b.data() + 588));
    EXPECT_EQ("EXAMPLE", Units(b, 592));
    EXPECT_EQ("cn=reader", Units(b, 1104));
    EXPECT_EQ(16, GetLE16(b.data() + 2130));  // AES: one block for two characters
    EXPECT_TRUE(std::equal(s.password.begin(), s.password.end(), b.begin() + 1616));
    EXPECT_EQ(1636u, GetLE32(b.data() + 2132));
    EXPECT_EQ(1u, GetLE32(b.data() + 2136));
    EXPECT_EQ(45u, GetLE32(b.data() + 2140));
    EXPECT_EQ(250u, GetLE32(b.data() + 2144));
    EXPECT_EQ("ou=People,dc=example,dc=test", Units(b, 2148));
    const char* expected[] = {"cn", "sn", "givenname", "fax,facsimileTelephoneNumber", "mail", "ou", "o"};
    const size_t offsets[] = {2660, 3050, 3440, 3830, 4220, 4610, 5000};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(expected[i], Units(b, offsets[i])) << i;
    EXPECT_EQ("Second", Units(b, 5392 + 516));
    EXPECT_TRUE(std::all_of(b.begin() + 2 * 5392, b.end(), [](BYTE x) { return x == 0; }));
}

TEST(DirectoryList, ReadsBackWhatWasWritten) {
    std::vector<Server> list = {Sample("A"), Sample("B")};
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WFromAscii("secret"), &list[1]));
    list[1].attributes[kAttrName] = WString(193, u'x');
    std::vector<Server> back = ReadList(WriteList(list));
    ASSERT_EQ(2u, back.size());
    EXPECT_EQ(list[1].password, back[1].password);
    EXPECT_EQ(list[1].attributes[kAttrName], back[1].attributes[kAttrName]);
    EXPECT_EQ("secret", *Password(kAes, back[1]));
}

TEST(DirectoryList, ADamagedListReadsSafely) {
    EXPECT_TRUE(ReadList(Bytes(107839, 0)).empty());
    EXPECT_TRUE(ReadList(Bytes(107841, 0)).empty());
    Bytes b = WriteList({Sample("A"), Sample("B"), Sample("C")});
    // The list ends at the first entry without a name, whatever follows.
    std::memset(b.data() + 5392 + 516, 0, 66);
    EXPECT_EQ(1u, ReadList(b).size());
    // Fields without terminators are cut within them; a password length past its field is no password.
    Bytes raw(107840, 0x41);
    nvx::PutLE16(raw.data() + 2130, 515);
    std::vector<Server> list = ReadList(raw);
    ASSERT_EQ(20u, list.size());
    EXPECT_EQ(31u, list[0].name.size());
    EXPECT_EQ(254u, list[0].address.size());
    EXPECT_EQ(193u, list[0].attributes[kAttrDepartment].size());
    EXPECT_TRUE(list[0].password.empty());
}

TEST(DirectoryList, HoldsTwentyServersAndRefusesTheTwentyFirst) {
    std::vector<Server> list;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(AddServer(&list, Sample(("S" + std::to_string(i)).c_str())));
    EXPECT_FALSE(AddServer(&list, Sample("S20")));
    EXPECT_EQ(20u, list.size());
    EXPECT_EQ(20u, ReadList(WriteList(list)).size());
}

TEST(DirectoryList, MovesAndRemovesEntries) {
    std::vector<Server> list = {Sample("A"), Sample("B"), Sample("C")};
    EXPECT_FALSE(MoveServer(&list, 0, true));
    EXPECT_FALSE(MoveServer(&list, 2, false));
    EXPECT_FALSE(MoveServer(&list, 3, true));
    EXPECT_TRUE(MoveServer(&list, 2, true));
    EXPECT_EQ(WFromAscii("C"), list[1].name);
    EXPECT_TRUE(RemoveServer(&list, 0));
    EXPECT_FALSE(RemoveServer(&list, 5));
    EXPECT_EQ(WFromAscii("C"), list[0].name);
    EXPECT_EQ(1u, *FindServer(list, WFromAscii("B")));
    EXPECT_FALSE(FindServer(list, WFromAscii("A")));
}

TEST(DirectoryEntry, NewEntriesTakeTheModelsDefaultsAndSslMovesThePort) {
    Limits l;
    l.sslDefault = 1;
    l.timeoutDefault = 17;
    Server s = NewServer(l);
    EXPECT_EQ(636u, s.port);
    EXPECT_EQ(17u, s.timeout);
    EXPECT_EQ(WFromAscii("facsimileTelephoneNumber"), s.attributes[kAttrFaxNumber]);
    SetSsl(&s, false);
    EXPECT_EQ(389u, s.port);
    SetSsl(&s, true);
    EXPECT_EQ(636u, s.port);
}

TEST(DirectoryEntry, ChecksComeInTheirOrder) {
    Limits l;
    std::vector<Server> list = {Sample("A"), Sample("B")};
    EXPECT_EQ(Problem::None, CheckServer(list, 1, l).problem);
    auto problem = [&](auto change) {
        std::vector<Server> copy = list;
        change(copy[1]);
        return CheckServer(copy, 1, l);
    };
    EXPECT_EQ(Problem::PortRange, problem([](Server& s) { s.port = 0; }).problem);
    EXPECT_EQ(Problem::PortRange, problem([](Server& s) { s.port = 70000; }).problem);
    EXPECT_EQ(3398, problem([](Server& s) { s.port = 70000; }).focus);
    EXPECT_EQ(Problem::TimeoutRange, problem([](Server& s) { s.timeout = 0; }).problem);
    EXPECT_EQ(Problem::ResultsRange, problem([](Server& s) { s.maxResults = 1001; }).problem);
    // The port comes first when several are out of range.
    EXPECT_EQ(Problem::PortRange, problem([](Server& s) { s.port = 0, s.timeout = 0; }).problem);
    EXPECT_EQ(Problem::None, problem([](Server& s) { s.attributes[kAttrName] = WFromAscii("cn, displayName,x"); })
                                 .problem);
    Check c = problem([](Server& s) {
        s.attributes[kAttrName] = WFromAscii("a,b,c,d");
        s.attributes[kAttrEmail] = WFromAscii("a,b,c,d,e");
    });
    EXPECT_EQ(Problem::TooManyNames, c.problem);
    EXPECT_EQ((std::vector<Attribute>{kAttrName, kAttrEmail}), c.attributes);
    c = problem([](Server& s) { s.searchBase.clear(); });
    EXPECT_EQ(Problem::EmptySearchBase, c.problem);
    EXPECT_EQ(3393, c.focus);
    c = problem([](Server& s) { s.name = WFromAscii("A"); });
    EXPECT_EQ(Problem::DuplicateName, c.problem);
    EXPECT_EQ(3385, c.focus);
    EXPECT_EQ(Problem::EmptyName, problem([](Server& s) { s.name.clear(); }).problem);
    EXPECT_EQ(Problem::EmptyAddress, problem([](Server& s) { s.address.clear(); }).problem);
    EXPECT_EQ(Problem::SearchBaseNotDn, problem([](Server& s) { s.searchBase = WFromAscii("example.test"); }).problem);
    // Fields at their limits pass, one past is refused.
    EXPECT_EQ(Problem::None, problem([](Server& s) { s.name = WString(31, u'n'); }).problem);
    EXPECT_EQ(Problem::FieldTooLong, problem([](Server& s) { s.name = WString(32, u'n'); }).problem);
    EXPECT_EQ(Problem::None, problem([](Server& s) { s.address = WString(254, u'a'); }).problem);
    EXPECT_EQ(Problem::FieldTooLong, problem([](Server& s) { s.address = WString(255, u'a'); }).problem);
    EXPECT_EQ(Problem::FieldTooLong, problem([](Server& s) { s.attributes[3] = WString(194, u'a'); }).problem);
}

TEST(DirectoryEntry, DistinguishedNames) {
    for (const char* dn : {"dc=example,dc=test", "ou=People, dc=example", "cn=Smith\\, John,o=X", "2.5.4.3=x"})
        EXPECT_TRUE(IsDistinguishedName(WFromAscii(dn))) << dn;
    for (const char* dn : {"", "example.test", "dc=", "=x", "dc=a,,dc=b", "dc=a,", "1..2=x", "d c=x", "dc=a\\"})
        EXPECT_FALSE(IsDistinguishedName(WFromAscii(dn))) << dn;
}

TEST(DirectoryEntry, ThePasswordIsStoredEncipheredInCodePage1252) {
    Server s = Sample("A");
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WFromUtf8("Gr\xC3\xBC\xC3\x9F" "e\xE2\x82\xAC"), &s));
    EXPECT_EQ("Gr\xFC\xDF" "e\x80", *Password(kAes, s));  // code page 1252
    const Bytes stored = WriteList({s});
    const std::string clear = "Gr\xFC\xDF";
    EXPECT_EQ(stored.end(), std::search(stored.begin(), stored.end(), clear.begin(), clear.end()));

    const Bytes before = s.password;
    EXPECT_EQ(PasswordResult::NotCodePage1252, SetPassword(kAes, WFromUtf8("\xE6\x97\xA5\xE6\x9C\xAC"), &s));
    EXPECT_EQ(PasswordResult::TooLong, SetPassword(kAes, WString(257, u'p'), &s));
    EXPECT_EQ(PasswordResult::NulInside, SetPassword(kAes, WString(3, u'\0'), &s));
    EXPECT_EQ(before, s.password);  // refusals keep what was there
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WString(256, u'p'), &s));
    EXPECT_LE(s.password.size(), 514u);
    EXPECT_EQ(std::string(256, 'p'), *Password(kAes, s));
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WString(), &s));
    EXPECT_TRUE(s.password.empty());
}

class DirectoryPrinterList : public PlatformTest {};

TEST_F(DirectoryPrinterList, IsOneBinaryValueOfThePrinterAndAWrongSizeReadsEmpty) {
    HANDLE printer = nvxtest::AddTestPrinter(WL("Directory Printer"));
    ASSERT_NE(nullptr, printer);
    EXPECT_TRUE(LoadPrinterList(printer).empty());
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), SavePrinterList(printer, {Sample("A"), Sample("B")}));
    DWORD type = 0, needed = 0;
    GetPrinterDataW(printer, const_cast<LPWSTR>(WL("LDAPServerList")), &type, nullptr, 0, &needed);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(107840u, needed);
    EXPECT_EQ(2u, LoadPrinterList(printer).size());
    BYTE small[100] = {};
    SetPrinterDataW(printer, const_cast<LPWSTR>(WL("LDAPServerList")), REG_BINARY, small, sizeof small);
    EXPECT_TRUE(LoadPrinterList(printer).empty());
    ClosePrinter(printer);
}

TEST(DirectoryModel, TheSampleModelGivesItsRangesAndDefaults) {
    const nvx::WString path = WFromUtf8(nvxtest::BuiltDriverFolder() + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    ASSERT_TRUE(pkg);
    const Limits l = PackageLimits(*pkg);
    EXPECT_EQ(1u, l.portMin);
    EXPECT_EQ(65535u, l.portMax);
    EXPECT_EQ(30u, l.timeoutDefault);
    EXPECT_EQ(5u, l.timeoutMin);
    EXPECT_EQ(1000u, l.resultsMax);
    EXPECT_EQ(1u, l.authDefault);  // Simple
}

}  // namespace
