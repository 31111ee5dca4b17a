// The user settings record: its place in OEMDEV, the per-user store, and the
// passwords in it (enciphered before they are stored, refused whole when they
// do not fit, never kept in clear).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/le.h"
#include "device/auth_apply.h"
#include "device/user_settings.h"
#include "features/feature_settings.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "model/stores.h"
#include "settings/devoption.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::device;
using Bytes = std::vector<BYTE>;

const PasswordCipher kAes({CipherMode::Aes, 3, 57, std::nullopt});
const PasswordCipher kNone({CipherMode::None, 0, 0, std::nullopt});

bool Holds(const BYTE* p, size_t n, const std::string& text) {
    return std::search(p, p + n, text.begin(), text.end()) != p + n;
}

// Each field of the record filled with its own byte lands at its own place in OEMDEV.
TEST(UserSettingsRecord, EveryFieldTravelsToItsPlaceInOemdevAndBack) {
    struct Place {
        size_t rec, dev, width;
        bool type1Skips;
    };
    const Place places[] = {
        {0, 7552, 1, false},     {2, 7554, 162, false},   {164, 7716, 162, false}, {326, 7878, 2, false},
        {328, 7880, 26, false},  {354, 7906, 162, false}, {516, 8068, 2, false},   {518, 1362, 2, false},
        {520, 770, 34, true},    {554, 804, 162, false},  {716, 966, 2, false},    {718, 3392, 146, false},
        {864, 3538, 2, false},   {866, 635, 1, false},    {868, 968, 62, true},    {930, 1030, 34, true},
        {964, 8076, 1, false},   {965, 8075, 1, false},   {968, 8080, 4, false},   {972, 8084, 37, false},
    };
    for (bool type1 : {false, true}) {
        UserSettingsRecord rec;
        std::memset(&rec, 0, sizeof rec);
        auto* bytes = reinterpret_cast<BYTE*>(&rec);
        for (size_t i = 0; i < std::size(places); ++i)
            std::memset(bytes + places[i].rec, int(0x10 + i), places[i].width);
        // Lengths within their fields; texts end in their last unit.
        rec.userPassLength = rec.departmentPassLength = rec.securePrintPassLength = 100;
        rec.copyPassLength = 146;
        rec.userName[80] = rec.departmentName[12] = rec.securePrintId[16] = rec.boxFileName[30] = rec.boxNumber[16] = 0;
        auto dev = std::make_unique<OEMDEV>();
        std::memset(dev.get(), 0xEE, sizeof *dev);
        CopyToOemdev(rec, type1, dev.get());
        UserSettingsRecord back;
        std::memset(&back, 0, sizeof back);
        CopyFromOemdev(*dev, type1, &back);
        for (const Place& p : places) {
            if (type1 && p.type1Skips) {
                EXPECT_EQ(0xEE, dev->bytes[p.dev]) << "offset " << p.dev << " is left alone with _DLG_USRSET_TYPE1";
                continue;
            }
            EXPECT_EQ(0, std::memcmp(dev->bytes + p.dev, reinterpret_cast<const BYTE*>(&rec) + p.rec, p.width))
                << "record " << p.rec << " -> OEMDEV " << p.dev;
            EXPECT_EQ(0, std::memcmp(reinterpret_cast<const BYTE*>(&back) + p.rec,
                                     reinterpret_cast<const BYTE*>(&rec) + p.rec, p.width));
        }
        EXPECT_EQ(0xEE, dev->bytes[7553]) << "the byte after the user type is not the record's";
        EXPECT_EQ(0xEE, dev->bytes[8121]) << "nothing past the middle server data";
    }
}

