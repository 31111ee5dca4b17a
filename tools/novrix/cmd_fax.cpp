// novrix fax: the host's side of a fax job.
//
// novrix fax send [--printer NAME] [--to NUMBER[:NAME]]... [--cover on|off] [--set LABEL=VALUE]... [--yes|--no]
//
// Plays the host driver UI when a fax job is printed: it builds the buffers the
// host hands the module (the destination count and array, the cover sheet record,
// the job's fax settings taken from the printer's preferences, the printer, the
// job's settings record and the printer's device options), opens the fax
// transmission dialog through Popup_FaxSendToDlg, drives it as a person does
// (from the command line, or with commands at the terminal) and prints what the
// host receives.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "answers.h"
#include "commands.h"
#include "common/text.h"
#include "echo.h"
#include "features/fax.h"
#include "page_view.h"
#include "platform/ui_host.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "sheet_session.h"

namespace novrix {

namespace {

namespace f = nvx::fax;

constexpr size_t kCoverSheetBytes = 3746;
enum : int {
    kDialogSend = 180,
    kDialogModeDetails = 181,
    kDialogConfirm = 2575,
    kName = 1990,
    kNumber = 2053,
    kAdd = 2041,
    kList = 2047,
    kModeDetails = 2050,
    kCoverBox = 2052,
    kConfirmNumber = 2580,
    kAddFromBook = 2042,
    kAddFromDevice = 2594,
    kDialogChooser = 1,
    // The phone book's chooser (NOVRIX_V.DLL).
    kChooserList = 100,
    kChooserText = 101,
    kChooserSearch = 102,
    kChooserStatus = 103,
};

void FaxUsage(FILE* out) {
    fprintf(out,
            "usage: novrix fax send [--printer NAME] [--to NUMBER[:NAME]]... [--cover on|off]\n"
            "                       [--from-book NUMBER]... [--from-device NUMBER]...\n"
            "                       [--from-directory TEXT=NUMBER]... [--set LABEL=VALUE]... [--yes|--no]\n"
            "       novrix fax send [--printer NAME]      (commands from the terminal)\n"
            "       novrix fax cover show|edit|save NAME|use NAME|delete NAME\n"
            "send plays the host when a fax job is printed: it opens the fax transmission dialog,\n"
            "adds each --to destination (NUMBER from 0-9 # * P T -, at most 38; NAME at most 80\n"
            "characters), switches the cover sheet, sets LABEL=VALUE on the dialog or, for the\n"
            "labels of Fax Mode Details (Timer Send, Hour, Minute, Sub-address, ...), in that\n"
            "dialog, presses OK and prints the destinations and settings the host receives.\n"
            "--from-book, --from-device and --from-directory take a destination by its fax number\n"
            "from the phone book, the device's fax speed dials, or the people a search of the\n"
            "printer's directory servers for TEXT finds (novrix phonebook, novrix directory).\n"
            "--yes/--no answer the dialog's questions (the send time of a timed fax).\n");
}

const char* const kDialogHelp =
    "commands in the fax transmission dialog:\n"
    "  add NUMBER[:NAME]  type a destination and press Add\n"
    "  list               the destinations added so far\n"
    "  show               the dialog's settings\n"
    "  set LABEL=VALUE    change a setting (ECM=off, Cover Sheet=on, Name=Ann)\n"
    "  choices LABEL      the entries of a list\n"
    "  press LABEL        click a button (Fax Mode Details..., Delete)\n"
    "  ok                 send: the host receives the list\n"
    "  cancel             close without sending\n";

struct Destination {
    std::string number, name;
};

// A destination taken from the phone book, the device's speed dials or a
// directory search, by its fax number.
struct Pick {
    enum Source { Book, Device, Directory } source;
    std::string number;
    std::string text;  // the search text (Directory)
};

struct SendArgs {
    std::string printer;
    std::vector<Destination> to;
    std::vector<Pick> picks;
    int cover = -1;  // -1: as the printer's preferences say
    std::vector<std::string> sets;
    AutoAnswer answer = AutoAnswer::None;
};

bool SplitAssignment(const std::string& text, std::string* label, std::string* value) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    *label = CleanLabel(text.substr(0, eq));
    *value = text.substr(eq + 1);
    while (!value->empty() && value->front() == ' ') value->erase(0, 1);
    while (!value->empty() && value->back() == ' ') value->pop_back();
    return !label->empty();
}

// NUMBER[:NAME] as a person would type it; false with *message when the dialog
// would not take it as given.
bool ParseDestination(const std::string& text, Destination* out, std::string* message) {
    const size_t colon = text.find(':');
    out->number = text.substr(0, colon);
    out->name = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (out->number.empty()) return *message = "--to needs a fax number", false;
    for (char c : out->number)
        if (!f::IsFaxNumberChar(static_cast<unsigned char>(c)))
            return *message = "the fax number \"" + EchoText(out->number) +
                              "\" has a character other than 0-9 # * P T -",
                   false;
    if (out->number.size() > f::destination::kNumberChars)
        return *message = "a fax number has at most 38 characters, not " + std::to_string(out->number.size()),
               false;
    const nvx::WString name = nvx::WFromUtf8(out->name);
    if (name.size() > f::destination::kNameChars)
        return *message = "a name has at most 80 characters, not " + std::to_string(name.size()), false;
    for (WCHAR c : name)
        if (c < 0x20 || c == 0x7F) return *message = "a name cannot hold control characters", false;
    return true;
}

int ParseSendArgs(const std::vector<std::string>& args, SendArgs* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--printer" && hasValue) {
            out->printer = args[++i];
        } else if (a == "--to" && hasValue) {
            Destination d;
            std::string message;
            if (!ParseDestination(args[++i], &d, &message)) {
                fprintf(stderr, "novrix fax send: %s\n", message.c_str());
                return kExitUsage;
            }
            out->to.push_back(d);
        } else if ((a == "--from-book" || a == "--from-device") && hasValue) {
            out->picks.push_back({a == "--from-book" ? Pick::Book : Pick::Device, args[++i], {}});
        } else if (a == "--from-directory" && hasValue) {
            const std::string v = args[++i];
            const size_t eq = v.rfind('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == v.size()) {
                fprintf(stderr, "novrix fax send: --from-directory takes TEXT=NUMBER, not \"%s\"\n",
                        EchoText(v).c_str());
                return kExitUsage;
            }
            out->picks.push_back({Pick::Directory, v.substr(eq + 1), v.substr(0, eq)});
        } else if (a == "--cover" && hasValue) {
            const std::string v = args[++i];
            if (v != "on" && v != "off") {
                fprintf(stderr, "novrix fax send: --cover takes on or off, not \"%s\"\n", EchoText(v).c_str());
                return kExitUsage;
            }
            out->cover = v == "on" ? 1 : 0;
        } else if (a == "--set" && hasValue) {
            std::string label, value;
            if (!SplitAssignment(args[++i], &label, &value)) {
                fprintf(stderr, "novrix fax send: --set takes LABEL=VALUE, not \"%s\"\n", EchoText(args[i]).c_str());
                return kExitUsage;
            }
            out->sets.push_back(args[i]);
        } else if (a == "--yes" || a == "--no") {
            if (out->answer != AutoAnswer::None) {
                fprintf(stderr, "novrix fax send: give --yes or --no once\n");
                return kExitUsage;
            }
            out->answer = a == "--yes" ? AutoAnswer::Yes : AutoAnswer::No;
        } else if (a == "--help") {
            FaxUsage(stdout);
            return -1;
        } else {
            fprintf(stderr, "novrix fax send: unexpected argument '%s'\n", EchoText(a).c_str());
            FaxUsage(stderr);
            return kExitUsage;
        }
    }
    return kExitOk;
}

