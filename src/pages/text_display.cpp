#include "pages/text_display.h"

#include <cstring>

namespace nvx::pages {

namespace {

constexpr size_t kRowIds = sizeof(ControlTextRow::ids) / sizeof(DWORD);
constexpr size_t kRowTextChars = sizeof(ControlTextRow::text) / sizeof(WCHAR);
constexpr size_t kRowKeyBytes = sizeof(ControlTextRow::key);

// Sets `text` on every control the row lists (skipping text-only identifiers).
void SetRowControls(HWND dialog, const ControlTextRow& row, const WString& text) {
    for (size_t i = 0; i < kRowIds && row.ids[i] != 0; ++i) {
        if (row.ids[i] == kTextOnlyRow) continue;  // never a control identifier
        if (HWND control = GetDlgItem(dialog, static_cast<int>(row.ids[i]))) SetWindowTextW(control, text.c_str());
    }
}

UINT_PTR Apply(HWND dialog, const ControlTextRow* table, bool common) {
    if (!dialog || !table) return 1;
    for (size_t r = 0; table[r].ids[0] != 0; ++r) {
        if (common && r >= 1 && r <= 5) continue;
        const WString text = RowText(table[r]);
        if (text.empty() || table[r].ids[0] == kTextOnlyRow) continue;
        if (r == 0 && !common) {
            SetWindowTextW(dialog, text.c_str());
            continue;
        }
        SetRowControls(dialog, table[r], text);
    }
    return 1;
}

}  // namespace

WString RowText(const ControlTextRow& row) {
    size_t n = 0;
    while (n < kRowTextChars - 1 && row.text[n]) ++n;
    return WString(row.text, n);
}

UINT_PTR ApplyTextTable(HWND dialog, const ControlTextRow* table) {
    return Apply(dialog, table, false);
}

UINT_PTR ApplyCommonTextTable(HWND dialog, const ControlTextRow* table) {
    return Apply(dialog, table, true);
}

WString TableText(const ControlTextRow* table, const char* key) {
    if (!table || !key) return {};
    const size_t keyLen = std::strlen(key);
    if (keyLen >= kRowKeyBytes) return {};
    // Rows of text-only identifiers may sit anywhere: walk to the end marker of the
    // table's build (first identifier 0 and empty key).
    for (size_t r = 0; table[r].ids[0] != 0 || table[r].key[0] != 0; ++r)
        if (std::memcmp(table[r].key, key, keyLen) == 0 && table[r].key[keyLen] == 0) return RowText(table[r]);
    return {};
}

}  // namespace nvx::pages
