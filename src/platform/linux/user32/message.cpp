// Messages: sending (directly on the window's thread, or handed to the owning
// thread, which runs it while it waits for or peeks at messages), the per-thread
// queue of posted messages, WM_QUIT, timers and WM_PAINT generation, and the
// retrieval order of Win32: sent messages, posted messages, WM_QUIT, WM_PAINT,
// WM_TIMER.
#include <chrono>
#include <unordered_map>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kErrorInvalidThreadId = 1444;

struct ThreadQueue;

struct SentMessage {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
    bool wantsReply = true;
    ThreadQueue* sender = nullptr;
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    Clock::time_point due;
    TIMERPROC proc;
};

struct ThreadQueue {
    DWORD id = 0;
    std::mutex m;
    std::condition_variable cv;
    std::deque<MSG> posted;
    std::deque<SentMessage*> incoming;
    bool quit = false;
    int quitCode = 0;
    // Used by the owning thread only.
    std::vector<Timer> timers;
    ThreadUiState ui;
    DWORD lastTime = 0;
    UINT_PTR nextTimerId = 0x7000;
};

std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}

std::unordered_map<DWORD, ThreadQueue*>& Registry() {
    static auto* registry = new std::unordered_map<DWORD, ThreadQueue*>;
    return *registry;
}

// Completes a sent message: the sender stops waiting, or a notification is freed.
void Complete(SentMessage* sm, LRESULT result) {
    if (!sm->wantsReply) {
        delete sm;
        return;
    }
    std::lock_guard<std::mutex> lock(sm->sender->m);
    sm->result = result;
    sm->done = true;
    sm->sender->cv.notify_all();
}

// The thread's queue, made on first use and torn down when the thread ends:
// waiting senders get 0 and the thread's windows are freed without messages.
struct QueueHolder {
    std::unique_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        {
            std::lock_guard<std::mutex> lock(RegistryMutex());
            Registry().erase(queue->id);
        }
        std::deque<SentMessage*> pending;
        {
            std::lock_guard<std::mutex> lock(queue->m);
            pending.swap(queue->incoming);
        }
        for (SentMessage* sm : pending) Complete(sm, 0);
        DropThreadWindows(queue->id);
    }
};
thread_local QueueHolder t_holder;

ThreadQueue& Here() {
    if (!t_holder.queue) {
        t_holder.queue = std::make_unique<ThreadQueue>();
        t_holder.queue->id = CurrentThreadId();
        std::lock_guard<std::mutex> lock(RegistryMutex());
        Registry()[t_holder.queue->id] = t_holder.queue.get();
    }
    return *t_holder.queue;
}

LRESULT CallProc(const WindowRef& w, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc;
    {
        UiLock lock(UiMutex());
        proc = w->proc;
    }
    return proc ? proc(w->hwnd, msg, wParam, lParam) : 0;
}

// Runs the messages other threads sent to this one.
void ProcessIncoming(ThreadQueue& q) {
    for (;;) {
        SentMessage* sm;
        {
            std::lock_guard<std::mutex> lock(q.m);
            if (q.incoming.empty()) return;
            sm = q.incoming.front();
            q.incoming.pop_front();
        }
        LRESULT result = 0;
        if (WindowRef w = GetWindowRef(sm->hwnd)) {
            ++q.ui.sendDepth;
            result = CallProc(w, sm->msg, sm->wParam, sm->lParam);
            --q.ui.sendDepth;
        }
        Complete(sm, result);
    }
}

// Hands a message to another thread; waits for the answer when one is wanted,
// running messages sent to this thread meanwhile (so two threads that send to
// each other do not deadlock).
LRESULT SendToThread(DWORD target, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool wait) {
    ThreadQueue& me = Here();
    SentMessage local;
    SentMessage* sm = wait ? &local : new SentMessage;
    sm->hwnd = hwnd;
    sm->msg = msg;
    sm->wParam = wParam;
    sm->lParam = lParam;
    sm->wantsReply = wait;
    sm->sender = &me;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        auto it = Registry().find(target);
        if (it == Registry().end()) {
            if (!wait) delete sm;
            return 0;
        }
        std::lock_guard<std::mutex> qlock(it->second->m);
        it->second->incoming.push_back(sm);
        it->second->cv.notify_all();
    }
    if (!wait) return TRUE;
    std::unique_lock<std::mutex> lock(me.m);
    while (!local.done) {
        if (!me.incoming.empty()) {
            lock.unlock();
            ProcessIncoming(me);
            lock.lock();
            continue;
        }
        me.cv.wait(lock);
    }
    return local.result;
}

