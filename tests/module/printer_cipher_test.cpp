// A printer's password cipher: the model's settings, the key seed and its key
// text, and the seed that SetUIAesKeyInfo writes (never over an existing one).
#include <gtest/gtest.h>

#include <vector>

#include "device/printer_cipher.h"
#include "model/loaded_model.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::device;
using Bytes = std::vector<BYTE>;

class PrinterCipherTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ForgetPrinterCiphers();
        printer_ = nvxtest::AddTestPrinter(WL("Cipher Fax"));
        ASSERT_NE(nullptr, printer_);
        SetModel(nvx::model::CipherMode::Aes, 0, 0);
    }
    void TearDown() override {
        ClosePrinter(printer_);
        SetModel(nvx::model::CipherMode::None, 0, 0);
        ForgetPrinterCiphers();
        PlatformTest::TearDown();
    }
    static void SetModel(nvx::model::CipherMode mode, uint32_t key, uint32_t model) {
        auto& e = nvx::model::Loaded().tables.settings.encryption;
        e.mode = mode;
        e.keyId = key;
        e.modelId = model;
        ForgetPrinterCiphers();
    }
    Bytes Seed() const {
        Bytes seed(200);
        DWORD type = 0, size = 0;
        if (GetPrinterDataW(printer_, const_cast<LPWSTR>(kKeySeedValue), &type, seed.data(), 200, &size) != ERROR_SUCCESS)
            return {};
        seed.resize(size);
        return seed;
    }
    void PutSeed(const Bytes& seed) {
        ASSERT_EQ(ERROR_SUCCESS, SetPrinterDataW(printer_, const_cast<LPWSTR>(kKeySeedValue), REG_BINARY,
                                                 const_cast<BYTE*>(seed.data()), static_cast<DWORD>(seed.size())));
        ForgetPrinterCiphers();
    }
    HANDLE printer_ = nullptr;
};

TEST_F(PrinterCipherTest, ModelSettingsAndSeedMakeThePrintersCipher) {
    EXPECT_EQ(PrinterPasswordCipher(printer_).Settings().keyText, std::nullopt);  // no seed yet
    Bytes seed(64);
    for (size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<BYTE>(i);
    PutSeed(seed);
    const PasswordCipher& c = PrinterPasswordCipher(printer_);
    EXPECT_EQ(c.Mode(), CipherMode::Aes);
    EXPECT_EQ(c.Settings().keyText, "3F3F3F3F3F3F3F3F3F3F");
    EXPECT_EQ(&PrinterBinaryCipher(printer_), static_cast<const BinaryCipher*>(&c));  // one cipher per printer
    PutSeed(Bytes(41, 7));  // too short: no key text
    EXPECT_EQ(PrinterPasswordCipher(printer_).Settings().keyText, std::nullopt);
    SetModel(nvx::model::CipherMode::Des, 3, 57);
    EXPECT_EQ(PrinterPasswordCipher(printer_).Mode(), CipherMode::Des);
    EXPECT_EQ(PrinterPasswordCipher(printer_).Settings().keyId, 3u);
}

TEST_F(PrinterCipherTest, KeySeedIsFourFreshGuidsWrittenOnce) {
    ASSERT_EQ(ERROR_SUCCESS, CreateKeySeed(printer_));
    const Bytes first = Seed();
    ASSERT_EQ(64u, first.size());
    for (size_t g = 0; g < 4; ++g) EXPECT_EQ(0x40, first[g * 16 + 7] & 0xF0) << "GUID " << g << " is version 4";
    EXPECT_NE(Bytes(first.begin(), first.begin() + 16), Bytes(first.begin() + 16, first.begin() + 32));
    // The new seed is used at once, and a second call keeps it: passwords stored
    // under it must stay readable.
    EXPECT_EQ(PrinterPasswordCipher(printer_).Settings().keyText, KeyTextFromSeed(first));
    ASSERT_EQ(ERROR_SUCCESS, CreateKeySeed(printer_));
    EXPECT_EQ(Seed(), first);
    // A short seed is replaced.
    PutSeed(Bytes(10, 1));
    ASSERT_EQ(ERROR_SUCCESS, CreateKeySeed(printer_));
    EXPECT_EQ(64u, Seed().size());
}

TEST_F(PrinterCipherTest, NoSeedWhenTheModelSetsAKeyNumber) {
    SetModel(nvx::model::CipherMode::Aes, 3, 57);
    ASSERT_EQ(ERROR_SUCCESS, CreateKeySeed(printer_));
    EXPECT_TRUE(Seed().empty());
    EXPECT_EQ(ERROR_INVALID_HANDLE, CreateKeySeed(nullptr));
}

TEST_F(PrinterCipherTest, AUseOnlyHandleIsReopenedToAdministerTheSeed) {
    HANDLE useOnly = nullptr;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(WL("Cipher Fax")), &useOnly, &defaults));
    EXPECT_EQ(ERROR_SUCCESS, CreateKeySeed(useOnly));
    ClosePrinter(useOnly);
    EXPECT_EQ(64u, Seed().size());
}

TEST_F(PrinterCipherTest, StoredFormRoundTripsThroughThePrintersCipher) {
    ASSERT_EQ(ERROR_SUCCESS, CreateKeySeed(printer_));
    BYTE out[64];
    const size_t n = PrinterPasswordCipher(printer_).EncipherText("1234", out, sizeof out);
    ASSERT_EQ(16u, n);
    ForgetPrinterCiphers();  // a new process: the key text is derived again from the stored seed
    EXPECT_EQ(PrinterPasswordCipher(printer_).DecipherText({out, n}), "1234");
}

}  // namespace
