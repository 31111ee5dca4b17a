// Win32 user subset of the Linux platform layer.
#pragma once
#include "win32_types.h"
