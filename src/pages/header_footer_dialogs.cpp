// The header/footer edit dialog (185), opened by the Stamp/Composition tab, and the
// date/time and page-number dialog (2055) it opens.  Their switches and drop-downs
// are items of the settings record, each change through the check for its control;
// the number boxes are taken on OK, and a number outside its range keeps the
// dialog open with the box selected.  The detail list shows the chosen device
// program (stamps/header_footer.h).  The opener keeps the record as it was unless
// the dialog ends with OK.
#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "frame/module_state.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "stamps/header_footer.h"
#include "stamps/stamp_edit.h"

namespace nvx::pages {

namespace {

namespace st = stamps;

enum : int {
    kPrintHeader = 2247,
    kPrintFooter = 2248,
    kTextColor = 2255,
    kHeaderPos = 2565,
    kFooterPos = 2567,
    kStartNumber = 2250,
    kDetail = 2245,
    kDateTimePage = 2260,

    kDateTime = 2237,
    kDateTimePages = 2238,
    kDateTimeColor = 2064,
    kDateTimeSample = 2070,
    kPageNumber = 2239,
    kStartPage = 2240,
    kPageStartNumber = 2241,
    kStartRange = 2242,
    kPageNumberColor = 2080,
};

bool Checked(HWND dlg, int id) {
    return SendMessageW(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

WString ControlText(HWND dlg, int id) {
    HWND c = GetDlgItem(dlg, id);
    const int n = c ? GetWindowTextLengthW(c) : 0;
    WString text(static_cast<size_t>(n) + 1, 0);
    if (n > 0) GetWindowTextW(c, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

WString Caption(HWND dlg) {
    WCHAR text[256] = {};
    GetWindowTextW(dlg, text, 256);
    return text;
}

// A refused number: says the range, selects the box.
void RefuseNumber(HWND dlg, int box, uint32_t low, uint32_t high) {
    char line[96];
    std::snprintf(line, sizeof line, "Enter a number from %u to %u.", low, high);
    MessageBoxW(dlg, WFromAscii(line).c_str(), Caption(dlg).c_str(), MB_OK | MB_ICONWARNING);
    HWND c = GetDlgItem(dlg, box);
    SetFocus(c);
    SendMessageW(c, EM_SETSEL, 0, -1);
}

// The switches and drop-downs of a dialog: drop-downs the model gives no choices
// are switched off.
void PrepareItems(HWND dlg, uint32_t pageId, std::initializer_list<int> controls) {
    FillPageDropDowns(dlg, pageId);
    for (int id : controls) {
        const features::UiItem* item = PageItem(pageId, static_cast<uint32_t>(id));
        if (!ItemOffered(item) || !item->state.field) SwitchOffControl(dlg, pageId, static_cast<uint32_t>(id));
    }
}

bool ItemCommand(HWND dlg, uint32_t pageId, int id, UINT code) {
    const features::UiItem* item = PageItem(pageId, static_cast<uint32_t>(id));
    if (!item) return false;
    if (item->type == features::kUiCheck && code == BN_CLICKED) {
        ChangeItem(dlg, pageId, static_cast<uint32_t>(id), Checked(dlg, id) ? 1 : 0);
        return true;
    }
    if (item->type == features::kUiDropDown && code == CBN_SELENDOK) {
        HWND c = GetDlgItem(dlg, id);
        const LRESULT sel = SendMessageW(c, CB_GETCURSEL, 0, 0);
        if (sel >= 0)
            ChangeItem(dlg, pageId, static_cast<uint32_t>(id),
                       static_cast<int32_t>(SendMessageW(c, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0)));
        return true;
    }
    return item->type == features::kUiCheck || item->type == features::kUiDropDown;
}

// ---- Date/time and page number (2055) ----

void ShowDateTimePage(HWND dlg) {
    ShowPageItems(dlg, kPageDateTimePageEdit);
    const OEMDEV* r = PageRecord(dlg);
    if (!r) return;
    const bool dateTime = settings::GetNumber(*r, "DateTimePageNo.bDateTime") != 0;
    const bool pageNo = settings::GetNumber(*r, "DateTimePageNo.bPageNo") != 0;
    for (int id : {kDateTimePages, kDateTimeColor})
        if (!constraints::ControlSwitchedOff(GetDlgItem(dlg, id))) EnableWindow(GetDlgItem(dlg, id), dateTime);
    for (int id : {kStartPage, kPageStartNumber, kPageNumberColor})
        if (!constraints::ControlSwitchedOff(GetDlgItem(dlg, id))) EnableWindow(GetDlgItem(dlg, id), pageNo);
    // The date the stamp prints, in its format, for today.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const WString sample =
        st::FormatStampDate(static_cast<int>(settings::GetNumber(*r, "DPE_DateTime.wDateFormat")), false, WStringView(),
                            now.wYear, now.wMonth, now.wDay);
    SetDlgItemTextW(dlg, kDateTimeSample, sample.c_str());
}

INT_PTR DateTimePageInit(HWND dlg, LPARAM) {
    PrepareItems(dlg, kPageDateTimePageEdit, {kDateTime, kDateTimePages, kDateTimeColor, kPageNumber, kPageNumberColor});
    const OEMDEV* r = PageRecord(dlg);
    if (r) {
        SetDlgItemTextW(dlg, kStartPage,
                        st::FormatStartNumber(static_cast<uint32_t>(settings::GetNumber(*r, "DateTimePageNo.nPN_StartPage")),
                                              true).c_str());
        SetDlgItemTextW(dlg, kPageStartNumber,
                        st::FormatStartNumber(static_cast<uint32_t>(settings::GetNumber(*r, "DateTimePageNo.nPN_StartNum")),
                                              true).c_str());
    }
    char range[48];
    std::snprintf(range, sizeof range, "[%u...%u]", st::kPageNumStartRange.low, st::kPageNumStartRange.high);
    SetDlgItemTextW(dlg, kStartRange, WFromAscii(range).c_str());
    for (int id : {kStartPage, kPageStartNumber}) SendMessageW(GetDlgItem(dlg, id), EM_LIMITTEXT, 4, 0);
    ShowDateTimePage(dlg);
    return TRUE;
}

void DateTimePageOk(HWND dlg) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return;
    const st::NumberRange range = st::kPageNumStartRange;
    if (settings::GetNumber(*r, "DateTimePageNo.bPageNo") != 0) {
        const auto page = st::ParseBoxNumber(ControlText(dlg, kStartPage), range.low, range.high);
        if (!page) return RefuseNumber(dlg, kStartPage, range.low, range.high);
        const auto number = st::ParseBoxNumber(ControlText(dlg, kPageStartNumber), range.low, range.high);
        if (!number) return RefuseNumber(dlg, kPageStartNumber, range.low, range.high);
        settings::SetNumber(*r, "DateTimePageNo.nPN_StartPage", *page);
        settings::SetNumber(*r, "DateTimePageNo.nPN_StartNum", *number);
    }
    EndDialog(dlg, IDOK);
}

bool DateTimePageCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK: DateTimePageOk(dlg); return true;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); return true;
    default:
        if (!PageRecord(dlg) || PageInitializing()) return false;
        if (ItemCommand(dlg, kPageDateTimePageEdit, id, code)) {
            ShowDateTimePage(dlg);
            return true;
        }
        return false;
    }
}

const PageDef kDateTimePageDialog = [] {
    PageDef d{kPageDateTimePageEdit, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = DateTimePageInit;
    d.command = DateTimePageCommand;
    return d;
}();

// ---- Header/footer (185) ----

struct EditState {
    std::optional<std::vector<st::DeviceHeaderFooter>> programs;
};
std::map<HWND, EditState>& EditStates() {
    static std::map<HWND, EditState> states;
    return states;
}

void FillDetail(HWND dlg) {
    HWND list = GetDlgItem(dlg, kDetail);
    const OEMDEV* r = PageRecord(dlg);
    auto it = EditStates().find(dlg);
    if (!list || !r || it == EditStates().end()) return;
    const auto cells = st::DetailCells(it->second.programs, settings::GetNumber(*r, "nHFE_DevSetting"),
                                       st::HeaderFooterTexts{});
    const auto rows = st::DetailRowTitles();
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        WString title = rows[i], header = cells[i].header, footer = cells[i].footer;
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = title.data();
        const LRESULT row = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (row < 0) continue;
        WString* texts[] = {&header, &footer};
        for (int c = 1; c <= 2; ++c) {
            LVITEMW sub{};
            sub.iSubItem = c;
            sub.pszText = texts[c - 1]->data();
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        }
    }
}

INT_PTR HeaderFooterInit(HWND dlg, LPARAM) {
    EditState& s = EditStates()[dlg];
    s.programs = st::CachedDeviceHeaderFooters(settings::ContextPrinter(PageContext(dlg)));
    PrepareItems(dlg, kPageHeaderFooterEdit, {kPrintHeader, kPrintFooter, kTextColor, kHeaderPos, kFooterPos});
    HWND list = GetDlgItem(dlg, kDetail);
    const auto titles = st::DetailColumnTitles();
    const int widths[] = {90, 150, 150};
    for (int c = 0; c < 3; ++c) {
        WString title = titles[static_cast<size_t>(c)];
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.cx = widths[c];
        col.pszText = title.data();
        col.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
    }
    if (const OEMDEV* r = PageRecord(dlg)) {
        const bool digit = settings::GetNumber(*r, "bHFE_Digit") != 0;
        SendMessageW(GetDlgItem(dlg, kStartNumber), EM_LIMITTEXT, digit ? 10 : 8, 0);
        SetDlgItemTextW(dlg, kStartNumber,
                        st::FormatStartNumber(static_cast<uint32_t>(settings::GetNumber(*r, "dwHFE_StartNumber")), digit)
                            .c_str());
    }
    ShowPageItems(dlg, kPageHeaderFooterEdit);
    FillDetail(dlg);
    return TRUE;
}

// The start number typed; false (said, box selected) when it is outside its range.
bool TakeStartNumber(HWND dlg) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return false;
    const uint32_t high = st::MaxStartNumber(settings::GetNumber(*r, "bHFE_Digit") != 0);
    const auto n = st::ParseBoxNumber(ControlText(dlg, kStartNumber), st::kMinStartNumber, high);
    if (!n) {
        RefuseNumber(dlg, kStartNumber, st::kMinStartNumber, high);
        return false;
    }
    settings::SetNumber(*r, "dwHFE_StartNumber", *n);
    return true;
}

void OnDateTimePage(HWND dlg) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return;
    const OEMDEV before = *r;
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, dlg, kPageDateTimePageEdit,
                                           DateTimePageDialogProc, reinterpret_cast<LPARAM>(PageContext(dlg)));
    if (answer != IDOK) *r = before;
}

bool HeaderFooterCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK:
        if (TakeStartNumber(dlg)) EndDialog(dlg, IDOK);
        return true;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); return true;
    case kDateTimePage:
        if (code == BN_CLICKED) OnDateTimePage(dlg);
        return true;
    default:
        if (!PageRecord(dlg) || PageInitializing()) return false;
        return ItemCommand(dlg, kPageHeaderFooterEdit, id, code);
    }
}

void HeaderFooterDestroy(HWND dlg) {
    EditStates().erase(dlg);
}

const PageDef kHeaderFooterDialog = [] {
    PageDef d{kPageHeaderFooterEdit, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = HeaderFooterInit;
    d.command = HeaderFooterCommand;
    d.destroy = HeaderFooterDestroy;
    return d;
}();

}  // namespace

INT_PTR CALLBACK HeaderFooterEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kHeaderFooterDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK DateTimePageDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kDateTimePageDialog, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
