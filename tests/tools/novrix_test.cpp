// The novrix binary on a private platform root: the printer store made on first
// use, the printer commands and their errors, the printing preferences shown,
// changed, applied and read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

struct Outcome {
    int rc = -1;
    std::string out, err;
};

class NovrixTest : public PlatformTest {
protected:
    // Runs novrix on this test's root with args; `input` goes to its stdin.
    // `prefix` runs it through another command (setpriv ...).
    Outcome Novrix(const std::string& args, const std::string& input = "", const std::string& prefix = "") {
        std::ofstream(Root() + "/in.txt") << input;
        std::string cmd = prefix + "env -u NOVRIX_DEBUG_OUTPUT " + std::string(NVX_NOVRIX_EXE) + " --root '" + Root() +
                          "' " + args + " <'" + Root() +
                          "/in.txt' >'" + Root() + "/out.txt' 2>'" + Root() + "/err.txt'";
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
    // A number field of the printer's stored preferences (the user's device
    // mode), read in this process from the same store; INT32_MIN when none.
    int32_t StoredField(const char* printer, const char* field) {
        nvx::WString name = nvx::WFromUtf8(printer);
        HANDLE h = nullptr;
        if (!OpenPrinterW(name.data(), &h, nullptr)) return INT32_MIN;
        DWORD needed = 0;
        GetPrinterW(h, 9, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed ? needed : 1);
        int32_t value = INT32_MIN;
        if (needed && GetPrinterW(h, 9, buffer.data(), needed, &needed)) {
            DEVMODEW* dm = reinterpret_cast<PRINTER_INFO_9W*>(buffer.data())->pDevMode;
            if (OEMDEV* record = dm ? nvx::settings::FindRecordInDevMode(dm) : nullptr)
                value = nvx::settings::GetNumber(*record, field);
        }
        ClosePrinter(h);
        return value;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

TEST_F(NovrixTest, FirstUseMakesTheDefaultPrinterOnce) {
    Outcome r = Novrix("printer list");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "* NOVRIX MFP 1  (driver NOVRIX Fax Driver, port IP_192.0.2.20")) << r.out;
    // The first use is over: a store without printers stays without.
    ASSERT_EQ(0, Novrix("printer remove 'NOVRIX MFP 1'").rc);
    r = Novrix("printer list");
    EXPECT_EQ(0, r.rc);
    EXPECT_EQ("No printers.\n", r.out);
    // The spooler in this process sees what the tool wrote.
    WCHAR name[64];
    DWORD size = 64;
    EXPECT_FALSE(GetDefaultPrinterW(name, &size));
}

TEST_F(NovrixTest, PrinterAddListRemoveAndTheirErrors) {
    ASSERT_EQ(0, Novrix("printer list").rc);
    const std::string folder = std::filesystem::canonical(nvxtest::BuiltDriverFolder()).string();
    Outcome r = Novrix("printer add 'Office 2' --driver-folder '" + folder + "' --port IP_192.0.2.10");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Added printer \"Office 2\".\n", r.out);
    r = Novrix("printer list");
    EXPECT_TRUE(Has(r.out, "* NOVRIX MFP 1")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Office 2  (driver NOVRIX Fax Driver, port IP_192.0.2.10, folder " + folder + ")"))
        << r.out;

    // Names compare without case: a duplicate is refused and nothing changes.
    r = Novrix("printer add 'OFFICE 2'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "exists already")) << r.err;
    r = Novrix("printer remove 'Nowhere'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no printer of that name")) << r.err;
    EXPECT_EQ(1, Novrix("printer default 'Nowhere'").rc);
    EXPECT_EQ(1, Novrix("printer add 'a,b'").rc);  // a local name holds no comma
    r = Novrix("printer add " + std::string(221, 'n'));  // at most 220 characters
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "not a valid printer name")) << r.err;
    EXPECT_EQ(0, Novrix("printer add " + std::string(220, 'n')).rc);
    ASSERT_EQ(0, Novrix("printer remove " + std::string(220, 'n')).rc);

    // Usage errors answer 2.
    EXPECT_EQ(2, Novrix("printer add").rc);
    EXPECT_EQ(2, Novrix("printer add A B").rc);
    EXPECT_EQ(2, Novrix("printer remove").rc);
    EXPECT_EQ(2, Novrix("printer remove A B").rc);
    EXPECT_EQ(2, Novrix("printer rename A").rc);
    EXPECT_EQ(2, Novrix("--bogus printer list").rc);
    EXPECT_EQ(2, Novrix("frobnicate").rc);

    // Removing the default printer makes another one the default.
    ASSERT_EQ(0, Novrix("printer remove 'novrix mfp 1'").rc);
    r = Novrix("printer list");
    EXPECT_EQ("* Office 2  (driver NOVRIX Fax Driver, port IP_192.0.2.10, folder " + folder + ")\n", r.out);
    ASSERT_EQ(0, Novrix("printer add Third").rc);
    ASSERT_EQ(0, Novrix("printer default third").rc);
    r = Novrix("printer list");
    EXPECT_TRUE(Has(r.out, "  Office 2")) << r.out;
    EXPECT_TRUE(Has(r.out, "* Third")) << r.out;
}

TEST_F(NovrixTest, PrefsShowsThePagesOfTheDefaultPrinter) {
    Outcome r = Novrix("prefs --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(0u, r.out.find("Printer: NOVRIX MFP 1 (default settings: no stored preferences)\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "[Basic]\n")) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "  Orientation: ")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Paper Size: ")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Copies: ")) << r.out;
    EXPECT_TRUE(Has(r.out, "[Device Settings]\n  User Authentication: off\n")) << r.out;
    // A label before a read-only box is shown as text, not taken as the box's name.
    EXPECT_TRUE(Has(r.out, "[Version]\n  NOVRIX Fax Driver\n  Version 1.2.6\n  Core")) << r.out;
    // Another printer by name; an unknown one is refused.
    ASSERT_EQ(0, Novrix("printer add Second").rc);
    r = Novrix("prefs --printer Second --show");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(0u, r.out.find("Printer: Second")) << r.out;
    r = Novrix("prefs --printer Nowhere --show");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "unknown printer \"Nowhere\"")) << r.err;
    EXPECT_EQ("", r.out);
}

// Every document tab, in the order of the module's page procedures; resolution,
// toner save and font substitution on the Quality tab, e-mail notification on the
// Other tab, applied and found again; an address the device cannot send to is refused.
TEST_F(NovrixTest, QualityAndOtherTabsThroughPrefs) {
    Outcome r = Novrix("prefs --show");
    ASSERT_EQ(0, r.rc) << r.err;
    size_t at = 0;
    for (const char* page : {"[Basic]", "[Layout]", "[Quality]", "[Finishing]", "[Other]", "[Fax]", "[Version]",
                             "[Device Settings]"}) {
        const size_t next = r.out.find(std::string(page) + "\n", at);
        ASSERT_NE(std::string::npos, next) << page << " in order\n" << r.out;
        at = next;
    }
    r = Novrix("prefs --set 'Toner Save=on' --set 'E-mail Notification=on' --set 'E-mail Address=me@example.com' "
               "--apply");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bTonerSave"));
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bEmailNotify"));
    // 1200 dpi turns toner save off, after asking.
    r = Novrix("prefs --set 'Resolution=1200 x 1200 dpi' --yes --apply");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Message box \"Confirm Settings Change\"")) << r.out;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "byResolution"));
    EXPECT_EQ(1200, StoredField("NOVRIX MFP 1", "nResoH"));
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "bTonerSave"));
    // Font substitution in the font dialog, from the command loop.
    r = Novrix("prefs", "page Quality\npress Font Settings\nset Substitute Device Fonts=on\nok\napply\nquit\n");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "nTTFont")) << "substitution on is stored as 0";
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Resolution: 1200 x 1200 dpi\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  E-mail Notification: on\n  E-mail Address: me@example.com\n")) << r.out;
    // An address without "@" keeps the page: nothing is stored, exit 1.
    r = Novrix("prefs --set 'E-mail Address=me at example.com' --apply");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "e-mail address")) << r.out;
    EXPECT_TRUE(Has(r.err, "nothing was stored")) << r.err;
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  E-mail Address: me@example.com\n")) << r.out;
}

// Copy protection from prefs: the switch and the operation on the tab, then the
// copy-guard dialog through its button, its choices kept after OK and apply.
TEST_F(NovrixTest, CopyProtectionThroughPrefs) {
    Outcome r = Novrix("prefs --set 'Copy Protection=on' --set 'Operation=Copy Guard' --apply");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bCopyProtect"));
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "nCSE_CopyProtectOp"));
    r = Novrix("prefs", "page Stamp/Composition\npress Copy Protection Settings...\nshow\n"
                        "set Distribution Number=on\nset Angle=-45 degrees\nok\napply\nquit\n");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Dialog \"Edit Copy Guard\" opened")) << r.out;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bDistributionNumber"));
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nAngle"));
    // Password copy has nothing to set: the button is disabled.
    r = Novrix("prefs --set 'Operation=Password Copy' --show");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "  [Copy Protection Settings]  [disabled]\n")) << r.out;
}

