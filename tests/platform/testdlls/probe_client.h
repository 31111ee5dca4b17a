// Entry-point notes of the test libraries: written into TSTPROBE.DLL's log when
// the test has loaded it, and dropped otherwise.
#pragma once

#include <cstdio>
#include <string>

#include "common/text.h"
#include "platform/win32.h"

namespace testdll {

inline void Note(const char* event) {
    HMODULE probe = GetModuleHandleW(WL("TSTPROBE.DLL"));
    if (!probe) return;
    auto note = reinterpret_cast<void (*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(probe, "Probe_Note")));
    if (note) note(event);
}

// The module's own path with a suffix, as a narrow string (test folders are ASCII).
inline std::string OwnPath(HINSTANCE self, const char* suffix) {
    WCHAR wide[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(self, wide, MAX_PATH);
    std::string path;
    for (DWORD i = 0; i < n; ++i) path += static_cast<char>(wide[i]);
    return path + suffix;
}

inline bool FileExists(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (f) fclose(f);
    return f != nullptr;
}

}  // namespace testdll
