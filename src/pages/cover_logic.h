// What the Cover/Insert tab decides without a window: which of the tab's three
// procedures answers in a build, which controls each carries, which of them the
// settings enable, and what Restore Defaults puts back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/oemdev.h"

namespace nvx::pages::cover {

enum class Type { Type1 = 1, Type2 = 2, Type3 = 3 };

// The variant switch of a type ("_PRP_COVER_TYPE1", ...).
const char* SwitchName(Type type);

enum : int {
    kFront = 1148,
    kFrontOp = 1305,
    kFrontTray = 1311,
    kBack = 1150,
    kBackOp = 1314,
    kBackTray = 1316,
    kOhp = 1214,
    kOhpOp = 1320,
    kOhpTray = 1322,
    kCarbon = 3325,
    kCarbonDetails = 3326,
    kPerPage = 1159,
    kPerPageOp = 1222,
    kPerPageEdit = 1215,
    kPiFront = 1216,
    kPiFrontTray = 1325,
    kPiBack = 1157,
    kPiBackTray = 1328,
    kRestore = 1032,
};

// True when the type's page carries the control at all.  Every type carries the
// front and back covers and transparency interleaving; only the first carries the
// post-inserter covers (their fields travel in settings texts only with that type).
// Carbon copies and per-page settings need dialogs this build does not carry.
bool Carries(Type type, int control);

// The check box a detail control goes with (0: none).
int OwnerOf(int control);

// The detail controls the settings enable (each needs its check box ticked).
struct Enables {
    bool frontOp = false, frontTray = false;
    bool backOp = false, backTray = false;
    bool ohpOp = false, ohpTray = false;
    bool piFrontTray = false, piBackTray = false;
};
Enables ComputeEnables(const OEMDEV& record);
bool Enabled(const Enables& e, int control);

// The fields Restore Defaults puts back for a type (the post-inserter fields only
// with the first).
size_t DefaultFields(Type type, const char* const** fields);

}  // namespace nvx::pages::cover