// The host's buffers of one fax job (FaxSendToBlock: seven pointers).
struct HostBuffers {
    int32_t count = 0;
    std::vector<BYTE> destinations = std::vector<BYTE>(f::kDestinationArrayBytes, 0);
    std::vector<BYTE> cover = std::vector<BYTE>(kCoverSheetBytes, 0);
    std::vector<BYTE> faxSetting = std::vector<BYTE>(f::kSettingSize, 0);
    HANDLE printer = nullptr;
    std::vector<BYTE> record = std::vector<BYTE>(sizeof(OEMDEV), 0);
    std::vector<BYTE> deviceOptions = std::vector<BYTE>(nvx::settings::kDevOptionSize, 0);
    void* block[7] = {};

    void Wire() {
        void* p[7] = {&count,   destinations.data(), cover.data(),         faxSetting.data(),
                      &printer, record.data(),       deviceOptions.data()};
        std::memcpy(block, p, sizeof p);
    }
};

// Which of the module's fax dialogs a window is: told by a control of its own.
int DialogKind(HWND dialog) {
    if (GetDlgItem(dialog, kList)) return kDialogSend;
    if (GetDlgItem(dialog, kConfirmNumber)) return kDialogConfirm;
    if (GetDlgItem(dialog, 1943)) return kDialogModeDetails;
    if (GetDlgItem(dialog, kChooserList) && GetDlgItem(dialog, kChooserStatus)) return kDialogChooser;
    return 0;
}

