// novrix prefs: the printing preferences of a printer, on the module's own pages.
//
// Scripted:    novrix prefs [--printer NAME] [--set LABEL=VALUE]... [--yes|--no] [--apply] [--show]
// Interactive: novrix prefs [--printer NAME] [--yes|--no]   (commands from the terminal or stdin)
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "answers.h"
#include "commands.h"
#include "page_view.h"
#include "platform/ui_host.h"
#include "record_view.h"
#include "sheet_session.h"

namespace novrix {
namespace {

struct PrefsArgs {
    std::string printer;
    std::vector<std::string> sets;
    bool show = false, apply = false;
    AutoAnswer answer = AutoAnswer::None;
};

void PrefsUsage(FILE* out) {
    fprintf(out,
            "usage: novrix prefs [--printer NAME] [--set LABEL=VALUE]... [--yes|--no] [--apply] [--show]\n"
            "       novrix prefs [--printer NAME] [--yes|--no]      (commands from the terminal)\n"
            "LABEL is a setting's name as the page shows it (\"Paper Size\", \"Orientation\", \"Copies\");\n"
            "VALUE is the entry or button text (\"A5\", \"Landscape\"), on/off for a check box, a number\n"
            "for a box.  --yes/--no answer the module's confirmations; --apply stores the settings as\n"
            "your preferences for the printer; --show prints every page.  Without a page of the module,\n"
            "LABEL names a field of the settings record (nCopies=2).\n");
}

const char* const kCommandHelp =
    "commands:\n"
    "  show               the current page (show all: every page)\n"
    "  pages              the pages; page NAME makes one current\n"
    "  set LABEL=VALUE    change a setting as a person would (Orientation=Landscape)\n"
    "  choices LABEL      the entries of a list or the buttons of a choice\n"
    "  press LABEL        click a push button (User Settings...)\n"
    "  apply              store the settings as your preferences\n"
    "  cancel             close the sheet without storing; quit closes too\n"
    "  in a dialog the module opens: show, set, choices, press, ok, cancel\n";

// Splits "LABEL=VALUE" at its first "=".
bool SplitAssignment(const std::string& text, std::string* label, std::string* value) {
    size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    *label = CleanLabel(text.substr(0, eq));
    *value = text.substr(eq + 1);
    while (!value->empty() && value->front() == ' ') value->erase(0, 1);
    while (!value->empty() && value->back() == ' ') value->pop_back();
    return true;
}

int ParseArgs(const std::vector<std::string>& args, PrefsArgs* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--printer" && i + 1 < args.size()) {
            out->printer = args[++i];
        } else if (a == "--set" && i + 1 < args.size()) {
            out->sets.push_back(args[++i]);
            std::string label, value;
            if (!SplitAssignment(out->sets.back(), &label, &value) || label.empty()) {
                fprintf(stderr, "novrix prefs: --set takes LABEL=VALUE, not \"%s\"\n", out->sets.back().c_str());
                return kExitUsage;
            }
        } else if (a == "--show") {
            out->show = true;
        } else if (a == "--apply") {
            out->apply = true;
        } else if (a == "--yes" || a == "--no") {
            if (out->answer != AutoAnswer::None) {
                fprintf(stderr, "novrix prefs: give --yes or --no once\n");
                return kExitUsage;
            }
            out->answer = a == "--yes" ? AutoAnswer::Yes : AutoAnswer::No;
        } else if (a == "--help") {
            PrefsUsage(stdout);
            return -1;
        } else {
            fprintf(stderr, "novrix prefs: unexpected argument '%s'\n", a.c_str());
            PrefsUsage(stderr);
            return kExitUsage;
        }
    }
    return kExitOk;
}

// Whether, since log entry `from`, a confirmation was answered No or Cancel or a
// dialog was cancelled.
bool DeclinedSince(int from) {
    for (int i = from; i < NvxUi_LogCount(); ++i) {
        NvxUiLogEntry entry;
        if (!NvxUi_GetLogEntry(i, &entry)) continue;
        if (entry.kind == NVXUI_LOG_MESSAGEBOX && (entry.result == IDNO || entry.result == IDCANCEL)) return true;
        if (entry.kind == NVXUI_LOG_DIALOG && entry.result == IDCANCEL) return true;
    }
    return false;
}

// Prints the outcome of a change: "Label: value", or why it did not happen (a
// refusal after a confirmation answered No or a cancelled dialog is "declined").
bool ReportSet(SetOutcome outcome, const std::string& label, const std::string& value, std::string message,
               int logFrom = -1) {
    if (outcome == SetOutcome::Done) {
        printf("%s: %s\n", label.c_str(), value.c_str());
        return true;
    }
    const std::string refused = " was refused:";
    size_t at = message.find(refused);
    if (outcome == SetOutcome::Refused && logFrom >= 0 && at != std::string::npos && DeclinedSince(logFrom))
        message.replace(at, refused.size(), " was declined:");
    fprintf(stderr, "novrix prefs: %s\n", message.c_str());
    return false;
}

