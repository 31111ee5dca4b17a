// NOVRIX_O.DLL: the 25 functions of the device-API component, answering from the
// device profiles.  Each function checks its arguments, then runs as one device
// call (device_call.h); no exception leaves the library.
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>

#include "block_writer.h"
#include "device/oapi.h"
#include "device_call.h"
#include "device_login.h"
#include "device_profile.h"
#include "remote_call.h"
#include "sign_on_acceptor.h"

#ifdef _WIN32
#define NVXO_API extern "C"
#else
#define NVXO_API extern "C" __attribute__((visibility("default")))
#endif

using namespace nvxo;
static_assert(kCodeOk == nvx::oapi::kOk && kCodeNoAnswer == nvx::oapi::kNoAnswer &&
              kCodeBadParameter == nvx::oapi::kBadParameter && kCodeBusy == nvx::oapi::kBusy);
namespace o = nvx::oapi;

namespace {

// Runs an entry point's body; an exception (memory) answers "busy".
template <typename F>
auto Guarded(F&& body, decltype(body()) onException) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return onException;
    }
}

bool ValidAddress(const char* address) {
    if (!address) return false;
    size_t n = strnlen(address, o::kAddressSize);
    return n > 0 && n <= o::kAddressMax;
}

bool ValidVersion(double version) { return std::isfinite(version) && version > 0; }

// ---- Calls to a device in the simulator ----

// Forwards a call on a session that lives in the simulator; the output block
// (outSize bytes) is copied to out only when the call succeeded.  Nothing when
// the session is answered here (or unknown: the local path answers that).
std::optional<uint32_t> ForwardOnSession(const char* function, OAPIHANDLE handle, json request, BYTE* out,
                                         size_t outSize) {
    std::optional<Session> session = FindSession(handle);
    if (!session || !session->remote) return std::nullopt;
    request["fn"] = function;
    request["handle"] = session->remoteHandle;
    if (outSize) request["outSize"] = outSize;
    RemoteAnswer answer = CallRemote(*session->remote, request, outSize);
    if (answer.code == o::kOk && outSize) std::memcpy(out, answer.out.data(), outSize);
    return answer.code;
}

// The same for a call addressed to a device by its address.
std::optional<RemoteAnswer> ForwardAtAddress(const char* function, const char* address, json request, BYTE* out,
                                             size_t outSize) {
    std::optional<Remote> remote = RemoteFor(address);
    if (!remote) return std::nullopt;
    request["fn"] = function;
    request["address"] = address;
    if (outSize) request["outSize"] = outSize;
    RemoteAnswer answer = CallRemote(*remote, request, outSize);
    if (answer.code == o::kOk && outSize) std::memcpy(out, answer.out.data(), outSize);
    return answer;
}


const json* Blocks(const Profile& p, const char* kind) { return Member(Member(&p.doc, "blocks"), kind); }

// Zeroes a block and writes a record description into it.
Answer Record(const json* description, const Layout& layout, BYTE* out, size_t size) {
    std::memset(out, 0, size);
    WriteRecord(description, layout, out, size);
    return {};
}

// Zeroes a list block and writes entries [first, first + max) into it.
Answer List(const json* entries, const Layout& layout, size_t entrySize, size_t first, size_t max, BYTE* out,
            size_t size) {
    std::memset(out, 0, size);
    WriteList(entries, layout, entrySize, first, max, out, size);
    return {};
}

// Speed dials and the user's boxes need a login when the device authenticates users.
bool NeedsLogin(const Profile& p, const Session& s) { return AuthenticationType(p) != "None" && !s.loggedIn; }

struct FileKind {
    DWORD kind;
    const char* block;
    const Layout* layout;
    size_t entries;
    size_t entrySize;
};
constexpr FileKind kFileKinds[] = {
    {o::kFileTintBlock, "fileInfo.6", &kTintBlockEntryLayout, o::kTintBlockEntries, o::kTintBlockEntrySize},
    {o::kFileHeaderFooter, "fileInfo.8", &kHeaderFooterEntryLayout, o::kHeaderFooterEntries,
     o::kHeaderFooterEntrySize},
    {o::kFileOverlay, "fileInfo.9", &kOverlayEntryLayout, o::kOverlayEntries, o::kOverlayEntrySize},
};

