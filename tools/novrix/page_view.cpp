// Reading a page's controls as labelled settings (see page_view.h).
#include "page_view.h"

#include <cctype>
#include <cstdlib>

#include "common/text.h"
#include "platform/ui_host.h"

namespace novrix {
namespace {

constexpr int kHintTextId = 1016;  // the hint area's text, common to every page
constexpr int kHintIconId = 1015;  // the hint area's icon

enum class Kind { Other, Label, Radio, Check, GroupBox, Push, Combo, Edit, UpDown, List, TrackBar };

struct Control {
    HWND hwnd;
    Kind kind;
    std::string text;
    RECT rect;
};

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    nvx::WString text(static_cast<size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return nvx::Utf8FromW(text.c_str());
}

std::string ClassName(HWND hwnd) {
    WCHAR name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return nvx::Utf8FromW(name);
}

bool Same(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

Kind Classify(HWND hwnd) {
    std::string cls = ClassName(hwnd);
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (Same(cls, "Static")) {
        switch (style & 0x1F) {  // SS_TYPEMASK
        case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_SIMPLE: case SS_LEFTNOWORDWRAP: return Kind::Label;
        default: return Kind::Other;
        }
    }
    if (Same(cls, "Button")) {
        switch (style & 0xF) {
        case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return Kind::Radio;
        case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE: return Kind::Check;
        case BS_GROUPBOX: return Kind::GroupBox;
        default: return Kind::Push;
        }
    }
    if (Same(cls, "ComboBox")) return Kind::Combo;
    if (Same(cls, "Edit")) return Kind::Edit;
    if (Same(cls, "msctls_updown32")) return Kind::UpDown;
    if (Same(cls, "ListBox")) return Kind::List;
    if (Same(cls, "msctls_trackbar32")) return Kind::TrackBar;
    return Kind::Other;
}

BOOL CALLBACK CollectToolTips(HWND hwnd, LPARAM list) {
    if (Same(ClassName(hwnd), "tooltips_class32")) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// The tooltip text of a control (a tool whose id is the control's handle), or "".
std::string ToolTipOf(HWND control) {
    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), CollectToolTips, reinterpret_cast<LPARAM>(&tips));
    for (HWND tip : tips) {
        LRESULT count = SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            TOOLINFOW ti{};
            ti.cbSize = sizeof ti;
            if (!SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&ti))) continue;
            if (ti.uId != reinterpret_cast<UINT_PTR>(control) && ti.hwnd != control) continue;
            std::vector<WCHAR> text(4097, 0);
            if (NvxUi_GetToolTipText(tip, ti.hwnd, ti.uId, text.data(), static_cast<int>(text.size())) > 0)
                return nvx::Utf8FromW(text.data());
        }
    }
    return {};
}

bool IsShownIcon(HWND hwnd) {
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    return Same(ClassName(hwnd), "Static") && (style & 0x1F) == SS_ICON && (style & WS_VISIBLE) &&
           GetDlgCtrlID(hwnd) != kHintIconId;
}

// Puts each shown stop icon's text under the setting level with it (the nearest
// on its row, on either side; a drop-down counts by its selection field, which is
// its window), else into the page's own warnings.
void PlaceWarnings(HWND page, PageView* view) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsShownIcon(child)) continue;
        RECT icon;
        GetWindowRect(child, &icon);
        std::string text = ToolTipOf(child);
        if (text.empty()) text = "a stop icon is shown";
        LONG middle = (icon.top + icon.bottom) / 2;
        Setting* best = nullptr;
        LONG bestGap = 0;
        for (Setting& s : view->settings) {
            for (HWND c : s.controls) {
                RECT r;
                if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) || !GetWindowRect(c, &r)) continue;
                if (middle < r.top || middle > r.bottom || s.kind == SettingKind::Text) continue;
                const LONG gap = r.right <= icon.left ? icon.left - r.right
                                 : r.left >= icon.right ? r.left - icon.right : 0;
                if (!best || gap < bestGap) best = &s, bestGap = gap;
            }
        }
        if (best) best->warning += (best->warning.empty() ? "" : " ") + text;
        else view->warnings.push_back(text);
    }
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// The text of the smallest group box around rect, empty when none.
std::string GroupAround(const std::vector<Control>& controls, const RECT& rect) {
    const Control* best = nullptr;
    for (const Control& c : controls) {
        if (c.kind != Kind::GroupBox || !Inside(rect, c.rect)) continue;
        if (!best || Inside(c.rect, best->rect)) best = &c;
    }
    return best ? CleanLabel(best->text) : std::string();
}

