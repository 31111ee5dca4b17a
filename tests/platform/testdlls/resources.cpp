// TSTRES.DLL: a library that carries resources only (exports one function so
// that it links as a library everywhere).
#include "platform/win32.h"

extern "C" int Res_Present() { return 1; }
