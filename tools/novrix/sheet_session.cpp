// The printing-preferences sheet session (see sheet_session.h).
#include "sheet_session.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "common/text.h"
#include "features/model_build.h"
#include "features/model_record.h"
#include "features/template_adjust.h"
#include "installed_options.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "package_versions.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"

namespace novrix {

// The document tabs in the order of the module's table of page procedures (its
// exports): Basic, Layout, Quality, Finishing, Cover/Insert, Other, Fax, Version, then the
// document sheet's initial page and the custom page (My Tab).
const PageEntry kPreferencePages[] = {
    {"Basic", 100, "Prc_DocPaper1Proc"},
    {"Layout", 101, "Prc_DocPaper2Proc"},
    {"Quality", 196, "Prc_DocQualityMonoProc"},
    {"Finishing", 110, "Prc_DocFinishingProc_T2"},
    {"Cover/Insert", 113, "Prc_DocCoverPageProc_T2"},
    {"Other", 187, "Prc_DocOtherProc"},
    {"Stamp/Composition", 104, "Prc_DocWOProc"},
    {"Fax", 171, "Prc_DocFaxProc", true},
    {"Version", 106, "Prc_DocVersionProc"},
    {"Device Settings", 161, "Prc_DocInitializeProc"},
    {"My Tab", 230, "Prc_DocMyTabProc"},
};
const size_t kPreferencePageCount = sizeof kPreferencePages / sizeof kPreferencePages[0];

const PageEntry kPrinterPages[] = {
    {"Device Options", 156, "Prc_PrnDeviceOptionProc"},
    {"Settings", 157, "Prc_PrnSettingsProc"},
};
const size_t kPrinterPageCount = sizeof kPrinterPages / sizeof kPrinterPages[0];

// The page's copy of its PROPSHEETPAGEW is the context the module reads: lParam
// must sit where the context keeps its block pointer.
static_assert(offsetof(PROPSHEETPAGEW, lParam) == 48, "the page's lParam is the context's block pointer");

SheetSession::~SheetSession() {
    DestroySheet();
}

void SheetSession::DestroySheet() {
    if (sheet_) DestroyWindow(sheet_);
    sheet_ = nullptr;
}

// The default settings as the module makes them: the built-in template adjusted to
// the model data of the printer's driver folder (the module does this at attach).
// The model tables stay for the process: the catalogue points into them.
void SheetSession::PrepareModelDefaults(const std::string& folder) {
    static nvx::model::ModelTables tables;
    static std::string prepared;
    if (prepared == folder) return;
    nvx::settings::PrepareDefaultTemplate();
    const nvx::WString path = nvx::WFromUtf8(folder + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    if (!pkg) return;
    nvx::features::FreeModelTables(tables);
    if (!nvx::features::BuildModelRecord(*pkg, tables)) return;
    nvx::features::PrepareDefaults(*pkg, tables);
    prepared = folder;
}

bool SheetSession::Open(const Options& options, const std::string& printer, std::string* error, SheetKind kind) {
    kind_ = kind;
    printerName_ = printer.empty() ? DefaultPrinterName() : printer;
    if (printerName_.empty()) {
        *error = "there is no default printer; name one with --printer (novrix printer list)";
        return false;
    }
    if (DWORD rc = printer_.Open(printerName_); rc != ERROR_SUCCESS) {
        *error = "unknown printer \"" + printerName_ + "\" (" + ErrorText(rc) + "; novrix printer list shows them)";
        return false;
    }
    std::string folder = PrinterDriverFolder(printer_.get(), options);
    NvxPlatform_SetDriverFolder(kDriverName, folder.c_str());
    if (!module_.Load(folder)) {
        *error = module_.Error();
        return false;
    }
    const bool printerSheet = kind == SheetKind::Printer;
    host_ = std::make_unique<nvx::host::HostSheet>(printerSheet ? nvx::host::SheetForm::Two : nvx::host::SheetForm::A,
                                                   printer_.get());
    PrepareModelDefaults(folder);
    LoadDevMode();
    nvx::WString wname = nvx::WFromUtf8(printerName_);
    if (printerSheet) {
        devOption_ = LoadPrinterDevOption(printer_.get(), module_.Entry<ResetDevOptionFn>("Prc_ResetDevOption"),
                                          &loadedStored_);
        host_->SetDevOptionRecord(devOption_.data());
    }
    // The host refreshes the device information when document sheets open; when
    // the device does not answer, the pages work from what the cache holds.
    if (auto init = printerSheet ? nullptr : module_.Entry<SheetsInitFn>("Bidi_DocumentPropertySheets_Init")) {
        std::string note;
        UINT_PTR code = AcquireForSheets(init, module_.Entry<ResetDevOptionFn>("Prc_ResetDevOption"), printer_.get(),
                                         printerName_, folder, &note);
        if (!note.empty()) printf("%s\n", note.c_str());
        if (code == 16) printf("%s\n", CachedDeviceNote(printer_.get(), code).c_str());
    }
    host_->SetDeviceName(wname.c_str());

    HMODULE resources = GetModuleHandleW(WL("NOVRIX_S.DLL"));
    const bool faxModel = ModelSendsFaxes(folder);
    std::vector<PROPSHEETPAGEW> sheetPages;
    titles_.clear();
    titles_.reserve(kPreferencePageCount);
    const PageEntry* table = printerSheet ? kPrinterPages : kPreferencePages;
    const size_t tableSize = printerSheet ? kPrinterPageCount : kPreferencePageCount;
    for (size_t i = 0; i < tableSize; ++i) {
        const PageEntry& entry = table[i];
        if (entry.faxModelOnly && !faxModel) continue;
        FARPROC proc = GetProcAddress(module_.Handle(), entry.procedure);
        if (!proc) {
            fprintf(stderr, "novrix: the %s page is left out: the module has no %s\n", entry.title, entry.procedure);
            continue;
        }
        if (!resources || !FindResourceW(resources, MAKEINTRESOURCEW(entry.templateId), RT_DIALOG)) {
            fprintf(stderr, "novrix: the %s page is left out: NOVRIX_S.DLL has no dialog template %d\n", entry.title,
                    entry.templateId);
            continue;
        }
        titles_.push_back(nvx::WFromUtf8(entry.title));
        PROPSHEETPAGEW page{};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE;
        page.hInstance = resources;
        page.pszTemplate = MAKEINTRESOURCEW(entry.templateId);
        page.pszTitle = titles_.back().c_str();
        page.pfnDlgProc = reinterpret_cast<DLGPROC>(reinterpret_cast<void*>(proc));
        page.lParam = reinterpret_cast<LPARAM>(host_->Block());
        sheetPages.push_back(page);
        pages_.push_back(entry);
    }
    if (sheetPages.empty()) return true;

    caption_ = nvx::WFromUtf8(printerName_ + (printerSheet ? " Properties" : " Printing Preferences"));
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hInstance = resources;
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(sheetPages.size());
    header.ppsp = sheetPages.data();
    INT_PTR result = PropertySheetW(&header);
    if (result == 0 || result == -1) {
        *error = "the property sheet could not be made (error " + std::to_string(GetLastError()) + ")";
        pages_.clear();
        return false;
    }
    sheet_ = reinterpret_cast<HWND>(result);
    return true;
}

// The user's stored device mode when it carries this driver's record (found by
// its header anywhere in the driver-extra area, so that a device mode another
// host laid out is taken too); else the default settings (the printer's stored
// defaults, else the built-in template).
void SheetSession::LoadDevMode() {
    if (kind_ == SheetKind::Printer) {  // the printer sheet edits the printer's default record
        nvx::settings::PrepareDefaultTemplate();
        OEMDEV record;
        nvx::settings::MakeDefaultSettings(&record, printer_.get(), nvx::settings::CurrentModelFacts(),
                                           nvx::settings::DefaultTemplate());
        host_->LoadRecord(record.bytes);
        return;
    }
    std::vector<BYTE> stored = LoadUserDevMode(printer_.get());
    DEVMODEW* dm = host_->DevMode();
    if (stored.size() >= sizeof(DEVMODEW)) {
        auto* sdm = reinterpret_cast<DEVMODEW*>(stored.data());
        if (const OEMDEV* record = nvx::settings::FindRecordInDevMode(sdm)) {
            if (sdm->dmSize == dm->dmSize) std::memcpy(dm, sdm, dm->dmSize);  // the public fields
            host_->LoadRecord(record->bytes);
            dm->dmDriverExtra = static_cast<WORD>(host_->DevModeSize() - dm->dmSize);
            loadedStored_ = true;
            return;
        }
    }
    OEMDEV record;
    nvx::settings::MakeDefaultSettings(&record, printer_.get(), nvx::settings::CurrentModelFacts(),
                                       nvx::settings::DefaultTemplate());
    host_->LoadRecord(record.bytes);
}

int SheetSession::FindPage(const std::string& title) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        nvx::WString a = nvx::WFromUtf8(title), b = nvx::WFromUtf8(pages_[i].title);
        if (nvx::WCompareNoCase(a.c_str(), b.c_str()) == 0) return static_cast<int>(i);
    }
    return -1;
}

