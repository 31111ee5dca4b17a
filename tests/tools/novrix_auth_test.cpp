// novrix auth: the user name, department and passwords of a printer set from the
// command line and shown back; the passwords never appear in clear in any output,
// the debugger output or any file under the platform root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "novrix_run.h"
#include "support/platform_test.h"

namespace {

using nvxtest::NovrixRunTest;
using nvxtest::Outcome;

class NovrixAuthTest : public NovrixRunTest {};

TEST_F(NovrixAuthTest, SetAndShowNeverRevealThePasswords) {
    Outcome r = Novrix("auth set --user alice --department 0815 --password-stdin --department-password-stdin",
                       "Kr6-Qz!passw0rd\n7364\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Stored for NOVRIX MFP 1.")) << r.out;
    r = Novrix("auth show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "user name            alice")) << r.out;
    EXPECT_TRUE(Has(r.out, "password             set (stored enciphered, 16 bytes)")) << r.out;
    EXPECT_TRUE(Has(r.out, "department           0815")) << r.out;
    EXPECT_TRUE(Has(r.out, "department password  set (stored enciphered, 16 bytes)")) << r.out;
    EXPECT_TRUE(Has(r.out, "password cipher      AES")) << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "Kr6-Qz!passw0rd"));
    EXPECT_FALSE(RootHolds("Kr6-Qz!passw0rd")) << "a password in clear under the platform root";
    EXPECT_FALSE(RootHolds("7364"));
    // Changing the name keeps the stored password.
    ASSERT_EQ(0, Novrix("auth set --user bob").rc);
    r = Novrix("auth show");
    EXPECT_TRUE(Has(r.out, "user name            bob")) << r.out;
    EXPECT_TRUE(Has(r.out, "password             set (stored enciphered, 16 bytes)")) << r.out;
}

TEST_F(NovrixAuthTest, PasswordsThatDoNotFitAreRefusedAndNothingChanges) {
    ASSERT_EQ(0, Novrix("auth set --user carol --password-stdin", "first\n").rc);
    // At the limit: stored (80 enciphered bytes); one past: refused.
    Outcome r = Novrix("auth set --password-stdin", std::string(64, 'a') + "\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(Novrix("auth show").out, "set (stored enciphered, 80 bytes)"));
    r = Novrix("auth set --password-stdin", std::string(65, 'a') + "\n");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "longer than the field takes")) << r.err;
    // Text outside code page 1252 (Greek, a Japanese character): refused with a clear message.
    r = Novrix("auth set --password-stdin", "\xce\xb1\xce\xb2\xce\xb3\n");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "code page 1252")) << r.err;
    r = Novrix("auth set --password-stdin", "pass\xe6\x97\xa5\n");
    EXPECT_EQ(1, r.rc);
    // A NUL inside would cut the password: refused.
    r = Novrix("auth set --password-stdin", std::string("ab\0cd\n", 6));
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "NUL")) << r.err;
    // Nothing on standard input.
    r = Novrix("auth set --password-stdin");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no password on standard input")) << r.err;
    // Names beyond their limits.
    r = Novrix("auth set --user " + std::string(81, 'u'));
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "at most 80 characters")) << r.err;
    EXPECT_EQ(1, Novrix("auth set --department 1234567890123").rc);
    // After all refusals the earlier settings stand.
    r = Novrix("auth show");
    EXPECT_TRUE(Has(r.out, "user name            carol")) << r.out;
    EXPECT_TRUE(Has(r.out, "set (stored enciphered, 80 bytes)")) << r.out;
    // An empty password is a password of its own (one AES block).
    ASSERT_EQ(0, Novrix("auth set --password-stdin", "\n").rc);
    EXPECT_TRUE(Has(Novrix("auth show").out, "password             set (stored enciphered, 16 bytes)"));
}

TEST_F(NovrixAuthTest, LoginPlaysTheUserAuthenticationPopUp) {
    Outcome r = Novrix("auth login --user alice --password-stdin", "Kr6-Qz!passw0rd\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Stored for NOVRIX MFP 1: user alice, password set (stored enciphered, 16 bytes)")) << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "Kr6-Qz!passw0rd"));
    EXPECT_FALSE(RootHolds("Kr6-Qz!passw0rd")) << "a password in clear under the platform root";
    EXPECT_TRUE(Has(Novrix("auth show").out, "user name            alice"));
    // A password the pop-up refuses: its message, exit 1, nothing changed.
    r = Novrix("auth login --user bob --password-stdin", "\xce\xb1\n");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out + r.err, "code page 1252")) << r.out << r.err;
    EXPECT_TRUE(Has(Novrix("auth show").out, "user name            alice"));
    // Cancel changes nothing; the public user keeps the stored name and password.
    r = Novrix("auth login --public --cancel");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Cancelled")) << r.out;
    r = Novrix("auth login --public");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "public user")) << r.out;
    EXPECT_TRUE(Has(Novrix("auth show").out, "password             set (stored enciphered, 16 bytes)"));
    EXPECT_EQ(2, Novrix("auth login --public --user x").rc);
    EXPECT_EQ(2, Novrix("auth set --user x --cancel").rc);
}

