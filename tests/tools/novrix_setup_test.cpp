// novrix setup: an administrator moves a configured printer to a fresh one with the
// setup transfer, makes it the default and locks two settings; a user then sees
// them locked in novrix prefs.  Refusals print the export's code and message and
// change nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "novrix_run.h"
#include "support/platform_test.h"

namespace {

using nvxtest::NovrixRunTest;
using nvxtest::Outcome;

class NovrixSetupTest : public NovrixRunTest {
protected:
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(Root() + "/" + name, std::ios::binary) << bytes;
    }
    std::string Path(const std::string& name) { return "'" + Root() + "/" + name + "'"; }
};

TEST_F(NovrixSetupTest, AConfiguredPrinterMovesToAFreshOneAndTwoSettingsAreLocked) {
    Outcome r = Novrix("prefs --set Copies=3 --set 'Output Method=Secure Print' --set Collate=off --apply");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("setup export " + Path("office.txt"));
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("SPRINST_SettingExport: 0 The settings were transferred.\n", r.out);
    const std::string file = Read(Root() + "/office.txt");
    EXPECT_TRUE(Has(file, "name=\"DD-SETTING\"\r\n")) << file.substr(0, 400);
    EXPECT_TRUE(Has(file, "nCopies=3\r\n"));

    EXPECT_TRUE(Has(file, "[WakeOnLanSetting]\r\nChkWakeUpDevice=0\r\nMacAddress=\"\"\r\n")) << file;

    // The office's file names its device's MAC address and a tray's paper.
    std::string office = file;
    office.replace(office.find("MacAddress=\"\""), 13, "MacAddress=\"00:1b:2c:3d:4e:5f\"");
    office.replace(office.find("PaperSize2=0"), 12, "PaperSize2=9");
    Put("office.txt", office);
    ASSERT_EQ(0, Novrix("printer add 'Fresh MFP'").rc);
    r = Novrix("setup import " + Path("office.txt") + " --printer 'Fresh MFP'");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "SPRINST_SettingImport: 0 The settings were transferred.\n  [OEMDEV] ")) << r.out;
    EXPECT_TRUE(Has(r.out, " keys: your document settings and the printer's\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  [SourceTraySetting] 60 keys: the device options (paper trays)\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  [WakeOnLanSetting] 2 keys: the device options and the printer's MAC address\n"))
        << r.out;
    r = Novrix("setup default " + Path("office.txt") + " --printer 'Fresh MFP'");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "  [CustomPaper] 1 key: kept in the Default preset only\n")) << r.out;
    // The fresh printer now exports what it took.
    ASSERT_EQ(0, Novrix("setup export " + Path("fresh.txt") + " --printer 'Fresh MFP'").rc);
    const std::string fresh = Read(Root() + "/fresh.txt");
    EXPECT_TRUE(Has(fresh, "PaperSize2=9\r\n"));
    EXPECT_TRUE(Has(fresh, "MacAddress=\"00-1B-2C-3D-4E-5F\"\r\n")) << fresh;
    // Without administrator rights the printer-wide sections are not taken, and say so.
    r = Novrix("--standard-user setup import " + Path("office.txt") + " --printer 'Fresh MFP'");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "  [SourceTraySetting] 60 keys: not applied: needs administrator rights\n")) << r.out;
    EXPECT_TRUE(Has(r.out, " keys: your document settings\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  [Watermark_Private] 1 key: your watermarks\n")) << r.out;
    // A MAC address no device has refuses the whole file.
    std::string broadcast = office;
    broadcast.replace(broadcast.find("00:1b:2c:3d:4e:5f"), 17, "ff:ff:ff:ff:ff:ff");
    Put("broadcast.txt", broadcast);
    r = Novrix("setup import " + Path("broadcast.txt") + " --printer 'Fresh MFP'");
    EXPECT_EQ(1, r.rc);
    EXPECT_EQ("SPRINST_SettingImport: 7 The setup file cannot be read.\n", r.out);
    Put("lock.ini", "; the office's locks\r\n[FixSetting]\r\nOutputMethod=OutputSecure\r\nCollate=CollateON\r\n");
    r = Novrix("setup lock " + Path("lock.ini") + " --printer 'Fresh MFP'");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ("SPRINST_FixSetting: 0 The settings were transferred.\n", r.out);

    // A user without administrator rights opens the preferences.
    r = Novrix("--standard-user prefs --printer 'Fresh MFP' --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Locked by the administrator of Fresh MFP (novrix setup lock): OutputMethod "
                           "(OutputSecure), Collate (CollateON).\n"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "  Output Method: Secure Print  [disabled, locked by the administrator]\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Collate: on  [disabled, locked by the administrator]\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Copies: 3 [1...999]\n")) << r.out;  // imported, not locked
    r = Novrix("--standard-user prefs --printer 'Fresh MFP' --set Collate=off --apply");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Collate cannot be changed now (disabled, locked by the administrator)")) << r.err;
    // The first printer keeps its own settings, unlocked.
    r = Novrix("prefs --show");
    EXPECT_FALSE(Has(r.out, "locked")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Collate: off\n")) << r.out;
}

