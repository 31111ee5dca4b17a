// A host for the module's pages in tests: the module loaded from a private copy of
// the driver folder, a printer, a sheet block holding the built-in default record,
// and property sheets or dialogs made from NOVRIX_S.DLL's templates with the
// module's page procedures.  Message boxes are answered and logged through the
// headless UI's host interface.
#pragma once

#include <string>
#include <vector>

#include "common/text.h"
#include "hostsupport/sheet_builder.h"
#include "platform/ui_host.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace pagetest {

// One page of a sheet: the template id in NOVRIX_S.DLL and the export name.
struct PageDef {
    int templateId;
    const char* procedure;
};

class PageHost : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a modeless sheet with the pages (the first one shown).  The host's page
    // procedure hands the context to the module's procedure with WM_INITDIALOG.
    HWND OpenSheet(std::vector<PageDef> pages);
    void CloseSheet();
    HWND Page() const;  // the sheet's current page
    HWND Control(int id) const;
    std::string Text(int id) const;  // a control's text as UTF-8
    static std::string TextOf(HWND window);
    std::string Tree() const;  // the current page as text

    int32_t Field(const char* name) const;
    void SetField(const char* name, int32_t value);

    // Message boxes: answered with `answer` (0: the default button) and logged.
    void AnswerMessageBoxes(int answer) { boxAnswer_ = answer; }
    int MessageBoxCount() const;
    NvxUiLogEntry LastMessageBox() const;
    static std::string Utf8(const WCHAR* s) { return nvx::Utf8FromW(s); }

    FARPROC Export(const char* name) const { return GetProcAddress(module_, name); }
    // A constraint file (rule language) to put beside the module before it loads;
    // empty: no constraint file.
    virtual std::string Rules() const { return {}; }
    // A host library to put in place of NOVRIX_D.DLL before the module loads; empty: the built one.
    virtual std::string HostLibrary() const { return {}; }

    // Without the sample rules: tests that need rules write their own constraint file.
    // Without the phone book component: tests that need it copy it in.
    nvxtest::DriverCopy driver_{{"NOVRIX_C.VPD", "NOVRIX_V.DLL"}};
    HMODULE module_ = nullptr;
    HMODULE resources_ = nullptr;
    HANDLE printer_ = nullptr;
    nvx::host::HostSheet sheet_{nvx::host::SheetForm::A};
    HWND sheetWindow_ = nullptr;
    int boxAnswer_ = 0;
    bool noContext_ = false;  // pages get a null context
    nvx::host::HostSheet* contextSheet_ = nullptr;  // another sheet's context instead of sheet_'s
};

}  // namespace pagetest
