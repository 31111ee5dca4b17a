// Internals of the headless window manager (never seen by the module).
//
// Locking: one process-wide recursive mutex (UiLock) guards the window table,
// the window tree and every field of Window and WindowClass.  It is never held
// while a window procedure, dialog procedure or host callback runs.  The private
// state of a control (Window::control) is touched only by the control's own
// procedure, which runs on the window's thread, so it needs no lock.
//
// Lifetime: a Window is owned by the window table through a shared pointer.
// DestroyWindow removes it from the table after WM_NCDESTROY; a message call in
// progress keeps its own reference, so a procedure that destroys its own window
// (or whose parent does so during a notification) never touches freed memory.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/internal.h"
#include "platform/ui_host.h"

namespace nvxp {

// ---- Threads and time ----------------------------------------------------
DWORD CurrentThreadId();
DWORD CurrentProcessId();
// Milliseconds of a monotonic clock (the message time base).
DWORD TickNow();

// ---- Locking -------------------------------------------------------------
std::recursive_mutex& UiMutex();
using UiLock = std::lock_guard<std::recursive_mutex>;

// ---- Classes ---------------------------------------------------------------
struct WindowClass {
    nvx::WString name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    nvx::WString menuName;
    bool builtin = false;  // system and common-control classes (global)
    std::vector<uint8_t> extra;
    int liveWindows = 0;
};
using ClassRef = std::shared_ptr<WindowClass>;

// Finds the class a window of this name (or atom, MAKEINTATOM) is created from:
// the class registered by this instance, else a global or built-in one.  Null if none.
ClassRef FindClass(LPCWSTR name, HINSTANCE instance);
// Makes sure the built-in classes and the desktop exist (idempotent).
void EnsureUserInit();
void RegisterBuiltinClassesOnce();
// A built-in class by atom, without initialising (for the initialisation itself).
ClassRef BuiltinClassByAtom(ATOM atom);

// ---- Windows ---------------------------------------------------------------
// Private state of a control class or of a dialog; freed with the Window.
struct ControlData {
    virtual ~ControlData() = default;
};

struct Subclass {
    SUBCLASSPROC proc;
    UINT_PTR id;
    DWORD_PTR refData;
};

struct ScrollBarState {
    int min = 0, max = 100, page = 0, pos = 0, trackPos = 0;
    bool shown = false;
};

struct Window {
    HWND hwnd = nullptr;
    ClassRef cls;
    DWORD thread = 0;
    Window* parent = nullptr;  // the desktop for top-level windows
    Window* owner = nullptr;
    std::vector<Window*> children;  // z-order, topmost first
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;  // GWLP_ID (the menu handle of a top-level window)
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    WNDPROC proc = nullptr;
    nvx::WString text;
    RECT rect{};  // window rectangle in the parent's client coordinates
    std::vector<uint8_t> extra;
    std::vector<std::pair<nvx::WString, HANDLE>> props;
    std::vector<Subclass> subclasses;  // SetWindowSubclass chain, newest last
    WNDPROC subclassed = nullptr;      // the procedure the chain ends in
    ScrollBarState scroll[2];
    HICON iconSmall = nullptr, iconBig = nullptr;
    // Painting.
    bool updatePending = false;
    bool eraseNeeded = false;
    RECT updateRect{};
    // Life cycle.
    enum class State { Creating, Alive, Destroying, Dead } state = State::Creating;
    bool destroyMessageSent = false;
    std::unique_ptr<ControlData> control;
    std::unique_ptr<ControlData> dialog;
    // A Window in the table is alive or being created or destroyed.
    bool Usable() const { return state != State::Dead; }
};
using WindowRef = std::shared_ptr<Window>;

// Under UiLock: the window behind a handle, or null for unknown, destroyed or null handles.
Window* FindWindowLocked(HWND hwnd);
// Takes the lock and answers a reference that keeps the window object alive.
WindowRef GetWindowRef(HWND hwnd);
// The desktop window (root of every top-level window).
Window* DesktopLocked();
HWND DesktopHandle();
// Sets ERROR_INVALID_WINDOW_HANDLE and answers false when the handle is not a window.
bool CheckWindow(HWND hwnd);
// The live-window count (every window but the desktop).
int LiveWindowCount();
// Handles of the children of a window (z-order), taken under the lock.
std::vector<HWND> ChildHandles(HWND parent);
// Handles of every window of a thread.
std::vector<HWND> ThreadWindowHandles(DWORD thread);
// Frees the windows of a thread that ends, without messages (its procedures are gone).
void DropThreadWindows(DWORD thread);
// The part of DropThreadWindows that frees the windows (the watcher not told).
void RetireThreadWindows(DWORD thread);

// The control or dialog state of a window of this thread, or null.
template <typename T>
T* ControlOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w ? dynamic_cast<T*>(w->control.get()) : nullptr;
}
template <typename T>
T* DialogOf(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w ? dynamic_cast<T*>(w->dialog.get()) : nullptr;
}
// Installs control state on a window (from its WM_NCCREATE); answers it.
template <typename T>
T* AttachControl(HWND hwnd, std::unique_ptr<T> data) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return nullptr;
    T* raw = data.get();
    w->control = std::move(data);
    return raw;
}