// Both file information calls: the list of a kind, at most the kind's count.
uint32_t FileInfo(const char* function, OAPIHANDLE handle, DWORD kind, const OapiFileInfoRequest* request,
                  BYTE* buffer, bool forDriver) {
    const FileKind* k = nullptr;
    for (const FileKind& f : kFileKinds) {
        if (f.kind == kind) k = &f;
    }
    if (!k || !request || !buffer || request->version != 1) return o::kBadParameter;
    size_t count = request->count < k->entries ? request->count : k->entries;
    json wire = {{"v", {kind, request->reserved0, request->version, request->count, request->reserved1}}};
    if (auto code = ForwardOnSession(function, handle, wire, buffer, o::kListHeaderSize + count * k->entrySize))
        return *code;
    return CallOnSession(function, handle, [&](const Profile& p, Session& s) -> Answer {
        if (forDriver && !s.loggedIn) return {o::kNotLoggedIn, {}};
        return List(Blocks(p, k->block), *k->layout, k->entrySize, 0, count, buffer,
                    o::kListHeaderSize + count * k->entrySize);
    });
}

uint32_t PermanentSetting(const char* function, OAPIHANDLE handle, DWORD settingClass, BYTE* buffer,
                          bool forDriver) {
    if (!buffer || settingClass != o::kPermanentColourProfile) return o::kBadParameter;
    if (auto code = ForwardOnSession(function, handle, {{"v", {settingClass}}}, buffer, o::kPermanentSettingSize))
        return *code;
    return CallOnSession(function, handle, [&](const Profile& p, Session& s) -> Answer {
        if (forDriver && !s.loggedIn) return {o::kNotLoggedIn, {}};
        return Record(Blocks(p, "permanent.5"), kNoLayout, buffer, o::kPermanentSettingSize);
    });
}

uint32_t EncryptionSetting(const char* function, OAPIHANDLE handle, BYTE* buffer, bool forDriver) {
    if (!buffer) return o::kBadParameter;
    if (auto code = ForwardOnSession(function, handle, json::object(), buffer, o::kEncryptionSettingSize)) return *code;
    return CallOnSession(function, handle, [&](const Profile& p, Session& s) -> Answer {
        if (forDriver && !s.loggedIn) return {o::kNotLoggedIn, {}};
        const json* encryption = Member(&p.doc, "encryption");
        if (!encryption) return {o::kNotSupported, {}};
        return Record(encryption, kEncryptionLayout, buffer, o::kEncryptionSettingSize);
    });
}

// Calls the device does not offer to this driver.
uint32_t NotOffered(const char* function, OAPIHANDLE handle, const BYTE* buffer) {
    if (!buffer) return o::kBadParameter;
    if (auto code = ForwardOnSession(function, handle, json::object(), nullptr, 0)) return *code;
    return CallOnSession(function, handle, [](const Profile&, Session&) -> Answer { return {o::kNotSupported, {}}; });
}

}  // namespace

// ---- Access ----

NVXO_API void OAPIAccessWarmUp(void) { CallScope scope; }

NVXO_API DWORD OAPIConfigurationCheck(double apiVersion, double clientVersion, const char* address,
                                      BYTE* configuration) {
    if (!configuration || !ValidAddress(address) || !ValidVersion(apiVersion) || !ValidVersion(clientVersion))
        return o::kBadParameter;
    return Guarded([&] {
        json wire = {{"d", {apiVersion, clientVersion}}};
        if (auto a = ForwardAtAddress("OAPIConfigurationCheck", address, wire, configuration, o::kConfigurationSize))
            return a->code;
        return CallAtAddress("OAPIConfigurationCheck", address, [&](const Profile& p) {
            return Record(Member(&p.doc, "configuration"), kConfigurationLayout, configuration,
                          o::kConfigurationSize);
        });
    }, o::kBusy);
}

