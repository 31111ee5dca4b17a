// novrix device serve, device info and printer add --address, on a private root:
// the simulator started by the test on a free loopback port and stopped by it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/kerberos_realm.h"
#include "support/platform_test.h"

namespace {

struct Outcome {
    int rc = -1;
    std::string out, err;
};

class NovrixDeviceTest : public PlatformTest {
protected:
    void TearDown() override {
        StopServe();
        PlatformTest::TearDown();
    }
    // Runs novrix; `input` (commands, for a run without scripted actions) is its standard input.
    Outcome Novrix(const std::string& args, const std::string& input = "") {
        std::ofstream(Root() + "/in.txt", std::ios::binary) << input;
        std::string cmd = "env -u NOVRIX_DEBUG_OUTPUT " + std::string(NVX_NOVRIX_EXE) + " --root '" + Root() + "' " +
                          args + " <'" + Root() + "/in.txt' >'" + Root() + "/out.txt' 2>'" + Root() + "/err.txt'";
        int status = std::system(cmd.c_str());
        Outcome r;
        r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Read("out.txt");
        r.err = Read("err.txt");
        return r;
    }
    std::string Read(const char* file) {
        std::ifstream in(Root() + "/" + file);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Starts `novrix device serve` on a free port; answers the port (0 on failure).
    int Serve(const std::string& profile) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return 0;
        serve_ = fork();
        if (serve_ == 0) {
            dup2(pipeFds[1], 1);
            close(pipeFds[0]);
            close(pipeFds[1]);
            execl(NVX_NOVRIX_EXE, NVX_NOVRIX_EXE, "--root", Root().c_str(), "device", "serve", "--profile",
                  profile.c_str(), "--listen", "127.0.0.1:0", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        serveOut_ = fdopen(pipeFds[0], "r");
        char line[512] = {};
        if (!serveOut_ || !fgets(line, sizeof line, serveOut_)) return 0;
        std::string text = line;
        size_t at = text.find("127.0.0.1:");
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 10);
    }
    // Stops it as Ctrl-C would; answers its exit status and its last line.
    int StopServe(std::string* lastLine = nullptr) {
        if (serve_ <= 0) return -1;
        kill(serve_, SIGINT);
        int status = 0;
        waitpid(serve_, &status, 0);
        serve_ = 0;
        char line[512] = {};
        std::string last;
        while (serveOut_ && fgets(line, sizeof line, serveOut_)) last = line;
        if (serveOut_) fclose(serveOut_);
        serveOut_ = nullptr;
        if (lastLine) *lastLine = last;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    pid_t serve_ = 0;
    FILE* serveOut_ = nullptr;
};

TEST_F(NovrixDeviceTest, APrinterAtTheSimulatorGetsItsInformationAndKeepsItWhenTheSimulatorStops) {
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 3},
      "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
      "blocks": {"abbr": [{"number": 1, "name": "Head office", "kind": "Fax", "faxNumber": "01"},
                          {"number": 2, "name": "Branch", "kind": "Fax", "faxNumber": "02"}]}})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    const std::string address = "127.0.0.1:" + std::to_string(port);
    Outcome r = Novrix("printer add 'Sim Fax' --address " + address);
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("printer list");
    EXPECT_TRUE(Has(r.out, "Sim Fax  (driver NOVRIX Fax Driver, port IP_" + address)) << r.out;

    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_EQ(0, r.rc);
    EXPECT_TRUE(Has(r.out, "No device information is cached for this printer")) << r.out;
    r = Novrix("device info --printer 'Sim Fax' --refresh");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Device address: " + address)) << r.out;
    EXPECT_TRUE(Has(r.out, "Asked the device: the information below is fresh.")) << r.out;
    EXPECT_TRUE(Has(r.out, "Last asked: ")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Speed dials: current, 2 entries")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Device API configuration: current, port 50003, single sign-on off, set-up generation 3"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "  Encryption key: not held")) << r.out;
    // Opening the preferences asks the device and, when it answers, says nothing about it.
    r = Novrix("prefs --printer 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_FALSE(Has(r.out, "Device information")) << r.out;

    std::string last;
    EXPECT_EQ(0, StopServe(&last));
    EXPECT_TRUE(Has(last, "Device simulator stopped after ")) << last;

    r = Novrix("prefs --printer 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Device information: the device did not answer (code 16); the pages use the information "
                           "cached "))
        << r.out;
    r = Novrix("device info --printer 'Sim Fax' --refresh");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "The device did not answer (code 16); the cache keeps what it held.")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Speed dials: current, 2 entries")) << r.out;
}

