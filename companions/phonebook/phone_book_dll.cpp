// NOVRIX_V.DLL, the phone book component's stand-in: the four entry points the
// module calls (docs/phonebook.md).  Its window is one chooser dialog, made from
// a template in memory: the list of destinations (phone book entries, the
// device's fax speed dials, or what a directory search found), a search field
// with its button, and OK / Cancel (in the edit mode a Delete button instead of
// the search).  Headless on Linux like every dialog.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/ansi.h"
#include "device/printer_cipher.h"
#include "features/fax.h"
#include "model/loaded_model.h"
#include "model/model_settings.h"
#include "model/package.h"
#include "phone_book_store.h"
#include "platform/win32.h"
#include "printer_search.h"

#ifdef _WIN32
#define NVXV_EXPORT extern "C" __declspec(dllexport)
#else
#define NVXV_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

namespace f = nvx::fax;
using nvxv::Entry;
using nvx::WString;

// Controls of the chooser.
enum : int { kList = 100, kSearchText = 101, kSearch = 102, kStatus = 103, kDelete = 104 };
// The byte each added row carries: where it came from.
enum : BYTE { kFromBook = 1, kFromDevice = 2, kFromDirectory = 3 };
constexpr size_t kOutputEntrySize = 236;  // a device speed dial as FPB_Request_Abbr delivers it

struct PhoneBookParams {
    const WCHAR* packageFile;
    const int32_t* international;
    HANDLE printer;
};

struct Choice {
    Entry entry;
    BYTE origin;
};

struct Chooser {
    std::vector<Choice> rows;
    std::vector<size_t> chosen;
    bool editing = false;
    std::function<std::vector<Choice>(const std::string&, std::string*)> search;  // null: no search
};

// ---- The template in memory ----

class TemplateWriter {
public:
    void Dialog(DWORD style, short cx, short cy, const char* title, WORD items) {
        Dword(style);
        Dword(0);
        Word(items);
        Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(title);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const char* text) {
        while (words_.size() % 2) words_.push_back(0);  // DWORD alignment
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);
    }
    const DLGTEMPLATE* Get() {
        while (words_.size() % 2) words_.push_back(0);
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const char* s) {
        for (; *s; ++s) Word(static_cast<WORD>(static_cast<unsigned char>(*s)));
        Word(0);
    }
    std::vector<WORD> words_;
};


std::string RowText(const Choice& c) {
    std::string text = nvx::Utf8FromW(c.entry.number);
    if (!c.entry.name.empty()) text += "  " + nvx::Utf8FromW(c.entry.name);
    if (!c.entry.company.empty()) text += "  (" + nvx::Utf8FromW(c.entry.company) + ")";
    return text;
}

void FillList(HWND dialog, const Chooser& chooser) {
    HWND list = GetDlgItem(dialog, kList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const Choice& c : chooser.rows)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(nvx::WFromUtf8(RowText(c)).c_str()));
}

void SetStatus(HWND dialog, const std::string& text) {
    SetDlgItemTextW(dialog, kStatus, nvx::WFromUtf8(text).c_str());
}

std::vector<size_t> Selected(HWND dialog) {
    HWND list = GetDlgItem(dialog, kList);
    const LRESULT n = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    std::vector<size_t> out;
    if (n <= 0) return out;
    std::vector<int> items(static_cast<size_t>(n));
    const LRESULT got = SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(items.data()));
    for (LRESULT i = 0; i < got; ++i) out.push_back(static_cast<size_t>(items[static_cast<size_t>(i)]));
    return out;
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* chooser = reinterpret_cast<Chooser*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        chooser = reinterpret_cast<Chooser*>(lParam);
        FillList(dialog, *chooser);
        if (!chooser->search) {
            EnableWindow(GetDlgItem(dialog, kSearchText), FALSE);
            EnableWindow(GetDlgItem(dialog, kSearch), FALSE);
        }
        SetStatus(dialog, std::to_string(chooser->rows.size()) + " destinations");
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            chooser->chosen = Selected(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case kSearch: {
            if (!chooser->search) return TRUE;
            WCHAR text[128] = {};
            GetDlgItemTextW(dialog, kSearchText, text, 128);
            std::string status;
            chooser->rows = chooser->search(nvx::Utf8FromW(text), &status);
            FillList(dialog, *chooser);
            SetStatus(dialog, status);
            return TRUE;
        }
        case kDelete: {
            std::vector<size_t> gone = Selected(dialog);
            for (auto it = gone.rbegin(); it != gone.rend(); ++it)
                if (*it < chooser->rows.size()) chooser->rows.erase(chooser->rows.begin() + static_cast<long>(*it));
            FillList(dialog, *chooser);
            return TRUE;
        }
        }
        return FALSE;
    }
    return FALSE;
}

