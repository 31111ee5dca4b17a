// Entry points of features that this build does not carry yet.
//
// Each answers as a switched-off feature does: a page procedure handles no message
// (FALSE), a dialog or service answers 0 ("nothing done", "none"), a query answers
// null.  Non-page calls leave one line on the debugger output so that a host
// developer sees why nothing happened.  An entry moves out of this file when its
// feature lands.
#include "frame/exports.h"

namespace {

UINT_PTR Unavailable(const char* name) {
    char line[128] = "NOVRIX_U: ";
    size_t n = 10;
    for (const char* p = name; *p && n < sizeof line - 40; ++p) line[n++] = *p;
    const char* tail = " is not available in this build\n";
    for (const char* p = tail; *p && n < sizeof line - 1; ++p) line[n++] = *p;
    line[n] = 0;
    OutputDebugStringA(line);
    return 0;
}

}  // namespace

#define NVX_SWITCHED_OFF_PAGE(name) \
    NVX_DLGPROC(name) { return FALSE; }

// Property pages.
NVX_SWITCHED_OFF_PAGE(Prc_DocPaper2Proc)
NVX_SWITCHED_OFF_PAGE(Prc_DocQualityProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocQualityMonoProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocQualityPrnMonoProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocFinishingProc_T1)
NVX_SWITCHED_OFF_PAGE(Prc_DocFinishingProc_T2)
NVX_SWITCHED_OFF_PAGE(Prc_DocOtherProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocCoverPageProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocCoverPageProc_T2)
NVX_SWITCHED_OFF_PAGE(Prc_DocCoverPageProc_T3)
NVX_SWITCHED_OFF_PAGE(Prc_DocWOProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocFaxProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocMyTabProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocMyTabChildProc)
NVX_SWITCHED_OFF_PAGE(Prc_DocMyTabWaitingProc)
NVX_SWITCHED_OFF_PAGE(Prc_PrnDeviceOptionProc)
NVX_SWITCHED_OFF_PAGE(Prc_PrnSettingsProc)

// Presets, watermarks, forms.
NVX_EXPORT UINT_PTR SetEasySetPreset(const WCHAR*) { return Unavailable("SetEasySetPreset"); }
NVX_EXPORT UINT_PTR SetEasySetPresetByHandle(HANDLE) { return Unavailable("SetEasySetPresetByHandle"); }
NVX_EXPORT int Prc_RegDefWMarkA(const char*) { return static_cast<int>(Unavailable("Prc_RegDefWMarkA")); }
NVX_EXPORT int Prc_RegDefWMarkW(const WCHAR*) { return static_cast<int>(Unavailable("Prc_RegDefWMarkW")); }
NVX_EXPORT UINT_PTR GetFormFileName(UINT_PTR*) { return Unavailable("GetFormFileName"); }
NVX_EXPORT UINT_PTR CheckFormFile(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR) { return Unavailable("CheckFormFile"); }

// Settings transfer for set-up programs.
NVX_EXPORT UINT_PTR SPRINST_SettingExport(const char*, const char*) { return Unavailable("SPRINST_SettingExport"); }
NVX_EXPORT UINT_PTR SPRINST_SettingImport(const char*, const char*) { return Unavailable("SPRINST_SettingImport"); }
NVX_EXPORT UINT_PTR SPRINST_PersonalInfoImport(const char*, const char*) {
    return Unavailable("SPRINST_PersonalInfoImport");
}
NVX_EXPORT UINT_PTR SPRINST_DefaultSetting(const char*, const char*) { return Unavailable("SPRINST_DefaultSetting"); }
NVX_EXPORT void* SPRINST_FixSetting(const char*, const char*) {
    Unavailable("SPRINST_FixSetting");
    return nullptr;
}
NVX_EXPORT UINT_PTR SPRINST_GetErrorMsg(UINT) { return Unavailable("SPRINST_GetErrorMsg"); }

// Fax.
NVX_EXPORT UINT_PTR FaxCoverSheet_PopupDialog(HWND, const WCHAR*, const WCHAR*, UINT, void*, void*, void*, UINT_PTR,
                                              UINT_PTR) {
    return Unavailable("FaxCoverSheet_PopupDialog");
}
NVX_EXPORT UINT_PTR Popup_FaxSendToDlg(UINT_PTR) { return Unavailable("Popup_FaxSendToDlg"); }
NVX_EXPORT UINT_PTR FPB_Request_Abbr(void*, UINT_PTR, UINT* count, int*) {
    if (count) *count = 0;
    return Unavailable("FPB_Request_Abbr");
}

// Authentication dialogs.
NVX_EXPORT UINT_PTR Popup_UserAuthenticDlg(UINT_PTR) { return Unavailable("Popup_UserAuthenticDlg"); }
NVX_EXPORT UINT_PTR Popup_MiddleServerAuthenticDlg(void*) { return Unavailable("Popup_MiddleServerAuthenticDlg"); }
NVX_EXPORT UINT_PTR Popup_UserSettingDlgT2(UINT_PTR*) { return Unavailable("Popup_UserSettingDlgT2"); }
NVX_EXPORT UINT_PTR Popup_UserSettingSecurityDlg(UINT_PTR) { return Unavailable("Popup_UserSettingSecurityDlg"); }
NVX_EXPORT UINT_PTR Popup_ChkBlankRatioDlg(UINT_PTR) { return Unavailable("Popup_ChkBlankRatioDlg"); }

// Device events and job start.
NVX_EXPORT void SetUIAesKeyInfo(void*) { Unavailable("SetUIAesKeyInfo"); }
NVX_EXPORT UINT_PTR Bidi_PrnterEvent_Initialize(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_PrnterEvent_Initialize");
}
NVX_EXPORT UINT_PTR Bidi_WakeOnCall(UINT*, UINT_PTR, UINT_PTR) { return Unavailable("Bidi_WakeOnCall"); }
NVX_EXPORT UINT_PTR Bidi_DocumentPropertySheets_Init(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_DocumentPropertySheets_Init");
}
NVX_EXPORT UINT_PTR Bidi_DevicePropertySheets_Init(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                                   UINT_PTR, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_DevicePropertySheets_Init");
}
NVX_EXPORT UINT_PTR Bidi_DocumentEvent_CreateDC(UINT*, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_DocumentEvent_CreateDC");
}
NVX_EXPORT UINT_PTR Bidi_PrintStart_GetAuthCapability(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                                      UINT_PTR) {
    return Unavailable("Bidi_PrintStart_GetAuthCapability");
}
NVX_EXPORT UINT_PTR Bidi_PrintStart_VerifyAndEncryptKey(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                                        UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                                        UINT_PTR) {
    return Unavailable("Bidi_PrintStart_VerifyAndEncryptKey");
}
NVX_EXPORT UINT_PTR Bidi_PrintStart_GetEncryptionKey(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_PrintStart_GetEncryptionKey");
}
NVX_EXPORT UINT_PTR Bidi_PrintStart_IsCommunicate(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_PrintStart_IsCommunicate");
}
NVX_EXPORT UINT_PTR Bidi_PrintStart_SSO(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR) {
    return Unavailable("Bidi_PrintStart_SSO");
}
