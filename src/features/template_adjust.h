// Attach-time preparation of the defaults from the package (build-order step 4):
// the catalogue's package-supplied rows are bound to the model's lists, the
// settings code learns the model's papers, the default settings template takes the
// package's default items, the cover lists are chosen, and the device-option
// template takes the device options' defaults.
//
// The template is written only through the settings field table: the entries that
// the settings code maps to a field go through settings::ApplyEntryDefault and the
// paper functions; the rest through kExtraEntryFields (entry -> field name).
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/oemdev.h"

namespace nvx::model {
class Package;
struct ModelTables;
}  // namespace nvx::model

namespace nvx::features {

struct ModelRecord;

// The entries whose default items adjust the template, in the order they are applied.
extern const char* const kTemplateEntries[];
extern const size_t kTemplateEntryCount;

// Entries the settings code does not map, and the field each sets.
struct EntryFieldName {
    const char* entry;
    const char* field;
};
extern const EntryFieldName kExtraEntryFields[];
extern const size_t kExtraEntryFieldCount;

// Numeric entries: their default is the range block's default (times 10 for the
// image-shift entries, millimetres to tenths).
bool IsNumericTemplateEntry(const char* entry, int* scale);

// Points PaperSize, OutPaperSize, MediaType, InTray, Resolution, SelectColor and
// TwoColors at the model's lists (rows whose list the model lacks stay null).
void BindCatalogue(ModelRecord& record);

// Adjusts tmpl: model identifier, then each entry of kTemplateEntries that the
// package has, then the cover lists and default cover modes.  Every resolved
// default is also recorded in record.packageDefaults (entries without a field,
// such as "AuthUseEngine", are read from there).
void AdjustDefaultTemplate(const model::Package& pkg, ModelRecord& record, OEMDEV& tmpl);

// Step 4: BindCatalogue, the model's papers to the settings code, the template of
// settings::DefaultTemplate() adjusted, the device-option defaults.  fontLibrary,
// the path of the font data library beside the module, is kept in the model
// settings for the font substitution dialog (null keeps none).
void PrepareDefaults(const model::Package& pkg, model::ModelTables& tables, const WCHAR* fontLibrary = nullptr);

}  // namespace nvx::features
