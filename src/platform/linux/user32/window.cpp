// Window objects: the handle table, creation (CreateWindowExW with the
// WM_NCCREATE/WM_CREATE/WM_SIZE/WM_MOVE sequence) and destruction (WM_DESTROY to
// the window and then its children, WM_NCDESTROY children first), and the
// window's fields (longs, properties).
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct WindowTable {
    std::unordered_map<uintptr_t, WindowRef> windows;
    uintptr_t next = 0x10020;  // handles are never reused
    WindowRef desktop;
};

// Never destroyed: windows can outlive static destruction (thread exits).
WindowTable& Table() {
    static WindowTable* table = new WindowTable;
    return *table;
}

HWND NewHandle() {
    uintptr_t h = Table().next;
    Table().next += 2;
    return reinterpret_cast<HWND>(h);
}

void InitOnce() {
    RegisterBuiltinClassesOnce();
    UiLock lock(UiMutex());
    auto desktop = std::make_shared<Window>();
    desktop->hwnd = reinterpret_cast<HWND>(uintptr_t(0x10010));
    desktop->cls = BuiltinClassByAtom(0x8001);
    desktop->proc = DesktopProc;
    desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    desktop->rect = ScreenRect();
    desktop->state = Window::State::Alive;
    Table().desktop = desktop;
    Table().windows[reinterpret_cast<uintptr_t>(desktop->hwnd)] = desktop;
}

// Under UiLock: puts a window into its parent's z-order.
void Link(Window* w, Window* parent) {
    w->parent = parent;
    auto& list = parent->children;
    if (w->style & WS_CHILD) {
        list.push_back(w);  // controls keep creation order (tab order)
        return;
    }
    size_t at = 0;
    if (!(w->exStyle & WS_EX_TOPMOST))
        while (at < list.size() && (list[at]->exStyle & WS_EX_TOPMOST)) ++at;
    list.insert(list.begin() + static_cast<long>(at), w);
}

void Unlink(Window* w) {
    if (!w->parent) return;
    auto& list = w->parent->children;
    for (auto it = list.begin(); it != list.end(); ++it)
        if (*it == w) {
            list.erase(it);
            break;
        }
    w->parent = nullptr;
}

// Under UiLock: removes a dead window from the table and the tree.
void Retire(Window* w) {
    Unlink(w);
    for (auto& entry : Table().windows)
        if (entry.second->owner == w) entry.second->owner = nullptr;
    w->state = Window::State::Dead;
    if (w->cls) --w->cls->liveWindows;
    Table().windows.erase(reinterpret_cast<uintptr_t>(w->hwnd));
}

// Children first: WM_NCDESTROY reaches the deepest windows before their parents.
void FreeTree(HWND hwnd) {
    for (HWND child : ChildHandles(hwnd)) FreeTree(child);
    WindowRef keep = GetWindowRef(hwnd);
    if (!keep) return;
    {
        UiLock lock(UiMutex());
        Unlink(keep.get());
    }
    Send(hwnd, WM_NCDESTROY);
    ForgetWindowMessages(hwnd);
    ForgetFocusOf(hwnd);
    ForgetPaintRecord(hwnd);
    UiLock lock(UiMutex());
    Retire(keep.get());
}

// WM_DESTROY to the window, then to each child (a window may still read its
// children while it handles its own WM_DESTROY).
void SendDestroyMessages(HWND hwnd) {
    {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hwnd);
        if (!w || w->destroyMessageSent) return;
        w->destroyMessageSent = true;
        w->state = Window::State::Destroying;
    }
    if (ThreadUi().active == hwnd) ActivateOtherWindow(hwnd);
    Send(hwnd, WM_DESTROY);
    if (!IsWindow(hwnd)) return;
    for (HWND child : ChildHandles(hwnd))
        if (IsWindow(child)) SendDestroyMessages(child);
}

bool IsLocalWindow(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w && (w->thread == CurrentThreadId() || w->thread == 0);
}

void ParentNotify(HWND hwnd, UINT event) {
    HWND parent = nullptr;
    int id = 0;
    {
        UiLock lock(UiMutex());
        Window* w = FindWindowLocked(hwnd);
        if (!w || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY) || !w->parent) return;
        parent = w->parent->hwnd;
        id = static_cast<int>(w->id);
    }
    Send(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, id), reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace

