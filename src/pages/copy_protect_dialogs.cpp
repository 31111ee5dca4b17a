// The copy-protect dialogs the Stamp/Composition tab opens for the record's
// operation: the copy-protect edit dialog (2145: composite method, text, font,
// pattern, placement, colours, densities and contrast) and the copy-guard edit
// dialog (214: text switch and list, distribution number, angle, colour, placement,
// effect, density).  Switches and drop-downs that are items of the record run the
// check for their control at once; the text box is taken on OK; the sliders store
// their position as they move.  The opener keeps the record as it was unless the
// dialog ends with OK.  What the values mean lives in stamps/copy_protect.h.
#include <cstring>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "features/catalogue.h"
#include "features/option_record.h"
#include "frame/module_state.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/page_texts.h"
#include "pages/quality_logic.h"
#include "pages/text_display.h"
#include "stamps/copy_protect.h"
#include "stamps/watermark_fit.h"

namespace nvx::pages {

namespace {

namespace st = stamps;

enum : int {
    // Copy-protect edit (2145)
    kCompositeProtect = 2147,
    kCompositeStamp = 2148,
    kText = 2150,
    kFont = 2151,
    kPattern = 2152,
    kPlacement = 2153,
    kPatternColor = 2157,
    kPatternLight = 2158,
    kPatternDensity = 2159,
    kPatternDark = 2160,
    kContrast = 2163,
    kStampColor = 2105,
    kStampLight = 2106,
    kStampDensity = 2107,
    kStampDark = 2108,

    // Copy guard (214; the text items are on 213)
    kGuardText = 3180,
    kGuardTextList = 3181,
    kGuardNumber = 3188,
    kGuardAngle = 3195,
    kGuardColor = 3200,
    kGuardPlacement = 3204,
    kGuardEffect = 3210,
    kGuardLight = 3215,
    kGuardDensity = 3216,
    kGuardDark = 3217,
};
constexpr uint32_t kGuardTextPage = 213;

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

void Enable(HWND dlg, int id, bool on) {
    HWND c = GetDlgItem(dlg, id);
    if (c && !constraints::ControlSwitchedOff(c)) EnableWindow(c, on);
}

// Items of the record on a dialog: drop-downs the model gives no choices (or whose
// item has no field) are switched off.
void PrepareItems(HWND dlg, uint32_t pageId, std::initializer_list<int> controls) {
    FillPageDropDowns(dlg, pageId);
    for (int id : controls) {
        const features::UiItem* item = PageItem(pageId, static_cast<uint32_t>(id));
        if (!ItemOffered(item) || !item->state.field) SwitchOffControl(dlg, pageId, static_cast<uint32_t>(id));
    }
}

// A check box, radio row or drop-down of the record: the change pattern of its item.
bool ItemCommand(HWND dlg, uint32_t pageId, int id, UINT code) {
    const features::UiItem* item = PageItem(pageId, static_cast<uint32_t>(id));
    if (!item) return false;
    if (item->type == features::kUiCheck && code == BN_CLICKED) {
        ChangeItem(dlg, pageId, static_cast<uint32_t>(id), Checked(dlg, id) ? 1 : 0);
        return true;
    }
    if (item->type == features::kUiRadio && code == BN_CLICKED) {
        if (Checked(dlg, id)) ChangeItem(dlg, pageId, static_cast<uint32_t>(id), RadioValue(*item));
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
    return item->type == features::kUiCheck || item->type == features::kUiDropDown || item->type == features::kUiRadio;
}

// ---- Drop-downs of a list without an item on the dialog ----------------------

struct ListCombo {
    int control;
    const char* list;   // the catalogue list
    const char* field;  // the settings field
};
constexpr ListCombo kEditLists[] = {
    {kPattern, "CP_Pattern", "nPattern"},
    {kPlacement, "CSE_CP_Placement", "nCPE_CP_Placement"},
};

void FillList(HWND dlg, const ListCombo& l) {
    HWND combo = GetDlgItem(dlg, l.control);
    const uint8_t* list = features::TheCatalogue().FindList(l.list);
    const size_t n = features::ListCount(list);
    if (!combo || n == 0) {
        if (combo) {
            EnableWindow(combo, FALSE);
            ShowWindow(combo, SW_HIDE);
        }
        return;
    }
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (size_t k = 0; k < n; ++k) {
        const uint8_t* rec = features::RecordAt(list, k);
        WString text = features::DisplayName(rec);
        if (text.empty()) text = WFromUtf8(features::Keyword(rec));
        const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), features::Value(rec));
    }
}

void SelectData(HWND combo, int32_t value) {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT sel = -1;
    for (LRESULT k = 0; k < count && sel < 0; ++k)
        if (static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(k), 0)) == value) sel = k;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
}

