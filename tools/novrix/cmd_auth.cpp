// novrix auth: the user's authentication and account track settings of a
// printer, as the module keeps them in the per-user store.  Passwords are read
// from standard input only, enciphered with the printer's password cipher before
// they are stored, and never printed.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "answers.h"
#include "commands.h"
#include "device/printer_cipher.h"
#include "device/user_settings.h"
#include "echo.h"
#include "sheet_session.h"
#include "frame/module_state.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/model_settings.h"
#include "model/package.h"
#include "module_host.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "store.h"

namespace novrix {
namespace {

void AuthUsage(FILE* out) {
    fprintf(out,
            "usage: novrix auth [--printer NAME] set [--user NAME] [--password-stdin]\n"
            "                   [--department NAME] [--department-password-stdin]\n"
            "       novrix auth [--printer NAME] show\n"
            "       novrix auth [--printer NAME] login [--public | --user NAME [--password-stdin]] [--cancel]\n"
            "       novrix auth [--printer NAME] user-settings [--id ID] [--password-stdin] [--box-name NAME]\n"
            "                   [--box-number NUMBER] [--retention NAME] [--verify] [--cancel]\n"
            "       novrix auth [--printer NAME] server [--server NAME] [--tree NAME] [--expense-code CODE]\n"
            "                   [--password-stdin] [--cancel]\n"
            "       novrix auth [--printer NAME] middle-server [--public | --user NAME [--password-stdin]]\n"
            "                   [--verify] [--cancel]\n"
            "set stores what is given and keeps the rest.  Passwords are read from standard input,\n"
            "one line each (the user password first when both are asked for); they are enciphered\n"
            "with the printer's password cipher before they are stored and are never shown.\n"
            "Limits: user name 80 characters, department name 12, passwords 64; text must fit\n"
            "code page 1252 (Western European).\n"
            "login plays the user authentication pop-up the host opens: it chooses the public user or\n"
            "the named user, types the name (and the password from standard input) and presses OK\n"
            "(Cancel with --cancel).  user-settings plays the user settings pop-up: the secure-print ID\n"
            "(16 characters), its password (145, from standard input), the box file name (30) and number (16).\n"
            "With the type-1 user settings (NOVRIX_VARIANTS=_DLG_USRSET_TYPE1=1) it presses the Basic tab's\n"
            "User Settings button instead; --retention chooses the job retention by its name and --verify\n"
            "presses Verify (the device's answer is printed) before OK.\n"
            "middle-server plays the middle server authentication pop-up: the public user or a named user,\n"
            "--verify presses Verify (the device checks the entries through its middle server and the\n"
            "pop-up's answer is printed), then OK (Cancel with --cancel).\n"
            "server plays the user authentication pop-up's Authentication Server dialog: the server by its\n"
            "shown name (Server01 ...), the tree or domain name (63 characters), the expense code (8) and its\n"
            "password (8, from standard input; plain ASCII only), then OK in both (Cancel with --cancel).\n");
}

struct Args {
    std::string printer, request, user, department;
    bool hasUser = false, hasDepartment = false, password = false, departmentPassword = false;
    bool publicUser = false, cancel = false, verify = false;
    std::string id, boxName, boxNumber, retention;
    bool hasId = false, hasBoxName = false, hasBoxNumber = false, hasRetention = false;
    std::string server, tree, expenseCode;
    bool hasServer = false, hasTree = false, hasExpenseCode = false;
};

int ParseArgs(const std::vector<std::string>& args, Args* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--printer" && hasValue) {
            out->printer = args[++i];
        } else if (a == "--user" && hasValue) {
            out->user = args[++i];
            out->hasUser = true;
        } else if (a == "--department" && hasValue) {
            out->department = args[++i];
            out->hasDepartment = true;
        } else if (a == "--id" && hasValue) {
            out->id = args[++i];
            out->hasId = true;
        } else if (a == "--box-name" && hasValue) {
            out->boxName = args[++i];
            out->hasBoxName = true;
        } else if (a == "--box-number" && hasValue) {
            out->boxNumber = args[++i];
            out->hasBoxNumber = true;
        } else if (a == "--retention" && hasValue) {
            out->retention = args[++i];
            out->hasRetention = true;
        } else if (a == "--server" && hasValue) {
            out->server = args[++i];
            out->hasServer = true;
        } else if (a == "--tree" && hasValue) {
            out->tree = args[++i];
            out->hasTree = true;
        } else if (a == "--expense-code" && hasValue) {
            out->expenseCode = args[++i];
            out->hasExpenseCode = true;
        } else if (a == "--public") {
            out->publicUser = true;
        } else if (a == "--cancel") {
            out->cancel = true;
        } else if (a == "--verify") {
            out->verify = true;
        } else if (a == "--password-stdin") {
            out->password = true;
        } else if (a == "--department-password-stdin") {
            out->departmentPassword = true;
        } else if (a == "--help" || a == "help") {
            AuthUsage(stdout);
            return -1;
        } else if (a.rfind("--", 0) != 0 && out->request.empty()) {
            out->request = a;
        } else {
            fprintf(stderr, "novrix auth: unexpected argument '%s'\n", EchoText(a).c_str());
            AuthUsage(stderr);
            return kExitUsage;
        }
    }
    const bool popup = out->request == "login" || out->request == "middle-server";
    if (popup && (out->hasDepartment || out->departmentPassword ||
                  (out->publicUser && (out->hasUser || out->password)))) {
        fprintf(stderr, "novrix auth: %s takes --public, or --user with --password-stdin\n", out->request.c_str());
        return kExitUsage;
    }
    if (!popup && out->publicUser) {
        fprintf(stderr, "novrix auth: --public belongs to login and middle-server\n");
        return kExitUsage;
    }
    const bool serverArgs = out->hasServer || out->hasTree || out->hasExpenseCode;
    if (out->request == "server" ? (out->hasUser || out->hasDepartment || out->departmentPassword || out->verify)
                                 : serverArgs) {
        fprintf(stderr, "novrix auth: --server, --tree and --expense-code belong to server (with --password-stdin "
                        "and --cancel)\n");
        return kExitUsage;
    }
    if (!popup && out->request != "user-settings" && out->request != "server" && out->cancel) {
        fprintf(stderr, "novrix auth: --cancel belongs to login, user-settings, server and middle-server\n");
        return kExitUsage;
    }
    if (out->request != "middle-server" && out->request != "user-settings" && out->verify) {
        fprintf(stderr, "novrix auth: --verify belongs to middle-server and user-settings\n");
        return kExitUsage;
    }
    const bool settingsArgs = out->hasId || out->hasBoxName || out->hasBoxNumber || out->hasRetention;
    if ((out->request != "user-settings" && settingsArgs) ||
        (out->request == "user-settings" && (out->hasUser || out->hasDepartment || out->departmentPassword))) {
        fprintf(stderr, "novrix auth: --id, --box-name, --box-number and --retention belong to user-settings "
                        "(with --password-stdin)\n");
        return kExitUsage;
    }
    if (out->request != "set" && out->request != "show" && out->request != "login" &&
        out->request != "user-settings" && out->request != "middle-server" && out->request != "server") {
        AuthUsage(stderr);
        return kExitUsage;
    }
    if (out->request == "show" && (out->hasUser || out->hasDepartment || out->password || out->departmentPassword)) {
        fprintf(stderr, "novrix auth: show takes no settings\n");
        return kExitUsage;
    }
    return kExitOk;
}

