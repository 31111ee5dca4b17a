// Synchronisation and threads: critical sections, events, mutexes, waits and
// thread exit codes.
#include <atomic>

#include "common/text.h"
#include "support/platform_test.h"

namespace {

class KernelSync : public PlatformTest {};

struct Shared {
    CRITICAL_SECTION cs;
    HANDLE event = nullptr;
    HANDLE go = nullptr;
    std::atomic<int> woken{0};
    long counter = 0;
};

DWORD WINAPI CountUnderLock(LPVOID arg) {
    auto* s = static_cast<Shared*>(arg);
    for (int i = 0; i < 20000; ++i) {
        EnterCriticalSection(&s->cs);
        EnterCriticalSection(&s->cs);  // recursive entry
        ++s->counter;
        LeaveCriticalSection(&s->cs);
        LeaveCriticalSection(&s->cs);
    }
    return 0;
}

DWORD WINAPI TryEnter(LPVOID arg) {
    auto* s = static_cast<Shared*>(arg);
    if (!TryEnterCriticalSection(&s->cs)) return 0;
    LeaveCriticalSection(&s->cs);
    return 1;
}

DWORD WINAPI WaitThenCount(LPVOID arg) {
    auto* s = static_cast<Shared*>(arg);
    if (WaitForSingleObject(s->event, 10000) != WAIT_OBJECT_0) return 1;
    ++s->woken;
    return 0;
}

DWORD WINAPI ReturnParameter(LPVOID arg) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(arg));
}

DWORD WINAPI WaitForGo(LPVOID arg) {
    auto* s = static_cast<Shared*>(arg);
    WaitForSingleObject(s->go, INFINITE);
    return GetCurrentThreadId();
}

TEST_F(KernelSync, CriticalSectionsAreRecursiveAndExclusive) {
    Shared s;
    InitializeCriticalSection(&s.cs);
    HANDLE threads[4];
    for (auto& t : threads) t = CreateThread(nullptr, 0, CountUnderLock, &s, 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, 30000));
    for (auto& t : threads) CloseHandle(t);
    EXPECT_EQ(80000, s.counter);

    // While this thread holds it (twice), another thread cannot enter.
    EnterCriticalSection(&s.cs);
    EXPECT_TRUE(TryEnterCriticalSection(&s.cs));
    HANDLE t = CreateThread(nullptr, 0, TryEnter, &s, 0, nullptr);
    DWORD code = 99;
    WaitForSingleObject(t, INFINITE);
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(0u, code);
    CloseHandle(t);
    LeaveCriticalSection(&s.cs);
    LeaveCriticalSection(&s.cs);
    t = CreateThread(nullptr, 0, TryEnter, &s, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(1u, code);
    CloseHandle(t);
    DeleteCriticalSection(&s.cs);

    EXPECT_TRUE(InitializeCriticalSectionAndSpinCount(&s.cs, 4000));
    EnterCriticalSection(&s.cs);
    LeaveCriticalSection(&s.cs);
    DeleteCriticalSection(&s.cs);
}

TEST_F(KernelSync, ManualAndAutoResetEvents) {
    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, manual);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(manual, 0));
    EXPECT_TRUE(SetEvent(manual));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(manual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(manual, 0));  // stays set
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(manual, 0));

    HANDLE autoReset = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(autoReset, 0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(autoReset, 0));  // the wait took it

    // A timed wait lasts about as long as asked.
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(autoReset, 100));
    EXPECT_GE(GetTickCount64() - start, 80u);

    EXPECT_TRUE(CloseHandle(manual));
    EXPECT_TRUE(CloseHandle(autoReset));
    EXPECT_FALSE(SetEvent(manual));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(KernelSync, AutoResetEventWakesExactlyOneWaiter) {
    Shared s;
    s.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE threads[3];
    for (auto& t : threads) t = CreateThread(nullptr, 0, WaitThenCount, &s, 0, nullptr);
    Sleep(50);  // let them all wait
    EXPECT_EQ(0, s.woken.load());
    SetEvent(s.event);
    Sleep(150);
    EXPECT_EQ(1, s.woken.load());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(s.event, 0));  // consumed
    SetEvent(s.event);
    SetEvent(s.event);
    Sleep(50);
    SetEvent(s.event);  // in case two sets met one waiter
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(3, threads, TRUE, 10000));
    EXPECT_EQ(3, s.woken.load());
    for (auto& t : threads) CloseHandle(t);
    CloseHandle(s.event);

    // A manual-reset event releases every waiter.
    s.woken = 0;
    s.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (auto& t : threads) t = CreateThread(nullptr, 0, WaitThenCount, &s, 0, nullptr);
    SetEvent(s.event);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(3, threads, TRUE, 10000));
    EXPECT_EQ(3, s.woken.load());
    for (auto& t : threads) CloseHandle(t);
    CloseHandle(s.event);
}

