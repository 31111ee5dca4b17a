// The security support interface (Kerberos contexts), the user's principal names
// and Base64: on Windows the real Secur32 and Crypt32, on Linux the platform
// layer's subset over GSSAPI and OpenSSL (linux/include/win32_sspi.h).
#pragma once

#include "platform/win32.h"

#ifdef _WIN32
#include <wincrypt.h>
#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <security.h>
#else
#include "linux/include/win32_sspi.h"
#endif
