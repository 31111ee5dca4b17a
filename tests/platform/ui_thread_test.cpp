// Windows of a second thread: a modeless dialog with its own message loop whose
// animation runs while the creating thread is blocked, the foreground window
// across threads, and what a thread that ends leaves behind.  On Linux also the
// host's window watcher.
#include <atomic>
#include <string>
#include <vector>

#include "platform/ui_test_util.h"
#include "support/thread_count.h"
#include "testdlls/testdll_paths.h"
#include "uidlls/uitest.h"

namespace {

using uitest::UiTest;

// What the window thread is given and reports.
struct WindowThread {
    HMODULE library = nullptr;
    HANDLE started = nullptr;  // set once the dialog is up (or could not be made)
    HANDLE stop = nullptr;     // the thread destroys its dialog and ends
    HANDLE animationStopped = nullptr;  // ACN_STOP reached the dialog
    bool destroyOnStop = true;
    int rounds = 3;
    std::atomic<HWND> dialog{nullptr};
    std::atomic<HWND> animation{nullptr};
    std::atomic<int> starts{0};
    std::atomic<DWORD> dialogThread{0};
};

INT_PTR CALLBACK ClipDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return TRUE;
    }
    auto* w = reinterpret_cast<WindowThread*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (msg == WM_COMMAND && w && LOWORD(wParam) == IDC_ANIMATE) {
        if (HIWORD(wParam) == ACN_START) ++w->starts;
        if (HIWORD(wParam) == ACN_STOP) SetEvent(w->animationStopped);
    }
    return FALSE;
}

// Makes a dialog with a clip that plays `rounds` times, then runs its messages
// until told to stop (every wait bounded: the stop event is looked at every
// 10 ms).
DWORD WINAPI RunWindowThread(LPVOID arg) {
    auto* w = static_cast<WindowThread*>(arg);
    uitest::TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION, 120, 60, WL("Please wait"));
    t.Control(IDC_ANIMATE, 0, WL("SysAnimate32"), WL(""), WS_VISIBLE | ACS_TRANSPARENT, 10, 10, 30, 30);
    HWND dlg = CreateDialogIndirectParamW(nullptr, t.Get(), nullptr, ClipDialogProc, reinterpret_cast<LPARAM>(w));
    w->dialog = dlg;
    w->dialogThread = GetCurrentThreadId();
    if (dlg) {
        HWND anim = GetDlgItem(dlg, IDC_ANIMATE);
        w->animation = anim;
        SendMessageW(anim, ACM_OPENW, reinterpret_cast<WPARAM>(w->library), reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_CLIP)));
        ShowWindow(dlg, SW_SHOWNOACTIVATE);
        SendMessageW(anim, ACM_PLAY, static_cast<WPARAM>(w->rounds), MAKELPARAM(0, 0xFFFF));
    }
    SetEvent(w->started);
    for (;;) {
        if (WaitForSingleObject(w->stop, 10) == WAIT_OBJECT_0) {
            if (dlg && w->destroyOnStop) DestroyWindow(dlg);
            return 0;
        }
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
}

class WindowThreads : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&icc);
        w_.library = LoadLibraryW(testdll::Path("UITEST.DLL").c_str());
        ASSERT_NE(w_.library, nullptr);
        w_.started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        w_.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        w_.animationStopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        threadsBefore_ = nvxtest::SettledThreadCount();
    }
    void TearDown() override {
        if (thread_) {
            SetEvent(w_.stop);
            WaitForSingleObject(thread_, 10000);
            CloseHandle(thread_);
        }
        for (HANDLE h : {w_.started, w_.stop, w_.animationStopped}) CloseHandle(h);
        FreeLibrary(w_.library);
        UiTest::TearDown();
    }
    void StartThread() {
        thread_ = CreateThread(nullptr, 0, RunWindowThread, &w_, 0, nullptr);
        ASSERT_NE(thread_, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(w_.started, 10000));
        ASSERT_NE(w_.dialog.load(), nullptr);
    }
    void StopThread() {
        SetEvent(w_.stop);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread_, 10000));
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    WindowThread w_;
    HANDLE thread_ = nullptr;
    int threadsBefore_ = 0;
};

