#include "pages/preset_combo.h"

#include <cstring>

#include "frame/module_state.h"
#include "model/loaded_model.h"
#include "model/text_tables.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "presets/printer_presets.h"
#include "settings/sheet_work.h"
#include "stamps/watermark_sheet.h"

namespace nvx::pages {

namespace {

SheetPresets* Presets(const settings::PrinterUIContext* ctx) {
    return reinterpret_cast<SheetPresets*>(static_cast<uintptr_t>(settings::WorkGet64(ctx, settings::work::kPresets)));
}

presets::WatermarkLists ListsOf(const stamps::WatermarkSet& set) {
    presets::WatermarkLists lists;
    auto copy = [](const auto& from, auto* to) {
        for (const auto& r : from) {
            to->emplace_back();
            std::memcpy(to->back().data(), &r, to->back().size());
        }
    };
    copy(set.shared, &lists.shared);
    copy(set.personal, &lists.personal);
    copy(set.order, &lists.order);
    return lists;
}

stamps::WatermarkSet SetOf(const presets::WatermarkLists& lists) {
    stamps::WatermarkSet set;
    auto copy = [](const auto& from, auto* to) {
        for (const auto& raw : from) {
            to->emplace_back();
            std::memcpy(&to->back(), raw.data(), raw.size());
        }
    };
    copy(lists.shared, &set.shared);
    copy(lists.personal, &set.personal);
    copy(lists.order, &set.order);
    return set;
}

// The text an entry shows: the Default entry under the model's name for it.
WString EntryText(const presets::EasySetEntry& e) {
    if (e.isDefault) {
        const WCHAR* name = model::NamedTextOf(model::NamedText::PresetDefault);
        return name && name[0] ? WString(name) : WString(presets::kDefaultEntryName);
    }
    return e.Name();
}

WString UntitledText() {
    const WCHAR* name = model::NamedTextOf(model::NamedText::PresetUntitled);
    return name && name[0] ? WString(name) : WString(presets::kUntitledName);
}

void ShowSelection(HWND page, SheetPresets& s) {
    HWND combo = GetDlgItem(page, kPresetCombo);
    if (!combo) return;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < s.list.entries.size(); ++i) {
        const WString text = EntryText(s.list.entries[i]);
        const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
    }
    LRESULT selected = s.list.current;
    if (s.list.current < 0) {
        const WString text = UntitledText();
        selected = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (selected >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(selected), static_cast<LPARAM>(-1));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);

    const bool mayApply = settings::ContextMayApply(PageContext(page)) != 0;
    EnableWindow(combo, mayApply ? TRUE : FALSE);
    if (HWND button = GetDlgItem(page, kPresetEdit)) EnableWindow(button, mayApply ? TRUE : FALSE);
    // Save: only while the settings are no preset (Untitled) and there is room.
    if (HWND button = GetDlgItem(page, kPresetSave)) {
        const bool room = presets::HasRoomToSave(s.list, s.canAdminister);
        EnableWindow(button, mayApply && s.list.current < 0 && room ? TRUE : FALSE);
    }
}

}  // namespace

presets::ApplyContext SheetPresets::Context() const {
    presets::ApplyContext ctx;
    ctx.env = &env;
    ctx.startSettings = &start;
    ctx.canAdminister = canAdminister;
    return ctx;
}

SheetPresets* PageSheetPresets(HWND page) {
    return Presets(PageContext(page));
}

void PresetComboInit(HWND page) {
    auto* ctx = PageContext(page);
    OEMDEV* record = PageRecord(page);
    if (!GetDlgItem(page, kPresetCombo) || !settings::ContextPageWorkArea(ctx) || !record) return;
    if (!Presets(ctx)) {
        HANDLE printer = settings::ContextPrinter(ctx);
        if (!printer || printer == INVALID_HANDLE_VALUE) return;
        auto* s = new SheetPresets;
        s->env = presets::PrinterEnvironment(printer, &model::Loaded().tables);
        s->start = *record;
        s->canAdminister = presets::CanAdministerPrinter(printer);
        if (!presets::LoadPrinterList(printer, *record, s->Context(), &s->list)) {
            delete s;
            return;
        }
        settings::WorkSet64(ctx, settings::work::kPresets, reinterpret_cast<uintptr_t>(s));
        settings::WorkSet64(ctx, settings::work::kPresetsOwner, reinterpret_cast<uintptr_t>(page));
    }
    PresetComboRefill(page);
}