// The custom tab's section travels with the file: an arrangement written into it
// is what My Tab shows for the importing printer.
TEST_F(NovrixSetupTest, TheCustomTabArrangementTravelsWithTheFile) {
    ASSERT_EQ(0, Novrix("setup export " + Path("tab.txt")).rc);
    std::string file = Read(Root() + "/tab.txt");
    const size_t at = file.find("[MyTab_Management]\r\nType=2\r\n");
    ASSERT_NE(std::string::npos, at) << file.substr(file.size() > 400 ? file.size() - 400 : 0);
    EXPECT_TRUE(Has(file.substr(at), "Is_MyTab_Arrangement=0\r\n")) << file.substr(at);
    file = file.substr(0, at) + "[MyTab_Management]\r\nIs_MyTab_Arrangement=1\r\nMyTab_Left01=1026\r\nMyTab_Right01=1011\r\n";
    std::ofstream(Root() + "/tab.txt", std::ios::binary) << file;

    ASSERT_EQ(0, Novrix("printer add 'Tab MFP'").rc);
    ASSERT_EQ(0, Novrix("setup import " + Path("tab.txt") + " --printer 'Tab MFP'").rc);
    const Outcome r = Novrix("prefs --printer 'Tab MFP'", "page My Tab\nshow\nquit\n");
    EXPECT_TRUE(Has(r.out, "[My Tab]\n    Staple: Off\n    Copies: 1\n")) << r.out;
    EXPECT_FALSE(Has(r.out, "Orientation: Portrait")) << r.out;
}

TEST_F(NovrixSetupTest, RefusalsPrintTheCodeAndItsMessage) {
    ASSERT_EQ(0, Novrix("setup export " + Path("office.txt")).rc);
    std::string text = Read(Root() + "/office.txt");
    text.replace(text.find("model=\"NOVRIX Fax Driver\""), 25, "model=\"Other Driver\"");
    Put("other.txt", text);
    Outcome r = Novrix("setup import " + Path("other.txt"));
    EXPECT_EQ(1, r.rc);
    EXPECT_EQ("SPRINST_SettingImport: 10 The setup file was made for another printer model.\n", r.out);
    r = Novrix("setup import " + Path("missing.txt"));
    EXPECT_EQ(1, r.rc);
    EXPECT_EQ("SPRINST_SettingImport: 7 The setup file cannot be read.\n", r.out);
    r = Novrix("setup default " + Path("office.txt") + " --printer 'No Such Printer'");
    EXPECT_EQ(1, r.rc);
    EXPECT_EQ("SPRINST_DefaultSetting: 1 The printer cannot be opened.\n", r.out);
    r = Novrix("--standard-user setup lock " + Path("office.txt"));
    EXPECT_EQ(1, r.rc);
    EXPECT_EQ("SPRINST_FixSetting: 1 The printer cannot be opened.\n", r.out);
    Put("personal.ini", "[PersonalInfo]\r\nVLUserName=" + std::string(81, 'a') + "\r\n");
    r = Novrix("setup personal " + Path("personal.ini"));
    EXPECT_EQ(1, r.rc);
    EXPECT_EQ("SPRINST_PersonalInfoImport: 14 A personal information value is too long or invalid.\n", r.out);
    Put("personal.ini", "[PersonalInfo]\r\nVLUserName=carol\r\nVLSectionName=0815\r\nExpenseCodePassword=xyzzy\r\n"
                        "Nickname=caz\r\n");
    r = Novrix("setup personal " + Path("personal.ini"));
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ("SPRINST_PersonalInfoImport: 0 The settings were transferred.\n"
              "  [PersonalInfo] taken: VLUserName, VLSectionName, ExpenseCodePassword\n"
              "  [PersonalInfo] not carried: Nickname\n",
              r.out);  // the names, never a value
    r = Novrix("auth show");
    EXPECT_TRUE(Has(r.out, "carol")) << r.out;
    EXPECT_TRUE(Has(r.out, "0815")) << r.out;

    r = Novrix("setup error 11");
    EXPECT_EQ(0, r.rc);
    EXPECT_EQ("11 The setup file was made for another language.\n", r.out);
    EXPECT_EQ("99 The settings could not be transferred.\n", Novrix("setup error 99").out);
    EXPECT_EQ(2, Novrix("setup error -1").rc);
    EXPECT_EQ(2, Novrix("setup error 4294967296").rc);
    EXPECT_EQ(2, Novrix("setup export").rc);
    EXPECT_EQ(2, Novrix("setup frobnicate x").rc);
    EXPECT_EQ(2, Novrix("setup export a b").rc);
}

}  // namespace
