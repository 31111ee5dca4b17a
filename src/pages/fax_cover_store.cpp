// The printer's current cover sheet as the fax tab and the fax transmission dialog
// read and store it: the per-user cover sheet store (fax/cover_sheet.h).
#include <cstring>

#include "fax/cover_sheet.h"
#include "model/stores.h"
#include "pages/fax_links.h"

namespace nvx::pages::fax {

static_assert(sizeof(nvx::fax::CoverSheetRecord) == kCoverSheetBytes, "one cover sheet record");

bool ReadPrinterCoverSheet(const WCHAR* printer, const WCHAR* driver, BYTE* record) {
    if (!record) return false;
    nvx::fax::CoverSheetRecord read;
    std::memcpy(&read, record, sizeof read);
    if (!nvx::fax::ReadCoverSheet(model::MakerName(), driver, printer, &read)) return false;
    std::memcpy(record, &read, sizeof read);
    return true;
}

bool WritePrinterCoverSheet(const WCHAR* printer, const WCHAR* driver, const BYTE* record) {
    if (!record) return false;
    nvx::fax::CoverSheetRecord stored;
    std::memcpy(&stored, record, sizeof stored);
    return nvx::fax::WriteCoverSheet(model::MakerName(), driver, printer, stored) == ERROR_SUCCESS;
}

}  // namespace nvx::pages::fax
