// novrix job start: plays the host driver UI when a job starts.  It hands the
// module the job's settings record (the user's preferences with the stored
// authentication settings), the printer's device-option record and one shared
// cache, and calls the job-start entry points in the host's order: the
// document event, the capability check, whether the device answers, the verification login with the
// encryption key, and the key on its own.  Each step and the device's answer are
// printed; passwords are never printed (they stay enciphered in the record and
// only the module deciphers them for the login).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "common/le.h"
#include "device/middle_server.h"
#include "device/user_settings.h"
#include "echo.h"
#include "frame/variant_switches.h"
#include "installed_options.h"
#include "module_host.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "store.h"

namespace novrix {
namespace {

using U = UINT_PTR;

void JobUsage(FILE* out) {
    fprintf(out,
            "usage: novrix job [--printer NAME] start [--sso]\n"
            "       novrix job [--printer NAME] blank-check --ratio PERCENT [--page N] [--stop] [--yes|--no]\n"
            "Plays the host at the start of a job against the printer's device: the capability\n"
            "check, whether the device answers, the login with the user's stored settings\n"
            "(novrix auth set) and the device's encryption key.  --sso also signs on (single\n"
            "sign-on).  Exit code 0 when the device accepts the job, 1 when it refuses or does\n"
            "not answer.\n"
            "blank-check plays the renderer finding a page PERCENT blank in a job with your\n"
            "preferences (novrix prefs: the Other tab's blank page check and its ratio): the module\n"
            "asks whether to print it when the check is on and the page reaches the ratio.  --yes\n"
            "prints, --no does not (without them you are asked); --stop ticks \"Do not check this\n"
            "job again\".  Exit code 0 when the module answered, 1 when it showed nothing.\n");
}

const char* AuthTypeName(int32_t type) {
    static const char* const kNames[] = {"unknown", "None", "Server", "Device", "MiddleServer", "DeviceAndServer",
                                         "DeviceAndExtServer"};
    return type >= 0 && type <= 6 ? kNames[type] : "unknown";
}

// What a device code means for the person at the terminal.
std::string CodeText(U code) {
    switch (code) {
        case 0: return "accepted";
        case 1: return "the device does not answer (code 1)";
        case 2: return "the device refused the request as malformed (code 2)";
        case 5: return "the device wants a login first (code 5)";
        case 6: return "the device is busy (code 6)";
        case 7: return "the device does not offer this (code 7)";
        case 8: return "the device refuses the device API (code 8)";
        case 16: return "the device could not be asked (code 16: no network address or no host library)";
        default: return "code " + std::to_string(code);
    }
}

bool HasText(const OEMDEV& record, size_t offset) {
    return nvx::GetLE16(record.bytes + offset) != 0;
}

// The job's settings record: the user's preferences when stored (else empty), with
// the stored authentication settings; user authentication and account track are
// on when a user name or department is stored.
std::unique_ptr<OEMDEV> JobRecord(HANDLE printer, bool* hasUser, bool* hasDepartment) {
    auto record = std::make_unique<OEMDEV>();
    std::memset(record.get(), 0, sizeof *record);
    std::vector<BYTE> devmode = LoadUserDevMode(printer);
    if (!devmode.empty()) {
        if (OEMDEV* found = nvx::settings::FindRecordInDevMode(reinterpret_cast<DEVMODEW*>(devmode.data())))
            std::memcpy(record.get(), found, sizeof *record);
        SecureZeroMemory(devmode.data(), devmode.size());
    }
    const bool type1 = nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    nvx::device::LoadUserSettings(printer, type1, record.get());
    *hasUser = HasText(*record, nvx::device::oemdev_user::kUserName);
    *hasDepartment = HasText(*record, nvx::device::oemdev_user::kDepartmentName);
    using nvx::settings::FindField;
    if (*hasUser) nvx::settings::SetNumber(*record, FindField("bUserAuth"), 1);
    if (*hasDepartment) nvx::settings::SetNumber(*record, FindField("bAccountTrack"), 1);
    return record;
}

std::string FieldText(const OEMDEV& record, size_t offset, size_t units) {
    nvx::WString text;
    for (size_t i = 0; i < units; ++i) {
        WCHAR c = static_cast<WCHAR>(nvx::GetLE16(record.bytes + offset + 2 * i));
        if (!c) break;
        text.push_back(c);
    }
    return nvx::Utf8FromW(text);
}

int Start(const Options& options, HANDLE printer, const std::string& name, bool sso) {
    const std::string folder = PrinterDriverFolder(printer, options);
    NvxPlatform_SetDriverFolder(kDriverName, folder.c_str());
    ModuleHost module;
    if (!module.Load(folder)) {
        fprintf(stderr, "novrix job start: %s\n", module.Error().c_str());
        return kExitFailed;
    }
    auto create = module.Entry<void* (*)()>("OAPICom_Create");
    auto remove = module.Entry<U (*)(void*)>("OAPICom_Delete");
    auto document = module.Entry<U (*)(U, U, U)>("Bidi_DocumentEvent_CreateDC");
    auto capability = module.Entry<U (*)(U, U, U, U, U, U, U)>("Bidi_PrintStart_GetAuthCapability");
    auto communicate = module.Entry<U (*)(U, U, U, U, U)>("Bidi_PrintStart_IsCommunicate");
    auto verify = module.Entry<U (*)(U, U, U, U, U, U, U, U, U, U, U, U, U)>("Bidi_PrintStart_VerifyAndEncryptKey");
    auto key = module.Entry<U (*)(U, U, U, U, U, U)>("Bidi_PrintStart_GetEncryptionKey");
    auto signOn = module.Entry<U (*)(U, U, U, U, U, U)>("Bidi_PrintStart_SSO");
    if (!create || !remove || !document || !capability || !communicate || !verify || !key || !signOn) {
        fprintf(stderr, "novrix job start: the module lacks a job-start entry point\n");
        return kExitFailed;
    }
    bool hasUser = false, hasDepartment = false;
    std::unique_ptr<OEMDEV> record = JobRecord(printer, &hasUser, &hasDepartment);
    std::vector<BYTE> devOption = LoadPrinterDevOption(printer, nullptr, nullptr);
    devOption.resize(nvx::settings::kDevOptionSize, 0);
    void* shared = create();
    const nvx::WString wide = nvx::WFromUtf8(name);
    const U p = reinterpret_cast<U>(printer), n = reinterpret_cast<U>(wide.c_str()), s = reinterpret_cast<U>(shared);
    const U r = reinterpret_cast<U>(record.get()), d = reinterpret_cast<U>(devOption.data());
    int exitCode = kExitOk;

    printf("Printer: %s\n", name.c_str());
    // The document is created first: the device's configuration summary is kept
    // with the printer's device information (novrix device info).
    U code = document(p, n, d);
    printf("Document created: %s\n", code == 0 ? "the device's configuration is kept" : CodeText(code).c_str());
    code = capability(p, n, s, d, 0, 0, r);
    printf("1. Authentication capability: %s\n", CodeText(code).c_str());
    int32_t authType = 0;
    code = communicate(p, d, s, 0, reinterpret_cast<U>(&authType));
    printf("2. Device answers: %s", code == 0 ? "yes" : CodeText(code).c_str());
    if (code == 0) printf("; authentication: %s", AuthTypeName(authType));
    printf("\n");
    if (code != 0) exitCode = kExitFailed;

    if (hasUser) printf("3. Login as %s", FieldText(*record, nvx::device::oemdev_user::kUserName, 80).c_str());
    else printf("3. Login as the public user");
    if (hasDepartment)
        printf(" (department %s)", FieldText(*record, nvx::device::oemdev_user::kDepartmentName, 12).c_str());
    char detail[256] = {};
    code = verify(p, n, s, r, d, reinterpret_cast<U>(detail), sizeof detail, 0, 0, 0, 0, 0, 1);
    if (code == 0) printf(": accepted\n");
    else if (code == 4) printf(": refused by the device: %s\n", detail[0] ? EchoText(detail).c_str() : "(no reason given)");
    else printf(": %s\n", CodeText(code).c_str());
    if (code != 0) exitCode = kExitFailed;

    namespace dv = nvx::settings::devoption;
    const U stored = key(p, n, s, r, d, 1);
    const uint16_t length = nvx::GetLE16(devOption.data() + dv::kPassphraseLength);
    if (stored) printf("4. Encryption key: received and kept enciphered (%u bytes%s)\n", static_cast<unsigned>(length),
                       devOption[dv::kPassphraseStored] ? ", user-defined" : "");
    else printf("4. Encryption key: none (not needed for this job, or the device gave none)\n");

    if (sso) {
        int32_t type = 0, state = 0;
        code = signOn(p, d, s, 0, reinterpret_cast<U>(&type), reinterpret_cast<U>(&state));
        if (code == 1) {
            printf("5. Single sign-on: signed on; authentication: %s\n", AuthTypeName(type));
            if (auto kept = nvx::device::ReadSignOnRecord(printer))
                printf("   Sign-on record: context of %s, integrity token of %u bytes\n", kept->contextId.c_str(),
                       static_cast<unsigned>(kept->micToken.size()));
        } else {
            printf("5. Single sign-on: not signed on (state %d)\n", static_cast<int>(state));
            exitCode = kExitFailed;
        }
    }
    remove(shared);
    SecureZeroMemory(record.get(), sizeof *record);
    SecureZeroMemory(devOption.data(), devOption.size());
    printf(exitCode == kExitOk ? "The device accepts the job.\n" : "The device does not accept the job.\n");
    return exitCode;
}

// The job's settings record: the user's preferences when stored, else the defaults
// (whose blank page check is off).
void PreferenceRecord(HANDLE printer, OEMDEV* record) {
    std::memset(record, 0, sizeof *record);
    std::vector<BYTE> devmode = LoadUserDevMode(printer);
    if (devmode.empty()) return;
    if (OEMDEV* found = nvx::settings::FindRecordInDevMode(reinterpret_cast<DEVMODEW*>(devmode.data())))
        std::memcpy(record, found, sizeof *record);
    SecureZeroMemory(devmode.data(), devmode.size());
}

struct BlankArgs {
    long ratio = -1, page = 0;
    bool stop = false;
    int answer = 0;  // 1 yes, 2 no, 0 ask
};

int BlankCheck(const Options& options, HANDLE printer, const std::string& name, const BlankArgs& a) {
    const std::string folder = PrinterDriverFolder(printer, options);
    NvxPlatform_SetDriverFolder(kDriverName, folder.c_str());
    ModuleHost module;
    if (!module.Load(folder)) {
        fprintf(stderr, "novrix job blank-check: %s\n", module.Error().c_str());
        return kExitFailed;
    }
    auto ask = module.Entry<U (*)(U)>("Popup_ChkBlankRatioDlg");
    if (!ask) {
        fprintf(stderr, "novrix job blank-check: the module lacks Popup_ChkBlankRatioDlg\n");
        return kExitFailed;
    }
    auto record = std::make_unique<OEMDEV>();
    PreferenceRecord(printer, record.get());
    const bool on = nvx::settings::GetNumber(*record, "bChkBlankRatio") != 0;
    const int32_t threshold = nvx::settings::GetNumber(*record, "nChkBlankRatio");
    printf("Printer: %s; blank page check %s", name.c_str(), on ? "on" : "off");
    if (on) printf(", asking at %d%% blank and more", threshold >= 1 && threshold <= 100 ? threshold : 75);
    printf("\n");
    struct Block {
        uint32_t size, page, percent, reserved;
        OEMDEV* record;
    } block{24, static_cast<uint32_t>(a.page), static_cast<uint32_t>(a.ratio), 0, record.get()};
    static_assert(sizeof(Block) == 24, "the module's block");
    struct Driver {
        const BlankArgs* args;
        bool asked = false;
        static void Drive(void* self, HWND dlg) {
            auto* d = static_cast<Driver*>(self);
            d->asked = true;
            WCHAR caption[128] = {}, text[512] = {};
            GetWindowTextW(dlg, caption, 128);
            GetDlgItemTextW(dlg, 2600, text, 512);
            std::string said = nvx::Utf8FromW(text);
            for (char& c : said)
                if (c == '\n') c = ' ';
            printf("Dialog \"%s\": %s\n", nvx::Utf8FromW(caption).c_str(), said.c_str());
            if (d->args->stop) NvxUi_SetCheck(GetDlgItem(dlg, 2601), BST_CHECKED);
            int answer = d->args->answer;
            while (answer == 0) {
                printf("Print the page? (yes/no): ");
                fflush(stdout);
                char line[64];
                if (!fgets(line, sizeof line, stdin)) {
                    answer = 2;
                    break;
                }
                if (line[0] == 'y' || line[0] == 'Y') answer = 1;
                else if (line[0] == 'n' || line[0] == 'N') answer = 2;
            }
            printf("  -> %s\n", answer == 1 ? "Print" : "Do Not Print");
            NvxUi_PressButton(dlg, answer == 1 ? IDOK : IDCANCEL);
        }
    } driver{&a};
    NvxUi_SetModalDriver(Driver::Drive, &driver);
    const U r = ask(reinterpret_cast<U>(&block));
    NvxUi_SetModalDriver(nullptr, nullptr);
    const bool stopped = on && nvx::settings::GetNumber(*record, "bChkBlankRatio") == 0;
    SecureZeroMemory(record.get(), sizeof *record);
    if (r == 1 && !driver.asked) {
        printf("No question: %s; the page is printed.\n",
               on ? "the page is below the ratio" : "the blank page check is off for this job");
        return kExitOk;
    }
    if (r == 1 || r == 2) {
        printf(r == 1 ? "The page is printed.\n" : "The page is not printed.\n");
        if (stopped) printf("The blank page check is off for the rest of the job.\n");
        return kExitOk;
    }
    fprintf(stderr, "novrix job blank-check: the module showed no question (answer %lu)\n",
            static_cast<unsigned long>(r));
    return kExitFailed;
}

}  // namespace

int CmdJob(const Options& options, const std::vector<std::string>& args) {
    std::string printerName, request;
    bool sso = false;
    BlankArgs blank;
    auto number = [](const std::string& text, long* out) {
        if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
        *out = std::stol(text);
        return true;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--printer" && i + 1 < args.size()) {
            printerName = args[++i];
        } else if ((args[i] == "--ratio" || args[i] == "--page") && i + 1 < args.size()) {
            const bool ratio = args[i] == "--ratio";
            if (!number(args[++i], ratio ? &blank.ratio : &blank.page) || (ratio && blank.ratio > 100)) {
                fprintf(stderr, "novrix job: %s takes %s, not '%s'\n", ratio ? "--ratio" : "--page",
                        ratio ? "a percentage from 0 to 100" : "a page number", EchoText(args[i]).c_str());
                return kExitUsage;
            }
        } else if (args[i] == "--stop") {
            blank.stop = true;
        } else if (args[i] == "--yes" || args[i] == "--no") {
            if (blank.answer != 0) {
                fprintf(stderr, "novrix job: give --yes or --no once\n");
                return kExitUsage;
            }
            blank.answer = args[i] == "--yes" ? 1 : 2;
        } else if (args[i] == "--sso") {
            sso = true;
        } else if (args[i] == "--help" || args[i] == "help") {
            JobUsage(stdout);
            return kExitOk;
        } else if (request.empty() && args[i].rfind("--", 0) != 0) {
            request = args[i];
        } else {
            fprintf(stderr, "novrix job: unexpected argument '%s'\n", EchoText(args[i]).c_str());
            JobUsage(stderr);
            return kExitUsage;
        }
    }
    if (request != "start" && request != "blank-check") {
        JobUsage(stderr);
        return kExitUsage;
    }
    if (request == "blank-check" && blank.ratio < 0) {
        fprintf(stderr, "novrix job blank-check: give the page's blank share with --ratio PERCENT\n");
        return kExitUsage;
    }
    const std::string name = printerName.empty() ? DefaultPrinterName() : printerName;
    if (name.empty()) {
        fprintf(stderr, "novrix job %s: there is no default printer; name one with --printer\n", request.c_str());
        return kExitFailed;
    }
    PrinterHandle printer;
    if (DWORD rc = printer.Open(name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix job %s: cannot open \"%s\": %s\n", request.c_str(), EchoText(name).c_str(),
                rc == ERROR_INVALID_PRINTER_NAME ? "no printer of that name" : ErrorText(rc).c_str());
        return kExitFailed;
    }
    if (request == "blank-check") return BlankCheck(options, printer.get(), name, blank);
    return Start(options, printer.get(), name, sso);
}

}  // namespace novrix