HWND SheetSession::ShowPage(size_t i) {
    if (!sheet_ || i >= pages_.size()) return nullptr;
    if (CurrentPage() != static_cast<int>(i)) SendMessageW(sheet_, PSM_SETCURSEL, i, 0);
    return CurrentPage() == static_cast<int>(i) ? CurrentPageWindow() : nullptr;
}

HWND SheetSession::CurrentPageWindow() const {
    return sheet_ ? reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
}

int SheetSession::CurrentPage() const {
    HWND page = CurrentPageWindow();
    return page ? static_cast<int>(SendMessageW(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0)) : -1;
}

bool SheetSession::Apply(std::string* error) {
    if (sheet_ && !SendMessageW(sheet_, PSM_APPLY, 0, 0)) {
        *error = "a page did not accept the settings; nothing was stored";
        return false;
    }
    if (kind_ == SheetKind::Printer) {
        if (DWORD rc = StorePrinterDevOption(printerName_, devOption_); rc != ERROR_SUCCESS) {
            *error = "the installed options could not be kept with the printer: " + ErrorText(rc) +
                     (rc == ERROR_ACCESS_DENIED ? " (only a user who may administer the printer changes them)" : "");
            return false;
        }
        loadedStored_ = true;
        return true;
    }
    if (DWORD rc = SaveUserDevMode(printer_.get(), host_->DevMode()); rc != ERROR_SUCCESS) {
        *error = "the preferences could not be stored: " + ErrorText(rc);
        return false;
    }
    loadedStored_ = true;
    return true;
}

bool SheetSession::Store(std::string* error) {
    if (DWORD rc = SaveUserDevMode(printer_.get(), host_->DevMode()); rc != ERROR_SUCCESS) {
        *error = "the preferences could not be stored: " + ErrorText(rc);
        return false;
    }
    loadedStored_ = true;
    return true;
}

void SheetSession::Cancel() {
    if (sheet_) NvxUi_PressButton(sheet_, IDCANCEL);
    DestroySheet();
}

}  // namespace novrix
