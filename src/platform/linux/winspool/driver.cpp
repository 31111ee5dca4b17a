// Drivers, jobs and the port transceive call.
//
// This layer installs no driver files: a printer's driver is its driver name,
// and the host tells where the driver's files live (NvxPlatform_SetDriverFolder).
// The queue never holds jobs.  A transceive handle on a TCP/IP port
// (",XcvPort IP_<address>") answers the port's address.
#include <cstring>

#include "platform/host.h"
#include "platform/linux/store/store_spool.h"

using nvxp::Fail;
using nvxp::Packer;
using nvxp::StoreLock;

namespace {

constexpr const WCHAR kEnvironment[] = u"Windows x64";
constexpr DWORD kDriverVersion = 3;

size_t DriverInfoSize(DWORD level) {
    switch (level) {
    case 1:
        return sizeof(DRIVER_INFO_1W);
    case 2:
        return sizeof(DRIVER_INFO_2W);
    case 3:
        return sizeof(DRIVER_INFO_3W);
    default:
        return 0;
    }
}

// Levels 2 and 3 name the driver folder in each of the file fields: the layer
// knows the folder, not the files in it.
void FillDriverInfo(Packer& p, const nvxp::PrinterRow& row, DWORD level, BYTE* record) {
    if (level == 1) {
        DRIVER_INFO_1W info{};
        info.pName = p.String(row.driver);
        std::memcpy(record, &info, sizeof info);
        return;
    }
    DRIVER_INFO_3W info{};
    info.cVersion = kDriverVersion;
    info.pName = p.String(row.driver);
    info.pEnvironment = p.String(kEnvironment);
    info.pDriverPath = p.String(row.driverFolder);
    info.pDataFile = p.String(row.driverFolder);
    info.pConfigFile = p.String(row.driverFolder);
    if (level == 3) {
        info.pHelpFile = p.String(u"");
        info.pDefaultDataType = p.String(row.datatype);
    }
    std::memcpy(record, &info, DriverInfoSize(level));
}

// The address of a TCP/IP port ("IP_192.0.2.7" gives "192.0.2.7"), or nothing.
nvx::WString PortAddress(const nvx::WString& port) {
    if (port.size() > 3 && nvx::WEqualNoCase(nvx::WStringView(port).substr(0, 3), u"IP_")) return port.substr(3);
    return {};
}

}  // namespace

extern "C" {

NVXAPI BOOL WINAPI GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                                     DWORD cbBuf, LPDWORD pcbNeeded) {
    auto ref = nvxp::PrinterHandle(hPrinter);
    if (!ref) return FALSE;
    size_t recordSize = DriverInfoSize(Level);
    if (!recordSize) return Fail(ERROR_INVALID_LEVEL, FALSE);
    if (!nvxp::CheckOutBuffer(pDriverInfo, cbBuf, pcbNeeded)) return FALSE;
    if (pEnvironment && *pEnvironment && !nvx::WEqualNoCase(pEnvironment, kEnvironment))
        return Fail(ERROR_UNKNOWN_PRINTER_DRIVER, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::PrinterRow row;
    if (DWORD rc = nvxp::ReadPrinter(store, ref->printer, &row)) return Fail(rc, FALSE);
    return nvxp::PackRecords(pDriverInfo, cbBuf, 1, recordSize, pcbNeeded,
                             [&](Packer& p, size_t, BYTE* record) { FillDriverInfo(p, row, Level, record); });
}

// The queue is always empty: levels 1 to 3 answer no jobs.
NVXAPI BOOL WINAPI EnumJobsW(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                             LPDWORD pcbNeeded, LPDWORD pcReturned) {
    auto ref = nvxp::PrinterHandle(hPrinter);
    if (!ref) return FALSE;
    if (!pcReturned) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!nvxp::CheckOutBuffer(pJob, cbBuf, pcbNeeded)) return FALSE;
    if (Level < 1 || Level > 3) return Fail(ERROR_INVALID_LEVEL, FALSE);
    *pcbNeeded = 0;
    *pcReturned = 0;
    return TRUE;
}

// "IPAddress" and "HostAddress" write the port's address (a terminated wide
// string) to pOutputData.  The call answers TRUE when it reached the port; the
// outcome is in *pdwStatus: ERROR_SUCCESS, ERROR_INSUFFICIENT_BUFFER (with
// *pcbOutputNeeded) or ERROR_INVALID_PARAMETER for a port without an address
// or an unknown command.
NVXAPI BOOL WINAPI XcvDataW(HANDLE hXcv, PCWSTR pszDataName, PBYTE pInputData, DWORD cbInputData,
                            PBYTE pOutputData, DWORD cbOutputData, PDWORD pcbOutputNeeded, PDWORD pdwStatus) {
    auto ref = nvxp::FindPrinterHandle(hXcv);
    if (!ref || ref->kind != nvxp::PrinterRef::Kind::XcvPort) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!pszDataName || !pcbOutputNeeded || !pdwStatus) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    *pcbOutputNeeded = 0;
    nvx::WStringView command(pszDataName);
    nvx::WString address = PortAddress(ref->port);
    if ((command != u"IPAddress" && command != u"HostAddress") || address.empty()) {
        *pdwStatus = ERROR_INVALID_PARAMETER;
        return TRUE;
    }
    DWORD needed = static_cast<DWORD>((address.size() + 1) * sizeof(WCHAR));
    *pcbOutputNeeded = needed;
    if (!pOutputData || cbOutputData < needed) {
        *pdwStatus = ERROR_INSUFFICIENT_BUFFER;
        return TRUE;
    }
    std::memcpy(pOutputData, address.c_str(), needed);
    *pdwStatus = ERROR_SUCCESS;
    return TRUE;
}

NVXAPI BOOL NvxPlatform_SetDriverFolder(const char* driverName, const char* utf8Folder) {
    if (!driverName || !*driverName) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    nvx::WString driver = nvx::WFromUtf8(driverName);
    nvx::WString folder = utf8Folder ? nvxp::WinPath(utf8Folder) : nvx::WString();
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), FALSE);
    {
        nvxp::Stmt remember = utf8Folder ? store.Prepare(
                                               "INSERT INTO driver(folded, name, folder) VALUES(?1, ?2, ?3) "
                                               "ON CONFLICT(folded) DO UPDATE SET folder = excluded.folder")
                                         : store.Prepare("DELETE FROM driver WHERE folded = ?1");
        if (!remember) return Fail(store.Error(), FALSE);
        remember.Folded(1, driver);
        if (utf8Folder) remember.Text(2, driver).Text(3, folder);
        if (int rc = remember.Run()) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    }
    // Driver names compare without case; the printers of this driver follow.
    std::vector<int64_t> ids;
    {
        nvxp::Stmt all = store.Prepare("SELECT id, driver FROM printer");
        if (!all) return Fail(store.Error(), FALSE);
        int rc;
        while ((rc = all.Step()) == SQLITE_ROW)
            if (nvx::WEqualNoCase(all.ColText(1), driver)) ids.push_back(all.ColInt(0));
        if (rc != SQLITE_DONE) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    }
    for (int64_t id : ids) {
        nvxp::Stmt set = store.Prepare("UPDATE printer SET driver_folder = ?2 WHERE id = ?1");
        if (!set) return Fail(store.Error(), FALSE);
        set.Int(1, id);
        if (utf8Folder)
            set.Text(2, folder);
        else
            set.Null(2);
        if (int rc = set.Run()) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    }
    if (DWORD rc = txn.Commit()) return Fail(rc, FALSE);
    return TRUE;
}

}  // extern "C"
