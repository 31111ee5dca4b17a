// What the engine does to the dialog: finding the items shown on it, showing a
// value a rule wrote, enabling and disabling controls, and message boxes.
#include <algorithm>
#include <cstring>

#include "constraints/engine_state.h"
#include "features/option_record.h"
#include "model/messages.h"

namespace nvx::constraints {

namespace {
const WCHAR kSwitchedOffProp[] = WL("NovrixSwitchedOff");
}

void MarkSwitchedOff(HWND control) {
    if (control) SetPropW(control, kSwitchedOffProp, reinterpret_cast<HANDLE>(1));
}

bool ControlSwitchedOff(HWND control) {
    return control && GetPropW(control, kSwitchedOffProp) != nullptr;
}

namespace detail {

HWND Check::Control(uint32_t id) const {
    if (!ctx_.dialog || id == 0 || id > 0xFFFF) return nullptr;
    return GetDlgItem(ctx_.dialog, static_cast<int>(id));
}

// Without a dialog every bound item counts as present (a check on a bare record).
// With a known page, a control id that one of the page's own items uses stands
// for those items only, not for another dialog's item with the same id.
bool Check::OnDialog(int row) const {
    const features::UiItem* item = Item(row);
    if (!item) return false;
    if (!ctx_.dialog) return static_cast<bool>(item->state.field);
    if (!Control(item->control)) return false;
    return ctx_.page == 0 || item->OnDialog(ctx_.page) ||
           !std::binary_search(pageControls_.begin(), pageControls_.end(), item->control);
}

void Check::ShowValue(int row, int32_t value) {
    const features::UiItem* item = Item(row);
    if (!item || !OnDialog(row) || !ctx_.dialog) return;
    HWND c = Control(item->control);
    switch (item->type) {
    case features::kUiDropDown: {
        const LRESULT n = SendMessageW(c, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
            if (static_cast<int32_t>(SendMessageW(c, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == value) {
                SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
                break;
            }
        break;
    }
    case features::kUiList: {
        const LRESULT n = SendMessageW(c, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
            if (static_cast<int32_t>(SendMessageW(c, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == value) {
                SendMessageW(c, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
                break;
            }
        break;
    }
    case features::kUiRadio:
        // Every row of the feature: checked when its option has the value.
        for (size_t i = 0; i < t_.items->count; ++i) {
            if (!SameFeature(static_cast<int>(i), row) || !Control(t_.items->rows[i].control)) continue;
            const features::UiItem& r = t_.items->rows[i];
            char narrow[32] = {};
            for (size_t k = 0; k < 31 && r.option[k]; ++k) narrow[k] = static_cast<char>(r.option[k]);
            const int index = features::IndexOfKeyword(r.options, narrow);
            const bool on = index >= 0 && features::ValueAt(r.options, static_cast<size_t>(index)) == value;
            CheckDlgButton(ctx_.dialog, static_cast<int>(r.control), on ? BST_CHECKED : BST_UNCHECKED);
        }
        break;
    case features::kUiNumeric: {
        const bool paperEntry = WStringView(item->feature) == WL("Paper_Width") ||
                                WStringView(item->feature) == WL("Paper_Length");
        if (!paperEntry) SetDlgItemInt(ctx_.dialog, static_cast<int>(item->control), static_cast<UINT>(value), TRUE);
        ctx_.changedByRule = true;
        break;
    }
    case features::kUiCheck:
        CheckDlgButton(ctx_.dialog, static_cast<int>(item->control), value ? BST_CHECKED : BST_UNCHECKED);
        break;
    default: break;
    }
}

void Check::EnableRows(const PreparedRule& r, std::vector<int>& rows) const {
    rows.clear();
    const features::UiItem* target = Item(r.targetRow);
    if (!target) return;
    if (target->type != features::kUiRadio) {
        rows.push_back(r.targetRow);
        return;
    }
    const WStringView firstOption(r.row->first.option, WLenBounded(r.row->first.option, 32));
    for (size_t i = 0; i < t_.items->count; ++i) {
        const features::UiItem& row = t_.items->rows[i];
        if (!SameFeature(static_cast<int>(i), r.targetRow)) continue;
        if (!firstOption.empty() && WStringView(row.option, WLenBounded(row.option, 32)) != firstOption) continue;
        rows.push_back(static_cast<int>(i));
    }
}

bool Check::EnableItem(int row, bool disabled) {
    features::UiItem* item = Item(row);
    if (!item) return false;
    item->state.disabled = disabled;
    if (!ctx_.dialog) return false;
    bool touchedChanged = false;
    auto set = [&](uint32_t id) {
        HWND c = Control(id);
        // A control the page switched off (the model does not offer it) stays off.
        if (c && !(!disabled && ControlSwitchedOff(c))) EnableWindow(c, !disabled);
        touchedChanged = touchedChanged || id == ctx_.control;
    };
    set(item->control);
    for (uint32_t id : item->related) {
        if (id == 0) break;
        set(id);
    }
    return touchedChanged;
}

void Check::FocusBack() {
    if (ctx_.control)
        if (HWND c = Control(ctx_.control)) SetFocus(c);
}

// Enables or disables the target item's controls: its main control and related
// controls; for a radio feature every row of the feature, or only the row of the
// rule's first option when it names one.  The changed control gets the focus back
// when it is among them and stays enabled.
void Check::ApplyEnable(const PreparedRule& r, bool disabled) {
    if (!Item(r.targetRow) || !ctx_.dialog) return;
    std::vector<int> rows;
    EnableRows(r, rows);
    bool touchedChanged = false;
    for (int row : rows) {
        touchedChanged = EnableItem(row, disabled) || touchedChanged;
        if (disabled && r.kind != vpd::kRuleControl && static_cast<size_t>(row) < lockedByChange_.size())
            lockedByChange_[static_cast<size_t>(row)] = 1;
    }
    if (touchedChanged && !disabled) FocusBack();
}

const WCHAR* Check::Slot(model::MessageTable table, unsigned n) const {
    return t_.messages ? model::MessageSlot(*t_.messages, table, n) : WL("");
}

int Check::ShowMessage(model::MessageTable table, const WString& text, UINT flags) {
    const WString caption = model::MessageForDisplay(Slot(table, 0));  // one slot
    const WString body = DisplayText(text);
    return MessageBoxW(ctx_.dialog, body.c_str(), caption.c_str(), flags);
}

// Appends a message: the table's header (slot 1) before the first, later ones
// after a carriage return and line feed; the text stays within kMessageChars - 1.
void Check::Append(WString& text, model::MessageTable table, unsigned slot, bool& headed) {
    if (!headed) {
        text += Slot(table, 1);
        headed = true;
    } else {
        text += WL("\r\n");
    }
    text += Slot(table, slot);
    if (text.size() > kMessageChars - 1) text.resize(kMessageChars - 1);
}

}  // namespace detail
}  // namespace nvx::constraints
