// The per-user key of a printer and the connection test, on the platform layer.
#include <gtest/gtest.h>

#include "common/text.h"
#include "model/loaded_model.h"
#include "model/stores.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::model;
using nvx::WString;

class StoresKeyTest : public PlatformTest {
protected:
    void TearDown() override {
        for (HANDLE h : printers_) ClosePrinter(h);
        PlatformTest::TearDown();
    }
    HANDLE Add(const WCHAR* name, const WCHAR* driver = WL("NOVRIX Fax Driver")) {
        HANDLE h = nvxtest::AddTestPrinter(name, driver);
        if (h) printers_.push_back(h);
        return h;
    }
    // The one subkey of HKCU\path, or "" when there is not exactly one.
    static WString OnlySubkey(const WCHAR* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return WL("<no key>");
        WCHAR name[256] = {};
        WCHAR second[256] = {};
        bool one = RegEnumKeyW(key, 0, name, 256) == ERROR_SUCCESS && RegEnumKeyW(key, 1, second, 256) != ERROR_SUCCESS;
        RegCloseKey(key);
        return one ? WString(name) : WString();
    }
    static bool KeyExists(const WCHAR* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    std::vector<HANDLE> printers_;
};

TEST_F(StoresKeyTest, LocalPrinterKeyIsOpenedAndCreated) {
    HANDLE printer = Add(WL("Office Fax"));
    ASSERT_NE(nullptr, printer);
    WCHAR path[kUserKeyPathChars];
    ASSERT_EQ(DWORD(ERROR_SUCCESS), UserKeyPathOf(printer, path));
    EXPECT_EQ(WString(WL("Software\\VELMORA\\NOVRIX Fax Driver\\Office Fax")), path);

    RegKey key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, OpenUserKey(printer, &key));  // opening never creates
    EXPECT_FALSE(key);
    EXPECT_FALSE(KeyExists(WL("Software\\VELMORA")));
    ASSERT_EQ(ERROR_SUCCESS, CreateUserKey(printer, &key));
    EXPECT_TRUE(KeyExists(path));
    ASSERT_EQ(ERROR_SUCCESS, OpenUserKey(printer, &key));
    EXPECT_TRUE(key);

    // Subkeys hang below the printer's level.
    ASSERT_EQ(ERROR_SUCCESS, CreateUserKey(printer, &key, WL("FaxCoverSheet\\CoverSheetSet")));
    EXPECT_TRUE(KeyExists(WL("Software\\VELMORA\\NOVRIX Fax Driver\\Office Fax\\FaxCoverSheet\\CoverSheetSet")));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), UserKeyPathOf(printer, path, WL("WMOrder")));
    EXPECT_EQ(WString(WL("Software\\VELMORA\\NOVRIX Fax Driver\\Office Fax\\WMOrder")), path);

    // By names, as callers that hold no handle form it.
    RegKey byName;
    const WCHAR* driver = WL("NOVRIX Fax Driver");
    EXPECT_EQ(ERROR_SUCCESS, OpenUserKeyByNames(WL("VELMORA"), driver, WL("Office Fax"), &byName, WL("FaxCoverSheet")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, OpenUserKeyByNames(WL("VELMORA"), driver, WL("Office Fax"), &byName, WL("Other")));
}

// A connection to a shared printer needs its server on Windows (AddPrinterConnectionW);
// the layer adds one by name.
#ifndef _WIN32
TEST_F(StoresKeyTest, ConnectionGivesServerAndQueueLevels) {
    HANDLE printer = Add(WL("\\\\srv\\q1"), WL("NOVRIX Fax"));
    ASSERT_NE(nullptr, printer);
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, CreateUserKey(printer, &key));
    EXPECT_EQ(WString(WL("VELMORA")), OnlySubkey(WL("Software")));  // a fresh root holds nothing else
    EXPECT_EQ(WString(WL("NOVRIX Fax")), OnlySubkey(WL("Software\\VELMORA")));
    EXPECT_EQ(WString(WL("srv")), OnlySubkey(WL("Software\\VELMORA\\NOVRIX Fax")));
    EXPECT_EQ(WString(WL("q1")), OnlySubkey(WL("Software\\VELMORA\\NOVRIX Fax\\srv")));

    RegKey byName;
    EXPECT_EQ(ERROR_SUCCESS, OpenUserKeyByNames(WL("VELMORA"), WL("NOVRIX Fax"), WL("\\\\srv\\q1"), &byName));
}
#endif

