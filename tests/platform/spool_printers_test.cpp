// Printers: adding, opening with rights, exact packing of the info levels,
// enumeration, deletion, the default printer, drivers, jobs and port addresses.
#include <cstring>
#include <vector>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

LPWSTR W(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

class Printers : public PlatformTest {
protected:
    void TearDown() override {
        for (HANDLE printer : added_) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
        PlatformTest::TearDown();
    }
    // Adds a printer and keeps its all-access handle for the tear-down.
    HANDLE Add(const WCHAR* name, const WCHAR* port = WL("IP_192.0.2.7"), DEVMODEW* devmode = nullptr) {
        PRINTER_INFO_2W info{};
        info.pPrinterName = W(name);
        info.pDriverName = W(WL("Novrix Test Driver"));
        info.pPortName = W(port);
        info.pPrintProcessor = W(WL("winprint"));
        info.pComment = W(WL("desk"));
        info.pLocation = W(WL("hall"));
        info.pDevMode = devmode;
        HANDLE printer = nvxtest::AddTestPrinter(info);
        if (printer) added_.push_back(printer);
        return printer;
    }
    HANDLE Open(const WCHAR* name, ACCESS_MASK access) {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        HANDLE printer = nullptr;
        EXPECT_TRUE(OpenPrinterW(W(name), &printer, &defaults)) << GetLastError();
        return printer;
    }
    std::vector<HANDLE> added_;
};

TEST_F(Printers, AddChecksNamesAndCreatesTheKey) {
    ASSERT_NE(nullptr, Add(WL("Office")));
    for (const WCHAR* bad : {WL(""), WL("\\\\server")}) {
        EXPECT_EQ(nullptr, Add(bad));
        EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
    }
    // A printer needs an installed driver.  Windows knows which are installed;
    // the layer installs none and refuses only a printer that names none (a
    // null driver name is no call Windows answers: Wine's spooler stops on it).
    PRINTER_INFO_2W info{};
    info.pPrinterName = W(WL("NoDriver"));
    info.pPortName = W(WL("LPT1:"));
    info.pPrintProcessor = W(WL("winprint"));
    info.pDatatype = W(WL("RAW"));
#ifdef _WIN32
    info.pDriverName = W(WL("Novrix Driver Never Installed"));
#endif
    EXPECT_EQ(nullptr, AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(DWORD(ERROR_UNKNOWN_PRINTER_DRIVER), GetLastError());
    EXPECT_EQ(nullptr, AddPrinterW(nullptr, 1, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(DWORD(ERROR_INVALID_LEVEL), GetLastError());

    // A local printer has its key under HKLM.
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                                           WL("System\\CurrentControlSet\\Control\\Print\\Printers\\Office"), 0,
                                           KEY_READ, &key));
    RegCloseKey(key);
#ifndef _WIN32
    // A connection (which only the layer adds by name) has none, so the
    // connection test (backslashes as commas, open fails with error 2) holds.
    ASSERT_NE(nullptr, Add(WL("\\\\srv\\q1")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, WL("System\\CurrentControlSet\\Control\\Print\\Printers\\,,srv,q1"), 0,
                            KEY_READ, &key));
    NvxPlatform_SetAdministrator(FALSE);
    EXPECT_EQ(nullptr, Add(WL("Refused")));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
#endif
}

TEST_F(Printers, NamesAreUniqueInAnyCaseAndHoldNoBackslashOrComma) {
    ASSERT_NE(nullptr, Add(WL("Office")));
    EXPECT_EQ(nullptr, Add(WL("OFFICE")));
    EXPECT_EQ(DWORD(ERROR_PRINTER_ALREADY_EXISTS), GetLastError());
    for (const WCHAR* bad : {WL("back\\slash"), WL("com,ma")}) {
        SCOPED_TRACE(nvx::Utf8FromW(bad));
        EXPECT_EQ(nullptr, Add(bad));
        EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
    }
}

TEST_F(Printers, OpenGrantsAccessByRequestAndUser) {
    ASSERT_NE(nullptr, Add(WL("Office")));
    HANDLE printer = nullptr;
    EXPECT_FALSE(OpenPrinterW(W(WL("Nowhere")), &printer, nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
    EXPECT_FALSE(OpenPrinterW(W(WL("Office")), nullptr, nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    ASSERT_TRUE(OpenPrinterW(W(WL("office")), &printer, nullptr));
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());

    HANDLE admin = Open(WL("Office"), PRINTER_ALL_ACCESS);
    DWORD value = 1;
    EXPECT_EQ(DWORD(ERROR_SUCCESS), SetPrinterDataW(admin, W(WL("v")), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4));
    ClosePrinter(admin);
#ifndef _WIN32
    NvxPlatform_SetAdministrator(FALSE);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_ADMINISTER};
    EXPECT_FALSE(OpenPrinterW(W(WL("Office")), &printer, &defaults));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    defaults.DesiredAccess = PRINTER_ACCESS_USE;
    EXPECT_TRUE(OpenPrinterW(W(WL("Office")), &printer, &defaults));
    ClosePrinter(printer);
#endif
}

TEST_F(Printers, AHandleForUseNeitherWritesDataNorDeletes) {
    ASSERT_NE(nullptr, Add(WL("Office")));
    // No defaults: use access only.
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(W(WL("Office")), &printer, nullptr));
    DWORD value = 1;
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), SetPrinterDataW(printer, W(WL("v")), REG_DWORD,
                                                          reinterpret_cast<LPBYTE>(&value), 4));
    EXPECT_FALSE(DeletePrinter(printer));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    ClosePrinter(printer);
}

TEST_F(Printers, Level2AnswersEveryFieldInTheCallersBuffer) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
#ifndef _WIN32
    // The layer's packing: structure, the strings in field order, then the
    // device mode at 8-byte alignment (Windows promises only that all of it lies
    // in the buffer).
    size_t strings = sizeof(WCHAR) * (7 + 13 + 19 + 5 + 5 + 9 + 4);  // name port driver comment location processor RAW
    size_t devmodeAt = (sizeof(PRINTER_INFO_2W) + strings + 7) / 8 * 8;
    EXPECT_EQ(devmodeAt + sizeof(DEVMODEW), needed);
#endif
    ASSERT_GE(needed, sizeof(PRINTER_INFO_2W) + sizeof(DEVMODEW));

    std::vector<BYTE> buffer(needed);
    DWORD again = 0;
    EXPECT_FALSE(GetPrinterW(printer, 2, buffer.data(), needed - 1, &again));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(needed, again);
    ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &again));
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    auto inBuffer = [&](const void* p, size_t size) {
        auto* b = static_cast<const BYTE*>(p);
        return b >= buffer.data() + sizeof(PRINTER_INFO_2W) && b + size <= buffer.data() + buffer.size();
    };
    EXPECT_EQ(nullptr, info->pServerName);
    EXPECT_EQ(nvx::WString(WL("Office")), info->pPrinterName);
    EXPECT_TRUE(inBuffer(info->pPrinterName, sizeof(WCHAR) * 7));
    EXPECT_EQ(nvx::WString(WL("IP_192.0.2.7")), info->pPortName);
    EXPECT_TRUE(inBuffer(info->pPortName, sizeof(WCHAR) * 13));
    EXPECT_EQ(nvx::WString(WL("Novrix Test Driver")), info->pDriverName);
    EXPECT_EQ(nvx::WString(WL("RAW")), info->pDatatype);
    EXPECT_EQ(nullptr, info->pShareName);
    ASSERT_NE(nullptr, info->pDevMode);
    EXPECT_TRUE(inBuffer(info->pDevMode, sizeof(DEVMODEW)));
    EXPECT_EQ(sizeof(DEVMODEW), info->pDevMode->dmSize);
    EXPECT_EQ(0u, info->cJobs);
