// The settings record by field name: what `novrix prefs` shows and changes when
// no page of the module can be opened (their dialog templates are missing).
#pragma once

#include <string>

#include "platform/win32.h"

namespace novrix {

// The settings a person changes most (the first tab's), "  name: value" lines.
std::string RenderRecordFields(const BYTE* record);

// Writes a number into a field of the record by its settings-text name.  False
// with *message when the name is no number field or the value no number.
bool SetRecordField(BYTE* record, const std::string& name, const std::string& value, std::string* message);

}  // namespace novrix
