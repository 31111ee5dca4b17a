// The device-API lock and the loading of NOVRIX_O.DLL.
#include "device/oapi_link.h"

namespace nvx::device {
namespace {

#define NVX_OAPI_NAME(name) #name,
constexpr const char* kFunctionNames[oapi::kFunctionCount] = {NVX_OAPI_FUNCTIONS(NVX_OAPI_NAME)};
#undef NVX_OAPI_NAME

struct LinkState {
    CRITICAL_SECTION lock;
    bool lockReady = false;
    HMODULE library = nullptr;
    void (*procs[oapi::kFunctionCount])(void) = {};
};

LinkState& State() {
    static LinkState state;
    return state;
}

void ClearProcs(LinkState& s) {
    for (auto& proc : s.procs) proc = nullptr;
}

}  // namespace

void InitDeviceApiLock() {
    LinkState& s = State();
    if (s.lockReady) return;
    InitializeCriticalSection(&s.lock);
    s.lockReady = true;
}

void DeleteDeviceApiLock() {
    LinkState& s = State();
    if (!s.lockReady) return;
    s.lockReady = false;
    DeleteCriticalSection(&s.lock);
}

DeviceApiLock::DeviceApiLock() {
    LinkState& s = State();
    if (s.lockReady) EnterCriticalSection(&s.lock);
}

DeviceApiLock::~DeviceApiLock() {
    LinkState& s = State();
    if (s.lockReady) LeaveCriticalSection(&s.lock);
}

bool LinkDeviceApi(const WCHAR* pathOfNovrixO) {
    DeviceApiLock lock;
    LinkState& s = State();
    if (s.library) return true;
    if (!pathOfNovrixO || !*pathOfNovrixO) return false;
    HMODULE library = LoadLibraryW(pathOfNovrixO);
    if (!library) return false;
    // Every function must be there; one missing leaves the component unusable.
    for (int i = 0; i < oapi::kFunctionCount; ++i) {
        FARPROC proc = GetProcAddress(library, kFunctionNames[i]);
        if (!proc) {
            ClearProcs(s);
            FreeLibrary(library);
            return false;
        }
        s.procs[i] = reinterpret_cast<void (*)(void)>(proc);
    }
    s.library = library;
    return true;
}

void UnlinkDeviceApi() {
    DeviceApiLock lock;
    LinkState& s = State();
    if (!s.library) return;
    ClearProcs(s);
    FreeLibrary(s.library);
    s.library = nullptr;
}

bool DeviceApiLinked() {
    DeviceApiLock lock;
    return State().library != nullptr;
}

HMODULE DeviceApiLibrary() {
    DeviceApiLock lock;
    return State().library;
}

void (*DeviceApiProc(oapi::Fn fn))(void) {
    int index = static_cast<int>(fn);
    if (index < 0 || index >= oapi::kFunctionCount) return nullptr;
    LinkState& s = State();
    return s.library ? s.procs[index] : nullptr;
}

}  // namespace nvx::device
