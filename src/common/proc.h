// Typed access to functions found by GetProcAddress.
#pragma once

#include "platform/win32.h"

namespace nvx {

// The FARPROC cast to the function type the caller knows it has (null stays null).
// The detour through void(*)() is the portable way to say the cast is intended.
template <typename Fn>
Fn ProcAs(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace nvx
