// The host's sheet blocks: where each of the three forms keeps what the module's
// pages read and write.  These offsets are an exchange format between the host
// and the module; the accessors of printer_ui_context.h and the host-side builder
// (hostsupport/sheet_builder.h) both read them from here and nowhere else.
//
// All offsets are byte offsets from the start of the record they name.  Fields
// need not be aligned (the form-A page work area starts at an even, not a
// pointer-aligned, offset), so they are read and written with memcpy.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nvx::settings::layout {

// The context: a host record whose seventh pointer-sized field designates the block.
inline constexpr size_t kContextBlockPointer = 48;
inline constexpr size_t kContextMinBytes = kContextBlockPointer + 8;

// The kind word opens every block: low byte 0 is form A, otherwise the high byte
// is the form number (1 or 2; any other is a block no accessor reads).
inline constexpr size_t kKindWord = 0;
inline constexpr uint8_t kForm1 = 1;
inline constexpr uint8_t kForm2 = 2;

// The settings record lies this many bytes into a sheet's device mode: the
// 220-byte public part, then four bytes of the host's, then the record.
inline constexpr size_t kRecordInDevMode = 224;
inline constexpr size_t kSettingsRecordBytes = 8344;

// Form A: everything in the block itself.
namespace formA {
inline constexpr size_t kPrinter = 3152;         // HANDLE
inline constexpr size_t kMayApply = 5760;        // u32
inline constexpr size_t kDevMode = 5776;         // DEVMODEW*
inline constexpr size_t kSecondaryWork = 57288;  // area
inline constexpr size_t kCounter = 65640;        // u32
inline constexpr size_t kChanged = 65656;        // u32
inline constexpr size_t kPageWork = 65822;       // area, to the block's end
}  // namespace formA

// Form 1: a block and two host records it designates.
namespace form1 {
inline constexpr size_t kDocRecord = 32;         // 5th pointer: the document record
inline constexpr size_t kParamRecord = 48;       // 7th pointer: the sheet parameter record
inline constexpr size_t kSecondaryWork = 8400;   // area
inline constexpr size_t kCounter = 16928;        // u32
inline constexpr size_t kChanged = 16932;        // u32
inline constexpr size_t kPageWork = 23624;       // area, to the block's end
// In the sheet parameter record:
inline constexpr size_t kParamPrinter = 16;      // 3rd pointer: HANDLE
inline constexpr size_t kParamFlags = 72;        // 19th 32-bit field: the sheet flags
inline constexpr size_t kParamMinBytes = kParamFlags + 4;
// In the document record:
inline constexpr size_t kDocDevMode = 48;        // 7th pointer: DEVMODEW*
inline constexpr size_t kDocMinBytes = kDocDevMode + 8;
}  // namespace form1

// Form 2: a block with its own record, leaning on a form-1 block for the rest.
namespace form2 {
inline constexpr size_t kPrinter = 8;            // HANDLE
// The printer's device-option record (6676 bytes) that the printer sheet's pages
// edit: a pointer to the host's copy, which the host keeps with the printer on apply.
inline constexpr size_t kDevOption = 16;         // BYTE*
inline constexpr size_t kCounter = 13368;        // u32
inline constexpr size_t kChanged = 13372;        // u32
inline constexpr size_t kPageWork = 13500;       // area, up to kForm1Block
inline constexpr size_t kForm1Block = 93144;     // pointer to a form-1 block
inline constexpr size_t kRecord = 93152;         // the embedded settings record
inline constexpr size_t kBlockBytes = kRecord + kSettingsRecordBytes;
}  // namespace form2

// Sheet flags that refuse applying: the first may-apply variant tests the
// no-permission flag of the document sheet, the second that of the printer sheet.
inline constexpr uint32_t kFlagNoPermission = 0x20;
inline constexpr uint32_t kFlagNoPermissionAlt = 0x01;
// The sheet registers no spooler forms (the custom paper list is still stored).
inline constexpr uint32_t kFlagNoForms = 0x40;

// What the module may use of each work area on every form: the smallest room the
// forms give.  Page code keeps its per-sheet state within these sizes.
inline constexpr size_t kPageWorkBytes = form2::kForm1Block - form2::kPageWork;            // 79644
inline constexpr size_t kSecondaryWorkBytes = formA::kCounter - formA::kSecondaryWork;    // 8352

// The blocks a host must allocate at least.
inline constexpr size_t kFormABlockBytes = formA::kPageWork + kPageWorkBytes;
inline constexpr size_t kForm1BlockBytes = form1::kPageWork + kPageWorkBytes;
inline constexpr size_t kForm2BlockBytes = form2::kBlockBytes;

// The fields of a form do not overlap one another or the work areas.
static_assert(formA::kPrinter + 8 <= formA::kMayApply && formA::kMayApply + 4 <= formA::kDevMode &&
              formA::kDevMode + 8 <= formA::kSecondaryWork);
static_assert(formA::kSecondaryWork + kSecondaryWorkBytes <= formA::kCounter &&
              formA::kCounter + 4 <= formA::kChanged && formA::kChanged + 4 <= formA::kPageWork);
static_assert(form1::kDocRecord + 8 <= form1::kParamRecord && form1::kParamRecord + 8 <= form1::kSecondaryWork &&
              form1::kSecondaryWork + kSecondaryWorkBytes <= form1::kCounter &&
              form1::kCounter + 4 <= form1::kChanged && form1::kChanged + 4 <= form1::kPageWork);
static_assert(form1::kParamPrinter + 8 <= form1::kParamFlags && form1::kParamFlags == 18 * 4);
static_assert(form2::kPrinter + 8 <= form2::kDevOption && form2::kDevOption + 8 <= form2::kCounter && form2::kCounter + 4 <= form2::kChanged &&
              form2::kChanged + 4 <= form2::kPageWork && form2::kPageWork + kPageWorkBytes <= form2::kForm1Block &&
              form2::kForm1Block + 8 <= form2::kRecord);
static_assert(kPageWorkBytes == 79644 && kSecondaryWorkBytes == 8352 && kForm2BlockBytes == 101496);
static_assert(kContextBlockPointer == 6 * 8 && form1::kDocRecord == 4 * 8 && form1::kParamPrinter == 2 * 8 &&
              form1::kDocDevMode == 6 * 8, "pointer-sized fields counted from the first");

}  // namespace nvx::settings::layout
