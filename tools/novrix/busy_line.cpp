// The busy line: see busy_line.h.
#include "busy_line.h"

#include "platform/ui_host.h"

namespace novrix {

BusyLine::BusyLine(FILE* out, bool terminal, unsigned showAfterMs)
    : out_(out), terminal_(terminal), showAfterMs_(showAfterMs) {
    NvxUi_SetWindowWatcher(Watch, this);
}

BusyLine::~BusyLine() {
    NvxUi_SetWindowWatcher(nullptr, nullptr);  // no call of Watch runs after this
    EndSpinner();
}

void BusyLine::Watch(void* context, HWND, int resourceId, UINT event) {
    if (resourceId != kBusyWindowTemplate) return;
    auto* self = static_cast<BusyLine*>(context);
    if (event == NVXUI_WINDOW_SHOWN) self->Shown();
    else if (event == NVXUI_WINDOW_HIDDEN) self->Hidden();
}

void BusyLine::Shown() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (windowsUp_++ > 0) return;  // a second busy window: the line is already there
    if (!terminal_ && showAfterMs_ == 0) {
        fprintf(out_, "%s\n", kBusyLineText);
        fflush(out_);
        return;
    }
    const unsigned generation = ++generation_;
    spinner_ = std::thread([this, generation] { Spin(generation); });
}

void BusyLine::Hidden() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (windowsUp_ == 0 || --windowsUp_ > 0) return;
    }
    EndSpinner();
}

// Waits showAfterMs_, then prints the plain line or turns the spinner every
// kSpinnerStepMs until its generation is over, then erases the line.
void BusyLine::Spin(unsigned generation) {
    static const char kFrames[] = {'|', '/', '-', '\\'};
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(showAfterMs_), [this, generation] { return Over(generation); }))
        return;  // the device answered in time: nothing to say
    if (!terminal_) {
        fprintf(out_, "%s\n", kBusyLineText);
        fflush(out_);
        return;
    }
    for (unsigned i = 0; !Over(generation); ++i) {
        fprintf(out_, "\r%s %c", kBusyLineText, kFrames[i % 4]);
        fflush(out_);
        wake_.wait_for(lock, std::chrono::milliseconds(kSpinnerStepMs), [this, generation] { return Over(generation); });
    }
    fputs("\r\x1b[K", out_);  // back to an empty line for what follows
    fflush(out_);
}

// Tells the spinner to end and waits for it (at most one spinner step).
void BusyLine::EndSpinner() {
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++generation_;
        ending = std::move(spinner_);
    }
    wake_.notify_all();
    if (ending.joinable()) ending.join();
}

}  // namespace novrix
