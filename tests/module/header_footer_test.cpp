// Device header/footer programs as the device information cache keeps them, the
// detail list of a program, the stamp date formats and start numbers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/le.h"
#include "device/oapi.h"
#include "stamps/header_footer.h"

namespace {

using namespace nvx::stamps;
namespace o = nvx::oapi;
using Bytes = std::vector<BYTE>;

void Put(Bytes& list, size_t entry, size_t at, const std::string& text) {
    std::memcpy(list.data() + o::kListHeaderSize + entry * o::kHeaderFooterEntrySize + at, text.data(), text.size());
}

// A device list of `count` entries (count value `claimed`), entry i named "P<i>".
Bytes DeviceList(size_t count, uint32_t claimed) {
    Bytes list(o::kListHeaderSize + count * o::kHeaderFooterEntrySize, 0);
    nvx::PutLE32(list.data(), claimed);
    for (size_t i = 0; i < count; ++i) {
        Put(list, i, o::kHfState, "On");
        std::string name(1, 'P');
        name += std::to_string(i + 1);
        Put(list, i, o::kHfName, name);
    }
    return list;
}

TEST(DeviceHeaderFooter, EntriesAreReadFieldByField) {
    Bytes list = DeviceList(3, 3);
    Put(list, 0, o::kHfDateFormat, "Date3");
    Put(list, 0, o::kHfTimeFormat, "Time2");
    Put(list, 0, o::kHfHeaderText, "CONFIDENTIAL \xc3\xa9");  // UTF-8 e-acute
    Put(list, 0, o::kHfFooterText, "Page footer");
    Put(list, 0, o::kHfHeaderItems + 1 * o::kHfItemSize, "On");  // date/time
    Put(list, 0, o::kHfFooterItems + 3 * o::kHfItemSize, "On");  // job number
    Put(list, 1, o::kHfState, "Off");
    Put(list, 2, o::kHfDateFormat, "Date6");  // out of range
    Put(list, 2, o::kHfTimeFormat, "Time");
    const std::vector<DeviceHeaderFooter> p = ParseDeviceHeaderFooters(list);
    ASSERT_EQ(3u, p.size());
    EXPECT_EQ(1, p[0].number);
    EXPECT_TRUE(p[0].inUse);
    EXPECT_EQ(WL("P1"), p[0].name);
    EXPECT_EQ(2, p[0].dateFormat);
    EXPECT_EQ(2, p[0].timeFormat);
    EXPECT_EQ(WL("CONFIDENTIAL \u00e9"), p[0].headerText);
    EXPECT_EQ((std::array<uint8_t, 4>{0, 1, 0, 0}), p[0].headerItems);
    EXPECT_EQ((std::array<uint8_t, 4>{0, 0, 0, 1}), p[0].footerItems);
    EXPECT_FALSE(p[1].inUse);
    EXPECT_EQ(0, p[2].dateFormat);
    EXPECT_EQ(0, p[2].timeFormat);
    ASSERT_EQ(2u, ProgramsInUse(p).size());
    EXPECT_EQ(3, ProgramsInUse(p)[1].number);
}

TEST(DeviceHeaderFooter, CountsAndTextsAreBounded) {
    // 25 claimed and present: the first 20.
    Bytes big(o::kListHeaderSize + 25 * o::kHeaderFooterEntrySize, 0);
    nvx::PutLE32(big.data(), 25);
    EXPECT_EQ(20u, ParseDeviceHeaderFooters(big).size());
    // A count past the bytes: only the whole entries there are.
    EXPECT_EQ(2u, ParseDeviceHeaderFooters(DeviceList(2, 0xFFFFFFFFu)).size());
    Bytes cut = DeviceList(2, 2);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(1u, ParseDeviceHeaderFooters(cut).size());
    EXPECT_TRUE(ParseDeviceHeaderFooters(Bytes(3, 0xFF)).empty());
    EXPECT_TRUE(ParseDeviceHeaderFooters({}).empty());
    // Texts filling their whole field (no NUL) end at the field and are cut to what the driver keeps.
    Bytes full = DeviceList(1, 1);
    std::memset(full.data() + o::kListHeaderSize + o::kHfName, 'N', o::kHfNameSize);
    std::memset(full.data() + o::kListHeaderSize + o::kHfHeaderText, 'H', o::kHfTextSize);
    const std::vector<DeviceHeaderFooter> p = ParseDeviceHeaderFooters(full);
    ASSERT_EQ(1u, p.size());
    EXPECT_EQ(nvx::WString(31, u'N'), p[0].name);
    EXPECT_EQ(nvx::WString(127, u'H'), p[0].headerText);
}

TEST(DeviceHeaderFooter, DetailCells) {
    const HeaderFooterTexts texts;
    // No device information: every cell unknown; no programs: empty cells.
    for (const DetailRow& r : DetailCells(std::nullopt, 1, texts)) {
        EXPECT_EQ(WL("Unknown"), r.header);
        EXPECT_EQ(WL("Unknown"), r.footer);
    }
    for (const DetailRow& r : DetailCells(std::vector<DeviceHeaderFooter>{}, 1, texts))
        EXPECT_TRUE(r.header.empty() && r.footer.empty());

    Bytes list = DeviceList(2, 2);
    Put(list, 0, o::kHfState, "Off");
    Put(list, 1, o::kHfHeaderText, "Top");
    Put(list, 1, o::kHfFooterText, "Bottom");
    Put(list, 1, o::kHfDateFormat, "Date1");
    Put(list, 1, o::kHfTimeFormat, "Time1");
    Put(list, 1, o::kHfFooterItems + 1 * o::kHfItemSize, "On");  // date/time in the footer
    Put(list, 1, o::kHfHeaderItems + 0 * o::kHfItemSize, "On");  // user name in the header
    Put(list, 1, o::kHfHeaderItems + 2 * o::kHfItemSize, "On");  // serial in the header
    const std::vector<DeviceHeaderFooter> programs = ParseDeviceHeaderFooters(list);
    auto rows = DetailCells(programs, 2, texts);
    EXPECT_EQ(WL("Top"), rows[0].header);
    EXPECT_EQ(WL("Bottom"), rows[0].footer);
    EXPECT_EQ(WL("OFF"), rows[1].header);
    EXPECT_EQ(WL("YY/MM/DD H:MI"), rows[1].footer);  // each display text without its last character
    EXPECT_EQ(WL("ON"), rows[2].header);              // serial number
    EXPECT_EQ(WL("OFF"), rows[3].header);             // job number
    EXPECT_EQ(WL("ON"), rows[4].header);              // user name
    // Program 1 is not in use: every cell off; an unknown number takes the first program.
    for (int32_t setting : {1, 7}) {
        rows = DetailCells(programs, setting, texts);
        for (const DetailRow& r : rows) EXPECT_EQ(WL("OFF"), r.header) << setting;
    }
}

TEST(StampTexts, DatesAndNumbers) {
    EXPECT_EQ(WL("04/03/2015"), FormatStampDate(7, false, WL(""), 2015, 3, 4));
    EXPECT_EQ(WL("03/04/2015"), FormatStampDate(4, false, WL(""), 2015, 3, 4));
    EXPECT_EQ(WL("2015-03-04"), FormatStampDate(0, false, WL(""), 2015, 3, 4));
    EXPECT_EQ(WL("2015.03.04"), FormatStampDate(2, false, WL(""), 2015, 3, 4));
    EXPECT_EQ(WL("04.03.2015"), FormatStampDate(8, false, WL(""), 2015, 3, 4));
    EXPECT_TRUE(FormatStampDate(9, false, WL(""), 2015, 3, 4).empty());
    EXPECT_TRUE(FormatStampDate(-1, false, WL(""), 2015, 3, 4).empty());
    EXPECT_EQ(WL("my date"), FormatStampDate(99, true, WL("my date"), 2015, 3, 4));

    EXPECT_EQ(WL("00000042"), FormatStartNumber(42, false));
    EXPECT_EQ(WL("42"), FormatStartNumber(42, true));
    EXPECT_EQ(WL("4294967295"), FormatStartNumber(0xFFFFFFFFu, false)) << "never negative";
    EXPECT_EQ(WL("123456789"), FormatStartNumber(123456789, false));
}

}  // namespace
