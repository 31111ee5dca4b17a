// novrix prefs: the printing preferences of a printer, on the module's own pages.
//
// Scripted:    novrix prefs [--printer NAME] [--set LABEL=VALUE]... [--yes|--no] [--apply] [--show]
// Pictures:    novrix prefs ... --picture DIR;  novrix picture DIR [--page NAME] [--press LABEL]...
// Interactive: novrix prefs [--printer NAME] [--yes|--no]   (commands from the terminal or stdin)
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "answers.h"
#include "features/ui_items.h"
#include "presets/printer_presets.h"
#include "commands.h"
#include "echo.h"
#include "json_view.h"
#include "page_view.h"
#include "pictures.h"
#include "platform/ui_host.h"
#include "record_view.h"
#include "sheet_session.h"
#include "common/text.h"

namespace novrix {
namespace {

// What differs between the printing preferences and the printer's properties.
struct SheetWords {
    const char* command;      // "novrix prefs"
    SheetKind kind;
    const char* applied;      // "Applied: ..." with the printer's name for %s
    const char* banner;       // the terminal's first line, %s the printer
    const char* notStored;    // after "Printer: NAME" when nothing is stored
    const char* prompt;
};
const SheetWords kPrefsWords = {"novrix prefs", SheetKind::Preferences, "Applied: stored as the preferences of %s.\n",
                                "Printing preferences of %s; help lists the commands.\n",
                                " (default settings: no stored preferences)", "prefs> "};
const SheetWords kPrinterWords = {"novrix printer properties", SheetKind::Printer,
                                  "Applied: the installed options were kept with %s.\n",
                                  "Properties of %s; help lists the commands.\n",
                                  " (the model's defaults: the printer keeps no installed options)", "options> "};
const SheetWords* g_words = &kPrefsWords;

// A message on standard error, after the command's name.
__attribute__((format(printf, 1, 2))) void Complain(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    fprintf(stderr, "%s: %s", g_words->command, text);
}

struct PrefsArgs {
    std::string printer;
    std::vector<std::string> sets;  // "LABEL=VALUE", or "\x01LABEL" for a button to press
    bool show = false, apply = false, json = false;
    AutoAnswer answer = AutoAnswer::None;
    std::string pictureDir;  // --picture DIR: PNG pictures of the pages and of the dialogs opened
    std::string page;        // --page NAME: the page the presses act on
    bool dialogsOnly = false;  // novrix picture with --press: only the dialogs the presses open
};

// Where the lines of a scripted run go: standard output, or standard error when
// standard output carries the JSON of --show --json.
FILE* g_report = stdout;
// The dialogs the module opens are drawn (--picture) and then cancelled.
bool g_drawingDialogs = false;

void PrefsUsage(FILE* out) {
    fprintf(out,
            "usage: novrix prefs [--printer NAME] [--set LABEL=VALUE]... [--yes|--no] [--apply] [--show]\n"
            "       novrix prefs [--printer NAME] [--set LABEL=VALUE]... [--yes|--no] [--apply] --show --json\n"
            "       novrix prefs [--printer NAME] [--yes|--no]      (commands from the terminal)\n"
            "       novrix prefs ... --picture DIR     (a PNG picture of every page, and of each dialog a --press opens)\n"
            "       novrix picture DIR [--printer NAME] [--page NAME] [--press LABEL]... [--set LABEL=VALUE]...\n"
            "LABEL is a setting's name as the page shows it (\"Paper Size\", \"Orientation\", \"Copies\");\n"
            "VALUE is the entry or button text (\"A5\", \"Landscape\"), on/off for a check box, a number\n"
            "for a box.  --yes/--no answer the module's confirmations; --apply stores the settings as\n"
            "your preferences for the printer; --show prints every page (with --json as one JSON object:\n"
            "the settings by their labels and the settings record by its keys; the other lines then go\n"
            "to standard error).  Without a page of the module, LABEL names a field of the settings\n"
            "record (nCopies=2).  A password's text is never printed.\n");
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
    "  in a dialog the module opens: show, set, choices, press, tabs, tab NAME, ok, cancel\n";

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
                fprintf(stderr, "%s: --set takes LABEL=VALUE, not \"%s\"\n", g_words->command,
                        EchoText(out->sets.back()).c_str());
                return kExitUsage;
            }
        } else if (a == "--press" && i + 1 < args.size()) {
            out->sets.push_back("\x01" + args[++i]);
        } else if (a == "--show") {
            out->show = true;
        } else if (a == "--picture" && i + 1 < args.size()) {
            out->pictureDir = args[++i];
        } else if (a == "--page" && i + 1 < args.size()) {
            out->page = args[++i];
        } else if (a == "--json") {
            out->json = true;
        } else if (a == "--apply") {
            out->apply = true;
        } else if (a == "--yes" || a == "--no") {
            if (out->answer != AutoAnswer::None) {
                fprintf(stderr, "%s: give --yes or --no once\n", g_words->command);
                return kExitUsage;
            }
            out->answer = a == "--yes" ? AutoAnswer::Yes : AutoAnswer::No;
        } else if (a == "--help") {
            PrefsUsage(stdout);
            return -1;
        } else {
            fprintf(stderr, "%s: unexpected argument '%s'\n", g_words->command, EchoText(a).c_str());
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
// `echo` is the value as it may be shown (never a password's text).
bool ReportSet(SetOutcome outcome, const std::string& label, const std::string& echo, std::string message,
               int logFrom = -1) {
    if (outcome == SetOutcome::Done) {
        fprintf(g_report, "%s: %s\n", EchoText(label).c_str(), echo.c_str());
        return true;
    }
    const std::string refused = " was refused:";
    size_t at = message.find(refused);
    if (outcome == SetOutcome::Refused && logFrom >= 0 && at != std::string::npos && DeclinedSince(logFrom))
        message.replace(at, refused.size(), " was declined:");
    Complain("%s\n", message.c_str());
    return false;
}

// Changes the setting of that label on one page's view and reports it.
bool SetOnView(const PageView& view, const std::string& label, const std::string& value) {
    const Setting* setting = FindValueSetting(view, label, value);
    std::string echo = setting ? EchoValue(*setting, value) : EchoText(value);
    std::string message;
    int logFrom = NvxUi_LogCount();
    SetOutcome outcome = SetSetting(view, label, value, &message);
    return ReportSet(outcome, label, echo, message, logFrom);
}

// Reads a page name at the terminal among the candidates; -1 when none is given.
int AskPage(SheetSession& session, const std::vector<size_t>& pages, const std::string& label) {
    std::string names;
    for (size_t i : pages) names += (names.empty() ? "" : " / ") + std::string(session.PageTitle(i));
    for (;;) {
        printf("\"%s\" is on the pages %s; which one? ", EchoText(label).c_str(), names.c_str());
        fflush(stdout);
        char line[256];
        if (!fgets(line, sizeof line, stdin)) return -1;
        std::string word = CleanLabel(line);
        if (word.empty()) return -1;
        for (size_t i : pages)
            if (SameLabel(session.PageTitle(i), word)) return static_cast<int>(i);
        printf("Please answer %s (or an empty line to leave it).\n", names.c_str());
    }
}

// Changes a setting on whichever page has its label; without pages, a field of
// the record.  The current page is taken when it has the label; else the one
// other page that has it; when several have it, a person at the terminal
// (`ask`) is asked which, and a script is refused.  True when the page shows
// the value.
bool SetAnywhere(SheetSession& session, const std::string& assignment, bool ask) {
    std::string label, value, message;
    if (!SplitAssignment(assignment, &label, &value)) {
        Complain("give LABEL=VALUE, not \"%s\"\n", EchoText(assignment).c_str());
        return false;
    }
    if (!session.HasSheet()) {
        bool done = SetRecordField(session.Record(), label, value, &message);
        return ReportSet(done ? SetOutcome::Done : SetOutcome::NoLabel, label, EchoText(value), message);
    }
    const int current = session.CurrentPage();
    std::vector<size_t> pages;  // the pages that have the label
    if (current >= 0) {
        HWND mine = session.CurrentPageWindow();
        if (mine && HasSetting(ScanPage(mine), label)) pages.push_back(static_cast<size_t>(current));
    }
    if (pages.empty()) {
        for (size_t k = 0; k < session.PageCount(); ++k) {
            if (static_cast<int>(k) == current) continue;
            HWND page = session.ShowPage(k);  // a page is created when it is first shown
            if (page && HasSetting(ScanPage(page), label)) pages.push_back(k);
        }
    }
    if (pages.empty()) {
        if (current >= 0) session.ShowPage(static_cast<size_t>(current));
        Complain("no setting \"%s\" on the pages of %s\n", EchoText(label).c_str(),
                session.PrinterName().c_str());
        return false;
    }
    size_t chosen = pages.front();
    if (pages.size() > 1) {
        int answer = ask ? AskPage(session, pages, label) : -1;
        if (answer < 0) {
            std::string names;
            for (size_t i : pages) names += (names.empty() ? "" : ", ") + std::string(session.PageTitle(i));
            if (current >= 0) session.ShowPage(static_cast<size_t>(current));
            Complain("\"%s\" is on several pages (%s): choose one with page NAME first\n",
                    EchoText(label).c_str(), names.c_str());
            return false;
        }
        chosen = static_cast<size_t>(answer);
    }
    HWND page = session.ShowPage(chosen);
    if (!page) {
        Complain("the page %s cannot be shown now: the current page keeps the sheet\n",
                session.PageTitle(chosen));
        return false;
    }
    return SetOnView(ScanPage(page), label, value);
}

// The settings the printer's administrator locked (novrix setup lock): named once,
// and their controls marked on every page.
void ShowLockedSettings(SheetSession& session) {
    std::set<int> ids;
    std::string named;
    for (const nvx::presets::LockEntry& e : nvx::presets::ReadLockedSettings(session.Printer())) {
        for (const nvx::features::UiItemDef* d = nvx::features::kUiItemDefs; d->feature[0]; ++d) {
            if (e.feature != d->feature) continue;
            ids.insert(static_cast<int>(d->control));
            for (uint32_t id : d->related) {
                if (!id) break;
                ids.insert(static_cast<int>(id));
            }
        }
        named += (named.empty() ? "" : ", ") + EchoText(e.feature) + " (" + EchoText(e.option) + ")";
    }
    SetLockedControls(ids);
    if (!named.empty())
        fprintf(g_report, "Locked by the administrator of %s (novrix setup lock): %s.\n",
                session.PrinterName().c_str(), named.c_str());
}

void ShowAll(SheetSession& session) {
    printf("Printer: %s%s\n", session.PrinterName().c_str(), session.LoadedStored() ? "" : g_words->notStored);
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

// --show --json: the pages by their labels and the record by its keys.
void ShowAllJson(SheetSession& session) {
    nlohmann::json out = {{"printer", session.PrinterName()}, {"stored", session.LoadedStored()}};
    nlohmann::json pages = nlohmann::json::array();
    int current = session.CurrentPage();
    for (size_t i = 0; session.HasSheet() && i < session.PageCount(); ++i) {
        HWND page = session.ShowPage(i);
        nlohmann::json j = page ? PageJson(ScanPage(page), session.PageTitle(i))
                                : nlohmann::json{{"title", session.PageTitle(i)}, {"shown", false}};
        if (page) j["shown"] = true;
        pages.push_back(std::move(j));
    }
    if (current >= 0) session.ShowPage(static_cast<size_t>(current));
    out["pages"] = std::move(pages);
    out["record"] = RecordJson(session.Record());
    printf("%s\n", out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

// ---- Commands from the terminal --------------------------------------------

struct Repl {
    SheetSession& session;
    bool prompt;
    AnswerPolicy* policy = nullptr;  // its count of unanswered questions fails the run
    bool failed = false;
    bool unapplied = false;  // a change made since the last apply

    bool ReadLine(const char* promptText, std::string* line) { return ReadCommandLine(prompt, promptText, line); }

    void Fail(const std::string& message) {
        fprintf(stderr, "%s: %s\n", g_words->command, message.c_str());
        failed = true;
    }

    // Commands that work on any window with controls (a page or a dialog).
    bool Common(HWND window, const std::string& verb, const std::string& rest, const std::string& title) {
        if (verb == "show") {
            fputs(RenderPage(ScanPage(window), title).c_str(), stdout);
        } else if (verb == "set") {
            std::string label, value;
            if (!SplitAssignment(rest, &label, &value)) {
                Fail("set LABEL=VALUE");
            } else {
                // A dialog's settings are its own; a page's label may be on another page.
                bool done = window == session.CurrentPageWindow() ? SetAnywhere(session, rest, prompt)
                                                                  : SetOnView(ScanPage(window), label, value);
                failed |= !done;
                unapplied |= done;
            }
        } else if (verb == "choices") {
            PageView view = ScanPage(window);
            const Setting* s = FindSetting(view, rest);
            if (!s) return Fail("no setting \"" + EchoText(rest) + "\" here"), true;
            for (const std::string& c : SettingChoices(*s)) printf("  %s\n", c.c_str());
        } else if (verb == "press") {
            PageView view = ScanPage(window);
            for (const Setting& s : view.settings) {
                if (s.kind != SettingKind::Button || !SameLabel(s.label, rest)) continue;
                if (!NvxUi_Click(s.controls[0])) Fail(s.label + " cannot be pressed now");
                return true;
            }
            Fail("no button \"" + EchoText(rest) + "\" here");
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

    // The tab control of a dialog whose tabs show and hide its own controls, or null.
    static HWND TabControl(HWND dialog) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            WCHAR name[64] = {};
            GetClassNameW(c, name, 64);
            if (nvx::Utf8FromW(name) == "SysTabControl32") return c;
        }
        return nullptr;
    }
    static std::vector<std::string> TabNames(HWND dialog) {
        std::vector<std::string> names;
        HWND tabs = TabControl(dialog);
        const int count = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            WCHAR text[128] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 128;
            SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            names.push_back(nvx::Utf8FromW(text));
        }
        return names;
    }
    void SelectTab(HWND dialog, const std::string& name) {
        const std::vector<std::string> names = TabNames(dialog);
        for (size_t i = 0; i < names.size(); ++i) {
            if (!SameLabel(names[i], name)) continue;
            if (!NvxUi_SelectTab(TabControl(dialog), static_cast<int>(i))) Fail("the tab " + names[i] + " cannot be chosen now");
            return;
        }
        if (names.empty()) return Fail("this dialog has no tabs");
        std::string all;
        for (const std::string& n : names) all += (all.empty() ? "" : ", ") + n;
        Fail("no tab \"" + EchoText(name) + "\" (tabs: " + all + ")");
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
                // A dialog that refused a value stays open for the user to correct it.
                if (verb == "ok" && IsWindow(dialog) && IsWindowVisible(dialog)) {
                    Fail("the dialog did not accept its values and stays open (correct them, or cancel)");
                    continue;
                }
                return;
            }
            if (verb == "tabs") {
                for (const std::string& name : TabNames(dialog)) printf("  %s\n", name.c_str());
                continue;
            }
            if (verb == "tab") {
                SelectTab(dialog, rest);
                continue;
            }
            if (!Common(dialog, verb, rest, "dialog"))
                Fail("unknown command '" + EchoText(verb) + "' (help lists them)");
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
            printf(g_words->banner, session.PrinterName().c_str());
            ShowCurrent();
        }
        while (ReadLine(g_words->prompt, &line)) {
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
                    printf(g_words->applied, session.PrinterName().c_str());
                } else {
                    Fail(error);
                }
            } else if (verb == "pages") {
                for (size_t i = 0; i < session.PageCount(); ++i)
                    printf("%s %s\n", static_cast<int>(i) == session.CurrentPage() ? "*" : " ", session.PageTitle(i));
            } else if (verb == "page") {
                int index = session.FindPage(rest);
                if (index < 0) Fail("no page \"" + EchoText(rest) + "\"");
                else if (!session.ShowPage(static_cast<size_t>(index))) Fail("the current page keeps the sheet");
                else if (prompt) ShowCurrent();
            } else if (verb == "show" && rest == "all") {
                ShowAll(session);
            } else if (!session.HasSheet()) {
                if (verb == "show") fputs(RenderRecordFields(session.Record()).c_str(), stdout);
                else if (verb == "set") {
                    bool done = SetAnywhere(session, rest, prompt);
                    failed |= !done;
                    unapplied |= done;
                }
                else if (verb == "help") fputs(kCommandHelp, stdout);
                else Fail("unknown command '" + EchoText(verb) + "' (help lists them)");
            } else {
                int current = session.CurrentPage();
                std::string title = current >= 0 ? session.PageTitle(static_cast<size_t>(current)) : "page";
                if (!Common(session.CurrentPageWindow(), verb, rest, title))
                    Fail("unknown command '" + EchoText(verb) + "' (help lists them)");
            }
            // A question the script could not answer: the command did not do what it said.
            if (policy && policy->unanswered > 0) failed = true;
        }
        if (unapplied) printf("Closed; the changes since the last apply were not stored.\n");
    }
};

