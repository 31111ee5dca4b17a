// The printer's directory servers (see directory_servers.h).
#include "fax/directory_servers.h"

#include <algorithm>
#include <cstring>

#include "common/le.h"

namespace nvx::fax::directory {

const char* const kAttributeDefaults[kAttributeCount] = {"cn",   "sn", "givenname", "facsimileTelephoneNumber",
                                                         "mail", "ou", "o"};
const int kAttributeControls[kAttributeCount] = {3419, 3409, 3394, 3412, 3414, 3416, 3418};
const unsigned kAttributeMessages[kAttributeCount] = {33, 34, 35, 36, 37, 38, 39};

namespace {

constexpr size_t AttributeAt(size_t i) { return at::kAttributes + i * at::kAttributeUnits * 2; }

// A text field: at most `chars` characters (the field holds one more unit).
WString ReadText(const BYTE* entry, size_t offset, size_t chars) {
    WString s;
    for (size_t i = 0; i < chars; ++i) {
        const WCHAR c = static_cast<WCHAR>(GetLE16(entry + offset + 2 * i));
        if (c == 0) break;
        s.push_back(c);
    }
    return s;
}

void WriteText(BYTE* entry, size_t offset, size_t chars, const WString& text) {
    const size_t n = std::min(text.size(), chars);
    for (size_t i = 0; i < n; ++i) PutLE16(entry + offset + 2 * i, static_cast<uint16_t>(text[i]));
}

Server ReadEntry(const BYTE* e) {
    Server s;
    s.address = ReadText(e, at::kAddress, kLongChars);
    s.name = ReadText(e, at::kName, kNameChars);
    s.auth = GetLE32(e + at::kAuth);
    s.share = GetLE32(e + at::kShare);
    s.domain = ReadText(e, at::kDomain, kLongChars);
    s.logonName = ReadText(e, at::kLogonName, kLongChars);
    const uint16_t length = GetLE16(e + at::kPasswordLength);
    if (length <= at::kPasswordBytes) s.password.assign(e + at::kPassword, e + at::kPassword + length);
    s.port = GetLE32(e + at::kPort);
    s.ssl = GetLE32(e + at::kSsl);
    s.timeout = GetLE32(e + at::kTimeout);
    s.maxResults = GetLE32(e + at::kMaxResults);
    s.searchBase = ReadText(e, at::kSearchBase, kLongChars);
    for (size_t i = 0; i < kAttributeCount; ++i) s.attributes[i] = ReadText(e, AttributeAt(i), kAttributeChars);
    return s;
}

void WriteEntry(const Server& s, BYTE* e) {
    WriteText(e, at::kAddress, kLongChars, s.address);
    WriteText(e, at::kName, kNameChars, s.name);
    PutLE32(e + at::kAuth, s.auth);
    PutLE32(e + at::kShare, s.share);
    WriteText(e, at::kDomain, kLongChars, s.domain);
    WriteText(e, at::kLogonName, kLongChars, s.logonName);
    if (s.password.size() <= at::kPasswordBytes) {
        if (!s.password.empty()) std::memcpy(e + at::kPassword, s.password.data(), s.password.size());
        PutLE16(e + at::kPasswordLength, static_cast<uint16_t>(s.password.size()));
    }
    PutLE32(e + at::kPort, s.port);
    PutLE32(e + at::kSsl, s.ssl);
    PutLE32(e + at::kTimeout, s.timeout);
    PutLE32(e + at::kMaxResults, s.maxResults);
    WriteText(e, at::kSearchBase, kLongChars, s.searchBase);
    for (size_t i = 0; i < kAttributeCount; ++i) WriteText(e, AttributeAt(i), kAttributeChars, s.attributes[i]);
}

void Wipe(std::string& s) {
    if (!s.empty()) SecureZeroMemory(s.data(), s.size());
    s.clear();
}

// Text in code page 1252, one byte per code unit, refused when a character does not fit.
PasswordResult ToCodePage1252(WStringView typed, std::string* out) {
    if (typed.find(WCHAR{0}) != WStringView::npos) return PasswordResult::NulInside;
    out->clear();
    if (typed.empty()) return PasswordResult::Stored;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault || static_cast<size_t>(n) != typed.size()) return PasswordResult::NotCodePage1252;
    out->assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()), out->data(), n,
                        nullptr, &usedDefault);
    if (usedDefault) {
        Wipe(*out);
        return PasswordResult::NotCodePage1252;
    }
    return PasswordResult::Stored;
}

