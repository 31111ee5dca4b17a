// novrix fax cover: the printer's current fax cover sheet and the user's named
// cover sheet sets, as the module keeps them in the per-user store.
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "answers.h"
#include "commands.h"
#include "echo.h"
#include "fax/cover_sheet.h"
#include "model/stores.h"
#include "module_host.h"
#include "page_view.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "store.h"

namespace novrix {
namespace {

using namespace nvx::fax;

void CoverUsage(FILE* out) {
    fprintf(out,
            "usage: novrix fax cover show [--printer NAME]\n"
            "       novrix fax cover save NAME [--printer NAME]     keep the current cover sheet as a named set\n"
            "       novrix fax cover use NAME [--printer NAME]      make a named set the current cover sheet\n"
            "       novrix fax cover delete NAME [--printer NAME]   delete a named set\n"
            "       novrix fax cover edit [--printer NAME] [--tab NAME] [--set LABEL=VALUE] [--press LABEL]\n"
            "                             [--ok] ... [--yes|--no] [--cancel]\n"
            "       novrix fax cover edit [--printer NAME] [--yes|--no]   (commands from the terminal)\n"
            "The printer defaults to the default printer.  A set holds the basic, sender and image\n"
            "parts; using one keeps the current recipient part.  Set names have 1 to %zu characters.\n"
            "edit opens the cover sheet dialog: --tab, --set, --press and --ok act in order on the\n"
            "dialog in front (--ok ends a Save or Edit dialog); the cover sheet dialog then ends\n"
            "with OK and the cover sheet is stored, or with Cancel when --cancel is given or an\n"
            "action failed.  Without actions the commands come from standard input:\n"
            "show, tabs, tab NAME, set LABEL=VALUE, choices LABEL, press LABEL, ok, cancel, help.\n",
            kSetNameChars);
}

// One scripted action of edit, in command-line order.
struct EditAction {
    enum Kind { Tab, Set, Press, Ok } kind;
    std::string text;
};

struct CoverArgs {
    std::string action, name, printer;
    std::vector<EditAction> actions;
    AutoAnswer answer = AutoAnswer::None;
    bool cancel = false;
};

bool ParseArgs(const std::vector<std::string>& args, CoverArgs* out) {
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--printer" && hasValue) {
            out->printer = args[++i];
        } else if (a == "--tab" && hasValue) {
            out->actions.push_back({EditAction::Tab, args[++i]});
        } else if (a == "--set" && hasValue) {
            out->actions.push_back({EditAction::Set, args[++i]});
        } else if (a == "--press" && hasValue) {
            out->actions.push_back({EditAction::Press, args[++i]});
        } else if (a == "--ok") {
            out->actions.push_back({EditAction::Ok, ""});
        } else if (a == "--yes" || a == "--no") {
            out->answer = a == "--yes" ? AutoAnswer::Yes : AutoAnswer::No;
        } else if (a == "--cancel") {
            out->cancel = true;
        } else if (args[i].rfind("--", 0) == 0) {
            fprintf(stderr, "novrix fax cover: unknown option %s\n", EchoText(args[i]).c_str());
            return false;
        } else {
            words.push_back(args[i]);
        }
    }
    if (words.empty()) {
        fprintf(stderr, "novrix fax cover: name an action (show, save, use, delete, edit)\n");
        return false;
    }
    out->action = words[0];
    bool wantsName = out->action == "save" || out->action == "use" || out->action == "delete";
    if ((!out->actions.empty() || out->cancel || out->answer != AutoAnswer::None) && out->action != "edit") {
        fprintf(stderr, "novrix fax cover %s: --tab, --set, --press, --ok, --yes, --no and --cancel are for edit\n",
                EchoText(out->action).c_str());
        return false;
    }
    if (out->action != "show" && out->action != "edit" && !wantsName) {
        fprintf(stderr, "novrix fax cover: unknown action '%s'\n", EchoText(out->action).c_str());
        return false;
    }
    if (words.size() != (wantsName ? 2u : 1u)) {
        fprintf(stderr, wantsName ? "novrix fax cover %s: name one set\n" : "novrix fax cover %s: takes no name\n",
                out->action.c_str());
        return false;
    }
    if (wantsName) out->name = words[1];
    return true;
}

// The printer and its driver, as the store's key names them.
struct Target {
    nvx::WString printer, driver;
};