void EnsureUserInit() {
    static std::once_flag once;
    std::call_once(once, InitOnce);
}

Window* FindWindowLocked(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& windows = Table().windows;
    auto it = windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == windows.end() ? nullptr : it->second.get();
}

WindowRef GetWindowRef(HWND hwnd) {
    if (!hwnd) return nullptr;
    UiLock lock(UiMutex());
    auto& windows = Table().windows;
    auto it = windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == windows.end() ? nullptr : it->second;
}

Window* DesktopLocked() {
    EnsureUserInit();
    return Table().desktop.get();
}

HWND DesktopHandle() {
    EnsureUserInit();
    return Table().desktop->hwnd;
}

bool CheckWindow(HWND hwnd) {
    UiLock lock(UiMutex());
    if (FindWindowLocked(hwnd)) return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

int LiveWindowCount() {
    UiLock lock(UiMutex());
    return static_cast<int>(Table().windows.size()) - (Table().desktop ? 1 : 0);
}

std::vector<HWND> ChildHandles(HWND parent) {
    std::vector<HWND> out;
    UiLock lock(UiMutex());
    if (Window* w = FindWindowLocked(parent))
        for (Window* child : w->children) out.push_back(child->hwnd);
    return out;
}

std::vector<HWND> ThreadWindowHandles(DWORD thread) {
    std::vector<HWND> out;
    UiLock lock(UiMutex());
    for (auto& entry : Table().windows)
        if (entry.second->thread == thread && entry.second != Table().desktop) out.push_back(entry.second->hwnd);
    return out;
}

void DropThreadWindows(DWORD thread) {
    // The visible top-level windows are reported to the host's watcher as gone.
    std::vector<std::pair<HWND, int>> shown;
    {
        UiLock lock(UiMutex());
        for (auto& entry : Table().windows) {
            const Window* w = entry.second.get();
            if (w->thread == thread && w != Table().desktop.get() && !(w->style & WS_CHILD) && (w->style & WS_VISIBLE))
                shown.emplace_back(w->hwnd, 0);
        }
    }
    for (auto& [hwnd, resourceId] : shown) resourceId = DialogResourceId(hwnd);
    RetireThreadWindows(thread);
    for (const auto& [hwnd, resourceId] : shown) NotifyWindowWatcher(hwnd, resourceId, false);
}

void RetireThreadWindows(DWORD thread) {
    UiLock lock(UiMutex());
    std::vector<Window*> mine;
    for (auto& entry : Table().windows)
        if (entry.second->thread == thread && entry.second != Table().desktop) mine.push_back(entry.second.get());
    // The windows die together: none may reach back into another of them (a parent
    // retired first is freed before its children are unlinked from it).
    const std::unordered_set<Window*> dying(mine.begin(), mine.end());
    for (Window* w : mine) {
        w->children.clear();
        if (dying.count(w->parent)) w->parent = nullptr;
    }
    for (Window* w : mine) {
        WindowRef keep = Table().windows[reinterpret_cast<uintptr_t>(w->hwnd)];
        Retire(w);
    }
}

DWORD StyleOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w ? w->style : 0;
}

DWORD ExStyleOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w ? w->exStyle : 0;
}

void SetStyleBits(HWND hwnd, DWORD set, DWORD clear) {
    UiLock lock(UiMutex());
    if (Window* w = FindWindowLocked(hwnd)) w->style = (w->style & ~clear) | set;
}

nvx::WString TextOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w ? w->text : nvx::WString();
}

void StoreText(HWND hwnd, nvx::WStringView text) {
    UiLock lock(UiMutex());
    if (Window* w = FindWindowLocked(hwnd)) w->text.assign(text.data(), text.size());
}

nvx::WString ClassNameOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w && w->cls ? w->cls->name : nvx::WString();
}

bool IsClass(HWND hwnd, const char16_t* name) {
    return nvx::WEqualNoCase(ClassNameOf(hwnd), name);
}

int IdOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w ? static_cast<int>(w->id) : 0;
}

bool ReallyVisible(HWND hwnd) {
    UiLock lock(UiMutex());
    for (Window* w = FindWindowLocked(hwnd); w; w = w->parent) {
        if (!(w->style & WS_VISIBLE)) return false;
        if (w == Table().desktop.get()) break;
    }
    return FindWindowLocked(hwnd) != nullptr;
}

}  // namespace nvxp

