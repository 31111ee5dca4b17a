// Message boxes and modal dialogs answered by the person or by --yes/--no.
#include "answers.h"

#include <cctype>
#include <vector>

#include "common/text.h"
#include "platform/ui_host.h"

namespace novrix {
namespace {

struct Button {
    int id;
    const char* name;
};

// The buttons of each MB_ type, in the order the box shows them.
std::vector<Button> Buttons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK: return {{IDOK, "OK"}};
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    case MB_CANCELTRYCONTINUE: return {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "Try Again"}, {IDCONTINUE, "Continue"}};
    default: return {};
    }
}

bool HasButton(UINT type, int id) {
    for (const Button& b : Buttons(type))
        if (b.id == id) return true;
    return false;
}

std::string Trimmed(const char* line) {
    std::string s(line);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    size_t start = s.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : s.substr(start);
}

// The name of the button an answer picks; 0 picks the box's default button.
// A box's text for the terminal: no carriage returns, no blanks at line ends.
std::string Tidy(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n')
            while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    return out;
}

std::string NameOf(UINT type, int id) {
    std::vector<Button> buttons = Buttons(type);
    if (id == 0) {
        size_t index = (type & MB_DEFMASK) >> 8;
        id = buttons.empty() ? 0 : buttons[index < buttons.size() ? index : 0].id;
    }
    for (const Button& b : buttons)
        if (b.id == id) return b.name;
    return "?";
}

int Respond(void* context, HWND, LPCWSTR caption, LPCWSTR text, UINT type) {
    auto* policy = static_cast<AnswerPolicy*>(context);
    FILE* out = policy->out;
    fprintf(out, "Message box \"%s\": %s\n", caption ? nvx::Utf8FromW(caption).c_str() : "",
            text ? Tidy(nvx::Utf8FromW(text)).c_str() : "");
    int answer = 0;
    if (policy->answer != AutoAnswer::None) {
        answer = ButtonForAuto(type, policy->answer);
    } else if (policy->script && Buttons(type).size() > 1) {
        answer = ButtonForAuto(type, AutoAnswer::No);
        ++policy->unanswered;
        fflush(out);
        fprintf(stderr,
                "novrix prefs: the box asks %s, but the commands come from standard input, whose lines are never "
                "taken as answers: it is answered %s (give --yes or --no to answer it)\n",
                ButtonNames(type).c_str(), NameOf(type, answer).c_str());
    } else if (Buttons(type).size() > 1) {  // a notice with one button asks nothing
        for (;;) {
            if (policy->prompt) {
                fprintf(out, "Answer %s: ", ButtonNames(type).c_str());
                fflush(out);
            }
            char line[256];
            if (!policy->in || !fgets(line, sizeof line, policy->in)) break;  // no more input: the default button
            answer = ButtonForWord(type, Trimmed(line));
            if (answer) break;
            // A person is asked again; a script's line that answers nothing takes the default.
            if (!policy->prompt) break;
            fprintf(out, "Please answer %s.\n", ButtonNames(type).c_str());
        }
    }
    fprintf(out, "  -> %s\n", NameOf(type, answer).c_str());
    fflush(out);
    return answer;
}

void Drive(void* context, HWND dialog) {
    auto* policy = static_cast<AnswerPolicy*>(context);
    WCHAR caption[256] = {};
    GetWindowTextW(dialog, caption, 256);
    fprintf(policy->out, "Dialog \"%s\" opened", nvx::Utf8FromW(caption).c_str());
    if (!policy->dialog) {
        fprintf(policy->out, ": cancelled (no one to answer it in a scripted run)\n");
        return;  // the layer cancels a dialog its driver leaves open
    }
    fprintf(policy->out, "\n");
    policy->dialog(dialog);
}

}  // namespace

int ButtonForWord(UINT type, const std::string& word) {
    if (word.empty()) return 0;
    for (const Button& b : Buttons(type)) {
        std::string name = b.name;
        if (word.size() > name.size()) continue;
        bool prefix = true;
        for (size_t i = 0; i < word.size() && prefix; ++i)
            prefix = std::tolower(static_cast<unsigned char>(word[i])) ==
                     std::tolower(static_cast<unsigned char>(name[i]));
        if (prefix) return b.id;
    }
    return 0;
}

std::string ButtonNames(UINT type) {
    std::string out;
    for (const Button& b : Buttons(type)) out += (out.empty() ? "" : "/") + std::string(b.name);
    return out;
}

int ButtonForAuto(UINT type, AutoAnswer answer) {
    const int yes[] = {IDYES, IDOK, IDRETRY, IDCONTINUE};
    const int no[] = {IDNO, IDCANCEL, IDABORT};
    if (answer == AutoAnswer::Yes) {
        for (int id : yes)
            if (HasButton(type, id)) return id;
    } else if (answer == AutoAnswer::No) {
        for (int id : no)
            if (HasButton(type, id)) return id;
    }
    return 0;  // the box's default button
}

void InstallAnswers(AnswerPolicy* policy) {
    NvxUi_SetMessageBoxResponder(Respond, policy);
    NvxUi_SetModalDriver(Drive, policy);
}

void UninstallAnswers() {
    NvxUi_SetMessageBoxResponder(nullptr, nullptr);
    NvxUi_SetModalDriver(nullptr, nullptr);
}

}  // namespace novrix