// The next control after index i, passing over up-down controls and windows
// that are no settings (stop icons between a label and its box), or null.
const Control* NextInput(const std::vector<Control>& controls, size_t i) {
    for (size_t j = i + 1; j < controls.size(); ++j)
        if (controls[j].kind != Kind::UpDown && controls[j].kind != Kind::Other) return &controls[j];
    return nullptr;
}

// The next control after index i that is no text label (as NextInput), or null.
const Control* NextNonLabel(const std::vector<Control>& controls, size_t i) {
    for (const Control* next = NextInput(controls, i); next; next = NextInput(controls, i)) {
        if (next->kind != Kind::Label) return next;
        i = static_cast<size_t>(next - controls.data());
    }
    return nullptr;
}

std::string ComboItem(HWND combo, int index) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    nvx::WString text(static_cast<size_t>(length) + 1, u'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return nvx::Utf8FromW(text.c_str());
}

// One row of a list box.
std::string ListRow(HWND list, LRESULT i) {
    const LRESULT len = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (len < 0) return {};
    nvx::WString text(static_cast<size_t>(len) + 1, 0);
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(len));
    return nvx::Utf8FromW(text.c_str());
}

// A row's name: its text before ": " (the whole text without one).
std::string ListRowName(const std::string& row) {
    return row.substr(0, row.find(": "));
}

// The lines of a list box, one per entry (tabs shown as spaces by the caller).
std::string ListLines(HWND list) {
    std::string out;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT len = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (len < 0) continue;
        nvx::WString text(static_cast<size_t>(len) + 1, 0);
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(len));
        out += (out.empty() ? "" : "\n") + std::string(i == sel ? "> " : "  ") + nvx::Utf8FromW(text.c_str());
    }
    return out.empty() ? "(empty list)" : out;
}

bool IsNumber(const std::string& text) {
    if (text.empty()) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

// on/off words; -1 when the text is neither.
int OnOff(const std::string& text) {
    for (const char* on : {"on", "yes", "true", "1", "checked"})
        if (Same(text, on)) return 1;
    for (const char* off : {"off", "no", "false", "0", "unchecked"})
        if (Same(text, off)) return 0;
    return -1;
}

// Multi-line text as continuation lines under prefix; tabs become spaces.
std::string Indented(std::string text, const std::string& prefix) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        if (text[i] == '\n') {
            if (i + 1 < text.size()) out += "\n" + prefix;
            continue;
        }
        out += text[i] == '\t' ? ' ' : text[i];
    }
    return out;
}

std::string Join(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& s : items) out += (out.empty() ? "" : separator) + s;
    return out;
}

bool IsPassword(const Setting& s) {
    return s.kind == SettingKind::Edit && (GetWindowLongW(s.controls[0], GWL_STYLE) & ES_PASSWORD);
}

// The range a note beside a box states ("[1...999]", "% (25-400)"): its first
// two numbers.
bool NoteRange(const std::string& note, long* low, long* high) {
    long n[2] = {};
    int found = 0;
    for (size_t i = 0; i < note.size() && found < 2;) {
        if (note[i] < '0' || note[i] > '9') {
            ++i;
            continue;
        }
        long v = 0;
        for (; i < note.size() && note[i] >= '0' && note[i] <= '9'; ++i)
            if (v < 1000000000) v = v * 10 + (note[i] - '0');
        n[found++] = v;
    }
    if (found < 2 || n[0] > n[1]) return false;
    *low = n[0];
    *high = n[1];
    return true;
}

// What a refusal about the setting's range says ("Copies takes 1 to 999; "), or
// nothing when the box states no range.
std::string RangeText(const Setting& s) {
    long low = 0, high = 0;
    if (s.kind != SettingKind::Edit || !NoteRange(s.note, &low, &high)) return {};
    return s.label + " takes " + std::to_string(low) + " to " + std::to_string(high) + "; ";
}

// The action failed: disabled/hidden, or something else the layer answered.
SetOutcome ActionFailed(const Setting& s, std::string* message) {
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
        *message = s.label + " cannot be changed now (" + SettingMarks(s) + ")";
        if (SettingMarks(s).empty()) *message = s.label + " cannot be changed now";
        return SetOutcome::Disabled;
    }
    *message = s.label + ": the page did not take the input (error " + std::to_string(error) + ")";
    return SetOutcome::Refused;
}

