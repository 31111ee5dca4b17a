// Model data tables built from the main package at attach, read-only afterwards.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "model/messages.h"
#include "model/model_settings.h"
#include "model/numeric_ranges.h"
#include "model/package.h"
#include "model/text_tables.h"
#include "model/vpd_format.h"

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

// The steps of building the tables that need only the package (the build itself,
// which runs the feature loaders between them, is features::BuildModelTables).
// A package in folder (a path ending in a separator), or null when it is missing
// or damaged (the reader reports the damage).
PackagePtr OpenInFolder(const WString& folder, const WCHAR* fileName, uint32_t entrySize = vpd::kEntry52Size);
void LoadMessageTables(const Package& pkg, MessageTables& messages);
void ReadServiceSettings(const Package& pkg, ServiceSettings& services);
// Which text tables the variant switches choose.
TextLoadChoices TextChoices();
// Reads the driver and command versions from NOVRIX__.VPD and NOVRIX_M.VPD in
// folder (a path ending in a separator, as BesideModule(self, "") gives it).
void ReadPackageVersions(VersionStrings& versions, const WString& folder);
// The customisation version: the constraint header's text (ANSI, system code page)
// when its name field reads "Ver_Cst"; unchanged otherwise.
void ReadCustomizationVersion(const ConstraintBlock& constraints, VersionStrings& versions);
// Reads the three versions of the main package's "Version" entry.
void ReadMainVersions(const Package& pkg, VersionStrings& versions);
bool HasMandatoryTables(const ModelTables& tables);

}  // namespace nvx::model
