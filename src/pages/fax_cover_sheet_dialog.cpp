// The fax cover sheet dialog (172) and its set dialogs.
//
// The dialog keeps the working block as a window property; its four tab pages are
// child dialogs (175 to 178) made from NOVRIX_S.DLL's templates, each run through
// the page skeleton.  Every change a page's control reports goes into the working
// record at once, and the set list then shows the set the record matches.  A page
// checks its fields when it is left (another tab, or OK): a refusal shows its
// message and keeps the page in front.
#include "pages/fax_cover_sheet_dialog.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#ifdef _WIN32
#include <commdlg.h>
#endif

#include "common/le.h"
#include "common/text.h"
#include "fax/cover_check.h"
#include "features/catalogue.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "model/stores.h"
#include "model/vpd_format.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_skeleton.h"
#include "pages/safe_format.h"

namespace nvx::fax {

namespace {

using pages::PageDef;
using pages::PageKind;
using pages::RunPage;

enum : uint32_t {
    kDialog = 172,
    kSaveDialog = 173,
    kEditDialog = 174,
    kBasicPage = 175,
    kRecipientPage = 176,
    kSenderPage = 177,
    kImagePage = 178,
};

enum : int {
    kSetList = 2030,
    kSave = 2034,
    kEdit = 2035,
    kTabs = 2036,
    kDefaults = 1032,
    // basic
    kStyle = 1960,
    kSubjectOn = 1961,
    kSubject = 1962,
    kDateOn = 1583,
    kDateByForm = 1967,
    kDateForm = 1968,
    kDateTypedMode = 1965,
    kDateTyped = 1966,
    kPagesOn = 1970,
    kPages = 1971,
    kComment = 1972,
    kCoverSize = 1974,
    // recipient
    kStandard = 1978,
    kTitle = 1979,
    kDetails = 1980,
    kJointName = 1982,
    kEachRecipient = 1983,
    kSetInfo = 1984,
    kCompanyOn = 1985,
    kCompany = 1986,
    kDepartmentOn = 1987,
    kDepartment = 1988,
    kNameOn = 1989,
    kName = 1990,
    kFaxOn = 1991,
    kFax = 1992,
    kRead = 1993,
    // sender
    kSenderOnFirst = 2010,
    kSenderTextFirst = 2016,
    // image
    kPaste = 2022,
    kFile = 2023,
    kBrowse = 2024,
    kZoomOn = 2025,
    kZoom = 2026,
    kX = 2027,
    kY = 2028,
    kCheck = 2029,
    // set dialogs
    kSetName = 2033,
    kSets = 2031,
    kSetRename = 2045,
    kSetUp = 2040,
    kSetDown = 2041,
    kSetDelete = 2042,
};

// Message slots.
enum : unsigned {
    kSlotCaption = 1,
    kSlotOutOfRange = 2,
    kSlotNameMissing = 3,
    kSlotNameTaken = 4,
    kSlotDetailsCaption = 8,
    kSlotPageCount = 510,
    kSlotTitle = 511,
    kSlotReplaceDetails = 512,
    kSlotZoom = 521,
    kSlotX = 522,
    kSlotY = 523,
    kSlotEmptyName = 530,
    kSlotNameExists = 531,
};

constexpr size_t kPageCount = 4;
constexpr uint32_t kPageIds[kPageCount] = {kBasicPage, kRecipientPage, kSenderPage, kImagePage};
constexpr const char* kTabKeys[kPageCount] = {"FcsBasic", "FcsRecipient", "FcsSender", "FcsImage"};
constexpr const WCHAR* kTabFallbacks[kPageCount] = {WL("Basic"), WL("Recipient"), WL("Sender"), WL("Image")};

const WCHAR kStateProp[] = WL("NovrixCoverSheet");

bool CanBrowse();

struct State {
    CoverDialogBlock* block = nullptr;
    HWND dialog = nullptr;
    HWND pages[kPageCount] = {};
    int current = -1;
    std::vector<CoverSheetSet> sets;
    WString untitled;
    bool showing = false;  // controls are being filled: their notifications are not edits
};

State* StateOf(HWND window) {
    // A page's state is its dialog's.
    for (HWND w = window; w; w = GetParent(w)) {
        if (auto* s = static_cast<State*>(GetPropW(w, kStateProp))) return s;
    }
    return nullptr;
}

CoverSheetRecord& Record(HWND window) {
    return StateOf(window)->block->record;
}

// ---- Texts --------------------------------------------------------------------

WString PackageText(const char* entry, const char* key, const WCHAR* fallback) {
    WString path = frame::BesideModule(frame::Module().self, WL("NOVRIX_D.VPD"));
    if (!path.empty()) {
        if (model::PackagePtr pkg = model::Package::OpenDirectory(path.c_str(), vpd::kEntry52Size)) {
            WCHAR text[vpd::kMaxString + 1] = {};
            if (model::KeyedValueLoad(*pkg, entry, key, text, vpd::kMaxString + 1) && text[0]) return WString(text);
        }
    }
    return WString(fallback);
}

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

void RangeBox(HWND owner, unsigned slot, int32_t minimum, int32_t maximum) {
    const WString text = pages::FormatNumbers(Slot(kSlotOutOfRange) + Slot(slot), minimum, maximum);
    MessageBoxW(owner, text.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// The option texts of a catalogue list, in its order; the keyword when the model
// gives no text.
std::vector<WString> ListTexts(const char* list, size_t expected, const WCHAR* const* fallbacks) {
    std::vector<WString> texts;
    if (const uint8_t* options = features::TheCatalogue().FindList(list)) {
        for (size_t i = 0; i < features::ListCount(options); ++i) {
            const uint8_t* rec = features::RecordAt(options, i);
            WString name = features::DisplayName(rec);
            texts.push_back(name.empty() ? WFromAscii(features::Keyword(rec)) : name);
        }
    }
    if (texts.size() != expected) {
        texts.clear();
        for (size_t i = 0; i < expected; ++i) texts.push_back(fallbacks[i]);
    }
    return texts;
}

std::vector<WString> StyleTexts() {
    static const WCHAR* const k[] = {WL("FcsBStyle00"), WL("FcsBStyle01"), WL("FcsBStyle02"), WL("FcsBStyle03")};
    return ListTexts("FcsBStyle", kStyleCount, k);
}

std::vector<WString> DateFormTexts() {
    static const WCHAR* const k[] = {WL("FcsBDateYMDH"), WL("FcsBDateYMDS"), WL("FcsBDateYMDP"),
                                     WL("FcsBDateMDYH"), WL("FcsBDateMDYS"), WL("FcsBDateMDYP"),
                                     WL("FcsBDateDMYH"), WL("FcsBDateDMYS"), WL("FcsBDateDMYP")};
    return ListTexts("FcsBSelectForm", kDateFormCount, k);
}

std::vector<WString> TitleTexts() {
    static const WCHAR* const k[] = {WL("FcsRAll"), WL("FcsRConcern"), WL("FcsRAllCustomers"), WL("FcsRAllMembers")};
    return ListTexts("FcsRStandard", 4, k);
}

// The model's cover sheet sizes ("FcsCoverSize": the option value is what the
// record's cover size holds); null when the model has none.
const uint8_t* CoverSizes() {
    const features::ModelRecord* model = model::Loaded().tables.record;
    const features::ModelList* list = model ? model->List("FcsCoverSize") : nullptr;
    const uint8_t* data = list ? list->Data() : nullptr;
    return data && features::ListCount(data) > 0 ? data : nullptr;
}

// ---- Controls -----------------------------------------------------------------------

WString ControlText(HWND page, int id) {
    HWND c = GetDlgItem(page, id);
    int length = c ? GetWindowTextLengthW(c) : 0;
    if (length <= 0) return WString();
    std::vector<WCHAR> text(static_cast<size_t>(length) + 1, 0);
    GetWindowTextW(c, text.data(), length + 1);
    return WString(text.data());
}

// Pasted text may carry NULs or control characters a field must not keep: a
// one-line field keeps printable characters only, the comment also its line breaks.
WString Printable(WStringView text, bool lines) {
    WString out;
    for (WCHAR c : text) {
        if (c >= 0x20 && c != 0x7F) {
            out.push_back(c);
        } else if (lines && (c == '\r' || c == '\n')) {
            out.push_back(c);
        }
    }
    return out;
}

bool Checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void Check(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void Enable(HWND page, int id, bool on) {
    if (HWND c = GetDlgItem(page, id)) EnableWindow(c, on ? TRUE : FALSE);
}

void Limit(HWND page, int id, size_t chars) {
    SendDlgItemMessageW(page, id, EM_LIMITTEXT, chars, 0);
}

void FillCombo(HWND page, int id, const std::vector<WString>& texts) {
    SendDlgItemMessageW(page, id, CB_RESETCONTENT, 0, 0);
    for (const WString& t : texts) SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

int ComboIndex(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

void SetNumberText(HWND page, int id, int value) {
    SetDlgItemTextW(page, id, WFormatString(WL("%d"), value).c_str());
}

// A whole number typed in a field (an optional minus sign and at most six digits),
// else nothing.
bool ParseNumber(WStringView text, int32_t* value) {
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 6) return false;
    int32_t v = 0;
    for (WCHAR c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *value = negative ? -v : v;
    return true;
}

// ---- The set list -----------------------------------------------------------------

void StoreNames(const State* s, const WCHAR** maker, const WCHAR** driver, const WCHAR** printer) {
    *maker = model::MakerName();
    *driver = s->block->driver;
    *printer = s->block->printer;
}

// The record's name follows the set it matches; the list shows that set, or the
// untitled line.
void ShowSetList(State* s) {
    CoverSheetRecord& r = s->block->record;
    int match = MatchingSet(s->sets, r);
    std::memset(r.setName, 0, sizeof r.setName);
    if (match >= 0) std::memcpy(r.setName, s->sets[static_cast<size_t>(match)].name, sizeof r.setName);
    HWND list = GetDlgItem(s->dialog, kSetList);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const CoverSheetSet& set : s->sets) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FieldText(set.name).c_str()));
    }
    if (match < 0) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s->untitled.c_str()));
        match = static_cast<int>(s->sets.size());
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(match), 0);
    Enable(s->dialog, kEdit, !s->sets.empty() && s->block->mayApply);
}

