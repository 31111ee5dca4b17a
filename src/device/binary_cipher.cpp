// The "none" mode of the binary form (the other modes: password_cipher.cpp).
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

}  // namespace nvx::device