bool FindTarget(const std::string& wanted, Target* target) {
    std::string name = wanted.empty() ? DefaultPrinterName() : wanted;
    if (name.empty()) {
        fprintf(stderr, "novrix fax cover: there is no default printer; name one with --printer\n");
        return false;
    }
    for (const PrinterEntry& p : ListPrinters()) {
        if (p.name != name) continue;
        target->printer = nvx::WFromUtf8(p.name);
        target->driver = nvx::WFromUtf8(p.driver);
        return true;
    }
    fprintf(stderr, "novrix fax cover: unknown printer \"%s\" (novrix printer list shows them)\n",
            EchoText(name).c_str());
    return false;
}

std::string Text(const nvx::WString& text) {
    return nvx::Utf8FromW(text);
}

const char* OnOff(uint8_t flag) {
    return flag ? "on" : "off";
}

void PrintRecord(const CoverSheetRecord& r, const std::vector<CoverSheetSet>& sets) {
    int match = MatchingSet(sets, r);
    printf("Cover sheet set: %s\n", match >= 0 ? Text(FieldText(sets[static_cast<size_t>(match)].name)).c_str()
                                               : "(untitled)");
    printf("Cover size: %u\n", r.coverSize);
    const CoverBasic& b = r.basic;
    printf("Basic:\n");
    printf("  Style: FcsBStyle%02u\n", b.style);
    printf("  Subject: %s \"%s\"\n", OnOff(b.subjectOn), Text(FieldText(b.subject)).c_str());
    printf("  Date: %s, ", OnOff(b.dateOn));
    if (b.dateMode == 0) {
        printf("form %u\n", b.dateForm);
    } else {
        printf("typed \"%s\"\n", Text(FieldText(b.typedDate)).c_str());
    }
    printf("  Page count: %s, %u including the cover\n", OnOff(b.pagesOn), b.pageCount);
    std::vector<nvx::WString> lines = CommentLines(b);
    printf("  Comment:%s\n", lines.size() == 1 && lines[0].empty() ? " (none)" : "");
    if (!(lines.size() == 1 && lines[0].empty())) {
        for (const nvx::WString& line : lines) printf("    %s\n", Text(line).c_str());
    }
    const CoverRecipient& rc = r.recipient;
    printf("Recipient:\n");
    if (rc.mode == 0) {
        printf("  Standard title: \"%s\"\n", Text(FieldText(rc.title)).c_str());
    } else {
        static const char* const kSources[] = {"one joint name", "changed for each recipient", "set information"};
        printf("  Details (%s):\n", kSources[rc.source < kRecipientSourceCount ? rc.source : 0]);
        printf("    Company: %s \"%s\"\n", OnOff(rc.companyOn), Text(FieldText(rc.company)).c_str());
        printf("    Department: %s \"%s\"\n", OnOff(rc.departmentOn), Text(FieldText(rc.department)).c_str());
        printf("    Name: %s \"%s\"\n", OnOff(rc.nameOn), Text(FieldText(rc.name)).c_str());
        printf("    Fax number: %s \"%s\"\n", OnOff(rc.faxOn), Text(FieldText(rc.fax)).c_str());
    }
    static const char* const kSender[kSenderItems] = {"Company", "Department", "Name", "Phone", "Fax number",
                                                      "E-mail"};
    printf("Sender:\n");
    for (size_t i = 0; i < kSenderItems; ++i) {
        printf("  %s: %s \"%s\"\n", kSender[i], OnOff(r.sender.items[i].on),
               Text(FieldText(r.sender.items[i].text)).c_str());
    }
    const CoverImage& im = r.image;
    printf("Image: %s", OnOff(im.paste));
    if (im.paste) {
        printf(", \"%s\", zoom %s %u%%, position %d, %d", Text(FieldText(im.file)).c_str(), OnOff(im.zoomOn), im.zoom,
               im.x, im.y);
    }
    printf("\n");
    printf("Named sets:%s\n", sets.empty() ? " (none)" : "");
    for (size_t i = 0; i < sets.size(); ++i) {
        printf("  %s%s\n", Text(FieldText(sets[i].name)).c_str(), static_cast<int>(i) == match ? "  (current)" : "");
    }
}


// ---- edit: the cover sheet dialog, driven as a person would ----------------------

using PopupFn = UINT_PTR (*)(HWND, const WCHAR*, const WCHAR*, UINT, void*, void*, UINT_PTR, void*, UINT_PTR);

constexpr int kTabsControl = 2036;

struct EditSession {
    std::deque<EditAction> actions;
    bool scripted = false;
    bool prompt = false;
    bool failed = false;
    bool cancelAtEnd = false;
    HWND main = nullptr;

