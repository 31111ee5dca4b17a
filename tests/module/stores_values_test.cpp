// Values in both stores: exact sizes, four-byte numbers, the default switches.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "common/text.h"
#include "model/stores.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::model;

class StoresValuesTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Values Fax"));
        ASSERT_NE(nullptr, printer_);
        ASSERT_EQ(ERROR_SUCCESS, CreateUserKey(printer_, &key_));
    }
    void TearDown() override {
        key_.Close();
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    // The two stores: printer data and the per-user key.
    std::vector<ValueStore> Stores() const {
        return {ValueStore::OfPrinter(printer_), ValueStore::OfKey(key_.get())};
    }
    DWORD SetPrinterValue(const WCHAR* name, DWORD type, const void* data, DWORD size) {
        return ValueStore::OfPrinter(printer_).Write(name, type, data, size);
    }
    DWORD SetUserValue(const WCHAR* name, DWORD type, const void* data, DWORD size) {
        return ValueStore::OfKey(key_.get()).Write(name, type, data, size);
    }

    HANDLE printer_ = nullptr;
    RegKey key_;
};

TEST_F(StoresValuesTest, FixedRecordsOnlyAtTheirExactSize) {
    std::vector<BYTE> record(6676);
    for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<BYTE>(i * 7);
    for (const ValueStore& store : Stores()) {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("DefaultDevOption"), REG_BINARY, record.data(), 6676));
        std::vector<BYTE> out(6677, 0xEE);
        EXPECT_TRUE(store.ReadExact(WL("DefaultDevOption"), out.data(), 6676));
        EXPECT_EQ(0, std::memcmp(record.data(), out.data(), 6676));
        EXPECT_EQ(0xEE, out[6676]);

        // One byte more or less than stored: refused, and the output is untouched.
        std::vector<BYTE> untouched(6677, 0xEE);
        EXPECT_FALSE(store.ReadExact(WL("DefaultDevOption"), untouched.data(), 6675));
        EXPECT_FALSE(store.ReadExact(WL("DefaultDevOption"), untouched.data(), 6677));
        EXPECT_FALSE(store.ReadExact(WL("Missing"), untouched.data(), 6676));
        EXPECT_EQ(std::vector<BYTE>(6677, 0xEE), untouched);
        EXPECT_FALSE(store.ReadExact(WL("DefaultDevOption"), nullptr, 6676));

        std::vector<BYTE> all;
        DWORD type = 0;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.ReadAll(WL("DefaultDevOption"), &all, &type));
        EXPECT_EQ(record, all);
        EXPECT_EQ(DWORD(REG_BINARY), type);
        EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), store.ReadAll(WL("Missing"), &all));
        EXPECT_TRUE(all.empty());
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("Empty"), REG_BINARY, nullptr, 0));
        EXPECT_EQ(DWORD(ERROR_SUCCESS), store.ReadAll(WL("Empty"), &all));
        EXPECT_TRUE(all.empty());

        EXPECT_EQ(DWORD(ERROR_SUCCESS), store.Remove(WL("DefaultDevOption")));
        EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), store.Remove(WL("DefaultDevOption")));
    }
}

TEST_F(StoresValuesTest, FourByteNumbers) {
    for (const ValueStore& store : Stores()) {
        uint32_t value = 99;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.WriteDword(WL("Count"), 0x01020304));
        EXPECT_TRUE(store.ReadDword(WL("Count"), &value));
        EXPECT_EQ(0x01020304u, value);
        BYTE four[4] = {5, 0, 0, 0};
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("Binary"), REG_BINARY, four, 4));
        EXPECT_TRUE(store.ReadDword(WL("Binary"), &value));
        EXPECT_EQ(5u, value);

        // Wrong sizes and text are not numbers; the output keeps its value.
        value = 99;
        BYTE eight[8] = {1};
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("Long"), REG_BINARY, eight, 8));
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("Short"), REG_BINARY, eight, 2));
        ASSERT_EQ(DWORD(ERROR_SUCCESS), store.Write(WL("Text"), REG_SZ, WL("5"), 4));
        EXPECT_FALSE(store.ReadDword(WL("Long"), &value));
        EXPECT_FALSE(store.ReadDword(WL("Short"), &value));
        EXPECT_FALSE(store.ReadDword(WL("Text"), &value));
        EXPECT_FALSE(store.ReadDword(WL("Missing"), &value));
        EXPECT_FALSE(store.ReadDword(WL("Count"), nullptr));
        EXPECT_EQ(99u, value);
    }
}

