// The Finishing tab (page 110): stapling, punching, centre stapling and erase,
// folding, trimming, output tray and order, divided output, pile mode, tandem
// output, perfect binding and paper arrangement.  Two procedures show it: the
// second type answers in this build, the first only under its own switch; each
// answers 0 to every message when its switch is off.
#include <iterator>

#include "common/text.h"
#include "constraints/engine.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/switch_ids.h"
#include "features/ui_items.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "model/numeric_ranges.h"
#include "pages/finishing_logic.h"
#include "pages/hints.h"
#include "pages/layout_dialogs.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/safe_format.h"
#include "settings/oemdev_template.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageFinishing;

enum : int {
    kSetsLabel = 1021,
    kStaple = 1026,
    kPunch = 1029,
    kRestore = 1032,
    kFold = 1037,
    kTrim = 1044,
    kStapleOp = 1047,
    kPunchOp = 1050,
    kFoldOp = 1053,
    kTandem = 1055,
    kOutputOrderLabel = 1142,
    kOutputOrder = 1144,
    kOutputTrayLabel = 1177,
    kOutputTray = 1179,
    kDivide = 1182,
    kPile = 1183,
    kSets = 1184,
    kSetsSpin = 1185,
    kSetsRange = 1186,
    kArrangementLabel = 2117,
    kArrangement = 2118,
    kPerfectBinding = 2304,
    kPerfectBindingDetails = 2305,
    kCenterStaple = 1780,
    kCenterErase = 1781,
    kFoldPagesLabel = 3355,
    kFoldPages = 3356,
    kFoldPagesSpin = 3357,
    kFoldPagesRange = 3358,
};

constexpr unsigned kSlotCaption = 1;
constexpr unsigned kSlotOutOfRange = 2;
constexpr unsigned kSlotFoldPagesRange = 19;

constexpr int kReadOnlyControls[] = {1235,    1123,        1130,        1131,       1132,     1133,          1134,
                                     kStaple, kStapleOp,   kPunch,      kPunchOp,   kCenterStaple, kCenterErase,
                                     kFold,   kFoldOp,     kTrim,       kDivide,    kSetsLabel,    kSets,
                                     kSetsRange, kFoldPages, kFoldPagesSpin, kOutputTrayLabel, kOutputTray,
                                     kOutputOrderLabel, kOutputOrder, kPile, kTandem, kPerfectBinding,
                                     kArrangementLabel, kArrangement, kRestore};

constexpr int kChecks[] = {kStaple, kPunch, kCenterStaple, kCenterErase, kFold,
                           kTrim,   kDivide, kPile,        kTandem,      kPerfectBinding};
constexpr int kDropDowns[] = {kStapleOp, kPunchOp, kFoldOp, kOutputOrder, kOutputTray, kArrangement};
// What the first type of the page handles.
constexpr int kType1Controls[] = {kStaple,      kPunch,     kCenterStaple, kCenterErase, kStapleOp,
                                  kPunchOp,     kOutputOrder, kOutputTray, kRestore,     1133, 1134};

int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

OEMDEV* Record(HWND page) {
    return PageRecord(page);
}

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

void Govern(HWND page, int control, bool allowed, int itemControl = 0) {
    HWND c = GetDlgItem(page, control);
    if (!c || constraints::ControlSwitchedOff(c)) return;
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(itemControl ? itemControl : control));
    const bool lockedByRule = item && item->state.disabled != 0;
    EnableWindow(c, allowed && !lockedByRule && settings::ContextMayApply(PageContext(page)) != 0);
}

void UpdateEnables(HWND page) {
    const OEMDEV* r = Record(page);
    if (!r) return;
    const finishing::Enables e = finishing::ComputeEnables(*r, finishing::ModelSwitches());
    Govern(page, kStapleOp, e.stapleOp);
    Govern(page, kPunchOp, e.punchOp);
    Govern(page, kFoldOp, e.foldOp);
    for (int id : {kSets, kSetsSpin, kSetsLabel, kSetsRange}) Govern(page, id, e.sets, kSets);
    Govern(page, kPerfectBindingDetails, e.perfectBindingDetails);
    if (e.foldPagesGoverned)
        for (int id : {kFoldPagesLabel, kFoldPages, kFoldPagesSpin, kFoldPagesRange}) Govern(page, id, e.foldPages, kFoldPages);
    KeepControlsOff(page);
}

void ShowAll(HWND page) {
    Updating updating;
    ShowPageItems(page, kPage);
    if (HWND spin = GetDlgItem(page, kFoldPagesSpin); spin && Record(page))
        SendMessageW(spin, UDM_SETPOS32, 0, settings::GetNumber(*Record(page), "nFoldPageNum"));
    UpdateEnables(page);
}

