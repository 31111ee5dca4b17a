// The answers of the entry points whose features this build does not carry yet
// (unavailable.cpp): each is a failure in its own export's terms.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace nvx::frame::unavailable {

// Modal dialogs that could not be shown (the authentication and user-settings
// dialogs answer 5 when they cannot run).
inline constexpr UINT_PTR kDialogNotShown = 5;
// The cover sheet dialog's answer when it cannot run.
inline constexpr UINT_PTR kDialogCouldNotRun = static_cast<UINT_PTR>(-1);
// The fax transmission dialog's Cancel: no destinations.
inline constexpr UINT_PTR kDialogCancelled = 2;

}  // namespace nvx::frame::unavailable
