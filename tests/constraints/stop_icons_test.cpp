// The built-in stop-icon table and the icon controls the UI items take from it.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "constraints/stop_icons.h"
#include "features/ui_items.h"

namespace {

using nvx::constraints::FindStopIcon;
using nvx::constraints::StopIconRow;
using nvx::constraints::StopIconTable;

TEST(StopIconTable, RowsPairsAndEnd) {
    const StopIconRow* t = StopIconTable();
    ASSERT_EQ(205u, nvx::constraints::StopIconCount());
    std::map<uint32_t, int> pairs;
    std::set<uint32_t> controls;
    size_t n = 0;
    for (; t[n].control; ++n) {
        ++pairs[t[n].iconIds[0]];
        EXPECT_EQ(t[n].iconIds[0] + 1, t[n].iconIds[1]) << t[n].control;
        EXPECT_TRUE(controls.insert(t[n].control).second) << "duplicate " << t[n].control;
    }
    EXPECT_EQ(205u, n);
    EXPECT_EQ(0u, t[205].iconIds[0]);  // the zero row ends the table
    EXPECT_EQ(135, pairs[198]);
    EXPECT_EQ(64, pairs[202]);
    EXPECT_EQ(2, pairs[403]);
    EXPECT_EQ(4, pairs[405]);
    EXPECT_EQ(4u, pairs.size());
    for (uint32_t c : {1929u, 2538u}) EXPECT_EQ(403u, FindStopIcon(c)->iconIds[0]);
    for (uint32_t c : {2226u, 2231u, 2232u, 2233u}) EXPECT_EQ(405u, FindStopIcon(c)->iconIds[0]);
    // The fixed ids the page templates use.
    for (uint32_t c = 3601; c <= 3612; ++c) ASSERT_NE(nullptr, FindStopIcon(c)) << c;
    EXPECT_EQ(198u, FindStopIcon(3620)->iconIds[0]);
    EXPECT_EQ(198u, FindStopIcon(3621)->iconIds[0]);
    EXPECT_EQ(nullptr, FindStopIcon(0));
    EXPECT_EQ(nullptr, FindStopIcon(3613));
    EXPECT_EQ(nullptr, FindStopIcon(1000));
}

TEST(StopIconTable, ClearingKeepsRectanglesAndTools) {
    StopIconRow* r = FindStopIcon(3602);
    r->rect = RECT{1, 2, 3, 4};
    r->hasMessage = 1;
    r->flags = nvx::constraints::kStopIconHeaderWritten;
    r->text[0] = u'x';
    nvx::constraints::ClearStopIconMessages();
    EXPECT_EQ(0u, r->hasMessage);
    EXPECT_EQ(0u, r->flags);
    EXPECT_EQ(0, r->text[0]);
    EXPECT_EQ(3, r->rect.right);
    r->rect = RECT{};
}

TEST(StopIconTable, FeaturesTakeTheirIconControls) {
    using nvx::features::BuiltInIconControl;
    EXPECT_EQ(3601u, BuiltInIconControl("Orientation"));
    EXPECT_EQ(3604u, BuiltInIconControl("ZoomValue"));
    EXPECT_EQ(3612u, BuiltInIconControl("PaperOption2"));
    EXPECT_EQ(3620u, BuiltInIconControl("OutUserPaper_Width"));
    EXPECT_EQ(3621u, BuiltInIconControl("UserPaper_Length"));
    EXPECT_EQ(0u, BuiltInIconControl("UserSetting"));
    EXPECT_EQ(0u, BuiltInIconControl(""));
    // Every id given to a feature is a row of the icon table.
    for (const auto& def : nvx::features::kUiItemDefs) {
        if (!def.feature[0]) break;
        const uint32_t icon = BuiltInIconControl(def.feature);
        if (icon) {
            EXPECT_NE(nullptr, FindStopIcon(icon)) << def.feature;
        }
    }
}

// The table built for a model: the icon comes from the feature table, and a
// model switch that is off still drops it.
TEST(StopIconTable, BuilderAppliesFeatureIconsUnderTheModelRule) {
    nvx::features::UiItemDef defs[4] = {};
    auto set = [](nvx::features::UiItemDef& d, const char* f, uint32_t control, uint32_t icon) {
        d.dialogs[0] = 100;
        d.control = control;
        d.type = 5;
        std::snprintf(d.feature, sizeof d.feature, "%s", f);
        d.iconControl = icon;
    };
    set(defs[0], "Collate", 1014, 0);
    set(defs[1], "PaperOption1", 1193, 0);  // no model record: its switch counts as off
    set(defs[2], "Collate", 1014, 777);     // a row that names its icon keeps it
    nvx::features::UiBuildInputs in;
    in.defs = defs;
    nvx::features::UiItemTable* t = nvx::features::BuildUiItemTable(in);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(3608u, t->rows[0].iconControl);
    EXPECT_EQ(0u, t->rows[1].iconControl);
    EXPECT_EQ(777u, t->rows[2].iconControl);
    nvx::features::FreeUiItemTable(t);
}

}  // namespace
