// Scroll bars: the standard bars of a window (WS_HSCROLL, WS_VSCROLL) and the
// ScrollBar control (SB_CTL, SBM_ messages).  Position is kept within
// [min, max - max(page - 1, 0)].
#include <algorithm>
#include <string>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct ScrollBarControl : ControlData {
    ScrollBarState state;
};

int Clamp(const ScrollBarState& s, int pos) {
    int top = s.max - std::max(static_cast<int>(s.page) - 1, 0);
    return std::max(s.min, std::min(pos, std::max(s.min, top)));
}

// Applies a SCROLLINFO; answers the new position.
int Apply(ScrollBarState& s, const SCROLLINFO& si) {
    if (si.fMask & SIF_RANGE) {
        s.min = si.nMin;
        s.max = si.nMax;
    }
    if (si.fMask & SIF_PAGE) s.page = static_cast<int>(std::min<UINT>(si.nPage, static_cast<UINT>(s.max - s.min + 1)));
    if (si.fMask & SIF_POS) s.pos = si.nPos;
    s.pos = Clamp(s, s.pos);
    return s.pos;
}

void Fill(const ScrollBarState& s, SCROLLINFO* si) {
    if (si->fMask & SIF_RANGE) {
        si->nMin = s.min;
        si->nMax = s.max;
    }
    if (si->fMask & SIF_PAGE) si->nPage = static_cast<UINT>(s.page);
    if (si->fMask & SIF_POS) si->nPos = s.pos;
    if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s.trackPos;
}

// Runs f on the state of a window bar (under the lock) or of a control.
template <typename F>
bool WithBar(HWND hwnd, int bar, F&& f) {
    if (bar == SB_CTL) {
        auto* c = ControlOf<ScrollBarControl>(hwnd);
        if (!c) return false;
        f(c->state);
        return true;
    }
    if (bar != SB_HORZ && bar != SB_VERT) return false;
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return false;
    f(w->scroll[bar]);
    return true;
}

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* c = ControlOf<ScrollBarControl>(hwnd);
    switch (msg) {
    case WM_NCCREATE:
        AttachControl(hwnd, std::make_unique<ScrollBarControl>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case SBM_SETPOS: {
        if (!c) return 0;
        int old = c->state.pos;
        c->state.pos = Clamp(c->state, static_cast<int>(wParam));
        return old;
    }
    case SBM_GETPOS: return c ? c->state.pos : 0;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
        if (!c) return 0;
        c->state.min = static_cast<int>(wParam);
        c->state.max = static_cast<int>(lParam);
        c->state.pos = Clamp(c->state, c->state.pos);
        return c->state.pos;
    case SBM_GETRANGE:
        if (c && wParam) *reinterpret_cast<int*>(wParam) = c->state.min;
        if (c && lParam) *reinterpret_cast<int*>(lParam) = c->state.max;
        return 0;
    case SBM_SETSCROLLINFO:
        return c && lParam ? Apply(c->state, *reinterpret_cast<const SCROLLINFO*>(lParam)) : 0;
    case SBM_GETSCROLLINFO:
        if (!c || !lParam) return FALSE;
        Fill(c->state, reinterpret_cast<SCROLLINFO*>(lParam));
        return TRUE;
    case SBM_ENABLE_ARROWS: return TRUE;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case kDescribeMessage:
        if (c && lParam) {
            auto* out = reinterpret_cast<std::string*>(lParam);
            *out += " range=" + std::to_string(c->state.min) + ".." + std::to_string(c->state.max) +
                    " pos=" + std::to_string(c->state.pos);
        }
        return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp

extern "C" {

NVXAPI int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
    (void)redraw;
    if (!lpsi) return 0;
    int pos = 0;
    if (nBar == SB_CTL) return static_cast<int>(SendMessageW(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(lpsi)));
    nvxp::WithBar(hwnd, nBar, [&](nvxp::ScrollBarState& s) { pos = nvxp::Apply(s, *lpsi); });
    return pos;
}

NVXAPI BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
    if (!lpsi) return FALSE;
    if (nBar == SB_CTL) return static_cast<BOOL>(SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
    return nvxp::WithBar(hwnd, nBar, [&](nvxp::ScrollBarState& s) { nvxp::Fill(s, lpsi); });
}

NVXAPI int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    if (nBar == SB_CTL) return static_cast<int>(SendMessageW(hWnd, SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
    int old = 0;
    nvxp::WithBar(hWnd, nBar, [&](nvxp::ScrollBarState& s) {
        old = s.pos;
        s.pos = nvxp::Clamp(s, nPos);
    });
    return old;
}

NVXAPI int WINAPI GetScrollPos(HWND hWnd, int nBar) {
    int pos = 0;
    if (nBar == SB_CTL) return static_cast<int>(SendMessageW(hWnd, SBM_GETPOS, 0, 0));
    nvxp::WithBar(hWnd, nBar, [&](nvxp::ScrollBarState& s) { pos = s.pos; });
    return pos;
}

NVXAPI BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    if (nBar == SB_CTL) {
        SendMessageW(hWnd, bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(nMinPos), nMaxPos);
        return TRUE;
    }
    return nvxp::WithBar(hWnd, nBar, [&](nvxp::ScrollBarState& s) {
        s.min = nMinPos;
        s.max = nMaxPos;
        s.pos = nvxp::Clamp(s, s.pos);
    });
}

NVXAPI BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
    if (!lpMinPos || !lpMaxPos) return FALSE;
    if (nBar == SB_CTL) {
        SendMessageW(hWnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos), reinterpret_cast<LPARAM>(lpMaxPos));
        return TRUE;
    }
    return nvxp::WithBar(hWnd, nBar, [&](nvxp::ScrollBarState& s) {
        *lpMinPos = s.min;
        *lpMaxPos = s.max;
    });
}

NVXAPI BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    if (wBar == SB_CTL) return ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE), TRUE;
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (wBar != SB_BOTH && wBar != bar) continue;
        nvxp::WithBar(hWnd, bar, [&](nvxp::ScrollBarState& s) { s.shown = bShow != FALSE; });
        DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
        nvxp::SetStyleBits(hWnd, bShow ? bit : 0, bShow ? 0 : bit);
    }
    return TRUE;
}

NVXAPI BOOL WINAPI EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
    (void)wSBflags;
    (void)wArrows;
    return nvxp::CheckWindow(hWnd);
}

}  // extern "C"
