// novrix forms: the user's overlay form files of a printer.
//
// list, add, remove and show form files; choose the form the user's preferences
// print (use); make form files with the module's own small writer (make, samples);
// show or set the printer's shared form folder (shared-folder, administer right).
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "common/text.h"
#include "echo.h"
#include "model/stores.h"
#include "module_host.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"
#include "stamps/form_file_dialog.h"
#include "stamps/form_store.h"
#include "store.h"

namespace novrix {
namespace {

namespace st = nvx::stamps;

void FormsUsage(FILE* out) {
    fprintf(out,
            "usage: novrix forms [--printer NAME] list\n"
            "       novrix forms [--printer NAME] add FILE\n"
            "       novrix forms [--printer NAME] import [FILE]\n"
            "       novrix forms [--printer NAME] remove WHICH\n"
            "       novrix forms [--printer NAME] info FILE|WHICH\n"
            "       novrix forms [--printer NAME] use WHICH|--off\n"
            "       novrix forms [--printer NAME] shared-folder [FOLDER|--none]\n"
            "       novrix forms make FILE [--name TEXT] [--wide-name TEXT] [--dpi N] [--landscape] [--color]\n"
            "                              [--paper WIDTHxLENGTH]\n"
            "       novrix forms samples FOLDER\n"
            "WHICH is a position of the list (from 1) or a file name.  The list shows the\n"
            "printer's shared forms (the *.VFO files of its shared form folder) and then your\n"
            "own; * marks the form your preferences print.  use turns overlay printing on with\n"
            "that form in your stored preferences (--off turns it off).  import runs the driver's\n"
            "form file dialog (FILE answers it; without FILE a path is read from standard input)\n"
            "and adds the file chosen.  make writes a form\n"
            "file (version 2 with --wide-name; paper in 0.1 mm, A4 when not given); samples\n"
            "writes three sample forms.  shared-folder without a folder shows it; setting it\n"
            "needs the right to administer the printer.\n");
}

struct Args {
    std::string printer, request, name, wideName;
    std::vector<std::string> operands;
    long dpi = 600, width = 2100, length = 2970;
    bool landscape = false, color = false, off = false, none = false, hasMake = false;
};

bool ParseNumber(const std::string& text, long low, long high, long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < low || v > high) return false;
    *out = v;
    return true;
}

bool ParsePaper(const std::string& text, long* width, long* length) {
    const size_t x = text.find('x');
    return x != std::string::npos && ParseNumber(text.substr(0, x), 1, 100000, width) &&
           ParseNumber(text.substr(x + 1), 1, 100000, length);
}

int ParseArgs(const std::vector<std::string>& args, Args* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--printer" && hasValue) {
            out->printer = args[++i];
        } else if (a == "--name" && hasValue) {
            out->name = args[++i];
            out->hasMake = true;
        } else if (a == "--wide-name" && hasValue) {
            out->wideName = args[++i];
            out->hasMake = true;
        } else if (a == "--dpi" && hasValue) {
            out->hasMake = true;
            if (!ParseNumber(args[++i], 1, 65535, &out->dpi)) {
                fprintf(stderr, "novrix forms: --dpi takes a number from 1 to 65535, not \"%s\"\n",
                        EchoText(args[i]).c_str());
                return kExitUsage;
            }
        } else if (a == "--paper" && hasValue) {
            out->hasMake = true;
            if (!ParsePaper(args[++i], &out->width, &out->length)) {
                fprintf(stderr, "novrix forms: --paper takes WIDTHxLENGTH in 0.1 mm (2100x2970), not \"%s\"\n",
                        EchoText(args[i]).c_str());
                return kExitUsage;
            }
        } else if (a == "--landscape") {
            out->landscape = out->hasMake = true;
        } else if (a == "--color") {
            out->color = out->hasMake = true;
        } else if (a == "--off") {
            out->off = true;
        } else if (a == "--none") {
            out->none = true;
        } else if (a == "--help" || a == "help") {
            FormsUsage(stdout);
            return -1;
        } else if (a.rfind("--", 0) == 0) {
            fprintf(stderr, "novrix forms: unexpected argument '%s'\n", EchoText(a).c_str());
            FormsUsage(stderr);
            return kExitUsage;
        } else if (out->request.empty()) {
            out->request = a;
        } else {
            out->operands.push_back(a);
        }
    }
    return kExitOk;
}

