// msctls_updown32.  The default range is 100 (minimum) to 0 (maximum), as on
// Windows, so the up arrow decreases until a program sets a range.  A click on
// an arrow reads the buddy's number (UDS_SETBUDDYINT), sends UDN_DELTAPOS
// (a nonzero answer refuses the step), moves the position (wrapping with
// UDS_WRAP, else stopping at the ends), writes the buddy's text, then sends
// WM_VSCROLL (WM_HSCROLL with UDS_HORZ) with SB_THUMBPOSITION; the release sends
// SB_ENDSCROLL.  The arrow click gives the focus to an edit buddy.
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

constexpr int kWidth = 16;       // the arrows' width when aligned to the buddy
constexpr int kBuddyBorder = 2;  // overlap with a bordered buddy

struct UpDownData : ControlData {
    int min = 100;
    int max = 0;
    int pos = 0;
    int base = 10;
    HWND buddy = nullptr;
    HWND notify = nullptr;
    std::vector<UDACCEL> accel{{0, 1}};
    bool pressed = false;
};

UpDownData* Data(HWND hwnd) {
    return ControlOf<UpDownData>(hwnd);
}

bool InBounds(UpDownData* d, int v) {
    return v >= std::min(d->min, d->max) && v <= std::max(d->min, d->max);
}

int Clamp(UpDownData* d, int v) {
    return std::clamp(v, std::min(d->min, d->max), std::max(d->min, d->max));
}

bool BuddyIsEdit(UpDownData* d) {
    return d->buddy && IsClass(d->buddy, u"Edit");
}

nvx::WString Format(HWND hwnd, UpDownData* d, int value) {
    WCHAR text[32];
    if (d->base == 16) {
        nvx::WFormat(text, 32, WL("0x%04X"), static_cast<unsigned>(value));
        return text;
    }
    nvx::WFormat(text, 32, WL("%d"), value < 0 ? -value : value);
    nvx::WString digits(text);
    if (!(StyleOf(hwnd) & UDS_NOTHOUSANDS))
        for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), 1, ',');
    return value < 0 ? WL("-") + digits : digits;
}

// Reads the buddy's number into the position; false when it is not a number in range.
bool ReadBuddy(HWND hwnd, UpDownData* d) {
    if (!d->buddy || !(StyleOf(hwnd) & UDS_SETBUDDYINT) || !IsWindow(d->buddy)) return true;
    nvx::WString text = TextOf(d->buddy);
    if (IsClass(d->buddy, u"Edit") || IsClass(d->buddy, u"Static") || IsClass(d->buddy, u"ComboBox")) {
        WCHAR buffer[64] = {};
        GetWindowTextW(d->buddy, buffer, 64);
        text = buffer;
    }
    nvx::WString clean;
    for (WCHAR c : text)
        if (c != ',' && c != ' ') clean += c;
    if (clean.empty()) return false;
    long long v = 0;
    size_t i = 0;
    bool negative = false;
    if (d->base == 16) {
        if (clean.size() > 2 && clean[0] == '0' && (clean[1] == 'x' || clean[1] == 'X')) i = 2;
        if (i >= clean.size()) return false;
        for (; i < clean.size(); ++i) {
            WCHAR c = clean[i];
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0 || v > 0xFFFFFFF) return false;
            v = v * 16 + digit;
        }
    } else {
        if (clean[0] == '-') {
            negative = true;
            i = 1;
        }
        if (i >= clean.size()) return false;
        for (; i < clean.size(); ++i) {
            if (clean[i] < '0' || clean[i] > '9' || v > 0x7FFFFFFF) return false;
            v = v * 10 + (clean[i] - '0');
        }
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX || !InBounds(d, static_cast<int>(v))) return false;
    d->pos = static_cast<int>(v);
    return true;
}

void WriteBuddy(HWND hwnd, UpDownData* d) {
    if (!d->buddy || !(StyleOf(hwnd) & UDS_SETBUDDYINT) || !IsWindow(d->buddy)) return;
    nvx::WString text = Format(hwnd, d, d->pos);
    WCHAR current[64] = {};
    GetWindowTextW(d->buddy, current, 64);
    if (text != current) SetWindowTextW(d->buddy, text.c_str());
}

// Moves the position by delta; answers whether it changed.
bool Offset(HWND hwnd, UpDownData* d, int delta) {
    int lo = std::min(d->min, d->max);
    int hi = std::max(d->min, d->max);
    long long next = static_cast<long long>(d->pos) + delta;
    if (next < lo || next > hi) {
        if (StyleOf(hwnd) & UDS_WRAP) next = next > hi ? lo : hi;
        else next = std::clamp<long long>(next, lo, hi);
    }
    bool changed = next != d->pos;
    d->pos = static_cast<int>(next);
    return changed;
}

// One arrow click: UDN_DELTAPOS, the move, the buddy, WM_VSCROLL/WM_HSCROLL.
void Action(HWND hwnd, bool increment) {
    UpDownData* d = Data(hwnd);
    if (!d) return;
    ReadBuddy(hwnd, d);
    int delta = (increment ? 1 : -1) * (d->max < d->min ? -1 : 1) * static_cast<int>(d->accel.empty() ? 1 : d->accel[0].nInc);
    NMUPDOWN nm{};
    nm.iPos = d->pos;
    nm.iDelta = delta;
    HWND notify = d->notify;
    NMHDR* hdr = &nm.hdr;
    hdr->hwndFrom = hwnd;
    hdr->idFrom = static_cast<UINT_PTR>(IdOf(hwnd));
    hdr->code = UDN_DELTAPOS;
    LRESULT refused = notify ? Send(notify, WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(&nm)) : 0;
    if (!(d = Data(hwnd))) return;
    if (!refused && Offset(hwnd, d, nm.iDelta)) WriteBuddy(hwnd, d);
    if (!(d = Data(hwnd))) return;
    if (notify)
        Send(notify, (StyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, d->pos),
             reinterpret_cast<LPARAM>(hwnd));
}