NVXO_API OAPIHANDLE OAPIAccessInit(double apiVersion, DWORD reserved1, DWORD reserved2, const char* address,
                                   WORD port, BYTE flag) {
    if (!ValidAddress(address) || !ValidVersion(apiVersion)) return 0;
    return Guarded([&] {
        OAPIHANDLE handle = 0;
        if (std::optional<Remote> remote = RemoteFor(address)) {
            json wire = {{"fn", "OAPIAccessInit"}, {"address", address}, {"d", {apiVersion}},
                         {"v", {reserved1, reserved2, port, flag}}};
            RemoteAnswer a = CallRemote(*remote, wire, 0);
            if (a.code != o::kOk || a.handle == 0) return OAPIHANDLE{0};
            return static_cast<OAPIHANDLE>(OpenRemoteSession(address, apiVersion, *remote, a.handle));
        }
        CallAtAddress("OAPIAccessInit", address, [&](const Profile& p) -> Answer {
            // The device listens on its configured port only.
            if (NumberOf(Member(Member(&p.doc, "configuration"), "port")) != port) return {o::kNoAnswer, {}};
            handle = OpenSession(address, apiVersion);
            return {};
        });
        return handle;
    }, OAPIHANDLE{0});
}

NVXO_API DWORD OAPIAccessEnd(OAPIHANDLE handle) {
    return Guarded([&]() -> DWORD {
        // A session in the simulator is ended there too; here it ends whatever the answer.
        if (auto code = ForwardOnSession("OAPIAccessEnd", handle, json::object(), nullptr, 0)) {
            EndSession(handle);
            return *code == o::kUnknownHandle ? o::kOk : *code;
        }
        CallScope scope;
        std::optional<Session> session = FindSession(handle);
        if (!session || !EndSession(handle)) return o::kUnknownHandle;
        if (std::optional<Profile> p = LoadProfile(session->address); p && !p->behaviour.logPath.empty())
            AppendLog(p->behaviour.logPath, "OAPIAccessEnd " + session->address + " 0" +
                                                (scope.Overlapped() ? " overlap" : ""));
        return o::kOk;
    }, o::kBusy);
}

NVXO_API DWORD OAPIGetErrorDetail(OAPIHANDLE handle, char* detail, DWORD detailSize) {
    if (!detail || detailSize == 0) return o::kBadParameter;
    detail[0] = '\0';
    return Guarded([&]() -> DWORD {
        std::vector<BYTE> text(detailSize, 0);
        if (auto code = ForwardOnSession("OAPIGetErrorDetail", handle, json::object(), text.data(), detailSize)) {
            if (*code == o::kOk) {
                text[detailSize - 1] = 0;
                std::memcpy(detail, text.data(), detailSize);
            }
            return *code;
        }
        CallScope scope;
        std::optional<Session> session = FindSession(handle);
        if (!session) return o::kUnknownHandle;
        size_t n = session->detail.size() < detailSize - 1 ? session->detail.size() : detailSize - 1;
        std::memcpy(detail, session->detail.data(), n);
        detail[n] = '\0';
        return o::kOk;
    }, o::kBusy);
}

// ---- Authentication ----

NVXO_API DWORD OAPIGetAuthCapability(OAPIHANDLE handle, BYTE* capability) {
    if (!capability) return o::kBadParameter;
    return Guarded([&] {
        if (auto code = ForwardOnSession("OAPIGetAuthCapability", handle, json::object(), capability,
                                         o::kCapabilitySize))
            return *code;
        return CallOnSession("OAPIGetAuthCapability", handle, [&](const Profile& p, Session&) {
            return Record(Member(&p.doc, "capability"), kCapabilityLayout, capability, o::kCapabilitySize);
        });
    }, o::kBusy);
}

NVXO_API DWORD OAPILogin(OAPIHANDLE handle, const OapiLoginRecord* record, const BYTE* ticket, DWORD ticketLength,
                         UINT_PTR passThrough1, UINT_PTR passThrough2) {
    if (!record && (!ticket || ticketLength == 0)) return o::kBadParameter;
    return Guarded([&] {
        json wire = {{"v", {record ? 1u : 0u, record ? record->kind : 0u, record ? record->serverNumber : 0u,
                            passThrough1, passThrough2}},
                     {"s", {record && record->userName ? record->userName : "",
                            record && record->password ? record->password : "",
                            record && record->accountName ? record->accountName : "",
                            record && record->accountPassword ? record->accountPassword : ""}},
                     {"in", ticket ? ToHex(ticket, ticketLength < kMaxWireBlock ? ticketLength : kMaxWireBlock)
                                   : std::string()}};
        if (auto code = ForwardOnSession("OAPILogin", handle, wire, nullptr, 0)) return *code;
        return CallOnSession("OAPILogin", handle, [&](const Profile& p, Session& s) {
            Answer answer = CheckLogin(p, record, ticket, ticketLength);
            s.loggedIn = answer.code == o::kOk;
            return answer;
        });
    }, o::kBusy);
}

