// The property pages of features this build does not carry, called through the
// module's exports: each handles no message and says nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "common/proc.h"
#include "common/text.h"
#include "platform/host.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using U = UINT_PTR;

class UnavailableTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }
    nvxtest::DriverCopy driver_;
    HMODULE module_ = nullptr;
};

template <typename F>
F As(FARPROC p) {
    return nvx::ProcAs<F>(p);
}

using Page = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using Check = std::function<void(FARPROC)>;

struct Row {
    const char* name;
    Check check;
};

Check PageHandlesNothing() {
    return [](FARPROC p) {
        for (UINT msg : {static_cast<UINT>(WM_INITDIALOG), static_cast<UINT>(WM_COMMAND),
                         static_cast<UINT>(WM_NOTIFY), static_cast<UINT>(WM_DESTROY)})
            EXPECT_EQ(FALSE, As<Page>(p)(nullptr, msg, 0, 0)) << msg;
    };
}

TEST_F(UnavailableTest, EveryPlaceholderPageHandlesNothingAndSaysNothing) {
    const Row rows[] = {
        {"Prc_DocCoverPageProc", PageHandlesNothing()},
        {"Prc_DocCoverPageProc_T2", PageHandlesNothing()},
        {"Prc_DocCoverPageProc_T3", PageHandlesNothing()},
        {"Prc_DocMyTabProc", PageHandlesNothing()},
        {"Prc_DocMyTabChildProc", PageHandlesNothing()},
        {"Prc_DocMyTabWaitingProc", PageHandlesNothing()},
    };
    ASSERT_EQ(6u, sizeof rows / sizeof rows[0]);
    // Pages say nothing.
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FARPROC p = GetProcAddress(module_, row.name);
        ASSERT_NE(nullptr, p);
        NvxPlatform_ClearDebugOutput();
        row.check(p);
        char out[4096] = {};
        NvxPlatform_GetDebugOutput(out, sizeof out);
        EXPECT_STREQ("", out);
    }
}

}  // namespace

namespace {

// Without the host driver UI's library the device events have nothing to ask
// with: they answer 0 at once and leave no line.
class UnavailableWithoutHost : public PlatformTest {};

TEST_F(UnavailableWithoutHost, DeviceEventsAnswerZeroAtOnce) {
    nvxtest::DriverCopy driver({"NOVRIX_D.DLL"});
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    NvxPlatform_ClearDebugOutput();
    EXPECT_EQ(0u, As<U (*)(U, U, U, U, U)>(GetProcAddress(module, "Bidi_PrnterEvent_Initialize"))(0, 0, 0, 0, 0));
    EXPECT_EQ(0u, As<U (*)(UINT*, U, U)>(GetProcAddress(module, "Bidi_WakeOnCall"))(nullptr, 0, 0));
    EXPECT_EQ(0u, As<U (*)(U, U, U, U, U, U)>(GetProcAddress(module, "Bidi_DocumentPropertySheets_Init"))(0, 0, 0, 0,
                                                                                                        0, 0));
    char out[4096] = {};
    NvxPlatform_GetDebugOutput(out, sizeof out);
    EXPECT_EQ(std::string::npos, std::string(out).find("is not available")) << out;
    FreeLibrary(module);
}

}  // namespace
