// The Layout tab (page 101): pages per sheet and posters, page combination, print
// type and booklets, binding edge and margin, image shift, print position,
// rotation, blank-page saving, chapter pages and the tab-paper image shift.
#include <cstring>
#include <iterator>

#include "common/text.h"
#include "constraints/engine.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/paper_logic.h"
#include "features/switch_ids.h"
#include "features/ui_items.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "pages/hints.h"
#include "pages/layout_dialogs.h"
#include "pages/layout_logic.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "settings/oemdev_template.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageLayout;

enum : int {
    kRestore = 1032,
    kChapterLabel = 1035,
    kNupOp = 1025,
    kCombinationOp = 1031,
    kBindingEdge = 1046,
    kBindingEdgeLabel = 1049,
    kBindingDetails = 1052,
    kNupDetails = 1124,
    kBookletDetails = 1128,
    kChapterList = 1147,
    kPrintPosition = 1204,
    kImageShiftDetails = 1212,
    kAdhesive = 1230,
    kPrintType = 1286,
    kBindingShift = 1288,
    kRotate = 1289,
    kSkipBlank = 1290,
    kImageShift = 1291,
    kChapter = 1294,
    kCombination = 1296,
    kNup = 1779,
    kTabShift = 2306,
    kTabShiftDetails = 2307,
};

// Controls a sheet that may not apply disables, in this order.
constexpr int kReadOnlyControls[] = {1235, 1123, 1130,        1131,     1132,      1133,        1134,       kNup,
                                     kNupOp, 1065, kPrintType, kAdhesive, kBindingEdgeLabel, kBindingEdge,
                                     kBindingShift, kRotate, kSkipBlank, kImageShift, kPrintPosition, kChapter,
                                     kChapterLabel, kChapterList, kTabShift, kRestore};

constexpr int kChecks[] = {kNup, kCombination, kRotate, kSkipBlank, kChapter, kAdhesive, kBindingShift, kImageShift,
                           kTabShift};
constexpr int kDropDowns[] = {kNupOp, kCombinationOp, kPrintType, kBindingEdge};

// Set while the page writes its own controls.
int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

OEMDEV* Record(HWND page) {
    return PageRecord(page);
}

int32_t Field(HWND page, const char* name) {
    const OEMDEV* r = Record(page);
    return r ? settings::GetNumber(*r, name) : 0;
}

bool ModelSwitchOn(features::SwitchId id) {
    const auto* model = model::Loaded().tables.record;
    return model && model->switches.On(id);
}

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

// ---- Showing ----

void ShowChapterText(HWND page) {
    const OEMDEV* r = Record(page);
    HWND box = GetDlgItem(page, kChapterList);
    if (!r || !box) return;
    const WString stored = settings::GetText(*r, settings::FindField("szChapterPage"));
    WCHAR shown[1024] = {};
    GetWindowTextW(box, shown, 1024);
    if (stored != shown) SetWindowTextW(box, stored.c_str());
}

// Enables a governed control when the settings allow it, the model offers it, the
// constraint engine has not disabled its item and the sheet may apply changes.
void Govern(HWND page, int control, bool allowed, int itemControl = 0) {
    HWND c = GetDlgItem(page, control);
    if (!c || constraints::ControlSwitchedOff(c)) return;
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(itemControl ? itemControl : control));
    const bool lockedByRule = item && item->state.disabled != 0;
    const bool mayApply = settings::ContextMayApply(PageContext(page)) != 0;
    EnableWindow(c, allowed && !lockedByRule && mayApply);
}

void UpdateEnables(HWND page) {
    OEMDEV* r = Record(page);
    if (!r) return;
    const layout::Switches sw = layout::ModelSwitches();
    if (layout::ClearBindingMarginForBooklet(*r, sw)) {
        Updating updating;
        SendMessageW(GetDlgItem(page, kBindingShift), BM_SETCHECK, BST_UNCHECKED, 0);
        SetPageChanged(page);
    }
    const layout::Enables e = layout::ComputeEnables(*r, sw);
    Govern(page, kNupOp, e.nupLayout);
    Govern(page, kNupDetails, e.nupLayout);
    Govern(page, kCombinationOp, e.combinationLayout);
    Govern(page, kBookletDetails, e.bookletDetails);
    Govern(page, kBindingShift, e.binding);
    Govern(page, kBindingEdge, e.binding);
    Govern(page, kBindingEdgeLabel, e.binding, kBindingEdge);
    Govern(page, kBindingDetails, e.bindingDetails);
    Govern(page, kImageShiftDetails, e.imageShiftDetails);
    Govern(page, kChapterList, e.chapterList, kChapter);
    Govern(page, kChapterLabel, e.chapterList, kChapter);
    Govern(page, kTabShiftDetails, e.tabShiftDetails);
    KeepControlsOff(page);
}

void ShowAll(HWND page) {
    Updating updating;
    ShowPageItems(page, kPage);
    ShowChapterText(page);
    UpdateEnables(page);
}

