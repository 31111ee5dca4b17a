// A printer's presets: its stores opened for reading and writing, the facts entries
// are made with, and the factory presets that a new printer receives from the
// model data (docs/presets.md).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/text.h"
#include "model/package.h"
#include "presets/preset_store.h"
#include "presets/setup_transfer.h"

namespace nvx::model {
struct ModelTables;
}

namespace nvx::presets {

// The process-wide content options (8 bytes, zero at start) that new presets take;
// the preset options dialog sets them where the model enables it.
ContentOptions& ProcessContentOptions();

// The language identifier of the model's texts: the model data carries none, so
// every model's texts are of this one.
inline constexpr uint16_t kModelLanguageId = 0x0409;

// The model's resolution table (horizontal, vertical, combined, bits per pixel) from
// its model record; empty without one.
std::vector<std::array<int32_t, 4>> ResolutionTable(const model::ModelTables* tables);

// The facts entries of this printer are made with: its driver name, the model's
// language code, the process-wide content options, the exchange rules of the
// variant table and the model's resolutions, the printer's stored watermark lists
// and whether the monochrome rule applies.
PresetEnvironment PrinterEnvironment(HANDLE printer, const model::ModelTables* tables);

// Whether the current user may administer the printer (its data can be written).
bool CanAdministerPrinter(HANDLE printer);

// Builds the printer's list for a record (stores, order, "DefaultEasySet", the
// printer's default settings); false when no Default entry could be made.
bool LoadPrinterList(HANDLE printer, const OEMDEV& record, const ApplyContext& ctx, EasySetList* list);
// Writes a scope's store from the list: the shared store through a handle opened
// with administer access (ERROR_ACCESS_DENIED for a user who may not), the per-user
// store under the user's key (made when missing).
DWORD SavePrinterScope(HANDLE printer, const EasySetList& list, uint32_t scope);
// Writes the display order under the user's key.
DWORD SavePrinterOrder(HANDLE printer, const EasySetList& list);

// The printer's locked settings ("DD-FixSetting", written by the setup lock file):
// the entries that lock a feature, in record order; none when the printer keeps no
// record of 452 bytes.
std::vector<LockEntry> ReadLockedSettings(HANDLE printer);

// ---- Factory presets ----

inline constexpr const WCHAR* kInstalledValue = WL("SetEasySetPreset");
inline constexpr const WCHAR* kFirstRecordValue = WL("EasySetFirstOEMDev");

struct FactoryPreset {
    std::string key;   // the catalogue item's key
    WString file;      // the preset file beside the module
    WString name;      // "EasySetName_<key>" name (may be empty)
    WString comment;   // its comment, decoded
    bool first = false;  // the catalogue's designated item
};

// The catalogue "EasySet" of the model package with the texts of "EasySetName_%s".
std::vector<FactoryPreset> ReadFactoryCatalogue(const model::Package& pkg);
// A catalogue comment: backslash n becomes CR LF, two backslashes one, backslash r
// and a backslash before any other character are dropped; cut at 256 characters.
WString DecodeCatalogueComment(WStringView raw);
// Whether a factory file fits this driver: versionnum 1, an empty or the current
// language (case ignored), and the model rule of the import check.
bool AcceptFactoryFile(const SettingsDoc& doc, const PresetEnvironment& env);

// Installs the catalogue's presets as shared presets of the printer (opened with
// administer access): nothing when "SetEasySetPreset" is set; files that do not read
// or fit are skipped; a name that a shared preset holds already is skipped; the
// designated item also gives "EasySetFirstOEMDev".  On success "SetEasySetPreset"
// becomes 1.  Answers ERROR_SUCCESS or the failure.
DWORD InstallFactoryPresets(HANDLE printer, const std::vector<FactoryPreset>& catalogue, const WString& folder,
                            const model::ModelTables* tables);

// The printer's "EasySetFirstOEMDev" when it is exactly one record.
bool ReadFirstPresetRecord(HANDLE printer, OEMDEV* out);

}  // namespace nvx::presets
