// Source printing: objects one member per line, short arrays of plain values
// (items as [key, value], conditions, actions) on one line.
#pragma once

#include <string>

#include "vpdc.h"

namespace vpdc {

std::string Pretty(const Json& v);

}  // namespace vpdc