// A typed path made full (relative to the current folder).
nvx::WString FullPath(const std::string& path) {
    const nvx::WString typed = nvx::WFromUtf8(path);
    WCHAR full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameW(typed.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? nvx::WString(full) : typed;
}

const char* HeaderProblem(st::FormHeaderResult r) {
    switch (r) {
    case st::FormHeaderResult::Ok: return "";
    case st::FormHeaderResult::Short: return "it is shorter than a form header (96 bytes)";
    case st::FormHeaderResult::BadMagic: return "it does not begin with \"VFO1\"";
    case st::FormHeaderResult::BadVersion: return "its header version is neither 1 nor 2";
    case st::FormHeaderResult::ExtensionMissing: return "its version-2 header ends before its name (224 bytes)";
    case st::FormHeaderResult::Unreadable: return "it cannot be read (missing, a folder, or not readable)";
    }
    return "";
}

struct Session {
    std::string name;
    PrinterHandle printer;
    st::FormList list;
    std::vector<BYTE> devmode;
    OEMDEV* record = nullptr;
};

int Open(const Args& args, Session* s) {
    s->name = args.printer.empty() ? DefaultPrinterName() : args.printer;
    if (s->name.empty()) {
        fprintf(stderr, "novrix forms: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    if (DWORD rc = s->printer.Open(s->name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix forms: cannot open \"%s\": %s\n", EchoText(s->name).c_str(),
                rc == ERROR_INVALID_PRINTER_NAME ? "no printer of that name" : ErrorText(rc).c_str());
        return kExitFailed;
    }
    s->list = st::LoadFormList(s->printer.get());
    s->devmode = LoadUserDevMode(s->printer.get());
    if (!s->devmode.empty())
        s->record = nvx::settings::FindRecordInDevMode(reinterpret_cast<DEVMODEW*>(s->devmode.data()));
    return kExitOk;
}

// A form by position (from 1) or file name; -1 with a message when none.
long Which(const Session& s, const std::string& which, const char* request) {
    long position = 0;
    if (ParseNumber(which, 1, LONG_MAX, &position)) {
        if (static_cast<size_t>(position) <= s.list.forms.size()) return position - 1;
        fprintf(stderr, "novrix forms %s: there is no form %ld; the list has %zu\n", request, position,
                s.list.forms.size());
        return -1;
    }
    const nvx::WString typed = nvx::WFromUtf8(which);
    for (size_t i = 0; i < s.list.forms.size(); ++i)
        if (st::FileNamePart(s.list.forms[i].path) == typed || s.list.forms[i].path == FullPath(which))
            return static_cast<long>(i);
    fprintf(stderr, "novrix forms %s: no listed form is named \"%s\"\n", request, EchoText(which).c_str());
    return -1;
}

std::string Utf8(const nvx::WString& w) { return nvx::Utf8FromW(w); }

int List(const Session& s) {
    printf("Overlay forms of \"%s\": %zu shared, %zu your own.\n", s.name.c_str(), s.list.sharedCount,
           s.list.forms.size() - s.list.sharedCount);
    if (!s.list.sharedFolder.empty())
        printf("Shared form folder: %s%s\n", Utf8(s.list.sharedFolder).c_str(),
               st::SharedFolderReachable(s.list.sharedFolder) ? "" : " (not reachable)");
    if (s.list.forms.empty()) {
        printf("No forms.\n");
        return kExitOk;
    }
    const int32_t chosen = s.record ? nvx::settings::GetNumber(*s.record, "nFormListPos") : -1;
    for (size_t i = 0; i < s.list.forms.size(); ++i) {
        const st::FormEntry& e = s.list.forms[i];
        const nvx::WString wide = st::FormWideName(e.header);
        std::string shown = Utf8(st::FileNamePart(e.path));
        if (!wide.empty()) shown += " (" + Utf8(wide) + ")";
        printf("%c%2zu  %-40s  %-6s  %s\n", static_cast<int32_t>(i) == chosen ? '*' : ' ', i + 1, shown.c_str(),
               e.shared ? "shared" : "own",
               e.usable ? (std::to_string(e.header.file.resolution) + " dpi").c_str() : "missing or not a form file");
    }
    if (s.record)
        printf("Overlay printing is %s in your preferences.\n",
               nvx::settings::GetNumber(*s.record, "bOverlay") ? "on" : "off");
    return kExitOk;
}

int SaveList(Session* s, const char* request) {
    if (DWORD rc = st::SaveFormList(s->printer.get(), s->list); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix forms %s: your form list could not be stored: %s\n", request, ErrorText(rc).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int SavePrefs(Session* s, const char* request) {
    DWORD rc = SaveUserDevMode(s->printer.get(), reinterpret_cast<const DEVMODEW*>(s->devmode.data()));
    if (rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix forms %s: your preferences could not be updated: %s\n", request,
                ErrorText(rc).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int Add(Session* s, const Args& args) {
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix forms add: give exactly one form file\n");
        return kExitUsage;
    }
    const nvx::WString path = FullPath(args.operands[0]);
    const std::string shown = EchoText(args.operands[0]);
    st::FormHeader header;
    if (st::FormHeaderResult r = st::ReadFormFileHeader(path.c_str(), &header); r != st::FormHeaderResult::Ok) {
        fprintf(stderr, "novrix forms add: \"%s\" is not an overlay form file: %s\n", shown.c_str(), HeaderProblem(r));
        return kExitFailed;
    }
    switch (st::AddForm(&s->list, path)) {
    case st::FormAdd::Done: break;
    case st::FormAdd::TooLong:
        fprintf(stderr, "novrix forms add: the path of \"%s\" is longer than %zu characters\n", shown.c_str(),
                st::kFormPathChars);
        return kExitFailed;
    case st::FormAdd::InSharedFolder:
        fprintf(stderr, "novrix forms add: \"%s\" lies in the shared form folder; it is listed as a shared form\n",
                shown.c_str());
        return kExitFailed;
    case st::FormAdd::AlreadyListed:
        fprintf(stderr, "novrix forms add: \"%s\" is listed already\n", shown.c_str());
        return kExitFailed;
    case st::FormAdd::NotAForm:
        fprintf(stderr, "novrix forms add: \"%s\" is not an overlay form file\n", shown.c_str());
        return kExitFailed;
    }
    if (int rc = SaveList(s, "add"); rc != kExitOk) return rc;
    printf("Added \"%s\" as form %zu.\n", Utf8(st::FileNamePart(path)).c_str(), s->list.forms.size());
    return kExitOk;
}

// The preferences' form positions after the form at `gone` left the list: a
// position naming it is cleared (and overlay printing goes off), later ones move up.
bool FollowRemoval(OEMDEV& record, int32_t gone) {
    bool changed = false;
    for (const char* field : {"nFormListPos", "nFormListPos2p"}) {
        const int32_t pos = nvx::settings::GetNumber(record, field);
        if (pos == gone) {
            nvx::settings::SetNumber(record, field, -1);
            if (std::string(field) == "nFormListPos") {
                nvx::settings::SetNumber(record, "bOverlay", 0);
                if (nvx::settings::GetNumber(record, "nOverlay_Switch_op") == 2)
                    nvx::settings::SetNumber(record, "nOverlay_Switch_op", 0);
            }
            changed = true;
        } else if (pos > gone) {
            nvx::settings::SetNumber(record, field, pos - 1);
            changed = true;
        }
    }
    return changed;
}

// The file dialog's answer: the typed path, or a line of standard input.
struct DialogAnswer {
    std::string path;
    bool fromInput = false;
};
BOOL AnswerFileDialog(void* context, BOOL, const OPENFILENAMEW* ofn, LPWSTR path, DWORD capacity) {
    auto* a = static_cast<DialogAnswer*>(context);
    std::string line = a->path;
    if (a->fromInput) {
        printf("%s (folder %s): ", nvx::Utf8FromW(ofn->lpstrTitle ? ofn->lpstrTitle : WL("")).c_str(),
               nvx::Utf8FromW(ofn->lpstrInitialDir ? ofn->lpstrInitialDir : WL("")).c_str());
        fflush(stdout);
        if (!ReadCommandLine(false, "", &line) || line.empty()) return FALSE;
    }
    const nvx::WString full = FullPath(line);
    if (full.size() + 1 > capacity) return FALSE;
    nvx::WCopy(path, capacity, full);
    return TRUE;
}

int Import(Session* s, const Args& args, const Options& options) {
    if (args.operands.size() > 1) {
        fprintf(stderr, "novrix forms import: give at most one form file\n");
        return kExitUsage;
    }
    ModuleHost host;
    if (!host.Load(PrinterDriverFolder(s->printer.get(), options))) {
        fprintf(stderr, "novrix forms import: %s\n", host.Error().c_str());
        return kExitFailed;
    }
    auto getFormFileName = host.Entry<UINT_PTR (*)(UINT_PTR*)>("GetFormFileName");
    if (!getFormFileName) {
        fprintf(stderr, "novrix forms import: the module has no GetFormFileName\n");
        return kExitFailed;
    }
    DialogAnswer answer{args.operands.empty() ? std::string() : args.operands[0], args.operands.empty()};
    NvxUi_SetFileDialogResponder(AnswerFileDialog, &answer);
    const nvx::WString printer = nvx::WFromUtf8(s->name), driver = nvx::WFromUtf8(kDriverName);
    st::FormFileRequest request{};
    request.mode = 1;
    request.printer = printer.c_str();
    request.driver = driver.c_str();
    const UINT_PTR chosen = getFormFileName(reinterpret_cast<UINT_PTR*>(&request));
    NvxUi_SetFileDialogResponder(nullptr, nullptr);
    if (!chosen) {
        fprintf(stderr, "novrix forms import: no file was chosen\n");
        return kExitFailed;
    }
    Args add = args;
    add.operands = {nvx::Utf8FromW(request.path)};
    return Add(s, add);
}

int Remove(Session* s, const Args& args) {
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix forms remove: give exactly one position or file name\n");
        return kExitUsage;
    }
    const long at = Which(*s, args.operands[0], "remove");
    if (at < 0) return kExitFailed;
    const st::FormEntry gone = s->list.forms[static_cast<size_t>(at)];
    const std::string name = Utf8(st::FileNamePart(gone.path));
    if (gone.shared) {
        fprintf(stderr,
                "novrix forms remove: \"%s\" is a shared form (a file of the shared form folder); only the folder's "
                "owner removes it\n",
                EchoText(name).c_str());
        return kExitFailed;
    }
    st::RemoveForm(&s->list, static_cast<size_t>(at));
    if (int rc = SaveList(s, "remove"); rc != kExitOk) return rc;
    if (s->record && FollowRemoval(*s->record, static_cast<int32_t>(at)))
        if (int rc = SavePrefs(s, "remove"); rc != kExitOk) return rc;
    printf("Removed \"%s\" from your forms (the file stays).\n", name.c_str());
    return kExitOk;
}

void PrintProperties(const nvx::WString& path, const st::FormHeader& header) {
    for (const st::FormProperty& p : st::FormProperties(path.c_str(), header, {}, true)) {
        std::string value = Utf8(p.value);
        if (p.label == WL("Paper Size:") && value.empty())
            value = std::to_string(header.file.paperKey1 / 10) + "." + std::to_string(header.file.paperKey1 % 10) +
                    " x " + std::to_string(header.file.paperKey2 / 10) + "." +
                    std::to_string(header.file.paperKey2 % 10) + " mm";
        printf("%-14s %s\n", Utf8(p.label).c_str(), value.c_str());
    }
    printf("%-14s %u%s\n", "Version:", header.file.version,
           header.file.version == 2 ? " (with a UTF-16 name)" : "");
}

int Info(const Args& args, const Options& options) {
    (void)options;
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix forms info: give exactly one form file or list position\n");
        return kExitUsage;
    }
    nvx::WString path;
    long position = 0;
    if (ParseNumber(args.operands[0], 1, LONG_MAX, &position)) {
        Session s;
        if (int rc = Open(args, &s); rc != kExitOk) return rc;
        const long at = Which(s, args.operands[0], "info");
        if (at < 0) return kExitFailed;
        path = s.list.forms[static_cast<size_t>(at)].path;
    } else {
        path = FullPath(args.operands[0]);
    }
    st::FormHeader header;
    if (st::FormHeaderResult r = st::ReadFormFileHeader(path.c_str(), &header); r != st::FormHeaderResult::Ok) {
        fprintf(stderr, "novrix forms info: \"%s\" is not an overlay form file: %s\n", Utf8(path).c_str(),
                HeaderProblem(r));
        return kExitFailed;
    }
    PrintProperties(path, header);
    return kExitOk;
}

int Use(Session* s, const Args& args) {
    if (!s->record) {
        fprintf(stderr,
                "novrix forms use: \"%s\" has no stored preferences of yours yet; store them once (novrix prefs "
                "--apply)\n",
                EchoText(s->name).c_str());
        return kExitFailed;
    }
    if (args.off) {
        if (!args.operands.empty()) {
            fprintf(stderr, "novrix forms use: --off takes no form\n");
            return kExitUsage;
        }
        nvx::settings::SetNumber(*s->record, "bOverlay", 0);
        if (nvx::settings::GetNumber(*s->record, "nOverlay_Switch_op") == 2)
            nvx::settings::SetNumber(*s->record, "nOverlay_Switch_op", 0);
        if (int rc = SavePrefs(s, "use"); rc != kExitOk) return rc;
        printf("Overlay printing is off in your preferences.\n");
        return kExitOk;
    }
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix forms use: give exactly one position or file name, or --off\n");
        return kExitUsage;
    }
    const long at = Which(*s, args.operands[0], "use");
    if (at < 0) return kExitFailed;
    const st::FormEntry& e = s->list.forms[static_cast<size_t>(at)];
    if (!st::IsFormFile(e.path.c_str())) {
        fprintf(stderr, "novrix forms use: \"%s\" is missing or no longer an overlay form file\n",
                Utf8(e.path).c_str());
        return kExitFailed;
    }
    nvx::settings::SetNumber(*s->record, "bOverlay", 1);
    nvx::settings::SetNumber(*s->record, "nFormListPos", at);
    nvx::settings::SetNumber(*s->record, "nOverlay_Switch_op", 2);
    if (int rc = SavePrefs(s, "use"); rc != kExitOk) return rc;
    printf("Overlay printing is on in your preferences with form %ld, \"%s\".\n", at + 1,
           Utf8(st::FileNamePart(e.path)).c_str());
    return kExitOk;
}

