// Model data tables built from the main package at attach, read-only afterwards.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "model/messages.h"
#include "model/model_settings.h"
#include "model/numeric_ranges.h"

namespace nvx::features {
struct ModelRecord;
struct DeviceOptionTable;
struct ListRelationTable;
}  // namespace nvx::features

namespace nvx::model {

class Package;
class ConstraintBlock;

constexpr size_t kVersionChars = 32;

// Version strings of the packages.
struct VersionStrings {
    WCHAR basic[kVersionChars] = {};         // "Version" / "Ver_Basic" of NOVRIX_D.VPD
    WCHAR uiSetup[kVersionChars] = {};       // "Version" / "Ver_UISetup"
    WCHAR localize[kVersionChars] = {};      // "Version" / "Ver_Localize"
    WCHAR driver[kVersionChars] = {};        // NOVRIX__.VPD "Ver_driver", built-in "1.2.6"
    WCHAR command[kVersionChars] = {};       // NOVRIX_M.VPD "Ver_Command"
    WCHAR customization[kVersionChars] = {}; // constraint file header "Ver_Cst"
};

// Service settings of the package.
struct ServiceSettings {
    ConsumablesSettings consumables;   // "Varnx" and "ConsumSetting"
    WCHAR makerName[257] = {};         // "RegistryKeySetting" / "VendorName", else "VELMORA"
    WCHAR downloadManagerFile[MAX_PATH] = {};  // "DLManagerSetting" / "DLFileName"
    uint32_t sharedLogon = 1;          // "LSR_ShareLogonInfo"
    uint32_t directorySsl = 0;         // "LSR_SSL"
};

// The model record, the device-option table and the list-relation table are the
// feature catalogue's (features/model_record.h, features/list_builders.h).
using features::ModelRecord;

struct ModelTables {
    // Mandatory: without any of the three attach fails.
    ModelRecord* record = nullptr;
    features::DeviceOptionTable* deviceOptions = nullptr;
    features::ListRelationTable* listRelations = nullptr;

    VersionStrings versions;
    ServiceSettings services;
    NumericRanges ranges;
    ModelSettings settings;  // paper names, custom page, setup messages, cipher, ...
};

// The built-in maker name.
inline constexpr const WCHAR* kDefaultMakerName = WL("VELMORA");
// The built-in driver version.
inline constexpr const WCHAR* kDefaultDriverVersion = WL("1.2.6");

// Builds the tables from NOVRIX_D.VPD beside the module, filling the message tables
// on the way.  Leaves the mandatory tables null when the package cannot be read.
void BuildModelTables(ModelTables& tables, MessageTables& messages, HMODULE self);
// Reads the driver and command versions from NOVRIX__.VPD and NOVRIX_M.VPD in
// folder (a path ending in a separator, as BesideModule(self, "") gives it).
void ReadPackageVersions(VersionStrings& versions, const WString& folder);
// The customisation version: the constraint header's text (ANSI, system code page)
// when its name field reads "Ver_Cst"; unchanged otherwise.
void ReadCustomizationVersion(const ConstraintBlock& constraints, VersionStrings& versions);
// Reads the three versions of the main package's "Version" entry.
void ReadMainVersions(const Package& pkg, VersionStrings& versions);
bool HasMandatoryTables(const ModelTables& tables);
// Frees the tables and puts every value the build filled (versions, service
// settings, ranges, model settings, texts) back to its built-in state, so that a
// later build starts clean.
void FreeModelTables(ModelTables& tables);

}  // namespace nvx::model
