// Window classes: the built-in (system and common-control) classes and the
// classes programs register, found by name or atom as CreateWindowExW finds them.
#include <cstring>
#include <mutex>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

std::vector<ClassRef>& Classes() {
    static std::vector<ClassRef> classes;
    return classes;
}

ATOM g_nextAtom = 0xC000;

// The built-in classes; one row drives registration of each.
struct BuiltinClass {
    const char16_t* name;
    WNDPROC proc;
    UINT style;
    int wndExtra;
    ATOM atom;  // 0: allocated
    int background;  // system colour index + 1, 0 for none
};

const BuiltinClass kBuiltins[] = {
    {u"#32769", DesktopProc, CS_DBLCLKS, 0, 0x8001, COLOR_DESKTOP + 1},
    {u"#32770", DefDlgProcW, CS_SAVEBITS | CS_DBLCLKS, DLGWINDOWEXTRA, 0x8002, 0},
    {u"Button", ButtonProc, CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, 8, 0, 0},
    {u"Edit", EditProc, CS_DBLCLKS | CS_PARENTDC, 8, 0, 0},
    {u"Static", StaticProc, CS_DBLCLKS | CS_PARENTDC, 8, 0, 0},
    {u"ListBox", ListBoxProc, CS_DBLCLKS | CS_PARENTDC, 8, 0, 0},
    {u"ComboBox", ComboBoxProc, CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, 8, 0, 0},
    {u"ScrollBar", ScrollBarProc, CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, 8, 0, 0},
    {u"SysListView32", ListViewProc, CS_DBLCLKS | CS_GLOBALCLASS, 8, 0, 0},
    {u"msctls_updown32", UpDownProc, CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS, 8, 0, 0},
    {u"tooltips_class32", ToolTipProc, CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS, 8, 0, 0},
    {u"SysTabControl32", TabProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS, 8, 0, 0},
    {u"msctls_trackbar32", TrackBarProc, CS_GLOBALCLASS, 8, 0, 0},
    {u"SysAnimate32", AnimateProc, CS_DBLCLKS | CS_GLOBALCLASS, 8, 0, 0},
    {u"msctls_progress32", ProgressProc, CS_VREDRAW | CS_HREDRAW | CS_GLOBALCLASS, 8, 0, 0},
};

void RegisterBuiltins() {
    for (const BuiltinClass& row : kBuiltins) {
        auto cls = std::make_shared<WindowClass>();
        cls->name = row.name;
        cls->atom = row.atom ? row.atom : g_nextAtom++;
        cls->style = row.style;
        cls->proc = row.proc;
        cls->wndExtra = row.wndExtra;
        cls->builtin = true;
        cls->cursor = LoadCursorW(nullptr, IDC_ARROW);
        if (row.background) cls->background = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(row.background));
        Classes().push_back(cls);
    }
}

// Programs that pass no instance mean the main module, as Win32 does.
HINSTANCE NormalInstance(HINSTANCE instance) {
    return instance ? instance : GetModuleHandleW(nullptr);
}

bool NameMatches(const WindowClass& cls, LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return cls.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    return nvx::WEqualNoCase(cls.name, name);
}

// Under UiLock: a class registered by this module with this name.
ClassRef FindLocal(LPCWSTR name, HINSTANCE instance) {
    for (const ClassRef& cls : Classes())
        if (!cls->builtin && cls->instance == instance && NameMatches(*cls, name)) return cls;
    return nullptr;
}

bool ValidClassName(LPCWSTR name) {
    return name && (IS_INTRESOURCE(name) ? reinterpret_cast<uintptr_t>(name) != 0 : name[0] != 0);
}

