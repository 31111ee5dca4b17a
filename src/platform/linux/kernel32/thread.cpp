// Threads over pthreads: CreateThread, exit codes, suspension at start, ids,
// priorities, Sleep.
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/kernel32/kernel_objects.h"

namespace nvxp {
namespace {

// A thread started by CreateThread.  It is signalled when its routine returns.
// The state is guarded by WaitLock().
class ThreadObject : public KernelObject {
public:
    ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, bool suspended)
        : KernelObject(ObjectKind::Thread), start_(start), parameter_(parameter), suspendCount_(suspended ? 1 : 0) {}
    bool IsWaitable() const override { return true; }
    bool IsSignaled(DWORD) const override { return finished_; }

    LPTHREAD_START_ROUTINE start_;
    LPVOID parameter_;
    DWORD suspendCount_;
    DWORD threadId_ = 0;  // 0 until the thread has started
    DWORD exitCode_ = STILL_ACTIVE;
    bool finished_ = false;
    int priority_ = THREAD_PRIORITY_NORMAL;  // guarded by WaitLock()
};

// The priority each thread was given (THREAD_PRIORITY_*); NORMAL until set.  A
// thread of CreateThread keeps it in its object, so that its handle answers it
// even after the thread has ended; any other thread keeps it here.
thread_local int t_priority = THREAD_PRIORITY_NORMAL;
thread_local ThreadObject* t_self = nullptr;  // the running thread's object, if CreateThread made it
bool ValidPriority(int priority) {
    return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
           priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

// The scheduler is asked for a nice value in step with the priority (five nice
// steps a level).  Raising it needs a right the process may lack; the priority
// is still kept and answered, as the scheduler's answer is only advice.
void ApplyNice(DWORD threadId, int priority) {
    int nice = priority == THREAD_PRIORITY_IDLE            ? 19
               : priority == THREAD_PRIORITY_TIME_CRITICAL ? -20
                                                           : -5 * priority;
    setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice);
}

// Marks the thread finished when the thread itself is torn down: it is the first
// thread-local object of the thread, so it is destroyed last, after every other
// thread-local object (the thread's message queue, which frees its windows).
// A wait on the thread therefore ends only when nothing of the thread is left
// to run in the layer.
struct FinishOnExit {
    std::shared_ptr<ThreadObject> self;
    DWORD code = 0;
    ~FinishOnExit() {
        if (!self) return;
        {
            std::lock_guard<std::mutex> lock(WaitLock());
            self->exitCode_ = code;
            self->finished_ = true;
        }
        WakeWaiters();
    }
};
thread_local FinishOnExit t_finish;

void* ThreadMain(void* arg) {
    auto* holder = static_cast<std::shared_ptr<ThreadObject>*>(arg);
    std::shared_ptr<ThreadObject> self = std::move(*holder);
    delete holder;
    t_finish.self = self;  // first thread-local of the thread: destroyed last
    t_self = self.get();
    {
        std::unique_lock<std::mutex> lock(WaitLock());
        self->threadId_ = GetCurrentThreadId();
        WakeWaiters();  // CreateThread waits for the id
        while (self->suspendCount_ > 0) WaitForWake(lock, 0);
        t_priority = self->priority_;
    }
    if (t_priority != THREAD_PRIORITY_NORMAL) ApplyNice(GetCurrentThreadId(), t_priority);
    t_finish.code = self->start_(self->parameter_);
    return nullptr;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI DWORD WINAPI GetCurrentThreadId(void) {
    static thread_local DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}

NVXAPI DWORD WINAPI GetCurrentProcessId(void) {
    return static_cast<DWORD>(getpid());
}

NVXAPI HANDLE WINAPI GetCurrentProcess(void) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

NVXAPI HANDLE WINAPI GetCurrentThread(void) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));
}

