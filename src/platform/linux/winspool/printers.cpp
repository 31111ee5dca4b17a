// Printers: adding, deleting, opening and closing.
#include "platform/host.h"
#include "platform/linux/store/store_registry.h"
#include "platform/linux/store/store_spool.h"

using nvxp::Fail;
using nvxp::PrinterRef;
using nvxp::StoreLock;

namespace {

constexpr const WCHAR kXcvPortPrefix[] = u",XcvPort ";
constexpr ACCESS_MASK kAdminRights = PRINTER_ACCESS_ADMINISTER | SERVER_ACCESS_ADMINISTER | DELETE | WRITE_DAC |
                                     WRITE_OWNER;

bool Empty(const WCHAR* text) {
    return !text || !*text;
}

// The rights a handle gets for a request; generic rights mapped as the spooler maps them.
ACCESS_MASK MapPrinterAccess(ACCESS_MASK requested, bool server) {
    ACCESS_MASK all = server ? SERVER_ALL_ACCESS : PRINTER_ALL_ACCESS;
    ACCESS_MASK read = server ? SERVER_READ : PRINTER_READ;
    ACCESS_MASK write = server ? SERVER_WRITE : PRINTER_WRITE;
    ACCESS_MASK use = server ? SERVER_ACCESS_ENUMERATE : PRINTER_ACCESS_USE;
    if (requested == 0) return use;
    ACCESS_MASK access = requested;
    if (access & MAXIMUM_ALLOWED) access |= NvxPlatform_IsAdministrator() ? all : read;
    if (access & GENERIC_READ) access |= read;
    if (access & GENERIC_WRITE) access |= write;
    if (access & GENERIC_EXECUTE) access |= read;
    if (access & GENERIC_ALL) access |= all;
    return access & all;
}

// Whether a port is known: one that a printer uses, or a TCP/IP port ("IP_" name).
bool KnownPort(StoreLock& store, nvx::WStringView port) {
    if (port.size() > 3 && nvx::WEqualNoCase(port.substr(0, 3), u"IP_")) return true;
    nvxp::Stmt find = store.Prepare("SELECT 1 FROM printer WHERE port = ?1 LIMIT 1");
    return find && find.Text(1, port).Step() == SQLITE_ROW;
}

}  // namespace

extern "C" {

// Level 2 only, on the local machine (pName null or empty).  Adding needs an
// administrator.  The answer is a handle with all access.
NVXAPI HANDLE WINAPI AddPrinterW(LPWSTR pName, DWORD Level, LPBYTE pPrinter) {
    if (!Empty(pName)) return Fail(ERROR_INVALID_NAME, HANDLE(nullptr));
    if (Level != 2) return Fail(ERROR_INVALID_LEVEL, HANDLE(nullptr));
    if (!pPrinter) return Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    if (!NvxPlatform_IsAdministrator()) return Fail(ERROR_ACCESS_DENIED, HANDLE(nullptr));
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter);
    if (Empty(info->pPrinterName) || !nvxp::ValidPrinterName(info->pPrinterName))
        return Fail(ERROR_INVALID_PRINTER_NAME, HANDLE(nullptr));
    if (Empty(info->pDriverName)) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER, HANDLE(nullptr));
    if (Empty(info->pPortName)) return Fail(ERROR_UNKNOWN_PORT, HANDLE(nullptr));
    if (info->Priority > MAX_PRIORITY || info->DefaultPriority > MAX_PRIORITY)
        return Fail(ERROR_INVALID_PRIORITY, HANDLE(nullptr));
    std::vector<BYTE> devmode;
    if (info->pDevMode) {
        devmode = nvxp::DevModeBytes(info->pDevMode);
        if (devmode.empty()) return Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    }
    nvx::WStringView name(info->pPrinterName);
    bool connection = nvxp::IsConnectionName(name);

    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), HANDLE(nullptr));
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), HANDLE(nullptr));
    nvxp::Stmt insert = store.Prepare(
        "INSERT INTO printer(name, folded, share, port, driver, comment, location, sepfile, processor, datatype, "
        "parameters, attributes, priority, default_priority, start_time, until_time, devmode, driver_folder) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, "
        "(SELECT folder FROM driver WHERE folded = ?18))");
    if (!insert) return Fail(store.Error(), HANDLE(nullptr));
    DWORD attributes = info->Attributes & ~static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_NETWORK);
    insert.Text(1, name).Folded(2, name).OptText(3, info->pShareName).Text(4, info->pPortName);
    insert.Text(5, info->pDriverName).OptText(6, info->pComment).OptText(7, info->pLocation);
    insert.OptText(8, info->pSepFile).Text(9, Empty(info->pPrintProcessor) ? u"winprint" : info->pPrintProcessor);
    insert.Text(10, Empty(info->pDatatype) ? u"RAW" : info->pDatatype).OptText(11, info->pParameters);
    insert.Int(12, attributes).Int(13, info->Priority ? info->Priority : MIN_PRIORITY);
    insert.Int(14, info->DefaultPriority).Int(15, info->StartTime).Int(16, info->UntilTime);
    if (devmode.empty())
        insert.Null(17);
    else
        insert.Blob(17, devmode.data(), devmode.size());
    insert.Folded(18, info->pDriverName);
    int rc = insert.Run();
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) return Fail(ERROR_PRINTER_ALREADY_EXISTS, HANDLE(nullptr));
    if (rc != SQLITE_OK) return Fail(nvxp::StoreErrorFor(rc), HANDLE(nullptr));
    int64_t id = store.LastInsertId();

    if (!connection) {
        nvx::WString path = nvxp::PrinterKeyPath(name);
        std::vector<nvx::WStringView> parts;
        nvxp::SplitKeyPath(path.c_str(), &parts);
        int64_t key = 0;
        bool created = false;
        if (LONG err = nvxp::CreateKey(store, nvxp::kRootLocalMachine, parts, nullptr, &key, &created))
            return Fail(static_cast<DWORD>(err), HANDLE(nullptr));
    }
    if (DWORD err = txn.Commit()) return Fail(err, HANDLE(nullptr));
    PrinterRef ref;
    ref.printer = id;
    ref.access = PRINTER_ALL_ACCESS;
    return nvxp::NewPrinterHandle(ref);
}

