// The fax settings block, the destination array and the checks of the fax tab and
// dialogs, without any window.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "common/text.h"
#include "features/fax.h"
#include "settings/oemdev.h"
#include "settings/oemdev_fields.h"

using namespace nvx;
using namespace nvx::fax;

namespace {

WString W(const char* s) {
    return WFromAscii(s);
}

}  // namespace

// The block's fields, as the settings record's field table and the exchange keys
// know them, sit where the block puts them.
TEST(FaxSettingBlock, FieldsLieWhereTheRecordKeepsThem) {
    struct Row {
        const char* key;
        size_t offset;
        uint32_t size;
    } rows[] = {
        {"FaxSetting.fgPrtRecFile", setting::kPrtRecFile, 1},   {"FaxSetting.fgTimerSend", setting::kTimerSend, 1},
        {"FaxSetting.bySendHour", setting::kSendHour, 1},       {"FaxSetting.bySendMinute", setting::kSendMinute, 1},
        {"FaxSetting.fgSubAddress", setting::kSubAddressOn, 1}, {"FaxSetting.szSubAddress", setting::kSubAddress, 42},
        {"FaxSetting.fgSendID", setting::kSendIdOn, 1},         {"FaxSetting.szSendID", setting::kSendId, 42},
        {"FaxSetting.fgFaxCoverSheet", setting::kCoverSheet, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        const settings::FieldRef f = settings::FindExchangeKey(r.key);
        ASSERT_TRUE(f);
        EXPECT_EQ(kSettingOffset + r.offset, f.Offset());
        EXPECT_EQ(r.size, f.Size());
    }
    EXPECT_EQ(8122u + 94u, kSettingOffset + kSettingSize);
    EXPECT_LE(kSettingOffset + kSettingSize, sizeof(OEMDEV));
}

TEST(FaxSettingBlock, TextsStopAtTwentyCharactersAndNeverSpill) {
    OEMDEV record{};
    std::memset(record.bytes, 0xAB, sizeof record.bytes);
    BYTE* block = SettingIn(record.bytes);
    SetText(block, setting::kSubAddress, W("123456789012345678901"));  // 21: one past
    EXPECT_EQ(W("12345678901234567890"), Text(block, setting::kSubAddress));
    EXPECT_EQ(0, GetLE16(block + setting::kSubAddress + 40));  // the terminator
    EXPECT_EQ(0xAB, block[setting::kSendIdOn]);                 // the next field untouched
    SetText(block, setting::kSendId, W("*#0"));
    EXPECT_EQ(W("*#0"), Text(block, setting::kSendId));
    EXPECT_EQ(0, GetLE16(block + setting::kSendId + 40));       // the rest zeroed
    EXPECT_EQ(0xAB, block[setting::kCoverSheet]);
    // A stored field without its terminator reads as its 20 characters.
    for (size_t i = 0; i < setting::kTextUnits; ++i) PutLE16(block + setting::kSubAddress + i * 2, '7');
    EXPECT_EQ(WString(20, '7'), Text(block, setting::kSubAddress));
}

TEST(FaxChecks, TypingFiltersEachFieldAndKeepsTheCaretAfterTheText) {
    Filtered f = FilterTyped(W("12a3"), 4, IsFaxNumberChar);
    EXPECT_EQ(W("123"), f.text);
    EXPECT_EQ(3, f.caret);
    EXPECT_EQ(1, f.removed);
    EXPECT_EQ(W("PT-#*09"), FilterTyped(W("PT-#*09"), 7, IsFaxNumberChar).text);
    EXPECT_EQ(W("123"), FilterTyped(W("1#2*3"), 5, IsSubAddressChar).text);
    EXPECT_EQ(W("1#*"), FilterTyped(W("1#*P-"), 5, IsSendIdChar).text);
    // Control characters and a pasted NUL go; the caret never drops below 0.
    WString pasted = W("1\t2");
    pasted.insert(pasted.begin() + 1, WCHAR(0));
    Filtered p = FilterTyped(pasted, 1, IsSubAddressChar);
    EXPECT_EQ(W("12"), p.text);
    EXPECT_EQ(0, p.caret);
    EXPECT_EQ(W(""), FilterTyped(W("abc"), 3, IsFaxNumberChar).text);
}

TEST(FaxChecks, TimeFieldsReadSignedNumbersInsideTheirRange) {
    int v = -1;
    EXPECT_TRUE(ParseTimeField(W("0"), 23, &v));
    EXPECT_EQ(0, v);
    EXPECT_TRUE(ParseTimeField(W("23"), 23, &v));
    EXPECT_EQ(23, v);
    EXPECT_FALSE(ParseTimeField(W("24"), 23, &v));
    EXPECT_TRUE(ParseTimeField(W("59"), 59, &v));
    EXPECT_FALSE(ParseTimeField(W("60"), 59, &v));
    EXPECT_FALSE(ParseTimeField(W("-1"), 59, &v));
    EXPECT_FALSE(ParseTimeField(W(""), 59, &v));
    EXPECT_FALSE(ParseTimeField(W("1a"), 59, &v));
    EXPECT_FALSE(ParseTimeField(W("99999999999"), 59, &v));
}

TEST(FaxChecks, PageLeaveFindsTheFirstProblemInOrder) {
    Entered e;
    EXPECT_EQ(Problem::None, FirstProblem(e));  // nothing switched on: nothing checked
    e.timerOn = true;
    e.hour = W("25");
    e.minute = W("0");
    e.subAddressOn = true;
    e.sendIdOn = true;
    EXPECT_EQ(Problem::Time, FirstProblem(e));
    e.hour = W("7");
    EXPECT_EQ(Problem::SubAddress, FirstProblem(e));  // empty
    e.subAddress = W("12#");
    EXPECT_EQ(Problem::SubAddress, FirstProblem(e));  // not digits
    e.subAddress = W("12345678901234567890");
    EXPECT_EQ(Problem::SendId, FirstProblem(e));      // empty
    e.sendId = W("12P");
    EXPECT_EQ(Problem::SendId, FirstProblem(e));
    e.sendId = W("#12*");
    EXPECT_EQ(Problem::None, FirstProblem(e));
    EXPECT_EQ(1935, MessageOf(Problem::Time).focus);
    EXPECT_EQ(502u, MessageOf(Problem::Time).second);
    EXPECT_EQ(2u, MessageOf(Problem::Time).first);
    EXPECT_EQ(500u, MessageOf(Problem::SubAddress).second);
    EXPECT_EQ(3u, MessageOf(Problem::SendId).first);
    EXPECT_EQ(501u, MessageOf(Problem::SendId).second);
    EXPECT_EQ(1945, MessageOf(Problem::SendId).focus);
}

TEST(FaxChecks, TheShownTimeReadsAsTwoNumbersElseMidnight) {
    int h = -1, m = -1;
    ReadShownTime(W("09:05"), &h, &m);
    EXPECT_EQ(9, h);
    EXPECT_EQ(5, m);
    ReadShownTime(W("12"), &h, &m);
    EXPECT_EQ(0, h);
    EXPECT_EQ(0, m);
    ReadShownTime(W(""), &h, &m);
    EXPECT_EQ(0, h);
}

TEST(FaxDestinations, EntriesArePinnedAndCutToTheirFields) {
    std::vector<BYTE> array(kDestinationArrayBytes + 16, 0xCD);
    Destination d;
    d.name = WString(81, 'n');  // one past the 80 a name holds
    d.number = W("0123#*PT-");
    d.ecm = false;
    d.v34 = true;
    WriteDestination(array.data(), 99, d);  // the last entry
    const BYTE* e = array.data() + 99 * kDestinationSize;
    EXPECT_EQ(WString(80, 'n'), ReadDestination(array.data(), 99).name);
    EXPECT_EQ(0, GetLE16(e + destination::kName + 160));
    EXPECT_EQ('0', GetLE16(e + destination::kNumber));
    EXPECT_EQ(1, e[destination::kEcm]);  // V.34 on always means ECM on
    EXPECT_EQ(0, e[destination::kInternational]);
    EXPECT_EQ(1, e[destination::kV34]);
    EXPECT_EQ(0xCD, array[kDestinationArrayBytes]);  // nothing past the array
}

TEST(FaxDestinations, AddRefusesTheHundredAndFirstAndADuplicateNumber) {
    std::vector<BYTE> array(kDestinationArrayBytes);
    int32_t count = 0;
    Destination d;
    for (int i = 0; i < 100; ++i) {
        d.number = W(std::to_string(1000 + i).c_str());
        ASSERT_EQ(AddResult::Added, AddDestination(array.data(), &count, d));
    }
    EXPECT_EQ(100, count);
    const std::vector<BYTE> before = array;
    d.number = W("5555");
    EXPECT_EQ(AddResult::Full, AddDestination(array.data(), &count, d));
    EXPECT_EQ(100, count);
    EXPECT_EQ(before, array);

    count = 2;
    d.number = W("1001");
    d.name = W("other name");
    d.v34 = false;
    d.international = true;
    EXPECT_EQ(AddResult::Duplicate, AddDestination(array.data(), &count, d));
    EXPECT_EQ(2, count);
    // A count the host left broken counts as an empty list.
    count = -5;
    d.number = W("1");
    EXPECT_EQ(AddResult::Added, AddDestination(array.data(), &count, d));
    EXPECT_EQ(1, count);
}

TEST(FaxDestinations, DeletingRowsOneAndThreeOfFiveKeepsTheOthersInOrder) {
    std::vector<BYTE> array(kDestinationArrayBytes);
    int32_t count = 0;
    for (int i = 0; i < 5; ++i) {
        Destination d;
        d.number = W(std::to_string(i).c_str());
        AddDestination(array.data(), &count, d);
    }
    DeleteDestinations(array.data(), &count, {3, 1});
    ASSERT_EQ(3, count);
    EXPECT_EQ(W("0"), ReadDestination(array.data(), 0).number);
    EXPECT_EQ(W("2"), ReadDestination(array.data(), 1).number);
    EXPECT_EQ(W("4"), ReadDestination(array.data(), 2).number);
    EXPECT_EQ(W(""), ReadDestination(array.data(), 3).number);  // the freed entries are cleared
    DeleteDestinations(array.data(), &count, {7, -1});            // outside the list: nothing
    EXPECT_EQ(3, count);
}

TEST(FaxSendDate, ASetTimeNotLaterThanNowGoesOutTheNextDay) {
    auto same = [](Date a, Date b) { return a.year == b.year && a.month == b.month && a.day == b.day; };
    EXPECT_TRUE(same({2026, 5, 10}, SendDate({2026, 5, 10}, 9, 30, 9, 31)));
    EXPECT_TRUE(same({2026, 5, 11}, SendDate({2026, 5, 10}, 9, 30, 9, 30)));  // the same minute is past
    EXPECT_TRUE(same({2026, 5, 11}, SendDate({2026, 5, 10}, 9, 30, 8, 59)));
    EXPECT_TRUE(same({2027, 1, 1}, SendDate({2026, 12, 31}, 23, 59, 23, 59)));
    EXPECT_TRUE(same({2000, 2, 29}, SendDate({2000, 2, 28}, 12, 0, 1, 0)));
    EXPECT_TRUE(same({1900, 3, 1}, SendDate({1900, 2, 28}, 12, 0, 1, 0)));
    EXPECT_TRUE(same({2024, 2, 29}, SendDate({2024, 2, 28}, 12, 0, 1, 0)));
    EXPECT_TRUE(same({2026, 5, 1}, SendDate({2026, 4, 30}, 12, 0, 1, 0)));
}
