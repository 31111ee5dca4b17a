// The printer password cipher over the platform's BCrypt.
#include "device/password_cipher.h"

#include <cstdio>
#include <cstring>

#include "platform/win32.h"

namespace nvx::device {
namespace {

// ---- The platform's primitives, wrapped so that every handle is released ----

struct AlgHandle {
    BCRYPT_ALG_HANDLE h = nullptr;
    explicit AlgHandle(LPCWSTR name) {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&h, name, nullptr, 0))) h = nullptr;
    }
    ~AlgHandle() {
        if (h) BCryptCloseAlgorithmProvider(h, 0);
    }
    AlgHandle(const AlgHandle&) = delete;
    AlgHandle& operator=(const AlgHandle&) = delete;
};

struct KeyHandle {
    BCRYPT_KEY_HANDLE h = nullptr;
    ~KeyHandle() {
        if (h) BCryptDestroyKey(h);
    }
};

using Digest = std::array<BYTE, 32>;

std::optional<Digest> Sha256(const BYTE* data, size_t n) {
    AlgHandle alg(BCRYPT_SHA256_ALGORITHM);
    if (!alg.h) return std::nullopt;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(alg.h, &hash, nullptr, 0, nullptr, 0, 0))) return std::nullopt;
    Digest d{};
    const bool ok = BCRYPT_SUCCESS(BCryptHashData(hash, const_cast<PUCHAR>(data), static_cast<ULONG>(n), 0)) &&
                    BCRYPT_SUCCESS(BCryptFinishHash(hash, d.data(), static_cast<ULONG>(d.size()), 0));
    BCryptDestroyHash(hash);
    if (!ok) return std::nullopt;
    return d;
}

// CBC over whole blocks, no padding of the platform's (the cipher pads itself).
bool CbcCrypt(bool encrypt, LPCWSTR algorithm, const BYTE* key, size_t keySize, const BYTE* iv, size_t block,
              const BYTE* in, size_t n, BYTE* out) {
    AlgHandle alg(algorithm);
    if (!alg.h || n % block) return false;
    static const WCHAR kCbc[] = BCRYPT_CHAIN_MODE_CBC;
    if (!BCRYPT_SUCCESS(BCryptSetProperty(alg.h, BCRYPT_CHAINING_MODE,
                                          reinterpret_cast<PUCHAR>(const_cast<WCHAR*>(kCbc)), sizeof kCbc, 0)))
        return false;
    KeyHandle k;
    if (!BCRYPT_SUCCESS(BCryptGenerateSymmetricKey(alg.h, &k.h, nullptr, 0, const_cast<PUCHAR>(key),
                                                   static_cast<ULONG>(keySize), 0)))
        return false;
    BYTE chain[16];
    std::memcpy(chain, iv, block);
    ULONG done = 0;
    NTSTATUS s = encrypt ? BCryptEncrypt(k.h, const_cast<PUCHAR>(in), static_cast<ULONG>(n), nullptr, chain,
                                         static_cast<ULONG>(block), out, static_cast<ULONG>(n), &done, 0)
                         : BCryptDecrypt(k.h, const_cast<PUCHAR>(in), static_cast<ULONG>(n), nullptr, chain,
                                         static_cast<ULONG>(block), out, static_cast<ULONG>(n), &done, 0);
    return BCRYPT_SUCCESS(s) && done == n;
}

// The AES key (the digest of the first ten bytes of the material) and the
// initialisation vector (the first 16 bytes of the digest of the last ten).
struct AesKey {
    Digest key{};
    BYTE iv[kAesBlock] = {};
    ~AesKey() {
        SecureZeroMemory(key.data(), key.size());
        SecureZeroMemory(iv, sizeof iv);
    }
};

bool MakeAesKey(const std::array<BYTE, kKeyMaterialSize>& material, AesKey* out) {
    std::optional<Digest> key = Sha256(material.data(), 10);
    std::optional<Digest> iv = Sha256(material.data() + 10, 10);
    if (!key || !iv) return false;
    out->key = *key;
    std::memcpy(out->iv, iv->data(), kAesBlock);
    SecureZeroMemory(key->data(), key->size());
    SecureZeroMemory(iv->data(), iv->size());
    return true;
}

// A wiped-on-exit scratch buffer.
struct Scratch {
    std::vector<BYTE> bytes;
    explicit Scratch(size_t n) : bytes(n, 0) {}
    ~Scratch() { SecureZeroMemory(bytes.data(), bytes.size()); }
};

std::string_view UpToNul(std::string_view text) {
    size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// Copies n bytes and the NUL that follows them when there is room for it.
size_t PutResult(const BYTE* bytes, size_t n, BYTE* out, size_t cap, bool terminate) {
    std::memcpy(out, bytes, n);
    if (terminate && n < cap) out[n] = 0;
    return n;
}

}  // namespace

