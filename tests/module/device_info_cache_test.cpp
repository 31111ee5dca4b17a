// The device information cache in the per-user store: what reads as "no data",
// and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "device/device_info_cache.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::device;
using namespace nvx::device::info;
using nvx::model::RegKey;
using nvx::model::ValueStore;

// A cipher that really changes the bytes, and can be told to refuse.
class XorCipher final : public BinaryCipher {
public:
    bool refuseEncipher = false;
    bool refuseDecipher = false;
    CipherMode Mode() const override { return CipherMode::Aes; }
    bool Encipher(std::span<const BYTE> plain, std::vector<BYTE>* out) const override {
        if (refuseEncipher) return false;
        out->assign(plain.begin(), plain.end());
        for (BYTE& b : *out) b ^= 0xA5;
        return true;
    }
    bool Decipher(std::span<const BYTE> stored, std::vector<BYTE>* out) const override {
        if (refuseDecipher) return false;
        out->assign(stored.begin(), stored.end());
        for (BYTE& b : *out) b ^= 0xA5;
        return true;
    }
};

std::vector<std::string> Stamps(const std::string& generation) {
    std::vector<std::string> stamps;
    for (int i = 0; i < 6; ++i) stamps.push_back(generation + "/" + std::to_string(i));
    return stamps;
}

std::vector<BYTE> DataFor(Value value, BYTE fill) {
    const ValueDef& def = DefOf(value);
    if (def.size) return std::vector<BYTE>(def.size, fill);
    std::vector<BYTE> abbr(4 + 2 * kAbbrEntrySize, fill);
    nvx::PutLE32(abbr.data(), 2);
    return abbr;
}

class DeviceInfoCacheTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Cache Fax"));
        ASSERT_NE(nullptr, printer_);
        ASSERT_EQ(ERROR_SUCCESS, OpenDeviceInfoKey(printer_, &key_, true));
    }
    void TearDown() override {
        key_.Close();
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    DeviceInfoCache Cache(const BinaryCipher& cipher = NoneCipher()) const {
        return DeviceInfoCache(ValueStore::OfKey(key_.get()), cipher);
    }
    std::vector<BYTE> Raw(const WCHAR* name) const {
        std::vector<BYTE> bytes;
        ValueStore::OfKey(key_.get()).ReadAll(name, &bytes);
        return bytes;
    }

    HANDLE printer_ = nullptr;
    RegKey key_;
};

TEST_F(DeviceInfoCacheTest, TheKeyIsTheDeviceInfoSubkeyOfThePrintersUserKey) {
    WCHAR path[nvx::model::kUserKeyPathChars];
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::UserKeyPathOf(printer_, path, kDeviceInfoSubkey));
    std::string text = nvx::Utf8FromW(path);
    EXPECT_EQ("\\Cache Fax\\DeviceInfo", text.substr(text.size() - 21));
    RegKey again;
    EXPECT_EQ(ERROR_SUCCESS, OpenDeviceInfoKey(printer_, &again, false));
}

TEST_F(DeviceInfoCacheTest, EveryValueRoundTripsWithItsSizeAndRenewalCopy) {
    XorCipher cipher;
    DeviceInfoCache cache = Cache(cipher);
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 100)));
    for (const ValueDef& def : AllValues()) {
        std::vector<BYTE> data = DataFor(def.value, 0x42);
        ASSERT_TRUE(cache.Write(def.value, data)) << nvx::Utf8FromW(def.name);
        auto back = cache.Read(def.value);
        ASSERT_TRUE(back) << nvx::Utf8FromW(def.name);
        EXPECT_EQ(data, *back);
        std::vector<BYTE> raw = Raw(def.name);
        ASSERT_EQ(data.size() + 4 + 6 * 324, raw.size());
        // Enciphered values are stored through the cipher, the others as they are.
        EXPECT_EQ(def.enciphered ? BYTE(0x42 ^ 0xA5) : BYTE(0x42), raw[4]) << nvx::Utf8FromW(def.name);
    }
}

TEST_F(DeviceInfoCacheTest, WithoutRenewalInfoNothingReadsAndNothingIsWritten) {
    DeviceInfoCache cache = Cache();
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 1)));
    ASSERT_TRUE(cache.Write(Value::Configuration, DataFor(Value::Configuration, 1)));
    ASSERT_EQ(ERROR_SUCCESS, ValueStore::OfKey(key_.get()).Remove(kRenewalInfoName));
    EXPECT_FALSE(cache.Read(Value::Configuration));
    EXPECT_FALSE(cache.Write(Value::TintBlock, DataFor(Value::TintBlock, 1)));
    EXPECT_TRUE(Raw(WL("TintBlock")).empty());
    // A damaged "RenewalInfo" counts as none.
    BYTE damaged[10] = {1};
    ValueStore::OfKey(key_.get()).Write(kRenewalInfoName, REG_BINARY, damaged, sizeof damaged);
    EXPECT_FALSE(cache.Read(Value::Configuration));
}

