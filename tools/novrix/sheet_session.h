// One printing-preferences sheet, opened as the host driver UI opens it: the
// printer, the module loaded from the printer's driver folder, a form-A sheet
// block (the host's own document sheet) holding the user's device mode, and a
// modeless property sheet with the module's pages that exist.
//
// The pages receive the sheet block as their PROPSHEETPAGEW lParam: the page's
// copy of the structure is then the printer UI context, whose pointer-sized
// field at byte 48 (lParam) designates the block.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "hostsupport/sheet_builder.h"
#include "module_host.h"
#include "store.h"

namespace novrix {

// A page of the preferences sheet: its tab title, its dialog template in
// NOVRIX_S.DLL, the module's exported page procedure, and whether only a model
// that sends faxes has it.
struct PageEntry {
    const char* title;
    int templateId;
    const char* procedure;
    bool faxModelOnly = false;
};
extern const PageEntry kPreferencePages[];
extern const size_t kPreferencePageCount;
// The printer sheet's pages (the printer's properties): the device option tab.
extern const PageEntry kPrinterPages[];
extern const size_t kPrinterPageCount;

// Which sheet a session opens: the printing preferences (a document sheet, form A,
// the user's device mode) or the printer's properties (a printer sheet, form 2,
// with the printer's device-option record).
enum class SheetKind { Preferences, Printer };

class SheetSession {
public:
    SheetSession() = default;
    ~SheetSession();
    SheetSession(const SheetSession&) = delete;
    SheetSession& operator=(const SheetSession&) = delete;

    // Opens the printer (empty name: the default printer), loads the module and
    // creates the sheet.  A page whose template or procedure is missing is left
    // out with a note on stderr.  False with *error set when the printer is
    // unknown, the module does not load or the sheet cannot be made.  A sheet
    // with no page at all is not an error: HasSheet() is then false.
    bool Open(const Options& options, const std::string& printer, std::string* error,
              SheetKind kind = SheetKind::Preferences);
    SheetKind Kind() const { return kind_; }

    const std::string& PrinterName() const { return printerName_; }
    HANDLE Printer() const { return printer_.get(); }
    // An entry point of the loaded module, or null.
    FARPROC ModuleProc(const char* name) const { return GetProcAddress(module_.Handle(), name); }
    bool HasSheet() const { return sheet_ != nullptr; }
    HWND SheetWindow() const { return sheet_; }
    size_t PageCount() const { return pages_.size(); }
    const char* PageTitle(size_t i) const { return pages_[i].title; }
    // The page index of a title (case ignored), or -1.
    int FindPage(const std::string& title) const;
    // Makes page i the current one (creating it); its window or null.
    HWND ShowPage(size_t i);
    int CurrentPage() const;
    HWND CurrentPageWindow() const;

    // The settings record the sheet edits, and its device mode.
    BYTE* Record() { return host_->Record(); }
    DEVMODEW* DevMode() { return host_->DevMode(); }
    // The printer sheet's device-option record (empty for the preferences).
    std::vector<BYTE>& DevOption() { return devOption_; }
    // Whether the sheet holds stored preferences (loaded, or applied since; false:
    // the default settings); for the printer sheet, whether the printer keeps its
    // installed options.
    bool LoadedStored() const { return loadedStored_; }

    // Apply: the pages complete the record (PSN_APPLY), then the device mode is
    // stored as the user's preferences (the printer sheet: the device-option record
    // is kept with the printer, which needs the right to administer it).  False with *error when a page kept the
    // sheet open or the store refused.
    bool Apply(std::string* error);
    // Stores the record as it stands as the user's preferences, without asking the
    // pages (a settings file replaced it whole).  False with *error when the store refused.
    bool Store(std::string* error);
    // Cancel as the Cancel button does; the sheet closes.
    void Cancel();

private:
    void LoadDevMode();
    static void PrepareModelDefaults(const std::string& folder);
    void DestroySheet();

    ModuleHost module_;  // unloaded last
    PrinterHandle printer_;
    std::string printerName_;
    std::unique_ptr<nvx::host::HostSheet> host_;
    std::vector<PageEntry> pages_;
    std::vector<nvx::WString> titles_;
    nvx::WString caption_;
    HWND sheet_ = nullptr;
    bool loadedStored_ = false;
    SheetKind kind_ = SheetKind::Preferences;
    std::vector<BYTE> devOption_;
};

}  // namespace novrix
