// The built-in default settings record (the template) and its attach-time
// adjustment from the model package's defaults.
//
// The template is built from the field table's defaults.  The attach sequence
// prepares it once (PrepareDefaultTemplate) before the model tables are built; the
// feature catalogue then writes the package's default items into it through
// ApplyEntryDefault and the paper functions of paper_defaults.h.  Everything that
// makes default settings copies the adjusted template.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/oemdev.h"

namespace nvx::settings {

// The model identifier of this build, written into the template at attach.
inline constexpr const char* kModelIdentifier = "Q57_3FA";

// Fills out with the field table's defaults, the header and the font table; every
// byte that no default names is zero.  The model identifier stays empty.
void BuildTemplate(OEMDEV& out);

// The process-wide template (built from the table on first use).
OEMDEV& DefaultTemplate();
// Rebuilds the process-wide template and writes the model identifier.  The attach
// sequence calls it before the model tables adjust the template.
void PrepareDefaultTemplate();

// A package entry whose default item sets one settings field.
struct EntryField {
    const char* entry;  // package entry name
    const char* field;  // field name in the field table
};
extern const EntryField kEntryDefaultFields[];
extern const size_t kEntryDefaultFieldCount;

// Writes the default value of a single-field package entry (kEntryDefaultFields)
// into record.  False, with record unchanged, for an entry the table lacks; the
// paper entries ("PaperSize", "OutPaperSize", "UserPaper_Width", "UserPaper_Length")
// have their own functions in paper_defaults.h.
bool ApplyEntryDefault(OEMDEV& record, std::string_view entry, int32_t value);

}  // namespace nvx::settings
