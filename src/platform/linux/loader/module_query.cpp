// Questions about loaded modules: GetProcAddress, GetModuleFileNameW,
// GetModuleHandleW and GetModuleHandleExW.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "common/ansi.h"
#include "platform/linux/loader/module_internal.h"

namespace nvxp {
namespace {

// The exported function `name` of a library built with a .def file: only names
// the .def lists (and not NONAME) are reachable by name.
const NvxOrdinalEntry* OrdinalRowByName(const NvxOrdinalEntry* table, const char* name) {
    for (const NvxOrdinalEntry* row = table; row && row->name; ++row)
        if (strcmp(row->name, name) == 0) return row;
    return nullptr;
}

const NvxOrdinalEntry* OrdinalRow(const NvxOrdinalEntry* table, WORD ordinal) {
    for (const NvxOrdinalEntry* row = table; row && row->name; ++row)
        if (row->ordinal != 0 && row->ordinal == ordinal) return row;
    return nullptr;
}

FARPROC AsProc(void* symbol) {
    return reinterpret_cast<FARPROC>(symbol);
}

FARPROC Lookup(const Module& m, LPCSTR procName) {
    if (IS_INTRESOURCE(procName)) {
        const NvxOrdinalEntry* row = OrdinalRow(m.ordinals, LOWORD(reinterpret_cast<ULONG_PTR>(procName)));
        void* symbol = row ? OwnSymbol(m, row->name) : nullptr;
        return symbol ? AsProc(symbol) : Fail(ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
    }
    if (!*procName) return Fail(ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
    if (m.kind == Module::Kind::System) {
        // The layer's exports, less its host interface.
        if (strncmp(procName, "Nvx", 3) == 0 || strncmp(procName, "nvx", 3) == 0)
            return Fail(ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
    } else if (m.ordinals) {
        const NvxOrdinalEntry* row = OrdinalRowByName(m.ordinals, procName);
        if (!row || (row->flags & kOrdinalNoName)) return Fail(ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
    }
    void* symbol = OwnSymbol(m, procName);
    return symbol ? AsProc(symbol) : Fail(ERROR_PROC_NOT_FOUND, FARPROC(nullptr));
}

// The full path GetModuleFileNameW answers for a module.
nvx::WString FileNameOf(const Module& m) {
    if (m.kind == Module::Kind::System) return WinPath(SystemFolder() + "/" + m.path);
    return WinPath(m.path);
}

}  // namespace
}  // namespace nvxp

using nvxp::Fail;
using nvxp::Module;

extern "C" {

NVXAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    Module* m = nvxp::FindModule(hModule);
    if (!m || m->kind == Module::Kind::DataFile) return Fail(ERROR_MOD_NOT_FOUND, FARPROC(nullptr));
    return nvxp::Lookup(*m, lpProcName);
}

NVXAPI DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    nvx::WString path;
    {
        std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
        Module* m = nvxp::FindModule(hModule);
        if (!m) return Fail(ERROR_MOD_NOT_FOUND, DWORD(0));
        path = nvxp::FileNameOf(*m);
    }
    if (nSize == 0) return Fail(ERROR_INSUFFICIENT_BUFFER, DWORD(0));
    if (!lpFilename) return Fail(ERROR_INVALID_PARAMETER, DWORD(0));
    if (path.size() < nSize) {
        nvx::WCopy(lpFilename, nSize, path);
        return static_cast<DWORD>(path.size());
    }
    // Too small: cut, terminate, answer the buffer size.
    nvx::WCopy(lpFilename, nSize, path);
    return Fail(ERROR_INSUFFICIENT_BUFFER, nSize);
}

NVXAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    nvx::WString path;
    {
        std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
        Module* m = nvxp::FindModule(hModule);
        if (!m) return Fail(ERROR_MOD_NOT_FOUND, DWORD(0));
        path = nvxp::FileNameOf(*m);
    }
    if (nSize == 0) return Fail(ERROR_INSUFFICIENT_BUFFER, DWORD(0));
    if (!lpFilename) return Fail(ERROR_INVALID_PARAMETER, DWORD(0));
    std::string ansi = nvx::AnsiFromW(path);
    size_t copied = nvx::AnsiCopyBounded(lpFilename, nSize, ansi.c_str());
    if (copied == ansi.size() && ansi.size() < nSize) return static_cast<DWORD>(copied);
    return Fail(ERROR_INSUFFICIENT_BUFFER, nSize);
}

NVXAPI HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    if (!lpModuleName) return reinterpret_cast<HMODULE>(nvxp::FindModule(nullptr));
    Module* m = *lpModuleName ? nvxp::FindLoaded(lpModuleName) : nullptr;
    if (!m) return Fail(ERROR_MOD_NOT_FOUND, HMODULE(nullptr));
    return reinterpret_cast<HMODULE>(m);
}

NVXAPI HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) return GetModuleHandleW(nullptr);
    nvx::WString name = nvx::WFromAnsi(lpModuleName);
    return GetModuleHandleW(name.c_str());
}

NVXAPI BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule) {
    constexpr DWORD kKnown = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
    if (phModule) *phModule = nullptr;
    if (!phModule || (dwFlags & ~kKnown) ||
        ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) && (dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)))
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    Module* m = nullptr;
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
        Dl_info info{};
        link_map* map = nullptr;
        if (lpModuleName && dladdr1(lpModuleName, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP))
            m = nvxp::FindModuleByMap(map);
    } else if (!lpModuleName) {
        m = nvxp::FindModule(nullptr);
    } else if (*lpModuleName) {
        m = nvxp::FindLoaded(lpModuleName);
    }
    if (!m) return Fail(ERROR_MOD_NOT_FOUND, FALSE);
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) m->pinned = true;
    else if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) && !m->pinned) ++m->refs;
    *phModule = reinterpret_cast<HMODULE>(m);
    return TRUE;
}

}  // extern "C"
