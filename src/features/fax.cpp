// Fax transmission settings and destinations (fax.h).
#include "features/fax.h"

#include <algorithm>
#include <cstring>

#include "common/le.h"

namespace nvx::fax {

namespace {

WString ReadUnits(const BYTE* p, size_t maxChars) {
    WString out;
    for (size_t i = 0; i < maxChars; ++i) {
        const WCHAR c = static_cast<WCHAR>(GetLE16(p + i * 2));
        if (c == 0) break;
        out.push_back(c);
    }
    return out;
}

void WriteUnits(BYTE* p, size_t units, WStringView text) {
    std::memset(p, 0, units * 2);
    const size_t n = std::min(text.size(), units - 1);
    for (size_t i = 0; i < n; ++i) PutLE16(p + i * 2, static_cast<uint16_t>(text[i]));
}

bool AllOf(WStringView text, bool (*keep)(WCHAR)) {
    return std::all_of(text.begin(), text.end(), keep);
}

BYTE* Entry(BYTE* array, int32_t index) {
    return array + static_cast<size_t>(index) * kDestinationSize;
}
const BYTE* Entry(const BYTE* array, int32_t index) {
    return array + static_cast<size_t>(index) * kDestinationSize;
}

}  // namespace

BYTE* SettingIn(BYTE* record) {
    return record ? record + kSettingOffset : nullptr;
}
const BYTE* SettingIn(const BYTE* record) {
    return record ? record + kSettingOffset : nullptr;
}

bool Flag(const BYTE* block, size_t offset) {
    return block[offset] != 0;
}
void SetFlag(BYTE* block, size_t offset, bool on) {
    block[offset] = on ? 1 : 0;
}

WString Text(const BYTE* block, size_t offset) {
    return ReadUnits(block + offset, setting::kTextChars);
}
void SetText(BYTE* block, size_t offset, WStringView text) {
    WriteUnits(block + offset, setting::kTextUnits, text);
}

bool IsSubAddressChar(WCHAR c) {
    return c >= '0' && c <= '9';
}
bool IsSendIdChar(WCHAR c) {
    return IsSubAddressChar(c) || c == '#' || c == '*';
}
bool IsFaxNumberChar(WCHAR c) {
    return IsSendIdChar(c) || c == 'P' || c == 'T' || c == '-';
}

Filtered FilterTyped(WStringView text, int caret, bool (*keep)(WCHAR)) {
    Filtered f;
    for (WCHAR c : text) {
        if (keep(c)) f.text.push_back(c);
        else ++f.removed;
    }
    f.caret = std::max(0, caret - f.removed);
    f.caret = std::min(f.caret, static_cast<int>(f.text.size()));
    return f;
}

bool ParseTimeField(WStringView text, int maximum, int* value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const size_t digitsFrom = i;
    long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > 100000) return false;
    }
    if (i == digitsFrom) return false;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i != text.size()) return false;
    if (negative) v = -v;
    if (v < 0 || v > maximum) return false;
    *value = static_cast<int>(v);
    return true;
}

bool SubAddressValid(WStringView text) {
    return !text.empty() && AllOf(text, IsSubAddressChar);
}
bool SendIdValid(WStringView text) {
    return !text.empty() && AllOf(text, IsSendIdChar);
}

Problem FirstProblem(const Entered& e) {
    int h = 0, m = 0;
    if (e.timerOn && !(ParseTimeField(e.hour, 23, &h) && ParseTimeField(e.minute, 59, &m))) return Problem::Time;
    if (e.subAddressOn && !SubAddressValid(e.subAddress)) return Problem::SubAddress;
    if (e.sendIdOn && !SendIdValid(e.sendId)) return Problem::SendId;
    return Problem::None;
}

ProblemMessage MessageOf(Problem problem) {
    switch (problem) {
    case Problem::Time: return {kMsgOutOfRange, kMsgTime, 1935};
    case Problem::SubAddress: return {kMsgInvalid, kMsgSubAddress, 1943};
    case Problem::SendId: return {kMsgInvalid, kMsgSendId, 1945};
    case Problem::None: break;
    }
    return {};
}

void ReadShownTime(WStringView text, int* hour, int* minute) {
    // "%d:%d": optional blanks and sign, digits, a colon, the same again.
    int values[2] = {};
    size_t i = 0;
    for (int n = 0; n < 2; ++n) {
        if (n == 1) {
            if (i >= text.size() || text[i] != ':') {
                *hour = *minute = 0;
                return;
            }
            ++i;
        }
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        const size_t from = i;
        long v = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) v = std::min(v * 10 + (text[i] - '0'), 100000L);
        if (i == from) {
            *hour = *minute = 0;
            return;
        }
        values[n] = static_cast<int>(negative ? -v : v);
    }
    *hour = values[0];
    *minute = values[1];
}

Destination ReadDestination(const BYTE* array, int32_t index) {
    const BYTE* e = Entry(array, index);
    Destination d;
    d.name = ReadUnits(e + destination::kName, destination::kTextUnits - 1);
    d.number = ReadUnits(e + destination::kNumber, destination::kTextUnits - 1);
    d.company = ReadUnits(e + destination::kCompany, destination::kTextUnits - 1);
    d.department = ReadUnits(e + destination::kDepartment, destination::kTextUnits - 1);
    d.ecm = e[destination::kEcm] != 0;
    d.international = e[destination::kInternational] != 0;
    d.v34 = e[destination::kV34] != 0;
    return d;
}

void WriteDestination(BYTE* array, int32_t index, const Destination& d) {
    BYTE* e = Entry(array, index);
    std::memset(e, 0, kDestinationSize);
    WriteUnits(e + destination::kName, destination::kTextUnits, d.name);
    WriteUnits(e + destination::kNumber, destination::kTextUnits, d.number);
    WriteUnits(e + destination::kCompany, destination::kTextUnits, d.company);
    WriteUnits(e + destination::kDepartment, destination::kTextUnits, d.department);
    e[destination::kEcm] = (d.ecm || d.v34) ? 1 : 0;
    e[destination::kInternational] = d.international ? 1 : 0;
    e[destination::kV34] = d.v34 ? 1 : 0;
}

int32_t UsableCount(int32_t count) {
    return count >= 0 && count <= kMaxDestinations ? count : 0;
}

AddResult AddDestination(BYTE* array, int32_t* count, const Destination& d) {
    const int32_t n = UsableCount(*count);
    if (n >= kMaxDestinations) return AddResult::Full;
    // The number as it will be stored (cut to the field).
    const WString number = d.number.substr(0, destination::kTextUnits - 1);
    for (int32_t i = 0; i < n; ++i)
        if (ReadDestination(array, i).number == number) return AddResult::Duplicate;
    WriteDestination(array, n, d);
    *count = n + 1;
    return AddResult::Added;
}

void DeleteDestinations(BYTE* array, int32_t* count, std::vector<int32_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    int32_t n = UsableCount(*count);
    int32_t removed = 0;
    for (int32_t original : indices) {
        const int32_t at = original - removed;
        if (original < 0 || at >= n) continue;
        std::memmove(Entry(array, at), Entry(array, at + 1), static_cast<size_t>(n - at - 1) * kDestinationSize);
        std::memset(Entry(array, n - 1), 0, kDestinationSize);
        --n;
        ++removed;
    }
    *count = n;
}

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

Date SendDate(Date today, int nowHour, int nowMinute, int hour, int minute) {
    const bool later = hour > nowHour || (hour == nowHour && minute > nowMinute);
    if (later) return today;
    Date d = today;
    if (++d.day > DaysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

}  // namespace nvx::fax
