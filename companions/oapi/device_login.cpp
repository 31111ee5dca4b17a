// Login checks of a simulated device.
#include "device_login.h"

#include <cstring>
#include <string>

namespace nvxo {
namespace {

namespace o = nvx::oapi;

constexpr size_t kMaxCredential = 1024;  // longer texts are refused, never read further

// A credential text of the record; false when it runs past kMaxCredential.
bool Credential(const char* text, std::string& out) {
    if (!text) {
        out.clear();
        return true;
    }
    size_t n = strnlen(text, kMaxCredential + 1);
    if (n > kMaxCredential) return false;
    out.assign(text, n);
    return true;
}

// The entry of `list` (an array of objects) whose "name" is `name`, or null.
const json* FindByName(const json* list, const std::string& name) {
    if (!list || !list->is_array()) return nullptr;
    for (const json& entry : *list) {
        if (TextOf(Member(&entry, "name")) == name) return &entry;
    }
    return nullptr;
}

bool Disabled(const json* entry) { return NumberOf(Member(entry, "enabled"), 1) == 0; }

// The user part of a login.
Answer CheckUser(const Profile& p, uint32_t kind, const std::string& user, const std::string& password) {
    if (AuthenticationType(p) == "None") return {};
    const json* capability = Member(&p.doc, "capability");
    if (kind == 0) {
        if (NumberOf(Member(capability, "publicUser")) == 1) return {};
        return {o::kRefusedWithDetail, "AuthAccessDenied"};
    }
    const json* entry = FindByName(Member(&p.doc, "users"), user);
    if (!entry || user.empty()) return {o::kRefusedWithDetail, "AuthIllegalAccount"};
    if (Disabled(entry)) return {o::kRefusedWithDetail, "AuthAccessDenied"};
    if (TextOf(Member(entry, "password")) != password) return {o::kRefusedWithDetail, "AuthIllegalPassword"};
    return {};
}

// Whether a login record goes to the middle server: the device authenticates
// through one ("MiddleServer"), or through its external server when the record
// names a server ("DeviceAndExtServer").
bool ThroughMiddleServer(const Profile& p, const OapiLoginRecord& record) {
    const std::string type = AuthenticationType(p);
    return type == "MiddleServer" || (type == "DeviceAndExtServer" && record.serverNumber != 0);
}

// The user part of a login through the middle server (profile member
// "middleServer": its number, state, public user and users).
Answer CheckMiddleServerUser(const Profile& p, const OapiLoginRecord& record, const std::string& user,
                             const std::string& password) {
    const json* server = Member(&p.doc, "middleServer");
    if (!server) return {o::kRefusedWithDetail, "AuthServerSettingError"};
    const uint64_t number = NumberOf(Member(server, "number"), 1);
    if (number != record.serverNumber) return {o::kRefusedWithDetail, "AuthServerSettingError"};
    const std::string state = TextOf(Member(server, "state"), "up");
    if (state == "down") return {o::kRefusedWithDetail, "AuthServerNotFound"};
    if (state == "dns") return {o::kRefusedWithDetail, "AuthDnsServerError"};
    if (state == "busy") return {o::kRefusedWithDetail, "AuthServerBusy"};
    if (state == "error") return {o::kRefusedWithDetail, "AuthServerError"};
    if (record.kind == 0) {
        if (NumberOf(Member(server, "publicUser")) == 1) return {};
        return {o::kRefusedWithDetail, "AuthAccessDenied"};
    }
    const json* entry = FindByName(Member(server, "users"), user);
    if (!entry || user.empty()) return {o::kRefusedWithDetail, "AuthIllegalAccount"};
    if (Disabled(entry)) return {o::kRefusedWithDetail, "AuthAccessDenied"};
    if (TextOf(Member(entry, "password")) != password) return {o::kRefusedWithDetail, "AuthServerAuthFailure"};
    return {};
}

// The account track part of a login.
Answer CheckAccount(const Profile& p, const std::string& account, const std::string& password) {
    std::string track = TextOf(Member(Member(&p.doc, "capability"), "accountTrackType"), "None");
    // "None" counts nothing; "OnWithUserAuthentication" counts by the logged-in user.
    if (track == "None" || track.empty() || track == "OnWithUserAuthentication") return {};
    const json* entry = FindByName(Member(&p.doc, "accounts"), account);
    if (!entry || account.empty()) return {o::kRefusedWithDetail, "AuthNotFoundTrack"};
    if (Disabled(entry)) return {o::kRefusedWithDetail, "AuthAccessDeniedTrack"};
    const json* expected = Member(entry, "password");
    if (expected && TextOf(expected) != password) return {o::kRefusedWithDetail, "AuthIllegalPasswordTrack"};
    return {};
}

}  // namespace

bool SignOnEnabled(const Profile& profile) {
    return !TextOf(Member(Member(&profile.doc, "configuration"), "signOnData")).empty();
}

std::string AuthenticationType(const Profile& profile) {
    return TextOf(Member(Member(&profile.doc, "capability"), "authenticationType"), "None");
}

Answer CheckLogin(const Profile& p, const OapiLoginRecord* record, const uint8_t* ticket, uint32_t ticketLength) {
    if (p.behaviour.refuseLogin) return {o::kRefusedWithDetail, p.behaviour.refuseDetail};
    if (ticket && ticketLength > 0) {
        if (SignOnEnabled(p)) return {};
        return {o::kRefusedWithDetail, "AuthNotAllowedAuthSetting"};
    }
    if (!record || (record->kind != 0 && record->kind != 2)) return {o::kBadParameter, {}};
    std::string user, password, account, accountPassword;
    if (!Credential(record->userName, user) || !Credential(record->password, password) ||
        !Credential(record->accountName, account) || !Credential(record->accountPassword, accountPassword))
        return {o::kBadParameter, {}};
    Answer answer = ThroughMiddleServer(p, *record) ? CheckMiddleServerUser(p, *record, user, password)
                                                    : CheckUser(p, record->kind, user, password);
    if (answer.code == o::kOk) answer = CheckAccount(p, account, accountPassword);
    return answer;
}

}  // namespace nvxo