int SharedFolder(Session* s, const Args& args) {
    if (args.operands.empty() && !args.none) {
        if (s->list.sharedFolder.empty())
            printf("\"%s\" has no shared form folder.\n", s->name.c_str());
        else
            printf("Shared form folder of \"%s\": %s%s\n", s->name.c_str(), Utf8(s->list.sharedFolder).c_str(),
                   st::SharedFolderReachable(s->list.sharedFolder) ? "" : " (not reachable)");
        return kExitOk;
    }
    if (args.operands.size() > 1 || (args.none && !args.operands.empty())) {
        fprintf(stderr, "novrix forms shared-folder: give one folder, or --none\n");
        return kExitUsage;
    }
    const nvx::WString folder = args.none ? nvx::WString() : FullPath(args.operands[0]);
    if (!folder.empty() && !st::SharedFolderReachable(folder)) {
        fprintf(stderr, "novrix forms shared-folder: \"%s\" is not a folder\n", EchoText(args.operands[0]).c_str());
        return kExitFailed;
    }
    nvx::model::PrinterHandle admin;
    const nvx::WString name = nvx::WFromUtf8(s->name);
    if (!admin.Open(name.c_str(), PRINTER_ACCESS_ADMINISTER)) {
        const DWORD error = GetLastError();
        fprintf(stderr, "novrix forms shared-folder: %s\n",
                error == ERROR_ACCESS_DENIED ? "only a user who may administer the printer sets its shared form folder"
                                             : ErrorText(error).c_str());
        return kExitFailed;
    }
    if (DWORD rc = st::SetSharedFormFolder(admin.get(), folder); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix forms shared-folder: the folder could not be stored: %s\n",
                rc == ERROR_ACCESS_DENIED ? "only a user who may administer the printer sets it" : ErrorText(rc).c_str());
        return kExitFailed;
    }
    if (folder.empty())
        printf("\"%s\" has no shared form folder now.\n", s->name.c_str());
    else
        printf("Shared form folder of \"%s\": %s\n", s->name.c_str(), Utf8(folder).c_str());
    return kExitOk;
}

