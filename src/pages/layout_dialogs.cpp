// The Layout tab's dialogs, and the Finishing tab's perfect binding dialog that
// works the same way.  Each is a modal dialog of the page skeleton: its
// check boxes, radio rows and drop-downs follow the change pattern on the
// dialog's own items; its length boxes are read when the user presses OK
// (measure.h: the unit the dialog shows, a point or a comma, the range refused
// with the dialog's message).  The page that opens a dialog keeps a copy of the
// settings record and puts it back whole when the dialog is not left with OK, so
// that Cancel, Escape or closing the window leave the record byte for byte as it
// was, whatever the dialog's checks changed meanwhile.
#include "pages/layout_dialogs.h"

#include <cstring>
#include <iterator>
#include <map>
#include <vector>

#include "common/text.h"
#include "constraints/engine.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/switch_ids.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "model/numeric_ranges.h"
#include "pages/measure.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_identity.h"
#include "pages/page_items.h"
#include "pages/page_skeleton.h"
#include "pages/safe_format.h"
#include "settings/oemdev.h"

namespace nvx::pages {

namespace {

using model::RangeId;

enum : uint32_t {
    kDlgNupStyle = 116,
    kDlgBindShift = 117,
    kDlgBooklet = 134,
    kDlgPrintPosition = 163,
    kDlgImageShift = 182,
    kDlgPerfectBinding = 2308,
    kDlgTabImageShift = 2322,
};

// Message slots: caption, "out of range" text, then the field's range text.
constexpr unsigned kSlotCaption = 1;
constexpr unsigned kSlotOutOfRange = 2;
constexpr unsigned kSlotBindingRange = 16;
constexpr unsigned kSlotImageShiftRange = 17;
constexpr unsigned kSlotSpineRange = 20;
constexpr unsigned kSlotTabShiftRange = 21;

// A length box of a dialog.
struct LengthBox {
    int control;
    int rangeLabel;         // the static that shows the range (its template text is the format), 0 none
    const char* field;      // the metric field
    const char* inchField;  // its 0.01-inch mirror, or null
    RangeId range;
    measure::Scale scale;
    unsigned messageSlot;
};

struct DialogDef {
    uint32_t id;
    const char* unitField;  // the dialog's unit (0 mm, 1 inch), null: millimetres
    const LengthBox* boxes;
    size_t boxCount;
    void (*states)(HWND dialog);  // the dialog's own enable states, or null
};

const LengthBox kBindingBoxes[] = {
    {1362, 1364, "nBindingUp", "nBindingUp_Inch", RangeId::BindShift_Front, {0}, kSlotBindingRange},
    {1365, 1367, "nBindingDown", "nBindingDown_Inch", RangeId::BindShift_Back, {0}, kSlotBindingRange},
};

const LengthBox kImageShiftBoxes[] = {
    {1258, 1259, "ImgShiftFronSide.nX", "ImgShiftFronSide.nX_Inch", RangeId::ImgShiftMFP_FrontH, {1},
     kSlotImageShiftRange},
    {1269, 1270, "ImgShiftFronSide.nY", "ImgShiftFronSide.nY_Inch", RangeId::ImgShiftMFP_FrontV, {1},
     kSlotImageShiftRange},
    {1265, 1266, "ImgShiftBackSide.nX", "ImgShiftBackSide.nX_Inch", RangeId::ImgShiftMFP_BackH, {1},
     kSlotImageShiftRange},
    {1363, 1364, "ImgShiftBackSide.nY", "ImgShiftBackSide.nY_Inch", RangeId::ImgShiftMFP_BackV, {1},
     kSlotImageShiftRange},
    {1366, 1367, "nFrontImgShiftGap", nullptr, RangeId::ImgShiftMFP_FrontI, {1}, kSlotImageShiftRange},
    {1368, 1372, "nFrontImgShiftOutOfs", nullptr, RangeId::ImgShiftMFP_FrontO, {1}, kSlotImageShiftRange},
    {1369, 1373, "nBackImgShiftGap", nullptr, RangeId::ImgShiftMFP_BackI, {1}, kSlotImageShiftRange},
    {1371, 1374, "nBackImgShiftOutOfs", nullptr, RangeId::ImgShiftMFP_BackO, {1}, kSlotImageShiftRange},
};

const LengthBox kPerfectBindingBoxes[] = {
    {2319, 2320, "nSpinWidth_mm", nullptr, RangeId::PBSpinWidth, {0}, kSlotSpineRange},
};

// The tab-paper image shift: how far the image moves onto the tab, in 0.1 mm.
const LengthBox kTabShiftBoxes[] = {
    {2325, 2326, "nTABWidth_mm", nullptr, RangeId::TABImageShiftValue, {1}, kSlotTabShiftRange},
};

// Set while a dialog writes its own controls.
int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

// The template text of each range label (the format its range is shown with).
std::map<HWND, WString> g_rangeFormats;

uint32_t DialogId(HWND dialog);
const DialogDef* DefOf(uint32_t id);

int32_t Field(HWND dialog, const char* name) {
    const OEMDEV* r = PageRecord(dialog);
    return r ? settings::GetNumber(*r, name) : 0;
}

bool ModelSwitchOn(features::SwitchId id) {
    const auto* model = model::Loaded().tables.record;
    return model && model->switches.On(id);
}

measure::Unit UnitOf(HWND dialog, const DialogDef& def) {
    return def.unitField && Field(dialog, def.unitField) == 1 ? measure::Unit::Inch : measure::Unit::Mm;
}

void RangeOf(const LengthBox& b, int32_t* lo, int32_t* hi) {
    const model::NumericRange& r = model::Loaded().tables.ranges[b.range];
    *lo = r.first;
    *hi = r.second;
}

bool BoxUsable(HWND dialog, int control) {
    HWND c = GetDlgItem(dialog, control);
    return c && !constraints::ControlSwitchedOff(c) && IsWindowEnabled(c);
}

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

// The box's stored value in the unit shown: the inch mirror when the unit is inch
// and the box has one (so a typed inch value shows again as typed).
int32_t StoredInUnit(HWND dialog, const LengthBox& b, measure::Unit u) {
    const int32_t base = Field(dialog, b.field);
    if (u == measure::Unit::Mm) return base;
    if (b.inchField) {
        const int32_t inch = Field(dialog, b.inchField);
        if (measure::HundredthsInchToBase(inch, b.scale) == base) return inch;
    }
    return measure::BaseToHundredthsInch(base, b.scale);
}

void ShowBoxes(HWND dialog, const DialogDef& def) {
    Updating updating;
    const measure::Unit u = UnitOf(dialog, def);
    for (size_t i = 0; i < def.boxCount; ++i) {
        const LengthBox& b = def.boxes[i];
        if (HWND c = GetDlgItem(dialog, b.control))
            SetWindowTextW(c, measure::ShowInUnit(StoredInUnit(dialog, b, u), b.scale, u).c_str());
        if (!b.rangeLabel) continue;
        auto it = g_rangeFormats.find(GetDlgItem(dialog, b.rangeLabel));
        if (it == g_rangeFormats.end()) continue;
        int32_t lo, hi, ulo, uhi;
        RangeOf(b, &lo, &hi);
        measure::RangeInUnit(lo, hi, b.scale, u, &ulo, &uhi);
        SetDlgItemTextW(dialog, b.rangeLabel,
                        FormatTexts(it->second, measure::ShowInUnit(ulo, b.scale, u),
                                    measure::ShowInUnit(uhi, b.scale, u))
                            .c_str());
    }
}

void ShowDialog(HWND dialog, const DialogDef& def) {
    {
        Updating updating;
        ShowPageItems(dialog, def.id);
    }
    ShowBoxes(dialog, def);
    if (def.states) def.states(dialog);
    KeepControlsOff(dialog);
}

// Reads one box.  False (with the message shown and the focus in the box) when its
// text is not a number of its range.  *base is the value to store.
bool ReadBox(HWND dialog, const DialogDef& def, const LengthBox& b, bool quiet, int32_t* inUnit, int32_t* base) {
    const measure::Unit u = UnitOf(dialog, def);
    HWND box = GetDlgItem(dialog, b.control);
    WCHAR text[64] = {};
    GetWindowTextW(box, text, 64);
    int32_t lo, hi;
    RangeOf(b, &lo, &hi);
    if (measure::Read(text, b.scale, u, lo, hi, inUnit, base) == measure::Parse::Ok) return true;
    if (quiet) return false;
    int32_t ulo, uhi;
    measure::RangeInUnit(lo, hi, b.scale, u, &ulo, &uhi);
    const WString body = Slot(kSlotOutOfRange) + FormatTexts(Slot(b.messageSlot), measure::ShowInUnit(ulo, b.scale, u),
                                                             measure::ShowInUnit(uhi, b.scale, u));
    MessageBoxW(dialog, body.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    return false;
}

void StoreBox(HWND dialog, const DialogDef& def, const LengthBox& b, int32_t inUnit, int32_t base) {
    OEMDEV* r = PageRecord(dialog);
    if (!r) return;
    settings::SetNumber(*r, b.field, base);
    if (b.inchField)
        settings::SetNumber(*r, b.inchField,
                            UnitOf(dialog, def) == measure::Unit::Inch ? inUnit
                                                                        : measure::BaseToHundredthsInch(base, b.scale));
}

// ---- Per-dialog states ----

void BindShiftStates(HWND dialog) {
    // The same margin on both sides: the back box shows the front's and waits.
    const bool same = Field(dialog, "bBindingSame") != 0;
    if (HWND back = GetDlgItem(dialog, 1365); back && !constraints::ControlSwitchedOff(back)) EnableWindow(back, !same);
}

void ImageShiftStates(HWND dialog) {
    // Set on the device: the driver's amounts and directions wait.  The back side
    // follows the front automatically: its own controls wait.
    const bool driver = Field(dialog, "nImgShiftSetting") == 0;
    const bool backAuto = Field(dialog, "bImgShiftBackAuto") != 0;
    static const int kFront[] = {1246, 1247, 1248, 1249, 1258, 1269, 1366, 1368, 1607, 1240, 1241};
    static const int kBack[] = {1250, 1251, 1252, 1253, 1265, 1363, 1369, 1371};
    for (int id : kFront)
        if (HWND c = GetDlgItem(dialog, id); c && !constraints::ControlSwitchedOff(c)) EnableWindow(c, driver);
    for (int id : kBack)
        if (HWND c = GetDlgItem(dialog, id); c && !constraints::ControlSwitchedOff(c)) EnableWindow(c, driver && !backAuto);
}

const DialogDef kDialogs[] = {
    {kDlgNupStyle, nullptr, nullptr, 0, nullptr},
    {kDlgBooklet, nullptr, nullptr, 0, nullptr},
    {kDlgBindShift, "byBindingUnit", kBindingBoxes, std::size(kBindingBoxes), BindShiftStates},
    {kDlgImageShift, "byImageShiftUnit", kImageShiftBoxes, std::size(kImageShiftBoxes), ImageShiftStates},
    {kDlgPrintPosition, nullptr, nullptr, 0, nullptr},
    {kDlgPerfectBinding, nullptr, kPerfectBindingBoxes, std::size(kPerfectBindingBoxes), nullptr},
    {kDlgTabImageShift, nullptr, kTabShiftBoxes, std::size(kTabShiftBoxes), nullptr},
};

const DialogDef* DefOf(uint32_t id) {
    for (const DialogDef& d : kDialogs)
        if (d.id == id) return &d;
    return nullptr;
}

// ---- Messages ----

// The page order list offers the orders the model names (those with a text of the
// model's), when it names any.
void KeepNamedOrders(HWND dialog) {
    const features::UiItem* item = PageItem(kDlgNupStyle, 1405);
    HWND combo = GetDlgItem(dialog, 1405);
    if (!item || !combo) return;
    std::vector<int32_t> unnamed;
    bool anyNamed = false;
    for (size_t k = 0; k < features::ListCount(item->options); ++k) {
        const uint8_t* rec = features::RecordAt(item->options, k);
        if (features::DisplayName(rec).empty())
            unnamed.push_back(features::Value(rec));
        else
            anyNamed = true;
    }
    if (!anyNamed) return;
    for (LRESULT i = SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
        const auto v = static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        for (int32_t u : unnamed)
            if (u == v) SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    }
}

void ApplyAvailability(HWND dialog, const DialogDef& def) {
    if (const auto* table = features::ModuleItems())
        for (size_t i = 0; i < table->count; ++i) {
            const features::UiItem& item = table->rows[i];
            if (!item.OnDialog(def.id) || item.type == features::kUiButton) continue;
            if (!GetDlgItem(dialog, static_cast<int>(item.control))) continue;
            // The length boxes are the dialog's own (their fields are kept here, not
            // through the item table).
            bool box = false;
            for (size_t k = 0; k < def.boxCount; ++k) box |= def.boxes[k].control == static_cast<int>(item.control);
            if (box) continue;
            if (!ItemOffered(&item) || !item.state.field) SwitchOffControl(dialog, def.id, item.control);
        }
    if (def.id == kDlgImageShift) {
        // The device-side setup only where the model lets the user choose it; the
        // outer and back inner amounts only where the model has them.
        if (!ModelSwitchOn(features::kSw_ImageShift_SwitchSetup)) {
            SwitchOffControl(dialog, def.id, 1244);
            SwitchOffControl(dialog, def.id, 1245);
        }
        const struct {
            features::SwitchId sw;
            int box, label;
        } kOptional[] = {{features::kSw_ImgShiftMFP_FrontO, 1368, 1372},
                         {features::kSw_ImgShiftMFP_BackI, 1369, 1373},
                         {features::kSw_ImgShiftMFP_BackO, 1371, 1374}};
        for (const auto& o : kOptional)
            if (!ModelSwitchOn(o.sw)) {
                SwitchOffControl(dialog, def.id, static_cast<uint32_t>(o.box));
                SwitchOffControl(dialog, def.id, static_cast<uint32_t>(o.label));
            }
    }
}

INT_PTR OnInit(HWND dialog, LPARAM) {
    const DialogDef* def = DefOf(DialogId(dialog));
    if (!def) return TRUE;
    for (size_t i = 0; i < def->boxCount; ++i) {
        const LengthBox& b = def->boxes[i];
        SendMessageW(GetDlgItem(dialog, b.control), EM_LIMITTEXT, 9, 0);
        if (HWND label = b.rangeLabel ? GetDlgItem(dialog, b.rangeLabel) : nullptr) {
            WCHAR format[64] = {};
            GetWindowTextW(label, format, 64);
            g_rangeFormats[label] = format;
        }
    }
    if (def->id == kDlgNupStyle) KeepNamedOrders(dialog);
    ApplyAvailability(dialog, *def);
    ShowDialog(dialog, *def);
    return TRUE;
}

// A unit change: what the boxes hold is read in the old unit first (a text that
// does not read stays for the user to correct), then every box is shown again.
void OnUnit(HWND dialog, const DialogDef& def, int control) {
    if (SendMessageW(GetDlgItem(dialog, control), BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    for (size_t i = 0; i < def.boxCount; ++i) {
        const LengthBox& b = def.boxes[i];
        int32_t inUnit, base;
        if (BoxUsable(dialog, b.control) && ReadBox(dialog, def, b, true, &inUnit, &base))
            StoreBox(dialog, def, b, inUnit, base);
    }
    const features::UiItem* item = PageItem(def.id, static_cast<uint32_t>(control));
    if (item) ChangeItem(dialog, def.id, static_cast<uint32_t>(control), RadioValue(*item));
    ShowDialog(dialog, def);
}

bool OnOk(HWND dialog, const DialogDef& def) {
    OEMDEV* r = PageRecord(dialog);
    if (!r) return true;
    for (size_t i = 0; i < def.boxCount; ++i) {
        const LengthBox& b = def.boxes[i];
        if (!BoxUsable(dialog, b.control)) continue;
        int32_t inUnit, base;
        if (!ReadBox(dialog, def, b, false, &inUnit, &base)) return false;
        const int32_t old = settings::GetNumber(*r, b.field);
        const int32_t oldInch = b.inchField ? settings::GetNumber(*r, b.inchField) : 0;
        StoreBox(dialog, def, b, inUnit, base);
        if (base == old) continue;
        // A rule may refuse the number: the old one comes back and the dialog stays.
        if (CheckRestores(CheckConstraints(dialog, static_cast<uint32_t>(b.control)))) {
            settings::SetNumber(*r, b.field, old);
            if (b.inchField) settings::SetNumber(*r, b.inchField, oldInch);
            ShowDialog(dialog, def);
            SetFocus(GetDlgItem(dialog, b.control));
            return false;
        }
    }
    if (def.id == kDlgBindShift && settings::GetNumber(*r, "bBindingSame") != 0) {
        settings::SetNumber(*r, "nBindingDown", settings::GetNumber(*r, "nBindingUp"));
        settings::SetNumber(*r, "nBindingDown_Inch", settings::GetNumber(*r, "nBindingUp_Inch"));
    }
    return true;
}

bool OnCommand(HWND dialog, int id, UINT code) {
    const DialogDef* def = DefOf(DialogId(dialog));
    if (!def || !PageRecord(dialog)) {
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
        return id == IDOK || id == IDCANCEL;
    }
    if (id == IDOK) {
        if (OnOk(dialog, *def)) EndDialog(dialog, IDOK);
        return true;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return true;
    }
    const features::UiItem* item = PageItem(def->id, static_cast<uint32_t>(id));
    if (!item || g_updating) return false;
    if ((id == 1240 || id == 1241) && def->unitField && code == BN_CLICKED) {
        OnUnit(dialog, *def, id);
        return true;
    }
    switch (item->type) {
    case features::kUiCheck:
        if (code != BN_CLICKED) return true;
        ChangeItem(dialog, def->id, static_cast<uint32_t>(id),
                   SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        break;
    case features::kUiRadio:
        if (code != BN_CLICKED || SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) != BST_CHECKED) return true;
        ChangeItem(dialog, def->id, static_cast<uint32_t>(id), RadioValue(*item));
        break;
    case features::kUiDropDown: {
        if (code != CBN_SELENDOK) return true;
        HWND combo = GetDlgItem(dialog, id);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (sel < 0) return true;
        ChangeItem(dialog, def->id, static_cast<uint32_t>(id),
                   static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0)));
        break;
    }
    default:
        return false;
    }
    // The boxes keep what the user typed; the other controls show the record.
    {
        Updating updating;
        ShowPageItems(dialog, def->id);
    }
    if (def->states) def->states(dialog);
    KeepControlsOff(dialog);
    return true;
}

void OnDestroy(HWND dialog) {
    for (auto it = g_rangeFormats.begin(); it != g_rangeFormats.end();)
        it = GetParent(it->first) == dialog ? g_rangeFormats.erase(it) : std::next(it);
}

PageDef MakeDef(uint32_t id) {
    PageDef d{id, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnInit;
    d.command = OnCommand;
    d.destroy = OnDestroy;
    return d;
}

const PageDef kNupStyleDef = MakeDef(kDlgNupStyle);
const PageDef kBookletDef = MakeDef(kDlgBooklet);
const PageDef kBindShiftDef = MakeDef(kDlgBindShift);
const PageDef kImageShiftDef = MakeDef(kDlgImageShift);
const PageDef kPrintPositionDef = MakeDef(kDlgPrintPosition);
const PageDef kPerfectBindingDef = MakeDef(kDlgPerfectBinding);
const PageDef kTabImageShiftDef = MakeDef(kDlgTabImageShift);

INT_PTR CALLBACK NupStyleProc(HWND h, UINT m, WPARAM w, LPARAM l) { return RunPage(kNupStyleDef, h, m, w, l); }
INT_PTR CALLBACK BookletProc(HWND h, UINT m, WPARAM w, LPARAM l) { return RunPage(kBookletDef, h, m, w, l); }
INT_PTR CALLBACK BindShiftProc(HWND h, UINT m, WPARAM w, LPARAM l) { return RunPage(kBindShiftDef, h, m, w, l); }
INT_PTR CALLBACK ImageShiftProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    // The multifunction image shift dialog answers only in the builds that have it.
    if (frame::AskVariant("_DLG_IMGSHIFT_TYPE3") == 0 && frame::AskVariant("_DLG_IMGSHIFT_TYPE2") == 0) {
        if (m == WM_INITDIALOG) EndDialog(h, IDCANCEL);
        return m == WM_INITDIALOG ? TRUE : FALSE;
    }
    return RunPage(kImageShiftDef, h, m, w, l);
}
INT_PTR CALLBACK PrintPositionProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return RunPage(kPrintPositionDef, h, m, w, l);
}
INT_PTR CALLBACK PerfectBindingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return RunPage(kPerfectBindingDef, h, m, w, l);
}
INT_PTR CALLBACK TabImageShiftProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return RunPage(kTabImageShiftDef, h, m, w, l);
}

