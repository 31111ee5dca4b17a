// The Cover/Insert tab (page 113): front and back covers, transparency
// interleaving and, with the first type, the post-inserter covers.  Three
// procedures show it, each under its own variant switch; a procedure whose switch
// is off answers 0 to every message.
#include <iterator>

#include "constraints/engine.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "frame/variant_switches.h"
#include "pages/cover_logic.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "settings/oemdev_template.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

using cover::Type;
constexpr uint32_t kPage = kPageCover;

constexpr int kChecks[] = {cover::kFront, cover::kBack, cover::kOhp, cover::kPiFront, cover::kPiBack};
constexpr int kDropDowns[] = {cover::kFrontOp, cover::kFrontTray, cover::kBackOp,      cover::kBackTray,
                              cover::kOhpOp,   cover::kOhpTray,   cover::kPiFrontTray, cover::kPiBackTray};
// Every control of the template the page may switch off, the labels with the box
// they name.
constexpr struct {
    int control;
    int label;
} kControls[] = {
    {cover::kFront, 0},          {cover::kFrontOp, 3585},   {cover::kFrontTray, 3586},   {cover::kBack, 0},
    {cover::kBackOp, 3587},      {cover::kBackTray, 3588},  {cover::kOhp, 0},            {cover::kOhpOp, 3589},
    {cover::kOhpTray, 3590},     {cover::kCarbon, 0},       {cover::kCarbonDetails, 0},  {cover::kPerPage, 0},
    {cover::kPerPageOp, 0},      {cover::kPerPageEdit, 0},  {cover::kPiFront, 0},        {cover::kPiFrontTray, 3591},
    {cover::kPiBack, 0},         {cover::kPiBackTray, 3592},
};
constexpr int kReadOnlyControls[] = {1131,           1132,          1133,           1134,           cover::kFront,
                                     cover::kFrontOp, cover::kFrontTray, cover::kBack, cover::kBackOp,
                                     cover::kBackTray, cover::kOhp, cover::kOhpOp,    cover::kOhpTray,
                                     cover::kPiFront, cover::kPiFrontTray, cover::kPiBack, cover::kPiBackTray,
                                     cover::kRestore};

// The page's type, kept on the window from WM_INITDIALOG on.
const WCHAR kTypeProp[] = WL("NovrixCoverType");

Type PageType(HWND page) {
    const auto v = reinterpret_cast<intptr_t>(GetPropW(page, kTypeProp));
    return v == 1 ? Type::Type1 : v == 3 ? Type::Type3 : Type::Type2;
}

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

void UpdateEnables(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r) return;
    const cover::Enables e = cover::ComputeEnables(*r);
    const bool mayApply = settings::ContextMayApply(PageContext(page)) != 0;
    for (const auto& c : kControls) {
        if (!cover::OwnerOf(c.control) || !Offered(page, c.control)) continue;
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(c.control));
        const bool lockedByRule = item && item->state.disabled != 0;
        const bool on = cover::Enabled(e, c.control) && !lockedByRule && mayApply;
        EnableWindow(GetDlgItem(page, c.control), on);
        if (c.label) EnableWindow(GetDlgItem(page, c.label), on);
    }
    KeepControlsOff(page);
}

void ShowAll(HWND page) {
    ShowPageItems(page, kPage);
    UpdateEnables(page);
}

void ApplyAvailability(HWND page) {
    const Type type = PageType(page);
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    for (const auto& c : kControls) {
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(c.control));
        bool offered = cover::Carries(type, c.control);
        if (offered && item && item->type != features::kUiButton)
            offered = ItemOffered(item) && static_cast<bool>(item->state.field);
        // A detail goes with its check box.
        if (const int owner = cover::OwnerOf(c.control); offered && owner) offered = Offered(page, owner);
        if (offered) continue;
        SwitchOffControl(page, kPage, static_cast<uint32_t>(c.control));
        if (c.label) SwitchOffControl(page, kPage, static_cast<uint32_t>(c.label));
    }
    KeepControlsOff(page);
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    ApplyAvailability(page);
    ShowAll(page);
    return 0;
}

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

void OnRestoreDefaults(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    const OEMDEV& defaults = settings::DefaultTemplate();
    const char* const* fields = nullptr;
    const size_t count = cover::DefaultFields(PageType(page), &fields);
    bool changed = false;
    for (size_t i = 0; i < count; ++i) {
        const int32_t v = settings::GetNumber(defaults, fields[i]);
        if (settings::GetNumber(*r, fields[i]) == v) continue;
        settings::SetNumber(*r, fields[i], v);
        changed = true;
    }
    if (!changed) return;
    SetPageChanged(page);
    CheckConstraints(page, 0);
    AfterChange(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    if (!PageRecord(page) || !Offered(page, id)) return false;
    for (int c : kChecks)
        if (id == c) {
            if (code == BN_CLICKED) {
                const bool on = SendMessageW(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
                ChangeItem(page, kPage, static_cast<uint32_t>(id), on ? 1 : 0);
                AfterChange(page);
            }
            return true;
        }
    for (int c : kDropDowns)
        if (id == c) {
            if (code == CBN_SELENDOK) {
                const int32_t value = SelectedData(page, id);
                if (value >= 0) ChangeItem(page, kPage, static_cast<uint32_t>(id), value);
                AfterChange(page);
            }
            return true;
        }
    if (id == cover::kRestore) {
        if (code == BN_CLICKED) OnRestoreDefaults(page);
        return true;
    }
    return false;
}

void OnSetActive(HWND page) {
    auto* ctx = PageContext(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 1);
    if (!settings::InCustomPage(ctx)) CheckConstraints(page, 0);
    ShowPageHints(page, ctx, kPage);
    ShowAll(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 0);
}

// Every offered check box holds 0 or 1 and every offered list whose check box is
// ticked one of its options (the tray of a cover that is not printed is never
// used, so whatever it holds does not keep the person on the page); otherwise the
// focus goes to the first that does not and the page stays.
bool OnKillActive(HWND page) {
    const OEMDEV* r = PageRecord(page);
    if (!r) return true;
    const cover::Enables e = cover::ComputeEnables(*r);
    for (int id : kChecks) {
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(id));
        if (!Offered(page, id) || !item) continue;
        const int32_t v = ItemValue(*r, *item);
        if (v == 0 || v == 1) continue;
        SetFocus(GetDlgItem(page, id));
        return false;
    }
    for (int id : kDropDowns) {
        const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(id));
        if (!Offered(page, id) || !item || !cover::Enabled(e, id)) continue;
        if (features::FindValue(item->options, ItemValue(*r, *item))) continue;
        SetFocus(GetDlgItem(page, id));
        return false;
    }
    return true;
}

void OnDestroy(HWND page) {
    RemovePropW(page, kTypeProp);
}

PageDef MakeDef() {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    d.destroy = OnDestroy;
    return d;
}

const PageDef kDef = MakeDef();

INT_PTR RunCoverPage(Type type, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (frame::AskVariant(cover::SwitchName(type)) == 0) return 0;
    if (msg == WM_INITDIALOG) SetPropW(hwnd, kTypeProp, reinterpret_cast<HANDLE>(static_cast<intptr_t>(type)));
    return RunPage(kDef, hwnd, msg, wParam, lParam);
}

}  // namespace

INT_PTR CALLBACK CoverPageProcType1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunCoverPage(Type::Type1, hwnd, msg, wParam, lParam);
}
INT_PTR CALLBACK CoverPageProcType2(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunCoverPage(Type::Type2, hwnd, msg, wParam, lParam);
}
INT_PTR CALLBACK CoverPageProcType3(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunCoverPage(Type::Type3, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
