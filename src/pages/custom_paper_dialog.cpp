// The custom paper list dialog (115): the named paper sizes a user keeps for the
// printer.  It works on a copy of the sheet's list; OK checks the entry being
// edited, stores the list with the printer and registers its forms, Cancel leaves
// the sheet's list as it was.
#include <cstring>
#include <memory>

#include "common/text.h"
#include "features/custom_paper.h"
#include "features/custom_paper_list.h"
#include "features/model_record.h"
#include "model/loaded_model.h"
#include "pages/hints.h"
#include "pages/page_framework.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "settings/sheet_layout.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageCustomPaperList;

enum : int {
    kUnitMm = 1240,
    kUnitInch = 1241,
    kList = 1547,
    kAdd = 1549,
    kDelete = 1550,
    kName = 1553,
    kWidth = 1555,
    kLength = 1559,
    kWidthRange = 3533,
    kLengthRange = 3534,
};

static_assert(settings::work::kCustomPaperList + sizeof(features::CustomPaperList) <= settings::work::kWatermarksLoaded,
              "the sheet's list ends before the next field of the page state");

const WCHAR kStateProp[] = WL("NovrixCustomPaperList");

struct State {
    features::CustomPaperList list{};  // the list being edited
    features::SizeUnit unit = features::SizeUnit::Mm;
    uint32_t capacity = features::kCustomPaperMaxEntries;
};

State* StateOf(HWND dlg) {
    return static_cast<State*>(GetPropW(dlg, kStateProp));
}

features::CustomPaperModel Model() {
    return features::CustomPaperModelOf(model::Loaded().tables.record);
}

// ---- The sheet's list, kept in the page work area ----

features::CustomPaperList SheetList(const settings::PrinterUIContext* ctx) {
    features::CustomPaperList list{};
    BYTE* area = settings::ContextPageWorkArea(ctx);
    if (!area) return list;
    if (!settings::WorkGet(ctx, settings::work::kCustomPaperLoaded)) {
        list = features::LoadCustomPaperList(settings::ContextPrinter(ctx));
        std::memcpy(area + settings::work::kCustomPaperList, &list, sizeof list);
        settings::WorkSet(ctx, settings::work::kCustomPaperLoaded, 1);
        return list;
    }
    features::DecodeCustomPaperList(area + settings::work::kCustomPaperList, sizeof list, features::kCustomPaperMaxEntries, &list);
    return list;
}

void SetSheetList(const settings::PrinterUIContext* ctx, const features::CustomPaperList& list) {
    if (BYTE* area = settings::ContextPageWorkArea(ctx)) {
        std::memcpy(area + settings::work::kCustomPaperList, &list, sizeof list);
        settings::WorkSet(ctx, settings::work::kCustomPaperLoaded, 1);
    }
}

// ---- Showing ----

WString FieldText(HWND dlg, int id) {
    WCHAR text[64] = {};
    GetDlgItemTextW(dlg, id, text, 64);
    return WString(text);
}

