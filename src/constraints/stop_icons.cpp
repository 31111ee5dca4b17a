// The built-in stop-icon table.
//
// Control ids: the icons of the Basic page are 3601 ... 3612 and those of the
// custom size dialog 3620 and 3621; stop icons of the other pages take 3630 ...
// 3750 (ui_item_icons.cpp ties features to them), information icons 3800 ... 3863.
// Four controls of the device pages keep their own ids with their own pairs.
#include "constraints/stop_icons.h"

#include <cstring>

namespace nvx::constraints {

namespace {

constexpr size_t kRows = 205;

struct Run {
    uint32_t first;
    uint32_t last;      // inclusive
    const uint32_t* pair;
};

// The table in row order: stop icons, information icons, then the device pages'.
constexpr Run kRuns[] = {
    {3601, 3612, kStopIconPair},  {3620, 3621, kStopIconPair},  {3630, 3750, kStopIconPair},
    {3800, 3863, kInfoIconPair},  {1929, 1929, kAlertIconPair}, {2538, 2538, kAlertIconPair},
    {2226, 2226, kNoticeIconPair}, {2231, 2233, kNoticeIconPair},
};

constexpr size_t RunRows() {
    size_t n = 0;
    for (const Run& r : kRuns) n += r.last - r.first + 1;
    return n;
}
static_assert(RunRows() == kRows, "the table holds 205 icon controls");

StopIconRow g_table[kRows + 1];
bool g_built = false;

void Build() {
    size_t i = 0;
    for (const Run& r : kRuns)
        for (uint32_t c = r.first; c <= r.last; ++c, ++i) {
            g_table[i].control = c;
            g_table[i].iconIds[0] = r.pair[0];
            g_table[i].iconIds[1] = r.pair[1];
        }
    g_built = true;
}

}  // namespace

StopIconRow* StopIconTable() {
    if (!g_built) Build();
    return g_table;
}

size_t StopIconCount() { return kRows; }

StopIconRow* FindStopIcon(uint32_t control) {
    if (control == 0) return nullptr;
    for (StopIconRow* row = StopIconTable(); row->control; ++row)
        if (row->control == control) return row;
    return nullptr;
}

void ClearStopIconMessages() {
    for (StopIconRow* row = StopIconTable(); row->control; ++row) {
        row->hasMessage = 0;
        row->flags = 0;
        row->text[0] = 0;
    }
}

}  // namespace nvx::constraints