// The device's header/footer programs: cached when the preferences open, shown by
// device info with what each prints, offered by name on the Stamp/Composition tab,
// and the one chosen stored as the program's number.
TEST_F(NovrixDeviceTest, HeaderFooterProgramsOfTheDeviceReachTheStampTab) {
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 3},
      "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
      "blocks": {"fileInfo.8": [
        {"state": "On", "name": "Confidential", "dateFormat": "Date1", "timeFormat": "Time2",
         "headerText": "CONFIDENTIAL", "headerItems": ["On", "On", "Off", "Off"],
         "footerText": "", "footerItems": ["Off", "Off", "On", "On"]},
        {"state": "Off", "name": "Unused"},
        {"state": "On", "name": "Draft copy", "headerText": "DRAFT"}]}})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    ASSERT_EQ(0, Novrix("printer add 'Sim Fax' --address 127.0.0.1:" + std::to_string(port)).rc);
    Outcome r = Novrix("device info --printer 'Sim Fax' --refresh");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "  Header/footer programs: current, 3 entries\n    program 1 \"Confidential\"\n"
                           "      text           header: CONFIDENTIAL; footer: \n"
                           "      date/time      header: YY/MM/DD HH:MM; footer: OFF\n"
                           "      serial number  header: OFF; footer: ON\n"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "    program 2 \"Unused\" (off)\n")) << r.out;
    r = Novrix("prefs --printer 'Sim Fax' --set Header/Footer=on --set 'Program=Draft copy' --apply");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    r = Novrix("prefs --printer 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Header/Footer: on\n  Program: Draft copy\n")) << r.out;

    // The header/footer dialog: a start number past its range is refused and the dialog
    // stays open; one inside is kept.
    r = Novrix("prefs --printer 'Sim Fax'", "page Stamp/Composition\npress Edit Header/Footer...\nshow\n"
                                            "set Start Number=99999999999\nok\nset Start Number=42\nok\napply\n");
    EXPECT_TRUE(Has(r.out, "Dialog \"Edit Header/Footer\" opened")) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Enter a number from 0 to 4294967295.")) << r.out;
    r = Novrix("prefs --printer 'Sim Fax'", "page Stamp/Composition\npress Edit Header/Footer...\nshow\ncancel\n");
    EXPECT_TRUE(Has(r.out, "  Start Number: 42\n")) << r.out << r.err;
    EXPECT_EQ(0, StopServe());
}

