// The Basic tab (page 100): orientation, paper and output size, zoom, tray and
// media, copies, output method and the paper options.
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "device/auth_apply.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/paper_logic.h"
#include "features/switch_ids.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "pages/hints.h"
#include "pages/layout_logic.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/page_texts.h"
#include "pages/safe_format.h"
#include "pages/text_display.h"
#include "pages/user_auth.h"
#include "pages/user_setting_dialog.h"
#include "pages/user_setting_t1.h"
#include "pages/user_records.h"
#include "pages/user_setting_dialog.h"
#include "settings/sheet_work.h"
#include "stamps/watermark_sheet.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageBasic;

enum : int {
    kPaperSize = 1000,
    kMediaType = 1003,
    kInTray = 1006,
    kCopies = 1011,
    kCopiesSpin = 1012,
    kCollate = 1014,
    kJobOffset = 1018,
    kPortrait = 1020,
    kLandscape = 1023,
    kZoom = 1033,
    kOutPaperSize = 1040,
    kPercent = 1067,
    kCopiesRange = 1126,
    kOutputMethod = 1138,
    kZoomRange = 1178,
    kPaperOption1 = 1193,
    kPaperOption2 = 1194,
    kZoomSpin = 1206,
    kZoomAuto = 1227,
    kZoomManual = 1228,
    kUserSettings = 1285,
    kPaperSourceSettings = 1287,
    kAutoPaperSettings = 1898,
    kAuthentication = 2170,
    kCustomPaperList = 1551,
};

// Message slots of the out-of-range boxes.
constexpr unsigned kSlotCaption = 1;
constexpr unsigned kSlotOutOfRange = 2;
constexpr unsigned kSlotZoomRange = 10;
constexpr unsigned kSlotCopiesRange = 11;

// Controls the sheet's may-apply refusal disables.
constexpr int kReadOnlyControls[] = {kPortrait,  kLandscape,    kPaperSize, kOutPaperSize, kZoomAuto,  kZoomManual,
                                     kZoom,      kZoomSpin,     kInTray,    kMediaType,    kCopies,    kCopiesSpin,
                                     kCollate,   kJobOffset,    kOutputMethod, kPaperOption1, kPaperOption2};
// Buttons whose dialogs this build does not carry: they stay hidden and disabled.
constexpr int kButtonsWithoutDialogs[] = {kPaperSourceSettings, kAutoPaperSettings};
// Controls of the page's alternative layouts (picture and layout buttons; 1133 and 1134
// are the preset group's save and edit buttons here).
constexpr int kAlternativeLayout[] = {1032, 2500, 1195, 1196};

// Set while the page writes its own controls: the edit boxes' EN_CHANGE is then
// the page's own doing, not the user's.
int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

// The zoom value when its box got the focus: a refused check puts it back.
const WCHAR kZoomBeforeProp[] = WL("NovrixZoomBefore");

OEMDEV* Record(HWND page) {
    return PageRecord(page);
}

int32_t Field(HWND page, const char* name) {
    const OEMDEV* r = Record(page);
    return r ? settings::GetNumber(*r, name) : 0;
}

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

