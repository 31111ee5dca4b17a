// novrix setup: a printer's whole configuration moved as a setup program moves it,
// through the module's SPRINST_ exports (docs/setup-transfer.md).
//
//   novrix setup export|import|default|personal|lock FILE [--printer NAME]
//   novrix setup error CODE
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/ansi.h"
#include "commands.h"
#include "echo.h"
#include "module_host.h"
#include "platform/host.h"
#include "presets/settings_text.h"
#include "presets/setup_transfer.h"
#include "store.h"

namespace novrix {
namespace {

struct Verb {
    const char* name;
    const char* entry;
    const char* what;
};
const Verb kVerbs[] = {
    {"export", "SPRINST_SettingExport", "writes the printer's whole configuration to FILE (a setup file)"},
    {"import", "SPRINST_SettingImport", "takes a setup file's configuration for the printer"},
    {"default", "SPRINST_DefaultSetting", "makes a setup file the printer's default settings and Default preset"},
    {"personal", "SPRINST_PersonalInfoImport", "takes the [PersonalInfo] user information of an INI file"},
    {"lock", "SPRINST_FixSetting", "locks the settings of an INI file's [FixSetting] section"},
};

void SetupUsage(FILE* out) {
    fprintf(out, "usage: novrix setup VERB FILE [--printer NAME]\n       novrix setup error CODE\n");
    for (const Verb& v : kVerbs) fprintf(out, "  %-8s %s\n", v.name, v.what);
    fprintf(out,
            "  error    shows the message of a transfer's error code\n"
            "Each verb calls the module's export as a setup program does (the default printer\n"
            "without --printer) and prints the code it answers with its message.  import and\n"
            "default check the file first (its model, language and format version, every value);\n"
            "a refused file changes nothing.  default and lock need a user who may administer the\n"
            "printer; import without those rights changes only your own settings.  After import\n"
            "and default each section of the file is listed with its keys and where they went;\n"
            "after personal the keys taken (never their values).\n"
            "Exit codes: 0 done (code 0), 1 the export answered another code, 2 usage.\n");
}

// A text as the exports take it: the system code page; false when it does not fit.
bool ToSystemCodePage(const std::string& utf8, std::string* out) {
    const nvx::WString wide = nvx::WFromUtf8(utf8);
    *out = nvx::AnsiFromW(wide);
    return nvx::WFromAnsi(*out) == wide;
}

const char* Message(const ModuleHost& module, UINT code) {
    static std::string text;
    auto message = module.Entry<UINT_PTR (*)(UINT)>("SPRINST_GetErrorMsg");
    const auto* w = message ? reinterpret_cast<const WCHAR*>(message(code)) : nullptr;
    text = w ? nvx::Utf8FromW(w) : std::string();
    return text.c_str();
}

// Where each section of a setup file lands: on import (shared: only with
// administrator rights) and as the printer's defaults (null: kept only in the
// Default preset's text).
struct Landing {
    const char* section;
    const char* onImport;
    bool shared;
    const char* asDefault;
};
const Landing kLandings[] = {
    {"OEMDEV", "your document settings", false, "the default document settings"},
    {"ExcelJobCtrl", "your Excel job control", false, nullptr},
    {"AuthUseEngine", "the printer's engine authentication switch", true, "the engine authentication switch"},
    {"Watermark_Public", "the shared watermarks", true, nullptr},
    {"Watermark_Private", "your watermarks", false, nullptr},
    {"Watermark_Order", "your watermark order", false, nullptr},
    {"DeviceOption", "the device options", true, "the default device options"},
    {"SourceTraySetting", "the device options (paper trays)", true, "the default device options"},
    {"AcquistionSetting", "the device options and the printer's device address, credentials and community", true,
     "the default device options (the switches)"},
    {"InitialSetting", "the device options (initial settings)", true, "the default device options"},
    {"Halverite", "the device options (utility)", true, "the default device options"},
    {"CustomPaper", "the printer's custom paper list and its forms", true, nullptr},
    {"CustomMedia", "the device options (custom media)", true, "the default device options"},
    {"WakeOnLanSetting", "the device options and the printer's MAC address", true,
     "the default device options (the switch)"},
};

// After a file was taken: each of its sections with its keys and where they went.
void PrintApplied(const std::string& verb, const std::string& printer, const std::string& file) {
    nvx::presets::SettingsDoc doc;
    if (nvx::presets::LoadSettingsFile(nvx::WFromUtf8(file), &doc) != ERROR_SUCCESS) return;
    // The exports take the printer-wide sections only with full access.
    bool admin = false;
    PRINTER_DEFAULTSW all{};
    all.DesiredAccess = PRINTER_ALL_ACCESS;
    nvx::WString name = nvx::WFromUtf8(printer);
    HANDLE h = nullptr;
    if (OpenPrinterW(name.data(), &h, &all)) {
        admin = true;
        ClosePrinter(h);
    }
    for (const nvx::presets::SettingsSection& section : doc.sections) {
        const std::string sectionName = nvx::Utf8FromW(section.name);
        if (sectionName == "DriverInfo" || sectionName == "EasySetName") continue;
        size_t keys = 0;
        for (const nvx::presets::SettingsLine& line : section.lines)
            if (line.kind == nvx::presets::LineKind::Key) ++keys;
        const Landing* landing = nullptr;
        for (const Landing& l : kLandings)
            if (sectionName == l.section) landing = &l;
        std::string where;
        if (!landing) where = "not carried by this build";
        else if (verb == "default") where = landing->asDefault ? landing->asDefault : "kept in the Default preset only";
        else if (landing->shared && !admin) where = "not applied: needs administrator rights";
        else where = landing->onImport;
        if (landing && verb == "import" && admin && sectionName == "OEMDEV") where += " and the printer's";
        printf("  [%s] %zu key%s: %s\n", EchoText(sectionName).c_str(), keys, keys == 1 ? "" : "s", where.c_str());
    }
}

// After personal information was taken: the keys taken and those not carried
// (names only: the values hold passwords).
void PrintPersonalKeys(const std::string& file) {
    static const char* const kCarried[] = {
        "VLUserName",    "VLUserKey",          "VLSectionName", "VLSectionKey",          "ServerSetting",
        "TreeDomainName", "ExpenseCode",       "ExpenseCodePassword", "SecurePrintId",   "SecPassword",
        "BoxFileName",   "BoxNum",             "PublicUser",    "InterimPublicUser",     "UseDefaultLoginUserName",
        "AuthUseEngine"};
    std::string taken, other;
    for (auto& [key, value] : nvx::presets::ReadPersonalInfoKeys(nvx::WFromUtf8(file))) {
        SecureZeroMemory(value.data(), value.size() * sizeof(WCHAR));
        bool known = false;
        for (const char* name : kCarried) known = known || nvx::WEqualNoCase(key, nvx::WFromUtf8(name));
        std::string& list = known ? taken : other;
        list += (list.empty() ? "" : ", ") + EchoText(nvx::Utf8FromW(key));
    }
    printf("  [PersonalInfo] taken: %s\n", taken.empty() ? "(no key)" : taken.c_str());
    if (!other.empty()) printf("  [PersonalInfo] not carried: %s\n", other.c_str());
}

}  // namespace

int CmdSetup(const Options& options, const std::vector<std::string>& args) {
    std::string verb, file, printer;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            SetupUsage(stdout);
            return kExitOk;
        } else if (a == "--printer" && i + 1 < args.size()) {
            printer = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            fprintf(stderr, "novrix setup: unexpected option '%s'\n", EchoText(a).c_str());
            SetupUsage(stderr);
            return kExitUsage;
        } else if (verb.empty()) {
            verb = a;
        } else if (file.empty()) {
            file = a;
        } else {
            fprintf(stderr, "novrix setup: unexpected argument '%s'\n", EchoText(a).c_str());
            return kExitUsage;
        }
    }
    const Verb* chosen = nullptr;
    for (const Verb& v : kVerbs)
        if (verb == v.name) chosen = &v;
    if (!chosen && verb != "error") {
        fprintf(stderr, verb.empty() ? "novrix setup: name a verb\n" : "novrix setup: unknown verb '%s'\n",
                EchoText(verb).c_str());
        SetupUsage(stderr);
        return kExitUsage;
    }
    if (file.empty()) {
        fprintf(stderr, "novrix setup %s: name the %s\n", verb.c_str(), chosen ? "FILE" : "CODE");
        return kExitUsage;
    }

    if (printer.empty()) printer = DefaultPrinterName();
    if (printer.empty()) {
        fprintf(stderr, "novrix setup: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    // The module of the printer's driver folder; an unknown printer is the export's
    // code 1, so the tool's driver folder serves then.
    PrinterHandle handle;
    handle.Open(printer);
    const std::string folder = PrinterDriverFolder(handle.get(), options);
    ModuleHost module;
    if (!module.Load(folder)) {
        fprintf(stderr, "novrix setup: %s\n", module.Error().c_str());
        return kExitFailed;
    }

    if (!chosen) {  // error CODE
        errno = 0;
        char* end = nullptr;
        const unsigned long long code = std::strtoull(file.c_str(), &end, 10);
        if (file[0] == '-' || *end || errno || code > 0xFFFFFFFFull) {
            fprintf(stderr, "novrix setup error: CODE is a number from 0 to 4294967295\n");
            return kExitUsage;
        }
        printf("%llu %s\n", code, Message(module, static_cast<UINT>(code)));
        return kExitOk;
    }

    std::string printerArg, fileArg;
    if (!ToSystemCodePage(printer, &printerArg) || !ToSystemCodePage(file, &fileArg)) {
        fprintf(stderr, "novrix setup: the printer or file name has characters the system code page cannot hold\n");
        return kExitUsage;
    }
    UINT_PTR code = 0;
    if (verb == "lock") {
        auto fn = module.Entry<void* (*)(const char*, const char*)>(chosen->entry);
        if (!fn) return kExitFailed;
        code = reinterpret_cast<UINT_PTR>(fn(printerArg.c_str(), fileArg.c_str()));
    } else {
        auto fn = module.Entry<UINT_PTR (*)(const char*, const char*)>(chosen->entry);
        if (!fn) return kExitFailed;
        code = fn(printerArg.c_str(), fileArg.c_str());
    }
    const UINT c = static_cast<UINT>(code);
    printf("%s: %u %s\n", chosen->entry, c, Message(module, c));
    if (c == 0 && (verb == "import" || verb == "default")) PrintApplied(verb, printer, file);
    if (c == 0 && verb == "personal") PrintPersonalKeys(file);
    return c == 0 ? kExitOk : kExitFailed;
}

}  // namespace novrix
