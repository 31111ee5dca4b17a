// The password cipher of a printer: the model's "UI_Encryption" settings and the
// printer's key seed ("InitDataBackup" in its printer data).
//
// The key text is derived from the seed once per process and printer; creating
// a seed (CreateKeySeed) makes the next lookup derive it again.
#pragma once

#include "common/text.h"
#include "device/password_cipher.h"
#include "platform/win32.h"

namespace nvx::device {

inline constexpr const WCHAR* kKeySeedValue = WL("InitDataBackup");

// The cipher of a printer.  A printer whose name cannot be read gets the
// model's cipher without a key text.  The reference stays valid until the
// module detaches.
const PasswordCipher& PrinterPasswordCipher(HANDLE printer);

// The settings of the loaded model ("UI_Encryption").
CipherSettings ModelCipherSettings();

// Writes a fresh key seed (four GUIDs) when the model sets no key number and
// the printer has no usable seed (missing, or shorter than kKeySeedMinimum
// bytes).  An existing seed is never replaced: the passwords stored under it
// would no longer decipher.  Writing printer data needs administer access: when
// the given handle lacks it the printer is opened again with it.  Answers
// ERROR_SUCCESS when there was nothing to do or the seed was written.
DWORD CreateKeySeed(HANDLE printer);

// Forgets every derived key text (detach, tests).  References handed out before
// stay valid.
void ForgetPrinterCiphers();

}  // namespace nvx::device