// A button of the current page pressed as a person would (--press).
bool Press(SheetSession& session, const std::string& label) {
    HWND page = session.CurrentPageWindow();
    if (page)
        for (const Setting& s : ScanPage(page).settings) {
            if (s.kind != SettingKind::Button || !SameLabel(s.label, label)) continue;
            const int from = NvxUi_LogCount();
            if (NvxUi_Click(s.controls[0])) {
                // A dialog drawn for a picture is cancelled on purpose.
                if (g_drawingDialogs || !DeclinedSince(from)) return true;
                fprintf(stderr, "%s: %s: the question was declined (--yes answers it)\n", g_words->command,
                        s.label.c_str());
                return false;
            }
            fprintf(stderr, "%s: %s cannot be pressed now\n", g_words->command, s.label.c_str());
            return false;
        }
    fprintf(stderr, "%s: no button \"%s\" on this page\n", g_words->command, EchoText(label).c_str());
    return false;
}

// Makes the folder for the pictures (one level); false with a message when it cannot.
bool PreparePictureDir(const std::string& dir) {
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        Complain("%s is not a folder\n", EchoText(dir).c_str());
        return false;
    }
    if (mkdir(dir.c_str(), 0777) == 0) return true;
    Complain("cannot make the folder %s\n", EchoText(dir).c_str());
    return false;
}