// A stored change of one field through the check for its control; a refusal puts
// the old value back.  Answers whether the change stands.
bool ChangeField(HWND dlg, int control, const char* field, int32_t value) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return false;
    const int32_t old = settings::GetNumber(*r, field);
    settings::SetNumber(*r, field, value);
    if (CheckRestores(CheckConstraints(dlg, static_cast<uint32_t>(control)))) {
        settings::SetNumber(*r, field, old);
        return false;
    }
    if (old != settings::GetNumber(*r, field)) SetPageChanged(dlg);
    return true;
}

// ---- Sliders -----------------------------------------------------------------

struct SliderControl {
    int light, bar, dark;
    st::Slider slider;
};

void PrepareSlider(HWND dlg, uint32_t pageId, const SliderControl& s) {
    HWND bar = GetDlgItem(dlg, s.bar);
    if (!bar) return;
    const st::SliderRange range = st::SliderRangeOf(s.slider);
    SendMessageW(bar, TBM_SETRANGEMIN, FALSE, range.low);
    SendMessageW(bar, TBM_SETRANGEMAX, TRUE, range.high);
    // The end labels: the page's texts by key (the model may rename them).
    const model::ControlTextRow* texts = PageTexts(pageId);
    for (auto [id, key] : {std::pair{s.light, st::SliderLowKey(s.slider)}, std::pair{s.dark, st::SliderHighKey(s.slider)}}) {
        const WString text = TableText(texts, key);
        if (!text.empty()) SetDlgItemTextW(dlg, id, text.c_str());
    }
}

void ShowSlider(HWND dlg, const SliderControl& s) {
    const OEMDEV* r = PageRecord(dlg);
    HWND bar = GetDlgItem(dlg, s.bar);
    if (!r || !bar) return;
    const int32_t pos = st::SliderPosition(settings::GetNumber(*r, st::SliderField(s.slider)), st::SliderRangeOf(s.slider));
    SendMessageW(bar, TBM_SETPOS, TRUE, pos);
}

// A moved slider: its position into the record (inside its range), through the
// check for its control.
void TakeSlider(HWND dlg, const SliderControl& s) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return;
    const int32_t pos = static_cast<int32_t>(SendMessageW(GetDlgItem(dlg, s.bar), TBM_GETPOS, 0, 0));
    const char* field = st::SliderField(s.slider);
    const int32_t old = settings::GetNumber(*r, field);
    if (old == pos || !st::SetSliderValue(*r, s.slider, pos, st::SliderRangeOf(s.slider))) return;
    if (CheckRestores(CheckConstraints(dlg, static_cast<uint32_t>(s.bar)))) {
        settings::SetNumber(*r, field, old);
        ShowSlider(dlg, s);
        return;
    }
    SetPageChanged(dlg);
}

void RefuseText(HWND dlg, int box, const WCHAR* message) {
    WCHAR caption[128] = {};
    GetWindowTextW(dlg, caption, 128);
    MessageBoxW(dlg, message, caption, MB_OK | MB_ICONWARNING);
    HWND c = GetDlgItem(dlg, box);
    SetFocus(c);
    SendMessageW(c, EM_SETSEL, 0, -1);
}

// ---- Copy-protect edit (2145) -----------------------------------------------

constexpr SliderControl kEditSliders[] = {
    {kPatternLight, kPatternDensity, kPatternDark, st::Slider::PatternDensity},
    {kStampLight, kStampDensity, kStampDark, st::Slider::StampDensity},
    {0, kContrast, 0, st::Slider::PatternContrast},
};

struct EditState {
    std::vector<WString> faces;
};
std::map<HWND, EditState>& EditStates() {
    static std::map<HWND, EditState> states;
    return states;
}

