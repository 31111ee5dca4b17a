// Fax transmission settings and the destination list of one fax job, without any
// window: the FaxSetting block of the settings record, the checks the fax tab and
// the fax dialogs make, the destination array the host hands the fax transmission
// dialog, and the send date of a timed transmission.
//
// Every record here is a byte array with fixed offsets (UTF-16 texts little-endian),
// read and written through these functions so that no compiler layout moves a field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::fax {

// ---- The FaxSetting block (94 bytes, at byte 8122 of the settings record) ----

inline constexpr size_t kSettingOffset = 8122;
inline constexpr size_t kSettingSize = 94;
namespace setting {
inline constexpr size_t kPrtRecFile = 0;    // u8 flag
inline constexpr size_t kTimerSend = 1;     // u8 flag: send at a set time
inline constexpr size_t kSendHour = 2;      // u8 0..23
inline constexpr size_t kSendMinute = 3;    // u8 0..59
inline constexpr size_t kSubAddressOn = 4;  // u8 flag
inline constexpr size_t kSubAddress = 6;    // 21 UTF-16 units, digits only
inline constexpr size_t kSendIdOn = 48;     // u8 flag
inline constexpr size_t kSendId = 50;       // 21 UTF-16 units, digits, "#" and "*"
inline constexpr size_t kCoverSheet = 92;   // u8 flag: a cover sheet is sent
inline constexpr size_t kTextUnits = 21;    // each text field, with its terminator
inline constexpr size_t kTextChars = 20;    // characters a text field holds
static_assert(kSubAddress + kTextUnits * 2 == kSendIdOn && kSendId + kTextUnits * 2 == kCoverSheet &&
              kCoverSheet + 2 == kSettingSize, "the FaxSetting fields tile the 94-byte block");
}  // namespace setting

// The block as a value (a private copy a dialog edits).
struct FaxSetting {
    BYTE bytes[kSettingSize] = {};
};
static_assert(sizeof(FaxSetting) == kSettingSize && alignof(FaxSetting) == 1, "FaxSetting is a packed block");

// The block inside a settings record (8344 bytes); null for a null record.
BYTE* SettingIn(BYTE* record);
const BYTE* SettingIn(const BYTE* record);

bool Flag(const BYTE* block, size_t offset);
void SetFlag(BYTE* block, size_t offset, bool on);
// The text at offset (kSubAddress or kSendId), at most 20 characters even when the
// stored field lacks its terminator.
WString Text(const BYTE* block, size_t offset);
// Writes at most 20 characters and zeroes the rest of the field.
void SetText(BYTE* block, size_t offset, WStringView text);

// ---- Characters the fields accept ----

bool IsSubAddressChar(WCHAR c);  // "0" to "9"
bool IsSendIdChar(WCHAR c);      // digits, "#", "*"
bool IsFaxNumberChar(WCHAR c);   // "0123456789#*PT-"

// Typing filter: the text without the characters `keep` refuses, and the caret
// moved back one place for each removed character (never below 0).
struct Filtered {
    WString text;
    int caret = 0;
    int removed = 0;
};
Filtered FilterTyped(WStringView text, int caret, bool (*keep)(WCHAR));

// ---- Checks ----

// A time field's value: a signed decimal number (blanks around it allowed) inside
// 0..maximum.  False for an empty text, anything that is not a number, or a number
// out of range.
bool ParseTimeField(WStringView text, int maximum, int* value);
// Not empty, and every character accepted.
bool SubAddressValid(WStringView text);
bool SendIdValid(WStringView text);

// What the page-leave check (and the fax mode details' OK) finds first, in order:
// the time (when the timer is on), the sub-address (when on), the sender ID (when on).
enum class Problem { None, Time, SubAddress, SendId };
struct Entered {
    bool timerOn = false;
    WString hour, minute;
    bool subAddressOn = false;
    WString subAddress;
    bool sendIdOn = false;
    WString sendId;
};
Problem FirstProblem(const Entered& entered);
// The message slots of a problem (first, second) and the control that gets the focus.
struct ProblemMessage {
    unsigned first = 0, second = 0;
    int focus = 0;
};
ProblemMessage MessageOf(Problem problem);

