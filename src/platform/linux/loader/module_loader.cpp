// The module loader: LoadLibraryW and FreeLibrary over dlopen, with DllMain run
// as Windows runs it.
//
// Every HMODULE is a pointer to a Module record.  A library is attached once
// (DLL_PROCESS_ATTACH when its first load completes) and detached once, when
// FreeLibrary drops its load count to zero.  DllMain runs under the loader lock,
// which is recursive, so that a DllMain may load and free other libraries.
// Libraries still loaded at process exit are not detached (their static
// destructors run as the C runtime unloads them).
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/ansi.h"
#include "platform/linux/loader/module_internal.h"
#include "platform/linux/kernel32/resource_index.h"

namespace nvxp {
namespace {

constexpr DWORD kKnownLoadFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE |
                                  LOAD_WITH_ALTERED_SEARCH_PATH | LOAD_IGNORE_CODE_AUTHZ_LEVEL |
                                  LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE |
                                  LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                                  LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_SYSTEM32 |
                                  LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
constexpr DWORD kDataFileFlags =
    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;

// Live records in load order.  Deliberately never destroyed: a library's static
// destructor may still call into the loader while the process exits.
std::vector<Module*>& Modules() {
    static auto* modules = new std::vector<Module*>;
    return *modules;
}

link_map* MapOf(void* dl) {
    link_map* map = nullptr;
    if (dl && dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0) map = nullptr;
    return map;
}

// The handle of the platform library itself (for the system modules).
void* PlatformHandle() {
    static void* handle = [] {
        Dl_info info{};
        void* self = nullptr;
        if (dladdr(reinterpret_cast<void*>(&LoadLibraryW), &info) && info.dli_fname)
            self = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
        return self;
    }();
    return handle;
}

Module* ExecutableModule() {
    static Module* exe = [] {
        auto* m = new Module;
        m->kind = Module::Kind::Executable;
        m->path = ExecutablePath();
        m->baseName = BaseName(nvx::WFromUtf8(m->path));
        m->dl = dlopen(nullptr, RTLD_NOW);
        m->map = MapOf(m->dl);
        m->refs = 1;
        m->pinned = true;
        Modules().push_back(m);
        return m;
    }();
    return exe;
}

Module* SystemModule(int index) {
    static std::vector<Module*> records(64, nullptr);
    if (index < 0 || static_cast<size_t>(index) >= records.size()) return nullptr;
    if (!records[index]) {
        auto* m = new Module;
        m->kind = Module::Kind::System;
        m->baseName = nvx::WFromAscii(SystemModuleName(index));
        m->path = SystemModuleName(index);
        m->dl = PlatformHandle();
        m->map = MapOf(m->dl);
        m->refs = 1;
        m->pinned = true;
        Modules().push_back(m);
        records[index] = m;
    }
    return records[index];
}

// A live library (not a data file) with this canonical path.
Module* LoadedByPath(const std::string& path) {
    for (Module* m : Modules())
        if (m->kind == Module::Kind::Library && m->refs > 0 && m->path == path) return m;
    return nullptr;
}

Module* LoadedByDl(void* dl) {
    for (Module* m : Modules())
        if (m->kind == Module::Kind::Library && m->refs > 0 && m->dl == dl) return m;
    return nullptr;
}

void Unlist(Module* m) {
    auto& list = Modules();
    list.erase(std::remove(list.begin(), list.end(), m), list.end());
}

// Whether the file starts as an ELF object; a PE image or any other file is
// not loadable here.
bool LooksLoadable(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char magic[4] = {};
    size_t n = fread(magic, 1, sizeof magic, f);
    fclose(f);
    return n == 4 && memcmp(magic, "\x7f" "ELF", 4) == 0;
}

DWORD ErrorFromDlerror(const char* message) {
    std::string text = message ? message : "";
    if (text.find("undefined symbol") != std::string::npos) return ERROR_PROC_NOT_FOUND;
    if (text.find("cannot open shared object") != std::string::npos) return ERROR_MOD_NOT_FOUND;
    return ERROR_BAD_EXE_FORMAT;
}

// Runs the entry point of a library, if it has one.
BOOL CallEntry(Module* m, DWORD reason) {
    if (m->kind != Module::Kind::Library || !m->dllMain) return TRUE;
    return m->dllMain(reinterpret_cast<HINSTANCE>(m), reason, nullptr);
}

// Loads the file at `path` (canonical, existing) as a new record; runEntry false
// leaves DllMain uncalled (DONT_RESOLVE_DLL_REFERENCES).  Loader lock held.
HMODULE LoadFile(const std::string& path, bool dataFile, bool runEntry) {
    if (!dataFile) {
        if (Module* m = LoadedByPath(path)) {
            ++m->refs;
            return reinterpret_cast<HMODULE>(m);
        }
    }
    if (!LooksLoadable(path)) return Fail(ERROR_BAD_EXE_FORMAT, HMODULE(nullptr));
    void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) return Fail(ErrorFromDlerror(dlerror()), HMODULE(nullptr));
    if (!dataFile) {
        if (Module* m = LoadedByDl(dl)) {  // the same object under another path
            dlclose(dl);
            ++m->refs;
            return reinterpret_cast<HMODULE>(m);
        }
    }
    auto* m = new Module;
    m->kind = dataFile ? Module::Kind::DataFile : Module::Kind::Library;
    m->path = path;
    m->baseName = BaseName(nvx::WFromUtf8(path));
    m->dl = dl;
    m->map = MapOf(dl);
    m->refs = 1;
    m->ordinals = static_cast<const NvxOrdinalEntry*>(OwnSymbol(*m, "nvx_ordinal_table"));
    if (!dataFile && runEntry) m->dllMain = reinterpret_cast<DllMainProc>(OwnSymbol(*m, "DllMain"));
    Modules().push_back(m);
    m->attaching = true;
    BOOL attached = dataFile || CallEntry(m, DLL_PROCESS_ATTACH);
    m->attaching = false;
    if (!attached) {
        // A refused attach is followed by the detach call, and nothing stays loaded.
        m->refs = 0;
        CallEntry(m, DLL_PROCESS_DETACH);
        Unlist(m);
        dlclose(dl);
        delete m;
        return Fail(ERROR_DLL_INIT_FAILED, HMODULE(nullptr));
    }
    return reinterpret_cast<HMODULE>(m);
}

}  // namespace

