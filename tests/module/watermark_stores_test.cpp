// The watermark stores of a printer: the shared list in its data, the private
// list and the order under the user's key, the default registration (also
// through the module's exports), and the sheet's lists read once and saved on apply.
#include <gtest/gtest.h>

// The stores are tried on the platform layer, whose host interface switches the
// administrator right; on Windows the rights are the system's.
#ifndef _WIN32

#include <cstring>
#include <vector>

#include "common/proc.h"
#include "common/text.h"
#include "model/stores.h"
#include "platform/host.h"
#include "settings/sheet_work.h"
#include "stamps/watermark_sheet.h"
#include "stamps/watermark_store.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::stamps;
using nvx::model::ValueStore;
using Bytes = std::vector<BYTE>;

WatermarkRecord UserMark(const WCHAR* title) {
    WatermarkRecord r{};
    SetWatermarkTexts(&r, "", title, title, WL("Arial"));
    return r;
}

class WatermarkStoresTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Marks Fax"));
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        NvxPlatform_SetAdministrator(TRUE);
        PlatformTest::TearDown();
    }
    ValueStore Data() const { return ValueStore::OfPrinter(printer_); }
    uint32_t StoredCount() const {
        uint32_t n = 0;
        return Data().ReadDword(kWatermarkCountValue, &n) ? n : 0xFFFFFFFFu;
    }
    HANDLE printer_ = nullptr;
};

TEST_F(WatermarkStoresTest, DefaultsAreRegisteredOnce) {
    EXPECT_TRUE(LoadWatermarks(printer_).shared.empty());
    ASSERT_EQ(DWORD(ERROR_SUCCESS), RegisterDefaultWatermarks(printer_));
    EXPECT_EQ(6u, StoredCount());
    WatermarkSet set = LoadWatermarks(printer_);
    ASSERT_EQ(6u, set.shared.size());
    EXPECT_STREQ("WM_006", set.shared[5].szKey);
    ASSERT_EQ(6u, set.order.size());
    EXPECT_STREQ("WM_001", set.order[0].szKey);

    // Six user-made shared watermarks: registering again changes nothing.
    std::vector<WatermarkRecord> mine;
    for (const WCHAR* t : {WL("A"), WL("B"), WL("C"), WL("D"), WL("E"), WL("F")}) mine.push_back(UserMark(t));
    ASSERT_TRUE(WriteWatermarkList(Data(), mine).ok());
    ASSERT_EQ(DWORD(ERROR_SUCCESS), RegisterDefaultWatermarks(printer_));
    set = LoadWatermarks(printer_);
    ASSERT_EQ(6u, set.shared.size());
    EXPECT_EQ(nvx::WString(WL("F")), nvx::stamps::FieldText(set.shared[5].szWmkTitle, sizeof set.shared[5].szWmkTitle));

    // Fewer than six: the built-ins replace them, and nothing stale stays behind.
    ASSERT_TRUE(WriteWatermarkList(Data(), std::vector<WatermarkRecord>(mine.begin(), mine.begin() + 2)).ok());
    ASSERT_EQ(DWORD(ERROR_SUCCESS), RegisterDefaultWatermarks(printer_));
    set = LoadWatermarks(printer_);
    ASSERT_EQ(6u, set.shared.size());
    EXPECT_STREQ("WM_001", set.shared[0].szKey);
}

TEST_F(WatermarkStoresTest, AShortThirdValueEmptiesTheSharedList) {
    ASSERT_EQ(DWORD(ERROR_SUCCESS), RegisterDefaultWatermarks(printer_));
    Bytes shortValue(448, 0);
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Data().Write(WL("WaterMark3"), REG_BINARY, shortValue.data(), 448));
    WatermarkSet set = LoadWatermarks(printer_);
    EXPECT_TRUE(set.shared.empty());
    EXPECT_TRUE(set.order.empty());
}

