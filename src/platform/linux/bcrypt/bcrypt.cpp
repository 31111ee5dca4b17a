// The CNG subset over OpenSSL's libcrypto.
//
// Every handle is a heap object registered in one live set, so that a closed or
// made-up handle is refused with STATUS_INVALID_HANDLE instead of being followed.
// The algorithms are fetched from a library context of our own holding OpenSSL's
// default and legacy providers (DES lives only in the legacy one), so that the
// process's default context is left as the rest of the process expects it.
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/win32.h"

namespace {

enum class Kind { Algorithm, Key, Hash };
enum class Alg { Aes, Des, Sha256 };
enum class Chain { Cbc, Ecb };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
};

struct AlgObject final : Object {
    AlgObject(Alg a) : Object(Kind::Algorithm), alg(a) {}
    Alg alg;
    Chain chain = Chain::Cbc;
};

struct KeyObject final : Object {
    KeyObject(Alg a, Chain c) : Object(Kind::Key), alg(a), chain(c) {}
    ~KeyObject() override { OPENSSL_cleanse(secret.data(), secret.size()); }
    Alg alg;
    Chain chain;
    std::vector<unsigned char> secret;
};

struct HashObject final : Object {
    HashObject() : Object(Kind::Hash) {}
    ~HashObject() override { EVP_MD_CTX_free(ctx); }
    EVP_MD_CTX* ctx = nullptr;
};

std::mutex& LiveLock() {
    static std::mutex m;
    return m;
}
std::unordered_set<const Object*>& Live() {
    static std::unordered_set<const Object*> s;
    return s;
}

void Register(Object* o) {
    std::lock_guard<std::mutex> lock(LiveLock());
    Live().insert(o);
}

template <class T>
T* Find(void* h, Kind kind) {
    std::lock_guard<std::mutex> lock(LiveLock());
    auto* o = static_cast<Object*>(h);
    if (!h || !Live().count(o) || o->kind != kind) return nullptr;
    return static_cast<T*>(o);
}

bool Unregister(void* h, Kind kind) {
    std::lock_guard<std::mutex> lock(LiveLock());
    auto* o = static_cast<Object*>(h);
    if (!h || !Live().count(o) || o->kind != kind) return false;
    Live().erase(o);
    return true;
}

// The library context with the default and legacy providers; null when the
// providers cannot be loaded (DES and the rest then fail to open).
OSSL_LIB_CTX* Context(bool needLegacy) {
    struct Holder {
        OSSL_LIB_CTX* ctx = nullptr;
        bool legacy = false;
        Holder() {
            ctx = OSSL_LIB_CTX_new();
            if (!ctx) return;
            if (!OSSL_PROVIDER_load(ctx, "default")) {
                OSSL_LIB_CTX_free(ctx);
                ctx = nullptr;
                return;
            }
            legacy = OSSL_PROVIDER_load(ctx, "legacy") != nullptr;
        }
    };
    static Holder holder;
    if (needLegacy && !holder.legacy) return nullptr;
    return holder.ctx;
}