void ShowList(HWND dlg, int select) {
    const State* s = StateOf(dlg);
    HWND box = GetDlgItem(dlg, kList);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    const bool fine = Model().finePrecision;
    for (uint32_t i = 0; i < s->list.count; ++i) {
        const features::CustomPaperEntry& e = s->list.entries[i];
        const WString line = features::SizeListText(WStringView(e.name), s->unit, fine, e.width, e.length);
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    EnableWindow(GetDlgItem(dlg, kDelete), select >= 0 && settings::ContextMayApply(PageContext(dlg)));
}

void ShowRanges(HWND dlg) {
    const State* s = StateOf(dlg);
    const auto range = features::EffectiveCustomRange(Model());
    const bool fine = Model().finePrecision;
    SetDlgItemTextW(dlg, kWidthRange, features::RangeLabel(s->unit, fine, range.minWidth, range.maxWidth).c_str());
    SetDlgItemTextW(dlg, kLengthRange,
                    features::RangeLabel(s->unit, fine, range.minLength, range.maxLength).c_str());
    CheckRadioButton(dlg, kUnitMm, kUnitInch, s->unit == features::SizeUnit::Inch ? kUnitInch : kUnitMm);
}

void ShowSize(HWND dlg, int id, int32_t microns) {
    const State* s = StateOf(dlg);
    SetDlgItemTextW(dlg, id, features::SizeMicronsText(microns, s->unit, Model().finePrecision).c_str());
}

void ShowEntry(HWND dlg, int index) {
    const State* s = StateOf(dlg);
    if (index < 0 || static_cast<uint32_t>(index) >= s->list.count) return;
    const features::CustomPaperEntry& e = s->list.entries[index];
    SetDlgItemTextW(dlg, kName, e.name);
    ShowSize(dlg, kWidth, e.width);
    ShowSize(dlg, kLength, e.length);
}

// ---- The entry in the fields ----

struct Fields {
    WString name;
    int32_t width = 0;   // micrometres
    int32_t length = 0;
};

// Reads and checks the fields.  On a problem answers the control to correct.
int ReadFields(HWND dlg, Fields* f) {
    const State* s = StateOf(dlg);
    f->name = FieldText(dlg, kName);
    const WString w = FieldText(dlg, kWidth);
    const WString l = FieldText(dlg, kLength);
    if (!features::ParseSizeMicrons(w, s->unit, &f->width)) return kWidth;
    if (!features::ParseSizeMicrons(l, s->unit, &f->length)) return kLength;
    const auto range = features::EffectiveCustomRange(Model());
    switch (features::CheckEntry(f->name, features::MicronsToTenths(f->width), features::MicronsToTenths(f->length), range)) {
    case features::EntryProblem::Name: return kName;
    case features::EntryProblem::Width: return kWidth;
    case features::EntryProblem::Length: return kLength;
    default: return 0;
    }
}

int32_t UnitValue(features::SizeUnit unit) {
    return unit == features::SizeUnit::Inch ? 1 : 0;
}

// Puts the fields' entry into the list; answers the control to correct, or 0.
int PutFields(HWND dlg, const Fields& f) {
    State* s = StateOf(dlg);
    const features::EntryProblem p = features::PutCustomPaper(&s->list, s->capacity, f.name, f.width, f.length, UnitValue(s->unit));
    if (p == features::EntryProblem::Full) MessageBeep(MB_ICONEXCLAMATION);
    if (p != features::EntryProblem::None) return kName;
    ShowList(dlg, features::FindCustomPaper(s->list, f.name));
    return 0;
}

void Refuse(HWND dlg, int control) {
    if (HWND c = GetDlgItem(dlg, control)) SetFocus(c);
}

void OnAdd(HWND dlg) {
    Fields f;
    if (int bad = ReadFields(dlg, &f)) return Refuse(dlg, bad);
    if (int bad = PutFields(dlg, f)) Refuse(dlg, bad);
}

void OnDelete(HWND dlg) {
    State* s = StateOf(dlg);
    const LRESULT sel = SendMessageW(GetDlgItem(dlg, kList), LB_GETCURSEL, 0, 0);
    if (sel < 0 || !features::RemoveCustomPaper(&s->list, static_cast<uint32_t>(sel))) return;
    const int next = s->list.count == 0 ? -1 : static_cast<int>(sel) < static_cast<int>(s->list.count)
                                                   ? static_cast<int>(sel)
                                                   : static_cast<int>(s->list.count) - 1;
    ShowList(dlg, next);
    if (next >= 0) {
        ShowEntry(dlg, next);
    } else {
        // Nothing left to show: empty fields, so that OK does not bring the entry back.
        for (int id : {int(kName), int(kWidth), int(kLength)}) SetDlgItemTextW(dlg, id, WL(""));
    }
}

void OnUnit(HWND dlg, int control) {
    if (SendMessageW(GetDlgItem(dlg, control), BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    State* s = StateOf(dlg);
    const auto unit = control == kUnitInch ? features::SizeUnit::Inch : features::SizeUnit::Mm;
    if (unit == s->unit) return;
    // What the fields hold is shown again in the new unit.
    int32_t w = 0, l = 0;
    const bool hasW = features::ParseSizeMicrons(FieldText(dlg, kWidth), s->unit, &w);
    const bool hasL = features::ParseSizeMicrons(FieldText(dlg, kLength), s->unit, &l);
    s->unit = unit;
    if (hasW) ShowSize(dlg, kWidth, w);
    if (hasL) ShowSize(dlg, kLength, l);
    ShowRanges(dlg);
    ShowList(dlg, static_cast<int>(SendMessageW(GetDlgItem(dlg, kList), LB_GETCURSEL, 0, 0)));
}

// The entry's size against the rules: the record's custom size fields take it for
// the check of the length field.  A refusal answers false; a size the check changed
// comes back into the entry.  The record's own custom size stays as it was.
bool CheckSize(HWND dlg, Fields* f) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return true;
    const char* const fields[2] = {"sizInUserDefPaperMM.cx", "sizInUserDefPaperMM.cy"};
    const int32_t old[2] = {settings::GetNumber(*r, fields[0]), settings::GetNumber(*r, fields[1])};
    const int32_t put[2] = {features::MicronsToTenths(f->width), features::MicronsToTenths(f->length)};
    settings::SetNumber(*r, fields[0], put[0]);
    settings::SetNumber(*r, fields[1], put[1]);
    const UINT_PTR answer = CheckConstraints(dlg, kLength);
    const int32_t now[2] = {settings::GetNumber(*r, fields[0]), settings::GetNumber(*r, fields[1])};
    settings::SetNumber(*r, fields[0], old[0]);
    settings::SetNumber(*r, fields[1], old[1]);
    if (CheckRestores(answer)) return false;
    // A dimension the check did not change keeps the entry's exact value.
    if (now[0] != put[0]) f->width = now[0] * 100;
    if (now[1] != put[1]) f->length = now[1] * 100;
    return true;
}

void OnOk(HWND dlg) {
    State* s = StateOf(dlg);
    auto* ctx = PageContext(dlg);
    // 1, 2: the entry being edited (a name in the field) is checked and kept.
    if (!FieldText(dlg, kName).empty()) {
        Fields f;
        if (ReadFields(dlg, &f) || !CheckSize(dlg, &f)) return Refuse(dlg, kWidth);
        if (int bad = PutFields(dlg, f)) return Refuse(dlg, bad);
    }
    // 3: the list, the fields and the hints shown again.
    ShowList(dlg, static_cast<int>(SendMessageW(GetDlgItem(dlg, kList), LB_GETCURSEL, 0, 0)));
    ShowRanges(dlg);
    ShowPageHints(dlg, ctx, kPage);
    // 4 - 6: stored with the printer, the forms registered anew, kept in the sheet.
    const features::CustomPaperList previous = SheetList(ctx);
    if (s->list.count > s->capacity) s->list.count = s->capacity;
    const bool noForms = (settings::ContextSheetFlags(ctx) & settings::layout::kFlagNoForms) != 0;
    const auto m = Model();
    features::SaveCustomPaperList(settings::ContextPrinter(ctx), previous, s->list, noForms, m.paperFeedType, m.maxFeedLength);
    SetSheetList(ctx, s->list);
    EndDialog(dlg, IDOK);
}

// ---- The skeleton's handlers ----

INT_PTR OnInit(HWND dlg, LPARAM) {
    auto state = std::make_unique<State>();
    auto* ctx = PageContext(dlg);
    state->list = SheetList(ctx);
    state->capacity = features::CustomPaperCapacity();
    if (const OEMDEV* r = PageRecord(dlg))
        state->unit = settings::GetNumber(*r, "byUnitInUserDefPaper") != 0 ? features::SizeUnit::Inch
                                                                            : features::SizeUnit::Mm;
    if (state->list.count > 0)
        state->unit = state->list.entries[0].unit ? features::SizeUnit::Inch : features::SizeUnit::Mm;
    SetPropW(dlg, kStateProp, state.release());
    SendMessageW(GetDlgItem(dlg, kName), EM_LIMITTEXT, features::kCustomPaperNameChars, 0);
    for (int id : {kWidth, kLength}) SendMessageW(GetDlgItem(dlg, id), EM_LIMITTEXT, 9, 0);
    const int tab = 100;  // dialog units: the size after the name
    SendMessageW(GetDlgItem(dlg, kList), LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    ShowRanges(dlg);
    ShowList(dlg, StateOf(dlg)->list.count ? 0 : -1);
    ShowEntry(dlg, 0);
    const int editing[] = {kAdd, kDelete, kName, kWidth, kLength, kUnitMm, kUnitInch, IDOK};
    if (!settings::ContextMayApply(ctx))
        for (int id : editing) EnableWindow(GetDlgItem(dlg, id), FALSE);
    return TRUE;
}

bool OnCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK:
        OnOk(dlg);
        return true;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return true;
    case kAdd:
        if (code == BN_CLICKED) OnAdd(dlg);
        return true;
    case kDelete:
        if (code == BN_CLICKED) OnDelete(dlg);
        return true;
    case kUnitMm:
    case kUnitInch:
        if (code == BN_CLICKED) OnUnit(dlg, id);
        return true;
    case kName:
        // A name of the list selects its entry (Delete then removes it).
        if (code == EN_CHANGE && StateOf(dlg)) {
            const int found = features::FindCustomPaper(StateOf(dlg)->list, FieldText(dlg, kName));
            SendMessageW(GetDlgItem(dlg, kList), LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            EnableWindow(GetDlgItem(dlg, kDelete), found >= 0 && settings::ContextMayApply(PageContext(dlg)));
        }
        return true;
    case kList:
        if (code == LBN_SELCHANGE) {
            const int sel = static_cast<int>(SendMessageW(GetDlgItem(dlg, kList), LB_GETCURSEL, 0, 0));
            ShowEntry(dlg, sel);
            EnableWindow(GetDlgItem(dlg, kDelete), sel >= 0 && settings::ContextMayApply(PageContext(dlg)));
        }
        return true;
    default:
        return false;
    }
}

void OnDestroy(HWND dlg) {
    delete StateOf(dlg);
    RemovePropW(dlg, kStateProp);
}

const PageDef kCustomPaperListDialog = [] {
    PageDef d{kPage, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnInit;
    d.command = OnCommand;
    d.destroy = OnDestroy;
    return d;
}();

}  // namespace

INT_PTR CALLBACK CustomPaperListDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kCustomPaperListDialog, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
