// The directory server dialog (3369) of the printer sheet's settings tab: the
// printer's directory (LDAP) servers in a list with up, down, delete and add, and
// the entry in front on three tabs (connection, search, schema).  The editing
// itself lives in directory_editor.h.
#pragma once

#include "platform/win32.h"

namespace nvx::fax::directory {

// Shows dialog 3369 over the printer's list (read afresh at each opening; a list
// that cannot be read counts as empty).  OK writes the whole list as the printer
// data value; with mayApply false every control is read-only and nothing is
// written.  Answers 1 when the list was written, 2 when the dialog was left
// without writing, -1 when it could not be made.
INT_PTR RunDirectoryDialog(HWND owner, HANDLE printer, bool mayApply);

}  // namespace nvx::fax::directory
