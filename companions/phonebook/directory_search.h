// The phone book's directory search: one query to one directory (LDAP) server for
// people whose name holds a text, answering their names and fax numbers.  Built on
// the OpenLDAP client library; every wait is bounded (connection, bind and search
// by the entry's time-out) and the answer by the entry's maximum of results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nvxv {

struct SearchRequest {
    std::string host;              // the server address (a name or an IPv4 address)
    uint32_t port = 389;
    bool ssl = false;              // ldaps://
    uint32_t auth = 1;             // 0 anonymous, 1 simple; other methods are not offered
    std::string logonName;         // the bind DN for a simple logon
    std::string password;          // plain, wiped by the caller
    std::string base;              // the search base
    uint32_t timeoutSeconds = 30;  // 1 ... 300
    uint32_t maxResults = 100;
    // Attribute names (at most three each, UTF-8): the name, family name, given
    // name, fax number, e-mail, company and department fields of the entry.
    std::vector<std::string> name{"cn"}, familyName{"sn"}, givenName{"givenname"},
        faxNumber{"facsimileTelephoneNumber"}, email{"mail"}, company{"ou"}, department{"o"};
    std::string text;              // what the name holds (empty: everyone)
};

struct Person {
    std::string name, faxNumber, company, department, email;  // UTF-8
};

enum class SearchStatus {
    Ok,             // every match is in people
    Truncated,      // the server had more than maxResults matches: the first maxResults are given
    Unreachable,    // no connection (down, refused, or no answer within the time-out)
    BindRefused,    // the logon was refused
    TimedOut,       // the search did not end within the time-out
    Failed,         // any other refusal (message says which)
    Unsupported,    // an authentication method this search does not offer
};

struct SearchResult {
    SearchStatus status = SearchStatus::Failed;
    std::string message;          // the server's or the library's text for a failure
    std::vector<Person> people;   // entries with a fax number, in the server's order
    size_t withoutFax = 0;        // matching entries that had no fax number
};

// The filter for a text: any of the name attributes holds it (RFC 4515 escaping).
std::string NameFilter(const SearchRequest& request);
// The text with the filter's special characters escaped.
std::string EscapeFilterValue(const std::string& text);

SearchResult Search(const SearchRequest& request);

const char* StatusText(SearchStatus status);

}  // namespace nvxv
