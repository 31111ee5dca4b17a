// Shared internals of the Linux platform layer (never seen by the module).
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>

#include "common/text.h"
#include "platform/win32.h"

namespace nvxp {

// The current platform root (UTF-8, no trailing slash), created on first use.
std::string RootPath();
// Called (under no lock of the caller) after the root changed, so that stores
// opened on the old root can close.  Listeners live for the whole process.
void OnRootChange(std::function<void()> listener);

// A Win32 path as a native path: backslashes become slashes.  A drive-letter
// path ("C:\x") is taken relative to the platform root's "drive_c" folder.
std::string NativePath(const WCHAR* path);
std::string NativePath(nvx::WStringView path);
// And back: a native path as the module sees it (slashes kept).
nvx::WString WinPath(const std::string& native);

// Sets the thread's last error and answers the given result, for one-line returns:
//   return Fail(ERROR_INVALID_HANDLE, FALSE);
template <typename T>
T Fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

// A set of live handles of one kind.  Handles are pointers to objects that the
// owning area allocates; Find answers null for anything not (or no longer) live,
// so that stale and made-up handles fail cleanly instead of crashing.
template <typename T>
class HandleSet {
public:
    T* Add(T* object) {
        std::lock_guard<std::mutex> lock(mutex_);
        live_.insert(object);
        return object;
    }
    bool Contains(const void* handle) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return live_.count(static_cast<T*>(const_cast<void*>(handle))) != 0;
    }
    T* Find(const void* handle) const { return Contains(handle) ? static_cast<T*>(const_cast<void*>(handle)) : nullptr; }
    // Removes the handle; answers the object for the caller to free, or null if unknown.
    T* Remove(const void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = live_.find(static_cast<T*>(const_cast<void*>(handle)));
        if (it == live_.end()) return nullptr;
        T* object = *it;
        live_.erase(it);
        return object;
    }
    template <typename F>
    void ForEach(F&& f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (T* object : live_) f(object);
    }

private:
    mutable std::mutex mutex_;
    std::unordered_set<T*> live_;
};

}  // namespace nvxp
