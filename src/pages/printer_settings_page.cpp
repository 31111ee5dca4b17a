// The printer sheet's settings tab (157): printer-wide settings that are no
// installed option, kept in the device-option record the printer sheet's context
// designates (the encryption key kept for encrypted jobs), and the button that
// opens the directory server dialog (3369).  The host keeps the record with the
// printer when the sheet is applied.
#include "common/text.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "pages/fax_directory_dialog.h"
#include "pages/page_framework.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/printer_settings_logic.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPagePrinterSettings;

enum : int {
    kKeyState = 3366,
    kClearKey = 3367,
    kDirectoryServers = 3368,
};

enum : unsigned {
    kMsgCaption = 0,
    kMsgAskClearKey = 555,
    kMsgNoKey = 556,
    kMsgKeyKept = 557,
    kMsgUserKeyKept = 558,
};

WString Message(unsigned slot) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, slot));
}

BYTE* PageDevOption(HWND page) { return settings::ContextDevOptionRecord(PageContext(page)); }

bool MayApply(HWND page) { return settings::ContextMayApplyAlt(PageContext(page)) != 0; }

HANDLE Printer(HWND page) {
    HANDLE printer = settings::ContextPrinter(PageContext(page));
    return printer == INVALID_HANDLE_VALUE ? nullptr : printer;
}

// The key's state and whether it can be cleared (a record, a user who may apply).
void ShowKey(HWND page) {
    const KeyState state = EncryptionKeyState(PageDevOption(page));
    const unsigned slot = state == KeyState::None ? kMsgNoKey : state == KeyState::Kept ? kMsgKeyKept : kMsgUserKeyKept;
    SetDlgItemTextW(page, kKeyState, Message(slot).c_str());
    EnableWindow(GetDlgItem(page, kClearKey), state != KeyState::None && MayApply(page) ? TRUE : FALSE);
}

INT_PTR OnInit(HWND page, LPARAM) {
    // Without a printer there is no list to edit.
    EnableWindow(GetDlgItem(page, kDirectoryServers), Printer(page) ? TRUE : FALSE);
    ShowKey(page);
    return 0;
}

// "Clear Key" asks first (No the default); the next job that needs the key fetches it again.
void OnClearKey(HWND page) {
    BYTE* record = PageDevOption(page);
    if (!record || !MayApply(page) || EncryptionKeyState(record) == KeyState::None) return;
    if (MessageBoxW(page, Message(kMsgAskClearKey).c_str(), Message(kMsgCaption).c_str(),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (ClearEncryptionKey(record)) SetPageChanged(page);
    ShowKey(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
    case kClearKey:
        if (code == BN_CLICKED) OnClearKey(page);
        return true;
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
    d.setActive = [](HWND page) { ShowKey(page); };
    return d;
}();

}  // namespace

INT_PTR CALLBACK PrinterSettingsPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kSettingsPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
