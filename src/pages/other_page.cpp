// The Other tab (page 187): e-mail notification at job end with its address, the
// presentation overlay, rectangle output, the blank page check with its ratio and
// colour value rounding with its threshold.  The procedure answers 0 to every
// message unless the build has the tab.
#include <iterator>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "features/option_record.h"
#include "features/paper_logic.h"
#include "features/ui_items.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "pages/hints.h"
#include "pages/other_logic.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/safe_format.h"
#include "settings/oemdev_template.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageOther;

enum : int {
    kRestore = 1032,
    kEmailNotify = 1218,
    kEmailAddress = 1880,
    kPptOverlay = 2261,
    kRectOut = 2527,
    kBlankIcon = 2596,
    kBlank = 2597,
    kBlankOp = 2598,
    kRoundOff = 3350,
    kThresholdLabel = 3351,
    kThreshold = 3352,
    kThresholdSpin = 3353,
    kThresholdRange = 3354,
    kEmailLabel = 3575,
    kBlankOpLabel = 3576,
};

constexpr unsigned kSlotCaption = 1;
constexpr unsigned kSlotOutOfRange = 2;
constexpr unsigned kSlotEmailAddress = 22;
constexpr unsigned kSlotThresholdRange = 23;

constexpr int kReadOnlyControls[] = {1131,  1132,     1133,     1134,       kEmailNotify, kEmailAddress, kPptOverlay,
                                     kRectOut, kBlank, kBlankOp, kRoundOff, kThreshold,   kThresholdSpin, kRestore};
constexpr int kChecks[] = {kEmailNotify, kPptOverlay, kRectOut, kBlank, kRoundOff};

int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

other::Enables Compute(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r) return {};
    other::SheetFacts facts;
    facts.documentMode = settings::ContextForm(PageContext(page)) != 2;
    return other::ComputeEnables(*r, other::ModelSwitches(), facts);
}

void Govern(HWND page, int control, bool allowed, int itemControl = 0) {
    HWND c = GetDlgItem(page, control);
    if (!c || constraints::ControlSwitchedOff(c)) return;
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(itemControl ? itemControl : control));
    const bool lockedByRule = item && item->state.disabled != 0;
    EnableWindow(c, allowed && !lockedByRule && settings::ContextMayApply(PageContext(page)) != 0);
}

void UpdateEnables(HWND page) {
    const other::Enables e = Compute(page);
    if (e.emailGoverned)
        for (int id : {kEmailAddress, kEmailLabel}) Govern(page, id, e.emailAddress, kEmailAddress);
    if (e.blankGoverned) {
        Govern(page, kBlank, !e.blankForbidden);
        for (int id : {kBlankOp, kBlankOpLabel}) Govern(page, id, e.blankRatio, kBlankOp);
        if (HWND icon = GetDlgItem(page, kBlankIcon); icon && !constraints::ControlSwitchedOff(icon)) {
            if (e.blankForbidden)
                SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
            ShowWindow(icon, e.blankForbidden ? SW_SHOWNA : SW_HIDE);
        }
    }
    if (e.roundGoverned) {
        Govern(page, kRoundOff, e.roundOff);
        for (int id : {kThresholdLabel, kThreshold, kThresholdSpin, kThresholdRange})
            Govern(page, id, e.threshold, kThreshold);
    }
    KeepControlsOff(page);
}

void ShowAll(HWND page) {
    Updating updating;
    ShowPageItems(page, kPage);
    if (HWND spin = GetDlgItem(page, kThresholdSpin); spin && PageRecord(page))
        SendMessageW(spin, UDM_SETPOS32, 0, settings::GetNumber(*PageRecord(page), "nRoundOffCol_ThresholdVal"));
    UpdateEnables(page);
}

