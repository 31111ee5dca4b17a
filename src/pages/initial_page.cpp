// The initial page of the document sheet (161): user authentication, account
// tracking and the department password.
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "device/printer_cipher.h"
#include "device/user_settings.h"
#include "features/ui_items.h"
#include "pages/auth_settings_dialogs.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/text_limits.h"
#include "settings/printer_ui_context.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageInitial;

enum : int {
    kAccountSettings = 1220,
    kAccountTrack = 1229,
    kUserAuth = 1866,
    kUserAuthSettings = 1867,
    kDepartmentPassword = 1875,
    kDepartmentLabel = 3521,
};

constexpr int kPasswordChars = 4;
constexpr int kReadOnlyControls[] = {kUserAuth, kAccountTrack, kDepartmentPassword};

// The department password is typed only while account tracking is on.
void ShowDepartmentState(HWND page) {
    const OEMDEV* r = PageRecord(page);
    const bool on = r && settings::GetNumber(*r, "bAccountTrack") != 0 &&
                    settings::ContextMayApply(PageContext(page)) != 0;
    for (int id : {kDepartmentPassword, kDepartmentLabel})
        if (HWND c = GetDlgItem(page, id); c && !constraints::ControlSwitchedOff(c)) EnableWindow(c, on);
}

INT_PTR OnInit(HWND page, LPARAM) {
    SendMessageW(GetDlgItem(page, kDepartmentPassword), EM_LIMITTEXT, kPasswordChars, 0);
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(kPage) || item.type == features::kUiButton) continue;
            if (GetDlgItem(page, static_cast<int>(item.control)) && !ItemOffered(&item))
                SwitchOffControl(page, kPage, item.control);
        }
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    KeepControlsOff(page);
    ShowPageItems(page, kPage);
    ShowDepartmentState(page);
    return 0;
}

// The department password: text the rule accepts is enciphered with the
// printer's password cipher into the record's department password; the plain
// field the page's item is bound to stays empty, so the digits are never kept in
// clear (nor shown again).  Text set by the page itself (not typed) is ignored.
void OnPassword(HWND page) {
    OEMDEV* r = PageRecord(page);
    const features::UiItem* item = PageItem(kPage, kDepartmentPassword);
    HWND edit = GetDlgItem(page, kDepartmentPassword);
    if (!r || !item || !item->state.field || !SendMessageW(edit, EM_GETMODIFY, 0, 0)) return;
    WCHAR text[16] = {};
    GetDlgItemTextW(page, kDepartmentPassword, text, 16);
    WStringView typed(text);
    if (!TextAcceptable(FindTextRule("DepartmentPassword"), typed, kPasswordChars)) {
        // Refused as typed: the longest accepted beginning stays.
        while (!typed.empty() && !TextAcceptable(FindTextRule("DepartmentPassword"), typed, kPasswordChars))
            typed.remove_suffix(1);
        text[typed.size()] = 0;
        SetDlgItemTextW(page, kDepartmentPassword, text);
    }
    const HANDLE printer = settings::ContextPrinter(PageContext(page));
    device::SetDepartmentPassword(device::PrinterPasswordCipher(printer), typed, r);
    SecureZeroMemory(text, sizeof text);
    settings::SetAnsi(*r, item->state.field, "");
    SetPageChanged(page);
}

// A Settings button: its dialog on the sheet's own record; what OK changed goes
// through the constraint check like any change of the page.
void OnSettings(HWND page, AuthSettingsKind kind) {
    OEMDEV* rec = PageRecord(page);
    if (!rec) return;
    HANDLE printer = settings::ContextPrinter(PageContext(page));
    if (printer == INVALID_HANDLE_VALUE) printer = nullptr;
    const std::vector<BYTE> before(rec->bytes, rec->bytes + sizeof rec->bytes);
    AuthSettingsBlock block;
    block.printer = printer;
    block.record = rec;
    block.devOption = settings::ContextDevOptionRecord(PageContext(page));
    if (RunAuthSettings(kind, block, page) != IDOK || std::memcmp(before.data(), rec->bytes, before.size()) == 0)
        return;
    CheckConstraints(page, static_cast<uint32_t>(kind == AuthSettingsKind::User ? kUserAuthSettings
                                                                                 : kAccountSettings));
    SetPageChanged(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
    case kUserAuthSettings:
        if (code == BN_CLICKED) OnSettings(page, AuthSettingsKind::User);
        return true;
    case kAccountSettings:
        if (code == BN_CLICKED) OnSettings(page, AuthSettingsKind::AccountTrack);
        return true;
    case kUserAuth:
    case kAccountTrack:
        if (code == BN_CLICKED) {
            const bool on = SendMessageW(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
            ChangeItem(page, kPage, static_cast<uint32_t>(id), on ? 1 : 0);
            ShowDepartmentState(page);
        }
        return true;
    case kDepartmentPassword:
        if (code == EN_CHANGE && PageRecord(page)) OnPassword(page);
        return true;
    default:
        return false;
    }
}

void OnSetActive(HWND page) {
    if (!CheckRunning()) CheckConstraints(page, 0);
    ShowPageItems(page, kPage);
    ShowDepartmentState(page);
}

const PageDef kInitialPage = [] {
    PageDef d{kPage, kStepsAll};
    d.init = OnInit;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    return d;
}();

}  // namespace

INT_PTR CALLBACK InitialPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kInitialPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