uint32_t DialogId(HWND dialog) {
    return PageIdOf(dialog);  // recorded by the skeleton at WM_INITDIALOG
}

struct ButtonDialog {
    int button;
    uint32_t templateId;
    DLGPROC proc;
    int probe;  // a control of the dialog whose item must offer something, 0: none
};

// The image shift dialog of this build: the multifunction one (template 182).  The
// printer-only dialog (the first variant) is not carried.
const ButtonDialog kButtonDialogs[] = {
    {1124, kDlgNupStyle, NupStyleProc, 0},
    {1128, kDlgBooklet, BookletProc, 1590},
    {1052, kDlgBindShift, BindShiftProc, 0},
    {1212, kDlgImageShift, ImageShiftProc, 0},
    {1204, kDlgPrintPosition, PrintPositionProc, 0},
    {2305, kDlgPerfectBinding, PerfectBindingProc, 0},
    {2307, kDlgTabImageShift, TabImageShiftProc, 0},
};

const ButtonDialog* ButtonOf(int button) {
    for (const ButtonDialog& b : kButtonDialogs)
        if (b.button == button) return &b;
    return nullptr;
}

}  // namespace

bool LayoutDialogAvailable(int button) {
    const ButtonDialog* b = ButtonOf(button);
    if (!b) return false;
    if (button == 1212 && (frame::AskVariant("_DLG_IMGSHIFT_DISABLE") != 0 || frame::AskVariant("_DLG_IMGSHIFT_TYPE1") != 0 ||
                           (frame::AskVariant("_DLG_IMGSHIFT_TYPE3") == 0 && frame::AskVariant("_DLG_IMGSHIFT_TYPE2") == 0)))
        return false;
    // A dialog whose only setting offers no options would show nothing to choose.
    if (b->probe) {
        const features::UiItem* item = PageItem(b->templateId, static_cast<uint32_t>(b->probe));
        if (!ItemOffered(item) || !item->state.field) return false;
    }
    return FindResourceW(frame::Module().dialogResources, MAKEINTRESOURCEW(b->templateId),
                         reinterpret_cast<LPCWSTR>(RT_DIALOG)) != nullptr;
}

LayoutDialogResult RunLayoutDialog(HWND page, int button) {
    const ButtonDialog* b = ButtonOf(button);
    OEMDEV* record = PageRecord(page);
    if (!b || !record || !LayoutDialogAvailable(button)) return LayoutDialogResult::NotShown;
    OEMDEV before;
    std::memcpy(&before, record, sizeof before);
    const INT_PTR answer = RunModuleDialog(frame::Module().dialogResources, page, b->templateId, b->proc,
                                           reinterpret_cast<LPARAM>(PageContext(page)));
    if (answer == IDOK) return LayoutDialogResult::Ok;
    std::memcpy(record, &before, sizeof before);
    return answer < 0 ? LayoutDialogResult::NotShown : LayoutDialogResult::Cancel;
}

}  // namespace nvx::pages