// The installed options the device reports: taken when the preferences open, kept
// with the printer, listed by device info and on the printer's device option tab;
// with the simulator stopped the sheet opens from the cache and the tab keeps them.
TEST_F(NovrixDeviceTest, TheInstalledOptionsComeFromTheDeviceAndStayWhenItStops) {
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 1},
      "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
      "options": {"OpStaplerUnit": 1, "OpInTrayUnit": 1}})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    Outcome r = Novrix("printer add 'Sim Fax' --address 127.0.0.1:" + std::to_string(port));
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_TRUE(Has(r.out, "Installed options: the model's defaults")) << r.out;
    r = Novrix("prefs --printer 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Installed options: taken from the device and kept with the printer")) << r.out;
    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_TRUE(Has(r.out, "Installed options (kept with the printer):\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Stapler: Inner Finisher\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Paper Feed Unit: 1 Tray\n")) << r.out;
    // The same answer again changes nothing and says nothing.
    r = Novrix("prefs --printer 'Sim Fax' --show");
    EXPECT_FALSE(Has(r.out, "Installed options")) << r.out;

    // The tab shows them; a person changes one and keeps it.
    r = Novrix("printer properties 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "[Device Options]")) << r.out;
    EXPECT_TRUE(Has(r.out, "Finisher: Inner Finisher")) << r.out;
    r = Novrix("printer properties 'Sim Fax' --set 'Installed Options=Output Tray Unit' --set 'Setting=Shift Tray' "
               "--apply");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Applied: the installed options were kept with Sim Fax.")) << r.out;
    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_TRUE(Has(r.out, "  Output Tray Unit: Shift Tray\n")) << r.out;
    r = Novrix("printer properties 'Sim Fax' --set 'Setting=Nothing'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "has no entry \"Nothing\"")) << r.err;

    // The device loses its finisher: asked from the tab (after a Yes), the record follows.
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 2},
      "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
      "options": {"OpStaplerUnit": 0}})";
    r = Novrix("printer properties 'Sim Fax' --press 'Get Device Information'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "the question was declined (--yes answers it)")) << r.err;
    r = Novrix("printer properties 'Sim Fax' --press 'Get Device Information' --yes --apply --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "The installed options were taken from the device.")) << r.out;
    EXPECT_TRUE(Has(r.out, "Finisher: None")) << r.out;
    EXPECT_TRUE(Has(r.out, "Output Tray Unit: Shift Tray")) << r.out;  // not reported: kept

    ASSERT_EQ(0, StopServe());
    r = Novrix("prefs --printer 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Device information: the device did not answer (code 16); the pages use the information "
                           "cached "))
        << r.out;
    EXPECT_FALSE(Has(r.out, "Installed options")) << r.out;
    r = Novrix("printer properties 'Sim Fax' --press 'Get Device Information' --yes --show");
    EXPECT_TRUE(Has(r.out, "could not be asked for its installed options (code 16). The options are as they were."))
        << r.out;
    EXPECT_TRUE(Has(r.out, "Finisher: None")) << r.out;
    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_TRUE(Has(r.out, "  Stapler: None\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Output Tray Unit: Shift Tray\n")) << r.out;
}

TEST_F(NovrixDeviceTest, TheDevicesAuthenticationBecomesItsDeviceSettingsItems) {
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 1, "signOnData": "realm"},
      "capability": {"authenticationType": "Device", "accountTrackType": "Password", "publicUser": 0}})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    ASSERT_EQ(0, Novrix("printer add 'Sim Fax' --address 127.0.0.1:" + std::to_string(port)).rc);
    Outcome r = Novrix("prefs --printer 'Sim Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    // They follow the device silently: they are no installed options.
    EXPECT_FALSE(Has(r.out, "Installed options")) << r.out;
    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_TRUE(Has(r.out, "  User Authentication: Device\n  Account Track: On\n  Public User Access: Not Allowed\n"
                           "  Single Sign-On: On\n"))
        << r.out;
    // The device changes its set-up: the next sheet follows it.
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 2},
      "capability": {"authenticationType": "DeviceAndServer", "accountTrackType": "None", "publicUser": 1}})";
    ASSERT_EQ(0, Novrix("prefs --printer 'Sim Fax' --show").rc);
    r = Novrix("device info --printer 'Sim Fax'");
    EXPECT_TRUE(Has(r.out, "  User Authentication: Device and Authentication Server\n  Account Track: Off\n"
                           "  Public User Access: Allowed\n  Single Sign-On: Off\n"))
        << r.out;
    ASSERT_EQ(0, StopServe());
}