TEST_F(KernelSync, WaitForMultipleObjectsAnyAllAndFailures) {
    HANDLE a = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE b = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE both[2] = {a, b};
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForMultipleObjects(2, both, FALSE, 10));
    SetEvent(b);
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(2, both, FALSE, 0));
    SetEvent(a);
    SetEvent(b);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, FALSE, 0));  // the lowest index wins
    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(2, both, FALSE, 0));

    // Wait-all takes nothing until every object is signalled.
    SetEvent(a);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForMultipleObjects(2, both, TRUE, 10));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(a, 0));
    SetEvent(a);
    SetEvent(b);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForMultipleObjects(2, both, FALSE, 0));

    EXPECT_EQ(WAIT_FAILED, WaitForMultipleObjects(0, both, FALSE, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    HANDLE many[MAXIMUM_WAIT_OBJECTS + 1];
    for (auto& h : many) h = a;
    EXPECT_EQ(WAIT_FAILED, WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, many, FALSE, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    CloseHandle(b);
    EXPECT_EQ(WAIT_FAILED, WaitForMultipleObjects(2, both, FALSE, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(b, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    CloseHandle(a);
}

TEST_F(KernelSync, ThreadsExitCodesAndIds) {
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, ReturnParameter, reinterpret_cast<LPVOID>(static_cast<uintptr_t>(42)), 0, &id);
    ASSERT_NE(nullptr, t);
    EXPECT_NE(0u, id);
    EXPECT_NE(GetCurrentThreadId(), id);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(42u, code);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 0));  // a finished thread stays signalled
    EXPECT_TRUE(CloseHandle(t));
    EXPECT_FALSE(GetExitCodeThread(t, &code));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    // A running thread answers STILL_ACTIVE; its routine sees its own id.
    Shared s;
    s.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    t = CreateThread(nullptr, 0, WaitForGo, &s, CREATE_SUSPENDED, &id);
    ASSERT_NE(nullptr, t);
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), code);
    EXPECT_EQ(1u, ResumeThread(t));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(t, 20));
    SetEvent(s.go);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(id, code);
    EXPECT_FALSE(SetEvent(t));  // a thread is not an event
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    CloseHandle(t);
    CloseHandle(s.go);
    EXPECT_NE(0u, GetCurrentProcessId());
}

DWORD WINAPI TakeMutexBriefly(LPVOID arg) {
    HANDLE mutex = static_cast<HANDLE>(arg);
    DWORD result = WaitForSingleObject(mutex, 20);
    if (result == WAIT_OBJECT_0) ReleaseMutex(mutex);
    return result;
}

TEST_F(KernelSync, MutexesAndNamedObjects) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    ASSERT_NE(nullptr, mutex);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(mutex, 0));  // recursive for its owner
    HANDLE t = CreateThread(nullptr, 0, TakeMutexBriefly, mutex, 0, nullptr);
    DWORD code = 0;
    WaitForSingleObject(t, INFINITE);
    GetExitCodeThread(t, &code);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), code);
    CloseHandle(t);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_OWNER), GetLastError());
    t = CreateThread(nullptr, 0, TakeMutexBriefly, mutex, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
    GetExitCodeThread(t, &code);
    EXPECT_EQ(WAIT_OBJECT_0, code);
    CloseHandle(t);
    CloseHandle(mutex);

    // A name opens the same event again.
    nvx::WString name = nvx::WFormatString(WL("NovrixKernelTest%u"), static_cast<unsigned>(GetCurrentProcessId()));
    HANDLE first = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0u, GetLastError());
    HANDLE second = CreateEventW(nullptr, FALSE, TRUE, name.c_str());
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(second, 0));  // the first one's state
    SetEvent(first);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second, 0));
    HANDLE opened = OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str());
    EXPECT_NE(nullptr, opened);
    EXPECT_EQ(nullptr, CreateMutexW(nullptr, FALSE, name.c_str()));  // the name is an event's
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    CloseHandle(opened);
    CloseHandle(second);
    CloseHandle(first);
    EXPECT_EQ(nullptr, OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str()));  // gone with its last handle
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