std::optional<std::string> KeyTextFromSeed(std::span<const BYTE> seed) {
    if (seed.size() < kKeySeedMinimum) return std::nullopt;
    std::string text;
    const size_t n = seed.size();
    for (size_t i = 0; i < 10; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>((seed[i] + seed[n - 1 - i]) & 0xFF));
        text += hex;
    }
    return text;
}

std::array<BYTE, kKeyMaterialSize> ReorderedKey(const KeyTableEntry& entry) {
    static constexpr size_t kPosition[kKeyMaterialSize] = {0, 19, 1, 18, 2, 17, 3, 16, 4, 15,
                                                           5, 14, 6, 13, 7, 12, 8, 11, 9, 10};
    std::array<BYTE, kKeyMaterialSize> out{};
    for (size_t i = 0; i < kKeyMaterialSize; ++i) out[kPosition[i]] = entry.key[i];
    return out;
}

const KeyTableEntry& LookupKey(uint32_t keyId, uint32_t modelId) {
    for (const KeyTableEntry& e : KeyTable())
        if (e.keyId == keyId && (modelId == 0 ? e.modelId == 0 : e.modelId == modelId)) return e;
    return DefaultKeyEntry();
}

std::array<BYTE, kKeyMaterialSize> PasswordCipher::AesKeyMaterial(uint32_t keyId, uint32_t modelId) const {
    std::array<BYTE, kKeyMaterialSize> material{};
    if (keyId != 0) return ReorderedKey(LookupKey(keyId, modelId));
    const std::string& text = settings_.keyText && settings_.keyText->size() == kKeyTextChars ? *settings_.keyText
                                                                                              : std::string();
    const char* source = text.empty() ? FallbackKeyText() : text.c_str();
    std::memcpy(material.data(), source, kKeyMaterialSize);
    return material;
}

size_t PasswordCipher::EncipherAes(std::string_view text, uint32_t keyId, uint32_t modelId, BYTE* out, size_t cap,
                                   bool terminate) const {
    const size_t padded = AesPaddedLength(text.size());
    if (!out || cap < padded) return 0;
    Scratch plain(padded);
    std::memcpy(plain.bytes.data(), text.data(), text.size());
    const BYTE pad = static_cast<BYTE>(padded - text.size() - 1);
    std::memset(plain.bytes.data() + text.size(), pad, padded - text.size());
    std::array<BYTE, kKeyMaterialSize> material = AesKeyMaterial(keyId, modelId);
    AesKey key;
    const bool made = MakeAesKey(material, &key);
    SecureZeroMemory(material.data(), material.size());
    Scratch cipher(padded);
    if (!made || !CbcCrypt(true, BCRYPT_AES_ALGORITHM, key.key.data(), key.key.size(), key.iv, kAesBlock,
                           plain.bytes.data(), padded, cipher.bytes.data()))
        return 0;
    return PutResult(cipher.bytes.data(), padded, out, cap, terminate);
}

std::optional<std::vector<BYTE>> PasswordCipher::DecipherAes(std::span<const BYTE> stored, uint32_t keyId,
                                                             uint32_t modelId) const {
    if (stored.empty() || stored.size() % kAesBlock) return std::nullopt;
    std::array<BYTE, kKeyMaterialSize> material = AesKeyMaterial(keyId, modelId);
    AesKey key;
    const bool made = MakeAesKey(material, &key);
    SecureZeroMemory(material.data(), material.size());
    Scratch plain(stored.size());
    if (!made || !CbcCrypt(false, BCRYPT_AES_ALGORITHM, key.key.data(), key.key.size(), key.iv, kAesBlock,
                           stored.data(), stored.size(), plain.bytes.data()))
        return std::nullopt;
    // Every added byte holds the number of added bytes less one; one to sixteen were added.
    const BYTE last = plain.bytes.back();
    const size_t added = size_t(last) + 1;
    if (added > kAesBlock || added > stored.size()) return std::nullopt;
    for (size_t i = stored.size() - added; i < stored.size(); ++i)
        if (plain.bytes[i] != last) return std::nullopt;
    return std::vector<BYTE>(plain.bytes.begin(), plain.bytes.end() - static_cast<std::ptrdiff_t>(added));
}

// DES: the text padded with '+' to 64 characters, then NUL bytes; the first 72
// bytes (nine blocks) are enciphered in CBC mode under the table entry's first
// eight bytes with the next eight as the initialisation vector.  Byte 64 (the
// first of the NUL padding) carries the text's length, so that a password
// ending in '+' deciphers whole; a stored form whose byte 64 is 0 is taken as
// the bare padding, and its trailing '+' characters are dropped.
size_t PasswordCipher::EncipherDes(std::string_view text, BYTE* out, size_t cap) const {
    if (!out || cap < kDesCipherSize || text.size() > kDesTextChars) return 0;
    Scratch plain(kDesPaddedSize);
    std::memset(plain.bytes.data(), '+', kDesTextChars);
    std::memcpy(plain.bytes.data(), text.data(), text.size());
    plain.bytes[kDesTextChars] = static_cast<BYTE>(text.size());
    std::array<BYTE, kKeyMaterialSize> material = ReorderedKey(LookupKey(settings_.keyId, settings_.modelId));
    Scratch cipher(kDesCipherSize);
    const bool ok = CbcCrypt(true, BCRYPT_DES_ALGORITHM, material.data(), 8, material.data() + 8, 8,
                             plain.bytes.data(), kDesCipherSize, cipher.bytes.data());
    SecureZeroMemory(material.data(), material.size());
    if (!ok) return 0;
    return PutResult(cipher.bytes.data(), kDesCipherSize, out, cap, true);
}

