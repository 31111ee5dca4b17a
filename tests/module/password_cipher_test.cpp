// The printer password cipher.  Every expected enciphered form is computed by the
// openssl command (digests and block ciphers) on Linux and by the system's CNG
// primitives on Windows, never by the code under test; the test only lays out the
// padded text and the key material as the format fixes them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/password_cipher.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::device;
using Bytes = std::vector<BYTE>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

#ifdef _WIN32
// The reference on Windows: the system's SHA-256, AES and DES (platform_security_tests
// check them against published vectors), called directly.
class Openssl {
public:
    Bytes Sha256(const Bytes& input) {
        Bytes out(32);
        BCRYPT_ALG_HANDLE alg = nullptr;
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            ADD_FAILURE() << "no SHA-256 provider";
            return {};
        }
        EXPECT_TRUE(BCRYPT_SUCCESS(BCryptHash(alg, nullptr, 0, const_cast<PUCHAR>(input.data()),
                                              static_cast<ULONG>(input.size()), out.data(), 32)));
        BCryptCloseAlgorithmProvider(alg, 0);
        return out;
    }
    Bytes Aes(const Bytes& material, const Bytes& padded, bool decrypt = false) {
        Bytes key = Sha256(Bytes(material.begin(), material.begin() + 10));
        Bytes iv = Sha256(Bytes(material.begin() + 10, material.end()));
        iv.resize(16);
        return Cbc(BCRYPT_AES_ALGORITHM, key, iv, padded, decrypt);
    }
    Bytes Des(const Bytes& material, const Bytes& padded, bool decrypt = false) {
        return Cbc(BCRYPT_DES_ALGORITHM, Bytes(material.begin(), material.begin() + 8),
                   Bytes(material.begin() + 8, material.begin() + 16), padded, decrypt);
    }

private:
    static Bytes Cbc(LPCWSTR name, const Bytes& key, Bytes iv, const Bytes& data, bool decrypt) {
        BCRYPT_ALG_HANDLE alg = nullptr;
        BCRYPT_KEY_HANDLE handle = nullptr;
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&alg, name, nullptr, 0))) {
            ADD_FAILURE() << "no CNG provider for " << nvx::Utf8FromW(name);
            return {};
        }
        Bytes out(data.size());
        ULONG done = 0;
        auto* mode = reinterpret_cast<PUCHAR>(const_cast<WCHAR*>(BCRYPT_CHAIN_MODE_CBC));
        NTSTATUS status = BCryptSetProperty(alg, BCRYPT_CHAINING_MODE, mode, sizeof(BCRYPT_CHAIN_MODE_CBC), 0);
        if (BCRYPT_SUCCESS(status))
            status = BCryptGenerateSymmetricKey(alg, &handle, nullptr, 0, const_cast<PUCHAR>(key.data()),
                                                static_cast<ULONG>(key.size()), 0);
        if (BCRYPT_SUCCESS(status)) {
            PUCHAR in = const_cast<PUCHAR>(data.data());
            const ULONG size = static_cast<ULONG>(data.size());
            status = decrypt ? BCryptDecrypt(handle, in, size, nullptr, iv.data(), static_cast<ULONG>(iv.size()),
                                             out.data(), size, &done, 0)
                             : BCryptEncrypt(handle, in, size, nullptr, iv.data(), static_cast<ULONG>(iv.size()),
                                             out.data(), size, &done, 0);
            BCryptDestroyKey(handle);
        }
        BCryptCloseAlgorithmProvider(alg, 0);
        EXPECT_TRUE(BCRYPT_SUCCESS(status)) << nvx::Utf8FromW(name) << ": status " << std::hex << status;
        out.resize(done);
        return out;
    }
};
#else
class Openssl {
public:
    Openssl() : dir_(nvxtest::MakeTempDir("cipher")) {}

