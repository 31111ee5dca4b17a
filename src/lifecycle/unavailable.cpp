// Property pages of features that this build does not carry yet.
//
// Each handles no message (FALSE), so a host that adds one of them shows an
// empty page and never reads anything from it as success.  An entry moves out
// of this file when its feature lands.
#include "frame/exports.h"

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