SetOutcome Refused(const Setting& s, const std::string& value, std::string* message) {
    *message = s.label + "=" + EchoValue(s, value) + " was refused: " + RangeText(s) + "the page shows " +
               SettingValue(s);
    return SetOutcome::Refused;
}

SetOutcome SetRadio(const Setting& s, const std::string& value, std::string* message) {
    for (HWND radio : s.controls) {
        if (!SameLabel(WindowText(radio), value)) continue;
        if (SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) return SetOutcome::Done;
        if (!NvxUi_Click(radio)) return ActionFailed(s, message);
        return SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED ? SetOutcome::Done : Refused(s, value, message);
    }
    *message = s.label + " has no choice \"" + EchoValue(s, value) + "\" (choices: " + Join(SettingChoices(s), ", ") +
               ")";
    return SetOutcome::NotInList;
}

SetOutcome SetCheck(const Setting& s, const std::string& value, std::string* message) {
    int on = OnOff(value);
    if (on < 0) {
        *message = s.label + " is a check box: give on or off, not \"" + EchoValue(s, value) + "\"";
        return SetOutcome::NotInList;
    }
    UINT want = on ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<UINT>(SendMessageW(s.controls[0], BM_GETCHECK, 0, 0)) == want) return SetOutcome::Done;
    if (!NvxUi_SetCheck(s.controls[0], want)) return ActionFailed(s, message);
    return static_cast<UINT>(SendMessageW(s.controls[0], BM_GETCHECK, 0, 0)) == want ? SetOutcome::Done
                                                                                     : Refused(s, value, message);
}

SetOutcome SetCombo(const Setting& s, const std::string& value, std::string* message) {
    std::vector<std::string> items = SettingChoices(s);
    for (const std::string& item : items) {
        if (!SameLabel(item, value)) continue;
        if (SameLabel(SettingValue(s), item)) return SetOutcome::Done;
        nvx::WString wide = nvx::WFromUtf8(item);
        if (!NvxUi_ChooseComboText(s.controls[0], wide.c_str())) return ActionFailed(s, message);
        return SameLabel(SettingValue(s), item) ? SetOutcome::Done : Refused(s, value, message);
    }
    *message = s.label + " has no entry \"" + EchoValue(s, value) + "\" (entries: " + Join(items, ", ") + ")";
    return SetOutcome::NotInList;
}

// A list row chosen by its name (or whole text), as a mouse click chooses it.
SetOutcome SetList(const Setting& s, const std::string& value, std::string* message) {
    std::vector<std::string> names = SettingChoices(s);
    for (size_t i = 0; i < names.size(); ++i) {
        if (!SameLabel(names[i], value) && !SameLabel(ListRow(s.controls[0], static_cast<LRESULT>(i)), value)) continue;
        if (!NvxUi_ChooseListItem(s.controls[0], static_cast<int>(i))) return ActionFailed(s, message);
        return SendMessageW(s.controls[0], LB_GETCURSEL, 0, 0) == static_cast<LRESULT>(i) ? SetOutcome::Done
                                                                                          : Refused(s, value, message);
    }
    *message = s.label + " has no entry \"" + EchoValue(s, value) + "\" (entries: " + Join(names, ", ") + ")";
    return SetOutcome::NotInList;
}

// A decimal number ("12", "8.27", "8,27" with a decimal comma): what a size box
// takes (the page decides whether its boxes read a comma).
bool IsDecimal(const std::string& text) {
    size_t digits = 0, points = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-' && i == 0) continue;
        if (text[i] == '.' || text[i] == ',') ++points;
        else if (std::isdigit(static_cast<unsigned char>(text[i]))) ++digits;
        else return false;
    }
    return digits > 0 && points <= 1;
}

SetOutcome SetEdit(const Setting& s, const std::string& value, std::string* message) {
    // A box for digits, one with a unit or range beside it, or one that holds a
    // number takes a number; any other box (a name) takes any text.
    const bool numberBox = (GetWindowLongW(s.controls[0], GWL_STYLE) & ES_NUMBER) || !s.note.empty() ||
                           IsDecimal(WindowText(s.controls[0]));
    if (numberBox && !IsDecimal(value)) {
        *message = s.label + " takes a number, not \"" + EchoValue(s, value) + "\"";
        return SetOutcome::NotInList;
    }
    if (WindowText(s.controls[0]) == value) return SetOutcome::Done;
    nvx::WString wide = nvx::WFromUtf8(value);
    if (!NvxUi_Type(s.controls[0], wide.c_str(), NVXUI_TYPE_REPLACE)) return ActionFailed(s, message);
    NvxUi_LeaveControl(s.controls[0]);  // the page checks a box when the focus leaves it
    return WindowText(s.controls[0]) == value ? SetOutcome::Done : Refused(s, value, message);
}