// Window fields without message traffic (for the layer's own use).
DWORD StyleOf(HWND hwnd);
DWORD ExStyleOf(HWND hwnd);
// Sets or clears style bits silently (as controls do to their own styles).
void SetStyleBits(HWND hwnd, DWORD set, DWORD clear);
nvx::WString TextOf(HWND hwnd);
// Stores a window's text without messages (DefWindowProc's WM_SETTEXT).
void StoreText(HWND hwnd, nvx::WStringView text);
nvx::WString ClassNameOf(HWND hwnd);
bool IsClass(HWND hwnd, const char16_t* name);
int IdOf(HWND hwnd);
// Whether the window and all its ancestors have WS_VISIBLE.
bool ReallyVisible(HWND hwnd);

// ---- Messages --------------------------------------------------------------
// Calls the window's procedure on this thread (or hands the call to the owning
// thread and waits), as SendMessageW does.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// WM_COMMAND(id, code) from a control to its parent.
LRESULT NotifyCommand(HWND control, UINT code);
// WM_NOTIFY from a control to its parent; fills hwndFrom, idFrom and code.
LRESULT NotifyParent(HWND control, NMHDR* header, UINT code);
// Runs every message of this thread that is ready now (posted, sent, paint,
// timers due when the pump started) without waiting, offering each to
// IsDialogMessageW(dialog) first when a dialog is given; answers false when
// WM_QUIT was seen (it is put back).  Stops after 100000 messages.
bool PumpPending(HWND dialog = nullptr);
// Pumps for the given time, waiting for messages and timers; false on WM_QUIT.
bool PumpFor(DWORD milliseconds);
// Removes timers and queued messages of a window being destroyed.
void ForgetWindowMessages(HWND hwnd);
// Builds a MSG time/point for the message queue.
void StampMessage(MSG* msg);

// ---- Per-thread user state -------------------------------------------------
struct ThreadUiState {
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    int sendDepth = 0;  // > 0 while a message sent by another thread runs
};
ThreadUiState& ThreadUi();

// ---- Focus and activation (user32/focus.cpp) ---------------------------------
// Moves the focus with WM_KILLFOCUS/WM_SETFOCUS; no activation checks.
void SetFocusDirect(HWND hwnd);
// Picks another top-level window to activate when the active one hides or dies.
void ActivateOtherWindow(HWND leaving);
// Keeps focus, activation and capture consistent when a window goes away.
void ForgetFocusOf(HWND hwnd);

