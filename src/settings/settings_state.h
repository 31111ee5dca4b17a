// The settings code's process-wide state across attach and detach.
#pragma once

namespace nvx::settings {

// Attach: rebuilds the settings template (with the model identifier) and the
// device-option template from their built-in contents and forgets earlier model
// facts.  Runs before the model tables are built, because building them adjusts
// both templates from the package.
void PrepareSettings();

// Detach: forgets the model facts; the templates need no release.
void ReleaseSettings();

}  // namespace nvx::settings