void AfterChange(HWND page) {
    ShowAll(page);
    ShowPageHints(page, PageContext(page), kPage);
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
    const other::Switches sw = other::ModelSwitches();
    if (!sw.emailNotify) SwitchOffControl(page, kPage, kEmailNotify);
    if (!sw.chkBlankRatio) SwitchOffControl(page, kPage, kBlank);
    if (!sw.roundOff) SwitchOffControl(page, kPage, kRoundOff);
    const struct {
        int main;
        int others[4];
    } kCompanions[] = {{kEmailNotify, {kEmailAddress, kEmailLabel}},
                       {kBlank, {kBlankOp, kBlankOpLabel, kBlankIcon}},
                       {kRoundOff, {kThreshold, kThresholdLabel, kThresholdSpin, kThresholdRange}},
                       {kThreshold, {kThresholdLabel, kThresholdSpin, kThresholdRange}}};
    for (const auto& c : kCompanions)
        if (!Offered(page, c.main))
            for (int id : c.others)
                if (id) SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    KeepControlsOff(page);
}

// The model's range, inside what the one-byte field holds (all of it without one).
void ThresholdRange(int32_t* lo, int32_t* hi) {
    if (!features::ModelRange("RoundOffCol_ThresholdVal", lo, hi)) {
        *lo = 0;
        *hi = 255;
    }
    if (*lo < 0) *lo = 0;
    if (*hi > 255) *hi = 255;
}

void InitThreshold(HWND page) {
    int32_t lo, hi;
    ThresholdRange(&lo, &hi);
    HWND spin = GetDlgItem(page, kThresholdSpin);
    SendMessageW(GetDlgItem(page, kThreshold), EM_LIMITTEXT, WFormatString(WL("%d"), hi).size(), 0);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, kThreshold)), 0);
    SendMessageW(spin, UDM_SETBASE, 10, 0);
    SendMessageW(spin, UDM_SETRANGE32, lo, hi);
    WCHAR format[64] = {};
    GetDlgItemTextW(page, kThresholdRange, format, 64);
    SetDlgItemTextW(page, kThresholdRange, FormatNumbers(format, lo, hi).c_str());
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    Updating updating;
    InitThreshold(page);
    ApplyAvailability(page);
    ShowAll(page);
    return 0;
}

// ---- Changes ----

void OnCheck(HWND page, int control) {
    const bool on = SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ChangeItem(page, kPage, static_cast<uint32_t>(control), on ? 1 : 0);
    AfterChange(page);
}

void OnBlankRatio(HWND page) {
    HWND combo = GetDlgItem(page, kBlankOp);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    ChangeItem(page, kPage, kBlankOp,
               static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0)));
    AfterChange(page);
}

WString EditText(HWND edit) {
    const int n = GetWindowTextLengthW(edit);
    if (n <= 0) return {};
    std::vector<WCHAR> buf(static_cast<size_t>(n) + 1);
    GetWindowTextW(edit, buf.data(), n + 1);
    return WString(buf.data());
}

// Every text update: the address is cut to its 128 bytes (written back with the
// caret kept) and stored.
void OnEmailText(HWND page) {
    OEMDEV* r = PageRecord(page);
    HWND edit = GetDlgItem(page, kEmailAddress);
    if (!r || !edit) return;
    bool cut = false;
    const WString text = other::CutEmailAddress(EditText(edit), &cut);
    if (cut) {
        DWORD from = 0, to = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        {
            Updating updating;
            SetWindowTextW(edit, text.c_str());
        }
        const DWORD len = static_cast<DWORD>(text.size());
        SendMessageW(edit, EM_SETSEL, from < len ? from : len, to < len ? to : len);
    }
    const settings::FieldRef field = settings::FindField("szEmailAddress");
    if (settings::GetText(*r, field) == text) return;
    settings::SetText(*r, field, text);
    SetPageChanged(page);
}

// False (with the message, the focus in the box) when notification is on and the
// address is not one the device can send to (on a sheet that may apply changes).
bool CheckEmail(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r || !Offered(page, kEmailNotify) || settings::GetNumber(*r, "bEmailNotify") == 0) return true;
    // A sheet that may not change the settings cannot mend them either.
    if (settings::ContextMayApply(PageContext(page)) == 0) return true;
    const WString text = settings::GetText(*r, settings::FindField("szEmailAddress"));
    if (other::CheckEmailAddress(text) == other::EmailCheck::Ok) return true;
    MessageBoxW(page, Slot(kSlotEmailAddress).c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(page, kEmailAddress));
    return false;
}

