// Window objects: classes, creation and destruction order, window longs and
// extra bytes, the window tree, text helpers and subclassing.
#include <map>

#include "platform/ui_test_util.h"

namespace {

using uitest::Recorder;
using uitest::UiTest;

Recorder g_log;
std::map<HWND, std::string> g_names;

std::string NameOf(HWND hwnd) {
    auto it = g_names.find(hwnd);
    return it == g_names.end() ? "?" : it->second;
}

// Records the life-cycle messages of every window of the class.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE:
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        g_names[hwnd] = nvx::Utf8FromW(cs->lpszName ? cs->lpszName : WL(""));
        g_log.Add(NameOf(hwnd) + " " + uitest::Describe(msg, wParam, lParam));
        break;
    }
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_SIZE:
    case WM_MOVE:
        g_log.Add(NameOf(hwnd) + " " + uitest::Describe(msg, wParam, lParam));
        break;
    case WM_PARENTNOTIFY:
        g_log.Add(NameOf(hwnd) + " WM_PARENTNOTIFY " + uitest::Describe(LOWORD(wParam), 0, 0) + " " +
                  NameOf(reinterpret_cast<HWND>(lParam)));
        break;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        g_log.Add(msg == WM_STYLECHANGING ? "WM_STYLECHANGING" : "WM_STYLECHANGED");
        break;
    case WM_USER + 1:
        return static_cast<LRESULT>(wParam + lParam);
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const WCHAR* kClass = WL("NvxTestWindow");

class Windows : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = RecordingProc;
        wc.cbWndExtra = 16;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        ASSERT_NE(RegisterClassExW(&wc), 0);
        g_log.Clear();
        g_names.clear();
    }
    void TearDown() override {
        EXPECT_TRUE(UnregisterClassW(kClass, GetModuleHandleW(nullptr)));
        UiTest::TearDown();
    }
    HWND Make(const WCHAR* name, DWORD style, HWND parent, int id = 0) {
        return CreateWindowExW(0, kClass, name, style, 10, 20, 100, 50, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    }
};

TEST_F(Windows, ClassesAreFoundByNameAndRefusedTwice) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc - 1;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = WL("NvxOther");
    SetLastError(0);
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    wc.cbSize = sizeof wc;
    wc.lpszClassName = kClass;
    wc.hInstance = GetModuleHandleW(nullptr);
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_NE(GetClassInfoExW(GetModuleHandleW(nullptr), WL("nvxtestwindow"), &info), 0);
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    EXPECT_EQ(info.cbWndExtra, 16);
    EXPECT_NE(GetClassInfoExW(nullptr, WL("Button"), &info), 0);

    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, WL("NoSuchClass"), WL(""), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);

    HWND w = Make(WL("w"), WS_POPUP, nullptr);
    ASSERT_NE(w, nullptr);
    WCHAR name[8] = {};
    EXPECT_EQ(GetClassNameW(w, name, 8), 7);  // cut to the buffer
    EXPECT_EQ(nvx::WString(name), nvx::WString(WL("NvxTest")));
    EXPECT_FALSE(UnregisterClassW(kClass, GetModuleHandleW(nullptr)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_FALSE(UnregisterClassW(WL("NvxNever"), GetModuleHandleW(nullptr)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(Windows, CreationAndDestructionFollowWin32Order) {
    HWND parent = Make(WL("P"), WS_POPUP, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND a = Make(WL("A"), WS_CHILD, parent, 1);
    HWND b = Make(WL("B"), WS_CHILD, parent, 2);
    HWND inner = Make(WL("C"), WS_CHILD, a, 3);
    ASSERT_TRUE(a && b && inner);
    EXPECT_EQ(g_log.Joined("A WM_").substr(0, 45), "A WM_NCCREATE|A WM_CREATE|A WM_SIZE|A WM_MOVE");
    EXPECT_NE(g_log.Joined("P WM_PARENTNOTIFY").find("P WM_PARENTNOTIFY WM_CREATE A"), std::string::npos);

    g_log.Clear();
    EXPECT_TRUE(DestroyWindow(parent));
    // WM_DESTROY goes to the window, then its children; WM_NCDESTROY children first.
    EXPECT_EQ(g_log.Joined("WM_DESTROY"), "P WM_DESTROY|A WM_DESTROY|C WM_DESTROY|B WM_DESTROY");
    EXPECT_EQ(g_log.Joined("WM_NCDESTROY"), "C WM_NCDESTROY|A WM_NCDESTROY|B WM_NCDESTROY|P WM_NCDESTROY");
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(inner));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x12345))));

    // A child without a parent cannot be made.
    EXPECT_EQ(Make(WL("X"), WS_CHILD, nullptr), nullptr);
}

