// The EDIT class.  Typing is WM_CHAR: the character replaces the selection
// (ES_NUMBER refuses non-digits without a balloon tip, ES_UPPERCASE and
// ES_LOWERCASE convert, ES_READONLY refuses everything), the text limit is
// honoured with EN_MAXTEXT, and a change sends EN_UPDATE then EN_CHANGE.
// WM_SETTEXT ignores the limit, clears the modify flag and notifies a single-line
// edit (not a multi-line one, nor the edit of a combo box).  Multi-line edits
// break lines only at "\r\n" (there is no word wrap without a display).
#include <algorithm>
#include <string>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

constexpr UINT kInitialLimit = 30000;

struct EditData : ControlData {
    size_t anchor = 0;  // selection start as set (may exceed caret)
    size_t caret = 0;
    UINT limit = kInitialLimit;
    bool modified = false;
    WCHAR passwordChar = 0;
    HFONT font = nullptr;
    bool canUndo = false;
    nvx::WString undoText;
    bool focused = false;
    int leftMargin = 0, rightMargin = 0;
};

bool Multiline(HWND hwnd) {
    return (StyleOf(hwnd) & ES_MULTILINE) != 0;
}

bool InCombo(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    return parent && IsClass(parent, u"ComboBox");
}

bool InDialog(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    return parent && DialogAncestor(parent) == parent;
}

size_t SelStart(const EditData* e) {
    return std::min(e->anchor, e->caret);
}

size_t SelEnd(const EditData* e) {
    return std::max(e->anchor, e->caret);
}

void SetSel(HWND hwnd, EditData* e, LONG_PTR start, LONG_PTR end) {
    size_t len = TextOf(hwnd).size();
    if (start == -1) {
        e->anchor = e->caret;
        return;
    }
    size_t s = start < 0 ? len : std::min(static_cast<size_t>(start), len);
    size_t t = end < 0 ? len : std::min(static_cast<size_t>(end), len);
    e->anchor = s;
    e->caret = t;
}

nvx::WString Convert(HWND hwnd, nvx::WString text) {
    DWORD style = StyleOf(hwnd);
    if (style & ES_UPPERCASE)
        for (WCHAR& c : text) c = nvx::WToUpper(c);
    else if (style & ES_LOWERCASE)
        for (WCHAR& c : text) c = nvx::WToLower(c);
    return text;
}

// Replaces the selection.  With the limit honoured, an insertion that does not
// fit is cut (EN_MAXTEXT first).  Notifies EN_UPDATE, EN_CHANGE when asked and
// the text changed.  Answers whether the text changed.
bool ReplaceSel(HWND hwnd, EditData* e, nvx::WString insert, bool canUndo, bool honorLimit, bool notify) {
    nvx::WString text = TextOf(hwnd);
    size_t s = std::min(SelStart(e), text.size());
    size_t t = std::min(SelEnd(e), text.size());
    insert = Convert(hwnd, std::move(insert));
    if (honorLimit) {
        size_t remaining = text.size() - (t - s);
        size_t room = e->limit > remaining ? e->limit - remaining : 0;
        if (insert.size() > room) {
            insert.resize(room);
            NotifyCommand(hwnd, EN_MAXTEXT);
            if (!(e = ControlOf<EditData>(hwnd))) return false;
        }
    }
    if (s == t && insert.empty()) return false;
    if (canUndo) {
        e->undoText = text;
        e->canUndo = true;
    }
    nvx::WString updated = text.substr(0, s) + insert + text.substr(t);
    StoreText(hwnd, updated);
    e->anchor = e->caret = s + insert.size();
    e->modified = true;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (notify) {
        NotifyCommand(hwnd, EN_UPDATE);
        if (IsWindow(hwnd)) NotifyCommand(hwnd, EN_CHANGE);
    }
    return true;
}

// Line starts of a multi-line text (hard breaks only).
std::vector<size_t> LineStarts(const nvx::WString& text) {
    std::vector<size_t> starts{0};
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') starts.push_back(i + 2);
    return starts;
}

size_t LineOf(const std::vector<size_t>& starts, size_t index) {
    size_t line = 0;
    while (line + 1 < starts.size() && starts[line + 1] <= index) ++line;
    return line;
}

