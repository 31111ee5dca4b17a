// The module's link to the device-API component NOVRIX_O.DLL.
//
// One process-wide critical section, the device-API lock, serialises the loading
// and unloading of the component and every call into it.  The frame creates the
// lock and links the component at attach, and unlinks and deletes it at detach;
// everything else talks to the device through connections (oapi_connection.h),
// whose calls pass the gate below.
#pragma once

#include "device/oapi.h"
#include "device/oapi_connection.h"

namespace nvx::device {

// Attach step 4: creates the device-API lock (once; a second call does nothing).
void InitDeviceApiLock();

// Attach step 5: loads the component from pathOfNovrixO under the lock and resolves
// its 25 functions by name.  When one is missing the component is unloaded again
// and no connection can open.  Answers true when linked (also when already linked).
bool LinkDeviceApi(const WCHAR* pathOfNovrixO);

// Detach step 5: unloads the component under the lock and clears its functions.
// Does nothing when it is not linked.
void UnlinkDeviceApi();

// Detach step 6: deletes the device-API lock (does nothing when it does not exist).
void DeleteDeviceApiLock();

// Whether the component is linked with all of its functions.
bool DeviceApiLinked();
// The component's module handle, null when not linked.
HMODULE DeviceApiLibrary();

// Holds the device-API lock for its lifetime (no-op while the lock does not exist).
class DeviceApiLock {
public:
    DeviceApiLock();
    ~DeviceApiLock();
    DeviceApiLock(const DeviceApiLock&) = delete;
    DeviceApiLock& operator=(const DeviceApiLock&) = delete;
};

// The resolved address of one function; only meaningful while the lock is held.
// Null when the component is not linked.
void (*DeviceApiProc(oapi::Fn fn))(void);

// Calls one function of the component under the lock.  When the component is not
// linked, or is no longer the library that `library` names (non-null), answers
// `unlinked` without calling.
template <typename Pfn, typename R, typename... Args>
R CallDeviceApi(oapi::Fn fn, HMODULE library, R unlinked, Args... args) {
    DeviceApiLock lock;
    void (*proc)(void) = DeviceApiProc(fn);
    if (!proc || (library && library != DeviceApiLibrary())) return unlinked;
    return reinterpret_cast<Pfn>(proc)(args...);
}

}  // namespace nvx::device

// Typed call by function name: NVX_OAPI_CALL(OAPILogin, library, unlinked, args...).
#define NVX_OAPI_CALL(name, library, unlinked, ...) \
    ::nvx::device::CallDeviceApi<PFN_##name>(::nvx::oapi::Fn::k_##name, library, unlinked, __VA_ARGS__)