using nvxp::Fail;
using nvxp::UiLock;
using nvxp::UiMutex;
using nvxp::Window;

namespace {
constexpr DWORD kErrorTlwWithChild = 1406;  // ERROR_TLW_WITH_WSCHILD
constexpr DWORD kErrorInvalidGwCommand = 1425;

// The default place and size of an overlapped top-level window.
void DefaultGeometry(int& x, int& y, int& cx, int& cy) {
    RECT work = nvxp::WorkArea();
    if (x == CW_USEDEFAULT) {
        x = work.left + 26;
        y = work.top + 26;
    }
    if (cx == CW_USEDEFAULT) {
        cx = (work.right - work.left) * 3 / 4;
        cy = (work.bottom - work.top) * 3 / 4;
    }
}

LONG_PTR ReadExtra(const std::vector<uint8_t>& extra, int index, size_t size) {
    LONG_PTR value = 0;
    memcpy(&value, extra.data() + index, size);
    if (size == sizeof(LONG)) value = static_cast<LONG>(value);
    return value;
}

// The window long at a negative index, or the extra bytes at a positive one.
LONG_PTR GetLong(HWND hWnd, int nIndex, size_t size) {
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, LONG_PTR(0));
    switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? (w->parent ? w->parent->hwnd : nullptr)
                                                                : (w->owner ? w->owner->hwnd : nullptr));
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->userData;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    default:
        if (nIndex >= 0 && static_cast<size_t>(nIndex) + size <= w->extra.size())
            return ReadExtra(w->extra, nIndex, size);
        return Fail(ERROR_INVALID_INDEX, LONG_PTR(0));
    }
}

LONG_PTR SetStyle(HWND hWnd, int nIndex, DWORD value) {
    STYLESTRUCT ss{};
    {
        UiLock lock(UiMutex());
        Window* w = nvxp::FindWindowLocked(hWnd);
        ss.styleOld = nIndex == GWL_STYLE ? w->style : w->exStyle;
    }
    ss.styleNew = value;
    nvxp::Send(hWnd, WM_STYLECHANGING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&ss));
    {
        UiLock lock(UiMutex());
        Window* w = nvxp::FindWindowLocked(hWnd);
        if (!w) return 0;
        (nIndex == GWL_STYLE ? w->style : w->exStyle) = ss.styleNew;
    }
    nvxp::Send(hWnd, WM_STYLECHANGED, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&ss));
    return static_cast<LONG>(ss.styleOld);
}

LONG_PTR SetLong(HWND hWnd, int nIndex, LONG_PTR value, size_t size) {
    if (!nvxp::CheckWindow(hWnd)) return 0;
    if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) return SetStyle(hWnd, nIndex, static_cast<DWORD>(value));
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    LONG_PTR old = 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        if (!value) return Fail(ERROR_INVALID_PARAMETER, LONG_PTR(0));
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWLP_ID:
        old = w->id;
        w->id = value;
        return old;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = value;
        return old;
    case GWLP_HWNDPARENT: {
        // Sets the owner of a top-level window.
        old = reinterpret_cast<LONG_PTR>(w->owner ? w->owner->hwnd : nullptr);
        if (w->style & WS_CHILD) return old;
        Window* owner = nvxp::FindWindowLocked(reinterpret_cast<HWND>(value));
        w->owner = owner;
        return old;
    }
    default:
        if (nIndex >= 0 && static_cast<size_t>(nIndex) + size <= w->extra.size()) {
            old = ReadExtra(w->extra, nIndex, size);
            memcpy(w->extra.data() + nIndex, &value, size);
            return old;
        }
        return Fail(ERROR_INVALID_INDEX, LONG_PTR(0));
    }
}

nvx::WString PropKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        char16_t buf[16];
        nvx::WFormat(buf, 16, WL("#%u"), static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
        return buf;
    }
    return name;
}

bool MatchesFilter(HWND hwnd, LPCWSTR cls, LPCWSTR title) {
    if (cls && !(IS_INTRESOURCE(cls) ? false : nvx::WEqualNoCase(nvxp::ClassNameOf(hwnd), cls))) {
        if (!IS_INTRESOURCE(cls)) return false;
        UiLock lock(UiMutex());
        Window* w = nvxp::FindWindowLocked(hwnd);
        if (!w || w->cls->atom != static_cast<ATOM>(reinterpret_cast<uintptr_t>(cls))) return false;
    }
    if (title && nvxp::TextOf(hwnd) != nvx::WStringView(title)) return false;
    return true;
}