ATOM Register(const WNDCLASSEXW& wc) {
    EnsureUserInit();
    if (!wc.lpfnWndProc || !ValidClassName(wc.lpszClassName) || IS_INTRESOURCE(wc.lpszClassName) ||
        wc.cbClsExtra < 0 || wc.cbWndExtra < 0 || wc.cbClsExtra > 40000 || wc.cbWndExtra > 40000)
        return Fail(ERROR_INVALID_PARAMETER, ATOM(0));
    HINSTANCE instance = NormalInstance(wc.hInstance);
    UiLock lock(UiMutex());
    for (const ClassRef& cls : Classes()) {
        if (!NameMatches(*cls, wc.lpszClassName)) continue;
        bool clash = cls->instance == instance || ((wc.style & CS_GLOBALCLASS) && (cls->style & CS_GLOBALCLASS));
        if (clash && !cls->builtin) return Fail(ERROR_CLASS_ALREADY_EXISTS, ATOM(0));
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc.lpszClassName;
    cls->atom = g_nextAtom++;
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->clsExtra = wc.cbClsExtra;
    cls->wndExtra = wc.cbWndExtra;
    cls->instance = instance;
    cls->icon = wc.hIcon;
    cls->iconSmall = wc.hIconSm;
    cls->cursor = wc.hCursor;
    cls->background = wc.hbrBackground;
    cls->menuName = SafeText(wc.lpszMenuName);
    cls->extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
    Classes().push_back(cls);
    return cls->atom;
}

}  // namespace

ClassRef FindClass(LPCWSTR name, HINSTANCE instance) {
    if (!ValidClassName(name)) return nullptr;
    EnsureUserInit();
    UiLock lock(UiMutex());
    if (ClassRef local = FindLocal(name, NormalInstance(instance))) return local;
    for (const ClassRef& cls : Classes())
        if (!cls->builtin && (cls->style & CS_GLOBALCLASS) && NameMatches(*cls, name)) return cls;
    for (const ClassRef& cls : Classes())
        if (cls->builtin && NameMatches(*cls, name)) return cls;
    return nullptr;
}

ClassRef BuiltinClassByAtom(ATOM atom) {
    UiLock lock(UiMutex());
    for (const ClassRef& cls : Classes())
        if (cls->builtin && cls->atom == atom) return cls;
    return nullptr;
}

void RegisterBuiltinClassesOnce() {
    UiLock lock(UiMutex());
    if (Classes().empty()) RegisterBuiltins();
}

}  // namespace nvxp

using nvxp::ClassRef;
using nvxp::Fail;
using nvxp::UiLock;
using nvxp::UiMutex;

extern "C" {

NVXAPI ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
    if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW)) return Fail(ERROR_INVALID_PARAMETER, ATOM(0));
    return nvxp::Register(*lpwcx);
}

NVXAPI ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (!lpWndClass) return Fail(ERROR_INVALID_PARAMETER, ATOM(0));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = lpWndClass->style;
    wc.lpfnWndProc = lpWndClass->lpfnWndProc;
    wc.cbClsExtra = lpWndClass->cbClsExtra;
    wc.cbWndExtra = lpWndClass->cbWndExtra;
    wc.hInstance = lpWndClass->hInstance;
    wc.hIcon = lpWndClass->hIcon;
    wc.hCursor = lpWndClass->hCursor;
    wc.hbrBackground = lpWndClass->hbrBackground;
    wc.lpszMenuName = lpWndClass->lpszMenuName;
    wc.lpszClassName = lpWndClass->lpszClassName;
    return nvxp::Register(wc);
}

// Refuses while windows of the class exist (ERROR_CLASS_HAS_WINDOWS).
NVXAPI BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
    if (!nvxp::ValidClassName(lpClassName)) return Fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    nvxp::EnsureUserInit();
    UiLock lock(UiMutex());
    auto& classes = nvxp::Classes();
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        const ClassRef& cls = *it;
        if (cls->builtin || cls->instance != nvxp::NormalInstance(hInstance) || !nvxp::NameMatches(*cls, lpClassName))
            continue;
        if (cls->liveWindows > 0) return Fail(ERROR_CLASS_HAS_WINDOWS, FALSE);
        classes.erase(it);
        return TRUE;
    }
    return Fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
}

