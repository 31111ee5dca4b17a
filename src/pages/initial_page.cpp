// The initial page of the document sheet (161): user authentication, account
// tracking and the department password.
#include <iterator>
#include <string>

#include "common/text.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/text_limits.h"

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
// Buttons whose dialogs this build does not carry.
constexpr int kButtonsWithoutDialogs[] = {kUserAuthSettings, kAccountSettings};

// The department password is typed only while account tracking is on.
void ShowDepartmentState(HWND page) {
    const OEMDEV* r = PageRecord(page);
    const bool on = r && settings::GetNumber(*r, "bAccountTrack") != 0 &&
                    ContextMayApply(PageContext(page)) != 0;
    for (int id : {kDepartmentPassword, kDepartmentLabel})
        if (HWND c = GetDlgItem(page, id); c && !ControlSwitchedOff(c)) EnableWindow(c, on);
}

INT_PTR OnInit(HWND page, LPARAM) {
    SendMessageW(GetDlgItem(page, kDepartmentPassword), EM_LIMITTEXT, kPasswordChars, 0);
    if (const auto* table = frame::Module().uiItems)
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(kPage) || item.type == features::kUiButton) continue;
            if (GetDlgItem(page, static_cast<int>(item.control)) && !ItemOffered(&item))
                SwitchOffControl(page, kPage, item.control);
        }
    for (int id : kButtonsWithoutDialogs) SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    KeepControlsOff(page);
    ShowPageItems(page, kPage);
    ShowDepartmentState(page);
    return 0;
}

// The department password: text the rule accepts goes into the record.
void OnPassword(HWND page) {
    OEMDEV* r = PageRecord(page);
    const features::UiItem* item = PageItem(kPage, kDepartmentPassword);
    if (!r || !item || !item->state.field) return;
    WCHAR text[16] = {};
    GetDlgItemTextW(page, kDepartmentPassword, text, 16);
    const WStringView typed(text);
    if (!TextAcceptable(FindTextRule("DepartmentPassword"), typed, kPasswordChars)) {
        ShowPageItems(page, kPage);  // back to what the record holds
        return;
    }
    std::string ascii(typed.begin(), typed.end());
    if (settings::GetAnsi(*r, item->state.field) == ascii) return;
    settings::SetAnsi(*r, item->state.field, ascii);
    SetPageChanged(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
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
