// The cover-sheet check through NOVRIX_Z.DLL.
#include "fax/cover_check.h"

#include "frame/module_state.h"
#include "frame/paths.h"

namespace nvx::fax {

namespace {

using CheckWindowFn = int (*)(HWND owner, uint64_t value, int paste, int x, int y);

}  // namespace

bool RunCoverSheetCheckFrom(const WCHAR* library, HWND owner, uint64_t value, const CoverImage& image) {
    if (!library || !*library) return false;
    HMODULE lib = frame::LoadModuleLibrary(library);
    if (!lib) return false;
    auto check = reinterpret_cast<CheckWindowFn>(reinterpret_cast<void*>(GetProcAddress(lib, "DispCheckFcsWindow")));
    if (check) check(owner, value, image.paste, image.x, image.y);
    FreeLibrary(lib);
    return check != nullptr;
}

bool RunCoverSheetCheck(HWND owner, uint64_t value, const CoverImage& image) {
    WString path = frame::BesideModule(frame::Module().self, WL("NOVRIX_Z.DLL"));
    return RunCoverSheetCheckFrom(path.c_str(), owner, value, image);
}

}  // namespace nvx::fax