TEST_F(NovrixDeviceTest, ADeviceThatNeverAnsweredLeavesNoCacheAndSaysSo) {
    // Port 9 (discard): nothing that speaks the device API answers there, so the device fails.
    Outcome r = Novrix("printer add 'Gone Fax' --address 127.0.0.1:9");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("prefs --printer 'Gone Fax' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "no device information is cached, the pages use the printer's settings.")) << r.out;
}

TEST_F(NovrixDeviceTest, UsageErrorsAndRefusals) {
    struct {
        const char* args;
        int rc;
        const char* message;
    } cases[] = {
        {"printer add X --address 192.0.2.1:0", 2, "is not a device address"},
        {"printer add X --address 'a b:80'", 2, "is not a device address"},
        {"printer add X --address 127.0.0.1:80 --port IP_1", 2, "give --port or --address, once"},
        {"device serve", 2, "a device profile is needed"},
        {"device serve --profile p.json --listen 0.0.0.0:0", 2, "listens on the loopback only"},
        {"device serve --profile p.json --listen 127.0.0.1:99999", 2, "--listen wants 127.0.0.1:PORT"},
        {"device serve --profile p.json --fault OAPILogin=sometimes", 2, "--fault wants FUNCTION=FAULT"},
        {"device serve --profile /nonexistent.json", 1, "cannot read the profile"},
        {"device info --printer 'No Such'", 1, "unknown printer"},
        {"device frobnicate", 2, "usage: novrix device"},
    };
    for (const auto& c : cases) {
        Outcome r = Novrix(c.args);
        EXPECT_EQ(c.rc, r.rc) << c.args;
        EXPECT_TRUE(Has(r.err, c.message)) << c.args << ": " << r.err;
    }
    Outcome r = Novrix("printer add 'Ok Fax' --address dev-1.example.test:8080");
    EXPECT_EQ(0, r.rc) << r.err;
}


// novrix job start against the simulator: each step and the device's answer; wrong
// credentials give the device's own text; the password appears nowhere.
TEST_F(NovrixDeviceTest, JobStartLogsInWithTheStoredSettingsAndShowsTheDevicesRefusal) {
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 1},
      "capability": {"authenticationType": "Device", "accountTrackType": "None", "publicUser": 0},
      "users": [{"name": "alice", "password": "Tr0ub4dor-3"}],
      "encryption": {"keyKind": "UserDefined", "passphrase": "OpenSesame"}})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    ASSERT_EQ(0, Novrix("printer add 'Sim Fax' --address 127.0.0.1:" + std::to_string(port)).rc);
    auto setPassword = [&](const std::string& password) {
        std::ofstream(Root() + "/in.txt") << password << "\n";
        const std::string cmd = std::string(NVX_NOVRIX_EXE) + " --root '" + Root() +
                                "' auth --printer 'Sim Fax' set --user alice --password-stdin <'" + Root() +
                                "/in.txt' >/dev/null 2>&1";
        const int status = std::system(cmd.c_str());
        std::remove((Root() + "/in.txt").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(0, setPassword("Tr0ub4dor-3"));
    Outcome r = Novrix("job --printer 'Sim Fax' start");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Document created: the device's configuration is kept")) << r.out;
    EXPECT_TRUE(Has(r.out, "1. Authentication capability: accepted")) << r.out;
    EXPECT_TRUE(Has(r.out, "2. Device answers: yes; authentication: Device")) << r.out;
    EXPECT_TRUE(Has(r.out, "3. Login as alice: accepted")) << r.out;
    EXPECT_TRUE(Has(r.out, "4. Encryption key: received and kept enciphered (16 bytes, user-defined)")) << r.out;
    EXPECT_TRUE(Has(r.out, "The device accepts the job.")) << r.out;

    ASSERT_EQ(0, setPassword("not-the-one"));
    r = Novrix("job --printer 'Sim Fax' start");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "3. Login as alice: refused by the device: AuthIllegalPassword")) << r.out;
    EXPECT_TRUE(Has(r.out, "The device does not accept the job.")) << r.out;
    EXPECT_FALSE(Has(r.out + r.err, "Tr0ub4dor-3"));
    EXPECT_FALSE(Has(r.out + r.err, "not-the-one"));

    StopServe();
    r = Novrix("job --printer 'Sim Fax' start");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "3. Login as alice: the device does not answer (code 1)")) << r.out;
    EXPECT_EQ(2, Novrix("job --printer 'Sim Fax' begin").rc);
}

