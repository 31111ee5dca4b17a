// Dialogs: creation from binary templates (WM_SETFONT to the dialog and each
// control, WM_INITDIALOG, the initial focus), the dialog manager's default
// procedure DefDlgProcW (default push button, saved focus, WM_NEXTDLGCTL,
// WM_CLOSE as IDCANCEL), EndDialog and dialog units.
//
// Dialog units: a dialog with DS_SETFONT uses the base units of its font (the
// fixed metric of gdi32/gdi.cpp: 8-point MS Shell Dlg gives 6x13); one without
// uses the system font's 8x16, which GetDialogBaseUnits also answers.
#include <cstring>

#include "platform/linux/user32/user_dlgtemplate.h"
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct DialogData : ControlData {
    HFONT font = nullptr;
    bool ownsFont = false;
    SIZE base{8, 16};
    int defId = 0;
    HWND savedFocus = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    HWND disabledOwner = nullptr;
    int resourceId = 0;
    ~DialogData() override {
        if (ownsFont && font) DeleteObject(font);
    }
};

DialogData* Data(HWND hwnd, bool create) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return nullptr;
    if (!w->dialog && create) w->dialog = std::make_unique<DialogData>();
    return dynamic_cast<DialogData*>(w->dialog.get());
}

// The extra bytes of DWLP_* (written directly: no message traffic, no last error).
LONG_PTR DlgLong(HWND hwnd, int offset) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    if (!w || static_cast<size_t>(offset) + sizeof(LONG_PTR) > w->extra.size()) return 0;
    LONG_PTR v;
    memcpy(&v, w->extra.data() + offset, sizeof v);
    return v;
}

void SetDlgLong(HWND hwnd, int offset, LONG_PTR value) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    if (w && static_cast<size_t>(offset) + sizeof(LONG_PTR) <= w->extra.size())
        memcpy(w->extra.data() + offset, &value, sizeof value);
}