NVXAPI HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                                  LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                                  LPDWORD lpThreadId) {
    if (!lpStartAddress) return nvxp::Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    auto thread = std::make_shared<nvxp::ThreadObject>(lpStartAddress, lpParameter,
                                                       (dwCreationFlags & CREATE_SUSPENDED) != 0);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    // The stack is never smaller than the system default; a larger request is honoured.
    size_t defaultStack = 0;
    pthread_attr_getstacksize(&attr, &defaultStack);
    if (dwStackSize > defaultStack) pthread_attr_setstacksize(&attr, dwStackSize);
    auto* holder = new std::shared_ptr<nvxp::ThreadObject>(thread);
    pthread_t id;
    int rc = pthread_create(&id, &attr, nvxp::ThreadMain, holder);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete holder;
        return nvxp::Fail(rc == EAGAIN ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    }
    {
        std::unique_lock<std::mutex> lock(nvxp::WaitLock());
        while (thread->threadId_ == 0) nvxp::WaitForWake(lock, 0);
        if (lpThreadId) *lpThreadId = thread->threadId_;
    }
    return nvxp::AddHandle(thread);
}

NVXAPI DWORD WINAPI ResumeThread(HANDLE hThread) {
    auto thread = nvxp::FindHandleOf<nvxp::ThreadObject>(hThread, nvxp::ObjectKind::Thread);
    if (!thread) return nvxp::Fail(ERROR_INVALID_HANDLE, static_cast<DWORD>(-1));
    DWORD previous;
    {
        std::lock_guard<std::mutex> lock(nvxp::WaitLock());
        previous = thread->suspendCount_;
        if (thread->suspendCount_ > 0) --thread->suspendCount_;
    }
    nvxp::WakeWaiters();
    return previous;
}

NVXAPI BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto thread = nvxp::FindHandleOf<nvxp::ThreadObject>(hThread, nvxp::ObjectKind::Thread);
    if (!thread) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpExitCode) return nvxp::Fail(ERROR_NOACCESS, FALSE);
    std::lock_guard<std::mutex> lock(nvxp::WaitLock());
    *lpExitCode = thread->exitCode_;
    return TRUE;
}

NVXAPI DWORD WINAPI GetThreadId(HANDLE Thread) {
    if (Thread == GetCurrentThread()) return GetCurrentThreadId();
    auto thread = nvxp::FindHandleOf<nvxp::ThreadObject>(Thread, nvxp::ObjectKind::Thread);
    if (!thread) return nvxp::Fail(ERROR_INVALID_HANDLE, DWORD(0));
    std::lock_guard<std::mutex> lock(nvxp::WaitLock());
    return thread->threadId_;
}

// A priority level of THREAD_PRIORITY_*; anything else fails with
// ERROR_INVALID_PARAMETER.  A thread made by CreateThread starts at NORMAL, as on
// Windows, whatever its creator's level.
NVXAPI BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    if (!nvxp::ValidPriority(nPriority)) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (hThread == GetCurrentThread()) {
        nvxp::t_priority = nPriority;
        if (nvxp::t_self) {
            std::lock_guard<std::mutex> lock(nvxp::WaitLock());
            nvxp::t_self->priority_ = nPriority;
        }
        nvxp::ApplyNice(GetCurrentThreadId(), nPriority);
        return TRUE;
    }
    auto thread = nvxp::FindHandleOf<nvxp::ThreadObject>(hThread, nvxp::ObjectKind::Thread);
    if (!thread) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    DWORD id;
    bool running;
    {
        std::lock_guard<std::mutex> lock(nvxp::WaitLock());
        thread->priority_ = nPriority;
        id = thread->threadId_;
        running = !thread->finished_ && thread->suspendCount_ == 0;
    }
    // A suspended thread takes its level itself when it is resumed.
    if (running) nvxp::ApplyNice(id, nPriority);
    return TRUE;
}

// THREAD_PRIORITY_ERROR_RETURN with ERROR_INVALID_HANDLE for a bad handle.
NVXAPI int WINAPI GetThreadPriority(HANDLE hThread) {
    if (hThread == GetCurrentThread()) return nvxp::t_priority;
    auto thread = nvxp::FindHandleOf<nvxp::ThreadObject>(hThread, nvxp::ObjectKind::Thread);
    if (!thread) return nvxp::Fail(ERROR_INVALID_HANDLE, static_cast<int>(THREAD_PRIORITY_ERROR_RETURN));
    std::lock_guard<std::mutex> lock(nvxp::WaitLock());
    return thread->priority_;
}

NVXAPI BOOL WINAPI SwitchToThread(void) {
    return sched_yield() == 0 ? TRUE : FALSE;
}

NVXAPI void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0) {
        sched_yield();
        return;
    }
    if (dwMilliseconds == INFINITE) {
        for (;;) pause();
    }
    timespec ts{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

}  // extern "C"
