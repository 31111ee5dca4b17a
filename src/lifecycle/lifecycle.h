// The module's attach and detach sequences: the top of the module, the one place
// that knows every subsystem.
#pragma once

#include "platform/win32.h"

namespace nvx::lifecycle {

// The attach sequence (process attach).  Answers FALSE when a mandatory model table
// is missing; the detach sequence that the system runs next releases what exists.
BOOL AttachModule(HMODULE self);
// The detach sequence (process detach).  Safe to run over a partly attached state
// and to run twice.
void DetachModule();

}  // namespace nvx::lifecycle
