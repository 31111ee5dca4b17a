// Entry points of features that this build does not carry yet.
//
// Each answers as its own export fails: a page procedure handles no message
// (FALSE), a dialog answers the code its callers read as "not shown", a service
// answers its failure code, and every output the export promises (a count, a
// result, a detail text) is written empty.  None of them ever answers what a
// caller would read as success.  Non-page calls leave one line on the debugger
// output so that a host developer sees why nothing happened.  An entry moves out
// of this file when its feature lands.
#include <cstdint>

#include "features/model_record.h"
#include "features/switch_ids.h"
#include "frame/exports.h"
#include "frame/module_state.h"
#include "frame/unavailable_codes.h"
#include "frame/variant_switches.h"

namespace {

using namespace nvx::frame::unavailable;

template <typename T>
T Unavailable(const char* name, T answer) {
    char line[128] = "NOVRIX_U: ";
    size_t n = 10;
    for (const char* p = name; *p && n < sizeof line - 40; ++p) line[n++] = *p;
    const char* tail = " is not available in this build\n";
    for (const char* p = tail; *p && n < sizeof line - 1; ++p) line[n++] = *p;
    line[n] = 0;
    OutputDebugStringA(line);
    return answer;
}


}  // namespace

#define NVX_SWITCHED_OFF_PAGE(name) \
    NVX_DLGPROC(name) {             \
        (void)hDlg;                 \
        (void)msg;                  \
        (void)wParam;               \
        (void)lParam;               \
        return FALSE;               \
    }

// Property pages.
NVX_SWITCHED_OFF_PAGE(Prc_DocCoverPageProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocCoverPageProc_T2)
NVX_SWITCHED_OFF_PAGE(Prc_DocCoverPageProc_T3)
NVX_SWITCHED_OFF_PAGE(Prc_DocMyTabProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocMyTabChildProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocMyTabWaitingProc)
NVX_SWITCHED_OFF_PAGE(Prc_PrnSettingsProc)


// Authentication dialogs: 5, the answer of a dialog that could not be shown.
NVX_EXPORT UINT_PTR Popup_MiddleServerAuthenticDlg(void*) {
    return Unavailable<UINT_PTR>("Popup_MiddleServerAuthenticDlg", kDialogNotShown);
}
NVX_EXPORT UINT_PTR Popup_ChkBlankRatioDlg(UINT_PTR) {
    return Unavailable<UINT_PTR>("Popup_ChkBlankRatioDlg", kDialogNotShown);
}