// The threshold as typed: stored while it reads as a number of the range.
void OnThresholdText(HWND page) {
    OEMDEV* r = PageRecord(page);
    BOOL ok = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(page, kThreshold, &ok, TRUE));
    int32_t lo, hi;
    ThresholdRange(&lo, &hi);
    if (!r || !ok || typed < lo || typed > hi) return;
    if (settings::GetNumber(*r, "nRoundOffCol_ThresholdVal") == typed) return;
    settings::SetNumber(*r, "nRoundOffCol_ThresholdVal", typed);
    SendMessageW(GetDlgItem(page, kThresholdSpin), UDM_SETPOS32, 0, typed);
    SetPageChanged(page);
}

bool CheckThreshold(HWND page) {
    if (!Offered(page, kThreshold) || !IsWindowEnabled(GetDlgItem(page, kThreshold))) return true;
    int32_t lo, hi;
    ThresholdRange(&lo, &hi);
    BOOL ok = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(page, kThreshold, &ok, TRUE));
    if (ok && typed >= lo && typed <= hi) return true;
    const WString text = FormatNumbers(Slot(kSlotOutOfRange) + Slot(kSlotThresholdRange), lo, hi);
    MessageBoxW(page, text.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (const OEMDEV* r = PageRecord(page)) {
        Updating updating;
        SetDlgItemInt(page, kThreshold, static_cast<UINT>(settings::GetNumber(*r, "nRoundOffCol_ThresholdVal")), TRUE);
    }
    SetFocus(GetDlgItem(page, kThreshold));
    return false;
}

void OnRestoreDefaults(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    const OEMDEV& defaults = settings::DefaultTemplate();
    bool changed = false;
    for (size_t i = 0; i < other::kDefaultFieldCount; ++i) {
        const char* name = other::kDefaultFields[i];
        const int32_t v = settings::GetNumber(defaults, name);
        if (settings::GetNumber(*r, name) == v) continue;
        settings::SetNumber(*r, name, v);
        changed = true;
    }
    const settings::FieldRef address = settings::FindField("szEmailAddress");
    if (!settings::GetText(*r, address).empty()) {
        settings::SetText(*r, address, WString());
        changed = true;
    }
    if (!changed) return;
    SetPageChanged(page);
    CheckConstraints(page, 0);
    AfterChange(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    if (!PageRecord(page)) return false;
    for (int c : kChecks)
        if (id == c) {
            if (code == BN_CLICKED && !g_updating) OnCheck(page, id);
            return true;
        }
    switch (id) {
    case kBlankOp:
        if (code == CBN_SELENDOK && !g_updating) OnBlankRatio(page);
        return true;
    case kEmailAddress:
        if (code == EN_CHANGE && !g_updating && !PageInitializing()) OnEmailText(page);
        return true;
    case kThreshold:
        if (code == EN_CHANGE && !g_updating && !PageInitializing() && !CheckRunning())
            OnThresholdText(page);
        else if (code == EN_KILLFOCUS && !g_updating)
            CheckThreshold(page);
        return true;
    case kRestore:
        if (code == BN_CLICKED) OnRestoreDefaults(page);
        return true;
    default:
        return false;
    }
}

void OnSetActive(HWND page) {
    auto* ctx = PageContext(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 1);
    if (!settings::InCustomPage(ctx)) CheckConstraints(page, 0);
    ShowPageHints(page, ctx, kPage);
    ShowAll(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 0);
}

bool OnKillActive(HWND page) {
    return CheckEmail(page) && CheckThreshold(page);
}

PageDef MakeDef() {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    d.apply = OnKillActive;
    return d;
}

const PageDef kOther = MakeDef();

}  // namespace

INT_PTR CALLBACK OtherPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant("OTHERTAB_ENABLE") == 0) return 0;
    return RunPage(kOther, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
