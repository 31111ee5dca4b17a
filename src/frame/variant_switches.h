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
// a null or unlisted name answers 0.  No side effects; callable at any time, also
// during attach.
unsigned AskVariant(const char* name);

}  // namespace nvx::frame
