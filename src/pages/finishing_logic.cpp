#include "pages/finishing_logic.h"

#include "features/model_record.h"
#include "features/paper_logic.h"
#include "features/switch_ids.h"
#include "model/loaded_model.h"

namespace nvx::pages::finishing {

Switches ModelSwitches() {
    Switches s;
    const auto* model = model::Loaded().tables.record;
    if (!model) return s;
    s.divideOutput = model->switches.On(features::kSw_DivideOutput);
    s.foldPageFinish = model->switches.On(features::kSw_FoldPageFinish);
    return s;
}

Enables ComputeEnables(const OEMDEV& r, const Switches& sw) {
    Enables e;
    e.stapleOp = settings::GetNumber(r, "bStaple") != 0;
    e.punchOp = settings::GetNumber(r, "bPunch") != 0;
    const bool folding = settings::GetNumber(r, "bFolding") != 0;
    e.foldOp = folding;
    // Divided output has no settings field of its own in this record: its number
    // waits (the page does not offer either control).
    e.sets = false;
    e.perfectBindingDetails = settings::GetNumber(r, "bPerfectBinding") != 0;
    e.foldPagesGoverned = !sw.divideOutput && sw.foldPageFinish;
    e.foldPages = e.foldPagesGoverned && folding && FoldTakesPages(settings::GetNumber(r, "nFoldingMode"));
    return e;
}

void FoldPageRange(int32_t* minimum, int32_t* maximum) {
    features::ModelRange("FoldPageFinish", minimum, maximum);
}

}  // namespace nvx::pages::finishing