#ifndef _WIN32
    EXPECT_EQ(reinterpret_cast<BYTE*>(info->pPrinterName), buffer.data() + sizeof(PRINTER_INFO_2W));
    EXPECT_EQ(reinterpret_cast<BYTE*>(info->pPortName), reinterpret_cast<BYTE*>(info->pPrinterName) + 14);
    EXPECT_EQ(reinterpret_cast<BYTE*>(info->pDevMode), buffer.data() + devmodeAt);
#endif

    ASSERT_FALSE(GetPrinterW(printer, 1, nullptr, 0, &needed));
    buffer.assign(needed, 0);
    ASSERT_TRUE(GetPrinterW(printer, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(nvx::WString(WL("Office")), reinterpret_cast<PRINTER_INFO_1W*>(buffer.data())->pName);
    EXPECT_FALSE(GetPrinterW(printer, 3, buffer.data(), needed, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_LEVEL), GetLastError());
}

TEST_F(Printers, LocalAttributeLevel1DescriptionAndNoBufferWithASize) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 16, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_USER_BUFFER), GetLastError());
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
    EXPECT_TRUE(reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->Attributes & PRINTER_ATTRIBUTE_LOCAL);
    // Level 1 describes the printer as "name,driver,location".
    ASSERT_FALSE(GetPrinterW(printer, 1, nullptr, 0, &needed));
    buffer.assign(needed, 0);
    ASSERT_TRUE(GetPrinterW(printer, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(nvx::WString(WL("Office,Novrix Test Driver,hall")),
              reinterpret_cast<PRINTER_INFO_1W*>(buffer.data())->pDescription);
}

TEST_F(Printers, EnumerationListsLocalsAndConnectionsApart) {
    ASSERT_NE(nullptr, Add(WL("Zeta")));
    ASSERT_NE(nullptr, Add(WL("alpha")));
#ifndef _WIN32
    ASSERT_NE(nullptr, Add(WL("\\\\srv\\q1")));
#endif
    auto names = [](DWORD flags) {
        DWORD needed = 0, count = 7;
        std::vector<nvx::WString> out;
        if (EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count)) return out;  // nothing to list
        EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
        EXPECT_EQ(0u, count);
        std::vector<BYTE> buffer(needed);
        EXPECT_TRUE(EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count));
        auto* infos = reinterpret_cast<PRINTER_INFO_4W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) out.emplace_back(infos[i].pPrinterName ? infos[i].pPrinterName : WL("(null)"));
        return out;
    };
    EXPECT_EQ((std::vector<nvx::WString>{WL("alpha"), WL("Zeta")}), names(PRINTER_ENUM_LOCAL));