HWND FindDefButton(HWND dialog) {
    for (HWND child : ChildHandles(dialog)) {
        if (Send(child, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON) return child;
        if ((ExStyleOf(child) & WS_EX_CONTROLPARENT) && (StyleOf(child) & WS_VISIBLE))
            if (HWND inner = FindDefButton(child)) return inner;
    }
    return nullptr;
}

// Makes `id` the default push button (DM_SETDEFID).
void SetDefId(HWND dialog, DialogData* d, int id) {
    HWND newButton = GetDlgItem(dialog, id);
    int oldId = d->defId;
    d->defId = id;
    DWORD code = newButton ? static_cast<DWORD>(Send(newButton, WM_GETDLGCODE)) : 0;
    if (newButton && !(code & (DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON))) return;
    HWND old = GetDlgItem(dialog, oldId);
    if (!old || !(Send(old, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON)) old = FindDefButton(dialog);
    if (old && old != newButton) Send(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (newButton && (code & DLGC_UNDEFPUSHBUTTON)) Send(newButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// The focus moved to `target`: a push button there looks default, else the default id does.
void SetDefButton(HWND dialog, DialogData* d, HWND target) {
    HWND old = GetDlgItem(dialog, d->defId);
    DWORD code = target ? static_cast<DWORD>(Send(target, WM_GETDLGCODE)) : 0;
    if (target && !(code & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON))) {
        target = old;
        code = target ? static_cast<DWORD>(Send(target, WM_GETDLGCODE)) : 0;
    }
    if (!old || !(Send(old, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON)) old = FindDefButton(dialog);
    if (old && old != target) Send(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (target && (code & DLGC_UNDEFPUSHBUTTON)) Send(target, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void SaveFocus(HWND dialog) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(dialog, focus)) return;
    if (DialogData* d = Data(dialog, false)) d->savedFocus = focus;
}

void RestoreFocus(HWND dialog, bool justActivate) {
    if (IsIconic(dialog)) return;
    DialogData* d = Data(dialog, false);
    if (!d || d->ended) return;
    HWND focus = d->savedFocus;
    if (!IsWindow(focus) || focus == dialog) {
        if (justActivate) return;
        focus = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (!focus) focus = GetNextDlgGroupItem(dialog, nullptr, FALSE);
        if (!IsWindow(focus)) return;
    }
    if (justActivate)
        SetFocus(focus);
    else
        DialogSetFocus(focus);
    if ((d = Data(dialog, false))) d->savedFocus = nullptr;
}

LRESULT DefaultDialogHandling(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DialogData* d) {
    switch (msg) {
    case WM_ERASEBKGND: {
        auto brush = reinterpret_cast<HBRUSH>(Send(hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd)));
        if (!brush) brush = GetSysColorBrush(COLOR_3DFACE);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        return 1;
    }
    case WM_SHOWWINDOW:
        if (!wParam) SaveFocus(hwnd);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_ACTIVATE:
        if (wParam) RestoreFocus(hwnd, true);
        else SaveFocus(hwnd);
        return 0;
    case WM_SETFOCUS:
        RestoreFocus(hwnd, false);
        return 0;
    case DM_SETDEFID:
        if (d && !d->ended) SetDefId(hwnd, d, static_cast<int>(wParam));
        return 1;
    case DM_GETDEFID: {
        if (!d) return 0;
        if (d->defId) return MAKELONG(d->defId, DC_HASDEFID);
        if (HWND def = FindDefButton(hwnd)) return MAKELONG(GetDlgCtrlID(def), DC_HASDEFID);
        return 0;
    }
    case WM_NEXTDLGCTL: {
        if (!d) return 0;
        HWND target = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
        if (target) DialogSetFocus(target);
        SetDefButton(hwnd, d, target);
        return 0;
    }
    case WM_ENTERMENULOOP:
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
        if (HWND focus = GetFocus())
            if (!Send(focus, CB_SHOWDROPDOWN, FALSE)) Send(GetParent(focus), CB_SHOWDROPDOWN, FALSE);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    case WM_GETFONT:
        return d ? reinterpret_cast<LRESULT>(d->font) : 0;
    case WM_CLOSE:
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// Where a dialog of this size goes: the template position in the owner's
// client area (or on the screen with DS_ABSALIGN), centred with DS_CENTER, kept
// inside the work area.
POINT DialogPosition(const DialogTemplateInfo& t, DWORD style, SIZE base, RECT frame, HWND owner) {
    POINT pos{frame.left, frame.top};
    SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    RECT work = WorkArea();
    if (style & (DS_CENTER | DS_CENTERMOUSE)) {
        return POINT{(work.left + work.right - size.cx) / 2, (work.top + work.bottom - size.cy) / 2};
    }
    pos.x += MulDivRound(t.x, base.cx, 4);
    pos.y += MulDivRound(t.y, base.cy, 8);
    if (!(style & (WS_CHILD | DS_ABSALIGN)) && owner) {
        POINT origin = ClientOriginOnScreen(owner);
        pos.x += origin.x;
        pos.y += origin.y;
    }
    if (!(style & WS_CHILD)) {
        int dx = pos.x + size.cx + GetSystemMetrics(SM_CXDLGFRAME) - work.right;
        int dy = pos.y + size.cy + GetSystemMetrics(SM_CYDLGFRAME) - work.bottom;
        if (dx > 0) pos.x -= dx;
        if (dy > 0) pos.y -= dy;
        if (pos.x < work.left) pos.x = work.left;
        if (pos.y < work.top) pos.y = work.top;
    }
    return pos;
}

HFONT DialogFont(const DialogTemplateInfo& t) {
    int height = t.pointSize == 0x7FFF ? -12 : -MulDivRound(t.pointSize, 96, 72);
    const WCHAR* face = t.pointSize == 0x7FFF ? WL("Segoe UI") : t.face.c_str();
    return CreateFontW(height, 0, 0, 0, t.weight, t.italic, FALSE, FALSE, t.charSet, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

bool CreateControls(HWND dialog, const DialogTemplateInfo& t, HINSTANCE instance, DialogData* d) {
    HWND defButton = nullptr;
    for (const DialogItemTemplate& item : t.items) {
        nvx::WString className =
            item.className.ordinal ? nvx::WString(PredefinedClassName(item.className.id)
                                                      ? PredefinedClassName(item.className.id)
                                                      : u"")
                                   : item.className.text;
        LPCWSTR title = item.title.ordinal ? MAKEINTRESOURCEW(item.title.id) : item.title.text.c_str();
        HWND control = CreateWindowExW(
            item.exStyle | WS_EX_NOPARENTNOTIFY, className.c_str(), title, item.style | WS_CHILD,
            MulDivRound(item.x, d->base.cx, 4), MulDivRound(item.y, d->base.cy, 8),
            MulDivRound(item.cx, d->base.cx, 4), MulDivRound(item.cy, d->base.cy, 8), dialog,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, const_cast<BYTE*>(item.data));
        if (!IsWindow(dialog)) return false;
        if (!control) {
            if (t.style & DS_NOFAILCREATE) continue;
            return false;
        }
        if (d->font) Send(control, WM_SETFONT, reinterpret_cast<WPARAM>(d->font), FALSE);
        if (Send(control, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON) {
            if (defButton) Send(defButton, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
            defButton = control;
            if ((d = Data(dialog, false))) d->defId = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
        }
        if (!(d = Data(dialog, false))) return false;
    }
    return true;
}

}  // namespace

SIZE DialogBaseUnitsOf(HWND dialog) {
    DialogData* d = Data(dialog, false);
    return d ? d->base : SIZE{8, 16};
}

HWND DialogAncestor(HWND hwnd) {
    for (HWND h = hwnd; h && h != DesktopHandle(); h = GetAncestor(h, GA_PARENT))
        if (Data(h, false)) return h;
    return nullptr;
}

void DialogSetFocus(HWND control) {
    if (Send(control, WM_GETDLGCODE) & DLGC_HASSETSEL) Send(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

int DialogResourceId(HWND dialog) {
    DialogData* d = Data(dialog, false);
    return d ? d->resourceId : 0;
}

bool DialogEnded(HWND dialog, INT_PTR* result) {
    DialogData* d = Data(dialog, false);
    if (!d) return true;
    if (result) *result = d->result;
    return d->ended;
}

const void* FindDialogTemplate(HINSTANCE instance, LPCWSTR name, size_t* size) {
    HRSRC info = FindResourceW(instance, name, RT_DIALOG);
    if (!info) return nullptr;
    *size = SizeofResource(instance, info);
    return LockResource(LoadResource(instance, info));
}

bool TemplateClientSize(const void* data, size_t size, SIZE* pixels, nvx::WString* caption) {
    DialogTemplateInfo t;
    if (!ParseDialogTemplate(data, size, &t)) return false;
    SIZE base{8, 16};
    if (t.hasFont) {
        HFONT font = DialogFont(t);
        base = FontCharSize(font);
        DeleteObject(font);
    }
    if (pixels) *pixels = SIZE{MulDivRound(t.cx, base.cx, 4), MulDivRound(t.cy, base.cy, 8)};
    if (caption) *caption = t.title;
    return true;
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const void* data, size_t size, HWND parent, DLGPROC proc,
                              LPARAM param, bool modal, HWND* disabledOwner, int resourceId,
                              const TemplateAdjust* adjust) {
    if (disabledOwner) *disabledOwner = nullptr;
    DialogTemplateInfo t;
    if (!ParseDialogTemplate(data, size, &t)) return Fail(ERROR_INVALID_DATA, HWND(nullptr));
    if (adjust) {
        t.style = (t.style & ~adjust->styleClear) | adjust->styleSet;
        t.exStyle |= adjust->exStyleSet;
    }
    if (parent && !CheckWindow(parent)) return nullptr;
    HWND owner = parent;
    if (modal && owner) {
        while ((StyleOf(owner) & (WS_POPUP | WS_CHILD)) == WS_CHILD) {
            HWND up = GetParent(owner);
            if (!up || up == DesktopHandle()) break;
            owner = up;
        }
        if (IsWindowEnabled(owner)) {
            if (HWND capture = GetCapture()) Send(capture, WM_CANCELMODE);
            EnableWindow(owner, FALSE);
            if (disabledOwner) *disabledOwner = owner;
        }
    }
    HFONT font = nullptr;
    SIZE base{8, 16};
    if (t.hasFont) {
        font = DialogFont(t);
        base = FontCharSize(font);
    }
    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    if (style & DS_CONTEXTHELP) exStyle |= WS_EX_CONTEXTHELP;
    RECT frame{0, 0, MulDivRound(t.cx, base.cx, 4), MulDivRound(t.cy, base.cy, 8)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    POINT pos = DialogPosition(t, style, base, frame, owner);
    nvx::WString className = t.className.present && !t.className.ordinal ? t.className.text : nvx::WString();
    LPCWSTR cls = !t.className.present ? WC_DIALOG
                  : t.className.ordinal ? MAKEINTATOM(t.className.id)
                                        : className.c_str();
    HWND hwnd = CreateWindowExW(exStyle, cls, t.title.c_str(), style & ~WS_VISIBLE, pos.x, pos.y,
                                frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, nullptr);
    if (!hwnd) {
        if (font) DeleteObject(font);
        if (disabledOwner && *disabledOwner) EnableWindow(*disabledOwner, TRUE);
        return nullptr;
    }
    DialogData* d = Data(hwnd, true);
    d->font = font;
    d->ownsFont = font != nullptr;
    d->base = base;
    d->resourceId = resourceId;
    d->disabledOwner = disabledOwner ? *disabledOwner : nullptr;
    SetDlgLong(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (font) Send(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    if (!IsWindow(hwnd) || !CreateControls(hwnd, t, instance, d)) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        if (disabledOwner && *disabledOwner) EnableWindow(*disabledOwner, TRUE);
        return nullptr;
    }
    HWND focus = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    if (!focus) focus = GetNextDlgGroupItem(hwnd, nullptr, FALSE);
    if ((d = Data(hwnd, false))) d->savedFocus = focus;
    if (Send(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param) && IsWindow(hwnd) &&
        (!(t.style & DS_CONTROL) || (t.style & WS_VISIBLE))) {
        focus = GetNextDlgTabItem(hwnd, nullptr, FALSE);
        if (!focus) focus = GetNextDlgGroupItem(hwnd, nullptr, FALSE);
        if (focus) DialogSetFocus(focus);
    }
    if (!IsWindow(hwnd)) return nullptr;
    if ((t.style & WS_VISIBLE) && !(StyleOf(hwnd) & WS_VISIBLE)) ShowWindow(hwnd, SW_SHOWNORMAL);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

}  // namespace nvxp

using nvxp::Fail;

extern "C" {

// The dialog procedure runs first; when it answers FALSE the dialog manager's
// default handling runs.  The answer is DWLP_MSGRESULT, except for the messages
// whose answer is the procedure's own (WM_INITDIALOG, WM_CTLCOLOR*, ...).
NVXAPI LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    nvxp::DialogData* d = nvxp::Data(hDlg, true);
    if (!d) return 0;
    nvxp::SetDlgLong(hDlg, DWLP_MSGRESULT, 0);
    auto proc = reinterpret_cast<DLGPROC>(nvxp::DlgLong(hDlg, DWLP_DLGPROC));
    INT_PTR result = proc ? proc(hDlg, Msg, wParam, lParam) : 0;
    if (!result && IsWindow(hDlg)) {
        switch (Msg) {
        case WM_ERASEBKGND:
        case WM_SHOWWINDOW:
        case WM_ACTIVATE:
        case WM_SETFOCUS:
        case DM_SETDEFID:
        case DM_GETDEFID:
        case WM_NEXTDLGCTL:
        case WM_GETFONT:
        case WM_CLOSE:
        case WM_ENTERMENULOOP:
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
            return nvxp::DefaultDialogHandling(hDlg, Msg, wParam, lParam, nvxp::Data(hDlg, false));
        case WM_INITDIALOG:
        case WM_VKEYTOITEM:
        case WM_COMPAREITEM:
        case WM_CHARTOITEM:
            break;
        default:
            return DefWindowProcW(hDlg, Msg, wParam, lParam);
        }
    }
    if ((Msg >= WM_CTLCOLORMSGBOX && Msg <= WM_CTLCOLORSTATIC) || Msg == WM_COMPAREITEM || Msg == WM_VKEYTOITEM ||
        Msg == WM_CHARTOITEM || Msg == WM_QUERYDRAGICON || Msg == WM_INITDIALOG)
        return result;
    return nvxp::DlgLong(hDlg, DWLP_MSGRESULT);
}

// Marks the dialog ended with its result, gives the owner back its input, takes
// the focus out of the controls (they see WM_KILLFOCUS) and hides the dialog.
NVXAPI BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    if (!nvxp::CheckWindow(hDlg)) return FALSE;
    nvxp::DialogData* d = nvxp::Data(hDlg, false);
    if (!d) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    d->ended = true;
    d->result = nResult;
    HWND owner = d->disabledOwner;
    d->disabledOwner = nullptr;
    if (owner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsChild(hDlg, GetFocus())) SetFocus(hDlg);
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (hDlg == GetActiveWindow()) {
        if (owner && IsWindow(owner)) SetForegroundWindow(owner);
        else nvxp::ActivateOtherWindow(hDlg);
    }
    PostMessageW(hDlg, WM_NULL, 0, 0);
    return TRUE;
}

NVXAPI BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    if (!lpRect) return Fail(ERROR_NOACCESS, FALSE);
    nvxp::DialogData* d = nvxp::Data(hDlg, false);
    if (!d) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    lpRect->left = nvxp::MulDivRound(lpRect->left, d->base.cx, 4);
    lpRect->right = nvxp::MulDivRound(lpRect->right, d->base.cx, 4);
    lpRect->top = nvxp::MulDivRound(lpRect->top, d->base.cy, 8);
    lpRect->bottom = nvxp::MulDivRound(lpRect->bottom, d->base.cy, 8);
    return TRUE;
}

NVXAPI LONG WINAPI GetDialogBaseUnits(void) {
    return MAKELONG(8, 16);
}

NVXAPI HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                              DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!lpTemplate) return Fail(ERROR_INVALID_PARAMETER, HWND(nullptr));
    return nvxp::CreateDialogFromTemplate(hInstance, lpTemplate, SIZE_MAX, hWndParent, lpDialogFunc, dwInitParam,
                                          false, nullptr, 0);
}

NVXAPI HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                                      DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    size_t size = 0;
    const void* data = nvxp::FindDialogTemplate(hInstance, lpTemplateName, &size);
    if (!data) return nullptr;
    int id = IS_INTRESOURCE(lpTemplateName) ? static_cast<int>(reinterpret_cast<uintptr_t>(lpTemplateName)) : 0;
    return nvxp::CreateDialogFromTemplate(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam, false,
                                          nullptr, id);
}

}  // extern "C"