TEST(UserSettingsRecord, LengthsLargerThanTheirFieldsAreNoPassword) {
    auto dev = std::make_unique<OEMDEV>();
    std::memset(dev.get(), 0, sizeof *dev);
    std::memset(dev->bytes + 7716, 'p', 162);
    nvx::PutLE16(dev->bytes + 7878, 163);
    nvx::PutLE16(dev->bytes + 3538, 147);
    nvx::PutLE16(dev->bytes + 966, 162);  // exactly the field: kept
    UserSettingsRecord rec{};
    CopyFromOemdev(*dev, false, &rec);
    EXPECT_EQ(0, rec.userPassLength);
    EXPECT_EQ(Bytes(162, 0), Bytes(rec.userPass, rec.userPass + 162));
    EXPECT_EQ(0, rec.copyPassLength);
    EXPECT_EQ(162, rec.securePrintPassLength);
    EXPECT_EQ(std::nullopt, ReadPassword(kAes, {rec.userPass, 162}, 163));
}

TEST(Passwords, EmptyAtTheLimitOnePastAndForeignText) {
    UserSettingsRecord rec{};
    // Empty: AES still gives one block; the "none" mode gives length 0.
    EXPECT_EQ(PasswordResult::Stored, SetPassword(kAes, WL(""), PasswordField::User, &rec));
    EXPECT_EQ(16, rec.userPassLength);
    EXPECT_EQ(ReadPassword(kAes, rec.userPass, rec.userPassLength), "");
    EXPECT_EQ(PasswordResult::Stored, SetPassword(kNone, WL(""), PasswordField::User, &rec));
    EXPECT_EQ(0, rec.userPassLength);
    // 64 characters: stored whole (80 enciphered bytes); 65: refused, the field unchanged.
    const nvx::WString at64(64, u'x');
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, at64, PasswordField::User, &rec));
    EXPECT_EQ(80, rec.userPassLength);
    EXPECT_EQ(ReadPassword(kAes, rec.userPass, rec.userPassLength), std::string(64, 'x'));
    const Bytes before(rec.userPass, rec.userPass + 162);
    EXPECT_EQ(PasswordResult::TooLong, SetPassword(kAes, nvx::WString(65, u'x'), PasswordField::User, &rec));
    EXPECT_EQ(before, Bytes(rec.userPass, rec.userPass + 162));
    EXPECT_EQ(80, rec.userPassLength);
    // Secure print takes 145 characters (160 enciphered bytes in a 162-byte field).
    EXPECT_EQ(PasswordResult::Stored, SetPassword(kAes, nvx::WString(145, u'y'), PasswordField::SecurePrint, &rec));
    EXPECT_EQ(160, rec.securePrintPassLength);
    EXPECT_EQ(PasswordResult::TooLong, SetPassword(kAes, nvx::WString(146, u'y'), PasswordField::SecurePrint, &rec));
    // Western European text is code page 1252; Greek or Japanese is refused, never mangled.
    EXPECT_EQ(PasswordResult::Stored, SetPassword(kAes, WL("Gr\u00fc\u00dfe\u20ac"), PasswordField::Department, &rec));
    EXPECT_EQ(ReadPassword(kAes, rec.departmentPass, rec.departmentPassLength), "Gr\xfc\xdf" "e\x80");
    const Bytes dept(rec.departmentPass, rec.departmentPass + 162);
    EXPECT_EQ(PasswordResult::NotCodePage1252, SetPassword(kAes, WL("\u03b1\u03b2"), PasswordField::Department, &rec));
    EXPECT_EQ(PasswordResult::NotCodePage1252, SetPassword(kAes, WL("pass\u65e5"), PasswordField::Department, &rec));
    EXPECT_EQ(PasswordResult::NotCodePage1252, SetPassword(kAes, WL("\U0001F600"), PasswordField::Department, &rec));
    // A NUL inside would cut the password silently: refused.
    EXPECT_EQ(PasswordResult::NulInside,
              SetPassword(kAes, nvx::WStringView(WL("ab\0cd"), 5), PasswordField::Department, &rec));
    EXPECT_EQ(dept, Bytes(rec.departmentPass, rec.departmentPass + 162));
}