long TrackBarPosition(HWND bar) { return static_cast<long>(SendMessageW(bar, TBM_GETPOS, 0, 0)); }

// A slider takes a whole number within its range, dragged there as a person does.
SetOutcome SetSlider(const Setting& s, const std::string& value, std::string* message) {
    const long low = static_cast<long>(SendMessageW(s.controls[0], TBM_GETRANGEMIN, 0, 0));
    const long high = static_cast<long>(SendMessageW(s.controls[0], TBM_GETRANGEMAX, 0, 0));
    const std::string range = s.label + " takes " + std::to_string(low) + " to " + std::to_string(high);
    if (!IsNumber(value) || value.size() > 9) {
        *message = range + ", not \"" + EchoValue(s, value) + "\"";
        return SetOutcome::NotInList;
    }
    const long want = std::strtol(value.c_str(), nullptr, 10);
    if (want < low || want > high) {
        *message = range + ", not " + value;
        return SetOutcome::NotInList;
    }
    if (TrackBarPosition(s.controls[0]) == want) return SetOutcome::Done;
    if (!NvxUi_SetTrackBar(s.controls[0], static_cast<int>(want))) return ActionFailed(s, message);
    return TrackBarPosition(s.controls[0]) == want ? SetOutcome::Done : Refused(s, value, message);
}

}  // namespace

std::string CleanLabel(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') out += text[++i];
            continue;
        }
        out += text[i] == '\t' || text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    auto trim = [&out] {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        size_t start = out.find_first_not_of(' ');
        out.erase(0, start == std::string::npos ? out.size() : start);
    };
    trim();
    if (out.size() >= 3 && out.compare(out.size() - 3, 3, "...") == 0) out.resize(out.size() - 3);
    if (!out.empty() && out.back() == ':') out.pop_back();
    trim();
    return out;
}

bool SameLabel(const std::string& a, const std::string& b) {
    std::string x = CleanLabel(a), y = CleanLabel(b);
    return Same(x, y.c_str());
}

