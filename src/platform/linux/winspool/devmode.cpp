// Device modes: validation, the public default, merging, DocumentPropertiesW.
//
// The driver-extra area after the public part belongs to the driver: this
// layer keeps the bytes it is given and never interprets them.
#include <cstring>

#include "platform/host.h"
#include "platform/linux/store/store_spool.h"

namespace nvxp {
namespace {

// The smallest public part accepted: everything up to and including dmFields.
constexpr size_t kMinDevModeSize = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);

// The printer fields of the public part, by their dmFields bit: one table
// drives the merge of DM_IN_BUFFER.
struct FieldSlot {
    DWORD bit;
    size_t offset;
    size_t size;
};
#define NVX_SLOT(bit, field) {bit, offsetof(DEVMODEW, field), sizeof(DEVMODEW::field)}
const FieldSlot kFieldSlots[] = {
    NVX_SLOT(DM_ORIENTATION, dmOrientation),   NVX_SLOT(DM_PAPERSIZE, dmPaperSize),
    NVX_SLOT(DM_PAPERLENGTH, dmPaperLength),   NVX_SLOT(DM_PAPERWIDTH, dmPaperWidth),
    NVX_SLOT(DM_SCALE, dmScale),               NVX_SLOT(DM_COPIES, dmCopies),
    NVX_SLOT(DM_DEFAULTSOURCE, dmDefaultSource), NVX_SLOT(DM_PRINTQUALITY, dmPrintQuality),
    NVX_SLOT(DM_COLOR, dmColor),               NVX_SLOT(DM_DUPLEX, dmDuplex),
    NVX_SLOT(DM_YRESOLUTION, dmYResolution),   NVX_SLOT(DM_TTOPTION, dmTTOption),
    NVX_SLOT(DM_COLLATE, dmCollate),           NVX_SLOT(DM_FORMNAME, dmFormName),
    NVX_SLOT(DM_NUP, dmNup),                   NVX_SLOT(DM_ICMMETHOD, dmICMMethod),
    NVX_SLOT(DM_ICMINTENT, dmICMIntent),       NVX_SLOT(DM_MEDIATYPE, dmMediaType),
    NVX_SLOT(DM_DITHERTYPE, dmDitherType),
};
#undef NVX_SLOT

WORD ReadWord(const BYTE* at) {
    WORD value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

DWORD ReadDword(const BYTE* at) {
    DWORD value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Merges the fields that input marks into base (both whole device modes as
// bytes).  A field is taken only where both public parts hold it.  The
// driver-extra bytes are taken when both areas have the same size.
void MergeDevMode(std::vector<BYTE>* base, const DEVMODEW* input) {
    const BYTE* in = reinterpret_cast<const BYTE*>(input);
    size_t inSize = ReadWord(in + offsetof(DEVMODEW, dmSize));
    size_t inExtra = ReadWord(in + offsetof(DEVMODEW, dmDriverExtra));
    DWORD inFields = ReadDword(in + offsetof(DEVMODEW, dmFields));
    BYTE* out = base->data();
    size_t outSize = ReadWord(out + offsetof(DEVMODEW, dmSize));
    size_t outExtra = ReadWord(out + offsetof(DEVMODEW, dmDriverExtra));
    DWORD outFields = ReadDword(out + offsetof(DEVMODEW, dmFields));
    for (const FieldSlot& slot : kFieldSlots) {
        if (!(inFields & slot.bit) || slot.offset + slot.size > inSize || slot.offset + slot.size > outSize) continue;
        std::memcpy(out + slot.offset, in + slot.offset, slot.size);
        outFields |= slot.bit;
    }
    std::memcpy(out + offsetof(DEVMODEW, dmFields), &outFields, sizeof outFields);
    if (inExtra && inExtra == outExtra) std::memcpy(out + outSize, in + inSize, inExtra);
}

}  // namespace

bool ValidDevMode(const DEVMODEW* dm, size_t* total) {
    if (!dm) return false;
    const BYTE* at = reinterpret_cast<const BYTE*>(dm);
    size_t size = ReadWord(at + offsetof(DEVMODEW, dmSize));
    size_t extra = ReadWord(at + offsetof(DEVMODEW, dmDriverExtra));
    if (size < kMinDevModeSize) return false;
    *total = size + extra;
    return true;
}

std::vector<BYTE> DevModeBytes(const DEVMODEW* dm) {
    size_t total = 0;
    if (!ValidDevMode(dm, &total)) return {};
    const BYTE* at = reinterpret_cast<const BYTE*>(dm);
    return std::vector<BYTE>(at, at + total);
}

// Letter in the countries that use it (country code 1), A4 elsewhere.
std::vector<BYTE> DefaultDevMode(nvx::WStringView printerName) {
    DEVMODEW dm{};
    nvx::WCopy(dm.dmDeviceName, CCHDEVICENAME, printerName);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = 0;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                  DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE | DM_FORMNAME | DM_MEDIATYPE;
    bool letter = NvxPlatform_CountryCode() == 1;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = letter ? DMPAPER_LETTER : DMPAPER_A4;
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = DMBIN_AUTO;
    dm.dmPrintQuality = 600;
    dm.dmColor = DMCOLOR_MONOCHROME;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmYResolution = 600;
    dm.dmTTOption = DMTT_DOWNLOAD;
    dm.dmCollate = DMCOLLATE_FALSE;
    nvx::WCopy(dm.dmFormName, CCHFORMNAME, letter ? WL("Letter") : WL("A4"));
    dm.dmMediaType = DMMEDIA_STANDARD;
    const BYTE* at = reinterpret_cast<const BYTE*>(&dm);
    return std::vector<BYTE>(at, at + sizeof dm);
}

std::vector<BYTE> GlobalDevMode(const PrinterRow& row) {
    return row.devmode.empty() ? DefaultDevMode(row.name) : row.devmode;
}

std::vector<BYTE> UserDevMode(const PrinterRow& row) {
    return row.userDevmode.empty() ? GlobalDevMode(row) : row.userDevmode;
}

}  // namespace nvxp

extern "C" {

// fMode 0 answers the full size of the printer's device mode (dmSize +
// dmDriverExtra).  DM_IN_BUFFER merges pDevModeInput into it, DM_OUT_BUFFER
// copies the result to pDevModeOutput (sized by that answer).  There is no
// driver dialog: DM_IN_PROMPT is answered as if the user chose OK.  Errors
// answer a negative value with the last error set.
NVXAPI LONG WINAPI DocumentPropertiesW(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, PDEVMODEW pDevModeOutput,
                                       PDEVMODEW pDevModeInput, DWORD fMode) {
    nvxp::StoreLock store;
    if (!store.ok()) return nvxp::Fail(store.Error(), -1L);
    int64_t id = 0;
    if (hPrinter) {
        auto ref = nvxp::PrinterHandle(hPrinter);
        if (!ref) return -1;
        id = ref->printer;
    } else {
        if (!pDeviceName) return nvxp::Fail(ERROR_INVALID_PRINTER_NAME, -1L);
        if (DWORD rc = nvxp::FindPrinter(store, pDeviceName, &id)) return nvxp::Fail(rc, -1L);
    }
    nvxp::PrinterRow row;
    if (DWORD rc = nvxp::ReadPrinter(store, id, &row)) return nvxp::Fail(rc, -1L);
    std::vector<BYTE> devmode = nvxp::UserDevMode(row);
    if (fMode == 0) return static_cast<LONG>(devmode.size());

    if ((fMode & DM_IN_BUFFER) && pDevModeInput) {
        size_t total = 0;
        if (!nvxp::ValidDevMode(pDevModeInput, &total)) return nvxp::Fail(ERROR_INVALID_PARAMETER, -1L);
        nvxp::MergeDevMode(&devmode, pDevModeInput);
    }
    if (fMode & DM_OUT_BUFFER) {
        if (!pDevModeOutput) return nvxp::Fail(ERROR_INVALID_PARAMETER, -1L);
        std::memmove(pDevModeOutput, devmode.data(), devmode.size());
    }
    return IDOK;
}

}  // extern "C"