bool IsAlpha(WCHAR c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(WCHAR c) { return c >= '0' && c <= '9'; }

WStringView Trimmed(WStringView s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool IsAttributeType(WStringView t) {
    t = Trimmed(t);
    if (t.empty()) return false;
    if (IsAlpha(t[0])) {
        return std::all_of(t.begin(), t.end(), [](WCHAR c) { return IsAlpha(c) || IsDigit(c) || c == '-'; });
    }
    // A dotted number: digits, single dots between them.
    bool digitBefore = false;
    for (WCHAR c : t) {
        if (IsDigit(c)) {
            digitBefore = true;
        } else if (c == '.' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

}  // namespace

Server::~Server() {
    if (!password.empty()) SecureZeroMemory(password.data(), password.size());
}

std::vector<Server> ReadList(std::span<const BYTE> stored) {
    std::vector<Server> list;
    if (stored.size() != kListSize) return list;
    for (size_t i = 0; i < kMaxServers; ++i) {
        Server s = ReadEntry(stored.data() + i * kEntrySize);
        if (s.name.empty()) break;
        list.push_back(std::move(s));
    }
    return list;
}

std::vector<BYTE> WriteList(const std::vector<Server>& servers) {
    std::vector<BYTE> out(kListSize, 0);
    for (size_t i = 0; i < servers.size() && i < kMaxServers; ++i) WriteEntry(servers[i], out.data() + i * kEntrySize);
    return out;
}

std::vector<Server> LoadPrinterList(HANDLE printer) {
    std::vector<BYTE> buffer(kListSize, 0);
    DWORD type = 0, needed = 0;
    const DWORD rc = GetPrinterDataW(printer, const_cast<LPWSTR>(kListValue), &type, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &needed);
    if (rc != ERROR_SUCCESS || needed != kListSize) return {};
    return ReadList(buffer);
}

DWORD SavePrinterList(HANDLE printer, const std::vector<Server>& servers) {
    std::vector<BYTE> bytes = WriteList(servers);
    const DWORD rc = SetPrinterDataW(printer, const_cast<LPWSTR>(kListValue), REG_BINARY, bytes.data(),
                                     static_cast<DWORD>(bytes.size()));
    SecureZeroMemory(bytes.data(), bytes.size());
    return rc;
}

Server NewServer(const Limits& limits) {
    Server s;
    s.auth = limits.authDefault;
    s.share = limits.shareDefault;
    s.ssl = limits.sslDefault ? 1 : 0;
    s.port = s.ssl ? 636 : 389;
    s.timeout = limits.timeoutDefault;
    s.maxResults = limits.resultsDefault;
    for (size_t i = 0; i < kAttributeCount; ++i) s.attributes[i] = WFromAscii(kAttributeDefaults[i]);
    return s;
}

void SetSsl(Server* server, bool on) {
    server->ssl = on ? 1 : 0;
    server->port = on ? 636 : 389;
}

bool AddServer(std::vector<Server>* list, Server server) {
    if (list->size() >= kMaxServers) return false;
    list->push_back(std::move(server));
    return true;
}

bool MoveServer(std::vector<Server>* list, size_t index, bool up) {
    if (index >= list->size()) return false;
    if (up ? index == 0 : index + 1 >= list->size()) return false;
    std::swap((*list)[index], (*list)[up ? index - 1 : index + 1]);
    return true;
}

bool RemoveServer(std::vector<Server>* list, size_t index) {
    if (index >= list->size()) return false;
    list->erase(list->begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

std::optional<size_t> FindServer(const std::vector<Server>& list, WStringView name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (WStringView(list[i].name) == name) return i;
    return std::nullopt;
}

PasswordResult SetPassword(const device::PasswordCipher& cipher, WStringView typed, Server* server) {
    if (typed.size() > kPasswordChars) return PasswordResult::TooLong;
    std::string plain;
    const PasswordResult r = ToCodePage1252(typed, &plain);
    if (r != PasswordResult::Stored) return r;
    if (plain.empty()) {
        server->password.clear();
        return PasswordResult::Stored;
    }
    std::vector<BYTE> out(at::kPasswordBytes, 0);
    const size_t n = cipher.EncipherText(plain, out.data(), out.size());
    Wipe(plain);
    if (n == 0 || n > at::kPasswordBytes) return PasswordResult::CipherFailed;
    out.resize(n);
    if (!server->password.empty()) SecureZeroMemory(server->password.data(), server->password.size());
    server->password = std::move(out);
    return PasswordResult::Stored;
}

std::optional<std::string> Password(const device::PasswordCipher& cipher, const Server& server) {
    if (server.password.empty()) return std::string();
    return cipher.DecipherText(server.password);
}

std::vector<std::string> AttributeNames(WStringView field) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= field.size()) {
        size_t comma = field.find(WCHAR(','), start);
        if (comma == WStringView::npos) comma = field.size();
        WStringView part = Trimmed(field.substr(start, comma - start));
        if (!part.empty()) names.push_back(Utf8FromW(part));
        start = comma + 1;
    }
    return names;
}

bool IsDistinguishedName(WStringView text) {
    if (Trimmed(text).empty()) return false;
    WString part;
    std::vector<WString> parts;
    for (size_t i = 0; i < text.size(); ++i) {
        const WCHAR c = text[i];
        if (c == '\\') {
            if (i + 1 >= text.size()) return false;
            part.push_back(c);
            part.push_back(text[++i]);
        } else if (c == ',') {
            parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    parts.push_back(part);
    for (const WString& p : parts) {
        const size_t eq = p.find(WCHAR('='));
        if (eq == WString::npos) return false;
        if (!IsAttributeType(WStringView(p).substr(0, eq))) return false;
        if (Trimmed(WStringView(p).substr(eq + 1)).empty()) return false;
    }
    return true;
}

Check CheckServer(const std::vector<Server>& list, size_t index, const Limits& limits) {
    Check c;
    if (index >= list.size()) return c;
    const Server& s = list[index];
    auto fail = [&](Problem p, int focus) {
        c.problem = p;
        c.focus = focus;
        return c;
    };
    if (s.address.size() > kLongChars) return fail(Problem::FieldTooLong, 3384);
    if (s.name.size() > kNameChars) return fail(Problem::FieldTooLong, 3385);
    if (s.domain.size() > kLongChars) return fail(Problem::FieldTooLong, 3436);
    if (s.logonName.size() > kLongChars) return fail(Problem::FieldTooLong, 3395);
    if (s.searchBase.size() > kLongChars) return fail(Problem::FieldTooLong, 3393);
    for (size_t i = 0; i < kAttributeCount; ++i)
        if (s.attributes[i].size() > kAttributeChars) return fail(Problem::FieldTooLong, kAttributeControls[i]);
    if (s.port < limits.portMin || s.port > limits.portMax) return fail(Problem::PortRange, 3398);
    if (s.timeout < limits.timeoutMin || s.timeout > limits.timeoutMax) return fail(Problem::TimeoutRange, 3401);
    if (s.maxResults < limits.resultsMin || s.maxResults > limits.resultsMax)
        return fail(Problem::ResultsRange, 3406);
    for (size_t i = 0; i < kAttributeCount; ++i)
        if (AttributeNames(s.attributes[i]).size() > kAttributeNamesMax)
            c.attributes.push_back(static_cast<Attribute>(i));
    if (!c.attributes.empty()) return fail(Problem::TooManyNames, kAttributeControls[c.attributes.front()]);
    if (Trimmed(s.searchBase).empty()) return fail(Problem::EmptySearchBase, 3393);
    if (s.name.empty()) return fail(Problem::EmptyName, 3385);
    for (size_t i = 0; i < list.size(); ++i)
        if (i != index && list[i].name == s.name) return fail(Problem::DuplicateName, 3385);
    if (s.address.empty()) return fail(Problem::EmptyAddress, 3384);
    if (!IsDistinguishedName(s.searchBase)) return fail(Problem::SearchBaseNotDn, 3393);
    return c;
}

}  // namespace nvx::fax::directory