// Writes one picture and says where; false (said on standard error) on failure.
bool WritePicture(HWND window, const std::string& dir, const std::string& title) {
    std::string path = dir + "/" + PictureFileName(title);
    std::string error;
    if (!WriteWindowPicture(window, path, &error)) {
        Complain("%s\n", error.c_str());
        return false;
    }
    fprintf(g_report, "Picture of %s: %s\n", EchoText(title).c_str(), path.c_str());
    return true;
}

// Every page of the sheet, each shown in turn as the current page.
bool WritePagePictures(SheetSession& session, const std::string& dir) {
    if (!session.HasSheet()) {
        Complain("no page of the module could be opened: there is nothing to draw\n");
        return false;
    }
    bool ok = true;
    int current = session.CurrentPage();
    for (size_t i = 0; i < session.PageCount(); ++i) {
        if (!session.ShowPage(i)) {
            Complain("the page %s cannot be shown now: the current page keeps the sheet\n", session.PageTitle(i));
            ok = false;
            continue;
        }
        ok &= WritePicture(session.SheetWindow(), dir, session.PageTitle(i));
    }
    if (current >= 0) session.ShowPage(static_cast<size_t>(current));
    return ok;
}

int RunSheetCommand(const Options& options, const std::vector<std::string>& args, bool dialogsOnly = false) {
    PrefsArgs a;
    a.dialogsOnly = dialogsOnly;
    int rc = ParseArgs(args, &a);
    if (rc < 0) return kExitOk;
    if (rc != kExitOk) return rc;
    if (a.json && !a.show) {
        fprintf(stderr, "%s: --json goes with --show\n", g_words->command);
        return kExitUsage;
    }
    g_report = a.json ? stderr : stdout;
    if (!a.pictureDir.empty() && !PreparePictureDir(a.pictureDir)) return kExitFailed;

    SheetSession session;
    std::string error;
    bool scripted = a.show || a.apply || !a.sets.empty() || !a.pictureDir.empty();
    bool terminal = isatty(0) != 0;
    AnswerPolicy policy;
    policy.answer = a.answer;
    policy.prompt = terminal;
    policy.out = g_report;
    if (scripted) policy.in = nullptr;  // scripted without --yes/--no: the default button
    // Commands read from a pipe or file: a line is a command, never an answer.
    policy.script = !scripted && !terminal;
    if (policy.script) policy.in = nullptr;
    Repl repl{session, terminal, &policy};
    if (!scripted) policy.dialog = [&repl](HWND dialog) { repl.Dialog(dialog); };
    bool picturesOk = true;
    g_drawingDialogs = !a.pictureDir.empty();
    if (!a.pictureDir.empty()) {
        // A dialog a press opens is drawn as it shows, then cancelled as Escape would.
        policy.dialog = [&a, &picturesOk](HWND dialog) {
            WCHAR caption[256] = {};
            GetWindowTextW(dialog, caption, 256);
            std::string title = nvx::Utf8FromW(caption);
            picturesOk &= WritePicture(dialog, a.pictureDir, title.empty() ? "dialog" : title);
        };
    }
    InstallAnswers(&policy);
    struct Uninstall {
        ~Uninstall() { UninstallAnswers(); }
    } uninstall;

    if (!session.Open(options, a.printer, &error, g_words->kind)) {
        fprintf(stderr, "%s: %s\n", g_words->command, error.c_str());
        return kExitFailed;
    }
    ShowLockedSettings(session);
    if (!scripted) {
        repl.Run();
        return repl.failed ? kExitFailed : kExitOk;
    }
    if (!a.page.empty()) {
        int index = session.HasSheet() ? session.FindPage(a.page) : -1;
        if (index < 0 || !session.ShowPage(static_cast<size_t>(index))) {
            fprintf(stderr, "%s: no page \"%s\" to show\n", g_words->command, EchoText(a.page).c_str());
            return kExitFailed;
        }
    }
    for (const std::string& assignment : a.sets) {
        if (assignment[0] == '\x01' ? !Press(session, assignment.substr(1)) : !SetAnywhere(session, assignment, false))
            return kExitFailed;
    }
    if (a.apply) {
        if (!session.Apply(&error)) {
            fprintf(stderr, "%s: %s\n", g_words->command, error.c_str());
            return kExitFailed;
        }
        fprintf(g_report, g_words->applied, session.PrinterName().c_str());
    }
    if (!a.apply && !a.sets.empty() && !a.dialogsOnly) fprintf(g_report, "The changes were not stored (add --apply).\n");
    if (a.show && a.json) ShowAllJson(session);
    else if (a.show) ShowAll(session);
    if (!a.pictureDir.empty() && !a.dialogsOnly) picturesOk &= WritePagePictures(session, a.pictureDir);
    return picturesOk ? kExitOk : kExitFailed;
}

}  // namespace

int CmdPrefs(const Options& options, const std::vector<std::string>& args) {
    g_words = &kPrefsWords;
    return RunSheetCommand(options, args);
}

// novrix picture DIR [--printer NAME] [--page NAME] [--press LABEL]... [--set ...]: with presses, the
// dialogs they open; without, every page (as prefs --picture DIR).
int CmdPicture(const Options& options, const std::vector<std::string>& args) {
    g_words = &kPrefsWords;
    if (args.empty() || args[0].empty() || args[0][0] == '-') {
        fprintf(stderr, "novrix picture: give the folder for the pictures first (novrix picture DIR ...)\n");
        PrefsUsage(stderr);
        return kExitUsage;
    }
    std::vector<std::string> rest{"--picture", args[0]};
    bool presses = false;
    for (size_t i = 1; i < args.size(); ++i) {
        presses |= args[i] == "--press";
        rest.push_back(args[i]);
    }
    return RunSheetCommand(options, rest, presses);
}

int CmdPrinterOptions(const Options& options, const std::vector<std::string>& args) {
    g_words = &kPrinterWords;
    return RunSheetCommand(options, args);
}

}  // namespace novrix
