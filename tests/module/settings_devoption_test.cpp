// The device-option record: template, reset, stored default, option slots; and the
// two exports of the settings records, called as a host calls them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/le.h"
#include "common/proc.h"
#include "settings/devoption.h"
#include "settings/oemdev_template.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::settings;

class SettingsDevOption : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(WL("DevOptionPrinter"));
        info.pDriverName = const_cast<LPWSTR>(WL("Novrix Fax"));
        info.pPortName = const_cast<LPWSTR>(WL("LPT1:"));
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        printer_ = nvxtest::AddTestPrinter(info);
        ASSERT_NE(nullptr, printer_);
        ResetDevOptionTemplate();
    }
    void TearDown() override {
        ResetDevOptionTemplate();
        DeletePrinter(printer_);
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    DWORD Store(const void* data, DWORD size) {
        return SetPrinterDataW(printer_, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY,
                               static_cast<LPBYTE>(const_cast<void*>(data)), size);
    }
    HANDLE printer_ = nullptr;
};

TEST_F(SettingsDevOption, ResetCopiesTheTemplate) {
    EXPECT_TRUE(SetOptionValue(DevOptionTemplate(), 3, 0x1234));
    std::vector<BYTE> record(kDevOptionSize + 1, 0xEE);
    ResetDevOption(record.data());
    EXPECT_EQ(0, std::memcmp(record.data(), DevOptionTemplate(), kDevOptionSize));
    EXPECT_EQ(0x1234, GetOptionValue(record.data(), 3));
    EXPECT_EQ(0xEE, record[kDevOptionSize]);  // nothing past the record
    ResetDevOption(nullptr);                  // does nothing

    // Slots end before the passphrase fields.
    EXPECT_TRUE(SetOptionValue(record.data(), devoption::kOptionSlots - 1, 7));
    EXPECT_EQ(7, nvx::GetLE16(record.data() + devoption::kPassphraseStored - 2));
    EXPECT_FALSE(SetOptionValue(record.data(), devoption::kOptionSlots, 7));
    EXPECT_EQ(0, GetOptionValue(record.data(), devoption::kOptionSlots));
    EXPECT_EQ(0, GetOptionValue(nullptr, 0));
    EXPECT_FALSE(SetOptionValue(nullptr, 0, 1));
}

TEST_F(SettingsDevOption, StoredDefaultOfExactSizeOnly) {
    std::vector<BYTE> stored(kDevOptionSize + 1);
    for (size_t i = 0; i < stored.size(); ++i) stored[i] = static_cast<BYTE>(i * 7 + 1);
    std::vector<BYTE> record(kDevOptionSize);

    EXPECT_FALSE(LoadDefaultDevOption(printer_, record.data()));  // no value: template
    EXPECT_EQ(0, std::memcmp(record.data(), DevOptionTemplate(), kDevOptionSize));

    ASSERT_EQ(DWORD(ERROR_SUCCESS), Store(stored.data(), kDevOptionSize));
    EXPECT_TRUE(LoadDefaultDevOption(printer_, record.data()));
    EXPECT_EQ(0, std::memcmp(record.data(), stored.data(), kDevOptionSize));

    for (DWORD size : {DWORD(kDevOptionSize - 1), DWORD(kDevOptionSize + 1), DWORD(0)}) {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), Store(stored.data(), size));
        std::memset(record.data(), 0xEE, kDevOptionSize);
        EXPECT_FALSE(LoadDefaultDevOption(printer_, record.data())) << size;
        EXPECT_EQ(0, std::memcmp(record.data(), DevOptionTemplate(), kDevOptionSize)) << size;
    }
    EXPECT_FALSE(LoadDefaultDevOption(printer_, nullptr));
}

#ifndef _WIN32
TEST_F(SettingsDevOption, ExportsAnswerAsAHostExpects) {
    // The two exports need no attach: the module is mapped without running it, so
    // that the test does not depend on the model packages.
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryExW(driver.WidePath("NOVRIX_U.DLL").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, module) << GetLastError();
    FARPROC findProc = GetProcAddress(module, "FindOEMDevPtr");
    FARPROC resetProc = GetProcAddress(module, "Prc_ResetDevOption");
    ASSERT_TRUE(findProc && resetProc);
    EXPECT_EQ(findProc, GetProcAddress(module, MAKEINTRESOURCEA(12)));
    EXPECT_EQ(resetProc, GetProcAddress(module, MAKEINTRESOURCEA(70)));
    auto find = nvx::ProcAs<BYTE* (*)(DEVMODEW*)>(findProc);
    auto reset = nvx::ProcAs<void (*)(BYTE*)>(resetProc);

    std::vector<BYTE> dm(sizeof(DEVMODEW) + 4 + kOemDevSize, 0);
    auto* devmode = reinterpret_cast<DEVMODEW*>(dm.data());
    devmode->dmSize = sizeof(DEVMODEW);
    devmode->dmDriverExtra = static_cast<WORD>(4 + kOemDevSize);
    OEMDEV t;
    BuildTemplate(t);
    std::memcpy(dm.data() + 224, t.bytes, kOemDevSize);
    EXPECT_EQ(dm.data() + 224, find(devmode));
    SetLastError(0);
    EXPECT_EQ(nullptr, find(nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    dm[224 + 8] = 2;  // version 2
    EXPECT_EQ(nullptr, find(devmode));
    EXPECT_EQ(DWORD(ERROR_INVALID_DATA), GetLastError());

    // Every byte of the record comes from the template, whatever was there before.
    std::vector<BYTE> a(kDevOptionSize + 1, 0xEE), b(kDevOptionSize + 1, 0x11);
    reset(a.data());
    reset(b.data());
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + kDevOptionSize, b.begin()));
    EXPECT_EQ(0xEE, a[kDevOptionSize]);
    reset(nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}
#endif

}  // namespace