// novrix auth middle-server against the simulator: Verify shows the device's
// answer in the pop-up's own words, OK stores the choice; the password appears nowhere.
TEST_F(NovrixDeviceTest, MiddleServerPopupVerifiesWithTheDeviceAndStoresTheChoice) {
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 1},
      "capability": {"authenticationType": "Device", "accountTrackType": "None", "publicUser": 0},
      "users": [{"name": "carol", "password": "Mid-Secret-9"}]})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    ASSERT_EQ(0, Novrix("printer add 'Sim Fax' --address 127.0.0.1:" + std::to_string(port)).rc);
    auto run = [&](const std::string& password, const std::string& args) {
        std::ofstream(Root() + "/in.txt") << password << "\n";
        const std::string cmd = "env -u NOVRIX_DEBUG_OUTPUT " + std::string(NVX_NOVRIX_EXE) + " --root '" + Root() +
                                "' auth --printer 'Sim Fax' middle-server " + args + " <'" + Root() + "/in.txt' >'" +
                                Root() + "/out.txt' 2>'" + Root() + "/err.txt'";
        const int status = std::system(cmd.c_str());
        std::remove((Root() + "/in.txt").c_str());
        Outcome r;
        r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Read("out.txt");
        r.err = Read("err.txt");
        return r;
    };
    Outcome r = run("wrong-one", "--user carol --password-stdin --verify");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "The password is wrong.")) << r.out;
    EXPECT_TRUE(Has(r.out, "Verification: not accepted")) << r.out;
    r = run("Mid-Secret-9", "--user carol --password-stdin --verify");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "The device accepted the user name and password.")) << r.out;
    EXPECT_TRUE(Has(r.out, "Stored for Sim Fax: middle server user carol, password set (stored enciphered, 16 bytes)"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "Verification: accepted by the device")) << r.out;
    for (const char* secret : {"Mid-Secret-9", "wrong-one"}) EXPECT_FALSE(Has(r.out + r.err, secret)) << secret;
    // Cancel changes nothing; the public user needs no name.
    r = run("", "--public --cancel");
    EXPECT_EQ(0, r.rc);
    EXPECT_TRUE(Has(r.out, "Cancelled: the settings of Sim Fax are as they were.")) << r.out;
    r = run("", "--public");
    EXPECT_EQ(0, r.rc);
    EXPECT_TRUE(Has(r.out, "Stored for Sim Fax: middle server public user")) << r.out;
    // The device gone: the pop-up says so and nothing is accepted.
    StopServe();
    r = run("", "--verify --cancel");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "could not be verified")) << r.out;
    EXPECT_EQ(2, Novrix("auth --printer 'Sim Fax' middle-server --public --user carol").rc);
    EXPECT_EQ(2, Novrix("auth --printer 'Sim Fax' login --verify").rc);
}

// novrix job start --sso against the simulator, with a throw-away Kerberos realm:
// signed on with a ticket, not without one.
TEST_F(NovrixDeviceTest, JobStartSignsOnWithKerberos) {
    nvxtest::KerberosRealm realm;
    std::string error;
    ASSERT_TRUE(realm.Start(&error)) << "the test realm's KDC could not be started: " << error;
    const std::string profile = Root() + "/device.json";
    std::ofstream(profile) << R"({"configuration": {"port": 50003, "generation": 1, "signOnData": "HTTP",
        "cached": "device.test"},
      "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
      "signOn": {"keytab": ")" << realm.DeviceKeytab() << R"("}})";
    const int port = Serve(profile);
    ASSERT_GT(port, 0);
    ASSERT_EQ(0, Novrix("printer add 'Sim Fax' --address 127.0.0.1:" + std::to_string(port)).rc);
    Outcome r = Novrix("job --printer 'Sim Fax' start --sso");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "3. Login as the public user: accepted")) << r.out;
    EXPECT_TRUE(Has(r.out, "5. Single sign-on: not signed on (state 2)")) << r.out;
    ASSERT_TRUE(realm.Kinit("1h", &error)) << error;
    r = Novrix("job --printer 'Sim Fax' start --sso");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "5. Single sign-on: signed on; authentication: None")) << r.out;
    EXPECT_TRUE(Has(r.out, "   Sign-on record: context of alice@NOVRIX.TEST, integrity token of ")) << r.out;
    EXPECT_TRUE(Has(r.out, "The device accepts the job.")) << r.out;
}

}  // namespace