TEST(Passwords, ACipherFailureLeavesLengthZero) {
    // DES takes 72 bytes, but the copy password field only fits them; a 64-character
    // DES text fits, the cipher refuses 65 (TooLong comes first at 144 characters).
    const PasswordCipher des({CipherMode::Des, 0, 0, std::nullopt});
    UserSettingsRecord rec{};
    ASSERT_EQ(PasswordResult::Stored, SetPassword(des, WL("copy"), PasswordField::Copy, &rec));
    EXPECT_EQ(72, rec.copyPassLength);
    EXPECT_EQ(PasswordResult::CipherFailed, SetPassword(des, nvx::WString(65, u'c'), PasswordField::Copy, &rec));
    EXPECT_EQ(0, rec.copyPassLength);
    EXPECT_EQ(Bytes(146, 0), Bytes(rec.copyPass, rec.copyPass + 146));
    EXPECT_EQ(PasswordResult::TooLong, SetPassword(des, nvx::WString(144, u'c'), PasswordField::Copy, &rec));
}

TEST(Passwords, AnAesCopyPasswordTakes143Characters) {
    // 144 enciphered bytes in the field's 146.
    UserSettingsRecord rec{};
    EXPECT_EQ(PasswordResult::Stored, SetPassword(kAes, nvx::WString(143, u'c'), PasswordField::Copy, &rec));
    EXPECT_EQ(144, rec.copyPassLength);
}

class UserStore : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Auth Fax"));
        ASSERT_NE(nullptr, printer_);
        dev_ = std::make_unique<OEMDEV>();
        std::memset(dev_.get(), 0, sizeof *dev_);
    }
    void TearDown() override {
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    Bytes Raw(const WCHAR* subkey, const WCHAR* name) const {
        nvx::model::RegKey key;
        Bytes data;
        if (nvx::model::OpenUserKey(printer_, &key, subkey) == ERROR_SUCCESS)
            nvx::model::ValueStore::OfKey(key.get()).ReadAll(name, &data);
        return data;
    }
    HANDLE printer_ = nullptr;
    std::unique_ptr<OEMDEV> dev_;
};

TEST_F(UserStore, SavedPasswordsAreTheEncipheredBytesAndLoadBack) {
    UserSettingsRecord rec{};
    rec.userType = 2;
    std::memcpy(rec.userName, WL("alice"), 12);
    std::memcpy(rec.departmentName, WL("1234"), 10);
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WL("Sesame-9"), PasswordField::User, &rec));
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WL("4711"), PasswordField::Department, &rec));
    ASSERT_EQ(PasswordResult::Stored, SetPassword(kAes, WL("0042"), PasswordField::SecurePrint, &rec));
    rec.outputMethod = 3;
    CopyToOemdev(rec, false, dev_.get());
    ASSERT_TRUE(SaveUserSettings(printer_, false, *dev_));

    const Bytes userPass = Raw(WL("Authentication"), WL("UserPass"));
    EXPECT_EQ(Bytes(rec.userPass, rec.userPass + 16), userPass);  // the value's size is the length
    EXPECT_FALSE(Holds(userPass.data(), userPass.size(), "Sesame-9"));
    EXPECT_FALSE(Holds(Raw(WL("AccountTrack"), WL("DepartmentPass")).data(), 16, "4711"));
    EXPECT_EQ(Bytes{3}, Raw(WL("OutputMethod"), WL("OutputMethodValue")));

    auto loaded = std::make_unique<OEMDEV>();
    std::memset(loaded.get(), 0, sizeof *loaded);
    EXPECT_TRUE(LoadUserSettings(printer_, false, loaded.get()));
    UserSettingsRecord back{};
    CopyFromOemdev(*loaded, false, &back);
    EXPECT_EQ(2, back.userType);
    EXPECT_EQ(nvx::WString(WL("alice")), nvx::WString(back.userName));
    EXPECT_EQ(ReadPassword(kAes, back.userPass, back.userPassLength), "Sesame-9");
    EXPECT_EQ(ReadPassword(kAes, back.departmentPass, back.departmentPassLength), "4711");
    EXPECT_EQ(ReadPassword(kAes, back.securePrintPass, back.securePrintPassLength), "0042");
    EXPECT_EQ(3, back.outputMethod);
}