    void Fail(const std::string& message) {
        fprintf(stderr, "novrix fax cover edit: %s\n", message.c_str());
        failed = true;
    }

    // The tab page in front (a child dialog with its defaults button 1032), or null.
    static HWND CurrentPage(HWND dialog) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetDlgItem(c, 1032) && IsWindowVisible(c)) return c;
        }
        return nullptr;
    }

    static std::vector<std::string> TabNames(HWND dialog) {
        std::vector<std::string> names;
        HWND tabs = GetDlgItem(dialog, kTabsControl);
        int count = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            WCHAR text[64] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            names.push_back(nvx::Utf8FromW(text));
        }
        return names;
    }

    void SelectTab(HWND dialog, const std::string& name) {
        std::vector<std::string> names = TabNames(dialog);
        for (size_t i = 0; i < names.size(); ++i) {
            if (!SameLabel(names[i], name)) continue;
            HWND before = CurrentPage(dialog);
            NvxUi_SelectTab(GetDlgItem(dialog, kTabsControl), static_cast<int>(i));
            HWND now = CurrentPage(dialog);
            if (now == before && names.size() > 1 && !SameLabel(TabName(dialog), name)) {
                Fail("the " + TabName(dialog) + " tab cannot be left (see the message above)");
            } else {
                printf("Tab: %s\n", names[i].c_str());
            }
            return;
        }
        std::string all;
        for (const std::string& n : names) all += (all.empty() ? "" : ", ") + n;
        Fail("no tab \"" + EchoText(name) + "\" (tabs: " + all + ")");
    }

    static std::string TabName(HWND dialog) {
        HWND tabs = GetDlgItem(dialog, kTabsControl);
        int current = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)) : -1;
        std::vector<std::string> names = TabNames(dialog);
        return current >= 0 && static_cast<size_t>(current) < names.size() ? names[static_cast<size_t>(current)]
                                                                              : std::string();
    }

    // The windows a label is looked for in: the tab page in front, then the dialog.
    static std::vector<HWND> Windows(HWND dialog) {
        std::vector<HWND> windows;
        if (HWND page = CurrentPage(dialog)) windows.push_back(page);
        windows.push_back(dialog);
        return windows;
    }

    void Show(HWND dialog) {
        WCHAR caption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        fputs(RenderPage(ScanPage(dialog), nvx::Utf8FromW(caption)).c_str(), stdout);
        if (HWND page = CurrentPage(dialog)) fputs(RenderPage(ScanPage(page), TabName(dialog)).c_str(), stdout);
    }

    void Set(HWND dialog, const std::string& assignment) {
        size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0) return Fail("set LABEL=VALUE");
        std::string label = assignment.substr(0, eq), value = assignment.substr(eq + 1);
        for (HWND w : Windows(dialog)) {
            PageView view = ScanPage(w);
            if (!HasSetting(view, label)) continue;
            const Setting* setting = FindValueSetting(view, label, value);
            // In a box of several lines the two characters \n start a new line.
            if (setting && setting->kind == SettingKind::Edit &&
                (GetWindowLongW(setting->controls[0], GWL_STYLE) & ES_MULTILINE)) {
                for (size_t at = value.find("\\n"); at != std::string::npos; at = value.find("\\n", at + 2))
                    value.replace(at, 2, "\r\n");
            }
            std::string echo = setting ? EchoValue(*setting, value) : EchoText(value);
            std::string message;
            if (SetSetting(view, label, value, &message) == SetOutcome::Done) {
                printf("%s: %s\n", EchoText(label).c_str(), echo.c_str());
            } else {
                Fail(message);
            }
            return;
        }
        Fail("no setting \"" + EchoText(label) + "\" here" +
             (CurrentPage(dialog) ? " (on the " + TabName(dialog) + " tab; tab NAME shows another)" : ""));
    }

    void Choices(HWND dialog, const std::string& label) {
        for (HWND w : Windows(dialog)) {
            PageView view = ScanPage(w);
            for (const Setting& s : view.settings) {
                if (s.kind == SettingKind::Button || s.kind == SettingKind::Text || !SameLabel(s.label, label))
                    continue;
                for (const std::string& c : SettingChoices(s)) printf("  %s\n", c.c_str());
                return;
            }
        }
        Fail("no setting \"" + EchoText(label) + "\" here");
    }

    void Press(HWND dialog, const std::string& label) {
        for (HWND w : Windows(dialog)) {
            for (const Setting& s : ScanPage(w).settings) {
                if (s.kind != SettingKind::Button || !SameLabel(s.label, label)) continue;
                if (!NvxUi_Click(s.controls[0])) Fail(s.label + " cannot be pressed now");
                return;
            }
        }
        Fail("no button \"" + EchoText(label) + "\" here");
    }

    // OK of the dialog in front; a dialog still open afterwards refused it.
    bool PressOk(HWND dialog) {
        NvxUi_PressButton(dialog, IDOK);
        if (IsWindow(dialog) && IsWindowVisible(dialog)) {
            Fail("OK was refused (see the message above)");
            return false;
        }
        return true;
    }

    bool ReadLine(const char* promptText, std::string* line) { return ReadCommandLine(prompt, promptText, line); }

    // Drives one dialog: the cover sheet dialog, or a Save or Edit dialog it opened.
    void Drive(HWND dialog) {
        const bool isMain = main == nullptr;
        if (isMain) main = dialog;
        if (scripted) {
            while (IsWindow(dialog) && IsWindowVisible(dialog) && !actions.empty() && !failed) {
                EditAction a = actions.front();
                actions.pop_front();
                switch (a.kind) {
                case EditAction::Tab: SelectTab(dialog, a.text); break;
                case EditAction::Set: Set(dialog, a.text); break;
                case EditAction::Press: Press(dialog, a.text); break;
                case EditAction::Ok: PressOk(dialog); break;
                }
            }
            if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return;
            if (isMain && !failed && !cancelAtEnd && PressOk(dialog)) return;
            NvxUi_PressButton(dialog, IDCANCEL);
            return;
        }
        std::string line;
        while (IsWindow(dialog) && IsWindowVisible(dialog) && ReadLine(isMain ? "cover> " : "dialog> ", &line)) {
            std::string verb = line.substr(0, line.find(' '));
            std::string rest = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
            if (verb.empty()) continue;
            if (verb == "ok") {
                PressOk(dialog);
            } else if (verb == "cancel") {
                NvxUi_PressButton(dialog, IDCANCEL);
            } else if (verb == "show") {
                Show(dialog);
            } else if (verb == "tabs") {
                for (const std::string& n : TabNames(dialog)) printf("  %s\n", n.c_str());
            } else if (verb == "tab") {
                SelectTab(dialog, rest);
            } else if (verb == "set") {
                Set(dialog, rest);
            } else if (verb == "choices") {
                Choices(dialog, rest);
            } else if (verb == "press") {
                Press(dialog, rest);
            } else if (verb == "help") {
                printf("show, tabs, tab NAME, set LABEL=VALUE, choices LABEL, press LABEL, ok, cancel\n");
            } else {
                Fail("unknown command '" + EchoText(verb) + "' (help lists them)");
            }
        }
        // The end of input cancels what is still open.
        if (IsWindow(dialog) && IsWindowVisible(dialog)) NvxUi_PressButton(dialog, IDCANCEL);
    }
};

