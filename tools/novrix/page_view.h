// A page (or dialog) as a person sees it: its settings by their visible labels,
// their values and marks, the hint text; and changing a setting the way a person
// does (a click, a choice in a list, typing), through the platform's host
// interface, so that the page sees exactly the messages of a real user.
//
// How labels are found, in the page's control order (tab order):
// - a radio button group is named by the group box around it (else by the text
//   label before it); its value is the checked button's text;
// - a check box is named by its own text; its value is on or off;
// - a combo box or edit box is named by the text label just before it, else by
//   the group box around it ("Zoom" names the zoom radios and the zoom box: a
//   number chooses the box, a word the radios);
// - a text that is no label and follows an edit box (a unit, a range) is shown
//   beside it; the hint area (control 1016) is shown as the page's hint;
// - push buttons are listed by their text;
// - any other text (a static text, a read-only box) is shown as it stands;
// - a stop icon that a page shows (with its tooltip text) belongs to the setting
//   whose control stands level with it to its right.
// Labels compare without case, without "&", a trailing ":" or "...".
#pragma once

#include <set>
#include <string>
#include <vector>

#include "echo.h"
#include "platform/win32.h"

namespace novrix {

// List: a list box with a label before it; its rows are its choices, named by
// their text before ": " ("Finisher: None" is chosen as "Finisher").
// Slider: a trackbar named by the text label before it ("Density"), else by the
// group box around it; its value is its position, a whole number within its range;
// its note is its end labels and range ("Light (-3...3) Dark").
enum class SettingKind { Radio, Check, Combo, Edit, Button, Text, List, Slider };

struct Setting {
    std::string label;           // as shown (without "&" and ":")
    SettingKind kind = SettingKind::Button;
    std::vector<HWND> controls;  // the radio buttons of a group; else one control
    std::string note;            // unit or range text shown beside an edit box
    std::string warning;         // the text of a stop icon shown beside it
};

struct PageView {
    HWND window = nullptr;
    std::vector<Setting> settings;
    std::string hint;
    std::vector<std::string> warnings;  // stop icons that stand beside no setting
};

// Reads the page's controls (the page need not be the one shown).
PageView ScanPage(HWND page);

// The value a person sees: radio text, "on"/"off", the chosen entry, the text.
std::string SettingValue(const Setting& setting);
// The entries of a combo box, or the texts of a radio group.
std::vector<std::string> SettingChoices(const Setting& setting);
// "disabled", "hidden", both ("hidden, disabled") or empty; a disabled setting whose
// control the administrator locked also says "locked by the administrator".
std::string SettingMarks(const Setting& setting);
// The control ids of the settings the printer's administrator locked (novrix setup
// lock); empty: none.
void SetLockedControls(const std::set<int>& ids);

// The page as text: one line per setting ("  Label: value  note  [marks]"),
// radio choices in parentheses, buttons in brackets, then "  Hint: ...".
std::string RenderPage(const PageView& view, const std::string& title);

// A label without "&", surrounding blanks, a trailing ":" or "...".
std::string CleanLabel(const std::string& text);
// Labels compare without case after CleanLabel.
bool SameLabel(const std::string& a, const std::string& b);

enum class SetOutcome {
    Done,       // the page shows the value now
    NoLabel,    // no setting of that label on this page
    NotInList,  // the value is none of the setting's choices (or not a number / on/off)
    Disabled,   // the control does not take input (disabled or hidden)
    Refused,    // the page put the old value back (the change was declined or not allowed)
};

// Changes the setting of that label to value as a person would.  *message says
// what went wrong (with the choices where it helps).
SetOutcome SetSetting(const PageView& view, const std::string& label, const std::string& value,
                      std::string* message);

// What stands for a password's value in every message: its text is never shown.
inline constexpr const char* kHiddenValue = "(not shown)";
// The value as messages about this setting echo it: kHiddenValue for a password
// box, else EchoText.
std::string EchoValue(const Setting& setting, const std::string& value);
// The setting SetSetting would change for label and value; null when none.
const Setting* FindValueSetting(const PageView& view, const std::string& label, const std::string& value);

// Whether a page has a setting of that label (buttons excluded).
bool HasSetting(const PageView& view, const std::string& label);

}  // namespace novrix
