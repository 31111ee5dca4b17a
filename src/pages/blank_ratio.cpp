// The blank page question (see blank_ratio.h).
#include "pages/blank_ratio.h"

#include <cstddef>

#include "common/text.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "frame/module_state.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "model/text_tables.h"
#include "pages/page_help.h"
#include "pages/page_skeleton.h"
#include "pages/safe_format.h"

namespace nvx::pages {

static_assert(sizeof(void*) != 8 || (offsetof(BlankRatioBlock, page) == 4 && offsetof(BlankRatioBlock, percent) == 8 &&
                                     offsetof(BlankRatioBlock, record) == 16 && sizeof(BlankRatioBlock) == 24),
              "the caller's block is pinned");

namespace {

constexpr uint32_t kDialog = 2599;
constexpr uint32_t kBlockSize = 24;

enum : int {
    kText = 2600,
    kStopChecking = 2601,
};

enum : unsigned {
    kSlotPage = 559,
    kSlotSomePage = 560,
};

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

INT_PTR Init(HWND dialog, LPARAM lParam) {
    const auto* block = reinterpret_cast<const BlankRatioBlock*>(lParam);
    SetPropW(dialog, WL("NovrixBlankRatio"), reinterpret_cast<HANDLE>(lParam));
    const WString text =
        block->page ? FormatNumbers(Slot(kSlotPage), static_cast<int32_t>(block->page), static_cast<int32_t>(block->percent))
                    : FormatNumbers(Slot(kSlotSomePage), static_cast<int32_t>(block->percent), 0);
    SetDlgItemTextW(dialog, kText, text.c_str());
    return TRUE;
}

void End(HWND dialog, INT_PTR code) {
    auto* block = reinterpret_cast<const BlankRatioBlock*>(GetPropW(dialog, WL("NovrixBlankRatio")));
    if (block && IsDlgButtonChecked(dialog, kStopChecking) == BST_CHECKED)
        settings::SetNumber(*block->record, "bChkBlankRatio", 0);
    RemovePropW(dialog, WL("NovrixBlankRatio"));
    EndDialog(dialog, code);
}

bool Command(HWND dialog, int id, UINT code) {
    if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) {
        End(dialog, id == IDOK ? static_cast<INT_PTR>(kBlankPrint) : static_cast<INT_PTR>(kBlankDoNotPrint));
        return true;
    }
    return false;
}

INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const PageDef def = [] {
        PageDef d{kDialog, 0, PageKind::Dialog};
        d.commonInit = false;
        d.init = Init;
        d.command = Command;
        return d;
    }();
    return RunPage(def, hwnd, msg, wParam, lParam);
}

bool ModelHasCheck() {
    const auto* model = model::Loaded().tables.record;
    return model && model->switches.On(features::kSw_ChkBlankRatio);
}

}  // namespace

uint32_t BlankThreshold(const OEMDEV& record) {
    const int32_t t = settings::GetNumber(record, "nChkBlankRatio");
    return t >= 1 && t <= 100 ? static_cast<uint32_t>(t) : 75;
}

BlankDecision DecideBlankQuestion(const BlankRatioBlock* block, bool modelHasCheck) {
    if (!block || block->size != kBlockSize || !block->record || block->percent > 100) return BlankDecision::NotShown;
    if (!modelHasCheck || settings::GetNumber(*block->record, "bChkBlankRatio") == 0) return BlankDecision::Print;
    if (block->percent < BlankThreshold(*block->record)) return BlankDecision::Print;
    return BlankDecision::Ask;
}

UINT_PTR RunBlankRatioQuestion(const BlankRatioBlock* block, HWND owner) {
    switch (DecideBlankQuestion(block, ModelHasCheck())) {
    case BlankDecision::NotShown: return kBlankNotShown;
    case BlankDecision::Print: return kBlankPrint;
    case BlankDecision::Ask: break;
    }
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(), kDialog, Proc,
                                      reinterpret_cast<LPARAM>(block));
    if (r == static_cast<INT_PTR>(kBlankPrint)) return kBlankPrint;
    if (r == static_cast<INT_PTR>(kBlankDoNotPrint)) return kBlankDoNotPrint;
    return kBlankNotShown;
}

}  // namespace nvx::pages
