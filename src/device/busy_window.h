// The busy window: a small, top-most, animated please-wait dialog shown while the
// module waits on the device.  It runs its own message loop on a second thread, so
// it keeps painting and animating while the calling thread is blocked in a device
// call.  It is the only place where the module creates a thread.
//
// Use: a local object around the device exchange,
//
//     BusyWindow busy(printer, 543, 11141);
//     busy.Start(dialog);
//     ... device calls ...
//     busy.Stop();
//
// Start and Stop nest (the window goes at the outermost Stop); the destructor takes
// a window that is still up down, so a failure path that skips Stop is safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "common/text.h"
#include "model/messages.h"
#include "platform/win32.h"

namespace nvx::device {

// The resources the window is made of: dialog template 211 of the dialog
// resource library (NOVRIX_S.DLL) with the animation's placeholder 3166 and the
// message text 3167; the animation control the window adds gets id 12345 and
// plays a clip of the image resource library (NOVRIX_R.DLL).
inline constexpr UINT kBusyDialogTemplate = 211;
inline constexpr int kBusyAnimationPlace = 3166;
inline constexpr int kBusyMessageText = 3167;
inline constexpr int kBusyAnimationControl = 12345;
// The caption buffer (the printer's name, cut to 259 characters) and the message
// buffer (a message slot of 290 characters and its terminator).
inline constexpr size_t kBusyTitleChars = 260;
inline constexpr size_t kBusyMessageChars = model::kMessageSlotChars + 1;
static_assert(kBusyMessageChars == 291);
// The window's thread runs its messages and looks at the stop event at least this
// often (milliseconds).
inline constexpr DWORD kBusyLoopSliceMs = 10;
// How long Start waits for the window to come up before it goes on without it.
inline constexpr DWORD kBusyStartWaitMs = 10000;

// The caption: the printer's name (GetPrinterW level 1), cut to 259 characters.
// False when the printer's name cannot be read (the caption is then the template's).
bool ReadBusyCaption(HANDLE printer, WString& caption);
// The message: slot `number` of the message table MessageStr as shown (backslash
// and "n" become a space and a line feed), at most 290 characters.  A slot the
// package did not fill, or a number past the table, gives an empty text.
WString BusyMessageText(const model::MessageTables& tables, UINT number);

class BusyWindow {
public:
    // Reads the caption and the message at once; the window is made by Start.
    BusyWindow(HANDLE printer, UINT messageNumber, UINT animationId);
    // Forces the window down (depth 1, then Stop) and frees caption and message.
    virtual ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

    // Begins a busy period, or nests one in a period already begun.  The first
    // Start returns once the window is up.  `owner` (may be null) is the window the
    // busy window is centred over and that gets the foreground back at the end.
    void Start(HWND owner);
    // Ends one nesting level; at the outermost the window goes and Stop returns
    // once its thread has ended.  Without a Start it does nothing.
    void Stop();

    // For tests and hosts: the nesting depth, the dialog while it is up, the
    // animation control, the caption and message texts (null when absent).
    UINT Depth() const { return depth_; }
    HWND WindowForTest() const { return window_.load(); }
    HWND AnimationWindowForTest() const { return animationWindow_.load(); }
    const WCHAR* Title() const { return title_.get(); }
    const WCHAR* Message() const { return message_.get(); }

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
    void InitDialog(HWND dialog);
    bool TagIntact() const;
    void CloseHandles();

    // The fields in the order the window's thread and the caller share them.
    uint32_t tag_;                      // the characters "VLWD"; anything else ends the window's thread
    std::unique_ptr<WCHAR[]> title_;    // kBusyTitleChars, or null
    std::unique_ptr<WCHAR[]> message_;  // kBusyMessageChars, or null
    UINT animationId_;
    HWND owner_ = nullptr;
    HANDLE thread_ = nullptr;
    HANDLE started_ = nullptr;  // manual reset: the window is up
    HANDLE stop_ = nullptr;     // manual reset: the window's thread is to destroy it and end
    UINT depth_ = 0;            // Start calls not yet matched by Stop (caller's thread only)
    std::atomic<HWND> animationWindow_{nullptr};  // written by the window's thread
    std::atomic<HWND> window_{nullptr};           // the dialog, while it exists
};

}  // namespace nvx::device