// ---- WM_INITDIALOG ----

// The buttons that open the page's dialogs, with the model switch that offers them.
struct DialogButton {
    int control;
    int feature;  // the check box whose feature the button details (0: none)
    bool (*offered)();
};

bool ImageShiftDialogExists() {
    return frame::AskVariant("_DLG_IMGSHIFT_DISABLE") == 0;
}

const DialogButton kDialogButtons[] = {
    {kNupDetails, kNup, [] { return true; }},
    {kBookletDetails, 0, [] { return ModelSwitchOn(features::kSw_BookletPrint); }},
    {kBindingDetails, kBindingShift, [] { return true; }},
    {kImageShiftDetails, kImageShift, ImageShiftDialogExists},
    {kPrintPosition, 0, [] { return ModelSwitchOn(features::kSw_PrintPosition); }},
    {kTabShiftDetails, kTabShift, [] { return true; }},
};

void ApplyAvailability(HWND page) {
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(kPage) || item.type == features::kUiButton) continue;
            if (!GetDlgItem(page, static_cast<int>(item.control))) continue;
            // A control without a settings field would change nothing: it is not offered.
            if (!ItemOffered(&item) || !item.state.field) SwitchOffControl(page, kPage, item.control);
        }
    if (!Offered(page, kBindingEdge)) SwitchOffControl(page, kPage, kBindingEdgeLabel);
    if (!Offered(page, kChapter)) {
        SwitchOffControl(page, kPage, kChapterList);
        SwitchOffControl(page, kPage, kChapterLabel);
    }
    for (const DialogButton& b : kDialogButtons) {
        const bool featureShown = b.feature == 0 || Offered(page, b.feature);
        if (!featureShown || !b.offered() || !LayoutDialogAvailable(b.control))
            SwitchOffControl(page, kPage, static_cast<uint32_t>(b.control));
    }
    KeepControlsOff(page);
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    Updating updating;
    const auto* model = model::Loaded().tables.record;
    const int limit = layout::ChapterTextLimit(model ? model->switches[features::kSw_ChapterMaxCnt] : 0);
    SendMessageW(GetDlgItem(page, kChapterList), EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    ApplyAvailability(page);
    ShowAll(page);
    LayoutForViewState(page, kPage);
    return 0;
}

// ---- Changes ----

int32_t SelectedData(HWND page, int control) {
    HWND combo = GetDlgItem(page, control);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return -1;
    return static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
}

// What every change does after the check: the second whole-sheet check some
// features ask for, the corrections of a booklet, the enable states.
void AfterChange(HWND page, int control, UINT_PTR result) {
    if (CheckRestores(result)) {
        UpdateEnables(page);
        return;
    }
    if (control == kCombination || control == kPrintType || control == kAdhesive) CheckConstraints(page, 0);
    if (control == kPrintType)
        if (OEMDEV* r = Record(page); r && layout::BackCoverFollowsFront(*r, layout::ModelSwitches()))
            SetPageChanged(page);
    ShowAll(page);
    ShowPageHints(page, PageContext(page), kPage);
}

void OnCheck(HWND page, int control) {
    const bool on = SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    AfterChange(page, control, ChangeItem(page, kPage, static_cast<uint32_t>(control), on ? 1 : 0));
}

void OnDropDown(HWND page, int control) {
    const int32_t value = SelectedData(page, control);
    if (value < 0) return;
    AfterChange(page, control, ChangeItem(page, kPage, static_cast<uint32_t>(control), value));
}

// The chapter page list: kept as the ANSI code page can hold it, at most 511 bytes.
void OnChapterText(HWND page) {
    OEMDEV* r = Record(page);
    HWND box = GetDlgItem(page, kChapterList);
    if (!r || !box) return;
    const int length = GetWindowTextLengthW(box);
    WString typed(static_cast<size_t>(length) + 1, 0);
    GetWindowTextW(box, typed.data(), length + 1);
    typed.resize(static_cast<size_t>(length));
    bool cut = false;
    const WString kept = layout::ChapterText(typed, &cut);
    if (cut) {
        Updating updating;
        DWORD start = 0, end = 0;
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        SetWindowTextW(box, kept.c_str());
        const DWORD n = static_cast<DWORD>(kept.size());
        SendMessageW(box, EM_SETSEL, start < n ? start : n, end < n ? end : n);
    }
    const settings::FieldRef field = settings::FindField("szChapterPage");
    if (settings::GetText(*r, field) == kept) return;
    settings::SetText(*r, field, kept);
    SetPageChanged(page);
}

// Restore defaults: the page's settings from the default settings record.
constexpr const char* kDefaultFields[] = {"bNup",           "nNup",         "nDuplex",       "bMusenToji",
                                          "bBinding",       "nBinding",     "bRotate180",    "bStopBlankPaper",
                                          "bImgShift",      "bChapterMode", "bTABImageShift", "nPageLayout",
                                          "bNupBorder_ui",  "bPageBorder",  "nPosterMarginLine", "bBookletBorder"};

