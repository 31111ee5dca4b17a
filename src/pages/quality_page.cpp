// The Quality tab (page 196 in this build; 105 in the colour build) and its font
// dialog (121): resolution, image compression, pattern, toner save, draft,
// smoothing and thinning with their levels, print with black and its scope, the
// font download and substitution settings.  Three procedures carry the tab; each
// answers 0 to every message outside its own variant.
#include <cstring>
#include <iterator>

#include "common/ansi.h"
#include "common/text.h"
#include "constraints/engine.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/switch_ids.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/variant_switches.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_identity.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/quality_logic.h"
#include "settings/oemdev_template.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

enum : int {
    kTonerSave = 1009,
    kResolution = 1013,
    kRestore = 1032,
    kAdjustment = 1295,
    kCompression = 1300,
    kFonts = 1301,
    kPattern = 1307,
    kSmoothing = 2344,
    kSmoothingOp = 2345,
    kDraftGroup = 2349,
    kDraft = 2350,
    kThinning = 2352,
    kThinningOp = 2353,
    kPrintBlack = 2355,
    kPrintBlackOp = 2356,
    kCompressionLabel = 2544,
    kResolutionLabel = 3569,
    kPatternLabel = 3570,
    kSmoothingOpLabel = 3571,
    kThinningOpLabel = 3572,
    kPrintBlackOpLabel = 3573,
};

// The font dialog's controls.
enum : int {
    kFontPrinter = 1283,
    kFontDownload = 1491,
    kFontSubstitute = 1492,
    kFontTableFirst = 1493,  // 1493 ... 1498: the table's group, list and labels
    kFontTable = 1494,
    kFontTableLast = 1498,
    kFontTrueType = 1499,
    kFontTableNote = 1500,
};

constexpr int kReadOnlyControls[] = {1131,     1132,        1133,       1134,      kResolution, kCompression,
                                     kPattern, kTonerSave,  kDraft,     kSmoothing, kSmoothingOp, kThinning,
                                     kThinningOp, kPrintBlack, kPrintBlackOp, kAdjustment, kRestore};
constexpr int kChecks[] = {kTonerSave, kSmoothing, kDraft, kThinning, kPrintBlack};
constexpr int kDropDowns[] = {kCompression, kPattern, kSmoothingOp, kThinningOp, kPrintBlackOp};

int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

uint32_t PageOf(HWND page) {
    const uint32_t id = PageIdOf(page);
    return id ? id : kPageQuality;
}

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

// The font dialog edits the substitution table only on the printer's defaults
// (the printer sheet's record); a document's sheet sets download and substitution.
bool PrinterDefaults(HWND window) {
    return settings::ContextForm(PageContext(window)) == 2;
}

// ---- The resolution ----

void FillResolutions(HWND page) {
    HWND combo = GetDlgItem(page, kResolution);
    if (!combo) return;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const quality::Resolution& r : quality::PrintResolutions()) {
        const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.name.c_str()));
        if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), r.value);
    }
}

void ShowResolution(HWND page) {
    HWND combo = GetDlgItem(page, kResolution);
    const OEMDEV* r = PageRecord(page);
    if (!combo || !r) return;
    const int32_t value = settings::GetNumber(*r, "byResolution");
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT sel = -1;
    for (LRESULT i = 0; i < n; ++i)
        if (SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == value) sel = i;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
}

// ---- Showing the page ----

void Govern(HWND page, int control, bool allowed) {
    HWND c = GetDlgItem(page, control);
    if (!c || constraints::ControlSwitchedOff(c)) return;
    const features::UiItem* item = PageItem(PageOf(page), static_cast<uint32_t>(control));
    const bool lockedByRule = item && item->state.disabled != 0;
    EnableWindow(c, allowed && !lockedByRule && settings::ContextMayApply(PageContext(page)) != 0);
}