TEST_F(UserStore, UnreadableOrOversizedValuesLeaveTheFieldAndReportFailure) {
    // Nothing stored yet: every field keeps what OEMDEV held; the load reports failure.
    nvx::PutLE16(dev_->bytes + 7878, 16);
    std::memset(dev_->bytes + 7716, 0x5A, 16);
    EXPECT_FALSE(LoadUserSettings(printer_, false, dev_.get()));
    EXPECT_EQ(16, nvx::GetLE16(dev_->bytes + 7878));
    EXPECT_EQ(0x5A, dev_->bytes[7716]);
    // A stored password larger than its field and a user name longer than 80
    // characters are refused whole, never cut.
    ASSERT_TRUE(SaveUserSettings(printer_, false, *dev_));
    nvx::model::RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &key, WL("Authentication")));
    const auto store = nvx::model::ValueStore::OfKey(key.get());
    Bytes big(163, 0x77);
    ASSERT_EQ(ERROR_SUCCESS, store.Write(WL("UserPass"), REG_BINARY, big.data(), 163));
    const nvx::WString longName(81, u'n');
    ASSERT_EQ(ERROR_SUCCESS, store.Write(WL("UserName"), REG_SZ, longName.c_str(), 82 * 2));
    EXPECT_FALSE(LoadUserSettings(printer_, false, dev_.get()));
    EXPECT_EQ(16, nvx::GetLE16(dev_->bytes + 7878));
    EXPECT_EQ(0x5A, dev_->bytes[7716]);
    EXPECT_EQ(0, nvx::GetLE16(dev_->bytes + 7554));
}

TEST_F(UserStore, TheInitialPagesDepartmentPasswordGoesInEnciphered) {
    ASSERT_EQ(PasswordResult::Stored, SetDepartmentPassword(kAes, WL("1234"), dev_.get()));
    EXPECT_EQ(16, nvx::GetLE16(dev_->bytes + 8068));
    EXPECT_FALSE(Holds(dev_->bytes, sizeof dev_->bytes, "1234"));
    ASSERT_TRUE(SaveUserSettings(printer_, false, *dev_));
    const Bytes stored = Raw(WL("AccountTrack"), WL("DepartmentPass"));
    EXPECT_EQ(16u, stored.size());
    EXPECT_FALSE(Holds(stored.data(), stored.size(), "1234"));
    EXPECT_EQ(ReadPassword(kAes, stored, stored.size()), "1234");
}

TEST_F(UserStore, WithTheType1DialogSavingKeepsTheStoredIdAndBoxFields) {
    UserSettingsRecord rec{};
    std::memcpy(rec.securePrintId, WL("7788"), 10);
    std::memcpy(rec.boxFileName, WL("minutes"), 16);
    std::memcpy(rec.boxNumber, WL("12"), 6);
    CopyToOemdev(rec, false, dev_.get());
    ASSERT_TRUE(SaveUserSettings(printer_, false, *dev_));
    // OEMDEV of the type-1 dialog holds no ID and no box fields: what is stored stays.
    auto other = std::make_unique<OEMDEV>();
    std::memset(other.get(), 0, sizeof *other);
    ASSERT_TRUE(SaveUserSettings(printer_, true, *other));
    auto text = [](const Bytes& b) { return nvx::WString(reinterpret_cast<const WCHAR*>(b.data()), b.size() / 2); };
    EXPECT_EQ(nvx::WString(WL("7788"), 5), text(Raw(WL("SecurePrint"), WL("ID"))));
    EXPECT_EQ(nvx::WString(WL("minutes"), 8), text(Raw(WL("BoxFileName"), WL("BoxFileNameValue"))));
    EXPECT_EQ(nvx::WString(WL("12"), 3), text(Raw(WL("BoxNumber"), WL("BoxNumberValue"))));
}

