// Message boxes and modal dialogs, answered by the host: the message-box
// responder, the modal-dialog driver, the log both write, and the modal loop of
// DialogBoxParamW (a real nested loop: posted messages and timers run in it).
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/linux/user32/user_internal.h"
#include "platform/ui_host.h"

namespace nvxp {
namespace {

struct Hooks {
    std::mutex m;
    NvxUiMessageBoxResponder responder = nullptr;
    void* responderContext = nullptr;
    NvxUiModalDriver driver = nullptr;
    void* driverContext = nullptr;
    std::vector<NvxUiLogEntry> log;
};

Hooks& H() {
    static auto* hooks = new Hooks;
    return *hooks;
}

constexpr size_t kLogLimit = 10000;
constexpr DWORD kErrorInvalidMsgboxStyle = 1438;

int AddLog(int kind, HWND owner, UINT type, int resourceId, LPCWSTR caption, LPCWSTR text) {
    NvxUiLogEntry e{};
    e.kind = kind;
    e.owner = owner;
    e.type = type;
    e.resourceId = resourceId;
    e.result = -1;
    nvx::WCopy(e.caption, 256, SafeText(caption));
    nvx::WCopy(e.text, 1024, SafeText(text));
    std::lock_guard<std::mutex> lock(H().m);
    if (H().log.size() >= kLogLimit) H().log.erase(H().log.begin());
    H().log.push_back(e);
    return static_cast<int>(H().log.size()) - 1;
}

// Fills in the outcome of entry `index` (which may have moved when the log was full).
void FinishLog(int index, int kind, HWND owner, INT_PTR result, bool answered) {
    std::lock_guard<std::mutex> lock(H().m);
    auto& log = H().log;
    for (int i = std::min<int>(index, static_cast<int>(log.size()) - 1); i >= 0; --i)
        if (log[static_cast<size_t>(i)].kind == kind && log[static_cast<size_t>(i)].owner == owner &&
            log[static_cast<size_t>(i)].result == -1) {
            log[static_cast<size_t>(i)].result = result;
            log[static_cast<size_t>(i)].answered = answered;
            return;
        }
}

// The buttons of a message box type, in order; empty for an unknown type.
std::vector<int> Buttons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {};
    }
}

bool Ended(HWND dialog, INT_PTR* result) {
    return DialogEnded(dialog, result);
}

}  // namespace

INT_PTR RunModalLoop(HWND dialog, HWND disabledOwner, bool (*ended)(HWND, INT_PTR*), int logKind) {
    WCHAR caption[256] = {};
    GetWindowTextW(dialog, caption, 256);
    int index = AddLog(logKind, disabledOwner, 0, DialogResourceId(dialog), caption, nullptr);
    INT_PTR result = 0;
    auto open = [&]() { return IsWindow(dialog) && !ended(dialog, &result); };
    if (open() && !(StyleOf(dialog) & WS_VISIBLE)) ShowWindow(dialog, SW_SHOWNORMAL);
    bool quit = false;
    if (open()) quit = !PumpPending(dialog);
    NvxUiModalDriver driver;
    void* context;
    {
        std::lock_guard<std::mutex> lock(H().m);
        driver = H().driver;
        context = H().driverContext;
    }
    bool driven = false;
    if (!quit && open() && driver) {
        driver(context, dialog);
        driven = true;
    }
    if (!quit && open()) quit = !PumpPending(dialog);
    if (!quit && open() && disabledOwner && !(StyleOf(dialog) & DS_NOIDLEMSG)) {
        Send(disabledOwner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
        if (open()) quit = !PumpPending(dialog);
    }
    bool abandoned = false;
    if (open()) {
        abandoned = true;
        Send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        if (open()) PumpPending(dialog);
        if (open()) EndDialog(dialog, IDCANCEL);
    }
    if (!IsWindow(dialog)) result = 0;
    else ended(dialog, &result);
    if (disabledOwner && IsWindow(disabledOwner) && !IsWindowEnabled(disabledOwner))
        EnableWindow(disabledOwner, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    FinishLog(index, logKind, disabledOwner, result, driven && !abandoned);
    return result;
}

}  // namespace nvxp

using nvxp::Fail;

namespace {

INT_PTR RunDialogBox(HINSTANCE instance, const void* data, size_t size, HWND parent, DLGPROC proc, LPARAM param,
                     int resourceId) {
    if (parent && !IsWindow(parent)) return Fail(ERROR_INVALID_WINDOW_HANDLE, INT_PTR(0));
    HWND owner = nullptr;
    HWND dialog =
        nvxp::CreateDialogFromTemplate(instance, data, size, parent, proc, param, true, &owner, resourceId);
    if (!dialog) return -1;
    return nvxp::RunModalLoop(dialog, owner ? owner : parent, nvxp::Ended, NVXUI_LOG_DIALOG);
}

}  // namespace

extern "C" {

NVXAPI void NvxUi_SetMessageBoxResponder(NvxUiMessageBoxResponder responder, void* context) {
    std::lock_guard<std::mutex> lock(nvxp::H().m);
    nvxp::H().responder = responder;
    nvxp::H().responderContext = context;
}

NVXAPI void NvxUi_SetModalDriver(NvxUiModalDriver driver, void* context) {
    std::lock_guard<std::mutex> lock(nvxp::H().m);
    nvxp::H().driver = driver;
    nvxp::H().driverContext = context;
}

NVXAPI int NvxUi_LogCount(void) {
    std::lock_guard<std::mutex> lock(nvxp::H().m);
    return static_cast<int>(nvxp::H().log.size());
}

NVXAPI BOOL NvxUi_GetLogEntry(int index, NvxUiLogEntry* entry) {
    std::lock_guard<std::mutex> lock(nvxp::H().m);
    if (!entry || index < 0 || index >= static_cast<int>(nvxp::H().log.size()))
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    *entry = nvxp::H().log[static_cast<size_t>(index)];
    return TRUE;
}

NVXAPI void NvxUi_ClearLog(void) {
    std::lock_guard<std::mutex> lock(nvxp::H().m);
    nvxp::H().log.clear();
}

NVXAPI int NvxUi_DialogResourceId(HWND dialog) {
    return nvxp::DialogResourceId(dialog);
}

NVXAPI INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                              DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!hDialogTemplate) return Fail(ERROR_INVALID_PARAMETER, INT_PTR(-1));
    return RunDialogBox(hInstance, hDialogTemplate, SIZE_MAX, hWndParent, lpDialogFunc, dwInitParam, 0);
}

