// Stand-in for the host driver UI's library.
//
// The real host hooks every page's messages (DDProc_DlgProc) and draws the maker's
// logo on the pages.  This stand-in handles no page message and draws nothing;
// the functions whose callers are not built yet are not exported at all, which the
// module must (and does) cope with.
#include <cstring>
#include <new>
#include <string>

#include "common/le.h"
#include "installed_options_text.h"
#include "common/text.h"
#include "model/package.h"
#include "platform/win32.h"

#ifdef _WIN32
#define HOST_EXPORT extern "C"
#else
#define HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
HINSTANCE g_self = nullptr;
}

HOST_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

// The host's hook into every page procedure: (page identifier, page window,
// message, WPARAM, LPARAM, handled flag).  It never sets the flag, so every
// message goes on to the module's page.
HOST_EXPORT INT_PTR DDProc_DlgProc(UINT, HWND, UINT, WPARAM, LPARAM, BOOL*) {
    return FALSE;
}

// Logo drawing on the version page and the other pages: nothing to draw headless.
HOST_EXPORT void DrawLogoVersionTab(HDC, HWND, int, int) {}
HOST_EXPORT void DrawLogoImage(HDC, HWND, int, int) {}

// ---- Device link ----
//
// The device's address comes from the printer's port: a TCP/IP port
// ("IP_<address>") answers its address through the port transceive call.
// Answers 0 with the address, 1 for bad arguments, 3 when the printer or its port
// cannot be opened, 4 when the port has no address.  *isNetworkPort is 1 for a
// TCP/IP port.
HOST_EXPORT DWORD DDProc_GetPrinterIPAddress(const WCHAR* printerName, BYTE*, char* address, DWORD size,
                                             DWORD* isNetworkPort) {
    if (!printerName || !*printerName || !address || size == 0) return 1;
    address[0] = '\0';
    if (isNetworkPort) *isNetworkPort = 0;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<WCHAR*>(printerName), &printer, nullptr)) return 3;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    BYTE* info = needed ? new (std::nothrow) BYTE[needed] : nullptr;
    WCHAR port[MAX_PATH + 16] = {};
    bool havePort = false;
    if (info && GetPrinterW(printer, 2, info, needed, &needed)) {
        const WCHAR* name = reinterpret_cast<PRINTER_INFO_2W*>(info)->pPortName;
        const WCHAR prefix[] = {',', 'X', 'c', 'v', 'P', 'o', 'r', 't', ' ', 0};
        size_t n = 0;
        for (; prefix[n]; ++n) port[n] = prefix[n];
        for (size_t i = 0; name && name[i] && n + 1 < sizeof port / sizeof port[0]; ++i) port[n++] = name[i];
        port[n] = 0;
        havePort = name && name[0];
    }
    delete[] info;
    ClosePrinter(printer);
    if (!havePort) return 3;
    HANDLE xcv = nullptr;
    if (!OpenPrinterW(port, &xcv, nullptr)) return 3;
    WCHAR wide[128] = {};
    DWORD outNeeded = 0, status = 0;
    const WCHAR command[] = {'I', 'P', 'A', 'd', 'd', 'r', 'e', 's', 's', 0};
    BOOL reached = XcvDataW(xcv, command, nullptr, 0, reinterpret_cast<BYTE*>(wide), sizeof wide - sizeof(WCHAR),
                            &outNeeded, &status);
    ClosePrinter(xcv);
    if (!reached || status != ERROR_SUCCESS || !wide[0]) return 4;
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, address, static_cast<int>(size), nullptr, nullptr);
    if (n <= 0) {
        address[0] = '\0';
        return 4;
    }
    if (isNetworkPort) *isNetworkPort = 1;
    return 0;
}

// ---- The device's option state ----