// Deletes the printer, its data and its key; the handle stays to be closed.
NVXAPI BOOL WINAPI DeletePrinter(HANDLE hPrinter) {
    auto ref = nvxp::PrinterHandle(hPrinter);
    if (!ref) return FALSE;
    if (!(ref->access & DELETE)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), FALSE);
    nvxp::PrinterRow row;
    if (DWORD rc = nvxp::ReadPrinter(store, ref->printer, &row)) return Fail(rc, FALSE);

    nvxp::Stmt data = store.Prepare("DELETE FROM printer_data WHERE printer = ?1");
    nvxp::Stmt printer = store.Prepare("DELETE FROM printer WHERE id = ?1");
    if (!data || !printer) return Fail(store.Error(), FALSE);
    int rc = data.Int(1, row.id).Run();
    if (rc == SQLITE_OK) rc = printer.Int(1, row.id).Run();
    if (rc != SQLITE_OK) return Fail(nvxp::StoreErrorFor(rc), FALSE);

    if (!nvxp::IsConnectionName(row.name)) {
        nvx::WString path = nvxp::PrinterKeyPath(row.name);
        std::vector<nvx::WStringView> parts;
        nvxp::SplitKeyPath(path.c_str(), &parts);
        int64_t key = 0;
        LONG found = nvxp::FindKey(store, nvxp::kRootLocalMachine, parts, &key);
        if (found == ERROR_SUCCESS) found = nvxp::DeleteKeyTree(store, key, false);
        if (found != ERROR_SUCCESS && found != ERROR_FILE_NOT_FOUND) return Fail(static_cast<DWORD>(found), FALSE);
    }
    nvx::WString current;
    if (DWORD err = nvxp::ReadDefaultPrinter(store, &current)) return Fail(err, FALSE);
    if (nvx::WEqualNoCase(current, row.name))
        if (DWORD err = nvxp::WriteDefaultPrinter(store, {})) return Fail(err, FALSE);
    if (DWORD err = txn.Commit()) return Fail(err, FALSE);
    return TRUE;
}

// Opens a printer by name, the local server (null or empty name) or a port's
// transceive interface (",XcvPort <port>").  Without defaults, or with no
// access asked, the handle gets use access.  Rights that administer are
// refused unless the user is an administrator.
NVXAPI BOOL WINAPI OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault) {
    if (!phPrinter) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    *phPrinter = nullptr;
    nvx::WStringView name = pPrinterName ? nvx::WStringView(pPrinterName) : nvx::WStringView();
    ACCESS_MASK requested = pDefault ? pDefault->DesiredAccess : 0;
    PrinterRef ref;
    bool server = name.empty();
    bool xcv = name.substr(0, 9) == kXcvPortPrefix;
    ref.kind = server ? PrinterRef::Kind::Server : xcv ? PrinterRef::Kind::XcvPort : PrinterRef::Kind::Printer;
    ref.access = MapPrinterAccess(requested, server || xcv);
    if ((ref.access & kAdminRights) && !NvxPlatform_IsAdministrator()) return Fail(ERROR_ACCESS_DENIED, FALSE);

    if (!server) {
        StoreLock store;
        if (!store.ok()) return Fail(store.Error(), FALSE);
        if (xcv) {
            ref.port = nvx::WString(name.substr(9));
            if (!KnownPort(store, ref.port)) return Fail(ERROR_INVALID_PRINTER_NAME, FALSE);
        } else if (DWORD rc = nvxp::FindPrinter(store, name, &ref.printer)) {
            return Fail(rc, FALSE);
        }
    }
    *phPrinter = nvxp::NewPrinterHandle(ref);
    return TRUE;
}

NVXAPI BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
    if (!nvxp::ClosePrinterHandle(hPrinter)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    return TRUE;
}

}  // extern "C"