// Aligns the arrows beside the buddy (UDS_ALIGNLEFT, UDS_ALIGNRIGHT).
void Align(HWND hwnd, UpDownData* d) {
    DWORD style = StyleOf(hwnd);
    if (!d->buddy || !(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT))) return;
    HWND parent = GetParent(d->buddy);
    RECT r;
    GetWindowRect(d->buddy, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    int x;
    if (style & UDS_ALIGNLEFT) {
        x = r.left;
        r.left += kWidth;
    } else {
        r.right -= kWidth;
        x = r.right;
    }
    SetWindowPos(d->buddy, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE | SWP_NOZORDER);
    int width = kWidth;
    bool bordered = (StyleOf(d->buddy) & WS_BORDER) || (ExStyleOf(d->buddy) & WS_EX_CLIENTEDGE);
    if (bordered) {
        if (style & UDS_ALIGNLEFT) width += kBuddyBorder;
        else x -= kBuddyBorder;
    }
    SetWindowPos(hwnd, nullptr, x, r.top, width, r.bottom - r.top, SWP_NOACTIVATE | SWP_NOZORDER);
}

HWND SetBuddy(HWND hwnd, UpDownData* d, HWND buddy) {
    HWND old = d->buddy;
    d->buddy = IsWindow(buddy) ? buddy : nullptr;
    Align(hwnd, d);
    return old;
}

}  // namespace

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<UpDownData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    UpDownData* d = Data(hwnd);
    if (!d) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        d->notify = GetParent(hwnd);
        if (StyleOf(hwnd) & UDS_AUTOBUDDY) SetBuddy(hwnd, d, GetWindow(hwnd, GW_HWNDPREV));
        return 0;
    case WM_GETDLGCODE: return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        RECT r;
        GetClientRect(hwnd, &r);
        bool horizontal = (StyleOf(hwnd) & UDS_HORZ) != 0;
        bool increment = horizontal ? GET_X_LPARAM(lParam) >= r.right / 2 : GET_Y_LPARAM(lParam) < r.bottom / 2;
        if (BuddyIsEdit(d)) SetFocus(d->buddy);
        if (!(d = Data(hwnd))) return 0;
        d->pressed = true;
        SetCapture(hwnd);
        Action(hwnd, increment);
        return 0;
    }
    case WM_LBUTTONUP:
        if (!d->pressed) return 0;
        d->pressed = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        if (d->notify)
            Send(d->notify, (StyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, d->pos),
                 reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) Action(hwnd, wParam == VK_UP);
        return 0;
    case WM_KEYUP:
        if ((wParam == VK_UP || wParam == VK_DOWN) && d->notify)
            Send(d->notify, (StyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, d->pos),
                 reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case UDM_SETBUDDY: return reinterpret_cast<LRESULT>(SetBuddy(hwnd, d, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(d->buddy);
    case UDM_SETRANGE:
        d->max = static_cast<short>(LOWORD(lParam));
        d->min = static_cast<short>(HIWORD(lParam));
        d->pos = Clamp(d, d->pos);
        WriteBuddy(hwnd, d);
        return 0;
    case UDM_GETRANGE: return MAKELONG(static_cast<short>(d->max), static_cast<short>(d->min));
    case UDM_SETRANGE32:
        d->min = static_cast<int>(static_cast<INT>(wParam));
        d->max = static_cast<int>(lParam);
        d->pos = Clamp(d, d->pos);
        WriteBuddy(hwnd, d);
        return 0;
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = d->min;
        if (lParam) *reinterpret_cast<int*>(lParam) = d->max;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        int old = d->pos;
        d->pos = Clamp(d, msg == UDM_SETPOS ? static_cast<short>(LOWORD(lParam)) : static_cast<int>(lParam));
        WriteBuddy(hwnd, d);
        return old;
    }
    case UDM_GETPOS: {
        bool ok = ReadBuddy(hwnd, d);
        return MAKELONG(static_cast<short>(d->pos), ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
        bool ok = ReadBuddy(hwnd, d);
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = ok ? FALSE : TRUE;
        return d->pos;
    }
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16) return 0;
        int old = d->base;
        d->base = static_cast<int>(wParam);
        WriteBuddy(hwnd, d);
        return old;
    }
    case UDM_GETBASE: return d->base;
    case UDM_SETACCEL: {
        auto* accel = reinterpret_cast<const UDACCEL*>(lParam);
        if (!accel && wParam) return FALSE;
        d->accel.assign(accel, accel + wParam);
        return TRUE;
    }
    case UDM_GETACCEL: {
        auto* out = reinterpret_cast<UDACCEL*>(lParam);
        size_t n = std::min<size_t>(wParam, d->accel.size());
        for (size_t i = 0; out && i < n; ++i) out[i] = d->accel[i];
        return static_cast<LRESULT>(d->accel.size());
    }
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        *out += " range=" + std::to_string(d->min) + ".." + std::to_string(d->max) + " pos=" + std::to_string(d->pos);
        if (d->base == 16) *out += " hex";
        if (d->buddy) *out += " buddy=#" + std::to_string(IdOf(d->buddy));
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