bool SameName(LPCWSTR a, const char16_t* b) {
    if (!a) return false;
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

// A name given as a property value: the bytes hold a UTF-16 string, with or
// without its terminator.
bool SameValue(PUCHAR bytes, ULONG cb, const char16_t* name) {
    if (!bytes) return false;
    size_t n = std::char_traits<char16_t>::length(name);
    if (cb != n * 2 && cb != (n + 1) * 2) return false;
    for (size_t i = 0; i < n; ++i) {
        char16_t c = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (c != name[i]) return false;
    }
    return cb == n * 2 || (bytes[2 * n] == 0 && bytes[2 * n + 1] == 0);
}

ULONG BlockLength(Alg a) { return a == Alg::Aes ? 16 : 8; }

const char* CipherName(Alg a, Chain c, size_t keyLength) {
    if (a == Alg::Des) return c == Chain::Cbc ? "DES-CBC" : "DES-ECB";
    switch (keyLength) {
        case 16: return c == Chain::Cbc ? "AES-128-CBC" : "AES-128-ECB";
        case 24: return c == Chain::Cbc ? "AES-192-CBC" : "AES-192-ECB";
        default: return c == Chain::Cbc ? "AES-256-CBC" : "AES-256-ECB";
    }
}

bool PutUlong(ULONG value, PUCHAR out, ULONG cbOutput, ULONG* pcbResult) {
    if (pcbResult) *pcbResult = sizeof(ULONG);
    if (!out) return true;
    if (cbOutput < sizeof(ULONG)) return false;
    std::memcpy(out, &value, sizeof value);
    return true;
}

NTSTATUS Crypt(bool encrypt, BCRYPT_KEY_HANDLE hKey, PUCHAR pbInput, ULONG cbInput, void* pPaddingInfo, PUCHAR pbIV,
               ULONG cbIV, PUCHAR pbOutput, ULONG cbOutput, ULONG* pcbResult, ULONG dwFlags) {
    auto* key = Find<KeyObject>(hKey, Kind::Key);
    if (!key) return STATUS_INVALID_HANDLE;
    if (pPaddingInfo || !pcbResult || (dwFlags & ~ULONG{BCRYPT_BLOCK_PADDING}) || (cbInput && !pbInput))
        return STATUS_INVALID_PARAMETER;
    const ULONG block = BlockLength(key->alg);
    const bool pad = (dwFlags & BCRYPT_BLOCK_PADDING) != 0;
    if (key->chain == Chain::Cbc && pbIV && cbIV != block) return STATUS_INVALID_PARAMETER;
    if (!pad && cbInput % block) return STATUS_INVALID_BUFFER_SIZE;
    if (!encrypt && cbInput % block) return STATUS_INVALID_BUFFER_SIZE;

    const ULONG needed = encrypt && pad ? (cbInput / block + 1) * block : cbInput;
    if (!pbOutput) {
        *pcbResult = needed;
        return STATUS_SUCCESS;
    }
    // Decrypting with padding writes at most the input less one byte, but the
    // caller's buffer must hold the whole input while it is worked on.
    if (cbOutput < needed) return STATUS_BUFFER_TOO_SMALL;

    OSSL_LIB_CTX* ctx = Context(key->alg == Alg::Des);
    if (!ctx) return STATUS_NOT_SUPPORTED;
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(ctx, CipherName(key->alg, key->chain, key->secret.size()), nullptr);
    if (!cipher) return STATUS_NOT_SUPPORTED;
    EVP_CIPHER_CTX* c = EVP_CIPHER_CTX_new();
    std::vector<unsigned char> out(static_cast<size_t>(needed) + block);
    unsigned char lastInput[16] = {};
    if (cbInput >= block) std::memcpy(lastInput, pbInput + cbInput - block, block);
    int produced = 0;
    int last = 0;
    unsigned char zeroIv[16] = {};
    const unsigned char* iv = key->chain == Chain::Cbc ? (pbIV ? pbIV : zeroIv) : nullptr;
    bool ok = c && EVP_CipherInit_ex2(c, cipher, key->secret.data(), iv, encrypt ? 1 : 0, nullptr) == 1 &&
              EVP_CIPHER_CTX_set_padding(c, pad ? 1 : 0) == 1 &&
              EVP_CipherUpdate(c, out.data(), &produced, pbInput, static_cast<int>(cbInput)) == 1 &&
              EVP_CipherFinal_ex(c, out.data() + produced, &last) == 1;
    EVP_CIPHER_CTX_free(c);
    EVP_CIPHER_free(cipher);
    if (!ok) {
        OPENSSL_cleanse(out.data(), out.size());
        return encrypt ? STATUS_INVALID_PARAMETER : STATUS_DATA_ERROR;
    }
    const ULONG total = static_cast<ULONG>(produced + last);
    std::memcpy(pbOutput, out.data(), total);
    // CBC hands back the chaining value for the next call in the IV buffer.
    if (key->chain == Chain::Cbc && pbIV && cbInput >= block) {
        const unsigned char* lastBlock = encrypt ? out.data() + total - block : lastInput;
        std::memmove(pbIV, lastBlock, block);
    }
    OPENSSL_cleanse(out.data(), out.size());
    *pcbResult = total;
    return STATUS_SUCCESS;
}

}  // namespace