std::recursive_mutex& LoaderLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

Module* FindModule(HMODULE handle) {
    if (!handle) return ExecutableModule();
    for (Module* m : Modules())
        if (reinterpret_cast<HMODULE>(m) == handle) return m;
    return nullptr;
}

Module* FindModuleByMap(link_map* map) {
    ExecutableModule();
    for (Module* m : Modules())
        if (m->map == map && m->refs > 0 && m->kind != Module::Kind::DataFile) return m;
    if (map && map == MapOf(PlatformHandle())) return SystemModule(0);
    return nullptr;
}

Module* FindLoaded(nvx::WStringView name) {
    nvx::WString normal = NormalizeModuleName(name);
    if (HasPathPart(normal)) {
        std::string native = NativePath(normal);
        size_t slash = native.rfind('/');
        std::string folder = slash == std::string::npos ? "." : native.substr(0, slash);
        int system = SystemModuleIndex(BaseName(normal));
        if (system >= 0 && nvx::WEqualNoCase(nvx::WFromUtf8(CanonicalPath(folder)),
                                              nvx::WFromUtf8(CanonicalPath(SystemFolder()))))
            return SystemModule(system);
        std::string found = ResolveNoCase(native);
        return found.empty() ? nullptr : LoadedByPath(CanonicalPath(found));
    }
    ExecutableModule();
    for (Module* m : Modules())
        if (m->kind == Module::Kind::Library && m->refs > 0 && nvx::WEqualNoCase(m->baseName, normal)) return m;
    if (nvx::WEqualNoCase(ExecutableModule()->baseName, normal)) return ExecutableModule();
    return SystemModule(SystemModuleIndex(normal));
}

void* OwnSymbol(const Module& m, const char* name) {
    if (!m.dl || !name) return nullptr;
    dlerror();
    void* symbol = dlsym(m.dl, name);
    if (!symbol) return nullptr;
    Dl_info info{};
    link_map* owner = nullptr;
    if (!dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP)) return nullptr;
    return owner == m.map ? symbol : nullptr;
}

}  // namespace nvxp

using nvxp::Fail;
using nvxp::Module;

extern "C" {

NVXAPI HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (!lpLibFileName || hFile || (dwFlags & ~nvxp::kKnownLoadFlags))
        return Fail(ERROR_INVALID_PARAMETER, HMODULE(nullptr));
    if (!*lpLibFileName) return Fail(ERROR_MOD_NOT_FOUND, HMODULE(nullptr));
    const bool dataFile = (dwFlags & nvxp::kDataFileFlags) != 0;
    nvx::WString name = nvxp::NormalizeModuleName(lpLibFileName);

    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    if (Module* m = nvxp::FindLoaded(lpLibFileName)) {
        // Loaded already (also for a data-file request, as Windows answers it).
        if (!m->pinned) ++m->refs;
        return reinterpret_cast<HMODULE>(m);
    }
    std::string path = nvxp::FindLibraryFile(name);
    if (path.empty()) return Fail(ERROR_MOD_NOT_FOUND, HMODULE(nullptr));
    return nvxp::LoadFile(nvxp::CanonicalPath(path), dataFile, !(dwFlags & DONT_RESOLVE_DLL_REFERENCES));
}

NVXAPI HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    return LoadLibraryExW(lpLibFileName, nullptr, 0);
}

NVXAPI HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (!lpLibFileName) return Fail(ERROR_INVALID_PARAMETER, HMODULE(nullptr));
    nvx::WString name = nvx::WFromAnsi(lpLibFileName);
    return LoadLibraryExW(name.c_str(), hFile, dwFlags);
}

NVXAPI HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    return LoadLibraryExA(lpLibFileName, nullptr, 0);
}

NVXAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    Module* m = hLibModule ? nvxp::FindModule(hLibModule) : nullptr;
    if (!m) return Fail(ERROR_MOD_NOT_FOUND, FALSE);
    if (m->pinned || m->refs <= 0) return TRUE;  // pinned, or already detaching
    if (m->attaching && m->refs == 1) return TRUE;  // freeing itself inside its own attach
    if (--m->refs > 0) return TRUE;
    nvxp::CallEntry(m, DLL_PROCESS_DETACH);
    nvxp::Unlist(m);
    dlclose(m->dl);
    delete m;
    return TRUE;
}

NVXAPI BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule) {
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    Module* m = hLibModule ? nvxp::FindModule(hLibModule) : nullptr;
    if (!m) return Fail(ERROR_MOD_NOT_FOUND, FALSE);
    m->threadCalls = false;
    return TRUE;
}

}  // extern "C"