TEST_F(StoresKeyTest, MakerNameFromThePackage) {
    WCHAR* maker = nvx::model::Loaded().tables.services.makerName;
    nvx::WCopy(maker, 257, WL("ACME Imaging"));
    HANDLE printer = Add(WL("Desk"));
    WCHAR path[kUserKeyPathChars];
    DWORD rc = UserKeyPathOf(printer, path);
    maker[0] = 0;  // back to the built-in word
    ASSERT_EQ(DWORD(ERROR_SUCCESS), rc);
    EXPECT_EQ(WString(WL("Software\\ACME Imaging\\NOVRIX Fax Driver\\Desk")), path);
    EXPECT_EQ(WString(WL("VELMORA")), MakerName());
}

TEST_F(StoresKeyTest, PathsThatDoNotFitAreRefusedNotCut) {
    // "Software\VELMORA\D\" is 19 characters: a 500-character printer name fills
    // 519 characters and the terminator; one more does not fit.
    WCHAR path[kUserKeyPathChars];
    WString name(500, u'p');
    EXPECT_EQ(DWORD(ERROR_SUCCESS), FormatUserKeyPath(path, kUserKeyPathChars, WL("VELMORA"), WL("D"), name.c_str()));
    EXPECT_EQ(519u, nvx::WLen(path));
    name += u'p';
    EXPECT_EQ(DWORD(ERROR_FILENAME_EXCED_RANGE),
              FormatUserKeyPath(path, kUserKeyPathChars, WL("VELMORA"), WL("D"), name.c_str()));
    EXPECT_EQ(0, path[0]);

#ifndef _WIN32
    // Through a printer: a long driver and printer name open and create nothing.
    // (Windows installs no driver of so long a name.)
    WString driver(300, u'd');
    WString printerName(219, u'n');
    HANDLE printer = Add(printerName.c_str(), driver.c_str());
    ASSERT_NE(nullptr, printer);
    EXPECT_EQ(DWORD(ERROR_FILENAME_EXCED_RANGE), UserKeyPathOf(printer, path));
    RegKey key;
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, CreateUserKey(printer, &key));
    EXPECT_FALSE(KeyExists(WL("Software\\VELMORA")));
#endif
}

TEST_F(StoresKeyTest, BadNamesAndHandles) {
    WCHAR path[kUserKeyPathChars];
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), FormatUserKeyPath(path, kUserKeyPathChars, nullptr, WL("D"), WL("P")));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), FormatUserKeyPath(path, kUserKeyPathChars, WL("M"), WL(""), WL("P")));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), FormatUserKeyPath(path, kUserKeyPathChars, WL("M"), WL("D"), WL("\\\\")));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), FormatUserKeyPath(nullptr, 10, WL("M"), WL("D"), WL("P")));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), FormatUserKeyPath(path, 0, WL("M"), WL("D"), WL("P")));

    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), UserKeyPathOf(nullptr, path));
    EXPECT_EQ(0, path[0]);
    RegKey key;
    EXPECT_EQ(ERROR_INVALID_HANDLE, OpenUserKey(reinterpret_cast<HANDLE>(0x1234), &key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, CreateUserKey(nullptr, &key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, CreateUserKey(nullptr, nullptr));
    EXPECT_FALSE(KeyExists(WL("Software\\VELMORA")));
}

TEST_F(StoresKeyTest, ConnectionTestLooksForTheMachinePrintersKey) {
    HANDLE local = Add(WL("Local Fax"));
    ASSERT_TRUE(local);
    EXPECT_EQ(0u, IsPrinterConnection(local));
    EXPECT_EQ(0u, IsPrinterConnection(nullptr));  // information not readable: not a connection

#ifndef _WIN32
    HANDLE remote = Add(WL("\\\\srv\\q1"));  // a connection (the layer adds one by name)
    ASSERT_TRUE(remote);
    EXPECT_EQ(1u, IsPrinterConnection(remote));
    // It is the key that decides: without it a printer counts as a connection, with it
    // not.  (Only in a private platform root: this edits the machine's printer keys.)
    const WCHAR* printers = WL("System\\CurrentControlSet\\Control\\Print\\Printers");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, printers, 0, KEY_ALL_ACCESS, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(key, WL("Local Fax")));
    EXPECT_EQ(1u, IsPrinterConnection(local));
    HKEY added = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(key, WL(",,srv,q1"), &added));
    RegCloseKey(added);
    RegCloseKey(key);
    EXPECT_EQ(0u, IsPrinterConnection(remote));
#endif
}

}  // namespace