namespace {

// A file beside this library.
std::basic_string<WCHAR> BesideSelf(const WCHAR* file) {
    WCHAR path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(g_self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    while (n > 0 && path[n - 1] != '\\' && path[n - 1] != '/') --n;
    std::basic_string<WCHAR> out(path, n);
    return out + file;
}

bool SameKey(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return i == a.size() && b[i] == 0;
}

// The slot of a device option in the device-option record: its position among the
// readable items of the model's "DeviceOption" entry, in index order, as the module
// numbers its device-option table; -1 when the model has no such option.
int OptionSlot(const nvx::model::Package& pkg, const std::string& key) {
    nvx::model::EntryInfo e;
    if (!pkg.GetEntry("DeviceOption", &e)) return -1;
    int slot = 0, found = -1;
    pkg.ForEachItem(e, nvx::model::ItemOrder::Index, [&](uint32_t at) {
        uint8_t rec[28];
        nvx::vpd::Item head;
        char name[nvx::vpd::kMaxString + 1] = {};
        if (!pkg.ReadRecord(at, sizeof rec, rec) || !pkg.ReadItem(at, &head) ||
            !pkg.ReadKey(head.key, name, sizeof name) || name[0] == 0)
            return true;
        if (slot >= 240) return false;  // the record's option slots
        if (SameKey(key, name)) {
            found = slot;
            return false;
        }
        ++slot;
        return true;
    });
    return found;
}

using InstalledOptionsFn = DWORD (*)(const char*, char*, DWORD);
constexpr DWORD kOptionsNotReported = 7;  // the device reports no installed options

}  // namespace

// The device's option state, written into the device-option record: u16 slot n
// holds the value of the model's device option n.  The real host reads it from the
// device's network status; this stand-in asks the simulated device through the
// device-API stand-in's status channel (NvxDevice_GetInstalledOptions), which
// answers the device profile's "options".  Options the device does not report,
// and options the model does not know, keep their value.
// Answers 0 (also when the device reports no options, or when there is no status
// channel), 1 for bad arguments, 3 or 4 as DDProc_GetPrinterIPAddress, and 16 when
// the device does not answer; the record is changed only on 0 with an answer.
HOST_EXPORT DWORD DDProc_GetPrinterInfo_MIB2(const WCHAR* printerName, BYTE* devOption, DWORD) {
    if (!printerName || !*printerName || !devOption) return 1;
    char address[64] = {};
    DWORD isNetworkPort = 0;
    if (DWORD code = DDProc_GetPrinterIPAddress(printerName, devOption, address, sizeof address, &isNetworkPort))
        return code;
    HMODULE component = GetModuleHandleW(WL("NOVRIX_O.DLL"));
    bool loaded = false;
    if (!component) {
        std::basic_string<WCHAR> path = BesideSelf(WL("NOVRIX_O.DLL"));
        component = path.empty() ? nullptr : LoadLibraryW(path.c_str());
        loaded = component != nullptr;
    }
    auto ask = component ? reinterpret_cast<InstalledOptionsFn>(
                               reinterpret_cast<void*>(GetProcAddress(component, "NvxDevice_GetInstalledOptions")))
                         : nullptr;
    char* text = ask ? new (std::nothrow) char[4096] : nullptr;
    DWORD code = text ? ask(address, text, 4096) : kOptionsNotReported;
    if (loaded) FreeLibrary(component);
    if (code != 0) {
        delete[] text;
        return code == kOptionsNotReported ? 0 : 16;
    }
    std::basic_string<WCHAR> vpd = BesideSelf(WL("NOVRIX_D.VPD"));
    nvx::model::PackagePtr pkg = vpd.empty() ? nullptr : nvx::model::Package::Open(vpd.c_str());
    // Every line "KEY=VALUE" the model knows goes into its slot.
    if (pkg)
        nvxhost::ForEachInstalledOption(text, 4096, [&](std::string_view key, uint16_t value) {
            int slot = OptionSlot(*pkg, std::string(key));
            if (slot >= 0) nvx::PutLE16(devOption + 2 * slot, value);
        });
    delete[] text;
    return 0;
}

// The network status library is always there.
HOST_EXPORT BOOL DDProc_IsEnableBdcLib(const WCHAR* printerName) { return printerName != nullptr; }

// Wake packets: nothing to send on the loopback; answers 0.
HOST_EXPORT DWORD DDProc_SendWOL(const WCHAR* printerName, const char* address) {
    return printerName && address ? 0 : 1;
}
