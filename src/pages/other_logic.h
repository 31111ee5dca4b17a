// What the Other tab decides without a window: the enable states the model and the
// settings give, and the rules of the e-mail address.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "settings/oemdev.h"

namespace nvx::pages::other {

struct Switches {
    bool emailNotify = false;   // EmailNotify
    bool chkBlankRatio = false;  // ChkBlankRatio
    bool roundOff = false;      // RoundOffColorValue
    bool coverType1 = false;    // the _PRP_COVER_TYPE1 variant: the cover switch stands for the per-page setting
};
Switches ModelSwitches();

// What besides the settings forbids the blank page check.
struct SheetFacts {
    bool documentMode = true;    // a document's sheet (the watermark counts there)
    bool contextForbids = false;  // the sheet context's flag
    bool documentFlag = false;    // a further document flag
};

struct Enables {
    bool emailGoverned = false, emailAddress = false;  // 1880 follows 1218
    bool blankGoverned = false;                          // the model has the blank page check
    bool blankForbidden = false;                         // 2597/2598 disabled, icon 2596 shown
    bool blankRatio = false;                             // 2598
    bool roundGoverned = false;                          // the model has colour rounding
    bool roundOff = false;                               // 3350
    bool threshold = false;                              // 3351 ... 3354
};
Enables ComputeEnables(const OEMDEV& record, const Switches& sw, const SheetFacts& facts);

// The address field: 128 bytes in the ANSI code page (129 characters with the
// terminator in the record).
inline constexpr size_t kEmailBytes = 128;

// The text cut to kEmailBytes bytes of the ANSI code page, never between the two
// bytes of a double-byte character; *cut tells whether anything was removed.
WString CutEmailAddress(WStringView text, bool* cut);

enum class EmailCheck { Ok, Empty, TooLong, NotAscii, Space, NoAt };
// An address the device can send to: 1 to 128 printable ASCII characters without
// spaces, with one "@" that has text on both sides.
EmailCheck CheckEmailAddress(WStringView text);

// The fields the tab's Restore Defaults puts back.
extern const char* const kDefaultFields[];
extern const size_t kDefaultFieldCount;

}  // namespace nvx::pages::other
