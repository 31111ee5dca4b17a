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

}  // namespace nvx::frame