// "%d:%d" read from the current-time text; fewer than two numbers give 0 and 0.
void ReadShownTime(WStringView text, int* hour, int* minute);

// ---- Destinations (FaxDestination, 652 bytes; 100 in the host's array) ----

inline constexpr size_t kDestinationSize = 652;
inline constexpr int32_t kMaxDestinations = 100;
inline constexpr size_t kDestinationArrayBytes = kDestinationSize * kMaxDestinations;
namespace destination {
inline constexpr size_t kName = 0;
inline constexpr size_t kNumber = 162;
inline constexpr size_t kCompany = 324;
inline constexpr size_t kDepartment = 486;
inline constexpr size_t kEcm = 648;
inline constexpr size_t kInternational = 649;
inline constexpr size_t kV34 = 650;
inline constexpr size_t kTextUnits = 81;
inline constexpr size_t kNameChars = 80;    // typed name
inline constexpr size_t kNumberChars = 38;  // typed fax number
static_assert(kNumber == kName + kTextUnits * 2 && kCompany == kNumber + kTextUnits * 2 &&
              kDepartment == kCompany + kTextUnits * 2 && kEcm == kDepartment + kTextUnits * 2 &&
              kV34 + 2 == kDestinationSize, "the FaxDestination fields tile the 652-byte entry");
}  // namespace destination
static_assert(kDestinationArrayBytes == 65200, "the destination array is 65,200 bytes");

struct Destination {
    WString name, number, company, department;
    bool ecm = true, international = false, v34 = true;
};

// Reads entry i (texts at most 80 characters, terminator or not).
Destination ReadDestination(const BYTE* array, int32_t index);
// Writes an entry: texts cut to 80 characters, the rest of each field zeroed;
// V.34 on always writes ECM on.
void WriteDestination(BYTE* array, int32_t index, const Destination& d);

// A count the host's buffer can hold: 0..100 (anything else counts as 0).
int32_t UsableCount(int32_t count);

enum class AddResult { Added, Full, Duplicate };
// Appends d at index count unless the list is full (100) or an entry with exactly
// the same fax number is listed.
AddResult AddDestination(BYTE* array, int32_t* count, const Destination& d);
// Removes the entries at the given indices (ascending, each inside the list),
// moving the following entries down; the count drops by one for each.
void DeleteDestinations(BYTE* array, int32_t* count, std::vector<int32_t> indices);

// Message slots of the destination dialog.
inline constexpr unsigned kMsgDuplicate = 537;
inline constexpr unsigned kMsgFull = 538;
inline constexpr unsigned kMsgFullCaption = 7;
inline constexpr unsigned kMsgNumberMismatch = 542;
inline constexpr unsigned kMsgDeleteAsk = 536;
inline constexpr unsigned kMsgDeleteCaption = 5;
inline constexpr unsigned kMsgSendAt = 541;
inline constexpr unsigned kMsgSendAtCaption = 540;
inline constexpr unsigned kMsgCaption = 1;
inline constexpr unsigned kMsgOutOfRange = 2;
inline constexpr unsigned kMsgInvalid = 3;
inline constexpr unsigned kMsgTime = 502;
inline constexpr unsigned kMsgSubAddress = 500;
inline constexpr unsigned kMsgSendId = 501;
inline constexpr unsigned kMsgStored = 534;
inline constexpr unsigned kMsgNotStored = 535;
inline constexpr unsigned kMsgPhoneBookMissing = 539;
inline constexpr unsigned kMsgPhoneBookCaption = 8;

// ---- Timed transmission ----

struct Date {
    int year = 0, month = 0, day = 0;
};
bool LeapYear(int year);
int DaysInMonth(int year, int month);
// The date a transmission set for hour:minute goes out when it is now `today`
// at nowHour:nowMinute: today when the set time is later, else the next day.
Date SendDate(Date today, int nowHour, int nowMinute, int hour, int minute);

}  // namespace nvx::fax
