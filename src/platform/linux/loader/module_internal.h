// Internals shared by the module loader (module_*.cpp) and the resource
// functions (resource_*.cpp) of the Linux platform layer.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/internal.h"

struct link_map;

namespace nvxp {

class ResourceIndex;  // kernel32/resource_index.cpp

// One row of the ordinal table that novrix_add_dll generates from a library's
// .def file ("nvx_ordinal_table", ended by a row with a null name).
struct NvxOrdinalEntry {
    unsigned short ordinal;
    unsigned short flags;  // kOrdinalNoName: reachable by ordinal only
    const char* name;
};
constexpr unsigned short kOrdinalNoName = 1;

using DllMainProc = BOOL (*)(HINSTANCE, DWORD, LPVOID);

// What an HMODULE points to.  Records live from the first load to the last
// FreeLibrary; the executable and the built-in system modules are never freed.
struct Module {
    enum class Kind { Executable, Library, DataFile, System };

    Kind kind = Kind::Library;
    std::string path;        // native full path (System: the file name in the system folder)
    nvx::WString baseName;   // file name as found, e.g. "NOVRIX_R.DLL"
    void* dl = nullptr;      // dlopen handle
    link_map* map = nullptr; // the loaded object (for address lookups)
    int refs = 0;            // load count; 0 while detaching
    bool pinned = false;     // never unloaded
    bool threadCalls = true; // DisableThreadLibraryCalls clears it
    bool attaching = false;  // DLL_PROCESS_ATTACH is running
    DllMainProc dllMain = nullptr;
    const NvxOrdinalEntry* ordinals = nullptr;

    std::once_flag resourcesParsed;
    std::unique_ptr<ResourceIndex> resources;  // built on first use
};

// The loader lock: recursive, held while DllMain runs (as Windows holds its
// loader lock), so that a DllMain may load and free other libraries.
std::recursive_mutex& LoaderLock();

// The live record behind a module handle; null stands for the executable.
// Answers null for anything that is not a live module (caller sets the error).
// Call with the loader lock held.
Module* FindModule(HMODULE handle);

// The live module whose loaded object is `map` (the platform library itself
// answers as kernel32.dll), or null.  Loader lock held.
Module* FindModuleByMap(link_map* map);

// A loaded module by name as the caller gave it (normalized here): a base name
// ("NOVRIX_R.DLL", "novrix_r", a system module name) or a path.  Data-file
// loads are not found.  Loader lock held.
Module* FindLoaded(nvx::WStringView name);

// A symbol that the module's own object defines (not one of its dependencies),
// or null.
void* OwnSymbol(const Module& module, const char* name);

// The module's resource index, parsed on first use from its embedded .res data
// (never null; empty when the module has no resources).  Loader lock held.
const ResourceIndex& ModuleResources(Module& module);

// ---- Names and search (loader/module_search.cpp) ----
// The system folder of the platform root: <root>/drive_c/Windows/System32.
std::string SystemFolder();
// The executable's native full path.
std::string ExecutablePath();
// A module name as the loader compares it: slashes become backslashes, ".dll"
// is appended to a file name without extension, a trailing dot is dropped.
nvx::WString NormalizeModuleName(nvx::WStringView name);
// Whether a name carries a folder or drive part.
bool HasPathPart(nvx::WStringView name);
// The file name part of a path.
nvx::WString BaseName(nvx::WStringView name);
// The index of a built-in system module name ("KERNEL32", "user32.dll", ...) or -1.
int SystemModuleIndex(nvx::WStringView baseName);
// The table's file name for an index, or null.
const char* SystemModuleName(int index);
// An existing native path matched component by component ignoring case, or empty.
std::string ResolveNoCase(const std::string& path);
// The library file a (normalized) name denotes: an absolute path as is, else the
// first match in the executable's folder, the current folder, the system folder.
// Empty when there is none.
std::string FindLibraryFile(nvx::WStringView name);
// The path with symbolic links and dot parts resolved (the path itself on failure).
std::string CanonicalPath(const std::string& path);

}  // namespace nvxp
