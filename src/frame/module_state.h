// Process-wide objects of the module: created at attach, released at detach.
//
// The host owns sheets, contexts and device modes; the module owns only what is
// listed here.  Every release clears its pointer and skips what is already null.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "model/host_link.h"
#include "model/messages.h"
#include "model/model_tables.h"
#include "model/package_block.h"

namespace nvx::features {
struct UiItemTable;
}
namespace nvx::constraints {
struct PreparedRules;
}

namespace nvx::frame {

// The security interface link (single sign-on).
struct SecurityLink {
    HMODULE library = nullptr;     // Secur32.dll
    void* functionTable = nullptr; // answer of InitSecurityInterfaceW
    FARPROC getUserNameEx = nullptr;
    uint32_t count = 0;            // set to 37 when linked
};

struct ModuleState {
    HMODULE self = nullptr;             // not owned
    HMODULE imageResources = nullptr;   // NOVRIX_R.DLL; GetImgResInst answers it
    HMODULE dialogResources = nullptr;  // NOVRIX_S.DLL; released at detach with NOVRIX_R.DLL
    model::MessageTables messages;
    uint32_t engineStateWords[12] = {}; // UI item table builder and constraint engine
    model::ModelTables model;
    model::ConstraintBlock constraints;  // the constraint file's header and arrays
    const char* bindingEdgeList = nullptr;  // the binding-edge option list the pages show
    features::UiItemTable* uiItems = nullptr;  // null when it could not be built
    constraints::PreparedRules* rules = nullptr;  // the prepared constraint rules, or null
    model::HostLink host;
    SecurityLink security;
    // Device-API selection: a flag and a marker that the Basic tab and the
    // user-settings dialogs read and change.
    uint32_t deviceApiSelected = 0;
    uint16_t deviceApiSelectionMarker = 0;
    bool attached = false;
};

// The module's one instance of the state.
ModuleState& Module();

// The attach sequence (process attach).  Answers FALSE when a mandatory model table
// is missing; the detach sequence that the system runs next releases what exists.
BOOL AttachModule(HMODULE self);
// The detach sequence (process detach).  Safe to run over a partly attached state
// and to run twice.
void DetachModule();

}  // namespace nvx::frame