#ifndef _WIN32
    EXPECT_EQ((std::vector<nvx::WString>{WL("\\\\srv\\q1")}), names(PRINTER_ENUM_CONNECTIONS));
    EXPECT_EQ(3u, names(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS).size());
#endif
    DWORD needed = 0, count = 0;
    EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 3, nullptr, 0, &needed, &count));
    EXPECT_EQ(DWORD(ERROR_INVALID_LEVEL), GetLastError());
}

TEST_F(Printers, DeleteRemovesThePrinterAndItsKey) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    WCHAR name[32];
    DWORD chars = 32;
    EXPECT_FALSE(GetDefaultPrinterW(name, &chars));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(SetDefaultPrinterW(WL("Nowhere")));
    EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());

    ASSERT_TRUE(DeletePrinter(printer));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                                                  WL("System\\CurrentControlSet\\Control\\Print\\Printers\\Office"), 0,
                                                  KEY_READ, &key));
}

TEST_F(Printers, TheDefaultTakesTheStoredNameAndGoesWithThePrinter) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    WCHAR name[32];
    DWORD chars = 3;
    ASSERT_TRUE(SetDefaultPrinterW(WL("OFFICE")));
    EXPECT_FALSE(GetDefaultPrinterW(name, &chars));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(7u, chars);
    ASSERT_TRUE(GetDefaultPrinterW(name, &chars));
    EXPECT_EQ(nvx::WString(WL("Office")), name);

    // A deleted printer's handles answer that it is gone, and it is no default.
    ASSERT_TRUE(DeletePrinter(printer));
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_PRINTER_DELETED), GetLastError());
    HANDLE gone = nullptr;
    EXPECT_FALSE(OpenPrinterW(W(WL("Office")), &gone, nullptr));
    chars = 32;
    EXPECT_FALSE(GetDefaultPrinterW(name, &chars));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(Printers, SetPrinterRenamesAndControls) {
    HANDLE printer = Add(WL("Old"));
    ASSERT_NE(nullptr, printer);
    HANDLE user = Open(WL("Old"), PRINTER_ACCESS_USE);
    PRINTER_INFO_2W change{};
    change.pPrinterName = W(WL("New"));
    change.pComment = W(WL("moved"));
    EXPECT_FALSE(SetPrinterW(user, 2, reinterpret_cast<LPBYTE>(&change), 0));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    PRINTER_INFO_2W bad{};
    bad.pPrinterName = W(WL("bad\\name"));
    EXPECT_FALSE(SetPrinterW(printer, 2, reinterpret_cast<LPBYTE>(&bad), 0));
    EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
    ASSERT_TRUE(SetPrinterW(printer, 2, reinterpret_cast<LPBYTE>(&change), 0));
    HANDLE old = nullptr;
    EXPECT_FALSE(OpenPrinterW(W(WL("Old")), &old, nullptr));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                                           WL("System\\CurrentControlSet\\Control\\Print\\Printers\\New"), 0, KEY_READ,
                                           &key));
    RegCloseKey(key);

    ASSERT_TRUE(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PAUSE));
    DWORD needed = 0;
    GetPrinterW(user, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterW(user, 2, buffer.data(), needed, &needed));
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    EXPECT_EQ(nvx::WString(WL("New")), info->pPrinterName);
    EXPECT_EQ(nvx::WString(WL("moved")), info->pComment);
    EXPECT_EQ(nvx::WString(WL("IP_192.0.2.7")), info->pPortName);  // null fields keep their value
    EXPECT_TRUE(info->Status & PRINTER_STATUS_PAUSED);
    EXPECT_FALSE(SetPrinterW(printer, 2, reinterpret_cast<LPBYTE>(&change), PRINTER_CONTROL_PAUSE));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    ClosePrinter(user);
}

