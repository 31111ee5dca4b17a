// The printer's device-option record (see installed_options.h).
#include "installed_options.h"

#include <memory>

#include "common/text.h"
#include "features/list_builders.h"
#include "features/option_record.h"
#include "model/package.h"
#include "pages/device_option_rows.h"
#include "settings/devoption.h"

namespace novrix {

std::vector<BYTE> LoadPrinterDevOption(HANDLE printer, ResetDevOptionFn reset, bool* stored) {
    std::vector<BYTE> record(nvx::settings::kDevOptionSize, 0);
    DWORD type = 0, needed = 0;
    const DWORD rc = GetPrinterDataW(printer, const_cast<LPWSTR>(WL("DefaultDevOption")), &type, record.data(),
                                     static_cast<DWORD>(record.size()), &needed);
    const bool taken = rc == ERROR_SUCCESS && needed == nvx::settings::kDevOptionSize;
    if (!taken) {
        std::fill(record.begin(), record.end(), BYTE{0});
        if (reset) reset(record.data());
    }
    if (stored) *stored = taken;
    return record;
}

DWORD StorePrinterDevOption(const std::string& printer, const std::vector<BYTE>& record) {
    if (record.size() != nvx::settings::kDevOptionSize) return ERROR_INVALID_PARAMETER;
    nvx::WString name = nvx::WFromUtf8(printer);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ALL_ACCESS;
    HANDLE handle = nullptr;
    if (!OpenPrinterW(name.data(), &handle, &defaults)) return GetLastError();
    DWORD rc = SetPrinterDataW(handle, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY,
                               const_cast<BYTE*>(record.data()), static_cast<DWORD>(record.size()));
    ClosePrinter(handle);
    return rc;
}

namespace {

// The option slots of the model's device-settings items.
std::vector<size_t> DeviceSettingsSlots(const std::string& driverFolder) {
    std::vector<size_t> slots;
    nvx::WString path = nvx::WFromUtf8(driverFolder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::Open(path.c_str());
    if (!pkg) return slots;
    std::unique_ptr<nvx::features::DeviceOptionTable> table(nvx::features::MakeDeviceOptionTable(*pkg));
    if (!table) return slots;
    for (const char* item : {"DevUserAuthentication", "DevAccountTrack", "DevPublicUser", "DevSingleSignOn"})
        if (const auto* row = table->Find(item); row && row->index < nvx::settings::devoption::kOptionSlots)
            slots.push_back(row->index);
    return slots;
}

// Whether the records differ outside the device-settings items.
bool InstalledOptionsDiffer(std::vector<BYTE> a, std::vector<BYTE> b, const std::vector<size_t>& itemSlots) {
    for (size_t slot : itemSlots) {
        nvx::settings::SetOptionValue(a.data(), slot, 0);
        nvx::settings::SetOptionValue(b.data(), slot, 0);
    }
    return a != b;
}

}  // namespace

UINT_PTR AcquireForSheets(SheetsInitFn init, ResetDevOptionFn reset, HANDLE printer, const std::string& name,
                          const std::string& driverFolder, std::string* note) {
    note->clear();
    std::vector<BYTE> record = LoadPrinterDevOption(printer, reset);
    const std::vector<BYTE> before = record;
    nvx::WString wname = nvx::WFromUtf8(name);
    UINT_PTR code = init(reinterpret_cast<UINT_PTR>(printer), reinterpret_cast<UINT_PTR>(wname.c_str()), 0,
                         reinterpret_cast<UINT_PTR>(record.data()), 0, 0);
    if (code != 0 || record == before) return code;
    const bool installed = InstalledOptionsDiffer(record, before, DeviceSettingsSlots(driverFolder));
    const DWORD rc = StorePrinterDevOption(name, record);
    if (!installed) return code;
    if (rc != ERROR_SUCCESS)
        *note = "Installed options: the device reported other options than the printer keeps, but they could not "
                "be kept with the printer (error " + std::to_string(rc) +
                (rc == ERROR_ACCESS_DENIED ? ": only a user who may administer the printer changes them" : "") + ").";
    else
        *note = "Installed options: taken from the device and kept with the printer (novrix device info lists them).";
    return code;
}

std::vector<std::string> DescribeInstalledOptions(const std::string& driverFolder, const std::vector<BYTE>& record) {
    std::vector<std::string> lines;
    nvx::WString path = nvx::WFromUtf8(driverFolder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::Open(path.c_str());
    if (!pkg) return lines;
    std::unique_ptr<nvx::features::DeviceOptionTable> table(nvx::features::MakeDeviceOptionTable(*pkg));
    if (!table) return lines;
    for (uint32_t i = 0; i < table->count && i < nvx::settings::devoption::kOptionSlots; ++i) {
        const nvx::features::DeviceOptionRow& row = table->rows[i];
        const uint16_t value = nvx::settings::GetOptionValue(record.data(), i);
        const uint8_t* rec = nvx::features::FindValue(row.values, value);
        std::string shown = rec ? nvx::Utf8FromW(nvx::pages::ValueName(rec)) : std::to_string(value);
        lines.push_back(nvx::Utf8FromW(row.name) + ": " + shown);
    }
    return lines;
}

}  // namespace novrix
