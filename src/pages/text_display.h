// Control text tables on a dialog: the package's display texts reach the controls
// through them (ReplaceDlgDispString, ReplaceDlgDispStringCmnItem).
#pragma once

#include <cstdint>

#include "common/text.h"
#include "model/package.h"
#include "platform/win32.h"

namespace nvx::pages {

using model::ControlTextRow;

// The identifier of a row that belongs to no control (a format or label looked up
// by its key).
inline constexpr DWORD kTextOnlyRow = 0xFFFFFFFF;

// Sets the texts of a table's rows, up to the row whose first identifier is 0: row
// 0's text becomes the dialog's caption, every other row's text the text of each
// control the row lists (up to 15, ending at 0).  Rows with an empty text and rows
// whose list starts with 0xFFFFFFFF change nothing; a control the dialog lacks is
// skipped.
// A null dialog or table does nothing.  Answers 1.
UINT_PTR ApplyTextTable(HWND dialog, const ControlTextRow* table);

// The same for the common items of a page: rows 1 to 5 are skipped and row 0's
// text goes to the controls row 0 lists, not to the caption.
UINT_PTR ApplyCommonTextTable(HWND dialog, const ControlTextRow* table);

// A row's text as a string (at most 63 characters, even without a terminator).
WString RowText(const ControlTextRow& row);

// The text of the first row keyed `key` (exact) of a table, or empty when no row
// has that key or the table is null.
WString TableText(const ControlTextRow* table, const char* key);

}  // namespace nvx::pages
