// The kernel handle table, named objects, CloseHandle, DuplicateHandle and the waits.
#include "platform/linux/kernel32/kernel_objects.h"

#include <time.h>

#include <chrono>
#include <condition_variable>
#include <unordered_map>
#include <vector>

namespace nvxp {
namespace {

// Handle values start well above the small integers a caller might make up and
// step by 4 as Windows handles do.
constexpr uintptr_t kFirstHandle = 0x1000;
constexpr uintptr_t kHandleStep = 4;

// The pseudo handles of GetCurrentProcess and GetCurrentThread.
constexpr uintptr_t kCurrentProcess = static_cast<uintptr_t>(-1);
constexpr uintptr_t kCurrentThread = static_cast<uintptr_t>(-2);

struct HandleTable {
    std::mutex mutex;
    uintptr_t next = kFirstHandle;
    std::unordered_map<uintptr_t, ObjectRef> objects;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // lives for the whole process
    return *table;
}

struct Namespace {
    std::mutex mutex;
    std::unordered_map<nvx::WString, std::weak_ptr<KernelObject>> objects;
};

Namespace& Names() {
    static Namespace* names = new Namespace;
    return *names;
}

std::condition_variable& WakeCondition() {
    static std::condition_variable* condition = new std::condition_variable;
    return *condition;
}

nvx::WString NameKey(const WCHAR* name) {
    nvx::WStringView view(name);
    for (nvx::WStringView prefix : {nvx::WStringView(u"Local\\"), nvx::WStringView(u"Global\\")}) {
        if (view.substr(0, prefix.size()) == prefix) return nvx::WString(view.substr(prefix.size()));
    }
    return nvx::WString(view);
}

bool IsPseudoHandle(HANDLE handle) {
    auto value = reinterpret_cast<uintptr_t>(handle);
    return value == kCurrentProcess || value == kCurrentThread;
}

// The objects behind the handles of a wait, or the Win32 error.
DWORD CollectWaitObjects(DWORD count, const HANDLE* handles, BOOL waitAll, std::vector<ObjectRef>& objects) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) return ERROR_INVALID_PARAMETER;
    objects.resize(count);
    for (DWORD i = 0; i < count; ++i) {
        if (IsPseudoHandle(handles[i])) continue;  // the process or thread itself: never signalled here
        objects[i] = FindHandle(handles[i]);
        if (!objects[i] || !objects[i]->IsWaitable()) return ERROR_INVALID_HANDLE;
        if (waitAll) {
            for (DWORD j = 0; j < i; ++j)
                if (objects[j] == objects[i]) return ERROR_INVALID_PARAMETER;
        }
    }
    return ERROR_SUCCESS;
}

// One look at the objects (WaitLock held): the WAIT_* answer, or WAIT_TIMEOUT
// when the condition does not hold yet.
DWORD TryAcquire(std::vector<ObjectRef>& objects, BOOL waitAll, DWORD threadId) {
    if (waitAll) {
        for (auto& object : objects)
            if (!object || !object->IsSignaled(threadId)) return WAIT_TIMEOUT;
        bool abandoned = false;
        for (auto& object : objects) abandoned |= object->Acquire(threadId);
        return abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i] && objects[i]->IsSignaled(threadId)) {
            bool abandoned = objects[i]->Acquire(threadId);
            return static_cast<DWORD>((abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + i);
        }
    }
    return WAIT_TIMEOUT;
}

}  // namespace

HANDLE AddHandle(ObjectRef object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    uintptr_t value = table.next;
    table.next += kHandleStep;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

ObjectRef FindHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

ObjectRef RemoveHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end()) return nullptr;
    ObjectRef object = std::move(it->second);
    table.objects.erase(it);
    return object;
}

std::mutex& NamespaceLock() {
    return Names().mutex;
}

ObjectRef FindNamed(const WCHAR* name) {
    auto& objects = Names().objects;
    auto it = objects.find(NameKey(name));
    if (it == objects.end()) return nullptr;
    ObjectRef object = it->second.lock();
    if (!object) objects.erase(it);
    return object;
}

void AddNamed(const WCHAR* name, const ObjectRef& object) {
    Names().objects[NameKey(name)] = object;
}

std::mutex& WaitLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

void WakeWaiters() {
    WakeCondition().notify_all();
}

unsigned long long MonotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000ull + static_cast<unsigned long long>(ts.tv_nsec) / 1000000ull;
}

bool WaitForWake(std::unique_lock<std::mutex>& lock, unsigned long long deadlineMs) {
    if (deadlineMs == 0) {
        WakeCondition().wait(lock);
        return true;
    }
    unsigned long long now = MonotonicMs();
    if (now >= deadlineMs) return false;
    WakeCondition().wait_for(lock, std::chrono::milliseconds(deadlineMs - now));
    return MonotonicMs() < deadlineMs;
}

}  // namespace nvxp

extern "C" {

NVXAPI BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (nvxp::IsPseudoHandle(hObject)) return TRUE;
    nvxp::ObjectRef object = nvxp::FindHandle(hObject);
    if (!object || !object->ClosedByCloseHandle()) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!nvxp::RemoveHandle(hObject)) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);  // closed meanwhile
    return TRUE;
}

NVXAPI BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                                   LPHANDLE lpTargetHandle, DWORD dwDesiredAccess, BOOL bInheritHandle,
                                   DWORD dwOptions) {
    // Only this process exists here: both process handles must be GetCurrentProcess().
    auto current = reinterpret_cast<HANDLE>(nvxp::kCurrentProcess);
    if (hSourceProcessHandle != current || hTargetProcessHandle != current)
        return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    nvxp::ObjectRef object = nvxp::FindHandle(hSourceHandle);
    if (!object || !object->ClosedByCloseHandle()) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    if (dwOptions & DUPLICATE_CLOSE_SOURCE) nvxp::RemoveHandle(hSourceHandle);
    if (!lpTargetHandle) return TRUE;  // only the close was asked for
    *lpTargetHandle = nvxp::AddHandle(object);
    return TRUE;
}

NVXAPI DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                           DWORD dwMilliseconds) {
    std::vector<nvxp::ObjectRef> objects;
    if (DWORD error = nvxp::CollectWaitObjects(nCount, lpHandles, bWaitAll, objects))
        return nvxp::Fail(error, WAIT_FAILED);
    DWORD threadId = GetCurrentThreadId();
    unsigned long long deadline = 0;
    if (dwMilliseconds != INFINITE) deadline = nvxp::MonotonicMs() + dwMilliseconds;
    std::unique_lock<std::mutex> lock(nvxp::WaitLock());
    for (;;) {
        DWORD result = nvxp::TryAcquire(objects, bWaitAll, threadId);
        if (result != WAIT_TIMEOUT || dwMilliseconds == 0) return result;
        if (!nvxp::WaitForWake(lock, deadline)) {
            // One last look: a signal may have come with the deadline.
            return nvxp::TryAcquire(objects, bWaitAll, threadId);
        }
    }
}

NVXAPI DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

}  // extern "C"
