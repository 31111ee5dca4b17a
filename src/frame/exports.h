// The module's exported entry points: plain C linkage, at the ordinals of exports.def.
//
// Every export forwards to its subsystem unchanged.  An entry point whose feature is
// not part of this build answers a failure in its own terms.
#pragma once

#include "platform/win32.h"

#ifdef _WIN32
#define NVX_EXPORT extern "C"
#else
#define NVX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

struct OEMDEV;

// ---- Page procedures (dialog procedures) ----
#define NVX_DLGPROC(name) NVX_EXPORT INT_PTR CALLBACK name(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
NVX_DLGPROC(Prc_DocPaper1Proc);
NVX_DLGPROC(Prc_DocPaper2Proc);
NVX_DLGPROC(Prc_DocQualityProc);
NVX_DLGPROC(Prc_DocQualityMonoProc);
NVX_DLGPROC(Prc_DocQualityPrnMonoProc);
NVX_DLGPROC(Prc_DocFinishingProc_T1);
NVX_DLGPROC(Prc_DocFinishingProc_T2);
NVX_DLGPROC(Prc_DocOtherProc);
NVX_DLGPROC(Prc_DocCoverPageProc);
NVX_DLGPROC(Prc_DocCoverPageProc_T2);
NVX_DLGPROC(Prc_DocCoverPageProc_T3);
NVX_DLGPROC(Prc_DocWOProc);
NVX_DLGPROC(Prc_DocFaxProc);
NVX_DLGPROC(Prc_DocVersionProc);
NVX_DLGPROC(Prc_DocInitializeProc);
NVX_DLGPROC(Prc_DocMyTabProc);
NVX_DLGPROC(Prc_DocMyTabChildProc);
NVX_DLGPROC(Prc_DocMyTabWaitingProc);
NVX_DLGPROC(Prc_PrnDeviceOptionProc);
NVX_DLGPROC(Prc_PrnSettingsProc);

// ---- Constraints and settings records ----
NVX_EXPORT UINT_PTR DoConstraints(UINT mode, UINT_PTR dialog, UINT_PTR toolWindow, WORD controlId, UINT item,
                                  UINT_PTR flags);
NVX_EXPORT OEMDEV* FindOEMDevPtr(DEVMODEW* devmode);
NVX_EXPORT void Prc_ResetDevOption(BYTE* record);

// ---- Presets, watermarks, forms ----
NVX_EXPORT UINT_PTR SetEasySetPreset(const WCHAR* printerName);
NVX_EXPORT UINT_PTR SetEasySetPresetByHandle(HANDLE printer);
NVX_EXPORT int Prc_RegDefWMarkA(const char* printerName);
NVX_EXPORT int Prc_RegDefWMarkW(const WCHAR* printerName);
NVX_EXPORT UINT_PTR GetFormFileName(UINT_PTR* request);
NVX_EXPORT UINT_PTR CheckFormFile(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d);

// ---- Settings transfer for set-up programs (ANSI paths) ----
NVX_EXPORT UINT_PTR SPRINST_SettingExport(const char* printerName, const char* file);
NVX_EXPORT UINT_PTR SPRINST_SettingImport(const char* printerName, const char* file);
NVX_EXPORT UINT_PTR SPRINST_PersonalInfoImport(const char* printerName, const char* file);
NVX_EXPORT UINT_PTR SPRINST_DefaultSetting(const char* printerName, const char* file);
NVX_EXPORT void* SPRINST_FixSetting(const char* printerName, const char* file);
NVX_EXPORT UINT_PTR SPRINST_GetErrorMsg(UINT code);

// ---- Fax ----
// (owner, printer, driver, may-apply answer, cover sheet record in/out, the job's
// settings record, the job's destination count, its destination array or null, UI context)
NVX_EXPORT UINT_PTR FaxCoverSheet_PopupDialog(HWND owner, const WCHAR* printerName, const WCHAR* driverName,
                                              UINT mayApply, void* record, void* devmode, UINT_PTR count,
                                              void* destinations, UINT_PTR context);
NVX_EXPORT UINT_PTR Popup_FaxSendToDlg(UINT_PTR context);
// (fax transmission dialog, a value passed on, output buffer, entry count: wanted in, delivered out)
NVX_EXPORT UINT_PTR FPB_Request_Abbr(void* dialog, UINT_PTR value, UINT* buffer, int* count);

