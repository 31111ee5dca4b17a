// The password cipher of each printer.
#include "device/printer_cipher.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "common/text.h"
#include "model/loaded_model.h"
#include "model/stores.h"
#include "stamps/watermark_store.h"

namespace nvx::device {
namespace {

struct Ciphers {
    std::mutex lock;
    std::map<WString, std::unique_ptr<PasswordCipher>> byPrinter;
    // Ciphers forgotten while a caller may still hold them.
    std::vector<std::unique_ptr<PasswordCipher>> retired;
};

Ciphers& State() {
    static Ciphers c;
    return c;
}

std::optional<std::string> ReadKeyText(HANDLE printer) {
    std::vector<BYTE> seed;
    DWORD type = 0;
    if (model::ValueStore::OfPrinter(printer).ReadAll(kKeySeedValue, &seed, &type) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return std::nullopt;
    std::optional<std::string> text = KeyTextFromSeed(seed);
    SecureZeroMemory(seed.data(), seed.size());
    return text;
}

bool HasUsableSeed(HANDLE printer) {
    std::vector<BYTE> seed;
    DWORD type = 0;
    return model::ValueStore::OfPrinter(printer).ReadAll(kKeySeedValue, &seed, &type) == ERROR_SUCCESS &&
           type == REG_BINARY && seed.size() >= kKeySeedMinimum;
}

void Forget(const WString& key) {
    Ciphers& c = State();
    std::lock_guard<std::mutex> guard(c.lock);
    auto it = c.byPrinter.find(key);
    if (it == c.byPrinter.end()) return;
    c.retired.push_back(std::move(it->second));
    c.byPrinter.erase(it);
}

}  // namespace

CipherSettings ModelCipherSettings() {
    const model::EncryptionSettings& e = model::Loaded().tables.settings.encryption;
    CipherSettings s;
    s.mode = e.mode == model::CipherMode::Aes   ? CipherMode::Aes
             : e.mode == model::CipherMode::Des ? CipherMode::Des
                                                : CipherMode::None;
    s.keyId = e.keyId;
    s.modelId = e.modelId;
    return s;
}

const PasswordCipher& PrinterPasswordCipher(HANDLE printer) {
    WCHAR path[model::kUserKeyPathChars] = {};
    WString key;
    if (printer && model::UserKeyPathOf(printer, path) == ERROR_SUCCESS) key = path;
    Ciphers& c = State();
    std::lock_guard<std::mutex> guard(c.lock);
    auto it = c.byPrinter.find(key);
    if (it != c.byPrinter.end()) return *it->second;
    CipherSettings settings = ModelCipherSettings();
    if (!key.empty()) settings.keyText = ReadKeyText(printer);
    auto cipher = std::make_unique<PasswordCipher>(std::move(settings));
    const PasswordCipher& result = *cipher;
    // A printer that cannot be named is not remembered: its name may be readable next time.
    if (key.empty()) c.retired.push_back(std::move(cipher));
    else c.byPrinter.emplace(key, std::move(cipher));
    return result;
}

const BinaryCipher& PrinterBinaryCipher(HANDLE printer) { return PrinterPasswordCipher(printer); }

DWORD CreateKeySeed(HANDLE printer) {
    if (!printer) return ERROR_INVALID_HANDLE;
    if (model::Loaded().tables.settings.encryption.keyId != 0) return ERROR_SUCCESS;
    if (HasUsableSeed(printer)) return ERROR_SUCCESS;
    BYTE seed[kKeySeedSize];
    for (size_t i = 0; i < 4; ++i) {
        GUID g{};
        if (FAILED(CoCreateGuid(&g))) return ERROR_GEN_FAILURE;
        std::memcpy(seed + i * sizeof g, &g, sizeof g);
    }
    DWORD status = model::ValueStore::OfPrinter(printer).Write(kKeySeedValue, REG_BINARY, seed, sizeof seed);
    if (status == ERROR_ACCESS_DENIED) {
        const WString name = stamps::PrinterNameOf(printer);
        model::PrinterHandle admin;
        if (name.empty() || !admin.Open(name.c_str(), PRINTER_ACCESS_ADMINISTER)) {
            SecureZeroMemory(seed, sizeof seed);
            return ERROR_ACCESS_DENIED;
        }
        status = model::ValueStore::OfPrinter(admin.get()).Write(kKeySeedValue, REG_BINARY, seed, sizeof seed);
    }
    SecureZeroMemory(seed, sizeof seed);
    WCHAR path[model::kUserKeyPathChars] = {};
    if (model::UserKeyPathOf(printer, path) == ERROR_SUCCESS) Forget(path);
    return status;
}

void ForgetPrinterCiphers() {
    Ciphers& c = State();
    std::lock_guard<std::mutex> guard(c.lock);
    for (auto& [key, cipher] : c.byPrinter) c.retired.push_back(std::move(cipher));
    c.byPrinter.clear();
}

}  // namespace nvx::device
