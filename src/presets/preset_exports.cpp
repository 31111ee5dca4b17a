// Exports of the presets: installing a printer's factory presets.
#include "frame/exports.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/package.h"
#include "presets/printer_presets.h"

namespace {

// The catalogue of the model package beside the module, and the folder its files lie in.
bool Catalogue(std::vector<nvx::presets::FactoryPreset>* catalogue, nvx::WString* folder) {
    nvx::frame::ModuleState& module = nvx::frame::Module();
    const nvx::WString path = nvx::frame::BesideModule(module.self, WL("NOVRIX_D.VPD"));
    nvx::model::PackagePtr pkg =
        path.empty() ? nullptr : nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg) return false;
    *catalogue = nvx::presets::ReadFactoryCatalogue(*pkg);
    *folder = nvx::frame::BesideModule(module.self, WL(""));
    return true;
}

}  // namespace

// Installs the model's factory presets as shared presets of the printer; the handle
// must allow administering (its data is written).  1 on success or when they were
// installed before, 0 when the package cannot be read or the store not written.
NVX_EXPORT UINT_PTR SetEasySetPresetByHandle(HANDLE printer) {
    if (!printer || printer == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    uint32_t installed = 0;
    if (nvx::model::ValueStore::OfPrinter(printer).ReadDword(nvx::presets::kInstalledValue, &installed) &&
        installed != 0)
        return 1;
    std::vector<nvx::presets::FactoryPreset> catalogue;
    nvx::WString folder;
    if (!Catalogue(&catalogue, &folder)) return 0;
    const DWORD rc = nvx::presets::InstallFactoryPresets(printer, catalogue, folder, &nvx::model::Loaded().tables);
    if (rc != ERROR_SUCCESS) {
        SetLastError(rc);
        return 0;
    }
    return 1;
}

// The same by printer name: the printer is opened with administer access.
NVX_EXPORT UINT_PTR SetEasySetPreset(const WCHAR* printerName) {
    if (!printerName || !printerName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    nvx::WString name(printerName);
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ACCESS_ADMINISTER;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, &defaults)) return 0;
    const UINT_PTR result = SetEasySetPresetByHandle(printer);
    const DWORD error = GetLastError();
    ClosePrinter(printer);
    SetLastError(error);
    return result;
}