TEST_F(NovrixTest, CopyProtectSlidersThroughPrefs) {
    Outcome r = Novrix("prefs --set 'Copy Protection=on' --set 'Operation=Copy Protect' --apply");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    r = Novrix("prefs", "page Stamp/Composition\npress Copy Protection Settings...\nshow\n"
                        "set Density=2\nset Contrast=-3\nok\napply\nquit\n");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    // Named by the label before them, with their end labels and range; the stamp's
    // slider (no label of its own) by its group box, disabled with the pattern chosen.
    EXPECT_TRUE(Has(r.out, "  Density: 0 Light (-3...3) Dark\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Contrast: 0 (-3...3)\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Stamp: 0 Light (-3...3) Dark  [disabled]\n")) << r.out;
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nCPE_CP_Density"));
    EXPECT_EQ(-3, StoredField("NOVRIX MFP 1", "nCPE_CP_Contrast"));
    // Outside the range, not a number, or disabled: refused, the record keeps its value.
    r = Novrix("prefs", "page Stamp/Composition\npress Copy Protection Settings...\nset Density=4\n"
                        "set Density=dark\nset Stamp=1\nok\napply\nquit\n");
    EXPECT_TRUE(Has(r.err, "Density takes -3 to 3, not 4")) << r.err;
    EXPECT_TRUE(Has(r.err, "Density takes -3 to 3, not \"dark\"")) << r.err;
    EXPECT_TRUE(Has(r.err, "Stamp cannot be changed now (disabled)")) << r.err;
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nCPE_CP_Density"));
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "nCPE_SS_Density"));
    // The copy guard's slider from the command line.
    r = Novrix("prefs", "page Stamp/Composition\nset Operation=Copy Guard\npress Copy Protection Settings...\n"
                        "set Density=-2\nok\napply\nquit\n");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ(-2, StoredField("NOVRIX MFP 1", "nCPE_CP_Density"));
}

TEST_F(NovrixTest, PrefsRefusesWhatThePagesDoNotOffer) {
    Outcome r = Novrix("prefs --set Colour=on --apply");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no setting \"Colour\"")) << r.err;
    EXPECT_FALSE(Has(r.out, "Applied")) << r.out;
    EXPECT_EQ(INT32_MIN, StoredField("NOVRIX MFP 1", "nCopies"));  // nothing stored
    r = Novrix("prefs --set Orientation=Sideways");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Portrait, Landscape")) << r.err;
    r = Novrix("prefs --set Copies=many");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "takes a number")) << r.err;
    // The page refuses to be left with copies out of range: nothing is stored,
    // and --show says why the other pages are not shown.
    r = Novrix("prefs --set Copies=0 --apply");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "Message box ")) << r.out;
    EXPECT_TRUE(Has(r.err, "a page did not accept the settings; nothing was stored")) << r.err;
    EXPECT_EQ(INT32_MIN, StoredField("NOVRIX MFP 1", "nCopies"));
    r = Novrix("prefs --set Copies=0 --show");
    EXPECT_TRUE(Has(r.out, "[Layout]\n  (not shown: ")) << r.out;
    // A driver folder without the module.
    r = Novrix("--driver '" + Root() + "/none' prefs --show");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "cannot load " + Root() + "/none/NOVRIX_U.DLL")) << r.err;
    // Usage errors.
    EXPECT_EQ(0, Novrix("prefs --help").rc);
    EXPECT_EQ(2, Novrix("prefs --set Copies").rc);
    EXPECT_EQ(2, Novrix("prefs --set =3").rc);
    EXPECT_EQ(2, Novrix("prefs --set '&:=3'").rc);  // a label that is empty once cleaned
    EXPECT_EQ(2, Novrix("prefs --yes --no --show").rc);
    EXPECT_EQ(2, Novrix("prefs --printer").rc);
    EXPECT_EQ(2, Novrix("prefs --frob").rc);
}

TEST_F(NovrixTest, AppliedPreferencesAreStoredAndShownNextTime) {
    Outcome r = Novrix("prefs --set Orientation=Landscape --set Copies=3 --yes --apply");
    ASSERT_EQ(0, r.rc) << r.err << r.out;
    EXPECT_TRUE(Has(r.out, "Applied: stored as the preferences of NOVRIX MFP 1.\n")) << r.out;
    EXPECT_EQ(3, StoredField("NOVRIX MFP 1", "nCopies"));
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nOrientation"));
    r = Novrix("prefs --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(0u, r.out.find("Printer: NOVRIX MFP 1\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Orientation: Landscape")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Copies: 3")) << r.out;
    // Without --apply nothing is stored.
    ASSERT_EQ(0, Novrix("prefs --set Copies=5").rc);
    EXPECT_EQ(3, StoredField("NOVRIX MFP 1", "nCopies"));
}

TEST_F(NovrixTest, ConfirmationsAnsweredFromTheCommandLine) {
    // Transparencies ask to move the paper source to the bypass tray.
    Outcome r = Novrix("prefs --set 'Media Type=Transparency' --no --apply");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "Message box \"Confirm Settings Change\": ")) << r.out;
    EXPECT_TRUE(Has(r.out, "Paper Source will be set to Bypass Tray")) << r.out;
    EXPECT_TRUE(Has(r.out, "  -> No\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "Media Type=Transparency was declined: the page shows Plain")) << r.err;
    EXPECT_FALSE(Has(r.out, "Applied")) << r.out;
    EXPECT_EQ(INT32_MIN, StoredField("NOVRIX MFP 1", "nMediaType"));
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Media Type: Plain\n")) << r.out;

    r = Novrix("prefs --set 'media type=transparency' --yes --apply --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  -> Yes\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Printer: NOVRIX MFP 1\n")) << r.out;  // applied: no longer the defaults
    EXPECT_TRUE(Has(r.out, "  Media Type: Transparency\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Paper Source: Bypass Tray\n")) << r.out;
    // Without an answer the box takes its default button, and says which.
    ASSERT_EQ(0, Novrix("printer add Second").rc);
    r = Novrix("prefs --printer Second --set 'Media Type=Transparency'");
    EXPECT_TRUE(Has(r.out, "Paper Source will be set to Bypass Tray")) << r.out;
    EXPECT_TRUE(Has(r.out, "  -> Yes\n") || Has(r.out, "  -> No\n")) << r.out;
    // A dialog the page opens in a scripted run is cancelled: the size stays.
    r = Novrix("prefs --set 'Paper Size=Custom Size'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "opened: cancelled")) << r.out;
    EXPECT_TRUE(Has(r.err, "the page shows Letter")) << r.err;  // the locale paper of country 1
    // A rule's stop icon is shown with the setting on its row (beside a drop-down
    // whose list reaches down over it), its lines indented under the mark.
    r = Novrix("prefs --set 'Output Method=Proof Copy' --yes --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Collate: on  [disabled]\n    ! Set by other settings:\n      Collate is on for a proof copy.\n"))
        << r.out;
}

TEST_F(NovrixTest, CommandsFromStandardInput) {
    Outcome r = Novrix("prefs", "pages\npage version\npages\nfrob\npage Nowhere\nset Copies=2\napply\nquit\n");
    EXPECT_EQ(1, r.rc);  // two commands failed
    EXPECT_TRUE(Has(r.out, "* Basic\n  Layout\n  Quality\n  Finishing\n  Cover/Insert\n  Other\n  Stamp/Composition\n  Fax\n"
                           "  Version\n  Device Settings\n  My Tab\n"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "  Basic\n  Layout\n  Quality\n  Finishing\n  Cover/Insert\n  Other\n  Stamp/Composition\n  Fax\n"
                           "* Version\n  Device Settings\n  My Tab\n"))
        << r.out;
    EXPECT_TRUE(Has(r.err, "unknown command 'frob'")) << r.err;
    EXPECT_TRUE(Has(r.err, "no page \"Nowhere\"")) << r.err;
    // "set" finds a label on any page, as --set does: Copies is on Basic.
    EXPECT_FALSE(Has(r.err, "no setting")) << r.err;
    EXPECT_TRUE(Has(r.out, "Copies: 2\nApplied: stored")) << r.out;
    r = Novrix("prefs", "set Copies=2\napply\ncancel\n");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Closed without storing.\n")) << r.out;
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nCopies"));
}

TEST_F(NovrixTest, DialogsAndRefusalsInTheCommandLoop) {
    // The custom size dialog gets its own commands; OK gives the page the size.
    Outcome r = Novrix("prefs", "set Paper Size=Custom Size\nshow\nset Width=200\nset Length=250\nset Width=wide\nok\n"
                                "set Media Type=Transparency\nno\napply\nquit\n");
    EXPECT_EQ(1, r.rc);  // "Width=wide" and the refused media type
    EXPECT_TRUE(Has(r.out, "Dialog \"Custom Paper Size\" opened\n[dialog]\n  Width: 216 mm [90...297]\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Width: 200\nLength: 250\nPaper Size: Custom Size\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "Width takes a number")) << r.err;
    // A refusal is a notice with one button: it asks nothing, and "no" stays a command.
    EXPECT_TRUE(Has(r.out, "Message box \"Settings Conflict\": ")) << r.out;
    EXPECT_TRUE(Has(r.out, "  -> OK\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "Media Type=Transparency was refused: the page shows Plain")) << r.err;
    EXPECT_TRUE(Has(r.err, "unknown command 'no'")) << r.err;
    EXPECT_TRUE(Has(r.out, "Applied: stored")) << r.out;
    EXPECT_EQ(256, StoredField("NOVRIX MFP 1", "nPaperSize"));  // the user-defined size
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Paper Size: Custom Size\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Media Type: Plain\n")) << r.out;

    // Cancelling the dialog keeps the previous size; the end of input closes the sheet.
    r = Novrix("prefs", "set Paper Size=A5\nset Paper Size=Custom Size\ncancel\napply\n");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Paper Size=Custom Size was declined: the page shows A5")) << r.err;
    EXPECT_EQ(11, StoredField("NOVRIX MFP 1", "nPaperSize"));  // DMPAPER_A5
}

// The Layout tab's binding margin: a value past the range keeps the dialog open
// with its reason, a decimal comma is a decimal separator, and the applied margin
// is there the next time.
TEST_F(NovrixTest, TheLayoutTabsDialogsKeepWhatIsAccepted) {
    Outcome r = Novrix("prefs", "page layout\nset Binding Margin=on\npress Margin\nset Same on Both Sides=off\n"
                                "set Front=51\nok\nset Front=12,5\nset Back=7\nok\napply\nquit\n");
    EXPECT_EQ(1, r.rc) << r.err;  // the refused OK
    EXPECT_TRUE(Has(r.out, "Enter a binding margin between 0 and 50.")) << r.out;
    EXPECT_TRUE(Has(r.err, "the dialog did not accept its values and stays open")) << r.err;
    EXPECT_TRUE(Has(r.out, "Applied: stored")) << r.out;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bBinding"));
    EXPECT_EQ(13, StoredField("NOVRIX MFP 1", "nBindingUp"));  // 12.5 mm in whole millimetres
    EXPECT_EQ(7, StoredField("NOVRIX MFP 1", "nBindingDown"));
    // Cancel keeps the stored margin whatever was typed.
    r = Novrix("prefs", "page layout\npress Margin\nset Unit=inch\nset Front=1\ncancel\napply\nquit\n");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(13, StoredField("NOVRIX MFP 1", "nBindingUp"));
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "byBindingUnit"));
}

// Pages per sheet, a binding margin and stapling, then a booklet: the rules say in
// one confirmation what the booklet turns off, and the applied booklet is there
// the next time.
TEST_F(NovrixTest, ABookletResolvesItsConflictsWithTheRulesMessages) {
    Outcome r = Novrix("prefs --set 'Pages per Sheet=on' --set 'Binding Margin=on' --set Staple=on "
                       "--set 'Print Type=Booklet' --yes --apply");
    ASSERT_EQ(0, r.rc) << r.err;
    for (const char* line : {"Pages per Sheet will be turned off: a booklet places two pages on each side by itself.",
                             "Staple will be turned off: a folded booklet cannot be corner-stapled.",
                             "Binding Margin will be turned off: a booklet is bound at its fold."})
        EXPECT_TRUE(Has(r.out, line)) << line << "\n" << r.out;
    EXPECT_EQ(3, StoredField("NOVRIX MFP 1", "nDuplex"));
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "bNup"));
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "bStaple"));
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bCollate"));
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Print Type: Booklet\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Binding Margin: off  [disabled]\n")) << r.out;
}

