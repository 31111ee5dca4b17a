// The module's own small services: image resources, maker name, the profile
// download tool, and the child-information query.
#include "common/text.h"
#include "frame/exports.h"
#include "frame/module_state.h"
#include "model/loaded_model.h"

using nvx::frame::Module;

NVX_EXPORT HMODULE GetImgResInst(void) {
    return Module().imageResources;
}

NVX_EXPORT void GetCompanyName(WCHAR* buffer, UINT characters) {
    if (!buffer) return;
    for (UINT i = 0; i < characters; ++i) buffer[i] = 0;
    if (characters == 0) return;
    const WCHAR* maker = nvx::model::Loaded().tables.services.makerName;
    nvx::WCopy(buffer, characters, *maker ? maker : nvx::model::kDefaultMakerName);
}

NVX_EXPORT UINT_PTR IsInstalledDLManager(void) {
    const WCHAR* configured = nvx::model::Loaded().tables.services.downloadManagerFile;
    nvx::WString fileName = *configured ? configured : WL("ZEPROFDL.EXE");
    WCHAR keyPath[MAX_PATH + 80];
    nvx::WFormat(keyPath, sizeof keyPath / sizeof keyPath[0],
                 WL("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\%s"), fileName.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    WCHAR folder[MAX_PATH] = {};
    DWORD size = sizeof folder - sizeof(WCHAR);  // keep room for a terminator the value may lack
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key, WL("Path"), nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return 0;
    nvx::WString path(folder, nvx::WLenBounded(folder, MAX_PATH - 1));
    if (path.empty() || (path.back() != u'\\' && path.back() != u'/')) path += u'\\';
    path += fileName;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FindClose(find);
    return 1;
}

NVX_EXPORT UINT_PTR SetChildInfo(void) {
    return 0;
}
