// The binary form of the printer password cipher: how the device information
// cache (and later the other stored secrets of a printer) turns stored bytes into
// data and back.
//
// Every enciphered value goes through this one interface.  A printer's cipher is
// chosen by its mode: "none" stores the bytes unchanged, "DES" and "AES" are the
// enciphering modes; the binary form enciphers only in the "AES" mode and keeps
// the bytes otherwise.  The printer password cipher (password_cipher.h) is the
// implementation; PrinterBinaryCipher answers the printer's own (printer_cipher.cpp).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/win32.h"

namespace nvx::device {

enum class CipherMode { None, Des, Aes };

class BinaryCipher {
public:
    virtual ~BinaryCipher() = default;
    virtual CipherMode Mode() const = 0;
    // The stored form of plain bytes.  False (out untouched) when the bytes cannot
    // be enciphered: the caller must not store anything then.
    virtual bool Encipher(std::span<const BYTE> plain, std::vector<BYTE>* out) const = 0;
    // The plain bytes of a stored form.  False (out untouched) when the stored
    // bytes do not decipher: readers treat the value as missing.
    virtual bool Decipher(std::span<const BYTE> stored, std::vector<BYTE>* out) const = 0;
};

// The "none" mode: both directions copy the bytes.
const BinaryCipher& NoneCipher();

// The cipher of a printer's stored values: its password cipher.
const BinaryCipher& PrinterBinaryCipher(HANDLE printer);

}  // namespace nvx::device
