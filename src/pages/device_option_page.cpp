// The printer sheet's device option tab (156): the installed options of the device
// as the printer's device-option record holds them, changed by hand or fetched
// from the device on request.  The record is the host's (the printer sheet's
// context designates it); the host keeps it with the printer when the sheet is
// applied.
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/acquisition.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "pages/device_option_rows.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/page_texts.h"
#include "settings/devoption.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageDeviceOption;

enum : int {
    kOptionList = 1078,
    kValueBox = 1081,
    kRefresh = 1062,
};

enum : unsigned {
    kMsgCaption = 0,
    kMsgAskRefresh = 155,
    kMsgTaken = 156,
    kMsgNotTaken = 157,
};

const features::DeviceOptionTable* Options() { return model::Loaded().tables.deviceOptions; }

BYTE* PageDevOption(HWND page) { return settings::ContextDevOptionRecord(PageContext(page)); }

WString Message(unsigned slot) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, slot));
}

int SelectedRow(HWND page) {
    return static_cast<int>(SendDlgItemMessageW(page, kOptionList, LB_GETCURSEL, 0, 0));
}

// The list: one row per option with the record's value; the selection is kept.
void FillList(HWND page) {
    const features::DeviceOptionTable* table = Options();
    const BYTE* record = PageDevOption(page);
    const int selected = SelectedRow(page);
    SendDlgItemMessageW(page, kOptionList, LB_RESETCONTENT, 0, 0);
    if (!table) return;
    for (const DeviceOptionLine& line : DeviceOptionLines(*table, record, model::PageTextTable(kPage))) {
        WString text = DeviceOptionLineText(line);
        SendDlgItemMessageW(page, kOptionList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const LRESULT count = SendDlgItemMessageW(page, kOptionList, LB_GETCOUNT, 0, 0);
    if (count > 0) SendDlgItemMessageW(page, kOptionList, LB_SETCURSEL, selected >= 0 && selected < count ? selected : 0, 0);
}

// The value box: the values of the selected option, its current one chosen.
void FillValues(HWND page) {
    HWND box = GetDlgItem(page, kValueBox);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    const features::DeviceOptionTable* table = Options();
    const BYTE* record = PageDevOption(page);
    const int row = SelectedRow(page);
    if (!table || !record || row < 0 || static_cast<uint32_t>(row) >= table->count) {
        EnableWindow(box, FALSE);
        return;
    }
    const OptionChoices choices = DeviceOptionChoices(table->rows[row]);
    const uint16_t current = settings::GetOptionValue(record, static_cast<size_t>(row));
    for (size_t i = 0; i < choices.names.size(); ++i) {
        LRESULT at = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choices.names[i].c_str()));
        SendMessageW(box, CB_SETITEMDATA, static_cast<WPARAM>(at), choices.values[i]);
        if (choices.values[i] == current) SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    EnableWindow(box, settings::ContextMayApplyAlt(PageContext(page)) != 0);
}

void Refresh(HWND page) {
    FillList(page);
    FillValues(page);
    ShowPageHints(page, PageContext(page), kPage);
}

INT_PTR OnInit(HWND page, LPARAM) {
    const bool editable = PageDevOption(page) && Options() && settings::ContextMayApplyAlt(PageContext(page)) != 0;
    EnableWindow(GetDlgItem(page, kRefresh), editable);
    Refresh(page);
    return 0;
}

void OnRowChosen(HWND page) {
    CheckConstraints(page, kOptionList);
    FillValues(page);
    ShowPageHints(page, PageContext(page), kPage);
}

void OnValueChosen(HWND page) {
    BYTE* record = PageDevOption(page);
    const int row = SelectedRow(page);
    HWND box = GetDlgItem(page, kValueBox);
    const LRESULT sel = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (!record || row < 0 || sel < 0) return;
    const uint16_t old = settings::GetOptionValue(record, static_cast<size_t>(row));
    const auto chosen = static_cast<uint16_t>(SendMessageW(box, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    if (chosen == old) return;
    settings::SetOptionValue(record, static_cast<size_t>(row), chosen);
    if (CheckRestores(CheckConstraints(page, kValueBox))) {
        settings::SetOptionValue(record, static_cast<size_t>(row), old);
        FillValues(page);
        return;
    }
    FillList(page);
    SetPageChanged(page);
    FillValues(page);
}

// "Get Device Information": asks first, then fetches the options into a copy and
// takes it over the record only when the whole acquisition succeeded.
void OnRefresh(HWND page) {
    BYTE* record = PageDevOption(page);
    HANDLE printer = settings::ContextPrinter(PageContext(page));
    if (!record || printer == INVALID_HANDLE_VALUE || !printer) return;
    const WString caption = Message(kMsgCaption);
    if (MessageBoxW(page, Message(kMsgAskRefresh).c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    std::vector<BYTE> working(record, record + settings::kDevOptionSize);
    const WString name = device::PrinterNameOf(printer);
    device::AcquisitionRequest request;
    request.printer = printer;
    request.printerName = name.c_str();
    request.devOption = working.data();
    request.path = device::AcquisitionPath::DeviceOptionTab;
    request.owner = page;
    const DWORD code = device::RunDeviceOptionAcquisition(request);
    if (code != 0) {
        WString text = Message(kMsgNotTaken);
        const WString number = WFromUtf8(std::to_string(code));
        if (size_t at = text.find(WL("%d")); at != WString::npos) text.replace(at, 2, number);
        MessageBoxW(page, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    const bool changed = std::memcmp(record, working.data(), settings::kDevOptionSize) != 0;
    std::memcpy(record, working.data(), settings::kDevOptionSize);
    FillList(page);
    FillValues(page);
    CheckConstraints(page, kOptionList);
    ShowPageHints(page, PageContext(page), kPage);
    if (changed) SetPageChanged(page);
    MessageBoxW(page, Message(kMsgTaken).c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
    case kOptionList:
        if (code == LBN_SELCHANGE) OnRowChosen(page);
        return true;
    case kValueBox:
        if (code == CBN_SELCHANGE) OnValueChosen(page);
        return true;
    case kRefresh:
        if (code == BN_CLICKED) OnRefresh(page);
        return true;
    default:
        return false;
    }
}

void OnSetActive(HWND page) { Refresh(page); }

const PageDef kDeviceOptionPage = [] {
    PageDef d{kPage, kStepTabTips | kStepComboUi | kStepCommonHook};
    d.init = OnInit;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    return d;
}();

}  // namespace

INT_PTR CALLBACK DeviceOptionPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kDeviceOptionPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
