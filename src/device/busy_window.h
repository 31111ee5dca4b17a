// The busy window: a small animated please-wait window, shown on a thread of its
// own while the calling thread waits on the device.
#pragma once

#include "platform/win32.h"

namespace nvx::device {

class BusyWindow {
public:
    BusyWindow(HANDLE printer, UINT messageNumber, UINT animationId);
    virtual ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
    void Start(HWND owner);
    void Stop();
};

}  // namespace nvx::device
