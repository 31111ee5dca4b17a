// The watermark dialog (111), opened by the Stamp/Composition tab's Edit button:
// every watermark of the sheet in display order, the chosen one's fields, Up,
// Down, Add and Delete, and a picture of where the text lands on the page.  OK
// checks the name and the values, lowers nothing silently (the fit check names
// the largest size that fits and keeps the dialog open), runs the check of the
// list, chooses the selected watermark for the settings and gives the sheet the
// edited lists.  Field limits, the fit check and the picture's geometry are in
// stamps/watermark_fit.h.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "common/text.h"
#include "frame/module_state.h"
#include "pages/page_framework.h"
#include "pages/page_items.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/quality_logic.h"
#include "pages/text_limits.h"
#include "presets/printer_presets.h"
#include "stamps/watermark_fit.h"
#include "stamps/watermark_sheet.h"

namespace nvx::pages {

namespace {

namespace st = stamps;

constexpr uint32_t kPage = kPageWatermark;

enum : int {
    kList = 1681,
    kUp = 1679,
    kDown = 1680,
    kAdd = 1602,
    kDelete = 1684,
    kName = 1677,
    kText = 1678,
    kFont = 1350,
    kStyle = 1352,
    kColor = 1351,
    kSize = 1689,
    kBox = 1692,
    kPosX = 1443,
    kPosY = 1447,
    kCenter = 1342,
    kAngle = 1344,
    kTransparent = 1056,
    kFirstPage = 1054,
    kRepeat = 1234,
    kShared = 1581,
    kPreview = 1694,
};

// Message texts of NOVRIX_S.DLL.
enum : UINT {
    kStrCaption = 7,
    kStrDeleteCaption = 9,
    kStrFit = 251,
    kStrName = 252,
    kStrSize = 253,
    kStrAngle = 254,
    kStrPosition = 255,
    kStrNameInUse = 257,
    kStrDeleteNote = 320,
    kStrDelete = 321,
};

struct DialogState {
    std::vector<st::EditItem> items;
    long selected = -1;
    bool mayShare = false;  // the user may administer the printer and the sheet may apply
    std::vector<WString> faces;
    std::vector<st::WatermarkRecord> opening;  // the records as the dialog found them
};

// Whether an item was made or changed in this dialog (an untouched watermark is
// not measured again: picking one must never be stopped by the fit check).
bool Edited(const DialogState& s, const st::EditItem& item) {
    for (const st::WatermarkRecord& r : s.opening)
        if (std::memcmp(&r, &item.record, sizeof r) == 0) return false;
    return true;
}
std::map<HWND, DialogState>& States() {
    static std::map<HWND, DialogState> states;
    return states;
}
DialogState* State(HWND dlg) {
    auto it = States().find(dlg);
    return it == States().end() ? nullptr : &it->second;
}

int g_showing = 0;
struct Showing {
    Showing() { ++g_showing; }
    ~Showing() { --g_showing; }
};

WString Resource(UINT id) {
    WCHAR text[512] = {};
    LoadStringW(frame::Module().dialogResources, id, text, 512);
    return text;
}

void Say(HWND dlg, UINT caption, const WString& text, UINT flags = MB_OK | MB_ICONWARNING) {
    MessageBoxW(dlg, text.c_str(), Resource(caption).c_str(), flags);
}

WString ControlText(HWND dlg, int id) {
    HWND c = GetDlgItem(dlg, id);
    const int n = c ? GetWindowTextLengthW(c) : 0;
    WString text(static_cast<size_t>(n) + 1, 0);
    if (n > 0) GetWindowTextW(c, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

// A typed number: digits with an optional leading minus; false for anything else.
bool ReadNumber(HWND dlg, int id, int32_t* out) {
    const WString text = ControlText(dlg, id);
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i >= text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == ' ') break;
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > 100000) return false;
    }
    for (; i < text.size(); ++i)
        if (text[i] != ' ') return false;
    *out = static_cast<int32_t>(negative ? -v : v);
    return true;
}

void SetNumber(HWND dlg, int id, int32_t v) {
    WCHAR text[16];
    WFormat(text, 16, WL("%d"), v);
    SetDlgItemTextW(dlg, id, text);
}

void SelectByData(HWND combo, int64_t value) {
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (LRESULT i = 0; i < n; ++i)
        if (static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == value) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
}

// The chosen item data of a combo, or `fallback` when nothing is chosen.
int32_t SelectedData(HWND dlg, int id, int32_t fallback) {
    HWND combo = GetDlgItem(dlg, id);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return fallback;
    return static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
}

bool Checked(HWND dlg, int id) {
    return SendMessageW(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int32_t SettingsDpi(HWND dlg) {
    const OEMDEV* r = PageRecord(dlg);
    return r ? settings::GetNumber(*r, "nResoH") : 600;
}

st::PrintArea Area(HWND dlg) {
    const OEMDEV* r = PageRecord(dlg);
    return r ? st::PrintableArea(*r) : st::PrintArea{2100 - 86, 2970 - 86};
}

void FillList(HWND dlg) {
    DialogState* s = State(dlg);
    HWND list = GetDlgItem(dlg, kList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const st::EditItem& item : s->items) {
        const WString title = st::FieldText(item.record.szWmkTitle, sizeof item.record.szWmkTitle);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(s->selected), 0);
}

void RedrawPreview(HWND dlg) {
    InvalidateRect(dlg, nullptr, TRUE);
}

void UpdateButtons(HWND dlg) {
    const DialogState* s = State(dlg);
    const bool any = s->selected >= 0;
    const bool editable = any && (!s->items[static_cast<size_t>(s->selected)].shared || s->mayShare);
    EnableWindow(GetDlgItem(dlg, kUp), any && s->selected > 0);
    EnableWindow(GetDlgItem(dlg, kDown), any && static_cast<size_t>(s->selected) + 1 < s->items.size());
    EnableWindow(GetDlgItem(dlg, kDelete), editable);
    for (int id : {kName, kText, kFont, kStyle, kColor, kSize, kBox, kPosX, kPosY, kCenter, kAngle, kTransparent,
                   kFirstPage, kRepeat})
        EnableWindow(GetDlgItem(dlg, id), editable);
    // A watermark becomes shared or private only when the user may write the shared list.
    EnableWindow(GetDlgItem(dlg, kShared), editable && s->mayShare);
    KeepControlsOff(dlg);
}

// Shows the selected item's fields.
void ShowItem(HWND dlg) {
    Showing showing;
    DialogState* s = State(dlg);
    st::WatermarkFields f;
    if (s->selected >= 0) f = st::FieldsOf(s->items[static_cast<size_t>(s->selected)].record);
    SetDlgItemTextW(dlg, kName, f.title.c_str());
    SetDlgItemTextW(dlg, kText, f.text.c_str());
    SelectByData(GetDlgItem(dlg, kStyle), f.style);
    SelectByData(GetDlgItem(dlg, kColor), static_cast<int32_t>(f.color));
    SelectByData(GetDlgItem(dlg, kBox), f.frame);
    HWND font = GetDlgItem(dlg, kFont);
    SendMessageW(font, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (size_t i = 0; i < s->faces.size(); ++i)
        if (WEqualNoCase(s->faces[i], f.face)) SendMessageW(font, CB_SETCURSEL, i, 0);
    SetNumber(dlg, kSize, f.size);
    SetNumber(dlg, kAngle, f.angle);
    SetNumber(dlg, kPosX, f.x);
    SetNumber(dlg, kPosY, f.y);
    CheckDlgButton(dlg, kTransparent, f.transparent ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, kFirstPage, f.firstPage ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, kRepeat, f.repeat ? BST_CHECKED : BST_UNCHECKED);
    const bool shared = s->selected >= 0 && s->items[static_cast<size_t>(s->selected)].shared;
    CheckDlgButton(dlg, kShared, shared ? BST_CHECKED : BST_UNCHECKED);
    UpdateButtons(dlg);
    RedrawPreview(dlg);
}

// Reads the controls into the selected item.  A value that is not acceptable is
// answered with its message (unless `quiet`: a box merely left keeps its text
// until a button asks), the focus goes to its field, the item keeps what it had,
// and the answer is false.  An item the user may not change is left alone.
bool g_committing = false;

bool Commit(HWND dlg, bool checkName, bool quiet = false) {
    DialogState* s = State(dlg);
    if (s->selected < 0) return true;
    // A message box below takes the focus from the box being read: the focus change
    // it causes is not a second reading.
    if (g_committing) return false;
    struct Guard {
        Guard() { g_committing = true; }
        ~Guard() { g_committing = false; }
    } guard;
    st::EditItem& item = s->items[static_cast<size_t>(s->selected)];
    if (item.shared && !s->mayShare) return true;
    st::WatermarkFields f = st::FieldsOf(item.record);
    f.title = ControlText(dlg, kName);
    f.text = ControlText(dlg, kText);
    const LRESULT font = SendMessageW(GetDlgItem(dlg, kFont), CB_GETCURSEL, 0, 0);
    if (font >= 0 && static_cast<size_t>(font) < s->faces.size()) f.face = s->faces[static_cast<size_t>(font)];
    f.style = SelectedData(dlg, kStyle, f.style);
    f.color = static_cast<uint32_t>(SelectedData(dlg, kColor, static_cast<int32_t>(f.color)));
    f.frame = SelectedData(dlg, kBox, f.frame);
    f.transparent = Checked(dlg, kTransparent);
    f.firstPage = Checked(dlg, kFirstPage);
    f.repeat = Checked(dlg, kRepeat);
    struct NumberBox {
        int id;
        int32_t* value;
        UINT message;
    };
    const NumberBox numbers[] = {{kSize, &f.size, kStrSize}, {kAngle, &f.angle, kStrAngle},
                                 {kPosX, &f.x, kStrPosition}, {kPosY, &f.y, kStrPosition}};
    for (const NumberBox& n : numbers) {
        if (!ReadNumber(dlg, n.id, n.value)) {
            if (quiet) return false;
            Say(dlg, kStrCaption, Resource(n.message));
            SetFocus(GetDlgItem(dlg, n.id));
            return false;
        }
    }
    // The name follows the text-limit rule of the dialog framework; an empty one is
    // refused only on OK (a new watermark is named after it was added).
    st::WatermarkFields probe = f;
    if (probe.title.empty() && !checkName) probe.title = WL("-");
    const st::FieldProblem problem = st::CheckFields(probe, st::kWatermarkTitleMax, s->faces);
    const bool nameFine = probe.title != f.title ||
                          TextAcceptable(FindTextRule("WM_Name"), f.title, st::kWatermarkTitleMax);
    int focus = 0;
    UINT message = 0;
    if (!nameFine || problem == st::FieldProblem::TitleEmpty || problem == st::FieldProblem::TitleTooLong) {
        if (quiet) return false;
        focus = kName;
        WCHAR text[512];
        WFormat(text, 512, Resource(kStrName).c_str(), static_cast<int>(st::kWatermarkTitleMax));
        Say(dlg, kStrCaption, text);
        SetFocus(GetDlgItem(dlg, focus));
        return false;
    }
    switch (problem) {
    case st::FieldProblem::SizeOutOfRange: focus = kSize, message = kStrSize; break;
    case st::FieldProblem::AngleOutOfRange: focus = kAngle, message = kStrAngle; break;
    case st::FieldProblem::PositionOutOfRange:
        focus = f.x < -st::kWatermarkPosMax || f.x > st::kWatermarkPosMax ? kPosX : kPosY;
        message = kStrPosition;
        break;
    default: break;  // the text and the font cannot go past their controls
    }
    if (message) {
        if (quiet) return false;
        Say(dlg, kStrCaption, Resource(message));
        SetFocus(GetDlgItem(dlg, focus));
        return false;
    }
    st::PutFields(&item.record, f);
    if (s->mayShare) item.shared = Checked(dlg, kShared);
    return true;
}

void Select(HWND dlg, long at) {
    DialogState* s = State(dlg);
    s->selected = at;
    SendMessageW(GetDlgItem(dlg, kList), LB_SETCURSEL, static_cast<WPARAM>(at), 0);
    ShowItem(dlg);
}

// ---- Buttons ----

void OnListChange(HWND dlg) {
    DialogState* s = State(dlg);
    const LRESULT sel = SendMessageW(GetDlgItem(dlg, kList), LB_GETCURSEL, 0, 0);
    if (sel < 0 || sel == s->selected) return;
    if (!Commit(dlg, false)) {
        SendMessageW(GetDlgItem(dlg, kList), LB_SETCURSEL, static_cast<WPARAM>(s->selected), 0);
        return;
    }
    FillList(dlg);
    Select(dlg, static_cast<long>(sel));
}

void OnMove(HWND dlg, int delta) {
    DialogState* s = State(dlg);
    if (s->selected < 0 || !Commit(dlg, false)) return;
    const long to = s->selected + delta;
    if (to < 0 || static_cast<size_t>(to) >= s->items.size()) return;
    std::swap(s->items[static_cast<size_t>(s->selected)], s->items[static_cast<size_t>(to)]);
    s->selected = to;
    FillList(dlg);
    Select(dlg, to);
}

void OnAdd(HWND dlg) {
    DialogState* s = State(dlg);
    if (!Commit(dlg, false)) return;
    size_t shared = 0, own = 0;
    for (const st::EditItem& item : s->items) (item.shared ? shared : own)++;
    st::EditItem item;
    item.shared = s->mayShare && shared < st::kMaxSharedWatermarks;
    item.record = st::NewWatermarkTemplate(st::DefaultWatermarkFace());
    if (s->items.size() >= st::kMaxOrderEntries || (!item.shared && own >= st::kMaxPrivateWatermarks)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    s->items.push_back(item);
    s->selected = static_cast<long>(s->items.size()) - 1;
    FillList(dlg);
    Select(dlg, s->selected);
    SetFocus(GetDlgItem(dlg, kName));
}

void OnDelete(HWND dlg) {
    DialogState* s = State(dlg);
    if (s->selected < 0) return;
    const st::EditItem& item = s->items[static_cast<size_t>(s->selected)];
    if (item.shared && !s->mayShare) return;
    const WString title = st::FieldText(item.record.szWmkTitle, sizeof item.record.szWmkTitle);
    WCHAR question[1024];
    WFormat(question, 1024, Resource(kStrDelete).c_str(), title.c_str());
    const WString text = WString(question) + Resource(kStrDeleteNote);
    if (MessageBoxW(dlg, text.c_str(), Resource(kStrDeleteCaption).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    s->items.erase(s->items.begin() + s->selected);
    if (static_cast<size_t>(s->selected) >= s->items.size()) s->selected = static_cast<long>(s->items.size()) - 1;
    FillList(dlg);
    Select(dlg, s->selected);
}

void OnCenter(HWND dlg) {
    SetNumber(dlg, kPosX, 0);
    SetNumber(dlg, kPosY, 0);
    Commit(dlg, false, true);
    RedrawPreview(dlg);
}

// OK: the fields, the names, the fit check at every resolution of the model, the
// check of the list; then the sheet's lists and the settings' watermark.
void OnOk(HWND dlg) {
    DialogState* s = State(dlg);
    OEMDEV* rec = PageRecord(dlg);
    if (!Commit(dlg, true)) return;
    if (const long dup = st::DuplicateTitle(s->items); dup >= 0) {
        if (dup != s->selected) Select(dlg, dup);
        const WString title = st::FieldText(s->items[static_cast<size_t>(dup)].record.szWmkTitle,
                                            sizeof s->items[static_cast<size_t>(dup)].record.szWmkTitle);
        WCHAR text[512];
        WFormat(text, 512, Resource(kStrNameInUse).c_str(), title.c_str());
        Say(dlg, kStrCaption, text);
        SetFocus(GetDlgItem(dlg, kName));
        return;
    }
    for (size_t i = 0; i < s->items.size(); ++i)
        if (st::FieldText(s->items[i].record.szWmkTitle, sizeof s->items[i].record.szWmkTitle).empty()) {
            Select(dlg, static_cast<long>(i));
            Commit(dlg, true);  // says why
            return;
        }
    const bool readOnly = !settings::ContextMayApply(PageContext(dlg));
    for (size_t i = 0; i < s->items.size() && !readOnly; ++i) {
        if (!Edited(*s, s->items[i])) continue;
        const st::FitResult fit = st::CheckFit(s->items[i].record, Area(dlg), st::ModelPrintResolutions(),
                                               SettingsDpi(dlg), st::MeasureWithGdi);
        if (!fit.lowered) continue;
        if (static_cast<long>(i) != s->selected) Select(dlg, static_cast<long>(i));
        WCHAR text[512];
        WFormat(text, 512, Resource(kStrFit).c_str(), fit.dpi, fit.size);
        Say(dlg, kStrCaption, text);
        SetFocus(GetDlgItem(dlg, kSize));
        return;
    }
    const st::WatermarkSet set = st::SetFromItems(s->items);
    if (rec && s->selected >= 0 && !readOnly) {
        const OEMDEV before = *rec;
        st::ChooseWatermark(*rec, set, static_cast<size_t>(s->selected));
        if (CheckRestores(CheckConstraints(dlg, kList))) *rec = before;
    }
    if (!readOnly) {
        st::SetSheetWatermarks(PageContext(dlg), set);
        if (rec) st::FollowChosenWatermark(*rec, set);
    }
    EndDialog(dlg, IDOK);
}

// ---- The picture ----

// Draws the printable area, the text turned by its angle and centred at its
// position, and its box (circle or square), into the preview frame.
void PaintPreview(HWND dlg) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    DialogState* s = State(dlg);
    HWND frame = GetDlgItem(dlg, kPreview);
    if (dc && s && frame && s->selected >= 0) {
        RECT r;
        GetWindowRect(frame, &r);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
        const st::WatermarkRecord& w = s->items[static_cast<size_t>(s->selected)].record;
        st::PreviewLayout l;
        if (st::LayoutPreview(w, Area(dlg), r, SettingsDpi(dlg), st::MeasureWithGdi, &l)) {
            const int saved = SaveDC(dc);
            FillRect(dc, &l.page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            FrameRect(dc, &l.page, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            IntersectClipRect(dc, l.page.left, l.page.top, l.page.right, l.page.bottom);
            const COLORREF colour = static_cast<int32_t>(w.crColor) == -1 ? RGB(0, 0, 0) : w.crColor & 0xFFFFFF;
            HPEN pen = CreatePen(PS_SOLID, 1, colour);
            HGDIOBJ oldPen = SelectObject(dc, pen);
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            if (w.wFrame == 3) {
                Polygon(dc, l.box, 4);
            } else if (w.wFrame == 2) {
                // The circle around the box's corners.
                const double dx = l.box[0].x - l.centre.x, dy = l.box[0].y - l.centre.y;
                const int radius = static_cast<int>(std::sqrt(dx * dx + dy * dy) + 0.5);
                Ellipse(dc, l.centre.x - radius, l.centre.y - radius, l.centre.x + radius, l.centre.y + radius);
            }
            LOGFONTW lf{};
            lf.lfHeight = -l.fontHeight;
            lf.lfEscapement = w.nAngle * 10;
            lf.lfOrientation = lf.lfEscapement;
            lf.lfWeight = w.nStyle == 3 || w.nStyle == 4 ? FW_BOLD : FW_NORMAL;
            lf.lfItalic = w.nStyle == 2 || w.nStyle == 4 ? 1 : 0;
            lf.lfCharSet = DEFAULT_CHARSET;
            lf.lfOutPrecision = OUT_TT_PRECIS;
            const WString face = st::FieldText(w.szFontName, sizeof w.szFontName);
            WCopy(lf.lfFaceName, LF_FACESIZE, face.c_str());
            HFONT font = CreateFontIndirectW(&lf);
            HGDIOBJ oldFont = SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, colour);
            SetTextAlign(dc, TA_LEFT | TA_TOP);
            const WString text = st::FieldText(w.szWmkStr, sizeof w.szWmkStr);
            TextOutW(dc, l.origin.x, l.origin.y, text.c_str(), static_cast<int>(text.size()));
            SelectObject(dc, oldFont);
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(font);
            DeleteObject(pen);
            RestoreDC(dc, saved);
        }
    }
    EndPaint(dlg, &ps);
}

// ---- Messages ----

INT_PTR OnInit(HWND dlg, LPARAM) {
    Showing showing;
    DialogState& s = States()[dlg];
    settings::PrinterUIContext* ctx = PageContext(dlg);
    st::WatermarkSet set;
    st::SheetWatermarks(ctx, &set);
    s.items = st::EditItems(set);
    for (const st::EditItem& item : s.items) s.opening.push_back(item.record);
    s.mayShare = settings::ContextMayApply(ctx) && presets::CanAdministerPrinter(settings::ContextPrinter(ctx));
    s.faces = st::WatermarkFaces(quality::PrinterFontsBesideModule(), st::DefaultWatermarkFace());
    HWND font = GetDlgItem(dlg, kFont);
    SendMessageW(font, CB_RESETCONTENT, 0, 0);
    for (const WString& face : s.faces) SendMessageW(font, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    SendMessageW(GetDlgItem(dlg, kName), EM_LIMITTEXT, st::kWatermarkTitleMax, 0);
    SendMessageW(GetDlgItem(dlg, kText), EM_LIMITTEXT, st::kWatermarkTextMax, 0);
    for (int id : {kSize, kAngle, kPosX, kPosY}) SendMessageW(GetDlgItem(dlg, id), EM_LIMITTEXT, 4, 0);
    const OEMDEV* r = PageRecord(dlg);
    long chosen = r ? settings::GetNumber(*r, "wWmkListPos") : 0;
    if (chosen < 0 || static_cast<size_t>(chosen) >= s.items.size()) chosen = s.items.empty() ? -1 : 0;
    s.selected = chosen;
    FillList(dlg);
    ShowItem(dlg);
    if (!settings::ContextMayApply(ctx))
        for (int id : {kAdd, kDelete, kUp, kDown, kShared}) EnableWindow(GetDlgItem(dlg, id), FALSE);
    return TRUE;
}

bool OnCommand(HWND dlg, int id, UINT code) {
    if (!State(dlg)) return false;
    switch (id) {
    case IDOK: OnOk(dlg); return true;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); return true;
    case kList:
        if (code == LBN_SELCHANGE) OnListChange(dlg);
        return true;
    case kUp:
    case kDown:
        if (code == BN_CLICKED) OnMove(dlg, id == kUp ? -1 : 1);
        return true;
    case kAdd:
        if (code == BN_CLICKED) OnAdd(dlg);
        return true;
    case kDelete:
        if (code == BN_CLICKED) OnDelete(dlg);
        return true;
    case kCenter:
        if (code == BN_CLICKED) OnCenter(dlg);
        return true;
    case kFont:
    case kStyle:
    case kColor:
    case kBox:
        // The picture follows a choice at once; values typed into the boxes are
        // taken when the focus leaves them.
        if (code == CBN_SELENDOK && !g_showing) {
            Commit(dlg, false, true);
            RedrawPreview(dlg);
        }
        return true;
    case kTransparent:
    case kFirstPage:
    case kRepeat:
    case kShared:
        if (code == BN_CLICKED && !g_showing) Commit(dlg, false, true);
        return true;
    case kName:
        if (code == EN_KILLFOCUS && !g_showing) {
            // The list shows the name typed.
            DialogState* s = State(dlg);
            if (s->selected >= 0 && Commit(dlg, false, true)) {
                FillList(dlg);
            }
        }
        return true;
    case kText:
    case kSize:
    case kAngle:
    case kPosX:
    case kPosY:
        if (code == EN_KILLFOCUS && !g_showing && !CheckRunning()) {
            HWND next = GetFocus();
            if (!next || GetDlgCtrlID(next) != IDCANCEL) Commit(dlg, false, true);
            RedrawPreview(dlg);
        }
        return true;
    default:
        return false;
    }
}

void OnDestroy(HWND dlg) {
    States().erase(dlg);
}

const PageDef kWatermarkDialog = [] {
    PageDef d{kPage, kStepComboUi | kStepCommonHook, PageKind::Dialog};
    d.init = OnInit;
    d.command = OnCommand;
    d.destroy = OnDestroy;
    d.paint = PaintPreview;
    return d;
}();

}  // namespace

INT_PTR CALLBACK WatermarkDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kWatermarkDialog, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
