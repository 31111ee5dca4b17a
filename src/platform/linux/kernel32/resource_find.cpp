// FindResourceW and friends over a module's resource index.
//
// An HRSRC points to an entry of the module's index; LoadResource answers the
// data itself (as 64-bit Windows does), so LockResource is the identity and
// FreeResource does nothing.  Module handles and HRSRC values are checked on
// every call: an unknown module fails with ERROR_INVALID_HANDLE, an HRSRC that
// is not one of the module's entries with ERROR_INVALID_HANDLE as well.
#include "common/ansi.h"
#include "platform/linux/loader/module_internal.h"
#include "platform/linux/kernel32/resource_index.h"

namespace nvxp {

const ResourceIndex& ModuleResources(Module& module) {
    std::call_once(module.resourcesParsed, [&] {
        const BYTE* data = nullptr;
        size_t size = 0;
        if (module.kind != Module::Kind::System) {
            data = static_cast<const BYTE*>(OwnSymbol(module, "nvx_resource_data"));
            auto sizeOf = reinterpret_cast<size_t (*)()>(OwnSymbol(module, "nvx_resource_size"));
            if (data && sizeOf) size = sizeOf();
        }
        module.resources = std::make_unique<ResourceIndex>(data, size);
    });
    return *module.resources;
}


namespace {

// The module's entry for hResInfo, or null with the last error set.  Loader lock held.
const ResourceEntry* EntryOf(HMODULE hModule, HRSRC hResInfo) {
    Module* module = FindModule(hModule);
    if (!module) return Fail(ERROR_INVALID_HANDLE, static_cast<const ResourceEntry*>(nullptr));
    if (!ModuleResources(*module).Owns(hResInfo))
        return Fail(ERROR_INVALID_HANDLE, static_cast<const ResourceEntry*>(nullptr));
    return reinterpret_cast<const ResourceEntry*>(hResInfo);
}

HRSRC FindIn(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD language) {
    ResourceId type, name;
    if (!ResourceId::FromArgument(lpType, &type) || !ResourceId::FromArgument(lpName, &name))
        return Fail(ERROR_INVALID_PARAMETER, HRSRC(nullptr));
    std::lock_guard<std::recursive_mutex> lock(LoaderLock());
    Module* module = FindModule(hModule);
    if (!module) return Fail(ERROR_INVALID_HANDLE, HRSRC(nullptr));
    DWORD error = 0;
    const ResourceEntry* entry = ModuleResources(*module).Find(type, name, language, &error);
    if (!entry) return Fail(error, HRSRC(nullptr));
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

// A resource id as the enumeration callbacks receive it: MAKEINTRESOURCE(n)
// or a pointer to the (upper-case) name, valid during the callback.
LPWSTR CallbackId(const ResourceId& id) {
    if (id.isOrdinal) return MAKEINTRESOURCEW(id.ordinal);
    return const_cast<LPWSTR>(id.name.c_str());
}

}  // namespace
}  // namespace nvxp

using nvxp::Fail;

extern "C" {

NVXAPI HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
    return nvxp::FindIn(hModule, lpType, lpName, wLanguage);
}

NVXAPI HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return nvxp::FindIn(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

NVXAPI HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    // Ordinals pass through; names are converted from the system code page.
    nvx::WString name, type;
    LPCWSTR wideName = reinterpret_cast<LPCWSTR>(lpName);
    LPCWSTR wideType = reinterpret_cast<LPCWSTR>(lpType);
    if (lpName && !IS_INTRESOURCE(lpName)) wideName = (name = nvx::WFromAnsi(lpName)).c_str();
    if (lpType && !IS_INTRESOURCE(lpType)) wideType = (type = nvx::WFromAnsi(lpType)).c_str();
    return nvxp::FindIn(hModule, wideType, wideName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

NVXAPI HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    const nvxp::ResourceEntry* entry = nvxp::EntryOf(hModule, hResInfo);
    if (!entry) return nullptr;
    // An empty resource still answers a valid (non-null) address.
    return const_cast<BYTE*>(entry->data);
}

NVXAPI LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

NVXAPI BOOL WINAPI FreeResource(HGLOBAL hResData) {
    return FALSE;  // resources live as long as their module; FALSE means success
}

NVXAPI DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    const nvxp::ResourceEntry* entry = nvxp::EntryOf(hModule, hResInfo);
    return entry ? entry->size : 0;
}

NVXAPI BOOL WINAPI EnumResourceNamesW(HMODULE hModule, LPCWSTR lpType, ENUMRESNAMEPROCW lpEnumFunc,
                                      LONG_PTR lParam) {
    nvxp::ResourceId type;
    if (!lpEnumFunc || !nvxp::ResourceId::FromArgument(lpType, &type)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    nvxp::Module* module = nvxp::FindModule(hModule);
    if (!module) return Fail(ERROR_INVALID_HANDLE, FALSE);
    const nvxp::ResourceIndex& index = nvxp::ModuleResources(*module);
    if (index.Empty()) return Fail(ERROR_RESOURCE_DATA_NOT_FOUND, FALSE);
    std::vector<const nvxp::ResourceId*> names = index.Names(type);
    if (names.empty()) return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, FALSE);
    HMODULE handle = reinterpret_cast<HMODULE>(module);
    for (const nvxp::ResourceId* name : names)
        if (!lpEnumFunc(handle, lpType, nvxp::CallbackId(*name), lParam))
            return Fail(ERROR_RESOURCE_ENUM_USER_STOP, FALSE);
    return TRUE;
}

NVXAPI BOOL WINAPI EnumResourceTypesW(HMODULE hModule, ENUMRESTYPEPROCW lpEnumFunc, LONG_PTR lParam) {
    if (!lpEnumFunc) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    std::lock_guard<std::recursive_mutex> lock(nvxp::LoaderLock());
    nvxp::Module* module = nvxp::FindModule(hModule);
    if (!module) return Fail(ERROR_INVALID_HANDLE, FALSE);
    const nvxp::ResourceIndex& index = nvxp::ModuleResources(*module);
    if (index.Empty()) return Fail(ERROR_RESOURCE_DATA_NOT_FOUND, FALSE);
    HMODULE handle = reinterpret_cast<HMODULE>(module);
    for (const nvxp::ResourceId* type : index.Types())
        if (!lpEnumFunc(handle, nvxp::CallbackId(*type), lParam)) return Fail(ERROR_RESOURCE_ENUM_USER_STOP, FALSE);
    return TRUE;
}

}  // extern "C"
