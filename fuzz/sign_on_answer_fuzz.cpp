// The device's answers at job start, as outside data: any bytes as the single
// sign-on answer buffer (Base64 up to its terminator, decoded), and as the
// device's 64-byte encryption setting stored as the job's passphrase.
//
// The answer: nothing is read past the buffer; a decoded token is not empty, is
// at most three quarters of the text, and encodes and decodes back to itself.
// The setting: the stored form fits its 73-byte field, deciphers to the first
// characters of the passphrase (at most 20), and the user-defined flag is set
// only with something stored.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/le.h"
#include "device/job_start.h"
#include "device/password_cipher.h"
#include "device/sign_on_token.h"
#include "settings/devoption.h"

using namespace nvx::device;
namespace dev = nvx::settings::devoption;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The answer: a buffer of exactly the input's bytes.
    std::vector<char> answer(data, data + size);
    if (std::optional<std::vector<BYTE>> token = DecodeSignOnAnswer(answer.data(), answer.size())) {
        const size_t text = strnlen(answer.data(), answer.size());
        if (token->empty() || token->size() > text / 4 * 3) std::abort();
        std::optional<std::string> again = EncodeSignOnToken(*token);
        if (!again) std::abort();
        std::optional<std::vector<BYTE>> back = DecodeSignOnAnswer(again->c_str(), again->size() + 1);
        if (!back || *back != *token) std::abort();
    }

    // The encryption setting, under AES with the sample model's key.
    if (size >= 64) {
        static const PasswordCipher cipher({CipherMode::Aes, 3, 57, std::nullopt});
        std::vector<BYTE> devOption(nvx::settings::kDevOptionSize, 0);
        const bool stored = StorePassphrase(cipher, std::span<const BYTE>(data, 64), devOption.data());
        const uint16_t length = nvx::GetLE16(devOption.data() + dev::kPassphraseLength);
        if (length > dev::kPassphraseBytes || stored != (length > 0)) std::abort();
        if (devOption[dev::kPassphraseStored] && !stored) std::abort();
        if (stored) {
            std::optional<std::string> plain =
                cipher.DecipherText(std::span<const BYTE>(devOption.data() + dev::kPassphrase, length));
            const char* source = reinterpret_cast<const char*>(data + 32);
            const size_t n = strnlen(source, std::min<size_t>(32, kPassphraseChars));
            if (!plain || *plain != std::string(source, n)) std::abort();
        }
    }
    return 0;
}
