// The Version tab (106): the driver's name, its version and the versions of the
// core, the sub-module and the model data, and the package's notices.
#include <algorithm>
#include <vector>

#include "common/proc.h"
#include "common/text.h"
#include "model/host_link.h"
#include "model/loaded_model.h"
#include "model/model_tables.h"
#include "model/text_tables.h"
#include "pages/page_framework.h"
#include "pages/page_help.h"
#include "pages/page_procs.h"
#include "pages/page_skeleton.h"
#include "pages/page_texts.h"
#include "pages/text_display.h"

namespace nvx::pages {

namespace {

constexpr uint32_t kPage = kPageVersion;

enum : int {
    kVersionLine = 1170,
    kNotice1 = 1171,
    kNotice2 = 1172,
    kNotice3 = 1174,
    kLogo = 1224,
    kDriverName = 1225,
    kVersionList = 2227,
};

// Fixed versions of the module's parts.
constexpr const WCHAR* kCoreVersion = WL("2.06.24-0.05");
constexpr const WCHAR* kSubVersion = WL("1.0.0");

using DrawLogoFn = void (*)(HDC, HWND, int, int);

WString DriverName(HANDLE printer) {
    if (!printer || printer == INVALID_HANDLE_VALUE) return {};
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0 || needed > 1 << 20) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pDriverName ? WString(info->pDriverName) : WString();
}

void FillVersions(HWND page) {
    const auto* table = PageTexts(kPage);
    const auto& v = model::Loaded().tables.versions;
    const WCHAR* driver = v.driver[0] ? v.driver : model::kDefaultDriverVersion;
    WString label = TableText(table, "VersionLabel");
    if (label.empty()) label = WL("Version");
    SetDlgItemTextW(page, kVersionLine, (label + WL(" ") + driver).c_str());

    const WString data = WFormatString(WL("%s.%s.%s.%s.%s"), v.basic, v.uiSetup, v.localize, v.command,
                                       v.customization);
    struct Line {
        const char* key;
        WString version;
    } lines[] = {{"Version_Core", kCoreVersion}, {"Version_Sub", kSubVersion}, {"Version_VPD", data}};
    WString text;
    size_t longest = 0;
    for (const Line& line : lines) {
        if (!table || !model::TextByKey(table, line.key)) continue;
        const WString name = TableText(table, line.key);
        longest = std::max(longest, name.size());
        if (!text.empty()) text += WL("\r\n");
        text += name + WL("\t: ") + line.version;
    }
    HWND list = GetDlgItem(page, kVersionList);
    const int stop = static_cast<int>(longest * 4 + 4);
    SendMessageW(list, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    SetWindowTextW(list, text.c_str());
}

INT_PTR OnInit(HWND page, LPARAM lParam) {
    SetWindowLongPtrW(page, DWLP_USER, lParam);
    ApplyTextTable(page, PageTexts(kPage));
    SetDlgItemTextW(page, kDriverName, DriverName(settings::ContextPrinter(PageContext(page))).c_str());
    FillVersions(page);
    return 0;
}

// Centres a control horizontally in the page.
void Centre(HWND page, int id, const RECT& client) {
    HWND c = GetDlgItem(page, id);
    if (!c) return;
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left;
    SetWindowPos(c, nullptr, (client.right - client.left - w) / 2, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnPaint(HWND page) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(page, &ps);
    if (HWND logo = GetDlgItem(page, kLogo)) ShowWindow(logo, SW_HIDE);
    RECT client;
    GetClientRect(page, &client);
    RECT name{};
    if (HWND c = GetDlgItem(page, kDriverName)) {
        GetWindowRect(c, &name);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&name), 2);
    }
    if (auto draw = model::HostFunction<DrawLogoFn>(model::Loaded().host, model::HostFn::DrawLogoVersionTab))
        draw(dc, page, (client.right - client.left) / 2, name.top / 2);
    for (int id : {kDriverName, kVersionLine, kVersionList, kNotice1, kNotice2, kNotice3}) Centre(page, id, client);
    EndPaint(page, &ps);
}

// Only the tab tooltips run before its handlers; it keeps no settings.
const PageDef kVersionPage = [] {
    PageDef d{kPage, kStepTabTips};
    d.commonInit = false;
    d.focusTabOnActivate = true;
    d.helpTopic = kVersionHelpTopic;
    d.init = OnInit;
    d.paint = OnPaint;
    return d;
}();

}  // namespace

INT_PTR CALLBACK VersionPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(kVersionPage, hwnd, msg, wParam, lParam);
}

}  // namespace nvx::pages
