// FILETIME helpers shared by the kernel's time and file functions.
#pragma once

#include "platform/win32.h"

namespace nvxp {

// A FILETIME (100 ns units since 1601-01-01 UTC) from its 64-bit count.
FILETIME FileTimeFromTicks(ULONGLONG ticks);
// A FILETIME from a Unix time (clamped to 1601 at the low end).
FILETIME FileTimeFromUnix(LONGLONG seconds, long nanoseconds);
// And back.
void UnixFromFileTime(const FILETIME& ft, LONGLONG& seconds, long& nanoseconds);

}  // namespace nvxp