const char* ModeName(nvx::device::CipherMode m) {
    switch (m) {
        case nvx::device::CipherMode::Aes: return "AES";
        case nvx::device::CipherMode::Des: return "DES";
        default: return "none";
    }
}

// One line of standard input, without its line end; false at the end of input.
bool ReadSecretLine(std::string* line) {
    if (!std::getline(std::cin, *line)) return false;
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return true;
}

void Wipe(std::string* s) {
    if (!s->empty()) SecureZeroMemory(s->data(), s->size());
    s->clear();
}
void Wipe(nvx::WString* s) {
    if (!s->empty()) SecureZeroMemory(s->data(), s->size() * sizeof(WCHAR));
    s->clear();
}

// Reads a password from standard input and enciphers it into its field.
int StorePassword(const char* what, const nvx::device::PasswordCipher& cipher, nvx::device::PasswordField field,
                  nvx::device::UserSettingsRecord* rec) {
    std::string line;
    if (!ReadSecretLine(&line)) {
        fprintf(stderr, "novrix auth: no %s on standard input\n", what);
        return kExitFailed;
    }
    nvx::WString wide = nvx::WFromUtf8(line);
    Wipe(&line);
    const nvx::device::PasswordResult r = nvx::device::SetPassword(cipher, wide, field, rec);
    Wipe(&wide);
    if (r != nvx::device::PasswordResult::Stored) {
        fprintf(stderr, "novrix auth: %s refused: %s; nothing was changed\n", what,
                nvx::device::PasswordResultText(r));
        return kExitFailed;
    }
    return kExitOk;
}

