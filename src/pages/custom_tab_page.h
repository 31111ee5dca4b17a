// The custom page's messages that other code sends.
#pragma once

#include "platform/win32.h"

namespace nvx::pages {

// To the progress window: move the bar to the step in wParam.
inline constexpr UINT kCustomTabWaitingStep = WM_USER + 120;

}  // namespace nvx::pages