// The out-of-range message box: caption slot 1, text slot 2 then `rangeSlot`, the
// range filled in.
void OutOfRangeBox(HWND page, unsigned rangeSlot, int32_t minimum, int32_t maximum) {
    // The first text ends with its own line break when the package wants one.
    const WString text = FormatNumbers(Slot(kSlotOutOfRange) + Slot(rangeSlot), minimum, maximum);
    MessageBoxW(page, text.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void ShowZoomState(HWND page) {
    Updating updating;
    const bool manual = Field(page, "bScaleAuto") == 0;
    const bool mayApply = settings::ContextMayApply(PageContext(page)) != 0;
    for (int id : {kZoom, kZoomSpin})
        if (HWND c = GetDlgItem(page, id); c && !constraints::ControlSwitchedOff(c)) EnableWindow(c, manual && mayApply);
    int32_t lo, hi;
    features::ModelRange("Zoom", &lo, &hi);
    HWND spin = GetDlgItem(page, kZoomSpin);
    int curLo = 0, curHi = 0;
    SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&curLo), reinterpret_cast<LPARAM>(&curHi));
    if (curLo != (manual ? lo : 1) || curHi != hi) SendMessageW(spin, UDM_SETRANGE32, manual ? lo : 1, hi);
    // The spin control would bring a value outside its range inside and rewrite
    // the box: a value the user still has to correct stays as typed.
    const int32_t scale = Field(page, "nScale");
    if (scale >= (manual ? lo : 1) && scale <= hi) SendMessageW(spin, UDM_SETPOS32, 0, scale);
}

void ShowAll(HWND page) {
    Updating updating;
    if (HWND spin = GetDlgItem(page, kCopiesSpin)) SendMessageW(spin, UDM_SETPOS32, 0, Field(page, "nCopies"));
    ShowPageItems(page, kPage);
    ShowZoomState(page);
}

void RecomputeAutoZoom(HWND page) {
    OEMDEV* r = Record(page);
    if (!r || settings::GetNumber(*r, "bScaleAuto") == 0) return;
    settings::SetNumber(*r, "nScale", features::AutomaticZoom(*r));
    ShowAll(page);
}

// ---- Reading the two edit boxes ----

// Copies: the signed number; while validating, a number outside the range shows the
// message and is refused (false).  Otherwise the value, kept inside the range as
// the spin control keeps its position, is stored with dmCopies.
bool ReadCopies(HWND page, bool validating, bool* changed) {
    *changed = false;
    int32_t lo, hi;
    features::ModelRange("Copies", &lo, &hi);
    BOOL ok = FALSE;
    const int32_t typed = static_cast<int32_t>(GetDlgItemInt(page, kCopies, &ok, TRUE));
    if (validating && (!ok || typed < lo || typed > hi)) {
        OutOfRangeBox(page, kSlotCopiesRange, lo, hi);
        return false;
    }
    if (!ok) return true;
    const int32_t value = typed < lo ? lo : typed > hi ? hi : typed;
    auto* ctx = PageContext(page);
    if (value == 0 && settings::InCustomPage(ctx)) return true;
    if (value == Field(page, "nCopies")) return true;
    *changed = true;
    const UINT_PTR r = ChangeItem(page, kPage, kCopies, value);
    if (!CheckRestores(r))
        if (DEVMODEW* dm = settings::ContextDevMode(ctx)) dm->dmCopies = static_cast<short>(value);
    return true;
}

// Zoom: the unsigned number; while validating with manual zoom, a number outside
// the range shows the message and is refused.  Otherwise it is stored in nScale.
bool ReadZoom(HWND page, bool validating) {
    int32_t lo, hi;
    features::ModelRange("Zoom", &lo, &hi);
    BOOL ok = FALSE;
    const UINT typed = GetDlgItemInt(page, kZoom, &ok, FALSE);
    const bool manual = Field(page, "bScaleAuto") == 0;
    if (validating && manual && (!ok || typed < static_cast<UINT>(lo) || typed > static_cast<UINT>(hi))) {
        OutOfRangeBox(page, kSlotZoomRange, lo, hi);
        return false;
    }
    OEMDEV* r = Record(page);
    if (!ok || !r || static_cast<int32_t>(typed) == settings::GetNumber(*r, "nScale") || typed > 0x7FFF) return true;
    settings::SetNumber(*r, "nScale", static_cast<int32_t>(typed));
    SetPageChanged(page);
    InvalidateRect(GetDlgItem(page, kZoomSpin), nullptr, TRUE);
    return true;
}

// ---- WM_INITDIALOG ----

