// Private platform roots for tests.
#include "support/platform_test.h"

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <set>
#include <vector>

#include "common/text.h"
#include "support/driver_folder.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace nvxtest {

std::string MakeTempDir(const char* tag) {
    namespace fs = std::filesystem;
    static std::mt19937_64 rng{std::random_device{}()};
    for (;;) {
        fs::path dir = fs::temp_directory_path() / ("novrix-" + std::string(tag) + "-" + std::to_string(rng() % 100000000));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir.string();
    }
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}

#ifdef _WIN32
namespace {
// The printers the running test added: the fixture deletes them when the test
// ends, as a private root's removal does elsewhere.
std::vector<nvx::WString>& AddedPrinters() {
    static std::vector<nvx::WString> names;
    return names;
}

// What the module keeps per user lives under this key; a test starts without it.
const WCHAR* const kMakerKey = WL("Software\\VELMORA");

// The Standard TCP/IP port monitor's records for its "AddPort" and
// "DeletePort" transceive commands, as the monitor documents them (the
// mingw-w64 headers do not declare them).
struct TcpPortData1 {
    WCHAR portName[64];
    DWORD version;  // 1
    DWORD protocol;  // 1 raw TCP, 2 LPR
    DWORD size;  // sizeof(TcpPortData1)
    DWORD reserved;
    WCHAR hostAddress[49];
    WCHAR snmpCommunity[33];
    DWORD doubleSpool;
    WCHAR queue[33];
    WCHAR ipAddress[16];
    BYTE reserved2[540];
    DWORD portNumber;
    DWORD snmpEnabled;
    DWORD snmpDeviceIndex;
};
static_assert(offsetof(TcpPortData1, version) == 128);
static_assert(offsetof(TcpPortData1, hostAddress) == 144);
static_assert(offsetof(TcpPortData1, snmpCommunity) == 242);
static_assert(offsetof(TcpPortData1, doubleSpool) == 308);
static_assert(offsetof(TcpPortData1, queue) == 312);
static_assert(offsetof(TcpPortData1, ipAddress) == 378);
static_assert(offsetof(TcpPortData1, portNumber) == 952);
static_assert(sizeof(TcpPortData1) == 964);

struct TcpDeletePortData1 {
    WCHAR portName[64];
    BYTE reserved[98];
    DWORD version;  // 1
    DWORD reserved2;
};
static_assert(offsetof(TcpDeletePortData1, version) == 228);
static_assert(sizeof(TcpDeletePortData1) == 236);

const WCHAR* const kTcpMonitor = WL(",XcvMonitor Standard TCP/IP Port");
const WCHAR kTcpPortPrefix[] = WL("IP_");

// The TCP/IP ports the running test added, deleted after its printers.
std::vector<nvx::WString>& AddedPorts() {
    static std::vector<nvx::WString> names;
    return names;
}

template <size_t N>
bool CopyField(WCHAR (&field)[N], const WCHAR* text) {
    size_t n = 0;
    for (; text[n]; ++n) {
        if (n + 1 >= N) return false;
        field[n] = text[n];
    }
    field[n] = 0;
    return true;
}

bool PortExists(const WCHAR* port) {
    DWORD needed = 0, count = 0;
    EnumPortsW(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
    const auto* ports = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (ports[i].pName && lstrcmpiW(ports[i].pName, port) == 0) return true;
    return false;
}

// Windows adds a printer only at an existing port.  A test's "IP_<address>" port
// is a Standard TCP/IP port (raw, 9100) to <address>, added through the monitor's
// "AddPort" when missing.  Without that monitor (Wine has none) nothing is added
// and AddPrinterW decides.
void AddTcpPortIfMissing(const WCHAR* port) {
    if (!port) return;
    for (size_t i = 0; kTcpPortPrefix[i]; ++i)
        if (port[i] != kTcpPortPrefix[i]) return;
    if (PortExists(port)) return;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE monitor = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(kTcpMonitor), &monitor, &defaults)) return;
    TcpPortData1 data{};
    data.version = 1;
    data.protocol = 1;
    data.size = sizeof data;
    data.portNumber = 9100;
    if (!CopyField(data.portName, port) || !CopyField(data.hostAddress, port + 3)) {
        ClosePrinter(monitor);
        ADD_FAILURE() << "test port name too long for a TCP/IP port: " << nvx::Utf8FromW(port);
        return;
    }
    DWORD needed = 0, status = ERROR_SUCCESS;
    BOOL reached = XcvDataW(monitor, WL("AddPort"), reinterpret_cast<PBYTE>(&data), sizeof data, nullptr, 0, &needed,
                            &status);
    DWORD error = reached ? status : GetLastError();
    ClosePrinter(monitor);
    if (reached && status == ERROR_SUCCESS)
        AddedPorts().push_back(port);
    else
        ADD_FAILURE() << "adding the TCP/IP port " << nvx::Utf8FromW(port) << ": error " << error;
}

