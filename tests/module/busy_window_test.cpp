// The busy window with the module attached from a copy of the driver folder: its
// dialog (template 211 of NOVRIX_S.DLL) on a thread of its own, the nesting of
// Start and Stop, caption, message and animation, placement and the foreground,
// and that no window and no thread is left behind on any path.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "common/text.h"
#include "device/busy_window.h"
#include "frame/module_state.h"
#include "lifecycle/lifecycle.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "platform/ui_host.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/thread_count.h"

namespace {

using nvx::device::BusyWindow;
using nvx::frame::Module;

constexpr UINT kMessage = 543;  // the sample model's "please wait" text
constexpr UINT kClip = 11141;

std::string TreeOf(HWND window) {
    std::string text(8192, '\0');
    const int n = NvxUi_RenderTree(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::min<int>(n, static_cast<int>(text.size()) - 1)));
    return text;
}

nvx::WString TextOf(HWND window) {
    WCHAR text[400] = {};
    GetWindowTextW(window, text, 400);
    return text;
}

// The current frame of the animation as the window tree shows it ("frame=N").
int FrameOf(HWND animation) {
    const std::string tree = TreeOf(animation);
    const size_t at = tree.find(" frame=");
    return at == std::string::npos ? -1 : std::stoi(tree.substr(at + 7));
}

class BusyWindowTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        anchor_ = LoadLibraryW(driver_.WidePath("NOVRIX_R.DLL").c_str());
        ASSERT_NE(nullptr, anchor_);
        ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
        ASSERT_NE(nullptr, Module().dialogResources);
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(WL("Front Office MFP"));
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = const_cast<LPWSTR>(WL("LPT1:"));
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        printer_ = nvxtest::AddTestPrinter(info);
        ASSERT_NE(nullptr, printer_);
        owner_ = CreateWindowExW(0, WL("Static"), WL("sheet"), WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, owner_);
        windowsBefore_ = NvxUi_WindowCount();
        threadsBefore_ = nvxtest::SettledThreadCount();
    }
    void TearDown() override {
        NvxUi_SetWindowWatcher(nullptr, nullptr);
        if (owner_) DestroyWindow(owner_);
        if (printer_) ClosePrinter(printer_);
        nvx::lifecycle::DetachModule();
        if (anchor_) FreeLibrary(anchor_);
        PlatformTest::TearDown();
    }
    // Writes a slot of the message table MessageStr.
    static void Slot(unsigned number, const char* text) {
        WCHAR* p = nvx::model::Loaded().messages.text[static_cast<unsigned>(nvx::model::MessageTable::Message)] +
                   number * nvx::model::kMessageSlotChars;
        nvx::WCopy(p, nvx::model::kMessageSlotChars, nvx::WFromUtf8(text));
    }
    // Nothing of a busy period is left: its window, its thread.
    void ExpectNothingLeft() {
        EXPECT_EQ(windowsBefore_, NvxUi_WindowCount());
        EXPECT_EQ(threadsBefore_, nvxtest::ThreadCountSettlesAt(threadsBefore_));
    }

    nvxtest::DriverCopy driver_;
    HMODULE anchor_ = nullptr;
    HANDLE printer_ = nullptr;
    HWND owner_ = nullptr;
    int windowsBefore_ = 0;
    int threadsBefore_ = 0;
};

