// The UI item table build when memory runs out: every allocation of the build is
// made to fail in turn (this test binary replaces the global allocator); the build
// answers null, lets no exception out and keeps nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "catalogue_test_util.h"
#include "features/ui_items.h"
#include "settings/settings_state.h"

namespace {

// -1: no failure; n >= 0: the allocation after n more succeeds fails.
long g_failAfter = -1;
bool g_counting = false;
long g_allocations = 0;  // while counting
long g_live = 0;         // allocations minus releases, while counting

void* Allocate(std::size_t n) {
    if (g_failAfter == 0) throw std::bad_alloc();
    if (g_failAfter > 0) --g_failAfter;
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    if (g_counting) ++g_allocations, ++g_live;
    return p;
}

void Release(void* p) noexcept {
    if (!p) return;
    if (g_counting) --g_live;
    std::free(p);
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace {

using namespace nvx::features;

class UiItemsOutOfMemory : public ::testing::Test {
protected:
    void SetUp() override { nvx::settings::PrepareSettings(); }
    void TearDown() override { nvx::settings::ReleaseSettings(); }
};

TEST_F(UiItemsOutOfMemory, EveryFailedAllocationGivesNullAndKeepsNothing) {
    nvx::model::PackagePtr pkg = cattest::Open(cattest::SampleSource());
    auto built = std::make_unique<cattest::Built>(*pkg);
    ASSERT_TRUE(built->ok);
    UiBuildInputs in;
    in.record = built->tables.record;
    in.deviceOptions = built->tables.deviceOptions;

    // A first build resolves what the process keeps for good (the field bindings,
    // the catalogue); then a build's own allocations are counted.
    FreeUiItemTable(BuildUiItemTable(in));
    g_allocations = g_live = 0;
    g_counting = true;
    UiItemTable* whole = BuildUiItemTable(in);
    g_counting = false;
    ASSERT_NE(nullptr, whole);
    const long total = g_allocations;
    FreeUiItemTable(whole);
    ASSERT_GT(total, 2);

    for (long k = 0; k < total; ++k) {
        SCOPED_TRACE(k);
        g_live = 0;
        g_counting = true;
        g_failAfter = k;
        UiItemTable* table = nullptr;
        bool threw = false;
        try {
            table = BuildUiItemTable(in);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        g_failAfter = -1;
        g_counting = false;
        EXPECT_FALSE(threw);
        EXPECT_EQ(nullptr, table);
        EXPECT_EQ(0, g_live);  // the half-built table and its rows are released
        FreeUiItemTable(table);
        if (threw || table) break;  // one report is enough
    }
}

TEST_F(UiItemsOutOfMemory, LookupsByNarrowNameDoNotAllocate) {
    nvx::model::PackagePtr pkg = cattest::Open(cattest::SampleSource());
    auto built = std::make_unique<cattest::Built>(*pkg);
    UiBuildInputs in;
    in.record = built->tables.record;
    in.deviceOptions = built->tables.deviceOptions;
    std::unique_ptr<UiItemTable, void (*)(UiItemTable*)> table(BuildUiItemTable(in), FreeUiItemTable);
    ASSERT_NE(nullptr, table);
    int paper = -2, radio = -2, missing = -2, tooLong = -2;
    bool threw = false;
    g_failAfter = 0;  // any allocation now fails, until the lookups are done
    try {
        paper = FindUiItem(table.get(), std::string_view("PaperSize"));
        radio = FindUiItem(table.get(), std::string_view("Orientation"), std::string_view("Landscape"));
        missing = FindUiItem(table.get(), std::string_view("NoSuchFeature"));
        tooLong = FindUiItem(table.get(), std::string_view("PaperSizePaperSizePaperSizePaperSize"));
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    g_failAfter = -1;
    EXPECT_FALSE(threw);
    EXPECT_EQ(table->direct.paperSize, paper);
    EXPECT_GE(paper, 0);
    EXPECT_GE(radio, 0);
    EXPECT_EQ(-1, missing);
    EXPECT_EQ(-1, tooLong);
}

}  // namespace