NVX_BEGIN_DECLS

NVXAPI NTSTATUS WINAPI BCryptOpenAlgorithmProvider(BCRYPT_ALG_HANDLE* phAlgorithm, LPCWSTR pszAlgId,
                                                   LPCWSTR pszImplementation, ULONG dwFlags) {
    if (!phAlgorithm || !pszAlgId) return STATUS_INVALID_PARAMETER;
    *phAlgorithm = nullptr;
    if (pszImplementation || dwFlags) return STATUS_NOT_SUPPORTED;
    Alg alg;
    if (SameName(pszAlgId, u"AES")) alg = Alg::Aes;
    else if (SameName(pszAlgId, u"DES")) alg = Alg::Des;
    else if (SameName(pszAlgId, u"SHA256")) alg = Alg::Sha256;
    else return STATUS_NOT_FOUND;
    if (!Context(alg == Alg::Des)) return STATUS_NOT_FOUND;
    auto* o = new AlgObject(alg);
    Register(o);
    *phAlgorithm = o;
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptCloseAlgorithmProvider(BCRYPT_ALG_HANDLE hAlgorithm, ULONG) {
    if (!Unregister(hAlgorithm, Kind::Algorithm)) return STATUS_INVALID_HANDLE;
    delete static_cast<AlgObject*>(hAlgorithm);
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptGetProperty(BCRYPT_HANDLE hObject, LPCWSTR pszProperty, PUCHAR pbOutput,
                                         ULONG cbOutput, ULONG* pcbResult, ULONG) {
    if (!pszProperty || !pcbResult) return STATUS_INVALID_PARAMETER;
    Alg alg;
    Chain chain;
    if (auto* a = Find<AlgObject>(hObject, Kind::Algorithm)) {
        alg = a->alg;
        chain = a->chain;
    } else if (auto* k = Find<KeyObject>(hObject, Kind::Key)) {
        alg = k->alg;
        chain = k->chain;
    } else {
        return STATUS_INVALID_HANDLE;
    }
    const bool symmetric = alg != Alg::Sha256;
    if (SameName(pszProperty, u"ObjectLength"))
        return PutUlong(symmetric ? 64 : 32, pbOutput, cbOutput, pcbResult) ? STATUS_SUCCESS : STATUS_BUFFER_TOO_SMALL;
    if (SameName(pszProperty, u"HashDigestLength")) {
        if (symmetric) return STATUS_NOT_SUPPORTED;
        return PutUlong(32, pbOutput, cbOutput, pcbResult) ? STATUS_SUCCESS : STATUS_BUFFER_TOO_SMALL;
    }
    if (SameName(pszProperty, u"BlockLength")) {
        return PutUlong(symmetric ? BlockLength(alg) : 64, pbOutput, cbOutput, pcbResult) ? STATUS_SUCCESS
                                                                                          : STATUS_BUFFER_TOO_SMALL;
    }
    if (SameName(pszProperty, u"ChainingMode")) {
        if (!symmetric) return STATUS_NOT_SUPPORTED;
        const char16_t* name = chain == Chain::Cbc ? u"ChainingModeCBC" : u"ChainingModeECB";
        const ULONG bytes = static_cast<ULONG>((std::char_traits<char16_t>::length(name) + 1) * 2);
        *pcbResult = bytes;
        if (!pbOutput) return STATUS_SUCCESS;
        if (cbOutput < bytes) return STATUS_BUFFER_TOO_SMALL;
        for (ULONG i = 0; i * 2 < bytes; ++i) {
            pbOutput[2 * i] = static_cast<UCHAR>(name[i] & 0xFF);
            pbOutput[2 * i + 1] = static_cast<UCHAR>(name[i] >> 8);
        }
        return STATUS_SUCCESS;
    }
    return STATUS_NOT_SUPPORTED;
}

NVXAPI NTSTATUS WINAPI BCryptSetProperty(BCRYPT_HANDLE hObject, LPCWSTR pszProperty, PUCHAR pbInput, ULONG cbInput,
                                         ULONG) {
    if (!pszProperty) return STATUS_INVALID_PARAMETER;
    Chain* chain = nullptr;
    Alg alg;
    if (auto* a = Find<AlgObject>(hObject, Kind::Algorithm)) {
        chain = &a->chain;
        alg = a->alg;
    } else if (auto* k = Find<KeyObject>(hObject, Kind::Key)) {
        chain = &k->chain;
        alg = k->alg;
    } else {
        return STATUS_INVALID_HANDLE;
    }
    if (!SameName(pszProperty, u"ChainingMode") || alg == Alg::Sha256) return STATUS_NOT_SUPPORTED;
    if (SameValue(pbInput, cbInput, u"ChainingModeCBC")) *chain = Chain::Cbc;
    else if (SameValue(pbInput, cbInput, u"ChainingModeECB")) *chain = Chain::Ecb;
    else return STATUS_NOT_SUPPORTED;
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptGenerateSymmetricKey(BCRYPT_ALG_HANDLE hAlgorithm, BCRYPT_KEY_HANDLE* phKey, PUCHAR,
                                                  ULONG, PUCHAR pbSecret, ULONG cbSecret, ULONG dwFlags) {
    auto* a = Find<AlgObject>(hAlgorithm, Kind::Algorithm);
    if (!a) return STATUS_INVALID_HANDLE;
    if (!phKey || !pbSecret || dwFlags) return STATUS_INVALID_PARAMETER;
    *phKey = nullptr;
    if (a->alg == Alg::Sha256) return STATUS_INVALID_PARAMETER;
    const bool sizeOk = a->alg == Alg::Des ? cbSecret == 8 : (cbSecret == 16 || cbSecret == 24 || cbSecret == 32);
    if (!sizeOk) return STATUS_INVALID_PARAMETER;
    auto* k = new KeyObject(a->alg, a->chain);
    k->secret.assign(pbSecret, pbSecret + cbSecret);
    Register(k);
    *phKey = k;
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptDestroyKey(BCRYPT_KEY_HANDLE hKey) {
    if (!Unregister(hKey, Kind::Key)) return STATUS_INVALID_HANDLE;
    delete static_cast<KeyObject*>(hKey);
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptEncrypt(BCRYPT_KEY_HANDLE hKey, PUCHAR pbInput, ULONG cbInput, void* pPaddingInfo,
                                     PUCHAR pbIV, ULONG cbIV, PUCHAR pbOutput, ULONG cbOutput, ULONG* pcbResult,
                                     ULONG dwFlags) {
    return Crypt(true, hKey, pbInput, cbInput, pPaddingInfo, pbIV, cbIV, pbOutput, cbOutput, pcbResult, dwFlags);
}

NVXAPI NTSTATUS WINAPI BCryptDecrypt(BCRYPT_KEY_HANDLE hKey, PUCHAR pbInput, ULONG cbInput, void* pPaddingInfo,
                                     PUCHAR pbIV, ULONG cbIV, PUCHAR pbOutput, ULONG cbOutput, ULONG* pcbResult,
                                     ULONG dwFlags) {
    return Crypt(false, hKey, pbInput, cbInput, pPaddingInfo, pbIV, cbIV, pbOutput, cbOutput, pcbResult, dwFlags);
}

NVXAPI NTSTATUS WINAPI BCryptCreateHash(BCRYPT_ALG_HANDLE hAlgorithm, BCRYPT_HASH_HANDLE* phHash, PUCHAR, ULONG,
                                        PUCHAR pbSecret, ULONG cbSecret, ULONG dwFlags) {
    auto* a = Find<AlgObject>(hAlgorithm, Kind::Algorithm);
    if (!a) return STATUS_INVALID_HANDLE;
    if (!phHash || dwFlags) return STATUS_INVALID_PARAMETER;
    *phHash = nullptr;
    if (a->alg != Alg::Sha256) return STATUS_INVALID_PARAMETER;
    if (pbSecret || cbSecret) return STATUS_NOT_SUPPORTED;  // no keyed hashes here
    EVP_MD* md = EVP_MD_fetch(Context(false), "SHA256", nullptr);
    if (!md) return STATUS_NOT_SUPPORTED;
    auto* h = new HashObject;
    h->ctx = EVP_MD_CTX_new();
    const bool ok = h->ctx && EVP_DigestInit_ex2(h->ctx, md, nullptr) == 1;
    EVP_MD_free(md);
    if (!ok) {
        delete h;
        return STATUS_NO_MEMORY;
    }
    Register(h);
    *phHash = h;
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptHashData(BCRYPT_HASH_HANDLE hHash, PUCHAR pbInput, ULONG cbInput, ULONG dwFlags) {
    auto* h = Find<HashObject>(hHash, Kind::Hash);
    if (!h) return STATUS_INVALID_HANDLE;
    if (dwFlags || (cbInput && !pbInput)) return STATUS_INVALID_PARAMETER;
    return EVP_DigestUpdate(h->ctx, pbInput, cbInput) == 1 ? STATUS_SUCCESS : STATUS_INVALID_PARAMETER;
}

NVXAPI NTSTATUS WINAPI BCryptFinishHash(BCRYPT_HASH_HANDLE hHash, PUCHAR pbOutput, ULONG cbOutput, ULONG dwFlags) {
    auto* h = Find<HashObject>(hHash, Kind::Hash);
    if (!h) return STATUS_INVALID_HANDLE;
    if (dwFlags || !pbOutput || cbOutput != 32) return STATUS_INVALID_PARAMETER;
    unsigned int n = 0;
    if (EVP_DigestFinal_ex(h->ctx, pbOutput, &n) != 1 || n != 32) return STATUS_INVALID_PARAMETER;
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptDestroyHash(BCRYPT_HASH_HANDLE hHash) {
    if (!Unregister(hHash, Kind::Hash)) return STATUS_INVALID_HANDLE;
    delete static_cast<HashObject*>(hHash);
    return STATUS_SUCCESS;
}

NVXAPI NTSTATUS WINAPI BCryptGenRandom(BCRYPT_ALG_HANDLE hAlgorithm, PUCHAR pbBuffer, ULONG cbBuffer, ULONG dwFlags) {
    if (hAlgorithm || dwFlags != BCRYPT_USE_SYSTEM_PREFERRED_RNG) return STATUS_INVALID_PARAMETER;
    if (cbBuffer && !pbBuffer) return STATUS_INVALID_PARAMETER;
    if (cbBuffer && RAND_bytes(pbBuffer, static_cast<int>(std::min<ULONG>(cbBuffer, 0x7FFFFFFF))) != 1)
        return STATUS_DATA_ERROR;
    return STATUS_SUCCESS;
}

NVXAPI HRESULT WINAPI CoCreateGuid(GUID* pguid) {
    if (!pguid) return E_INVALIDARG;
    unsigned char b[16];
    if (RAND_bytes(b, sizeof b) != 1) return E_FAIL;
    b[7] = static_cast<unsigned char>((b[7] & 0x0F) | 0x40);  // version 4 (Data3's high nibble)
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // the RFC 4122 variant
    std::memcpy(&pguid->Data1, b, 4);
    std::memcpy(&pguid->Data2, b + 4, 2);
    std::memcpy(&pguid->Data3, b + 6, 2);
    std::memcpy(pguid->Data4, b + 8, 8);
    return S_OK;
}

NVX_END_DECLS
