// The custom page (My Tab, page 230): the settings the person placed on their own
// tab, in two columns, each row "label: value"; the value of the chosen row is
// changed in the value box, with the same check as on the setting's own tab.  The
// arrangement lives in the custom page's file (presets/custom_tab_file.h) and is
// edited in the arrangement dialog (231); the progress window (233) shows while
// the page builds its rows.
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "device/acquisition.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/package.h"
#include "pages/custom_tab_logic.h"
#include "pages/custom_tab_page.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_identity.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "presets/custom_tab_file.h"
#include "settings/oemdev_fields.h"

namespace nvx::pages {

namespace {

using features::UiItem;

constexpr uint32_t kPage = kPageCustomTab;
enum : int {
    kLeft = 4900,
    kRight = 4901,
    kValueLabel = 4902,
    kValue = 4903,
    kArrange = 4904,
    kNote = 4905,
    kOffText = 4906,
    kOnText = 4907,
    kAvailable = 4910,
    kSetLeft = 4911,
    kSetRight = 4912,
    kToLeft = 4913,
    kToRight = 4914,
    kRemove = 4915,
    kUp = 4916,
    kDown = 4917,
    kProgress = 4920,
};

// The document tabs whose settings the custom page can show, in the sheet's order.
constexpr uint32_t kDocumentTabs[] = {kPageBasic, kPageLayout,  kPageQuality, kPageQualityColor, kPageFinishing,
                                      kPageCover, kPageOther,   kPageStamps,  kPageFax};

struct Setting {
    WString label;
    uint32_t control = 0;  // the control that shows it on its own tab
    uint32_t home = 0;     // that tab
    const UiItem* item = nullptr;
};

std::string Narrow(const WCHAR* w) {
    std::string s;
    for (size_t i = 0; i < features::kUiNameBytes && w[i]; ++i) s.push_back(static_cast<char>(w[i] & 0x7F));
    return s;
}

// The settings the model names for the custom page that a tab of this build shows
// with a settings field and the model offers.
std::vector<Setting> OfferedSettings() {
    std::vector<Setting> out;
    const auto& page = model::Loaded().tables.settings.customPage;
    const auto* table = features::ModuleItems();
    if (!table) return out;
    // The row labels are the texts of the model's items.
    const WString path = frame::BesideModule(frame::Module().self, WL("NOVRIX_D.VPD"));
    model::PackagePtr pkg;
    if (!path.empty()) pkg = model::Package::OpenDirectory(path.c_str(), vpd::kEntry52Size);
    for (size_t f = 0; f < page.features.size(); ++f) {
        for (size_t i = 0; i < table->count; ++i) {
            const UiItem& item = table->rows[i];
            if (Narrow(item.feature) != page.features[f]) continue;
            if (item.type != features::kUiDropDown && item.type != features::kUiRadio && item.type != features::kUiCheck &&
                item.type != features::kUiNumeric)
                continue;
            uint32_t home = 0;
            for (uint32_t tab : kDocumentTabs)
                if (item.OnDialog(tab)) {
                    home = tab;
                    break;
                }
            if (!home || !item.state.field || !ItemOffered(&item)) continue;
            bool repeated = false;
            for (const Setting& s : out) repeated = repeated || s.control == item.control;
            if (repeated) break;
            Setting s;
            WCHAR label[vpd::kMaxString + 1] = {};
            if (pkg) model::KeyedValueLoad(*pkg, "Prop_MyTab1", page.features[f].c_str(), label, std::size(label));
            s.label = label[0] ? WString(label) : WFromAscii(page.features[f]);
            s.control = item.control;
            s.home = home;
            s.item = &item;
            out.push_back(s);
            break;
        }
    }
    return out;
}

std::vector<uint32_t> Controls(const std::vector<Setting>& settings) {
    std::vector<uint32_t> v;
    for (const Setting& s : settings) v.push_back(s.control);
    return v;
}

const Setting* Find(const std::vector<Setting>& settings, uint32_t control) {
    for (const Setting& s : settings)
        if (s.control == control) return &s;
    return nullptr;
}

WString ControlText(HWND dialog, int id, const WCHAR* fallback) {
    WCHAR text[64] = {};
    if (GetDlgItemTextW(dialog, id, text, 64) > 0) return text;
    return fallback;
}

// One choice of a setting: the value and what the person reads.
struct Choice {
    int32_t value;
    WString text;
};

std::vector<Choice> Choices(HWND page, const Setting& s) {
    std::vector<Choice> out;
    if (s.item->type == features::kUiNumeric) return out;
    const size_t n = features::ListCount(s.item->options);
    for (size_t k = 0; k < n; ++k) {
        const uint8_t* rec = features::RecordAt(s.item->options, k);
        WString text = features::DisplayName(rec);
        const int32_t v = features::Value(rec);
        if (text.empty() && s.item->type == features::kUiCheck)
            text = v ? ControlText(page, kOnText, WL("On")) : ControlText(page, kOffText, WL("Off"));
        if (text.empty()) text = WFromAscii(features::Keyword(rec));
        out.push_back({v, text});
    }
    if (out.empty() && s.item->type == features::kUiCheck) {
        out.push_back({0, ControlText(page, kOffText, WL("Off"))});
        out.push_back({1, ControlText(page, kOnText, WL("On"))});
    }
    return out;
}

WString ValueText(HWND page, const Setting& s, const OEMDEV& r) {
    const int32_t v = ItemValue(r, *s.item);
    if (s.item->type == features::kUiNumeric) {
        if (!settings::IsNumberKind(s.item->state.field.def->kind)) return settings::GetText(r, s.item->state.field);
        return WFormatString(WL("%d"), v);
    }
    for (const Choice& c : Choices(page, s))
        if (c.value == v) return c.text;
    return WFormatString(WL("%d"), v);
}

// The page's own state, kept on its window.
struct PageState {
    std::vector<Setting> settings;
    presets::CustomTabArrangement shown;
    WString file;
};
const WCHAR kStateProp[] = WL("NovrixCustomTab");

PageState* State(HWND page) {
    return static_cast<PageState*>(GetPropW(page, kStateProp));
}

WString FileOf(const settings::PrinterUIContext* ctx) {
    HANDLE printer = settings::ContextPrinter(ctx);
    if (!printer) return {};
    const WString name = device::PrinterNameOf(printer);
    return name.empty() ? WString() : presets::CustomTabFilePath(name);
}

// The row selected in either column, or null.
const Setting* Selected(HWND page) {
    PageState* st = State(page);
    if (!st) return nullptr;
    for (int id : {kLeft, kRight}) {
        const LRESULT sel = SendDlgItemMessageW(page, id, LB_GETCURSEL, 0, 0);
        if (sel < 0) continue;
        const auto control = static_cast<uint32_t>(SendDlgItemMessageW(page, id, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
        return Find(st->settings, control);
    }
    return nullptr;
}

void ShowValueBox(HWND page) {
    HWND box = GetDlgItem(page, kValue);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    const Setting* s = Selected(page);
    const OEMDEV* r = PageRecord(page);
    const bool numeric = s && s->item->type == features::kUiNumeric;
    ShowWindow(GetDlgItem(page, kNote), numeric ? SW_SHOWNA : SW_HIDE);
    if (!s || !r || numeric) {
        EnableWindow(box, FALSE);
        return;
    }
    const int32_t v = ItemValue(*r, *s->item);
    for (const Choice& c : Choices(page, *s)) {
        const LRESULT at = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
        if (at < 0) continue;
        SendMessageW(box, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(c.value));
        if (c.value == v) SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    const bool locked = s->item->state.disabled != 0;
    EnableWindow(box, !locked && settings::ContextMayApply(PageContext(page)) != 0);
}

// Both columns from the arrangement, the selection kept where it was.
void ShowRows(HWND page) {
    PageState* st = State(page);
    const OEMDEV* r = PageRecord(page);
    if (!st || !r) return;
    for (int side = 0; side < 2; ++side) {
        HWND list = GetDlgItem(page, side == 0 ? kLeft : kRight);
        const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (uint32_t control : side == 0 ? st->shown.left : st->shown.right) {
            const Setting* s = Find(st->settings, control);
            if (!s) continue;
            const WString row = s->label + WL(": ") + ValueText(page, *s, *r);
            const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
            if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(control));
        }
        if (sel >= 0) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    }
    ShowValueBox(page);
}

// The constraint check knows a setting by its control on the dialog it checks: the
// page carries a hidden, empty stand-in with the control number of each setting it
// can show (the check may write into it; nothing reads it).
void AddStandIns(HWND page, const std::vector<Setting>& settings) {
    for (const Setting& s : settings) {
        if (GetDlgItem(page, static_cast<int>(s.control))) continue;
        CreateWindowExW(0, WL("Static"), WL(""), WS_CHILD, 0, 0, 0, 0, page,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(s.control)), nullptr, nullptr);
    }
}

// Reads the arrangement and builds the rows behind the progress window.
void Build(HWND page) {
    PageState* st = State(page);
    if (!st) return;
    st->settings = OfferedSettings();
    AddStandIns(page, st->settings);
    const presets::CustomTabArrangement stored =
        st->file.empty() ? presets::CustomTabArrangement{} : presets::ReadCustomTabArrangement(st->file);
    st->shown = customtab::Shown(stored, Controls(st->settings));
    HWND waiting = CreateDialogParamW(frame::Module().dialogResources, MAKEINTRESOURCEW(kPageCustomTabWaiting), page,
                                      CustomTabWaitingProc, static_cast<LPARAM>(st->settings.size()));
    if (waiting) SendMessageW(waiting, kCustomTabWaitingStep, st->settings.size(), 0);
    ShowRows(page);
    if (waiting) DestroyWindow(waiting);
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    auto* st = new PageState;
    st->file = FileOf(PageContext(page));
    SetPropW(page, kStateProp, st);
    Build(page);
    EnableWindow(GetDlgItem(page, kArrange), !st->file.empty());
    return 0;
}

void OnValueChosen(HWND page) {
    const Setting* s = Selected(page);
    OEMDEV* r = PageRecord(page);
    HWND box = GetDlgItem(page, kValue);
    const LRESULT sel = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (!s || !r || sel < 0) return;
    const auto value = static_cast<int32_t>(SendMessageW(box, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    const int32_t old = ItemValue(*r, *s->item);
    if (value == old) return;
    SetItemValue(*r, *s->item, value);
    // The check runs as the setting's own tab runs it: its rules, its questions.
    RecordPageId(page, s->home);
    const UINT_PTR answer = CheckConstraints(page, s->control);
    RecordPageId(page, kPage);
    if (CheckRestores(answer))
        SetItemValue(*r, *s->item, old);
    else if (ItemValue(*r, *s->item) != old)
        SetPageChanged(page);
    ShowRows(page);
}

void OnArrange(HWND page) {
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, page, kPageCustomTabSetting,
                                      CustomTabSettingDialogProc, reinterpret_cast<LPARAM>(PageContext(page)));
    if (r == IDOK) Build(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
    case kLeft:
    case kRight:
        if (code == LBN_SELCHANGE) {
            SendDlgItemMessageW(page, id == kLeft ? kRight : kLeft, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            ShowValueBox(page);
        }
        return true;
    case kValue:
        if (code == CBN_SELENDOK) OnValueChosen(page);
        return true;
    case kArrange:
        if (code == BN_CLICKED) OnArrange(page);
        return true;
    default:
        return false;
    }
}

// Other tabs may have changed the settings: the rows show them again.
void OnSetActive(HWND page) {
    ShowRows(page);
    ShowPageHints(page, PageContext(page), kPage);
}

void OnDestroy(HWND page) {
    delete static_cast<PageState*>(RemovePropW(page, kStateProp));
}

PageDef MakePageDef() {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.init = OnInitDialog;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.destroy = OnDestroy;
    return d;
}
const PageDef kPageDef = MakePageDef();

// ---- The arrangement dialog (231) ----

struct EditState {
    std::vector<Setting> settings;
    customtab::Editor editor;
    WString file;
};
const WCHAR kEditProp[] = WL("NovrixCustomTabEdit");

EditState* Edit(HWND dlg) {
    return static_cast<EditState*>(GetPropW(dlg, kEditProp));
}

constexpr int kColumnLists[] = {kAvailable, kSetLeft, kSetRight};

void ShowColumns(HWND dlg, customtab::Editor::Column keep = customtab::Editor::Available, int keepIndex = -1) {
    EditState* e = Edit(dlg);
    if (!e) return;
    for (int c = 0; c < 3; ++c) {
        HWND list = GetDlgItem(dlg, kColumnLists[c]);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (uint32_t control : e->editor.Items(static_cast<customtab::Editor::Column>(c))) {
            const Setting* s = Find(e->settings, control);
            const WString text = s ? s->label : WFormatString(WL("%u"), control);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    if (keepIndex >= 0) SendDlgItemMessageW(dlg, kColumnLists[keep], LB_SETCURSEL, static_cast<WPARAM>(keepIndex), 0);
}

// The column whose list has a selection, and the selected index.
bool Chosen(HWND dlg, customtab::Editor::Column* column, size_t* index) {
    for (int c = 0; c < 3; ++c) {
        const LRESULT sel = SendDlgItemMessageW(dlg, kColumnLists[c], LB_GETCURSEL, 0, 0);
        if (sel < 0) continue;
        *column = static_cast<customtab::Editor::Column>(c);
        *index = static_cast<size_t>(sel);
        return true;
    }
    return false;
}

INT_PTR OnEditInit(HWND dlg, LPARAM lParam) {
    auto* ctx = settings::ContextFromParam(lParam);
    std::vector<Setting> settings = OfferedSettings();
    const WString file = FileOf(ctx);
    const presets::CustomTabArrangement stored =
        file.empty() ? presets::CustomTabArrangement{} : presets::ReadCustomTabArrangement(file);
    auto* e = new EditState{settings, customtab::Editor(stored, Controls(settings)), file};
    SetPropW(dlg, kEditProp, e);
    ShowColumns(dlg);
    EnableWindow(GetDlgItem(dlg, IDOK), !file.empty() && settings::ContextMayApply(ctx) != 0);
    return TRUE;
}

bool OnEditCommand(HWND dlg, int id, UINT code) {
    EditState* e = Edit(dlg);
    if (!e) return false;
    using Column = customtab::Editor::Column;
    if (code == LBN_SELCHANGE) {
        for (int list : kColumnLists)
            if (list != id) SendDlgItemMessageW(dlg, list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return true;
    }
    if (code != BN_CLICKED) return false;
    Column column = Column::Available;
    size_t index = 0;
    const bool chosen = Chosen(dlg, &column, &index);
    switch (id) {
    case kToLeft:
    case kToRight: {
        const Column to = id == kToLeft ? Column::Left : Column::Right;
        if (chosen && column == Column::Available && e->editor.Place(index, to))
            ShowColumns(dlg, to, static_cast<int>(e->editor.Items(to).size()) - 1);
        return true;
    }
    case kRemove:
        if (chosen && e->editor.Remove(column, index)) ShowColumns(dlg);
        return true;
    case kUp:
    case kDown: {
        const int delta = id == kUp ? -1 : 1;
        if (chosen && e->editor.Move(column, index, delta)) ShowColumns(dlg, column, static_cast<int>(index) + delta);
        return true;
    }
    case IDOK:
        // A file that cannot be written keeps the dialog open: nothing was stored.
        if (!e->file.empty() && presets::WriteCustomTabArrangement(e->file, e->editor.Result())) EndDialog(dlg, IDOK);
        return true;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    default:
        return false;
    }
}

void OnEditDestroy(HWND dlg) {
    delete static_cast<EditState*>(RemovePropW(dlg, kEditProp));
}

PageDef MakeEditDef() {
    PageDef d{kPageCustomTabSetting, kStepCommonHook};
    d.kind = PageKind::Dialog;
    d.commonInit = false;
    d.init = OnEditInit;
    d.command = OnEditCommand;
    d.destroy = OnEditDestroy;
    return d;
}
const PageDef kEditDef = MakeEditDef();

}  // namespace

INT_PTR CALLBACK CustomTabPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kPageDef, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK CustomTabSettingDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kEditDef, hwnd, msg, wParam, lParam);
}

// The progress window: lParam of WM_INITDIALOG is the number of steps; the message
// kCustomTabWaitingStep moves the bar to the step in wParam (held to the range).
INT_PTR CALLBACK CustomTabWaitingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto steps = static_cast<int>(lParam < 0 ? 0 : lParam > 0x7FFFFFFF ? 0x7FFFFFFF : lParam);
        SendDlgItemMessageW(hwnd, kProgress, PBM_SETRANGE32, 0, steps);
        SendDlgItemMessageW(hwnd, kProgress, PBM_SETPOS, 0, 0);
        SetWindowLongPtrW(hwnd, DWLP_USER, steps);
        return TRUE;
    }
    case kCustomTabWaitingStep: {
        const auto steps = static_cast<WPARAM>(GetWindowLongPtrW(hwnd, DWLP_USER));
        SendDlgItemMessageW(hwnd, kProgress, PBM_SETPOS, wParam > steps ? steps : wParam, 0);
        return TRUE;
    }
    case WM_CLOSE:
        return TRUE;  // closed by the page that opened it, not by the person
    default:
        return FALSE;
    }
}

}  // namespace nvx::pages
