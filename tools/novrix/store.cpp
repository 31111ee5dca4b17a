// The printer store of the novrix host (see store.h).
#include "store.h"

#include <cstring>

#include "common/text.h"
#include "driver_folder.h"
#include "module_host.h"
#include "platform/host.h"

namespace novrix {
namespace {

// Where the host keeps its own marks: the first-use mark in the registry, a
// printer's own driver folder in its printer data (a key of the host's, apart
// from the driver's "PrinterDriverData").
const WCHAR* const kHostKey = WL("Software\\NOVRIX\\novrix");
const WCHAR* const kFirstUseValue = WL("FirstUseDone");
const WCHAR* const kHostDataKey = WL("NovrixHost");
const WCHAR* const kFolderValue = WL("DriverFolder");

bool FirstUseDone() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kHostKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG rc = RegQueryValueExW(key, kFirstUseValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD && value == 1;
}

DWORD MarkFirstUseDone() {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, kHostKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    DWORD one = 1;
    rc = RegSetValueExW(key, kFirstUseValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
    return static_cast<DWORD>(rc);
}

// Reads a printer's own driver folder; empty when it has none.
std::string OwnFolder(HANDLE printer) {
    DWORD type = 0, needed = 0;
    GetPrinterDataExW(printer, kHostDataKey, kFolderValue, &type, nullptr, 0, &needed);
    if (needed < 2) return {};
    std::vector<BYTE> data(needed + 2, 0);
    if (GetPrinterDataExW(printer, kHostDataKey, kFolderValue, &type, data.data(), needed, &needed) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    nvx::WString text(needed / 2, u'\0');
    std::memcpy(text.data(), data.data(), text.size() * 2);
    while (!text.empty() && text.back() == 0) text.pop_back();
    return nvx::Utf8FromW(text.c_str());
}

// The PRINTER_INFO_2W list of the local printers (the buffer owns the strings).
std::vector<BYTE> EnumLevel2(DWORD* count) {
    DWORD needed = 0;
    *count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, count)) *count = 0;
    return buffer;
}

}  // namespace

namespace {
std::string StorePath() { return std::string(NvxPlatform_Root()) + "/platform.db"; }
}  // namespace

std::string StoreProblem(bool* unusable) {
    char detail[512] = {};
    int state = NvxPlatform_StoreState(detail, sizeof detail);
    if (unusable) *unusable = state == NVX_STORE_DAMAGED || state == NVX_STORE_UNAVAILABLE;
    switch (state) {
    case NVX_STORE_READ_ONLY: return "the store " + StorePath() + " is read-only: " + detail;
    case NVX_STORE_DAMAGED:
        return "the store " + StorePath() + " is damaged: " + detail + "; move it away to start afresh";
    case NVX_STORE_UNAVAILABLE: return "the store " + StorePath() + " cannot be opened: " + detail;
    default: return {};
    }
}

bool OpenStore(const Options& options, std::string* error) {
    if (!options.root.empty() && !NvxPlatform_SetRoot(options.root.c_str())) {
        *error = "cannot use the folder " + options.root + " as the platform root";
        return false;
    }
    // A store that cannot be read stops every command; a read-only one serves the
    // commands that only read (and its first use waits for a writable one).
    bool unusable = false;
    std::string problem = StoreProblem(&unusable);
    if (unusable) {
        *error = problem;
        return false;
    }
    if (!problem.empty() || FirstUseDone()) return true;
    NvxPlatform_SetDriverFolder(kDriverName, DriverFolder(options.driverFolder).c_str());
    DWORD count = 0;
    EnumLevel2(&count);
    if (count == 0) {
        DWORD rc = AddHostPrinter(kFirstPrinterName, "", "");
        if (rc != ERROR_SUCCESS && rc != ERROR_PRINTER_ALREADY_EXISTS) {
            *error = std::string("cannot add the printer \"") + kFirstPrinterName + "\": " + ErrorText(rc);
            return false;
        }
        SetDefaultHostPrinter(kFirstPrinterName);
        std::string why;
        if (rc == ERROR_SUCCESS && !InstallFactoryPresets(kFirstPrinterName, options, &why))
            fprintf(stderr, "novrix: %s\n", why.c_str());
    }
    DWORD rc = MarkFirstUseDone();
    if (rc != ERROR_SUCCESS) {
        *error = "cannot write the platform root " + std::string(NvxPlatform_Root()) + ": " + ErrorText(rc);
        return false;
    }
    return true;
}

std::vector<PrinterEntry> ListPrinters() {
    DWORD count = 0;
    std::vector<BYTE> buffer = EnumLevel2(&count);
    std::string def = DefaultPrinterName();
    std::vector<PrinterEntry> out;
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        PrinterEntry e;
        e.name = nvx::Utf8FromW(info[i].pPrinterName);
        e.driver = info[i].pDriverName ? nvx::Utf8FromW(info[i].pDriverName) : "";
        e.port = info[i].pPortName ? nvx::Utf8FromW(info[i].pPortName) : "";
        e.isDefault = e.name == def;
        PrinterHandle handle;
        if (handle.Open(e.name) == ERROR_SUCCESS) e.driverFolder = OwnFolder(handle.get());
        out.push_back(std::move(e));
    }
    return out;
}