TEST_F(Windows, LongsExtraBytesAndStyles) {
    HWND w = Make(WL("w"), WS_POPUP, nullptr, 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SetWindowLongPtrW(w, GWLP_USERDATA, 0x1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), 0x1234);
    EXPECT_EQ(SetWindowLongPtrW(w, 8, -5), 0);
    EXPECT_EQ(GetWindowLongPtrW(w, 8), -5);
    EXPECT_EQ(GetWindowLongW(w, 8), -5);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(w, 9), 0);  // 9 + 8 bytes pass the 16 extra bytes
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongW(w, 12), -1);  // the last four bytes: the high half of -5
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(w, 13), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr)));

    g_log.Clear();
    LONG old = GetWindowLongW(w, GWL_STYLE);
    EXPECT_EQ(SetWindowLongW(w, GWL_STYLE, old | WS_BORDER), old);
    EXPECT_EQ(g_log.Joined("STYLE"), "WM_STYLECHANGING|WM_STYLECHANGED");
    EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_BORDER);

    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(nullptr, GWLP_USERDATA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));

    EXPECT_TRUE(SetPropW(w, WL("Key"), reinterpret_cast<HANDLE>(7)));
    EXPECT_EQ(GetPropW(w, WL("key")), reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(RemovePropW(w, WL("KEY")), reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(GetPropW(w, WL("Key")), nullptr);
    EXPECT_TRUE(DestroyWindow(w));
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

TEST_F(Windows, TreeOwnerAndIds) {
    HWND owner = Make(WL("O"), WS_POPUP, nullptr);
    HWND popup = Make(WL("Q"), WS_POPUP, owner);
    HWND a = Make(WL("A"), WS_CHILD, owner, 11);
    HWND b = Make(WL("B"), WS_CHILD, owner, 12);
    HWND c = Make(WL("C"), WS_CHILD, a, 13);
    ASSERT_TRUE(owner && popup && a && b && c);

    EXPECT_EQ(GetParent(a), owner);
    EXPECT_EQ(GetParent(popup), owner);  // a popup's GetParent is its owner
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetAncestor(c, GA_ROOT), owner);
    EXPECT_EQ(GetWindow(owner, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
    EXPECT_TRUE(IsChild(owner, c));
    EXPECT_FALSE(IsChild(owner, popup));
    EXPECT_EQ(GetDlgItem(owner, 12), b);
    EXPECT_EQ(GetDlgItem(owner, 13), nullptr);  // only direct children
    EXPECT_EQ(GetDlgCtrlID(c), 13);

    std::vector<HWND> all;
    EnumChildWindows(owner, Collect, reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(all, (std::vector<HWND>{a, c, b}));

    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(c, &pid), GetCurrentThreadId());
    EXPECT_EQ(pid, GetCurrentProcessId());

    EXPECT_EQ(SetParent(c, b), a);
    EXPECT_EQ(GetParent(c), b);
    EXPECT_EQ(SetParent(b, c), nullptr);  // a window cannot go under its own child

    // Destroying the owner destroys the owned popup too.
    EXPECT_TRUE(DestroyWindow(owner));
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(Windows, TextAndDialogIntegers) {
    HWND w = Make(WL("start"), WS_POPUP, nullptr);
    HWND item = Make(WL(""), WS_CHILD, w, 5);
    WCHAR buf[6];
    EXPECT_EQ(GetWindowTextLengthW(w), 5);
    EXPECT_TRUE(SetWindowTextW(w, WL("a longer text")));
    EXPECT_EQ(GetWindowTextW(w, buf, 6), 5);
    EXPECT_EQ(nvx::WString(buf), nvx::WString(WL("a lon")));
    EXPECT_EQ(GetWindowTextW(w, buf, 0), 0);

    EXPECT_TRUE(SetDlgItemInt(w, 5, static_cast<UINT>(-42), TRUE));
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(w, 5, &ok, TRUE)), -42);
    EXPECT_TRUE(ok);
    SetDlgItemTextW(w, 5, WL("  17xyz"));
    EXPECT_EQ(GetDlgItemInt(w, 5, &ok, FALSE), 17u);  // stops at the first non-digit
    EXPECT_TRUE(ok);
    SetDlgItemTextW(w, 5, WL("abc"));
    EXPECT_EQ(GetDlgItemInt(w, 5, &ok, TRUE), 0u);
    EXPECT_FALSE(ok);
    SetDlgItemTextW(w, 5, WL("99999999999"));
    EXPECT_EQ(GetDlgItemInt(w, 5, &ok, FALSE), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetDlgItemTextW(w, 77, buf, 6), 0u);
    EXPECT_EQ(buf[0], 0);
    (void)item;
    EXPECT_TRUE(DestroyWindow(w));
}

WNDPROC g_previous = nullptr;
LRESULT CALLBACK Doubler(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER + 1) return 2 * CallWindowProcW(g_previous, hwnd, msg, wParam, lParam);
    return CallWindowProcW(g_previous, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK AddTen(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref) {
    if (msg == WM_USER + 1) return DefSubclassProc(hwnd, msg, wParam, lParam) + static_cast<LRESULT>(ref) + id;
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

TEST_F(Windows, SubclassingChains) {
    HWND w = Make(WL("w"), WS_POPUP, nullptr);
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 1, 2), 3);
    g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Doubler)));
    EXPECT_EQ(g_previous, &RecordingProc);
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 1, 2), 6);

    EXPECT_TRUE(SetWindowSubclass(w, AddTen, 0, 10));
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 1, 2), 16);
    EXPECT_TRUE(SetWindowSubclass(w, AddTen, 1, 100));  // a second entry of the same procedure
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 1, 2), 117);
    EXPECT_TRUE(SetWindowSubclass(w, AddTen, 1, 1000));  // the same entry gets new data
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 1, 2), 1017);
    EXPECT_TRUE(RemoveWindowSubclass(w, AddTen, 0));
    EXPECT_TRUE(RemoveWindowSubclass(w, AddTen, 1));
    EXPECT_FALSE(RemoveWindowSubclass(w, AddTen, 1));
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Doubler));
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 1, 2), 6);
    EXPECT_TRUE(DestroyWindow(w));
}

}  // namespace

