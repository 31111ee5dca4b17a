// Window procedures of the controls still being written (temporary).
#include "platform/linux/user_internal.h"

namespace nvxp {
#define NVX_PENDING(name) \
    LRESULT CALLBACK name(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
NVX_PENDING(ListViewProc)
NVX_PENDING(UpDownProc)
NVX_PENDING(ToolTipProc)
NVX_PENDING(TabProc)
NVX_PENDING(TrackBarProc)
NVX_PENDING(AnimateProc)
NVX_PENDING(ProgressProc)
}  // namespace nvxp