PageView ScanPage(HWND page) {
    PageView view;
    view.window = page;
    std::vector<Control> controls;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control c{child, Classify(child), WindowText(child), {}};
        GetWindowRect(child, &c.rect);
        if (c.kind == Kind::Label && GetDlgCtrlID(child) == kHintTextId) {
            view.hint = c.text;
            continue;
        }
        controls.push_back(c);
    }
    std::string pending;  // a text label waiting for the box it names
    std::string lowEnd;   // the text at a slider's low end, shown before its range
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        Setting s;
        s.controls.push_back(c.hwnd);
        switch (c.kind) {
        case Kind::Label: {
            const Control* next = NextInput(controls, i);
            if (!view.settings.empty() && view.settings.back().kind == SettingKind::Slider && i > 0 &&
                controls[i - 1].hwnd == view.settings.back().controls[0] && !c.text.empty()) {
                view.settings.back().note += " " + c.text;  // the slider's high end ("Dark")
                continue;
            }
            if (const Control* input = NextNonLabel(controls, i); input && input->kind == Kind::TrackBar) {
                // "Density:" names the slider; a text without a colon ("Light") is
                // its low end.
                const std::string clean = CleanLabel(c.text);
                if (c.text.find(':') != std::string::npos)
                    pending = clean;
                else if (!clean.empty())
                    lowEnd = clean;
                continue;
            }
            bool textBox = next && next->kind == Kind::Edit && (GetWindowLongW(next->hwnd, GWL_STYLE) & ES_READONLY);
            if (next && !textBox && (next->kind == Kind::Combo || next->kind == Kind::Edit || next->kind == Kind::List)) {
                pending = CleanLabel(c.text);
            } else if (!view.settings.empty() && view.settings.back().kind == SettingKind::Edit && !c.text.empty()) {
                std::string& note = view.settings.back().note;
                note += (note.empty() ? "" : " ") + c.text;
            } else if (!c.text.empty()) {
                s.kind = SettingKind::Text;
                view.settings.push_back(std::move(s));
            }
            continue;
        }
        case Kind::Radio: {
            std::string label = GroupAround(controls, c.rect);
            if (label.empty()) label = pending;
            LONG style = GetWindowLongW(c.hwnd, GWL_STYLE);
            Setting* last = view.settings.empty() ? nullptr : &view.settings.back();
            if (last && last->kind == SettingKind::Radio && !(style & WS_GROUP) &&
                (label.empty() || SameLabel(label, last->label))) {
                last->controls.push_back(c.hwnd);
                continue;
            }
            s.kind = SettingKind::Radio;
            s.label = label.empty() ? CleanLabel(c.text) : label;
            break;
        }
        case Kind::Check:
            s.kind = SettingKind::Check;
            s.label = CleanLabel(c.text);
            break;
        case Kind::Edit:
            if (GetWindowLongW(c.hwnd, GWL_STYLE) & ES_READONLY) {  // shown, not typed into
                s.kind = SettingKind::Text;
                break;
            }
            [[fallthrough]];
        case Kind::Combo:
            s.kind = c.kind == Kind::Combo ? SettingKind::Combo : SettingKind::Edit;
            s.label = !pending.empty() ? pending : GroupAround(controls, c.rect);
            if (s.label.empty()) s.label = "#" + std::to_string(GetDlgCtrlID(c.hwnd));
            break;
        case Kind::List:  // shown line by line, as it stands; one with a label is chosen from
            s.kind = pending.empty() ? SettingKind::Text : SettingKind::List;
            s.label = pending.empty() ? "#" + std::to_string(GetDlgCtrlID(c.hwnd)) : pending;
            break;
        case Kind::TrackBar: {
            s.kind = SettingKind::Slider;
            // The label before it; a slider without one ("Light" only) is named by
            // the group box around it.
            s.label = !pending.empty() ? pending : GroupAround(controls, c.rect);
            if (s.label.empty()) s.label = "#" + std::to_string(GetDlgCtrlID(c.hwnd));
            const long low = static_cast<long>(SendMessageW(c.hwnd, TBM_GETRANGEMIN, 0, 0));
            const long high = static_cast<long>(SendMessageW(c.hwnd, TBM_GETRANGEMAX, 0, 0));
            s.note = "(" + std::to_string(low) + "..." + std::to_string(high) + ")";
            if (!lowEnd.empty()) s.note = lowEnd + " " + s.note;
            lowEnd.clear();
            break;
        }
        case Kind::Push:
            s.kind = SettingKind::Button;
            s.label = CleanLabel(c.text);
            if (s.label.empty()) continue;
            break;
        default:
            continue;
        }
        pending.clear();
        view.settings.push_back(std::move(s));
    }
    PlaceWarnings(page, &view);
    return view;
}

std::string SettingValue(const Setting& s) {
    switch (s.kind) {
    case SettingKind::Radio:
        for (HWND radio : s.controls)
            if (SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) return CleanLabel(WindowText(radio));
        return "(none)";
    case SettingKind::Check: {
        LRESULT state = SendMessageW(s.controls[0], BM_GETCHECK, 0, 0);
        return state == BST_CHECKED ? "on" : state == BST_INDETERMINATE ? "mixed" : "off";
    }
    case SettingKind::Combo: {
        LRESULT sel = SendMessageW(s.controls[0], CB_GETCURSEL, 0, 0);
        return sel < 0 ? "(none)" : ComboItem(s.controls[0], static_cast<int>(sel));
    }
    case SettingKind::Edit:
        // A password is never shown: one mask character per character.
        if (GetWindowLongW(s.controls[0], GWL_STYLE) & ES_PASSWORD) {
            std::string mask;
            for (int n = GetWindowTextLengthW(s.controls[0]); n > 0; --n) mask += '*';
            return mask;
        }
        return WindowText(s.controls[0]);
    case SettingKind::Text:
        if (Classify(s.controls[0]) == Kind::List) return ListLines(s.controls[0]);
        return WindowText(s.controls[0]);
    case SettingKind::List: {
        const LRESULT sel = SendMessageW(s.controls[0], LB_GETCURSEL, 0, 0);
        return sel < 0 ? "(none)" : ListRowName(ListRow(s.controls[0], sel));
    }
    case SettingKind::Slider:
        return std::to_string(TrackBarPosition(s.controls[0]));
    case SettingKind::Button:
        return {};
    }
    return {};
}