std::string DefaultPrinterName() {
    WCHAR name[512] = {};
    DWORD size = 512;
    if (!GetDefaultPrinterW(name, &size)) return {};
    return nvx::Utf8FromW(name);
}

DWORD AddHostPrinter(const std::string& name, const std::string& driverFolder, const std::string& port) {
    nvx::WString wname = nvx::WFromUtf8(name);
    nvx::WString wdriver = nvx::WFromUtf8(kDriverName);
    nvx::WString wport = nvx::WFromUtf8(port.empty() ? kDefaultPort : port);
    nvx::WString wproc = WL("winprint");
    PRINTER_INFO_2W info{};
    info.pPrinterName = wname.data();
    info.pDriverName = wdriver.data();
    info.pPortName = wport.data();
    info.pPrintProcessor = wproc.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!printer) return GetLastError();
    DWORD rc = ERROR_SUCCESS;
    if (!driverFolder.empty()) {
        nvx::WString folder = nvx::WFromUtf8(driverFolder);
        rc = SetPrinterDataExW(printer, kHostDataKey, kFolderValue, REG_SZ,
                               reinterpret_cast<LPBYTE>(folder.data()), static_cast<DWORD>((folder.size() + 1) * 2));
        if (rc != ERROR_SUCCESS) DeletePrinter(printer);
    }
    ClosePrinter(printer);
    if (rc == ERROR_SUCCESS && DefaultPrinterName().empty()) SetDefaultHostPrinter(name);
    return rc;
}

bool InstallFactoryPresets(const std::string& name, const Options& options, std::string* error) {
    PrinterHandle printer;
    if (DWORD rc = printer.Open(name); rc != ERROR_SUCCESS) {
        *error = "the factory presets were not installed: " + ErrorText(rc);
        return false;
    }
    ModuleHost module;
    if (!module.Load(PrinterDriverFolder(printer.get(), options))) {
        *error = "the factory presets were not installed: " + module.Error();
        return false;
    }
    auto install = module.Entry<UINT_PTR (*)(const WCHAR*)>("SetEasySetPreset");
    const nvx::WString wname = nvx::WFromUtf8(name);
    if (!install || !install(wname.c_str())) {
        const DWORD rc = GetLastError();
        *error = "the factory presets were not installed: " +
                 (rc == ERROR_ACCESS_DENIED ? std::string("only a user who may administer the printer installs them")
                                            : ErrorText(rc));
        return false;
    }
    // The built-in watermarks become the shared list, as the driver's installer
    // registers them (nothing changes on a printer that has six or more).
    auto watermarks = module.Entry<int (*)(const WCHAR*)>("Prc_RegDefWMarkW");
    if (!watermarks || !watermarks(wname.c_str())) {
        const DWORD rc = GetLastError();
        *error = "the built-in watermarks were not registered: " +
                 (rc == ERROR_ACCESS_DENIED ? std::string("only a user who may administer the printer registers them")
                                            : ErrorText(rc));
        return false;
    }
    return true;
}