// Changes a setting on whichever page has its label (the current page first);
// without pages, a field of the record.  True when the page shows the value.
bool SetAnywhere(SheetSession& session, const std::string& assignment) {
    std::string label, value, message;
    if (!SplitAssignment(assignment, &label, &value)) {
        fprintf(stderr, "novrix prefs: give LABEL=VALUE, not \"%s\"\n", assignment.c_str());
        return false;
    }
    if (!session.HasSheet()) {
        bool done = SetRecordField(session.Record(), label, value, &message);
        return ReportSet(done ? SetOutcome::Done : SetOutcome::NoLabel, label, value, message);
    }
    std::vector<size_t> order;
    if (session.CurrentPage() >= 0) order.push_back(static_cast<size_t>(session.CurrentPage()));
    for (size_t i = 0; i < session.PageCount(); ++i)
        if (static_cast<int>(i) != session.CurrentPage()) order.push_back(i);
    for (size_t i : order) {
        HWND page = session.ShowPage(i);  // a page is created when it is first shown
        if (!page) continue;
        PageView view = ScanPage(page);
        if (!HasSetting(view, label)) continue;
        int logFrom = NvxUi_LogCount();
        SetOutcome outcome = SetSetting(view, label, value, &message);
        return ReportSet(outcome, label, value, message, logFrom);
    }
    fprintf(stderr, "novrix prefs: no setting \"%s\" on the pages of %s\n", label.c_str(),
            session.PrinterName().c_str());
    return false;
}

void ShowAll(SheetSession& session) {
    printf("Printer: %s%s\n", session.PrinterName().c_str(),
           session.LoadedStored() ? "" : " (default settings: no stored preferences)");
    if (!session.HasSheet()) {
        fprintf(stderr, "novrix: no page of the module could be opened; the settings record by field name:\n");
        fputs(RenderRecordFields(session.Record()).c_str(), stdout);
        return;
    }
    int current = session.CurrentPage();
    for (size_t i = 0; i < session.PageCount(); ++i) {
        HWND page = session.ShowPage(i);
        if (page)
            fputs(RenderPage(ScanPage(page), session.PageTitle(i)).c_str(), stdout);
        else
            printf("[%s]\n  (not shown: the current page keeps the sheet until its values are valid)\n",
                   session.PageTitle(i));
    }
    if (current >= 0) session.ShowPage(static_cast<size_t>(current));
}

// ---- Commands from the terminal --------------------------------------------

struct Repl {
    SheetSession& session;
    bool prompt;
    bool failed = false;
    bool unapplied = false;  // a change made since the last apply

    bool ReadLine(const char* promptText, std::string* line) {
        if (prompt) {
            fputs(promptText, stdout);
            fflush(stdout);
        }
        char buffer[1024];
        if (!fgets(buffer, sizeof buffer, stdin)) return false;
        *line = buffer;
        while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
        return true;
    }

    void Fail(const std::string& message) {
        fprintf(stderr, "novrix prefs: %s\n", message.c_str());
        failed = true;
    }

    // Commands that work on any window with controls (a page or a dialog).
    bool Common(HWND window, const std::string& verb, const std::string& rest, const std::string& title) {
        if (verb == "show") {
            fputs(RenderPage(ScanPage(window), title).c_str(), stdout);
        } else if (verb == "set") {
            std::string label, value, message;
            if (!SplitAssignment(rest, &label, &value)) {
                Fail("set LABEL=VALUE");
            } else {
                int logFrom = NvxUi_LogCount();
                SetOutcome outcome = SetSetting(ScanPage(window), label, value, &message);
                bool done = ReportSet(outcome, label, value, message, logFrom);
                failed |= !done;
                unapplied |= done;
            }
        } else if (verb == "choices") {
            PageView view = ScanPage(window);
            const Setting* s = FindSetting(view, rest);
            if (!s) return Fail("no setting \"" + rest + "\" here"), true;
            for (const std::string& c : SettingChoices(*s)) printf("  %s\n", c.c_str());
        } else if (verb == "press") {
            PageView view = ScanPage(window);
            for (const Setting& s : view.settings) {
                if (s.kind != SettingKind::Button || !SameLabel(s.label, rest)) continue;
                if (!NvxUi_Click(s.controls[0])) Fail(s.label + " cannot be pressed now");
                return true;
            }
            Fail("no button \"" + rest + "\" here");
        } else if (verb == "help") {
            fputs(kCommandHelp, stdout);
        } else {
            return false;
        }
        return true;
    }

    static const Setting* FindSetting(const PageView& view, const std::string& label) {
        for (const Setting& s : view.settings)
            if (s.kind != SettingKind::Button && s.kind != SettingKind::Text && SameLabel(s.label, label)) return &s;
        return nullptr;
    }

