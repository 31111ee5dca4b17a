// Device modes: the layout, DocumentPropertiesW sizes, copy and merge, and the
// printer-wide and per-user defaults of SetPrinterW.
#include <cstddef>
#include <cstring>
#include <vector>

#include "common/text.h"
#include "support/platform_test.h"

namespace {

static_assert(sizeof(DEVMODEW) == 220, "DEVMODEW is the 220-byte Win32 layout");
static_assert(offsetof(DEVMODEW, dmDriverExtra) == 70 && offsetof(DEVMODEW, dmFields) == 72 &&
                  offsetof(DEVMODEW, dmOrientation) == 76 && offsetof(DEVMODEW, dmColor) == 92 &&
                  offsetof(DEVMODEW, dmFormName) == 102 && offsetof(DEVMODEW, dmNup) == 180 &&
                  offsetof(DEVMODEW, dmPanningHeight) == 216,
              "DEVMODEW field offsets");

LPWSTR W(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

// A device mode with a driver-extra area filled with a pattern.
std::vector<BYTE> MakeDevMode(WORD extra, BYTE pattern, short paper) {
    std::vector<BYTE> bytes(sizeof(DEVMODEW) + extra, pattern);
    DEVMODEW dm{};
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = extra;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = paper;
    std::memcpy(bytes.data(), &dm, sizeof dm);
    return bytes;
}

DEVMODEW* AsDevMode(std::vector<BYTE>& bytes) {
    return reinterpret_cast<DEVMODEW*>(bytes.data());
}

class DevModes : public PlatformTest {
protected:
    HANDLE Add(const WCHAR* name, DEVMODEW* devmode) {
        PRINTER_INFO_2W info{};
        info.pPrinterName = W(name);
        info.pDriverName = W(WL("Novrix Test Driver"));
        info.pPortName = W(WL("LPT1:"));
        info.pPrintProcessor = W(WL("winprint"));
        info.pDevMode = devmode;
        HANDLE printer = nvxtest::AddTestPrinter(info);
        if (printer) added_.push_back(printer);
        return printer;
    }
    void TearDown() override {
        for (HANDLE printer : added_) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
        PlatformTest::TearDown();
    }
    std::vector<HANDLE> added_;
};

// On Windows DocumentPropertiesW hands the call to the printer driver's interface
// module (for these printers the module under test, which answers only for its
// own models): the checks of DocumentPropertiesW are of the layer's answer for a
// driver that keeps no private part, and run on it alone.
#ifndef _WIN32
TEST_F(DevModes, PrinterWithoutDeviceModeAnswersThePublicDefault) {
    HANDLE printer = Add(WL("Plain"), nullptr);
    ASSERT_NE(nullptr, printer);
    EXPECT_EQ(LONG(sizeof(DEVMODEW)), DocumentPropertiesW(nullptr, printer, W(WL("Plain")), nullptr, nullptr, 0));
    DEVMODEW dm{};
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, printer, W(WL("Plain")), &dm, nullptr, DM_OUT_BUFFER));
    EXPECT_EQ(sizeof(DEVMODEW), dm.dmSize);
    EXPECT_EQ(0u, dm.dmDriverExtra);
    EXPECT_EQ(DM_SPECVERSION, dm.dmSpecVersion);
    EXPECT_EQ(nvx::WString(WL("Plain")), dm.dmDeviceName);
    EXPECT_TRUE(dm.dmFields & DM_PAPERSIZE);
    EXPECT_EQ(1, dm.dmCopies);

    // Without a handle the name chooses the printer.
    EXPECT_EQ(LONG(sizeof(DEVMODEW)), DocumentPropertiesW(nullptr, nullptr, W(WL("plain")), nullptr, nullptr, 0));
    EXPECT_LT(DocumentPropertiesW(nullptr, nullptr, W(WL("Nowhere")), nullptr, nullptr, 0), 0);
    EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
}

