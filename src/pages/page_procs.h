// The dialog procedures of the pages and dialogs this module builds.  The exported
// page procedures forward to them; the custom size and custom paper list dialogs
// run through MyDialogBox from the Basic tab.
#pragma once

#include "platform/win32.h"
#include "stamps/copy_protect.h"

namespace nvx::pages {

INT_PTR CALLBACK BasicPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);      // 100
INT_PTR CALLBACK LayoutPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);     // 101
// The Stamp/Composition tab (watermarks and overlay forms).
INT_PTR CALLBACK StampPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 104
// Its watermark dialog, run by the tab's Edit button through MyDialogBox.
INT_PTR CALLBACK WatermarkDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 111
INT_PTR CALLBACK HeaderFooterEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 185
INT_PTR CALLBACK DateTimePageDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 2055
// The copy-protect dialogs the Stamp/Composition tab opens (copy_protect_dialogs.cpp).
INT_PTR CALLBACK CopyProtectEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 2145
INT_PTR CALLBACK CopyGuardEditDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);    // 214
// Whether this build has the dialog; runs it over the owner page's context (the
// dialog's answer; 0 for a dialog not built).
bool CopyProtectDialogBuilt(stamps::CopyProtectDialog which);
INT_PTR RunCopyProtectDialog(HWND owner, stamps::CopyProtectDialog which);
// The Finishing tab's two types (each answers 0 to everything when its variant switch is off).
INT_PTR CALLBACK FinishingPageProcType1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 110
INT_PTR CALLBACK FinishingPageProcType2(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 110
// The Cover/Insert tab's three types (each answers 0 to everything when its variant switch is off).
INT_PTR CALLBACK CoverPageProcType1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 113
INT_PTR CALLBACK CoverPageProcType2(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 113
INT_PTR CALLBACK CoverPageProcType3(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 113
// The custom page (My Tab), its arrangement dialog and its progress window.
INT_PTR CALLBACK CustomTabPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);           // 230
INT_PTR CALLBACK CustomTabSettingDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 231
INT_PTR CALLBACK CustomTabWaitingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);        // 233
// The Quality tab: the monochrome multifunction page (196, this build), the colour
// page (105) and the monochrome printer's page (196); each answers 0 to everything
// outside its variant.
INT_PTR CALLBACK QualityMonoPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);         // 196
INT_PTR CALLBACK QualityColorPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);        // 105
INT_PTR CALLBACK QualityPrinterMonoPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 196
INT_PTR CALLBACK OtherPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 187 (0 to everything without the tab)
INT_PTR CALLBACK VersionPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);    // 106
INT_PTR CALLBACK CustomPaperListDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 115
INT_PTR CALLBACK CustomSizeDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 151
// The same dialog for the output size's custom fields.
INT_PTR CALLBACK CustomOutSizeDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 151
INT_PTR CALLBACK DeviceOptionPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 156
// The printer sheet's settings tab.
INT_PTR CALLBACK PrinterSettingsPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // 157
INT_PTR CALLBACK InitialPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);    // 161
INT_PTR CALLBACK FaxPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);        // 171

}  // namespace nvx::pages
