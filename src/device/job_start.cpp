// Job-start security: the device steps of the job-start exports.
#include "device/job_start.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "common/le.h"
#include "device/acquisition.h"
#include "device/busy_window.h"
#include "device/device_answers.h"
#include "device/auth_apply.h"
#include "device/busy_window.h"
#include "device/device_info_cache.h"
#include "device/middle_server.h"
#include "device/printer_cipher.h"
#include "device/sign_on_token.h"
#include "device/user_settings.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "model/loaded_model.h"
#include "settings/devoption.h"

namespace nvx::device {
namespace {

using GetAddressFn = DWORD (*)(const WCHAR*, BYTE*, char*, DWORD, DWORD*);
using OptionRequestFn = DWORD (*)(const WCHAR*, BYTE*, DWORD);

void Wipe(std::string* s) {
    if (!s->empty()) SecureZeroMemory(s->data(), s->size());
    s->clear();
}

// Keeps the busy window up while the device is asked.
struct BusyScope {
    BusyWindow window;
    explicit BusyScope(HANDLE printer) : window(printer, kBusyMessage, kBusyAnimation) { window.Start(nullptr); }
    ~BusyScope() { window.Stop(); }
};

// The connection of one step, cleaned up when the step ends (a kept one is
// cleared in its cache).
struct StepConnection {
    Connection* c = nullptr;
    StepConnection(const char* address, double apiVersion, SharedCache* shared)
        : c(shared ? OpenKeptConnection(shared, address, apiVersion) : OpenConnection(address, apiVersion)) {}
    ~StepConnection() { CleanupConnection(c); }
    StepConnection(const StepConnection&) = delete;
    StepConnection& operator=(const StepConnection&) = delete;
};

// Where the device is: the host's answer for the printer.
struct DeviceAddress {
    char text[oapi::kAddressSize] = {};
    bool network = false;
    DWORD code = kJobNotAsked;  // 0 when text holds an address
};

WString NameOf(const JobStartRequest& r) {
    if (r.printerName && *r.printerName) return WString(r.printerName);
    return r.printer ? PrinterNameOf(r.printer) : WString();
}

DeviceAddress AddressOf(const WString& name, BYTE* devOption) {
    DeviceAddress a;
    const model::LoadedModel& m = model::Loaded();
    auto getAddress = model::HostFunction<GetAddressFn>(m.host, model::HostFn::DDProc_GetPrinterIPAddress);
    if (!getAddress || name.empty()) return a;
    BYTE local[settings::kDevOptionSize] = {};
    DWORD isNetwork = 0;
    const DWORD code = getAddress(name.c_str(), devOption ? devOption : local, a.text, sizeof a.text, &isNetwork);
    a.text[oapi::kAddressMax] = 0;
    a.network = isNetwork != 0;
    if ((code == 0 || code == kAcqAddressFromStatus) && a.text[0]) a.code = 0;
    else a.code = code ? code : kAcqNoAddress;
    return a;
}

bool SwitchOn(const features::ModelRecord* record, features::SwitchId id) {
    return record && record->switches[id] != 0;
}

WString FieldText(const OEMDEV& record, size_t offset, size_t units) {
    WString text;
    for (size_t i = 0; i < units; ++i) {
        const WCHAR c = static_cast<WCHAR>(GetLE16(record.bytes + offset + 2 * i));
        if (!c) break;
        text.push_back(c);
    }
    return text;
}

// A stored password of the record as UTF-8; empty when none or it does not decipher.
std::string PasswordOf(const PasswordCipher& cipher, const OEMDEV& record, size_t offset, size_t capacity,
                       size_t lengthOffset) {
    const size_t length = GetLE16(record.bytes + lengthOffset);
    std::optional<std::string> plain =
        ReadPassword(cipher, std::span<const BYTE>(record.bytes + offset, capacity), length);
    if (!plain || plain->empty()) {
        if (plain) Wipe(&*plain);
        return {};
    }
    // Code page 1252 to UTF-8, through UTF-16; every copy is wiped.
    const int wide = MultiByteToWideChar(1252, 0, plain->data(), static_cast<int>(plain->size()), nullptr, 0);
    std::string utf8;
    if (wide > 0) {
        WString w(static_cast<size_t>(wide), 0);
        MultiByteToWideChar(1252, 0, plain->data(), static_cast<int>(plain->size()), w.data(), wide);
        utf8 = Utf8FromW(w);
        SecureZeroMemory(w.data(), w.size() * sizeof(WCHAR));
    }
    Wipe(&*plain);
    return utf8;
}

// The configuration and capability of a connection; the device's code.
DWORD Prepare(StepConnection& sc, SharedCache* shared) {
    if (!sc.c) return kJobNoConnection;
    return PrepareConnection(sc.c, shared);
}

// The document event keeps the device's configuration summary ("OpenAPIConf") in
// the device information cache, under the renewal records of the device as it
// answered now (the cache's stored "RenewalInfo" is left alone).
void KeepConfigurationSummary(HANDLE printer, const char* address, const Connection* c, double apiVersion) {
    if (!printer || !c) return;
    const std::span<const BYTE> configuration(c->configuration, oapi::kConfigurationSize);
    const std::optional<std::vector<std::string>> stamps = answers::RenewalStamps(configuration, address);
    const std::optional<std::vector<BYTE>> summary =
        answers::OpenApiConfFrom(configuration, apiVersion, AuthTypeOf(c->capability));
    if (!stamps || !summary) return;
    model::RegKey key;
    if (OpenDeviceInfoKey(printer, &key, true) != ERROR_SUCCESS) return;
    const DeviceInfoCache cache(model::ValueStore::OfKey(key.get()), PrinterBinaryCipher(printer));
    cache.WriteTaken(info::Value::OpenApiConf, *summary,
                     info::MakeRenewalInfo(*stamps, static_cast<uint64_t>(std::time(nullptr))));
}

// The check shared by the document event (which keeps the configuration
// summary) and the capability step.
DWORD CheckDevice(const JobStartRequest& r, bool always, bool keepSummary) {
    const model::LoadedModel& m = model::Loaded();
    const JobStartModel model = ModelJobStart();
    const WString name = NameOf(r);
    if (!m.host.library || name.empty()) return kJobNotAsked;
    const DeviceAddress address = AddressOf(name, r.devOption);
    if (address.code != 0) return address.code;
    if (!always && !address.network && !model.userAuthentication && !model.accountTrack) return 0;
    BusyScope busy(r.printer);
    AccessWarmUp();
    auto optionRequest = model::HostFunction<OptionRequestFn>(m.host, model::HostFn::DDProc_GetPrinterInfo_MIB2);
    if (optionRequest && r.devOption) {
        const DWORD code = optionRequest(name.c_str(), r.devOption, kOptionMaskCreateDC);
        if (code != 0) return code;
    }
    if (model.apiVersion <= 0) return 0;
    // A cache of the step's own when the host hands none in.
    SharedCache* shared = r.shared;
    SharedCache* own = nullptr;
    if (!shared) shared = own = CreateSharedCache();
    DWORD code;
    {
        StepConnection sc(address.text, model.apiVersion, shared);
        code = Prepare(sc, shared);
        if (code == oapi::kOk && keepSummary) KeepConfigurationSummary(r.printer, address.text, sc.c, model.apiVersion);
    }
    if (own) DeleteSharedCache(own);
    return code;
}

}  // namespace

JobStartModel ModelJobStart() {
    JobStartModel js;
    const DeviceLinkModel link = ModelDeviceLink();
    js.apiVersion = link.apiVersion;
    js.alternativePath = link.alternativePath;
    const features::ModelRecord* record = model::Loaded().tables.record;
    js.encryptionAllowed = SwitchOn(record, features::kSw_EncryptionKey);
    js.closeVerifyLogin = SwitchOn(record, features::kSw_VerifyAuthentic);
    js.userAuthentication = SwitchOn(record, features::kSw_UserAuthentication);
    js.accountTrack = SwitchOn(record, features::kSw_AccountTrack);
    js.copyProtectKind = record ? record->switches[features::kSw_CopyProtect] : 0;
    return js;
}

int KeyKindOf(std::span<const BYTE> setting) {
    if (setting.size() < oapi::kEncryptionSettingSize) return 0;
    const char* text = reinterpret_cast<const char*>(setting.data() + oapi::kEncKeyKind);
    const size_t n = strnlen(text, oapi::kEncKeyKindSize);
    auto is = [&](const char* word) {
        if (n != std::strlen(word)) return false;
        for (size_t i = 0; i < n; ++i) {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
            if (lower(text[i]) != lower(word[i])) return false;
        }
        return true;
    };
    if (is("FactoryDefault")) return 1;
    if (is("UserDefined")) return 2;
    if (is("Unidentified")) return 3;
    return 0;
}

bool EncryptionNeeded(const OEMDEV* record, int copyProtectKind) {
    if (!record) return false;
    if (settings::GetNumber(*record, "nOutputMethod") == 3 || settings::GetNumber(*record, "bUserAuth") != 0 ||
        settings::GetNumber(*record, "bAccountTrack") != 0)
        return true;
    return (copyProtectKind == 2 || copyProtectKind == 3) && settings::GetNumber(*record, "bCopyProtect") == 1 &&
           settings::GetNumber(*record, "nCSE_CopyProtectOp") == 2;
}

bool StorePassphrase(const PasswordCipher& cipher, std::span<const BYTE> setting, BYTE* devOption) {
    namespace d = settings::devoption;
    if (!devOption || setting.size() < oapi::kEncryptionSettingSize) return false;
    BYTE plain[d::kPassphraseBytes] = {};
    const char* source = reinterpret_cast<const char*>(setting.data() + oapi::kEncPassphrase);
    const size_t n = strnlen(source, kPassphraseChars);
    std::memcpy(plain, source, n);
    BYTE enciphered[d::kPassphraseBytes] = {};
    const size_t length =
        cipher.EncipherText(std::string_view(reinterpret_cast<const char*>(plain), n), enciphered, sizeof enciphered);
    SecureZeroMemory(plain, sizeof plain);
    std::memcpy(devOption + d::kPassphrase, enciphered, sizeof enciphered);
    PutLE16(devOption + d::kPassphraseLength, static_cast<uint16_t>(length));
    devOption[d::kPassphraseStored] = (length > 0 && KeyKindOf(setting) == 2) ? 1 : 0;
    SecureZeroMemory(enciphered, sizeof enciphered);
    return length > 0;
}

JobCredentials::~JobCredentials() {
    Wipe(&user);
    Wipe(&password);
    Wipe(&account);
    Wipe(&accountPassword);
}

OapiLoginRecord JobCredentials::Record() const {
    return OapiLoginRecord{kind, user.c_str(), password.c_str(), account.c_str(), accountPassword.c_str(), server, ""};
}

void CredentialsFrom(const PasswordCipher& cipher, const OEMDEV& record, JobCredentials* out, bool middleServer) {
    namespace at = oemdev_user;
    const bool userAuth = middleServer ? record.bytes[at::kMiddleServerMode] != kMiddleServerPublicUser
                                       : settings::GetNumber(record, "bUserAuth") != 0;
    const bool accountTrack = settings::GetNumber(record, "bAccountTrack") != 0;
    out->kind = 0;
    out->server = middleServer ? MiddleServerNumberOf(record) : 0;
    if (userAuth) {
        out->user = Utf8FromW(FieldText(record, at::kUserName, kUserNameChars));
        if (!out->user.empty()) {
            out->kind = 2;
            out->password = PasswordOf(cipher, record, at::kUserPass, sizeof(UserSettingsRecord::userPass),
                                       at::kUserPassLength);
        }
    }
    if (accountTrack) {
        out->account = Utf8FromW(FieldText(record, at::kDepartmentName, kDepartmentNameChars));
        out->accountPassword = PasswordOf(cipher, record, at::kDepartmentPass,
                                          sizeof(UserSettingsRecord::departmentPass), at::kDepartmentPassLength);
    }
}

DWORD DocumentEventCreateDC(const JobStartRequest& request) {
    return CheckDevice(request, false, true);
}

DWORD PrintStartGetAuthCapability(const JobStartRequest& request) {
    return CheckDevice(request, true, false);
}

namespace {

// The connection, the middle server step and the login of a verification; the
// step's connection stays with the caller for what follows.  False when the
// device was not prepared (configuration, access or capability failed).
bool VerifyLogin(const JobStartRequest& r, StepConnection& sc, const PasswordCipher& cipher, VerifyResult* result) {
    result->code = Prepare(sc, r.shared);
    if (result->code != oapi::kOk) {
        if (result->code == oapi::kRefusedWithDetail) result->detail = sc.c->detail;
        return false;
    }
    const int authType = AuthTypeOf(sc.c->capability);
    result->middleServer = MiddleServerRenewalApplies(authType, r.externalServerDone,
                                                      ModelSupportsMiddleServer(model::Loaded().tables.record));
    if (result->middleServer) result->renewed = RenewMiddleServerSetting(sc.c, r.printer) == Renewal::Renewed;
    {
        JobCredentials credentials;
        if (r.record)
            CredentialsFrom(cipher, *r.record, &credentials, result->middleServer || r.middleServerChoice);
        if (result->middleServer && credentials.server == 0)
            credentials.server =
                static_cast<uint16_t>(MiddleServerInfoOf(ReadMiddleServerStored(r.printer).interimUi).serverNumber);
        const OapiLoginRecord login = credentials.Record();
        result->code = Login(sc.c, &login, nullptr, 0, 0, 0);
    }
    if (result->code == oapi::kRefusedWithDetail) result->detail = sc.c->detail;
    return true;
}

}  // namespace

VerifyResult PrintStartVerify(const JobStartRequest& r) {
    VerifyResult result;
    const JobStartModel model = ModelJobStart();
    const WString name = NameOf(r);
    if (!model::Loaded().host.library || name.empty() || model.apiVersion <= 0) return result;
    const DeviceAddress address = AddressOf(name, r.devOption);
    if (address.code != 0) return result;
    BusyScope busy(r.printer);
    AccessWarmUp();
    StepConnection sc(address.text, model.apiVersion, r.shared);
    if (!sc.c) return result;
    const PasswordCipher& cipher = PrinterPasswordCipher(r.printer);
    if (!VerifyLogin(r, sc, cipher, &result)) return result;
    if (result.code == oapi::kOk && model.closeVerifyLogin) Logout(sc.c);
    if (EncryptionNeeded(r.record, model.copyProtectKind) && model.encryptionAllowed && address.network && r.devOption) {
        BYTE setting[oapi::kEncryptionSettingSize] = {};
        const DWORD code = sc.c->loggedIn ? GetPrinterEncryptionSettingForDriver(sc.c, 0, setting, sizeof setting)
                                          : GetPrinterEncryptionSetting(sc.c, setting, sizeof setting);
        if (code == oapi::kOk) result.passphraseStored = StorePassphrase(cipher, setting, r.devOption);
        SecureZeroMemory(setting, sizeof setting);
    }
    return result;
}

VerifyResult VerifyCredentials(const JobStartRequest& r) {
    VerifyResult result;
    const JobStartModel model = ModelJobStart();
    const WString name = NameOf(r);
    if (!model::Loaded().host.library || name.empty() || model.apiVersion <= 0) return result;
    const DeviceAddress address = AddressOf(name, r.devOption);
    if (address.code != 0) return result;
    BusyScope busy(r.printer);
    AccessWarmUp();
    StepConnection sc(address.text, model.apiVersion, r.shared);
    if (!sc.c) return result;
    VerifyLogin(r, sc, PrinterPasswordCipher(r.printer), &result);
    if (sc.c->loggedIn) Logout(sc.c);
    return result;
}

bool PrintStartGetEncryptionKey(const JobStartRequest& r) {
    const JobStartModel model = ModelJobStart();
    const WString name = NameOf(r);
    if (!model::Loaded().host.library || name.empty() || model.apiVersion <= 0 || !r.devOption) return false;
    if (!EncryptionNeeded(r.record, model.copyProtectKind) || !model.encryptionAllowed) return false;
    const DeviceAddress address = AddressOf(name, r.devOption);
    if (address.code != 0 || !address.network) return false;
    BusyScope busy(r.printer);
    AccessWarmUp();
    StepConnection sc(address.text, model.apiVersion, r.shared);
    if (Prepare(sc, r.shared) != oapi::kOk) return false;
    const PasswordCipher& cipher = PrinterPasswordCipher(r.printer);
    if (!sc.c->loggedIn) {
        JobCredentials credentials;
        if (r.record) CredentialsFrom(cipher, *r.record, &credentials);
        const OapiLoginRecord login = credentials.Record();
        Login(sc.c, &login, nullptr, 0, 0, 0);
    }
    BYTE setting[oapi::kEncryptionSettingSize] = {};
    const DWORD code = sc.c->loggedIn ? GetPrinterEncryptionSettingForDriver(sc.c, 0, setting, sizeof setting)
                                      : GetPrinterEncryptionSetting(sc.c, setting, sizeof setting);
    const bool stored = code == oapi::kOk && StorePassphrase(cipher, setting, r.devOption);
    SecureZeroMemory(setting, sizeof setting);
    return stored;
}

DWORD PrintStartIsCommunicate(const JobStartRequest& r, int32_t* authType) {
    if (authType) *authType = 0;
    const JobStartModel model = ModelJobStart();
    const WString name = NameOf(r);
    if (!model::Loaded().host.library || name.empty() || model.apiVersion <= 0) return kJobNoConnection;
    const DeviceAddress address = AddressOf(name, r.devOption);
    if (address.code != 0) return kJobNoConnection;
    BusyScope busy(r.printer);
    StepConnection sc(address.text, model.apiVersion, r.shared);
    const DWORD code = Prepare(sc, r.shared);
    if (code == oapi::kOk && authType) *authType = AuthTypeOf(sc.c->capability);
    return code;
}

namespace {

// The largest integrity token the sign-on record takes.
constexpr ULONG kMaxSignOnSignature = 1024;

// The Kerberos side of one sign-on: credentials and a context, freed when it goes.
class KerberosContext {
public:
    KerberosContext() : table_(InitSecurityInterfaceW()) {}
    ~KerberosContext() {
        if (!table_) return;
        if (haveContext_ && table_->DeleteSecurityContext) table_->DeleteSecurityContext(&context_);
        if (haveCredentials_ && table_->FreeCredentialsHandle) table_->FreeCredentialsHandle(&credentials_);
    }
    KerberosContext(const KerberosContext&) = delete;
    KerberosContext& operator=(const KerberosContext&) = delete;

