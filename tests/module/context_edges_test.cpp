// The accessors' none values and the host data they refuse to trust.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/le.h"
#include "common/text.h"
#include "settings/printer_ui_context.h"
#include "support/sheet_builder.h"
#include "settings/oemdev.h"

namespace {

using nvx::host::HostSheet;
using nvx::host::SheetForm;
using namespace nvx::settings;

void PutPointer(BYTE* record, size_t offset, const void* pointer) {
    std::memcpy(record + offset, &pointer, sizeof pointer);
}

// Every accessor answers its none value, and the writers touch nothing.
void ExpectNone(const nvx::settings::PrinterUIContext* ctx, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_FALSE(nvx::settings::ContextIsFormA(ctx));
    EXPECT_EQ(INVALID_HANDLE_VALUE, nvx::settings::ContextPrinter(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextDevMode(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextDevOptionRecord(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextPageWorkArea(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextSecondaryWorkArea(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextSheetFlags(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextMayApply(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextMayApplyAlt(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextCounter(ctx));
    nvx::settings::ContextSetChanged(ctx);
    EXPECT_FALSE(nvx::settings::ContextDefaultSettings(ctx));
}

TEST(ContextEdges, NullContextsAndUnknownForms) {
    ExpectNone(nullptr, "null context");
    EXPECT_EQ(0, nvx::settings::ContextForm(nullptr));

    BYTE noBlock[64] = {};
    ExpectNone(reinterpret_cast<nvx::settings::PrinterUIContext*>(noBlock), "context without a block");
    EXPECT_EQ(0, nvx::settings::ContextForm(reinterpret_cast<nvx::settings::PrinterUIContext*>(noBlock)));

    // Low byte nonzero and a high byte that is not 1 or 2: no form.  The form
    // accessor still answers the high byte.
    for (uint16_t kind : {uint16_t(0x0001), uint16_t(0x0301), uint16_t(0xFF7F)}) {
        HostSheet sheet(SheetForm::One);
        nvxtest::MarkSheet(sheet, {reinterpret_cast<HANDLE>(5), 0x20, 3});
        nvx::PutLE16(sheet.Block(), kind);
        ExpectNone(sheet.Context(), "unknown kind word");
        EXPECT_EQ(kind >> 8, nvx::settings::ContextForm(sheet.Context()));
        EXPECT_EQ(0u, sheet.ChangedMark());
    }
}

TEST(ContextEdges, LowByteZeroIsFormAWhateverTheHighByte) {
    HostSheet sheet(SheetForm::A);
    nvx::PutLE16(sheet.Block(), 0x0200);
    EXPECT_TRUE(nvx::settings::ContextIsFormA(sheet.Context()));
    EXPECT_EQ(2, nvx::settings::ContextForm(sheet.Context()));
    EXPECT_EQ(sheet.Block() + 65822, nvx::settings::ContextPageWorkArea(sheet.Context()));
}

TEST(ContextEdges, FormAWithoutAUsableDeviceMode) {
    HostSheet sheet(SheetForm::A);
    nvx::settings::PrinterUIContext* ctx = sheet.Context();
    ASSERT_NE(nullptr, nvx::settings::ContextSettingsRecord(ctx));

    // A device mode too small for the record answers no record, not a pointer
    // the pages would write 8344 bytes through.
    sheet.DevMode()->dmDriverExtra = 4 + 8343;
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_EQ(sheet.DevMode(), nvx::settings::ContextDevMode(ctx));
    sheet.DevMode()->dmDriverExtra = 4 + 8344;
    EXPECT_NE(nullptr, nvx::settings::ContextSettingsRecord(ctx));

    PutPointer(sheet.Block(), 5776, nullptr);
    EXPECT_EQ(nullptr, nvx::settings::ContextDevMode(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_NE(nullptr, nvx::settings::ContextPageWorkArea(ctx));  // the block's own fields stay
}

TEST(ContextEdges, Form1HostRecordsMissing) {
    HostSheet sheet(SheetForm::One);
    nvxtest::MarkSheet(sheet, {reinterpret_cast<HANDLE>(9), 0x21, 3});
    nvx::settings::PrinterUIContext* ctx = sheet.Context();

    PutPointer(sheet.Block(), 48, nullptr);  // no parameter record
    EXPECT_EQ(INVALID_HANDLE_VALUE, nvx::settings::ContextPrinter(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextSheetFlags(ctx));
    EXPECT_EQ(1u, nvx::settings::ContextMayApply(ctx));     // no flags refuse
    EXPECT_EQ(1u, nvx::settings::ContextMayApplyAlt(ctx));
    EXPECT_NE(nullptr, nvx::settings::ContextDevMode(ctx));

    PutPointer(sheet.Block(), 32, nullptr);  // no document record
    EXPECT_EQ(nullptr, nvx::settings::ContextDevMode(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_EQ(sheet.Block() + 23624, nvx::settings::ContextPageWorkArea(ctx));
    nvx::settings::ContextSetChanged(ctx);
    EXPECT_EQ(1u, sheet.ChangedMark());
}

TEST(ContextEdges, Form1RecordIsFoundByItsHeader) {
    HostSheet sheet(SheetForm::One);
    nvx::settings::PrinterUIContext* ctx = sheet.Context();
    DEVMODEW* dm = sheet.DevMode();
    BYTE* extra = reinterpret_cast<BYTE*>(dm) + 220;

    // A foreign device mode: no header, a wrong version, a wrong size.
    std::memset(extra, 0, 16);
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));
    HostSheet::StampRecordHeader(extra + 4);
    nvx::PutLE32(extra + 4 + 8, 2);
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));
    HostSheet::StampRecordHeader(extra + 4);
    nvx::PutLE32(extra + 4, 8343);
    EXPECT_EQ(nullptr, nvx::settings::ContextSettingsRecord(ctx));

    // At the start of a larger area, and later in it.
    std::vector<BYTE> big(220 + 8344 + 40, 0);
    std::memcpy(big.data(), dm, 220);
    auto* bigDm = reinterpret_cast<DEVMODEW*>(big.data());
    bigDm->dmDriverExtra = 8344 + 40;
    HostSheet::StampRecordHeader(big.data() + 220);
    EXPECT_EQ(big.data() + 220, reinterpret_cast<BYTE*>(nvx::settings::FindRecordInDevMode(bigDm)));
    std::memset(big.data() + 220, 0, 16);
    HostSheet::StampRecordHeader(big.data() + 220 + 40);
    EXPECT_EQ(big.data() + 220 + 40, reinterpret_cast<BYTE*>(nvx::settings::FindRecordInDevMode(bigDm)));
    // A header whose record would run past the area is not a record.
    std::memset(big.data() + 220 + 40, 0, 16);
    HostSheet::StampRecordHeader(big.data() + 220 + 41);
    EXPECT_EQ(nullptr, nvx::settings::FindRecordInDevMode(bigDm));
    bigDm->dmDriverExtra = 12;
    EXPECT_EQ(nullptr, nvx::settings::FindRecordInDevMode(bigDm));
    EXPECT_EQ(nullptr, nvx::settings::FindRecordInDevMode(nullptr));
}

// Only the printer sheet (form 2) carries a device-option record: the pointer at 16
// of its block, as the host set it.
TEST(ContextEdges, OnlyThePrinterSheetCarriesTheDeviceOptionRecord) {
    std::vector<BYTE> record(6676, 0);
    HostSheet two(SheetForm::Two, reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(nullptr, nvx::settings::ContextDevOptionRecord(two.Context()));
    two.SetDevOptionRecord(record.data());
    EXPECT_EQ(record.data(), nvx::settings::ContextDevOptionRecord(two.Context()));
    const BYTE* at16 = nullptr;
    std::memcpy(&at16, two.Block() + 16, sizeof at16);
    EXPECT_EQ(record.data(), at16);
    EXPECT_EQ(reinterpret_cast<HANDLE>(7), nvx::settings::ContextPrinter(two.Context()));  // beside the printer, not over it
    for (SheetForm form : {SheetForm::A, SheetForm::One}) {
        HostSheet other(form);
        other.SetDevOptionRecord(record.data());  // ignored: these forms carry none
        nvxtest::MarkSheet(other, {reinterpret_cast<HANDLE>(5), 0, 3});
        EXPECT_EQ(nullptr, nvx::settings::ContextDevOptionRecord(other.Context()));
    }
}

TEST(ContextEdges, Form2WithoutItsForm1Block) {
    HostSheet sheet(SheetForm::Two);
    nvxtest::MarkSheet(sheet, {reinterpret_cast<HANDLE>(4), 0x21, 3});
    nvx::settings::PrinterUIContext* ctx = sheet.Context();
    PutPointer(sheet.Block(), 93144, nullptr);
    EXPECT_EQ(reinterpret_cast<HANDLE>(4), nvx::settings::ContextPrinter(ctx));
    EXPECT_EQ(sheet.Block() + 93152, nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextDevMode(ctx));
    EXPECT_EQ(nullptr, nvx::settings::ContextSecondaryWorkArea(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextSheetFlags(ctx));
    EXPECT_EQ(1u, nvx::settings::ContextMayApply(ctx));
    EXPECT_EQ(1u, nvx::settings::ContextMayApplyAlt(ctx));
}

TEST(ContextEdges, DefaultSettingsFillTheSheetsRecord) {
    for (SheetForm form : {SheetForm::A, SheetForm::One, SheetForm::Two}) {
        HostSheet sheet(form);
        std::memset(sheet.Record() + 12, 0xEE, 8344 - 12);
        EXPECT_TRUE(nvx::settings::ContextDefaultSettings(sheet.Context()));
        using nvx::GetLE32;
        EXPECT_EQ(8344u, GetLE32(sheet.Record()));
        EXPECT_EQ(0x584C5053u, GetLE32(sheet.Record() + 4));
        EXPECT_EQ(1u, GetLE32(sheet.Record() + 8));
        EXPECT_EQ(8344u, GetLE32(sheet.Record() + 12));
        EXPECT_NE(0xEE, sheet.Record()[72]);  // nOrientation came from the defaults
    }
    EXPECT_FALSE(nvx::settings::ContextDefaultSettings(nullptr));
}

TEST(ContextEdges, BuilderDeviceModeShape) {
    HostSheet sheet(SheetForm::A);
    sheet.SetDeviceName(WL("A printer name that is longer than thirty-one characters"));
    const DEVMODEW* dm = sheet.DevMode();
    EXPECT_EQ(220, dm->dmSize);
    EXPECT_EQ(4 + 8344, dm->dmDriverExtra);
    EXPECT_EQ(DWORD(DM_SPECVERSION), dm->dmSpecVersion);
    EXPECT_EQ(1, dm->dmCopies);
    EXPECT_EQ(0, dm->dmDeviceName[31]);
    EXPECT_EQ(u'A', dm->dmDeviceName[0]);
    const BYTE* record = sheet.Record();
    EXPECT_EQ(8344u, nvx::GetLE32(record));
    EXPECT_EQ(0, std::memcmp(record + 4, "SPLX", 4));
    EXPECT_EQ(1u, nvx::GetLE32(record + 8));
    EXPECT_EQ(8344u, nvx::GetLE32(record + 12));

    std::vector<BYTE> fresh(8344, 0x33);
    HostSheet::StampRecordHeader(fresh.data());
    HostSheet two(SheetForm::Two);
    two.LoadRecord(fresh.data());
    EXPECT_EQ(0, std::memcmp(fresh.data(), two.Record(), 8344));
    EXPECT_EQ(0, std::memcmp(fresh.data(), two.Form1Sheet()->Record(), 8344));
}

}  // namespace