// The printer's device options reach the rules: without the stapler the Finishing
// tab cannot staple and says why.  Only a user who may administer the printer
// changes them.
TEST_F(NovrixTest, DeviceOptionsOfThePrinterReachTheRules) {
    Outcome r = Novrix("printer options");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "(the model's defaults: none stored)")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Stapler: Inner Finisher  (None | Inner Finisher)\n")) << r.out;
    r = Novrix("printer set-option Stapler=Broken");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Stapler has no choice \"Broken\" (choices: None, Inner Finisher)")) << r.err;
    r = Novrix("printer set-option Staples=None");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no device option \"Staples\"")) << r.err;
    EXPECT_EQ(2, Novrix("printer set-option Stapler").rc);
    r = Novrix("--standard-user printer set-option Stapler=None");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "administer")) << r.err;
    r = Novrix("printer set-option stapler=stapler_none");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Stapler: None  (None | Inner Finisher)\n")) << r.out;
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Staple: off  [disabled]\n    ! Set by other settings:\n      No stapler is installed in the printer.\n"))
        << r.out;
    EXPECT_EQ(1, Novrix("prefs --set Staple=on").rc);
    ASSERT_EQ(0, Novrix("printer set-option 'Stapler=Inner Finisher'").rc);
    r = Novrix("prefs --set Staple=on --yes --show");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Staple: on\n")) << r.out;
}

TEST_F(NovrixTest, TheCustomPaperListIsReachedFromTheBasicTab) {
    // Its button opens the list dialog; a name, a size and Add make an entry, OK
    // stores the list with the printer and registers the form.
    Outcome r = Novrix("prefs", "press Custom Paper\nset Name=Photo Wide\nset Width=150.5\nset Length=300\n"
                                "press Add\nshow\nok\nquit\n");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Dialog \"Custom Paper\" opened\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "> Photo Wide (151 x 300mm)")) << r.out;
    HANDLE h = nullptr;
    nvx::WString name = nvx::WFromUtf8("NOVRIX MFP 1");
    ASSERT_TRUE(OpenPrinterW(name.data(), &h, nullptr));
    DWORD needed = 0;
    nvx::WString form = nvx::WFromUtf8("Photo Wide");
    EXPECT_FALSE(GetFormW(h, form.data(), 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError()) << "the form is registered";
    std::vector<BYTE> buffer(needed ? needed : 1);
    ASSERT_TRUE(GetFormW(h, form.data(), 1, buffer.data(), needed, &needed));
    EXPECT_EQ(150500, reinterpret_cast<FORM_INFO_1W*>(buffer.data())->Size.cx);
    // Shown again next time; Delete removes the entry named in Name, and its form.
    r = Novrix("prefs", "press Custom Paper\nshow\nset Name=Photo Wide\npress Delete\nok\nquit\n");
    EXPECT_TRUE(Has(r.out, "> Photo Wide (151 x 300mm)")) << r.out;
    EXPECT_FALSE(GetFormW(h, form.data(), 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_NAME), GetLastError()) << r.out << r.err;
    ClosePrinter(h);
}

TEST_F(NovrixTest, ForeignStoredDeviceModesAreNotTaken) {
    ASSERT_EQ(0, Novrix("printer list").rc);  // first use
    HANDLE h = nullptr;
    nvx::WString name = nvx::WFromUtf8("NOVRIX MFP 1");
    ASSERT_TRUE(OpenPrinterW(name.data(), &h, nullptr));
    // Another driver's device mode: the public part only.
    std::vector<BYTE> buffer(220 + 4 + 8344, 0);
    auto* dm = reinterpret_cast<DEVMODEW*>(buffer.data());
    dm->dmSize = 220;
    dm->dmCopies = 7;
    dm->dmFields = DM_COPIES;
    PRINTER_INFO_9W info{dm};
    ASSERT_TRUE(SetPrinterW(h, 9, reinterpret_cast<LPBYTE>(&info), 0));
    Outcome r = Novrix("prefs --show");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(0u, r.out.find("Printer: NOVRIX MFP 1 (default settings: no stored preferences)\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Copies: 1 ")) << r.out;
    // This driver's size, but no record header where the record belongs.
    dm->dmDriverExtra = 4 + 8344;
    ASSERT_TRUE(SetPrinterW(h, 9, reinterpret_cast<LPBYTE>(&info), 0));
    r = Novrix("prefs --show");
    EXPECT_EQ(0u, r.out.find("Printer: NOVRIX MFP 1 (default settings: no stored preferences)\n")) << r.out;
    // Another host's layout (the record right after the public part) is taken:
    // the record by its header, the public fields as they are.
    OEMDEV* record = reinterpret_cast<OEMDEV*>(buffer.data() + 220);
    nvx::settings::BuildTemplate(*record);
    nvx::settings::SetNumber(*record, "nOrientation", 2);
    dm->dmDriverExtra = 8344;
    info.pDevMode = dm;
    ASSERT_TRUE(SetPrinterW(h, 9, reinterpret_cast<LPBYTE>(&info), 0));
    r = Novrix("prefs --show");
    EXPECT_EQ(0u, r.out.find("Printer: NOVRIX MFP 1\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Orientation: Landscape ")) << r.out;
    // Applied again, it is stored in this host's layout.
    ASSERT_EQ(0, Novrix("prefs --set Copies=2 --apply").rc);
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nOrientation"));
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nCopies"));
    ClosePrinter(h);
}

TEST_F(NovrixTest, WithoutPageTemplatesTheRecordIsUsedByFieldName) {
    nvxtest::DriverCopy driver({"NOVRIX_S.DLL"});
    const std::string opt = "--driver '" + driver.Folder() + "' ";
    Outcome r = Novrix(opt + "prefs --set nCopies=4 --set nOrientation=2 --apply --show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.err, "the Basic page is left out: NOVRIX_S.DLL has no dialog template 100")) << r.err;
    EXPECT_TRUE(Has(r.err, "the Version page is left out")) << r.err;
    EXPECT_TRUE(Has(r.out, "[settings record]\n  nOrientation: 2\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  nCopies: 4\n")) << r.out;
    EXPECT_EQ(4, StoredField("NOVRIX MFP 1", "nCopies"));
    r = Novrix(opt + "prefs --set Copies=4");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no number field \"Copies\"")) << r.err;
    // With the templates back, the pages show what was stored.
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Orientation: Landscape ")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Copies: 4 ")) << r.out;
}

// Commands piped in: a line is a command, never the answer to a box.  A question
// takes its answer from --yes/--no; without them it is declined, said, and the
// run ends with exit code 1, while the next line still runs as a command.
TEST_F(NovrixTest, PipedCommandsNeverLoseALine) {
    const std::string script = "set Media Type=Transparency\nset Copies=7\napply\n";
    Outcome r = Novrix("prefs", script);
    EXPECT_EQ(1, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Message box \"Confirm Settings Change\": ")) << r.out;
    EXPECT_TRUE(Has(r.out, "  -> No\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "the box asks Yes/No, but the commands come from standard input")) << r.err;
    EXPECT_TRUE(Has(r.err, "give --yes or --no to answer it")) << r.err;
    EXPECT_TRUE(Has(r.err, "Media Type=Transparency was declined: the page shows Plain")) << r.err;
    EXPECT_TRUE(Has(r.out, "Copies: 7\nApplied: stored")) << r.out;
    EXPECT_EQ(7, StoredField("NOVRIX MFP 1", "nCopies"));
    EXPECT_TRUE(Has(Novrix("prefs --show").out, "  Media Type: Plain\n"));

    r = Novrix("prefs --yes", "set Media Type=Transparency\nset Copies=8\napply\n");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  -> Yes\nMedia Type: Transparency\nCopies: 8\nApplied: stored")) << r.out;
    EXPECT_EQ(8, StoredField("NOVRIX MFP 1", "nCopies"));
    EXPECT_TRUE(Has(Novrix("prefs --show").out, "  Media Type: Transparency\n"));
    // --no declines it the same way, and says nothing more.
    ASSERT_EQ(0, Novrix("printer add Second").rc);
    r = Novrix("prefs --printer Second --no", script);
    EXPECT_EQ(1, r.rc);
    EXPECT_FALSE(Has(r.err, "give --yes or --no")) << r.err;
    EXPECT_TRUE(Has(r.err, "was declined")) << r.err;
    EXPECT_EQ(7, StoredField("Second", "nCopies"));
}

// A model package whose directory points past its end is not used: the module
// does not start, and novrix says which file is damaged and how, in words.
TEST_F(NovrixTest, ADamagedModelPackageIsNamed) {
    nvxtest::DriverCopy driver;
    std::ifstream in(driver.Folder() + "/NOVRIX_D.VPD", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    driver.Write("NOVRIX_D.VPD", bytes.substr(0, bytes.size() / 2));
    const std::string opt = "--driver '" + driver.Folder() + "' ";
    Outcome r = Novrix(opt + "prefs --set 'Media Type=Transparency' --yes --show");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "the model package " + driver.Folder() + "/NOVRIX_D.VPD is damaged (entry \"")) << r.err;
    EXPECT_TRUE(Has(r.err, "past the end of the file (" + std::to_string(bytes.size() / 2) + " bytes)")) << r.err;
    EXPECT_TRUE(Has(r.err, "install the driver folder again")) << r.err;
    EXPECT_FALSE(Has(r.out, "Message box")) << r.out;  // no blank box answered
    r = Novrix(opt + "info");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "  NOVRIX_D.VPD is damaged: entry \"")) << r.out;
    EXPECT_TRUE(Has(r.out, "Model data: NOVRIX_D.VPD cannot be read (damaged)\n")) << r.out;

    // A damaged version package: the module starts, the version falls back, novrix says why.
    driver.Write("NOVRIX_D.VPD", bytes);
    driver.Write("NOVRIX__.VPD", std::string("\0\0\0\0\xff\0\0\0", 8));
    r = Novrix(opt + "prefs --show");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.err, "NOVRIX__.VPD is damaged (header: the directory end 255 lies past the end of the file"))
        << r.err;
    EXPECT_TRUE(Has(r.out, "  Version 1.2.6\n")) << r.out;
}

