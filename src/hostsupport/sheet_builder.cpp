// Host-side sheet blocks, laid out as sheet_layout.h fixes them.
#include "hostsupport/sheet_builder.h"

#include <cstring>

#include "common/le.h"
#include "common/text.h"
#include "settings/sheet_layout.h"

namespace nvx::host {

namespace L = settings::layout;

namespace {

constexpr size_t kContextBytes = 64;
constexpr size_t kHostRecordBytes = 80;
constexpr size_t kPublicDevModeBytes = sizeof(DEVMODEW);
constexpr size_t kHostWordBytes = L::kRecordInDevMode - kPublicDevModeBytes;
static_assert(kContextBytes >= L::kContextMinBytes && kHostRecordBytes >= L::form1::kParamMinBytes &&
              kHostRecordBytes >= L::form1::kDocMinBytes);
static_assert(kPublicDevModeBytes == 220 && kHostWordBytes == 4);

void PutPointer(BYTE* record, size_t offset, const void* pointer) {
    std::memcpy(record + offset, &pointer, sizeof pointer);
}

}  // namespace

HostSheet::HostSheet(SheetForm form, HANDLE printer) : form_(form), context_(kContextBytes, 0) {
    switch (form) {
    case SheetForm::A:
        block_.assign(L::kFormABlockBytes, 0);
        PutLE16(block_.data() + L::kKindWord, 0x0000);
        BuildDevMode();
        PutPointer(block_.data(), L::formA::kDevMode, devmode_.data());
        PutLE32(block_.data() + L::formA::kMayApply, 1);
        break;
    case SheetForm::One:
        block_.assign(L::kForm1BlockBytes, 0);
        PutLE16(block_.data() + L::kKindWord, uint16_t(L::kForm1 << 8 | 1));
        params_.assign(kHostRecordBytes, 0);
        doc_.assign(kHostRecordBytes, 0);
        BuildDevMode();
        PutPointer(doc_.data(), L::form1::kDocDevMode, devmode_.data());
        PutPointer(block_.data(), L::form1::kParamRecord, params_.data());
        PutPointer(block_.data(), L::form1::kDocRecord, doc_.data());
        break;
    case SheetForm::Two:
        block_.assign(L::kForm2BlockBytes, 0);
        PutLE16(block_.data() + L::kKindWord, uint16_t(L::kForm2 << 8 | 1));
        inner_ = std::make_unique<HostSheet>(SheetForm::One, printer);
        PutPointer(block_.data(), L::form2::kForm1Block, inner_->Block());
        StampRecordHeader(block_.data() + L::form2::kRecord);
        break;
    }
    PutPointer(context_.data(), L::kContextBlockPointer, block_.data());
    SetPrinter(printer);
}

void HostSheet::BuildDevMode() {
    devmode_.assign(L::kRecordInDevMode + L::kSettingsRecordBytes, 0);
    DEVMODEW dm{};
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = 0x0100;
    dm.dmSize = static_cast<WORD>(kPublicDevModeBytes);
    dm.dmDriverExtra = static_cast<WORD>(kHostWordBytes + L::kSettingsRecordBytes);
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLOR | DM_DUPLEX | DM_COLLATE;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmCopies = 1;
    dm.dmColor = DMCOLOR_MONOCHROME;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmCollate = DMCOLLATE_FALSE;
    std::memcpy(devmode_.data(), &dm, sizeof dm);
    StampRecordHeader(devmode_.data() + L::kRecordInDevMode);
}

DEVMODEW* HostSheet::DevMode() {
    if (inner_) return inner_->DevMode();
    return reinterpret_cast<DEVMODEW*>(devmode_.data());
}

size_t HostSheet::DevModeSize() const {
    return inner_ ? inner_->DevModeSize() : devmode_.size();
}

BYTE* HostSheet::Record() {
    if (form_ == SheetForm::Two) return block_.data() + L::form2::kRecord;
    return devmode_.data() + L::kRecordInDevMode;
}

void HostSheet::SetPrinter(HANDLE printer) {
    switch (form_) {
    case SheetForm::A:
        PutPointer(block_.data(), L::formA::kPrinter, printer);
        break;
    case SheetForm::One:
        PutPointer(params_.data(), L::form1::kParamPrinter, printer);
        break;
    case SheetForm::Two:
        PutPointer(block_.data(), L::form2::kPrinter, printer);
        inner_->SetPrinter(printer);
        break;
    }
}

void HostSheet::SetDevOptionRecord(BYTE* record) {
    if (form_ == SheetForm::Two) PutPointer(block_.data(), L::form2::kDevOption, record);
}

void HostSheet::SetSheetFlags(uint32_t flags) {
    if (form_ == SheetForm::One) PutLE32(params_.data() + L::form1::kParamFlags, flags);
    if (form_ == SheetForm::Two) inner_->SetSheetFlags(flags);
}

uint32_t HostSheet::SheetFlags() const {
    if (form_ == SheetForm::One) return GetLE32(params_.data() + L::form1::kParamFlags);
    if (form_ == SheetForm::Two) return inner_->SheetFlags();
    return 0;
}

void HostSheet::SetMayApply(uint32_t value) {
    if (form_ == SheetForm::A) PutLE32(block_.data() + L::formA::kMayApply, value);
}

size_t HostSheet::CounterOffset() const {
    if (form_ == SheetForm::A) return L::formA::kCounter;
    return form_ == SheetForm::One ? L::form1::kCounter : L::form2::kCounter;
}

size_t HostSheet::ChangedOffset() const {
    if (form_ == SheetForm::A) return L::formA::kChanged;
    return form_ == SheetForm::One ? L::form1::kChanged : L::form2::kChanged;
}

void HostSheet::SetCounter(uint32_t value) {
    PutLE32(block_.data() + CounterOffset(), value);
}

uint32_t HostSheet::ChangedMark() const {
    return GetLE32(block_.data() + ChangedOffset());
}

void HostSheet::ClearChangedMark() {
    PutLE32(block_.data() + ChangedOffset(), 0);
}

void HostSheet::SetDeviceName(const WCHAR* name) {
    if (inner_) inner_->SetDeviceName(name);
    if (devmode_.empty()) return;
    WCHAR field[CCHDEVICENAME] = {};
    WCopy(field, CCHDEVICENAME, name);
    std::memcpy(devmode_.data() + offsetof(DEVMODEW, dmDeviceName), field, sizeof field);
}

void HostSheet::LoadRecord(const BYTE* record) {
    if (!record) return;
    std::memcpy(Record(), record, L::kSettingsRecordBytes);
    if (inner_) inner_->LoadRecord(record);
}

void HostSheet::StampRecordHeader(BYTE* record) {
    PutLE32(record + 0, static_cast<uint32_t>(L::kSettingsRecordBytes));
    PutLE32(record + 4, 0x584C5053);  // "SPLX"
    PutLE32(record + 8, 1);
    PutLE32(record + 12, static_cast<uint32_t>(L::kSettingsRecordBytes));
}

}  // namespace nvx::host
