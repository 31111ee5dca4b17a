// novrix directory: the printer's directory servers registered, refused, moved and
// removed from the command line; the logon password never appears in clear in any
// output or any file under the platform root.
#include <gtest/gtest.h>

#include <string>

#include "novrix_run.h"
#include "support/platform_test.h"

namespace {

using nvxtest::NovrixRunTest;
using nvxtest::Outcome;

class NovrixDirectoryTest : public NovrixRunTest {};

TEST_F(NovrixDirectoryTest, RegistersMovesAndRemovesServersWithThePasswordEnciphered) {
    Outcome r = Novrix("directory list");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "No directory servers are registered")) << r.out;
    r = Novrix("directory add Main --server 127.0.0.1 --port 3389 --base dc=example,dc=test "
               "--logon cn=reader,dc=example,dc=test --password-stdin --attribute fax=facsimileTelephoneNumber,fax",
               "Zq-7!reader\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Added \"Main\": 1 of 20")) << r.out;
    ASSERT_EQ(0, Novrix("directory add Backup --server ldap.example.test --ssl on --base o=Example").rc);
    ASSERT_EQ(0, Novrix("directory move Backup up").rc);
    r = Novrix("directory list");
    EXPECT_TRUE(Has(r.out, "1. Backup\n   server ldap.example.test, port 636, SSL on")) << r.out;
    EXPECT_TRUE(Has(r.out, "2. Main\n   server 127.0.0.1, port 3389, SSL off")) << r.out;
    EXPECT_TRUE(Has(r.out, "password set (stored enciphered)")) << r.out;
    EXPECT_TRUE(Has(r.out, "fax number attribute facsimileTelephoneNumber,fax")) << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "Zq-7!reader"));
    EXPECT_FALSE(RootHolds("Zq-7!reader")) << "a password in clear under the platform root";
    r = Novrix("directory move Backup up");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "is first already")) << r.err;
    ASSERT_EQ(0, Novrix("directory remove Backup").rc);
    r = Novrix("directory remove Backup");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no directory server named \"Backup\"")) << r.err;
}

TEST_F(NovrixDirectoryTest, RefusesBadEntriesWithNothingChanged) {
    ASSERT_EQ(0, Novrix("directory add Main --server ldap --base dc=x").rc);
    struct Case {
        std::string args, input, message;
    } cases[] = {
        {"--server ldap --base dc=x", "", "already registered"},
        {"--server ldap --base example.test", "", "not a distinguished name"},
        {"--server ldap --base ''", "", "search base must not be empty"},
        {"--server ldap --base dc=x --port 0", "", "between 1 and 65535"},
        {"--server ldap --base dc=x --port 70000", "", "between 1 and 65535"},
        {"--server ldap --base dc=x --timeout 1", "", "time-out must lie between 5 and 300"},
        {"--server ldap --base dc=x --attribute name=a,b,c,d", "", "at most three names (name)"},
        {"--server " + std::string(255, 's') + " --base dc=x", "", "longer than its field"},
        {"--server ldap --base dc=x --password-stdin", "\xe6\x97\xa5\xe6\x9c\xac\n", "code page 1252"},
        {"--server ldap --base dc=x --password-stdin", std::string(257, 'p') + "\n", "longer than 256"},
    };
    for (const Case& c : cases) {
        const std::string name = c.message == "already registered" ? "Main" : "Other";
        Outcome r = Novrix("directory add " + name + " " + c.args, c.input);
        EXPECT_EQ(1, r.rc) << c.args;
        EXPECT_TRUE(Has(r.err, c.message)) << c.args << ": " << r.err;
    }
    EXPECT_EQ(2, Novrix("directory add Other --server ldap --base dc=x --port many").rc);
    EXPECT_EQ(2, Novrix("directory add Other --server ldap").rc);  // no search base
    // A name of 31 characters is taken, one of 32 is not.
    EXPECT_EQ(0, Novrix("directory add " + std::string(31, 'n') + " --server ldap --base dc=x").rc);
    EXPECT_EQ(1, Novrix("directory add " + std::string(32, 'm') + " --server ldap --base dc=x").rc);
    Outcome r = Novrix("directory list");
    EXPECT_TRUE(Has(r.out, "1. Main\n")) << r.out;
    EXPECT_FALSE(Has(r.out, "3. ")) << r.out;
}

TEST_F(NovrixDirectoryTest, HoldsTwentyServersAndNeedsTheAdministrator) {
    for (int i = 1; i <= 20; ++i)
        ASSERT_EQ(0, Novrix("directory add S" + std::to_string(i) + " --server ldap --base dc=x").rc) << i;
    Outcome r = Novrix("directory add S21 --server ldap --base dc=x");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "holds 20 directory servers already")) << r.err;
    r = Novrix("--standard-user directory remove S1");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "needs the right to administer")) << r.err;
    EXPECT_TRUE(Has(Novrix("directory list").out, "20. S20")) ;
}

}  // namespace

namespace {

// The same list through the printer's properties: the settings tab's button opens
// the directory server dialog, whose OK stores what `directory list` then shows.
TEST_F(NovrixDirectoryTest, ThePrinterSheetsDialogRegistersAServer) {
    const std::string commands =
        "page Settings\npress Directory Servers\ntabs\npress Add\nset Entry name=Main\n"
        "set Server address=127.0.0.1\nok\ntab Search\nset Search base=dc=example,dc=test\n"
        "tab Connection\nset Port=1389\nset Password=Zq-7!dialog\nok\nquit\n";
    Outcome r = Novrix("printer properties", commands);
    EXPECT_EQ(1, r.rc) << "the first OK was refused (no search base)";
    EXPECT_TRUE(Has(r.out, "Dialog \"Directory Server Registration\" opened")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Connection\n  Search\n  Schema\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Enter the search base.")) << r.out;
    EXPECT_TRUE(Has(r.err, "the dialog did not accept its values and stays open")) << r.err;
    r = Novrix("directory list");
    EXPECT_TRUE(Has(r.out, "1. Main\n   server 127.0.0.1, port 1389, SSL off")) << r.out;
    EXPECT_TRUE(Has(r.out, "password set (stored enciphered)")) << r.out;
    EXPECT_FALSE(RootHolds("Zq-7!dialog")) << "a password in clear under the platform root";
    r = Novrix("printer properties", "page Settings\npress Directory Servers\ntab Nowhere\ncancel\nquit\n");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no tab \"Nowhere\" (tabs: Connection, Search, Schema)")) << r.err;
}

}  // namespace
