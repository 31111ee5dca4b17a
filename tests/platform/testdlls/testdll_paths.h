// Where the tests find the test libraries: the folder "testdlls" beside the test
// executable.  Written against Win32 only, so that it works on both targets.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "common/text.h"
#include "platform/win32.h"

namespace testdll {

// The executable's folder with its trailing separator.
inline nvx::WString ExeFolder() {
    WCHAR path[1024] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, 1024);
    nvx::WString full(path, n);
    size_t cut = full.find_last_of(WL("\\/"));
    return cut == nvx::WString::npos ? nvx::WString() : full.substr(0, cut + 1);
}

// The full path of test library `name` ("TSTORD.DLL").
inline nvx::WString Path(const char* name) {
    nvx::WString folder = ExeFolder();
    WCHAR separator = folder.empty() ? WCHAR('/') : folder.back();
    return folder + nvx::WFromAscii("testdlls") + separator + nvx::WFromAscii(name);
}

inline std::filesystem::path FsPath(const nvx::WString& path) {
    return std::filesystem::path(path);
}

// A function of a loaded library, typed.
template <typename F>
F Proc(HMODULE module, LPCSTR name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Writes a small file (test folders are ASCII).
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Loads TSTPROBE.DLL for the duration of a test and reads its log.
class Probe {
public:
    Probe() : module_(LoadLibraryW(Path("TSTPROBE.DLL").c_str())) {
        if (auto clear = Proc<void (*)()>(module_, "Probe_Clear")) clear();
    }
    ~Probe() {
        if (module_) FreeLibrary(module_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    std::string Log() const {
        char buffer[512] = {};
        if (auto read = Proc<int (*)(char*, int)>(module_, "Probe_Read")) read(buffer, sizeof buffer);
        return buffer;
    }
    void Clear() const {
        if (auto clear = Proc<void (*)()>(module_, "Probe_Clear")) clear();
    }

private:
    HMODULE module_;
};

}  // namespace testdll
