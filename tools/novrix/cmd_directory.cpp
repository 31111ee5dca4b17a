// novrix directory: the printer's directory (LDAP) servers, the list the phone
// book searches for fax numbers.  The list is printer data ("LDAPServerList"),
// so changing it needs the right to administer the printer; logon passwords are
// read from standard input only, enciphered with the printer's password cipher
// and never printed.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "device/printer_cipher.h"
#include "echo.h"
#include "fax/directory_model.h"
#include "fax/directory_servers.h"
#include "model/package.h"
#include "store.h"

namespace novrix {
namespace {

namespace dir = nvx::fax::directory;

void DirectoryUsage(FILE* out) {
    fprintf(out,
            "usage: novrix directory [--printer NAME] list\n"
            "       novrix directory [--printer NAME] add NAME --server ADDRESS --base DN [--port N]\n"
            "                        [--ssl on|off] [--auth anonymous|simple|digest-md5|gss-spnego|ntlm]\n"
            "                        [--logon NAME] [--password-stdin] [--domain NAME] [--timeout SECONDS]\n"
            "                        [--max-results N] [--attribute FIELD=NAMES]...\n"
            "       novrix directory [--printer NAME] remove NAME\n"
            "       novrix directory [--printer NAME] move NAME up|down\n"
            "A printer holds at most 20 directory servers; changing the list needs the right to\n"
            "administer the printer.  FIELD is name, family-name, given-name, fax, email, company\n"
            "or department; NAMES at most three attribute names separated by commas.  The logon\n"
            "password is read from standard input (one line), enciphered with the printer's password\n"
            "cipher and never shown; it must fit code page 1252.\n");
}

const char* const kAuthNames[] = {"anonymous", "simple", "digest-md5", "gss-spnego", "ntlm"};
const char* const kFieldNames[dir::kAttributeCount] = {"name",  "family-name", "given-name", "fax",
                                                       "email", "company",     "department"};

struct Args {
    std::string printer, request, name, direction;
    std::optional<std::string> server, base, port, ssl, auth, logon, domain, timeout, maxResults;
    std::vector<std::string> attributes;
    bool password = false;
};

int ParseArgs(const std::vector<std::string>& args, Args* out) {
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto take = [&](std::optional<std::string>* field) { *field = args[++i]; };
        if (a == "--printer" && hasValue) out->printer = args[++i];
        else if (a == "--server" && hasValue) take(&out->server);
        else if (a == "--base" && hasValue) take(&out->base);
        else if (a == "--port" && hasValue) take(&out->port);
        else if (a == "--ssl" && hasValue) take(&out->ssl);
        else if (a == "--auth" && hasValue) take(&out->auth);
        else if (a == "--logon" && hasValue) take(&out->logon);
        else if (a == "--domain" && hasValue) take(&out->domain);
        else if (a == "--timeout" && hasValue) take(&out->timeout);
        else if (a == "--max-results" && hasValue) take(&out->maxResults);
        else if (a == "--attribute" && hasValue) out->attributes.push_back(args[++i]);
        else if (a == "--password-stdin") out->password = true;
        else if (a == "--help" || a == "help") {
            DirectoryUsage(stdout);
            return -1;
        } else if (a.rfind("--", 0) != 0) {
            words.push_back(a);
        } else {
            fprintf(stderr, "novrix directory: unexpected argument '%s'\n", EchoText(a).c_str());
            DirectoryUsage(stderr);
            return kExitUsage;
        }
    }
    if (!words.empty()) out->request = words[0];
    const size_t expected = out->request == "list" ? 1 : out->request == "move" ? 3 : 2;
    if ((out->request != "list" && out->request != "add" && out->request != "remove" && out->request != "move") ||
        words.size() != expected) {
        DirectoryUsage(stderr);
        return kExitUsage;
    }
    if (words.size() > 1) out->name = words[1];
    if (words.size() > 2) out->direction = words[2];
    if (out->request == "move" && out->direction != "up" && out->direction != "down") {
        fprintf(stderr, "novrix directory: move takes up or down, not '%s'\n", EchoText(out->direction).c_str());
        return kExitUsage;
    }
    if (out->request == "add" && (!out->server || !out->base)) {
        fprintf(stderr, "novrix directory: add needs --server and --base\n");
        return kExitUsage;
    }
    return kExitOk;
}

bool Number(const std::string& text, uint32_t* out) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long long v = std::stoull(text);
    if (v > 0xFFFFFFFFull) return false;
    *out = static_cast<uint32_t>(v);
    return true;
}

std::string U8(const nvx::WString& s) { return nvx::Utf8FromW(s); }