void OnRestoreDefaults(HWND page) {
    OEMDEV* r = Record(page);
    if (!r) return;
    const OEMDEV& defaults = settings::DefaultTemplate();
    bool changed = false;
    for (const char* name : kDefaultFields) {
        const int32_t v = settings::GetNumber(defaults, name);
        if (settings::GetNumber(*r, name) == v) continue;
        settings::SetNumber(*r, name, v);
        changed = true;
    }
    const settings::FieldRef chapter = settings::FindField("szChapterPage");
    if (settings::GetText(*r, chapter) != settings::GetText(defaults, chapter)) {
        settings::SetText(*r, chapter, settings::GetText(defaults, chapter));
        changed = true;
    }
    if (!changed) return;
    SetPageChanged(page);
    CheckConstraints(page, 0);
    ShowAll(page);
    ShowPageHints(page, PageContext(page), kPage);
}

void OnDialogButton(HWND page, int control) {
    const LayoutDialogResult result = RunLayoutDialog(page, control);
    if (result == LayoutDialogResult::NotShown) return;
    if (result == LayoutDialogResult::Ok) {
        // The dialog ran its changes through the checks already (the N-up layout it
        // shares with the page included): the page shows them and is changed.
        SetPageChanged(page);
    } else if (control == kNupDetails) {
        // The record is back as it was: the page's marks follow it again.
        CheckConstraints(page, 0);
    }
    ShowAll(page);
    ShowPageHints(page, PageContext(page), kPage);
}

bool OnCommand(HWND page, int id, UINT code) {
    if (!Record(page)) return false;
    for (int c : kChecks)
        if (id == c) {
            if (code == BN_CLICKED) OnCheck(page, id);
            return true;
        }
    for (int c : kDropDowns)
        if (id == c) {
            if (code == CBN_SELENDOK) OnDropDown(page, id);
            return true;
        }
    for (const DialogButton& b : kDialogButtons)
        if (id == b.control) {
            if (code == BN_CLICKED) OnDialogButton(page, id);
            return true;
        }
    if (id == kChapterList) {
        if (code == EN_CHANGE && !g_updating && !PageInitializing()) OnChapterText(page);
        return true;
    }
    if (id == kRestore) {
        if (code == BN_CLICKED) OnRestoreDefaults(page);
        return true;
    }
    return false;
}

// ---- Notifications ----

void OnSetActive(HWND page) {
    auto* ctx = PageContext(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 1);
    if (!settings::InCustomPage(ctx)) CheckConstraints(page, 0);
    ShowPageHints(page, ctx, kPage);
    ShowAll(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 0);
}

bool TwoState(HWND page, const char* field) {
    const int32_t v = Field(page, field);
    return v == 0 || v == 1;
}

bool ListValue(HWND page, int control) {
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(control));
    const OEMDEV* r = Record(page);
    if (!item || !r || !item->state.field) return true;
    return features::FindValue(item->options, ItemValue(*r, *item)) != nullptr;
}

struct Validity {
    int control;
    bool (*ok)(HWND page);
};

// The page's settings in the order PSN_KILLACTIVE reads them; a control the model
// does not offer is not checked.
const Validity kValidity[] = {
    {kNup, [](HWND p) { return TwoState(p, "bNup"); }},
    {kNupOp, [](HWND p) { return ListValue(p, kNupOp); }},
    {kCombination, [](HWND) { return true; }},
    {kCombinationOp, [](HWND p) { return ListValue(p, kCombinationOp); }},
    {kPrintType, [](HWND p) { return ListValue(p, kPrintType); }},
    {kBindingShift, [](HWND p) { return TwoState(p, "bBinding"); }},
    {kRotate, [](HWND p) { return TwoState(p, "bRotate180"); }},
    {kSkipBlank, [](HWND p) { return TwoState(p, "bStopBlankPaper"); }},
    {kChapter, [](HWND p) { return TwoState(p, "bChapterMode"); }},
};

bool OnKillActive(HWND page) {
    OEMDEV* r = Record(page);
    if (!r) return true;
    auto* ctx = PageContext(page);
    settings::WorkSet(ctx, settings::work::kValidating, 1);
    for (const Validity& v : kValidity) {
        if (!Offered(page, v.control) || v.ok(page)) continue;
        SetFocus(GetDlgItem(page, v.control));
        ShowAll(page);
        settings::WorkSet(ctx, settings::work::kValidating, 0);
        return false;
    }
    if (Offered(page, kChapterList)) OnChapterText(page);
    layout::NormaliseArrangement(*r, layout::ModelSwitches());
    settings::WorkSet(ctx, settings::work::kValidating, 0);
    return true;
}

bool OnApply(HWND page) {
    if (OEMDEV* r = Record(page)) layout::NormaliseArrangement(*r, layout::ModelSwitches());
    return true;
}

const PageDef kLayoutPage = [] {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    d.apply = OnApply;
    return d;
}();

}  // namespace

INT_PTR CALLBACK LayoutPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kLayoutPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
