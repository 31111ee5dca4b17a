// The constraint check: one run of the engine over a settings record, as a page
// asks for it after the user changed a control (or with no control when a page is
// shown).
//
// RunCheck is the engine's one entry; the DoConstraints export wraps it for a
// dialog (the record is the sheet's, found through the dialog's context).  Hosts
// and tests may run it with no dialog on a record of their own.  Not re-entrant:
// every run happens on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::model {
struct MessageTables;
}
namespace nvx::features {
struct UiItemTable;
struct ModelRecord;
}  // namespace nvx::features
namespace nvx::settings {
struct PrinterUIContext;
}

namespace nvx::constraints {

struct PreparedRules;

// Results of a check.
inline constexpr uint32_t kCheckStands = 199;    // the change stands (conflicts resolved)
inline constexpr uint32_t kCheckDeclined = 100;  // the user declined the confirmation
inline constexpr uint32_t kCheckRefused = 101;   // a forbidden option was refused

inline constexpr size_t kMessageChars = 1024;    // composed confirmation and refusal texts
inline constexpr size_t kCacheSlots = 32173;     // keyword cache slots

// The tables a check reads; a null member means the model has none.
struct EngineTables {
    features::UiItemTable* items = nullptr;
    const PreparedRules* rules = nullptr;
    const model::MessageTables* messages = nullptr;
    const features::ModelRecord* record = nullptr;
    // The module's tables (after attach).
    static EngineTables OfModule();
};

// One check's inputs and what it leaves for the caller.
struct CheckContext {
    HWND dialog = nullptr;          // controls shown and changed here; null: none
    HWND toolWindow = nullptr;      // the page's tooltip window (not read by the engine)
    BYTE* record = nullptr;         // the settings record (8344 bytes) the check works on
    const settings::PrinterUIContext* sheet = nullptr;  // for the sheet flags, or null
    uint16_t control = 0;           // the changed control; 0 checks the whole sheet
    uint32_t page = 0;              // the dialog's page identifier; 0: unknown (every item
                                    // whose control the dialog holds is on it)
    int32_t deviceOption = -1;      // a device option's value (device option page), else -1
    // The printer's device-option record (settings::kDevOptionSize bytes, devoption.h),
    // or null.  Conditions on a device option (its key as the feature: `OpStaplerUnit
    // == Stapler_None`) read the option's slot here; without a record they cannot be
    // read and their rules decide nothing (the device counts as fully equipped).
    const BYTE* deviceOptions = nullptr;
    // Context facts the written-in checks read.
    bool noBooklet = false;         // the host context cannot produce booklets or posters
    bool customPaper = false;       // the custom size fields are being edited
    int32_t trayMedia[20] = {};     // media value of tray slots 1 ... 20 (per-tray media);
                                    // 0: none registered (the slot's value stays as it is)
    // What the check did.
    bool changedByRule = false;     // a rule's number was shown in a numeric field
                                    // (DoConstraints sets the sheet's flag from it)
    bool asked = false;             // a confirmation was shown
    bool refused = false;           // a refusal was shown
};

// Runs one check (mode 0).  Answers kCheckStands, kCheckDeclined or kCheckRefused.
// Without a record, without items or when the working memory cannot be had, the
// check changes nothing and answers kCheckStands.
uint32_t RunCheck(CheckContext& ctx, const EngineTables& tables);
uint32_t RunCheck(CheckContext& ctx);  // with the module's tables

// The record that DoConstraints checks when it is called without a dialog or its
// dialog has no sheet context (hosts and tests set it; null: such calls check
// nothing).
void SetCheckRecord(BYTE* record);
BYTE* CheckRecordForHosts();

// The administrator's fixed settings: {feature, option} pairs that a whole-sheet
// check writes and that take change rules naming them as second feature out of play.
struct FixedSetting {
    char feature[32];
    char option[32];
};
void SetFixedSettings(const std::vector<FixedSetting>& list);
const std::vector<FixedSetting>& FixedSettings();

// The option tooltip text that the last check composed for (control, option
// value) of a drop-down; null when none.
const WCHAR* OptionTipText(uint32_t control, int32_t value);

// Control ids that run the output-method and security checks in addition to the
// built-in set (a model test adds them).
void AddSecurityCheckControl(uint16_t control);

// Icon redraw: the pages register how an icon is shown or hidden on a dialog
// (SetDefaultIconRedraw, when the module attaches); a host may put another
// function in its place (SetIconRedraw; null: back to the pages' own).  With
// neither, the engine fills the icon table and draws nothing.
using IconRedrawFn = void (*)(HWND dialog, UINT control, WCHAR** position);
void SetIconRedraw(IconRedrawFn fn);
void SetDefaultIconRedraw(IconRedrawFn fn);

// The mark a page puts on a control that the model does not offer: the engine
// never enables a marked control again.  Null is ignored.
void MarkSwitchedOff(HWND control);
bool ControlSwitchedOff(HWND control);

// Text with the two characters backslash and "n" turned into a space and a line feed.
WString DisplayText(WStringView text);

}  // namespace nvx::constraints
