// The CNG subset: AES-256 and DES in CBC and ECB, SHA-256, random bytes, GUIDs.
// The vectors are the published ones (NIST SP 800-38A for AES, FIPS 81 for DES,
// FIPS 180-2 for SHA-256), so a wrong key schedule, chaining or byte order fails.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

#ifndef STATUS_SUCCESS
#define STATUS_SUCCESS ((NTSTATUS)0x00000000L)
#endif
#ifndef STATUS_BUFFER_TOO_SMALL
#define STATUS_BUFFER_TOO_SMALL ((NTSTATUS)0xC0000023L)
#endif
#ifndef STATUS_INVALID_BUFFER_SIZE
#define STATUS_INVALID_BUFFER_SIZE ((NTSTATUS)0xC0000206L)
#endif

namespace {

std::vector<UCHAR> Hex(const std::string& hex) {
    std::vector<UCHAR> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<UCHAR>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const UCHAR* p, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

struct Alg {
    BCRYPT_ALG_HANDLE h = nullptr;
    explicit Alg(LPCWSTR name) { EXPECT_EQ(BCryptOpenAlgorithmProvider(&h, name, nullptr, 0), STATUS_SUCCESS); }
    ~Alg() {
        if (h) BCryptCloseAlgorithmProvider(h, 0);
    }
    void Chain(LPCWSTR mode) {
        ULONG bytes = 0;
        while (mode[bytes / 2]) bytes += 2;
        ASSERT_EQ(BCryptSetProperty(h, BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(const_cast<WCHAR*>(mode)), bytes + 2, 0),
                  STATUS_SUCCESS);
    }
};

struct Key {
    BCRYPT_KEY_HANDLE h = nullptr;
    Key(BCRYPT_ALG_HANDLE alg, std::vector<UCHAR> secret) {
        EXPECT_EQ(BCryptGenerateSymmetricKey(alg, &h, nullptr, 0, secret.data(), static_cast<ULONG>(secret.size()), 0),
                  STATUS_SUCCESS);
    }
    ~Key() {
        if (h) BCryptDestroyKey(h);
    }
};

std::string Crypt(bool encrypt, BCRYPT_KEY_HANDLE key, std::vector<UCHAR> in, std::vector<UCHAR> iv, ULONG flags = 0) {
    std::vector<UCHAR> out(in.size() + 32);
    ULONG n = 0;
    NTSTATUS s = encrypt ? BCryptEncrypt(key, in.data(), static_cast<ULONG>(in.size()), nullptr, iv.empty() ? nullptr : iv.data(),
                                         static_cast<ULONG>(iv.size()), out.data(), static_cast<ULONG>(out.size()), &n, flags)
                         : BCryptDecrypt(key, in.data(), static_cast<ULONG>(in.size()), nullptr, iv.empty() ? nullptr : iv.data(),
                                         static_cast<ULONG>(iv.size()), out.data(), static_cast<ULONG>(out.size()), &n, flags);
    if (s != STATUS_SUCCESS) return "status " + std::to_string(static_cast<unsigned long>(static_cast<ULONG>(s)));
    return ToHex(out.data(), n);
}

const char* kAesKey = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const char* kAesIv = "000102030405060708090a0b0c0d0e0f";
const char* kAesPlain = "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51";

TEST(BCryptAes, Cbc256MatchesSp800_38aBothWays) {
    Alg aes(BCRYPT_AES_ALGORITHM);
    aes.Chain(BCRYPT_CHAIN_MODE_CBC);
    Key key(aes.h, Hex(kAesKey));
    const std::string cipher = "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d";
    EXPECT_EQ(Crypt(true, key.h, Hex(kAesPlain), Hex(kAesIv)), cipher);
    EXPECT_EQ(Crypt(false, key.h, Hex(cipher), Hex(kAesIv)), kAesPlain);
}

TEST(BCryptAes, CbcHandsBackTheChainingValueInTheIv) {
    Alg aes(BCRYPT_AES_ALGORITHM);
    Key key(aes.h, Hex(kAesKey));  // CBC is the default chaining
    std::vector<UCHAR> iv = Hex(kAesIv);
    std::vector<UCHAR> plain = Hex(kAesPlain);
    UCHAR out[16];
    ULONG n = 0;
    ASSERT_EQ(BCryptEncrypt(key.h, plain.data(), 16, nullptr, iv.data(), 16, out, 16, &n, 0), STATUS_SUCCESS);
    ASSERT_EQ(BCryptEncrypt(key.h, plain.data() + 16, 16, nullptr, iv.data(), 16, out, 16, &n, 0), STATUS_SUCCESS);
    EXPECT_EQ(ToHex(out, 16), "9cfc4e967edb808d679f777bc6702c7d");  // the second block of one message
}

TEST(BCryptAes, Ecb256MatchesSp800_38a) {
    Alg aes(BCRYPT_AES_ALGORITHM);
    aes.Chain(BCRYPT_CHAIN_MODE_ECB);
    Key key(aes.h, Hex(kAesKey));
    EXPECT_EQ(Crypt(true, key.h, Hex("6bc1bee22e409f96e93d7e117393172a"), {}), "f3eed1bdb5d2a03c064b5a7e3db181f8");
}

TEST(BCryptAes, SizesPaddingAndRefusals) {
    Alg aes(BCRYPT_AES_ALGORITHM);
    Key key(aes.h, Hex(kAesKey));
    std::vector<UCHAR> iv = Hex(kAesIv);
    UCHAR in[17] = {};
    UCHAR out[64];
    ULONG n = 0;
    // Without padding the input must be whole blocks.
    EXPECT_EQ(BCryptEncrypt(key.h, in, 17, nullptr, iv.data(), 16, out, 64, &n, 0), STATUS_INVALID_BUFFER_SIZE);
    // A null output asks for the size; padding always adds a block's worth at most.
    EXPECT_EQ(BCryptEncrypt(key.h, in, 16, nullptr, iv.data(), 16, nullptr, 0, &n, BCRYPT_BLOCK_PADDING), STATUS_SUCCESS);
    EXPECT_EQ(n, 32u);
    EXPECT_EQ(BCryptEncrypt(key.h, in, 16, nullptr, iv.data(), 16, out, 31, &n, BCRYPT_BLOCK_PADDING), STATUS_BUFFER_TOO_SMALL);
    // Padded round trip of an odd length.
    std::string padded = Crypt(true, key.h, std::vector<UCHAR>(in, in + 17), Hex(kAesIv), BCRYPT_BLOCK_PADDING);
    ASSERT_EQ(padded.size(), 64u);
    EXPECT_EQ(Crypt(false, key.h, Hex(padded), Hex(kAesIv), BCRYPT_BLOCK_PADDING), std::string(34, '0'));
    // Keys of other sizes than 16, 24 and 32 bytes are refused.
    BCRYPT_KEY_HANDLE bad = nullptr;
    UCHAR secret[20] = {};
    EXPECT_NE(BCryptGenerateSymmetricKey(aes.h, &bad, nullptr, 0, secret, 20, 0), STATUS_SUCCESS);
    // Block length answers 16.
    ULONG block = 0;
    ASSERT_EQ(BCryptGetProperty(aes.h, BCRYPT_BLOCK_LENGTH, reinterpret_cast<PUCHAR>(&block), sizeof block, &n, 0), STATUS_SUCCESS);
    EXPECT_EQ(block, 16u);
}

TEST(BCryptDes, CbcAndEcbMatchFips81) {
    Alg des(BCRYPT_DES_ALGORITHM);
    {
        Key key(des.h, Hex("0123456789abcdef"));
        const std::string plain = ToHex(reinterpret_cast<const UCHAR*>("Now is the time for all "), 24);
        const std::string cipher = "e5c7cdde872bf27c43e934008c389c0f683788499a7c05f6";
        EXPECT_EQ(Crypt(true, key.h, Hex(plain), Hex("1234567890abcdef")), cipher);
        EXPECT_EQ(Crypt(false, key.h, Hex(cipher), Hex("1234567890abcdef")), plain);
    }
    des.Chain(BCRYPT_CHAIN_MODE_ECB);
    Key key(des.h, Hex("0123456789abcdef"));
    EXPECT_EQ(Crypt(true, key.h, Hex("4e6f772069732074"), {}), "3fa40e8a984d4815");
    BCRYPT_KEY_HANDLE bad = nullptr;
    UCHAR secret[16] = {};
    EXPECT_NE(BCryptGenerateSymmetricKey(des.h, &bad, nullptr, 0, secret, 16, 0), STATUS_SUCCESS);
}

std::string Sha256(const std::vector<std::string>& parts) {
    Alg sha(BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE h = nullptr;
    if (BCryptCreateHash(sha.h, &h, nullptr, 0, nullptr, 0, 0) != STATUS_SUCCESS) return "create failed";
    for (const std::string& p : parts)
        BCryptHashData(h, reinterpret_cast<PUCHAR>(const_cast<char*>(p.data())), static_cast<ULONG>(p.size()), 0);
    UCHAR digest[32];
    NTSTATUS s = BCryptFinishHash(h, digest, 32, 0);
    BCryptDestroyHash(h);
    return s == STATUS_SUCCESS ? ToHex(digest, 32) : "finish failed";
}

TEST(BCryptSha256, MatchesFips180Vectors) {
    EXPECT_EQ(Sha256({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256({"abc"}), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Fed in pieces: the same digest as in one piece.
    EXPECT_EQ(Sha256({"abcdbcdecdefdefgefgh", "fghighijhijkijkljklmklmnlmnomnopnopq"}),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    Alg sha(BCRYPT_SHA256_ALGORITHM);
    ULONG length = 0, n = 0;
    ASSERT_EQ(BCryptGetProperty(sha.h, BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length), sizeof length, &n, 0), STATUS_SUCCESS);
    EXPECT_EQ(length, 32u);
    BCRYPT_HASH_HANDLE h = nullptr;
    ASSERT_EQ(BCryptCreateHash(sha.h, &h, nullptr, 0, nullptr, 0, 0), STATUS_SUCCESS);
    UCHAR digest[31];
    EXPECT_NE(BCryptFinishHash(h, digest, 31, 0), STATUS_SUCCESS);  // not the digest length
    EXPECT_EQ(BCryptDestroyHash(h), STATUS_SUCCESS);
}

TEST(BCryptHandles, ClosedAndWrongKindsAreRefused) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    ASSERT_EQ(BCryptOpenAlgorithmProvider(&alg, BCRYPT_AES_ALGORITHM, nullptr, 0), STATUS_SUCCESS);
    UCHAR secret[32] = {};
    BCRYPT_KEY_HANDLE key = nullptr;
    ASSERT_EQ(BCryptGenerateSymmetricKey(alg, &key, nullptr, 0, secret, 32, 0), STATUS_SUCCESS);
    EXPECT_NE(BCryptDestroyKey(alg), STATUS_SUCCESS);  // an algorithm is not a key
    EXPECT_EQ(BCryptDestroyKey(key), STATUS_SUCCESS);
    EXPECT_EQ(BCryptCloseAlgorithmProvider(alg, 0), STATUS_SUCCESS);
    BCRYPT_ALG_HANDLE unknown = nullptr;
    EXPECT_NE(BCryptOpenAlgorithmProvider(&unknown, WL("RC4X"), nullptr, 0), STATUS_SUCCESS);
    EXPECT_EQ(unknown, nullptr);
}

#ifndef _WIN32
TEST(BCryptHandles, ClosedHandlesAreNotFollowed) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    ASSERT_EQ(BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0), STATUS_SUCCESS);
    ASSERT_EQ(BCryptCloseAlgorithmProvider(alg, 0), STATUS_SUCCESS);
    EXPECT_EQ(BCryptCloseAlgorithmProvider(alg, 0), STATUS_INVALID_HANDLE);
    BCRYPT_HASH_HANDLE h = nullptr;
    EXPECT_EQ(BCryptCreateHash(alg, &h, nullptr, 0, nullptr, 0, 0), STATUS_INVALID_HANDLE);
}
#endif

TEST(BCryptRandom, SystemGeneratorFillsAndGuidsAreVersion4) {
    UCHAR a[32] = {}, b[32] = {};
    ASSERT_EQ(BCryptGenRandom(nullptr, a, 32, BCRYPT_USE_SYSTEM_PREFERRED_RNG), STATUS_SUCCESS);
    ASSERT_EQ(BCryptGenRandom(nullptr, b, 32, BCRYPT_USE_SYSTEM_PREFERRED_RNG), STATUS_SUCCESS);
    EXPECT_NE(std::memcmp(a, b, 32), 0);
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        GUID g{};
        ASSERT_EQ(CoCreateGuid(&g), S_OK);
        EXPECT_EQ(g.Data3 >> 12, 4);
        EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
        seen.insert(ToHex(reinterpret_cast<const UCHAR*>(&g), sizeof g));
    }
    EXPECT_EQ(seen.size(), 50u);
}

TEST(SecureZero, WipesTheBuffer) {
    char secret[16] = "hunter2-hunter2";
    SecureZeroMemory(secret, sizeof secret);
    for (char c : secret) EXPECT_EQ(c, 0);
}

}  // namespace