bool InRange(UINT msg, UINT min, UINT max) {
    return (min == 0 && max == 0) || (msg >= min && msg <= max);
}

bool HwndMatches(HWND filter, HWND hwnd) {
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(-1)) return hwnd == nullptr;
    return hwnd == filter || IsChild(filter, hwnd);
}

// The next message in Win32's retrieval order, or false when none is ready.
// Timers count as due when due by `horizon`.
bool Fetch(ThreadQueue& q, MSG* out, HWND filter, UINT min, UINT max, bool remove, Clock::time_point horizon) {
    ProcessIncoming(q);
    {
        std::lock_guard<std::mutex> lock(q.m);
        for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
            if (!InRange(it->message, min, max) || !HwndMatches(filter, it->hwnd)) continue;
            *out = *it;
            if (remove) q.posted.erase(it);
            q.lastTime = out->time;
            return true;
        }
        if (q.quit && InRange(WM_QUIT, min, max)) {
            *out = MSG{};
            out->message = WM_QUIT;
            out->wParam = static_cast<WPARAM>(q.quitCode);
            StampMessage(out);
            if (remove) q.quit = false;
            return true;
        }
    }
    if (InRange(WM_PAINT, min, max)) {
        if (HWND paint = NextWindowToPaint(filter)) {
            *out = MSG{};
            out->hwnd = paint;
            out->message = WM_PAINT;
            StampMessage(out);
            return true;
        }
    }
    if (InRange(WM_TIMER, min, max)) {
        Timer* next = nullptr;
        for (Timer& t : q.timers)
            if (t.due <= horizon && HwndMatches(filter, t.hwnd) && (!next || t.due < next->due)) next = &t;
        if (next) {
            *out = MSG{};
            out->hwnd = next->hwnd;
            out->message = WM_TIMER;
            out->wParam = next->id;
            out->lParam = reinterpret_cast<LPARAM>(next->proc);
            StampMessage(out);
            if (remove) next->due = Clock::now() + std::chrono::milliseconds(next->interval);
            return true;
        }
    }
    return false;
}

// Waits until something arrives for this thread or `until` passes.
void WaitForWork(ThreadQueue& q, Clock::time_point until) {
    for (const Timer& t : q.timers)
        if (t.due < until) until = t.due;
    std::unique_lock<std::mutex> lock(q.m);
    if (!q.posted.empty() || !q.incoming.empty() || q.quit) return;
    if (until == Clock::time_point::max())
        q.cv.wait(lock);
    else
        q.cv.wait_until(lock, until);
}

BOOL Post(DWORD thread, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    StampMessage(&m);
    if (thread == CurrentThreadId()) Here();
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto it = Registry().find(thread);
    if (it == Registry().end()) return Fail(kErrorInvalidThreadId, FALSE);
    std::lock_guard<std::mutex> qlock(it->second->m);
    it->second->posted.push_back(m);
    it->second->cv.notify_all();
    return TRUE;
}

void Dispatch(const MSG& m, HWND dialog) {
    if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, const_cast<MSG*>(&m))) return;
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

}  // namespace

ThreadUiState& ThreadUi() {
    return Here().ui;
}