TEST_F(WindowThreads, ClipPlaysOnTheWindowThreadWhileTheCreatorIsBlocked) {
    StartThread();
    HWND dlg = w_.dialog;
    EXPECT_EQ(GetWindowThreadProcessId(dlg, nullptr), w_.dialogThread.load());
    EXPECT_NE(GetWindowThreadProcessId(dlg, nullptr), GetCurrentThreadId());
    EXPECT_TRUE(IsWindowVisible(dlg));
    // Three rounds of two frames at ten a second: this thread only waits (it runs
    // no messages); the clip's timer runs on the dialog's thread and ends the play.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(w_.animationStopped, 5000));
    EXPECT_EQ(1, w_.starts.load());
    // A message sent from here runs on the dialog's thread, which answers it from
    // its loop.
    EXPECT_FALSE(SendMessageW(w_.animation, ACM_ISPLAYING, 0, 0));
    // This thread cannot destroy the other thread's window.
    EXPECT_FALSE(DestroyWindow(dlg));
    StopThread();
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_EQ(threadsBefore_, nvxtest::ThreadCountSettlesAt(threadsBefore_));
}

TEST_F(WindowThreads, ForegroundGoesBackToTheOwnerAfterward) {
    HWND mine = CreateWindowExW(0, WL("Static"), WL("owner"), WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(SetForegroundWindow(mine));
    EXPECT_EQ(GetForegroundWindow(), mine);
    EXPECT_EQ(GetActiveWindow(), mine);
    StartThread();
    StopThread();
    EXPECT_TRUE(SetForegroundWindow(mine));
    EXPECT_EQ(GetForegroundWindow(), mine);
    EXPECT_EQ(GetActiveWindow(), mine);
    DestroyWindow(mine);
    EXPECT_FALSE(SetForegroundWindow(mine));
}

TEST_F(WindowThreads, ThreadThatEndsTakesItsWindowsWithIt) {
    w_.destroyOnStop = false;  // the thread leaves without destroying its dialog
    StartThread();
    HWND dlg = w_.dialog;
    EXPECT_TRUE(IsWindow(dlg));
    StopThread();  // its handle is signalled only once its windows are gone
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_EQ(threadsBefore_, nvxtest::ThreadCountSettlesAt(threadsBefore_));
}

#ifndef _WIN32
struct Seen {
    std::vector<std::string> events;
    void Add(HWND, int resourceId, UINT event) {
        events.push_back((event == NVXUI_WINDOW_SHOWN ? "shown " : "hidden ") + std::to_string(resourceId));
    }
};

void Watch(void* context, HWND window, int resourceId, UINT event) {
    static_cast<Seen*>(context)->Add(window, resourceId, event);
}

TEST_F(WindowThreads, WatcherSeesTopLevelWindowsComeAndGo) {
    Seen seen;
    NvxUi_SetWindowWatcher(Watch, &seen);
    // A dialog of a numbered template: shown, hidden, shown again, destroyed.
    HWND dlg = CreateDialogParamW(w_.library, MAKEINTRESOURCEW(IDD_CLASSIC), nullptr, uitest::RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    ShowWindow(dlg, SW_SHOW);
    ShowWindow(dlg, SW_SHOW);  // no change, no call
    ShowWindow(dlg, SW_HIDE);
    ShowWindow(dlg, SW_SHOW);
    // Children are not top-level windows.
    HWND child = CreateWindowExW(0, WL("Static"), WL(""), WS_CHILD, 0, 0, 5, 5, dlg, nullptr, nullptr, nullptr);
    ShowWindow(child, SW_SHOW);
    DestroyWindow(dlg);
    // A window in memory is number 0; one its thread leaves behind is reported gone.
    w_.destroyOnStop = false;
    StartThread();
    StopThread();
    NvxUi_SetWindowWatcher(nullptr, nullptr);
    const std::string idd = std::to_string(IDD_CLASSIC);
    EXPECT_EQ(seen.events, (std::vector<std::string>{"shown " + idd, "hidden " + idd, "shown " + idd,
                                                     "hidden " + idd, "shown 0", "hidden 0"}));
}
#endif

}  // namespace
