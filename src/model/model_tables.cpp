// Building the model tables from the packages beside the module.
#include "model/model_tables.h"

#include <cstring>

#include "common/ansi.h"
#include "frame/paths.h"
#include "frame/variant_switches.h"
#include "model/package.h"
#include "model/numeric_ranges.h"
#include "model/package_block.h"
#include "model/text_tables.h"

namespace nvx::model {

// A damaged package is reported by the reader and answered as a missing one.
PackagePtr OpenInFolder(const WString& folder, const WCHAR* fileName, uint32_t entrySize) {
    return folder.empty() ? nullptr : Package::OpenDirectory((folder + fileName).c_str(), entrySize);
}

void LoadMessageTables(const Package& pkg, MessageTables& messages) {
    for (unsigned i = 0; i < kMessageTableCount; ++i) {
        if (messages.text[i])
            NumberedStringLoad(pkg, kMessageEntryNames[i], messages.text[i], kMessageSlotChars, kMessageSlots);
    }
}

namespace {
bool DefaultItemIs(const Package& pkg, const char* entry, const char* key, bool* answer) {
    char name[292] = {};
    if (!pkg.ReadDefaultName(entry, name, sizeof name)) return false;
    *answer = AsciiEqualNoCase(name, key);
    return true;
}
}  // namespace

void ReadServiceSettings(const Package& pkg, ServiceSettings& s) {
    LoadConsumables(pkg, s.consumables);
    KeyedValueLoad(pkg, "DLManagerSetting", "DLFileName", s.downloadManagerFile, MAX_PATH);
    KeyedValueLoad(pkg, "RegistryKeySetting", "VendorName", s.makerName, sizeof s.makerName / sizeof(WCHAR));
    s.sharedLogon = 1;
    s.directorySsl = 0;
    bool is = false;
    if (DefaultItemIs(pkg, "LSR_ShareLogonInfo", "LSR_ShareLogonInfoOFF", &is)) s.sharedLogon = is ? 0 : 1;
    if (DefaultItemIs(pkg, "LSR_SSL", "ChkLDAPServerUseSSLON", &is)) s.directorySsl = is ? 1 : 0;
}

TextLoadChoices TextChoices() {
    TextLoadChoices c;
    c.userSettingType1 = frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    c.imageShiftType1 = frame::AskVariant("_DLG_IMGSHIFT_TYPE1") != 0;
    return c;
}

void ReadMainVersions(const Package& pkg, VersionStrings& v) {
    KeyedValueLoad(pkg, "Version", "Ver_Basic", v.basic, kVersionChars);
    KeyedValueLoad(pkg, "Version", "Ver_UISetup", v.uiSetup, kVersionChars);
    KeyedValueLoad(pkg, "Version", "Ver_Localize", v.localize, kVersionChars);
}

void ReadCustomizationVersion(const ConstraintBlock& constraints, VersionStrings& versions) {
    char text[sizeof(ConstraintHeader::versionText) + 1] = {};
    if (constraints.CustomVersion(text, sizeof text)) WCopy(versions.customization, kVersionChars, WFromAnsi(text));
}

void ReadPackageVersions(VersionStrings& versions, const WString& folder) {
    WCopy(versions.driver, kVersionChars, kDefaultDriverVersion);
    if (PackagePtr pkg = OpenInFolder(folder, WL("NOVRIX__.VPD")))
        KeyedValueLoad(*pkg, "Version", "Ver_driver", versions.driver, kVersionChars);
    if (PackagePtr pkg = OpenInFolder(folder, WL("NOVRIX_M.VPD"), vpd::kEntry40Size))
        KeyedValueLoad40(*pkg, "Version", "Ver_Command", versions.command, kVersionChars);
}

bool HasMandatoryTables(const ModelTables& tables) {
    return tables.record != nullptr && tables.deviceOptions != nullptr && tables.listRelations != nullptr;
}

}  // namespace nvx::model
