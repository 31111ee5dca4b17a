// The FaxSetting controls the fax tab (171) and the fax mode details dialog (181)
// share, under the same control numbers: showing a block in them, reading what the
// user entered, the typing filters, the current time and the check order.
#pragma once

#include "features/fax.h"
#include "platform/win32.h"

namespace nvx::pages::fax {

enum : int {
    kPrtRecFile = 1932,
    kTimerSend = 1933,
    kSendTimeLabel = 1934,
    kHour = 1935,
    kHourSpin = 1936,
    kMinute = 1937,
    kMinuteSpin = 1938,
    kCurrentTimeLabel = 1939,
    kCurrentTime = 1940,
    kRefCurTime = 1941,
    kSubAddressOn = 1942,
    kSubAddress = 1943,
    kSendIdOn = 1944,
    kSendId = 1945,
    kHourLabel = 3581,
    kMinuteLabel = 3582,
    kSubAddressLabel = 3583,
    kSendIdLabel = 3584,
};

// True while the fields are being written by the code (their EN_CHANGE is no edit).
bool FieldsUpdating();

// Limits, spin ranges and the current time.
void PrepareFields(HWND dialog);
// Shows the block; `except` (a text field) keeps what it shows.
void ShowFields(HWND dialog, const BYTE* block, int except = 0);
// The local time as "%02d:%02d" in 1940.
void ShowCurrentTime(HWND dialog);
// Enables the time controls with the timer, each text field with its switch
// (`mayApply` false: leaves the controls as they are).
void EnableFieldDependents(HWND dialog, const BYTE* block, bool mayApply);

// What the user entered, with the switches of the block.
nvx::fax::Entered ReadEntered(HWND dialog, const BYTE* block);
// The first failing check: focus into its field and its message box (caption 1).
// True when everything is valid.
bool CheckEntered(HWND dialog, const BYTE* block);

// Removes what the field does not accept from 1943 (digits) or 1945 (digits, "#",
// "*"); the caret stays after the typed text.  The field's text afterwards.
WString FilterField(HWND dialog, int control);

// Button 1941: the shown current time into the hour and minute fields.
void UseShownTime(HWND dialog);

// A field's text (at most `chars` characters).
WString FieldText(HWND dialog, int control, size_t chars = 80);

// A message slot's text as shown.
WString MessageText(unsigned slot);
int ShowMessage(HWND owner, unsigned caption, WStringView text, UINT type);

}  // namespace nvx::pages::fax
