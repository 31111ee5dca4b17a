#include "pages/fax_links.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/ansi.h"
#include "common/proc.h"
#include "features/list_builders.h"
#include "features/option_record.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "pages/device_option_rows.h"
#include "settings/devoption.h"

namespace nvx::pages::fax {

namespace {

HWND g_phoneBookOwner = nullptr;

const WCHAR kPackageFile[] = WL("NOVRIX_D.VPD");
const WCHAR kPhoneBookLibrary[] = WL("NOVRIX_V.DLL");

// The phone book loaded for one call and freed when the call is over.
class PhoneBookLibrary {
public:
    PhoneBookLibrary() {
        const WString path = frame::BesideModule(frame::Module().self, kPhoneBookLibrary);
        if (!path.empty()) lib_ = frame::LoadModuleLibrary(path.c_str());
    }
    ~PhoneBookLibrary() {
        if (lib_) FreeLibrary(lib_);
    }
    PhoneBookLibrary(const PhoneBookLibrary&) = delete;
    PhoneBookLibrary& operator=(const PhoneBookLibrary&) = delete;
    template <typename Fn>
    Fn Find(const char* name) const {
        return lib_ ? ProcAs<Fn>(GetProcAddress(lib_, name)) : nullptr;
    }

private:
    HMODULE lib_ = nullptr;
};

WString Capped(const WCHAR* text) {
    WString s = text ? WString(text) : WString();
    if (s.size() > kNameChars) s.resize(kNameChars);
    return s;
}

}  // namespace

WString PrinterName(HANDLE printer) {
    if (!printer || printer == INVALID_HANDLE_VALUE) return {};
    DWORD needed = 0;
    GetPrinterW(printer, 1, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 1, buffer.data(), needed, &needed)) return {};
    return Capped(reinterpret_cast<const PRINTER_INFO_1W*>(buffer.data())->pName);
}

WString DriverName(HANDLE printer) {
    if (!printer || printer == INVALID_HANDLE_VALUE) return {};
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 1, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 1, buffer.data(), needed, &needed)) return {};
    return Capped(reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data())->pName);
}

INT_PTR RunCoverSheetDialog(HWND owner, const WCHAR* printer, const WCHAR* driver, UINT mayApply, BYTE* record,
                            BYTE* settings, int32_t count, BYTE* destinations, const settings::PrinterUIContext* ctx) {
    using CoverSheetFn = UINT_PTR (*)(HWND, const WCHAR*, const WCHAR*, UINT, void*, void*, UINT_PTR, void*, UINT_PTR);
    auto dialog = ProcAs<CoverSheetFn>(GetProcAddress(frame::Module().self, "FaxCoverSheet_PopupDialog"));
    if (!dialog || !record) return -1;
    const UINT_PTR r = dialog(owner, printer, driver, mayApply, record, settings,
                              static_cast<UINT_PTR>(static_cast<uint32_t>(count)), destinations,
                              reinterpret_cast<UINT_PTR>(ctx));
    return static_cast<INT_PTR>(r);
}

bool TakePhoneBook(HWND window) {
    if (!g_phoneBookOwner) g_phoneBookOwner = window;
    return g_phoneBookOwner == window;
}

void ReleasePhoneBook(HWND window) {
    if (g_phoneBookOwner == window) g_phoneBookOwner = nullptr;
}

bool OwnsPhoneBook(HWND window) {
    return window && g_phoneBookOwner == window;
}

PhoneBookAnswer AddFromPhoneBook(HWND owner, BYTE* array, int32_t* count, BYTE* itemBytes, HANDLE printer,
                                 int32_t international) {
    using AddFn = UINT_PTR (*)(HWND, BYTE*, int32_t*, BYTE*, PhoneBookParams*);
    PhoneBookLibrary lib;
    auto add = lib.Find<AddFn>("AddFromPhoneBook");
    if (!add) return PhoneBookAnswer::Missing;
    PhoneBookParams params{kPackageFile, &international, printer};
    return add(owner, array, count, itemBytes, &params) ? PhoneBookAnswer::Done : PhoneBookAnswer::Declined;
}

PhoneBookAnswer StoreInPhoneBook(const BYTE* destination) {
    using StoreFn = UINT_PTR (*)(int32_t*, BYTE*);
    PhoneBookLibrary lib;
    auto store = lib.Find<StoreFn>("RegistToPhoneBook");
    if (!store) return PhoneBookAnswer::Missing;
    int32_t one = 1;
    std::vector<BYTE> copy(destination, destination + 652);
    return store(&one, copy.data()) ? PhoneBookAnswer::Done : PhoneBookAnswer::Declined;
}

WString MachineModelName(const BYTE* devOption) {
    const features::DeviceOptionTable* table = model::Loaded().tables.deviceOptions;
    if (!table || !devOption) return {};
    const features::DeviceOptionRow* row = table->Find("OpMachine");
    if (!row) return {};
    const size_t slot = static_cast<size_t>(row - table->rows);  // the row's place is its record slot
    if (slot >= settings::devoption::kOptionSlots) return {};
    const uint16_t raw = settings::GetOptionValue(devOption, slot);
    const uint8_t* value = row->values ? features::FindValue(row->values, raw) : nullptr;
    return value ? ValueName(value) : WString();
}

DeviceInfoDescriptor MakeDeviceInfoDescriptor(const WString& modulePath, const WString& modelName,
                                              const WString& driverName, const WString& printerName) {
    DeviceInfoDescriptor d;
    std::memset(&d, 0, sizeof d);
    AnsiFieldFromW(d.modulePath, sizeof d.modulePath, modulePath);
    AnsiFieldFromW(d.modelName, sizeof d.modelName, modelName.empty() ? WFromAscii(" ") : modelName);
    WString printerKey = printerName;
    while (!printerKey.empty() && printerKey.front() == '\\') printerKey.erase(0, 1);
    AnsiFieldFromW(d.printerKey, sizeof d.printerKey,
                   WFromAscii("Software\\VELMORA\\") + driverName + WFromAscii("\\") + printerKey + WFromAscii("\\"));
    return d;
}

PhoneBookAnswer AddFromDeviceInfo(HWND owner, BYTE* array, int32_t* count, BYTE* itemBytes, HANDLE printer,
                                  int32_t international, const WString& printerName, const WString& driverName,
                                  const BYTE* devOption) {
    using AddFn = UINT_PTR (*)(HWND, BYTE*, int32_t*, BYTE*, PhoneBookParams*, DeviceInfoDescriptor*);
    PhoneBookLibrary lib;
    auto add = lib.Find<AddFn>("AddFromDevInfo");
    if (!add) return PhoneBookAnswer::Missing;
    DeviceInfoDescriptor descriptor = MakeDeviceInfoDescriptor(frame::ModulePath(frame::Module().self),
                                                               MachineModelName(devOption), driverName, printerName);
    PhoneBookParams params{kPackageFile, &international, printer};
    return add(owner, array, count, itemBytes, &params, &descriptor) ? PhoneBookAnswer::Done
                                                                      : PhoneBookAnswer::Declined;
}

PhoneBookAnswer EditPhoneBook(HWND owner, HANDLE printer, int32_t international, uint32_t permission) {
    using EditFn = void (*)(HWND, PhoneBookParams*, uint32_t);
    PhoneBookLibrary lib;
    auto edit = lib.Find<EditFn>("EditPhoneBook");
    if (!edit) return PhoneBookAnswer::Missing;
    PhoneBookParams params{kPackageFile, &international, printer};
    edit(owner, &params, permission);
    return PhoneBookAnswer::Done;
}

}  // namespace nvx::pages::fax