// The store's own troubles are named with the file and the cause; a damaged
// store is never replaced by a new one; a read-only root serves what only reads.
TEST_F(NovrixTest, StoreTroublesAreNamedAndNothingIsMadeAfresh) {
    ASSERT_EQ(0, Novrix("printer list").rc);  // first use: a store with one printer
    const std::string db = Root() + "/platform.db";
    std::ifstream in(db, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    ASSERT_GT(bytes.size(), 8192u);
    const std::string damaged = "the store " + db + " is damaged: ";
    const std::string cases[] = {bytes.substr(0, bytes.size() / 2), std::string(), std::string(8192, 'x')};
    for (const std::string& content : cases) {
        std::ofstream(db, std::ios::binary | std::ios::trunc) << content;
        for (const char* command : {"printer list", "printer add Other", "prefs --show", "info"}) {
            Outcome r = Novrix(command);
            EXPECT_EQ(1, r.rc) << command;
            EXPECT_TRUE(Has(r.err, damaged)) << command << ": " << r.err;
            EXPECT_TRUE(Has(r.err, "; move it away to start afresh")) << r.err;
            EXPECT_FALSE(Has(r.err, "error 10")) << r.err;
        }
        struct stat st;
        ASSERT_EQ(0, stat(db.c_str(), &st));
        EXPECT_EQ(content.size(), static_cast<size_t>(st.st_size));  // left as it was
    }
    EXPECT_TRUE(Has(Novrix("printer list").err, damaged + "file is not a database")) << Novrix("printer list").err;
    std::ofstream(db, std::ios::binary | std::ios::trunc);
    EXPECT_TRUE(Has(Novrix("printer list").err, damaged + "the file is empty")) << Novrix("printer list").err;
    // Moved away, a new store is made.
    ASSERT_EQ(0, rename(db.c_str(), (db + ".old").c_str()));
    ASSERT_EQ(0, Novrix("printer list").rc);
    ASSERT_EQ(0, Novrix("prefs --set Copies=4 --apply").rc);

    // A root another user owns: readable, not writable.
    if (geteuid() != 0) GTEST_SKIP() << "the read-only part runs as root, as another user";
    const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    ASSERT_EQ(0, chmod(Root().c_str(), 0755));
    ASSERT_EQ(0, chmod(db.c_str(), 0644));
    Outcome r = Novrix("printer list", "", nobody);
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "* NOVRIX MFP 1")) << r.out;
    r = Novrix("prefs --show", "", nobody);
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Copies: 4 ")) << r.out;
    const std::string readOnly = "the store " + db + " is read-only: the folder " + Root() + " cannot be written";
    r = Novrix("printer add Other", "", nobody);
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, readOnly)) << r.err;
    r = Novrix("prefs --set Copies=5 --apply", "", nobody);
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "the preferences could not be stored: " + readOnly)) << r.err;
    EXPECT_EQ(4, StoredField("NOVRIX MFP 1", "nCopies"));
}

// A password's text is never printed: not when set, not when refused, not in
// --show or its JSON.
TEST_F(NovrixTest, APasswordIsNeverPrinted) {
    Outcome r = Novrix("prefs --set 'Account Track=on' --set 'Department Password=4713' --apply --show");
    ASSERT_EQ(0, r.rc) << r.err << r.out;
    EXPECT_TRUE(Has(r.out, "Department Password: (not shown)\n")) << r.out;
    // Applied, the password is in the record enciphered: the page does not show it again.
    EXPECT_TRUE(Has(r.out, "  Department Password: \n")) << r.out;
    // The applied preferences hold it enciphered: no file under the root has the digits.
    for (const auto& e : std::filesystem::recursive_directory_iterator(Root())) {
        if (!e.is_regular_file() || e.path().filename() == "out.txt" || e.path().filename() == "err.txt") continue;
        std::ifstream in(e.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(std::string::npos, bytes.find("4713")) << e.path();
        EXPECT_EQ(std::string::npos, bytes.find(std::string("4\0" "7\0" "1\0" "3\0", 8))) << e.path();
    }
    r = Novrix("prefs --set 'Account Track=on' --set 'Department Password=47x3' --show --json");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Department Password=(not shown) was refused")) << r.err;
    r = Novrix("prefs --show --json");
    ASSERT_EQ(0, r.rc) << r.err;
    for (const Outcome& o : {r, Novrix("prefs", "page Device Settings\nshow\nset Department Password=99999\n")}) {
        EXPECT_FALSE(Has(o.out + o.err, "4713")) << o.out << o.err;
        EXPECT_FALSE(Has(o.out + o.err, "47x3")) << o.out << o.err;
        EXPECT_FALSE(Has(o.out + o.err, "99999")) << o.out << o.err;
    }
    nlohmann::json j = nlohmann::json::parse(r.out);
    bool seen = false;
    for (const auto& page : j["pages"])
        for (const auto& s : page["settings"])
            if (s["label"] == "Department Password") {
                seen = true;
                EXPECT_TRUE(s["value"].is_null());
                EXPECT_EQ(true, s["password"]);
            }
    EXPECT_TRUE(seen) << r.out;
}

// Exit codes and the messages of refusals: what was not done is said and fails.
TEST_F(NovrixTest, RefusalsSayWhyAndFail) {
    Outcome r = Novrix("");
    EXPECT_EQ(2, r.rc);
    EXPECT_EQ(0u, r.out.find("usage: novrix")) << r.out;
    // --set without --apply changes nothing stored, and says so.
    r = Novrix("prefs --set Copies=5");
    EXPECT_EQ(0, r.rc);
    EXPECT_EQ("Copies: 5\nThe changes were not stored (add --apply).\n", r.out);
    // Out of range: the box takes three digits; the refusal names the range.
    r = Novrix("prefs --set Copies=1000");
    EXPECT_EQ(1, r.rc);
    // (The sheet's opening asked the default printer's device: no busy line when
    // standard error is no terminal.)
    EXPECT_EQ("novrix prefs: Copies=1000 was refused: Copies takes 1 to 999; the page "
              "shows 100\n",
              r.err);
    // A refused value is echoed up to 80 characters.
    const std::string longValue(300, 'w');
    r = Novrix("prefs --set 'Orientation=" + longValue + "'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "\"" + std::string(80, 'w') + "...\"")) << r.err;
    EXPECT_FALSE(Has(r.err, std::string(81, 'w'))) << r.err;
    for (const std::string& args : {"prefs --set '" + longValue + "=1'", "printer add " + longValue,
                                     "printer remove " + longValue, "prefs --" + longValue, longValue}) {
        r = Novrix(args);
        EXPECT_NE(0, r.rc);
        EXPECT_TRUE(Has(r.err, std::string(70, 'w') + "...")) << r.err;
        EXPECT_FALSE(Has(r.err, std::string(81, 'w'))) << r.err;
    }
    // The driver folder of a new printer is checked at once and kept absolute.
    r = Novrix("printer add Office --driver-folder '" + Root() + "/none'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "the driver folder " + Root() + "/none does not exist")) << r.err;
    r = Novrix("printer add Office --driver-folder '" + Root() + "'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "holds no NOVRIX_U.DLL")) << r.err;
    EXPECT_EQ("* NOVRIX MFP 1", Novrix("printer list").out.substr(0, 14));
    EXPECT_FALSE(Has(Novrix("printer list").out, "Office"));
    nvxtest::DriverCopy driver;
    const std::string parent = driver.Folder().substr(0, driver.Folder().rfind('/'));
    const std::string relative = driver.Folder().substr(parent.size() + 1);
    std::string cmd = "cd '" + parent + "' && " + NVX_NOVRIX_EXE + " --root '" + Root() + "' printer add Office " +
                      "--driver-folder '" + relative + "' >/dev/null";
    ASSERT_EQ(0, std::system(cmd.c_str()));
    EXPECT_TRUE(Has(Novrix("printer list").out, "  Office  (driver NOVRIX Fax Driver, port IP_192.0.2.20, folder " +
                                                    driver.Folder() + ")\n"));
    // Piped commands: every failing one counts.
    EXPECT_EQ(0, Novrix("prefs", "show\npages\nset Copies=2\n").rc);
    EXPECT_EQ(1, Novrix("prefs", "set Copies=2\nchoices Nothing\n").rc);
    EXPECT_EQ(1, Novrix("prefs", "press Nothing\n").rc);
    EXPECT_EQ(1, Novrix("prefs", "set Copies=1000\napply\n").rc);
}

// --json: one JSON object on standard output, the other lines on standard error.
TEST_F(NovrixTest, JsonForScripts) {
    Outcome r = Novrix("prefs --set Copies=3 --show --json");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.err, "Copies: 3\nThe changes were not stored (add --apply).\n")) << r.err;
    nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ("NOVRIX MFP 1", j["printer"]);
    EXPECT_EQ(false, j["stored"]);
    ASSERT_EQ(11u, j["pages"].size());  // Basic, Layout, Quality, Finishing, Cover/Insert, Other, Stamp/Composition, Fax, Version, Device Settings, My Tab
    const auto& basic = j["pages"][0];
    EXPECT_EQ("Basic", basic["title"]);
    bool copies = false, orientation = false;
    for (const auto& s : basic["settings"]) {
        if (s["label"] == "Copies") {
            copies = true;
            EXPECT_EQ("3", s["value"]);
            EXPECT_EQ("edit", s["kind"]);
            EXPECT_EQ("[1...999]", s["note"]);
        }
        if (s["label"] == "Orientation") {
            orientation = true;
            EXPECT_EQ("radio", s["kind"]);
            EXPECT_EQ(nlohmann::json({"Portrait", "Landscape"}), s["choices"]);
        }
    }
    EXPECT_TRUE(copies && orientation) << basic.dump(1);
    EXPECT_EQ("Layout", j["pages"][1]["title"]);
    EXPECT_EQ("Quality", j["pages"][2]["title"]);
    EXPECT_EQ("Finishing", j["pages"][3]["title"]);
    EXPECT_EQ("Cover/Insert", j["pages"][4]["title"]);
    EXPECT_EQ("Other", j["pages"][5]["title"]);
    EXPECT_EQ("Stamp/Composition", j["pages"][6]["title"]);
    EXPECT_EQ("Fax", j["pages"][7]["title"]);
    EXPECT_EQ("Version", j["pages"][8]["title"]);
    EXPECT_EQ("Device Settings", j["pages"][9]["title"]);
    EXPECT_EQ("My Tab", j["pages"][10]["title"]);
    EXPECT_EQ(3, j["record"]["nCopies"]);  // the pages wrote their values into the sheet's record
    EXPECT_EQ(1, j["record"]["nOrientation"]);
    EXPECT_FALSE(j["record"].contains("szVLSectionKey"));
    ASSERT_EQ(0, Novrix("prefs --set Copies=6 --apply").rc);
    j = nlohmann::json::parse(Novrix("prefs --show --json").out);
    EXPECT_EQ(6, j["record"]["nCopies"]);
    EXPECT_EQ(true, j["stored"]);
    EXPECT_EQ(2, Novrix("prefs --json").rc);

    r = Novrix("info --json");
    ASSERT_EQ(0, r.rc) << r.err;
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(Root(), j["platformRoot"]);
    EXPECT_TRUE(j["storeProblem"].is_null());
    ASSERT_EQ(1u, j["printers"].size());
    EXPECT_EQ("NOVRIX MFP 1", j["printers"][0]["name"]);
    EXPECT_EQ(true, j["printers"][0]["default"]);
    EXPECT_EQ("1.2.6", j["versions"]["driver"]);
    EXPECT_TRUE(j["driverFolder"]["files"]["NOVRIX_U.DLL"].is_number());
    EXPECT_TRUE(j["driverFolder"]["damagedPackages"].empty());
    EXPECT_TRUE(j["modelData"]["lists"].is_object());
    EXPECT_EQ(true, j["module"]["loaded"]);
    EXPECT_TRUE(j["module"]["exports"]["missing"].empty());
    EXPECT_EQ(75, j["module"]["exports"]["total"]);
    EXPECT_EQ(2, Novrix("info --frob").rc);
}

