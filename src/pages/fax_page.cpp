// The fax tab (171): the fax resolution and the FaxSetting block of the sheet's
// settings record (transmission result, timed transmission, sub-address, sender
// ID, cover sheet), the cover sheet dialog and the phone book.
#include <cstring>
#include <iterator>

#include "constraints/engine.h"
#include "features/fax.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "model/loaded_model.h"
#include "pages/fax_availability.h"
#include "pages/fax_fields.h"
#include "pages/fax_links.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "settings/oemdev_defaults.h"

namespace nvx::pages {

namespace {

using namespace fax;
namespace s = nvx::fax::setting;

constexpr uint32_t kPage = kPageFax;

enum : int {
    kDefaults = 1032,
    kResolutionGroup = 1950,
    kResolutionLabel = 1930,
    kResolution = 1931,
    kCoverSheet = 1946,
    kCoverPicture = 1947,
    kCoverSettings = 1948,
    kEditPhoneBook = 1949,
};

// Disabled while the sheet may not apply changes.
constexpr int kReadOnlyControls[] = {1235, 1123, 1130, 1131, 1132, 1133, 1134, 1930, 1931, 1932, 1933, 1934,
                                     1935, 1936, 1937, 1938, 1939, 1940, 1941, 1942, 1943, 1944, 1945, 1946,
                                     2235, 1947, 1949, 1032};

// The resolution fields: the value and the dots and bits stored beside it.
constexpr size_t kResolutionFrom = 3957;  // byResolution
constexpr size_t kResolutionTo = 3966;    // after nBitsPixel

BYTE* Block(HWND page) {
    OEMDEV* r = PageRecord(page);
    return r ? nvx::fax::SettingIn(r->bytes) : nullptr;
}

int32_t InternationalSupported() {
    const features::ModelRecord* model = model::Loaded().tables.record;
    return model && model->switches[features::kSw_FtpIntTransMode] != 0 ? 1 : 0;
}

bool MayApply(HWND page) {
    return settings::ContextMayApply(PageContext(page)) != 0;
}

// The model's fax resolutions (records of the resolution list marked for fax).
std::vector<const uint8_t*> FaxResolutions() {
    std::vector<const uint8_t*> out;
    const features::ModelRecord* model = model::Loaded().tables.record;
    const features::ModelList* list = model ? model->List("Resolution") : nullptr;
    const uint8_t* first = list && !list->records.empty() ? list->records.data() : nullptr;
    const size_t n = features::ListCount(first);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* rec = features::RecordAt(first, i);
        if (features::RecordSize(rec) < features::kSizeModel) continue;
        features::ResolutionData data;
        std::memcpy(&data, rec + features::kModelDataAt, sizeof data);
        if (data.fax == 1) out.push_back(rec);
    }
    return out;
}

void FillResolutions(HWND page) {
    HWND combo = GetDlgItem(page, kResolution);
    if (!combo) return;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const uint8_t* rec : FaxResolutions()) {
        WString text = features::DisplayName(rec);
        if (text.empty()) {
            const std::string_view kw = features::Keyword(rec);
            text.assign(kw.begin(), kw.end());
        }
        const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), features::Value(rec));
    }
}

void ShowResolution(HWND page) {
    HWND combo = GetDlgItem(page, kResolution);
    const OEMDEV* r = PageRecord(page);
    if (!combo || !r) return;
    const int32_t value = settings::GetNumber(*r, "byResolution");
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT sel = -1;
    for (LRESULT i = 0; i < n; ++i)
        if (SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == value) sel = i;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
}

