// Messages: the posted queue and its retrieval order, WM_QUIT, timers, WM_PAINT,
// messages sent from another thread, focus and activation traffic.
#include <atomic>
#include <thread>

#include "platform/ui_test_util.h"

namespace {

using uitest::Recorder;
using uitest::UiTest;

Recorder g_log;
std::atomic<DWORD> g_procThread{0};

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        g_log.Add("WM_PAINT");
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        g_log.Add("WM_TIMER " + std::to_string(wParam));
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ACTIVATE:
    case WM_ENABLE: {
        WCHAR name[16] = {};
        GetWindowTextW(hwnd, name, 16);
        g_log.Add(nvx::Utf8FromW(name) + " " + uitest::Describe(msg, wParam, lParam));
        break;
    }
    case WM_USER + 5:
        g_procThread = GetCurrentThreadId();
        return static_cast<LRESULT>(wParam * 10);
    case WM_USER + 6:
        g_log.Add("posted " + std::to_string(wParam));
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const WCHAR* kClass = WL("NvxMessageTest");

class Messages : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        ASSERT_NE(RegisterClassW(&wc), 0);
        g_log.Clear();
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override {
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
        UiTest::TearDown();
    }
    HWND Make(const WCHAR* name, DWORD style, HWND parent = nullptr) {
        return CreateWindowExW(0, kClass, name, style, 0, 0, 200, 100, parent, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
    }
    void Drain() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
};

TEST_F(Messages, PostedMessagesComeInOrderThenQuit) {
    HWND w = Make(WL("w"), WS_POPUP);
    EXPECT_TRUE(PostMessageW(w, WM_USER + 6, 1, 0));
    EXPECT_TRUE(PostMessageW(w, WM_USER + 6, 2, 0));
    PostQuitMessage(7);
    EXPECT_TRUE(PostMessageW(w, WM_USER + 6, 3, 0));
    MSG m;
    EXPECT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 6));
    EXPECT_EQ(m.wParam, 1u);
    int got = 0;
    while (GetMessageW(&m, nullptr, 0, 0)) {
        DispatchMessageW(&m);
        ++got;
    }
    EXPECT_EQ(got, 3);  // WM_QUIT comes after every posted message
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(g_log.Joined("posted"), "posted 1|posted 2|posted 3");

    // Filters by window and by range.
    PostMessageW(w, WM_USER + 6, 4, 0);
    PostMessageW(nullptr, WM_USER + 6, 5, 0);
    EXPECT_TRUE(PeekMessageW(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER + 7, WM_USER + 8, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&m, w, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(m.wParam, 4u);

    SetLastError(0);
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7777)), WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_TRUE(DestroyWindow(w));
}

UINT_PTR g_procTimer = 0;
void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    g_procTimer = id;
}

