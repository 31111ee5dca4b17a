// The printer's current cover sheet as the fax tab and the fax transmission dialog
// read and store it.  This build keeps no cover sheet records yet: a printer has
// none, and nothing is stored.
#include "pages/fax_links.h"

namespace nvx::pages::fax {

bool ReadPrinterCoverSheet(const WCHAR*, BYTE*) {
    return false;
}

bool WritePrinterCoverSheet(const WCHAR*, const BYTE*) {
    return false;
}

}  // namespace nvx::pages::fax