namespace {

// The error codes of failed window calls, and an unsigned reading of a signed
// number (under Wine these are left out by name: docs/platform-ui.md).
TEST_F(Windows, FailuresSetTheirErrorCodes) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, WL("NoSuchClass"), WL(""), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));

    HWND owner = Make(WL("O"), WS_POPUP, nullptr);
    HWND a = Make(WL("A"), WS_CHILD, owner, 11);
    HWND c = Make(WL("C"), WS_CHILD, a, 13);
    ASSERT_TRUE(owner && a && c);
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(owner, 13), nullptr);  // only direct children
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
    EXPECT_TRUE(DestroyWindow(owner));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(owner));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Windows, UnsignedDialogIntegersRefuseASign) {
    HWND w = Make(WL("start"), WS_POPUP, nullptr);
    ASSERT_NE(Make(WL(""), WS_CHILD, w, 5), nullptr);
    EXPECT_TRUE(SetDlgItemInt(w, 5, static_cast<UINT>(-42), TRUE));
    BOOL ok = TRUE;
    EXPECT_EQ(GetDlgItemInt(w, 5, &ok, FALSE), 0u);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(DestroyWindow(w));
}

struct ThreadTrees {
    std::vector<HWND> windows;
};

DWORD WINAPI MakeTreesAndEnd(LPVOID param) {
    auto* trees = static_cast<ThreadTrees*>(param);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's message queue
    for (int i = 0; i < 8; ++i) {
        HWND top = CreateWindowExW(0, WL("STATIC"), WL("top"), WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                   nullptr);
        HWND child = CreateWindowExW(0, WL("STATIC"), WL("child"), WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr,
                                     nullptr);
        HWND grandchild = CreateWindowExW(0, WL("STATIC"), WL("grandchild"), WS_CHILD, 0, 0, 5, 5, child, nullptr,
                                          nullptr, nullptr);
        trees->windows.insert(trees->windows.end(), {top, child, grandchild});
    }
    return 0;  // ends with every window still standing
}

// A thread that ends takes its windows with it, whatever order they are found in
// (a parent may go before its children).
TEST_F(Windows, AThreadThatEndsTakesItsWindowTreesWithIt) {
    ThreadTrees trees;
    HANDLE thread = CreateThread(nullptr, 0, MakeTreesAndEnd, &trees, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    ASSERT_EQ(24u, trees.windows.size());
    for (HWND w : trees.windows) {
        EXPECT_NE(nullptr, w);
        EXPECT_FALSE(IsWindow(w));
    }
}

}  // namespace
