// The printer sheet's settings tab apart from its window (see printer_settings_logic.h).
#include "pages/printer_settings_logic.h"

#include <cstring>

#include "common/le.h"
#include "settings/devoption.h"

namespace nvx::pages {

namespace dv = settings::devoption;

KeyState EncryptionKeyState(const BYTE* r) {
    if (!r) return KeyState::None;
    bool any = r[dv::kPassphraseStored] != 0 || GetLE16(r + dv::kPassphraseLength) != 0;
    for (size_t i = 0; i < dv::kPassphraseBytes && !any; ++i) any = r[dv::kPassphrase + i] != 0;
    if (!any) return KeyState::None;
    return r[dv::kPassphraseStored] != 0 ? KeyState::UserDefined : KeyState::Kept;
}

bool ClearEncryptionKey(BYTE* r) {
    if (EncryptionKeyState(r) == KeyState::None) return false;
    r[dv::kPassphraseStored] = 0;
    SecureZeroMemory(r + dv::kPassphrase, dv::kPassphraseBytes);
    PutLE16(r + dv::kPassphraseLength, 0);
    return true;
}

}  // namespace nvx::pages
