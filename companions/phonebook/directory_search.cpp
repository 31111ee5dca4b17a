// The phone book's directory search (see directory_search.h).
#include "directory_search.h"

#include <ldap.h>
#include <sys/time.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace nvxv {
namespace {

struct LdapCloser {
    void operator()(LDAP* ld) const { ldap_unbind_ext_s(ld, nullptr, nullptr); }
};
using LdapPtr = std::unique_ptr<LDAP, LdapCloser>;

struct MessageFree {
    void operator()(LDAPMessage* m) const { ldap_msgfree(m); }
};
using MessagePtr = std::unique_ptr<LDAPMessage, MessageFree>;

// The first value of the first attribute of `names` the entry has.
std::string FirstValue(LDAP* ld, LDAPMessage* entry, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        berval** values = ldap_get_values_len(ld, entry, name.c_str());
        if (!values) continue;
        std::string value;
        if (values[0] && values[0]->bv_val) value.assign(values[0]->bv_val, values[0]->bv_len);
        ldap_value_free_len(values);
        if (!value.empty()) return value;
    }
    return {};
}

void AddNames(std::vector<const char*>* out, const std::vector<std::string>& names) {
    for (const std::string& n : names) out->push_back(n.c_str());
}

SearchResult Fail(SearchStatus status, const std::string& message) {
    SearchResult r;
    r.status = status;
    r.message = message;
    return r;
}

}  // namespace

std::string EscapeFilterValue(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '*' || c == '(' || c == ')' || c == '\\' || c == 0) {
            char hex[4];
            snprintf(hex, sizeof hex, "\\%02x", c);
            out += hex;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string NameFilter(const SearchRequest& r) {
    const std::string value = r.text.empty() ? "*" : "*" + EscapeFilterValue(r.text) + "*";
    std::string filter = "(|";
    for (const auto* names : {&r.name, &r.familyName, &r.givenName})
        for (const std::string& n : *names) filter += "(" + n + "=" + value + ")";
    return filter + ")";
}

SearchResult Search(const SearchRequest& r) {
    if (r.auth > 1) return Fail(SearchStatus::Unsupported, "only anonymous and simple logons are offered");
    const uint32_t seconds = r.timeoutSeconds == 0 ? 1 : r.timeoutSeconds;
    const std::string uri = std::string(r.ssl ? "ldaps://" : "ldap://") + r.host + ":" + std::to_string(r.port);
    LDAP* raw = nullptr;
    if (ldap_initialize(&raw, uri.c_str()) != LDAP_SUCCESS || !raw)
        return Fail(SearchStatus::Unreachable, "not a usable server address: " + uri);
    LdapPtr ld(raw);
    const int version = LDAP_VERSION3;
    ldap_set_option(ld.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld.get(), LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    timeval limit{static_cast<time_t>(seconds), 0};
    ldap_set_option(ld.get(), LDAP_OPT_NETWORK_TIMEOUT, &limit);
    ldap_set_option(ld.get(), LDAP_OPT_TIMEOUT, &limit);
    const int sizeLimit = static_cast<int>(r.maxResults);
    ldap_set_option(ld.get(), LDAP_OPT_SIZELIMIT, &sizeLimit);
    const int timeLimit = static_cast<int>(seconds);
    ldap_set_option(ld.get(), LDAP_OPT_TIMELIMIT, &timeLimit);

    berval credentials{0, nullptr};
    std::string password = r.auth == 1 ? r.password : std::string();
    credentials.bv_val = password.empty() ? nullptr : password.data();
    credentials.bv_len = password.size();
    const std::string who = r.auth == 1 ? r.logonName : std::string();
    int rc = ldap_sasl_bind_s(ld.get(), who.empty() ? nullptr : who.c_str(), LDAP_SASL_SIMPLE, &credentials, nullptr,
                              nullptr, nullptr);
    if (!password.empty()) explicit_bzero(password.data(), password.size());
    if (rc == LDAP_SERVER_DOWN || rc == LDAP_CONNECT_ERROR || rc == LDAP_TIMEOUT)
        return Fail(SearchStatus::Unreachable, ldap_err2string(rc));
    if (rc == LDAP_INVALID_CREDENTIALS || rc == LDAP_INAPPROPRIATE_AUTH || rc == LDAP_UNWILLING_TO_PERFORM ||
        rc == LDAP_INSUFFICIENT_ACCESS)
        return Fail(SearchStatus::BindRefused, ldap_err2string(rc));
    if (rc != LDAP_SUCCESS) return Fail(SearchStatus::Failed, ldap_err2string(rc));

    std::vector<const char*> attributes;
    for (const auto* names : {&r.name, &r.familyName, &r.givenName, &r.faxNumber, &r.email, &r.company, &r.department})
        AddNames(&attributes, *names);
    attributes.push_back(nullptr);
    const std::string filter = NameFilter(r);
    LDAPMessage* answer = nullptr;
    rc = ldap_search_ext_s(ld.get(), r.base.c_str(), LDAP_SCOPE_SUBTREE, filter.c_str(),
                           const_cast<char**>(attributes.data()), 0, nullptr, nullptr, &limit, sizeLimit, &answer);
    MessagePtr message(answer);
    SearchResult result;
    if (rc == LDAP_SIZELIMIT_EXCEEDED) {
        result.status = SearchStatus::Truncated;
    } else if (rc == LDAP_TIMEOUT || rc == LDAP_TIMELIMIT_EXCEEDED) {
        return Fail(SearchStatus::TimedOut, ldap_err2string(rc));
    } else if (rc == LDAP_SERVER_DOWN || rc == LDAP_CONNECT_ERROR) {
        return Fail(SearchStatus::Unreachable, ldap_err2string(rc));
    } else if (rc != LDAP_SUCCESS) {
        return Fail(SearchStatus::Failed, ldap_err2string(rc));
    } else {
        result.status = SearchStatus::Ok;
    }
    for (LDAPMessage* e = ldap_first_entry(ld.get(), message.get()); e && result.people.size() < r.maxResults;
         e = ldap_next_entry(ld.get(), e)) {
        Person p;
        p.faxNumber = FirstValue(ld.get(), e, r.faxNumber);
        if (p.faxNumber.empty()) {
            ++result.withoutFax;
            continue;
        }
        p.name = FirstValue(ld.get(), e, r.name);
        if (p.name.empty()) {
            const std::string given = FirstValue(ld.get(), e, r.givenName);
            const std::string family = FirstValue(ld.get(), e, r.familyName);
            p.name = given.empty() ? family : family.empty() ? given : given + " " + family;
        }
        p.company = FirstValue(ld.get(), e, r.company);
        p.department = FirstValue(ld.get(), e, r.department);
        p.email = FirstValue(ld.get(), e, r.email);
        result.people.push_back(std::move(p));
    }
    return result;
}

const char* StatusText(SearchStatus status) {
    switch (status) {
        case SearchStatus::Ok: return "ok";
        case SearchStatus::Truncated: return "more entries match than the server's maximum of results";
        case SearchStatus::Unreachable: return "the server cannot be reached";
        case SearchStatus::BindRefused: return "the server refused the logon";
        case SearchStatus::TimedOut: return "the server did not answer within the search time-out";
        case SearchStatus::Failed: return "the search failed";
        case SearchStatus::Unsupported: return "the logon method is not offered";
    }
    return "";
}

}  // namespace nvxv