int Rows(HWND dialog) {
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, kList), LVM_GETITEMCOUNT, 0, 0));
}

std::string OnOff(bool on) {
    return on ? "on" : "off";
}

std::string DestinationLine(const f::Destination& d, bool international) {
    std::string line = nvx::Utf8FromW(d.number.c_str());
    if (!d.name.empty()) line += "  " + nvx::Utf8FromW(d.name.c_str());
    if (!d.company.empty()) line += "  (" + nvx::Utf8FromW(d.company.c_str()) + ")";
    line += "  ECM " + OnOff(d.ecm);
    if (international) line += ", international " + OnOff(d.international);
    line += ", V.34 " + OnOff(d.v34);
    return line;
}

void PrintList(const BYTE* array, int32_t count, bool international, FILE* out) {
    for (int32_t i = 0; i < count; ++i)
        fprintf(out, "  %d. %s\n", static_cast<int>(i + 1),
                DestinationLine(f::ReadDestination(array, i), international).c_str());
}

// What the host received.
void PrintReceived(const HostBuffers& host) {
    namespace s = f::setting;
    const BYTE* b = host.faxSetting.data();
    printf("The host receives %d destination%s:\n", static_cast<int>(host.count), host.count == 1 ? "" : "s");
    PrintList(host.destinations.data(), host.count, true, stdout);
    printf("Fax settings of the job:\n");
    printf("  Cover Sheet: %s\n", OnOff(f::Flag(b, s::kCoverSheet)).c_str());
    printf("  Print Transmission Result: %s\n", OnOff(f::Flag(b, s::kPrtRecFile)).c_str());
    printf("  Timer Send: %s", OnOff(f::Flag(b, s::kTimerSend)).c_str());
    if (f::Flag(b, s::kTimerSend)) printf(" at %02d:%02d", b[s::kSendHour], b[s::kSendMinute]);
    printf("\n  Sub-address: %s", OnOff(f::Flag(b, s::kSubAddressOn)).c_str());
    if (f::Flag(b, s::kSubAddressOn)) printf(" %s", nvx::Utf8FromW(f::Text(b, s::kSubAddress).c_str()).c_str());
    printf("\n  Sender ID: %s", OnOff(f::Flag(b, s::kSendIdOn)).c_str());
    if (f::Flag(b, s::kSendIdOn)) printf(" %s", nvx::Utf8FromW(f::Text(b, s::kSendId).c_str()).c_str());
    printf("\n");
}

class FaxSession {
public:
    FaxSession(const SendArgs& args, bool scripted, bool terminal) : args_(args), scripted_(scripted), prompt_(terminal) {}

    bool failed = false;

    // The modal-dialog driver: every dialog the module opens comes here.
    void Drive(HWND dialog) {
        switch (DialogKind(dialog)) {
        case kDialogSend:
            if (scripted_) Script(dialog);
            else Interact(dialog, "fax> ");
            return;
        case kDialogModeDetails:
            if (scripted_) Details(dialog);
            else Interact(dialog, "details> ");
            return;
        case kDialogConfirm:
            if (scripted_) {
                // A person types the number once more.
                NvxUi_Type(GetDlgItem(dialog, kConfirmNumber), nvx::WFromUtf8(typedNumber_).c_str(),
                           NVXUI_TYPE_REPLACE);
                NvxUi_PressButton(dialog, IDOK);
            } else {
                Interact(dialog, "confirm> ");
            }
            return;
        case kDialogChooser:
            if (scripted_ && pick_) Choose(dialog, *pick_);
            else if (!scripted_) Interact(dialog, "phonebook> ");
            return;
        default:
            if (!scripted_) Interact(dialog, "dialog> ");
            return;  // a dialog left open is cancelled
        }
    }

private:
    void Fail(const std::string& message) {
        fprintf(stderr, "novrix fax send: %s\n", message.c_str());
        failed = true;
    }

