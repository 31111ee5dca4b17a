// novrix fax cover on a private platform root: the current cover sheet shown,
// named sets saved, used and deleted, refusals, and damaged stored values.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/text.h"
#include "fax/cover_sheet.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::fax;

struct Outcome {
    int rc = -1;
    std::string out, err;
};

const WCHAR* const kMaker = WL("VELMORA");
const WCHAR* const kDriver = WL("NOVRIX Fax Driver");
const WCHAR* const kPrinter = WL("NOVRIX MFP 1");

class NovrixFaxCoverTest : public PlatformTest {
protected:
    Outcome Novrix(const std::string& args, const std::string& input = "") {
        std::ofstream(Root() + "/in.txt") << input;
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
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    static CoverSheetRecord Stored() {
        CoverSheetRecord r;
        std::memset(&r, 0x33, sizeof r);
        EXPECT_TRUE(ReadCoverSheet(kMaker, kDriver, kPrinter, &r));
        return r;
    }
};

TEST_F(NovrixFaxCoverTest, SetsAreSavedUsedAndDeleted) {
    Outcome r = Novrix("fax cover show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Cover sheet set: (untitled)")) << r.out;
    EXPECT_TRUE(Has(r.out, "Named sets: (none)")) << r.out;

    // The current cover sheet, as the dialog would have stored it.
    CoverSheetRecord record = DefaultCoverSheet();
    record.basic.style = 2;
    SetField(record.basic.comment, WL("first line\r\nsecond line"));
    record.recipient.mode = 1;
    SetField(record.recipient.name, WL("A. Reader"));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WriteCoverSheet(kMaker, kDriver, kPrinter, record));

    r = Novrix("fax cover save Weekly");
    ASSERT_EQ(0, r.rc) << r.err;
    r = Novrix("fax cover show");
    EXPECT_TRUE(Has(r.out, "Cover sheet set: Weekly\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Style: FcsBStyle02\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "    first line\n    second line\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "    Name: off \"A. Reader\"")) << r.out;
    EXPECT_TRUE(Has(r.out, "  Weekly  (current)")) << r.out;

    // Another cover sheet becomes current; using the set brings its parts back
    // and keeps the recipient.
    CoverSheetRecord other = record;
    other.basic.style = 0;
    other.recipient.nameOn = 1;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WriteCoverSheet(kMaker, kDriver, kPrinter, other));
    EXPECT_TRUE(Has(Novrix("fax cover show").out, "Cover sheet set: (untitled)"));
    r = Novrix("fax cover use Weekly");
    ASSERT_EQ(0, r.rc) << r.err;
    CoverSheetRecord used = Stored();
    EXPECT_EQ(2, used.basic.style);
    EXPECT_EQ(1, used.recipient.nameOn);
    EXPECT_EQ(nvx::WString(WL("Weekly")), FieldText(used.setName));

    r = Novrix("fax cover delete Weekly");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(ReadSets(kMaker, kDriver, kPrinter).empty());
}

TEST_F(NovrixFaxCoverTest, RefusalsSayWhyAndChangeNothing) {
    ASSERT_EQ(0, Novrix("fax cover save Weekly").rc);
    struct Case {
        const char* args;
        int rc;
        const char* message;
    } cases[] = {
        {"fax cover save Weekly", 1, "a set named \"Weekly\" already exists"},
        {"fax cover save ''", 1, "the name is empty"},
        {"fax cover save abcdefghijklmnopqrstu", 1, "at most 20 characters"},
        {"fax cover use Monthly", 1, "there is no set named \"Monthly\""},
        {"fax cover delete Monthly", 1, "there is no set named \"Monthly\""},
        {"fax cover show --printer Nowhere", 1, "unknown printer \"Nowhere\""},
        {"fax cover rename Weekly", 2, "unknown action 'rename'"},
        {"fax cover use", 2, "name one set"},
        {"fax cover", 2, "name an action"},
    };
    for (const Case& c : cases) {
        Outcome r = Novrix(c.args);
        EXPECT_EQ(c.rc, r.rc) << c.args;
        EXPECT_TRUE(Has(r.err, c.message)) << c.args << ": " << r.err;
    }
    auto sets = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ(nvx::WString(WL("Weekly")), FieldText(sets[0].name));
    // A 20-character name is accepted.
    EXPECT_EQ(0, Novrix("fax cover save abcdefghijklmnopqrst").rc);
}

