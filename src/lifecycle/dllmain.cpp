// Library entry of NOVRIX_U.DLL.
#include "frame/exports.h"
#include "lifecycle/lifecycle.h"

NVX_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return nvx::lifecycle::AttachModule(instance);
        case DLL_PROCESS_DETACH:
            nvx::lifecycle::DetachModule();
            return TRUE;
        default:  // thread attach and detach: nothing to do
            return TRUE;
    }
}