    // The commands of a dialog the module opened; it ends with ok or cancel
    // (or the end of input, which cancels it).
    void Dialog(HWND dialog) {
        std::string line;
        while (IsWindow(dialog) && IsWindowVisible(dialog) && ReadLine("dialog> ", &line)) {
            std::string verb = line.substr(0, line.find(' '));
            std::string rest = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
            if (verb.empty()) continue;
            if (verb == "ok" || verb == "cancel") {
                if (!NvxUi_PressButton(dialog, verb == "ok" ? IDOK : IDCANCEL)) Fail("the dialog has no " + verb);
                return;
            }
            if (!Common(dialog, verb, rest, "dialog"))
                Fail("unknown command '" + verb + "' (help lists them)");
        }
    }

    // A person at a terminal sees the page they are on.
    void ShowCurrent() {
        int current = session.CurrentPage();
        if (current >= 0)
            fputs(RenderPage(ScanPage(session.CurrentPageWindow()), session.PageTitle(static_cast<size_t>(current)))
                      .c_str(),
                  stdout);
    }

    void Run() {
        std::string line;
        if (prompt) {
            printf("Printing preferences of %s; help lists the commands.\n", session.PrinterName().c_str());
            ShowCurrent();
        }
        while (ReadLine("prefs> ", &line)) {
            size_t start = line.find_first_not_of(' ');
            if (start == std::string::npos) continue;
            line.erase(0, start);
            std::string verb = line.substr(0, line.find(' '));
            std::string rest = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
            if (verb == "quit" || verb == "exit") break;
            if (verb == "cancel") {
                session.Cancel();
                printf("Closed without storing.\n");
                return;
            }
            if (verb == "apply") {
                std::string error;
                if (session.Apply(&error)) {
                    unapplied = false;
                    printf("Applied: stored as the preferences of %s.\n", session.PrinterName().c_str());
                } else {
                    Fail(error);
                }
            } else if (verb == "pages") {
                for (size_t i = 0; i < session.PageCount(); ++i)
                    printf("%s %s\n", static_cast<int>(i) == session.CurrentPage() ? "*" : " ", session.PageTitle(i));
            } else if (verb == "page") {
                int index = session.FindPage(rest);
                if (index < 0) Fail("no page \"" + rest + "\"");
                else if (!session.ShowPage(static_cast<size_t>(index))) Fail("the current page keeps the sheet");
                else if (prompt) ShowCurrent();
            } else if (verb == "show" && rest == "all") {
                ShowAll(session);
            } else if (!session.HasSheet()) {
                if (verb == "show") fputs(RenderRecordFields(session.Record()).c_str(), stdout);
                else if (verb == "set") {
                    bool done = SetAnywhere(session, rest);
                    failed |= !done;
                    unapplied |= done;
                }
                else if (verb == "help") fputs(kCommandHelp, stdout);
                else Fail("unknown command '" + verb + "' (help lists them)");
            } else {
                int current = session.CurrentPage();
                std::string title = current >= 0 ? session.PageTitle(static_cast<size_t>(current)) : "page";
                if (!Common(session.CurrentPageWindow(), verb, rest, title))
                    Fail("unknown command '" + verb + "' (help lists them)");
            }
        }
        if (unapplied) printf("Closed; the changes since the last apply were not stored.\n");
    }
};

}  // namespace

int CmdPrefs(const Options& options, const std::vector<std::string>& args) {
    PrefsArgs a;
    int rc = ParseArgs(args, &a);
    if (rc < 0) return kExitOk;
    if (rc != kExitOk) return rc;

    SheetSession session;
    std::string error;
    bool scripted = a.show || a.apply || !a.sets.empty();
    bool terminal = isatty(0) != 0;
    AnswerPolicy policy;
    policy.answer = a.answer;
    policy.prompt = terminal;
    if (scripted) policy.in = nullptr;  // scripted without --yes/--no: the default button
    Repl repl{session, terminal};
    if (!scripted) policy.dialog = [&repl](HWND dialog) { repl.Dialog(dialog); };
    InstallAnswers(&policy);
    struct Uninstall {
        ~Uninstall() { UninstallAnswers(); }
    } uninstall;

    if (!session.Open(options, a.printer, &error)) {
        fprintf(stderr, "novrix prefs: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!scripted) {
        repl.Run();
        return repl.failed ? kExitFailed : kExitOk;
    }
    for (const std::string& assignment : a.sets)
        if (!SetAnywhere(session, assignment)) return kExitFailed;
    if (a.apply) {
        if (!session.Apply(&error)) {
            fprintf(stderr, "novrix prefs: %s\n", error.c_str());
            return kExitFailed;
        }
        printf("Applied: stored as the preferences of %s.\n", session.PrinterName().c_str());
    }
    if (a.show) ShowAll(session);
    return kExitOk;
}

}  // namespace novrix