void InitZoom(HWND page) {
    int32_t lo, hi;
    features::ModelRange("Zoom", &lo, &hi);
    const WString digits = std::to_string(hi).size() <= 9 ? WFormatString(WL("%d"), hi) : WString();
    SendMessageW(GetDlgItem(page, kZoom), EM_LIMITTEXT, digits.size(), 0);
    SendMessageW(GetDlgItem(page, kZoomSpin), UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, kZoom)), 0);
    WCHAR format[64] = {};
    GetDlgItemTextW(page, kZoomRange, format, 64);
    SetDlgItemTextW(page, kZoomRange, FormatNumbers(format, lo, hi).c_str());
    SetDlgItemTextW(page, kPercent, WL("%"));
}

void InitCopies(HWND page) {
    int32_t lo, hi;
    features::ModelRange("Copies", &lo, &hi);
    const WString digits = WFormatString(WL("%d"), hi);
    SendMessageW(GetDlgItem(page, kCopies), EM_LIMITTEXT, digits.size(), 0);
    HWND spin = GetDlgItem(page, kCopiesSpin);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, kCopies)), 0);
    SendMessageW(spin, UDM_SETBASE, 10, 0);
    SendMessageW(spin, UDM_SETRANGE32, lo, hi);
    WString format = TableText(PageTexts(kPage), "CopiesRange");
    if (format.empty()) format = WL("[%d...%d]");
    SetDlgItemTextW(page, kCopiesRange, FormatNumbers(format, lo, hi).c_str());
}

int32_t UserSettingsKind() {
    const auto* record = model::Loaded().tables.record;
    return record ? record->switches[features::kSw_UserAuthentication] : 0;
}

// The authentication button: for a model that carries user settings.
bool AuthenticationOffered() {
    return device::UserSettingsCheckPasses(model::Loaded().tables.record);
}

// The user settings button: the type-1 dialog with "_DLG_USRSET_TYPE1", else the
// type-2 user settings dialog of the model's kind.
bool UserSettingOffered() {
    if (frame::AskVariant("_DLG_USRSET_TYPE1") != 0) return true;
    return frame::AskVariant("_PRP_CONFIG_TYPE2") != 0 && UserSettingTemplate(UserSettingsKind()) != 0;
}

// The authentication or user settings dialog on the sheet's own record; what OK
// changed goes through the constraint check like any change of the page.
void OnUserDialog(HWND page, int id) {
    if (id == kUserSettings && frame::AskVariant("_DLG_USRSET_DISABLE") != 0) return;
    OEMDEV* rec = Record(page);
    if (!rec) return;
    HANDLE printer = settings::ContextPrinter(PageContext(page));
    if (printer == INVALID_HANDLE_VALUE) printer = nullptr;
    const std::vector<BYTE> before(rec->bytes, rec->bytes + sizeof rec->bytes);
    UINT_PTR answer = 0;
    if (id == kAuthentication) {
        const UserAuthBlock block{&printer, rec, settings::ContextDevOptionRecord(PageContext(page)), nullptr};
        answer = RunUserAuthentication(&block, page);
    } else if (frame::AskVariant("_DLG_USRSET_TYPE1") != 0) {
        answer = RunUserSettingT1({printer, rec, settings::ContextDevOptionRecord(PageContext(page))}, page);
    } else {
        const UserSettingBlock block{&printer, rec, settings::ContextDevOptionRecord(PageContext(page)), nullptr};
        answer = RunUserSetting(&block, page);
    }
    if (answer != IDOK || std::memcmp(before.data(), rec->bytes, before.size()) == 0) return;
    CheckConstraints(page, static_cast<uint32_t>(id));
    ShowPageHints(page, PageContext(page), kPage);
    SetPageChanged(page);
}