    SECURITY_STATUS Acquire() {
        if (!table_ || !table_->AcquireCredentialsHandleW) return SEC_E_SECPKG_NOT_FOUND;
        WString package = WFromUtf8("Kerberos");
        TimeStamp expiry{};
        const SECURITY_STATUS s = table_->AcquireCredentialsHandleW(nullptr, package.data(), SECPKG_CRED_OUTBOUND,
                                                                     nullptr, nullptr, nullptr, nullptr,
                                                                     &credentials_, &expiry);
        haveCredentials_ = s == SEC_E_OK;
        return s;
    }
    // One step: the answer token in (none for the first), the next token out.
    SECURITY_STATUS Step(const std::string& target, std::span<const BYTE> in, std::vector<BYTE>* out) {
        if (!table_ || !table_->InitializeSecurityContextW || !haveCredentials_) return SEC_E_INTERNAL_ERROR;
        WString name = WFromUtf8(target);
        SecBuffer inBuffer{static_cast<ULONG>(in.size()), SECBUFFER_TOKEN, const_cast<BYTE*>(in.data())};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 1, &inBuffer};
        SecBuffer outBuffer{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &outBuffer};
        ULONG attributes = 0;
        TimeStamp expiry{};
        const ULONG request = ISC_REQ_MUTUAL_AUTH | ISC_REQ_REPLAY_DETECT | ISC_REQ_SEQUENCE_DETECT |
                              ISC_REQ_CONFIDENTIALITY | ISC_REQ_INTEGRITY | ISC_REQ_ALLOCATE_MEMORY;
        const SECURITY_STATUS s = table_->InitializeSecurityContextW(
            &credentials_, haveContext_ ? &context_ : nullptr, name.data(), request, 0, SECURITY_NATIVE_DREP,
            haveContext_ ? &inDesc : nullptr, 0, &context_, &outDesc, &attributes, &expiry);
        if (s == SEC_E_OK || s == SEC_I_CONTINUE_NEEDED) haveContext_ = true;
        out->clear();
        if (outBuffer.pvBuffer) {
            const BYTE* p = static_cast<const BYTE*>(outBuffer.pvBuffer);
            out->assign(p, p + outBuffer.cbBuffer);
            if (table_->FreeContextBuffer) table_->FreeContextBuffer(outBuffer.pvBuffer);
        }
        return s;
    }