void StampMessage(MSG* msg) {
    msg->time = TickNow();
    GetCursorPos(&msg->pt);
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowRef w = GetWindowRef(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    DWORD thread = w->thread;
    if (thread == 0 || thread == CurrentThreadId()) return CallProc(w, msg, wParam, lParam);
    return SendToThread(thread, hwnd, msg, wParam, lParam, true);
}

LRESULT NotifyCommand(HWND control, UINT code) {
    HWND parent = GetParent(control);
    if (!parent) return 0;
    return Send(parent, WM_COMMAND, MAKEWPARAM(IdOf(control), code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, NMHDR* header, UINT code) {
    HWND parent = GetParent(control);
    header->hwndFrom = control;
    header->idFrom = static_cast<UINT_PTR>(IdOf(control));
    header->code = code;
    if (!parent) return 0;
    return Send(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

bool PumpPending(HWND dialog) {
    ThreadQueue& q = Here();
    Clock::time_point horizon = Clock::now();
    MSG m;
    for (int count = 0; count < 100000; ++count) {
        if (!Fetch(q, &m, nullptr, 0, 0, true, horizon)) return true;
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return false;
        }
        Dispatch(m, dialog);
    }
    return true;
}

bool PumpFor(DWORD milliseconds) {
    ThreadQueue& q = Here();
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    MSG m;
    for (;;) {
        if (Fetch(q, &m, nullptr, 0, 0, true, Clock::now())) {
            if (m.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(m.wParam));
                return false;
            }
            Dispatch(m, nullptr);
            continue;
        }
        if (Clock::now() >= deadline) return true;
        WaitForWork(q, deadline);
    }
}

void ForgetWindowMessages(HWND hwnd) {
    ThreadQueue& q = Here();
    for (auto it = q.timers.begin(); it != q.timers.end();)
        it = it->hwnd == hwnd ? q.timers.erase(it) : it + 1;
    std::lock_guard<std::mutex> lock(q.m);
    for (auto it = q.posted.begin(); it != q.posted.end();)
        it = it->hwnd == hwnd ? q.posted.erase(it) : it + 1;
}

}  // namespace nvxp

using nvxp::Fail;

extern "C" {

NVXAPI LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return nvxp::Send(hWnd, Msg, wParam, lParam);
}

NVXAPI LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? nvxp::Send(item, Msg, wParam, lParam) : 0;
}

// Runs at once on the window's own thread; queued without waiting for another thread.
NVXAPI BOOL WINAPI SendNotifyMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    nvxp::WindowRef w = nvxp::GetWindowRef(hWnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    if (w->thread == 0 || w->thread == nvxp::CurrentThreadId()) {
        nvxp::CallProc(w, Msg, wParam, lParam);
        return TRUE;
    }
    return static_cast<BOOL>(nvxp::SendToThread(w->thread, hWnd, Msg, wParam, lParam, false));
}

NVXAPI LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!lpPrevWndFunc) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

NVXAPI BOOL WINAPI InSendMessage(void) {
    return nvxp::ThreadUi().sendDepth > 0;
}

NVXAPI BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) return nvxp::Post(nvxp::CurrentThreadId(), nullptr, Msg, wParam, lParam);
    if (hWnd == HWND_BROADCAST) {
        for (HWND top : nvxp::ChildHandles(GetDesktopWindow()))
            nvxp::Post(GetWindowThreadProcessId(top, nullptr), top, Msg, wParam, lParam);
        return TRUE;
    }
    DWORD thread = GetWindowThreadProcessId(hWnd, nullptr);
    if (!IsWindow(hWnd)) return FALSE;
    if (thread == 0) return TRUE;  // the desktop takes no posted messages
    return nvxp::Post(thread, hWnd, Msg, wParam, lParam);
}

NVXAPI BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return nvxp::Post(idThread, nullptr, Msg, wParam, lParam);
}

NVXAPI void WINAPI PostQuitMessage(int nExitCode) {
    nvxp::ThreadQueue& q = nvxp::Here();
    std::lock_guard<std::mutex> lock(q.m);
    q.quit = true;
    q.quitCode = nExitCode;
    q.cv.notify_all();
}

// Waits for a message; FALSE for WM_QUIT, -1 for a bad hWnd filter.
NVXAPI BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg) return Fail(ERROR_NOACCESS, -1);
    if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !nvxp::CheckWindow(hWnd)) return -1;
    nvxp::ThreadQueue& q = nvxp::Here();
    for (;;) {
        if (nvxp::Fetch(q, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true, nvxp::Clock::now()))
            return lpMsg->message != WM_QUIT;
        nvxp::WaitForWork(q, nvxp::Clock::time_point::max());
    }
}

NVXAPI BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) return Fail(ERROR_NOACCESS, FALSE);
    if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !nvxp::CheckWindow(hWnd)) return FALSE;
    return nvxp::Fetch(nvxp::Here(), lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0,
                       nvxp::Clock::now());
}