HMODULE Self() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ChooserProc), &self);
    return self;
}

INT_PTR RunChooser(HWND owner, const char* title, Chooser* chooser) {
    TemplateWriter t;
    const WORD items = 7;
    t.Dialog(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 260, 200, title, items);
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 180, 14, kSearchText, 0x0081, "");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 193, 7, 60, 14, chooser->editing ? kDelete : kSearch, 0x0080,
           chooser->editing ? "Delete" : "Search");
    t.Item(LBS_EXTENDEDSEL | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 26, 246, 130, kList, 0x0083, "");
    t.Item(SS_LEFT, 7, 160, 246, 10, kStatus, 0x0082, "");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 139, 178, 55, 14, IDOK, 0x0080, "OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 198, 178, 55, 14, IDCANCEL, 0x0080, "Cancel");
    t.Item(SS_LEFT, 7, 180, 120, 10, 0xFFFF, 0x0082, "");
    return DialogBoxIndirectParamW(Self(), t.Get(), owner, ChooserProc, reinterpret_cast<LPARAM>(chooser));
}

// ---- The directory search from the chooser ----

WString FolderOfSelf() {
    WCHAR path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(Self(), path, MAX_PATH);
    WString folder(path, n);
    const size_t slash = folder.find_last_of(WL("\\/"));
    return slash == WString::npos ? WString() : folder.substr(0, slash);
}

std::vector<Choice> SearchDirectories(HANDLE printer, const std::string& text, std::string* status) {
    std::vector<Choice> rows;
    // The printer's password cipher, as the module sets it up from the model data beside it.
    const WString package = FolderOfSelf() + WL("/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(package.c_str(), nvx::vpd::kEntry52Size);
    if (pkg) nvx::model::LoadEncryptionSettings(*pkg, nvx::model::Loaded().tables.settings.encryption);
    nvx::device::ForgetPrinterCiphers();
    const nvx::device::PasswordCipher& cipher = nvx::device::PrinterPasswordCipher(printer);
    std::string said;
    for (const nvxv::ServerAnswer& a : nvxv::SearchPrinterDirectories(printer, cipher, text)) {
        const nvxv::SearchResult& r = a.result;
        if (!said.empty()) said += "; ";
        if (r.status != nvxv::SearchStatus::Ok && r.status != nvxv::SearchStatus::Truncated) {
            said += a.server + ": " + nvxv::StatusText(r.status);
            continue;
        }
        said += a.server + ": " + std::to_string(r.people.size()) + " found";
        if (r.status == nvxv::SearchStatus::Truncated) said += " (more match: give a longer text)";
        for (const nvxv::Person& p : r.people) {
            Choice c{{}, kFromDirectory};
            if (nvxv::EntryFromPerson(p, &c.entry)) rows.push_back(c);
        }
    }
    *status = said.empty() ? "No directory servers are registered for this printer." : said;
    return rows;
}

// Appends the chosen rows to the module's destinations; 1 when any was added.
UINT_PTR Append(const Chooser& chooser, BYTE* array, int32_t* count, BYTE* itemBytes, bool international) {
    bool added = false;
    for (size_t i : chooser.chosen) {
        if (i >= chooser.rows.size() || *count < 0 || *count >= f::kMaxDestinations) break;
        Entry e = chooser.rows[i].entry;
        if (!international) e.international = false;
        if (e.v34) e.ecm = true;
        f::WriteDestination(array, *count, e);
        if (itemBytes) itemBytes[*count] = chooser.rows[i].origin;
        ++*count;
        added = true;
    }
    return added ? 1 : 0;
}

bool International(const PhoneBookParams* params) {
    return params && params->international && *params->international != 0;
}

}  // namespace