TEST_F(WatermarkStoresTest, PrivateListAndOrderRoundTrip) {
    ASSERT_EQ(DWORD(ERROR_SUCCESS), RegisterDefaultWatermarks(printer_));
    WatermarkSet set = LoadWatermarks(printer_);
    ASSERT_EQ(EditResult::Done, AddWatermark(&set, UserMark(WL("Mine")), false));
    ASSERT_EQ(EditResult::Done, MoveWatermark(&set, 6, 0));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SavePrivateWatermarks(printer_, set));

    WatermarkSet back = LoadWatermarks(printer_);
    ASSERT_EQ(1u, back.personal.size());
    ASSERT_EQ(7u, back.order.size());
    EXPECT_EQ(0u, back.order[0].bPublic);
    EXPECT_EQ(nvx::WString(WL("Mine")), nvx::stamps::FieldText(back.order[0].szName, sizeof back.order[0].szName));
    EXPECT_STREQ("WM_001", back.order[1].szKey);

    // Removing it leaves no stale values under the key.
    ASSERT_EQ(EditResult::Done, RemoveWatermark(&back, 0));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SavePrivateWatermarks(printer_, back));
    nvx::model::RegKey key, order;
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &key));
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &order, kOrderSubkey));
    Bytes data;
    EXPECT_NE(DWORD(ERROR_SUCCESS), ValueStore::OfKey(key.get()).ReadAll(WL("WaterMark1"), &data));
    EXPECT_EQ(DWORD(ERROR_SUCCESS), ValueStore::OfKey(order.get()).ReadAll(WL("WMOrder05"), &data));
    EXPECT_NE(DWORD(ERROR_SUCCESS), ValueStore::OfKey(order.get()).ReadAll(WL("WMOrder06"), &data));
    EXPECT_TRUE(LoadWatermarks(printer_).personal.empty());
}

TEST_F(WatermarkStoresTest, TheSharedListNeedsAdministerRights) {
    std::vector<WatermarkRecord> shared = {UserMark(WL("Everyone"))};
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SaveSharedWatermarks(WL("Marks Fax"), shared));
    EXPECT_EQ(1u, StoredCount());
    NvxPlatform_SetAdministrator(FALSE);
    std::vector<WatermarkRecord> none;
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), SaveSharedWatermarks(WL("Marks Fax"), none));
    EXPECT_EQ(1u, StoredCount());
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), SaveSharedWatermarks(nullptr, none));
}

TEST_F(WatermarkStoresTest, TheSheetReadsItsListsOnceAndSavesThemOnApply) {
    ASSERT_EQ(DWORD(ERROR_SUCCESS), RegisterDefaultWatermarks(printer_));
    nvx::host::HostSheet sheet(nvx::host::SheetForm::A, printer_);
    auto* ctx = sheet.Context();

    // Never read: an apply writes nothing (a user's key is not even made).
    EXPECT_EQ(DWORD(ERROR_SUCCESS), SaveSheetWatermarks(ctx));
    nvx::model::RegKey key;
    EXPECT_NE(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &key));

    WatermarkSet set;
    ASSERT_TRUE(SheetWatermarks(ctx, &set));
    EXPECT_EQ(6u, set.shared.size());
    // Read once: a store change later is not seen by this sheet.
    ASSERT_TRUE(WriteWatermarkList(Data(), std::vector<WatermarkRecord>{UserMark(WL("Later"))}).ok());
    ASSERT_TRUE(SheetWatermarks(ctx, &set));
    EXPECT_EQ(6u, set.shared.size());

    ASSERT_EQ(EditResult::Done, AddWatermark(&set, UserMark(WL("Mine")), false));
    ASSERT_TRUE(SetSheetWatermarks(ctx, set));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SaveSheetWatermarks(ctx));
    WatermarkSet back = LoadWatermarks(printer_);
    EXPECT_EQ(6u, back.shared.size());  // the sheet's shared list went back over "Later"
    ASSERT_EQ(1u, back.personal.size());
    EXPECT_EQ(7u, back.order.size());

    // Without administer rights the private list is saved and the shared one left alone.
    ASSERT_TRUE(WriteWatermarkList(Data(), std::vector<WatermarkRecord>{UserMark(WL("Kept"))}).ok());
    NvxPlatform_SetAdministrator(FALSE);
    set.personal.clear();
    set.order = CompleteOrder({}, set.shared, set.personal);
    ASSERT_TRUE(SetSheetWatermarks(ctx, set));
    EXPECT_EQ(DWORD(ERROR_SUCCESS), SaveSheetWatermarks(ctx));
    back = LoadWatermarks(printer_);
    ASSERT_EQ(1u, back.shared.size());
    EXPECT_EQ(nvx::WString(WL("Kept")),
              nvx::stamps::FieldText(back.shared[0].szWmkTitle, sizeof back.shared[0].szWmkTitle));
    EXPECT_TRUE(back.personal.empty());

    // No context: nothing.
    EXPECT_FALSE(SheetWatermarks(nullptr, &set));
    EXPECT_EQ(DWORD(ERROR_SUCCESS), SaveSheetWatermarks(nullptr));
}

