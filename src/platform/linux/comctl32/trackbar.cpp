// msctls_trackbar32 and msctls_progress32 (SysAnimate32: comctl32/animate.cpp).
//
// Trackbar: a drag of the thumb takes the focus and sends WM_HSCROLL (WM_VSCROLL
// with TBS_VERT) with TB_THUMBTRACK at the new position, then TB_THUMBPOSITION
// and TB_ENDTRACK, then NM_RELEASEDCAPTURE.  Arrow keys send TB_LINEUP or
// TB_LINEDOWN, and TB_ENDTRACK when the key comes up.
//
// Progress bar: range, position and step are kept.
#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct TrackData : ControlData {
    int min = 0, max = 100, pos = 0;
    int page = 20, line = 1, freq = 1;
    int selStart = 0, selEnd = 0;
    std::vector<int> tics;
    HWND buddyLeft = nullptr, buddyRight = nullptr;
};

int Clamp(TrackData* t, int v) {
    return std::clamp(v, std::min(t->min, t->max), std::max(t->min, t->max));
}

void Scroll(HWND hwnd, int code, int pos) {
    if (HWND parent = GetParent(hwnd))
        Send(parent, (StyleOf(hwnd) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos),
             reinterpret_cast<LPARAM>(hwnd));
}

struct ProgressData : ControlData {
    int low = 0, high = 100, pos = 0, step = 10;
    COLORREF bar = CLR_DEFAULT, bk = CLR_DEFAULT;
    int state = 1;  // PBST_NORMAL
    bool marquee = false;
};

}  // namespace

