// Factory presets: the catalogue of the model package, the checks of a factory
// file, installing them once, the first preset as the printer's fresh defaults, and
// the two exports through the built module.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/proc.h"
#include "model/package.h"
#include "model/stores.h"
#include "platform/host.h"
#include "presets/printer_presets.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx;
using namespace nvx::presets;

std::string File(const std::string& model, const std::string& name, const std::string& oemdev,
                 const std::string& language = "", const std::string& versionnum = "1") {
    std::string text = "\xEF\xBB\xBF; a factory preset\r\n[DriverInfo]\r\nmodel=\"" + model +
                       "\"\r\nversion=\"1.2.6\"\r\nversionnum=" + versionnum +
                       "\r\nsystem=\"Windows NT x64\"\r\nlanguage=\"" + language + "\"\r\n\r\n[EasySetName]\r\nname=\"" +
                       name + "\"\r\ncomment=\"\"\r\n\r\n[OEMDEV]\r\n" + oemdev;
    return text;
}

class FactoryPresetsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Factory Fax"));
        ASSERT_NE(nullptr, printer_);
        folder_ = Root() + "/factory/";
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    void Put(const std::string& file, const std::string& text) {
        std::ofstream(folder_ + file, std::ios::binary) << text;
    }
    std::vector<WString> SharedNames() {
        StoreValues shared(model::ValueStore::OfPrinter(printer_));
        std::vector<EasySetEntry> read;
        ReadPresetStore(shared, kSharedScope, &read);
        std::vector<WString> names;
        for (const EasySetEntry& e : read) names.push_back(e.Name());
        return names;
    }
    DWORD Install(const std::vector<FactoryPreset>& catalogue) {
        return InstallFactoryPresets(printer_, catalogue, WFromUtf8(folder_), nullptr);
    }
    static FactoryPreset Item(const char* key, const char* file, const char* name = "", bool first = false) {
        FactoryPreset p;
        p.key = key;
        p.file = WFromUtf8(file);
        p.name = WFromUtf8(name);
        p.first = first;
        return p;
    }
    HANDLE printer_ = nullptr;
    std::string folder_;
};

TEST_F(FactoryPresetsTest, InstalledOnceWithTheCataloguesNames) {
    Put("a.txt", File("NOVRIX Fax Driver", "", "nDuplex=3\r\nbCollate=1\r\n"));
    Put("b.txt", File("NOVRIX Fax Driver", "Own name", "bTonerSave=1\r\n", "0409"));
    Put("model.txt", File("Other Driver", "Other", "nCopies=2\r\n"));
    Put("language.txt", File("NOVRIX Fax Driver", "French", "nCopies=2\r\n", "040c"));
    Put("version.txt", File("NOVRIX Fax Driver", "Two", "nCopies=2\r\n", "", "2"));
    Put("lf.txt", "[DriverInfo]\nmodel=\"NOVRIX Fax Driver\"\nversionnum=1\n");
    const std::vector<FactoryPreset> catalogue = {
        Item("A", "a.txt", "Booklet"), Item("B", "b.txt", "Not taken"), Item("M", "model.txt", "M"),
        Item("L", "language.txt", "L"), Item("V", "version.txt", "V"), Item("F", "lf.txt", "F"),
        Item("X", "missing.txt", "X")};
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(catalogue));
    EXPECT_EQ((std::vector<WString>{WL("Booklet"), WL("Own name")}), SharedNames());
    uint32_t installed = 0;
    ASSERT_TRUE(model::ValueStore::OfPrinter(printer_).ReadDword(kInstalledValue, &installed));
    EXPECT_EQ(1u, installed);
    // No item is designated: the printer's fresh defaults stay the template's.
    OEMDEV first;
    EXPECT_FALSE(ReadFirstPresetRecord(printer_, &first));

    // The entry: built in, the file's settings over the defaults, the current language.
    StoreValues shared(model::ValueStore::OfPrinter(printer_));
    std::vector<EasySetEntry> read;
    ReadPresetStore(shared, kSharedScope, &read);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(1, read[0].header.builtIn);
    EXPECT_EQ(WString(WL("0409")), WString(read[0].header.language));
    SettingsDoc doc = EntryDocument(read[0]);
    EXPECT_TRUE(doc.FindKey(WL("OEMDEV"), WL("nCopies")));  // a whole settings text
    EXPECT_EQ(WString(WL("3")), doc.FindKey(WL("OEMDEV"), WL("nDuplex"))->value);

    // Twice: nothing.  With the mark deleted: names present are not added again.
    Put("c.txt", File("NOVRIX Fax Driver", "Later", "nCopies=5\r\n"));
    std::vector<FactoryPreset> more = catalogue;
    more.push_back(Item("C", "c.txt"));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(more));
    EXPECT_EQ(2u, SharedNames().size());
    ASSERT_EQ(DWORD(ERROR_SUCCESS), model::ValueStore::OfPrinter(printer_).Remove(kInstalledValue));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(more));
    EXPECT_EQ((std::vector<WString>{WL("Booklet"), WL("Own name"), WL("Later")}), SharedNames());
}