void ApplyAvailability(HWND page) {
    SetReadOnlyControls(page, kReadOnlyControls, std::size(kReadOnlyControls));
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(kPage) || item.type == features::kUiButton) continue;
            if (!GetDlgItem(page, static_cast<int>(item.control))) continue;
            // Radio rows of one feature stand or fall together with their feature.
            if (!ItemOffered(&item)) SwitchOffControl(page, kPage, item.control);
        }
    for (int id : kButtonsWithoutDialogs) SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    if (!AuthenticationOffered()) SwitchOffControl(page, kPage, kAuthentication);
    if (!UserSettingOffered()) SwitchOffControl(page, kPage, kUserSettings);
    for (int id : kAlternativeLayout) SwitchOffControl(page, kPage, static_cast<uint32_t>(id));
    KeepControlsOff(page);
}

INT_PTR OnInitDialog(HWND page, LPARAM) {
    Updating updating;
    InitZoom(page);
    InitCopies(page);
    ApplyAvailability(page);
    EnsureUserRecordBuffer();
    ShowAll(page);
    LayoutForViewState(page, kPage);
    return 0;
}

// ---- Changes ----

void OnOrientation(HWND page, int control) {
    if (SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(control));
    if (!item) return;
    auto* ctx = PageContext(page);
    const int32_t old = Field(page, "nOrientation");
    settings::WorkSet(ctx, settings::work::kOrientationChange, 1);
    settings::WorkSet(ctx, settings::work::kOldOrientation, static_cast<uint32_t>(old));
    const UINT_PTR r = ChangeItem(page, kPage, static_cast<uint32_t>(control), RadioValue(*item));
    settings::WorkSet(ctx, settings::work::kOrientationChange, 0);
    settings::WorkSet(ctx, settings::work::kOldOrientation, 0);
    // The settings that depend on the orientation follow it.
    OEMDEV* rec = Record(page);
    if (CheckRestores(r) || !rec) return;
    const auto edgeOffered = [](int32_t value) {
        const features::UiItem* edge = PageItem(kPageLayout, 1046);
        return edge && features::FindValue(edge->options, value) != nullptr;
    };
    if (layout::FollowOrientation(*rec, old, Field(page, "nOrientation"), edgeOffered)) SetPageChanged(page);
}

void OnZoomMode(HWND page, int control) {
    if (SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(control));
    if (!item) return;
    ChangeItem(page, kPage, static_cast<uint32_t>(control), RadioValue(*item));
    RecomputeAutoZoom(page);
    ShowZoomState(page);
}

int32_t SelectedData(HWND page, int control) {
    HWND combo = GetDlgItem(page, control);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return -1;
    return static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
}

// The paper fields a paper change may touch.
constexpr const char* kPaperFields[] = {"nPaperSize",      "sizPaper.cx",          "sizPaper.cy",
                                        "rcMargin.left",   "rcMargin.top",         "rcMargin.right",
                                        "rcMargin.bottom", "sizInUserDefPaperMM.cx", "sizInUserDefPaperMM.cy",
                                        "sizOutPaper.cx",  "sizOutPaper.cy",       "nScale"};
constexpr size_t kPaperFieldCount = sizeof kPaperFields / sizeof kPaperFields[0];

