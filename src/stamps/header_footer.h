// Header/footer programs of the device and the stamp texts: the device's
// header/footer list as the device information cache keeps it ("HeaderFooter",
// 20 entries of 1000 bytes of UTF-8 texts behind a u32 count), the detail list
// of one program, the date formats of the copy-protect and date/time stamps, and
// start numbers.  No window code.
//
// The device list is outside data: the count is checked against the list's size
// and the 20 entries, every text is read only inside its field and cut to the
// characters the driver keeps.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

struct OEMDEV;

namespace nvx::stamps {

inline constexpr size_t kMaxDevicePrograms = 20;

// One header/footer program of the device, as the driver keeps it.
struct DeviceHeaderFooter {
    int32_t number = 0;        // its place in the device's list, from 1 ("nHFE_DevSetting")
    bool inUse = false;        // the device entry's state is "On"
    WString name;              // at most 31 characters
    uint16_t dateFormat = 0;   // 0 ... 4 from "Date1" ... "Date5"
    uint16_t timeFormat = 0;   // 0 none, 1 "Time1", 2 "Time2"
    WString headerText;        // at most 127 characters
    std::array<uint8_t, 4> headerItems{};  // user name, date/time, serial number, job number: 1 on
    WString footerText;
    std::array<uint8_t, 4> footerItems{};
};
enum HeaderFooterItem { kItemUserName = 0, kItemDateTime = 1, kItemSerial = 2, kItemJobNumber = 3 };

// The device's list: every entry of the count (at most 20, and only as many as the
// bytes hold), in order.  Entries whose state is not "On" are kept with inUse false.
std::vector<DeviceHeaderFooter> ParseDeviceHeaderFooters(std::span<const BYTE> list);
// The programs in use (what the header/footer combo lists).
std::vector<DeviceHeaderFooter> ProgramsInUse(const std::vector<DeviceHeaderFooter>& all);

// The list read from the printer's device information cache (deciphered with the
// printer's cipher); nothing when the cache holds no current list.
std::optional<std::vector<DeviceHeaderFooter>> CachedDeviceHeaderFooters(HANDLE printer);

// ---- Texts --------------------------------------------------------------------

// The display texts the detail list and the samples use.
struct HeaderFooterTexts {
    WString unknown = WL("Unknown"), on = WL("ON"), off = WL("OFF");
    // Device date formats 0 ... 4 and time formats 1, 2; the last character of each
    // is dropped in a sample (the display texts end in a separator).
    std::array<WString, 5> dateFormats = {WL("YY/MM/DD "), WL("M/DD/YYYY "), WL("MM/DD/YY "), WL("DD/M/YYYY "),
                                          WL("DD/MM/YY ")};
    std::array<WString, 2> timeFormats = {WL("H:MI "), WL("HH:MM ")};
};

// The sample of a program's date and time: the date text, a blank, the time text
// (each without its last character); without a time format the date text alone.
WString DateTimeSample(const DeviceHeaderFooter& program, const HeaderFooterTexts& texts);

// The detail list of a program: five rows (text, date/time, serial number, job
// number, user name), each with its header and footer cell.
struct DetailRow {
    WString header, footer;
};
inline constexpr size_t kDetailRows = 5;
// `programs` is nothing when the device information is not available: every cell
// "unknown".  No programs: empty cells.  Else the program numbered `devSetting` (the
// first when none is), every cell "off" when it is not in use.
std::array<DetailRow, kDetailRows> DetailCells(const std::optional<std::vector<DeviceHeaderFooter>>& programs,
                                               int32_t devSetting, const HeaderFooterTexts& texts);

// A date of the copy-protect and date/time stamps in format 0 ... 8 (ISO, slashes,
// dots; year first, month first, day first); a user-defined format shows its own
// text; other numbers give an empty text.
WString FormatStampDate(int format, bool userDefined, WStringView userText, int year, int month, int day);

// A start number: eight digits, zero-padded, while the digit flag is 0; as it is otherwise.
WString FormatStartNumber(uint32_t number, bool digitFlag);

}  // namespace nvx::stamps
