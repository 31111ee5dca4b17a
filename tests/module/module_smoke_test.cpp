// The built module as a host meets it: loaded by path from a copy of the driver
// folder (the attach reads the sample model's packages and loads the companions),
// two exports called, unloaded.  Built for both platforms, so that the Windows DLL
// is exercised by the same test (under Wine: scripts/wine-test.sh).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/proc.h"
#include "common/text.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using DoConstraintsFn = UINT_PTR (*)(UINT, UINT_PTR, UINT_PTR, WORD, UINT, UINT_PTR);
using FindOEMDevPtrFn = OEMDEV* (*)(DEVMODEW*);

class ModuleSmoke : public PlatformTest {};

TEST_F(ModuleSmoke, AttachesCallsTwoExportsAndDetaches) {
    nvxtest::DriverCopy driver;
    SetLastError(0);
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << "LoadLibraryW: error " << GetLastError();
    // The attach loaded the resource companions from the module's own folder.
    EXPECT_NE(nullptr, GetModuleHandleW(WL("NOVRIX_R.DLL")));
    EXPECT_NE(nullptr, GetModuleHandleW(WL("NOVRIX_S.DLL")));

    auto doConstraints = nvx::ProcAs<DoConstraintsFn>(GetProcAddress(module, "DoConstraints"));
    auto findOEMDevPtr = nvx::ProcAs<FindOEMDevPtrFn>(GetProcAddress(module, "FindOEMDevPtr"));
    ASSERT_NE(nullptr, doConstraints);
    ASSERT_NE(nullptr, findOEMDevPtr);
    EXPECT_EQ(doConstraints, nvx::ProcAs<DoConstraintsFn>(GetProcAddress(module, MAKEINTRESOURCEA(112))));
    EXPECT_EQ(findOEMDevPtr, nvx::ProcAs<FindOEMDevPtrFn>(GetProcAddress(module, MAKEINTRESOURCEA(12))));

    // A check without a sheet and without a host's record changes nothing and lets
    // the change stand; other modes are not checks.
    EXPECT_EQ(199u, doConstraints(0, 0, 0, 1000, 0xFFFFFFFFu, 0));
    EXPECT_EQ(0u, doConstraints(1, 0, 0, 0, 0xFFFFFFFFu, 0));

    // The settings record is found behind the public part of a device mode, and
    // only a whole record with the right header is.
    std::vector<BYTE> dm(sizeof(DEVMODEW) + nvx::settings::kOemDevSize, 0);
    auto* devmode = reinterpret_cast<DEVMODEW*>(dm.data());
    devmode->dmSize = sizeof(DEVMODEW);
    devmode->dmDriverExtra = static_cast<WORD>(nvx::settings::kOemDevSize);
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    std::memcpy(dm.data() + sizeof(DEVMODEW), record.bytes, sizeof record.bytes);
    EXPECT_EQ(reinterpret_cast<OEMDEV*>(dm.data() + sizeof(DEVMODEW)), findOEMDevPtr(devmode));
    devmode->dmDriverExtra = static_cast<WORD>(nvx::settings::kOemDevSize - 1);  // cut short
    SetLastError(0);
    EXPECT_EQ(nullptr, findOEMDevPtr(devmode));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    SetLastError(0);
    EXPECT_EQ(nullptr, findOEMDevPtr(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    EXPECT_TRUE(FreeLibrary(module));
    for (const WCHAR* name : {WL("NOVRIX_U.DLL"), WL("NOVRIX_R.DLL"), WL("NOVRIX_S.DLL"), WL("NOVRIX_D.DLL")})
        EXPECT_EQ(nullptr, GetModuleHandleW(name)) << nvx::Utf8FromW(name);
}

}  // namespace