void SetCheckBox(HWND page, int id, bool on) {
    if (HWND c = GetDlgItem(page, id)) SendMessageW(c, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND page, int id) {
    return SendMessageW(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool CoverSheetsAvailable(HWND page) {
    const settings::PrinterUIContext* ctx = PageContext(page);
    return CoverSheetsAvailableToTab(PrinterName(settings::ContextPrinter(ctx)), ctx);
}

// Enables the controls that depend on a switch (only while the sheet may apply).
void EnableDependents(HWND page) {
    const BYTE* block = Block(page);
    if (!block) return;
    const bool mayApply = MayApply(page);
    EnableFieldDependents(page, block, mayApply);
    if (mayApply) {
        if (HWND c = GetDlgItem(page, kCoverSheet)) EnableWindow(c, CoverSheetsAvailable(page));
    }
    if (HWND c = GetDlgItem(page, kCoverSettings)) EnableWindow(c, Checked(page, kCoverSheet));
    if (HWND c = GetDlgItem(page, kEditPhoneBook))
        if (!OwnsPhoneBook(page) || !mayApply) EnableWindow(c, FALSE);
    KeepControlsOff(page);
}

// Shows the record in every control; `except` keeps the text field being typed in.
void ShowAll(HWND page, int except = 0) {
    const BYTE* block = Block(page);
    if (!block) return;
    ShowFields(page, block, except);
    SetCheckBox(page, kCoverSheet, nvx::fax::Flag(block, s::kCoverSheet));
    ShowResolution(page);
    EnableDependents(page);
}

// The change pattern of the tab: the fields before the change are kept, `store`
// writes the new value, the constraint check runs for the control; a refusal puts
// the fields back and shows them again; otherwise the hints are refreshed and a
// value that changed marks the page changed.  False on a refusal.
template <typename Store>
bool Change(HWND page, int control, Store store, int typing = 0) {
    OEMDEV* r = PageRecord(page);
    if (!r) return false;
    BYTE blockBefore[nvx::fax::kSettingSize];
    BYTE resolutionBefore[kResolutionTo - kResolutionFrom];
    std::memcpy(blockBefore, nvx::fax::SettingIn(r->bytes), sizeof blockBefore);
    std::memcpy(resolutionBefore, r->bytes + kResolutionFrom, sizeof resolutionBefore);
    store(*r);
    const bool changed = std::memcmp(blockBefore, nvx::fax::SettingIn(r->bytes), sizeof blockBefore) != 0 ||
                         std::memcmp(resolutionBefore, r->bytes + kResolutionFrom, sizeof resolutionBefore) != 0;
    if (CheckRestores(CheckConstraints(page, static_cast<uint32_t>(control)))) {
        std::memcpy(nvx::fax::SettingIn(r->bytes), blockBefore, sizeof blockBefore);
        std::memcpy(r->bytes + kResolutionFrom, resolutionBefore, sizeof resolutionBefore);
        ShowAll(page);
        return false;
    }
    ShowPageHints(page, PageContext(page), kPage);
    if (changed) SetPageChanged(page);
    ShowAll(page, typing);
    return true;
}

void ChangeFlag(HWND page, int control, size_t offset) {
    const bool on = Checked(page, control);
    Change(page, control, [&](OEMDEV& r) { nvx::fax::SetFlag(nvx::fax::SettingIn(r.bytes), offset, on); });
}

void ChangeResolution(HWND page) {
    HWND combo = GetDlgItem(page, kResolution);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return;
    const int32_t value = static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    const uint8_t* chosen = nullptr;
    for (const uint8_t* rec : FaxResolutions())
        if (features::Value(rec) == value) chosen = rec;
    if (!chosen) return;
    features::ResolutionData data;
    std::memcpy(&data, chosen + features::kModelDataAt, sizeof data);
    Change(page, kResolution, [&](OEMDEV& r) {
        settings::SetNumber(r, "byResolution", value);
        settings::SetNumber(r, "nResoH", data.horizontal);
        settings::SetNumber(r, "nResoV", data.vertical);
        settings::SetNumber(r, "nResoHV", data.diagonal);
        settings::SetNumber(r, "nBitsPixel", data.bitsPerPixel);
    });
}

// A time field that reads as a valid number is stored; anything else waits for
// the page-leave check.
void ChangeTime(HWND page, int control) {
    int value = 0;
    const bool hour = control == kHour;
    if (!nvx::fax::ParseTimeField(FieldText(page, control, 8), hour ? 23 : 59, &value)) return;
    Change(
        page, control,
        [&](OEMDEV& r) { nvx::fax::SettingIn(r.bytes)[hour ? s::kSendHour : s::kSendMinute] = static_cast<BYTE>(value); },
        control);
}

void ChangeText(HWND page, int control) {
    const WString text = FilterField(page, control);
    const size_t offset = control == kSubAddress ? s::kSubAddress : s::kSendId;
    Change(page, control, [&](OEMDEV& r) { nvx::fax::SetText(nvx::fax::SettingIn(r.bytes), offset, text); }, control);
}

// Button 1948: the printer's cover sheet through the cover sheet dialog; stored
// again only when the dialog ends with OK.
void OpenCoverSheet(HWND page) {
    const settings::PrinterUIContext* ctx = PageContext(page);
    const HANDLE printer = settings::ContextPrinter(ctx);
    const WString name = PrinterName(printer);
    const WString driver = DriverName(printer);
    BYTE record[kCoverSheetBytes] = {};
    ReadPrinterCoverSheet(name.c_str(), driver.c_str(), record);
    OEMDEV* r = PageRecord(page);
    const INT_PTR answer = RunCoverSheetDialog(page, name.c_str(), driver.c_str(), settings::ContextMayApply(ctx), record,
                                               r ? r->bytes : nullptr, 0, nullptr, ctx);
    // Anything but OK (Cancel, or -1: the dialog could not run) leaves the store alone.
    if (answer == IDOK) WritePrinterCoverSheet(name.c_str(), driver.c_str(), record);
}

void OpenPhoneBook(HWND page) {
    if (!OwnsPhoneBook(page)) return;
    const settings::PrinterUIContext* ctx = PageContext(page);
    const int32_t international = InternationalSupported();
    const uint32_t permission = settings::ContextMayApply(ctx);
    if (EditPhoneBook(page, settings::ContextPrinter(ctx), international, permission) == PhoneBookAnswer::Missing)
        ShowMessage(page, nvx::fax::kMsgFullCaption, MessageText(nvx::fax::kMsgPhoneBookMissing),
                    MB_OK | MB_ICONEXCLAMATION);
}

// Button 1032: the defaults of every shown control of this tab.
void RestoreDefaults(HWND page) {
    OEMDEV* r = PageRecord(page);
    if (!r) return;
    OEMDEV defaults{};
    if (!settings::FillDefaultSettings(defaults.bytes, settings::ContextPrinter(PageContext(page)))) return;
    bool changed = false;
    auto shown = [&](int id) {
        HWND c = GetDlgItem(page, id);
        return c && IsWindowVisible(c) && !constraints::ControlSwitchedOff(c);
    };
    auto copy = [&](size_t from, size_t to) {
        if (std::memcmp(r->bytes + from, defaults.bytes + from, to - from) == 0) return;
        std::memcpy(r->bytes + from, defaults.bytes + from, to - from);
        changed = true;
    };
    const size_t b = nvx::fax::kSettingOffset;
    if (shown(kResolution)) copy(kResolutionFrom, kResolutionTo);
    if (shown(kPrtRecFile)) copy(b + s::kPrtRecFile, b + s::kPrtRecFile + 1);
    if (shown(kTimerSend)) copy(b + s::kTimerSend, b + s::kTimerSend + 1);
    if (shown(kHour)) copy(b + s::kSendHour, b + s::kSendMinute + 1);
    if (shown(kSubAddressOn)) copy(b + s::kSubAddressOn, b + s::kSubAddressOn + 1);
    if (shown(kSubAddress)) copy(b + s::kSubAddress, b + s::kSendIdOn);
    if (shown(kSendIdOn)) copy(b + s::kSendIdOn, b + s::kSendIdOn + 1);
    if (shown(kSendId)) copy(b + s::kSendId, b + s::kCoverSheet);
    if (shown(kCoverSheet)) copy(b + s::kCoverSheet, b + s::kCoverSheet + 1);
    if (!changed) return;
    CheckConstraints(page, 0);
    ShowPageHints(page, PageContext(page), kPage);
    ShowAll(page);
    SetPageChanged(page);
}

INT_PTR OnInit(HWND page, LPARAM) {
    PrepareFields(page);
    FillResolutions(page);
    if (FaxResolutions().size() < 2)
        for (int id : {kResolutionGroup, kResolutionLabel, kResolution})
            SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    TakePhoneBook(page);
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    KeepControlsOff(page);
    ShowAll(page);
    return 0;
}

bool OnCommand(HWND page, int id, UINT code) {
    switch (id) {
    case kResolution:
        if (code == CBN_SELCHANGE) ChangeResolution(page);
        return true;
    case kPrtRecFile:
    case kTimerSend:
    case kSubAddressOn:
    case kSendIdOn:
    case kCoverSheet:
        if (code == BN_CLICKED) {
            const size_t offset = id == kPrtRecFile      ? s::kPrtRecFile
                                  : id == kTimerSend     ? s::kTimerSend
                                  : id == kSubAddressOn  ? s::kSubAddressOn
                                  : id == kSendIdOn      ? s::kSendIdOn
                                                         : s::kCoverSheet;
            ChangeFlag(page, id, offset);
        }
        return true;
    case kHour:
    case kMinute:
        if (code == EN_CHANGE && !FieldsUpdating() && !PageInitializing()) ChangeTime(page, id);
        return true;
    case kSubAddress:
    case kSendId:
        if (code == EN_CHANGE && !FieldsUpdating() && !PageInitializing()) ChangeText(page, id);
        return true;
    case kRefCurTime:
        if (code == BN_CLICKED) UseShownTime(page);
        return true;
    case kCoverSettings:
        if (code == BN_CLICKED) OpenCoverSheet(page);
        return true;
    case kEditPhoneBook:
        if (code == BN_CLICKED) OpenPhoneBook(page);
        return true;
    case kDefaults:
        if (code == BN_CLICKED) RestoreDefaults(page);
        return true;
    default:
        return false;
    }
}

void OnSetActive(HWND page) {
    ShowCurrentTime(page);
    if (!CheckRunning()) CheckConstraints(page, 0);
    ShowPageHints(page, PageContext(page), kPage);
    ShowAll(page);
}

bool OnKillActive(HWND page) {
    const BYTE* block = Block(page);
    return !block || CheckEntered(page, block);
}

void OnDestroy(HWND page) {
    ReleasePhoneBook(page);
}

const PageDef kFaxPage = [] {
    PageDef d{kPage, kStepsAll};
    d.init = OnInit;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    d.destroy = OnDestroy;
    return d;
}();

}  // namespace

INT_PTR CALLBACK FaxPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kFaxPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
