// Threads: creation suspended and resumed, priorities, waits on thread handles,
// and that a thread that has ended leaves nothing behind.
#include <atomic>

#include "support/platform_test.h"
#include "support/thread_count.h"

namespace {

class KernelThreads : public PlatformTest {};

struct Probe {
    HANDLE go = nullptr;
    std::atomic<int> ranBeforeGo{0};
    std::atomic<int> priorityInside{THREAD_PRIORITY_ERROR_RETURN};
};

DWORD WINAPI ReportPriority(LPVOID arg) {
    auto* p = static_cast<Probe*>(arg);
    p->priorityInside = GetThreadPriority(GetCurrentThread());
    if (p->go && WaitForSingleObject(p->go, 10000) != WAIT_OBJECT_0) return 1;
    return 0;
}

DWORD WINAPI MarkRan(LPVOID arg) {
    ++static_cast<Probe*>(arg)->ranBeforeGo;
    return 7;
}

TEST_F(KernelThreads, SuspendedThreadRunsOnlyWhenResumed) {
    Probe p;
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, MarkRan, &p, CREATE_SUSPENDED, &id);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(id, GetThreadId(t));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(t, 50));
    EXPECT_EQ(0, p.ranBeforeGo.load());
    EXPECT_EQ(1u, ResumeThread(t));  // the previous suspend count
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    EXPECT_EQ(1, p.ranBeforeGo.load());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(7u, code);
    EXPECT_EQ(0u, ResumeThread(t));  // an ended thread is not suspended
    EXPECT_TRUE(CloseHandle(t));
    EXPECT_EQ(static_cast<DWORD>(-1), ResumeThread(t));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(KernelThreads, PrioritiesAreKeptPerThread) {
    // The calling thread: its own level, through the pseudo handle.
    const int mine = GetThreadPriority(GetCurrentThread());
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, mine);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(GetCurrentThread()));

    // A new thread starts at NORMAL whatever its creator's level; a level given
    // while it is suspended is the one it runs with.
    Probe p;
    p.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE t = CreateThread(nullptr, 0, ReportPriority, &p, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(t));
    EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(THREAD_PRIORITY_LOWEST, GetThreadPriority(t));
    ResumeThread(t);
    for (DWORD start = GetTickCount(); p.priorityInside == THREAD_PRIORITY_ERROR_RETURN && GetTickCount() - start < 5000;)
        Sleep(1);
    EXPECT_EQ(THREAD_PRIORITY_LOWEST, p.priorityInside.load());
    EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_IDLE));  // the extremes are levels too
    EXPECT_EQ(THREAD_PRIORITY_IDLE, GetThreadPriority(t));
    SetEvent(p.go);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    EXPECT_EQ(THREAD_PRIORITY_IDLE, GetThreadPriority(t));  // still answered after the end

    // Levels between the named ones fail; so do bad handles.
    EXPECT_FALSE(SetThreadPriority(t, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(SetThreadPriority(t, -7));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    CloseHandle(t);
    CloseHandle(p.go);
    EXPECT_EQ(THREAD_PRIORITY_ERROR_RETURN, GetThreadPriority(t));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(SetThreadPriority(t, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), mine));
}

TEST_F(KernelThreads, EndedThreadsLeaveNoThreadBehind) {
    const int before = nvxtest::SettledThreadCount();
    ASSERT_GT(before, 0);
    HANDLE threads[4];
    Probe p[4];
    for (int i = 0; i < 4; ++i) {
        threads[i] = CreateThread(nullptr, 0, MarkRan, &p[i], 0, nullptr);
        ASSERT_NE(nullptr, threads[i]);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, 10000));
    for (HANDLE t : threads) CloseHandle(t);
    EXPECT_EQ(before, nvxtest::ThreadCountSettlesAt(before));
    // A suspended thread is a thread too, until it has run and ended.
    HANDLE t = CreateThread(nullptr, 0, MarkRan, &p[0], CREATE_SUSPENDED, nullptr);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(before + 1, nvxtest::ThreadCount());
    ResumeThread(t);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    CloseHandle(t);
    EXPECT_EQ(before, nvxtest::ThreadCountSettlesAt(before));
}

}  // namespace
