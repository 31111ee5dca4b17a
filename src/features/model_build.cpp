#include "features/model_build.h"

#include "features/list_builders.h"
#include "features/model_record.h"
#include "features/template_adjust.h"
#include "frame/paths.h"
#include "model/package.h"
#include "model/text_tables.h"
#include "settings/oemdev_defaults.h"
#include "settings/paper_defaults.h"

namespace nvx::features {
namespace {

// The paper of the user's locale among the model's papers (the package's default
// paper when no paper lists the locale's country).
void FindLocalePaper(model::PaperNames& papers) {
    const settings::ModelFacts& f = settings::CurrentModelFacts();
    if (const settings::PaperRow* p = settings::ChooseLocalePaper(f.papers, settings::UserCountryCode(),
                                                                  f.hasPackageDefaultPaper, f.packageDefaultPaper)) {
        papers.hasLocalePaper = true;
        papers.localePaper = p->id;
    }
}

}  // namespace

void BuildModelTables(model::ModelTables& tables, model::MessageTables& messages, HMODULE self) {
    WCopy(tables.services.makerName, sizeof tables.services.makerName / sizeof(WCHAR), model::kDefaultMakerName);
    model::PackagePtr pkg = model::OpenInFolder(frame::BesideModule(self, WL("")), WL("NOVRIX_D.VPD"));  // 1
    if (!pkg) return;
    if (!BuildModelRecord(*pkg, tables)) return;                        // 2: the model record
    model::ReadMainVersions(*pkg, tables.versions);                     // 3
    model::LoadPaperNames(*pkg, tables.settings.papers);                // 4: paper names, locale paper,
    PrepareDefaults(*pkg, tables,                                       //    catalogue binding, templates,
                    frame::BesideModule(self, WL("NOVRIX_F.DLL")).c_str());  // font library
    FindLocalePaper(tables.settings.papers);
    // 5: the binding-edge and position lists are chosen after the build.
    model::LoadTextTables(*pkg, model::TextChoices());                  // 6: page and dialog texts
    LoadOptionTexts(*pkg, tables);                                      // 7: option texts and reorders
    model::LoadNumericRanges(*pkg, tables.ranges);                      // 8
    RefillLists(*pkg, tables);                                          // 9
    if (!BuildDeviceOptionTable(*pkg, tables)) return;                  // 10
    LoadFaxLists(*pkg, tables);                                         // 11
    model::LoadMessageTables(*pkg, messages);                           // 12
    model::ReadServiceSettings(*pkg, tables.services);                  // 13
    LoadDestinationLists(*pkg, tables);                                 // 14
    model::LoadCustomPage(*pkg, tables.settings.customPage);            // 15
    model::LoadSetupErrorMessages(*pkg, tables.settings.setupErrors);
    model::LoadEncryptionSettings(*pkg, tables.settings.encryption);
    if (!BuildListRelationTable(tables)) return;                        // 16
    model::LoadMessageList(*pkg, tables.settings.messageList);          // 17
    model::LoadDirectoryAuthMethods(*pkg, tables.settings.directoryAuth);
    // 18: run-time text lookups open their own reader (SetDispStringSingle).
    model::SetDefaultFontNames(tables.settings.fonts);
}

void FreeModelTables(model::ModelTables& tables) {
    FreeCatalogueTables(tables);
    model::ClearModelSettings(tables.settings);
    tables.versions = model::VersionStrings{};
    tables.services = model::ServiceSettings{};
    tables.ranges = model::NumericRanges{};
    model::ResetTextTables();
}

}  // namespace nvx::features
