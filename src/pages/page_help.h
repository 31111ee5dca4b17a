// Help for pages and dialogs: the help file beside the module and the calls that
// show a topic; the modal dialogs of the module (MyDialogBox).
#pragma once

#include <cstdint>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::pages {

// HTML help commands the WinHelp commands 1, 10 and 12 become.
inline constexpr UINT kHtmlHelpContext = 15;
inline constexpr UINT kHtmlHelpContextMenu = 16;
inline constexpr UINT kHtmlHelpWmHelp = 17;
// The Version tab's help topic.
inline constexpr ULONG_PTR kVersionHelpTopic = 9000;

struct HelpFile {
    WString path;
    bool compiled = false;  // NOVRIX__.CHM (HTML help) rather than NOVRIX__.HLP (WinHelp)
};

// The help file: NOVRIX__.CHM beside the module on Windows NT 6.0 and later; on
// older systems NOVRIX__.HLP when it exists, else NOVRIX__.CHM.
HelpFile FindHelpFile();

// The HTML help command of a WinHelp command (1 -> 15, 10 -> 16, 12 -> 17; others
// unchanged).
UINT HtmlHelpCommand(UINT winHelpCommand);

// Shows help: with the compiled file only the context form (15) is shown, through
// HtmlHelpW of hhctrl.ocx when that can be loaded; with the WinHelp file through
// WinHelpW, unless `point` is given and lies on the window's caption.
void ShowHelp(HWND window, UINT winHelpCommand, ULONG_PTR data, const POINT* point);

// WM_HELP (a HELPINFO) and WM_CONTEXTMENU (the window and the screen point) of a
// page: the control's topic is its control identifier.  Answers TRUE (handled).
INT_PTR PageHelpMessage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
// PSN_HELP of a page: the page's topic (its page identifier).
void ShowPageHelp(HWND page, ULONG_PTR topic);

// A modal dialog from a resource library with `context` as its creation parameter.
// With the compiled help file (or on NT 6.0 and later) the template is copied and
// its DS_CONTEXTHELP style bit cleared (classic and extended templates) before it
// runs; a template that cannot be loaded runs through DialogBoxParamW unchanged.
INT_PTR RunModuleDialog(HINSTANCE resources, HWND parent, UINT templateId, DLGPROC proc, LPARAM context);

}  // namespace nvx::pages