// ---- Geometry (user32/geometry.cpp) ------------------------------------------
struct Frame {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// The non-client frame a window of these styles has (caption, borders, edges).
Frame NonClientFrame(DWORD style, DWORD exStyle, bool menu);
// Screen position of a window's client origin.
POINT ClientOriginOnScreen(HWND hwnd);
// The screen and work area (fixed, documented in docs/platform-ui.md).
RECT ScreenRect();
RECT WorkArea();
int MulDivRound(int value, int numerator, int denominator);
// WINDOWPOS traffic for a new rectangle (parent client coordinates), z-order and show state.
BOOL SetWindowPosImpl(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// ---- Painting (user32/paint.cpp) ---------------------------------------------
void InvalidateWindow(HWND hwnd, bool erase, bool children);
// The window of this thread whose WM_PAINT is due next, or null.
HWND NextWindowToPaint(HWND filter);
void ValidateWindow(HWND hwnd);

// ---- GDI (gdi32/gdi.cpp) ----------------------------------------------------
// Average character width and height of a font in pixels (the fixed metric).
SIZE FontCharSize(HFONT font);
// Metrics of a font whose face the machine has (gdi32/fonts.cpp, FreeType): the
// extent of `count` characters (with the characters fitting `maxExtent`, -1 for
// no limit, and the extent up to each character when `fit`, `dx` are given) and
// the text metrics.  False for a face the machine does not have: the caller then
// uses the fixed metric.
bool RealTextExtent(const LOGFONTW& font, const WCHAR* text, int count, SIZE* size, int maxExtent = -1,
                    int* fit = nullptr, int* dx = nullptr);
bool RealTextMetrics(const LOGFONTW& font, TEXTMETRICW* metrics);
// A character's glyph metrics (black box in whole pixels, rounded outward; the
// unhinted advance rounded); false as above.
bool RealGlyphMetrics(const LOGFONTW& font, WCHAR c, GLYPHMETRICS* metrics);
// Pixel height of a font of this many points at 96 dots per inch.
int PointsToPixels(int points);
HFONT DefaultGuiFont();
HDC CreateWindowDc(HWND hwnd);
void FillFaceName(WCHAR* dst, const WCHAR* name);
// Where a bitmap came from ("#120"), for the window tree; and its size.
void SetBitmapSource(HBITMAP bitmap, const std::string& source);
std::string BitmapSource(HBITMAP bitmap);
bool BitmapSize(HBITMAP bitmap, SIZE* size);
bool IsGdiObject(HGDIOBJ object);
// Live GDI objects made by programs (stock objects and DCs not counted).
int GdiObjectCount();

// ---- Recorded drawing (gdi32/gdi_record.cpp) --------------------------------
// One drawing call as the host reads it (NvxUiPaintOp), with its points and text.
struct PaintOp {
    NvxUiPaintOp op{};
    std::vector<POINT> points;
    nvx::WString text;
};
// Where a DC's drawing goes: a window's record, or the bitmap selected into a
// memory DC (neither: a printer or information DC, not kept).
struct PaintTarget {
    HWND window = nullptr;
    HGDIOBJ bitmap = nullptr;
};
void RecordPaint(const PaintTarget& target, PaintOp op);
// BeginPaint: the window is about to be painted whole again.
void RestartPaintRecord(HWND window);
void ForgetPaintRecord(HWND window);
void ForgetBitmapRecord(HGDIOBJ bitmap);
// BitBlt/StretchBlt: what was drawn into `bitmap` (from source rectangle `from`)
// is scaled into `to` of the target, clipped as the target DC clips (`dc`); a
// bitmap with nothing drawn into it that came from a resource is recorded as an
// image of its source.
void RecordBitmapCopy(const PaintTarget& target, HGDIOBJ bitmap, const RECT& from, const RECT& to,
                      const NvxUiPaintOp& dc);

// ---- Icons, cursors, images (user32/image.cpp) -------------------------------
// "icon #108", "icon IDI_WARNING", "bitmap #120", or "" for none / unknown.
std::string DescribeImage(HANDLE image);
bool IsIconHandle(HANDLE image);
// The size of an icon, cursor or bitmap; false for anything else.
bool ImageSize(HANDLE image, SIZE* size);
// Formats a resource name: "#108" for an ordinal, else the name.
std::string ResourceNameText(LPCWSTR name);

// ---- Dialogs (user32/dialog.cpp) ---------------------------------------------
// Base units of a window's dialog (its font), {6, 13} for 8-point MS Shell Dlg.
SIZE DialogBaseUnitsOf(HWND dialog);
// The nearest ancestor (or itself) that is a dialog, or null.
HWND DialogAncestor(HWND hwnd);
// The focus change the dialog manager makes (select-all for edits, then SetFocus).
void DialogSetFocus(HWND control);
// The resource name a dialog was created from (0 when not from a numbered resource).
int DialogResourceId(HWND dialog);
// Tells the host's window watcher (ui_host.h) that a top-level window was shown
// or is no longer visible.  Call with no lock held.
void NotifyWindowWatcher(HWND hwnd, int resourceId, bool shown);
// Style changes applied to a template's own styles (property pages become
// child controls of their sheet).
struct TemplateAdjust {
    DWORD styleSet = 0;
    DWORD styleClear = 0;
    DWORD exStyleSet = 0;
};
// Dialog creation from a template in memory; modal reports the owner it disabled.
HWND CreateDialogFromTemplate(HINSTANCE instance, const void* templ, size_t size, HWND parent, DLGPROC proc,
                              LPARAM param, bool modal, HWND* disabledOwner, int resourceId,
                              const TemplateAdjust* adjust = nullptr);
// The size a template's client area has in pixels, and its caption; false when malformed.
bool TemplateClientSize(const void* templ, size_t size, SIZE* pixels, nvx::WString* caption);
// Finds and locks a dialog template in a module's resources: pointer and size, or null.
const void* FindDialogTemplate(HINSTANCE instance, LPCWSTR name, size_t* size);
// Whether EndDialog was called, and its result.
bool DialogEnded(HWND dialog, INT_PTR* result);

// ---- Modal loop and host hooks (user32/modal.cpp) ----------------------------
// Runs a modal dialog (or sheet) until `ended` says so: shows it, runs its
// queued messages, calls the host's driver, cancels it when it is still open,
// re-enables the owner, destroys it and logs it (kind NVXUI_LOG_*).
INT_PTR RunModalLoop(HWND dialog, HWND disabledOwner, bool (*ended)(HWND, INT_PTR*), int logKind);

// ---- Built-in window procedures -------------------------------------------
LRESULT CALLBACK DesktopProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ScrollBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListViewProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK UpDownProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ToolTipProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TabProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TrackBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK AnimateProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ProgressProc(HWND, UINT, WPARAM, LPARAM);

// A private message every built-in control answers with a readable summary of its
// state: wParam = 0, lParam = std::string* to append UTF-8 text to (one line,
// no trailing newline) and, for item lists, further lines prefixed "\n".
constexpr UINT kDescribeMessage = 0x03F0;
// Private messages of the host interface (acts of a user that have no Win32 message):
// a click on item wParam of a combo box's dropped list;
constexpr UINT kComboChoose = 0x03F1;
// a drag of a trackbar's thumb to position wParam;
constexpr UINT kTrackDrag = 0x03F2;
// the text of tool (lParam = ToolTipQuery*) as the host inspects it.
constexpr UINT kToolTipQuery = 0x03F3;
struct ToolTipQuery {
    HWND owner;
    UINT_PTR id;
    nvx::WString text;
};
// The host's keyboard state (user32/focus.cpp).
void SetKeyDown(int vk, bool down);

// ---- Small text helpers ----------------------------------------------------
// A possibly null or resource-ordinal string as text (ordinals give "").
nvx::WString SafeText(LPCWSTR s);
// Copies text into a caller buffer of cap characters as WM_GETTEXT does:
// cut to cap - 1, terminated; answers the characters copied.
int CopyOut(nvx::WStringView text, WCHAR* buffer, size_t cap);
// Appends UTF-8 of a UTF-16 string quoted with C escapes ("a\"b\n").
void AppendQuoted(std::string& out, nvx::WStringView text);

}  // namespace nvxp
