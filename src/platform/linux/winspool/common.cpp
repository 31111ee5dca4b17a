// Spooler handles, printer rows, the default printer and buffer packing.
#include <cstring>

#include "platform/linux/store/store_handles.h"
#include "platform/linux/store/store_registry.h"
#include "platform/linux/store/store_spool.h"

namespace nvxp {
namespace {

HandleTable<const PrinterRef>& Printers() {
    static HandleTable<const PrinterRef> printers;
    return printers;
}

[[maybe_unused]] const bool g_registered = [] {
    OnRootChange([] { Printers().Clear(); });
    return true;
}();

// The default printer lives where Windows keeps it: "Device" = "name,winspool,Ne00:".
constexpr const WCHAR kWindowsKey[] = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const WCHAR kDeviceValue[] = u"Device";
constexpr const WCHAR kDeviceSuffix[] = u",winspool,Ne00:";

#define NVX_PRINTER_COLUMNS                                                                                      \
    "id, name, share, port, driver, comment, location, sepfile, processor, datatype, parameters, attributes, "  \
    "priority, default_priority, start_time, until_time, status, devmode, user_devmode, driver_folder"

std::optional<nvx::WString> OptColumn(const Stmt& stmt, int col) {
    if (stmt.ColNull(col)) return std::nullopt;
    return stmt.ColText(col);
}

void RowFrom(const Stmt& s, PrinterRow* row) {
    row->id = s.ColInt(0);
    row->name = s.ColText(1);
    row->share = OptColumn(s, 2);
    row->port = s.ColText(3);
    row->driver = s.ColText(4);
    row->comment = OptColumn(s, 5);
    row->location = OptColumn(s, 6);
    row->sepFile = OptColumn(s, 7);
    row->processor = s.ColText(8);
    row->datatype = s.ColText(9);
    row->parameters = OptColumn(s, 10);
    row->attributes = static_cast<DWORD>(s.ColInt(11));
    row->priority = static_cast<DWORD>(s.ColInt(12));
    row->defaultPriority = static_cast<DWORD>(s.ColInt(13));
    row->startTime = static_cast<DWORD>(s.ColInt(14));
    row->untilTime = static_cast<DWORD>(s.ColInt(15));
    row->status = static_cast<DWORD>(s.ColInt(16));
    row->devmode = s.ColBlobCopy(17);
    row->userDevmode = s.ColBlobCopy(18);
    row->driverFolder = s.ColText(19);
}

}  // namespace

// ---- Handles ----

HANDLE NewPrinterHandle(const PrinterRef& ref) {
    return Printers().Add(std::make_shared<const PrinterRef>(ref));
}

std::shared_ptr<const PrinterRef> FindPrinterHandle(HANDLE handle) {
    return Printers().Find(handle);
}

bool ClosePrinterHandle(HANDLE handle) {
    return Printers().Remove(handle);
}

std::shared_ptr<const PrinterRef> PrinterHandle(HANDLE handle) {
    auto ref = Printers().Find(handle);
    if (!ref || ref->kind != PrinterRef::Kind::Printer) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return ref;
}

// ---- Rows ----

DWORD ReadPrinter(StoreLock& store, int64_t id, PrinterRow* row) {
    Stmt read = store.Prepare("SELECT " NVX_PRINTER_COLUMNS " FROM printer WHERE id = ?1");
    if (!read) return store.Error();
    int rc = read.Int(1, id).Step();
    if (rc == SQLITE_ROW) {
        RowFrom(read, row);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_PRINTER_DELETED : StoreErrorFor(rc);
}

DWORD ReadAllPrinters(StoreLock& store, std::vector<PrinterRow>* rows) {
    Stmt read = store.Prepare("SELECT " NVX_PRINTER_COLUMNS
                              " FROM printer ORDER BY substr(folded, 1, 4) = x'005c005c', folded");
    if (!read) return store.Error();
    rows->clear();
    int rc;
    while ((rc = read.Step()) == SQLITE_ROW) {
        rows->emplace_back();
        RowFrom(read, &rows->back());
    }
    return rc == SQLITE_DONE ? ERROR_SUCCESS : StoreErrorFor(rc);
}

DWORD FindPrinter(StoreLock& store, nvx::WStringView name, int64_t* id) {
    Stmt find = store.Prepare("SELECT id FROM printer WHERE folded = ?1");
    if (!find) return store.Error();
    int rc = find.Folded(1, name).Step();
    if (rc == SQLITE_ROW) {
        *id = find.ColInt(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_INVALID_PRINTER_NAME : StoreErrorFor(rc);
}

bool IsConnectionName(nvx::WStringView name) {
    return name.size() >= 2 && name[0] == u'\\' && name[1] == u'\\';
}

bool ValidPrinterName(nvx::WStringView name) {
    if (name.empty() || name.size() > kMaxPrinterNameChars) return false;
    if (!IsConnectionName(name)) return name.find_first_of(u"\\,") == nvx::WStringView::npos;
    size_t cut = name.find(u'\\', 2);
    if (cut == nvx::WStringView::npos || cut == 2 || cut + 1 == name.size()) return false;
    return name.find_first_of(u"\\,", cut + 1) == nvx::WStringView::npos &&
           name.substr(2, cut - 2).find(u',') == nvx::WStringView::npos;
}

std::optional<nvx::WString> ServerOf(nvx::WStringView name) {
    if (!IsConnectionName(name)) return std::nullopt;
    size_t cut = name.find(u'\\', 2);
    return nvx::WString(name.substr(0, cut));
}

nvx::WString PrinterKeyPath(nvx::WStringView name) {
    nvx::WString path(kPrintersKey);
    path += u'\\';
    for (WCHAR c : name) path += c == u'\\' ? u',' : c;
    return path;
}

DWORD ReadDefaultPrinter(StoreLock& store, nvx::WString* name) {
    name->clear();
    std::vector<nvx::WStringView> parts;
    SplitKeyPath(kWindowsKey, &parts);
    int64_t key = 0;
    LONG rc = FindKey(store, kRootCurrentUser, parts, &key);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    DWORD type = 0;
    std::vector<BYTE> data;
    rc = GetValueRow(store, key, kDeviceValue, &type, &data);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    nvx::WString text(data.size() / sizeof(WCHAR), u'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(WCHAR));
    *name = text.substr(0, text.find_first_of(nvx::WStringView(u",\0", 2)));
    return ERROR_SUCCESS;
}

DWORD WriteDefaultPrinter(StoreLock& store, nvx::WStringView name) {
    std::vector<nvx::WStringView> parts;
    SplitKeyPath(kWindowsKey, &parts);
    int64_t key = 0;
    bool created = false;
    LONG rc = CreateKey(store, kRootCurrentUser, parts, nullptr, &key, &created);
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    if (name.empty()) {
        rc = DeleteValueRow(store, key, kDeviceValue);
        return static_cast<DWORD>(rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc);
    }
    nvx::WString text(name);
    text += kDeviceSuffix;
    return static_cast<DWORD>(SetValueRow(store, key, kDeviceValue, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()),
                                          (text.size() + 1) * sizeof(WCHAR)));
}

// ---- Packing ----

BYTE* Packer::Reserve(size_t bytes, size_t align) {
    used_ = (used_ + align - 1) / align * align;
    BYTE* at = base_ ? base_ + used_ : nullptr;
    used_ += bytes;
    return at;
}

LPWSTR Packer::String(nvx::WStringView text) {
    size_t bytes = (text.size() + 1) * sizeof(WCHAR);
    BYTE* at = Reserve(bytes, alignof(WCHAR));
    if (!at) return nullptr;
    if (!text.empty()) std::memcpy(at, text.data(), text.size() * sizeof(WCHAR));
    std::memset(at + bytes - sizeof(WCHAR), 0, sizeof(WCHAR));
    return reinterpret_cast<LPWSTR>(at);
}

LPWSTR Packer::OptString(const std::optional<nvx::WString>& text) {
    return text ? String(*text) : nullptr;
}

LPDEVMODEW Packer::DevMode(const std::vector<BYTE>& devmode) {
    if (devmode.empty()) return nullptr;
    BYTE* at = Reserve(devmode.size(), 8);
    if (!at) return nullptr;
    std::memcpy(at, devmode.data(), devmode.size());
    return reinterpret_cast<LPDEVMODEW>(at);
}

bool CheckOutBuffer(const BYTE* buffer, DWORD cbBuf, const DWORD* pcbNeeded) {
    if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER, false);
    if (!buffer && cbBuf) return Fail(ERROR_INVALID_USER_BUFFER, false);
    return true;
}

}  // namespace nvxp