// ---- Authentication dialogs ----
NVX_EXPORT UINT_PTR Popup_UserAuthenticDlg(UINT_PTR context);
NVX_EXPORT UINT_PTR Popup_MiddleServerAuthenticDlg(void* context);
NVX_EXPORT UINT_PTR Popup_UserSettingDlgT2(UINT_PTR* context);
NVX_EXPORT UINT_PTR Popup_UserSettingSecurityDlg(UINT_PTR context);
NVX_EXPORT UINT_PTR Popup_ChkBlankRatioDlg(UINT_PTR context);

// ---- Device events and job start ----
NVX_EXPORT void SetUIAesKeyInfo(void* keyInformation);
NVX_EXPORT UINT_PTR Bidi_PrnterEvent_Initialize(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e);
NVX_EXPORT UINT_PTR Bidi_WakeOnCall(UINT* a, UINT_PTR b, UINT_PTR c);
NVX_EXPORT UINT_PTR Bidi_DocumentPropertySheets_Init(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e,
                                                     UINT_PTR f);
NVX_EXPORT UINT_PTR Bidi_DevicePropertySheets_Init(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e,
                                                   UINT_PTR f, UINT_PTR g, UINT_PTR h, UINT_PTR i);
NVX_EXPORT UINT_PTR Bidi_DocumentEvent_CreateDC(UINT* a, UINT_PTR b, UINT_PTR c);
NVX_EXPORT UINT_PTR Bidi_PrintStart_GetAuthCapability(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e,
                                                      UINT_PTR f, UINT_PTR g);
NVX_EXPORT UINT_PTR Bidi_PrintStart_VerifyAndEncryptKey(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e,
                                                        UINT_PTR f, UINT_PTR g, UINT_PTR h, UINT_PTR i, UINT_PTR j,
                                                        UINT_PTR k, UINT_PTR l, UINT_PTR m);
NVX_EXPORT UINT_PTR Bidi_PrintStart_GetEncryptionKey(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e,
                                                     UINT_PTR f);
NVX_EXPORT UINT_PTR Bidi_PrintStart_IsCommunicate(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e);
NVX_EXPORT UINT_PTR Bidi_PrintStart_SSO(UINT_PTR a, UINT_PTR b, UINT_PTR c, UINT_PTR d, UINT_PTR e, UINT_PTR f);

// ---- Device API services ----
NVX_EXPORT void OAPI_Cleanup(UINT_PTR connection);
NVX_EXPORT short OAPI_GetAuthType(WCHAR** capabilityText);
NVX_EXPORT UINT_PTR OAPI_Sizeof_HeaderFooter(void);
NVX_EXPORT UINT_PTR OAPI_Sizeof_OverlayList(void);
NVX_EXPORT void OAPI_AccessWarmUp(void);
NVX_EXPORT void* OAPICom_Create(void);
NVX_EXPORT UINT_PTR OAPICom_Delete(void* cache);

// ---- Display functions of the page framework ----
NVX_EXPORT UINT_PTR MyDialogBox(BYTE* resourceInstance, UINT_PTR owner, UINT templateId, UINT_PTR dialogProc,
                                UINT_PTR context);
NVX_EXPORT UINT_PTR SetDispStringSingle(void* module, const char* entryName, const char* key, WCHAR* destination,
                                        UINT count);
NVX_EXPORT UINT_PTR ReplaceDlgDispString(HWND dialog, UINT* table);
NVX_EXPORT UINT_PTR ReplaceDlgDispStringCmnItem(HWND dialog, void* table, UINT page, INT_PTR context);
NVX_EXPORT void DispHintControl(UINT_PTR dialog, UINT_PTR context, WORD page);
NVX_EXPORT INT_PTR CreateToolWnd(HWND dialog);
NVX_EXPORT void StoreStopIconRectExp(HWND dialog);
NVX_EXPORT void ReqDrawStopInfoIconExp(HWND dialog, UINT control, WCHAR** position);
NVX_EXPORT UINT_PTR Prc_TBLimit_CheckString(HWND edit, UINT_PTR text, UINT maximum);
NVX_EXPORT UINT_PTR Prc_TBLimit_CheckMinMaxFromString(HWND edit, UINT_PTR text, UINT minimum, UINT maximum,
                                                      UINT kind);

// ---- Module services ----
NVX_EXPORT HMODULE GetImgResInst(void);
NVX_EXPORT void GetCompanyName(WCHAR* buffer, UINT characters);
NVX_EXPORT UINT_PTR IsInstalledDLManager(void);
NVX_EXPORT UINT_PTR SetChildInfo(void);
