// Critical sections (a futex lock inside the caller's CRITICAL_SECTION), events and mutexes.
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "platform/linux/kernel32/kernel_objects.h"

namespace nvxp {
namespace {

// ---- Critical sections ----
// LockCount is the futex word: 0 free, 1 held, 2 held with sleepers.  OwningThread
// keeps the owner's thread id and RecursionCount the owner's depth, as on Windows.
// A zero-filled section is a valid free one, so a section that was never
// initialised still works.

std::atomic_ref<int32_t> LockWord(LPCRITICAL_SECTION cs) {
    return std::atomic_ref<int32_t>(cs->LockCount);
}

std::atomic_ref<HANDLE> OwnerWord(LPCRITICAL_SECTION cs) {
    return std::atomic_ref<HANDLE>(cs->OwningThread);
}

HANDLE AsOwner(DWORD threadId) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(threadId));
}

void FutexWait(int32_t* word, int32_t expected) {
    syscall(SYS_futex, word, FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void FutexWake(int32_t* word) {
    syscall(SYS_futex, word, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

bool TryTake(LPCRITICAL_SECTION cs) {
    int32_t expected = 0;
    return LockWord(cs).compare_exchange_strong(expected, 1, std::memory_order_acquire);
}

void Take(LPCRITICAL_SECTION cs) {
    ULONG_PTR spins = cs->SpinCount;
    for (ULONG_PTR i = 0; i < spins; ++i) {
        if (LockWord(cs).load(std::memory_order_relaxed) == 0 && TryTake(cs)) return;
        __builtin_ia32_pause();
    }
    int32_t c = 0;
    if (LockWord(cs).compare_exchange_strong(c, 1, std::memory_order_acquire)) return;
    if (c != 2) c = LockWord(cs).exchange(2, std::memory_order_acquire);
    while (c != 0) {
        FutexWait(&cs->LockCount, 2);
        c = LockWord(cs).exchange(2, std::memory_order_acquire);
    }
}

void Release(LPCRITICAL_SECTION cs) {
    if (LockWord(cs).fetch_sub(1, std::memory_order_release) != 1) {
        LockWord(cs).store(0, std::memory_order_release);
        FutexWake(&cs->LockCount);
    }
}

void BecomeOwner(LPCRITICAL_SECTION cs, DWORD threadId) {
    OwnerWord(cs).store(AsOwner(threadId), std::memory_order_relaxed);
    cs->RecursionCount = 1;
}

// ---- Events and mutexes ----

class EventObject : public KernelObject {
public:
    EventObject(bool manualReset, bool signaled)
        : KernelObject(ObjectKind::Event), manualReset_(manualReset), signaled_(signaled) {}
    bool IsWaitable() const override { return true; }
    bool IsSignaled(DWORD) const override { return signaled_; }
    bool Acquire(DWORD) override {
        if (!manualReset_) signaled_ = false;
        return false;
    }
    void Set(bool signaled) { signaled_ = signaled; }

private:
    const bool manualReset_;
    bool signaled_;
};

// Mutex ownership is recursive.  A mutex whose owner thread ended is not
// detected as abandoned here.
class MutexObject : public KernelObject {
public:
    MutexObject() : KernelObject(ObjectKind::Mutex) {}
    bool IsWaitable() const override { return true; }
    bool IsSignaled(DWORD threadId) const override { return owner_ == 0 || owner_ == threadId; }
    bool Acquire(DWORD threadId) override {
        owner_ = threadId;
        ++count_;
        return false;
    }
    bool Release(DWORD threadId) {
        if (owner_ != threadId || count_ == 0) return false;
        if (--count_ == 0) owner_ = 0;
        return true;
    }

private:
    DWORD owner_ = 0;
    unsigned count_ = 0;
};

// Creates an object, or opens the live one of the same name.  Answers a new
// handle (last error 0, or ERROR_ALREADY_EXISTS when it was opened), or null
// with ERROR_INVALID_HANDLE when the name belongs to another kind of object.
template <typename Make>
HANDLE CreateNamed(const WCHAR* name, ObjectKind kind, Make make) {
    if (!name || !*name) {
        HANDLE handle = AddHandle(make());
        SetLastError(ERROR_SUCCESS);
        return handle;
    }
    std::lock_guard<std::mutex> lock(NamespaceLock());
    if (ObjectRef existing = FindNamed(name)) {
        if (existing->Kind() != kind) return Fail(ERROR_INVALID_HANDLE, HANDLE(nullptr));
        HANDLE handle = AddHandle(existing);
        SetLastError(ERROR_ALREADY_EXISTS);
        return handle;
    }
    ObjectRef object = make();
    AddNamed(name, object);
    HANDLE handle = AddHandle(object);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

HANDLE OpenNamed(const WCHAR* name, ObjectKind kind) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    std::lock_guard<std::mutex> lock(NamespaceLock());
    ObjectRef existing = *name ? FindNamed(name) : nullptr;
    if (!existing) return Fail(ERROR_FILE_NOT_FOUND, HANDLE(nullptr));
    if (existing->Kind() != kind) return Fail(ERROR_INVALID_HANDLE, HANDLE(nullptr));
    return AddHandle(existing);
}

BOOL SetEventState(HANDLE hEvent, bool signaled) {
    auto event = FindHandleOf<EventObject>(hEvent, ObjectKind::Event);
    if (!event) return Fail(ERROR_INVALID_HANDLE, FALSE);
    {
        std::lock_guard<std::mutex> lock(WaitLock());
        event->Set(signaled);
    }
    if (signaled) WakeWaiters();
    return TRUE;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    InitializeCriticalSectionEx(lpCriticalSection, 0, 0);
}

NVXAPI BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount) {
    return InitializeCriticalSectionEx(lpCriticalSection, dwSpinCount, 0);
}

NVXAPI BOOL WINAPI InitializeCriticalSectionEx(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount,
                                               DWORD Flags) {
    if (!lpCriticalSection) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    memset(lpCriticalSection, 0, sizeof(*lpCriticalSection));
    lpCriticalSection->DebugInfo = reinterpret_cast<PVOID>(static_cast<intptr_t>(-1));  // no debug information
    lpCriticalSection->SpinCount = dwSpinCount & 0x00FFFFFF;  // the high byte carries flags on Windows
    return TRUE;
}

NVXAPI void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    DWORD self = GetCurrentThreadId();
    if (nvxp::OwnerWord(lpCriticalSection).load(std::memory_order_relaxed) == nvxp::AsOwner(self)) {
        ++lpCriticalSection->RecursionCount;
        return;
    }
    nvxp::Take(lpCriticalSection);
    nvxp::BecomeOwner(lpCriticalSection, self);
}

NVXAPI BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return FALSE;
    DWORD self = GetCurrentThreadId();
    if (nvxp::OwnerWord(lpCriticalSection).load(std::memory_order_relaxed) == nvxp::AsOwner(self)) {
        ++lpCriticalSection->RecursionCount;
        return TRUE;
    }
    if (!nvxp::TryTake(lpCriticalSection)) return FALSE;
    nvxp::BecomeOwner(lpCriticalSection, self);
    return TRUE;
}

NVXAPI void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    // Leaving a section the thread does not own is a caller fault; it is ignored
    // rather than corrupting the lock of the real owner.
    if (nvxp::OwnerWord(lpCriticalSection).load(std::memory_order_relaxed) != nvxp::AsOwner(GetCurrentThreadId())) return;
    if (--lpCriticalSection->RecursionCount > 0) return;
    lpCriticalSection->RecursionCount = 0;
    nvxp::OwnerWord(lpCriticalSection).store(nullptr, std::memory_order_relaxed);
    nvxp::Release(lpCriticalSection);
}