void DeleteAddedPorts() {
    if (AddedPorts().empty()) return;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE monitor = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(kTcpMonitor), &monitor, &defaults)) {
        for (const nvx::WString& port : AddedPorts()) {
            TcpDeletePortData1 data{};
            data.version = 1;
            if (!CopyField(data.portName, port.c_str())) continue;
            DWORD needed = 0, status = ERROR_SUCCESS;
            XcvDataW(monitor, WL("DeletePort"), reinterpret_cast<PBYTE>(&data), sizeof data, nullptr, 0, &needed,
                     &status);
        }
        ClosePrinter(monitor);
    }
    AddedPorts().clear();
}

void DeleteAddedPrinters() {
    for (const nvx::WString& name : AddedPrinters()) {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &printer, &defaults)) continue;
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    AddedPrinters().clear();
    DeleteAddedPorts();  // a port in use by a printer is not deleted
}

// The per-user key is only removed in a throw-away account (the Wine runner
// sets NOVRIX_TEST_SCRATCH_USER=1 for its own prefix): on a person's Windows
// account it holds their real settings.
void DeleteMakerKeyInScratchAccount() {
    const char* scratch = std::getenv("NOVRIX_TEST_SCRATCH_USER");
    if (scratch && std::string(scratch) == "1") RegDeleteTreeW(HKEY_CURRENT_USER, kMakerKey);
}
}  // namespace
#endif

HANDLE AddTestPrinter(PRINTER_INFO_2W& info) {
#ifdef _WIN32
    static std::set<nvx::WString> installed;
    if (info.pDriverName && *info.pDriverName && !installed.count(info.pDriverName)) {
        // The module stands for the driver's files: the spooler copies them into
        // its driver folder and never runs them here.
        const nvx::WString module =
            nvx::WFromUtf8((std::filesystem::path(BuiltDriverFolder()) / "NOVRIX_U.DLL").string());
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = info.pDriverName;
        driver.pDriverPath = const_cast<LPWSTR>(module.c_str());
        driver.pDataFile = const_cast<LPWSTR>(module.c_str());
        driver.pConfigFile = const_cast<LPWSTR>(module.c_str());
        if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES))
            installed.insert(info.pDriverName);
        else
            ADD_FAILURE() << "AddPrinterDriverExW: error " << GetLastError();
    }
    // Windows takes a printer without a data type; Wine's spooler cannot open one
    // (AddPrinterW then fails with ERROR_INVALID_PRINTER_NAME): name the raw type.
    if (!info.pDatatype) info.pDatatype = const_cast<LPWSTR>(WL("RAW"));
    AddTcpPortIfMissing(info.pPortName);
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer && info.pPrinterName) AddedPrinters().push_back(info.pPrinterName);
    return printer;
#else
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
#endif
}

}  // namespace nvxtest

void PlatformTest::SetUp() {
#ifndef _WIN32
    root_ = nvxtest::MakeTempDir("root");
    ASSERT_TRUE(NvxPlatform_SetRoot(root_.c_str()));
    NvxPlatform_SetAdministrator(TRUE);
    NvxPlatform_SetAnsiCodePage(1252);
    NvxPlatform_SetCountryCode(1);
#else
    // Windows has no private root: a test starts without the printers an earlier
    // test (or an earlier run) left, and in a throw-away account without the
    // per-user keys.
    nvxtest::DeleteAddedPrinters();
    nvxtest::DeleteMakerKeyInScratchAccount();
#endif
}

void PlatformTest::TearDown() {
#ifndef _WIN32
    nvxtest::RemoveTree(root_);
#else
    nvxtest::DeleteAddedPrinters();
    nvxtest::DeleteMakerKeyInScratchAccount();
#endif
}