TEST_F(NovrixAuthTest, UserSettingsPlaysTheUserSettingsPopUp) {
    Outcome r = Novrix("auth user-settings --id 4711 --password-stdin --box-name minutes --box-number 12",
                       "Kr6-Qz!passw0rd\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Stored for NOVRIX MFP 1: secure print ID 4711, password set (stored enciphered, 16 "
                           "bytes), box minutes number 12"))
        << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "Kr6-Qz!passw0rd"));
    EXPECT_FALSE(RootHolds("Kr6-Qz!passw0rd")) << "a password in clear under the platform root";
    // Beyond a field's limit: refused, never cut.
    r = Novrix("auth user-settings --id 12345678901234567");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "at most 16 characters")) << r.err;
    EXPECT_EQ(1, Novrix("auth login --user " + std::string(81, 'u')).rc);
    // Cancel, and the stored values stand.
    r = Novrix("auth user-settings --id 1 --cancel");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("auth user-settings");
    EXPECT_TRUE(Has(r.out, "secure print ID 4711, password set")) << r.out;
    EXPECT_EQ(2, Novrix("auth user-settings --user x").rc);
    EXPECT_EQ(2, Novrix("auth set --id 1").rc);
}

// With the type-1 user settings switched on, user-settings presses the Basic tab's
// button and drives the type-1 dialog; the ID and box live in the store only.
TEST_F(NovrixAuthTest, UserSettingsOfTheType1VariantGoThroughTheBasicTab) {
    setenv("NOVRIX_VARIANTS", "_DLG_USRSET_TYPE1=1,_DLG_USRSET_TYPE2=0", 1);
    Outcome r = Novrix("auth user-settings --id 4711 --password-stdin --box-name minutes --box-number 12 "
                       "--retention \"Keep in User Box\"",
                       "Kr6-Qz!passw0rd\n");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Stored for NOVRIX MFP 1: secure print ID 4711, password set (stored enciphered, 16 "
                           "bytes), box minutes number 12, output method 2"))
        << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "Kr6-Qz!passw0rd"));
    EXPECT_FALSE(RootHolds("Kr6-Qz!passw0rd")) << "a password in clear under the platform root";
    r = Novrix("auth user-settings --retention Shred");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no job retention \"Shred\"")) << r.err;
    r = Novrix("auth user-settings --verify");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "The device accepted the user name and password.")) << r.out;
    // The dialog started from what the store held: nothing of it was lost by opening it again.
    EXPECT_TRUE(Has(r.out, "secure print ID 4711, password set (stored enciphered, 16 bytes), box minutes number 12, "
                           "output method 2"))
        << r.out;
    unsetenv("NOVRIX_VARIANTS");
    EXPECT_EQ(2, Novrix("auth user-settings --retention Print").rc) << "only the type-1 dialog has it";
}

TEST_F(NovrixAuthTest, ServerPlaysTheAuthenticationServerDialog) {
    Outcome r = Novrix("auth server --server Server101 --tree corp.example --expense-code C-100 --password-stdin",
                       "pw12345!\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Stored for NOVRIX MFP 1: authentication server 21, tree/domain corp.example, expense "
                           "code C-100, expense code password set (stored enciphered)"))
        << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "pw12345!"));
    EXPECT_FALSE(RootHolds("pw12345!")) << "a password in clear under the platform root";
    r = Novrix("auth server --tree m\xc3\xbcller");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "refused")) << r.err;
    EXPECT_TRUE(Has(r.out, "plain ASCII")) << r.out;
    r = Novrix("auth server --server Server99");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no server \"Server99\"")) << r.err;
    r = Novrix("auth server --expense-code 1 --cancel");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Cancelled")) << r.out;
    EXPECT_EQ(2, Novrix("auth server --user x").rc);
    EXPECT_EQ(2, Novrix("auth login --tree x").rc);
}

TEST_F(NovrixAuthTest, UsageErrors) {
    EXPECT_EQ(2, Novrix("auth").rc);
    EXPECT_EQ(2, Novrix("auth set").rc);
    EXPECT_EQ(2, Novrix("auth show --user x").rc);
    EXPECT_EQ(2, Novrix("auth set --bogus").rc);
    EXPECT_EQ(1, Novrix("auth --printer nobody show").rc);
    EXPECT_EQ(0, Novrix("auth --help").rc);
}

}  // namespace

namespace {

// novrix job blank-check: the module's blank page question as the renderer would
// meet it, with the user's preferences deciding whether it is asked.
TEST_F(NovrixAuthTest, BlankCheckAsksOnlyWhenThePreferencesSaySo) {
    Outcome r = Novrix("job blank-check --ratio 90 --page 2");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "No question: the blank page check is off for this job")) << r.out;
    ASSERT_EQ(0, Novrix("prefs --set \"Skip Nearly Blank Pages=on\" --set \"Blank Ratio=50%\" --apply").rc);
    r = Novrix("job blank-check --ratio 40");
    EXPECT_TRUE(Has(r.out, "asking at 50% blank and more\nNo question: the page is below the ratio")) << r.out;
    r = Novrix("job blank-check --ratio 60 --page 4 --stop --no");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Dialog \"Blank Page Detection\": Page 4 of the job is 60% blank.")) << r.out;
    EXPECT_TRUE(Has(r.out, "  -> Do Not Print\nThe page is not printed.\n"
                           "The blank page check is off for the rest of the job.")) << r.out;
    r = Novrix("job blank-check --ratio 100", "yes\n");
    EXPECT_TRUE(Has(r.out, "-> Print\nThe page is printed.")) << r.out;
    r = Novrix("job blank-check --ratio 101");
    EXPECT_EQ(2, r.rc);
    EXPECT_TRUE(Has(r.err, "--ratio takes a percentage from 0 to 100")) << r.err;
    EXPECT_EQ(2, Novrix("job blank-check").rc) << "the ratio is required";
}

}  // namespace