TEST_F(DeviceInfoCacheTest, AValueWrittenBeforeTheStampsChangedIsIgnored) {
    DeviceInfoCache cache = Cache();
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 1)));
    ASSERT_TRUE(cache.Write(Value::EncryptionSetting, DataFor(Value::EncryptionSetting, 1)));  // slot 3
    ASSERT_TRUE(cache.Write(Value::TintBlock, DataFor(Value::TintBlock, 1)));                  // slot 4
    ASSERT_TRUE(cache.Write(Value::AuthCapability, DataFor(Value::AuthCapability, 1)));        // slots 3, 4
    std::vector<std::string> stamps = Stamps("g1");
    stamps[4] = "g2/4";
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(stamps, 2)));
    EXPECT_TRUE(cache.Read(Value::EncryptionSetting));
    EXPECT_FALSE(cache.Read(Value::TintBlock));
    EXPECT_FALSE(cache.Read(Value::AuthCapability));
    EXPECT_EQ(DeviceInfoCache::State::Stale, cache.Describe(Value::TintBlock).state);
    // Rewritten under the new stamps, it reads again.
    ASSERT_TRUE(cache.Write(Value::TintBlock, DataFor(Value::TintBlock, 2)));
    EXPECT_EQ(DataFor(Value::TintBlock, 2), *cache.Read(Value::TintBlock));
}

TEST_F(DeviceInfoCacheTest, MissingShortWrongTypeAndUndecipherableValuesReadAsNoData) {
    XorCipher cipher;
    DeviceInfoCache cache = Cache(cipher);
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 1)));
    EXPECT_FALSE(cache.Read(Value::Overlay));
    EXPECT_EQ(DeviceInfoCache::State::Missing, cache.Describe(Value::Overlay).state);

    ASSERT_TRUE(cache.Write(Value::Configuration, DataFor(Value::Configuration, 7)));
    std::vector<BYTE> raw = Raw(WL("Configuration"));
    raw.pop_back();
    ValueStore::OfKey(key_.get()).Write(WL("Configuration"), REG_BINARY, raw.data(), DWORD(raw.size()));
    EXPECT_FALSE(cache.Read(Value::Configuration));
    EXPECT_EQ(DeviceInfoCache::State::Unreadable, cache.Describe(Value::Configuration).state);

    uint32_t number = 5;
    ValueStore::OfKey(key_.get()).Write(WL("OpenAPIConf"), REG_DWORD, &number, 4);
    EXPECT_FALSE(cache.Read(Value::OpenApiConf));

    ASSERT_TRUE(cache.Write(Value::EncryptionInfo, DataFor(Value::EncryptionInfo, 3)));
    ASSERT_TRUE(cache.Write(Value::EncryptionSetting, DataFor(Value::EncryptionSetting, 3)));
    cipher.refuseDecipher = true;
    EXPECT_FALSE(cache.Read(Value::EncryptionInfo));
    EXPECT_TRUE(cache.Read(Value::EncryptionSetting));  // not enciphered
}

TEST_F(DeviceInfoCacheTest, AFailedWriteLeavesTheOldValue) {
    XorCipher cipher;
    DeviceInfoCache cache = Cache(cipher);
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 1)));
    const std::vector<BYTE> old = DataFor(Value::HeaderFooter, 1);
    ASSERT_TRUE(cache.Write(Value::HeaderFooter, old));

    // The data of another size.
    EXPECT_FALSE(cache.Write(Value::HeaderFooter, std::vector<BYTE>(100, 2)));
    EXPECT_EQ(old, *cache.Read(Value::HeaderFooter));
    // A cipher that refuses.
    cipher.refuseEncipher = true;
    EXPECT_FALSE(cache.Write(Value::HeaderFooter, DataFor(Value::HeaderFooter, 2)));
    cipher.refuseEncipher = false;
    EXPECT_EQ(old, *cache.Read(Value::HeaderFooter));
    // A store that refuses: the key open for reading only.
    RegKey readOnly;
    WCHAR path[nvx::model::kUserKeyPathChars];
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::UserKeyPathOf(printer_, path, kDeviceInfoSubkey));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, readOnly.Out()));
    DeviceInfoCache refusing(ValueStore::OfKey(readOnly.get()), cipher);
    EXPECT_FALSE(refusing.Write(Value::HeaderFooter, DataFor(Value::HeaderFooter, 2)));
    EXPECT_FALSE(refusing.WriteRenewal(MakeRenewalInfo(Stamps("g2"), 2)));
    EXPECT_EQ(old, *cache.Read(Value::HeaderFooter));
    // An empty or oversized renewal record set is not written.
    EXPECT_FALSE(cache.WriteRenewal(RenewalInfo{}));
    EXPECT_TRUE(cache.Read(Value::HeaderFooter));
}

