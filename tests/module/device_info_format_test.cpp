// The stored form of the device information cache: renewal records, the slot
// table, and values decoded from bytes that may be damaged.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "device/device_info_format.h"

namespace {

using namespace nvx::device::info;

std::vector<std::string> Stamps(size_t n, const std::string& base = "gen1") {
    std::vector<std::string> stamps;
    for (size_t i = 0; i < n; ++i) stamps.push_back(base + "/" + std::to_string(i));
    return stamps;
}

std::vector<BYTE> Data(size_t size, BYTE fill = 0x5A) { return std::vector<BYTE>(size, fill); }

std::vector<BYTE> AbbrData(uint32_t count) {
    std::vector<BYTE> data(4 + size_t(count) * kAbbrEntrySize, 0x11);
    nvx::PutLE32(data.data(), count);
    return data;
}

TEST(DeviceInfoFormatTest, SlotTableListsEachKindsSlots) {
    EXPECT_EQ((std::vector<uint32_t>{0, 1}), SlotsOfKind(0));
    EXPECT_EQ((std::vector<uint32_t>{3, 4}), SlotsOfKind(10));  // capability: slots 3 and 4
    EXPECT_EQ((std::vector<uint32_t>{3, 4}), SlotsOfKind(12));
    EXPECT_EQ((std::vector<uint32_t>{3}), SlotsOfKind(14));
    EXPECT_EQ((std::vector<uint32_t>{4}), SlotsOfKind(17));
    EXPECT_EQ((std::vector<uint32_t>{5}), SlotsOfKind(20));
    EXPECT_TRUE(SlotsOfKind(21).empty());
}

TEST(DeviceInfoFormatTest, ValueTableHoldsEveryValueWithItsSizeAndKind) {
    ASSERT_EQ(kValueCount, AllValues().size());
    struct Row {
        const char* name;
        size_t size;
        uint32_t kind;
        bool enciphered;
    } expected[] = {
        {"AuthCapability", 744, 10, false}, {"OpenAPIConf", 20, 5, false},      {"EncryptionSetting", 8, 13, false},
        {"Configuration", 344, 12, false},  {"EncryptionInfo", 64, 14, true},   {"HeaderFooter", 20004, 16, true},
        {"Overlay", 18404, 15, true},       {"TintBlock", 388, 17, true},       {"IccProfile", 5364, 18, true},
        {"AbbrConfiguration", 16, 19, true}, {"Abbr", 0, 20, true},
    };
    for (size_t i = 0; i < kValueCount; ++i) {
        const ValueDef& def = AllValues()[i];
        EXPECT_EQ(static_cast<size_t>(def.value), i);
        EXPECT_EQ(expected[i].name, nvx::Utf8FromW(def.name));
        EXPECT_EQ(expected[i].size, def.size) << expected[i].name;
        EXPECT_EQ(expected[i].kind, def.kind) << expected[i].name;
        EXPECT_EQ(expected[i].enciphered, def.enciphered) << expected[i].name;
    }
}

TEST(DeviceInfoFormatTest, RenewalInfoRoundTripsAndRefusesDamagedForms) {
    RenewalInfo info = MakeRenewalInfo(Stamps(6), 1700000000);
    std::vector<BYTE> stored = EncodeRenewalInfo(info);
    ASSERT_EQ(4u + 6 * 324, stored.size());
    EXPECT_EQ(6u, nvx::GetLE32(stored.data()));
    EXPECT_EQ(0, std::memcmp(stored.data() + 4 + 3 * 324 + 260, "gen1/3", 6));
    auto back = DecodeRenewalInfo(stored);
    ASSERT_TRUE(back);
    EXPECT_EQ(6u, back->count);
    EXPECT_EQ(info.records, back->records);
    EXPECT_EQ(1700000000u, back->TakenAt());

    std::vector<BYTE> shorter(stored.begin(), stored.end() - 1);
    EXPECT_FALSE(DecodeRenewalInfo(shorter));
    std::vector<BYTE> longer = stored;
    longer.push_back(0);
    EXPECT_FALSE(DecodeRenewalInfo(longer));
    std::vector<BYTE> countPastData = stored;
    nvx::PutLE32(countPastData.data(), 7);
    EXPECT_FALSE(DecodeRenewalInfo(countPastData));
    std::vector<BYTE> none(4, 0);
    EXPECT_FALSE(DecodeRenewalInfo(none));
    EXPECT_FALSE(DecodeRenewalInfo({}));
    // 21 records would pass the size check but not the slot limit.
    std::vector<BYTE> tooMany = EncodeRenewalInfo(MakeRenewalInfo(Stamps(20), 1));
    tooMany.resize(4 + 21 * 324);
    nvx::PutLE32(tooMany.data(), 21);
    EXPECT_FALSE(DecodeRenewalInfo(tooMany));
}

TEST(DeviceInfoFormatTest, StaleOnlyWhenAStampTheKindDependsOnDiffers) {
    RenewalInfo written = MakeRenewalInfo(Stamps(6), 1);
    std::vector<std::string> changed = Stamps(6);
    changed[4] = "gen2/4";
    RenewalInfo now = MakeRenewalInfo(changed, 2);  // a later time alone changes nothing
    EXPECT_TRUE(IsCurrent(13, written, now));   // slot 3 only
    EXPECT_FALSE(IsCurrent(17, written, now));  // slot 4
    EXPECT_FALSE(IsCurrent(10, written, now));  // slots 3 and 4
    EXPECT_TRUE(IsCurrent(19, written, now));
    EXPECT_TRUE(IsCurrent(10, written, MakeRenewalInfo(Stamps(6), 9)));
}

TEST(DeviceInfoFormatTest, ARenewalCountOfAnotherModelReadsOnlyTheSlotsBothHold) {
    RenewalInfo fewer = MakeRenewalInfo(Stamps(4), 1);   // slots 0 to 3
    RenewalInfo more = MakeRenewalInfo(Stamps(8), 1);    // a newer model: 8 slots
    EXPECT_TRUE(IsCurrent(13, fewer, more));   // slot 3 held by both
    EXPECT_FALSE(IsCurrent(10, fewer, more));  // slot 4 missing from the copy
    EXPECT_FALSE(IsCurrent(19, more, fewer));  // slot 5 missing from the current records
    EXPECT_FALSE(IsCurrent(10, more, RenewalInfo{}));
}

TEST(DeviceInfoFormatTest, ValuesRoundTripWithTheirRenewalCopy) {
    RenewalInfo now = MakeRenewalInfo(Stamps(6), 5);
    for (const ValueDef& def : AllValues()) {
        std::vector<BYTE> data = def.size ? Data(def.size) : AbbrData(3);
        auto plain = EncodeValue(def.value, data, now);
        ASSERT_TRUE(plain) << nvx::Utf8FromW(def.name);
        EXPECT_EQ(data.size() + 4 + 6 * 324, plain->size());
        auto back = DecodeValue(def.value, *plain);
        ASSERT_TRUE(back);
        EXPECT_EQ(data, back->data);
        EXPECT_EQ(now.records, back->renewal.records);
    }
}

TEST(DeviceInfoFormatTest, WrongSizesAndCountsPastTheirDataAreRefused) {
    RenewalInfo now = MakeRenewalInfo(Stamps(6), 5);
    EXPECT_FALSE(EncodeValue(Value::AuthCapability, Data(743), now));
    EXPECT_FALSE(EncodeValue(Value::AuthCapability, Data(808), now));
    std::vector<BYTE> abbr = AbbrData(2);
    nvx::PutLE32(abbr.data(), 3);  // count past the entries
    EXPECT_FALSE(EncodeValue(Value::Abbr, abbr, now));
    EXPECT_FALSE(EncodeValue(Value::Abbr, AbbrData(kAbbrMaxEntries + 1), now));
    EXPECT_FALSE(EncodeValue(Value::Abbr, Data(3), now));

    std::vector<BYTE> good = *EncodeValue(Value::Configuration, Data(344), now);
    EXPECT_FALSE(DecodeValue(Value::Configuration, std::vector<BYTE>(good.begin(), good.end() - 1)));
    std::vector<BYTE> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(DecodeValue(Value::Configuration, longer));
    std::vector<BYTE> countPast = good;
    nvx::PutLE32(countPast.data() + 344, 7);  // 7 records, 6 present
    EXPECT_FALSE(DecodeValue(Value::Configuration, countPast));
    nvx::PutLE32(countPast.data() + 344, 0xFFFFFFFFu);
    EXPECT_FALSE(DecodeValue(Value::Configuration, countPast));
    EXPECT_FALSE(DecodeValue(Value::Configuration, Data(100)));

    std::vector<BYTE> storedAbbr = *EncodeValue(Value::Abbr, AbbrData(2), now);
    nvx::PutLE32(storedAbbr.data(), 1000);  // entry count past the bytes present
    EXPECT_FALSE(DecodeValue(Value::Abbr, storedAbbr));
    nvx::PutLE32(storedAbbr.data(), 0xFFFFFFFFu);
    EXPECT_FALSE(DecodeValue(Value::Abbr, storedAbbr));
    EXPECT_FALSE(DecodeValue(Value::Abbr, Data(2)));
}

}  // namespace