int Edit(const Options& options, const CoverArgs& a, const Target& t, CoverSheetRecord record) {
    PrinterHandle printer;
    if (DWORD rc = printer.Open(Text(t.printer)); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix fax cover edit: the printer cannot be opened (%s)\n", ErrorText(rc).c_str());
        return kExitFailed;
    }
    std::string folder = PrinterDriverFolder(printer.get(), options);
    NvxPlatform_SetDriverFolder(kDriverName, folder.c_str());
    ModuleHost module;
    if (!module.Load(folder)) {
        fprintf(stderr, "novrix fax cover edit: %s\n", module.Error().c_str());
        return kExitFailed;
    }
    auto popup = module.Entry<PopupFn>("FaxCoverSheet_PopupDialog");
    if (!popup) {
        fprintf(stderr, "novrix fax cover edit: the module has no FaxCoverSheet_PopupDialog\n");
        return kExitFailed;
    }

    EditSession session;
    session.actions.assign(a.actions.begin(), a.actions.end());
    session.scripted = !a.actions.empty() || a.cancel;
    session.prompt = !session.scripted && isatty(0) != 0;
    session.cancelAtEnd = a.cancel;
    AnswerPolicy policy;
    policy.answer = a.answer;
    policy.prompt = session.prompt;
    policy.script = !session.scripted && !session.prompt;
    policy.dialog = [&session](HWND dialog) { session.Drive(dialog); };
    InstallAnswers(&policy);
    BYTE devmode[8344] = {};
    UINT_PTR answer = popup(nullptr, t.printer.c_str(), t.driver.c_str(), 1, &record, devmode, 0, nullptr, 0);
    UninstallAnswers();

    if (answer != 1) {
        printf("Cancelled: the cover sheet of %s is as it was.\n", Text(t.printer).c_str());
        return session.failed || policy.unanswered ? kExitFailed : kExitOk;
    }
    if (DWORD rc = WriteCoverSheet(nvx::model::MakerName(), t.driver.c_str(), t.printer.c_str(), record);
        rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix fax cover edit: the cover sheet was not stored (%s)\n", ErrorText(rc).c_str());
        return kExitFailed;
    }
    printf("The cover sheet of %s was stored.\n", Text(t.printer).c_str());
    PrintRecord(record, ReadSets(nvx::model::MakerName(), t.driver.c_str(), t.printer.c_str()));
    return session.failed || policy.unanswered ? kExitFailed : kExitOk;
}
}  // namespace

