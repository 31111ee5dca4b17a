// What the fax tab and the fax transmission dialog reach outside themselves: the
// printer's names, the printer's current cover sheet and the cover sheet dialog
// (through the module's own export), and the phone book component NOVRIX_V.DLL,
// loaded beside the module only for the moment of one call.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "platform/win32.h"
#include "settings/printer_ui_context.h"

namespace nvx::pages::fax {

inline constexpr size_t kCoverSheetBytes = 3746;
inline constexpr size_t kNameChars = 259;  // printer and driver names handed on

// The printer's name (level 1) and its driver's name (level 1), at most 259
// characters each; empty when the printer cannot be asked.
WString PrinterName(HANDLE printer);
WString DriverName(HANDLE printer);

// The printer's current cover sheet record into `record` (kCoverSheetBytes); false,
// with the record left as it was, when the printer has none that reads.
bool ReadPrinterCoverSheet(const WCHAR* printer, const WCHAR* driver, BYTE* record);
// Stores the record as the printer's current cover sheet; false when it was not stored.
bool WritePrinterCoverSheet(const WCHAR* printer, const WCHAR* driver, const BYTE* record);

// The cover sheet dialog through FaxCoverSheet_PopupDialog: its end code, 1 when
// the record was edited; -1 when the dialog could not run (the record is then as
// it was).
INT_PTR RunCoverSheetDialog(HWND owner, const WCHAR* printer, const WCHAR* driver, UINT mayApply, BYTE* record,
                            BYTE* settings, int32_t count, BYTE* destinations, const settings::PrinterUIContext* ctx);

// ---- Phone book ----

// The one fax window of the process that may start the phone book: the first fax
// tab or fax transmission dialog that opens.  TakePhoneBook answers whether
// `window` is (now) the owner; ReleasePhoneBook gives it up when `window` owns it.
bool TakePhoneBook(HWND window);
void ReleasePhoneBook(HWND window);
bool OwnsPhoneBook(HWND window);

enum class PhoneBookAnswer {
    Done,       // the entry point ran and answered non-zero
    Declined,   // it ran and answered 0
    Missing,    // the library or the entry point is not there
};

// What every phone book call is given: the package file name, the model's
// international-transmission flag, the printer.  24 bytes on 64-bit Windows.
struct PhoneBookParams {
    const WCHAR* packageFile;      // "NOVRIX_D.VPD"
    const int32_t* international;  // 1 when the model supports international transmission
    HANDLE printer;
};
static_assert(offsetof(PhoneBookParams, packageFile) == 0);
static_assert(offsetof(PhoneBookParams, international) == sizeof(void*));
static_assert(offsetof(PhoneBookParams, printer) == 2 * sizeof(void*));
static_assert(sizeof(PhoneBookParams) == 3 * sizeof(void*), "24 bytes with 64-bit pointers");

// What AddFromDevInfo is given besides: 828 bytes of narrow text in the system
// code page, each field terminated and cut on a character boundary.
struct DeviceInfoDescriptor {
    char modulePath[260];  // this module's full path
    char modelName[48];    // the machine's model name (option "OpMachine"), " " without one
    char printerKey[520];  // "Software\VELMORA\<driver>\<printer>\"
};
static_assert(offsetof(DeviceInfoDescriptor, modulePath) == 0);
static_assert(offsetof(DeviceInfoDescriptor, modelName) == 260);
static_assert(offsetof(DeviceInfoDescriptor, printerKey) == 308);
static_assert(sizeof(DeviceInfoDescriptor) == 828 && alignof(DeviceInfoDescriptor) == 1);

// The machine's model name: the display value the device-option record holds for
// the model's option "OpMachine"; empty when the model has no such option or the
// record is null.
WString MachineModelName(const BYTE* devOption);

// The descriptor for a module path, a model name (empty: a single space), a
// driver and a printer name (leading backslashes dropped).
DeviceInfoDescriptor MakeDeviceInfoDescriptor(const WString& modulePath, const WString& modelName,
                                              const WString& driverName, const WString& printerName);

// AddFromPhoneBook(owner, array, &count, item bytes, params).
PhoneBookAnswer AddFromPhoneBook(HWND owner, BYTE* array, int32_t* count, BYTE* itemBytes, HANDLE printer,
                                 int32_t international);
// RegistToPhoneBook(&one, copy of the destination).
PhoneBookAnswer StoreInPhoneBook(const BYTE* destination);
// AddFromDevInfo(owner, array, &count, item bytes, params, device descriptor).
PhoneBookAnswer AddFromDeviceInfo(HWND owner, BYTE* array, int32_t* count, BYTE* itemBytes, HANDLE printer,
                                  int32_t international, const WString& printerName, const WString& driverName,
                                  const BYTE* devOption);
// EditPhoneBook(owner, params, permission).
PhoneBookAnswer EditPhoneBook(HWND owner, HANDLE printer, int32_t international, uint32_t permission);

}  // namespace nvx::pages::fax
