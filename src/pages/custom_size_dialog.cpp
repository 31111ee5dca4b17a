// The custom paper size dialog (151): width and length of the user-defined paper
// size in millimetres or inches, inside the model's effective custom range.  It
// edits the custom size fields of the sheet's record (the document's, or the
// output size's when opened through CustomOutSizeDialogProc); Cancel puts back
// what the fields held when it opened.
#include <cstdint>
#include <memory>

#include "common/text.h"
#include "features/custom_paper.h"
#include "features/model_record.h"
#include "model/loaded_model.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageCustomSize;

enum : int {
    kUnitMm = 1240,
    kUnitInch = 1241,
    kWidthRange = 1273,
    kLengthRange = 1274,
    kWidth = 1336,
    kLength = 1337,
    kWidthSpin = 1338,
    kLengthSpin = 1339,
};

// The record fields the dialog edits, chosen when it opens: the document's custom
// size, or the output size's (one dialog runs at a time: it is modal).
struct SizeFields {
    const char* width;
    const char* length;
    const char* unit;
};
constexpr SizeFields kDocumentFields{"sizInUserDefPaperMM.cx", "sizInUserDefPaperMM.cy", "byUnitInUserDefPaper"};
constexpr SizeFields kOutputFields{"sizOutUserDefPaperMM.cx", "sizOutUserDefPaperMM.cy", "byUnitOutUserDefPaper"};
const char* kWidthField = kDocumentFields.width;
const char* kLengthField = kDocumentFields.length;
const char* kUnitField = kDocumentFields.unit;

void EditFields(const SizeFields& f) {
    kWidthField = f.width;
    kLengthField = f.length;
    kUnitField = f.unit;
}

bool EditingOutput() {
    return kWidthField == kOutputFields.width;
}

const WCHAR kStateProp[] = WL("NovrixCustomSize");

// What the fields held when the dialog opened.
struct Opening {
    int32_t width;
    int32_t length;
    int32_t unit;
};

Opening* StateOf(HWND dlg) {
    return static_cast<Opening*>(GetPropW(dlg, kStateProp));
}

features::CustomPaperModel Model() {
    return features::CustomPaperModelOf(model::Loaded().tables.record);
}

features::SizeRange Range() {
    return features::EffectiveCustomRange(Model());
}

int32_t Get(HWND dlg, const char* field) {
    const OEMDEV* r = PageRecord(dlg);
    return r ? settings::GetNumber(*r, field) : 0;
}

void Set(HWND dlg, const char* field, int32_t value) {
    if (OEMDEV* r = PageRecord(dlg)) settings::SetNumber(*r, field, value);
}

// The unit the dialog shows: the radio row's value of the inch row, else 1.
int32_t InchValue() {
    const features::UiItem* item = PageItem(kPage, kUnitInch);
    const int32_t v = item ? RadioValue(*item) : -1;
    return v >= 0 ? v : 1;
}

features::SizeUnit Unit(HWND dlg) {
    return Get(dlg, kUnitField) == InchValue() ? features::SizeUnit::Inch : features::SizeUnit::Mm;
}

// Shows the range labels, the unit and the fields (`only`: just that field, so
// that what the user typed into the other one stays).
void ShowFields(HWND dlg, int only = 0) {
    const auto range = Range();
    const bool fine = Model().finePrecision;
    const auto unit = Unit(dlg);
    SetDlgItemTextW(dlg, kWidthRange, features::RangeLabel(unit, fine, range.minWidth, range.maxWidth).c_str());
    SetDlgItemTextW(dlg, kLengthRange, features::RangeLabel(unit, fine, range.minLength, range.maxLength).c_str());
    SendMessageW(GetDlgItem(dlg, kWidth), EM_LIMITTEXT, features::SizeFieldLimit(range, true, unit, fine), 0);
    SendMessageW(GetDlgItem(dlg, kLength), EM_LIMITTEXT, features::SizeFieldLimit(range, false, unit, fine), 0);
    if (only != kLength)
        SetDlgItemTextW(dlg, kWidth, features::SizeFieldText(range, true, Get(dlg, kWidthField), unit, fine).c_str());
    if (only != kWidth)
        SetDlgItemTextW(dlg, kLength,
                        features::SizeFieldText(range, false, Get(dlg, kLengthField), unit, fine).c_str());
    CheckRadioButton(dlg, kUnitMm, kUnitInch, unit == features::SizeUnit::Inch ? kUnitInch : kUnitMm);
    // The arrows step the fields themselves; a plain upward range gives the up
    // arrow a positive delta.
    for (int spin : {kWidthSpin, kLengthSpin}) SendMessageW(GetDlgItem(dlg, spin), UDM_SETRANGE32, 0, 0x7FFF);
}

