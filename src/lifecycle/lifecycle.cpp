// The attach and detach sequences of the module.
//
// Attach and detach run under the system's loader lock: they create no threads,
// wait for nothing and talk to no device.
#include "common/proc.h"
#include "constraints/prepared_rules.h"
#include "device/oapi_link.h"
#include "device/printer_cipher.h"
#include "features/model_build.h"
#include "features/model_record.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "frame/variant_switches.h"
#include "lifecycle/lifecycle.h"
#include "model/loaded_model.h"
#include "pages/hints.h"
#include "pages/stop_icon_draw.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "settings/settings_state.h"

namespace nvx::lifecycle {

using namespace frame;  // the frame state, paths and variant switches the steps use

namespace {

// ---- Attach steps, in order ----

void LoadImageResources(ModuleState& m) {
    m.imageResources = LoadModuleLibrary(BesideModule(m.self, WL("NOVRIX_R.DLL")).c_str());
}

void LoadDialogResources(ModuleState& m) {
    m.dialogResources = LoadModuleLibrary(BesideModule(m.self, WL("NOVRIX_S.DLL")).c_str());
}

void LinkDeviceApi(ModuleState& m) {
    device::LinkDeviceApi(BesideModule(m.self, WL("NOVRIX_O.DLL")).c_str());
}

void AllocateHintBuffers(ModuleState&) {
    pages::AllocateHintBuffers();
    // The engine shows its icons through the pages' drawing.
    pages::RegisterStopIconRedraw();
}

void ClearEngineStateWords(ModuleState& m) {
    // Two of the twelve words belong to the type-1 cover page and stay untouched
    // when that variant is not built.
    const bool coverType1 = AskVariant("_PRP_COVER_TYPE1") != 0;
    for (unsigned i = 0; i < 12; ++i)
        if (i < 10 || !coverType1) m.engineStateWords[i] = 0;
}

void ResetDeviceApiSelection(ModuleState& m) {
    m.deviceApiSelected = 0;
    m.deviceApiSelectionMarker = 0xFFFD;
}

void ReadConstraintFile(ModuleState& m) {
    // A missing file leaves one zeroed row of each kind and a rule count of 0.
    model::Loaded().constraints.Load(BesideModule(m.self, WL("NOVRIX_C.VPD")).c_str());
}

void AllocatePageBuffers(ModuleState& m) {
    // N comes from the model record; each slot keeps one value per constraint rule.
    const model::LoadedModel& loaded = model::Loaded();
    const int32_t columns = loaded.tables.record ? loaded.tables.record->facts[features::kFactPerPageCount] : 0;
    if (columns <= 0 || static_cast<size_t>(columns) > kPerPageMaxColumns) return;
    AllocatePerPageBuffers(m.perPage, static_cast<size_t>(columns), loaded.constraints.RuleCount());
}

void BuildUiItemTable(ModuleState&) {
    // Built from the UI item definitions and the device-option table.
    features::UiBuildInputs in;
    in.record = model::Loaded().tables.record;
    in.deviceOptions = model::Loaded().tables.deviceOptions;
    features::BuildModuleItems(in);
}

void ChooseBindingEdgeList(ModuleState&) {
    model::LoadedModel& loaded = model::Loaded();
    if (loaded.tables.record && loaded.tables.record->Multifunction()) {
        loaded.bindingEdgeList = "BindingEdge_MFP";
        return;
    }
    // The orientation of the default settings: 2 is landscape (DMORIENT_LANDSCAPE).
    const bool landscape = settings::GetNumber(settings::DefaultTemplate(), "nOrientation") == 2;
    loaded.bindingEdgeList = landscape ? "BindingEdge_PRN_Landscape" : "BindingEdge_PRN_Portrait";
}

void BuildConstraintIndex(ModuleState&) {
    constraints::BuildConstraintIndex();
}

void ReadCustomizationVersion(ModuleState&) {
    model::ReadCustomizationVersion(model::Loaded().constraints, model::Loaded().tables.versions);
}

void LinkSecurityInterface(ModuleState& m) {
    m.security.library = LoadModuleLibrary(WL("Secur32.dll"));
    if (!m.security.library) return;
    using InitFn = void* (WINAPI*)(void);
    auto init = ProcAs<InitFn>(GetProcAddress(m.security.library, "InitSecurityInterfaceW"));
    m.security.functionTable = init ? init() : nullptr;
    m.security.getUserNameEx = GetProcAddress(m.security.library, "GetUserNameExW");
    m.security.count = 37;
}

// ---- Detach steps ----

void FreeHintBuffers(ModuleState&) {
    pages::FreeHintBuffers();
    pages::UnregisterStopIconRedraw();
}
void DestroyToolWindows(ModuleState&) {
    pages::DestroyToolWindows();
}
void FreePageBuffers(ModuleState& m) {
    FreePerPageBuffers(m.perPage);
}
void FreeConstraintFile(ModuleState&) {
    model::Loaded().constraints.Clear();
}
void FreeConstraintIndex(ModuleState&) {
    constraints::FreeConstraintIndex();
}
void FreeUiItemTable(ModuleState&) {
    features::FreeModuleItems();
}
void FreeSetupErrorMessages(ModuleState&) {}

void UnlinkSecurityInterface(ModuleState& m) {
    if (m.security.library) {
        FreeLibrary(m.security.library);
        m.security.library = nullptr;
    }
    m.security.functionTable = nullptr;
    m.security.getUserNameEx = nullptr;
}

void FreeResourceLibraries(ModuleState& m) {
    if (m.imageResources) {
        FreeLibrary(m.imageResources);
        m.imageResources = nullptr;
    }
    // The dialog resource library is released too, so that a failed or finished
    // load leaves no library of the module behind.
    if (m.dialogResources) {
        FreeLibrary(m.dialogResources);
        m.dialogResources = nullptr;
    }
}

}  // namespace

BOOL AttachModule(HMODULE self) {
    ModuleState& m = Module();
    model::LoadedModel& loaded = model::Loaded();
    m.self = self;                                        // 1
    LoadImageResources(m);                                // 2
    LoadDialogResources(m);                               // 3
    device::InitDeviceApiLock();                          // 4
    LinkDeviceApi(m);                                     // 5
    model::AllocateMessageTables(loaded.messages);        // 6
    AllocateHintBuffers(m);                               // 7
    ClearEngineStateWords(m);                             // 8
    settings::PrepareSettings();                          // 9: the templates the build adjusts
    features::BuildModelTables(loaded.tables, loaded.messages, self);
    ResetDeviceApiSelection(m);                           // 10
    if (!model::HasMandatoryTables(loaded.tables)) return FALSE;  // 11
    ReadConstraintFile(m);                                // 12
    model::LinkHostLibrary(loaded.host, self);            // 13
    if (AskVariant("_PRP_COVER_TYPE1") == 0) AllocatePageBuffers(m);  // 14
    BuildUiItemTable(m);                                  // 15
    ChooseBindingEdgeList(m);                             // 16
    BuildConstraintIndex(m);                              // 17
    model::ReadPackageVersions(loaded.tables.versions, BesideModule(self, WL("")));  // 18
    ReadCustomizationVersion(m);                          // 19
    LinkSecurityInterface(m);                             // 20
    m.attached = true;
    return TRUE;                                          // 21
}

void DetachModule() {
    ModuleState& m = Module();
    model::LoadedModel& loaded = model::Loaded();
    model::FreeMessageTables(loaded.messages);            // 1
    FreeHintBuffers(m);                                   // 2
    DestroyToolWindows(m);                                // 3
    if (AskVariant("_PRP_COVER_TYPE1") == 0) FreePageBuffers(m);  // 4
    device::UnlinkDeviceApi();                            // 5
    device::DeleteDeviceApiLock();                        // 6
    FreeResourceLibraries(m);                             // 7
    FreeConstraintFile(m);                                // 8
    FreeConstraintIndex(m);                               // 9
    features::FreeModelTables(loaded.tables);             // 10
    settings::ReleaseSettings();
    FreeUiItemTable(m);                                   // 11
    FreeSetupErrorMessages(m);                            // 12
    UnlinkSecurityInterface(m);                           // 13
    model::UnlinkHostLibrary(loaded.host);                // 14
    // What attach chose rather than allocated goes too, so that a later attach in
    // the same process starts from nothing.
    loaded.bindingEdgeList = nullptr;
    device::ForgetPrinterCiphers();  // they carry the model's cipher settings
    m.attached = false;
}

}  // namespace nvx::lifecycle