// ---- WM_INITDIALOG ----

void ApplyAvailability(HWND page) {
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(kPage) || item.type == features::kUiButton) continue;
            if (!GetDlgItem(page, static_cast<int>(item.control))) continue;
            if (!ItemOffered(&item) || !item.state.field) SwitchOffControl(page, kPage, item.control);
        }
    // What details a control the model does not offer goes with it (a position list
    // with its check box, labels and spin controls with their box), in this order.
    const struct {
        int main;
        int others[3];
    } kCompanions[] = {{kStaple, {kStapleOp}},
                       {kPunch, {kPunchOp}},
                       {kFold, {kFoldOp, kFoldPages}},
                       {kFoldPages, {kFoldPagesSpin, kFoldPagesLabel, kFoldPagesRange}},
                       {kOutputTray, {kOutputTrayLabel}},
                       {kOutputOrder, {kOutputOrderLabel}},
                       {kArrangement, {kArrangementLabel}},
                       {kDivide, {kSets}},
                       {kSets, {kSetsSpin, kSetsLabel, kSetsRange}}};
    for (const auto& c : kCompanions)
        if (!Offered(page, c.main))
            for (int id : c.others)
                if (id) SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    if (!Offered(page, kPerfectBinding) || !LayoutDialogAvailable(kPerfectBindingDetails))
        SwitchOffControl(page, kPage, kPerfectBindingDetails);
    KeepControlsOff(page);
}

// The pages-per-fold box: as many digits as its larger bound, the spin control
// over the model's range, the range in its label.
void InitFoldPages(HWND page) {
    int32_t lo, hi;
    finishing::FoldPageRange(&lo, &hi);
    const WString digits = WFormatString(WL("%d"), hi);
    SendMessageW(GetDlgItem(page, kFoldPages), EM_LIMITTEXT, digits.size(), 0);
    HWND spin = GetDlgItem(page, kFoldPagesSpin);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, kFoldPages)), 0);
    SendMessageW(spin, UDM_SETBASE, 10, 0);
    SendMessageW(spin, UDM_SETRANGE32, lo, hi);
    WCHAR format[64] = {};
    GetDlgItemTextW(page, kFoldPagesRange, format, 64);
    SetDlgItemTextW(page, kFoldPagesRange, FormatNumbers(format, lo, hi).c_str());
}

// The sets-per-division range label (the box itself has no settings field here).
void InitSets(HWND page) {
    const model::NumericRange& r = model::Loaded().tables.ranges[model::RangeId::DivideFinish];
    WCHAR format[64] = {};
    GetDlgItemTextW(page, kSetsRange, format, 64);
    SetDlgItemTextW(page, kSetsRange, FormatNumbers(format, r.first, r.second).c_str());
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    Updating updating;
    InitFoldPages(page);
    InitSets(page);
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

void AfterChange(HWND page) {
    ShowAll(page);
    ShowPageHints(page, PageContext(page), kPage);
}

void OnCheck(HWND page, int control) {
    const bool on = SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ChangeItem(page, kPage, static_cast<uint32_t>(control), on ? 1 : 0);
    AfterChange(page);
}

void OnDropDown(HWND page, int control) {
    const int32_t value = SelectedData(page, control);
    if (value < 0) return;
    ChangeItem(page, kPage, static_cast<uint32_t>(control), value);
    AfterChange(page);
}

// Pages per fold: the typed number is stored as it is typed (the spin control
// follows); a number outside the range is refused when the box is left.
void OnFoldPagesText(HWND page) {
    OEMDEV* r = Record(page);
    BOOL ok = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(page, kFoldPages, &ok, TRUE));
    if (!r || !ok || typed < -32768 || typed > 32767) return;
    if (settings::GetNumber(*r, "nFoldPageNum") == typed) return;
    settings::SetNumber(*r, "nFoldPageNum", typed);
    int32_t lo, hi;
    finishing::FoldPageRange(&lo, &hi);
    if (typed >= lo && typed <= hi) SendMessageW(GetDlgItem(page, kFoldPagesSpin), UDM_SETPOS32, 0, typed);
    SetPageChanged(page);
}

