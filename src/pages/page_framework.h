// The page skeleton every tab and page dialog of the module runs, and the services
// the pages share: the context of a page window, the changed notification, the
// page's own tooltip window and the call into the constraint check.
//
// A page procedure handles a message in this order:
//   1. common pre-steps (RunPagePreamble): tab tooltips, combo boxes' extended UI,
//      the common hook, the view-state hook, the sheet's paper lists;
//   2. the host hook DDProc_DlgProc of NOVRIX_D.DLL (a set handled flag ends it);
//   3. the page's own pre-steps and handlers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"
#include "settings/oemdev.h"
#include "settings/printer_ui_context.h"

namespace nvx::pages {

// Page identifiers (also the dialog template ids in NOVRIX_S.DLL).
enum PageId : uint32_t {
    kPageBasic = 100,
    kPageLayout = 101,
    kPageQualityColor = 105,
    kPageVersion = 106,
    kPageStamps = 104,
    kPageWatermark = 111,
    kPageHeaderFooterEdit = 185,
    kPageDateTimePageEdit = 2055,
    kPageCopyProtectEdit = 2145,  // "Dlg_CopyProtectEdit"
    kPageCopyGuardEdit = 214,     // "Dlg_CopyProtect2Edit" (its text items are those of 213, its density 216)
    kPageFinishing = 110,
    kPageCover = 113,
    kPageCustomTab = 230,
    kPageCustomTabSetting = 231,
    kPageCustomTabWaiting = 233,
    kPageCustomPaperList = 115,
    kPageFontSettings = 121,
    kPageCustomSize = 151,
    kPageDeviceOption = 156,
    kPagePrinterSettings = 157,
    kPageInitial = 161,
    kPageFax = 171,
    kPageFaxSend = 180,
    kPageFaxModeDetails = 181,
    kPageOther = 187,
    kPageQuality = 196,
    kPageConfirmFaxNumber = 2575,
};

// Controls every page shares.
inline constexpr int kIdViewToggle = 1130;
inline constexpr int kIdHintIcon = 1015;
inline constexpr int kIdHintText = 1016;

// Answers of the constraint check.
inline constexpr UINT_PTR kCheckStands = 199;
inline constexpr UINT_PTR kCheckDeclined = 100;
inline constexpr UINT_PTR kCheckRefused = 101;
inline bool CheckRestores(UINT_PTR r) { return r == kCheckDeclined || r == kCheckRefused; }

// The pre-steps a page runs (the Version tab runs only the tab tooltips).
enum PreambleStep : uint32_t {
    kStepTabTips = 1,
    kStepComboUi = 2,
    kStepCommonHook = 4,
    kStepViewState = 8,
    kStepPaperLists = 16,
    kStepsAll = 31,
};

// Runs the chosen pre-steps, then the host hook.  True when the host hook handled
// the message; *result is then the page procedure's answer.
bool RunPagePreamble(uint32_t page, uint32_t steps, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                     INT_PTR* result);

// The context kept in the page window's user data slot, or null.
settings::PrinterUIContext* PageContext(HWND page);
// The sheet's settings record of a page window, or null.
OEMDEV* PageRecord(HWND page);

// WM_INITDIALOG of every page: keeps the context, applies the common and the
// page's text tables, fills the page's drop-downs from their option lists, makes
// the stop-icon tool windows and records their rectangles (not inside the custom
// page), and shows the hints.
void InitPageCommon(HWND page, uint32_t pageId, LPARAM context);

// Tells the sheet that the page has unsaved changes (and sets the context's
// changed mark).  Inside the custom page the notification goes to the top-level
// window with the page's parent as the page.
void SetPageChanged(HWND page);

// The tooltip window CreateToolWnd made for the page (kept as a window property),
// or null.
HWND PageToolWindow(HWND page);
void SetPageToolWindow(HWND page, HWND tool);

// Runs the constraint check for a control of the page (0: the whole page) through
// the module's DoConstraints: mode 0, the page, its tooltip window, the control,
// -1, 0.  Answers 199 when the module has no check to run.  While a check runs, and
// for a control while the sheet's per-control checks are suspended (PSN_SETACTIVE),
// a call answers 199 without checking.
UINT_PTR CheckConstraints(HWND page, uint32_t control);
bool CheckRunning();

// The controls a page disables while its sheet may not apply changes.  The check
// of the constraint engine enables and disables controls by its rules; after every
// check the page's read-only controls (on such a sheet) and its switched-off
// controls are disabled again.
void SetReadOnlyControls(HWND page, const int* ids, size_t count);
void KeepControlsOff(HWND page);

// Lays the page out for the sheet's view state (details shown or hidden).
void LayoutForViewState(HWND page, uint32_t pageId);

// The common teardown of a page (WM_DESTROY): releases the sheet's paper lists
// when this page built them and forgets the page's tooltip window.
void PageTeardown(HWND page, uint32_t pageId);

}  // namespace nvx::pages
