// The novrix binary on a private platform root: the printer store made on first
// use, the printer commands and their errors, the printing preferences shown,
// changed, applied and read back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
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
    Outcome Novrix(const std::string& args, const std::string& input = "") {
        std::ofstream(Root() + "/in.txt") << input;
        std::string cmd = std::string(NVX_NOVRIX_EXE) + " --root '" + Root() + "' " + args + " <'" + Root() +
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
    Outcome r = Novrix("printer add 'Office 2' --driver-folder /opt/novrix --port IP_192.0.2.10");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_EQ("Added printer \"Office 2\".\n", r.out);
    r = Novrix("printer list");
    EXPECT_TRUE(Has(r.out, "* NOVRIX MFP 1")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Office 2  (driver NOVRIX Fax Driver, port IP_192.0.2.10, folder /opt/novrix)")) << r.out;

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
    EXPECT_EQ("* Office 2  (driver NOVRIX Fax Driver, port IP_192.0.2.10, folder /opt/novrix)\n", r.out);
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
    EXPECT_TRUE(Has(r.out, "[Device Settings]\n  (not shown: ")) << r.out;
    // A printer whose driver folder holds no module.
    ASSERT_EQ(0, Novrix("printer add Elsewhere --driver-folder '" + Root() + "/none'").rc);
    r = Novrix("prefs --printer Elsewhere --show");
    EXPECT_EQ(1, r.rc);
    EXPECT_TRUE(Has(r.err, "cannot load " + Root() + "/none/NOVRIX_U.DLL")) << r.err;
    EXPECT_EQ(1, Novrix("--driver '" + Root() + "/none' prefs --show").rc);
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
    EXPECT_TRUE(Has(r.err, "the page shows A4")) << r.err;
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
    EXPECT_TRUE(Has(r.out, "* Basic\n  Device Settings\n  Version\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Basic\n  Device Settings\n* Version\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "unknown command 'frob'")) << r.err;
    EXPECT_TRUE(Has(r.err, "no page \"Nowhere\"")) << r.err;
    // "set" works on the current page only: Copies is on Basic.
    EXPECT_TRUE(Has(r.err, "no setting \"Copies\"")) << r.err;
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
    EXPECT_TRUE(Has(r.out, "Dialog \"Custom Paper Size\" opened\n[dialog]\n  Width: 210 mm [90...297]\n")) << r.out;
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

}  // namespace