// Editing a watermark: every field at and past its end refused with the reason and
// nothing stored, a font the machine does not have refused, a text too large for
// the page refused with the largest size that fits, and an accepted change stored.
TEST_F(NovrixTest, WatermarksEditChecksEveryFieldAndTheFit) {
    ASSERT_EQ(0, Novrix("watermarks defaults").rc);
    ASSERT_EQ(0, Novrix("watermarks add Mine --text Mine --size 20").rc);
    const std::string before = Novrix("watermarks").out;
    struct Refusal {
        std::string args, reason;
    };
    const Refusal refusals[] = {
        {"--text " + std::string(129, 'x'), "the text is longer than 128 characters"},
        {"--size 0", "the size must be between 1 and 999"},
        {"--size 1000", "the size must be between 1 and 999"},
        {"--angle 91", "the angle must be between -90 and 90"},
        {"--angle -91", "the angle must be between -90 and 90"},
        {"--position 0,101", "the position must be between -100 and 100"},
        {"--font 'No Such Face'", "no font \"No Such Face\" on this machine"},
        {"--title ''", "the watermark has no name"},
        {"--title DRAFT --shared", "is one of your own watermarks"},
    };
    for (const Refusal& refusal : refusals) {
        const Outcome r = Novrix("watermarks edit Mine " + refusal.args);
        EXPECT_EQ(1, r.rc) << refusal.args;
        EXPECT_TRUE(Has(r.err, refusal.reason)) << refusal.args << ": " << r.err;
    }
    EXPECT_EQ(before, Novrix("watermarks").out) << "nothing refused was stored";

    // 128 characters and the edges of the ranges are taken.
    Outcome r = Novrix("watermarks edit Mine --text " + std::string(128, 'x') +
                       " --size 1 --angle -90 --position -100,100 --repeat on");
    EXPECT_EQ(0, r.rc) << r.err;
    // A shipped font, measured for real: 300 points of "Confidential" do not fit across A4.
    r = Novrix("watermarks edit Mine --text Confidential --font 'DejaVu Sans' --size 300 --angle 0 --position 0,0 --repeat off");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "at 600 dpi the text does not fit on the page in size 300; the largest size that fits is "))
        << r.err;
    const size_t at = r.err.find("fits is ");
    ASSERT_NE(std::string::npos, at);
    const int largest = std::atoi(r.err.c_str() + at + 8);
    EXPECT_GT(largest, 20);
    EXPECT_LT(largest, 300);
    r = Novrix("watermarks edit Mine --text Confidential --font 'DejaVu Sans' --size " + std::to_string(largest) +
               " --angle 0 --position 0,0");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Changed your watermark \"Mine\": \"Confidential\", DejaVu Sans, size " +
                               std::to_string(largest)))
        << r.out;
    EXPECT_TRUE(Has(Novrix("watermarks").out, "\"Confidential\"  DejaVu Sans, size " + std::to_string(largest)))
        << Novrix("watermarks").out;
    // Renamed, it keeps its place in the order.
    ASSERT_EQ(0, Novrix("watermarks edit 7 --title Ours").rc);
    EXPECT_TRUE(Has(Novrix("watermarks").out, " 7  Ours ")) << Novrix("watermarks").out;
    EXPECT_EQ(1, Novrix("watermarks edit Ours --title COPY --shared").rc) << "not a shared one";
    EXPECT_EQ(1, Novrix("watermarks edit DRAFT --size 20").rc) << "a shared one needs --shared";
    EXPECT_EQ(2, Novrix("watermarks edit DRAFT --repeat maybe").rc);
    EXPECT_EQ(2, Novrix("watermarks list --size 20").rc);
}

// Watermarks: the built-ins registered through the module, a user's own added,
// ordered and removed, the shared list refused without administer rights, and the
// chosen watermark of the stored preferences kept in step.
TEST_F(NovrixTest, WatermarksListAddMoveRemove) {
    // The first use installed the printer and registered the built-ins, as the driver's installer does.
    Outcome r = Novrix("watermarks list");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(0u, r.out.find("Watermarks of \"NOVRIX MFP 1\": 6 shared, 0 your own.\n* 1  CONFIDENTIAL ")) << r.out;

    r = Novrix("--standard-user watermarks defaults");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "only a user who may administer the printer")) << r.err;
    r = Novrix("watermarks defaults");
    EXPECT_EQ(0, r.rc);
    EXPECT_TRUE(Has(r.out, "has 6 shared watermarks already; nothing changed")) << r.out;

    ASSERT_EQ(0, Novrix("prefs --apply").rc);  // stored preferences, whose watermark follows the list
    r = Novrix("watermarks add Mine --text 'For my eyes' --size 60 --angle -30");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Added your watermark \"Mine\" as number 7.\n", r.out);
    r = Novrix("watermarks move Mine 2");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("watermarks");
    EXPECT_TRUE(Has(r.out, "* 1  CONFIDENTIAL ")) << r.out;
    EXPECT_TRUE(
        Has(r.out, "  2  Mine                             own      \"For my eyes\"  Arial, size 60, angle -30\n"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "Watermark printing is off in your preferences.")) << r.out;
    // The chosen one moves down: the preferences' position follows it.
    ASSERT_EQ(0, Novrix("watermarks move 1 3").rc);
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "wWmkListPos"));
    EXPECT_TRUE(Has(Novrix("watermarks").out, "* 3  CONFIDENTIAL ")) << Novrix("watermarks").out;

    // Shared ones need --shared and the right to administer the printer.
    r = Novrix("watermarks remove CONFIDENTIAL");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "\"CONFIDENTIAL\" is a shared watermark; removing it for every user needs --shared"))
        << r.err;
    r = Novrix("--standard-user watermarks remove CONFIDENTIAL --shared");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "can only be changed by a user who may administer the printer; nothing was changed"))
        << r.err;
    r = Novrix("--standard-user watermarks add Team --shared");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(Novrix("watermarks").out, "6 shared, 1 your own")) << Novrix("watermarks").out;
    // A user without those rights still keeps watermarks and an order of their own.
    EXPECT_EQ(0, Novrix("--standard-user watermarks add Private2").rc);
    EXPECT_EQ(0, Novrix("--standard-user watermarks move Private2 1").rc);
    // Removing the chosen one chooses the first.
    r = Novrix("watermarks remove CONFIDENTIAL --shared");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Removed the shared watermark \"CONFIDENTIAL\".\n", r.out);
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "wWmkListPos"));
    r = Novrix("watermarks");
    EXPECT_TRUE(Has(r.out, "5 shared, 2 your own")) << r.out;
    EXPECT_TRUE(Has(r.out, "* 1  Private2 ")) << r.out;
    EXPECT_FALSE(Has(r.out, "CONFIDENTIAL")) << r.out;

    // Refusals: 1; usage errors: 2.
    r = Novrix("watermarks add Mine");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "you have a watermark titled \"Mine\" already")) << r.err;
    r = Novrix("watermarks add " + std::string(31, 'T'));
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "the title is longer than 30 characters")) << r.err;
    r = Novrix("watermarks remove 99");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "there is no watermark 99; the list has 7")) << r.err;
    EXPECT_EQ(1, Novrix("watermarks remove Nowhere").rc);
    EXPECT_EQ(1, Novrix("watermarks move 1 0").rc);
    EXPECT_EQ(1, Novrix("watermarks --printer Nowhere list").rc);
    EXPECT_EQ(2, Novrix("watermarks add").rc);
    EXPECT_EQ(2, Novrix("watermarks add Mine --size big").rc);
    EXPECT_EQ(2, Novrix("watermarks move 1").rc);
    EXPECT_EQ(2, Novrix("watermarks list extra").rc);
    EXPECT_EQ(2, Novrix("watermarks rename 1").rc);
    EXPECT_EQ(2, Novrix("watermarks move 1 2 --shared").rc);
    EXPECT_EQ(2, Novrix("watermarks remove 1 --size 20").rc);
    EXPECT_EQ(0, Novrix("watermarks --help").rc);
}

