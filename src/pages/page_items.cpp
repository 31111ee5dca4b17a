#include "pages/page_items.h"

#include <string>

#include "constraints/engine.h"
#include "features/feature_settings.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "model/loaded_model.h"
#include "pages/hints.h"
#include "pages/page_framework.h"

namespace nvx::pages {

using features::UiItem;

namespace {


std::string Narrow(const WCHAR* w) {
    std::string s;
    for (size_t i = 0; i < features::kUiNameBytes && w[i]; ++i) s.push_back(static_cast<char>(w[i] & 0x7F));
    return s;
}

WString OptionText(const uint8_t* rec) {
    WString name = features::DisplayName(rec);
    if (!name.empty()) return name;
    std::string_view kw = features::Keyword(rec);
    return WString(kw.begin(), kw.end());
}

void SetControl(HWND page, uint32_t id, bool show) {
    HWND c = GetDlgItem(page, static_cast<int>(id));
    if (!c) return;
    EnableWindow(c, show);
    ShowWindow(c, show ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

const UiItem* PageItem(uint32_t pageId, uint32_t control) {
    const auto* table = features::ModuleItems();
    return table ? table->Row(features::FindUiItemByControl(table, control, pageId)) : nullptr;
}

int32_t RadioValue(const UiItem& item) {
    const uint8_t* rec = features::FindKeyword(item.options, Narrow(item.option));
    return rec ? features::Value(rec) : -1;
}

int32_t ItemValue(const OEMDEV& record, const UiItem& item) {
    return settings::GetNumber(record, item.state.field);
}

bool SetItemValue(OEMDEV& record, const UiItem& item, int32_t value) {
    return settings::SetNumber(record, item.state.field, value);
}

void FillPageDropDowns(HWND page, uint32_t pageId) {
    const auto* table = features::ModuleItems();
    if (!table) return;
    for (size_t i = 0; i < table->count; ++i) {
        const UiItem& item = table->rows[i];
        if (item.type != features::kUiDropDown || !item.OnDialog(pageId)) continue;
        HWND combo = GetDlgItem(page, static_cast<int>(item.control));
        if (!combo || PageItem(pageId, item.control) != &item) continue;  // one list per control
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        const size_t n = features::ListCount(item.options);
        for (size_t k = 0; k < n; ++k) {
            const uint8_t* rec = features::RecordAt(item.options, k);
            const WString text = OptionText(rec);
            const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), features::Value(rec));
        }
    }
}

void ShowItem(HWND page, const UiItem& item, const OEMDEV& record) {
    HWND c = GetDlgItem(page, static_cast<int>(item.control));
    if (!c || !item.state.field) return;
    const int32_t value = ItemValue(record, item);
    switch (item.type) {
    case features::kUiDropDown: {
        const LRESULT count = SendMessageW(c, CB_GETCOUNT, 0, 0);
        LRESULT sel = -1;
        for (LRESULT k = 0; k < count && sel < 0; ++k)
            if (static_cast<int32_t>(SendMessageW(c, CB_GETITEMDATA, static_cast<WPARAM>(k), 0)) == value) sel = k;
        SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
        break;
    }
    case features::kUiRadio:
        SendMessageW(c, BM_SETCHECK, RadioValue(item) == value ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case features::kUiCheck:
        SendMessageW(c, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case features::kUiNumeric:
        if (!settings::IsNumberKind(item.state.field.def->kind)) {
            const WString text = item.state.field.def->kind == settings::FieldKind::Text
                                     ? settings::GetText(record, item.state.field)
                                     : WFromAscii(settings::GetAnsi(record, item.state.field));
            WCHAR shown[256] = {};
            GetWindowTextW(c, shown, 256);
            if (text != shown) SetWindowTextW(c, text.c_str());
            break;
        }
        if (static_cast<int32_t>(GetDlgItemInt(page, static_cast<int>(item.control), nullptr, TRUE)) != value ||
            GetWindowTextLengthW(c) == 0)
            SetDlgItemInt(page, static_cast<int>(item.control), static_cast<UINT>(value), TRUE);
        break;
    default:
        break;
    }
}

void ShowPageItems(HWND page, uint32_t pageId) {
    const auto* table = features::ModuleItems();
    const OEMDEV* record = PageRecord(page);
    if (!table || !record) return;
    for (size_t i = 0; i < table->count; ++i)
        if (table->rows[i].OnDialog(pageId)) ShowItem(page, table->rows[i], *record);
}

bool ItemOffered(const UiItem* item) {
    if (!item) return false;
    const auto* record = model::Loaded().tables.record;
    const int sw = features::FindSwitch(Narrow(item->feature));
    if (sw >= 0 && (!record || record->switches[static_cast<features::SwitchId>(sw)] == 0)) return false;
    if (item->type == features::kUiDropDown && features::ListCount(item->options) == 0) return false;
    return true;
}

void SwitchOffControl(HWND page, uint32_t pageId, uint32_t control) {
    HWND c = GetDlgItem(page, static_cast<int>(control));
    constraints::MarkSwitchedOff(c);
    SetControl(page, control, false);
    if (const UiItem* item = PageItem(pageId, control)) {
        for (uint32_t id : item->related) {
            if (id == 0) break;
            constraints::MarkSwitchedOff(GetDlgItem(page, static_cast<int>(id)));
            SetControl(page, id, false);
        }
        if (item->iconControl) SetControl(page, item->iconControl, false);
    }
}

UINT_PTR ChangeItem(HWND page, uint32_t pageId, uint32_t control, int32_t newValue) {
    const UiItem* item = PageItem(pageId, control);
    OEMDEV* record = PageRecord(page);
    if (!item || !record || !item->state.field) return kCheckStands;
    const int32_t old = ItemValue(*record, *item);
    SetItemValue(*record, *item, newValue);
    const int32_t stored = ItemValue(*record, *item);
    const UINT_PTR r = CheckConstraints(page, control);
    if (CheckRestores(r)) {
        SetItemValue(*record, *item, old);
        ShowPageItems(page, pageId);
        if (item->type == features::kUiNumeric)
            if (HWND box = GetDlgItem(page, static_cast<int>(control))) SetFocus(box);
        return r;
    }
    ShowPageHints(page, PageContext(page), pageId);
    if (stored != old) {
        SetPageChanged(page);
        ShowPageItems(page, pageId);
    }
    return r;
}

}  // namespace nvx::pages