    // The sign-on record of the established context: its user name (the
    // identifier) and its integrity token over that name.
    SECURITY_STATUS Record(SignOnRecord* out) {
        if (!table_ || !table_->QueryContextAttributesW || !table_->MakeSignature || !haveContext_)
            return SEC_E_UNSUPPORTED_FUNCTION;
        SecPkgContext_Sizes sizes{};
        SECURITY_STATUS s = table_->QueryContextAttributesW(&context_, SECPKG_ATTR_SIZES, &sizes);
        if (s != SEC_E_OK) return s;
        if (sizes.cbMaxSignature == 0 || sizes.cbMaxSignature > kMaxSignOnSignature) return SEC_E_INTERNAL_ERROR;
        SecPkgContext_NamesW names{};
        s = table_->QueryContextAttributesW(&context_, SECPKG_ATTR_NAMES, &names);
        if (s != SEC_E_OK) return s;
        out->contextId = names.sUserName ? Utf8FromW(names.sUserName) : std::string();
        if (names.sUserName && table_->FreeContextBuffer) table_->FreeContextBuffer(names.sUserName);
        if (out->contextId.empty()) return SEC_E_INTERNAL_ERROR;
        out->micToken.assign(sizes.cbMaxSignature, 0);
        SecBuffer buffers[2] = {{static_cast<ULONG>(out->contextId.size()), SECBUFFER_DATA, out->contextId.data()},
                                {sizes.cbMaxSignature, SECBUFFER_TOKEN, out->micToken.data()}};
        SecBufferDesc desc{SECBUFFER_VERSION, 2, buffers};
        s = table_->MakeSignature(&context_, 0, &desc, 0);
        if (s != SEC_E_OK) return s;
        out->micToken.resize(std::min<size_t>(buffers[1].cbBuffer, out->micToken.size()));
        return SEC_E_OK;
    }

private:
    PSecurityFunctionTableW table_;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false;
    bool haveContext_ = false;
};

// The user's DNS domain, empty when there is none.
std::string UserDomain() {
    WCHAR name[512] = {};
    ULONG size = sizeof name / sizeof name[0];
    if (!GetUserNameExW(NameDnsDomain, name, &size)) return {};
    return DomainOfDnsName(Utf8FromW(WStringView(name, size < 512 ? size : 511)));
}

// The sign-on host name kept with the device information (a printer whose port
// is not a network one); zeros when none is kept.
void StoredSignOnHost(HANDLE printer, BYTE (&host)[oapi::kConfCachedSize]) {
    std::memset(host, 0, sizeof host);
    model::RegKey key;
    if (OpenDeviceInfoKey(printer, &key, false) != ERROR_SUCCESS) return;
    DeviceInfoCache cache(model::ValueStore::OfKey(key.get()), PrinterBinaryCipher(printer));
    std::optional<std::vector<BYTE>> conf = cache.Read(info::Value::Configuration);
    if (conf && conf->size() >= oapi::kConfCached + oapi::kConfCachedSize)
        std::memcpy(host, conf->data() + oapi::kConfCached, sizeof host);
}

}  // namespace