// The refusal of a check, as a sentence.
std::string ProblemText(const dir::Check& c, const dir::Server& s, const dir::Limits& l) {
    switch (c.problem) {
        case dir::Problem::None: return {};
        case dir::Problem::FieldTooLong:
            return "a text is longer than its field takes (name 31 characters, server, domain, logon name and "
                   "search base 254, attribute fields 193)";
        case dir::Problem::PortRange:
            return "the port must lie between " + std::to_string(l.portMin) + " and " + std::to_string(l.portMax);
        case dir::Problem::TimeoutRange:
            return "the search time-out must lie between " + std::to_string(l.timeoutMin) + " and " +
                   std::to_string(l.timeoutMax) + " seconds";
        case dir::Problem::ResultsRange:
            return "the maximum number of results must lie between " + std::to_string(l.resultsMin) + " and " +
                   std::to_string(l.resultsMax);
        case dir::Problem::TooManyNames: {
            std::string fields;
            for (dir::Attribute a : c.attributes) fields += std::string(fields.empty() ? "" : ", ") + kFieldNames[a];
            return "an attribute field holds at most three names (" + fields + ")";
        }
        case dir::Problem::EmptySearchBase: return "the search base must not be empty";
        case dir::Problem::DuplicateName: return "a directory server named \"" + U8(s.name) + "\" is already registered";
        case dir::Problem::EmptyName: return "the entry needs a name";
        case dir::Problem::EmptyAddress: return "the entry needs a server address";
        case dir::Problem::SearchBaseNotDn:
            return "the search base is not a distinguished name (for example dc=example,dc=com)";
    }
    return {};
}

const char* PasswordText(dir::PasswordResult r) {
    switch (r) {
        case dir::PasswordResult::Stored: return "stored";
        case dir::PasswordResult::TooLong: return "the password is longer than 256 characters";
        case dir::PasswordResult::NotCodePage1252:
            return "the password holds a character that code page 1252 cannot hold (Western European text only)";
        case dir::PasswordResult::NulInside: return "the password holds a NUL character";
        case dir::PasswordResult::CipherFailed: return "the password could not be enciphered";
    }
    return "";
}

void List(const std::string& printer, const std::vector<dir::Server>& list) {
    printf("Printer: %s\n", printer.c_str());
    if (list.empty()) {
        printf("No directory servers are registered (novrix directory add).\n");
        return;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const dir::Server& s = list[i];
        printf("%zu. %s\n", i + 1, U8(s.name).c_str());
        printf("   server %s, port %u, SSL %s\n", U8(s.address).c_str(), s.port, s.ssl ? "on" : "off");
        printf("   search base %s, time-out %u s, at most %u results\n", U8(s.searchBase).c_str(), s.timeout,
               s.maxResults);
        printf("   logon %s, name \"%s\", password %s\n", s.auth < 5 ? kAuthNames[s.auth] : "unknown",
               U8(s.logonName).c_str(), s.password.empty() ? "not set" : "set (stored enciphered)");
        printf("   fax number attribute %s, name attribute %s\n", U8(s.attributes[dir::kAttrFaxNumber]).c_str(),
               U8(s.attributes[dir::kAttrName]).c_str());
    }
}

// Fills an entry from the options; an error message when one is refused.
std::string ApplyOptions(const Args& a, const dir::Limits& limits, dir::Server* s) {
    s->name = nvx::WFromUtf8(a.name);
    s->address = nvx::WFromUtf8(*a.server);
    s->searchBase = nvx::WFromUtf8(*a.base);
    if (a.ssl) {
        if (*a.ssl != "on" && *a.ssl != "off") return "--ssl takes on or off";
        dir::SetSsl(s, *a.ssl == "on");
    }
    if (a.port && !Number(*a.port, &s->port)) return "--port takes a number";
    if (a.timeout && !Number(*a.timeout, &s->timeout)) return "--timeout takes a number of seconds";
    if (a.maxResults && !Number(*a.maxResults, &s->maxResults)) return "--max-results takes a number";
    if (a.auth) {
        size_t i = 0;
        while (i < 5 && *a.auth != kAuthNames[i]) ++i;
        if (i == 5) return "--auth takes anonymous, simple, digest-md5, gss-spnego or ntlm";
        s->auth = static_cast<uint32_t>(i);
    }
    if (a.logon) s->logonName = nvx::WFromUtf8(*a.logon);
    if (a.domain) s->domain = nvx::WFromUtf8(*a.domain);
    for (const std::string& assignment : a.attributes) {
        const size_t eq = assignment.find('=');
        size_t f = 0;
        while (eq != std::string::npos && f < dir::kAttributeCount && assignment.compare(0, eq, kFieldNames[f]) != 0) ++f;
        if (eq == std::string::npos || f == dir::kAttributeCount)
            return "--attribute takes FIELD=NAMES, FIELD one of name, family-name, given-name, fax, email, company, "
                   "department";
        s->attributes[f] = nvx::WFromUtf8(assignment.substr(eq + 1));
    }
    (void)limits;
    return {};
}

}  // namespace