NVXV_EXPORT UINT_PTR AddFromPhoneBook(HWND owner, BYTE* array, int32_t* count, BYTE* itemBytes,
                                      PhoneBookParams* params) {
    if (!array || !count) return 0;
    Chooser chooser;
    for (const Entry& e : nvxv::LoadPhoneBook()) chooser.rows.push_back({e, kFromBook});
    HANDLE printer = params ? params->printer : nullptr;
    if (printer)
        chooser.search = [printer](const std::string& text, std::string* status) {
            return SearchDirectories(printer, text, status);
        };
    if (RunChooser(owner, "Phone Book", &chooser) != IDOK) return 0;
    return Append(chooser, array, count, itemBytes, International(params));
}

NVXV_EXPORT UINT_PTR AddFromDevInfo(HWND owner, BYTE* array, int32_t* count, BYTE* itemBytes,
                                    PhoneBookParams* params, const BYTE* /*descriptor*/) {
    if (!array || !count || *count < 0 || *count >= f::kMaxDestinations) return 0;
    using RequestFn = UINT_PTR (*)(void*, UINT_PTR, UINT*, int*);
    HMODULE module = GetModuleHandleW(WL("NOVRIX_U.DLL"));
    auto request = module ? reinterpret_cast<RequestFn>(reinterpret_cast<void (*)()>(
                                GetProcAddress(module, "FPB_Request_Abbr")))
                          : nullptr;
    if (!request) return 0;
    int wanted = f::kMaxDestinations - *count;
    std::vector<BYTE> buffer(static_cast<size_t>(wanted) * kOutputEntrySize, 0);
    if (request(owner, 0, reinterpret_cast<UINT*>(buffer.data()), &wanted) != 1) return 0;
    Chooser chooser;
    for (int i = 0; i < wanted; ++i) {
        const char* entry = reinterpret_cast<const char*>(buffer.data() + static_cast<size_t>(i) * kOutputEntrySize);
        Choice c{{}, kFromDevice};
        c.entry.name = nvx::WFromAnsi(std::string(entry + 2, strnlen(entry + 2, 97))).substr(0, 80);
        c.entry.number = nvx::WFromAnsi(std::string(entry + 108, strnlen(entry + 108, 65)));
        if (nvxv::EntryProblem(c.entry).empty()) chooser.rows.push_back(c);
    }
    if (RunChooser(owner, "Device Speed Dials", &chooser) != IDOK) return 0;
    return Append(chooser, array, count, itemBytes, International(params));
}

NVXV_EXPORT UINT_PTR RegistToPhoneBook(int32_t* count, const BYTE* destination) {
    if (!count || *count != 1 || !destination) return 0;
    std::vector<Entry> book = nvxv::LoadPhoneBook();
    if (!nvxv::AddEntry(&book, f::ReadDestination(destination, 0)).empty()) return 0;
    return nvxv::SavePhoneBook(book) ? 1 : 0;
}

NVXV_EXPORT void EditPhoneBook(HWND owner, PhoneBookParams* /*params*/, uint32_t permission) {
    Chooser chooser;
    chooser.editing = permission != 0;
    for (const Entry& e : nvxv::LoadPhoneBook()) chooser.rows.push_back({e, kFromBook});
    if (RunChooser(owner, "Phone Book", &chooser) != IDOK || !chooser.editing) return;
    std::vector<Entry> book;
    for (const Choice& c : chooser.rows) book.push_back(c.entry);
    nvxv::SavePhoneBook(book);
}