bool EnumTree(HWND parent, WNDENUMPROC fn, LPARAM lp) {
    for (HWND child : nvxp::ChildHandles(parent)) {
        if (!IsWindow(child)) continue;
        if (!fn(child, lp)) return false;
        if (!EnumTree(child, fn, lp)) return false;
    }
    return true;
}

}  // namespace

extern "C" {

NVXAPI HWND WINAPI GetDesktopWindow(void) {
    return nvxp::DesktopHandle();
}

// Creates a window: WM_NCCREATE (FALSE fails), WM_CREATE (-1 fails, the window is
// destroyed), WM_SIZE, WM_MOVE, WM_PARENTNOTIFY to the parent, and ShowWindow
// when WS_VISIBLE was asked for (the window is hidden while it is being created).
NVXAPI HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                                   int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                   HINSTANCE hInstance, LPVOID lpParam) {
    nvxp::EnsureUserInit();
    nvxp::ClassRef cls = nvxp::FindClass(lpClassName, hInstance);
    if (!cls) return Fail(ERROR_CANNOT_FIND_WND_CLASS, HWND(nullptr));
    bool child = (dwStyle & WS_CHILD) != 0;
    if (hWndParent == HWND_MESSAGE) hWndParent = nullptr;
    if (child && !hWndParent) return Fail(kErrorTlwWithChild, HWND(nullptr));
    if (hWndParent && !nvxp::CheckWindow(hWndParent)) return nullptr;
    if (child) {
        if (X == CW_USEDEFAULT) X = Y = 0;
        if (nWidth == CW_USEDEFAULT) nWidth = nHeight = 0;
    } else {
        DefaultGeometry(X, Y, nWidth, nHeight);
        if (!(dwStyle & WS_POPUP)) dwStyle |= WS_CLIPSIBLINGS | WS_CAPTION;
    }
    if ((dwExStyle & WS_EX_DLGMODALFRAME) ||
        (!(dwExStyle & WS_EX_STATICEDGE) && (dwStyle & (WS_DLGFRAME | WS_THICKFRAME))))
        dwExStyle |= WS_EX_WINDOWEDGE;
    else
        dwExStyle &= ~WS_EX_WINDOWEDGE;

    auto window = std::make_shared<Window>();
    HWND hwnd;
    {
        UiLock lock(UiMutex());
        hwnd = nvxp::NewHandle();
        window->hwnd = hwnd;
        window->cls = cls;
        window->thread = nvxp::CurrentThreadId();
        window->style = dwStyle & ~WS_VISIBLE;
        window->exStyle = dwExStyle;
        window->id = reinterpret_cast<LONG_PTR>(hMenu);
        window->instance = hInstance;
        window->proc = cls->proc;
        window->rect = RECT{X, Y, X + std::max(0, nWidth), Y + std::max(0, nHeight)};
        window->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
        Window* parent = child ? nvxp::FindWindowLocked(hWndParent) : nvxp::DesktopLocked();
        if (!child && hWndParent) {
            Window* owner = nvxp::FindWindowLocked(hWndParent);
            while (owner && (owner->style & WS_CHILD) && owner->parent && owner->parent != nvxp::DesktopLocked())
                owner = owner->parent;
            window->owner = owner;
        }
        ++cls->liveWindows;
        nvxp::Table().windows[reinterpret_cast<uintptr_t>(hwnd)] = window;
        nvxp::Link(window.get(), parent);
    }
    CREATESTRUCTW cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.x = X;
    cs.y = Y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;

    if (!nvxp::Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        nvxp::FreeTree(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    if (nvxp::Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    MapWindowPoints(hwnd, child ? hWndParent : nullptr, &origin, 1);
    nvxp::Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    nvxp::Send(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    {
        UiLock lock(UiMutex());
        if (Window* w = nvxp::FindWindowLocked(hwnd)) w->state = Window::State::Alive;
        else return nullptr;
    }
    nvxp::ParentNotify(hwnd, WM_CREATE);
    if ((dwStyle & WS_VISIBLE) && IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// Destroys a window of the calling thread, its owned windows and its children.
NVXAPI BOOL WINAPI DestroyWindow(HWND hWnd) {
    if (!nvxp::CheckWindow(hWnd)) return FALSE;
    if (hWnd == nvxp::DesktopHandle() || !nvxp::IsLocalWindow(hWnd)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    bool child;
    bool visible;
    {
        UiLock lock(UiMutex());
        Window* w = nvxp::FindWindowLocked(hWnd);
        if (w->state == Window::State::Destroying) return TRUE;
        child = (w->style & WS_CHILD) != 0;
        visible = (w->style & WS_VISIBLE) != 0;
    }
    if (child) nvxp::ParentNotify(hWnd, WM_DESTROY);
    if (!IsWindow(hWnd)) return TRUE;
    if (visible) {
        if (child)
            ShowWindow(hWnd, SW_HIDE);
        else
            SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
    if (!IsWindow(hWnd)) return TRUE;
    if (!child) {
        // Owned windows of this thread go first; those of other threads lose their owner.
        for (;;) {
            HWND owned = nullptr;
            {
                UiLock lock(UiMutex());
                for (Window* top : nvxp::DesktopLocked()->children) {
                    if (!top->owner || top->owner->hwnd != hWnd) continue;
                    if (top->thread == nvxp::CurrentThreadId() && top->state != Window::State::Destroying) {
                        owned = top->hwnd;
                        break;
                    }
                    top->owner = nullptr;
                }
            }
            if (!owned) break;
            DestroyWindow(owned);
        }
    }
    nvxp::SendDestroyMessages(hWnd);
    if (!IsWindow(hWnd)) return TRUE;
    nvxp::FreeTree(hWnd);
    return TRUE;
}

NVXAPI BOOL WINAPI IsWindow(HWND hWnd) {
    UiLock lock(UiMutex());
    return nvxp::FindWindowLocked(hWnd) != nullptr;
}

NVXAPI BOOL WINAPI IsWindowUnicode(HWND hWnd) {
    return IsWindow(hWnd);
}

// Whether hWnd is a child (or deeper descendant) of hWndParent through WS_CHILD links.
NVXAPI BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    while (w && (w->style & WS_CHILD) && w->parent) {
        w = w->parent;
        if (w->hwnd == hWndParent) return TRUE;
    }
    return FALSE;
}

// The parent of a child window, the owner of a popup window, else null.
NVXAPI HWND WINAPI GetParent(HWND hWnd) {
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, HWND(nullptr));
    if (w->style & WS_CHILD) return w->parent ? w->parent->hwnd : nullptr;
    if (w->style & WS_POPUP) return w->owner ? w->owner->hwnd : nullptr;
    return nullptr;
}

NVXAPI HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent) {
    if (!nvxp::CheckWindow(hWndChild)) return nullptr;
    if (hWndNewParent && !nvxp::CheckWindow(hWndNewParent)) return nullptr;
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWndChild);
    Window* parent = hWndNewParent ? nvxp::FindWindowLocked(hWndNewParent) : nvxp::DesktopLocked();
    for (Window* p = parent; p; p = p->parent)
        if (p == w) return Fail(ERROR_INVALID_PARAMETER, HWND(nullptr));
    HWND old = w->parent ? w->parent->hwnd : nullptr;
    nvxp::Unlink(w);
    nvxp::Link(w, parent);
    return old;
}

NVXAPI HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hwnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, HWND(nullptr));
    Window* desktop = nvxp::DesktopLocked();
    if (w == desktop) return nullptr;
    switch (gaFlags) {
    case GA_PARENT: return w->parent ? w->parent->hwnd : nullptr;
    case GA_ROOT:
    case GA_ROOTOWNER:
        while (w->parent && w->parent != desktop) w = w->parent;
        if (gaFlags == GA_ROOTOWNER)
            while ((w->style & WS_POPUP) && w->owner) w = w->owner;
        return w->hwnd;
    default: return Fail(ERROR_INVALID_PARAMETER, HWND(nullptr));
    }
}

NVXAPI HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, HWND(nullptr));
    auto sibling = [&](int delta) -> HWND {
        if (!w->parent) return nullptr;
        auto& list = w->parent->children;
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == w) {
                long j = static_cast<long>(i) + delta;
                return j >= 0 && j < static_cast<long>(list.size()) ? list[static_cast<size_t>(j)]->hwnd : nullptr;
            }
        return nullptr;
    };
    switch (uCmd) {
    case GW_HWNDFIRST: return w->parent && !w->parent->children.empty() ? w->parent->children.front()->hwnd : nullptr;
    case GW_HWNDLAST: return w->parent && !w->parent->children.empty() ? w->parent->children.back()->hwnd : nullptr;
    case GW_HWNDNEXT: return sibling(1);
    case GW_HWNDPREV: return sibling(-1);
    case GW_OWNER: return w->owner ? w->owner->hwnd : nullptr;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->hwnd;
    case GW_ENABLEDPOPUP: return nullptr;
    default: return Fail(kErrorInvalidGwCommand, HWND(nullptr));
    }
}

