// tooltips_class32.  The tip never shows; its tools and their texts are kept
// for the host to read.  A tool's text is a string, a string resource
// (lpszText = MAKEINTRESOURCE(id) with hinst), or LPSTR_TEXTCALLBACKW, which the
// tool's window answers with TTN_GETDISPINFOW when the host reads it.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    HINSTANCE hinst = nullptr;
    nvx::WString text;
    bool callback = false;
    UINT resource = 0;  // a string resource number, 0 for none
    LPARAM lParam = 0;
};

struct ToolTipData : ControlData {
    std::vector<Tool> tools;
    bool active = true;
    int maxWidth = -1;
    int initial = 500, autopop = 5000, reshow = 100;
    bool defaultDelays = true;
    COLORREF bk = 0xE1FFFF, fg = 0;
    RECT margin{};
    nvx::WString title;
};

ToolTipData* Data(HWND hwnd) {
    return ControlOf<ToolTipData>(hwnd);
}

// The size of TTTOOLINFOW up to lpszText: the oldest layout a caller may pass.
constexpr UINT kMinSize = static_cast<UINT>(offsetof(TTTOOLINFOW, lpszText) + sizeof(LPWSTR));

bool Usable(const TTTOOLINFOW* ti) {
    return ti && ti->cbSize >= kMinSize;
}

Tool* FindTool(ToolTipData* d, HWND hwnd, UINT_PTR id) {
    for (Tool& t : d->tools)
        if (t.hwnd == hwnd && t.id == id) return &t;
    return nullptr;
}

void SetToolText(Tool& t, LPCWSTR text, HINSTANCE hinst) {
    t.callback = false;
    t.resource = 0;
    t.text.clear();
    if (text == LPSTR_TEXTCALLBACKW) {
        t.callback = true;
    } else if (text && IS_INTRESOURCE(text)) {
        t.resource = static_cast<UINT>(reinterpret_cast<uintptr_t>(text));
        t.hinst = hinst;
    } else {
        t.text = SafeText(text);
    }
}

nvx::WString LoadText(HINSTANCE hinst, UINT id) {
    WCHAR buffer[1024] = {};
    int n = LoadStringW(hinst, id, buffer, 1024);
    return n > 0 ? nvx::WString(buffer, static_cast<size_t>(n)) : nvx::WString();
}

// The text as shown: the resource string, or the owner's TTN_GETDISPINFOW answer.
nvx::WString ToolText(HWND hwnd, Tool copy) {
    if (copy.resource) return LoadText(copy.hinst, copy.resource);
    if (!copy.callback) return copy.text;
    NMTTDISPINFOW di{};
    di.hdr.hwndFrom = hwnd;
    di.hdr.idFrom = copy.id;
    di.hdr.code = TTN_GETDISPINFOW;
    di.lpszText = di.szText;
    di.uFlags = copy.flags;
    di.lParam = copy.lParam;
    if (copy.hwnd) Send(copy.hwnd, WM_NOTIFY, copy.id, reinterpret_cast<LPARAM>(&di));
    nvx::WString text;
    if (di.hinst && di.lpszText && IS_INTRESOURCE(di.lpszText))
        text = LoadText(di.hinst, static_cast<UINT>(reinterpret_cast<uintptr_t>(di.lpszText)));
    else if (di.lpszText && di.lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(di.lpszText))
        text = di.lpszText == di.szText ? nvx::WString(di.szText, nvx::WLenBounded(di.szText, 80)) : nvx::WString(di.lpszText);
    if (di.uFlags & TTF_DI_SETITEM)
        if (ToolTipData* d = Data(hwnd))
            if (Tool* t = FindTool(d, copy.hwnd, copy.id)) {
                t->callback = false;
                t->text = text;
            }
    return text;
}

void Fill(HWND hwnd, const Tool& t, TTTOOLINFOW* ti, bool withText) {
    ti->uFlags = t.flags;
    ti->hwnd = t.hwnd;
    ti->uId = t.id;
    ti->rect = t.rect;
    ti->hinst = t.hinst;
    if (ti->cbSize >= offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM)) ti->lParam = t.lParam;
    if (!withText) return;
    if (t.callback) {
        ti->lpszText = LPSTR_TEXTCALLBACKW;
    } else if (t.resource) {
        ti->lpszText = MAKEINTRESOURCEW(t.resource);
    } else if (ti->lpszText && !IS_INTRESOURCE(ti->lpszText)) {
        CopyOut(ToolText(hwnd, t), ti->lpszText, 80);
    }
}

}  // namespace

LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<ToolTipData>());
        SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    ToolTipData* d = Data(hwnd);
    if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
    auto* ti = reinterpret_cast<TTTOOLINFOW*>(lParam);
    switch (msg) {
    case WM_CREATE:
        // A tip has no size until it shows (which it never does here).
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case TTM_ADDTOOLW: {
        if (!Usable(ti)) return FALSE;
        Tool* t = FindTool(d, ti->hwnd, ti->uId);
        if (!t) {
            d->tools.emplace_back();
            t = &d->tools.back();
        }
        t->flags = ti->uFlags;
        t->hwnd = ti->hwnd;
        t->id = ti->uId;
        t->rect = ti->rect;
        t->hinst = ti->hinst;
        t->lParam = ti->cbSize >= offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM) ? ti->lParam : 0;
        SetToolText(*t, ti->lpszText, ti->hinst);
        return TRUE;
    }
    case TTM_DELTOOLW: {
        if (!Usable(ti)) return 0;
        auto& tools = d->tools;
        tools.erase(std::remove_if(tools.begin(), tools.end(),
                                   [&](const Tool& t) { return t.hwnd == ti->hwnd && t.id == ti->uId; }),
                    tools.end());
        return 0;
    }
    case TTM_UPDATETIPTEXTW:
        if (Usable(ti))
            if (Tool* t = FindTool(d, ti->hwnd, ti->uId)) SetToolText(*t, ti->lpszText, ti->hinst ? ti->hinst : t->hinst);
        return 0;
    case TTM_NEWTOOLRECTW:
        if (Usable(ti))
            if (Tool* t = FindTool(d, ti->hwnd, ti->uId)) t->rect = ti->rect;
        return 0;
    case TTM_SETTOOLINFOW:
        if (Usable(ti))
            if (Tool* t = FindTool(d, ti->hwnd, ti->uId)) {
                t->flags = ti->uFlags;
                t->rect = ti->rect;
                SetToolText(*t, ti->lpszText, ti->hinst);
            }
        return 0;
    case TTM_GETTOOLINFOW: {
        if (!Usable(ti)) return FALSE;
        Tool* t = FindTool(d, ti->hwnd, ti->uId);
        if (!t) return FALSE;
        Fill(hwnd, *t, ti, true);
        return TRUE;
    }
    case TTM_GETTEXTW: {
        if (!Usable(ti) || !ti->lpszText) return 0;
        Tool* t = FindTool(d, ti->hwnd, ti->uId);
        if (!t) {
            ti->lpszText[0] = 0;
            return 0;
        }
        size_t cap = wParam ? wParam : 80;
        CopyOut(ToolText(hwnd, *t), ti->lpszText, cap);
        return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(d->tools.size());
    case TTM_ENUMTOOLSW: {
        if (!Usable(ti) || wParam >= d->tools.size()) return FALSE;
        Fill(hwnd, d->tools[wParam], ti, true);
        return TRUE;
    }
    case TTM_ACTIVATE:
        d->active = wParam != 0;
        return 0;
    case TTM_SETMAXTIPWIDTH: {
        int old = d->maxWidth;
        d->maxWidth = static_cast<int>(lParam);
        return old;
    }
    case TTM_GETMAXTIPWIDTH: return d->maxWidth;
    case TTM_SETDELAYTIME: {
        int ms = static_cast<short>(LOWORD(lParam));
        switch (wParam) {
        case TTDT_AUTOMATIC:
            if (ms < 0) {
                d->initial = 500;
                d->autopop = 5000;
                d->reshow = 100;
            } else {
                d->initial = ms;
                d->autopop = ms * 10;
                d->reshow = ms / 5;
            }
            break;
        case TTDT_INITIAL: d->initial = ms < 0 ? 500 : ms; break;
        case TTDT_AUTOPOP: d->autopop = ms < 0 ? 5000 : ms; break;
        case TTDT_RESHOW: d->reshow = ms < 0 ? 100 : ms; break;
        default: break;
        }
        return 0;
    }
    case TTM_GETDELAYTIME:
        switch (wParam) {
        case TTDT_AUTOPOP: return d->autopop;
        case TTDT_RESHOW: return d->reshow;
        case TTDT_INITIAL:
        case TTDT_AUTOMATIC: return d->initial;
        default: return -1;
        }
    case TTM_SETTIPBKCOLOR: d->bk = static_cast<COLORREF>(wParam); return 0;
    case TTM_GETTIPBKCOLOR: return d->bk;
    case TTM_SETTIPTEXTCOLOR: d->fg = static_cast<COLORREF>(wParam); return 0;
    case TTM_GETTIPTEXTCOLOR: return d->fg;
    case TTM_SETMARGIN:
        if (lParam) d->margin = *reinterpret_cast<const RECT*>(lParam);
        return 0;
    case TTM_GETMARGIN:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = d->margin;
        return 0;
    case TTM_SETTITLEW:
        d->title = SafeText(reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    case TTM_GETCURRENTTOOLW:
    case TTM_HITTESTW:
    case TTM_WINDOWFROMPOINT:
        return 0;
    case TTM_RELAYEVENT:
    case TTM_POP:
    case TTM_POPUP:
    case TTM_UPDATE:
    case TTM_TRACKACTIVATE:
    case TTM_TRACKPOSITION:
    case TTM_ADJUSTRECT:
    case TTM_GETBUBBLESIZE:
        return 0;
    case kToolTipQuery: {
        auto* query = reinterpret_cast<ToolTipQuery*>(lParam);
        if (!query) return FALSE;
        Tool* t = FindTool(d, query->owner, query->id);
        if (!t) return FALSE;
        query->text = ToolText(hwnd, *t);
        return TRUE;
    }
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        *out += " tools=" + std::to_string(d->tools.size());
        if (!d->active) *out += " inactive";
        for (const Tool& t : d->tools) {
            *out += "\n    - ";
            HWND tool = (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd;
            *out += "#" + std::to_string(IsWindow(tool) ? IdOf(tool) : 0) + " ";
            if (t.callback) *out += "(callback)";
            else AppendQuoted(*out, t.resource ? LoadText(t.hinst, t.resource) : t.text);
        }
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
