// The host side of a property sheet: a context, a sheet block of form A, 1 or 2,
// the host records the block designates and a device mode with the settings
// record at its place.  The novrix tool and the tests build sheets with it and
// hand the context to the module's pages, as the host driver UI does.
//
// What the host chose (the module reads only what sheet_layout.h fixes):
// - the context is a 64-byte record; only its block pointer (offset 48) is set;
// - form A is the host's own document sheet, form 1 a document sheet opened
//   through the driver-UI interface, form 2 the printer sheet: it keeps the
//   printer's default record embedded in its block and leans on a form-1 block
//   (its own, owned here) for the device mode and the sheet flags;
// - the kind words are 0x0000 (form A), 0x0101 (form 1) and 0x0201 (form 2);
// - form 1's block designates two separate 80-byte host records: the sheet
//   parameter record (printer handle at 16, flags at 72) at offset 48 and the
//   document record (device mode at 48) at offset 32;
// - every device mode is the 220-byte public part, a zero host word and the
//   8344-byte record (dmSize 220, dmDriverExtra 8348), the record's header
//   stamped, so that form A finds it 224 bytes in and form 1 by its header;
// - blocks are zero-filled and exactly as large as sheet_layout.h asks;
//   may-apply (form A) starts at 1, flags at 0;
// - form 2 designates the host's copy of the printer's device-option record
//   (null until SetDevOptionRecord).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "settings/printer_ui_context.h"
#include "settings/sheet_layout.h"

namespace nvx::host {

enum class SheetForm { A, One, Two };

class HostSheet {
public:
    explicit HostSheet(SheetForm form, HANDLE printer = nullptr);
    HostSheet(const HostSheet&) = delete;
    HostSheet& operator=(const HostSheet&) = delete;

    SheetForm form() const { return form_; }
    // The context to hand to pages (WM_INITDIALOG parameter).
    settings::PrinterUIContext* Context() { return reinterpret_cast<settings::PrinterUIContext*>(context_.data()); }
    LPARAM ContextParam() { return reinterpret_cast<LPARAM>(Context()); }

    BYTE* Block() { return block_.data(); }
    size_t BlockSize() const { return block_.size(); }
    // The sheet's device mode (form 2: that of its form-1 block).
    DEVMODEW* DevMode();
    size_t DevModeSize() const;
    // The settings record the sheet edits: in the device mode (forms A and 1) or
    // embedded in the block (form 2).
    BYTE* Record();
    // Form 2: the form-1 sheet it leans on; null for the others.
    HostSheet* Form1Sheet() { return inner_.get(); }
    // The host records of form 1 (null for the others).
    BYTE* ParamRecord() { return params_.empty() ? nullptr : params_.data(); }
    BYTE* DocRecord() { return doc_.empty() ? nullptr : doc_.data(); }

    void SetPrinter(HANDLE printer);
    // Form 2: the device-option record the printer sheet edits (the caller's,
    // 6676 bytes, kept by the caller); the other forms carry none.
    void SetDevOptionRecord(BYTE* record);
    // Forms 1 and 2 (form 2 through its form-1 sheet); form A has none.
    void SetSheetFlags(uint32_t flags);
    uint32_t SheetFlags() const;
    // Form A's apply-allowed field.
    void SetMayApply(uint32_t value);
    void SetCounter(uint32_t value);
    uint32_t ChangedMark() const;
    void ClearChangedMark();
    // The device mode's name (cut to 31 characters).
    void SetDeviceName(const WCHAR* name);
    // Copies 8344 bytes into Record() (form 2 also into its device mode's record).
    void LoadRecord(const BYTE* record);

    // Writes a record header: size 8344, "SPLX", version 1, and the size again.
    static void StampRecordHeader(BYTE* record);

private:
    void BuildDevMode();
    size_t ChangedOffset() const;
    size_t CounterOffset() const;

    SheetForm form_;
    std::vector<BYTE> context_;
    std::vector<BYTE> block_;
    std::vector<BYTE> params_;   // form 1
    std::vector<BYTE> doc_;      // form 1
    std::vector<BYTE> devmode_;  // forms A and 1
    std::unique_ptr<HostSheet> inner_;  // form 2
};

}  // namespace nvx::host