NVXAPI HWND WINAPI GetTopWindow(HWND hWnd) {
    return GetWindow(hWnd ? hWnd : GetDesktopWindow(), GW_CHILD);
}

NVXAPI BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (!lpEnumFunc) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!hWndParent) return EnumWindows(lpEnumFunc, lParam);
    if (!nvxp::CheckWindow(hWndParent)) return FALSE;
    EnumTree(hWndParent, lpEnumFunc, lParam);
    return TRUE;
}

NVXAPI BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (!lpEnumFunc) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    for (HWND top : nvxp::ChildHandles(GetDesktopWindow()))
        if (IsWindow(top) && !lpEnumFunc(top, lParam)) return FALSE;
    return TRUE;
}

NVXAPI BOOL WINAPI EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam) {
    if (!lpfn) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    bool any = false;
    for (HWND top : nvxp::ChildHandles(GetDesktopWindow())) {
        DWORD thread = GetWindowThreadProcessId(top, nullptr);
        if (thread != dwThreadId) continue;
        any = true;
        if (!lpfn(top, lParam)) return FALSE;
    }
    return any;
}

NVXAPI HWND WINAPI FindWindowExW(HWND hWndParent, HWND hWndChildAfter, LPCWSTR lpszClass, LPCWSTR lpszWindow) {
    HWND parent = hWndParent ? hWndParent : GetDesktopWindow();
    if (!nvxp::CheckWindow(parent)) return nullptr;
    bool started = hWndChildAfter == nullptr;
    for (HWND child : nvxp::ChildHandles(parent)) {
        if (!started) {
            started = child == hWndChildAfter;
            continue;
        }
        if (MatchesFilter(child, lpszClass, lpszWindow)) return child;
    }
    return Fail(ERROR_FILE_NOT_FOUND, HWND(nullptr));
}

