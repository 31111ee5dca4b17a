// Library entry of NOVRIX_U.DLL.
#include "frame/exports.h"
#include "frame/module_state.h"

NVX_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return nvx::frame::AttachModule(instance);
        case DLL_PROCESS_DETACH:
            nvx::frame::DetachModule();
            return TRUE;
        default:  // thread attach and detach: nothing to do
            return TRUE;
    }
}
