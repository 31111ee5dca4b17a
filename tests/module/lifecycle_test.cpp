// The attach and detach sequences run directly, so that the process-wide state
// between them can be inspected.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue_test_util.h"
#include "common/le.h"
#include "common/text.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "lifecycle/lifecycle.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"

namespace {

using nvx::frame::Module;

class LifecycleTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        // Any library of the driver folder gives the module's folder through its path.
        anchor_ = LoadLibraryW(driver_.WidePath("NOVRIX_R.DLL").c_str());
        ASSERT_NE(nullptr, anchor_);
    }
    void TearDown() override {
        FreeLibrary(anchor_);
        PlatformTest::TearDown();
    }
    nvxtest::DriverCopy driver_;
    HMODULE anchor_ = nullptr;
};

TEST_F(LifecycleTest, AttachBuildsTheTablesAndDetachReleasesThemOnce) {
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    auto& m = Module();
    EXPECT_NE(nullptr, nvx::model::Loaded().tables.record);
    EXPECT_NE(nullptr, nvx::model::Loaded().tables.deviceOptions);
    EXPECT_NE(nullptr, nvx::model::Loaded().tables.listRelations);
    EXPECT_NE(nullptr, nvx::features::ModuleItems());
    EXPECT_EQ(0xFFFDu, m.deviceApiSelectionMarker);
    EXPECT_STREQ("BindingEdge_MFP", nvx::model::Loaded().bindingEdgeList);
    EXPECT_EQ(nvx::WString(WL("1.2.6")), nvx::model::Loaded().tables.versions.driver);
    EXPECT_EQ(nvx::WString(WL("2.10")), nvx::model::Loaded().tables.versions.command);
    EXPECT_EQ(nvx::WString(WL("1.00")), nvx::model::Loaded().tables.versions.customization);
    EXPECT_EQ(nvx::WString(WL("Printing Preferences")),
              nvx::model::MessageSlot(nvx::model::Loaded().messages, nvx::model::MessageTable::Message, 1));
    EXPECT_EQ(nvx::WString(WL("")), nvx::model::MessageSlot(nvx::model::Loaded().messages, nvx::model::MessageTable::Message, 1000));
    EXPECT_NE(nullptr, nvx::model::Loaded().constraints.Rules());  // the file's rows, or the one zeroed fallback row

    nvx::lifecycle::DetachModule();
    EXPECT_EQ(nullptr, nvx::model::Loaded().tables.record);
    EXPECT_EQ(nullptr, nvx::model::Loaded().tables.deviceOptions);
    EXPECT_EQ(nullptr, nvx::features::ModuleItems());
    EXPECT_EQ(nullptr, nvx::model::Loaded().messages.text[0]);
    EXPECT_EQ(nullptr, m.imageResources);
    EXPECT_EQ(nullptr, m.dialogResources);
    EXPECT_EQ(nullptr, nvx::model::Loaded().host.library);
    EXPECT_EQ(0u, nvx::model::Loaded().constraints.RuleCount());
    nvx::lifecycle::DetachModule();  // a second detach over null pointers does nothing
    EXPECT_EQ(nullptr, nvx::model::Loaded().tables.record);
}

TEST_F(LifecycleTest, AMissingMainPackageFailsAttachAndDetachCleansUp) {
    driver_.Remove("NOVRIX_D.VPD");
    EXPECT_FALSE(nvx::lifecycle::AttachModule(anchor_));
    EXPECT_EQ(nullptr, nvx::model::Loaded().tables.record);
    EXPECT_EQ(nullptr, nvx::model::Loaded().host.library);  // never linked: attach stopped at step 11
    nvx::lifecycle::DetachModule();
    EXPECT_EQ(nullptr, Module().imageResources);
    EXPECT_EQ(nullptr, nvx::model::Loaded().messages.text[0]);
}

void WritePackage(const nvxtest::DriverCopy& driver, const cattest::Json& src) {
    vpdc::Bytes bytes = vpdc::Compile(src);
    driver.Write("NOVRIX_D.VPD", std::string(bytes.begin(), bytes.end()));
}

TEST_F(LifecycleTest, PerPageBuffersAreAGridOfZeroedSlotsUntilDetach) {
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    auto& m = Module();
    const size_t rules = nvx::model::Loaded().constraints.RuleCount();
    ASSERT_GT(rules, 0u);
    EXPECT_EQ(30u, m.perPage.columns);  // the sample model's per-page count
    ASSERT_EQ(nvx::frame::kPerPageRows * 30, m.perPage.slots.size());
    for (size_t row = 0; row < nvx::frame::kPerPageRows; ++row) {
        for (size_t column = 0; column < 30; ++column) {
            const nvx::frame::PerPageSlot* slot = m.perPage.Slot(row, column);
            ASSERT_NE(nullptr, slot);
            ASSERT_EQ(578u, slot->settings.size());
            ASSERT_EQ(rules, slot->ruleValues.size());
            for (uint8_t b : slot->settings) ASSERT_EQ(0, b);
            for (uint32_t v : slot->ruleValues) ASSERT_EQ(0u, v);
            EXPECT_EQ(0u, slot->counter);
            EXPECT_EQ(0u, slot->value);
        }
    }
    EXPECT_EQ(nullptr, m.perPage.Slot(nvx::frame::kPerPageRows, 0));
    EXPECT_EQ(nullptr, m.perPage.Slot(0, 30));
    nvx::lifecycle::DetachModule();
    EXPECT_EQ(0u, m.perPage.columns);
    EXPECT_TRUE(m.perPage.slots.empty());
}