// ---- novrix fax send ----

TEST_F(NovrixTest, FaxSendHandsTheHostTheDestinationsAndTheJobsSettings) {
    Outcome r = Novrix("fax send --to '0301:Ann Lee' --to '0302#:Bob' --to 'P-0303*' --cover on "
                       "--set 'Timer Send=on' --set Hour=23 --set Minute=59 --yes");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "The host receives 3 destinations:\n"
                           "  1. 0301  Ann Lee  ECM on, international off, V.34 on\n"
                           "  2. 0302#  Bob  ECM on, international off, V.34 on\n"
                           "  3. P-0303*  ECM on, international off, V.34 on\n"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "  Cover Sheet: on\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Timer Send: on at 23:59\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Message box \"Timer Send\": The fax will be sent on ")) << r.out;
    // The printer's preferences are the job's starting point and stay as they were.
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Timer Send: off\n")) << r.out;
}

TEST_F(NovrixTest, FaxSendRefusesBadDestinationsAndAnEmptyList) {
    Outcome r = Novrix("fax send --to 12a3");
    EXPECT_EQ(2, r.rc);
    EXPECT_TRUE(Has(r.err, "the fax number \"12a3\" has a character other than 0-9 # * P T -")) << r.err;
    r = Novrix("fax send --to " + std::string(39, '1'));
    EXPECT_EQ(2, r.rc);
    EXPECT_TRUE(Has(r.err, "at most 38 characters, not 39")) << r.err;
    r = Novrix("fax send --to '1:" + std::string(81, 'n') + "'");
    EXPECT_EQ(2, r.rc);
    EXPECT_TRUE(Has(r.err, "at most 80 characters, not 81")) << r.err;
    r = Novrix("fax send --to " + std::string(38, '1') + ":" + std::string(80, 'n'));
    EXPECT_EQ(0, r.rc) << r.err;
    r = Novrix("fax send --cover on");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no destination")) << r.err;
    EXPECT_TRUE(Has(r.out, "cancelled: the host sends nothing")) << r.out;
    r = Novrix("fax send --to 5 --to 5");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "This fax number is already in the list.")) << r.out;
    std::string many;
    for (int i = 1; i <= 101; ++i) many += " --to " + std::to_string(i);
    r = Novrix("fax send" + many);
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "at most 100 recipients")) << r.out;
    EXPECT_TRUE(Has(r.err, "the destination 101 was refused")) << r.err;
    r = Novrix("fax send --set 'Sub-address=on' --to 1");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "Enter the sub-address with the digits 0 to 9.")) << r.out;
    r = Novrix("fax send --set 'No Such=1' --to 1");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no setting \"No Such\"")) << r.err;
    r = Novrix("fax fly");
    EXPECT_EQ(2, r.rc);
}

TEST_F(NovrixTest, FaxSendFromCommandsOnStandardInput) {
    Outcome r = Novrix("fax send", "add 0301:Ann\nset V.34=off\nset ECM=off\nadd 0302\nlist\nok\n");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "  2.  | 0302 |  |  | Off | Off | Off\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  2. 0302  ECM off, international off, V.34 off\n")) << r.out;
    // The end of input before ok cancels the job.
    r = Novrix("fax send", "add 0301\n");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "cancelled: the host sends nothing")) << r.out;
}

TEST_F(NovrixTest, PrefsShowsTheFaxTabOfAFaxModel) {
    // Letters never reach the sub-address: the page keeps the digits.
    Outcome r = Novrix("prefs --set 'Sub-address=on' --set 'Sub-address Number=12a3' --apply");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "Sub-address Number=12a3 was refused: the page shows 123")) << r.err;
    r = Novrix("prefs --set 'Sub-address=on' --set 'Sub-address Number=123' --apply");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "[Fax]\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Sub-address Number: 123\n")) << r.out;
    r = Novrix("fax send --to 1");
    EXPECT_TRUE(Has(r.out, "  Sub-address: on 123\n")) << r.out;
}

}  // namespace

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class NovrixSettingsTest : public NovrixTest {
protected:
    std::string Exported() {
        Outcome r = Novrix("settings export '" + Root() + "/s.txt'");
        EXPECT_EQ(0, r.rc) << r.err;
        EXPECT_TRUE(Has(r.out, "Exported the preferences of NOVRIX MFP 1 to " + Root() + "/s.txt.")) << r.out;
        return Read("s.txt");
    }
    void Write(const char* file, const std::string& text) { std::ofstream(Root() + "/" + file, std::ios::binary) << text; }
};

TEST_F(NovrixSettingsTest, ExportEditByHandImportAndSeeTheChange) {
    std::string text = Exported();
    ASSERT_EQ(0u, text.find("\xEF\xBB\xBF[DriverInfo]\r\nmodel=\"NOVRIX Fax Driver\"\r\n")) << text.substr(0, 80);
    EXPECT_TRUE(Has(text, "\r\n[EasySetName]\r\nname=\"NOVRIX MFP 1\"\r\ncomment=\"\"\r\n")) << text.substr(0, 300);
    ASSERT_TRUE(Has(text, "\r\nnCopies=1\r\n"));
    // A person's edit: a value, a comment, blank lines, the header sections swapped.
    size_t names = text.find("[EasySetName]");
    size_t oemdev = text.find("[OEMDEV]");
    std::string driverInfo = text.substr(3, names - 3), nameSection = text.substr(names, oemdev - names);
    std::string edited = "\xEF\xBB\xBF; my copies\r\n\r\n" + nameSection + driverInfo +
                         Replace(text.substr(oemdev), "\r\nnCopies=1\r\n", "\r\n  nCopies = 4 \r\n\r\n");
    Write("s.txt", edited);
    Outcome r = Novrix("settings import '" + Root() + "/s.txt'");
    ASSERT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Imported " + Root() + "/s.txt as the preferences of NOVRIX MFP 1.")) << r.out;
    EXPECT_EQ(4, StoredField("NOVRIX MFP 1", "nCopies"));
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Copies: 4")) << r.out;
    // Exported again, the file is the first one with the new value; the import made the record
    // carry the watermark at its list position (the first built-in), so those lines are left out.
    auto withoutWatermark = [](const std::string& t) {
        std::string out;
        for (size_t at = 0; at < t.size();) {
            size_t end = t.find("\r\n", at);
            end = end == std::string::npos ? t.size() : end + 2;
            if (t.compare(at, 8, "WmkInfo.") != 0) out += t.substr(at, end - at);
            at = end;
        }
        return out;
    };
    const std::string again = Exported();
    EXPECT_EQ(withoutWatermark(Replace(text, "\r\nnCopies=1\r\n", "\r\nnCopies=4\r\n")), withoutWatermark(again));
    EXPECT_TRUE(Has(again, "\r\nWmkInfo.szKey=\"WM_001\"\r\n")) << again;
}