// The change pattern for one size field: the typed value (inside the range) goes
// into the record and through the check; a refusal puts the old value back and the
// focus into the field.  Answers false on a refusal.
bool StoreField(HWND dlg, int control) {
    const bool width = control == kWidth;
    const char* field = width ? kWidthField : kLengthField;
    WCHAR text[32] = {};
    GetDlgItemTextW(dlg, control, text, 32);
    const int32_t old = Get(dlg, field);
    // A text the user left as shown keeps the stored value (shown values are rounded).
    const int32_t tenths = features::SizeFieldValue(Range(), width, text, old, Unit(dlg), Model().finePrecision);
    if (tenths == old) {
        ShowFields(dlg, control);
        return true;
    }
    Set(dlg, field, tenths);
    const settings::PrinterUIContext* ctx = PageContext(dlg);
    settings::WorkSet(ctx, settings::work::kChangedByRule, 0);
    if (CheckRestores(CheckConstraints(dlg, static_cast<uint32_t>(control)))) {
        Set(dlg, field, old);
        ShowFields(dlg, control);
        SetFocus(GetDlgItem(dlg, control));
        return false;
    }
    // A rule that wrote a size showed it in tenths of a millimetre: show both again.
    ShowFields(dlg, settings::WorkGet(ctx, settings::work::kChangedByRule) ? 0 : control);
    return true;
}

// A spin arrow steps the field by one shown unit (1 mm or 0.1 mm; 0.01 or 0.001 inch).
void Step(HWND dlg, int control, int delta) {
    const bool width = control == kWidth;
    const char* field = width ? kWidthField : kLengthField;
    const bool fine = Model().finePrecision;
    int32_t tenths = Get(dlg, field);
    if (Unit(dlg) == features::SizeUnit::Mm) {
        tenths += delta * (fine ? 1 : 10);
    } else {
        // One hundredth (or thousandth) of an inch, in 0.1 mm, rounded away from zero.
        const int64_t step = fine ? 1 : (254 + 99) / 100;
        tenths += static_cast<int32_t>(delta * step);
    }
    const auto range = Range();
    tenths = width ? features::ClampWidth(range, tenths) : features::ClampLength(range, tenths);
    const WString shown = features::SizeFieldText(range, width, tenths, Unit(dlg), fine);
    SetDlgItemTextW(dlg, control, shown.c_str());
    StoreField(dlg, control);
}

void OnUnit(HWND dlg, int control) {
    if (SendMessageW(GetDlgItem(dlg, control), BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    const features::UiItem* item = PageItem(kPage, static_cast<uint32_t>(control));
    const int32_t value = item && RadioValue(*item) >= 0 ? RadioValue(*item) : (control == kUnitInch ? 1 : 0);
    if (value == Get(dlg, kUnitField)) return;
    // The radio rows are bound to the document's unit: the output's is set directly.
    if (item && item->state.field && !EditingOutput()) ChangeItem(dlg, kPage, static_cast<uint32_t>(control), value);
    else Set(dlg, kUnitField, value);
    ShowFields(dlg);
}

INT_PTR OnInit(HWND dlg, LPARAM) {
    auto state = std::make_unique<Opening>();
    state->width = Get(dlg, kWidthField);
    state->length = Get(dlg, kLengthField);
    state->unit = Get(dlg, kUnitField);
    SetPropW(dlg, kStateProp, state.release());
    ShowFields(dlg);
    return TRUE;
}

void Finish(HWND dlg, int answer) {
    if (answer == IDCANCEL)
        if (const Opening* s = StateOf(dlg)) {
            Set(dlg, kWidthField, s->width);
            Set(dlg, kLengthField, s->length);
            Set(dlg, kUnitField, s->unit);
        }
    EndDialog(dlg, answer);
}

bool OnCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK:
        // Both fields through the change pattern; a refusal keeps the dialog open.
        if (StoreField(dlg, kWidth) && StoreField(dlg, kLength)) Finish(dlg, IDOK);
        return true;
    case IDCANCEL:
        Finish(dlg, IDCANCEL);
        return true;
    case kUnitMm:
    case kUnitInch:
        if (code == BN_CLICKED) OnUnit(dlg, id);
        return true;
    case kWidth:
    case kLength:
        if (code == EN_KILLFOCUS && !CheckRunning()) {
            // A focus that moves to Cancel must not check what Cancel will undo.
            HWND next = GetFocus();
            if (!next || GetDlgCtrlID(next) != IDCANCEL) StoreField(dlg, id);
        }
        return true;
    default:
        return false;
    }
}

bool OnNotify(HWND dlg, const NMHDR* header, LRESULT* result) {
    if (header->code != static_cast<UINT>(UDN_DELTAPOS)) return false;
    const int field = header->idFrom == kWidthSpin ? kWidth : header->idFrom == kLengthSpin ? kLength : 0;
    if (!field) return false;
    // Up-down arrows count upward from the bottom: the up arrow has a positive delta.
    Step(dlg, field, reinterpret_cast<const NMUPDOWN*>(header)->iDelta > 0 ? 1 : -1);
    *result = TRUE;  // the control keeps its own position
    return true;
}

void OnDestroy(HWND dlg) {
    delete StateOf(dlg);
    RemovePropW(dlg, kStateProp);
}

const PageDef kCustomSizeDialog = [] {
    PageDef d{kPage, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnInit;
    d.command = OnCommand;
    d.notify = OnNotify;
    d.destroy = OnDestroy;
    return d;
}();

}  // namespace

INT_PTR CALLBACK CustomSizeDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) EditFields(kDocumentFields);
    return RunPage(kCustomSizeDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK CustomOutSizeDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) EditFields(kOutputFields);
    return RunPage(kCustomSizeDialog, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
