#include "pages/page_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "common/proc.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "support/sheet_builder.h"
#include "vpdc_model.h"
#include "vpdc_rules.h"

namespace pagetest {

namespace {

// The page record the host hands to CreatePropertySheetPageW: the page and, behind
// it, the module procedure the host forwards to.
struct HostPage {
    PROPSHEETPAGEW psp;
    DLGPROC proc;
};

const WCHAR kProcProp[] = WL("TestHostProc");

// The host's page procedure: WM_INITDIALOG carries the context (the page's
// lParam) to the module, every other message goes through unchanged.
INT_PTR CALLBACK HostPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const HostPage*>(lParam);
        SetPropW(hwnd, kProcProp, reinterpret_cast<HANDLE>(page->proc));
        return page->proc(hwnd, msg, wParam, page->psp.lParam);
    }
    auto proc = reinterpret_cast<DLGPROC>(GetPropW(hwnd, kProcProp));
    return proc ? proc(hwnd, msg, wParam, lParam) : FALSE;
}

int Respond(void* context, HWND, LPCWSTR, LPCWSTR, UINT) {
    return *static_cast<int*>(context);
}

}  // namespace

void PageHost::SetUp() {
    PlatformTest::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    if (const std::string rules = Rules(); !rules.empty()) {
        const vpdc::Bytes bytes = vpdc::WriteBlock(vpdc::RulesFromText(rules, "test.rules"));
        driver_.Write("NOVRIX_C.VPD", std::string(bytes.begin(), bytes.end()));
    }
    if (const std::string host = HostLibrary(); !host.empty()) {
        std::ifstream in(host, std::ios::binary);
        ASSERT_TRUE(in.good()) << host;
        driver_.Write("NOVRIX_D.DLL", std::string(std::istreambuf_iterator<char>(in), {}));
    }
    module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module_) << GetLastError();
    resources_ = GetModuleHandleW(WL("NOVRIX_S.DLL"));
    ASSERT_NE(nullptr, resources_);
    printer_ = nvxtest::AddTestPrinter(WL("Pages Printer"));
    ASSERT_NE(nullptr, printer_);
    sheet_.SetPrinter(printer_);
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    sheet_.LoadRecord(record.bytes);
    NvxUi_ClearLog();
    NvxUi_SetMessageBoxResponder(Respond, &boxAnswer_);
}

void PageHost::TearDown() {
    CloseSheet();
    NvxUi_SetMessageBoxResponder(nullptr, nullptr);
    NvxUi_SetModalDriver(nullptr, nullptr);
    if (printer_) ClosePrinter(printer_);
    if (module_) FreeLibrary(module_);
    PlatformTest::TearDown();
}

HWND PageHost::OpenSheet(std::vector<PageDef> pages) {
    std::vector<HPROPSHEETPAGE> handles;
    for (const PageDef& def : pages) {
        HostPage page{};
        page.psp.dwSize = sizeof page;
        page.psp.hInstance = resources_;
        page.psp.pszTemplate = MAKEINTRESOURCEW(def.templateId);
        page.psp.pfnDlgProc = HostPageProc;
        page.psp.lParam = noContext_ ? 0 : contextSheet_ ? contextSheet_->ContextParam() : sheet_.ContextParam();
        page.proc = nvx::ProcAs<DLGPROC>(Export(def.procedure));
        EXPECT_NE(nullptr, page.proc) << def.procedure;
        handles.push_back(CreatePropertySheetPageW(&page.psp));
    }
    PROPSHEETHEADERW h{};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_MODELESS;
    h.pszCaption = WL("Printing Preferences");
    h.nPages = static_cast<UINT>(handles.size());
    h.phpage = handles.data();
    sheetWindow_ = reinterpret_cast<HWND>(PropertySheetW(&h));
    NvxUi_Pump(0);
    return sheetWindow_;
}

void PageHost::CloseSheet() {
    if (sheetWindow_ && IsWindow(sheetWindow_)) DestroyWindow(sheetWindow_);
    sheetWindow_ = nullptr;
    NvxUi_Pump(0);
}

HWND PageHost::Page() const {
    return sheetWindow_ ? reinterpret_cast<HWND>(SendMessageW(sheetWindow_, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
}

HWND PageHost::Control(int id) const {
    return GetDlgItem(Page(), id);
}

std::string PageHost::TextOf(HWND window) {
    WCHAR text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return nvx::Utf8FromW(text);
}

std::string PageHost::Text(int id) const {
    return TextOf(Control(id));
}

std::string PageHost::Tree() const {
    std::string out(64 * 1024, '\0');
    const int n = NvxUi_RenderTree(Page(), out.data(), static_cast<int>(out.size()));
    out.resize(n < static_cast<int>(out.size()) ? static_cast<size_t>(n) : out.size() - 1);
    return out;
}

int32_t PageHost::Field(const char* name) const {
    return nvx::settings::GetNumber(*nvx::settings::AsRecord(const_cast<nvx::host::HostSheet&>(sheet_).Record()), name);
}

void PageHost::SetField(const char* name, int32_t value) {
    nvx::settings::SetNumber(*nvx::settings::AsRecord(sheet_.Record()), name, value);
}

int PageHost::MessageBoxCount() const {
    int n = 0;
    for (int i = 0; i < NvxUi_LogCount(); ++i) {
        NvxUiLogEntry e;
        if (NvxUi_GetLogEntry(i, &e) && e.kind == NVXUI_LOG_MESSAGEBOX) ++n;
    }
    return n;
}

NvxUiLogEntry PageHost::LastMessageBox() const {
    NvxUiLogEntry last{};
    for (int i = 0; i < NvxUi_LogCount(); ++i) {
        NvxUiLogEntry e;
        if (NvxUi_GetLogEntry(i, &e) && e.kind == NVXUI_LOG_MESSAGEBOX) last = e;
    }
    return last;
}

}  // namespace pagetest