void ShowEdit(HWND dlg) {
    ShowPageItems(dlg, kPageCopyProtectEdit);
    const OEMDEV* r = PageRecord(dlg);
    auto it = EditStates().find(dlg);
    if (!r || it == EditStates().end()) return;
    for (const ListCombo& l : kEditLists) SelectData(GetDlgItem(dlg, l.control), settings::GetNumber(*r, l.field));
    const WString face = st::ShownFace(*r, st::DefaultWatermarkFace());
    HWND font = GetDlgItem(dlg, kFont);
    SendMessageW(font, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (size_t i = 0; i < it->second.faces.size(); ++i)
        if (WEqualNoCase(it->second.faces[i], face)) SendMessageW(font, CB_SETCURSEL, i, 0);
    for (const SliderControl& s : kEditSliders) ShowSlider(dlg, s);
    // The pattern's settings while the text is composed as a copy-protect pattern,
    // the stamp's while it is a stamp.
    const bool pattern = settings::GetNumber(*r, "bCompositeMethod") != 0;
    for (int id : {kPattern, kPatternColor, kPatternLight, kPatternDensity, kPatternDark, kContrast}) Enable(dlg, id, pattern);
    for (int id : {kStampColor, kStampLight, kStampDensity, kStampDark}) Enable(dlg, id, !pattern);
}

INT_PTR EditInit(HWND dlg, LPARAM) {
    EditState& s = EditStates()[dlg];
    s.faces = st::WatermarkFaces(quality::PrinterFontsBesideModule(), st::DefaultWatermarkFace());
    PrepareItems(dlg, kPageCopyProtectEdit, {kCompositeProtect, kCompositeStamp, kPatternColor, kStampColor});
    for (const ListCombo& l : kEditLists) FillList(dlg, l);
    HWND font = GetDlgItem(dlg, kFont);
    for (const WString& f : s.faces) SendMessageW(font, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
    for (const SliderControl& c : kEditSliders) PrepareSlider(dlg, kPageCopyProtectEdit, c);
    SendMessageW(GetDlgItem(dlg, kText), EM_LIMITTEXT, st::kCopyProtectTextMax, 0);
    if (const OEMDEV* r = PageRecord(dlg)) SetDlgItemTextW(dlg, kText, st::CopyProtectText(*r).c_str());
    ShowEdit(dlg);
    return TRUE;
}

void EditOk(HWND dlg) {
    OEMDEV* r = PageRecord(dlg);
    if (!r) return;
    if (st::SetCopyProtectText(*r, ControlText(dlg, kText)) != st::TextProblem::None)
        return RefuseText(dlg, kText, WL("Enter at most 31 characters."));
    EndDialog(dlg, IDOK);
}

void OnFont(HWND dlg) {
    OEMDEV* r = PageRecord(dlg);
    auto it = EditStates().find(dlg);
    const LRESULT sel = SendMessageW(GetDlgItem(dlg, kFont), CB_GETCURSEL, 0, 0);
    if (!r || it == EditStates().end() || sel < 0 || static_cast<size_t>(sel) >= it->second.faces.size()) return;
    const WString before = st::CopyProtectFace(*r);
    st::SetCopyProtectFace(*r, it->second.faces[static_cast<size_t>(sel)], it->second.faces);
    if (before != st::CopyProtectFace(*r)) SetPageChanged(dlg);
}

bool EditCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK: EditOk(dlg); return true;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); return true;
    default: break;
    }
    if (!PageRecord(dlg) || PageInitializing()) return false;
    if (id == kFont) {
        if (code == CBN_SELENDOK) OnFont(dlg);
        ShowEdit(dlg);
        return true;
    }
    for (const ListCombo& l : kEditLists)
        if (id == l.control) {
            const LRESULT sel = SendMessageW(GetDlgItem(dlg, id), CB_GETCURSEL, 0, 0);
            if (code == CBN_SELENDOK && sel >= 0)
                ChangeField(dlg, id, l.field,
                            static_cast<int32_t>(SendMessageW(GetDlgItem(dlg, id), CB_GETITEMDATA,
                                                              static_cast<WPARAM>(sel), 0)));
            ShowEdit(dlg);
            return true;
        }
    if (ItemCommand(dlg, kPageCopyProtectEdit, id, code)) {
        ShowEdit(dlg);
        return true;
    }
    return false;
}

void EditScroll(HWND dlg, HWND control, int) {
    for (const SliderControl& s : kEditSliders)
        if (GetDlgItem(dlg, s.bar) == control) TakeSlider(dlg, s);
}

void EditDestroy(HWND dlg) {
    EditStates().erase(dlg);
}

