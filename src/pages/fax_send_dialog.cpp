// The fax transmission dialog (180) the host opens when a fax job is printed, with
// its fax mode details (181) and fax number confirmation (2575) dialogs.
//
// The host hands seven pointers (FaxSendToBlock): the destination count, the
// destination array (100 entries), the cover sheet record, the job's FaxSetting
// block, the printer handle, the job's settings record and the printer's
// device-option record.  The dialog works on its own copies of the count, the
// array, the cover sheet and the FaxSetting block: OK writes them to the host's
// buffers, Cancel leaves every buffer exactly as the host passed it.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "features/fax.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "pages/fax_availability.h"
#include "pages/fax_fields.h"
#include "pages/fax_links.h"
#include "pages/fax_send.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_skeleton.h"
#include "pages/page_texts.h"
#include "pages/safe_format.h"
#include "pages/text_display.h"
#include "settings/devoption.h"

namespace nvx::pages {

namespace {

using namespace fax;
namespace f = nvx::fax;
namespace d = nvx::fax::destination;

enum : int {
    kClear = 1032,
    kName = 1990,
    kPicture = 2036,
    kAdd = 2041,
    kAddFromBook = 2042,
    kStoreInBook = 2043,
    kEcm = 2044,
    kInternational = 2045,
    kV34 = 2046,
    kList = 2047,
    kCounter = 2048,
    kDelete = 2049,
    kModeDetails = 2050,
    kCoverSettings = 2051,
    kCoverSheet = 2052,
    kNumber = 2053,
    kAddFromDevice = 2594,
    kWarning = 2595,
    kHelpTopic = 21500,
    // Fax number confirmation.
    kConfirmName = 2578,
    kConfirmNumber = 2580,
};

// The recipient part of the cover sheet record: its mode (1: details) and the
// source of the details (0: one joint name).
constexpr size_t kConfirmBufferBytes = 486;  // three strings of 81 units
constexpr size_t kRecipientMode = 1508;
constexpr size_t kRecipientSource = 1508 + 68;

struct Job {
    const FaxSendToBlock* host = nullptr;
    int32_t count = 0;
    std::vector<BYTE> array = std::vector<BYTE>(f::kDestinationArrayBytes, 0);
    std::vector<BYTE> itemBytes = std::vector<BYTE>(f::kMaxDestinations, 0);
    BYTE cover[kCoverSheetBytes] = {};
    BYTE settings[f::kSettingSize] = {};
    HANDLE printer = nullptr;
    WString printerName, driverName;
    bool international = false;
    bool coverAvailable = true;
};

const WCHAR kJobProp[] = WL("NovrixFaxJob");

Job* JobOf(HWND dlg) {
    return static_cast<Job*>(GetPropW(dlg, kJobProp));
}

const model::ControlTextRow* Texts() {
    return PageTexts(kPageFaxSend);
}

WString Display(const char* key) {
    return TableText(Texts(), key);
}

bool Checked(HWND dlg, int id) {
    return SendMessageW(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetCheck(HWND dlg, int id, bool on) {
    if (HWND c = GetDlgItem(dlg, id)) SendMessageW(c, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Enable(HWND dlg, int id, bool on) {
    if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, on);
}

void Hide(HWND dlg, int id) {
    if (HWND c = GetDlgItem(dlg, id)) {
        ShowWindow(c, SW_HIDE);
        EnableWindow(c, FALSE);
    }
}

bool ModelSwitch(features::SwitchId id) {
    const features::ModelRecord* model = model::Loaded().tables.record;
    return model && model->switches[id] != 0;
}

// The printer's ConfirmFaxNumber option is 1.
bool ConfirmNumbers(const Job& job) {
    const BYTE* options = job.host ? job.host->deviceOptions : nullptr;
    const features::DeviceOptionTable* table = model::Loaded().tables.deviceOptions;
    const features::DeviceOptionRow* row = table ? table->Find("ConfirmFaxNumber") : nullptr;
    return options && row && settings::GetOptionValue(options, row->index) == 1;
}

// ---- The list ----

struct Column {
    const char* key;
    int width;
};
constexpr Column kColumns[] = {{"FtpListName", 90},       {"FtpListFAXNumber", 100}, {"FtpListCompany", 80},
                               {"FtpListDepartment", 80}, {"FtpListECM", 40},       {"FtpListIntTransMode", 40},
                               {"FtpListV34Mode", 40}};

void BuildColumns(HWND dlg, const Job& job) {
    HWND list = GetDlgItem(dlg, kList);
    int at = 0;
    for (const Column& c : kColumns) {
        if (std::strcmp(c.key, "FtpListIntTransMode") == 0 && !job.international) continue;
        WString header = Display(c.key);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.cx = c.width;
        col.pszText = header.data();
        col.iSubItem = at;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&col));
        ++at;
    }
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

std::vector<WString> Cells(const Job& job, const f::Destination& e) {
    std::vector<WString> cells = {e.name, e.number, e.company, e.department,
                                  Display(e.ecm ? "FtpECMON" : "FtpECMOFF")};
    if (job.international) cells.push_back(Display(e.international ? "FtpIntTransModeON" : "FtpIntTransModeOFF"));
    cells.push_back(Display(e.v34 ? "FtpV34ModeON" : "FtpV34ModeOFF"));
    return cells;
}

// The whole list again from the job's array and count.
void RebuildList(HWND dlg, const Job& job) {
    HWND list = GetDlgItem(dlg, kList);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int32_t i = 0; i < job.count; ++i) {
        std::vector<WString> cells = Cells(job, f::ReadDestination(job.array.data(), i));
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = cells[0].data();
        item.lParam = job.itemBytes[static_cast<size_t>(i)];
        const LRESULT row = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (row < 0) continue;
        for (size_t c = 1; c < cells.size(); ++c) {
            LVITEMW sub{};
            sub.iSubItem = static_cast<int>(c);
            sub.pszText = cells[c].data();
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        }
    }
}

std::vector<int32_t> SelectedRows(HWND dlg) {
    HWND list = GetDlgItem(dlg, kList);
    std::vector<int32_t> rows;
    for (LRESULT i = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); i >= 0;
         i = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))
        rows.push_back(static_cast<int32_t>(i));
    return rows;
}

// ---- State shown ----

void Refresh(HWND dlg) {
    Job* job = JobOf(dlg);
    if (!job) return;
    const bool v34 = Checked(dlg, kV34);
    if (v34) SetCheck(dlg, kEcm, true);
    Enable(dlg, kEcm, !v34);
    const bool hasName = !FieldText(dlg, kName, 8).empty();
    const bool hasNumber = !FieldText(dlg, kNumber, 8).empty();
    Enable(dlg, kAdd, hasNumber);
    Enable(dlg, kStoreInBook, OwnsPhoneBook(dlg) && hasName && hasNumber);
    Enable(dlg, kDelete, !SelectedRows(dlg).empty());
    Enable(dlg, IDOK, job->count > 0);
    Enable(dlg, kCoverSheet, job->coverAvailable);
    Enable(dlg, kCoverSettings, job->coverAvailable && Checked(dlg, kCoverSheet));
    const int32_t values[] = {job->count, f::kMaxDestinations};
    const WString counter = Display("FtpListCurRec") + WFromAscii(" ") +
                            FormatNumberList(WFromAscii("%d/%d  "), values, 2);
    SetDlgItemTextW(dlg, kCounter, counter.c_str());
    const bool warn = Checked(dlg, kCoverSheet) && job->count >= 2 && job->cover[kRecipientMode] == 1 &&
                      job->cover[kRecipientSource] == 0;
    if (HWND icon = GetDlgItem(dlg, kWarning)) ShowWindow(icon, warn ? SW_SHOWNA : SW_HIDE);
}

f::Destination TypedDestination(HWND dlg, const Job& job) {
    f::Destination e;
    e.name = FieldText(dlg, kName, d::kNameChars);
    e.number = FieldText(dlg, kNumber, d::kNameChars);
    e.ecm = Checked(dlg, kEcm);
    e.international = job.international && Checked(dlg, kInternational);
    e.v34 = Checked(dlg, kV34);
    return e;
}

// The fax number typed a second time when the printer asks for it.  False when
// the add (or the store) ends here.
bool NumberConfirmed(HWND dlg, const Job& job) {
    if (!ConfirmNumbers(job)) return true;
    // The buffer's three 81-unit strings (name, number, number again) lie as the
    // name, number and company fields of a destination do.
    const f::Destination typed = TypedDestination(dlg, job);
    std::vector<BYTE> entry(f::kDestinationSize, 0);
    f::Destination shown;
    shown.name = typed.name;
    shown.number = typed.number;
    f::WriteDestination(entry.data(), 0, shown);
    BYTE buffer[kConfirmBufferBytes] = {};
    std::memcpy(buffer, entry.data(), sizeof buffer);
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, dlg, kPageConfirmFaxNumber,
                                           ConfirmFaxNumberDialogProc, reinterpret_cast<LPARAM>(buffer));
    if (answer != IDOK) return false;
    std::memcpy(entry.data(), buffer, sizeof buffer);
    if (f::ReadDestination(entry.data(), 0).company != typed.number) {
        SetFocus(GetDlgItem(dlg, kNumber));
        ShowMessage(dlg, f::kMsgCaption, MessageText(f::kMsgNumberMismatch), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void AfterListChange(HWND dlg) {
    Refresh(dlg);
    if (!IsWindowEnabled(GetDlgItem(dlg, kAdd))) SetFocus(GetDlgItem(dlg, kList));
}

void OnAdd(HWND dlg) {
    Job* job = JobOf(dlg);
    if (!job || !NumberConfirmed(dlg, *job)) return;
    switch (f::AddDestination(job->array.data(), &job->count, TypedDestination(dlg, *job))) {
    case f::AddResult::Full:
        ShowMessage(dlg, f::kMsgFullCaption, MessageText(f::kMsgFull), MB_OK | MB_ICONEXCLAMATION);
        return;
    case f::AddResult::Duplicate:
        ShowMessage(dlg, f::kMsgCaption, MessageText(f::kMsgDuplicate), MB_OK | MB_ICONEXCLAMATION);
        return;
    case f::AddResult::Added:
        break;
    }
    job->itemBytes[static_cast<size_t>(job->count - 1)] = 0;
    RebuildList(dlg, *job);
    SetDlgItemTextW(dlg, kName, WL(""));
    SetDlgItemTextW(dlg, kNumber, WL(""));
    AfterListChange(dlg);
}

void OnDelete(HWND dlg) {
    Job* job = JobOf(dlg);
    const std::vector<int32_t> rows = SelectedRows(dlg);
    if (!job || rows.empty()) return;
    if (ShowMessage(dlg, f::kMsgDeleteCaption, MessageText(f::kMsgDeleteAsk), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The row bytes move with their entries.
    std::vector<BYTE> bytes = job->itemBytes;
    int32_t n = job->count;
    int32_t removed = 0;
    for (int32_t r : rows) {
        const int32_t at = r - removed;
        if (at < 0 || at >= n) continue;
        bytes.erase(bytes.begin() + at);
        bytes.push_back(0);
        --n;
        ++removed;
    }
    job->itemBytes = bytes;
    f::DeleteDestinations(job->array.data(), &job->count, rows);
    RebuildList(dlg, *job);
    Refresh(dlg);
}

void OnPhoneBookAdd(HWND dlg, bool fromDevice) {
    Job* job = JobOf(dlg);
    if (!job || !OwnsPhoneBook(dlg)) return;
    if (job->count >= f::kMaxDestinations) {
        ShowMessage(dlg, f::kMsgFullCaption, MessageText(f::kMsgFull), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::fill(job->itemBytes.begin(), job->itemBytes.end(), BYTE(0));
    const int32_t international = job->international ? 1 : 0;
    const PhoneBookAnswer answer =
        fromDevice ? AddFromDeviceInfo(dlg, job->array.data(), &job->count, job->itemBytes.data(), job->printer,
                                       international, job->printerName, job->driverName,
                                       job->host ? job->host->deviceOptions : nullptr)
                   : AddFromPhoneBook(dlg, job->array.data(), &job->count, job->itemBytes.data(), job->printer,
                                      international);
    job->count = f::UsableCount(job->count);
    if (answer == PhoneBookAnswer::Done) RebuildList(dlg, *job);
    AfterListChange(dlg);
}

void OnStoreInPhoneBook(HWND dlg) {
    Job* job = JobOf(dlg);
    if (!job || !OwnsPhoneBook(dlg) || !NumberConfirmed(dlg, *job)) return;
    std::vector<BYTE> entry(f::kDestinationSize, 0);
    f::WriteDestination(entry.data(), 0, TypedDestination(dlg, *job));
    const bool stored = StoreInPhoneBook(entry.data()) == PhoneBookAnswer::Done;
    ShowMessage(dlg, f::kMsgPhoneBookCaption, MessageText(stored ? f::kMsgStored : f::kMsgNotStored),
                MB_OK | MB_ICONINFORMATION);
}

void OnModeDetails(HWND dlg) {
    Job* job = JobOf(dlg);
    if (!job) return;
    BYTE copy[f::kSettingSize];
    std::memcpy(copy, job->settings, sizeof copy);
    if (RunModuleDialog(frame::Module().dialogResources, dlg, kPageFaxModeDetails, FaxModeDetailsDialogProc,
                        reinterpret_cast<LPARAM>(copy)) == IDOK)
        std::memcpy(job->settings, copy, sizeof copy);
    Refresh(dlg);
}

void OnCoverSettings(HWND dlg) {
    Job* job = JobOf(dlg);
    if (!job) return;
    BYTE before[kCoverSheetBytes];
    std::memcpy(before, job->cover, sizeof before);
    const INT_PTR answer =
        RunCoverSheetDialog(dlg, job->printerName.c_str(), job->driverName.c_str(), 1, job->cover,
                            job->host->settingsRecord, job->count, job->array.data(), nullptr);
    // Anything but OK (also -1: the dialog could not run) keeps the record as it was.
    if (answer != IDOK) std::memcpy(job->cover, before, sizeof before);
    Refresh(dlg);
}

void OnClear(HWND dlg) {
    SetDlgItemTextW(dlg, kName, WL(""));
    SetDlgItemTextW(dlg, kNumber, WL(""));
    SetCheck(dlg, kEcm, true);
    SetCheck(dlg, kInternational, false);
    SetCheck(dlg, kV34, true);
    SetCheck(dlg, kCoverSheet, false);
    if (Job* job = JobOf(dlg)) f::SetFlag(job->settings, f::setting::kCoverSheet, false);
    Refresh(dlg);
}

// OK: a timed transmission is confirmed with its date first; the host's buffers
// receive the job's list, cover sheet and settings.
void OnOk(HWND dlg) {
    Job* job = JobOf(dlg);
    if (!job || job->count <= 0) return;
    if (f::Flag(job->settings, f::setting::kTimerSend)) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        const int hour = job->settings[f::setting::kSendHour];
        const int minute = job->settings[f::setting::kSendMinute];
        const f::Date date = f::SendDate({now.wYear, now.wMonth, now.wDay}, now.wHour, now.wMinute, hour, minute);
        const int32_t values[] = {date.year, date.month, date.day, hour, minute};
        const WString text = FormatNumberList(MessageText(f::kMsgSendAt), values, 5);
        if (ShowMessage(dlg, f::kMsgSendAtCaption, text, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) return;
    }
    const FaxSendToBlock& host = *job->host;
    *host.count = job->count;
    std::memcpy(host.destinations, job->array.data(), f::kDestinationArrayBytes);
    if (host.coverSheet) std::memcpy(host.coverSheet, job->cover, kCoverSheetBytes);
    std::memcpy(host.faxSetting, job->settings, f::kSettingSize);
    EndDialog(dlg, IDOK);
}

INT_PTR OnInit(HWND dlg, LPARAM param) {
    const auto* host = reinterpret_cast<const FaxSendToBlock*>(param);
    auto job = std::make_unique<Job>();
    job->host = host;
    job->printer = host->printer ? *host->printer : nullptr;
    job->printerName = PrinterName(job->printer);
    job->driverName = DriverName(job->printer);
    std::memcpy(job->settings, host->faxSetting, f::kSettingSize);
    if (host->coverSheet) std::memcpy(job->cover, host->coverSheet, kCoverSheetBytes);
    ReadPrinterCoverSheet(job->printerName.c_str(), job->driverName.c_str(), job->cover);
    job->international = ModelSwitch(features::kSw_FtpIntTransMode);
    job->coverAvailable = host->coverSheet && CoverSheetsAvailableToJob(job->printerName);
    SetPropW(dlg, kJobProp, job.get());
    Job& j = *job.release();

    ApplyTextTable(dlg, Texts());
    SendMessageW(GetDlgItem(dlg, kName), EM_LIMITTEXT, d::kNameChars, 0);
    SendMessageW(GetDlgItem(dlg, kNumber), EM_LIMITTEXT, d::kNumberChars, 0);
    SetCheck(dlg, kEcm, true);
    SetCheck(dlg, kInternational, false);
    SetCheck(dlg, kV34, true);
    SetCheck(dlg, kCoverSheet, f::Flag(j.settings, f::setting::kCoverSheet));
    BuildColumns(dlg, j);
    if (!TakePhoneBook(dlg))
        for (int id : {kAddFromBook, kStoreInBook, kAddFromDevice}) Enable(dlg, id, false);
    if (!j.international) Hide(dlg, kInternational);
    if (!ModelSwitch(features::kSw_AddDevInfoToRec)) Hide(dlg, kAddFromDevice);
    if (HWND icon = GetDlgItem(dlg, kWarning))
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    Refresh(dlg);
    return TRUE;
}

bool OnCommand(HWND dlg, int id, UINT code) {
    Job* job = JobOf(dlg);
    switch (id) {
    case kNumber:
        if (code == EN_CHANGE && !FieldsUpdating()) {
            FilterField(dlg, kNumber);
            Refresh(dlg);
        }
        return true;
    case kName:
        if (code == EN_CHANGE) Refresh(dlg);
        return true;
    case kEcm:
    case kInternational:
    case kV34:
        if (code == BN_CLICKED) Refresh(dlg);
        return true;
    case kCoverSheet:
        if (code == BN_CLICKED && job) {
            f::SetFlag(job->settings, f::setting::kCoverSheet, Checked(dlg, kCoverSheet));
            Refresh(dlg);
        }
        return true;
    case kAdd:
        if (code == BN_CLICKED) OnAdd(dlg);
        return true;
    case kDelete:
        if (code == BN_CLICKED) OnDelete(dlg);
        return true;
    case kAddFromBook:
    case kAddFromDevice:
        if (code == BN_CLICKED) OnPhoneBookAdd(dlg, id == kAddFromDevice);
        return true;
    case kStoreInBook:
        if (code == BN_CLICKED) OnStoreInPhoneBook(dlg);
        return true;
    case kModeDetails:
        if (code == BN_CLICKED) OnModeDetails(dlg);
        return true;
    case kCoverSettings:
        if (code == BN_CLICKED) OnCoverSettings(dlg);
        return true;
    case kClear:
        if (code == BN_CLICKED) OnClear(dlg);
        return true;
    case IDOK:
        OnOk(dlg);
        return true;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    case IDHELP:
        ShowPageHelp(dlg, kHelpTopic);
        return true;
    default:
        return false;
    }
}

bool OnNotify(HWND dlg, const NMHDR* header, LRESULT*) {
    if (header->idFrom == kList && header->code == static_cast<UINT>(LVN_ITEMCHANGED)) Refresh(dlg);
    return false;
}

void OnDestroy(HWND dlg) {
    ReleasePhoneBook(dlg);
    delete JobOf(dlg);
    RemovePropW(dlg, kJobProp);
}

const PageDef kFaxSendDialog = [] {
    PageDef p{kPageFaxSend, 0, PageKind::Dialog};
    p.commonInit = false;
    p.helpTopic = kHelpTopic;
    p.init = OnInit;
    p.command = OnCommand;
    p.notify = OnNotify;
    p.destroy = OnDestroy;
    return p;
}();

// ---- Fax mode details (181): a private copy of the job's FaxSetting block ----

const WCHAR kCopyProp[] = WL("NovrixFaxModeCopy");

BYTE* CopyOf(HWND dlg) {
    return static_cast<BYTE*>(GetPropW(dlg, kCopyProp));
}

INT_PTR OnDetailsInit(HWND dlg, LPARAM param) {
    SetPropW(dlg, kCopyProp, reinterpret_cast<HANDLE>(param));
    ApplyTextTable(dlg, PageTexts(kPageFaxModeDetails));
    PrepareFields(dlg);
    ShowFields(dlg, CopyOf(dlg));
    EnableFieldDependents(dlg, CopyOf(dlg), true);
    return TRUE;
}

bool OnDetailsCommand(HWND dlg, int id, UINT code) {
    BYTE* copy = CopyOf(dlg);
    if (!copy) return false;
    namespace s = f::setting;
    switch (id) {
    case kPrtRecFile:
    case kTimerSend:
    case kSubAddressOn:
    case kSendIdOn:
        if (code == BN_CLICKED) {
            const size_t offset = id == kPrtRecFile ? s::kPrtRecFile
                                  : id == kTimerSend ? s::kTimerSend
                                  : id == kSubAddressOn ? s::kSubAddressOn
                                                        : s::kSendIdOn;
            f::SetFlag(copy, offset, Checked(dlg, id));
            EnableFieldDependents(dlg, copy, true);
        }
        return true;
    case kSubAddress:
    case kSendId:
        if (code == EN_CHANGE && !FieldsUpdating()) FilterField(dlg, id);
        return true;
    case kRefCurTime:
        if (code == BN_CLICKED) UseShownTime(dlg);
        return true;
    case IDOK: {
        if (!CheckEntered(dlg, copy)) return true;
        int value = 0;
        if (f::ParseTimeField(FieldText(dlg, kHour, 8), 23, &value)) copy[s::kSendHour] = static_cast<BYTE>(value);
        if (f::ParseTimeField(FieldText(dlg, kMinute, 8), 59, &value)) copy[s::kSendMinute] = static_cast<BYTE>(value);
        f::SetText(copy, s::kSubAddress, FieldText(dlg, kSubAddress, s::kTextChars));
        f::SetText(copy, s::kSendId, FieldText(dlg, kSendId, s::kTextChars));
        EndDialog(dlg, IDOK);
        return true;
    }
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    default:
        return false;
    }
}

void OnDetailsDestroy(HWND dlg) {
    RemovePropW(dlg, kCopyProp);
}

const PageDef kModeDetailsDialog = [] {
    PageDef p{kPageFaxModeDetails, 0, PageKind::Dialog};
    p.commonInit = false;
    p.init = OnDetailsInit;
    p.command = OnDetailsCommand;
    p.destroy = OnDetailsDestroy;
    return p;
}();

// ---- Fax number confirmation (2575): name and number in, the number typed again out ----

const WCHAR kBufferProp[] = WL("NovrixFaxConfirm");
const WCHAR kEditProcProp[] = WL("NovrixFaxConfirmEdit");

// The number box takes no paste: the number must be typed.
LRESULT CALLBACK NoPasteEdit(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(edit, kEditProcProp));
    if (msg == WM_PASTE) return 0;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(edit, kEditProcProp);
    }
    return original ? CallWindowProcW(original, edit, msg, wParam, lParam) : DefWindowProcW(edit, msg, wParam, lParam);
}

INT_PTR OnConfirmInit(HWND dlg, LPARAM param) {
    SetPropW(dlg, kBufferProp, reinterpret_cast<HANDLE>(param));
    ApplyTextTable(dlg, PageTexts(kPageConfirmFaxNumber));
    std::vector<BYTE> entry(f::kDestinationSize, 0);
    std::memcpy(entry.data(), reinterpret_cast<const BYTE*>(param), kConfirmBufferBytes);
    SetDlgItemTextW(dlg, kConfirmName, f::ReadDestination(entry.data(), 0).name.c_str());
    Enable(dlg, kConfirmName, false);
    HWND number = GetDlgItem(dlg, kConfirmNumber);
    if (number) {
        SendMessageW(number, EM_LIMITTEXT, d::kNumberChars, 0);
        SetPropW(number, kEditProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrW(number, GWLP_WNDPROC)));
        SetWindowLongPtrW(number, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoPasteEdit));
    }
    Enable(dlg, IDOK, false);
    return TRUE;
}

bool OnConfirmCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case kConfirmNumber:
        if (code == EN_CHANGE && !FieldsUpdating()) {
            FilterField(dlg, kConfirmNumber);
            Enable(dlg, IDOK, !FieldText(dlg, kConfirmNumber, 8).empty());
        }
        return true;
    case IDOK: {
        auto* buffer = static_cast<BYTE*>(GetPropW(dlg, kBufferProp));
        if (!buffer || FieldText(dlg, kConfirmNumber, 8).empty()) return true;
        std::vector<BYTE> entry(f::kDestinationSize, 0);
        std::memcpy(entry.data(), buffer, kConfirmBufferBytes);
        f::Destination e = f::ReadDestination(entry.data(), 0);
        e.company = FieldText(dlg, kConfirmNumber, d::kNameChars);
        f::WriteDestination(entry.data(), 0, e);
        std::memcpy(buffer + d::kCompany, entry.data() + d::kCompany, kConfirmBufferBytes - d::kCompany);
        EndDialog(dlg, IDOK);
        return true;
    }
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    default:
        return false;
    }
}

void OnConfirmDestroy(HWND dlg) {
    RemovePropW(dlg, kBufferProp);
}

const PageDef kConfirmDialog = [] {
    PageDef p{kPageConfirmFaxNumber, 0, PageKind::Dialog};
    p.commonInit = false;
    p.init = OnConfirmInit;
    p.command = OnConfirmCommand;
    p.destroy = OnConfirmDestroy;
    return p;
}();

}  // namespace

INT_PTR CALLBACK FaxSendDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kFaxSendDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK FaxModeDetailsDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kModeDetailsDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK ConfirmFaxNumberDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kConfirmDialog, hwnd, msg, wParam, lParam);
}

const FaxSendToBlock* FaxSendBlockOf(HWND dialog) {
    if (!dialog || !IsWindow(dialog)) return nullptr;
    const Job* job = JobOf(dialog);
    return job ? job->host : nullptr;
}

UINT_PTR RunFaxSendTo(const FaxSendToBlock* block) {
    // A block the dialog cannot be driven with is refused as Cancel, with nothing written.
    if (!block || !block->count || !block->destinations || !block->faxSetting) return IDCANCEL;
    frame::InitModuleCommonControls();
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, GetActiveWindow(), kPageFaxSend,
                                      FaxSendDialogProc, reinterpret_cast<LPARAM>(block));
    return r == IDOK ? IDOK : IDCANCEL;
}

}  // namespace nvx::pages