int RunFaxCover(const Options& options, const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "help")) {
        CoverUsage(stdout);
        return kExitOk;
    }
    CoverArgs a;
    if (!ParseArgs(args, &a)) {
        CoverUsage(stderr);
        return kExitUsage;
    }
    Target t;
    if (!FindTarget(a.printer, &t)) return kExitFailed;
    const WCHAR* maker = nvx::model::MakerName();
    CoverSheetRecord record = DefaultCoverSheet();
    if (!ReadCoverSheet(maker, t.driver.c_str(), t.printer.c_str(), &record)) {
        fprintf(stderr, "novrix fax cover: the cover sheet of \"%s\" cannot be read\n", Text(t.printer).c_str());
        return kExitFailed;
    }
    std::vector<CoverSheetSet> sets = ReadSets(maker, t.driver.c_str(), t.printer.c_str());
    if (a.action == "show") {
        PrintRecord(record, sets);
        return kExitOk;
    }
    if (a.action == "edit") return Edit(options, a, t, record);

    nvx::WString name = nvx::WFromUtf8(a.name);
    const std::string echo = EchoText(a.name);
    if (a.action == "use") {
        int i = FindSet(sets, name);
        if (i < 0) {
            fprintf(stderr, "novrix fax cover use: there is no set named \"%s\"\n", echo.c_str());
            return kExitFailed;
        }
        ApplySet(sets[static_cast<size_t>(i)], &record);
        if (DWORD rc = WriteCoverSheet(maker, t.driver.c_str(), t.printer.c_str(), record); rc != ERROR_SUCCESS) {
            fprintf(stderr, "novrix fax cover use: the cover sheet was not stored (%s)\n", ErrorText(rc).c_str());
            return kExitFailed;
        }
        printf("The cover sheet of %s is now the set \"%s\".\n", Text(t.printer).c_str(), echo.c_str());
        return kExitOk;
    }

    if (a.action == "save") {
        switch (AppendSet(&sets, name, record)) {
        case SaveSetResult::Saved:
            break;
        case SaveSetResult::EmptyName:
            fprintf(stderr, "novrix fax cover save: the name is empty\n");
            return kExitFailed;
        case SaveSetResult::NameTooLong:
            fprintf(stderr, "novrix fax cover save: a set name has at most %zu characters\n", kSetNameChars);
            return kExitFailed;
        case SaveSetResult::NameTaken:
            fprintf(stderr, "novrix fax cover save: a set named \"%s\" already exists\n", echo.c_str());
            return kExitFailed;
        case SaveSetResult::Full:
            fprintf(stderr, "novrix fax cover save: there are already %zu sets; delete one first\n", kMaxSets);
            return kExitFailed;
        }
    } else {  // delete
        int i = FindSet(sets, name);
        if (i < 0) {
            fprintf(stderr, "novrix fax cover delete: there is no set named \"%s\"\n", echo.c_str());
            return kExitFailed;
        }
        sets.erase(sets.begin() + i);
    }
    SetsWrite w = WriteSets(maker, t.driver.c_str(), t.printer.c_str(), sets);
    if (!w.ok()) {
        fprintf(stderr, "novrix fax cover %s: only %u of %zu sets were stored (%s)\n", a.action.c_str(), w.written,
                sets.size(), ErrorText(w.error).c_str());
        return kExitFailed;
    }
    printf(a.action == "save" ? "Saved the set \"%s\".\n" : "Deleted the set \"%s\".\n", echo.c_str());
    return kExitOk;
}

}  // namespace novrix
