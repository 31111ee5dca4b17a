// novrix's busy line: "Waiting for the device..." while a busy window (template
// 211 of NOVRIX_S.DLL) is up, with a spinner at a terminal and as one plain line
// elsewhere; other windows print nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "busy_line.h"
#include "common/text.h"
#include "platform/ui_host.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

class BusyLineTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        dialogs_ = LoadLibraryW(nvx::WFromUtf8(nvxtest::BuiltDriverFolder() + "/NOVRIX_S.DLL").c_str());
        ASSERT_NE(nullptr, dialogs_);
        out_ = tmpfile();
        ASSERT_NE(nullptr, out_);
    }
    void TearDown() override {
        if (out_) fclose(out_);
        if (dialogs_) FreeLibrary(dialogs_);
        PlatformTest::TearDown();
    }
    // A dialog of the library, shown; it is destroyed by the caller.
    HWND Show(int templateId) {
        HWND dialog = CreateDialogParamW(dialogs_, MAKEINTRESOURCEW(templateId), nullptr, PlainProc, 0);
        EXPECT_NE(nullptr, dialog);
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
        return dialog;
    }
    std::string Output() {
        fflush(out_);
        rewind(out_);
        std::string text;
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, out_)) > 0) text.append(buffer, n);
        return text;
    }

    HMODULE dialogs_ = nullptr;
    FILE* out_ = nullptr;
};

TEST_F(BusyLineTest, PlainLineOncePerBusyPeriodWhenNotATerminal) {
    {
        novrix::BusyLine line(out_, false);
        HWND other = Show(151);  // the custom size dialog: not a busy window
        DestroyWindow(other);
        HWND busy = Show(211);
        ShowWindow(busy, SW_HIDE);
        ShowWindow(busy, SW_SHOW);  // a second period
        DestroyWindow(busy);
    }
    EXPECT_EQ("Waiting for the device...\nWaiting for the device...\n", Output());
    // Without the watcher nothing is printed.
    DestroyWindow(Show(211));
    EXPECT_EQ("Waiting for the device...\nWaiting for the device...\n", Output());
}

TEST_F(BusyLineTest, ADeviceThatAnswersInTimeLeavesNoLine) {
    {
        novrix::BusyLine line(out_, false, 10 * novrix::kSpinnerStepMs);
        DestroyWindow(Show(211));  // a quick answer: nothing printed
        HWND slow = Show(211);
        Sleep(12 * novrix::kSpinnerStepMs);
        DestroyWindow(slow);
    }
    EXPECT_EQ("Waiting for the device...\n", Output());
}

TEST_F(BusyLineTest, SpinnerTurnsAtATerminalUntilTheWindowGoes) {
    {
        novrix::BusyLine line(out_, true);
        HWND busy = Show(211);
        Sleep(4 * novrix::kSpinnerStepMs + 50);
        DestroyWindow(busy);  // the spinner has ended and erased its line when this returns
        const std::string text = Output();
        EXPECT_EQ(0u, text.find("\rWaiting for the device... |\rWaiting for the device... /")) << text;
        EXPECT_NE(std::string::npos, text.find("\rWaiting for the device... -")) << text;
        EXPECT_EQ(text.size() - 4, text.rfind("\r\x1b[K")) << text;
    }
    const size_t size = Output().size();
    Sleep(2 * novrix::kSpinnerStepMs);
    EXPECT_EQ(size, Output().size());  // nothing turns any more
}

TEST_F(BusyLineTest, WindowOnAnotherThreadAndWindowsThatGoWithTheirThread) {
    novrix::BusyLine line(out_, false);
    // The module's busy window lives on a thread of its own; a thread that ends
    // with the window still up takes it along, and the line knows it is gone.
    std::thread window([this] { Show(211); });
    window.join();
    std::thread again([this] { DestroyWindow(Show(211)); });
    again.join();
    EXPECT_EQ("Waiting for the device...\nWaiting for the device...\n", Output());
}

TEST_F(BusyLineTest, DestroyedWhileTheSpinnerTurns) {
    HWND busy = nullptr;
    {
        novrix::BusyLine line(out_, true);
        busy = Show(211);
        Sleep(novrix::kSpinnerStepMs);
    }  // the watcher goes and the spinner with it
    DestroyWindow(busy);
    const std::string text = Output();
    EXPECT_EQ(text.size() - 4, text.rfind("\r\x1b[K")) << text;
}

}  // namespace