std::vector<std::string> SettingChoices(const Setting& s) {
    std::vector<std::string> out;
    if (s.kind == SettingKind::Radio) {
        for (HWND radio : s.controls) out.push_back(CleanLabel(WindowText(radio)));
    } else if (s.kind == SettingKind::Combo) {
        LRESULT count = SendMessageW(s.controls[0], CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) out.push_back(ComboItem(s.controls[0], static_cast<int>(i)));
    } else if (s.kind == SettingKind::List) {
        LRESULT count = SendMessageW(s.controls[0], LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) out.push_back(ListRowName(ListRow(s.controls[0], i)));
    }
    return out;
}

namespace {
std::set<int>& LockedControls() {
    static std::set<int> ids;
    return ids;
}
}  // namespace

void SetLockedControls(const std::set<int>& ids) { LockedControls() = ids; }

std::string SettingMarks(const Setting& s) {
    bool hidden = true, disabled = true, locked = false;
    for (HWND c : s.controls) {
        LONG style = GetWindowLongW(c, GWL_STYLE);
        hidden = hidden && !(style & WS_VISIBLE);
        disabled = disabled && (style & WS_DISABLED);
        locked = locked || LockedControls().count(GetDlgCtrlID(c)) != 0;
    }
    if (hidden && disabled) return "hidden, disabled";
    if (disabled && locked) return "disabled, locked by the administrator";
    return hidden ? "hidden" : disabled ? "disabled" : "";
}

std::string RenderPage(const PageView& view, const std::string& title) {
    std::string out = "[" + title + "]\n";
    for (const Setting& s : view.settings) {
        std::string marks = SettingMarks(s);
        std::string line = "  ";
        if (s.kind == SettingKind::Button) {
            line += "[" + s.label + "]";
        } else if (s.kind == SettingKind::Text) {
            if (marks.find("hidden") != std::string::npos) continue;
            std::string text = SettingValue(s);
            if (text.empty()) continue;
            line += Indented(text, "  ");
        } else if (s.kind == SettingKind::List) {
            line += s.label + ":\n    " + Indented(ListLines(s.controls[0]), "    ");
        } else {
            line += s.label + ": " + SettingValue(s);
            if (!s.note.empty()) line += " " + s.note;
            if (s.kind == SettingKind::Radio) line += "  (" + Join(SettingChoices(s), " | ") + ")";
        }
        if (!marks.empty()) line += "  [" + marks + "]";
        out += line + "\n";
        if (!s.warning.empty()) out += "    ! " + Indented(s.warning, "      ") + "\n";
    }
    for (const std::string& w : view.warnings) out += "  ! " + Indented(w, "    ") + "\n";
    if (!view.hint.empty()) out += "  Hint: " + Indented(view.hint, "        ") + "\n";
    return out;
}

bool HasSetting(const PageView& view, const std::string& label) {
    for (const Setting& s : view.settings)
        if (s.kind != SettingKind::Button && s.kind != SettingKind::Text && SameLabel(s.label, label)) return true;
    return false;
}

std::string EchoValue(const Setting& setting, const std::string& value) {
    return IsPassword(setting) ? std::string(kHiddenValue) : EchoText(value);
}

const Setting* FindValueSetting(const PageView& view, const std::string& label, const std::string& value) {
    const Setting* chosen = nullptr;
    for (const Setting& s : view.settings) {
        if (s.kind == SettingKind::Button || s.kind == SettingKind::Text || !SameLabel(s.label, label)) continue;
        // One label may name an edit box and radio buttons: a number goes to the box.
        if (!chosen || (IsNumber(value) == (s.kind == SettingKind::Edit))) chosen = &s;
    }
    return chosen;
}

SetOutcome SetSetting(const PageView& view, const std::string& label, const std::string& value,
                      std::string* message) {
    const Setting* chosen = FindValueSetting(view, label, value);
    if (!chosen) {
        *message = "no setting \"" + EchoText(label) + "\" on this page";
        return SetOutcome::NoLabel;
    }
    switch (chosen->kind) {
    case SettingKind::Radio: return SetRadio(*chosen, value, message);
    case SettingKind::Check: return SetCheck(*chosen, value, message);
    case SettingKind::Combo: return SetCombo(*chosen, value, message);
    case SettingKind::Edit: return SetEdit(*chosen, value, message);
    case SettingKind::List: return SetList(*chosen, value, message);
    case SettingKind::Slider: return SetSlider(*chosen, value, message);
    case SettingKind::Button:
    case SettingKind::Text: break;
    }
    return SetOutcome::NoLabel;
}

}  // namespace novrix