TEST_F(BusyWindowTest, StopWithoutStartDoesNothing) {
    BusyWindow busy(printer_, kMessage, kClip);
    busy.Stop();
    busy.Stop();
    EXPECT_EQ(0u, busy.Depth());
    EXPECT_EQ(nullptr, busy.WindowForTest());
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, WindowIsMadeAsTheDialogResourceSays) {
    BusyWindow busy(printer_, kMessage, kClip);
    busy.Start(owner_);
    HWND window = busy.WindowForTest();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(211, NvxUi_DialogResourceId(window));
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr));  // a thread of its own
    EXPECT_EQ(nullptr, GetWindow(window, GW_OWNER));
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_EQ(nvx::WString(WL("Front Office MFP")), TextOf(window));
    EXPECT_EQ(nvx::WString(WL("Getting information from the device. \nPlease wait.")),
              TextOf(GetDlgItem(window, 3167)));

    // The animation control lies over the placeholder and plays the clip without end.
    HWND animation = GetDlgItem(window, 12345);
    ASSERT_NE(nullptr, animation);
    EXPECT_EQ(animation, busy.AnimationWindowForTest());
    EXPECT_TRUE(GetWindowLongPtrW(animation, GWL_STYLE) & ACS_TRANSPARENT);
    RECT place{}, clip{};
    GetWindowRect(GetDlgItem(window, 3166), &place);
    GetWindowRect(animation, &clip);
    EXPECT_EQ(place.left, clip.left);
    EXPECT_EQ(place.top, clip.top);
    const std::string tree = TreeOf(animation);
    EXPECT_NE(std::string::npos, tree.find("clip=#11141 frames=8")) << tree;
    EXPECT_NE(std::string::npos, tree.find("playing=0..7 repeat=-1")) << tree;

    // Centred over the owner by the midpoints of the two rectangles.
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_NEAR(300, (r.left + r.right) / 2, 1);
    EXPECT_NEAR(250, (r.top + r.bottom) / 2, 1);
    busy.Stop();
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, AnimationRunsWhileTheCallerIsBlocked) {
    BusyWindow busy(printer_, kMessage, kClip);
    busy.Start(owner_);
    HWND animation = busy.AnimationWindowForTest();
    ASSERT_NE(nullptr, animation);
    // This thread runs no messages; it only looks (the tree is read by a message
    // that the window's own thread answers).
    int changes = 0;
    int last = FrameOf(animation);
    for (int i = 0; i < 30 && changes < 3; ++i) {
        Sleep(50);
        const int now = FrameOf(animation);
        if (now != last) ++changes;
        last = now;
    }
    EXPECT_GE(changes, 3);
    busy.Stop();
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, NestedStartsKeepOneWindowUntilTheOutermostStop) {
    BusyWindow busy(printer_, kMessage, kClip);
    busy.Start(owner_);
    HWND window = busy.WindowForTest();
    ASSERT_NE(nullptr, window);
    const int withWindow = nvxtest::ThreadCount();
    busy.Start(owner_);
    EXPECT_EQ(2u, busy.Depth());
    EXPECT_EQ(window, busy.WindowForTest());  // shown once
    EXPECT_EQ(withWindow, nvxtest::ThreadCount());
    busy.Stop();
    EXPECT_EQ(1u, busy.Depth());
    EXPECT_TRUE(IsWindowVisible(window));
    busy.Stop();
    EXPECT_EQ(0u, busy.Depth());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(owner_, GetForegroundWindow());  // the owner is brought back to the front
    ExpectNothingLeft();
    // A new period after the end makes a new window.
    busy.Start(owner_);
    EXPECT_NE(nullptr, busy.WindowForTest());
    EXPECT_NE(window, busy.WindowForTest());
    busy.Stop();
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, WithoutOwnerCentredOnTheDesktopAndNoForegroundChange) {
    BusyWindow busy(printer_, kMessage, kClip);
    busy.Start(nullptr);
    HWND window = busy.WindowForTest();
    ASSERT_NE(nullptr, window);
    RECT desktop{}, r{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &r);
    EXPECT_NEAR((desktop.left + desktop.right) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR((desktop.top + desktop.bottom) / 2, (r.top + r.bottom) / 2, 1);
    busy.Stop();
    EXPECT_NE(owner_, GetForegroundWindow());  // nobody was brought to the front
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, MessageSlotsAsShown) {
    Slot(700, "");
    Slot(701, "First line\\nSecond line\\n");
    Slot(702, "A \\ alone and \\N stay");
    const struct {
        UINT number;
        const WCHAR* text;
    } cases[] = {
        {700, WL("")},                                     // an empty slot: an empty line
        {701, WL("First line \nSecond line \n")},          // backslash-n: a line break
        {702, WL("A \\ alone and \\N stay")},              // nothing else changes
        {5000, WL("")},                                    // past the table
    };
    for (const auto& c : cases) {
        BusyWindow busy(printer_, c.number, kClip);
        ASSERT_NE(nullptr, busy.Message());
        EXPECT_EQ(nvx::WString(c.text), busy.Message()) << c.number;
        busy.Start(owner_);
        ASSERT_NE(nullptr, busy.WindowForTest());
        EXPECT_EQ(nvx::WString(c.text), TextOf(GetDlgItem(busy.WindowForTest(), 3167))) << c.number;
        busy.Stop();
    }
    // A full slot has no terminator of its own: 290 characters, terminated.
    WCHAR* full = nvx::model::Loaded().messages.text[0] + 703 * nvx::model::kMessageSlotChars;
    for (size_t i = 0; i < nvx::model::kMessageSlotChars; ++i) full[i] = u'x';
    BusyWindow busy(printer_, 703, kClip);
    EXPECT_EQ(nvx::model::kMessageSlotChars, nvx::WLen(busy.Message()));
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, CaptionIsThePrinterNameOrTheTemplates) {
    nvx::WString caption;
    EXPECT_TRUE(nvx::device::ReadBusyCaption(printer_, caption));
    EXPECT_EQ(nvx::WString(WL("Front Office MFP")), caption);
    EXPECT_FALSE(nvx::device::ReadBusyCaption(nullptr, caption));
    EXPECT_TRUE(caption.empty());

    BusyWindow busy(nullptr, kMessage, kClip);  // no printer: no caption of its own
    EXPECT_EQ(nullptr, busy.Title());
    busy.Start(owner_);
    ASSERT_NE(nullptr, busy.WindowForTest());
    EXPECT_EQ(nvx::WString(WL("Please wait")), TextOf(busy.WindowForTest()));
    busy.Stop();
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, DestructorTakesTheWindowDown) {
    HWND window = nullptr;
    {
        BusyWindow busy(printer_, kMessage, kClip);
        busy.Start(owner_);
        busy.Start(owner_);
        busy.Start(owner_);
        window = busy.WindowForTest();
        ASSERT_NE(nullptr, window);
        // Left without Stop, as a failure path would.
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(owner_, GetForegroundWindow());
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, MissingTemplateNeitherHangsNorLeavesAThread) {
    // The dialog resource library without the template: Start comes back at once
    // without a window, and Stop still ends the thread.
    HMODULE saved = Module().dialogResources;
    Module().dialogResources = nullptr;
    const DWORD start = GetTickCount();
    {
        BusyWindow busy(printer_, kMessage, kClip);
        busy.Start(owner_);
        EXPECT_EQ(nullptr, busy.WindowForTest());
        EXPECT_EQ(1u, busy.Depth());
        busy.Stop();
    }
    EXPECT_LT(GetTickCount() - start, 2000u);
    Module().dialogResources = saved;
    ExpectNothingLeft();
}

// The watcher is called on the thread that shows the window: there it reads the
// window thread's own priority.
struct ShownOn {
    std::atomic<int> priority{THREAD_PRIORITY_ERROR_RETURN};
    std::atomic<DWORD> thread{0};
};
void RecordShownThread(void* context, HWND, int resourceId, UINT event) {
    auto* seen = static_cast<ShownOn*>(context);
    if (resourceId != 211 || event != NVXUI_WINDOW_SHOWN) return;
    seen->priority = GetThreadPriority(GetCurrentThread());
    seen->thread = GetCurrentThreadId();
}

TEST_F(BusyWindowTest, WindowThreadRunsAtTheCallersPriority) {
    ShownOn seen;
    NvxUi_SetWindowWatcher(RecordShownThread, &seen);
    ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL));
    BusyWindow busy(printer_, kMessage, kClip);
    busy.Start(owner_);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, seen.priority.load());
    EXPECT_EQ(GetWindowThreadProcessId(busy.WindowForTest(), nullptr), seen.thread.load());
    busy.Stop();
    ExpectNothingLeft();
}

TEST_F(BusyWindowTest, ManyPeriodsLeaveNothingBehind) {
    for (int i = 0; i < 20; ++i) {
        BusyWindow busy(printer_, kMessage, kClip);
        busy.Start(i % 2 ? owner_ : nullptr);
        if (i % 3) busy.Stop();  // else the destructor ends it
    }
    ExpectNothingLeft();
}

}  // namespace
