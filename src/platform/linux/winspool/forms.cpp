// Forms: one list per platform root, as Windows keeps one per server.  The
// built-in forms (FORM_BUILTIN) come with the database and cannot be changed
// or deleted.  Adding, changing and deleting forms needs an administrator;
// the rights of the handle do not matter, as on Windows.
#include <cstring>

#include "platform/host.h"
#include "platform/linux/store/store_spool.h"

using nvxp::Fail;
using nvxp::Packer;
using nvxp::StoreLock;

namespace {

constexpr size_t kMaxFormNameChars = 259;

struct FormRow {
    nvx::WString name;
    DWORD flags = 0;
    SIZEL size{};
    RECTL area{};
};

// Any spooler handle (printer or server) gives access to the forms.
bool FormHandle(HANDLE handle) {
    auto ref = nvxp::FindPrinterHandle(handle);
    if (!ref || ref->kind == nvxp::PrinterRef::Kind::XcvPort) return Fail(ERROR_INVALID_HANDLE, false);
    return true;
}

// The checks of a form given to AddFormW or SetFormW.
DWORD CheckForm(DWORD level, const BYTE* data, const FORM_INFO_1W** form) {
    if (level != 1) return ERROR_INVALID_LEVEL;
    if (!data) return ERROR_INVALID_PARAMETER;
    const auto* info = reinterpret_cast<const FORM_INFO_1W*>(data);
    if (!info->pName || !*info->pName || nvx::WLen(info->pName) > kMaxFormNameChars) return ERROR_INVALID_FORM_NAME;
    if (info->Flags != FORM_USER && info->Flags != FORM_PRINTER) return ERROR_INVALID_PARAMETER;
    const RECTL& a = info->ImageableArea;
    if (info->Size.cx <= 0 || info->Size.cy <= 0 || a.left < 0 || a.top < 0 || a.left > a.right ||
        a.top > a.bottom || a.right > info->Size.cx || a.bottom > info->Size.cy)
        return ERROR_INVALID_FORM_SIZE;
    *form = info;
    return ERROR_SUCCESS;
}

void FormFrom(const nvxp::Stmt& s, FormRow* row) {
    row->name = s.ColText(0);
    row->flags = static_cast<DWORD>(s.ColInt(1));
    row->size = {static_cast<LONG>(s.ColInt(2)), static_cast<LONG>(s.ColInt(3))};
    row->area = {static_cast<LONG>(s.ColInt(4)), static_cast<LONG>(s.ColInt(5)), static_cast<LONG>(s.ColInt(6)),
                 static_cast<LONG>(s.ColInt(7))};
}

#define NVX_FORM_COLUMNS "name, flags, width, height, area_left, area_top, area_right, area_bottom"

// Reads one form by name: ERROR_SUCCESS or ERROR_INVALID_FORM_NAME.
DWORD ReadForm(StoreLock& store, const WCHAR* name, FormRow* row) {
    nvxp::Stmt read = store.Prepare("SELECT " NVX_FORM_COLUMNS " FROM form WHERE folded = ?1");
    if (!read) return store.Error();
    int rc = read.Folded(1, name).Step();
    if (rc == SQLITE_ROW) {
        FormFrom(read, row);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_INVALID_FORM_NAME : nvxp::StoreErrorFor(rc);
}

void FillForm(Packer& p, const FormRow& row, BYTE* record) {
    FORM_INFO_1W info{};
    info.Flags = row.flags;
    info.pName = p.String(row.name);
    info.Size = row.size;
    info.ImageableArea = row.area;
    std::memcpy(record, &info, sizeof info);
}

// Changing or deleting: the form must exist and not be built in.
DWORD EditableForm(StoreLock& store, const WCHAR* name) {
    if (!name) return ERROR_INVALID_FORM_NAME;
    FormRow row;
    if (DWORD rc = ReadForm(store, name, &row)) return rc;
    return (row.flags & FORM_BUILTIN) ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

}  // namespace

extern "C" {

NVXAPI BOOL WINAPI AddFormW(HANDLE hPrinter, DWORD Level, LPBYTE pForm) {
    if (!FormHandle(hPrinter)) return FALSE;
    const FORM_INFO_1W* form = nullptr;
    if (DWORD rc = CheckForm(Level, pForm, &form)) return Fail(rc, FALSE);
    if (!NvxPlatform_IsAdministrator()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::Stmt insert = store.Prepare(
        "INSERT INTO form(name, folded, flags, width, height, area_left, area_top, area_right, area_bottom) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    if (!insert) return Fail(store.Error(), FALSE);
    const RECTL& a = form->ImageableArea;
    insert.Text(1, form->pName).Folded(2, form->pName).Int(3, form->Flags).Int(4, form->Size.cx);
    insert.Int(5, form->Size.cy).Int(6, a.left).Int(7, a.top).Int(8, a.right).Int(9, a.bottom);
    int rc = insert.Run();
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) return Fail(ERROR_FILE_EXISTS, FALSE);
    if (rc != SQLITE_OK) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    return TRUE;
}

// An unknown name answers ERROR_INVALID_FORM_NAME; a short buffer
// ERROR_INSUFFICIENT_BUFFER with *pcbNeeded.
NVXAPI BOOL WINAPI GetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf,
                            LPDWORD pcbNeeded) {
    if (!FormHandle(hPrinter)) return FALSE;
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL, FALSE);
    if (!nvxp::CheckOutBuffer(pForm, cbBuf, pcbNeeded)) return FALSE;
    if (!pFormName) return Fail(ERROR_INVALID_FORM_NAME, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    FormRow row;
    if (DWORD rc = ReadForm(store, pFormName, &row)) return Fail(rc, FALSE);
    return nvxp::PackRecords(pForm, cbBuf, 1, sizeof(FORM_INFO_1W), pcbNeeded,
                             [&](Packer& p, size_t, BYTE* record) { FillForm(p, row, record); });
}

// Changes the size, area and flags of a form; its name stays.
NVXAPI BOOL WINAPI SetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm) {
    if (!FormHandle(hPrinter)) return FALSE;
    const FORM_INFO_1W* form = nullptr;
    if (DWORD rc = CheckForm(Level, pForm, &form)) return Fail(rc, FALSE);
    if (!NvxPlatform_IsAdministrator()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), FALSE);
    if (DWORD rc = EditableForm(store, pFormName)) return Fail(rc, FALSE);
    nvxp::Stmt update = store.Prepare(
        "UPDATE form SET flags = ?2, width = ?3, height = ?4, area_left = ?5, area_top = ?6, area_right = ?7, "
        "area_bottom = ?8 WHERE folded = ?1");
    if (!update) return Fail(store.Error(), FALSE);
    const RECTL& a = form->ImageableArea;
    update.Folded(1, pFormName).Int(2, form->Flags).Int(3, form->Size.cx).Int(4, form->Size.cy);
    update.Int(5, a.left).Int(6, a.top).Int(7, a.right).Int(8, a.bottom);
    if (int rc = update.Run()) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    if (DWORD rc = txn.Commit()) return Fail(rc, FALSE);
    return TRUE;
}

NVXAPI BOOL WINAPI DeleteFormW(HANDLE hPrinter, LPWSTR pFormName) {
    if (!FormHandle(hPrinter)) return FALSE;
    if (!NvxPlatform_IsAdministrator()) return Fail(ERROR_ACCESS_DENIED, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::WriteTxn txn(store);
    if (!txn.ok()) return Fail(store.Error(), FALSE);
    if (DWORD rc = EditableForm(store, pFormName)) return Fail(rc, FALSE);
    nvxp::Stmt erase = store.Prepare("DELETE FROM form WHERE folded = ?1");
    if (!erase) return Fail(store.Error(), FALSE);
    if (int rc = erase.Folded(1, pFormName).Run()) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    if (DWORD rc = txn.Commit()) return Fail(rc, FALSE);
    return TRUE;
}

// The built-in forms first (in the order of their paper numbers), then the
// added ones in the order they were added.
NVXAPI BOOL WINAPI EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                              LPDWORD pcReturned) {
    if (!FormHandle(hPrinter)) return FALSE;
    if (!pcReturned) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!nvxp::CheckOutBuffer(pForm, cbBuf, pcbNeeded)) return FALSE;
    *pcReturned = 0;
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL, FALSE);
    StoreLock store;
    if (!store.ok()) return Fail(store.Error(), FALSE);
    nvxp::Stmt read = store.Prepare("SELECT " NVX_FORM_COLUMNS " FROM form ORDER BY id");
    if (!read) return Fail(store.Error(), FALSE);
    std::vector<FormRow> rows;
    int rc;
    while ((rc = read.Step()) == SQLITE_ROW) {
        rows.emplace_back();
        FormFrom(read, &rows.back());
    }
    if (rc != SQLITE_DONE) return Fail(nvxp::StoreErrorFor(rc), FALSE);
    BOOL ok = nvxp::PackRecords(pForm, cbBuf, rows.size(), sizeof(FORM_INFO_1W), pcbNeeded,
                                [&](Packer& p, size_t i, BYTE* record) { FillForm(p, rows[i], record); });
    if (ok) *pcReturned = static_cast<DWORD>(rows.size());
    return ok;
}

}  // extern "C"