    bool Set(HWND dialog, const std::string& assignment) {
        std::string label, value, message;
        SplitAssignment(assignment, &label, &value);
        const PageView view = ScanPage(dialog);
        const SetOutcome outcome = SetSetting(view, label, value, &message);
        if (outcome == SetOutcome::Done) {
            const Setting* s = FindValueSetting(view, label, value);
            printf("%s: %s\n", EchoText(label).c_str(), s ? EchoValue(*s, value).c_str() : EchoText(value).c_str());
            return true;
        }
        if (outcome != SetOutcome::NoLabel) Fail(message);
        return false;
    }

    bool Add(HWND dialog, const Destination& d) {
        const int before = Rows(dialog);
        typedNumber_ = d.number;
        NvxUi_Type(GetDlgItem(dialog, kName), nvx::WFromUtf8(d.name).c_str(), NVXUI_TYPE_REPLACE);
        if (d.name.empty()) SetDlgItemTextW(dialog, kName, WL(""));
        NvxUi_Type(GetDlgItem(dialog, kNumber), nvx::WFromUtf8(d.number).c_str(), NVXUI_TYPE_REPLACE);
        if (!NvxUi_Click(GetDlgItem(dialog, kAdd))) {
            Fail("Add cannot be pressed for \"" + EchoText(d.number) + "\"");
            return false;
        }
        if (Rows(dialog) == before) {
            Fail("the destination " + EchoText(d.number) + " was refused");
            return false;
        }
        printf("Added %s%s\n", EchoText(d.number).c_str(), d.name.empty() ? "" : (" " + EchoText(d.name)).c_str());
        return true;
    }

    static const char* SourceName(Pick::Source s) {
        return s == Pick::Book ? "the phone book" : s == Pick::Device ? "the device's speed dials"
                                                                      : "the directory search";
    }

