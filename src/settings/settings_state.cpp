// Attach and detach of the settings code's process-wide state.
#include "settings/settings_state.h"

#include "settings/devoption.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"

namespace nvx::settings {

void PrepareSettings() {
    PrepareDefaultTemplate();
    ResetDevOptionTemplate();
    ClearModelFacts();
}

void ReleaseSettings() {
    ClearModelFacts();
}

}  // namespace nvx::settings
