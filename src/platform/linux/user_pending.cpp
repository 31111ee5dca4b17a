// Window procedures of the controls still being written (temporary).
#include "platform/linux/user_internal.h"

namespace nvxp {
#define NVX_PENDING(name) \
    LRESULT CALLBACK name(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
NVX_PENDING(ButtonProc)
NVX_PENDING(EditProc)
NVX_PENDING(StaticProc)
NVX_PENDING(ListBoxProc)
NVX_PENDING(ComboBoxProc)
NVX_PENDING(ListViewProc)
NVX_PENDING(UpDownProc)
NVX_PENDING(ToolTipProc)
NVX_PENDING(TabProc)
NVX_PENDING(TrackBarProc)
NVX_PENDING(AnimateProc)
NVX_PENDING(ProgressProc)
}  // namespace nvxp

extern "C" {
NVXAPI LRESULT WINAPI DefDlgProcW(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
NVXAPI BOOL WINAPI IsDialogMessageW(HWND, LPMSG) { return FALSE; }
}
