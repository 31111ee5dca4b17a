// Model variant switches: which tabs, dialogs and feature groups this build shows.
#pragma once

#include <cstddef>

namespace nvx::frame {

struct VariantSwitch {
    const char* name;
    unsigned answer;
};

// The fixed table, in lookup order.
extern const VariantSwitch kVariantSwitches[];
extern const size_t kVariantSwitchCount;

// Answers the switch's value (0 or 1).  Names compare exactly and case-sensitively;
// a null or unlisted name answers 0.  No side effects, no allocation; callable at
// any time, also during attach.
//
// For trying the dialogs of another build against the sample model, the
// environment variable NOVRIX_VARIANTS may answer in place of the table:
// "NAME=0|1[,NAME=0|1...]" (exact names, the last mention of a name wins;
// anything else in an item makes it count for nothing).  Unset, the table alone
// answers.
unsigned AskVariant(const char* name);

inline constexpr const char* kVariantOverrideVariable = "NOVRIX_VARIANTS";
// The answer `overrides` (the variable's text, may be null) gives for `name`;
// false when it names no such switch with a valid answer.
bool OverriddenVariant(const char* overrides, const char* name, unsigned* answer);

}  // namespace nvx::frame
