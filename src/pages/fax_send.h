// The fax transmission dialog (180) the host opens for a fax job, and its two
// inner dialogs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace nvx::pages {

// What the host passes: seven pointers, in this order.
struct FaxSendToBlock {
    int32_t* count;          // destinations delivered (written on OK)
    BYTE* destinations;      // 100 entries of 652 bytes (written on OK)
    BYTE* coverSheet;        // the cover sheet record, 3746 bytes (written on OK)
    BYTE* faxSetting;        // the job's FaxSetting block, 94 bytes (written on OK)
    HANDLE* printer;         // the printer handle
    BYTE* settingsRecord;    // the job's settings record, read only
    const BYTE* deviceOptions;  // the printer's device-option record, read only
};
static_assert(sizeof(FaxSendToBlock) == 7 * sizeof(void*), "seven pointers");

// Shows the dialog modally, owned by the active window: IDOK (1) when the host's
// buffers hold the job's destinations, IDCANCEL (2) with every buffer untouched.
// A block without count, destinations or FaxSetting block is refused as Cancel.
UINT_PTR RunFaxSendTo(const FaxSendToBlock* block);

// The block of an open fax transmission dialog, for the callbacks the phone book
// component makes with the dialog's window; null for any other window.
const FaxSendToBlock* FaxSendBlockOf(HWND dialog);

INT_PTR CALLBACK FaxSendDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);         // 180
INT_PTR CALLBACK FaxModeDetailsDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 181
INT_PTR CALLBACK ConfirmFaxNumberDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 2575

}  // namespace nvx::pages
