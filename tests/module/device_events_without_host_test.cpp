// The device events of a module whose host driver UI's library is missing.
#include <gtest/gtest.h>

#include <string>

#include "common/proc.h"
#include "platform/host.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using U = UINT_PTR;

template <typename F>
F As(FARPROC p) {
    return nvx::ProcAs<F>(p);
}

// Without the host driver UI's library the device events have nothing to ask
// with: they answer 0 at once and leave no line.
class DeviceEventsWithoutHost : public PlatformTest {};

TEST_F(DeviceEventsWithoutHost, AnswerZeroAtOnce) {
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
