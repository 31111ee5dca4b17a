// The preset combo that stands on every document tab that has one: the label 1131,
// the combo 1132, the save button 1133 and the edit button 1134 (docs/pages.md,
// docs/presets.md).
//
// A page takes part by setting `presetCombo` in its PageDef; the skeleton then calls
// these hooks (a page never calls them itself):
//   WM_INITDIALOG   PresetComboInit: the sheet's list is built by the first page that
//                   shows the combo (kept in the page work area, freed with that page);
//   PSN_SETACTIVE   PresetComboRefill: the combo filled in list order, the selection or
//                   `Untitled`, the buttons enabled by the room rule;
//   WM_COMMAND      PresetComboCommand: a preset picked is applied, then the page's
//                   setActive handler runs (check, show again) and the sheet is told
//                   it changed; the save and edit buttons open their dialogs;
//                   after any other command the page handled, PresetComboFollow;
//   PSN_APPLY       PresetComboApply: the order list is written;
//   WM_DESTROY      PresetComboDestroy.
// A page without the combo's controls in its template is left alone.
#pragma once

#include "platform/win32.h"
#include "presets/preset_store.h"

namespace nvx::pages {

inline constexpr int kPresetLabel = 1131;
inline constexpr int kPresetCombo = 1132;
inline constexpr int kPresetSave = 1133;
inline constexpr int kPresetEdit = 1134;
// The save dialog's templates in NOVRIX_S.DLL: without and with the content options.
inline constexpr uint32_t kPresetSaveDialog = 190;
inline constexpr uint32_t kPresetSaveOptionsDialog = 191;
// The content options of one preset, and the edit dialog.
inline constexpr uint32_t kPresetOptionsDialog = 192;
inline constexpr uint32_t kPresetEditDialog = 193;
// Importing a settings file as a preset, and exporting one (from the edit dialog).
inline constexpr uint32_t kPresetImportDialog = 194;
inline constexpr uint32_t kPresetExportDialog = 195;

// The sheet's presets: the list, the facts entries are made with, the settings the
// sheet started with and whether the user may administer the printer.
struct SheetPresets {
    presets::EasySetList list;
    presets::PresetEnvironment env;
    OEMDEV start{};
    bool canAdminister = false;
    presets::ApplyContext Context() const;
};

void PresetComboInit(HWND page);
void PresetComboRefill(HWND page);
void PresetComboFollow(HWND page);
bool PresetComboCommand(HWND page, int control, UINT code, void (*showAgain)(HWND page));
void PresetComboApply(HWND page);
void PresetComboDestroy(HWND page);

// The sheet's presets of a page (null before a page with the combo built them).
SheetPresets* PageSheetPresets(HWND page);

// Applies entry `index` of the sheet's list to the page's record as picking it in the
// combo does (without the page's own refresh); false when there is no such entry.
bool ApplySheetPreset(HWND page, int index);

// Whether the model enables the preset content options (its "Dlg_EasySet" switch is
// TYPE2 or later): the save dialog then asks for them.
bool PresetOptionsEnabled();
INT_PTR CALLBACK PresetSaveDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);         // 190
INT_PTR CALLBACK PresetSaveOptionsDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 191
INT_PTR CALLBACK PresetOptionsDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);      // 192
INT_PTR CALLBACK PresetEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);         // 193
INT_PTR CALLBACK PresetImportDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);       // 194
INT_PTR CALLBACK PresetExportDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);       // 195
// Runs the edit dialog over the page's sheet presets; IDOK when the list changed.
INT_PTR RunPresetEditDialog(HWND page);

}  // namespace nvx::pages
