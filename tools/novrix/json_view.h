// Machine-readable forms of what novrix shows (--json): a page's settings by
// their labels, the settings record by its keys.  A password's text never
// appears: its value is null and "password" is true.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "page_view.h"
#include "platform/win32.h"

namespace novrix {

// {"title", "settings": [{"label", "kind", "value", "choices", "note", "disabled",
// "hidden", "warning"}...], "texts": [...], "buttons": [...], "warnings": [...],
// "hint"}; kinds are "radio", "check", "combo", "edit".
nlohmann::json PageJson(const PageView& view, const std::string& title);

// The record's plain fields that the settings text carries, by key: numbers as
// numbers, texts as strings; the keys that hold a secret are left out.
nlohmann::json RecordJson(const BYTE* record);

}  // namespace novrix