void OnPaperSize(HWND page) {
    OEMDEV* r = Record(page);
    const int32_t id = SelectedData(page, kPaperSize);
    if (!r || id < 0) return;
    int32_t saved[kPaperFieldCount];
    for (size_t i = 0; i < kPaperFieldCount; ++i) saved[i] = settings::GetNumber(*r, kPaperFields[i]);
    if (id == features::kUserDefinedPaper) {
        HINSTANCE resources = frame::Module().dialogResources;
        const INT_PTR answer = RunModuleDialog(resources, page, kPageCustomSize, CustomSizeDialogProc,
                                               reinterpret_cast<LPARAM>(PageContext(page)));
        if (answer != IDOK) {
            for (size_t i = 0; i < kPaperFieldCount; ++i) settings::SetNumber(*r, kPaperFields[i], saved[i]);
            ShowAll(page);
            return;
        }
    }
    settings::SetNumber(*r, "nPaperSize", id);
    features::ApplyPaperDimensions(*r);
    const UINT_PTR check = CheckConstraints(page, kPaperSize);
    if (CheckRestores(check)) {
        for (size_t i = 0; i < kPaperFieldCount; ++i) settings::SetNumber(*r, kPaperFields[i], saved[i]);
        ShowAll(page);
        return;
    }
    if (id == features::kUserDefinedPaper) {
        features::ClampUserPaper(*r);
        features::ApplyPaperDimensions(*r);
    }
    features::ApplyOutPaperDimensions(*r);
    ShowPageHints(page, PageContext(page), kPage);
    bool changed = false;
    for (size_t i = 0; i < kPaperFieldCount; ++i) changed |= settings::GetNumber(*r, kPaperFields[i]) != saved[i];
    if (changed) {
        SetPageChanged(page);
        RecomputeAutoZoom(page);
        ShowAll(page);
    }
}

// The output fields a change of the output size may touch.
constexpr const char* kOutPaperFields[] = {"nOutPaperSize",           "sizOutPaper.cx",
                                           "sizOutPaper.cy",          "sizOutUserDefPaperMM.cx",
                                           "sizOutUserDefPaperMM.cy", "byUnitOutUserDefPaper",
                                           "nScale"};
constexpr size_t kOutPaperFieldCount = sizeof kOutPaperFields / sizeof kOutPaperFields[0];

// The output size: the list's custom option opens the custom size dialog for the
// output size's own fields first (Cancel leaves everything as it was).
void OnOutPaperSize(HWND page) {
    OEMDEV* r = Record(page);
    const int32_t id = SelectedData(page, kOutPaperSize);
    if (!r || id < 0) return;
    int32_t saved[kOutPaperFieldCount];
    for (size_t i = 0; i < kOutPaperFieldCount; ++i) saved[i] = settings::GetNumber(*r, kOutPaperFields[i]);
    auto restore = [&] {
        for (size_t i = 0; i < kOutPaperFieldCount; ++i) settings::SetNumber(*r, kOutPaperFields[i], saved[i]);
        ShowAll(page);
    };
    const bool custom = id == features::OutUserPaperValue();
    if (custom && RunModuleDialog(frame::Module().dialogResources, page, kPageCustomSize, CustomOutSizeDialogProc,
                                  reinterpret_cast<LPARAM>(PageContext(page))) != IDOK)
        return restore();
    if (CheckRestores(ChangeItem(page, kPage, kOutPaperSize, id))) return restore();
    if (custom) features::ClampOutUserPaper(*r);
    features::ApplyOutPaperDimensions(*r);
    RecomputeAutoZoom(page);
    // A new custom size under the same choice is a change ChangeItem did not see.
    bool changed = false;
    for (size_t i = 0; i < kOutPaperFieldCount; ++i) changed |= settings::GetNumber(*r, kOutPaperFields[i]) != saved[i];
    if (changed) {
        SetPageChanged(page);
        ShowAll(page);
    }
}

void OnDropDown(HWND page, int control) {
    const int32_t value = SelectedData(page, control);
    if (value < 0 && SendMessageW(GetDlgItem(page, control), CB_GETCURSEL, 0, 0) < 0) return;
    ChangeItem(page, kPage, static_cast<uint32_t>(control), value);
}

