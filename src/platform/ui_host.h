// Host interface of the headless user interface of the Linux platform layer.
//
// Hosts (the novrix tool, tests, a host written in another language) use these
// C functions to answer message boxes, drive modal dialogs, act on controls the
// way a user would and read the window tree as text.  The module never includes
// this header.  Call the acting functions on the thread that owns the windows,
// as a user's input reaches that thread; they answer FALSE with
// ERROR_WINDOW_OF_OTHER_THREAD otherwise.  docs/platform-ui.md lists the exact
// message sequence each action sends.
#pragma once

#include "platform/win32.h"

#ifndef _WIN32
NVX_BEGIN_DECLS

// ---- Message boxes and modal dialogs ---------------------------------------

// Answers a message box: the owner, caption, text and MB_ flags (buttons, icon,
// default button) as given to MessageBoxW.  The answer must be one of the box's
// buttons (IDOK, IDCANCEL, IDYES, ...); any other answer (0 included) takes the
// box's default button.  Answering IDHELP sends WM_HELP to the owner and asks again.
typedef int (*NvxUiMessageBoxResponder)(void* context, HWND owner, LPCWSTR caption, LPCWSTR text, UINT type);
// Drives a modal dialog or modal property sheet once it has initialised and is
// shown: it acts on the dialog through this interface and ends it (a click on OK
// or Cancel, or EndDialog).  A dialog still open when the driver returns and its
// queue is empty is cancelled as Escape would cancel it (WM_COMMAND IDCANCEL, then
// EndDialog(IDCANCEL)), and the log records it as not answered.
typedef void (*NvxUiModalDriver)(void* context, HWND dialog);

// Installs (or, with null, removes) the responder and the driver.  Without a
// responder a message box answers its default button; without a driver a modal
// dialog ends with IDCANCEL after it has processed its queued messages.
NVXAPI void NvxUi_SetMessageBoxResponder(NvxUiMessageBoxResponder responder, void* context);
NVXAPI void NvxUi_SetModalDriver(NvxUiModalDriver driver, void* context);

// Answers an open (save FALSE) or save file dialog: writes the chosen full path
// into `path` (at most `capacity` characters with the terminator) and answers TRUE,
// or answers FALSE to cancel.  The dialog's title, initial folder, filter and flags
// are in `ofn`; the responder checks what a real dialog would (a file that must
// exist, an overwrite prompt) as it sees fit.
typedef BOOL (*NvxUiFileDialogResponder)(void* context, BOOL save, const OPENFILENAMEW* ofn, LPWSTR path,
                                         DWORD capacity);
// Installs (or, with null, removes) it; without one every file dialog is cancelled.
NVXAPI void NvxUi_SetFileDialogResponder(NvxUiFileDialogResponder responder, void* context);

#define NVXUI_LOG_MESSAGEBOX 1
#define NVXUI_LOG_DIALOG 2
#define NVXUI_LOG_SHEET 3
#define NVXUI_LOG_HELP 4  // a WinHelpW call: text = help file, type = command, result = data

// One message box or modal dialog, in the order they were opened.
typedef struct NvxUiLogEntry {
    int kind;          // NVXUI_LOG_*
    HWND owner;        // the owner window passed by the caller
    UINT type;         // MessageBoxW flags (0 for dialogs)
    int resourceId;    // the dialog template number (0 for templates in memory or named ones)
    INT_PTR result;    // the button or dialog result (-1 while a dialog is still open)
    BOOL answered;     // answered by the responder / ended by the driver
    WCHAR caption[256];
    WCHAR text[1024];  // message box text (cut to fit)
} NvxUiLogEntry;

NVXAPI int NvxUi_LogCount(void);
NVXAPI BOOL NvxUi_GetLogEntry(int index, NvxUiLogEntry* entry);
NVXAPI void NvxUi_ClearLog(void);

// The template number a dialog was created from (0 when unknown).
NVXAPI int NvxUi_DialogResourceId(HWND dialog);

// ---- Watching windows come and go ------------------------------------------

#define NVXUI_WINDOW_SHOWN 1   // a top-level window became visible
#define NVXUI_WINDOW_HIDDEN 2  // it is no longer visible: hidden, destroyed, or freed with its thread
// Told about every top-level window of the process (dialogs with their template
// number, 0 for other windows), on the thread that shows or hides it, outside the
// layer's locks, after the change.  A modeless window that another thread shows
// (a please-wait window while the caller is blocked) is seen here while the
// caller's own thread cannot run.  The watcher must return quickly, must not
// show or hide windows itself, and must not install another watcher.
typedef void (*NvxUiWindowWatcher)(void* context, HWND window, int resourceId, UINT event);
// Installs (or, with null, removes) the watcher; when it returns, no call of the
// previous watcher is still running.
NVXAPI void NvxUi_SetWindowWatcher(NvxUiWindowWatcher watcher, void* context);