TEST_F(UserStore, AFailedModelCheckStartsUserTypeAndMiddleServerModeAt1) {
    dev_->bytes[7552] = 2;  // user type
    dev_->bytes[8076] = 3;  // middle server mode
    EXPECT_FALSE(LoadUserSettings(printer_, false, dev_.get(), true));  // nothing stored yet
    EXPECT_EQ(2, dev_->bytes[7552]);
    EXPECT_EQ(3, dev_->bytes[8076]);
    EXPECT_FALSE(LoadUserSettings(printer_, false, dev_.get(), false));
    EXPECT_EQ(1, dev_->bytes[7552]);
    EXPECT_EQ(1, dev_->bytes[8076]);
    // A stored user type still wins over the start value.
    dev_->bytes[7552] = 2;
    ASSERT_TRUE(SaveUserSettings(printer_, false, *dev_));
    dev_->bytes[7552] = 0;
    LoadUserSettings(printer_, false, dev_.get(), false);
    EXPECT_EQ(2, dev_->bytes[7552]);
}

}  // namespace

namespace {

// A device-option table of the given keys, row n at slot n.
struct Table {
    nvx::features::DeviceOptionTable t;
    explicit Table(std::initializer_list<const char*> keys) {
        t.rows = new nvx::features::DeviceOptionRow[keys.size() + 1]();
        for (const char* key : keys) {
            nvx::features::DeviceOptionRow& row = t.rows[t.count];
            row.size = sizeof row;
            std::strncpy(row.key, key, sizeof row.key - 1);
            row.index = t.count++;
        }
    }
};

struct NoPasswordRule : ::testing::Test {
    nvx::features::ModelRecord model;
    Table table{"OpMemory", "OpHDD", "OpSimpleAuth"};
    std::vector<BYTE> devOption = std::vector<BYTE>(nvx::settings::kDevOptionSize, 0);
    void SetUp() override { Allow(true); }
    void Allow(bool on) {
        nvx::features::FeatureSettingRecord r{};
        std::strcpy(r.name, "UserAuthentic_NoPassWord");
        std::strcpy(r.value, on ? "Enable" : "Disable");
        model.switches.Apply({r}, false);
    }
    // The option's slot: u16 at byte 2 * row, little-endian.
    void Slot(uint16_t v) {
        devOption[4] = static_cast<BYTE>(v);
        devOption[5] = static_cast<BYTE>(v >> 8);
    }
    bool Asked() const { return !nvx::device::NoPasswordAsked(&model, &table.t, devOption.data()); }
};

TEST_F(NoPasswordRule, ModelSwitchAndDeviceOptionSlotTogether) {
    // The device authenticates without a password: its slot is 1 (or any non-zero value).
    Slot(1);
    EXPECT_FALSE(Asked());
    Slot(0x0100);  // the high byte alone counts: the slot is 16 bits wide
    EXPECT_FALSE(Asked());
    Slot(0);
    EXPECT_TRUE(Asked());
    // The model does not allow it: asked whatever the device says.
    Slot(1);
    Allow(false);
    EXPECT_TRUE(Asked());
}

TEST_F(NoPasswordRule, OnlyTheOptionsOwnSlotIsRead) {
    // The neighbouring slots and the passphrase fields do not count.
    devOption[2] = devOption[3] = devOption[6] = devOption[7] = 0xFF;
    devOption[nvx::settings::devoption::kPassphraseStored] = 1;
    EXPECT_TRUE(Asked());
    // The option at another row is read at that row's slot.
    Table moved{"OpSimpleAuth"};
    EXPECT_FALSE(nvx::device::NoPasswordAsked(&model, &moved.t, devOption.data()));  // slot 0 holds 0xFF, 0xFF
    devOption[0] = devOption[1] = 0;
    EXPECT_FALSE(nvx::device::NoPasswordAsked(&model, &moved.t, devOption.data()));
}

TEST_F(NoPasswordRule, WithoutModelTableOptionOrRecordAPasswordIsAsked) {
    Slot(1);
    EXPECT_FALSE(nvx::device::NoPasswordAsked(nullptr, &table.t, devOption.data()));
    EXPECT_FALSE(nvx::device::NoPasswordAsked(&model, nullptr, devOption.data()));
    EXPECT_FALSE(nvx::device::NoPasswordAsked(&model, &table.t, nullptr));
    Table without{"OpMemory", "OpHDD", "OpDuplex"};
    EXPECT_FALSE(nvx::device::NoPasswordAsked(&model, &without.t, devOption.data()));
}

}  // namespace
