// Any bytes as a stored enciphered password or value, through every decipher
// path of the printer password cipher (text, second text and binary forms, in
// each mode): a text that is taken is shorter than its stored form and holds no
// NUL; AES and DES texts encipher back to the same stored bytes.
//
// Input: a byte choosing the mode and key (bits 0-1 mode, bit 2 key number 3
// with model 57 instead of the built-in text), then the stored bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/password_cipher.h"

using namespace nvx::device;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const CipherMode modes[] = {CipherMode::None, CipherMode::Des, CipherMode::Aes, CipherMode::Aes};
    const CipherMode mode = modes[data[0] & 3];
    const bool table = (data[0] & 4) != 0;
    PasswordCipher cipher({mode, table ? 3u : 0u, table ? 57u : 0u, std::nullopt});
    std::span<const BYTE> stored(data + 1, size - 1);

    for (int form = 0; form < 2; ++form) {
        std::optional<std::string> text = form == 0 ? cipher.DecipherText(stored) : cipher.DecipherText2(stored);
        if (!text) continue;
        if (text->size() > stored.size() || text->find('\0') != std::string::npos) std::abort();
        if (mode == CipherMode::None) continue;
        std::vector<BYTE> again(stored.size() + 1);
        const size_t n = form == 0 ? cipher.EncipherText(*text, again.data(), again.size())
                                   : cipher.EncipherText2(*text, again.data(), again.size());
        // DES forms without the length byte come back with it: only AES and
        // length-carrying DES forms must match byte for byte.
        if (n == 0) std::abort();
        if ((mode == CipherMode::Aes || form == 1) && (n != stored.size() || !std::equal(stored.begin(), stored.end(), again.begin())))
            std::abort();
    }
    std::vector<BYTE> plain;
    if (cipher.Decipher(stored, &plain)) {
        if (mode == CipherMode::Aes && plain.size() >= stored.size()) std::abort();
        if (mode != CipherMode::Aes && plain.size() != stored.size()) std::abort();
    }
    return 0;
}