void PresetComboRefill(HWND page) {
    SheetPresets* s = PageSheetPresets(page);
    OEMDEV* record = PageRecord(page);
    if (!s || !record) return;
    presets::FollowSettings(s->list, *record, s->Context());
    ShowSelection(page, *s);
}

void PresetComboFollow(HWND page) {
    SheetPresets* s = PageSheetPresets(page);
    OEMDEV* record = PageRecord(page);
    if (!s || !record || !GetDlgItem(page, kPresetCombo)) return;
    const int before = s->list.current;
    presets::FollowSettings(s->list, *record, s->Context());
    if (s->list.current != before) ShowSelection(page, *s);
}

bool ApplySheetPreset(HWND page, int index) {
    SheetPresets* s = PageSheetPresets(page);
    OEMDEV* record = PageRecord(page);
    if (!s || !record || index < 0 || static_cast<size_t>(index) >= s->list.entries.size()) return false;
    auto* ctx = PageContext(page);
    const presets::EasySetEntry& entry = s->list.entries[index];
    presets::ApplyContext apply = s->Context();
    // The sheet's watermark lists take part only when the preset carries them.
    const bool marks = entry.header.contentOptions[presets::kIncludeWatermarks] != 0;
    presets::WatermarkLists lists;
    if (marks) {
        stamps::WatermarkSet set;
        stamps::SheetWatermarks(ctx, &set);
        lists = ListsOf(set);
        apply.lists = &lists;
    }
    presets::ApplyEntry(entry, *record, apply);
    if (marks) {
        const stamps::WatermarkSet set = SetOf(lists);
        stamps::SetSheetWatermarks(ctx, set);
        stamps::FollowChosenWatermark(*record, set);
    }
    presets::Select(s->list, index);
    return true;
}

bool PresetComboCommand(HWND page, int control, UINT code, void (*showAgain)(HWND page)) {
    if (control == kPresetSave) {
        if (code != BN_CLICKED || !PageSheetPresets(page)) return true;
        const bool options = PresetOptionsEnabled();
        const INT_PTR answer =
            RunModuleDialog(frame::Module().dialogResources, page, options ? kPresetSaveOptionsDialog : kPresetSaveDialog,
                            options ? PresetSaveOptionsDialogProc : PresetSaveDialogProc,
                            reinterpret_cast<LPARAM>(PageContext(page)));
        if (answer == IDOK) PresetComboRefill(page);
        return true;
    }
    if (control == kPresetEdit) {
        if (code != BN_CLICKED || !PageSheetPresets(page)) return true;
        // The selection followed its entry through moves and renames (or is gone with
        // it); the record's preset name follows when the combo is filled again.
        if (RunPresetEditDialog(page) == IDOK) PresetComboRefill(page);
        return true;
    }
    if (control != kPresetCombo || code != CBN_SELCHANGE) return control == kPresetCombo;
    SheetPresets* s = PageSheetPresets(page);
    HWND combo = GetDlgItem(page, kPresetCombo);
    if (!s || !combo) return true;
    const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const LRESULT index = at >= 0 ? SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0) : -1;
    if (index < 0 || index == CB_ERR) return true;  // Untitled: nothing to apply
    if (!ApplySheetPreset(page, static_cast<int>(index))) return true;
    // The page checks the settings against the model's rules and shows them again;
    // the other pages show them when they are next activated.
    if (showAgain) showAgain(page);
    SetPageChanged(page);
    PresetComboRefill(page);
    return true;
}

void PresetComboApply(HWND page) {
    SheetPresets* s = PageSheetPresets(page);
    HANDLE printer = settings::ContextPrinter(PageContext(page));
    if (!s || !printer || printer == INVALID_HANDLE_VALUE) return;
    presets::SavePrinterOrder(printer, s->list);
}

void PresetComboDestroy(HWND page) {
    auto* ctx = PageContext(page);
    if (settings::WorkGet64(ctx, settings::work::kPresetsOwner) != reinterpret_cast<uintptr_t>(page)) return;
    delete Presets(ctx);
    settings::WorkSet64(ctx, settings::work::kPresets, 0);
    settings::WorkSet64(ctx, settings::work::kPresetsOwner, 0);
}

}  // namespace nvx::pages
