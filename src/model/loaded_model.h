// What attach loads from the model package and keeps until detach: the message
// tables, the model tables, the constraint file, the binding-edge list the pages
// show and the link to the host library.
#pragma once

#include "model/host_link.h"
#include "model/messages.h"
#include "model/model_tables.h"
#include "model/package_block.h"

namespace nvx::model {

struct LoadedModel {
    MessageTables messages;
    ModelTables tables;
    ConstraintBlock constraints;               // the constraint file's header and arrays
    const char* bindingEdgeList = nullptr;     // the binding-edge option list the pages show
    HostLink host;
};

// The module's one loaded model.
LoadedModel& Loaded();

}  // namespace nvx::model
