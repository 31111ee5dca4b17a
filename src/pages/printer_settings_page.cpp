// The printer sheet's settings tab (157): printer-wide settings that are no
// installed option, kept in the device-option record the printer sheet's context
// designates, and the button that opens the directory server dialog (3369).
#include "fax/directory_dialog.h"
#include "pages/page_framework.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPagePrinterSettings;

enum : int {
    kDirectoryServers = 3368,
};

bool MayApply(HWND page) { return ContextMayApplyAlt(PageContext(page)) != 0; }

HANDLE Printer(HWND page) {
    HANDLE printer = ContextPrinter(PageContext(page));
    return printer == INVALID_HANDLE_VALUE ? nullptr : printer;
}

INT_PTR OnInit(HWND page, LPARAM) {
    // Without a printer there is no list to edit.
    EnableWindow(GetDlgItem(page, kDirectoryServers), Printer(page) ? TRUE : FALSE);
    return 0;
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
    case kDirectoryServers:
        if (code == BN_CLICKED && Printer(page)) fax::directory::RunDirectoryDialog(page, Printer(page), MayApply(page));
        return true;
    default:
        return false;
    }
}

const PageDef kSettingsPage = [] {
    PageDef d{kPage, kStepTabTips | kStepComboUi | kStepCommonHook};
    d.init = OnInit;
    d.command = OnCommand;
    return d;
}();

}  // namespace

INT_PTR CALLBACK PrinterSettingsPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kSettingsPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
