// The checks written into the engine: those that depend on the host context of
// the sheet rather than on the model's rule file.
//
// In this model only the booklet and poster check has a context to test (the
// host says whether it can produce them; the printer sheet never can).  The
// per-page list refusal, the single sign-on server choice, the output size
// keywords, the overlay and copy-protect switches of the device, the device
// overlay colours and the raster resolution need device or per-page state that
// this model does not have: they are checks with no rule here.
#include "constraints/engine_state.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "settings/printer_ui_context.h"

namespace nvx::constraints::detail {

namespace {

constexpr unsigned kSlotBooklet = 70;
constexpr unsigned kSlotPoster = 71;
constexpr unsigned kSlotPrinterSheet = 72;

}  // namespace

// Marks the booklet and poster options forbidden where the context cannot produce
// them; with messages, refuses the user's choice of one.  Answers true when a
// choice was refused (its reason is appended to the refusal text).
bool Check::ContextChecks(bool withMessages) {
    const bool printerSheet = ctx_.sheet && settings::ContextForm(ctx_.sheet) == 2;
    if (!ctx_.noBooklet && !printerSheet) return false;
    const bool bookletSwitch = t_.record && t_.record->switches[features::kSw_BookletPrint] != 0;
    auto mark = [&](int row, const char* option) {
        features::UiItem* item = Item(row);
        const int index = item ? features::IndexOfKeyword(item->options, option) : -1;
        if (index >= 0) SetMark(row, features::RecordAt(item->options, static_cast<size_t>(index)), true);
    };
    if (bookletSwitch) mark(named_.doubleSides, "Booklet");
    for (const char* o : {"2x2", "3x3", "4x4"}) mark(named_.nupOp, o);
    if (!withMessages || changedRow_ < 0) return false;

    unsigned slot = 0;
    const auto value = Current(changedRow_);
    if (ctx_.control == 1025 && value && *value >= 7 && *value <= 9) {
        if (named_.nup < 0 || Current(named_.nup).value_or(0) != 0) slot = kSlotPoster;
    } else if (ctx_.control == 1286 && bookletSwitch && value && (*value == 3 || *value == 4)) {
        slot = kSlotBooklet;
    }
    if (!slot) return false;
    if (printerSheet) slot = kSlotPrinterSheet;
    Append(prohibitText_, model::MessageTable::Constraint, slot, prohibitHeaded_);
    return true;
}

// Output method, secure printing and single sign-on: this model has no secure
// print output method, no sign-on server and no device authentication state, so
// the checks find nothing to change.
void Check::SecurityChecks() {}

// The per-page list and account apply passes: this model keeps no per-page rows
// and no account rules, so nothing is applied here.
void Check::ExtraApplyPasses() {}

}  // namespace nvx::constraints::detail