int CmdDirectory(const Options& options, const std::vector<std::string>& args) {
    Args a;
    if (int rc = ParseArgs(args, &a); rc != kExitOk) return rc < 0 ? kExitOk : rc;
    const std::string name = a.printer.empty() ? DefaultPrinterName() : a.printer;
    if (name.empty()) {
        fprintf(stderr, "novrix directory: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    PrinterHandle printer;
    if (DWORD rc = printer.Open(name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix directory: cannot open \"%s\": %s\n", EchoText(name).c_str(),
                rc == ERROR_INVALID_PRINTER_NAME ? "no printer of that name" : ErrorText(rc).c_str());
        return kExitFailed;
    }
    std::vector<dir::Server> list = dir::LoadPrinterList(printer.get());
    if (a.request == "list") {
        List(name, list);
        return kExitOk;
    }

    // Changes: the model's ranges and cipher, and a handle that may write printer data.
    const std::string folder = PrinterDriverFolder(printer.get(), options);
    const nvx::WString packagePath = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(packagePath.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg || !LoadModelCipher(folder)) {
        fprintf(stderr, "novrix directory: the printer's model data cannot be read\n");
        return kExitFailed;
    }
    const dir::Limits limits = dir::PackageLimits(*pkg);
    HANDLE admin = nullptr;
    nvx::WString wname = nvx::WFromUtf8(name);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ACCESS_ADMINISTER;
    if (!OpenPrinterW(wname.data(), &admin, &defaults)) {
        fprintf(stderr,
                "novrix directory: changing the directory servers needs the right to administer \"%s\"; nothing "
                "was changed\n",
                EchoText(name).c_str());
        return kExitFailed;
    }
    struct Closer {
        HANDLE h;
        ~Closer() { ClosePrinter(h); }
    } closer{admin};

    const nvx::WString wanted = nvx::WFromUtf8(a.name);
    std::string done;
    if (a.request == "add") {
        if (list.size() >= dir::kMaxServers) {
            fprintf(stderr, "novrix directory: the printer holds 20 directory servers already; remove one first\n");
            return kExitFailed;
        }
        dir::Server s = dir::NewServer(limits);
        if (std::string error = ApplyOptions(a, limits, &s); !error.empty()) {
            fprintf(stderr, "novrix directory: %s\n", error.c_str());
            return kExitUsage;
        }
        if (a.password) {
            std::string line;
            if (!std::getline(std::cin, line)) {
                fprintf(stderr, "novrix directory: no password on standard input; nothing was changed\n");
                return kExitFailed;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            nvx::WString typed = nvx::WFromUtf8(line);
            SecureZeroMemory(line.data(), line.size());
            const nvx::device::PasswordCipher* cipher = &nvx::device::PrinterPasswordCipher(admin);
            if (cipher->Mode() != nvx::device::CipherMode::None && cipher->Settings().keyId == 0 &&
                !cipher->Settings().keyText) {
                if (nvx::device::CreateKeySeed(admin) != ERROR_SUCCESS) {
                    fprintf(stderr, "novrix directory: the printer's key seed cannot be created; nothing was changed\n");
                    return kExitFailed;
                }
                cipher = &nvx::device::PrinterPasswordCipher(admin);
            }
            const dir::PasswordResult r = dir::SetPassword(*cipher, typed, &s);
            if (!typed.empty()) SecureZeroMemory(typed.data(), typed.size() * sizeof(WCHAR));
            if (r != dir::PasswordResult::Stored) {
                fprintf(stderr, "novrix directory: password refused: %s; nothing was changed\n", PasswordText(r));
                return kExitFailed;
            }
        }
        list.push_back(s);
        const dir::Check c = dir::CheckServer(list, list.size() - 1, limits);
        if (c.problem != dir::Problem::None) {
            fprintf(stderr, "novrix directory: %s; nothing was changed\n", ProblemText(c, s, limits).c_str());
            return kExitFailed;
        }
        done = "Added \"" + a.name + "\"";
    } else {
        std::optional<size_t> at = dir::FindServer(list, wanted);
        if (!at) {
            fprintf(stderr, "novrix directory: no directory server named \"%s\" (novrix directory list)\n",
                    EchoText(a.name).c_str());
            return kExitFailed;
        }
        if (a.request == "remove") {
            dir::RemoveServer(&list, *at);
            done = "Removed \"" + a.name + "\"";
        } else if (!dir::MoveServer(&list, *at, a.direction == "up")) {
            fprintf(stderr, "novrix directory: \"%s\" is %s already\n", EchoText(a.name).c_str(),
                    a.direction == "up" ? "first" : "last");
            return kExitFailed;
        } else {
            done = "Moved \"" + a.name + "\" " + a.direction;
        }
    }
    if (DWORD rc = dir::SavePrinterList(admin, list); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix directory: the list could not be stored: %s\n", ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("%s: %zu of 20 directory servers registered for %s.\n", done.c_str(), list.size(), name.c_str());
    return kExitOk;
}

}  // namespace novrix