TEST_F(Printers, DriverOfAPrinter) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    DWORD needed = 0;
    ASSERT_FALSE(GetPrinterDriverW(printer, nullptr, 1, nullptr, 0, &needed));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterDriverW(printer, nullptr, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(nvx::WString(WL("Novrix Test Driver")), reinterpret_cast<DRIVER_INFO_1W*>(buffer.data())->pName);
#ifndef _WIN32
    ASSERT_TRUE(NvxPlatform_SetDriverFolder("novrix test DRIVER", "/opt/novrix/driver"));
    ASSERT_FALSE(GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed));
    buffer.assign(needed, 0);
    ASSERT_TRUE(GetPrinterDriverW(printer, nullptr, 2, buffer.data(), needed, &needed));
    EXPECT_EQ(nvx::WString(WL("/opt/novrix/driver")), reinterpret_cast<DRIVER_INFO_2W*>(buffer.data())->pConfigFile);
#endif
}

TEST_F(Printers, ANewPrinterHasNoJobs) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    DWORD needed = 5, count = 9;
    EXPECT_TRUE(EnumJobsW(printer, 0, 10, 1, nullptr, 0, &needed, &count)) << GetLastError();
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, needed);
}

TEST_F(Printers, ATcpPortAnswersItsAddress) {
    HANDLE printer = Add(WL("Office"));
    ASSERT_NE(nullptr, printer);
    ASSERT_NE(nullptr, Add(WL("Parallel"), WL("LPT1:")));
    HANDLE xcv = Open(WL(",XcvPort IP_192.0.2.7"), SERVER_ACCESS_ENUMERATE);
    WCHAR address[32];
    DWORD needed = 0, status = 0;
    EXPECT_TRUE(XcvDataW(xcv, WL("IPAddress"), nullptr, 0, reinterpret_cast<PBYTE>(address), 4, &needed, &status));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), status);
    EXPECT_EQ(20u, needed);
    EXPECT_TRUE(XcvDataW(xcv, WL("IPAddress"), nullptr, 0, reinterpret_cast<PBYTE>(address), sizeof address, &needed,
                         &status));
    EXPECT_EQ(DWORD(ERROR_SUCCESS), status);
    EXPECT_EQ(nvx::WString(WL("192.0.2.7")), address);
    ClosePrinter(xcv);
    xcv = Open(WL(",XcvPort LPT1:"), SERVER_ACCESS_ENUMERATE);
    EXPECT_TRUE(XcvDataW(xcv, WL("IPAddress"), nullptr, 0, reinterpret_cast<PBYTE>(address), sizeof address, &needed,
                         &status));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), status);
    EXPECT_FALSE(XcvDataW(printer, WL("IPAddress"), nullptr, 0, nullptr, 0, &needed, &status));
    ClosePrinter(xcv);
    HANDLE none = nullptr;
    EXPECT_FALSE(OpenPrinterW(W(WL(",XcvPort COM9:")), &none, nullptr));
}

}  // namespace
