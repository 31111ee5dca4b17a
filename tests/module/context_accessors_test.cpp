// The context accessors on each form of sheet block, checked against the block
// offsets written out here as numbers, so that a wrong constant shows.
#include <gtest/gtest.h>

#include <cstring>

#include "common/le.h"
#include "settings/printer_ui_context.h"
#include "support/sheet_builder.h"

namespace {

using nvx::host::HostSheet;
using nvx::host::SheetForm;
using namespace nvx::settings;

HANDLE FakePrinter(uintptr_t n) {
    return reinterpret_cast<HANDLE>(n);
}

TEST(ContextAccessors, FormA) {
    HostSheet sheet(SheetForm::A);
    nvxtest::MarkSheet(sheet, {FakePrinter(0xA11CE), 0x21, 77});
    nvx::settings::PrinterUIContext* ctx = sheet.Context();
    BYTE* block = sheet.Block();

    EXPECT_TRUE(nvx::settings::ContextIsFormA(ctx));
    EXPECT_EQ(0, nvx::settings::ContextForm(ctx));
    EXPECT_EQ(FakePrinter(0xA11CE), nvx::settings::ContextPrinter(ctx));
    void* stored = nullptr;
    std::memcpy(&stored, block + 3152, sizeof stored);
    EXPECT_EQ(FakePrinter(0xA11CE), stored);

    DEVMODEW* dm = nvx::settings::ContextDevMode(ctx);
    std::memcpy(&stored, block + 5776, sizeof stored);
    EXPECT_EQ(stored, dm);
    ASSERT_NE(nullptr, dm);
    EXPECT_EQ(reinterpret_cast<BYTE*>(dm) + 224, nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_EQ('R', nvx::settings::ContextSettingsRecord(ctx)[16]);
    EXPECT_EQ(block + 65822, nvx::settings::ContextPageWorkArea(ctx));
    EXPECT_EQ('P', nvx::settings::ContextPageWorkArea(ctx)[0]);
    EXPECT_EQ(block + 57288, nvx::settings::ContextSecondaryWorkArea(ctx));
    EXPECT_EQ('S', nvx::settings::ContextSecondaryWorkArea(ctx)[0]);

    // Form A has no sheet flags; both may-apply variants read the field at 5760.
    EXPECT_EQ(0u, nvx::settings::ContextSheetFlags(ctx));
    EXPECT_EQ(1u, nvx::settings::ContextMayApply(ctx));
    EXPECT_EQ(1u, nvx::settings::ContextMayApplyAlt(ctx));
    nvx::PutLE32(block + 5760, 0);
    EXPECT_EQ(0u, nvx::settings::ContextMayApply(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextMayApplyAlt(ctx));
    nvx::PutLE32(block + 5760, 7);
    EXPECT_EQ(7u, nvx::settings::ContextMayApply(ctx));

    EXPECT_EQ(77u, nvx::settings::ContextCounter(ctx));
    EXPECT_EQ(77u, nvx::GetLE32(block + 65640));
    EXPECT_EQ(0u, nvx::GetLE32(block + 65656));
    nvx::settings::ContextSetChanged(ctx);
    EXPECT_EQ(1u, nvx::GetLE32(block + 65656));
    EXPECT_EQ(77u, nvx::settings::ContextCounter(ctx));  // the counter beside it is untouched

    // Pages write the device mode's public fields through the accessor.
    dm->dmCopies = 3;
    EXPECT_EQ(3, sheet.DevMode()->dmCopies);
}

TEST(ContextAccessors, Form1) {
    HostSheet sheet(SheetForm::One);
    nvxtest::MarkSheet(sheet, {FakePrinter(0xF1), 0x100, 1234});
    nvx::settings::PrinterUIContext* ctx = sheet.Context();
    BYTE* block = sheet.Block();

    EXPECT_FALSE(nvx::settings::ContextIsFormA(ctx));
    EXPECT_EQ(1, nvx::settings::ContextForm(ctx));
    // The printer is the third pointer and the flags the 19th 32-bit field of
    // the record at 48; the device mode the seventh pointer of the record at 32.
    BYTE* params = nullptr;
    BYTE* doc = nullptr;
    std::memcpy(&params, block + 48, sizeof params);
    std::memcpy(&doc, block + 32, sizeof doc);
    ASSERT_TRUE(params && doc);
    EXPECT_NE(params, doc);
    EXPECT_EQ(FakePrinter(0xF1), nvx::settings::ContextPrinter(ctx));
    void* stored = nullptr;
    std::memcpy(&stored, params + 16, sizeof stored);
    EXPECT_EQ(FakePrinter(0xF1), stored);
    EXPECT_EQ(0x100u, nvx::settings::ContextSheetFlags(ctx));
    EXPECT_EQ(0x100u, nvx::GetLE32(params + 72));
    std::memcpy(&stored, doc + 48, sizeof stored);
    EXPECT_EQ(stored, nvx::settings::ContextDevMode(ctx));
    EXPECT_EQ(sheet.DevMode(), nvx::settings::ContextDevMode(ctx));

    // The record is the one in the device mode's driver-extra area.
    EXPECT_EQ(sheet.Record(), nvx::settings::ContextSettingsRecord(ctx));
    EXPECT_EQ(reinterpret_cast<BYTE*>(sheet.DevMode()) + 224, nvx::settings::ContextSettingsRecord(ctx));

    EXPECT_EQ(block + 23624, nvx::settings::ContextPageWorkArea(ctx));
    EXPECT_EQ(block + 8400, nvx::settings::ContextSecondaryWorkArea(ctx));
    EXPECT_EQ(1234u, nvx::settings::ContextCounter(ctx));
    EXPECT_EQ(1234u, nvx::GetLE32(block + 16928));
    nvx::settings::ContextSetChanged(ctx);
    EXPECT_EQ(1u, nvx::GetLE32(block + 16932));
    EXPECT_EQ(1u, sheet.ChangedMark());

    // Flag 0x20 refuses the first variant, flag 0x01 the second; others neither.
    struct {
        uint32_t flags, first, second;
    } cases[] = {{0, 1, 1}, {0x20, 0, 1}, {0x01, 1, 0}, {0x21, 0, 0}, {0xFFFFFFDE, 1, 1}, {0x100, 1, 1}};
    for (const auto& c : cases) {
        sheet.SetSheetFlags(c.flags);
        EXPECT_EQ(c.first, nvx::settings::ContextMayApply(ctx)) << std::hex << c.flags;
        EXPECT_EQ(c.second, nvx::settings::ContextMayApplyAlt(ctx)) << std::hex << c.flags;
    }
}

TEST(ContextAccessors, Form2) {
    HostSheet sheet(SheetForm::Two);
    nvxtest::MarkSheet(sheet, {FakePrinter(0xF2), 0x20, 99});
    nvx::settings::PrinterUIContext* ctx = sheet.Context();
    BYTE* block = sheet.Block();
    BYTE* form1 = nullptr;
    std::memcpy(&form1, block + 93144, sizeof form1);
    ASSERT_EQ(sheet.Form1Sheet()->Block(), form1);

    EXPECT_FALSE(nvx::settings::ContextIsFormA(ctx));
    EXPECT_EQ(2, nvx::settings::ContextForm(ctx));
    void* stored = nullptr;
    std::memcpy(&stored, block + 8, sizeof stored);
    EXPECT_EQ(FakePrinter(0xF2), stored);
    EXPECT_EQ(FakePrinter(0xF2), nvx::settings::ContextPrinter(ctx));

    // The record is the block's own, so writing through the accessor changes the block.
    BYTE* record = nvx::settings::ContextSettingsRecord(ctx);
    EXPECT_EQ(block + 93152, record);
    EXPECT_EQ(101496u, sheet.BlockSize());
    record[8343] = 0x5A;
    EXPECT_EQ(0x5A, block[93152 + 8343]);
    EXPECT_NE(sheet.Form1Sheet()->Record(), record);

    // Device mode, flags and the secondary area come through the form-1 block.
    EXPECT_EQ(sheet.Form1Sheet()->DevMode(), nvx::settings::ContextDevMode(ctx));
    EXPECT_EQ(form1 + 8400, nvx::settings::ContextSecondaryWorkArea(ctx));
    EXPECT_EQ('S', nvx::settings::ContextSecondaryWorkArea(ctx)[0]);
    EXPECT_EQ(0x20u, nvx::settings::ContextSheetFlags(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextMayApply(ctx));
    EXPECT_EQ(1u, nvx::settings::ContextMayApplyAlt(ctx));
    sheet.SetSheetFlags(0x01);
    EXPECT_EQ(1u, nvx::settings::ContextMayApply(ctx));
    EXPECT_EQ(0u, nvx::settings::ContextMayApplyAlt(ctx));

    EXPECT_EQ(block + 13500, nvx::settings::ContextPageWorkArea(ctx));
    EXPECT_EQ(99u, nvx::GetLE32(block + 13368));
    EXPECT_EQ(99u, nvx::settings::ContextCounter(ctx));
    nvx::settings::ContextSetChanged(ctx);
    EXPECT_EQ(1u, nvx::GetLE32(block + 13372));
    EXPECT_EQ(0u, sheet.Form1Sheet()->ChangedMark());  // the form-1 block's mark is not the sheet's
}

}  // namespace
