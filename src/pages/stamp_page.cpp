// The Stamp/Composition tab (page 104): the preset combo, the watermark switch and
// list, the overlay switch, operation and form list, the overlay summary, the
// header/footer program and the copy-protect switch, operation and settings.
// Every change runs the constraint check for its control; a refused change puts
// the record and the control back.  The lists and the summary come from
// pages/stamp_logic.h; the watermark lists are the sheet's (stamps/watermark_sheet.h),
// the form list is read when the page opens.
#include <iterator>
#include <cstring>
#include <map>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/stamp_logic.h"
#include "settings/printer_ui_context.h"
#include "settings/sheet_work.h"
#include "stamps/copy_protect.h"
#include "stamps/header_footer.h"
#include "stamps/watermark_sheet.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageStamps;

enum : int {
    kWatermark = 1208,
    kWatermarkList = 1280,
    kWatermarkEdit = 1255,
    kOverlay = 1205,
    kOverlayList = 1326,
    kOverlayOpLabel = 3103,
    kOverlayOp = 3104,
    kOverlaySummary = 3106,
    kHeaderFooter = 1202,
    kHeaderFooterProgram = 2116,
    kHeaderFooterLabel = 2115,
    kHeaderFooterEdit = 2117,
    kCopyProtect = 1164,
    kCopyProtectDetail = 1166,
    kCopyProtectOpLabel = 3174,
    kCopyProtectOp = 3175,
};

constexpr int kReadOnlyControls[] = {1123, 1130, 1131, 1132, 1133, 1134, kWatermark, kWatermarkList,
                                     kOverlay, kOverlayOpLabel, kOverlayOp, kOverlayList,
                                     kHeaderFooter, kHeaderFooterProgram, kCopyProtect, kCopyProtectOpLabel,
                                     kCopyProtectOp};

// What the page keeps while it is open: the sheet's form list.
struct PageState {
    stamps::FormList forms;
    stamps::OverlayModel model;
    std::vector<stamp::ProgramChoice> programs;  // the header/footer combo's choices
    stamps::CopyProtectModel copyProtect;
};
std::map<HWND, PageState>& States() {
    static std::map<HWND, PageState> states;
    return states;
}
PageState* State(HWND page) {
    auto it = States().find(page);
    return it == States().end() ? nullptr : &it->second;
}

int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

stamps::WatermarkSet Watermarks(HWND page) {
    stamps::WatermarkSet set;
    stamps::SheetWatermarks(PageContext(page), &set);
    return set;
}

void FillList(HWND list, const std::vector<WString>& items, int32_t selected) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const WString& text : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const bool inside = selected >= 0 && static_cast<size_t>(selected) < items.size();
    SendMessageW(list, LB_SETCURSEL, inside ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

void UpdateEnables(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r) return;
    const bool may = settings::ContextMayApply(PageContext(page)) != 0;
    if (Offered(page, kWatermarkList))
        EnableWindow(GetDlgItem(page, kWatermarkList), may && settings::GetNumber(*r, "bWmk") != 0);
    if (Offered(page, kOverlayList))
        EnableWindow(GetDlgItem(page, kOverlayList), may && settings::GetNumber(*r, "bOverlay") != 0);
    if (Offered(page, kHeaderFooterProgram))
        for (int id : {kHeaderFooterProgram, kHeaderFooterLabel})
            EnableWindow(GetDlgItem(page, id), may && settings::GetNumber(*r, "bHeadFooter") != 0);
    if (Offered(page, kHeaderFooterEdit))
        EnableWindow(GetDlgItem(page, kHeaderFooterEdit), may && settings::GetNumber(*r, "bHeadFooter") != 0);
    const bool protect = may && settings::GetNumber(*r, "bCopyProtect") != 0;
    if (Offered(page, kCopyProtectOp))
        for (int id : {kCopyProtectOp, kCopyProtectOpLabel}) EnableWindow(GetDlgItem(page, id), protect);
    if (Offered(page, kCopyProtectDetail) && State(page))
        EnableWindow(GetDlgItem(page, kCopyProtectDetail),
                     protect && CopyProtectDialogBuilt(stamps::DialogFor(
                                    State(page)->copyProtect, settings::GetNumber(*r, "nCSE_CopyProtectOp"))));
    KeepControlsOff(page);
}

void ShowAll(HWND page) {
    Updating updating;
    ShowPageItems(page, kPage);
    const OEMDEV* r = PageRecord(page);
    PageState* s = State(page);
    if (!r || !s) return;
    FillList(GetDlgItem(page, kWatermarkList), stamp::WatermarkItems(Watermarks(page)),
             settings::GetNumber(*r, "wWmkListPos"));
    std::vector<WString> forms;
    for (const stamp::FormItem& item : stamp::FormItems(s->forms, stamp::JobClass(*r))) forms.push_back(item.text);
    FillList(GetDlgItem(page, kOverlayList), forms, settings::GetNumber(*r, "nFormListPos"));
    SetDlgItemTextW(page, kOverlaySummary, stamp::OverlaySummary(*r, s->model, s->forms).c_str());
    HWND combo = GetDlgItem(page, kHeaderFooterProgram);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    const int32_t program = settings::GetNumber(*r, "nHFE_DevSetting");
    for (size_t i = 0; i < s->programs.size(); ++i)
        if (s->programs[i].number == program) SendMessageW(combo, CB_SETCURSEL, i, 0);
    UpdateEnables(page);
}

