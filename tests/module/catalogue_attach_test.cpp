// Loading the module with edited main packages: each mandatory table the package
// cannot give makes the load fail; the sample loads.
#include <gtest/gtest.h>

#include <string>

#include "catalogue_test_util.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

class CatalogueAttach : public PlatformTest {
protected:
    // Loads the module over a main package compiled from src; answers whether it loaded.
    static bool LoadsWith(const cattest::Json& src, DWORD* error) {
        nvxtest::DriverCopy driver;
        vpdc::Bytes bytes = vpdc::Compile(src);
        driver.Write("NOVRIX_D.VPD", std::string(bytes.begin(), bytes.end()));
        SetLastError(0);
        HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
        *error = GetLastError();
        if (module) FreeLibrary(module);
        return module != nullptr;
    }
};

TEST_F(CatalogueAttach, EachMandatoryTableIsNeeded) {
    DWORD error = 0;
    EXPECT_TRUE(LoadsWith(cattest::SampleSource(), &error)) << error;
    // "DeviceOption" gives the device-option table; the papers and trays give the
    // list-relation table; "FeatureSetting" is optional.
    struct Case {
        const char* removed;
        bool loads;
    } cases[] = {{"DeviceOption", false}, {"PaperSize", false}, {"InTray", false}, {"FeatureSetting", true}};
    for (const Case& c : cases) {
        cattest::Json src = cattest::SampleSource();
        cattest::RemoveEntry(src, c.removed);
        EXPECT_EQ(c.loads, LoadsWith(src, &error)) << c.removed;
        if (!c.loads) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_INIT_FAILED), error) << c.removed;
        }
    }
    // A device option whose value list is empty fails the table, and the load.
    cattest::Json src = cattest::SampleSource();
    cattest::SetEntry(src, cattest::Json{{"name", "OpMemory"}, {"items", cattest::Json::array()}});
    EXPECT_FALSE(LoadsWith(src, &error));
}

}  // namespace