void OnCheck(HWND page, int control) {
    const bool on = SendMessageW(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ChangeItem(page, kPage, static_cast<uint32_t>(control), on ? 1 : 0);
}

void OnZoomKillFocus(HWND page) {
    const UINT_PTR r = CheckConstraints(page, kZoom);
    if (CheckRestores(r)) {
        if (OEMDEV* rec = Record(page)) {
            const auto before = reinterpret_cast<intptr_t>(GetPropW(page, kZoomBeforeProp));
            if (before > 0) settings::SetNumber(*rec, "nScale", static_cast<int32_t>(before));
        }
        ShowAll(page);
        SetFocus(GetDlgItem(page, kZoom));
        return;
    }
    ShowPageHints(page, PageContext(page), kPage);
    ShowAll(page);
}

bool OnCommand(HWND page, int id, UINT code) {
    if (!Record(page)) return false;
    switch (id) {
    case kPortrait:
    case kLandscape:
        if (code == BN_CLICKED) OnOrientation(page, id);
        return true;
    case kZoomAuto:
    case kZoomManual:
        if (code == BN_CLICKED) OnZoomMode(page, id);
        return true;
    case kPaperSize:
        if (code == CBN_SELENDOK) OnPaperSize(page);
        return true;
    case kOutPaperSize:
        if (code == CBN_SELENDOK) OnOutPaperSize(page);
        return true;
    case kInTray:
    case kMediaType:
    case kOutputMethod:
        if (code == CBN_SELENDOK) OnDropDown(page, id);
        return true;
    case kCollate:
    case kJobOffset:
    case kPaperOption1:
    case kPaperOption2:
        if (code == BN_CLICKED) OnCheck(page, id);
        return true;
    case kCopies:
        if (code == EN_CHANGE && !CheckRunning() && !g_updating && !PageInitializing()) {
            bool changed;
            ReadCopies(page, false, &changed);
        }
        return true;
    case kAuthentication:
    case kUserSettings:
        if (code == BN_CLICKED) OnUserDialog(page, id);
        return true;
    case kCustomPaperList:
        // The list is the printer's: nothing of the document's settings changes.
        if (code == BN_CLICKED)
            RunModuleDialog(frame::Module().dialogResources, page, kPageCustomPaperList, CustomPaperListDialogProc,
                            reinterpret_cast<LPARAM>(PageContext(page)));
        return true;
    case kZoom:
        if (code == EN_SETFOCUS)
            SetPropW(page, kZoomBeforeProp, reinterpret_cast<HANDLE>(static_cast<intptr_t>(Field(page, "nScale"))));
        else if (code == EN_CHANGE && !CheckRunning() && !g_updating && !PageInitializing())
            ReadZoom(page, false);
        else if (code == EN_KILLFOCUS)
            OnZoomKillFocus(page);
        return true;
    default:
        return false;
    }
}

// ---- Notifications ----

void OnSetActive(HWND page) {
    auto* ctx = PageContext(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 1);
    if (!settings::InCustomPage(ctx)) CheckConstraints(page, 0);
    ShowPageHints(page, ctx, kPage);
    if (OEMDEV* r = Record(page)) {
        const int32_t w = settings::GetNumber(*r, "sizOutPaper.cx");
        const int32_t h = settings::GetNumber(*r, "sizOutPaper.cy");
        features::ApplyOutPaperDimensions(*r);
        if (w != settings::GetNumber(*r, "sizOutPaper.cx") || h != settings::GetNumber(*r, "sizOutPaper.cy"))
            SetPageChanged(page);
    }
    ShowAll(page);
    settings::WorkSet(ctx, settings::work::kChecksSuspended, 0);
}

// One validity check of PSN_KILLACTIVE: the control that gets the focus on failure.
struct Validity {
    int control;
    bool (*ok)(HWND page);
};

bool ListValue(HWND page, const char* list, const char* field) {
    return features::InModelList(list, Field(page, field));
}

bool TwoState(HWND page, const char* field) {
    const int32_t v = Field(page, field);
    return v == 0 || v == 1;
}

bool Offered(HWND page, int control) {
    HWND c = GetDlgItem(page, control);
    return c && !constraints::ControlSwitchedOff(c);
}

const Validity kValidity[] = {
    {kPaperSize,
     [](HWND p) {
         const int32_t id = Field(p, "nPaperSize");
         return id == features::kUserDefinedPaper || ListValue(p, "PaperSize", "nPaperSize");
     }},
    {kOutPaperSize,
     [](HWND p) {
         const int32_t id = Field(p, "nOutPaperSize");
         return id == features::kOutPaperFollows1 || id == features::kOutPaperFollows2 || ListValue(p, "OutPaperSize", "nOutPaperSize");
     }},
    {kZoomAuto, [](HWND p) { return TwoState(p, "bScaleAuto"); }},
    {kZoom, [](HWND p) { return ReadZoom(p, true); }},
    {kPortrait,
     [](HWND p) {
         const int32_t v = Field(p, "nOrientation");
         return v == 1 || v == 2;
     }},
    {kMediaType, [](HWND p) { return !Offered(p, kMediaType) || ListValue(p, "MediaType", "nMediaType"); }},
    {kInTray, [](HWND p) { return !Offered(p, kInTray) || ListValue(p, "InTray", "nDefaultSource"); }},
    {kCopies,
     [](HWND p) {
         bool changed;
         return ReadCopies(p, true, &changed);
     }},
    // The five further checks: collate, job offset, output method, paper options.
    {kCollate, [](HWND p) { return TwoState(p, "bCollate"); }},
    {kJobOffset, [](HWND p) { return TwoState(p, "bJobOffset"); }},
    {kOutputMethod,
     [](HWND p) { return !Offered(p, kOutputMethod) || ListValue(p, "OutputMethod", "nOutputMethod"); }},
    {kPaperOption1, [](HWND p) { return TwoState(p, "bPaperOption1"); }},
    {kPaperOption2, [](HWND p) { return TwoState(p, "bPaperOption2"); }},
};

bool OnKillActive(HWND page) {
    auto* ctx = PageContext(page);
    if (!Record(page)) return true;  // nothing to check on a sheet without a record
    settings::WorkSet(ctx, settings::work::kValidating, 1);
    for (const Validity& v : kValidity) {
        if (v.ok(page)) continue;
        if (HWND c = GetDlgItem(page, v.control)) SetFocus(c);
        ShowAll(page);
        settings::WorkSet(ctx, settings::work::kValidating, 0);
        return false;
    }
    settings::WorkSet(ctx, settings::work::kValidating, 0);
    return true;
}

bool OnApply(HWND page) {
    auto* ctx = PageContext(page);
    if (OEMDEV* r = Record(page)) {
        features::ApplyPaperDimensions(*r);
        const int32_t out = settings::GetNumber(*r, "nOutPaperSize");
        if (out == features::kOutPaperFollows1 || out == features::kOutPaperFollows2) {
            features::ApplyOutPaperDimensions(*r);
            if (DEVMODEW* dm = settings::ContextDevMode(ctx))
                features::DevModePaperSize(*r, features::ModelKeepsInchValues(), &dm->dmPaperWidth, &dm->dmPaperLength);
        }
    }
    if (UserRecordCount() <= kUserRecordCount) WriteUserRecords(settings::ContextPrinter(ctx));
    // The sheet's watermark lists, when a page of this sheet read them.
    stamps::SaveSheetWatermarks(ctx);
    return true;
}

void OnDestroy(HWND page) {
    RemovePropW(page, kZoomBeforeProp);
    FreeUserRecordBuffer();
}

// WM_PAINT, WM_DRAWITEM and WM_DELETEITEM stay the dialog manager's: no owner-drawn
// controls or picture on this page.
const PageDef kBasicPage = [] {
    PageDef d{kPage, kStepsAll};
    d.focusTabOnActivate = true;
    d.presetCombo = true;
    d.init = OnInitDialog;
    d.command = OnCommand;
    d.setActive = OnSetActive;
    d.killActive = OnKillActive;
    d.apply = OnApply;
    d.destroy = OnDestroy;
    return d;
}();

}  // namespace

INT_PTR CALLBACK BasicPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kBasicPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