void AfterChange(HWND page) {
    ShowAll(page);
    ShowPageHints(page, PageContext(page), kPage);
}

// ---- WM_INITDIALOG ----

void ApplyAvailability(HWND page) {
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    for (int id : {kWatermark, kOverlay, kOverlayOp, kHeaderFooter, kCopyProtect, kCopyProtectOp}) {
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(id));
        if (!ItemOffered(item) || !item->state.field) SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    }
    if (!Offered(page, kWatermark)) SwitchOffControl(page, kPage, kWatermarkList);
    if (!Offered(page, kOverlay)) SwitchOffControl(page, kPage, kOverlayList);
    if (!Offered(page, kOverlayOp)) SwitchOffControl(page, kPage, kOverlayOpLabel);
    if (!Offered(page, kHeaderFooter) || State(page)->programs.empty()) {
        SwitchOffControl(page, kPage, kHeaderFooterProgram);
        SwitchOffControl(page, kPage, kHeaderFooterLabel);
    }
    if (!Offered(page, kWatermark)) SwitchOffControl(page, kPage, kWatermarkEdit);
    if (!Offered(page, kHeaderFooter)) SwitchOffControl(page, kPage, kHeaderFooterEdit);
    // The operation only on models that have one; the settings button with the switch.
    if (!Offered(page, kCopyProtect) || !stamps::OperationOffered(State(page)->copyProtect))
        SwitchOffControl(page, kPage, kCopyProtectOp);
    if (!Offered(page, kCopyProtectOp)) SwitchOffControl(page, kPage, kCopyProtectOpLabel);
    if (!Offered(page, kCopyProtect)) SwitchOffControl(page, kPage, kCopyProtectDetail);
    KeepControlsOff(page);
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    Updating updating;
    PageState& s = States()[page];
    s.model = stamps::CurrentOverlayModel();
    s.copyProtect = stamps::CurrentCopyProtectModel();
    s.forms = stamps::LoadFormList(settings::ContextPrinter(PageContext(page)));
    if (OEMDEV* r = PageRecord(page)) {
        // A chosen form that went away since the settings were made is dropped silently.
        stamps::DropMissingForms(*r, s.model, s.forms);
        // The first usable form is chosen only for an overlay that prints: choosing it
        // for one that is off would change the settings (and the preset shown) by
        // merely opening the tab.
        if (stamps::OverlayPrintingOn(*r, s.model))
            stamp::ChooseFirstUsableForm(*r, stamp::FormItems(s.forms, stamp::JobClass(*r)));
    }
    s.programs = stamp::ProgramChoices(stamps::CachedDeviceHeaderFooters(settings::ContextPrinter(PageContext(page))));
    HWND combo = GetDlgItem(page, kHeaderFooterProgram);
    for (const stamp::ProgramChoice& c : s.programs) {
        const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.name.c_str()));
        if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), c.number);
    }
    FillPageDropDowns(page, kPage);
    ApplyAvailability(page);
    ShowAll(page);
    LayoutForViewState(page, kPage);
    return 0;
}

// ---- Changes ----

void OnCheck(HWND page, int control) {
    const bool on = SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const UINT_PTR r = ChangeItem(page, kPage, static_cast<uint32_t>(control), on ? 1 : 0);
    OEMDEV* rec = PageRecord(page);
    if (on && !CheckRestores(r) && rec) {
        // Overlay printing switched on with forms listed and none chosen: the first form.
        if (control == kOverlay && State(page) && stamp::ChooseFormOnOverlay(*rec, State(page)->forms.forms.size()))
            SetPageChanged(page);
        // The watermark switched on prints the one the list shows.
        if (control == kWatermark && stamp::CopyListedWatermark(*rec, Watermarks(page))) SetPageChanged(page);
    }
    AfterChange(page);
}

// The watermark dialog: it edits the sheet's lists and may choose another
// watermark; Cancel (or a dialog that does not end with OK) leaves the record as
// it was.
void OnEditWatermarks(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    const OEMDEV before = *r;
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, page, kPageWatermark, WatermarkDialogProc,
                                           reinterpret_cast<LPARAM>(PageContext(page)));
    if (answer != IDOK) {
        *r = before;
    } else {
        SetPageChanged(page);
    }
    AfterChange(page);
}

// The header/footer edit dialog (and the date/time and page-number dialog it
// opens): Cancel leaves the record as it was.
void OnEditHeaderFooter(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    const OEMDEV before = *r;
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, page, kPageHeaderFooterEdit,
                                           HeaderFooterEditDialogProc, reinterpret_cast<LPARAM>(PageContext(page)));
    if (answer != IDOK) {
        *r = before;
    } else if (std::memcmp(&before, r, sizeof before) != 0) {
        SetPageChanged(page);
    }
    AfterChange(page);
}