void UpdateEnables(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r) return;
    const quality::Enables e = quality::ComputeEnables(*r);
    Govern(page, kPrintBlackOp, e.printWithBlackScope);
    Govern(page, kPrintBlackOpLabel, e.printWithBlackScope);
    KeepControlsOff(page);
}

void ShowAll(HWND page) {
    Updating updating;
    ShowPageItems(page, PageOf(page));
    ShowResolution(page);
    UpdateEnables(page);
}

void AfterChange(HWND page) {
    ShowAll(page);
    ShowPageHints(page, PageContext(page), PageOf(page));
}

// ---- WM_INITDIALOG ----

void ApplyAvailability(HWND page) {
    const uint32_t id = PageOf(page);
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(id) || item.type == features::kUiButton) continue;
            if (!GetDlgItem(page, static_cast<int>(item.control))) continue;
            if (!ItemOffered(&item) || !item.state.field) SwitchOffControl(page, id, item.control);
        }
    // Controls without an item of this page: the pattern (the colour build's) and
    // the resolution, which the page fills from the model's print resolutions.
    if (!PageItem(id, kPattern)) SwitchOffControl(page, id, kPattern);
    if (SendMessageW(GetDlgItem(page, kResolution), CB_GETCOUNT, 0, 0) <= 0)
        SwitchOffControl(page, id, kResolution);
    // The density adjustment dialog is not part of this build.
    SwitchOffControl(page, id, kAdjustment);
    const struct {
        int main;
        int others[2];
    } kCompanions[] = {{kResolution, {kResolutionLabel}},        {kCompression, {kCompressionLabel}},
                       {kPattern, {kPatternLabel}},              {kDraft, {kDraftGroup}},
                       {kSmoothing, {kSmoothingOp}},             {kSmoothingOp, {kSmoothingOpLabel}},
                       {kThinning, {kThinningOp}},               {kThinningOp, {kThinningOpLabel}},
                       {kPrintBlack, {kPrintBlackOp}},           {kPrintBlackOp, {kPrintBlackOpLabel}}};
    for (const auto& c : kCompanions)
        if (!Offered(page, c.main))
            for (int other : c.others)
                if (other) SwitchOffControl(page, id, static_cast<uint32_t>(other));
    if (!FindResourceW(frame::Module().dialogResources, MAKEINTRESOURCEW(kPageFontSettings),
                       reinterpret_cast<LPCWSTR>(RT_DIALOG)))
        SwitchOffControl(page, id, kFonts);
    KeepControlsOff(page);
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    Updating updating;
    FillResolutions(page);
    ApplyAvailability(page);
    ShowAll(page);
    return 0;
}

// ---- Changes ----

int32_t SelectedData(HWND window, int control) {
    HWND combo = GetDlgItem(window, control);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return -1;
    return static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
}

void OnCheck(HWND page, int control) {
    const bool on = SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ChangeItem(page, PageOf(page), static_cast<uint32_t>(control), on ? 1 : 0);
    AfterChange(page);
}

void OnDropDown(HWND page, int control) {
    const int32_t value = SelectedData(page, control);
    if (value < 0) return;
    ChangeItem(page, PageOf(page), static_cast<uint32_t>(control), value);
    AfterChange(page);
}

// The resolution has no item of its own on this page: the same pattern by hand,
// over the resolution and the dots and bits stored beside it.
constexpr size_t kResolutionFrom = 3957;  // byResolution
constexpr size_t kResolutionTo = 3966;    // after nBitsPixel

void OnResolution(HWND page) {
    OEMDEV* r = PageRecord(page);
    const int32_t value = SelectedData(page, kResolution);
    if (!r || value < 0) return;
    const quality::Resolution* chosen = nullptr;
    const std::vector<quality::Resolution> all = quality::PrintResolutions();
    for (const quality::Resolution& res : all)
        if (res.value == value) chosen = &res;
    if (!chosen) return;
    BYTE before[kResolutionTo - kResolutionFrom];
    std::memcpy(before, r->bytes + kResolutionFrom, sizeof before);
    quality::StoreResolution(*r, *chosen);
    const bool changed = std::memcmp(before, r->bytes + kResolutionFrom, sizeof before) != 0;
    if (CheckRestores(CheckConstraints(page, kResolution))) {
        std::memcpy(r->bytes + kResolutionFrom, before, sizeof before);
        ShowAll(page);
        return;
    }
    if (changed) SetPageChanged(page);
    AfterChange(page);
}

