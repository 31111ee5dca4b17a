// Typed field access and the search for the record in a device mode.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx::settings;

TEST(SettingsRecord, NumbersKeepTheirWidthAndSign) {
    OEMDEV r{};
    EXPECT_TRUE(SetNumber(r, "ColorAdjustPRT.nBrightness", -5));  // i8
    EXPECT_EQ(-5, GetNumber(r, "ColorAdjustPRT.nBrightness"));
    EXPECT_EQ(0xFB, r.bytes[3896]);
    EXPECT_TRUE(SetNumber(r, "nOrientation", 255));               // u8
    EXPECT_EQ(255, GetNumber(r, "nOrientation"));
    EXPECT_TRUE(SetNumber(r, "nCopies", 65535));                  // u16 reads unsigned
    EXPECT_EQ(65535, GetNumber(r, "nCopies"));
    EXPECT_TRUE(SetNumber(r, "nFormListPos", -1));                // i16
    EXPECT_EQ(-1, GetNumber(r, "nFormListPos"));
    EXPECT_TRUE(SetNumber(r, "nScale", 70000));                   // cut to 16 bits
    EXPECT_EQ(70000 - 65536, GetNumber(r, "nScale"));
    EXPECT_TRUE(SetNumber(r, "WmkInfo.crColor", 0xFFFFFFFFll));   // u32 reads signed
    EXPECT_EQ(-1, GetNumber(r, "WmkInfo.crColor"));
    EXPECT_TRUE(SetNumber(r, "sizInUserDefPaperIN.cx", 827));     // little-endian at 96
    EXPECT_EQ(0, std::memcmp(r.bytes + 96, "\x3B\x03\x00\x00", 4));
    // Neighbours stay untouched by a write at an odd offset.
    EXPECT_TRUE(SetNumber(r, "sizInUserDefPaperMM.cx", -2));      // i16 at 89
    EXPECT_EQ(0, r.bytes[88]);
    EXPECT_EQ(0, r.bytes[91]);

    // Wrong kinds and unknown names refuse writes and read 0.
    EXPECT_FALSE(SetNumber(r, "szVLUserName", 1));
    EXPECT_FALSE(SetNumber(r, "noSuchField", 1));
    EXPECT_EQ(0, GetNumber(r, "noSuchField"));
    EXPECT_EQ(0, GetNumber(r, "szCPText"));
}

TEST(SettingsRecord, TextsAreBoundedAndTerminated) {
    OEMDEV r;
    std::memset(r.bytes, 0xAA, sizeof r.bytes);
    FieldRef section = FindField("szVLSectionName");  // 9 bytes at 1335
    EXPECT_TRUE(SetAnsi(r, section, "12345678"));      // exactly fits with its terminator
    EXPECT_EQ("12345678", GetAnsi(r, section));
    EXPECT_EQ(0, r.bytes[1335 + 8]);
    EXPECT_EQ(0xAA, r.bytes[1335 + 9]);                // the next field is untouched
    EXPECT_FALSE(SetAnsi(r, section, "123456789"));    // does not fit: refused, unchanged
    EXPECT_EQ("12345678", GetAnsi(r, section));
    EXPECT_TRUE(SetAnsi(r, section, "ab"));
    EXPECT_EQ(0, r.bytes[1335 + 5]);                   // the rest is cleared
    // A field without a terminator reads to its end only.
    std::memset(r.bytes + 1335, 'x', 9);
    EXPECT_EQ(std::string(9, 'x'), GetAnsi(r, section));
    EXPECT_FALSE(SetAnsi(r, FindField("nCopies"), "1"));

    FieldRef sendId = FindField("FaxSetting.szSendID");  // 21 characters at 8172
    const nvx::WString longText(30, u'7');
    EXPECT_TRUE(SetText(r, sendId, longText));
    EXPECT_EQ(nvx::WString(20, u'7'), GetText(r, sendId));
    EXPECT_EQ(0, nvx::GetLE16(r.bytes + 8172 + 40));
    EXPECT_EQ(0xAA, r.bytes[8214]);
    EXPECT_TRUE(SetText(r, sendId, WL("12")));
    EXPECT_EQ(0, std::memcmp(r.bytes + 8172, "1\0" "2\0\0\0", 6));
    EXPECT_EQ(0, r.bytes[8172 + 41]);
    for (int i = 0; i < 21; ++i) nvx::PutLE16(r.bytes + 8172 + 2 * i, u'z');
    EXPECT_EQ(nvx::WString(21, u'z'), GetText(r, sendId));
    EXPECT_FALSE(SetText(r, FindField("szVLUserKey"), WL("x")));
    EXPECT_FALSE(SetText(r, FieldRef{}, WL("x")));
}