DWORD RemoveHostPrinter(const std::string& name) {
    nvx::WString wname = nvx::WFromUtf8(name);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ALL_ACCESS;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(wname.data(), &printer, &defaults)) return GetLastError();
    DWORD rc = DeletePrinter(printer) ? ERROR_SUCCESS : GetLastError();
    ClosePrinter(printer);
    // The spooler cleared the default when it named this printer: keep one.
    if (rc == ERROR_SUCCESS && DefaultPrinterName().empty()) SetDefaultPrinterW(nullptr);
    return rc;
}

DWORD SetDefaultHostPrinter(const std::string& name) {
    PrinterHandle handle;
    if (DWORD rc = handle.Open(name); rc != ERROR_SUCCESS) return rc;
    nvx::WString wname = nvx::WFromUtf8(name);
    return SetDefaultPrinterW(wname.c_str()) ? ERROR_SUCCESS : GetLastError();
}

std::string PrinterDriverFolder(HANDLE printer, const Options& options) {
    std::string own = OwnFolder(printer);
    return own.empty() ? DriverFolder(options.driverFolder) : own;
}

std::vector<BYTE> LoadUserDevMode(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 9, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_9W)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 9, buffer.data(), needed, &needed)) return {};
    const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_9W*>(buffer.data())->pDevMode;
    if (!dm) return {};
    size_t size = static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra;
    const BYTE* start = reinterpret_cast<const BYTE*>(dm);
    if (start < buffer.data() || start + size > buffer.data() + buffer.size()) return {};
    return std::vector<BYTE>(start, start + size);
}

DWORD SaveUserDevMode(HANDLE printer, const DEVMODEW* devmode) {
    PRINTER_INFO_9W info{};
    info.pDevMode = const_cast<DEVMODEW*>(devmode);
    return SetPrinterW(printer, 9, reinterpret_cast<LPBYTE>(&info), 0) ? ERROR_SUCCESS : GetLastError();
}

std::string ErrorText(DWORD error) {
    // Errors of the store itself are told by the store's state, with the file's name.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_REGISTRY_CORRUPT || error == ERROR_CANTOPEN ||
        error == ERROR_REGISTRY_IO_FAILED) {
        std::string problem = StoreProblem(nullptr);
        if (!problem.empty()) return problem;
    }
    switch (error) {
    case ERROR_SUCCESS: return "done";
    case ERROR_PRINTER_ALREADY_EXISTS: return "a printer of that name exists already";
    case ERROR_INVALID_PRINTER_NAME: return "no printer of that name";
    case ERROR_INVALID_NAME: return "the name is not valid";
    case ERROR_ACCESS_DENIED: return "access denied (administrator rights needed)";
    case ERROR_INVALID_PARAMETER: return "the name is not valid";
    case ERROR_PRINTER_DELETED: return "the printer was deleted meanwhile";
    case ERROR_DISK_FULL: return "the disk is full";
    case ERROR_BUSY: return "the store is busy";
    default: return "error " + std::to_string(error);
    }
}

PrinterHandle::~PrinterHandle() {
    if (handle_) ClosePrinter(handle_);
}

DWORD PrinterHandle::Open(const std::string& name) {
    if (handle_) ClosePrinter(handle_);
    handle_ = nullptr;
    nvx::WString wname = nvx::WFromUtf8(name);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ACCESS_USE;
    if (OpenPrinterW(wname.data(), &handle_, &defaults)) return ERROR_SUCCESS;
    handle_ = nullptr;
    return GetLastError();
}

}  // namespace novrix
