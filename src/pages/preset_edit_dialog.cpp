// The preset edit dialog (193) and the content options dialog (192) it opens: the
// sheet's presets in their order, renamed, commented, shared or made the user's own,
// moved and deleted on a copy that OK hands back to the sheet and the stores.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "frame/module_state.h"
#include "frame/paths.h"

#include "model/package.h"
#include "model/text_tables.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_skeleton.h"
#include "pages/preset_combo.h"
#include "presets/printer_presets.h"

namespace nvx::pages {

namespace {

constexpr int kName = 1901;
constexpr int kIconBox = 1902;
constexpr int kIconList = 1903;
constexpr int kShared = 1904;
constexpr int kComment = 1906;
constexpr int kList = 1907;
constexpr int kUp = 1908;
constexpr int kDown = 1909;
constexpr int kDelete = 1910;
constexpr int kImport = 1911;
constexpr int kExport = 1912;
constexpr int kOptions = 1913;
constexpr int kSummary = 1914;
constexpr int kRemaining = 1918;
constexpr int kOptionBoxes[4] = {2054, 1920, 1925, 1926};

// The dialog's state: modal, one at a time on the sheet's thread.
struct EditState {
    presets::EditSession session;
    int selected = -1;
    WString remainingFormat;
};
EditState* g_edit = nullptr;
// The option bytes the options dialog edits, and whether the user may administer.
BYTE* g_options = nullptr;
bool g_optionsAdmin = false;

WString ControlText(HWND dlg, int id, int cap) {
    WString text(static_cast<size_t>(cap) + 1, 0);
    const int n = GetDlgItemTextW(dlg, id, text.data(), cap + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool Checked(HWND dlg, int id) {
    return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Enable(HWND dlg, int id, bool on) {
    if (HWND w = GetDlgItem(dlg, id)) EnableWindow(w, on ? TRUE : FALSE);
}

WString EntryText(const presets::EasySetEntry& e) {
    if (e.isDefault) {
        const WCHAR* name = model::NamedTextOf(model::NamedText::PresetDefault);
        return name && name[0] ? WString(name) : WString(presets::kDefaultEntryName);
    }
    return e.Name();
}

// Strings `text` + `text2` of the resource library formatted with arg, under `caption`.
int Ask(HWND dlg, UINT caption, UINT text, UINT text2, const WString& arg, UINT type) {
    HINSTANCE resources = frame::Module().dialogResources;
    WCHAR title[256] = {}, first[512] = {}, second[512] = {};
    if (resources) {
        LoadStringW(resources, caption, title, 256);
        LoadStringW(resources, text, first, 512);
        LoadStringW(resources, text2, second, 512);
    }
    const WString format = WString(first) + second;
    WCHAR message[1024];
    WFormat(message, 1024, format.c_str(), arg.c_str());
    return MessageBoxW(dlg, message, title, type);
}

void ShowRemaining(HWND dlg) {
    WCHAR text[300];
    WFormat(text, 300, g_edit->remainingFormat.c_str(), g_edit->session.Remaining());
    SetDlgItemTextW(dlg, kRemaining, text);
}

// The fields of the selected entry, enabled as the entry allows.
void ShowSelected(HWND dlg) {
    const presets::EditSession& s = g_edit->session;
    const int i = g_edit->selected;
    const bool has = i >= 0 && static_cast<size_t>(i) < s.list.entries.size();
    const bool edit = s.CanEdit(i);
    SetDlgItemTextW(dlg, kName, has ? EntryText(s.list.entries[i]).c_str() : WL(""));
    SetDlgItemTextW(dlg, kComment, has ? s.list.entries[i].Comment().c_str() : WL(""));
    CheckDlgButton(dlg, kShared, has && s.list.entries[i].scope == presets::kSharedScope ? BST_CHECKED : BST_UNCHECKED);
    for (int id : {kName, kComment}) Enable(dlg, id, edit);
    bool scopeMove = false;
    if (edit) {
        const bool shared = s.list.entries[i].scope == presets::kSharedScope;
        scopeMove = shared ? s.list.CountScope(presets::kPersonalScope) < presets::kMaxPersonalEntries
                           : s.canAdminister && s.list.CountScope(presets::kSharedScope) < presets::kMaxSharedEntries;
    }
    Enable(dlg, kShared, scopeMove);
    Enable(dlg, kUp, has && i > 0);
    Enable(dlg, kDown, has && i + 1 < static_cast<int>(s.list.entries.size()));
    Enable(dlg, kDelete, s.CanDelete(i));
    Enable(dlg, kOptions, edit && PresetOptionsEnabled());
    Enable(dlg, kImport, s.list.CountScope(presets::kPersonalScope) < presets::kMaxPersonalEntries &&
                             s.list.Count() < presets::kMaxListEntries);
    Enable(dlg, kExport, has);
    ShowRemaining(dlg);
}

void FillList(HWND dlg) {
    HWND list = GetDlgItem(dlg, kList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const presets::EasySetEntry& e : g_edit->session.list.entries) {
        const WString text = EntryText(e);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(g_edit->selected), 0);
    ShowSelected(dlg);
}

// Commits the selected entry's fields; false (with the message shown and the focus on
// the name) when the name is empty or taken in its scope.
bool Commit(HWND dlg) {
    const int i = g_edit->selected;
    if (!g_edit->session.CanEdit(i)) return true;
    const WString name = ControlText(dlg, kName, static_cast<int>(presets::kMaxNameChars));
    const WString comment = ControlText(dlg, kComment, static_cast<int>(presets::kMaxCommentChars));
    const uint32_t scope = Checked(dlg, kShared) ? presets::kSharedScope : presets::kPersonalScope;
    const presets::NameCheck check = g_edit->session.Commit(i, name, comment, scope);
    if (check == presets::NameCheck::Ok) {
        // The list shows the new name.
        HWND list = GetDlgItem(dlg, kList);
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        const WString text = EntryText(g_edit->session.list.entries[i]);
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        return true;
    }
    if (check == presets::NameCheck::Empty)
        Ask(dlg, 1, 3, 100, name, MB_OK | MB_ICONWARNING);
    else
        Ask(dlg, 1, 4, 161, name, MB_OK | MB_ICONWARNING);
    SendDlgItemMessageW(dlg, kList, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    SetFocus(GetDlgItem(dlg, kName));
    return false;
}

INT_PTR OnInit(HWND dlg, LPARAM) {
    SheetPresets* s = PageSheetPresets(dlg);
    if (!s || !g_edit) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    g_edit->session.list = s->list;
    g_edit->session.canAdminister = s->canAdminister;
    g_edit->selected = std::max(0, s->list.current);
    WCHAR format[300] = {};
    const WString path = frame::BesideModule(frame::Module().self, WL("NOVRIX_D.VPD"));
    model::PackagePtr pkg = path.empty() ? nullptr : model::Package::OpenDirectory(path.c_str(), vpd::kEntry52Size);
    if (!pkg || !model::KeyedValueLoad(*pkg, "Dlg_EditEasySet", "EditEasy_Num", format, std::size(format)))
        GetDlgItemTextW(dlg, kRemaining, format, 300);
    g_edit->remainingFormat = format;
    SendDlgItemMessageW(dlg, kName, EM_LIMITTEXT, 30, 0);
    SendDlgItemMessageW(dlg, kComment, EM_LIMITTEXT, presets::kMaxCommentChars, 0);
    // Not in this build: the icon strip and the settings summary.
    for (int id : {kIconBox, kIconList, kSummary}) {
        if (HWND w = GetDlgItem(dlg, id)) {
            EnableWindow(w, FALSE);
            ShowWindow(w, SW_HIDE);
        }
    }
    FillList(dlg);
    return TRUE;
}

void OnOk(HWND dlg) {
    if (!Commit(dlg)) return;
    SheetPresets* s = PageSheetPresets(dlg);
    HANDLE printer = settings::ContextPrinter(PageContext(dlg));
    if (s) {
        s->list = g_edit->session.list;
        // The per-user store, the shared store (refused without administer rights: the
        // shared presets could not be changed then) and the order.
        presets::SavePrinterScope(printer, s->list, presets::kPersonalScope);
        if (s->canAdminister) presets::SavePrinterScope(printer, s->list, presets::kSharedScope);
        presets::SavePrinterOrder(printer, s->list);
    }
    EndDialog(dlg, IDOK);
}

bool OnCommand(HWND dlg, int id, UINT code) {
    presets::EditSession& s = g_edit->session;
    switch (id) {
    case kList:
        if (code == LBN_SELCHANGE) {
            const int next = static_cast<int>(SendDlgItemMessageW(dlg, kList, LB_GETCURSEL, 0, 0));
            if (next == g_edit->selected || !Commit(dlg)) return true;
            g_edit->selected = next;
            ShowSelected(dlg);
        }
        return true;
    case kUp:
    case kDown:
        if (code == BN_CLICKED && Commit(dlg)) {
            const int to = s.Move(g_edit->selected, id == kUp);
            if (to >= 0) g_edit->selected = to;
            FillList(dlg);
        }
        return true;
    case kDelete:
        if (code == BN_CLICKED && s.CanDelete(g_edit->selected)) {
            const WString name = s.list.entries[g_edit->selected].Name();
            if (Ask(dlg, 5, 6, 300, name, MB_YESNO | MB_ICONQUESTION) == IDYES) {
                g_edit->selected = s.Delete(g_edit->selected);
                FillList(dlg);
            }
        }
        return true;
    case kOptions:
        if (code == BN_CLICKED && s.CanEdit(g_edit->selected)) {
            g_options = s.list.entries[g_edit->selected].header.contentOptions;
            g_optionsAdmin = s.canAdminister;
            RunModuleDialog(frame::Module().dialogResources, dlg, kPresetOptionsDialog, PresetOptionsDialogProc,
                            reinterpret_cast<LPARAM>(PageContext(dlg)));
            g_options = nullptr;
        }
        return true;
    case kImport:
        if (code == BN_CLICKED && Commit(dlg) &&
            RunModuleDialog(frame::Module().dialogResources, dlg, kPresetImportDialog, PresetImportDialogProc,
                            reinterpret_cast<LPARAM>(PageContext(dlg))) == IDOK) {
            g_edit->selected = static_cast<int>(s.list.Count()) - 1;
            FillList(dlg);
        }
        return true;
    case kExport:
        if (code == BN_CLICKED && Commit(dlg))
            RunModuleDialog(frame::Module().dialogResources, dlg, kPresetExportDialog, PresetExportDialogProc,
                            reinterpret_cast<LPARAM>(PageContext(dlg)));
        return true;
    case IDOK:
        OnOk(dlg);
        return true;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    default:
        return false;
    }
}

const PageDef kEditDialog = [] {
    PageDef d{kPresetEditDialog, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnInit;
    d.command = OnCommand;
    return d;
}();

// ---- The content options of one preset ----

void EnableSharedMarksBox(HWND dlg) {
    Enable(dlg, kOptionBoxes[3], Checked(dlg, kOptionBoxes[2]) && g_optionsAdmin);
}

INT_PTR OnOptionsInit(HWND dlg, LPARAM) {
    if (!g_options) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    for (size_t b = 0; b < 4; ++b) CheckDlgButton(dlg, kOptionBoxes[b], g_options[b] ? BST_CHECKED : BST_UNCHECKED);
    EnableSharedMarksBox(dlg);
    return TRUE;
}

bool OnOptionsCommand(HWND dlg, int id, UINT code) {
    if (id == IDOK) {
        for (size_t b = 0; b < 4; ++b) g_options[b] = Checked(dlg, kOptionBoxes[b]) ? 1 : 0;
        EndDialog(dlg, IDOK);
        return true;
    }
    if (id == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return true;
    }
    if (id == kOptionBoxes[2] && code == BN_CLICKED) EnableSharedMarksBox(dlg);
    return false;
}

const PageDef kOptionsDialog = [] {
    PageDef d{kPresetOptionsDialog, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnOptionsInit;
    d.command = OnOptionsCommand;
    return d;
}();

// ---- Import and export ----

constexpr int kFile = 1940;

// A message of the resource library's string `number` with the two texts.
int FileMessage(HWND dlg, unsigned number, const WString& a, const WString& b, UINT type) {
    HINSTANCE resources = frame::Module().dialogResources;
    WCHAR caption[256] = {}, format[512] = {};
    if (resources) {
        GetWindowTextW(dlg, caption, 256);
        LoadStringW(resources, number, format, 512);
    }
    WCHAR message[1024];
    WFormat(message, 1024, format, a.c_str(), b.c_str());
    return MessageBoxW(dlg, message, caption, type | MB_ICONWARNING);
}

void OnImportOk(HWND dlg) {
    SheetPresets* sheet = PageSheetPresets(dlg);
    presets::EditSession& s = g_edit->session;
    const WString path = ControlText(dlg, kFile, MAX_PATH);
    presets::SettingsDoc doc;
    if (!sheet || presets::LoadSettingsFile(path, &doc) != ERROR_SUCCESS) {
        FileMessage(dlg, 89, WString(), WString(), MB_OK);
        SetFocus(GetDlgItem(dlg, kFile));
        return;
    }
    presets::EasySetHeader header{};
    presets::ReadHeader(doc, header);
    WString name = ControlText(dlg, kName, 30);
    if (name.empty()) name.assign(header.name, WLenBounded(header.name, 32));
    presets::ImportEnvironment ie;
    ie.driverName = sheet->env.driverName;
    ie.language = sheet->env.language;
    for (const presets::EasySetEntry& e : s.list.entries)
        if (e.scope == presets::kPersonalScope) ie.personalPresetNames.push_back(e.Name());
    const presets::ImportVerdict v = presets::CheckImport(&doc, name, ie);
    if (v.message != 0) {
        const int answer = FileMessage(dlg, v.message, v.args[0], v.args[1],
                                       v.question() ? MB_YESNO | MB_DEFBUTTON2 : MB_OK);
        if (!v.question() || answer != IDYES) {
            SetFocus(GetDlgItem(dlg, v.message == 30 || v.message == 31 ? kName : kFile));
            return;
        }
    }
    const presets::EasySetHeader h = presets::MakeHeader(
        sheet->env, name, WString(header.comment, WLenBounded(header.comment, 256)), 0, 0, 0);
    presets::EasySetEntry entry;
    if (!presets::EntryFromText(std::move(doc), h, presets::kPersonalScope, &entry)) {
        FileMessage(dlg, 242, WString(), WString(), MB_OK);
        return;
    }
    s.list.Add(std::move(entry));
    EndDialog(dlg, IDOK);
}

void OnExportOk(HWND dlg) {
    const presets::EditSession& s = g_edit->session;
    const int i = g_edit->selected;
    const WString path = ControlText(dlg, kFile, MAX_PATH);
    if (i < 0 || static_cast<size_t>(i) >= s.list.entries.size() || path.empty() ||
        presets::SaveSettingsFile(path, presets::EntryDocument(s.list.entries[i])) != ERROR_SUCCESS) {
        FileMessage(dlg, 243, WString(), WString(), MB_OK);
        SetFocus(GetDlgItem(dlg, kFile));
        return;
    }
    EndDialog(dlg, IDOK);
}

INT_PTR OnFileInit(HWND dlg, LPARAM) {
    if (!g_edit) EndDialog(dlg, IDCANCEL);
    SendDlgItemMessageW(dlg, kFile, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SendDlgItemMessageW(dlg, kName, EM_LIMITTEXT, 30, 0);
    return TRUE;
}

bool OnImportCommand(HWND dlg, int id, UINT) {
    if (id == IDOK) OnImportOk(dlg);
    if (id == IDCANCEL) EndDialog(dlg, IDCANCEL);
    return id == IDOK || id == IDCANCEL;
}

bool OnExportCommand(HWND dlg, int id, UINT) {
    if (id == IDOK) OnExportOk(dlg);
    if (id == IDCANCEL) EndDialog(dlg, IDCANCEL);
    return id == IDOK || id == IDCANCEL;
}

const PageDef kImportDialog = [] {
    PageDef d{kPresetImportDialog, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnFileInit;
    d.command = OnImportCommand;
    return d;
}();

const PageDef kExportDialog = [] {
    PageDef d{kPresetExportDialog, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnFileInit;
    d.command = OnExportCommand;
    return d;
}();

}  // namespace

INT_PTR CALLBACK PresetImportDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!g_edit) return FALSE;
    return RunPage(kImportDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK PresetExportDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!g_edit) return FALSE;
    return RunPage(kExportDialog, hwnd, msg, wParam, lParam);
}

INT_PTR RunPresetEditDialog(HWND page) {
    EditState state;
    EditState* outer = g_edit;
    g_edit = &state;
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, page, kPresetEditDialog,
                                           PresetEditDialogProc, reinterpret_cast<LPARAM>(PageContext(page)));
    g_edit = outer;
    return answer;
}

INT_PTR CALLBACK PresetEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!g_edit) return FALSE;
    return RunPage(kEditDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK PresetOptionsDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kOptionsDialog, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
