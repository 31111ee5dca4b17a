// novrix phonebook: the user's phone book kept across runs, exchanged as CSV, and
// filled from a search of the printer's directory servers (a throw-away slapd on
// 127.0.0.1).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "novrix_run.h"
#include "support/platform_test.h"
#include "support/test_slapd.h"

namespace {

using nvxtest::NovrixRunTest;
using nvxtest::Outcome;

class NovrixPhoneBookTest : public NovrixRunTest {};

TEST_F(NovrixPhoneBookTest, KeepsDestinationsAcrossRunsAndExchangesCsv) {
    ASSERT_EQ(0, Novrix("phonebook add 0301-555 --name 'Ann Smith' --company Example").rc);
    Outcome r = Novrix("phonebook add 0301-555 --name Other");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "is stored already")) << r.err;
    r = Novrix("phonebook add 03a1");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "0123456789#*PT-")) << r.err;
    EXPECT_EQ(1, Novrix("phonebook add " + std::string(39, '1')).rc);
    EXPECT_EQ(0, Novrix("phonebook add " + std::string(38, '1')).rc);
    {
        std::ofstream csv(Root() + "/in.csv");
        csv << "name,fax number,company,department,ecm,international,v34\n"
               "\"Jones, Bob\",0302,,Sales,0,1,0\n\xE5\xB1\xB1\xE7\x94\xB0,0303\nBroken,12x\n\"unended,0304\n";
    }
    r = Novrix("phonebook import '" + Root() + "/in.csv'");
    EXPECT_EQ(1, r.rc);  // two rows refused, the others taken
    EXPECT_TRUE(Has(r.err, "line 4:")) << r.err;
    EXPECT_TRUE(Has(r.err, "line 5: a quoted field does not end")) << r.err;
    EXPECT_TRUE(Has(r.out, "Imported 2 of 4 rows")) << r.out;
    r = Novrix("phonebook list");
    EXPECT_TRUE(Has(r.out, "1. 0301-555  Ann Smith  (Example)")) << r.out;
    EXPECT_TRUE(Has(r.out, "0302  Jones, Bob  ECM off, international on, V.34 off")) << r.out;
    EXPECT_TRUE(Has(r.out, "0303  \xE5\xB1\xB1\xE7\x94\xB0")) << r.out;
    ASSERT_EQ(0, Novrix("phonebook export '" + Root() + "/out.csv'").rc);
    EXPECT_TRUE(Has(Read(Root() + "/out.csv"), "\"Jones, Bob\",0302,,Sales,0,1,0\n")) << Read(Root() + "/out.csv");
    ASSERT_EQ(0, Novrix("phonebook remove 0302").rc);
    EXPECT_EQ(1, Novrix("phonebook remove 0302").rc);
    EXPECT_FALSE(Has(Novrix("phonebook list").out, "0302"));
}

TEST_F(NovrixPhoneBookTest, SearchesTheRegisteredDirectoryAndStoresWhatItFinds) {
    nvxtest::TestSlapd server;
    std::string why;
    ASSERT_TRUE(server.Start("dn: cn=Ann Smith,dc=example,dc=test\nobjectClass: inetOrgPerson\ncn: Ann Smith\n"
                             "sn: Smith\nfacsimileTelephoneNumber: 0301-555\nou: Sales\n\n"
                             "dn: cn=Anna Bell,dc=example,dc=test\nobjectClass: inetOrgPerson\ncn: Anna Bell\n"
                             "sn: Bell\n\n",
                             "Rd-9x!admin", &why))
        << why;
    const std::string port = std::to_string(server.Port());
    Outcome r = Novrix("directory add Test --server 127.0.0.1 --port " + port +
                           " --base dc=example,dc=test --logon cn=admin,dc=example,dc=test --password-stdin",
                       "Rd-9x!admin\n");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("phonebook search Ann --store");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Test: 1 found, 1 without a fax number left out")) << r.out;
    EXPECT_TRUE(Has(r.out, "  0301-555  Ann Smith  (Sales)")) << r.out;
    EXPECT_TRUE(Has(r.out, "Stored 1 in the phone book")) << r.out;
    EXPECT_TRUE(Has(Novrix("phonebook list").out, "0301-555  Ann Smith")) << "kept for the next run";
    EXPECT_FALSE(RootHolds("Rd-9x!admin")) << "a directory password in clear under the platform root";
    EXPECT_FALSE(Has(r.out + r.err, "Rd-9x!admin"));

    // A wrong password, then a server that is gone: said, exit 1.
    ASSERT_EQ(0, Novrix("directory remove Test").rc);
    ASSERT_EQ(0, Novrix("directory add Test --server 127.0.0.1 --port " + port +
                            " --base dc=example,dc=test --logon cn=admin,dc=example,dc=test --password-stdin",
                        "wrong\n")
                     .rc);
    r = Novrix("phonebook search Ann");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Test: the server refused the logon")) << r.err;
    server.Stop();
    r = Novrix("phonebook search Ann");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Test: the server cannot be reached")) << r.err;
}

TEST_F(NovrixPhoneBookTest, SearchWithoutDirectoryServersSaysHowToAddOne) {
    Outcome r = Novrix("phonebook search Ann");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "has no directory servers (novrix directory add)")) << r.err;
    EXPECT_EQ(2, Novrix("phonebook search").rc);
}

TEST_F(NovrixPhoneBookTest, AFaxTakesDestinationsFromTheDirectoryTheDeviceAndThePhoneBook) {
    nvxtest::TestSlapd server;
    std::string why;
    ASSERT_TRUE(server.Start("dn: cn=Ann Smith,dc=example,dc=test\nobjectClass: inetOrgPerson\ncn: Ann Smith\n"
                             "sn: Smith\nfacsimileTelephoneNumber: 0301-555\n\n",
                             "Rd-9x!admin", &why))
        << why;
    // The sample device at 192.0.2.10: users log in, departments count.
    ASSERT_EQ(0, Novrix("printer add Dev --address 192.0.2.10").rc);
    ASSERT_EQ(0, Novrix("auth set --printer Dev --user alice --password-stdin --department SALES "
                        "--department-password-stdin",
                        "wonderland\n1234\n")
                     .rc);
    ASSERT_EQ(0, Novrix("directory add Test --printer Dev --server 127.0.0.1 --port " +
                            std::to_string(server.Port()) +
                            " --base dc=example,dc=test --logon cn=admin,dc=example,dc=test --password-stdin",
                        "Rd-9x!admin\n")
                     .rc);
    ASSERT_EQ(0, Novrix("phonebook add 0309 --name Kept").rc);
    Outcome r = Novrix("fax send --printer Dev --from-directory Ann=0301-555 --from-device 0398765432 "
                       "--from-book 0309");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Directory search \"Ann\": Test: 1 found")) << r.out;
    EXPECT_TRUE(Has(r.out, "The host receives 3 destinations:\n"
                           "  1. 0301-555  Ann Smith  ECM on, international off, V.34 on\n"
                           "  2. 0398765432  Warehouse  ECM on, international off, V.34 on\n"
                           "  3. 0309  Kept  ECM on, international off, V.34 on\n"))
        << r.out;
    // A number the source does not hold: said, nothing sent.
    r = Novrix("fax send --printer Dev --from-device 0999");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no destination 0999 in the device's speed dials")) << r.err;
    EXPECT_FALSE(RootHolds("Rd-9x!admin"));
    EXPECT_FALSE(RootHolds("wonderland"));
}

}  // namespace
