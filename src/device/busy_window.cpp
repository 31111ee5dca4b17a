// Stand-in until the busy window lands; replaced at merge.
#include "device/busy_window.h"

namespace nvx::device {

BusyWindow::BusyWindow(HANDLE, UINT, UINT) {}
BusyWindow::~BusyWindow() = default;
void BusyWindow::Start(HWND) {}
void BusyWindow::Stop() {}

}  // namespace nvx::device
