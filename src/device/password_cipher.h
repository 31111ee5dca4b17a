// The printer password cipher: how every stored password and passphrase of a
// printer is enciphered (user, department, secure-print and copy passwords, the
// device's passphrase, directory-server passwords, the enciphered device
// information values).
//
// A cipher is fixed by the model's "UI_Encryption" settings (mode, key number,
// model number) and, for a model without a key number, by the printer's key
// text (derived from its key seed, see KeyTextFromSeed).  The block ciphers and
// the digest are the platform's (BCrypt); nothing here enciphers by hand.
//
// Three forms:
//  - the text form (EncipherText/DecipherText): mode 0 keeps the text, mode 1
//    enciphers with DES, mode 2 with AES;
//  - the second text form (EncipherText2/DecipherText2): mode 1 takes the AES
//    path with key number 1 and no model number;
//  - the binary form (BinaryCipher): enciphers only in mode 2, otherwise keeps
//    the bytes.
//
// What this is worth as protection is written down in docs/security.md.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/binary_cipher.h"

namespace nvx::device {

inline constexpr size_t kKeyMaterialSize = 20;
inline constexpr size_t kKeyTextChars = 20;
// The key seed: four GUIDs.  A seed shorter than kKeySeedMinimum gives no key text.
inline constexpr size_t kKeySeedSize = 64;
inline constexpr size_t kKeySeedMinimum = 42;

// DES: the text is padded with '+' to kDesTextChars and with NUL bytes to
// kDesPaddedSize; the enciphered form is kDesCipherSize bytes (nine blocks).
inline constexpr size_t kDesTextChars = 64;
inline constexpr size_t kDesPaddedSize = 73;
inline constexpr size_t kDesCipherSize = 72;
inline constexpr size_t kAesBlock = 16;

// The enciphered length of a text of n bytes in AES: the next multiple of 16,
// always adding at least one byte.
constexpr size_t AesPaddedLength(size_t n) { return (n / kAesBlock + 1) * kAesBlock; }

// The 20-character key text of a key seed: for i = 0..9 the byte
// (seed[i] + seed[n-1-i]) mod 256 as two upper-case hexadecimal digits.
// Nothing for a seed shorter than kKeySeedMinimum bytes.
std::optional<std::string> KeyTextFromSeed(std::span<const BYTE> seed);

// One row of the built-in key table.  modelId 0 stands for every model.
struct KeyTableEntry {
    uint32_t keyId;
    uint32_t modelId;
    BYTE key[kKeyMaterialSize];
};
std::span<const KeyTableEntry> KeyTable();
const KeyTableEntry& DefaultKeyEntry();
// The entry for a key number, narrowed by the model number when one is set
// (non-zero); the default entry when none matches.
const KeyTableEntry& LookupKey(uint32_t keyId, uint32_t modelId);
// The 20 bytes of key material of a table entry: stored byte i lands at
// position p(i), p = 0, 19, 1, 18, 2, 17, ... 9, 10.
std::array<BYTE, kKeyMaterialSize> ReorderedKey(const KeyTableEntry& entry);
// The built-in 20-digit text used when neither a key number nor a key text is set.
const char* FallbackKeyText();

struct CipherSettings {
    CipherMode mode = CipherMode::None;
    uint32_t keyId = 0;    // 0: none
    uint32_t modelId = 0;  // 0: none
    std::optional<std::string> keyText;  // the printer's key text, when it has one
};

class PasswordCipher final : public BinaryCipher {
public:
    explicit PasswordCipher(CipherSettings settings) : settings_(std::move(settings)) {}
    const CipherSettings& Settings() const { return settings_; }

    // ---- Text form ----
    // Enciphers text (its bytes up to the first NUL) into out, which holds cap
    // bytes.  Answers the enciphered length, 0 when it cannot be enciphered
    // (buffer too small, a DES text longer than 64 characters, a platform
    // failure).  A result shorter than cap is followed by a NUL byte.  Mode 0
    // copies the text; its length is the answer.
    size_t EncipherText(std::string_view text, BYTE* out, size_t cap) const;
    // The text of an enciphered form; nothing when it does not decipher.
    std::optional<std::string> DecipherText(std::span<const BYTE> stored) const;

    // ---- Second text form (mode 1 takes AES, key number 1, no model number) ----
    size_t EncipherText2(std::string_view text, BYTE* out, size_t cap) const;
    std::optional<std::string> DecipherText2(std::span<const BYTE> stored) const;

    // ---- Binary form ----
    CipherMode Mode() const override { return settings_.mode; }
    bool Encipher(std::span<const BYTE> plain, std::vector<BYTE>* out) const override;
    bool Decipher(std::span<const BYTE> stored, std::vector<BYTE>* out) const override;

    // The 20 bytes of AES key material this cipher uses (for the given key number
    // and model number; tests compute the expected results from it).
    std::array<BYTE, kKeyMaterialSize> AesKeyMaterial(uint32_t keyId, uint32_t modelId) const;

private:
    size_t EncipherAes(std::string_view text, uint32_t keyId, uint32_t modelId, BYTE* out, size_t cap,
                       bool terminate) const;
    std::optional<std::vector<BYTE>> DecipherAes(std::span<const BYTE> stored, uint32_t keyId, uint32_t modelId) const;
    size_t EncipherDes(std::string_view text, BYTE* out, size_t cap) const;
    std::optional<std::string> DecipherDes(std::span<const BYTE> stored) const;

    CipherSettings settings_;
};

}  // namespace nvx::device
