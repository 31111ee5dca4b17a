// novrix phonebook: the phone book's stored destinations (the current user's) and
// the search of the printer's directory servers for fax numbers.
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "device/printer_cipher.h"
#include "directory_search.h"
#include "echo.h"
#include "fax/directory_servers.h"
#include "phone_book_store.h"
#include "printer_search.h"
#include "store.h"

namespace novrix {
namespace {

namespace dir = nvx::fax::directory;

void PhoneBookUsage(FILE* out) {
    fprintf(out,
            "usage: novrix phonebook list\n"
            "       novrix phonebook add NUMBER [--name NAME] [--company NAME] [--department NAME]\n"
            "                        [--ecm on|off] [--international on|off] [--v34 on|off]\n"
            "       novrix phonebook remove NUMBER\n"
            "       novrix phonebook import FILE.csv\n"
            "       novrix phonebook export FILE.csv\n"
            "       novrix phonebook search TEXT [--printer NAME] [--store]\n"
            "The phone book keeps at most 1000 destinations of the current user; fax numbers are\n"
            "unique.  search asks every directory server of the printer (novrix directory) for people\n"
            "whose name holds TEXT and lists those with a fax number; --store adds them to the book.\n");
}

std::string U8(const nvx::WString& s) { return nvx::Utf8FromW(s); }

void PrintEntries(const std::vector<nvxv::Entry>& book) {
    if (book.empty()) {
        printf("The phone book is empty (novrix phonebook add).\n");
        return;
    }
    for (size_t i = 0; i < book.size(); ++i) {
        const nvxv::Entry& e = book[i];
        printf("%zu. %s  %s", i + 1, U8(e.number).c_str(), U8(e.name).c_str());
        if (!e.company.empty()) printf("  (%s)", U8(e.company).c_str());
        printf("  ECM %s, international %s, V.34 %s\n", e.ecm ? "on" : "off", e.international ? "on" : "off",
               e.v34 ? "on" : "off");
    }
}

bool OnOff(const std::string& v, bool* out) {
    if (v == "on") return *out = true, true;
    if (v == "off") return *out = false, true;
    return false;
}

int Search(const Options& options, const std::string& printerName, const std::string& text, bool store) {
    const std::string name = printerName.empty() ? DefaultPrinterName() : printerName;
    if (name.empty()) {
        fprintf(stderr, "novrix phonebook: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    PrinterHandle printer;
    if (DWORD rc = printer.Open(name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix phonebook: cannot open \"%s\": %s\n", EchoText(name).c_str(), ErrorText(rc).c_str());
        return kExitFailed;
    }
    const std::vector<dir::Server> servers = dir::LoadPrinterList(printer.get());
    if (servers.empty()) {
        fprintf(stderr, "novrix phonebook: \"%s\" has no directory servers (novrix directory add)\n",
                EchoText(name).c_str());
        return kExitFailed;
    }
    if (!LoadModelCipher(PrinterDriverFolder(printer.get(), options))) {
        fprintf(stderr, "novrix phonebook: the printer's model data cannot be read\n");
        return kExitFailed;
    }
    const nvx::device::PasswordCipher& cipher = nvx::device::PrinterPasswordCipher(printer.get());
    std::vector<nvxv::Entry> found;
    bool anyFailed = false;
    for (const nvxv::ServerAnswer& a : nvxv::SearchPrinterDirectories(printer.get(), cipher, text)) {
        const nvxv::SearchResult& r = a.result;
        if (r.status != nvxv::SearchStatus::Ok && r.status != nvxv::SearchStatus::Truncated) {
            fprintf(stderr, "novrix phonebook: %s: %s (%s)\n", a.server.c_str(), nvxv::StatusText(r.status),
                    r.message.c_str());
            anyFailed = true;
            continue;
        }
        printf("%s: %zu found", a.server.c_str(), r.people.size());
        if (r.withoutFax) printf(", %zu without a fax number left out", r.withoutFax);
        printf("\n");
        if (r.status == nvxv::SearchStatus::Truncated)
            printf("  More entries match than the server's maximum of results: give a longer text.\n");
        for (const nvxv::Person& p : r.people) {
            printf("  %s  %s", p.faxNumber.c_str(), p.name.c_str());
            if (!p.company.empty()) printf("  (%s)", p.company.c_str());
            printf("\n");
            nvxv::Entry e;
            nvxv::EntryFromPerson(p, &e);
            found.push_back(e);
        }
    }
    if (store) {
        std::vector<nvxv::Entry> book = nvxv::LoadPhoneBook();
        size_t added = 0;
        for (const nvxv::Entry& e : found) {
            const std::string why = nvxv::AddEntry(&book, e);
            if (why.empty()) ++added;
            else printf("  Not stored: %s: %s\n", U8(e.number).c_str(), why.c_str());
        }
        if (!nvxv::SavePhoneBook(book)) {
            fprintf(stderr, "novrix phonebook: the phone book cannot be written\n");
            return kExitFailed;
        }
        printf("Stored %zu in the phone book (%zu entries).\n", added, book.size());
    }
    return anyFailed ? kExitFailed : kExitOk;
}

}  // namespace

int CmdPhoneBook(const Options& options, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    std::string printer, name, company, department;
    std::optional<std::string> ecm, international, v34;
    bool store = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--printer" && hasValue) printer = args[++i];
        else if (a == "--name" && hasValue) name = args[++i];
        else if (a == "--company" && hasValue) company = args[++i];
        else if (a == "--department" && hasValue) department = args[++i];
        else if (a == "--ecm" && hasValue) ecm = args[++i];
        else if (a == "--international" && hasValue) international = args[++i];
        else if (a == "--v34" && hasValue) v34 = args[++i];
        else if (a == "--store") store = true;
        else if (a == "--help" || a == "help") {
            PhoneBookUsage(stdout);
            return kExitOk;
        } else if (a.rfind("--", 0) != 0) {
            words.push_back(a);
        } else {
            fprintf(stderr, "novrix phonebook: unexpected argument '%s'\n", EchoText(a).c_str());
            PhoneBookUsage(stderr);
            return kExitUsage;
        }
    }
    const std::string request = words.empty() ? "" : words[0];
    const size_t expected = request == "list" ? 1 : 2;
    if ((request != "list" && request != "add" && request != "remove" && request != "import" && request != "export" &&
         request != "search") ||
        words.size() != expected) {
        PhoneBookUsage(stderr);
        return kExitUsage;
    }
    if (request == "search") return Search(options, printer, words[1], store);

    std::vector<nvxv::Entry> book = nvxv::LoadPhoneBook();
    if (request == "list") {
        PrintEntries(book);
        return kExitOk;
    }
    if (request == "export") {
        std::ofstream out(words[1], std::ios::binary);
        out << nvxv::WriteCsv(book);
        if (!out.good()) {
            fprintf(stderr, "novrix phonebook: cannot write %s\n", EchoText(words[1]).c_str());
            return kExitFailed;
        }
        printf("Exported %zu entries to %s.\n", book.size(), words[1].c_str());
        return kExitOk;
    }
    std::string done;
    if (request == "add") {
        nvxv::Entry e;
        e.number = nvx::WFromUtf8(words[1]);
        e.name = nvx::WFromUtf8(name);
        e.company = nvx::WFromUtf8(company);
        e.department = nvx::WFromUtf8(department);
        if ((ecm && !OnOff(*ecm, &e.ecm)) || (international && !OnOff(*international, &e.international)) ||
            (v34 && !OnOff(*v34, &e.v34))) {
            fprintf(stderr, "novrix phonebook: --ecm, --international and --v34 take on or off\n");
            return kExitUsage;
        }
        if (std::string why = nvxv::AddEntry(&book, e); !why.empty()) {
            fprintf(stderr, "novrix phonebook: %s; nothing was changed\n", why.c_str());
            return kExitFailed;
        }
        done = "Added " + words[1];
    } else if (request == "remove") {
        const nvx::WString number = nvx::WFromUtf8(words[1]);
        size_t i = 0;
        while (i < book.size() && book[i].number != number) ++i;
        if (i == book.size()) {
            fprintf(stderr, "novrix phonebook: no entry with the fax number %s\n", EchoText(words[1]).c_str());
            return kExitFailed;
        }
        book.erase(book.begin() + static_cast<std::ptrdiff_t>(i));
        done = "Removed " + words[1];
    } else {  // import
        std::ifstream in(words[1], std::ios::binary);
        if (!in) {
            fprintf(stderr, "novrix phonebook: cannot read %s\n", EchoText(words[1]).c_str());
            return kExitFailed;
        }
        std::stringstream text;
        text << in.rdbuf();
        if (text.str().size() > (16u << 20)) {
            fprintf(stderr, "novrix phonebook: %s is larger than 16 MB\n", EchoText(words[1]).c_str());
            return kExitFailed;
        }
        std::vector<std::string> errors;
        std::vector<nvxv::Entry> rows = nvxv::ReadCsv(text.str(), &errors);
        const size_t total = rows.size() + errors.size();
        size_t added = 0;
        for (const nvxv::Entry& e : rows) {
            const std::string why = nvxv::AddEntry(&book, e);
            if (why.empty()) ++added;
            else errors.push_back(nvx::Utf8FromW(e.number) + ": " + why);
        }
        for (const std::string& e : errors) fprintf(stderr, "novrix phonebook: %s: %s\n", words[1].c_str(), e.c_str());
        done = "Imported " + std::to_string(added) + " of " + std::to_string(total) + " rows";
        if (!nvxv::SavePhoneBook(book)) {
            fprintf(stderr, "novrix phonebook: the phone book cannot be written\n");
            return kExitFailed;
        }
        printf("%s: the phone book holds %zu entries.\n", done.c_str(), book.size());
        return errors.empty() ? kExitOk : kExitFailed;
    }
    if (!nvxv::SavePhoneBook(book)) {
        fprintf(stderr, "novrix phonebook: the phone book cannot be written\n");
        return kExitFailed;
    }
    printf("%s: the phone book holds %zu entries.\n", done.c_str(), book.size());
    return kExitOk;
}

}  // namespace novrix
