#include "pages/page_framework.h"
#include "pages/page_identity.h"

#include <map>
#include <vector>

#include "common/proc.h"
#include "constraints/engine.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/host_link.h"
#include "model/loaded_model.h"
#include "pages/hints.h"
#include "pages/page_items.h"
#include "pages/page_texts.h"
#include "pages/sheet_paper_lists.h"
#include "pages/stop_icon_draw.h"
#include "pages/text_display.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

const WCHAR kToolWindowProp[] = WL("NovrixPageToolWindow");
constexpr int kTabTipInitialDelay = 0;
constexpr int kTabTipAutoPop = 30000;
constexpr int kTabTipWidth = 1024;

bool g_checkRunning = false;
// The read-only controls of each open page (disabled while the sheet may not apply).
std::map<HWND, std::vector<int>> g_readOnly;

BOOL CALLBACK DisableSwitchedOff(HWND child, LPARAM) {
    if (constraints::ControlSwitchedOff(child) && IsWindowEnabled(child)) EnableWindow(child, FALSE);
    return TRUE;
}

using HostDlgProc = INT_PTR (*)(UINT page, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, BOOL* handled);
using DoConstraintsFn = UINT_PTR (*)(UINT, UINT_PTR, UINT_PTR, WORD, UINT, UINT_PTR);

// a. The sheet's tab control gets a tooltip window once.
void EnsureTabTips(HWND page) {
    HWND sheet = GetParent(page);
    HWND tab = sheet ? reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr;
    if (!tab || SendMessageW(tab, TCM_GETTOOLTIPS, 0, 0)) return;
    frame::InitModuleCommonControls();
    HWND tip = CreateWindowExW(0, WL("tooltips_class32"), nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, sheet, nullptr,
                               frame::Module().dialogResources, nullptr);
    if (!tip) return;
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, kTabTipInitialDelay);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTabTipAutoPop);
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kTabTipWidth);
    SendMessageW(tab, TCM_SETTOOLTIPS, reinterpret_cast<WPARAM>(tip), 0);
}

// b. Drop-down combo boxes open with the keyboard's extended interface.
BOOL CALLBACK ExtendCombo(HWND child, LPARAM) {
    WCHAR cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (WCompareNoCase(WStringView(cls), WStringView(WL("COMBOBOX"))) == 0 &&
        (GetWindowLongW(child, GWL_STYLE) & 0x3) != 0)
        SendMessageW(child, CB_SETEXTENDEDUI, TRUE, 0);
    return TRUE;
}

// c. The common hook: the context in the user data slot; the sheet's first-page state.
void CommonHook(HWND page, UINT msg, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return;
    SetWindowLongPtrW(page, DWLP_USER, lParam);
    auto* ctx = settings::ContextFromParam(lParam);
    if (!settings::WorkGet(ctx, settings::work::kFirstPageState)) settings::WorkSet(ctx, settings::work::kFirstPageState, 1);
}

// d. The view-state hook.
void ViewStateHook(uint32_t pageId, HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* ctx = settings::ContextFromParam(lParam);
        // The sheet's one-time page setup: nothing beyond the mark in this build (no
        // model switch asks for a picture area).
        if (!settings::WorkGet(ctx, settings::work::kSetupDone)) settings::WorkSet(ctx, settings::work::kSetupDone, 1);
        LayoutForViewState(page, pageId);
    } else if (msg == WM_NOTIFY) {
        const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (nm && nm->code == static_cast<UINT>(PSN_SETACTIVE)) LayoutForViewState(page, pageId);
    } else if (msg == WM_COMMAND && LOWORD(wParam) == kIdViewToggle && HIWORD(wParam) == 0) {
        auto* ctx = PageContext(page);
        settings::WorkSet(ctx, settings::work::kViewState, settings::WorkGet(ctx, settings::work::kViewState) ? 0 : 1);
        LayoutForViewState(page, pageId);
        SetPageChanged(page);
    }
}

// e. The sheet's paper lists.
void PaperListsStep(HWND page, UINT msg, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* ctx = settings::ContextFromParam(lParam);
        if (ctx && settings::WorkGet64(ctx, settings::work::kPaperListsOwner) == 0) {
            settings::WorkSet64(ctx, settings::work::kPaperListsOwner, reinterpret_cast<uintptr_t>(page));
            BuildSheetPaperLists(page);
        }
    } else if (msg == WM_DESTROY) {
        auto* ctx = PageContext(page);
        if (settings::WorkGet64(ctx, settings::work::kPaperListsOwner) == reinterpret_cast<uintptr_t>(page)) {
            settings::WorkSet64(ctx, settings::work::kPaperListsOwner, 0);
            ReleaseSheetPaperLists(page);
        }
    }
}

// The controls that the detail view adds to a page.
const uint32_t* DetailControls(uint32_t pageId) {
    static const uint32_t basic[] = {1193, 1194, 0};
    static const uint32_t none[] = {0};
    return pageId == kPageBasic ? basic : none;
}

}  // namespace

settings::PrinterUIContext* PageContext(HWND page) {
    return page ? reinterpret_cast<settings::PrinterUIContext*>(GetWindowLongPtrW(page, DWLP_USER)) : nullptr;
}

