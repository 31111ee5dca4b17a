// The phone book's own store (see phone_book_store.h).
#include "phone_book_store.h"

#include <cstring>

#include "platform/win32.h"

namespace nvxv {
namespace {

namespace f = nvx::fax;

const WCHAR kKey[] = WL("Software\\VELMORA\\NOVRIX\\PhoneBook");
const WCHAR kValue[] = WL("Destinations");

std::vector<std::string> SplitCsvLine(const std::string& text, size_t* at, bool* ok) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    *ok = true;
    while (*at < text.size()) {
        const char c = text[(*at)++];
        if (quoted) {
            if (c == '"') {
                if (*at < text.size() && text[*at] == '"') {
                    fields.back().push_back('"');
                    ++*at;
                } else {
                    quoted = false;
                }
            } else {
                fields.back().push_back(c);
            }
        } else if (c == '"' && fields.back().empty()) {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            fields.back().push_back(c);
        }
    }
    if (quoted) *ok = false;
    return fields;
}

std::string Quoted(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

bool Flag(const std::string& s, bool* out) {
    if (s == "1" || s == "on" || s == "yes") return *out = true, true;
    if (s == "0" || s == "off" || s == "no") return *out = false, true;
    return false;
}

}  // namespace

std::vector<Entry> LoadPhoneBook() {
    std::vector<Entry> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return entries;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, kValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY &&
        size > 0) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExW(key, kValue, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS) {
            const size_t n = std::min<size_t>(size / f::kDestinationSize, kMaxEntries);
            for (size_t i = 0; i < n; ++i)
                entries.push_back(f::ReadDestination(bytes.data() + i * f::kDestinationSize, 0));
        }
    }
    RegCloseKey(key);
    return entries;
}

bool SavePhoneBook(const std::vector<Entry>& entries) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const size_t n = std::min(entries.size(), kMaxEntries);
    std::vector<BYTE> bytes(n * f::kDestinationSize, 0);
    for (size_t i = 0; i < n; ++i) f::WriteDestination(bytes.data() + i * f::kDestinationSize, 0, entries[i]);
    const bool ok = RegSetValueExW(key, kValue, 0, REG_BINARY, bytes.empty() ? nullptr : bytes.data(),
                                   static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::string EntryProblem(const Entry& e) {
    if (e.name.size() > f::destination::kNameChars) return "the name takes at most 80 characters";
    if (e.number.empty()) return "the fax number is empty";
    if (e.number.size() > f::destination::kNumberChars) return "the fax number takes at most 38 characters";
    for (WCHAR c : e.number)
        if (!f::IsFaxNumberChar(c)) return "the fax number takes only the characters 0123456789#*PT-";
    if (e.company.size() > 80 || e.department.size() > 80)
        return "the company and the department take at most 80 characters";
    return {};
}

std::string AddEntry(std::vector<Entry>* book, const Entry& entry) {
    if (std::string p = EntryProblem(entry); !p.empty()) return p;
    if (book->size() >= kMaxEntries) return "the phone book is full (1000 entries)";
    for (const Entry& e : *book)
        if (e.number == entry.number) return "the fax number " + nvx::Utf8FromW(entry.number) + " is stored already";
    Entry stored = entry;
    if (stored.v34) stored.ecm = true;
    book->push_back(stored);
    return {};
}

std::vector<Entry> ReadCsv(const std::string& text, std::vector<std::string>* errors) {
    std::vector<Entry> rows;
    size_t at = 0;
    int line = 0;
    bool ok = true;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
    SplitCsvLine(text, &at, &ok);  // the header
    ++line;
    while (at < text.size()) {
        ++line;
        std::vector<std::string> f = SplitCsvLine(text, &at, &ok);
        if (f.size() == 1 && f[0].empty()) continue;
        auto refuse = [&](const std::string& why) { errors->push_back("line " + std::to_string(line) + ": " + why); };
        if (!ok) {
            refuse("a quoted field does not end");
            break;
        }
        if (f.size() < 2 || f.size() > 7) {
            refuse("expected 2 to 7 fields (name, fax number, company, department, ecm, international, v34)");
            continue;
        }
        Entry e;
        e.name = nvx::WFromUtf8(f[0]);
        e.number = nvx::WFromUtf8(f[1]);
        if (f.size() > 2) e.company = nvx::WFromUtf8(f[2]);
        if (f.size() > 3) e.department = nvx::WFromUtf8(f[3]);
        if ((f.size() > 4 && !Flag(f[4], &e.ecm)) || (f.size() > 5 && !Flag(f[5], &e.international)) ||
            (f.size() > 6 && !Flag(f[6], &e.v34))) {
            refuse("the flags take 1 or 0");
            continue;
        }
        if (std::string p = EntryProblem(e); !p.empty()) {
            refuse(p);
            continue;
        }
        rows.push_back(e);
    }
    return rows;
}

std::string WriteCsv(const std::vector<Entry>& entries) {
    std::string out = "name,fax number,company,department,ecm,international,v34\n";
    for (const Entry& e : entries)
        out += Quoted(nvx::Utf8FromW(e.name)) + "," + Quoted(nvx::Utf8FromW(e.number)) + "," +
               Quoted(nvx::Utf8FromW(e.company)) + "," + Quoted(nvx::Utf8FromW(e.department)) + "," +
               (e.ecm ? "1" : "0") + "," + (e.international ? "1" : "0") + "," + (e.v34 ? "1" : "0") + "\n";
    return out;
}

}  // namespace nvxv
