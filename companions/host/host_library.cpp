// Stand-in for the host driver UI's library.
//
// The real host hooks every page's messages (DDProc_DlgProc) and draws the maker's
// logo on the pages.  This stand-in handles no page message and draws nothing;
// the functions whose callers are not built yet are not exported at all, which the
// module must (and does) cope with.
#include <new>

#include "platform/win32.h"

#ifdef _WIN32
#define HOST_EXPORT extern "C"
#else
#define HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

HOST_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
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

// The device's option state.  This stand-in has no channel of its own to the
// device's options: it checks its arguments and leaves the record as it is.
// Answers 0, or 1 for bad arguments.
HOST_EXPORT DWORD DDProc_GetPrinterInfo_MIB2(const WCHAR* printerName, BYTE* devOption, DWORD) {
    return printerName && *printerName && devOption ? 0 : 1;
}

// The network status library is always there.
HOST_EXPORT BOOL DDProc_IsEnableBdcLib(const WCHAR* printerName) { return printerName != nullptr; }

// Wake packets: nothing to send on the loopback; answers 0.
HOST_EXPORT DWORD DDProc_SendWOL(const WCHAR* printerName, const char* address) {
    return printerName && address ? 0 : 1;
}
