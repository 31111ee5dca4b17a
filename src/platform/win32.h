// The one door to the operating system.
//
// On Windows this is the real SDK.  On Linux it is the platform layer's own
// declarations of the subset the module uses: same names, signatures and
// constant values, implemented in the layer's shared library.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <winspool.h>
#include <commctrl.h>
#include <prsht.h>
#include <commdlg.h>
#include <bcrypt.h>
#include <objbase.h>
#else
#include "linux/include/win32_types.h"
#include "linux/include/win32_kernel.h"
#include "linux/include/win32_registry.h"
#include "linux/include/win32_spool.h"
#include "linux/include/win32_resource.h"
#include "linux/include/win32_user.h"
#include "linux/include/win32_comdlg.h"
#include "linux/include/win32_security.h"
#endif