void ShowPage(State* s, size_t index);

void ShowAllPages(State* s) {
    for (size_t i = 0; i < kPageCount; ++i) ShowPage(s, i);
    ShowSetList(s);
}

// ---- Basic page ---------------------------------------------------------------------

void ShowBasic(HWND page) {
    const CoverBasic& b = Record(page).basic;
    SendDlgItemMessageW(page, kStyle, CB_SETCURSEL, b.style, 0);
    if (const uint8_t* sizes = CoverSizes()) {
        // A stored size the model does not list shows no choice until one is made.
        const int index = features::IndexOfValue(sizes, Record(page).coverSize);
        SendDlgItemMessageW(page, kCoverSize, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    Check(page, kSubjectOn, b.subjectOn);
    SetDlgItemTextW(page, kSubject, FieldText(b.subject).c_str());
    Check(page, kDateOn, b.dateOn);
    Check(page, kDateByForm, b.dateMode == 0);
    Check(page, kDateTypedMode, b.dateMode == 1);
    SendDlgItemMessageW(page, kDateForm, CB_SETCURSEL, b.dateForm, 0);
    SetDlgItemTextW(page, kDateTyped, FieldText(b.typedDate).c_str());
    Check(page, kPagesOn, b.pagesOn);
    SetNumberText(page, kPages, b.pageCount);
    SetDlgItemTextW(page, kComment, FieldText(b.comment).c_str());
}

void EnableBasic(HWND page, bool may) {
    const CoverBasic& b = Record(page).basic;
    for (int id : {kStyle, kSubjectOn, kDateOn, kPagesOn, kComment, kDefaults}) Enable(page, id, may);
    Enable(page, kCoverSize, may && CoverSizes());
    Enable(page, kSubject, may && b.subjectOn);
    Enable(page, kDateByForm, may && b.dateOn);
    Enable(page, kDateTypedMode, may && b.dateOn);
    Enable(page, kDateForm, may && b.dateOn && b.dateMode == 0);
    Enable(page, kDateTyped, may && b.dateOn && b.dateMode == 1);
    Enable(page, kPages, may && b.pagesOn);
}

INT_PTR InitBasic(HWND page, LPARAM) {
    FillCombo(page, kStyle, StyleTexts());
    if (const uint8_t* sizes = CoverSizes()) {
        std::vector<WString> names;
        for (size_t i = 0; i < features::ListCount(sizes); ++i) {
            const uint8_t* rec = features::RecordAt(sizes, i);
            WString name = features::DisplayName(rec);
            names.push_back(name.empty() ? WFromAscii(features::Keyword(rec)) : name);
        }
        FillCombo(page, kCoverSize, names);
    }
    FillCombo(page, kDateForm, DateFormTexts());
    Limit(page, kSubject, 64);
    Limit(page, kDateTyped, 20);
    Limit(page, kPages, 4);
    Limit(page, kComment, 640);
    return FALSE;
}

bool BasicCommand(HWND page, int id, UINT code) {
    State* s = StateOf(page);
    if (!s || s->showing) return false;
    CoverBasic& b = s->block->record.basic;
    switch (id) {
    case kStyle:
        if (code != CBN_SELCHANGE) return false;
        if (int i = ComboIndex(page, id); i >= 0 && i < kStyleCount) b.style = static_cast<uint8_t>(i);
        break;
    case kCoverSize: {
        if (code != CBN_SELCHANGE) return false;
        const uint8_t* sizes = CoverSizes();
        const int i = ComboIndex(page, id);
        const std::optional<int32_t> value = sizes && i >= 0 ? features::ValueAt(sizes, static_cast<size_t>(i))
                                                             : std::nullopt;
        if (value && *value >= 0 && *value <= 0xFFFF) s->block->record.coverSize = static_cast<uint16_t>(*value);
        break;
    }
    case kDateForm:
        if (code != CBN_SELCHANGE) return false;
        if (int i = ComboIndex(page, id); i >= 0 && i < kDateFormCount) b.dateForm = static_cast<uint8_t>(i);
        break;
    case kSubjectOn: b.subjectOn = Checked(page, id); break;
    case kDateOn: b.dateOn = Checked(page, id); break;
    case kDateByForm:
    case kDateTypedMode: b.dateMode = Checked(page, kDateTypedMode) ? 1 : 0; break;
    case kPagesOn: b.pagesOn = Checked(page, id); break;
    case kSubject:
    case kDateTyped:
    case kComment:
        if (code != EN_CHANGE) return false;
        if (id == kSubject) SetField(b.subject, Printable(ControlText(page, id), false));
        if (id == kDateTyped) SetField(b.typedDate, Printable(ControlText(page, id), false));
        if (id == kComment) SetField(b.comment, Printable(ControlText(page, id), true));
        break;
    case kPages: {
        if (code != EN_CHANGE) return false;
        uint16_t count = 0;
        if (ParsePageCount(ControlText(page, id), &count)) b.pageCount = count;
        break;
    }
    case kDefaults:
        if (code != BN_CLICKED) return false;
        b = DefaultBasic();
        s->block->record.coverSize = 0;  // the size is chosen on this page too
        ShowPage(s, 0);
        break;
    default:
        return false;
    }
    EnableBasic(page, s->block->mayApply);
    ShowSetList(s);
    return true;
}

// Leaving the page: with the page count on, the field must hold 1 to 9999.
bool LeaveBasic(HWND page) {
    const CoverBasic& b = Record(page).basic;
    uint16_t count = 0;
    if (!b.pagesOn || ParsePageCount(ControlText(page, kPages), &count)) return true;
    RangeBox(page, kSlotPageCount, kMinPageCount, kMaxPageCount);
    if (HWND c = GetDlgItem(page, kPages)) SetFocus(c);
    return false;
}

// ---- Recipient page -------------------------------------------------------------------

void ShowRecipient(HWND page) {
    const CoverRecipient& r = Record(page).recipient;
    Check(page, kStandard, r.mode == 0);
    Check(page, kDetails, r.mode == 1);
    SetDlgItemTextW(page, kTitle, FieldText(r.title).c_str());
    Check(page, kJointName, r.source == 0);
    Check(page, kEachRecipient, r.source == 1);
    Check(page, kSetInfo, r.source == 2);
    Check(page, kCompanyOn, r.companyOn);
    SetDlgItemTextW(page, kCompany, FieldText(r.company).c_str());
    Check(page, kDepartmentOn, r.departmentOn);
    SetDlgItemTextW(page, kDepartment, FieldText(r.department).c_str());
    Check(page, kNameOn, r.nameOn);
    SetDlgItemTextW(page, kName, FieldText(r.name).c_str());
    Check(page, kFaxOn, r.faxOn);
    SetDlgItemTextW(page, kFax, FieldText(r.fax).c_str());
}

void EnableRecipient(HWND page, bool may) {
    const CoverRecipient& r = Record(page).recipient;
    const bool details = r.mode == 1;
    for (int id : {kStandard, kDetails, kDefaults}) Enable(page, id, may);
    Enable(page, kTitle, may && !details);
    for (int id : {kJointName, kEachRecipient, kSetInfo, kCompanyOn, kDepartmentOn, kNameOn, kFaxOn})
        Enable(page, id, may && details);
    Enable(page, kCompany, may && details && r.companyOn);
    Enable(page, kDepartment, may && details && r.departmentOn);
    Enable(page, kName, may && details && r.nameOn);
    Enable(page, kFax, may && details && r.faxOn);
    Enable(page, kRead, may && details && StateOf(page)->block->hasDestination);
}

INT_PTR InitRecipient(HWND page, LPARAM) {
    FillCombo(page, kTitle, TitleTexts());
    for (int id : {kCompany, kDepartment, kName, kFax}) Limit(page, id, 80);
    SendDlgItemMessageW(page, kTitle, CB_LIMITTEXT, 32, 0);
    return FALSE;
}

void ReadDetails(HWND page) {
    State* s = StateOf(page);
    if (!s->block->hasDestination) return;
    CoverRecipient& r = s->block->record.recipient;
    if (DetailsHoldText(r) &&
        MessageBoxW(page, Slot(kSlotReplaceDetails).c_str(), Slot(kSlotDetailsCaption).c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    FillDetails(&r, s->block->first);
    ShowPage(s, 1);
}

bool RecipientCommand(HWND page, int id, UINT code) {
    State* s = StateOf(page);
    if (!s || s->showing) return false;
    CoverRecipient& r = s->block->record.recipient;
    switch (id) {
    case kStandard:
    case kDetails: r.mode = Checked(page, kDetails) ? 1 : 0; break;
    case kJointName:
    case kEachRecipient:
    case kSetInfo:
        r.source = Checked(page, kSetInfo) ? 2 : Checked(page, kEachRecipient) ? 1 : 0;
        break;
    case kCompanyOn: r.companyOn = Checked(page, id); break;
    case kDepartmentOn: r.departmentOn = Checked(page, id); break;
    case kNameOn: r.nameOn = Checked(page, id); break;
    case kFaxOn: r.faxOn = Checked(page, id); break;
    case kTitle: {
        WString text;
        if (code == CBN_SELCHANGE) {
            int i = ComboIndex(page, id);
            std::vector<WString> titles = TitleTexts();
            if (i < 0 || static_cast<size_t>(i) >= titles.size()) return true;
            text = titles[static_cast<size_t>(i)];
        } else if (code == CBN_EDITCHANGE) {
            text = ControlText(page, id);
        } else {
            return false;
        }
        SetField(r.title, Printable(text, false));
        break;
    }
    case kCompany:
    case kDepartment:
    case kName:
    case kFax: {
        if (code != EN_CHANGE) return false;
        WString text = Printable(ControlText(page, id), false);
        if (id == kCompany) SetField(r.company, text);
        if (id == kDepartment) SetField(r.department, text);
        if (id == kName) SetField(r.name, text);
        if (id == kFax) SetField(r.fax, text);
        break;
    }
    case kRead:
        if (code != BN_CLICKED) return false;
        ReadDetails(page);
        break;
    case kDefaults:
        if (code != BN_CLICKED) return false;
        r = DefaultRecipient();
        ShowPage(s, 1);
        break;
    default:
        return false;
    }
    EnableRecipient(page, s->block->mayApply);
    ShowSetList(s);
    return true;
}

// Leaving the page: a standard recipient needs a title; an empty one is refused
// and replaced by the first title.
bool LeaveRecipient(HWND page) {
    State* s = StateOf(page);
    CoverRecipient& r = s->block->record.recipient;
    if (r.mode != 0) return true;
    std::vector<WString> titles = TitleTexts();
    if (KeepStandardTitle(&r, titles.empty() ? WString() : titles[0])) return true;
    MessageBoxW(page, Slot(kSlotTitle).c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    ShowPage(s, 1);
    if (HWND c = GetDlgItem(page, kTitle)) SetFocus(c);
    return false;
}

// ---- Sender page --------------------------------------------------------------------

void ShowSender(HWND page) {
    const CoverSender& sender = Record(page).sender;
    for (size_t i = 0; i < kSenderItems; ++i) {
        Check(page, kSenderOnFirst + static_cast<int>(i), sender.items[i].on);
        SetDlgItemTextW(page, kSenderTextFirst + static_cast<int>(i), FieldText(sender.items[i].text).c_str());
    }
}

void EnableSender(HWND page, bool may) {
    const CoverSender& sender = Record(page).sender;
    Enable(page, kDefaults, may);
    for (size_t i = 0; i < kSenderItems; ++i) {
        Enable(page, kSenderOnFirst + static_cast<int>(i), may);
        Enable(page, kSenderTextFirst + static_cast<int>(i), may && sender.items[i].on);
    }
}

INT_PTR InitSender(HWND page, LPARAM) {
    for (size_t i = 0; i < kSenderItems; ++i) Limit(page, kSenderTextFirst + static_cast<int>(i), 80);
    return FALSE;
}

bool SenderCommand(HWND page, int id, UINT code) {
    State* s = StateOf(page);
    if (!s || s->showing) return false;
    CoverSender& sender = s->block->record.sender;
    if (id >= kSenderOnFirst && id < kSenderOnFirst + static_cast<int>(kSenderItems)) {
        sender.items[id - kSenderOnFirst].on = Checked(page, id);
    } else if (id >= kSenderTextFirst && id < kSenderTextFirst + static_cast<int>(kSenderItems)) {
        if (code != EN_CHANGE) return false;
        SetField(sender.items[id - kSenderTextFirst].text, Printable(ControlText(page, id), false));
    } else if (id == kDefaults && code == BN_CLICKED) {
        sender = DefaultSender();
        ShowPage(s, 2);
    } else {
        return false;
    }
    EnableSender(page, s->block->mayApply);
    ShowSetList(s);
    return true;
}

// ---- Image page ---------------------------------------------------------------------

void ShowImage(HWND page) {
    const CoverImage& im = Record(page).image;
    Check(page, kPaste, im.paste);
    SetDlgItemTextW(page, kFile, FieldText(im.file).c_str());
    Check(page, kZoomOn, im.zoomOn);
    SetNumberText(page, kZoom, im.zoom);
    SetNumberText(page, kX, im.x);
    SetNumberText(page, kY, im.y);
}

void EnableImage(HWND page, bool may) {
    const CoverImage& im = Record(page).image;
    Enable(page, kPaste, may);
    Enable(page, kDefaults, may);
    for (int id : {kFile, kZoomOn, kX, kY}) Enable(page, id, may && im.paste);
    Enable(page, kBrowse, may && im.paste && CanBrowse());
    Enable(page, kZoom, may && im.paste && im.zoomOn);
    Enable(page, kCheck, true);
}

INT_PTR InitImage(HWND page, LPARAM) {
    Limit(page, kFile, 259);
    Limit(page, kZoom, 3);
    for (int id : {kX, kY}) Limit(page, id, 4);
    return FALSE;
}

#ifdef _WIN32
// The system's file dialog, looked up at run time so that the module links no
// further library.
bool CanBrowse() {
    return true;
}

void Browse(HWND page) {
    HMODULE dlg = LoadLibraryW(WL("comdlg32.dll"));
    if (!dlg) return;
    using OpenFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    auto open = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(GetProcAddress(dlg, "GetOpenFileNameW")));
    WCHAR file[MAX_PATH] = {};
    WCopy(file, MAX_PATH, FieldText(Record(page).image.file));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = page;
    ofn.lpstrFilter = WL("Bitmap (*.bmp)\0*.bmp\0");
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    const bool chosen = open && open(&ofn);
    FreeLibrary(dlg);
    if (chosen) SetDlgItemTextW(page, kFile, file);  // EN_CHANGE takes it into the record
}
#else
// The headless platform has no file dialog: the file name is typed.
bool CanBrowse() {
    return false;
}

void Browse(HWND) {}
#endif

bool ImageCommand(HWND page, int id, UINT code) {
    State* s = StateOf(page);
    if (!s || s->showing) return false;
    CoverImage& im = s->block->record.image;
    switch (id) {
    case kPaste: im.paste = Checked(page, id); break;
    case kZoomOn: im.zoomOn = Checked(page, id); break;
    case kFile:
        if (code != EN_CHANGE) return false;
        SetField(im.file, Printable(ControlText(page, id), false));
        break;
    case kZoom:
    case kX:
    case kY: {
        if (code != EN_CHANGE) return false;
        int32_t v = 0;
        if (!ParseNumber(ControlText(page, id), &v)) return true;  // checked when the page is left
        if (id == kZoom) im.zoom = static_cast<uint16_t>(v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v);
        if (id == kX) im.x = static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
        if (id == kY) im.y = static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
        break;
    }
    case kBrowse:
        if (code != BN_CLICKED) return false;
        Browse(page);
        return true;
    case kCheck:
        if (code != BN_CLICKED) return false;
        RunCoverSheetCheck(s->dialog, s->block->checkValue, im);
        return true;
    case kDefaults:
        if (code != BN_CLICKED) return false;
        im = DefaultImage();
        ShowPage(s, 3);
        break;
    default:
        return false;
    }
    EnableImage(page, s->block->mayApply);
    ShowSetList(s);
    return true;
}

// Leaving the page with an image pasted: the image file must be a readable bitmap
// and zoom and position inside their ranges; a field out of range is set to its
// nearest bound.
bool LeaveImage(HWND page) {
    State* s = StateOf(page);
    CoverImage& im = s->block->record.image;
    if (!im.paste) return true;
    if (CheckImageFile(im.file) != ImageCheck::Ok) {
        MessageBoxW(page, Slot(7).c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
        if (HWND c = GetDlgItem(page, kFile)) SetFocus(c);
        return false;
    }
    // What the fields hold now (a text that is no number counts as out of range).
    int32_t v = 0;
    if (im.zoomOn && !ParseNumber(ControlText(page, kZoom), &v)) im.zoom = 0;
    if (!ParseNumber(ControlText(page, kX), &v)) im.x = 0;
    if (!ParseNumber(ControlText(page, kY), &v)) im.y = 0;
    const int first = ClampImageRanges(&im);
    if (first == 0) return true;
    ShowPage(s, 3);
    ShowSetList(s);
    if (first == 1) RangeBox(page, kSlotZoom, kMinZoom, kMaxZoom);
    if (first == 2) RangeBox(page, kSlotX, kMinPosition, kMaxPosition);
    if (first == 3) RangeBox(page, kSlotY, kMinPosition, kMaxPosition);
    if (HWND c = GetDlgItem(page, first == 1 ? kZoom : first == 2 ? kX : kY)) SetFocus(c);
    return false;
}

// ---- The pages ----------------------------------------------------------------------

template <INT_PTR (*Init)(HWND, LPARAM), bool (*Command)(HWND, int, UINT), uint32_t Id>
INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const PageDef def = [] {
        PageDef d{Id, pages::kStepComboUi, PageKind::Dialog};
        d.commonInit = false;
        d.init = Init;
        d.command = Command;
        return d;
    }();
    return RunPage(def, hwnd, msg, wParam, lParam);
}

const DLGPROC kPageProcs[kPageCount] = {
    PageProc<InitBasic, BasicCommand, kBasicPage>,
    PageProc<InitRecipient, RecipientCommand, kRecipientPage>,
    PageProc<InitSender, SenderCommand, kSenderPage>,
    PageProc<InitImage, ImageCommand, kImagePage>,
};

void ShowPage(State* s, size_t index) {
    HWND page = s->pages[index];
    if (!page) return;
    const bool was = s->showing;
    s->showing = true;
    const bool may = s->block->mayApply != 0;
    switch (index) {
    case 0: ShowBasic(page); EnableBasic(page, may); break;
    case 1: ShowRecipient(page); EnableRecipient(page, may); break;
    case 2: ShowSender(page); EnableSender(page, may); break;
    default: ShowImage(page); EnableImage(page, may); break;
    }
    s->showing = was;
}

bool LeavePage(State* s, int index) {
    if (index < 0 || !s->pages[index]) return true;
    switch (index) {
    case 0: return LeaveBasic(s->pages[0]);
    case 1: return LeaveRecipient(s->pages[1]);
    case 3: return LeaveImage(s->pages[3]);
    default: return true;
    }
}

void SelectPage(State* s, int index) {
    for (size_t i = 0; i < kPageCount; ++i) {
        if (s->pages[i]) ShowWindow(s->pages[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
    }
    s->current = index;
    SendDlgItemMessageW(s->dialog, kTabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// ---- The set dialogs ----------------------------------------------------------------

struct SaveState {
    State* owner;
};

// A set name typed: printable characters only (a pasted NUL or control character
// is no part of a name).
WString TypedName(HWND dlg) {
    return Printable(ControlText(dlg, kSetName), false);
}

void RefuseName(HWND dlg, unsigned slot, const WString& name) {
    WString text = Slot(slot == kSlotEmptyName ? kSlotNameMissing : kSlotNameTaken) + Slot(slot);
    // The name goes where the text says %s; nothing else in the text is a conversion.
    if (size_t at = text.find(WL("%s")); at != WString::npos) text.replace(at, 2, name);
    MessageBoxW(dlg, text.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (HWND c = GetDlgItem(dlg, kSetName)) SetFocus(c);
}

// Writes the sets; a failure keeps what was written and says so.
bool WriteAllSets(HWND dlg, State* s, const std::vector<CoverSheetSet>& sets) {
    const WCHAR *maker, *driver, *printer;
    StoreNames(s, &maker, &driver, &printer);
    SetsWrite w = WriteSets(maker, driver, printer, sets);
    s->sets = ReadSets(maker, driver, printer);
    if (!w.ok()) MessageBoxW(dlg, Slot(8).c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return w.ok();
}

INT_PTR InitSave(HWND dlg, LPARAM lParam) {
    SetPropW(dlg, WL("NovrixCoverSave"), reinterpret_cast<HANDLE>(lParam));
    Limit(dlg, kSetName, kSetNameChars);
    return TRUE;
}

bool SaveCommand(HWND dlg, int id, UINT code) {
    auto* save = reinterpret_cast<SaveState*>(GetPropW(dlg, WL("NovrixCoverSave")));
    if (!save || code != BN_CLICKED) return false;
    if (id == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return true;
    }
    if (id != IDOK) return false;
    State* s = save->owner;
    std::vector<CoverSheetSet> sets = s->sets;
    const WString name = TypedName(dlg);
    switch (AppendSet(&sets, name, s->block->record)) {
    case SaveSetResult::Saved: break;
    case SaveSetResult::EmptyName: RefuseName(dlg, kSlotEmptyName, name); return true;
    case SaveSetResult::NameTaken: RefuseName(dlg, kSlotNameExists, name); return true;
    case SaveSetResult::NameTooLong:
    case SaveSetResult::Full: MessageBeep(MB_ICONEXCLAMATION); return true;
    }
    WriteAllSets(dlg, s, sets);
    RemovePropW(dlg, WL("NovrixCoverSave"));
    EndDialog(dlg, 1);
    return true;
}

INT_PTR CALLBACK SaveProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const PageDef def = [] {
        PageDef d{kSaveDialog, 0, PageKind::Dialog};
        d.commonInit = false;
        d.init = InitSave;
        d.command = SaveCommand;
        return d;
    }();
    return RunPage(def, hwnd, msg, wParam, lParam);
}

struct EditState {
    State* owner;
    std::vector<CoverSheetSet> sets;  // as the list shows them
};

EditState* EditOf(HWND dlg) {
    return reinterpret_cast<EditState*>(GetPropW(dlg, WL("NovrixCoverEdit")));
}

void ShowEditList(HWND dlg, int select) {
    EditState* e = EditOf(dlg);
    HWND list = GetDlgItem(dlg, kSets);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const CoverSheetSet& set : e->sets) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FieldText(set.name).c_str()));
    }
    if (select >= static_cast<int>(e->sets.size())) select = static_cast<int>(e->sets.size()) - 1;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    SetDlgItemTextW(dlg, kSetName, select >= 0 ? FieldText(e->sets[static_cast<size_t>(select)].name).c_str()
                                                : WL(""));
    for (int id : {kSetUp, kSetDown, kSetDelete, kSetRename}) Enable(dlg, id, select >= 0);
}

int EditSelection(HWND dlg) {
    return static_cast<int>(SendDlgItemMessageW(dlg, kSets, LB_GETCURSEL, 0, 0));
}

INT_PTR InitEdit(HWND dlg, LPARAM lParam) {
    SetPropW(dlg, WL("NovrixCoverEdit"), reinterpret_cast<HANDLE>(lParam));
    Limit(dlg, kSetName, kSetNameChars);
    ShowEditList(dlg, EditOf(dlg)->sets.empty() ? -1 : 0);
    return TRUE;
}

bool EditCommand(HWND dlg, int id, UINT code) {
    EditState* e = EditOf(dlg);
    if (!e) return false;
    const int sel = EditSelection(dlg);
    if (id == kSets) {
        if (code == LBN_SELCHANGE) ShowEditList(dlg, sel);
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case kSetUp:
        if (sel > 0 && MoveSet(&e->sets, static_cast<size_t>(sel), static_cast<size_t>(sel - 1)))
            ShowEditList(dlg, sel - 1);
        return true;
    case kSetDown:
        if (sel >= 0 && MoveSet(&e->sets, static_cast<size_t>(sel), static_cast<size_t>(sel + 1)))
            ShowEditList(dlg, sel + 1);
        return true;
    case kSetDelete:
        if (sel >= 0) {
            e->sets.erase(e->sets.begin() + sel);
            ShowEditList(dlg, sel);
        }
        return true;
    case kSetRename: {
        if (sel < 0) return true;
        const WString name = TypedName(dlg);
        switch (RenameSet(&e->sets, static_cast<size_t>(sel), name)) {
        case SaveSetResult::Saved: ShowEditList(dlg, sel); break;
        case SaveSetResult::EmptyName: RefuseName(dlg, kSlotEmptyName, name); break;
        case SaveSetResult::NameTaken: RefuseName(dlg, kSlotNameExists, name); break;
        default: MessageBeep(MB_ICONEXCLAMATION); break;
        }
        return true;
    }
    case IDOK:
        WriteAllSets(dlg, e->owner, e->sets);
        RemovePropW(dlg, WL("NovrixCoverEdit"));
        EndDialog(dlg, 1);
        return true;
    case IDCANCEL:
        RemovePropW(dlg, WL("NovrixCoverEdit"));
        EndDialog(dlg, IDCANCEL);
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const PageDef def = [] {
        PageDef d{kEditDialog, 0, PageKind::Dialog};
        d.commonInit = false;
        d.init = InitEdit;
        d.command = EditCommand;
        return d;
    }();
    return RunPage(def, hwnd, msg, wParam, lParam);
}

// ---- The dialog ---------------------------------------------------------------------

void PlacePage(HWND dialog, HWND page) {
    HWND tabs = GetDlgItem(dialog, kTabs);
    RECT area{};
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE | SWP_NOZORDER);
}

INT_PTR InitDialog(HWND dialog, LPARAM lParam) {
    auto* block = reinterpret_cast<CoverDialogBlock*>(lParam);
    auto state = std::make_unique<State>();
    State* s = state.get();
    s->block = block;
    s->dialog = dialog;
    s->untitled = PackageText("Dlg_FAXCoverSheetSet", "FcsUntitled", WL("Untitled"));
    const WCHAR *maker, *driver, *printer;
    StoreNames(s, &maker, &driver, &printer);
    s->sets = ReadSets(maker, driver, printer);
    SetPropW(dialog, kStateProp, state.release());

    SetWindowTextW(dialog, PackageText("Dlg_FAXCoverSheetSet", "Caption", WL("Cover Sheet Settings")).c_str());
    HWND tabs = GetDlgItem(dialog, kTabs);
    HINSTANCE resources = frame::Module().dialogResources;
    for (size_t i = 0; i < kPageCount; ++i) {
        WString title = PackageText(kTabKeys[i], "Caption", kTabFallbacks[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        s->pages[i] = CreateDialogParamW(resources, MAKEINTRESOURCEW(kPageIds[i]), dialog, kPageProcs[i], 0);
        if (s->pages[i]) PlacePage(dialog, s->pages[i]);
    }
    Enable(dialog, kSave, block->mayApply);
    ShowAllPages(s);
    SelectPage(s, 0);
    return TRUE;
}

// OK: the page in front is checked as if it were left (the others were checked
// when they were left); a refusal keeps the dialog open.
void OnOk(State* s) {
    if (!LeavePage(s, s->current)) return;
    EndDialog(s->dialog, 1);
}

bool DialogCommand(HWND dialog, int id, UINT code) {
    State* s = StateOf(dialog);
    if (!s) return false;
    switch (id) {
    case IDOK:
        if (code == BN_CLICKED) OnOk(s);
        return true;
    case IDCANCEL:
        EndDialog(dialog, 2);
        return true;
    case kSetList: {
        if (code != CBN_SELCHANGE) return false;
        int i = static_cast<int>(SendDlgItemMessageW(dialog, kSetList, CB_GETCURSEL, 0, 0));
        if (i >= 0 && static_cast<size_t>(i) < s->sets.size())
            ApplySet(s->sets[static_cast<size_t>(i)], &s->block->record);
        ShowAllPages(s);
        return true;
    }
    case kSave: {
        if (code != BN_CLICKED || !LeavePage(s, s->current)) return true;
        SaveState save{s};
        pages::RunModuleDialog(frame::Module().dialogResources, dialog, kSaveDialog, SaveProc,
                               reinterpret_cast<LPARAM>(&save));
        ShowSetList(s);
        return true;
    }
    case kEdit: {
        if (code != BN_CLICKED) return true;
        EditState edit{s, s->sets};
        pages::RunModuleDialog(frame::Module().dialogResources, dialog, kEditDialog, EditProc,
                               reinterpret_cast<LPARAM>(&edit));
        ShowSetList(s);
        return true;
    }
    default:
        return false;
    }
}

bool DialogNotify(HWND dialog, const NMHDR* header, LRESULT* result) {
    State* s = StateOf(dialog);
    if (!s || header->idFrom != static_cast<UINT_PTR>(kTabs)) return false;
    if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
        *result = LeavePage(s, s->current) ? FALSE : TRUE;
        return true;
    }
    if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        SelectPage(s, static_cast<int>(SendDlgItemMessageW(dialog, kTabs, TCM_GETCURSEL, 0, 0)));
        *result = 0;
        return true;
    }
    return false;
}

void DestroyDialog(HWND dialog) {
    State* s = static_cast<State*>(GetPropW(dialog, kStateProp));
    RemovePropW(dialog, kStateProp);
    delete s;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const PageDef def = [] {
        PageDef d{kDialog, 0, PageKind::Dialog};
        d.commonInit = false;
        d.init = InitDialog;
        d.command = DialogCommand;
        d.notify = DialogNotify;
        d.destroy = DestroyDialog;
        return d;
    }();
    return RunPage(def, hwnd, msg, wParam, lParam);
}

WString DestinationText(const BYTE* entry, size_t unitOffset) {
    WString text;
    for (size_t i = 0; i < kDestinationTextUnits - 1; ++i) {
        WCHAR c = static_cast<WCHAR>(GetLE16(entry + (unitOffset + i) * 2));
        if (!c) break;
        text.push_back(c);
    }
    return Printable(text, false);
}

}  // namespace

RecipientDetails DetailsOfDestination(const BYTE* entry) {
    RecipientDetails d;
    d.company = DestinationText(entry, kDestinationCompany);
    d.department = DestinationText(entry, kDestinationDepartment);
    d.name = DestinationText(entry, kDestinationName);
    d.fax = DestinationText(entry, kDestinationFax);
    return d;
}

INT_PTR RunCoverSheetDialog(HWND owner, CoverDialogBlock* block) {
    INT_PTR r = pages::RunModuleDialog(frame::Module().dialogResources, owner, kDialog, DialogProc,
                                       reinterpret_cast<LPARAM>(block));
    return r == 1 ? 1 : r == -1 ? -1 : 2;
}

}  // namespace nvx::fax