TEST_F(NovrixSettingsTest, RefusedFilesChangeNothingAndSayWhy) {
    std::string text = Replace(Exported(), "\r\nnCopies=1\r\n", "\r\nnCopies=2\r\n");
    std::string lf;
    for (char c : text)
        if (c != '\r') lf += c;
    Write("lf.txt", lf);
    Outcome r = Novrix("settings import '" + Root() + "/lf.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "lf.txt's lines end in LF alone, not CR LF")) << r.err;
    EXPECT_TRUE(Has(r.err, "nothing was changed")) << r.err;
    Write("model.txt", Replace(text, "model=\"NOVRIX Fax Driver\"", "model=\"Other Driver\""));
    r = Novrix("settings import '" + Root() + "/model.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "Message box \"Import Settings\": The file was made for another printer model (Other "
                           "Driver); this printer is NOVRIX Fax Driver.")) << r.out;
    Write("system.txt", Replace(text, "system=\"Windows NT x64\"", "system=\"Windows 4.0\""));
    r = Novrix("settings import '" + Root() + "/system.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "was made for the system \"Windows 4.0\", this is \"Windows NT x64\"")) << r.err;
    Write("lang.txt", Replace(text, "language=\"0409\"", "language=\"0407\""));
    EXPECT_EQ(1, Novrix("settings import '" + Root() + "/lang.txt'").rc);
    Write("noname.txt", Replace(text, "name=\"NOVRIX MFP 1\"", "name=\"\""));
    r = Novrix("settings import '" + Root() + "/noname.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "Enter a name")) << r.out;
    r = Novrix("settings import '" + Root() + "/none.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "there is no such file")) << r.err;
    Write("nul.txt", std::string("\xEF\xBB\xBF[DriverInfo]\r\n\0", 18));
    EXPECT_EQ(1, Novrix("settings import '" + Root() + "/nul.txt'").rc);
    // Another driver version is a question; No (the default without a terminal) refuses.
    Write("version.txt", Replace(text, "version=\"1.2.6\"", "version=\"1.0.0\""));
    r = Novrix("settings import '" + Root() + "/version.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.out, "Do you want to import it anyway?\n  -> No")) << r.out;
    EXPECT_EQ(1, Novrix("settings import '" + Root() + "/version.txt' --no").rc);
    EXPECT_EQ(INT32_MIN, StoredField("NOVRIX MFP 1", "nCopies"));  // nothing stored so far
    r = Novrix("settings import '" + Root() + "/version.txt' --yes");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nCopies"));
}

TEST_F(NovrixSettingsTest, KeysThatDoNotFitAreNamedAndTheOthersApply) {
    std::string text = Exported();
    text = Replace(text, "\r\nnCopies=1\r\n", "\r\nnCopies=5\r\n");
    text = Replace(text, "\r\nnNup=1\r\n", "\r\nnNup=300\r\n");
    text = Replace(text, "\r\nnScale=100\r\n", "\r\nnScale=ten\r\n");
    Write("s.txt", text);
    Outcome r = Novrix("settings import '" + Root() + "/s.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "these settings were not taken")) << r.err;
    EXPECT_TRUE(Has(r.err, ": nScale, nNup; the others were stored")) << r.err;
    EXPECT_EQ(5, StoredField("NOVRIX MFP 1", "nCopies"));
    EXPECT_EQ(100, StoredField("NOVRIX MFP 1", "nScale"));
}

TEST_F(NovrixSettingsTest, UsageAndWriteErrors) {
    EXPECT_EQ(0, Novrix("settings --help").rc);
    EXPECT_EQ(2, Novrix("settings").rc);
    EXPECT_EQ(2, Novrix("settings frob x").rc);
    EXPECT_EQ(2, Novrix("settings export").rc);
    EXPECT_EQ(2, Novrix("settings export a b").rc);
    EXPECT_EQ(2, Novrix("settings export x --yes").rc);
    EXPECT_EQ(2, Novrix("settings import x --name n").rc);
    EXPECT_EQ(2, Novrix("settings export x --name ''").rc);
    EXPECT_EQ(2, Novrix("settings export x --name " + std::string(32, 'n')).rc);
    Outcome r = Novrix("settings export '" + Root() + "/missing/s.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "its folder does not exist (an existing file was left as it was)")) << r.err;
    EXPECT_TRUE(Has(r.out, "The settings could not be written to the file.")) << r.out;
    r = Novrix("settings export '" + Root() + "/s.txt' --printer Nobody");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "unknown printer")) << r.err;
}

// The watermark lists travel with the settings: an export carries the shared
// list, the user's own watermarks and display order; importing the file into a
// printer that has none gives the same list.
TEST_F(NovrixSettingsTest, WatermarksTravelWithTheSettings) {
    ASSERT_EQ(0, Novrix("watermarks defaults").rc);
    ASSERT_EQ(0, Novrix("watermarks add Mine --text 'For my eyes' --size 60 --angle -30").rc);
    ASSERT_EQ(0, Novrix("watermarks move Mine 2").rc);
    ASSERT_EQ(0, Novrix("prefs --apply").rc);  // stored preferences, as the import gives the other printer
    const std::string listed = Novrix("watermarks list").out;
    ASSERT_TRUE(Has(listed, "  2  Mine ")) << listed;
    std::string text = Exported();
    EXPECT_TRUE(Has(text, "\r\n[Watermark_Public]\r\nWMInfoCnt=6\r\nWMInfo1.szKey=\"WM_001\"\r\n")) << text;
    EXPECT_TRUE(Has(text, "\r\n[Watermark_Private]\r\nWMInfoCnt=1\r\nWMInfo1.szKey=\"\"\r\n"
                          "WMInfo1.szWmkTitle=\"Mine\"\r\nWMInfo1.szWmkStr=\"For my eyes\"\r\n")) << text;
    EXPECT_TRUE(Has(text, "\r\n[Watermark_Order]\r\nWMOrderCnt=7\r\nWMOrder1.szKey=\"WM_001\"\r\n"
                          "WMOrder1.bPublic=1\r\nWMOrder1.szName=\"CONFIDENTIAL\"\r\nWMOrder2.szKey=\"\"\r\n"
                          "WMOrder2.bPublic=0\r\nWMOrder2.szName=\"Mine\"\r\n")) << text;

    // Another root: its printer has no watermarks until the file comes in.
    std::string other = nvxtest::MakeTempDir("other");
    const std::string file = Root() + "/s.txt";
    auto at = [&](const std::string& args) {
        std::string cmd = "env -u NOVRIX_DEBUG_OUTPUT " + std::string(NVX_NOVRIX_EXE) + " --root '" + other + "' " +
                          args + " </dev/null >'" + Root() + "/out.txt' 2>'" + Root() + "/err.txt'";
        int status = std::system(cmd.c_str());
        Outcome r;
        r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Read("out.txt");
        r.err = Read("err.txt");
        return r;
    };
    EXPECT_TRUE(Has(at("watermarks list").out, "6 shared, 0 your own.")) << "the built-ins of the first use";
    Outcome r = at("settings import '" + file + "'");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_EQ(listed, at("watermarks list").out);
    // A user who may not administer the printer takes the own list and order only.
    nvxtest::RemoveTree(other);
    other = nvxtest::MakeTempDir("other");
    // (Its printer has the built-ins of the first use; the file's shared list differs from them.)
    Write("shared.txt", Replace(text, "WMInfo1.szWmkStr=\"Confidential\"", "WMInfo1.szWmkStr=\"Secret\""));
    r = at("--standard-user settings import '" + Root() + "/shared.txt'");
    EXPECT_EQ(0, r.rc) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "The shared watermarks of the file were not taken")) << r.out;
    r = at("watermarks list");
    EXPECT_TRUE(Has(r.out, "6 shared, 1 your own.")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"Confidential\"")) << r.out;
    nvxtest::RemoveTree(other);

    // A section that does not read is named, leaves its list as stored, and the rest applies.
    Write("bad.txt", Replace(Replace(text, "[Watermark_Private]\r\nWMInfoCnt=1\r\n", "[Watermark_Private]\r\n"
                                                                                    "WMInfoCnt=many\r\n"),
                             "\r\nnCopies=1\r\n", "\r\nnCopies=3\r\n"));
    ASSERT_EQ(0, Novrix("watermarks remove Mine").rc);
    r = Novrix("settings import '" + Root() + "/bad.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "these settings were not taken")) << r.err;
    EXPECT_TRUE(Has(r.err, "[Watermark_Private]")) << r.err;
    EXPECT_EQ(3, StoredField("NOVRIX MFP 1", "nCopies"));
    r = Novrix("watermarks list");
    EXPECT_TRUE(Has(r.out, "6 shared, 0 your own.")) << r.out;
}

// The resolution index follows the four resolution values through the model's
// resolution table: a file whose index disagrees with its values (an edit by hand)
// stores the index of the first entry with those values.
TEST_F(NovrixSettingsTest, TheResolutionIndexFollowsTheModelsTable) {
    std::string text = Exported();
    ASSERT_TRUE(Has(text, "\r\nbyResolution=0\r\nnResoH=600\r\nnResoV=600\r\n")) << text;
    // The sample model's second entry: 1200 by 1200 dpi, 1697 combined, 1 bit per pixel.
    size_t at = text.find("\r\nbyResolution=0\r\n");
    size_t end = text.find("\r\nnBitsPixel=", at);
    end = text.find("\r\n", end + 2);
    text.replace(at, end - at,
                 "\r\nbyResolution=4\r\nnResoH=1200\r\nnResoV=1200\r\nnResoHV=1697\r\nnBitsPixel=1");
    Write("s.txt", text);
    Outcome r = Novrix("settings import '" + Root() + "/s.txt'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "byResolution"));
    EXPECT_EQ(1200, StoredField("NOVRIX MFP 1", "nResoH"));
    // Values the table does not hold leave the index as the file gives it.
    Write("s.txt", Replace(text, "\r\nnResoHV=1697\r\n", "\r\nnResoHV=1698\r\n"));
    ASSERT_EQ(0, Novrix("settings import '" + Root() + "/s.txt'").rc);
    EXPECT_EQ(4, StoredField("NOVRIX MFP 1", "byResolution"));
}


// ---- Presets ----

class NovrixPresetsTest : public NovrixTest {
protected:
    std::string List(const std::string& printer = "") {
        Outcome r = Novrix("presets list" + (printer.empty() ? std::string() : " --printer '" + printer + "'"));
        EXPECT_EQ(0, r.rc) << r.err;
        return r.out;
    }
};

// Saved, seen, applied, exported and imported on another printer that has the
// factory presets of its own.
TEST_F(NovrixPresetsTest, SaveApplyExportImportAndTheFactoryPresets) {
    std::string list = List();
    EXPECT_EQ(0u, list.find("Presets of NOVRIX MFP 1:\n* Default ")) << list;
    for (const char* factory : {"  Booklet ", "  Eco ", "  Draft "}) EXPECT_TRUE(Has(list, factory)) << list;
    EXPECT_TRUE(Has(list, "shared    Saves paper and toner: 2-sided, toner save.")) << list;

    ASSERT_EQ(0, Novrix("prefs --set Copies=3 --apply").rc);
    Outcome r = Novrix("presets save 'Three copies' --comment 'for the team'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Saved your preferences as the personal preset \"Three copies\".\n", r.out);
    list = List();
    EXPECT_TRUE(Has(list, "* Three copies                     yours     for the team\n")) << list;
    EXPECT_TRUE(Has(list, "  Booklet                          shared    Both sides")) << list;

    // The combo of the Basic tab shows it, and picks another preset like any setting.
    r = Novrix("prefs --show");
    EXPECT_TRUE(Has(r.out, "  Preset: Three copies\n")) << r.out;
    r = Novrix("prefs --set Preset=Draft --apply");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bDraftPrint"));
    EXPECT_TRUE(Has(List(), "* Draft ")) << List();

    r = Novrix("presets apply Eco");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nDuplex"));
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bTonerSave"));
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "nCopies"));  // a preset carries every setting
    EXPECT_TRUE(Has(List(), "* Eco ")) << List();

    r = Novrix("presets export 'Three copies' '" + Root() + "/three.txt'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(Read("three.txt"), "\r\n[EasySetName]\r\nname=\"Three copies\"\r\ncomment=\"for the team\"\r\n"));
    ASSERT_EQ(0, Novrix("printer add Second").rc);
    EXPECT_TRUE(Has(List("Second"), "  Booklet ")) << List("Second");
    r = Novrix("presets --printer Second import '" + Root() + "/three.txt'");
    ASSERT_EQ(0, r.rc) << r.err;
    // Twice: the name is taken; another name is not.
    r = Novrix("presets --printer Second import '" + Root() + "/three.txt'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "you have a preset \"Three copies\" already")) << r.err;
    ASSERT_EQ(0, Novrix("presets --printer Second import '" + Root() + "/three.txt' --name 'Copy 3'").rc);
    ASSERT_EQ(0, Novrix("presets --printer Second apply 'Copy 3'").rc);
    EXPECT_EQ(3, StoredField("Second", "nCopies"));
    // A file of another model is refused.
    std::ofstream(Root() + "/other.txt", std::ios::binary)
        << Replace(Read("three.txt"), "model=\"NOVRIX Fax Driver\"", "model=\"Other Driver\"");
    r = Novrix("presets import '" + Root() + "/other.txt' --name Other");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "was made for the printer model \"Other Driver\"")) << r.err;
}