    // Runs "openssl <args> -out OUT -in IN" (dgst: IN last, bare) over input and answers OUT's bytes.
    Bytes Run(const std::string& args, const Bytes& input) {
        const std::string in = dir_ + "/in", out = dir_ + "/out";
        std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(input.data()), std::streamsize(input.size()));
        std::remove(out.c_str());
        const bool digest = args.rfind("dgst", 0) == 0;
        const std::string cmd =
            "openssl " + args + " -out '" + out + "' " + (digest ? "'" : "-in '") + in + "' 2>/dev/null";
        EXPECT_EQ(0, std::system(cmd.c_str())) << cmd;
        std::ifstream f(out, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), {});
    }
    Bytes Sha256(const Bytes& input) { return Run("dgst -sha256 -binary", input); }
    Bytes Aes(const Bytes& material, const Bytes& padded, bool decrypt = false) {
        Bytes key = Sha256(Bytes(material.begin(), material.begin() + 10));
        Bytes iv = Sha256(Bytes(material.begin() + 10, material.end()));
        iv.resize(16);
        return Run(std::string("enc -aes-256-cbc -nopad ") + (decrypt ? "-d " : "") + "-K " + Hex(key) + " -iv " + Hex(iv),
                   padded);
    }
    Bytes Des(const Bytes& material, const Bytes& padded, bool decrypt = false) {
        return Run(std::string("enc -des-cbc -nopad -provider legacy -provider default ") + (decrypt ? "-d " : "") +
                       "-K " + Hex(Bytes(material.begin(), material.begin() + 8)) + " -iv " +
                       Hex(Bytes(material.begin() + 8, material.begin() + 16)),
                   padded);
    }
    static std::string Hex(const Bytes& b) {
        std::string s;
        char two[3];
        for (BYTE c : b) {
            std::snprintf(two, sizeof two, "%02x", c);
            s += two;
        }
        return s;
    }

private:
    std::string dir_;
};
#endif

// The AES form of a text: padded to the next multiple of 16 with bytes holding
// the number added less one.
Bytes AesPadded(const std::string& text) {
    Bytes b = B(text);
    const size_t added = 16 - text.size() % 16;
    b.insert(b.end(), added, static_cast<BYTE>(added - 1));
    return b;
}

// The material of a key table entry: stored byte i goes to position p(i).
Bytes Material(const KeyTableEntry& e) {
    const int p[20] = {0, 19, 1, 18, 2, 17, 3, 16, 4, 15, 5, 14, 6, 13, 7, 12, 8, 11, 9, 10};
    Bytes m(20);
    for (int i = 0; i < 20; ++i) m[p[i]] = e.key[i];
    return m;
}

const KeyTableEntry* Find(uint32_t key, uint32_t model) {
    for (const KeyTableEntry& e : KeyTable())
        if (e.keyId == key && e.modelId == model) return &e;
    return nullptr;
}

Bytes Encipher(const PasswordCipher& c, const std::string& text, size_t cap = 200) {
    Bytes out(cap, 0xEE);
    size_t n = c.EncipherText(text, out.data(), cap);
    out.resize(n);
    return out;
}

PasswordCipher Aes(uint32_t key, uint32_t model, std::optional<std::string> keyText = std::nullopt) {
    return PasswordCipher({CipherMode::Aes, key, model, std::move(keyText)});
}