NVXO_API DWORD OAPILogout(OAPIHANDLE handle) {
    return Guarded([&] {
        if (auto code = ForwardOnSession("OAPILogout", handle, json::object(), nullptr, 0)) return *code;
        return CallOnSession("OAPILogout", handle, [](const Profile&, Session& s) {
            s.loggedIn = false;
            return Answer{};
        });
    }, o::kBusy);
}

NVXO_API DWORD OAPIGetSingleSignOnInfo(OAPIHANDLE handle, const char* request, char* answer, DWORD answerSize) {
    if (!request || !*request || !answer || answerSize == 0) return o::kBadParameter;
    answer[0] = '\0';
    size_t capacity = answerSize < o::kSignOnTokenSize ? answerSize : o::kSignOnTokenSize;
    if (strnlen(request, o::kSignOnTokenSize) >= o::kSignOnTokenSize) return o::kBadParameter;
    return Guarded([&] {
        std::vector<BYTE> text(capacity, 0);
        if (auto code = ForwardOnSession("OAPIGetSingleSignOnInfo", handle, {{"s", {request}}}, text.data(), capacity)) {
            if (*code == o::kOk) {
                text[capacity - 1] = 0;
                std::memcpy(answer, text.data(), capacity);
            }
            return *code;
        }
        return CallOnSession("OAPIGetSingleSignOnInfo", handle, [&](const Profile& p, Session&) -> Answer {
            if (!SignOnEnabled(p)) return {o::kNotSupported, {}};
            // A device with a keytab accepts the Kerberos token itself.
            const std::string keytab = TextOf(Member(Member(&p.doc, "signOn"), "keytab"));
            if (!keytab.empty()) {
                std::string token;
                Answer accepted = AcceptSignOn(keytab, request, &token);
                if (accepted.code != o::kOk) return accepted;
                if (token.size() >= capacity) return {o::kBadParameter, {}};
                std::memcpy(answer, token.c_str(), token.size() + 1);
                return {};
            }
            std::string token = TextOf(Member(Member(&p.doc, "signOn"), "answer"));
            if (token.empty()) return {o::kRefusedWithDetail, "AuthServerAuthFailure"};
            if (token.size() >= capacity) return {o::kBadParameter, {}};
            std::memcpy(answer, token.c_str(), token.size() + 1);
            return {};
        });
    }, o::kBusy);
}

// ---- Device information ----

NVXO_API DWORD OAPIGetFileInfo(OAPIHANDLE handle, DWORD kind, const OapiFileInfoRequest* request, BYTE* buffer) {
    return Guarded([&] { return FileInfo("OAPIGetFileInfo", handle, kind, request, buffer, false); }, o::kBusy);
}

NVXO_API DWORD OAPIGetFileInfoForDriver(OAPIHANDLE handle, UINT_PTR request, DWORD kind,
                                        const OapiFileInfoRequest* fileRequest, BYTE* buffer) {
    return Guarded([&] { return FileInfo("OAPIGetFileInfoForDriver", handle, kind, fileRequest, buffer, true); },
                   o::kBusy);
}

NVXO_API DWORD OAPIGetDevicePermanentSetting(OAPIHANDLE handle, DWORD settingClass, BYTE* buffer) {
    return Guarded([&] { return PermanentSetting("OAPIGetDevicePermanentSetting", handle, settingClass, buffer, false); },
                   o::kBusy);
}

NVXO_API DWORD OAPIGetDevicePermanentSettingForDriver(OAPIHANDLE handle, UINT_PTR request, DWORD settingClass,
                                                      BYTE* buffer) {
    return Guarded(
        [&] { return PermanentSetting("OAPIGetDevicePermanentSettingForDriver", handle, settingClass, buffer, true); },
        o::kBusy);
}

NVXO_API DWORD OAPIGetPrinterEncryptionSetting(OAPIHANDLE handle, BYTE* buffer) {
    return Guarded([&] { return EncryptionSetting("OAPIGetPrinterEncryptionSetting", handle, buffer, false); },
                   o::kBusy);
}

