// Building the model tables from the packages beside the module.
#include "model/model_tables.h"

#include <cstring>

#include "common/ansi.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "features/template_adjust.h"
#include "frame/paths.h"
#include "frame/variant_switches.h"
#include "model/package.h"
#include "model/numeric_ranges.h"
#include "model/package_block.h"
#include "model/text_tables.h"
#include "settings/oemdev_defaults.h"
#include "settings/paper_defaults.h"

namespace nvx::model {
namespace {

// A damaged package is reported by the reader and answered as a missing one.
PackagePtr OpenInFolder(const WString& folder, const WCHAR* fileName, uint32_t entrySize = vpd::kEntry52Size) {
    return folder.empty() ? nullptr : Package::OpenDirectory((folder + fileName).c_str(), entrySize);
}

void LoadMessageTables(const Package& pkg, MessageTables& messages) {
    for (unsigned i = 0; i < kMessageTableCount; ++i) {
        if (messages.text[i])
            NumberedStringLoad(pkg, kMessageEntryNames[i], messages.text[i], kMessageSlotChars, kMessageSlots);
    }
}

bool DefaultItemIs(const Package& pkg, const char* entry, const char* key, bool* answer) {
    char name[292] = {};
    if (!pkg.ReadDefaultName(entry, name, sizeof name)) return false;
    *answer = AsciiEqualNoCase(name, key);
    return true;
}

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

// The paper of the user's locale among the model's papers (the package's default
// paper when no paper lists the locale's country).
void FindLocalePaper(PaperNames& papers) {
    const settings::ModelFacts& f = settings::CurrentModelFacts();
    if (const settings::PaperRow* p = settings::ChooseLocalePaper(f.papers, settings::UserCountryCode(),
                                                                  f.hasPackageDefaultPaper, f.packageDefaultPaper)) {
        papers.hasLocalePaper = true;
        papers.localePaper = p->id;
    }
}

TextLoadChoices TextChoices() {
    TextLoadChoices c;
    c.userSettingType1 = frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    c.imageShiftType1 = frame::AskVariant("_DLG_IMGSHIFT_TYPE1") != 0;
    return c;
}

}  // namespace

void ReadMainVersions(const Package& pkg, VersionStrings& v) {
    KeyedValueLoad(pkg, "Version", "Ver_Basic", v.basic, kVersionChars);
    KeyedValueLoad(pkg, "Version", "Ver_UISetup", v.uiSetup, kVersionChars);
    KeyedValueLoad(pkg, "Version", "Ver_Localize", v.localize, kVersionChars);
}

void ReadCustomizationVersion(const ConstraintBlock& constraints, VersionStrings& versions) {
    char text[sizeof(ConstraintHeader::versionText) + 1] = {};
    if (constraints.CustomVersion(text, sizeof text)) WCopy(versions.customization, kVersionChars, WFromAnsi(text));
}

void BuildModelTables(ModelTables& tables, MessageTables& messages, HMODULE self) {
    WCopy(tables.services.makerName, sizeof tables.services.makerName / sizeof(WCHAR), kDefaultMakerName);
    PackagePtr pkg = OpenInFolder(frame::BesideModule(self, WL("")), WL("NOVRIX_D.VPD"));  // 1
    if (!pkg) return;
    if (!features::BuildModelRecord(*pkg, tables)) return;       // 2: the model record
    ReadMainVersions(*pkg, tables.versions);                     // 3
    LoadPaperNames(*pkg, tables.settings.papers);                // 4: paper names, locale paper,
    features::PrepareDefaults(*pkg, tables,                      //    catalogue binding, templates,
                              frame::BesideModule(self, WL("NOVRIX_F.DLL")).c_str());  // font library
    FindLocalePaper(tables.settings.papers);
    // 5: the binding-edge and position lists are chosen after the build.
    LoadTextTables(*pkg, TextChoices());                         // 6: page and dialog texts
    features::LoadOptionTexts(*pkg, tables);                     // 7: option texts and reorders
    LoadNumericRanges(*pkg, tables.ranges);                      // 8
    features::RefillLists(*pkg, tables);                         // 9
    if (!features::BuildDeviceOptionTable(*pkg, tables)) return;  // 10
    features::LoadFaxLists(*pkg, tables);                        // 11
    LoadMessageTables(*pkg, messages);                           // 12
    ReadServiceSettings(*pkg, tables.services);                  // 13
    features::LoadDestinationLists(*pkg, tables);                // 14
    LoadCustomPage(*pkg, tables.settings.customPage);            // 15
    LoadSetupErrorMessages(*pkg, tables.settings.setupErrors);
    LoadEncryptionSettings(*pkg, tables.settings.encryption);
    if (!features::BuildListRelationTable(tables)) return;       // 16
    LoadMessageList(*pkg, tables.settings.messageList);          // 17
    LoadDirectoryAuthMethods(*pkg, tables.settings.directoryAuth);
    // 18: run-time text lookups open their own reader (SetDispStringSingle).
    SetDefaultFontNames(tables.settings.fonts);
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

void FreeModelTables(ModelTables& tables) {
    features::FreeCatalogueTables(tables);
    ClearModelSettings(tables.settings);
    tables.versions = VersionStrings{};
    tables.services = ServiceSettings{};
    tables.ranges = NumericRanges{};
    ResetTextTables();
}

}  // namespace nvx::model