NVXAPI BOOL WINAPI GetClassInfoExW(HINSTANCE hInstance, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx) {
    if (!lpwcx) return Fail(ERROR_NOACCESS, FALSE);
    ClassRef cls = nvxp::FindClass(lpszClass, hInstance);
    if (!cls) return Fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
    UiLock lock(UiMutex());
    lpwcx->style = cls->style;
    lpwcx->lpfnWndProc = cls->proc;
    lpwcx->cbClsExtra = cls->clsExtra;
    lpwcx->cbWndExtra = cls->wndExtra;
    lpwcx->hInstance = cls->builtin ? nullptr : cls->instance;
    lpwcx->hIcon = cls->icon;
    lpwcx->hIconSm = cls->iconSmall;
    lpwcx->hCursor = cls->cursor;
    lpwcx->hbrBackground = cls->background;
    lpwcx->lpszMenuName = nullptr;
    lpwcx->lpszClassName = IS_INTRESOURCE(lpszClass) ? cls->name.c_str() : lpszClass;
    return static_cast<BOOL>(cls->atom);
}

NVXAPI BOOL WINAPI GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass) {
    if (!lpWndClass) return Fail(ERROR_NOACCESS, FALSE);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    BOOL ok = GetClassInfoExW(hInstance, lpClassName, &wc);
    if (!ok) return FALSE;
    lpWndClass->style = wc.style;
    lpWndClass->lpfnWndProc = wc.lpfnWndProc;
    lpWndClass->cbClsExtra = wc.cbClsExtra;
    lpWndClass->cbWndExtra = wc.cbWndExtra;
    lpWndClass->hInstance = wc.hInstance;
    lpWndClass->hIcon = wc.hIcon;
    lpWndClass->hCursor = wc.hCursor;
    lpWndClass->hbrBackground = wc.hbrBackground;
    lpWndClass->lpszMenuName = wc.lpszMenuName;
    lpWndClass->lpszClassName = wc.lpszClassName;
    return ok;
}

// Copies the class name, cut to the buffer; answers the characters copied.
NVXAPI int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    if (!nvxp::CheckWindow(hWnd)) return 0;
    if (!lpClassName || nMaxCount <= 0) return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    return nvxp::CopyOut(nvxp::ClassNameOf(hWnd), lpClassName, static_cast<size_t>(nMaxCount));
}

NVXAPI ULONG_PTR WINAPI GetClassLongPtrW(HWND hWnd, int nIndex) {
    UiLock lock(UiMutex());
    nvxp::Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, ULONG_PTR(0));
    const nvxp::WindowClass& cls = *w->cls;
    switch (nIndex) {
    case GCL_STYLE: return cls.style;
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(cls.background);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(cls.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(cls.iconSmall);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(cls.proc);
    case GCW_ATOM: return cls.atom;
    default:
        if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) <= cls.extra.size()) {
            ULONG_PTR value;
            memcpy(&value, cls.extra.data() + nIndex, sizeof value);
            return value;
        }
        return Fail(ERROR_INVALID_INDEX, ULONG_PTR(0));
    }
}

NVXAPI DWORD WINAPI GetClassLongW(HWND hWnd, int nIndex) {
    return static_cast<DWORD>(GetClassLongPtrW(hWnd, nIndex));
}

// Registered messages share the string-atom range 0xC000..0xFFFF; equal names
// (ignoring case) give equal numbers.
NVXAPI UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString) {
    if (!lpString || IS_INTRESOURCE(lpString) || !lpString[0]) return Fail(ERROR_INVALID_PARAMETER, 0u);
    static std::vector<nvx::WString> names;
    UiLock lock(UiMutex());
    for (size_t i = 0; i < names.size(); ++i)
        if (nvx::WEqualNoCase(names[i], lpString)) return static_cast<UINT>(0xC100 + i);
    if (names.size() >= 0x3E00) return Fail(ERROR_NOT_ENOUGH_MEMORY, 0u);
    names.emplace_back(lpString);
    return static_cast<UINT>(0xC100 + names.size() - 1);
}

}  // extern "C"
