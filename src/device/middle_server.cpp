// The middle server setting in the user's store, its renewal and the
// verification messages.
#include "device/middle_server.h"

#include <cstring>
#include <optional>

#include "common/le.h"
#include "common/text.h"
#include "device/user_settings.h"
#include "model/stores.h"

namespace nvx::device {
namespace {

constexpr const WCHAR* kUpdateCount = WL("UpdateCount");
constexpr const WCHAR* kLastUpdateCount = WL("LastUpdateCount");
constexpr const WCHAR* kRenewalFlag = WL("RenewalFlag");
constexpr const WCHAR* kInterimUi = WL("InterimUI");
constexpr const WCHAR* kInterimUiTmp = WL("InterimUITmp");

// The verification messages by the device's detail text (first match wins).
struct DetailMessage {
    const char* detail;
    unsigned message;
};
constexpr DetailMessage kDetailMessages[] = {
    {"AuthIllegalAccount", 425},       {"AuthAccessDenied", 426},          {"AuthIllegalPassword", 427},
    {"AuthServerSettingError", 428},   {"AuthDnsServerError", 429},        {"AuthServerNotFound", 430},
    {"AuthServerAuthFailure", 431},    {"AuthServerBusy", 433},            {"AuthServerError", 431},
    {"AuthNotAllowedAuthSetting", 434}, {"AuthNotFoundTrack", 435},        {"AuthAccessDeniedTrack", 436},
    {"AuthIllegalPasswordTrack", 437}, {"AuthNotAllowedFunctionTrack", 424}, {"AuthServerErrorTrack", 424},
};

}  // namespace

MiddleServerStored ReadMiddleServerStored(HANDLE printer) {
    MiddleServerStored stored;
    model::RegKey key;
    if (model::OpenUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return stored;
    const model::ValueStore s = model::ValueStore::OfKey(key.get());
    uint32_t n = 0;
    if (s.ReadDword(kUpdateCount, &n)) stored.updateCount = n;
    if (s.ReadDword(kLastUpdateCount, &n)) stored.lastUpdateCount = n;
    if (s.ReadDword(kRenewalFlag, &n)) stored.renewalFlag = n;
    std::vector<BYTE> ui(kInterimUiBytes);
    if (s.ReadExact(kInterimUi, ui.data(), static_cast<DWORD>(ui.size()))) stored.interimUi = std::move(ui);
    return stored;
}

MiddleServerInfo MiddleServerInfoOf(const std::vector<BYTE>& interimUi) {
    MiddleServerInfo info;
    if (interimUi.size() != kInterimUiBytes) return info;
    const uint32_t number = GetLE32(interimUi.data() + kInterimServerNumber);
    if (number != 0 && number <= 0xFFFF) info.serverNumber = number;
    const char* name = reinterpret_cast<const char*>(interimUi.data() + kInterimServerName);
    info.serverName.assign(name, strnlen(name, kInterimServerNameBytes));
    return info;
}

bool StoreSignOnRecord(HANDLE printer, const SignOnRecord& record) {
    if (!printer || record.contextId.empty() || record.micToken.empty()) return false;
    model::RegKey key;
    if (model::CreateUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return false;
    const model::ValueStore s = model::ValueStore::OfKey(key.get());
    const WString id = WFromUtf8(record.contextId);
    const bool ok =
        s.Write(kSignOnContextId, REG_SZ, id.c_str(), static_cast<DWORD>((id.size() + 1) * sizeof(WCHAR))) ==
            ERROR_SUCCESS &&
        s.Write(kSignOnMicToken, REG_BINARY, record.micToken.data(), static_cast<DWORD>(record.micToken.size())) ==
            ERROR_SUCCESS;
    if (!ok) {
        s.Remove(kSignOnContextId);
        s.Remove(kSignOnMicToken);
    }
    return ok;
}

void ClearSignOnRecord(HANDLE printer) {
    model::RegKey key;
    if (!printer || model::OpenUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return;
    const model::ValueStore s = model::ValueStore::OfKey(key.get());
    s.Remove(kSignOnContextId);
    s.Remove(kSignOnMicToken);
}

std::optional<SignOnRecord> ReadSignOnRecord(HANDLE printer) {
    model::RegKey key;
    if (!printer || model::OpenUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return std::nullopt;
    const model::ValueStore s = model::ValueStore::OfKey(key.get());
    std::vector<BYTE> text, mic;
    DWORD textType = 0, micType = 0;
    if (s.ReadAll(kSignOnContextId, &text, &textType) != ERROR_SUCCESS || textType != REG_SZ ||
        s.ReadAll(kSignOnMicToken, &mic, &micType) != ERROR_SUCCESS || micType != REG_BINARY || mic.empty())
        return std::nullopt;
    std::optional<std::string> id = SignOnContextIdOf(text);
    if (!id) return std::nullopt;
    return SignOnRecord{std::move(*id), std::move(mic)};
}

std::optional<std::string> SignOnContextIdOf(std::span<const BYTE> stored) {
    WString id;
    for (size_t i = 0; i + 1 < stored.size(); i += 2) {
        const WCHAR c = static_cast<WCHAR>(GetLE16(stored.data() + i));
        if (!c) break;
        id.push_back(c);
    }
    if (id.empty()) return std::nullopt;
    return Utf8FromW(id);
}

bool ClearMiddleServerRenewal(HANDLE printer) {
    model::RegKey key;
    if (model::OpenUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return false;
    return model::ValueStore::OfKey(key.get()).WriteDword(kRenewalFlag, 0) == ERROR_SUCCESS;
}

bool MiddleServerRenewalApplies(int authType, bool callerFlag, bool modelSupports) {
    if (!modelSupports) return false;
    return authType == 4 || (authType == 6 && !callerFlag);
}

std::string UserLanguageCode() {
    WCHAR name[16] = {};
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, name, 16);
    std::string code = n > 1 ? Utf8FromW(WStringView(name, static_cast<size_t>(n - 1))) : std::string();
    if (code.empty() || code.size() > oapi::kLanguageCodeMax) code = "en";
    return code;
}

Renewal RenewMiddleServerSetting(Connection* c, HANDLE printer) {
    if (!c || !printer) return Renewal::Failed;
    const uint32_t count = GetLE32(c->capability + oapi::kCapUpdateCount);
    const MiddleServerStored stored = ReadMiddleServerStored(printer);
    if (stored.updateCount && *stored.updateCount == count) return Renewal::Current;
    std::vector<BYTE> setting(oapi::kMiddleServerSettingSize, 0);
    const std::string language = UserLanguageCode();
    if (GetMiddleServerSetting(c, language.c_str(), setting.data(), setting.size()) != oapi::kOk)
        return Renewal::Failed;
    model::RegKey key;
    if (model::CreateUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return Renewal::Failed;
    const model::ValueStore s = model::ValueStore::OfKey(key.get());
    bool ok = true;
    if (!stored.interimUi.empty())
        ok = s.Write(kInterimUiTmp, REG_BINARY, stored.interimUi.data(), kInterimUiBytes) == ERROR_SUCCESS;
    ok = ok && s.Write(kInterimUi, REG_BINARY, setting.data(), kInterimUiBytes) == ERROR_SUCCESS;
    ok = ok && s.WriteDword(kLastUpdateCount, stored.updateCount.value_or(0)) == ERROR_SUCCESS;
    ok = ok && s.WriteDword(kRenewalFlag, 1) == ERROR_SUCCESS;
    // The count last: a renewal cut short is tried again.
    ok = ok && s.WriteDword(kUpdateCount, count) == ERROR_SUCCESS;
    return ok ? Renewal::Renewed : Renewal::Failed;
}

uint16_t MiddleServerNumberOf(const OEMDEV& record) {
    const uint32_t value = GetLE32(record.bytes + oemdev_user::kMiddleServerValue);
    return value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

unsigned VerificationMessage(DWORD code, std::string_view detail) {
    if (code == 0) return 420;
    if (code == 1 || code == 6) return 424;
    for (const DetailMessage& m : kDetailMessages)
        if (detail == m.detail) return m.message;
    return 424;
}

}  // namespace nvx::device
