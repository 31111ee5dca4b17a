// The printer UI context accessors over the three forms of sheet block.
#include "settings/printer_ui_context.h"

#include <cstring>

#include "common/le.h"
#include "settings/oemdev.h"
#include "settings/oemdev_defaults.h"
#include "settings/sheet_layout.h"

namespace nvx::settings {

namespace L = layout;

namespace {

enum class Form { None, A, One, Two };

// A pointer-sized field of a host record (null record: null).
template <typename T = BYTE>
T* PointerAt(const void* record, size_t offset) {
    if (!record) return nullptr;
    void* p = nullptr;
    std::memcpy(&p, static_cast<const BYTE*>(record) + offset, sizeof p);
    return static_cast<T*>(p);
}

BYTE* BlockOf(const PrinterUIContext* ctx) {
    return PointerAt(ctx, L::kContextBlockPointer);
}

Form FormOf(const BYTE* block) {
    if (!block) return Form::None;
    uint16_t kind = GetLE16(block + L::kKindWord);
    if ((kind & 0xFF) == 0) return Form::A;
    switch (kind >> 8) {
    case L::kForm1:
        return Form::One;
    case L::kForm2:
        return Form::Two;
    default:
        return Form::None;
    }
}

// The form-1 block that carries a form's device mode and flags: the block
// itself for form 1, the designated one for form 2, else null.
const BYTE* Form1BlockOf(const BYTE* block, Form form) {
    if (form == Form::One) return block;
    if (form == Form::Two) return PointerAt(block, L::form2::kForm1Block);
    return nullptr;
}

uint32_t FlagsOf(const BYTE* block, Form form) {
    const BYTE* params = PointerAt(Form1BlockOf(block, form), L::form1::kParamRecord);
    return params ? GetLE32(params + L::form1::kParamFlags) : 0;
}

DEVMODEW* DevModeOf(const BYTE* block, Form form) {
    if (form == Form::A) return PointerAt<DEVMODEW>(block, L::formA::kDevMode);
    const BYTE* doc = PointerAt(Form1BlockOf(block, form), L::form1::kDocRecord);
    return PointerAt<DEVMODEW>(doc, L::form1::kDocDevMode);
}

// The bytes a device mode spans: public part and driver-extra area.
size_t DevModeBytes(const DEVMODEW* devmode) {
    return size_t(devmode->dmSize) + devmode->dmDriverExtra;
}

// The offset of a 32-bit field of the block for a form, or 0 when the form lacks it.
struct BlockFields {
    size_t counter;
    size_t changed;
    size_t pageWork;
};
constexpr BlockFields kFieldsA{L::formA::kCounter, L::formA::kChanged, L::formA::kPageWork};
constexpr BlockFields kFields1{L::form1::kCounter, L::form1::kChanged, L::form1::kPageWork};
constexpr BlockFields kFields2{L::form2::kCounter, L::form2::kChanged, L::form2::kPageWork};

const BlockFields* FieldsOf(Form form) {
    switch (form) {
    case Form::A:
        return &kFieldsA;
    case Form::One:
        return &kFields1;
    case Form::Two:
        return &kFields2;
    default:
        return nullptr;
    }
}

// First (0x20) or second (0x01) may-apply variant.
uint32_t MayApply(const PrinterUIContext* ctx, uint32_t refusingFlag) {
    BYTE* block = BlockOf(ctx);
    Form form = FormOf(block);
    if (form == Form::None) return 0;
    if (form == Form::A) return GetLE32(block + L::formA::kMayApply);
    return (FlagsOf(block, form) & refusingFlag) ? 0 : 1;
}

}  // namespace

bool ContextIsFormA(const PrinterUIContext* ctx) {
    return FormOf(BlockOf(ctx)) == Form::A;
}

uint8_t ContextForm(const PrinterUIContext* ctx) {
    const BYTE* block = BlockOf(ctx);
    return block ? static_cast<uint8_t>(GetLE16(block + L::kKindWord) >> 8) : 0;
}

BYTE* ContextSettingsRecord(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    switch (Form form = FormOf(block)) {
    case Form::A: {
        // A device mode too small to hold the record would let pages write past it.
        DEVMODEW* devmode = DevModeOf(block, form);
        if (!devmode || DevModeBytes(devmode) < L::kRecordInDevMode + L::kSettingsRecordBytes) return nullptr;
        return reinterpret_cast<BYTE*>(devmode) + L::kRecordInDevMode;
    }
    case Form::One:
        return reinterpret_cast<BYTE*>(FindRecordInDevMode(DevModeOf(block, form)));
    case Form::Two:
        return block + L::form2::kRecord;
    default:
        return nullptr;
    }
}

HANDLE ContextPrinter(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    switch (FormOf(block)) {
    case Form::A:
        return PointerAt<void>(block, L::formA::kPrinter);
    case Form::One: {
        const BYTE* params = PointerAt(block, L::form1::kParamRecord);
        return params ? PointerAt<void>(params, L::form1::kParamPrinter) : INVALID_HANDLE_VALUE;
    }
    case Form::Two:
        return PointerAt<void>(block, L::form2::kPrinter);
    default:
        return INVALID_HANDLE_VALUE;
    }
}

BYTE* ContextDevOptionRecord(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    return FormOf(block) == Form::Two ? PointerAt<BYTE>(block, L::form2::kDevOption) : nullptr;
}

DEVMODEW* ContextDevMode(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    Form form = FormOf(block);
    return form == Form::None ? nullptr : DevModeOf(block, form);
}

BYTE* ContextPageWorkArea(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    const BlockFields* fields = FieldsOf(FormOf(block));
    return fields ? block + fields->pageWork : nullptr;
}

BYTE* ContextSecondaryWorkArea(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    switch (Form form = FormOf(block)) {
    case Form::A:
        return block + L::formA::kSecondaryWork;
    case Form::One:
    case Form::Two: {
        BYTE* form1 = const_cast<BYTE*>(Form1BlockOf(block, form));
        return form1 ? form1 + L::form1::kSecondaryWork : nullptr;
    }
    default:
        return nullptr;
    }
}

uint32_t ContextSheetFlags(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    return FlagsOf(block, FormOf(block));
}

uint32_t ContextMayApply(const PrinterUIContext* ctx) {
    return MayApply(ctx, L::kFlagNoPermission);
}

uint32_t ContextMayApplyAlt(const PrinterUIContext* ctx) {
    return MayApply(ctx, L::kFlagNoPermissionAlt);
}

uint32_t ContextCounter(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    const BlockFields* fields = FieldsOf(FormOf(block));
    return fields ? GetLE32(block + fields->counter) : 0;
}

void ContextSetChanged(const PrinterUIContext* ctx) {
    BYTE* block = BlockOf(ctx);
    if (const BlockFields* fields = FieldsOf(FormOf(block))) PutLE32(block + fields->changed, 1);
}

bool ContextTrayMedia(const PrinterUIContext* ctx, int32_t (&media)[kTraySlots]) {
    for (int32_t& m : media) m = 0;
    const BYTE* record = ContextSettingsRecord(ctx);
    if (!record) return false;
    const settings::FieldRef first = settings::FindField("PTInfoEach[0].nValue");
    for (uint32_t i = 0; first && i < first.def->count && i < kTraySlots; ++i)
        media[i] = settings::GetNumber(*settings::AsRecord(record), settings::FieldRef{first.def, i});
    return true;
}

bool ContextDefaultSettings(const PrinterUIContext* ctx) {
    BYTE* record = ContextSettingsRecord(ctx);
    if (!record) return false;
    return FillDefaultSettingsHook(record, ContextPrinter(ctx));
}

bool FillDefaultSettingsHook(BYTE* record, HANDLE printer) {
    return settings::FillDefaultSettings(record, printer);
}

}  // namespace nvx::settings