TEST_F(FactoryPresetsTest, TheDesignatedPresetBecomesTheFreshDefaults) {
    Put("a.txt", File("NOVRIX Fax Driver", "Eco", "nDuplex=2\r\nbTonerSave=1\r\n"));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install({Item("E", "a.txt", "", true)}));
    OEMDEV first;
    ASSERT_TRUE(ReadFirstPresetRecord(printer_, &first));
    EXPECT_EQ(2, settings::GetNumber(first, "nDuplex"));
    EXPECT_EQ(kKindShared, RecordPresetKind(first));
    EXPECT_EQ(WString(WL("Eco")), RecordPresetName(first));
    // The reset to defaults starts from it.
    OEMDEV fresh;
    ASSERT_TRUE(settings::FillDefaultSettings(fresh.bytes, printer_));
    EXPECT_EQ(2, settings::GetNumber(fresh, "nDuplex"));
    EXPECT_EQ(1, settings::GetNumber(fresh, "bTonerSave"));
}

TEST_F(FactoryPresetsTest, AUserWhoMayNotAdministerInstallsNothing) {
    Put("a.txt", File("NOVRIX Fax Driver", "Eco", "bTonerSave=1\r\n"));
    NvxPlatform_SetAdministrator(FALSE);
    HANDLE use = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR*>(WL("Factory Fax")), &use, nullptr));
    EXPECT_NE(DWORD(ERROR_SUCCESS), InstallFactoryPresets(use, {Item("E", "a.txt")}, WFromUtf8(folder_), nullptr));
    ClosePrinter(use);
    NvxPlatform_SetAdministrator(TRUE);
    EXPECT_TRUE(SharedNames().empty());
}

TEST(FactoryCatalogue, CommentsDecodeAsWritten) {
    EXPECT_EQ(WString(WL("one\r\ntwo \\ three")), DecodeCatalogueComment(WL("one\\ntwo \\\\ three")));
    EXPECT_EQ(WString(WL("ab")), DecodeCatalogueComment(WL("a\\rb\\")));
    EXPECT_EQ(WString(WL("xy")), DecodeCatalogueComment(WL("\\xxy")));
    EXPECT_EQ(256u, DecodeCatalogueComment(WString(400, u'c')).size());
}

TEST(FactoryCatalogue, TheSampleModelsCatalogue) {
    nvxtest::DriverCopy driver;
    model::PackagePtr pkg = model::Package::OpenDirectory(driver.WidePath("NOVRIX_D.VPD").c_str(), vpd::kEntry52Size);
    ASSERT_TRUE(pkg);
    const std::vector<FactoryPreset> catalogue = ReadFactoryCatalogue(*pkg);
    ASSERT_EQ(3u, catalogue.size());
    EXPECT_EQ("Booklet", catalogue[0].key);
    EXPECT_EQ(WString(WL("NOVRIX_Booklet.txt")), catalogue[0].file);
    EXPECT_EQ(WString(WL("Booklet")), catalogue[0].name);
    EXPECT_NE(WString::npos, catalogue[0].comment.find(WL("\r\n")));
    EXPECT_EQ(WString(WL("Draft")), catalogue[2].name);
    for (const FactoryPreset& p : catalogue) EXPECT_FALSE(p.first);
}

class FactoryExportsTest : public FactoryPresetsTest {};

TEST_F(FactoryExportsTest, TheExportsInstallTheSampleModelsPresets) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    auto byName = ProcAs<UINT_PTR (*)(const WCHAR*)>(GetProcAddress(module, "SetEasySetPreset"));
    auto byHandle = ProcAs<UINT_PTR (*)(HANDLE)>(GetProcAddress(module, "SetEasySetPresetByHandle"));
    ASSERT_TRUE(byName && byHandle);
    EXPECT_EQ(0u, byName(nullptr));
    EXPECT_EQ(0u, byName(WL("No Such Printer")));
    EXPECT_EQ(0u, byHandle(nullptr));
    EXPECT_EQ(1u, byName(WL("Factory Fax")));
    EXPECT_EQ((std::vector<WString>{WL("Booklet"), WL("Eco"), WL("Draft")}), SharedNames());
    EXPECT_EQ(1u, byHandle(printer_));  // installed already
    EXPECT_EQ(3u, SharedNames().size());
    // A user who may not administer the printer: 0 and access denied.
    ASSERT_NE(nullptr, nvxtest::AddTestPrinter(WL("Second Fax")));
    NvxPlatform_SetAdministrator(FALSE);
    EXPECT_EQ(0u, byName(WL("Second Fax")));
    NvxPlatform_SetAdministrator(TRUE);
    FreeLibrary(module);
}

}  // namespace