TEST_F(NovrixPresetsTest, NamesScopesAndLimits) {
    EXPECT_EQ(1, Novrix("presets save ''").rc);
    Outcome r = Novrix("presets save " + std::string(32, 'n'));
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "at most 31 characters")) << r.err;
    ASSERT_EQ(0, Novrix("presets save " + std::string(31, 'n')).rc);
    ASSERT_EQ(0, Novrix("presets save 'a,b'").rc);
    ASSERT_EQ(0, Novrix("presets save 'Брошюра'").rc);
    r = Novrix("presets save 'a,b'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "there is a personal preset \"a,b\" already")) << r.err;
    // The same name in both scopes; moved, the order keeps them apart.
    ASSERT_EQ(0, Novrix("presets save 'a,b' --shared").rc);
    ASSERT_EQ(0, Novrix("presets move 'a,b' --shared up").rc);  // above Брошюра
    ASSERT_EQ(0, Novrix("presets move 'a,b' --shared up").rc);  // above the user's a,b
    std::string list = List();
    const size_t shared = list.find(" a,b                              shared");
    const size_t yours = list.find(" a,b                              yours");
    ASSERT_NE(std::string::npos, shared) << list;
    ASSERT_NE(std::string::npos, yours) << list;
    EXPECT_LT(shared, yours) << list;
    EXPECT_LT(yours, list.find("Брошюра")) << list;
    EXPECT_EQ(1, Novrix("presets save Default --shared").rc);

    // A user who may not administer the printer: no shared saves or deletes.
    r = Novrix("--standard-user presets save Team --shared");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "only a user who may administer")) << r.err;
    EXPECT_EQ(1, Novrix("--standard-user presets delete Eco").rc);
    EXPECT_EQ(1, Novrix("presets delete Default").rc);
    EXPECT_EQ(1, Novrix("presets delete Nowhere").rc);
    // At most 20 of a user's own.
    for (int i = 0; i < 17; ++i) ASSERT_EQ(0, Novrix("--standard-user presets save P" + std::to_string(i)).rc);
    r = Novrix("--standard-user presets save One-too-many");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "you have 20 presets")) << r.err;
    ASSERT_EQ(0, Novrix("presets delete P0").rc);
    EXPECT_EQ(0, Novrix("--standard-user presets save One-more").rc);
    // Usage.
    EXPECT_EQ(2, Novrix("presets apply").rc);
    EXPECT_EQ(2, Novrix("presets move Eco sideways").rc);
    EXPECT_EQ(2, Novrix("presets list --shared").rc);
    EXPECT_EQ(2, Novrix("presets frobnicate").rc);
}

// Two novrix processes saving at once: each save is whole and the store reads.
TEST_F(NovrixPresetsTest, ConcurrentSavesAreEachWhole) {
    ASSERT_EQ(0, Novrix("presets list").rc);
    const std::string exe = std::string(NVX_NOVRIX_EXE) + " --root '" + Root() + "' presets save ";
    const std::string cmd = "(" + exe + "First >/dev/null 2>&1 & " + exe + "Second >/dev/null 2>&1 & " + exe +
                            "Third --shared >/dev/null 2>&1 & wait)";
    ASSERT_EQ(0, std::system(cmd.c_str()));
    const std::string list = List();
    for (const char* name : {" First ", " Second ", " Third "}) EXPECT_TRUE(Has(list, name)) << list;
}

TEST_F(NovrixTest, FormsSession) {
    const std::string own = Root() + "/own", shared = Root() + "/shared";
    Outcome r = Novrix("forms samples '" + own + "'");
    EXPECT_EQ(1, r.rc);  // no such folder yet
    ASSERT_EQ(0, std::system(("mkdir -p '" + own + "' '" + shared + "'").c_str()));
    r = Novrix("forms samples '" + own + "'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "/own/MEMO_LANDSCAPE.VFO.")) << r.out;
    r = Novrix("forms list");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Overlay forms of \"NOVRIX MFP 1\": 0 shared, 0 your own.\nNo forms.\n", r.out);

    ASSERT_EQ(0, Novrix("forms add '" + own + "/LETTERHEAD.VFO'").rc);
    r = Novrix("forms add '" + own + "/MEMO_LANDSCAPE.VFO'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Added \"MEMO_LANDSCAPE.VFO\" as form 2.\n", r.out);
    // Files that are no forms are refused with the reason.
    std::ofstream(own + "/short.VFO") << std::string(95, 'V');
    r = Novrix("forms add '" + own + "/short.VFO'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "is not an overlay form file: it is shorter than a form header (96 bytes)")) << r.err;
    r = Novrix("forms add '" + own + "'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "it cannot be read (missing, a folder, or not readable)")) << r.err;
    r = Novrix("forms add '" + own + "/LETTERHEAD.VFO'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "is listed already")) << r.err;

    // Through the driver's form file dialog: the path typed at its prompt.
    r = Novrix("forms import", own + "/INVOICE_1200.VFO\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Import Overlay Form File (folder ")) << r.out;
    EXPECT_TRUE(Has(r.out, "Added \"INVOICE_1200.VFO\" as form 3.")) << r.out;
    ASSERT_EQ(0, Novrix("forms remove INVOICE_1200.VFO").rc);
    r = Novrix("forms import", "");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "no file was chosen")) << r.err;

    r = Novrix("forms info MEMO_LANDSCAPE.VFO");  // not a path: a file of this folder
    EXPECT_EQ(1, r.rc);
    r = Novrix("forms info 2");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Overlay Name:  Memo (landscape)\nFile Name:     MEMO_LANDSCAPE.VFO\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Orientation:   Landscape\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Resolution:    600 dpi\n")) << r.out;

    // The shared folder: administer right; its forms come first.
    ASSERT_EQ(0, Novrix("forms make '" + shared + "/TEAM.VFO' --name Team --dpi 1200").rc);
    r = Novrix("--standard-user forms shared-folder '" + shared + "'");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "only a user who may administer the printer")) << r.err;
    ASSERT_EQ(0, Novrix("forms shared-folder '" + shared + "'").rc);
    r = Novrix("forms remove 1");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "\"TEAM.VFO\" is a shared form")) << r.err;

    // Chosen in the stored preferences; a deleted file keeps its place and shows as missing.
    EXPECT_EQ(1, Novrix("forms use 2").rc);  // no stored preferences yet
    ASSERT_EQ(0, Novrix("prefs --apply").rc);
    r = Novrix("forms use 3");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "bOverlay"));
    EXPECT_EQ(2, StoredField("NOVRIX MFP 1", "nFormListPos"));
    ASSERT_EQ(0, std::remove((own + "/LETTERHEAD.VFO").c_str()));
    r = Novrix("forms list");
    EXPECT_TRUE(Has(r.out, "1 shared, 2 your own")) << r.out;
    EXPECT_TRUE(Has(r.out, "  2  LETTERHEAD.VFO                            own     missing or not a form file\n"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "* 3  MEMO_LANDSCAPE.VFO (Memo (landscape))     own     600 dpi\n")) << r.out;
    EXPECT_EQ(1, Novrix("forms use 2").rc);
    // Removing the missing one moves the chosen form's position with the list.
    ASSERT_EQ(0, Novrix("forms remove LETTERHEAD.VFO").rc);
    EXPECT_EQ(1, StoredField("NOVRIX MFP 1", "nFormListPos"));
    EXPECT_TRUE(Has(Novrix("forms list").out, "* 2  MEMO_LANDSCAPE.VFO")) << Novrix("forms list").out;
    ASSERT_EQ(0, Novrix("forms use --off").rc);
    EXPECT_EQ(0, StoredField("NOVRIX MFP 1", "bOverlay"));

    EXPECT_EQ(2, Novrix("forms frobnicate").rc);
    EXPECT_EQ(2, Novrix("forms list --dpi 300").rc);
    EXPECT_EQ(2, Novrix("forms make x.VFO --dpi 0").rc);
    EXPECT_EQ(1, Novrix("forms remove 9").rc);
}

}  // namespace
