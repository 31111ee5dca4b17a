// What the Finishing tab decides without a window: which of its controls the
// settings enable, and the pages-per-fold range.
#pragma once

#include <cstdint>

#include "settings/oemdev.h"

namespace nvx::pages::finishing {

struct Switches {
    bool divideOutput = false;    // DivideOutput
    bool foldPageFinish = false;  // FoldPageFinish
};
Switches ModelSwitches();

// The fold types whose folded sets take a number of pages.
inline bool FoldTakesPages(int32_t foldType) { return foldType == 19 || foldType == 21; }

struct Enables {
    bool stapleOp = false;              // 1047
    bool punchOp = false;               // 1050
    bool foldOp = false;                // 1053
    bool sets = false;                  // 1184 with its spin and labels
    bool perfectBindingDetails = false;  // 2305
    bool foldPagesGoverned = false;     // the page decides 3355 ... 3358 at all
    bool foldPages = false;             // ... and enables them
};
Enables ComputeEnables(const OEMDEV& record, const Switches& sw);

// The model's pages-per-fold range (1 ... 999 without one).
void FoldPageRange(int32_t* minimum, int32_t* maximum);

}  // namespace nvx::pages::finishing
