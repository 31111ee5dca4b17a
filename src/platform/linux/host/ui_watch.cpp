// The host's window watcher: told when a top-level window becomes visible and
// when it stops being visible (hidden, destroyed, or freed with its thread).
#include <shared_mutex>

#include "platform/linux/user32/user_internal.h"
#include "platform/ui_host.h"

namespace nvxp {
namespace {

// Calls hold the lock shared, so that replacing the watcher waits until no call
// of the old one is running: its context may be freed right after.
std::shared_mutex& WatcherLock() {
    static auto* lock = new std::shared_mutex;
    return *lock;
}
NvxUiWindowWatcher g_watcher = nullptr;
void* g_watcherContext = nullptr;

}  // namespace

void NotifyWindowWatcher(HWND hwnd, int resourceId, bool shown) {
    std::shared_lock<std::shared_mutex> lock(WatcherLock());
    if (g_watcher) g_watcher(g_watcherContext, hwnd, resourceId, shown ? NVXUI_WINDOW_SHOWN : NVXUI_WINDOW_HIDDEN);
}

}  // namespace nvxp

extern "C" {

NVXAPI void NvxUi_SetWindowWatcher(NvxUiWindowWatcher watcher, void* context) {
    std::unique_lock<std::shared_mutex> lock(nvxp::WatcherLock());
    nvxp::g_watcher = watcher;
    nvxp::g_watcherContext = context;
}

}  // extern "C"