NVXAPI BOOL WINAPI WaitMessage(void) {
    nvxp::ThreadQueue& q = nvxp::Here();
    MSG m;
    while (!nvxp::Fetch(q, &m, nullptr, 0, 0, false, nvxp::Clock::now()))
        nvxp::WaitForWork(q, nvxp::Clock::time_point::max());
    return TRUE;
}

NVXAPI DWORD WINAPI GetMessageTime(void) {
    return nvxp::Here().lastTime;
}

// Posts WM_CHAR for a key that makes a character (letters follow the shift key
// state that the host sets; there is no other keyboard state).
NVXAPI BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    UINT msg = lpMsg->message;
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN) return msg == WM_KEYUP || msg == WM_SYSKEYUP;
    WPARAM vk = lpMsg->wParam;
    WCHAR ch = 0;
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (vk >= 'A' && vk <= 'Z') ch = static_cast<WCHAR>(shift ? vk : vk + ('a' - 'A'));
    else if (vk >= '0' && vk <= '9') ch = static_cast<WCHAR>(vk);
    else if (vk >= 0x60 && vk <= 0x69) ch = static_cast<WCHAR>('0' + (vk - 0x60));
    else if (vk == VK_SPACE || vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)
        ch = static_cast<WCHAR>(vk);
    if (ch) {
        MSG m = *lpMsg;
        m.message = msg == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
        m.wParam = ch;
        nvxp::ThreadQueue& q = nvxp::Here();
        std::lock_guard<std::mutex> lock(q.m);
        q.posted.push_front(m);
    }
    return TRUE;
}

// Calls the window procedure (or the timer procedure of a WM_TIMER).  A window
// whose WM_PAINT left the update region is validated afterwards, so that a
// procedure that never calls BeginPaint cannot make the queue spin.
NVXAPI LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        nvxp::ThreadQueue& q = nvxp::Here();
        for (const nvxp::Timer& t : q.timers)
            if (t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam &&
                reinterpret_cast<LPARAM>(t.proc) == lpMsg->lParam) {
                t.proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, nvxp::TickNow());
                return 0;
            }
        return 0;
    }
    if (!lpMsg->hwnd) return 0;
    nvxp::WindowRef w = nvxp::GetWindowRef(lpMsg->hwnd);
    if (!w) return Fail(ERROR_INVALID_WINDOW_HANDLE, LRESULT(0));
    if (w->thread != nvxp::CurrentThreadId()) return Fail(ERROR_WINDOW_OF_OTHER_THREAD, LRESULT(0));
    LRESULT result = nvxp::CallProc(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
    if (lpMsg->message == WM_PAINT) nvxp::ValidateWindow(lpMsg->hwnd);
    return result;
}

// A timer of a window of this thread (replacing one with the same id) or, without
// a window, a thread timer with a fresh id unless nIDEvent names an existing one.
NVXAPI UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    nvxp::ThreadQueue& q = nvxp::Here();
    if (hWnd) {
        if (!nvxp::CheckWindow(hWnd)) return 0;
        if (GetWindowThreadProcessId(hWnd, nullptr) != nvxp::CurrentThreadId())
            return Fail(ERROR_ACCESS_DENIED, UINT_PTR(0));
    }
    if (uElapse < USER_TIMER_MINIMUM) uElapse = USER_TIMER_MINIMUM;
    if (uElapse > USER_TIMER_MAXIMUM) uElapse = USER_TIMER_MAXIMUM;
    UINT_PTR id = nIDEvent;
    if (!hWnd) {
        bool known = false;
        for (const nvxp::Timer& t : q.timers) known |= !t.hwnd && t.id == nIDEvent;
        if (!known) id = q.nextTimerId++;
    }
    nvxp::Timer timer{hWnd, id, uElapse, nvxp::Clock::now() + std::chrono::milliseconds(uElapse), lpTimerFunc};
    for (nvxp::Timer& t : q.timers)
        if (t.hwnd == hWnd && t.id == id) {
            t = timer;
            return hWnd ? (id ? id : 1) : id;
        }
    q.timers.push_back(timer);
    return hWnd ? (id ? id : 1) : id;
}

NVXAPI BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    nvxp::ThreadQueue& q = nvxp::Here();
    for (auto it = q.timers.begin(); it != q.timers.end(); ++it)
        if (it->hwnd == hWnd && it->id == uIDEvent) {
            q.timers.erase(it);
            return TRUE;
        }
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
}

}  // extern "C"