TEST_F(WatermarkStoresTest, TheExportsRegisterTheDefaults) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    auto wide = nvx::ProcAs<int (*)(const WCHAR*)>(GetProcAddress(module, "Prc_RegDefWMarkW"));
    auto ansi = nvx::ProcAs<int (*)(const char*)>(GetProcAddress(module, "Prc_RegDefWMarkA"));
    ASSERT_TRUE(wide && ansi);

    EXPECT_EQ(0, wide(WL("No Such Printer")));
    EXPECT_EQ(0, wide(nullptr));
    EXPECT_EQ(0, ansi(nullptr));
    EXPECT_EQ(1, ansi("Marks Fax"));
    EXPECT_EQ(6u, StoredCount());
    EXPECT_EQ(1, wide(WL("Marks Fax")));  // again: nothing to do
    EXPECT_EQ(6u, StoredCount());

    // A name outside ASCII goes through the system code page (1252: e-acute is 0xE9).
    ASSERT_NE(nullptr, nvxtest::AddTestPrinter(WL("Caf\u00e9 Fax")));
    EXPECT_EQ(1, ansi("Caf\xe9 Fax"));

    // A user who may not administer the printer registers nothing, and hears so.
    ASSERT_TRUE(WriteWatermarkList(Data(), std::vector<WatermarkRecord>{}).ok());
    NvxPlatform_SetAdministrator(FALSE);
    EXPECT_EQ(0, wide(WL("Marks Fax")));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0u, StoredCount());
    FreeLibrary(module);
}

TEST_F(WatermarkStoresTest, TheSheetAreaKeepsAFullSet) {
    nvx::host::HostSheet sheet(nvx::host::SheetForm::Two, printer_);
    WatermarkSet full;
    for (int i = 0; i < 30; ++i) full.shared.push_back(UserMark(nvx::WFormatString(WL("S%d"), i).c_str()));
    for (int i = 0; i < 20; ++i) full.personal.push_back(UserMark(nvx::WFormatString(WL("P%d"), i).c_str()));
    full.order = CompleteOrder({}, full.shared, full.personal);
    ASSERT_EQ(50u, full.order.size());
    full.shared.push_back(UserMark(WL("One too many")));
    ASSERT_TRUE(SetSheetWatermarks(sheet.Context(), full));
    WatermarkSet back;
    ASSERT_TRUE(SheetWatermarks(sheet.Context(), &back));
    ASSERT_EQ(30u, back.shared.size());
    ASSERT_EQ(20u, back.personal.size());
    ASSERT_EQ(50u, back.order.size());
    EXPECT_EQ(0, std::memcmp(&full.personal[19], &back.personal[19], sizeof(WatermarkRecord)));
    EXPECT_EQ(0, std::memcmp(&full.order[49], &back.order[49], sizeof(WatermarkOrderRecord)));
    EXPECT_TRUE(DisplayHasFace(WL("Arial")));
    EXPECT_FALSE(DisplayHasFace(WL("")));
}

}  // namespace

#endif  // _WIN32