TEST_F(LifecycleTest, AnOutsizedPerPageCountLeavesNoGrid) {
    for (const char* count : {"1000", "1001", "2000000000", "0", "-5"}) {
        cattest::Json src = cattest::SampleSource();
        for (cattest::Json& item : cattest::Entry(src, "MachineInfo")["items"])
            if (item[0] == "PerPageCount") item[1] = count;
        WritePackage(driver_, src);
        ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_)) << count;
        const size_t expected = std::string(count) == "1000" ? 1000 : 0;
        EXPECT_EQ(expected, Module().perPage.columns) << count;
        EXPECT_EQ(expected * nvx::frame::kPerPageRows, Module().perPage.slots.size()) << count;
        nvx::lifecycle::DetachModule();
    }
}

TEST_F(LifecycleTest, TheCatalogueStepIsGivenTheFontLibraryBesideTheModule) {
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    EXPECT_EQ(nvx::frame::BesideModule(anchor_, WL("NOVRIX_F.DLL")), nvx::model::Loaded().tables.settings.fontLibrary);
    nvx::lifecycle::DetachModule();
    EXPECT_TRUE(nvx::model::Loaded().tables.settings.fontLibrary.empty());
}

// The sample model's source with the consumables entries: the shop switch record
// and the address records.
cattest::Json WithConsumables(uint32_t shop, const char* url) {
    cattest::Json src = cattest::SampleSource();
    src["record_layouts"]["shop"] = {{"size", 20}, {"fields", {{{"name", "shop"}, {"at", 16}, {"type", "u32"}}}}};
    src["record_layouts"]["address"] = {
        {"size", 288}, {"fields", {{{"name", "text"}, {"at", 16}, {"type", "ascii"}, {"width", 272}}}}};
    cattest::SetEntry(src, {{"name", "Varnx"},
                            {"record", "shop"},
                            {"items", {{{"key", "Varnx"}, {"value", "Consumables shop"}, {"shop", shop}}}}});
    cattest::SetEntry(src, {{"name", "ConsumSetting"},
                            {"record", "address"},
                            {"items",
                             {{{"key", "Phone"}, {"value", "Phone"}, {"text", "0123"}},
                              {{"key", "url"}, {"value", "Address"}, {"text", url}},
                              {{"key", "URL"}, {"value", "Second"}, {"text", "http://127.0.0.1/second"}}}}});
    return src;
}

TEST_F(LifecycleTest, AttachReadsTheConsumablesShopAndAddress) {
    WritePackage(driver_, WithConsumables(1, "http://127.0.0.1/shop"));
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    const auto& c = nvx::model::Loaded().tables.services.consumables;
    EXPECT_EQ(1, c.shopFlag);
    EXPECT_EQ(1u, nvx::GetLE32(c.shopRecord + 16));
    EXPECT_STREQ("http://127.0.0.1/shop", c.address);  // the first "URL" record, key case ignored
    nvx::lifecycle::DetachModule();
    EXPECT_EQ(0, c.shopFlag);
    EXPECT_STREQ("", c.address);

    WritePackage(driver_, WithConsumables(0, "http://127.0.0.1/other"));
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    EXPECT_EQ(0, c.shopFlag);
    EXPECT_STREQ("http://127.0.0.1/other", c.address);
    nvx::lifecycle::DetachModule();
}

TEST_F(LifecycleTest, ASecondAttachWithAnotherPackageStartsClean) {
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    EXPECT_EQ(nvx::WString(WL("1.0.3")), nvx::model::Loaded().tables.versions.basic);
    EXPECT_EQ(nvx::WString(WL("ZEPROFDL.EXE")), nvx::model::Loaded().tables.services.downloadManagerFile);
    const auto& shift = nvx::model::Loaded().tables.ranges[nvx::model::RangeId::BindShift_Front];
    EXPECT_TRUE(shift.first != 0 || shift.second != 0);
    nvx::lifecycle::DetachModule();
    EXPECT_EQ(nullptr, nvx::model::Loaded().bindingEdgeList);
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.versions.driver);

    // Another package: no versions, no download manager, no binding-shift range, and
    // neither the command package nor the constraint file.
    cattest::Json src = cattest::SampleSource();
    for (const char* entry : {"Version", "DLManagerSetting", "BindShift_Front"}) cattest::RemoveEntry(src, entry);
    WritePackage(driver_, src);
    driver_.Remove("NOVRIX_M.VPD");
    driver_.Remove("NOVRIX_C.VPD");
    ASSERT_TRUE(nvx::lifecycle::AttachModule(anchor_));
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.versions.basic);
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.versions.uiSetup);
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.versions.localize);
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.versions.command);
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.versions.customization);
    EXPECT_EQ(nvx::WString(WL("1.2.6")), nvx::model::Loaded().tables.versions.driver);
    EXPECT_EQ(nvx::WString(), nvx::model::Loaded().tables.services.downloadManagerFile);
    EXPECT_EQ(0, nvx::model::Loaded().tables.ranges[nvx::model::RangeId::BindShift_Front].first);
    EXPECT_EQ(0, nvx::model::Loaded().tables.ranges[nvx::model::RangeId::BindShift_Front].second);
    EXPECT_STREQ("BindingEdge_MFP", nvx::model::Loaded().bindingEdgeList);
    nvx::lifecycle::DetachModule();
}

TEST_F(LifecycleTest, TextsCarryTheDisplayLineBreak) {
    const WCHAR slot[] = WL("First\\nSecond \\ n");
    EXPECT_EQ(nvx::WString(WL("First \nSecond \\ n")), nvx::model::MessageForDisplay(slot));
}

}  // namespace
