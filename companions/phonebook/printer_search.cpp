// The search of a printer's directory servers (see printer_search.h).
#include "printer_search.h"

#include <optional>

#include "fax/directory_servers.h"

namespace nvxv {
namespace {

namespace dir = nvx::fax::directory;

std::vector<std::string> Names(const nvx::WString& field) {
    return dir::AttributeNames(field);
}

void Wipe(std::string& s) {
    if (!s.empty()) SecureZeroMemory(s.data(), s.size());
    s.clear();
}

}  // namespace

std::vector<ServerAnswer> SearchPrinterDirectories(HANDLE printer, const nvx::device::PasswordCipher& cipher,
                                                   const std::string& text) {
    std::vector<ServerAnswer> answers;
    for (const dir::Server& s : dir::LoadPrinterList(printer)) {
        ServerAnswer a;
        a.server = nvx::Utf8FromW(s.name);
        std::optional<std::string> password = dir::Password(cipher, s);
        if (!password) {
            a.result.status = SearchStatus::Failed;
            a.result.message = "the stored logon password does not decipher";
            answers.push_back(std::move(a));
            continue;
        }
        SearchRequest q;
        q.host = nvx::Utf8FromW(s.address);
        q.port = s.port;
        q.ssl = s.ssl != 0;
        q.auth = s.auth;
        q.logonName = nvx::Utf8FromW(s.logonName);
        q.password = std::move(*password);
        q.base = nvx::Utf8FromW(s.searchBase);
        q.timeoutSeconds = s.timeout;
        q.maxResults = s.maxResults;
        q.name = Names(s.attributes[dir::kAttrName]);
        q.familyName = Names(s.attributes[dir::kAttrFamilyName]);
        q.givenName = Names(s.attributes[dir::kAttrGivenName]);
        q.faxNumber = Names(s.attributes[dir::kAttrFaxNumber]);
        q.email = Names(s.attributes[dir::kAttrEmail]);
        q.company = Names(s.attributes[dir::kAttrCompany]);
        q.department = Names(s.attributes[dir::kAttrDepartment]);
        q.text = text;
        a.result = Search(q);
        Wipe(q.password);
        answers.push_back(std::move(a));
    }
    return answers;
}

bool EntryFromPerson(const Person& p, Entry* e) {
    *e = Entry{};
    e->name = nvx::WFromUtf8(p.name).substr(0, nvx::fax::destination::kNameChars);
    e->number = nvx::WFromUtf8(p.faxNumber);
    e->company = nvx::WFromUtf8(p.company).substr(0, 80);
    e->department = nvx::WFromUtf8(p.department).substr(0, 80);
    return EntryProblem(*e).empty();
}

}  // namespace nvxv