std::optional<std::string> PasswordCipher::DecipherDes(std::span<const BYTE> stored) const {
    if (stored.size() != kDesCipherSize) return std::nullopt;
    std::array<BYTE, kKeyMaterialSize> material = ReorderedKey(LookupKey(settings_.keyId, settings_.modelId));
    Scratch plain(kDesCipherSize);
    const bool ok = CbcCrypt(false, BCRYPT_DES_ALGORITHM, material.data(), 8, material.data() + 8, 8,
                             stored.data(), kDesCipherSize, plain.bytes.data());
    SecureZeroMemory(material.data(), material.size());
    if (!ok) return std::nullopt;
    for (size_t i = kDesTextChars + 1; i < kDesCipherSize; ++i)
        if (plain.bytes[i] != 0) return std::nullopt;
    size_t length = plain.bytes[kDesTextChars];
    if (length > kDesTextChars) return std::nullopt;
    if (length == 0) {
        length = kDesTextChars;
        while (length > 0 && plain.bytes[length - 1] == '+') --length;
    }
    for (size_t i = length; i < kDesTextChars; ++i)
        if (plain.bytes[i] != '+') return std::nullopt;
    for (size_t i = 0; i < length; ++i)
        if (plain.bytes[i] == 0) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(plain.bytes.data()), length);
}

size_t PasswordCipher::EncipherText(std::string_view text, BYTE* out, size_t cap) const {
    text = UpToNul(text);
    switch (settings_.mode) {
        case CipherMode::None:
            if (!out || text.size() > cap) return 0;
            return PutResult(reinterpret_cast<const BYTE*>(text.data()), text.size(), out, cap, true);
        case CipherMode::Des: return EncipherDes(text, out, cap);
        case CipherMode::Aes: return EncipherAes(text, settings_.keyId, settings_.modelId, out, cap, true);
    }
    return 0;
}

namespace {
std::optional<std::string> AsText(std::optional<std::vector<BYTE>> bytes) {
    if (!bytes) return std::nullopt;
    std::string text(bytes->begin(), bytes->end());
    SecureZeroMemory(bytes->data(), bytes->size());
    if (text.find('\0') != std::string::npos) return std::nullopt;  // no stored text holds a NUL
    return text;
}
}  // namespace

std::optional<std::string> PasswordCipher::DecipherText(std::span<const BYTE> stored) const {
    switch (settings_.mode) {
        case CipherMode::None: {
            std::string text(stored.begin(), stored.end());
            return std::string(UpToNul(text));
        }
        case CipherMode::Des: return DecipherDes(stored);
        case CipherMode::Aes: return AsText(DecipherAes(stored, settings_.keyId, settings_.modelId));
    }
    return std::nullopt;
}

size_t PasswordCipher::EncipherText2(std::string_view text, BYTE* out, size_t cap) const {
    if (settings_.mode == CipherMode::Des) return EncipherAes(UpToNul(text), 1, 0, out, cap, true);
    return EncipherText(text, out, cap);
}

std::optional<std::string> PasswordCipher::DecipherText2(std::span<const BYTE> stored) const {
    if (settings_.mode == CipherMode::Des) return AsText(DecipherAes(stored, 1, 0));
    return DecipherText(stored);
}

bool PasswordCipher::Encipher(std::span<const BYTE> plain, std::vector<BYTE>* out) const {
    if (!out) return false;
    if (settings_.mode != CipherMode::Aes) {
        out->assign(plain.begin(), plain.end());
        return true;
    }
    std::vector<BYTE> stored(AesPaddedLength(plain.size()));
    const std::string_view bytes(reinterpret_cast<const char*>(plain.data()), plain.size());
    if (EncipherAes(bytes, settings_.keyId, settings_.modelId, stored.data(), stored.size(), false) != stored.size())
        return false;
    *out = std::move(stored);
    return true;
}

bool PasswordCipher::Decipher(std::span<const BYTE> stored, std::vector<BYTE>* out) const {
    if (!out) return false;
    if (settings_.mode != CipherMode::Aes) {
        out->assign(stored.begin(), stored.end());
        return true;
    }
    std::optional<std::vector<BYTE>> plain = DecipherAes(stored, settings_.keyId, settings_.modelId);
    if (!plain) return false;
    *out = std::move(*plain);
    return true;
}

}  // namespace nvx::device