size_t LineLength(const nvx::WString& text, const std::vector<size_t>& starts, size_t line) {
    size_t begin = starts[line];
    size_t end = line + 1 < starts.size() ? starts[line + 1] - 2 : text.size();
    return end - begin;
}

void Char(HWND hwnd, EditData* e, WCHAR c) {
    DWORD style = StyleOf(hwnd);
    bool readOnly = (style & ES_READONLY) != 0;
    switch (c) {
    case '\r':
        if ((style & ES_MULTILINE) && !(style & ES_WANTRETURN) && InDialog(hwnd)) return;
        if ((style & ES_MULTILINE) && !readOnly) ReplaceSel(hwnd, e, u"\r\n", true, true, true);
        return;
    case '\t':
        if ((style & ES_MULTILINE) && !readOnly) ReplaceSel(hwnd, e, u"\t", true, true, true);
        return;
    case VK_BACK: {
        if (readOnly) return;
        if (SelStart(e) == SelEnd(e)) {
            if (e->caret == 0) return;
            nvx::WString text = TextOf(hwnd);
            size_t back = (e->caret >= 2 && text[e->caret - 2] == '\r' && text[e->caret - 1] == '\n') ? 2 : 1;
            e->anchor = e->caret - back;
        }
        ReplaceSel(hwnd, e, u"", true, false, true);
        return;
    }
    default:
        if (c < ' ' || c == 0x7F) return;
        if ((style & ES_NUMBER) && (c < '0' || c > '9')) {
            MessageBeep(0xFFFFFFFF);
            return;
        }
        if (readOnly) return;
        ReplaceSel(hwnd, e, nvx::WString(1, c), true, true, true);
    }
}