// A value kept under the stamps it was taken with (the document event's
// configuration summary): written without "RenewalInfo", read only while the
// stored "RenewalInfo" agrees for the value's slots.
TEST_F(DeviceInfoCacheTest, AValueKeptUnderItsOwnStampsReadsOnlyWhileTheyAreCurrent) {
    XorCipher cipher;
    DeviceInfoCache cache = Cache(cipher);
    const std::vector<BYTE> summary = DataFor(Value::OpenApiConf, 5);
    ASSERT_TRUE(cache.WriteTaken(Value::OpenApiConf, summary, MakeRenewalInfo(Stamps("g1"), 7)));
    EXPECT_TRUE(Raw(kRenewalInfoName).empty()) << "the stored renewal records are not made up";
    EXPECT_FALSE(cache.Read(Value::OpenApiConf));  // no "RenewalInfo": nothing reads
    EXPECT_EQ(DeviceInfoCache::State::Stale, cache.Describe(Value::OpenApiConf).state);
    EXPECT_EQ(7u, cache.Describe(Value::OpenApiConf).takenAt);
    // A full fetch of the same device (other times, same stamps): current.
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 9)));
    EXPECT_EQ(summary, *cache.Read(Value::OpenApiConf));
    // Kept again from a device set up anew: stale against the stored records, and
    // the stored "RenewalInfo" and other values are untouched.
    ASSERT_TRUE(cache.Write(Value::TintBlock, DataFor(Value::TintBlock, 1)));
    const std::vector<BYTE> renewal = Raw(kRenewalInfoName);
    ASSERT_TRUE(cache.WriteTaken(Value::OpenApiConf, DataFor(Value::OpenApiConf, 6), MakeRenewalInfo(Stamps("g2"), 10)));
    EXPECT_FALSE(cache.Read(Value::OpenApiConf));
    EXPECT_EQ(renewal, Raw(kRenewalInfoName));
    EXPECT_EQ(DataFor(Value::TintBlock, 1), *cache.Read(Value::TintBlock));
    // Only the summary's slot (1) counts: another slot moving leaves it current.
    ASSERT_TRUE(cache.WriteTaken(Value::OpenApiConf, summary, MakeRenewalInfo(Stamps("g1"), 11)));
    std::vector<std::string> stamps = Stamps("g1");
    stamps[4] = "g3/4";
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(stamps, 12)));
    EXPECT_EQ(summary, *cache.Read(Value::OpenApiConf));
    stamps[1] = "g3/1";
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(stamps, 13)));
    EXPECT_FALSE(cache.Read(Value::OpenApiConf));
}

TEST_F(DeviceInfoCacheTest, AKeptValueIsRefusedLikeAnyWriteAndLeavesTheOldOne) {
    XorCipher cipher;
    DeviceInfoCache cache = Cache(cipher);
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 1)));
    const std::vector<BYTE> old = DataFor(Value::Overlay, 1);  // an enciphered value
    ASSERT_TRUE(cache.WriteTaken(Value::Overlay, old, MakeRenewalInfo(Stamps("g1"), 2)));
    EXPECT_EQ(BYTE(0x01 ^ 0xA5), Raw(WL("Overlay"))[0]) << "through the cipher";
    EXPECT_EQ(old, *cache.Read(Value::Overlay));
    // No records, a torn record set, more than 20 records, the wrong size, a refusing cipher.
    RenewalInfo torn = MakeRenewalInfo(Stamps("g2"), 3);
    torn.records.pop_back();
    RenewalInfo many;
    many.count = kRenewalMaxSlots + 1;
    many.records.assign(size_t(many.count) * kRenewalRecordSize, 0);
    EXPECT_FALSE(cache.WriteTaken(Value::Overlay, DataFor(Value::Overlay, 2), RenewalInfo{}));
    EXPECT_FALSE(cache.WriteTaken(Value::Overlay, DataFor(Value::Overlay, 2), torn));
    EXPECT_FALSE(cache.WriteTaken(Value::Overlay, DataFor(Value::Overlay, 2), many));
    EXPECT_FALSE(cache.WriteTaken(Value::Overlay, std::vector<BYTE>(10, 2), MakeRenewalInfo(Stamps("g1"), 3)));
    cipher.refuseEncipher = true;
    EXPECT_FALSE(cache.WriteTaken(Value::Overlay, DataFor(Value::Overlay, 2), MakeRenewalInfo(Stamps("g1"), 3)));
    cipher.refuseEncipher = false;
    EXPECT_EQ(old, *cache.Read(Value::Overlay));
}

TEST_F(DeviceInfoCacheTest, DescribeTellsWhenTheValueWasTaken) {
    DeviceInfoCache cache = Cache();
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 1234)));
    ASSERT_TRUE(cache.Write(Value::AbbrConfiguration, DataFor(Value::AbbrConfiguration, 1)));
    ASSERT_TRUE(cache.WriteRenewal(MakeRenewalInfo(Stamps("g1"), 5678)));  // same stamps, later
    DeviceInfoCache::Entry entry = cache.Describe(Value::AbbrConfiguration);
    EXPECT_EQ(DeviceInfoCache::State::Current, entry.state);
    EXPECT_EQ(1234u, entry.takenAt);
    EXPECT_EQ(16u + 4 + 6 * 324, entry.storedBytes);
}

}  // namespace
