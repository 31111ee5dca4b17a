// Printer information: GetPrinterW, SetPrinterW, EnumPrintersW.
#include <cstring>

#include "platform/linux/store/store_registry.h"
#include "platform/linux/store/store_spool.h"

using nvxp::Fail;
using nvxp::Packer;
using nvxp::PrinterRow;
using nvxp::StoreLock;

namespace {

// The size of one info record of a level this layer answers, or 0.
size_t InfoSize(DWORD level) {
    switch (level) {
    case 1:
        return sizeof(PRINTER_INFO_1W);
    case 2:
        return sizeof(PRINTER_INFO_2W);
    case 4:
        return sizeof(PRINTER_INFO_4W);
    case 8:
        return sizeof(PRINTER_INFO_8W);
    case 9:
        return sizeof(PRINTER_INFO_9W);
    default:
        return 0;
    }
}

// The stored attributes with the local or network bit the spooler sets itself.
DWORD AttributesOf(const PrinterRow& row) {
    return row.attributes | (nvxp::IsConnectionName(row.name) ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL);
}

template <typename T>
void Put(BYTE* record, const T& info) {
    std::memcpy(record, &info, sizeof info);
}

// Writes one info record; the strings in field order, a device mode last.
void FillPrinterInfo(Packer& p, const PrinterRow& row, DWORD level, BYTE* record) {
    switch (level) {
    case 1: {
        PRINTER_INFO_1W info{};
        info.Flags = PRINTER_ENUM_ICON8;
        nvx::WString description = row.name + u"," + row.driver + u"," + row.location.value_or(nvx::WString());
        info.pDescription = p.String(description);
        info.pName = p.String(row.name);
        info.pComment = p.String(row.comment.value_or(nvx::WString()));
        Put(record, info);
        break;
    }
    case 2: {
        PRINTER_INFO_2W info{};
        info.pServerName = p.OptString(nvxp::ServerOf(row.name));
        info.pPrinterName = p.String(row.name);
        info.pShareName = p.OptString(row.share);
        info.pPortName = p.String(row.port);
        info.pDriverName = p.String(row.driver);
        info.pComment = p.OptString(row.comment);
        info.pLocation = p.OptString(row.location);
        info.pSepFile = p.OptString(row.sepFile);
        info.pPrintProcessor = p.String(row.processor);
        info.pDatatype = p.String(row.datatype);
        info.pParameters = p.OptString(row.parameters);
        info.pDevMode = p.DevMode(nvxp::UserDevMode(row));
        info.Attributes = AttributesOf(row);
        info.Priority = row.priority;
        info.DefaultPriority = row.defaultPriority;
        info.StartTime = row.startTime;
        info.UntilTime = row.untilTime;
        info.Status = row.status;
        Put(record, info);
        break;
    }
    case 4: {
        PRINTER_INFO_4W info{};
        info.pPrinterName = p.String(row.name);
        info.pServerName = p.OptString(nvxp::ServerOf(row.name));
        info.Attributes = AttributesOf(row);
        Put(record, info);
        break;
    }
    case 8: {
        PRINTER_INFO_8W info{};
        info.pDevMode = p.DevMode(nvxp::GlobalDevMode(row));
        Put(record, info);
        break;
    }
    case 9: {
        PRINTER_INFO_9W info{};
        info.pDevMode = p.DevMode(row.userDevmode);
        Put(record, info);
        break;
    }
    }
}

// Level 0 commands: pause, resume, purge (the queue is always empty), set status.
DWORD ControlPrinter(StoreLock& store, const PrinterRow& row, DWORD command, const BYTE* data) {
    DWORD status = row.status;
    switch (command) {
    case PRINTER_CONTROL_PAUSE:
        status |= PRINTER_STATUS_PAUSED;
        break;
    case PRINTER_CONTROL_RESUME:
        status &= ~static_cast<DWORD>(PRINTER_STATUS_PAUSED);
        break;
    case PRINTER_CONTROL_PURGE:
        return ERROR_SUCCESS;
    case PRINTER_CONTROL_SET_STATUS:
        if (!data) return ERROR_INVALID_PARAMETER;
        std::memcpy(&status, data, sizeof status);
        break;
    default:
        return ERROR_INVALID_PRINTER_COMMAND;
    }
    nvxp::Stmt update = store.Prepare("UPDATE printer SET status = ?2 WHERE id = ?1");
    if (!update) return store.Error();
    return nvxp::StoreErrorFor(update.Int(1, row.id).Int(2, status).Run());
}

// Moves the printer's key and the default printer along with a new name.
DWORD RenameFollowers(StoreLock& store, const nvx::WString& oldName, const nvx::WString& newName) {
    if (!nvxp::IsConnectionName(oldName)) {
        nvx::WString path = nvxp::PrinterKeyPath(oldName);
        std::vector<nvx::WStringView> parts;
        nvxp::SplitKeyPath(path.c_str(), &parts);
        int64_t key = 0;
        LONG rc = nvxp::FindKey(store, nvxp::kRootLocalMachine, parts, &key);
        if (rc == ERROR_SUCCESS) {
            nvx::WString leaf = nvxp::PrinterKeyPath(newName);
            rc = nvxp::RenameKey(store, key, nvx::WStringView(leaf).substr(leaf.rfind(u'\\') + 1));
        }
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return static_cast<DWORD>(rc);
    }
    nvx::WString current;
    if (DWORD rc = nvxp::ReadDefaultPrinter(store, &current)) return rc;
    if (nvx::WEqualNoCase(current, oldName)) return nvxp::WriteDefaultPrinter(store, newName);
    return ERROR_SUCCESS;
}

// Level 2: every field of the structure; a null string or device mode keeps
// the current one.  The kind of printer (local or connection) cannot change.
DWORD UpdatePrinter(StoreLock& store, const PrinterRow& row, const PRINTER_INFO_2W* info) {
    nvx::WString name = info->pPrinterName && *info->pPrinterName ? nvx::WString(info->pPrinterName) : row.name;
    if (name != row.name) {
        if (!nvxp::ValidPrinterName(name) || nvxp::IsConnectionName(name) != nvxp::IsConnectionName(row.name))
            return ERROR_INVALID_PRINTER_NAME;
    }
    if (info->Priority > MAX_PRIORITY || info->DefaultPriority > MAX_PRIORITY) return ERROR_INVALID_PRIORITY;
    std::vector<BYTE> devmode;
    if (info->pDevMode && (devmode = nvxp::DevModeBytes(info->pDevMode)).empty()) return ERROR_INVALID_PARAMETER;
    auto pick = [](const WCHAR* given, const nvx::WString& current) {
        return given ? nvx::WString(given) : current;
    };
    auto pickOpt = [](const WCHAR* given, const std::optional<nvx::WString>& current) {
        return given ? std::optional<nvx::WString>(given) : current;
    };
    nvx::WString driver = pick(info->pDriverName, row.driver);
    nvx::WString port = pick(info->pPortName, row.port);
    if (driver.empty()) return ERROR_UNKNOWN_PRINTER_DRIVER;
    if (port.empty()) return ERROR_UNKNOWN_PORT;

    nvxp::Stmt update = store.Prepare(
        "UPDATE printer SET name = ?2, folded = ?3, share = ?4, port = ?5, driver = ?6, comment = ?7, "
        "location = ?8, sepfile = ?9, processor = ?10, datatype = ?11, parameters = ?12, attributes = ?13, "
        "priority = ?14, default_priority = ?15, start_time = ?16, until_time = ?17, "
        "devmode = coalesce(?18, devmode), driver_folder = CASE WHEN ?19 THEN "
        "(SELECT folder FROM driver WHERE folded = ?20) ELSE driver_folder END WHERE id = ?1");
    if (!update) return store.Error();
    auto optText = [&](int param, const std::optional<nvx::WString>& text) {
        if (text)
            update.Text(param, *text);
        else
            update.Null(param);
    };
    update.Int(1, row.id).Text(2, name).Folded(3, name);
    optText(4, pickOpt(info->pShareName, row.share));
    update.Text(5, port).Text(6, driver);
    optText(7, pickOpt(info->pComment, row.comment));
    optText(8, pickOpt(info->pLocation, row.location));
    optText(9, pickOpt(info->pSepFile, row.sepFile));
    update.Text(10, pick(info->pPrintProcessor, row.processor)).Text(11, pick(info->pDatatype, row.datatype));
    optText(12, pickOpt(info->pParameters, row.parameters));
    update.Int(13, info->Attributes & ~static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_NETWORK));
    update.Int(14, info->Priority ? info->Priority : MIN_PRIORITY).Int(15, info->DefaultPriority);
    update.Int(16, info->StartTime).Int(17, info->UntilTime);
    if (devmode.empty())
        update.Null(18);
    else
        update.Blob(18, devmode.data(), devmode.size());
    update.Int(19, nvx::WEqualNoCase(driver, row.driver) ? 0 : 1).Folded(20, driver);
    int rc = update.Run();
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) return ERROR_PRINTER_ALREADY_EXISTS;
    if (rc != SQLITE_OK) return nvxp::StoreErrorFor(rc);
    return name == row.name ? ERROR_SUCCESS : RenameFollowers(store, row.name, name);
}