TEST_F(StoresValuesTest, NoStoreAndNoRights) {
    ValueStore none = ValueStore::OfKey(nullptr);
    std::vector<BYTE> data;
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), none.ReadAll(WL("x"), &data));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), none.WriteDword(WL("x"), 1));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), none.Remove(WL("x")));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), ValueStore::OfPrinter(nullptr).WriteDword(WL("x"), 1));
    PrinterHandle missing;
    EXPECT_FALSE(missing.Open(WL("No Such Printer")));
    EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
    EXPECT_FALSE(missing.Open(nullptr));
}

TEST_F(StoresValuesTest, SharedDataIsWrittenOnlyThroughAnAdministerHandle) {
    PrinterHandle use;
    ASSERT_TRUE(use.Open(WL("Values Fax")));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), ValueStore::OfPrinter(use.get()).WriteDword(WL("WMInfoCnt"), 1));
    PrinterHandle admin;
    ASSERT_TRUE(admin.Open(WL("Values Fax"), PRINTER_ACCESS_ADMINISTER));
    EXPECT_EQ(DWORD(ERROR_SUCCESS), ValueStore::OfPrinter(admin.get()).WriteDword(WL("WMInfoCnt"), 1));
    uint32_t count = 0;
    EXPECT_TRUE(ValueStore::OfPrinter(use.get()).ReadDword(WL("WMInfoCnt"), &count));
    EXPECT_EQ(1u, count);
}

TEST_F(StoresValuesTest, DefaultSwitchesFollowThePrinterData) {
    for (const WCHAR* name : {WL("DefaultExcelJobCtrl"), WL("DefaultAuthUseEngine")}) {
        EXPECT_EQ(0u, ReadDefaultSwitch(printer_, name, 0));  // absent: the model's default
        EXPECT_EQ(1u, ReadDefaultSwitch(printer_, name, 1));
        DWORD five = 5;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), SetPrinterValue(name, REG_DWORD, &five, 4));
        EXPECT_EQ(1u, ReadDefaultSwitch(printer_, name, 0));  // nonzero gives 1
        DWORD zero = 0;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), SetPrinterValue(name, REG_DWORD, &zero, 4));
        EXPECT_EQ(0u, ReadDefaultSwitch(printer_, name, 1));
        BYTE two[2] = {1, 0};
        ASSERT_EQ(DWORD(ERROR_SUCCESS), SetPrinterValue(name, REG_BINARY, two, 2));
        EXPECT_EQ(1u, ReadDefaultSwitch(printer_, name, 1));  // wrong size: the model's default
        EXPECT_EQ(0u, ReadDefaultSwitch(printer_, name, 0));
    }
    EXPECT_EQ(1u, ReadDefaultSwitch(nullptr, WL("DefaultExcelJobCtrl"), 1));
}

TEST_F(StoresValuesTest, PerUserExcelJobCtrlOverridesTheDefault) {
    EXPECT_EQ(1u, ReadExcelJobCtrl(printer_, 1));  // nothing stored
    EXPECT_EQ(0u, ReadExcelJobCtrl(printer_, 0));
    DWORD five = 5;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SetPrinterValue(WL("DefaultExcelJobCtrl"), REG_DWORD, &five, 4));
    EXPECT_EQ(1u, ReadExcelJobCtrl(printer_, 0));

    DWORD zero = 0;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SetUserValue(WL("ExcelJobCtrl"), REG_DWORD, &zero, 4));
    EXPECT_EQ(0u, ReadExcelJobCtrl(printer_, 1));
    DWORD seven = 7;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SetUserValue(WL("ExcelJobCtrl"), REG_DWORD, &seven, 4));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SetPrinterValue(WL("DefaultExcelJobCtrl"), REG_DWORD, &zero, 4));
    EXPECT_EQ(1u, ReadExcelJobCtrl(printer_, 0));

    // A per-user value of the wrong size overrides nothing.
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SetUserValue(WL("ExcelJobCtrl"), REG_BINARY, &seven, 2));
    EXPECT_EQ(0u, ReadExcelJobCtrl(printer_, 1));
    // Nor does a key that is gone.
    key_.Close();
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, WL("Software\\VELMORA\\NOVRIX Fax Driver\\Values Fax")));
    EXPECT_EQ(0u, ReadExcelJobCtrl(printer_, 1));
}

}  // namespace
