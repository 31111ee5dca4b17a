// Security entry points that need nothing from the device: the printer's key seed.
#include "device/printer_cipher.h"
#include "frame/exports.h"

// (printer handle).  Creates the printer's key seed "InitDataBackup" when the
// model sets no key number and the printer has none yet; an existing seed is kept.
NVX_EXPORT void SetUIAesKeyInfo(void* printer) {
    const DWORD status = nvx::device::CreateKeySeed(static_cast<HANDLE>(printer));
    if (status != ERROR_SUCCESS) OutputDebugStringA("NOVRIX_U: SetUIAesKeyInfo: the key seed could not be written\n");
}