    // The phone book's chooser: search when asked, select the row of the number, OK.
    void Choose(HWND dialog, const Pick& pick) {
        if (pick.source == Pick::Directory) {
            NvxUi_Type(GetDlgItem(dialog, kChooserText), nvx::WFromUtf8(pick.text).c_str(), NVXUI_TYPE_REPLACE);
            NvxUi_Click(GetDlgItem(dialog, kChooserSearch));
            WCHAR status[512] = {};
            GetDlgItemTextW(dialog, kChooserStatus, status, 512);
            printf("Directory search \"%s\": %s\n", EchoText(pick.text).c_str(), nvx::Utf8FromW(status).c_str());
        }
        HWND list = GetDlgItem(dialog, kChooserList);
        const int rows = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        int found = -1;
        for (int r = 0; r < rows && found < 0; ++r) {
            WCHAR text[512] = {};
            if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(r), 0) >= 511) continue;
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(text));
            const std::string row = nvx::Utf8FromW(text);
            if (row == pick.number || row.rfind(pick.number + "  ", 0) == 0) found = r;
        }
        if (found < 0) {
            Fail("no destination " + EchoText(pick.number) + " in " + SourceName(pick.source));
            NvxUi_PressButton(dialog, IDCANCEL);
            return;
        }
        SendMessageW(list, LB_SETSEL, TRUE, found);
        NvxUi_PressButton(dialog, IDOK);
    }

    bool TakePick(HWND dialog, const Pick& pick) {
        const int before = Rows(dialog);
        pick_ = &pick;
        const bool pressed = NvxUi_Click(GetDlgItem(dialog, pick.source == Pick::Device ? kAddFromDevice : kAddFromBook));
        pick_ = nullptr;
        if (failed) return false;
        if (!pressed || Rows(dialog) == before) {
            Fail(std::string(SourceName(pick.source)) + " is not available here (" +
                 (pressed ? "nothing was added" : "the button cannot be pressed") + ")");
            return false;
        }
        printf("Added %s from %s\n", EchoText(pick.number).c_str(), SourceName(pick.source));
        return true;
    }

    void Script(HWND dialog) {
        for (const std::string& assignment : args_.sets)
            if (!Set(dialog, assignment) && !failed) details_.push_back(assignment);  // a fax mode details label
        if (!details_.empty() && !failed) {
            NvxUi_Click(GetDlgItem(dialog, kModeDetails));
            if (!details_.empty()) return Cancel(dialog);
        }
        if (failed) return Cancel(dialog);
        if (args_.cover >= 0) {
            if (!NvxUi_SetCheck(GetDlgItem(dialog, kCoverBox), args_.cover ? BST_CHECKED : BST_UNCHECKED)) {
                Fail("the cover sheet cannot be switched for this printer");
                return Cancel(dialog);
            }
            printf("Cover Sheet: %s\n", OnOff(args_.cover == 1).c_str());
        }
        for (const Destination& d : args_.to)
            if (!Add(dialog, d)) return Cancel(dialog);
        for (const Pick& p : args_.picks)
            if (!TakePick(dialog, p)) return Cancel(dialog);
        if (Rows(dialog) == 0) {
            Fail("no destination: give at least one with --to NUMBER[:NAME], --from-book, --from-device or "
                 "--from-directory");
            return Cancel(dialog);
        }
        NvxUi_PressButton(dialog, IDOK);
        if (IsWindow(dialog) && IsWindowVisible(dialog)) {
            Fail("the fax was not sent: the send time was not confirmed");
            Cancel(dialog);
        }
    }

    // The fax mode details of a script: its labels, then OK.
    void Details(HWND dialog) {
        for (const std::string& assignment : details_) {
            if (Set(dialog, assignment)) continue;
            if (failed) break;
            std::string label, value;
            SplitAssignment(assignment, &label, &value);
            Fail("no setting \"" + EchoText(label) + "\" in the fax transmission dialog or its Fax Mode Details");
        }
        if (failed) return (void)NvxUi_PressButton(dialog, IDCANCEL);
        NvxUi_PressButton(dialog, IDOK);
        if (IsWindow(dialog) && IsWindowVisible(dialog)) {
            Fail("the fax mode details were refused");
            NvxUi_PressButton(dialog, IDCANCEL);
            return;
        }
        details_.clear();
    }

    void Cancel(HWND dialog) { NvxUi_PressButton(dialog, IDCANCEL); }

    bool ReadLine(const char* promptText, std::string* line) { return ReadCommandLine(prompt_, promptText, line); }

    // Commands at the terminal (or from a pipe) for a dialog; the end of input cancels it.
    void Interact(HWND dialog, const char* promptText) {
        const bool send = DialogKind(dialog) == kDialogSend;
        if (prompt_ && send) printf("Fax transmission; help lists the commands.\n");
        std::string line;
        while (IsWindow(dialog) && IsWindowVisible(dialog) && ReadLine(promptText, &line)) {
            const size_t start = line.find_first_not_of(' ');
            if (start == std::string::npos) continue;
            line.erase(0, start);
            const std::string verb = line.substr(0, line.find(' '));
            const std::string rest = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
            if (verb == "ok" || verb == "cancel") {
                if (!NvxUi_PressButton(dialog, verb == "ok" ? IDOK : IDCANCEL))
                    Fail(verb == "ok" ? "OK cannot be pressed now (the list is empty)" : "the dialog has no cancel");
                continue;  // a dialog that stays open (a refused OK) takes more commands
            }
            if (verb == "add" && send) {
                Destination d;
                std::string message;
                if (!ParseDestination(rest, &d, &message)) Fail(message);
                else Add(dialog, d);
            } else if (verb == "list" && send) {
                Refresh(dialog);
            } else if (verb == "show") {
                fputs(RenderPage(ScanPage(dialog), send ? "Fax Transmission" : "dialog").c_str(), stdout);
            } else if (verb == "set") {
                if (!Set(dialog, rest) && !failed) Fail("no setting \"" + EchoText(rest) + "\" here");
            } else if (verb == "choices") {
                const PageView view = ScanPage(dialog);
                bool found = false;
                for (const Setting& s : view.settings)
                    if (s.kind != SettingKind::Button && SameLabel(s.label, rest)) {
                        for (const std::string& c : SettingChoices(s)) printf("  %s\n", c.c_str());
                        found = true;
                        break;
                    }
                if (!found) Fail("no setting \"" + EchoText(rest) + "\" here");
            } else if (verb == "press") {
                const PageView view = ScanPage(dialog);
                bool found = false;
                for (const Setting& s : view.settings)
                    if (s.kind == SettingKind::Button && SameLabel(s.label, rest)) {
                        found = true;
                        if (!NvxUi_Click(s.controls[0])) Fail(s.label + " cannot be pressed now");
                        break;
                    }
                if (!found) Fail("no button \"" + EchoText(rest) + "\" here");
            } else if (verb == "help") {
                fputs(kDialogHelp, stdout);
            } else {
                Fail("unknown command '" + EchoText(verb) + "' (help lists them)");
            }
        }
    }

    // The rows of the dialog's list as the person sees them.
    static void Refresh(HWND dialog) {
        HWND list = GetDlgItem(dialog, kList);
        const int rows = Rows(dialog);
        if (rows == 0) printf("  (no destinations)\n");
        for (int r = 0; r < rows; ++r) {
            std::string line;
            for (int c = 0; c < 7; ++c) {
                WCHAR text[128] = {};
                LVITEMW item{};
                item.iSubItem = c;
                item.pszText = text;
                item.cchTextMax = 128;
                if (SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item)) <= 0 &&
                    c > 4)
                    continue;
                line += (c ? " | " : "") + nvx::Utf8FromW(text);
            }
            printf("  %d. %s\n", r + 1, line.c_str());
        }
    }

    const SendArgs& args_;
    bool scripted_;
    bool prompt_;
    std::string typedNumber_;
    const Pick* pick_ = nullptr;  // the pick the chooser now open is for
    std::vector<std::string> details_;
};

