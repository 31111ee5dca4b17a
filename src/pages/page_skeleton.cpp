#include "pages/page_skeleton.h"

#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/preset_combo.h"

namespace nvx::pages {

namespace {

// Pages in their WM_INITDIALOG: what their controls report then is the page's own doing.
int g_initializing = 0;

void FocusTabControl(HWND page) {
    HWND sheet = GetParent(page);
    if (HWND tab = sheet ? reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr)
        PostMessageW(sheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tab), TRUE);
}

void SetResult(HWND page, LRESULT result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
}

INT_PTR OnInit(const PageDef& def, HWND page, LPARAM lParam) {
    ++g_initializing;
    if (def.commonInit) InitPageCommon(page, def.id, lParam);
    const INT_PTR r = def.init ? def.init(page, lParam) : 0;
    if (def.presetCombo) PresetComboInit(page);
    --g_initializing;
    return r;
}

INT_PTR OnNotify(const PageDef& def, HWND page, const NMHDR* nm) {
    if (!nm) return FALSE;
    if (def.kind == PageKind::SheetPage) {
        const UINT code = nm->code;
        if (code == static_cast<UINT>(PSN_SETACTIVE)) {
            if (def.focusTabOnActivate) FocusTabControl(page);
            if (def.setActive) def.setActive(page);
            if (def.presetCombo) PresetComboRefill(page);
            SetResult(page, 0);
            return TRUE;
        }
        if (code == static_cast<UINT>(PSN_KILLACTIVE)) {
            const bool mayLeave = !def.killActive || def.killActive(page);
            SetResult(page, mayLeave ? FALSE : TRUE);
            return TRUE;
        }
        if (code == static_cast<UINT>(PSN_APPLY)) {
            const bool valid = !def.apply || def.apply(page);
            if (valid && def.presetCombo) PresetComboApply(page);
            SetResult(page, valid ? PSNRET_NOERROR : PSNRET_INVALID);
            return TRUE;
        }
        if (code == static_cast<UINT>(PSN_HELP)) {
            ShowPageHelp(page, def.helpTopic ? def.helpTopic : def.id);
            return TRUE;
        }
    }
    LRESULT result = 0;
    if (!def.notify || !def.notify(page, nm, &result)) return FALSE;
    SetResult(page, result);
    return TRUE;
}

}  // namespace

bool PageInitializing() {
    return g_initializing > 0;
}

INT_PTR RunPage(const PageDef& def, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = 0;
    if (RunPagePreamble(def.id, def.steps, hwnd, msg, wParam, lParam, &result)) return result;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit(def, hwnd, lParam);
    case WM_COMMAND: {
        const int control = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (def.presetCombo && PresetComboCommand(hwnd, control, code, def.setActive)) return TRUE;
        const bool handled = def.command && def.command(hwnd, control, code);
        // Whatever the page changed, the combo shows the preset the settings still equal.
        if (handled && def.presetCombo && !PageInitializing()) PresetComboFollow(hwnd);
        return handled ? TRUE : FALSE;
    }
    case WM_NOTIFY:
        return OnNotify(def, hwnd, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
        if (def.destroy) def.destroy(hwnd);
        if (def.presetCombo) PresetComboDestroy(hwnd);
        PageTeardown(hwnd, def.id);
        return 0;
    case WM_PAINT:
        if (!def.paint) return FALSE;
        def.paint(hwnd);
        return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!def.scroll || !lParam) return FALSE;
        def.scroll(hwnd, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return TRUE;
    case WM_HELP:
    case WM_CONTEXTMENU:
        return PageHelpMessage(hwnd, msg, wParam, lParam);
    default:
        return FALSE;
    }
}

}  // namespace nvx::pages
