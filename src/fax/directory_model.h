// The model's word on the directory servers: ranges and defaults of a new entry.
#pragma once

#include "fax/directory_servers.h"
#include "model/package.h"

namespace nvx::fax::directory {

// From the package: "LSR_Port" (range), "LSR_SearchTimeout" and
// "LSR_SearchMaxResult" (range and default), the default items of
// "LSR_AuthSetting", "LSR_ShareLogonInfo" and "LSR_SSL".  What the package lacks
// keeps the built-in value of Limits.  A range whose minimum is past its
// maximum, or whose default lies outside it, is not taken.
Limits PackageLimits(const model::Package& pkg);
// The same from the loaded module's model tables.
Limits ModuleLimits();

}  // namespace nvx::fax::directory
