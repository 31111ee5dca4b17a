// Text-box limits: the rule an edit box's text must follow (length, character
// class, numeric range), found by the feature its control shows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::pages {

// Rule kinds (character classes).
enum TextRuleKind : uint32_t {
    kTextDigits = 101,     // decimal digits only
    kTextAscii = 102,      // printable single-byte ASCII (0x20 ... 0x7E)
    kTextAny = 103,        // any characters, length checked
    kTextDecimal = 104,    // digits with at most one decimal point
    kTextAcceptAll = 115,  // accepts everything
};

// The most digits a number may have after its decimal point.
inline constexpr uint32_t kMaxDecimals = 3;

struct TextLimitRule {
    const char* feature;   // the UI item feature of the edit box
    uint32_t kind;
    uint32_t limit;        // characters
};
extern const TextLimitRule kTextLimitRules[];
extern const size_t kTextLimitRuleCount;

// The rule of a feature name (exact), or null.
const TextLimitRule* FindTextRule(const char* feature);
// The rule of an edit box: by the feature of the UI item its control id shows on
// its page (the identifier the page recorded on its window; any page's item
// with that id when the window has none), or null.
const TextLimitRule* TextRuleOfEdit(HWND edit);

// Whether text is acceptable for a rule (null: no rule) and a maximum length: the
// length is at most the smaller of the rule's limit and the maximum, and every
// character is of the rule's class.  A kTextAcceptAll rule accepts everything.
bool TextAcceptable(const TextLimitRule* rule, WStringView text, uint32_t maximum);

// Whether text is a number within [minimum, maximum] (signed 32-bit values) with
// at most `decimals` digits after a decimal point (0 ... 3); the number is scaled
// by 10^decimals before the comparison ("12.5" with 1 decimal is 125).  A minus sign
// is taken only when the minimum is negative.  The rule's length and class apply
// as in TextAcceptable (a rule of kind kTextAcceptAll accepts everything).
bool NumberAcceptable(const TextLimitRule* rule, WStringView text, int32_t minimum, int32_t maximum,
                      uint32_t decimals);

}  // namespace nvx::pages
