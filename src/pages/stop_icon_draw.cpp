#include "pages/stop_icon_draw.h"

#include <vector>

#include "constraints/engine.h"
#include "constraints/stop_icons.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "pages/page_framework.h"

namespace nvx::pages {

namespace {

constexpr int kDefaultIconPixels = 16;
constexpr int kIconGapPixels = 2;
constexpr int kTipWidth = 1024;

std::vector<HWND>& ToolWindows() {
    static std::vector<HWND> windows;
    return windows;
}

HWND NewTooltip(HWND owner) {
    frame::InitModuleCommonControls();
    HINSTANCE instance = frame::Module().dialogResources;
    HWND tip = CreateWindowExW(0, WL("tooltips_class32"), nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance,
                               nullptr);
    if (tip) {
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
        RecordToolWindow(tip);
    }
    return tip;
}

TOOLINFOW IconTool(HWND dialog, HWND icon, WCHAR* text) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = dialog;
    ti.uId = reinterpret_cast<UINT_PTR>(icon);
    ti.lpszText = text;
    return ti;
}

// Where a page puts an icon it has no rectangle for: left of the main control of
// the item whose icon it is, vertically level with it.
bool ComputedPosition(HWND dialog, uint32_t control, POINT* at) {
    const auto* table = features::ModuleItems();
    if (!table) return false;
    for (size_t i = 0; i < table->count; ++i) {
        const auto& item = table->rows[i];
        if (item.iconControl != control) continue;
        HWND main = GetDlgItem(dialog, static_cast<int>(item.control));
        if (!main) continue;
        RECT r;
        GetWindowRect(main, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        at->x = r.left - kDefaultIconPixels - kIconGapPixels;
        at->y = r.top;
        return true;
    }
    return false;
}

}  // namespace

void RecordToolWindow(HWND tool) {
    auto& windows = ToolWindows();
    for (HWND& slot : windows)
        if (!IsWindow(slot)) {
            slot = tool;
            return;
        }
    windows.push_back(tool);
}

void DestroyToolWindows() {
    for (HWND tool : ToolWindows())
        if (IsWindow(tool)) DestroyWindow(tool);
    ToolWindows().clear();
    for (constraints::StopIconRow* row = constraints::StopIconTable(); row && row->control != 0; ++row) row->tool = nullptr;
}

void DestroyPageToolWindows(HWND dialog) {
    if (!dialog) return;
    for (constraints::StopIconRow* row = constraints::StopIconTable(); row && row->control != 0; ++row) {
        if (!row->tool || !GetDlgItem(dialog, static_cast<int>(row->control))) continue;
        if (IsWindow(row->tool)) DestroyWindow(row->tool);
        row->tool = nullptr;
    }
    if (HWND own = PageToolWindow(dialog); own && IsWindow(own)) DestroyWindow(own);
}

HWND MakeToolWindows(HWND dialog) {
    if (!dialog) return nullptr;
    for (constraints::StopIconRow* row = constraints::StopIconTable(); row && row->control != 0; ++row) {
        HWND icon = GetDlgItem(dialog, static_cast<int>(row->control));
        if (!icon) continue;
        if (row->tool && IsWindow(row->tool)) DestroyWindow(row->tool);
        row->tool = NewTooltip(icon);
    }
    if (HWND old = PageToolWindow(dialog); old && IsWindow(old)) DestroyWindow(old);
    HWND own = NewTooltip(dialog);
    SetPageToolWindow(dialog, own);
    return own;
}

void StoreStopIconRects(HWND dialog) {
    if (!dialog) return;
    for (constraints::StopIconRow* row = constraints::StopIconTable(); row && row->control != 0; ++row) {
        HWND icon = GetDlgItem(dialog, static_cast<int>(row->control));
        if (!icon) continue;
        RECT r;
        GetWindowRect(icon, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        row->rect = r;
    }
}

void DrawStopIcon(HWND dialog, uint32_t control, const POINT* position) {
    constraints::StopIconRow* row = constraints::FindStopIcon(control);
    HWND icon = dialog ? GetDlgItem(dialog, static_cast<int>(control)) : nullptr;
    if (!row || !icon) return;
    if (row->tool && IsWindow(row->tool)) {
        TOOLINFOW ti = IconTool(dialog, icon, nullptr);
        SendMessageW(row->tool, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (!row->hasMessage) {
        SetWindowPos(icon, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(icon, SW_HIDE);
        return;
    }
    const bool hasRect = row->rect.right > row->rect.left && row->rect.bottom > row->rect.top;
    const int w = hasRect ? row->rect.right - row->rect.left : kDefaultIconPixels;
    const int h = hasRect ? row->rect.bottom - row->rect.top : kDefaultIconPixels;
    POINT at{row->rect.left, row->rect.top};
    if (position) at = *position;
    else if (!hasRect) ComputedPosition(dialog, control, &at);
    SetWindowPos(icon, nullptr, at.x, at.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    HICON image = nullptr;
    if (HMODULE res = frame::Module().dialogResources)
        image = LoadIconW(res, MAKEINTRESOURCEW(row->iconIds[0]));
    if (!image) image = LoadIconW(nullptr, row->iconIds[0] == constraints::kStopIconPair[0] ? IDI_WARNING : IDI_INFORMATION);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(image), 0);
    ShowWindow(icon, SW_SHOWNA);
    if (row->tool && IsWindow(row->tool)) {
        TOOLINFOW ti = IconTool(dialog, icon, row->text);
        SendMessageW(row->tool, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

namespace {
void RedrawAfterCheck(HWND dialog, UINT control, WCHAR**) { DrawStopIcon(dialog, control, nullptr); }
}  // namespace

void RegisterStopIconRedraw() { constraints::SetDefaultIconRedraw(&RedrawAfterCheck); }
void UnregisterStopIconRedraw() { constraints::SetDefaultIconRedraw(nullptr); }

}  // namespace nvx::pages
