// Small helpers of the window manager: thread identity, time, text copies and
// the rectangle functions of USER32.
#include <algorithm>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {

DWORD CurrentThreadId() {
    return GetCurrentThreadId();
}

DWORD CurrentProcessId() {
    return GetCurrentProcessId();
}

DWORD TickNow() {
    return GetTickCount();
}

std::recursive_mutex& UiMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

nvx::WString SafeText(LPCWSTR s) {
    if (!s || IS_INTRESOURCE(s)) return {};
    return nvx::WString(s);
}

int CopyOut(nvx::WStringView text, WCHAR* buffer, size_t cap) {
    if (!buffer || cap == 0) return 0;
    size_t n = std::min(text.size(), cap - 1);
    std::copy(text.begin(), text.begin() + n, buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

void AppendQuoted(std::string& out, nvx::WStringView text) {
    std::string utf8 = nvx::Utf8FromW(text);
    out += '"';
    for (char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\x";
                out += hex[(c >> 4) & 0xF];
                out += hex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

int MulDivRound(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(value) * numerator;
    long long half = (denominator > 0 ? denominator : -denominator) / 2;
    // Rounds half away from zero, as MulDiv does.
    bool negative = (product < 0) != (denominator < 0);
    long long magnitude = (product < 0 ? -product : product) + half;
    long long quotient = magnitude / (denominator > 0 ? denominator : -denominator);
    return static_cast<int>(negative ? -quotient : quotient);
}

}  // namespace nvxp

using nvxp::Fail;

extern "C" {

NVXAPI BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

NVXAPI BOOL WINAPI SetRectEmpty(LPRECT lprc) {
    if (!lprc) return FALSE;
    *lprc = RECT{};
    return TRUE;
}

NVXAPI BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
    if (!lprcDst || !lprcSrc) return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

NVXAPI BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    lprc->left -= dx;
    lprc->top -= dy;
    lprc->right += dx;
    lprc->bottom += dy;
    return TRUE;
}

NVXAPI BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

NVXAPI BOOL WINAPI IsRectEmpty(const RECT* lprc) {
    return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

NVXAPI BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

NVXAPI BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

// Answers FALSE and an empty rectangle when the two do not overlap.
NVXAPI BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || r.left >= r.right || r.top >= r.bottom) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

NVXAPI BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) {
            *dst = RECT{};
            return FALSE;
        }
        *dst = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

// The part of a that b does not cover, when b cuts a whole side off; else a.
NVXAPI BOOL WINAPI SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r = *a;
    RECT overlap;
    if (IntersectRect(&overlap, a, b)) {
        if (overlap.top == r.top && overlap.bottom == r.bottom) {
            if (overlap.left == r.left) r.left = overlap.right;
            else if (overlap.right == r.right) r.right = overlap.left;
        } else if (overlap.left == r.left && overlap.right == r.right) {
            if (overlap.top == r.top) r.top = overlap.bottom;
            else if (overlap.bottom == r.bottom) r.bottom = overlap.top;
        }
    }
    if (IsRectEmpty(&r)) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

}  // extern "C"