// ---- Acting as a user ------------------------------------------------------
// Each action checks that the control takes input: it and its ancestors are
// visible and enabled.  Otherwise nothing is sent and the answer is FALSE with
// ERROR_ACCESS_DENIED.

// A mouse click (button down and up at the control's centre): buttons toggle and
// notify, static controls with SS_NOTIFY send STN_CLICKED, list views select.
NVXAPI BOOL NvxUi_Click(HWND control);
NVXAPI BOOL NvxUi_DoubleClick(HWND control);
// Clicks a check box or radio button until it shows `state` (BST_CHECKED, ...).
NVXAPI BOOL NvxUi_SetCheck(HWND button, UINT state);
// Drops a combo box down, picks the entry and closes it as a mouse choice does.
// Text matches the whole entry ignoring case; ERROR_NOT_FOUND when none matches.
NVXAPI BOOL NvxUi_ChooseComboText(HWND combo, LPCWSTR text);
NVXAPI BOOL NvxUi_ChooseComboData(HWND combo, LPARAM data);
NVXAPI BOOL NvxUi_ChooseComboIndex(HWND combo, int index);
// Clicks item `index` of a list box or list view.
NVXAPI BOOL NvxUi_ChooseListItem(HWND list, int index);
// Clicks the check box of a list-view item until it shows `checked`.
NVXAPI BOOL NvxUi_CheckListItem(HWND listView, int index, BOOL checked);

#define NVXUI_TYPE_REPLACE 0  // the focus arrives as with Tab: the old text is selected and replaced
#define NVXUI_TYPE_APPEND 1   // the caret goes to the end of the text first
// Types into an edit box (or the edit part of a combo box) one WM_CHAR per
// character; "\b" is a backspace.
NVXAPI BOOL NvxUi_Type(HWND edit, LPCWSTR text, UINT flags);
// Gives a control the focus as the dialog manager does (WM_NEXTDLGCTL).
NVXAPI BOOL NvxUi_Focus(HWND control);
// Moves the focus away from a control as Tab does (the control gets WM_KILLFOCUS).
NVXAPI BOOL NvxUi_LeaveControl(HWND control);
// Clicks an up-down control's up arrow (steps > 0) or down arrow, |steps| times.
NVXAPI BOOL NvxUi_Spin(HWND upDown, int steps);
// Drags a trackbar's thumb to a position.
NVXAPI BOOL NvxUi_SetTrackBar(HWND trackBar, int position);
// Clicks a tab of a tab control, or of a property sheet's tab control.
NVXAPI BOOL NvxUi_SelectTab(HWND tabOrSheet, int index);
// Clicks the button with this id of a dialog or property sheet (IDOK, IDCANCEL,
// IDHELP, or 0x3021 for a sheet's Apply button).
NVXAPI BOOL NvxUi_PressButton(HWND dialog, int id);
// A key press on the focused control of a dialog, through IsDialogMessageW
// (VK_RETURN, VK_ESCAPE, VK_TAB, arrows, letters).
NVXAPI BOOL NvxUi_PressKey(HWND dialog, UINT vk);
// Context help on a control (WM_HELP with a HELPINFO), as the "?" button gives it.
NVXAPI BOOL NvxUi_ContextHelp(HWND control);
// Holds a key (VK_SHIFT, VK_CONTROL) down or lets it go, for GetKeyState.
NVXAPI void NvxUi_SetKeyState(int vk, BOOL down);
// Runs the calling thread's messages: what is ready now, or for `milliseconds`
// (timers fire meanwhile).  FALSE when WM_QUIT was seen.
NVXAPI BOOL NvxUi_Pump(DWORD milliseconds);