TEST_F(Messages, TimersFireThroughTheLoopUntilKilled) {
    HWND w = Make(WL("w"), WS_POPUP);
    EXPECT_EQ(SetTimer(w, 42, 10, nullptr), 42u);
    MSG m;
    int timers = 0;
    while (timers < 2 && GetMessageW(&m, nullptr, 0, 0)) {
        if (m.message == WM_TIMER) ++timers;
        DispatchMessageW(&m);
    }
    EXPECT_EQ(g_log.Joined("WM_TIMER"), "WM_TIMER 42|WM_TIMER 42");
    EXPECT_TRUE(KillTimer(w, 42));
    EXPECT_FALSE(KillTimer(w, 42));
    Sleep(20);
    EXPECT_FALSE(PeekMessageW(&m, w, WM_TIMER, WM_TIMER, PM_REMOVE));

    UINT_PTR id = SetTimer(nullptr, 0, 10, TimerProc);
    EXPECT_NE(id, 0u);
    while (!g_procTimer && GetMessageW(&m, nullptr, 0, 0)) DispatchMessageW(&m);
    EXPECT_EQ(g_procTimer, id);
    EXPECT_TRUE(KillTimer(nullptr, id));

    // A timer dies with its window.
    SetTimer(w, 1, 10, nullptr);
    EXPECT_TRUE(DestroyWindow(w));
    Sleep(20);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(Messages, PaintComesWhenVisibleAndInvalid) {
    HWND w = Make(WL("w"), WS_POPUP | WS_VISIBLE);
    Drain();
    EXPECT_EQ(g_log.Joined("WM_PAINT"), "WM_PAINT");
    g_log.Clear();
    Drain();
    EXPECT_EQ(g_log.Joined("WM_PAINT"), "");
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(InvalidateRect(w, &r, TRUE));
    RECT update;
    EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
    EXPECT_EQ(update.right, 10);
    EXPECT_TRUE(UpdateWindow(w));  // sends WM_PAINT at once
    EXPECT_EQ(g_log.Joined("WM_PAINT"), "WM_PAINT");
    EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
    g_log.Clear();
    ShowWindow(w, SW_HIDE);
    InvalidateRect(w, nullptr, TRUE);
    Drain();
    EXPECT_EQ(g_log.Joined("WM_PAINT"), "");  // hidden windows are not painted
    EXPECT_TRUE(DestroyWindow(w));
}

TEST_F(Messages, SendFromAnotherThreadRunsOnTheOwner) {
    HWND w = Make(WL("w"), WS_POPUP);
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    std::thread other([&] {
        result = SendMessageW(w, WM_USER + 5, 4, 0);
        done = true;
    });
    MSG m;
    while (!done) {
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        Sleep(1);
    }
    other.join();
    EXPECT_EQ(result.load(), 40);
    EXPECT_EQ(g_procThread.load(), GetCurrentThreadId());

    // A window of another thread is not this thread's to destroy.
    std::atomic<HWND> foreign{nullptr};
    std::thread maker([&] {
        foreign = CreateWindowExW(0, kClass, WL("f"), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        SetLastError(0);
        EXPECT_TRUE(IsWindow(foreign));
        EXPECT_TRUE(DestroyWindow(foreign));
    });
    maker.join();
    EXPECT_FALSE(IsWindow(foreign));
    EXPECT_TRUE(DestroyWindow(w));
}

TEST_F(Messages, FocusActivationAndEnable) {
    HWND top = Make(WL("top"), WS_POPUP | WS_VISIBLE);
    HWND a = Make(WL("a"), WS_CHILD | WS_VISIBLE, top);
    HWND b = Make(WL("b"), WS_CHILD | WS_VISIBLE, top);
    HWND other = Make(WL("other"), WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), other);
    g_log.Clear();
    EXPECT_EQ(SetFocus(a), other);  // the focus was on the active window
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetFocus(), a);
    // Activation runs first: DefWindowProcW gives the newly active window the
    // focus, then SetFocus moves it on to the child.
    EXPECT_EQ(g_log.Joined(),
              "other WM_ACTIVATE|top WM_ACTIVATE|other WM_KILLFOCUS|top WM_SETFOCUS|top WM_KILLFOCUS|a WM_SETFOCUS");
    g_log.Clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(g_log.Joined(), "a WM_KILLFOCUS|b WM_SETFOCUS");

    g_log.Clear();
    EXPECT_FALSE(EnableWindow(b, FALSE));  // it was enabled
    EXPECT_EQ(GetFocus(), nullptr);        // a disabled window loses the focus
    EXPECT_EQ(g_log.Joined(), "b WM_KILLFOCUS|b WM_ENABLE");
    EXPECT_EQ(SetFocus(b), nullptr);  // and cannot take it
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(b, TRUE));  // it was disabled

    SetFocus(a);
    ShowWindow(a, SW_HIDE);  // the focus goes to the parent
    EXPECT_EQ(GetFocus(), top);
    EXPECT_FALSE(IsWindowVisible(a));
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(b));  // hidden with its parent
    EXPECT_TRUE(GetWindowLongW(b, GWL_STYLE) & WS_VISIBLE);

    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_TRUE(DestroyWindow(other));
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Messages, GeometryMapsBetweenWindows) {
    HWND top = CreateWindowExW(0, kClass, WL("t"), WS_POPUP | WS_CAPTION | WS_BORDER, 100, 50, 300, 200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND child = CreateWindowExW(0, kClass, WL("c"), WS_CHILD, 10, 20, 30, 40, top, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_BORDER, FALSE, 0);
    RECT client, window;
    GetClientRect(top, &client);
    GetWindowRect(top, &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(client.right, 300 - (frame.right - frame.left));
    EXPECT_EQ(client.bottom, 200 - (frame.bottom - frame.top));
    POINT p{0, 0};
    ClientToScreen(child, &p);
    RECT cr;
    GetWindowRect(child, &cr);
    EXPECT_EQ(p.x, cr.left);
    EXPECT_EQ(p.x, 100 - frame.left + 10);
    POINT q = p;
    ScreenToClient(top, &q);
    EXPECT_EQ(q.x, 10);
    EXPECT_EQ(q.y, 20);
    POINT pts[2] = {{0, 0}, {5, 5}};
    MapWindowPoints(child, top, pts, 2);
    EXPECT_EQ(pts[1].x, 15);
    EXPECT_EQ(pts[1].y, 25);
    EXPECT_TRUE(MoveWindow(child, 1, 2, 3, 4, TRUE));
    GetClientRect(child, &cr);
    EXPECT_EQ(cr.right, 3);
    EXPECT_EQ(cr.bottom, 4);
    EXPECT_TRUE(DestroyWindow(top));
}

}  // namespace