SignOnResult PrintStartSignOn(const JobStartRequest& r, int32_t state) {
    SignOnResult result;
    result.state = state;
    const JobStartModel model = ModelJobStart();
    const WString name = NameOf(r);
    if (!model::Loaded().host.library || name.empty() || model.apiVersion <= 0) {
        result.state = kSignOnNotPossible;
        return result;
    }
    const DeviceAddress address = AddressOf(name, r.devOption);
    if (address.code != 0) {
        result.state = kSignOnNotPossible;
        return result;
    }
    BusyScope busy(r.printer);
    StepConnection sc(address.text, model.apiVersion, r.shared);
    if (!sc.c || CheckConfiguration(sc.c, r.shared) != oapi::kOk) {
        result.state = kSignOnNotPossible;
        return result;
    }
    // The configuration summary is kept as soon as the device answered it, when the
    // shared cache already holds the capability it names; otherwise once the sign-on's
    // own check has brought the capability (a summary without it would name no
    // authentication type and replace a good one).
    bool summaryKept = false;
    if (AuthTypeOf(sc.c->capability) != 0) {
        KeepConfigurationSummary(r.printer, address.text, sc.c, model.apiVersion);
        summaryKept = true;
    }
    BYTE host[oapi::kConfCachedSize];
    if (address.network) std::memcpy(host, sc.c->configuration + oapi::kConfCached, sizeof host);
    else StoredSignOnHost(r.printer, host);
    host[sizeof host - 1] = 0;
    std::span<const BYTE> service(sc.c->configuration + oapi::kConfSignOnData, oapi::kConfSignOnDataSize);
    const std::optional<std::string> target = ServicePrincipalName(service, host, UserDomain());
    if (!target) {
        result.state = kSignOnNotPossible;
        return result;
    }
    // A failed sign-on leaves no record of an earlier one.
    auto fail = [&](SECURITY_STATUS status) {
        ClearSignOnRecord(r.printer);
        result.state = kSignOnFailed;
        result.status = status;
        return result;
    };
    KerberosContext kerberos;
    if (SECURITY_STATUS s = kerberos.Acquire(); s != SEC_E_OK) return fail(s);
    std::vector<BYTE> token;
    SECURITY_STATUS s = kerberos.Step(*target, {}, &token);
    if ((s != SEC_E_OK && s != SEC_I_CONTINUE_NEEDED) || token.empty()) return fail(s);
    const std::vector<BYTE> ticket = token;
    if (state != kSignOnNoExchange) {
        std::optional<std::string> request = EncodeSignOnToken(token);
        if (!request) return fail(SEC_E_BUFFER_TOO_SMALL);
        std::vector<char> answer(oapi::kSignOnTokenSize, 0);
        if (InitAccess(sc.c) != oapi::kOk ||
            GetSingleSignOnInfo(sc.c, request->c_str(), answer.data(), answer.size()) != oapi::kOk)
            return fail(SEC_E_NO_AUTHENTICATING_AUTHORITY);
        std::optional<std::vector<BYTE>> reply = DecodeSignOnAnswer(answer.data(), answer.size());
        if (!reply) return fail(SEC_E_INVALID_TOKEN);
        s = kerberos.Step(*target, *reply, &token);
        if (s != SEC_E_OK) return fail(s);
        SignOnRecord record;
        s = kerberos.Record(&record);
        if (s != SEC_E_OK) return fail(s);
        const bool stored = StoreSignOnRecord(r.printer, record);
        SecureZeroMemory(record.micToken.data(), record.micToken.size());
        if (!stored) return fail(SEC_E_INTERNAL_ERROR);
    }
    // The sign-on login, then the capability the job runs under.
    if (PrepareConnection(sc.c, r.shared) != oapi::kOk ||
        Login(sc.c, nullptr, ticket.data(), static_cast<DWORD>(ticket.size()), 0, 0) != oapi::kOk)
        return fail(SEC_E_LOGON_DENIED);
    if (!summaryKept) KeepConfigurationSummary(r.printer, address.text, sc.c, model.apiVersion);
    result.authType = AuthTypeOf(sc.c->capability);
    result.result = 1;
    result.state = 0;
    return result;
}

FARPROC AlternativeFunction(const char* exportName) {
    HMODULE host = model::Loaded().host.library;
    if (!host || !exportName) return nullptr;
    std::string name = exportName;
    if (name.rfind("Bidi_", 0) == 0) name.erase(0, 5);
    name = "Alt_" + name;
    return GetProcAddress(host, name.c_str());
}

}  // namespace nvx::device
