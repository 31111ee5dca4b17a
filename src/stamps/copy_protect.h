// Copy protection without a window: the operation the Stamp/Composition tab
// offers (combo 3175, "nCSE_CopyProtectOp"), which edit dialog an operation opens,
// the texts of the copy-guard text list, the copy-protect text and font, and the
// density and contrast sliders.  The tab and the edit dialogs
// (pages/copy_protect_dialogs.cpp) use these; so does `novrix`.
//
// The fields live in the settings record (settings/oemdev_fields_table.cpp):
// "bCopyProtect" 3390, "nCSE_CopyProtectOp" 3391, "bStamp" 3540 ... "szCPFontName"
// 3704; tests/module/copy_protect_test.cpp checks the offsets this code relies on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "settings/oemdev.h"

namespace nvx::stamps {

// ---- The operation ----------------------------------------------------------

// "CopyProtect_op" values.
enum CopyProtectOperation : int32_t {
    kCopyGuard = 1,
    kPasswordCopy = 2,
    kCopyProtect = 3,
    kRepeatableStamp = 4,
};

// The edit dialogs of the family.
enum class CopyProtectDialog {
    None,         // nothing to edit (copy protection not offered, password copy)
    Protect,      // "Dlg_CopyProtect": stamp text, date/time, serial number, pattern (models of kind 1)
    Edit,         // "Dlg_CopyProtectEdit": copy-protect pattern and stamp (copy protect, repeatable stamp)
    DriverEdit,   // "Dlg_CopyProtectDrvEdit": a pattern the driver draws
    GuardEdit,    // "Dlg_CopyProtect2Edit": copy guard
};

// The model's copy-protect switch ("CopyProtect"): 0 none, 1 the older kind without
// an operation, 2 and 3 with the operation combo; `driverSide` for a driver-drawn pattern.
struct CopyProtectModel {
    int kind = 0;
    bool driverSide = false;
};
CopyProtectModel CurrentCopyProtectModel();

// Whether the tab shows the operation combo: models of kind 2 and 3.
bool OperationOffered(const CopyProtectModel& model);

// The dialog the tab's settings button opens for the record's operation.
CopyProtectDialog DialogFor(const CopyProtectModel& model, int32_t operation);

// The operation combo's choices: the model's "CopyProtect_op" options (display name,
// else keyword; the value).
struct OperationChoice {
    WString text;
    int32_t value = 0;
};
std::vector<OperationChoice> OperationChoices();

// The operation shown for the record: its own when the combo offers it, else the
// first choice (a record from another model may carry an operation this one lacks).
// Nothing when there are no choices.
std::optional<int32_t> ShownOperation(const OEMDEV& record, const std::vector<OperationChoice>& choices);

// ---- The copy-guard text list -----------------------------------------------

// One text of the list ("CSE_String_op"): fixed texts 1 ... 8, the device's
// registered texts 101 ... 108 (preset texts, drawn as "*%s").
struct GuardText {
    WString text;
    int32_t value = 0;
    bool preset = false;
};
std::vector<GuardText> GuardTexts();
// The list's line for a text: "*%s" for a preset text, the text otherwise.
WString GuardTextLabel(const GuardText& text);

// The record's text as a list value: a fixed text ("nStampType" 0) is its
// "nFixedStamp", a registered text ("nStampType" 1) 100 + "nRecordStamp".
int32_t GuardTextValue(const OEMDEV& record);
// Stores a list value: 1 ... 8 as a fixed text, 101 ... 108 as a registered one;
// false (record unchanged) for any other value.
bool SetGuardTextValue(OEMDEV& record, int32_t value);

// ---- Text and font of the copy-protect pattern ----------------------------

inline constexpr size_t kCopyProtectTextMax = 31;  // "szCPText" holds 32 characters with its end
inline constexpr size_t kCopyProtectFaceMax = 31;  // "szCPFontName"

enum class TextProblem { None, TooLong, NoSuchFont };

// The record's text and face ("szCPText", "szCPFontName").
WString CopyProtectText(const OEMDEV& record);
WString CopyProtectFace(const OEMDEV& record);
// The face shown: the record's, or the default face when it names none.
WString ShownFace(const OEMDEV& record, WStringView defaultFace);

// Stores a typed text: refused (record unchanged) past 31 characters; nothing is cut.
TextProblem SetCopyProtectText(OEMDEV& record, WStringView text);
// Stores a face from `faces` (ASCII case ignored, stored as the list spells it);
// refused otherwise.
TextProblem SetCopyProtectFace(OEMDEV& record, WStringView face, const std::vector<WString>& faces);

// ---- Density and contrast sliders -------------------------------------------

enum class Slider {
    PatternDensity,   // "nCPE_CP_Density", labels "CPE_CP_Density_Light" / "CPE_CP_Density_Dark"
    StampDensity,     // "nCPE_SS_Density", labels "CPE_SS_Density_Light" / "CPE_SS_Density_Dark"
    GuardDensity,     // "nCPE_CP_Density" in the copy-guard dialog, "CSE_CP_Density_Light" / "_Dark"
    PatternContrast,  // "nCPE_CP_Contrast"
};
struct SliderRange {
    int32_t low = 0;
    int32_t high = 0;
};
// The slider's settings field and its two end labels' text keys (empty for contrast,
// whose ends the dialog names itself).
const char* SliderField(Slider s);
const char* SliderLowKey(Slider s);
const char* SliderHighKey(Slider s);
// The slider's range from the model's control data (the range entries
// "CPE_CP_Density", "CPE_SS_Density", "CSE_CP_Density", "CPE_CP_Contrast"); -2 ... 2
// when the model gives none or gives one whose ends are the wrong way round.
SliderRange SliderRangeOf(Slider s);
// A range from a model's two ends; the default for a missing or reversed range.
SliderRange MakeSliderRange(std::optional<std::pair<int32_t, int32_t>> ends);
inline constexpr SliderRange kDefaultSliderRange{-2, 2};

// The slider position for a stored value: a value outside the range (a record from
// another model, a preset) is shown at the nearer end; the record is not changed.
int32_t SliderPosition(int32_t stored, SliderRange range);
// Stores a slider position; false (record unchanged) outside the range.
bool SetSliderValue(OEMDEV& record, Slider s, int32_t position, SliderRange range);

}  // namespace nvx::stamps
