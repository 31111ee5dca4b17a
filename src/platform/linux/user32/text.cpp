// Window text and the dialog-item helpers built on messages: SetWindowTextW,
// GetDlgItem, Get/SetDlgItemText/Int, CheckDlgButton, CheckRadioButton.
#include <climits>

#include "platform/linux/user32/user_internal.h"

using nvxp::Fail;

namespace {

constexpr DWORD kControlIdNotFound = ERROR_CONTROL_ID_NOT_FOUND;

// Reads an integer as GetDlgItemInt does: leading blanks skipped, an optional
// sign (minus only when signed), decimal digits up to the first other character.
// Answers false when there are no digits or the value does not fit.
bool ParseDlgInt(const nvx::WString& text, bool isSigned, long long* value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-' && !isSigned) return false;
        negative = text[i] == '-';
        ++i;
    }
    size_t digits = 0;
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        v = v * 10 + (text[i] - '0');
        if (v > 0xFFFFFFFFLL) return false;
    }
    if (!digits) return false;
    if (negative) v = -v;
    if (isSigned ? (v < INT_MIN || v > INT_MAX) : v > UINT_MAX) return false;
    *value = v;
    return true;
}

}  // namespace

extern "C" {

NVXAPI BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    return static_cast<BOOL>(nvxp::Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

// Copies up to nMaxCount - 1 characters; answers the count copied (0 on failure).
NVXAPI int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (!nvxp::CheckWindow(hWnd)) {
        if (lpString && nMaxCount > 0) lpString[0] = 0;
        return 0;
    }
    if (!lpString || nMaxCount <= 0) return 0;
    lpString[0] = 0;
    return static_cast<int>(nvxp::Send(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                       reinterpret_cast<LPARAM>(lpString)));
}

NVXAPI int WINAPI GetWindowTextLengthW(HWND hWnd) {
    if (!nvxp::CheckWindow(hWnd)) return 0;
    return static_cast<int>(nvxp::Send(hWnd, WM_GETTEXTLENGTH));
}

// The first direct child with this control id.
NVXAPI HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (!nvxp::CheckWindow(hDlg)) return nullptr;
    for (HWND child : nvxp::ChildHandles(hDlg))
        if (static_cast<int>(GetWindowLongPtrW(child, GWLP_ID)) == nIDDlgItem) return child;
    return Fail(kControlIdNotFound, HWND(nullptr));
}

NVXAPI int WINAPI GetDlgCtrlID(HWND hWnd) {
    if (!nvxp::CheckWindow(hWnd)) return 0;
    return static_cast<int>(GetWindowLongPtrW(hWnd, GWLP_ID));
}

NVXAPI BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowTextW(item, lpString) : FALSE;
}

NVXAPI UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item) {
        if (lpString && cchMax > 0) lpString[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(item, lpString, cchMax));
}

NVXAPI BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
    WCHAR text[16];
    if (bSigned)
        nvx::WFormat(text, 16, WL("%d"), static_cast<int>(uValue));
    else
        nvx::WFormat(text, 16, WL("%u"), uValue);
    return SetDlgItemTextW(hDlg, nIDDlgItem, text);
}

NVXAPI UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
    if (lpTranslated) *lpTranslated = FALSE;
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item) return 0;
    WCHAR text[64] = {};
    GetWindowTextW(item, text, 64);
    long long value = 0;
    if (!ParseDlgInt(text, bSigned != FALSE, &value)) return 0;
    if (lpTranslated) *lpTranslated = TRUE;
    return static_cast<UINT>(value);
}

NVXAPI BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (!item) return FALSE;
    nvxp::Send(item, BM_SETCHECK, uCheck);
    return TRUE;
}

NVXAPI UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    return item ? static_cast<UINT>(nvxp::Send(item, BM_GETCHECK)) : 0;
}

// Checks nIDCheckButton and unchecks the other children whose ids are in range.
NVXAPI BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    if (!nvxp::CheckWindow(hDlg)) return FALSE;
    for (HWND child : nvxp::ChildHandles(hDlg)) {
        int id = GetDlgCtrlID(child);
        if (id < nIDFirstButton || id > nIDLastButton) continue;
        nvxp::Send(child, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED);
    }
    return TRUE;
}

}  // extern "C"
