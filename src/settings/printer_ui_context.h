// The printer UI context: the host's handle for one open property sheet.
//
// A page receives the context with WM_INITDIALOG, keeps it in its window's user
// data slot (DWLP_USER) and reaches every piece of sheet data through the
// accessors below.  They hide the three forms of sheet block the host uses
// (layout in sheet_layout.h).  The host owns the context, the block and the
// device mode; the module reads and writes them in place and never frees them.
//
// Every accessor takes a null context, a context without a block and a block of
// an unknown form, and answers its none value then: false, 0, null, or the
// all-ones handle for the printer.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace nvx::settings {

// Opaque: only the host knows its other fields.
struct PrinterUIContext;

// The context as a page finds it in a WM_INITDIALOG parameter.
inline PrinterUIContext* ContextFromParam(LPARAM lParam) {
    return reinterpret_cast<PrinterUIContext*>(lParam);
}

// True when the context has a block whose kind word's low byte is 0.
bool ContextIsFormA(const PrinterUIContext* ctx);
// The kind word's high byte; 0 for a null context or a missing block.
uint8_t ContextForm(const PrinterUIContext* ctx);

// The sheet's settings record (8344 bytes), or null.  Form A: 224 bytes into the
// device mode; form 1: the record found in the device mode's driver-extra area;
// form 2: the record embedded in the block.
BYTE* ContextSettingsRecord(const PrinterUIContext* ctx);
// The sheet's printer, or INVALID_HANDLE_VALUE when there is no sheet to ask.
HANDLE ContextPrinter(const PrinterUIContext* ctx);
// The sheet's device mode (pages write public fields such as dmCopies), or null.
DEVMODEW* ContextDevMode(const PrinterUIContext* ctx);
// The module's per-sheet page state (layout::kPageWorkBytes usable), or null.
BYTE* ContextPageWorkArea(const PrinterUIContext* ctx);
// The second per-sheet area (layout::kSecondaryWorkBytes usable), or null.
BYTE* ContextSecondaryWorkArea(const PrinterUIContext* ctx);
// The printer's device-option record (6676 bytes) that a printer sheet (form 2)
// edits, or null (the document sheets carry none, or the host gave none).
BYTE* ContextDevOptionRecord(const PrinterUIContext* ctx);
// The host's sheet flags (forms 1 and 2), else 0.
uint32_t ContextSheetFlags(const PrinterUIContext* ctx);
// Whether the sheet lets the user apply changes.  Form A: the block's field;
// forms 1 and 2: 1 unless the flag 0x20 (first variant) or 0x01 (second) is set.
uint32_t ContextMayApply(const PrinterUIContext* ctx);
uint32_t ContextMayApplyAlt(const PrinterUIContext* ctx);
// The host's counter value, or 0.
uint32_t ContextCounter(const PrinterUIContext* ctx);
// Sets the sheet's changed mark to 1 (never cleared by the module).
void ContextSetChanged(const PrinterUIContext* ctx);

// The media value registered for each tray slot 1 ... 20 of the sheet, as the
// constraint engine normalises the per-tray media values 1001 ... 1020: slot n is
// the media of the settings record's tray entry n - 1 (PTInfoEach[n - 1].nValue) for
// the ten trays the record keeps; 0 (none registered) for the slots 11 ... 20, which
// the record has no entry for.  Without a record every slot is 0 and the answer is
// false.
inline constexpr size_t kTraySlots = 20;
bool ContextTrayMedia(const PrinterUIContext* ctx, int32_t (&media)[kTraySlots]);

// Fills the sheet's settings record with the printer's default settings and
// answers true; false (nothing filled) when the context has no record.  The
// defaults come from the settings record code through FillDefaultSettingsHook.
bool ContextDefaultSettings(const PrinterUIContext* ctx);

// The one place where the context reaches the settings record code for the
// defaults of (record, printer): settings::FillDefaultSettings.  False for a null record.
bool FillDefaultSettingsHook(BYTE* record, HANDLE printer);

}  // namespace nvx::settings