TEST_F(DevModes, DriverExtraIsKeptAndMergedOnlyWhenItFits) {
    std::vector<BYTE> stored = MakeDevMode(16, 0xA5, DMPAPER_A4);
    HANDLE printer = Add(WL("Extra"), AsDevMode(stored));
    ASSERT_NE(nullptr, printer);
    LONG size = DocumentPropertiesW(nullptr, printer, nullptr, nullptr, nullptr, 0);
    ASSERT_EQ(LONG(sizeof(DEVMODEW) + 16), size);
    std::vector<BYTE> out(size);
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, printer, nullptr, AsDevMode(out), nullptr, DM_OUT_BUFFER));
    EXPECT_EQ(stored, out);

    // Merge: only the fields the input marks, and its private part when the sizes agree.
    std::vector<BYTE> input = MakeDevMode(16, 0x3C, DMPAPER_A3);
    AsDevMode(input)->dmFields = DM_ORIENTATION;
    AsDevMode(input)->dmOrientation = DMORIENT_LANDSCAPE;
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, printer, nullptr, AsDevMode(out), AsDevMode(input),
                                        DM_IN_BUFFER | DM_OUT_BUFFER));
    EXPECT_EQ(DMORIENT_LANDSCAPE, AsDevMode(out)->dmOrientation);
    EXPECT_EQ(DMPAPER_A4, AsDevMode(out)->dmPaperSize);
    EXPECT_EQ(0x3C, out[sizeof(DEVMODEW)]);
    std::vector<BYTE> otherSize = MakeDevMode(8, 0x77, DMPAPER_A3);
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, printer, nullptr, AsDevMode(out), AsDevMode(otherSize),
                                        DM_IN_BUFFER | DM_OUT_BUFFER));
    EXPECT_EQ(DMPAPER_A3, AsDevMode(out)->dmPaperSize);
    EXPECT_EQ(0xA5, out[sizeof(DEVMODEW)]);  // the printer's own private part stays
    // Nothing of this was stored.
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, printer, nullptr, AsDevMode(out), nullptr, DM_OUT_BUFFER));
    EXPECT_EQ(stored, out);

    std::vector<BYTE> broken = MakeDevMode(0, 0, DMPAPER_A4);
    AsDevMode(broken)->dmSize = 10;
    EXPECT_LT(DocumentPropertiesW(nullptr, printer, nullptr, AsDevMode(out), AsDevMode(broken),
                                  DM_IN_BUFFER | DM_OUT_BUFFER),
              0);
}

#endif

TEST_F(DevModes, PrinterWideAndPerUserDefaults) {
    HANDLE printer = Add(WL("Levels"), nullptr);
    ASSERT_NE(nullptr, printer);
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE user = nullptr;
    ASSERT_TRUE(OpenPrinterW(W(WL("Levels")), &user, &use));

    std::vector<BYTE> wide = MakeDevMode(4, 0x11, DMPAPER_LEGAL);
    PRINTER_INFO_8W eight{AsDevMode(wide)};
    EXPECT_FALSE(SetPrinterW(user, 8, reinterpret_cast<LPBYTE>(&eight), 0));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    ASSERT_TRUE(SetPrinterW(printer, 8, reinterpret_cast<LPBYTE>(&eight), 0));

    std::vector<BYTE> mine = MakeDevMode(4, 0x22, DMPAPER_A5);
    PRINTER_INFO_9W nine{AsDevMode(mine)};
    ASSERT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&nine), 0));
#ifndef _WIN32
    std::vector<BYTE> out(sizeof(DEVMODEW) + 4);
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, user, nullptr, AsDevMode(out), nullptr, DM_OUT_BUFFER));
    EXPECT_EQ(DMPAPER_A5, AsDevMode(out)->dmPaperSize);
#endif

    DWORD needed = 0;
    GetPrinterW(user, 8, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterW(user, 8, buffer.data(), needed, &needed));
    EXPECT_EQ(DMPAPER_LEGAL, reinterpret_cast<PRINTER_INFO_8W*>(buffer.data())->pDevMode->dmPaperSize);

    nine.pDevMode = nullptr;  // forget the user's own
    ASSERT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&nine), 0));
#ifndef _WIN32
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, user, nullptr, AsDevMode(out), nullptr, DM_OUT_BUFFER));
    EXPECT_EQ(DMPAPER_LEGAL, AsDevMode(out)->dmPaperSize);
#endif
    ClosePrinter(user);
}

}  // namespace