// A device mode of the given public size with a driver-extra area of `extra` bytes.
struct DevModeBuffer {
    std::vector<BYTE> bytes;
    DevModeBuffer(WORD publicSize, WORD extra) : bytes(publicSize + extra, 0) {
        Dm()->dmSize = publicSize;
        Dm()->dmDriverExtra = extra;
    }
    DEVMODEW* Dm() { return reinterpret_cast<DEVMODEW*>(bytes.data()); }
    BYTE* Extra() { return bytes.data() + Dm()->dmSize; }
    void PutRecord(size_t at) {
        OEMDEV t;
        BuildTemplate(t);
        std::memcpy(Extra() + at, t.bytes, std::min<size_t>(kOemDevSize, Dm()->dmDriverExtra - at));
    }
};

constexpr DWORD kUntouched = 0x5EED;

TEST(SettingsRecord, FindsTheRecordInARealDeviceMode) {
    static_assert(sizeof(DEVMODEW) == 220);
    // As a form-A sheet holds it: four bytes into the driver-extra area, 224 bytes
    // from the start of the device mode.
    DevModeBuffer dm(sizeof(DEVMODEW), 4 + kOemDevSize);
    dm.PutRecord(4);
    SetLastError(kUntouched);
    OEMDEV* found = FindRecordInDevMode(dm.Dm());
    EXPECT_EQ(reinterpret_cast<OEMDEV*>(dm.bytes.data() + 224), found);
    EXPECT_EQ(kUntouched, GetLastError());

    // At the area's first byte, and after a shorter (older) public part.
    DevModeBuffer first(sizeof(DEVMODEW), kOemDevSize);
    first.PutRecord(0);
    EXPECT_EQ(reinterpret_cast<OEMDEV*>(first.Extra()), FindRecordInDevMode(first.Dm()));
    DevModeBuffer old(156, 100 + kOemDevSize);
    old.PutRecord(37);
    EXPECT_EQ(reinterpret_cast<OEMDEV*>(old.Extra() + 37), FindRecordInDevMode(old.Dm()));

    // The first header wins when two are present.
    DevModeBuffer two(sizeof(DEVMODEW), 3 * kOemDevSize);
    two.PutRecord(kOemDevSize + 20);
    two.PutRecord(9);
    EXPECT_EQ(reinterpret_cast<OEMDEV*>(two.Extra() + 9), FindRecordInDevMode(two.Dm()));
}

TEST(SettingsRecord, RefusesWhatIsNotARecord) {
    SetLastError(kUntouched);
    EXPECT_EQ(nullptr, FindRecordInDevMode(nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());

    // An area shorter than the header: null, and the last error is left alone.
    for (int extra : {0, 1, 11}) {
        DevModeBuffer dm(sizeof(DEVMODEW), static_cast<WORD>(extra));
        SetLastError(kUntouched);
        EXPECT_EQ(nullptr, FindRecordInDevMode(dm.Dm()));
        EXPECT_EQ(kUntouched, GetLastError()) << extra;
    }
    // A header with no room for its record behind it: not a record.
    for (int extra : {12, 100, static_cast<int>(kOemDevSize - 1)}) {
        DevModeBuffer dm(sizeof(DEVMODEW), static_cast<WORD>(extra));
        dm.PutRecord(0);
        SetLastError(kUntouched);
        EXPECT_EQ(nullptr, FindRecordInDevMode(dm.Dm())) << extra;
        EXPECT_EQ(DWORD(ERROR_INVALID_DATA), GetLastError());
    }
    DevModeBuffer late(sizeof(DEVMODEW), kOemDevSize + 20);
    late.PutRecord(21);  // one byte too far for the whole record
    EXPECT_EQ(nullptr, FindRecordInDevMode(late.Dm()));
    late.PutRecord(20);  // the last place where it fits
    EXPECT_EQ(reinterpret_cast<OEMDEV*>(late.Extra() + 20), FindRecordInDevMode(late.Dm()));

    // Wrong signature, size or version.
    struct Damage {
        size_t at;
        uint32_t value;
    };
    for (Damage d : {Damage{0, 8343}, Damage{0, 8345}, Damage{4, 0x584C5054}, Damage{4, 0x53504C58}, Damage{8, 2},
                     Damage{8, 0}}) {
        DevModeBuffer dm(sizeof(DEVMODEW), 4 + kOemDevSize);
        dm.PutRecord(4);
        nvx::PutLE32(dm.Extra() + 4 + d.at, d.value);
        SetLastError(kUntouched);
        EXPECT_EQ(nullptr, FindRecordInDevMode(dm.Dm())) << d.at << " " << d.value;
        EXPECT_EQ(DWORD(ERROR_INVALID_DATA), GetLastError());
    }
}

}  // namespace