// Levels 8 (printer-wide) and 9 (the user's own; null clears it) device modes.
DWORD UpdateDevMode(StoreLock& store, const PrinterRow& row, DWORD level, const BYTE* data) {
    LPDEVMODEW given = nullptr;
    if (data) std::memcpy(&given, data, sizeof given);
    std::vector<BYTE> devmode;
    if (given && (devmode = nvxp::DevModeBytes(given)).empty()) return ERROR_INVALID_PARAMETER;
    if (level == 8 && devmode.empty()) return ERROR_INVALID_PARAMETER;
    nvxp::Stmt update = level == 8 ? store.Prepare("UPDATE printer SET devmode = ?2 WHERE id = ?1")
                                   : store.Prepare("UPDATE printer SET user_devmode = ?2 WHERE id = ?1");
    if (!update) return store.Error();
    update.Int(1, row.id);
    if (devmode.empty())
        update.Null(2);
    else
        update.Blob(2, devmode.data(), devmode.size());
    return nvxp::StoreErrorFor(update.Run());
}

}  // namespace

extern "C" {

// Levels 1, 2, 4, 8 and 9, packed into the caller's buffer: structure first,
// the strings and device mode after it.
NVXAPI BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
    auto ref = nvxp::PrinterHandle(hPrinter);
    if (!ref) return FALSE;
    size_t recordSize = InfoSize(Level);
    if (!recordSize) return Fail(ERROR_INVALID_LEVEL, FALSE);
    if (!nvxp::CheckOutBuffer(pPrinter, cbBuf, pcbNeeded)) return FALSE;
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    PrinterRow row;
    if (DWORD rc = nvxp::ReadPrinter(store, ref->printer, &row)) return Fail(rc, FALSE);
    return nvxp::PackRecords(pPrinter, cbBuf, 1, recordSize, pcbNeeded,
                             [&](Packer& p, size_t, BYTE* record) { FillPrinterInfo(p, row, Level, record); });
}

