// Building the model tables at attach: the package's own tables and the feature
// loaders that interpret them, in the order the later steps rely on.
#pragma once

#include "model/messages.h"
#include "model/model_tables.h"
#include "platform/win32.h"

namespace nvx::features {

// Builds the tables from NOVRIX_D.VPD beside the module, filling the message tables
// on the way.  Leaves the mandatory tables null when the package cannot be read.
void BuildModelTables(model::ModelTables& tables, model::MessageTables& messages, HMODULE self);
// Frees the tables and puts every value the build filled (versions, service
// settings, ranges, model settings, texts) back to its built-in state, so that a
// later build starts clean.
void FreeModelTables(model::ModelTables& tables);

}  // namespace nvx::features
