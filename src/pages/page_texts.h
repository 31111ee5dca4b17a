// The control text tables the pages apply, by page identifier.
#pragma once

#include <cstdint>

#include "model/package.h"

namespace nvx::pages {

// The table of a page or dialog (100, 106, 151, 161, ...), or null when it has none.
const model::ControlTextRow* PageTexts(uint32_t page);
// The second table of the Version tab ("Dlg_VersionInfo"), or null.
const model::ControlTextRow* VersionInfoTexts();
// The common items' table, or null.
const model::ControlTextRow* CommonTexts();

}  // namespace nvx::pages
