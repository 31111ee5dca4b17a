// What the Layout tab decides without a window: which of its controls a setting
// enables, the corrections a booklet makes, the chapter page list's text, the
// arrangement fields the N-up and booklet settings share, and the settings that
// follow the orientation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "settings/oemdev.h"

namespace nvx::pages::layout {

// Print type values (DoubleSides) and the poster layouts of Nup_op.
inline constexpr int32_t kSimplex = 1;
inline constexpr int32_t kDuplex = 2;
inline constexpr int32_t kBooklet = 3;
inline constexpr int32_t kBookletNoReduction = 4;
inline bool IsBooklet(int32_t printType) { return printType == kBooklet || printType == kBookletNoReduction; }
inline bool IsPosterLayout(int32_t nup) { return nup == 7 || nup == 8 || nup == 9; }

// The model switches the tab's decisions read.
struct Switches {
    bool bookletPrint = false;   // BookletPrint: the driver makes booklets (booklet details)
    bool bindingShift = false;   // BindingShift
    bool frontCoverPrint = false;  // FCoverPrint
    bool backCoverPrint = false;   // BCoverPrint
};
// The module's model (all off without one).
Switches ModelSwitches();

// Which of the tab's governed controls the settings allow (before the constraint
// engine's own states and the sheet's read-only state are taken into account).
struct Enables {
    bool nupLayout = false;          // 1025 and the N-up details 1124
    bool combinationLayout = false;  // 1031
    bool bookletDetails = false;     // 1128
    bool binding = true;             // binding margin 1288, binding edge 1046 and its label 1049
    bool bindingDetails = false;     // 1052
    bool imageShiftDetails = false;  // 1212
    bool chapterList = false;        // 1147 and its label 1035
    bool tabShiftDetails = false;    // 2307
};
Enables ComputeEnables(const OEMDEV& record, const Switches& sw);

// A booklet the driver makes binds by itself: with the BindingShift switch on, a
// checked binding margin is cleared.  True when the record changed.
bool ClearBindingMarginForBooklet(OEMDEV& record, const Switches& sw);

// With a booklet print type on a model that prints both covers and a front cover
// chosen, the back cover comes from the front cover's tray.  True when it changed.
bool BackCoverFollowsFront(OEMDEV& record, const Switches& sw);

// The chapter page list as the record keeps it: the typed text in the ANSI code
// page, cut at kChapterBytes bytes without leaving a double-byte lead byte alone
// (nor part of a sequence, when the system code page is UTF-8).
inline constexpr size_t kChapterBytes = 511;
std::string CutAnsi(std::string_view text, size_t maxBytes, unsigned codePage);
// The typed text as stored: converted to the ANSI code page, cut, converted back.
// *cut tells whether the text had to be shortened.
WString ChapterText(WStringView typed, bool* cut);
// The edit box's length limit: 160 characters, or five times the model's chapter
// count when that lies in 31 ... 99 and the product is at least 160.
int ChapterTextLimit(int32_t maxChapters);

// The arrangement fields the N-up and booklet settings share, as they follow the
// page's settings when the page is left: border flag off, style and order 1, poster
// border 0; the border flag set for an N-up layout (not a poster) with border lines;
// a driver booklet takes style 0 and its own binding order and border.
void NormaliseArrangement(OEMDEV& record, const Switches& sw);

// An orientation change keeps the binding on the same side of the reading
// direction: the binding edge swaps long and short edge (LongEdgeLeft <->
// ShortEdgeLeft, LongEdgeTop <-> ShortEdgeTop, ...) when the new value is one of
// the model's options.  Nothing changes when the orientation stays or a value is
// not a known orientation.  True when the record changed.
bool FollowOrientation(OEMDEV& record, int32_t oldOrientation, int32_t newOrientation,
                       bool (*bindingEdgeOffered)(int32_t value));

}  // namespace nvx::pages::layout
