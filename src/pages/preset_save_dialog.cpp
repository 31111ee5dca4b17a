// The preset save dialog (190; 191 with the content options where the model enables
// them): the current settings as a new preset of the user's own or, for a user who
// may administer the printer, a shared one.
#include <cstring>

#include "features/model_record.h"
#include "frame/module_state.h"
#include "model/loaded_model.h"
#include "pages/page_framework.h"
#include "pages/page_skeleton.h"
#include "pages/preset_combo.h"
#include "presets/printer_presets.h"
#include "settings/sheet_work.h"
#include "stamps/watermark_sheet.h"

namespace nvx::pages {

namespace {

constexpr int kName = 1901;
constexpr int kIconBox = 1902;
constexpr int kIconList = 1903;
constexpr int kShared = 1904;
constexpr int kComment = 1906;
// The content option boxes, bytes 0 to 3.
constexpr int kOptionBoxes[4] = {2054, 1920, 1925, 1926};

WString ControlText(HWND dlg, int id, int cap) {
    WString text(static_cast<size_t>(cap) + 1, 0);
    const int n = GetDlgItemTextW(dlg, id, text.data(), cap + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool Checked(HWND dlg, int id) {
    return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

SheetPresets* DialogPresets(HWND dlg) {
    return PageSheetPresets(dlg);
}

// Box 3 (shared watermarks) only while box 2 is ticked and the user may administer.
void EnableSharedMarksBox(HWND dlg) {
    SheetPresets* s = DialogPresets(dlg);
    if (HWND box = GetDlgItem(dlg, kOptionBoxes[3]))
        EnableWindow(box, Checked(dlg, kOptionBoxes[2]) && s && s->canAdminister ? TRUE : FALSE);
}

INT_PTR OnInit(HWND dlg, LPARAM) {
    SheetPresets* s = DialogPresets(dlg);
    SendDlgItemMessageW(dlg, kName, EM_LIMITTEXT, 30, 0);
    SendDlgItemMessageW(dlg, kComment, EM_LIMITTEXT, presets::kMaxCommentChars, 0);
    const presets::SharedBox box = s ? presets::SaveSharedBox(s->list, s->canAdminister) : presets::SharedBox{false, false};
    CheckDlgButton(dlg, kShared, box.checked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dlg, kShared), box.enabled ? TRUE : FALSE);
    // This build carries no icon strip: the icon choice is not offered.
    for (int id : {kIconBox, kIconList}) {
        if (HWND w = GetDlgItem(dlg, id)) {
            EnableWindow(w, FALSE);
            ShowWindow(w, SW_HIDE);
        }
    }
    const presets::ContentOptions& options = presets::ProcessContentOptions();
    for (size_t b = 0; b < 4; ++b)
        if (GetDlgItem(dlg, kOptionBoxes[b])) CheckDlgButton(dlg, kOptionBoxes[b], options[b] ? BST_CHECKED : BST_UNCHECKED);
    EnableSharedMarksBox(dlg);
    return TRUE;
}

// A message of the resource library's strings: text + text2 formatted with arg.
void Warn(HWND dlg, UINT text, UINT text2, const WString& arg) {
    HINSTANCE resources = frame::Module().dialogResources;
    WCHAR caption[256] = {}, first[512] = {}, second[512] = {};
    if (resources) {
        LoadStringW(resources, 1, caption, 256);
        LoadStringW(resources, text, first, 512);
        LoadStringW(resources, text2, second, 512);
    }
    WString format = WString(first) + second;
    WCHAR message[1024];
    WFormat(message, 1024, format.c_str(), arg.c_str());
    MessageBoxW(dlg, message, caption, MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(dlg, kName));
}

void OnOk(HWND dlg) {
    SheetPresets* s = DialogPresets(dlg);
    auto* ctx = PageContext(dlg);
    OEMDEV* record = PageRecord(dlg);
    if (!s || !record) {
        EndDialog(dlg, IDCANCEL);
        return;
    }
    const WString name = ControlText(dlg, kName, 30);
    const WString comment = ControlText(dlg, kComment, static_cast<int>(presets::kMaxCommentChars));
    const uint32_t scope = Checked(dlg, kShared) ? presets::kSharedScope : presets::kPersonalScope;
    switch (presets::CheckNewName(s->list, name, scope)) {
    case presets::NameCheck::Empty: return Warn(dlg, 3, 100, name);
    case presets::NameCheck::Duplicate: return Warn(dlg, 4, 160, name);
    case presets::NameCheck::Ok: break;
    }
    if (GetDlgItem(dlg, kOptionBoxes[0])) {
        presets::ContentOptions options{};
        for (size_t b = 0; b < 4; ++b) options[b] = Checked(dlg, kOptionBoxes[b]) ? 1 : 0;
        presets::ProcessContentOptions() = options;
        s->env.options = options;
    }
    // The watermark lists the sheet holds, when a page read them; else the stored ones.
    presets::PresetEnvironment env = s->env;
    if (stamps::SheetWatermarksLoaded(ctx)) {
        stamps::WatermarkSet set;
        stamps::SheetWatermarks(ctx, &set);
        env.lists = presets::WatermarkLists{};
        auto copy = [](const auto& from, auto* to) {
            for (const auto& r : from) {
                to->emplace_back();
                std::memcpy(to->back().data(), &r, to->back().size());
            }
        };
        copy(set.shared, &env.lists.shared);
        copy(set.personal, &env.lists.personal);
        copy(set.order, &env.lists.order);
    }
    presets::EasySetEntry entry;
    if (!presets::MakeEntry(env, *record, presets::MakeHeader(env, name, comment, 0, 0, 0), scope, &entry)) {
        EndDialog(dlg, IDCANCEL);
        return;
    }
    s->list.Add(std::move(entry));
    presets::Select(s->list, static_cast<int>(s->list.Count()) - 1);
    presets::SetRecordPreset(*record, scope == presets::kSharedScope ? presets::kKindShared : presets::kKindPersonal,
                             name);
    // A store that refuses the write closes the dialog without a message; the preset
    // stays in the sheet's list until the sheet closes.
    HANDLE printer = settings::ContextPrinter(ctx);
    presets::SavePrinterScope(printer, s->list, scope);
    presets::SavePrinterOrder(printer, s->list);
    EndDialog(dlg, IDOK);
}

bool OnCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK:
        OnOk(dlg);
        return true;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    default:
        if (id == kOptionBoxes[2] && code == BN_CLICKED) EnableSharedMarksBox(dlg);
        return false;
    }
}

const PageDef kSaveDialog = [] {
    PageDef d{kPresetSaveDialog, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnInit;
    d.command = OnCommand;
    return d;
}();

const PageDef kSaveOptionsDialog = [] {
    PageDef d = kSaveDialog;
    d.id = kPresetSaveOptionsDialog;
    return d;
}();

}  // namespace

bool PresetOptionsEnabled() {
    const model::ModelTables& tables = model::Loaded().tables;
    return tables.record && tables.record->switches[features::kSw_Dlg_EasySet] >= 2;
}

INT_PTR CALLBACK PresetSaveDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kSaveDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK PresetSaveOptionsDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kSaveOptionsDialog, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