// Level 0 (commands), 2 (settings) and 8 need administer access; level 9 (the
// user's own device mode) needs use access only.
NVXAPI BOOL WINAPI SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
    auto ref = nvxp::PrinterHandle(hPrinter);
    if (!ref) return FALSE;
    if (Level != 0 && Command != 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (Level != 0 && Level != 2 && Level != 8 && Level != 9) return Fail(ERROR_INVALID_LEVEL, FALSE);
    if (Level != 0 && Level != 9 && !pPrinter) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    ACCESS_MASK needed = Level == 9 ? PRINTER_ACCESS_USE : PRINTER_ACCESS_ADMINISTER;
    if (!(ref->access & needed)) return Fail(ERROR_ACCESS_DENIED, FALSE);

    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), FALSE);
    PrinterRow row;
    if (DWORD rc = nvxp::ReadPrinter(store, ref->printer, &row)) return Fail(rc, FALSE);
    DWORD rc = ERROR_SUCCESS;
    if (Level == 0)
        rc = ControlPrinter(store, row, Command, pPrinter);
    else if (Level == 2)
        rc = UpdatePrinter(store, row, reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter));
    else
        rc = UpdateDevMode(store, row, Level, pPrinter);
    if (rc == ERROR_SUCCESS) rc = txn.Commit();
    return rc == ERROR_SUCCESS ? TRUE : Fail(rc, FALSE);
}

// PRINTER_ENUM_LOCAL (or PRINTER_ENUM_NAME without a name) lists the local
// printers, PRINTER_ENUM_CONNECTIONS the connections, PRINTER_ENUM_DEFAULT the
// default printer; levels 1, 2 and 4; the two-call size protocol.
NVXAPI BOOL WINAPI EnumPrintersW(DWORD Flags, LPWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                                 LPDWORD pcbNeeded, LPDWORD pcReturned) {
    if (!pcReturned) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!nvxp::CheckOutBuffer(pPrinterEnum, cbBuf, pcbNeeded)) return FALSE;
    *pcReturned = 0;
    if (Level != 1 && Level != 2 && Level != 4) return Fail(ERROR_INVALID_LEVEL, FALSE);
    if (Name && *Name) return Fail(ERROR_INVALID_NAME, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    std::vector<PrinterRow> all, chosen;
    if (DWORD rc = nvxp::ReadAllPrinters(store, &all)) return Fail(rc, FALSE);
    nvx::WString defaultName;
    if (Flags & PRINTER_ENUM_DEFAULT)
        if (DWORD rc = nvxp::ReadDefaultPrinter(store, &defaultName)) return Fail(rc, FALSE);
    bool local = Flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_NAME);
    bool connections = Flags & PRINTER_ENUM_CONNECTIONS;
    for (PrinterRow& row : all) {
        bool connection = nvxp::IsConnectionName(row.name);
        bool wanted = (connection ? connections : local) ||
                      ((Flags & PRINTER_ENUM_DEFAULT) && nvx::WEqualNoCase(row.name, defaultName));
        if (wanted) chosen.push_back(std::move(row));
    }
    BOOL ok = nvxp::PackRecords(
        pPrinterEnum, cbBuf, chosen.size(), InfoSize(Level), pcbNeeded,
        [&](Packer& p, size_t i, BYTE* record) { FillPrinterInfo(p, chosen[i], Level, record); });
    if (ok) *pcReturned = static_cast<DWORD>(chosen.size());
    return ok;
}

}  // extern "C"
