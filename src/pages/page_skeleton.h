// The one dispatch every page and page dialog of the module runs.
//
// A page states what is its own in a PageDef: its identifier, the common
// pre-steps it takes, how it is run (a sheet page or a modal dialog) and its
// handlers.  RunPage does the rest for every message, in this order:
//   1. the common pre-steps and the host hook (RunPagePreamble); a hook that
//      handles the message ends it with the hook's answer;
//   2. the dispatch to the page's handlers, with what every page does around them:
//      WM_INITDIALOG  the common initialisation (InitPageCommon) unless the page
//                     does its own, then `init`;
//      WM_COMMAND     `command`; unhandled answers FALSE;
//      WM_NOTIFY      on a sheet page: PSN_SETACTIVE (focus to the sheet's tab
//                     control when asked, then `setActive`; result 0),
//                     PSN_KILLACTIVE (`killActive`; result TRUE keeps the page),
//                     PSN_APPLY (`apply`; PSNRET_NOERROR or PSNRET_INVALID),
//                     PSN_HELP (the page's help topic); every other code and
//                     every code of a dialog goes to `notify`, whose result the
//                     framework stores in DWLP_MSGRESULT;
//      WM_DESTROY     `destroy`, then the common teardown (PageTeardown);
//   with `presetCombo` also the preset combo's hooks (preset_combo.h) around them;
//      WM_PAINT       `paint`;
//      WM_HSCROLL, WM_VSCROLL from a control (a trackbar)  `scroll`;
//      WM_HELP, WM_CONTEXTMENU  the control's help topic;
//   every other message answers FALSE (not handled).
//
// A page procedure is then one line:
//   INT_PTR CALLBACK BasicPageProc(HWND h, UINT m, WPARAM w, LPARAM l) { return RunPage(kBasic, h, m, w, l); }
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace nvx::pages {

enum class PageKind : uint8_t {
    SheetPage,  // a tab of a property sheet: the PSN_ notifications are the framework's
    Dialog,     // a modal dialog a page opens: its notifications are all the page's
};

struct PageDef {
    uint32_t id;                 // page identifier (and template id)
    uint32_t steps;              // PreambleStep bits (page_framework.h)
    PageKind kind = PageKind::SheetPage;
    bool commonInit = true;      // WM_INITDIALOG runs InitPageCommon before `init`
    bool focusTabOnActivate = false;  // PSN_SETACTIVE posts the focus to the sheet's tab control
    ULONG_PTR helpTopic = 0;     // PSN_HELP topic; 0: the page identifier
    // The page shows the preset combo (controls 1131 to 1134, pages/preset_combo.h):
    // the framework fills it, applies the preset picked, keeps it following the
    // settings after every command and writes the order on apply.  After a preset
    // is applied the page's `setActive` runs to check and show the settings again.
    bool presetCombo = false;

    // WM_INITDIALOG, after the common initialisation: the message's answer (TRUE
    // lets the dialog manager set the focus).  Null: 0.
    INT_PTR (*init)(HWND page, LPARAM context) = nullptr;
    // WM_COMMAND: true when the page handled it.
    bool (*command)(HWND page, int control, UINT code) = nullptr;
    void (*setActive)(HWND page) = nullptr;
    // PSN_KILLACTIVE: whether the page may be left.  Null: always.
    bool (*killActive)(HWND page) = nullptr;
    // PSN_APPLY: whether the page's settings are valid.  Null: always.
    bool (*apply)(HWND page) = nullptr;
    // Any other notification: true when handled, *result then goes to DWLP_MSGRESULT.
    bool (*notify)(HWND page, const NMHDR* header, LRESULT* result) = nullptr;
    // WM_DESTROY, before the common teardown.
    void (*destroy)(HWND page) = nullptr;
    // WM_PAINT: the page paints (answers TRUE); null leaves painting to the dialog manager.
    void (*paint)(HWND page) = nullptr;
    // WM_HSCROLL / WM_VSCROLL sent by a control (a trackbar moved): the control and
    // the scroll code.  Null: not handled.
    void (*scroll)(HWND page, HWND control, int code) = nullptr;
};

// Runs one message of a page through the skeleton.
INT_PTR RunPage(const PageDef& def, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// True while a page runs its WM_INITDIALOG: the notifications its controls send
// then (EN_CHANGE of a text being set) are the page's own doing, not the user's.
bool PageInitializing();

}  // namespace nvx::pages
