// Answering the module's message boxes and modal dialogs at the terminal or from
// the command line (--yes / --no), through the platform's responder and driver.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "platform/win32.h"

namespace novrix {

enum class AutoAnswer { None, Yes, No };

struct AnswerPolicy {
    AutoAnswer answer = AutoAnswer::None;  // None: ask on `in` (the default button at its end)
    FILE* in = stdin;
    FILE* out = stdout;
    bool prompt = false;                   // write a prompt before reading (a terminal)
    // Commands come from a script on standard input: its lines are commands, never
    // answers.  A question is answered by --yes/--no only; without them it is
    // declined (No, else Cancel, else the default button), said on standard
    // error and counted in `unanswered`.
    bool script = false;
    int unanswered = 0;
    // Drives a modal dialog the module opens (interactive sessions); null: the
    // dialog is cancelled, as Escape would.
    std::function<void(HWND)> dialog;
};

// Installs the responder and the modal-dialog driver for the policy (which must
// outlive the installation); Uninstall removes them.
void InstallAnswers(AnswerPolicy* policy);
void UninstallAnswers();

// The button an answer word picks for a box of these MB_ flags: "yes", "no", "ok",
// "cancel", "retry", "abort", "ignore", "try", "continue" (case ignored, first
// letters enough); 0 when the word names none of the box's buttons.
int ButtonForWord(UINT type, const std::string& word);
// The names of the box's buttons, e.g. "Yes/No".
std::string ButtonNames(UINT type);
// The button --yes or --no picks: Yes, else OK (Retry, Continue); No, else Cancel.
int ButtonForAuto(UINT type, AutoAnswer answer);

}  // namespace novrix
