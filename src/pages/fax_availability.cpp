#include "pages/fax_availability.h"

namespace nvx::pages::fax {

bool PrinterIsConnection(WStringView printerName) {
    WString key = WFromAscii("System\\CurrentControlSet\\Control\\Print\\Printers\\");
    for (WCHAR c : printerName) key.push_back(c == '\\' ? WCHAR(',') : c);
    HKEY h = nullptr;
    const LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h);
    if (r == ERROR_SUCCESS) RegCloseKey(h);
    // Only the answer that the key does not exist counts.
    return r == ERROR_FILE_NOT_FOUND;
}

bool InPrintHost32() {
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    WStringView full(path, n);
    const size_t slash = full.find_last_of(WFromAscii("\\/"));
    const WStringView name = slash == WStringView::npos ? full : full.substr(slash + 1);
    return WEqualNoCase(name, WFromAscii("SPLWOW64.EXE"));
}

namespace {

bool OlderThanVista() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return false;
    return info.dwMajorVersion < 6;
}

}  // namespace

bool CoverSheetsAvailableToJob(WStringView printerName) {
    return !(InPrintHost32() && PrinterIsConnection(printerName));
}

bool CoverSheetsAvailableToTab(WStringView printerName, const settings::PrinterUIContext* ctx) {
    return !(InPrintHost32() && PrinterIsConnection(printerName) && OlderThanVista() && settings::ContextIsFormA(ctx));
}

}  // namespace nvx::pages::fax
