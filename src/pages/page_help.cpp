#include "pages/page_help.h"

#include <cstring>
#include <vector>

#include "common/proc.h"
#include "frame/module_state.h"
#include "frame/paths.h"

namespace nvx::pages {

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

bool NtSixOrLater() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return true;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

bool FileExists(const WString& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

HelpFile FindHelpFile() {
    HMODULE self = frame::Module().self;
    HelpFile file{frame::BesideModule(self, WL("NOVRIX__.CHM")), true};
    if (!NtSixOrLater()) {
        WString hlp = frame::BesideModule(self, WL("NOVRIX__.HLP"));
        if (FileExists(hlp)) file = {hlp, false};
    }
    return file;
}

UINT HtmlHelpCommand(UINT command) {
    switch (command) {
    case HELP_CONTEXT:
        return kHtmlHelpContext;
    case HELP_CONTEXTMENU:
        return kHtmlHelpContextMenu;
    case HELP_WM_HELP:
        return kHtmlHelpWmHelp;
    default:
        return command;
    }
}

void ShowHelp(HWND window, UINT command, ULONG_PTR data, const POINT* point) {
    const HelpFile file = FindHelpFile();
    if (file.path.empty()) return;
    if (file.compiled) {
        if (HtmlHelpCommand(command) != kHtmlHelpContext) return;
        static HMODULE hh = frame::LoadModuleLibrary(WL("hhctrl.ocx"));
        if (auto htmlHelp = ProcAs<HtmlHelpFn>(hh ? GetProcAddress(hh, "HtmlHelpW") : nullptr))
            htmlHelp(window, file.path.c_str(), kHtmlHelpContext, data);
        return;
    }
    if (point && window &&
        SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(point->x), static_cast<WORD>(point->y))) ==
            HTCAPTION)
        return;
    WinHelpW(window, file.path.c_str(), command, data);
}

INT_PTR PageHelpMessage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_HELP) {
        const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        if (!info || info->iContextType != HELPINFO_WINDOW) return TRUE;
        HWND control = static_cast<HWND>(info->hItemHandle);
        POINT at = info->MousePos;
        ShowHelp(control ? control : page, HELP_CONTEXT, static_cast<ULONG_PTR>(info->iCtrlId), &at);
        return TRUE;
    }
    if (msg == WM_CONTEXTMENU) {
        HWND control = reinterpret_cast<HWND>(wParam);
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int id = control ? GetDlgCtrlID(control) : 0;
        ShowHelp(control ? control : page, HELP_CONTEXTMENU, static_cast<ULONG_PTR>(id), &at);
        return TRUE;
    }
    return FALSE;
}

void ShowPageHelp(HWND page, ULONG_PTR topic) {
    ShowHelp(page, HELP_CONTEXT, topic, nullptr);
}

INT_PTR RunModuleDialog(HINSTANCE resources, HWND parent, UINT templateId, DLGPROC proc, LPARAM context) {
    frame::InitModuleCommonControls();
    const HelpFile file = FindHelpFile();
    if (NtSixOrLater() || file.compiled) {
        HRSRC found = FindResourceW(resources, MAKEINTRESOURCEW(templateId), RT_DIALOG);
        HGLOBAL loaded = found ? LoadResource(resources, found) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        const DWORD size = found ? SizeofResource(resources, found) : 0;
        if (bytes && size >= 16) {
            std::vector<BYTE> copy(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
            copy.resize(copy.size() + 4);  // keeps the copy DWORD-aligned at its end for the parser
            uint32_t first;
            std::memcpy(&first, copy.data(), 4);
            // Classic: the style is the first DWORD.  Extended (dlgVer 1, signature
            // 0xFFFF): version, signature, help id and extended style come first.
            const size_t styleAt = (first >> 16) == 0xFFFF ? 12 : 0;
            uint32_t style;
            std::memcpy(&style, copy.data() + styleAt, 4);
            style &= ~static_cast<uint32_t>(DS_CONTEXTHELP);
            std::memcpy(copy.data() + styleAt, &style, 4);
            return DialogBoxIndirectParamW(resources, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), parent, proc,
                                           context);
        }
    }
    return DialogBoxParamW(resources, MAKEINTRESOURCEW(templateId), parent, proc, context);
}

}  // namespace nvx::pages