// The copy-protect settings: the edit dialog of the record's operation (the record
// kept and put back unless the dialog ends with OK).
void OnEditCopyProtect(HWND page) {
    OEMDEV* r = PageRecord(page);
    PageState* s = State(page);
    if (!r || !s) return;
    const stamps::CopyProtectDialog which =
        stamps::DialogFor(s->copyProtect, settings::GetNumber(*r, "nCSE_CopyProtectOp"));
    if (!CopyProtectDialogBuilt(which)) return;
    const OEMDEV before = *r;
    const INT_PTR answer = RunCopyProtectDialog(page, which);
    if (answer != IDOK) {
        *r = before;
    } else if (std::memcmp(&before, r, sizeof before) != 0) {
        SetPageChanged(page);
    }
    AfterChange(page);
}

// A header/footer program chosen: "nHFE_DevSetting" through the check for 2116.
void OnProgram(HWND page) {
    OEMDEV* r = PageRecord(page);
    PageState* s = State(page);
    const LRESULT sel = SendMessageW(GetDlgItem(page, kHeaderFooterProgram), CB_GETCURSEL, 0, 0);
    if (!r || !s || sel < 0 || static_cast<size_t>(sel) >= s->programs.size()) return;
    const int32_t old = settings::GetNumber(*r, "nHFE_DevSetting");
    const int32_t chosen = s->programs[static_cast<size_t>(sel)].number;
    settings::SetNumber(*r, "nHFE_DevSetting", chosen);
    if (CheckRestores(CheckConstraints(page, kHeaderFooterProgram))) {
        settings::SetNumber(*r, "nHFE_DevSetting", old);
        ShowAll(page);
        return;
    }
    if (old != chosen) SetPageChanged(page);
    AfterChange(page);
}

// A drop-down of the record (the overlay and copy-protect operations): the change
// pattern of its item.
void OnDropDown(HWND page, int control) {
    HWND combo = GetDlgItem(page, control);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    ChangeItem(page, kPage, static_cast<uint32_t>(control),
               static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0)));
    AfterChange(page);
}

// A list choice: the record's change is made by `apply`; a refused check puts the
// whole record back as it was.
template <typename Apply>
void OnListChoice(HWND page, int control, Apply apply) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    const LRESULT sel = SendMessageW(GetDlgItem(page, control), LB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    const OEMDEV before = *r;
    if (!apply(*r, static_cast<size_t>(sel))) return;
    if (CheckRestores(CheckConstraints(page, static_cast<uint32_t>(control)))) {
        *r = before;
        ShowAll(page);
        return;
    }
    if (std::memcmp(&before, r, sizeof before) != 0) SetPageChanged(page);
    AfterChange(page);
}

bool HandleCommand(HWND page, int id, UINT code) {
    if (!PageRecord(page) || g_updating)
        return id == kWatermark || id == kOverlay || id == kWatermarkList || id == kOverlayList || id == kOverlayOp ||
               id == kHeaderFooter || id == kHeaderFooterProgram || id == kWatermarkEdit || id == kHeaderFooterEdit ||
               id == kCopyProtect || id == kCopyProtectOp || id == kCopyProtectDetail;
    switch (id) {
    case kWatermarkEdit:
        if (code == BN_CLICKED) OnEditWatermarks(page);
        return true;
    case kHeaderFooterEdit:
        if (code == BN_CLICKED) OnEditHeaderFooter(page);
        return true;
    case kHeaderFooterProgram:
        if (code == CBN_SELENDOK) OnProgram(page);
        return true;
    case kCopyProtectDetail:
        if (code == BN_CLICKED) OnEditCopyProtect(page);
        return true;
    case kWatermark:
    case kOverlay:
    case kHeaderFooter:
    case kCopyProtect:
        if (code == BN_CLICKED) OnCheck(page, id);
        return true;
    case kOverlayOp:
    case kCopyProtectOp:
        if (code == CBN_SELENDOK) OnDropDown(page, id);
        return true;
    case kWatermarkList:
        if (code == LBN_SELCHANGE) {
            const stamps::WatermarkSet set = Watermarks(page);
            OnListChoice(page, id, [&](OEMDEV& r, size_t pos) {
                return stamps::ChooseWatermark(r, set, pos);
            });
        }
        return true;
    case kOverlayList:
        if (code == LBN_SELCHANGE) {
            const size_t count = State(page) ? State(page)->forms.forms.size() : 0;
            OnListChoice(page, id, [&](OEMDEV& r, size_t pos) {
                if (pos >= count) return false;
                settings::SetNumber(r, "nFormListPos", static_cast<int64_t>(pos));
                return true;
            });
        }
        return true;
    default:
        return false;
    }
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

void OnDestroy(HWND page) {
    States().erase(page);
}

PageDef MakeDef() {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = HandleCommand;
    d.setActive = OnSetActive;
    d.destroy = OnDestroy;
    return d;
}

const PageDef kDef = MakeDef();

}  // namespace

INT_PTR CALLBACK StampPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kDef, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
