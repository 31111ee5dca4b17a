// SetDispStringSingle: one display text from the main package, by entry and key.
#include "frame/exports.h"
#include "frame/paths.h"
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