const PageDef kEditDialog = [] {
    PageDef d{kPageCopyProtectEdit, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = EditInit;
    d.command = EditCommand;
    d.scroll = EditScroll;
    d.destroy = EditDestroy;
    return d;
}();

// ---- Copy guard (214) -------------------------------------------------------

constexpr SliderControl kGuardSlider{kGuardLight, kGuardDensity, kGuardDark, st::Slider::GuardDensity};

struct GuardState {
    std::vector<st::GuardText> texts;
};
std::map<HWND, GuardState>& GuardStates() {
    static std::map<HWND, GuardState> states;
    return states;
}

void ShowGuard(HWND dlg) {
    ShowPageItems(dlg, kGuardTextPage);
    ShowPageItems(dlg, kPageCopyGuardEdit);
    const OEMDEV* r = PageRecord(dlg);
    auto it = GuardStates().find(dlg);
    if (!r || it == GuardStates().end()) return;
    HWND list = GetDlgItem(dlg, kGuardTextList);
    const int32_t value = st::GuardTextValue(*r);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (size_t i = 0; i < it->second.texts.size(); ++i)
        if (it->second.texts[i].value == value) SendMessageW(list, CB_SETCURSEL, i, 0);
    ShowSlider(dlg, kGuardSlider);
    Enable(dlg, kGuardTextList, settings::GetNumber(*r, "bStamp") != 0);
}

INT_PTR GuardInit(HWND dlg, LPARAM) {
    GuardState& s = GuardStates()[dlg];
    s.texts = st::GuardTexts();
    PrepareItems(dlg, kGuardTextPage, {kGuardText, kGuardNumber});
    PrepareItems(dlg, kPageCopyGuardEdit, {kGuardAngle, kGuardColor, kGuardPlacement, kGuardEffect});
    HWND list = GetDlgItem(dlg, kGuardTextList);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const st::GuardText& t : s.texts) {
        const WString label = st::GuardTextLabel(t);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    if (s.texts.empty()) SwitchOffControl(dlg, kGuardTextPage, kGuardTextList);
    PrepareSlider(dlg, kPageCopyGuardEdit, kGuardSlider);
    ShowGuard(dlg);
    return TRUE;
}

// A text chosen from the list: the fixed or registered text it stands for,
// through the check for the list; a refusal puts the record's text back.
void OnGuardText(HWND dlg) {
    OEMDEV* r = PageRecord(dlg);
    auto it = GuardStates().find(dlg);
    const LRESULT sel = SendMessageW(GetDlgItem(dlg, kGuardTextList), CB_GETCURSEL, 0, 0);
    if (!r || it == GuardStates().end() || sel < 0 || static_cast<size_t>(sel) >= it->second.texts.size()) return;
    const OEMDEV before = *r;
    if (!st::SetGuardTextValue(*r, it->second.texts[static_cast<size_t>(sel)].value)) return;
    if (CheckRestores(CheckConstraints(dlg, kGuardTextList))) {
        *r = before;
        return;
    }
    if (std::memcmp(&before, r, sizeof before) != 0) SetPageChanged(dlg);
}

bool GuardCommand(HWND dlg, int id, UINT code) {
    switch (id) {
    case IDOK: EndDialog(dlg, IDOK); return true;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); return true;
    default: break;
    }
    if (!PageRecord(dlg) || PageInitializing()) return false;
    if (id == kGuardTextList) {
        if (code == CBN_SELENDOK) OnGuardText(dlg);
        ShowGuard(dlg);
        return true;
    }
    if (ItemCommand(dlg, kGuardTextPage, id, code) || ItemCommand(dlg, kPageCopyGuardEdit, id, code)) {
        ShowGuard(dlg);
        return true;
    }
    return false;
}

void GuardScroll(HWND dlg, HWND control, int) {
    if (GetDlgItem(dlg, kGuardSlider.bar) == control) TakeSlider(dlg, kGuardSlider);
}

void GuardDestroy(HWND dlg) {
    GuardStates().erase(dlg);
}

const PageDef kGuardDialog = [] {
    PageDef d{kPageCopyGuardEdit, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = GuardInit;
    d.command = GuardCommand;
    d.scroll = GuardScroll;
    d.destroy = GuardDestroy;
    return d;
}();

}  // namespace

INT_PTR CALLBACK CopyProtectEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kEditDialog, hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK CopyGuardEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kGuardDialog, hwnd, msg, wParam, lParam);
}

bool CopyProtectDialogBuilt(st::CopyProtectDialog which) {
    return which == st::CopyProtectDialog::Edit || which == st::CopyProtectDialog::GuardEdit;
}

INT_PTR RunCopyProtectDialog(HWND owner, st::CopyProtectDialog which) {
    const LPARAM context = reinterpret_cast<LPARAM>(PageContext(owner));
    const HINSTANCE resources = frame::Module().dialogResources;
    switch (which) {
    case st::CopyProtectDialog::Edit:
        return RunModuleDialog(resources, owner, kPageCopyProtectEdit, CopyProtectEditDialogProc, context);
    case st::CopyProtectDialog::GuardEdit:
        return RunModuleDialog(resources, owner, kPageCopyGuardEdit, CopyGuardEditDialogProc, context);
    default:
        return 0;
    }
}

}  // namespace nvx::pages