NVXAPI HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    return FindWindowExW(nullptr, nullptr, lpClassName, lpWindowName);
}

NVXAPI DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, DWORD(0));
    if (lpdwProcessId) *lpdwProcessId = nvxp::CurrentProcessId();
    return w->thread;
}

NVXAPI LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
    return GetLong(hWnd, nIndex, sizeof(LONG_PTR));
}

NVXAPI LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return SetLong(hWnd, nIndex, dwNewLong, sizeof(LONG_PTR));
}

NVXAPI LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    return static_cast<LONG>(GetLong(hWnd, nIndex, sizeof(LONG)));
}

NVXAPI LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(SetLong(hWnd, nIndex, dwNewLong, sizeof(LONG)));
}

NVXAPI BOOL WINAPI SetPropW(HWND hWnd, LPCWSTR lpString, HANDLE hData) {
    if (!lpString) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    nvx::WString key = PropKey(lpString);
    for (auto& prop : w->props)
        if (nvx::WEqualNoCase(prop.first, key)) {
            prop.second = hData;
            return TRUE;
        }
    w->props.emplace_back(key, hData);
    return TRUE;
}

NVXAPI HANDLE WINAPI GetPropW(HWND hWnd, LPCWSTR lpString) {
    if (!lpString) return nullptr;
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, HANDLE(nullptr));
    nvx::WString key = PropKey(lpString);
    for (auto& prop : w->props)
        if (nvx::WEqualNoCase(prop.first, key)) return prop.second;
    return nullptr;
}

NVXAPI HANDLE WINAPI RemovePropW(HWND hWnd, LPCWSTR lpString) {
    if (!lpString) return nullptr;
    UiLock lock(UiMutex());
    Window* w = nvxp::FindWindowLocked(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, HANDLE(nullptr));
    nvx::WString key = PropKey(lpString);
    for (auto it = w->props.begin(); it != w->props.end(); ++it)
        if (nvx::WEqualNoCase(it->first, key)) {
            HANDLE data = it->second;
            w->props.erase(it);
            return data;
        }
    return nullptr;
}

}  // extern "C"
