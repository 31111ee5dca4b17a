// "Waiting for the device..." while the module's busy window is up.
//
// The module shows its please-wait window (dialog template 211) from a thread
// of its own while the calling thread is blocked in a device call, so novrix
// cannot poll for it: it installs the platform layer's window watcher
// (NvxUi_SetWindowWatcher, ui_host.h), which is told on the window's thread when
// a top-level window appears and goes.  At a terminal the line carries a spinner
// that turns until the window goes, then the line is erased; elsewhere (a pipe,
// a file) it is one plain line per busy period.  A device that answers within
// `showAfterMs` prints nothing, so quick answers leave scripts' output alone.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/win32.h"

namespace novrix {

inline constexpr int kBusyWindowTemplate = 211;
inline constexpr const char* kBusyLineText = "Waiting for the device...";
inline constexpr unsigned kSpinnerStepMs = 100;
inline constexpr unsigned kBusyLineDelayMs = 300;  // what novrix waits before it shows the line

class BusyLine {
public:
    // Installs the watcher; lines go to `out`, with a spinner when `terminal`,
    // once a busy window has been up for `showAfterMs`.
    BusyLine(FILE* out, bool terminal, unsigned showAfterMs = 0);
    // Removes the watcher and ends a spinner still turning.
    ~BusyLine();
    BusyLine(const BusyLine&) = delete;
    BusyLine& operator=(const BusyLine&) = delete;

private:
    static void Watch(void* context, HWND window, int resourceId, UINT event);
    void Shown();
    void Hidden();
    void Spin(unsigned generation);
    bool Over(unsigned generation) const { return generation_ != generation; }
    void EndSpinner();

    FILE* out_;
    bool terminal_;
    unsigned showAfterMs_;
    std::mutex mutex_;
    std::condition_variable wake_;
    int windowsUp_ = 0;      // busy windows up now (guarded by mutex_)
    unsigned generation_ = 0;  // a spinner turns while this is its own number (guarded by mutex_)
    std::thread spinner_;      // the spinner of this generation, if any (guarded by mutex_)
};

}  // namespace novrix
