// The busy window: the object, its window thread and its dialog procedure.
#include "device/busy_window.h"

#include <cstring>
#include <vector>

#include "frame/module_state.h"
#include "model/loaded_model.h"

namespace nvx::device {
namespace {

constexpr char kTagText[4] = {'V', 'L', 'W', 'D'};

uint32_t TagValue() {
    uint32_t value;
    std::memcpy(&value, kTagText, sizeof value);
    return value;
}

// Centres the dialog over the owner, or over the desktop without one, by the
// midpoints of the two window rectangles.
void CentreOver(HWND dialog, HWND owner) {
    RECT over{};
    if (!owner || !IsWindow(owner) || !GetWindowRect(owner, &over)) GetWindowRect(GetDesktopWindow(), &over);
    RECT mine{};
    GetWindowRect(dialog, &mine);
    const int x = (over.left + over.right) / 2 - (mine.right - mine.left) / 2;
    const int y = (over.top + over.bottom) / 2 - (mine.bottom - mine.top) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool ReadBusyCaption(HANDLE printer, WString& caption) {
    caption.clear();
    if (!printer) return false;
    DWORD needed = 0;
    GetPrinterW(printer, 1, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_1W)) return false;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 1, buffer.data(), needed, &needed)) return false;
    PRINTER_INFO_1W info;
    std::memcpy(&info, buffer.data(), sizeof info);
    if (!info.pName) return false;
    caption.assign(info.pName, WLenBounded(info.pName, kBusyTitleChars - 1));
    return true;
}

WString BusyMessageText(const model::MessageTables& tables, UINT number) {
    WString text = model::MessageForDisplay(model::MessageSlot(tables, model::MessageTable::Message, number));
    if (text.size() > kBusyMessageChars - 1) text.resize(kBusyMessageChars - 1);
    return text;
}

BusyWindow::BusyWindow(HANDLE printer, UINT messageNumber, UINT animationId)
    : tag_(TagValue()), animationId_(animationId) {
    WString caption;
    if (ReadBusyCaption(printer, caption)) {
        title_ = std::make_unique<WCHAR[]>(kBusyTitleChars);
        WCopy(title_.get(), kBusyTitleChars, caption);
    }
    // Without the message table there is no message (the template's text stays).
    const model::MessageTables& tables = model::Loaded().messages;
    if (tables.text[static_cast<unsigned>(model::MessageTable::Message)]) {
        message_ = std::make_unique<WCHAR[]>(kBusyMessageChars);
        WCopy(message_.get(), kBusyMessageChars, BusyMessageText(tables, messageNumber));
    }
}

BusyWindow::~BusyWindow() {
    if (depth_ > 0) {
        depth_ = 1;
        Stop();
    }
    std::atomic_ref<uint32_t>(tag_).store(0, std::memory_order_release);
    title_.reset();
    message_.reset();
}

bool BusyWindow::TagIntact() const {
    // The tag is read while another thread may overwrite the object: atomically.
    return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(tag_)).load(std::memory_order_acquire) == TagValue();
}

void BusyWindow::CloseHandles() {
    for (HANDLE* h : {&thread_, &started_, &stop_}) {
        if (*h) CloseHandle(*h);
        *h = nullptr;
    }
}

void BusyWindow::Start(HWND owner) {
    if (depth_ == 0) {
        owner_ = owner;
        // The events first: a thread that could not be told to stop must not run.
        started_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (started_ && stop_) thread_ = CreateThread(nullptr, 0, ThreadMain, this, CREATE_SUSPENDED, nullptr);
        if (thread_) {
            SetThreadPriority(thread_, GetThreadPriority(GetCurrentThread()));
            ResumeThread(thread_);
            // The window is up when the started event is set; a thread that ended
            // without setting it (no window could be made) ends the wait too.
            const HANDLE either[2] = {started_, thread_};
            WaitForMultipleObjects(2, either, FALSE, kBusyStartWaitMs);
        } else {
            CloseHandles();
            owner_ = nullptr;
        }
    }
    ++depth_;
}

void BusyWindow::Stop() {
    if (depth_ == 0) return;
    if (--depth_ > 0 || !thread_) return;
    SetEvent(stop_);
    // The window's thread looks at the stop event every kBusyLoopSliceMs between
    // its messages, and nothing it runs waits on this thread, so this wait ends.
    WaitForSingleObject(thread_, INFINITE);
    CloseHandles();
    window_.store(nullptr);
    animationWindow_.store(nullptr);
    if (owner_) {
        SetForegroundWindow(owner_);
        owner_ = nullptr;
    }
}

DWORD WINAPI BusyWindow::ThreadMain(LPVOID arg) {
    auto* self = static_cast<BusyWindow*>(arg);
    // No owner window: a window owned across threads would tie the owner's input
    // to this thread while the owner's thread is blocked.  Top-most keeps it in front.
    HWND dialog = CreateDialogParamW(frame::Module().dialogResources, MAKEINTRESOURCEW(kBusyDialogTemplate), nullptr,
                                     DialogProc, reinterpret_cast<LPARAM>(self));
    if (dialog) {
        self->window_.store(dialog);
        const LONG_PTR ex = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
        SetWindowLongPtrW(dialog, GWL_EXSTYLE, (ex | WS_EX_TOOLWINDOW) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
        ShowWindow(dialog, SW_SHOW);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    SetEvent(self->started_);
    for (;;) {
        // An object that was destroyed or overwritten ends the thread (its window
        // goes with the thread).
        if (!self->TagIntact()) return 0;
        if (WaitForSingleObject(self->stop_, kBusyLoopSliceMs) != WAIT_TIMEOUT) {
            if (dialog) DestroyWindow(dialog);
            return 0;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void BusyWindow::InitDialog(HWND dialog) {
    CentreOver(dialog, owner_);
    HWND place = GetDlgItem(dialog, kBusyAnimationPlace);
    RECT r{};
    if (place && GetWindowRect(place, &r)) MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    HWND animation = CreateWindowExW(0, ANIMATE_CLASSW, nullptr, WS_CHILD | ACS_TRANSPARENT, r.left, r.top,
                                     r.right - r.left, r.bottom - r.top, dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBusyAnimationControl)),
                                     frame::Module().imageResources, nullptr);
    if (animation) {
        SendMessageW(animation, ACM_OPENW, reinterpret_cast<WPARAM>(frame::Module().imageResources),
                     reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(animationId_)));
        ShowWindow(animation, SW_SHOW);
    }
    animationWindow_.store(animation);
    if (title_) SetWindowTextW(dialog, title_.get());
    if (message_) SetDlgItemTextW(dialog, kBusyMessageText, message_.get());
}

INT_PTR CALLBACK BusyWindow::DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<BusyWindow*>(lParam)->InitDialog(dialog);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam) {
            auto* self = reinterpret_cast<BusyWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
            HWND animation = self ? self->animationWindow_.load() : nullptr;
            // From the first frame to the last, again and again.
            if (animation) SendMessageW(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace nvx::device
