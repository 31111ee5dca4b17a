// The open and save file dialogs, answered by the host: the layer shows no
// window; the host's file dialog responder (ui_host.h) names the file as a user
// would type it, or cancels.  Without a responder every file dialog is cancelled.
#include <cstddef>
#include <mutex>

#include "platform/linux/user32/user_internal.h"
#include "platform/ui_host.h"

namespace {

struct FileHooks {
    std::mutex m;
    NvxUiFileDialogResponder responder = nullptr;
    void* context = nullptr;
};
FileHooks& F() {
    static auto* hooks = new FileHooks;
    return *hooks;
}
thread_local DWORD t_extendedError = 0;

BOOL Run(LPOPENFILENAMEW ofn, BOOL save) {
    t_extendedError = 0;
    // The older structure, without its last three fields, is accepted as Windows accepts it.
    if (!ofn || ofn->lStructSize < offsetof(OPENFILENAMEW, pvReserved)) {
        t_extendedError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        t_extendedError = CDERR_INITIALIZATION;
        return FALSE;
    }
    NvxUiFileDialogResponder responder;
    void* context;
    {
        std::lock_guard<std::mutex> lock(F().m);
        responder = F().responder;
        context = F().context;
    }
    if (!responder) return FALSE;
    WCHAR chosen[MAX_PATH * 4] = {};
    if (!responder(context, save, ofn, chosen, MAX_PATH * 4) || !chosen[0]) return FALSE;
    const size_t n = nvx::WLen(chosen);
    if (n + 1 > ofn->nMaxFile) {
        t_extendedError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    nvx::WCopy(ofn->lpstrFile, ofn->nMaxFile, chosen);
    // The name's offset and its extension's (0 without one), as the dialog reports them.
    size_t name = 0;
    for (size_t i = 0; i < n; ++i)
        if (chosen[i] == u'\\' || chosen[i] == u'/') name = i + 1;
    size_t ext = 0;
    for (size_t i = name; i < n; ++i)
        if (chosen[i] == u'.') ext = i + 1;
    ofn->nFileOffset = static_cast<WORD>(name);
    ofn->nFileExtension = static_cast<WORD>(ext < n ? ext : 0);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) nvx::WCopy(ofn->lpstrFileTitle, ofn->nMaxFileTitle, chosen + name);
    return TRUE;
}

}  // namespace

NVXAPI void NvxUi_SetFileDialogResponder(NvxUiFileDialogResponder responder, void* context) {
    std::lock_guard<std::mutex> lock(F().m);
    F().responder = responder;
    F().context = context;
}

NVXAPI BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW ofn) {
    return Run(ofn, FALSE);
}

NVXAPI BOOL WINAPI GetSaveFileNameW(LPOPENFILENAMEW ofn) {
    return Run(ofn, TRUE);
}

NVXAPI DWORD WINAPI CommDlgExtendedError(void) {
    return t_extendedError;
}