// Answers the EndDialog result; 0 for a bad parent window, -1 for other failures.
NVXAPI INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                                      DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (hWndParent && !IsWindow(hWndParent)) return Fail(ERROR_INVALID_WINDOW_HANDLE, INT_PTR(0));
    size_t size = 0;
    const void* data = nvxp::FindDialogTemplate(hInstance, lpTemplateName, &size);
    if (!data) return -1;
    int id = IS_INTRESOURCE(lpTemplateName) ? static_cast<int>(reinterpret_cast<uintptr_t>(lpTemplateName)) : 0;
    return RunDialogBox(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam, id);
}

// Asks the host's responder (or takes the default button); never shows a window.
NVXAPI int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    if (hWnd && !IsWindow(hWnd)) return Fail(ERROR_INVALID_WINDOW_HANDLE, 0);
    std::vector<int> buttons = nvxp::Buttons(uType);
    if (buttons.empty()) return Fail(nvxp::kErrorInvalidMsgboxStyle, 0);
    std::vector<int> all = buttons;
    if (uType & MB_HELP) all.push_back(IDHELP);
    size_t defIndex = (uType & MB_DEFMASK) >> 8;
    int def = defIndex < all.size() ? all[defIndex] : all.front();
    if (def == IDHELP) def = buttons.front();
    const WCHAR* caption = lpCaption ? lpCaption : WL("Error");
    int index = nvxp::AddLog(NVXUI_LOG_MESSAGEBOX, hWnd, uType, 0, caption, lpText ? lpText : WL(""));
    NvxUiMessageBoxResponder responder;
    void* context;
    {
        std::lock_guard<std::mutex> lock(nvxp::H().m);
        responder = nvxp::H().responder;
        context = nvxp::H().responderContext;
    }
    int answer = def;
    bool answered = false;
    for (int attempt = 0; responder && attempt < 10; ++attempt) {
        int reply = responder(context, hWnd, caption, lpText ? lpText : WL(""), uType);
        if (reply == IDHELP && (uType & MB_HELP)) {
            HELPINFO hi{};
            hi.cbSize = sizeof hi;
            hi.iContextType = HELPINFO_WINDOW;
            GetCursorPos(&hi.MousePos);
            if (hWnd) SendMessageW(hWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
            continue;
        }
        for (int b : buttons)
            if (b == reply) {
                answer = reply;
                answered = true;
            }
        break;
    }
    nvxp::FinishLog(index, NVXUI_LOG_MESSAGEBOX, hWnd, answer, answered);
    return answer;
}

NVXAPI int WINAPI MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType, WORD wLanguageId) {
    (void)wLanguageId;
    return MessageBoxW(hWnd, lpText, lpCaption, uType);
}

NVXAPI int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    auto wide = [](LPCSTR s) {
        if (!s) return nvx::WString();
        int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
        nvx::WString out(static_cast<size_t>(n > 0 ? n : 1), 0);
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
        out.resize(nvx::WLen(out.c_str()));
        return out;
    };
    nvx::WString text = wide(lpText);
    nvx::WString caption = wide(lpCaption);
    return MessageBoxW(hWnd, text.c_str(), lpCaption ? caption.c_str() : nullptr, uType);
}

// Help requests are recorded in the log (there is no help viewer).
NVXAPI BOOL WINAPI WinHelpW(HWND hWndMain, LPCWSTR lpszHelp, UINT uCommand, ULONG_PTR dwData) {
    int index = nvxp::AddLog(NVXUI_LOG_HELP, hWndMain, uCommand, 0, nullptr, lpszHelp);
    nvxp::FinishLog(index, NVXUI_LOG_HELP, hWndMain, static_cast<INT_PTR>(dwData), true);
    return TRUE;
}

}  // extern "C"
