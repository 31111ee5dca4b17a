// The attach and detach sequences run directly, so that the process-wide state
// between them can be inspected.
#include <gtest/gtest.h>

#include <cstring>

#include "common/text.h"
#include "frame/module_state.h"
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
    ASSERT_TRUE(nvx::frame::AttachModule(anchor_));
    auto& m = Module();
    EXPECT_NE(nullptr, m.model.record);
    EXPECT_NE(nullptr, m.model.deviceOptions);
    EXPECT_NE(nullptr, m.model.listRelations);
    EXPECT_NE(nullptr, m.uiItems);
    EXPECT_EQ(0xFFFDu, m.deviceApiSelectionMarker);
    EXPECT_STREQ("BindingEdge_MFP", m.bindingEdgeList);
    EXPECT_EQ(nvx::WString(WL("1.2.6")), m.model.versions.driver);
    EXPECT_EQ(nvx::WString(WL("2.10")), m.model.versions.command);
    EXPECT_EQ(nvx::WString(WL("1.00")), m.model.versions.customization);
    EXPECT_EQ(nvx::WString(WL("Printing Preferences")),
              nvx::model::MessageSlot(m.messages, nvx::model::MessageTable::Message, 1));
    EXPECT_EQ(nvx::WString(WL("")), nvx::model::MessageSlot(m.messages, nvx::model::MessageTable::Message, 1000));
    EXPECT_NE(nullptr, m.constraints.Rules());  // the file's rows, or the one zeroed fallback row

    nvx::frame::DetachModule();
    EXPECT_EQ(nullptr, m.model.record);
    EXPECT_EQ(nullptr, m.model.deviceOptions);
    EXPECT_EQ(nullptr, m.uiItems);
    EXPECT_EQ(nullptr, m.messages.text[0]);
    EXPECT_EQ(nullptr, m.imageResources);
    EXPECT_EQ(nullptr, m.dialogResources);
    EXPECT_EQ(nullptr, m.host.library);
    EXPECT_EQ(0u, m.constraints.RuleCount());
    nvx::frame::DetachModule();  // a second detach over null pointers does nothing
    EXPECT_EQ(nullptr, m.model.record);
}

TEST_F(LifecycleTest, AMissingMainPackageFailsAttachAndDetachCleansUp) {
    driver_.Remove("NOVRIX_D.VPD");
    EXPECT_FALSE(nvx::frame::AttachModule(anchor_));
    EXPECT_EQ(nullptr, Module().model.record);
    EXPECT_EQ(nullptr, Module().host.library);  // never linked: attach stopped at step 11
    nvx::frame::DetachModule();
    EXPECT_EQ(nullptr, Module().imageResources);
    EXPECT_EQ(nullptr, Module().messages.text[0]);
}

TEST_F(LifecycleTest, TextsCarryTheDisplayLineBreak) {
    const WCHAR slot[] = WL("First\\nSecond \\ n");
    EXPECT_EQ(nvx::WString(WL("First \nSecond \\ n")), nvx::model::MessageForDisplay(slot));
}

}  // namespace