OEMDEV* PageRecord(HWND page) {
    return settings::AsRecord(settings::ContextSettingsRecord(PageContext(page)));
}

bool RunPagePreamble(uint32_t page, uint32_t steps, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                     INT_PTR* result) {
    if (msg == WM_INITDIALOG) RecordPageId(hwnd, page);
    if (msg == WM_NCDESTROY) RecordPageId(hwnd, 0);
    if ((steps & kStepTabTips) && msg == WM_INITDIALOG) EnsureTabTips(hwnd);
    if ((steps & kStepComboUi) && msg == WM_INITDIALOG) EnumChildWindows(hwnd, ExtendCombo, 0);
    if (steps & kStepCommonHook) CommonHook(hwnd, msg, lParam);
    if (steps & kStepViewState) ViewStateHook(page, hwnd, msg, wParam, lParam);
    if (steps & kStepPaperLists) PaperListsStep(hwnd, msg, lParam);
    if (auto hook = model::HostFunction<HostDlgProc>(model::Loaded().host, model::HostFn::DDProc_DlgProc)) {
        BOOL handled = FALSE;
        const INT_PTR r = hook(page, hwnd, msg, wParam, lParam, &handled);
        if (handled) {
            if (result) *result = r;
            return true;
        }
    }
    return false;
}

void InitPageCommon(HWND page, uint32_t pageId, LPARAM context) {
    SetWindowLongPtrW(page, DWLP_USER, context);
    auto* ctx = settings::ContextFromParam(context);
    ApplyCommonTextTable(page, CommonTexts());
    ApplyTextTable(page, PageTexts(pageId));
    FillPageDropDowns(page, pageId);
    if (!settings::InCustomPage(ctx)) {
        MakeToolWindows(page);
        StoreStopIconRects(page);
    }
    ShowPageHints(page, ctx, pageId);
}

void SetPageChanged(HWND page) {
    auto* ctx = PageContext(page);
    settings::ContextSetChanged(ctx);
    HWND parent = GetParent(page);
    if (settings::InCustomPage(ctx))
        SendMessageW(GetAncestor(page, GA_ROOT), PSM_CHANGED, reinterpret_cast<WPARAM>(parent), 0);
    else if (parent)
        SendMessageW(parent, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

HWND PageToolWindow(HWND page) {
    return page ? static_cast<HWND>(GetPropW(page, kToolWindowProp)) : nullptr;
}

void SetPageToolWindow(HWND page, HWND tool) {
    if (!page) return;
    if (tool) SetPropW(page, kToolWindowProp, tool);
    else RemovePropW(page, kToolWindowProp);
}

void SetReadOnlyControls(HWND page, const int* ids, size_t count) {
    g_readOnly[page].assign(ids, ids + count);
}

void KeepControlsOff(HWND page) {
    EnumChildWindows(page, DisableSwitchedOff, 0);
    if (settings::ContextMayApply(PageContext(page))) return;
    auto it = g_readOnly.find(page);
    if (it == g_readOnly.end()) return;
    for (int id : it->second)
        if (HWND c = GetDlgItem(page, id)) EnableWindow(c, FALSE);
}

bool CheckRunning() {
    return g_checkRunning;
}

UINT_PTR CheckConstraints(HWND page, uint32_t control) {
    if (g_checkRunning) return kCheckStands;
    // While a page is being shown again its controls are rewritten: no per-control checks.
    if (control != 0 && settings::WorkGet(PageContext(page), settings::work::kChecksSuspended)) return kCheckStands;
    auto check = ProcAs<DoConstraintsFn>(GetProcAddress(frame::Module().self, "DoConstraints"));
    if (!check) return kCheckStands;
    g_checkRunning = true;
    const UINT_PTR r = check(0, reinterpret_cast<UINT_PTR>(page), reinterpret_cast<UINT_PTR>(PageToolWindow(page)),
                             static_cast<WORD>(control), static_cast<UINT>(-1), 0);
    g_checkRunning = false;
    KeepControlsOff(page);
    return r;
}

void LayoutForViewState(HWND page, uint32_t pageId) {
    const bool details = settings::WorkGet(PageContext(page), settings::work::kViewState) != 0;
    // The toggle names what a click does: show the details, or hide them again.
    const WString label = TableText(CommonTexts(), details ? "ViewSimple" : "ViewDetails");
    if (HWND toggle = GetDlgItem(page, kIdViewToggle); toggle && !label.empty()) SetWindowTextW(toggle, label.c_str());
    for (const uint32_t* id = DetailControls(pageId); *id; ++id) {
        HWND c = GetDlgItem(page, static_cast<int>(*id));
        if (!c || constraints::ControlSwitchedOff(c)) continue;
        ShowWindow(c, details ? SW_SHOWNA : SW_HIDE);
    }
}

void PageTeardown(HWND page, uint32_t) {
    DestroyPageToolWindows(page);
    SetPageToolWindow(page, nullptr);
    g_readOnly.erase(page);
}

}  // namespace nvx::pages