// ---- Recorded drawing ------------------------------------------------------
// Nothing is drawn, but what a window's procedure draws on the window's device
// context (BeginPaint, GetDC, WM_DRAWITEM) is kept: each BeginPaint starts the
// window's record anew, other DCs add to it (at most 20000 calls a window; the
// rest is dropped).  What is drawn into a memory DC is kept with its selected
// bitmap and copied into the record when BitBlt/StretchBlt put that bitmap on a
// window.  Coordinates are the window's client coordinates.
#define NVXUI_PAINT_LINE 1      // MoveToEx/LineTo: rect.left,top -> rect.right,bottom with the pen
#define NVXUI_PAINT_RECT 2      // Rectangle: outline with the pen, inside with the brush
#define NVXUI_PAINT_ELLIPSE 3   // Ellipse in rect: outline with the pen, inside with the brush
#define NVXUI_PAINT_POLYLINE 4  // Polyline: the points with the pen
#define NVXUI_PAINT_POLYGON 5   // Polygon: the points, outline with the pen, inside with the brush
#define NVXUI_PAINT_FILL 6      // FillRect, PatBlt, an opaque ExtTextOut: rect with the brush
#define NVXUI_PAINT_FRAME 7     // FrameRect: a one-pixel frame with the brush
#define NVXUI_PAINT_TEXTOUT 8   // TextOutW/ExtTextOutW at rect.left,top; flags: the DC's TA_ alignment
#define NVXUI_PAINT_DRAWTEXT 9  // DrawTextW in rect; flags: its DT_ format
#define NVXUI_PAINT_IMAGE 10    // an icon or a resource bitmap put in rect; source: what it is ("icon #198")
#define NVXUI_PAINT_PIXEL 11    // SetPixel at rect.left,top in the text colour field
#define NVXUI_PAINT_EDGE 12     // DrawEdge of rect; flags: edge in the low word, BF_ flags in the high word
#define NVXUI_PAINT_FOCUS 13    // DrawFocusRect
#define NVXUI_PAINT_INVERT 14   // InvertRect

typedef struct NvxUiPaintOp {
    int kind;             // NVXUI_PAINT_*
    RECT rect;            // see the kinds
    BOOL hasClip;         // drawing is limited to `clip` (which may be empty: nothing shows)
    RECT clip;
    BOOL hasPen;          // FALSE for a null pen
    COLORREF penColor;
    int penWidth;
    int penStyle;         // PS_SOLID, PS_DASH, ...
    BOOL hasBrush;        // FALSE for a null (hollow) brush
    COLORREF brushColor;  // also FILL's and FRAME's colour
    COLORREF textColor;   // also PIXEL's colour
    COLORREF bkColor;
    BOOL opaque;          // OPAQUE background mode: text boxes are filled with bkColor
    int fontHeight;       // the selected font's LOGFONT height (negative: em height in pixels)
    int fontWeight;
    int fontEscapement;   // tenths of a degree, anticlockwise
    BOOL fontItalic;
    BOOL fontUnderline;
    WCHAR fontFace[32];
    UINT flags;           // see the kinds
    int pointCount;       // POLYLINE, POLYGON
    int textLength;       // TEXTOUT, DRAWTEXT
    char source[64];      // IMAGE
} NvxUiPaintOp;

// The number of calls recorded for a window (0 for none or a bad handle).
NVXAPI int NvxUi_PaintOpCount(HWND window);
// Copies recorded call `index`; its points (up to maxPoints) and text (cut to
// textSize characters with the terminator) when buffers are given.  FALSE when
// there is no such call.
NVXAPI BOOL NvxUi_GetPaintOp(HWND window, int index, NvxUiPaintOp* op, POINT* points, int maxPoints, LPWSTR text,
                             int textSize);
// What an icon, cursor or bitmap handle is, as the window tree shows it ("icon #198",
// "icon IDI_WARNING", "bitmap #300"), UTF-8; answers the bytes needed, 0 when unknown.
NVXAPI int NvxUi_DescribeImage(HANDLE image, char* buffer, int size);

// ---- Inspection ------------------------------------------------------------
// Writes a readable rendering of a window and its descendants as UTF-8 text,
// one control per line (id, class, kind, text, state, position in dialog units
// and pixels), cut to `size` bytes and terminated.  Answers the bytes the whole
// text needs, without the terminator.
NVXAPI int NvxUi_RenderTree(HWND root, char* buffer, int size);
// The tooltip text of a tool (asking the tool's owner with TTN_GETDISPINFOW when
// the tool's text is a callback); answers the length, -1 when there is no such tool.
NVXAPI int NvxUi_GetToolTipText(HWND tooltip, HWND toolOwner, UINT_PTR toolId, LPWSTR buffer, int size);
// Whether a control takes input now (it and its ancestors visible and enabled).
NVXAPI BOOL NvxUi_IsActionable(HWND control);
// Live windows of the process (the desktop not counted), for leak checks.
NVXAPI int NvxUi_WindowCount(void);
// GDI objects made by programs and not yet deleted (stock objects not counted).
NVXAPI int NvxUi_GdiObjectCount(void);

NVX_END_DECLS
#endif