LRESULT CALLBACK TrackBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<TrackData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* t = ControlOf<TrackData>(hwnd);
    if (!t) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case kTrackDrag: {
        SetFocus(hwnd);
        if (!(t = ControlOf<TrackData>(hwnd))) return 0;
        SetCapture(hwnd);
        t->pos = Clamp(t, static_cast<int>(static_cast<INT>(wParam)));
        InvalidateRect(hwnd, nullptr, TRUE);
        int pos = t->pos;
        Scroll(hwnd, TB_THUMBTRACK, pos);
        Scroll(hwnd, TB_THUMBPOSITION, pos);
        Scroll(hwnd, TB_ENDTRACK, 0);
        if (GetCapture() == hwnd) ReleaseCapture();
        NMHDR nm{};
        NotifyParent(hwnd, &nm, NM_RELEASEDCAPTURE);
        return 0;
    }
    case WM_KEYDOWN: {
        int code;
        int delta;
        switch (wParam) {
        case VK_LEFT:
        case VK_UP: code = TB_LINEUP; delta = -t->line; break;
        case VK_RIGHT:
        case VK_DOWN: code = TB_LINEDOWN; delta = t->line; break;
        case VK_PRIOR: code = TB_PAGEUP; delta = -t->page; break;
        case VK_NEXT: code = TB_PAGEDOWN; delta = t->page; break;
        case VK_HOME: code = TB_TOP; delta = t->min - t->pos; break;
        case VK_END: code = TB_BOTTOM; delta = t->max - t->pos; break;
        default: return 0;
        }
        int next = Clamp(t, t->pos + delta);
        if (next == t->pos) return 0;
        t->pos = next;
        InvalidateRect(hwnd, nullptr, TRUE);
        Scroll(hwnd, code, 0);
        return 0;
    }
    case WM_KEYUP:
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR ||
            wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END)
            Scroll(hwnd, TB_ENDTRACK, 0);
        return 0;
    case TBM_GETPOS: return t->pos;
    case TBM_SETPOS:
        t->pos = Clamp(t, static_cast<int>(lParam));
        if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case TBM_SETRANGE:
        t->min = static_cast<short>(LOWORD(lParam));
        t->max = static_cast<short>(HIWORD(lParam));
        t->pos = Clamp(t, t->pos);
        t->page = std::max(1, (t->max - t->min) / 5);
        return 0;
    case TBM_SETRANGEMIN:
        t->min = static_cast<int>(lParam);
        t->pos = Clamp(t, t->pos);
        return 0;
    case TBM_SETRANGEMAX:
        t->max = static_cast<int>(lParam);
        t->pos = Clamp(t, t->pos);
        return 0;
    case TBM_GETRANGEMIN: return t->min;
    case TBM_GETRANGEMAX: return t->max;
    case TBM_SETPAGESIZE: return std::exchange(t->page, static_cast<int>(lParam));
    case TBM_GETPAGESIZE: return t->page;
    case TBM_SETLINESIZE: return std::exchange(t->line, static_cast<int>(lParam));
    case TBM_GETLINESIZE: return t->line;
    case TBM_SETTICFREQ: t->freq = static_cast<int>(wParam); return 0;
    case TBM_SETTIC: {
        int tic = static_cast<int>(lParam);
        if (tic < t->min || tic > t->max) return FALSE;
        t->tics.push_back(tic);
        return TRUE;
    }
    case TBM_GETTIC: return static_cast<size_t>(wParam) < t->tics.size() ? t->tics[wParam] : -1;
    case TBM_GETNUMTICS: return (StyleOf(hwnd) & TBS_NOTICKS) ? 0 : static_cast<LRESULT>(t->tics.size()) + 2;
    case TBM_CLEARTICS: t->tics.clear(); return 0;
    case TBM_SETSEL:
        t->selStart = static_cast<short>(LOWORD(lParam));
        t->selEnd = static_cast<short>(HIWORD(lParam));
        return 0;
    case TBM_SETSELSTART: t->selStart = static_cast<int>(lParam); return 0;
    case TBM_SETSELEND: t->selEnd = static_cast<int>(lParam); return 0;
    case TBM_GETSELSTART: return t->selStart;
    case TBM_GETSELEND: return t->selEnd;
    case TBM_CLEARSEL: t->selStart = t->selEnd = 0; return 0;
    case TBM_SETBUDDY: {
        HWND& slot = wParam ? t->buddyLeft : t->buddyRight;
        return reinterpret_cast<LRESULT>(std::exchange(slot, reinterpret_cast<HWND>(lParam)));
    }
    case TBM_GETBUDDY: return reinterpret_cast<LRESULT>(wParam ? t->buddyLeft : t->buddyRight);
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (out) *out += " range=" + std::to_string(t->min) + ".." + std::to_string(t->max) + " pos=" + std::to_string(t->pos);
        return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<ProgressData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* p = ControlOf<ProgressData>(hwnd);
    if (!p) return DefWindowProcW(hwnd, msg, wParam, lParam);
    auto clamp = [&](int v) { return std::clamp(v, std::min(p->low, p->high), std::max(p->low, p->high)); };
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case PBM_SETRANGE: {
        LRESULT old = MAKELONG(p->low, p->high);
        p->low = LOWORD(lParam);
        p->high = HIWORD(lParam);
        p->pos = clamp(p->pos);
        return old;
    }
    case PBM_SETRANGE32: {
        LRESULT old = MAKELONG(p->low, p->high);
        p->low = static_cast<int>(static_cast<INT>(wParam));
        p->high = static_cast<int>(lParam);
        p->pos = clamp(p->pos);
        return old;
    }
    case PBM_GETRANGE: {
        if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{p->low, p->high};
        return wParam ? p->low : p->high;
    }
    case PBM_SETPOS: {
        int old = p->pos;
        p->pos = clamp(static_cast<int>(static_cast<INT>(wParam)));
        InvalidateRect(hwnd, nullptr, TRUE);
        return old;
    }
    case PBM_DELTAPOS: {
        int old = p->pos;
        p->pos = clamp(p->pos + static_cast<int>(static_cast<INT>(wParam)));
        return old;
    }
    case PBM_SETSTEP: return std::exchange(p->step, static_cast<int>(static_cast<INT>(wParam)));
    case PBM_GETSTEP: return p->step;
    case PBM_STEPIT: {
        int old = p->pos;
        int next = p->pos + p->step;
        int hi = std::max(p->low, p->high);
        p->pos = next > hi ? std::min(p->low, p->high) + (next - hi) : next;  // wraps as Windows does
        p->pos = clamp(p->pos);
        return old;
    }
    case PBM_GETPOS: return p->pos;
    case PBM_SETBARCOLOR: return std::exchange(p->bar, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR: return std::exchange(p->bk, static_cast<COLORREF>(lParam));
    case PBM_SETMARQUEE: p->marquee = wParam != 0; return TRUE;
    case PBM_SETSTATE: return std::exchange(p->state, static_cast<int>(wParam));
    case PBM_GETSTATE: return p->state;
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (out) *out += " range=" + std::to_string(p->low) + ".." + std::to_string(p->high) + " pos=" + std::to_string(p->pos);
        return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// Calls of InitCommonControls(Ex), for NvxPlatform_CommonControlsInitCount.
std::atomic<unsigned> g_commonControlsInits{0};

}  // namespace nvxp

extern "C" {

NVXAPI BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    nvxp::EnsureUserInit();
    ++nvxp::g_commonControlsInits;
    return TRUE;
}

NVXAPI void WINAPI InitCommonControls(void) {
    nvxp::EnsureUserInit();
    ++nvxp::g_commonControlsInits;
}

NVXAPI unsigned NvxPlatform_CommonControlsInitCount(void) {
    return nvxp::g_commonControlsInits.load();
}

}  // extern "C"
