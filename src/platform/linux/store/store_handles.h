// Handle tables of the registry and the spooler.
//
// Handle values are drawn from one process-wide counter and never reused, so a
// closed, stale or made-up handle is always unknown (never another object that
// happens to sit at the same address).  Objects are shared so that a call that
// found one keeps it alive even if another thread closes the handle meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace nvxp {

// The next unused handle value (multiples of 4, far below the predefined keys).
uintptr_t NextHandleValue();

template <typename T>
class HandleTable {
public:
    // Registers the object and answers its new handle.
    void* Add(std::shared_ptr<T> object) {
        uintptr_t value = NextHandleValue();
        std::lock_guard<std::mutex> lock(mutex_);
        live_.emplace(value, std::move(object));
        return reinterpret_cast<void*>(value);
    }
    // The object behind a live handle, or null.
    std::shared_ptr<T> Find(const void* handle) const {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = live_.find(reinterpret_cast<uintptr_t>(handle));
        return it == live_.end() ? nullptr : it->second;
    }
    // Forgets the handle; answers whether it was live.
    bool Remove(const void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return live_.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
    }
    // Forgets every handle (the platform root changed).
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        live_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<uintptr_t, std::shared_ptr<T>> live_;
};

}  // namespace nvxp