NVXO_API DWORD OAPIGetPrinterEncryptionSettingForDriver(OAPIHANDLE handle, UINT_PTR request, BYTE* buffer) {
    return Guarded([&] { return EncryptionSetting("OAPIGetPrinterEncryptionSettingForDriver", handle, buffer, true); },
                   o::kBusy);
}

NVXO_API DWORD OAPIGetMiddleServerSetting(OAPIHANDLE handle, const char* languageCode, BYTE* buffer) {
    if (!buffer || !languageCode || strnlen(languageCode, o::kLanguageCodeMax + 1) > o::kLanguageCodeMax)
        return o::kBadParameter;
    return Guarded([&] {
        if (auto code = ForwardOnSession("OAPIGetMiddleServerSetting", handle, {{"s", {languageCode}}}, buffer,
                                         o::kMiddleServerSettingSize))
            return *code;
        return CallOnSession("OAPIGetMiddleServerSetting", handle, [&](const Profile& p, Session&) -> Answer {
            const json* block = Blocks(p, "middleServer");
            if (!block) return {o::kNotSupported, {}};
            return Record(block, kMiddleServerLayout, buffer, o::kMiddleServerSettingSize);
        });
    }, o::kBusy);
}

NVXO_API DWORD OAPIGetUserBoxList(OAPIHANDLE handle, UINT_PTR request, BYTE* buffer) {
    if (!buffer) return o::kBadParameter;
    return Guarded([&] {
        if (auto code = ForwardOnSession("OAPIGetUserBoxList", handle, {{"v", {request}}}, buffer, o::kUserBoxListSize))
            return *code;
        return CallOnSession("OAPIGetUserBoxList", handle, [&](const Profile& p, Session& s) -> Answer {
            if (!s.loggedIn) return {o::kNotLoggedIn, {}};
            return List(Blocks(p, "userBoxList"), kUserBoxEntryLayout, o::kUserBoxEntrySize, 0, o::kUserBoxEntries,
                        buffer, o::kUserBoxListSize);
        });
    }, o::kBusy);
}

// ---- Speed dials ----

NVXO_API DWORD OAPIGetAbbrConfiguration(OAPIHANDLE handle, DWORD selector, BYTE* buffer) {
    if (!buffer || selector != 0) return o::kBadParameter;
    return Guarded([&] {
        if (auto code = ForwardOnSession("OAPIGetAbbrConfiguration", handle, {{"v", {selector}}}, buffer,
                                         o::kAbbrConfigurationSize))
            return *code;
        return CallOnSession("OAPIGetAbbrConfiguration", handle, [&](const Profile& p, Session& s) -> Answer {
            if (NeedsLogin(p, s)) return {o::kNotLoggedIn, {}};
            std::memset(buffer, 0, o::kAbbrConfigurationSize);
            const json* entries = Blocks(p, "abbr");
            uint32_t count = entries && entries->is_array() ? static_cast<uint32_t>(entries->size()) : 0;
            for (int i = 0; i < 4; ++i) buffer[o::kAbbrConfCount + i] = static_cast<BYTE>(count >> (8 * i));
            WriteRecord(Blocks(p, "abbrConfiguration"), kAbbrConfigurationLayout, buffer, o::kAbbrConfigurationSize);
            return {};
        });
    }, o::kBusy);
}

NVXO_API DWORD OAPIGetAbbr(OAPIHANDLE handle, DWORD firstEntry, BYTE* page) {
    if (!page || firstEntry == 0) return o::kBadParameter;
    if (std::memcmp(page, o::kAbbrRequestTag, o::kAbbrRequestTagSize) != 0) return o::kBadParameter;
    return Guarded([&] {
        json wire = {{"v", {firstEntry}}, {"in", ToHex(page, o::kAbbrRequestTagSize)}};
        if (auto code = ForwardOnSession("OAPIGetAbbr", handle, wire, page, o::kAbbrPageSize)) return *code;
        return CallOnSession("OAPIGetAbbr", handle, [&](const Profile& p, Session& s) -> Answer {
            if (NeedsLogin(p, s)) return {o::kNotLoggedIn, {}};
            return List(Blocks(p, "abbr"), kAbbrEntryLayout, o::kAbbrEntrySize, firstEntry - 1, o::kAbbrPageEntries,
                        page, o::kAbbrPageSize);
        });
    }, o::kBusy);
}

// ---- Wake-up ----