template <size_t N>
bool PutName(const std::string& utf8, size_t limit, WCHAR (&field)[N], const char* what) {
    const nvx::WString wide = nvx::WFromUtf8(utf8);
    if (wide.size() > limit) {
        fprintf(stderr, "novrix auth: the %s takes at most %zu characters, not %zu; nothing was changed\n", what,
                limit, wide.size());
        return false;
    }
    if (wide.find(WCHAR{0}) != nvx::WString::npos) {
        fprintf(stderr, "novrix auth: the %s holds a NUL character; nothing was changed\n", what);
        return false;
    }
    std::memset(field, 0, sizeof field);
    std::memcpy(field, wide.data(), wide.size() * sizeof(WCHAR));
    return true;
}

template <size_t N>
std::string Text(const WCHAR (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n]) ++n;
    return nvx::Utf8FromW(nvx::WStringView(field, n));
}

std::string PasswordState(uint16_t length) {
    return length ? "set (stored enciphered, " + std::to_string(length) + " bytes)" : "not set";
}

// login: the module's user authentication pop-up, driven as a person would.
// The password of a pop-up command, from standard input when --password-stdin
// asks for it; false (after saying so) when it was asked for and not given.
bool ReadPasswordArg(const char* command, bool wanted, nvx::WString* password) {
    if (!wanted) return true;
    std::string line;
    if (!ReadSecretLine(&line)) {
        fprintf(stderr, "novrix auth %s: no password on standard input\n", command);
        return false;
    }
    *password = nvx::WFromUtf8(line);
    Wipe(&line);
    return true;
}

// Loads the module from the printer's driver folder, as the spooler would for its
// dialogs; a failure is reported for the command.
bool LoadPrinterModule(const Options& options, HANDLE printer, const char* command, ModuleHost* module) {
    const std::string folder = PrinterDriverFolder(printer, options);
    NvxPlatform_SetDriverFolder(kDriverName, folder.c_str());
    if (module->Load(folder)) return true;
    fprintf(stderr, "novrix auth %s: %s\n", command, module->Error().c_str());
    return false;
}

// The host's settings record for a pop-up, started from what the user's store holds.
std::unique_ptr<OEMDEV> StoredUserRecord(HANDLE printer, bool type1) {
    auto dev = std::make_unique<OEMDEV>();
    std::memset(dev.get(), 0, sizeof *dev);
    nvx::device::LoadUserSettings(printer, type1, dev.get());
    return dev;
}

