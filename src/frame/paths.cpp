// Paths beside the module and library loading.
#include "frame/paths.h"

#include "common/proc.h"

namespace nvx::frame {

WString ModulePath(HMODULE self) {
    WCHAR path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return WString(path, n);
}

WString BesideModule(HMODULE self, const WCHAR* fileName) {
    WString path = ModulePath(self);
    if (path.empty()) return {};
    // Drive and folder end at the last separator; name and extension follow it.
    size_t cut = path.find_last_of(WL("\\/"));
    WString folder = cut == WString::npos ? WString() : path.substr(0, cut + 1);
    if (folder.empty() && path.size() >= 2 && path[1] == u':') folder = path.substr(0, 2);
    return folder + (fileName ? fileName : WL(""));
}

HMODULE LoadModuleLibrary(const WCHAR* path) {
    // The module's activation context (common controls version 6) is the host's on
    // both targets; loading under it keeps LoadLibraryW's error for the caller.
    HMODULE library = LoadLibraryW(path);
    DWORD error = GetLastError();
    SetLastError(library ? ERROR_SUCCESS : error);
    return library;
}

void InitModuleCommonControls() {
    static bool done = false;
    if (done) return;
    HMODULE controls = GetModuleHandleW(WL("comctl32.dll"));
    if (!controls) controls = LoadModuleLibrary(WL("comctl32.dll"));  // stays for the process
    using InitFn = void(WINAPI*)(void);
    auto init = controls ? ProcAs<InitFn>(GetProcAddress(controls, "InitCommonControls")) : nullptr;
    if (!init) return;
    init();
    done = true;
}

}  // namespace nvx::frame
