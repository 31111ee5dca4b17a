// Entry points that read the main package or its texts: SetDispStringSingle (one
// display text by entry and key) and SPRINST_GetErrorMsg (a settings-transfer message).
#include "frame/exports.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/package.h"

// The value (at most 290 characters and its terminator) is copied into destination,
// which must hold 291 characters.  The count argument is not used.  The package is
// opened and closed on every call; a damaged one answers as a missing one.
NVX_EXPORT UINT_PTR SetDispStringSingle(void* module, const char* entryName, const char* key, WCHAR* destination,
                                        UINT count) {
    (void)count;
    if (!entryName || !key || !destination) return 0;
    nvx::WString path = nvx::frame::BesideModule(static_cast<HMODULE>(module), WL("NOVRIX_D.VPD"));
    if (path.empty()) return 0;
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg) return 0;
    return nvx::model::KeyedValueLoad(*pkg, entryName, key, destination, nvx::vpd::kMaxString + 1) ? 1 : 0;
}

// The message of a settings-transfer error code: the package's "ERMSG_nn" text,
// else its "ERMSG_XX" text, else an empty text.  The text belongs to the module and
// lives until it is unloaded.
NVX_EXPORT UINT_PTR SPRINST_GetErrorMsg(UINT code) {
    const auto& messages = nvx::model::Loaded().tables.settings.setupErrors;
    const int n = code < static_cast<UINT>(nvx::model::kSetupErrorCodes) ? static_cast<int>(code) : -1;
    return reinterpret_cast<UINT_PTR>(nvx::model::SetupErrorMessage(messages, n));
}