TEST(KeySeed, KeyTextAddsMirroredBytes) {
    Bytes seed(64);
    for (size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<BYTE>(i);
    EXPECT_EQ(KeyTextFromSeed(seed), "3F3F3F3F3F3F3F3F3F3F");  // i + (63 - i)
    seed[0] = 0xFF;
    seed[63] = 0x02;  // wraps: 0x101 -> 0x01
    seed[9] = 0xA0;
    EXPECT_EQ(KeyTextFromSeed(seed), "013F3F3F3F3F3F3F3FD6");  // 0xA0 + 54
    EXPECT_EQ(KeyTextFromSeed(Bytes(41, 1)), std::nullopt);
    EXPECT_EQ(KeyTextFromSeed(Bytes(42, 0x81)), "02020202020202020202");
    EXPECT_EQ(KeyTextFromSeed({}), std::nullopt);
}

TEST(KeyTable, LookupByKeyNarrowedByModelWithDefault) {
    ASSERT_NE(nullptr, Find(3, 0));
    ASSERT_NE(nullptr, Find(3, 57));
    EXPECT_EQ(&LookupKey(3, 57), Find(3, 57));
    EXPECT_EQ(&LookupKey(3, 0), Find(3, 0));
    EXPECT_EQ(&LookupKey(3, 99), &DefaultKeyEntry());  // no entry for that model
    EXPECT_EQ(&LookupKey(77, 0), &DefaultKeyEntry());
    EXPECT_NE(std::memcmp(Find(3, 0)->key, Find(3, 57)->key, 20), 0);
}

TEST(AesText, SixteenBytesBecomeThirtyTwoWithAWholePaddingBlock) {
    Openssl ssl;
    const std::string keyText = "0A1B2C3D4E5F60718293";
    PasswordCipher c = Aes(0, 0, keyText);
    const std::string text = "0123456789abcdef";
    Bytes out(40, 0xEE);
    ASSERT_EQ(32u, c.EncipherText(text, out.data(), out.size()));
    EXPECT_EQ(0, out[32]);      // a NUL follows a shorter result
    EXPECT_EQ(0xEE, out[33]);
    out.resize(32);
    EXPECT_EQ(out, ssl.Aes(B(keyText), AesPadded(text)));
    Bytes plain = ssl.Aes(B(keyText), out, true);
    ASSERT_EQ(32u, plain.size());
    EXPECT_EQ(Bytes(16, 15), Bytes(plain.begin() + 16, plain.end()));
    EXPECT_EQ(c.DecipherText(out), text);
}

TEST(AesText, KeyTableFallbackTextAndLengths) {
    Openssl ssl;
    // Key number and model number: the reordered table entry.
    EXPECT_EQ(Encipher(Aes(3, 57), "secret"), ssl.Aes(Material(*Find(3, 57)), AesPadded("secret")));
    EXPECT_EQ(Encipher(Aes(3, 99), "secret"), ssl.Aes(Material(DefaultKeyEntry()), AesPadded("secret")));
    // No key number: the printer's key text, else the built-in text.
    EXPECT_EQ(Encipher(Aes(0, 0), "secret"), ssl.Aes(B("26419347620583917264"), AesPadded("secret")));
    // A key number wins over the printer's key text.
    EXPECT_EQ(Encipher(Aes(3, 57, "0A1B2C3D4E5F60718293"), "x"), Encipher(Aes(3, 57), "x"));
    // Lengths: empty 16, 15 -> 16, 17 -> 32, 145 (the longest field) -> 160.
    EXPECT_EQ(16u, Encipher(Aes(3, 57), "").size());
    EXPECT_EQ(16u, Encipher(Aes(3, 57), std::string(15, 'a')).size());
    EXPECT_EQ(32u, Encipher(Aes(3, 57), std::string(17, 'a')).size());
    EXPECT_EQ(160u, Encipher(Aes(3, 57), std::string(145, 'a')).size());
    EXPECT_EQ(Aes(3, 57).DecipherText(Encipher(Aes(3, 57), "")), "");
}

TEST(AesText, TooSmallABufferEnciphersNothing) {
    Bytes out(31, 0xEE);
    EXPECT_EQ(0u, Aes(3, 57).EncipherText(std::string(16, 'p'), out.data(), out.size()));
    EXPECT_EQ(Bytes(31, 0xEE), out);  // untouched: no partial result
    Bytes exact(32);
    EXPECT_EQ(32u, Aes(3, 57).EncipherText(std::string(16, 'p'), exact.data(), exact.size()));  // no room for the NUL
}

TEST(AesText, StoredFormsThatDoNotDecipherAreRefused) {
    PasswordCipher c = Aes(3, 57);
    Bytes good = Encipher(c, "password");
    EXPECT_EQ(c.DecipherText(good), "password");
    EXPECT_EQ(c.DecipherText({}), std::nullopt);
    EXPECT_EQ(c.DecipherText(Bytes(good.begin(), good.end() - 1)), std::nullopt);  // not whole blocks
    EXPECT_EQ(Aes(3, 60).DecipherText(good), std::nullopt);                           // another key
    Openssl ssl;
    // A padding byte above 15 and a padding whose bytes differ.
    Bytes badPad = B("0123456789abcde");
    badPad.push_back(16);
    EXPECT_EQ(c.DecipherText(ssl.Aes(Material(*Find(3, 57)), badPad)), std::nullopt);
    Bytes mixed = B("0123456789abc");
    mixed.insert(mixed.end(), {2, 1, 2});
    EXPECT_EQ(c.DecipherText(ssl.Aes(Material(*Find(3, 57)), mixed)), std::nullopt);
    // A NUL inside the deciphered text is no stored text.
    EXPECT_EQ(c.DecipherText(ssl.Aes(Material(*Find(3, 57)), AesPadded(std::string("ab\0cd", 5)))), std::nullopt);
}

TEST(DesText, PaddedWithPlusAndNulAndEncipheredWithTheTableEntry) {
    Openssl ssl;
    PasswordCipher c({CipherMode::Des, 3, 57, std::nullopt});
    Bytes out(80, 0xEE);
    ASSERT_EQ(72u, c.EncipherText("abc", out.data(), out.size()));
    EXPECT_EQ(0, out[72]);
    out.resize(72);
    Bytes padded = B("abc" + std::string(61, '+'));
    padded.push_back(3);  // the text's length, in the first padding NUL
    padded.resize(72, 0);
    EXPECT_EQ(out, ssl.Des(Material(*Find(3, 57)), padded));
    EXPECT_EQ(c.DecipherText(out), "abc");
}

TEST(DesText, TrailingPlusSurvivesAndOldFormsDecipher) {
    Openssl ssl;
    PasswordCipher c({CipherMode::Des, 0, 0, std::nullopt});
    for (const std::string& text : {std::string(""), std::string("pass+"), std::string("++"), std::string(64, 'z')})
        EXPECT_EQ(c.DecipherText(Encipher(c, text)), text) << text;
    // A form without the length byte: the padding '+' characters are dropped.
    Bytes old = B("pa+ss" + std::string(59, '+'));
    old.resize(72, 0);
    EXPECT_EQ(c.DecipherText(ssl.Des(Material(DefaultKeyEntry()), old)), "pa+ss");
    // A length beyond 64, or bytes after it that are not NUL: not a stored form.
    Bytes bad = B(std::string(64, '+'));
    bad.push_back(65);
    bad.resize(72, 0);
    EXPECT_EQ(c.DecipherText(ssl.Des(Material(DefaultKeyEntry()), bad)), std::nullopt);
    EXPECT_EQ(c.DecipherText(Bytes(71, 0)), std::nullopt);
}

TEST(DesText, LongTextsAndSmallBuffersAreRefused) {
    PasswordCipher c({CipherMode::Des, 0, 0, std::nullopt});
    Bytes out(100, 0xEE);
    EXPECT_EQ(0u, c.EncipherText(std::string(65, 'a'), out.data(), out.size()));
    EXPECT_EQ(0u, c.EncipherText("a", out.data(), 71));
    EXPECT_EQ(Bytes(100, 0xEE), out);
}

TEST(NoneMode, TextIsKeptAndItsLengthAnswered) {
    PasswordCipher c({CipherMode::None, 3, 57, std::nullopt});
    Bytes out(10, 0xEE);
    ASSERT_EQ(5u, c.EncipherText("hello", out.data(), out.size()));
    EXPECT_EQ(B(std::string("hello\0", 6)), Bytes(out.begin(), out.begin() + 6));
    EXPECT_EQ(0u, c.EncipherText("hello world", out.data(), out.size()));  // does not fit
    EXPECT_EQ(c.DecipherText(B("hello")), "hello");
    // The text ends at its first NUL, as a narrow text does.
    EXPECT_EQ(2u, c.EncipherText(std::string("ab\0cd", 5), out.data(), out.size()));
}

TEST(SecondTextForm, DesModelsTakeAesWithKeyOne) {
    PasswordCipher des({CipherMode::Des, 3, 57, std::nullopt});
    Bytes out(64);
    size_t n = des.EncipherText2("secret", out.data(), out.size());
    out.resize(n);
    EXPECT_EQ(out, Encipher(Aes(1, 0), "secret"));
    EXPECT_EQ(des.DecipherText2(out), "secret");
    PasswordCipher aes = Aes(3, 57);
    Bytes viaSecond(64);
    viaSecond.resize(aes.EncipherText2("secret", viaSecond.data(), viaSecond.size()));
    EXPECT_EQ(viaSecond, Encipher(aes, "secret"));
}

TEST(BinaryForm, EnciphersOnlyInAesModeAndWritesNoTerminator) {
    const Bytes data = {0, 1, 2, 0, 0xFF, 0};
    for (CipherMode m : {CipherMode::None, CipherMode::Des}) {
        PasswordCipher c({m, 3, 57, std::nullopt});
        Bytes out;
        ASSERT_TRUE(c.Encipher(data, &out));
        EXPECT_EQ(out, data);
        ASSERT_TRUE(c.Decipher(data, &out));
        EXPECT_EQ(out, data);
    }
    Openssl ssl;
    PasswordCipher c = Aes(3, 57);
    Bytes stored;
    ASSERT_TRUE(c.Encipher(data, &stored));
    Bytes padded = data;
    padded.insert(padded.end(), 10, 9);
    EXPECT_EQ(stored, ssl.Aes(Material(*Find(3, 57)), padded));
    Bytes back;
    ASSERT_TRUE(c.Decipher(stored, &back));
    EXPECT_EQ(back, data);  // NUL bytes kept
    Bytes untouched = {7};
    EXPECT_FALSE(c.Decipher(Bytes(17, 0), &untouched));
    EXPECT_EQ(Bytes{7}, untouched);
}

TEST(Decipher, ArbitraryStoredBytesNeverReadPastTheirEnd) {
    std::mt19937 rng(7);
    const PasswordCipher ciphers[] = {Aes(3, 57), PasswordCipher({CipherMode::Des, 0, 0, std::nullopt}),
                                      PasswordCipher({CipherMode::None, 0, 0, std::nullopt})};
    for (int round = 0; round < 300; ++round) {
        Bytes b(rng() % 100);
        for (BYTE& x : b) x = static_cast<BYTE>(rng());
        for (const PasswordCipher& c : ciphers) {
            std::optional<std::string> t = c.DecipherText(b);
            if (t) {
                EXPECT_LE(t->size(), b.size());
            }
            Bytes out;
            c.Decipher(b, &out);
        }
    }
}

}  // namespace
