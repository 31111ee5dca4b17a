// The binary form of the printer password cipher: the "none" mode.
#include "device/binary_cipher.h"

namespace nvx::device {
namespace {

class NoneModeCipher final : public BinaryCipher {
public:
    CipherMode Mode() const override { return CipherMode::None; }
    bool Encipher(std::span<const BYTE> plain, std::vector<BYTE>* out) const override {
        if (!out) return false;
        out->assign(plain.begin(), plain.end());
        return true;
    }
    bool Decipher(std::span<const BYTE> stored, std::vector<BYTE>* out) const override {
        if (!out) return false;
        out->assign(stored.begin(), stored.end());
        return true;
    }
};

}  // namespace

const BinaryCipher& NoneCipher() {
    static const NoneModeCipher cipher;
    return cipher;
}

const BinaryCipher& PrinterBinaryCipher(HANDLE) { return NoneCipher(); }

}  // namespace nvx::device
