// Kernel objects of the Linux platform layer: one handle table for everything that
// CloseHandle (or FindClose) closes, the named-object namespace, and the wait
// machinery behind WaitForSingleObject and WaitForMultipleObjects.
//
// Other areas of the layer that need a waitable object of their own derive from
// KernelObject, change its state under WaitLock() and call WakeWaiters().
#pragma once

#include <memory>
#include <mutex>

#include "platform/linux/internal.h"

namespace nvxp {

enum class ObjectKind { Event, Mutex, Thread, File, Find, Other };

class KernelObject {
public:
    explicit KernelObject(ObjectKind kind) : kind_(kind) {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    ObjectKind Kind() const { return kind_; }

    // Waiting.  IsSignaled and Acquire are called with WaitLock() held.
    virtual bool IsWaitable() const { return false; }
    virtual bool IsSignaled(DWORD /*threadId*/) const { return false; }
    // Takes the signal for the thread that was waiting (an auto-reset event
    // resets, a mutex becomes owned).  Answers true when the object was abandoned.
    virtual bool Acquire(DWORD /*threadId*/) { return false; }

    // Whether CloseHandle closes this kind (find handles close with FindClose).
    virtual bool ClosedByCloseHandle() const { return true; }

private:
    ObjectKind kind_;
};

using ObjectRef = std::shared_ptr<KernelObject>;

// A new handle for the object.  Handle values are multiples of 4 and never
// reused within the process, so a stale handle can never reach a newer object.
HANDLE AddHandle(ObjectRef object);
// The object behind a live handle, or null.
ObjectRef FindHandle(HANDLE handle);
// The object behind a live handle of the given kind, or null.
template <typename T>
std::shared_ptr<T> FindHandleOf(HANDLE handle, ObjectKind kind) {
    ObjectRef object = FindHandle(handle);
    if (!object || object->Kind() != kind) return nullptr;
    return std::static_pointer_cast<T>(object);
}
// Takes the handle out of the table; answers its object (null if not live).
ObjectRef RemoveHandle(HANDLE handle);

// Named objects (events, mutexes) share one case-sensitive namespace; the
// "Local\" and "Global\" prefixes name the same namespace.
// Answers the live object of that name (null if none).
ObjectRef FindNamed(const WCHAR* name);
// Registers a live object under a name (replacing a dead entry).
void AddNamed(const WCHAR* name, const ObjectRef& object);
// The lock that serialises named-object creation (FindNamed then AddNamed).
std::mutex& NamespaceLock();

// The one lock under which waitable objects change state and waiters look at it.
std::mutex& WaitLock();
// Wakes every waiting thread to look again (call after a state change).
void WakeWaiters();
// Blocks the calling thread (WaitLock held through `lock`) until WakeWaiters or
// the deadline; answers false when the deadline passed.  A deadline of 0 waits
// without limit.
bool WaitForWake(std::unique_lock<std::mutex>& lock, unsigned long long deadlineMs);
// The monotonic clock the waits use, in milliseconds.
unsigned long long MonotonicMs();

}  // namespace nvxp