int Make(const Args& args) {
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix forms make: give exactly one file to write\n");
        return kExitUsage;
    }
    st::NewForm form;
    form.name = args.name;
    form.wideName = nvx::WFromUtf8(args.wideName);
    form.version = args.wideName.empty() ? 1 : 2;
    form.resolution = static_cast<uint16_t>(args.dpi);
    form.orientation = args.landscape ? 2 : 1;
    form.colour = args.color ? 2 : 1;
    form.paperKey1 = static_cast<uint32_t>(args.width);
    form.paperKey2 = static_cast<uint32_t>(args.length);
    if (form.name.size() > 63 || form.wideName.size() > 63) {
        fprintf(stderr, "novrix forms make: a form name has at most 63 characters\n");
        return kExitFailed;
    }
    const nvx::WString path = FullPath(args.operands[0]);
    if (DWORD rc = st::WriteFormFile(path.c_str(), form); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix forms make: \"%s\" could not be written: %s\n", EchoText(args.operands[0]).c_str(),
                ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("Wrote the form file %s.\n", Utf8(path).c_str());
    return kExitOk;
}

// Three sample forms: a letterhead (version 1, 600 dpi), a landscape colour form
// with a UTF-16 name (version 2, 600 dpi) and a 1200 dpi invoice frame.
int Samples(const Args& args) {
    if (args.operands.size() != 1) {
        fprintf(stderr, "novrix forms samples: give the folder to write into\n");
        return kExitUsage;
    }
    const nvx::WString folder = FullPath(args.operands[0]);
    if (!st::SharedFolderReachable(folder)) {
        fprintf(stderr, "novrix forms samples: \"%s\" is not a folder\n", EchoText(args.operands[0]).c_str());
        return kExitFailed;
    }
    struct Sample {
        const WCHAR* file;
        st::NewForm form;
    };
    std::vector<Sample> samples(3);
    samples[0].file = WL("LETTERHEAD.VFO");
    samples[0].form.name = "Letterhead";
    samples[1].file = WL("MEMO_LANDSCAPE.VFO");
    samples[1].form.name = "Memo";
    samples[1].form.wideName = WL("Memo (landscape)");
    samples[1].form.version = 2;
    samples[1].form.orientation = 2;
    samples[1].form.colour = 2;
    samples[2].file = WL("INVOICE_1200.VFO");
    samples[2].form.name = "Invoice";
    samples[2].form.resolution = 1200;
    samples[2].form.paperKey1 = 2159;
    samples[2].form.paperKey2 = 2794;
    for (const Sample& sample : samples) {
        nvx::WString path = folder;
        if (path.back() != u'\\' && path.back() != u'/') path += u'/';
        path += sample.file;
        if (DWORD rc = st::WriteFormFile(path.c_str(), sample.form); rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix forms samples: %s could not be written: %s\n", Utf8(path).c_str(),
                    ErrorText(rc).c_str());
            return kExitFailed;
        }
        printf("Wrote %s.\n", Utf8(path).c_str());
    }
    return kExitOk;
}

}  // namespace