void KeyDown(HWND hwnd, EditData* e, WPARAM vk) {
    DWORD style = StyleOf(hwnd);
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    size_t len = TextOf(hwnd).size();
    auto move = [&](size_t to) {
        e->caret = to;
        if (!shift) e->anchor = to;
    };
    switch (vk) {
    case VK_LEFT: move(e->caret > 0 ? e->caret - 1 : 0); break;
    case VK_RIGHT: move(std::min(len, e->caret + 1)); break;
    case VK_HOME: move(0); break;
    case VK_END: move(len); break;
    case VK_DELETE:
        if (style & ES_READONLY) break;
        if (SelStart(e) == SelEnd(e)) {
            if (e->caret >= len) break;
            e->anchor = e->caret + 1;
        }
        ReplaceSel(hwnd, e, u"", true, false, true);
        break;
    case VK_RETURN:
        if ((style & ES_MULTILINE) && !(style & ES_WANTRETURN) && InDialog(hwnd)) {
            HWND parent = GetParent(hwnd);
            DWORD def = static_cast<DWORD>(Send(parent, DM_GETDEFID));
            if (HIWORD(def) == DC_HASDEFID)
                if (HWND button = GetDlgItem(parent, LOWORD(def))) {
                    Send(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
                    PostMessageW(button, WM_KEYDOWN, VK_RETURN, 0);
                }
        }
        break;
    case VK_ESCAPE:
        if ((style & ES_MULTILINE) && InDialog(hwnd)) PostMessageW(GetParent(hwnd), WM_CLOSE, 0, 0);
        break;
    case VK_TAB:
        if ((style & ES_MULTILINE) && InDialog(hwnd)) Send(GetParent(hwnd), WM_NEXTDLGCTL, shift ? 1 : 0, 0);
        break;
    default: break;
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HWND parent = GetParent(hwnd);
    DWORD style = StyleOf(hwnd);
    if (parent)
        Send(parent, (style & (ES_READONLY | WS_DISABLED)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
             reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    EndPaint(hwnd, &ps);
}

}  // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* e = AttachControl(hwnd, std::make_unique<EditData>());
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if ((cs->style & ES_PASSWORD) && !(cs->style & ES_MULTILINE)) e->passwordChar = 0x25CF;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* e = ControlOf<EditData>(hwnd);
    if (!e) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        e->anchor = e->caret = 0;
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
        if (Multiline(hwnd)) code |= DLGC_WANTALLKEYS;
        auto* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE) && InCombo(hwnd) &&
            Send(GetParent(hwnd), CB_GETDROPPEDSTATE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETTEXT: {
        e->anchor = 0;
        e->caret = TextOf(hwnd).size();
        ReplaceSel(hwnd, e, SafeText(reinterpret_cast<LPCWSTR>(lParam)), false, false, false);
        if (!(e = ControlOf<EditData>(hwnd))) return TRUE;
        e->anchor = e->caret = 0;
        e->modified = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        if (!Multiline(hwnd) && !InCombo(hwnd)) {
            NotifyCommand(hwnd, EN_UPDATE);
            if (IsWindow(hwnd)) NotifyCommand(hwnd, EN_CHANGE);
        }
        return TRUE;
    }
    case WM_CHAR:
        Char(hwnd, e, static_cast<WCHAR>(wParam));
        return 0;
    case WM_KEYDOWN:
        KeyDown(hwnd, e, wParam);
        return 0;
    case WM_CLEAR:
    case WM_CUT:
        if (!(StyleOf(hwnd) & ES_READONLY)) ReplaceSel(hwnd, e, u"", true, false, true);
        return 0;
    case WM_COPY:
    case WM_PASTE:
        return 0;  // there is no clipboard
    case WM_UNDO:
    case EM_UNDO: {
        if (!e->canUndo) return FALSE;
        nvx::WString current = TextOf(hwnd);
        StoreText(hwnd, e->undoText);
        e->undoText = current;
        e->anchor = e->caret = TextOf(hwnd).size();
        e->modified = true;
        NotifyCommand(hwnd, EN_UPDATE);
        if (IsWindow(hwnd)) NotifyCommand(hwnd, EN_CHANGE);
        return TRUE;
    }
    case EM_CANUNDO: return e->canUndo;
    case EM_EMPTYUNDOBUFFER:
        e->canUndo = false;
        e->undoText.clear();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd);
        if (!(e = ControlOf<EditData>(hwnd))) return 0;
        SIZE ch = FontCharSize(e->font);
        nvx::WString text = TextOf(hwnd);
        size_t at = std::min(text.size(), static_cast<size_t>(std::max(0, GET_X_LPARAM(lParam) / ch.cx)));
        if (msg == WM_LBUTTONDBLCLK) {
            size_t s = at, t = at;
            while (s > 0 && text[s - 1] != ' ') --s;
            while (t < text.size() && text[t] != ' ') ++t;
            e->anchor = s;
            e->caret = t;
        } else {
            e->anchor = e->caret = at;
        }
        return 0;
    }
    case WM_SETFOCUS:
        e->focused = true;
        InvalidateRect(hwnd, nullptr, TRUE);
        NotifyCommand(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        e->focused = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        NotifyCommand(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_SETFONT:
        e->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(e->font);
    case EM_GETSEL: {
        DWORD s = static_cast<DWORD>(SelStart(e));
        DWORD t = static_cast<DWORD>(SelEnd(e));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = s;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = t;
        return MAKELONG(s > 0xFFFF ? 0xFFFF : s, t > 0xFFFF ? 0xFFFF : t);
    }
    case EM_SETSEL:
        SetSel(hwnd, e, static_cast<LONG_PTR>(static_cast<INT>(wParam)), static_cast<LONG_PTR>(static_cast<INT>(lParam)));
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_REPLACESEL:
        ReplaceSel(hwnd, e, SafeText(reinterpret_cast<LPCWSTR>(lParam)), wParam != 0, true, true);
        return 0;
    case EM_LIMITTEXT: {
        UINT limit = static_cast<UINT>(wParam);
        if (!limit) limit = 0xFFFFFFFF;
        if (!Multiline(hwnd)) limit = std::min(limit, 0x7FFFFFFEu);
        e->limit = limit;
        return 0;
    }
    case EM_GETLIMITTEXT: return e->limit;
    case EM_GETMODIFY: return e->modified;
    case EM_SETMODIFY:
        e->modified = wParam != 0;
        return 0;
    case EM_SETREADONLY:
        SetStyleBits(hwnd, wParam ? ES_READONLY : 0, wParam ? 0 : ES_READONLY);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case EM_SETPASSWORDCHAR:
        if (Multiline(hwnd)) return 0;
        e->passwordChar = static_cast<WCHAR>(wParam);
        SetStyleBits(hwnd, wParam ? ES_PASSWORD : 0, wParam ? 0 : ES_PASSWORD);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_GETPASSWORDCHAR: return e->passwordChar;
    case EM_GETLINECOUNT:
        return Multiline(hwnd) ? static_cast<LRESULT>(LineStarts(TextOf(hwnd)).size()) : 1;
    case EM_LINEINDEX: {
        if (!Multiline(hwnd)) return static_cast<INT>(wParam) <= 0 ? 0 : -1;
        auto starts = LineStarts(TextOf(hwnd));
        INT line = static_cast<INT>(wParam);
        if (line == -1) line = static_cast<INT>(LineOf(starts, e->caret));
        return line >= 0 && static_cast<size_t>(line) < starts.size() ? static_cast<LRESULT>(starts[static_cast<size_t>(line)]) : -1;
    }
    case EM_LINEFROMCHAR: {
        if (!Multiline(hwnd)) return 0;
        auto starts = LineStarts(TextOf(hwnd));
        INT index = static_cast<INT>(wParam);
        return static_cast<LRESULT>(LineOf(starts, index < 0 ? SelStart(e) : static_cast<size_t>(index)));
    }
    case EM_LINELENGTH: {
        nvx::WString text = TextOf(hwnd);
        if (!Multiline(hwnd)) return static_cast<LRESULT>(text.size());
        auto starts = LineStarts(text);
        INT index = static_cast<INT>(wParam);
        size_t at = index < 0 ? SelStart(e) : std::min(text.size(), static_cast<size_t>(index));
        return static_cast<LRESULT>(LineLength(text, starts, LineOf(starts, at)));
    }
    case EM_GETLINE: {
        auto* buffer = reinterpret_cast<WCHAR*>(lParam);
        if (!buffer) return 0;
        WORD cap = *reinterpret_cast<WORD*>(buffer);
        nvx::WString text = TextOf(hwnd);
        auto starts = Multiline(hwnd) ? LineStarts(text) : std::vector<size_t>{0};
        if (wParam >= starts.size()) return 0;
        size_t n = std::min<size_t>(cap, Multiline(hwnd) ? LineLength(text, starts, wParam) : text.size());
        std::copy(text.begin() + static_cast<long>(starts[wParam]), text.begin() + static_cast<long>(starts[wParam] + n), buffer);
        return static_cast<LRESULT>(n);
    }
    case EM_GETFIRSTVISIBLELINE: return 0;
    case EM_SCROLLCARET: return TRUE;
    case EM_LINESCROLL: return TRUE;
    case EM_SCROLL: return MAKELONG(0, TRUE);
    case EM_SETMARGINS:
        if (wParam & EC_LEFTMARGIN) e->leftMargin = LOWORD(lParam) == EC_USEFONTINFO ? 0 : LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN) e->rightMargin = HIWORD(lParam) == EC_USEFONTINFO ? 0 : HIWORD(lParam);
        return 0;
    case EM_GETMARGINS: return MAKELONG(e->leftMargin, e->rightMargin);
    case EM_GETRECT:
        if (lParam) GetClientRect(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
    case EM_SETTABSTOPS:
    case EM_FMTLINES:
        return TRUE;
    case EM_POSFROMCHAR: {
        SIZE ch = FontCharSize(e->font);
        return MAKELONG(static_cast<int>(wParam) * ch.cx, 0);
    }
    case EM_CHARFROMPOS: {
        SIZE ch = FontCharSize(e->font);
        size_t at = std::min(TextOf(hwnd).size(), static_cast<size_t>(std::max(0, GET_X_LPARAM(lParam) / ch.cx)));
        return MAKELONG(at, 0);
    }
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        DWORD style = StyleOf(hwnd);
        if (style & ES_MULTILINE) *out += " multiline";
        if (style & ES_NUMBER) *out += " number";
        if (style & ES_READONLY) *out += " readonly";
        if (e->passwordChar) *out += " password";
        *out += " sel=" + std::to_string(SelStart(e)) + ".." + std::to_string(SelEnd(e));
        if (e->limit != kInitialLimit) *out += " limit=" + std::to_string(e->limit);
        if (e->modified) *out += " modified";
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