TEST_F(NovrixFaxCoverTest, DamagedStoredPartsShowAsTheirDefaults) {
    ASSERT_EQ(0, Novrix("printer list").rc);  // the printer exists
    HKEY key = nullptr;
    const WCHAR* path = WL("Software\\VELMORA\\NOVRIX Fax Driver\\NOVRIX MFP 1\\FaxCoverSheet");
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    BYTE shortBasic[100] = {3};
    RegSetValueExW(key, WL("Basic"), 0, REG_BINARY, shortBasic, sizeof shortBasic);
    CoverImage image = DefaultImage();
    image.paste = 1;
    for (WCHAR& c : image.file) c = 'z';
    RegSetValueExW(key, WL("Image"), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&image), sizeof image);
    RegCloseKey(key);
    Outcome r = Novrix("fax cover show");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Style: FcsBStyle00\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Image: off\n")) << r.out;
}

TEST_F(NovrixFaxCoverTest, EditDrivesTheDialogAndStoresOnOk) {
    Outcome r = Novrix("fax cover edit --set Style=Business --set 'Comment=first\\nsecond' --tab Recipient"
                       " --set 'Title=To all members' --tab Sender --set E-mail=on"
                       " --set 'Sender e-mail=me@example.org' --press Save... --set Name=Weekly --ok");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Dialog \"Save Cover Sheet Settings\" opened")) << r.out;
    EXPECT_TRUE(Has(r.out, "The cover sheet of NOVRIX MFP 1 was stored.")) << r.out;
    CoverSheetRecord stored = Stored();
    EXPECT_EQ(1, stored.basic.style);
    EXPECT_EQ(nvx::WString(WL("first\r\nsecond")), FieldText(stored.basic.comment));
    EXPECT_EQ(nvx::WString(WL("To all members")), FieldText(stored.recipient.title));
    EXPECT_EQ(nvx::WString(WL("me@example.org")), FieldText(stored.sender.items[kSenderEmail].text));
    EXPECT_EQ(nvx::WString(WL("Weekly")), FieldText(stored.setName));
    auto sets = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ(nvx::WString(WL("Weekly")), FieldText(sets[0].name));
}

TEST_F(NovrixFaxCoverTest, EditRefusalsAndCancelStoreNothing) {
    ASSERT_EQ(0, Novrix("fax cover edit --tab Recipient --set 'Title=To whom it may concern' --ok").rc);
    const CoverSheetRecord before = Stored();
    struct Case {
        std::string args;
        const char* message;
    } cases[] = {
        // A page check refuses: the dialog is cancelled.
        {"--set 'Print the page count=on' --set 'Pages including the cover=0' --tab Sender",
         "the Basic tab cannot be left"},
        {"--tab Image --set 'Paste an image=on' --set 'File name=/no/such.bmp'", "OK was refused"},
        {"--set Colour=red", "no setting \"Colour\" here"},
        {"--tab Cover", "no tab \"Cover\""},
    };
    for (const Case& c : cases) {
        Outcome r = Novrix("fax cover edit " + c.args);
        EXPECT_EQ(1, r.rc) << c.args;
        EXPECT_TRUE(Has(r.err, c.message)) << c.args << ": " << r.err;
        EXPECT_TRUE(Has(r.out, "Cancelled: the cover sheet of NOVRIX MFP 1 is as it was.")) << r.out;
    }
    Outcome r = Novrix("fax cover edit --set Style=Formal --cancel");
    EXPECT_EQ(0, r.rc) << r.err;
    CoverSheetRecord after = Stored();
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
    EXPECT_EQ(2, Novrix("fax cover show --set Style=Formal").rc);
}

TEST_F(NovrixFaxCoverTest, EditCommandsFromStandardInput) {
    Outcome r = Novrix("fax cover edit", "tabs\ntab Sender\nset Phone=on\nset Sender phone=0123\nshow\nok\n");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "  Basic\n  Recipient\n  Sender\n  Image\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Sender phone: 0123")) << r.out;
    EXPECT_EQ(nvx::WString(WL("0123")), FieldText(Stored().sender.items[kSenderPhone].text));
    // The end of input cancels.
    r = Novrix("fax cover edit", "tab Sender\nset Phone=off\n");
    EXPECT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Cancelled")) << r.out;
    EXPECT_EQ(1, Stored().sender.items[kSenderPhone].on);
}

}  // namespace
