// Entry points of the pages: the exported page procedures forward to the pages.
#include "frame/exports.h"
#include "pages/fax_send.h"
#include "pages/page_procs.h"

using namespace nvx::pages;

// ---- Page procedures ----
NVX_DLGPROC(Prc_DocPaper1Proc) {
    return BasicPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocPaper2Proc) {
    return LayoutPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocWOProc) {
    return StampPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocFinishingProc_T1) {
    return FinishingPageProcType1(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocFinishingProc_T2) {
    return FinishingPageProcType2(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocCoverPageProc) {
    return CoverPageProcType1(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocCoverPageProc_T2) {
    return CoverPageProcType2(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocCoverPageProc_T3) {
    return CoverPageProcType3(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocMyTabProc) {
    return CustomTabPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocMyTabChildProc) {
    return CustomTabSettingDialogProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocMyTabWaitingProc) {
    return CustomTabWaitingProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocQualityMonoProc) {
    return QualityMonoPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocQualityProc) {
    return QualityColorPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocQualityPrnMonoProc) {
    return QualityPrinterMonoPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocOtherProc) {
    return OtherPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocVersionProc) {
    return VersionPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocInitializeProc) {
    return InitialPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_PrnDeviceOptionProc) {
    return DeviceOptionPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_PrnSettingsProc) {
    return PrinterSettingsPageProc(hDlg, msg, wParam, lParam);
}
NVX_DLGPROC(Prc_DocFaxProc) {
    return FaxPageProc(hDlg, msg, wParam, lParam);
}

// ---- Fax ----
NVX_EXPORT UINT_PTR Popup_FaxSendToDlg(UINT_PTR block) {
    return RunFaxSendTo(reinterpret_cast<const FaxSendToBlock*>(block));
}