int CmdForms(const Options& options, const std::vector<std::string>& args) {
    Args a;
    if (int rc = ParseArgs(args, &a); rc != kExitOk) return rc < 0 ? kExitOk : rc;
    if (a.request.empty()) a.request = "list";
    const std::string& r = a.request;
    const bool known = r == "list" || r == "add" || r == "import" || r == "remove" || r == "info" || r == "use" ||
                       r == "shared-folder" || r == "make" || r == "samples";
    if (!known) {
        fprintf(stderr, "novrix forms: unknown request '%s'\n", EchoText(r).c_str());
        FormsUsage(stderr);
        return kExitUsage;
    }
    if (r != "make" && a.hasMake) {
        fprintf(stderr, "novrix forms %s: --name, --wide-name, --dpi, --paper, --landscape and --color belong to make\n",
                r.c_str());
        return kExitUsage;
    }
    if ((a.off && r != "use") || (a.none && r != "shared-folder")) {
        fprintf(stderr, "novrix forms %s: --off belongs to use, --none to shared-folder\n", r.c_str());
        return kExitUsage;
    }
    if (r == "list" && !a.operands.empty()) {
        fprintf(stderr, "novrix forms list: takes no arguments but --printer\n");
        return kExitUsage;
    }
    if (r == "make") return Make(a);
    if (r == "samples") return Samples(a);
    if (r == "info") return Info(a, options);
    Session s;
    if (int rc = Open(a, &s); rc != kExitOk) return rc;
    if (r == "list") return List(s);
    if (r == "add") return Add(&s, a);
    if (r == "import") return Import(&s, a, options);
    if (r == "remove") return Remove(&s, a);
    if (r == "use") return Use(&s, a);
    return SharedFolder(&s, a);
}

}  // namespace novrix