NVXO_API DWORD OAPIWakeUpDevice(const char* address) {
    if (!ValidAddress(address)) return o::kBadParameter;
    return Guarded([&] {
        if (auto a = ForwardAtAddress("OAPIWakeUpDevice", address, json::object(), nullptr, 0)) return a->code;
        return CallAtAddress("OAPIWakeUpDevice", address, [](const Profile&) { return Answer{}; });
    }, o::kBusy);
}

// ---- Present for the interface, not offered to this driver ----

NVXO_API DWORD OAPIGetDeviceInfo(OAPIHANDLE handle, BYTE* buffer, DWORD size) {
    return Guarded([&] { return NotOffered("OAPIGetDeviceInfo", handle, buffer); }, o::kBusy);
}

NVXO_API DWORD OAPIGetDeviceInfoDetail(OAPIHANDLE handle, BYTE* buffer, DWORD size) {
    return Guarded([&] { return NotOffered("OAPIGetDeviceInfoDetail", handle, buffer); }, o::kBusy);
}

NVXO_API DWORD OAPIGetJobList(OAPIHANDLE handle, BYTE* buffer, DWORD size) {
    return Guarded([&] { return NotOffered("OAPIGetJobList", handle, buffer); }, o::kBusy);
}

NVXO_API DWORD OAPIGetJobJournalList(OAPIHANDLE handle, BYTE* buffer, DWORD size) {
    return Guarded([&] { return NotOffered("OAPIGetJobJournalList", handle, buffer); }, o::kBusy);
}

NVXO_API DWORD OAPIGetGammaCorrectionTableForDriver(OAPIHANDLE handle, UINT_PTR request, BYTE* buffer, DWORD size) {
    return Guarded([&] { return NotOffered("OAPIGetGammaCorrectionTableForDriver", handle, buffer); }, o::kBusy);
}

// The signatures above are the interface's: a mismatch with oapi.h fails here.
#define NVXO_CHECK_SIGNATURE(name) static_assert(std::is_same_v<decltype(&name), PFN_##name>, #name);
NVX_OAPI_FUNCTIONS(NVXO_CHECK_SIGNATURE)
#undef NVXO_CHECK_SIGNATURE

// ---- The device's installed options (the host driver UI's status channel) ----
//
// Not one of the 25 functions the module links: the host stand-in (NOVRIX_D.DLL)
// asks it for the option state that a real host reads from the device's network
// status.  It answers the profile's "options" object, {"OpStaplerUnit": 0, ...},
// as lines "KEY=VALUE\n" in text (NUL-terminated, at most size - 1 bytes; lines
// that do not fit whole are left out), or over the network from the simulator like
// every other call (function name "DeviceInstalledOptions", a block of
// kInstalledOptionsBlock bytes).  Code 7 when the device reports no options.
NVXO_API DWORD NvxDevice_GetInstalledOptions(const char* address, char* text, DWORD size) {
    if (!ValidAddress(address) || !text || size == 0) return o::kBadParameter;
    text[0] = '\0';
    return Guarded([&]() -> DWORD {
        std::vector<BYTE> block(kInstalledOptionsBlock, 0);
        std::string lines;
        if (auto a = ForwardAtAddress("DeviceInstalledOptions", address, json::object(), block.data(), block.size())) {
            if (a->code != o::kOk) return a->code;
            block.back() = 0;
            lines = reinterpret_cast<const char*>(block.data());
        } else {
            uint32_t code = CallAtAddress("DeviceInstalledOptions", address, [&](const Profile& p) -> Answer {
                const json* options = Member(&p.doc, "options");
                if (!options || !options->is_object()) return {o::kNotSupported, {}};
                for (const auto& [key, value] : options->items()) {
                    if (!value.is_number_unsigned() || value.get<uint64_t>() > 0xFFFF || key.empty() ||
                        key.find_first_of("=\n") != std::string::npos)
                        continue;
                    lines += key + "=" + std::to_string(value.get<uint64_t>()) + "\n";
                }
                return {};
            });
            if (code != o::kOk) return code;
        }
        // Whole lines only, within the caller's buffer.
        size_t n = 0;
        for (size_t end; (end = lines.find('\n', n)) != std::string::npos && end + 2 <= size;) n = end + 1;
        std::memcpy(text, lines.data(), n);
        text[n] = '\0';
        return o::kOk;
    }, o::kBusy);
}