NVXAPI void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    memset(lpCriticalSection, 0, sizeof(*lpCriticalSection));
}

NVXAPI HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                                  LPCWSTR lpName) {
    return nvxp::CreateNamed(lpName, nvxp::ObjectKind::Event, [&] {
        return std::make_shared<nvxp::EventObject>(bManualReset != FALSE, bInitialState != FALSE);
    });
}

NVXAPI HANDLE WINAPI CreateEventExW(LPSECURITY_ATTRIBUTES lpEventAttributes, LPCWSTR lpName, DWORD dwFlags,
                                    DWORD dwDesiredAccess) {
    if (dwFlags & ~static_cast<DWORD>(CREATE_EVENT_MANUAL_RESET | CREATE_EVENT_INITIAL_SET))
        return nvxp::Fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
    return CreateEventW(lpEventAttributes, (dwFlags & CREATE_EVENT_MANUAL_RESET) != 0,
                        (dwFlags & CREATE_EVENT_INITIAL_SET) != 0, lpName);
}

NVXAPI HANDLE WINAPI OpenEventW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName) {
    return nvxp::OpenNamed(lpName, nvxp::ObjectKind::Event);
}

NVXAPI BOOL WINAPI SetEvent(HANDLE hEvent) {
    return nvxp::SetEventState(hEvent, true);
}

NVXAPI BOOL WINAPI ResetEvent(HANDLE hEvent) {
    return nvxp::SetEventState(hEvent, false);
}

NVXAPI HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCWSTR lpName) {
    bool created = false;
    HANDLE handle = nvxp::CreateNamed(lpName, nvxp::ObjectKind::Mutex, [&] {
        created = true;
        return std::make_shared<nvxp::MutexObject>();
    });
    if (handle && bInitialOwner && created) {
        // Only the creator takes initial ownership; opening an existing mutex does not.
        DWORD error = GetLastError();
        auto mutex = nvxp::FindHandleOf<nvxp::MutexObject>(handle, nvxp::ObjectKind::Mutex);
        std::lock_guard<std::mutex> lock(nvxp::WaitLock());
        mutex->Acquire(GetCurrentThreadId());
        SetLastError(error);
    }
    return handle;
}

NVXAPI HANDLE WINAPI OpenMutexW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName) {
    return nvxp::OpenNamed(lpName, nvxp::ObjectKind::Mutex);
}

NVXAPI BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    auto mutex = nvxp::FindHandleOf<nvxp::MutexObject>(hMutex, nvxp::ObjectKind::Mutex);
    if (!mutex) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    {
        std::lock_guard<std::mutex> lock(nvxp::WaitLock());
        if (!mutex->Release(GetCurrentThreadId())) return nvxp::Fail(ERROR_NOT_OWNER, FALSE);
    }
    nvxp::WakeWaiters();
    return TRUE;
}

}  // extern "C"