int Login(const Options& options, const Args& a, HANDLE printer, const std::string& name) {
    ModuleHost module;
    if (!LoadPrinterModule(options, printer, "login", &module)) return kExitFailed;
    if (a.hasUser && nvx::WFromUtf8(a.user).size() > nvx::device::kUserNameChars) {
        fprintf(stderr, "novrix auth login: the user name takes at most %zu characters; nothing was changed\n",
                nvx::device::kUserNameChars);
        return kExitFailed;
    }
    auto popup = module.Entry<UINT_PTR (*)(UINT_PTR)>("Popup_UserAuthenticDlg");
    if (!popup) {
        fprintf(stderr, "novrix auth login: the module has no Popup_UserAuthenticDlg\n");
        return kExitFailed;
    }
    nvx::WString password;
    if (!ReadPasswordArg("login", a.password, &password)) return kExitFailed;
    auto dev = StoredUserRecord(printer, nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0);
    std::vector<BYTE> devOption(6676, 0);
    HANDLE handle = printer;
    void* block[4] = {&handle, dev.get(), devOption.data(), nullptr};

    std::string refusal;
    AnswerPolicy policy;
    policy.answer = AutoAnswer::None;
    policy.script = true;  // a refusal's box is answered, never waited for
    policy.dialog = [&](HWND dlg) {
        if (a.publicUser) NvxUi_Click(GetDlgItem(dlg, 1871));
        if (a.hasUser) {
            NvxUi_Click(GetDlgItem(dlg, 1872));
            const nvx::WString user = nvx::WFromUtf8(a.user);
            NvxUi_Type(GetDlgItem(dlg, 1874), user.c_str(), NVXUI_TYPE_REPLACE);
        }
        if (a.password) NvxUi_Type(GetDlgItem(dlg, 2028), password.c_str(), NVXUI_TYPE_REPLACE);
        NvxUi_PressButton(dlg, a.cancel ? IDCANCEL : IDOK);
        // Still open: OK was refused (its message went to standard error); cancel it.
        if (IsWindow(dlg) && IsWindowVisible(dlg)) {
            refusal = "refused";
            NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    InstallAnswers(&policy);
    const UINT_PTR answer = popup(reinterpret_cast<UINT_PTR>(block));
    UninstallAnswers();
    Wipe(&password);
    nvx::device::UserSettingsRecord rec{};
    nvx::device::CopyFromOemdev(*dev, false, &rec);
    SecureZeroMemory(dev.get(), sizeof *dev);
    int rc = kExitOk;
    if (answer == 5) {
        fprintf(stderr, "novrix auth login: the pop-up could not be shown\n");
        rc = kExitFailed;
    } else if (!refusal.empty()) {
        fprintf(stderr, "novrix auth login: the pop-up refused the entries; nothing was changed\n");
        rc = kExitFailed;
    } else if (answer != IDOK) {
        printf("Cancelled: the settings of %s are as they were.\n", name.c_str());
    } else {
        printf("Stored for %s: %s\n", name.c_str(),
               rec.userType == 2 ? ("user " + Text(rec.userName) + ", password " + PasswordState(rec.userPassLength))
                                       .c_str()
                                 : "public user");
    }
    SecureZeroMemory(&rec, sizeof rec);
    return rc;
}

// user-settings with the type-1 variant: the dialog the Basic tab's User Settings
// button opens, pressed on the printing preferences as a person would.  The sheet
// itself is cancelled afterwards: the dialog keeps what it takes in the user's store.
int UserSettingsType1(const Options& options, const Args& a, const std::string& name) {
    nvx::WString password;
    if (!ReadPasswordArg("user-settings", a.password, &password)) return kExitFailed;
    SheetSession session;
    std::string error;
    if (!session.Open(options, name, &error)) {
        fprintf(stderr, "novrix auth user-settings: %s\n", error.c_str());
        Wipe(&password);
        return kExitFailed;
    }
    const int basic = session.FindPage("Basic");
    HWND page = basic >= 0 ? session.ShowPage(static_cast<size_t>(basic)) : nullptr;
    HWND button = page ? GetDlgItem(page, 1285) : nullptr;
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) {
        fprintf(stderr, "novrix auth user-settings: this model's Basic tab offers no User Settings button\n");
        session.Cancel();
        Wipe(&password);
        return kExitFailed;
    }
    // The host hands the dialog the settings record with the user's stored settings in it.
    nvx::device::LoadUserSettings(session.Printer(), true, reinterpret_cast<OEMDEV*>(session.Record()));
    bool opened = false, refused = false, unknownRetention = false;
    AnswerPolicy policy;
    policy.script = true;  // boxes are printed and answered, never waited for
    policy.dialog = [&](HWND dlg) {
        opened = true;
        auto type = [&](int id, const std::string& text) {
            const nvx::WString w = nvx::WFromUtf8(text);
            NvxUi_Type(GetDlgItem(dlg, id), w.c_str(), NVXUI_TYPE_REPLACE);
        };
        if (a.hasId) type(1424, a.id);
        if (a.password) NvxUi_Type(GetDlgItem(dlg, 2027), password.c_str(), NVXUI_TYPE_REPLACE);
        if (a.hasBoxName) type(1421, a.boxName);
        if (a.hasBoxNumber) type(1419, a.boxNumber);
        if (a.hasRetention) {
            const nvx::WString w = nvx::WFromUtf8(a.retention);
            HWND combo = GetDlgItem(dlg, 1425);
            if (!IsWindowEnabled(combo) || !NvxUi_ChooseComboText(combo, w.c_str())) {
                unknownRetention = true;
                NvxUi_PressButton(dlg, IDCANCEL);
                return;
            }
        }
        if (a.verify) NvxUi_PressButton(dlg, 2177);
        NvxUi_PressButton(dlg, a.cancel ? IDCANCEL : IDOK);
        if (IsWindow(dlg) && IsWindowVisible(dlg)) {
            refused = true;
            NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    InstallAnswers(&policy);
    NvxUi_Click(button);
    UninstallAnswers();
    Wipe(&password);
    session.Cancel();
    if (!opened) {
        fprintf(stderr, "novrix auth user-settings: the User Settings dialog did not open\n");
        return kExitFailed;
    }
    if (unknownRetention) {
        fprintf(stderr, "novrix auth user-settings: this model has no job retention \"%s\"; nothing was changed\n",
                EchoText(a.retention).c_str());
        return kExitFailed;
    }
    if (refused) {
        fprintf(stderr, "novrix auth user-settings: the dialog refused the entries; nothing was changed\n");
        return kExitFailed;
    }
    if (a.cancel) {
        printf("Cancelled: the settings of %s are as they were.\n", name.c_str());
        return kExitOk;
    }
    nvx::device::UserSettingsRecord rec{};
    nvx::device::ReadStoredUserSettings(session.Printer(), &rec);
    printf("Stored for %s: secure print ID %s, password %s, box %s number %s, output method %u\n", name.c_str(),
           Text(rec.securePrintId).c_str(), PasswordState(rec.securePrintPassLength).c_str(),
           Text(rec.boxFileName).c_str(), Text(rec.boxNumber).c_str(), static_cast<unsigned>(rec.outputMethod));
    SecureZeroMemory(&rec, sizeof rec);
    return kExitOk;
}

// user-settings: the module's user settings pop-up (Popup_UserSettingDlgT2).
int UserSettings(const Options& options, const Args& a, HANDLE printer, const std::string& name) {
    ModuleHost module;
    if (!LoadPrinterModule(options, printer, "user-settings", &module)) return kExitFailed;
    // The pop-up's fields take no more than their limits (a person cannot type more):
    // refused here rather than cut.
    for (const auto& [given, text, limit, what] :
         {std::tuple{a.hasId, &a.id, size_t{16}, "secure print ID"},
          std::tuple{a.hasBoxName, &a.boxName, size_t{30}, "box file name"},
          std::tuple{a.hasBoxNumber, &a.boxNumber, size_t{16}, "box number"}}) {
        if (given && nvx::WFromUtf8(*text).size() > limit) {
            fprintf(stderr, "novrix auth user-settings: the %s takes at most %zu characters; nothing was changed\n",
                    what, limit);
            return kExitFailed;
        }
    }
    auto popup = module.Entry<UINT_PTR (*)(UINT_PTR*)>("Popup_UserSettingDlgT2");
    if (!popup) {
        fprintf(stderr, "novrix auth user-settings: the module has no Popup_UserSettingDlgT2\n");
        return kExitFailed;
    }
    nvx::WString password;
    if (!ReadPasswordArg("user-settings", a.password, &password)) return kExitFailed;
    const bool type1 = nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    auto dev = StoredUserRecord(printer, type1);
    std::vector<BYTE> devOption(6676, 0);
    HANDLE handle = printer;
    void* block[4] = {&handle, dev.get(), devOption.data(), nullptr};
    bool refused = false;
    AnswerPolicy policy;
    policy.script = true;
    policy.dialog = [&](HWND dlg) {
        auto type = [&](int id, const std::string& text) {
            const nvx::WString w = nvx::WFromUtf8(text);
            NvxUi_Type(GetDlgItem(dlg, id), w.c_str(), NVXUI_TYPE_REPLACE);
        };
        if (a.hasId) type(1424, a.id);
        if (a.password) NvxUi_Type(GetDlgItem(dlg, 2027), password.c_str(), NVXUI_TYPE_REPLACE);
        if (a.hasBoxName) type(1421, a.boxName);
        if (a.hasBoxNumber) type(1419, a.boxNumber);
        NvxUi_PressButton(dlg, a.cancel ? IDCANCEL : IDOK);
        if (IsWindow(dlg) && IsWindowVisible(dlg)) {
            refused = true;
            NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    InstallAnswers(&policy);
    const UINT_PTR answer = popup(reinterpret_cast<UINT_PTR*>(block));
    UninstallAnswers();
    Wipe(&password);
    nvx::device::UserSettingsRecord rec{};
    nvx::device::CopyFromOemdev(*dev, type1, &rec);
    SecureZeroMemory(dev.get(), sizeof *dev);
    int rc = kExitOk;
    if (answer == 0) {
        fprintf(stderr, "novrix auth user-settings: this model has no user settings pop-up\n");
        rc = kExitFailed;
    } else if (answer == 5) {
        fprintf(stderr, "novrix auth user-settings: the pop-up could not be shown\n");
        rc = kExitFailed;
    } else if (refused) {
        fprintf(stderr, "novrix auth user-settings: the pop-up refused the entries; nothing was changed\n");
        rc = kExitFailed;
    } else if (answer != IDOK) {
        printf("Cancelled: the settings of %s are as they were.\n", name.c_str());
    } else {
        printf("Stored for %s: secure print ID %s, password %s, box %s number %s\n", name.c_str(),
               Text(rec.securePrintId).c_str(), PasswordState(rec.securePrintPassLength).c_str(),
               Text(rec.boxFileName).c_str(), Text(rec.boxNumber).c_str());
    }
    SecureZeroMemory(&rec, sizeof rec);
    return rc;
}

// server: the user authentication pop-up's Authentication Server button and the
// dialog it opens, driven as a person would; OK in both keeps the entries.
int ServerSettings(const Options& options, const Args& a, HANDLE printer, const std::string& name) {
    ModuleHost module;
    if (!LoadPrinterModule(options, printer, "server", &module)) return kExitFailed;
    auto popup = module.Entry<UINT_PTR (*)(UINT_PTR)>("Popup_UserAuthenticDlg");
    if (!popup) {
        fprintf(stderr, "novrix auth server: the module has no Popup_UserAuthenticDlg\n");
        return kExitFailed;
    }
    nvx::WString password;
    if (!ReadPasswordArg("server", a.password, &password)) return kExitFailed;
    auto dev = StoredUserRecord(printer, nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0);
    std::vector<BYTE> devOption(6676, 0);
    HANDLE handle = printer;
    void* block[4] = {&handle, dev.get(), devOption.data(), nullptr};
    bool offered = false, opened = false, refused = false, unknownServer = false;
    AnswerPolicy policy;
    policy.script = true;
    policy.dialog = [&](HWND dlg) {
        if (GetDlgItem(dlg, 2180)) {  // the authentication server dialog
            opened = true;
            auto type = [&](int id, const std::string& text) {
                const nvx::WString w = nvx::WFromUtf8(text);
                NvxUi_Type(GetDlgItem(dlg, id), w.c_str(), NVXUI_TYPE_REPLACE);
            };
            if (a.hasServer && !NvxUi_ChooseComboText(GetDlgItem(dlg, 2180), nvx::WFromUtf8(a.server).c_str())) {
                unknownServer = true;
                NvxUi_PressButton(dlg, IDCANCEL);
                return;
            }
            if (a.hasTree) type(2182, a.tree);
            if (a.hasExpenseCode) type(2184, a.expenseCode);
            if (a.password) NvxUi_Type(GetDlgItem(dlg, 2186), password.c_str(), NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dlg, a.cancel ? IDCANCEL : IDOK);
            if (IsWindow(dlg) && IsWindowVisible(dlg)) {
                refused = true;
                NvxUi_PressButton(dlg, IDCANCEL);
            }
            return;
        }
        HWND button = GetDlgItem(dlg, 2174);
        offered = button && IsWindowVisible(button) && IsWindowEnabled(button);
        if (offered) NvxUi_PressButton(dlg, 2174);
        NvxUi_PressButton(dlg, offered && opened && !refused && !unknownServer && !a.cancel ? IDOK : IDCANCEL);
    };
    InstallAnswers(&policy);
    const UINT_PTR answer = popup(reinterpret_cast<UINT_PTR>(block));
    UninstallAnswers();
    Wipe(&password);
    const uint16_t serverSetting = static_cast<uint16_t>(dev->bytes[1362] | (dev->bytes[1363] << 8));
    SecureZeroMemory(dev.get(), sizeof *dev);
    if (answer == 5) {
        fprintf(stderr, "novrix auth server: the pop-up could not be shown\n");
        return kExitFailed;
    }
    if (!offered) {
        fprintf(stderr, "novrix auth server: this model has no authentication server settings\n");
        return kExitFailed;
    }
    if (unknownServer) {
        fprintf(stderr, "novrix auth server: this model has no server \"%s\"; nothing was changed\n",
                EchoText(a.server).c_str());
        return kExitFailed;
    }
    if (refused) {
        fprintf(stderr, "novrix auth server: the dialog refused the entries; nothing was changed\n");
        return kExitFailed;
    }
    if (answer != IDOK) {
        printf("Cancelled: the settings of %s are as they were.\n", name.c_str());
        return kExitOk;
    }
    printf("Stored for %s: authentication server %u", name.c_str(), static_cast<unsigned>(serverSetting));
    if (a.hasTree) printf(", tree/domain %s", a.tree.c_str());
    if (a.hasExpenseCode) printf(", expense code %s", a.expenseCode.c_str());
    if (a.password) printf(", expense code password set (stored enciphered)");
    printf("\n");
    return kExitOk;
}

// middle-server: the module's middle server authentication pop-up
// (Popup_MiddleServerAuthenticDlg), with Verify on request.
int MiddleServer(const Options& options, const Args& a, HANDLE printer, const std::string& name) {
    ModuleHost module;
    if (!LoadPrinterModule(options, printer, "middle-server", &module)) return kExitFailed;
    if (a.hasUser && nvx::WFromUtf8(a.user).size() > nvx::device::kUserNameChars) {
        fprintf(stderr, "novrix auth middle-server: the user name takes at most %zu characters; nothing was changed\n",
                nvx::device::kUserNameChars);
        return kExitFailed;
    }
    auto popup = module.Entry<UINT_PTR (*)(void*)>("Popup_MiddleServerAuthenticDlg");
    if (!popup) {
        fprintf(stderr, "novrix auth middle-server: the module has no Popup_MiddleServerAuthenticDlg\n");
        return kExitFailed;
    }
    nvx::WString password;
    if (!ReadPasswordArg("middle-server", a.password, &password)) return kExitFailed;
    const bool type1 = nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    auto dev = StoredUserRecord(printer, type1);
    std::vector<BYTE> devOption(6676, 0);
    DWORD verified = 0;
    void* block[4] = {printer, dev.get(), &verified, devOption.data()};
    bool refused = false;
    AnswerPolicy policy;
    policy.script = true;
    policy.dialog = [&](HWND dlg) {
        const bool isPublic = IsDlgButtonChecked(dlg, 999) == BST_CHECKED;
        if (a.publicUser && !isPublic) NvxUi_Click(GetDlgItem(dlg, 999));
        if (a.hasUser) {
            if (isPublic) NvxUi_Click(GetDlgItem(dlg, 999));
            const nvx::WString user = nvx::WFromUtf8(a.user);
            NvxUi_Type(GetDlgItem(dlg, 1874), user.c_str(), NVXUI_TYPE_REPLACE);
        }
        if (a.password) NvxUi_Type(GetDlgItem(dlg, 2028), password.c_str(), NVXUI_TYPE_REPLACE);
        if (a.verify) NvxUi_PressButton(dlg, 2177);
        NvxUi_PressButton(dlg, a.cancel ? IDCANCEL : IDOK);
        if (IsWindow(dlg) && IsWindowVisible(dlg)) {
            refused = true;
            NvxUi_PressButton(dlg, IDCANCEL);
        }
    };
    InstallAnswers(&policy);
    const UINT_PTR answer = popup(block);
    UninstallAnswers();
    Wipe(&password);
    nvx::device::UserSettingsRecord rec{};
    nvx::device::CopyFromOemdev(*dev, type1, &rec);
    SecureZeroMemory(dev.get(), sizeof *dev);
    int rc = kExitOk;
    if (answer == 5) {
        fprintf(stderr, "novrix auth middle-server: the pop-up could not be shown\n");
        rc = kExitFailed;
    } else if (refused) {
        fprintf(stderr, "novrix auth middle-server: the pop-up refused the entries; nothing was changed\n");
        rc = kExitFailed;
    } else if (answer != IDOK) {
        printf("Cancelled: the settings of %s are as they were.\n", name.c_str());
    } else {
        printf("Stored for %s: middle server %s\n", name.c_str(),
               rec.middleServerMode == 1
                   ? "public user"
                   : ("user " + Text(rec.userName) + ", password " + PasswordState(rec.userPassLength)).c_str());
    }
    if (a.verify && !refused && answer != 5) {
        printf("Verification: %s\n", verified ? "accepted by the device" : "not accepted");
        if (!verified) rc = kExitFailed;
    }
    SecureZeroMemory(&rec, sizeof rec);
    return rc;
}

}  // namespace

// The model's cipher settings, read from the printer's model data as the module
// reads them, so that this process enciphers as the module does.
bool LoadModelCipher(const std::string& folder) {
    nvx::WString path = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg) return false;
    nvx::model::LoadEncryptionSettings(*pkg, nvx::model::Loaded().tables.settings.encryption);
    nvx::device::ForgetPrinterCiphers();
    return true;
}

int CmdAuth(const Options& options, const std::vector<std::string>& args) {
    Args a;
    if (int rc = ParseArgs(args, &a); rc != kExitOk) return rc < 0 ? kExitOk : rc;
    const std::string name = a.printer.empty() ? DefaultPrinterName() : a.printer;
    if (name.empty()) {
        fprintf(stderr, "novrix auth: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    PrinterHandle printer;
    if (DWORD rc = printer.Open(name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix auth: cannot open \"%s\": %s\n", EchoText(name).c_str(),
                rc == ERROR_INVALID_PRINTER_NAME ? "no printer of that name" : ErrorText(rc).c_str());
        return kExitFailed;
    }
    if (!LoadModelCipher(PrinterDriverFolder(printer.get(), options))) {
        fprintf(stderr, "novrix auth: the printer's model data cannot be read\n");
        return kExitFailed;
    }
    if (a.request == "login") return Login(options, a, printer.get(), name);
    if (a.request == "user-settings") {
        if (nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0) return UserSettingsType1(options, a, name);
        if (a.hasRetention || a.verify) {
            fprintf(stderr, "novrix auth user-settings: --retention and --verify belong to the type-1 user settings\n");
            return kExitUsage;
        }
        return UserSettings(options, a, printer.get(), name);
    }
    if (a.request == "middle-server") return MiddleServer(options, a, printer.get(), name);
    if (a.request == "server") return ServerSettings(options, a, printer.get(), name);
    const nvx::device::PasswordCipher* cipher = &nvx::device::PrinterPasswordCipher(printer.get());
    nvx::device::UserSettingsRecord rec{};
    nvx::device::ReadStoredUserSettings(printer.get(), &rec);  // what is missing stays empty

    if (a.request == "show") {
        printf("Printer: %s\n", name.c_str());
        printf("  user name            %s\n", Text(rec.userName).c_str());
        printf("  password             %s\n", PasswordState(rec.userPassLength).c_str());
        printf("  department           %s\n", Text(rec.departmentName).c_str());
        printf("  department password  %s\n", PasswordState(rec.departmentPassLength).c_str());
        printf("  password cipher      %s\n", ModeName(cipher->Mode()));
        if (cipher->Mode() == nvx::device::CipherMode::None)
            printf("Warning: this model keeps passwords in clear (its \"UI_Encryption\" chooses no cipher).\n");
        SecureZeroMemory(&rec, sizeof rec);
        return kExitOk;
    }

    if (!a.hasUser && !a.hasDepartment && !a.password && !a.departmentPassword) {
        fprintf(stderr, "novrix auth: set needs --user, --department or a password\n");
        return kExitUsage;
    }
    // A model without a key number enciphers with the printer's key seed: make
    // sure it exists before anything is enciphered under it.
    if (cipher->Mode() != nvx::device::CipherMode::None && cipher->Settings().keyId == 0 &&
        !cipher->Settings().keyText) {
        if (nvx::device::CreateKeySeed(printer.get()) != ERROR_SUCCESS) {
            fprintf(stderr,
                    "novrix auth: the printer has no key seed yet and it cannot be created here (it needs the "
                    "right to administer the printer); nothing was changed\n");
            return kExitFailed;
        }
        cipher = &nvx::device::PrinterPasswordCipher(printer.get());
    }
    int rc = kExitOk;
    if (a.hasUser && !PutName(a.user, nvx::device::kUserNameChars, rec.userName, "user name")) rc = kExitFailed;
    if (rc == kExitOk && a.hasDepartment &&
        !PutName(a.department, nvx::device::kDepartmentNameChars, rec.departmentName, "department name"))
        rc = kExitFailed;
    if (rc == kExitOk && a.password)
        rc = StorePassword("password", *cipher, nvx::device::PasswordField::User, &rec);
    if (rc == kExitOk && a.departmentPassword)
        rc = StorePassword("department password", *cipher, nvx::device::PasswordField::Department, &rec);
    if (rc != kExitOk) {
        SecureZeroMemory(&rec, sizeof rec);
        return rc;
    }
    auto dev = std::make_unique<OEMDEV>();
    std::memset(dev.get(), 0, sizeof *dev);
    const bool type1 = nvx::frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    nvx::device::CopyToOemdev(rec, type1, dev.get());
    const bool saved = nvx::device::SaveUserSettings(printer.get(), type1, *dev);
    SecureZeroMemory(dev.get(), sizeof *dev);
    SecureZeroMemory(&rec, sizeof rec);
    if (!saved) {
        fprintf(stderr, "novrix auth: the settings could not all be stored for \"%s\"\n", EchoText(name).c_str());
        return kExitFailed;
    }
    printf("Stored for %s.\n", name.c_str());
    if (cipher->Mode() == nvx::device::CipherMode::None)
        printf("Warning: this model keeps passwords in clear (its \"UI_Encryption\" chooses no cipher).\n");
    return kExitOk;
}

}  // namespace novrix