void OnRestoreDefaults(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    const OEMDEV& defaults = settings::DefaultTemplate();
    bool changed = false;
    for (size_t i = 0; i < quality::kDefaultFieldCount; ++i) {
        const char* name = quality::kDefaultFields[i];
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

INT_PTR CALLBACK FontDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void OnFonts(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    OEMDEV before;
    std::memcpy(&before, r, sizeof before);
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, page, kPageFontSettings, FontDialogProc,
                                           reinterpret_cast<LPARAM>(PageContext(page)));
    if (answer == IDOK) {
        if (std::memcmp(&before, r, sizeof before) != 0) SetPageChanged(page);
    } else {
        std::memcpy(r, &before, sizeof before);
    }
    AfterChange(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    if (!PageRecord(page)) return false;
    for (int c : kChecks)
        if (id == c) {
            if (code == BN_CLICKED && !g_updating) OnCheck(page, id);
            return true;
        }
    for (int c : kDropDowns)
        if (id == c) {
            if (code == CBN_SELENDOK && !g_updating) OnDropDown(page, id);
            return true;
        }
    switch (id) {
    case kResolution:
        if (code == CBN_SELENDOK && !g_updating) OnResolution(page);
        return true;
    case kFonts:
        if (code == BN_CLICKED) OnFonts(page);
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
    ShowPageHints(page, ctx, PageOf(page));
    ShowAll(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 0);
}

// The two-state settings and the list values of the offered controls.
bool OnKillActive(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r) return true;
    const uint32_t id = PageOf(page);
    for (int c : kChecks) {
        if (!Offered(page, c)) continue;
        const features::UiItem* item = PageItem(id, static_cast<uint32_t>(c));
        const int32_t v = item ? ItemValue(*r, *item) : 0;
        if (v == 0 || v == 1) continue;
        SetFocus(GetDlgItem(page, c));
        return false;
    }
    for (int c : kDropDowns) {
        if (!Offered(page, c)) continue;
        const features::UiItem* item = PageItem(id, static_cast<uint32_t>(c));
        if (!item || features::FindValue(item->options, ItemValue(*r, *item))) continue;
        SetFocus(GetDlgItem(page, c));
        return false;
    }
    return true;
}

PageDef MakeDef(uint32_t id) {
    PageDef d{id, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    return d;
}

const PageDef kMono = MakeDef(kPageQuality);
const PageDef kColor = MakeDef(kPageQualityColor);

// ---- The font dialog (121) ----

// The value of an option of an item's list by keyword, or fallback.
int32_t OptionValue(const features::UiItem* item, const char* keyword, int32_t fallback) {
    if (!item || !item->options) return fallback;
    const int index = features::IndexOfKeyword(item->options, keyword);
    return index < 0 ? fallback : *features::ValueAt(item->options, static_cast<size_t>(index));
}

int32_t SubstituteOnValue() {
    return OptionValue(PageItem(kPageFontSettings, kFontSubstitute), "FontSubstituteON", 0);
}
int32_t SubstituteOffValue() {
    return OptionValue(PageItem(kPageFontSettings, kFontSubstitute), "FontSubstituteOFF", 1);
}

// The download list: the options by their display names; on the printer's
// defaults, with more than two entries, without Auto and native TrueType.
void FillDownload(HWND dialog) {
    HWND combo = GetDlgItem(dialog, kFontDownload);
    const features::UiItem* item = PageItem(kPageFontSettings, kFontDownload);
    if (!combo || !item || !item->options) return;
    if (!PrinterDefaults(dialog) || SendMessageW(combo, CB_GETCOUNT, 0, 0) <= 2) return;
    const int32_t drop[] = {OptionValue(item, "FontDownloadAuto", -1), OptionValue(item, "NativeTTDownload", -1)};
    for (LRESULT i = SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
        const auto v = static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        if (v == drop[0] || v == drop[1]) SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    }
}

struct FontDialogState {
    std::vector<std::string> printerFonts;
};
const WCHAR kFontStateProp[] = WL("NovrixFontDialog");

FontDialogState* StateOf(HWND dialog) {
    return static_cast<FontDialogState*>(GetPropW(dialog, kFontStateProp));
}

int SelectedEntry(HWND dialog) {
    HWND list = GetDlgItem(dialog, kFontTable);
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (sel < 0) return -1;
    return static_cast<int>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
}

// The table: one row per named entry, "TrueType font -> printer font".
void ShowTable(HWND dialog) {
    HWND list = GetDlgItem(dialog, kFontTable);
    const OEMDEV* r = PageRecord(dialog);
    if (!list || !r) return;
    const int keep = SelectedEntry(dialog);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    LRESULT select = 0;
    for (const quality::Substitution& s : quality::Substitutions(*r)) {
        WString row = WFromAnsi(s.trueType) + WL(" -> ") + (s.device.empty() ? WString(WL("(TrueType)")) : WFromAnsi(s.device));
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        if (at < 0) continue;
        SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(s.entry));
        if (static_cast<int>(s.entry) == keep) select = at;
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

// The selected entry's TrueType name and its printer font (the library's fonts,
// with the entry's own font first when the library does not list it).
void ShowEntry(HWND dialog) {
    const OEMDEV* r = PageRecord(dialog);
    const FontDialogState* st = StateOf(dialog);
    if (!r || !st) return;
    const int entry = SelectedEntry(dialog);
    quality::Substitution current;
    for (const quality::Substitution& s : quality::Substitutions(*r))
        if (static_cast<int>(s.entry) == entry) current = s;
    SetDlgItemTextW(dialog, kFontTrueType, WFromAnsi(current.trueType).c_str());
    HWND combo = GetDlgItem(dialog, kFontPrinter);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    std::vector<std::string> names;
    if (!current.device.empty()) names.push_back(current.device);
    for (const std::string& f : st->printerFonts)
        if (f != current.device) names.push_back(f);
    for (const std::string& n : names) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WFromAnsi(n).c_str()));
    SendMessageW(combo, CB_SETCURSEL, current.device.empty() ? static_cast<WPARAM>(-1) : 0, 0);
    const bool on = entry >= 0;
    EnableWindow(combo, on && settings::ContextMayApply(PageContext(dialog)) != 0);
}

void ShowFontDialog(HWND dialog) {
    Updating updating;
    ShowPageItems(dialog, kPageFontSettings);
    const OEMDEV* r = PageRecord(dialog);
    if (r) {
        const features::UiItem* item = PageItem(kPageFontSettings, kFontSubstitute);
        const bool on = item && ItemValue(*r, *item) == SubstituteOnValue();
        SendMessageW(GetDlgItem(dialog, kFontSubstitute), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (PrinterDefaults(dialog)) {
        ShowTable(dialog);
        ShowEntry(dialog);
    }
    KeepControlsOff(dialog);
}

// In a document's sheet the table's block is hidden and the dialog shortened by
// its height.
void HideTable(HWND dialog) {
    RECT block{};
    bool any = false;
    for (int id = kFontTableFirst; id <= kFontTableNote; ++id) {
        HWND c = GetDlgItem(dialog, id);
        if (!c) continue;
        RECT rc{};
        GetWindowRect(c, &rc);
        if (!any) block = rc;
        else {
            block.top = rc.top < block.top ? rc.top : block.top;
            block.bottom = rc.bottom > block.bottom ? rc.bottom : block.bottom;
        }
        any = true;
        SwitchOffControl(dialog, kPageFontSettings, static_cast<uint32_t>(id));
    }
    SwitchOffControl(dialog, kPageFontSettings, kFontPrinter);
    if (!any) return;
    const int height = block.bottom - block.top;
    for (int id : {IDOK, IDCANCEL}) {
        HWND c = GetDlgItem(dialog, id);
        if (!c) continue;
        RECT rc{};
        GetWindowRect(c, &rc);
        POINT at{rc.left, rc.top - height};
        ScreenToClient(dialog, &at);
        SetWindowPos(c, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR OnFontInit(HWND dialog, LPARAM) {
    Updating updating;
    auto* st = new FontDialogState;
    SetPropW(dialog, kFontStateProp, st);
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(kPageFontSettings) || item.type == features::kUiButton) continue;
            if (item.control == kFontTrueType || item.control == kFontPrinter) continue;  // the table's own
            if (!GetDlgItem(dialog, static_cast<int>(item.control))) continue;
            if (!item.state.field) SwitchOffControl(dialog, kPageFontSettings, item.control);
        }
    CheckConstraints(dialog, 0);
    ShowPageHints(dialog, PageContext(dialog), kPageFontSettings);
    FillDownload(dialog);
    if (PrinterDefaults(dialog))
        st->printerFonts = quality::PrinterFontsBesideModule();
    else
        HideTable(dialog);
    ShowFontDialog(dialog);
    return TRUE;
}

void OnPrinterFont(HWND dialog) {
    OEMDEV* r = PageRecord(dialog);
    const int entry = SelectedEntry(dialog);
    HWND combo = GetDlgItem(dialog, kFontPrinter);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (!r || entry < 0 || sel < 0) return;
    WCHAR name[128] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0) >= 128) return;
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name));
    quality::SetDeviceFont(*r, static_cast<size_t>(entry), name);
    ShowTable(dialog);
    ShowEntry(dialog);
}

bool OnFontCommand(HWND dialog, int id, UINT code) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return true;
    }
    if (!PageRecord(dialog) || g_updating) return false;
    switch (id) {
    case kFontDownload: {
        if (code != CBN_SELENDOK) return true;
        const int32_t v = SelectedData(dialog, kFontDownload);
        if (v >= 0) ChangeItem(dialog, kPageFontSettings, kFontDownload, v);
        break;
    }
    case kFontSubstitute: {
        if (code != BN_CLICKED) return true;
        const bool on = SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
        ChangeItem(dialog, kPageFontSettings, kFontSubstitute, on ? SubstituteOnValue() : SubstituteOffValue());
        break;
    }
    case kFontTable:
        if (code == LBN_SELCHANGE) ShowEntry(dialog);
        return true;
    case kFontPrinter:
        if (code == CBN_SELENDOK) OnPrinterFont(dialog);
        return true;
    default:
        return false;
    }
    ShowFontDialog(dialog);
    return true;
}

void OnFontDestroy(HWND dialog) {
    delete StateOf(dialog);
    RemovePropW(dialog, kFontStateProp);
}

PageDef MakeFontDef() {
    PageDef d{kPageFontSettings, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnFontInit;
    d.command = OnFontCommand;
    d.destroy = OnFontDestroy;
    return d;
}

const PageDef kFontDef = MakeFontDef();

INT_PTR CALLBACK FontDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kFontDef, hwnd, msg, wParam, lParam);
}

}  // namespace

INT_PTR CALLBACK QualityMonoPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant("_PRP_QUALTY_MFP_M") == 0) return 0;
    return RunPage(kMono, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK QualityColorPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant("_PRP_QUALTY_MFP_M") != 0) return 0;
    return RunPage(kColor, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK QualityPrinterMonoPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant("_PRP_QUALTY_PRN_M") == 0) return 0;
    return RunPage(kMono, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