int Send(const Options& options, const std::vector<std::string>& rawArgs) {
    SendArgs args;
    const int rc = ParseSendArgs(rawArgs, &args);
    if (rc < 0) return kExitOk;
    if (rc != kExitOk) return rc;
    const bool scripted = !args.to.empty() || !args.picks.empty() || !args.sets.empty() || args.cover >= 0;
    const bool terminal = isatty(0) != 0;

    SheetSession session;
    std::string error;
    if (!session.Open(options, args.printer, &error)) {
        fprintf(stderr, "novrix fax send: %s\n", error.c_str());
        return kExitFailed;
    }
    // The job's settings: the printer's preferences as the sheet holds them.
    HostBuffers host;
    std::memcpy(host.record.data(), session.Record(), host.record.size());
    std::memcpy(host.faxSetting.data(), host.record.data() + f::kSettingOffset, f::kSettingSize);
    host.printer = session.Printer();
    nvx::settings::LoadDefaultDevOption(host.printer, host.deviceOptions.data());
    if (session.HasSheet()) session.Cancel();  // only the job's dialog is open from here
    host.Wire();

    FaxSession fax(args, scripted, terminal);
    AnswerPolicy policy;
    policy.answer = args.answer;
    policy.prompt = terminal;
    if (scripted || !terminal) policy.in = nullptr;  // a question takes --yes/--no, else its default button
    policy.script = !scripted && !terminal;
    policy.dialog = [&fax](HWND dialog) { fax.Drive(dialog); };
    InstallAnswers(&policy);
    struct Uninstall {
        ~Uninstall() { UninstallAnswers(); }
    } uninstall;

    FARPROC proc = session.ModuleProc("Popup_FaxSendToDlg");
    if (!proc) {
        fprintf(stderr, "novrix fax send: the module has no Popup_FaxSendToDlg\n");
        return kExitFailed;
    }
    using PopupFn = UINT_PTR (*)(UINT_PTR);
    const UINT_PTR answer =
        reinterpret_cast<PopupFn>(reinterpret_cast<void (*)()>(proc))(reinterpret_cast<UINT_PTR>(host.block));
    if (answer != IDOK) {
        printf("The fax transmission dialog was cancelled: the host sends nothing.\n");
        return kExitFailed;
    }
    PrintReceived(host);
    return fax.failed || policy.unanswered > 0 ? kExitFailed : kExitOk;
}

}  // namespace

int CmdFax(const Options& options, const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "--help") {
        FaxUsage(args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "send") return Send(options, rest);
    if (args[0] == "cover") return RunFaxCover(options, rest);
    fprintf(stderr, "novrix fax: unknown command '%s' (send or cover)\n", EchoText(args[0]).c_str());
    FaxUsage(stderr);
    return kExitUsage;
}

}  // namespace novrix
