// What the printer sheet's settings tab shows and changes in the device-option
// record, apart from its window: the encryption key the printer keeps for
// encrypted jobs (the passphrase fetched from the device at job start, held
// enciphered at 482 with its length at 556 and the user-defined flag at 480).
#pragma once

#include "platform/win32.h"

namespace nvx::pages {

enum class KeyState {
    None,         // nothing kept
    Kept,         // the device's factory key
    UserDefined,  // a key defined on the device by its administrator
};

// What the record keeps; a null record keeps nothing.  Any trace of a key (the
// flag, a length or a byte of the field) counts as kept, so that a damaged one
// can be cleared too.
KeyState EncryptionKeyState(const BYTE* devOption);

// Forgets the kept key: the flag, the 73 enciphered bytes and the length back
// to 0.  The next job that needs the key fetches it from the device again.
// True when anything changed.
bool ClearEncryptionKey(BYTE* devOption);

}  // namespace nvx::pages