// True when the box holds a number of its range; otherwise the message is shown,
// the stored value put back (`restore`) and the focus returned to the box.
bool CheckFoldPages(HWND page, int32_t restore) {
    int32_t lo, hi;
    finishing::FoldPageRange(&lo, &hi);
    BOOL ok = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(page, kFoldPages, &ok, TRUE));
    if (ok && typed >= lo && typed <= hi) return true;
    const WString text = FormatNumbers(Slot(kSlotOutOfRange) + Slot(kSlotFoldPagesRange), lo, hi);
    MessageBoxW(page, text.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (OEMDEV* r = Record(page)) settings::SetNumber(*r, "nFoldPageNum", restore);
    {
        Updating updating;
        SetDlgItemInt(page, kFoldPages, static_cast<UINT>(restore), TRUE);
    }
    SetFocus(GetDlgItem(page, kFoldPages));
    return false;
}

const WCHAR kFoldPagesBeforeProp[] = WL("NovrixFoldPagesBefore");

void OnFoldPagesLeft(HWND page) {
    const auto before = static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropW(page, kFoldPagesBeforeProp)));
    if (!CheckFoldPages(page, before)) return;
    if (CheckRestores(CheckConstraints(page, kFoldPages))) {
        if (OEMDEV* r = Record(page)) settings::SetNumber(*r, "nFoldPageNum", before);
        ShowAll(page);
        SetFocus(GetDlgItem(page, kFoldPages));
        return;
    }
    AfterChange(page);
}

constexpr const char* kDefaultFields[] = {"bStaple", "nStapleMode",   "bPunch",          "nPunchNum", "bCenterStapleFold",
                                          "bCenterErase", "bFolding", "nFoldingMode",    "bTrim",     "nOutBin",
                                          "bPileMode",    "bTandem",  "bPerfectBinding", "bPaperArrangement",
                                          "nFoldPageNum"};

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
    if (!changed) return;
    SetPageChanged(page);
    CheckConstraints(page, 0);
    AfterChange(page);
}

void OnPerfectBinding(HWND page) {
    if (RunLayoutDialog(page, kPerfectBindingDetails) == LayoutDialogResult::Ok) SetPageChanged(page);
    AfterChange(page);
}

bool HandleCommand(HWND page, int id, UINT code) {
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
    switch (id) {
    case kFoldPages:
        if (code == EN_SETFOCUS)
            SetPropW(page, kFoldPagesBeforeProp,
                     reinterpret_cast<HANDLE>(static_cast<intptr_t>(settings::GetNumber(*Record(page), "nFoldPageNum"))));
        else if (code == EN_CHANGE && !g_updating && !PageInitializing() && !CheckRunning())
            OnFoldPagesText(page);
        else if (code == EN_KILLFOCUS && !g_updating)
            OnFoldPagesLeft(page);
        return true;
    case kPerfectBindingDetails:
        if (code == BN_CLICKED) OnPerfectBinding(page);
        return true;
    case kRestore:
        if (code == BN_CLICKED) OnRestoreDefaults(page);
        return true;
    default:
        return false;
    }
}

bool OnCommandType2(HWND page, int id, UINT code) {
    return HandleCommand(page, id, code);
}

bool OnCommandType1(HWND page, int id, UINT code) {
    for (int c : kType1Controls)
        if (c == id) return HandleCommand(page, id, code);
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

bool OnKillActive(HWND page) {
    const OEMDEV* r = Record(page);
    if (!r) return true;
    // The list values and the two-state settings of the offered controls.
    for (int id : kChecks) {
        if (!Offered(page, id)) continue;
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(id));
        const int32_t v = item ? ItemValue(*r, *item) : 0;
        if (v == 0 || v == 1) continue;
        SetFocus(GetDlgItem(page, id));
        return false;
    }
    for (int id : kDropDowns) {
        if (!Offered(page, id)) continue;
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(id));
        if (!item || features::FindValue(item->options, ItemValue(*r, *item))) continue;
        SetFocus(GetDlgItem(page, id));
        return false;
    }
    if (Offered(page, kFoldPages) && IsWindowEnabled(GetDlgItem(page, kFoldPages)))
        return CheckFoldPages(page, settings::GetNumber(settings::DefaultTemplate(), "nFoldPageNum"));
    return true;
}

void OnDestroy(HWND page) {
    RemovePropW(page, kFoldPagesBeforeProp);
}

PageDef MakeDef(bool (*command)(HWND, int, UINT)) {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = command;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    d.destroy = OnDestroy;
    return d;
}

const PageDef kType2 = MakeDef(OnCommandType2);
const PageDef kType1 = MakeDef(OnCommandType1);

}  // namespace

INT_PTR CALLBACK FinishingPageProcType2(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant("_PRP_FINISHER_TYPE2") == 0) return 0;
    return RunPage(kType2, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK FinishingPageProcType1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant("_PRP_FINISHER_TYPE1") == 0) return 0;
    return RunPage(kType1, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
