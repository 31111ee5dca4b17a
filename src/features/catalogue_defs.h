// The built-in catalogue as compact definitions; catalogue.cpp lays the option
// records out from them.  The definitions themselves are in catalogue_table.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nvx::features::defs {

struct OptionDef {
    const char* keyword;
    int32_t value;
    const char* name;   // built-in display name (ASCII), or null when the package supplies it
    uint16_t extra;     // 146-byte records: the u16 after the name
    int16_t implied;    // 242-byte records: row of kImplied, else -1
};

struct ImpliedDef {
    const char* text;
    const char* image;
    const char* graphics;
};

struct FeatureDef {
    const char* name;
    uint16_t recordSize;  // 0: no built-in list
    uint16_t first;       // first row of kOptions
    uint16_t count;
};

extern const OptionDef kOptions[];
extern const size_t kOptionCount;
extern const ImpliedDef kImplied[];
extern const size_t kImpliedCount;
extern const FeatureDef kFeatures[];
extern const size_t kFeatureCount;   // 251
extern const size_t kTwoStateFirst;  // the two-state rows follow the others

}  // namespace nvx::features::defs
