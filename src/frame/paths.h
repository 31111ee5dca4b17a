// Files beside the module, and the one routine that loads the module's libraries.
#pragma once

#include "common/text.h"

namespace nvx::frame {

// The module's own full path (at most MAX_PATH characters); empty if unknown.
WString ModulePath(HMODULE self);

// The full path of fileName in the module's folder: the module path is split into
// drive, folder, name and extension, and drive and folder are joined with fileName.
// Empty when the module path is unknown.
WString BesideModule(HMODULE self, const WCHAR* fileName);

// Loads a library with the module's activation context active (on Windows), and
// keeps LoadLibraryW's error code across the deactivation.  Answers null on failure.
HMODULE LoadModuleLibrary(const WCHAR* path);

// Initialises the common controls once per process, in the module's activation
// context, through InitCommonControls as comctl32.dll exports it (looked up at run
// time).  Every place that creates a window of a common-control class, or runs a
// dialog that holds one, calls this first.
void InitModuleCommonControls();

}  // namespace nvx::frame
